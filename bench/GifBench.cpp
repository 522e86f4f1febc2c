// The GIF codec beside giflib 5.2, from memory: decoding a 12 Mpx photo
// reduced to 256 colours by netpbm's pnmquant, a 1-bit scan, an interlaced
// image and a 200-frame animation (Mpx/s against DGifSlurp), and encoding
// with TLZWEncoder against EGifPutLine at the same code size (time and
// bytes) and with TRLEEncoder. Before anything is timed every decoder's
// output is compared with giflib's, and giflib reads back what the encoders
// wrote.
//
// Colour reduction of the same 12 Mpx photo to 256 colours (the octree and
// the nearest entry, without dithering) beside giflib's GifQuantizeBuffer and netpbm's pnmquant
// (with and without -floyd): time per Mpx and PSNR against the photo.

#include "GiflibOracle.h"

#include "framework/Streams.h"
#include "imaging/GifColorReduction.h"
#include "imaging/GifDocument.h"
#include "imaging/GifLzw.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace qrv;

namespace {

struct TGifCase {
    std::string Name;
    std::string File;  // as giflib or netpbm wrote it
    int Bits = 8;      // of the first frame's table
    test::TGiflibFile Reference;
    uint64_t Pixels = 0;  // over all frames
};

std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int Write(GifFileType* gif, const GifByteType* bytes, int count)
{
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), size_t(count));
    return count;
}

struct TFrameSpec {
    int Left, Top, Width, Height;
    bool Interlace;
    std::vector<uint8_t> Pixels;
};

std::string GiflibFile(int width, int height, int bits, const std::vector<TFrameSpec>& frames)
{
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Write, &error);
    std::vector<GifColorType> colors(size_t(1) << bits);
    for (size_t i = 0; i < colors.size(); ++i)
        colors[i] = {GifByteType(i), GifByteType(i * 3), GifByteType(255 - i)};
    ColorMapObject* map = GifMakeMapObject(int(colors.size()), colors.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, bits, 0, map);
    for (const TFrameSpec& frame : frames) {
        const GifByteType control[4] = {4, 10, 0, 0};
        if (frames.size() > 1)
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
        EGifPutImageDesc(gif, frame.Left, frame.Top, frame.Width, frame.Height, frame.Interlace, nullptr);
        std::vector<int> rows;
        if (frame.Interlace) {
            const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
            for (const auto& pass : passes)
                for (int y = pass[0]; y < frame.Height; y += pass[1])
                    rows.push_back(y);
        } else {
            for (int y = 0; y < frame.Height; ++y)
                rows.push_back(y);
        }
        for (int y : rows)
            EGifPutLine(gif, const_cast<GifPixelType*>(frame.Pixels.data() + size_t(y) * frame.Width), frame.Width);
    }
    GifFreeMapObject(map);
    EGifCloseFile(gif, &error);
    return out;
}

// A smooth picture with a little noise, as photos are.
void PhotoPixel(uint32_t x, uint32_t y, uint32_t& state, uint8_t rgb[3])
{
    state = state * 1103515245u + 12345u;
    const int noise = int((state >> 16) % 9) - 4;
    const double fx = x / 310.0, fy = y / 230.0;
    rgb[0] = uint8_t(std::clamp(int(128 + 100 * std::sin(fx) * std::cos(fy * 0.7)) + noise, 0, 255));
    rgb[1] = uint8_t(std::clamp(int(120 + 90 * std::sin(fx * 0.5 + fy)) + noise, 0, 255));
    rgb[2] = uint8_t(std::clamp(int(110 + 80 * std::cos(fx * 0.3 - fy * 0.4)) + noise, 0, 255));
}

// The photo: made once, reduced by pnmquant and written by pamtogif, kept
// in the benchmark cache.
std::string PhotoFile()
{
    const std::filesystem::path cache = QRV_BENCH_CACHE;
    const std::filesystem::path gif = cache / "photo12mpx-pnmquant256.gif";
    if (!std::filesystem::exists(gif)) {
        std::filesystem::create_directories(cache);
        const std::filesystem::path ppm = cache / "photo12mpx.ppm";
        {
            std::ofstream out(ppm, std::ios::binary);
            out << "P6\n4000 3000\n255\n";
            uint32_t state = 7;
            std::vector<char> row(4000 * 3);
            for (uint32_t y = 0; y < 3000; ++y) {
                for (uint32_t x = 0; x < 4000; ++x)
                    PhotoPixel(x, y, state, reinterpret_cast<uint8_t*>(row.data() + x * 3));
                out.write(row.data(), std::streamsize(row.size()));
            }
        }
        const std::string command = "pnmquant 256 " + ppm.string() + " 2>/dev/null | pamtogif > " +
                                    (cache / "photo.tmp").string() + " 2>/dev/null";
        if (std::system(command.c_str()) != 0)
            return {};
        std::filesystem::rename(cache / "photo.tmp", gif);
        std::filesystem::remove(ppm);
    }
    return ReadFileBytes(gif);
}

