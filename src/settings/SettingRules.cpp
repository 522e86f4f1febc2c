#include "settings/SettingRules.h"

#include <algorithm>

namespace qrv {

std::wstring FKeySection(int set)
{
    return set == 0 ? L"FKeyShift" : L"FKeyCtrl";
}

std::wstring FKeyToText(const TFKeyRecord& record)
{
    return record.Caption + kFKeySeparator + record.Command + kFKeySeparator + record.Params;
}

TFKeyRecord FKeyFromText(const std::wstring& text)
{
    TFKeyRecord record;
    const size_t first = text.find(kFKeySeparator);
    if (first == std::wstring::npos) {
        record.Caption = text.substr(0, 25);
        return record;
    }
    record.Caption = text.substr(0, std::min<size_t>(first, 25));
    const size_t second = text.find(kFKeySeparator, first + 1);
    if (second == std::wstring::npos) {
        record.Command = text.substr(first + 1, 200);
        return record;
    }
    record.Command = text.substr(first + 1, std::min<size_t>(second - first - 1, 200));
    record.Params = text.substr(second + 1, 255);
    return record;
}

std::wstring AttrListText(const TAttrChoices& choices)
{
    std::wstring text;
    for (TSelAttr choice : choices)
        text += choice == TSelAttr::SelYes ? L'+' : choice == TSelAttr::SelNo ? L'-' : L'*';
    return text;
}

bool ApplyAttrListText(const std::wstring& text, TAttrChoices& choices)
{
    if (text.size() < choices.size())
        return false;
    for (size_t i = 0; i < choices.size(); ++i)
        choices[i] = text[i] == L'+' ? TSelAttr::SelYes : text[i] == L'-' ? TSelAttr::SelNo : TSelAttr::SelDontCare;
    return true;
}

std::wstring FlagText(const std::vector<bool>& flags)
{
    std::wstring text;
    for (bool flag : flags)
        text += flag ? L'X' : L'-';
    return text;
}

void ApplyFlagText(const std::wstring& text, std::vector<bool>& flags, const std::vector<size_t>& groupEnds)
{
    size_t begin = 0;
    for (size_t end : groupEnds) {
        end = std::min(end, flags.size());
        if (text.size() < end)
            return;
        for (size_t i = begin; i < end; ++i)
            flags[i] = text[i] == L'X';
        begin = end;
    }
}

std::optional<std::wstring> ToolbarVisibilityText(const std::wstring& text, size_t buttonCount)
{
    std::wstring padded = text;
    if (padded.size() < buttonCount)
        padded.append(buttonCount - padded.size(), L'X');
    if (padded.size() != buttonCount)
        return std::nullopt;
    return padded;
}

std::wstring StartDirToStore(const std::wstring& path, const std::wstring& defaultDriveRoot)
{
    return path.starts_with(L"\\\\") ? defaultDriveRoot : path;
}

std::wstring ProgramFromOpenCommand(const std::wstring& command)
{
    std::wstring program;
    for (wchar_t c : command) {
        if (c == L'%')
            break;
        if (c != L'"')
            program += c;
    }
    while (!program.empty() && program.back() == L' ')
        program.pop_back();
    return program;
}

}  // namespace qrv
