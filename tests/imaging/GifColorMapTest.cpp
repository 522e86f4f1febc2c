// The GIF colour table: lookups, additions and deletions, and the
// optimisation that orders it by use and remaps the frames' pixels.
#include "GifTestSupport.h"

#include "imaging/GifDocument.h"

#include <gtest/gtest.h>

namespace qrv::test {
namespace {

constexpr TGIFColor kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kGrey{90, 90, 90};

TEST(GifColorMap, LookupsAdditionsAndDeletions)
{
    TGIFColorMap table;
    TGifRecorder recorder;
    try {
        (void)table.Lookup(0, &recorder, nullptr);
        FAIL() << "looked up";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), L"Color table is empty");
    }
    EXPECT_EQ(table.Add(kRed), 0);
    EXPECT_EQ(table.Add(kGreen), 1);
    EXPECT_EQ(table.Add(kRed), 2);
    EXPECT_EQ(table.AddUnique(kGreen), 1);
    EXPECT_EQ(table.AddUnique(kBlue), 3);
    // Unsorted: the last equal entry; sorted: the first.
    EXPECT_EQ(table.IndexOf(kRed), 2);
    table.Sorted = true;
    EXPECT_EQ(table.IndexOf(kRed), 0);
    EXPECT_EQ(table.IndexOf(kGrey), -1);
    // Adding clears the sort flag.
    table.Add(kGrey);
    EXPECT_FALSE(table.Sorted);

    EXPECT_EQ(table.Lookup(3, &recorder, nullptr), kBlue);
    EXPECT_TRUE(recorder.Warnings.empty());
    EXPECT_EQ(table.Lookup(9, &recorder, nullptr), kRed);
    EXPECT_EQ(recorder.Warnings, std::vector<std::wstring>{L"Invalid color index"});

    table.Delete(1);
    EXPECT_EQ(table.Count(), 4);
    EXPECT_EQ(table[1], kRed);
    EXPECT_EQ(table[3], kGrey);
    EXPECT_THROW(table.Delete(4), GIFException);
    EXPECT_THROW(table.Delete(-1), GIFException);

    while (table.Count() < 256)
        table.Add(kGrey);
    try {
        table.Add(kGreen);
        FAIL() << "added";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), L"Color table overflow");
    }
}

TEST(GifColorMap, BitsOfACount)
{
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {16, 4}, {17, 5}, {256, 8}};
    for (const auto& [count, bits] : cases)
        EXPECT_EQ(GIFColorBits(count), bits) << count;
}

TEST(GifColorMap, WebPalette)
{
    const auto& web = GIFWebPalette();
    EXPECT_EQ(web[0], (TGIFColor{0, 0, 0}));
    EXPECT_EQ(web[1], (TGIFColor{0, 0, 51}));
    EXPECT_EQ(web[6], (TGIFColor{0, 51, 0}));
    EXPECT_EQ(web[36], (TGIFColor{51, 0, 0}));
    EXPECT_EQ(web[215], (TGIFColor{255, 255, 255}));
}

TEST(GifColorMap, OptimisingOrdersByUseRemapsPixelsAndDropsUnusedEntries)
{
    TGIFDocument document;
    document.Header.Width = 4;
    document.Header.Height = 3;
    for (TGIFColor color : {kRed, kGreen, kBlue, kGrey})
        document.Header.ColorMap.Add(color);
    TGIFFrame& frame = document.AddFrame();
    frame.SetSize(4, 3);
    // Blue 5 times, red 4, green 3, grey never.
    SetFramePixels(frame, {2, 2, 2, 2, 2, 0, 0, 0, 0, 1, 1, 1});
    auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(1);
    frame.Extensions.push_back(std::move(control));
    // A frame with a table of its own keeps its pixels.
    TGIFFrame& local = document.AddFrame();
    local.SetSize(3, 1);
    local.ColorMap.Add(kGrey);
    local.ColorMap.Add(kRed);
    SetFramePixels(local, {1, 0, 1});

    document.OptimizeColorMap();
    const TGIFColorMap& table = document.Header.ColorMap;
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table[0], kBlue);
    EXPECT_EQ(table[1], kRed);
    EXPECT_EQ(table[2], kGreen);
    EXPECT_TRUE(table.Sorted);
    EXPECT_EQ(FramePixels(frame), (std::vector<uint8_t>{0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(frame.TransparentColorIndex(), 2);
    EXPECT_EQ(FramePixels(local), (std::vector<uint8_t>{1, 0, 1}));

    // Written with the sort flag, which needs 89a, and read back alike.
    const std::string saved = SaveGifBytes(document);
    EXPECT_EQ(saved.substr(0, 6), "GIF89a");
    EXPECT_EQ(static_cast<uint8_t>(saved[10]) & 0x08, 0x08);
    TGIFDocument again;
    LoadGifBytes(again, saved);
    EXPECT_TRUE(again.Header.ColorMap.Sorted);
    EXPECT_EQ(FramePixels(*again.Frames[0]), FramePixels(frame));

    local.OptimizeColorMap();
    EXPECT_EQ(local.ColorMap[0], kRed);
    EXPECT_EQ(FramePixels(local), (std::vector<uint8_t>{0, 1, 0}));
}

}  // namespace
}  // namespace qrv::test
