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

std::wstring ChildTexts(HWND parent)
{
    std::wstring texts;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            const int length = GetWindowTextLengthW(window);
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
            *reinterpret_cast<std::wstring*>(data) += text + L'\n';
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

}  // namespace qrv::test
