#pragma once
// The decisions of the display pane's text and hex commands that need no
// window: how a hex search text becomes bytes and where the search starts,
// block sorting, replace-all, which undo a Ctrl+Z runs, the forced display
// buttons and what a paste puts into a one-line box. Portable.

#include "mainwindow/ActionRules.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// ---- Hex search -----------------------------------------------------------------

enum class THexPatternError {
    None,
    Empty,           // "Zu suchender Text ist leer."
    OddLength,       // "Länge der eingegebenen Hex-Zeichenkette ist ungerade."
    NotConvertible,  // "Hex-Zeichenkette %s kann nicht konvertiert werden."
    Unmappable,      // the text has a character the view's character set lacks
};

struct THexSearchPattern {
    THexPatternError Error = THexPatternError::None;
    std::vector<uint8_t> Bytes;
    // The digits between the quotes of a byte pattern (named by its error).
    std::wstring Digits;
};

// The byte of a character in the hex view's character set; nothing when the
// set has no exact one (no best-fit replacement).
using THexCharEncoder = std::function<std::optional<uint8_t>(wchar_t)>;

// X'…': starts with X' (either case), ends with a quote and is longer than
// four characters.
bool IsHexBytePattern(std::wstring_view Text);

// A byte pattern's digits in the view's nibble order (blanks between them
// are skipped); any other text in the view's character set, with a blank
// before and after it for whole words.
THexSearchPattern MakeHexSearchPattern(std::wstring_view Text, bool WholeWord, bool SwapNibbles,
                                       const THexCharEncoder& Encode);

// The message of a pattern's error; "" for none. Unmappable text is
// reported as not found: no byte of the file can match it.
std::wstring HexPatternMessage(const THexSearchPattern& Pattern, const std::wstring& Text);

// The view's selection and the last match it shows.
struct THexSearchPlace {
    int64_t Caret = 0;
    int64_t SelStart = 0;
    int64_t SelCount = 0;  // 0: nothing selected
    int64_t LastMatch = -1;
    int64_t LastLength = 0;
};

// The first offset a search may match at: after the caret, at the caret
// for a one-byte pattern with nothing selected; after the last match's
// start while the selection is that match, so that searching again steps on.
int64_t HexSearchStart(const THexSearchPlace& Place, int64_t PatternLength);

// "Gesuchter Text "<text>" nicht gefunden."
std::wstring SearchNotFoundText(const std::wstring& Text);

// ---- Text -------------------------------------------------------------------------

// Orders two lines; below 0 when the first comes first.
using TLineCompare = std::function<int(const std::wstring&, const std::wstring&)>;

// The block's lines in order (stable for lines that compare equal), joined
// by the block's own line break (its first; CR LF when it has none). A
// block that ended in a break ends in one again; one that did not, does not.
std::wstring SortBlock(const std::wstring& Block, const TLineCompare& Compare);

// Replaces every match, each search going on after the last replacement
// (so a replacement that contains the searched text is never searched
// again). Find returns a match's position at or after From, or -1;
// Replace puts the replacement at a match. The count of replacements.
int ReplaceEvery(const std::function<int(int From)>& Find, const std::function<void(int At)>& Replace,
                 int ReplacementLength);

// What one paste puts into the path or command box: the clipboard's text
// up to its first carriage return, without line feeds.
std::wstring OneLinePasteText(const std::wstring& ClipboardText);

// ---- Undo ---------------------------------------------------------------------------

enum class TUndoTarget { None, TextView, Editor, FileOperation };

struct TUndoFacts {
    TActionFocus Focus = TActionFocus::Other;
    bool TextViewCanUndo = false;
    bool TextViewHasFile = false;
    bool EditorCanUndo = false;
    bool EditorReadOnly = false;
    bool FileUndoEnabled = false;
};

// A focused text with a change to undo first, else the last file operation.
TUndoTarget ChooseUndo(const TUndoFacts& Facts);

// ---- Forced display ----------------------------------------------------------------

enum class TModeStep {
    Nothing,    // the mode is in force already and shown
    Redisplay,  // the display is on: the mode is set, the file shown again
    TurnOn,     // the display is off: the mode is set and the display turned on
    SetOnly,    // the display is off and stays off (automatic chosen)
};

// Ctrl+H, Ctrl+T, Ctrl+O: Mode 0 automatic, 1 hex, 2 text.
TModeStep DisplayModeStep(uint8_t Current, uint8_t Wanted, bool DisplayOn);
// A click on the hex or text button: its mode, or automatic when its mode
// is in force.
uint8_t ModeOfButton(uint8_t Current, uint8_t Button);

}  // namespace qrv
