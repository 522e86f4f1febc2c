#pragma once
// THexEditor: the display pane's hexadecimal viewer and editor. A grid of
// offset, nibble and character columns over a THexDocument: the read-only
// view reads the file itself (only the rows shown), the edit mode works on a
// working copy in the temporary folder and saves it back with a backup.
// Sizes, offsets, rows and markers are 64-bit, so files of any size show.

#include "framework/win/Controls.h"
#include "framework/win/Handles.h"
#include "viewers/HexDocument.h"
#include "viewers/HexDocumentInput.h"
#include "viewers/HexDocumentLayout.h"
#include "viewers/win/HexEditorFile.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

enum class TCaretStyle { csFull, csLeftLine, csBottomLine };

class THexEditor;

// The editor's colours; each writer stores the colour and repaints.
class TColors {
public:
    explicit TColors(THexEditor& owner) : owner_(owner) {}

    TColor Background() const { return background_; }
    void SetBackground(TColor c);
    TColor Offset() const { return offset_; }
    void SetOffset(TColor c) { Set(offset_, c); }
    TColor OddColumn() const { return oddColumn_; }
    void SetOddColumn(TColor c) { Set(oddColumn_, c); }
    TColor EvenColumn() const { return evenColumn_; }
    void SetEvenColumn(TColor c) { Set(evenColumn_, c); }
    TColor ChangedBackground() const { return changedBackground_; }
    void SetChangedBackground(TColor c) { Set(changedBackground_, c); }
    TColor ChangedText() const { return changedText_; }
    void SetChangedText(TColor c) { Set(changedText_, c); }
    TColor CursorFrame() const { return cursorFrame_; }
    void SetCursorFrame(TColor c) { Set(cursorFrame_, c); }
    TColor PositionBackground() const { return positionBackground_; }
    void SetPositionBackground(TColor c) { Set(positionBackground_, c); }
    TColor PositionText() const { return positionText_; }
    void SetPositionText(TColor c) { Set(positionText_, c); }

    // Each of red, green and blue replaced by 255 minus its value: the text
    // of selected bytes in the nibble pane.
    static COLORREF Complement(TColor c);

private:
    void Set(TColor& field, TColor c);
    THexEditor& owner_;
    TColor background_ = clWindow;
    TColor offset_ = clBlack;
    TColor oddColumn_ = clBlue;
    TColor evenColumn_ = 0x800000;         // navy
    TColor changedBackground_ = 0xA8FFFF;  // light yellow
    TColor changedText_ = 0x000080;        // maroon
    TColor cursorFrame_ = 0x800000;
    TColor positionBackground_ = 0x000080;
    TColor positionText_ = clWhite;
};

using TOnGetTextColorEvent =
    std::function<void(TComponent* sender, int aCol, int64_t aRow, int64_t aOffset, TColor& color)>;
using TSelectCellEvent = std::function<void(TComponent* sender, int aCol, int64_t aRow, bool& canSelect)>;
using TKeyPressEvent = std::function<void(TComponent* sender, wchar_t& key)>;

class THexEditor : public TCustomControl {
public:
    // FileName before the first document: the untitled marker.
    static constexpr const wchar_t* UntitledName = L"---";
    // The private message that raises OnStateChanged after the input.
    static constexpr UINT WM_STATECHANGED = WM_USER + 2;

    explicit THexEditor(TComponent* owner);
    ~THexEditor() override;

    // Opens a file; false (with the system's last error) when it cannot be
    // opened for reading or its working copy cannot be made, or when the
    // changed document before it could not be saved; the document shown
    // stays then. An empty name closes the view and gives true.
    bool LoadFromFile(const std::wstring& name);
    // Saves the data to that name: written beside it first and swapped in,
    // so a failure leaves the file as it was. False with the last error set.
    bool SaveToFile(const std::wstring& name);
    // Closes the data (with the save question) and starts an empty document.
    void CreateEmpty(const std::wstring& name);

    const std::wstring& FileName() const { return fileName_; }
    bool Modified() const { return doc_.Modified(); }
    bool ReadOnlyView() const { return readOnlyView_; }
    void SetReadOnlyView(bool readOnlyView);
    // The working copy in edit mode (empty in the read-only view).
    const std::wstring& WorkingFileName() const { return workingName_; }

