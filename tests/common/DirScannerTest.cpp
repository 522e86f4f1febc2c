#include "common/DirScanner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

using namespace qrv;

namespace {

constexpr uint64_t GiB = uint64_t{1} << 30;
constexpr uint32_t kDir = kDirScanAttrDirectory;
constexpr uint32_t kLink = kDirScanAttrDirectory | kDirScanAttrReparsePoint;

struct FakeEntry {
    std::wstring name;
    uint32_t attributes = 0;
    uint64_t size = 0;
};

struct FakeFolder {
    std::vector<FakeEntry> entries;
    TDirListingEnd end = TDirListingEnd::Complete;
};

// A file system held in a map from folder paths (with trailing backslash) to
// their listings; a folder that is not in the map cannot be opened. It keeps
// which folders were listed, in order, and how many entries were handed out;
// several threads may list at once.
class FakeSource : public TDirScanSource {
public:
    std::map<std::wstring, FakeFolder> folders;
    std::vector<std::wstring> listed;
    std::atomic<int> entriesGiven = 0;

    TDirListingEnd List(const std::wstring& folder, const TEachEntry& each) override
    {
        {
            const std::lock_guard lock(mutex_);
            listed.push_back(folder);
        }
        const auto found = folders.find(folder);
        if (found == folders.end())
            return TDirListingEnd::NotOpened;
        for (const FakeEntry& entry : found->second.entries) {
            ++entriesGiven;
            if (!each(TDirScanEntry{entry.name, entry.attributes, entry.size}))
                return TDirListingEnd::Failed;
        }
        return found->second.end;
    }

private:
    std::mutex mutex_;
};

// Folder listings as the system gives them, "." and ".." first.
FakeFolder Listing(std::vector<FakeEntry> entries, TDirListingEnd end = TDirListingEnd::Complete)
{
    std::vector<FakeEntry> all{{L".", kDir, 0}, {L"..", kDir, 0}};
    all.insert(all.end(), entries.begin(), entries.end());
    return FakeFolder{all, end};
}

std::optional<TDirTotals> Scan(FakeSource& source, const std::wstring& root = L"T:\\root")
{
    return ScanDirTree(root, source, [] { return false; });
}

struct TreeCase {
    const char* name;
    std::map<std::wstring, FakeFolder> folders;
    TDirTotals expected;
};

}  // namespace

std::vector<TreeCase> KnownTrees()
{
    return {
        {"empty folder", {{L"T:\\root\\", Listing({})}}, {0, 0, 0}},
        {"three small files",
         {{L"T:\\root\\", Listing({{L"a", 0x20, 1}, {L"b", 0x20, 2}, {L"c", 0x20, 3}})}},
         {3, 0, 6}},
        {"files above 4 GiB are summed in 64 bits",
         {{L"T:\\root\\", Listing({{L"big3", 0x20, 3 * GiB}, {L"sub", kDir, 0}})},
          {L"T:\\root\\sub\\", Listing({{L"big5", 0x20, 5 * GiB}, {L"tiny", 0x20, 6}})}},
         {3, 1, 8 * GiB + 6}},
        {"nested folders count at every level",
         {{L"T:\\root\\", Listing({{L"x", kDir, 0}, {L"y", kDir, 0}, {L"f", 0, 10}})},
          {L"T:\\root\\x\\", Listing({{L"x1", kDir, 0}, {L"g", 0, 20}})},
          {L"T:\\root\\x\\x1\\", Listing({{L"h", 0, 30}})},
          {L"T:\\root\\y\\", Listing({})}},
         {3, 3, 60}},
        {"a folder that cannot be opened counts as empty",
         {{L"T:\\root\\", Listing({{L"locked", kDir, 0}, {L"open", kDir, 0}, {L"f", 0, 7}})},
          {L"T:\\root\\open\\", Listing({{L"g", 0, 9}})}},
         {2, 2, 16}},
        {"a reparse-point folder counts once and is not entered",
         {{L"T:\\root\\", Listing({{L"loop", kLink, 0}, {L"f", 0, 5}})},
          {L"T:\\root\\loop\\", Listing({{L"never", 0, 1000}, {L"deeper", kDir, 0}})}},
         {1, 1, 5}},
        {"sizes of folder entries are added too",
         {{L"T:\\root\\", Listing({{L"sub", kDir, 4096}})}, {L"T:\\root\\sub\\", Listing({})}},
         {0, 1, 4096}},
    };
}

TEST(DirScanner, CountsTreesOfKnownContent)
{
    for (const TreeCase& c : KnownTrees()) {
        FakeSource source;
        source.folders = c.folders;
        const auto totals = Scan(source);
        ASSERT_TRUE(totals.has_value()) << c.name;
        EXPECT_EQ(totals->Files, c.expected.Files) << c.name;
        EXPECT_EQ(totals->Folders, c.expected.Folders) << c.name;
        EXPECT_EQ(totals->Size, c.expected.Size) << c.name;
        for (const std::wstring& folder : source.listed)
            EXPECT_EQ(folder.find(L"loop"), std::wstring::npos) << c.name << ": entered a link";
    }
}

