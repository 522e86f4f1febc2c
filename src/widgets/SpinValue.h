#pragma once
// The value of a spin edit and its text: clamping, reading and writing in
// integer, floating-point and hexadecimal form. Portable.

#include <string>
#include <string_view>

namespace qrv {

enum class TValueType { vtInteger, vtFloat, vtHex };

// Values outside MinValue..MaxValue are moved to the nearer end; equal
// bounds mean no range.
double ClampSpinValue(double value, double minValue, double maxValue);

// The value a text stands for; a text that is no number of the type gives
// MinValue (truncated for the integer types).
double ParseSpinText(std::wstring_view text, TValueType type, double minValue, wchar_t decimalSeparator);

// The text of a value: fixed-point with `decimals` decimals, hexadecimal
// digits without prefix, or decimal digits; integer types round halves to the
// even neighbour.
std::wstring FormatSpinValue(double value, TValueType type, int decimals, wchar_t decimalSeparator);

}  // namespace qrv
