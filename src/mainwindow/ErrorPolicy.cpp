#include "mainwindow/ErrorPolicy.h"

#include "common/TextPlaces.h"
#include "framework/InputErrors.h"

#include <cwctype>

namespace qrv {

namespace {

constexpr uint32_t kAccessDenied = 5;

}  // namespace

TExceptionKind ExceptionKindOf(const std::exception& Error)
{
    if (dynamic_cast<const EInvalidFileName*>(&Error))
        return TExceptionKind::InvalidFileName;
    if (dynamic_cast<const EDragDrop*>(&Error))
        return TExceptionKind::DragDrop;
    if (dynamic_cast<const EInvalidDirName*>(&Error))
        return TExceptionKind::InvalidDirName;
    if (dynamic_cast<const EOleSysError*>(&Error))
        return TExceptionKind::OleSystem;
    return TExceptionKind::Other;
}

TExceptionDecision TErrorCounter::Take(TExceptionKind Kind, bool Terminating)
{
    TExceptionDecision decision;
    if (!reporting_ || Terminating || Kind == TExceptionKind::OleSystem)
        return decision;
    decision.Show = true;
    if (Kind == TExceptionKind::Other) {
        ++count_;
        decision.AskQuit = count_ > kQuitAfter;
    }
    return decision;
}

std::wstring QuitQuestionText(uint32_t Count)
{
    return FillPlaces(L"Es sind bisher %s Fehler aufgetreten. Soll das Programm jetzt beendet werden?",
                      {std::to_wstring(Count)});
}

bool ReportsAccessError(uint32_t Code, const std::wstring& Path, bool ConfirmAuthority, bool DriveReady)
{
    if (Code == 0 || Path.empty())
        return false;
    if (Code == kAccessDenied && !ConfirmAuthority)
        return false;
    return DriveReady;
}

std::wstring AccessErrorText(const std::wstring& Path, const std::wstring& Reason)
{
    return FillPlaces(L"Auf \"%s\" kann nicht zugegriffen werden:\n\n%s", {Path, Reason});
}

wchar_t DriveOfPath(const std::wstring& Path)
{
    if (Path.starts_with(L"\\\\"))
        return L'\\';
    if (Path.size() >= 2 && Path[1] == L':' && std::iswalpha(Path[0]))
        return static_cast<wchar_t>(std::towupper(Path[0]));
    return 0;
}

}  // namespace qrv
