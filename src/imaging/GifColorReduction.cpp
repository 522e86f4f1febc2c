#include "imaging/GifColorReduction.h"

#include "framework/PartThreads.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qrv {

namespace {

// Pictures of fewer pixels are worked on one thread.
constexpr size_t kPixelsPerBand = size_t{1} << 20;

// Calls work(first row, end row, band) for bands of rows of the image, on
// the kept part threads when the image is large.
template <typename TWork>
void ForEachBand(const TBgrImage& image, size_t& bands, TWork work)
{
    const size_t pixels = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
    bands = std::clamp<size_t>(pixels / kPixelsPerBand, 1, PartThreadCount());
    const auto rowOf = [&](size_t band) {
        return static_cast<int>(int64_t{image.Height} * int64_t(band) / int64_t(bands));
    };
    RunParts(bands, [&](size_t band) { work(rowOf(band), rowOf(band + 1), band); });
}

}  // namespace

TColorCells ColorCellsOf(const TBgrImage& image)
{
    constexpr int shift = 8 - kColorCellBits;
    std::vector<TColorCells> found(PartThreadCount());
    size_t bands = 1;
    ForEachBand(image, bands, [&](int first, int end, size_t band) {
        TColorCells& cells = found[band];
        cells.assign(kColorCellCount, 0);
        for (int y = first; y < end; ++y) {
            const uint8_t* pixel = image.Row(y);
            for (int x = 0; x < image.Width; ++x, pixel += 3)
                cells[(size_t{pixel[2]} >> shift << (2 * kColorCellBits)) |
                      (size_t{pixel[1]} >> shift << kColorCellBits) | (size_t{pixel[0]} >> shift)] = 1;
        }
    });
    TColorCells cells = std::move(found[0]);
    for (size_t band = 1; band < bands; ++band)
        for (size_t cell = 0; cell < kColorCellCount; ++cell)
            cells[cell] |= found[band][cell];
    return cells;
}

int NearestPaletteIndex(const TGIFPalette& palette, TGIFColor color)
{
    int best = 0;
    int bestDistance = INT32_MAX;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int red = palette[i].Red - color.Red, green = palette[i].Green - color.Green,
                  blue = palette[i].Blue - color.Blue;
        const int distance = red * red + green * green + blue * blue;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
            if (distance == 0)
                break;
        }
    }
    return best;
}

TSlowColorLookup::TSlowColorLookup(TGIFPalette palette, TNearestIndex nearest)
    : palette_(std::move(palette)), nearest_(std::move(nearest))
{
    if (palette_.size() > 256)
        palette_.resize(256);
    for (const TGIFColor& entry : palette_) {
        channels_[0].push_back(entry.Red);
        channels_[1].push_back(entry.Green);
        channels_[2].push_back(entry.Blue);
    }
}

namespace {
// The lookup's cells: the leading 5 bits per channel, 8 values wide.
constexpr int kLookupCellBits = kColorCellBits;
constexpr int kLookupCellWidth = 1 << (8 - kLookupCellBits);
// A cell's list: where it starts in the candidates, shifted, and its count
// (up to 256) in the low bits; all bits set until listed. 32,768 cells of at
// most 256 candidates start below 2^23.
constexpr int kCountBits = 9;
constexpr uint32_t kCellNotListed = UINT32_MAX;

size_t LookupCellOf(uint8_t red, uint8_t green, uint8_t blue)
{
    constexpr int shift = 8 - kLookupCellBits;
    return (size_t{red} >> shift << (2 * kLookupCellBits)) | (size_t{green} >> shift << kLookupCellBits) |
           (size_t{blue} >> shift);
}

int SquaredDistance(const TGIFColor& entry, int red, int green, int blue)
{
    const int r = entry.Red - red, g = entry.Green - green, b = entry.Blue - blue;
    return r * r + g * g + b * b;
}
}  // namespace

void TSlowColorLookup::ListCoarseCell(size_t cell, std::vector<TCandidate>& into, TScratch& scratch) const
{
    // Per entry the squared distance to the cell's nearest and farthest
    // colour; written branch-free over the channels so that it runs wide.
    const size_t entries = palette_.size();
    scratch.Nearest.assign(entries, 0);
    scratch.Farthest.assign(entries, 0);
    const int lows[3] = {static_cast<int>(cell >> (2 * kLookupCellBits)) * kLookupCellWidth,
                         static_cast<int>((cell >> kLookupCellBits) & ((1 << kLookupCellBits) - 1)) * kLookupCellWidth,
                         static_cast<int>(cell & ((1 << kLookupCellBits) - 1)) * kLookupCellWidth};
    for (int channel = 0; channel < 3; ++channel) {
        const int low = lows[channel], high = low + kLookupCellWidth - 1;
        const int* values = channels_[channel].data();
        int* nearest = scratch.Nearest.data();
        int* farthest = scratch.Farthest.data();
        for (size_t i = 0; i < entries; ++i) {
            const int v = values[i];
            const int toNearest = std::max(low - v, 0) + std::max(v - high, 0);
            const int toFarthest = std::max(v - low, high - v);
            nearest[i] += toNearest * toNearest;
            farthest[i] += toFarthest * toFarthest;
        }
    }
    // Every entry that can be the nearest to some colour of the cell: none
    // whose nearest point is farther than the farthest point of another.
    const int bound = *std::min_element(scratch.Farthest.begin(), scratch.Farthest.end());
    const size_t start = into.size();
    for (size_t i = 0; i < entries; ++i)
        if (scratch.Nearest[i] <= bound)
            into.push_back(TCandidate{scratch.Nearest[i], palette_[i], static_cast<uint8_t>(i)});
    // Nearest first, so that a search can stop at the first candidate no
    // colour of the cell is nearer to than the best found.
    // Equal ones keep the palette's order (std::sort takes no memory).
    std::sort(into.begin() + static_cast<ptrdiff_t>(start), into.end(), [](const TCandidate& a, const TCandidate& b) {
        return a.Nearest < b.Nearest || (a.Nearest == b.Nearest && a.Index < b.Index);
    });
}

