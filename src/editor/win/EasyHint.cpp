#include "editor/win/EasyHint.h"

#include "editor/WideText.h"

#include <algorithm>

namespace qrv {

namespace {
// Later hints at the cursor appear this far below it.
constexpr int32_t kCursorOffset = 20;
}  // namespace

SIZE TEasyHintWindow::BuildLines(const std::wstring& caption)
{
    painter_.Clear();
    painter_.SetDefaultFont(Font());
    SIZE size{0, 0};
    const std::u16string text = ToUtf16(caption);
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(u"\r\n", start);
        const TEasyRtfLine& line =
            painter_.AddLine(std::u16string_view(text).substr(start, end == std::u16string::npos ? end : end - start));
        size.cx = std::max<LONG>(size.cx, line.Width);
        size.cy += line.Height;
        if (end == std::u16string::npos)
            break;
        start = end + 2;
    }
    return size;
}

SIZE TEasyHintWindow::MeasureCaption(const std::wstring& caption)
{
    SIZE size = BuildLines(caption);
    // The lines of the current caption are what is painted.
    BuildLines(Caption());
    size.cx += 8;
    return size;
}

void TEasyHintWindow::CaptionChanged(bool byActivation)
{
    const SIZE size = BuildLines(Caption());
    if (!byActivation && HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, size.cx + 4, size.cy + 4, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TEasyHintWindow::ActivateHint(const RECT& rect, const std::wstring& caption)
{
    RECT taller = rect;
    taller.bottom += 4;
    THintWindow::ActivateHint(taller, caption);
}

void TEasyHintWindow::Paint(HDC dc, const RECT& client)
{
    SetTextColor(dc, ColorToRGB(clInfoText));
    RECT row{client.left + 2, client.top, client.right, client.bottom};
    for (const auto& line : painter_.Lines()) {
        painter_.DrawLine(dc, row, false, false, *line);
        row.top += line->Height;
    }
}

TEasyHint::TEasyHint(TComponent* owner)
    : TComponent(owner), timer_(new TTimer(this)), window_(std::make_unique<TEasyHintWindow>())
{
    timer_->SetEnabled(false);
    timer_->SetInterval(50);
    timer_->OnTimer = [this](TComponent*) { ticker_.Tick(); };
}

TEasyHint::~TEasyHint()
{
    timer_->SetEnabled(false);
}

void TEasyHint::SetInterval(unsigned value)
{
    timer_->SetInterval(value);
    ticker_.Interval = value;
}

TEasyHintPoint TEasyHint::CursorPos()
{
    POINT point{};
    GetCursorPos(&point);
    return {point.x, point.y};
}

bool TEasyHint::InHintArea(const RECT& rect, POINT point) const
{
    return ticker_.InHintArea({rect.left, rect.top, rect.right, rect.bottom}, {point.x, point.y});
}

void TEasyHint::ActivateWindow(const TEasyHintRect& rect)
{
    const bool wasVisible = window_->Visible();
    window_->ActivateHint(RECT{rect.Left, rect.Top, rect.Right, rect.Bottom}, caption_);
    if (!wasVisible && OnVisibleChanged)
        OnVisibleChanged(this);
}

void TEasyHint::HideWindow()
{
    if (!window_->Visible())
        return;
    window_->Hide();
    if (OnVisibleChanged)
        OnVisibleChanged(this);
}

void TEasyHint::ShowAt(POINT point, const std::wstring& caption)
{
    if (caption.empty()) {
        Hide();
        return;
    }
    const SIZE size = window_->MeasureCaption(caption);
    caption_ = caption;
    // A hint at a point shows there; one at the cursor shows below it from
    // its next display on.
    ticker_.VerticalOffset = 0;
    ticker_.Start({point.x, point.y, point.x + size.cx, point.y + size.cy});
    timer_->SetEnabled(true);
    if (ticker_.Immediate)
        ticker_.Tick();
}

void TEasyHint::ShowAtCursor(const std::wstring& caption)
{
    POINT point{};
    GetCursorPos(&point);
    ShowAt(point, caption);
    ticker_.VerticalOffset = kCursorOffset;
}

void TEasyHint::Hide()
{
    HideWindow();
    ticker_.ResetCounter();
    timer_->SetEnabled(false);
}

void TEasyHint::SetVisible(bool value)
{
    if (value)
        ShowAtCursor(caption_);
    else
        Hide();
}

void TEasyHint::SetCaption(const std::wstring& value)
{
    if (value == caption_)
        return;
    caption_ = value;
    if (window_->Visible())
        window_->SetCaption(value);
}

}  // namespace qrv
