// The GIF codec against giflib: every fixture decodes to DGifSlurp's
// indices, and what both encoders write (from every fixture, seeded random
// and long-run images) giflib reads back to the same pixels and extensions.
#include "GifTestSupport.h"
#include "GiflibOracle.h"

#include "framework/Streams.h"
#include "imaging/GifDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace qrv::test {
namespace {

std::vector<std::filesystem::path> Fixtures(bool damaged)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(QRV_GIF_FIXTURES))
        if (entry.path().extension() == ".gif" && (entry.path().filename().string().rfind("bad_", 0) == 0) == damaged)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<uint8_t> MapBytes(const TGIFColorMap& map)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < map.Count(); ++i)
        bytes.insert(bytes.end(), {map[i].Red, map[i].Green, map[i].Blue});
    return bytes;
}

std::vector<const TGIFFrame*> ImageFrames(const TGIFDocument& document)
{
    std::vector<const TGIFFrame*> frames;
    for (const auto& frame : document.Frames)
        if (!frame->Empty())
            frames.push_back(frame.get());
    return frames;
}

void ExpectSamePixels(const TGiflibFile& reference, const TGIFDocument& document)
{
    const std::vector<const TGIFFrame*> frames = ImageFrames(document);
    ASSERT_EQ(frames.size(), reference.Frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const TGiflibFrame& expected = reference.Frames[i];
        EXPECT_EQ(frames[i]->Left, expected.Left);
        EXPECT_EQ(frames[i]->Top, expected.Top);
        EXPECT_EQ(frames[i]->Width(), expected.Width);
        EXPECT_EQ(frames[i]->Height(), expected.Height);
        EXPECT_EQ(MapBytes(frames[i]->ColorMap), expected.LocalMap);
        EXPECT_TRUE(FramePixels(*frames[i]) == expected.Pixels);
    }
    EXPECT_EQ(MapBytes(document.Header.ColorMap), reference.GlobalMap);
}

TEST(GifOracle, EveryFixtureDecodesToGiflibsIndices)
{
    const auto files = Fixtures(false);
    ASSERT_GE(files.size(), 15u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const std::string bytes = ReadFile(path);
        const TGiflibFile reference = GiflibDecode(bytes.substr(bytes.find("GIF")));
        ASSERT_TRUE(reference.Ok) << "giflib error " << reference.Error;
        TGIFDocument document;
        TGifRecorder recorder;
        LoadGifBytes(document, bytes, &recorder);
        EXPECT_TRUE(recorder.Warnings.empty());
        EXPECT_EQ(document.Width(), reference.Width);
        EXPECT_EQ(document.Height(), reference.Height);
        ExpectSamePixels(reference, document);
    }
}

TEST(GifOracle, BothEncodersWriteWhatGiflibReadsBackWithTheSameExtensions)
{
    for (const auto& path : Fixtures(false)) {
        const std::string bytes = ReadFile(path);
        const TGiflibFile reference = GiflibDecode(bytes.substr(bytes.find("GIF")));
        for (TGIFEncoding encoding : {TGIFEncoding::LZW, TGIFEncoding::RLE}) {
            SCOPED_TRACE(testing::Message() << path.filename().string() << " encoding " << static_cast<int>(encoding));
            TGIFDocument document;
            LoadGifBytes(document, bytes);
            document.Encoding = encoding;
            const TGiflibFile written = GiflibDecode(SaveGifBytes(document));
            ASSERT_TRUE(written.Ok) << "giflib error " << written.Error;
            ExpectSamePixels(reference, document);
            ASSERT_EQ(written.Frames.size(), reference.Frames.size());
            for (size_t i = 0; i < written.Frames.size(); ++i) {
                EXPECT_TRUE(written.Frames[i].Pixels == reference.Frames[i].Pixels) << "frame " << i;
                EXPECT_EQ(written.Frames[i].Extensions, reference.Frames[i].Extensions) << "frame " << i;
            }
            EXPECT_EQ(written.TrailingExtensions, reference.TrailingExtensions);
        }
    }
}

TEST(GifOracle, SeededRandomAndLongRunImagesReadBackWithGiflib)
{
    struct TImage {
        uint16_t Width, Height;
        int Colors;
        bool Runs, Interlaced;
    };
    const TImage images[] = {{1, 1, 2, false, false},     {13, 7, 2, false, true},       {256, 256, 4, false, false},
                             {333, 121, 16, false, true}, {640, 480, 256, false, false}, {1024, 64, 256, true, false},
                             {3000, 40, 2, true, false},  {700, 90, 7, true, true},      {5000, 1, 256, true, false}};
    unsigned seed = 100;
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
            const TGiflibFile written = GiflibDecode(SaveGifBytes(document));
            ASSERT_TRUE(written.Ok) << "giflib error " << written.Error;
            ASSERT_EQ(written.Frames.size(), 1u);
            EXPECT_EQ(written.Frames[0].Interlace, image.Interlaced);
            EXPECT_TRUE(written.Frames[0].Pixels == FramePixels(*document.Frames[0]));
        }
    }
}

TEST(GifOracle, ALongRunOfOneColourWithEitherEncoder)
{
    TGIFDocument document;
    MakeRandomGif(document, 4500, 2100, 4, 3);
    for (uint32_t y = 0; y < 2100; ++y)
        std::fill_n(document.Frames[0]->Row(y), 4500, y < 2000 ? 2 : 3);
    for (TGIFEncoding encoding : {TGIFEncoding::LZW, TGIFEncoding::RLE}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        document.Encoding = encoding;
        const TGiflibFile written = GiflibDecode(SaveGifBytes(document));
        ASSERT_TRUE(written.Ok) << "giflib error " << written.Error;
        EXPECT_TRUE(written.Frames[0].Pixels == FramePixels(*document.Frames[0]));
    }
}

TEST(GifOracle, DamagedFixturesLoadWithAWarningOrFailWithTheirMessage)
{
    const auto files = Fixtures(true);
    ASSERT_GE(files.size(), 8u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        TGIFDocument document;
        TGifRecorder recorder;
        try {
            LoadGifBytes(document, ReadFile(path), &recorder);
            EXPECT_FALSE(recorder.Warnings.empty());
        } catch (const GIFException& error) {
            const std::string name = path.filename().string();
            if (name == "bad_loop_block.gif")
                EXPECT_EQ(error.Message(), L"Invalid GIF data");
            else if (name == "bad_junk5.gif")
                EXPECT_EQ(error.Message(), L"Invalid GIF signature");
            else
                ADD_FAILURE() << error.what();
        }
    }
}

}  // namespace
}  // namespace qrv::test
