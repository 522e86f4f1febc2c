#include "editor/EasyMouse.h"

#include "EditSourceFakes.h"
#include "FakeEditCommandHost.h"
#include "editor/EasyEditorSubObjects.h"

#include <gtest/gtest.h>

#include <map>

using namespace qrv;
using qrv::test::FakeHost;
using qrv::test::Lines;
using qrv::test::SetLines;
using B = TEasyMouseButton;

namespace {

// A view of 8 by 16 pixel cells right of a 20 pixel gutter; the mouse
// timer, the capture and the cursor are recorded.
class FakeMouseHost : public TEasyMouseHost {
public:
    explicit FakeMouseHost(TCustomEasyEditSource& source) : source_(source) {}
    static constexpr int kGutter = 20, kCell = 8, kRow = 16;
    TEasyPoint TextAt(int x, int y) override
    {
        const int line = LineAt(y);
        const int column = std::max((x - kGutter + kCell / 2) / kCell, 0);
        return {std::min(column, LineLength(line)), line};
    }
    bool CharAt(int x, int y, TEasyPoint& pos) override
    {
        if (x < kGutter || y / kRow >= source_.Strings().Count())
            return false;
        pos = {(x - kGutter) / kCell, y / kRow};
        return pos.X < LineLength(pos.Y);
    }
    bool InGutter(int x, int) override { return x < kGutter; }
    int LineAt(int y) override { return std::clamp(y / kRow, 0, std::max(source_.Strings().Count() - 1, 0)); }
    int GutterImageAt(int line, int x) override
    {
        const auto it = gutter.find(line);
        if (it == gutter.end() || x / 10 >= int(it->second.size()))
            return -1;
        return it->second[size_t(x / 10)];
    }
    bool OnSelectedText(int, int) override { return false; }
    void SetMouseTimer(bool on) override { timer = on; }
    void SetMouseCapture(bool on) override { capture = on; }
    void SetMouseCursor(TEasyMouseCursor c) override { cursor = c; }
    void GutterClick(int line, int index, bool doubleClick) override { clicks.push_back({line, index, doubleClick}); }
    void UrlJump(const std::u16string& url) override { jumps.push_back(url); }

    int LineLength(int line) { return int(source_.Strings().Get(line).size()); }

    // The pixel of a text position's left edge, in the middle of its row.
    static int X(int column) { return kGutter + column * kCell; }
    static int Y(int line) { return line * kRow + kRow / 2; }

    std::map<int, std::vector<int>> gutter;
    bool timer = false;
    bool capture = false;
    TEasyMouseCursor cursor = TEasyMouseCursor::mcDefault;
    struct Click {
        int Line, Index;
        bool Double;
    };
    std::vector<Click> clicks;
    std::vector<std::u16string> jumps;

private:
    TCustomEasyEditSource& source_;
};

class Mouse : public ::testing::Test {
protected:
    Mouse() { edit.options = eoEnableSelection | eoEnableDragging | eoPaintGutter; }
    void Text(std::u16string_view text) { SetLines(edit.source, text); }
    // A press at a text position, timer steps through the others, a release
    // at the last.
    void Drag(std::vector<TEasyPoint> path, unsigned downShift = 0, unsigned upShift = 0)
    {
        using H = FakeMouseHost;
        if (fresh)
            edit.StoreSelection({}, {}, smNone);
        mouse.MouseDown(B::mbLeft, downShift, H::X(path[0].X), H::Y(path[0].Y), false);
        for (const TEasyPoint& p : path)
            mouse.TimerStep(H::X(p.X), H::Y(p.Y), (downShift & msAlt) != 0);
        mouse.MouseUp(B::mbLeft, upShift, H::X(path.back().X), H::Y(path.back().Y));
    }
    void ExpectSelection(TEasyPoint start, TEasyPoint end, int mode = smStream)
    {
        EXPECT_EQ(edit.mode, mode);
        EXPECT_EQ(edit.start, start);
        EXPECT_EQ(edit.end, end);
    }

