#pragma once
// Pixel memory of decoded pictures as DIB sections, so that decoded rows land in
// a bitmap GDI can use directly.

#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"
#include "imaging/PixelAllocator.h"

#include <cstdint>
#include <map>

namespace qrv {

class TDibSectionAllocator : public TPixelAllocator {
public:
    // Refuses images whose pixels take more than maxBytes.
    explicit TDibSectionAllocator(size_t maxBytes = SIZE_MAX) : maxBytes_(maxBytes) {}
    uint8_t* Allocate(const TPixelLayout& layout) override;
    void Release(uint8_t* pixels) override;
    // The section whose bits these are; nullptr for an empty image.
    HBITMAP SectionOf(const uint8_t* pixels) const;
    // Hands the section whose bits these are to the caller, who deletes it
    // (the bits live as long as the section); the allocator forgets it.
    // nullptr, with the memory released, for an empty image.
    HBITMAP TakeSection(uint8_t* pixels);

private:
    size_t maxBytes_;
    std::map<const uint8_t*, TGdiObject> sections_;
};

}  // namespace qrv
