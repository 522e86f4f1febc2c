// The container layer: signature, framing and CRC, the order rules and
// errors of reading, the chunks kept and written back, the small chunks.
#include "PngTestSupport.h"

#include "framework/Streams.h"
#include "imaging/PngChunks.h"
#include "imaging/PngErrors.h"
#include "imaging/PngPicture.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace qrv;
using namespace qrv::test;

namespace {

class PngChunks : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registry = new ChunkRegistryScope; }
    static void TearDownTestSuite() { delete registry; }
    static ChunkRegistryScope* registry;
};
ChunkRegistryScope* PngChunks::registry = nullptr;

// A 4 x 2 8-bit grey image, rows unfiltered.
const std::string GreyRows = std::string("\0\x10\x20\x30\x40", 5) + std::string("\0\x50\x60\x70\x80", 5);
RawChunk GreyHeader()
{
    return {"IHDR", Ihdr(4, 2, 8, 0)};
}
RawChunk GreyData()
{
    return {"IDAT", Zlib(GreyRows)};
}
RawChunk End()
{
    return {"IEND", ""};
}

uint32_t BitwiseCrc(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

}  // namespace

TEST_F(PngChunks, CrcIsThatOfTheFormatOverNameAndData)
{
    std::mt19937 random(5);
    for (size_t size : {0, 1, 13, 1000}) {
        std::string data(size, '\0');
        for (char& c : data)
            c = static_cast<char>(random());
        EXPECT_EQ(PngChunkCrc("IDAT", reinterpret_cast<const uint8_t*>(data.data()), size), BitwiseCrc("IDAT" + data));
    }
}

