#pragma once
// The editor's find and replace forms, made in code: the search text (and
// the replacement) in history combo boxes, the options, the direction, the
// scope and the origin, OK, Cancel and Help (and "Replace All"). They read
// the shared search settings when made and write them back on OK. The host
// may relabel them once made (the editor's OnAfterCreateDialog).

#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"

#include <functional>

namespace qrv {

class TEasyHistoryEditor;
class TEasySearchSettings;

// The modal result of "Replace All".
constexpr int kReplaceAllResult = 8;

class TFrmFindDlg : public TForm {
public:
    // Made with its controls; FormCreate has run.
    explicit TFrmFindDlg(TComponent* owner);

    TLabel* lbTextToFind = nullptr;
    TEasyHistoryEditor* cbTextToFind = nullptr;
    TGroupBox* gbOptions = nullptr;
    TCheckBox* cbCaseSensitive = nullptr;
    TCheckBox* cbWholeWord = nullptr;
    TCheckBox* cbRegularExpr = nullptr;
    TGroupBox* gbDirection = nullptr;
    TRadioButton* rbForward = nullptr;
    TRadioButton* rbBackward = nullptr;
    TRadioGroup* rgScope = nullptr;
    TRadioGroup* rgOrigin = nullptr;
    TButton* btOK = nullptr;
    TButton* btCancel = nullptr;
    TButton* btHelp = nullptr;

    // The settings the form shows and changes (the shared ones).
    TEasySearchSettings& Settings() { return settings_; }

    virtual void SettingsToControls();
    virtual void ControlsToSettings();

protected:
    // The class's own controls are placed below `top`; the form is sized.
    TFrmFindDlg(TComponent* owner, bool replace);
    void FormCreate();
    virtual void btOKClick(TButton* pressed);
    void btHelpClick();
    // The text combo boxes take their text into their lists.
    virtual void TakeHistories();
    // Shown: the search text has the focus, its text selected.
    void DoShow() override;
    virtual void ArrangeTabOrder() {}

private:
    void Build(bool replace);
    TEasySearchSettings& settings_;
};

class TFrmReplDlg : public TFrmFindDlg {
public:
    explicit TFrmReplDlg(TComponent* owner);

    TLabel* lbReplaceWith = nullptr;
    TEasyHistoryEditor* cbReplaceWith = nullptr;
    TCheckBox* chbPromptOnReplace = nullptr;
    TButton* btReplaceAll = nullptr;

    void SettingsToControls() override;
    void ControlsToSettings() override;

protected:
    void btOKClick(TButton* pressed) override;
    void TakeHistories() override;
    void ArrangeTabOrder() override;
};

// What the editor makes for a dialog code (26 find, 27 replace, 28 go to
// line): the registered class, or nullptr (no go-to-line form is part of
// the editor). A host may register its own.
using TEasyDialogFactory = std::function<TForm*()>;
void RegisterEasyDialogClass(int code, TEasyDialogFactory factory);
TForm* CreateEasyDialog(int code);

}  // namespace qrv
