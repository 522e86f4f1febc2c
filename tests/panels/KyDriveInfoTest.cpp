#include "panels/KyDriveInfo.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// One drive of the fake system.
struct FakeDrive {
    int Type = kDriveTypeNoRootDir;
    bool Listed = true;  // My Computer lists it
    bool SpaceOk = true;
    bool VolumeOk = true;
    bool VolumeThrows = false;
    TVolumeInfo Volume{};
    std::wstring ShellName{};     // the shell's display name
    std::wstring FileInfoName{};  // the file information's display name
    std::wstring Remote{};        // the network connection
    int Icon = 20;
    bool Accessible = true;
};

struct PendingFetch {
    wchar_t Drive;
    TPidlBytes Pidl;
    std::function<void(int)> Done;
};

// The system the test sets up; the probe the table owns reads and records it.
struct FakeSystem {
    std::map<wchar_t, FakeDrive> Drives;
    uint32_t NoDrives = 0;
    bool Network = false;
    bool EnumStarts = true;
    wchar_t EnumThrowsAt = 0;  // the listing fails when it reaches this drive
    bool Terminating = false;
    std::vector<PendingFetch> Fetches;
    int Cancels = 0;
    int NameQueries = 0;

    // Each drive's list: one item holding the letter, so lists differ.
    static TPidlBytes PidlOf(wchar_t drive, uint8_t version = 0)
    {
        return {4, 0, static_cast<uint8_t>(drive), version, 0, 0};
    }
    FakeDrive* Find(const TPidlBytes& pidl)
    {
        if (pidl.size() < 3)
            return nullptr;
        auto it = Drives.find(static_cast<wchar_t>(pidl[2]));
        return it == Drives.end() ? nullptr : &it->second;
    }
    FakeDrive* Find(wchar_t drive)
    {
        auto it = Drives.find(drive);
        return it == Drives.end() ? nullptr : &it->second;
    }
    // Hands every waiting fetch its result, as the user-interface thread would.
    void DeliverFetches(int index)
    {
        std::vector<PendingFetch> fetches;
        fetches.swap(Fetches);
        for (PendingFetch& fetch : fetches)
            fetch.Done(index);
    }
};

class FakeProbe : public TDriveProbe {
public:
    explicit FakeProbe(FakeSystem& system) : sys(system) {}

    int DriveType(wchar_t drive) override
    {
        const FakeDrive* d = sys.Find(drive);
        return d ? d->Type : kDriveTypeNoRootDir;
    }
    uint32_t NoDrives() override { return sys.NoDrives; }
    bool NetworkNeighbourhood(TPidlBytes& pidl, std::wstring& name, int& index) override
    {
        if (!sys.Network)
            return false;
        pidl = FakeSystem::PidlOf(L'N');
        name = L"Netzwerkumgebung";
        index = 17;
        return true;
    }
    bool EnumDrives(const std::function<void(const TPidlBytes&, const std::wstring&)>& found) override
    {
        if (!sys.EnumStarts)
            return false;
        found(FakeSystem::PidlOf(L'P'), L"");  // a shell item without a path (control panel)
        for (const auto& [letter, drive] : sys.Drives) {
            if (letter == sys.EnumThrowsAt)
                throw std::runtime_error("listing broke off");
            if (drive.Listed)
                found(FakeSystem::PidlOf(letter), std::wstring(1, letter) + L":\\");
        }
        return true;
    }
    bool DiskSpace(wchar_t drive, int64_t& total, int64_t& free) override
    {
        const FakeDrive* d = sys.Find(drive);
        if (!d || !d->SpaceOk)
            return false;
        total = 1000;
        free = 400;
        return true;
    }
    bool VolumeInformation(wchar_t drive, TVolumeInfo& info) override
    {
        const FakeDrive* d = sys.Find(drive);
        if (d && d->VolumeThrows)
            throw std::runtime_error("volume");
        if (!d || !d->VolumeOk)
            return false;
        info = d->Volume;
        return true;
    }
    std::wstring RemoteName(wchar_t drive) override
    {
        const FakeDrive* d = sys.Find(drive);
        return d ? d->Remote : std::wstring();
    }
    std::wstring DisplayName(const TPidlBytes& pidl) override
    {
        ++sys.NameQueries;
        const FakeDrive* d = sys.Find(pidl);
        return d ? d->ShellName : std::wstring();
    }
    std::wstring FileInfoDisplayName(const TPidlBytes& pidl) override
    {
        const FakeDrive* d = sys.Find(pidl);
        return d ? d->FileInfoName : std::wstring();
    }
    int SysIconIndex(const TPidlBytes& pidl) override
    {
        const FakeDrive* d = sys.Find(pidl);
        return d ? d->Icon : -1;
    }
    bool CanEnumerate(const TPidlBytes& pidl) override
    {
        const FakeDrive* d = sys.Find(pidl);
        return d && d->Accessible;
    }
    bool Terminating() override { return sys.Terminating; }
    void StartImageIndexFetch(wchar_t drive, TPidlBytes pidl, std::function<void(int)> done) override
    {
        sys.Fetches.push_back({drive, std::move(pidl), std::move(done)});
    }
    void CancelImageIndexFetches() override
    {
        ++sys.Cancels;
        sys.Fetches.clear();
    }

private:
    FakeSystem& sys;
};

