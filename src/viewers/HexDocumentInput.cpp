#include "viewers/HexDocumentInput.h"

#include "viewers/HexDocumentLayout.h"

#include <algorithm>

namespace qrv {

THexCaret HexClampCaret(THexCaret caret, int64_t dataSize)
{
    if (dataSize <= 0)
        return THexCaret{0, caret.Pane, 0};
    caret.Offset = std::clamp<int64_t>(caret.Offset, 0, dataSize - 1);
    if (caret.Pane == THexPane::Char)
        caret.Nibble = 0;
    return caret;
}

THexCaret HexCaretRight(const THexCaret& caret, int64_t dataSize)
{
    THexCaret next = caret;
    if (caret.Pane == THexPane::Hex && caret.Nibble == 0) {
        next.Nibble = 1;
    } else if (caret.Offset + 1 < dataSize) {
        next.Offset = caret.Offset + 1;
        next.Nibble = 0;
    }
    return HexClampCaret(next, dataSize);
}

namespace {

THexCaret CaretLeft(const THexCaret& caret)
{
    THexCaret next = caret;
    if (caret.Pane == THexPane::Hex && caret.Nibble == 1) {
        next.Nibble = 0;
    } else if (caret.Offset > 0) {
        next.Offset = caret.Offset - 1;
        next.Nibble = caret.Pane == THexPane::Hex ? 1 : 0;
    }
    return next;
}

}  // namespace

THexMove HexMoveCaret(THexKey key, bool ctrl, const THexCaret& caret, const THexGeometry& g)
{
    THexMove move{caret, g.TopRow};
    if (g.DataSize <= 0) {
        move.Caret = THexCaret{0, THexPane::Hex, 0};
        move.TopRow = 0;
        return move;
    }
    const int64_t bpl = g.BytesPerLine;
    const int64_t lastRow = HexRowCount(g.DataSize, g.BytesPerLine) - 1;
    const int64_t row = caret.Offset / bpl;
    const int64_t inRow = caret.Offset % bpl;
    const int64_t page = std::max(1, g.VisibleRows - 1);
    const int64_t maxTop = std::max<int64_t>(0, lastRow - std::max(1, g.VisibleRows) + 1);
    THexCaret& to = move.Caret;
    switch (key) {
    case THexKey::PageUp:
        if (ctrl) {
            to.Offset = g.TopRow * bpl + inRow;
        } else {
            to.Offset = std::max<int64_t>(0, row - page) * bpl + inRow;
            move.TopRow = std::max<int64_t>(0, g.TopRow - page);
        }
        break;
    case THexKey::PageDown:
        if (ctrl) {
            to.Offset = std::min(lastRow, g.TopRow + std::max(1, g.VisibleRows) - 1) * bpl + inRow;
        } else {
            to.Offset = std::min(lastRow, row + page) * bpl + inRow;
            move.TopRow = std::min(maxTop, g.TopRow + page);
        }
        break;
    case THexKey::Home:
        to.Offset = ctrl ? 0 : row * bpl;
        to.Nibble = 0;
        break;
    case THexKey::End:
        to.Offset = ctrl ? g.DataSize - 1 : std::min(row * bpl + bpl - 1, g.DataSize - 1);
        to.Nibble = 0;
        break;
    case THexKey::Left:
        to = CaretLeft(caret);
        break;
    case THexKey::Right:
        if (ctrl) {
            // The last cell of the row: the character of its last byte.
            to.Offset = row * bpl + bpl - 1;
            to.Pane = THexPane::Char;
            to.Nibble = 0;
        } else {
            to = HexCaretRight(caret, g.DataSize);
        }
        break;
    case THexKey::Up:
        if (row > 0)
            to.Offset -= bpl;
        break;
    case THexKey::Down:
        if (row < lastRow)
            to.Offset += bpl;
        break;
    case THexKey::Tab:
        to.Pane = caret.Pane == THexPane::Hex ? THexPane::Char : THexPane::Hex;
        to.Nibble = 0;
        break;
    }
    to = HexClampCaret(to, g.DataSize);
    return move;
}

THexSelection HexExtendSelection(const THexSelection& selection, int64_t from, int64_t to, bool insertMode)
{
    THexSelection result = selection;
    if (!result.Active())
        result.Anchor = from;
    result.Start = std::min(result.Anchor, to);
    result.End = std::max(result.Anchor, to);
    if (insertMode && to > result.Anchor)
        result.End = std::max(result.Start, to - 1);
    return result;
}

int HexDigitValue(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f')
        return static_cast<int>(c - U'a' + 10);
    if (c >= U'A' && c <= U'F')
        return static_cast<int>(c - U'A' + 10);
    return -1;
}

THexTyped HexTypeNibble(int digit, const THexCaret& caret, uint8_t currentByte, bool hasSelection, bool insertMode,
                        bool swapNibbles, int64_t dataSize)
{
    THexTyped typed;
    if (digit < 0 || digit > 15)
        return typed;
    const bool onByte = dataSize > 0 && caret.Offset < dataSize;
    if (!onByte && !insertMode)
        return typed;
    // The column that shows the high nibble is the first one, or the second one with swapped nibbles.
    const bool columnShowsHigh = (caret.Nibble == 1) == swapNibbles;
    const bool setHigh = columnShowsHigh || hasSelection;
    const bool changeInPlace = onByte && (!insertMode || (caret.Nibble == 1 && !hasSelection));
    if (changeInPlace) {
        typed.Action = THexEditAction::Change;
        typed.Offset = caret.Offset;
        typed.Value =
            static_cast<uint8_t>(setHigh ? (digit << 4) | (currentByte & 0x0F) : (currentByte & 0xF0) | digit);
        if (insertMode && caret.Offset == dataSize - 1)
            typed.AppendZero = true;
        else
            typed.MoveRight = true;
        return typed;
    }
    // A new byte holding the digit in the nibble that the byte's first column shows.
    typed.Value = static_cast<uint8_t>(swapNibbles ? digit : digit << 4);
    typed.Offset = caret.Offset;
    typed.Action = dataSize <= 0  ? THexEditAction::Append
                   : hasSelection ? THexEditAction::ReplaceSelection
                                  : THexEditAction::Insert;
    typed.MoveRight = true;
    return typed;
}

THexTyped HexTypeChar(uint8_t value, const THexCaret& caret, bool hasSelection, bool insertMode, int64_t dataSize)
{
    THexTyped typed;
    const bool onByte = dataSize > 0 && caret.Offset < dataSize;
    if (!onByte && !insertMode)
        return typed;
    typed.Value = value;
    typed.Offset = caret.Offset;
    typed.MoveRight = true;
    if (!insertMode)
        typed.Action = THexEditAction::Change;
    else if (dataSize <= 0)
        typed.Action = THexEditAction::Append;
    else
        typed.Action = hasSelection ? THexEditAction::ReplaceSelection : THexEditAction::Insert;
    return typed;
}

}  // namespace qrv
