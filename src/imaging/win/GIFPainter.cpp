#include "imaging/win/GIFPainter.h"

#include "framework/IgnoredError.h"
#include "imaging/win/GIFImage.h"

#include <algorithm>
#include <mutex>

namespace qrv {

namespace {

std::atomic<int> runningThreads{0};

// The slices of a synchronous painter's wait, between which its caller's
// messages are served.
constexpr int64_t kSyncSliceMs = 100;

// Disposal methods 2 or 3 clear areas a later frame does not cover.
bool ClearsAreas(const TGIFDocument& document, uint16_t options)
{
    if (options & goClearOnLoop)
        return true;
    for (const auto& frame : document.Frames)
        if (const TGIFGraphicControlExtension* control = frame->GraphicControl())
            if (control->Disposal() == 2 || control->Disposal() == 3)
                return true;
    return false;
}

// A bitmap of the rectangle's size holding what the canvas shows there.
TGdiObject CopyOfCanvas(HDC canvas, const RECT& rect)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    TGdiObject copy(CreateCompatibleBitmap(canvas, width, height));
    const TOwnDC dc(CreateCompatibleDC(canvas));
    if (!copy || !dc) {
        TraceIgnoredFailure(L"GIF painter: a copy of its canvas", GetLastError());
        return {};
    }
    const TSelectObject select(dc.Get(), copy.Get());
    if (!BitBlt(dc.Get(), 0, 0, width, height, canvas, rect.left, rect.top, SRCCOPY))
        TraceIgnoredFailure(L"GIF painter: copying its canvas", GetLastError());
    return copy;
}

}  // namespace

TGIFPainter::TGIFPainter(TGIFImage& picture, uint16_t options, const RECT& rect, HDC canvas, TGIFPainter** reference)
    : picture_(&picture), options_(options), rect_(rect), canvas_(canvas), reference_(reference),
      loop_(picture.Document(), options, picture.AnimationPace, *this)
{
    const TGIFDocument& document = picture.Document();
    const size_t width = document.Width();
    backup_.assign(width * document.Height(), 0);
    composer_ = std::make_unique<TGIFComposer>(document, picture.Backdrop(options), backup_.data(), width);
    composer_->ClearOnPassStart = (options & goClearOnLoop) != 0;
    const bool animated = (options & goAnimate) && document.Frames.size() > 1;
    if (Async() && animated && picture.AnimationPace >= 0) {
        wakeUp_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!wakeUp_)
            throw EOSError(L"GIF painter: its wake-up event", GetLastError());
    }
    // Drawn transparently on a canvas, an area a frame clears must show the
    // canvas as it was, not as the frames left it.
    if (canvas_ && (options & goTransparent) && ClearsAreas(document, options)) {
        backdropCopy_ = CopyOfCanvas(canvas_, rect_);
        if (backdropCopy_) {
            frameBuffer_.Reset(CreateCompatibleBitmap(canvas_, rect_.right - rect_.left, rect_.bottom - rect_.top));
            if (!frameBuffer_)
                backdropCopy_.Reset();
        }
    }
    if (Async())
        thread_ = std::make_unique<TRunner>(*this);
    if (reference_)
        *reference_ = this;
}

TGIFPainter::~TGIFPainter()
{
    Stop();
    if (thread_ && threadStarted_)
        thread_->WaitFor();
    thread_.reset();
    Finish();
}

void TGIFPainter::SetPriority(TThreadPriority priority)
{
    if (thread_)
        thread_->SetPriority(priority);
}

int TGIFPainter::RunningThreads()
{
    return runningThreads;
}

void TGIFPainter::StartPainting()
{
    if (thread_) {
        runningThreads.fetch_add(1);
        threadStarted_ = true;
        thread_->Start();
        return;
    }
    Run();
}

void TGIFPainter::Stop()
{
    stopping_ = true;
    if (wakeUp_)
        SetEvent(wakeUp_.Get());
    SetPriority(TThreadPriority::tpNormal);
}

void TGIFPainter::Restart()
{
    loop_.Restart();
    if (wakeUp_)
        SetEvent(wakeUp_.Get());
}

void TGIFPainter::LetPictureGo()
{
    Stop();
    Finish();
}

void TGIFPainter::TRunner::Execute()
{
    painter_.Run();
    runningThreads.fetch_sub(1);
}

void TGIFPainter::Run()
{
    try {
        loop_.Run();
    } catch (...) {
        error_ = std::current_exception();
    }
    Finish();
    ended_ = true;
}

