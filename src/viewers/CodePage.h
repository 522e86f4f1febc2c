#pragma once
// A code page between a text file's bytes and UTF-16: the conversion the
// text decoders and encoders stand on. Windows uses the system's converter;
// the host build and the tests use tables (SingleByteCodePages.h).

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

class TCodePage {
public:
    virtual ~TCodePage() = default;
    // True for a byte that begins a two-byte character (DBCS code pages only).
    virtual bool IsLeadByte(uint8_t byte) const = 0;
    // True when some byte is a lead byte, so blocks must not be cut blindly.
    virtual bool HasLeadBytes() const = 0;
    // Appends the UTF-16 of the bytes; a lead byte at the end is decoded alone.
    virtual void Decode(std::string_view bytes, std::u16string& out) const = 0;
    // Appends the bytes of the text; characters without a mapping become "?".
    virtual void Encode(std::u16string_view text, std::string& out) const = 0;
};

}  // namespace qrv
