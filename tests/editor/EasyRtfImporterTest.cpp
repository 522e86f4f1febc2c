#include "editor/EasyRtfImporter.h"
#include "editor/EasyRtfParser.h"
#include "editor/EasyRtfPicture.h"
#include "editor/WideText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace qrv;

namespace {

struct RtfRun {
    std::u16string Text;
    TColor Color = 0;
    TColor BackColor = 0;
    std::wstring Name;
    int32_t Size = 0;
    TFontStyles Style = 0;
    uint8_t Vertical = 0;
    std::wstring Link;
    bool HasPicture = false;
    TEasyRtfPicture Picture;
    uint8_t Alignment = 0;
    bool Numbering = false;
    int32_t LeftIndent = 0;
};

std::vector<RtfRun> Import(std::u16string_view rtf, TEasyRtfImporter* useImporter = nullptr)
{
    TEasyRtfImporter local;
    TEasyRtfImporter& importer = useImporter ? *useImporter : local;
    std::vector<RtfRun> runs;
    importer.OnOutput = [&runs](TCustomEasyImporter*, const std::u16string& text, const TCustomEasyEditorAttributes& a,
                                TCustomEasyEditorObject* object, const TCustomEasyParagraph& p) {
        RtfRun run{text, a.Color(), a.BackColor(), a.Name(), a.Size(), a.Style(), a.VerticalPosition(), a.Text()};
        if (auto* picture = dynamic_cast<TEasyRtfPicture*>(object)) {
            run.HasPicture = true;
            run.Picture = *picture;
        }
        run.Alignment = p.Alignment();
        run.Numbering = p.Numbering();
        run.LeftIndent = p.LeftIndent();
        runs.push_back(run);
    };
    importer.ImportString(rtf);
    return runs;
}

std::u16string AllText(const std::vector<RtfRun>& runs)
{
    std::u16string text;
    for (const RtfRun& run : runs)
        text += run.Text;
    return text;
}

std::u16string Hex(const std::string& bytes)
{
    static const char16_t digits[] = u"0123456789abcdef";
    std::u16string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        text += digits[b >> 4];
        text += digits[b & 15];
        if (i % 32 == 31)
            text += u"\r\n";  // picture data spans lines
    }
    return text;
}

void Put16(std::string& s, uint16_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, static_cast<uint16_t>(v));
    Put16(s, static_cast<uint16_t>(v >> 16));
}

uint32_t Get32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(s[at + i]);
    return v;
}

uint16_t Get16(const std::string& s, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

// A bottom-up DIB with a 40-byte info header; rows padded to 4 bytes.
std::string MakeDib(int32_t width, int32_t height, uint16_t bits, uint32_t colorsUsed, size_t dropBytes = 0)
{
    std::string dib;
    Put32(dib, 40);
    Put32(dib, static_cast<uint32_t>(width));
    Put32(dib, static_cast<uint32_t>(height));
    Put16(dib, 1);
    Put16(dib, bits);
    Put32(dib, 0);  // BI_RGB
    const size_t row = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    Put32(dib, static_cast<uint32_t>(row * height));
    Put32(dib, 2835);
    Put32(dib, 2835);
    Put32(dib, colorsUsed);
    Put32(dib, 0);
    const uint32_t colors = colorsUsed ? colorsUsed : (bits <= 8 ? 1u << bits : 0u);
    for (uint32_t i = 0; i < colors; ++i)
        Put32(dib, i * 0x404040);
    for (size_t i = 0; i < row * height; ++i)
        dib += static_cast<char>(i * 7);
    dib.resize(dib.size() - dropBytes);
    return dib;
}

// The smallest Windows metafile: its header and the end record.
std::string MakeMetafile()
{
    std::string wmf;
    Put16(wmf, 1);      // in memory
    Put16(wmf, 9);      // header words
    Put16(wmf, 0x300);  // version
    Put32(wmf, 12);     // size in words
    Put16(wmf, 0);      // objects
    Put32(wmf, 3);      // largest record
    Put16(wmf, 0);
    Put32(wmf, 3);  // end record
    Put16(wmf, 0);
    return wmf;
}

std::u16string Pict(std::u16string words, const std::string& bytes)
{
    return u"{\\rtf1 a{\\pict" + words + u" " + Hex(bytes) + u"}b}";
}

}  // namespace

