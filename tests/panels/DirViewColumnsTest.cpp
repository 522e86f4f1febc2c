#include "panels/DirViewColumns.h"

#include "panels/DirViewTexts.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TLoadFilter AllFilters()
{
    TLoadFilter filter;
    filter.SelFileSizeFrom = 1;
    filter.SelFileDateTo = 50000;
    filter.SelHidden = TSelAttr::SelNo;
    return filter;
}

TEST(DirColumnsTest, CaptionsByLanguage)
{
    const TLoadFilter none;
    EXPECT_EQ(DirColumnCaptions(kLangGerman, L"*.*", true, none),
              (TDirColumnTexts{L"Name", L"Größe", L"Typ", L"Geändert am", L"Attr"}));
    EXPECT_EQ(DirColumnCaptions(kLangGerman, L"*.txt", true, AllFilters()),
              (TDirColumnTexts{L"Name (*.txt)", L"Größe (gefiltert)", L"Typ", L"Geändert am (gefiltert)",
                               L"Attr (gefiltert)"}));
    EXPECT_EQ(
        DirColumnCaptions(9, L"*.txt", true, AllFilters()),
        (TDirColumnTexts{L"Name (*.txt)", L"Size (filtered)", L"Type", L"Changed (filtered)", L"Attr (filtered)"}));
    // French captions carry the mask but never the filter notes.
    EXPECT_EQ(DirColumnCaptions(kLangFrench, L"*.txt", true, AllFilters()),
              (TDirColumnTexts{L"Nom (*.txt)", L"Taille", L"Type", L"Date", L"Attributs"}));
}

TEST(DirColumnsTest, EachFilterNotesOnlyItsColumn)
{
    TLoadFilter filter;
    filter.SelFileSizeTo = 1000;
    auto captions = DirColumnCaptions(kLangGerman, L"*.txt", false, filter);
    EXPECT_EQ(captions[0], L"Name");
    EXPECT_EQ(captions[1], L"Größe (gefiltert)");
    EXPECT_EQ(captions[3], L"Geändert am");
    EXPECT_EQ(captions[4], L"Attr");
    filter = {};
    filter.SelFileDateFrom = 40000;
    captions = DirColumnCaptions(kLangGerman, L"*.*", true, filter);
    EXPECT_EQ(captions[1], L"Größe");
    EXPECT_EQ(captions[3], L"Geändert am (gefiltert)");
    filter = {};
    filter.SelEncrypted = TSelAttr::SelYes;
    EXPECT_EQ(DirColumnCaptions(kLangGerman, L"*.*", true, filter)[4], L"Attr (gefiltert)");
}

TEST(DirColumnsTest, TilesFallBackToIconsWithoutCommonControls6)
{
    EXPECT_EQ(EffectiveViewStyle(TViewStyleEx::vsxTile, false), TViewStyleEx::vsxIcon);
    EXPECT_EQ(EffectiveViewStyle(TViewStyleEx::vsxTile, true), TViewStyleEx::vsxTile);
    EXPECT_EQ(EffectiveViewStyle(TViewStyleEx::vsxThumb, false), TViewStyleEx::vsxThumb);
}

TEST(DirColumnsTest, ParentArrowPlace)
{
    // Icon view centres the large arrow on a 32x32 icon at (100, 50).
    auto arrow = ParentArrowAt(TViewStyleEx::vsxIcon, 100, 50, 32, 32);
    ASSERT_TRUE(arrow);
    EXPECT_TRUE(arrow->Large);
    EXPECT_EQ(arrow->At, (TPoint2{108, 52}));
    for (TViewStyleEx style :
         {TViewStyleEx::vsxSmallIcon, TViewStyleEx::vsxList, TViewStyleEx::vsxReport, TViewStyleEx::vsxTile}) {
        arrow = ParentArrowAt(style, 4, 20, 32, 32);
        ASSERT_TRUE(arrow);
        EXPECT_FALSE(arrow->Large);
        EXPECT_EQ(arrow->At, (TPoint2{2, 18}));
    }
    EXPECT_FALSE(ParentArrowAt(TViewStyleEx::vsxThumb, 4, 20, 32, 32));
}

TEST(DirColumnsTest, CompressedWinsOverHiddenInTheTextColour)
{
    constexpr uint32_t blue = 0xFF0000, grey = 0x808080, black = 0;
    EXPECT_EQ(ItemTextColor(0x800 | 0x2, blue, grey, black), blue);
    EXPECT_EQ(ItemTextColor(0x2, blue, grey, black), grey);
    EXPECT_EQ(ItemTextColor(0x20, blue, grey, black), black);
}

}  // namespace
