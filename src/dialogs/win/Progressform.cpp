#include "dialogs/win/Progressform.h"

#include "framework/IgnoredError.h"
#include "framework/win/Buttons.h"
#include "framework/win/ProgressBar.h"

namespace qrv {

TProgressform::TProgressform(TComponent* owner, TForm* MainWindow) : TForm(owner), mainWindow_(MainWindow)
{
    SetCaption(L"Fortschritt");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(380, 104);

    lblLabel = new TLabel(this);
    lblLabel->SetParent(this);
    lblLabel->SetBounds(12, 10, 356, 16);
    lblLabel->SetCaption(L"");

    ProgressBar = new TProgressBar(this);
    ProgressBar->SetParent(this);
    ProgressBar->SetBounds(12, 32, 356, 18);

    btnAbort = new TButton(this);
    btnAbort->SetParent(this);
    btnAbort->SetCaption(L"Abbrechen");
    btnAbort->SetBounds(152, 64, 76, 26);
    btnAbort->Cancel = true;
    btnAbort->SetDefault(true);
    btnAbort->OnClick = [this](TComponent*) { AbortClicked(); };
}

void TProgressform::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    // Owned by the window it works for, which is disabled meanwhile.
    if (mainWindow_ && mainWindow_->HandleAllocated())
        params.WndParent = mainWindow_->Handle();
}

void TProgressform::Start(const std::wstring& Caption, int Maximum)
{
    SetCaption(Caption);
    ProgressBar->SetSmooth(Maximum > 100);
    ProgressBar->SetMax(Maximum);
    ProgressBar->SetPosition(0);
    started_ = true;
    Show();
    UpdateWindow(Handle());
    if (mainWindow_ && mainWindow_->HandleAllocated()) {
        SendMessageW(mainWindow_->Handle(), WM_QRV_PROGRESS_START, 0, 0);
        EnableWindow(mainWindow_->Handle(), FALSE);
    }
}

void TProgressform::Step()
{
    ProgressBar->StepIt();
    if (Application)
        Application->ProcessMessages();
}

void TProgressform::Progress(int Position)
{
    ProgressBar->SetPosition(Position);
    if (Application)
        Application->ProcessMessages();
}

void TProgressform::SetLabelText(const std::wstring& Text)
{
    lblLabel->SetCaption(Text);
    if (lblLabel->HandleAllocated())
        UpdateWindow(lblLabel->Handle());
}

void TProgressform::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    if (mainWindow_ && mainWindow_->HandleAllocated()) {
        EnableWindow(mainWindow_->Handle(), TRUE);
        SendMessageW(mainWindow_->Handle(), WM_QRV_PROGRESS_END, 0, 0);
    }
    // Hidden after the main window is enabled, so that the activation goes
    // back to it and not to another program.
    if (HandleAllocated())
        Hide();
    if (started_ && mainWindow_ && mainWindow_->HandleAllocated() && IsWindowVisible(mainWindow_->Handle()))
        SetForegroundWindow(mainWindow_->Handle());
}

void TProgressform::AbortClicked()
{
    aborted_ = true;
    if (OnAbort)
        OnAbort();
}

void TProgressform::WndProc(TMessage& message)
{
    // A close (the caption's button, Alt+F4) stops the operation as
    // "Abbrechen" does; the form goes when the operation has ended.
    if (message.Msg == WM_CLOSE) {
        if (!finished_)
            AbortClicked();
        message.Result = 0;
        return;
    }
    TForm::WndProc(message);
}

TProgressSession::TProgressSession(TForm* MainWindow, const std::wstring& Caption, int Maximum,
                                   const std::function<void(TForm&)>& Place)
    : form_(std::make_unique<TProgressform>(nullptr, MainWindow))
{
    if (Place)
        Place(*form_);
    form_->Start(Caption, Maximum);
}

TProgressSession::~TProgressSession()
{
    try {
        form_->Finish();
    } catch (const std::exception&) {
        TraceIgnoredException(L"ending a progress form");
    }
}

}  // namespace qrv