const TSlowColorLookup::TCandidate* TSlowColorLookup::CandidatesOf(size_t cell, size_t& count)
{
    if (cellLists_.empty())
        cellLists_.assign(size_t{1} << (3 * kLookupCellBits), kCellNotListed);
    uint32_t& listed = cellLists_[cell];
    if (listed == kCellNotListed) {
        const auto start = static_cast<uint32_t>(candidates_.size());
        ListCoarseCell(cell, candidates_, scratch_);
        listed = (start << kCountBits) | static_cast<uint32_t>(candidates_.size() - start);
    }
    count = listed & ((1u << kCountBits) - 1);
    return candidates_.data() + (listed >> kCountBits);
}

namespace {
// The first entry of the least distance among a cell's candidates, which
// come nearest first: the search ends at one no colour of the cell can beat.
template <typename TCandidate>
uint8_t NearestOf(const TCandidate* candidates, size_t count, int red, int green, int blue)
{
    int index = 0, bestDistance = INT32_MAX;
    for (const TCandidate* candidate = candidates; candidate != candidates + count; ++candidate) {
        if (candidate->Nearest > bestDistance)
            break;
        const int distance = SquaredDistance(candidate->Color, red, green, blue);
        // Equal distances: the first entry of the palette, as the plain search.
        if (distance < bestDistance || (distance == bestDistance && candidate->Index < index)) {
            bestDistance = distance;
            index = candidate->Index;
        }
    }
    return static_cast<uint8_t>(index);
}
}  // namespace

namespace {
// The fine cells: the leading 6 bits per channel, 4 values wide, each listed
// from its coarse cell's candidates.
constexpr int kFineCellBits = 6;
constexpr int kFineCellWidth = 1 << (8 - kFineCellBits);
// Lists start below 2^22 (kCountBits and the flag); past that a fine cell
// is not listed and answers from its coarse list, or the whole palette.
constexpr size_t kMaxListedCandidates = size_t{1} << (31 - kCountBits);
constexpr uint32_t kSearchCoarse = kCellNotListed - 1;
constexpr uint32_t kSearchPalette = kCellNotListed - 2;
// A fine cell of at most four candidates holds this flag: its four packed
// candidates (padded with the first) lie at its place in the quads, and are
// compared at once, without branches (which the noise of a photo would
// mispredict).
constexpr uint32_t kQuadEntry = 1u << 31;
constexpr size_t kQuad = 4;
static_assert((kMaxListedCandidates << kCountBits) <= kQuadEntry);

// Index, red, green, blue in one word.
uint32_t PackedCandidate(TGIFColor color, uint8_t index)
{
    return (uint32_t{index} << 24) | (uint32_t{color.Red} << 16) | (uint32_t{color.Green} << 8) | color.Blue;
}

// The nearest of four packed candidates, the lowest index of equal ones:
// the squared distance shifted above the index, the least of the four keys.
// Distances stay below 2^18, so the keys fit 26 bits.
uint8_t NearestOfQuad(const uint32_t* quad, int red, int green, int blue)
{
#if defined(__SSE2__)
    const __m128i packed = _mm_loadu_si128(reinterpret_cast<const __m128i*>(quad));
    // Each candidate's blue, green, red, index as 16-bit lanes, less the
    // colour; the index lane is masked out of the squares.
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour =
        _mm_set_epi16(0, static_cast<int16_t>(red), static_cast<int16_t>(green), static_cast<int16_t>(blue), 0,
                      static_cast<int16_t>(red), static_cast<int16_t>(green), static_cast<int16_t>(blue));
    const __m128i channels = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i low = _mm_and_si128(_mm_sub_epi16(_mm_unpacklo_epi8(packed, zero), colour), channels);
    const __m128i high = _mm_and_si128(_mm_sub_epi16(_mm_unpackhi_epi8(packed, zero), colour), channels);
    // Per candidate blue² + green² and red²: candidates 0 and 1 low, 2 and 3 high.
    const __m128 lowSquares = _mm_castsi128_ps(_mm_madd_epi16(low, low));
    const __m128 highSquares = _mm_castsi128_ps(_mm_madd_epi16(high, high));
    const __m128i distances =
        _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(lowSquares, highSquares, _MM_SHUFFLE(2, 0, 2, 0))),
                      _mm_castps_si128(_mm_shuffle_ps(lowSquares, highSquares, _MM_SHUFFLE(3, 1, 3, 1))));
    __m128i keys = _mm_or_si128(_mm_slli_epi32(distances, 8), _mm_srli_epi32(packed, 24));
    const auto keepLess = [](__m128i a, __m128i b) {
        const __m128i less = _mm_cmplt_epi32(b, a);
        return _mm_or_si128(_mm_and_si128(less, b), _mm_andnot_si128(less, a));
    };
    keys = keepLess(keys, _mm_shuffle_epi32(keys, _MM_SHUFFLE(1, 0, 3, 2)));
    keys = keepLess(keys, _mm_shuffle_epi32(keys, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<uint8_t>(_mm_cvtsi128_si32(keys));
#else
    uint32_t best = UINT32_MAX;
    for (size_t i = 0; i < kQuad; ++i) {
        const uint32_t candidate = quad[i];
        const int r = static_cast<int>((candidate >> 16) & 0xFF) - red,
                  g = static_cast<int>((candidate >> 8) & 0xFF) - green, b = static_cast<int>(candidate & 0xFF) - blue;
        best = std::min(best, (static_cast<uint32_t>(r * r + g * g + b * b) << 8) | (candidate >> 24));
    }
    return static_cast<uint8_t>(best);
#endif
}

size_t FineCellOf(uint8_t red, uint8_t green, uint8_t blue)
{
    constexpr int shift = 8 - kFineCellBits;
    return (size_t{red} >> shift << (2 * kFineCellBits)) | (size_t{green} >> shift << kFineCellBits) |
           (size_t{blue} >> shift);
}
}  // namespace

