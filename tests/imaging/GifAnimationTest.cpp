// Playing GIF animations natively: the frames' waits and due times on a fake
// clock, and the logical screen composed with the disposal methods.
#include "GifTestSupport.h"

#include "imaging/GifAnimation.h"

#include <gtest/gtest.h>

#include <numeric>

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

struct TFakeClock {
    uint64_t Now = 1000;
    TGIFPlaySchedule::TClock Clock()
    {
        return [this] { return Now; };
    }
};

TEST(GifPlaySchedule, HundredFramesEndAtTheSumOfTheirWaits)
{
    std::vector<int> delays;
    for (int i = 0; i < 100; ++i)
        delays.push_back(i % 2 ? 10 : 2);
    int64_t sum = 0;
    for (int delay : delays)
        sum += GIFFrameWait(delay, 100);
    TFakeClock clock;
    TGIFPlaySchedule schedule(delays, -1, 100, clock.Clock());
    // A timer that fires late each time: the schedule does not drift.
    int shown = 1;
    while (!schedule.Finished()) {
        const int64_t wait = schedule.MillisecondsToNextFrame();
        ASSERT_GT(wait, 0);
        clock.Now += static_cast<uint64_t>(wait) + 7;
        shown += schedule.Update();
        ASSERT_LE(shown, 100);
    }
    EXPECT_EQ(shown, 100);
    EXPECT_EQ(schedule.Frame(), 99);
    EXPECT_EQ(schedule.DueTime(), 1000 + static_cast<uint64_t>(sum));
    EXPECT_EQ(schedule.MillisecondsToNextFrame(), -1);
}

TEST(GifPlaySchedule, LoopCountsAndPaces)
{
    struct TCase {
        const char* Name;
        int LoopCount, Pace;
        int Passes;  // -1: still playing after many passes
    };
    const TCase cases[] = {
        {"no loop block plays once", -1, 100, 1},
        {"count 3 plays three passes", 3, 100, 3},
        {"count 0 loops without end", 0, 100, -1},
        {"pace 0 holds the first frame", 3, 0, 0},
    };
    for (const TCase& c : cases) {
        TFakeClock clock;
        TGIFPlaySchedule schedule({5, 5, 5}, c.LoopCount, c.Pace, clock.Clock());
        for (int tick = 0; tick < 60; ++tick) {
            clock.Now += 50;
            schedule.Update();
        }
        if (c.Passes < 0) {
            EXPECT_FALSE(schedule.Finished()) << c.Name;
            EXPECT_GE(schedule.Pass(), 15) << c.Name;
        } else if (c.Passes == 0) {
            EXPECT_EQ(schedule.Frame(), 0) << c.Name;
            EXPECT_EQ(schedule.MillisecondsToNextFrame(), -1) << c.Name;
        } else {
            EXPECT_TRUE(schedule.Finished()) << c.Name;
            EXPECT_EQ(schedule.Pass(), c.Passes) << c.Name;
            EXPECT_EQ(schedule.Frame(), 2) << c.Name;
        }
    }
}

TEST(GifPlaySchedule, PassesEveryFrameAClockJumpReached)
{
    TFakeClock clock;
    TGIFPlaySchedule schedule({10, 10, 10, 10}, 0, 100, clock.Clock());
    clock.Now += 250;
    EXPECT_EQ(schedule.Update(), 2);
    EXPECT_EQ(schedule.Frame(), 2);
    EXPECT_EQ(schedule.MillisecondsToNextFrame(), 50);
    // Hours later: on from now, not racing through every frame missed.
    clock.Now += 3600 * 1000;
    EXPECT_LE(schedule.Update(), 8);
    EXPECT_LE(schedule.MillisecondsToNextFrame(), 100);
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
