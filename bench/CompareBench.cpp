// The byte comparison of two files beside cmp, and the directory comparison
// (both folders read; name, size and content; on the program's workers and,
// for a look at what they bring, on one thread) beside diff -rq, in the same
// run on the same warm files.

#include "mainwindow/DirCompare.h"
#include "mainwindow/FileCompare.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace qrv;
namespace fs = std::filesystem;

namespace {

constexpr int64_t kBigFile = int64_t{1} << 30;
constexpr int kFolderFiles = 10'000;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

class TPosixFile : public TCompareFile {
public:
    explicit TPosixFile(int fd) : fd_(fd) {}
    ~TPosixFile() override { close(fd_); }
    int64_t Size() override
    {
        struct stat st {};
        return fstat(fd_, &st) == 0 ? st.st_size : -1;
    }
    int64_t Read(uint8_t* buffer, int64_t count) override
    {
        int64_t done = 0;
        while (done < count) {
            const ssize_t n = read(fd_, buffer + done, static_cast<size_t>(count - done));
            if (n < 0)
                return -1;
            if (n == 0)
                break;
            done += n;
        }
        return done;
    }

private:
    int fd_;
};

TFileCompareHost PosixHost()
{
    TFileCompareHost host;
    host.Open = [](const std::wstring& name) -> std::unique_ptr<TCompareFile> {
        const int fd = open(Narrow(name).c_str(), O_RDONLY);
        if (fd < 0)
            return nullptr;
        return std::make_unique<TPosixFile>(fd);
    };
    return host;
}

int Shell(const std::string& command)
{
    return std::system(command.c_str());
}

// Two equal files of 1 GiB and a third that differs in its last byte; two
// flat folders of 10,000 files of 100 B to 8 KiB, 1 % differing in the last
// byte. Each part is made when a benchmark first needs it, once per run,
// and removed after the run.
struct TCompareFixtures {
    fs::path Root = fs::temp_directory_path() / ("qrv-compare-bench-" + std::to_string(getpid()));
    fs::path A = Root / "a.bin", B = Root / "b.bin", C = Root / "c.bin";
    fs::path DirA = Root / "A", DirB = Root / "B";

    void MakeBigFiles()
    {
        if (bigFilesMade_)
            return;
        bigFilesMade_ = true;
        fs::create_directories(Root);
        std::mt19937_64 random(5);
        std::ofstream a(A, std::ios::binary), b(B, std::ios::binary), c(C, std::ios::binary);
        std::vector<uint64_t> block(1 << 17);
        for (int64_t written = 0; written < kBigFile; written += int64_t(block.size() * 8)) {
            for (uint64_t& v : block)
                v = random();
            const bool last = written + int64_t(block.size() * 8) >= kBigFile;
            a.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size() * 8));
            b.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size() * 8));
            if (last)
                block.back() ^= uint64_t{1} << 63;
            c.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size() * 8));
        }
    }
    void MakeFolders()
    {
        if (foldersMade_)
            return;
        foldersMade_ = true;
        fs::create_directories(DirA);
        fs::create_directories(DirB);
        std::mt19937_64 random(7);
        std::uniform_int_distribution<int> size(100, 8192);
        for (int i = 0; i < kFolderFiles; ++i) {
            std::string bytes(static_cast<size_t>(size(random)), '\0');
            for (char& ch : bytes)
                ch = static_cast<char>(random());
            const std::string name = "f" + std::to_string(i) + ".dat";
            std::ofstream(DirA / name, std::ios::binary) << bytes;
            if (i % 100 == 0)
                bytes.back() = static_cast<char>(bytes.back() ^ 1);
            std::ofstream(DirB / name, std::ios::binary) << bytes;
        }
    }
    // Warm: the files read once before timing (the big files push the small
    // ones out of the cache, and the other way round).
    void WarmBigFiles()
    {
        MakeBigFiles();
        Shell("cat " + Root.string() + "/*.bin > /dev/null");
    }
    void WarmFolders()
    {
        MakeFolders();
        Shell("cat " + DirA.string() + "/* " + DirB.string() + "/* > /dev/null");
    }
    ~TCompareFixtures()
    {
        std::error_code ec;
        fs::remove_all(Root, ec);
    }

private:
    bool bigFilesMade_ = false;
    bool foldersMade_ = false;
};

TCompareFixtures& Fixtures()
{
    static TCompareFixtures fixtures;
    return fixtures;
}