void TGIFPainter::Finish()
{
    if (!picture_)
        return;
    {
        const std::lock_guard<std::mutex> lock(picture_->paintersLock_);
        if (reference_ && *reference_ == this)
            *reference_ = nullptr;
        reference_ = nullptr;
    }
    picture_ = nullptr;
    // The buffers go with the play; the picture's bitmap keeps the last frame.
    backdropCopy_.Reset();
    frameBuffer_.Reset();
    wakeUp_.Reset();
}

uint64_t TGIFPainter::Now()
{
    return GetTickCount64();
}

bool TGIFPainter::Wait(int64_t milliseconds)
{
    if (!Async())
        return WaitServingMessages(milliseconds);
    if (!wakeUp_) {
        Sleep(static_cast<DWORD>(std::clamp<int64_t>(milliseconds, 0, INT32_MAX)));
        return false;
    }
    const DWORD time = milliseconds < 0 ? INFINITE : static_cast<DWORD>(std::min<int64_t>(milliseconds, INT32_MAX));
    return WaitForSingleObject(wakeUp_.Get(), time) != WAIT_TIMEOUT;
}

bool TGIFPainter::WaitServingMessages(int64_t milliseconds)
{
    int64_t left = std::max<int64_t>(milliseconds, 1);
    while (left > 0 && !Ending()) {
        const uint64_t start = GetTickCount64();
        const DWORD slice = static_cast<DWORD>(std::min(left, kSyncSliceMs));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The caller's loop must still see it.
                PostQuitMessage(static_cast<int>(message.wParam));
                stopping_ = true;
                return true;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        left -= static_cast<int64_t>(GetTickCount64() - start);
    }
    return left > 0;
}

void TGIFPainter::GiveWay()
{
    if (Async())
        SwitchToThread();
}

bool TGIFPainter::Ending()
{
    return stopping_ || !picture_;
}

void TGIFPainter::Fire(TGIFPaintEvent event)
{
    const TGIFPainterEvent* handler = nullptr;
    switch (event) {
    case TGIFPaintEvent::StartPaint:
        handler = &Events.OnStartPaint;
        break;
    case TGIFPaintEvent::Paint:
        handler = &Events.OnPaint;
        break;
    case TGIFPaintEvent::AfterPaint:
        handler = &Events.OnAfterPaint;
        break;
    case TGIFPaintEvent::Loop:
        handler = &Events.OnLoop;
        break;
    case TGIFPaintEvent::EndPaint:
        handler = &Events.OnEndPaint;
        break;
    }
    // None once the picture is gone: what handles them belongs to it.
    if (!handler || !*handler || !picture_)
        return;
    if (Async())
        TThread::Synchronize([this, handler] { (*handler)(this); });
    else
        (*handler)(this);
}

void TGIFPainter::PaintFrame(size_t frame)
{
    if (Async())
        TThread::Synchronize([this, frame] { PaintOnUIThread(frame); });
    else
        PaintOnUIThread(frame);
}

void TGIFPainter::PaintOnUIThread(size_t frame)
{
    // Stopped while the call waited: the picture may be going.
    if (Ending())
        return;
    if (canvas_ && (options_ & goCheckCanvas) && GetObjectType(canvas_) == 0) {
        stopping_ = true;
        return;
    }
    composer_->Draw(frame);
    Present();
    started_ = true;
}

void TGIFPainter::Present()
{
    TGIFImage& picture = *picture_;
    picture.ShowScreen(backup_.data());
    if (!canvas_) {
        picture.NotifyChange();
        return;
    }
    if (!backdropCopy_) {
        picture.DrawScreen(canvas_, rect_, options_);
        return;
    }
    // The canvas as it was, the screen laid over it, and the two at once on
    // the canvas, so that nothing flickers.
    const int width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
    const TOwnDC backdrop(CreateCompatibleDC(canvas_));
    const TOwnDC buffer(CreateCompatibleDC(canvas_));
    if (!backdrop || !buffer) {
        TraceIgnoredFailure(L"GIF painter: its drawing contexts", GetLastError());
        return;
    }
    const TSelectObject selectBackdrop(backdrop.Get(), backdropCopy_.Get());
    const TSelectObject selectBuffer(buffer.Get(), frameBuffer_.Get());
    BitBlt(buffer.Get(), 0, 0, width, height, backdrop.Get(), 0, 0, SRCCOPY);
    picture.DrawScreen(buffer.Get(), RECT{0, 0, width, height}, options_);
    if (!BitBlt(canvas_, rect_.left, rect_.top, width, height, buffer.Get(), 0, 0, SRCCOPY))
        TraceIgnoredFailure(L"GIF painter: drawing on its canvas", GetLastError());
}

}  // namespace qrv
