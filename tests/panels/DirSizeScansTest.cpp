// The folder-size scans of a list: the schedule's limit, the answers taken
// into the items and the totals, the pending start, turning sizes off, and
// answers that arrive for items no longer listed.
#include "FakeDirSystem.h"
#include "panels/DirScanSchedule.h"
#include "panels/DirViewCells.h"
#include "panels/DirViewCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;

namespace {

std::vector<TDirScanJob> Jobs(std::initializer_list<uint64_t> Serials)
{
    std::vector<TDirScanJob> jobs;
    for (const uint64_t serial : Serials)
        jobs.push_back({serial, L"C:\\" + std::to_wstring(serial)});
    return jobs;
}

std::vector<uint64_t> SerialsOf(const std::vector<TDirScanJob>& Jobs)
{
    std::vector<uint64_t> serials;
    for (const TDirScanJob& job : Jobs)
        serials.push_back(job.Serial);
    return serials;
}

TEST(DirScanSchedule, RunsAtMostItsLimitAndStartsTheNextAsOneEnds)
{
    TDirScanSchedule schedule(3);
    EXPECT_EQ(SerialsOf(schedule.Add(Jobs({1, 2, 3, 4, 5}))), (std::vector<uint64_t>{1, 2, 3}));
    // Jobs already waiting or running are not queued twice.
    EXPECT_TRUE(schedule.Add(Jobs({2, 5, 6})).empty());
    EXPECT_EQ(schedule.WaitingCount(), 3u);
    const auto next = schedule.Ended(2);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->Serial, 4u);
    EXPECT_EQ(schedule.RunningCount(), 3u);
    // A serial it does not run (an end reported twice, a scan of before a
    // clear) starts nothing.
    EXPECT_FALSE(schedule.Ended(2));
    EXPECT_FALSE(schedule.Ended(99));
    EXPECT_EQ(schedule.RunningCount(), 3u);
    for (const uint64_t serial : {1, 3, 4, 5, 6})
        schedule.Ended(serial);
    EXPECT_TRUE(schedule.Idle());
    schedule.Add(Jobs({7, 8}));
    schedule.Clear();
    EXPECT_TRUE(schedule.Idle());
    EXPECT_FALSE(schedule.Ended(7));
}

// A list whose scans the test ends by hand.
class ScanView : public TDirViewCore {
public:
    explicit ScanView(FakeDirSystem& sys) : TDirViewCore(nullptr, sys, sys, DirViewTextsFor(kLangGerman))
    {
        OnFileSizeChanged = [this](TComponent*, TFileRec& item) { SizeEvents.push_back(item.FileName); };
    }
    // The running scan of the folder Name.
    uint64_t SerialOf(const std::wstring& Name) const
    {
        for (const auto& [serial, path] : Running)
            if (path.ends_with(L"\\" + Name))
                return serial;
        return 0;
    }
    void End(const std::wstring& Name, std::optional<uint64_t> Total)
    {
        const uint64_t serial = SerialOf(Name);
        ASSERT_NE(serial, 0u) << "no scan of " << WideToUtf8(Name);
        Running.erase(serial);
        DirScanEnded(serial, Total);
    }
    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < ItemCount(); ++i)
            names.push_back(GetItemData(i)->FileName);
        return names;
    }

    std::map<uint64_t, std::wstring> Running;
    size_t MostRunning = 0;
    int Ended = 0;
    int Sorts = 0;
    int Relayouts = 0;
    bool BySize = false;
    bool Tiles = false;
    std::vector<std::wstring> SizeEvents;

protected:
    std::wstring LoadMask() const override { return L"*.*"; }
    void RunDirScan(const TDirScanJob& Job) override
    {
        Running[Job.Serial] = Job.Path;
        MostRunning = std::max(MostRunning, Running.size());
    }
    void EndDirScans() override
    {
        ++Ended;
        Running.clear();
    }
    bool SortedBySize() const override { return BySize; }
    bool IsTileView() const override { return Tiles; }
    void RelayoutTiles() override { ++Relayouts; }
    void SortItems() override
    {
        ++Sorts;
        // Largest first, as a descending size column.
        SortRecords([](const TFileRec& a, const TFileRec& b) {
            if (a.IsParentDir != b.IsParentDir)
                return a.IsParentDir ? -1 : 1;
            return a.Size == b.Size ? 0 : (a.Size > b.Size ? -1 : 1);
        });
    }
};

class DirSizeScansTest : public testing::Test {
protected:
    void SetUp() override
    {
        sys.AddFolder(L"C:\\Daten");
        sys.AddFile(L"C:\\Daten", L"notiz.txt", 500);
        for (int i = 0; i < 10; ++i)
            sys.AddFolder(L"C:\\Daten\\D" + std::to_wstring(i));
        sys.AddFolder(L"C:\\Daten\\D0\\Tief");
        view.SetShowSubDirSize(true);
        view.SetAutoStartThreads(true);
    }

    FakeDirSystem sys;
    ScanView view{sys};
};

