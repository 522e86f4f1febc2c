// The GIF optimiser: the frame operations on small frames, and what plays
// (the composed screens and their times) kept over the fixtures and seeded
// animations, also after saving and reading back.
#include "GifTestSupport.h"

#include "imaging/GifAnimation.h"
#include "imaging/GifOptimizer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace qrv::test {
namespace {

// A frame of a 4-colour global table (black, red, green, blue) on a 6 × 4
// screen.
TGIFFrame& AddFrame(TGIFDocument& document, uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                    const std::vector<uint8_t>& pixels, int disposal = 1, int transparent = -1, uint16_t delay = 5)
{
    if (document.Header.ColorMap.Empty()) {
        document.Header.Width = 6;
        document.Header.Height = 4;
        for (const TGIFColor& color :
             {TGIFColor{0, 0, 0}, TGIFColor{255, 0, 0}, TGIFColor{0, 255, 0}, TGIFColor{0, 0, 255}})
            document.Header.ColorMap.Add(color);
    }
    TGIFFrame& frame = document.AddFrame();
    frame.Left = left;
    frame.Top = top;
    frame.SetSize(width, height);
    SetFramePixels(frame, pixels);
    auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
    control->SetDisposal(disposal);
    control->Delay = delay;
    if (transparent >= 0) {
        control->SetTransparent(true);
        control->SetTransparentColorIndex(static_cast<uint8_t>(transparent));
    }
    frame.Extensions.push_back(std::move(control));
    return frame;
}

TEST(GifFrameOperations, CropRemovesTransparentBorders)
{
    TGIFDocument document;
    TGIFFrame& frame = AddFrame(document, 1, 1, 4, 3, {0, 0, 0, 0, 0, 2, 3, 0, 0, 0, 1, 0}, 1, 0);
    EXPECT_TRUE(CropGIFFrame(frame));
    EXPECT_EQ(frame.Left, 2);
    EXPECT_EQ(frame.Top, 2);
    EXPECT_EQ(FramePixels(frame), (std::vector<uint8_t>{2, 3, 0, 1}));
    EXPECT_FALSE(CropGIFFrame(frame)) << "nothing more to crop";

    TGIFFrame& clear = AddFrame(document, 0, 0, 2, 2, {3, 3, 3, 3}, 1, 3);
    EXPECT_TRUE(CropGIFFrame(clear));
    EXPECT_TRUE(clear.Empty()) << "transparent everywhere: cropped to nothing";
}

TEST(GifFrameOperations, MergeMakesRepeatedPixelsTransparent)
{
    struct TCase {
        const char* Name;
        int PreviousDisposal;
        std::vector<uint8_t> Expected;
        int Transparent;
    };
    // Previous: red red / green green at 0, 0; this: red blue / green black
    // at 0, 0 of a 4-colour table whose index 0 (black) its pixels use.
    const TCase cases[] = {
        {"repeated pixels take an unused index", 1, {4, 3, 4, 0}, 4},
        {"after disposal 2 nothing is merged", 2, {1, 3, 2, 0}, -1},
        {"after disposal 3 nothing is merged", 3, {1, 3, 2, 0}, -1},
    };
    for (const TCase& c : cases) {
        TGIFDocument document;
        const TGIFFrame& previous = AddFrame(document, 0, 0, 2, 2, {1, 1, 2, 2}, c.PreviousDisposal);
        TGIFFrame& frame = AddFrame(document, 0, 0, 2, 2, {1, 3, 2, 0});
        MergeGIFFrame(frame, previous);
        EXPECT_EQ(FramePixels(frame), c.Expected) << c.Name;
        EXPECT_EQ(frame.Transparent() ? frame.TransparentColorIndex() : -1, c.Transparent) << c.Name;
        if (c.Transparent == 4)
            EXPECT_EQ(document.Header.ColorMap.Count(), 5) << "black appended: every index was used";
    }
    // An index the pixels leave free is taken before the table grows.
    TGIFDocument document;
    const TGIFFrame& previous = AddFrame(document, 0, 0, 2, 2, {1, 1, 2, 2});
    TGIFFrame& frame = AddFrame(document, 1, 0, 2, 2, {1, 3, 2, 3});
    MergeGIFFrame(frame, previous);
    EXPECT_EQ(FramePixels(frame), (std::vector<uint8_t>{0, 3, 0, 3}));
    EXPECT_EQ(frame.TransparentColorIndex(), 0);
    EXPECT_EQ(document.Header.ColorMap.Count(), 4);
}

void ExpectSamePlay(TGIFDocument& document, const std::string& name)
{
    const auto before = GIFTimeline(document);
    OptimizeGIF(document, kAllGIFOptimizeSteps);
    EXPECT_EQ(GIFTimeline(document), before) << name << ": optimised";
    TGIFDocument again;
    LoadGifBytes(again, SaveGifBytes(document));
    EXPECT_EQ(GIFTimeline(again), before) << name << ": saved and read back";
}

TEST(GifOptimizer, KeepsWhatPlaysAndShrinks)
{
    // Disposal 2 under an opaque frame that covers it becomes 0; a frame
    // that shows nothing goes and gives its time to the frame before.
    TGIFDocument document;
    AddFrame(document, 0, 0, 6, 4, std::vector<uint8_t>(24, 1), 1);
    AddFrame(document, 1, 1, 2, 2, {2, 2, 2, 2}, 2);
    AddFrame(document, 0, 0, 6, 4, std::vector<uint8_t>(24, 3), 1);
    AddFrame(document, 0, 0, 6, 4, std::vector<uint8_t>(24, 3), 1, 0, 7);
    AddFrame(document, 2, 0, 2, 2, {1, 0, 0, 1}, 3, 0);
    AddFrame(document, 0, 0, 3, 1, {2, 2, 2}, 1);
    const auto before = GIFTimeline(document);
    OptimizeGIF(document, kAllGIFOptimizeSteps);
    EXPECT_EQ(GIFTimeline(document), before);
    ASSERT_EQ(document.Frames.size(), 5u) << "the repeated frame was dropped";
    EXPECT_EQ(document.Frames[1]->GraphicControl()->Disposal(), 0);
    EXPECT_EQ(document.Frames[2]->GraphicControl()->Delay, 12);
    EXPECT_TRUE(document.Frames[2]->Empty() == false);
}

TEST(GifOptimizer, KeepsWhatPlaysOfFixturesAndSeededAnimations)
{
#ifdef QRV_GIF_FIXTURES
    int fixtures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QRV_GIF_FIXTURES)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        TGIFDocument document;
        try {
            LoadGifBytes(document, bytes);
        } catch (const GIFException&) {
            continue;
        }
        if (std::all_of(document.Frames.begin(), document.Frames.end(), [](auto& frame) { return frame->Empty(); }))
            continue;
        ++fixtures;
        ExpectSamePlay(document, entry.path().filename().string());
    }
    EXPECT_GT(fixtures, 10);
#endif
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        std::mt19937 random(seed);
        TGIFDocument document;
        const int frames = 2 + static_cast<int>(random() % 6);
        for (int i = 0; i < frames; ++i) {
            const auto width = static_cast<uint16_t>(1 + random() % 6),
                       height = static_cast<uint16_t>(1 + random() % 4);
            const auto left = static_cast<uint16_t>(random() % (7 - width)),
                       top = static_cast<uint16_t>(random() % (5 - height));
            std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
            // Few colours, so that pixels repeat what lies under them.
            for (uint8_t& pixel : pixels)
                pixel = static_cast<uint8_t>(random() % 3);
            AddFrame(document, left, top, width, height, pixels, static_cast<int>(random() % 5),
                     random() % 2 ? static_cast<int>(random() % 4) : -1, static_cast<uint16_t>(random() % 4));
        }
        ExpectSamePlay(document, "seed " + std::to_string(seed));
    }
}

}  // namespace
}  // namespace qrv::test
