#include "framework/win/HintWindow.h"

#include "framework/ScreenFit.h"
#include "framework/SysUtils.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <set>

namespace qrv {

namespace {

constexpr wchar_t kClassName[] = L"QrvHintWindow";

// Registers each hint window class once, by name.
void RegisterHintClass(const std::wstring& name, UINT style)
{
    static std::set<std::wstring> registered;
    if (registered.count(name))
        return;
    WNDCLASSEXW wc{sizeof wc};
    wc.style = style;
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window at creation
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name.c_str();
    if (RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        registered.insert(name);
}

THintWindowFactory& HintWindowFactory()
{
    static THintWindowFactory factory;
    return factory;
}

}  // namespace

THintSettings& ApplicationHintSettings()
{
    static THintSettings settings;
    return settings;
}

std::vector<TScreenRect> MonitorAreas(bool workAreas)
{
    std::vector<TScreenRect> areas;
    struct TCollect {
        std::vector<TScreenRect>* Areas;
        bool Work;
    } collect{&areas, workAreas};
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            auto* c = reinterpret_cast<TCollect*>(data);
            MONITORINFO info{sizeof info};
            if (GetMonitorInfoW(monitor, &info)) {
                const RECT& r = c->Work ? info.rcWork : info.rcMonitor;
                c->Areas->push_back({r.left, r.top, r.right, r.bottom});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&collect));
    if (areas.empty())
        areas.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return areas;
}

RECT FitHintOnMonitor(const RECT& rect)
{
    const std::vector<TScreenRect> monitors = MonitorAreas(false);
    // The monitor that holds the hint's top-left corner.
    const TScreenRect& monitor =
        AreaHolding({rect.left, rect.top, static_cast<int>(rect.left) + 1, static_cast<int>(rect.top) + 1}, monitors);
    const TScreenRect fitted = ShiftIntoArea({rect.left, rect.top, rect.right, rect.bottom}, monitor);
    return RECT{fitted.Left, fitted.Top, fitted.Right, fitted.Bottom};
}

THintWindow::THintWindow()
{
    NONCLIENTMETRICSW metrics{sizeof metrics};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font_.SetName(metrics.lfStatusFont.lfFaceName);
        font_.SetHeight(metrics.lfStatusFont.lfHeight);
    }
    font_.SetColor(clInfoText);
}

THintWindow::~THintWindow()
{
    if (handle_) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

HWND THintWindow::Handle()
{
    if (!handle_) {
        const std::wstring className = WindowClassName();
        RegisterHintClass(className, WindowClassStyle());
        handle_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, className.c_str(), L"", WS_POPUP,
                                  0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!handle_)
            throw EOSError(L"Das Hinweisfenster konnte nicht erzeugt werden", GetLastError());
        SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&THintWindow::Procedure));
    }
    return handle_;
}

std::wstring THintWindow::WindowClassName() const
{
    return kClassName;
}

UINT THintWindow::WindowClassStyle() const
{
    return CS_SAVEBITS | CS_DROPSHADOW;
}

void SetApplicationHintWindowClass(THintWindowFactory Factory)
{
    HintWindowFactory() = std::move(Factory);
}

std::unique_ptr<THintWindow> CreateApplicationHintWindow()
{
    if (const THintWindowFactory& factory = HintWindowFactory())
        return factory();
    return std::make_unique<THintWindow>();
}

bool THintWindow::Visible() const
{
    return handle_ && IsWindowVisible(handle_);
}

void THintWindow::SetCaption(const std::wstring& caption)
{
    ChangeCaption(caption, false);
}

void THintWindow::ChangeCaption(const std::wstring& caption, bool byActivation)
{
    if (caption == caption_ && byActivation)
        return;
    caption_ = caption;
    CaptionChanged(byActivation);
    if (handle_)
        InvalidateRect(handle_, nullptr, TRUE);
}

void THintWindow::ActivateHint(const RECT& rect, const std::wstring& caption)
{
    ChangeCaption(caption, true);
    const RECT fitted = FitHintOnMonitor(rect);
    SetWindowPos(Handle(), HWND_TOPMOST, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(handle_, nullptr, TRUE);
}

void THintWindow::Hide()
{
    if (handle_)
        ShowWindow(handle_, SW_HIDE);
}

void THintWindow::Paint(HDC dc, const RECT& client)
{
    const TSelectObject font(dc, font_.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(font_.Color()));
    RECT text = client;
    InflateRect(&text, -2, -2);
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text, DT_LEFT | DT_NOPREFIX);
}

LRESULT CALLBACK THintWindow::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<THintWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, msg, wParam, lParam);
    return self->WndProc(msg, wParam, lParam);
}

LRESULT THintWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(handle_, &client);
        const TGdiObject brush(CreateSolidBrush(ColorToRGB(Color)));
        FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(brush.Get()));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(handle_, &ps);
        RECT client;
        GetClientRect(handle_, &client);
        Paint(dc, client);
        // The raised outer edge around the whole window.
        DrawEdge(dc, &client, BDR_RAISEDOUTER, BF_RECT);
        EndPaint(handle_, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(handle_, msg, wParam, lParam);
    }
}

}  // namespace qrv
