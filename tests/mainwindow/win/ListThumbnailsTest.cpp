// The lists' thumbnail view with the main window's picture sources: the
// program's own pictures, placed and framed in their thumbnails, JPEG at
// the adaptive scale, and the external converter through the stand-in
// beside the test, which leaves the user's clipboard as it was.

#include "mainwindow/win/ListThumbnails.h"

#include "common/win/FileClipboard.h"
#include "common/win/KySyncObjs.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Forms.h"
#include "framework/win/Picture.h"
#include "imaging/win/PNGObject.h"
#include "imaging/win/SystemPictures.h"
#include "mainwindow/win/PictureConverter.h"
#include "panels/ThumbnailLayout.h"
#include "panels/win/DirView.h"
#include "panels/win/KyImageList.h"
#include "settings/Quorvan32Globals.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <chrono>
#include <cstring>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;
using Microsoft::WRL::ComPtr;

namespace {

std::wstring BesideTest(const std::wstring& Name)
{
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring path = own;
    return path.substr(0, path.find_last_of(L'\\') + 1) + Name;
}

struct TBgr {
    uint8_t Blue, Green, Red;
    bool operator==(const TBgr&) const = default;
};

// A picture of one colour, or (Pattern) each pixel's colour from its place,
// written by the system's encoder.
void WritePicture(const std::wstring& Path, const GUID& Container, UINT Width, UINT Height, TBgr Colour,
                  bool Pattern = false)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
    ASSERT_HRESULT_SUCCEEDED(factory->CreateStream(&stream));
    ASSERT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(Path.c_str(), GENERIC_WRITE));
    ASSERT_HRESULT_SUCCEEDED(factory->CreateEncoder(Container, nullptr, &encoder));
    ASSERT_HRESULT_SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    ASSERT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(&frame, &options));
    ASSERT_HRESULT_SUCCEEDED(frame->Initialize(options.Get()));
    ASSERT_HRESULT_SUCCEEDED(frame->SetSize(Width, Height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ASSERT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
    const UINT stride = (Width * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(size_t{stride} * Height);
    for (UINT y = 0; y < Height; ++y)
        for (UINT x = 0; x < Width; ++x) {
            const TBgr c = Pattern ? TBgr{static_cast<uint8_t>(60 * x + 5), static_cast<uint8_t>(100 * y + 20),
                                          static_cast<uint8_t>(250 - 70 * x)}
                                   : Colour;
            std::memcpy(&pixels[y * stride + x * 3], &c, 3);
        }
    ASSERT_HRESULT_SUCCEEDED(frame->WritePixels(Height, stride, static_cast<UINT>(pixels.size()), pixels.data()));
    ASSERT_HRESULT_SUCCEEDED(frame->Commit());
    ASSERT_HRESULT_SUCCEEDED(encoder->Commit());
}

// One thumbnail's pixels, top-down.
class TThumbPixels {
public:
    TThumbPixels(const TKyImageList& List, int Index) : width_(List.Width()), height_(List.Height())
    {
        IMAGEINFO info{};
        EXPECT_TRUE(ImageList_GetImageInfo(List.Handle(), Index, &info));
        BITMAPINFO header{};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        BITMAP bitmap{};
        GetObjectW(info.hbmImage, sizeof bitmap, &bitmap);
        header.bmiHeader.biWidth = bitmap.bmWidth;
        header.bmiHeader.biHeight = -bitmap.bmHeight;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        stride_ = bitmap.bmWidth;
        left_ = info.rcImage.left;
        top_ = info.rcImage.top;
        pixels_.resize(size_t(bitmap.bmWidth) * bitmap.bmHeight * 4);
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, info.hbmImage, 0, bitmap.bmHeight, pixels_.data(), &header, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    }
    TBgr At(int X, int Y) const
    {
        const uint8_t* p = &pixels_[(size_t(top_ + Y) * stride_ + left_ + X) * 4];
        return {p[0], p[1], p[2]};
    }

private:
    int width_, height_, stride_ = 0, left_ = 0, top_ = 0;
    std::vector<uint8_t> pixels_;
};

TBgr FaceColour()
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return {GetBValue(face), GetGValue(face), GetRValue(face)};
}

class ListThumbnailsTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartPNGUnit();
        StartSystemPictureUnit();
        SetDefaultOptions(Options, TSystemFacts{});
        Options.IrfanViewPath = BesideTest(L"I_VIEW32.EXE");
        folder = dir.File(L"Bilder");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        calls.Path = [] { return Options.IrfanViewPath; };
        calls.Owner = [this] { return form ? form->Handle() : nullptr; };
        calls.Mutex = [this] { return &mutex; };
        calls.Folder = [] { return BesideTest(L""); };
        calls.Messages = [] { Application->ProcessMessages(); };
        converter = std::make_unique<TPictureConverter>(calls);
        thumbnails = std::make_unique<TListThumbnails>(Options, converter.get(), [] { return false; });

        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 900, 700);
        view = new TDirView(form.get());
        view->SetParent(form.get());
        view->SetAlign(TAlign::alClient);
        view->OnGetPicture = [this](TComponent*, const std::wstring& name, const std::shared_ptr<void>& pidl,
                                    TPicture& picture) { thumbnails->GetPicture(*view, name, pidl, picture); };
        form->Show();
    }
    void TearDown() override
    {
        form.reset();
        converter.reset();
        EndSystemPictureUnit();
        EndPNGUnit();
    }
    // Shows the folder as thumbnails and waits until every item has its own.
    void ShowThumbnails()
    {
        view->SetPath(folder);
        view->SetViewStyleEx(TViewStyleEx::vsxThumb);
        ASSERT_TRUE(test::PumpUntil(
            [&] {
                for (int i = 0; i < view->ItemCount(); ++i)
                    if (view->GetItemData(i)->ThumbIndex == 0)
                        return false;
                return true;
            },
            20s));
    }
    TThumbPixels Thumb(const std::wstring& Name) const
    {
        return TThumbPixels(*view->ThumbImageList(), view->FindFileItem(Name)->ThumbIndex);
    }

    qrv::test::TestDir dir;
    std::wstring folder;
    TMutex mutex{L"QrvThumbnailsTest_" + std::to_wstring(GetCurrentProcessId())};
    TPictureConverterCalls calls;
    std::unique_ptr<TPictureConverter> converter;
    std::unique_ptr<TListThumbnails> thumbnails;
    std::unique_ptr<TForm> form;
    TDirView* view = nullptr;
};

