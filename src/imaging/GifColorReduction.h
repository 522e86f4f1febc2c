#pragma once
// Colour reduction of true-colour pictures for GIF frames: colour lookups
// that map a colour to a palette index, dither engines that walk a row
// (serpentine) and spread the mapping error, the octree quantiser that
// builds an optimised palette, and ReduceColors that joins them. Pixels come
// in as rows of blue, green, red bytes. Portable: the system's palettes
// (its 20 colours, the halftone palette) and its nearest-entry search are
// handed in by the caller.

#include "imaging/GifStream.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace qrv {

enum class TColorReductionMethod {
    crmNone,
    crmSystem20,
    crmHalftone256,
    crmGray4,
    crmMonochrome,
    crmGray256,
    crmWebCube216,
    crmQuantize,
    crmQuantizeSystem,
    crmCustomPalette,
};

enum class TDitherKind {
    dkNearest,
    dkFloydSteinberg,
    dkStucki,
    dkSierra,
    dkJarvisJudiceNinke,
    dkStevensonArce,
    dkBurkes,
};

using TGIFPalette = std::vector<TGIFColor>;

// The cells of colours: their leading 5 bits per channel, red highest. A
// picture's cells, 1 for each cell its colours fall in.
constexpr int kColorCellBits = 5;
constexpr size_t kColorCellCount = size_t{1} << (3 * kColorCellBits);
using TColorCells = std::vector<uint8_t>;

// A true-colour picture: rows (top-down) of width blue, green, red triples.
struct TBgrImage {
    int Width = 0;
    int Height = 0;
    const uint8_t* Pixels = nullptr;
    size_t Stride = 0;
    const uint8_t* Row(int y) const { return Pixels + Stride * static_cast<size_t>(y); }
};

// The picture's cells, found on several threads when it is large.
TColorCells ColorCellsOf(const TBgrImage& image);

// Maps a colour to a palette index and gives the colour of that index.
class TColorLookup {
public:
    virtual ~TColorLookup() = default;
    virtual int Colors() const = 0;
    virtual uint8_t FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found) = 0;
};

// The index of the palette's entry nearest to a colour.
using TNearestIndex = std::function<int(const TGIFPalette& palette, TGIFColor color)>;
// The entry of the least squared distance (the first of equal ones).
int NearestPaletteIndex(const TGIFPalette& palette, TGIFColor color);

// Any palette (up to 256 entries) through a nearest-entry search: the one
// given (each colour's answer kept, so that a colour is asked for once), else
// its own with NearestPaletteIndex's answers, which searches only the entries
// that can be nearest in the colour's cell (cells of 6 bits per channel,
// listed from those of 5 bits: at the cell's first colour, or all at once
// for a picture's cells).
class TSlowColorLookup : public TColorLookup {
public:
    explicit TSlowColorLookup(TGIFPalette palette, TNearestIndex nearest = nullptr);
    int Colors() const override { return static_cast<int>(palette_.size()); }
    uint8_t FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found) override;
    // Whether no search was given, so that OwnNearest answers.
    bool HasOwnSearch() const { return !nearest_ && !palette_.empty(); }
    // The own search's index for the colour (the palette must have entries).
    uint8_t OwnNearest(uint8_t red, uint8_t green, uint8_t blue);
    // OwnNearest for each pixel of a row of blue, green, red triples.
    void MapRow(const uint8_t* bgr, int width, uint8_t* indices);
    // Lists (on several threads) every cell of the own search that lies in
    // the cells given, so that MapListedRow answers their colours at once.
    void ListCells(const TColorCells& cells);
    // MapRow without listing anything: several threads may map at once.
    // A colour outside the cells listed is searched in the whole palette.
    void MapListedRow(const uint8_t* bgr, int width, uint8_t* indices) const;

private:
    struct TCandidate {
        int Nearest;  // the squared distance to the nearest colour of the cell
        TGIFColor Color;
        uint8_t Index;
    };
    struct TScratch {
        std::vector<int> Nearest, Farthest;
    };
    // The entries that can be nearest in the coarse cell, nearest first,
    // appended to into.
    void ListCoarseCell(size_t cell, std::vector<TCandidate>& into, TScratch& scratch) const;
    // The coarse cell's candidates, listed the first time, and their count.
    const TCandidate* CandidatesOf(size_t cell, size_t& count);

    TGIFPalette palette_;
    TNearestIndex nearest_;
    // Per cell, where its list starts in candidates_ and its length.
    std::vector<uint32_t> cellLists_;
    std::vector<TCandidate> candidates_;
    // The palette's channels apart.
    std::vector<int> channels_[3];
    TScratch scratch_;
    // The same for the fine cells, listed from their coarse cell's
    // candidates. ListFineCell gives the fine cell's entry: its quad
    // written, or its list appended to into (its place counted from the
    // start of into). ListFineCellOf lists it as the colours come.
    uint32_t ListFineCell(size_t fine, const TCandidate* coarse, size_t coarseCount, std::vector<TCandidate>& into);
    void ListFineCellOf(size_t fine);
    void MakeFineTables();
    // The row mapped: listCell(fine) gives the entry of a cell not listed,
    // search(entry, colour) answers a cell without a list.
    template <typename TListCell, typename TSearch>
    void MapPixels(const uint8_t* bgr, int width, uint8_t* indices, TListCell listCell, TSearch search) const;
    std::vector<uint32_t> fineLists_;
    std::vector<TCandidate> fineCandidates_;
    // Per fine cell of at most four candidates, those packed.
    std::unique_ptr<uint32_t[]> quads_;
    uint8_t OwnNearestCoarse(uint8_t red, uint8_t green, uint8_t blue);
    // Index + 1 per 24-bit colour (0: not asked yet) for the given search.
    std::unique_ptr<uint16_t[]> known_;
};

