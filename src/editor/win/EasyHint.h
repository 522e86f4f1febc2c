#pragma once
// The editor's hint: a caption of one or more lines (each plain text or an
// RTF snippet) shown near a point or the mouse cursor after the
// application's hint pause, hidden when the mouse leaves it.

#include "editor/EasyHintTicker.h"
#include "editor/win/EasyRtfPainter.h"
#include "framework/win/Timer.h"
#include "framework/Component.h"
#include "framework/win/HintWindow.h"

#include <memory>
#include <string>

namespace qrv {

class TEasyHintWindow : public THintWindow {
public:
    // The window's size for a caption: the widest line and the sum of the
    // line heights, width + 8.
    SIZE MeasureCaption(const std::wstring& caption);
    void ActivateHint(const RECT& rect, const std::wstring& caption) override;
    const TEasyRtfPainter& Painter() const { return painter_; }

protected:
    void CaptionChanged(bool byActivation) override;
    void Paint(HDC dc, const RECT& client) override;

private:
    // Splits the caption at CR LF into painter lines; their total size.
    SIZE BuildLines(const std::wstring& caption);

    TEasyRtfPainter painter_;
};

class TEasyHint : public TComponent, private TEasyHintHost {
public:
    explicit TEasyHint(TComponent* owner);
    ~TEasyHint() override;

    bool AutoHide() const { return ticker_.AutoHide; }
    void SetAutoHide(bool value) { ticker_.AutoHide = value; }
    unsigned Interval() const { return timer_->Interval(); }
    void SetInterval(unsigned value);
    bool Immediate() const { return ticker_.Immediate; }
    void SetImmediate(bool value) { ticker_.Immediate = value; }
    // Leaving the hint rectangle hides the hint (with AutoHide).
    bool TrackArea() const { return ticker_.TrackArea; }
    void SetTrackArea(bool value) { ticker_.TrackArea = value; }
    void SetShortPause(bool value) { ticker_.ShortPause = value; }

    bool Visible() const { return window_->Visible(); }
    void SetVisible(bool value);
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& value);
    TNotifyEvent OnVisibleChanged;

    void ShowAt(POINT point, const std::wstring& caption);
    void ShowAtCursor(const std::wstring& caption);
    void Hide();
    SIZE MeasureCaption(const std::wstring& text) { return window_->MeasureCaption(text); }
    bool InHintArea(const RECT& rect, POINT point) const;

    TEasyHintWindow& Window() { return *window_; }
    const TTimer& Timer() const { return *timer_; }
    // One tick, as the timer gives it.
    void Tick() { ticker_.Tick(); }

private:
    TEasyHintPoint CursorPos() override;
    uint32_t HintPause() override { return ApplicationHintSettings().HintPause; }
    uint32_t HintShortPause() override { return ApplicationHintSettings().HintShortPause; }
    uint32_t HintHidePause() override { return ApplicationHintSettings().HintHidePause; }
    bool WindowVisible() override { return window_->Visible(); }
    void ActivateWindow(const TEasyHintRect& rect) override;
    void HideWindow() override;
    void StopTimer() override { timer_->SetEnabled(false); }

    TTimer* timer_;  // owned as a component
    std::unique_ptr<TEasyHintWindow> window_;
    TEasyHintTicker ticker_{*this};
    std::wstring caption_;
};

}  // namespace qrv
