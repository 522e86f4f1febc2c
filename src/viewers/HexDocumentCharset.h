#pragma once
// The character sets of the hex editor's character pane: how a byte is shown
// and which byte a typed character becomes, for ANSI, DOS (OEM), 7-bit ASCII,
// Macintosh and EBCDIC. The system's ANSI and OEM code pages come through
// THexCodePages, so the rules are tested natively with fixed tables. Portable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace qrv {

enum class TTranslationType { ttAnsi, ttDos8, ttASCII, ttMac, ttEBCDIC };

enum class THexCodePage { Ansi, Oem };

// The system's single-byte code pages.
class THexCodePages {
public:
    virtual ~THexCodePages() = default;
    // The character of a byte, or 0 when the code page has none for it.
    virtual char16_t ToWide(THexCodePage page, uint8_t byte) const = 0;
    // The byte of a character, or nothing when the code page has no exact one
    // (no best-fit replacement).
    virtual std::optional<uint8_t> FromWide(THexCodePage page, char16_t c) const = 0;
    // The system's lower case of a character.
    virtual char16_t Lower(char16_t c) const = 0;
};

// Macintosh upper half: entries 0..127 map Mac bytes 0x80..0xFF to ANSI bytes
// (display), entries 128..255 map ANSI 0x80..0xFF back to Mac bytes (typing).
extern const std::array<uint8_t, 256> MacTable;
// EBCDIC to ANSI (display) and ANSI to EBCDIC (typing); 0 = no character.
extern const std::array<uint8_t, 256> EbcdicToAnsiTable;
extern const std::array<uint8_t, 256> AnsiToEbcdicTable;

class THexCharset {
public:
    explicit THexCharset(const THexCodePages& pages);

    // The character shown for a byte.
    char16_t Display(uint8_t byte, TTranslationType translation, bool maskWhiteSpaces, char16_t maskChar) const;
    // The byte a typed character becomes, or nothing when it is refused.
    // altOem: the character came from Alt+digits, so it is an OEM character
    // whatever the character set.
    std::optional<uint8_t> Type(char16_t c, TTranslationType translation, bool altOem = false) const;
    // An ANSI buffer in the file's character set, without refusals (bytes
    // that have no counterpart stay as they are).
    void TranslateBuffer(TTranslationType translation, const uint8_t* source, uint8_t* target, size_t count) const;
    // The ANSI lower case of every byte.
    const std::array<uint8_t, 256>& AnsiLowerTable() const { return ansiLower_; }

private:
    const THexCodePages& pages_;
    std::array<uint8_t, 256> ansiToOem_{};
    std::array<uint8_t, 256> ansiLower_{};
};

}  // namespace qrv
