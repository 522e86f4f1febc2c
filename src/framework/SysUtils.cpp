#include "framework/SysUtils.h"

#include <algorithm>
#include <limits>

namespace qrv {

Exception::Exception(std::wstring message, int helpContext)
    : message_(std::move(message)), utf8_(WideToUtf8(message_)), helpContext_(helpContext)
{}

void Exception::SetMessage(std::wstring message)
{
    message_ = std::move(message);
    utf8_ = WideToUtf8(message_);
}

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at bytes[i]; advances i. Overlong forms,
// surrogates and values beyond U+10FFFF count as invalid.
bool DecodeUtf8(std::string_view bytes, size_t& i, char32_t& out)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    int extra;
    char32_t cp;
    if (lead < 0x80) {
        out = lead;
        ++i;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        ++i;
        return false;
    }
    if (i + extra >= bytes.size()) {  // truncated sequence
        ++i;
        return false;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80) {
            i += k;
            return false;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    const char32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
    i += extra + 1;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    out = cp;
    return true;
}

void AppendUtf16(std::wstring& out, char32_t cp)
{
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(cp));
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0xA0 ||
           c == 0x3000 || c == 0xFEFF;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8)
{
    std::wstring out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        AppendUtf16(out, DecodeUtf8(utf8, i, cp) ? cp : kReplacement);
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide)
{
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = static_cast<char32_t>(wide[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(wide[i + 1]) - 0xDC00);
                ++i;
            } else if (cp >= 0xD800 && cp <= 0xDFFF) {
                cp = kReplacement;  // unpaired surrogate
            }
        } else if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        if (!DecodeUtf8(bytes, i, cp))
            return false;
    }
    return true;
}

std::wstring TrimLeft(std::wstring_view s)
{
    size_t b = 0;
    while (b < s.size() && IsSpace(s[b]))
        ++b;
    return std::wstring(s.substr(b));
}

std::wstring TrimRight(std::wstring_view s)
{
    size_t e = s.size();
    while (e > 0 && IsSpace(s[e - 1]))
        --e;
    return std::wstring(s.substr(0, e));
}

std::wstring_view TrimView(std::wstring_view s)
{
    size_t b = 0, e = s.size();
    while (e > 0 && IsSpace(s[e - 1]))
        --e;
    while (b < e && IsSpace(s[b]))
        ++b;
    return s.substr(b, e - b);
}

std::wstring Trim(std::wstring_view s)
{
    return std::wstring(TrimView(s));
}

wchar_t UpCaseChar(wchar_t c)
{
    if (c < 0x80)
        return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<wchar_t>(c - 32);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: pairs, with a shifted run
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c % 2 == 0) ? static_cast<wchar_t>(c - 1) : c;
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        return (c % 2 == 1) ? static_cast<wchar_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)  // Greek
        return static_cast<wchar_t>(c - 32);
    if (c >= 0x430 && c <= 0x44F)  // Cyrillic
        return static_cast<wchar_t>(c - 32);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<wchar_t>(c - 80);
    return c;
}

wchar_t LowCaseChar(wchar_t c)
{
    if (c < 0x80)
        return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<wchar_t>(c + 32);
    if (c == 0x178)
        return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c % 2 == 1) ? static_cast<wchar_t>(c + 1) : c;
        if (c == 0x130 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        return (c % 2 == 0) ? static_cast<wchar_t>(c + 1) : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return static_cast<wchar_t>(c + 32);
    if (c >= 0x410 && c <= 0x42F)
        return static_cast<wchar_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<wchar_t>(c + 80);
    return c;
}

std::wstring UpperCase(std::wstring_view s)
{
    std::wstring out(s);
    std::transform(out.begin(), out.end(), out.begin(), UpCaseChar);
    return out;
}

std::wstring LowerCase(std::wstring_view s)
{
    std::wstring out(s);
    std::transform(out.begin(), out.end(), out.begin(), LowCaseChar);
    return out;
}

int CompareStr(std::wstring_view a, std::wstring_view b)
{
    const int r = a.compare(b);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CompareText(std::wstring_view a, std::wstring_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const wchar_t ca = UpCaseChar(a[i]);
        const wchar_t cb = UpCaseChar(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

std::wstring IntToStr(int64_t value)
{
    return std::to_wstring(value);
}

bool TryStrToInt64(std::wstring_view text, int64_t& value)
{
    std::wstring s = Trim(text);
    if (s.empty())
        return false;
    bool negative = false;
    size_t i = 0;
    if (s[0] == L'-' || s[0] == L'+') {
        negative = s[0] == L'-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == L'$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    uint64_t magnitude = 0;
    const uint64_t limit =
        negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1 : uint64_t(std::numeric_limits<int64_t>::max());
    for (; i < s.size(); ++i) {
        const wchar_t c = s[i];
        int digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            return false;
        if (magnitude > (limit - digit) / base)
            return false;
        magnitude = magnitude * base + digit;
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

int64_t StrToInt64(std::wstring_view text)
{
    int64_t value;
    if (!TryStrToInt64(text, value))
        throw EConvertError(L"'" + std::wstring(text) + L"' ist kein gültiger ganzzahliger Wert");
    return value;
}

int StrToInt(std::wstring_view text)
{
    const int64_t value = StrToInt64(text);
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw EConvertError(L"'" + std::wstring(text) + L"' ist kein gültiger ganzzahliger Wert");
    return static_cast<int>(value);
}

int StrToIntDef(std::wstring_view text, int defaultValue)
{
    int64_t value;
    if (!TryStrToInt64(text, value) || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        return defaultValue;
    return static_cast<int>(value);
}

}  // namespace qrv
