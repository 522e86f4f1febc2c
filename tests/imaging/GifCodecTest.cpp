// The GIF codec on files built byte by byte: the tolerance of the reader,
// what the writer puts on the wire, and the LZW decoder on damaged code
// streams. The giflib comparisons are in oracle/GifOracleTest.cpp.
#include "GifTestSupport.h"

#include "framework/Streams.h"
#include "imaging/GifDocument.h"
#include "imaging/GifLzw.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qrv::test {
namespace {

// A 4 × 2 frame of a 4-colour picture: clear, 0 1 2 3 0 1 2 3, end.
std::string SmallData()
{
    // Code size 2: clear 4, end 5, codes of 3 bits growing to 4 at code 8.
    return std::string(1, '\x02') +
           GifSubBlocks(PackGifCodes({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {6, 4}, {8, 4}, {5, 4}}));
}

std::string SmallGif()
{
    return GifHeaderBytes(4, 2, 4) + GifDescriptorBytes(0, 0, 4, 2) + SmallData() + ";";
}

const std::vector<uint8_t> SmallPixels = {0, 1, 2, 3, 0, 1, 2, 3};

struct TToleranceCase {
    const char* Name;
    std::string Bytes;
    bool Loads;
    std::vector<std::wstring> Warnings;
};

TEST(GifReader, ToleratesTheDefectsOfFilesFoundInTheWild)
{
    const std::string gif = SmallGif();
    const std::string body = gif.substr(0, gif.size() - 1);
    const TToleranceCase cases[] = {
        {"plain", gif, true, {}},
        {"4 junk bytes before the signature", "abcd" + gif, true, {}},
        {"5 junk bytes before the signature", "abcde" + gif, false, {}},
        {"signature in lower case", "gif89a" + gif.substr(6), true, {}},
        {"no trailer", body, true, {}},
        {"a stray 0 before the trailer", body + std::string(1, '\0') + ";", true, {}},
        {"an unknown block type", body + "x;", true, {L"Unknown GIF block type", L"Invalid Image trailer"}},
        {"cut inside the header", gif.substr(0, 9), false, {}},
    };
    for (const TToleranceCase& test : cases) {
        SCOPED_TRACE(test.Name);
        TGIFDocument document;
        TGifRecorder recorder;
        if (!test.Loads) {
            EXPECT_THROW(LoadGifBytes(document, test.Bytes, &recorder), GIFException);
            continue;
        }
        LoadGifBytes(document, test.Bytes, &recorder);
        ASSERT_EQ(document.Frames.size(), 1u);
        EXPECT_EQ(FramePixels(*document.Frames[0]), SmallPixels);
        EXPECT_EQ(recorder.Warnings, test.Warnings);
    }
}

TEST(GifReader, ReportsProgressAndNamesTheItemThatWarns)
{
    TGIFDocument document;
    TGifRecorder recorder;
    const std::string gif = SmallGif();
    // Two frames, the second's descriptor of width 0.
    LoadGifBytes(document, gif.substr(0, gif.size() - 1) + GifDescriptorBytes(0, 0, 0, 2) + SmallData() + ";",
                 &recorder);
    ASSERT_EQ(document.Frames.size(), 2u);
    EXPECT_EQ(recorder.Senders, std::vector<const void*>{document.Frames[1].get()});
    ASSERT_EQ(recorder.Steps.size(), 4u);
    EXPECT_EQ(recorder.Steps.front(), L"start Loading...");
    EXPECT_EQ(recorder.Steps.back(), L"end 100 Loading...");
    recorder.Steps.clear();
    SaveGifBytes(document);
    EXPECT_EQ(recorder.Steps,
              (std::vector<std::wstring>{L"start Saving...", L"50 Saving...", L"100 Saving...", L"end 100 Saving..."}));
    // A failed load ends at 0.
    recorder.Steps.clear();
    EXPECT_THROW(LoadGifBytes(document, "GIF89a", &recorder), GIFException);
    EXPECT_EQ(recorder.Steps.back(), L"end 0 Loading...");
}

TEST(GifReader, FiveJunkBytesFailWithTheSignatureMessageAndTheStreamIsPutBack)
{
    TMemoryStream stream;
    stream.WriteBytes("abcde" + SmallGif());
    stream.SetPosition(2);
    TGIFDocument document;
    try {
        document.LoadFromStream(stream);
        FAIL() << "loaded";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), L"Invalid GIF signature");
    }
    EXPECT_EQ(stream.Position(), 2);
}

