#include "framework/ScopeExit.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyDockCommon.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qrv;

namespace {

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[64] = L"";
    GetWindowTextW(window, text, 64);
    return text;
}

RECT WindowRectOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A shown form with a top and a left dock, and a toolbar "Datei" of three
// buttons in the top dock. Test programs run side by side and take the
// activation from each other: the toolbar stays shown while the program is
// inactive, except where a test asks for the rule.
class FloatTest : public testing::Test {
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 600, 400);
        form.Show();
        SetForegroundWindow(form.Handle());
        SetActiveWindow(form.Handle());
        top = new TKyDock(&form);
        top->SetName(L"TopDock");
        top->SetParent(&form);
        left = new TKyDock(&form);
        left->SetName(L"LeftDock");
        left->SetPosition(TDockPosition::dpLeft);
        left->SetParent(&form);
        bar = new TKyToolbar(&form);
        bar->SetName(L"ToolbarDatei");
        bar->SetCaption(L"Datei");
        for (int i = 0; i < 3; ++i)
            (new TKyToolbarButton(&form))->SetParent(bar);
        bar->SetDockedTo(top);
        bar->SetHideWhenInactive(false);
        Pump();
    }
    void TearDown() override { Pump(); }

    // Posts a press at a point of the bar's client area, moves to a screen
    // point and releases there (with keys as the mouse messages carry them),
    // then lets the window handle it all.
    void Drag(POINT grab, POINT drop, WPARAM keys = 0)
    {
        HWND window = bar->Handle();
        POINT at = drop;
        ScreenToClient(window, &at);
        SetCursorPos(drop.x, drop.y);  // a move Wine makes up lands there too
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(grab.x, grab.y));
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM(at.x, at.y));
        PostMessageW(window, WM_LBUTTONUP, keys, MAKELPARAM(at.x, at.y));
        Pump();
    }
    POINT FormClientToScreen(int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(form.Handle(), &p);
        return p;
    }
    bool BarShown() { return bar->HandleAllocated() && IsWindowVisible(bar->Handle()); }

    TForm form{nullptr};
    TKyDock* top = nullptr;
    TKyDock* left = nullptr;
    TKyToolbar* bar = nullptr;
};

}  // namespace

TEST_F(FloatTest, DraggedOffItFloatsAtTheDropPointAsAnOwnedToolWindow)
{
    // These tests check the stacking order of top-level windows and which
    // one is active, which every other program's windows on the display
    // change too.
    // ctest: runs alone
    const int dockedWidth = bar->Width();
    const int dockedHeight = bar->Height();
    const POINT drop = FormClientToScreen(300, 250);
    Drag(POINT{5, 5}, drop);

    ASSERT_TRUE(bar->Floating());
    EXPECT_EQ(bar->DockedTo(), nullptr);
    EXPECT_EQ(bar->LastDock(), top);
    EXPECT_EQ(top->Height(), 0) << "the dock is empty";
    HWND window = bar->Handle();
    EXPECT_EQ(ClassOf(window), L"TKyToolbar");
    EXPECT_EQ(TextOf(window), L"Datei");
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow()) << "a top-level window";
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const HWND owner = GetWindow(window, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    wchar_t ownerClass[64] = L"";
    GetClassNameW(owner, ownerClass, 64);
    EXPECT_EQ(GetWindow(owner, GW_OWNER), form.Handle()) << "its owner window belongs to the form";
    EXPECT_TRUE(BarShown());
    for (int i = 0; i < bar->ControlCount(); ++i) {
        auto* button = static_cast<TWinControl*>(bar->Controls(i));
        EXPECT_EQ(GetParent(button->Handle()), window) << "the buttons moved along";
        EXPECT_TRUE(IsWindowVisible(button->Handle()));
    }

    // The grab point (5, 5) of the client, 13 and 7 into the docked window,
    // keeps its share of the window under the cursor.
    const RECT r = WindowRectOf(window);
    EXPECT_EQ(r.left, drop.x - 13 * (bar->Width() - 1) / (dockedWidth - 1));
    EXPECT_EQ(r.top, drop.y - 7 * (bar->Height() - 1) / (dockedHeight - 1));
    EXPECT_EQ(bar->FloatingPosition().x, r.left);
    EXPECT_EQ(bar->FloatingPosition().y, r.top);
    // A floating toolbar has a caption and a frame around its buttons.
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 4 + 3 * 23 + 4);
    EXPECT_EQ(r.bottom - r.top - client.bottom,
              GetSystemMetrics(SM_CYSMCAPTION) + 2 * GetSystemMetrics(SM_CYSIZEFRAME));

    // Dragged by its caption onto the left dock it docks there, vertically.
    const POINT edge = FormClientToScreen(2, 200);
    Drag(POINT{10, -5}, edge);
    ASSERT_EQ(bar->DockedTo(), left);
    EXPECT_FALSE(bar->Floating());
    EXPECT_EQ(GetParent(bar->Handle()), left->Handle());
    EXPECT_GT(bar->Height(), bar->Width()) << "buttons run downwards";
    EXPECT_EQ(left->Width(), 23 + 4);
}

