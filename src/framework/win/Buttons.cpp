#include "framework/win/Buttons.h"

#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <algorithm>

namespace qrv {

SIZE MeasureText(HFONT font, const std::wstring& text)
{
    const TWindowDC dc(nullptr);
    const TSelectObject select(dc.Get(), font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// --- TLabel --------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 65, 13);
}

void TLabel::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"STATIC";
    params.SystemClass = true;
    params.Style |= SS_LEFT | (ShowAccelChar ? 0 : SS_NOPREFIX);
}

void TLabel::AutoSizeToCaption()
{
    const SIZE size = MeasureText(Font().Handle(), Caption());
    SetBounds(Left(), Top(), size.cx, size.cy);
}

// --- TButton -------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"BUTTON";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::SetDefault(bool value)
{
    default_ = value;
    if (HandleAllocated())
        SendMessageW(handle_, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click()
{
    if (ModalResult != 0) {
        // The form the button sits on takes the result and ends its modal loop.
        for (TWinControl* p = Parent(); p; p = p->Parent())
            if (auto* form = dynamic_cast<TForm*>(p)) {
                form->SetModalResult(ModalResult);
                break;
            }
    }
    if (OnClick)
        OnClick(this);
}

void TButton::WndProc(TMessage& message)
{
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        Click();
        return;
    }
    TWinControl::WndProc(message);
}

// --- TCheckBox -----------------------------------------------------------

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"BUTTON";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | (AllowGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX);
}

namespace {

WPARAM CheckMessageState(TCheckBoxState state)
{
    switch (state) {
    case TCheckBoxState::cbChecked:
        return BST_CHECKED;
    case TCheckBoxState::cbGrayed:
        return BST_INDETERMINATE;
    default:
        return BST_UNCHECKED;
    }
}

}  // namespace

void TCheckBox::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (handle_)
        SendMessageW(handle_, BM_SETCHECK, CheckMessageState(state_), 0);
}

bool TCheckBox::Checked()
{
    return State() == TCheckBoxState::cbChecked;
}

void TCheckBox::SetChecked(bool checked)
{
    SetState(checked ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
}

TCheckBoxState TCheckBox::State()
{
    if (HandleAllocated()) {
        const LRESULT check = SendMessageW(handle_, BM_GETCHECK, 0, 0);
        state_ = check == BST_CHECKED         ? TCheckBoxState::cbChecked
                 : check == BST_INDETERMINATE ? TCheckBoxState::cbGrayed
                                              : TCheckBoxState::cbUnchecked;
    }
    return state_;
}

void TCheckBox::SetState(TCheckBoxState state)
{
    state_ = state;
    if (HandleAllocated())
        SendMessageW(handle_, BM_SETCHECK, CheckMessageState(state), 0);
}

void TCheckBox::WndProc(TMessage& message)
{
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        State();
        if (OnClick)
            OnClick(this);
        return;
    }
    TWinControl::WndProc(message);
}

// --- TRadioButton --------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"BUTTON";
    params.SystemClass = true;
    params.Style |= BS_AUTORADIOBUTTON | (GroupStart ? WS_GROUP | WS_TABSTOP : 0);
}

void TRadioButton::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (handle_)
        SendMessageW(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TRadioButton::Checked()
{
    if (HandleAllocated())
        checked_ = SendMessageW(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return checked_;
}

void TRadioButton::SetChecked(bool checked)
{
    checked_ = checked;
    if (HandleAllocated())
        SendMessageW(handle_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (checked)
        UncheckGroupSiblings();
}

void TRadioButton::UncheckGroupSiblings()
{
    TWinControl* parent = Parent();
    if (!parent)
        return;
    // The group: from the last group start at or before this button up to
    // the next one.
    int first = -1;
    int self = -1;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* radio = dynamic_cast<TRadioButton*>(parent->Controls(i));
        if (!radio)
            continue;
        if (radio == this) {
            self = i;
            if (radio->GroupStart || first < 0)
                first = i;
            break;
        }
        if (radio->GroupStart || first < 0)
            first = i;
    }
    if (self < 0)
        return;
    for (int i = first; i < parent->ControlCount(); ++i) {
        auto* radio = dynamic_cast<TRadioButton*>(parent->Controls(i));
        if (!radio)
            continue;
        if (i > self && radio->GroupStart)
            break;
        if (radio != this && radio->checked_) {
            radio->checked_ = false;
            if (radio->HandleAllocated())
                SendMessageW(radio->handle_, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void TRadioButton::WndProc(TMessage& message)
{
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        if (Checked())
            UncheckGroupSiblings();
        if (OnClick)
            OnClick(this);
        return;
    }
    TWinControl::WndProc(message);
}

// --- TGroupBox -----------------------------------------------------------

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TGroupBox::Paint(HDC dc)
{
    RECT client{0, 0, Width(), Height()};
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const TSelectObject font(dc, Font().Handle());
    const SIZE text = MeasureText(Font().Handle(), Caption().empty() ? L"0" : Caption());
    RECT frame = client;
    frame.top = text.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty())
        return;
    RECT caption{8, 0, 8 + MeasureText(Font().Handle(), Caption()).cx + 4, text.cy};
    FillRect(dc, &caption, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    caption.left += 2;
    DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &caption, DT_SINGLELINE | DT_LEFT);
}

// --- TRadioGroup ---------------------------------------------------------

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner) {}

void TRadioGroup::SetItems(const std::vector<std::wstring>& items)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (i == buttons_.size()) {
            auto* button = new TRadioButton(this);
            button->GroupStart = i == 0;
            button->SetParent(this);
            const int index = static_cast<int>(i);
            button->OnClick = [this, index](TComponent*) { itemIndex_ = index; };
            buttons_.push_back(button);
        }
        buttons_[i]->SetCaption(items[i]);
    }
    Arrange();
    SetItemIndex(itemIndex_);
}

void TRadioGroup::Arrange()
{
    const int count = ItemCount();
    if (count == 0)
        return;
    // Below the caption, spread over the frame's height.
    const int top = 16;
    const int step = std::max((Height() - top - 4) / count, 17);
    for (int i = 0; i < count; ++i)
        buttons_[size_t(i)]->SetBounds(10, top + i * step, std::max(Width() - 16, 20), 17);
}

int TRadioGroup::ItemIndex()
{
    for (int i = 0; i < ItemCount(); ++i)
        if (buttons_[size_t(i)]->Checked())
            return itemIndex_ = i;
    return itemIndex_ = -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    itemIndex_ = index >= 0 && index < ItemCount() ? index : -1;
    for (int i = 0; i < ItemCount(); ++i)
        buttons_[size_t(i)]->SetChecked(i == itemIndex_);
}

}  // namespace qrv
