#include "framework/win/ActnList.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/ImgList.h"
#include "framework/win/StdCtrls.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyGlyphCache.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace qrv;

namespace {

// A button whose repeat timer is a clock of the test's own, and whose
// painting the test can look at.
class TestButton : public TKyToolbarButton {
public:
    using TKyToolbarButton::TKyToolbarButton;
    std::vector<unsigned> started;  // the delays asked for
    int stops = 0;
    unsigned now = 0;  // ms since the press
    void Fire()
    {
        now += started.back();
        RepeatTimerFired();
    }
    COLORREF PixelAt(int x, int y)
    {
        const TWindowDC screen(nullptr, GetDC(nullptr));
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), Width(), Height()));
        const TSelectObject select(memory.Get(), bitmap.Get());
        Paint(memory.Get(), RECT{0, 0, Width(), Height()});
        return GetPixel(memory.Get(), x, y);
    }
    void PaintInto(HDC dc) { Paint(dc, RECT{0, 0, Width(), Height()}); }

protected:
    void StartRepeatTimer(unsigned ms) override { started.push_back(ms); }
    void StopRepeatTimer() override { ++stops; }
};

}  // namespace

TEST(ToolbarButton, RepeatingClicksOnPressAfterTheDelayAndEveryInterval)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* button = new TestButton(&form);
    button->SetParent(&form);
    button->SetRepeating(true);
    std::vector<unsigned> clicks;
    button->OnClick = [&](TComponent*) { clicks.push_back(button->now); };

    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(button->started, (std::vector<unsigned>{400}));
    button->Fire();
    button->Fire();
    EXPECT_EQ(clicks, (std::vector<unsigned>{0, 400, 500}));
    // Held outside the button it waits without clicking.
    SendMessageW(button->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    button->Fire();
    EXPECT_EQ(clicks.size(), 3u);
    SendMessageW(button->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    button->Fire();
    EXPECT_EQ(clicks.back(), 700u);
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks.size(), 4u) << "the release adds no click";
    EXPECT_GE(button->stops, 1);

    // A handler may free its button: the timer does not outlive it.
    button->OnClick = [&](TComponent*) {
        clicks.push_back(button->now);
        if (clicks.size() == 6)
            delete button;
    };
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    const HWND window = button->Handle();
    button->Fire();
    EXPECT_EQ(clicks.size(), 6u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(form.ControlCount(), 0);
}

TEST(ToolbarButton, HotTrackingFollowsTheMouseAndForgetsFreedButtons)
{
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    form.Show();
    SetActiveWindow(form.Handle());
    // Other test programs may hold the activation: these buttons track
    // the mouse either way.
    auto* first = new TKyToolbarButton(&form);
    first->SetShowBorderWhenInactive(true);
    first->SetParent(&form);
    auto* second = new TKyToolbarButton(&form);
    second->SetShowBorderWhenInactive(true);
    second->SetLeft(30);
    second->SetParent(&form);
    int enters = 0, exits = 0;
    first->OnMouseEnter = [&](TComponent*) { ++enters; };
    first->OnMouseExit = [&](TComponent*) { ++exits; };

    SendMessageW(first->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(TKyToolbarButton::HotButton(), first);
    EXPECT_EQ(first->State(), TButtonState::bsHot);
    SendMessageW(second->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(TKyToolbarButton::HotButton(), second);
    EXPECT_EQ(first->State(), TButtonState::bsUp);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);
    delete second;
    EXPECT_EQ(TKyToolbarButton::HotButton(), nullptr) << "a freed button is not the hot one";
}

TEST(ToolbarButton, GlyphListsAreSharedAndDisabledGlyphsEmbossed)
{
    TForm form(nullptr);
    form.HandleNeeded();
    const int listsBefore = GlyphListCount();
    // A 16 x 16 glyph: a red square 4..11 on white (white is transparent:
    // the bottom-left pixel).
    TBitmap glyph;
    glyph.SetSize(16, 16, clWhite);
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), glyph.Handle());
        const TGdiObject red(CreateSolidBrush(RGB(255, 0, 0)));
        RECT square{4, 4, 12, 12};
        FillRect(dc.Get(), &square, static_cast<HBRUSH>(red.Get()));
    }
    auto* a = new TestButton(&form);
    a->SetParent(&form);
    a->SetGlyph(&glyph);
    auto* b = new TestButton(&form);
    b->SetParent(&form);
    b->SetGlyph(&glyph);
    EXPECT_EQ(GlyphListCount(), listsBefore + 1) << "one list for the size";
    ASSERT_NE(FindGlyphList(16, 16), nullptr);
    EXPECT_EQ(FindGlyphList(16, 16)->UsedSlots(), 4) << "each button's image and its embossed copy";

    // The glyph sits at (3, 3) of the 23 x 22 button.
    EXPECT_EQ(a->PixelAt(3 + 8, 3 + 8), RGB(255, 0, 0));
    EXPECT_EQ(a->PixelAt(3 + 1, 3 + 1), GetSysColor(COLOR_BTNFACE)) << "transparent";
    a->SetEnabled(false);
    EXPECT_EQ(a->PixelAt(3 + 8, 3 + 8), GetSysColor(COLOR_BTNSHADOW)) << "the shape in shadow";
    EXPECT_EQ(a->PixelAt(3 + 12, 3 + 12), GetSysColor(COLOR_BTNHIGHLIGHT)) << "its highlight one pixel down and right";
    EXPECT_EQ(a->PixelAt(3 + 1, 3 + 1), GetSysColor(COLOR_BTNFACE));

    // Freed slots are taken again; the list goes with its last button.
    delete b;
    EXPECT_EQ(FindGlyphList(16, 16)->UsedSlots(), 2);
    a->SetGlyph(&glyph);
    EXPECT_EQ(FindGlyphList(16, 16)->UsedSlots(), 2);
    delete a;
    EXPECT_EQ(GlyphListCount(), listsBefore);

    // A five-image strip brings its own disabled image.
    TBitmap strip;
    strip.SetSize(80, 16, clWhite);
    auto* c = new TestButton(&form);
    c->SetParent(&form);
    c->SetGlyph(&strip);
    EXPECT_EQ(c->NumGlyphs(), 5);
    EXPECT_EQ(FindGlyphList(16, 16)->UsedSlots(), 5);

    // Images from an image list are embossed the same way.
    TImageList images(nullptr, 16, 16);
    TBitmap copy;
    copy.Assign(&glyph);
    images.AddMasked(copy, clWhite);
    auto* d = new TestButton(&form);
    d->SetParent(&form);
    d->SetImages(&images);
    d->SetImageIndex(0);
    d->SetEnabled(false);
    EXPECT_EQ(d->PixelAt(3 + 8, 3 + 8), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(d->PixelAt(3 + 12, 3 + 12), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST(ToolbarButton, TheMenuDropsBesideButtonsInSideDocks)
{
    TForm form(nullptr);
    form.SetBounds(50, 50, 500, 300);
    form.Show();
    auto dockAt = [&](TDockPosition position) {
        auto* dock = new TKyDock(&form);
        dock->SetPosition(position);
        dock->SetParent(&form);
        auto* bar = new TKyToolbar(&form);
        auto* button = new TKyToolbarButton(&form);
        button->SetParent(bar);
        bar->SetDockedTo(dock);
        return button;
    };
    struct Case {
        TDockPosition position;
        bool right;   // x from the button's right edge
        bool bottom;  // y from its bottom edge
        UINT alignment;
    };
    const Case cases[] = {
        {TDockPosition::dpTop, false, true, TPM_LEFTALIGN},
        {TDockPosition::dpBottom, false, true, TPM_LEFTALIGN},
        {TDockPosition::dpLeft, true, false, TPM_LEFTALIGN},
        {TDockPosition::dpRight, false, false, TPM_RIGHTALIGN},
    };
    for (const Case& c : cases) {
        TKyToolbarButton* button = dockAt(c.position);
        RECT r{};
        GetWindowRect(button->Handle(), &r);
        UINT alignment = 0;
        const POINT at = button->DropdownMenuPosition(alignment);
        EXPECT_EQ(at.x, c.right ? r.right : r.left) << int(c.position);
        EXPECT_EQ(at.y, c.bottom ? r.bottom : r.top) << int(c.position);
        EXPECT_EQ(alignment & (TPM_LEFTALIGN | TPM_RIGHTALIGN | TPM_CENTERALIGN), c.alignment) << int(c.position);
    }
}

namespace {

// The rows of a painted button that hold caption pixels (anything but the
// face), with the leftmost and rightmost such pixel of each.
struct TInkRow {
    int Y, Left, Right;
};
std::vector<TInkRow> InkRows(TestButton& button)
{
    const TWindowDC screen(nullptr, GetDC(nullptr));
    const TOwnDC memory(CreateCompatibleDC(screen.Get()));
    const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), button.Width(), button.Height()));
    const TSelectObject select(memory.Get(), bitmap.Get());
    button.PaintInto(memory.Get());
    const COLORREF face = GetPixel(memory.Get(), 0, 0);
    std::vector<TInkRow> rows;
    for (int y = 0; y < button.Height(); ++y) {
        TInkRow row{y, button.Width(), -1};
        for (int x = 0; x < button.Width(); ++x)
            if (GetPixel(memory.Get(), x, y) != face) {
                row.Left = std::min(row.Left, x);
                row.Right = std::max(row.Right, x);
            }
        if (row.Right >= 0)
            rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(ToolbarButton, AWordWrappedCaptionTakesLinesAlignedAsAsked)
{
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    form.Show();
    auto* button = new TestButton(&form);
    button->SetParent(&form);
    button->SetBounds(10, 10, 100, 60);
    button->SetCaption(L"Eins Zweiundzwanzig");
    const std::vector<TInkRow> single = InkRows(*button);
    ASSERT_FALSE(single.empty());
    const int lineHeight = single.back().Y - single.front().Y + 1;
    EXPECT_LT(lineHeight, 20) << "one line";
    EXPECT_TRUE(std::any_of(single.begin(), single.end(), [](const TInkRow& row) { return row.Left < 2; }))
        << "wider than the button: cut at both ends";

    button->SetWordWrap(true);
    const std::vector<TInkRow> wrapped = InkRows(*button);
    ASSERT_FALSE(wrapped.empty());
    EXPECT_GT(wrapped.back().Y - wrapped.front().Y + 1, lineHeight + lineHeight / 2) << "two lines";
    EXPECT_TRUE(std::all_of(wrapped.begin(), wrapped.end(), [](const TInkRow& row) { return row.Left > 2; }))
        << "each line fits";
    // The lines' ink: the first row is on the short first line, the last
    // on the long second one.
    auto lineEnds = [](const std::vector<TInkRow>& rows, bool first) {
        const int split = (rows.front().Y + rows.back().Y) / 2;
        TInkRow ends{0, 1000, -1};
        for (const TInkRow& row : rows)
            if ((row.Y < split) == first) {
                ends.Left = std::min(ends.Left, row.Left);
                ends.Right = std::max(ends.Right, row.Right);
            }
        return ends;
    };
    const TInkRow centreTop = lineEnds(wrapped, true);
    const TInkRow centreBottom = lineEnds(wrapped, false);
    EXPECT_GT(centreTop.Left, centreBottom.Left + 2) << "centred: the short line starts further in";
    EXPECT_LT(centreTop.Right, centreBottom.Right - 2);

    button->SetAlignment(TButtonAlignment::taLeftJustify);
    const std::vector<TInkRow> left = InkRows(*button);
    EXPECT_NEAR(lineEnds(left, true).Left, lineEnds(left, false).Left, 2);
    EXPECT_LT(lineEnds(left, true).Right, lineEnds(left, false).Right - 2);

    button->SetAlignment(TButtonAlignment::taRightJustify);
    const std::vector<TInkRow> right = InkRows(*button);
    EXPECT_NEAR(lineEnds(right, true).Right, lineEnds(right, false).Right, 2);
    EXPECT_GT(lineEnds(right, true).Left, lineEnds(right, false).Left + 2);
}

TEST(ToolbarButton, ADoubleClickOnADownButtonIsItsOwnEvent)
{
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    form.Show();
    auto* button = new TestButton(&form);
    button->SetParent(&form);
    button->SetBounds(10, 10, 23, 22);
    button->SetGroupIndex(1);
    button->SetAllowAllUp(true);
    int clicks = 0, doubleClicks = 0;
    button->OnClick = [&](TComponent*) { ++clicks; };
    button->OnDblClick = [&](TComponent*) { ++doubleClicks; };
    auto post = [&](UINT msg) {
        SendMessageW(button->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
    };
    // Up: the second press of a double click is a press like the first.
    post(WM_LBUTTONDOWN);
    post(WM_LBUTTONUP);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button->Down());
    post(WM_LBUTTONDBLCLK);
    post(WM_LBUTTONUP);
    EXPECT_EQ(doubleClicks, 1) << "it was down when double-clicked";
    EXPECT_EQ(clicks, 1) << "no click of its own";
    EXPECT_TRUE(button->Down());

    button->SetDown(false);
    post(WM_LBUTTONDBLCLK);
    post(WM_LBUTTONUP);
    EXPECT_EQ(doubleClicks, 1) << "up: a press";
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(button->Down());
}

TEST(ToolbarButton, AnActionLinksItsStatesAndClicks)
{
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    form.Show();
    TAction action(nullptr, nullptr);
    int executed = 0;
    action.OnExecute = [&](TComponent*) { ++executed; };
    auto* first = new TestButton(&form);
    first->SetParent(&form);
    first->SetGroupIndex(1);
    first->SetDown(true);
    auto* second = new TestButton(&form);
    second->SetParent(&form);
    second->SetGroupIndex(1);

    first->SetAction(&action);
    EXPECT_TRUE(action.Checked()) << "linking copies Down to the action";
    second->SetDown(true);
    EXPECT_FALSE(first->Down());
    EXPECT_FALSE(action.Checked()) << "released by its group: the action follows";
    action.SetChecked(true);
    EXPECT_TRUE(first->Down());
    EXPECT_FALSE(second->Down()) << "the action's check works through the group";
    action.SetEnabled(false);
    EXPECT_FALSE(first->Enabled());
    action.SetEnabled(true);
    action.SetHint(L"Ansicht");
    EXPECT_EQ(first->Hint(), L"Ansicht");

    // A click without OnClick executes the action; with OnClick that runs instead.
    first->Click();
    EXPECT_EQ(executed, 1);
    int clicks = 0;
    first->OnClick = [&](TComponent*) { ++clicks; };
    first->Click();
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(clicks, 1);

    // A button freed before its action: the action's changes no longer reach it.
    delete first;
    action.SetChecked(false);
    action.SetEnabled(false);
    EXPECT_TRUE(second->Enabled());
    {
        // An action freed before its button: the button forgets it.
        auto* third = new TestButton(&form);
        third->SetParent(&form);
        {
            TAction brief(nullptr, nullptr);
            third->SetAction(&brief);
            EXPECT_EQ(third->Action(), &brief);
        }
        EXPECT_EQ(third->Action(), nullptr);
        third->Click();  // nothing to execute
    }
}

TEST(ToolbarButton, TheOldDisabledStyleRecoloursTheStripsDisabledImage)
{
    TForm form(nullptr);
    form.HandleNeeded();
    // Two 16 x 16 images on magenta (transparent): up is a red square; the
    // disabled image has a silver square 2..7 and a grey one 8..13.
    TBitmap strip;
    strip.SetSize(32, 16, clWhite);
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), strip.Handle());
        auto fill = [&](RECT r, COLORREF colour) {
            const TGdiObject brush(CreateSolidBrush(colour));
            FillRect(dc.Get(), &r, static_cast<HBRUSH>(brush.Get()));
        };
        fill(RECT{0, 0, 32, 16}, RGB(255, 0, 255));
        fill(RECT{4, 4, 12, 12}, RGB(255, 0, 0));
        fill(RECT{16 + 2, 2, 16 + 8, 8}, RGB(192, 192, 192));
        fill(RECT{16 + 8, 8, 16 + 14, 14}, RGB(128, 128, 128));
    }
    auto* button = new TestButton(&form);
    button->SetParent(&form);
    button->SetGlyph(&strip);
    ASSERT_EQ(button->NumGlyphs(), 2);
    button->SetEnabled(false);
    // The glyph sits at (3, 3) of the 23 x 22 button.
    EXPECT_EQ(button->PixelAt(3 + 4, 3 + 4), RGB(192, 192, 192)) << "the image as it is";
    EXPECT_EQ(button->PixelAt(3 + 10, 3 + 10), RGB(128, 128, 128));

    button->SetOldDisabledStyle(true);
    EXPECT_EQ(button->PixelAt(3 + 4, 3 + 4), GetSysColor(COLOR_BTNHIGHLIGHT)) << "silver: highlight";
    EXPECT_EQ(button->PixelAt(3 + 10, 3 + 10), GetSysColor(COLOR_BTNSHADOW)) << "grey: shadow";
    EXPECT_EQ(button->PixelAt(3 + 0, 3 + 15), GetSysColor(COLOR_BTNFACE)) << "transparent still";
    button->SetEnabled(true);
    EXPECT_EQ(button->PixelAt(3 + 8, 3 + 8), RGB(255, 0, 0)) << "the other images untouched";
}