uint32_t TSlowColorLookup::ListFineCell(size_t fine, const TCandidate* coarse, size_t coarseCount,
                                        std::vector<TCandidate>& into)
{
    // The coarse cell's candidates hold every entry that can be nearest in
    // the fine cell, and the one whose farthest point is nearest: the same
    // test over them lists the fine cell.
    constexpr size_t channelMask = (size_t{1} << kFineCellBits) - 1;
    const int lows[3] = {static_cast<int>(fine >> (2 * kFineCellBits)) * kFineCellWidth,
                         static_cast<int>((fine >> kFineCellBits) & channelMask) * kFineCellWidth,
                         static_cast<int>(fine & channelMask) * kFineCellWidth};
    int nearest[256];
    int bound = INT32_MAX;
    for (size_t i = 0; i < coarseCount; ++i) {
        const TGIFColor& color = coarse[i].Color;
        const int values[3] = {color.Red, color.Green, color.Blue};
        int toNearest = 0, toFarthest = 0;
        for (int channel = 0; channel < 3; ++channel) {
            const int low = lows[channel], high = low + kFineCellWidth - 1, v = values[channel];
            const int nearer = std::max(low - v, 0) + std::max(v - high, 0);
            const int farther = std::max(v - low, high - v);
            toNearest += nearer * nearer;
            toFarthest += farther * farther;
        }
        nearest[i] = toNearest;
        bound = std::min(bound, toFarthest);
    }
    const size_t start = into.size();
    for (size_t i = 0; i < coarseCount; ++i)
        if (nearest[i] <= bound)
            into.push_back(TCandidate{nearest[i], coarse[i].Color, coarse[i].Index});
    std::sort(into.begin() + static_cast<ptrdiff_t>(start), into.end(), [](const TCandidate& a, const TCandidate& b) {
        return a.Nearest < b.Nearest || (a.Nearest == b.Nearest && a.Index < b.Index);
    });
    const size_t count = into.size() - start;
    if (count > kQuad)
        return (static_cast<uint32_t>(start) << kCountBits) | static_cast<uint32_t>(count);
    for (size_t i = 0; i < kQuad; ++i) {
        const TCandidate& candidate = into[start + (i < count ? i : 0)];
        quads_[fine * kQuad + i] = PackedCandidate(candidate.Color, candidate.Index);
    }
    into.resize(start);
    return kQuadEntry;
}

void TSlowColorLookup::MakeFineTables()
{
    if (!fineLists_.empty())
        return;
    fineLists_.assign(size_t{1} << (3 * kFineCellBits), kCellNotListed);
    // Read only where a cell is listed: left as allocated, so that only the
    // pages of the cells met are touched.
    quads_ = std::make_unique_for_overwrite<uint32_t[]>(fineLists_.size() * kQuad);
}

void TSlowColorLookup::ListFineCellOf(size_t fine)
{
    constexpr int shift = kFineCellBits - kLookupCellBits;
    constexpr size_t channelMask = (size_t{1} << kFineCellBits) - 1;
    const size_t red = fine >> (2 * kFineCellBits), green = (fine >> kFineCellBits) & channelMask,
                 blue = fine & channelMask;
    size_t coarseCount = 0;
    const TCandidate* coarse = CandidatesOf(((red >> shift) << (2 * kLookupCellBits)) |
                                                ((green >> shift) << kLookupCellBits) | (blue >> shift),
                                            coarseCount);
    // Lists start below 2^22; past that the cell is searched in its coarse list.
    fineLists_[fine] = fineCandidates_.size() + coarseCount < kMaxListedCandidates
                           ? ListFineCell(fine, coarse, coarseCount, fineCandidates_)
                           : kSearchCoarse;
}

