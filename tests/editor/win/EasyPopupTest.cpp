#include "editor/win/EasyPopup.h"
#include "editor/win/EasyListBox.h"
#include "framework/win/ExtCtrls.h"

#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace qrv;
using namespace std::chrono_literals;

// ShowPopupList gives the list box the keyboard focus (SetFocus()), and the
// popup closes when another window becomes active: the suite takes the focus lock.

namespace {

// A host form with an "editor" and a panel the list box normally lives on,
// hidden there. The form is shown once for the suite: under Wine without a
// window manager, hiding a window that was active takes two seconds.
struct EasyPopupWin : ::testing::Test {
    static void SetUpTestSuite()
    {
        form = new TForm(nullptr);
        form->SetBounds(100, 100, 500, 400);
        form->Show();
    }
    static void TearDownTestSuite()
    {
        delete form;
        form = nullptr;
    }
    void SetUp() override
    {
        editor = new TPanel(nullptr);
        editor->SetParent(form);
        editor->SetBounds(10, 10, 300, 200);
        home = new TPanel(nullptr);
        home->SetParent(form);
        home->SetBounds(10, 220, 300, 150);
        list = new TEasyListBox(nullptr);
        list->SetParent(home);
        list->SetBounds(5, 6, 180, 90);
        list->SetVisible(false);
        list->AddItem(L"{\\rtf1 a|bb}");
        list->AddItem(L"{\\rtf1 ccc|d}");
        list->OnDblClick = [this](TComponent*) { ++ownDblClicks; };
        SetForegroundWindow(form->Handle());
        // The activation's messages are handled before a test begins. On a
        // loaded machine the first test's wait also covers the form's showing
        // (the X server's answers come late), so the bound is generous and the
        // form being active is part of the condition.
        ASSERT_TRUE(test::PumpUntilIdle([] { return GetActiveWindow() == form->Handle(); }, 10s));
    }
    void TearDown() override
    {
        ClosePopupList(false);
        delete list;
        delete home;
        delete editor;
        EXPECT_TRUE(test::PumpUntilIdle([] { return true; }, 2s));
    }
    bool Show(bool sizeable = false)
    {
        return ShowPopupList(
            list, editor, 20, 30,
            [this](TCustomListBox* chosenFrom) {
                ++chosen;
                chosenList = chosenFrom;
            },
            sizeable);
    }
    void ExpectListAsBefore()
    {
        EXPECT_EQ(list->Parent(), home);
        const RECT bounds = list->BoundsRect();
        const RECT expected{5, 6, 185, 96};
        EXPECT_TRUE(EqualRect(&bounds, &expected));
        EXPECT_EQ(list->Align(), TAlign::alNone);
        EXPECT_FALSE(list->Visible());
        ASSERT_TRUE(list->OnDblClick);
        list->OnDblClick(list);
        EXPECT_EQ(ownDblClicks, 1) << "the list's own event is back";
    }
    void Key(WPARAM key) { SendMessageW(list->Handle(), WM_KEYDOWN, key, 0); }

    static inline TForm* form = nullptr;
    TPanel* editor = nullptr;
    TPanel* home = nullptr;
    TEasyListBox* list = nullptr;
    int chosen = 0;
    int ownDblClicks = 0;
    TCustomListBox* chosenList = nullptr;
};

}  // namespace

TEST_F(EasyPopupWin, ShowsTheListAtTheEditorPoint)
{
    ASSERT_TRUE(Show());
    TEasyPopup* popup = ActivePopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(list->Parent(), popup);
    EXPECT_TRUE(list->Visible());
    EXPECT_EQ(list->Align(), TAlign::alClient);
    EXPECT_TRUE(IsWindowVisible(popup->Handle()));
    EXPECT_EQ(popup->ModalResult(), mrNone);
    EXPECT_EQ(popup->HostForm(), form);
    POINT expected{20, 30};
    ClientToScreen(editor->Handle(), &expected);
    RECT window{};
    GetWindowRect(popup->Handle(), &window);
    EXPECT_EQ(window.left, expected.x);
    EXPECT_EQ(window.top, expected.y);
    RECT client{};
    GetClientRect(popup->Handle(), &client);
    EXPECT_EQ(client.right, 180);
    EXPECT_EQ(client.bottom, 90);
    const LONG_PTR exStyle = GetWindowLongPtrW(popup->Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(popup->Handle(), GW_OWNER), form->Handle());
    EXPECT_EQ(GetFocus(), list->Handle());
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 2) << "items survive the move";
}

