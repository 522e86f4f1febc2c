#pragma once
// TEasyEdit: the display pane's text editor. It shows the lines of its edit
// source (its own, or an external one attached to it) and hands the user's
// changes back to the source. For now the text is shown and edited in the
// system's multi-line edit control; the editor's own painting, parser,
// ruler and find dialogs come later.

#include "editor/EasyEditSource.h"
#include "framework/win/Controls.h"

#include <functional>
#include <string>

namespace qrv {

enum class TEasyBlockSelMode { bsStream, bsBlock, bsNone, bsBoth };

// Ruler options, a set of bits.
enum TEasyEditorRulerOption : unsigned { roVertRuler = 1, roHorzRuler = 2 };

// Editor options, a set of bits in this order.
enum TEasyEditorOption : uint32_t {
    eoPaintGutter = 1u << 0, eoPaintMargin = 1u << 1, eoPaintWrapBookmark = 1u << 2,
    eoPersistentBlocks = 1u << 3, eoOverwriteBlocks = 1u << 4, eoEnableDragging = 1u << 5,
    eoEnableSearchHighlight = 1u << 6, eoEnableSelection = 1u << 7, eoSelectBeyondEol = 1u << 8,
    eoColorSelection = 1u << 9, eoWordSelection = 1u << 10, eoSelectFoundText = 1u << 11,
    eoDblClickLine = 1u << 12, eoForceCutCopy = 1u << 13, eoLineStyleBeyondEol = 1u << 14,
    eoInvertLineStyle = 1u << 15, eoUseReadOnlyColor = 1u << 16, eoUseDisabledColor = 1u << 17,
    eoThumbTracking = 1u << 18, eoOverwriteCaret = 1u << 19, eoBreakWordsAtMargin = 1u << 20,
    eoMoveOnRightClick = 1u << 21, eoKeepColumn = 1u << 22, eoCenterOnBookmark = 1u << 23,
    eoShowScrollHint = 1u << 24, eoFindTextAtCursor = 1u << 25, eoCollapseButtonOnGutter = 1u << 26,
    eoHighlightBrackets = 1u << 27, eoReduceBlockSel = 1u << 28, eoEnTabBlock = 1u << 29,
    eoPaintFormattingMarks = 1u << 30,
};
using TEasyEditorOptions = uint32_t;
constexpr TEasyEditorOptions DefaultEasyEditorOptions = 0xE1F3;

class TForm;

class TCustomEasyEdit : public TWinControl {
public:
    explicit TCustomEasyEdit(TComponent* owner);
    ~TCustomEasyEdit() override;

    // The source in use: the attached one, else the editor's own.
    TCustomEasyEditSource* GetEditSource() const;
    TCustomEasyEditSource* EditSource() const { return external_; }
    // nullptr returns to the editor's own source.
    void SetEditSource(TCustomEasyEditSource* source);

    TEasyStrings& Lines() { return GetEditSource()->Strings(); }
    TEasyLineBreak LineBreak() const { return GetEditSource()->Strings().LineBreak(); }
    void SetLineBreak(TEasyLineBreak lineBreak) { GetEditSource()->Strings().SetLineBreak(lineBreak); }
    bool GetReadOnly() const { return GetEditSource()->ReadOnly(); }
    void SetReadOnly(bool readOnly) { GetEditSource()->SetReadOnly(readOnly); }
    bool GetModified() const { return GetEditSource()->Modified(); }
    void SetModified(bool modified) { GetEditSource()->SetModified(modified); }

    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool want) { wantTabs_ = want; }
    TEasyBlockSelMode BlockSelMode() const { return blockSelMode_; }
    void SetBlockSelMode(TEasyBlockSelMode mode) { blockSelMode_ = mode; }
    TEasyEditorOptions Options() const { return options_; }
    void SetOptions(TEasyEditorOptions options) { options_ = options; }
    unsigned RulerOptions() const { return rulerOptions_; }
    void SetRulerOptions(unsigned options) { rulerOptions_ = options; }

    // The caret: column and line from 0.
    int CaretX();
    int CaretY();
    void SetCaretPos(int x, int y);
    // The selected text and its length (characters; above 0 enables copying).
    int GetSelLength();
    std::wstring SelText();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo();

    // A find or replace form was created (the host relabels it).
    std::function<void(TComponent* Sender, int Code, TForm* Form)> OnAfterCreateDialog;
    // While the thumb is dragged: the hint text for the top line.
    std::function<void(TComponent* Sender, int Line, int Page, std::wstring& Hint)> OnScrollHint;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    void Attach(TCustomEasyEditSource* source);
    void Detach(TCustomEasyEditSource* source);
    void SourceChanged(TEasyEditSourceStates states);
    // Shows the source's lines in the window.
    void ShowLines();
    // Moves the caret of the window to the source's caret.
    void ShowCaret();
    void ApplyReadOnly();

    TEasyEditSource* own_;
    TCustomEasyEditSource* external_ = nullptr;
    bool wordWrap_ = false;
    bool wantTabs_ = true;
    TEasyBlockSelMode blockSelMode_ = TEasyBlockSelMode::bsBoth;
    TEasyEditorOptions options_ = DefaultEasyEditorOptions;
    unsigned rulerOptions_ = 0;
    bool showing_ = false;  // while the window is given the lines
};

class TEasyEdit : public TCustomEasyEdit {
public:
    using TCustomEasyEdit::TCustomEasyEdit;
};

}  // namespace qrv