TEST(GifReader, TransparentIndexPastTheTableWarnsAndIsKept)
{
    // Index 200 in a 16-entry table: only pixels holding 200 would be
    // transparent, the pixels of colour 0 stay opaque; the index is written
    // back as read.
    const std::string bytes =
        GifHeaderBytes(4, 2, 16) + GifControlBytes(true, 200) + GifDescriptorBytes(0, 0, 4, 2) +
        std::string(1, '\x04') +
        GifSubBlocks(PackGifCodes({{16, 5}, {0, 5}, {1, 5}, {0, 5}, {1, 5}, {0, 5}, {1, 5}, {0, 5}, {1, 5}, {17, 5}})) +
        ";";
    TGIFDocument document;
    TGifRecorder recorder;
    LoadGifBytes(document, bytes, &recorder);
    EXPECT_TRUE(recorder.Warned(L"Invalid color index"));
    const TGIFFrame& frame = *document.Frames[0];
    EXPECT_TRUE(frame.Transparent());
    EXPECT_EQ(frame.TransparentColorIndex(), 200);
    EXPECT_EQ(FramePixels(frame), (std::vector<uint8_t>{0, 1, 0, 1, 0, 1, 0, 1}));
    const std::string saved = SaveGifBytes(document);
    const size_t control = saved.find("\x21\xF9\x04");
    ASSERT_NE(control, std::string::npos);
    EXPECT_EQ(static_cast<uint8_t>(saved[control + 6]), 200);
}

TEST(GifReader, AnnouncedSubBlockPastTheEndDecodesWhatIsThere)
{
    // 10 × 10 of colour 1 (2 colours): a sub-block announcing 200 bytes with
    // only the 50 that hold the codes left.
    TGIFDocument source;
    MakeRandomGif(source, 10, 10, 2, 1);
    for (uint32_t y = 0; y < 10; ++y)
        std::fill_n(source.Frames[0]->Row(y), 10, 1);
    // Find the frame's data: code size byte, then its blocks.
    std::string data = SaveGifBytes(source);
    const size_t descriptor = data.find(',');
    const size_t first = descriptor + 10 + 1;
    const auto blockSize = static_cast<uint8_t>(data[first]);
    std::string codes = data.substr(first + 1, blockSize);
    codes.resize(50, '\0');  // padding codes after the end code
    const std::string cut = data.substr(0, first) + std::string(1, static_cast<char>(200)) + codes;
    TGIFDocument document;
    TGifRecorder recorder;
    LoadGifBytes(document, cut, &recorder);
    EXPECT_TRUE(recorder.Warned(L"Premature end of data"));
    EXPECT_EQ(FramePixels(*document.Frames[0]), std::vector<uint8_t>(100, 1));
}

TEST(GifReader, ALoopBlockOfTwoBytesIsInvalidData)
{
    const std::string bytes = GifHeaderBytes(4, 2, 4) + "\x21\xFF\x0BNETSCAPE2.0" + std::string("\x02\x01\x00\x00", 4) +
                              GifDescriptorBytes(0, 0, 4, 2) + SmallData() + ";";
    TGIFDocument document;
    try {
        LoadGifBytes(document, bytes);
        FAIL() << "loaded";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), L"Invalid GIF data");
    }
}

