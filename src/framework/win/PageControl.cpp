#include "framework/win/PageControl.h"

#include <commctrl.h>

namespace qrv {

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {}

void TTabSheet::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 289, 193);
}

void TPageControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WC_TABCONTROLW;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | TCS_TABS | TCS_MULTILINE;
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPageControl::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    int tab = 0;
    for (TTabSheet* page : pages_) {
        if (!page->tabVisible_)
            continue;
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        std::wstring caption = page->Caption();
        item.pszText = caption.data();
        SendMessageW(handle_, TCM_INSERTITEMW, tab++, reinterpret_cast<LPARAM>(&item));
    }
    if (active_ >= 0)
        SendMessageW(handle_, TCM_SETCURSEL, TabOfPage(active_), 0);
}

TTabSheet* TPageControl::AddPage(const std::wstring& caption, bool tabVisible)
{
    auto* page = new TTabSheet(this);
    page->SetCaption(caption);
    page->tabVisible_ = tabVisible;
    page->SetVisible(false);
    page->SetParent(this);
    pages_.push_back(page);
    if (tabVisible && HandleAllocated()) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        std::wstring text = caption;
        item.pszText = text.data();
        SendMessageW(handle_, TCM_INSERTITEMW, TabOfPage(PageCount() - 1), reinterpret_cast<LPARAM>(&item));
    }
    if (active_ < 0 && tabVisible)
        SetActivePageIndex(PageCount() - 1);
    return page;
}

void TPageControl::SetTabVisible(int index, bool visible)
{
    if (index < 0 || index >= PageCount())
        return;
    TTabSheet* page = pages_[static_cast<size_t>(index)];
    if (page->tabVisible_ == visible)
        return;
    if (!visible && HandleAllocated())
        SendMessageW(handle_, TCM_DELETEITEM, TabOfPage(index), 0);
    page->tabVisible_ = visible;
    if (visible && HandleAllocated()) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        std::wstring text = page->Caption();
        item.pszText = text.data();
        SendMessageW(handle_, TCM_INSERTITEMW, TabOfPage(index), reinterpret_cast<LPARAM>(&item));
    }
    if (!visible && active_ == index) {
        page->SetVisible(false);
        active_ = -1;
        for (int i = 0; i < PageCount(); ++i)
            if (pages_[static_cast<size_t>(i)]->tabVisible_) {
                SetActivePageIndex(i);
                break;
            }
    } else if (HandleAllocated() && active_ >= 0) {
        SendMessageW(handle_, TCM_SETCURSEL, TabOfPage(active_), 0);
    }
}

int TPageControl::TabOfPage(int page) const
{
    int tab = 0;
    for (int i = 0; i < page; ++i)
        if (pages_[static_cast<size_t>(i)]->tabVisible_)
            ++tab;
    return tab;
}

int TPageControl::PageOfTab(int tab) const
{
    for (int i = 0; i < PageCount(); ++i)
        if (pages_[static_cast<size_t>(i)]->tabVisible_ && tab-- == 0)
            return i;
    return -1;
}

void TPageControl::SetActivePageIndex(int index)
{
    if (index < 0 || index >= PageCount() || !pages_[static_cast<size_t>(index)]->tabVisible_)
        return;
    active_ = index;
    if (HandleAllocated())
        SendMessageW(handle_, TCM_SETCURSEL, TabOfPage(index), 0);
    ShowActive();
}

void TPageControl::SelectNextPage(bool forward)
{
    if (PageCount() == 0)
        return;
    int page = active_;
    for (int step = 0; step < PageCount(); ++step) {
        page = (page + (forward ? 1 : PageCount() - 1)) % PageCount();
        if (pages_[static_cast<size_t>(page)]->tabVisible_)
            break;
    }
    if (page == active_ || !pages_[static_cast<size_t>(page)]->tabVisible_)
        return;
    SetActivePageIndex(page);
    if (OnChange)
        OnChange(this);
}

void TPageControl::ShowActive()
{
    for (int i = 0; i < PageCount(); ++i)
        if (i != active_)
            pages_[static_cast<size_t>(i)]->SetVisible(false);
    if (TTabSheet* page = ActivePage()) {
        page->SetVisible(true);
        if (page->OnShow)
            page->OnShow(page);
    }
}

void TPageControl::Realign()
{
    RECT area{0, 0, Width(), Height()};
    if (HandleAllocated())
        SendMessageW(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    else
        area = RECT{4, 24, Width() - 4, Height() - 4};
    for (TTabSheet* page : pages_)
        page->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void TPageControl::WndProc(TMessage& message)
{
    if (message.Msg == CN_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
        if (header->code == TCN_SELCHANGE) {
            const int page = PageOfTab(static_cast<int>(SendMessageW(handle_, TCM_GETCURSEL, 0, 0)));
            if (page >= 0) {
                active_ = page;
                ShowActive();
                if (OnChange)
                    OnChange(this);
            }
            message.Result = 0;
            return;
        }
    }
    TWinControl::WndProc(message);
    if (message.Msg == WM_SIZE)
        Realign();
}

}  // namespace qrv
