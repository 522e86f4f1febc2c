#include "dialogs/FileListFolders.h"

#include "../panels/FakeDirSystem.h"
#include "panels/DirectorySize.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

using test::FakeDirSystem;

// A tree with hidden files, a filtered extension, a junction that points
// back up and folders in an order the sort changes.
struct FileListFoldersTest : ::testing::Test {
    FileListFoldersTest()
    {
        sys.AddFolder(L"C:\\Top");
        sys.AddFolder(L"C:\\Top\\Zeta");
        sys.AddFolder(L"C:\\Top\\Alpha");
        sys.AddFolder(L"C:\\Top\\Alpha\\Tief");
        sys.AddFolder(L"C:\\Top\\Alpha\\Rueck", faDirectory | kReparsePointAttr);
        sys.AddFile(L"C:\\Top", L"b.txt", 2000);
        sys.AddFile(L"C:\\Top", L"a.log", 10);
        sys.AddFile(L"C:\\Top\\Alpha", L"c.txt", 5);
        sys.AddFile(L"C:\\Top\\Alpha", L"geheim.txt", 5, faHidden);
        sys.AddFile(L"C:\\Top\\Alpha\\Tief", L"d.txt", 7);
        sys.AddFile(L"C:\\Top\\Zeta", L"e.txt", 9);
        settings.Mask = L"*.txt";
        settings.Sort.DirsOnTop = true;
        settings.Filter.SelHidden = TSelAttr::SelNo;
        settings.FormatTime = [](uint64_t) { return std::wstring(L"17.05.2020  12:00"); };
    }

    std::vector<std::wstring> Names(const std::vector<TFileListEntry>& entries)
    {
        std::vector<std::wstring> names;
        for (const TFileListEntry& e : entries)
            names.push_back(e.FileName + (e.IsParent ? L" (parent)" : L""));
        return names;
    }

    FakeDirSystem sys;
    const TDirViewTexts& texts = DirViewTextsFor(kLangGerman);
    TFileListFolderSettings settings;
};

TEST_F(FileListFoldersTest, ReadsWithTheSourceListsMaskFilterAndTexts)
{
    const TFileListFolderReader read = MakeFileListFolderReader(sys, sys, texts, settings);
    const std::vector<TFileListEntry> alpha = read(L"C:\\Top\\Alpha");
    EXPECT_EQ(Names(alpha), (std::vector<std::wstring>{L".. (parent)", L"Rueck", L"Tief", L"c.txt"}));
    const TFileListEntry& c = alpha.back();
    EXPECT_EQ(c.Size, 5U);
    EXPECT_EQ(c.DateText, L"17.05.2020  12:00");
    EXPECT_FALSE(c.TypeName.empty()) << "type names are fetched for the type column";
    EXPECT_TRUE(alpha[1].IsReparsePoint);
    // The same reader reads the next folder afresh.
    EXPECT_EQ(Names(read(L"C:\\Top\\Zeta")), (std::vector<std::wstring>{L".. (parent)", L"e.txt"}));
}

TEST_F(FileListFoldersTest, WholeTreeDepthFirstWithoutEnteringTheJunction)
{
    const TFileListFolderReader read = MakeFileListFolderReader(sys, sys, texts, settings);
    TFileListChoices choices;
    choices.SubDirs = true;
    choices.Header = false;
    choices.Title = true;
    choices.Type = choices.Size = choices.Date = choices.Attributes = false;
    const std::vector<TFileListEntry> top = read(L"C:\\Top");
    const std::wstring text = FileListText(L"C:\\Top", top, choices, {}, read);
    std::vector<std::wstring> titles;
    for (size_t at = text.find(L"Verzeichnis: "); at != std::wstring::npos; at = text.find(L"Verzeichnis: ", at + 1))
        titles.push_back(text.substr(at + 13, text.find(L'\r', at) - at - 13));
    EXPECT_EQ(titles,
              (std::vector<std::wstring>{L"C:\\Top", L"C:\\Top\\Alpha", L"C:\\Top\\Alpha\\Tief", L"C:\\Top\\Zeta"}));
    EXPECT_NE(text.find(L"Rueck"), std::wstring::npos) << "the junction is listed";
    EXPECT_EQ(text.find(L"a.log"), std::wstring::npos);
    EXPECT_EQ(text.find(L"geheim"), std::wstring::npos);
}

}  // namespace
}  // namespace qrv
