#pragma once
// The syntax of one file specification handed to the zip library: a
// leading ">" forces encryption, a leading "|" forbids it, and text after
// "<" is that file's own password ("<" followed by a blank: none).

#include <string>

namespace qrv {

struct TZipFileSpec {
    std::wstring Spec;        // the name or pattern itself
    bool Encrypt = false;
    bool PasswordGiven = false;
    std::wstring Password;
};

// DefaultEncrypt: the component's AddEncrypt option, for plain specs.
TZipFileSpec ParseZipFileSpec(const std::wstring& Text, bool DefaultEncrypt);

}  // namespace qrv
