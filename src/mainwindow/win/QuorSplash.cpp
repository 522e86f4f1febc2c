#include "mainwindow/win/QuorSplash.h"

#include "framework/win/Handles.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 150;
}  // namespace

TQuorSplash::TQuorSplash(TComponent* owner) : TForm(owner)
{
    SetName(L"QuorSplash");
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetPosition(TPosition::poScreenCenter);
    SetBounds(0, 0, kWidth, kHeight);
    SetColor(clWindow);
    image256_ = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR | LR_SHARED));

    title_ = new TLabel(this);
    title_->SetCaption(L"Quorvan Free - Dateimanager");
    title_->Font().SetStyle(fsBold);
    title_->Font().SetSize(12);
    title_->SetBounds(84, 24, kWidth - 100, 24);
    title_->SetParent(this);

    lblVersion_ = new TLabel(this);
    lblVersion_->SetName(L"lblVersion");
    lblVersion_->SetBounds(84, 56, kWidth - 100, 16);
    lblVersion_->SetParent(this);

    msg_ = new TLabel(this);
    msg_->SetName(L"Msg");
    msg_->SetBounds(16, kHeight - 32, kWidth - 32, 16);
    msg_->SetParent(this);
}

void TQuorSplash::DoShow()
{
    lblVersion_->SetCaption(L"Version 3.2");
    // A display with fewer than 256 colours cannot show the light default.
    if (Options.Color == kDefaultPaneColor && DisplayColorCount < 256)
        Options.Color = kLowColorPaneColor;
    TForm::DoShow();
}

void TQuorSplash::ShowProgress(const std::wstring& text)
{
    msg_->SetCaption(text);
    if (HandleAllocated())
        UpdateWindow(Handle());
}

void TQuorSplash::Paint(HDC dc)
{
    RECT r;
    GetClientRect(Handle(), &r);
    // The frame (a shape) and the bevel inside it.
    const TGdiObject frame(CreateSolidBrush(RGB(0, 0, 128)));
    FrameRect(dc, &r, static_cast<HBRUSH>(frame.Get()));
    InflateRect(&r, -4, -4);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    if (image256_)
        DrawIconEx(dc, 20, 20, image256_, 48, 48, 0, nullptr, DI_NORMAL);
}

void TQuorSplash::WndProc(TMessage& message)
{
    if (message.Msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        Paint(dc);
        EndPaint(Handle(), &ps);
        return;
    }
    if (message.Msg == WM_CTLCOLORSTATIC) {
        SetBkMode(reinterpret_cast<HDC>(message.WParam), TRANSPARENT);
        message.Result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    TForm::WndProc(message);
}

}  // namespace qrv
