#include "imaging/BitmapFileHeader.h"

namespace qrv {

uint32_t BitmapDataOffset(std::string_view header)
{
    if (header.size() < 14)
        return 0;
    uint32_t offset = 0;
    for (int i = 3; i >= 0; --i)
        offset = offset << 8 | static_cast<unsigned char>(header[10 + i]);
    return offset;
}

}  // namespace qrv
