// A GIF animation of 100 frames (delays of 2 and 10 hundredths, waits of 30
// and 100 ms) played by an asynchronous painter on a window's canvas: the
// time from its start until the last frame shows, beside the sum of the
// frames' waits before it. The play should end within 2 % of that sum: each
// frame is due at the previous one's due time plus its wait, however late
// the painter wakes.
//   qrv_bench_gifplay_win.exe

#include "framework/win/Forms.h"
#include "imaging/GifAnimation.h"
#include "imaging/win/GIFImage.h"
#include "imaging/win/GIFPainter.h"

#include <chrono>
#include <cstdio>
#include <memory>

using namespace qrv;

namespace {

std::unique_ptr<TGIFImage> Animation(int64_t& waits)
{
    auto picture = std::make_unique<TGIFImage>();
    TGIFDocument& document = picture->Document();
    document.Header.Width = 64;
    document.Header.Height = 64;
    document.Header.ColorMap.Add(TGIFColor{0, 0, 0});
    document.Header.ColorMap.Add(TGIFColor{255, 255, 255});
    waits = 0;
    for (int i = 0; i < 100; ++i) {
        TGIFFrame& frame = document.AddFrame();
        frame.SetSize(64, 64);
        for (uint32_t y = 0; y < 64; ++y)
            for (uint32_t x = 0; x < 64; ++x)
                frame.Row(y)[x] = static_cast<uint8_t>((x / 8 + y / 8 + static_cast<uint32_t>(i)) % 2);
        auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
        control->Delay = i % 2 ? 10 : 2;
        // The last frame's wait is not waited for: it stays.
        if (i < 99)
            waits += GIFFrameWait(control->Delay, 100);
        frame.Extensions.push_back(std::move(control));
    }
    picture->Changed();
    return picture;
}

}  // namespace

int wmain()
{
    TApplication application;
    TForm form{nullptr};
    form.SetBounds(0, 0, 200, 200);
    form.HandleNeeded();
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);

    int64_t waits = 0;
    std::unique_ptr<TGIFImage> picture = Animation(waits);
    int painted = 0;
    auto last = std::chrono::steady_clock::now();
    picture->PaintEvents.OnAfterPaint = [&](TGIFPainter*) {
        ++painted;
        last = std::chrono::steady_clock::now();
    };
    const TWindowDC canvas(form.Handle());
    const auto start = std::chrono::steady_clock::now();
    TGIFPainter* painter = picture->StartPainter(canvas.Get(), RECT{0, 0, 64, 64}, picture->PaintOptions | goDirect);
    MSG message;
    while (painter && !painter->Ended()) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) {
            std::printf("GIF animation, 100 frames: did not end within a minute (frame %d)\n", painted);
            return 1;
        }
        // The painter's drawing comes as sent messages.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    picture->StopPainting();
    const double played = std::chrono::duration<double, std::milli>(last - start).count();
    const double off = 100.0 * (played - static_cast<double>(waits)) / static_cast<double>(waits);
    std::printf("GIF animation, 100 frames by an asynchronous painter: %.1f ms (%d frames); sum of the waits %lld ms "
                "(%+.2f %%, target within 2 %%)\n",
                played, painted, static_cast<long long>(waits), off);
    return painted != 100 || off > 2.0 || off < -2.0 ? 1 : 0;
}
