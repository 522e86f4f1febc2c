#include "viewers/HexDocumentCharset.h"

namespace qrv {

namespace {

// Mac Roman 0x80..0xFF as ANSI bytes: the accented letters are their ISO
// 8859-1 codes, the other symbols fill the remaining codes one to one.
constexpr uint8_t kMacToAnsi[128] = {
    0xC4, 0xC5, 0xC7, 0xC9, 0xD1, 0xD6, 0xDC, 0xE1, 0xE0, 0xE2, 0xE4, 0xE3, 0xE5, 0xE7, 0xE9, 0xE8, 0xEA, 0xEB, 0xED,
    0xEC, 0xEE, 0xEF, 0xF1, 0xF3, 0xF2, 0xF4, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC, 0xDD, 0xB0, 0xA2, 0xA3, 0xA7, 0x80,
    0xB6, 0xDF, 0xAE, 0xA9, 0x81, 0xB4, 0xA8, 0x82, 0xC6, 0xD8, 0x83, 0xB1, 0xBE, 0x84, 0xA5, 0xB5, 0x8F, 0x85, 0xBD,
    0xBC, 0x86, 0xAA, 0xBA, 0x87, 0xE6, 0xF8, 0xBF, 0xA1, 0xAC, 0x88, 0x9F, 0x89, 0x90, 0xAB, 0xBB, 0x8A, 0xA0, 0xC0,
    0xC3, 0xD5, 0x91, 0xA6, 0xAD, 0x8B, 0xB3, 0xB2, 0x8C, 0xB9, 0xF7, 0xD7, 0xFF, 0x8D, 0x8E, 0xA4, 0xD0, 0xF0, 0xDE,
    0xFE, 0xFD, 0xB7, 0x92, 0x93, 0x94, 0xC2, 0xCA, 0xC1, 0xCB, 0xC8, 0xCD, 0xCE, 0xCF, 0xCC, 0xD3, 0xD4, 0x95, 0xD2,
    0xDA, 0xDB, 0xD9, 0x9E, 0x96, 0x97, 0xAF, 0x98, 0x99, 0x9A, 0xB8, 0x9B, 0x9C, 0x9D,
};

std::array<uint8_t, 256> MakeMacTable()
{
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 128; ++i) {
        table[i] = kMacToAnsi[i];
        table[128 + (kMacToAnsi[i] - 0x80)] = static_cast<uint8_t>(0x80 + i);
    }
    return table;
}

std::array<uint8_t, 256> MakeEbcdicToAnsi()
{
    std::array<uint8_t, 256> t{};
    const uint8_t pairs[][2] = {
        {0x40, 0x20}, {0x4B, 0x2E}, {0x4C, 0x3C}, {0x4D, 0x28}, {0x4E, 0x2B}, {0x4F, 0xFE}, {0x50, 0x26}, {0x51, 0x26},
        {0x5A, 0x21}, {0x5B, 0x24}, {0x5C, 0x2A}, {0x5D, 0x29}, {0x5E, 0x3B}, {0x60, 0x2D}, {0x61, 0x2F}, {0x6A, 0x7C},
        {0x6B, 0x2C}, {0x6C, 0x25}, {0x6D, 0x5F}, {0x6E, 0x3E}, {0x6F, 0x3F}, {0x79, 0x60}, {0x7A, 0x3A}, {0x7B, 0x23},
        {0x7C, 0x40}, {0x7D, 0x27}, {0x7E, 0x3D}, {0x7F, 0x22}, {0xA1, 0x7E}, {0xE0, 0x5C},
    };
    for (const auto& p : pairs)
        t[p[0]] = p[1];
    // The letter and digit runs.
    const struct {
        uint8_t from, to, ansi;
    } runs[] = {
        {0x81, 0x89, 0x61}, {0x91, 0x99, 0x6A}, {0xA2, 0xA9, 0x73}, {0xC1, 0xC9, 0x41},
        {0xD1, 0xD9, 0x4A}, {0xE2, 0xE9, 0x53}, {0xF0, 0xF9, 0x30},
    };
    for (const auto& r : runs)
        for (int e = r.from; e <= r.to; ++e)
            t[e] = static_cast<uint8_t>(r.ansi + (e - r.from));
    return t;
}

std::array<uint8_t, 256> MakeAnsiToEbcdic()
{
    std::array<uint8_t, 256> t{};
    const auto display = MakeEbcdicToAnsi();
    for (int e = 0; e < 256; ++e)
        if (display[e] && !t[display[e]])
            t[display[e]] = static_cast<uint8_t>(e);
    // Both 0x50 and 0x51 show "&"; typing gives 0x50 (the first one wins above).
    return t;
}

}  // namespace

