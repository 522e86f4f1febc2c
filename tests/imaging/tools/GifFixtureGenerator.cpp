// Writes the small GIF fixtures of the codec's tests into a folder: files
// written by giflib (1-bit images, code sizes 2 to 8, interlacing, local
// tables, transparency, every extension kind, loops 0 and 3), one written by
// netpbm's pamtogif without LZW, and damaged files built byte by byte.
//   gif_fixture_generator <folder>
// The output is checked in (tests/imaging/fixtures/gif); run again only to
// change the set.
#include <gif_lib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string folder;

struct TFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlace = false;
    int LocalBits = 0;  // 0: no local table
    std::vector<uint8_t> Pixels;
    std::vector<std::vector<std::string>> Extensions;  // [function byte + first block, further blocks...]
};

uint32_t seed = 12345;
uint32_t Next()
{
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
}

std::vector<uint8_t> Pattern(int width, int height, int colors)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] =
                static_cast<uint8_t>(Next() % 5 == 0 ? Next() % colors : (x / 3 + y) % colors);
    return pixels;
}

ColorMapObject* Map(int bits, int shift)
{
    std::vector<GifColorType> colors(static_cast<size_t>(1) << bits);
    for (size_t i = 0; i < colors.size(); ++i)
        colors[i] = {static_cast<GifByteType>(i * 255 / (colors.size() - 1)), static_cast<GifByteType>(i * 37 + shift),
                     static_cast<GifByteType>(255 - i)};
    return GifMakeMapObject(static_cast<int>(colors.size()), colors.data());
}

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "giflib failed: %s\n", what);
        std::exit(1);
    }
}

void PutExtension(GifFileType* gif, const std::vector<std::string>& blocks)
{
    const auto function = static_cast<uint8_t>(blocks[0][0]);
    const std::string first = blocks[0].substr(1);
    Check(EGifPutExtensionLeader(gif, function) == GIF_OK, "leader");
    Check(EGifPutExtensionBlock(gif, static_cast<int>(first.size()), first.data()) == GIF_OK, "block");
    for (size_t i = 1; i < blocks.size(); ++i)
        Check(EGifPutExtensionBlock(gif, static_cast<int>(blocks[i].size()), blocks[i].data()) == GIF_OK, "block");
    Check(EGifPutExtensionTrailer(gif) == GIF_OK, "trailer");
}

// Rows in the order an interlaced frame stores them.
std::vector<int> StoredRows(int height, bool interlace)
{
    std::vector<int> rows;
    if (!interlace) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& pass : passes)
        for (int y = pass[0]; y < height; y += pass[1])
            rows.push_back(y);
    return rows;
}

void Write(const std::string& name, int width, int height, int globalBits, const std::vector<TFrame>& frames,
           const std::vector<std::vector<std::string>>& trailing = {})
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName((folder + "/" + name).c_str(), false, &error);
    Check(gif != nullptr, "open");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = globalBits ? Map(globalBits, 0) : nullptr;
    Check(EGifPutScreenDesc(gif, width, height, globalBits ? globalBits : 8, 0, global) == GIF_OK, "screen");
    for (const TFrame& frame : frames) {
        for (const auto& extension : frame.Extensions)
            PutExtension(gif, extension);
        ColorMapObject* local = frame.LocalBits ? Map(frame.LocalBits, 90) : nullptr;
        Check(EGifPutImageDesc(gif, frame.Left, frame.Top, frame.Width, frame.Height, frame.Interlace, local) == GIF_OK,
              "image");
        for (int y : StoredRows(frame.Height, frame.Interlace))
            Check(EGifPutLine(gif,
                              const_cast<GifPixelType*>(frame.Pixels.data() + static_cast<size_t>(y) * frame.Width),
                              frame.Width) == GIF_OK,
                  "line");
        if (local)
            GifFreeMapObject(local);
    }
    for (const auto& extension : trailing)
        PutExtension(gif, extension);
    if (global)
        GifFreeMapObject(global);
    Check(EGifCloseFile(gif, &error) == GIF_OK, "close");
}

