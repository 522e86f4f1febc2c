// A command-line tool over the program's own GIF codec:
//   qrv_giftool info FILE                 screen, tables, frames, extensions, warnings
//   qrv_giftool frames FILE PREFIX        each frame as PREFIX-N.pam (RGB, or RGB_ALPHA
//                                          when the frame is transparent)
//   qrv_giftool recode --lzw|--rle FILE OUT.gif
//   qrv_giftool coalesce FILE PREFIX      each screen as played, PREFIX-N.pam (RGB_ALPHA,
//                                          on a transparent backdrop)
//   qrv_giftool optimise STEPS FILE OUT.gif
//                                          STEPS: 1 crop, 2 merge, 4 clean up, 8 tables (summed)
//   qrv_giftool reduce METHOD DITHER IN.ppm OUT.gif
//                                          METHOD 0-9 (web cube 6, octree 7), DITHER 0-6
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/GifAnimation.h"
#include "imaging/GifColorReduction.h"
#include "imaging/GifDocument.h"
#include "imaging/GifOptimizer.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using namespace qrv;

namespace {

class TPrintingSink : public TGIFEventSink {
public:
    void Warning(const void*, int severity, const std::wstring& message) override
    {
        std::fprintf(stderr, "warning (%d): %s\n", severity, WideToUtf8(message).c_str());
    }
};

TPrintingSink sink;

void Load(TGIFDocument& document, const char* path)
{
    TMemoryStream stream;
    stream.LoadFromFile(Utf8ToWide(path));
    document.SetEventSink(&sink);
    document.LoadFromStream(stream);
}

std::string Printable(const std::string& bytes)
{
    std::string out;
    for (char c : bytes)
        out += (c >= 32 && c < 127) ? c : '.';
    return out;
}

void PrintExtension(const TGIFExtension& extension)
{
    if (const auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(&extension)) {
        std::printf("    graphic control: delay %d, disposal %d, user input %d, transparent %d (index %d)\n",
                    control->Delay, control->Disposal(), control->UserInput(), control->Transparent(),
                    control->TransparentColorIndex());
    } else if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(&extension)) {
        std::printf("    loop (%s): count %d, buffer size %u\n", Printable(loop->Identifier()).c_str(), loop->LoopCount,
                    loop->BufferSize);
    } else if (const auto* app = dynamic_cast<const TGIFUnknownAppExtension*>(&extension)) {
        size_t bytes = 0;
        for (const std::string& block : app->Blocks)
            bytes += block.size();
        std::printf("    application \"%s\": %zu blocks, %zu bytes\n", Printable(app->IdentifierBlock()).c_str(),
                    app->Blocks.size(), bytes);
    } else if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(&extension)) {
        for (const std::string& line : comment->Text)
            std::printf("    comment: %s\n", Printable(line).c_str());
    } else if (const auto* text = dynamic_cast<const TGIFTextExtension*>(&extension)) {
        std::printf("    plain text at %d,%d grid %dx%d cell %dx%d colours %d/%d\n", text->Left, text->Top,
                    text->GridWidth, text->GridHeight, text->CellWidth, text->CellHeight, text->ForegroundColorIndex,
                    text->BackgroundColorIndex);
        for (const std::string& line : text->Text)
            std::printf("      %s\n", Printable(line).c_str());
    }
}

int Info(const char* path)
{
    TGIFDocument document;
    Load(document, path);
    const TGIFHeader& header = document.Header;
    std::printf("screen %dx%d, version %s, background %d, aspect %d, global table %d%s\n", header.Width, header.Height,
                document.Version() >= 2 ? "89a" : "87a", header.BackgroundColorIndex, header.AspectRatio,
                header.ColorMap.Count(), header.ColorMap.Sorted ? " (sorted)" : "");
    for (size_t i = 0; i < document.Frames.size(); ++i) {
        const TGIFFrame& frame = *document.Frames[i];
        if (frame.Empty())
            std::printf("frame %zu: no image\n", i);
        else
            std::printf("frame %zu: %dx%d at %d,%d%s, local table %d\n", i, frame.Width(), frame.Height(), frame.Left,
                        frame.Top, frame.Interlaced() ? ", interlaced" : "", frame.ColorMap.Count());
        for (const auto& extension : frame.Extensions)
            PrintExtension(*extension);
    }
    return 0;
}

int Frames(const char* path, const std::string& prefix)
{
    TGIFDocument document;
    Load(document, path);
    int written = 0;
    for (size_t i = 0; i < document.Frames.size(); ++i) {
        const TGIFFrame& frame = *document.Frames[i];
        if (frame.Empty())
            continue;
        const TGIFColorMap& table = frame.ActiveColorMap();
        const bool alpha = frame.Transparent();
        std::string out = "P7\nWIDTH " + std::to_string(frame.Width()) + "\nHEIGHT " + std::to_string(frame.Height()) +
                          "\nDEPTH " + (alpha ? "4" : "3") + "\nMAXVAL 255\nTUPLTYPE " + (alpha ? "RGB_ALPHA" : "RGB") +
                          "\nENDHDR\n";
        for (uint32_t y = 0; y < frame.Height(); ++y) {
            for (uint32_t x = 0; x < frame.Width(); ++x) {
                const uint8_t index = frame.Row(y)[x];
                const TGIFColor color = index < table.Count() ? table[index] : TGIFColor{};
                out += static_cast<char>(color.Red);
                out += static_cast<char>(color.Green);
                out += static_cast<char>(color.Blue);
                if (alpha)
                    out += static_cast<char>(index == frame.TransparentColorIndex() ? 0 : 255);
            }
        }
        TMemoryStream stream;
        stream.WriteBytes(out);
        stream.SaveToFile(Utf8ToWide(prefix + "-" + std::to_string(i) + ".pam"));
        ++written;
    }
    std::printf("%d frames written\n", written);
    return 0;
}

