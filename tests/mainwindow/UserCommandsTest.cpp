// The user commands: the placeholders of the parameter line, the way a
// command is run, the batch file's bytes, and what the function-key toolbar
// and the "&Programme" menu show.

#include "mainwindow/CommandPlaceholders.h"
#include "mainwindow/UserCommands.h"

#include <gtest/gtest.h>

#include <map>

using namespace qrv;

namespace {

// The window as the expansion sees it, with every question recorded.
class FakeSource : public TPlaceholderSource {
public:
    std::vector<TCommandItem> Selected;
    std::optional<TCommandItem> Focused;
    std::optional<TCommandItem> Other;
    std::map<std::wstring, std::wstring> ShortForms;
    std::wstring ListFile = L"C:\\Temp\\QRV32.TMP";
    bool ListFileFails = false;
    std::vector<std::wstring> ListFileNames;
    std::optional<std::wstring> Parameter;
    std::vector<std::optional<std::wstring>> Files;
    std::vector<std::optional<std::wstring>> Folders;
    std::vector<std::wstring> Questions;
    std::wstring Tree = L"C:\\Daten";
    std::wstring Paths[2] = {L"C:\\Eins", L"D:\\Zwei"};
    bool Second = true;

    std::vector<TCommandItem> SelectedItems() override { return Selected; }
    std::optional<TCommandItem> FocusedItem() override { return Focused; }
    std::optional<TCommandItem> OtherListSelection() override { return Other; }
    std::wstring ShortPath(const std::wstring& FullPath) override
    {
        const auto found = ShortForms.find(FullPath);
        return found == ShortForms.end() ? FullPath : found->second;
    }
    std::optional<std::wstring> WriteListFile(const std::vector<std::wstring>& Names) override
    {
        ListFileNames = Names;
        if (ListFileFails)
            return std::nullopt;
        return ListFile;
    }
    std::optional<std::wstring> AskParameter(const std::wstring& Line) override
    {
        Questions.push_back(L"?" + Line);
        return Parameter;
    }
    std::optional<std::wstring> AskFile(unsigned Number, const std::wstring& InitialFolder) override
    {
        Questions.push_back(L"F" + std::to_wstring(Number) + L":" + InitialFolder);
        if (Files.empty())
            return std::nullopt;
        auto answer = Files.front();
        Files.erase(Files.begin());
        return answer;
    }
    std::optional<std::wstring> AskFolder(unsigned Number) override
    {
        Questions.push_back(L"V" + std::to_wstring(Number));
        if (Folders.empty())
            return std::nullopt;
        auto answer = Folders.front();
        Folders.erase(Folders.begin());
        return answer;
    }
    std::wstring TreeFolder() override { return Tree; }
    std::wstring ListPath(int Index) override { return Paths[Index]; }
    bool SecondWindowShown() override { return Second; }
    std::wstring ActiveListPath() override { return Paths[0]; }
};

TCommandItem File(const std::wstring& Name, const std::wstring& Folder = L"C:\\Eins")
{
    return {Name, Folder + L"\\" + Name, false};
}

std::wstring Expanded(const std::wstring& Params, FakeSource& Source, const TBatchFit& Fit = {})
{
    const TExpandResult result = ExpandCommandPlaceholders(Params, Source, Fit);
    EXPECT_EQ(result.Status, TExpandStatus::Done) << testing::PrintToString(Params);
    return result.Line;
}

}  // namespace

