#pragma once
// The hex editor's input rules as pure functions: where a key moves the
// caret, how a move extends the selection, and what a typed hexadecimal digit
// or character does to the data. The control applies the results. Portable.

#include <cstdint>

namespace qrv {

enum class THexPane { Hex, Char };

// The caret: a byte, the pane, and in the hexadecimal pane which of the
// byte's two columns (0 the first, 1 the second).
struct THexCaret {
    int64_t Offset = 0;
    THexPane Pane = THexPane::Hex;
    int Nibble = 0;
    bool operator==(const THexCaret&) const = default;
};

struct THexGeometry {
    int64_t DataSize = 0;
    int BytesPerLine = 16;
    int64_t TopRow = 0;
    int VisibleRows = 1;
};

enum class THexKey { PageUp, PageDown, Home, End, Left, Right, Up, Down, Tab };

struct THexMove {
    THexCaret Caret;
    int64_t TopRow = 0;
};

// The caret and top row after a key (Ctrl held or not).
THexMove HexMoveCaret(THexKey key, bool ctrl, const THexCaret& caret, const THexGeometry& geometry);
// A caret past the end of the data goes to the last byte, same pane.
THexCaret HexClampCaret(THexCaret caret, int64_t dataSize);
// The next cell to the right (next nibble or next byte), stopping at the end.
THexCaret HexCaretRight(const THexCaret& caret, int64_t dataSize);

struct THexSelection {
    int64_t Start = -1, End = -1, Anchor = -1;
    bool Active() const { return Anchor >= 0; }
    int64_t Count() const { return Active() ? End - Start + 1 : 0; }
    bool Contains(int64_t offset) const { return Active() && offset >= Start && offset <= End; }
    bool operator==(const THexSelection&) const = default;
};

// The selection after the caret moved from one byte to another while
// selecting: the first move sets the anchor at the old byte. In insert mode
// a forward selection ends one byte short of the new position.
THexSelection HexExtendSelection(const THexSelection& selection, int64_t from, int64_t to, bool insertMode);

enum class THexEditAction { None, Change, Insert, ReplaceSelection, Append };

struct THexTyped {
    THexEditAction Action = THexEditAction::None;
    int64_t Offset = 0;
    uint8_t Value = 0;
    // After the edit: a zero byte is appended (insert mode, last byte's
    // second column), or else the caret moves one cell right.
    bool AppendZero = false;
    bool MoveRight = false;
};

// The value of a hexadecimal digit (either case), or -1.
int HexDigitValue(char32_t c);
// A digit typed in the hexadecimal pane. currentByte is the byte under the
// caret (ignored without data).
THexTyped HexTypeNibble(int digit, const THexCaret& caret, uint8_t currentByte, bool hasSelection, bool insertMode,
                        bool swapNibbles, int64_t dataSize);
// A byte typed in the character pane.
THexTyped HexTypeChar(uint8_t value, const THexCaret& caret, bool hasSelection, bool insertMode, int64_t dataSize);

}  // namespace qrv
