// Listing a 100,000-entry archive made by Debian's zip into the zip
// component's entry list, beside `zipinfo -1 archive >/dev/null` in the
// same run; twice: plain ASCII names, and realistic mixed names (27 % with
// umlauts, CJK characters or long names, which zip stores with a Unicode
// bytes as they are, no flag and no Unicode path field: they read in the
// ANSI code page, here 1252, through its table as in the program). The
// archives are made once and cached in the build folder; the names are
// checked equal to zipinfo's, read the same way, before anything is timed.
// Goal: faster than zipinfo.

#include "archives/ZipDirectory.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
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

// The names of the mixed tree: of every 100 files 27 take one of these
// patterns in turn, the rest are plain; every fourth folder has an umlaut.
std::string MixedName(int i)
{
    static const char* const patterns[] = {
        "\xC3\x9C"
        "bersicht Gr\xC3\xB6\xC3\x9F"
        "e %d.txt",
        "\xE5\xA0\xB1\xE5\x91\x8A\xE6\x9B\xB8_%d_\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF.xlsx",
        "\xC3\x84rger \xC3\xBC"
        "ber \xC3\x96l \xE2\x80\x93 ein recht langer Dateiname f\xC3\xBCr die "
        "Pr\xC3\xBC"
        "fung Nummer %d.docx",
        "Caf\xC3\xA9 M\xC3\xBCller %d \xC3\x9F.pdf",
        "\xE5\x86\x99\xE7\x9C\x9F %d \xE6\x9D\xB1\xE4\xBA\xAC.jpg",
    };
    char name[256];
    if (i % 100 < 27)
        std::snprintf(name, sizeof name, patterns[i % 5], i);
    else
        std::snprintf(name, sizeof name, "file_%06d.txt", i);
    return name;
}

std::string MixedFolder(int folder)
{
    char name[32];
    std::snprintf(name, sizeof name,
                  folder % 4 ? "Ordner %03d"
                             : "\xC3\x9C"
                               "bung %03d",
                  folder);
    return name;
}

// The archive of one kind, made once: "plain" or "mixed".
fs::path MakeArchive(bool mixed)
{
    fs::path cache = fs::path(QRV_BENCH_CACHE) / "zipdir";
    fs::path zip = cache / (mixed ? "mixed100k.zip" : "entries100k.zip");
    if (fs::exists(zip))
        return zip;
    fs::path tree = cache / "tree";
    fs::remove_all(tree);
    for (int folder = 0; folder < 100; ++folder) {
        fs::path dir = tree / (mixed ? MixedFolder(folder) : "ordner" + std::to_string(folder));
        fs::create_directories(dir);
        for (int i = 0; i < kEntries / 100 - 1; ++i) {
            const std::string name =
                mixed ? MixedName(folder * (kEntries / 100 - 1) + i) : "datei" + std::to_string(i) + ".txt";
            std::fclose(std::fopen((dir / name).c_str(), "wb"));
        }
    }
    std::string command = "cd " + Quote(tree) + " && LC_ALL=C.UTF-8 zip -qr " + Quote(cache / "tmp.zip") + " .";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("zip failed");
    fs::rename(cache / "tmp.zip", zip);
    fs::remove_all(tree);
    return zip;
}

const fs::path& Archive(bool mixed)
{
    static const fs::path plain = MakeArchive(false);
    if (!mixed)
        return plain;
    static const fs::path realistic = MakeArchive(true);
    return realistic;
}

std::vector<std::string> ZipinfoNames(bool mixed)
{
    std::vector<std::string> names;
    std::FILE* pipe = popen(("LC_ALL=C.UTF-8 zipinfo -1 " + Quote(Archive(mixed))).c_str(), "r");
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

qrv::TZipListResult ListArchive(bool mixed)
{
    // The program's tables for names in single-byte code pages.
    static const auto cp1252 = [] {
        auto table = std::make_shared<std::array<char16_t, 256>>();
        for (int byte = 0; byte < 256; ++byte)
            (*table)[byte] = qrv::DecodeCp1252(std::string(1, char(byte)))[0];
        return table;
    }();
    TStdioSource source(Archive(mixed));
    qrv::TZipListOptions options;
    options.UseDirOnlyEntries = true;  // zipinfo lists the folders too
    options.AnsiTable = cp1252;
    options.OemTable = cp1252;
    return qrv::ListZipDirectory(source, options);
}

bool NamesMatchZipinfo(bool mixed)
{
    std::vector<std::string> expected = ZipinfoNames(mixed);
    qrv::TZipListResult result = ListArchive(mixed);
    if (result.Error != 0 || result.Entries.size() != expected.size())
        return false;
    for (size_t i = 0; i < expected.size(); ++i) {
        std::u16string name = qrv::DecodeCp1252(expected[i]);
        std::replace(name.begin(), name.end(), u'/', u'\\');
        if (result.Entries[i].FileName != name)
            return false;
    }
    return expected.size() >= size_t(kEntries);
}

void CheckNamesOnce(benchmark::State& state, bool mixed)
{
    static const bool same[2] = {NamesMatchZipinfo(false), NamesMatchZipinfo(true)};
    if (!same[mixed])
        state.SkipWithError("the entry list differs from zipinfo's");
}

void BM_ZipDirectory_List(benchmark::State& state, bool mixed)
{
    CheckNamesOnce(state, mixed);
    for (auto _ : state) {
        qrv::TZipListResult result = ListArchive(mixed);
        benchmark::DoNotOptimize(&result.Entries);
    }
    state.counters["entries"] = double(ListArchive(mixed).Entries.size());
}

void BM_Zipinfo_List(benchmark::State& state, bool mixed)
{
    CheckNamesOnce(state, mixed);
    std::string command = "zipinfo -1 " + Quote(Archive(mixed)) + " >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("zipinfo failed");
}

}  // namespace

BENCHMARK_CAPTURE(BM_ZipDirectory_List, plain, false)->Name("ZipDirectory/List100k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Zipinfo_List, plain, false)
    ->Name("ZipDirectory/List100k/ref:zipinfo -1")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZipDirectory_List, mixed, true)
    ->Name("ZipDirectory/List100kMixedNames")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Zipinfo_List, mixed, true)
    ->Name("ZipDirectory/List100kMixedNames/ref:zipinfo -1")
    ->Unit(benchmark::kMillisecond);
