#pragma once
// The editor's document object: the line list, the caret, the tab stops, the
// undo and redo lists, the bookmarks and line marks, the link to a syntax
// parser, the read-only and modified state and the file name. It serves one
// or more editor views. Every change runs inside a nested BeginUpdate/
// EndUpdate that collects what changed; the outermost EndUpdate tells every
// view once. Portable.

#include "editor/EasyParserBase.h"
#include "editor/EasyPoint.h"
#include "editor/EasyStrings.h"
#include "editor/EasyUndoList.h"
#include "editor/EasyUtils.h"
#include "editor/TabStopList.h"
#include "framework/Component.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

class TStream;

// What changed, as bits of TEasyEditSourceStates.
enum TEasyEditSourceState : uint16_t {
    csParagraphChanged = 1 << 0,
    csPositionChanged = 1 << 1,
    csParserChanged = 1 << 2,
    csEdit = 1 << 3,
    csCountChanged = 1 << 4,
    csUndo = 1 << 5,
    csBookMarkChanged = 1 << 6,
    csLineStyleChanged = 1 << 7,
    csReadOnlyChanged = 1 << 8,
    csBlockChanged = 1 << 9,
    csVisibleChanged = 1 << 10,
    csIncrementalSearchChanged = 1 << 11,
};
using TEasyEditSourceStates = uint16_t;
// Not a change: the source is being freed, its views must let go of it.
constexpr TEasyEditSourceStates csSourceFreed = 0x8000;

enum TEasySourceOption : uint32_t {
    srAutoIndent = 1u << 0,
    srBackUnindents = 1u << 1,
    srUseTab = 1u << 2,
    srCursorThroughTabs = 1u << 3,
    srAlwaysOnTabs = 1u << 4,
    srOptimalFill = 1u << 5,
    srSmartTab = 1u << 6,
    srAllowUndo = 1u << 7,
    srGroupUndo = 1u << 8,
    srBeyondEof = 1u << 9,
    srBeyondEol = 1u << 10,
    srMoveUpAtLineBegin = 1u << 11,
    srLeaveTrailSpaces = 1u << 12,
    srLiveSpell = 1u << 13,
    srMoveDownAtLineEnd = 1u << 14,
    srAllowHiddenLines = 1u << 15,
    srHighlightUrls = 1u << 16,
    srUndoOnlyChanges = 1u << 17,
    srAutoCorrect = 1u << 18,
};
using TEasySourceOptions = uint32_t;
constexpr TEasySourceOptions DefaultSourceOptions =
    srAutoIndent | srBackUnindents | srAllowUndo | srGroupUndo | srBeyondEol | srHighlightUrls;

// Change kinds given to BeginUpdate.
enum : uint8_t { ckCaretMove = 0, ckInsert = 1, ckDelete = 2, ckJoin = 3, ckBreak = 4, ckState = 8 };

// Notification kinds besides the state broadcast (which has no record).
enum : int {
    snCaretTarget = 0,    // a caret target right of the line end; a view may rewrite X, Y
    snShift = 10,         // text shifted at (X, Y) by (Dx, Dy)
    snLinesChanged = 15,  // the lines FirstLine .. LastLine of the list changed
};

struct TEasySourceNotification {
    int Kind = 0;
    int X = 0, Y = 0;
    int Dx = 0, Dy = 0;
    int FirstLine = -1, LastLine = -1;
};

// Word bounds modes: the word only, one following space, all following delimiters.
enum : int { wbWord = 0, wbWordAndSpace = 1, wbWordAndDelimiters = 2 };

class TCustomEasyEditSource : public TComponent {
public:
    static constexpr int ToTheEnd = TEasyStrings::ToTheEnd;

    explicit TCustomEasyEditSource(TComponent* owner);
    ~TCustomEasyEditSource() override;

    TEasyStrings& Strings() { return strings_; }
    const TEasyStrings& Strings() const { return strings_; }

