#pragma once
// TKyCustomRichEdit and TKyRichEdit: the system's rich edit control
// ("Msftedit.dll", class RICHEDIT50W, Unicode) as a memo-like component. Its
// text is reached as lines (TRichEditStrings) and loaded or saved as a stream
// through a replaceable conversion object; it finds text, reports selection
// and link clicks, keeps its text while the window is re-created, prints,
// and hosts embedded objects through the rich edit OLE callback.

#include "framework/Streams.h"
#include "framework/win/Controls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Graphics.h"
#include "viewers/LoadWarning.h"
#include "viewers/win/TextConversion.h"

#include <richedit.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct IRichEditOle;

namespace qrv {

class TKyCustomRichEdit;
class TRichEditOleCallback;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum class TRichStreamFormat { sfDefault, sfRichText, sfPlainText };
enum TRichStreamMode : unsigned { smSelection = 1, smPlainRtf = 2, smNoObjects = 4, smUnicode = 8 };
using TRichStreamModes = unsigned;

enum TRichLangOption : unsigned {
    rlAutoKeyboard = 1,
    rlAutoFont = 2,
    rlImeCancelComplete = 4,
    rlImeAlwaysSendNotify = 8,
};
using TRichLangOptions = unsigned;

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TNumberingStyle { nsNone, nsBullet };

// The text of a rich edit as lines: the control's lines, each without its
// line break.
class TRichEditStrings {
public:
    explicit TRichEditStrings(TKyCustomRichEdit& edit);
    ~TRichEditStrings();

    // The control's line count, less one when the last line is empty.
    int Count() const;
    // One whole line without its break; "" outside the text.
    std::wstring Get(int index) const;
    std::wstring operator[](int index) const { return Get(index); }
    void Put(int index, const std::wstring& s);
    // Inserts a line before the line index; index = Count appends.
    void Insert(int index, const std::wstring& s);
    int Add(const std::wstring& s);
    // Removes the line and its break.
    void Delete(int index);
    void Clear();
    // Nested: redrawing is off until the outermost EndUpdate, which repaints
    // and announces the change.
    void BeginUpdate();
    void EndUpdate();
    // Every line followed by CR LF.
    std::wstring Text() const;
    // Splits at CR LF, LF or CR.
    void SetText(const std::wstring& text);

    // A file with the extension "rtf" is always transferred as rich text
    // without conversion; other files use the control's default conversion.
    // A load asks the size question when it runs long.
    void LoadFromFile(const std::wstring& fileName);
    void SaveToFile(const std::wstring& fileName);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

    TRichStreamFormat StreamFormat = TRichStreamFormat::sfDefault;
    TRichStreamModes StreamMode = 0;

private:
    // Plain text or rich text for a transfer now.
    bool TransferAsPlainText() const;
    TKyCustomRichEdit& edit_;
    // The conversion chosen by a file's extension; kept until the next file load.
    std::unique_ptr<TConversion> conversion_;
    std::optional<bool> filePlainText_;
    int updateCount_ = 0;
};

// Character format of the default text, the selection or the word at the caret.
class TKyTextAttributes {
public:
    enum class TAttributeType { atDefaultText, atSelected, atWord };
    TKyTextAttributes(TKyCustomRichEdit& edit, TAttributeType type) : edit_(edit), type_(type) {}

    int Charset();
    void SetCharset(int charset);
    // clDefault when the text takes the window-text colour.
    TColor Color();
    void SetColor(TColor color);
    std::wstring Name();
    void SetName(const std::wstring& name);
    // DEFAULT_PITCH, FIXED_PITCH or VARIABLE_PITCH.
    int Pitch();
    void SetPitch(int pitch);
    // TFontStyle bits.
    unsigned Style();
    void SetStyle(unsigned style);
    // Points.
    int Size();
    void SetSize(int points);
    void Assign(const TFont& font);
    void AssignTo(TFont& font);
    void Assign(TKyTextAttributes& other);

private:
    CHARFORMAT2W Get();
    void Set(CHARFORMAT2W& format, DWORD mask);
    TKyCustomRichEdit& edit_;
    TAttributeType type_;
};

// Paragraph format of the selected paragraphs; indents and tabs in points.
class TKyParaAttributes {
public:
    explicit TKyParaAttributes(TKyCustomRichEdit& edit) : edit_(edit) {}

    TAlignment Alignment();
    void SetAlignment(TAlignment alignment);
    TNumberingStyle Numbering();
    void SetNumbering(TNumberingStyle numbering);
    int FirstIndent();
    void SetFirstIndent(int points);
    int LeftIndent();
    void SetLeftIndent(int points);
    int RightIndent();
    void SetRightIndent(int points);
    int TabCount();
    int Tab(int index);
    // Raises the tab count to at least index + 1.
    void SetTab(int index, int points);
    void Assign(TKyParaAttributes& other);

private:
    PARAFORMAT2 Get();
    void Set(PARAFORMAT2& format);
    TKyCustomRichEdit& edit_;
};

class TKyCustomRichEdit : public TWinControl {
public:
    explicit TKyCustomRichEdit(TComponent* owner);
    ~TKyCustomRichEdit() override;

    TRichEditStrings& Lines() { return lines_; }
    TKyTextAttributes& DefAttributes() { return defAttributes_; }
    TKyTextAttributes& SelAttributes() { return selAttributes_; }
    TKyTextAttributes& WordAttributes() { return wordAttributes_; }
    TKyParaAttributes& Paragraph() { return paragraph_; }

