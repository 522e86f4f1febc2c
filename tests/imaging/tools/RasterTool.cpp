// A command-line tool over the program's own raster decoders:
//   qrv_rastertool topnm FILE     the picture as PPM (maxval 255) on stdout;
//                                 the decoder is chosen by the extension
//                                 (.pcx, .tga, .pbm/.pgm/.ppm/.pnm)
//   qrv_rastertool aniinfo FILE   an animated cursor's header, texts, steps
//                                 and frames
#include "imaging/AniCursorFile.h"
#include "imaging/AniSchedule.h"
#include "imaging/PcxDecoder.h"
#include "imaging/PnmDecoder.h"
#include "imaging/TargaDecoder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace qrv;

namespace {

std::vector<uint8_t> ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(std::string("cannot open ") + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int ToPnm(const char* path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::vector<uint8_t> bytes = ReadFile(path);
    auto allocator = std::make_shared<THeapPixelAllocator>();
    std::unique_ptr<TRasterImage> image;
    if (ext == ".pcx")
        image = DecodePcx(bytes, allocator);
    else if (ext == ".tga")
        image = DecodeTga(bytes, allocator);
    else if (ext == ".pbm" || ext == ".pgm" || ext == ".ppm" || ext == ".pnm")
        image = DecodePnm(bytes, allocator);
    else
        throw std::runtime_error("unknown extension " + ext);
    std::string out = "P6\n" + std::to_string(image->Width()) + " " + std::to_string(image->Height()) + "\n255\n";
    out.reserve(out.size() + size_t{image->Width()} * image->Height() * 3);
    for (uint32_t y = 0; y < image->Height(); ++y)
        for (uint32_t x = 0; x < image->Width(); ++x) {
            const TRgb rgb = image->PixelRgb(x, y);
            out.push_back(static_cast<char>(rgb.Red));
            out.push_back(static_cast<char>(rgb.Green));
            out.push_back(static_cast<char>(rgb.Blue));
        }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int AniInfo(const char* path)
{
    const TAniCursorFile file(ReadFile(path));
    const TAniHeader& h = file.Header();
    std::printf("frames %u steps %u size %ux%u bits %u planes %u rate %u flags %u\n", h.FrameCount, h.StepCount,
                h.Width, h.Height, h.BitCount, h.Planes, h.DisplayRate, h.Flags);
    std::printf("title %s\nauthor %s\n", file.Title().c_str(), file.Author().c_str());
    std::printf("picture %ux%u\n", file.Width(), file.Height());
    const TAniSchedule schedule(file, [] { return uint64_t{0}; });
    for (size_t step = 0; step < file.StepCount(); ++step)
        std::printf("step %zu rate %u frame %zu\n", step, schedule.StepRate(step), schedule.FrameOfStep(step));
    for (size_t i = 0; i < file.Frames().size(); ++i) {
        const TAniFrame& frame = file.Frames()[i];
        std::printf("frame %zu icon %zu+%zu image %zu+%zu %ux%u\n", i, frame.Icon.Offset, frame.Icon.Size,
                    frame.Image.Offset, frame.Image.Size, frame.Width, frame.Height);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: qrv_rastertool topnm|aniinfo FILE\n");
        return 2;
    }
    const std::string command = argv[1];
    try {
        if (command == "topnm")
            return ToPnm(argv[2]);
        if (command == "aniinfo")
            return AniInfo(argv[2]);
        std::fprintf(stderr, "unknown command %s\n", argv[1]);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[2], e.what());
        return 1;
    }
}
