#include "archives/ZipNamePattern.h"

namespace qrv {

TZipNamePattern ParseZipNamePattern(const std::wstring& Text, bool DefaultEncrypt)
{
    TZipNamePattern result;
    std::wstring text = Text;
    result.Encrypt = DefaultEncrypt;
    if (!text.empty() && (text[0] == L'>' || text[0] == L'|')) {
        result.Encrypt = text[0] == L'>';
        text.erase(0, 1);
    }
    const size_t mark = text.find(L'<');
    if (mark != std::wstring::npos) {
        const std::wstring password = text.substr(mark + 1);
        text.erase(mark);
        if (!password.empty() && password[0] != L' ') {
            result.Password = password;
            result.PasswordGiven = true;
        }
    }
    result.Spec = text;
    return result;
}

}  // namespace qrv
