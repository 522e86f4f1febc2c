#include "framework/win/StdCtrls.h"

#include "framework/SysUtils.h"

#include <shellapi.h>

#include <algorithm>

namespace qrv {

// --- TEdit ---------------------------------------------------------------

TEdit::TEdit(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"EDIT";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | ES_AUTOHSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (readOnly_)
        params.Style |= ES_READONLY;
}

void TEdit::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (handle_)
        SendMessageW(handle_, EM_LIMITTEXT, maxLength_, 0);
}

void TEdit::DestroyWnd()
{
    if (HandleAllocated())
        caption_ = WindowText(handle_);
    TWinControl::DestroyWnd();
}

std::wstring TEdit::Text()
{
    return HandleAllocated() ? WindowText(handle_) : Caption();
}

void TEdit::SetText(const std::wstring& text)
{
    SetCaption(text);
}

void TEdit::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETREADONLY, readOnly, 0);
}

void TEdit::SetMaxLength(int maxLength)
{
    maxLength_ = std::max(0, maxLength);
    if (HandleAllocated())
        SendMessageW(handle_, EM_LIMITTEXT, maxLength_, 0);
}

void TEdit::WndProc(TMessage& message)
{
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        if (OnChange)
            OnChange(this);
        return;
    }
    TWinControl::WndProc(message);
}

// --- TComboBoxStrings ----------------------------------------------------

void TComboBoxStrings::PutObject(int index, void* object)
{
    CheckIndex(index);
    items_[index].object = object;
}

void TComboBoxStrings::Put(int index, const std::wstring& s)
{
    CheckIndex(index);
    // The control has no "replace": the item is taken out and put back,
    // keeping the choice on it.
    const int chosen = combo_.ItemIndex();
    items_[index].text = s;
    if (combo_.HandleAllocated()) {
        HWND window = combo_.handle_;
        SendMessageW(window, CB_DELETESTRING, index, 0);
        SendMessageW(window, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(s.c_str()));
        if (chosen == index)
            combo_.SetItemIndex(index);
    }
}

void TComboBoxStrings::Insert(int index, const std::wstring& s)
{
    InsertItem(index, s, combo_.HandleAllocated(), combo_.itemIndex_);
    if (combo_.HandleAllocated())
        SendMessageW(combo_.handle_, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(s.c_str()));
}

void TComboBoxStrings::Delete(int index)
{
    DeleteItem(index, combo_.HandleAllocated(), combo_.itemIndex_);
    if (combo_.HandleAllocated())
        SendMessageW(combo_.handle_, CB_DELETESTRING, index, 0);
}

void TComboBoxStrings::Clear()
{
    items_.clear();
    combo_.itemIndex_ = -1;
    if (combo_.HandleAllocated())
        SendMessageW(combo_.handle_, CB_RESETCONTENT, 0, 0);
}

void TComboBoxStrings::FillWindow(HWND window) const
{
    for (const Item& item : items_)
        SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text.c_str()));
}

// --- TComboBox -----------------------------------------------------------

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner), items_(*this)
{
    SetBounds(0, 0, 145, 21);
    SetColor(clWindow);
}

void TComboBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"COMBOBOX";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
                    (style_ == TComboBoxStyle::csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    // The window height given at creation is the height of the open list.
    params.Height = std::max(Height(), DroppedHeight());
}

void TComboBox::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    // The open list shows this many items whatever height the layout gives the box.
    SendMessageW(handle_, CB_SETMINVISIBLE, dropDownCount_, 0);
    items_.FillWindow(handle_);
    SendMessageW(handle_, CB_SETCURSEL, itemIndex_, 0);
    if (style_ == TComboBoxStyle::csDropDown && itemIndex_ < 0)
        SetWindowTextW(handle_, caption_.c_str());
    if (acceptFiles_)
        DragAcceptFiles(handle_, TRUE);
}

void TComboBox::SetAcceptFiles(bool accept)
{
    acceptFiles_ = accept;
    if (HandleAllocated())
        DragAcceptFiles(handle_, accept);
}

void TComboBox::DestroyWnd()
{
    if (HandleAllocated()) {
        itemIndex_ = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
        caption_ = WindowText(handle_);
    }
    TWinControl::DestroyWnd();
}

void TComboBox::SetStyle(TComboBoxStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    RecreateWnd();
}

int TComboBox::ItemIndex()
{
    if (HandleAllocated())
        return static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
    return itemIndex_;
}