TEST(EasyRtfParser, SplitsGroupsWordsAndText)
{
    TEasyRtfParser parser;
    const std::u16string line = u"{\\b12 x\\{y|z\\'e4\\\\}\\";
    std::vector<std::pair<int, std::u16string>> tokens;
    int state = 0, pos = 1;
    for (;;) {
        const int start = pos;
        const int token = parser.NextToken(state, line, pos);
        if (token < 0)
            break;
        ASSERT_GT(pos, start);
        tokens.emplace_back(token, line.substr(start - 1, pos - start));
    }
    const std::vector<std::pair<int, std::u16string>> expected = {
        {rtGroupOpen, u"{"},   {rtControl, u"\\b12"}, {rtText, u" x\\{y"},  {rtText, u"|"},    {rtText, u"z"},
        {rtControl, u"\\'e4"}, {rtText, u"\\\\"},     {rtGroupClose, u"}"}, {rtControl, u"\\"}};
    EXPECT_EQ(tokens, expected);
}

TEST(EasyRtfImporter, ColoursStylesAndRuns)
{
    const auto runs = Import(u"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\b X\\b0 y}");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Text, u"X");
    EXPECT_EQ(runs[0].Color, 0x0000FF);
    EXPECT_EQ(runs[0].Style, efBold);
    EXPECT_EQ(runs[1].Text, u"y");
    EXPECT_EQ(runs[1].Style, 0);
    EXPECT_EQ(runs[1].Color, 0x0000FF);

    // The blank after a control word is dropped only directly after it.
    const auto groups = Import(u"{\\rtf1 {\\b bold} plain}");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].Text, u"bold");
    EXPECT_EQ(groups[0].Style, efBold);
    EXPECT_EQ(groups[1].Text, u" plain");
    EXPECT_EQ(groups[1].Style, 0);
    EXPECT_EQ(groups[1].Name, L"Times New Roman");
    EXPECT_EQ(groups[1].Size, 10);
}

TEST(EasyRtfImporter, CharacterWords)
{
    struct Case {
        std::u16string rtf;
        std::u16string text;
    } cases[] = {
        {u"{\\rtf1 \\u8364?}", u"\u20AC"},
        {u"{\\rtf1 \\u8364\\'80 x}", u"\u20AC x"},
        {u"{\\rtf1 \\uc2\\u8364??x}", u"\u20ACx"},
        {u"{\\rtf1 \\u-3971?}", u"\uF07D"},
        {u"{\\rtf1 \\'e4\\'80}", u"\u00E4\u20AC"},
        {u"{\\rtf1 a\\tab b\\cell c}", u"a\tb\tc"},
        {u"{\\rtf1 a\\line b}", u"a\r\nb"},
        {u"{\\rtf1 \\lquote x\\rquote\\endash}", u"'x'-"},
        {u"{\\rtf1 \\\\ \\{ \\}}", u"\\ { }"},
        {u"{\\rtf1 a{\\*\\unknown skipped {nested}}b}", u"ab"},
        {u"{\\rtf1 a{\\title t}{\\author x}{\\stylesheet{\\s1 y;}}b}", u"ab"},
        {u"{\\rtf1 {\\listtext 1.\\tab}item}", u"item"},
        {u"{\\rtf1 a\\par b\\par}", u"a\r\nb\r\n"},
        {u"{\\rtf1 a\\'e", u"a"},
        {u"{\\rtf1 a\\", u"a"},
        {u"}}{\\rtf1 a}}}", u"a"},
        {u"{\\rtf1 a{\\*\\skip never closed", u"a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AllText(Import(c.rtf)), c.text) << ToWide(c.rtf);
}

TEST(EasyRtfImporter, FontsSizesAndVerticalPosition)
{
    TEasyRtfImporter importer;
    const auto runs = Import(u"{\\rtf1\\deff0{\\fonttbl{\\f0\\fnil Arial;}{\\f3\\fcharset204 Courier New;}}"
                             u"\\fs20 a{\\f3\\fs30\\sub b}{\\super c\\nosupersub d}\\f9 e\\plain f}",
                             &importer);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0].Size, 10);
    EXPECT_EQ(runs[0].Name, L"Times New Roman");
    EXPECT_EQ(runs[1].Name, L"Courier New");
    EXPECT_EQ(runs[1].Size, 15);
    EXPECT_EQ(runs[1].Vertical, 1);
    EXPECT_EQ(runs[2].Text, u"c");
    EXPECT_EQ(runs[2].Vertical, 2);
    EXPECT_EQ(runs[2].Size, 10);
    EXPECT_EQ(runs[3].Text, u"d");
    EXPECT_EQ(runs[3].Vertical, 0);
    // A missing font entry changes nothing; \plain takes entry 0 at 12 points.
    EXPECT_EQ(runs[4].Text, u"e");
    EXPECT_EQ(runs[4].Name, L"Times New Roman");
    EXPECT_EQ(runs[5].Text, u"f");
    EXPECT_EQ(runs[5].Name, L"Arial");
    EXPECT_EQ(runs[5].Size, 12);
    EXPECT_EQ(importer.FontTable().at(0).Charset, 1);
    EXPECT_EQ(importer.FontTable().at(3).Charset, 204);

    const auto plain = Import(u"{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b\\fs40 x\\plain y}");
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[1].Name, L"Arial");
    EXPECT_EQ(plain[1].Size, 12);
    EXPECT_EQ(plain[1].Style, 0);
}

