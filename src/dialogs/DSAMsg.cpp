#include "dialogs/DSAMsg.h"

#include "framework/SysUtils.h"

namespace qrv {

std::wstring FilterDSAIdent(const std::wstring& text, bool allowPathChars,
                            const std::function<bool(wchar_t)>& identChar)
{
    std::wstring filtered = text;
    for (wchar_t& c : filtered) {
        const bool pathChar = c == L'.' || c == L':' || c == L'\\';
        if (!identChar(c) && !(allowPathChars && pathChar))
            c = L' ';
    }
    return Trim(filtered);
}

std::wstring DSAKeyPath(const std::wstring& storePath, const std::wstring& ident)
{
    if (!storePath.empty() && storePath.back() == L'\\')
        return storePath + ident;
    return storePath + L"\\" + ident;
}

}  // namespace qrv
