#include "framework/SysUtils.h"
#include "framework/win/Bitmap.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/ImgList.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyDockCommon.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace qrv;

namespace {

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

RECT ClientOf(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

class DockTest : public testing::Test {
protected:
    void SetUp() override
    {
        form.SetBounds(0, 0, 600, 400);
        form.HandleNeeded();
        dock = new TKyDock(&form);
        dock->SetName(L"TopDock");
        dock->SetParent(&form);
        dock->OnInsertRemoveBar = [this](TComponent* sender, bool inserting, TKyCustomToolWindow* bar) {
            EXPECT_EQ(sender, dock);
            events.emplace_back(inserting, bar);
        };
    }

    // A toolbar with two buttons and a separator between them.
    TKyToolbar* Toolbar(const std::wstring& name)
    {
        auto* bar = new TKyToolbar(&form);
        bar->SetName(name);
        auto* first = new TKyToolbarButton(&form);
        first->SetParent(bar);
        auto* sep = new TKyToolbarSep(&form);
        sep->SetParent(bar);
        auto* second = new TKyToolbarButton(&form);
        second->SetParent(bar);
        return bar;
    }

    TForm form{nullptr};
    TKyDock* dock = nullptr;
    std::vector<std::pair<bool, TKyCustomToolWindow*>> events;
};

}  // namespace

TEST_F(DockTest, ArrangesToolbarsInRowsAndTakesTheirThickness)
{
    EXPECT_EQ(ClassOf(dock->Handle()), L"TKyDock");
    EXPECT_EQ(dock->Height(), 0) << "an empty dock takes no room";

    TKyToolbar* bar1 = Toolbar(L"Bar1");
    bar1->SetDockedTo(dock);
    EXPECT_EQ(ClassOf(bar1->Handle()), L"TKyToolbar");
    EXPECT_EQ(GetParent(bar1->Handle()), dock->Handle());
    // Buttons of 23 and a separator of 6 in a row 22 thick; 2 pixels of
    // border all round and a drag handle of 6 on the left.
    EXPECT_EQ(ClientOf(bar1->Handle()).right, 52);
    EXPECT_EQ(bar1->Width(), 62);
    EXPECT_EQ(bar1->Height(), 26);
    EXPECT_EQ(bar1->Controls(1)->Left(), 23);
    EXPECT_EQ(bar1->Controls(1)->Height(), 22) << "the separator spans the row";
    EXPECT_EQ(bar1->Controls(2)->Left(), 29);
    EXPECT_EQ(dock->Height(), 26);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].first);
    EXPECT_EQ(events[0].second, bar1);

    TKyToolbar* bar2 = Toolbar(L"Bar2");
    bar2->SetDockPos(200);
    bar2->SetDockedTo(dock);
    EXPECT_EQ(bar2->Left(), 200);
    EXPECT_EQ(bar2->Top(), 0);
    bar2->SetDockRow(1);
    EXPECT_EQ(bar2->DockRow(), 1);
    EXPECT_EQ(bar2->Top(), 26);
    EXPECT_EQ(dock->Height(), 52);
    EXPECT_EQ(dock->RowThickness(1), 22);
    bar2->SetDockRow(999);  // the main window's "last row"
    EXPECT_EQ(bar2->DockRow(), 1) << "empty rows in between are closed";

    bar2->SetVisible(false);
    EXPECT_EQ(dock->Height(), 26);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_FALSE(events[2].first);
    EXPECT_EQ(events[2].second, bar2);

    // Requests while the dock's update runs are carried out once at its end.
    dock->BeginUpdate();
    bar2->SetVisible(true);
    EXPECT_EQ(dock->Height(), 26);
    dock->EndUpdate();
    EXPECT_EQ(dock->Height(), 52);

    dock->SetBoundLines(blTop | blBottom);
    EXPECT_EQ(dock->BoundLines(), TDockBoundLines(blTop | blBottom));
    EXPECT_EQ(dock->Height(), 54);
    EXPECT_EQ(ClientOf(dock->Handle()).bottom, 52) << "the lines lie outside the client area";
}

