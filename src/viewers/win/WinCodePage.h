#pragma once
// A system code page (ANSI, OEM or any other) through MultiByteToWideChar and
// WideCharToMultiByte, for the text decoders and encoders.

#include "viewers/CodePage.h"

#include <windows.h>

namespace qrv {

class TWinCodePage : public TCodePage {
public:
    // The system's own come from SystemAnsiEncoding and SystemOemEncoding.
    explicit TWinCodePage(UINT codePage);

    bool IsLeadByte(uint8_t byte) const override { return leadBytes_[byte]; }
    bool HasLeadBytes() const override { return hasLeadBytes_; }
    void Decode(std::string_view bytes, std::u16string& out) const override;
    void Encode(std::u16string_view text, std::string& out) const override;

    UINT CodePage() const { return codePage_; }

private:
    UINT codePage_;
    UINT maxCharSize_ = 1;
    bool hasLeadBytes_ = false;
    bool leadBytes_[256]{};
};

}  // namespace qrv