TEST_F(FloatTest, CtrlKeepsItFloatingAndEscapeKeepsItInPlace)
{
    const POINT inDock = FormClientToScreen(200, 2);
    Drag(POINT{5, 5}, inDock, MK_CONTROL);
    EXPECT_TRUE(bar->Floating()) << "Ctrl never docks";

    Drag(POINT{10, -5}, inDock);
    EXPECT_EQ(bar->DockedTo(), top) << "without Ctrl it docks";
    EXPECT_EQ(bar->DockRow(), 0);

    // Escape ends the drag where it began.
    const RECT before = WindowRectOf(bar->Handle());
    HWND window = bar->Handle();
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 250));
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(300, 250));
    Pump();
    EXPECT_EQ(bar->DockedTo(), top);
    const RECT after = WindowRectOf(bar->Handle());
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(GetCapture(), nullptr) << "the capture is released";

    // A refusing dock is passed over; a window that cannot float stays.
    top->OnRequestDock = [this](TComponent* sender, TKyCustomToolWindow* window, bool& accept) {
        EXPECT_EQ(sender, top);
        EXPECT_EQ(window, bar);
        accept = false;
    };
    bar->SetDockMode(TToolWindowDockMode::dmCannotFloat);
    Drag(POINT{5, 5}, FormClientToScreen(300, 250));
    EXPECT_EQ(bar->DockedTo(), top) << "nowhere to go";
}

