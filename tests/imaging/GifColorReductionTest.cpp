// Colour reduction for GIF frames: the lookups, the dither engines and the
// octree quantiser on small pixel buffers.
#include "imaging/GifColorReduction.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <set>
#include <tuple>

namespace qrv {
namespace {

// A picture of one colour, or of the pixels given (blue, green, red).
struct TPicture {
    int Width, Height;
    std::vector<uint8_t> Bytes;
    TBgrImage Image() const { return {Width, Height, Bytes.data(), static_cast<size_t>(Width) * 3}; }
};

TPicture Uniform(int width, int height, TGIFColor color)
{
    TPicture picture{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        picture.Bytes.insert(picture.Bytes.end(), {color.Blue, color.Green, color.Red});
    return picture;
}

TPicture Random(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    TPicture picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    for (uint8_t& byte : picture.Bytes)
        byte = static_cast<uint8_t>(random());
    return picture;
}

TEST(GifColorLookups, MapColoursToTheirEntries)
{
    struct TCase {
        const char* Name;
        TColorLookup* Lookup;
        TGIFColor Color;
        int Index;
        TGIFColor Found;
    };
    TNetscapeColorLookup web;
    TGrayScaleLookup grey;
    TMonochromeLookup mono;
    TSlowColorLookup slow({{0, 0, 0}, {200, 10, 10}, {10, 200, 10}});
    const TCase cases[] = {
        {"web: 25 is nearer 0", &web, {25, 25, 25}, 0, {0, 0, 0}},
        {"web: 26 is nearer 51", &web, {26, 47, 0}, 36 + 6, {51, 51, 0}},
        {"web: white", &web, {255, 255, 255}, 215, {255, 255, 255}},
        {"grey: luminance", &grey, {255, 0, 0}, 76, {76, 76, 76}},
        {"mono: white", &mono, {255, 255, 255}, 1, {255, 255, 255}},
        {"mono: 127 is black", &mono, {127, 127, 127}, 0, {0, 0, 0}},
        {"mono: 128 is white", &mono, {128, 128, 128}, 1, {255, 255, 255}},
        {"slow: nearest entry", &slow, {180, 40, 30}, 1, {200, 10, 10}},
        {"slow: the same answer again", &slow, {180, 40, 30}, 1, {200, 10, 10}},
    };
    for (const TCase& c : cases) {
        TGIFColor found;
        EXPECT_EQ(c.Lookup->FindIndex(c.Color.Red, c.Color.Green, c.Color.Blue, found), c.Index) << c.Name;
        EXPECT_EQ(found, c.Found) << c.Name;
    }
}

TEST(GifColorLookups, SlowLookupAsksTheInjectedSearchOncePerColour)
{
    int asked = 0;
    TSlowColorLookup lookup({{1, 2, 3}, {4, 5, 6}}, [&](const TGIFPalette&, TGIFColor color) {
        ++asked;
        return color.Red > 100 ? 1 : 0;
    });
    TGIFColor found;
    EXPECT_EQ(lookup.FindIndex(200, 0, 0, found), 1);
    EXPECT_EQ(lookup.FindIndex(200, 0, 0, found), 1);
    EXPECT_EQ(lookup.FindIndex(0, 0, 0, found), 0);
    EXPECT_EQ(found, (TGIFColor{1, 2, 3}));
    EXPECT_EQ(asked, 2);
}

TEST(GifColorLookups, SlowLookupFindsThePlainSearchsEntry)
{
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        // Few levels, so that equal distances and equal entries occur.
        TGIFPalette palette(1 + random() % 256);
        for (TGIFColor& entry : palette)
            entry = {static_cast<uint8_t>(random() % 8 * 36), static_cast<uint8_t>(random() % 8 * 36),
                     static_cast<uint8_t>(random() % 8 * 36)};
        TSlowColorLookup lookup(palette);
        for (int i = 0; i < 500; ++i) {
            const TGIFColor color{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                                  static_cast<uint8_t>(random())};
            TGIFColor found;
            ASSERT_EQ(lookup.FindIndex(color.Red, color.Green, color.Blue, found), NearestPaletteIndex(palette, color))
                << round << ", " << i;
        }
    }
}

TEST(GifDitherEngines, ScanSerpentine)
{
    TMonochromeLookup lookup;
    for (int kind = 0; kind <= 6; ++kind) {
        auto engine = CreateDitherEngine(static_cast<TDitherKind>(kind), 5, lookup);
        ASSERT_TRUE(engine);
        for (int row = 0; row < 4; ++row) {
            std::vector<int> columns;
            for (int x = engine->Column(); x >= 0 && x < 5; x = engine->Column()) {
                columns.push_back(x);
                engine->MapPixel(0, 0, 0);
            }
            const std::vector<int> expected =
                row % 2 ? std::vector<int>{4, 3, 2, 1, 0} : std::vector<int>{0, 1, 2, 3, 4};
            EXPECT_EQ(columns, expected) << "kind " << kind << " row " << row;
            engine->StartNextRow();
        }
    }
    EXPECT_FALSE(CreateDitherEngine(static_cast<TDitherKind>(7), 5, lookup));
}

TEST(GifDitherEngines, KeepAColourOnThePaletteAndSpreadTheErrorOfOthers)
{
    for (int kind = 0; kind <= 6; ++kind) {
        const auto dither = static_cast<TDitherKind>(kind);
        // On the web cube: every pixel stays on its entry.
        const TReducedImage onPalette =
            ReduceColors(Uniform(9, 7, {102, 51, 204}).Image(), TColorReductionMethod::crmWebCube216, dither, 8);
        EXPECT_EQ(onPalette.Indices, std::vector<uint8_t>(63, 2 * 36 + 1 * 6 + 4)) << "kind " << kind;
        // Mid grey to black and white: nearest gives one entry, the
        // diffusers a mixture of about half white.
        const TReducedImage grey =
            ReduceColors(Uniform(32, 32, {128, 128, 128}).Image(), TColorReductionMethod::crmMonochrome, dither, 8);
        const auto whites = std::count(grey.Indices.begin(), grey.Indices.end(), 1);
        if (dither == TDitherKind::dkNearest)
            EXPECT_EQ(whites, 1024);
        else
            EXPECT_NEAR(whites, 512, 40) << "kind " << kind;
    }
}

TEST(GifReduceColors, WithoutDitherEveryPixelGetsItsNearestEntry)
{
    // Palettes of few levels (equal distances, equal entries) and of many;
    // pictures of noise and of a gradient.
    std::mt19937 random(3);
    for (const int levels : {4, 256}) {
        TReductionPalettes palettes;
        palettes.Custom.resize(1 + random() % 256);
        for (TGIFColor& entry : palettes.Custom)
            entry = {static_cast<uint8_t>(random() % levels * (255 / (levels - 1))),
                     static_cast<uint8_t>(random() % levels * (255 / (levels - 1))),
                     static_cast<uint8_t>(random() % levels * (255 / (levels - 1)))};
        TPicture gradient{64, 48, {}};
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                gradient.Bytes.insert(gradient.Bytes.end(), {uint8_t(x * 4), uint8_t(y * 5), uint8_t(x + y)});
        for (const TPicture& picture : {Random(64, 48, 4), gradient}) {
            const TReducedImage reduced = ReduceColors(picture.Image(), TColorReductionMethod::crmCustomPalette,
                                                       TDitherKind::dkNearest, 8, palettes);
            ASSERT_EQ(reduced.Indices.size(), 64u * 48);
            for (size_t i = 0; i < reduced.Indices.size(); ++i) {
                const TGIFColor color{picture.Bytes[3 * i + 2], picture.Bytes[3 * i + 1], picture.Bytes[3 * i]};
                ASSERT_EQ(reduced.Indices[i], NearestPaletteIndex(palettes.Custom, color)) << levels << ", pixel " << i;
            }
        }
    }
}

TEST(GifReduceColors, ABigPictureMappedInBandsGetsTheNearestEntries)
{
    // Large enough for several bands of rows, each mapped on its own thread.
    constexpr int kWidth = 1600, kHeight = 1400;
    std::mt19937 random(9);
    TReductionPalettes palettes;
    palettes.Custom.resize(24);
    for (TGIFColor& entry : palettes.Custom)
        entry = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random())};
    TPicture picture{kWidth, kHeight, {}};
    picture.Bytes.reserve(size_t{kWidth} * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.Bytes.insert(picture.Bytes.end(),
                                 {uint8_t(x / 7 + random() % 8), uint8_t(y / 6), uint8_t((x + y) / 12 + random() % 8)});
    // A palette of its own, and the octree's of 32 colours (the cells listed
    // as the tree met them).
    for (const auto method : {TColorReductionMethod::crmCustomPalette, TColorReductionMethod::crmQuantize}) {
        const TReducedImage reduced = ReduceColors(picture.Image(), method, TDitherKind::dkNearest, 5, palettes);
        ASSERT_EQ(reduced.Indices.size(), size_t{kWidth} * kHeight);
        for (size_t i = 0; i < reduced.Indices.size(); ++i) {
            const TGIFColor color{picture.Bytes[3 * i + 2], picture.Bytes[3 * i + 1], picture.Bytes[3 * i]};
            ASSERT_EQ(reduced.Indices[i], NearestPaletteIndex(reduced.Palette, color))
                << static_cast<int>(method) << ", pixel " << i;
        }
    }
}

TEST(GifColorLookups, ListedCellsAnswerWithoutListingAndOthersAsThePlainSearch)
{
    std::mt19937 random(17);
    TGIFPalette palette(200);
    for (TGIFColor& entry : palette)
        entry = {static_cast<uint8_t>(random() % 6 * 51), static_cast<uint8_t>(random()),
                 static_cast<uint8_t>(random() % 4 * 85)};
    TSlowColorLookup lookup(palette);
    // Every other cell listed; colours from everywhere.
    TColorCells cells(kColorCellCount, 0);
    for (size_t cell = 0; cell < cells.size(); cell += 2)
        cells[cell] = 1;
    lookup.ListCells(cells);
    std::vector<uint8_t> row;
    for (int i = 0; i < 20000; ++i)
        row.insert(row.end(),
                   {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random())});
    std::vector<uint8_t> indices(row.size() / 3);
    lookup.MapListedRow(row.data(), static_cast<int>(indices.size()), indices.data());
    for (size_t i = 0; i < indices.size(); ++i)
        ASSERT_EQ(indices[i], NearestPaletteIndex(palette, TGIFColor{row[3 * i + 2], row[3 * i + 1], row[3 * i]})) << i;
}