TEST(GifReader, AnimextsReadsAsALoop)
{
    const std::string loop = std::string("\x21\xFF\x0B"
                                         "ANIMEXTS1.0\x03\x01\x03\x00\x00",
                                         19);
    TGIFDocument document;
    LoadGifBytes(document, GifHeaderBytes(4, 2, 4) + loop + GifDescriptorBytes(0, 0, 4, 2) + SmallData() + ";");
    const auto* found = document.Frames[0]->FindExtension<TGIFAppExtNSLoop>();
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->LoopCount, 3);
    // Written back under the identifier it was read with.
    EXPECT_NE(SaveGifBytes(document).find(loop), std::string::npos);
}

TEST(GifReader, UnknownExtensionLabelIsRefused)
{
    TGIFDocument document;
    try {
        LoadGifBytes(document, GifHeaderBytes(4, 2, 4) + std::string("\x21\x77\x01x\x00", 5) +
                                   GifDescriptorBytes(0, 0, 4, 2) + SmallData() + ";");
        FAIL() << "loaded";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), L"Unknown extension type");
    }
}

TEST(GifReader, DescriptorOfWidthZeroTakesTheScreenAndWarns)
{
    TGIFDocument document;
    TGifRecorder recorder;
    LoadGifBytes(document, GifHeaderBytes(4, 2, 4) + GifDescriptorBytes(0, 0, 0, 7) + SmallData() + ";", &recorder);
    EXPECT_EQ(document.Frames[0]->Width(), 4);
    EXPECT_EQ(document.Frames[0]->Height(), 2);
    EXPECT_EQ(FramePixels(*document.Frames[0]), SmallPixels);
    EXPECT_TRUE(recorder.Warned(L"Image exceeds Logical Screen size"));
}

TEST(GifReader, AFrameLargerThanTheRestOfTheFileCouldFillIsRefused)
{
    TGIFDocument document;
    try {
        LoadGifBytes(document, GifHeaderBytes(65535, 65535, 4) + GifDescriptorBytes(0, 0, 65535, 65535) + SmallData());
        FAIL() << "loaded";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), L"Premature end of data");
    }
}

// --- the writer --------------------------------------------------------------

TEST(GifWriter, TableOfFiveIsWrittenAsEightTriples)
{
    TGIFColorMap table;
    for (uint8_t i = 1; i <= 5; ++i)
        table.Add({i, i, i});
    TMemoryStream stream;
    table.SaveToStream(stream);
    ASSERT_EQ(stream.Size(), 24);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(stream.Memory()[i * 3], i + 1);
    EXPECT_TRUE(std::all_of(stream.Memory() + 15, stream.Memory() + 24, [](uint8_t b) { return b == 0; }));
}

