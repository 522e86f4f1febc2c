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
    EXPECT_EQ(CabinetStoredName("Gr\xC3\xB6\xC3\x9F" "e.txt", 0x80 | 0x20, ansi), L"Größe.txt");
    EXPECT_EQ(CabinetStoredName("Gr\xF6\xDF" "e.txt", 0x20, ansi), L"Größe.txt");
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
