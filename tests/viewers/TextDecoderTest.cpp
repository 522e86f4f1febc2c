#include "viewers/SingleByteCodePages.h"
#include "viewers/TextDecoder.h"
#include "viewers/TextEncoder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;
using namespace std::string_literals;

namespace {

// A double-byte code page in miniature: 0x81..0x9F lead, and a pair decodes
// to U+4E00 + (lead - 0x81) * 256 + trail; single bytes are ASCII.
class TFakeDbcs : public TCodePage {
public:
    bool IsLeadByte(uint8_t byte) const override { return byte >= 0x81 && byte <= 0x9F; }
    bool HasLeadBytes() const override { return true; }
    void Decode(std::string_view bytes, std::u16string& out) const override
    {
        for (size_t i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<uint8_t>(bytes[i]);
            if (IsLeadByte(b) && i + 1 < bytes.size()) {
                out.push_back(static_cast<char16_t>(0x4E00 + (b - 0x81) * 256 + static_cast<uint8_t>(bytes[++i])));
            } else {
                out.push_back(IsLeadByte(b) ? u'?' : static_cast<char16_t>(b));
            }
        }
    }
    void Encode(std::u16string_view text, std::string& out) const override
    {
        for (const char16_t c : text) {
            if (c >= 0x4E00 && c < 0x4E00 + 31 * 256) {
                out.push_back(static_cast<char>(0x81 + (c - 0x4E00) / 256));
                out.push_back(static_cast<char>((c - 0x4E00) % 256));
            } else {
                out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
            }
        }
    }
};

std::u16string DecodeInBlocks(TTextDecoder& decoder, std::string_view bytes, size_t blockSize)
{
    decoder.Reset();
    std::u16string text;
    for (size_t i = 0; i < bytes.size(); i += blockSize)
        decoder.Decode(bytes.substr(i, blockSize), text);
    decoder.Finish(text);
    return text;
}

std::string EncodeInBlocks(TTextEncoder& encoder, std::string_view bytes, size_t blockSize)
{
    encoder.Reset();
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += blockSize)
        encoder.Encode(bytes.substr(i, blockSize), out);
    encoder.Finish(out);
    return out;
}

std::string LittleEndianBytes(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::string BigEndianBytes(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c >> 8));
        bytes.push_back(static_cast<char>(c & 0xFF));
    }
    return bytes;
}

std::string AllBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

const size_t BlockSizes[] = {1, 2, 3, 4095};

}  // namespace