TEST(CommandPlaceholders, ValuesOfTheReferenceItemAndTheSelection)
{
    struct Case {
        const wchar_t* params;
        std::vector<TCommandItem> selected;
        std::optional<TCommandItem> focused;
        const wchar_t* line;
    };
    const TCommandItem blank = File(L"a b.txt");
    const TCommandItem folder{L"Ordner", L"C:\\Eins\\Ordner", true};
    const Case cases[] = {
        // One pair of quotes at each place.
        {L"[F] [F]", {blank}, std::nullopt, L"\"a b.txt\" \"a b.txt\""},
        {L"[!]", {}, blank, L"\"C:\\Eins\\a b.txt\""},
        // No "[1]": "[3]" is not replaced, and blanked by the clean-up.
        {L"x[3]y", {blank, blank, blank}, std::nullopt, L"x   y"},
        {L"[1] [2] [3]", {File(L"a"), File(L"b")}, std::nullopt, L"\"a\" \"b\"    "},
        // A folder's file values are empty.
        {L"<[!]>", {}, folder, L"<>"},
        {L"[!]", {}, folder, L""},
        // The first selected item comes before the focused one.
        {L"[N] [E]", {File(L"bild.neu.jpg")}, File(L"x.txt"), L"\"bild.neu\" \".jpg\""},
        // A word with a value in it is quoted as a whole.
        {L"[N].bak", {File(L"brief.txt")}, std::nullopt, L"\"brief.bak\""},
        {L"[\\][F]", {File(L"a.txt")}, std::nullopt, L"\"C:\\Daten\\a.txt\""},
        // Inserted text is never read again: names with brackets and operators.
        {L"[F]", {File(L"Foto [1].jpg")}, std::nullopt, L"\"Foto [1].jpg\""},
        {L"[1] [F]", {File(L"Foto [1].jpg")}, std::nullopt, L"\"Foto [1].jpg\" \"Foto [1].jpg\""},
        {L"[F]", {File(L"a&b.txt")}, std::nullopt, L"\"a&b.txt\""},
        {L"[F]", {File(L"100%.txt")}, std::nullopt, L"\"100%.txt\""},
        // A placeholder the user quoted keeps the user's quotes.
        {L"\"[F]\"", {blank}, std::nullopt, L"\"a b.txt\""},
        {L"\"[V]\\[F]\"", {blank}, std::nullopt, L"\"C:\\Daten\\a b.txt\""},
        // The user's operators stay between the words.
        {L"[F]>out.txt", {File(L"a.txt")}, std::nullopt, L"\"a.txt\">out.txt"},
        // Longer bracketed names stay; short unknown ones are blanked.
        {L"[abc] [x] [yz]", {}, std::nullopt, L"[abc]         "},
        {L"[F]", {}, std::nullopt, L"   "},
    };
    for (const Case& c : cases) {
        FakeSource source;
        source.Selected = c.selected;
        source.Focused = c.focused;
        EXPECT_EQ(Expanded(c.params, source), c.line) << testing::PrintToString(std::wstring(c.params));
    }
}

TEST(CommandPlaceholders, ShortFormsAndFolders)
{
    FakeSource source;
    source.Selected = {File(L"langer name.html")};
    source.ShortForms[L"C:\\Eins\\langer name.html"] = L"C:\\Eins\\LANGER~1.HTM";
    source.ShortForms[L"C:\\Daten"] = L"C:\\DATEN~1";
    EXPECT_EQ(Expanded(L"[S!] [SF] [SN] [S1]", source),
              L"\"C:\\Eins\\LANGER~1.HTM\" \"LANGER~1.HTM\" \"LANGER~1\" \"LANGER~1.HTM\"");
    EXPECT_EQ(Expanded(L"[V] [SV] [V1] [V2] [\\] [S\\]", source),
              L"\"C:\\Daten\" \"C:\\DATEN~1\" \"C:\\Eins\" \"D:\\Zwei\" \"C:\\Daten\\\\\" \"C:\\DATEN~1\\\\\"");
    // A trailing backslash does not swallow the closing quote.
    source.Tree = L"C:\\dir\\";
    EXPECT_EQ(Expanded(L"[V]", source), L"\"C:\\dir\\\\\"");
    // The second window hidden: one blank.
    source.Second = false;
    EXPECT_EQ(Expanded(L"a[V2]b", source), L"a b");
}

TEST(CommandPlaceholders, ListFile)
{
    FakeSource source;
    source.Selected = {File(L"a.txt"), {L"Ordner", L"C:\\Eins\\Ordner", true}};
    EXPECT_EQ(Expanded(L"@[*]", source), L"\"@C:\\Temp\\QRV32.TMP\"");
    EXPECT_EQ(source.ListFileNames, (std::vector<std::wstring>{L"a.txt", L"Ordner"}));
    // Not written: "[*]" stays and is blanked.
    source.ListFileFails = true;
    EXPECT_EQ(Expanded(L"x [*]", source), L"x    ");
    // Without a selection the file is not written.
    FakeSource focusedOnly;
    focusedOnly.Focused = File(L"a.txt");
    EXPECT_EQ(Expanded(L"[*]", focusedOnly), L"   ");
    EXPECT_TRUE(focusedOnly.ListFileNames.empty());
}

