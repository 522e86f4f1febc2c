#include "panels/DirViewCells.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace qrv;

namespace {

constexpr uint64_t kGiB = 1ull << 30;

struct SizeCase {
    uint64_t Size;
    const wchar_t* Bytes;
    const wchar_t* Abbreviated;
};

TEST(DirCellsTest, SizeTextInBytesAndKilobytes)
{
    const SizeCase cases[] = {
        {0, L"0", L"0 KB"},
        {1, L"1", L"1 KB"},
        {512, L"512", L"1 KB"},
        {1535, L"1.535", L"1 KB"},
        {1536, L"1.536", L"2 KB"},
        {1024 * 1024, L"1.048.576", L"1.024 KB"},
        {5 * kGiB, L"5.368.709.120", L"5.242.880 KB"},
    };
    for (const SizeCase& c : cases) {
        EXPECT_EQ(DirSizeText(c.Size, false, L"."), c.Bytes) << c.Size;
        EXPECT_EQ(DirSizeText(c.Size, true, L"."), c.Abbreviated) << c.Size;
    }
}

TEST(DirCellsTest, AttributeLetters)
{
    struct Case {
        uint32_t Attr;
        const wchar_t* Space;
        TAttrPositions Positions;
        const wchar_t* Expected;
    };
    const TAttrPositions nt5{true, true};
    const Case cases[] = {
        {0x20, L"", nt5, L"a"},
        {0x4000 | 0x800 | 0x20 | 4 | 2 | 1, L"", nt5, L"ecashr"},
        {0x23, L"", nt5, L"ahr"},
        {0x20, L"_", nt5, L"__a___"},
        {0x805, L"-", nt5, L"-c-s-r"},
        // NT 4 has no encryption position, Windows 9x no compression either.
        {0x20, L"_", AttrPositionsFor(true, 4), L"_a___"},
        {0x20, L"_", AttrPositionsFor(false, 4), L"a___"},
        // A set bit shows even where its position would be left out.
        {0x4020, L"_", AttrPositionsFor(false, 4), L"ea___"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetAttrString(c.Attr, c.Space, c.Positions), c.Expected) << c.Attr << " " << c.Space;
    EXPECT_TRUE(AttrPositionsFor(true, 5).Encrypted);
}

// The date column with a fixed time zone: UTC + 1 hour.
std::wstring FormatPlusOneHour(uint64_t fileTime)
{
    const TFileTimeParts p = FileTimeParts(fileTime, 60);
    wchar_t text[40];
    std::swprintf(text, 40, L"%02d.%02d.%04d  %02d:%02d:%02d", p.Day, p.Month, p.Year, p.Hour, p.Minute, p.Second);
    return text;
}

// 2021-12-31 23:30:15 UTC as a FILETIME.
constexpr uint64_t kNewYearsEve = 13285467015ull * 10000000ull;

TFileRec File(std::wstring name, std::wstring ext, uint64_t size, uint32_t attr)
{
    TFileRec rec;
    rec.FileName = rec.DisplayName = std::move(name);
    rec.Ext = std::move(ext);
    rec.TypeName = L"Textdokument";
    rec.Size = size;
    rec.Attr = attr;
    rec.LastWrite = kNewYearsEve;
    return rec;
}

TEST(DirCellsTest, FileTimePartsCrossTheYearWithTheBias)
{
    const TFileTimeParts utc = FileTimeParts(kNewYearsEve, 0);
    EXPECT_EQ(utc.Year, 2021);
    EXPECT_EQ(utc.Month, 12);
    EXPECT_EQ(utc.Day, 31);
    EXPECT_EQ(utc.Hour, 23);
    EXPECT_EQ(utc.Minute, 30);
    EXPECT_EQ(utc.Second, 15);
    EXPECT_EQ(FormatPlusOneHour(kNewYearsEve), L"01.01.2022  00:30:15");
    // The FILETIME epoch itself.
    const TFileTimeParts epoch = FileTimeParts(0, 0);
    EXPECT_EQ(epoch.Year, 1601);
    EXPECT_EQ(epoch.Month, 1);
    EXPECT_EQ(epoch.Day, 1);
}

TEST(DirCellsTest, CellsOfAFileAndAFolder)
{
    TDirCellOptions options;
    options.AttrSpace = L"_";
    const TFileRec file = File(L"Brief.txt", L"TXT", 1536, 0x21);
    TFileRec dir = File(L"Ordner", L"", kUnknownDirSize, 0x10);
    dir.IsDirectory = true;
    dir.TypeName = L"Dateiordner";

    struct Case {
        const TFileRec* Item;
        int Column;
        const wchar_t* Expected;
    };
    const Case cases[] = {
        {&file, 0, L"Brief.txt"},
        {&file, 1, L"1.536"},
        {&file, 2, L"Textdokument"},
        {&file, 3, L"01.01.2022  00:30:15"},
        {&file, 4, L"__a__r"},
        {&file, 5, L""},
        {&dir, 1, L""},
        {&dir, 2, L"Dateiordner"},
        {&dir, 4, L"______"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DirCellText(*c.Item, c.Column, options, FormatPlusOneHour), c.Expected)
            << c.Item->FileName.size() << " column " << c.Column;
}

TEST(DirCellsTest, CellOptionsChangeWhatShows)
{
    TFileRec file = File(L"Brief.txt", L"TXT", 1536, 0x21);
    TFileRec dir = File(L"Ordner", L"", 4096, 0x10);
    dir.IsDirectory = true;
    TDirCellOptions options;

    options.AbbreviatedSize = true;
    EXPECT_EQ(DirCellText(file, 1, options, FormatPlusOneHour), L"2 KB");
    // A folder's size shows only with ShowSubDirSize and when known.
    EXPECT_EQ(DirCellText(dir, 1, options, FormatPlusOneHour), L"");
    options.ShowSubDirSize = true;
    EXPECT_EQ(DirCellText(dir, 1, options, FormatPlusOneHour), L"");
    dir.SubDirSizeDone = true;
    EXPECT_EQ(DirCellText(dir, 1, options, FormatPlusOneHour), L"4 KB");
    dir.SubDirSizeDone = false;
    EXPECT_EQ(DirCellText(dir, 1, options, FormatPlusOneHour), L"");

    options.SortByExtension = true;
    EXPECT_EQ(DirCellText(file, 2, options, FormatPlusOneHour), L"TXT");
    options.FileNameDisplay = TFileNameDisplay::fndNice;
    EXPECT_EQ(DirCellText(file, 2, options, FormatPlusOneHour), L"txt");
    options.FileNameDisplay = TFileNameDisplay::fndCap;
    EXPECT_EQ(DirCellText(file, 4, options, FormatPlusOneHour), L"AR");

    file.LastWrite = 0;
    EXPECT_EQ(DirCellText(file, 3, options, FormatPlusOneHour), L"");

    // A shell-namespace folder answers the name column only.
    options.ShellFolder = true;
    EXPECT_EQ(DirCellText(file, 0, options, FormatPlusOneHour), L"Brief.txt");
    EXPECT_EQ(DirCellText(file, 2, options, FormatPlusOneHour), L"");
}

TEST(DirCellsTest, InfoTipFallback)
{
    TFileRec file = File(L"Brief.txt", L"TXT", 2048, 0x20);
    EXPECT_EQ(InfoTipFallbackText(file, L"2 KB", L"Freitag, 31. Dezember 2021"),
              L"Typ: Textdokument\r\nGröße: 2 KB\r\nGeändert am: Freitag, 31. Dezember 2021");
    file.Size = 0;
    EXPECT_EQ(InfoTipFallbackText(file, L"0 Bytes", L"heute"), L"Typ: Textdokument\r\nGeändert am: heute");
    TFileRec dir = File(L"Ordner", L"", kUnknownDirSize, 0x10);
    dir.IsDirectory = true;
    dir.TypeName = L"Dateiordner";
    EXPECT_EQ(InfoTipFallbackText(dir, L"4 GB", L"heute"), L"Typ: Dateiordner\r\nGeändert am: heute");

    TFileRec parent;
    parent.IsParentDir = parent.IsDirectory = true;
    EXPECT_FALSE(WantsInfoTip(parent));
    EXPECT_TRUE(WantsInfoTip(file));
}

}  // namespace
