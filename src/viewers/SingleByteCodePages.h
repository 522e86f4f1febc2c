#pragma once
// Windows code pages 1252 (Western ANSI) and 850 (Western OEM) as tables,
// mapping every byte as the system's converter does: the five bytes 1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
// characters of the same value, and 850's upper half holds letters and box
// drawing. Portable: the host build converts text files with these.

#include "viewers/CodePage.h"

#include <array>
#include <unordered_map>

namespace qrv {

class TSingleByteCodePage : public TCodePage {
public:
    // The characters of the bytes 0x80..0xFF; the lower half is ASCII.
    explicit TSingleByteCodePage(const std::array<char16_t, 128>& upperHalf);

    bool IsLeadByte(uint8_t) const override { return false; }
    bool HasLeadBytes() const override { return false; }
    void Decode(std::string_view bytes, std::u16string& out) const override;
    void Encode(std::u16string_view text, std::string& out) const override;

    char16_t CharOf(uint8_t byte) const { return toChar_[byte]; }

private:
    std::array<char16_t, 256> toChar_{};
    std::unordered_map<char16_t, uint8_t> toByte_;
};

const TSingleByteCodePage& CodePage1252();
const TSingleByteCodePage& CodePage850();

}  // namespace qrv
