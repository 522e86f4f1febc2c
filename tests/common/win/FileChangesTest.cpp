#include "common/win/FileChanges.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;

TEST(FileDeleteThread, ReportsEachRoundsVanishedPathsOnTheWindowThread)
{
    TestDir dir;
    const std::vector<std::wstring> paths = {dir.Write(L"a.txt", "a"), dir.Write(L"b.txt", "b"),
                                             dir.Write(L"Ωmega.txt", "c")};
    std::vector<std::vector<std::wstring>> reports;
    bool onWindowThread = true;
    auto watch =
        std::make_unique<TFileDeleteThread>(paths, [&](TFileDeleteThread*, const std::vector<std::wstring>& deleted) {
            onWindowThread = onWindowThread && TThread::IsMainThread();
            reports.push_back(deleted);
        });
    ASSERT_TRUE(DeleteFileW(paths[0].c_str()));
    ASSERT_TRUE(DeleteFileW(paths[2].c_str()));
    ASSERT_TRUE(PumpUntil([&] { return !reports.empty(); }, std::chrono::seconds(5)));
    PumpFor(std::chrono::milliseconds(700));  // a round later
    ASSERT_TRUE(DeleteFileW(paths[1].c_str()));
    ASSERT_TRUE(PumpUntil([&] { return reports.size() == 2; }, std::chrono::seconds(5)));
    EXPECT_EQ(reports[0], (std::vector<std::wstring>{paths[0], paths[2]}));
    EXPECT_EQ(reports[1], (std::vector<std::wstring>{paths[1]}));
    EXPECT_TRUE(onWindowThread);
    EXPECT_TRUE(PumpUntil([&] { return watch->Finished(); }, std::chrono::seconds(2))) << "nothing left to watch";
}

TEST(FileDeleteThread, OwnerGoingStopsTheWatchWithoutAReport)
{
    TestDir dir;
    const std::wstring path = dir.Write(L"bleibt.txt", "x");
    int reports = 0;
    auto watch = std::make_unique<TFileDeleteThread>(
        std::vector<std::wstring>{path}, [&](TFileDeleteThread*, const std::vector<std::wstring>&) { ++reports; });
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    const auto start = std::chrono::steady_clock::now();
    watch.reset();  // before the first round has looked
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450)) << "stopped, not waited out";
    PumpFor(std::chrono::milliseconds(700));
    EXPECT_EQ(reports, 0);
}

TEST(FileDeleteThread, NothingVanishingEndsAtTheTimeOut)
{
    TestDir dir;
    int reports = 0;
    auto watch = std::make_unique<TFileDeleteThread>(
        std::vector<std::wstring>{dir.Write(L"bleibt.txt", "x")},
        [&](TFileDeleteThread*, const std::vector<std::wstring>&) { ++reports; }, 1);
    EXPECT_TRUE(PumpUntil([&] { return watch->Finished(); }, std::chrono::seconds(4)));
    EXPECT_EQ(reports, 0);
}
