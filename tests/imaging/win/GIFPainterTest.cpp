// The GIF painter under Wine: its thread plays on the picture's bitmap and on
// a canvas, fires the events in order on the UI thread, ends at once when
// stopped (pace 0 too), stops when its canvas goes, leaves no thread behind
// when the picture goes; a synchronous play ends when its picture is deleted
// inside it; frames that clear their area show the canvas as it was; one
// frame and tiles are drawn without a thread.

#include "GifTestSupport.h"

#include "framework/Streams.h"
#include "framework/win/Handles.h"
#include "imaging/win/GIFImage.h"
#include "imaging/win/GIFPainter.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qrv::test {
namespace {

using namespace std::chrono_literals;

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

// A 2 × 1 screen of black, blue, green; frames given as their two pixels,
// transparent index 0, the delay and the disposal; a loop block when
// loopCount >= 0.
struct TFrameSpec {
    uint8_t Left, Right;
    int Delay, Disposal;
};

void MakeAnimation(TGIFImage& picture, const std::vector<TFrameSpec>& frames, int loopCount = -1)
{
    TGIFDocument& document = picture.Document();
    document.Header.Width = 2;
    document.Header.Height = 1;
    for (const TGIFColor& color : {TGIFColor{0, 0, 0}, TGIFColor{0, 0, 255}, TGIFColor{0, 255, 0}, TGIFColor{}})
        document.Header.ColorMap.Add(color);
    for (const TFrameSpec& spec : frames) {
        TGIFFrame& frame = document.AddFrame();
        frame.SetSize(2, 1);
        SetFramePixels(frame, {spec.Left, spec.Right});
        if (loopCount >= 0 && document.Frames.size() == 1) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(&frame);
            loop->LoopCount = static_cast<uint16_t>(loopCount);
            frame.Extensions.push_back(std::move(loop));
        }
        auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
        control->Delay = static_cast<uint16_t>(spec.Delay);
        control->SetDisposal(spec.Disposal);
        control->SetTransparent(true);
        control->SetTransparentColorIndex(0);
        frame.Extensions.push_back(std::move(control));
    }
    picture.Changed();
}

// A 32-bit memory canvas filled with one colour.
class TCanvas {
public:
    TCanvas(int width, int height, COLORREF color) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc_.Reset(CreateCompatibleDC(nullptr));
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
        const TGdiObject brush(CreateSolidBrush(color));
        const RECT whole{0, 0, width, height};
        FillRect(dc_.Get(), &whole, static_cast<HBRUSH>(brush.Get()));
    }
    ~TCanvas()
    {
        if (dc_)
            SelectObject(dc_.Get(), old_);
    }
    HDC DC() const { return dc_.Get(); }
    RECT Whole() const { return RECT{0, 0, width_, height_}; }
    std::vector<COLORREF> Pixels() const
    {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                pixels.push_back(GetPixel(dc_.Get(), x, y));
        return pixels;
    }
    // The device context goes (the canvas with it).
    void Delete()
    {
        SelectObject(dc_.Get(), old_);
        dc_.Reset();
    }

private:
    int width_, height_;
    TGdiObject bitmap_;
    TOwnDC dc_;
    HGDIOBJ old_ = nullptr;
};

