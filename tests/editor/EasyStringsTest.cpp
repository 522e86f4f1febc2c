#include "editor/EasyPersistence.h"
#include "editor/EasyStrings.h"
#include "framework/StringList.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;
using namespace std::string_literals;

namespace {

std::vector<std::u16string> LinesOf(const TEasyStrings& strings)
{
    std::vector<std::u16string> lines;
    for (int i = 0; i < strings.Count(); ++i)
        lines.push_back(strings[i]);
    return lines;
}

}  // namespace

TEST(EasyStrings, SplitsTextAtEveryKindOfLineBreak)
{
    const std::pair<const char16_t*, std::vector<std::u16string>> cases[] = {
        {u"", {}},
        {u"x", {u"x"}},
        {u"a\r\nb\nc\r", {u"a", u"b", u"c"}},
        {u"a\n\nb", {u"a", u"", u"b"}},
        {u"a\r\r\nb", {u"a", u"", u"b"}},
        {u"\r\n", {u""}},
    };
    TEasyStrings strings;
    for (const auto& [text, lines] : cases) {
        strings.SetText(text);
        EXPECT_EQ(LinesOf(strings), lines);
    }
    strings.SetText(u"a\nb");
    EXPECT_EQ(strings.GetTextStr(), u"a\r\nb\r\n");
}

TEST(EasyStrings, IndicesOutsideTheListAreHarmless)
{
    TEasyStrings strings;
    strings.SetText(u"eins\nzwei");
    EXPECT_EQ(strings.Get(-1), u"");
    EXPECT_EQ(strings.Get(2), u"");
    EXPECT_EQ(strings.GetObject(7), 0);
    strings.Insert(3, u"weg");
    strings.Put(5, u"weg");
    strings.PutObject(-1, 5);
    strings.Delete(-1);
    strings.Delete(2);
    strings.Exchange(0, 2);
    EXPECT_EQ(LinesOf(strings), (std::vector<std::u16string>{u"eins", u"zwei"}));
    strings.Insert(2, u"drei");
    EXPECT_EQ(strings[2], u"drei");
    EXPECT_EQ(strings.IndexOf(u"zwei"), 1);
    EXPECT_EQ(strings.IndexOf(u"Zwei"), -1) << "exact comparison";
}

TEST(EasyStrings, RecordsKeepTheirFieldsThroughEdits)
{
    TEasyStrings strings;
    strings.SetText(u"kurz\nzwei");
    strings.PutObject(0, 42);
    TEasyStringItem& first = *strings.Items(0);
    first.Flags = lfCollapsible;
    first.EndState = 3;
    EXPECT_EQ(first.Reserved1, -1);
    EXPECT_EQ(first.Reserved2, -1);

    // A longer text moves the line into a new record with the same fields.
    strings.Put(0, u"ein viel längerer Text als vorher");
    EXPECT_EQ(strings[0], u"ein viel längerer Text als vorher");
    EXPECT_EQ(strings.GetObject(0), 42);
    EXPECT_EQ(strings.Items(0)->Flags, lfCollapsible);
    EXPECT_EQ(strings.EndState(0), 3);
    strings.Put(0, u"ab");
    EXPECT_EQ(strings.GetStored(0), u"ab");

    // Exchange swaps text, styles and data; flags and states stay put.
    strings.SetStyles(0, 1, 7, 5);
    EXPECT_EQ(strings.StyleAt(0, 2), 7);
    EXPECT_EQ(strings.StyleAt(0, 3), -1) << "beyond the line";
    strings.Exchange(0, 1);
    EXPECT_EQ(LinesOf(strings), (std::vector<std::u16string>{u"zwei", u"ab"}));
    EXPECT_EQ(strings.GetObject(1), 42);
    EXPECT_EQ(strings.StyleAt(1, 1), 7);
    EXPECT_EQ(strings.StyleAt(0, 1), -1);
    EXPECT_EQ(strings.Items(0)->Flags, lfCollapsible);
    EXPECT_EQ(strings.EndState(0), 3);

    strings.Move(1, 0);
    EXPECT_EQ(LinesOf(strings), (std::vector<std::u16string>{u"ab", u"zwei"}));
    EXPECT_EQ(strings.GetObject(0), 42);
}

