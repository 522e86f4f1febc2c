// The smaller controls of the component library: splitter, spin edit, track
// bar, colour button, file and directory edits, tray icon, version info.

#include "common/DropFilesBlock.h"
#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "widgets/VersionText.h"
#include "widgets/win/KyClrBn.h"
#include "widgets/win/KyCtrls.h"
#include "widgets/win/KyShell.h"
#include "widgets/win/KySpin.h"
#include "widgets/win/KySplit.h"
#include "widgets/win/KyThemeCtrls.h"
#include "widgets/win/KyVersionInfo.h"
#include "widgets/win/KyWindowPlacement.h"
#include "widgets/win/ToolEdit.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <uxtheme.h>

#include <cstring>
#include <vector>

using namespace qrv;

namespace {

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

// Drops names on a window as the shell would: a CF_HDROP block in WM_DROPFILES.
void DropFiles(HWND window, const std::vector<std::wstring>& names)
{
    const std::vector<uint8_t> block = BuildDropFiles(names);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
    ASSERT_NE(memory, nullptr);
    std::memcpy(GlobalLock(memory), block.data(), block.size());
    GlobalUnlock(memory);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // the edit frees it
}

void Drag(TKySplitter* splitter, POINT from, POINT to)
{
    HWND w = splitter->Handle();
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

}  // namespace

TEST(Splitter, DraggingResizesTheControlBeforeIt)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 300);
    form.HandleNeeded();
    auto* tree = new TPanel(&form);
    tree->SetWidth(100);
    tree->SetAlign(TAlign::alLeft);
    tree->SetParent(&form);
    auto* splitter = new TKySplitter(&form);
    splitter->SetParent(&form);
    splitter->SetLeft(100);
    splitter->SetAlign(TAlign::alLeft);
    auto* list = new TPanel(&form);
    list->SetAlign(TAlign::alClient);
    list->SetParent(&form);
    EXPECT_EQ(ClassOf(splitter->Handle()), L"TKySplitter");
    EXPECT_EQ(splitter->Width(), 3);
    EXPECT_EQ(splitter->ControlFirst(), tree) << "the control before its leading edge";
    splitter->SetControlSecond(list);
    EXPECT_EQ(splitter->SplitKind(), 3);
    int changed = 0;
    splitter->OnPosChanged = [&](TComponent*) { ++changed; };

    Drag(splitter, {1, 10}, {51, 10});
    EXPECT_EQ(tree->Width(), 150);
    EXPECT_EQ(splitter->Left(), 150);
    EXPECT_EQ(list->Left(), 153);
    EXPECT_EQ(changed, 1);

    const int width = form.ClientWidth();
    Drag(splitter, {1, 10}, {2000, 10});
    EXPECT_EQ(tree->Width(), width - 20 - 3) << "the bar keeps 20 pixels from the far edge";
    Drag(splitter, {1, 10}, {-2000, 10});
    EXPECT_EQ(tree->Width(), 20) << "and from the near edge";

    // A handler that refuses every move leaves the size; Escape undoes a drag.
    splitter->OnPosChanging = [](TComponent*, int, int, bool& allow) { allow = false; };
    Drag(splitter, {1, 10}, {100, 10});
    EXPECT_EQ(tree->Width(), 20);
    splitter->OnPosChanging = nullptr;
    SendMessageW(splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    SendMessageW(splitter->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 10));
    SendMessageW(splitter->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(splitter->Dragging());
    SendMessageW(splitter->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(80, 10));
    EXPECT_EQ(tree->Width(), 20);

    splitter->SetControlFirst(&form);
    EXPECT_EQ(splitter->ControlFirst(), nullptr) << "a form is refused";
    EXPECT_EQ(splitter->SplitKind(), 0);
}

TEST(Splitter, EscapeCancelsWhereTheFocusIsAndAFreedControlIsForgotten)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    form.Show();
    auto* tree = new TPanel(&form);
    tree->SetWidth(100);
    tree->SetAlign(TAlign::alLeft);
    tree->SetParent(&form);
    auto* splitter = new TKySplitter(&form);
    splitter->SetParent(&form);
    splitter->SetLeft(100);
    splitter->SetAlign(TAlign::alLeft);
    auto* list = new TEdit(&form);
    list->SetAlign(TAlign::alClient);
    list->SetParent(&form);
    splitter->SetControlSecond(list);
    int enters = 0, changed = 0;
    list->SetFocus();
    ASSERT_EQ(GetFocus(), list->Handle());
    list->OnEnter = [&](TComponent*) { ++enters; };
    list->OnExit = [&](TComponent*) { ++enters; };
    splitter->OnPosChanged = [&](TComponent*) { ++changed; };

    // Escape goes to the focused list, which keeps the focus throughout.
    SendMessageW(splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    EXPECT_EQ(GetFocus(), list->Handle()) << "pressing the bar leaves the focus";
    SendMessageW(splitter->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 10));
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(splitter->Dragging());
    EXPECT_NE(GetCapture(), splitter->Handle());
    SendMessageW(splitter->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(60, 10));
    EXPECT_EQ(tree->Width(), 100) << "the size stays";
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(enters, 0) << "no focus change, so no enter or exit handler";
    EXPECT_EQ(GetFocus(), list->Handle());
    // After the drag the list's Escape is its own again.
    Drag(splitter, {1, 10}, {31, 10});
    EXPECT_EQ(tree->Width(), 130);
    EXPECT_EQ(changed, 1);

    // Freeing a control the splitter holds, even in the middle of a drag.
    SendMessageW(splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    delete tree;
    EXPECT_EQ(splitter->ControlFirst(), nullptr);
    EXPECT_FALSE(splitter->Dragging()) << "the drag ends with its control";
    EXPECT_EQ(splitter->SplitKind(), 0);
    Drag(splitter, {1, 10}, {40, 10});  // nothing to resize, nothing touched
    EXPECT_EQ(changed, 1);
    delete list;
    EXPECT_EQ(splitter->ControlSecond(), nullptr);
}