// A: floppy, C: and D: fixed, E: CD-ROM, N: network drive.
class DriveTableTest : public testing::Test {
protected:
    DriveTableTest()
    {
        sys.Drives[L'A'] = {.Type = kDriveTypeRemovable, .ShellName = L"Diskette (A:)"};
        sys.Drives[L'C'] = {
            .Type = kDriveTypeFixed, .Volume = {L"System", 0x1234, 255, 7, L"NTFS"}, .ShellName = L"System (C:)"};
        sys.Drives[L'D'] = {.Type = kDriveTypeFixed, .ShellName = L"Daten (D:)"};
        sys.Drives[L'E'] = {.Type = kDriveTypeCDRom, .ShellName = L"CD-Laufwerk (E:)"};
        sys.Drives[L'N'] = {.Type = kDriveTypeRemote, .ShellName = L"share auf srv (N:)", .Remote = L"\\\\srv\\share"};
    }
    // A table over the system as set up, with My Computer listed once.
    std::unique_ptr<TDriveInfo> MakeTable(bool refresh = true)
    {
        auto table = std::make_unique<TDriveInfo>(std::make_unique<FakeProbe>(sys));
        if (refresh)
            table->RefreshAll();
        return table;
    }
    FakeSystem sys;
};

}  // namespace

TEST(DefaultDrive, FirstFixedDriveThatThePolicyDoesNotHide)
{
    // A: removable, C: and D: fixed, E: CD.
    auto types = [](wchar_t d) { return d == L'A' ? 2 : (d == L'C' || d == L'D') ? 3 : d == L'E' ? 5 : 1; };
    EXPECT_EQ(ChooseDefaultDrive(types, 0), L'C');
    EXPECT_EQ(ChooseDefaultDrive(types, 1u << 2), L'D') << "C: hidden";
    EXPECT_EQ(ChooseDefaultDrive(types, (1u << 2) | (1u << 3)), L' ') << "no fixed drive left";
    EXPECT_TRUE(HiddenByNoDrives(L'Z', 1u << 25));
    EXPECT_FALSE(HiddenByNoDrives(L'\\', 0xFFFFFFFF)) << "the network is no letter";
}

TEST_F(DriveTableTest, NoDrivesHidesListedDrivesAndTheDefault)
{
    sys.Drives[L'Z'] = {.Type = kDriveTypeFixed};
    struct Case {
        uint32_t mask;
        wchar_t defaultDrive;
        std::wstring valid;  // the letters valid after the listing
    };
    const Case cases[] = {
        {0, L'C', L"ACDENZ"},
        {1u << 2, L'D', L"ADENZ"},
        {(1u << 2) | (1u << 3), L'Z', L"AENZ"},
        {(1u << 2) | (1u << 3) | (1u << 25), L' ', L"AEN"},
        {0x03FFFFFF, L' ', L""},
    };
    for (const Case& c : cases) {
        sys.NoDrives = c.mask;
        const auto table = MakeTable();
        EXPECT_EQ(table->NoDrives(), c.mask);
        EXPECT_EQ(table->DefaultDrive(), c.defaultDrive) << std::hex << c.mask;
        std::wstring valid;
        for (wchar_t d = kFirstDrive; d <= kLastLetter; ++d)
            if (table->IsValid(d))
                valid += d;
        EXPECT_EQ(valid, c.valid) << std::hex << c.mask;
    }
}

