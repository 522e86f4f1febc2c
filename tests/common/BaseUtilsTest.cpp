#include "common/BaseUtils.h"
#include "framework/StringList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using namespace qrv;

// ---- Text helpers -------------------------------------------------------

TEST(BaseUtilsText, ReplaceSubStr)
{
    struct Case {
        const wchar_t* s;
        const wchar_t* oldText;
        const wchar_t* newText;
        const wchar_t* expected;
    } cases[] = {
        {L"copy %1 to %2", L"%1", L"a.txt", L"copy a.txt to %2"},
        {L"%1%1", L"%1", L"x", L"xx"},
        {L"abc", L"", L"x", L"abc"},    // empty old text: nothing to replace
        {L"aa", L"a", L"aa", L"aaaa"},  // new text holding the old one ends
        {L"a.b.c", L".", L"..", L"a..b..c"},
        {L"aaa", L"aa", L"b", L"ba"},  // occurrences do not overlap
        {L"abc", L"abc", L"", L""},
        {L"abc", L"x", L"y", L"abc"},
        {L"ABC", L"b", L"x", L"ABC"},  // case-sensitive
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceSubStr(c.s, c.oldText, c.newText), c.expected) << c.s << " / " << c.oldText;
}

TEST(BaseUtilsText, CharacterHelpers)
{
    EXPECT_EQ(ReplaceChar(L"a/b/c", L'/', L'\\'), L"a\\b\\c");
    EXPECT_EQ(ReplaceChar(L"aaa", L'a', L'a'), L"aaa");

    // Later pairs see the result of earlier ones.
    EXPECT_EQ(TranslateChars(L"abc", L"abbc"), L"ccc");
    EXPECT_EQ(TranslateChars(L"abc", L"bca"), L"abc") << "odd length leaves the text alone";
    EXPECT_EQ(TranslateChars(L"abc", L""), L"abc");
    EXPECT_EQ(TranslateChars(L"fff", L"ff"), L"fff");
    std::wstring text = L"a:b:c";
    TranslateCharsInPlace(text, L":;");
    EXPECT_EQ(text, L"a;b;c");

    EXPECT_EQ(DeleteAllChars(L" a b  c ", L' '), L"abc");
    EXPECT_TRUE(ContainsAnyChar(L"*?", L"a?b"));
    EXPECT_FALSE(ContainsAnyChar(L"*?", L"ab"));
    EXPECT_FALSE(ContainsAnyChar(L"", L"ab"));

    EXPECT_EQ(FillString(L'-', 3), L"---");
    EXPECT_EQ(FillString(L'-', 0), L"");
    EXPECT_EQ(FillString(L'-', -2), L"");
}

TEST(BaseUtilsText, QuoteIfBlank)
{
    EXPECT_EQ(QuoteIfBlank(L"C:\\Program Files\\x.exe"), L"\"C:\\Program Files\\x.exe\"");
    EXPECT_EQ(QuoteIfBlank(L"C:\\x.exe"), L"C:\\x.exe");
    EXPECT_EQ(QuoteIfBlank(L"\"a b\""), L"\"a b\"") << "already quoted";
    EXPECT_EQ(QuoteIfBlank(L""), L"");
    EXPECT_EQ(QuoteIfBlank(L" "), L"\" \"");
}

TEST(BaseUtilsText, CutTokenKeepsTheSeparatorForTheNextToken)
{
    std::wstring s = L".BMP.GIF";
    EXPECT_EQ(CutToken(s, L'.'), L".BMP");
    EXPECT_EQ(s, L".GIF");
    EXPECT_EQ(CutToken(s, L'.'), L".GIF");
    EXPECT_EQ(s, L"");
    EXPECT_EQ(CutToken(s, L'.'), L"");

    s = L"BMP.GIF";
    EXPECT_EQ(CutToken(s, L'.'), L"BMP");
    EXPECT_EQ(s, L".GIF");
}

TEST(BaseUtilsText, SplitExtList)
{
    TStringList sorted;
    sorted.SetSorted(true);
    sorted.Add(L".OLD");
    SplitExtList(L".H  .C  .JS ", sorted);
    EXPECT_EQ(sorted.CommaText(), L".C,.H,.JS");

    TStringList plain;
    SplitExtList(L".BMP.GIF .JPG", plain);
    EXPECT_EQ(plain.CommaText(), L".BMP,.GIF,.JPG");
    SplitExtList(L".TXT", plain);
    EXPECT_EQ(plain.CommaText(), L".TXT");
    SplitExtList(L"", plain);
    EXPECT_EQ(plain.Count(), 0);
    SplitExtList(L"   ", plain);
    EXPECT_EQ(plain.Count(), 0);
}