TEST(SpinEdit, ClampsParsesAndSteps)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* spin = new TKySpinEdit(&form);
    spin->SetParent(&form);
    ASSERT_NE(spin->UpDownHandle(), nullptr);
    EXPECT_EQ(ClassOf(spin->UpDownHandle()), UPDOWN_CLASSW);
    EXPECT_EQ(GetParent(spin->UpDownHandle()), spin->Handle());
    EXPECT_EQ(spin->Text(), L"0");

    spin->SetMinValue(1);
    spin->SetMaxValue(10);
    struct Case {
        double value;
        const wchar_t* text;
    };
    for (const Case& c : {Case{15, L"10"}, Case{-3, L"1"}, Case{7.5, L"8"}}) {
        spin->SetValue(c.value);
        EXPECT_EQ(spin->Text(), c.text) << c.value;
    }
    spin->SetText(L"12a");
    EXPECT_EQ(spin->Value(), 1) << "no number reads as MinValue";

    int changes = 0, ups = 0, downs = 0;
    spin->OnChange = [&](TComponent*) { ++changes; };
    spin->OnTopClick = [&](TComponent*) { ++ups; };
    spin->OnBottomClick = [&](TComponent*) { ++downs; };
    spin->SetValue(9);
    changes = 0;
    SendMessageW(spin->Handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(spin->Value(), 10);
    SendMessageW(spin->Handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(spin->Value(), 10) << "stepping stops at MaxValue";
    EXPECT_EQ(ups, 2);
    EXPECT_EQ(changes, 1) << "OnChange only when the text changed";

    // The up-down control's notification steps down.
    NMUPDOWN change{};
    change.hdr.hwndFrom = spin->UpDownHandle();
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = -1;
    EXPECT_EQ(SendMessageW(spin->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change)), 1);
    EXPECT_EQ(spin->Value(), 9);
    EXPECT_EQ(downs, 1);

    spin->SetMinValue(0);
    spin->SetMaxValue(0);
    spin->SetValue(1e6);
    EXPECT_EQ(spin->Value(), 1e6) << "equal bounds: no clamping";

    spin->SetValueType(TValueType::vtHex);
    spin->SetValue(255);
    EXPECT_EQ(spin->Text(), L"FF");
    spin->SetValueType(TValueType::vtFloat);
    spin->SetIncrement(0.25);
    spin->SetValueType(TValueType::vtInteger);
    EXPECT_EQ(spin->Increment(), 1) << "integer types step by whole numbers";

    spin->SetReadOnly(true);
    spin->SetValue(4);
    spin->StepUp();
    EXPECT_EQ(spin->Value(), 4) << "a read-only edit does not step";
}

namespace {
class QuietSpinEdit : public TKySpinEdit {
public:
    using TKySpinEdit::TKySpinEdit;
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};
}  // namespace

TEST(SpinEdit, DiagonalButtonStepsAndRepeatsAndALockedEditorBeeps)
{
    // ctest: takes the focus (a press gives the edit the focus)
    TForm form(nullptr);
    form.HandleNeeded();
    auto* spin = new QuietSpinEdit(&form);
    spin->SetButtonKind(TSpinButtonKind::bkDiagonal);
    spin->SetBounds(0, 0, 80, 24);
    spin->SetParent(&form);
    spin->HandleNeeded();
    TKySpinButton* button = spin->SpinButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(spin->UpDownHandle(), nullptr);
    EXPECT_TRUE(IsWindowVisible(button->Handle()) || !IsWindowVisible(spin->Handle()));
    EXPECT_EQ(button->Width(), button->Height()) << "a square";
    EXPECT_TRUE(IsChild(spin->Handle(), button->Handle()));
    const int side = button->Width();

    // The top-left corner is the up half: one step at the press, then a
    // tick after 400 ms and one every 100 ms.
    HWND w = button->Handle();
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(spin->Value(), 1);
    EXPECT_EQ(button->Pressed(), TSpinHalf::Up);
    EXPECT_EQ(button->RepeatInterval(), 400u);
    SendMessageW(w, WM_TIMER, 1, 0);
    EXPECT_EQ(button->RepeatInterval(), 100u);
    SendMessageW(w, WM_TIMER, 1, 0);
    EXPECT_EQ(spin->Value(), 3);
    // Moved off the half it shows released and does not repeat.
    SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(side - 2, side - 2));
    EXPECT_EQ(button->Pressed(), TSpinHalf::None);
    SendMessageW(w, WM_TIMER, 1, 0);
    EXPECT_EQ(spin->Value(), 3);
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(side - 2, side - 2));
    EXPECT_EQ(button->RepeatInterval(), 0u);
    // The bottom-right corner steps down.
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(side - 2, side - 2));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(side - 2, side - 2));
    EXPECT_EQ(spin->Value(), 2);

    spin->EditorEnabled = false;
    SendMessageW(spin->Handle(), WM_CHAR, L'7', 1);
    SendMessageW(spin->Handle(), WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(spin->beeps, 2);
    EXPECT_EQ(spin->Text(), L"2") << "a locked editor takes no typing";
    SendMessageW(spin->Handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(spin->Value(), 3) << "the arrow keys still step";
}

namespace {
class PaintedSpinButton : public TKySpinButton {
public:
    using TKySpinButton::TKySpinButton;
    COLORREF PaintedPixel(int x, int y)
    {
        const TWindowDC screen(nullptr);
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), Width(), Height()));
        const TSelectObject select(memory.Get(), bitmap.Get());
        Paint(memory.Get());
        return GetPixel(memory.Get(), x, y);
    }
};

