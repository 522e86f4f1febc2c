// The command box's lines and the insertion texts.

#include "mainwindow/CommandBox.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

using K = TCommandLineKind;

TEST(CommandBox, LinesAreDrivesFolderChangesOrCommands)
{
    const auto driveValid = [](wchar_t Letter) { return Letter == L'C' || Letter == L'D'; };
    struct Case {
        const wchar_t* text;
        K kind;
        const wchar_t* drive;
        const wchar_t* target;
        const wchar_t* line;
        const wchar_t* history;
        const wchar_t* message;
    } cases[] = {
        {L"d:", K::Drive, L"D:", L"", L"d:", L"D:", L""},
        {L"  D: ", K::Drive, L"D:", L"", L"D: ", L"D:", L""},
        {L"e:", K::BadDrive, L"E:", L"", L"e:", L"", L"Ausgewähltes Laufwerk nicht gültig:  E:"},
        {L"1:", K::BadDrive, L"1:", L"", L"1:", L"", L"Ausgewähltes Laufwerk nicht gültig:  1:"},
        {L"cd ..", K::ChangeDir, L"", L"..", L"cd ..", L"CD ..", L""},
        {L"  cd  x", K::ChangeDir, L"", L"x", L"cd  x", L"CD x", L""},
        {L"Cd C:\\Programme und Daten", K::ChangeDir, L"", L"C:\\Programme und Daten", L"Cd C:\\Programme und Daten",
         L"CD C:\\Programme und Daten", L""},
        {L"CD", K::Interpreter, L"", L"", L"CD", L"", L""},
        {L" cd ", K::Interpreter, L"", L"", L"cd ", L"", L""},
        {L"cd.. ", K::Interpreter, L"", L"", L"cd.. ", L"", L""},
        {L"dir /w", K::Interpreter, L"", L"", L"dir /w", L"", L""},
        {L"c:\\x.exe", K::Interpreter, L"", L"", L"c:\\x.exe", L"", L""},
        {L"   ", K::Empty, L"", L"", L"", L"", L""},
    };
    for (const Case& c : cases) {
        const TCommandLineDecision d = ClassifyCommandLine(c.text, driveValid);
        const std::string name = testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(d.Kind, c.kind) << name;
        EXPECT_EQ(d.Drive, c.drive) << name;
        EXPECT_EQ(d.Target, c.target) << name;
        EXPECT_EQ(d.Line, c.line) << name;
        EXPECT_EQ(d.HistoryEntry, c.history) << name;
        EXPECT_EQ(d.Message, c.message) << name;
    }
}

TEST(CommandBox, InsertedNamesAreQuotedAndSeparated)
{
    struct Case {
        const wchar_t* text;
        size_t selStart, selLength;
        bool focused;
        const wchar_t* name;
        const wchar_t* result;
    } cases[] = {
        {L"", 0, 0, false, L"brief.txt", L"brief.txt"},
        {L"", 0, 0, true, L"mein brief.txt", L"\"mein brief.txt\""},
        {L"type", 0, 0, false, L"brief.txt", L"type brief.txt"},
        {L"type ", 0, 0, false, L"a&b.txt", L"type \"a&b.txt\""},
        {L"copy  x:", 5, 0, true, L"C:\\Daten\\a b.txt", L"copy \"C:\\Daten\\a b.txt\" x:"},
        {L"type", 0, 0, true, L"brief.txt", L"brief.txt type"},
        {L"type alt.txt", 5, 7, true, L"neu.txt", L"type neu.txt"},
        {L"cd", 0, 0, false, L"C:\\Mein Ordner\\", L"cd \"C:\\Mein Ordner\\\\\""},
    };
    for (const Case& c : cases) {
        const TCommandBoxEdit after = InsertIntoCommandBox({c.text, c.selStart, c.selLength, c.focused}, c.name);
        EXPECT_EQ(after.Text, c.result) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(after.SelStart, after.Text.size()) << "the caret goes to the end";
        EXPECT_EQ(after.SelLength, 0u);
    }
    EXPECT_EQ(CommandBoxFolder(L"C:"), L"C:\\");
    EXPECT_EQ(CommandBoxFolder(L"C:\\Daten"), L"C:\\Daten");
}

}  // namespace
