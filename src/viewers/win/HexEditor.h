#pragma once
// THexEditor: the display pane's hexadecimal viewer and editor. It keeps the
// document (name, working stream, data size), the caret and the selection by
// byte offsets, and the display settings that the settings store reads and
// writes. The grid that paints the rows and the editing input come later;
// until then the control shows an empty area.

#include "framework/Streams.h"
#include "framework/win/Controls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

// The character set of the character column.
enum class TTranslationType { ttAnsi, ttDos8, ttASCII, ttMac, ttEBCDIC };
enum class TOffsetDisplayStyle { odHex, odDec, odOctal, odNone };
enum class TCaretStyle { csFull, csLeftLine, csBottomLine };

class THexEditor : public TWinControl {
public:
    // The largest data size the editor reaches into.
    static constexpr int64_t MaxDataSize = 0x7FFEFFFF;
    // FileName before the first document: the untitled marker.
    static constexpr const wchar_t* UntitledName = L"---";

    explicit THexEditor(TComponent* owner);
    ~THexEditor() override;

    // Opens a file; false (with the system's last error) when it cannot be
    // opened for reading, the document shown stays then. An empty name
    // closes the view and gives true.
    bool LoadFromFile(const std::wstring& name);
    bool SaveToFile(const std::wstring& name);
    // Closes the data and starts an empty document under that name.
    void CreateEmpty(const std::wstring& name);

    const std::wstring& FileName() const { return fileName_; }
    bool Modified() const { return modified_; }
    bool ReadOnlyView() const { return readOnlyView_; }
    void SetReadOnlyView(bool readOnlyView);

    int GetDataSize() const;
    // The byte under the caret, within 0 .. size-1 (0 without data).
    int GetCaretOffset() const;
    // The selection's anchor and other end; the caret offset without one.
    int GetSelStart() const;
    int GetSelEnd() const;
    void SetSelStart(int offset);
    void SetSelEnd(int offset);
    // Selected bytes, 0 without a selection.
    int GetSelCount() const;
    // A copy of count bytes from offset (count is cut at the end of the data;
    // 0 and no bytes when reading fails).
    std::vector<uint8_t> BufferFromFile(int offset, int& count);
    // The offset of the first match in first .. last, or -1.
    int Find(const uint8_t* pattern, int length, bool translate, bool ignoreCase, int lastOffset,
             int firstOffset);

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
    bool CreateBackup() const { return createBackup_; }
    void SetCreateBackup(bool create) { createBackup_ = create; }
    const std::wstring& BackupExtension() const { return backupExtension_; }
    void SetBackupExtension(const std::wstring& ext) { backupExtension_ = ext; }

    // The insert mode, selection or modified state may have changed.
    TNotifyEvent OnStateChanged;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void CloseData();
    void ResetPosition();
    void Repaint();
    void StateChanged();
    void CheckOffset(int offset, const wchar_t* what) const;

    std::wstring fileName_ = UntitledName;
    std::unique_ptr<TFileStream> stream_;
    int64_t dataSize_ = 0;
    bool modified_ = false;
    bool readOnlyView_ = true;
    int caretOffset_ = 0;
    int selStart_ = -1, selEnd_ = -1, selAnchor_ = -1;

    TTranslationType translation_ = TTranslationType::ttAnsi;
    TOffsetDisplayStyle offsetDisplay_ = TOffsetDisplayStyle::odHex;
    int bytesPerLine_ = 16;
    int bytesPerColumn_ = 2;
    bool swapNibbles_ = false;
    bool wantTabs_ = true;
    bool noSizeChange_ = false;
    bool allowInsertMode_ = false;
    bool showMarkerColumn_ = true;
    bool maskWhiteSpaces_ = true;
    wchar_t maskChar_ = L'.';
    wchar_t offsetSeparator_ = L':';
    TCaretStyle caretStyle_ = TCaretStyle::csFull;
    bool createBackup_ = true;
    std::wstring backupExtension_ = L".bak";
};

}  // namespace qrv
