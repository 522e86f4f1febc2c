#include "mainwindow/win/WicPicture.h"

#include "framework/win/Handles.h"
#include "framework/win/Picture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <limits>

namespace qrv {

using Microsoft::WRL::ComPtr;

HBITMAP LoadWicBitmap(const std::wstring& fileName)
{
    auto check = [&fileName](HRESULT result) {
        if (FAILED(result))
            throw EInvalidGraphic(L"Das Bild \"" + fileName + L"\" kann nicht gelesen werden.");
    };
    ComPtr<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
    ComPtr<IWICBitmapDecoder> decoder;
    check(factory->CreateDecoderFromFilename(fileName.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                             &decoder));
    ComPtr<IWICBitmapFrameDecode> frame;
    check(decoder->GetFrame(0, &frame));
    ComPtr<IWICFormatConverter> converter;
    check(factory->CreateFormatConverter(&converter));
    check(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom));
    UINT width = 0, height = 0;
    check(converter->GetSize(&width, &height));
    // A header cannot ask for more than a DIB section can hold.
    constexpr UINT64 maxBytes = std::numeric_limits<INT>::max();
    if (width == 0 || height == 0 || UINT64{width} * height * 4 > maxBytes)
        check(E_INVALIDARG);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        check(E_OUTOFMEMORY);
    check(converter->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits)));
    return static_cast<HBITMAP>(bitmap.Release());
}

}  // namespace qrv
