#include "imaging/win/KyBitmap.h"

#include "framework/IgnoredError.h"
#include "framework/Streams.h"
#include "imaging/PcxDecoder.h"
#include "imaging/PnmDecoder.h"
#include "imaging/TargaDecoder.h"
#include "imaging/win/DibSectionAllocator.h"

#include <cstring>
#include <vector>

namespace qrv {

namespace {

int unitStarts = 0;

// A header asks for any size; pictures beyond this many bytes of pixels
// (16384 x 16384 at 32 bits) are refused before memory is taken for them.
constexpr size_t kMaxPixelBytes = size_t{1} << 30;

// The colour table of a DIB section, as many entries as its depth has.
std::vector<RGBQUAD> ColorTable(HBITMAP section, int bitsPerPixel)
{
    if (bitsPerPixel > 8)
        return {};
    std::vector<RGBQUAD> colors(size_t{1} << bitsPerPixel);
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), section);
    colors.resize(GetDIBColorTable(dc.Get(), 0, static_cast<UINT>(colors.size()), colors.data()));
    return colors;
}

}  // namespace

TPCXBitmap::TPCXBitmap() : TRasterBitmap(DecodePcx) {}
TTGABitmap::TTGABitmap() : TRasterBitmap(DecodeTga) {}
TPPMBitmap::TPPMBitmap() : TRasterBitmap(DecodePnm) {}

void TRasterBitmap::LoadFromStream(TStream& stream)
{
    bitmap_.SetHandle(nullptr);
    palette_.Reset();
    const std::string file = stream.ReadAll();
    auto allocator = std::make_shared<TDibSectionAllocator>(kMaxPixelBytes);
    const std::unique_ptr<TRasterImage> image =
        decoder_(std::span(reinterpret_cast<const uint8_t*>(file.data()), file.size()), allocator);
    HBITMAP section = allocator->SectionOf(image->Pixels());
    if (image->PaletteSize > 0) {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), section);
        static_assert(sizeof(TRasterColor) == sizeof(RGBQUAD));
        if (SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(image->PaletteSize),
                             reinterpret_cast<const RGBQUAD*>(image->Palette.data())) == 0)
            throw EInvalidGraphic(L"Die Farbtabelle des Bildes kann nicht gesetzt werden.");
    }
    bitmap_.SetHandle(allocator->TakeSection(image->ReleasePixels()));
}

void TRasterBitmap::SaveToStream(TStream& stream)
{
    DIBSECTION dib{};
    if (bitmap_.Empty() || GetObjectW(bitmap_.Handle(), sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits)
        throw EInvalidGraphicOperation(L"Ungültiges Bild");
    const std::vector<RGBQUAD> colors = ColorTable(bitmap_.Handle(), dib.dsBmih.biBitCount);
    BITMAPINFOHEADER header = dib.dsBmih;
    header.biSize = sizeof header;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(dib.dsBm.bmWidthBytes) * static_cast<DWORD>(dib.dsBm.bmHeight);
    header.biClrUsed = static_cast<DWORD>(colors.size());
    header.biClrImportant = 0;
    const DWORD colorBytes = static_cast<DWORD>(colors.size() * sizeof(RGBQUAD));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header + colorBytes;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    stream.WriteBuffer(&file, sizeof file);
    stream.WriteBuffer(&header, sizeof header);
    stream.WriteBuffer(colors.data(), colorBytes);
    stream.WriteBuffer(dib.dsBm.bmBits, header.biSizeImage);
}

HPALETTE TRasterBitmap::Palette()
{
    if (palette_ || bitmap_.Empty())
        return static_cast<HPALETTE>(palette_.Get());
    const std::vector<RGBQUAD> colors = ColorTable(bitmap_.Handle(), bitmap_.BitsPerPixel());
    if (colors.empty())
        return nullptr;
    // A LOGPALETTE with room for every entry.
    struct {
        WORD Version;
        WORD Count;
        PALETTEENTRY Entries[256];
    } logical{0x300, static_cast<WORD>(colors.size()), {}};
    for (size_t i = 0; i < colors.size(); ++i)
        logical.Entries[i] = {colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    palette_.Reset(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)));
    if (!palette_)
        TraceIgnoredFailure(L"raster picture: its logical palette", GetLastError());
    return static_cast<HPALETTE>(palette_.Get());
}

void StartKyBitmapUnit()
{
    if (unitStarts++ > 0)
        return;
    TPicture::RegisterFileFormat<TPCXBitmap>(L"PCX", L"Paintbrush");
    TPicture::RegisterFileFormat<TTGABitmap>(L"TGA", L"Targa");
    for (const wchar_t* extension : {L"PPM", L"PGM", L"PBM"})
        TPicture::RegisterFileFormat<TPPMBitmap>(extension, extension);
}

void EndKyBitmapUnit()
{
    if (unitStarts == 0 || --unitStarts > 0)
        return;
    TPicture::UnregisterGraphicClass<TPPMBitmap>();
    TPicture::UnregisterGraphicClass<TTGABitmap>();
    TPicture::UnregisterGraphicClass<TPCXBitmap>();
}

}  // namespace qrv
