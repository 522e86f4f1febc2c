#include "editor/win/EasyControlBackground.h"

#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

COLORREF PixelOf(const TBitmap& bitmap, int x, int y)
{
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), bitmap.Handle());
    return GetPixel(dc.Get(), x, y);
}

// Gives the background a 2 x 2 picture: red left column, green right column.
void TwoColumns(TBitmap& bitmap)
{
    TBitmap picture;
    picture.SetSize(2, 2, clRed);
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), picture.Handle());
        SetPixel(dc.Get(), 1, 0, RGB(0, 255, 0));
        SetPixel(dc.Get(), 1, 1, RGB(0, 255, 0));
    }
    bitmap.Assign(&picture);
}

}  // namespace

TEST(EasyControlBackground, GradientsAcrossAndDown)
{
    TEasyControlBackground background;
    int invalidated = 0;
    background.OnInvalidate = [&] { ++invalidated; };
    EXPECT_FALSE(background.Active());
    background.SetClientSize(300, 20);
    background.SetOption(TEasyBackgroundOption::bgHorzGradient);
    ASSERT_TRUE(background.Active());
    EXPECT_EQ(invalidated, 2);
    EXPECT_EQ(PixelOf(background.Working(), 0, 10), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(background.Working(), 299, 10), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(background.Working(), 150, 0), PixelOf(background.Working(), 150, 19));

    background.SetOption(TEasyBackgroundOption::bgVertGradient);
    EXPECT_EQ(PixelOf(background.Working(), 0, 0), PixelOf(background.Working(), 299, 0));
    EXPECT_EQ(PixelOf(background.Working(), 0, 19), RGB(0, 0, 0));
    background.SetClientSize(0, 0);
    EXPECT_FALSE(background.Active());
}

TEST(EasyControlBackground, PictureModes)
{
    TEasyControlBackground background;
    background.SetClientSize(7, 4);
    background.SetBrushColor(clWhite);
    background.SetOption(TEasyBackgroundOption::bgTile);
    EXPECT_FALSE(background.Active()) << "no picture";
    TwoColumns(background.Bitmap());
    ASSERT_TRUE(background.Active());
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(PixelOf(background.Working(), x, 3), x % 2 ? RGB(0, 255, 0) : RGB(255, 0, 0)) << x;

    background.SetOption(TEasyBackgroundOption::bgCenter);
    EXPECT_EQ(PixelOf(background.Working(), 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(background.Working(), 2, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(background.Working(), 3, 2), RGB(0, 255, 0));

    background.SetOption(TEasyBackgroundOption::bgStretch);
    EXPECT_EQ(PixelOf(background.Working(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(background.Working(), 6, 3), RGB(0, 255, 0));

    // The painter's row copy takes the same place from the working bitmap.
    TBitmap target;
    target.SetSize(7, 4, clBlack);
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), target.Handle());
        background.PaintTo(dc.Get(), RECT{5, 0, 7, 2});
    }
    EXPECT_EQ(PixelOf(target, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(target, 6, 1), RGB(0, 255, 0));
}

TEST(EasyControlBackground, AssignRebuildsOnce)
{
    TEasyControlBackground source;
    TwoColumns(source.Bitmap());
    source.SetOption(TEasyBackgroundOption::bgTile);
    source.SetGradientStartColor(clRed);
    source.SetGradientEndColor(clWhite);

    TEasyControlBackground copy;
    copy.SetClientSize(4, 4);
    int invalidated = 0;
    copy.OnInvalidate = [&] { ++invalidated; };
    copy.Assign(source);
    EXPECT_EQ(invalidated, 1);
    EXPECT_EQ(copy.Option(), TEasyBackgroundOption::bgTile);
    EXPECT_EQ(copy.GradientStartColor(), clRed);
    EXPECT_EQ(copy.GradientEndColor(), clWhite);
    EXPECT_EQ(PixelOf(copy.Working(), 2, 0), RGB(255, 0, 0));
}