TEST_F(PngChunks, ReadingFailsWithTheClassOfEachFault)
{
    const std::string good = BuildPng({GreyHeader(), GreyData(), End()});
    std::string badCrc = good;
    badCrc[8 + 8 + 13] ^= 1;  // last CRC byte of IHDR
    const std::string idat = ChunkBytes("IDAT", Zlib(GreyRows));
    std::string cut = good.substr(0, good.size() - 12);
    struct Case {
        const char* what;
        std::string file;
        std::function<void(const std::string&)> expectFailure;
    };
    auto expect = [](auto type) {
        return [](const std::string& file) {
            TPngPicture picture;
            EXPECT_THROW(LoadPicture(picture, file), decltype(type));
        };
    };
    const std::string signature = "\x89PNG\r\n\x1a\n";
    const Case cases[] = {
        {"no signature", "GIF89a" + good.substr(6), expect(EPNGInvalidFileHeader())},
        {"empty", "", expect(EPNGInvalidFileHeader())},
        {"IHDR not first", BuildPng({{"tEXt", "a\0b"}, GreyHeader(), GreyData(), End()}), expect(EPNGIHDRNotFirst())},
        {"no IEND", cut, expect(EPngUnexpectedEnd())},
        {"no IDAT", BuildPng({GreyHeader(), End()}), expect(EPNGNoImageData())},
        {"CRC", badCrc, expect(EPngInvalidCRC())},
        {"4 GB length", signature + ChunkBytes("IHDR", Ihdr(4, 2, 8, 0)) + Be32(0xFFFFFFF0) + "tEXt" + "abc",
         expect(EPngUnexpectedEnd())},
        {"length past the end", signature + ChunkBytes("IHDR", Ihdr(4, 2, 8, 0)) + Be32(5000) + "tEXt" + "abc",
         expect(EPngUnexpectedEnd())},
        {"IHDR short", BuildPng({{"IHDR", Ihdr(4, 2, 8, 0).substr(0, 12)}, GreyData(), End()}),
         expect(EPngInvalidIHDR())},
        {"second IHDR", BuildPng({GreyHeader(), GreyHeader(), GreyData(), End()}), expect(EPngInvalidIHDR())},
        {"RGB of 4 bits", BuildPng({{"IHDR", Ihdr(4, 2, 4, 2)}, GreyData(), End()}), expect(EPngInvalidIHDR())},
        {"colour type 1", BuildPng({{"IHDR", Ihdr(4, 2, 8, 1)}, GreyData(), End()}), expect(EPngInvalidIHDR())},
        {"width 65536", BuildPng({{"IHDR", Ihdr(65536, 2, 8, 0)}, GreyData(), End()}), expect(EPNGSizeExceeds())},
        {"compression 1",
         BuildPng({{"IHDR", Ihdr(4, 2, 8, 0).substr(0, 10) + std::string("\1\0\0", 3)}, GreyData(), End()}),
         expect(EPNGUnknownCompression())},
        {"interlace 2", BuildPng({{"IHDR", Ihdr(4, 2, 8, 0, 2)}, GreyData(), End()}), expect(EPNGUnknownInterlace())},
        {"critical AbCd", BuildPng({GreyHeader(), {"AbCd", "x"}, GreyData(), End()}),
         expect(EPNGUnknownCriticalChunk())},
        {"PLTE 769", BuildPng({GreyHeader(), {"PLTE", std::string(769, 'p')}, GreyData(), End()}),
         expect(EPNGInvalidPalette())},
        {"PLTE 10", BuildPng({GreyHeader(), {"PLTE", std::string(10, 'p')}, GreyData(), End()}),
         expect(EPNGInvalidPalette())},
        {"tRNS 257", BuildPng({GreyHeader(), {"tRNS", std::string(257, 't')}, GreyData(), End()}),
         expect(EPNGInvalidPalette())},
        {"tEXt between IDATs",
         BuildPng({GreyHeader(),
                   {"IDAT", Zlib(GreyRows).substr(0, 5)},
                   {"tEXt", "a\0b"},
                   {"IDAT", Zlib(GreyRows).substr(5)},
                   End()}),
         expect(EPNGMissingMultipleIDAT())},
        {"damaged deflate data", BuildPng({GreyHeader(), {"IDAT", std::string("\x78\x9c\xff\xff\xff\xff", 6)}, End()}),
         expect(EPNGZLIBError())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.expectFailure(c.file);
    }
}

TEST_F(PngChunks, FailuresCarryTheirGermanMessagesAndKeepTheChunksRead)
{
    TPngPicture picture;
    try {
        LoadPicture(picture,
                    BuildPng({GreyHeader(), {"tEXt", "a\0b"}, {"PLTE", std::string(10, 'p')}, GreyData(), End()}));
        FAIL() << "no exception";
    } catch (const EPNGInvalidPalette& e) {
        EXPECT_EQ(e.Message(), L"Das \"Portable Network Graphics\" Image enthält eine ungültige Palette.");
    }
    ASSERT_EQ(picture.Chunks().size(), 3u);
    EXPECT_EQ(picture.Chunks()[2]->Name(), "PLTE");

    try {
        LoadPicture(picture, BuildPng({GreyHeader(), {"IDAT", std::string("\x78\x9c\xff\xff\xff\xff", 6)}, End()}));
        FAIL() << "no exception";
    } catch (const EPNGZLIBError& e) {
        const std::wstring prefix = L"Die Grafik konnte nicht entpackt werden, weil sie fehlerhafte komprimierte "
                                    L"Daten enthält.\r\n Beschreibung: ";
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
        EXPECT_GT(e.Message().size(), prefix.size());  // the library's own text follows
    }
}

TEST_F(PngChunks, ChunksAreWrittenBackAsTheyWereRead)
{
    std::string damagedChrm = ChunkBytes("cHRM", std::string(32, 'c'));
    damagedChrm.back() ^= 0x55;
    const std::string file = "\x89PNG\r\n\x1a\n" + ChunkBytes("IHDR", Ihdr(4, 2, 8, 0)) +
                             ChunkBytes("abCd", std::string("raw\0\xff data", 9)) + damagedChrm +
                             ChunkBytes("gAMA", Be32(45455)) + ChunkBytes("tEXt", std::string("Key\0Wert", 8)) +
                             ChunkBytes("IDAT", Zlib(GreyRows)) + ChunkBytes("IDAT", Zlib(GreyRows)) +
                             ChunkBytes("tIME", std::string("\x07\xd4\x02\x1d\x0d\x2d\x07", 7)) +
                             ChunkBytes("IEND", "");
    TPngPicture picture;
    LoadPicture(picture, file);
    // gAMA 45455 is an exponent of 1.0: the tables stay identity.
    EXPECT_TRUE(picture.GammaIsIdentity());
    const std::string saved = SavePicture(picture);
    // cHRM and the late IDAT are dropped; everything else in its place.
    EXPECT_EQ(ChunkNames(saved), (std::vector<std::string>{"IHDR", "abCd", "gAMA", "tEXt", "IDAT", "tIME", "IEND"}));
    for (const RawChunk& chunk : ReadChunks(saved)) {
        if (chunk.Name == "abCd") {
            EXPECT_EQ(chunk.Data, std::string("raw\0\xff data", 9));
        } else if (chunk.Name == "tEXt") {
            EXPECT_EQ(chunk.Data, std::string("Key\0Wert", 8));
        } else if (chunk.Name == "tIME") {
            EXPECT_EQ(chunk.Data, std::string("\x07\xd4\x02\x1d\x0d\x2d\x07", 7));
        } else if (chunk.Name == "IDAT") {
            EXPECT_EQ(Inflate(chunk.Data).size(), GreyRows.size());
        }
    }
    // Every CRC written is right: the file reads again.
    TPngPicture again;
    LoadPicture(again, saved);
    auto* time = again.FindChunk<TChunktIME>();
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->Year, 2004);
    EXPECT_EQ(time->Day, 29);
}

