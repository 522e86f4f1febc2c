#pragma once
// The editor's command core: what the key maps' handlers do to the text, the
// caret and the selection, over an edit source and a host that knows the
// view (pixel columns, visible rows, the selection's storage, the
// clipboard). Typing in insert and overwrite mode, deletes, new line with
// auto-indent, tab and back tab, stream and block selection moves, block and
// case commands. Every command runs inside one source update, so it is one
// undo step. Portable: the editor control is one host, tests have another.

#include "editor/EasyEditSource.h"
#include "editor/EasyEditorOptions.h"
#include "editor/EasyKeyList.h"
#include "editor/EasyPoint.h"
#include "editor/EasySelMode.h"

#include <optional>
#include <string>
#include <vector>

namespace qrv {

// Update kinds the commands begin (how the undo list groups their change).
enum : uint8_t {
    ukcMove = 0,
    ukcTyping = 1,
    ukcDeletion = 2,
    ukcNewLine = 4,
    ukcInsertBlock = 5,
    ukcDeleteSelection = 6,
    ukcTransform = 8,
};

class TEasyEditCommandHost {
public:
    virtual ~TEasyEditCommandHost() = default;
    virtual TCustomEasyEditSource& Source() = 0;
    virtual TEasyEditorOptions CommandOptions() = 0;
    // The pixel x of a display column's left edge on a line, and the column
    // whose left edge is nearest to a pixel x.
    virtual int ColumnToX(int line, int column) = 0;
    virtual int XToColumn(int line, int x) = 0;
    // Whole rows the window shows.
    virtual int VisibleRowCount() = 0;
    // Moves the caret by rows where rows are not lines (word wrap); false
    // leaves the move to the core, which counts lines.
    virtual bool MoveCaretByRows(int /*rows*/) { return false; }
    // The view's own moves (first or last visible row, scrolling); false when
    // the code is none of them.
    virtual bool ViewCommand(int /*code*/) { return false; }
    // The selection as stored: corners ordered, mode smNone, smStream, smBlock.
    virtual TEasySelCorners Selection() = 0;
    virtual int StoredSelMode() = 0;
    // Stores a requested selection: the mode is mapped through the allowed
    // modes, the corners ordered and an empty selection becomes none.
    virtual void StoreSelection(TEasyPoint start, TEasyPoint end, int mode) = 0;
    // Puts the text on the clipboard; false when it could not.
    virtual bool PutOnClipboard(const std::u16string& text, bool block) = 0;
    // The clipboard's text and whether it was this program's block copy.
    virtual std::optional<std::u16string> ReadClipboard(bool& block) = 0;
    virtual void Beep() {}
    // The find entry points (find, replace, go to line, search again,
    // incremental search) and the code templates and brackets; the host runs
    // what it has, false when it has nothing for the code.
    virtual bool OtherCommand(TEasyKeyHandler /*handler*/, int /*code*/) { return false; }
};

// Overwrite mode is one for every editor of the process.
bool EasyOverwriteMode();
void SetEasyOverwriteMode(bool on);

class TEasyEditCommands {
public:
    explicit TEasyEditCommands(TEasyEditCommandHost& host) : host_(host) {}

    // Runs a binding's handler with its code; false when nothing ran.
    bool Execute(TEasyKeyHandler handler, int code);

    // Typing: a character (a lone high surrogate waits for its low half) or
    // a whole text such as an input method's result.
    void TypeChar(char16_t c);
    void TypeText(std::u16string_view text);

    // Entry points of the main window.
    bool HasSelection() { return host_.StoredSelMode() != smNone; }
    std::u16string SelText();
    void SetSelText(std::u16string_view text);
    void ClearSelection() { DeleteSelection(); }
    void SelectAll();
    bool CopyToClipboard();
    bool CutToClipboard();
    void PasteFromClipboard();

    // The selected pieces, one per line (a block's columns on each line).
    std::vector<std::u16string> SelectedLines();
    void DeleteSelection();
    // Inserts the lines at the caret as a stream or a block.
    void InsertBlock(const std::vector<std::u16string>& lines, int mode);

    // Code templates and completion.
    // The column where the word ending at the caret starts; nullopt when the
    // caret does not stand right behind a word.
    std::optional<int> WordStartBeforeCaret();
    // Selects the caret line from the column to the caret (a caret-only step).
    void SelectBeforeCaret(int column);
    // A template's lines in place of the selection: the first continues the
    // caret line, the others start at the caret column, the rest of the line
    // follows the last one; the first "|" is where the caret ends (and is
    // not inserted). One step, nothing left selected.
    void InsertTemplate(const std::vector<std::u16string>& code);
    // The caret line's columns from..to (to at most the caret) replaced by
    // the text; the caret keeps its distance to what followed, nothing is
    // selected: one step of the kind.
    void ReplaceOnCaretLine(int from, int to, std::u16string_view text, uint8_t kind);

    // What block indent inserts; empty means BlockIndent spaces.
    const std::u16string& IndentText() const { return indentText_; }
    void SetIndentText(std::u16string text) { indentText_ = std::move(text); }
    int BlockIndent = 2;
    std::optional<TEasyPoint> BlockMarker() const { return marker_; }
    // Whether the view hides its caret (cursor keys scroll then).
    bool HideCaret = false;

    // Splits a text into lines at CR LF, CR or LF; a final break adds an
    // empty line.
    static std::vector<std::u16string> SplitLines(std::u16string_view text);
    // The same lines as views of the text.
    static std::vector<std::u16string_view> SplitViews(std::u16string_view text);

private:
    class TUpdate;

    TCustomEasyEditSource& Source() { return host_.Source(); }
    // InsertBlock over lines the caller keeps.
    void InsertLines(const std::vector<std::u16string_view>& lines, int mode);
    bool Has(TEasyEditorOptions option) { return (host_.CommandOptions() & option) != 0; }
    std::u16string Line(int line);
    // The stored index of a display column, and how far inside a tab it is.
    int StoredIndex(int line, int column, int* inside = nullptr);
    // Plain caret moves (codes 0-15, 42, 43); false for other codes.
    bool Move(int code);
    bool MoveCaret(int code);
    void MoveVertically(int rows);
    void WordLeft();
    void WordRight();
    void KeepOffSurrogateHalf(bool forward);
    // Each piece of a stream selection, as stored.
    template <typename Visit>
    void StreamPieces(Visit visit);
    void MoveExtending(int code, int mode);
    bool BlockCommand(int code);
    bool DeleteCommand(int code);
    bool LineCommand(int code);
    void NewLine();
    void Tab();
    void BackTab();
    void IndentLines(bool indent, const std::u16string& unit);
    void Transform(int kind);
    void ChangeWordCase(bool upper);
    void SelectWord();
    void SelectLine();
    void DeleteOverwritable();
    // The selection applied when the outermost command update ends.
    void SetSelectionAfter(TEasyPoint start, TEasyPoint end, int mode);
    void SetSelectionNow(TEasyPoint start, TEasyPoint end, int mode);
    TEasySelCorners Selection();
    // The point moved off the middle of a pair of surrogates.
    TEasyPoint OffPair(TEasyPoint point, bool forward);
    // The block's columns on a line, by the block's pixel columns.
    void BlockColumnsOn(int line, int& from, int& to);

    TEasyEditCommandHost& host_;
    std::u16string indentText_;
    std::optional<TEasyPoint> marker_;
    char16_t pendingHigh_ = 0;
    int depth_ = 0;
    struct TPending {
        TEasyPoint Start, End;
        int Mode;
    };
    std::optional<TPending> pending_;
};

}  // namespace qrv