TEST(CommandPlaceholders, SecondFileFromTheOtherListTheSelectionOrAQuestion)
{
    FakeSource other;
    other.Selected = {File(L"a.txt")};
    other.Other = File(L"b.txt", L"D:\\Zwei");
    EXPECT_EQ(Expanded(L"[!] [!2]", other), L"\"C:\\Eins\\a.txt\" \"D:\\Zwei\\b.txt\"");

    FakeSource two;
    two.Selected = {File(L"a.txt"), File(L"b.txt")};
    EXPECT_EQ(Expanded(L"[!2]", two), L"\"C:\\Eins\\b.txt\"");

    // Neither: the user is asked; a file in the list's folder goes in by
    // its name, one elsewhere by its full name; a name with a blank by its
    // short form. The second question starts where the first one ended.
    FakeSource ask;
    ask.Selected = {File(L"a.txt")};
    ask.Files = {L"C:\\Eins\\x.txt", L"E:\\Neu\\y z.txt", L"C:\\Eins\\v w.txt"};
    ask.ShortForms[L"E:\\Neu\\y z.txt"] = L"E:\\Neu\\YZ~1.TXT";
    ask.ShortForms[L"C:\\Eins\\v w.txt"] = L"C:\\EINS~1\\VW~1.TXT";
    EXPECT_EQ(Expanded(L"[!2] [?F] [?F]", ask), L"\"x.txt\" \"E:\\Neu\\YZ~1.TXT\" \"VW~1.TXT\"");
    EXPECT_EQ(ask.Questions, (std::vector<std::wstring>{L"F1:", L"F2:C:\\Eins\\", L"F3:E:\\Neu\\"}));
}

TEST(CommandPlaceholders, QuestionsAndCancel)
{
    FakeSource source;
    source.Selected = {File(L"a.txt")};
    source.Parameter = L"-v [F]";
    // One question replaces every "[?]"; its answer is not read again.
    EXPECT_EQ(Expanded(L"[?] [F] [?]", source), L"-v [F] \"a.txt\" -v [F]");
    EXPECT_EQ(source.Questions, (std::vector<std::wstring>{L"?[?] \"a.txt\" [?]"}));

    source.Folders = {L"C:\\Mein Ordner"};
    source.ShortForms[L"C:\\Mein Ordner"] = L"C:\\MEINOR~1";
    EXPECT_EQ(Expanded(L"[?V]", source), L"\"C:\\MEINOR~1\\\\\"");

    // A cancelled question runs nothing.
    for (const wchar_t* params : {L"[?]", L"[?F]", L"[?V]"}) {
        FakeSource cancel;
        cancel.Selected = {File(L"a.txt")};
        EXPECT_EQ(ExpandCommandPlaceholders(params, cancel).Status, TExpandStatus::Cancelled);
    }
}

TEST(CommandPlaceholders, ValuesTheBatchFileCannotTake)
{
    FakeSource source;
    source.Selected = {File(L"Ω %PATH%.txt")};
    const TBatchFit fit = [](const std::wstring& value) {
        return value.find(L'Ω') == std::wstring::npos && value.find(L"%PATH%") == std::wstring::npos;
    };
    // By the short form, where it has none of it.
    source.ShortForms[L"C:\\Eins\\Ω %PATH%.txt"] = L"C:\\Eins\\PATH~1.TXT";
    EXPECT_EQ(Expanded(L"[F] [!]", source, fit), L"\"PATH~1.TXT\" \"C:\\Eins\\PATH~1.TXT\"");
    // Without one: refused, and named.
    source.ShortForms.clear();
    const TExpandResult refused = ExpandCommandPlaceholders(L"[F]", source, fit);
    EXPECT_EQ(refused.Status, TExpandStatus::Refused);
    EXPECT_NE(refused.Refusal.find(L"Ω %PATH%.txt"), std::wstring::npos);
}

