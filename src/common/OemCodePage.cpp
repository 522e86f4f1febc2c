#include "common/OemCodePage.h"

#include "framework/CodePageTables.h"

#include <algorithm>
#include <array>

namespace qrv {

namespace {

const std::array<char16_t, 128>& UpperHalf(TOemCodePage codePage)
{
    return codePage == TOemCodePage::cp437 ? kUpperHalf437 : kUpperHalf850;
}

}  // namespace

std::u16string OemToUtf16(std::string_view bytes, TOemCodePage codePage)
{
    const auto& upper = UpperHalf(codePage);
    std::u16string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.push_back(b < 0x80 ? static_cast<char16_t>(b) : upper[b - 0x80]);
    }
    return text;
}

std::optional<std::string> Utf16ToOem(std::u16string_view text, TOemCodePage codePage)
{
    const auto& upper = UpperHalf(codePage);
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t c : text) {
        if (c < 0x80) {
            bytes.push_back(static_cast<char>(c));
            continue;
        }
        const auto it = std::find(upper.begin(), upper.end(), c);
        if (it == upper.end())
            return std::nullopt;
        bytes.push_back(static_cast<char>(0x80 + (it - upper.begin())));
    }
    return bytes;
}

}  // namespace qrv
