// The file comparison's decisions: which files are compared, the external
// program's parameters, and the text and kind of each result's box.

#include "mainwindow/FileCompare.h"
#include "mainwindow/FileCompareRules.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(FileCompareChoice, Table)
{
    struct Case {
        const char* Title;
        TFileChoiceInput In;
        TFileChoiceKind Kind;
        std::wstring First, Second;
    };
    const Case cases[] = {
        {"nothing selected", {true, {}, {L"B\\x"}, -1}, TFileChoiceKind::None, L"", L""},
        {"one in each window", {true, {L"A\\x"}, {L"B\\y"}, 0}, TFileChoiceKind::Pair, L"A\\x", L"B\\y"},
        {"one in each, second hidden", {false, {L"A\\x"}, {L"B\\y"}, 0}, TFileChoiceKind::AskSecond, L"A\\x", L""},
        {"two in the active list", {true, {L"A\\x", L"A\\y"}, {L"B\\z"}, 1}, TFileChoiceKind::Pair, L"A\\x", L"A\\y"},
        {"two with second hidden", {false, {L"A\\x", L"A\\y"}, {}, -1}, TFileChoiceKind::Pair, L"A\\x", L"A\\y"},
        {"one, none in the other", {true, {L"A\\x"}, {}, 0}, TFileChoiceKind::AskSecond, L"A\\x", L""},
        {"three: the focused one",
         {true, {L"A\\x", L"A\\y", L"A\\z"}, {}, 2},
         TFileChoiceKind::AskSecond,
         L"A\\z",
         L""},
        {"three, focus elsewhere",
         {true, {L"A\\x", L"A\\y", L"A\\z"}, {}, -1},
         TFileChoiceKind::AskSecond,
         L"A\\x",
         L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        const TFileChoice choice = ChooseFilesToCompare(c.In);
        EXPECT_EQ(choice.Kind, c.Kind);
        EXPECT_EQ(choice.First, c.First);
        EXPECT_EQ(choice.Second, c.Second);
    }
    EXPECT_EQ(CompareDialogTitle(L"Brief.txt"), L"Datei für Vergleich mit \"Brief.txt\" auswählen");
}

TEST(FileCompareChoice, SameFileInAnySpelling)
{
    EXPECT_TRUE(SameFilePath(L"C:\\Daten\\Brief.TXT", L"c:\\daten\\brief.txt"));
    EXPECT_TRUE(SameFilePath(L"C:\\Daten\\\\Brief.txt", L"C:/Daten/Brief.txt"));
    EXPECT_TRUE(SameFilePath(L"\\\\server\\share\\a", L"\\\\SERVER\\share\\A"));
    EXPECT_TRUE(SameFilePath(L"C:\\Ärger", L"C:\\äRGER"));
    EXPECT_FALSE(SameFilePath(L"C:\\Daten\\Brief.txt", L"C:\\Daten\\Brief.txt.bak"));
    EXPECT_FALSE(SameFilePath(L"C:\\A\\x", L"D:\\A\\x"));
}

TEST(FileCompareExternal, CommandLines)
{
    EXPECT_EQ(ExternalCompareParameters(L"C:\\LANGER~1\\A.TXT", L"C:\\Langer Name\\a.txt", L"C:\\B.TXT", L"C:\\b.txt"),
              L"C:\\LANGER~1\\A.TXT C:\\B.TXT");
    // Without short names the long names go in quotes, blanks or not.
    EXPECT_EQ(ExternalCompareParameters(L"", L"T:\\mit Blank\\a b.txt", L"", L"T:\\c.txt"),
              L"\"T:\\mit Blank\\a b.txt\" \"T:\\c.txt\"");
    // A "short" name with blanks (a volume that keeps none) is quoted too.
    EXPECT_EQ(ExternalCompareArgument(L"T:\\a b.txt", L"T:\\a b.txt"), L"\"T:\\a b.txt\"");
    EXPECT_EQ(ExternalCompareFailure(L"x.qqq", L"Die Datei wurde nicht gefunden."),
              L"Fehler beim Ausführen von: x.qqq\nDie Datei wurde nicht gefunden.");
}

TEST(FileCompareMessages, EachResult)
{
    struct Case {
        uint8_t Result;
        bool Error;
        std::wstring Text;
    };
    const std::wstring a = L"C:\\a", b = L"C:\\b";
    const Case cases[] = {
        {crEqual, false, L"Beide Dateien sind gleich:\r\n\r\nC:\\a\r\nC:\\b"},
        {crDifferent, false, L"Die Dateien haben unterschiedlichen Inhalt:\r\n\r\nC:\\a\r\nC:\\b"},
        {crAborted, false, L"Der Vergleich wurde vom Benutzer abgebrochen."},
        {crOpenFailedA, true, L"Die Datei \"C:\\a\" kann nicht geöffnet werden.\r\rZugriff verweigert."},
        {crReadFailedA, true, L"Die Datei \"C:\\a\" kann nicht geöffnet werden.\r\rZugriff verweigert."},
        {crOpenFailedB, true, L"Die Datei \"C:\\b\" kann nicht geöffnet werden.\r\rZugriff verweigert."},
        {crReadFailedB, true, L"Die Datei \"C:\\b\" kann nicht geöffnet werden.\r\rZugriff verweigert."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Result);
        const TCompareMessage m = CompareResultMessage(c.Result, a, b, L"Zugriff verweigert.");
        EXPECT_EQ(m.Text, c.Text);
        EXPECT_EQ(m.Error, c.Error);
    }
    EXPECT_TRUE(CompareResultMessage(crBusy, a, b, L"").Error);
}

}  // namespace