TEST(GifWriter, LoopBlockBytes)
{
    TGIFDocument document;
    MakeRandomGif(document, 3, 3, 4, 7);
    auto loop = std::make_unique<TGIFAppExtNSLoop>(document.Frames[0].get());
    loop->LoopCount = 0x1234;
    document.Frames[0]->Extensions.push_back(std::move(loop));
    const std::string saved = SaveGifBytes(document);
    EXPECT_NE(saved.find(std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x34\x12\x00", 19)), std::string::npos);
    EXPECT_EQ(saved.substr(0, 6), "GIF89a");
}

TEST(GifWriter, ApplicationBlockOfTenRoundTripsByteForByte)
{
    const std::string block = std::string("\x21\xFF\x0A"
                                          "ABCDEFGHIJ\x03xyz\x01q\x00",
                                          20);
    const std::string bytes = GifHeaderBytes(4, 2, 4) + block + GifDescriptorBytes(0, 0, 4, 2) + SmallData() + ";";
    TGIFDocument document;
    LoadGifBytes(document, bytes);
    ASSERT_EQ(document.Frames[0]->Extensions.size(), 1u);
    const auto* unknown = document.Frames[0]->FindExtension<TGIFUnknownAppExtension>();
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->IdentifierBlock(), "ABCDEFGHIJ");
    EXPECT_EQ(FramePixels(*document.Frames[0]), SmallPixels);
    EXPECT_NE(SaveGifBytes(document).find(block), std::string::npos);
}

TEST(GifWriter, TwoColoursUseCodeSizeTwo)
{
    for (TGIFEncoding encoding : {TGIFEncoding::LZW, TGIFEncoding::RLE}) {
        TGIFDocument document;
        document.Encoding = encoding;
        MakeRandomGif(document, 5, 5, 2, 3);
        const std::string saved = SaveGifBytes(document);
        const size_t descriptor = saved.find(',', 13 + 6);
        ASSERT_NE(descriptor, std::string::npos);
        EXPECT_EQ(saved[descriptor + 10], '\x02');
    }
}

TEST(GifWriter, NoPixelsGiveTheCodeSizeOneEndCodeBlockAndZero)
{
    for (TGIFEncoding encoding : {TGIFEncoding::LZW, TGIFEncoding::RLE}) {
        TMemoryStream stream;
        CreateGIFEncoder(encoding)->Compress(stream, 2, 4, {}, false, 0);
        // End code 5 in 3 bits.
        stream.SetPosition(0);
        EXPECT_EQ(stream.ReadAll(), std::string("\x02\x01\x05\x00", 4));
    }
}

TEST(GifWriter, APixelPastTheTableIsRefusedBeforeAnythingIsWritten)
{
    TGIFDocument document;
    MakeRandomGif(document, 6, 6, 4, 9);
    document.Frames[0]->Row(5)[5] = 4;
    TMemoryStream stream;
    try {
        document.SaveToStream(stream);
        FAIL() << "saved";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), L"Color not in color table");
    }
    EXPECT_EQ(stream.Size(), 0);
}

