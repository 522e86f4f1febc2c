// Writes the PNG fixtures of the imaging tests with libpng: every valid
// colour type / bit depth pair, both interlace modes, at 1x1, 7x5 and 33x17,
// plus files with the chunks the loader treats specially. The samples come
// from a fixed pseudo-random sequence, so 16-bit samples have distinct low
// bytes. Usage: png_fixture_generator OUTPUT_FOLDER
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Options {
    int colorType = 0;
    int bitDepth = 8;
    int interlace = PNG_INTERLACE_NONE;
    uint32_t width = 1;
    uint32_t height = 1;
    uint32_t seed = 1;
    bool paletteTransparency = false;  // one fully transparent entry
    bool keyTransparency = false;      // a grey or RGB key taken from a pixel
    bool gamma = false;
    bool texts = false;
};

uint32_t NextRandom(uint32_t& state)
{
    state = state * 1103515245u + 12345u;
    return state >> 8;
}

int Channels(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

bool Write(const std::string& path, const Options& o)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, o.width, o.height, o.bitDepth, o.colorType, o.interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    uint32_t state = o.seed;
    const int entries = 1 << (o.bitDepth > 8 ? 8 : o.bitDepth);
    if (o.colorType == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> palette(entries);
        for (auto& c : palette) {
            c.red = static_cast<png_byte>(NextRandom(state));
            c.green = static_cast<png_byte>(NextRandom(state));
            c.blue = static_cast<png_byte>(NextRandom(state));
        }
        png_set_PLTE(png, info, palette.data(), entries);
    }
    if (o.gamma)
        png_set_gAMA_fixed(png, info, 45000);
    if (o.texts) {
        png_text texts[2] = {};
        texts[0].compression = PNG_TEXT_COMPRESSION_NONE;
        texts[0].key = const_cast<char*>("Title");
        texts[0].text = const_cast<char*>("Fixture");
        texts[1].compression = PNG_TEXT_COMPRESSION_zTXt;
        texts[1].key = const_cast<char*>("Comment");
        texts[1].text = const_cast<char*>("Compressed comment text, compressed comment text.");
        png_set_text(png, info, texts, 2);
        png_time time{2004, 2, 29, 13, 45, 7};
        png_set_tIME(png, info, &time);
    }

    const size_t rowBytes = (static_cast<size_t>(o.width) * o.bitDepth * Channels(o.colorType) + 7) / 8;
    std::vector<std::vector<png_byte>> rows(o.height, std::vector<png_byte>(rowBytes ? rowBytes : 1));
    for (auto& row : rows)
        for (auto& b : row)
            b = static_cast<png_byte>(NextRandom(state));
    if (o.colorType == PNG_COLOR_TYPE_PALETTE && o.bitDepth == 8)
        for (auto& row : rows)
            for (auto& b : row)
                b = static_cast<png_byte>(b % entries);
    if (o.paletteTransparency) {
        // Entry 1 is fully transparent, every other one opaque.
        std::vector<png_byte> alpha(entries, 255);
        alpha[1] = 0;
        png_set_tRNS(png, info, alpha.data(), entries, nullptr);
    }
    if (o.keyTransparency) {
        // The key is the first pixel's samples, so some pixels match it.
        png_color_16 key{};
        const png_byte* p = rows[0].data();
        if (o.colorType == PNG_COLOR_TYPE_GRAY) {
            key.gray = o.bitDepth == 16 ? png_uint_16((p[0] << 8) | p[1]) : png_uint_16(p[0] >> (8 - o.bitDepth));
        } else if (o.bitDepth == 16) {
            key.red = png_uint_16((p[0] << 8) | p[1]);
            key.green = png_uint_16((p[2] << 8) | p[3]);
            key.blue = png_uint_16((p[4] << 8) | p[5]);
        } else {
            key.red = p[0], key.green = p[1], key.blue = p[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: png_fixture_generator OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct Pair {
        int colorType, bitDepth;
    };
    const Pair pairs[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                          {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    const uint32_t sizes[][2] = {{1, 1}, {7, 5}, {33, 17}};
    bool ok = true;
    uint32_t seed = 7;
    for (const Pair& pair : pairs)
        for (int interlace = 0; interlace <= 1; ++interlace)
            for (const auto& size : sizes) {
                Options o;
                o.colorType = pair.colorType;
                o.bitDepth = pair.bitDepth;
                o.interlace = interlace;
                o.width = size[0];
                o.height = size[1];
                o.seed = seed++;
                const std::string name = "t" + std::to_string(pair.colorType) + "d" + std::to_string(pair.bitDepth) +
                                         (interlace ? "i" : "n") + "_" + std::to_string(size[0]) + "x" +
                                         std::to_string(size[1]) + ".png";
                ok &= Write(folder + "/" + name, o);
            }
    // Chunk cases.
    Options o;
    o.width = 33, o.height = 17;
    o.colorType = 3, o.bitDepth = 4, o.paletteTransparency = true;
    ok &= Write(folder + "/chunk_trns_palette.png", o);
    o = {};
    o.width = 33, o.height = 17, o.colorType = 0, o.bitDepth = 2, o.keyTransparency = true;
    ok &= Write(folder + "/chunk_trns_grey2.png", o);
    o.bitDepth = 16;
    ok &= Write(folder + "/chunk_trns_grey16.png", o);
    o.colorType = 2, o.bitDepth = 8;
    ok &= Write(folder + "/chunk_trns_rgb8.png", o);
    o.bitDepth = 16;
    ok &= Write(folder + "/chunk_trns_rgb16.png", o);
    o = {};
    o.width = 33, o.height = 17, o.colorType = 2, o.bitDepth = 8, o.gamma = true;
    ok &= Write(folder + "/chunk_gama_rgb8.png", o);
    o.colorType = 3, o.bitDepth = 8;
    ok &= Write(folder + "/chunk_gama_palette.png", o);
    o = {};
    o.width = 7, o.height = 5, o.colorType = 6, o.bitDepth = 8, o.texts = true;
    ok &= Write(folder + "/chunk_texts.png", o);
    return ok ? 0 : 1;
}
