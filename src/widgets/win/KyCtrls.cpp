#include "widgets/win/KyCtrls.h"

#include "framework/win/Handles.h"

#include <algorithm>

namespace qrv {

void TTextListBox::CreateParams(TCreateParams& params)
{
    TCustomListBox::CreateParams(params);
    params.Style |= WS_HSCROLL;
}

void TTextListBox::CreateWindowHandle(const TCreateParams& params)
{
    TCustomListBox::CreateWindowHandle(params);
    Recompute();
}

void TTextListBox::SetTabWidth(int width)
{
    tabWidth_ = std::max(width, 0);
    Recompute();
}

void TTextListBox::FontChanged()
{
    TCustomListBox::FontChanged();
    Recompute();
}

int TTextListBox::LineWidth(int index)
{
    const std::wstring line = Items().Get(index) + L"x";
    const TWindowDC screen(nullptr, GetDC(nullptr));
    const TSelectObject font(screen.Get(), Font().Handle());
    if (tabWidth_ > 0) {
        SIZE zero{};
        GetTextExtentPoint32W(screen.Get(), L"0", 1, &zero);
        const int stop = std::max(1, tabWidth_ * static_cast<int>(zero.cx) / 4);
        // Only the low 16 bits hold the width.
        return LOWORD(GetTabbedTextExtentW(screen.Get(), line.c_str(), static_cast<int>(line.size()), 1, &stop));
    }
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), line.c_str(), static_cast<int>(line.size()), &size);
    return size.cx;
}

void TTextListBox::Recompute()
{
    widths_.clear();
    for (int i = 0; i < Items().Count(); ++i)
        widths_.push_back(LineWidth(i));
    maxWidth_ = widths_.empty() ? 0 : *std::max_element(widths_.begin(), widths_.end());
    SendExtent();
}

void TTextListBox::SendExtent()
{
    if (HandleAllocated())
        SendMessageW(handle_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(maxWidth_), 0);
}

void TTextListBox::DrawItem(HDC dc, int index, const RECT& rect, UINT state)
{
    if (tabWidth_ <= 0) {
        TCustomListBox::DrawItem(dc, index, rect, state);
        return;
    }
    const bool selected = (state & ODS_SELECTED) != 0;
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SIZE zero{};
    GetTextExtentPoint32W(dc, L"0", 1, &zero);
    const int stop = std::max(1, tabWidth_ * static_cast<int>(zero.cx) / 4);
    const std::wstring& text = Items().Get(index);
    TabbedTextOutW(dc, rect.left + 2, rect.top, text.c_str(), static_cast<int>(text.size()), 1, &stop, rect.left + 2);
}

void TTextListBox::WndProc(TMessage& message)
{
    // The items tell the window of each change; the widths follow them.
    switch (message.Msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        TCustomListBox::WndProc(message);
        const int index =
            message.Msg == LB_ADDSTRING ? static_cast<int>(widths_.size()) : static_cast<int>(message.WParam);
        if (index < 0 || index > static_cast<int>(widths_.size()) || index >= Items().Count())
            return;
        const int width = LineWidth(index);
        widths_.insert(widths_.begin() + index, width);
        if (width > maxWidth_) {
            maxWidth_ = width;
            SendExtent();
        }
        return;
    }
    case LB_DELETESTRING: {
        TCustomListBox::WndProc(message);
        const auto index = static_cast<size_t>(message.WParam);
        if (index >= widths_.size())
            return;
        const int width = widths_[index];
        widths_.erase(widths_.begin() + static_cast<std::ptrdiff_t>(index));
        if (width >= maxWidth_) {
            // The widest line went: back to the left edge, the next widest sets the range.
            SendMessageW(handle_, WM_HSCROLL, SB_TOP, 0);
            maxWidth_ = widths_.empty() ? 0 : *std::max_element(widths_.begin(), widths_.end());
            SendExtent();
        }
        return;
    }
    case LB_RESETCONTENT:
        TCustomListBox::WndProc(message);
        widths_.clear();
        maxWidth_ = 0;
        SendMessageW(handle_, WM_HSCROLL, SB_TOP, 0);
        SendExtent();
        return;
    default:
        break;
    }
    TCustomListBox::WndProc(message);
}

}  // namespace qrv