void TSlowColorLookup::ListCells(const TColorCells& cells)
{
    if (!HasOwnSearch() || cells.size() != kColorCellCount)
        return;
    MakeFineTables();
    constexpr int shift = kFineCellBits - kLookupCellBits;
    std::vector<uint32_t> coarseCells;
    for (size_t cell = 0; cell < cells.size(); ++cell)
        if (cells[cell])
            coarseCells.push_back(static_cast<uint32_t>(cell));
    // Each part lists whole coarse cells (every fine cell in them), so that
    // no two write the same fine cell; the lists of more than four
    // candidates are gathered after.
    struct TShare {
        std::vector<TCandidate> Lists;
        std::vector<uint32_t> ListedFine;
    };
    constexpr size_t kCoarseCellsPerPart = 256;
    const size_t parts = std::clamp<size_t>(coarseCells.size() / kCoarseCellsPerPart, 1, PartThreadCount());
    std::vector<TShare> shares(parts);
    RunParts(parts, [&](size_t part) {
        TShare& share = shares[part];
        TScratch scratch;
        std::vector<TCandidate> coarse;
        for (size_t i = part; i < coarseCells.size(); i += parts) {
            const size_t cell = coarseCells[i];
            coarse.clear();
            ListCoarseCell(cell, coarse, scratch);
            const size_t red = (cell >> (2 * kLookupCellBits)) << shift,
                         green = ((cell >> kLookupCellBits) & ((1 << kLookupCellBits) - 1)) << shift,
                         blue = (cell & ((1 << kLookupCellBits) - 1)) << shift;
            for (size_t r = red; r < red + (1 << shift); ++r)
                for (size_t g = green; g < green + (1 << shift); ++g)
                    for (size_t b = blue; b < blue + (1 << shift); ++b) {
                        const size_t fine = (r << (2 * kFineCellBits)) | (g << kFineCellBits) | b;
                        if (fineLists_[fine] != kCellNotListed)
                            continue;
                        const uint32_t listed = ListFineCell(fine, coarse.data(), coarse.size(), share.Lists);
                        if (listed != kQuadEntry)
                            share.ListedFine.push_back(static_cast<uint32_t>(fine));
                        fineLists_[fine] = listed;
                    }
        }
    });
    for (TShare& share : shares) {
        const size_t base = fineCandidates_.size();
        const bool fits = base + share.Lists.size() < kMaxListedCandidates;
        for (uint32_t fine : share.ListedFine)
            fineLists_[fine] = fits ? fineLists_[fine] + static_cast<uint32_t>(base << kCountBits) : kSearchPalette;
        if (fits)
            fineCandidates_.insert(fineCandidates_.end(), share.Lists.begin(), share.Lists.end());
    }
}

uint8_t TSlowColorLookup::OwnNearestCoarse(uint8_t red, uint8_t green, uint8_t blue)
{
    size_t count = 0;
    const TCandidate* list = CandidatesOf(LookupCellOf(red, green, blue), count);
    return NearestOf(list, count, red, green, blue);
}

uint8_t TSlowColorLookup::OwnNearest(uint8_t red, uint8_t green, uint8_t blue)
{
    uint8_t index;
    MapRow(std::array<uint8_t, 3>{blue, green, red}.data(), 1, &index);
    return index;
}

template <typename TListCell, typename TSearch>
void TSlowColorLookup::MapPixels(const uint8_t* bgr, int width, uint8_t* indices, TListCell listCell,
                                 TSearch search) const
{
    const uint32_t* lists = fineLists_.data();
    for (int x = 0; x < width; ++x, bgr += 3) {
        const uint8_t red = bgr[2], green = bgr[1], blue = bgr[0];
        const size_t fine = FineCellOf(red, green, blue);
        uint32_t listed = lists[fine];
        if (listed == kCellNotListed) [[unlikely]]
            listed = listCell(fine);
        // Most fine cells have at most four entries that can be nearest.
        if (listed == kQuadEntry) [[likely]] {
            indices[x] = NearestOfQuad(quads_.get() + fine * kQuad, red, green, blue);
        } else if (listed < kQuadEntry) {
            const size_t count = listed & ((1u << kCountBits) - 1);
            indices[x] = NearestOf(fineCandidates_.data() + (listed >> kCountBits), count, red, green, blue);
        } else {
            // Past the lists' room, or not listed while mapping on threads.
            indices[x] = search(listed, TGIFColor{red, green, blue});
        }
    }
}

void TSlowColorLookup::MapRow(const uint8_t* bgr, int width, uint8_t* indices)
{
    MakeFineTables();
    MapPixels(
        bgr, width, indices,
        [this](size_t fine) {
            ListFineCellOf(fine);
            return fineLists_[fine];
        },
        [this](uint32_t listed, TGIFColor color) {
            return listed == kSearchCoarse ? OwnNearestCoarse(color.Red, color.Green, color.Blue)
                                           : static_cast<uint8_t>(NearestPaletteIndex(palette_, color));
        });
}

