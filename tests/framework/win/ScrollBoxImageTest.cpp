#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Image.h"
#include "framework/win/ScrollBox.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// A bitmap of one colour.
HBITMAP SolidBitmap(int width, int height, COLORREF color)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT r{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// What a control paints, as a device context to read pixels from.
class Snapshot {
public:
    Snapshot(HWND window, int width, int height)
    {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~Snapshot()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

}  // namespace

TEST(Image, DrawsItsBitmapWhereTheFlagsSay)
{
    TForm form(nullptr);
    auto* image = new TImage(&form);
    image->SetParent(&form);
    image->SetBounds(0, 0, 100, 80);
    image->SetColor(clWhite);
    form.HandleNeeded();
    const COLORREF red = RGB(255, 0, 0);
    HBITMAP bitmap = SolidBitmap(20, 10, red);
    image->SetBitmap(bitmap);
    EXPECT_EQ(image->PictureSize().cx, 20);
    EXPECT_EQ(image->PictureSize().cy, 10);

    struct Case {
        const char* name;
        bool center, stretch;
        POINT red, white;
    };
    const Case cases[] = {
        {"top left", false, false, {5, 5}, {50, 40}},
        {"centred", true, false, {50, 40}, {5, 5}},
        {"stretched", false, true, {95, 75}, {-1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        image->SetCenter(c.center);
        image->SetStretch(c.stretch);
        Snapshot shot(image->Handle(), 100, 80);
        EXPECT_EQ(shot.Pixel(c.red.x, c.red.y), red);
        if (c.white.x >= 0) {
            EXPECT_EQ(shot.Pixel(c.white.x, c.white.y), RGB(255, 255, 255));
        }
    }

    image->Clear();
    EXPECT_TRUE(image->Empty());
    Snapshot empty(image->Handle(), 100, 80);
    EXPECT_EQ(empty.Pixel(95, 75), RGB(255, 255, 255));
    DeleteObject(bitmap);

    image->SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_GT(image->PictureSize().cx, 0);
    EXPECT_EQ(image->Bitmap(), nullptr);
}

TEST(ScrollBox, ScrollsChildrenThatReachBeyondIt)
{
    TForm form(nullptr);
    auto* box = new TScrollBox(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 120, 100);
    form.HandleNeeded();
    auto* tall = new TPanel(&form);
    tall->SetBounds(0, 0, 60, 300);
    tall->SetParent(box);  // the box fits its ranges when it lays out its children

    RECT client;
    GetClientRect(box->Handle(), &client);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(box->Handle(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 299);
    EXPECT_EQ(int(info.nPage), client.bottom);

    box->ScrollTo(0, 120);
    EXPECT_EQ(box->VertPosition(), 120);
    EXPECT_EQ(tall->Top(), -120);
    SendMessageW(box->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(box->VertPosition(), 300 - client.bottom) << "clamped to the content";
    EXPECT_EQ(tall->Top() + tall->Height(), client.bottom);
    box->ScrollTo(500, 0);
    EXPECT_EQ(box->HorzPosition(), 0) << "nothing to scroll sideways";
    EXPECT_EQ(tall->Top(), 0);

    tall->SetHeight(50);
    box->UpdateScrollBars();
    EXPECT_EQ(box->VertPosition(), 0);
    info = SCROLLINFO{sizeof info, SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(box->Handle(), SB_VERT, &info);
    EXPECT_EQ(info.nPage, 0u) << "no range when everything fits";
}
