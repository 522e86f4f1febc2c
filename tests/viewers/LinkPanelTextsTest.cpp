#include "viewers/LinkPanelTexts.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(LinkPanelTexts, NamesTheWindowByShowCommand)
{
    const struct {
        int showCmd;
        const wchar_t* text;
    } cases[] = {
        {1, L"Normales Fenster"}, {2, L"Minimiertes Fenster"}, {3, L"Maximiertes Fenster"}, {7, L"Minimiertes Fenster"},
        {0, L"Normales Fenster"}, {6, L"Normales Fenster"},    {-1, L"Normales Fenster"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShowCommandText(c.showCmd), c.text) << c.showCmd;
}

TEST(LinkPanelTexts, CommentIsEmptyWhenItRepeatsTheTargetName)
{
    EXPECT_EQ(LinkCommentText(L"editor.exe", L"C:\\Programme\\editor.exe"), L"");
    EXPECT_EQ(LinkCommentText(L"Texte bearbeiten", L"C:\\Programme\\editor.exe"), L"Texte bearbeiten");
    // Only the whole file name counts, not the base name or another case.
    EXPECT_EQ(LinkCommentText(L"editor", L"C:\\Programme\\editor.exe"), L"editor");
    EXPECT_EQ(LinkCommentText(L"EDITOR.EXE", L"C:\\Programme\\editor.exe"), L"EDITOR.EXE");
    EXPECT_EQ(LinkCommentText(L"", L"C:\\Programme\\editor.exe"), L"");
    EXPECT_EQ(LinkCommentText(L"", L""), L"");
}

TEST(LinkPanelTexts, TheTargetsKindFollowsItsAttributes)
{
    const struct {
        bool directory;
        const wchar_t* shellType;
        const wchar_t* target;
        const wchar_t* text;
    } cases[] = {
        {true, L"", L"C:\\Projekte", L"Dateiordner"},
        {true, L"File", L"C:\\Projekte", L"Dateiordner"},  // never the shell's name for a file
        {true, L"", L"C:\\Alte.Briefe", L"Dateiordner"},   // a dot in a folder's name is no extension
        {false, L"Textdokument", L"C:\\a\\notiz.txt", L"Textdokument"},
        {false, L"", L"C:\\a\\notiz.txt", L"Datei TXT"},
        {false, L"", L"C:\\a.b\\liesmich", L"Datei"},
        {false, L"", L"", L"Datei"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinkTargetTypeText(c.directory, c.shellType, c.target), c.text)
            << c.directory << " " << testing::PrintToString(std::wstring(c.target));
}
