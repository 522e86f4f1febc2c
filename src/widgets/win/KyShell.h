#pragma once
// TKyTrayIcon: an icon with a tip in the taskbar's notification area that
// reports clicks on it and pops up its menu on a right click.

#include "framework/Component.h"
#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <memory>
#include <string>

namespace qrv {

class TMenu;
class TUtilWindow;

class TKyTrayIcon : public TComponent {
public:
    // The message the shell sends to the icon's window about mouse actions.
    static constexpr UINT WM_TRAYNOTIFY = 0xB054;

    explicit TKyTrayIcon(TComponent* owner);
    ~TKyTrayIcon() override;  // removes the icon

    // Shows (true) or removes the icon. A new tray icon is inactive, so the
    // icon appears only when the program asks for it.
    bool Active() const { return active_; }
    void SetActive(bool active);
    void Hide() { SetActive(false); }
    // Mouse actions are reported while enabled.
    bool Enabled = true;
    // The tip is the text before "|", at most 63 characters; writing updates
    // the shown icon.
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint);
    std::wstring Tip() const;
    // A copy of the icon is kept; none shows nothing.
    HICON Icon() const { return icon_.Get(); }
    void SetIcon(HICON icon);
    // A popup menu shown on a right click; without one a right click is a click.
    TMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TMenu* menu) { popupMenu_ = menu; }

    // Whether the shell holds the icon now.
    bool IconAdded() const { return added_; }
    // The hidden window the shell reports to.
    HWND WindowHandle() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

private:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    NOTIFYICONDATAW Data() const;
    void ShowIcon();
    void HideIcon();
    void UpdateIcon();
    void Click(bool right);

    std::unique_ptr<TUtilWindow> window_;
    bool active_ = false;
    std::wstring hint_;
    TIconHandle icon_;
    TMenu* popupMenu_ = nullptr;
    bool added_ = false;
    bool leftPressed_ = false;
    bool rightPressed_ = false;
};

}  // namespace qrv
