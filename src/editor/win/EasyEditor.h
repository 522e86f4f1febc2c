#pragma once
// TCustomEasyEdit: the editor's own window (class "TEasyEdit"). It is a view
// on an edit source, which holds the lines, the caret and the undo lists;
// several editors may show one source and every change the source reports
// repaints each of them. The window paints the text on a fixed character
// grid with a gutter, line numbers, the margin line and formatting marks,
// scrolls by rows (word-wrap rows with WordWrap), keeps the caret in view
// and answers the edit-control messages other programs send. The key maps'
// commands edit the text (TEasyEditCommands), the find and replace forms
// and incremental search search it (TEasySearchRunner), and the mouse
// selects, drags text and clicks the gutter and web addresses (TEasyMouse).
// Around typing the owner's completion list or hint shows after a pause,
// Strg+J inserts code templates, a delimiter corrects the word before it
// (TEasyCompletion), and the brackets around the caret are drawn bold.

#include "editor/EasyBracketPair.h"
#include "editor/EasyCharIndex.h"
#include "editor/EasyCodeTemplates.h"
#include "editor/EasyCompletion.h"
#include "editor/EasyEditCommands.h"
#include "editor/EasyEditSource.h"
#include "editor/EasyEditorLink.h"
#include "editor/EasyEditorOptions.h"
#include "editor/EasyEditorSetters.h"
#include "editor/EasyEditorSubObjects.h"
#include "editor/EasyGutterText.h"
#include "editor/EasyKeyList.h"
#include "editor/EasyLongestLine.h"
#include "editor/EasyMouse.h"
#include "editor/EasyPageGeometry.h"
#include "editor/EasyPages.h"
#include "editor/EasyPainter.h"  // before the system headers: see EasyPainterWin.h
#include "editor/EasyRowLayout.h"
#include "editor/EasySearchRunner.h"
#include "editor/EasySelMode.h"
#include "editor/EasyWrapList.h"
#include "editor/win/EasyControlBackground.h"
#include "editor/win/EasyPainterWin.h"
#include "framework/win/Controls.h"
#include "framework/win/ImgList.h"
#include "framework/win/WaitCursor.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The editor's CreateDialog keeps its name; the system's macro is written
// CreateDialogW.
#undef CreateDialog