    // The whole text, paragraphs ended by CR LF.
    std::wstring Text();
    void SetText(const std::wstring& text);
    // Closes every embedded object and empties the text; not modified.
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
    bool SelectionBar() const { return selectionBar_; }
    void SetSelectionBar(bool on);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle bars);
    bool AllowObjects() const { return allowObjects_; }
    void SetAllowObjects(bool allow);
    bool AllowInPlace = true;
    bool AutoVerbMenu = true;
    bool AutoURLDetect() const { return autoURLDetect_; }
    void SetAutoURLDetect(bool detect);
    bool WordSelection() const { return wordSelection_; }
    void SetWordSelection(bool on);
    TRichLangOptions LangOptions() const { return langOptions_; }
    void SetLangOptions(TRichLangOptions options);
    // The host name embedded objects show.
    std::wstring Title;
    int UndoLimit() const { return undoLimit_; }
    void SetUndoLimit(int limit);
    // 0 means 0xFFFFFF characters.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
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

    // Prints the whole text on the default printer under that document title.
    virtual void Print(const std::wstring& caption);
    // Formats the text page by page onto a device context (the printer's, or
    // any other for a preview); rendering off only measures. Returns the pages.
    int FormatPages(HDC dc, const std::wstring& caption, bool render);
    // The part of the page printed on, in the printer's pixels; empty: all.
    RECT PageRect{};

    // The class of the conversion a streamed load or save makes when the
    // lines have none of their own.
    const TConversionClass& DefaultConverter() const { return defaultConverter_; }
    void SetDefaultConverter(TConversionClass converter) { defaultConverter_ = std::move(converter); }

    // The size question during a file load (default: a message box, Yes/No)
    // and the notice after the user stopped it (default: an information box).
    std::function<bool(const std::wstring& question)> OnLoadQuestion;
    std::function<void(const std::wstring& text)> OnLoadStopped;
    // The clock of the size warning, in milliseconds.
    std::function<uint64_t()> TickCount;

    // The last load was a rich text nested deeper than the control can take
    // (kRichEditMaxGroupDepth): its source came in as plain text instead.
    bool NestedTooDeep() const { return nestedTooDeep_; }

    // A click on a web link: pressed and released with the same button on it.
    std::function<void(TComponent* Sender, const std::wstring& URLText, TMouseButton Button)> OnURLClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;
    std::function<void(TComponent* Sender, int StartPos, int EndPos, bool& AllowChange)> OnProtectChange;
    std::function<void(TComponent* Sender, UINT Message, int StartPos, int EndPos, bool& AllowChange)>
        OnProtectChangeEx;
    std::function<void(TComponent* Sender, const RECT& Rect)> OnResizeRequest;
    std::function<void(TComponent* Sender, int NumObjects, int NumChars, bool& SaveClipboard)> OnSaveClipboard;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    void FontChanged() override;
    virtual void RequestSize(const RECT& rect);

private:
    friend class TRichEditStrings;
    friend class TRichEditOleCallback;

    // One EM_STREAMIN or EM_STREAMOUT through the conversion; returns the
    // control's error code (3: stopped at the size question). An exception of
    // the conversion ends the transfer: a load hands it back in failure, a
    // save passes it on.
    DWORD StreamIn(TStream& stream, TConversion& conversion, unsigned format, bool plain, std::exception_ptr& failure);
    DWORD StreamOut(TStream& stream, TConversion& conversion, unsigned format, bool plain);
    // The size warning's decision before the next block of a load.
    bool GoOnLoading(uint64_t position);
    void HandleLink(UINT mouseMessage, long cpMin, long cpMax);
    bool ShowVerbMenu(POINT screen);
    void ApplyTextMode();

    TRichEditStrings lines_;
    TKyTextAttributes defAttributes_;
    TKyTextAttributes selAttributes_;
    TKyTextAttributes wordAttributes_;
    TKyParaAttributes paragraph_;
    TConversionClass defaultConverter_ = ConversionClass<TConversion>();
    TLoadWarning loadWarning_;
    bool warnOnLoad_ = false;  // only while the lines load a file
    bool nestedTooDeep_ = false;

    bool plainText_ = false;
    bool readOnly_ = false;
    bool wordWrap_ = true;
    bool hideScrollBars_ = true;
    bool hideSelection_ = true;
    bool selectionBar_ = true;
    bool allowObjects_ = true;
    bool autoURLDetect_ = true;
    bool wordSelection_ = true;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    TRichLangOptions langOptions_ = rlAutoFont;
    int undoLimit_ = 100;
    int maxLength_ = 0;
    bool modified_ = false;
    bool internalChange_ = false;
    // The content while the window is re-created.
    TMemoryStream kept_;
    bool keptRich_ = false;
    // Clear re-creates the window instead of keeping its text.
    bool dropTextOnRecreate_ = false;
    // Above this many characters Clear empties the control by a new window.
    static constexpr LONG kClearByNewWindow = 16384;
    // The link a button went down on (-1: none).
    int linkMin_ = -1, linkMax_ = -1;
    UINT linkButton_ = 0;
    std::unique_ptr<TRichEditOleCallback> oleCallback_;
    IRichEditOle* richEditOle_ = nullptr;
};

class TKyRichEdit : public TKyCustomRichEdit {
public:
    using TKyCustomRichEdit::TKyCustomRichEdit;
};

}  // namespace qrv
