#pragma once
// The 14-byte file header of a Windows bitmap: where its pixels start, and
// which loader that offset calls for. Portable.

#include <cstdint>
#include <string_view>

namespace qrv {

// The data offset of a bitmap file from its first bytes (0 when fewer than
// the 14 header bytes are given).
uint32_t BitmapDataOffset(std::string_view header);
// Bitmaps whose pixels start after a full 256-colour table are loaded by the
// system's own loader.
constexpr uint32_t kLargestFrameworkBitmapOffset = 14 + 40 + 256 * 4;
inline bool BitmapNeedsSystemLoader(uint32_t dataOffset)
{
    return dataOffset > kLargestFrameworkBitmapOffset;
}

}  // namespace qrv
