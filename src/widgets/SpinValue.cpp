#include "widgets/SpinValue.h"

#include "framework/SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace qrv {

namespace {

bool TryParseFloat(std::wstring_view text, wchar_t decimalSeparator, double& value)
{
    const std::wstring trimmed = Trim(text);
    if (trimmed.empty())
        return false;
    std::string narrow;
    for (wchar_t c : trimmed) {
        if (c == decimalSeparator)
            narrow += '.';
        else if ((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'e' || c == L'E')
            narrow += static_cast<char>(c);
        else
            return false;
    }
    const char* first = narrow.data();
    if (*first == '+')
        ++first;  // from_chars takes no plus sign
    const char* last = narrow.data() + narrow.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && std::isfinite(value);
}

}  // namespace

double ClampSpinValue(double value, double minValue, double maxValue)
{
    if (maxValue == minValue)
        return value;
    if (value < minValue)
        return minValue;
    if (value > maxValue)
        return maxValue;
    return value;
}

double ParseSpinText(std::wstring_view text, TValueType type, double minValue, wchar_t decimalSeparator)
{
    if (type == TValueType::vtFloat) {
        double value = 0;
        return TryParseFloat(text, decimalSeparator, value) ? value : minValue;
    }
    int64_t value = 0;
    const bool ok =
        type == TValueType::vtHex ? TryStrToInt64(L"$" + std::wstring(text), value) : TryStrToInt64(text, value);
    return ok ? static_cast<double>(value) : std::trunc(minValue);
}

std::wstring FormatSpinValue(double value, TValueType type, int decimals, wchar_t decimalSeparator)
{
    if (type == TValueType::vtFloat) {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals < 0 ? 0 : decimals, value);
        std::wstring text;
        for (const char* p = buffer; *p; ++p)
            text += *p == '.' ? decimalSeparator : static_cast<wchar_t>(*p);
        return text;
    }
    const auto rounded = static_cast<int64_t>(std::nearbyint(value));
    if (type == TValueType::vtInteger)
        return IntToStr(rounded);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(rounded));
    return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

double SpinIncrementFor(TValueType type, double increment)
{
    if (type == TValueType::vtFloat)
        return increment;
    const double whole = std::nearbyint(increment);
    return whole == 0 ? 1 : whole;
}

TSpinHalf SpinHalfAt(int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x >= width || y >= height)
        return TSpinHalf::None;
    // y = height - (height / width) * x on the diagonal, in whole numbers.
    return static_cast<long long>(y) * width > static_cast<long long>(height) * (width - x) ? TSpinHalf::Down
                                                                                            : TSpinHalf::Up;
}

}  // namespace qrv