TEST(ToolbarButton, EnterEscAndAcceleratorsClickTheirButtonsUnlessTheFocusWantsTheKey)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    form.HandleNeeded();
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    const HWND memo = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_WANTRETURN, 0, 40, 100, 40,
                                      form.Handle(), nullptr, nullptr, nullptr);
    ASSERT_NE(memo, nullptr);
    std::vector<std::wstring> clicks;
    auto button = [&](const wchar_t* caption, TButtonDisplayMode mode) {
        auto* b = new TKyToolbarButton(&form);
        b->SetCaption(caption);
        b->SetDisplayMode(mode);
        b->SetParent(&form);
        b->OnClick = [&clicks, b](TComponent*) { clicks.push_back(b->Caption()); };
        return b;
    };
    auto* ok = button(L"OK", TButtonDisplayMode::dmTextOnly);
    ok->SetDefault(true);
    ok->SetModalResult(1);
    auto* cancel = button(L"&Abbrechen", TButtonDisplayMode::dmBoth);
    cancel->SetCancel(true);
    button(L"&Glyph", TButtonDisplayMode::dmGlyphOnly);
    auto deliver = [&](HWND to, UINT message, WPARAM key) {
        clicks.clear();
        PostMessageW(to, message, key, 0);
        Application->ProcessMessages();
        return clicks;
    };
    using Clicks = std::vector<std::wstring>;

    EXPECT_EQ(deliver(edit->Handle(), WM_KEYDOWN, VK_RETURN), Clicks{L"OK"});
    EXPECT_EQ(form.ModalResult(), 1) << "the click set the form's result";
    EXPECT_EQ(deliver(edit->Handle(), WM_KEYDOWN, VK_ESCAPE), Clicks{L"&Abbrechen"});
    EXPECT_EQ(deliver(memo, WM_KEYDOWN, VK_RETURN), Clicks{}) << "a multi-line edit keeps its Enter";
    EXPECT_EQ(deliver(edit->Handle(), WM_SYSCHAR, L'a'), Clicks{L"&Abbrechen"});
    EXPECT_EQ(deliver(edit->Handle(), WM_SYSCHAR, L'g'), Clicks{}) << "no caption shows beside the glyph";
    EXPECT_EQ(deliver(edit->Handle(), WM_SYSCHAR, L'x'), Clicks{});
    ok->SetEnabled(false);
    EXPECT_EQ(deliver(edit->Handle(), WM_KEYDOWN, VK_RETURN), Clicks{}) << "a disabled default button";
    ok->SetEnabled(true);
    ok->SetDefault(false);
    EXPECT_EQ(deliver(edit->Handle(), WM_KEYDOWN, VK_RETURN), Clicks{});
    DestroyWindow(memo);
}