COLORREF FacePixel(const TBitmap& face, int x, int y)
{
    const TWindowDC screen(nullptr);
    const TOwnDC memory(CreateCompatibleDC(screen.Get()));
    const TSelectObject select(memory.Get(), face.Handle());
    return GetPixel(memory.Get(), x, y);
}
}  // namespace

TEST(SpinButton, PaintsFromThreeKeptFacesRebuiltOnResizeAndNewGlyph)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* button = new PaintedSpinButton(&form);
    button->SetBounds(0, 0, 20, 20);
    button->SetParent(&form);
    button->HandleNeeded();
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);

    // The up half's left bevel and the down half's right one, per face.
    const struct {
        TSpinHalf pressed;
        COLORREF upLeft, downRight;
    } faces[] = {
        {TSpinHalf::None, highlight, shadow},
        {TSpinHalf::Up, shadow, shadow},
        {TSpinHalf::Down, highlight, highlight},
    };
    for (const auto& face : faces) {
        const TBitmap& bitmap = button->Face(face.pressed);
        EXPECT_EQ(bitmap.Width(), 20);
        EXPECT_EQ(FacePixel(bitmap, 1, 5), face.upLeft) << static_cast<int>(face.pressed);
        EXPECT_EQ(FacePixel(bitmap, 18, 15), face.downRight) << static_cast<int>(face.pressed);
    }
    const HBITMAP kept = button->Face(TSpinHalf::Up).Handle();
    EXPECT_EQ(button->Face(TSpinHalf::Up).Handle(), kept) << "drawn once, not per paint";

    // The painted button shows the pressed half's face; disabled, the normal one.
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(button->PaintedPixel(1, 5), shadow);
    button->SetEnabled(false);
    EXPECT_EQ(button->PaintedPixel(1, 5), highlight);
    button->SetEnabled(true);
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));

    button->SetBounds(0, 0, 30, 30);
    EXPECT_EQ(button->Face(TSpinHalf::None).Width(), 30) << "a new size draws new faces";
    EXPECT_EQ(FacePixel(button->Face(TSpinHalf::None), 28, 20), shadow);

    TBitmap red;
    red.SetSize(4, 4, clRed);
    {
        // A glyph's bottom-left pixel names its transparent colour.
        const TWindowDC screen(nullptr);
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TSelectObject select(memory.Get(), red.Handle());
        SetPixel(memory.Get(), 0, 3, RGB(255, 255, 255));
    }
    button->SetUpGlyph(&red);
    // The up glyph sits centred at a quarter of the side, one pixel in.
    EXPECT_EQ(FacePixel(button->Face(TSpinHalf::None), 30 / 4 + 1, 30 / 4 + 1), RGB(255, 0, 0))
        << "a new glyph draws new faces";
    EXPECT_EQ(button->PaintedPixel(30 / 4 + 1, 30 / 4 + 1), RGB(255, 0, 0));
}

namespace {
class PaintedSpeedButton : public TXPSpeedButton {
public:
    using TXPSpeedButton::TXPSpeedButton;
    COLORREF PixelAt(int x, int y)
    {
        const TWindowDC screen(nullptr, GetDC(nullptr));
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), Width(), Height()));
        const TSelectObject select(memory.Get(), bitmap.Get());
        Paint(memory.Get(), RECT{0, 0, Width(), Height()});
        return GetPixel(memory.Get(), x, y);
    }
};
}  // namespace

TEST(SpeedButton, PaintsWithTheStyleOrPlainAndEmbossesADisabledGlyph)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* button = new PaintedSpeedButton(&form);
    button->SetBounds(0, 0, 23, 22);
    button->SetParent(&form);
    TBitmap glyph;  // a red square 4..11 on white, white transparent
    glyph.SetSize(16, 16, clWhite);
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), glyph.Handle());
        const TGdiObject red(CreateSolidBrush(RGB(255, 0, 0)));
        RECT square{4, 4, 12, 12};
        FillRect(dc.Get(), &square, static_cast<HBRUSH>(red.Get()));
    }
    button->SetGlyph(&glyph);

    // Every new prefix has a visual style on: the styled path.
    for (bool styled : {true, false}) {
        if (!styled)
            SetWindowTheme(button->Handle(), L" ", L" ");
        SCOPED_TRACE(styled ? "styled" : "plain");
        EXPECT_EQ(button->Themed(), styled);
        button->SetEnabled(true);
        EXPECT_EQ(button->PixelAt(3 + 8, 3 + 8), RGB(255, 0, 0)) << "the glyph, centred";
        EXPECT_EQ(button->LastPaintThemed(), styled);
        button->SetEnabled(false);
        EXPECT_EQ(button->PixelAt(3 + 8, 3 + 8), GetSysColor(COLOR_BTNSHADOW)) << "the shape in shadow";
        EXPECT_EQ(button->PixelAt(3 + 12, 3 + 12), GetSysColor(COLOR_BTNHIGHLIGHT)) << "its highlight, shifted";
    }
}