    // Each drag starts without a selection (unless it drags one).
    bool fresh = true;
    FakeHost edit;
    TEasyEditCommands commands{edit};
    FakeMouseHost host{edit.source};
    TEasyMouse mouse{edit, commands, host};
};

TEST_F(Mouse, ClickPlacesTheCaretAndDraggingSelects)
{
    Text(u"abcdef|ghijkl|mnop");
    // A click without movement: caret there, no selection, mode over.
    Drag({{3, 1}});
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{3, 1}));
    EXPECT_EQ(edit.mode, smNone);
    EXPECT_EQ(mouse.Mode(), mmNone);
    EXPECT_FALSE(host.timer);
    EXPECT_FALSE(host.capture);

    // Stream, forward and back over the anchor.
    Drag({{1, 0}, {4, 0}, {2, 2}});
    ExpectSelection({1, 0}, {2, 2});
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{2, 2}));
    Drag({{4, 1}, {1, 0}});
    ExpectSelection({1, 0}, {4, 1});
    // Alt: a block.
    Drag({{4, 0}, {2, 2}}, msAlt);
    EXPECT_EQ(edit.mode, smBlock);
    // Shift extends from the caret before the press.
    edit.source.SetCaretPos(1, 0);
    Drag({{3, 1}}, msShift);
    ExpectSelection({1, 0}, {3, 1});
    // A right click keeps caret and selection; with eoMoveOnRightClick it moves the caret.
    mouse.MouseDown(B::mbRight, 0, FakeMouseHost::X(0), FakeMouseHost::Y(2), false);
    mouse.MouseUp(B::mbRight, 0, FakeMouseHost::X(0), FakeMouseHost::Y(2));
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{3, 1}));
    ExpectSelection({1, 0}, {3, 1});
    edit.options |= eoMoveOnRightClick;
    mouse.MouseDown(B::mbRight, 0, FakeMouseHost::X(0), FakeMouseHost::Y(2), false);
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{0, 2}));
}

TEST_F(Mouse, CaptureLossEndsTheMode)
{
    Text(u"abcdef|ghijkl");
    mouse.MouseDown(B::mbLeft, 0, FakeMouseHost::X(1), FakeMouseHost::Y(0), false);
    EXPECT_TRUE(host.capture);
    mouse.TimerStep(FakeMouseHost::X(3), FakeMouseHost::Y(0), false);
    mouse.CaptureLost();
    EXPECT_EQ(mouse.Mode(), mmNone);
    EXPECT_FALSE(host.timer);
    // The mouse moving on after the loss no longer selects.
    mouse.TimerStep(FakeMouseHost::X(5), FakeMouseHost::Y(1), false);
    ExpectSelection({1, 0}, {3, 0});
}

TEST_F(Mouse, WordSelectionSnapsBothWays)
{
    edit.options |= eoWordSelection;
    Text(u"alpha beta gamma delta");
    // Right from inside "beta" into "gamma": to gamma's end, the anchor
    // widened to beta's start.
    Drag({{7, 0}, {8, 0}, {13, 0}});
    ExpectSelection({6, 0}, {16, 0});
    // Left from inside "gamma" into "alpha": to alpha's start, the anchor
    // widened to gamma's end.
    Drag({{13, 0}, {12, 0}, {2, 0}});
    ExpectSelection({0, 0}, {16, 0});
    // Block selection does not snap.
    Drag({{7, 0}, {13, 0}}, msAlt);
    EXPECT_EQ(edit.mode, smBlock);
    EXPECT_EQ(edit.start, (TEasyPoint{7, 0}));
}

TEST_F(Mouse, DoubleClickSelectsWordOrLine)
{
    Text(u"one two three|four");
    mouse.MouseDown(B::mbLeft, 0, FakeMouseHost::X(5), FakeMouseHost::Y(0), false);
    mouse.MouseUp(B::mbLeft, 0, FakeMouseHost::X(5), FakeMouseHost::Y(0));
    mouse.MouseDown(B::mbLeft, 0, FakeMouseHost::X(5), FakeMouseHost::Y(0), true);
    EXPECT_EQ(mouse.Mode(), mmDoubleClicked);
    mouse.MouseUp(B::mbLeft, 0, FakeMouseHost::X(5), FakeMouseHost::Y(0));
    ExpectSelection({4, 0}, {7, 0});
    edit.options |= eoDblClickLine;
    mouse.MouseDown(B::mbLeft, 0, FakeMouseHost::X(5), FakeMouseHost::Y(0), true);
    mouse.MouseUp(B::mbLeft, 0, FakeMouseHost::X(5), FakeMouseHost::Y(0));
    ExpectSelection({0, 0}, {0, 1});
}

