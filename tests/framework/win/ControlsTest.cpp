#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qrv;

TEST(Controls, AlignLaysOutTopBottomLeftRightThenClient)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 400);
    form.HandleNeeded();
    auto make = [&](TAlign align, int size) {
        auto* panel = new TPanel(&form);
        panel->SetWidth(size);
        panel->SetHeight(size);
        panel->SetAlign(align);
        panel->SetParent(&form);
        return panel;
    };
    TPanel* client = make(TAlign::alClient, 10);
    TPanel* bottom = make(TAlign::alBottom, 50);
    TPanel* left = make(TAlign::alLeft, 100);
    TPanel* top = make(TAlign::alTop, 30);
    TPanel* right = make(TAlign::alRight, 70);

    const int w = form.ClientWidth();
    const int h = form.ClientHeight();
    EXPECT_EQ(top->BoundsRect().top, 0);
    EXPECT_EQ(top->Width(), w);
    EXPECT_EQ(bottom->Top(), h - 50);
    EXPECT_EQ(left->Top(), 30);
    EXPECT_EQ(left->Height(), h - 80);
    EXPECT_EQ(right->Left(), w - 70);
    EXPECT_EQ(client->Left(), 100);
    EXPECT_EQ(client->Width(), w - 170);
    EXPECT_EQ(client->Height(), h - 80);

    // The child windows really are where the controls say.
    RECT r;
    GetWindowRect(client->Handle(), &r);
    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right - r.left, w - 170);

    // Hiding a control gives its room to the others.
    left->SetVisible(false);
    EXPECT_EQ(client->Left(), 0);
}

TEST(Controls, SameAlignedControlsStackFromTheEdgeInwardsThenKeepTheirPlaces)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    form.HandleNeeded();
    auto make = [&](TAlign align, int size) {
        auto* panel = new TPanel(&form);
        panel->SetHeight(size);
        panel->SetWidth(size);
        panel->SetAlign(align);
        panel->SetParent(&form);
        return panel;
    };
    TPanel* status = make(TAlign::alBottom, 20);
    TPanel* display = make(TAlign::alBottom, 100);
    TPanel* tree = make(TAlign::alLeft, 120);
    TPanel* splitter = make(TAlign::alLeft, 4);
    const int h = form.ClientHeight();
    EXPECT_EQ(status->Top(), h - 20) << "added first, so nearest the edge";
    EXPECT_EQ(display->Top(), h - 120);
    EXPECT_EQ(splitter->Left(), 120);

    // Once placed, order follows position: the splitter stays right of the
    // tree when the tree grows.
    tree->SetWidth(150);
    EXPECT_EQ(splitter->Left(), 150);
    form.SetBounds(0, 0, 500, 400);
    EXPECT_EQ(status->Top() + status->Height(), form.ClientHeight());
    EXPECT_EQ(display->Top() + display->Height(), status->Top());
}

