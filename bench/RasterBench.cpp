// The PCX, Targa and PNM decoders on a 4096 x 4096 picture per variant, from
// memory, beside netpbm in the same run: libnetpbm's pnm_readpnm in process
// for PNM; for PCX and Targa pcxtoppm and tgatoppm to /dev/null, less their
// time on a 1 x 1 file (process start and exit). The files are written once
// by netpbm's own writers into the benchmark cache. Before anything is timed
// every decoder's pixels are compared with netpbm's.

#include "imaging/PcxDecoder.h"
#include "imaging/PnmDecoder.h"
#include "imaging/TargaDecoder.h"

#include <benchmark/benchmark.h>
extern "C" {
#include <netpbm/pnm.h>
}

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

using namespace qrv;

namespace {

constexpr uint32_t kSide = 4096;

struct TVariant {
    const char* Name;
    const char* Source;   // "photo", "palette" or "grey"
    const char* Command;  // netpbm writer, reading the source from stdin
    const char* Ext;
    const char* Reader;  // the external reader timed, or nullptr for pnm_readpnm
};

const TVariant kVariants[] = {
    {"PCX24", "photo", "ppmtopcx -24bit", ".pcx", "pcxtoppm"},
    {"PCX8", "palette", "ppmtopcx -8bit", ".pcx", "pcxtoppm"},
    {"TGA-RLE", "photo", "pamtotga -rgb", ".tga", "tgatoppm"},
    {"TGA-raw", "photo", "pamtotga -rgb -norle", ".tga", "tgatoppm"},
    {"TGA-cmap", "palette", "pamtotga -cmap", ".tga", "tgatoppm"},
    {"P6", "photo", "cat", ".ppm", nullptr},
    {"P5", "grey", "cat", ".pgm", nullptr},
    {"P3", "photo", "pnmtoplainpnm", ".ppm", nullptr},
    {"P6-16bit", "photo", "pamdepth 65535", ".ppm", nullptr},
};

std::filesystem::path CacheDir()
{
    return std::filesystem::path(QRV_BENCH_CACHE) / "raster";
}

uint8_t PhotoChannel(uint32_t x, uint32_t y, int channel, uint32_t& state)
{
    state = state * 1103515245u + 12345u;
    const int noise = static_cast<int>((state >> 16) % 7) - 3;
    const double fx = x / 200.0, fy = y / 150.0;
    const double base[] = {128 + 100 * std::sin(fx) * std::cos(fy * 0.7), 120 + 90 * std::sin(fx * 0.5 + fy),
                           110 + 80 * std::cos(fx * 0.3 - fy * 0.4)};
    return static_cast<uint8_t>(std::clamp(static_cast<int>(base[channel]) + noise, 0, 255));
}

// The sources: a photo-like picture, the same in 256 colours (3-3-2 bits) and in grey.
void WriteSources(const std::filesystem::path& dir)
{
    std::ofstream photo(dir / "photo.src", std::ios::binary), palette(dir / "palette.src", std::ios::binary),
        grey(dir / "grey.src", std::ios::binary);
    photo << "P6\n" << kSide << " " << kSide << "\n255\n";
    palette << "P6\n" << kSide << " " << kSide << "\n255\n";
    grey << "P5\n" << kSide << " " << kSide << "\n255\n";
    uint32_t state = 7;
    std::vector<char> rgb(kSide * 3), reduced(kSide * 3), grey8(kSide);
    for (uint32_t y = 0; y < kSide; ++y) {
        for (uint32_t x = 0; x < kSide; ++x) {
            for (int c = 0; c < 3; ++c)
                rgb[x * 3 + c] = static_cast<char>(PhotoChannel(x, y, c, state));
            const auto r = static_cast<uint8_t>(rgb[x * 3]), g = static_cast<uint8_t>(rgb[x * 3 + 1]),
                       b = static_cast<uint8_t>(rgb[x * 3 + 2]);
            reduced[x * 3] = static_cast<char>(r & 0xE0);
            reduced[x * 3 + 1] = static_cast<char>(g & 0xE0);
            reduced[x * 3 + 2] = static_cast<char>(b & 0xC0);
            grey8[x] = static_cast<char>((r * 3 + g * 6 + b) / 10);
        }
        photo.write(rgb.data(), static_cast<std::streamsize>(rgb.size()));
        palette.write(reduced.data(), static_cast<std::streamsize>(reduced.size()));
        grey.write(grey8.data(), static_cast<std::streamsize>(grey8.size()));
    }
}

bool Shell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

// The variant's file, written once; empty when netpbm failed.
std::filesystem::path VariantFile(const TVariant& v)
{
    const std::filesystem::path dir = CacheDir();
    const std::filesystem::path file = dir / (std::string(v.Name) + v.Ext);
    if (std::filesystem::exists(file))
        return file;
    std::filesystem::create_directories(dir);
    if (!std::filesystem::exists(dir / "photo.src"))
        WriteSources(dir);
    const std::filesystem::path tmp = dir / "variant.tmp";
    if (!Shell(std::string(v.Command) + " < " + (dir / (std::string(v.Source) + ".src")).string() + " > " +
               tmp.string() + " 2>/dev/null"))
        return {};
    std::filesystem::rename(tmp, file);
    return file;
}

// A 1 x 1 file of the variant's kind, for the reader's fixed cost.
std::filesystem::path TinyFile(const TVariant& v)
{
    const std::filesystem::path dir = CacheDir();
    const std::filesystem::path file = dir / (std::string(v.Name) + "-1x1" + v.Ext);
    if (!std::filesystem::exists(file))
        Shell("printf 'P6\\n1 1\\n255\\n\\001\\002\\003' | " + std::string(v.Command) + " > " + file.string() +
              " 2>/dev/null");
    return file;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<TRasterImage> Decode(const TVariant& v, const std::vector<uint8_t>& bytes)
{
    auto allocator = std::make_shared<THeapPixelAllocator>();
    const std::string ext = v.Ext;
    if (ext == ".pcx")
        return DecodePcx(bytes, allocator);
    if (ext == ".tga")
        return DecodeTga(bytes, allocator);
    return DecodePnm(bytes, allocator);
}

// Wall seconds of `reader file > /dev/null`.
double RunReader(const char* reader, const std::filesystem::path& file)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string path = file.string();
    std::string name = reader;
    char* argv[] = {name.data(), path.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, reader, &actions, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid)
        status = -1;
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return status == 0 ? std::chrono::duration<double>(end - start).count() : -1;
}

// netpbm's pixels of the file at maxval 255, rounded as pamdepth rounds.
std::vector<uint8_t> NetpbmRgb(const std::vector<uint8_t>& bytes, int& cols, int& rows)
{
    FILE* in = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
    xelval maxval = 0;
    int format = 0;
    xel** xels = pnm_readpnm(in, &cols, &rows, &maxval, &format);
    std::fclose(in);
    std::vector<uint8_t> rgb;
    rgb.reserve(size_t(cols) * rows * 3);
    const auto scale = [&](xelval v) { return static_cast<uint8_t>((v * 255u + maxval / 2) / maxval); };
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            const xel p = xels[y][x];
            // Grey maps and bitmaps hold their value in one component.
            const bool colour = PNM_FORMAT_TYPE(format) == PPM_TYPE;
            rgb.push_back(scale(colour ? PPM_GETR(p) : PNM_GET1(p)));
            rgb.push_back(scale(colour ? PPM_GETG(p) : PNM_GET1(p)));
            rgb.push_back(scale(colour ? PPM_GETB(p) : PNM_GET1(p)));
        }
    pnm_freearray(xels, rows);
    return rgb;
}

