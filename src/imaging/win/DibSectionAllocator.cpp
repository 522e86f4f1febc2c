#include "imaging/win/DibSectionAllocator.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace qrv {

uint8_t* TDibSectionAllocator::Allocate(const TPixelLayout& layout)
{
    // GDI has no bitmap of no pixels: an empty image gets a byte of its own.
    if (layout.Width == 0 || layout.Height == 0)
        return static_cast<uint8_t*>(std::calloc(1, 1));
    if (layout.Size() > maxBytes_)
        return nullptr;
    struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[256];
    } info{};
    info.Header.biSize = sizeof(BITMAPINFOHEADER);
    info.Header.biWidth = static_cast<LONG>(layout.Width);
    info.Header.biHeight = static_cast<LONG>(layout.Height);  // bottom-up
    info.Header.biPlanes = 1;
    info.Header.biBitCount = static_cast<WORD>(layout.BitsPerPixel);
    info.Header.biCompression = BI_RGB;
    void* bits = nullptr;
    TGdiObject section(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits)
        return nullptr;
    auto* pixels = static_cast<uint8_t*>(bits);
    std::memset(pixels, 0, layout.Size());
    sections_[pixels] = std::move(section);
    return pixels;
}

void TDibSectionAllocator::Release(uint8_t* pixels)
{
    const auto found = sections_.find(pixels);
    if (found == sections_.end()) {
        std::free(pixels);
        return;
    }
    sections_.erase(found);  // frees the section
}

HBITMAP TDibSectionAllocator::SectionOf(const uint8_t* pixels) const
{
    const auto found = sections_.find(pixels);
    return found == sections_.end() ? nullptr : static_cast<HBITMAP>(found->second.Get());
}

HBITMAP TDibSectionAllocator::TakeSection(uint8_t* pixels)
{
    const auto found = sections_.find(pixels);
    if (found == sections_.end()) {
        Release(pixels);
        return nullptr;
    }
    const auto section = static_cast<HBITMAP>(found->second.Release());
    sections_.erase(found);
    return section;
}

}  // namespace qrv
