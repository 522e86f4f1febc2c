#include "imaging/GifColorReduction.h"

#include <algorithm>
#include <array>

namespace qrv {

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
    byRed_.resize(palette_.size());
    for (size_t i = 0; i < palette_.size(); ++i)
        byRed_[i] = static_cast<uint8_t>(i);
    std::stable_sort(byRed_.begin(), byRed_.end(),
                     [this](uint8_t a, uint8_t b) { return palette_[a].Red < palette_[b].Red; });
}

int TSlowColorLookup::SortedNearest(TGIFColor color) const
{
    // The entries in order of red, searched outwards from the colour's red
    // until the red difference alone exceeds the best distance; equal
    // distances keep the lowest index, as the plain search does.
    const auto start = std::lower_bound(byRed_.begin(), byRed_.end(), color.Red,
                                        [this](uint8_t entry, uint8_t red) { return palette_[entry].Red < red; });
    int best = 0, bestDistance = INT32_MAX;
    auto consider = [&](uint8_t index) {
        const TGIFColor& entry = palette_[index];
        const int red = entry.Red - color.Red, green = entry.Green - color.Green, blue = entry.Blue - color.Blue;
        const int distance = red * red + green * green + blue * blue;
        if (distance < bestDistance || (distance == bestDistance && index < best)) {
            bestDistance = distance;
            best = index;
        }
        return red * red;
    };
    for (auto up = start; up != byRed_.end(); ++up)
        if (consider(*up) > bestDistance)
            break;
    for (auto down = start; down != byRed_.begin();)
        if (consider(*--down) > bestDistance)
            break;
    return best;
}

uint8_t TSlowColorLookup::FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found)
{
    if (!known_)
        known_ = std::make_unique<uint16_t[]>(size_t{1} << 24);
    uint16_t& known = known_[(size_t{red} << 16) | (size_t{green} << 8) | blue];
    if (known == 0) {
        const TGIFColor color{red, green, blue};
        const int index = std::clamp(nearest_ ? nearest_(palette_, color) : SortedNearest(color), 0,
                                     std::max(0, static_cast<int>(palette_.size()) - 1));
        known = static_cast<uint16_t>(index + 1);
    }
    const uint8_t index = static_cast<uint8_t>(known - 1);
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
    uint64_t PixelCount = 0;
    // 64-bit: one colour over the whole of a large picture overflows 32 bits.
    uint64_t Red = 0, Green = 0, Blue = 0;
    TNode* NextReducible = nullptr;
    std::array<std::unique_ptr<TNode>, 8> Children;
};

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : reducible_(static_cast<size_t>(std::clamp(colorBits, 1, 8)), nullptr), maxColors_(std::max(1, maxColors)),
      colorBits_(std::clamp(colorBits, 1, 8))
{
    root_.reset(NewNode(0));
}

TColorQuantizer::~TColorQuantizer() = default;

TColorQuantizer::TNode* TColorQuantizer::NewNode(int level)
{
    auto* node = new TNode;
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
    TNode* node = root_.get();
    for (int level = 0; !node->Leaf; ++level) {
        const int shift = 7 - level;
        const int child = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
        if (!node->Children[static_cast<size_t>(child)])
            node->Children[static_cast<size_t>(child)].reset(NewNode(level + 1));
        node = node->Children[static_cast<size_t>(child)].get();
    }
    ++node->PixelCount;
    node->Red += red;
    node->Green += green;
    node->Blue += blue;
    while (leafCount_ > maxColors_)
        Reduce();
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

TGIFPalette BuildQuantizedPalette(const TBgrImage& image, int maxColors, int colorBits, const TGIFPalette* systemColors)
{
    const bool withSystem = systemColors && systemColors->size() >= 20;
    TColorQuantizer quantizer(withSystem ? 236 : maxColors, colorBits);
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* row = image.Row(y);
        for (int x = 0; x < image.Width; ++x, row += 3)
            quantizer.AddColor(row[2], row[1], row[0]);
    }
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
        palette = BuildQuantizedPalette(image, 1 << std::clamp(reductionBits, 1, 8), 8);
        break;
    case TColorReductionMethod::crmQuantizeSystem:
        palette = BuildQuantizedPalette(image, 256, 8, &palettes.System20);
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
