#include "mainwindow/ListFilters.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

const std::vector<TFilterRec> kFilters = {
    {L"Alle Dateien", L"*.*"}, {L"Bilder", L"*.png;*.jpg"}, {L"Änderungen", L"*.diff;*.patch"}};

TEST(ListFilters, ATypedFilterNameResolvesToItsMasksInAnyCase)
{
    const TSelFileContext context =
        SelFileContextFor(kFilters, TCompressionBits::NotNtfs, true, -1, TPickerDate{2026, 3, 1});
    struct Case {
        std::wstring Typed;
        std::wstring Masks;
    };
    const Case cases[] = {
        {L"bilder", L"*.png;*.jpg"},
        {L"ÄNDERUNGEN", L"*.diff;*.patch"},
        {L"  *.TXT, *.doc ", L"*.txt;*.doc"},  // masks are normalised
        {L"notizen", L"notizen"},              // no such filter: the text itself
    };
    for (const Case& c : cases) {
        TSelFileFields fields;
        fields.ManualChosen = true;
        fields.ManualText = c.Typed;
        int daysBack = 0;
        EXPECT_EQ(FilterFromFields(fields, TFileSelectFilter{}, context, daysBack).Masks, c.Masks)
            << WideToUtf8(c.Typed);
    }
    // A chosen named filter gives its masks.
    TSelFileFields chosen;
    chosen.StdFilterIndex = 1;
    int daysBack = 0;
    EXPECT_EQ(FilterFromFields(chosen, TFileSelectFilter{}, context, daysBack).Masks, L"*.png;*.jpg");
}

TEST(ListFilters, TheStoredStateComesBackAsItWasTaken)
{
    TListFilter list;
    list.Mask = L"*.txt";
    list.Load.SelHidden = TSelAttr::SelNo;
    list.Load.SelArchive = TSelAttr::SelYes;
    list.Load.SelEncrypted = TSelAttr::SelNo;
    list.Load.SelFileSizeFrom = 100;
    list.Load.SelFileSizeTo = 5000;
    list.Load.SelFileDateFrom = 0x5021;
    list.Load.SelFileDateTo = 0x5A21;
    list.DaysBack = 7;
    const TListFilterState state = CaptureListFilter(list);
    EXPECT_EQ(state.Attributes[0], TSelAttr::SelNo);   // hidden first
    EXPECT_EQ(state.Attributes[3], TSelAttr::SelYes);  // then read-only, system, archive
    const TListFilter back = ApplyListFilterState(state);
    EXPECT_EQ(back.Mask, list.Mask);
    EXPECT_EQ(back.Load, list.Load);
    EXPECT_EQ(back.DaysBack, 7);

    TListFilterState odd;
    odd.Mask = L"";
    odd.SizeTo = 5000000000;  // a bound beyond 2 GiB is kept as it is
    odd.DaysSince = 20000;
    const TListFilter clamped = ApplyListFilterState(odd);
    EXPECT_EQ(clamped.Mask, L"*.*");
    EXPECT_EQ(clamped.Load.SelFileSizeTo, 5000000000);
    EXPECT_EQ(clamped.DaysBack, 9999);
}

TEST(ListFilters, OnlyTheFullViewCountsAsUnfiltered)
{
    EXPECT_TRUE(IsUnfiltered(TListFilter{}, true));
    TListFilter hidden;
    hidden.Load.SelHidden = TSelAttr::SelNo;
    EXPECT_FALSE(IsUnfiltered(hidden, true));
    EXPECT_TRUE(IsUnfiltered(hidden, false));  // hidden files are not shown anyway
    TListFilter masked;
    masked.Mask = L"*.txt";
    EXPECT_FALSE(IsUnfiltered(masked, true));
    TListFilter sized;
    sized.Load.SelFileSizeTo = 1000;
    EXPECT_FALSE(IsUnfiltered(sized, true));
    TListFilter dated;
    dated.Load.SelFileDateFrom = 0x5021;
    EXPECT_FALSE(IsUnfiltered(dated, true));
    TListFilter compressed;
    compressed.Load.SelCompressed = TSelAttr::SelYes;
    EXPECT_FALSE(IsUnfiltered(compressed, true));
}

TEST(ListFilters, TheBoxListsMasksAndTheMenuNamesTheFilters)
{
    EXPECT_EQ(FilterBoxItems(kFilters, {L"*.log"}),
              (std::vector<std::wstring>{L"*.*", L"*.png;*.jpg", L"*.diff;*.patch", L"*.log"}));
    const std::vector<TFilterMenuItem> menu = FilterMenuItems(kFilters, L"*.png;*.jpg");
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[1].Caption, L"Bilder");
    EXPECT_EQ(menu[1].Tag, 1);
    EXPECT_TRUE(menu[1].Checked);
    EXPECT_FALSE(menu[0].Checked);
}

TEST(ListFilters, TheDialogRecordOfAListKeepsHiddenOnlyWhileShown)
{
    TListFilter list;
    list.Load.SelHidden = TSelAttr::SelYes;
    EXPECT_EQ(SelectFilterOfList(list, true).Hidden, TSelAttr::SelYes);
    EXPECT_EQ(SelectFilterOfList(list, false).Hidden, TSelAttr::SelNo);
    TFileSelectFilter filter = SelectFilterOfList(list, true);
    filter.SizeTo = 3000000000;
    EXPECT_EQ(ListFilterOf(filter, -1).Load.SelFileSizeTo, 3000000000);
    filter.SizeTo = kNoSizeBound;
    EXPECT_EQ(ListFilterOf(filter, -1).Load.SelFileSizeTo, kMaxFilterSize);
}

}  // namespace