// Our pixels equal netpbm's (through its reader's output for PCX and Targa).
bool SamePixels(const TVariant& v, const std::filesystem::path& file, const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> reference = bytes;
    if (v.Reader) {
        const std::filesystem::path out = CacheDir() / "reader.ppm";
        if (!Shell(std::string(v.Reader) + " " + file.string() + " > " + out.string() + " 2>/dev/null"))
            return false;
        reference = ReadAll(out);
        std::filesystem::remove(out);
    }
    int cols = 0, rows = 0;
    const std::vector<uint8_t> want = NetpbmRgb(reference, cols, rows);
    const auto image = Decode(v, bytes);
    if (image->Width() != uint32_t(cols) || image->Height() != uint32_t(rows))
        return false;
    for (uint32_t y = 0; y < image->Height(); ++y)
        for (uint32_t x = 0; x < image->Width(); ++x) {
            const TRgb got = image->PixelRgb(x, y);
            const uint8_t* w = &want[(size_t(y) * cols + x) * 3];
            if (got.Red != w[0] || got.Green != w[1] || got.Blue != w[2])
                return false;
        }
    return true;
}

struct TPrepared {
    std::filesystem::path File;
    std::vector<uint8_t> Bytes;
    bool Valid = false;
};

TPrepared& Prepared(const TVariant& v)
{
    static std::vector<std::unique_ptr<TPrepared>> all(std::size(kVariants));
    const size_t index = static_cast<size_t>(&v - kVariants);
    if (!all[index]) {
        all[index] = std::make_unique<TPrepared>();
        TPrepared& p = *all[index];
        p.File = VariantFile(v);
        if (!p.File.empty()) {
            p.Bytes = ReadAll(p.File);
            p.Valid = SamePixels(v, p.File, p.Bytes);
        }
    }
    return *all[index];
}

