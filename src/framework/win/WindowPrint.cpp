#include "framework/win/WindowPrint.h"

#include "framework/ScopeExit.h"

namespace qrv {

void PrintClientAndChildren(HWND window, HDC dc, unsigned flags, POINT clientOffset)
{
    POINT old;
    OffsetViewportOrgEx(dc, clientOffset.x, clientOffset.y, &old);
    const int saved = SaveDC(dc);
    ScopeExit restore([dc, saved, old] {
        RestoreDC(dc, saved);
        SetViewportOrgEx(dc, old.x, old.y, nullptr);
    });
    RECT client;
    GetClientRect(window, &client);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    const auto wParam = reinterpret_cast<WPARAM>(dc);
    if (flags & PRF_ERASEBKGND)
        SendMessageW(window, WM_ERASEBKGND, wParam, 0);
    if (flags & PRF_CLIENT)
        SendMessageW(window, WM_PRINTCLIENT, wParam, flags);
    if (!(flags & PRF_CHILDREN))
        return;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        // A child's own visibility counts, not its parents': a window that
        // is not shown yet prints its children too.
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT at;
        GetWindowRect(child, &at);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&at), 2);
        const int childSaved = SaveDC(dc);
        OffsetViewportOrgEx(dc, at.left, at.top, nullptr);
        SendMessageW(child, WM_PRINT, wParam, flags | PRF_NONCLIENT);
        RestoreDC(dc, childSaved);
    }
}

}  // namespace qrv