    const std::wstring& FileName() const { return fileName_; }
    void SetFileName(const std::wstring& name) { fileName_ = name; }
    bool ReadOnly() const { return GetReadOnly(); }
    void SetReadOnly(bool readOnly);
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    TEasySourceOptions Options() const { return options_; }
    void SetOptions(TEasySourceOptions options);
    std::wstring TabStops() const { return tabs_.Text(); }
    void SetTabStops(const std::wstring& text);
    const TTabStopList& TabStopList() const { return tabs_; }
    TCustomEasyParser* Parser() const { return parser_; }
    void SetParser(TCustomEasyParser* parser);
    // An editor shows the source in a page view.
    bool PageMode() const { return pageMode_; }
    void SetPageMode(bool pageMode) { pageMode_ = pageMode; }
    // The editor that edits the source when several show it (not owned).
    const void* ActiveEditor() const { return activeEditor_; }
    void SetActiveEditor(const void* editor) { activeEditor_ = editor; }
    // Whether the global settings registered for the source apply to it.
    bool UseGlobalSettings() const { return useGlobalSettings_; }
    void SetUseGlobalSettings(bool use) { useGlobalSettings_ = use; }
    // Asked for each word live spelling checks; Correct false marks it.
    std::function<void(TCustomEasyEditSource* Sender, const std::u16string& Word, bool& Correct)> OnWordSpell;

    // Loads the file aside and takes its lines only when that succeeded: a
    // failed load keeps the name, the text, the caret and the undo lists.
    // The caret goes to (0, 0), the document is unmodified.
    void LoadFromFile(const std::wstring& name);
    // Saves through a temporary file; the name is taken on success only.
    // Modified is not changed.
    void SaveToFile(const std::wstring& name);
    // Replaces the whole text as one edit that is not recorded; the undo
    // lists are cleared and the document becomes modified.
    void ReplaceAllText(std::wstring_view text);
    // Loads aside like LoadFromFile; saves in the list's format.
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;

    // The views. Each hears every notification: nullptr for the state
    // broadcast (the states and the range are read from the source).
    using TNotifier = std::function<void(TEasySourceNotification* record)>;
    void AddNotifier(const void* view, TNotifier notifier);
    void RemoveNotifier(const void* view);
    // The states and the range of the last (or running) update.
    TEasyEditSourceStates States() const { return states_; }
    int FirstChangedLine() const { return firstLine_; }
    int LastChangedLine() const { return lastLine_; }
    int FirstChangedColumn() const { return firstColumn_; }
    int LastChangedColumn() const { return lastColumn_; }

    // The update bracket; see the change kinds above.
    virtual void BeginUpdate(uint8_t kind);
    virtual void EndUpdate();
    int UpdateDepth() const { return updateDepth_; }
    virtual void BeginLinesUpdate();
    virtual void EndLinesUpdate();

    // The caret: display column X (tabs expanded) and line Y, both from 0.
    int CaretX() const { return caret_.X; }
    int CaretY() const { return caret_.Y; }
    TEasyPoint CaretPoint() const { return caret_; }
    void SetCaretPos(int x, int y);
    void SetCaretX(int x) { SetCaretPos(x, caret_.Y); }
    void SetCaretY(int y) { SetCaretPos(caret_.X, y); }
    void MoveCaret(int dx, int dy);
    void CaretLeft();
    void CaretRight(bool force = false);
    bool CaretBeyondLastLine() const { return caret_.Y >= strings_.Count(); }
    // Set by a view whose layout needs the caret inside the lines.
    bool ForceInsideLines = false;
    // True while GotoBookmark moves the caret.
    bool Jumping() const { return jumping_; }

    // Text operations at the caret.
    virtual void InsertText(std::u16string_view text);
    virtual void InsertLine(int index, std::u16string_view text);
    virtual void DeleteChars(int count);
    virtual void JoinLines();
    virtual void BreakLine();
    virtual void Clear();
    void AutoIndent(bool insert, int column);
    void BackUnindent();
    // Replaces the text between two points (stored character indices, not
    // display columns; from not behind to) with the lines: the first
    // continues the text before the range, the last is followed by the text
    // behind it. One change and one undo record however many lines it spans;
    // the caret stays where it is. The lines must not show this text.
    void ReplaceRange(TEasyPoint from, TEasyPoint to, const std::vector<std::u16string_view>& lines);
    // Gives the lines from the first on the texts, one each, as one change
    // and one undo record; positions on them keep their columns.
    void ReplaceLines(int first, const std::vector<std::u16string_view>& texts);
    // Lines changed one by one in place as one change and one undo record:
    // between BeginLineEdits and EndLineEdits each PutLine gives a line its
    // new text, and the record keeps what the lines from the first to the
    // last one put held before. Positions keep their columns.
    void BeginLineEdits();
    void PutLine(int line, std::u16string_view text);
    void EndLineEdits();

