#include "dialogs/SelFileFields.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

const std::vector<TFilterRec> kFilters = {
    {L"Alle Dateien", L"*.*"}, {L"Bilder", L"*.png;*.jpg"}, {L"Änderungen", L"*.diff;*.patch"}};

TSelFileContext Context(TCompressionBits bits = TCompressionBits::Ntfs, int daysBack = -1)
{
    TSelFileContext context;
    context.Filters = &kFilters;
    context.Compression = bits;
    context.DaysBack = daysBack;
    context.Today = {2026, 3, 1};
    return context;
}

TSelFileFields Sizes(const std::wstring& from, const std::wstring& to)
{
    TSelFileFields fields;
    fields.FromSize = from;
    fields.ToSize = to;
    return fields;
}

TEST(SelFileFieldsCheck, SizesAndDatesAreCheckedAsOkSays)
{
    struct Case {
        TSelFileFields Fields;
        TSelFileFocus Focus;
        std::wstring Message;
    };
    TSelFileFields inverted = Sizes(L"0", L"999999999");
    inverted.DateFrom = {2020, 5, 2};
    inverted.DateTo = {2020, 5, 1};
    TSelFileFields invertedSince = inverted;
    invertedSince.DateFromTo = false;
    const std::wstring sizeOrder = L"\"Von Dateigröße\" ist größer als \"bis Dateigröße\".";
    const Case cases[] = {
        {Sizes(L"500", L"100"), TSelFileFocus::FromSize, sizeOrder},
        {Sizes(L"100", L"500"), TSelFileFocus::None, L""},
        {Sizes(L"", L"500"), TSelFileFocus::FromSize, L"Ungültiges numerisches Format."},
        {Sizes(L"12a", L"500"), TSelFileFocus::FromSize, L"Ungültiges numerisches Format."},
        {Sizes(L"0", L"5000000000"), TSelFileFocus::None, L""},
        // "999999999" is no bound: any from-size passes it.
        {Sizes(L"3000000000", L"999999999"), TSelFileFocus::None, L""},
        {Sizes(L"3000000000", L"999999998"), TSelFileFocus::FromSize, sizeOrder},
        {Sizes(L"0", L"9223372036854775807"), TSelFileFocus::None, L""},
        {Sizes(L"0", L"9999999999999999999"), TSelFileFocus::FromSize, L"Ungültiges numerisches Format."},
        {Sizes(L"0", L"12345678901234567890"), TSelFileFocus::FromSize, L"Ungültiges numerisches Format."},
        {inverted, TSelFileFocus::DateFrom, L"\"Von Änderungsdatum\" ist größer als \"bis Änderungsdatum\"."},
        {invertedSince, TSelFileFocus::None, L""},
    };
    for (const Case& c : cases) {
        const TSelFileCheck check = CheckSelFileFields(c.Fields);
        EXPECT_EQ(check.Focus, c.Focus) << WideToUtf8(c.Fields.FromSize) << " " << WideToUtf8(c.Fields.ToSize);
        EXPECT_EQ(check.Message, c.Message);
    }
}

TEST(SelFileFieldsCheck, AnEmptiedSizeFieldIsRefilled)
{
    EXPECT_EQ(RefilledSizeField(L"", true), L"999999999");
    EXPECT_EQ(RefilledSizeField(L"", false), L"0");
    EXPECT_EQ(RefilledSizeField(L"42", true), L"42");
}

TEST(SelFileFieldsMapping, SizesKeepSixtyFourBitsAndTheDefaultMeansNoBound)
{
    int daysBack = 0;
    TFileSelectFilter filter;
    filter.SizeTo = kNoSizeBound;
    EXPECT_EQ(FieldsFromFilter(filter, Context()).ToSize, L"999999999");
    EXPECT_EQ(FilterFromFields(Sizes(L"0", L"999999999"), filter, Context(), daysBack).SizeTo, kNoSizeBound);

    filter.SizeFrom = 3000000000;
    filter.SizeTo = 5000000000;
    const TSelFileFields fields = FieldsFromFilter(filter, Context());
    EXPECT_EQ(fields.FromSize, L"3000000000");
    EXPECT_EQ(fields.ToSize, L"5000000000");
    const TFileSelectFilter back = FilterFromFields(fields, TFileSelectFilter{}, Context(), daysBack);
    EXPECT_EQ(back.SizeFrom, 3000000000);
    EXPECT_EQ(back.SizeTo, 5000000000);
}

