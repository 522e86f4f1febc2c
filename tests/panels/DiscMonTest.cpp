#include "panels/DiscMon.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// A change source in memory. Like the system's, a watch is a handle that is
// signalled by changes, re-armed by Next, and a change made while no watch is
// open is never seen. A failing Next leaves the handle signalled.
class FakeSource : public TChangeSource {
public:
    bool Open(const TDiscMonitorSettings& settings) override
    {
        std::lock_guard lock(mutex_);
        ++opens;
        lastOpened = settings;
        open_ = validDirs.count(settings.Directory) > 0;
        signalled_ = gone_ = false;
        return open_;
    }
    void Close() override
    {
        std::lock_guard lock(mutex_);
        if (open_)
            ++closes;
        open_ = signalled_ = false;
    }
    bool Next() override
    {
        std::lock_guard lock(mutex_);
        if (nextFails)
            return false;
        signalled_ = false;
        return true;
    }
    TWaitResult Wait(bool withChange) override
    {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || restart_ || (withChange && open_ && (signalled_ || gone_)); });
        if (stop_)
            return wrStop;
        if (restart_) {
            restart_ = false;
            return wrRestart;
        }
        return signalled_ ? wrChange : wrGone;
    }
    void SignalRestart() override
    {
        std::lock_guard lock(mutex_);
        restart_ = true;
        wake_.notify_all();
    }
    void SignalStop() override
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        wake_.notify_all();
    }

    // Test side: something changed in the watched folder.
    void Change()
    {
        std::lock_guard lock(mutex_);
        if (open_)
            signalled_ = true;
        wake_.notify_all();
    }
    // Test side: the watched folder went without a word from the watch.
    void Vanish()
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
        wake_.notify_all();
    }
    bool IsOpen()
    {
        std::lock_guard lock(mutex_);
        return open_;
    }
    int Opens()
    {
        std::lock_guard lock(mutex_);
        return opens;
    }
    int Closes()
    {
        std::lock_guard lock(mutex_);
        return closes;
    }
    TDiscMonitorSettings LastOpened()
    {
        std::lock_guard lock(mutex_);
        return lastOpened;
    }
    void SetNextFails(bool fails)
    {
        std::lock_guard lock(mutex_);
        nextFails = fails;
    }

    std::set<std::wstring> validDirs{L"C:\\watched", L"C:\\other"};

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false, restart_ = false, open_ = false, signalled_ = false, gone_ = false;
    bool nextFails = false;
    int opens = 0, closes = 0;
    TDiscMonitorSettings lastOpened;
};

// The monitor's core with its worker running; reports are taken the way the
// user-interface side takes them: only while still current.
class DiscMonCore : public testing::Test {
protected:
    void SetUp() override
    {
        worker_ = std::thread([this] {
            core.Run([this](TDiscMonitorCore::TReport report, uint64_t generation) {
                std::lock_guard lock(mutex_);
                if (!core.IsCurrent(generation))
                    return;
                (report == TDiscMonitorCore::rpChange ? changes : invalids)++;
                lastGeneration = generation;
            });
        });
    }
    void TearDown() override
    {
        core.Stop();
        worker_.join();
        EXPECT_EQ(core.State(), TDiscMonitorState::dmsStopped);
        EXPECT_FALSE(source.IsOpen()) << "the worker closes its watch when it ends";
    }

    // Polls (at most 5 s) until the condition holds.
    static bool Eventually(const std::function<bool()>& condition)
    {
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    bool InState(TDiscMonitorState state)
    {
        return Eventually([&] { return core.State() == state; });
    }
    int Changes()
    {
        std::lock_guard lock(mutex_);
        return changes;
    }
    uint64_t LastGeneration()
    {
        std::lock_guard lock(mutex_);
        return lastGeneration;
    }
    int Invalids()
    {
        std::lock_guard lock(mutex_);
        return invalids;
    }
    // A change that the watch must report; proves the worker got this far.
    void ExpectChangeReported()
    {
        const int before = Changes();
        source.Change();
        EXPECT_TRUE(Eventually([&] { return Changes() == before + 1; }));
    }
    void Watch(const std::wstring& directory)
    {
        core.SetDirectory(directory);
        core.SetActive(true);
        ASSERT_TRUE(InState(TDiscMonitorState::dmsWatching));
    }

    FakeSource source;
    TDiscMonitorCore core{source};
    std::mutex mutex_;
    int changes = 0, invalids = 0;
    uint64_t lastGeneration = 0;

private:
    std::thread worker_;
};

}  // namespace

TEST_F(DiscMonCore, StartsInactiveWithFileNamesAndSubTree)
{
    EXPECT_FALSE(core.Active());
    EXPECT_EQ(core.Settings().Filter, TMonitorFilters{moFilename});
    EXPECT_TRUE(core.Settings().SubTree);
    EXPECT_TRUE(InState(TDiscMonitorState::dmsPaused));
    EXPECT_EQ(source.Opens(), 0);
}

TEST_F(DiscMonCore, ReportsEveryChangeOnceWhileWatching)
{
    core.SetSubTree(false);
    core.SetFilter(moFilename | moDirName | moLastWrite);
    Watch(L"C:\\watched");
    for (int i = 1; i <= 3; ++i)
        ExpectChangeReported();
    EXPECT_EQ(Changes(), 3);
    EXPECT_EQ(source.Opens(), 1);
    const TDiscMonitorSettings opened = source.LastOpened();
    EXPECT_EQ(opened.Directory, L"C:\\watched");
    EXPECT_EQ(opened.Filter, 0x13u);
    EXPECT_FALSE(opened.SubTree);
}

