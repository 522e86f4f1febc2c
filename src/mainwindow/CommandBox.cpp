#include "mainwindow/CommandBox.h"

#include "framework/SysUtils.h"
#include "mainwindow/DroppedNames.h"

#include <algorithm>

namespace qrv {

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

}  // namespace

TCommandLineDecision ClassifyCommandLine(const std::wstring& Text, const std::function<bool(wchar_t)>& DriveValid)
{
    TCommandLineDecision result;
    result.Line = TrimLeft(Text);
    const std::wstring& line = result.Line;
    if (TrimRight(line).empty()) {
        result.Line.clear();
        return result;
    }
    if (const std::wstring drive = TrimRight(line); drive.size() == 2 && drive[1] == L':') {
        result.Drive = UpperCase(drive);
        const wchar_t letter = result.Drive[0];
        if (letter >= L'A' && letter <= L'Z' && DriveValid(letter)) {
            result.Kind = TCommandLineKind::Drive;
            result.HistoryEntry = result.Drive;
        } else {
            result.Kind = TCommandLineKind::BadDrive;
            result.Message = L"Ausgewähltes Laufwerk nicht gültig:  " + result.Drive;
        }
        return result;
    }
    if (line.size() > 3 && SameText(line.substr(0, 3), L"CD ")) {
        result.Target = Trim(line.substr(3));
        if (!result.Target.empty()) {
            result.Kind = TCommandLineKind::ChangeDir;
            result.HistoryEntry = L"CD " + result.Target;
            return result;
        }
    }
    result.Kind = TCommandLineKind::Interpreter;
    return result;
}

std::wstring ChangeDirFailedText(const std::wstring& Target)
{
    return L"Ausgewählter Pfad nicht vorhanden:\n" + Target;
}

TCommandBoxEdit InsertIntoCommandBox(const TCommandBoxEdit& Box, const std::wstring& Name)
{
    size_t start = std::min(Box.SelStart, Box.Text.size());
    size_t length = std::min(Box.SelLength, Box.Text.size() - start);
    if (!Box.Focused && start == 0 && length == 0)
        start = Box.Text.size();
    const std::wstring before = Box.Text.substr(0, start);
    const std::wstring after = Box.Text.substr(start + length);
    std::wstring inserted = QuoteCommandArgument(Name);
    if (!before.empty() && !IsBlank(before.back()))
        inserted.insert(0, L" ");
    if (!after.empty() && !IsBlank(after.front()))
        inserted += L' ';
    TCommandBoxEdit result;
    result.Text = before + inserted + after;
    result.SelStart = result.Text.size();
    result.Focused = Box.Focused;
    return result;
}

std::wstring CommandBoxFolder(const std::wstring& Folder)
{
    if (Folder.size() == 2 && Folder[1] == L':')
        return Folder + L'\\';
    return Folder;
}

}  // namespace qrv
