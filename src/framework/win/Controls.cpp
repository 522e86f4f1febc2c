#include "framework/win/Controls.h"

#include "framework/SysUtils.h"
#include "framework/win/WindowProcedures.h"

#include <algorithm>
#include <set>

namespace qrv {

// --- TControl ------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>())
{
    font_->OnChange = [this] { FontChanged(); };
}

TControl::~TControl()
{
    if (parent_)
        parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_)
        return;
    if (parent_)
        parent_->RemoveControl(this);
    if (parent)
        parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    const bool changed = left != left_ || top != top_ || width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (!changed)
        return;
    BoundsChanged();
    if (align_ != TAlign::alNone)
        RequestAlign();
    if (OnResize)
        OnResize(this);
}

void TControl::SetAlign(TAlign align)
{
    if (align == align_)
        return;
    align_ = align;
    laidOut_ = false;
    RequestAlign();
}

void TControl::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    RequestAlign();
}

void TControl::SetEnabled(bool enabled)
{
    enabled_ = enabled;
}

void TControl::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
}

void TControl::SetColor(TColor color)
{
    color_ = color;
}

void TControl::RequestAlign()
{
    if (parent_)
        parent_->Realign();
}

// --- TWinControl ---------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    // Owned components go first, while this window still exists; children
    // owned by someone else are only unhooked.
    DestroyComponents();
    for (TControl* child : controls_)
        child->parent_ = nullptr;
    controls_.clear();
    DestroyWnd();
}

void (*TWinControl::WindowCreatedHook)() = nullptr;

TWinControl* TWinControl::FromHandle(HWND window)
{
    return WindowProcedures::ControlOf(window);
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.WinClassName = L"TQRVControl";
    params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    if (Parent()) {
        params.Style |= WS_CHILD;
        if (Visible())
            params.Style |= WS_VISIBLE;
    }
    if (!Enabled())
        params.Style |= WS_DISABLED;
}

HWND TWinControl::Handle()
{
    // The parent's window comes first, and making it makes the windows of
    // all its children, this one's included: only a control still without
    // a window after that makes its own. Making ours first would have the
    // parent make a second one, left behind unowned when the control goes.
    if (!handle_ && Parent())
        Parent()->HandleNeeded();
    if (!handle_)
        CreateWnd();
    return handle_;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if (Parent())
        params.WndParent = Parent()->Handle();
    CreateWindowHandle(params);
    if (!handle_)
        Win32Check(FALSE, L"Fenster kann nicht erstellt werden");
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    if (!caption_.empty() && !params.SystemClass)
        SetWindowTextW(handle_, caption_.c_str());
    for (TControl* child : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(child))
            windowed->HandleNeeded();
    Realign();
    if (WindowCreatedHook)
        WindowCreatedHook();
}

void TWinControl::CreateWindowHandle(const TCreateParams& params)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (params.SystemClass) {
        HWND window =
            CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), caption_.c_str(), params.Style, params.X,
                            params.Y, params.Width, params.Height, params.WndParent, params.Menu, instance, nullptr);
        if (window) {
            handle_ = window;
            subclassed_ = true;
            WindowProcedures::Subclass(window, this);
        }
        return;
    }
    WindowProcedures::RegisterClass(params.WinClassName, params.ClassStyle);
    // The window procedure stores handle_ when WM_NCCREATE arrives.
    CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), caption_.c_str(), params.Style, params.X, params.Y,
                    params.Width, params.Height, params.WndParent, params.Menu, instance, this);
}

void TWinControl::DetachWindow()
{
    if (!handle_)
        return;
    WindowProcedures::Detach(handle_, subclassed_);
    subclassed_ = false;
}

void TWinControl::DestroyWnd()
{
    if (!handle_)
        return;
    // The window is detached before it is destroyed, so its WM_DESTROY
    // would not reach the listeners: they hear it here.
    if (!listeners_.empty()) {
        TMessage destroy{WM_DESTROY, 0, 0, 0};
        NotifyListeners(destroy);
    }
    HWND window = handle_;
    DetachWindow();
    handle_ = nullptr;
    DestroyWindow(window);
}

void TWinControl::RecreateWnd()
{
    if (!handle_)
        return;
    DestroyWnd();
    HandleNeeded();
}

