#pragma once
// The rich edit control (the system's "Msftedit.dll", class RICHEDIT50W):
// text as lines, plain or rich text, streamed loading and saving.

#include "framework/win/Controls.h"

#include <functional>
#include <string>

namespace qrv {

class TRichEdit;

// The lines of a rich edit, read from and written to the control's window.
class TRichEditStrings {
public:
    explicit TRichEditStrings(TRichEdit& edit) : edit_(edit) {}

    // The control's line count, less one when the last line is empty.
    int Count() const;
    // One line without its line break; "" outside the text.
    std::wstring Get(int index) const;
    std::wstring operator[](int index) const { return Get(index); }
    // Appends a line after the last one.
    void Add(const std::wstring& s);
    void Clear();
    // Every line followed by CR LF.
    std::wstring Text() const;
    // Splits at CR LF, LF or CR.
    void SetText(const std::wstring& text);

private:
    TRichEdit& edit_;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

class TRichEdit : public TWinControl {
public:
    explicit TRichEdit(TComponent* owner);

    TRichEditStrings& Lines() { return lines_; }
    // The whole text, paragraphs ended by CR LF.
    std::wstring Text();
    void SetText(const std::wstring& text);
    void Clear();

    bool PlainText() const { return plainText_; }
    virtual void SetPlainText(bool plain);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    // Scroll bars hidden when not needed (else shown disabled); re-creates the window.
    bool HideScrollBars() const { return hideScrollBars_; }
    void SetHideScrollBars(bool hide);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool Modified();
    void SetModified(bool modified);
    // The control paints its own background in this colour.
    void SetColor(TColor color) override;

    int SelStart();
    void SetSelStart(int start);
    int SelLength();
    void SetSelLength(int length);
    std::wstring SelText();
    // Replaces the selection (undoable).
    void SetSelText(const std::wstring& text);
    // The caret: x the column, y the line, both from 0.
    POINT CaretPos();
    void Undo();
    bool CanUndo();

    // Options of FindText.
    enum : unsigned { stWholeWord = 1, stMatchCase = 2, stUp = 4, stSelect = 8 };
    // Searches |length| characters from start; the position of the hit or -1.
    int FindText(const std::wstring& text, int start, int length, unsigned options);

    // Streamed transfer; format holds SF_TEXT or SF_RTF, optionally SF_UNICODE.
    void StreamIn(const std::string& data, unsigned format);
    std::string StreamOut(unsigned format);

    // A click on a web link: pressed and released with the same button on it.
    std::function<void(TComponent* Sender, const std::wstring& URLText, TMouseButton Button)> OnURLClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    void HandleLink(UINT mouseMessage, long cpMin, long cpMax);

    TRichEditStrings lines_;
    bool plainText_ = false;
    bool readOnly_ = false;
    bool wordWrap_ = true;
    bool hideScrollBars_ = true;
    bool hideSelection_ = true;
    bool modified_ = false;
    // The content while the window is re-created.
    std::string kept_;
    bool keptRich_ = false;
    // The link a button went down on (-1: none).
    int linkMin_ = -1, linkMax_ = -1;
    UINT linkButton_ = 0;
};

}  // namespace qrv
