// The components' own cursors and bitmaps: they load from the program's
// resources and the components show them.

#include "framework/win/Bitmap.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "widgets/win/KyClrBn.h"
#include "widgets/win/KyResources.h"
#include "widgets/win/KySpin.h"
#include "widgets/win/KyThemeCtrls.h"
#include "widgets/win/ToolEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace qrv;

namespace {

constexpr COLORREF kTransparentOlive = RGB(128, 128, 0);

COLORREF BitmapPixel(const TBitmap& bitmap, int x, int y)
{
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), bitmap.Handle());
    return GetPixel(dc.Get(), x, y);
}

// What a control paints, read back pixel by pixel.
template <class Control>
class Painted : public Control {
public:
    using Control::Control;
    std::vector<COLORREF> Snapshot()
    {
        const int w = this->Width(), h = this->Height();
        const TWindowDC screen(nullptr, GetDC(nullptr));
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), w, h));
        const TSelectObject select(memory.Get(), bitmap.Get());
        this->Paint(memory.Get());
        std::vector<COLORREF> pixels;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels.push_back(GetPixel(memory.Get(), x, y));
        return pixels;
    }
};

}  // namespace

TEST(WidgetResources, CursorsAreTheProgramsOwnUnderTheirNumbers)
{
    HCURSOR hand = KyScreenCursor(kKyHandCursor);
    HCURSOR drag = KyScreenCursor(kKyDragCursor);
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(drag, nullptr);
    EXPECT_NE(hand, drag);
    EXPECT_NE(hand, LoadCursorW(nullptr, IDC_HAND)) << "not the system's fallback";
    EXPECT_EQ(KyScreenCursor(kKyHandCursor), hand) << "loaded once";
    EXPECT_EQ(KyScreenCursor(13999), nullptr);

    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    const TGdiObject mask(info.hbmMask), color(info.hbmColor);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u) << "the finger tip";
    EXPECT_EQ(info.yHotspot, 0u);
}

