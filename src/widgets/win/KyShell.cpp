#include "widgets/win/KyShell.h"

#include <algorithm>

#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/UtilWindow.h"

namespace qrv {

namespace {
constexpr size_t kMaxTipLength = 63;
constexpr UINT_PTR kAnimationTimer = 1;
}  // namespace

TKyTrayIcon::TKyTrayIcon(TComponent* owner) : TComponent(owner)
{
    window_ = std::make_unique<TUtilWindow>([this](TMessage& message) {
        if (message.Msg == WM_TIMER && message.WParam == kAnimationTimer) {
            NextFrame();
            message.Result = 0;
            return true;
        }
        if (message.Msg != WM_TRAYNOTIFY)
            return false;
        try {
            message.Result = HandleMessage(message.Msg, message.WParam, message.LParam) ? 0 : 1;
        } catch (...) {
            if (Application)
                Application->HandleException(std::current_exception());
        }
        return true;
    });
    icons_.OnChange = [this](TComponent*) { UpdateIcon(); };
}

TKyTrayIcon::~TKyTrayIcon()
{
    icons_.OnChange = nullptr;
    animated_ = false;
    UpdateTimer();
    HideIcon();
}

void TKyTrayIcon::SetPopupMenu(TMenu* menu)
{
    if (popupMenu_)
        popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu)
        menu->FreeNotification(this);
}

void TKyTrayIcon::FreeNotified(TComponent* component)
{
    if (component == popupMenu_)
        popupMenu_ = nullptr;
}

HICON TKyTrayIcon::CurrentIcon() const
{
    if (animated_ && icons_.Count() > 0)
        return icons_.Icons(std::clamp(frame_, 0, icons_.Count() - 1));
    return icon_.Get();
}

void TKyTrayIcon::SetAnimated(bool animated)
{
    if (animated && icons_.Count() == 0)
        return;  // nothing to animate
    if (animated == animated_)
        return;
    animated_ = animated;
    frame_ = 0;
    UpdateTimer();
    UpdateIcon();
}

void TKyTrayIcon::SetInterval(unsigned interval)
{
    interval_ = std::max(interval, 1u);
    if (timerRunning_)
        SetTimer(window_->Handle(), kAnimationTimer, interval_, nullptr);  // the next frame comes after it
}

void TKyTrayIcon::UpdateTimer()
{
    const bool wanted = animated_ && added_;
    if (wanted && !timerRunning_)
        timerRunning_ = SetTimer(window_->Handle(), kAnimationTimer, interval_, nullptr) != 0;
    else if (!wanted && timerRunning_) {
        KillTimer(window_->Handle(), kAnimationTimer);
        timerRunning_ = false;
    }
}

void TKyTrayIcon::NextFrame()
{
    if (!animated_ || icons_.Count() == 0)
        return;
    frame_ = frame_ + 1 >= icons_.Count() ? 0 : frame_ + 1;
    UpdateIcon();
}

HWND TKyTrayIcon::WindowHandle() const
{
    return window_->Handle();
}

std::wstring TKyTrayIcon::Tip() const
{
    std::wstring tip = hint_.substr(0, hint_.find(L'|'));
    if (tip.size() > kMaxTipLength)
        tip.resize(kMaxTipLength);
    return tip;
}

NOTIFYICONDATAW TKyTrayIcon::Data() const
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_->Handle();
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = CurrentIcon();
    const std::wstring tip = Tip();
    lstrcpynW(data.szTip, tip.c_str(), static_cast<int>(std::size(data.szTip)));
    return data;
}

void TKyTrayIcon::SetActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (active_)
        ShowIcon();
    else
        HideIcon();
}

void TKyTrayIcon::SetHint(const std::wstring& hint)
{
    if (hint == hint_)
        return;
    hint_ = hint;
    UpdateIcon();
}

void TKyTrayIcon::SetIcon(HICON icon)
{
    icon_.Reset(icon ? CopyIcon(icon) : nullptr);
    UpdateIcon();
}

void TKyTrayIcon::ShowIcon()
{
    HideIcon();
    if (!CurrentIcon())
        return;
    NOTIFYICONDATAW data = Data();
    added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    UpdateTimer();
}

void TKyTrayIcon::HideIcon()
{
    if (added_) {
        NOTIFYICONDATAW data = Data();
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    added_ = false;
    leftPressed_ = rightPressed_ = false;
    UpdateTimer();
}

void TKyTrayIcon::UpdateIcon()
{
    if (icons_.Count() == 0 && animated_) {
        animated_ = false;
        UpdateTimer();
    }
    if (!added_) {
        if (active_)
            ShowIcon();
        return;
    }
    if (!CurrentIcon()) {
        HideIcon();
        return;
    }
    NOTIFYICONDATAW data = Data();
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TKyTrayIcon::Click(bool right)
{
    if (right && popupMenu_) {
        // The menu closes when the user clicks elsewhere only if its window
        // is in the foreground.
        HWND owner = Application && Application->MainForm() && Application->MainForm()->HandleAllocated()
                         ? Application->MainForm()->Handle()
                         : window_->Handle();
        SetForegroundWindow(owner);
        POINT cursor;
        GetCursorPos(&cursor);
        const UINT command =
            TrackPopupMenuEx(popupMenu_->Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, owner, nullptr);
        PostMessageW(owner, WM_NULL, 0, 0);
        if (command)
            popupMenu_->DispatchCommand(command);
        return;
    }
    if (OnClick)
        OnClick(this);
}

void TKyTrayIcon::DoubleClick()
{
    // The menu's first enabled default item stands for a double click.
    if (popupMenu_ && popupMenu_->Items()) {
        TMenuItem* items = popupMenu_->Items();
        for (int i = 0; i < items->Count(); ++i)
            if (TMenuItem* item = items->Items(i); item->Default() && item->Enabled()) {
                item->Click();
                return;
            }
    }
    if (OnDblClick)
        OnDblClick(this);
}

bool TKyTrayIcon::HandleMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM lParam)
{
    if (!Enabled)
        return false;
    TShortCut shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= scShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= scCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= scAlt;
    POINT at{};
    GetCursorPos(&at);
    const auto down = [&](TTrayButton button) {
        if (OnMouseDown)
            OnMouseDown(this, button, shift, at.x, at.y);
    };
    const auto up = [&](TTrayButton button) {
        if (OnMouseUp)
            OnMouseUp(this, button, shift, at.x, at.y);
    };
    const TTrayMessage meaning = ClassifyTrayMessage(static_cast<uint32_t>(lParam));
    bool& pressed = meaning.Button == TTrayButton::Right ? rightPressed_ : leftPressed_;
    switch (meaning.Action) {
    case TTrayAction::Move:
        if (OnMouseMove)
            OnMouseMove(this, shift, at.x, at.y);
        break;
    case TTrayAction::Down:
        if (meaning.Button != TTrayButton::Middle)
            pressed = true;
        down(meaning.Button);
        break;
    case TTrayAction::Up:
        if (meaning.Button != TTrayButton::Middle && pressed) {
            pressed = false;
            Click(meaning.Button == TTrayButton::Right);
        }
        up(meaning.Button);
        break;
    case TTrayAction::DoubleClick:
        if (meaning.Button == TTrayButton::Left)
            DoubleClick();
        down(meaning.Button);
        break;
    case TTrayAction::ContextMenu:
        rightPressed_ = true;
        down(TTrayButton::Right);
        rightPressed_ = false;
        Click(true);
        up(TTrayButton::Right);
        break;
    case TTrayAction::None:
        break;
    }
    return true;
}

}  // namespace qrv
