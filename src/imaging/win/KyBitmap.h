#pragma once
// The raster picture classes of ZSoft PCX, Truevision Targa and the portable
// anymaps (PBM, PGM, PPM). Each reads its file with the portable decoder
// straight into a DIB section that carries the file's colour table; from
// then on it is a bitmap like the others of imaging/win: drawn, copied to a
// bitmap or the clipboard, and saved as a Windows bitmap file.

#include "framework/win/Handles.h"
#include "imaging/RasterImage.h"
#include "imaging/win/SystemPictures.h"

#include <memory>
#include <span>

namespace qrv {

class TRasterBitmap : public TDecodedBitmapGraphic {
public:
    // Replaces the picture with the one the stream holds from its position on.
    // Throws ERasterFormat with the format's message for a file refused.
    void LoadFromStream(TStream& stream) override;
    // A Windows bitmap file of the pixels held; an empty picture raises
    // EInvalidGraphicOperation.
    void SaveToStream(TStream& stream) override;
    // The colour table as a logical palette; nullptr for true colour.
    HPALETTE Palette() override;
    // The DIB section held; nullptr when empty.
    HBITMAP Handle() const { return bitmap_.Handle(); }

protected:
    using TDecoder = std::unique_ptr<TRasterImage> (*)(std::span<const uint8_t>, std::shared_ptr<TPixelAllocator>);
    explicit TRasterBitmap(TDecoder decoder) : decoder_(decoder) {}

private:
    TDecoder decoder_;
    TGdiObject palette_;
};

class TPCXBitmap : public TRasterBitmap {
public:
    TPCXBitmap();
};

class TTGABitmap : public TRasterBitmap {
public:
    TTGABitmap();
};

class TPPMBitmap : public TRasterBitmap {
public:
    TPPMBitmap();
};

// The counted start and end of the unit: "PCX" ("Paintbrush"), "TGA"
// ("Targa"), "PPM", "PGM" and "PBM" registered with the picture framework.
void StartKyBitmapUnit();
void EndKyBitmapUnit();

}  // namespace qrv