TEST_F(DriveTableTest, InvalidCharactersRaiseExceptInIsValid)
{
    const auto table = MakeTable();
    for (wchar_t bad : {L'1', L'@', L']', L'{', L'|'}) {
        EXPECT_FALSE(table->IsValid(bad));
        TDriveInfoRec rec;
        try {
            table->GetData(bad, rec);
            ADD_FAILURE() << "GetData accepted " << static_cast<char>(bad);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::wstring(1, bad) + L" ist kein gültiges Laufwerk.");
        }
        EXPECT_THROW(table->GetPrettyName(bad), EConvertError);
        EXPECT_THROW(table->GetImageIndex(bad), EConvertError);
        EXPECT_THROW(table->ReadDriveStatus(bad, dsSize), EConvertError);
        EXPECT_THROW(table->IsDriveAccessible(bad), EConvertError);
    }
    // Lower-case letters are the same drives.
    EXPECT_TRUE(table->IsValid(L'c'));
    TDriveInfoRec rec;
    table->GetData(L'c', rec);
    EXPECT_EQ(rec.DriveType, kDriveTypeFixed);
    EXPECT_EQ(table->GetPrettyName(L'c'), L"C: System");
    // An invalid drive within range answers without raising.
    EXPECT_FALSE(table->IsValid(L'Q'));
    EXPECT_EQ(table->GetPrettyName(L'Q'), L"Q:");
    EXPECT_EQ(table->GetDisplayName(L'q'), L"Q:");
    EXPECT_EQ(table->GetImageIndex(L'Q'), -1);
}

TEST_F(DriveTableTest, PrettyNamesCutOnlyTheDriveSuffix)
{
    struct Case {
        std::wstring shellName;
        std::wstring pretty;
    };
    const Case cases[] = {
        {L"System (C:)", L"C: System"},
        {L"Backup (Copy) (C:)", L"C: Backup (Copy)"},
        {L"Backup (Copy)", L"C: Backup (Copy)"},
        {L"Alt (C:) (C:)", L"C: Alt (C:)"},
        {L" (C:)", L"C:"},  // no label, as Wine names such a drive
        {L"", L"C:"},
    };
    for (const Case& c : cases) {
        sys.Drives[L'C'].ShellName = c.shellName;
        const auto table = MakeTable();
        EXPECT_EQ(table->GetDisplayName(L'C'), c.shellName);
        EXPECT_EQ(table->GetPrettyName(L'C'), c.pretty) << "from " << WideToUtf8(c.shellName);
        EXPECT_EQ(table->GetLongPrettyName(L'C'), c.pretty);
    }
}

TEST_F(DriveTableTest, NetworkDrivesAreNamedAfterTheirShare)
{
    auto table = MakeTable();
    EXPECT_EQ(table->GetPrettyName(L'N'), L"N: share");
    EXPECT_EQ(table->GetLongPrettyName(L'N'), L"N: \\\\srv\\share");

    sys.Drives[L'N'].Remote.clear();  // no connection: the shell's name
    table = MakeTable();
    EXPECT_EQ(table->GetPrettyName(L'N'), L"N: share auf srv");
    EXPECT_EQ(table->GetLongPrettyName(L'N'), L"N: share auf srv");
}

