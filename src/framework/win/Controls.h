#pragma once
// Controls: TControl (bounds, parent, alignment, visibility, caption, colour,
// font) and TWinControl (a window with one window procedure that dispatches to
// the virtual WndProc, and the children laid out by their Align).

#include "framework/Component.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Messages that a parent reflects to the child control that sent them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;

// Private messages of the framework, above the range the program uses.
constexpr UINT WM_QRV_RELEASE = WM_APP + 0x3F00;      // free a form after its message
constexpr UINT WM_QRV_SYNCHRONIZE = WM_APP + 0x3F01;  // run a call on the UI thread

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TWinControl;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    const std::wstring& Caption() const { return caption_; }
    virtual void SetCaption(const std::wstring& caption);
    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);
    TFont& Font() { return *font_; }
    const TFont& Font() const { return *font_; }
    const std::wstring& Hint() const { return hint_; }
    void SetHint(std::wstring hint) { hint_ = std::move(hint); }

    TNotifyEvent OnClick;
    TNotifyEvent OnResize;

protected:
    virtual void FontChanged() {}
    virtual void BoundsChanged() {}
    // Asks the parent to lay out its children again.
    void RequestAlign();
    std::wstring caption_;

private:
    friend class TWinControl;
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool laidOut_ = false;  // placed by its parent's alignment at least once
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    std::unique_ptr<TFont> font_;
    std::wstring hint_;
};

struct TCreateParams {
    std::wstring WinClassName;  // our own class, or a system class to subclass
    bool SystemClass = false;   // true for common controls
    DWORD Style = 0;
    DWORD ExStyle = 0;
    UINT ClassStyle = CS_DBLCLKS;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    HMENU Menu = nullptr;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window, created on first use (the parent's window first).
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys the window; it is created again on next use.
    void RecreateWnd();

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(index); }

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetCaption(const std::wstring& caption) override;
    void SetColor(TColor color) override;

    // The area children are laid out in, in client coordinates.
    virtual RECT ClientRect();
    int ClientWidth()
    {
        const RECT r = ClientRect();
        return r.right - r.left;
    }
    int ClientHeight()
    {
        const RECT r = ClientRect();
        return r.bottom - r.top;
    }
    // Lays out the aligned children: top, bottom, left, right, then client.
    // Containers that place their children themselves (docks, toolbars) override it.
    virtual void Realign();

    void SetFocus();
    bool Focused();
    // The window got or lost the keyboard focus.
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Keys a form offers its controls when the focused window does not want
    // them: Enter and Esc (DialogKey) and Alt+letter (DialogChar, the
    // accelerators of captions). The first visible, enabled control that
    // answers true has taken it; a container offers it to its children.
    virtual bool DialogKey(WORD key);
    virtual bool DialogChar(wchar_t character);

    // Another object's look at every message before WndProc: a listener
    // that returns true has answered it (Result set) and WndProc is skipped.
    // Listeners also hear WM_DESTROY when the window goes with its control.
    using TMessageListener = std::function<bool(TMessage& message)>;
    int AddMessageListener(TMessageListener listener);
    void RemoveMessageListener(int id);

    // The control that owns a window, or nullptr when it is none of ours.
    static TWinControl* FromHandle(HWND window);
    // While set, called each time one of our controls' windows has been made
    // (on the user-interface thread): a form that makes many windows at once
    // can do something between them.
    static void (*WindowCreatedHook)();

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    // Called after the window exists; controls send their initial state here.
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    // The one handler of every message of this control's window.
    virtual void WndProc(TMessage& message);
    // What happens when WndProc does not handle a message.
    void DefaultHandler(TMessage& message);
    void FontChanged() override;

    HWND handle_ = nullptr;

private:
    friend class TControl;
    friend struct WindowProcedures;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void UpdateChildWindowBounds(TControl* control);
    void DetachWindow();

    // True when a listener answered the message.
    bool NotifyListeners(TMessage& message);

    std::vector<TControl*> controls_;
    std::vector<std::pair<int, std::shared_ptr<TMessageListener>>> listeners_;
    int nextListener_ = 1;
    bool subclassed_ = false;
    bool aligning_ = false;
    TGdiObject brush_;  // the background brush of the colour, made on first use
};

// A control that paints itself: WM_PAINT and WM_PRINTCLIENT go to Paint.
class TCustomControl : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    virtual void Paint(HDC dc) = 0;
    void WndProc(TMessage& message) override;
};

// Registers the common controls; called once by the application object.
void InitCommonControlClasses();

}  // namespace qrv