TEST_F(DockTest, AToolbarArrangesItsControlsAtTheEndOfItsUpdate)
{
    TKyToolbar* bar = Toolbar(L"Bar");
    bar->SetDockedTo(dock);
    auto* first = static_cast<TKyToolbarButton*>(bar->Controls(0));

    bar->BeginUpdate();
    first->SetWidth(40);
    first->SetHeight(30);
    EXPECT_EQ(bar->Width(), 62) << "suspended";
    bar->EndUpdate();
    EXPECT_EQ(bar->Width(), 79);
    EXPECT_EQ(bar->Height(), 34);
    EXPECT_EQ(dock->Height(), 34) << "the dock follows its toolbar";
    EXPECT_EQ(bar->Controls(2)->Top(), 4) << "smaller controls are centred in the row";

    bar->Controls(2)->SetVisible(false);
    EXPECT_EQ(bar->Width(), 56);

    bar->SetDragHandleStyle(TDragHandleStyle::dhNone);
    EXPECT_EQ(bar->DragHandleStyle(), TDragHandleStyle::dhNone);
    EXPECT_EQ(bar->Width(), 50);
    EXPECT_EQ(ClientOf(bar->Handle()).right, 46);
    bar->SetDragHandleStyle(TDragHandleStyle::dhDouble);
    EXPECT_EQ(bar->Width(), 59);

    bar->SetBorderStyle(TToolWindowBorderStyle::bsNone);
    EXPECT_EQ(bar->BorderStyle(), TToolWindowBorderStyle::bsNone);
    bar->SetDockMode(TToolWindowDockMode::dmCannotFloat);
    EXPECT_EQ(bar->DockMode(), TToolWindowDockMode::dmCannotFloat);
    bar->SetHint(L"Datei");
    bar->SetCaption(L"Dateianzeige");
    EXPECT_EQ(bar->Hint(), L"Datei");
    wchar_t text[32] = L"";
    GetWindowTextW(bar->Handle(), text, 32);
    EXPECT_STREQ(text, L"Dateianzeige");

    bar->SetFullSize(true);
    EXPECT_EQ(bar->Width(), dock->ClientLength());
    EXPECT_EQ(dock->ClientLength(), form.ClientWidth());
}

TEST_F(DockTest, PlacementRulesAndHookClients)
{
    const int clients = ToolWindowHookClientRefCount(ProcessToolWindowHookEvent);
    TKyToolbar* bar = Toolbar(L"Bar");
    EXPECT_EQ(ToolWindowHookClientRefCount(ProcessToolWindowHookEvent), clients + 1);

    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    EXPECT_THROW(bar->SetParent(panel), EInvalidOperation);
    auto* unowned = new TKyToolbar(nullptr);
    EXPECT_THROW(unowned->SetDockedTo(nullptr), EInvalidOperation) << "no form to float above";
    delete unowned;
    auto* sep = new TKyToolbarSep(&form);
    EXPECT_THROW(sep->SetParent(panel), EInvalidOperation);

    bar->SetDockedTo(dock);
    auto* inner = new TKyDock(&form);
    EXPECT_THROW(inner->SetParent(bar), EInvalidOperation);
    EXPECT_THROW(dock->SetPosition(TDockPosition::dpLeft), EInvalidOperation) << "it holds a toolbar";

    // A vertical dock lines the controls up downwards.
    auto* left = new TKyDock(&form);
    left->SetPosition(TDockPosition::dpLeft);
    left->SetParent(&form);
    EXPECT_EQ(left->Align(), TAlign::alLeft);
    bar->SetDockedTo(left);
    EXPECT_EQ(GetParent(bar->Handle()), left->Handle());
    EXPECT_EQ(dock->Height(), 0) << "the old dock is empty again";
    EXPECT_EQ(bar->Controls(2)->Top(), 28);
    EXPECT_EQ(bar->Controls(2)->Left(), 0);
    EXPECT_EQ(bar->Height(), 2 + 6 + 50 + 2) << "the drag handle is on top";
    EXPECT_EQ(left->Width(), 27) << "row of 23 plus 4";

    delete bar;
    EXPECT_EQ(ToolWindowHookClientRefCount(ProcessToolWindowHookEvent), clients);
    EXPECT_EQ(left->Width(), 0);

    // A toolbar taken out of its dock remembers the dock until it goes.
    TKyToolbar* loose = Toolbar(L"Loose");
    loose->SetDockedTo(dock);
    events.clear();
    loose->SetParent(nullptr);
    EXPECT_FALSE(loose->Docked());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].first);
    EXPECT_EQ(loose->LastDock(), dock);
    delete dock;
    dock = nullptr;
    EXPECT_EQ(loose->LastDock(), nullptr);
}