TEST(DirScanner, CountsInParallelAsAlone)
{
    // The known trees, and a wide one: 40 folders of 30 files and 3
    // subfolders each, so that the threads meet at the shared folder stack.
    std::vector<TreeCase> cases = KnownTrees();
    TreeCase wide{"wide", {}, {}};
    std::vector<FakeEntry> top;
    for (int i = 0; i < 40; ++i) {
        const std::wstring name = L"d" + std::to_wstring(i);
        top.push_back({name, kDir, 0});
        std::vector<FakeEntry> inner;
        for (int f = 0; f < 30; ++f)
            inner.push_back({L"f" + std::to_wstring(f), 0, uint64_t(i + f)});
        for (int k = 0; k < 3; ++k) {
            inner.push_back({L"s" + std::to_wstring(k), kDir, 0});
            wide.folders[L"T:\\root\\" + name + L"\\s" + std::to_wstring(k) + L"\\"] = Listing({{L"g", 0, 1}});
        }
        wide.folders[L"T:\\root\\" + name + L"\\"] = Listing(inner);
    }
    wide.folders[L"T:\\root\\"] = Listing(top);
    cases.push_back(wide);
    for (const TreeCase& c : cases) {
        FakeSource alone;
        alone.folders = c.folders;
        const auto expected = Scan(alone);
        for (unsigned threads : {1u, 2u, 4u}) {
            FakeSource source;
            source.folders = c.folders;
            const auto totals = ScanDirTreeInParallel(
                L"T:\\root", source, [] { return false; }, threads);
            ASSERT_TRUE(totals.has_value()) << c.name << ", " << threads;
            EXPECT_EQ(*totals, *expected) << c.name << ", " << threads;
            EXPECT_EQ(source.listed.size(), alone.listed.size()) << c.name << ", " << threads;
        }
    }
    FakeSource wideAlone;
    wideAlone.folders = wide.folders;
    EXPECT_EQ(Scan(wideAlone), (TDirTotals{40u * 30u + 120u, 40u + 120u, 40u * (29u * 30u / 2u) + 30u * 780u + 120u}));

    // A broken listing anywhere, or a stop, gives no result on any thread.
    FakeSource broken;
    broken.folders = wide.folders;
    broken.folders[L"T:\\root\\d17\\s2\\"].end = TDirListingEnd::Failed;
    EXPECT_FALSE(ScanDirTreeInParallel(
                     L"T:\\root", broken, [] { return false; }, 4)
                     .has_value());
    FakeSource stopped;
    stopped.folders = wide.folders;
    std::atomic<int> asked = 0;
    EXPECT_FALSE(ScanDirTreeInParallel(
                     L"T:\\root", stopped, [&] { return ++asked > 500; }, 4)
                     .has_value());
    EXPECT_LT(stopped.listed.size(), 161u);
}

TEST(DirScanner, ListsDepthFirstInListingOrder)
{
    FakeSource source;
    source.folders = {{L"C:\\", Listing({{L"b", kDir, 0}, {L"a", kDir, 0}})},
                      {L"C:\\b\\", Listing({{L"b2", kDir, 0}})},
                      {L"C:\\b\\b2\\", Listing({})},
                      {L"C:\\a\\", Listing({})}};
    ASSERT_TRUE(Scan(source, L"C:\\").has_value());
    const std::vector<std::wstring> expected = {L"C:\\", L"C:\\b\\", L"C:\\b\\b2\\", L"C:\\a\\"};
    EXPECT_EQ(source.listed, expected);
}

TEST(DirScanner, AListingThatBreaksOffGivesNoResult)
{
    // Any end but "no more files" fails the whole count, however deep it is.
    for (const std::wstring& broken : {std::wstring(L"T:\\root\\"), std::wstring(L"T:\\root\\sub\\")}) {
        FakeSource source;
        source.folders = {{L"T:\\root\\", Listing({{L"sub", kDir, 0}, {L"f", 0, 1}})},
                          {L"T:\\root\\sub\\", Listing({{L"g", 0, 2}})}};
        source.folders[broken].end = TDirListingEnd::Failed;
        EXPECT_FALSE(Scan(source).has_value()) << std::string(broken.begin(), broken.end());
    }
    // A broken listing stops the walk: the folders after it are not listed.
    FakeSource source;
    source.folders = {{L"T:\\root\\", Listing({{L"a", kDir, 0}, {L"b", kDir, 0}})},
                      {L"T:\\root\\a\\", Listing({}, TDirListingEnd::Failed)},
                      {L"T:\\root\\b\\", Listing({})}};
    EXPECT_FALSE(Scan(source).has_value());
    EXPECT_EQ(source.listed.back(), L"T:\\root\\a\\");
}