TEST_F(Mouse, DraggedTextMovesOrCopies)
{
    struct Case {
        const char* Name;
        std::u16string Text;
        TEasyPoint SelStart, SelEnd;
        TEasyPoint Press, Drop;
        unsigned UpShift;
        std::u16string Expected;
    };
    const Case cases[] = {
        // Moved behind itself on its line.
        {"MoveRight", u"abcdef", {1, 0}, {3, 0}, {2, 0}, {5, 0}, 0, u"adebcf"},
        // Moved before itself.
        {"MoveLeft", u"abcdef", {3, 0}, {5, 0}, {4, 0}, {1, 0}, 0, u"adebcf"},
        // Ctrl at the release copies.
        {"Copy", u"abcdef", {1, 0}, {3, 0}, {2, 0}, {5, 0}, msCtrl, u"abcdebcf"},
        // After a selection of whole lines: the drop point moves up with them.
        {"MoveAfterThreeLines", u"l0|l1|l2|l3|l4|end", {0, 1}, {0, 4}, {1, 2}, {2, 5}, 0, u"l0|l4|enl1|l2|l3|d"},
        // Onto itself: nothing changes.
        {"OntoItself", u"abcdef", {1, 0}, {4, 0}, {2, 0}, {3, 0}, 0, u"abcdef"},
    };
    fresh = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Text(c.Text);
        edit.StoreSelection(c.SelStart, c.SelEnd, smStream);
        Drag({c.Press, c.Drop}, 0, c.UpShift);
        EXPECT_EQ(Lines(edit.source), c.Expected);
        if (Lines(edit.source) != c.Text) {
            edit.source.Undo();
            EXPECT_EQ(Lines(edit.source), c.Text);
        }
    }
    // A click inside a selection: the selection goes, the caret stays at the click.
    Text(u"abcdef");
    edit.StoreSelection({1, 0}, {4, 0}, smStream);
    Drag({{2, 0}});
    EXPECT_EQ(edit.mode, smNone);
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{2, 0}));
    // Without eoEnableDragging a press inside selects anew.
    edit.options &= ~eoEnableDragging;
    edit.StoreSelection({1, 0}, {4, 0}, smStream);
    Drag({{2, 0}, {5, 0}});
    ExpectSelection({2, 0}, {5, 0});
}

TEST_F(Mouse, GutterClicksAndFoldButtons)
{
    Text(u"head|  body|  body|tail");
    edit.source.SetOptions(edit.source.Options() | srAllowHiddenLines);
    edit.source.Strings().SetAllowHiddenLines(true);
    edit.source.Strings().Collapse(0, true);
    const bool collapsed = edit.source.Strings().IsCollapsed(0);
    host.gutter[0] = {collapsed ? kEasyGutterCollapsedImage : kEasyGutterExpandedImage, 3};
    // A click on the gutter's empty part: index -1.
    mouse.MouseDown(B::mbLeft, 0, 15, FakeMouseHost::Y(3), false);
    mouse.MouseUp(B::mbLeft, 0, 15, FakeMouseHost::Y(3));
    ASSERT_EQ(host.clicks.size(), 1u);
    EXPECT_EQ(host.clicks[0].Line, 3);
    EXPECT_EQ(host.clicks[0].Index, -1);
    // The second image of line 0.
    mouse.MouseDown(B::mbLeft, 0, 12, FakeMouseHost::Y(0), false);
    mouse.MouseUp(B::mbLeft, 0, 12, FakeMouseHost::Y(0));
    EXPECT_EQ(host.clicks.back().Index, 3);
    // The fold button toggles the block.
    mouse.MouseDown(B::mbLeft, 0, 2, FakeMouseHost::Y(0), false);
    mouse.MouseUp(B::mbLeft, 0, 2, FakeMouseHost::Y(0));
    EXPECT_NE(edit.source.Strings().IsCollapsed(0), collapsed);
    // Pressed on the gutter, released on the text: no click.
    const size_t clicks = host.clicks.size();
    mouse.MouseDown(B::mbLeft, 0, 2, FakeMouseHost::Y(0), false);
    mouse.MouseUp(B::mbLeft, 0, FakeMouseHost::X(2), FakeMouseHost::Y(0));
    EXPECT_EQ(host.clicks.size(), clicks);
}

TEST_F(Mouse, UrlClicksAndCursor)
{
    Text(u"see www.x.de or a@b.de now");
    edit.source.EnsureParsed(0);
    const int url = FakeMouseHost::X(9);
    const int mail = FakeMouseHost::X(17);
    const int plain = FakeMouseHost::X(1);
    const int y = FakeMouseHost::Y(0);
    mouse.MouseMove(url, y);
    EXPECT_EQ(host.cursor, TEasyMouseCursor::mcHand);
    mouse.MouseMove(plain, y);
    EXPECT_EQ(host.cursor, TEasyMouseCursor::mcDefault);
    for (const int x : {url, mail}) {
        mouse.MouseDown(B::mbLeft, 0, x, y, false);
        mouse.MouseUp(B::mbLeft, 0, x, y);
    }
    ASSERT_EQ(host.jumps.size(), 2u);
    EXPECT_EQ(host.jumps[0], u"www.x.de");
    EXPECT_EQ(host.jumps[1], u"a@b.de");
    // Pressed on the address, released off it; or a selection made: no jump.
    mouse.MouseDown(B::mbLeft, 0, url, y, false);
    mouse.MouseUp(B::mbLeft, 0, plain, y);
    Drag({{8, 0}, {10, 0}});
    EXPECT_EQ(host.jumps.size(), 2u);
}

}  // namespace
