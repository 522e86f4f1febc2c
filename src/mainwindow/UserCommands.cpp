#include "mainwindow/UserCommands.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "mainwindow/DroppedNames.h"

#include <algorithm>

namespace qrv {

bool IsAssigned(const TFKeyRecord& Record)
{
    return (!Record.Caption.empty() || Record.ImageIndex >= 0) && (!Record.Command.empty() || !Record.Params.empty());
}

bool AsksExeType(bool DosClose, const std::wstring& Command)
{
    if (DosClose || Command.empty())
        return false;
    const std::wstring extension = UpperCase(ExtractFileExt(Command));
    return extension.empty() || extension == L".EXE";
}

bool IsConsoleExeType(uint32_t ExeType)
{
    const uint32_t low = ExeType & 0xFFFF;
    constexpr uint32_t kPE = 0x4550;  // "PE"
    constexpr uint32_t kMZ = 0x5A4D;  // "MZ"
    return (low == kPE || low == kMZ) && (ExeType >> 16) == 0;
}

TRunWay ChooseRunWay(bool DosClose, const std::wstring& Command, std::optional<uint32_t> ExeType)
{
    if (Command.empty())
        return TRunWay::Batch;
    if (!AsksExeType(DosClose, Command) || !ExeType)
        return TRunWay::Direct;
    return IsConsoleExeType(*ExeType) ? TRunWay::Batch : TRunWay::Direct;
}

bool IsBatchFileName(const std::wstring& FileName)
{
    const std::wstring name = UpperCase(FileName);
    const std::wstring base = kBatchFileBase;
    const std::wstring ext = kBatchFileExt;
    if (name.size() < base.size() + ext.size() || name.compare(0, base.size(), base) != 0 ||
        name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return false;
    const std::wstring number = name.substr(base.size(), name.size() - base.size() - ext.size());
    if (number.empty())
        return true;
    return number.size() >= 3 && number.front() == L'(' && number.back() == L')' &&
           std::all_of(number.begin() + 1, number.end() - 1, [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::wstring ConsoleCommandLine(const std::wstring& Command, const std::wstring& Params)
{
    return QuoteCommandArgument(Command, TQuoting::Always) + L" " + Params;
}

std::wstring BatchFileText(const std::wstring& Line, bool CloseWindow)
{
    // The batch reader sees the line in one more pair of quotes; where it
    // stands outside quotes then, an operator is escaped so that it reaches
    // the inner interpreter as the user wrote it.
    const std::wstring wrapped = L"\"" + Line + L"\"";
    std::wstring escaped;
    bool quoted = false;
    for (const wchar_t c : wrapped) {
        if (c == L'"')
            quoted = !quoted;
        else if (c == L'%')
            escaped += L'%';
        else if (!quoted && std::wstring_view(L"&|<>^()").find(c) != std::wstring_view::npos)
            escaped += L'^';
        escaped += c;
    }
    std::wstring text = L"@echo off\r\n%COMSPEC%  /c " + escaped + L"\r\n";
    if (!CloseWindow)
        text += L"pause\r\n";
    return text;
}

std::optional<std::string> BatchFileBytes(const std::wstring& Text, TOemCodePage CodePage)
{
    std::u16string units;
    units.reserve(Text.size());
    for (const wchar_t c : Text) {
        if (static_cast<uint32_t>(c) > 0xFFFF)
            return std::nullopt;  // beyond the code pages anyway
        units += static_cast<char16_t>(c);
    }
    return Utf16ToOem(units, CodePage);
}

bool HoldsDefinedVariable(const std::wstring& Text, const std::function<bool(const std::wstring&)>& IsDefined)
{
    // Any text between two percent signs may be read as a name.
    for (size_t open = Text.find(L'%'); open != std::wstring::npos;) {
        const size_t close = Text.find(L'%', open + 1);
        if (close == std::wstring::npos)
            return false;
        if (close > open + 1 && IsDefined(Text.substr(open + 1, close - open - 1)))
            return true;
        open = close;
    }
    return false;
}

std::wstring FunctionKeyLabel(int Set)
{
    switch (Set) {
    case kShiftSet:
        return L"Umsch";
    case kCtrlSet:
        return L"Strg      ";
    default:
        return L"????    ";
    }
}

std::wstring WithoutAccelerators(const std::wstring& Caption)
{
    std::wstring text;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == L'&' && i + 1 < Caption.size() && Caption[i + 1] == L'&')
            ++i;
        else if (Caption[i] == L'&')
            continue;
        text += Caption[i];
    }
    return text;
}

TFunctionKeyButton FunctionKeyButton(const TFunctionKeySets& Sets, int Set, int Key, bool UseProgIcons)
{
    const TFKeyRecord& record = Sets.at(static_cast<size_t>(Set)).at(static_cast<size_t>(Key - 1));
    const TFKeyRecord& other = Sets.at(static_cast<size_t>(1 - Set)).at(static_cast<size_t>(Key - 1));
    TFunctionKeyButton button;
    button.Enabled = IsAssigned(record);
    button.Visible = button.Enabled || IsAssigned(other);
    const std::wstring number = IntToStr(Key);
    if (record.Caption.empty())
        button.Caption = L"F" + number;
    else if (UseProgIcons)
        button.Caption = WithoutAccelerators(record.Caption);
    else
        button.Caption = L"F" + number + L" " + WithoutAccelerators(record.Caption);
    button.ImageIndex = record.ImageIndex;
    button.TextOnly = record.ImageIndex < 0;
    button.Hint =
        record.Command + L" " + record.Params + (Set == kShiftSet ? L"  (Umsch+F" : L"  (Strg+F") + number + L")";
    return button;
}

int FunctionKeyButtonWidth(const TFunctionKeySets& Sets, int Key, bool UseProgIcons, int ImageWidth,
                           const std::function<int(const std::wstring&)>& Measure)
{
    const auto slot = static_cast<size_t>(Key - 1);
    int width = std::max(Measure(WithoutAccelerators(Sets[0].at(slot).Caption)),
                         Measure(WithoutAccelerators(Sets[1].at(slot).Caption)));
    width += UseProgIcons ? ImageWidth + 24 : Measure(IntToStr(Key) + L"XXX");
    return std::max(width, 40);
}

TProgramsMenuLayout ProgramsMenuLayout(const TFunctionKeySets& Sets)
{
    TProgramsMenuLayout layout;
    std::array<bool, 2> any{};
    for (size_t set = 0; set < 2; ++set)
        for (size_t key = 0; key < 12; ++key) {
            layout.Visible[set][key] = IsAssigned(Sets[set][key]);
            any[set] = any[set] || layout.Visible[set][key];
        }
    layout.Divider = any[0] && any[1];
    return layout;
}

}  // namespace qrv
