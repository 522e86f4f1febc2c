// The first bytes of any file the display is asked to show: the content test
// and the bitmap header rule must hold their invariants on every input.
#include "imaging/BitmapFileHeader.h"
#include "viewers/TextFileKind.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qrv::TTextFileKind kind = qrv::ClassifyTextSample(bytes);
    // Only the sample counts: what follows it never changes the verdict.
    if (size > qrv::TextFileKindSampleSize &&
        !(qrv::ClassifyTextSample(bytes.substr(0, qrv::TextFileKindSampleSize)) == kind))
        std::abort();
    // Rich text and the marks are text; a file cannot be UTF-8 and UTF-16.
    if ((kind.RichText || kind.Unicode || kind.Utf8) && !kind.Text)
        std::abort();
    if (kind.Unicode && kind.Utf8)
        std::abort();
    // Line ends are only described for text.
    if (kind.LFOnly && !kind.Text)
        std::abort();

    const uint32_t offset = qrv::BitmapDataOffset(bytes);
    if (size < 14 && offset != 0)
        std::abort();
    (void)qrv::BitmapNeedsSystemLoader(offset);
    return 0;
}