TEST(TrackBar, PropertiesReachTheControl)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* track = new TXPTrackBar(&form);
    track->SetMax(100);
    track->SetFrequency(10);
    track->SetPosition(30);
    track->SetParent(&form);
    HWND w = track->Handle();
    EXPECT_EQ(ClassOf(w), TRACKBAR_CLASSW);
    EXPECT_EQ(SendMessageW(w, TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(SendMessageW(w, TBM_GETPOS, 0, 0), 30);
    EXPECT_EQ(SendMessageW(w, TBM_GETNUMTICS, 0, 0), 11) << "a tick every 10 of 0..100";

    SendMessageW(w, TBM_SETPOS, TRUE, 55);  // as the user would move it
    EXPECT_EQ(track->Position(), 55);
    track->SetMin(60);
    EXPECT_EQ(track->Position(), 60);
    EXPECT_EQ(SendMessageW(track->Handle(), TBM_GETRANGEMIN, 0, 0), 60);

    track->SetShowSelRange(true);
    EXPECT_TRUE(GetWindowLongW(track->Handle(), GWL_STYLE) & TBS_ENABLESELRANGE);
    EXPECT_EQ(track->Position(), 60) << "kept across the new window";
}

TEST(TrackBar, ANewStyleMakesANewWindowAndAStyledBackgroundIsNotErased)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* bar = new TXPTrackBar(&form);
    bar->SetParent(&form);
    bar->SetMax(20);
    bar->SetPosition(7);
    HWND before = bar->Handle();
    SendMessageW(before, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(bar->Handle(), before) << "not inside the message";
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_NE(bar->Handle(), before);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(bar->Position(), 7) << "the thumb stays";
    EXPECT_EQ(SendMessageW(bar->Handle(), TBM_GETRANGEMAX, 0, 0), 20);

    // Every new prefix has a visual style on: erasing reports done and paints nothing.
    ASSERT_TRUE(IsThemeActive());
    const TWindowDC screen(nullptr);
    const TOwnDC memory(CreateCompatibleDC(screen.Get()));
    const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), bar->Width(), bar->Height()));
    const TSelectObject select(memory.Get(), bitmap.Get());
    SetPixel(memory.Get(), 3, 3, RGB(255, 0, 0));
    EXPECT_EQ(SendMessageW(bar->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), 0), 1);
    EXPECT_EQ(GetPixel(memory.Get(), 3, 3), RGB(255, 0, 0));
}

TEST(ColorButton, ColorReadsBackAndRepaints)
{
    TForm form(nullptr);
    form.Show();
    auto* button = new TKyColorButton(&form);
    button->SetParent(&form);
    EXPECT_EQ(ClassOf(button->Handle()), L"TKyColorButton");
    EXPECT_EQ(button->Color(), clBlack);
    int changes = 0;
    button->OnColorChange = [&](TComponent*) { ++changes; };

    UpdateWindow(button->Handle());
    button->SetColor(clRed);
    EXPECT_EQ(button->Color(), clRed);
    EXPECT_EQ(button->SelectedIndex(), 5) << "red is the preset (1, 2): rows of 4, linear index 5";
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(button->Handle(), &update, FALSE)) << "a new colour repaints";
    button->SetColor(clRed);
    EXPECT_EQ(changes, 1) << "the same colour again changes nothing";
    button->SetColor(0x123456);
    EXPECT_EQ(button->SelectedIndex(), 0) << "no preset has it";
    EXPECT_EQ(changes, 2);
}

