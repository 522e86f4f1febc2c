#include "LibpngOracle.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qrv::test {

TPngSamples LibpngSamples(const std::string& file)
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
    TPngSamples samples;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw std::runtime_error("libpng refused the file");
    }
    png_read_info(png, info);
    const int passes = png_set_interlace_handling(png);
    (void)passes;
    png_read_update_info(png, info);
    const uint32_t width = png_get_image_width(png, info);
    const uint32_t height = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info);
    const int colorType = png_get_color_type(png, info);
    const int channels = png_get_channels(png, info);
    std::vector<std::vector<png_byte>> rows(height, std::vector<png_byte>(png_get_rowbytes(png, info) + 1));
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_read_image(png, pointers.data());
    png_destroy_read_struct(&png, &info, nullptr);

    samples.Width = width;
    samples.Height = height;
    samples.Channels = channels;
    const int heldBits = depth == 2 ? 4 : depth;
    samples.MaxValue = depth == 16 ? 65535 : (1u << heldBits) - 1;
    for (const auto& row : rows)
        for (size_t i = 0; i < size_t(width) * channels; ++i) {
            uint16_t v;
            if (depth == 16) {
                v = static_cast<uint16_t>((row[2 * i] << 8) | row[2 * i + 1]);
            } else if (depth == 8) {
                v = row[i];
            } else {
                const size_t bit = i * depth;
                v = static_cast<uint16_t>((row[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1));
                if (depth == 2 && colorType == PNG_COLOR_TYPE_GRAY)
                    v = static_cast<uint16_t>(v * 5);
            }
            samples.Values.push_back(v);
        }
    return samples;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> FixtureNames()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(QRV_PNG_FIXTURES))
        if (entry.path().extension() == ".png")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string FixturePath(const std::string& name)
{
    return std::string(QRV_PNG_FIXTURES) + "/" + name;
}

}  // namespace qrv::test