std::vector<uint8_t> ScanPixels(int width, int height)
{
    // White paper with lines of black "glyphs".
    std::vector<uint8_t> pixels(size_t(width) * height, 0);
    uint32_t state = 3;
    for (int y = 0; y < height; ++y) {
        const int line = y % 60;
        if (line < 10 || line > 45)
            continue;
        for (int x = 100; x < width - 100; ++x) {
            state = state * 1103515245u + 12345u;
            const int glyph = (x / 23) * 7 + (y / 60) * 13;
            if ((glyph % 5) != 0 && ((x % 23) < 3 || (line % 11) < 2 || ((state >> 16) % 13) == 0))
                pixels[size_t(y) * width + x] = 1;
        }
    }
    return pixels;
}

std::vector<TGifCase>& Cases()
{
    static std::vector<TGifCase> cases = [] {
        std::vector<TGifCase> made;
        auto add = [&made](std::string name, std::string file, int bits) {
            TGifCase c;
            c.Name = std::move(name);
            c.File = std::move(file);
            c.Bits = bits;
            made.push_back(std::move(c));
        };
        add("photo12mpx-256", PhotoFile(), 8);

        const int scanWidth = 2480, scanHeight = 3508;
        add("scan-1bit",
            GiflibFile(scanWidth, scanHeight, 1,
                       {{0, 0, scanWidth, scanHeight, false, ScanPixels(scanWidth, scanHeight)}}),
            1);

        const int width = 1600, height = 1200;
        std::vector<uint8_t> pixels(size_t(width) * height);
        uint32_t state = 5;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t rgb[3];
                PhotoPixel(uint32_t(x) * 2, uint32_t(y) * 2, state, rgb);
                pixels[size_t(y) * width + x] = uint8_t((rgb[0] / 32) * 32 + (rgb[1] / 32) * 4 + rgb[2] / 64);
            }
        add("interlaced-1600x1200", GiflibFile(width, height, 8, {{0, 0, width, height, true, pixels}}), 8);

        std::vector<TFrameSpec> frames;
        for (int i = 0; i < 200; ++i) {
            const int w = 320, h = 240;
            std::vector<uint8_t> frame(size_t(w) * h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    frame[size_t(y) * w + x] = uint8_t(((x + i * 3) / 8 + (y / 8) * 5 + ((x * y + i) % 17 == 0)) % 64);
            frames.push_back({0, 0, w, h, false, std::move(frame)});
        }
        add("animation-200x320x240", GiflibFile(320, 240, 6, frames), 6);

        for (TGifCase& c : made) {
            c.Reference = test::GiflibDecode(c.File);
            for (const auto& frame : c.Reference.Frames)
                c.Pixels += frame.Pixels.size();
        }
        return made;
    }();
    return cases;
}

