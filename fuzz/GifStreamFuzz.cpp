// GIF files from outside: loading must end with the document or a
// GIFException and stay in bounds; whatever loaded must save with both
// encoders (or be refused before anything is written) and read back to the
// same frames and pixels; optimised, it must play the same screens for the
// same times, also once saved and read back. Pixel memory is capped so that a descriptor cannot
// ask for gigabytes.
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/GifDocument.h"
#include "imaging/GifOptimizer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

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

// The items in file order: each extension's label, "I" for an image. How
// they are grouped into frames may change: extensions that a defect cut off
// from their image are written before it and read back with it.
std::string Items(const qrv::TGIFDocument& document)
{
    std::string items;
    for (const auto& frame : document.Frames) {
        for (const auto& extension : frame->Extensions)
            items += static_cast<char>(extension->Label());
        if (!frame->Empty())
            items += 'I';
    }
    return items;
}

std::vector<const qrv::TGIFFrame*> Images(const qrv::TGIFDocument& document)
{
    std::vector<const qrv::TGIFFrame*> images;
    for (const auto& frame : document.Frames)
        if (!frame->Empty())
            images.push_back(frame.get());
    return images;
}

void ExpectSame(const qrv::TGIFDocument& saved, const qrv::TGIFDocument& read)
{
    Require(saved.Width() == read.Width() && saved.Height() == read.Height());
    Require(saved.Header.ColorMap == read.Header.ColorMap);
    Require(Items(saved) == Items(read));
    const auto images = Images(saved), again = Images(read);
    Require(images.size() == again.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const qrv::TGIFFrame& frame = *images[i];
        const qrv::TGIFFrame& other = *again[i];
        Require(frame.Left == other.Left && frame.Top == other.Top && frame.Width() == other.Width() &&
                frame.Height() == other.Height());
        Require(frame.ColorMap == other.ColorMap);
        for (uint32_t y = 0; y < frame.Height(); ++y)
            Require(std::memcmp(frame.Row(y), other.Row(y), frame.Width()) == 0);
    }
}

// Optimising keeps what plays (screens small enough to compose quickly).
void ExpectSamePlayOptimised(const qrv::TGIFDocument& document)
{
    if (static_cast<size_t>(document.Width()) * document.Height() > 64 * 1024 || Images(document).empty())
        return;
    qrv::TMemoryStream saved;
    try {
        document.SaveToStream(saved);
    } catch (const qrv::Exception&) {
        return;
    }
    saved.SetPosition(0);
    qrv::TGIFDocument copy;
    LoadCapped(copy, saved);
    const auto before = qrv::GIFTimeline(copy);
    qrv::OptimizeGIF(copy, qrv::kAllGIFOptimizeSteps);
    Require(qrv::GIFTimeline(copy) == before);
    qrv::TMemoryStream output;
    copy.SaveToStream(output);
    output.SetPosition(0);
    qrv::TGIFDocument again;
    LoadCapped(again, output);
    Require(qrv::GIFTimeline(again) == before);
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
    ExpectSamePlayOptimised(document);
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
