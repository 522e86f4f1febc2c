// The external picture converter through the stand-in beside the test: the
// answers it gives (a picture, its message, none), a hung or a dead
// converter, a busy mutex, and the user's clipboard, which must come back
// as it was.

#include "mainwindow/win/PictureConverter.h"

#include "common/win/FileClipboard.h"
#include "common/win/KySyncObjs.h"
#include "framework/ScopeExit.h"
#include "framework/win/Forms.h"
#include "common/DropFilesBlock.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <chrono>
#include <cstring>
#include <map>
#include <thread>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

std::wstring BesideTest(const std::wstring& Name)
{
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring path = own;
    return path.substr(0, path.find_last_of(L'\\') + 1) + Name;
}

// A picture of Width x Height written by the system's TIFF encoder, each
// pixel's colour from its place.
struct TPixel {
    uint8_t Blue, Green, Red;
};
TPixel PixelAt(UINT x, UINT y)
{
    return {static_cast<uint8_t>(40 * x + 7), static_cast<uint8_t>(90 * y + 11), static_cast<uint8_t>(200 - 30 * x)};
}

void WriteTiff(const std::wstring& Path, UINT Width, UINT Height)
{
    using Microsoft::WRL::ComPtr;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
    ASSERT_HRESULT_SUCCEEDED(factory->CreateStream(&stream));
    ASSERT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(Path.c_str(), GENERIC_WRITE));
    ASSERT_HRESULT_SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatTiff, nullptr, &encoder));
    ASSERT_HRESULT_SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    ASSERT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(&frame, &options));
    ASSERT_HRESULT_SUCCEEDED(frame->Initialize(options.Get()));
    ASSERT_HRESULT_SUCCEEDED(frame->SetSize(Width, Height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ASSERT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
    ASSERT_TRUE(IsEqualGUID(format, GUID_WICPixelFormat24bppBGR));
    const UINT stride = (Width * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(size_t{stride} * Height);
    for (UINT y = 0; y < Height; ++y)
        for (UINT x = 0; x < Width; ++x) {
            const TPixel pixel = PixelAt(x, y);
            std::memcpy(&pixels[y * stride + x * 3], &pixel, 3);
        }
    ASSERT_HRESULT_SUCCEEDED(frame->WritePixels(Height, stride, static_cast<UINT>(pixels.size()), pixels.data()));
    ASSERT_HRESULT_SUCCEEDED(frame->Commit());
    ASSERT_HRESULT_SUCCEEDED(encoder->Commit());
}

// The bitmap's pixels, top-down BGRX.
std::vector<uint8_t> PixelsOf(HBITMAP Bitmap, int Width, int Height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> pixels(size_t(Width) * Height * 4);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, Bitmap, 0, Height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(rows, Height);
    return pixels;
}

// Everything on the clipboard as bytes, by format (bitmaps not included).
std::map<UINT, std::vector<uint8_t>> ClipboardBlocks(const std::vector<UINT>& Formats)
{
    std::map<UINT, std::vector<uint8_t>> blocks;
    if (!OpenClipboard(nullptr))
        return blocks;
    for (const UINT format : Formats)
        if (HANDLE data = GetClipboardData(format)) {
            const SIZE_T size = GlobalSize(data);
            const auto* bytes = static_cast<const uint8_t*>(GlobalLock(data));
            if (bytes)
                blocks[format].assign(bytes, bytes + size);
            GlobalUnlock(data);
        }
    CloseClipboard();
    return blocks;
}

std::vector<uint8_t> Bytes(const void* Data, size_t Size)
{
    const auto* bytes = static_cast<const uint8_t*>(Data);
    return {bytes, bytes + Size};
}

bool PutBlock(UINT Format, const std::vector<uint8_t>& Bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
    std::memcpy(GlobalLock(memory), Bytes.data(), Bytes.size());
    GlobalUnlock(memory);
    if (SetClipboardData(Format, memory))
        return true;
    GlobalFree(memory);
    return false;
}

class PictureConverterTest : public testing::Test {
protected:
    void SetUp() override
    {
        owner = CreateWindowExW(0, L"STATIC", L"owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        calls.Path = [] { return BesideTest(L"I_VIEW32.EXE"); };
        calls.Owner = [this] { return owner; };
        calls.Mutex = [this] { return &mutex; };
        calls.Folder = [] { return BesideTest(L""); };
        calls.Messages = [] { Application->ProcessMessages(); };
        WriteTiff(tiff, 3, 2);
    }
    void TearDown() override
    {
        converter.reset();
        for (const wchar_t* knob : {L"QRV_IVIEW_HANG", L"QRV_IVIEW_ERROR", L"QRV_IVIEW_DELAY_MS"})
            SetEnvironmentVariableW(knob, nullptr);
        DestroyWindow(owner);
    }
    TPictureConverter& Started()
    {
        converter = std::make_unique<TPictureConverter>(calls);
        EXPECT_TRUE(converter->Start());
        return *converter;
    }

    qrv::test::TestDir dir;
    const std::wstring tiff = dir.File(L"drei mal zwei.tif");
    HWND owner = nullptr;
    // A mutex of this test's own, so that no other program's use meets it.
    TMutex mutex{L"QrvConverterTest_" + std::to_wstring(GetCurrentProcessId())};
    TPictureConverterCalls calls;
    std::unique_ptr<TPictureConverter> converter;
};

TEST_F(PictureConverterTest, APictureComesBackWithItsExactPixels)
{
    TConvertResult result = Started().Convert(tiff, 3000, false);
    ASSERT_EQ(result.Outcome, TConvertOutcome::Picture) << result.Text;
    EXPECT_EQ(result.Width, 3);
    EXPECT_EQ(result.Height, 2);
    const std::vector<uint8_t> pixels = PixelsOf(static_cast<HBITMAP>(result.Bitmap.Get()), 3, 2);
    for (UINT y = 0; y < 2; ++y)
        for (UINT x = 0; x < 3; ++x) {
            const TPixel expected = PixelAt(x, y);
            const uint8_t* got = &pixels[(y * 3 + x) * 4];
            EXPECT_EQ(got[0], expected.Blue) << x << "," << y;
            EXPECT_EQ(got[1], expected.Green) << x << "," << y;
            EXPECT_EQ(got[2], expected.Red) << x << "," << y;
        }
}

TEST_F(PictureConverterTest, AFileItCannotReadBringsItsOwnMessage)
{
    const std::wstring bad = dir.Write(L"kaputt.tif", "II*\0 dies ist kein Bild");
    const TConvertResult result = Started().Convert(bad, 3000, false);
    ASSERT_EQ(result.Outcome, TConvertOutcome::ConverterMessage);
    EXPECT_NE(result.Text.find(L"kaputt.tif"), std::wstring::npos) << result.Text;
    SetEnvironmentVariableW(L"QRV_IVIEW_ERROR", L"Grafikfehler Nummer 7");
    converter.reset();
    EXPECT_EQ(Started().Convert(tiff, 3000, false).Text, L"Grafikfehler Nummer 7");
}

TEST_F(PictureConverterTest, AHungConverterIsACommunicationError)
{
    SetEnvironmentVariableW(L"QRV_IVIEW_HANG", L"1");
    TPictureConverter& hung = Started();
    hung.SendTimeout = 2000;
    const DWORD process = hung.ProcessId();
    EXPECT_EQ(hung.Convert(tiff, 3000, false).Outcome, TConvertOutcome::CommunicationError);
    // The hung stand-in takes no WM_CLOSE: it is ended here.
    TKernelHandle handle(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process));
    ASSERT_TRUE(handle);
    TerminateProcess(handle.Get(), 0);
    WaitForSingleObject(handle.Get(), 5000);
}

TEST_F(PictureConverterTest, WhileAnotherHoldsTheMutexNothingIsConverted)
{
    TPictureConverter& running = Started();
    PutTextOnClipboard(owner, u"bleibt");
    std::atomic<bool> held = false;
    std::atomic<bool> done = false;
    std::thread other([&] {
        TMutex same(L"QrvConverterTest_" + std::to_wstring(GetCurrentProcessId()));
        held = same.Get(1000);
        while (!done)
            Sleep(10);
        static_cast<void>(same.Release());
    });
    ScopeExit join([&] {
        done = true;
        other.join();
    });
    ASSERT_TRUE(test::PumpUntil([&] { return held.load(); }, 2s));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(running.Convert(tiff, 3000, false).Outcome, TConvertOutcome::Busy);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2900ms);
    EXPECT_EQ(ReadClipboardText(owner), std::u16string(u"bleibt"));
}

TEST_F(PictureConverterTest, TheUsersClipboardComesBackAsItWas)
{
    const UINT registered = RegisterClipboardFormatW(L"Quorvan Testformat");
    const UINT dropEffect = RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
    const std::u16string text = u"Grüße €";
    const std::vector<uint8_t> unicode = Bytes(text.c_str(), (text.size() + 1) * 2);
    const std::vector<uint8_t> custom{1, 2, 3, 0, 255, 9};
    // A 2 x 1 DIB.
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + 8);
    BITMAPINFOHEADER header{sizeof header, 2, 1, 1, 32, BI_RGB};
    std::memcpy(dib.data(), &header, sizeof header);
    for (size_t i = 0; i < 8; ++i)
        dib[sizeof header + i] = static_cast<uint8_t>(17 * i + 3);
    // The program's cut list: the files and the move effect.
    const std::wstring cut = dir.Write(L"verschoben.txt", "x");
    std::vector<uint8_t> hdrop(sizeof(DROPFILES));
    DROPFILES files{sizeof(DROPFILES), {}, FALSE, TRUE};
    std::memcpy(hdrop.data(), &files, sizeof files);
    const std::vector<uint8_t> name = Bytes(cut.c_str(), (cut.size() + 1) * 2);
    hdrop.insert(hdrop.end(), name.begin(), name.end());
    hdrop.insert(hdrop.end(), {0, 0});
    const DWORD move = DROPEFFECT_MOVE;
    const std::vector<uint8_t> effect = Bytes(&move, sizeof move);
    const std::map<UINT, std::vector<uint8_t>> before{
        {CF_UNICODETEXT, unicode}, {registered, custom}, {CF_DIB, dib}, {CF_HDROP, hdrop}, {dropEffect, effect}};
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    for (const auto& [format, bytes] : before)
        ASSERT_TRUE(PutBlock(format, bytes)) << format;
    CloseClipboard();
    std::vector<UINT> formats;
    for (const auto& [format, bytes] : before)
        formats.push_back(format);

    TPictureConverter& running = Started();
    const auto same = [&](const char* after) {
        const auto now = ClipboardBlocks(formats);
        for (const auto& [format, bytes] : before) {
            ASSERT_TRUE(now.count(format)) << after << ": format " << format << " lost";
            // Memory blocks may come back rounded up; the bytes put are the same.
            ASSERT_GE(now.at(format).size(), bytes.size()) << after;
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), now.at(format).begin()))
                << after << ": format " << format << " changed";
        }
        const auto files = ReadClipboardFiles(owner);
        ASSERT_TRUE(files) << after;
        EXPECT_EQ(files->Names, std::vector<std::wstring>{cut});
        EXPECT_EQ(PasteEffect(files->PreferredEffect), deMove) << after;
    };
    EXPECT_EQ(running.Convert(tiff, 3000, false).Outcome, TConvertOutcome::Picture);
    same("a display");
    EXPECT_EQ(running.Convert(tiff, 5000, true).Outcome, TConvertOutcome::Picture);
    same("a thumbnail");
    EXPECT_EQ(running.Convert(tiff, 5000, true).Outcome, TConvertOutcome::Picture);
    same("a second thumbnail");
    // Written meanwhile, the new contents are what comes back, not the
    // snapshot the thumbnails kept.
    ASSERT_NE(PutTextOnClipboard(owner, u"neu"), 0u);
    EXPECT_EQ(running.Convert(tiff, 5000, true).Outcome, TConvertOutcome::Picture);
    EXPECT_EQ(ReadClipboardText(owner), std::u16string(u"neu"));
}

