// The GIF painter's run on a fake clock: the frames' waits on a running
// schedule, the pace, the loop count, the events in order, a restart and a
// handler that moves the play.
#include "imaging/GifPaintLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv::test {
namespace {

// A 1 × 1 screen; one frame per delay, the loop block (when loopCount >= 0)
// on the first frame.
void MakeAnimation(TGIFDocument& document, const std::vector<int>& delays, int loopCount = -1)
{
    document.Header.Width = 1;
    document.Header.Height = 1;
    document.Header.ColorMap.Add(TGIFColor{0, 0, 0});
    document.Header.ColorMap.Add(TGIFColor{255, 255, 255});
    for (int delay : delays) {
        TGIFFrame& frame = document.AddFrame();
        frame.SetSize(1, 1);
        if (loopCount >= 0 && document.Frames.size() == 1) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(&frame);
            loop->LoopCount = static_cast<uint16_t>(loopCount);
            frame.Extensions.push_back(std::move(loop));
        }
        auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
        control->Delay = static_cast<uint16_t>(delay);
        frame.Extensions.push_back(std::move(control));
    }
}

// Waits by moving the clock (late by Lateness each time); an endless wait
// stops the painter, as Stop would. Records what happens, in order.
class TFakePaintHost : public TGIFPaintHost {
public:
    uint64_t Clock = 1000;
    uint64_t Lateness = 0;
    // Ends the play once this many frames are painted (0: never).
    size_t StopAfter = 0;
    bool Stopped = false;
    std::vector<int64_t> Waits;
    std::vector<uint64_t> PaintTimes;
    std::vector<size_t> Painted;
    std::string Log;
    std::function<void(TGIFPaintEvent)> OnEvent;

    uint64_t Now() override { return Clock; }
    bool Wait(int64_t milliseconds) override
    {
        Waits.push_back(milliseconds);
        if (milliseconds < 0) {
            Stopped = true;
            return true;
        }
        Clock += static_cast<uint64_t>(milliseconds) + Lateness;
        return false;
    }
    bool Ending() override { return Stopped; }
    void PaintFrame(size_t frame) override
    {
        Painted.push_back(frame);
        PaintTimes.push_back(Clock);
        Log += std::to_string(frame);
        if (StopAfter && Painted.size() >= StopAfter)
            Stopped = true;
    }
    void Fire(TGIFPaintEvent event) override
    {
        static const char* const kNames[] = {"S", "p", "a", "L", "E"};
        Log += kNames[static_cast<int>(event)];
        if (OnEvent)
            OnEvent(event);
    }
};

constexpr uint16_t kAsync = kDefaultGIFPaintOptions;
constexpr uint16_t kSync = kDefaultGIFPaintOptions & ~goAsync;

TEST(GifPaintLoop, WaitsEachFrameItsDelayAtThePace)
{
    struct TCase {
        int Pace;
        uint16_t Options;
        std::vector<int64_t> Waits;
    };
    // Delays 1 (as 3), 0 (as 10) and 5: the first frame shows at once
    // asynchronously, after a hundredth synchronously; the last one's wait
    // is not waited for.
    const TCase cases[] = {
        {100, kAsync, {30, 100}},
        {200, kAsync, {15, 50}},
        {50, kAsync, {60, 200}},
        {100, kSync, {10, 30, 100}},
        {-1, kSync, {10000, 10000, 10000}},
    };
    for (const TCase& c : cases) {
        TGIFDocument document;
        MakeAnimation(document, {1, 0, 5});
        TFakePaintHost host;
        TGIFPaintLoop loop(document, c.Options, c.Pace, host);
        loop.Run();
        EXPECT_EQ(host.Waits, c.Waits) << c.Pace;
        EXPECT_EQ(host.Painted, (std::vector<size_t>{0, 1, 2})) << c.Pace;
        EXPECT_EQ(loop.ActiveFrame(), -1);
    }
}

TEST(GifPaintLoop, HundredFramesEndAtTheSumOfTheirWaitsThoughEachWaitEndsLate)
{
    std::vector<int> delays;
    for (int i = 0; i < 100; ++i)
        delays.push_back(i % 2 ? 10 : 2);
    uint64_t sum = 0;
    for (size_t i = 0; i + 1 < delays.size(); ++i)
        sum += static_cast<uint64_t>(GIFPaintWait(GIFPaintDelay(delays[i], true), 100));
    TGIFDocument document;
    MakeAnimation(document, delays);
    TFakePaintHost host;
    host.Lateness = 4;
    TGIFPaintLoop loop(document, kAsync, 100, host);
    loop.Run();
    ASSERT_EQ(host.Painted.size(), 100u);
    // Each late wake-up is made good by the next wait: only the last one's
    // lateness shows.
    EXPECT_EQ(host.PaintTimes.back(), 1000 + sum + host.Lateness);
    EXPECT_EQ(sum, 50u * 30 + 49u * 100);
}