TEST_F(FloatTest, DoubleClickFloatsAndDocksIntoTheLastDock)
{
    bar->SetDockPos(40);
    PostMessageW(bar->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    ASSERT_TRUE(bar->Floating());
    EXPECT_EQ(bar->LastDock(), top);
    EXPECT_TRUE(BarShown());

    PostMessageW(bar->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(bar->Left(), 40) << "where it was";

    // Without a last or default dock a double click leaves it floating.
    bar->SetDockedTo(nullptr);
    bar->SetUseLastDock(false);
    EXPECT_EQ(bar->LastDock(), nullptr);
    PostMessageW(bar->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    EXPECT_TRUE(bar->Floating());
    bar->SetDefaultDock(left);
    PostMessageW(bar->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(bar->DockedTo(), left);
}

TEST_F(FloatTest, CloseButtonAsksFirstAndMinimisingTheFormHidesIt)
{
    bar->SetFloatingPosition(POINT{300, 300});
    bar->SetDockedTo(nullptr);
    ASSERT_TRUE(BarShown());
    bool allow = false;
    int queries = 0, closes = 0;
    bar->OnCloseQuery = [&](TComponent*, bool& canClose) {
        ++queries;
        canClose = allow;
    };
    bar->OnClose = [&](TComponent*) { ++closes; };
    auto clickClose = [&] {
        HWND window = bar->Handle();
        const RECT r = WindowRectOf(window);
        const int frame = GetSystemMetrics(SM_CXSIZEFRAME);
        const int caption = GetSystemMetrics(SM_CYSMCAPTION);
        POINT button{r.right - frame - caption / 2, r.top + GetSystemMetrics(SM_CYSIZEFRAME) + caption / 2};
        EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(button.x, button.y)), HTCLOSE);
        POINT client = button;
        ScreenToClient(window, &client);
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(button.x, button.y));
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        Pump();
    };
    clickClose();
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(bar->Visible());
    EXPECT_TRUE(BarShown()) << "OnCloseQuery said no";

    ShowWindow(form.Handle(), SW_MINIMIZE);
    Pump();
    EXPECT_FALSE(BarShown()) << "hidden with its form";
    EXPECT_TRUE(bar->Visible()) << "but still meant to be seen";
    ShowWindow(form.Handle(), SW_RESTORE);
    SetActiveWindow(form.Handle());
    Pump();
    EXPECT_TRUE(BarShown());

    // Activation leaving the program hides it, its return shows it.
    bar->SetHideWhenInactive(true);
    ProcessToolWindowHookEvent(0, form.Handle(), FALSE, 0);
    EXPECT_FALSE(BarShown());
    ProcessToolWindowHookEvent(0, form.Handle(), TRUE, 0);
    EXPECT_TRUE(BarShown());
    bar->SetHideWhenInactive(false);

    allow = true;
    clickClose();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(bar->Visible());
    EXPECT_FALSE(BarShown());
}

TEST_F(FloatTest, TheDockedCloseButtonClosesTheToolbarInEitherDock)
{
    const int plainWidth = bar->Width();
    bar->SetCloseButtonWhenDocked(true);
    Pump();
    EXPECT_EQ(bar->Width(), plainWidth + 8) << "the handle band widens from 6 to 14 pixels";
    int queries = 0, closes = 0;
    bool allow = false;
    bar->OnCloseQuery = [&](TComponent*, bool& canClose) {
        ++queries;
        canClose = allow;
    };
    bar->OnClose = [&](TComponent*) { ++closes; };
    // Presses the button's middle, given in window coordinates, and releases there.
    auto clickClose = [&](POINT inWindow) {
        HWND window = bar->Handle();
        const RECT r = WindowRectOf(window);
        const POINT screen{r.left + inWindow.x, r.top + inWindow.y};
        EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)), HTCLOSE);
        POINT client = screen;
        ScreenToClient(window, &client);
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(screen.x, screen.y));
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        Pump();
    };
    {
        // Beside the button the band is still the drag handle.
        const RECT r = WindowRectOf(bar->Handle());
        EXPECT_EQ(SendMessageW(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + 8, r.bottom - 3)), HTCLIENT);
    }
    clickClose(POINT{8, 7});  // horizontal: the square at (3, 2), 11 wide
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(BarShown()) << "OnCloseQuery said no";

    // Released away from the button: nothing happens.
    {
        HWND window = bar->Handle();
        const RECT r = WindowRectOf(window);
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(r.left + 8, r.top + 7));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(60, 10));
        Pump();
        EXPECT_EQ(queries, 1) << "let go outside the button";
    }

    bar->SetDockedTo(left);
    Pump();
    ASSERT_EQ(bar->DockedTo(), left);
    allow = true;
    clickClose(POINT{bar->Width() - 2 - 6, 8});  // vertical: at the band's right end
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(bar->Visible());
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(left->Width(), 0) << "the dock is empty";
    EXPECT_EQ(bar->DockedTo(), left) << "closed, not undocked";
}