void TSlowColorLookup::MapListedRow(const uint8_t* bgr, int width, uint8_t* indices) const
{
    const auto wholePalette = [this](uint32_t, TGIFColor color) {
        return static_cast<uint8_t>(NearestPaletteIndex(palette_, color));
    };
    if (fineLists_.empty()) {
        for (int x = 0; x < width; ++x, bgr += 3)
            indices[x] = wholePalette(kSearchPalette, TGIFColor{bgr[2], bgr[1], bgr[0]});
        return;
    }
    MapPixels(
        bgr, width, indices, [](size_t) { return kSearchPalette; }, wholePalette);
}

uint8_t TSlowColorLookup::FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found)
{
    if (palette_.empty()) {
        found = TGIFColor{};
        return 0;
    }
    uint8_t index = 0;
    if (nearest_) {
        // An outside search may be slow: each colour is asked once.
        if (!known_)
            known_ = std::make_unique<uint16_t[]>(size_t{1} << 24);
        uint16_t& known = known_[(size_t{red} << 16) | (size_t{green} << 8) | blue];
        if (known == 0)
            known = static_cast<uint16_t>(
                std::clamp(nearest_(palette_, TGIFColor{red, green, blue}), 0, static_cast<int>(palette_.size()) - 1) +
                1);
        index = static_cast<uint8_t>(known - 1);
    } else {
        index = OwnNearest(red, green, blue);
    }
    found = palette_[index];
    return index;
}

uint8_t TNetscapeColorLookup::FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found)
{
    const int r = (red + 25) / 51, g = (green + 25) / 51, b = (blue + 25) / 51;
    found = TGIFColor{static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)};
    return static_cast<uint8_t>(r * 36 + g * 6 + b);
}

uint8_t TGrayScaleLookup::FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found)
{
    const auto grey = static_cast<uint8_t>((77 * red + 150 * green + 29 * blue) >> 8);
    found = TGIFColor{grey, grey, grey};
    return grey;
}

uint8_t TMonochromeLookup::FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found)
{
    if (77 * red + 150 * green + 29 * blue > 0x7F00) {
        found = TGIFColor{255, 255, 255};
        return 1;
    }
    found = TGIFColor{0, 0, 0};
    return 0;
}

uint8_t TDitherEngine::MapPixel(uint8_t red, uint8_t green, uint8_t blue)
{
    TGIFColor found;
    const uint8_t index = lookup_.FindIndex(red, green, blue, found);
    column_ += direction_;
    return index;
}

void TDitherEngine::StartNextRow()
{
    direction_ = -direction_;
    column_ = direction_ > 0 ? 0 : width_ - 1;
}

namespace {

// One weight of a kernel: rows below the current one (0: this row) and
// columns ahead in the scan direction (negative: behind).
struct TKernelTap {
    int Row;
    int Offset;
    int Weight;
};

struct TKernel {
    int Divisor;
    std::vector<TKernelTap> Taps;
};

const TKernel& KernelOf(TDitherKind kind)
{
    static const std::array<TKernel, 6> kernels = {{
        {16, {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}},
        {42,
         {{0, 1, 8},
          {0, 2, 4},
          {1, -2, 2},
          {1, -1, 4},
          {1, 0, 8},
          {1, 1, 4},
          {1, 2, 2},
          {2, -2, 1},
          {2, -1, 2},
          {2, 0, 4},
          {2, 1, 2},
          {2, 2, 1}}},
        {32,
         {{0, 1, 5},
          {0, 2, 3},
          {1, -2, 2},
          {1, -1, 4},
          {1, 0, 5},
          {1, 1, 4},
          {1, 2, 2},
          {2, -1, 2},
          {2, 0, 3},
          {2, 1, 2}}},
        {48,
         {{0, 1, 7},
          {0, 2, 5},
          {1, -2, 3},
          {1, -1, 5},
          {1, 0, 7},
          {1, 1, 5},
          {1, 2, 3},
          {2, -2, 1},
          {2, -1, 3},
          {2, 0, 5},
          {2, 1, 3},
          {2, 2, 1}}},
        {200,
         {{0, 2, 32},
          {1, -3, 12},
          {1, -1, 26},
          {1, 1, 30},
          {1, 3, 16},
          {2, -2, 12},
          {2, 0, 26},
          {2, 2, 12},
          {3, -3, 5},
          {3, -1, 12},
          {3, 1, 12},
          {3, 3, 5}}},
        {32, {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}},
    }};
    return kernels[static_cast<size_t>(kind) - 1];
}

// Error rows of width plus guard cells on both sides, per channel, one for
// the current row and one for each row the kernel reaches below it; they
// rotate at each row, the oldest cleared.
class TErrorDiffusionDitherer : public TDitherEngine {
public:
    TErrorDiffusionDitherer(int width, TColorLookup& lookup, const TKernel& kernel)
        : TDitherEngine(width, lookup), kernel_(kernel)
    {
        for (const TKernelTap& tap : kernel.Taps) {
            rows_ = std::max(rows_, tap.Row + 1);
            guard_ = std::max(guard_, std::abs(tap.Offset));
        }
        span_ = static_cast<size_t>(width) + 2 * static_cast<size_t>(guard_);
        errors_.assign(span_ * 3 * static_cast<size_t>(rows_), 0);
    }

