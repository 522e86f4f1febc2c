#include "framework/win/CheckListBox.h"

#include "framework/SysUtils.h"
#include "framework/win/ImgList.h"

#include <windowsx.h>

namespace qrv {

namespace {
// The check box's room at the left of an item.
constexpr int kCheckMargin = 2;
}  // namespace

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) {}

TCheckListBox::TItemState TCheckListBox::StateOf(int index) const
{
    if (index < 0 || index >= static_cast<int>(states_.size()))
        return {};
    return states_[static_cast<size_t>(index)];
}

TCheckListBox::TItemState& TCheckListBox::EditState(int index)
{
    if (index < 0 || index >= Items().Count())
        throw EListError(L"Listenindex überschreitet das Maximum (" + IntToStr(index) + L")");
    if (static_cast<int>(states_.size()) <= index)
        states_.resize(static_cast<size_t>(index) + 1);
    return states_[static_cast<size_t>(index)];
}

bool TCheckListBox::Checked(int index) const
{
    return StateOf(index).Checked;
}

void TCheckListBox::SetChecked(int index, bool checked)
{
    EditState(index).Checked = checked;
    if (HandleAllocated()) {
        const RECT rect = ItemRect(index);
        InvalidateRect(Handle(), &rect, FALSE);
    }
}

bool TCheckListBox::ItemEnabled(int index) const
{
    return StateOf(index).Enabled;
}

void TCheckListBox::SetItemEnabled(int index, bool enabled)
{
    EditState(index).Enabled = enabled;
    if (HandleAllocated()) {
        const RECT rect = ItemRect(index);
        InvalidateRect(Handle(), &rect, FALSE);
    }
}

void TCheckListBox::SetImages(TImageList* images)
{
    images_ = images;
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

int TCheckListBox::ItemImage(int index) const
{
    return StateOf(index).Image;
}

void TCheckListBox::SetItemImage(int index, int image)
{
    EditState(index).Image = image;
    if (HandleAllocated()) {
        const RECT rect = ItemRect(index);
        InvalidateRect(Handle(), &rect, FALSE);
    }
}

bool TCheckListBox::ToggleByUser(int index)
{
    if (index < 0 || index >= Items().Count() || !ItemEnabled(index))
        return false;
    SetChecked(index, !Checked(index));
    if (OnClickCheck)
        OnClickCheck(this);
    return true;
}

RECT TCheckListBox::CheckRect(const RECT& item) const
{
    const int size = std::min<int>(item.bottom - item.top, 13 + 2 * kCheckMargin) - 2 * kCheckMargin;
    const int top = item.top + (item.bottom - item.top - size) / 2;
    return RECT{item.left + kCheckMargin, top, item.left + kCheckMargin + size, top + size};
}

void TCheckListBox::DrawItem(HDC dc, int index, const RECT& rect, UINT state)
{
    const bool selected = (state & ODS_SELECTED) != 0;
    const TItemState item = StateOf(index);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));
    RECT check = CheckRect(rect);
    DrawFrameControl(dc, &check, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (item.Checked ? DFCS_CHECKED : 0) |
                         (item.Enabled ? 0 : DFCS_INACTIVE));
    RECT text = rect;
    text.left = check.right + 2 * kCheckMargin;
    if (images_) {
        if (item.Image >= 0 && item.Image < images_->Count())
            images_->Draw(dc, text.left, rect.top + (rect.bottom - rect.top - images_->Height()) / 2, item.Image,
                          item.Enabled);
        text.left += images_->Width() + kCheckMargin;
    }
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(!item.Enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring& caption = Items().Get(index);
    ExtTextOutW(dc, text.left + 2, text.top, ETO_OPAQUE | ETO_CLIPPED, &text, caption.c_str(),
                static_cast<UINT>(caption.size()), nullptr);
}

void TCheckListBox::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        const LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, message.LParam);
        const int index = LOWORD(hit);
        if (HIWORD(hit) == 0 && index < Items().Count()) {
            const RECT check = CheckRect(ItemRect(index));
            if (at.x >= check.left - kCheckMargin && at.x < check.right + kCheckMargin)
                ToggleByUser(index);
        }
        break;
    }
    case WM_KEYDOWN:
        if (message.WParam == VK_SPACE) {
            ToggleByUser(ItemIndex());
            message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        // The space went to the check, not to the list's search by letter.
        if (message.WParam == L' ') {
            message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TCustomListBox::WndProc(message);
}

}  // namespace qrv