class GIFPainter : public testing::Test {
protected:
    void SetUp() override
    {
        StartGIFUnit();
        ASSERT_EQ(TGIFPainter::RunningThreads(), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(TGIFPainter::RunningThreads(), 0) << "a painter thread outlived its picture";
        EndGIFUnit();
    }

    // Every event logged as a letter, with whether it ran on this thread.
    void LogEvents(TGIFImage& picture)
    {
        const DWORD uiThread = GetCurrentThreadId();
        auto logger = [this, uiThread](char letter) {
            return [this, uiThread, letter](TGIFPainter*) {
                log += letter;
                if (GetCurrentThreadId() != uiThread)
                    offThread = true;
            };
        };
        picture.PaintEvents = {logger('S'), logger('p'), logger('a'), logger('L'), logger('E')};
    }
    std::string log;
    bool offThread = false;
};

TEST_F(GIFPainter, PlaysOnItsThreadWithTheEventsInOrderOnTheUIThread)
{
    TGIFImage picture;
    // Two passes of two frames, 30 ms each.
    MakeAnimation(picture, {{1, 1, 2, 1}, {2, 2, 2, 1}}, 2);
    LogEvents(picture);
    TCanvas canvas(2, 1, kRed);
    std::vector<std::vector<COLORREF>> shown;
    picture.PaintEvents.OnAfterPaint = [&](TGIFPainter*) { shown.push_back(canvas.Pixels()); };
    TGIFPainter* painter = picture.StartPainter(canvas.DC(), canvas.Whole(), picture.PaintOptions | goDirect);
    ASSERT_NE(painter, nullptr);
    EXPECT_EQ(TGIFPainter::RunningThreads(), 1);
    ASSERT_TRUE(PumpUntil([&] { return painter->Ended(); }, 5s));
    EXPECT_EQ(log, "SppLppE") << "the after-paint handler was replaced";
    EXPECT_FALSE(offThread);
    EXPECT_EQ(shown,
              (std::vector<std::vector<COLORREF>>{{kBlue, kBlue}, {kGreen, kGreen}, {kBlue, kBlue}, {kGreen, kGreen}}));
    EXPECT_EQ(picture.PainterCount(), 1u) << "an ended painter waits to be freed";
    picture.StopPainting();
    EXPECT_EQ(picture.PainterCount(), 0u);
}

TEST_F(GIFPainter, StopEndsAPaintingThreadAtOnceEvenHeldByPaceZero)
{
    for (int pace : {0, 100}) {
        log.clear();
        TGIFImage picture;
        // Frames of ten seconds.
        MakeAnimation(picture, {{1, 1, 1000, 1}, {2, 2, 1000, 1}}, 0);
        picture.AnimationPace = pace;
        LogEvents(picture);
        TCanvas canvas(2, 1, kRed);
        TGIFPainter* painter = picture.StartPainter(canvas.DC(), canvas.Whole(), picture.PaintOptions | goDirect);
        ASSERT_NE(painter, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return painter->Started(); }, 5s)) << pace;
        EXPECT_EQ(canvas.Pixels(), (std::vector<COLORREF>{kBlue, kBlue})) << pace;
        const auto start = std::chrono::steady_clock::now();
        picture.StopPainting();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << pace;
        EXPECT_EQ(picture.PainterCount(), 0u);
        EXPECT_EQ(TGIFPainter::RunningThreads(), 0);
        EXPECT_EQ(log, "SpaE") << pace;
    }
}

TEST_F(GIFPainter, DrawPlaysOnThePicturesBitmapAndItsChangeRepaints)
{
    int changes = 0;
    {
        TGIFImage picture;
        MakeAnimation(picture, {{1, 1, 2, 1}, {2, 2, 2, 1}}, 0);
        picture.OnChange = [&] { ++changes; };
        TCanvas canvas(2, 1, kRed);
        picture.Draw(canvas.DC(), canvas.Whole());
        EXPECT_EQ(canvas.Pixels(), (std::vector<COLORREF>{kBlue, kBlue})) << "drawn once the first frame is there";
        ASSERT_NE(picture.DrawingPainter(), nullptr);
        EXPECT_EQ(TGIFPainter::RunningThreads(), 1);
        ASSERT_TRUE(PumpUntil([&] { return changes >= 4; }, 5s));
        // Drawn again: the bitmap as the painter left it, no second painter.
        picture.Draw(canvas.DC(), canvas.Whole());
        EXPECT_EQ(picture.PainterCount(), 1u);
    }
    // The picture went with its painter still looping.
    EXPECT_EQ(TGIFPainter::RunningThreads(), 0);
}

TEST_F(GIFPainter, AClearedAreaShowsTheCanvasAsItWas)
{
    // Frame 1 blue on the left, cleared after it (disposal 2); frame 2 green
    // on the right. Played synchronously on the canvas.
    TGIFImage picture;
    MakeAnimation(picture, {{1, 0, 2, 2}, {0, 2, 2, 1}});
    LogEvents(picture);
    TCanvas canvas(2, 1, kRed);
    std::vector<std::vector<COLORREF>> shown;
    picture.PaintEvents.OnAfterPaint = [&](TGIFPainter*) { shown.push_back(canvas.Pixels()); };
    const uint16_t options = (picture.PaintOptions & ~goAsync) | goDirect;
    EXPECT_EQ(picture.StartPainter(canvas.DC(), canvas.Whole(), options), nullptr) << "played at once";
    EXPECT_EQ(shown, (std::vector<std::vector<COLORREF>>{{kBlue, kRed}, {kRed, kGreen}}));
    EXPECT_EQ(log, "SppE");
    EXPECT_EQ(picture.PainterCount(), 0u);

    // Without transparency the cleared area takes the backdrop colour.
    TCanvas opaque(2, 1, kRed);
    picture.BackdropColor = TColor(0x00FFFFFF);
    shown.clear();
    picture.PaintEvents.OnAfterPaint = [&](TGIFPainter*) { shown.push_back(opaque.Pixels()); };
    picture.StartPainter(opaque.DC(), opaque.Whole(), options & ~goTransparent);
    EXPECT_EQ(shown.back(), (std::vector<COLORREF>{RGB(255, 255, 255), kGreen}));
}

