// What the controls of the main window take from the settings record.

#include "settings/OptionSettings.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(OptionSettings, WithoutUseColorTheActivePaneFallsBackAndTheChoiceIsKept)
{
    TOptions options;
    options.ActiveColor = 0x123456;
    options.UseColor = false;
    EXPECT_EQ(WindowSettingsFor(options).ActiveColor, kDefaultActiveColor);
    EXPECT_EQ(options.ActiveColor, 0x123456) << "the stored choice stays for the next save";
    options.UseColor = true;
    EXPECT_EQ(WindowSettingsFor(options).ActiveColor, 0x123456);
}

TEST(OptionSettings, PaneColorsOfTheActiveAndTheOtherList)
{
    TOptions options;
    options.ActiveColor = 0x123456;
    options.Color = 0x654321;
    options.UseColor = true;
    EXPECT_EQ(PaneColor(options, true), 0x123456);
    EXPECT_EQ(PaneColor(options, false), 0x654321);
    options.UseColor = false;
    EXPECT_EQ(PaneColor(options, true), kDefaultActiveColor);
    EXPECT_EQ(PaneColor(options, false), kDefaultActiveColor) << "without colours both look alike";
}

TEST(OptionSettings, ThumbnailSpacingOnlyFromAPositiveDistX)
{
    TOptions options;
    const TOptionFacts facts;
    for (int32_t dist : {0, -3}) {
        options.DistX = dist;
        EXPECT_FALSE(ListSettingsFor(options, facts).ThumbSpacing.has_value()) << dist;
    }
    options.DistX = 12;
    EXPECT_EQ(ListSettingsFor(options, facts).ThumbSpacing, 12);
}

TEST(OptionSettings, HiddenFoldersFollowShowHiddenDirs)
{
    TOptions options;
    const TOptionFacts facts;
    options.ShowHiddenDirs = false;
    EXPECT_EQ(ListSettingsFor(options, facts).SelHidden, TSelAttr::SelNo);
    EXPECT_TRUE(ListSettingsFor(options, facts).HideHiddenDirs);
    EXPECT_TRUE(TreeSettingsFor(options, facts).HideHiddenDirs);
    options.ShowHiddenDirs = true;
    EXPECT_EQ(ListSettingsFor(options, facts).SelHidden, TSelAttr::SelDontCare);
    EXPECT_FALSE(ListSettingsFor(options, facts).HideHiddenDirs);
    EXPECT_FALSE(TreeSettingsFor(options, facts).HideHiddenDirs);
}

TEST(OptionSettings, ParentArrowUnlessTrueColourOnXPOrLater)
{
    struct Case {
        uint32_t colors;
        bool xp;
        bool arrow;
    } cases[] = {
        {0x1000000, true, false},
        {0xFFFFFF, true, true},
        {0x1000000, false, true},
        {256, true, true},
    };
    const TOptions options;
    for (const Case& c : cases) {
        TOptionFacts facts;
        facts.DisplayColorCount = c.colors;
        facts.WindowsXPOrLater = c.xp;
        EXPECT_EQ(ListSettingsFor(options, facts).ShowParentArrow, c.arrow) << c.colors << " " << c.xp;
    }
}

TEST(OptionSettings, SpecialTextColoursOnlyWhenChosenAndOnNT)
{
    TOptions options;
    options.CompressedColor = 0x0000FF;
    options.HiddenColor = 0x808080;
    options.UseCompressedColor = true;
    options.HiddenGrey = true;
    TOptionFacts facts;
    EXPECT_EQ(ListSettingsFor(options, facts).CompressedColor, TTextColor(0x0000FF));
    EXPECT_EQ(TreeSettingsFor(options, facts).HiddenColor, TTextColor(0x808080));
    options.UseCompressedColor = false;
    options.HiddenGrey = false;
    EXPECT_EQ(ListSettingsFor(options, facts).CompressedColor, std::nullopt) << "the font colour";
    EXPECT_EQ(TreeSettingsFor(options, facts).HiddenColor, std::nullopt);
    options.UseCompressedColor = true;
    facts.NTPlatform = false;
    EXPECT_EQ(TreeSettingsFor(options, facts).CompressedColor, std::nullopt);
}

TEST(OptionSettings, SwitchesReachTheirControls)
{
    TOptions options;
    options.Grid = true;
    options.RowSelect = true;
    options.SingleClickExec = true;
    options.AttrUnderline = true;
    options.LongVolNames = false;
    options.ConfirmPhysicalDel = false;
    options.DateTime = 2;
    options.FileDisplay = 1;
    options.ShowDirWin = false;
    const TOptionFacts facts;
    const TListSettings list = ListSettingsFor(options, facts);
    EXPECT_TRUE(list.GridLines);
    EXPECT_TRUE(list.RowSelect);
    EXPECT_TRUE(list.SingleClickToExec && list.HotTrack && list.HotTrackHand && list.HotTrackUnderline);
    EXPECT_EQ(list.AttrSpace, L"_");
    EXPECT_FALSE(list.WantNukeWarning);
    EXPECT_EQ(list.DateTimeDisplay, TDateTimeDisplay::dtdDate);
    const TTreeSettings tree = TreeSettingsFor(options, facts);
    EXPECT_EQ(tree.VolDisplayStyle, TVolumeDisplayStyle::doPrettyName);
    EXPECT_TRUE(tree.HotTrack);
    EXPECT_FALSE(tree.ConfirmDelete);
    const TWindowSettings window = WindowSettingsFor(options);
    EXPECT_TRUE(window.HexButtonDown);
    EXPECT_FALSE(window.TextButtonDown);
    EXPECT_FALSE(window.ShowTree);

    options.DateTime = 9;  // out of range: the last style
    options.FileDisplay = 2;
    EXPECT_EQ(ListSettingsFor(options, facts).DateTimeDisplay, TDateTimeDisplay::dtdDate);
    EXPECT_TRUE(WindowSettingsFor(options).TextButtonDown);
    EXPECT_FALSE(WindowSettingsFor(options).HexButtonDown);
}
