// The PNG codec beside libpng and libspng, from memory, CRC checks on and no
// gamma: decoding each colour type and bit depth and a 12 Mpx photo, and
// encoding at level 7 with {Sub} and with all five filters. Before anything
// is timed every decoder's output is compared with libpng's.

#include "LibpngOracle.h"

#include "framework/Streams.h"
#include "imaging/PngChunks.h"
#include "imaging/PngPicture.h"
#include "imaging/PngSamples.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

struct TestImage {
    std::string Name;
    int ColorType;
    int BitDepth;
    uint32_t Width;
    uint32_t Height;
    bool Interlaced;
    std::vector<uint8_t> Rows;  // raw PNG rows without filter bytes
    std::string File;           // written by libpng with its defaults
};

int Channels(int colorType)
{
    return colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
}

size_t RowBytes(const TestImage& image)
{
    return (size_t(image.Width) * image.BitDepth * Channels(image.ColorType) + 7) / 8;
}

// A smooth picture with a little noise, as photos are.
void PhotoPixel(uint32_t x, uint32_t y, uint32_t& state, int rgba[4])
{
    state = state * 1103515245u + 12345u;
    const int noise = int((state >> 16) % 7) - 3;
    const double fx = x / 200.0, fy = y / 150.0;
    rgba[0] = std::clamp(int(128 + 100 * std::sin(fx) * std::cos(fy * 0.7)) + noise, 0, 255);
    rgba[1] = std::clamp(int(120 + 90 * std::sin(fx * 0.5 + fy)) + noise, 0, 255);
    rgba[2] = std::clamp(int(110 + 80 * std::cos(fx * 0.3 - fy * 0.4)) + noise, 0, 255);
    rgba[3] = std::clamp(int(255 - (x + y) / 8 % 256), 0, 255);
}

std::string EncodeWithLibpng(const TestImage& image, int level, int filters)
{
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t size) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), size);
        },
        nullptr);
    png_set_IHDR(png, info, image.Width, image.Height, image.BitDepth, image.ColorType,
                 image.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    if (image.ColorType == 3) {
        std::vector<png_color> palette(size_t(1) << image.BitDepth);
        for (size_t i = 0; i < palette.size(); ++i)
            palette[i] = {png_byte(i * 255 / (palette.size() - 1)), png_byte(i * 97),
                          png_byte(255 - i * 255 / (palette.size() - 1))};
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    }
    if (level >= 0)
        png_set_compression_level(png, level);
    if (filters >= 0)
        png_set_filter(png, 0, filters);
    png_write_info(png, info);
    std::vector<png_bytep> rows(image.Height);
    for (uint32_t y = 0; y < image.Height; ++y)
        rows[y] = const_cast<png_bytep>(image.Rows.data() + y * RowBytes(image));
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

TestImage MakeImage(std::string name, int colorType, int depth, uint32_t width, uint32_t height, bool interlaced)
{
    TestImage image{std::move(name), colorType, depth, width, height, interlaced, {}, {}};
    const size_t rowBytes = RowBytes(image);
    image.Rows.assign(rowBytes * height, 0);
    uint32_t state = 1;
    const int channels = Channels(colorType);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = image.Rows.data() + y * rowBytes;
        for (uint32_t x = 0; x < width; ++x) {
            int rgba[4];
            PhotoPixel(x, y, state, rgba);
            const int grey = (rgba[0] + rgba[1] + rgba[2]) / 3;
            int values[4] = {grey, rgba[3], 0, 0};
            if (colorType == 2 || colorType == 6)
                values[0] = rgba[0], values[1] = rgba[1], values[2] = rgba[2], values[3] = rgba[3];
            for (int c = 0; c < channels; ++c) {
                const size_t k = size_t(x) * channels + c;
                if (depth == 16) {
                    row[2 * k] = uint8_t(values[c]);
                    row[2 * k + 1] = uint8_t(x * 7 + y + c);  // distinct low bytes
                } else if (depth == 8) {
                    row[k] = uint8_t(values[c]);
                } else {
                    const unsigned v = unsigned(values[c]) >> (8 - depth);
                    row[k * depth / 8] |= uint8_t(v << (8 - depth - k * depth % 8));
                }
            }
        }
    }
    image.File = EncodeWithLibpng(image, -1, -1);
    return image;
}

std::vector<TestImage>& Images()
{
    static std::vector<TestImage> images = [] {
        struct Pair {
            const char* name;
            int colorType, depth;
            bool interlaced;
        };
        const Pair pairs[] = {{"grey1", 0, 1, false},        {"grey2", 0, 2, false},    {"grey4", 0, 4, false},
                              {"grey8", 0, 8, false},        {"grey16", 0, 16, false},  {"rgb8", 2, 8, false},
                              {"rgb16", 2, 16, false},       {"pal1", 3, 1, false},     {"pal2", 3, 2, false},
                              {"pal4", 3, 4, false},         {"pal8", 3, 8, false},     {"greyalpha8", 4, 8, false},
                              {"greyalpha16", 4, 16, false}, {"rgba8", 6, 8, false},    {"rgba16", 6, 16, false},
                              {"rgb8-adam7", 2, 8, true},    {"pal8-adam7", 3, 8, true}};
        std::vector<TestImage> result;
        for (const Pair& p : pairs)
            result.push_back(MakeImage(p.name, p.colorType, p.depth, 1024, 768, p.interlaced));
        result.push_back(MakeImage("photo12mpx-rgb8", 2, 8, 4000, 3000, false));
        result.push_back(MakeImage("photo12mpx-rgba8", 6, 8, 4000, 3000, false));
        return result;
    }();
    return images;
}