TEST(UserCommands, AssignedRecords)
{
    struct Case {
        TFKeyRecord record;
        bool assigned;
    } cases[] = {
        {{L"Test", L"a.exe", L"", -1}, true}, {{L"Test", L"", L"dir", -1}, true}, {{L"", L"a.exe", L"", 3}, true},
        {{L"", L"a.exe", L"x", -1}, false},   {{L"Test", L"", L"", 3}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAssigned(c.record), c.assigned) << testing::PrintToString(c.record.Caption);
}

TEST(UserCommands, RunWay)
{
    constexpr uint32_t console = 0x00004550;
    constexpr uint32_t gui = 0x05024550;
    constexpr uint32_t dosMz = 0x00005A4D;
    struct Case {
        bool dosClose;
        const wchar_t* command;
        std::optional<uint32_t> type;
        bool asks;
        TRunWay way;
    } cases[] = {
        {false, L"C:\\t\\tool.exe", console, true, TRunWay::Batch},
        {false, L"C:\\t\\tool", dosMz, true, TRunWay::Batch},
        {false, L"C:\\t\\tool.EXE", gui, true, TRunWay::Direct},
        {false, L"C:\\t\\tool.exe", std::nullopt, true, TRunWay::Direct},
        {false, L"C:\\t\\run.bat", std::nullopt, false, TRunWay::Direct},
        {false, L"C:\\t\\run.cmd", std::nullopt, false, TRunWay::Direct},
        {false, L"C:\\t\\brief.txt", std::nullopt, false, TRunWay::Direct},
        // The window closes anyway: started directly.
        {true, L"C:\\t\\tool.exe", std::nullopt, false, TRunWay::Direct},
        // No program: the line is the interpreter's.
        {false, L"", std::nullopt, false, TRunWay::Batch},
        {true, L"", std::nullopt, false, TRunWay::Batch},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AsksExeType(c.dosClose, c.command), c.asks) << testing::PrintToString(std::wstring(c.command));
        EXPECT_EQ(ChooseRunWay(c.dosClose, c.command, c.asks ? c.type : std::nullopt), c.way)
            << testing::PrintToString(std::wstring(c.command));
    }
    EXPECT_TRUE(IsConsoleExeType(console));
    EXPECT_FALSE(IsConsoleExeType(gui));
    EXPECT_FALSE(IsConsoleExeType(0));
}

TEST(UserCommands, BatchFileBytes)
{
    const std::wstring line = ConsoleCommandLine(L"C:\\Werkzeug\\zeige.exe", L"\"Bericht über 100% (1).txt\" a&b");
    EXPECT_EQ(line, L"\"C:\\Werkzeug\\zeige.exe\" \"Bericht über 100% (1).txt\" a&b");
    const std::optional<std::string> kept = BatchFileBytes(BatchFileText(line, false), TOemCodePage::cp850);
    ASSERT_TRUE(kept);
    // The line in one more pair of quotes, which turns quoted and unquoted
    // around for the batch reader: what now stands outside quotes is
    // escaped, "%" is doubled and "ü" written in DOS bytes. The inner
    // interpreter gets the line back as written (the user's "&" an operator).
    EXPECT_EQ(*kept, "@echo off\r\n"
                     "%COMSPEC%  /c \"\"C:\\Werkzeug\\zeige.exe\" \"Bericht \x81"
                     "ber 100%% ^(1^).txt\" a&b\"\r\n"
                     "pause\r\n");
    const std::optional<std::string> closing = BatchFileBytes(BatchFileText(L"dir", true), TOemCodePage::cp437);
    ASSERT_TRUE(closing);
    EXPECT_EQ(*closing, "@echo off\r\n%COMSPEC%  /c \"dir\"\r\n");
    // What the code page cannot hold.
    EXPECT_FALSE(BatchFileBytes(BatchFileText(L"type Ω.txt", true), TOemCodePage::cp850));
}