    uint8_t MapPixel(uint8_t red, uint8_t green, uint8_t blue) override
    {
        const int input[3] = {red, green, blue};
        int value[3];
        const size_t cell = static_cast<size_t>(column_ + guard_);
        for (int channel = 0; channel < 3; ++channel) {
            const int accumulated = Errors(0, channel)[cell];
            value[channel] = std::clamp(input[channel] + (accumulated + kernel_.Divisor / 2) / kernel_.Divisor, 0, 255);
        }
        TGIFColor found;
        const uint8_t index = lookup_.FindIndex(static_cast<uint8_t>(value[0]), static_cast<uint8_t>(value[1]),
                                                static_cast<uint8_t>(value[2]), found);
        const int mapped[3] = {found.Red, found.Green, found.Blue};
        for (int channel = 0; channel < 3; ++channel) {
            const int error = value[channel] - mapped[channel];
            if (error == 0)
                continue;
            for (const TKernelTap& tap : kernel_.Taps)
                Errors(tap.Row, channel)[static_cast<ptrdiff_t>(cell) + tap.Offset * direction_] += tap.Weight * error;
        }
        column_ += direction_;
        return index;
    }

    void StartNextRow() override
    {
        for (int channel = 0; channel < 3; ++channel)
            std::fill_n(Errors(0, channel), span_, 0);
        current_ = (current_ + 1) % rows_;
        TDitherEngine::StartNextRow();
    }

private:
    int* Errors(int below, int channel)
    {
        const size_t row = static_cast<size_t>((current_ + below) % rows_);
        return errors_.data() + (row * 3 + static_cast<size_t>(channel)) * span_;
    }

    const TKernel& kernel_;
    int rows_ = 1;
    int guard_ = 0;
    size_t span_ = 0;
    int current_ = 0;
    std::vector<int> errors_;
};

}  // namespace

std::unique_ptr<TDitherEngine> CreateDitherEngine(TDitherKind kind, int width, TColorLookup& lookup)
{
    if (kind == TDitherKind::dkNearest)
        return std::make_unique<TDitherEngine>(width, lookup);
    if (static_cast<int>(kind) < 0 || static_cast<int>(kind) > 6)
        return nullptr;
    return std::make_unique<TErrorDiffusionDitherer>(width, lookup, KernelOf(kind));
}

struct TColorQuantizer::TNode {
    bool Leaf = false;
    uint8_t Level = 0;
    // The cell of the first colour that came through the node: its region
    // is the cells sharing the node's level of leading bits.
    uint16_t Cell = 0;
    uint64_t PixelCount = 0;
    // 64-bit: one colour over the whole of a large picture overflows 32 bits.
    uint64_t Red = 0, Green = 0, Blue = 0;
    TNode* NextReducible = nullptr;
    std::array<std::unique_ptr<TNode>, 8> Children;
};

namespace {
// The cell of a colour: its leading kCellBits bits per channel.
constexpr int kCellBits = kColorCellBits;
uint16_t CellOf(uint8_t red, uint8_t green, uint8_t blue)
{
    constexpr int shift = 8 - kCellBits;
    return static_cast<uint16_t>(((red >> shift) << (2 * kCellBits)) | ((green >> shift) << kCellBits) |
                                 (blue >> shift));
}
}  // namespace

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : reducible_(static_cast<size_t>(std::clamp(colorBits, 1, 8)), nullptr), leafOfCell_(kColorCellCount, nullptr),
      covered_(kColorCellCount, 0), cellsMet_(kColorCellCount, 0), maxColors_(std::max(1, maxColors)),
      colorBits_(std::clamp(colorBits, 1, 8))
{
    root_.reset(NewNode(0, 0));
}

TColorQuantizer::~TColorQuantizer() = default;

TColorQuantizer::TNode* TColorQuantizer::NewNode(int level, uint16_t cell)
{
    auto* node = new TNode;
    node->Level = static_cast<uint8_t>(level);
    node->Cell = cell;
    if (level == colorBits_) {
        node->Leaf = true;
        ++leafCount_;
    } else {
        node->NextReducible = reducible_[static_cast<size_t>(level)];
        reducible_[static_cast<size_t>(level)] = node;
    }
    return node;
}

void TColorQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue)
{
    // A colour whose cell lies inside one leaf goes straight to it: the walk
    // would end there and make no node, so nothing else changes.
    const uint16_t cell = CellOf(red, green, blue);
    TNode* node = leafOfCell_[cell];
    if (!node) {
        node = root_.get();
        for (int level = 0; !node->Leaf; ++level) {
            const int shift = 7 - level;
            const int child = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
            if (!node->Children[static_cast<size_t>(child)])
                node->Children[static_cast<size_t>(child)].reset(NewNode(level + 1, cell));
            node = node->Children[static_cast<size_t>(child)].get();
        }
        if (node->Level <= kCellBits)
            Cover(cell, node);
    }
    ++node->PixelCount;
    node->Red += red;
    node->Green += green;
    node->Blue += blue;
    while (leafCount_ > maxColors_)
        Reduce();
}