TEST_F(DirSizeScansTest, TenFoldersAreSummedThreeAtATimeThenTheListSortsAgain)
{
    view.BySize = true;
    view.Tiles = true;
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.Running.size(), 3u);
    const int sortsAfterLoad = view.Sorts;
    uint64_t expected = 500;
    for (int i = 0; i < 10; ++i) {
        // The scans end in an order of their own: the newest first.
        const std::wstring name = view.Running.rbegin()->second.substr(view.Running.rbegin()->second.rfind(L'\\') + 1);
        const uint64_t size = 1000 * (static_cast<uint64_t>(i) + 1);
        view.End(name, size);
        expected += size;
        EXPECT_EQ(view.TotalSize(), expected);
        EXPECT_TRUE(view.FindFileItem(name)->SubDirSizeDone);
        EXPECT_EQ(view.FindFileItem(name)->Size, size);
        EXPECT_EQ(view.Sorts, sortsAfterLoad + (i == 9 ? 1 : 0)) << "sorted before the last size came";
    }
    EXPECT_LE(view.MostRunning, 3u);
    EXPECT_EQ(view.SizeEvents.size(), 10u);
    EXPECT_EQ(view.Relayouts, 1);
    // Sorted by size, the largest folder (the last summed) leads.
    EXPECT_EQ(view.Names()[1], view.SizeEvents.back());
}

TEST_F(DirSizeScansTest, AFailedSumLeavesItsSizeUnknownAndTheOthersGoOn)
{
    view.SetMaxSubDirScanner(1);
    view.SetPath(L"C:\\Daten");
    const std::wstring first = view.Running.begin()->second.substr(9);
    view.End(first, std::nullopt);
    EXPECT_TRUE(SizeUnknown(*view.FindFileItem(first)));
    EXPECT_EQ(view.Running.size(), 1u);
    EXPECT_EQ(view.TotalSize(), 500u);
}

TEST_F(DirSizeScansTest, ASumOfTheUnknownMarkerIsAKnownSize)
{
    view.SetPath(L"C:\\Daten");
    view.End(L"D1", kUnknownDirSize);
    const TFileRec& item = *view.FindFileItem(L"D1");
    EXPECT_FALSE(SizeUnknown(item));
    EXPECT_EQ(view.TotalSize(), 500 + kUnknownDirSize);
    TDirCellOptions cells;
    cells.ShowSubDirSize = true;
    EXPECT_FALSE(DirCellText(item, 1, cells, nullptr).empty());
}

TEST_F(DirSizeScansTest, WithoutAutomaticStartTheScansWaitUntilStarted)
{
    view.SetAutoStartThreads(false);
    view.SetPath(L"C:\\Daten");
    EXPECT_TRUE(view.ScanPending());
    EXPECT_TRUE(view.Running.empty());
    // The window's idle start: on and off again.
    view.SetAutoStartThreads(true);
    view.SetAutoStartThreads(false);
    EXPECT_FALSE(view.ScanPending());
    EXPECT_EQ(view.Running.size(), 3u);
}

TEST_F(DirSizeScansTest, SizesOffStopTheScansAndTotalOnlyTheFiles)
{
    view.SetPath(L"C:\\Daten");
    TFileRec& d1 = *view.FindFileItem(L"D1");
    view.SetItemSelected(d1, true);
    view.End(L"D1", 7000);
    EXPECT_EQ(view.SelectedSize(), 7000u);
    view.SetShowSubDirSize(false);
    EXPECT_EQ(view.Ended, 1);
    EXPECT_TRUE(view.Running.empty());
    EXPECT_EQ(view.TotalSize(), 500u);
    EXPECT_EQ(view.SelectedSize(), 0u);
    EXPECT_TRUE(SizeUnknown(d1));
    // Turned on again, every folder is summed anew.
    view.SetShowSubDirSize(true);
    EXPECT_EQ(view.Running.size(), 3u);
    EXPECT_NE(view.SerialOf(L"D1") + view.SerialOf(L"D0") + view.SerialOf(L"D2"), 0u);
}

TEST_F(DirSizeScansTest, NoScanStartsWhereItsFoldersAreNotShown)
{
    view.SetShowDirectories(false);
    view.SetPath(L"C:\\Daten");
    EXPECT_TRUE(view.Running.empty());
    EXPECT_FALSE(view.ScanPending());
}

TEST_F(DirSizeScansTest, AnAnswerForAnItemNoLongerListedIsDropped)
{
    view.SetPath(L"C:\\Daten");
    const uint64_t old = view.SerialOf(view.Running.begin()->second.substr(9));
    // Another folder: its records are made in the places of the old ones.
    sys.AddFolder(L"C:\\Andere");
    sys.AddFolder(L"C:\\Andere\\Neu");
    view.SetPath(L"C:\\Andere");
    EXPECT_GE(view.Ended, 1);
    view.Running.clear();
    view.DirScanEnded(old, 12345);
    EXPECT_TRUE(SizeUnknown(*view.FindFileItem(L"Neu")));
    EXPECT_EQ(view.TotalSize(), 0u);
    EXPECT_TRUE(view.SizeEvents.empty());
}

TEST_F(DirSizeScansTest, AReReadKeepsTheSizesFoundAndSumsOnlyNewFolders)
{
    view.SetMaxSubDirScanner(20);
    view.SetPath(L"C:\\Daten");
    for (int i = 0; i < 10; ++i)
        view.End(L"D" + std::to_wstring(i), 100);
    sys.AddFolder(L"C:\\Daten\\Neu");
    view.ReloadDirectory();
    ASSERT_EQ(view.Running.size(), 1u);
    EXPECT_TRUE(view.Running.begin()->second.ends_with(L"\\Neu"));
    EXPECT_EQ(view.TotalSize(), 1500u);
}

}  // namespace
