#include "framework/win/Forms.h"

#include "framework/Encoding.h"
#include "framework/SysUtils.h"
#include "framework/TimingTrace.h"
#include "framework/win/ActnList.h"
#include "framework/win/AltKey.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/Buttons.h"
#include "framework/win/Dialogs.h"
#include "framework/win/Menus.h"
#include "framework/win/Threads.h"
#include "framework/win/WindowProcedures.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace qrv {

namespace {

// A message whose handling keeps the thread longer than this is named in
// the timing trace: meanwhile nothing sent to the program's windows is answered.
constexpr std::chrono::milliseconds kSlowMessage{15};

void TraceSlowMessage(const MSG& msg, std::chrono::steady_clock::duration took)
{
    if (took < kSlowMessage)
        return;
    wchar_t className[64] = L"";
    GetClassNameW(msg.hwnd, className, 64);
    wchar_t line[160];
    std::swprintf(line, 160, L"slow message 0x%04X to %ls: %.3f ms", msg.message, className,
                  std::chrono::duration<double, std::milli>(took).count());
    TraceTiming(line);
}

}  // namespace

TApplication* Application = nullptr;

// --- TForm ---------------------------------------------------------------

TForm::TForm(TComponent* owner) : TWinControl(owner)
{
    SetVisible(false);
    SetBounds(0, 0, 640, 480);
}

TForm::~TForm()
{
    if (OnDestroy)
        OnDestroy(this);
    if (Application && Application->MainForm() == this && !Application->Terminated())
        Application->Terminate();
}

void TForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WindowClassName();
    params.Style = WS_CLIPCHILDREN;
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
        params.Style |= WS_POPUP;
        break;
    case TFormBorderStyle::bsSingle:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        break;
    case TFormBorderStyle::bsSizeable:
        params.Style |= WS_OVERLAPPEDWINDOW;
        break;
    case TFormBorderStyle::bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case TFormBorderStyle::bsToolWindow:
        params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case TFormBorderStyle::bsSizeToolWin:
        params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (!Enabled())
        params.Style |= WS_DISABLED;
    // Secondary forms are owned by the main form, so they stay above it.
    if (Application && Application->MainForm() && Application->MainForm() != this &&
        Application->MainForm()->HandleAllocated())
        params.WndParent = Application->MainForm()->Handle();
    if (position_ == TPosition::poDefault || position_ == TPosition::poDefaultPosOnly) {
        params.X = CW_USEDEFAULT;
        params.Y = CW_USEDEFAULT;
    }
    if (position_ == TPosition::poDefault) {
        params.Width = CW_USEDEFAULT;
        params.Height = CW_USEDEFAULT;
    }
    if (menu_)
        params.Menu = menu_->Handle();
}

void TForm::SetMenu(TMainMenu* menu)
{
    menu_ = menu;
    if (HandleAllocated()) {
        ::SetMenu(handle_, menu ? menu->Handle() : nullptr);
        DrawMenuBar(handle_);
    }
    if (menu)
        menu->SetWindow(this);
}

