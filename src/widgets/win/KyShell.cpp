#include "widgets/win/KyShell.h"

#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/UtilWindow.h"

namespace qrv {

namespace {
constexpr size_t kMaxTipLength = 63;
}

TKyTrayIcon::TKyTrayIcon(TComponent* owner) : TComponent(owner)
{
    window_ = std::make_unique<TUtilWindow>([this](TMessage& message) {
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
}

TKyTrayIcon::~TKyTrayIcon()
{
    HideIcon();
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
    data.hIcon = icon_.Get();
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
    if (!icon_)
        return;
    NOTIFYICONDATAW data = Data();
    added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void TKyTrayIcon::HideIcon()
{
    if (added_) {
        NOTIFYICONDATAW data = Data();
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    added_ = false;
    leftPressed_ = rightPressed_ = false;
}

void TKyTrayIcon::UpdateIcon()
{
    if (!added_) {
        if (active_)
            ShowIcon();
        return;
    }
    if (!icon_) {
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

bool TKyTrayIcon::HandleMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM lParam)
{
    if (!Enabled)
        return false;
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
        leftPressed_ = true;
        break;
    case WM_LBUTTONUP:
        if (leftPressed_) {
            leftPressed_ = false;
            Click(false);
        }
        break;
    case WM_LBUTTONDBLCLK:
        if (OnDblClick)
            OnDblClick(this);
        break;
    case WM_RBUTTONDOWN:
        rightPressed_ = true;
        break;
    case WM_CONTEXTMENU:
        rightPressed_ = true;
        [[fallthrough]];
    case WM_RBUTTONUP:
        if (rightPressed_) {
            rightPressed_ = false;
            Click(true);
        }
        break;
    default:
        break;
    }
    return true;
}

}  // namespace qrv
