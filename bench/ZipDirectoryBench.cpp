// Listing a 100,000-entry archive made by Debian's zip into the zip
// component's entry list, beside `zipinfo -1 archive >/dev/null` in the
// same run. The archive is made once and cached in the build folder; the
// names are checked equal to zipinfo's before anything is timed. Goal:
// faster than zipinfo.

#include "archives/ZipDirectory.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kEntries = 100000;

// Reads the archive through the operating system at each call, as the
// component reads its file.
class TStdioSource : public qrv::TZipSource {
public:
    explicit TStdioSource(const fs::path& path) : file_(std::fopen(path.c_str(), "rb"))
    {
        if (!file_)
            throw std::runtime_error("cannot open " + path.string());
        size_ = fs::file_size(path);
    }
    ~TStdioSource() override { std::fclose(file_); }
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        return std::fseek(file_, long(offset), SEEK_SET) == 0 && std::fread(buffer, 1, count, file_) == count;
    }

private:
    std::FILE* file_;
    uint64_t size_ = 0;
};

std::string Quote(const fs::path& path)
{
    return "'" + path.string() + "'";
}

const fs::path& Archive()
{
    static const fs::path archive = [] {
        fs::path cache = fs::path(QRV_BENCH_CACHE) / "zipdir";
        fs::path zip = cache / "entries100k.zip";
        if (fs::exists(zip))
            return zip;
        fs::path tree = cache / "tree";
        fs::remove_all(tree);
        for (int folder = 0; folder < 100; ++folder) {
            fs::path dir = tree / ("ordner" + std::to_string(folder));
            fs::create_directories(dir);
            for (int i = 0; i < kEntries / 100 - 1; ++i)
                std::fclose(std::fopen((dir / ("datei" + std::to_string(i) + ".txt")).c_str(), "wb"));
        }
        std::string command = "cd " + Quote(tree) + " && zip -qr " + Quote(cache / "tmp.zip") + " .";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("zip failed");
        fs::rename(cache / "tmp.zip", zip);
        fs::remove_all(tree);
        return zip;
    }();
    return archive;
}

std::vector<std::string> ZipinfoNames()
{
    std::vector<std::string> names;
    std::FILE* pipe = popen(("zipinfo -1 " + Quote(Archive())).c_str(), "r");
    if (!pipe)
        throw std::runtime_error("zipinfo failed");
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string name(line);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        names.push_back(name);
    }
    pclose(pipe);
    return names;
}

qrv::TZipListResult ListArchive()
{
    TStdioSource source(Archive());
    qrv::TZipListOptions options;
    options.UseDirOnlyEntries = true;  // zipinfo lists the folders too
    return qrv::ListZipDirectory(source, options);
}

void CheckNamesOnce(benchmark::State& state)
{
    static const bool same = [] {
        std::vector<std::string> expected = ZipinfoNames();
        qrv::TZipListResult result = ListArchive();
        if (result.Error != 0 || result.Entries.size() != expected.size())
            return false;
        for (size_t i = 0; i < expected.size(); ++i) {
            std::string name;
            for (char16_t c : result.Entries[i].FileName)
                name += c == u'\\' ? '/' : char(c);
            if (name != expected[i])
                return false;
        }
        return expected.size() >= size_t(kEntries);
    }();
    if (!same)
        state.SkipWithError("the entry list differs from zipinfo's");
}

void BM_ZipDirectory_List(benchmark::State& state)
{
    CheckNamesOnce(state);
    for (auto _ : state) {
        qrv::TZipListResult result = ListArchive();
        benchmark::DoNotOptimize(&result.Entries);
    }
    state.counters["entries"] = double(ListArchive().Entries.size());
}

void BM_Zipinfo_List(benchmark::State& state)
{
    CheckNamesOnce(state);
    std::string command = "zipinfo -1 " + Quote(Archive()) + " >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("zipinfo failed");
}

}  // namespace

BENCHMARK(BM_ZipDirectory_List)->Name("ZipDirectory/List100k")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zipinfo_List)->Name("ZipDirectory/List100k/ref:zipinfo -1")->Unit(benchmark::kMillisecond);
