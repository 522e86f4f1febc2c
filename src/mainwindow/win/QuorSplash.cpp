#include "mainwindow/win/QuorSplash.h"

#include "framework/win/Handles.h"
#include "settings/Quorvan32Globals.h"

#include <algorithm>

namespace qrv {

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 150;
constexpr int kTextLeft = 84;  // right of the icon
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

    // Each text takes the room its font needs: the title stays on one line
    // (the logo grows when it must) and the version stands below it.
    title_ = new TLabel(this);
    title_->SetCaption(L"Quorvan Free - Dateimanager");
    title_->Font().SetStyle(fsBold);
    title_->Font().SetSize(12);
    title_->SetLeft(kTextLeft);
    title_->SetTop(24);
    title_->AutoSizeToCaption();
    // A pixel to spare: the static control wraps a text that fills it exactly.
    title_->SetWidth(title_->Width() + 2);
    title_->SetParent(this);
    const int width = std::max(kWidth, kTextLeft + title_->Width() + 16);
    SetBounds(0, 0, width, kHeight);

    lblVersion_ = new TLabel(this);
    lblVersion_->SetName(L"lblVersion");
    const int lineHeight = MeasureText(lblVersion_->Font().Handle(), L"Xg").cy;
    lblVersion_->SetBounds(kTextLeft, title_->Top() + title_->Height() + 8, width - kTextLeft - 16, lineHeight);
    lblVersion_->SetParent(this);

    msg_ = new TLabel(this);
    msg_->SetName(L"Msg");
    msg_->SetBounds(16, kHeight - 16 - lineHeight, width - 32, lineHeight);
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