// Runs the action once, from a thread timer that a message loop serves.
class TOneShotTimer {
public:
    TOneShotTimer(UINT milliseconds, std::function<void()> action)
    {
        pending_ = std::move(action);
        id_ = SetTimer(nullptr, 0, milliseconds, &TOneShotTimer::Elapsed);
    }
    ~TOneShotTimer()
    {
        if (id_)
            KillTimer(nullptr, id_);
        pending_ = nullptr;
    }
    bool Set() const { return id_ != 0; }

private:
    static void CALLBACK Elapsed(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        if (auto action = std::exchange(pending_, nullptr))
            action();
    }
    static inline std::function<void()> pending_;
    UINT_PTR id_ = 0;
};

TEST_F(GIFPainter, APictureDeletedWhileItsSynchronousPainterPlaysEndsThePlay)
{
    // Deleted from a timer served while the painter waits, or from its
    // events; played through StartPainter, through Draw on the picture's
    // bitmap and on the canvas. Once deleted its memory is scribbled over,
    // as a debug heap does, so that anything touching it afterwards shows.
    enum class TBy { Timer, PaintEvent, AfterPaintEvent };
    enum class TCall { StartPainter, Draw, DrawDirect };
    for (const TBy by : {TBy::Timer, TBy::PaintEvent, TBy::AfterPaintEvent})
        for (const TCall call : {TCall::StartPainter, TCall::Draw, TCall::DrawDirect}) {
            const std::string name = std::to_string(int(by)) + "/" + std::to_string(int(call));
            alignas(TGIFImage) std::byte storage[sizeof(TGIFImage)];
            auto* picture = new (storage) TGIFImage;
            // Looped for good: only the deletion ends the play.
            MakeAnimation(*picture, {{1, 1, 3, 1}, {2, 2, 3, 1}}, 0);
            picture->PaintOptions = (picture->PaintOptions & ~goAsync) | goLoopForever;
            if (call == TCall::DrawDirect)
                picture->PaintOptions |= goDirect;
            bool deleted = false;
            std::string afterDeletion;
            const auto deletePicture = [&] {
                picture->~TGIFImage();
                std::memset(storage, 0xA5, sizeof storage);
                deleted = true;
            };
            int paints = 0;
            const auto onEvent = [&](char letter, TBy deletesBy) {
                return [&, letter, deletesBy](TGIFPainter*) {
                    if (deleted)
                        afterDeletion += letter;
                    else if (by == deletesBy && ++paints == 3)
                        deletePicture();
                };
            };
            picture->PaintEvents = {onEvent('S', TBy::Timer), onEvent('p', TBy::PaintEvent),
                                    onEvent('a', TBy::AfterPaintEvent), onEvent('L', TBy::Timer),
                                    onEvent('E', TBy::Timer)};
            TOneShotTimer timer(by == TBy::Timer ? 100 : USER_TIMER_MAXIMUM, deletePicture);
            ASSERT_TRUE(timer.Set());
            TCanvas canvas(2, 1, kRed);
            const auto start = std::chrono::steady_clock::now();
            if (call == TCall::StartPainter)
                EXPECT_EQ(picture->StartPainter(canvas.DC(), canvas.Whole(), picture->PaintOptions), nullptr) << name;
            else
                picture->Draw(canvas.DC(), canvas.Whole());
            EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << name;
            EXPECT_TRUE(deleted) << name;
            EXPECT_EQ(afterDeletion, "") << name << ": events after the picture went";
            if (!deleted)
                picture->~TGIFImage();
        }
}

TEST_F(GIFPainter, StopsWhenItsCanvasIsGone)
{
    TGIFImage picture;
    MakeAnimation(picture, {{1, 1, 3, 1}, {2, 2, 3, 1}}, 0);
    auto canvas = std::make_unique<TCanvas>(2, 1, kRed);
    TGIFPainter* painter =
        picture.StartPainter(canvas->DC(), canvas->Whole(), picture.PaintOptions | goDirect | goCheckCanvas);
    ASSERT_NE(painter, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return painter->Started(); }, 5s));
    canvas->Delete();
    EXPECT_TRUE(PumpUntil([&] { return painter->Ended(); }, 5s));
}

TEST_F(GIFPainter, OneFrameAndTilesAreDrawnWithoutAThread)
{
    TGIFImage picture;
    MakeAnimation(picture, {{1, 2, 0, 1}});
    TCanvas canvas(5, 2, kRed);
    EXPECT_EQ(picture.StartPainter(canvas.DC(), canvas.Whole(), picture.PaintOptions | goDirect), nullptr);
    EXPECT_EQ(TGIFPainter::RunningThreads(), 0);
    EXPECT_EQ(canvas.Pixels()[0], kBlue) << "one frame stretched over the canvas";
    picture.PaintOptions |= goTile;
    TCanvas tiled(5, 2, kRed);
    picture.Draw(tiled.DC(), tiled.Whole());
    EXPECT_EQ(tiled.Pixels(),
              (std::vector<COLORREF>{kBlue, kGreen, kBlue, kGreen, kBlue, kBlue, kGreen, kBlue, kGreen, kBlue}));
    EXPECT_EQ(picture.PainterCount(), 0u);
}

}  // namespace
}  // namespace qrv::test