TEST(SelFileFieldsMapping, DaysBackBecomeDatesEndingToday)
{
    TSelFileFields fields;
    fields.DateFromTo = false;
    struct Case {
        int Days;
        TPickerDate From;
        int Stored;
    };
    const Case cases[] = {
        {1, {2026, 3, 1}, 1},
        {2, {2026, 2, 28}, 2},          // no 29 February in 2026
        {0, {2026, 3, 1}, 1},           // the day count starts at 1
        {20000, {1998, 10, 16}, 9999},  // at most 9,999 days
    };
    for (const Case& c : cases) {
        fields.DaysCount = c.Days;
        int daysBack = -1;
        const TFileSelectFilter filter = FilterFromFields(fields, TFileSelectFilter{}, Context(), daysBack);
        EXPECT_EQ(daysBack, c.Stored);
        EXPECT_EQ(filter.DateTo, DosDateOf({2026, 3, 1}));
        EXPECT_EQ(PickerDateOf(filter.DateFrom), c.From) << c.Days;
        EXPECT_EQ(filter.TimeTo, 0xC000);
    }
    // A stored days-back value is shown as the day count.
    const TSelFileFields shown = FieldsFromFilter(TFileSelectFilter{}, Context(TCompressionBits::Ntfs, 7));
    EXPECT_FALSE(shown.DateFromTo);
    EXPECT_EQ(shown.DaysCount, 7);
}

TEST(SelFileFieldsMapping, PickerDatesStayWithinWhatADosDateHolds)
{
    EXPECT_EQ(DosDateOf({1975, 6, 1}), DosDateOf({1980, 1, 1}));
    EXPECT_EQ(DosDateOf({2150, 6, 1}), DosDateOf({2107, 12, 31}));
    EXPECT_EQ(PickerDateOf(DosDateOf({2107, 12, 31})), (TPickerDate{2107, 12, 31}));
    EXPECT_EQ(PickerDateOf(0), (TPickerDate{1980, 1, 1}));
}

TEST(SelFileFieldsMapping, CompressedAndEncryptedFollowTheDrive)
{
    TFileSelectFilter filter;
    filter.Compressed = TSelAttr::SelYes;
    filter.Encrypted = TSelAttr::SelNo;
    struct Case {
        TCompressionBits Bits;
        bool Enabled;
        TSelAttr CompressedBack;
        TSelAttr EncryptedBack;
    };
    // The boxes are read back grey (the user greyed them); an unknown drive
    // keeps the record's choices.
    const Case cases[] = {
        {TCompressionBits::Ntfs, true, TSelAttr::SelDontCare, TSelAttr::SelDontCare},
        {TCompressionBits::NotNtfs, false, TSelAttr::SelDontCare, TSelAttr::SelDontCare},
        {TCompressionBits::QueryFailed, false, TSelAttr::SelYes, TSelAttr::SelNo},
    };
    for (const Case& c : cases) {
        TSelFileFields fields = FieldsFromFilter(filter, Context(c.Bits));
        EXPECT_EQ(fields.CompressionEnabled, c.Enabled);
        if (c.Enabled) {
            EXPECT_EQ(fields.Compressed, TTriState::Checked);
            EXPECT_EQ(fields.Encrypted, TTriState::Unchecked);
        } else {
            EXPECT_EQ(fields.Compressed, TTriState::Unchecked);
        }
        fields.Compressed = fields.Encrypted = TTriState::Grayed;
        int daysBack = 0;
        const TFileSelectFilter back = FilterFromFields(fields, filter, Context(c.Bits), daysBack);
        EXPECT_EQ(back.Compressed, c.CompressedBack);
        EXPECT_EQ(back.Encrypted, c.EncryptedBack);
    }
}

TEST(SelFileFieldsMapping, MasksChooseANamedFilterOrTheTypedBox)
{
    TFileSelectFilter filter;
    filter.Masks = L"*.png;*.jpg";
    TSelFileFields fields = FieldsFromFilter(filter, Context());
    EXPECT_FALSE(fields.ManualChosen);
    EXPECT_EQ(fields.StdFilterIndex, 1);
    EXPECT_EQ(fields.FilterNames.size(), 3u);
    filter.Masks = L"*.txt";
    fields = FieldsFromFilter(filter, Context());
    EXPECT_TRUE(fields.ManualChosen);
    EXPECT_EQ(fields.ManualText, L"*.txt");
}

TEST(SelFileFieldsReset, StandardGivesAllFilesAndTheFullWindows)
{
    TFileSelectFilter filter;
    filter.Masks = L"*.txt";
    filter.Archive = TSelAttr::SelYes;
    filter.Hidden = TSelAttr::SelNo;
    TSelFileContext context = Context();
    context.ShowHiddenDirs = false;
    TSelFileFields fields = FieldsFromFilter(filter, context);
    fields.FromSize = L"5";
    fields.DateFromTo = false;
    ResetSelection(fields, context, {1980, 1, 1}, {2099, 12, 31});
    EXPECT_FALSE(fields.ManualChosen);
    EXPECT_EQ(kFilters[static_cast<size_t>(fields.StdFilterIndex)].Masks, L"*.*");
    EXPECT_EQ(fields.Archive, TTriState::Grayed);
    EXPECT_EQ(fields.Hidden, TTriState::Unchecked);  // hidden files are not shown: the box stays
    EXPECT_EQ(fields.Compressed, TTriState::Grayed);
    EXPECT_EQ(fields.FromSize, L"0");
    EXPECT_EQ(fields.ToSize, L"999999999");
    EXPECT_TRUE(fields.DateFromTo);
    EXPECT_EQ(fields.DateTo, (TPickerDate{2099, 12, 31}));
}

}  // namespace