TEST(EasyStrings, ReportsChangesAndTheChangedRange)
{
    TEasyStrings strings;
    strings.SetText(u"0\n1\n2\n3\n4");
    std::vector<std::string> heard;
    strings.OnChanging = [&](TEasyStrings&) { heard.push_back("changing"); };
    strings.OnChange = [&](TEasyStrings&) { heard.push_back("change"); };

    strings.ResetChangedRange();
    strings.Put(3, u"drei");
    EXPECT_EQ(heard, (std::vector<std::string>{"changing", "change"}));
    EXPECT_EQ(strings.FirstChanged(), 3);
    EXPECT_EQ(strings.LastChanged(), 3);
    strings.Exchange(4, 1);
    EXPECT_EQ(strings.FirstChanged(), 1);
    EXPECT_EQ(strings.LastChanged(), 4);
    strings.Insert(2, u"neu");
    EXPECT_EQ(strings.LastChanged(), TEasyStrings::ToTheEnd);

    heard.clear();
    strings.BeginUpdate();
    EXPECT_EQ(strings.FirstChanged(), -1) << "an update starts a fresh range";
    strings.Add(u"a");
    strings.Delete(0);
    strings.EndUpdate();
    EXPECT_EQ(heard, (std::vector<std::string>{"changing", "change"})) << "one report per update";
    EXPECT_EQ(strings.FirstChanged(), 0);

    // The hook sees what is read (mode 0) and what was stored (mode 1).
    std::vector<int> modes;
    strings.OnGetString = [&](const TEasyStrings&, std::u16string& text, int mode) {
        modes.push_back(mode);
        if (mode == 0)
            text += u"!";
    };
    strings.Put(0, u"x");
    EXPECT_EQ(strings[0], u"x!");
    EXPECT_EQ(strings.GetStored(0), u"x");
    EXPECT_EQ(modes, (std::vector<int>{1, 0}));
    EXPECT_EQ(strings.FileBytes().substr(0, 3), "x\r\n") << "saving bypasses the hook";
}

TEST(EasyStrings, MissingFileLeavesTheListAlone)
{
    test::TestDir dir;
    TEasyStrings strings;
    strings.SetText(u"bleibt");
    int changes = 0;
    strings.OnChange = [&](TEasyStrings&) { ++changes; };
    EXPECT_THROW(strings.LoadFromFile(dir.File(L"fehlt.txt")), EFOpenError);
    EXPECT_EQ(strings[0], u"bleibt");
    EXPECT_EQ(changes, 0);
}

TEST(EasyStrings, AssignEqualsAndFrameworkLists)
{
    TEasyStrings a, b;
    a.SetText(u"eins\nzwei");
    a.PutObject(1, 9);
    b.Assign(a);
    EXPECT_TRUE(b.Equals(a));
    EXPECT_EQ(b.GetObject(1), 9);
    b.Put(1, u"Zwei");
    EXPECT_FALSE(b.Equals(a));

    TStringList list;
    list.Add(L"Grüße");
    list.Add(L"€");
    b.Assign(list);
    EXPECT_EQ(LinesOf(b), (std::vector<std::u16string>{u"Grüße", u"€"}));
}

TEST(EasyStrings, PropertyStringsReadsEveryKindOfString)
{
    TEasyStrings strings;
    strings.SetText(u"äö\n\nz");
    TMemoryStream stream;
    WriteStreamed(stream, strings);
    TEasyStrings copy;
    copy.SetText(u"alt");
    stream.SetPosition(0);
    ReadStreamed(stream, copy);
    EXPECT_TRUE(copy.Equals(strings));

    // Short and long ANSI strings read as lines too; an integer is refused.
    auto block = [](const std::string& values) { return "EPB1\x07Strings\x01"s + values + "\x00\x00"s; };
    const std::string ansi = block("\x06\x02"
                                   "a\xE4"
                                   "\x0C\x01\0\0\0b"s);
    TMemoryStream ansiStream;
    ansiStream.WriteBytes(ansi);
    ansiStream.SetPosition(0);
    ReadStreamed(ansiStream, copy);
    EXPECT_EQ(LinesOf(copy), (std::vector<std::u16string>{u"aä", u"b"}));

    TMemoryStream bad;
    bad.WriteBytes(block("\x06\x01x\x02\x05"s));
    bad.SetPosition(0);
    try {
        ReadStreamed(bad, copy);
        ADD_FAILURE() << "an integer in the list must be refused";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), L"Ungültiger Eigenschaftswert");
    }
    EXPECT_EQ(LinesOf(copy), (std::vector<std::u16string>{u"aä", u"b"})) << "unchanged";
}