void SetRate(benchmark::State& state)
{
    state.counters["Mpx/s"] =
        benchmark::Counter(double(kSide) * kSide / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Ours(benchmark::State& state, const TVariant* v)
{
    TPrepared& p = Prepared(*v);
    if (!p.Valid) {
        state.SkipWithError("the variant could not be made, or our pixels differ from netpbm's");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(Decode(*v, p.Bytes));
    SetRate(state);
}

void BM_Netpbm(benchmark::State& state, const TVariant* v)
{
    TPrepared& p = Prepared(*v);
    if (!p.Valid) {
        state.SkipWithError("the variant could not be made");
        return;
    }
    if (v->Reader) {
        const std::filesystem::path tiny = TinyFile(*v);
        double fixed = 1e9;
        for (int i = 0; i < 5; ++i)
            fixed = std::min(fixed, RunReader(v->Reader, tiny));
        for (auto _ : state) {
            const double seconds = RunReader(v->Reader, p.File);
            if (seconds < 0 || fixed < 0) {
                state.SkipWithError("the reader failed");
                return;
            }
            state.SetIterationTime(std::max(seconds - fixed, 1e-6));
        }
    } else {
        for (auto _ : state) {
            FILE* in = fmemopen(p.Bytes.data(), p.Bytes.size(), "rb");
            int cols = 0, rows = 0, format = 0;
            xelval maxval = 0;
            xel** xels = pnm_readpnm(in, &cols, &rows, &maxval, &format);
            std::fclose(in);
            pnm_freearray(xels, rows);
        }
    }
    SetRate(state);
}

const bool kRegistered = [] {
    pm_init("qrv_bench", 0);
    for (const TVariant& v : kVariants) {
        const std::string base = std::string("RasterDecode/") + v.Name;
        benchmark::RegisterBenchmark(base.c_str(), BM_Ours, &v)->Unit(benchmark::kMillisecond);
        const std::string ref = base + "/ref:" + (v.Reader ? std::string(v.Reader) + " less 1x1" : "pnm_readpnm");
        auto* reference = benchmark::RegisterBenchmark(ref.c_str(), BM_Netpbm, &v)->Unit(benchmark::kMillisecond);
        // The external readers are timed by the wall clock around the process.
        if (v.Reader)
            reference->UseManualTime();
    }
    return true;
}();

}  // namespace
