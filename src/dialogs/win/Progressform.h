#pragma once
// TProgressform ("Fortschritt"): the small window long operations of the
// main window show, with a label, a bar and "Abbrechen". While it is up the
// main window is disabled; the running operation polls Aborted(). Closing
// the form is the same as "Abbrechen"; only Finish enables the main window
// again, and TProgressSession makes sure Finish runs on every way out.

#include "framework/win/Forms.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TButton;
class TLabel;
class TProgressBar;

// The private messages the main window gets when an operation starts and ends.
constexpr UINT WM_QRV_PROGRESS_START = 0xB001;
constexpr UINT WM_QRV_PROGRESS_END = 0xB000;

class TProgressform : public TForm {
public:
    // MainWindow: the window that is disabled while the form is up (may be
    // nullptr); it owns the form's window.
    TProgressform(TComponent* owner, TForm* MainWindow);

    TLabel* lblLabel = nullptr;
    TProgressBar* ProgressBar = nullptr;
    TButton* btnAbort = nullptr;

    // Caption and bar's maximum (a smooth bar above 100); shows the form and
    // disables the main window.
    void Start(const std::wstring& Caption, int Maximum);
    // One step of the bar, then the waiting messages.
    void Step();
    // The bar's position, then the waiting messages.
    void Progress(int Position);
    void SetLabelText(const std::wstring& Text);
    // Enables and activates the main window; the form hides. Runs once.
    void Finish();
    bool Finished() const { return finished_; }

    // Set by "Abbrechen" (or a close of the form) and never cleared.
    bool Aborted() const { return aborted_; }
    // Called at every press of "Abbrechen".
    std::function<void()> OnAbort;

protected:
    std::wstring WindowClassName() const override { return L"TProgressform"; }
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void AbortClicked();
    TForm* mainWindow_;
    bool aborted_ = false;
    bool started_ = false;
    bool finished_ = false;
};

// A progress form for the life of the block: Finish runs when it ends,
// however it ends.
class TProgressSession {
public:
    TProgressSession(TForm* MainWindow, const std::wstring& Caption, int Maximum,
                     const std::function<void(TForm&)>& Place = nullptr);
    ~TProgressSession();
    TProgressSession(const TProgressSession&) = delete;
    TProgressSession& operator=(const TProgressSession&) = delete;

    TProgressform& Form() { return *form_; }

private:
    std::unique_ptr<TProgressform> form_;
};

}  // namespace qrv
