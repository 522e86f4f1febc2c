// GIF frames whose pixels are DIB sections: decoded rows land in a bitmap
// GDI draws directly, each row where GDI shows it.
#include "GifTestSupport.h"

#include "framework/win/Handles.h"
#include "imaging/GifDocument.h"
#include "imaging/win/DibSectionAllocator.h"

#include <gtest/gtest.h>

#include <memory>

namespace qrv::test {
namespace {

TEST(GifDibFrames, DecodedPixelsAreTheSectionGdiShows)
{
    TGIFDocument source;
    MakeRandomGif(source, 13, 7, 16, 5, true);
    const std::string bytes = SaveGifBytes(source);

    auto allocator = std::make_shared<TDibSectionAllocator>();
    TGIFDocument document;
    document.SetAllocator(allocator);
    LoadGifBytes(document, bytes);
    const TGIFFrame& frame = *document.Frames[0];
    ASSERT_EQ(FramePixels(frame), FramePixels(*source.Frames[0]));

    const HBITMAP section = allocator->SectionOf(frame.Row(frame.Height() - 1));
    ASSERT_NE(section, nullptr);
    DIBSECTION info{};
    ASSERT_EQ(GetObjectW(section, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.dsBm.bmWidth, 13);
    EXPECT_EQ(info.dsBm.bmHeight, 7);
    EXPECT_EQ(info.dsBm.bmBitsPixel, 8);

    // With the frame's table as the section's colours, GDI shows each pixel
    // in its colour.
    const TGIFColorMap& table = frame.ActiveColorMap();
    RGBQUAD colors[256] = {};
    for (int i = 0; i < table.Count(); ++i)
        colors[i] = {table[i].Blue, table[i].Green, table[i].Red, 0};
    TOwnDC dc(CreateCompatibleDC(nullptr));
    TSelectObject selected(dc.Get(), section);
    ASSERT_EQ(SetDIBColorTable(dc.Get(), 0, 256, colors), 256u);
    for (uint32_t y = 0; y < frame.Height(); ++y) {
        for (uint32_t x = 0; x < frame.Width(); ++x) {
            const TGIFColor color = table[frame.Row(y)[x]];
            ASSERT_EQ(GetPixel(dc.Get(), static_cast<int>(x), static_cast<int>(y)),
                      RGB(color.Red, color.Green, color.Blue))
                << x << "," << y;
        }
    }
}

TEST(GifDibFrames, FramesGiveTheirSectionsBack)
{
    auto allocator = std::make_shared<TDibSectionAllocator>();
    HBITMAP section = nullptr;
    const uint8_t* pixels = nullptr;
    {
        TGIFDocument document;
        document.SetAllocator(allocator);
        MakeRandomGif(document, 5, 5, 4, 1);
        pixels = document.Frames[0]->Row(4);
        section = allocator->SectionOf(pixels);
        ASSERT_NE(section, nullptr);
    }
    EXPECT_EQ(allocator->SectionOf(pixels), nullptr);
    DIBSECTION info{};
    EXPECT_EQ(GetObjectW(section, sizeof info, &info), 0);
}

}  // namespace
}  // namespace qrv::test
