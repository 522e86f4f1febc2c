#include "framework/SysUtils.h"
#include "panels/KyListView.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace qrv;

TEST(KyListViewMask, NormalizesTheMaskText)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"  *.TXT, *.doc  ", L"*.txt;*.doc"},
        {L"", L"*.*"},
        {L"   ", L"*.*"},
        {L"a;;;b", L"a;b"},
        {L"  *.c *.H ", L"*.c;*.h"},
        {L"*.c , ;*.h", L"*.c;*.h"},
        {L"ÄRGER*.*", L"ärger*.*"},
        {L"*.txt;", L"*.txt;"},  // a trailing separator stays: no blank to trim
    };
    for (const auto& [mask, expected] : cases)
        EXPECT_EQ(NormalizeMask(mask), expected) << WideToUtf8(mask);
}

TEST(KyListViewMask, NextMaskPartCutsAtTheSeparator)
{
    std::wstring masks = L"*.txt;;read?e.*";
    EXPECT_EQ(NextMaskPart(masks), L"*.txt");
    EXPECT_EQ(masks, L";read?e.*");
    EXPECT_EQ(NextMaskPart(masks), L"") << "an empty piece between two separators";
    EXPECT_EQ(NextMaskPart(masks), L"read?e.*");
    EXPECT_EQ(masks, L"");
    EXPECT_EQ(NextMaskPart(masks), L"");
    EXPECT_EQ(masks, L"");
}

TEST(KyListViewDates, YearsWidenToFourDigits)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"dd.MM.yy", L"dd.MM.yyyy"},
        {L"yy/MM/dd", L"yyyy/MM/dd"},
        {L"M/d/yyyy", L"M/d/yyyy"},
        {L"d/M/y", L"d/M/yyyy"},
        {L"dd-yy-MM", L"dd-yyyy-MM"},            // a year inside the picture
        {L"yyyyy.MM.dd", L"yyyyy.MM.dd"},        // longer years are kept
        {L"dd.MM.yy 'yy'", L"dd.MM.yyyy 'yy'"},  // quoted text is literal
        {L"dd 'o''y' yy", L"dd 'o''y' yyyy"},    // '' inside a quote stays quoted
        {L"", L""},
    };
    for (const auto& [picture, expected] : cases)
        EXPECT_EQ(FourDigitYearPicture(picture), expected) << WideToUtf8(picture);
}

TEST(KyListViewDates, DisplayChoosesTheTimePart)
{
    struct Case {
        TDateTimeDisplay display;
        const wchar_t* time;
        const wchar_t* dateTime;
    };
    const Case cases[] = {
        {TDateTimeDisplay::dtdDateTimeSec, L"HH:mm:ss", L"dd.MM.yyyy  HH:mm:ss"},
        {TDateTimeDisplay::dtdDateTime, L"HH:mm", L"dd.MM.yyyy  HH:mm"},
        {TDateTimeDisplay::dtdDate, L"", L"dd.MM.yyyy"},
    };
    for (const Case& c : cases) {
        const TDateTimePictures pictures = MakeDateTimePictures(L"dd.MM.yy", L"HH:mm:ss", L"HH:mm", c.display);
        EXPECT_EQ(pictures.DateFormat, L"dd.MM.yyyy");
        EXPECT_EQ(pictures.TimeFormat, c.time);
        EXPECT_EQ(pictures.DateTimeFormat, c.dateTime);
    }
}

TEST(KyListViewSort, ClickSequences)
{
    // Each step: the clicked column and the order afterwards.
    struct Step {
        int column;
        TSortOrder after;
    };
    const std::vector<Step> steps = {
        {0, {0, false}},                   // the sort column reverses
        {0, {0, true}},                    // and back
        {2, {2, true}},                    // another column keeps the direction
        {2, {2, false}}, {1, {1, false}},  // descending stays when the column changes
        {1, {1, true}},  {3, {3, true}},
    };
    TSortOrder order;
    EXPECT_EQ(order, (TSortOrder{0, true}));
    for (const Step& step : steps) {
        order = ClickColumn(order, step.column);
        EXPECT_EQ(order, step.after) << "click on column " << step.column;
    }
}

TEST(KyListViewHeader, ThemedMarksUseTheSortBits)
{
    const unsigned stale = hfRight | hfSortUp | hfSortDown;
    EXPECT_EQ(SortMarkFormat(stale, true, true, true, true).Format, hfRight | hfSortUp);
    EXPECT_EQ(SortMarkFormat(stale, true, true, true, false).Format, hfRight | hfSortDown);
    EXPECT_EQ(SortMarkFormat(stale, true, true, false, true).Format, hfRight) << "other columns are cleared";
    EXPECT_EQ(SortMarkFormat(stale, true, false, true, true).Format, hfRight) << "no column icon: no mark";
    EXPECT_EQ(SortMarkFormat(stale, true, true, true, true).Bitmap, TSortMarkBitmap::smNone);
}

TEST(KyListViewHeader, UnthemedMarksUseABitmapBesideTheCaption)
{
    struct Case {
        unsigned format;
        bool showIcon, sortColumn, ascending;
        unsigned expected;
        TSortMarkBitmap bitmap;
    };
    const Case cases[] = {
        {hfLeft, true, true, true, hfLeft | hfBitmap | hfBitmapOnRight, TSortMarkBitmap::smAscending},
        {hfLeft, true, true, false, hfLeft | hfBitmap | hfBitmapOnRight, TSortMarkBitmap::smDescending},
        // A right-aligned or centred column never gets the bitmap-right flag,
        // even when it had it before.
        {hfRight, true, true, true, hfRight | hfBitmap, TSortMarkBitmap::smAscending},
        {hfRight | hfBitmapOnRight, true, true, false, hfRight | hfBitmap, TSortMarkBitmap::smDescending},
        {hfCenter | hfBitmapOnRight, true, true, true, hfCenter | hfBitmap, TSortMarkBitmap::smAscending},
        // Columns other than the sort column lose their mark.
        {hfLeft | hfBitmap | hfBitmapOnRight, true, false, true, hfLeft, TSortMarkBitmap::smNone},
        {hfRight | hfBitmap, true, false, false, hfRight, TSortMarkBitmap::smNone},
        // Without the column icon the sort column loses it too.
        {hfLeft | hfBitmap | hfBitmapOnRight, false, true, true, hfLeft, TSortMarkBitmap::smNone},
    };
    for (const Case& c : cases) {
        const TSortMarkFormat result = SortMarkFormat(c.format, false, c.showIcon, c.sortColumn, c.ascending);
        EXPECT_EQ(result.Format, c.expected) << std::hex << "format 0x" << c.format;
        EXPECT_EQ(result.Bitmap, c.bitmap) << std::hex << "format 0x" << c.format;
    }
}
