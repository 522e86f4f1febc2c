#include "imaging/win/DibSectionAllocator.h"

#include <cstdlib>
#include <cstring>

namespace qrv {

TDibSectionAllocator::~TDibSectionAllocator()
{
    for (auto& [pixels, section] : sections_)
        DeleteObject(section);
}

uint8_t* TDibSectionAllocator::Allocate(const TPixelLayout& layout)
{
    // GDI has no bitmap of no pixels: an empty image gets a byte of its own.
    if (layout.Width == 0 || layout.Height == 0)
        return static_cast<uint8_t*>(std::calloc(1, 1));
    if (layout.Size() > maxBytes_)
        return nullptr;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = static_cast<LONG>(layout.Width);
    info.header.biHeight = static_cast<LONG>(layout.Height);  // bottom-up
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(layout.BitsPerPixel);
    info.header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section)
            DeleteObject(section);
        return nullptr;
    }
    auto* pixels = static_cast<uint8_t*>(bits);
    std::memset(pixels, 0, layout.Size());
    sections_[pixels] = section;
    return pixels;
}

void TDibSectionAllocator::Release(uint8_t* pixels)
{
    const auto found = sections_.find(pixels);
    if (found == sections_.end()) {
        std::free(pixels);
        return;
    }
    DeleteObject(found->second);
    sections_.erase(found);
}

HBITMAP TDibSectionAllocator::SectionOf(const uint8_t* pixels) const
{
    const auto found = sections_.find(pixels);
    return found == sections_.end() ? nullptr : found->second;
}

HBITMAP TDibSectionAllocator::TakeSection(uint8_t* pixels)
{
    const auto found = sections_.find(pixels);
    if (found == sections_.end()) {
        Release(pixels);
        return nullptr;
    }
    HBITMAP section = found->second;
    sections_.erase(found);
    return section;
}

}  // namespace qrv