TEST_F(DriveTableTest, CDRomIsNamedByItsLabel)
{
    sys.Drives[L'E'].Volume.Label = L"Urlaubsfotos vom Sommer 2023 in Italien";
    auto table = MakeTable();
    EXPECT_EQ(table->GetDisplayName(L'E'), L"Urlaubsfotos vom Sommer 2023 in Italien (E:)");
    EXPECT_EQ(table->GetPrettyName(L'E'), L"E: Urlaubsfotos vom Sommer 2023 in Italien");

    // Without a medium: the shell's name, which names the drive already.
    sys.Drives[L'E'].SpaceOk = false;
    table = MakeTable();
    EXPECT_EQ(table->GetDisplayName(L'E'), L"CD-Laufwerk (E:)");
    EXPECT_EQ(table->GetPrettyName(L'E'), L"E: CD-Laufwerk");
    TDriveInfoRec rec;
    table->GetData(L'E', rec);
    EXPECT_FALSE(rec.DriveReady);
}

TEST_F(DriveTableTest, VolumeDataAndReadiness)
{
    const auto table = MakeTable();
    EXPECT_TRUE(table->ReadDriveStatus(L'C', dsSize));
    TDriveInfoRec rec;
    table->GetData(L'C', rec);
    EXPECT_TRUE(rec.DriveReady);
    EXPECT_EQ(rec.Size, 1000);
    EXPECT_EQ(rec.FreeSpace, 400);
    EXPECT_EQ(rec.Serial, 0x1234u);
    EXPECT_EQ(rec.MaxNameLength, 255u);
    EXPECT_EQ(rec.FileSystemFlags, 7u);
    EXPECT_EQ(rec.FileSystemName, L"NTFS");

    // The volume query fails: its fields are cleared, the sizes stay.
    sys.Drives[L'C'].VolumeOk = false;
    EXPECT_TRUE(table->ReadDriveStatus(L'C', dsSize));
    table->GetData(L'C', rec);
    EXPECT_TRUE(rec.DriveReady);
    EXPECT_EQ(rec.Serial, 0u);
    EXPECT_EQ(rec.FileSystemName, L"");
    EXPECT_EQ(rec.Size, 1000);

    // It throws: the same, and the read reports the failure.
    sys.Drives[L'C'].VolumeOk = true;
    sys.Drives[L'C'].VolumeThrows = true;
    EXPECT_FALSE(table->ReadDriveStatus(L'C', dsSize));
    table->GetData(L'C', rec);
    EXPECT_EQ(rec.Serial, 0u);

    // No medium: not ready, sizes unknown.
    sys.Drives[L'C'].SpaceOk = false;
    EXPECT_TRUE(table->ReadDriveStatus(L'C', dsSize));
    table->GetData(L'C', rec);
    EXPECT_FALSE(rec.DriveReady);
    EXPECT_EQ(rec.Size, -1);
    EXPECT_EQ(rec.FreeSpace, -1);
}

TEST_F(DriveTableTest, DrivesWithoutMediumKeepFromWaiting)
{
    sys.Drives[L'A'].SpaceOk = false;
    sys.Drives[L'D'].SpaceOk = false;
    sys.Drives[L'D'].FileInfoName = L"Daten (D:)";
    const auto table = MakeTable();
    // A fixed drive that is not ready takes the name that needs no medium.
    EXPECT_TRUE(table->ReadDriveStatus(L'D', dsSize | dsDisplayName));
    EXPECT_EQ(table->GetPrettyName(L'D'), L"D: Daten");
    // A removable drive that is not ready keeps its names.
    const int queries = sys.NameQueries;
    EXPECT_TRUE(table->ReadDriveStatus(L'A', dsSize | dsDisplayName));
    TDriveInfoRec rec;
    table->GetData(L'A', rec);
    EXPECT_EQ(rec.DisplayName, L"");
    EXPECT_EQ(sys.NameQueries, queries);
}