void Decoded(benchmark::State& state, const TGifCase& c)
{
    state.counters["Mpx/s"] = benchmark::Counter(double(c.Pixels) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

bool SameAsGiflib(const TGifCase& c, const TGIFDocument& document)
{
    size_t j = 0;
    for (const auto& frame : document.Frames) {
        if (frame->Empty())
            continue;
        if (j >= c.Reference.Frames.size())
            return false;
        const auto& expected = c.Reference.Frames[j++].Pixels;
        for (uint32_t y = 0; y < frame->Height(); ++y)
            if (std::memcmp(frame->Row(y), expected.data() + size_t(y) * frame->Width(), frame->Width()) != 0)
                return false;
    }
    return j == c.Reference.Frames.size() && j > 0;
}

void DecodeOurs(benchmark::State& state, size_t index)
{
    const TGifCase& c = Cases()[index];
    TMemoryStream stream;
    stream.WriteBytes(c.File);
    {
        stream.SetPosition(0);
        TGIFDocument document;
        document.LoadFromStream(stream);
        if (!c.Reference.Ok || !SameAsGiflib(c, document)) {
            state.SkipWithError("pixels differ from giflib's");
            return;
        }
    }
    for (auto _ : state) {
        stream.SetPosition(0);
        TGIFDocument document;
        document.LoadFromStream(stream);
        benchmark::DoNotOptimize(document.Frames.back()->Pixels());
    }
    Decoded(state, c);
}

void DecodeGiflib(benchmark::State& state, size_t index)
{
    const TGifCase& c = Cases()[index];
    struct TSource {
        const std::string* Bytes;
        size_t Position;
    };
    for (auto _ : state) {
        TSource source{&c.File, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(
            &source,
            [](GifFileType* g, GifByteType* buffer, int count) {
                auto* s = static_cast<TSource*>(g->UserData);
                const size_t part = std::min(size_t(count), s->Bytes->size() - s->Position);
                std::memcpy(buffer, s->Bytes->data() + s->Position, part);
                s->Position += part;
                return int(part);
            },
            &error);
        DGifSlurp(gif);
        benchmark::DoNotOptimize(gif->SavedImages[gif->ImageCount - 1].RasterBits);
        DGifCloseFile(gif, &error);
    }
    Decoded(state, c);
}

// The first frame's pixels as rows for the encoders.
std::vector<const uint8_t*> FirstFrameRows(const TGifCase& c)
{
    std::vector<const uint8_t*> rows;
    const auto& frame = c.Reference.Frames[0];
    for (int y = 0; y < frame.Height; ++y)
        rows.push_back(frame.Pixels.data() + size_t(y) * frame.Width);
    return rows;
}

template <class Encoder>
void EncodeOurs(benchmark::State& state, size_t index)
{
    const TGifCase& c = Cases()[index];
    const auto& frame = c.Reference.Frames[0];
    const std::vector<const uint8_t*> rows = FirstFrameRows(c);
    size_t bytes = 0;
    {
        TMemoryStream out;
        Encoder().Compress(out, c.Bits, 1 << c.Bits, rows, false, uint32_t(frame.Width));
        // The data inside a one-frame file, read by giflib.
        std::string file = "GIF89a";
        const uint8_t screen[7] = {uint8_t(frame.Width),
                                   uint8_t(frame.Width >> 8),
                                   uint8_t(frame.Height),
                                   uint8_t(frame.Height >> 8),
                                   uint8_t(0x80 | (c.Bits - 1)),
                                   0,
                                   0};
        file.append(reinterpret_cast<const char*>(screen), 7);
        file.append(size_t(3) << c.Bits, '\0');
        const uint8_t descriptor[10] = {',', 0, 0, 0, 0, screen[0], screen[1], screen[2], screen[3], 0};
        file.append(reinterpret_cast<const char*>(descriptor), 10);
        file.append(reinterpret_cast<const char*>(out.Memory()), out.Bytes().size());
        file += ";";
        const test::TGiflibFile read = test::GiflibDecode(file);
        if (!read.Ok || read.Frames.size() != 1 || read.Frames[0].Pixels != frame.Pixels) {
            state.SkipWithError("giflib reads other pixels from our data");
            return;
        }
    }
    for (auto _ : state) {
        TMemoryStream out;
        Encoder().Compress(out, c.Bits, 1 << c.Bits, rows, false, uint32_t(frame.Width));
        bytes = out.Bytes().size();
    }
    state.counters["bytes"] = double(bytes);
    state.counters["Mpx/s"] =
        benchmark::Counter(double(frame.Pixels.size()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void EncodeGiflib(benchmark::State& state, size_t index)
{
    const TGifCase& c = Cases()[index];
    const auto& frame = c.Reference.Frames[0];
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = test::GiflibEncode(frame.Width, frame.Height, c.Bits, frame.Pixels);
        // Only the image data counts: the file less header, table, descriptor and trailer.
        bytes = file.size() - (13 + 3 * (size_t(1) << c.Bits) + 10 + 1);
    }
    state.counters["bytes"] = double(bytes);
    state.counters["Mpx/s"] =
        benchmark::Counter(double(frame.Pixels.size()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// The photo as blue, green, red rows.
const std::vector<uint8_t>& PhotoBgr()
{
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> bgr(size_t(4000) * 3000 * 3);
        uint32_t state = 7;
        for (uint32_t y = 0; y < 3000; ++y)
            for (uint32_t x = 0; x < 4000; ++x) {
                uint8_t rgb[3];
                PhotoPixel(x, y, state, rgb);
                uint8_t* pixel = bgr.data() + (size_t(y) * 4000 + x) * 3;
                pixel[0] = rgb[2], pixel[1] = rgb[1], pixel[2] = rgb[0];
            }
        return bgr;
    }();
    return pixels;
}

// Peak signal-to-noise ratio of a reduction against the photo, in dB; the
// colour of pixel i is given as red, green, blue.
template <typename TColorOf>
double Psnr(TColorOf colorOf)
{
    const std::vector<uint8_t>& photo = PhotoBgr();
    double squares = 0;
    const size_t pixels = photo.size() / 3;
    for (size_t i = 0; i < pixels; ++i) {
        const GifColorType color = colorOf(i);
        const double r = photo[3 * i + 2] - color.Red, g = photo[3 * i + 1] - color.Green,
                     b = photo[3 * i] - color.Blue;
        squares += r * r + g * g + b * b;
    }
    const double mse = squares / (3.0 * double(pixels));
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

void ReduceOurs(benchmark::State& state)
{
    const std::vector<uint8_t>& photo = PhotoBgr();
    const TBgrImage image{4000, 3000, photo.data(), 4000 * 3};
    TReducedImage reduced;
    for (auto _ : state)
        reduced = ReduceColors(image, TColorReductionMethod::crmQuantize, TDitherKind::dkNearest, 8);
    state.counters["ms/Mpx"] =
        benchmark::Counter(12.0 / 1000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["PSNR"] = Psnr([&](size_t i) {
        const TGIFColor color = reduced.Palette[reduced.Indices[i]];
        return GifColorType{color.Red, color.Green, color.Blue};
    });
}

void ReduceGiflib(benchmark::State& state)
{
    const std::vector<uint8_t>& photo = PhotoBgr();
    const size_t pixels = photo.size() / 3;
    std::vector<GifByteType> red(pixels), green(pixels), blue(pixels), output(pixels);
    for (size_t i = 0; i < pixels; ++i)
        red[i] = photo[3 * i + 2], green[i] = photo[3 * i + 1], blue[i] = photo[3 * i];
    GifColorType map[256];
    for (auto _ : state) {
        int size = 256;
        if (GifQuantizeBuffer(4000, 3000, &size, red.data(), green.data(), blue.data(), output.data(), map) != GIF_OK)
            state.SkipWithError("GifQuantizeBuffer failed");
    }
    state.counters["ms/Mpx"] =
        benchmark::Counter(12.0 / 1000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["PSNR"] = Psnr([&](size_t i) { return map[output[i]]; });
}

// pnmquant on the photo written as a PPM, its output read back.
void ReducePnmquant(benchmark::State& state, const std::string& options)
{
    const std::filesystem::path cache = QRV_BENCH_CACHE;
    std::filesystem::create_directories(cache);
    const std::filesystem::path ppm = cache / "photo12mpx-reduce.ppm", out = cache / "photo12mpx-reduced.ppm";
    if (!std::filesystem::exists(ppm)) {
        const std::vector<uint8_t>& photo = PhotoBgr();
        std::ofstream file(ppm, std::ios::binary);
        file << "P6\n4000 3000\n255\n";
        for (size_t i = 0; i < photo.size(); i += 3) {
            const char rgb[3] = {char(photo[i + 2]), char(photo[i + 1]), char(photo[i])};
            file.write(rgb, 3);
        }
    }
    const std::string command = "pnmquant " + options + " 256 " + ppm.string() + " > " + out.string() + " 2>/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("pnmquant failed");
    state.counters["ms/Mpx"] =
        benchmark::Counter(12.0 / 1000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    const std::string bytes = ReadFileBytes(out);
    const size_t header = bytes.size() - size_t(4000) * 3000 * 3;
    state.counters["PSNR"] = Psnr([&](size_t i) {
        const auto* rgb = reinterpret_cast<const uint8_t*>(bytes.data() + header + 3 * i);
        return GifColorType{rgb[0], rgb[1], rgb[2]};
    });
}

const int registered = [] {
    const char* names[] = {"photo12mpx-256", "scan-1bit", "interlaced-1600x1200", "animation-200x320x240"};
    for (size_t i = 0; i < 4; ++i) {
        const std::string name = std::string("Gif/Decode/") + names[i];
        benchmark::RegisterBenchmark(name.c_str(), DecodeOurs, i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/ref:giflib DGifSlurp").c_str(), DecodeGiflib, i)
            ->Unit(benchmark::kMillisecond);
    }
    for (size_t i : {size_t(0), size_t(1)}) {
        const std::string name = std::string("Gif/Encode/") + names[i];
        benchmark::RegisterBenchmark((name + "/lzw").c_str(), EncodeOurs<TLZWEncoder>, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/lzw/ref:giflib EGifPutLine").c_str(), EncodeGiflib, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/rle").c_str(), EncodeOurs<TRLEEncoder>, i)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("Gif/Reduce/photo12mpx-256", ReduceOurs)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2);
    benchmark::RegisterBenchmark("Gif/Reduce/photo12mpx-256/ref:giflib GifQuantizeBuffer", ReduceGiflib)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2);
    benchmark::RegisterBenchmark("Gif/Reduce/photo12mpx-256/ref:pnmquant", ReducePnmquant, std::string())
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
    benchmark::RegisterBenchmark("Gif/Reduce/photo12mpx-256/ref:pnmquant -floyd", ReducePnmquant, std::string("-floyd"))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
    return 0;
}();

}  // namespace