void TComboBox::SetItemIndex(int index)
{
    if (index < -1 || index >= items_.Count())
        index = -1;
    itemIndex_ = index;
    if (index >= 0)
        caption_ = items_.Get(index);
    if (!HandleAllocated())
        return;
    // Wine's box leaves its edit field alone on a new selection unless the
    // field was edited since: the item's text goes there first (the box may
    // choose an item by it), the selection then settles on the index.
    if (style_ == TComboBoxStyle::csDropDown && index >= 0)
        SetWindowTextW(handle_, caption_.c_str());
    SendMessageW(handle_, CB_SETCURSEL, index, 0);
}

std::wstring TComboBox::Text()
{
    if (HandleAllocated())
        return WindowText(handle_);
    if (style_ == TComboBoxStyle::csDropDownList)
        return itemIndex_ >= 0 ? items_.Get(itemIndex_) : std::wstring();
    return Caption();
}

void TComboBox::SetText(const std::wstring& text)
{
    if (style_ == TComboBoxStyle::csDropDownList) {
        SetItemIndex(items_.IndexOf(text));
        return;
    }
    // The edit text stands on its own: no item is chosen by it.
    itemIndex_ = -1;
    if (HandleAllocated())
        SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetCaption(text);
}

void TComboBox::SetDropDownCount(int count)
{
    dropDownCount_ = std::max(1, count);
    if (HandleAllocated())
        SendMessageW(handle_, CB_SETMINVISIBLE, dropDownCount_, 0);
}

int TComboBox::DroppedHeight() const
{
    return 24 + dropDownCount_ * 16;
}

bool TComboBox::DialogKey(WORD key)
{
    if (!HandleAllocated())
        return false;
    const HWND focus = GetFocus();
    if (!focus || (focus != handle_ && !IsChild(handle_, focus)))
        return false;
    const TNotifyEvent& event = key == VK_RETURN ? OnEnterKey : key == VK_ESCAPE ? OnEscapeKey : TNotifyEvent();
    if (!event)
        return false;
    event(this);
    return true;
}

void TComboBox::WndProc(TMessage& message)
{
    if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) {
        // The box hands its focus on to its edit field: the notifications
        // below tell when the focus enters and leaves the box as a whole.
        DefaultHandler(message);
        return;
    }
    if (message.Msg == WM_CTLCOLOREDIT || message.Msg == WM_CTLCOLORLISTBOX) {
        // The edit and list inside the box ask their background of the box.
        const COLORREF rgb = ColorToRGB(Color());
        if (!background_ || backgroundRgb_ != rgb) {
            background_.Reset(CreateSolidBrush(rgb));
            backgroundRgb_ = rgb;
        }
        const auto dc = reinterpret_cast<HDC>(message.WParam);
        SetBkColor(dc, rgb);
        SetTextColor(dc, ColorToRGB(Font().Color()));
        message.Result = reinterpret_cast<LRESULT>(background_.Get());
        return;
    }
    if (message.Msg == WM_DROPFILES) {
        auto drop = reinterpret_cast<HDROP>(message.WParam);
        std::vector<std::wstring> names;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring name(length + 1, L'\0');
            DragQueryFileW(drop, i, name.data(), length + 1);
            name.resize(length);
            names.push_back(std::move(name));
        }
        DragFinish(drop);
        message.Result = 0;
        if (acceptFiles_ && !names.empty() && OnDropFiles)
            OnDropFiles(this, names);
        return;
    }
    if (message.Msg == CN_COMMAND) {
        switch (HIWORD(message.WParam)) {
        case CBN_EDITCHANGE:
            if (OnChange)
                OnChange(this);
            return;
        case CBN_SELCHANGE:
            if (OnSelect)
                OnSelect(this);
            else if (OnChange)
                OnChange(this);
            return;
        case CBN_SELENDOK:
        case CBN_SELENDCANCEL:
            closedOnChoice_ = HIWORD(message.WParam) == CBN_SELENDOK;
            break;
        case CBN_DROPDOWN:
            closedOnChoice_ = false;
            if (OnDropDown)
                OnDropDown(this);
            return;
        case CBN_CLOSEUP:
            if (OnCloseUp)
                OnCloseUp(this);
            return;
        case CBN_SETFOCUS:
            if (OnEnter)
                OnEnter(this);
            return;
        case CBN_KILLFOCUS:
            if (OnExit)
                OnExit(this);
            return;
        default:
            break;
        }
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv
