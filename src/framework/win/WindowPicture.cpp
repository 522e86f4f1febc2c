#include "framework/win/WindowPicture.h"

#include "framework/win/Handles.h"

#include <fstream>
#include <vector>

namespace qrv {

bool SaveWindowPicture(HWND window, const std::wstring& fileName)
{
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    TWindowDC screen(nullptr);
    TOwnDC memory(CreateCompatibleDC(screen.Get()));
    TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!memory || !bitmap)
        return false;
    {
        TSelectObject select(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY))
            return false;
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    std::vector<char> pixels(stride * static_cast<size_t>(height));
    if (!GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, static_cast<UINT>(height), pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::ofstream out(fileName.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

bool ShowAndSaveWindowPicture(HWND window, const std::wstring& fileName)
{
    // The picture is copied from the screen: above every other window for
    // the while, so that no other program's window is in it.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int round = 0; round < 10; ++round) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(30);
    }
    const bool saved = SaveWindowPicture(window, fileName);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return saved;
}

}  // namespace qrv
