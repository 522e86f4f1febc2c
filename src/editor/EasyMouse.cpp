#include "editor/EasyMouse.h"

#include "editor/EasyEditSource.h"
#include "editor/EasyEditorSubObjects.h"
#include "editor/EasySelMode.h"

#include <algorithm>

namespace qrv {

namespace {

bool Has(TEasyEditCommandHost& editor, TEasyEditorOptions option)
{
    return (editor.CommandOptions() & option) != 0;
}

}  // namespace

void TEasyMouse::StartMode(int mode)
{
    mode_ = mode;
    last_ = {-1, -1};
    host_.SetMouseCapture(true);
    host_.SetMouseTimer(true);
}

void TEasyMouse::EndMode()
{
    const bool running = mode_ != mmNone;
    mode_ = mmNone;
    wordSnapped_ = false;
    anchorWidened_ = false;
    if (!running)
        return;
    host_.SetMouseTimer(false);
    cursor_ = TEasyMouseCursor::mcDefault;
    host_.SetMouseCursor(cursor_);
    host_.SetMouseCapture(false);
}

void TEasyMouse::Reset()
{
    EndMode();
    pressedOnUrl_ = pressedOnGutter_ = false;
}

void TEasyMouse::CaptureLost()
{
    EndMode();
}

bool TEasyMouse::CaretInSelection()
{
    const int mode = editor_.StoredSelMode();
    if (mode == smNone)
        return false;
    const TEasySelCorners sel = editor_.Selection();
    const TEasyPoint caret = editor_.Source().CaretPoint();
    if (mode == smBlock) {
        const TEasyBlockColumns columns = BlockColumns(sel.Start, sel.End, Has(editor_, eoReduceBlockSel));
        return caret.Y >= sel.Start.Y && caret.Y <= sel.End.Y && caret.X >= columns.Left && caret.X < columns.Right;
    }
    return !Before(caret, sel.Start) && Before(caret, sel.End);
}

void TEasyMouse::MouseDown(TEasyMouseButton button, unsigned shift, int x, int y, bool doubleClick)
{
    host_.StopAutoComplete();
    if (host_.CanTakeFocus()) {
        host_.TakeFocus();
        TCustomEasyEditSource& source = editor_.Source();
        const TEasyPoint before = source.CaretPoint();
        if (button != TEasyMouseButton::mbRight || Has(editor_, eoMoveOnRightClick)) {
            const TEasyPoint pos = host_.TextAt(x, y);
            source.SetCaretPos(pos.X, pos.Y);
        }
        if (button == TEasyMouseButton::mbLeft && Has(editor_, eoEnableSelection)) {
            if (doubleClick && !host_.InGutter(x, y)) {
                EndMode();
                const TEasyPoint caret = source.CaretPoint();
                if (Has(editor_, eoDblClickLine)) {
                    const bool last = caret.Y + 1 >= source.Strings().Count();
                    const TEasyPoint end = last ? TEasyPoint{int(source.Strings().Get(caret.Y).size()), caret.Y}
                                                : TEasyPoint{0, caret.Y + 1};
                    editor_.StoreSelection({0, caret.Y}, end, smStream);
                } else {
                    int start = 0, end = 0;
                    source.WordBounds(caret, wbWord, start, end);
                    if (end >= start && start > 0)
                        editor_.StoreSelection({start - 1, caret.Y}, {end, caret.Y}, smStream);
                }
                mode_ = mmDoubleClicked;
            } else if (!doubleClick && mode_ == mmNone) {
                wordSnapped_ = anchorWidened_ = false;
                if (CaretInSelection() && Has(editor_, eoEnableDragging) && !source.ReadOnly()) {
                    // With Shift the framework's drag would start, which no
                    // window here receives: the press does nothing more.
                    if (!(shift & msShift))
                        StartMode(mmDragging);
                } else {
                    editor_.StoreSelection({}, {}, smNone);
                    anchor_ = pressPoint_ = source.CaretPoint();
                    lastX_ = x;
                    if (shift & msShift) {
                        anchor_ = before;
                        editor_.StoreSelection(anchor_, source.CaretPoint(), (shift & msAlt) ? smBlock : smStream);
                    }
                    StartMode(mmSelecting);
                }
            } else if (mode_ != mmNone) {
                EndMode();
            }
        } else if (mode_ != mmNone) {
            EndMode();
        }
    }
    pressedOnUrl_ = IsOverUrl(x, y);
    pressedOnGutter_ = Has(editor_, eoPaintGutter) && host_.InGutter(x, y);
}

TEasyPoint TEasyMouse::SnapToWord(TEasyPoint pos)
{
    const TCustomEasyEditSource& source = editor_.Source();
    int start = 0, end = 0;
    source.WordBounds(pos, wbWord, start, end);
    // Strictly inside the word: between two of its characters.
    if (end < start || start <= 0 || pos.X <= start - 1 || pos.X >= end)
        return pos;
    const TEasyPoint wordStart{start - 1, pos.Y};
    const TEasyPoint wordEnd{end, pos.Y};
    wordSnapped_ = true;
    if (!anchorWidened_) {
        anchorWidened_ = true;
        int anchorStart = 0, anchorEnd = 0;
        source.WordBounds(anchor_, wbWord, anchorStart, anchorEnd);
        if (anchorEnd >= anchorStart && anchorStart > 0 && anchor_.X > anchorStart - 1 && anchor_.X < anchorEnd)
            anchor_.X = movingRight_ ? anchorStart - 1 : anchorEnd;
    }
    return movingRight_ ? wordEnd : wordStart;
}

void TEasyMouse::TimerStep(int x, int y, bool altDown)
{
    if (mode_ != mmSelecting && mode_ != mmDragging)
        return;
    const TEasyPoint pos = host_.TextAt(x, y);
    if (pos == last_)
        return;
    TCustomEasyEditSource& source = editor_.Source();
    if (mode_ == mmDragging) {
        last_ = pos;
        source.SetCaretPos(pos.X, pos.Y);
        host_.MouseCaretVisible();
        cursor_ = host_.OnSelectedText(x, y) ? TEasyMouseCursor::mcNoDrop : TEasyMouseCursor::mcDrag;
        host_.SetMouseCursor(cursor_);
        return;
    }
    if (x != lastX_)
        movingRight_ = x > lastX_;
    lastX_ = x;
    TEasyPoint target = pos;
    // Whole words once the mouse has left the press point.
    if (Has(editor_, eoWordSelection) && !altDown && pos != pressPoint_)
        target = SnapToWord(pos);
    last_ = pos;
    source.BeginUpdate(ckCaretMove);
    source.SetCaretPos(target.X, target.Y);
    editor_.StoreSelection(anchor_, target, altDown ? smBlock : smStream);
    source.EndUpdate();
    host_.MouseCaretVisible();
}

void TEasyMouse::MouseUp(TEasyMouseButton button, unsigned shift, int x, int y)
{
    if (button == TEasyMouseButton::mbLeft) {
        const int mode = mode_;
        switch (mode) {
        case mmSelecting: {
            EndMode();
            // A click without movement leaves no selection.
            const TEasyPoint caret = editor_.Source().CaretPoint();
            const TEasySelCorners sel = editor_.Selection();
            const bool corner = editor_.StoredSelMode() == smBlock
                                    ? (caret.X == sel.Start.X || caret.X == sel.End.X) &&
                                          (caret.Y == sel.Start.Y || caret.Y == sel.End.Y)
                                    : caret == sel.Start || caret == sel.End;
            if (editor_.StoredSelMode() != smNone && !corner)
                editor_.StoreSelection({}, {}, smNone);
            break;
        }
        case mmDragging:
            EndMode();
            if (!DropSelection(!(shift & msCtrl)))
                editor_.StoreSelection({}, {}, smNone);
            break;
        case mmDoubleClicked:
            EndMode();
            break;
        default:
            editor_.StoreSelection({}, {}, smNone);
            break;
        }
        // A click on a web address opens it; one that selected text does not.
        TEasyPoint pos;
        if (pressedOnUrl_ && mode != mmDoubleClicked && mode_ == mmNone && editor_.StoredSelMode() == smNone &&
            host_.CharAt(x, y, pos) && IsOverUrl(x, y))
            host_.UrlJump(UrlAt(pos));
    }
    if (pressedOnGutter_ && host_.InGutter(x, y)) {
        const int line = host_.LineAt(y);
        const int index = host_.GutterImageAt(line, x);
        TEasyStrings& lines = editor_.Source().Strings();
        if ((editor_.Source().Options() & srAllowHiddenLines) &&
            (index == kEasyGutterExpandedImage || index == kEasyGutterCollapsedImage)) {
            if (lines.IsCollapsed(line))
                lines.Expand(line, true);
            else if (lines.IsExpanded(line))
                lines.Collapse(line, true);
        }
        host_.GutterClick(line, index, false);
    }
    pressedOnGutter_ = false;
}

void TEasyMouse::MouseMove(int x, int y)
{
    if (mode_ != mmNone)
        return;
    const TEasyMouseCursor cursor = IsOverUrl(x, y) ? TEasyMouseCursor::mcHand : TEasyMouseCursor::mcDefault;
    if (cursor != cursor_) {
        cursor_ = cursor;
        host_.SetMouseCursor(cursor_);
    }
}

bool TEasyMouse::DropSelection(bool move)
{
    if (editor_.StoredSelMode() == smNone || CaretInSelection())
        return false;
    if (move) {
        commands_.Execute(TEasyKeyHandler::ExecuteBlockCommand, 40);
    } else {
        const int mode = editor_.StoredSelMode();
        commands_.InsertBlock(commands_.SelectedLines(), mode);
    }
    return true;
}

bool TEasyMouse::IsOverUrl(int x, int y)
{
    TCustomEasyEditSource& source = editor_.Source();
    TEasyPoint pos;
    if (!(source.Options() & srHighlightUrls) || !host_.CharAt(x, y, pos))
        return false;
    source.EnsureParsed(pos.Y);
    return source.Strings().StyleAt(pos.Y, pos.X + 1) == source.UrlStyle();
}

std::u16string TEasyMouse::UrlAt(TEasyPoint pos)
{
    TCustomEasyEditSource& source = editor_.Source();
    source.EnsureParsed(pos.Y);
    const TEasyStrings& lines = source.Strings();
    const int style = lines.StyleAt(pos.Y, pos.X + 1);
    if (style < 0)
        return {};
    int first = pos.X + 1;
    int last = pos.X + 1;
    while (first > 1 && lines.StyleAt(pos.Y, first - 1) == style)
        --first;
    while (lines.StyleAt(pos.Y, last + 1) == style)
        ++last;
    const std::u16string_view text = lines.GetStored(pos.Y);
    if (first > int(text.size()))
        return {};
    return std::u16string(text.substr(size_t(first - 1), size_t(std::min(last, int(text.size())) - first + 1)));
}

}  // namespace qrv
