#pragma once
// TGIFPainter: plays a GIF picture's frames onto a canvas rectangle, or onto
// the picture's own bitmap. With goAsync it has a thread that waits each
// frame's time on a wake-up event (so that Stop cuts a wait short) and draws,
// and fires the painting events, on the UI thread through Synchronize;
// without it the same run happens on the calling thread, whose messages are
// served while it waits.

#include "framework/win/Handles.h"
#include "framework/win/Threads.h"
#include "imaging/GifAnimation.h"
#include "imaging/GifPaintLoop.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TGIFImage;
class TGIFPainter;

using TGIFPainterEvent = std::function<void(TGIFPainter* Sender)>;

// The picture's five painting events, copied into each painter it makes.
struct TGIFPaintEvents {
    TGIFPainterEvent OnStartPaint;
    TGIFPainterEvent OnPaint;
    TGIFPainterEvent OnAfterPaint;
    TGIFPainterEvent OnLoop;
    TGIFPainterEvent OnEndPaint;
};

class TGIFPainter : private TGIFPaintHost {
public:
    // Paints the picture on the canvas rectangle, or with no canvas on the
    // picture's bitmap (rect then is the logical screen). reference, when
    // given, points to this painter until it ends.
    TGIFPainter(TGIFImage& picture, uint16_t options, const RECT& rect, HDC canvas, TGIFPainter** reference);
    // Stops the play and waits for the thread (serving its calls).
    ~TGIFPainter() override;
    TGIFPainter(const TGIFPainter&) = delete;
    TGIFPainter& operator=(const TGIFPainter&) = delete;

    // Asynchronous: resumes the thread. Synchronous: plays here and returns
    // when the play has ended.
    void StartPainting();
    // Asks the play to end; an asynchronous painter's wait ends at once.
    void Stop();
    // Starts the play again from the first frame.
    void Restart();
    // The picture is being deleted while this painter plays synchronously:
    // the play ends, firing no more events, and the picture is not touched
    // again.
    void LetPictureGo();

    bool Async() const { return (options_ & goAsync) != 0; }
    // The thread of an asynchronous painter (null otherwise).
    HANDLE Handle() const { return thread_ ? thread_->Handle() : nullptr; }
    void SetPriority(TThreadPriority priority);
    uint16_t Options() const { return options_; }
    HDC Canvas() const { return canvas_; }
    const RECT& Rect() const { return rect_; }
    // The frame being painted (-1 when not painting); a handler may set it.
    int ActiveFrame() const { return loop_.ActiveFrame(); }
    void SetActiveFrame(int frame) { loop_.SetActiveFrame(frame); }
    // A frame has been painted.
    bool Started() const { return started_; }
    // The play is over (or was never started); the thread has left its run.
    bool Ended() const { return ended_; }
    // What ended the play with an error, if anything did.
    std::exception_ptr Error() const { return error_; }

    TGIFPaintEvents Events;

    // Painters whose threads are running, over all pictures.
    static int RunningThreads();

private:
    // The thread of an asynchronous painter: it plays, and Terminate stops.
    class TRunner : public TThread {
    public:
        explicit TRunner(TGIFPainter& painter) : TThread(true), painter_(painter) {}

    protected:
        void Execute() override;
        void TerminatedSet() override { painter_.Stop(); }

    private:
        TGIFPainter& painter_;
    };

    // TGIFPaintHost
    uint64_t Now() override;
    bool Wait(int64_t milliseconds) override;
    void GiveWay() override;
    bool Ending() override;
    void PaintFrame(size_t frame) override;
    void Fire(TGIFPaintEvent event) override;

    void Run();
    // On the UI thread: the frame composed and shown.
    void PaintOnUIThread(size_t frame);
    void Present();
    // Synchronous waits serve the caller's messages; a quit message is posted
    // again and ends the play.
    bool WaitServingMessages(int64_t milliseconds);
    void Finish();

    TGIFImage* picture_;
    uint16_t options_;
    RECT rect_;
    HDC canvas_;
    TGIFPainter** reference_;
    TGIFPaintLoop loop_;
    TKernelHandle wakeUp_;
    std::unique_ptr<TRunner> thread_;
    bool threadStarted_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> started_{false};
    std::atomic<bool> ended_{false};
    std::exception_ptr error_;

    // The logical screen as composed (0xAARRGGBB, alpha 0 where nothing is
    // drawn), frame after frame with the disposal methods.
    std::vector<uint32_t> backup_;
    std::unique_ptr<TGIFComposer> composer_;
    // On a canvas, drawn transparently while frames may clear areas: what
    // the canvas showed before the first frame, and the scratch bitmap in
    // which a frame's picture is laid over it before it goes on the canvas.
    TGdiObject backdropCopy_;
    TGdiObject frameBuffer_;
};

}  // namespace qrv
