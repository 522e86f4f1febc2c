#include "win/WindowSearch.h"

namespace qrv::test {

HWND FindChildByText(HWND parent, const std::wstring& text)
{
    struct Search {
        const std::wstring* text;
        HWND found;
    } search{&text, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t buffer[256];
            GetWindowTextW(window, buffer, 256);
            if (*s->text == buffer) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace qrv::test