TEST(EasyRtfImporter, HugeNumbersStayBounded)
{
    // Table numbers are keys, not indexes: no two-billion-entry table.
    TEasyRtfImporter importer;
    const auto runs = Import(u"{\\rtf1{\\fonttbl{\\f2000000000 Wide;}}{\\colortbl;\\red999\\green-5\\blue300;}"
                             u"\\f2000000000\\cf1\\fs99999999999999 x\\cf2000000000\\li99999999999 y}",
                             &importer);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Name, L"Wide");
    EXPECT_EQ(runs[0].Color, 0xFF00FF);  // clamped components
    EXPECT_EQ(runs[0].Size, 2147483647 / 2);
    EXPECT_EQ(runs[1].Color, 0xFF00FF);
    EXPECT_EQ(importer.FontTable().size(), 1u);
    EXPECT_EQ(importer.ColorTable().size(), 2u);
}

TEST(EasyRtfImporter, HighlightAndStyles)
{
    const auto runs = Import(u"{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green255\\blue0;}"
                             u"\\highlight1\\i\\ul\\strike a\\highlight0\\ulnone\\i0 b\\strike0 c}");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].BackColor, 0x00FF00);
    EXPECT_EQ(runs[0].Style, efItalic | efUnderline | efStrikeOut);
    EXPECT_EQ(runs[1].BackColor, clNone);
    EXPECT_EQ(runs[1].Style, efStrikeOut);
    EXPECT_EQ(runs[2].Style, 0);
}

TEST(EasyRtfImporter, HyperlinkFieldMarksItsRuns)
{
    const auto runs = Import(u"{\\rtf1 a{\\field{\\*\\fldinst{HYPERLINK \"http://example.org/x\"}}"
                             u"{\\fldrslt{\\ul link}}} b}");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Link, L"");
    EXPECT_EQ(runs[1].Text, u"link");
    EXPECT_EQ(runs[1].Link, L"http://example.org/x");
    EXPECT_EQ(runs[1].Style, efUnderline);
    EXPECT_EQ(runs[2].Text, u" b");
    EXPECT_EQ(runs[2].Link, L"");
}

TEST(EasyRtfImporter, ParagraphSettings)
{
    const auto runs = Import(u"{\\rtf1\\qc\\li1134 a\\par\\pard b}");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Alignment, 2);
    EXPECT_EQ(runs[0].LeftIndent, 75);  // 2 cm
    EXPECT_EQ(runs[1].Text, u"\r\n");
    EXPECT_EQ(runs[2].Alignment, 0);
}

TEST(EasyRtfImporter, CanImportNeedsTheSignature)
{
    TEasyRtfImporter importer;
    for (const auto& [bytes, expected] : std::vector<std::pair<std::string, bool>>{{"{\\rtf1 x}", true},
                                                                                   {"{\\rtf", true},
                                                                                   {"{\\rt", false},
                                                                                   {"{\\rtx1 x}", false},
                                                                                   {"plain text", false},
                                                                                   {"", false}}) {
        TMemoryStream stream;
        stream.WriteBytes(bytes);
        stream.SetPosition(0);
        EXPECT_EQ(importer.CanImport(stream), expected) << bytes;
        EXPECT_EQ(stream.Position(), 0);
    }
}