int Recode(const char* option, const char* path, const char* target)
{
    TGIFDocument document;
    Load(document, path);
    document.Encoding = std::strcmp(option, "--rle") == 0 ? TGIFEncoding::RLE : TGIFEncoding::LZW;
    TMemoryStream stream;
    document.SaveToStream(stream);
    stream.SaveToFile(Utf8ToWide(target));
    return 0;
}

void Save(const TGIFDocument& document, const char* target)
{
    TMemoryStream stream;
    document.SaveToStream(stream);
    stream.SaveToFile(Utf8ToWide(target));
}

int Coalesce(const char* path, const std::string& prefix)
{
    TGIFDocument document;
    Load(document, path);
    const auto screens = CoalesceGIF(document);
    for (size_t i = 0; i < screens.size(); ++i) {
        std::string out = "P7\nWIDTH " + std::to_string(document.Width()) + "\nHEIGHT " +
                          std::to_string(document.Height()) + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
        for (uint32_t pixel : screens[i])
            for (int shift : {16, 8, 0, 24})
                out += static_cast<char>((pixel >> shift) & 0xFF);
        TMemoryStream stream;
        stream.WriteBytes(out);
        stream.SaveToFile(Utf8ToWide(prefix + "-" + std::to_string(i) + ".pam"));
    }
    std::printf("%zu screens written\n", screens.size());
    return 0;
}

int Optimise(const char* steps, const char* path, const char* target)
{
    TGIFDocument document;
    Load(document, path);
    OptimizeGIF(document, static_cast<unsigned>(std::stoul(steps)));
    Save(document, target);
    return 0;
}

// A binary PPM (P6, MAXVAL 255) as blue, green, red rows.
std::vector<uint8_t> ReadPpm(const char* path, int& width, int& height)
{
    TMemoryStream stream;
    stream.LoadFromFile(Utf8ToWide(path));
    const std::string bytes(reinterpret_cast<const char*>(stream.Memory()), stream.Bytes().size());
    size_t position = 0;
    auto word = [&] {
        while (position < bytes.size() &&
               (std::isspace(static_cast<unsigned char>(bytes[position])) || bytes[position] == '#')) {
            if (bytes[position] == '#')
                position = bytes.find('\n', position);
            else
                ++position;
        }
        const size_t start = position;
        while (position < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[position])))
            ++position;
        return bytes.substr(start, position - start);
    };
    if (word() != "P6")
        throw Exception(L"not a binary PPM");
    width = std::stoi(word());
    height = std::stoi(word());
    if (word() != "255" || width <= 0 || height <= 0)
        throw Exception(L"only MAXVAL 255 is read");
    ++position;
    const size_t count = static_cast<size_t>(width) * height * 3;
    if (bytes.size() - position < count)
        throw Exception(L"the PPM is cut short");
    std::vector<uint8_t> pixels(bytes.begin() + static_cast<ptrdiff_t>(position),
                                bytes.begin() + static_cast<ptrdiff_t>(position + count));
    for (size_t i = 0; i < count; i += 3)
        std::swap(pixels[i], pixels[i + 2]);
    return pixels;
}

int Reduce(const char* method, const char* dither, const char* path, const char* target)
{
    int width = 0, height = 0;
    const std::vector<uint8_t> pixels = ReadPpm(path, width, height);
    const TBgrImage image{width, height, pixels.data(), static_cast<size_t>(width) * 3};
    const TReducedImage reduced = ReduceColors(image, static_cast<TColorReductionMethod>(std::stoi(method)),
                                               static_cast<TDitherKind>(std::stoi(dither)), 8);
    if (reduced.Indices.empty() || width > 65535 || height > 65535)
        throw Exception(L"nothing to write: method without a palette here, or too large");
    TGIFDocument document;
    document.Header.Width = static_cast<uint16_t>(width);
    document.Header.Height = static_cast<uint16_t>(height);
    for (const TGIFColor& color : reduced.Palette)
        document.Header.ColorMap.Add(color);
    TGIFFrame& frame = document.AddFrame();
    frame.SetSize(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(frame.Row(static_cast<uint32_t>(y)), reduced.Indices.data() + static_cast<size_t>(y) * width,
                    static_cast<size_t>(width));
    Save(document, target);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 3 && std::strcmp(argv[1], "info") == 0)
            return Info(argv[2]);
        if (argc == 4 && std::strcmp(argv[1], "frames") == 0)
            return Frames(argv[2], argv[3]);
        if (argc == 5 && std::strcmp(argv[1], "recode") == 0 &&
            (std::strcmp(argv[2], "--lzw") == 0 || std::strcmp(argv[2], "--rle") == 0))
            return Recode(argv[2], argv[3], argv[4]);
        if (argc == 4 && std::strcmp(argv[1], "coalesce") == 0)
            return Coalesce(argv[2], argv[3]);
        if (argc == 5 && std::strcmp(argv[1], "optimise") == 0)
            return Optimise(argv[2], argv[3], argv[4]);
        if (argc == 6 && std::strcmp(argv[1], "reduce") == 0)
            return Reduce(argv[2], argv[3], argv[4], argv[5]);
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: qrv_giftool info FILE | frames FILE PREFIX | recode --lzw|--rle FILE OUT.gif |\n"
                 "       coalesce FILE PREFIX | optimise STEPS FILE OUT.gif | reduce METHOD DITHER IN.ppm OUT.gif\n");
    return 2;
}