namespace {
void ClickAt(HWND window, int x, int y)
{
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
}  // namespace

namespace {
int CALLBACK FirstPens(void* object, LPARAM list)
{
    auto& colors = *reinterpret_cast<std::vector<COLORREF>*>(list);
    const auto* pen = static_cast<const LOGPEN*>(object);
    if (pen->lopnStyle == PS_SOLID)
        colors.push_back(pen->lopnColor & 0xFFFFFF);
    return colors.size() < 2 ? 1 : 0;
}
}  // namespace

TEST(ColorButton, SixteenColourScreenTakesItsPensAsPresets)
{
    TForm form(nullptr);
    auto* button = new TKyColorButton(&form);
    EXPECT_EQ(button->PaletteColors(), DefaultPaletteColors()) << "Xvfb has 24 bits per pixel";
    std::vector<COLORREF> pens;
    {
        const TWindowDC screen(nullptr);
        EnumObjects(screen.Get(), OBJ_PEN, FirstPens, reinterpret_cast<LPARAM>(&pens));
    }
    ASSERT_EQ(pens.size(), 2u) << "the screen lists its solid pens";
    button->OtherColor = clRed;
    button->CustomColors().Set(1, 1, clBlue);
    button->FillDefaultColors(4);
    EXPECT_EQ(static_cast<COLORREF>(button->PaletteColors().At(1, 1)), pens[0]);
    EXPECT_EQ(static_cast<COLORREF>(button->PaletteColors().At(1, 2)), pens[1]) << "down the first column";
    EXPECT_NE(button->PaletteColors(), DefaultPaletteColors()) << "the pens' colours, not the presets";
    EXPECT_EQ(button->CustomColors(), DefaultCustomColors());
    EXPECT_EQ(button->OtherColor, clBtnFace);
    button->FillDefaultColors(32);
    EXPECT_EQ(button->PaletteColors(), DefaultPaletteColors());
}

TEST(ColorButton, PaletteOpensChoosesAndCloses)
{
    // ctest: takes the focus (the palette is activated and focused)
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    form.Show();
    auto* button = new TKyColorButton(&form);
    button->SetParent(&form);
    button->SetColor(clRed);
    int changes = 0;
    button->OnColorChange = [&](TComponent*) { ++changes; };

    ClickAt(button->Handle(), 10, 10);
    TKyColorButtonPalette* palette = button->Palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(IsWindowVisible(palette->Handle()));
    EXPECT_EQ(palette->Highlighted(), (TPaletteCell{1, 2})) << "the current preset is highlighted";
    RECT b{}, p{};
    GetWindowRect(button->Handle(), &b);
    GetWindowRect(palette->Handle(), &p);
    EXPECT_EQ(p.top, b.bottom) << "below the button";
    EXPECT_EQ(p.left, b.left);
    RECT client{};
    GetClientRect(palette->Handle(), &client);
    EXPECT_EQ(client.right, 72);

    // The hint over a cell, then a click on the cell (3, 2) chooses yellow.
    SendMessageW(palette->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2 * 18 + 5, 18 + 5));
    EXPECT_EQ(palette->HintText(), L"RGB = 255 255 000");
    ClickAt(palette->Handle(), 2 * 18 + 5, 18 + 5);
    EXPECT_EQ(button->Palette(), nullptr);
    EXPECT_FALSE(IsWindowVisible(palette->Handle()));
    EXPECT_EQ(button->Color(), clYellow);
    EXPECT_EQ(button->SelectedIndex(), 7);
    EXPECT_EQ(changes, 1);