namespace qrv {

class TEasyHint;
class TEasyListBox;
class TEasyRuler;
struct TEasyRulerItem;
class TForm;

// The editor's window frame.
enum class TEasyBorderStyle { bsNone, bsSingle };

class TCustomEasyEdit : public TCustomControl,
                        private TEasyEditorLink,
                        private TEasyPainterHost,
                        private TEasyEditCommandHost,
                        private TEasySearchHost,
                        private TEasyMouseHost,
                        private TEasyCompletionHost {
public:
    explicit TCustomEasyEdit(TComponent* owner);
    ~TCustomEasyEdit() override;
    using TWinControl::Focused;

    // The source in use: the attached one, else the editor's own.
    TCustomEasyEditSource* GetEditSource() const;
    TCustomEasyEditSource* EditSource() const { return external_; }
    // nullptr returns to the editor's own source. A source of a class that
    // does not descend from the editor's own source's class is refused
    // with EInvalidOperation "The instance of TEasyEditSource expected",
    // and the editor keeps its source.
    void SetEditSource(TCustomEasyEditSource* source);

    TEasyStrings& Lines() { return GetEditSource()->Strings(); }
    TEasyLineBreak LineBreak() const { return GetEditSource()->Strings().LineBreak(); }
    void SetLineBreak(TEasyLineBreak lineBreak) { GetEditSource()->Strings().SetLineBreak(lineBreak); }
    bool GetReadOnly() const { return GetEditSource()->ReadOnly(); }
    void SetReadOnly(bool readOnly) { GetEditSource()->SetReadOnly(readOnly); }
    bool GetModified() const { return GetEditSource()->Modified(); }
    void SetModified(bool modified) { GetEditSource()->SetModified(modified); }

    bool WordWrap() const { return wordWrap_; }
    // Keeps the text line shown at the top.
    void SetWordWrap(bool wrap);
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool want) { wantTabs_ = want; }
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool want) { wantReturns_ = want; }
    bool HideScrollBars() const { return hideScrollBars_; }
    void SetHideScrollBars(bool hide);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool HideCaret() const { return hideCaret_; }
    // On: the caret is hidden and destroyed; off: made and placed again.
    void SetHideCaret(bool hide);
    int MaxScrollPos() const { return maxScrollPos_; }
    void SetMaxScrollPos(int columns);
    TEasyBlockSelMode BlockSelMode() const { return blockSelMode_; }
    // An existing selection is set again in the mode now allowed.
    void SetBlockSelMode(TEasyBlockSelMode mode);
    // False while wrapping words and on a double-byte system.
    bool CanBlockSelect();
    TEasyEditorOptions Options() const { return options_; }
    void SetOptions(TEasyEditorOptions options);
    TEasyPageType PageType() const { return pageType_; }
    // Lays the text out anew: one endless area, pages cut by a dotted line
    // (ptPageBreaks) or sheets on a coloured ground (ptPageLayout).
    void SetPageType(TEasyPageType type);
    TEasyPages& Pages() { return pages_; }
    // The picture or gradient behind the text (the whole client area);
    // writing assigns into the editor's own.
    TEasyControlBackground& Background() { return background_; }
    void SetBackground(const TEasyControlBackground& background) { background_.Assign(background); }
    // A ruler's indentation mark was dragged: the caret page's indent
    // follows and the text is laid out again. What the ruler shows of the
    // caret's page: its indents in ptPageLayout, none otherwise.
    void RulerIndentChanged(bool vertical, int mark, int position);
    TEasyRulerMarks RulerMarks(bool vertical);
    // The ground around the sheets in ptPageLayout.
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor color);
    // The font of the page numbers.
    TFont& PageNumFont() { return pageNumFont_; }
    // The window frame and flat scroll bars (plain ones where the system
    // has none): changing either makes the window anew, keeping the text,
    // the caret, the selection and the scroll position.
    TEasyBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TEasyBorderStyle style);
    bool FlatScrollBars() const { return flatScrollBars_; }
    void SetFlatScrollBars(bool flat);
    // Passed to the editor's own source; switched on, the global settings
    // registered for the editor apply themselves to it.
    bool UseGlobalSettings() const { return useGlobalSettings_; }
    void SetUseGlobalSettings(bool use);
    TEasyKeyList& KeyList() { return keys_; }
    TEasyKeyMapping KeyMapping() const { return keyMapping_; }
    // kmOther leaves no binding: only typing reaches the editor.
    void SetKeyMapping(TEasyKeyMapping mapping);

    // The sub-objects.
    TEasyEditorGutter& Gutter() { return gutter_; }
    TEasyEditorMargin& Margin() { return margin_; }
    TEasyLineNumbers& LineNumbers() { return lineNumbers_; }
    TEasyEditorColors& Colors() { return colors_; }
    TEasyLineStyles& LineStyles() { return lineStyles_; }
    TEasyLineDivider& LineDivider() { return lineDivider_; }
    TEasyPainter& Painter() { return *painter_; }
    // Which rulers are shown, and their units.
    TEasyEditorRuler& Ruler() { return ruler_; }
    unsigned RulerOptions() const { return ruler_.Options(); }
    void SetRulerOptions(unsigned options) { ruler_.SetOptions(options); }
    // The ruler controls Ruler's options ask for (nullptr where none is
    // shown): the horizontal one along the top, the vertical one at the left.
    TEasyRuler* HorzRuler() const { return horzRuler_; }
    TEasyRuler* VertRuler() const { return vertRuler_; }

    // The view.
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int LeftColumn() const { return leftColumn_; }
    void SetLeftColumn(int column);
    // Rows of the text (word-wrap rows, less hidden lines, plus the
    // end-of-text mark's row); with word wrap lines not cut yet count one.
    int RowCount();
    // The largest first row.
    int LastTopRow() { return std::max(RowCount() - 1, 0); }
    // Whole rows and columns the text area shows.
    int VisibleRows();
    int VisibleColumns();
    int LineNumberDigits() const { return lineNumberDigits_; }
    int LineNumberWidth() const { return lineNumberWidth_; }
    int CharWidth();
    int LineHeight();
    // The text line of a row (with word wrap through the row list).
    int RowToLine(int row);
    // The row of the caret.
    int CaretRow();

    // The caret: display column and line from 0.
    int CaretX();
    int CaretY();
    void SetCaretPos(int x, int y);
    // The caret in row coordinates (column within the row, row) with word
    // wrap, else the text position; for the status bar.
    POINT GetCaretDisplayPos();
    // Scrolls the caret into view (or centres it when it is outside).
    void MakeCaretVisible(bool center = false);

    // The selection: corners as (column, line), SelStart before SelEnd.
    TEasyPoint SelStart() const { return selStart_; }
    TEasyPoint SelEnd() const { return selEnd_; }
    int SelMode() const { return selMode_; }
    // Requests a selection of the mode (stream or block); the mode it gets
    // follows BlockSelMode.
    void SetSelection(TEasyPoint start, TEasyPoint end, int mode = smStream);
    void ClearSelection();
    void SelectAll();
    // The selected text and its length in characters, line breaks as
    // CR LF; of a block each line's columns inside it, padded with blanks.
    int GetSelLength();
    std::wstring SelText();
    void Undo();
    bool CanUndo();
    // The clipboard in UTF-16; a cut deletes only what the clipboard took.
    void CopyToClipboard() { commands_.CopyToClipboard(); }
    void CutToClipboard() { commands_.CutToClipboard(); }
    void PasteFromClipboard() { commands_.PasteFromClipboard(); }
    // The selected text with CR LF between its lines; replacing it inserts
    // the text in the old selection's mode, at the caret without one.
    std::wstring GetSelText();
    void SetSelText(const std::wstring& text);
    // Deletes the selected text (ClearSelection only unselects).
    void DeleteSelection() { commands_.DeleteSelection(); }
    // The editing commands the key maps bind, and typing.
    TEasyEditCommands& Commands() { return commands_; }

    // The code templates Strg+J inserts, the pick list's size, the pause
    // before the owner's completion list or hint (ms) and the characters
    // after which a word is corrected.
    TEasyCodeTemplates& CodeTemplates() { return codeTemplates_; }
    TEasyPopupWindow& PopupWindow() { return popupWindow_; }
    int AutoCompletePause() const { return completion_.AutoCompletePause; }
    void SetAutoCompletePause(int ms) { completion_.AutoCompletePause = ms; }
    std::wstring AutoCorrectDelims() const;
    void SetAutoCorrectDelims(const std::wstring& delims);
    TEasyCompletion& Completion() { return completion_; }
    // The pick list while it shows (completions or templates), else nullptr.
    TEasyListBox* ShownList();
    // The owner's hint below the caret, once one was shown.
    TEasyHint* OwnerHint() const { return ownerHint_; }
    // The bracket pair drawn bold around the caret (eoHighlightBrackets).
    std::optional<TEasyBracketPair> BracketPair() const { return brackets_; }

    // The find (26), replace (27) and go-to-line (28) forms: made, shown
    // and, closed with OK, carried out; a form shown modelessly is left to
    // itself. CreateDialog: whether a form was made, and how it is shown.
    void ExecuteDialog(int code);
    bool CreateDialog(int code, TForm*& form, bool& modal);
    // Search again (26) or replace again (27) with the shared settings.
    void FindNext(int code);
    void StartIncrementalSearch();
    TEasySearchRunner& Searching() { return search_; }
    // The selected text put at the caret, moved or copied; false when the
    // caret lies inside the selection.
    bool DropSelection(bool move) { return mouse_.DropSelection(move); }
    TEasyMouse& Mouse() { return mouse_; }

    // The character index of a position and back (CR LF between lines).
    int64_t PosToCharIndex(TEasyPoint pos);
    TEasyPoint CharIndexToPos(int64_t index);

    // Client pixel of a text position and the text position of a pixel.
    POINT TextToClient(TEasyPoint pos);
    TEasyPoint ClientToText(POINT point);
    // The view (gutter and text) is the client area right of a vertical
    // ruler and below a horizontal one: its top left corner in client
    // pixels, and its size. The positions below are the view's own.
    POINT ViewOrigin();
    int ViewWidth();
    int ViewHeight();
    // Left edge of the text area in the view (the gutter's width).
    int TextLeft();
    // The column of the collapse buttons when they are not on the gutter
    // (eoCollapseButtonOnGutter off, hidden lines allowed); 0 without one.
    int CollapseColumnWidth();
    // Where column LeftColumn begins: TextLeft, or in ptPageLayout the
    // sheet's text area scrolled by LeftColumn.
    int TextAreaLeft();

    // The character painted for a formatting mark.
    virtual char16_t GetFormattingMark(int kind);

    // The result the input method finished last, whole and in UTF-16; it
    // is typed as one text when its last character arrives.
    const std::wstring& ImeResult() const { return imeResult_; }

    std::function<void(TComponent* Sender, TEasyEditSourceStates State)> OnSourceChanged;
    TNotifyEvent OnSelectionChanged;
    std::function<void(TComponent* Sender, bool Vertical, int Code)> OnScroll;
    // While the thumb is dragged: the hint text for the top line.
    std::function<void(TComponent* Sender, int Line, int Page, std::wstring& Hint)> OnScrollHint;
    TNotifyEvent OnMouseLeave;
    // Before a dialog's form is made: the handler may supply one (Handled).
    std::function<void(TComponent* Sender, int Code, TForm*& Form, bool& Modal, bool& Handled)> OnBeforeCreateDialog;
    // A find or replace form was created (the host relabels it).
    std::function<void(TComponent* Sender, int Code, TForm* Form)> OnAfterCreateDialog;
    // A click or double click on the gutter: the line and the image hit (-1: none).
    std::function<void(TComponent* Sender, int Line, int Index)> OnGutterClick;
    std::function<void(TComponent* Sender, int Line, int Index)> OnGutterDblClick;
    // A click on a web address; Handled keeps it from being opened.
    std::function<void(TComponent* Sender, const std::wstring& Url, bool& Handled)> OnUrlJump;
    // May replace the character of a formatting mark.
    std::function<void(TComponent* Sender, int Kind, char16_t& Mark)> OnGetFormattingMark;
    // After a pause in typing: the lines of the completion list for the key
    // typed last; AllowPopup false keeps the list from showing.
    std::function<void(TComponent* Sender, std::vector<std::wstring>& Strings, wchar_t Key, bool& AllowPopup)>
        OnAutoComplete;
    // The same pause when no list showed: a hint shown below the caret.
    std::function<void(TComponent* Sender, std::wstring& Hint, wchar_t Key, bool& AllowPopup)> OnDisplayHint;
    // A word the spelling check rejected before a delimiter: its correction.
    std::function<void(TComponent* Sender, const std::wstring& Word, std::wstring& CorrectWord, bool& HasCorrection)>
        OnWordAutoCorrect;
    // A list choice or code template about to be inserted.
    std::function<void(TComponent* Sender, std::wstring& Text)> OnBeforeInsertPopup;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;
    void FontChanged() override;

    virtual void SetDefaultFont();
    virtual void FontMetricsChanged();
    virtual void UpdateScrollHint(int code);
    virtual void SourceNotify(TEasySourceNotification* record);
    virtual void BeforeWrapLine(int /*line*/) {}
    virtual bool NeedsRowLayout() { return false; }
    virtual void UpdateCaretPos();
    virtual void DoSourceChanged(TEasyEditSourceStates states);
    virtual void DoSelectionChanged();
    virtual void DoScroll(bool vertical, int code);
    virtual void DoScrollHint(int line, int page, std::wstring& text);
    // Runs a movement or scroll command of the key map; false when the
    // code is not one this editor carries out.
    virtual bool ExecuteCommand(int code);
    // The mouse over a web address, a click's jump to the address at a text
    // position, and the jump itself (only web and mail addresses open).
    virtual bool IsOverUrl(POINT point);
    virtual void JumpAtPoint(TEasyPoint pos);
    virtual void DoUrlJump(const std::wstring& url);
    virtual void DoGutterClick(int line, int index);
    virtual void DoGutterDblClick(int line, int index);

