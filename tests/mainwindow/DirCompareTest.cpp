// The directory comparison's walk over fixture records: each choice, with
// and without content, duplicates, aborts, unreadable pairs, the progress
// rules and the summaries.

#include "mainwindow/DirCompare.h"
#include "mainwindow/FileCompare.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <random>
#include <stdexcept>
#include <thread>
#include <string>
#include <vector>

using namespace qrv;

namespace {

using S = TCompareSelect;

struct FileSpec {
    std::wstring Name;
    uint64_t Size;
    uint64_t Time;
    std::string Content;  // empty: same as the name
    bool Dir = false;
};

// Two folders of records; contents live in a map by full path.
class Fixture {
public:
    std::map<std::wstring, std::string> Contents;
    std::vector<std::wstring> Unreadable;
    std::atomic<int> ContentCalls = 0;
    uint64_t Clock = 0;
    uint64_t ClockStep = 0;  // added at every reading of the clock
    std::vector<int> Progress;
    std::vector<std::wstring> Labels;
    std::function<bool()> Abort;
    std::function<uint8_t(const std::wstring&, const std::wstring&)> Compare;

    std::vector<TCompareRecord> Records(const std::wstring& Dir, const std::vector<FileSpec>& Specs)
    {
        std::vector<TCompareRecord> out;
        for (const FileSpec& s : Specs) {
            TCompareRecord r;
            r.Name = r.DisplayName = s.Name;
            r.FullPath = Dir + L"\\" + s.Name;
            r.Size = s.Size;
            r.LastWrite = s.Time;
            r.IsDirectory = s.Dir;
            r.Item = out.size();
            Contents[r.FullPath] = s.Content.empty() ? std::string(s.Name.begin(), s.Name.end()) : s.Content;
            out.push_back(r);
        }
        return out;
    }

    uint8_t CompareContents(const std::wstring& a, const std::wstring& b)
    {
        ++ContentCalls;
        if (Compare)
            return Compare(a, b);
        for (const std::wstring& bad : Unreadable) {
            if (a == bad)
                return crReadFailedA;
            if (b == bad)
                return crOpenFailedB;
        }
        return Contents.at(a) == Contents.at(b) ? crEqual : crDifferent;
    }