    // Keys: Esc closes without a choice; arrows and Enter choose.
    button->Click();
    palette = button->Palette();
    ASSERT_NE(palette, nullptr);
    SendMessageW(palette->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(button->Palette(), nullptr);
    EXPECT_EQ(button->Color(), clYellow);
    button->Click();
    palette = button->Palette();
    SendMessageW(palette->Handle(), WM_KEYDOWN, VK_RIGHT, 0);  // (4, 2)
    SendMessageW(palette->Handle(), WM_KEYDOWN, VK_DOWN, 0);   // (4, 3)
    SendMessageW(palette->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(button->Color(), 0x7F7F00) << "(0, 127, 127)";

    // "Other": the chooser's colour goes to the other-colour cell.
    button->Chooser = [](HWND, TColor& color) {
        color = 0x123456;
        return true;
    };
    button->Click();
    palette = button->Palette();
    ClickAt(palette->Handle(), 10, 100);
    EXPECT_EQ(button->Color(), 0x123456);
    EXPECT_EQ(button->OtherColor, 0x123456);
    EXPECT_EQ(button->SelectedIndex(), 0);
    button->Click();
    EXPECT_EQ(button->Palette()->Highlighted(), (TPaletteCell{})) << "no preset has it";
    button->Palette()->Close(true);

    // Cycling: the swatch steps through the 20 presets, then OtherColor.
    button->CycleColors = true;
    button->SetColor(0x9F9F9F);  // the last preset
    ClickAt(button->Handle(), 5, 10);
    EXPECT_EQ(button->Palette(), nullptr) << "the swatch does not open the palette";
    EXPECT_EQ(button->Color(), 0x123456);
    ClickAt(button->Handle(), 5, 10);
    EXPECT_EQ(button->Color(), clWhite);
    ClickAt(button->Handle(), button->Width() - 4, 10);
    EXPECT_NE(button->Palette(), nullptr) << "the arrow still opens it";
}

TEST(ColorButton, CustomColorsPersistUnderTheFormAndButtonName)
{
    const std::wstring key = L"Software\\QuorvanTest\\ColorButton";
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    {
        TForm form(nullptr);
        form.SetName(L"FormOptions");
        auto* button = new TKyColorButton(&form);
        button->SetName(L"ColorSelBk");
        button->CustomColorsKey = key;
        button->SetParent(&form);
        form.HandleNeeded();
        EXPECT_EQ(button->RegistryValueName(), L"FormOptions.ColorSelBk");
        EXPECT_EQ(button->CustomColors().At(1, 1), clWhite) << "nothing stored yet";
        button->CustomColors().Set(2, 1, 0x00ABCDEF);
    }
    wchar_t stored[512] = L"";
    DWORD size = sizeof stored;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, (key + L"\\Colors").c_str(), L"FormOptions.ColorSelBk", RRF_RT_REG_SZ,
                           nullptr, stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored).substr(20, 9), L"$00ABCDEF") << "the third item: column 2, row 1";
    {
        TForm form(nullptr);
        form.SetName(L"FormOptions");
        auto* button = new TKyColorButton(&form);
        button->SetName(L"ColorSelBk");
        button->CustomColorsKey = key;
        button->SetParent(&form);
        form.HandleNeeded();
        EXPECT_EQ(button->CustomColors().At(2, 1), 0x00ABCDEF) << "read back when its window is made";
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST(FileAndDirectoryEdits, NamesAndTheDialogHooks)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* edit = new TFilenameEdit(&form);
    edit->SetParent(&form);
    ASSERT_NE(edit->Button(), nullptr);
    EXPECT_EQ(ClassOf(edit->Button()->Handle()), L"TXPSpeedButton");
    EXPECT_EQ(GetParent(edit->Button()->Handle()), edit->Handle());

    edit->SetFileName(L"C:\\a b\\c.txt");
    EXPECT_EQ(edit->Text(), L"\"C:\\a b\\c.txt\"");
    EXPECT_EQ(edit->FileName(), L"C:\\a b\\c.txt");
    EXPECT_THROW(edit->SetFileName(L"a|b.txt"), EComboEditError);
    EXPECT_EQ(edit->Text(), L"\"C:\\a b\\c.txt\"") << "an invalid name leaves the text";
    edit->SetText(L"notepad.exe readme.txt");
    EXPECT_EQ(edit->FileName(), L"notepad.exe") << "no such file: the first item of the command";
    test::TestDir dir;
    const std::wstring spaced = dir.Write(L"two words.txt", "x");
    edit->SetText(spaced);
    EXPECT_EQ(edit->FileName(), spaced) << "an existing file is taken whole";
    edit->SetFileName(L"");
    EXPECT_EQ(edit->Text(), L"");

    // The owner may take over the dialog; the names it sees and gives back.
    edit->SetFileName(L"C:\\x\\y.txt");
    std::wstring seen;
    int after = 0;
    edit->OnBeforeDialog = [&](TComponent*, std::wstring& name, bool& action) {
        seen = name;
        action = false;
    };
    edit->OnAfterDialog = [&](TComponent*, std::wstring&, bool& action) {
        EXPECT_FALSE(action);
        ++after;
    };
    int clicks = 0;
    edit->OnButtonClick = [&](TComponent*) { ++clicks; };
    SendMessageW(edit->Button()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(edit->Button()->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(seen, L"C:\\x\\y.txt");
    EXPECT_EQ(after, 1);
    EXPECT_EQ(edit->Text(), L"C:\\x\\y.txt");
    edit->SetReadOnly(true);
    edit->ButtonClicked();
    EXPECT_EQ(clicks, 1) << "a read-only edit's button does nothing";

    auto* folder = new TDirectoryEdit(&form);
    folder->SetParent(&form);
    folder->SetText(dir.Path());
    folder->OnBeforeDialog = [&](TComponent*, std::wstring& name, bool& action) {
        seen = name;
        action = false;
    };
    folder->ButtonClicked();
    EXPECT_EQ(seen, dir.Path());
    EXPECT_EQ(folder->Text(), dir.Path());
}

TEST(FileAndDirectoryEdits, TakeDroppedFiles)
{
    TForm form(nullptr);
    form.HandleNeeded();
    test::TestDir dir;
    const std::wstring photo = dir.Write(L"Foto [1].jpg", "x");
    const std::wstring other = dir.Write(L"other.txt", "y");
    auto* edit = new TFilenameEdit(&form);
    edit->SetParent(&form);
    int drops = 0;
    edit->OnDropFiles = [&](TComponent*) { ++drops; };

    DropFiles(edit->Handle(), {photo, other});
    EXPECT_EQ(edit->Text(), L"") << "files are taken only when asked for";
    EXPECT_EQ(drops, 0);
    edit->SetAcceptFiles(true);
    DropFiles(edit->Handle(), {photo, other});
    EXPECT_EQ(edit->Text(), L"\"" + photo + L"\"") << "the first name, quoted for its blank";
    EXPECT_EQ(edit->FileName(), photo);
    EXPECT_TRUE(edit->SelectedFiles.empty());
    EXPECT_EQ(drops, 1);
    edit->MultipleFiles = true;
    DropFiles(edit->Handle(), {other, photo});
    EXPECT_EQ(edit->FileName(), other);
    EXPECT_EQ(edit->SelectedFiles, (std::vector<std::wstring>{other, photo}));

    // A folder field takes the folder of a dropped file, a folder itself.
    auto* folder = new TDirectoryEdit(&form);
    folder->SetParent(&form);
    folder->SetAcceptFiles(true);
    DropFiles(folder->Handle(), {other});
    EXPECT_EQ(folder->Text(), dir.Path());
    const std::wstring sub = dir.Path() + L"\\sub";
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    folder->MultipleDirs = true;
    DropFiles(folder->Handle(), {sub});
    EXPECT_EQ(folder->Text(), sub + L";" + dir.Path()) << "several folders: the new one in front";

    // The names the file system reports, component by component.
    folder->SetText(sub);
    EXPECT_TRUE(SameText(folder->LongName(), sub)) << folder->LongName();
    EXPECT_FALSE(folder->ShortName().empty());
    EXPECT_TRUE(SameText(edit->LongName(), other));
    folder->SetText(sub + L"\\gone");
    EXPECT_EQ(folder->LongName(), L"") << "a folder that does not exist";

    struct Start {
        std::wstring text, initialDir, opensAt;
    };
    const Start starts[] = {
        {sub, L"", sub},     {L"", dir.Path(), dir.Path()},
        {L"", L"", L"\\"},   {dir.Path() + L"\\missing", dir.Path(), L"\\"},
        {other, L"", L"\\"},  // a file is no folder
    };
    for (const Start& s : starts)
        EXPECT_EQ(TDirectoryEdit::DialogStartFolder(s.text, s.initialDir), s.opensAt) << s.text;
}

TEST(TrayIcon, TipAndClicks)
{
    TKyTrayIcon tray(nullptr);
    EXPECT_FALSE(tray.Active());
    tray.SetHint(L"Quorvan Free|Dateimanager");
    EXPECT_EQ(tray.Tip(), L"Quorvan Free") << "the short part of the hint";
    tray.SetHint(std::wstring(70, L'x'));
    EXPECT_EQ(tray.Tip().size(), 63u);

    tray.SetActive(true);
    EXPECT_FALSE(tray.IconAdded()) << "nothing to show without an icon";
    tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_NE(tray.Icon(), nullptr);
    EXPECT_TRUE(tray.IconAdded()) << "an active tray icon shows once it has an icon";
    tray.Hide();
    EXPECT_FALSE(tray.Active());
    EXPECT_FALSE(tray.IconAdded());

    int clicks = 0;
    tray.OnClick = [&](TComponent* sender) {
        EXPECT_EQ(sender, &tray);
        ++clicks;
    };
    HWND w = tray.WindowHandle();
    SendMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
    EXPECT_EQ(clicks, 0) << "a release without a press is no click";
    SendMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
    SendMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
    EXPECT_EQ(clicks, 1);
    SendMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
    SendMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_RBUTTONUP);
    EXPECT_EQ(clicks, 2) << "a right click without a menu is a click";
    tray.Enabled = false;
    SendMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
    SendMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
    EXPECT_EQ(clicks, 2);
}

namespace {
// Handles the messages waiting now, as the program's loop would.
void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
}  // namespace

TEST(TrayIcon, DoubleClickRunsTheDefaultItemAndMouseEventsAreReported)
{
    TKyTrayIcon tray(nullptr);
    TPopupMenu menu(nullptr);
    auto* open = new TMenuItem(&menu);
    open->SetCaption(L"&Öffnen");
    auto* quit = new TMenuItem(&menu);
    quit->SetCaption(L"&Beenden");
    menu.Items()->Add(quit);
    menu.Items()->Add(open);
    int opened = 0, doubles = 0;
    std::vector<TTrayButton> downs, ups;
    open->OnClick = [&](TComponent*) { ++opened; };
    tray.OnDblClick = [&](TComponent*) { ++doubles; };
    tray.OnMouseDown = [&](TComponent*, TTrayButton button, TShortCut, int, int) { downs.push_back(button); };
    tray.OnMouseUp = [&](TComponent*, TTrayButton button, TShortCut, int, int) { ups.push_back(button); };
    HWND w = tray.WindowHandle();

    // The shell posts its callback; nothing shows the icon under Xvfb.
    PostMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    Pump();
    EXPECT_EQ(doubles, 1) << "without a menu: OnDblClick";
    tray.SetPopupMenu(&menu);
    PostMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    Pump();
    EXPECT_EQ(doubles, 2) << "a menu without a default item: still OnDblClick";
    open->SetDefault(true);
    PostMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    Pump();
    EXPECT_EQ(opened, 1) << "the default item is clicked";
    EXPECT_EQ(doubles, 2);
    open->SetEnabled(false);
    PostMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    Pump();
    EXPECT_EQ(opened, 1) << "a disabled default item is none";
    EXPECT_EQ(doubles, 3);

    PostMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_MBUTTONDOWN);
    PostMessageW(w, TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_MBUTTONUP);
    Pump();
    EXPECT_EQ(downs.back(), TTrayButton::Middle);
    EXPECT_EQ(ups, (std::vector<TTrayButton>{TTrayButton::Middle}));
    EXPECT_EQ(downs.size(), 5u) << "each double click is also a press";
}

TEST(TrayIcon, AnimationStepsThroughTheIconListOnItsTimer)
{
    TKyTrayIcon tray(nullptr);
    tray.SetAnimated(true);
    EXPECT_FALSE(tray.Animated()) << "nothing to animate without icons";
    EXPECT_EQ(tray.FrameIndex(), -1);

    const HICON shapes[] = {LoadIconW(nullptr, IDI_APPLICATION), LoadIconW(nullptr, IDI_WARNING),
                            LoadIconW(nullptr, IDI_INFORMATION)};
    tray.Icons().BeginUpdate();
    for (HICON icon : shapes)
        tray.Icons().Add(icon);
    tray.Icons().EndUpdate();
    ASSERT_EQ(tray.Icons().Count(), 3);
    tray.SetInterval(20);
    tray.SetActive(true);
    tray.SetAnimated(true);
    ASSERT_TRUE(tray.Animated());
    EXPECT_TRUE(tray.IconAdded()) << "the first frame shows";
    EXPECT_EQ(tray.FrameIndex(), 0);
    EXPECT_EQ(tray.CurrentIcon(), tray.Icons().Icons(0));

    // The frames advance on the timer and wrap. The frame is read after every
    // message: on a loaded machine one pass over the queue may handle two
    // timer steps, and reading only after each pass would miss a frame.
    std::vector<int> seen;
    int shown = tray.FrameIndex();
    const DWORD until = GetTickCount() + 10000;  // a bound for a loaded machine, not a speed goal
    while (seen.size() < 4 && GetTickCount() < until) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (seen.size() < 4 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (tray.FrameIndex() != shown) {
                shown = tray.FrameIndex();
                seen.push_back(shown);
            }
        }
    }
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(tray.CurrentIcon(), tray.Icons().Icons(1));