TEST(ToolbarButton, GroupsPropertiesAndClicks)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    form.HandleNeeded();
    auto make = [&](int group) {
        auto* button = new TKyToolbarButton(&form);
        button->SetGroupIndex(group);
        button->SetParent(&form);
        return button;
    };
    TKyToolbarButton* a = make(1);
    TKyToolbarButton* b = make(1);
    TKyToolbarButton* other = make(2);
    TKyToolbarButton* plain = make(0);
    EXPECT_EQ(ClassOf(a->Handle()), L"TKyToolbarButton");
    EXPECT_EQ(a->Width(), 23);
    EXPECT_EQ(a->Height(), 22);
    EXPECT_EQ(a->DropdownArrowWidth(), 9);

    other->SetDown(true);
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down()) << "a grouped button releases the others";
    EXPECT_TRUE(b->Down());
    EXPECT_TRUE(other->Down()) << "another group is left alone";
    b->SetDown(false);
    EXPECT_TRUE(b->Down()) << "without AllowAllUp one button stays down";
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp()) << "the group shares AllowAllUp";
    b->SetDown(false);
    EXPECT_FALSE(b->Down());
    plain->SetDown(true);
    EXPECT_FALSE(plain->Down()) << "a button without a group never stays down";

    // A full click with the mouse presses a grouped button.
    int clicks = 0;
    a->OnClick = [&](TComponent* sender) {
        EXPECT_EQ(sender, a);
        ++clicks;
    };
    b->SetAllowAllUp(false);
    b->SetDown(true);
    SendMessageW(a->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(a->State(), TButtonState::bsDown);
    SendMessageW(a->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(a->Down());
    EXPECT_FALSE(b->Down());
    // Released outside: no click.
    SendMessageW(a->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(a->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 5));
    SendMessageW(a->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(50, 5));
    EXPECT_EQ(clicks, 1);

    // The arrow part of a combo button drops down instead of clicking.
    plain->SetDropdownCombo(true);
    plain->SetWidth(23 + plain->DropdownArrowWidth());
    int drops = 0, plainClicks = 0;
    plain->OnClick = [&](TComponent*) { ++plainClicks; };
    plain->OnDropdown = [&](TComponent*, bool& showMenu, bool&) {
        EXPECT_FALSE(showMenu) << "no menu is set";
        ++drops;
    };
    SendMessageW(plain->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(plain->Width() - 3, 5));
    SendMessageW(plain->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(plain->Width() - 3, 5));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(plainClicks, 0);
    SendMessageW(plain->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(plain->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(plainClicks, 1);
    EXPECT_EQ(drops, 1);

    other->SetEnabled(false);
    EXPECT_EQ(other->State(), TButtonState::bsDisabled);
    EXPECT_FALSE(IsWindowEnabled(other->Handle()));
}

TEST(ToolbarButton, GlyphsImagesAndDisplayModes)
{
    TForm form(nullptr);
    form.Show();
    auto* button = new TKyToolbarButton(&form);
    button->SetParent(&form);

    TBitmap strip;
    strip.SetSize(80, 16);
    button->SetGlyph(&strip);
    EXPECT_EQ(button->NumGlyphs(), 5) << "80 x 16 holds five images";
    EXPECT_EQ(button->Glyph().Width(), 80);
    TBitmap wide;
    wide.SetSize(96, 16);
    button->SetGlyph(&wide);
    EXPECT_EQ(button->NumGlyphs(), 1) << "96 x 16 counts as one";
    TBitmap mask;
    mask.SetSize(96, 16, clBlack);
    button->SetGlyphMask(&mask);
    EXPECT_EQ(button->GlyphMask().Width(), 96);

    auto* images = new TImageList(&form, 16, 16);
    TBitmap image;
    image.SetSize(32, 16, clRed);
    EXPECT_EQ(images->AddMasked(image, clWhite), 0);
    EXPECT_EQ(images->Count(), 2) << "a strip gives one image per 16 pixels";
    button->SetImages(images);
    button->SetImageIndex(1);
    EXPECT_EQ(button->Images(), images);
    EXPECT_EQ(button->ImageIndex(), 1);

    for (TButtonDisplayMode mode :
         {TButtonDisplayMode::dmGlyphOnly, TButtonDisplayMode::dmTextOnly, TButtonDisplayMode::dmBoth}) {
        button->SetDisplayMode(mode);
        EXPECT_EQ(button->DisplayMode(), mode);
    }
    button->SetSpacing(2);
    EXPECT_EQ(button->Spacing(), 2);
    button->SetCaption(L"F3 Ansicht");
    UpdateWindow(button->Handle());  // paints glyph and caption without failing
    ValidateRect(button->Handle(), nullptr);
    button->SetDown(false);
    button->SetDisplayMode(TButtonDisplayMode::dmGlyphOnly);
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(button->Handle(), &update, FALSE)) << "a new display mode repaints";

    delete images;
    EXPECT_EQ(button->Images(), nullptr) << "a freed image list is forgotten";
}

TEST_F(DockTest, TheBackgroundIsTiledFromTheParentsOriginAndItsKeyCanShowTheColour)
{
    Toolbar(L"Datei")->SetDockedTo(dock);
    dock->SetBoundLines(blTop);  // the client starts 1 pixel below the form's
    // 4 x 4: rows 0 and 1 red, rows 2 and 3 blue (the key: bottom-left).
    TBitmap tile;
    tile.SetSize(4, 4, clWhite);
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), tile.Handle());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                SetPixel(dc.Get(), x, y, y < 2 ? RGB(255, 0, 0) : RGB(0, 0, 255));
    }
    EXPECT_FALSE(dock->HasBackground());
    dock->SetBackground(&tile);
    ASSERT_TRUE(dock->HasBackground());
    auto erased = [&](int x, int y) {
        const TWindowDC screen(nullptr, GetDC(nullptr));
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), 16, 16));
        const TSelectObject select(memory.Get(), bitmap.Get());
        SendMessageW(dock->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), 0);
        return GetPixel(memory.Get(), x, y);
    };
    // Client row 0 is the form's row 1: the tile's row 1.
    EXPECT_EQ(erased(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(erased(3, 1), RGB(0, 0, 255));
    EXPECT_EQ(erased(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(erased(1, 3), RGB(255, 0, 0));
    EXPECT_EQ(erased(9, 4), RGB(255, 0, 0)) << "the next tile down";

    dock->SetBackgroundTransparent(true);
    EXPECT_EQ(erased(3, 1), ColorToRGB(dock->Color())) << "the key shows the dock's colour";
    EXPECT_EQ(erased(0, 0), RGB(255, 0, 0));
    dock->SetBackground(nullptr);
    EXPECT_FALSE(dock->HasBackground());
}

TEST_F(DockTest, ADockedToolbarPrintsItsBorderWithTheDocksBackground)
{
    auto* bar = Toolbar(L"Datei");
    bar->SetDockedTo(dock);
    bar->SetBorderStyle(TToolWindowBorderStyle::bsNone);
    TBitmap tile;
    tile.SetSize(2, 2, clWhite);
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), tile.Handle());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                SetPixel(dc.Get(), x, y, RGB(0, 128, 0));
    }
    auto printed = [&](int x, int y) {
        const TWindowDC screen(nullptr, GetDC(nullptr));
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), bar->Width(), bar->Height()));
        const TSelectObject select(memory.Get(), bitmap.Get());
        SendMessageW(bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()),
                     PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
        return GetPixel(memory.Get(), x, y);
    };
    // Beside the grip, in the border's inner ring.
    const int middle = bar->Height() / 2;
    EXPECT_EQ(printed(bar->Width() - 2, middle), ColorToRGB(bar->Color())) << "no background: the colour";
    dock->SetBackground(&tile);
    EXPECT_EQ(printed(bar->Width() - 2, middle), RGB(0, 128, 0)) << "the dock's background";
    EXPECT_EQ(printed(bar->Width() - 1, middle), ColorToRGB(bar->Color())) << "the outer frame in its colour";
    dock->SetBackgroundOnToolbars(false);
    EXPECT_EQ(printed(bar->Width() - 2, middle), ColorToRGB(bar->Color()));
}

