#include "common/win/PIDL.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;
using qrv::test::TestDir;

namespace {

// A file whose folder and name hold characters no ANSI code page has.
class ShellPidlTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Grüße Ωμέγα 日本");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        file = dir.Write(L"Grüße Ωμέγα 日本\\" + name, "x");
    }

    TestDir dir;
    const std::wstring name = L"Datei ✓ ß.txt";
    std::wstring folder;
    std::wstring file;
};

}  // namespace

TEST_F(ShellPidlTest, PathRoundTripsThroughTheList)
{
    const TPidlPtr pidl = PathToPidl(file);
    ASSERT_TRUE(pidl);
    EXPECT_EQ(PidlToPath(pidl.get()), file);
    std::wstring parsing;
    ASSERT_TRUE(GetDisplayNameOfStr(nullptr, pidl.get(), SHGDN_FORPARSING, parsing));
    EXPECT_EQ(parsing, file);

    // The shell's own list survives our byte operations.
    const TPidlPtr copy = CopyPidl(pidl.get());
    EXPECT_TRUE(PidlsEqual(copy.get(), pidl.get()));
    EXPECT_EQ(PidlToPath(PidlFromBytes(PidlBytes(pidl.get())).get()), file);
    const int size = GetPidlSize(pidl.get());
    ASSERT_GT(size, 2);
    EXPECT_FALSE(CopyPidl(pidl.get(), static_cast<size_t>(size) - 1)) << "one byte short of the list";
}

TEST_F(ShellPidlTest, SplitBindAndParseInTheParentFolder)
{
    const TPidlPtr pidl = PathToPidl(file);
    ASSERT_TRUE(pidl);
    TPidlPtr parent, last;
    SplitPidl(pidl.get(), parent, last);
    ASSERT_TRUE(parent);
    ASSERT_TRUE(last);
    EXPECT_EQ(PidlToPath(parent.get()), folder);
    EXPECT_TRUE(PidlsEqual(CopyLastPidlItem(pidl.get()).get(), last.get()));
    EXPECT_EQ(PidlToPath(ConcatPidls(parent.get(), last.get()).get()), file);

    TShellFolderPtr shellFolder;
    ASSERT_TRUE(BindToFolder(parent.get(), shellFolder));
    std::wstring inFolder;
    ASSERT_TRUE(GetDisplayNameOfStr(shellFolder.Get(), last.get(), SHGDN_INFOLDER | SHGDN_FORPARSING, inFolder));
    EXPECT_EQ(inFolder, name);

    const TPidlPtr parsed = ParseNameInFolder(shellFolder.Get(), name);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(PidlToPath(ConcatPidls(parent.get(), parsed.get()).get()), file);
}

TEST_F(ShellPidlTest, FailuresGiveNeutralResults)
{
    EXPECT_FALSE(PathToPidl(folder + L"\\fehlt.txt"));
    EXPECT_EQ(PidlToPath(nullptr), L"");
    TShellFolderPtr shellFolder;
    EXPECT_FALSE(BindToFolder(nullptr, shellFolder));
    EXPECT_FALSE(shellFolder);
    std::wstring text = L"unverändert";
    EXPECT_FALSE(GetDisplayNameOfStr(nullptr, nullptr, SHGDN_NORMAL, text));
    EXPECT_EQ(text, L"unverändert");

    // The empty list is the desktop.
    const TPidlPtr desktop = AllocPidl(2);
    ASSERT_TRUE(desktop);
    ASSERT_TRUE(BindToFolder(desktop.get(), shellFolder));
    EXPECT_EQ(shellFolder.Get(), DesktopFolder().Get());
}
