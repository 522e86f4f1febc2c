#include "viewers/HexDocumentCharset.h"

#include "HexDocumentCodePages.h"

#include <gtest/gtest.h>

#include <set>

using namespace qrv;

namespace {

const TTranslationType kAllSets[] = {TTranslationType::ttAnsi, TTranslationType::ttDos8, TTranslationType::ttASCII,
                                     TTranslationType::ttMac, TTranslationType::ttEBCDIC};

// A mask that no code page produces, so that masked bytes are recognised.
constexpr char16_t kNoCharacter = 0xFFFF;

class HexCharsetTest : public ::testing::Test {
protected:
    test::TFixedCodePages pages;
    THexCharset charset{pages};
};

}  // namespace

TEST(HexCharsetTables, MacHalvesAreInversePermutations)
{
    std::set<uint8_t> seen;
    for (int i = 0; i < 128; ++i) {
        const uint8_t ansi = MacTable[i];
        ASSERT_GE(ansi, 0x80) << i;
        seen.insert(ansi);
        EXPECT_EQ(MacTable[128 + ansi - 0x80], 0x80 + i) << "typing undoes display for Mac byte " << 0x80 + i;
    }
    EXPECT_EQ(seen.size(), 128u) << "a one-to-one mapping of the upper half";
}

TEST(HexCharsetTables, EbcdicTypingInvertsDisplay)
{
    for (int e = 0; e < 256; ++e) {
        const uint8_t ansi = EbcdicToAnsiTable[e];
        if (!ansi)
            continue;
        EXPECT_EQ(EbcdicToAnsiTable[AnsiToEbcdicTable[ansi]], ansi) << e;
    }
    EXPECT_EQ(AnsiToEbcdicTable['&'], 0x50) << "of the two ampersands typing gives the first";
    EXPECT_EQ(AnsiToEbcdicTable[0xE4], 0) << "no EBCDIC umlaut";
}

TEST_F(HexCharsetTest, EveryShownCharacterTypesBackToItsByte)
{
    for (const TTranslationType set : kAllSets) {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<uint8_t>(b);
            const char16_t shown = charset.Display(byte, set, false, kNoCharacter);
            if (shown < 32 || shown == kNoCharacter)
                continue;  // control characters and bytes without a character are not typed
            const std::optional<uint8_t> typed = charset.Type(shown, set);
            ASSERT_TRUE(typed.has_value()) << "set " << int(set) << " byte " << b;
            if (set == TTranslationType::ttEBCDIC && byte == 0x51)
                EXPECT_EQ(*typed, 0x50);
            else
                EXPECT_EQ(*typed, byte) << "set " << int(set) << " byte " << b;
        }
    }
}

