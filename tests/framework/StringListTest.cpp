#include "framework/Encoding.h"
#include "framework/StringList.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "TestDir.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {
std::vector<std::wstring> Lines(const TStrings& list)
{
    std::vector<std::wstring> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}
}  // namespace

TEST(StringList, SortedInsertKeepsOrderIgnoringCase)
{
    TStringList list;
    list.SetSorted(true);
    for (const wchar_t* s : {L"delta", L"Alpha", L"charlie", L"Bravo", L"älter"})
        list.Add(s);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"Alpha", L"Bravo", L"charlie", L"delta", L"älter"}));
}

TEST(StringList, DuplicatesFollowTheDuplicatesSetting)
{
    TStringList ignore;
    ignore.SetSorted(true);
    EXPECT_EQ(ignore.Add(L"b"), 0);
    ignore.Add(L"a");
    EXPECT_EQ(ignore.Add(L"B"), 1) << "an equal string returns the existing index";
    EXPECT_EQ(ignore.Count(), 2);

    TStringList accept;
    accept.SetSorted(true);
    accept.SetDuplicates(TDuplicates::dupAccept);
    accept.Add(L"x");
    accept.Add(L"X");
    accept.Add(L"a");
    EXPECT_EQ(Lines(accept), (std::vector<std::wstring>{L"a", L"x", L"X"}));

    TStringList error;
    error.SetSorted(true);
    error.SetDuplicates(TDuplicates::dupError);
    error.Add(L"x");
    EXPECT_THROW(error.Add(L"x"), EStringListError);
}

TEST(StringList, FindReportsPositionOrInsertionPoint)
{
    TStringList list;
    list.SetSorted(true);
    for (const wchar_t* s : {L"b", L"d", L"f"})
        list.Add(s);
    int index = -1;
    EXPECT_TRUE(list.Find(L"D", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find(L"e", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find(L"a", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(list.Find(L"z", index));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(list.IndexOf(L"F"), 2);
    EXPECT_EQ(list.IndexOf(L"c"), -1);
}

TEST(StringList, CaseSensitiveListsKeepCaseVariantsApart)
{
    TStringList list;
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    list.Add(L"a");
    list.Add(L"A");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf(L"A"), 0);
}

TEST(StringList, SortedListRefusesPositionalChanges)
{
    TStringList list;
    list.SetSorted(true);
    list.Add(L"a");
    EXPECT_THROW(list.Insert(0, L"b"), EStringListError);
    EXPECT_THROW(list.Put(0, L"b"), EStringListError);
    EXPECT_THROW(list.Get(1), EStringListError);
}

TEST(StringList, NamesAndValues)
{
    TStringList list;
    list.SetText(L"Path=C:\\Temp\r\nplain line\nMask=*.txt=x\rEmpty=");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Names(0), L"Path");
    EXPECT_EQ(list.Names(1), L"");
    EXPECT_EQ(list.Values(L"mask"), L"*.txt=x") << "only the first separator splits";
    EXPECT_EQ(list.IndexOfName(L"EMPTY"), 3);
    EXPECT_EQ(list.Values(L"missing"), L"");

    list.SetValue(L"path", L"D:\\");
    EXPECT_EQ(list[0], L"path=D:\\");
    list.SetValue(L"New", L"1");
    EXPECT_EQ(list[4], L"New=1");
    list.SetValue(L"Mask", L"");
    EXPECT_EQ(list.IndexOfName(L"Mask"), -1) << "an empty value removes the line";
}

TEST(StringList, TextSplitsEveryLineBreakAndJoinsWithCrLf)
{
    TStringList list;
    list.SetText(L"a\r\n\r\nb\nc\r");
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"a", L"", L"b", L"c"}));
    EXPECT_EQ(list.Text(), L"a\r\n\r\nb\r\nc\r\n");
}

TEST(StringList, CommaTextQuotesWhatNeedsIt)
{
    TStringList list;
    list.Add(L"plain");
    list.Add(L"with space");
    list.Add(L"say \"hi\"");
    list.Add(L"");
    const std::wstring text = list.CommaText();
    EXPECT_EQ(text, L"plain,\"with space\",\"say \"\"hi\"\"\",\"\"");
    TStringList back;
    back.SetCommaText(text);
    EXPECT_TRUE(back.Equals(list));
}

TEST(StringList, ChangeEventsFireOnceForABatch)
{
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TStringList&) { ++changes; };
    list.Add(L"a");
    EXPECT_EQ(changes, 1);
    list.BeginUpdate();
    list.Add(L"b");
    list.Add(L"c");
    list.EndUpdate();
    EXPECT_EQ(changes, 2);
}

TEST(StringList, CustomSortUsesTheCallersOrder)
{
    TStringList list;
    for (const wchar_t* s : {L"ccc", L"a", L"bb"})
        list.Add(s);
    list.CustomSort([](const TStringList& l, int i, int j) {
        return static_cast<int>(l[j].size()) - static_cast<int>(l[i].size());
    });
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"ccc", L"bb", L"a"}));
}

struct EncodedFile {
    const char* name;
    std::string bytes;
};

void PrintTo(const EncodedFile& file, std::ostream* out)
{
    *out << file.name;
}

class StringListLoad : public testing::TestWithParam<EncodedFile> {};

TEST_P(StringListLoad, DetectsTheEncodingAndRoundTrips)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"list.txt", GetParam().bytes);
    TStringList list;
    list.LoadFromFile(file);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"Größe", L"Ωmega"}));

    // Saving again uses the encoding the file came in.
    list.SaveToFile(file);
    EXPECT_EQ(dir.Read(L"list.txt"), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, StringListLoad,
    testing::Values(
        EncodedFile{"Utf8Bom", "\xEF\xBB\xBFGr\xC3\xB6\xC3\x9F"
                               "e\r\n\xCE\xA9mega\r\n"},
        EncodedFile{"Utf8Plain", "Gr\xC3\xB6\xC3\x9F"
                                 "e\r\n\xCE\xA9mega\r\n"},
        EncodedFile{"Utf16LE", std::string("\xFF\xFEG\0r\0\xF6\0\xDF\0e\0\r\0\n\0\xA9\x03m\0e\0g\0a\0\r\0\n\0", 30)},
        EncodedFile{"Utf16BE", std::string("\xFE\xFF\0G\0r\0\xF6\0\xDF\0e\0\r\0\n\x03\xA9\0m\0e\0g\0a\0\r\0\n", 30)}),
    [](const testing::TestParamInfo<EncodedFile>& info) { return info.param.name; });

TEST(StringListLoadAnsi, BytesThatAreNoUtf8AreReadInTheAnsiCodePage)
{
    test::TestDir dir;
    // "Größe" in Windows-1252 (the host's stand-in for the ANSI code page).
    const std::wstring file = dir.Write(L"ansi.txt", "Gr\xF6\xDF"
                                                     "e\r\n");
    TStringList list;
    list.LoadFromFile(file);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], TEncoding::Default().GetString("Gr\xF6\xDF"
                                                      "e"));
}

TEST(StringListSave, NewListsAreSavedAsUtf8WithBom)
{
    test::TestDir dir;
    TStringList list;
    list.Add(L"Ωmega");
    list.SaveToFile(dir.File(L"new.txt"));
    EXPECT_EQ(dir.Read(L"new.txt"), "\xEF\xBB\xBF\xCE\xA9mega\r\n");
}

TEST(StringListLoad, MissingFileThrows)
{
    test::TestDir dir;
    TStringList list;
    EXPECT_THROW(list.LoadFromFile(dir.File(L"nope.txt")), EFOpenError);
}
