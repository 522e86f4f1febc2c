#include "panels/DirectorySize.h"

#include "FakeDirSystem.h"

#include <gtest/gtest.h>

using namespace qrv;
using qrv::test::FakeDirSystem;

namespace {

// C:\Profil: files, a hidden folder, and a junction back to the profile
// itself (a loop if it were followed).
class DirectorySizeTest : public testing::Test {
protected:
    void SetUp() override
    {
        sys.AddFolder(L"C:\\Profil");
        sys.AddFile(L"C:\\Profil", L"a.txt", 100);
        sys.AddFolder(L"C:\\Profil\\Bilder");
        sys.AddFile(L"C:\\Profil\\Bilder", L"b.png", 5000000000);
        sys.AddFolder(L"C:\\Profil\\.cache", faDirectory | faHidden);
        sys.AddFile(L"C:\\Profil\\.cache", L"c.bin", 20);
        sys.AddFolder(L"C:\\Profil\\Anwendungsdaten", faDirectory | kReparsePointAttr | faHidden | faSysFile);
        // The junction's target would list the profile again.
        sys.AddFile(L"C:\\Profil\\Anwendungsdaten", L"schleife.txt", 7);
    }
    FakeDirSystem sys;
};

TEST_F(DirectorySizeTest, SumsTheTreeWithoutFollowingJunctions)
{
    EXPECT_EQ(GetDirectorySize(sys, L"C:\\Profil", false, nullptr), 100u + 5000000000u + 20u);
    EXPECT_EQ(GetDirectorySize(sys, L"C:\\Profil", true, nullptr), 100u + 5000000000u);
}

TEST_F(DirectorySizeTest, CancellingBeforeAFolderGivesNothing)
{
    int asked = 0;
    EXPECT_EQ(GetDirectorySize(sys, L"C:\\Profil", false, [&] { return ++asked == 2; }), 0u);
    EXPECT_EQ(asked, 2);
}

TEST_F(DirectorySizeTest, AFolderThatCannotBeSearchedGivesNothing)
{
    EXPECT_EQ(GetDirectorySize(sys, L"C:\\Fehlt", false, nullptr), 0u);
}

}  // namespace