TEST_F(HexCharsetTest, DisplayOfSingleBytes)
{
    struct Case {
        TTranslationType set;
        uint8_t byte;
        bool mask;
        char16_t shown;
    } cases[] = {
        {TTranslationType::ttEBCDIC, 0xC1, true, u'A'},
        {TTranslationType::ttEBCDIC, 0xF9, true, u'9'},
        {TTranslationType::ttEBCDIC, 0x00, false, u'.'},  // no character: the mask
        {TTranslationType::ttEBCDIC, 0x4F, true, u'þ'},
        {TTranslationType::ttAnsi, 0x09, true, u'.'},
        {TTranslationType::ttAnsi, 0x09, false, u'\t'},
        {TTranslationType::ttAnsi, 0xE4, true, u'ä'},
        {TTranslationType::ttAnsi, 0x80, true, u'€'},
        {TTranslationType::ttDos8, 0x84, true, u'ä'},
        {TTranslationType::ttDos8, 0xE1, true, u'ß'},
        {TTranslationType::ttASCII, 0x84, true, u'.'},  // upper half masked
        {TTranslationType::ttASCII, 'Z', true, u'Z'},
        {TTranslationType::ttMac, 0x8A, true, u'ä'},
        {TTranslationType::ttMac, 0xA7, true, u'ß'},
        {TTranslationType::ttMac, 'q', true, u'q'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(charset.Display(c.byte, c.set, c.mask, u'.'), c.shown)
            << "set " << int(c.set) << " byte " << int(c.byte);
    EXPECT_EQ(charset.Display(0x01, TTranslationType::ttAnsi, true, u'#'), u'#') << "the mask character is used";
}

TEST_F(HexCharsetTest, TypingRefusesWhatTheSetCannotHold)
{
    struct Case {
        TTranslationType set;
        char16_t typed;
        std::optional<uint8_t> byte;
    } cases[] = {
        {TTranslationType::ttASCII, u'ä', std::nullopt},
        {TTranslationType::ttASCII, u'a', 'a'},
        {TTranslationType::ttAnsi, u'ä', 0xE4},
        {TTranslationType::ttAnsi, u'Ω', std::nullopt},  // no best fit to another letter
        {TTranslationType::ttAnsi, u'\x1F', std::nullopt},
        {TTranslationType::ttDos8, u'ä', 0x84},
        {TTranslationType::ttDos8, u'€', std::nullopt},
        {TTranslationType::ttMac, u'ä', 0x8A},
        {TTranslationType::ttMac, u'A', 'A'},
        {TTranslationType::ttEBCDIC, u'A', 0xC1},
        {TTranslationType::ttEBCDIC, u'ä', std::nullopt},
        {TTranslationType::ttEBCDIC, u'&', 0x50},
    };
    for (const Case& c : cases)
        EXPECT_EQ(charset.Type(c.typed, c.set), c.byte) << "set " << int(c.set) << " char " << int(c.typed);
    EXPECT_EQ(charset.Type(u'ä', TTranslationType::ttEBCDIC, true), 0x84) << "Alt+digits give an OEM character";
    EXPECT_EQ(charset.Type(u'\x1F', TTranslationType::ttAnsi, true), 0x1F);
}

TEST_F(HexCharsetTest, TranslateBufferConvertsAnsiPatterns)
{
    const uint8_t ansi[] = {'A', 0xE4, 0xDF, '&'};
    uint8_t out[4];
    charset.TranslateBuffer(TTranslationType::ttAnsi, ansi, out, 4);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), std::vector<uint8_t>(ansi, ansi + 4));
    charset.TranslateBuffer(TTranslationType::ttDos8, ansi, out, 4);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{'A', 0x84, 0xE1, '&'}));
    charset.TranslateBuffer(TTranslationType::ttMac, ansi, out, 4);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{'A', 0x8A, 0xA7, '&'}));
    charset.TranslateBuffer(TTranslationType::ttEBCDIC, ansi, out, 4);
    EXPECT_EQ(out[0], 0xC1);
    EXPECT_EQ(out[3], 0x50);
    // Every translated byte shows the character it came from.
    for (const TTranslationType set : {TTranslationType::ttDos8, TTranslationType::ttMac}) {
        for (int b = 0x20; b < 256; ++b) {
            const auto in = static_cast<uint8_t>(b);
            uint8_t translated;
            charset.TranslateBuffer(set, &in, &translated, 1);
            const char16_t original = pages.ToWide(THexCodePage::Ansi, in);
            if (pages.FromWide(THexCodePage::Oem, original) || set == TTranslationType::ttMac) {
                EXPECT_EQ(charset.Display(translated, set, true, u'.'), original) << int(set) << " " << b;
            }
        }
    }
}

TEST_F(HexCharsetTest, AnsiLowerCase)
{
    const auto& lower = charset.AnsiLowerTable();
    EXPECT_EQ(lower['A'], 'a');
    EXPECT_EQ(lower['a'], 'a');
    EXPECT_EQ(lower[0xC4], 0xE4);  // Ä
    EXPECT_EQ(lower[0x8A], 0x9A);  // Š
    EXPECT_EQ(lower['1'], '1');
}