TEST(GifWriter, WithoutFramesTheVersionIsUnsupported)
{
    TGIFDocument document;
    TMemoryStream stream;
    EXPECT_THROW(document.SaveToStream(stream), GIFException);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(GifWriter, InterlacedFrameWithLocalTableIsWrittenPlainWithTheSamePixels)
{
    TGIFDocument document;
    MakeRandomGif(document, 9, 13, 8, 5, true);
    TGIFFrame& frame = *document.Frames[0];
    for (int i = 0; i < 8; ++i)
        frame.ColorMap.Add({static_cast<uint8_t>(i * 30), 0, 0});
    TGIFDocument again;
    LoadGifBytes(again, SaveGifBytes(document));
    EXPECT_FALSE(again.Frames[0]->Interlaced());
    EXPECT_EQ(FramePixels(*again.Frames[0]), FramePixels(frame));
    // Without a local table the interlacing stays.
    frame.ColorMap.Clear();
    LoadGifBytes(again, SaveGifBytes(document));
    EXPECT_TRUE(again.Frames[0]->Interlaced());
    EXPECT_EQ(FramePixels(*again.Frames[0]), FramePixels(frame));
}

TEST(GifWriter, ExtensionsSurviveLoadAndSave)
{
    std::string text = "\x21\x01\x0C";
    text += std::string("\x01\x00\x02\x00\x30\x00\x10\x00\x08\x10\x01\x00", 12);
    text += GifSubBlocks("Hallo Welt");
    const std::string comment = "\x21\xFE" + GifSubBlocks(std::string(300, 'c'));
    const std::string bytes = GifHeaderBytes(4, 2, 4) + GifControlBytes(true, 3, 25, 2) + comment + text +
                              GifDescriptorBytes(0, 0, 4, 2) + SmallData() + comment + ";";
    TGIFDocument document;
    TGifRecorder recorder;
    LoadGifBytes(document, bytes, &recorder);
    EXPECT_TRUE(recorder.Warnings.empty());
    ASSERT_EQ(document.Frames.size(), 2u);
    EXPECT_TRUE(document.Frames[1]->Empty());
    const TGIFFrame& frame = *document.Frames[0];
    EXPECT_EQ(frame.GraphicControl()->Delay, 25);
    EXPECT_EQ(frame.GraphicControl()->Disposal(), 2);
    EXPECT_EQ(frame.FindExtension<TGIFTextExtension>()->GridWidth, 0x30);
    EXPECT_EQ(frame.FindExtension<TGIFTextExtension>()->Text, std::vector<std::string>{"Hallo Welt"});
    for (TGIFEncoding encoding : {TGIFEncoding::LZW, TGIFEncoding::RLE}) {
        document.Encoding = encoding;
        const std::string saved = SaveGifBytes(document);
        EXPECT_NE(saved.find(GifControlBytes(true, 3, 25, 2) + comment + text + ","), std::string::npos);
        EXPECT_EQ(saved.substr(saved.size() - comment.size() - 1), comment + ";");
        TGIFDocument again;
        LoadGifBytes(again, saved);
        EXPECT_EQ(FramePixels(*again.Frames[0]), SmallPixels);
    }
}

// --- the decoder on damaged code streams ---------------------------------------

struct TDecodeCase {
    const char* Name;
    std::string Data;             // code size byte and sub-blocks
    std::vector<uint8_t> Pixels;  // of a 4 × 2 frame filled with 9
    const wchar_t* Warning;
};

TEST(GifDecoder, StopsAtTheFirstFaultKeepingWhatPrecedesIt)
{
    const std::vector<uint8_t> none(8, 9);
    const TDecodeCase cases[] = {
        {"whole", SmallData(), SmallPixels, nullptr},
        {"code size 9", "\x09" + GifSubBlocks(PackGifCodes({{512, 10}, {1, 10}, {513, 10}})), none,
         L"Invalid LZW code size"},
        {"code size 12", "\x0C" + GifSubBlocks(PackGifCodes({{4096, 13}})), none, L"Invalid LZW code size"},
        {"code size 255", "\xFF" + GifSubBlocks("\xFF\xFF\xFF"), none, L"Invalid LZW code size"},
        {"code size 0", std::string(1, '\0') + GifSubBlocks("\x01"), none, L"Invalid LZW code size"},
        {"a code past the next free one",
         "\x02" + GifSubBlocks(PackGifCodes({{4, 3}, {1, 3}, {2, 3}, {0, 3}, {9, 4}, {5, 4}})),
         {1, 2, 0, 9, 9, 9, 9, 9},
         L"Invalid LZW code"},
        {"a table code right after a clear",
         "\x02" + GifSubBlocks(PackGifCodes({{4, 3}, {3, 3}, {4, 3}, {6, 3}})),
         {3, 9, 9, 9, 9, 9, 9, 9},
         L"Invalid LZW code"},
        {"no end code",
         "\x02" + GifSubBlocks(PackGifCodes({{4, 3}, {1, 3}, {1, 3}, {6, 3}, {0, 4}})),
         {1, 1, 1, 1, 0, 9, 9, 9},
         L"Decoder bit buffer under-run"},
        {"no data", std::string(), none, nullptr},
        {"the end code alone", "\x02" + GifSubBlocks(PackGifCodes({{5, 3}})), none, nullptr},
        {"cut sub-block",
         std::string("\x02\x09", 2) + PackGifCodes({{4, 3}, {2, 3}, {2, 3}, {6, 3}, {0, 4}}),
         {2, 2, 2, 2, 0, 9, 9, 9},
         L"Premature end of data"},
    };
    for (const TDecodeCase& test : cases) {
        SCOPED_TRACE(test.Name);
        std::vector<uint8_t> pixels(8, 9);
        std::vector<uint8_t*> rows = {pixels.data(), pixels.data() + 4};
        // Bytes after a frame's 0 block are the next item's.
        const bool whole = test.Data.size() > 1 && test.Data.back() == '\0';
        TMemoryStream stream;
        stream.WriteBytes(whole ? test.Data + "rest" : test.Data);
        stream.SetPosition(0);
        TGifRecorder recorder;
        DecodeGIFPixels(stream, rows, 4, false, &recorder, nullptr);
        EXPECT_EQ(pixels, test.Pixels);
        if (test.Warning)
            EXPECT_TRUE(recorder.Warned(test.Warning));
        else
            EXPECT_TRUE(recorder.Warnings.empty());
        // The frame's data is read up to its 0 block, never further.
        if (whole) {
            EXPECT_EQ(stream.ReadAll(), "rest");
        }
    }
}

TEST(GifDecoder, InterlacedRowsLandInTheirPlaces)
{
    // 1 × 9 image whose stored rows are 0..8 in interlace order.
    std::vector<std::pair<int, int>> codes = {{16, 5}};
    for (int row : {0, 8, 4, 2, 6, 1, 3, 5, 7})
        codes.push_back({row, 5});
    codes.push_back({17, 5});
    std::vector<uint8_t> pixels(9, 99);
    std::vector<uint8_t*> rows;
    for (auto& pixel : pixels)
        rows.push_back(&pixel);
    TMemoryStream stream;
    stream.WriteBytes("\x04" + GifSubBlocks(PackGifCodes(codes)));
    stream.SetPosition(0);
    EXPECT_EQ(DecodeGIFPixels(stream, rows, 1, true, nullptr, nullptr), 9u);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

// --- both encoders read back ----------------------------------------------------

TEST(GifEncoders, RandomAndLongRunImagesReadBackUnchanged)
{
    struct TImage {
        uint16_t Width, Height;
        int Colors;
        bool Runs, Interlaced;
    };
    const TImage images[] = {{1, 1, 2, false, false},    {17, 3, 2, false, true},       {64, 64, 4, false, false},
                             {200, 90, 16, false, true}, {300, 200, 256, false, false}, {500, 40, 256, true, false},
                             {1000, 30, 2, true, false}, {640, 50, 8, true, true},      {4000, 3, 3, true, false}};
    unsigned seed = 11;
    for (const TImage& image : images) {
        for (TGIFEncoding encoding : {TGIFEncoding::LZW, TGIFEncoding::RLE}) {
            SCOPED_TRACE(testing::Message() << image.Width << "x" << image.Height << " colours " << image.Colors
                                            << " encoding " << static_cast<int>(encoding));
            TGIFDocument document;
            if (image.Runs)
                MakeRunsGif(document, image.Width, image.Height, image.Colors, ++seed);
            else
                MakeRandomGif(document, image.Width, image.Height, image.Colors, ++seed);
            document.Frames[0]->SetInterlaced(image.Interlaced);
            document.Encoding = encoding;
            TGIFDocument again;
            TGifRecorder recorder;
            LoadGifBytes(again, SaveGifBytes(document), &recorder);
            EXPECT_TRUE(recorder.Warnings.empty());
            EXPECT_EQ(FramePixels(*again.Frames[0]), FramePixels(*document.Frames[0]));
        }
    }
}

TEST(GifEncoders, OneColourOverALargeFrameWithTheRunLengthCoder)
{
    // 9.4 Mpx: longer than the most one table of runs covers before a clear.
    TGIFDocument document;
    MakeRandomGif(document, 4500, 2100, 2, 1);
    for (uint32_t y = 0; y < 2100; ++y)
        std::fill_n(document.Frames[0]->Row(y), 4500, 1);
    document.Encoding = TGIFEncoding::RLE;
    const std::string saved = SaveGifBytes(document);
    TGIFDocument again;
    LoadGifBytes(again, saved);
    EXPECT_EQ(FramePixels(*again.Frames[0]), FramePixels(*document.Frames[0]));
    // Runs, not one code per pixel.
    EXPECT_LT(saved.size(), 40000u);
}

}  // namespace
}  // namespace qrv::test
