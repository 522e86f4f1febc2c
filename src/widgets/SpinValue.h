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

// The step of the integer types is a whole number, and never 0.
double SpinIncrementFor(TValueType type, double increment);

// The halves of the diagonal spin button: the diagonal runs from the
// bottom-left to the top-right corner; points below it are the down half,
// points on or above it the up half.
enum class TSpinHalf { None, Up, Down };
TSpinHalf SpinHalfAt(int x, int y, int width, int height);

// The button's repeat: the first step at the press, the second after the
// first interval, every later one after the next.
inline constexpr unsigned kSpinFirstRepeatMs = 400;
inline constexpr unsigned kSpinNextRepeatMs = 100;

}  // namespace qrv