TEST(GifReduceColors, MethodsGiveTheirPalettes)
{
    const TPicture picture = Random(16, 9, 3);
    TReductionPalettes palettes;
    palettes.Custom = {{1, 1, 1}, {250, 250, 250}, {250, 0, 0}};
    struct TCase {
        TColorReductionMethod Method;
        size_t Colors;
    };
    const TCase cases[] = {
        {TColorReductionMethod::crmGray4, 4},     {TColorReductionMethod::crmMonochrome, 2},
        {TColorReductionMethod::crmGray256, 256}, {TColorReductionMethod::crmWebCube216, 216},
        {TColorReductionMethod::crmQuantize, 16}, {TColorReductionMethod::crmCustomPalette, 3},
    };
    for (const TCase& c : cases) {
        const TReducedImage reduced =
            ReduceColors(picture.Image(), c.Method, TDitherKind::dkFloydSteinberg, 4, palettes);
        EXPECT_EQ(reduced.Palette.size(), c.Colors) << static_cast<int>(c.Method);
        ASSERT_EQ(reduced.Indices.size(), 16u * 9) << static_cast<int>(c.Method);
        for (uint8_t index : reduced.Indices)
            ASSERT_LT(index, c.Colors) << static_cast<int>(c.Method);
    }
    // crmNone keeps the true colours: nothing is reduced; without a palette
    // nothing can be.
    EXPECT_TRUE(
        ReduceColors(picture.Image(), TColorReductionMethod::crmNone, TDitherKind::dkStucki, 8).Indices.empty());
    EXPECT_TRUE(
        ReduceColors(picture.Image(), TColorReductionMethod::crmSystem20, TDitherKind::dkNearest, 8).Indices.empty());
}