TEST(TextDecoder, EveryDecoderGivesTheSameTextInBlocks)
{
    const TFakeDbcs dbcs;
    const std::u16string sample = u"Grüße \U0001F600 aus Köln\r\n";
    struct Case {
        const char* what;
        std::function<std::unique_ptr<TTextDecoder>()> make;
        std::string bytes;
        std::u16string expected;
    };
    std::string longDbcs;
    for (int i = 0; i < 3000; ++i)
        longDbcs += i % 3 ? "a"s : "\x88\x41"s;
    const Case cases[] = {
        {"1252 with 0x81", [] { return std::make_unique<TCodePageDecoder>(CodePage1252()); }, "a\x81\xe4\x80",
         u"a\u0081\u00e4\u20ac"},
        {"850 box drawing", [] { return std::make_unique<TCodePageDecoder>(CodePage850()); }, "\xc9\xcd\xbb\x84",
         u"\u2554\u2550\u2557\u00e4"},
        {"DBCS pairs", [&] { return std::make_unique<TCodePageDecoder>(dbcs); },
         "x\x81\x41\x9f\xff"
         "y\x82",
         u"x\u4e41\u6cffy?"},
        {"UTF-16 LE mark", [] { return std::make_unique<TUtf16Decoder>(); }, "\xff\xfe" + LittleEndianBytes(sample),
         sample},
        {"UTF-16 BE mark", [] { return std::make_unique<TUtf16Decoder>(); }, "\xfe\xff" + BigEndianBytes(sample),
         sample},
        {"UTF-16 no mark", [] { return std::make_unique<TUtf16Decoder>(); }, LittleEndianBytes(sample), sample},
        {"UTF-16 odd length", [] { return std::make_unique<TUtf16Decoder>(); },
         "\xff\xfe"
         "a\0b"s,
         u"a\ufffd"},
        {"UTF-16 FF FE later is text", [] { return std::make_unique<TUtf16Decoder>(); },
         "\xff\xfe"
         "a\0\xff\xfe"s,
         u"a\ufeff"},
        {"UTF-16 one byte", [] { return std::make_unique<TUtf16Decoder>(); }, "\xff", u"\ufffd"},
        {"UTF-8 mark", [] { return std::make_unique<TUtf8Decoder>(); },
         "\xef\xbb\xbf"
         "Gr\xc3\xbc\xc3\x9f"
         "e \xf0\x9f\x98\x80 aus K\xc3\xb6ln\r\n",
         sample},
        {"UTF-8 without mark", [] { return std::make_unique<TUtf8Decoder>(); }, "a\xe2\x82\xac", u"a\u20ac"},
        {"UTF-8 mark later is text", [] { return std::make_unique<TUtf8Decoder>(); }, "a\xef\xbb\xbf", u"a\ufeff"},
        {"UTF-8 invalid bytes", [] { return std::make_unique<TUtf8Decoder>(); },
         "\xef\xbb\xbf"
         "a\xc0\xaf"
         "b\xed\xa0\x80",
         u"a\ufffd\ufffdb\ufffd\ufffd\ufffd"},
        {"UTF-8 cut at the end", [] { return std::make_unique<TUtf8Decoder>(); }, "ab\xe2\x82", u"ab\ufffd\ufffd"},
        {"UTF-8 half a mark", [] { return std::make_unique<TUtf8Decoder>(); }, "\xef\xbb", u"\ufffd\ufffd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto decoder = c.make();
        const std::u16string whole = DecodeInBlocks(*decoder, c.bytes, c.bytes.size() + 1);
        EXPECT_EQ(whole, c.expected);
        for (const size_t size : BlockSizes)
            EXPECT_EQ(DecodeInBlocks(*decoder, c.bytes, size), whole) << "blocks of " << size;
    }
    TCodePageDecoder longDecoder(dbcs);
    const std::u16string whole = DecodeInBlocks(longDecoder, longDbcs, longDbcs.size());
    EXPECT_EQ(whole.size(), 3000u);
    for (const size_t size : BlockSizes)
        EXPECT_EQ(DecodeInBlocks(longDecoder, longDbcs, size), whole) << "blocks of " << size;
}

TEST(TextDecoder, TheMarkIsDecidedOnTheFirstTwoBytesAndResetForARetry)
{
    TUtf16Decoder decoder;
    std::u16string text;
    decoder.Decode("\xfe", text);
    decoder.Decode("\xff\0"s, text);
    decoder.Decode("A"s, text);
    EXPECT_TRUE(decoder.BigEndian());
    EXPECT_EQ(text, u"A");
    decoder.Reset();
    text.clear();
    decoder.Decode("\xff\xfe"
                   "A\0"s,
                   text);
    EXPECT_FALSE(decoder.BigEndian()) << "a retry starts with no mark decided";
    EXPECT_EQ(text, u"A");
}

TEST(TextEncoder, CodePagesRoundTripEveryByte)
{
    for (const TSingleByteCodePage* page : {&CodePage1252(), &CodePage850()}) {
        TCodePageDecoder decoder(*page);
        TCodePageEncoder encoder(*page, false);
        const std::string bytes = AllBytes();
        const std::u16string text = DecodeInBlocks(decoder, bytes, bytes.size());
        ASSERT_EQ(text.size(), 256u);
        for (const size_t size : BlockSizes)
            EXPECT_EQ(EncodeInBlocks(encoder, LittleEndianBytes(text), size), bytes) << "blocks of " << size;
    }
    EXPECT_EQ(CodePage1252().CharOf(0x81), u'\u0081') << "an undefined byte maps to its control character";
    EXPECT_EQ(CodePage850().CharOf(0xB0), u'\u2591');
}

TEST(TextEncoder, Utf16RoundTripsAndSurrogatesSurviveTheCut)
{
    const std::u16string text = u"a\U0001F600b\u00e4\r\n";
    TUtf16Decoder decoder;
    TUtf16Encoder encoder;
    const std::string file = LittleEndianBytes(text);
    for (const size_t size : BlockSizes)
        EXPECT_EQ(EncodeInBlocks(encoder, LittleEndianBytes(DecodeInBlocks(decoder, file, size)), size), file);

    // A pair cut between blocks, or even inside a unit, is one character:
    // one "?" in 1252, never two.
    TCodePageEncoder toAnsi(CodePage1252(), false);
    for (const size_t size : BlockSizes)
        EXPECT_EQ(EncodeInBlocks(toAnsi, LittleEndianBytes(text), size), "a?b\xe4\r\n") << "blocks of " << size;
}

TEST(TextEncoder, UnixEncodingDropsEveryCrInTheViewsCodePage)
{
    TCodePageEncoder encoder(CodePage850(), true);
    const std::u16string text = u"\u2554\u2550\r\nx\ry\r\n";
    for (const size_t size : BlockSizes)
        EXPECT_EQ(EncodeInBlocks(encoder, LittleEndianBytes(text), size), "\xc9\xcd\nxy\n") << "blocks of " << size;
}

TEST(TextEncoder, ALastHalfUnitIsNotLostSilently)
{
    TCodePageEncoder encoder(CodePage1252(), false);
    EXPECT_EQ(EncodeInBlocks(encoder, "a\0b"s, 1), "a?");
}
