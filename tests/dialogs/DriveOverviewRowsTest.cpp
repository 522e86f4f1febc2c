// The drive overview's table from given drive facts: the drives listed, the
// serial and percentage texts, totals counting a shared serial once, and
// the columns fitted to the list.

#include "dialogs/DriveOverviewRows.h"

#include "common/BaseUtils.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace qrv;

namespace {

const TNumberFormat kGerman{L".", L","};

TDriveFacts Drive(wchar_t letter, int type, uint32_t serial, int64_t size, int64_t free)
{
    return {letter, type, true, std::wstring(1, letter) + L":", L"NTFS", serial, size, free, 3};
}

TEST(DriveOverviewRowsTest, WhichDrivesAreListed)
{
    struct Case {
        int type;
        bool removable, listed;
    } cases[] = {{3, false, true}, {4, false, true}, {2, false, false}, {2, true, true}, {5, false, false},
                 {5, true, true},  {6, true, false}, {0, true, false},  {1, true, false}};
    for (const Case& c : cases)
        EXPECT_EQ(DriveOverviewLists(c.type, c.removable), c.listed) << c.type << " " << c.removable;
}

TEST(DriveOverviewRowsTest, NumberTexts)
{
    EXPECT_EQ(SerialText(0x12AB34CD), L"12ab-34cd");
    EXPECT_EQ(SerialText(0x0000000F), L"0000-000f");
    EXPECT_EQ(FormatOneDecimal(12.54, kGerman), L"12,5");
    EXPECT_EQ(FormatOneDecimal(99.96, kGerman), L"100,0");
    EXPECT_EQ(FormatOneDecimal(1234.0, kGerman), L"1.234,0");
    EXPECT_EQ(FormatOneDecimal(0.04, {L",", L"."}), L"0.0");
    EXPECT_EQ(FormatOneDecimal(-2.5, kGerman), L"-2,5");
}

TEST(DriveOverviewRowsTest, RowOfADrive)
{
    const int64_t size = int64_t{200} << 30;
    const int64_t free = int64_t{50} << 30;
    const auto rows = DriveOverviewTable({Drive(L'C', 3, 0xDEADBEEF, size, free)}, kGerman);
    ASSERT_EQ(rows.size(), 2u);
    const TDriveOverviewRow& row = rows[0];
    EXPECT_EQ(row.Cells[0], L"C:");
    EXPECT_EQ(row.Cells[1], L"NTFS");
    EXPECT_EQ(row.Cells[2], L"dead-beef");
    EXPECT_EQ(row.Cells[3], FormatSizeText(size, true, L"."));
    EXPECT_EQ(row.Cells[4], FormatSizeText(size - free, true, L"."));
    EXPECT_EQ(row.Cells[5], FormatSizeText(free, true, L"."));
    EXPECT_EQ(row.Cells[6], L"25,0");
    EXPECT_EQ(row.ImageIndex, 3);
    EXPECT_FALSE(row.Total);
    EXPECT_TRUE(rows[1].Total);
    EXPECT_EQ(rows[1].Cells[0], L"Gesamt:");
}

TEST(DriveOverviewRowsTest, TotalsCountEachSerialOnce)
{
    TDriveFacts notReady = Drive(L'E', 3, 7, 1000, 500);
    notReady.Ready = false;
    const std::vector<TDriveFacts> drives = {Drive(L'C', 3, 0x1111, 1000, 400),
                                             // Two letters of one share: once in the totals.
                                             Drive(L'M', 4, 0x2222, 3000, 1000), Drive(L'N', 4, 0x2222, 3000, 1000),
                                             // Serial 0 says nothing about sharing: both count.
                                             Drive(L'X', 4, 0, 100, 50), Drive(L'Y', 4, 0, 100, 50),
                                             // A drive of size 0 shows no percentage.
                                             Drive(L'Z', 3, 0x3333, 0, 0), notReady};
    const auto rows = DriveOverviewTable(drives, kGerman);
    ASSERT_EQ(rows.size(), drives.size());  // the not-ready drive is left out, the totals row added
    EXPECT_EQ(rows[5].Cells[0], L"Z:");
    EXPECT_EQ(rows[5].Cells[6], L"");
    const TDriveOverviewRow& total = rows.back();
    const int64_t size = 1000 + 3000 + 100 + 100;
    const int64_t used = 600 + 2000 + 50 + 50;
    EXPECT_EQ(total.Cells[3], FormatSizeText(size, true, L"."));
    EXPECT_EQ(total.Cells[4], FormatSizeText(used, true, L"."));
    EXPECT_EQ(total.Cells[5], FormatSizeText(size - used, true, L"."));
    EXPECT_EQ(total.Cells[6], FormatOneDecimal(100.0 * (size - used) / size, kGerman));
    EXPECT_EQ(total.ImageIndex, -1);
}

TEST(DriveOverviewRowsTest, NoDrivesGiveAnEmptyTotal)
{
    const auto rows = DriveOverviewTable({}, kGerman);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Cells[6], L"");
}

TEST(DriveOverviewRowsTest, ColumnsFitTheList)
{
    const std::vector<int> widths = {120, 60, 85, 75, 75, 75, 60};
    for (int listWidth : {550, 700, 1200}) {
        const std::vector<int> fitted = FitColumnWidths(widths, listWidth);
        ASSERT_EQ(fitted.size(), widths.size());
        // Every column but the last counted with one pixel more fills the list.
        EXPECT_EQ(std::accumulate(fitted.begin(), fitted.end(), 0) + static_cast<int>(fitted.size()) - 1, listWidth);
        // In proportion: the first stays twice the second, within a pixel.
        EXPECT_NEAR(fitted[0], 2 * fitted[1], 2);
    }
    EXPECT_EQ(FitColumnWidths({0, 0}, 100), (std::vector<int>{0, 0}));
}

}  // namespace
