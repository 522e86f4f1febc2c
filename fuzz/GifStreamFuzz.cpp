// GIF files from outside: loading must end with the document or a
// GIFException and stay in bounds; whatever loaded must save with both
// encoders (or be refused before anything is written) and read back to the
// same frames and pixels. Pixel memory is capped so that a descriptor cannot
// ask for gigabytes.
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/GifDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr size_t PixelCap = 4 * 1024 * 1024;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void LoadCapped(qrv::TGIFDocument& document, qrv::TStream& stream)
{
    document.SetAllocator(std::make_shared<qrv::THeapPixelAllocator>(PixelCap));
    document.LoadFromStream(stream);
}

void ExpectSame(const qrv::TGIFDocument& saved, const qrv::TGIFDocument& read)
{
    Require(saved.Width() == read.Width() && saved.Height() == read.Height());
    Require(saved.Header.ColorMap.Count() == read.Header.ColorMap.Count());
    size_t j = 0;
    for (const auto& frame : saved.Frames) {
        if (frame->Empty())
            continue;
        while (j < read.Frames.size() && read.Frames[j]->Empty())
            ++j;
        Require(j < read.Frames.size());
        const qrv::TGIFFrame& other = *read.Frames[j++];
        Require(frame->Left == other.Left && frame->Top == other.Top && frame->Width() == other.Width() &&
                frame->Height() == other.Height());
        Require(frame->Extensions.size() == other.Extensions.size());
        for (uint32_t y = 0; y < frame->Height(); ++y)
            Require(std::memcmp(frame->Row(y), other.Row(y), frame->Width()) == 0);
    }
    while (j < read.Frames.size())
        Require(read.Frames[j++]->Empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qrv::TMemoryStream input;
    input.WriteBuffer(data, size);
    input.SetPosition(0);
    qrv::TGIFDocument document;
    try {
        LoadCapped(document, input);
    } catch (const qrv::Exception&) {
        // A refused file: the stream is put back and what was read stays usable.
        Require(input.Position() == 0);
    }
    for (qrv::TGIFEncoding encoding : {qrv::TGIFEncoding::LZW, qrv::TGIFEncoding::RLE}) {
        document.Encoding = encoding;
        qrv::TMemoryStream output;
        try {
            document.SaveToStream(output);
        } catch (const qrv::Exception&) {
            // No frames, or a pixel past its table: refused before writing.
            Require(output.Size() == 0);
            return 0;
        }
        output.SetPosition(0);
        qrv::TGIFDocument again;
        LoadCapped(again, output);
        ExpectSame(document, again);
    }
    return 0;
}
