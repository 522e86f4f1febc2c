#include "imaging/win/SystemPictures.h"

#include "framework/IgnoredError.h"
#include "framework/Streams.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <cstring>
#include <algorithm>
#include <atomic>
#include <limits>
#include <string_view>

namespace qrv {

using Microsoft::WRL::ComPtr;

namespace {

int unitStarts = 0;

[[noreturn]] void Unreadable()
{
    throw EInvalidGraphic(L"Das Bild kann nicht gelesen werden.");
}

void Check(HRESULT result)
{
    if (FAILED(result))
        Unreadable();
}

[[noreturn]] void ReadOnly()
{
    throw EConvertError(L"Dieses Bild kann nur angezeigt werden.");
}

uint16_t Word(std::string_view bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
}

uint32_t DWord(std::string_view bytes, size_t at)
{
    return Word(bytes, at) | static_cast<uint32_t>(Word(bytes, at + 2)) << 16;
}

// The image of an icon or cursor file's directory the screen wants: for an
// icon the one nearest the system's icon size with the most colours, for a
// cursor the first. Its bytes, with a cursor's hot spot before them as the
// system's resource format has it.
std::string ChosenImage(std::string_view file, bool cursor)
{
    constexpr size_t kHeader = 6, kEntry = 16;
    if (file.size() < kHeader || Word(file, 0) != 0 || Word(file, 2) != (cursor ? 2 : 1))
        Unreadable();
    const size_t count = Word(file, 4);
    if (count == 0 || file.size() < kHeader + count * kEntry)
        Unreadable();
    const int wanted = GetSystemMetrics(SM_CXICON);
    size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    int bestBits = -1;
    for (size_t i = 0; i < count && !cursor; ++i) {
        const size_t entry = kHeader + i * kEntry;
        const int width = static_cast<uint8_t>(file[entry]) ? static_cast<uint8_t>(file[entry]) : 256;
        const int bits = Word(file, entry + 6);
        const int distance = width > wanted ? width - wanted : wanted - width;
        if (distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = i;
            bestDistance = distance;
            bestBits = bits;
        }
    }
    const size_t entry = kHeader + best * kEntry;
    const uint32_t size = DWord(file, entry + 8);
    const uint32_t offset = DWord(file, entry + 12);
    if (size == 0 || offset > file.size() || size > file.size() - offset)
        Unreadable();
    std::string image;
    if (cursor)
        image.append(file.substr(entry + 4, 4));  // the hot spot: x, y
    image.append(file.substr(offset, size));
    return image;
}

// A 32-bit top-down DIB section of what the imaging component decodes.
std::atomic<int> jpegDecodeScale{0};

HBITMAP DecodeThroughImaging(std::string_view bytes, int scale = 0)
{
    if (bytes.empty() || bytes.size() > std::numeric_limits<DWORD>::max())
        Unreadable();
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(&stream));
    Check(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                       static_cast<DWORD>(bytes.size())));
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder));
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, &frame));
    ComPtr<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(&converter));
    Check(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom));
    UINT width = 0, height = 0;
    Check(converter->GetSize(&width, &height));
    // A smaller picture through the system's scaler; the decoder itself
    // reads the whole picture.
    ComPtr<IWICBitmapScaler> scaler;
    IWICBitmapSource* source = converter.Get();
    if (scale > 0) {
        const UINT step = 1u << scale;
        const UINT scaledWidth = (width + step - 1) / step;
        const UINT scaledHeight = (height + step - 1) / step;
        Check(factory->CreateBitmapScaler(&scaler));
        Check(scaler->Initialize(converter.Get(), scaledWidth, scaledHeight, WICBitmapInterpolationModeFant));
        source = scaler.Get();
        width = scaledWidth;
        height = scaledHeight;
    }
    // A header cannot ask for more than a DIB section can hold.
    constexpr UINT64 kMaxBytes = std::numeric_limits<INT>::max();
    if (width == 0 || height == 0 || UINT64{width} * height * 4 > kMaxBytes)
        Unreadable();
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
        Unreadable();
    Check(source->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits)));
    return static_cast<HBITMAP>(bitmap.Release());
}

// A screen-compatible copy of the picture as drawn, for the clipboard.
HBITMAP DrawnCopy(TGraphic& graphic)
{
    const TWindowDC screen(nullptr);
    TGdiObject copy(CreateCompatibleBitmap(screen.Get(), graphic.Width(), graphic.Height()));
    if (!copy)
        Unreadable();
    const TOwnDC dc(CreateCompatibleDC(screen.Get()));
    const TSelectObject select(dc.Get(), copy.Get());
    RECT whole{0, 0, graphic.Width(), graphic.Height()};
    FillRect(dc.Get(), &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    graphic.Draw(dc.Get(), whole);
    return static_cast<HBITMAP>(copy.Release());
}

}  // namespace

// ---- Icons and cursors -------------------------------------------------------

void TIconGraphic::Take(HICON icon)
{
    if (!icon)
        Unreadable();
    icon_.Reset(icon);
    width_ = height_ = 0;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return;
    // The icon's bitmaps are copies that are ours to delete.
    const TGdiObject mask(info.hbmMask);
    const TGdiObject color(info.hbmColor);
    BITMAP bitmap{};
    if (GetObjectW(info.hbmMask, sizeof bitmap, &bitmap)) {
        width_ = bitmap.bmWidth;
        height_ = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    }
}

