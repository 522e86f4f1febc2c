#include "framework/win/ExtCtrls.h"
#include "framework/win/Handles.h"

namespace qrv {

// --- TPanel --------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 185, 41);
}

void TPanel::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TPanel";
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TPanel::SetBevelOuter(TPanelBevel bevel)
{
    bevelOuter_ = bevel;
    if (HandleAllocated()) {
        InvalidateRect(handle_, nullptr, TRUE);
        Realign();
    }
}

RECT TPanel::ClientRect()
{
    RECT r = TWinControl::ClientRect();
    if (bevelOuter_ != TPanelBevel::bvNone)
        InflateRect(&r, -1, -1);
    return r;
}

void TPanel::Paint(HDC dc)
{
    RECT r;
    GetClientRect(handle_, &r);
    if (bevelOuter_ != TPanelBevel::bvNone)
        DrawEdge(dc, &r, bevelOuter_ == TPanelBevel::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    if (!Caption().empty()) {
        const TSelectObject font(dc, Font().Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Font().Color()));
        DrawTextW(dc, Caption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

// --- TStatusBar ----------------------------------------------------------

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
}

void TStatusBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = STATUSCLASSNAMEW;
    params.SystemClass = true;
    // The control is placed by the parent's layout, not by itself.
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_BOTTOM;
}

void TStatusBar::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    FitHeightToFont();
    UpdatePanels();
}

void TStatusBar::FontChanged()
{
    if (!HandleAllocated())
        return;
    FitHeightToFont();
    InvalidateRect(handle_, nullptr, TRUE);
}

void TStatusBar::FitHeightToFont()
{
    // Take the height the control wants for its font.
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    TEXTMETRICW metrics{};
    {
        const TWindowDC dc(handle_);
        const TSelectObject select(dc.Get(), Font().Handle());
        GetTextMetricsW(dc.Get(), &metrics);
    }
    SetHeight(metrics.tmHeight + 7);
}

TStatusPanel& TStatusBar::AddPanel(int width, const std::wstring& text)
{
    panels_.push_back(TStatusPanel{text, width, TAlignment::taLeftJustify});
    UpdatePanels();
    return panels_.back();
}

void TStatusBar::SetPanelText(int index, const std::wstring& text)
{
    panels_.at(index).Text = text;
    if (HandleAllocated() && !simplePanel_)
        SendMessageW(handle_, SB_SETTEXTW, index, reinterpret_cast<LPARAM>(panels_[index].Text.c_str()));
}

void TStatusBar::UpdatePanels()
{
    if (!HandleAllocated())
        return;
    SendMessageW(handle_, SB_SIMPLE, simplePanel_, 0);
    if (simplePanel_) {
        SendMessageW(handle_, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
        return;
    }
    // Each part ends where the next begins; the last one takes the rest.
    std::vector<int> edges;
    int right = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        right += panels_[i].Width;
        edges.push_back(i + 1 == panels_.size() ? -1 : right);
    }
    if (edges.empty())
        edges.push_back(-1);
    SendMessageW(handle_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < panels_.size(); ++i)
        SendMessageW(handle_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(panels_[i].Text.c_str()));
}

void TStatusBar::SetSimplePanel(bool simple)
{
    simplePanel_ = simple;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::wstring& text)
{
    simpleText_ = text;
    if (HandleAllocated() && simplePanel_)
        SendMessageW(handle_, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

std::wstring TStatusBar::DisplayedText(int index)
{
    if (!HandleAllocated())
        return {};
    const int part = simplePanel_ ? SB_SIMPLEID : index;
    const LRESULT info = SendMessageW(handle_, SB_GETTEXTLENGTHW, part, 0);
    std::wstring text(LOWORD(info), L'\0');
    if (!text.empty()) {
        std::wstring buffer(text.size() + 1, L'\0');
        SendMessageW(handle_, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer.data()));
        text.assign(buffer.c_str());
    }
    return text;
}

}  // namespace qrv