TEST_F(EasyPopupWin, EnterChoosesOnce)
{
    ASSERT_TRUE(Show());
    list->SetItemIndex(1);
    Key(VK_RETURN);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(chosenList, list);
    EXPECT_EQ(ActivePopup(), nullptr);
    Key(VK_RETURN);                                             // the popup is closed: nothing more is chosen
    ASSERT_TRUE(test::PumpUntilIdle([] { return true; }, 2s));  // what the closing posted
    EXPECT_EQ(chosen, 1);
    ExpectListAsBefore();
    EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(EasyPopupWin, EscapeLeavesTheListAsItWas)
{
    ASSERT_TRUE(Show());
    Key(VK_ESCAPE);
    EXPECT_EQ(ActivePopup(), nullptr);
    ASSERT_TRUE(test::PumpUntilIdle([] { return true; }, 2s));  // what the closing posted
    EXPECT_EQ(chosen, 0);
    ExpectListAsBefore();
}

TEST_F(EasyPopupWin, ASecondPopupDoesNothing)
{
    ASSERT_TRUE(Show());
    TEasyPopup* first = ActivePopup();
    TEasyListBox other(nullptr);
    EXPECT_FALSE(ShowPopupList(&other, editor, 0, 0, nullptr, true));
    EXPECT_EQ(ActivePopup(), first);
    EXPECT_EQ(other.Parent(), nullptr);
    EXPECT_EQ(list->Parent(), first);
}

TEST_F(EasyPopupWin, ADoubleClickChoosesAndClosingFromOutsideFreesAtOnce)
{
    ASSERT_TRUE(Show(true));
    list->Perform(CN_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), reinterpret_cast<LPARAM>(list->Handle()));
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(ActivePopup(), nullptr);
    ASSERT_TRUE(test::PumpUntilIdle([] { return true; }, 2s));  // what the closing posted
    ExpectListAsBefore();

    ownDblClicks = 0;
    ASSERT_TRUE(Show(true));
    ClosePopupList(false);
    EXPECT_EQ(chosen, 1);
    ExpectListAsBefore();
}

TEST_F(EasyPopupWin, ASizeablePopupHiddenFromOutsideCancels)
{
    ASSERT_TRUE(Show(true));
    HWND window = ActivePopup()->Handle();
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(ActivePopup(), nullptr);
    ASSERT_TRUE(test::PumpUntilIdle([] { return true; }, 2s));  // what the closing posted
    EXPECT_EQ(chosen, 0);
    ExpectListAsBefore();
}

TEST_F(EasyPopupWin, AnotherActiveWindowCancels)
{
    ASSERT_TRUE(Show());
    SetForegroundWindow(form->Handle());
    SetActiveWindow(form->Handle());
    EXPECT_TRUE(test::PumpUntil([] { return ActivePopup() == nullptr; }, 1000ms));
    ASSERT_TRUE(test::PumpUntilIdle([] { return true; }, 2s));  // what the closing posted
    EXPECT_EQ(chosen, 0);
    ExpectListAsBefore();
}

TEST_F(EasyPopupWin, ThePopupClosesWhenItsEditorGoes)
{
    ASSERT_TRUE(Show());
    delete editor;
    editor = nullptr;
    EXPECT_EQ(ActivePopup(), nullptr);
    EXPECT_EQ(chosen, 0);
    ExpectListAsBefore();
}

TEST_F(EasyPopupWin, ThePopupClosesWhenItsHostFormOrItsListGoes)
{
    // An editor and a list that are not the host's components outlive it.
    auto* host = new TForm(nullptr);
    host->SetBounds(150, 150, 300, 200);
    host->Show();
    auto* ownEditor = new TPanel(nullptr);
    ownEditor->SetParent(host);
    ownEditor->SetBounds(0, 0, 50, 50);
    TEasyListBox outside(nullptr);
    outside.SetBounds(1, 2, 30, 40);
    outside.AddItem(L"x");
    ASSERT_TRUE(ShowPopupList(&outside, ownEditor, 5, 5, nullptr, false));
    delete host;
    EXPECT_EQ(ActivePopup(), nullptr);
    EXPECT_EQ(outside.Parent(), nullptr);
    const RECT bounds = outside.BoundsRect();
    const RECT expected{1, 2, 31, 42};
    EXPECT_TRUE(EqualRect(&bounds, &expected));
    ownEditor->SetParent(nullptr);
    delete ownEditor;

    // A borrowed list that is freed closes the popup.
    auto* doomed = new TEasyListBox(nullptr);
    doomed->AddItem(L"y");
    ASSERT_TRUE(ShowPopupList(
        doomed, editor, 5, 5, [this](TCustomListBox*) { ++chosen; }, false));
    delete doomed;
    EXPECT_EQ(ActivePopup(), nullptr);
    EXPECT_EQ(chosen, 0);
}