std::vector<TCompareRecord> ListFolder(const std::wstring& folder)
{
    std::vector<TCompareRecord> records;
    const std::string path = Narrow(folder);
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return records;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        const std::string full = path + "/" + name;
        if (fstatat(dirfd(dir), entry->d_name, &st, 0) != 0)
            continue;
        TCompareRecord r;
        r.Name = r.DisplayName = Wide(name);
        r.FullPath = Wide(full);
        r.IsDirectory = S_ISDIR(st.st_mode);
        r.Size = static_cast<uint64_t>(st.st_size);
        r.LastWrite = static_cast<uint64_t>(st.st_mtime);
        r.Item = records.size();
        records.push_back(std::move(r));
    }
    closedir(dir);
    return records;
}

void FileCompare(benchmark::State& state, const fs::path& second, uint8_t expected)
{
    TCompareFixtures& f = Fixtures();
    f.WarmBigFiles();
    const TFileCompareHost host = PosixHost();
    for (auto _ : state)
        if (CompareFileContents(Wide(f.A.string()), Wide(second.string()), host) != expected)
            return state.SkipWithError("wrong result");
    state.SetBytesProcessed(state.iterations() * kBigFile * 2);
}

void Cmp(benchmark::State& state, const fs::path& second, int expected)
{
    TCompareFixtures& f = Fixtures();
    f.WarmBigFiles();
    for (auto _ : state)
        if (WEXITSTATUS(Shell("cmp -s " + f.A.string() + " " + second.string())) != expected)
            return state.SkipWithError("wrong result");
    state.SetBytesProcessed(state.iterations() * kBigFile * 2);
}

void BM_CompareFileContents_Equal(benchmark::State& state)
{
    FileCompare(state, Fixtures().B, crEqual);
}
void BM_Cmp_Equal(benchmark::State& state)
{
    Cmp(state, Fixtures().B, 0);
}
void BM_CompareFileContents_LastByte(benchmark::State& state)
{
    FileCompare(state, Fixtures().C, crDifferent);
}
void BM_Cmp_LastByte(benchmark::State& state)
{
    Cmp(state, Fixtures().C, 1);
}

// Workers: as the program compares, on DirCompareWorkerCount() threads;
// without, one comparison after the other on the calling thread.
void DirCompare(benchmark::State& state, bool workers)
{
    TCompareFixtures& f = Fixtures();
    f.WarmFolders();
    const TFileCompareHost files = PosixHost();
    TDirCompareHost host;
    host.ListFolder = ListFolder;
    if (workers) {
        host.Workers = DirCompareWorkerCount();
        host.CompareOnWorker = [](const std::wstring& a, const std::wstring& b, const std::atomic<bool>& stop) {
            TFileCompareHost worker = PosixHost();
            worker.AbortRequested = [&stop] { return stop.load(); };
            return CompareFileContents(a, b, worker);
        };
    } else {
        host.CompareContents = [&files](const std::wstring& a, const std::wstring& b) {
            return CompareFileContents(a, b, files);
        };
    }
    for (auto _ : state) {
        TDirCompareInput input;
        input.Options.Select = TCompareSelect::Different;
        input.Options.ByContent = true;
        // Both folders read, as diff reads both.
        input.Active = ListFolder(Wide(f.DirA.string()));
        input.CompareDir = Wide(f.DirB.string());
        const TDirCompareResult result = RunDirCompare(std::move(input), host);
        if (result.ActiveItems.size() != kFolderFiles / 100)
            return state.SkipWithError("wrong result");
    }
    state.SetItemsProcessed(state.iterations() * kFolderFiles);
}

void BM_DirCompare_Different(benchmark::State& state)
{
    DirCompare(state, true);
}

void BM_DirCompare_OneThread(benchmark::State& state)
{
    DirCompare(state, false);
}

void BM_DiffRq_Different(benchmark::State& state)
{
    TCompareFixtures& f = Fixtures();
    f.WarmFolders();
    for (auto _ : state)
        if (WEXITSTATUS(Shell("diff -rq " + f.DirA.string() + " " + f.DirB.string() + " > /dev/null")) != 1)
            return state.SkipWithError("wrong result");
    state.SetItemsProcessed(state.iterations() * kFolderFiles);
}

}  // namespace

BENCHMARK(BM_CompareFileContents_Equal)->Name("FileCompare/Equal 1GiB")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cmp_Equal)->Name("FileCompare/Equal 1GiB/ref:cmp -s")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareFileContents_LastByte)->Name("FileCompare/LastByte 1GiB")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cmp_LastByte)->Name("FileCompare/LastByte 1GiB/ref:cmp -s")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirCompare_Different)->Name("DirCompare/10000 files")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiffRq_Different)->Name("DirCompare/10000 files/ref:diff -rq")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirCompare_OneThread)->Name("DirCompare/10000 files, one thread")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiffRq_Different)->Name("DirCompare/10000 files, one thread/ref:diff -rq")->Unit(benchmark::kMillisecond);