TEST_F(FloatTest, MovesBetweenDocksRaiseTheirEventsInOrder)
{
    // The drag below leaves the cursor over the form; later tests expect it
    // where it was.
    POINT cursorBefore{};
    GetCursorPos(&cursorBefore);
    ScopeExit restoreCursor([&] { SetCursorPos(cursorBefore.x, cursorBefore.y); });
    std::vector<std::wstring> events;
    auto name = [](TKyDock* dock) { return dock ? dock->Name() : std::wstring(L"(floating)"); };
    bar->OnDockChanging = [&](TComponent*) { events.push_back(L"Changing"); };
    bar->OnDockChangingEx = [&](TComponent*, TKyDock* to) { events.push_back(L"ChangingEx " + name(to)); };
    bar->OnRecreating = [&](TComponent*) { events.push_back(L"Recreating"); };
    bar->OnDockChangingHidden = [&](TComponent*, TKyDock* to) {
        // The window is out of sight while it changes docks.
        const bool hidden = !bar->HandleAllocated() || !IsWindowVisible(bar->Handle());
        events.push_back(L"Hidden " + name(to) + (hidden ? L"" : L" (still shown)"));
    };
    bar->OnMove = [&](TComponent*) { events.push_back(L"Move"); };
    bar->OnRecreated = [&](TComponent*) { events.push_back(L"Recreated"); };
    bar->OnDockChanged = [&](TComponent*) {
        events.push_back(L"Changed " + name(bar->DockedTo()) + (bar->Visible() ? L"" : L" (invisible)"));
    };
    const std::vector<std::wstring> toFloating{
        L"Changing",  L"ChangingEx (floating)", L"Recreating", L"Hidden (floating)", L"Move",
        L"Recreated", L"Changed (floating)"};
    const std::vector<std::wstring> toLeft{L"Changing", L"ChangingEx LeftDock", L"Recreating",      L"Hidden LeftDock",
                                           L"Move",     L"Recreated",           L"Changed LeftDock"};

    bar->SetFloatingPosition(POINT{300, 300});
    bar->SetDockedTo(nullptr);
    EXPECT_EQ(events, toFloating);
    events.clear();
    bar->SetDockedTo(nullptr);
    EXPECT_TRUE(events.empty()) << "floating already: nothing happens";

    // A floating window moved tells of it once; a change of size alone does not.
    bar->SetFloatingPosition(POINT{320, 310});
    EXPECT_EQ(events, std::vector<std::wstring>{L"Move"});
    events.clear();
    bar->SetBounds(bar->Left(), bar->Top(), bar->Width() + 10, bar->Height());
    EXPECT_TRUE(events.empty());

    bar->SetDockedTo(left);
    EXPECT_EQ(events, toLeft);
    events.clear();
    bar->SetDockedTo(left);
    EXPECT_TRUE(events.empty());

    // Dragged into the top dock by the mouse: the same events, and the drop's
    // place in the dock is where OnMove finds the window.
    int movesAtTop = 0;
    POINT placeAtMove{-1, -1};
    bar->OnMove = [&](TComponent*) {
        ++movesAtTop;
        placeAtMove = POINT{bar->Left(), bar->Top()};
    };
    // (Grabbed near the top of the tall window, the cursor must be on the dock.)
    Drag(POINT{5, 5}, FormClientToScreen(200, 1));
    const auto stopListening = [&] {
        bar->OnDockChanging = bar->OnRecreating = bar->OnRecreated = bar->OnDockChanged = bar->OnMove = nullptr;
        bar->OnDockChangingEx = bar->OnDockChangingHidden = nullptr;
    };
    if (bar->DockedTo() != top)
        stopListening();
    ASSERT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(events.front(), L"Changing");
    EXPECT_EQ(events.back(), L"Changed TopDock");
    EXPECT_EQ(movesAtTop, 1);
    EXPECT_EQ(placeAtMove.x, bar->Left());
    EXPECT_EQ(placeAtMove.y, bar->Top());
    stopListening();
}

