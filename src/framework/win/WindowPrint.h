#pragma once
// Answering WM_PRINT for a window that paints its own non-client area: after
// the window has drawn its frame, the client area and the children are
// printed into the same device context, at the client's offset.

#include <windows.h>

namespace qrv {

// Prints Window's client area (PRF_ERASEBKGND, PRF_CLIENT) and its visible
// children (PRF_CHILDREN, each with its frame) into Dc, whose origin is the
// window's top-left corner; ClientOffset is where the client area starts
// within the window. Dc comes back as it was given.
void PrintClientAndChildren(HWND window, HDC dc, unsigned flags, POINT clientOffset);

}  // namespace qrv
