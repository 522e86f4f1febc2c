#include "editor/EasyStrings.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "TestDir.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

std::vector<std::wstring> LinesOf(const TEasyStrings& strings)
{
    std::vector<std::wstring> lines;
    for (int i = 0; i < strings.Count(); ++i)
        lines.push_back(strings[i]);
    return lines;
}

}  // namespace

TEST(EasyStrings, SplitsTextAtEveryKindOfLineBreak)
{
    const std::pair<const wchar_t*, std::vector<std::wstring>> cases[] = {
        {L"", {}},
        {L"x", {L"x"}},
        {L"a\r\nb\nc\r", {L"a", L"b", L"c"}},
        {L"a\n\nb", {L"a", L"", L"b"}},
        {L"a\r\r\nb", {L"a", L"", L"b"}},
        {L"\r\n", {L""}},
    };
    TEasyStrings strings;
    for (const auto& [text, lines] : cases) {
        strings.SetText(text);
        EXPECT_EQ(LinesOf(strings), lines) << WideToUtf8(text);
    }
    strings.SetText(L"a\nb");
    EXPECT_EQ(strings.Text(), L"a\r\nb\r\n");
}

TEST(EasyStrings, IndicesOutsideTheListAreHarmless)
{
    TEasyStrings strings;
    strings.SetText(L"eins\nzwei");
    EXPECT_EQ(strings.Get(-1), L"");
    EXPECT_EQ(strings.Get(2), L"");
    strings.Insert(3, L"weg");
    strings.Put(5, L"weg");
    strings.Delete(-1);
    EXPECT_EQ(strings.Count(), 2);
    strings.Insert(2, L"drei");
    EXPECT_EQ(strings[2], L"drei");
}

TEST(EasyStrings, LoadsAndSavesTheTextFileFormat)
{
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::wstring> lines;
        bool unicode;
        std::string saved;
    };
    const Case cases[] = {
        {"empty", "", {}, false, ""},
        {"one ANSI byte", "x", {L"x"}, false, "x\r\n"},
        {"UTF-16 with mark", "\xff\xfe" "A\0\r\0\n\0"s, {L"A"}, true, "\xff\xfe" "A\0\r\0\n\0"s},
        {"big-endian mark", "\xfe\xff\0\xe4\0\n"s, {L"ä"}, true, "\xff\xfe\xe4\0\r\0\n\0"s},
        {"odd size is never UTF-16", "\xff\xfe" "A"s, {L"\u00ff\u00fe" L"A"}, false, "\xff\xfe" "A\r\n"s},
        {"ANSI with LF", "gr\xfc\xdf\nzwei", {L"grüß", L"zwei"}, false, "gr\xfc\xdf\r\nzwei\r\n"},
    };
    test::TestDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEasyStrings strings;
        strings.LoadFromFile(dir.Write(L"in.txt", c.bytes));
        EXPECT_EQ(LinesOf(strings), c.lines);
        EXPECT_EQ(strings.Unicode(), c.unicode);
        strings.SaveToFile(dir.File(L"out.txt"));
        EXPECT_EQ(dir.Read(L"out.txt"), c.saved);
    }
}

TEST(EasyStrings, MissingFileLeavesTheListAlone)
{
    test::TestDir dir;
    TEasyStrings strings;
    strings.SetText(L"bleibt");
    int changes = 0;
    strings.OnChange = [&](TEasyStrings&) { ++changes; };
    EXPECT_THROW(strings.LoadFromFile(dir.File(L"fehlt.txt")), EFOpenError);
    EXPECT_EQ(strings[0], L"bleibt");
    EXPECT_EQ(changes, 0);

    strings.BeginUpdate();
    strings.Add(L"a");
    strings.Add(L"b");
    EXPECT_EQ(changes, 0);
    strings.EndUpdate();
    EXPECT_EQ(changes, 1) << "one report after the update";
}
