#include "imaging/PngFilters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qrv {

uint8_t PaethPredictor(int left, int above, int upperLeft)
{
    // Written as two replacements, which compilers turn into conditional
    // moves; ties keep left, then above, as the format requires.
    int best = std::abs(above - upperLeft);
    const int toAbove = std::abs(left - upperLeft);
    const int toUpperLeft = std::abs(left + above - 2 * upperLeft);
    int predicted = left;
    if (toAbove < best) {
        best = toAbove;
        predicted = above;
    }
    if (toUpperLeft < best)
        predicted = upperLeft;
    return static_cast<uint8_t>(predicted);
}

namespace {

#if defined(__SSE2__)

// One pixel of up to 8 bytes as 16-bit lanes.
inline __m128i LoadPixel(const uint8_t* p)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

inline __m128i Abs16(__m128i v)
{
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// A pixel's store (4 bytes for pixels of up to 4, else 8) reaches at most
// into the next pixel, whose raw bytes were loaded before; its own store
// then puts them right.
template <int Type>
void UnfilterPixels(uint8_t* row, const uint8_t* previous, size_t count, size_t offset)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i left = zero, upperLeft = zero;
    __m128i raw = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row));
    for (size_t i = 0; i < count; i += offset) {
        const __m128i next = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i + offset));
        __m128i predicted;
        if constexpr (Type == 1) {
            predicted = left;
        } else if constexpr (Type == 3) {
            predicted = _mm_srli_epi16(_mm_add_epi16(left, LoadPixel(previous + i)), 1);
        } else {
            const __m128i above = LoadPixel(previous + i);
            const __m128i toAbove = _mm_sub_epi16(left, upperLeft);
            const __m128i toLeft = _mm_sub_epi16(above, upperLeft);
            const __m128i toUpperLeft = Abs16(_mm_add_epi16(toLeft, toAbove));
            const __m128i distLeft = Abs16(toLeft);
            const __m128i distAbove = Abs16(toAbove);
            const __m128i smallest = _mm_min_epi16(toUpperLeft, _mm_min_epi16(distLeft, distAbove));
            const __m128i takeLeft = _mm_cmpeq_epi16(distLeft, smallest);
            const __m128i takeAbove = _mm_cmpeq_epi16(distAbove, smallest);
            const __m128i aboveOrCorner =
                _mm_or_si128(_mm_and_si128(takeAbove, above), _mm_andnot_si128(takeAbove, upperLeft));
            predicted = _mm_or_si128(_mm_and_si128(takeLeft, left), _mm_andnot_si128(takeLeft, aboveOrCorner));
            upperLeft = above;
        }
        const __m128i result = _mm_add_epi8(raw, _mm_packus_epi16(predicted, predicted));
        if (offset <= 4) {
            const int low = _mm_cvtsi128_si32(result);
            std::memcpy(row + i, &low, 4);
        } else {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(row + i), result);
        }
        left = _mm_unpacklo_epi8(result, zero);
        raw = next;
    }
}

#endif

}  // namespace

void UnfilterRow(uint8_t type, uint8_t* row, const uint8_t* previous, size_t count, size_t offset)
{
    if (count == 0 || offset == 0)
        return;
#if defined(__SSE2__)
    // Whole pixels of 2 to 8 bytes: one pixel per step in 16-bit lanes.
    if (offset >= 2 && offset <= 8 && count % offset == 0 && type != 2 && type >= 1 && type <= 4) {
        if (type == 1)
            UnfilterPixels<1>(row, previous, count, offset);
        else if (type == 3)
            UnfilterPixels<3>(row, previous, count, offset);
        else
            UnfilterPixels<4>(row, previous, count, offset);
        return;
    }
#endif
    const size_t head = std::min(offset, count);
    switch (type) {
    case 1:
        for (size_t i = offset; i < count; ++i)
            row[i] = static_cast<uint8_t>(row[i] + row[i - offset]);
        break;
    case 2:
        for (size_t i = 0; i < count; ++i)
            row[i] = static_cast<uint8_t>(row[i] + previous[i]);
        break;
    case 3:
        for (size_t i = 0; i < head; ++i)
            row[i] = static_cast<uint8_t>(row[i] + (previous[i] >> 1));
        for (size_t i = offset; i < count; ++i)
            row[i] = static_cast<uint8_t>(row[i] + ((row[i - offset] + previous[i]) >> 1));
        break;
    case 4:
        for (size_t i = 0; i < head; ++i)
            row[i] = static_cast<uint8_t>(row[i] + previous[i]);
        for (size_t i = offset; i < count; ++i)
            row[i] = static_cast<uint8_t>(row[i] + PaethPredictor(row[i - offset], previous[i], previous[i - offset]));
        break;
    default:
        break;
    }
}

}  // namespace qrv