const std::array<uint8_t, 256> MacTable = MakeMacTable();
const std::array<uint8_t, 256> EbcdicToAnsiTable = MakeEbcdicToAnsi();
const std::array<uint8_t, 256> AnsiToEbcdicTable = MakeAnsiToEbcdic();

THexCharset::THexCharset(const THexCodePages& pages) : pages_(pages)
{
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<uint8_t>(b);
        const char16_t wide = pages_.ToWide(THexCodePage::Ansi, byte);
        const std::optional<uint8_t> oem = wide || !b ? pages_.FromWide(THexCodePage::Oem, wide) : std::nullopt;
        ansiToOem_[b] = oem.value_or(byte);
        const std::optional<uint8_t> lower =
            wide ? pages_.FromWide(THexCodePage::Ansi, pages_.Lower(wide)) : std::nullopt;
        ansiLower_[b] = lower.value_or(byte);
    }
}

char16_t THexCharset::Display(uint8_t byte, TTranslationType translation, bool maskWhiteSpaces, char16_t maskChar) const
{
    char16_t c = 0;
    switch (translation) {
    case TTranslationType::ttAnsi:
        c = pages_.ToWide(THexCodePage::Ansi, byte);
        break;
    case TTranslationType::ttDos8:
        c = pages_.ToWide(THexCodePage::Oem, byte);
        break;
    case TTranslationType::ttASCII:
        if (byte >= 0x80)
            return maskChar;
        c = pages_.ToWide(THexCodePage::Oem, byte);
        break;
    case TTranslationType::ttMac:
        c = pages_.ToWide(THexCodePage::Ansi, byte < 0x80 ? byte : MacTable[byte - 0x80]);
        break;
    case TTranslationType::ttEBCDIC:
        if (!EbcdicToAnsiTable[byte])
            return maskChar;
        c = pages_.ToWide(THexCodePage::Ansi, EbcdicToAnsiTable[byte]);
        break;
    }
    // A byte the code page has no character for shows the mask as well.
    if (c == 0 && byte != 0)
        return maskChar;
    if (maskWhiteSpaces && c < 32)
        return maskChar;
    return c;
}

std::optional<uint8_t> THexCharset::Type(char16_t c, TTranslationType translation, bool altOem) const
{
    if (altOem)
        return pages_.FromWide(THexCodePage::Oem, c);
    if (c < 32)
        return std::nullopt;
    switch (translation) {
    case TTranslationType::ttAnsi:
        return pages_.FromWide(THexCodePage::Ansi, c);
    case TTranslationType::ttDos8:
        return pages_.FromWide(THexCodePage::Oem, c);
    case TTranslationType::ttASCII:
        if (c >= 0x80)
            return std::nullopt;
        return pages_.FromWide(THexCodePage::Oem, c);
    case TTranslationType::ttMac: {
        const std::optional<uint8_t> ansi = pages_.FromWide(THexCodePage::Ansi, c);
        if (ansi && *ansi >= 0x80)
            return MacTable[128 + (*ansi - 0x80)];
        return ansi;
    }
    case TTranslationType::ttEBCDIC: {
        const std::optional<uint8_t> ansi = pages_.FromWide(THexCodePage::Ansi, c);
        if (!ansi || !AnsiToEbcdicTable[*ansi])
            return std::nullopt;
        return AnsiToEbcdicTable[*ansi];
    }
    }
    return std::nullopt;
}

void THexCharset::TranslateBuffer(TTranslationType translation, const uint8_t* source, uint8_t* target,
                                  size_t count) const
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = source[i];
        switch (translation) {
        case TTranslationType::ttAnsi:
            target[i] = b;
            break;
        case TTranslationType::ttDos8:
        case TTranslationType::ttASCII:
            target[i] = ansiToOem_[b];
            break;
        case TTranslationType::ttMac:
            target[i] = b < 0x80 ? b : MacTable[128 + (b - 0x80)];
            break;
        case TTranslationType::ttEBCDIC:
            target[i] = AnsiToEbcdicTable[b];
            break;
        }
    }
}

}  // namespace qrv