TEST(GifPaintLoop, LoopsAsTheLoopBlockSaysAndFiresTheEventsInOrder)
{
    struct TCase {
        const char* Name;
        int LoopCount;
        uint16_t Options;
        size_t StopAfter;
        std::string Log;
    };
    const TCase cases[] = {
        {"no loop block: once", -1, kAsync, 0, "Sp0ap1aE"},
        {"two passes", 2, kAsync, 0, "Sp0ap1aLp0ap1aE"},
        {"endless, until stopped", 0, kAsync, 5, "Sp0ap1aLp0ap1aLp0aE"},
        {"endless plays once synchronously", 0, kSync, 0, "Sp0ap1aE"},
        {"forever overrides the count", 1, kAsync | goLoopForever, 6, "Sp0ap1aLp0ap1aLp0ap1aE"},
        {"without goLoop one pass", 3, kAsync & ~goLoop, 0, "Sp0ap1aE"},
        {"without goAnimate the first frame", 3, kAsync & ~goAnimate, 0, "Sp0aE"},
    };
    for (const TCase& c : cases) {
        TGIFDocument document;
        MakeAnimation(document, {4, 4}, c.LoopCount);
        TFakePaintHost host;
        host.StopAfter = c.StopAfter;
        TGIFPaintLoop loop(document, c.Options, 100, host);
        loop.Run();
        EXPECT_EQ(host.Log, c.Log) << c.Name;
    }
}

TEST(GifPaintLoop, PaceZeroHoldsTheFrameUntilStopped)
{
    TGIFDocument document;
    MakeAnimation(document, {4, 4, 4});
    TFakePaintHost host;
    TGIFPaintLoop loop(document, kAsync, 0, host);
    loop.Run();
    EXPECT_EQ(host.Waits, std::vector<int64_t>{-1});
    EXPECT_EQ(host.Log, "Sp0aE");

    // A negative pace shows the frames without waits.
    TFakePaintHost fast;
    TGIFPaintLoop racing(document, kAsync, -1, fast);
    racing.Run();
    EXPECT_TRUE(fast.Waits.empty());
    EXPECT_EQ(fast.Painted.size(), 3u);
    EXPECT_EQ(fast.Clock, 1000u);
}

TEST(GifPaintLoop, AHandlerMovesThePlayAndARestartBeginsAgain)
{
    TGIFDocument document;
    MakeAnimation(document, {4, 4, 4});
    TFakePaintHost host;
    TGIFPaintLoop loop(document, kAsync, 100, host);
    int afterPaints = 0;
    host.OnEvent = [&](TGIFPaintEvent event) {
        if (event == TGIFPaintEvent::AfterPaint && ++afterPaints == 1)
            loop.SetActiveFrame(2);  // skips frame 1
        if (event == TGIFPaintEvent::Paint && afterPaints == 1)
            loop.Restart();  // during the second frame
    };
    loop.Run();
    EXPECT_EQ(host.Log, "Sp0ap2aESp0ap1ap2aE");
}

TEST(GifPaintLoop, ADocumentFreedWhileThePlayRunsIsNotTouchedAgain)
{
    // The picture goes inside an event, a paint or a wait (a synchronous
    // painter serves messages there): the host ends the play, and the
    // sanitizer sees any later read of the document.
    enum class TWhere { Event, Paint, Wait };
    const struct TCase {
        TWhere Where;
        TGIFPaintEvent Event;
        size_t Count;  // the how-manieth event, paint or wait
        uint16_t Options;
    } cases[] = {
        {TWhere::Event, TGIFPaintEvent::StartPaint, 1, kSync}, {TWhere::Event, TGIFPaintEvent::Paint, 1, kSync},
        {TWhere::Event, TGIFPaintEvent::Paint, 3, kAsync},     {TWhere::Event, TGIFPaintEvent::AfterPaint, 2, kSync},
        {TWhere::Event, TGIFPaintEvent::Loop, 1, kAsync},      {TWhere::Paint, TGIFPaintEvent::Paint, 1, kSync},
        {TWhere::Paint, TGIFPaintEvent::Paint, 4, kAsync},     {TWhere::Wait, TGIFPaintEvent::Paint, 1, kSync},
        {TWhere::Wait, TGIFPaintEvent::Paint, 2, kSync},
    };
    for (const TCase& c : cases) {
        auto document = std::make_unique<TGIFDocument>();
        MakeAnimation(*document, {4, 4}, 0);
        // The host that frees it: as the painter's, it ends once its picture is gone.
        class TFreeingHost : public TFakePaintHost {
        public:
            std::function<void()> WhileWaiting, WhilePainting;
            bool Wait(int64_t milliseconds) override
            {
                const bool woken = TFakePaintHost::Wait(milliseconds);
                WhileWaiting();
                return woken;
            }
            void PaintFrame(size_t frame) override
            {
                TFakePaintHost::PaintFrame(frame);
                WhilePainting();
            }
        } host;
        size_t seen = 0;
        const auto freeAt = [&](bool here) {
            if (here && ++seen == c.Count) {
                document.reset();
                host.Stopped = true;
            }
        };
        host.OnEvent = [&](TGIFPaintEvent event) { freeAt(c.Where == TWhere::Event && event == c.Event); };
        host.WhilePainting = [&] { freeAt(c.Where == TWhere::Paint); };
        host.WhileWaiting = [&] { freeAt(c.Where == TWhere::Wait); };
        TGIFPaintLoop loop(*document, c.Options, 100, host);
        loop.Run();
        EXPECT_FALSE(document) << host.Log;
        EXPECT_EQ(host.Log.back(), 'E') << host.Log;
    }
}

TEST(GifPaintLoop, StopsAtAFrameWithoutPixels)
{
    TGIFDocument document;
    MakeAnimation(document, {4, 4});
    document.AddFrame();  // extensions after the last image
    TFakePaintHost host;
    TGIFPaintLoop loop(document, kAsync, 100, host);
    loop.Run();
    EXPECT_EQ(host.Painted, (std::vector<size_t>{0, 1}));
}

}  // namespace
}  // namespace qrv::test
