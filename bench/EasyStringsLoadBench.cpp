// Loading a 100 MB text file into the editor's line list, beside the plain
// way: read the whole file, decode it, split it into std::u16string lines.
// Both run on the same generated files (ANSI, and UTF-16 with FF FE; lines
// of 0 to 200 characters, 60 on average, ending in CR LF or LF at random).
// A counting operator new gives each run's peak heap, shown beside the size
// of the text in UTF-16 (2 bytes a character).

#include "editor/EasyStrings.h"
#include "editor/WideText.h"
#include "framework/Encoding.h"
#include "framework/FilePath.h"
#include "framework/Streams.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

std::atomic<int64_t> g_heapNow{0};
std::atomic<int64_t> g_heapPeak{0};

void Counted(void* p)
{
    const auto size = static_cast<int64_t>(malloc_usable_size(p));
    const int64_t now = g_heapNow.fetch_add(size, std::memory_order_relaxed) + size;
    int64_t peak = g_heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {}
}

}  // namespace

void* operator new(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    Counted(p);
    return p;
}

void operator delete(void* p) noexcept
{
    if (!p)
        return;
    g_heapNow.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace {

using namespace qrv;

constexpr size_t kFileBytes = 100u << 20;

struct TestFile {
    std::wstring name;
    size_t characters = 0;
};

// Lines of 0..200 characters (60 on average) of Latin-1 letters and blanks.
TestFile MakeFile(bool utf16)
{
    TestFile file;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / (utf16 ? "qrv_bench_utf16.txt" : "qrv_bench_ansi.txt");
    file.name = FromFsPath(path);
    std::mt19937 random(utf16 ? 16 : 8);
    std::string bytes;
    bytes.reserve(kFileBytes + 1024);
    if (utf16)
        bytes = "\xFF\xFE";
    const char alphabet[] = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ \xE4\xF6\xFC\xDF 0123456789";
    auto put = [&](unsigned char c) {
        bytes.push_back(static_cast<char>(c));
        if (utf16)
            bytes.push_back('\0');
        ++file.characters;
    };
    while (bytes.size() < kFileBytes) {
        const bool longLine = random() % 5 == 0;
        const int length = static_cast<int>(random() % (longLine ? 201 : 101));
        for (int i = 0; i < length; ++i)
            put(static_cast<unsigned char>(alphabet[random() % (sizeof alphabet - 1)]));
        if (random() % 2)
            put('\r');
        put('\n');
    }
    TFileStream out(file.name, fmCreate);
    out.WriteBytes(bytes);
    out.Flush();
    return file;
}

// The generated file, removed again when the program ends.
struct GeneratedFile {
    explicit GeneratedFile(bool utf16) : file(MakeFile(utf16)) {}
    ~GeneratedFile()
    {
        std::error_code ignored;
        std::filesystem::remove(FsPath(file.name), ignored);
    }
    TestFile file;
};

const TestFile& File(bool utf16)
{
    static const GeneratedFile ansi(false);
    static const GeneratedFile wide(true);
    return utf16 ? wide.file : ansi.file;
}

// The plain way: the whole file, the whole text, then the lines.
std::vector<std::u16string> PlainSplit(const std::wstring& name, bool utf16)
{
    const std::string bytes = ReadFileBytes(name);
    std::u16string text;
    if (utf16) {
        text.resize((bytes.size() - 2) / 2);
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                            (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    } else {
        text = ToUtf16(TEncoding::Default().GetString(bytes));
    }
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string::npos) {
            lines.emplace_back(text, start);
            break;
        }
        lines.emplace_back(text, start, end - start);
        start = end + 1;
        if (text[end] == u'\r' && start < text.size() && text[start] == u'\n')
            ++start;
    }
    return lines;
}

template <typename Load>
void Measure(benchmark::State& state, bool utf16, Load load)
{
    const TestFile& file = File(utf16);
    int64_t peak = 0;
    size_t lines = 0;
    for (auto _ : state) {
        g_heapPeak.store(g_heapNow.load());
        const int64_t base = g_heapNow.load();
        lines = load(file.name);
        peak = std::max(peak, g_heapPeak.load() - base);
    }
    const double utf16Size = 2.0 * static_cast<double>(file.characters);
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["peakMB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["peak/utf16"] = static_cast<double>(peak) / utf16Size;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileBytes));
}

void EasyStringsLoad(benchmark::State& state, bool utf16)
{
    Measure(state, utf16, [](const std::wstring& name) {
        TEasyStrings strings;
        strings.LoadFromFile(name);
        return static_cast<size_t>(strings.Count());
    });
}

void PlainLoad(benchmark::State& state, bool utf16)
{
    Measure(state, utf16, [utf16](const std::wstring& name) {
        const std::vector<std::u16string> lines = PlainSplit(name, utf16);
        return lines.size();
    });
}

}  // namespace

BENCHMARK_CAPTURE(EasyStringsLoad, ansi, false)->Name("EasyStringsLoad/ANSI 100 MB")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlainLoad, ansi, false)
    ->Name("EasyStringsLoad/ANSI 100 MB/ref:read+decode+split")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EasyStringsLoad, utf16, true)->Name("EasyStringsLoad/UTF-16 100 MB")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlainLoad, utf16, true)
    ->Name("EasyStringsLoad/UTF-16 100 MB/ref:read+decode+split")
    ->Unit(benchmark::kMillisecond);