void TWinControl::InsertControl(TControl* control)
{
    controls_.push_back(control);
    control->parent_ = this;
    if (handle_)
        if (auto* windowed = dynamic_cast<TWinControl*>(control))
            windowed->HandleNeeded();
    Realign();
}

void TWinControl::RemoveControl(TControl* control)
{
    const auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end())
        return;
    controls_.erase(it);
    control->parent_ = nullptr;
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed->handle_ && handle_)
        windowed->DestroyWnd();
    if (!Destroying())
        Realign();
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
    if (handle_) {
        RECT current;
        GetWindowRect(handle_, &current);
        if (Parent() && Parent()->handle_)
            MapWindowPoints(nullptr, Parent()->handle_, reinterpret_cast<POINT*>(&current), 2);
        if (current.left != Left() || current.top != Top() || current.right - current.left != Width() ||
            current.bottom - current.top != Height())
            SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TWinControl::SetVisible(bool visible)
{
    TControl::SetVisible(visible);
    if (handle_)
        ShowWindow(handle_, visible ? (Parent() ? SW_SHOWNA : SW_SHOW) : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled)
{
    TControl::SetEnabled(enabled);
    if (handle_)
        EnableWindow(handle_, enabled);
}

void TWinControl::SetCaption(const std::wstring& caption)
{
    TControl::SetCaption(caption);
    if (handle_)
        SetWindowTextW(handle_, caption.c_str());
}

void TWinControl::SetColor(TColor color)
{
    TControl::SetColor(color);
    brush_.Reset();
    if (handle_)
        InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::FontChanged()
{
    if (handle_)
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
}

RECT TWinControl::ClientRect()
{
    RECT r{0, 0, Width(), Height()};
    if (handle_)
        GetClientRect(handle_, &r);
    return r;
}

void TWinControl::Realign()
{
    if (aligning_ || Destroying())
        return;
    aligning_ = true;
    RECT area = ClientRect();
    // Within one alignment, controls keep their order on screen (a splitter
    // placed right of a left-aligned panel stays right of it). Controls not
    // laid out yet go inside those that were, in the order they were added,
    // so a form built in code stacks its panes from the edge inwards.
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
    for (TAlign align : order) {
        std::vector<TControl*> group;
        for (TControl* child : controls_)
            if (child->Align() == align && child->Visible())
                group.push_back(child);
        std::stable_sort(group.begin(), group.end(), [align](TControl* a, TControl* b) {
            if (a->laidOut_ != b->laidOut_)
                return a->laidOut_;
            if (!a->laidOut_)
                return false;
            switch (align) {
            case TAlign::alTop:
                return a->Top() < b->Top();
            // By the near edge: a size set in code keeps Top and Left, so
            // growing a bottom or right control does not reorder it.
            case TAlign::alBottom:
                return a->Top() > b->Top();
            case TAlign::alLeft:
                return a->Left() < b->Left();
            case TAlign::alRight:
                return a->Left() > b->Left();
            default:
                return false;
            }
        });
        for (TControl* child : group) {
            child->laidOut_ = true;
            const int w = area.right - area.left;
            const int h = area.bottom - area.top;
            switch (align) {
            case TAlign::alTop:
                child->SetBounds(area.left, area.top, w, child->Height());
                area.top += child->Height();
                break;
            case TAlign::alBottom:
                child->SetBounds(area.left, area.bottom - child->Height(), w, child->Height());
                area.bottom -= child->Height();
                break;
            case TAlign::alLeft:
                child->SetBounds(area.left, area.top, child->Width(), h);
                area.left += child->Width();
                break;
            case TAlign::alRight:
                child->SetBounds(area.right - child->Width(), area.top, child->Width(), h);
                area.right -= child->Width();
                break;
            default:
                child->SetBounds(area.left, area.top, w, h);
                break;
            }
        }
    }
    aligning_ = false;
}

void TWinControl::SetFocus()
{
    ::SetFocus(Handle());
}

bool TWinControl::Focused()
{
    return handle_ && GetFocus() == handle_;
}

namespace {

// Offers to each visible, enabled windowed child in turn until one takes it;
// nothing runs after a taker, whose handler may have freed the container.
template <class Offer>
bool OfferToChildren(const std::vector<TControl*>& controls, Offer&& offer)
{
    for (TControl* control : std::vector<TControl*>(controls)) {
        auto* child = dynamic_cast<TWinControl*>(control);
        if (child && child->Visible() && child->Enabled() && offer(*child))
            return true;
    }
    return false;
}

}  // namespace

bool TWinControl::DialogKey(WORD key)
{
    return OfferToChildren(controls_, [key](TWinControl& child) { return child.DialogKey(key); });
}

bool TWinControl::DialogChar(wchar_t character)
{
    return OfferToChildren(controls_, [character](TWinControl& child) { return child.DialogChar(character); });
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    if (!listeners_.empty() && NotifyListeners(message))
        return message.Result;
    WndProc(message);
    return message.Result;
}

int TWinControl::AddMessageListener(TMessageListener listener)
{
    const int id = nextListener_++;
    listeners_.emplace_back(id, std::make_shared<TMessageListener>(std::move(listener)));
    return id;
}

void TWinControl::RemoveMessageListener(int id)
{
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

bool TWinControl::NotifyListeners(TMessage& message)
{
    // A listener may add or remove listeners: the ones present now are
    // asked, each only while it is still registered.
    const auto present = listeners_;
    for (const auto& [id, listener] : present) {
        const bool registered = std::any_of(listeners_.begin(), listeners_.end(),
                                            [id = id](const auto& entry) { return entry.first == id; });
        if (registered && (*listener)(message))
            return true;
    }
    return false;
}

void TWinControl::DefaultHandler(TMessage& message)
{
    if (!handle_)
        return;
    message.Result = subclassed_ ? WindowProcedures::CallOriginal(handle_, message.Msg, message.WParam, message.LParam)
                                 : DefWindowProcW(handle_, message.Msg, message.WParam, message.LParam);
}

void TWinControl::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_COMMAND:
        if (message.LParam)
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(message.LParam))) {
                message.Result = child->Perform(CN_COMMAND, message.WParam, message.LParam);
                return;
            }
        break;
    case WM_DRAWITEM: {
        // Owner-drawn controls draw their own items.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
        if (item->CtlType != ODT_MENU)
            if (TWinControl* child = FromHandle(item->hwndItem); child && child != this) {
                message.Result = child->Perform(CN_DRAWITEM, message.WParam, message.LParam);
                return;
            }
        break;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
        if (TWinControl* child = FromHandle(header->hwndFrom); child && child != this) {
            message.Result = child->Perform(CN_NOTIFY, message.WParam, message.LParam);
            return;
        }
        break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        // The event may change the focus again: the default handling of
        // this message comes first.
        DefaultHandler(message);
        if (const TNotifyEvent& event = message.Msg == WM_SETFOCUS ? OnEnter : OnExit)
            event(this);
        return;
    }
    case WM_ERASEBKGND:
        if (!subclassed_) {
            if (!brush_)
                brush_.Reset(CreateSolidBrush(ColorToRGB(Color())));
            RECT r;
            GetClientRect(handle_, &r);
            FillRect(reinterpret_cast<HDC>(message.WParam), &r, static_cast<HBRUSH>(brush_.Get()));
            message.Result = 1;
            return;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        // Keep the stored bounds equal to the window's, whoever moved it.
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
        DefaultHandler(message);
        if (!(pos->flags & SWP_NOSIZE) || !(pos->flags & SWP_NOMOVE)) {
            RECT r;
            GetWindowRect(handle_, &r);
            if (Parent() && Parent()->handle_)
                MapWindowPoints(nullptr, Parent()->handle_, reinterpret_cast<POINT*>(&r), 2);
            TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
            if (!(pos->flags & SWP_NOSIZE))
                Realign();
        }
        return;
    }
    default:
        break;
    }
    DefaultHandler(message);
}

void TCustomControl::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(handle_, &ps);
        Paint(dc);
        EndPaint(handle_, &ps);
        message.Result = 0;
        return;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(message.WParam));
        message.Result = 0;
        return;
    default:
        TWinControl::WndProc(message);
    }
}

void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_USEREX_CLASSES |
                                               ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
}

}  // namespace qrv
