#pragma once
// TEasyEdit: the display pane's text editor. It shows the lines of its edit
// source (its own, or an external one attached to it) and hands the user's
// changes back to the source. For now the text is shown and edited in the
// system's multi-line edit control; the editor's own painting, parser,
// ruler and find dialogs come later.

#include "editor/EasyEditSource.h"
#include "editor/EasyEditorOptions.h"
#include "editor/EasyEditorSubObjects.h"
#include "framework/win/Controls.h"

#include <functional>
#include <string>

namespace qrv {

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
    // Which rulers are shown, and their units.
    TEasyEditorRuler& Ruler() { return ruler_; }
    unsigned RulerOptions() const { return ruler_.Options(); }
    void SetRulerOptions(unsigned options) { ruler_.SetOptions(options); }

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
    TEasyEditorRuler ruler_;
    bool showing_ = false;  // while the window is given the lines
};

class TEasyEdit : public TCustomEasyEdit {
public:
    using TCustomEasyEdit::TCustomEasyEdit;
};

}  // namespace qrv