TEST(BaseUtilsText, CutEnclosed)
{
    std::wstring s = L"a[b]c";
    EXPECT_EQ(CutEnclosed(L'[', L']', s), L"b");
    EXPECT_EQ(s, L"c");

    s = L"abc";
    EXPECT_EQ(CutEnclosed(L'[', L']', s), L"");
    EXPECT_EQ(s, L"abc") << "no opening bracket: untouched";

    s = L"a[bc";
    EXPECT_EQ(CutEnclosed(L'[', L']', s), L"");
    EXPECT_EQ(s, L"") << "no closing bracket: emptied";

    s = L"x][y]z]";
    EXPECT_EQ(CutEnclosed(L'[', L']', s), L"y") << "the close after the open counts";
    EXPECT_EQ(s, L"z]");

    s = L"<>";
    EXPECT_EQ(CutEnclosed(L'<', L'>', s), L"");
    EXPECT_EQ(s, L"");
}

TEST(BaseUtilsText, DropFirstChars)
{
    std::wstring s = L"abcdef";
    DropFirstChars(s, 2);
    EXPECT_EQ(s, L"cdef");
    DropFirstChars(s, 0);
    DropFirstChars(s, -3);
    EXPECT_EQ(s, L"cdef");
    DropFirstChars(s, 10);
    EXPECT_EQ(s, L"");
}