TFrame Frame(int width, int height, int colors, int left = 0, int top = 0)
{
    TFrame frame;
    frame.Left = left;
    frame.Top = top;
    frame.Width = width;
    frame.Height = height;
    frame.Pixels = Pattern(width, height, colors);
    return frame;
}

std::string Control(bool transparent, int index, int delay, int disposal)
{
    std::string block = "\xF9";
    block += static_cast<char>((transparent ? 1 : 0) | (disposal << 2));
    block += static_cast<char>(delay & 0xFF);
    block += static_cast<char>(delay >> 8);
    block += static_cast<char>(index);
    return block;
}

std::vector<std::string> Loop(int count)
{
    return {"\xFFNETSCAPE2.0",
            std::string("\x01", 1) + static_cast<char>(count & 0xFF) + static_cast<char>(count >> 8)};
}

void WriteBytes(const std::string& name, const std::string& bytes)
{
    FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
    Check(file != nullptr, name.c_str());
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string ReadBytes(const std::string& name)
{
    std::string bytes;
    FILE* file = std::fopen((folder + "/" + name).c_str(), "rb");
    Check(file != nullptr, name.c_str());
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

std::string Codes(const std::vector<std::pair<int, int>>& codes)
{
    std::string bytes;
    uint32_t bucket = 0;
    int bits = 0;
    for (const auto& [code, size] : codes) {
        bucket |= static_cast<uint32_t>(code) << bits;
        bits += size;
        for (; bits >= 8; bits -= 8, bucket >>= 8)
            bytes += static_cast<char>(bucket & 0xFF);
    }
    if (bits > 0)
        bytes += static_cast<char>(bucket & 0xFF);
    return bytes;
}

std::string Blocks(const std::string& data)
{
    std::string bytes;
    for (size_t i = 0; i < data.size(); i += 255) {
        const std::string part = data.substr(i, 255);
        bytes += static_cast<char>(part.size());
        bytes += part;
    }
    return bytes + std::string(1, '\0');
}

// A 4 × 2 screen with a 4-entry table and one frame whose data is given.
std::string Damaged(const std::string& data, const std::string& extensions = {})
{
    std::string bytes("GIF89a\x04\x00\x02\x00\x81\x00\x00", 13);
    bytes += std::string("\x00\x00\x00\x50\x50\x50\xA0\xA0\xA0\xFF\xFF\xFF", 12);
    bytes += extensions;
    bytes += std::string(",\x00\x00\x00\x00\x04\x00\x02\x00\x00", 10);
    return bytes + data + ";";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gif_fixture_generator <folder>\n");
        return 2;
    }
    folder = argv[1];

    Write("bits1_37x23.gif", 37, 23, 1, {Frame(37, 23, 2)});
    for (int bits = 2; bits <= 8; ++bits)
        Write("codesize" + std::to_string(bits) + "_33x17.gif", 33, 17, bits, {Frame(33, 17, 1 << bits)});
    {
        TFrame frame = Frame(29, 19, 16);
        frame.Interlace = true;
        Write("interlaced_29x19.gif", 29, 19, 4, {frame});
        TFrame tall = Frame(3, 61, 256);
        tall.Interlace = true;
        Write("interlaced_3x61.gif", 3, 61, 8, {tall});
    }
    {
        TFrame first = Frame(20, 10, 8);
        first.LocalBits = 3;
        TFrame second = Frame(7, 5, 32, 6, 3);
        second.LocalBits = 5;
        second.Interlace = true;
        TFrame third = Frame(20, 10, 4);
        Write("local_tables.gif", 20, 10, 2, {first, second, third});
    }
    {
        TFrame first = Frame(16, 16, 16);
        first.Extensions = {Loop(0), {Control(true, 3, 10, 1)}};
        TFrame second = Frame(8, 8, 16, 4, 4);
        second.Extensions = {{Control(true, 15, 20, 2)}};
        TFrame third = Frame(16, 4, 16, 0, 12);
        third.Extensions = {{Control(false, 0, 30, 3)}};
        Write("animation_loop0.gif", 16, 16, 4, {first, second, third});
    }
    {
        TFrame first = Frame(12, 12, 4);
        first.Extensions = {Loop(3), {Control(false, 0, 5, 0)}};
        TFrame second = Frame(12, 12, 4);
        second.Extensions = {{Control(true, 2, 5, 0)}};
        Write("animation_loop3.gif", 12, 12, 2, {first, second});
    }
    {
        TFrame frame = Frame(24, 8, 16);
        std::string text("\x01\x02\x00\x03\x00\x14\x00\x08\x00\x05\x08\x01\x00", 13);
        frame.Extensions = {{"\xFE"
                             "A comment",
                             "in two blocks"},
                            {text, "Plain text"},
                            {"\xFFXMP DataXMP", "<x:xmpmeta/>", std::string(200, 'x')},
                            {Control(true, 0, 0, 0)}};
        Write("extensions.gif", 24, 8, 4, {frame},
              {{"\xFE"
                "After the last frame"}});
    }

    // netpbm's writer without LZW: codes that never use the string table.
    {
        std::string pgm = "P5\n41 13\n255\n";
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 41; ++x)
                pgm += static_cast<char>(x < 20 ? 0 : (y * 40 + x * 3) % 256);
        WriteBytes("pamtogif.pgm", pgm);
        const std::string command = "pamtogif -nolzw " + folder + "/pamtogif.pgm > " + folder + "/nolzw_41x13.gif";
        Check(std::system(command.c_str()) == 0, "pamtogif");
        std::remove((folder + "/pamtogif.pgm").c_str());
    }

    // Damaged files: each holds a frame of 4 × 2 over a 4-colour table.
    // Code size 2: clear 4, end 5, codes of 3 bits, 4 bits from code 8 on.
    WriteBytes("bad_codesize9.gif", Damaged("\x09" + Blocks(Codes({{512, 10}, {1, 10}, {513, 10}}))));
    WriteBytes("bad_codesize12.gif", Damaged("\x0C" + Blocks(Codes({{4096, 13}, {1, 13}}))));
    WriteBytes("bad_codesize255.gif", Damaged("\xFF" + Blocks("\xFF\xFF\xFF\xFF")));
    WriteBytes("bad_code_past_next.gif",
               Damaged("\x02" + Blocks(Codes({{4, 3}, {1, 3}, {2, 3}, {0, 3}, {9, 4}, {5, 4}}))));
    WriteBytes("bad_table_code_after_clear.gif", Damaged("\x02" + Blocks(Codes({{4, 3}, {3, 3}, {4, 3}, {6, 3}}))));
    WriteBytes("bad_no_end_code.gif", Damaged("\x02" + Blocks(Codes({{4, 3}, {1, 3}, {1, 3}, {6, 3}, {0, 4}}))));
    WriteBytes("bad_loop_block.gif", Damaged("\x02" + Blocks(Codes({{4, 3}, {1, 3}, {5, 3}})),
                                             std::string("\x21\xFF\x0BNETSCAPE2.0\x02\x01\x00\x00", 18)));
    WriteBytes("bad_cut_subblock.gif", Damaged(std::string("\x02\xC8", 2) +
                                               Codes({{4, 3}, {2, 3}, {2, 3}, {6, 3}, {0, 4}}) + std::string(48, '\0'))
                                           .substr(0, 13 + 12 + 10 + 2 + 50));
    WriteBytes("bad_junk5.gif", "12345" + ReadBytes("codesize2_33x17.gif"));
    WriteBytes("junk4.gif", "1234" + ReadBytes("codesize2_33x17.gif"));
    return 0;
}