TEST(GifOctree, KeepsFewColoursExactlyAndReducesMany)
{
    TPicture few{5, 1, {}};
    const TGIFColor colors[] = {{10, 20, 30}, {200, 100, 0}, {10, 20, 30}, {0, 0, 255}, {7, 7, 7}};
    for (const TGIFColor& color : colors)
        few.Bytes.insert(few.Bytes.end(), {color.Blue, color.Green, color.Red});
    const TGIFPalette palette = BuildQuantizedPalette(few.Image(), 256, 8);
    ASSERT_EQ(palette.size(), 256u);
    std::set<std::tuple<int, int, int>> entries;
    for (size_t i = 0; i < 4; ++i)
        entries.insert({palette[i].Red, palette[i].Green, palette[i].Blue});
    EXPECT_EQ(entries, (std::set<std::tuple<int, int, int>>{{10, 20, 30}, {200, 100, 0}, {0, 0, 255}, {7, 7, 7}}));
    for (size_t i = 4; i < 256; ++i)
        ASSERT_EQ(palette[i], TGIFColor{}) << i;

    TColorQuantizer many(16, 8);
    const TPicture noise = Random(64, 64, 9);
    for (size_t i = 0; i < noise.Bytes.size(); i += 3)
        many.AddColor(noise.Bytes[i + 2], noise.Bytes[i + 1], noise.Bytes[i]);
    EXPECT_LE(many.LeafCount(), 16);
    EXPECT_EQ(many.Palette().size(), static_cast<size_t>(many.LeafCount()));
}

