// The main window's side of the comparison commands and the about box: their
// actions and toolbar buttons, and what the commands ask of the window.

#include "mainwindow/win/RudirezOziMain.h"

#include "dialogs/win/SelOptForm.h"
#include "framework/IgnoredError.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "widgets/win/KySplit.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

namespace qrv {

void TQRVMain::ConnectCompareCommands()
{
    TCompareCommands& commands = *compareCommands_;
    catalogue_.Register(TActionId::FileCompare, [&commands] { commands.FileCompareExecute(); });
    catalogue_.Register(TActionId::FileWinCompare, [&commands] { commands.FileWinCompareExecute(); });
    catalogue_.Register(TActionId::HelpAbout, [this, &commands] { commands.HelpAboutExecute(TitleBase); });
    if (!ToolbarDatei)
        return;
    const struct {
        const wchar_t* Name;
        const wchar_t* Caption;
        TActionId Id;
    } buttons[] = {{L"btnFileCompare", L"Vergleichen", TActionId::FileCompare},
                   {L"btnDirCompare", L"Verz.-Vergleich", TActionId::FileWinCompare}};
    for (const auto& spec : buttons) {
        auto* button = new TKyToolbarButton(this);
        button->SetName(spec.Name);
        button->SetCaption(spec.Caption);
        button->SetDisplayMode(TButtonDisplayMode::dmTextOnly);
        const SIZE label = MeasureText(button->Font().Handle(), spec.Caption);
        button->SetWidth(std::max(button->Width(), static_cast<int>(label.cx) + 16));
        if (TAction* action = commandMenus_->Action(spec.Id))
            action->Link(button);
        button->SetParent(ToolbarDatei);
    }
}

bool TQRVMain::StackedFileWindows()
{
    return !Splitter2 || Splitter2->Align() == TAlign::alTop;
}

bool TQRVMain::ChooseCompareFile(const std::wstring& Title, const std::wstring& InitialDir, std::wstring& Name)
{
    std::wstring buffer(32768, L'\0');
    const wchar_t filter[] = L"Alle Dateien (*.*)\0*.*\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = HandleAllocated() ? Handle() : nullptr;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.c_str();
    ofn.Flags =
        OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    if (!GetOpenFileNameW(&ofn)) {
        if (const DWORD error = CommDlgExtendedError())
            TraceIgnoredFailure(L"the open dialog of the file comparison", error);
        return false;
    }
    Name = buffer.c_str();
    return !Name.empty();
}

bool TQRVMain::ExecuteCompareOptions(TSelOptForm& Form)
{
    return Form.Execute();
}

intptr_t TQRVMain::StartProgram(const std::wstring& Program, const std::wstring& Parameters,
                                const std::wstring& Directory)
{
    const HINSTANCE result = ShellExecuteW(GetDesktopWindow(), nullptr, Program.c_str(), Parameters.c_str(),
                                           Directory.empty() ? nullptr : Directory.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result);
}

TDirCompareOptions TQRVMain::StoredCompareOptions()
{
    const TCompareStoredOptions& stored = StoredState.Compare;
    TDirCompareOptions options;
    options.ByName = stored.ByName.value_or(options.ByName);
    options.BySize = stored.BySize.value_or(options.BySize);
    options.ByContent = stored.ByContent.value_or(options.ByContent);
    options.SubDirs = stored.SubDirs.value_or(false);
    options.Duplicates = stored.SelectDuplicates.value_or(false);
    return options;
}

}  // namespace qrv
