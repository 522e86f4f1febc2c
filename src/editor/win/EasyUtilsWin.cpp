#include "editor/win/EasyUtilsWin.h"

#include "common/BaseUtils.h"
#include "common/win/TempFiles.h"
#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <commctrl.h>

namespace qrv {

namespace {

struct TScreenValues {
    int PpiX = 96;
    int PpiY = 96;
    bool HighColor = true;

    TScreenValues()
    {
        const TWindowDC dc(nullptr);
        if (!dc.Get())
            return;
        PpiX = GetDeviceCaps(dc.Get(), LOGPIXELSX);
        PpiY = GetDeviceCaps(dc.Get(), LOGPIXELSY);
        HighColor = GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES) > 8;
    }
};

const TScreenValues& Screen()
{
    static const TScreenValues values;
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
    return RemoveBackslashBelowRoot(TemporaryFolder());
}

int ScreenPixelsPerInchX()
{
    return Screen().PpiX;
}

int ScreenPixelsPerInchY()
{
    return Screen().PpiY;
}

bool HighColorDisplay()
{
    return Screen().HighColor;
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