// The octree walked for every colour, without the quantiser's shortcuts:
// the answer the quantiser must give.
class TPlainOctree {
public:
    TPlainOctree(int maxColors, int depth) : maxColors_(maxColors), depth_(depth), reducible_(size_t(depth))
    {
        reducible_[0].push_back(&root_);
    }
    void Add(uint8_t red, uint8_t green, uint8_t blue)
    {
        TNode* node = &root_;
        for (int level = 0; !node->Leaf; ++level) {
            const int shift = 7 - level;
            auto& child = node->Children[((red >> shift) & 1) * 4 + ((green >> shift) & 1) * 2 + ((blue >> shift) & 1)];
            if (!child) {
                child = std::make_unique<TNode>();
                if (level + 1 == depth_) {
                    child->Leaf = true;
                    ++leaves_;
                } else {
                    reducible_[size_t(level + 1)].insert(reducible_[size_t(level + 1)].begin(), child.get());
                }
            }
            node = child.get();
        }
        node->Count += 1;
        node->Sum[0] += red, node->Sum[1] += green, node->Sum[2] += blue;
        while (leaves_ > maxColors_) {
            int level = depth_ - 1;
            while (level > 0 && reducible_[size_t(level)].empty())
                --level;
            TNode* folded = reducible_[size_t(level)].front();
            reducible_[size_t(level)].erase(reducible_[size_t(level)].begin());
            int children = 0;
            for (auto& child : folded->Children)
                if (child) {
                    folded->Count += child->Count;
                    for (int c = 0; c < 3; ++c)
                        folded->Sum[c] += child->Sum[c];
                    child.reset();
                    ++children;
                }
            folded->Leaf = true;
            leaves_ -= children - 1;
        }
    }
    TGIFPalette Palette() const
    {
        TGIFPalette palette;
        Collect(root_, palette);
        return palette;
    }

private:
    struct TNode {
        bool Leaf = false;
        uint64_t Count = 0, Sum[3] = {};
        std::unique_ptr<TNode> Children[8];
    };
    static void Collect(const TNode& node, TGIFPalette& palette)
    {
        if (node.Leaf) {
            palette.push_back(node.Count == 0
                                  ? TGIFColor{}
                                  : TGIFColor{uint8_t(node.Sum[0] / node.Count), uint8_t(node.Sum[1] / node.Count),
                                              uint8_t(node.Sum[2] / node.Count)});
            return;
        }
        for (const auto& child : node.Children)
            if (child)
                Collect(*child, palette);
    }
    TNode root_;
    int maxColors_, depth_, leaves_ = 0;
    std::vector<std::vector<TNode*>> reducible_;
};