void TForm::PlaceOnScreen()
{
    if (placed_)
        return;
    placed_ = true;
    if (position_ != TPosition::poScreenCenter && position_ != TPosition::poOwnerFormCenter)
        return;
    RECT area{};
    TForm* ownerForm = Application ? Application->MainForm() : nullptr;
    if (position_ == TPosition::poOwnerFormCenter && ownerForm && ownerForm != this && ownerForm->HandleAllocated()) {
        GetWindowRect(ownerForm->Handle(), &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    SetBounds(area.left + (area.right - area.left - Width()) / 2, area.top + (area.bottom - area.top - Height()) / 2,
              Width(), Height());
}

void TForm::SetClientSize(int width, int height)
{
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, GetWindowLongW(Handle(), GWL_STYLE), GetMenu(Handle()) != nullptr,
                       GetWindowLongW(Handle(), GWL_EXSTYLE));
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::Show()
{
    HandleNeeded();
    PlaceOnScreen();
    SetVisible(true);
    SetForegroundWindow(handle_);
}

void TForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close()
{
    if (modal_) {
        if (CloseQuery())
            SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    const bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    if (isMain) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case TCloseAction::caHide:
        Hide();
        break;
    case TCloseAction::caMinimize:
        ShowWindow(Handle(), SW_MINIMIZE);
        break;
    case TCloseAction::caFree:
        // Freed from the message loop, after the message that closed it.
        Hide();
        PostMessageW(Handle(), WM_QRV_RELEASE, 0, 0);
        break;
    default:
        break;
    }
}

void TForm::SetModalResult(int result)
{
    modalResult_ = result;
    // The result may be set while a message sent from another thread is
    // handled inside WaitMessage, which then goes on waiting: wake the loop.
    if (modal_ && HandleAllocated())
        PostMessageW(Handle(), WM_NULL, 0, 0);
}

int TForm::ShowModal()
{
    if (Visible() || modal_)
        throw EInvalidOperation(L"Aus einem sichtbaren Fenster kann kein modales gemacht werden");
    // Every other window of this thread is disabled while the form is up.
    std::vector<HWND> disabled;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (IsWindowVisible(window) && IsWindowEnabled(window))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    HWND previousActive = GetActiveWindow();
    for (HWND window : disabled)
        EnableWindow(window, FALSE);
    modal_ = true;
    modalResult_ = mrNone;
    try {
        Show();
        while (modalResult_ == mrNone && !Application->Terminated())
            Application->HandleMessage();
    } catch (...) {
        modal_ = false;
        for (HWND window : disabled)
            EnableWindow(window, TRUE);
        throw;
    }
    modal_ = false;
    for (HWND window : disabled)
        EnableWindow(window, TRUE);
    Hide();
    if (previousActive)
        SetActiveWindow(previousActive);
    return modalResult_;
}

void TForm::ClickDialogButton(bool defaultButton)
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* button = dynamic_cast<TButton*>(Controls(i)))
            if (defaultButton ? button->Default() : button->Cancel) {
                button->Click();
                return;
            }
    if (!defaultButton && modal_)
        SetModalResult(mrCancel);
}

void TForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case WM_COMMAND:
        if (message.LParam == 0 && HIWORD(message.WParam) == 0) {
            if (menu_ && menu_->DispatchCommand(LOWORD(message.WParam)))
                return;
            // Enter and Esc in a dialog arrive as IDOK and IDCANCEL.
            const WORD id = LOWORD(message.WParam);
            if (id == IDOK || id == IDCANCEL) {
                ClickDialogButton(id == IDOK);
                return;
            }
        }
        break;
    case WM_INITMENUPOPUP:
        if (menu_)
            menu_->DispatchPopup(reinterpret_cast<HMENU>(message.WParam));
        break;
    case WM_SHOWWINDOW:
        if (message.WParam)
            DoShow();
        else
            DoHide();
        break;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) != WA_INACTIVE) {
            if (OnActivate)
                OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        break;
    case WM_QRV_RELEASE:
        delete this;  // a form closed with caFree is freed here, as its owner would
        return;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

bool TForm::PreviewKey(const MSG& msg)
{
    // While a modal box of its own is up the form sees no keys.
    if (!KeyPreview || !Enabled() || !HandleAllocated() || !IsWindowEnabled(Handle()))
        return false;
    if (msg.message == WM_CHAR) {
        if (!OnKeyPress)
            return false;
        auto character = static_cast<wchar_t>(msg.wParam);
        OnKeyPress(this, character);
        return character == 0;
    }
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    const TKeyEvent& handler = down ? OnKeyDown : OnKeyUp;
    if (!handler)
        return false;
    const TShortCut shortCut = ShortCutFromKey(static_cast<WORD>(msg.wParam));
    auto key = static_cast<uint16_t>(msg.wParam);
    handler(this, key, static_cast<TShortCut>(shortCut & (scShift | scCtrl | scAlt)));
    return key == 0;
}

// --- TApplication --------------------------------------------------------

namespace {
void ApplicationExceptionHandler(std::exception_ptr error)
{
    if (Application)
        Application->HandleException(error);
}
}  // namespace

TApplication::TApplication() : TComponent(nullptr)
{
    if (Application)
        throw EInvalidOperation(L"Es gibt bereits ein Anwendungsobjekt");
    Application = this;
    SetWindowExceptionHandler(ApplicationExceptionHandler);
    StartThreadSynchronization();
}

TApplication::~TApplication()
{
    DestroyComponents();  // the forms, while the framework still stands
    StopThreadSynchronization();
    SetWindowExceptionHandler(nullptr);
    Application = nullptr;
}

void TApplication::Initialize()
{
    InitCommonControlClasses();
    InstallAnsiCodePageEncoding();
}

void TApplication::Run()
{
    if (mainForm_ && ShowMainForm)
        mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

bool TApplication::IsShortCut(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
    if (!form)
        return false;
    const TShortCut shortCut = ShortCutFromKey(static_cast<WORD>(msg.wParam));
    // The form's actions come before the focused control and the menu.
    if (TActionList::HandleShortCut(*form, shortCut))
        return true;
    return form->Menu() && form->Menu()->IsShortCut(shortCut);
}

bool TApplication::IsPreviewKey(const MSG& msg)
{
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
        break;
    default:
        return false;
    }
    // A floating tool window is owned (through a hidden window) by the form
    // whose controls it holds: its keys are that form's too. A window of the
    // system's (a message box, a common dialog) keeps its keys.
    for (HWND window = GetAncestor(msg.hwnd, GA_ROOT); window; window = GetWindow(window, GW_OWNER)) {
        TWinControl* control = TWinControl::FromHandle(window);
        if (!control)
            return false;
        if (auto* form = dynamic_cast<TForm*>(control))
            return form->PreviewKey(msg);
    }
    return false;
}

bool TApplication::IsDialogKey(const MSG& msg)
{
    const bool enterOrEscape = msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) &&
                               GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
    const bool accelerator = msg.message == WM_SYSCHAR;
    if (!enterOrEscape && !accelerator)
        return false;
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
    if (!form || !form->Enabled())
        return false;
    if (accelerator)
        return form->DialogChar(static_cast<wchar_t>(msg.wParam));
    // A multi-line edit, an open drop-down list and the like keep the key.
    const LRESULT wanted = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (wanted & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
        return false;
    return form->DialogKey(static_cast<WORD>(msg.wParam));
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        ExitCode = static_cast<int>(msg.wParam);
        return true;
    }
    try {
        if (OnMessage && OnMessage(msg))
            return true;
        if (IsShortCut(msg)) {
            if (msg.message == WM_SYSKEYDOWN && (HIWORD(msg.lParam) & KF_ALTDOWN))
                AltKeyCombinationTaken(msg.hwnd, msg.wParam);
            return true;
        }
        if (IsPreviewKey(msg)) {
            if (msg.message == WM_SYSKEYDOWN && (HIWORD(msg.lParam) & KF_ALTDOWN))
                AltKeyCombinationTaken(msg.hwnd, msg.wParam);
            return true;
        }
        if (IsDialogKey(msg))
            return true;
        // Dialog forms get the dialog keys: Tab, Enter, Esc.
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
            form && form->BorderStyle() == TFormBorderStyle::bsDialog && IsDialogMessageW(root, &msg))
            return true;
    } catch (...) {
        HandleException(std::current_exception());
        return true;
    }
    TranslateMessage(&msg);
    if (!TimingTraceEnabled()) {
        DispatchMessageW(&msg);
        return true;
    }
    const auto start = std::chrono::steady_clock::now();
    DispatchMessageW(&msg);
    TraceSlowMessage(msg, std::chrono::steady_clock::now() - start);
    return true;
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (!terminated_ && ProcessMessage(msg)) {}
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (ProcessMessage(msg) || terminated_)
        return;
    if (OnIdle) {
        try {
            OnIdle();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    WaitMessage();
}

void TApplication::Terminate()
{
    if (!terminated_)
        PostQuitMessage(ExitCode);
    terminated_ = true;
}

void TApplication::HandleException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // silent by design
    } catch (const std::exception& e) {
        ++exceptionCount_;
        if (OnException)
            OnException(this, e);
        else
            ShowException(e);
    } catch (...) {
        ++exceptionCount_;
        ShowException(Exception(L"Unbekannter Ausnahmefehler"));
    }
}

void TApplication::ShowException(const std::exception& error)
{
    std::wstring text;
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        text = own->Message();
    else
        text = Utf8ToWide(error.what());
    if (!text.empty() && text.back() > L'.')
        text += L'.';
    MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

HWND TApplication::ActiveWindowHandle() const
{
    HWND active = GetActiveWindow();
    if (!active && mainForm_ && mainForm_->HandleAllocated())
        active = mainForm_->Handle();
    return active;
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags, DWORD helpContext)
{
    return MessageBoxWithHelp(ActiveWindowHandle(), text, caption.empty() ? title_ : caption, flags, helpContext,
                              OnHelp);
}

}  // namespace qrv
