#include "editor/EasyHistory.h"

#include "FakeEasyRegistry.h"
#include "TestDir.h"
#include "editor/EditorSettings.h"
#include "framework/Encoding.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(EasyHistory, AddingPutsTheTextFirst)
{
    struct Case {
        const char* Name;
        TEasyHistoryItems Before;
        const wchar_t* Text;
        TEasyHistoryItems After;
    };
    const Case cases[] = {
        {"NewText", {L"b", L"c"}, L"a", {L"a", L"b", L"c"}},
        {"ExistingMovesUp", {L"b", L"a", L"c"}, L"a", {L"a", L"b", L"c"}},
        {"CaseOnlyDuplicateReplaced", {L"b", L"Łódź", L"c"}, L"łÓDŹ", {L"łÓDŹ", L"b", L"c"}},
        {"EmptyNotAdded", {L"b"}, L"", {L"b"}},
        {"ExistingEmptyRemoved", {L"b", L"", L"c"}, L"", {L"b", L"c"}},
        {"CutAtItsBreak", {L"b"}, L"one\r\ntwo", {L"one", L"b"}},
        {"BreakFirstIsEmpty", {L"b"}, L"\nx", {L"b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TEasyHistoryItems items = c.Before;
        AddToEasyHistory(items, c.Text);
        EXPECT_EQ(items, c.After);
    }
}

TEST(EasyHistory, ValueNames)
{
    EXPECT_EQ(EasyHistoryValueName(L"", L"FrmFindDlg", L"cbTextToFind"), L"FrmFindDlgcbTextToFind");
    EXPECT_EQ(EasyHistoryValueName(L"Mine", L"FrmFindDlg", L"cbTextToFind"), L"Mine");
    EXPECT_EQ(EasyHistoryValueName(L"", L"", L""), L"Default");
    EXPECT_EQ(EasyHistoryRegistryKey(), std::wstring(kEasyRegistryBaseKey) + L"History");
}

TEST(EasyHistory, IniAndRegistryRoundTrips)
{
    const TEasyHistoryItems items = {L"a=b;[x]", L"Łódź", L"€ \U0001F600", L"  lead", L"x\tTab"};
    // The INI value holds nothing that could break its line.
    const std::wstring hex = EncodeEasyIniHistory(items);
    for (const wchar_t c : hex)
        EXPECT_TRUE((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F')) << int(c);
    EXPECT_EQ(DecodeEasyIniHistory(hex, TEncoding::Windows1252()), items);

    test::TestDir dir;
    const TEasyHistoryPlace ini{false, dir.File(L"dialogs.ini"), L"FrmFindDlgcbTextToFind"};
    SaveEasyHistory(items, ini, nullptr);
    EXPECT_EQ(LoadEasyHistory(ini, nullptr, TEncoding::Windows1252()), items);
    // Another combo's value in the same file stays apart.
    const TEasyHistoryPlace other{false, ini.FileName, L"FrmReplDlgcbReplaceWith"};
    SaveEasyHistory({L"r"}, other, nullptr);
    EXPECT_EQ(LoadEasyHistory(ini, nullptr, TEncoding::Windows1252()), items);
    EXPECT_EQ(LoadEasyHistory(other, nullptr, TEncoding::Windows1252()), (TEasyHistoryItems{L"r"}));

    test::FakeRegistry registry;
    const TEasyHistoryPlace reg{true, L"", L"FrmReplDlgcbReplaceWith"};
    EXPECT_TRUE(LoadEasyHistory(reg, &registry, TEncoding::Windows1252()).empty());
    SaveEasyHistory(items, reg, &registry);
    EXPECT_EQ(LoadEasyHistory(reg, &registry, TEncoding::Windows1252()), items);
    EXPECT_EQ(registry.openCount, 0);
}

TEST(EasyHistory, UnmarkedIniValuesAreAnsi)
{
    // Bytes of the ANSI code page as an older file holds them: "Äb" CR LF "c".
    const TEasyHistoryItems items = DecodeEasyIniHistory(L"C4620D0A63", TEncoding::Windows1252());
    EXPECT_EQ(items, (TEasyHistoryItems{L"Äb", L"c"}));
    // A damaged pair ends the value; an odd digit at the end is dropped.
    EXPECT_EQ(DecodeEasyIniHistory(L"6162ZZ63", TEncoding::Windows1252()), (TEasyHistoryItems{L"ab"}));
    EXPECT_EQ(DecodeEasyIniHistory(L"616", TEncoding::Windows1252()), (TEasyHistoryItems{L"a"}));
    EXPECT_TRUE(DecodeEasyIniHistory(L"", TEncoding::Windows1252()).empty());
}

}  // namespace
