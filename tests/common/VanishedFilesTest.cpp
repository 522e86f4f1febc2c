#include "common/VanishedFiles.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// A file system whose files go at given rounds and a clock that advances
// half a second per round.
struct TPollerWorld {
    std::set<std::wstring> files;
    std::vector<std::pair<int, std::wstring>> vanishing;  // round, path
    int round = 0;
    int stopAtRound = -1;
    uint64_t now = 1'000'000;
    std::vector<std::vector<std::wstring>> reports;

    TVanishedFileHooks Hooks()
    {
        TVanishedFileHooks hooks;
        hooks.Exists = [this](const std::wstring& path) { return files.count(path) != 0; };
        hooks.Now = [this] { return now; };
        hooks.WaitRound = [this] {
            ++round;
            now += kVanishedFileRoundMs * 10'000ull;
            if (round == stopAtRound) {
                return false;
            }
            for (const auto& [when, path] : vanishing) {
                if (when == round) {
                    files.erase(path);
                }
            }
            return true;
        };
        hooks.Report = [this](const std::vector<std::wstring>& deleted) { reports.push_back(deleted); };
        return hooks;
    }
};

const std::vector<std::wstring> kPaths = {L"C:\\a", L"C:\\b", L"C:\\c"};

}  // namespace

TEST(VanishedFilePoller, EachRoundReportsOnlyItsOwnPaths)
{
    TPollerWorld world;
    world.files = {kPaths.begin(), kPaths.end()};
    world.vanishing = {{1, L"C:\\a"}, {1, L"C:\\c"}, {4, L"C:\\b"}};
    PollVanishedFiles(kPaths, VanishedFileEndTime(world.now, 10), world.Hooks());
    ASSERT_EQ(world.reports.size(), 2u);
    EXPECT_EQ(world.reports[0], (std::vector<std::wstring>{L"C:\\a", L"C:\\c"}));
    EXPECT_EQ(world.reports[1], (std::vector<std::wstring>{L"C:\\b"}));
    EXPECT_EQ(world.round, 4) << "nothing left to watch ends it";
}

TEST(VanishedFilePoller, NothingVanishingEndsAtTheTimeOutWithoutReport)
{
    TPollerWorld world;
    world.files = {kPaths.begin(), kPaths.end()};
    PollVanishedFiles(kPaths, VanishedFileEndTime(world.now, 10), world.Hooks());
    EXPECT_TRUE(world.reports.empty());
    EXPECT_EQ(world.round, 20) << "ten seconds of half-second rounds";
}

TEST(VanishedFilePoller, StoppedPollerReportsNothingMore)
{
    TPollerWorld world;
    world.files = {kPaths.begin(), kPaths.end()};
    world.vanishing = {{1, L"C:\\a"}, {3, L"C:\\b"}};
    world.stopAtRound = 3;  // the owner goes before the second loss is seen
    PollVanishedFiles(kPaths, VanishedFileEndTime(world.now, 10), world.Hooks());
    ASSERT_EQ(world.reports.size(), 1u);
    EXPECT_EQ(world.reports[0], (std::vector<std::wstring>{L"C:\\a"}));
}

TEST(VanishedFilePoller, FilesGoneAtOnceAreReportedAfterTheFirstRound)
{
    TPollerWorld world;  // none of the paths exists
    PollVanishedFiles(kPaths, VanishedFileEndTime(world.now, 10), world.Hooks());
    ASSERT_EQ(world.reports.size(), 1u);
    EXPECT_EQ(world.reports[0], kPaths);
    EXPECT_EQ(world.round, 1);
}
