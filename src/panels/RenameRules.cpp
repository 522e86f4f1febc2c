#include "panels/RenameRules.h"

#include "common/BaseUtils.h"

namespace qrv {

TRenameInput ReadRenameInput(const std::wstring& Text, const std::wstring& OldName, bool IsDirectory,
                             bool ShowExtension, const std::wstring& InvalidNameText)
{
    TRenameInput input;
    if (Text.empty()) {
        return input;
    }
    const bool blankOnly = Text.find_first_not_of(L' ') == std::wstring::npos;
    if (Text.find_first_of(kInvalidNameChars) != std::wstring::npos || blankOnly || Text == L"." || Text == L"..") {
        input.Kind = TRenameInput::Invalid;
        input.Error = InvalidNameText + L" ";
        for (const wchar_t c : kInvalidNameChars) {
            input.Error += L' ';
            input.Error += c;
        }
        return input;
    }
    input.Kind = TRenameInput::Rename;
    input.NewName = Text;
    if (!ShowExtension && !IsDirectory) {
        input.NewName += ExtractFileExt(OldName);
    }
    return input;
}

}  // namespace qrv
