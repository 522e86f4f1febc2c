#pragma once
// A hint window: a small topmost popup that shows a caption without taking
// the focus, kept on the monitor that holds its point; and the
// application's hint pauses and colour.

#include "framework/Colors.h"
#include "framework/ScreenFit.h"
#include "framework/win/Graphics.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

// The application's hint settings, in milliseconds.
struct THintSettings {
    unsigned HintPause = 500;
    unsigned HintShortPause = 50;
    unsigned HintHidePause = 2500;
    TColor HintColor = clInfoBk;
};
THintSettings& ApplicationHintSettings();

// The rectangle moved left and up so that it lies on the monitor holding its
// top-left corner, and not above or left of that monitor.
RECT FitHintOnMonitor(const RECT& rect);
// The monitors' work areas (or whole areas), at least the primary screen.
std::vector<TScreenRect> MonitorAreas(bool workAreas);

class THintWindow {
public:
    THintWindow();
    virtual ~THintWindow();
    THintWindow(const THintWindow&) = delete;
    THintWindow& operator=(const THintWindow&) = delete;

    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    bool Visible() const;

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    // The screen's hint font.
    TFont& Font() { return font_; }
    TColor Color = ApplicationHintSettings().HintColor;

    // Sets the caption, moves the window onto the screen at rect and shows it
    // topmost without activating it.
    virtual void ActivateHint(const RECT& rect, const std::wstring& caption);
    void Hide();

protected:
    // The window class the hint's window is made of, and its class style.
    virtual std::wstring WindowClassName() const;
    virtual UINT WindowClassStyle() const;
    // After the caption changed; byActivation when ActivateHint set it.
    virtual void CaptionChanged(bool /*byActivation*/) {}
    // Paints the client area; the background is already filled.
    virtual void Paint(HDC dc, const RECT& client);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void ChangeCaption(const std::wstring& caption, bool byActivation);

    HWND handle_ = nullptr;
    std::wstring caption_;
    TFont font_;
};

// The hint windows the application shows are made by this factory (plain
// THintWindows while none is set).
using THintWindowFactory = std::function<std::unique_ptr<THintWindow>()>;
void SetApplicationHintWindowClass(THintWindowFactory Factory);
std::unique_ptr<THintWindow> CreateApplicationHintWindow();

}  // namespace qrv
