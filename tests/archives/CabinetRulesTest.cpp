// The cabinet reader's decisions: names, times, attributes and where (or
// whether) each file of a cabinet is copied.

#include "archives/CabinetRules.h"
#include "common/SafeExtractPath.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(CabinetRules, NamesAreUtf8WithTheirFlagElseAnsi)
{
    const auto ansi = [](std::string_view bytes) {
        std::wstring text;
        for (const char c : bytes)
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));  // Latin-1 as the ANSI page
        return text;
    };
    EXPECT_EQ(CabinetStoredName("Gr\xC3\xB6\xC3\x9F"
                                "e.txt",
                                0x80 | 0x20, ansi),
              L"Größe.txt");
    EXPECT_EQ(CabinetStoredName("Gr\xF6\xDF"
                                "e.txt",
                                0x20, ansi),
              L"Größe.txt");
    EXPECT_EQ(CabinetListedName(L"sub/dir/a.txt"), L"sub\\dir\\a.txt");
    EXPECT_EQ(CabinetListedName(L"sub\\a.txt"), L"sub\\a.txt");
}

TEST(CabinetRules, DatesTimesAndAttributesAreUnsigned16Bit)
{
    EXPECT_EQ(PackCabinetDateTime(0xFFFF, 0x8000), 0xFFFF8000u);
    EXPECT_EQ(PackCabinetDateTime(0x5A8A, 0x6000), 0x5A8A6000u);
    EXPECT_EQ(CabinetFileAttributes(0xFFFF), 0x27u);
    EXPECT_EQ(CabinetFileAttributes(0x80 | 0x01), 0x01u);
    EXPECT_EQ(CabinetFileAttributes(0x40 | 0x10), 0x00u);
}

TEST(CabinetRules, EachCopyNotificationIsDecided)
{
    TStringList none;
    TStringList some;
    some.Add(L"sub/a.txt");
    const std::wstring target = AddPathSeparator(L"out");
    struct TCase {
        bool Stop;
        const TStringList* Files;
        const wchar_t* Stored;
        bool UsePaths;
        TCabCopyDecision Decision;
        std::wstring Target;
    };
    const TCase cases[] = {
        {false, &none, L"sub/a.txt", true, TCabCopyDecision::Copy, *SafeExtractPath(L"out", L"sub/a.txt", true)},
        {false, &none, L"sub\\a.txt", false, TCabCopyDecision::Copy, *SafeExtractPath(L"out", L"a.txt", true)},
        {true, &none, L"sub/a.txt", true, TCabCopyDecision::Skip, L""},
        {false, &some, L"sub/a.txt", true, TCabCopyDecision::Copy, *SafeExtractPath(L"out", L"sub/a.txt", true)},
        {false, &some, L"sub/b.txt", true, TCabCopyDecision::Skip, L""},
        {false, &none, L"..\\x", true, TCabCopyDecision::Refuse, L""},
        {false, &none, L"\\x", true, TCabCopyDecision::Copy, *SafeExtractPath(L"out", L"x", true)},
        {false, &none, L"C:\\x", true, TCabCopyDecision::Copy, *SafeExtractPath(L"out", L"x", true)},
        {false, &none, L"dir/CON", true, TCabCopyDecision::Refuse, L""},
    };
    for (const auto& c : cases) {
        const TCabCopyPlan plan = PlanCabinetCopy(c.Stop, *c.Files, c.Stored, c.UsePaths, target);
        EXPECT_EQ(plan.Decision, c.Decision) << c.Stored;
        EXPECT_EQ(plan.Target, c.Target) << c.Stored;
    }
}

TEST(CabinetRules, TheProcessorTypeGoesToFdiAsMinusOneZeroOrOne)
{
    EXPECT_EQ(FdiCpuType(cptAuto), -1);
    EXPECT_EQ(FdiCpuType(cpt80286), 0);
    EXPECT_EQ(FdiCpuType(cpt80386), 1);
}

TEST(CabinetRules, NamesFromFdiAreUtf8WhenTheyCanBeElseAnsi)
{
    const auto ansi = [](std::string_view bytes) {
        std::wstring text;
        for (const char c : bytes)
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
        return text;
    };
    EXPECT_EQ(CabinetFdiText("T:\\Gr\xC3\xB6\xC3\x9F"
                             "e\\a2.cab",
                             ansi),
              L"T:\\Größe\\a2.cab");
    EXPECT_EQ(CabinetFdiText("Gr\xF6\xDF"
                             "e2.cab",
                             ansi),
              L"Größe2.cab");
    EXPECT_EQ(CabinetFdiText("", ansi), L"");
}

TEST(CabinetRules, TheNextCabinetIsLookedForUntilFdiFailsWithTheSameFolder)
{
    struct TCase {
        int Error;
        bool PathChanged;
        bool Abort;
        bool GoesOn;
    };
    const TCase cases[] = {
        {0, false, false, true},                             // the first request: the set's own folder
        {0, true, false, true},    {0, false, true, false},  // a handler aborts
        {1, false, false, false},                            // not found, and nobody named another folder
        {1, true, false, true},                              // not found here, a handler names another folder
        {10, false, false, false},                           // a cabinet of another set
        {10, true, true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CabinetNextGoesOn(c.Error, c.PathChanged, c.Abort), c.GoesOn)
            << c.Error << " " << c.PathChanged << " " << c.Abort;
}

TEST(CabinetRules, TheNextCabinetsFolderMustFitFdisBuffer)
{
    EXPECT_EQ(CabinetPathBuffer(L"T:\\set", 256), std::optional<std::string>("T:\\set\\"));
    EXPECT_EQ(CabinetPathBuffer(L"T:\\set\\", 256), std::optional<std::string>("T:\\set\\"));
    EXPECT_EQ(CabinetPathBuffer(L"T:\\Größe", 256), std::optional<std::string>("T:\\Gr\xC3\xB6\xC3\x9F"
                                                                               "e\\"));
    EXPECT_EQ(CabinetPathBuffer(L"", 256), std::optional<std::string>(""));
    const std::wstring longest(254, L'x');  // with the backslash and the terminator: 256 bytes
    EXPECT_EQ(CabinetPathBuffer(longest, 256)->size(), 255u);
    EXPECT_FALSE(CabinetPathBuffer(longest + L"x", 256));
    EXPECT_FALSE(CabinetPathBuffer(std::wstring(200, L'ö'), 256));  // 400 bytes in UTF-8
}