    int64_t GetDataSize() const { return doc_.Size(); }
    // The byte under the caret, within 0 .. size-1 (0 without data).
    int64_t GetCaretOffset() const;
    int64_t GetSelStart() const;
    int64_t GetSelEnd() const;
    void SetSelStart(int64_t offset);
    void SetSelEnd(int64_t offset);
    int64_t GetSelCount() const { return selection_.Count(); }
    // A copy of count bytes from offset (count is cut at the end of the data;
    // 0 and no bytes when reading or allocating fails).
    std::vector<uint8_t> BufferFromFile(int64_t offset, int64_t& count);
    // The offset of the first match in first .. last, or -1.
    int64_t Find(const uint8_t* pattern, int64_t length, bool translate, bool ignoreCase, int64_t lastOffset,
                 int64_t firstOffset);
    // Hexadecimal text to bytes in this view's nibble order.
    std::vector<uint8_t> HexStringToBytes(const std::wstring& text) const;

    void SetMarker(int index, int64_t row);
    int64_t GetMarker(int index) const;

    int JournalCount() const { return doc_.JournalCount(); }
    std::wstring JournalDescription() const { return doc_.JournalDescription(); }
    bool InsertMode() const { return insertToggle_ && allowInsertMode_ && !noSizeChange_; }
    const THexCaret& Caret() const { return caret_; }
    bool IsChanged(int64_t offset) const { return doc_.IsChanged(offset); }

    // The grid: rows, the top row, and where a cell is in the client area.
    int64_t RowCount() const { return HexRowCount(doc_.Size(), bytesPerLine_); }
    int64_t TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }
    int ColCount() const { return Columns().ColCount(); }
    int DefaultRowHeight() const { return rowHeight_; }
    int CharWidth() const { return charWidth_; }
    RECT CellRect(int col, int64_t row) const;
    // The text a cell shows ("" for blank cells).
    std::wstring CellText(int col, int64_t row);

    TTranslationType Translation() const { return translation_; }
    void SetTranslation(TTranslationType translation);
    TOffsetDisplayStyle OffsetDisplay() const { return offsetDisplay_; }
    void SetOffsetDisplay(TOffsetDisplayStyle style);
    int BytesPerLine() const { return bytesPerLine_; }
    void SetBytesPerLine(int bytes);
    int GetBytesPerColumn() const { return bytesPerColumn_; }
    void SetBytesPerColumn(int bytes);
    bool SwapNibbles() const { return swapNibbles_; }
    void SetSwapNibbles(bool swap);
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool want) { wantTabs_ = want; }
    bool NoSizeChange() const { return noSizeChange_; }
    void SetNoSizeChange(bool noSizeChange);
    bool AllowInsertMode() const { return allowInsertMode_; }
    void SetAllowInsertMode(bool allow);
    bool ShowMarkerColumn() const { return showMarkerColumn_; }
    void SetShowMarkerColumn(bool show);
    bool MaskWhiteSpaces() const { return maskWhiteSpaces_; }
    void SetMaskWhiteSpaces(bool mask);
    wchar_t MaskChar() const { return maskChar_; }
    void SetMaskChar(wchar_t c);
    wchar_t OffsetSeparator() const { return offsetSeparator_; }
    void SetOffsetSeparator(wchar_t c);
    TCaretStyle CaretStyle() const { return caretStyle_; }
    void SetCaretStyle(TCaretStyle style);
    bool AutoCaretMode() const { return autoCaretMode_; }
    void SetAutoCaretMode(bool autoMode);
    bool FocusFrame() const { return focusFrame_; }
    void SetFocusFrame(bool frame);
    bool CreateBackup() const { return createBackup_; }
    void SetCreateBackup(bool create) { createBackup_ = create; }
    const std::wstring& BackupExtension() const { return backupExtension_; }
    void SetBackupExtension(const std::wstring& ext) { backupExtension_ = ext; }
    TColors& Colors() { return colors_; }

    // The insert mode, selection, journal or modified state may have changed.
    TNotifyEvent OnStateChanged;
    TOnGetTextColorEvent OnGetTextColor;
    TNotifyEvent OnTopLeftChanged;
    TSelectCellEvent OnSelectCell;
    TKeyPressEvent OnKeyPress;
    // The question before a changed document is closed: true to save. Unset,
    // a message box asks.
    std::function<bool(const std::wstring& question)> OnQuerySave;
    // A failed save on closing. Unset, a message box shows it.
    std::function<void(const std::wstring& message)> OnSaveError;

    void Invalidate();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;
    void FontChanged() override;
    void BoundsChanged() override;

