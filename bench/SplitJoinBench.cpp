// Splitting a file of 1 GiB into parts of 100 MB beside split(1) cutting the
// same data per part, and joining the parts again beside cat(1), on tmpfs
// when it has room, warm. Ours and the reference alternate in five rounds;
// each reports its best round. Every result is checked with cmp before it is
// timed.

#include "framework/Encoding.h"
#include "mainwindow/SplitJoin.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace qrv;
namespace fs = std::filesystem;

namespace {

constexpr uint64_t kOriginalSize = uint64_t{1} << 30;
constexpr uint64_t kPartSize = 104'857'600;
constexpr int kRounds = 5;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

class TPosixFile : public TSplitFile {
public:
    explicit TPosixFile(int Fd) : fd_(Fd) {}
    ~TPosixFile() override { close(fd_); }
    int64_t Read(uint8_t* Buffer, uint32_t Count) override
    {
        uint32_t done = 0;
        while (done < Count) {
            const ssize_t n = read(fd_, Buffer + done, Count - done);
            if (n < 0)
                return -1;
            if (n == 0)
                break;
            done += static_cast<uint32_t>(n);
        }
        return done;
    }
    int64_t WriteAt(uint64_t Offset, const uint8_t* Buffer, uint32_t Count) override
    {
        uint32_t done = 0;
        while (done < Count) {
            const ssize_t n = pwrite(fd_, Buffer + done, Count - done, static_cast<off_t>(Offset + done));
            if (n <= 0)
                break;
            done += static_cast<uint32_t>(n);
        }
        return done;
    }
    bool SetEnd(uint64_t Size) override { return ftruncate(fd_, static_cast<off_t>(Size)) == 0; }
    // In the kernel, as cat copies; a failure takes the way through the
    // buffer, which tells a read error from a write error.
    TSplitCopy CopyTo(TSplitFile& Target, uint64_t Offset, uint32_t Count, std::span<uint8_t> Buffer) override
    {
        auto* target = dynamic_cast<TPosixFile*>(&Target);
        loff_t at = static_cast<loff_t>(Offset);
        uint32_t done = 0;
        while (target && done < Count) {
            const ssize_t n = copy_file_range(fd_, nullptr, target->fd_, &at, Count - done, 0);
            if (n <= 0)
                break;
            done += static_cast<uint32_t>(n);
        }
        if (done == Count)
            return {done, done};
        TSplitCopy rest = TSplitFile::CopyTo(Target, Offset + done, Count - done, Buffer);
        if (rest.Read < 0)
            return rest;
        return {done + rest.Read, done + rest.Written};
    }

private:
    int fd_;
};

class TPosixSplitFiles : public TSplitFileSystem {
public:
    std::unique_ptr<TSplitFile> OpenRead(const std::wstring& Path) override
    {
        const int fd = open(Narrow(Path).c_str(), O_RDONLY);
        return fd < 0 ? nullptr : std::make_unique<TPosixFile>(fd);
    }
    std::unique_ptr<TSplitFile> OpenWrite(const std::wstring& Path, bool Fresh, bool& Created) override
    {
        Created = access(Narrow(Path).c_str(), F_OK) != 0;
        const int fd = open(Narrow(Path).c_str(), O_WRONLY | O_CREAT | (Fresh ? O_TRUNC : 0), 0644);
        return fd < 0 ? nullptr : std::make_unique<TPosixFile>(fd);
    }
    std::optional<TSplitFileInfo> Info(const std::wstring& Path) override
    {
        struct stat st {};
        if (stat(Narrow(Path).c_str(), &st) != 0)
            return std::nullopt;
        return TSplitFileInfo{static_cast<uint64_t>(st.st_size), 0, 0, S_ISDIR(st.st_mode) ? kSplitDirectory : 0x20u};
    }
    // The times and attributes of a Windows file have no place here.
    bool SetTimes(const std::wstring&, uint64_t, uint64_t) override { return true; }
    bool SetAttributes(const std::wstring&, uint32_t) override { return true; }
    bool Delete(const std::wstring& Path) override { return unlink(Narrow(Path).c_str()) == 0; }
    std::optional<uint64_t> FreeSpace(const std::wstring&) override { return std::nullopt; }
    TSplitDriveKind DriveKind(const std::wstring&) override { return TSplitDriveKind::Other; }
    std::wstring LastErrorText() override { return L"error"; }
    void AnnounceCreated(const std::wstring&) override {}
};

int Shell(const std::string& command)
{
    return std::system(command.c_str());
}

double SecondsOf(auto&& Step)
{
    const auto start = std::chrono::steady_clock::now();
    Step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Ours first in even rounds, the reference first in odd ones: the one
// after pays for the other's pages still being written.
void InTurn(int Round, auto&& Ours, auto&& Theirs)
{
    if (Round % 2) {
        Theirs();
        Ours();
    } else {
        Ours();
        Theirs();
    }
}

// The best round of each of the four, measured once for all of them.
struct TSplitJoinRounds {
    double Split = 1e30, SplitRef = 1e30, Join = 1e30, JoinRef = 1e30;
    std::string Error;

    TSplitJoinRounds()
    {
        struct statvfs shm {};
        const bool tmpfs = statvfs("/dev/shm", &shm) == 0 && uint64_t(shm.f_bavail) * shm.f_frsize > 5 * kOriginalSize;
        const fs::path root = (tmpfs ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                              ("qrv-split-bench-" + std::to_string(getpid()));
        const fs::path original = root / "original.bin", ours = root / "ours", theirs = root / "theirs",
                       joinedDir = root / "joined";
        fs::create_directories(ours);
        fs::create_directories(joinedDir);
        fs::create_directories(theirs);
        {
            std::mt19937_64 random(7);
            std::ofstream out(original, std::ios::binary);
            std::vector<uint64_t> block(1 << 17);
            for (uint64_t written = 0; written < kOriginalSize; written += block.size() * 8) {
                for (uint64_t& v : block)
                    v = random();
                out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size() * 8));
            }
        }
        TPosixSplitFiles files;
        TSplitJoinUi ui;
        ui.Ask = [this](const std::wstring& text, TSplitBoxKind, uint8_t) {
            Error = Narrow(text);
            return sbCancel;
        };
        ui.Label = [](const std::wstring&) {};
        ui.Step = [] {};
        ui.Stopped = [] { return false; };
        TSplitJoin engine(files, ui, TEncoding::Windows1252());
        const std::string dataPerPart = std::to_string(SplitDataSize(kPartSize));
        const auto clear = [](const fs::path& dir) {
            for (const auto& entry : fs::directory_iterator(dir))
                fs::remove(entry.path());
        };
        Shell("cat " + original.string() + " > /dev/null");  // warm
        for (int round = 0; round < kRounds && Error.empty(); ++round) {
            clear(ours);
            clear(theirs);
            const auto oursSplit = [&] {
                Split = std::min(
                    Split, SecondsOf([&] {
                        if (!engine.SplitFileParts(Wide(original.string()), kPartSize, Wide(ours.string()) + L"/"))
                            Error = "split failed";
                    }));
            };
            const auto theirSplit = [&] {
                SplitRef = std::min(SplitRef, SecondsOf([&] {
                                        Shell("split -b " + dataPerPart + " " + original.string() + " " +
                                              (theirs / "x").string());
                                    }));
            };
            InTurn(round, oursSplit, theirSplit);
            if (round == 0) {
                // Each part's data is split's piece of the same number.
                int piece = 0;
                for (char b = 'a'; b <= 'z' && Error.empty(); ++b) {
                    const fs::path ref = theirs / (std::string("xa") + b);
                    if (!fs::exists(ref))
                        break;
                    ++piece;
                    const std::wstring part = SplitPartName(Wide((ours / "original.bin").string()), piece);
                    if (Shell("cmp -s -i 324:0 '" + Narrow(part) + "' " + ref.string()) != 0)
                        Error = "a part differs from split's piece";
                }
                if (piece != 11)
                    Error = "the number of parts differs";
            }
            const fs::path joined = joinedDir / "original.bin", catted = root / "catted.bin";
            fs::remove(joined);
            fs::remove(catted);
            TSplitJoin::TJoinPlan plan;
            const auto oursJoin = [&] {
                Join = std::min(Join, SecondsOf([&] {
                                    plan = engine.PlanJoin({SplitPartName(Wide((ours / "original.bin").string()), 1)},
                                                           Wide(ours.string()) + L"/");
                                    if (!engine.RunJoin(plan, Wide(joinedDir.string()) + L"/"))
                                        Error = "join failed";
                                }));
            };
            const auto theirJoin = [&] {
                JoinRef =
                    std::min(JoinRef, SecondsOf([&] { Shell("cat " + theirs.string() + "/x* > " + catted.string()); }));
            };
            InTurn(round, oursJoin, theirJoin);
            if (round == 0 &&
                (plan.Work.size() != 11 || Shell("cmp -s " + original.string() + " " + joined.string()) != 0 ||
                 Shell("cmp -s " + original.string() + " " + catted.string()) != 0))
                Error = "a joined file differs from the original";
        }
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

TSplitJoinRounds& Rounds()
{
    static TSplitJoinRounds rounds;
    return rounds;
}

void Report(benchmark::State& state, double TSplitJoinRounds::*Best)
{
    const TSplitJoinRounds& rounds = Rounds();
    if (!rounds.Error.empty())
        return state.SkipWithError(rounds.Error.c_str());
    for (auto _ : state)
        state.SetIterationTime(rounds.*Best);
    state.SetBytesProcessed(state.iterations() * int64_t(kOriginalSize));
}

void BM_Split(benchmark::State& state)
{
    Report(state, &TSplitJoinRounds::Split);
}
void BM_SplitRef(benchmark::State& state)
{
    Report(state, &TSplitJoinRounds::SplitRef);
}
void BM_Join(benchmark::State& state)
{
    Report(state, &TSplitJoinRounds::Join);
}
void BM_JoinRef(benchmark::State& state)
{
    Report(state, &TSplitJoinRounds::JoinRef);
}

}  // namespace

BENCHMARK(BM_Split)->Name("SplitFile/1GiB into 100MB")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitRef)
    ->Name("SplitFile/1GiB into 100MB/ref:split -b")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Join)->Name("JoinFile/1GiB of 11 parts")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JoinRef)
    ->Name("JoinFile/1GiB of 11 parts/ref:cat parts")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