TEST(BaseUtilsText, NiceCapitalize)
{
    struct Case {
        const wchar_t* s;
        const wchar_t* expected;
    } cases[] = {
        {L"HELLO WORLD.TXT", L"Hello World.txt"},
        {L"mein_brief-an(oma)&opa$x#y,z", L"Mein_Brief-An(Oma)&Opa$X#Y,Z"},
        {L"ÄPFEL ÜBER ÖL", L"Äpfel Über Öl"},
        {L"a.b c", L"A.b C"},  // "." starts no word
        {L"  x", L"  X"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NiceCapitalize(c.s), c.expected) << c.s;
}

// ---- Numbers ----------------------------------------------------------------

TEST(BaseUtilsNumbers, FormatThousands)
{
    EXPECT_EQ(FormatThousands(0, L"."), L"0");
    EXPECT_EQ(FormatThousands(999, L"."), L"999");
    EXPECT_EQ(FormatThousands(1000, L"."), L"1.000");
    EXPECT_EQ(FormatThousands(-1234, L"."), L"1.234");
    EXPECT_EQ(FormatThousands(1234567, L"."), L"1.234.567");
    EXPECT_EQ(FormatThousands(123456, L","), L"123,456");
    EXPECT_EQ(FormatThousands(1234567, L"\u00A0"), L"1\u00A0234\u00A0567");
    EXPECT_EQ(FormatThousands(1234, L""), L"1234");
    EXPECT_EQ(FormatThousands(std::numeric_limits<int32_t>::min(), L"."), L"2.147.483.648");
    EXPECT_EQ(FormatThousands(std::numeric_limits<int64_t>::min(), L"."), L"9.223.372.036.854.775.808");
    EXPECT_EQ(FormatThousandsU(std::numeric_limits<uint32_t>::max(), L"."), L"4.294.967.295");
    EXPECT_EQ(FormatThousandsU(std::numeric_limits<uint64_t>::max(), L"."), L"18.446.744.073.709.551.615");
}

TEST(BaseUtilsNumbers, FormatSizeText)
{
    struct Case {
        int64_t size;
        const wchar_t* expected;
    } cases[] = {
        {0, L"0 Bytes"},
        {9'999, L"9.999 Bytes"},
        {10'000, L"10 KB"},  // 9 and a remainder of 784 > 512
        {10'240, L"10 KB"},
        {10'752, L"10 KB"},  // a remainder of exactly 512 rounds down
        {10'753, L"11 KB"},
        {9'999'999, L"9.766 KB"},
        {10'000'000, L"10 MB"},
        {9'999'999'999, L"9.537 MB"},
        {12'345'678'901, L"11 GB"},
        {int64_t{5'000'000} << 30, L"5.000.000 GB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatSizeText(c.size, true, L"."), c.expected) << c.size;
    EXPECT_EQ(FormatSizeText(12'345'678'901, false, L"."), L"12.345.678.901");
    EXPECT_EQ(FormatSizeText(9'999, false, L","), L"9,999");
}

TEST(BaseUtilsNumbers, ShiftRoundRoundsHalfDown)
{
    EXPECT_EQ(ShiftRound(10, 10'752), 10);
    EXPECT_EQ(ShiftRound(10, 10'753), 11);
    EXPECT_EQ(ShiftRound(2, 6), 1);  // 1 and a remainder of exactly 2
    EXPECT_EQ(ShiftRound(2, 7), 2);
    EXPECT_EQ(ShiftRound(0, 7), 7);
    EXPECT_EQ(ShiftRound(30, std::numeric_limits<int64_t>::max()), int64_t{1} << 33);
}

// ---- Paths ----------------------------------------------------------------

TEST(BaseUtilsPaths, Backslashes)
{
    EXPECT_EQ(AddBackslash(L""), L"");
    EXPECT_EQ(AddBackslash(L"C:"), L"C:\\");
    EXPECT_EQ(AddBackslash(L"C:\\"), L"C:\\");
    EXPECT_EQ(RemoveBackslash(L"C:\\"), L"C:");
    EXPECT_EQ(RemoveBackslash(L"C:\\\\"), L"C:\\");
    EXPECT_EQ(RemoveBackslash(L"C:\\dir"), L"C:\\dir");
    EXPECT_EQ(RemoveBackslash(L""), L"");
    EXPECT_EQ(RemoveBackslashes(L"C:\\\\"), L"C:");
    EXPECT_EQ(RemoveBackslashes(L"C:\\dir"), L"C:\\dir");
    EXPECT_EQ(RemoveBackslashes(L"\\"), L"");
    EXPECT_EQ(RemoveBackslashBelowRoot(L"C:\\Temp\\"), L"C:\\Temp");
    EXPECT_EQ(RemoveBackslashBelowRoot(L"C:\\"), L"C:\\");
    EXPECT_EQ(RemoveBackslashBelowRoot(L"C:\\\\"), L"C:\\");
    EXPECT_EQ(RemoveBackslashBelowRoot(L"C:"), L"C:");
}

TEST(BaseUtilsPaths, FileNameParts)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* dir;
        const wchar_t* name;
        const wchar_t* ext;
        const wchar_t* base;
    } cases[] = {
        {L"C:\\dir\\a.txt.b.txt", L"C:\\dir\\", L"a.txt.b.txt", L".txt", L"a.txt.b"},
        {L"C:\\dir.x\\readme", L"C:\\dir.x\\", L"readme", L"", L"readme"},
        {L"C:\\dir\\", L"C:\\dir\\", L"", L"", L""},
        {L"C:a.b", L"C:", L"a.b", L".b", L"a"},
        {L"\\\\srv\\share\\x.y", L"\\\\srv\\share\\", L"x.y", L".y", L"x"},
        {L"name.", L"", L"name.", L".", L"name"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.path), c.dir) << c.path;
        EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
        EXPECT_EQ(ExtractFileBaseName(c.path), c.base) << c.path;
    }
}

TEST(BaseUtilsPaths, LevelsStopAtTheDriveOrShareRoot)
{
    using Levels = std::vector<std::wstring>;
    EXPECT_EQ(PathLevelsBelowRoot(L"C:\\a\\b\\"), (Levels{L"C:\\a\\b", L"C:\\a"}));
    EXPECT_EQ(PathLevelsBelowRoot(L"C:\\a\\b\\\\"), (Levels{L"C:\\a\\b", L"C:\\a"}));
    EXPECT_EQ(PathLevelsBelowRoot(L"C:\\"), Levels{});
    EXPECT_EQ(PathLevelsBelowRoot(L"C:\\\\"), Levels{}) << "the root is never tested";
    EXPECT_EQ(PathLevelsBelowRoot(L"C:"), Levels{});
    EXPECT_EQ(PathLevelsBelowRoot(L"\\\\srv\\share\\dir\\x"),
              (Levels{L"\\\\srv\\share\\dir\\x", L"\\\\srv\\share\\dir"}));
    EXPECT_EQ(PathLevelsBelowRoot(L"\\\\srv\\share\\"), Levels{});
    EXPECT_EQ(PathLevelsBelowRoot(L"\\\\srv"), Levels{});
    EXPECT_EQ(PathLevelsBelowRoot(L""), Levels{});
}

namespace {
// One unit of width per character.
int CharCount(const std::wstring& text)
{
    return static_cast<int>(text.size());
}
}  // namespace

TEST(BaseUtilsPaths, ShortenPathStepsFolderByFolder)
{
    const std::wstring path = L"C:\\Programme\\Gemeinsame Dateien\\System\\datei.txt";
    const std::vector<std::wstring> steps = {
        path,
        L"C:\\...\\Gemeinsame Dateien\\System\\datei.txt",
        L"C:\\...\\System\\datei.txt",
        L"C:\\...\\datei.txt",
        L"...\\datei.txt",
        L"datei.txt",
    };
    for (const std::wstring& step : steps)
        EXPECT_EQ(ShortenPathToWidth(path, CharCount, CharCount(step)), step);
    EXPECT_EQ(ShortenPathToWidth(path, CharCount, 1000), path);
    // Between two steps the shorter one is taken.
    EXPECT_EQ(ShortenPathToWidth(path, CharCount, CharCount(steps[2]) - 1), steps[3]);
    EXPECT_EQ(ShortenPathToWidth(path, CharCount, 0), L"datei.txt");
    EXPECT_EQ(ShortenPathToWidth(path, CharCount, -5), L"datei.txt");
}

TEST(BaseUtilsPaths, ShortenNetworkPathKeepsTheServerLongest)
{
    const std::wstring path = L"\\\\server\\share\\dir\\file.txt";
    EXPECT_EQ(ShortenPathToWidth(path, CharCount, CharCount(path) - 1), L"\\\\server\\...\\dir\\file.txt");
    EXPECT_EQ(ShortenPathToWidth(path, CharCount, 24), L"\\\\server\\...\\file.txt");
    EXPECT_EQ(ShortenPathToWidth(path, CharCount, 20), L"...\\file.txt");
    EXPECT_EQ(ShortenPathToWidth(path, CharCount, 0), L"file.txt");
}

TEST(BaseUtilsPaths, ShortenPathEndsForEveryWidth)
{
    const wchar_t* paths[] = {
        L"datei.txt",
        L"C:",
        L"C:\\",
        L"C:datei",
        L"C:\\datei",
        L"\\\\",
        L"\\\\srv",
        L"\\\\srv\\",
        L"\\\\srv\\share",
        L"\\x\\",
        L"..\\a\\b",
        L"C:\\...\\a\\f",
        L"C:\\.git\\x\\f",
        L"C:\\a\\\\b\\f",
        L"\\",
        L"",
        L"C:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k",
    };
    for (const wchar_t* p : paths) {
        const std::wstring path = p;
        for (int width = CharCount(path) + 1; width >= 0; --width) {
            const std::wstring shown = ShortenPathToWidth(path, CharCount, width);
            EXPECT_TRUE(CharCount(shown) <= width || shown == ExtractFileName(path))
                << "path " << path << " width " << width << " gave " << shown;
        }
    }
}

// ---- DOS dates ------------------------------------------------------------

namespace {
constexpr TDateTime k2024_06_15 = 45458;  // days since 1899-12-30
constexpr TDateTime k1980_01_01 = 29221;
constexpr TDateTime k2107_12_31 = 75971;
}  // namespace

TEST(BaseUtilsDates, DosDateConvertsBothWays)
{
    EXPECT_EQ(DosDateToDateTime(0x58CF), k2024_06_15);
    EXPECT_EQ(DateTimeToDosDate(k2024_06_15), 0x58CF);
    EXPECT_EQ(DateTimeToDosDate(k2024_06_15 + 0.99), 0x58CF) << "the time of day is dropped";
    EXPECT_EQ(DosDateToDateTime(0x0021), k1980_01_01);
    EXPECT_EQ(DosDateToDateTime(0xFF9F), k2107_12_31);
    EXPECT_EQ(DateTimeToDosDate(k1980_01_01), 0x0021);
    EXPECT_EQ(DateTimeToDosDate(k2107_12_31), 0xFF9F);
}

TEST(BaseUtilsDates, EveryValidDosDateRoundTrips)
{
    int valid = 0;
    for (uint32_t word = 0; word <= 0xFFFF; ++word) {
        const auto date = static_cast<uint16_t>(word);
        if (!IsValidDosDate(date))
            continue;
        ++valid;
        ASSERT_EQ(DateTimeToDosDate(DosDateToDateTime(date)), date) << std::hex << word;
    }
    // 128 years from 1980 to 2107, 31 of them leap years (2100 is none).
    EXPECT_EQ(valid, 128 * 365 + 31);
}

TEST(BaseUtilsDates, InvalidDosDatesGiveZero)
{
    const uint16_t invalid[] = {
        0x0000,                     // 0, common in archives
        (44 << 9) | (0 << 5) | 15,  // month 0
        (44 << 9) | (13 << 5) | 1,  // month 13
        (44 << 9) | (6 << 5) | 0,   // day 0
        (44 << 9) | (4 << 5) | 31,  // 31 April
        (45 << 9) | (2 << 5) | 29,  // 29 February 2025
    };
    for (uint16_t date : invalid) {
        EXPECT_FALSE(IsValidDosDate(date)) << std::hex << date;
        EXPECT_EQ(DosDateToDateTime(date), 0) << std::hex << date;
    }
    EXPECT_TRUE(IsValidDosDate((44 << 9) | (2 << 5) | 29)) << "29 February 2024";

    EXPECT_EQ(DateTimeToDosDate(k1980_01_01 - 1), 0);
    EXPECT_EQ(DateTimeToDosDate(k2107_12_31 + 1), 0);
    EXPECT_EQ(DateTimeToDosDate(0), 0);
    EXPECT_EQ(DateTimeToDosDate(std::nan("")), 0);
}

TEST(BaseUtilsDates, PackedDateTime)
{
    const uint32_t packed = (0x58CFu << 16) | ((13u << 11) | (45u << 5) | 29u);  // 2024-06-15 13:45:58
    EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(packed), k2024_06_15 + (13 * 3600 + 45 * 60 + 58) / 86400.0);
    uint64_t fileTime = 1;
    ASSERT_TRUE(DosDateTimeToFileTime(packed, fileTime));
    EXPECT_EQ(fileTime, 133629327580000000u);

    const uint32_t badTimes[] = {
        (0x58CFu << 16) | (24u << 11),  // hour 24
        (0x58CFu << 16) | (60u << 5),   // minute 60
        (0x58CFu << 16) | 30u,          // second 60
        0,                              // invalid date
    };
    for (uint32_t bad : badTimes) {
        EXPECT_EQ(DosDateTimeToDateTime(bad), 0) << std::hex << bad;
        fileTime = 1;
        EXPECT_FALSE(DosDateTimeToFileTime(bad, fileTime)) << std::hex << bad;
        EXPECT_EQ(fileTime, 0u);
    }
}

// ---- Window placement -------------------------------------------------------

TEST(BaseUtilsWindows, FitBoundsToScreen)
{
    struct Case {
        TBounds stored;
        TBounds expected;
    } cases[] = {
        {{100, 100, 400, 300}, {100, 100, 400, 300}},  // usable as it is
        {{100, 100, 49, 49}, {100, 100, 640, 400}},    // too small: half the screen
        {{100, 760, 400, 300}, {100, 50, 400, 300}},   // top below the screen
        {{100, 750, 400, 300}, {100, 750, 400, 300}},  // 50 pixels still on it
        {{100, -301, 400, 300}, {100, 50, 400, 300}},  // above the screen
        {{100, -300, 400, 300}, {100, -300, 400, 300}},
        {{1240, 0, 400, 300}, {50, 0, 400, 300}},  // right of the screen
        {{-500, 0, 400, 300}, {50, 0, 400, 300}},  // left of it
    };
    for (const Case& c : cases) {
        TBounds bounds = c.stored;
        FitBoundsToScreen(bounds, 1280, 800);
        EXPECT_EQ(bounds, c.expected) << c.stored.Left << "," << c.stored.Top;
    }
}

TEST(BaseUtilsWindows, CenterBoundsOverStaysOnTheScreen)
{
    TBounds form{0, 0, 200, 100};
    CenterBoundsOver({100, 100, 400, 300}, form, 1280, 800);
    EXPECT_EQ(form, (TBounds{200, 200, 200, 100}));
    CenterBoundsOver({1200, 750, 100, 40}, form, 1280, 800);
    EXPECT_EQ(form, (TBounds{1080, 700, 200, 100})) << "kept inside the right and bottom edges";
    CenterBoundsOver({-50, -80, 100, 40}, form, 1280, 800);
    EXPECT_EQ(form, (TBounds{1, 1, 200, 100})) << "at least at 1";
}

TEST(BaseUtilsWindows, MenuAccelText)
{
    EXPECT_EQ(MenuAccelText(0), L"&1  ");
    EXPECT_EQ(MenuAccelText(8), L"&9  ");
    EXPECT_EQ(MenuAccelText(9), L"&A  ");
    EXPECT_EQ(MenuAccelText(10), L"&C  ") << "B is left out";
    EXPECT_EQ(MenuAccelText(15), L"&I  ") << "H is left out";
    EXPECT_EQ(MenuAccelText(32), L"&Z  ");
    EXPECT_EQ(MenuAccelText(33), L"    ");
}
