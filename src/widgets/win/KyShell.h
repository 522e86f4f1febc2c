#pragma once
// TKyTrayIcon: an icon with a tip in the taskbar's notification area that
// reports mouse actions on it, pops up its menu on a right click, runs the
// menu's default item on a double click and can animate through the icons
// of an icon list (on a timer of its hidden window, so the icons change on
// the thread that owns them).

#include "framework/Component.h"
#include "framework/win/Handles.h"
#include "framework/ShortCuts.h"
#include "framework/win/WinApi.h"
#include "widgets/TrayMessages.h"
#include "widgets/win/IcoList.h"

#include <functional>

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
    void SetPopupMenu(TMenu* menu);

    // The frames of the animation.
    TIconList& Icons() { return icons_; }
    // True takes effect only while Icons has icons.
    bool Animated() const { return animated_; }
    void SetAnimated(bool animated);
    // Milliseconds per frame (default 150).
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);
    // The frame shown while animating (-1 before the first).
    int FrameIndex() const { return frame_; }
    // The icon shown now: Icon, or the current frame while animating.
    HICON CurrentIcon() const;

    // Whether the shell holds the icon now.
    bool IconAdded() const { return added_; }
    // The hidden window the shell reports to.
    HWND WindowHandle() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    // X and Y are the cursor's screen position.
    std::function<void(TComponent* Sender, TTrayButton Button, TShortCut Shift, int X, int Y)> OnMouseDown;
    std::function<void(TComponent* Sender, TTrayButton Button, TShortCut Shift, int X, int Y)> OnMouseUp;
    std::function<void(TComponent* Sender, TShortCut Shift, int X, int Y)> OnMouseMove;

protected:
    void FreeNotified(TComponent* component) override;

private:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    NOTIFYICONDATAW Data() const;
    void ShowIcon();
    void HideIcon();
    void UpdateIcon();
    void Click(bool right);
    void DoubleClick();
    void UpdateTimer();
    void NextFrame();

    std::unique_ptr<TUtilWindow> window_;
    bool active_ = false;
    std::wstring hint_;
    TIconHandle icon_;
    TMenu* popupMenu_ = nullptr;
    bool added_ = false;
    bool leftPressed_ = false;
    bool rightPressed_ = false;
    TIconList icons_;
    bool animated_ = false;
    unsigned interval_ = 150;
    int frame_ = -1;
    bool timerRunning_ = false;
};

}  // namespace qrv
