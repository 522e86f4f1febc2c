#pragma once
// value × numerator ÷ denominator in 64 bits, rounded to the nearest
// integer (halves away from zero) as the system's MulDiv does; 0 for a zero
// denominator instead of the system's -1. Portable.

#include <algorithm>
#include <cstdint>

namespace qrv {

constexpr int EasyMulDiv(int value, int numerator, int denominator)
{
    if (denominator == 0)
        return 0;
    int64_t product = int64_t(value) * numerator;
    int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const int64_t half = divisor / 2;
    const int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    return static_cast<int>(std::clamp<int64_t>(result, INT32_MIN, INT32_MAX));
}

}  // namespace qrv
