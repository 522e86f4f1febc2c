// The verification over an in-memory file system: the step counts, the
// reader's outcomes with the user's answers, the run's counting (a folder
// link back up counted and read once) and the summaries.

#include "mainwindow/FileVerify.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace qrv;

namespace {

struct MemoryFile {
    int64_t size = 0;
    int64_t readable = -1;  // bytes that can be read before an error; -1 all
    int openFailures = 0;   // opens that fail before one works; -1 never works
    uint32_t error = 32;    // ERROR_SHARING_VIOLATION
};

class MemoryReader : public TCompareFile {
public:
    MemoryReader(const MemoryFile& file, int& reads) : file_(file), reads_(reads) {}
    int64_t Size() override { return file_.size; }
    int64_t Read(uint8_t* buffer, int64_t count) override
    {
        ++reads_;
        const int64_t limit = file_.readable < 0 ? file_.size : file_.readable;
        if (offset_ >= limit)
            return offset_ < file_.size ? -1 : 0;
        const int64_t n = std::min(count, limit - offset_);
        std::memset(buffer, 0x5A, static_cast<size_t>(n));
        offset_ += n;
        return n;
    }

private:
    MemoryFile file_;
    int& reads_;
    int64_t offset_ = 0;
};

class MemoryFiles : public TVerifyFiles {
public:
    std::map<std::wstring, std::vector<TVerifyEntry>> folders;
    std::map<std::wstring, MemoryFile> files;
    std::vector<std::wstring> opened;
    int reads = 0;

    std::vector<TVerifyEntry> List(const std::wstring& folder) override
    {
        const auto found = folders.find(folder);
        return found == folders.end() ? std::vector<TVerifyEntry>{} : found->second;
    }
    std::unique_ptr<TCompareFile> Open(const std::wstring& name, uint32_t& error) override
    {
        opened.push_back(name);
        MemoryFile& file = files.at(name);
        if (file.openFailures != 0) {
            if (file.openFailures > 0)
                --file.openFailures;
            error = file.error;
            return nullptr;
        }
        return std::make_unique<MemoryReader>(file, reads);
    }

    void AddFile(const std::wstring& folder, const std::wstring& name, MemoryFile file)
    {
        folders[folder].push_back({name, false, false, file.size});
        files[folder + L"\\" + name] = file;
    }
    void AddFolder(const std::wstring& folder, const std::wstring& name, bool reparse = false)
    {
        folders[folder].push_back({name, true, reparse, 0});
    }
};

// The user's side, recorded.
struct Answers {
    std::vector<TOpenFailedAnswer> open;  // taken in turn, Ignore when used up
    bool readOk = true;
    int cancelAfterSteps = -1;
    int steps = 0;
    std::vector<std::wstring> labels, openBoxes, readBoxes;

