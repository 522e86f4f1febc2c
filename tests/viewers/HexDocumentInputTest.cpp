#include "viewers/HexDocumentInput.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

constexpr THexPane H = THexPane::Hex;
constexpr THexPane C = THexPane::Char;

}  // namespace

TEST(HexInput, OneRowPerKey)
{
    // 100 bytes at 16 per line: rows 0..6, the last one holds 4 bytes (96..99);
    // 4 rows visible from row 2.
    const THexGeometry g{100, 16, 2, 4};
    struct Case {
        const char* name;
        THexKey key;
        bool ctrl;
        THexCaret from;
        THexCaret to;
        int64_t top;
    } cases[] = {
        {"PageUp", THexKey::PageUp, false, {53, H, 1}, {5, H, 1}, 0},
        {"Ctrl+PageUp", THexKey::PageUp, true, {53, H, 0}, {37, H, 0}, 2},
        {"PageDown", THexKey::PageDown, false, {37, C, 0}, {85, C, 0}, 3},
        {"PageDown past the end", THexKey::PageDown, false, {60, H, 1}, {99, H, 1}, 3},
        {"Ctrl+PageDown", THexKey::PageDown, true, {37, H, 0}, {85, H, 0}, 2},
        {"Home", THexKey::Home, false, {37, H, 1}, {32, H, 0}, 2},
        {"Ctrl+Home", THexKey::Home, true, {37, C, 0}, {0, C, 0}, 2},
        {"End", THexKey::End, false, {37, H, 1}, {47, H, 0}, 2},
        {"End on the last row", THexKey::End, false, {97, C, 0}, {99, C, 0}, 2},
        {"Ctrl+End", THexKey::End, true, {3, H, 1}, {99, H, 0}, 2},
        {"Left in the nibbles", THexKey::Left, false, {37, H, 1}, {37, H, 0}, 2},
        {"Left over a byte border", THexKey::Left, false, {37, H, 0}, {36, H, 1}, 2},
        {"Left in the characters", THexKey::Left, false, {37, C, 0}, {36, C, 0}, 2},
        {"Left at the start", THexKey::Left, false, {0, H, 0}, {0, H, 0}, 2},
        {"Right in the nibbles", THexKey::Right, false, {37, H, 0}, {37, H, 1}, 2},
        {"Right over a byte border", THexKey::Right, false, {37, H, 1}, {38, H, 0}, 2},
        {"Right at the end", THexKey::Right, false, {99, H, 1}, {99, H, 1}, 2},
        {"Right in the characters", THexKey::Right, false, {47, C, 0}, {48, C, 0}, 2},
        {"Ctrl+Right", THexKey::Right, true, {33, H, 1}, {47, C, 0}, 2},
        {"Ctrl+Right on the last row", THexKey::Right, true, {96, H, 0}, {99, C, 0}, 2},
        {"Up", THexKey::Up, false, {37, H, 1}, {21, H, 1}, 2},
        {"Up on the first row", THexKey::Up, false, {5, C, 0}, {5, C, 0}, 2},
        {"Down", THexKey::Down, false, {37, C, 0}, {53, C, 0}, 2},
        {"Down into the short last row", THexKey::Down, false, {90, H, 1}, {99, H, 1}, 2},
        {"Down on the last row", THexKey::Down, false, {97, H, 0}, {97, H, 0}, 2},
        {"Tab to the characters", THexKey::Tab, false, {37, H, 1}, {37, C, 0}, 2},
        {"Tab to the nibbles", THexKey::Tab, false, {37, C, 0}, {37, H, 0}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const THexMove move = HexMoveCaret(c.key, c.ctrl, c.from, g);
        EXPECT_EQ(move.Caret.Offset, c.to.Offset);
        EXPECT_EQ(move.Caret.Pane, c.to.Pane);
        EXPECT_EQ(move.Caret.Nibble, c.to.Nibble);
        EXPECT_EQ(move.TopRow, c.top);
    }
}

TEST(HexInput, KeysWithoutDataStayOnTheFirstCell)
{
    for (const THexKey key : {THexKey::PageDown, THexKey::End, THexKey::Right, THexKey::Down, THexKey::Tab}) {
        const THexMove move = HexMoveCaret(key, false, THexCaret{}, THexGeometry{0, 16, 0, 10});
        EXPECT_EQ(move.Caret, (THexCaret{0, H, 0})) << int(key);
    }
}

TEST(HexInput, KeysPastFourGigabytes)
{
    const int64_t size = INT64_C(5368709120);
    const THexGeometry g{size, 16, 0, 30};
    const THexMove end = HexMoveCaret(THexKey::End, true, THexCaret{}, g);
    EXPECT_EQ(end.Caret.Offset, size - 1);
    const THexMove up = HexMoveCaret(THexKey::Up, false, end.Caret, g);
    EXPECT_EQ(up.Caret.Offset, size - 17);
    const THexMove page = HexMoveCaret(THexKey::PageDown, false, THexCaret{INT64_C(0x100000000), H, 0},
                                       THexGeometry{size, 16, INT64_C(0x10000000), 30});
    EXPECT_EQ(page.Caret.Offset, INT64_C(0x100000000) + 29 * 16);
    EXPECT_EQ(page.TopRow, INT64_C(0x10000000) + 29);
}

TEST(HexInput, SelectionExtension)
{
    THexSelection sel = HexExtendSelection({}, 10, 12, false);
    EXPECT_EQ(sel, (THexSelection{10, 12, 10}));
    sel = HexExtendSelection(sel, 12, 7, false);
    EXPECT_EQ(sel, (THexSelection{7, 10, 10})) << "the anchor stays";
    EXPECT_EQ(sel.Count(), 4);
    EXPECT_EQ(HexExtendSelection({}, 10, 12, true), (THexSelection{10, 11, 10}))
        << "insert mode ends one byte short when moving forwards";
    EXPECT_EQ(HexExtendSelection({}, 10, 11, true), (THexSelection{10, 10, 10}));
    EXPECT_EQ(HexExtendSelection({}, 10, 8, true), (THexSelection{8, 10, 10}));
    EXPECT_EQ(THexSelection{}.Count(), 0);
}

TEST(HexInput, TypingInTheNibblePane)
{
    // Byte 0x3C under the caret, 10 bytes of data.
    struct Case {
        const char* name;
        int digit;
        THexCaret caret;
        bool selection, insert, swap;
        THexEditAction action;
        uint8_t value;
        bool appendZero;
    } cases[] = {
        {"overwrite high", 0xA, {4, H, 0}, false, false, false, THexEditAction::Change, 0xAC, false},
        {"overwrite low", 0xA, {4, H, 1}, false, false, false, THexEditAction::Change, 0x3A, false},
        {"swapped: first column is low", 0xA, {4, H, 0}, false, false, true, THexEditAction::Change, 0x3A, false},
        {"swapped: second column is high", 0xA, {4, H, 1}, false, false, true, THexEditAction::Change, 0xAC, false},
        {"insert on the first column", 0x7, {4, H, 0}, false, true, false, THexEditAction::Insert, 0x70, false},
        {"insert swapped", 0x7, {4, H, 0}, false, true, true, THexEditAction::Insert, 0x07, false},
        {"insert mode, second column changes", 0x7, {4, H, 1}, false, true, false, THexEditAction::Change, 0x37, false},
        {"insert mode, last byte's second column",
         0x7,
         {9, H, 1},
         false,
         true,
         false,
         THexEditAction::Change,
         0x37,
         true},
        {"insert mode with a selection replaces it",
         0x7,
         {4, H, 1},
         true,
         true,
         false,
         THexEditAction::ReplaceSelection,
         0x70,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const THexTyped typed = HexTypeNibble(c.digit, c.caret, 0x3C, c.selection, c.insert, c.swap, 10);
        EXPECT_EQ(typed.Action, c.action);
        EXPECT_EQ(typed.Value, c.value);
        EXPECT_EQ(typed.Offset, c.caret.Offset);
        EXPECT_EQ(typed.AppendZero, c.appendZero);
        EXPECT_EQ(typed.MoveRight, !c.appendZero);
    }
    EXPECT_EQ(HexTypeNibble(5, THexCaret{}, 0, false, true, false, 0).Action, THexEditAction::Append)
        << "empty data grows in insert mode";
    EXPECT_EQ(HexTypeNibble(5, THexCaret{}, 0, false, false, false, 0).Action, THexEditAction::None)
        << "outside insert mode only a byte can change";
    EXPECT_EQ(HexTypeNibble(-1, THexCaret{}, 0, false, false, false, 10).Action, THexEditAction::None);
    EXPECT_EQ(HexDigitValue(U'f'), 15);
    EXPECT_EQ(HexDigitValue(U'F'), 15);
    EXPECT_EQ(HexDigitValue(U'g'), -1);
}

TEST(HexInput, TypingInTheCharacterPane)
{
    EXPECT_EQ(HexTypeChar('a', {3, C, 0}, false, false, 10).Action, THexEditAction::Change);
    EXPECT_EQ(HexTypeChar('a', {3, C, 0}, true, true, 10).Action, THexEditAction::ReplaceSelection);
    EXPECT_EQ(HexTypeChar('a', {3, C, 0}, false, true, 10).Action, THexEditAction::Insert);
    EXPECT_EQ(HexTypeChar('a', {0, C, 0}, false, true, 0).Action, THexEditAction::Append);
    EXPECT_EQ(HexTypeChar('a', {0, C, 0}, false, false, 0).Action, THexEditAction::None);
    const THexTyped typed = HexTypeChar(0xE4, {3, C, 0}, false, false, 10);
    EXPECT_EQ(typed.Value, 0xE4);
    EXPECT_TRUE(typed.MoveRight);
    EXPECT_EQ(HexCaretRight({3, C, 0}, 10), (THexCaret{4, C, 0}));
    EXPECT_EQ(HexCaretRight({9, C, 0}, 10), (THexCaret{9, C, 0}));
}