TEST_F(PngChunks, GammaTablesFollowTheGamaChunk)
{
    TPngPicture picture;
    LoadPicture(picture, BuildPng({GreyHeader(), {"gAMA", Be32(0)}, GreyData(), End()}));
    EXPECT_TRUE(picture.GammaIsIdentity());
    LoadPicture(picture, BuildPng({GreyHeader(), {"gAMA", Be32(100000)}, GreyData(), End()}));
    // Exponent 1 / 2.2 brightens the middle; the inverse table undoes it.
    EXPECT_EQ(picture.GammaTable[0], 0);
    EXPECT_EQ(picture.GammaTable[255], 255);
    EXPECT_GT(picture.GammaTable[64], 64);
    EXPECT_EQ(picture.InverseGammaTable[picture.GammaTable[200]], 200);
    // A new gAMA chunk holds 1 (gamma 0.00001).
    TChunkgAMA fresh(&picture);
    TMemoryStream written;
    EXPECT_TRUE(fresh.SaveToStream(written));
    EXPECT_EQ(written.Size(), 16);
    EXPECT_EQ(written.Memory()[11], 1);
    EXPECT_EQ(fresh.Gamma(), 1u);
    // The next load starts from identity again.
    LoadPicture(picture, BuildPng({GreyHeader(), GreyData(), End()}));
    EXPECT_TRUE(picture.GammaIsIdentity());
}

TEST_F(PngChunks, CompressedTextIsInflatedRewrittenOrKeptRaw)
{
    const std::string keyword("Comment\0\0", 9);
    const std::string damaged = keyword + std::string("\x78\x9c\x01\x02", 4);
    TPngPicture picture;
    LoadPicture(picture, BuildPng({GreyHeader(),
                                   {"zTXt", keyword + Zlib("Hallo Welt")},
                                   {"zTXt", keyword + Zlib("")},
                                   {"zTXt", damaged},
                                   {"zTXt", keyword + Zlib(std::string(8 * 1024 * 1024 + 1, 'x'))},
                                   GreyData(),
                                   End()}));
    std::vector<TChunkzTXt*> texts;
    for (auto& chunk : picture.Chunks())
        if (auto* text = dynamic_cast<TChunkzTXt*>(chunk.get()))
            texts.push_back(text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0]->Keyword, "Comment");
    EXPECT_EQ(texts[0]->Text, "Hallo Welt");
    EXPECT_FALSE(texts[0]->KeepsRawData());
    EXPECT_TRUE(texts[2]->KeepsRawData());
    EXPECT_TRUE(texts[3]->KeepsRawData());  // beyond the 8 MB cap

    std::vector<std::string> written;
    for (const RawChunk& chunk : ReadChunks(SavePicture(picture)))
        if (chunk.Name == "zTXt")
            written.push_back(chunk.Data);
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(Inflate(written[0].substr(9)), "Hallo Welt");
    EXPECT_EQ(Inflate(written[1].substr(9)), " ");  // an empty text is written as one blank
    EXPECT_EQ(written[2], damaged);                 // unreadable text comes back byte for byte
    EXPECT_EQ(written[3].substr(0, 9), keyword);
    EXPECT_EQ(Inflate(written[3].substr(9)).size(), 8u * 1024 * 1024 + 1);
}