private:
    friend class TColors;
    THexGridColumns Columns() const;
    // Closes the data: asks to save a changed document; false when the save
    // failed, and then nothing is closed.
    [[nodiscard]] bool CloseData(bool destroying = false);
    void DiscardWorkingFile();
    void ResetAfterLoad();
    void UpdateLayout();
    void UpdateMetrics();
    void UpdateScrollBars();
    int VisibleRows() const;
    int FullyVisibleRows() const;
    void ScrollToRow(int64_t row);
    void ScrollToCol(int col);
    void EnsureCaretVisible();
    void PlaceCaret();
    void MakeCaret();
    void StateChanged();
    THexEditPosition EditPosition() const;
    void CheckOffset(int64_t offset, const wchar_t* what) const;
    bool HitCell(int x, int y, int& col, int64_t& row) const;
    THexCaret CaretOfCell(int col, int64_t row) const;
    int CaretCol() const;
    int PartnerCol() const;
    void InvalidateRows(int64_t first, int64_t last);
    void MoveCaret(const THexCaret& to, bool extendSelection);
    void ClearSelection();
    void SelectRange(int64_t from, int64_t count);
    void AfterEdit();
    std::unique_ptr<THexFile> MakeWorkingFile();

    void KeyDown(WORD key);
    void KeyPress(wchar_t c);
    void ApplyTyped(const THexTyped& typed);
    void DeleteSelection();
    void MouseDown(int x, int y, bool doubleClick);
    void MouseMove(int x, int y);
    void VerticalScroll(WORD code);
    void HorizontalScroll(WORD code);

    void PaintCell(HDC dc, const RECT& rect, int col, int64_t row, const uint8_t* rowBytes, size_t available);
    bool ShiftDown() const;

    THexDocument doc_;
    TWinHexCodePages codePages_;
    THexCharset charset_{codePages_};
    TColors colors_{*this};

    std::wstring fileName_ = UntitledName;
    std::wstring workingName_;
    bool readOnlyView_ = true;
    bool createBackup_ = true;
    std::wstring backupExtension_ = L".bak";
    bool noSizeChange_ = false;
    bool allowInsertMode_ = false;
    bool insertToggle_ = false;

    THexCaret caret_;
    THexSelection selection_;
    bool selecting_ = false;
    bool mouseDown_ = false;
    bool lastKeyUpWasAlt_ = false;
    std::array<int64_t, 10> markers_;

    TTranslationType translation_ = TTranslationType::ttAnsi;
    TOffsetDisplayStyle offsetDisplay_ = TOffsetDisplayStyle::odHex;
    int bytesPerLine_ = 16;
    int bytesPerColumn_ = 2;
    bool swapNibbles_ = false;
    bool wantTabs_ = true;
    bool showMarkerColumn_ = true;
    bool maskWhiteSpaces_ = true;
    wchar_t maskChar_ = L'.';
    wchar_t offsetSeparator_ = L':';
    TCaretStyle caretStyle_ = TCaretStyle::csFull;
    bool autoCaretMode_ = true;
    bool focusFrame_ = true;

    // Layout.
    int charWidth_ = 8;
    int rowHeight_ = 16;
    int offsetChars_ = 0;
    int64_t topRow_ = 0;
    int leftCol_ = 2;
    // Rows per scroll-bar unit, above 1 when the rows exceed what an int holds.
    int64_t scrollScale_ = 1;
    bool caretShown_ = false;
    TGdiObject caretBitmap_;
    TGdiObject markerFont_;
};

}  // namespace qrv