    // Workers: the comparisons on that many worker threads instead.
    TDirCompareHost Host(unsigned Workers = 0)
    {
        TDirCompareHost host;
        if (Workers > 0) {
            host.Workers = Workers;
            host.CompareOnWorker = [this](const std::wstring& a, const std::wstring& b, const std::atomic<bool>&) {
                return CompareContents(a, b);
            };
        } else {
            host.CompareContents = [this](const std::wstring& a, const std::wstring& b) {
                return CompareContents(a, b);
            };
        }
        host.NowMs = [this] { return Clock += ClockStep; };
        host.ShowProgress = [this](int p) { Progress.push_back(p); };
        host.ShowLabel = [this](const std::wstring& l) { Labels.push_back(l); };
        host.Aborted = [this] { return Abort && Abort(); };
        return host;
    }
};

TDirCompareOptions Options(S Select, bool Name, bool Size, bool Content, bool Duplicates = false)
{
    TDirCompareOptions o;
    o.Select = Select;
    o.ByName = Name;
    o.BySize = Size;
    o.ByContent = Content;
    o.Duplicates = Duplicates;
    return o;
}

// A: a.txt 10 (t 5), b.txt 20 (t 5), c.txt 30 (t 9), d.txt 40, e.txt only here
// B: a.txt 10 same, b.txt 20 other content, c.txt 31 (t 3), d.txt 40 (t 7), f.txt only there
const std::vector<FileSpec> kA = {{L"a.txt", 10, 5, "same"}, {L"B.TXT", 20, 5, "one"}, {L"c.txt", 30, 9, "x"},
                                  {L"d.txt", 40, 5, "d"},    {L"e.txt", 50, 5, "e"},   {L"sub", 0, 5, "", true}};
const std::vector<FileSpec> kB = {{L"f.txt", 60, 5, "f"},   {L"d.txt", 40, 7, "d"},    {L"c.txt", 31, 3, "y"},
                                  {L"b.txt", 20, 5, "two"}, {L"a.txt", 10, 5, "same"}, {L"sub", 0, 5, "", true}};

struct WalkCase {
    const char* Title;
    TDirCompareOptions Options;
    std::vector<size_t> Active;   // item indexes of kA selected
    std::vector<size_t> Compare;  // item indexes of kB selected
};

class DirCompareWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(DirCompareWalk, SelectsWhatTheChoiceAsks)
{
    Fixture f;
    TDirCompareInput in;
    in.Options = GetParam().Options;
    in.Active = f.Records(L"A", kA);
    in.CompareList = f.Records(L"B", kB);
    in.CompareWindowShown = true;
    const TDirCompareResult r = RunDirCompare(in, f.Host());
    EXPECT_EQ(r.Status, TDirCompareStatus::Done);
    EXPECT_EQ(r.ActiveItems, GetParam().Active);
    EXPECT_EQ(r.CompareItems, GetParam().Compare);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, DirCompareWalk,
    ::testing::Values(
        // Name and size: a and b (case ignored) and d pair; c differs in size.
        WalkCase{"equal name size", Options(S::Equal, true, true, false), {0, 1, 3}, {1, 3, 4}},
        WalkCase{"equal with content", Options(S::Equal, true, true, true), {0, 3}, {1, 4}},
        WalkCase{"equal by name only", Options(S::Equal, true, false, false), {0, 1, 2, 3}, {1, 2, 3, 4}},
        // Without names, sizes pair: a(10) with a(10), b(20), d(40).
        WalkCase{"equal by size only", Options(S::Equal, false, true, false), {0, 1, 3}, {1, 3, 4}},
        WalkCase{"different by size", Options(S::Different, true, true, false), {2}, {2}},
        WalkCase{"different by content", Options(S::Different, true, true, true), {1, 2}, {2, 3}},
        // The active c is newer; the compare d is newer.
        WalkCase{"newer", Options(S::Newer, true, false, false), {2}, {1}},
        WalkCase{"older", Options(S::Older, true, false, false), {3}, {2}},
        WalkCase{"missing", Options(S::Missing, true, false, false), {4}, {0}}),
    [](const auto& info) {
        std::string name = info.param.Title;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(DirCompare, FoldersTakePartOnlyWithSubfolders)
{
    Fixture f;
    TDirCompareInput in;
    in.Options = Options(S::Equal, true, false, false);
    in.Options.SubDirs = true;
    in.Active = f.Records(L"A", kA);
    in.CompareList = f.Records(L"B", kB);
    in.CompareWindowShown = true;
    const TDirCompareResult r = RunDirCompare(in, f.Host());
    EXPECT_EQ(r.ActiveItems, (std::vector<size_t>{0, 1, 2, 3, 5}));
    EXPECT_EQ(r.CompareItems, (std::vector<size_t>{1, 2, 3, 4, 5}));
}

TEST(DirCompare, ParentEntryNeverTakesPart)
{
    Fixture f;
    TDirCompareInput in;
    in.Options = Options(S::Missing, true, false, false);
    in.Options.SubDirs = true;
    in.Active = f.Records(L"A", {{L"..", 0, 0, "", true}, {L"x", 1, 1}});
    in.Active[0].IsParentDir = true;
    in.CompareList = f.Records(L"B", {{L"x", 1, 1}});
    EXPECT_TRUE(RunDirCompare(in, f.Host()).ActiveItems.empty());
}

TEST(DirCompare, WithoutCompareWindowOnlyTheActiveListIsSelectedAndTheFolderIsRead)
{
    Fixture f;
    TDirCompareInput in;
    in.Options = Options(S::Different, true, true, false);
    in.Active = f.Records(L"A", kA);
    in.CompareDir = L"B";
    std::wstring listed;
    TDirCompareHost host = f.Host();
    host.ListFolder = [&](const std::wstring& dir) {
        listed = dir;
        return f.Records(L"B", kB);
    };
    const TDirCompareResult r = RunDirCompare(in, host);
    EXPECT_EQ(listed, L"B");
    EXPECT_EQ(r.ActiveItems, (std::vector<size_t>{2}));
    EXPECT_TRUE(r.CompareItems.empty());
}

TEST(DirCompare, DuplicatesOfAFolderAgainstItselfSkipEachFileItself)
{
    Fixture f;
    // one and three are equal; two has their size but another content.
    const std::vector<FileSpec> files = {
        {L"one", 4, 1, "abcd"}, {L"two", 4, 2, "abce"}, {L"three", 4, 3, "abcd"}, {L"four", 9, 4, "x"}};
    TDirCompareInput in;
    in.Options = Options(S::Equal, false, true, true, true);
    in.Active = f.Records(L"A", files);
    in.CompareList = f.Records(L"A", files);
    in.CompareWindowShown = false;
    const TDirCompareResult r = RunDirCompare(in, f.Host());
    EXPECT_EQ(r.ActiveItems, (std::vector<size_t>{0, 2}));
    // The lonely size is never read.
    EXPECT_EQ(f.ContentCalls, 6);
}

TEST(DirCompare, EscInAContentComparisonEndsTheWalkWithNothing)
{
    Fixture f;
    f.Compare = [](const std::wstring&, const std::wstring&) { return uint8_t{crAborted}; };
    TDirCompareInput in;
    in.Options = Options(S::Equal, true, true, true);
    in.Active = f.Records(L"A", kA);
    in.CompareList = f.Records(L"B", kB);
    const TDirCompareResult r = RunDirCompare(in, f.Host());
    EXPECT_EQ(r.Status, TDirCompareStatus::Aborted);
    EXPECT_TRUE(r.ActiveItems.empty());
    EXPECT_EQ(f.ContentCalls, 1);
}

TEST(DirCompare, AbortBetweenStepsStops)
{
    Fixture f;
    int polls = 0;
    f.Abort = [&] { return ++polls >= 2; };
    TDirCompareInput in;
    in.Options = Options(S::Equal, true, false, false);
    in.Active = f.Records(L"A", kA);
    in.CompareList = f.Records(L"B", kB);
    const TDirCompareResult r = RunDirCompare(in, f.Host());
    EXPECT_EQ(r.Status, TDirCompareStatus::Aborted);
    EXPECT_EQ(polls, 2);
}

TEST(DirCompare, UnreadablePairsAreNeitherEqualNorDifferentButCounted)
{
    Fixture f;
    f.Unreadable = {L"A\\a.txt", L"B\\b.txt"};
    for (S select : {S::Equal, S::Different}) {
        TDirCompareInput in;
        in.Options = Options(select, true, true, true);
        in.Active = f.Records(L"A", {{L"a.txt", 1, 1, "q"}, {L"b.txt", 1, 1, "q"}, {L"c.txt", 1, 1, "q"}});
        in.CompareList = f.Records(L"B", {{L"a.txt", 1, 1, "r"}, {L"b.txt", 1, 1, "r"}, {L"c.txt", 1, 1, "q"}});
        in.CompareWindowShown = true;
        const TDirCompareResult r = RunDirCompare(in, f.Host());
        EXPECT_EQ(r.Unreadable, 2u);
        if (select == S::Equal)
            EXPECT_EQ(r.ActiveItems, (std::vector<size_t>{2}));
        else
            EXPECT_TRUE(r.ActiveItems.empty());
    }
}

TEST(DirCompare, EmptyListsFinishWithoutProgressOrDivision)
{
    Fixture f;
    f.ClockStep = 500;
    TDirCompareInput in;
    in.CompareList = std::vector<TCompareRecord>{};
    const TDirCompareResult r = RunDirCompare(in, f.Host());
    EXPECT_EQ(r.Status, TDirCompareStatus::Done);
    EXPECT_TRUE(f.Progress.empty());
}

TEST(DirCompare, ProgressAtMostEvery200MsAndLabelsByTimeOrSize)
{
    std::vector<FileSpec> a, b;
    for (int i = 0; i < 20; ++i) {
        const std::wstring name = L"f" + std::to_wstring(10 + i);
        a.push_back({name, static_cast<uint64_t>(i == 7 ? 600000 : 10), 1, "z"});
        b.push_back({name, static_cast<uint64_t>(i == 7 ? 600000 : 10), 1, "z"});
    }
    for (uint64_t step : {uint64_t{0}, uint64_t{30}, uint64_t{250}}) {
        Fixture f;
        f.ClockStep = step;
        TDirCompareInput in;
        in.Options = Options(S::Equal, true, true, true);
        in.Active = f.Records(L"A", a);
        in.CompareList = f.Records(L"B", b);
        RunDirCompare(in, f.Host());
        // Each reading of the clock moves it on by step.
        if (step == 0) {
            EXPECT_TRUE(f.Progress.empty());
            // Only the pair of 1.2 MB together gets its label at once.
            ASSERT_EQ(f.Labels.size(), 1u);
            EXPECT_EQ(f.Labels[0], L"Vergleiche \"f17\" mit \"f17\"");
        } else if (step == 30) {
            EXPECT_FALSE(f.Progress.empty());
            EXPECT_LT(f.Progress.size(), 20u);
            EXPECT_LT(f.Labels.size(), 20u);
            EXPECT_GT(f.Labels.size(), 1u);
        } else {
            EXPECT_EQ(f.Labels.size(), 20u);
            ASSERT_FALSE(f.Progress.empty());
            EXPECT_EQ(f.Progress.front(), 0);
            for (size_t i = 1; i < f.Progress.size(); ++i)
                EXPECT_GE(f.Progress[i], f.Progress[i - 1]);
            EXPECT_LE(f.Progress.back(), 100);
        }
    }
}

TEST(DirCompare, PaneWords)
{
    EXPECT_EQ(PaneWordFor(false, false, true), L"Angezeigte");
    EXPECT_EQ(PaneWordFor(true, false, true), L"Linke");
    EXPECT_EQ(PaneWordFor(true, false, false), L"Rechte");
    EXPECT_EQ(PaneWordFor(true, true, true), L"Obere");
    EXPECT_EQ(PaneWordFor(true, true, false), L"Untere");
}

TEST(DirCompare, Summaries)
{
    struct Case {
        TDirCompareOptions Options;
        unsigned Active, Compare;
        bool Shown;
        unsigned Unreadable;
        std::wstring Text;
    };
    const Case cases[] = {
        {Options(S::Equal, true, true, false), 3, 3, true, 0, L"3 Dateien sind in beiden Dateifenstern identisch."},
        {Options(S::Equal, false, true, true, true), 2, 0, false, 0, L"2 doppelte Dateien gefunden."},
        {Options(S::Different, true, true, false), 1, 0, false, 0,
         L"1 Dateien sind im Angezeigten Dateifenster unterschiedlich."},
        {Options(S::Different, true, true, false), 1, 2, true, 0,
         L"1 Dateien sind im Linken Dateifenster unterschiedlich.\n\n2 Dateien sind im Rechten Dateifenster "
         L"unterschiedlich."},
        {Options(S::Newer, true, false, false), 4, 5, true, 0,
         L"4 Dateien sind im Linken Dateifenster jünger.\n\n5 Dateien sind im Rechten Dateifenster jünger."},
        {Options(S::Older, true, false, false), 0, 0, false, 0, L"0 Dateien sind im Angezeigten Dateifenster älter."},
        {Options(S::Missing, true, false, false), 1, 2, true, 0,
         L"1 Dateien des Linken Dateifenster sind im Vergleichsverzeichnis nicht vorhanden.\n\n2 Dateien des "
         L"Vergleichsverzeichnis sind im Linken Dateifenster nicht vorhanden."},
        {Options(S::Equal, true, true, true), 1, 1, false, 2,
         L"1 Dateien sind in beiden Dateifenstern identisch.\n\n2 Dateien konnten nicht verglichen werden."},
    };
    for (const Case& c : cases) {
        const std::wstring activeWord = c.Shown ? L"Linke" : L"Angezeigte";
        EXPECT_EQ(DirCompareSummary(c.Options, c.Active, c.Compare, c.Shown, activeWord, L"Rechte", c.Unreadable),
                  c.Text);
    }
}

// Two folders of 100 files whose names, sizes, times and contents meet in
// every way: pairs by name, by size alone, duplicates, folders, files on one
// side only and a few that cannot be read.
struct MixedFolders {
    std::vector<FileSpec> A, B;
    std::vector<std::wstring> Unreadable;
    MixedFolders()
    {
        std::mt19937 random(11);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const std::string contents[] = {"alpha", "beta", "gamma"};
        for (int i = 0; i < 100; ++i) {
            const std::wstring name = L"f" + std::to_wstring(pick(130)) + (pick(2) ? L".txt" : L".TXT");
            const bool dir = pick(20) == 0;
            A.push_back({name, static_cast<uint64_t>(dir ? 0 : pick(5)), static_cast<uint64_t>(pick(3)),
                         contents[pick(3)], dir});
            const std::wstring other = L"f" + std::to_wstring(pick(130)) + L".txt";
            B.push_back({other, static_cast<uint64_t>(pick(5)), static_cast<uint64_t>(pick(3)), contents[pick(3)]});
            if (pick(10) == 0)
                Unreadable.push_back((pick(2) ? L"A\\" : L"B\\") + other);
        }
    }
};

struct WalkOutcome {
    TDirCompareResult Result;
    std::wstring Summary;
};

WalkOutcome Walk(const MixedFolders& folders, const TDirCompareOptions& options, bool shown, unsigned workers)
{
    Fixture f;
    f.Unreadable = folders.Unreadable;
    TDirCompareInput in;
    in.Options = options;
    in.Active = f.Records(L"A", folders.A);
    in.CompareList = f.Records(L"B", folders.B);
    in.CompareWindowShown = shown;
    WalkOutcome out;
    out.Result = RunDirCompare(in, f.Host(workers));
    out.Summary = DirCompareSummary(options, static_cast<unsigned>(out.Result.ActiveItems.size()),
                                    static_cast<unsigned>(out.Result.CompareItems.size()), shown, L"Linke", L"Rechte",
                                    out.Result.Unreadable);
    return out;
}

TEST(DirCompareWorkers, SelectAndSummariseExactlyAsTheWalkOnOneThread)
{
    const MixedFolders folders;
    bool someSelected = false;
    bool someUnreadable = false;
    for (S select : {S::Equal, S::Different, S::Newer, S::Older, S::Missing})
        for (int criteria = 0; criteria < 16; ++criteria) {
            TDirCompareOptions o = Options(select, criteria & 1, criteria & 2, criteria & 4, criteria & 8);
            o.SubDirs = true;
            for (bool shown : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << static_cast<int>(select) << " criteria " << criteria << " shown " << shown);
                const WalkOutcome serial = Walk(folders, o, shown, 0);
                for (unsigned workers : {1u, 4u}) {
                    const WalkOutcome parallel = Walk(folders, o, shown, workers);
                    EXPECT_EQ(parallel.Result.Status, TDirCompareStatus::Done);
                    EXPECT_EQ(parallel.Result.ActiveItems, serial.Result.ActiveItems);
                    EXPECT_EQ(parallel.Result.CompareItems, serial.Result.CompareItems);
                    EXPECT_EQ(parallel.Result.Unreadable, serial.Result.Unreadable);
                    EXPECT_EQ(parallel.Summary, serial.Summary);
                }
                someSelected |= !serial.Result.ActiveItems.empty() && !serial.Result.CompareItems.empty();
                someUnreadable |= serial.Result.Unreadable > 0;
            }
        }
    // The fixture reaches the cases worth comparing.
    EXPECT_TRUE(someSelected);
    EXPECT_TRUE(someUnreadable);
}

// Counts the threads that ran a comparison and have not ended yet: a
// thread's own object goes when the thread ends.
std::atomic<int> liveWorkers = 0;
struct WorkerLife {
    WorkerLife() { ++liveWorkers; }
    ~WorkerLife() { --liveWorkers; }
};

std::vector<FileSpec> SameFiles(int count)
{
    std::vector<FileSpec> files;
    for (int i = 0; i < count; ++i)
        files.push_back({L"f" + std::to_wstring(i), 10, 1, "same"});
    return files;
}

TEST(DirCompareWorkers, AnAbortStopsTheRunningComparisonsAndEndsEveryWorker)
{
    Fixture f;
    std::atomic<int> running = 0;
    std::atomic<int> stoppedByFlag = 0;
    TDirCompareHost host = f.Host(3);
    // Each comparison reads "blocks" until it is told to stop.
    host.CompareOnWorker = [&](const std::wstring&, const std::wstring&, const std::atomic<bool>& stop) -> uint8_t {
        thread_local WorkerLife life;
        ++running;
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!stop && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        --running;
        if (!stop)
            return crEqual;
        ++stoppedByFlag;
        return crAborted;
    };
    int messageRounds = 0;
    host.ProcessMessages = [&] { ++messageRounds; };
    std::chrono::steady_clock::time_point pressed{};
    // Esc once all three workers are inside a comparison.
    host.Aborted = [&] {
        if (running == 3 && pressed == std::chrono::steady_clock::time_point{})
            pressed = std::chrono::steady_clock::now();
        return running == 3 || pressed != std::chrono::steady_clock::time_point{};
    };
    TDirCompareInput in;
    in.Options = Options(S::Equal, true, true, true);
    in.Active = f.Records(L"A", SameFiles(50));
    in.CompareList = f.Records(L"B", SameFiles(50));
    const TDirCompareResult r = RunDirCompare(in, host);
    const auto took = std::chrono::steady_clock::now() - pressed;
    EXPECT_EQ(r.Status, TDirCompareStatus::Aborted);
    EXPECT_TRUE(r.ActiveItems.empty());
    EXPECT_EQ(stoppedByFlag, 3);
    EXPECT_EQ(running, 0);
    EXPECT_EQ(liveWorkers, 0);
    EXPECT_GT(messageRounds, 0);
    // Far below the 20 s a comparison would wait without the flag.
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST(DirCompareWorkers, AFailingComparisonIsRaisedOnceEveryWorkerEnded)
{
    Fixture f;
    TDirCompareHost host = f.Host(4);
    host.CompareOnWorker = [](const std::wstring& a, const std::wstring&, const std::atomic<bool>&) -> uint8_t {
        thread_local WorkerLife life;
        if (a == L"A\\f7")
            throw std::runtime_error("no memory");
        return crEqual;
    };
    TDirCompareInput in;
    in.Options = Options(S::Equal, true, true, true);
    in.Active = f.Records(L"A", SameFiles(40));
    in.CompareList = f.Records(L"B", SameFiles(40));
    EXPECT_THROW(RunDirCompare(in, host), std::runtime_error);
    EXPECT_EQ(liveWorkers, 0);
}

TEST(DirCompareWorkers, ACallerFailureStopsAndEndsTheWorkersToo)
{
    Fixture f;
    TDirCompareHost host = f.Host(2);
    host.CompareOnWorker = [](const std::wstring&, const std::wstring&, const std::atomic<bool>& stop) -> uint8_t {
        thread_local WorkerLife life;
        while (!stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return crAborted;
    };
    host.ProcessMessages = [] { throw std::runtime_error("window gone"); };
    TDirCompareInput in;
    in.Options = Options(S::Different, true, true, true);
    in.Active = f.Records(L"A", SameFiles(10));
    in.CompareList = f.Records(L"B", SameFiles(10));
    EXPECT_THROW(RunDirCompare(in, host), std::runtime_error);
    EXPECT_EQ(liveWorkers, 0);
}

TEST(DirCompareWorkers, AWorkersAbortEndsTheWalkWithNothing)
{
    Fixture f;
    f.Compare = [](const std::wstring& a, const std::wstring&) { return uint8_t{a == L"A\\f3" ? crAborted : crEqual}; };
    TDirCompareInput in;
    in.Options = Options(S::Equal, true, true, true);
    in.Active = f.Records(L"A", SameFiles(20));
    in.CompareList = f.Records(L"B", SameFiles(20));
    const TDirCompareResult r = RunDirCompare(in, f.Host(2));
    EXPECT_EQ(r.Status, TDirCompareStatus::Aborted);
    EXPECT_TRUE(r.ActiveItems.empty());
}

TEST(DirCompareWorkers, TheCallerShowsLabelsAndProgressWhileTheyCompare)
{
    Fixture f;
    f.ClockStep = 250;
    f.Compare = [](const std::wstring&, const std::wstring&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return uint8_t{crEqual};
    };
    TDirCompareInput in;
    in.Options = Options(S::Equal, true, true, true);
    in.Active = f.Records(L"A", SameFiles(40));
    in.CompareList = f.Records(L"B", SameFiles(40));
    const TDirCompareResult r = RunDirCompare(in, f.Host(2));
    EXPECT_EQ(r.ActiveItems.size(), 40u);
    ASSERT_FALSE(f.Labels.empty());
    EXPECT_EQ(f.Labels[0].rfind(L"Vergleiche \"f", 0), 0u);
    ASSERT_FALSE(f.Progress.empty());
    for (size_t i = 1; i < f.Progress.size(); ++i)
        EXPECT_GE(f.Progress[i], f.Progress[i - 1]);
    EXPECT_LE(f.Progress.back(), 100);
}

}  // namespace
