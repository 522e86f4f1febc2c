#pragma once
// Forms and the application object: the message loop, the main form, modal
// forms and the top-level exception handler.

#include "framework/win/Controls.h"
#include "framework/win/KeyEvents.h"

#include <exception>
#include <functional>
#include <string>

namespace qrv {

class TMainMenu;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poScreenCenter, poOwnerFormCenter };

// Modal results, by the names every form's code uses.
// NOLINTBEGIN(readability-identifier-naming)
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;
constexpr int mrCancel = IDCANCEL;
constexpr int mrAbort = IDABORT;
constexpr int mrRetry = IDRETRY;
constexpr int mrIgnore = IDIGNORE;
constexpr int mrYes = IDYES;
constexpr int mrNo = IDNO;
// NOLINTEND(readability-identifier-naming)

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    void Show();
    // Asks OnCloseQuery and OnClose; the main form's close ends the program.
    void Close();
    // Shows the form modally and returns its ModalResult.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);
    bool Modal() const { return modal_; }

    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }

    virtual bool CloseQuery();
    // Sizes the window so that its client area has this size.
    void SetClientSize(int width, int height);
    int HelpContext = 0;

    std::function<void(TComponent* Sender, TCloseAction& action)> OnClose;
    std::function<void(TComponent* Sender, bool& canClose)> OnCloseQuery;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;

    // With KeyPreview the form sees the keys of its controls before they
    // do, after the enabled actions' shortcuts and the menu's: OnKeyDown
    // and OnKeyUp (Key set to 0 swallows the key), OnKeyPress for the
    // characters (Key set to 0 drops it).
    bool KeyPreview = false;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    // The form's preview of one key message; true when it was swallowed.
    bool PreviewKey(const MSG& msg);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    // The registered window class name of this form.
    virtual std::wstring WindowClassName() const { return L"TQRVForm"; }
    virtual void DoShow();
    virtual void DoHide();

private:
    void PlaceOnScreen();
    void ClickDialogButton(bool defaultButton);
    TMainMenu* menu_ = nullptr;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TPosition position_ = TPosition::poDefaultPosOnly;
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool placed_ = false;
};

class TApplication : public TComponent {
public:
    // The application object of this process; there is one, on the UI thread.
    TApplication();
    ~TApplication() override;

    // Registers the common controls and the ANSI code page; call once first.
    void Initialize();
    const std::wstring& Title() const { return title_; }
    void SetTitle(std::wstring title) { title_ = std::move(title); }

    // Creates a form owned by the application; the first one is the main form.
    template <class TFormClass, class... Args>
    TFormClass* CreateForm(Args&&... args)
    {
        auto* form = new TFormClass(this, std::forward<Args>(args)...);
        if (!mainForm_)
            mainForm_ = form;
        return form;
    }
    TForm* MainForm() const { return mainForm_; }
    bool ShowMainForm = true;

    // Shows the main form and runs the message loop until Terminate.
    void Run();
    // Handles every waiting message, then returns.
    void ProcessMessages();
    // Waits for one message and handles it.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }
    int ExitCode = 0;

    // The top-level handler: EAbort is silent, others go to OnException or
    // are shown in a message box; exceptions are counted.
    void HandleException(std::exception_ptr error);
    void ShowException(const std::exception& error);
    std::function<void(TComponent* Sender, const std::exception& error)> OnException;
    int ExceptionCount() const { return exceptionCount_; }

    // A message box owned by the active window, captioned with the title when caption is empty.
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags, DWORD helpContext = 0);
    std::function<void(DWORD helpContext)> OnHelp;
    // Called before a key message is dispatched; return true to swallow it.
    std::function<bool(MSG& msg)> OnMessage;
    // When the message queue has run empty, before the loop waits.
    std::function<void()> OnIdle;

    // The window that owns modal boxes now: the active window of this thread or the main form.
    HWND ActiveWindowHandle() const;

private:
    bool ProcessMessage(MSG& msg);
    bool IsShortCut(const MSG& msg);
    // The form's key preview (TForm::KeyPreview) after the shortcuts.
    bool IsPreviewKey(const MSG& msg);
    // Enter, Esc and Alt+letter offered to the form's controls (DialogKey,
    // DialogChar) when the focused window does not want them itself.
    bool IsDialogKey(const MSG& msg);

    std::wstring title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    int exceptionCount_ = 0;
};

// The application object while it exists (nullptr before and after).
extern TApplication* Application;

}  // namespace qrv