    TVerifyUi Ui()
    {
        TVerifyUi ui;
        ui.SetLabel = [this](const std::wstring& text) { labels.push_back(text); };
        ui.Step = [this] { ++steps; };
        ui.Cancelled = [this] { return cancelAfterSteps >= 0 && steps >= cancelAfterSteps; };
        ui.Terminating = [] { return false; };
        ui.OpenFailed = [this](const std::wstring& name, uint32_t) {
            openBoxes.push_back(name);
            if (open.empty())
                return TOpenFailedAnswer::Ignore;
            const TOpenFailedAnswer answer = open.front();
            open.erase(open.begin());
            return answer;
        };
        ui.ReadFailed = [this](const std::wstring& name) {
            readBoxes.push_back(name);
            return readOk;
        };
        return ui;
    }
};

constexpr int64_t kBlock = 1000;

TEST(VerifyStepsTest, BlocksPlusOnePerFile)
{
    struct Case {
        int64_t size, block, steps;
    } cases[] = {
        {0, kBlock, 1},
        {kBlock - 1, kBlock, 2},
        {kBlock, kBlock, 2},
        {kBlock + 1, kBlock, 3},
        {kVerifyBlockRemovable * 3, kVerifyBlockRemovable, 4},
        // Sizes beyond 32 bits count in 64 bits.
        {int64_t{5} << 32, kVerifyBlock, (int64_t{5} << 32) / kVerifyBlock + 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VerifyFileSteps(c.size, c.block), c.steps) << c.size << " / " << c.block;
    EXPECT_EQ(VerifyBlockSize(2), kVerifyBlockRemovable);
    for (int type : {0, 3, 4, 5, 6})
        EXPECT_EQ(VerifyBlockSize(type), kVerifyBlock);
}

TEST(VerifyStepsTest, TotalIsReducedByOneAboveOne)
{
    MemoryFiles fs;
    fs.AddFile(L"T:\\d", L"a", {0});
    fs.AddFile(L"T:\\d", L"b", {kBlock + 1});
    fs.AddFolder(L"T:\\d", L"sub");
    fs.AddFile(L"T:\\d\\sub", L"c", {kBlock});
    // 1 + 3 + 2 = 6, less one.
    EXPECT_EQ(CountVerifySteps(fs, {{L"T:\\d", true, false, 0}}, kBlock), 5);
    // One empty file: one step, not reduced.
    EXPECT_EQ(CountVerifySteps(fs, {{L"T:\\d\\a", false, false, 0}}, kBlock), 1);
    EXPECT_EQ(CountVerifySteps(fs, {}, kBlock), 0);
}

TEST(VerifyStepsTest, FolderLinksAreNotCountedOrRead)
{
    MemoryFiles fs;
    fs.AddFile(L"T:\\top", L"x", {10});
    fs.AddFolder(L"T:\\top", L"sub");
    fs.AddFile(L"T:\\top\\sub", L"y", {10});
    // sub\loop leads back to top: were it followed, top's files would come again.
    fs.AddFolder(L"T:\\top\\sub", L"loop", true);
    fs.folders[L"T:\\top\\sub\\loop"] = fs.folders[L"T:\\top"];
    fs.files[L"T:\\top\\sub\\loop\\x"] = fs.files[L"T:\\top\\x"];
    const std::vector<TVerifyEntry> items = {{L"T:\\top", true, false, 0}};
    EXPECT_EQ(CountVerifySteps(fs, items, kBlock), 3);
    Answers answers;
    const TVerifyCounts counts = RunVerification(fs, items, kBlock, answers.Ui());
    EXPECT_EQ(counts.Readable, 2u);
    EXPECT_EQ(fs.opened, (std::vector<std::wstring>{L"T:\\top\\x", L"T:\\top\\sub\\y"}));
    // A selected link is skipped as well.
    fs.opened.clear();
    EXPECT_EQ(RunVerification(fs, {{L"T:\\top\\sub\\loop", true, true, 0}}, kBlock, answers.Ui()).Readable, 0u);
    EXPECT_TRUE(fs.opened.empty());
}

struct ReaderCase {
    const char* what;
    MemoryFile file;
    std::vector<TOpenFailedAnswer> answers;
    int cancelAfterSteps;
    TVerifyOutcome outcome;
    size_t openBoxes;
};

class VerifyReaderTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(VerifyReaderTest, Outcome)
{
    const ReaderCase& c = GetParam();
    MemoryFiles fs;
    fs.AddFile(L"T:", L"f", c.file);
    Answers answers;
    answers.open = c.answers;
    answers.cancelAfterSteps = c.cancelAfterSteps;
    std::vector<uint8_t> buffer;
    EXPECT_EQ(VerifyFile(fs, L"T:\\f", c.file.size, kBlock, answers.Ui(), buffer), c.outcome) << c.what;
    EXPECT_EQ(answers.openBoxes.size(), c.openBoxes) << c.what;
}

using A = TOpenFailedAnswer;
using O = TVerifyOutcome;
INSTANTIATE_TEST_SUITE_P(
    Cases, VerifyReaderTest,
    ::testing::Values(ReaderCase{"read whole", {2500}, {}, -1, O::Read, 0},
                      ReaderCase{"empty", {0}, {}, -1, O::Read, 0},
                      ReaderCase{"abort", {10, -1, -1}, {A::Abort}, -1, O::Aborted, 1},
                      ReaderCase{"retry then works", {10, -1, 2}, {A::Retry, A::Retry}, -1, O::Read, 2},
                      ReaderCase{"retry then ignore", {10, -1, -1}, {A::Retry, A::Ignore}, -1, O::NotOpened, 2},
                      ReaderCase{"ignore", {10, -1, -1}, {A::Ignore}, -1, O::NotOpened, 1},
                      ReaderCase{"short read", {2500, 1200}, {}, -1, O::ShortRead, 0},
                      ReaderCase{"cancelled after the first block", {2500}, {}, 1, O::Aborted, 0}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(VerifyReaderTest, ReadsInBlocksWithAStepEach)
{
    MemoryFiles fs;
    fs.AddFile(L"T:", L"f", {2500});
    Answers answers;
    std::vector<uint8_t> buffer;
    ASSERT_EQ(VerifyFile(fs, L"T:\\f", 2500, kBlock, answers.Ui(), buffer), O::Read);
    EXPECT_EQ(fs.reads, 3);
    EXPECT_EQ(answers.steps, 3);
}

TEST(VerifyRunTest, CountsFilesInOrderAndAsksOnShortReads)
{
    for (bool readOk : {true, false}) {
        MemoryFiles fs;
        fs.AddFolder(L"T:\\d", L"sub");  // listed first, walked after the files
        fs.AddFile(L"T:\\d", L"bad", {2500, 100});
        fs.AddFile(L"T:\\d", L"good", {10});
        fs.AddFile(L"T:\\d\\sub", L"deep", {10});
        Answers answers;
        answers.readOk = readOk;
        const TVerifyCounts counts = RunVerification(fs, {{L"T:\\d", true, false, 0}}, kBlock, answers.Ui());
        EXPECT_EQ(answers.readBoxes, std::vector<std::wstring>{L"T:\\d\\bad"});
        EXPECT_EQ(counts.Faulty, 1u);
        EXPECT_EQ(counts.Stopped, !readOk);
        // OK goes on with the others; Cancel stops at once.
        EXPECT_EQ(counts.Readable, readOk ? 2u : 0u);
        EXPECT_EQ(answers.labels.front(), L"Prüfe \"bad\"");
        if (readOk)
            EXPECT_EQ(answers.labels.back(), L"Prüfe \"deep\"");
    }
}

TEST(VerifyRunTest, AbortStopsAndKeepsTheCounts)
{
    MemoryFiles fs;
    fs.AddFile(L"T:", L"a", {10});
    fs.AddFile(L"T:", L"held", {10, -1, -1});
    fs.AddFile(L"T:", L"c", {10});
    Answers answers;
    answers.open = {A::Abort};
    const TVerifyCounts counts = RunVerification(
        fs, {{L"T:\\a", false, false, 10}, {L"T:\\held", false, false, 10}, {L"T:\\c", false, false, 10}}, kBlock,
        answers.Ui());
    EXPECT_TRUE(counts.Stopped);
    EXPECT_EQ(counts.Readable, 1u);
    EXPECT_EQ(counts.Faulty, 0u);
    EXPECT_EQ(fs.opened.back(), L"T:\\held");
}

TEST(VerifySummaryTest, Texts)
{
    struct Case {
        unsigned readable, faulty;
        bool show, faultyBox;
        const wchar_t* text;
    } cases[] = {
        {0, 0, true, false, L"0 Dateien fehlerfrei lesbar."},
        {1, 0, true, false, L"1 Datei fehlerfrei lesbar."},
        {3, 0, true, false, L"3 Dateien fehlerfrei lesbar."},
        // One unreadable file alone: its own box was enough.
        {0, 1, false, true, L"1 Datei fehlerhaft."},
        {0, 2, true, true, L"2 Dateien fehlerhaft."},
        {3, 1, true, true, L"3 Dateien fehlerfrei lesbar.\n1 Datei fehlerhaft."},
    };
    for (const Case& c : cases) {
        const TVerifySummary summary = VerifySummary({c.readable, c.faulty, false});
        EXPECT_EQ(summary.Show, c.show) << c.readable << "/" << c.faulty;
        EXPECT_EQ(summary.Faulty, c.faultyBox);
        EXPECT_EQ(summary.Text, c.text);
    }
}

}  // namespace
