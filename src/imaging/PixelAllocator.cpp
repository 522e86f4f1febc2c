#include "imaging/PixelAllocator.h"

#include <cstdlib>

namespace qrv {

uint8_t* THeapPixelAllocator::Allocate(const TPixelLayout& layout)
{
    const size_t bytes = layout.Size();
    if (bytes > maxBytes_)
        return nullptr;
    // At least one byte, so that an empty image still has a distinct address.
    return static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
}

void THeapPixelAllocator::Release(uint8_t* pixels)
{
    std::free(pixels);
}

}  // namespace qrv