TEST_F(FloatTest, AboveAllFormsItNoLongerBelongsToItsForm)
{
    bar->SetFloatingPosition(POINT{300, 300});
    bar->SetDockedTo(nullptr);
    ASSERT_TRUE(BarShown());
    const HWND ownerWindow = GetWindow(bar->Handle(), GW_OWNER);
    ASSERT_NE(ownerWindow, nullptr);
    EXPECT_EQ(GetWindow(ownerWindow, GW_OWNER), form.Handle());

    bar->SetFloatingMode(TToolWindowFloatingMode::fmOnTopOfAllForms);
    EXPECT_NE(GetWindow(ownerWindow, GW_OWNER), form.Handle()) << "owned by the program (no main window here)";
    EXPECT_TRUE(GetWindowLongW(bar->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    ShowWindow(form.Handle(), SW_MINIMIZE);
    Pump();
    EXPECT_TRUE(BarShown()) << "its form minimised, it stays";
    ShowWindow(form.Handle(), SW_RESTORE);
    SetActiveWindow(form.Handle());
    Pump();

    bar->SetFloatingMode(TToolWindowFloatingMode::fmOnTopOfParentForm);
    EXPECT_EQ(GetWindow(ownerWindow, GW_OWNER), form.Handle()) << "back with its form";
    EXPECT_FALSE(GetWindowLongW(bar->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    ShowWindow(form.Handle(), SW_MINIMIZE);
    Pump();
    EXPECT_FALSE(BarShown());
    ShowWindow(form.Handle(), SW_RESTORE);
    SetActiveWindow(form.Handle());
    Pump();
}

TEST_F(FloatTest, TheNonClientUpdateRegionClipsTheWindowDC)
{
    const HWND window = bar->Handle();
    const RECT r = WindowRectOf(window);
    auto clipOf = [&](HRGN update) {
        const HDC dc = GetWindowDC(window);
        SelectNCUpdateRgn(window, dc, update);
        RECT box{};
        const int kind = GetClipBox(dc, &box);
        ReleaseDC(window, dc);
        EXPECT_NE(kind, ERROR);
        return box;
    };
    // A region in screen coordinates: the DC is clipped to it, in the window's.
    const HRGN update = CreateRectRgn(r.left + 2, r.top + 3, r.left + 10, r.top + 8);
    const RECT clipped = clipOf(update);
    EXPECT_EQ(clipped.left, 2);
    EXPECT_EQ(clipped.top, 3);
    EXPECT_EQ(clipped.right, 10);
    EXPECT_EQ(clipped.bottom, 8);
    RECT still{};
    GetRgnBox(update, &still);
    EXPECT_EQ(still.left, r.left + 2) << "the caller's region is left as it was";
    DeleteObject(update);
    // 1 stands for everything: the whole window stays paintable.
    const RECT all = clipOf(reinterpret_cast<HRGN>(1));
    EXPECT_EQ(all.right - all.left, r.right - r.left);
    EXPECT_EQ(all.bottom - all.top, r.bottom - r.top);
}

namespace {

// Whether a is above b among the top-level windows.
bool Above(HWND a, HWND b)
{
    for (HWND w = GetWindow(b, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (w == a)
            return true;
    return false;
}

}  // namespace

namespace {

TKyToolbar* g_asking = nullptr;

// What a form does between the windows it makes: here it asks the
// floating toolbar to show, which needs the toolbar's window.
void AskForTheToolbar()
{
    if (g_asking)
        g_asking->UpdateFloatingVisibility();
}

}  // namespace

TEST_F(FloatTest, AskedForItsWindowWhileMakingItTheToolbarMakesOne)
{
    g_asking = bar;
    TWinControl::WindowCreatedHook = AskForTheToolbar;
    bar->SetFloatingPosition(POINT{300, 200});
    bar->SetDockedTo(nullptr);
    TWinControl::WindowCreatedHook = nullptr;
    g_asking = nullptr;
    ASSERT_TRUE(BarShown());
    for (int i = 0; i < bar->ControlCount(); ++i)
        EXPECT_EQ(GetParent(static_cast<TWinControl*>(bar->Controls(i))->Handle()), bar->Handle())
            << "the buttons sit in the toolbar's one window";
    int toolbars = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM count) {
            if (ClassOf(window) == L"TKyToolbar")
                ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&toolbars));
    EXPECT_EQ(toolbars, 1);
}

TEST_F(FloatTest, AFloatingToolbarStaysAboveItsFormWhenTheFormComesToTheTop)
{
    bar->SetFloatingPosition(POINT{300, 300});
    bar->SetDockedTo(nullptr);
    ASSERT_TRUE(BarShown());
    EXPECT_TRUE(Above(bar->Handle(), form.Handle()));
    TForm other(nullptr);
    other.SetBounds(250, 250, 300, 200);
    other.Show();
    SetWindowPos(other.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump();
    SetWindowPos(form.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump();
    EXPECT_TRUE(Above(form.Handle(), other.Handle()));
    EXPECT_TRUE(Above(bar->Handle(), form.Handle())) << "the toolbar came along";

    // A second floating toolbar: both stay above the form.
    auto* second = new TKyToolbar(&form);
    second->SetName(L"Second");
    (new TKyToolbarButton(&form))->SetParent(second);
    second->SetHideWhenInactive(false);
    second->SetFloatingPosition(POINT{500, 300});
    second->SetDockedTo(nullptr);
    SetWindowPos(other.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump();
    SetWindowPos(form.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump();
    EXPECT_TRUE(Above(bar->Handle(), form.Handle()));
    EXPECT_TRUE(Above(second->Handle(), form.Handle()));
}

namespace {

// The colour the screen shows at a point.
COLORREF ScreenPixel(POINT at)
{
    const TWindowDC screen(nullptr, GetDC(nullptr));
    return GetPixel(screen.Get(), at.x, at.y);
}

// A left click at a screen point, as the user makes it.
void ClickAt(POINT at)
{
    SetCursorPos(at.x, at.y);
    INPUT clicks[2]{};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
}

// Handles the messages for a while: the display follows the windows'
// changes with a delay of its own.
void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        Pump();
        Sleep(10);
    } while (GetTickCount() - start < ms);
    Pump();
}

}  // namespace

TEST_F(FloatTest, AClickThatMovesTheFocusIntoTheFormLeavesTheToolbarShownAboveIt)
{
    // A field over the whole form: the click puts the focus into it.
    RECT client{};
    GetClientRect(form.Handle(), &client);
    const HWND field = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, client.right,
                                       client.bottom, form.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(field, nullptr);
    const ScopeExit destroyField([field] { DestroyWindow(field); });
    bar->SetColor(RGB(200, 0, 0));
    bar->SetFloatingPosition(FormClientToScreen(300, 150));
    bar->SetDockedTo(nullptr);
    ASSERT_TRUE(BarShown());
    SetFocus(form.Handle());
    PumpFor(300);
    // The client's margin left of the buttons shows the toolbar's colour.
    RECT barClient{};
    GetClientRect(bar->Handle(), &barClient);
    POINT margin{1, barClient.bottom / 2};
    ClientToScreen(bar->Handle(), &margin);
    ASSERT_EQ(ScreenPixel(margin), RGB(200, 0, 0)) << "the floating toolbar is seen";

    ClickAt(FormClientToScreen(100, 300));
    PumpFor(500);
    ASSERT_EQ(GetFocus(), field) << "the click moved the focus into the form";
    EXPECT_TRUE(Above(bar->Handle(), form.Handle()));
    EXPECT_EQ(ScreenPixel(margin), RGB(200, 0, 0)) << "the form's window came over the toolbar on the display";
}

namespace {

// The screen's pixels of a rectangle, row by row.
std::vector<COLORREF> ScreenPixels(const RECT& r)
{
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const TWindowDC screen(nullptr, GetDC(nullptr));
    const TOwnDC memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const TGdiObject bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TSelectObject select(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const COLORREF*>(bits);
    return std::vector<COLORREF>(pixels, pixels + size_t(w) * h);
}

}  // namespace

TEST_F(FloatTest, ABorderRepaintedDuringACaptionDragKeepsNoFrameBehind)
{
    bar->SetFloatingPosition(FormClientToScreen(300, 150));
    bar->SetDockedTo(nullptr);
    ASSERT_TRUE(BarShown());
    PumpFor(300);
    const HWND window = bar->Handle();
    const RECT r = WindowRectOf(window);
    const std::vector<COLORREF> before = ScreenPixels(r);

    // Pressed on the caption, the frame lies on the border; the border is
    // redrawn while it is shown, and the drag goes on long enough for the
    // display to show the redraw; Escape ends it where it began.
    static HWND dragged;
    dragged = window;
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, -5));
    PostMessageW(window, TKyCustomToolWindow::kRedrawFloatingBorder, 0,
                 TKyCustomToolWindow::fpFrame | TKyCustomToolWindow::fpCaption | TKyCustomToolWindow::fpCloseButton);
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostMessageW(dragged, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(dragged, WM_LBUTTONUP, 0, MAKELPARAM(10, -5));
    });
    PumpFor(600);
    const RECT afterDrag = WindowRectOf(window);
    ASSERT_TRUE(EqualRect(&r, &afterDrag)) << "the drag ended where it began";
    const std::vector<COLORREF> after = ScreenPixels(r);
    size_t differing = 0;
    for (size_t i = 0; i < before.size(); ++i)
        differing += (before[i] & 0xFFFFFF) != (after[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0u) << "pixels of the toolbar left inverted";
}

TEST_F(FloatTest, AFormWhoseWindowIsMadeAgainKeepsItsFloatingToolbar)
{
    bar->SetFloatingPosition(POINT{300, 300});
    bar->SetDockedTo(nullptr);
    ASSERT_TRUE(BarShown());
    const HWND window = bar->Handle();
    form.RecreateWnd();
    form.Show();
    Pump();
    EXPECT_EQ(bar->Handle(), window) << "the toolbar's window outlived the form's";
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(GetWindow(GetWindow(window, GW_OWNER), GW_OWNER), form.Handle()) << "owned by the new form window";
}

TEST_F(FloatTest, ResizingAFloatingToolbarSnapsAndKeepsTheWrapWidth)
{
    for (int i = 0; i < 9; ++i)
        (new TKyToolbarButton(&form))->SetParent(bar);  // twelve buttons
    bar->SetFloatingPosition(POINT{200, 300});
    bar->SetDockedTo(nullptr);
    HWND window = bar->Handle();
    RECT r = WindowRectOf(window);
    const int frame = GetSystemMetrics(SM_CXSIZEFRAME);
    const int ncWidth = 2 * frame;
    EXPECT_EQ(r.right - r.left, 284 + ncWidth) << "one line";
    const POINT edge{r.right - 1, (r.top + r.bottom) / 2};
    ASSERT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTRIGHT);
    // Dragged 140 pixels in: the widest size that fits is six buttons a line.
    POINT to{edge.x - 140, edge.y};
    ScreenToClient(window, &to);
    PostMessageW(window, WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(edge.x, edge.y));
    PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    Pump();
    EXPECT_EQ(bar->FloatingRightX(), 146);
    r = WindowRectOf(window);
    EXPECT_EQ(r.right - r.left, 146 + ncWidth);
    EXPECT_EQ(r.left, 200) << "the left edge stays";
    EXPECT_EQ(bar->Controls(6)->Left(), 4) << "the seventh button starts the second line";
    EXPECT_EQ(bar->Controls(6)->Top(), 2 + 22);
}

TEST(ToolWindowHooks, EventsReachEveryClientAndHooksFollowTheClients)
{
    static std::vector<std::pair<int, HWND>> first, second;
    first.clear();
    second.clear();
    const TToolWindowHookProc a = [](int code, HWND wnd, WPARAM, LPARAM) { first.emplace_back(code, wnd); };
    const TToolWindowHookProc b = [](int code, HWND wnd, WPARAM, LPARAM) { second.emplace_back(code, wnd); };
    UnregisterAllToolWindowHookClients();
    ASSERT_FALSE(ToolWindowHookInstalled(hkCbt));
    RegisterToolWindowHookClient(a, hpPreDestroy);
    RegisterToolWindowHookClient(b, hpPreDestroy | hpGetMessage);
    EXPECT_TRUE(ToolWindowHookInstalled(hkCbt));
    EXPECT_TRUE(ToolWindowHookInstalled(hkGetMessage));
    EXPECT_FALSE(ToolWindowHookInstalled(hkCallWndProc));

    TForm form(nullptr);
    form.HandleNeeded();
    const HWND window = form.Handle();
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    Pump();
    DestroyWindow(window);
    auto heard = [window](const std::vector<std::pair<int, HWND>>& events, int code) {
        return std::count(events.begin(), events.end(), std::make_pair(code, window));
    };
    EXPECT_EQ(heard(first, 2), 1) << "the destruction reaches the first client";
    EXPECT_EQ(heard(second, 2), 1) << "and the second";
    EXPECT_EQ(heard(second, 3), 1) << "the mouse move only the client that asked for it";
    EXPECT_EQ(heard(first, 3), 0);

    // A client of focus changes hears the window about to get the focus.
    const TToolWindowHookProc c = [](int code, HWND wnd, WPARAM, LPARAM) { first.emplace_back(code, wnd); };
    RegisterToolWindowHookClient(c, hpSetFocus);
    TForm focused(nullptr);
    focused.Show();
    SetFocus(nullptr);
    first.clear();
    SetFocus(focused.Handle());
    EXPECT_EQ(std::count(first.begin(), first.end(), std::make_pair(4, focused.Handle())), 1);
    UnregisterToolWindowHookClient(c);

    // The host that forwards its own events takes every hook away.
    UnregisterAllToolWindowHookClients();
    EXPECT_EQ(ToolWindowHookClientCount(), 0);
    for (TToolWindowHookKind kind : {hkCallWndProc, hkCbt, hkGetMessage})
        EXPECT_FALSE(ToolWindowHookInstalled(kind));
    // A button made afterwards installs its hook again.
    TKyToolbarButton button(nullptr);
    EXPECT_TRUE(ToolWindowHookInstalled(hkGetMessage));
    EXPECT_TRUE(ToolWindowHookInstalled(hkCallWndProc));
}
