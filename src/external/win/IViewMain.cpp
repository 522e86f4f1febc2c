// I_VIEW32.EXE: a stand-in for the external picture converter. Started with
// "/hidden" it keeps a hidden top-level window of class and title
// "IrfanView"; a WM_COPYDATA with data word 1 carries a file name (ANSI,
// zero-terminated), which it decodes with the system's imaging component
// (TIFF, JPEG, GIF, BMP, PNG, ICO and what else it offers) or its own anymap
// reader, and answers by putting the picture on the clipboard as CF_BITMAP
// (with CF_PALETTE for a picture that has a colour table), or a message as
// CF_TEXT, before the send returns 0. WM_CLOSE ends it.
//
// Knobs for tests, read from the environment at start:
//   QRV_IVIEW_DELAY_MS  wait this long before answering;
//   QRV_IVIEW_HANG      never answer (the window stops taking messages);
//   QRV_IVIEW_ERROR     answer every file with this text.

#include "framework/win/Handles.h"
#include "imaging/PixelAllocator.h"
#include "imaging/PnmDecoder.h"

#include <windows.h>

#include <wincodec.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr ULONG_PTR kFileNameData = 1;

std::wstring Environment(const wchar_t* Name)
{
    const DWORD size = GetEnvironmentVariableW(Name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(Name, value.data(), size));
    return value;
}

// A decoded picture: top-down 32-bit BGRX rows, and the colour table of a
// picture that has one.
struct TDecoded {
    UINT Width = 0;
    UINT Height = 0;
    std::vector<uint8_t> Pixels;
    std::vector<RGBQUAD> Palette;
};

std::wstring UpperExt(const std::wstring& Path)
{
    const size_t dot = Path.rfind(L'.');
    if (dot == std::wstring::npos || Path.find_first_of(L"\\/", dot) != std::wstring::npos)
        return {};
    std::wstring ext = Path.substr(dot);
    CharUpperBuffW(ext.data(), static_cast<DWORD>(ext.size()));
    return ext;
}

std::optional<TDecoded> DecodeAnymap(const std::wstring& Path)
{
    std::ifstream file(std::filesystem::path(Path), std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    try {
        const auto image = qrv::DecodePnm(bytes, std::make_shared<qrv::THeapPixelAllocator>(size_t{1} << 30));
        TDecoded decoded;
        decoded.Width = image->Width();
        decoded.Height = image->Height();
        decoded.Pixels.resize(size_t{decoded.Width} * decoded.Height * 4);
        for (uint32_t y = 0; y < decoded.Height; ++y)
            for (uint32_t x = 0; x < decoded.Width; ++x) {
                const qrv::TRgb rgb = image->PixelRgb(x, y);
                uint8_t* pixel = &decoded.Pixels[(size_t{y} * decoded.Width + x) * 4];
                pixel[0] = rgb.Blue;
                pixel[1] = rgb.Green;
                pixel[2] = rgb.Red;
            }
        for (int i = 0; i < image->PaletteSize; ++i) {
            const qrv::TRasterColor& c = image->Palette[static_cast<size_t>(i)];
            decoded.Palette.push_back(RGBQUAD{c.Blue, c.Green, c.Red, 0});
        }
        return decoded;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

template <class T>
struct TComRelease {
    void operator()(T* p) const
    {
        if (p)
            p->Release();
    }
};
template <class T>
using TCom = std::unique_ptr<T, TComRelease<T>>;

std::optional<TDecoded> DecodeWithSystem(const std::wstring& Path)
{
    IWICImagingFactory* rawFactory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&rawFactory))))
        return std::nullopt;
    TCom<IWICImagingFactory> factory(rawFactory);
    IWICBitmapDecoder* rawDecoder = nullptr;
    if (FAILED(factory->CreateDecoderFromFilename(Path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &rawDecoder)))
        return std::nullopt;
    TCom<IWICBitmapDecoder> decoder(rawDecoder);
    IWICBitmapFrameDecode* rawFrame = nullptr;
    if (FAILED(decoder->GetFrame(0, &rawFrame)))
        return std::nullopt;
    TCom<IWICBitmapFrameDecode> frame(rawFrame);
    TDecoded decoded;
    if (FAILED(frame->GetSize(&decoded.Width, &decoded.Height)) || decoded.Width == 0 || decoded.Height == 0 ||
        decoded.Width > 30000 || decoded.Height > 30000)
        return std::nullopt;
    // A picture with a colour table keeps it beside the bitmap.
    IWICPalette* rawPalette = nullptr;
    if (SUCCEEDED(factory->CreatePalette(&rawPalette))) {
        TCom<IWICPalette> palette(rawPalette);
        UINT count = 0;
        if (SUCCEEDED(frame->CopyPalette(palette.get())) && SUCCEEDED(palette->GetColorCount(&count)) && count > 0 &&
            count <= 256) {
            std::vector<WICColor> colors(count);
            UINT got = 0;
            if (SUCCEEDED(palette->GetColors(count, colors.data(), &got)))
                for (UINT i = 0; i < got; ++i)
                    decoded.Palette.push_back(RGBQUAD{static_cast<BYTE>(colors[i]), static_cast<BYTE>(colors[i] >> 8),
                                                      static_cast<BYTE>(colors[i] >> 16), 0});
        }
    }
    IWICBitmapSource* rawConverted = nullptr;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.get(), &rawConverted)))
        return std::nullopt;
    TCom<IWICBitmapSource> converted(rawConverted);
    const UINT stride = decoded.Width * 4;
    decoded.Pixels.resize(size_t{stride} * decoded.Height);
    if (FAILED(converted->CopyPixels(nullptr, stride, static_cast<UINT>(decoded.Pixels.size()), decoded.Pixels.data())))
        return std::nullopt;
    return decoded;
}

