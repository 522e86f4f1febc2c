#pragma once
// Pixel memory of PNG images as DIB sections, so that decoded rows land in
// a bitmap GDI can use directly.

#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"
#include "imaging/PngImage.h"

#include <map>

namespace qrv {

class TDibSectionAllocator : public TPixelAllocator {
public:
    uint8_t* Allocate(const TPixelLayout& layout) override;
    void Release(uint8_t* pixels) override;
    // The section whose bits these are; nullptr for an empty image.
    HBITMAP SectionOf(const uint8_t* pixels) const;

private:
    std::map<const uint8_t*, TGdiObject> sections_;
};

}  // namespace qrv
