#pragma once
// TEasyMouse: what the editor does with the mouse. A press places the caret
// and starts a mode: selecting (stream, or block with Alt; whole words with
// eoWordSelection), dragging the selected text (moved at the release, copied
// with Ctrl), or the word or line a double click selected. While a mode runs
// the host's timer steps the selection after the mouse, and the host holds
// the mouse capture; losing it ends the mode. Clicks on the gutter and on web
// addresses are reported to the host. Portable: the editor control is one
// host, tests have another with a scripted mouse position.

#include "editor/EasyEditCommands.h"
#include "editor/EasyEditorOptions.h"
#include "editor/EasyPoint.h"

#include <string>

namespace qrv {

enum class TEasyMouseButton { mbLeft, mbRight, mbMiddle };
enum TEasyMouseShift : unsigned { msShift = 1, msCtrl = 2, msAlt = 4 };
enum class TEasyMouseCursor { mcDefault, mcArrow, mcHand, mcNoDrop, mcDrag };

// Mouse modes.
enum : int { mmNone = 0, mmSelecting = 1, mmDragging = 2, mmDoubleClicked = 3 };

class TEasyMouseHost {
public:
    virtual ~TEasyMouseHost() = default;
    // The caret position nearest to a view point, and the character under
    // it (false past the line's end or the text's).
    virtual TEasyPoint TextAt(int x, int y) = 0;
    virtual bool CharAt(int x, int y, TEasyPoint& pos) = 0;
    // The point lies left of the text: on the gutter, the line numbers or
    // the collapse column.
    virtual bool InGutter(int x, int y) = 0;
    virtual int LineAt(int y) = 0;
    // The gutter image of the line under x, -1 for none.
    virtual int GutterImageAt(int line, int x) = 0;
    // The point lies on selected text of an existing line.
    virtual bool OnSelectedText(int x, int y) = 0;
    virtual bool CanTakeFocus() { return true; }
    virtual void TakeFocus() {}
    virtual void SetMouseTimer(bool on) = 0;
    virtual void SetMouseCapture(bool on) = 0;
    virtual void SetMouseCursor(TEasyMouseCursor cursor) = 0;
    virtual void MouseCaretVisible() {}
    virtual void StopAutoComplete() {}
    // A gutter click or double click (the fold buttons already toggled).
    virtual void GutterClick(int line, int index, bool doubleClick) = 0;
    // The web address under a click.
    virtual void UrlJump(const std::u16string& url) = 0;
};

class TEasyMouse {
public:
    TEasyMouse(TEasyEditCommandHost& editor, TEasyEditCommands& commands, TEasyMouseHost& host)
        : editor_(editor), commands_(commands), host_(host)
    {}

    void MouseDown(TEasyMouseButton button, unsigned shift, int x, int y, bool doubleClick);
    void MouseUp(TEasyMouseButton button, unsigned shift, int x, int y);
    // Timer 11: the mouse is at the point now.
    void TimerStep(int x, int y, bool altDown);
    // The mouse moved with no button pressed or during a mode: the cursor.
    void MouseMove(int x, int y);
    // The capture went elsewhere (a box, Alt+Tab): the mode ends.
    void CaptureLost();
    // The window goes.
    void Reset();

    int Mode() const { return mode_; }
    TEasyMouseCursor Cursor() const { return cursor_; }

    // Inserts the selected text at the caret, moved or copied; false when
    // the caret lies inside the selection.
    bool DropSelection(bool move);
    // The character at the point carries the source's web-address style.
    bool IsOverUrl(int x, int y);
    // The run of web-address characters around the position.
    std::u16string UrlAt(TEasyPoint pos);

private:
    void EndMode();
    void StartMode(int mode);
    bool CaretInSelection();
    // The mouse position inside a word moved to the word's end (moving
    // right) or start; the first time, the anchor widens to its own word.
    TEasyPoint SnapToWord(TEasyPoint pos);

    TEasyEditCommandHost& editor_;
    TEasyEditCommands& commands_;
    TEasyMouseHost& host_;
    int mode_ = mmNone;
    TEasyPoint anchor_;
    TEasyPoint pressPoint_;
    TEasyPoint last_{-1, -1};
    int lastX_ = 0;
    bool movingRight_ = true;
    bool wordSnapped_ = false;
    bool anchorWidened_ = false;
    bool pressedOnUrl_ = false;
    bool pressedOnGutter_ = false;
    TEasyMouseCursor cursor_ = TEasyMouseCursor::mcDefault;
};

}  // namespace qrv