    // Words and brackets. Bounds are 1-based and inclusive.
    void WordBounds(TEasyPoint point, int mode, int& start, int& end) const;
    std::u16string WordAtPoint(TEasyPoint point, bool onlyOnWord) const;
    bool IsDelimiter(char16_t c) const;
    bool MatchBracketForward(TEasyPoint point, TEasyPoint& match) const;
    bool MatchBracketBackward(TEasyPoint point, TEasyPoint& match) const;

    // Parsing: styles of the lines up to this one are current afterwards.
    void EnsureParsed(int line);
    // Styles of the lines first .. last are current afterwards. When every
    // line can be parsed on its own (see LinesParseAlone) only the unparsed
    // lines of the range are parsed; otherwise parsing runs down from the
    // first unparsed line, as the states carry from line to line.
    void EnsureParsed(int first, int last);
    // True when no state carries from one line to the next: no parser, or
    // one with a single state.
    bool LinesParseAlone() const { return !parser_ || parser_->SingleState(); }
    void ParseLines(int from, int to, bool force);
    virtual void Reparse();
    int FirstUnparsedLine() const { return firstUnparsed_; }
    int UrlStyle() const { return urlStyle_; }

    // Undo and redo.
    void Undo();
    void Redo();
    bool CanUndo() const { return (options_ & srAllowUndo) && !undo_.Empty(); }
    bool CanRedo() const { return (options_ & srAllowUndo) && !redo_.Empty(); }
    const TEasyUndoList& UndoList() const { return undo_; }
    const TEasyUndoList& RedoList() const { return redo_; }
    const TEasyUndoRecord* LastUndo() const { return undo_.Empty() ? nullptr : &undo_.Last(); }
    void BeginCompound();
    void EndCompound();
    bool InUndoStep() const { return undoStep_ > 0; }

    // Bookmarks and line marks.
    void SetBookmark(int index, TEasyPoint point);
    void ClearBookmark(int index);
    void ToggleBookmark(int index, TEasyPoint point);
    bool GotoBookmark(int index);
    // The bookmark's position; false when it is not set.
    bool GetBookmark(int index, TEasyPoint& point) const;
    // The line style of the first line mark on the line, -1 when none.
    int GetLineStyle(int line) const;
    // Marks the line with the style (-1 removes its marks).
    void SetLineStyle(int line, int style);
    const TEasyBookMarkList& Bookmarks() const { return bookmarks_; }
    const TEasyBookMarkList& LineMarks() const { return lineMarks_; }

protected:
    virtual void ShiftPositions(int dx, int dy);
    virtual void BeforeChange(int /*column*/, int /*line*/, int /*argument*/, int /*count*/, int /*kind*/) {}
    virtual void AfterChange(int /*column*/, int /*line*/, int /*kind*/) {}
    virtual bool GetReadOnly() const { return readOnly_; }
    virtual void ApplyUndoRecord(const TEasyUndoRecord& record);
    virtual bool DoWordSpell(const std::u16string& word);
    virtual void ParserChanged();
    virtual bool CanSpell() { return true; }
    // A read-only source refuses typing with this.
    virtual void Beep();

private:
    struct TOwnEdit;
    struct TUpdate;

    void AddRange(int firstColumn, int lastColumn, bool edit, int lastLine, int firstLine);
    void Broadcast(TEasySourceNotification* record);
    void StringsChanged();
    void GetStringHook(std::u16string& text, int mode);
    void ExpandTabsInLines(int first, int last);
    void ResetDocument(int firstLine);

    // Columns and characters of a line.
    std::u16string_view Stored(int line) const { return strings_.GetStored(line); }
    int DisplayLength(int line) const;
    int CharIndex(int line, int column, int& inside, int& width) const;
    int CharIndex(int line, int column) const;
    int ColumnOf(int line, int index) const;