TEST_F(EasyPopupWin, AlignColumnsPutsTheSecondColumnAtOneX)
{
    const int total = list->AlignColumns();
    auto secondColumnX = [&](int item) {
        int x = 0;
        for (const TEasyRtfPiece& piece : list->Line(item)->Pieces) {
            if (piece.Text == u"|")
                return x + piece.Width;
            x += piece.Width;
        }
        return -1;
    };
    ASSERT_GT(secondColumnX(0), 0);
    EXPECT_EQ(secondColumnX(0), secondColumnX(1));
    EXPECT_EQ(list->Line(0)->Width,
              list->Line(1)->Width - list->Line(1)->Pieces.back().Width + list->Line(0)->Pieces.back().Width);
    EXPECT_EQ(total,
              secondColumnX(1) + std::max(list->Line(0)->Pieces.back().Width, list->Line(1)->Pieces.back().Width));

    // Drawn: "bb" and "d" begin at that x, where the same text drawn on its
    // own at the column begins.
    const int width = 200, height = list->ItemHeight();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    TGdiObject bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TSelectObject select(dc.Get(), bitmap.Get());
    const auto* pixels = static_cast<const uint32_t*>(bits);
    auto firstInk = [&](int from) {
        const uint32_t background = pixels[width - 1];
        for (int x = from; x < width; ++x)
            for (int y = 0; y < height; ++y)
                if (pixels[y * width + x] != background)
                    return x;
        return -1;
    };
    auto drawItem = [&](int item) {
        DRAWITEMSTRUCT draw{ODT_LISTBOX,
                            0,
                            static_cast<UINT>(item),
                            ODA_DRAWENTIRE,
                            0,
                            list->Handle(),
                            dc.Get(),
                            RECT{0, 0, width, height},
                            0};
        list->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    };
    const int column = secondColumnX(0);
    auto alone = [&](const wchar_t* text, int x) {
        const RECT all{0, 0, width, height};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const TSelectObject font(dc.Get(), list->Line(0)->Pieces.back().Font);
        SetBkMode(dc.Get(), TRANSPARENT);
        TextOutW(dc.Get(), x, 0, text, static_cast<int>(wcslen(text)));
        return firstInk(0);
    };
    const int bbAlone = alone(L"bb", column);
    const int dAlone = alone(L"d", column);
    drawItem(0);
    EXPECT_EQ(firstInk(column), bbAlone);
    drawItem(1);
    EXPECT_EQ(firstInk(column), dAlone);
    EXPECT_LT(firstInk(0), column) << "ccc is drawn before the column";
}

TEST(EasyListBoxWin, ItemHeightAndPlainItems)
{
    TEasyListBox list(nullptr);
    list.Font().SetName(L"Arial");
    list.Font().SetHeight(-20);
    TEXTMETRICW metrics{};
    {
        TWindowDC screen(nullptr);
        TSelectObject select(screen.Get(), list.Font().Handle());
        GetTextMetricsW(screen.Get(), &metrics);
    }
    EXPECT_EQ(list.ItemHeight(), metrics.tmAscent + metrics.tmDescent);
    list.AddItem(L"x|y");
    list.AddItem(L"plain");
    ASSERT_EQ(list.Items().Count(), 2);
    EXPECT_EQ(list.Items().Get(0), L"x|y");
    ASSERT_EQ(list.Line(0)->Pieces.size(), 3u) << "plain text columns split too";
    EXPECT_EQ(list.Line(0)->Pieces[1].Text, u"|");
    ASSERT_EQ(list.Line(1)->Pieces.size(), 1u);
    EXPECT_EQ(list.Line(1)->Pieces[0].Text, u"plain");
    list.ClearItems();
    EXPECT_EQ(list.Items().Count(), 0);
}
