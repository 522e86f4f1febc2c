#pragma once
// The syntax of one name pattern handed to the zip library: a
// leading ">" forces encryption, a leading "|" forbids it, and text after
// "<" is that file's own password ("<" followed by a blank: none).

#include <string>

namespace qrv {

struct TZipNamePattern {
    std::wstring Spec;  // the name or pattern itself
    bool Encrypt = false;
    bool PasswordGiven = false;
    std::wstring Password;
};

// DefaultEncrypt: the component's AddEncrypt option, for plain specs.
TZipNamePattern ParseZipNamePattern(const std::wstring& Text, bool DefaultEncrypt);

}  // namespace qrv