void TIconGraphic::LoadFromStream(TStream& stream)
{
    const std::string file = stream.ReadAll();
    constexpr DWORD kVersion = 0x00030000;
    // An animated cursor is one RIFF file the system reads as a whole.
    if (IsCursor() && file.size() >= 12 && file.compare(0, 4, "RIFF") == 0 && file.compare(8, 4, "ACON") == 0) {
        if (file.size() > std::numeric_limits<DWORD>::max())
            Unreadable();
        Take(CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(file.data())),
                                      static_cast<DWORD>(file.size()), FALSE, kVersion, 0, 0, LR_DEFAULTCOLOR));
        return;
    }
    std::string image = ChosenImage(file, IsCursor());
    Take(CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()),
                                  IsCursor() ? FALSE : TRUE, kVersion, 0, 0,
                                  IsCursor() ? LR_DEFAULTCOLOR : LR_DEFAULTSIZE));
}

void TIconGraphic::Draw(HDC dc, const RECT& rect)
{
    if (icon_ && !DrawIconEx(dc, rect.left, rect.top, icon_.Get(), rect.right - rect.left, rect.bottom - rect.top, 0,
                             nullptr, DI_NORMAL))
        TraceIgnoredFailure(L"drawing an icon", GetLastError());
}

void TIconGraphic::SetHeight(int)
{
    ReadOnly();
}

void TIconGraphic::SetWidth(int)
{
    ReadOnly();
}

void TIconGraphic::SaveToStream(TStream&)
{
    ReadOnly();
}

void TIconGraphic::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE)
{
    ReadOnly();
}

void TIconGraphic::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette)
{
    data = DrawnCopy(*this);
    format = CF_BITMAP;
    palette = nullptr;
}

// ---- Decoded bitmaps ---------------------------------------------------------

void TDecodedBitmapGraphic::LoadFromStream(TStream& stream)
{
    bitmap_.SetHandle(DecodeThroughImaging(stream.ReadAll()));
}

void TJpegGraphic::LoadFromStream(TStream& stream)
{
    bitmap_.SetHandle(DecodeThroughImaging(stream.ReadAll(), jpegDecodeScale));
}

void SetJpegDecodeScale(int Scale)
{
    jpegDecodeScale = std::clamp(Scale, 0, 3);
}

int JpegDecodeScale()
{
    return jpegDecodeScale;
}

void TDecodedBitmapGraphic::AssignTo(TBitmap& target) const
{
    target.Assign(&bitmap_);
}

void TDecodedBitmapGraphic::Draw(HDC dc, const RECT& rect)
{
    if (bitmap_.Empty())
        return;
    const TOwnDC source(CreateCompatibleDC(dc));
    const TSelectObject select(source.Get(), bitmap_.Handle());
    SetStretchBltMode(dc, HALFTONE);
    if (!StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.Get(), 0, 0,
                    bitmap_.Width(), bitmap_.Height(), SRCCOPY))
        TraceIgnoredFailure(L"drawing a bitmap", GetLastError());
}

void TDecodedBitmapGraphic::SetHeight(int)
{
    ReadOnly();
}

void TDecodedBitmapGraphic::SetWidth(int)
{
    ReadOnly();
}

void TDecodedBitmapGraphic::SaveToStream(TStream&)
{
    ReadOnly();
}

void TDecodedBitmapGraphic::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE)
{
    if (format != CF_BITMAP || !data)
        ReadOnly();
    TBitmap source;
    source.SetHandle(static_cast<HBITMAP>(CopyImage(data, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (source.Empty())
        Unreadable();
    bitmap_.Assign(&source);
}

void TDecodedBitmapGraphic::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette)
{
    data = DrawnCopy(*this);
    format = CF_BITMAP;
    palette = nullptr;
}

void TBmpGraphic::LoadFromFile(const std::wstring& fileName)
{
    if (auto* bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0,
                                                       LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION))) {
        bitmap_.SetHandle(bitmap);
        return;
    }
    // A missing file is told apart from one the loader refused.
    TGraphic::LoadFromFile(fileName);
}

void StartSystemPictureUnit()
{
    if (unitStarts++ > 0)
        return;
    TPicture::RegisterFileFormat<TIconGraphic>(L"ICO", L"Symbol");
    TPicture::RegisterFileFormat<TCursorGraphic>(L"CUR", L"Mauszeiger");
    TPicture::RegisterFileFormat<TBmpGraphic>(L"BMP", L"Bitmap");
    TPicture::RegisterFileFormat<TBmpGraphic>(L"DIB", L"Bitmap");
    for (const wchar_t* extension : {L"JPG", L"JPEG", L"JPE"})
        TPicture::RegisterFileFormat<TJpegGraphic>(extension, L"JPEG");
}

void EndSystemPictureUnit()
{
    if (unitStarts == 0 || --unitStarts > 0)
        return;
    TPicture::UnregisterGraphicClass<TJpegGraphic>();
    TPicture::UnregisterGraphicClass<TBmpGraphic>();
    TPicture::UnregisterGraphicClass<TCursorGraphic>();
    TPicture::UnregisterGraphicClass<TIconGraphic>();
}

}  // namespace qrv