namespace {

std::vector<HWND> DescendantWindows(HWND window)
{
    std::vector<HWND> found;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

// A control whose window is asked for before its parents' windows exist gets
// the one window its parents make for it, not a second one beside it: a
// second window would outlive the control and reach it after it is freed.
TEST(Controls, AskingAChildsHandleFirstMakesEachWindowOnce)
{
    for (const bool nested : {false, true}) {
        SCOPED_TRACE(nested ? "edit on a panel on the form" : "edit on the form");
        TForm form(nullptr);
        TPanel* panel = nullptr;
        TWinControl* container = &form;
        if (nested) {
            panel = new TPanel(&form);
            panel->SetParent(&form);
            container = panel;
        }
        auto* edit = new TEdit(&form);
        edit->SetParent(container);
        auto* button = new TButton(&form);
        button->SetParent(container);
        ASSERT_FALSE(form.HandleAllocated());

        const HWND editWindow = edit->Handle();
        ASSERT_TRUE(form.HandleAllocated());
        const std::vector<HWND> windows = DescendantWindows(form.Handle());
        ASSERT_EQ(windows.size(), nested ? 3u : 2u);
        for (HWND window : windows) {
            TWinControl* control = TWinControl::FromHandle(window);
            ASSERT_TRUE(control == panel || control == edit || control == button);
            EXPECT_EQ(control->Handle(), window);
        }
        EXPECT_EQ(GetParent(editWindow), container->Handle());

        // A freed control leaves no window behind that still points at it.
        delete edit;
        EXPECT_FALSE(IsWindow(editWindow));
        EXPECT_EQ(DescendantWindows(form.Handle()).size(), nested ? 2u : 1u);
    }
}

TEST(Controls, ExceptionsInAHandlerGoToTheApplication)
{
    TForm form(nullptr);
    form.HandleNeeded();
    int seen = 0;
    std::wstring message;
    Application->OnException = [&](TComponent*, const std::exception& e) {
        ++seen;
        message = dynamic_cast<const Exception&>(e).Message();
    };
    form.OnResize = [](TComponent*) { throw EConvertError(L"kaputt"); };
    SetWindowPos(form.Handle(), nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOMOVE);
    Application->OnException = nullptr;
    EXPECT_GE(seen, 1);
    EXPECT_EQ(message, L"kaputt");
}

TEST(Menus, CommandsAndShortcutsReachOnClick)
{
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    auto* file = new TMenuItem(&form);
    file->SetCaption(L"&Datei");
    menu->Items()->Add(file);
    auto* open = new TMenuItem(&form);
    open->SetCaption(L"Ö&ffnen");
    open->SetShortCut(ShortCut('O', scCtrl));
    int clicks = 0;
    open->OnClick = [&](TComponent* sender) {
        EXPECT_EQ(sender, open);
        ++clicks;
    };
    file->Add(open);
    form.SetMenu(menu);
    form.HandleNeeded();

    // The menu bar holds the item with its shortcut text.
    HMENU bar = GetMenu(form.Handle());
    ASSERT_NE(bar, nullptr);
    wchar_t text[64];
    GetMenuStringW(GetSubMenu(bar, 0), open->Command(), text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"Ö&ffnen\tStrg+O");

    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(menu->IsShortCut(ShortCut('O', scCtrl)));
    EXPECT_EQ(clicks, 2);

    open->SetEnabled(false);
    EXPECT_FALSE(menu->IsShortCut(ShortCut('O', scCtrl)));
    EXPECT_EQ(GetMenuState(GetSubMenu(bar, 0), open->Command(), MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));

    delete open;  // leaves the menu
    EXPECT_EQ(file->Count(), 0);
    EXPECT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(GetSubMenu(bar, 0), nullptr) << "an item without sub-items is a plain command";
}

TEST(StatusBar, ShowsItsPanelsTexts)
{
    TForm form(nullptr);
    auto* bar = new TStatusBar(&form);
    bar->SetParent(&form);
    bar->AddPanel(100, L"eins");
    bar->AddPanel(100);
    form.HandleNeeded();
    bar->SetPanelText(1, L"zwei");
    EXPECT_EQ(bar->DisplayedText(0), L"eins");
    EXPECT_EQ(bar->DisplayedText(1), L"zwei");
    EXPECT_EQ(bar->Top() + bar->Height(), form.ClientHeight()) << "docked at the bottom";
}

// The loop's idle moment: the handler runs once the queue has run empty,
// before the loop waits, and never while messages wait.
TEST(ApplicationIdle, TheIdleHandlerRunsWhenNoMessageWaits)
{
    int idles = 0;
    bool waitingAtIdle = false;
    TForm form(nullptr);
    form.HandleNeeded();
    const HWND window = form.Handle();
    Application->OnIdle = [&] {
        ++idles;
        waitingAtIdle = waitingAtIdle || HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0;
        // Something to wake the wait that follows.
        PostMessageW(window, WM_NULL, 0, 0);
    };
    for (int i = 0; i < 20; ++i)
        PostMessageW(window, WM_NULL, 0, 0);
    // Twenty messages take twenty turns of the loop before the first idle one.
    int turns = 0;
    while (idles == 0 && turns < 1000) {
        Application->HandleMessage();
        ++turns;
    }
    Application->OnIdle = nullptr;
    EXPECT_EQ(idles, 1);
    EXPECT_GT(turns, 20);
    EXPECT_FALSE(waitingAtIdle);
}