    // Freeing the icons ends the animation; the plain icon is shown again.
    tray.SetIcon(shapes[0]);
    tray.Icons().Clear();
    EXPECT_FALSE(tray.Animated());
    EXPECT_EQ(tray.CurrentIcon(), tray.Icon());
    tray.Hide();
}

TEST(WindowPlacement, KeepsOnTheScreenAndCentres)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT off{work.right - 50, work.bottom - 20, work.right + 150, work.bottom + 80};
    KeepRectOnScreen(off);
    EXPECT_EQ(off.right, work.right);
    EXPECT_EQ(off.bottom, work.bottom);
    EXPECT_EQ(off.right - off.left, 200) << "the size is kept";
    RECT inside{work.left + 10, work.top + 10, work.left + 110, work.top + 60};
    const RECT before = inside;
    KeepRectOnScreen(inside);
    EXPECT_TRUE(EqualRect(&inside, &before));

    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    form.HandleNeeded();
    CenterWindow(form.Handle());
    RECT r{};
    GetWindowRect(form.Handle(), &r);
    EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);
    EXPECT_EQ(r.right - r.left, 300);
    EnableWindow(form.Handle(), FALSE);
    EXPECT_FALSE(ActivateWindow(form.Handle(), false)) << "a disabled window is not activated";
}