std::string LibpngRows(const std::string& file)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    struct Source {
        const std::string* bytes;
        size_t at;
    } source{&file, 0};
    png_set_read_fn(png, &source, [](png_structp p, png_bytep out, size_t count) {
        auto* s = static_cast<Source*>(png_get_io_ptr(p));
        if (s->at + count > s->bytes->size())
            png_error(p, "short");
        std::memcpy(out, s->bytes->data() + s->at, count);
        s->at += count;
    });
    std::string rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return {};
    }
    png_read_info(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const uint32_t height = png_get_image_height(png, info);
    rows.assign(rowBytes * height, '\0');
    std::vector<png_bytep> pointers(height);
    for (uint32_t y = 0; y < height; ++y)
        pointers[y] = reinterpret_cast<png_bytep>(rows.data() + y * rowBytes);
    png_read_image(png, pointers.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return rows;
}

std::string SpngRows(const std::string& file)
{
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, file.data(), file.size());
    size_t size = 0;
    std::string out;
    if (spng_decoded_image_size(ctx, SPNG_FMT_RAW, &size) == 0) {
        out.assign(size, '\0');
        if (spng_decode_image(ctx, out.data(), size, SPNG_FMT_RAW, 0) != 0)
            out.clear();
    }
    spng_ctx_free(ctx);
    return out;
}

void Decoded(benchmark::State& state, const TestImage& image)
{
    state.counters["Mpx/s"] =
        benchmark::Counter(image.Width * double(image.Height) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void DecodeOurs(benchmark::State& state, size_t index)
{
    const TestImage& image = Images()[index];
    TMemoryStream stream;
    stream.WriteBytes(image.File);
    {
        stream.SetPosition(0);
        TPngPicture picture;
        picture.LoadFromStream(stream);
        const TPngSamples ours = PngSamples(*picture.Image());
        const TPngSamples expected = test::LibpngSamples(image.File);
        if (ours.Values != expected.Values) {
            state.SkipWithError("samples differ from libpng's");
            return;
        }
    }
    for (auto _ : state) {
        stream.SetPosition(0);
        TPngPicture picture;
        picture.LoadFromStream(stream);
        benchmark::DoNotOptimize(picture.Image()->Pixels());
    }
    Decoded(state, image);
}

void DecodeLibpng(benchmark::State& state, size_t index)
{
    const TestImage& image = Images()[index];
    for (auto _ : state)
        benchmark::DoNotOptimize(LibpngRows(image.File));
    Decoded(state, image);
}

void DecodeSpng(benchmark::State& state, size_t index)
{
    const TestImage& image = Images()[index];
    if (SpngRows(image.File) != LibpngRows(image.File)) {
        state.SkipWithError("libspng's rows differ from libpng's");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(SpngRows(image.File));
    Decoded(state, image);
}

void EncodeOurs(benchmark::State& state, size_t index, TFilters filters)
{
    const TestImage& image = Images()[index];
    TMemoryStream input;
    input.WriteBytes(image.File);
    input.SetPosition(0);
    TPngPicture picture;
    picture.LoadFromStream(input);
    picture.SetDeflateLevel(7);
    picture.SetFilterSet(filters);
    size_t bytes = 0;
    {
        TMemoryStream out;
        picture.SaveToStream(out);
        const std::string written(reinterpret_cast<const char*>(out.Memory()), out.Bytes().size());
        if (test::LibpngSamples(written).Values != test::LibpngSamples(image.File).Values) {
            state.SkipWithError("libpng reads other samples from our file");
            return;
        }
    }
    for (auto _ : state) {
        TMemoryStream out;
        picture.SaveToStream(out);
        bytes = out.Bytes().size();
    }
    state.counters["bytes"] = double(bytes);
}

void EncodeLibpng(benchmark::State& state, size_t index, int filters)
{
    const TestImage& image = Images()[index];
    size_t bytes = 0;
    for (auto _ : state)
        bytes = EncodeWithLibpng(image, 7, filters).size();
    state.counters["bytes"] = double(bytes);
}

const int registered = [] {
    StartPngChunkRegistry();
    const char* names[] = {"grey1",           "grey2", "grey4",  "grey8",      "grey16",     "rgb8",
                           "rgb16",           "pal1",  "pal2",   "pal4",       "pal8",       "greyalpha8",
                           "greyalpha16",     "rgba8", "rgba16", "rgb8-adam7", "pal8-adam7", "photo12mpx-rgb8",
                           "photo12mpx-rgba8"};
    const size_t count = sizeof names / sizeof names[0];
    for (size_t i = 0; i < count; ++i) {
        const std::string name = std::string("Png/Decode/") + names[i];
        benchmark::RegisterBenchmark(name.c_str(), DecodeOurs, i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/ref:libpng 1.6").c_str(), DecodeLibpng, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/ref:libspng 0.7").c_str(), DecodeSpng, i)->Unit(benchmark::kMillisecond);
    }
    for (size_t i : {size_t(13), count - 2}) {
        const std::string name = std::string("Png/Encode7/") + names[i];
        benchmark::RegisterBenchmark((name + "/sub").c_str(), EncodeOurs, i, TFilters(pfSub))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/sub/ref:libpng sub").c_str(), EncodeLibpng, i, PNG_FILTER_SUB)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/all").c_str(), EncodeOurs, i, TFilters(pfAllFilters))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/all/ref:libpng all").c_str(), EncodeLibpng, i, PNG_ALL_FILTERS)
            ->Unit(benchmark::kMillisecond);
    }
    return 0;
}();

}  // namespace