TEST(EasyRtfPicture, BitmapHeadersAreComputedFromTheInfoHeader)
{
    struct Case {
        uint16_t bits;
        uint32_t colorsUsed;
        uint32_t offBits;
    } cases[] = {{24, 0, 14 + 40}, {4, 4, 14 + 40 + 16}, {8, 0, 14 + 40 + 1024}, {1, 0, 14 + 40 + 8}};
    for (const Case& c : cases) {
        const std::string dib = MakeDib(3, 2, c.bits, c.colorsUsed);
        const auto file = BitmapFileFromDib(dib);
        ASSERT_TRUE(file) << c.bits;
        EXPECT_EQ(file->substr(0, 2), "BM");
        EXPECT_EQ(Get32(*file, 2), dib.size() + 14);
        EXPECT_EQ(Get32(*file, 10), c.offBits) << c.bits;
        EXPECT_EQ(file->substr(14), dib);
        // One byte short of its rows, the bitmap is refused.
        EXPECT_FALSE(BitmapFileFromDib(MakeDib(3, 2, c.bits, c.colorsUsed, 1))) << c.bits;
    }
    EXPECT_FALSE(BitmapFileFromDib(std::string(10, '\0')));
    EXPECT_FALSE(BitmapFileFromDib(MakeDib(3, 2, 7, 0)));
}

TEST(EasyRtfPicture, PicturesBecomeObjects)
{
    const std::string dib = MakeDib(3, 2, 24, 0);
    auto runs = Import(Pict(u"\\dibitmap0\\picw3\\pich2", dib));
    ASSERT_EQ(runs.size(), 3u);
    ASSERT_TRUE(runs[1].HasPicture);
    EXPECT_EQ(runs[1].Picture.Kind, TEasyRtfPictureKind::Bitmap);
    EXPECT_EQ(runs[1].Picture.Width(), 3);
    EXPECT_EQ(runs[1].Picture.Height(), 2);
    EXPECT_FALSE(runs[1].Picture.Stretched);
    EXPECT_EQ(runs[1].Picture.Data.substr(14), dib);

    runs = Import(Pict(u"\\dibitmap0\\picscalex200", dib));
    ASSERT_TRUE(runs.at(1).HasPicture);
    EXPECT_EQ(runs[1].Picture.Width(), 6);
    EXPECT_EQ(runs[1].Picture.Height(), 2);
    EXPECT_TRUE(runs[1].Picture.Stretched);

    // Damaged and unsupported pictures are dropped; the text stays.
    for (const auto& damaged : {Pict(u"\\dibitmap0", MakeDib(3, 2, 24, 0, 1)), Pict(u"\\pngblip", dib),
                                Pict(u"\\wmetafile8", "short"), Pict(u"\\emfblip", dib)}) {
        runs = Import(damaged);
        EXPECT_EQ(AllText(runs), u"ab");
        for (const RtfRun& run : runs)
            EXPECT_FALSE(run.HasPicture);
    }

    const std::string wmf = MakeMetafile();
    runs = Import(Pict(u"\\wmetafile8\\picw2646\\pich1323", wmf));
    ASSERT_TRUE(runs.at(1).HasPicture);
    const TEasyRtfPicture& meta = runs[1].Picture;
    EXPECT_EQ(meta.Kind, TEasyRtfPictureKind::Metafile);
    EXPECT_EQ(meta.Width(), 100);
    EXPECT_EQ(meta.Height(), 50);
    ASSERT_EQ(meta.Data.size(), 22 + wmf.size());
    EXPECT_EQ(Get32(meta.Data, 0), 0x9AC6CDD7u);
    EXPECT_EQ(Get16(meta.Data, 10), 100);
    EXPECT_EQ(Get16(meta.Data, 12), 50);
    EXPECT_EQ(Get16(meta.Data, 14), 96);
    EXPECT_EQ(Get16(meta.Data, 20), 0x5727);  // XOR of the ten words before it
    EXPECT_EQ(meta.Data.substr(22), wmf);
}

TEST(EasyRtfPicture, HexDecodeSkipsOtherCharacters)
{
    EXPECT_EQ(RtfHexDecode(u"4a 6B\r\n7z0"), std::string("\x4a\x6b\x70", 3));
    EXPECT_EQ(RtfHexDecode(u"abc"), std::string("\xab", 1));
}