TEST(TextListBox, TheScrollRangeFollowsTheWidestLine)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* list = new TTextListBox(&form);
    list->SetParent(&form);
    HWND w = list->Handle();
    const auto width = [&](const std::wstring& text) {
        const TWindowDC screen(nullptr, GetDC(nullptr));
        const TSelectObject font(screen.Get(), list->Font().Handle());
        SIZE size{};
        GetTextExtentPoint32W(screen.Get(), (text + L"x").c_str(), static_cast<int>(text.size()) + 1, &size);
        return static_cast<int>(size.cx);
    };
    list->Items().Add(L"kurz");
    list->Items().Add(std::wstring(60, L'W'));
    list->Items().Add(std::wstring(30, L'W'));
    EXPECT_EQ(SendMessageW(w, LB_GETHORIZONTALEXTENT, 0, 0), width(std::wstring(60, L'W')));
    list->Items().Delete(1);
    EXPECT_EQ(SendMessageW(w, LB_GETHORIZONTALEXTENT, 0, 0), width(std::wstring(30, L'W')))
        << "deleting the widest line shrinks the range to the next widest";
    list->Items().Delete(0);
    EXPECT_EQ(list->MaxWidth(), width(std::wstring(30, L'W'))) << "a narrower line leaves it";
    list->Items().Clear();
    EXPECT_EQ(SendMessageW(w, LB_GETHORIZONTALEXTENT, 0, 0), 0);
}

TEST(VersionInfo, ReadsASystemLibraryAndReportsMissingResources)
{
    TKyVersionInfo info(nullptr);
    // The test program carries no version resource.
    EXPECT_EQ(info.Build(), kVersionInfoNotAvailable);
    EXPECT_EQ(info.CompanyName(), kVersionInfoNotAvailable);

    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    info.GetInfo(std::wstring(system) + L"\\kernel32.dll");
    EXPECT_FALSE(info.FileVersion().empty());
    EXPECT_FALSE(info.OriginalFilename().empty());
    EXPECT_NE(info.Build(), kVersionInfoNotAvailable);
    EXPECT_FALSE(info.Build().empty());
    // The parts are those of FileVersion.
    EXPECT_EQ(info.FileVersion().rfind(info.MajorVersion(), 0), 0u);
    EXPECT_NE(info.FileVersion().find(info.Build()), std::wstring::npos);

    // The program beside the tests: its own resource.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program = self;
    program = program.substr(0, program.find_last_of(L'\\') + 1) + L"Quorvan32.exe";
    ASSERT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES) << "the program is built beside the tests";
    info.GetInfo(program);
    EXPECT_EQ(info.ProductName(), L"Quorvan Free");
    EXPECT_EQ(info.OriginalFilename(), L"Quorvan32.exe");
    EXPECT_EQ(info.MajorVersion(), L"3");
    EXPECT_EQ(info.MinorVersion(), L"2");
    ASSERT_FALSE(info.Build().empty());
    EXPECT_EQ(info.Build().find_first_not_of(L"0123456789"), std::wstring::npos) << info.Build();
    EXPECT_EQ(info.LegalTradeMarks(), L"") << "a key the resource does not have takes no other key's text";

    test::TestDir dir;
    info.GetInfo(dir.Write(L"plain.txt", "no resources here"));
    EXPECT_EQ(info.FileVersion(), kVersionInfoNotAvailable);
    EXPECT_EQ(info.MajorVersion(), kVersionInfoNotAvailable);
}