TEST(UserCommands, BatchFileNames)
{
    for (const wchar_t* name : {L"QRVPTMP.CMD", L"qrvptmp(12).cmd", L"QRVPTMP(1).CMD"})
        EXPECT_TRUE(IsBatchFileName(name)) << testing::PrintToString(std::wstring(name));
    for (const wchar_t* name : {L"QRVPTMP().CMD", L"QRVPTMP(x).CMD", L"QRVPTMP1.CMD", L"QRVPTMP.BAT", L"QRV.CMD"})
        EXPECT_FALSE(IsBatchFileName(name)) << testing::PrintToString(std::wstring(name));
}

TEST(UserCommands, DefinedVariablesInNames)
{
    const auto defined = [](const std::wstring& name) { return name == L"PATH" || name == L"OS"; };
    EXPECT_TRUE(HoldsDefinedVariable(L"a%PATH%b", defined));
    EXPECT_TRUE(HoldsDefinedVariable(L"50% 60%OS%", defined));
    EXPECT_FALSE(HoldsDefinedVariable(L"100%.txt", defined));
    EXPECT_FALSE(HoldsDefinedVariable(L"%NOPE%", defined));
    EXPECT_FALSE(HoldsDefinedVariable(L"%%", defined));
}

TEST(UserCommands, ToolbarButtonsLabelsAndMenu)
{
    TFunctionKeySets sets{};
    sets[0][1] = {L"&Test", L"C:\\t\\tool.exe", L"[F]", -1};
    sets[1][1] = {L"Zweiter", L"notepad.exe", L"", 7};
    sets[1][4] = {L"Nur Strg", L"", L"dir", -1};

    EXPECT_EQ(FunctionKeyLabel(0), L"Umsch");
    EXPECT_EQ(FunctionKeyLabel(1), L"Strg      ");
    EXPECT_EQ(FunctionKeyLabel(2), L"????    ");
    EXPECT_EQ(WithoutAccelerators(L"&A && B"), L"A & B");

    const TFunctionKeyButton shift2 = FunctionKeyButton(sets, 0, 2, false);
    EXPECT_EQ(shift2.Caption, L"F2 Test");
    EXPECT_EQ(shift2.Hint, L"C:\\t\\tool.exe [F]  (Umsch+F2)");
    EXPECT_TRUE(shift2.Enabled);
    EXPECT_TRUE(shift2.Visible);
    EXPECT_TRUE(shift2.TextOnly);
    EXPECT_EQ(FunctionKeyButton(sets, 0, 2, true).Caption, L"Test");
    const TFunctionKeyButton ctrl2 = FunctionKeyButton(sets, 1, 2, true);
    EXPECT_EQ(ctrl2.Hint, L"notepad.exe   (Strg+F2)");
    EXPECT_EQ(ctrl2.ImageIndex, 7);
    EXPECT_FALSE(ctrl2.TextOnly);
    // Assigned in the other set only: shown, disabled, with its key.
    const TFunctionKeyButton shift5 = FunctionKeyButton(sets, 0, 5, false);
    EXPECT_EQ(shift5.Caption, L"F5");
    EXPECT_FALSE(shift5.Enabled);
    EXPECT_TRUE(shift5.Visible);
    EXPECT_FALSE(FunctionKeyButton(sets, 0, 1, false).Visible);

    const auto measure = [](const std::wstring& text) { return static_cast<int>(text.size()) * 6; };
    // "Zweiter" (42) + "2XXX" (24); with icons 42 + 16 + 24; an empty key 40.
    EXPECT_EQ(FunctionKeyButtonWidth(sets, 2, false, 16, measure), 66);
    EXPECT_EQ(FunctionKeyButtonWidth(sets, 2, true, 16, measure), 82);
    EXPECT_EQ(FunctionKeyButtonWidth(sets, 1, false, 16, measure), 40);

    TProgramsMenuLayout layout = ProgramsMenuLayout(sets);
    EXPECT_TRUE(layout.Visible[0][1]);
    EXPECT_FALSE(layout.Visible[0][4]);
    EXPECT_TRUE(layout.Visible[1][4]);
    EXPECT_TRUE(layout.Divider);
    sets[1] = {};
    layout = ProgramsMenuLayout(sets);
    EXPECT_FALSE(layout.Divider);
}
