#include "editor/win/EasyEditor.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <windowsx.h>

using namespace qrv;

namespace {

class EditorMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.SetBounds(40, 40, 640, 480);
        edit = new TEasyEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(0, 0, 600, 400);
        form.Show();
        edit->SetFocus();
    }
    // The client pixel in the middle of a character's left edge.
    POINT At(int column, int line)
    {
        POINT p = edit->TextToClient({column, line});
        p.y += edit->LineHeight() / 2;
        p.x += 1;
        return p;
    }
    void Button(UINT msg, POINT p, WPARAM keys = 0) { SendMessageW(edit->Handle(), msg, keys, MAKELPARAM(p.x, p.y)); }
    // The mouse is at the point now and the selection timer fires.
    bool MoveTo(POINT p)
    {
        POINT screen = p;
        ClientToScreen(edit->Handle(), &screen);
        if (!SetCursorPos(screen.x, screen.y))
            return false;
        SendMessageW(edit->Handle(), WM_TIMER, 11, 0);
        return true;
    }

    TForm form{nullptr};
    TEasyEdit* edit = nullptr;
};

TEST_F(EditorMouse, MessagesSelectMoveAndCopy)
{
    // ctest: runs alone (the selection follows the cursor where it was put)
    edit->Lines().SetText(u"abcdefgh\r\nijklmnop\r\nqrst");
    Button(WM_LBUTTONDOWN, At(2, 0), MK_LBUTTON);
    EXPECT_EQ(GetCapture(), edit->Handle());
    if (!MoveTo(At(5, 1)))
        GTEST_SKIP() << "the cursor cannot be moved here";
    Button(WM_LBUTTONUP, At(5, 1));
    EXPECT_NE(GetCapture(), edit->Handle());
    EXPECT_EQ(edit->SelStart(), (TEasyPoint{2, 0}));
    EXPECT_EQ(edit->SelEnd(), (TEasyPoint{5, 1}));
    EXPECT_EQ(edit->GetSelText(), L"cdefgh\r\nijklm");

    // Dragged from inside the selection to the last line: moved there.
    edit->SetSelection({1, 0}, {3, 0});
    Button(WM_LBUTTONDOWN, At(2, 0), MK_LBUTTON);
    ASSERT_TRUE(MoveTo(At(2, 2)));
    Button(WM_LBUTTONUP, At(2, 2));
    EXPECT_EQ(edit->Lines().GetTextStr(), u"adefgh\r\nijklmnop\r\nqrbcst\r\n");
    // With Ctrl at the release: copied.
    edit->SetSelection({0, 1}, {2, 1});
    Button(WM_LBUTTONDOWN, At(1, 1), MK_LBUTTON);
    ASSERT_TRUE(MoveTo(At(0, 0)));
    Button(WM_LBUTTONUP, At(0, 0), MK_CONTROL);
    EXPECT_EQ(edit->Lines().GetTextStr(), u"ijadefgh\r\nijklmnop\r\nqrbcst\r\n");
    // A double click selects the word.
    Button(WM_LBUTTONDOWN, At(2, 1), MK_LBUTTON);
    Button(WM_LBUTTONUP, At(2, 1));
    Button(WM_LBUTTONDBLCLK, At(2, 1), MK_LBUTTON);
    Button(WM_LBUTTONUP, At(2, 1));
    EXPECT_EQ(edit->GetSelText(), L"ijklmnop");
}

TEST_F(EditorMouse, ALostCaptureEndsTheSelection)
{
    // ctest: runs alone (the selection follows the cursor where it was put)
    edit->Lines().SetText(u"abcdefgh\r\nijklmnop");
    Button(WM_LBUTTONDOWN, At(1, 0), MK_LBUTTON);
    if (!MoveTo(At(4, 0)))
        GTEST_SKIP() << "the cursor cannot be moved here";
    // A box or Alt+Tab takes the capture; the release happens elsewhere.
    ReleaseCapture();
    EXPECT_EQ(edit->Mouse().Mode(), mmNone);
    ASSERT_TRUE(MoveTo(At(6, 1)));
    EXPECT_EQ(edit->SelStart(), (TEasyPoint{1, 0}));
    EXPECT_EQ(edit->SelEnd(), (TEasyPoint{4, 0}));
}

TEST_F(EditorMouse, CursorsOverAddressesAndTheGutter)
{
    // ctest: runs alone (the cursor's shape is read where it was put)
    edit->SetOptions(edit->Options() | eoPaintGutter);
    edit->Lines().SetText(u"see http://example.org now");
    edit->GetEditSource()->EnsureParsed(0);
    auto cursorAt = [this](POINT p) {
        POINT screen = p;
        ClientToScreen(edit->Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(edit->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(edit->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    if (!SetCursorPos(100, 100))
        GTEST_SKIP() << "the cursor cannot be moved here";
    EXPECT_EQ(cursorAt(At(8, 0)), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(cursorAt(At(1, 0)), LoadCursorW(nullptr, IDC_IBEAM));
    const POINT gutter{edit->ViewOrigin().x + 2, At(0, 0).y};
    EXPECT_EQ(cursorAt(gutter), LoadCursorW(nullptr, IDC_ARROW));
    // A click on the address that the handler takes opens nothing.
    std::wstring jumped;
    edit->OnUrlJump = [&jumped](TComponent*, const std::wstring& url, bool& handled) {
        jumped = url;
        handled = true;
    };
    Button(WM_LBUTTONDOWN, At(8, 0), MK_LBUTTON);
    Button(WM_LBUTTONUP, At(8, 0));
    EXPECT_EQ(jumped, L"http://example.org");
    // A gutter click names the line and no image.
    int clickedLine = -2, clickedIndex = -2;
    edit->OnGutterClick = [&](TComponent*, int line, int index) {
        clickedLine = line;
        clickedIndex = index;
    };
    Button(WM_LBUTTONDOWN, gutter, MK_LBUTTON);
    Button(WM_LBUTTONUP, gutter);
    EXPECT_EQ(clickedLine, 0);
    EXPECT_EQ(clickedIndex, -1);
}

}  // namespace