TEST_F(ListThumbnailsTest, PicturesArePlacedInTheirFramesAsTheRulesSay)
{
    const TBgr red{0, 0, 255};
    const TBgr blue{255, 0, 0};
    WritePicture(folder + L"\\klein.png", GUID_ContainerFormatPng, 50, 40, red);
    WritePicture(folder + L"\\breit.png", GUID_ContainerFormatPng, 1000, 500, blue);
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Ordner").c_str(), nullptr));
    ShowThumbnails();
    const int w = view->ThumbWidth();
    const int h = view->ThumbHeight();
    for (const auto& [name, colour, pw, ph] :
         {std::tuple{L"klein.png", red, 50, 40}, std::tuple{L"breit.png", blue, 1000, 500}}) {
        SCOPED_TRACE(WideToUtf8(name));
        const auto place = PlaceThumbnail(w, h, pw, ph, view->ThumbFrameSize(), true);
        ASSERT_TRUE(place);
        const TThumbPixels pixels = Thumb(name);
        const TThumbRect& r = place->Picture;
        // The picture fills its place, corners included; beyond its frame
        // the thumbnail is the button face.
        for (const auto& [x, y] : {std::pair{r.Left, r.Top}, std::pair{r.Right - 1, r.Bottom - 1},
                                   std::pair{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}})
            EXPECT_EQ(pixels.At(x, y), colour) << x << "," << y;
        EXPECT_EQ(pixels.At(place->FrameRect.Left - 1, (r.Top + r.Bottom) / 2), FaceColour());
        EXPECT_EQ(pixels.At((r.Left + r.Right) / 2, place->FrameRect.Top - 1), FaceColour());
    }
    // The folder shows an icon, not the empty frame.
    EXPECT_GT(view->FindFileItem(L"Ordner")->ThumbIndex, 0);
}

TEST_F(ListThumbnailsTest, JpegPicturesAreDecodedAtTheScaleTheLastOnesCalledFor)
{
    // At a quarter, 1,000 pixels come out 250 wide: more than twice the
    // thumbnail, the next JPEG is decoded at an eighth.
    WritePicture(folder + L"\\a_gross.jpg", GUID_ContainerFormatJpeg, 1000, 400, {90, 90, 90});
    view->SetPath(folder);
    view->SetViewStyleEx(TViewStyleEx::vsxThumb);
    ASSERT_TRUE(test::PumpUntil([&] { return view->FindFileItem(L"a_gross.jpg")->ThumbIndex > 0; }, 20s));
    EXPECT_EQ(thumbnails->JpegScale().Scale(), TJpegThumbScale::kStart + 1);
    // At an eighth, 600 pixels come out 75: narrower than the thumbnail, it
    // is decoded again at full size and the next starts a step finer.
    WritePicture(folder + L"\\b_klein.jpg", GUID_ContainerFormatJpeg, 600, 300, {90, 90, 90});
    view->ReloadDirectory();
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            const TFileRec* item = view->FindFileItem(L"b_klein.jpg");
            return item && item->ThumbIndex > 0;
        },
        20s));
    EXPECT_EQ(thumbnails->JpegScale().Scale(), TJpegThumbScale::kStart);
    EXPECT_EQ(JpegDecodeScale(), 0) << "the decoder is left at full size";
}

TEST_F(ListThumbnailsTest, ConvertedThumbnailsLeaveTheClipboardAsItWas)
{
    // A TIFF under an extension only the converter reads.
    WritePicture(folder + L"\\scan.pcd", GUID_ContainerFormatTiff, 3, 2, {}, true);
    ASSERT_NE(PutTextOnClipboard(nullptr, u"Grüße €"), 0u);
    ShowThumbnails();
    const auto place = PlaceThumbnail(view->ThumbWidth(), view->ThumbHeight(), 3, 2, view->ThumbFrameSize(), true);
    ASSERT_TRUE(place);
    const TThumbPixels pixels = Thumb(L"scan.pcd");
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const TBgr expected{static_cast<uint8_t>(60 * x + 5), static_cast<uint8_t>(100 * y + 20),
                                static_cast<uint8_t>(250 - 70 * x)};
            EXPECT_EQ(pixels.At(place->Picture.Left + x, place->Picture.Top + y), expected) << x << "," << y;
        }
    EXPECT_EQ(ReadClipboardText(nullptr), std::u16string(u"Grüße €"));
}

}  // namespace