private:
    // TEasyEditorLink: what the sub-objects ask and tell.
    TEasyEditorOptions EditorOptions() const override { return options_; }
    bool Focused() const override;
    int LineNumbersWidth() const override { return lineNumberWidth_; }
    void Invalidate() override;
    void InvalidateSelection() override { Invalidate(); }
    void UpdateGutter() override;
    void UpdateScrollRange() override { UpdateScrollBars(); }
    bool InPageView() const override { return pageType_ != TEasyPageType::ptNormal; }
    int PixelsPerInchX() const override;
    int PixelsPerInchY() const override;
    void PageChanged(int pageIndex) override;
    void InvalidatePage(int pageIndex) override;
    void RulerChanged() override;

    // TEasyEditCommandHost: what the command core asks.
    TCustomEasyEditSource& Source() override { return *GetEditSource(); }
    TEasyEditorOptions CommandOptions() override { return options_; }
    int ColumnToX(int line, int column) override;
    int XToColumn(int line, int x) override;
    int VisibleRowCount() override { return VisibleRows(); }
    bool MoveCaretByRows(int rows) override;
    bool ViewCommand(int code) override;
    TEasySelCorners Selection() override { return {selStart_, selEnd_, false}; }
    int StoredSelMode() override { return selMode_; }
    void StoreSelection(TEasyPoint start, TEasyPoint end, int mode) override;
    bool PutOnClipboard(const std::u16string& text, bool block) override;
    std::optional<std::u16string> ReadClipboard(bool& block) override;
    void Beep() override;
    bool OtherCommand(TEasyKeyHandler handler, int code) override;

    // TEasySearchHost: the boxes, the prompt and the hourglass of searching.
    void ShowSearchBox(const std::wstring& text, TEasySearchBox kind) override;
    TEasyReplaceAnswer AskReplace(const std::wstring& text) override;
    void BeginBusy() override;
    void EndBusy() override;
    void SearchMatchChanged() override { Invalidate(); }
    void IncrementalSearchChanged() override;

    // TEasyMouseHost: the view's geometry, the timer, capture and cursor.
    TEasyPoint TextAt(int x, int y) override { return ClientToText(POINT{x, y}); }
    bool CharAt(int x, int y, TEasyPoint& pos) override;
    bool InGutter(int x, int y) override;
    int LineAt(int y) override;
    int GutterImageAt(int line, int x) override;
    bool OnSelectedText(int x, int y) override;
    bool CanTakeFocus() override;
    void TakeFocus() override { SetFocus(); }
    void SetMouseTimer(bool on) override;
    void SetMouseCapture(bool on) override;
    void SetMouseCursor(TEasyMouseCursor cursor) override;
    void MouseCaretVisible() override { MakeCaretVisible(); }
    void GutterClick(int line, int index, bool doubleClick) override;
    void UrlJump(const std::u16string& url) override;
    // The cursor for a client point while no mouse mode runs.
    HCURSOR CursorAt(POINT point);

    // TEasyCompletionHost: the owner's events, the pick list, the hint and
    // the pause's timer.
    bool CanComplete() override { return OnAutoComplete || OnDisplayHint; }
    bool AutoComplete(std::vector<std::u16string>& items, char16_t key) override;
    bool DisplayHint(std::u16string& hint, char16_t key) override;
    void BeforeInsertPopup(std::u16string& text) override;
    bool WordAutoCorrect(const std::u16string& word, std::u16string& correct) override;
    void ShowList(const std::vector<std::wstring>& lines, int chosen) override;
    void ChooseListItem(int index) override;
    void CloseList() override;
    bool ListShowing() override { return ShownList() != nullptr; }
    void ShowHint(const std::u16string& text) override;
    bool HintShowing() override;
    void StartTimer(int ms) override;
    void StopTimer() override;
    // The pick list, made on first use; keys it does not take go on to the
    // editor.
    TEasyListBox& PopupList();
    // The pair around the caret found again, the rows of a changed one repainted.
    void UpdateBrackets();
    bool PainterBracketHighlighted(int line, int column) override;

    // TEasyPainterHost: what the line painter asks.
    TCustomEasyEditSource& PainterSource() override { return *GetEditSource(); }
    TEasyEditorOptions PainterOptions() const override { return options_; }
    const TEasyEditorColors& PainterColors() const override { return colors_; }
    const TEasyLineStyles& PainterLineStyles() const override { return lineStyles_; }
    const TEasyLineDivider& PainterLineDivider() const override { return lineDivider_; }
    TColor PainterColor() const override { return Color(); }
    TColor PainterBackground() const override;
    TColor PainterFontColor() const override;
    TFontStyles PainterFontStyle() const override;
    uintptr_t PainterFont(TFontStyles style) override;
    bool PainterFocused() const override { return Focused(); }
    bool PainterHideSelection() const override { return hideSelection_; }
    TEasyWrapList* PainterWrapList() override;
    bool PainterSelection(int line, TEasyColumnSpan& span) override;
    std::vector<TEasyColumnSpan> PainterSearchMatches(int line) override;
    bool HasSearchMatch() const override { return search_.HasMatch(); }
    int PainterCaretLine() const override { return GetEditSource()->CaretY(); }

    void Attach(TCustomEasyEditSource* source);
    void Detach(TCustomEasyEditSource* source);
    void SourceStatesChanged(TEasyEditSourceStates states, bool wholeDocument = false);

    // Rows.
    bool Wrapping() { return wordWrap_ || NeedsRowLayout(); }
    void RebuildRows(int from, int to);
    void BuildAllRows();
    // Cuts every row again (width, font or gutter changed), keeping the top line.
    void Rewrap();
    void ShowLineAtTop(int line);
    int WrapCells();
    // Line, start and end column of a row; false past the text.
    bool RowRange(int row, int& line, int& startColumn, int& endColumn);
    void UpdateLineNumberWidth();

    // Scrolling.
    void Scroll(bool vertical, int code, int thumb);
    void ScrollView(int newTop, int newLeft);
    // What follows every move of the view: parsing ahead, bars, caret.
    void ViewMoved();
    // Rows and window pages up (negative) or down, by pixels in ptPageLayout.
    void ScrollByRows(int64_t rows);
    void ScrollByPages(int pages);
    void UpdateScrollBars();
    // The bar's place, thumb and part states as the system reports them.
    SCROLLBARINFO BarPicture(int bar);
    int HorzRange();
    int LongestLineLength();
    void MouseWheel(int delta);

    // Painting.
    // The gutter's images (bookmarks 0-9, wrap mark, block buttons), read
    // from the program's resources when first asked for.
    TImageList& GutterImages();
    void PaintGutter(HDC dc, const RECT& clip);
    // The glyphs of one gutter row, left to right, each only where it fits.
    void PaintGutterGlyphs(HDC dc, int top, int line, int startColumn, int endColumn, int gutterWidth);
    void PaintText(HDC dc, const RECT& clip);
    // The dotted line under the last row of each page (ptPageBreaks).
    void PaintPageBreaks(HDC dc);
    // The sheets with their text, frames, shadows and numbers (ptPageLayout).
    void PaintPageLayout(HDC dc, const RECT& clip);
    // The numbers of a sheet's lines (line, row top) in its gutter.
    void PaintSheetLineNumbers(HDC dc, const RECT& paper, const std::vector<std::pair<int, int>>& lines);
    // The view's pixel of a text position and back.
    POINT TextToView(TEasyPoint pos);
    TEasyPoint ViewToText(POINT point);
    // The rulers show the caret page's sheet and indents, in step with the
    // view; a dragged indentation mark sets the page's indent.
    void UpdateRulers();
    void RulerDragged(TEasyRuler* ruler, const TEasyRulerItem& item);
    void FreeRulers();
    // Makes the window anew, keeping the view and the focus.
    void RecreateKeepingView();
    // Pages over the editor's rows, as many as the measure asks for.
    TEasyPageMeasure& PageMeasure();
    TEasyPageMetrics PageMetrics();
    // In ptPageLayout: the document pixel shown at the window's top edge,
    // and the top of a row in client pixels.
    int PageViewTop();
    int RowTopInDocument(int row);
    // ptPageLayout scrolls by pixels: the view's top edge moves to the
    // document pixel, the top row follows.
    void ScrollToPixel(int y, int newLeft);
    // The view's top edge that shows the row at the top (its sheet's top
    // edge for a page's first row).
    int RowViewTop(int row);
    // The first row that shows at a document pixel height.
    int RowAtDocumentY(int y);
    // Pages laid out until one reaches below the pixel (or the text ends).
    void LayOutPagesBelow(int y);
    // The document's height (estimated while not all pages are laid out),
    // room below the last sheet included, and the largest top edge.
    int DocumentHeight();
    int LastPixelTop();
    // After the text, the pages or the window's size changed.
    void KeepPixelTopInRange();
    // The sheet's shadow below and right of it, in pixels.
    static constexpr int kSheetShadow = 3;
    int RowTop(int row);
    // The row at a client pixel height.
    int RowAtY(int y);
    // The first row of a text line (the row after the text for a line past it).
    int FirstRowOfLine(int line);
    // In ptPageLayout: the page of a line, laid out on demand.
    int PageOfLine(int line);
    // Left edge of the text in ptPageLayout: the sheet's text area.
    int PageTextLeft();
    COLORREF BackgroundColor();
    bool SelectionShown();
    // Selected columns of a line; false when none is.
    bool SelectedColumns(int line, int& from, int& to);

    // Messages.
    bool EditMessage(TMessage& message);
    // Runs the key map's binding of the key; false when the key was not used.
    bool KeyDown(WORD key);
    // A typed character; false when it is not the editor's to type.
    bool KeyPress(wchar_t c);
    int64_t SelectedLength();
    // A block's text: its lines' columns inside it, CR LF between them.
    std::u16string BlockText();
    std::u16string TextBetween(int64_t start, int64_t end);

    void ShowCaretNow();
    void KillCaret();
    // The input method's composition window at the caret, in the editor's font.
    void PlaceImeWindow();
    void SetImeFont();

    TEasyEditSource* own_;
    TCustomEasyEditSource* external_ = nullptr;
    TEasyPages pages_{this};
    TEasyControlBackground background_;
    std::unique_ptr<TEasyRowPageMeasure> pageMeasure_;
    TEasyPageType pageType_ = TEasyPageType::ptNormal;
    TColor borderColor_ = clBtnFace;
    TFont pageNumFont_;
    TEasyBorderStyle borderStyle_ = TEasyBorderStyle::bsSingle;
    bool flatScrollBars_ = false;
    bool useGlobalSettings_ = false;
    TEasyKeyMapping keyMapping_ = TEasyKeyMapping::kmDefault;

    TEasyEditorGutter gutter_{this};
    TEasyEditorMargin margin_{this};
    TEasyLineNumbers lineNumbers_{this};
    TEasyEditorColors colors_{this};
    TEasyEditorRuler ruler_{this};
    TEasyKeyList keys_;
    TEasyWrapList rows_;
    TEasyRowLayout layout_;
    std::unique_ptr<TEasyCharIndex> charIndex_;
    TEasyHint* hint_ = nullptr;       // the scroll box's
    TEasyHint* ownerHint_ = nullptr;  // OnDisplayHint's
    TEasyRuler* horzRuler_ = nullptr;
    TEasyRuler* vertRuler_ = nullptr;

    bool wordWrap_ = false;
    bool wantTabs_ = true;
    bool wantReturns_ = true;
    bool hideScrollBars_ = false;
    bool hideSelection_ = false;
    bool hideCaret_ = false;
    int maxScrollPos_ = 255;
    TEasyBlockSelMode blockSelMode_ = TEasyBlockSelMode::bsBoth;
    TEasyEditorOptions options_ = DefaultEasyEditorOptions;

    int topRow_ = 0;
    int leftColumn_ = 0;
    // ptPageLayout: the document pixel at the view's top edge.
    int pixelTop_ = 0;
    TEasyPoint selStart_;
    TEasyPoint selEnd_;
    int selMode_ = 0;
    int16_t wheelDelta_ = 0;
    int keyState_ = 0;
    int lineNumberDigits_ = 1;
    int wrapCells_ = 0;  // the row width the rows were cut for
    int lineNumberWidth_ = 0;
    int paintLock_ = 0;
    // Whether the window had the focus when the paint under way began (-1:
    // no paint); asking the system costs a round trip on every row.
    int paintFocus_ = -1;
    bool settingScrollBars_ = false;
    // What the scroll bars were last set to.
    struct TBarState {
        int Max = -1;
        int Page = 0;
        int Pos = 0;
        bool Hide = false;  // HideScrollBars when set
        bool Shown = true;
        bool operator==(const TBarState&) const = default;
    };
    TBarState vertBar_;
    TBarState horzBar_;
    // The bars as last drawn: their place, thumb and part states.
    SCROLLBARINFO vertPicture_{};
    SCROLLBARINFO horzPicture_{};
    bool caretCreated_ = false;
    bool trackingMouse_ = false;
    std::wstring imeResult_;
    // Characters of the input method's result still to arrive as WM_CHAR.
    size_t imeLeft_ = 0;
    // A key-down the key map used swallows the character that follows it.
    bool keyHandled_ = false;
    TEasyEditCommands commands_{*this};
    TEasySearchRunner search_{*this, commands_, *this, GetSearchSettings()};
    TEasyCodeTemplates codeTemplates_;
    TEasyPopupWindow popupWindow_{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    TEasyCompletion completion_{commands_, *this, *this, codeTemplates_};
    TEasyListBox* popupList_ = nullptr;  // owned as a component
    std::optional<TEasyBracketPair> brackets_;
    TEasyMouse mouse_{*this, commands_, *this};
    std::unique_ptr<TWaitCursor> searchHourglass_;
    int searchBusy_ = 0;
    // The mouse's messages; true when one was handled.
    bool MouseMessage(TMessage& message);
    // The gutter's images of a line's first row, left to right, as painted.
    std::vector<int> GutterGlyphs(int line, int startColumn, int endColumn, int gutterWidth);
    // The longest line's length, kept through edits.
    TEasyLongestLine longestLine_;
    TEasyLineStyles lineStyles_{this};
    TEasyLineDivider lineDivider_{this};
    std::unique_ptr<TEasyPainter> painter_;
    std::unique_ptr<TImageList> gutterImages_;
    // The editor font in each style the painter asks for, made on demand.
    std::array<TGdiObject, 16> styleFonts_;
};

class TEasyEdit : public TCustomEasyEdit {
public:
    using TCustomEasyEdit::TCustomEasyEdit;
};

}  // namespace qrv
