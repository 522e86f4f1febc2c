// Playing GIF animations natively: the frames' waits, and the logical screen
// composed with the disposal methods.
#include "GifTestSupport.h"

#include "imaging/GifAnimation.h"

#include <gtest/gtest.h>

namespace qrv::test {
namespace {

TEST(GifFrameWait, FollowsTheDelayAndThePace)
{
    struct TCase {
        int Delay, Pace;
        int64_t Wait;
    };
    const TCase cases[] = {
        {1, 100, 30}, {2, 100, 30}, {0, 100, 100}, {3, 100, 30}, {10, 100, 100},       {10, 200, 50},
        {1, 200, 15}, {7, 50, 140}, {10, 0, -1},   {10, -5, 0},  {65535, 100, 655350},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(GIFFrameWait(c.Delay, c.Pace), c.Wait) << c.Delay << " at " << c.Pace;
}

// A 4 × 1 screen of four colours; frames one pixel wide or the whole row.
TGIFFrame& AddFrame(TGIFDocument& document, uint16_t left, std::vector<uint8_t> pixels, int disposal,
                    int transparent = -1)
{
    TGIFFrame& frame = document.AddFrame();
    frame.Left = left;
    frame.SetSize(static_cast<uint16_t>(pixels.size()), 1);
    SetFramePixels(frame, pixels);
    auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
    control->SetDisposal(disposal);
    if (transparent >= 0) {
        control->SetTransparent(true);
        control->SetTransparentColorIndex(static_cast<uint8_t>(transparent));
    }
    frame.Extensions.push_back(std::move(control));
    return frame;
}

void MakeScreen(TGIFDocument& document)
{
    document.Header.Width = 4;
    document.Header.Height = 1;
    const TGIFColor colors[] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (const TGIFColor& color : colors)
        document.Header.ColorMap.Add(color);
}

constexpr uint32_t kBack = 0x00000000, kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

TEST(GifComposer, AppliesTheDisposalMethods)
{
    struct TCase {
        const char* Name;
        int FirstDisposal, SecondDisposal;
        std::vector<uint32_t> AfterThird;
    };
    // Frame 1: red over the row; frame 2: green at x 1 (transparent index 0
    // elsewhere of its 2 pixels); frame 3: blue at x 3 alone.
    const TCase cases[] = {
        {"kept frames add up", 1, 1, {kRed, kGreen, kRed, kBlue}},
        {"disposal 2 clears to the backdrop", 1, 2, {kRed, kBack, kBack, kBlue}},
        {"disposal 3 after 1 leaves no trace", 1, 3, {kRed, kRed, kRed, kBlue}},
        {"disposal 2 then 3 restores the cleared screen", 2, 3, {kBack, kBack, kBack, kBlue}},
        {"undefined disposal 5 keeps the frame", 5, 5, {kRed, kGreen, kRed, kBlue}},
    };
    for (const TCase& c : cases) {
        TGIFDocument document;
        MakeScreen(document);
        AddFrame(document, 0, {1, 1, 1, 1}, c.FirstDisposal);
        AddFrame(document, 1, {2, 0}, c.SecondDisposal, 0);
        AddFrame(document, 3, {3}, 1);
        std::vector<uint32_t> screen(4, 0x12345678);
        TGIFComposer composer(document, kBack, screen.data(), 4);
        EXPECT_EQ(screen, std::vector<uint32_t>(4, kBack)) << c.Name;
        composer.Draw(0);
        composer.Draw(1);
        EXPECT_EQ(screen[1], kGreen) << c.Name;
        EXPECT_EQ(screen[2], c.FirstDisposal == 2 ? kBack : kRed) << c.Name << ": transparent pixel";
        composer.Draw(2);
        EXPECT_EQ(screen, c.AfterThird) << c.Name;
        // A new pass starts on the cleared screen.
        composer.Draw(0);
        EXPECT_EQ(screen, std::vector<uint32_t>(4, kRed)) << c.Name;
    }
}

TEST(GifComposer, APassStartsOnWhatTheLastFrameLeftUnlessCleared)
{
    // Red over the row, then blue at x 3 with disposal 2: the next pass
    // draws green at x 1 alone.
    TGIFDocument document;
    MakeScreen(document);
    AddFrame(document, 1, {2}, 1);
    AddFrame(document, 0, {1, 1, 1, 1}, 1);
    AddFrame(document, 3, {3}, 2);
    for (bool clear : {true, false}) {
        std::vector<uint32_t> screen(4);
        TGIFComposer composer(document, kBack, screen.data(), 4);
        composer.ClearOnPassStart = clear;
        for (size_t i : {0, 1, 2, 0})
            composer.Draw(i);
        EXPECT_EQ(screen, clear ? (std::vector<uint32_t>{kBack, kGreen, kBack, kBack})
                                : (std::vector<uint32_t>{kRed, kGreen, kRed, kBack}))
            << clear;
    }
}

TEST(GifComposer, ClipsFramesToTheScreenAndDrawsIndicesPastTheTableBlack)
{
    TGIFDocument document;
    MakeScreen(document);
    AddFrame(document, 2, {7, 2, 3, 3, 3}, 1);
    std::vector<uint32_t> screen(4);
    TGIFComposer composer(document, kBack, screen.data(), 4);
    composer.Draw(0);
    EXPECT_EQ(screen, (std::vector<uint32_t>{kBack, kBack, kBlack, kGreen}));
}

TEST(GifComposer, CoalescesTheFixtureAnimations)
{
    TGIFDocument document;
    MakeScreen(document);
    AddFrame(document, 0, {1, 1, 1, 1}, 2);
    AddFrame(document, 2, {3}, 1);
    const auto frames = CoalesceGIF(document);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], std::vector<uint32_t>(4, kRed));
    EXPECT_EQ(frames[1], (std::vector<uint32_t>{kBack, kBack, kBlue, kBack}));
}

}  // namespace
}  // namespace qrv::test
