// Any file shown as rich text has its nesting measured first: the measure
// never fails, never exceeds the braces, and the pieces it is fed in do not
// change it.
#include "viewers/RtfGroupDepth.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t whole = qrv::RtfGroupDepth(text);
    if (whole > static_cast<size_t>(std::count(text.begin(), text.end(), '{')))
        std::abort();
    // Cut at a place taken from the input itself.
    const size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    qrv::TRtfGroupDepth pieces;
    pieces.Feed(text.substr(0, cut));
    pieces.Feed(text.substr(cut));
    if (pieces.Deepest() != whole)
        std::abort();
    return 0;
}
