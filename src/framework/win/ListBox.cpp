#include "framework/win/ListBox.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

// --- TListBoxStrings -------------------------------------------------------

void TListBoxStrings::PutObject(int index, void* object)
{
    CheckIndex(index);
    items_[index].object = object;
    if (listBox_.HandleAllocated())
        InvalidateRect(listBox_.handle_, nullptr, TRUE);
}

void TListBoxStrings::Put(int index, const std::wstring& s)
{
    CheckIndex(index);
    items_[index].text = s;
    if (listBox_.HandleAllocated())
        InvalidateRect(listBox_.handle_, nullptr, TRUE);
}

void TListBoxStrings::Insert(int index, const std::wstring& s)
{
    InsertItem(index, s, listBox_.HandleAllocated(), listBox_.itemIndex_);
    // The window keeps only the count: an owner-drawn item reads its text here.
    if (listBox_.HandleAllocated())
        SendMessageW(listBox_.handle_, LB_INSERTSTRING, index, 0);
}

void TListBoxStrings::Delete(int index)
{
    DeleteItem(index, listBox_.HandleAllocated(), listBox_.itemIndex_);
    if (listBox_.HandleAllocated())
        SendMessageW(listBox_.handle_, LB_DELETESTRING, index, 0);
}

void TListBoxStrings::Clear()
{
    items_.clear();
    listBox_.itemIndex_ = -1;
    if (listBox_.HandleAllocated())
        SendMessageW(listBox_.handle_, LB_RESETCONTENT, 0, 0);
}

void TListBoxStrings::FillWindow(HWND window) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        SendMessageW(window, LB_ADDSTRING, 0, 0);
}

// --- TCustomListBox ----------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner), items_(*this)
{
    SetBounds(0, 0, 121, 97);
    SetColor(clWindow);
}

void TCustomListBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"LISTBOX";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT;
    if (border_)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    SendMessageW(handle_, LB_SETITEMHEIGHT, 0, ItemHeight());
    items_.FillWindow(handle_);
    SendMessageW(handle_, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

void TCustomListBox::DestroyWnd()
{
    if (HandleAllocated())
        itemIndex_ = static_cast<int>(SendMessageW(handle_, LB_GETCURSEL, 0, 0));
    TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex()
{
    if (HandleAllocated())
        return static_cast<int>(SendMessageW(handle_, LB_GETCURSEL, 0, 0));
    return itemIndex_;
}

void TCustomListBox::SetItemIndex(int index)
{
    if (index < -1 || index >= items_.Count())
        index = -1;
    itemIndex_ = index;
    if (HandleAllocated())
        SendMessageW(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::SetItemHeight(int height)
{
    itemHeight_ = std::max(1, height);
    ItemHeightChanged();
}

void TCustomListBox::ItemHeightChanged()
{
    if (HandleAllocated()) {
        SendMessageW(handle_, LB_SETITEMHEIGHT, 0, ItemHeight());
        InvalidateRect(handle_, nullptr, TRUE);
    }
}

void TCustomListBox::SetBorderVisible(bool visible)
{
    if (visible == border_)
        return;
    border_ = visible;
    RecreateWnd();
}

RECT TCustomListBox::ItemRect(int index)
{
    RECT rect{};
    SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void TCustomListBox::DrawItem(HDC dc, int index, const RECT& rect, UINT state)
{
    const bool selected = (state & ODS_SELECTED) != 0;
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring& text = items_.Get(index);
    ExtTextOutW(dc, rect.left + 2, rect.top, ETO_OPAQUE | ETO_CLIPPED, &rect, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
}

void TCustomListBox::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case CN_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
        if (item->itemID != static_cast<UINT>(-1) && static_cast<int>(item->itemID) < items_.Count()) {
            const int saved = SaveDC(item->hDC);
            DrawItem(item->hDC, static_cast<int>(item->itemID), item->rcItem, item->itemState);
            RestoreDC(item->hDC, saved);
            if (item->itemState & ODS_FOCUS)
                DrawFocusRect(item->hDC, &item->rcItem);
        }
        message.Result = TRUE;
        return;
    }
    case CN_COMMAND:
        if (HIWORD(message.WParam) == LBN_SELCHANGE && OnClick) {
            OnClick(this);
            return;
        }
        if (HIWORD(message.WParam) == LBN_DBLCLK && OnDblClick) {
            OnDblClick(this);
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv
