#include "editor/WideText.h"

namespace qrv {

std::wstring ToWide(std::u16string_view text)
{
    if constexpr (sizeof(wchar_t) == 2) {
        return std::wstring(text.begin(), text.end());
    } else {
        std::wstring wide;
        wide.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                wide.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00)));
                ++i;
            } else {
                wide.push_back(static_cast<wchar_t>(c));
            }
        }
        return wide;
    }
}

std::u16string ToUtf16(std::wstring_view text)
{
    if constexpr (sizeof(wchar_t) == 2) {
        return std::u16string(text.begin(), text.end());
    } else {
        std::u16string units;
        units.reserve(text.size());
        for (wchar_t c : text) {
            const auto v = static_cast<char32_t>(c);
            if (v >= 0x10000 && v <= 0x10FFFF) {
                units.push_back(static_cast<char16_t>(0xD800 + ((v - 0x10000) >> 10)));
                units.push_back(static_cast<char16_t>(0xDC00 + ((v - 0x10000) & 0x3FF)));
            } else {
                units.push_back(static_cast<char16_t>(v > 0x10FFFF ? 0xFFFD : v));
            }
        }
        return units;
    }
}

}  // namespace qrv
