// The text forms of the settings store and their reading rules.

#include "settings/SettingRules.h"
#include "settings/NamedFilters.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(SettingRules, ToolbarVisibilityIsPaddedToTheButtonCount)
{
    struct Case {
        const wchar_t* text;
        size_t buttons;
        std::optional<std::wstring> applied;
    } cases[] = {
        {L"XX-", 5, L"XX-XX"}, {L"X-X-X", 5, L"X-X-X"}, {L"XX-XXX", 5, std::nullopt},
        {L"", 3, L"XXX"},      {L"-", 0, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToolbarVisibilityText(c.text, c.buttons), c.applied) << c.text << " with " << c.buttons;
}

TEST(SettingRules, AttributeListNeedsAllSixCharacters)
{
    const TAttrChoices start{TSelAttr::SelNo, TSelAttr::SelNo, TSelAttr::SelNo,
                             TSelAttr::SelNo, TSelAttr::SelNo, TSelAttr::SelNo};
    struct Case {
        const wchar_t* text;
        bool applied;
        const wchar_t* after;
    } cases[] = {
        {L"+-", false, L"------"},      {L"+-*+-", false, L"------"}, {L"+-*+-*", true, L"+-*+-*"},
        {L"++++++++", true, L"++++++"}, {L"?x*+- ", true, L"***+-*"},
    };
    for (const Case& c : cases) {
        TAttrChoices choices = start;
        EXPECT_EQ(ApplyAttrListText(c.text, choices), c.applied) << c.text;
        EXPECT_EQ(AttrListText(choices), c.after) << c.text;
    }
}

TEST(SettingRules, FlagRowsGrowGroupByGroup)
{
    // The list-files row: eight flags, then two newer ones.
    struct Case {
        const wchar_t* text;
        const wchar_t* after;
    } cases[] = {
        {L"-------", L"XXXXXXXXXX"},  // too short for the first group
        {L"X-X-X-X-", L"X-X-X-X-XX"},
        {L"X-X-X-X--", L"X-X-X-X-XX"},  // the second group needs both characters
        {L"----------", L"----------"},
    };
    for (const Case& c : cases) {
        std::vector<bool> flags(10, true);
        ApplyFlagText(c.text, flags, {8, 10});
        EXPECT_EQ(FlagText(flags), c.after) << c.text;
    }
}

TEST(SettingRules, FunctionKeyTextSplitsAtTheFirstTwoSeparators)
{
    struct Case {
        std::wstring text;
        TFKeyRecord record;
    } cases[] = {
        {L"\u00BB\u00BB", {}},
        {L"Cap\u00BBcmd.exe\u00BB/a \u00BB b", {L"Cap", L"cmd.exe", L"/a \u00BB b", -1}},
        {L"nur Titel", {L"nur Titel", L"", L"", -1}},
        {L"T\u00BBc", {L"T", L"c", L"", -1}},
        {std::wstring(30, L'c') + L"\u00BB" + std::wstring(210, L'p') + L"\u00BB" + std::wstring(300, L'q'),
         {std::wstring(25, L'c'), std::wstring(200, L'p'), std::wstring(255, L'q'), -1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FKeyFromText(c.text), c.record) << testing::PrintToString(c.text);
    const TFKeyRecord record{L"Edit", L"notepad.exe", L"[!]", 7};
    TFKeyRecord back = FKeyFromText(FKeyToText(record));
    EXPECT_EQ(back.Params, L"[!]");
    EXPECT_EQ(back.ImageIndex, -1) << "image indexes are never stored";
    EXPECT_EQ(FKeySection(0), L"FKeyShift");
    EXPECT_EQ(FKeySection(1), L"FKeyCtrl");
}

TEST(SettingRules, ProgramOfAnOpenCommand)
{
    EXPECT_EQ(ProgramFromOpenCommand(L"\"C:\\Programme\\IrfanView\\i_view32.exe\" \"%1\""),
              L"C:\\Programme\\IrfanView\\i_view32.exe");
    EXPECT_EQ(ProgramFromOpenCommand(L"C:\\iv.exe %1 /x"), L"C:\\iv.exe");
    EXPECT_EQ(ProgramFromOpenCommand(L""), L"");
}

TEST(NamedFilters, AllFilesComesFirst)
{
    std::vector<TFilterRec> list;
    EnsureAllFilesFilter(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (TFilterRec{L"Alle Dateien", L"*.*"}));

    list = {{L"A", L"*.a"}, {L"B", L"*.b"}};
    EnsureAllFilesFilter(list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Masks, L"*.*");
    EXPECT_EQ(list[2].Name, L"A") << "the first entry changes place with the new last one";

    list = {{L"A", L"*.a"}, {L"Alles", L"*.*"}};
    EnsureAllFilesFilter(list);
    EXPECT_EQ(list[0].Name, L"Alles");
    EXPECT_EQ(list[1].Name, L"A");

    AddNamedFilter(list, std::wstring(70, L'n'), std::wstring(300, L'm'));
    EXPECT_EQ(list.back().Name.size(), 60u);
    EXPECT_EQ(list.back().Masks.size(), 255u);
}
