#include "mainwindow/win/ErrorReports.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/Forms.h"
#include "framework/win/WinApi.h"
#include "panels/KyDriveInfo.h"
#include "panels/win/KyDriveInfo.h"

namespace qrv {

TErrorReports::TErrorReports(TMainWindowServices& Services) : services_(Services)
{
    ShowException = [](const std::exception& Error) {
        if (Application)
            Application->ShowException(Error);
    };
    // Asked now, not as last stored: a drive whose folder went away is not
    // ready any more.
    DriveReady = [](wchar_t Drive) { return DriveInfo().IsDriveAccessible(Drive); };
    ErrorText = [](uint32_t Code) {
        const std::wstring text = SysErrorMessage(Code);
        return text.empty() ? std::to_wstring(Code) : text;
    };
}

void TErrorReports::AppExceptionHandler(const std::exception& Error)
{
    const TExceptionDecision decision = counter_.Take(ExceptionKindOf(Error), services_.Terminating());
    if (!decision.Show)
        return;
    if (boxOpen_) {
        TraceIgnoredException(L"an error while the error box was open");
        return;
    }
    boxOpen_ = true;
    const ScopeExit closed([this] { boxOpen_ = false; });
    ShowException(Error);
    if (decision.AskQuit &&
        services_.ShowMessageBox(QuitQuestionText(counter_.Count()), TMsgDlgType::mtConfirmation, 0, mbYes | mbNo) ==
            mrYes &&
        Quit)
        Quit();
}

bool TErrorReports::FolderError(const std::wstring& Path, uint32_t Code)
{
    const wchar_t drive = DriveOfPath(Path);
    const bool authority = ConfirmAuthority && ConfirmAuthority();
    if (!ReportsAccessError(Code, Path, authority, drive != 0 && DriveReady && DriveReady(drive)))
        return false;
    if (boxOpen_)
        return false;
    boxOpen_ = true;
    const ScopeExit closed([this] { boxOpen_ = false; });
    MessageBeep(MB_ICONHAND);
    services_.ShowMessageBox(AccessErrorText(Path, ErrorText(Code)), TMsgDlgType::mtError, 0, mbOK);
    return true;
}

}  // namespace qrv