TEST_F(PictureConverterTest, AKilledConverterNeverShowsTheUsersBitmap)
{
    TPictureConverter& running = Started();
    // The user's own bitmap on the clipboard.
    HDC screen = GetDC(nullptr);
    HBITMAP users = CreateCompatibleBitmap(screen, 5, 5);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    ASSERT_TRUE(SetClipboardData(CF_BITMAP, users));
    CloseClipboard();
    TKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, running.ProcessId()));
    ASSERT_TRUE(process);
    TerminateProcess(process.Get(), 0);
    ASSERT_EQ(WaitForSingleObject(process.Get(), 5000), WAIT_OBJECT_0);
    // The window goes with its process; wait for the system to see that.
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(running.Window()); }, 5s));
    const TConvertResult result = running.Convert(tiff, 3000, false);
    EXPECT_NE(result.Outcome, TConvertOutcome::Picture);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)) << "the user's bitmap went";
    // Started again, the next picture comes.
    ASSERT_TRUE(running.Start());
    EXPECT_EQ(running.Convert(tiff, 3000, false).Outcome, TConvertOutcome::Picture);
}

TEST_F(PictureConverterTest, NoConverterSetStartsNothing)
{
    calls.Path = [] { return std::wstring(); };
    TPictureConverter none(calls);
    EXPECT_FALSE(none.Start());
    EXPECT_EQ(none.Convert(tiff, 100, false).Outcome, TConvertOutcome::NotAvailable);
    calls.Path = [this] { return dir.File(L"fehlt.exe"); };
    EXPECT_FALSE(none.Start());
}

}  // namespace