TEST(DirScanner, AStopIsHeededAtTheNextEntryAndReportsNothing)
{
    FakeSource source;
    std::vector<FakeEntry> many;
    for (int i = 0; i < 1000; ++i)
        many.push_back({L"f" + std::to_wstring(i), 0, 1});
    many.push_back({L"sub", kDir, 0});
    source.folders = {{L"T:\\root\\", Listing(many)}, {L"T:\\root\\sub\\", Listing({{L"g", 0, 1}})}};

    int asked = 0;
    const auto totals = ScanDirTree(L"T:\\root", source, [&] { return ++asked > 100; });
    EXPECT_FALSE(totals.has_value());
    // Asked before the folder and once per entry: the 100th entry was the last taken.
    EXPECT_EQ(source.entriesGiven, 100);
    EXPECT_EQ(source.listed.size(), 1u);

    // Stopped before it starts: nothing is listed at all.
    FakeSource untouched;
    untouched.folders = source.folders;
    EXPECT_FALSE(ScanDirTree(L"T:\\root", untouched, [] { return true; }).has_value());
    EXPECT_TRUE(untouched.listed.empty());
}

namespace {

// A chain of folders "d" nested Depth levels below the root, one file in each,
// made up on demand so that the fake does not hold the whole tree.
class DeepSource : public TDirScanSource {
public:
    DeepSource(std::wstring root, int depth) : root_(std::move(root)), depth_(depth) {}
    int deepest = 0;

    TDirListingEnd List(const std::wstring& folder, const TEachEntry& each) override
    {
        const int level = static_cast<int>((folder.size() - root_.size()) / 2);
        deepest = std::max(deepest, level);
        if (!each({L"file", 0, 1}))
            return TDirListingEnd::Failed;
        if (level < depth_ && !each({L"d", kDirScanAttrDirectory, 0}))
            return TDirListingEnd::Failed;
        return TDirListingEnd::Complete;
    }

private:
    std::wstring root_;
    int depth_;
};

}  // namespace

TEST(DirScanner, ScansATreeTenThousandLevelsDeep)
{
    DeepSource source(L"T:\\deep\\", 10000);
    const auto totals = ScanDirTree(L"T:\\deep", source, [] { return false; });
    ASSERT_TRUE(totals.has_value());
    EXPECT_EQ(source.deepest, 10000);
    EXPECT_EQ(totals->Folders, 10000u);
    EXPECT_EQ(totals->Files, 10001u);
    EXPECT_EQ(totals->Size, 10001u);
}

TEST(DirScanner, FormatsTheRowsWithTheGivenSeparator)
{
    const TDirTotalsTexts texts = FormatDirTotals({1234, 56, 5 * GiB + 6}, L".");
    EXPECT_EQ(texts.Files, L"1.234");
    EXPECT_EQ(texts.Folders, L"56");
    EXPECT_EQ(texts.Size, L"5.120 MB  (5.368.709.126 Bytes)");

    const TDirTotalsTexts small = FormatDirTotals({0, 0, 999}, L"'");
    EXPECT_EQ(small.Files, L"0");
    EXPECT_EQ(small.Size, L"999 Bytes  (999 Bytes)");

    // Counts past 32 bits.
    const TDirTotalsTexts huge = FormatDirTotals({5'000'000'000, 4'294'967'296, 20 * GiB}, L",");
    EXPECT_EQ(huge.Files, L"5,000,000,000");
    EXPECT_EQ(huge.Folders, L"4,294,967,296");
    EXPECT_EQ(huge.Size, L"20 GB  (21,474,836,480 Bytes)");
}

TEST(DirScanner, LongPathsTakeTheExtendedForm)
{
    const std::wstring longTail(300, L'x');
    EXPECT_EQ(LongPathForm(L"C:\\short\\*.*"), L"C:\\short\\*.*");
    EXPECT_EQ(LongPathForm(L"C:\\" + longTail), L"\\\\?\\C:\\" + longTail);
    EXPECT_EQ(LongPathForm(L"\\\\server\\share\\" + longTail), L"\\\\?\\UNC\\server\\share\\" + longTail);
    EXPECT_EQ(LongPathForm(L"\\\\?\\C:\\" + longTail), L"\\\\?\\C:\\" + longTail);
    // The plain form holds at most 259 characters and the terminating zero.
    const std::wstring fits = L"C:\\" + std::wstring(256, L'y');
    EXPECT_EQ(LongPathForm(fits), fits);
    EXPECT_EQ(LongPathForm(fits + L"z"), L"\\\\?\\" + fits + L"z");
}