// The 216-colour web cube: level (value + 25) / 51 per channel, the
// nearest of 0, 51, ... 255.
class TNetscapeColorLookup : public TColorLookup {
public:
    int Colors() const override { return 216; }
    uint8_t FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found) override;
};

// 256 greys: (77 × red + 150 × green + 29 × blue) / 256.
class TGrayScaleLookup : public TColorLookup {
public:
    int Colors() const override { return 256; }
    uint8_t FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found) override;
};

// Black (0) or white (1): white above a luminance of 0x7F00.
class TMonochromeLookup : public TColorLookup {
public:
    int Colors() const override { return 2; }
    uint8_t FindIndex(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& found) override;
};

// Walks the rows serpentine (even rows left to right, odd rows right to
// left) and maps each pixel; this engine does not dither.
class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup) : lookup_(lookup), width_(width) {}
    virtual ~TDitherEngine() = default;
    virtual uint8_t MapPixel(uint8_t red, uint8_t green, uint8_t blue);
    virtual void StartNextRow();
    int Direction() const { return direction_; }
    int Column() const { return column_; }
    int Width() const { return width_; }

protected:
    TColorLookup& lookup_;
    int width_;
    int direction_ = 1;
    int column_ = 0;
};

// The error-diffusion engines; each spreads (value − mapped value) by its
// kernel over the rows ahead, its error rows allocated once.
std::unique_ptr<TDitherEngine> CreateDitherEngine(TDitherKind kind, int width, TColorLookup& lookup);

// The octree quantiser: every colour added, the tree reduced while it has
// more leaves than the colours asked for, deepest and newest nodes first.
class TColorQuantizer {
public:
    TColorQuantizer(int maxColors, int colorBits);
    ~TColorQuantizer();
    TColorQuantizer(const TColorQuantizer&) = delete;
    TColorQuantizer& operator=(const TColorQuantizer&) = delete;
    void AddColor(uint8_t red, uint8_t green, uint8_t blue);
    // Every pixel added in order, as AddColor does, with the same tree and
    // palette, in one pass: a colour whose cell lies inside a leaf is only
    // counted in its cell, the cells' counts handed to their leaves at the
    // end.
    void AddImage(const TBgrImage& image);
    // The cells of the colours AddImage added.
    const TColorCells& CellsMet() const { return cellsMet_; }
    // The leaves depth first, children 0 to 7 in order.
    TGIFPalette Palette() const;
    int LeafCount() const { return leafCount_; }

private:
    struct TNode;
    void Reduce();
    TNode* NewNode(int level, uint16_t cell);
    void CoverCells(TNode& leaf);
    void Cover(size_t cell, TNode* leaf);

    std::unique_ptr<TNode> root_;
    int leafCount_ = 0;
    std::vector<TNode*> reducible_;
    // Per cell of 5 leading bits per channel, the leaf that holds all of it
    // (one no deeper than level 5), else null.
    std::vector<TNode*> leafOfCell_;
    // 1 per cell that lies inside a leaf: the same as leafOfCell_, small
    // enough to stay in the nearest cache.
    std::vector<uint8_t> covered_;
    TColorCells cellsMet_;
    int maxColors_;
    int colorBits_;
};

// An octree palette of the image's colours: with system colours the 20
// given first (10 at the start, 10 at the end of 256 entries) and 236
// quantised between; else maxColors entries from 0.
// The cells of the image's colours go to cellsMet when given.
TGIFPalette BuildQuantizedPalette(const TBgrImage& image, int maxColors, int colorBits,
                                  const TGIFPalette* systemColors = nullptr, TColorCells* cellsMet = nullptr);

struct TReductionPalettes {
    TGIFPalette System20;  // the system's default palette
    TGIFPalette Halftone;  // its halftone palette
    TGIFPalette Custom;
    // The nearest-entry search of the palettes (null: the lookup's own).
    TNearestIndex Nearest;
};

// The image as indices into a palette; Indices holds Width × Height bytes,
// rows top-down. Empty for crmNone (the caller keeps the true colours), a
// method or dither kind out of range, or a palette without colours.
struct TReducedImage {
    TGIFPalette Palette;
    std::vector<uint8_t> Indices;
};
TReducedImage ReduceColors(const TBgrImage& image, TColorReductionMethod method, TDitherKind dither, int reductionBits,
                           const TReductionPalettes& palettes = {});

// The fixed palettes.
TGIFPalette WebPalette216();
TGIFPalette GrayPalette256();
TGIFPalette GrayPalette4();
TGIFPalette BlackWhitePalette();

}  // namespace qrv
