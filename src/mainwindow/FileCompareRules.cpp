#include "mainwindow/FileCompareRules.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "mainwindow/DirCompare.h"
#include "mainwindow/FileCompare.h"

namespace qrv {

namespace {

std::wstring NormalisedPath(const std::wstring& Path)
{
    std::wstring out;
    out.reserve(Path.size());
    for (wchar_t c : Path) {
        if (c == L'/')
            c = L'\\';
        // Repeated separators count once, except the two of a UNC name.
        if (c == L'\\' && out.size() > 1 && out.back() == L'\\')
            continue;
        out += c;
    }
    return RemoveBackslashBelowRoot(out);
}

std::wstring Quoted(const std::wstring& Text)
{
    return L"\"" + Text + L"\"";
}

}  // namespace

TFileChoice ChooseFilesToCompare(const TFileChoiceInput& Input)
{
    TFileChoice choice;
    const auto& active = Input.ActiveSelected;
    if (active.empty())
        return choice;
    if (Input.SecondWindowShown && active.size() == 1 && Input.OtherSelected.size() == 1) {
        choice.Kind = TFileChoiceKind::Pair;
        choice.First = active[0];
        choice.Second = Input.OtherSelected[0];
    } else if (active.size() == 2) {
        choice.Kind = TFileChoiceKind::Pair;
        choice.First = active[0];
        choice.Second = active[1];
    } else {
        choice.Kind = TFileChoiceKind::AskSecond;
        const bool focused = Input.FocusedSelectedIndex >= 0 &&
                             static_cast<size_t>(Input.FocusedSelectedIndex) < active.size() && active.size() > 1;
        choice.First = focused ? active[static_cast<size_t>(Input.FocusedSelectedIndex)] : active[0];
    }
    return choice;
}

std::wstring CompareDialogTitle(const std::wstring& DisplayName)
{
    return FormatCompareText(L"Datei für Vergleich mit \"%s\" auswählen", {DisplayName});
}

bool SameFilePath(const std::wstring& A, const std::wstring& B)
{
    return SameText(NormalisedPath(A), NormalisedPath(B));
}

std::wstring ExternalCompareArgument(const std::wstring& ShortName, const std::wstring& LongName)
{
    if (ShortName.empty())
        return Quoted(LongName);
    return ShortName.find(L' ') == std::wstring::npos ? ShortName : Quoted(ShortName);
}

std::wstring ExternalCompareParameters(const std::wstring& ShortA, const std::wstring& LongA,
                                       const std::wstring& ShortB, const std::wstring& LongB)
{
    return ExternalCompareArgument(ShortA, LongA) + L" " + ExternalCompareArgument(ShortB, LongB);
}

std::wstring ExternalCompareFailure(const std::wstring& Program, const std::wstring& ShellErrorText)
{
    return L"Fehler beim Ausführen von: " + Program + L"\n" + ShellErrorText;
}

TCompareMessage CompareResultMessage(uint8_t Result, const std::wstring& First, const std::wstring& Second,
                                     const std::wstring& SystemError)
{
    const std::wstring names = L"\r\n\r\n" + First + L"\r\n" + Second;
    const auto cannotOpen = [&](const std::wstring& name) {
        return TCompareMessage{
            FormatCompareText(L"Die Datei \"%s\" kann nicht geöffnet werden.", {name}) + L"\r\r" + SystemError, true};
    };
    switch (Result) {
    case crEqual:
        return {L"Beide Dateien sind gleich:" + names, false};
    case crDifferent:
        return {L"Die Dateien haben unterschiedlichen Inhalt:" + names, false};
    case crAborted:
        return {L"Der Vergleich wurde vom Benutzer abgebrochen.", false};
    case crOpenFailedA:
    case crReadFailedA:
        return cannotOpen(First);
    case crOpenFailedB:
    case crReadFailedB:
        return cannotOpen(Second);
    default:
        // crBusy: a comparison runs already; this one did not start.
        return {L"Es läuft bereits ein Vergleich.", true};
    }
}

std::wstring SelfCompareMessage()
{
    return L"Eine Datei mit sich selbst zu vergleichen ist nicht sinnvoll!";
}

}  // namespace qrv