    // The primitives. Each records itself; point is the column of the
    // change, where undo finds it.
    void InsertAt(int line, int index, std::u16string_view text, TEasyPoint point);
    void CutChars(int line, int index, int count);
    void BreakAt(bool trim);
    // Spaces from the line's end (length characters) up to count more.
    void Pad(int line, int length, int count);
    void AppendLinesTo(int line);
    void TrimLine(int line);
    // Bookmarks, line marks and views follow a replaced range as they follow
    // the cuts, joins, insertions and breaks it stands for: from and to in
    // display columns, the start also as a stored index, the line breaks put
    // in and the lengths of the first and last line put in.
    void ShiftForReplace(TEasyPoint from, TEasyPoint to, int fromIndex, int breaks, size_t firstLength,
                         size_t lastLength);
    // Runs the step with the caret at the point and puts it back; records
    // made meanwhile carry the point.
    template <typename Step>
    void AtPosition(TEasyPoint point, Step step);
    void ParseChangedLine(int line, int column);

    // Undo.
    void AddUndo(uint8_t kind, decltype(TEasyUndoRecord::Data) data);
    void AddChangeUndo(uint8_t kind, int32_t value, TEasyPoint point);
    void UndoStep(TEasyUndoList& from, TEasyUndoList& to);
    void ApplyKind(const TEasyUndoRecord& record);
    void ApplyReplacement(const TEasyReplacePayload& payload);

    // Parsing.
    void ParseLine(int line, int enteringState);
    // The state the line starts in, from the line above when states carry.
    int EnteringState(int line) const;
    void HighlightUrls(int line);
    void SpellLine(int line);
    void RebuildDelimiters();
    void ResolveStyleNames();
    static int ParserNotified(void* listener, void* sender, void* record);
    static void ParserRemoved(void* listener, void* sender);

    // Bookmarks.
    void MarkLine(int line, TEasyEditSourceStates state);

    TEasyStrings strings_;
    TTabStopList tabs_;
    std::wstring fileName_;
    bool readOnly_ = false;
    bool modified_ = false;
    TEasySourceOptions options_ = DefaultSourceOptions;
    TEasyPoint caret_;
    // The line the user's last edit changed while the caret stays on it;
    // -1 when none. Only this line is trimmed when the caret leaves it.
    int editedLine_ = -1;

    // The update bracket.
    int updateDepth_ = 0;
    TEasyEditSourceStates states_ = 0;
    uint8_t changeKind_ = 0;
    bool groupStart_ = false;
    TEasyPoint caretAtBegin_;
    int countAtBegin_ = 0;
    int firstLine_ = -1, lastLine_ = -1, firstColumn_ = -1, lastColumn_ = -1;
    int ownEdit_ = 0;
    int linesUpdate_ = 0;
    int compound_ = 0;

    // The line edits running: the old texts of the lines put, in the order
    // they were first put, and which of them each line's is (-1: not put).
    struct TLineEdits {
        int Depth = 0;
        int First = -1, Last = -1;
        TEasyReplacePayload Saved;
        std::vector<int32_t> PieceOfLine;
    };
    TLineEdits lineEdits_;

    TEasyUndoList undo_;
    TEasyUndoList redo_;
    TEasyUndoList* receiving_ = &undo_;
    int undoStep_ = 0;
    // Non-zero while AtPosition runs: records carry their point.
    int positioned_ = 0;

    TEasyBookMarkList bookmarks_;
    TEasyBookMarkList lineMarks_;
    bool jumping_ = false;

    TCustomEasyParser* parser_ = nullptr;
    bool pageMode_ = false;
    const void* activeEditor_ = nullptr;
    bool useGlobalSettings_ = false;
    TEasyCharSet delimiters_;
    int urlStyle_ = 8;
    int stringStyle_ = -1;
    int commentStyle_ = -1;
    int firstUnparsed_ = 0;

    struct TView {
        const void* view;
        TNotifier notifier;
        bool alive;
    };
    std::vector<TView> views_;
    // Views added while the others are told, and the depth of telling.
    std::vector<TView> pendingViews_;
    int broadcasting_ = 0;
};

class TEasyEditSource : public TCustomEasyEditSource {
public:
    using TCustomEasyEditSource::TCustomEasyEditSource;
};

// An editor takes only sources of its own source's class and below: raises
// EInvalidOperation "The instance of TEasyEditSource expected" for another.
void CheckEasyEditSourceClass(const TCustomEasyEditSource* source);

// The sound a read-only source makes when typed into; silent until the
// Win32 side installs the system beep.
void SetEasyBeep(std::function<void()> beep);

}  // namespace qrv