TEST_F(DriveTableTest, IconsBelowFourFallBackByDriveType)
{
    struct Case {
        int type;
        int shellIcon;
        int shown;
    };
    const Case cases[] = {
        {kDriveTypeNoRootDir, 2, 10}, {kDriveTypeFixed, 3, 8}, {kDriveTypeRemote, -1, 9}, {kDriveTypeRamDisk, 0, 12},
        {kDriveTypeRemovable, 1, 7},  {kDriveTypeFixed, 4, 4}, {kDriveTypeFixed, 31, 31},
    };
    for (const Case& c : cases) {
        sys.Drives[L'D'].Type = c.type;
        sys.Drives[L'D'].Icon = c.shellIcon;
        const auto table = MakeTable();
        EXPECT_EQ(table->GetImageIndex(L'D'), c.shown) << "type " << c.type << ", shell icon " << c.shellIcon;
    }
    EXPECT_EQ(FallbackImageIndex(kDriveTypeCDRom), 11);
    EXPECT_EQ(FallbackImageIndex(kDriveTypeUnknown), 7);
}

TEST_F(DriveTableTest, CDRomIconComesFromOneBackgroundFetch)
{
    const auto table = MakeTable();
    std::vector<std::pair<wchar_t, int>> ready;
    table->OnImageIndexReady = [&](wchar_t drive, int index) { ready.emplace_back(drive, index); };

    // No fixed drive has an icon yet: nothing to borrow.
    EXPECT_EQ(table->GetImageIndex(L'E'), -1);
    ASSERT_EQ(sys.Fetches.size(), 1u);
    EXPECT_EQ(sys.Fetches[0].Drive, L'E');
    EXPECT_EQ(sys.Fetches[0].Pidl, FakeSystem::PidlOf(L'E'));
    for (int repaint = 0; repaint < 100; ++repaint)
        table->GetImageIndex(L'E');
    EXPECT_EQ(sys.Fetches.size(), 1u) << "one fetch per drive at a time";
    EXPECT_EQ(table->ImageIndexFetchesRunning(), 1);

    sys.DeliverFetches(23);
    EXPECT_EQ(table->ImageIndexFetchesRunning(), 0);
    EXPECT_EQ(table->GetImageIndex(L'E'), 23);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_EQ(ready[0], std::make_pair(L'E', 23));
}

TEST_F(DriveTableTest, CDRomBorrowsAFixedDriveIconUntilItsOwnArrives)
{
    sys.Drives[L'D'].Icon = 9;
    const auto table = MakeTable();
    EXPECT_EQ(table->GetImageIndex(L'D'), 9);
    EXPECT_EQ(table->GetImageIndex(L'E'), 9);
    ASSERT_EQ(sys.Fetches.size(), 1u);
    sys.DeliverFetches(30);
    EXPECT_EQ(table->GetImageIndex(L'E'), 30);
}

TEST_F(DriveTableTest, ACDRomWithoutAnIconIsNotFetchedOnEveryRepaint)
{
    const auto table = MakeTable();
    EXPECT_EQ(table->GetImageIndex(L'E'), -1);
    ASSERT_EQ(sys.Fetches.size(), 1u);
    // The shell's answer is no drive icon: it is dropped.
    sys.DeliverFetches(2);
    for (int repaint = 0; repaint < 100; ++repaint)
        EXPECT_EQ(table->GetImageIndex(L'E'), -1);
    EXPECT_TRUE(sys.Fetches.empty());
    // Asked for outright, or for a new list of the drive, it is fetched again.
    table->ReadDriveStatus(L'E', dsImageIndex);
    EXPECT_EQ(sys.Fetches.size(), 1u);
    sys.DeliverFetches(-1);
    table->ResetDrive(L'E');
    table->RefreshAll();
    table->GetImageIndex(L'E');
    EXPECT_EQ(sys.Fetches.size(), 1u);
}

TEST_F(DriveTableTest, AFetchForAListTheRefreshReplacedIsDropped)
{
    const auto table = MakeTable();
    table->GetImageIndex(L'E');
    ASSERT_EQ(sys.Fetches.size(), 1u);
    TDriveInfoRec before;
    table->GetData(L'E', before);

    // The medium changed: My Computer lists the drive without it.
    sys.Drives[L'E'].Listed = false;
    table->RefreshAll();
    EXPECT_FALSE(table->IsValid(L'E'));
    EXPECT_EQ(before.Pidl, FakeSystem::PidlOf(L'E')) << "a record copy keeps its own list";
    EXPECT_EQ(sys.Fetches[0].Pidl, FakeSystem::PidlOf(L'E')) << "the fetch keeps its own list";

    sys.DeliverFetches(42);
    TDriveInfoRec after;
    table->GetData(L'E', after);
    EXPECT_EQ(after.ImageIndex, -1);
    EXPECT_EQ(table->ImageIndexFetchesRunning(), 0);
}

