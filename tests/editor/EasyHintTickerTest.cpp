#include "editor/EasyHintTicker.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// The window, cursor and timer the ticks act on; the time is the tick count.
struct FakeHost : TEasyHintHost {
    TEasyHintPoint cursor{15, 15};
    bool visible = false;
    bool timerRunning = true;
    int activations = 0;
    TEasyHintRect shownAt;
    uint32_t pause = 500, shortPause = 50, hidePause = 2500;

    TEasyHintPoint CursorPos() override { return cursor; }
    uint32_t HintPause() override { return pause; }
    uint32_t HintShortPause() override { return shortPause; }
    uint32_t HintHidePause() override { return hidePause; }
    bool WindowVisible() override { return visible; }
    void ActivateWindow(const TEasyHintRect& rect) override
    {
        visible = true;
        ++activations;
        shownAt = rect;
    }
    void HideWindow() override { visible = false; }
    void StopTimer() override { timerRunning = false; }
};

struct EasyHintTicker : ::testing::Test {
    FakeHost host;
    TEasyHintTicker ticker{host};
    const TEasyHintRect rect{10, 10, 60, 30};

    // Ticks until the window shows; the number of ticks it took.
    int TicksUntilShown(int limit = 1000)
    {
        for (int tick = 1; tick <= limit; ++tick) {
            ticker.Tick();
            if (host.visible)
                return tick;
        }
        return -1;
    }
};

}  // namespace

TEST_F(EasyHintTicker, ShowsAfterTheApplicationPause)
{
    ticker.Immediate = false;
    ticker.VerticalOffset = 20;
    ticker.Start(rect);
    // The pause is over on the tick after pause / interval ticks were counted.
    EXPECT_EQ(TicksUntilShown(), static_cast<int>(host.pause / ticker.Interval) + 1);
    EXPECT_EQ(ticker.State(), TEasyHintTicker::hsShown);
    EXPECT_EQ(host.shownAt.Top, rect.Top + 20);
    EXPECT_EQ(host.shownAt.Bottom, rect.Bottom + 20);

    // With a hint already up, the short pause applies.
    ticker.Start(rect);
    EXPECT_EQ(TicksUntilShown(), 1);  // still visible
    host.visible = false;
    ticker.ResetCounter();  // as hiding the hint does
    ticker.ShortPause = true;
    ticker.Start(rect);
    EXPECT_EQ(TicksUntilShown(), static_cast<int>(host.shortPause / ticker.Interval) + 1);
}

TEST_F(EasyHintTicker, ImmediateShowsOnTheFirstTick)
{
    ticker.Start(rect);
    EXPECT_EQ(TicksUntilShown(), 1);
    EXPECT_EQ(host.activations, 1);
}

TEST_F(EasyHintTicker, LeavingHidesWithinOneTickAndStopsTheTimer)
{
    ticker.Start(rect);
    ticker.Tick();
    ASSERT_TRUE(host.visible);
    for (int i = 0; i < 5; ++i)
        ticker.Tick();
    EXPECT_TRUE(host.visible);
    host.cursor = {200, 200};
    ticker.Tick();
    EXPECT_FALSE(host.visible);
    ticker.Tick();
    EXPECT_FALSE(host.timerRunning);
}

TEST_F(EasyHintTicker, LeavingWhileWaitingNeverShows)
{
    ticker.Immediate = false;
    ticker.Start(rect);
    ticker.Tick();
    host.cursor = {-5, 15};
    ticker.Tick();
    ticker.Tick();
    EXPECT_EQ(host.activations, 0);
    EXPECT_FALSE(host.timerRunning);
}

TEST_F(EasyHintTicker, HidesAfterTheHidePause)
{
    ticker.Start(rect);
    ticker.Tick();
    int shownTicks = 0;
    while (host.visible && shownTicks < 1000) {
        ticker.Tick();
        ++shownTicks;
    }
    // Shown while hide pause >= interval x counter, i.e. for hide pause /
    // interval + 1 further ticks; hidden on the next.
    EXPECT_EQ(shownTicks, static_cast<int>(host.hidePause / ticker.Interval) + 2);
    // The cursor is still inside: hidden, but the timer keeps running.
    ticker.Tick();
    EXPECT_TRUE(host.timerRunning);
}

TEST_F(EasyHintTicker, WithoutAutoHideTheHintStays)
{
    ticker.AutoHide = false;
    ticker.Start(rect);
    host.cursor = {500, 500};
    ticker.Tick();
    for (int i = 0; i < 200; ++i)
        ticker.Tick();
    EXPECT_TRUE(host.visible);
    EXPECT_TRUE(host.timerRunning);
}

TEST_F(EasyHintTicker, HintAreaReachesUpByItsHeight)
{
    struct Case {
        TEasyHintPoint point;
        bool inside;
    } cases[] = {{{10, 10}, true},  {{59, 29}, true},   {{60, 20}, false}, {{9, 20}, false},
                 {{30, -10}, true}, {{30, -11}, false}, {{30, 30}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(ticker.InHintArea(rect, c.point), c.inside) << c.point.X << "," << c.point.Y;
    ticker.TrackArea = false;
    EXPECT_TRUE(ticker.InHintArea(rect, {500, 500}));
}
