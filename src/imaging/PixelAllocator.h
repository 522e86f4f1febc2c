#pragma once
// Where decoded pictures get their pixel memory: a bottom-up device-independent
// layout whose rows are padded to 4 bytes. Portable: on Windows the memory is a
// DIB section (imaging/win/DibSectionAllocator.h), so decoded rows land in a
// bitmap GDI can use directly; elsewhere it is plain heap memory.

#include <cstddef>
#include <cstdint>

namespace qrv {

// The shape of the pixel memory asked for.
struct TPixelLayout {
    uint32_t Width = 0;
    uint32_t Height = 0;
    int BitsPerPixel = 0;  // 1, 4, 8 or 24
    size_t BytesPerRow = 0;
    size_t Size() const { return BytesPerRow * Height; }
};

// Provides zero-filled pixel memory. Release is called with what Allocate
// returned before the allocator or the image goes.
class TPixelAllocator {
public:
    virtual ~TPixelAllocator() = default;
    // Returns nullptr when the memory cannot be had.
    virtual uint8_t* Allocate(const TPixelLayout& layout) = 0;
    virtual void Release(uint8_t* pixels) = 0;
};

// Plain heap memory, refusing images above a pixel-memory cap.
class THeapPixelAllocator : public TPixelAllocator {
public:
    explicit THeapPixelAllocator(size_t maxBytes = SIZE_MAX) : maxBytes_(maxBytes) {}
    uint8_t* Allocate(const TPixelLayout& layout) override;
    void Release(uint8_t* pixels) override;

private:
    size_t maxBytes_;
};

// Bytes of one bottom-up bitmap row, padded to 4 bytes.
inline size_t DibBytesPerRow(uint32_t width, int bitsPerPixel)
{
    return ((static_cast<size_t>(bitsPerPixel) * width + 31) / 32) * 4;
}

}  // namespace qrv
