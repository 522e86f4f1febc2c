#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Image.h"
#include "framework/win/Picture.h"
#include "framework/win/ScrollBox.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

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

// A graphic of frames of one colour each, with their delays.
class FramedGraphic : public TGraphic {
public:
    FramedGraphic(std::vector<COLORREF> colors, std::vector<int> delays)
        : colors_(std::move(colors)), delays_(std::move(delays))
    {}
    void Draw(HDC dc, const RECT& rect) override
    {
        const HBRUSH brush = CreateSolidBrush(colors_[static_cast<size_t>(frame_)]);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    bool Empty() const override { return false; }
    int Height() const override { return 10; }
    int Width() const override { return 10; }
    void SetHeight(int) override {}
    void SetWidth(int) override {}
    void LoadFromStream(TStream&) override {}
    void SaveToStream(TStream&) override {}
    void LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) override {}
    void SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) override {}
    int FrameCount() const override { return static_cast<int>(colors_.size()); }
    int Frame() const override { return frame_; }
    void SetFrame(int frame) override
    {
        frame_ = frame;
        shown.push_back(frame);
    }
    int FrameDelay(int frame) const override { return delays_[static_cast<size_t>(frame)]; }

    std::vector<int> shown;

private:
    std::vector<COLORREF> colors_;
    std::vector<int> delays_;
    int frame_ = 0;
};

}  // namespace

TEST(Image, HoldsAGraphicAndPlaysItsFramesWithTheirDelays)
{
    using namespace std::chrono_literals;
    TForm form(nullptr);
    auto* image = new TImage(&form);
    image->SetParent(&form);
    image->SetBounds(0, 0, 10, 10);
    form.HandleNeeded();
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    auto owned = std::make_unique<FramedGraphic>(std::vector<COLORREF>{red, green, blue}, std::vector<int>{20, 20, 20});
    FramedGraphic& graphic = *owned;
    image->SetGraphic(std::move(owned));
    EXPECT_EQ(image->Graphic(), &graphic);
    EXPECT_EQ(image->PictureSize().cx, 10);
    EXPECT_EQ(Snapshot(image->Handle(), 10, 10).Pixel(5, 5), red);
    // The timer turns the frames over, round and round.
    ASSERT_TRUE(test::PumpUntil([&] { return graphic.shown.size() >= 5; }, 5s));
    EXPECT_EQ((std::vector<int>(graphic.shown.begin(), graphic.shown.begin() + 5)), (std::vector<int>{0, 1, 2, 0, 1}));
    ASSERT_TRUE(test::PumpUntil([&] { return graphic.Frame() == 2; }, 5s));
    EXPECT_EQ(Snapshot(image->Handle(), 10, 10).Pixel(5, 5), blue);

    // A frame that stays for good ends the play.
    auto still = std::make_unique<FramedGraphic>(std::vector<COLORREF>{green, red}, std::vector<int>{0, 20});
    FramedGraphic& stays = *still;
    image->SetGraphic(std::move(still));
    // A third graphic with a timer of its own, to know the timer ran meanwhile.
    auto* other = new TImage(&form);
    other->SetParent(&form);
    other->HandleNeeded();
    auto witness = std::make_unique<FramedGraphic>(std::vector<COLORREF>{red, blue}, std::vector<int>{20, 20});
    FramedGraphic& running = *witness;
    other->SetGraphic(std::move(witness));
    ASSERT_TRUE(test::PumpUntil([&] { return running.shown.size() >= 4; }, 5s));
    EXPECT_EQ(stays.shown, std::vector<int>{0});
    EXPECT_EQ(Snapshot(image->Handle(), 10, 10).Pixel(5, 5), green);

    image->Clear();
    EXPECT_TRUE(image->Empty());
}

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