TEST_F(DockTest, ADockPrintsItsBoundLinesAndTheToolbarsInIt)
{
    auto* bar = Toolbar(L"Datei");
    bar->SetDockedTo(dock);
    bar->SetColor(RGB(200, 0, 0));
    dock->SetBoundLines(blTop | blBottom);
    ASSERT_GT(dock->Height(), 2);
    const TWindowDC screen(nullptr, GetDC(nullptr));
    const TOwnDC memory(CreateCompatibleDC(screen.Get()));
    const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), dock->Width(), dock->Height()));
    const TSelectObject select(memory.Get(), bitmap.Get());
    const RECT all{0, 0, dock->Width(), dock->Height()};
    FillRect(memory.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageW(dock->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()),
                 PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);

    const int right = dock->Width() - 1;
    EXPECT_EQ(GetPixel(memory.Get(), right, 0), GetSysColor(COLOR_BTNSHADOW)) << "the top line";
    EXPECT_EQ(GetPixel(memory.Get(), right, dock->Height() - 1), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the bottom line";
    EXPECT_EQ(GetPixel(memory.Get(), right, dock->Height() / 2), ColorToRGB(dock->Color())) << "the dock's own client";
    // The toolbar printed in place: every pixel of it as it prints itself,
    // one line down (the top line comes first); its own colour among them.
    const TOwnDC alone(CreateCompatibleDC(screen.Get()));
    const TGdiObject aloneBitmap(CreateCompatibleBitmap(screen.Get(), bar->Width(), bar->Height()));
    const TSelectObject selectAlone(alone.Get(), aloneBitmap.Get());
    SendMessageW(bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(alone.Get()),
                 PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
    RECT at;
    GetWindowRect(bar->Handle(), &at);
    MapWindowPoints(nullptr, dock->Handle(), reinterpret_cast<POINT*>(&at), 2);
    int differing = 0;
    bool ownColour = false;
    for (int y = 0; y < bar->Height(); ++y)
        for (int x = 0; x < bar->Width(); ++x) {
            const COLORREF own = GetPixel(alone.Get(), x, y);
            ownColour = ownColour || own == RGB(200, 0, 0);
            if (GetPixel(memory.Get(), at.left + x, at.top + 1 + y) != own)
                ++differing;
        }
    EXPECT_TRUE(ownColour) << "the toolbar prints in its colour";
    EXPECT_EQ(differing, 0) << "pixels of the toolbar that the dock printed otherwise";
}
