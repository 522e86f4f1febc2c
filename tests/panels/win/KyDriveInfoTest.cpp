#include "panels/win/KyDriveInfo.h"

#include "TestDir.h"
#include "win/MessagePump.h"
#include "win/WineDrive.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

using namespace qrv;
using qrv::test::PumpUntil;
using namespace std::chrono_literals;

namespace {

const wchar_t kTestsKey[] = L"Software\\Quorvan Free Tests";
const wchar_t kPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// HKEY_CURRENT_USER of this process is redirected to a fresh key while the
// object lives, so that a "NoDrives" policy set here reaches no other
// program (nor the other tests running beside this one).
class PrivateCurrentUser {
public:
    PrivateCurrentUser()
    {
        const std::wstring name = std::wstring(kTestsKey) + L"\\CurrentUser-" + std::to_wstring(GetCurrentProcessId()) +
                                  L"-" + std::to_wstring(GetTickCount64());
        path_ = name;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
            ERROR_SUCCESS)
            return;
        overridden_ = RegOverridePredefKey(HKEY_CURRENT_USER, key_) == ERROR_SUCCESS;
    }
    ~PrivateCurrentUser()
    {
        if (overridden_)
            RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (key_) {
            RegCloseKey(key_);
            RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, kTestsKey);  // only when no other test uses it
        }
    }
    bool Active() const { return overridden_; }

    void SetNoDrives(DWORD type, const void* data, DWORD size)
    {
        HKEY policy = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, kPolicyKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &policy, nullptr),
            ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(policy, L"NoDrives", 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(policy);
    }

private:
    std::wstring path_;
    HKEY key_ = nullptr;
    bool overridden_ = false;
};

std::unique_ptr<TDriveInfo> ListedTable(TShellDriveProbe** probe = nullptr)
{
    auto shell = std::make_unique<TShellDriveProbe>();
    if (probe)
        *probe = shell.get();
    auto table = std::make_unique<TDriveInfo>(std::move(shell));
    table->RefreshAll();
    return table;
}

}  // namespace

TEST(ShellDriveTable, ListsTheSystemDrive)
{
    const auto table = ListedTable();
    ASSERT_TRUE(table->IsValid(L'C'));
    EXPECT_EQ(table->DefaultDrive(), L'C');
    TDriveInfoRec rec;
    table->GetData(L'c', rec);
    EXPECT_TRUE(rec.Known);
    EXPECT_EQ(rec.DriveType, DRIVE_FIXED);
    EXPECT_EQ(PidlToPath(AsPidl(rec.Pidl)), L"C:\\");
    EXPECT_TRUE(table->ReadDriveStatus(L'C', dsSize | dsDisplayName | dsImageIndex));
    table->GetData(L'C', rec);
    EXPECT_TRUE(rec.DriveReady);
    EXPECT_GT(rec.Size, 0);
    EXPECT_GE(rec.FreeSpace, 0);
    EXPECT_FALSE(rec.FileSystemName.empty());
    EXPECT_GE(rec.ImageIndex, 4);
    EXPECT_EQ(table->GetPrettyName(L'C').substr(0, 2), L"C:");
    EXPECT_TRUE(table->IsDriveAccessible(L'C'));
    EXPECT_FALSE(table->IsValid(L'Q')) << "no such drive in the test prefix";
}

TEST(ShellDriveTable, NoDrivesPolicyHidesDriveC)
{
    struct Case {
        const char* what;
        DWORD type;
    };
    for (const Case& c : {Case{"DWORD", REG_DWORD}, Case{"binary", REG_BINARY}}) {
        PrivateCurrentUser user;
        ASSERT_TRUE(user.Active()) << "cannot redirect HKEY_CURRENT_USER";
        const DWORD hideC = 4;
        user.SetNoDrives(c.type, &hideC, sizeof hideC);
        const auto table = ListedTable();
        EXPECT_EQ(table->NoDrives(), 4u) << c.what;
        EXPECT_FALSE(table->IsValid(L'C')) << c.what;
        EXPECT_NE(table->DefaultDrive(), L'C') << c.what;
        EXPECT_EQ(table->GetPrettyName(L'C'), L"C:") << c.what;
        EXPECT_TRUE(table->IsValid(L'Z')) << "other drives stay (" << c.what << ")";
    }
}

TEST(ShellDriveTable, TheGlobalTableIsTheStartUpsDefaultDrive)
{
    TDriveInfo& table = DriveInfo();
    EXPECT_EQ(&table, &DriveInfo());
    EXPECT_EQ(table.DefaultDrive(), L'C');
}

// Mounting a drive changes what every process sees: these tests run alone.
TEST(ShellDriveTableMount, CDRomIconIsFetchedOnceInTheBackground)
{
    test::TestDir dir;
    test::WineDrive cd(dir.Path(), DRIVE_CDROM);
    if (!cd.Letter())
        GTEST_SKIP() << "no Wine mount manager to configure a CD-ROM drive";
    const wchar_t letter = cd.Letter();

    TShellDriveProbe* probe = nullptr;
    const auto table = ListedTable(&probe);
    ASSERT_TRUE(table->IsValid(letter));
    TDriveInfoRec rec;
    table->GetData(letter, rec);
    EXPECT_EQ(rec.DriveType, 5);

    // The getter answers at once with a borrowed icon; the fetch cannot end
    // before this thread handles messages again, so all calls see it running.
    EXPECT_GE(table->GetImageIndex(L'C'), 4);
    const int borrowed = table->GetImageIndex(L'C');
    for (int repaint = 0; repaint < 100; ++repaint)
        ASSERT_EQ(table->GetImageIndex(letter), borrowed);
    EXPECT_EQ(probe->ImageIndexThreadsStarted(), 1);
    EXPECT_LE(probe->ImageIndexThreadsRunning(), 1);
    EXPECT_EQ(table->ImageIndexFetchesRunning(), 1);

    ASSERT_TRUE(PumpUntil([&] { return table->ImageIndexFetchesRunning() == 0; }, 10s));
    EXPECT_TRUE(PumpUntil([&] { return probe->ImageIndexThreadsRunning() == 0; }, 10s));
    EXPECT_GE(table->GetImageIndex(letter), 4);
    EXPECT_EQ(probe->ImageIndexThreadsStarted(), 1);
}

TEST(ShellDriveTableMount, CDRomIsNamedByItsLongLabel)
{
    test::TestDir dir;
    // Wine reads a folder drive's label from this file; it is longer than
    // the 25 characters a short buffer would take.
    dir.Write(L".windows-label", "Urlaubsfotos vom Sommer in Italien\n");
    test::WineDrive cd(dir.Path(), DRIVE_CDROM);
    if (!cd.Letter())
        GTEST_SKIP() << "no Wine mount manager to configure a CD-ROM drive";
    const wchar_t letter = cd.Letter();

    const auto table = ListedTable();
    const std::wstring colon{letter, L':'};
    EXPECT_EQ(table->GetDisplayName(letter), L"Urlaubsfotos vom Sommer in Italien (" + colon + L")");
    EXPECT_EQ(table->GetPrettyName(letter), colon + L" Urlaubsfotos vom Sommer in Italien");
    TDriveInfoRec rec;
    table->GetData(letter, rec);
    EXPECT_TRUE(rec.DriveReady);
    EXPECT_FALSE(rec.FileSystemName.empty()) << "a long label must not wipe the volume data";
}