TEST(GifOctree, GivesThePaletteOfTheTreeWalkedForEveryColour)
{
    // Noise, smooth gradients with runs and a few colours repeated, at
    // several sizes of palette and depths of the tree.
    std::mt19937 random(5);
    const auto noise = [&](int, int) { return TGIFColor{uint8_t(random()), uint8_t(random()), uint8_t(random())}; };
    const auto gradient = [](int x, int y) { return TGIFColor{uint8_t(x / 3), uint8_t(y), uint8_t((x + y) / 4)}; };
    const auto clustered = [&](int, int) {
        const int base = int(random() % 6) * 40;
        return TGIFColor{uint8_t(base + random() % 9), uint8_t(base + random() % 5), uint8_t(255 - base)};
    };
    const std::function<TGIFColor(int, int)> pictures[] = {noise, gradient, clustered};
    for (const auto& picture : pictures)
        for (const auto& [colors, depth] : {std::pair{256, 8}, {16, 8}, {2, 8}, {236, 6}, {8, 3}, {64, 5}}) {
            TColorQuantizer quantizer(colors, depth);
            TPlainOctree plain(colors, depth);
            std::vector<uint8_t> bgr;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 300; ++x) {
                    const TGIFColor color = picture(x, y);
                    quantizer.AddColor(color.Red, color.Green, color.Blue);
                    plain.Add(color.Red, color.Green, color.Blue);
                    bgr.insert(bgr.end(), {color.Blue, color.Green, color.Red});
                }
            ASSERT_EQ(quantizer.Palette(), plain.Palette()) << colors << " colours, depth " << depth;
            TColorQuantizer byImage(colors, depth);
            byImage.AddImage(TBgrImage{300, 200, bgr.data(), 900});
            ASSERT_EQ(byImage.Palette(), plain.Palette()) << colors << " colours, depth " << depth << ", whole image";
        }
}

TEST(GifOctree, ABigPictureGivesThePaletteOfItsPixelsAddedInOrder)
{
    // A gradient with noise: most colours counted in their cells, some
    // walking the tree as it shrinks.
    constexpr int kWidth = 2048, kHeight = 1600;
    std::mt19937 random(11);
    std::vector<uint8_t> bgr;
    bgr.reserve(size_t{kWidth} * kHeight * 3);
    TColorQuantizer inOrder(256, 8);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const auto noise = static_cast<int>(random() % 24);
            const auto red = static_cast<uint8_t>(x / 8 + noise), green = static_cast<uint8_t>(y / 7 + noise / 2),
                       blue = static_cast<uint8_t>((x + y) / 15 + noise);
            inOrder.AddColor(red, green, blue);
            bgr.insert(bgr.end(), {blue, green, red});
        }
    TColorQuantizer byImage(256, 8);
    byImage.AddImage(TBgrImage{kWidth, kHeight, bgr.data(), size_t{kWidth} * 3});
    EXPECT_EQ(byImage.Palette(), inOrder.Palette());
    EXPECT_EQ(byImage.LeafCount(), inOrder.LeafCount());
}

TEST(GifOctree, TwentyMegapixelsOfWhiteQuantiseToWhite)
{
    TColorQuantizer quantizer(256, 8);
    for (int i = 0; i < 20'000'000; ++i)
        quantizer.AddColor(255, 255, 255);
    EXPECT_EQ(quantizer.Palette(), (TGIFPalette{{255, 255, 255}}));
}

TEST(GifOctree, TwentyMegapixelsOfWhiteAddedAsAPictureQuantiseToWhite)
{
    // Counted by cells, whose 32-bit sums must not overflow. Every row is
    // the same one (stride 0).
    const std::vector<uint8_t> white(size_t{5000} * 3, 255);
    TColorQuantizer byImage(256, 8);
    byImage.AddImage(TBgrImage{5000, 4000, white.data(), 0});
    EXPECT_EQ(byImage.Palette(), (TGIFPalette{{255, 255, 255}}));
}

TEST(GifOctree, TellsTheCellsOfThePicturesColours)
{
    const TPicture noise = Random(64, 48, 4);
    TColorQuantizer quantizer(16, 8);
    quantizer.AddImage(noise.Image());
    EXPECT_EQ(quantizer.CellsMet(), ColorCellsOf(noise.Image()));
    TColorCells one(kColorCellCount, 0);
    one[(9 >> 3 << 10) | (99 >> 3 << 5) | (199 >> 3)] = 1;
    EXPECT_EQ(ColorCellsOf(Uniform(3, 3, {9, 99, 199}).Image()), one);
}

TEST(GifOctree, SystemColoursTakeTheEnds)
{
    TGIFPalette system;
    for (int i = 0; i < 20; ++i)
        system.push_back({static_cast<uint8_t>(i), 0, 0});
    const TGIFPalette palette = BuildQuantizedPalette(Uniform(3, 3, {9, 99, 199}).Image(), 256, 8, &system);
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[9], system[9]);
    EXPECT_EQ(palette[10], (TGIFColor{9, 99, 199}));
    EXPECT_EQ(palette[246], system[10]);
    EXPECT_EQ(palette[255], system[19]);
}

}  // namespace
}  // namespace qrv