TEST_F(DiscMonCore, InactiveClosesTheWatchAndChangesMeanwhileAreNeverReported)
{
    Watch(L"C:\\watched");
    core.SetActive(false);
    ASSERT_TRUE(InState(TDiscMonitorState::dmsPaused));
    EXPECT_FALSE(source.IsOpen());
    source.Change();
    core.SetDirectory(L"C:\\other");  // only stored while inactive
    EXPECT_EQ(source.Opens(), 1);

    core.SetActive(true);
    ASSERT_TRUE(InState(TDiscMonitorState::dmsWatching));
    EXPECT_EQ(source.LastOpened().Directory, L"C:\\other");
    ExpectChangeReported();
    EXPECT_EQ(Changes(), 1) << "the change made while paused is not reported";
}

TEST_F(DiscMonCore, AMissingDirectoryIsReportedOncePerAttempt)
{
    core.SetDirectory(L"C:\\missing");
    core.SetActive(true);
    ASSERT_TRUE(InState(TDiscMonitorState::dmsInvalid));
    EXPECT_TRUE(Eventually([&] { return Invalids() == 1; }));
    source.Change();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Invalids(), 1);
    EXPECT_EQ(source.Opens(), 1) << "an invalid monitor waits for new settings";

    core.SetDirectory(L"C:\\missing2");
    EXPECT_TRUE(Eventually([&] { return Invalids() == 2; }));

    core.SetDirectory(L"C:\\watched");
    ASSERT_TRUE(InState(TDiscMonitorState::dmsWatching));
    ExpectChangeReported();
    EXPECT_EQ(Invalids(), 2);
}

TEST_F(DiscMonCore, ChangedSettingsReopenOnceAndEqualOnesNotAtAll)
{
    Watch(L"C:\\watched");
    EXPECT_TRUE(core.SetFilter(moFilename | moSize));
    EXPECT_TRUE(Eventually([&] { return source.LastOpened().Filter == (moFilename | moSize); }));
    ASSERT_TRUE(InState(TDiscMonitorState::dmsWatching));
    ExpectChangeReported();  // a pending restart would be taken before this change
    EXPECT_EQ(source.Opens(), 2);

    EXPECT_FALSE(core.SetDirectory(L"C:\\watched"));
    EXPECT_FALSE(core.SetFilter(moFilename | moSize));
    EXPECT_FALSE(core.SetSubTree(true));
    EXPECT_FALSE(core.SetActive(true));
    ExpectChangeReported();
    EXPECT_EQ(source.Opens(), 2);
    EXPECT_EQ(source.Closes(), 1);
}

TEST_F(DiscMonCore, AWatchThatCannotBeRearmedIsClosedAndReportedOnce)
{
    Watch(L"C:\\watched");
    source.SetNextFails(true);
    source.Change();
    ASSERT_TRUE(InState(TDiscMonitorState::dmsInvalid));
    EXPECT_TRUE(Eventually([&] { return Invalids() == 1; }));
    EXPECT_FALSE(source.IsOpen()) << "a signalled handle left open would flood OnChange";
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Changes(), 1);
    EXPECT_EQ(Invalids(), 1);

    source.SetNextFails(false);
    core.SetDirectory(L"C:\\other");
    ASSERT_TRUE(InState(TDiscMonitorState::dmsWatching));
    ExpectChangeReported();
}

TEST_F(DiscMonCore, AFolderGoneWithoutAChangeIsClosedAndReportedOnce)
{
    Watch(L"C:\\watched");
    source.Vanish();
    ASSERT_TRUE(InState(TDiscMonitorState::dmsInvalid));
    EXPECT_TRUE(Eventually([&] { return Invalids() == 1; }));
    EXPECT_FALSE(source.IsOpen());
    EXPECT_EQ(Changes(), 0);
    EXPECT_EQ(source.Opens(), 1) << "no new attempt without new settings";
}

TEST_F(DiscMonCore, AReportIsStaleOnceTheSettingsChangedOrTheMonitorStopped)
{
    Watch(L"C:\\watched");
    ExpectChangeReported();
    const uint64_t generation = LastGeneration();
    EXPECT_TRUE(core.IsCurrent(generation));
    core.SetDirectory(L"C:\\other");
    EXPECT_FALSE(core.IsCurrent(generation));

    ASSERT_TRUE(Eventually([&] { return source.Opens() == 2; }));
    ASSERT_TRUE(InState(TDiscMonitorState::dmsWatching));
    ExpectChangeReported();
    const uint64_t second = LastGeneration();
    core.SetActive(false);
    EXPECT_FALSE(core.IsCurrent(second));
    core.SetActive(true);
    EXPECT_FALSE(core.IsCurrent(second));
    core.Stop();
    EXPECT_FALSE(core.IsCurrent(LastGeneration()));
}

// Stop ends the worker from each state it can wait in, closing any watch.
class DiscMonCoreStop : public DiscMonCore, public testing::WithParamInterface<TDiscMonitorState> {};

TEST_P(DiscMonCoreStop, EndsTheWorkerAndClosesTheWatch)
{
    switch (GetParam()) {
    case TDiscMonitorState::dmsWatching:
        Watch(L"C:\\watched");
        break;
    case TDiscMonitorState::dmsInvalid:
        core.SetDirectory(L"C:\\missing");
        core.SetActive(true);
        break;
    default:
        break;
    }
    ASSERT_TRUE(InState(GetParam()));
    core.Stop();
    EXPECT_TRUE(InState(TDiscMonitorState::dmsStopped));
    EXPECT_FALSE(source.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(States, DiscMonCoreStop,
                         testing::Values(TDiscMonitorState::dmsPaused, TDiscMonitorState::dmsWatching,
                                         TDiscMonitorState::dmsInvalid));