void TColorQuantizer::Cover(size_t cell, TNode* leaf)
{
    leafOfCell_[cell] = leaf;
    covered_[cell] = 1;
}

void TColorQuantizer::AddImage(const TBgrImage& image)
{
    // AddColor for every pixel in order, but a colour whose cell lies inside
    // a leaf is only counted in its cell: that leaf, or the one it is folded
    // into later (cells only ever come to lie inside leaves, never leave
    // them), is the one the cell's counts belong to at the end, and the walk
    // would have made no node. Per cell two words: the count and the red
    // sum, the green and the blue sum, 32 bits each, handed to the leaves
    // before 2^24 pixels could overflow them.
    struct TCellSums {
        uint64_t CountRed, GreenBlue;
    };
    constexpr uint64_t kLowWord = 0xFFFFFFFF;
    constexpr size_t kPixelsBeforeHandOver = size_t{1} << 24;
    std::vector<TCellSums> cells(covered_.size(), TCellSums{});
    const auto handOver = [&] {
        for (size_t cell = 0; cell < cells.size(); ++cell) {
            TCellSums& sums = cells[cell];
            if (sums.CountRed == 0)
                continue;
            cellsMet_[cell] = 1;
            TNode& leaf = *leafOfCell_[cell];
            leaf.PixelCount += sums.CountRed >> 32;
            leaf.Red += sums.CountRed & kLowWord;
            leaf.Green += sums.GreenBlue >> 32;
            leaf.Blue += sums.GreenBlue & kLowWord;
            sums = TCellSums{};
        }
    };
    const uint8_t* covered = covered_.data();
    TCellSums* sums = cells.data();
    const size_t width = static_cast<size_t>(std::max(image.Width, 0));
    size_t counted = 0;
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* pixel = image.Row(y);
        for (size_t x = 0; x < width;) {
            if (counted == kPixelsBeforeHandOver) {
                handOver();
                counted = 0;
            }
            const size_t run = std::min(width - x, kPixelsBeforeHandOver - counted);
            for (const uint8_t* end = pixel + 3 * run; pixel != end; pixel += 3) {
                const uint8_t red = pixel[2], green = pixel[1], blue = pixel[0];
                const uint16_t cell = CellOf(red, green, blue);
                if (covered[cell]) [[likely]] {
                    TCellSums& cellSums = sums[cell];
                    cellSums.CountRed += (uint64_t{1} << 32) | red;
                    cellSums.GreenBlue += (uint64_t{green} << 32) | blue;
                } else {
                    cellsMet_[cell] = 1;
                    AddColor(red, green, blue);
                }
            }
            x += run;
            counted += run;
        }
    }
    handOver();
}

void TColorQuantizer::CoverCells(TNode& leaf)
{
    // The cells whose leading Level bits per channel are the leaf's; the
    // leaves folded into it covered some of them and are gone.
    const int free = kCellBits - leaf.Level;
    const int mask = ((1 << kCellBits) - 1) & ~((1 << free) - 1);
    const int red = (leaf.Cell >> (2 * kCellBits)) & mask, green = (leaf.Cell >> kCellBits) & mask,
              blue = leaf.Cell & mask;
    for (int r = 0; r < (1 << free); ++r)
        for (int g = 0; g < (1 << free); ++g)
            for (int b = 0; b < (1 << free); ++b)
                Cover(static_cast<size_t>(((red | r) << (2 * kCellBits)) | ((green | g) << kCellBits) | (blue | b)),
                      &leaf);
}

void TColorQuantizer::Reduce()
{
    int level = colorBits_ - 1;
    while (level > 0 && !reducible_[static_cast<size_t>(level)])
        --level;
    TNode* node = reducible_[static_cast<size_t>(level)];
    if (!node)
        return;
    reducible_[static_cast<size_t>(level)] = node->NextReducible;
    int children = 0;
    for (auto& child : node->Children) {
        if (!child)
            continue;
        node->PixelCount += child->PixelCount;
        node->Red += child->Red;
        node->Green += child->Green;
        node->Blue += child->Blue;
        child.reset();
        ++children;
    }
    node->Leaf = true;
    leafCount_ -= children - 1;
    if (node->Level <= kCellBits)
        CoverCells(*node);
}

TGIFPalette TColorQuantizer::Palette() const
{
    TGIFPalette palette;
    std::vector<const TNode*> stack{root_.get()};
    while (!stack.empty()) {
        const TNode* node = stack.back();
        stack.pop_back();
        if (node->Leaf) {
            if (node->PixelCount == 0)
                palette.push_back({});
            else
                palette.push_back({static_cast<uint8_t>(node->Red / node->PixelCount),
                                   static_cast<uint8_t>(node->Green / node->PixelCount),
                                   static_cast<uint8_t>(node->Blue / node->PixelCount)});
            continue;
        }
        for (size_t i = 8; i-- > 0;)
            if (node->Children[i])
                stack.push_back(node->Children[i].get());
    }
    return palette;
}

