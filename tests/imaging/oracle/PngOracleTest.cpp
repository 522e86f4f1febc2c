// Our codec against libpng and pngcheck over the checked-in fixtures: every
// colour type, bit depth and interlace mode at 1x1, 7x5 and 33x17, and the
// files with special chunks.
#include "LibpngOracle.h"
#include "PngTestSupport.h"

#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/PngChunks.h"
#include "imaging/PngPicture.h"
#include "imaging/PngSamples.h"
#include "TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace qrv;
using namespace qrv::test;

namespace {

class PngOracle : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartPngChunkRegistry(); }
    static void TearDownTestSuite() { EndPngChunkRegistry(); }
};

void ExpectSameSamples(const TPngSamples& expected, const TPngSamples& actual)
{
    EXPECT_EQ(expected.Width, actual.Width);
    EXPECT_EQ(expected.Height, actual.Height);
    EXPECT_EQ(expected.Channels, actual.Channels);
    EXPECT_EQ(expected.MaxValue, actual.MaxValue);
    EXPECT_TRUE(expected.Values == actual.Values);
}

}  // namespace

TEST_F(PngOracle, EveryFixtureDecodesToTheSamplesOfLibpng)
{
    const auto names = FixtureNames();
    ASSERT_GE(names.size(), 90u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFile(FixturePath(name));
        TPngPicture picture;
        LoadPicture(picture, bytes);
        ExpectSameSamples(LibpngSamples(bytes), PngSamples(*picture.Image()));
    }
}

TEST_F(PngOracle, EveryFixtureRecodedWithEachFilterSetPassesPngcheckAndKeepsItsSamples)
{
    const TFilters sets[] = {pfSub, pfNone, pfUp, pfAverage, pfPaeth, pfAllFilters};
    TestDir dir;
    std::string files;
    int written = 0;
    for (const std::string& name : FixtureNames()) {
        files += " '" + FixturePath(name) + "'";  // the fixtures themselves are checked too
        const std::string bytes = ReadFile(FixturePath(name));
        TPngPicture original;
        LoadPicture(original, bytes);
        const TPngSamples samples = PngSamples(*original.Image());
        for (TFilters set : sets)
            for (uint8_t interlacing = 0; interlacing <= 1; ++interlacing) {
                SCOPED_TRACE(name + " filters " + std::to_string(set) + " interlace " + std::to_string(interlacing));
                TPngPicture picture;
                LoadPicture(picture, bytes);
                picture.SetFilterSet(set);
                picture.SetInterlacing(interlacing);
                const std::string recoded = SavePicture(picture);
                // libpng reads the new file to the samples we hold...
                ExpectSameSamples(samples, LibpngSamples(recoded));
                // ...and so do we.
                TPngPicture again;
                LoadPicture(again, recoded);
                ExpectSameSamples(samples, PngSamples(*again.Image()));
                const std::wstring file = dir.Write(L"r" + std::to_wstring(written++) + L".png", recoded);
                files += " '" + WideToUtf8(file) + "'";
            }
    }
    // pngcheck -q prints only the files it finds fault with.
    const std::string report = WideToUtf8(dir.File(L"pngcheck.txt"));
    const int status = std::system(("pngcheck -q" + files + " > '" + report + "' 2>&1").c_str());
    EXPECT_EQ(status, 0) << ReadFile(report);
    EXPECT_EQ(ReadFile(report), "");
}

TEST_F(PngOracle, AGammaFileLoadsAndSavesWithTheSameSamples)
{
    for (const char* name : {"chunk_gama_rgb8.png", "chunk_gama_palette.png"}) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFile(FixturePath(name));
        TPngPicture picture;
        LoadPicture(picture, bytes);
        EXPECT_FALSE(picture.GammaIsIdentity());
        const std::string saved = SavePicture(picture);
        ExpectSameSamples(LibpngSamples(bytes), LibpngSamples(saved));
        // The gAMA chunk is written back as it was.
        bool hasGamma = false;
        for (const RawChunk& chunk : ReadChunks(saved))
            if (chunk.Name == "gAMA")
                hasGamma = chunk.Data == Be32(45000);
        EXPECT_TRUE(hasGamma);
    }
}

TEST_F(PngOracle, SixteenBitFilesKeepTheirLowBytes)
{
    for (const char* name : {"t0d16n_33x17.png", "t2d16i_33x17.png", "t4d16n_33x17.png", "t6d16i_33x17.png"}) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFile(FixturePath(name));
        TPngPicture picture;
        LoadPicture(picture, bytes);
        const TPngSamples samples = LibpngSamples(SavePicture(picture));
        // The fixtures' low bytes are not all zero, so dropping them shows.
        bool lowBytes = false;
        for (uint16_t v : samples.Values)
            lowBytes |= (v & 0xFF) != 0;
        EXPECT_TRUE(lowBytes);
        ExpectSameSamples(LibpngSamples(bytes), samples);
    }
}

TEST_F(PngOracle, AZlibTrailerAloneInALastIdatLoadsWithoutACrcError)
{
    const std::string bytes = ReadFile(FixturePath("t2d8n_33x17.png"));
    std::vector<RawChunk> chunks;
    for (RawChunk& chunk : ReadChunks(bytes)) {
        if (chunk.Name != "IDAT") {
            chunks.push_back(chunk);
            continue;
        }
        // The deflate data in one chunk, its 4-byte Adler-32 in the next.
        chunks.push_back({"IDAT", chunk.Data.substr(0, chunk.Data.size() - 4)});
        chunks.push_back({"IDAT", chunk.Data.substr(chunk.Data.size() - 4)});
    }
    TPngPicture picture;
    LoadPicture(picture, BuildPng(chunks));
    ExpectSameSamples(LibpngSamples(bytes), PngSamples(*picture.Image()));
}
