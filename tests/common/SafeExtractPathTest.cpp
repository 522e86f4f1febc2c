#include "common/SafeExtractPath.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using qrv::SafeExtractPath;

namespace {

#ifdef _WIN32
const std::wstring kSep = L"\\";
#else
const std::wstring kSep = L"/";
#endif

// The expected result: the levels joined with the system's separator.
std::wstring Under(const std::wstring& target, const std::vector<std::wstring>& levels)
{
    std::wstring result = target;
    for (const auto& level : levels)
        result += kSep + level;
    return result;
}

struct TCase {
    const wchar_t* Stored;
    bool UsePaths;
    std::vector<std::wstring> Levels;
};

}  // namespace

TEST(SafeExtractPath, KeepsOrderlyNamesAndStripsPrefixes)
{
    const std::wstring target = L"base";
    const TCase cases[] = {
        {L"a.txt", true, {L"a.txt"}},
        {L"dir/sub/a.txt", true, {L"dir", L"sub", L"a.txt"}},
        {L"dir\\sub\\a.txt", true, {L"dir", L"sub", L"a.txt"}},
        {L"dir/sub/a.txt", false, {L"a.txt"}},
        {L"./dir//a.txt", true, {L"dir", L"a.txt"}},
        {L"/abs/a.txt", true, {L"abs", L"a.txt"}},
        {L"\\abs\\a.txt", true, {L"abs", L"a.txt"}},
        {L"C:\\win\\a.txt", true, {L"win", L"a.txt"}},
        {L"c:/a.txt", true, {L"a.txt"}},
        {L"C:relative.txt", true, {L"relative.txt"}},
        {L"\\\\server\\share\\dir\\a.txt", true, {L"dir", L"a.txt"}},
        {L"\\\\?\\C:\\a.txt", true, {L"a.txt"}},
        {L"Größe.txt", true, {L"Größe.txt"}},
        {L"console.txt", true, {L"console.txt"}},
        {L"COM0", true, {L"COM0"}},
        {L"a..b", true, {L"a..b"}},
    };
    for (const auto& c : cases) {
        const auto result = SafeExtractPath(target, c.Stored, c.UsePaths);
        ASSERT_TRUE(result.has_value()) << c.Stored;
        EXPECT_EQ(*result, Under(target, c.Levels)) << c.Stored;
    }
}

TEST(SafeExtractPath, RefusesNamesThatLeaveTheTargetOrNameDevices)
{
    const wchar_t* refused[] = {
        L"../evil.txt",
        L"a/../../evil.txt",
        L"a\\..\\b.txt",
        L"..",
        L"dir/..",
        L"dir/C:evil.txt",
        L"a.txt:stream",
        L"dir/file:$DATA",
        L"CON",
        L"nul.txt",
        L"Aux.tar.gz",
        L"dir/COM1",
        L"lpt9.log",
        L"PRN ",
        L"con .txt",
        L"trailing.",
        L"dir./a.txt",
        L"blank ",
        L"a<b",
        L"a|b",
        L"a*b",
        L"a?b",
        L"a\"b",
        L"",
        L"/",
        L"C:\\",
        L"\\\\server\\share\\",
        L"ctl\x01.txt",
    };
    for (const wchar_t* name : refused) {
        EXPECT_FALSE(SafeExtractPath(L"base", name, true).has_value()) << name;
        // Without paths a hostile level is refused as well, not dropped.
        EXPECT_FALSE(SafeExtractPath(L"base", name, false).has_value()) << name;
    }
}

TEST(SafeExtractPath, JoinsWithOneSeparatorWhateverTheTargetEndsWith)
{
    EXPECT_EQ(*SafeExtractPath(L"base" + kSep, L"a.txt", true), Under(L"base", {L"a.txt"}));
    EXPECT_EQ(*SafeExtractPath(L"", L"d/a.txt", true), L"d" + kSep + L"a.txt");
    EXPECT_EQ(qrv::AddPathSeparator(L"x"), L"x" + kSep);
    EXPECT_EQ(qrv::AddPathSeparator(L"x/"), L"x/");
}