TEST_F(DriveTableTest, DestroyingTheTableCancelsItsFetches)
{
    auto table = MakeTable();
    table->GetImageIndex(L'E');
    ASSERT_EQ(sys.Fetches.size(), 1u);
    table.reset();
    EXPECT_GE(sys.Cancels, 1);
    EXPECT_TRUE(sys.Fetches.empty());
}

TEST_F(DriveTableTest, RefreshAllListsAndResetsDrives)
{
    auto table = MakeTable(false);
    EXPECT_FALSE(table->IsValid(L'C')) << "nothing is valid before the first listing";
    TDriveInfoRec rec;
    table->GetData(L'C', rec);
    EXPECT_EQ(rec.DriveType, kDriveTypeFixed) << "types are read when the table is built";

    EXPECT_TRUE(table->RefreshAll());
    table->GetData(L'C', rec);
    EXPECT_TRUE(rec.Known);
    EXPECT_TRUE(rec.Valid);
    EXPECT_EQ(rec.Pidl, FakeSystem::PidlOf(L'C'));
    EXPECT_EQ(table->GetPrettyName(L'C'), L"C: System");

    // The listing breaks off at D: drives not seen are reset, the failure
    // reaches the caller.
    sys.EnumThrowsAt = L'D';
    EXPECT_THROW(table->RefreshAll(), std::runtime_error);
    EXPECT_TRUE(table->IsValid(L'C'));
    EXPECT_FALSE(table->IsValid(L'D'));
    EXPECT_FALSE(table->IsValid(L'E'));

    // A listing that cannot start changes nothing.
    sys.EnumThrowsAt = 0;
    sys.EnumStarts = false;
    EXPECT_FALSE(table->RefreshAll());
    EXPECT_TRUE(table->IsValid(L'C'));

    table->ResetDrive(L'C');
    table->GetData(L'C', rec);
    EXPECT_FALSE(rec.Valid);
    EXPECT_TRUE(rec.Pidl.empty());
    EXPECT_EQ(rec.PrettyName, L"");
    EXPECT_EQ(rec.ImageIndex, -1);
    EXPECT_EQ(rec.DriveType, kDriveTypeFixed) << "the type stays";
}

TEST_F(DriveTableTest, AccessibilityIsAskedAndStored)
{
    sys.Drives[L'D'].Accessible = false;
    const auto table = MakeTable();
    EXPECT_TRUE(table->IsDriveAccessible(L'C'));
    EXPECT_FALSE(table->IsDriveAccessible(L'd'));
    TDriveInfoRec rec;
    table->GetData(L'D', rec);
    EXPECT_FALSE(rec.DriveReady);
    EXPECT_FALSE(table->IsDriveAccessible(L'Q')) << "an unknown drive has no folder";
    sys.Terminating = true;
    EXPECT_FALSE(table->IsDriveAccessible(L'C'));
}

TEST_F(DriveTableTest, NetworkNeighbourhoodSlot)
{
    auto table = MakeTable();
    EXPECT_FALSE(table->IsValid(kNetworkDrive)) << "no network on this system";
    EXPECT_EQ(table->GetPrettyName(kNetworkDrive), L"\\:");

    sys.Network = true;
    table = MakeTable();
    ASSERT_TRUE(table->IsValid(kNetworkDrive));
    EXPECT_TRUE(table->IsDriveAccessible(kNetworkDrive));
    EXPECT_EQ(table->GetPrettyName(kNetworkDrive), L"Netzwerkumgebung");
    EXPECT_EQ(table->GetImageIndex(kNetworkDrive), 17);
    TDriveInfoRec rec;
    table->GetData(kNetworkDrive, rec);
    EXPECT_EQ(rec.DriveType, kDriveTypeRemote);
    EXPECT_FALSE(table->IsValid(kSpareDrive));
}
