#include "editor/win/EasyUtilsWin.h"

#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <commctrl.h>

namespace qrv {

namespace {

struct ScreenValues {
    int ppiX = 96;
    int ppiY = 96;
    bool highColor = true;

    ScreenValues()
    {
        const TWindowDC dc(nullptr);
        if (!dc.Get())
            return;
        ppiX = GetDeviceCaps(dc.Get(), LOGPIXELSX);
        ppiY = GetDeviceCaps(dc.Get(), LOGPIXELSY);
        highColor = GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES) > 8;
    }
};

const ScreenValues& Screen()
{
    static const ScreenValues values;
    return values;
}

bool KeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

bool AltDown()
{
    return KeyDown(VK_MENU);
}

TEasyShiftState ShiftStateNow()
{
    TEasyShiftState state = 0;
    if (KeyDown(VK_SHIFT))
        state |= ssShift;
    if (KeyDown(VK_MENU))
        state |= ssAlt;
    if (KeyDown(VK_CONTROL))
        state |= ssCtrl;
    return state;
}

std::wstring TempDirectory()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return {};
    return WithoutTrailingBackslash(std::wstring(buffer, length));
}

int ScreenPixelsPerInchX()
{
    return Screen().ppiX;
}

int ScreenPixelsPerInchY()
{
    return Screen().ppiY;
}

bool HighColorDisplay()
{
    return Screen().highColor;
}

void OpenUrl(const std::wstring& url)
{
    ShellExecuteW(nullptr, nullptr, url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool InitializeFlatScrollBars(HWND window)
{
    return InitializeFlatSB(window) != FALSE;
}

}  // namespace qrv
