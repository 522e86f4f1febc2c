// GIF colour tables through the system's palettes and DIB colour tables.
#include "imaging/win/GifPalette.h"
#include "framework/win/Handles.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

TGIFColorMap SampleTable(int count)
{
    TGIFColorMap table;
    for (int i = 0; i < count; ++i)
        table.Add({static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i % 3 * 100)});
    return table;
}

TEST(GifPalette, ATableExportedToAPaletteAndBackIsEqual)
{
    for (int count : {1, 2, 5, 16, 200, 256}) {
        SCOPED_TRACE(count);
        TGIFColorMap table = SampleTable(count);
        // Duplicates stay apart: the entries are not collapsed.
        if (count == 256)
            table.Delete(255);
        table.Add(table[0]);
        TGdiObject palette(ExportGIFPalette(table));
        PALETTEENTRY first{};
        ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(palette.Get()), 0, 1, &first), 1u);
        EXPECT_EQ(first.peFlags, PC_NOCOLLAPSE);
        TGIFColorMap back;
        ImportGIFPalette(back, static_cast<HPALETTE>(palette.Get()));
        EXPECT_TRUE(back == table);
    }
}

TEST(GifPalette, DibColourTablesAreReadInTheirOrder)
{
    RGBQUAD colors[3] = {{1, 2, 3, 0}, {40, 50, 60, 0}, {255, 0, 128, 0}};
    TGIFColorMap table;
    ImportGIFDibColors(table, colors, 3);
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table[0], (TGIFColor{3, 2, 1}));
    EXPECT_EQ(table[2], (TGIFColor{128, 0, 255}));

    // A whole table from the DIB section selected into a device context.
    struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[256];
    } info{};
    info.Header = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    for (int i = 0; i < 256; ++i)
        info.Colors[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    ImportGIFDibColors(table, info.Colors, 256);
    ASSERT_EQ(table.Count(), 256);
    EXPECT_EQ(table[10], (TGIFColor{5, 245, 10}));
    void* bits = nullptr;
    TGdiObject section(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(section);
    TOwnDC dc(CreateCompatibleDC(nullptr));
    TGIFColorMap fromDc;
    {
        TSelectObject selected(dc.Get(), section.Get());
        EXPECT_TRUE(ImportGIFDCColors(fromDc, dc.Get()));
    }
    EXPECT_TRUE(fromDc == table);
}

}  // namespace
}  // namespace qrv
