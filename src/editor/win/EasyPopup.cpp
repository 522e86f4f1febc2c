#include "editor/win/EasyPopup.h"

#include "framework/IgnoredError.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace qrv {

namespace {

TEasyPopup* g_popup = nullptr;

bool ModifierDown()
{
    return (GetKeyState(VK_SHIFT) | GetKeyState(VK_CONTROL) | GetKeyState(VK_MENU)) < 0;
}

TForm* HostFormOf(TWinControl* control)
{
    TWinControl* top = control;
    while (top && top->Parent())
        top = top->Parent();
    return dynamic_cast<TForm*>(top);
}

}  // namespace

// The host forms with open popups. Each is heard through a message listener
// while it has popups; the collection goes with its last item.
class TPopupHook {
public:
    explicit TPopupHook(TForm* form) : Form(form)
    {
        listener_ = form->AddMessageListener([this](TMessage& message) { return Heard(message); });
    }
    ~TPopupHook() { Form->RemoveMessageListener(listener_); }
    TPopupHook(const TPopupHook&) = delete;
    TPopupHook& operator=(const TPopupHook&) = delete;

    TForm* Form;
    std::vector<TEasyPopup*> Popups;

    bool IsPopup(HWND window) const
    {
        return std::any_of(Popups.begin(), Popups.end(), [window](TEasyPopup* popup) {
            return popup->HandleAllocated() && popup->Handle() == window;
        });
    }
    bool AnyVisible() const
    {
        return std::any_of(Popups.begin(), Popups.end(), [](TEasyPopup* popup) {
            return !popup->Closed() && popup->HandleAllocated() && IsWindowVisible(popup->Handle());
        });
    }
    void ShowPopups(bool show)
    {
        for (TEasyPopup* popup : Popups)
            if (!popup->Closed() && popup->HandleAllocated() && (IsWindowVisible(popup->Handle()) != FALSE) != show)
                ShowWindow(popup->Handle(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    // The form lost the activation to another window than its popups.
    void Deactivated(HWND activated)
    {
        if (IsPopup(activated))
            return;
        ShowPopups(false);
        if (captionActive_ && Form->HandleAllocated())
            PostMessageW(Form->Handle(), WM_NCACTIVATE, FALSE, 0);
    }

private:
    bool Heard(TMessage& message);

    int listener_ = 0;
    // Whether the form's caption is drawn active now.
    bool captionActive_ = true;
};

class TPopupHooks {
public:
    static TPopupHook* Find(TForm* form)
    {
        if (!instance_)
            return nullptr;
        for (const auto& hook : instance_->hooks_)
            if (hook->Form == form)
                return hook.get();
        return nullptr;
    }
    static void Add(TForm* form, TEasyPopup* popup)
    {
        if (!instance_)
            instance_ = std::make_unique<TPopupHooks>();
        TPopupHook* hook = Find(form);
        if (!hook)
            hook = instance_->hooks_.emplace_back(std::make_unique<TPopupHook>(form)).get();
        hook->Popups.push_back(popup);
    }
    static void Remove(TForm* form, TEasyPopup* popup)
    {
        TPopupHook* hook = Find(form);
        if (!hook)
            return;
        std::erase(hook->Popups, popup);
        if (!hook->Popups.empty())
            return;
        std::erase_if(instance_->hooks_, [hook](const auto& item) { return item.get() == hook; });
        if (instance_->hooks_.empty())
            instance_.reset();
    }

private:
    std::vector<std::unique_ptr<TPopupHook>> hooks_;
    static std::unique_ptr<TPopupHooks> instance_;
};

std::unique_ptr<TPopupHooks> TPopupHooks::instance_;

bool TPopupHook::Heard(TMessage& message)
{
    switch (message.Msg) {
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) != WA_INACTIVE)
            ShowPopups(true);
        else
            Deactivated(reinterpret_cast<HWND>(message.LParam));
        return false;
    case WM_NCACTIVATE:
        if (!message.WParam && AnyVisible()) {
            // The form's caption stays active while its popup is up.
            message.Result = TRUE;
            return true;
        }
        captionActive_ = message.WParam != 0;
        return false;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        if (GetActiveWindow() != Form->Handle())
            BringWindowToTop(Form->Handle());
        ReleaseCapture();
        UpdateWindow(Form->Handle());
        return false;
    case WM_SHOWWINDOW:
        ShowPopups(message.WParam && !IsIconic(Form->Handle()));
        return false;
    case WM_SIZE:
        if (message.WParam == SIZE_MINIMIZED)
            ShowPopups(false);
        else if (message.WParam == SIZE_RESTORED || message.WParam == SIZE_MAXIMIZED)
            ShowPopups(IsWindowVisible(Form->Handle()) != FALSE);
        return false;
    default:
        return false;
    }
}

// --- TEasyPopup --------------------------------------------------------------

TEasyPopup::TEasyPopup(TComponent* owner, bool sizeable) : TForm(owner), sizeable_(sizeable)
{
    SetBorderStyle(sizeable ? TFormBorderStyle::bsSizeToolWin : TFormBorderStyle::bsToolWindow);
    SetPosition(TPosition::poDesigned);
    SetVisible(false);
}

TEasyPopup::~TEasyPopup()
{
    if (g_popup == this)
        g_popup = nullptr;
    for (const auto& [control, id] : watched_)
        control->RemoveMessageListener(id);
    watched_.clear();
    GiveBack();
    if (host_)
        TPopupHooks::Remove(host_, this);
}

void TEasyPopup::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN | (sizeable_ ? WS_DLGFRAME | WS_THICKFRAME : WS_BORDER);
    params.ExStyle = (params.ExStyle & ~WS_EX_CLIENTEDGE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (host_)
        params.WndParent = host_->Handle();
}

void TEasyPopup::ListenForDestruction(TWinControl* control)
{
    if (!control)
        return;
    for (const auto& entry : watched_)
        if (entry.first == control)
            return;
    const int id = control->AddMessageListener([this, control](TMessage& message) {
        if (message.Msg != WM_DESTROY)
            return false;
        // The control goes: it is not told again, also when the popup closed
        // already and waits to be freed.
        std::erase_if(watched_, [control](const auto& entry) { return entry.first == control; });
        if (control == savedParent_)
            savedParent_ = nullptr;
        if (control == host_) {
            TPopupHooks::Remove(host_, this);
            host_ = nullptr;
        }
        if (!closed_)
            ClosePopup(false, true);
        return false;
    });
    watched_.emplace_back(control, id);
}

void TEasyPopup::Borrow(TCustomListBox* listBox, TWinControl* editor)
{
    host_ = HostFormOf(editor);
    listBox_ = listBox;
    savedParent_ = listBox->Parent();
    savedVisible_ = listBox->Visible();
    savedAlign_ = listBox->Align();
    savedBounds_ = listBox->BoundsRect();
    savedDblClick_ = listBox->OnDblClick;
    // The editor, the host form and the list box's own parent must outlive
    // the popup: it closes when one of them goes.
    ListenForDestruction(editor);
    ListenForDestruction(host_);
    ListenForDestruction(savedParent_);
    if (host_)
        TPopupHooks::Add(host_, this);

    if (listBox->HandleAllocated())
        SetClientSize(listBox->ClientWidth(), listBox->ClientHeight());
    else
        SetClientSize(listBox->Width(), listBox->Height());
    listBox->SetParent(this);
    listBox->SetAlign(TAlign::alClient);
    listBox->SetVisible(true);
    listBox->OnDblClick = [this](TComponent*) { ClosePopup(true, false); };
    keyListener_ = listBox->AddMessageListener([this](TMessage& message) {
        switch (message.Msg) {
        case WM_KEYDOWN:
            if (PopupKey(message.WParam)) {
                message.Result = 0;
                return true;
            }
            return false;
        case WM_GETDLGCODE:
            // The list box wants Enter and Escape itself.
            message.Result = DLGC_WANTALLKEYS;
            return true;
        case WM_DESTROY:
            // The list box goes while it is borrowed (or before a closed
            // popup is freed): it is not given back.
            if (listBox_) {
                listBox_->RemoveMessageListener(keyListener_);
                listBox_ = nullptr;
                if (!closed_)
                    ClosePopup(false, true);  // frees this popup
            }
            return false;
        default:
            return false;
        }
    });
}

void TEasyPopup::GiveBack()
{
    if (!listBox_)
        return;
    TCustomListBox* listBox = listBox_;
    listBox_ = nullptr;
    listBox->RemoveMessageListener(keyListener_);
    listBox->SetVisible(false);
    listBox->SetParent(savedParent_);
    listBox->SetAlign(savedAlign_);
    listBox->SetBounds(savedBounds_.left, savedBounds_.top, savedBounds_.right - savedBounds_.left,
                       savedBounds_.bottom - savedBounds_.top);
    listBox->SetVisible(savedVisible_);
    listBox->OnDblClick = savedDblClick_;
}

bool TEasyPopup::PopupKey(WPARAM key)
{
    if (ModifierDown() || (key != VK_RETURN && key != VK_ESCAPE))
        return false;
    ClosePopup(key == VK_RETURN, false);
    return true;
}

void TEasyPopup::ClosePopup(bool ok, bool freeNow)
{
    if (closed_ || g_popup != this)
        return;
    closed_ = true;
    ReleaseCapture();
    if (ok && OnChoose)
        OnChoose(listBox_);
    SetModalResult(ok ? mrOk : mrCancel);
    g_popup = nullptr;
    // The focus goes back where the list box came from, if it can take it,
    // before the popup hides: the window that had the focus is not hidden
    // under it.
    if (savedParent_ && savedParent_->HandleAllocated() && IsWindowVisible(savedParent_->Handle()) &&
        IsWindowEnabled(savedParent_->Handle())) {
        try {
            savedParent_->SetFocus();
        } catch (...) {
            TraceIgnoredException(L"focus back to the list's parent");
        }
    }
    if (HandleAllocated())
        ShowWindow(Handle(), SW_HIDE);
    // The form frees itself on this message: now, or after the current one.
    if (freeNow)
        SendMessageW(Handle(), WM_QRV_RELEASE, 0, 0);  // deletes this
    else
        PostMessageW(Handle(), WM_QRV_RELEASE, 0, 0);
}

void TEasyPopup::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_KEYDOWN:
        if (PopupKey(message.WParam))
            return;
        break;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) == WA_INACTIVE && !Destroying() && !closed_) {
            const HWND activated = reinterpret_cast<HWND>(message.LParam);
            const bool toHost =
                host_ && host_->HandleAllocated() && activated == host_->Handle() && IsWindowVisible(host_->Handle());
            if (!toHost)
                if (TPopupHook* hook = TPopupHooks::Find(host_))
                    hook->Deactivated(activated);
            ClosePopup(false, false);
        }
        break;
    case WM_WINDOWPOSCHANGING:
        if (sizeable_ && (reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags & SWP_HIDEWINDOW))
            ClosePopup(false, false);
        break;
    case WM_SYSCOMMAND:
        if ((message.WParam & 0xFFF0) == SC_KEYMENU) {
            message.Result = 0;
            return;
        }
        break;
    case WM_NCACTIVATE:
        // Never drawn inactive.
        message.WParam = TRUE;
        DefaultHandler(message);
        message.Result = TRUE;
        return;
    default:
        break;
    }
    TForm::WndProc(message);
}

// --- the process-wide popup ----------------------------------------------------

bool ShowPopupList(TCustomListBox* listBox, TWinControl* editor, int x, int y, TEasyPopupChoose onChoose, bool sizeable)
{
    if (g_popup || !listBox || !editor)
        return false;
    auto* popup = new TEasyPopup(nullptr, sizeable);  // frees itself when closed
    g_popup = popup;
    try {
        popup->OnChoose = std::move(onChoose);
        popup->Borrow(listBox, editor);
        POINT at{x, y};
        ClientToScreen(editor->Handle(), &at);
        popup->SetBounds(at.x, at.y, popup->Width(), popup->Height());
        popup->SetModalResult(mrNone);
        popup->Show();
        listBox->SetFocus();
    } catch (...) {
        popup->ClosePopup(false, true);
        throw;
    }
    return true;
}

void ClosePopupList(bool ok)
{
    if (g_popup)
        g_popup->ClosePopup(ok, true);
}

TEasyPopup* ActivePopup()
{
    return g_popup;
}

}  // namespace qrv