TEST(WidgetResources, FileAndDirectoryEditsShowTheFolderGlyph)
{
    TForm form(nullptr);
    TBitmap folder;
    ASSERT_TRUE(LoadKyBitmap(folder, L"FEDITBMP"));
    auto* file = new TFilenameEdit(&form);
    auto* directory = new TDirectoryEdit(&form);
    for (TCustomComboEdit* edit : std::vector<TCustomComboEdit*>{file, directory}) {
        EXPECT_EQ(edit->GlyphKind(), TGlyphKind::gkDefault);
        TBitmap& glyph = edit->Button()->Glyph();
        ASSERT_EQ(glyph.Width(), folder.Width());
        ASSERT_EQ(glyph.Height(), folder.Height());
        EXPECT_EQ(BitmapPixel(glyph, 6, 6), BitmapPixel(folder, 6, 6)) << "the folder's face";
        EXPECT_EQ(BitmapPixel(glyph, 0, glyph.Height() - 1), kTransparentOlive);
        EXPECT_GE(edit->ButtonWidth(), folder.Width() + 6);
        EXPECT_EQ(edit->Button()->Caption(), L"");
    }

    // Without a glyph of its own the edit shows three dots, 4 high.
    auto* plain = new TCustomComboEdit(&form);
    EXPECT_EQ(plain->GlyphKind(), TGlyphKind::gkEllipsis);
    EXPECT_EQ(plain->Button()->Glyph().Height(), 4);
    EXPECT_EQ(plain->Button()->Glyph().BitsPerPixel(), 1);
    EXPECT_EQ(BitmapPixel(plain->Button()->Glyph(), 0, 1), RGB(0, 0, 0));
    EXPECT_EQ(BitmapPixel(plain->Button()->Glyph(), 2, 1), RGB(255, 255, 255));
    plain->SetGlyphKind(TGlyphKind::gkDefault);
    EXPECT_EQ(plain->Button()->Glyph().Height(), 4) << "no default glyph: the dots";

    // The drop-down look: the system's arrow on a scroll bar's width.
    file->SetGlyphKind(TGlyphKind::gkDropDown);
    EXPECT_FALSE(file->Button()->Glyph().Empty());
    EXPECT_EQ(file->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
}

TEST(WidgetResources, SpinButtonDrawsItsArrowGlyphs)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* button = new Painted<TKySpinButton>(&form);
    button->SetParent(&form);
    button->HandleNeeded();
    ASSERT_EQ(button->Width(), 20);
    TBitmap up, down;
    ASSERT_TRUE(LoadKyBitmap(up, L"KYSPINUP"));
    ASSERT_TRUE(LoadKyBitmap(down, L"KYSPINDOWN"));
    EXPECT_EQ(button->UpGlyph().Width(), up.Width());
    EXPECT_EQ(button->DownGlyph().Height(), down.Height());

    // The up glyph (9 x 6) is centred at (20 / 4 + 1, 20 / 4 + 1): its top
    // left at (2, 3); its arrow's middle is black, its olive margin left out.
    std::vector<COLORREF> face = button->Snapshot();
    const auto at = [&face](int x, int y) { return face[y * 20 + x]; };
    ASSERT_EQ(BitmapPixel(up, 4, 2), RGB(0, 0, 0));
    EXPECT_EQ(at(2 + 4, 3 + 2), RGB(0, 0, 0));
    EXPECT_EQ(at(2, 3), GetSysColor(COLOR_BTNFACE)) << "the transparent margin";
    // The down glyph at (3 * 20 / 4 - 1) - 4, (3 * 20 / 4 - 1) - 3: (10, 11).
    ASSERT_EQ(BitmapPixel(down, 4, 3), RGB(0, 0, 0));
    EXPECT_EQ(at(10 + 4, 11 + 3), RGB(0, 0, 0));

    // A glyph of one's own is drawn in its place; none brings the resource back.
    TBitmap red;  // red inside a white (transparent) edge
    red.SetSize(5, 5, clWhite);
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), red.Handle());
        const TGdiObject brush(CreateSolidBrush(RGB(255, 0, 0)));
        RECT inner{1, 1, 4, 4};
        FillRect(dc.Get(), &inner, static_cast<HBRUSH>(brush.Get()));
    }
    button->SetUpGlyph(&red);
    face = button->Snapshot();
    EXPECT_EQ(at(6, 6), RGB(255, 0, 0));
    EXPECT_EQ(at(4, 4), GetSysColor(COLOR_BTNFACE)) << "its white edge left out";
    button->SetUpGlyph(nullptr);
    EXPECT_EQ(button->UpGlyph().Width(), up.Width());
    EXPECT_EQ(BitmapPixel(button->UpGlyph(), 4, 2), RGB(0, 0, 0));
}

TEST(WidgetResources, ColorButtonDrawsItsArrowPlainOrEmbossed)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* button = new Painted<TKyColorButton>(&form);
    button->SetParent(&form);
    button->HandleNeeded();
    button->SetColor(clWhite);
    // Right of the etched line only the arrow is drawn on the face.
    const auto arrowColors = [button] {
        const std::vector<COLORREF> face = button->Snapshot();
        std::vector<COLORREF> colors;
        for (int y = 4; y < button->Height() - 4; ++y)
            for (int x = button->Width() - 9; x < button->Width() - 3; ++x) {
                const COLORREF pixel = face[y * button->Width() + x];
                if (pixel != GetSysColor(COLOR_BTNFACE))
                    colors.push_back(pixel);
            }
        return colors;
    };
    const std::vector<COLORREF> enabled = arrowColors();
    EXPECT_EQ(std::count(enabled.begin(), enabled.end(), RGB(0, 0, 0)), 9) << "a 5, 3, 1 triangle";
    EXPECT_EQ(std::count(enabled.begin(), enabled.end(), kTransparentOlive), 0);

    button->SetEnabled(false);
    const std::vector<COLORREF> disabled = arrowColors();
    EXPECT_EQ(std::count(disabled.begin(), disabled.end(), RGB(0, 0, 0)), 0);
    EXPECT_EQ(std::count(disabled.begin(), disabled.end(), RGB(128, 128, 128)), 9);
    EXPECT_GT(std::count(disabled.begin(), disabled.end(), RGB(255, 255, 255)), 0) << "the embossed highlight";
    EXPECT_EQ(std::count(disabled.begin(), disabled.end(), kTransparentOlive), 0);
}