std::optional<TDecoded> Decode(const std::wstring& Path)
{
    const std::wstring ext = UpperExt(Path);
    if (ext == L".PNM" || ext == L".PPM" || ext == L".PGM" || ext == L".PBM")
        return DecodeAnymap(Path);
    return DecodeWithSystem(Path);
}

HBITMAP MakeBitmap(const TDecoded& Picture)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(Picture.Width);
    info.bmiHeader.biHeight = -static_cast<LONG>(Picture.Height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, Picture.Pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HPALETTE MakePalette(const std::vector<RGBQUAD>& Colors)
{
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + Colors.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(Colors.size());
    for (size_t i = 0; i < Colors.size(); ++i)
        palette->palPalEntry[i] = PALETTEENTRY{Colors[i].rgbRed, Colors[i].rgbGreen, Colors[i].rgbBlue, 0};
    return CreatePalette(palette);
}

void PutText(const std::string& Text)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1);
    if (!memory)
        return;
    std::memcpy(GlobalLock(memory), Text.c_str(), Text.size() + 1);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory))
        GlobalFree(memory);
}

std::string Ansi(const std::wstring& Text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, Text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_ACP, 0, Text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// Decodes the file and leaves the answer on the clipboard.
void Answer(HWND Window, const std::wstring& Path)
{
    const std::wstring error = Environment(L"QRV_IVIEW_ERROR");
    std::optional<TDecoded> picture;
    if (error.empty())
        picture = Decode(Path);
    if (!OpenClipboard(Window))
        return;
    EmptyClipboard();
    if (!error.empty()) {
        PutText(Ansi(error));
    } else if (!picture) {
        PutText(Ansi(L"Kann Datei nicht lesen: " + Path));
    } else if (qrv::TGdiObject bitmap(MakeBitmap(*picture)); bitmap) {
        // The clipboard owns what it took.
        if (SetClipboardData(CF_BITMAP, bitmap.Get()))
            static_cast<void>(bitmap.Release());
        if (!picture->Palette.empty())
            if (qrv::TGdiObject palette(MakePalette(picture->Palette));
                palette && SetClipboardData(CF_PALETTE, palette.Get()))
                static_cast<void>(palette.Release());
    } else {
        PutText("Nicht genug Speicher.");
    }
    CloseClipboard();
}

LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(LParam);
        if (!data || data->dwData != kFileNameData || !data->lpData || data->cbData == 0)
            return 1;
        // The name up to its zero, never past the block.
        const auto* bytes = static_cast<const char*>(data->lpData);
        const std::string name(bytes, strnlen(bytes, data->cbData));
        const int size = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
        std::wstring path(static_cast<size_t>(size), L'\0');
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), path.data(), size);
        if (!Environment(L"QRV_IVIEW_HANG").empty())
            for (;;)
                Sleep(INFINITE);
        if (const int delay = _wtoi(Environment(L"QRV_IVIEW_DELAY_MS").c_str()); delay > 0)
            Sleep(static_cast<DWORD>(delay));
        Answer(Window, path);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(Window, Message, WParam, LParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE Instance, HINSTANCE, PWSTR CommandLine, int Show)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = Instance;
    windowClass.lpszClassName = L"IrfanView";
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window = CreateWindowExW(0, L"IrfanView", L"IrfanView", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                                  300, nullptr, nullptr, Instance, nullptr);
    if (!window)
        return 1;
    // Only a start without "/hidden" shows the window.
    if (!wcsstr(CommandLine, L"/hidden"))
        ShowWindow(window, Show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return 0;
}