TGIFPalette BuildQuantizedPalette(const TBgrImage& image, int maxColors, int colorBits, const TGIFPalette* systemColors,
                                  TColorCells* cellsMet)
{
    const bool withSystem = systemColors && systemColors->size() >= 20;
    TColorQuantizer quantizer(withSystem ? 236 : maxColors, colorBits);
    quantizer.AddImage(image);
    if (cellsMet)
        *cellsMet = quantizer.CellsMet();
    TGIFPalette colors = quantizer.Palette();
    TGIFPalette palette(withSystem ? 256 : static_cast<size_t>(maxColors));
    if (withSystem) {
        std::copy_n(systemColors->begin(), 10, palette.begin());
        std::copy_n(systemColors->end() - 10, 10, palette.end() - 10);
        std::copy_n(colors.begin(), std::min<size_t>(colors.size(), 236), palette.begin() + 10);
    } else {
        std::copy_n(colors.begin(), std::min(colors.size(), palette.size()), palette.begin());
    }
    return palette;
}

TGIFPalette WebPalette216()
{
    TGIFPalette palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back(
                    {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)});
    return palette;
}

TGIFPalette GrayPalette256()
{
    TGIFPalette palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)});
    return palette;
}

TGIFPalette GrayPalette4()
{
    return {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
}

TGIFPalette BlackWhitePalette()
{
    return {{0, 0, 0}, {255, 255, 255}};
}

TReducedImage ReduceColors(const TBgrImage& image, TColorReductionMethod method, TDitherKind dither, int reductionBits,
                           const TReductionPalettes& palettes)
{
    TReducedImage result;
    TGIFPalette palette;
    TColorCells cellsMet;
    switch (method) {
    case TColorReductionMethod::crmSystem20:
        palette = palettes.System20;
        break;
    case TColorReductionMethod::crmHalftone256:
        palette = palettes.Halftone;
        break;
    case TColorReductionMethod::crmGray4:
        palette = GrayPalette4();
        break;
    case TColorReductionMethod::crmMonochrome:
        palette = BlackWhitePalette();
        break;
    case TColorReductionMethod::crmGray256:
        palette = GrayPalette256();
        break;
    case TColorReductionMethod::crmWebCube216:
        palette = WebPalette216();
        break;
    case TColorReductionMethod::crmQuantize:
        palette = BuildQuantizedPalette(image, 1 << std::clamp(reductionBits, 1, 8), 8, nullptr, &cellsMet);
        break;
    case TColorReductionMethod::crmQuantizeSystem:
        palette = BuildQuantizedPalette(image, 256, 8, &palettes.System20, &cellsMet);
        break;
    case TColorReductionMethod::crmCustomPalette:
        palette = palettes.Custom;
        break;
    default:
        return result;  // crmNone and methods out of range
    }
    if (palette.size() > 256)
        palette.resize(256);
    std::unique_ptr<TColorLookup> lookup;
    if (method == TColorReductionMethod::crmMonochrome)
        lookup = std::make_unique<TMonochromeLookup>();
    else if (method == TColorReductionMethod::crmGray256)
        lookup = std::make_unique<TGrayScaleLookup>();
    else if (method == TColorReductionMethod::crmWebCube216)
        lookup = std::make_unique<TNetscapeColorLookup>();
    else if (!palette.empty())
        lookup = std::make_unique<TSlowColorLookup>(palette, palettes.Nearest);
    if (!lookup)
        return result;
    std::unique_ptr<TDitherEngine> engine = CreateDitherEngine(dither, image.Width, *lookup);
    if (!engine)
        return result;
    result.Indices.resize(static_cast<size_t>(image.Width) * image.Height);
    auto* slow = dynamic_cast<TSlowColorLookup*>(lookup.get());
    if (dither == TDitherKind::dkNearest && slow && slow->HasOwnSearch()) {
        // Without dithering a pixel's index depends on the pixel alone: the
        // cells of the picture's colours are listed once, then bands of rows
        // are mapped on threads of their own, straight, without the engine's
        // calls per pixel.
        slow->ListCells(cellsMet.empty() ? ColorCellsOf(image) : cellsMet);
        size_t bands = 1;
        ForEachBand(image, bands, [&](int first, int end, size_t) {
            for (int y = first; y < end; ++y)
                slow->MapListedRow(image.Row(y), image.Width,
                                   result.Indices.data() + static_cast<size_t>(y) * image.Width);
        });
        result.Palette = std::move(palette);
        return result;
    }
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* source = image.Row(y);
        uint8_t* target = result.Indices.data() + static_cast<size_t>(y) * image.Width;
        for (int x = engine->Column(); x >= 0 && x < image.Width; x = engine->Column())
            target[x] = engine->MapPixel(source[3 * x + 2], source[3 * x + 1], source[3 * x]);
        engine->StartNextRow();
    }
    result.Palette = std::move(palette);
    return result;
}

}  // namespace qrv