TEST_F(PngChunks, TwoBitImagesAreWrittenWithFourBits)
{
    const std::string rows = std::string("\0\x1b", 2) + std::string("\0\xe4", 2);  // 0 1 2 3 / 3 2 1 0
    for (uint8_t colorType : {0, 3}) {
        SCOPED_TRACE(int(colorType));
        std::vector<RawChunk> chunks{{"IHDR", Ihdr(4, 2, 2, colorType)}};
        if (colorType == 3)
            chunks.push_back({"PLTE", std::string("\0\0\0\x10\x10\x10\x20\x20\x20\x30\x30\x30", 12)});
        chunks.push_back({"IDAT", Zlib(rows)});
        chunks.push_back(End());
        TPngPicture picture;
        LoadPicture(picture, BuildPng(chunks));
        picture.SetFilterSet(pfNone);
        const std::string saved = SavePicture(picture);
        EXPECT_EQ(ReadChunks(saved)[0].Data[8], 4);
        const std::string expected = colorType == 0 ? std::string("\0\x05\xaf", 3) + std::string("\0\xfa\x50", 3)
                                                    : std::string("\0\x01\x23", 3) + std::string("\0\x32\x10", 3);
        EXPECT_EQ(InflatedImageData(saved), expected);
    }
}

TEST_F(PngChunks, OptionsAreClampedAndCopied)
{
    TPngPicture picture;
    picture.SetIdatLimit(1000);
    EXPECT_EQ(picture.IdatLimit(), 65535u);
    picture.SetIdatLimit(uint64_t(1) << 33);
    EXPECT_EQ(picture.IdatLimit(), 0x7FFFFFFFu);
    picture.SetDeflateLevel(12);
    EXPECT_EQ(picture.DeflateLevel(), 9);
    picture.SetIdatLimit(70000);
    picture.SetFilterSet(pfPaeth | pfUp);

    LoadPicture(picture, BuildPng({GreyHeader(), {"gAMA", Be32(100000)}, {"tEXt", "k\0v"}, GreyData(), End()}));
    TPngPicture copy;
    copy.Assign(picture);
    EXPECT_EQ(copy.IdatLimit(), 70000u);
    EXPECT_EQ(copy.DeflateLevel(), 9);
    EXPECT_EQ(copy.FilterSet(), pfPaeth | pfUp);
    EXPECT_TRUE(copy.GammaIsIdentity());
    ASSERT_EQ(copy.Chunks().size(), picture.Chunks().size());
    for (size_t i = 0; i < copy.Chunks().size(); ++i)
        EXPECT_EQ(typeid(*copy.Chunks()[i]), typeid(*picture.Chunks()[i]));
    // The image is copied, not shared.
    ASSERT_NE(copy.Image(), nullptr);
    EXPECT_NE(copy.Image()->Pixels(), picture.Image()->Pixels());
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(copy.Image()->Row(1)[x], picture.Image()->Row(1)[x]);
}

TEST_F(PngChunks, AnEmptyPictureHasNoHeader)
{
    TPngPicture picture;
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Width(), 0u);
    EXPECT_EQ(picture.ReadPixel(0, 0), 0u);
    EXPECT_THROW(picture.Header(), EPNGHeaderNotPresent);
}
