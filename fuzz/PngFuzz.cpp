// PNG files from outside: loading must end with the picture or one of the
// codec's exceptions, stay in bounds, and whatever loaded must save and read
// back. Pixel memory is capped so that a header cannot ask for gigabytes.
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/PngChunks.h"
#include "imaging/PngPicture.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

constexpr size_t PixelCap = 4 * 1024 * 1024;

struct Registry {
    Registry() { qrv::StartPngChunkRegistry(); }
};

void Probe(const qrv::TPngPicture& picture)
{
    // Pixel reads inside, at the edges and outside the image.
    const int64_t width = picture.Width(), height = picture.Height();
    const int64_t points[][2] = {{0, 0}, {width - 1, height - 1}, {width / 2, height / 2}, {width, 0}, {-1, 0}};
    for (const auto& point : points) {
        try {
            (void)picture.ReadPixel(point[0], point[1]);
        } catch (const qrv::Exception&) {
            // an index beyond the palette
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Registry registry;
    qrv::TMemoryStream input;
    input.WriteBuffer(data, size);
    input.SetPosition(0);
    qrv::TPngPicture picture;
    picture.SetAllocator(std::make_shared<qrv::THeapPixelAllocator>(PixelCap));
    // Vary the writing options with the input.
    picture.SetDeflateLevel(size % 10);
    try {
        picture.LoadFromStream(input);
    } catch (const qrv::Exception&) {
        // A refused file: the chunks read so far must still be safe to use.
    }
    Probe(picture);
    if (!picture.HasHeader())
        return 0;
    picture.SetFilterSet(static_cast<qrv::TFilters>(size % 32));
    qrv::TMemoryStream output;
    try {
        picture.SaveToStream(output);
    } catch (const qrv::Exception&) {
        return 0;
    }
    output.SetPosition(0);
    qrv::TPngPicture again;
    again.SetAllocator(std::make_shared<qrv::THeapPixelAllocator>(PixelCap));
    try {
        again.LoadFromStream(output);
    } catch (const qrv::Exception&) {}
    Probe(again);
    return 0;
}
