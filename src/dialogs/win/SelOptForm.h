#pragma once
// TSelOptForm ("Verzeichnisvergleich"): the options of the directory
// comparison — the criteria, what is selected, the compare directory. Which
// controls go together is TSelOptLogic's (dialogs/SelOptRules.h); the
// form shows its state after every click.

#include "dialogs/SelOptRules.h"
#include "framework/win/Forms.h"
#include "widgets/win/ToolEdit.h"

#include <string>

namespace qrv {

class TButton;
class TCheckBox;
class TEdit;
class TLabel;
class TRadioButton;

class TSelOptForm : public TForm {
public:
    TSelOptForm(TComponent* owner, const TDirCompareOptions& Start);

    TCheckBox* chkName = nullptr;
    TCheckBox* chkSize = nullptr;
    TCheckBox* chkContent = nullptr;
    TRadioButton* rbSelectEqual = nullptr;
    TRadioButton* rbSelectDifferent = nullptr;
    TRadioButton* rbSelectOlder = nullptr;
    TRadioButton* rbSelectNewer = nullptr;
    TRadioButton* rbSelectMissing = nullptr;
    TCheckBox* chkDuplicates = nullptr;
    TEdit* edDir1 = nullptr;
    TDirectoryEdit* edDir2 = nullptr;
    TCheckBox* chkSubDirs = nullptr;
    TLabel* lblDir1Pane = nullptr;
    TLabel* lblDir2Pane = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;

    // The active list's directory (shortened to the field), the compare
    // directory, and the words of the two lists ("Linke" ...).
    void SetDirectories(const std::wstring& First, const std::wstring& Compare, const std::wstring& FirstWord,
                        const std::wstring& CompareWord);
    // The focused list's path: a compare directory equal to it is refused.
    std::wstring FocusedListPath;

    // Shows the form; true when it was closed with an accepted OK.
    bool Execute();
    bool Accepted() const { return accepted_; }
    // The chosen options, the subfolders' check included.
    TDirCompareOptions Options();
    std::wstring CompareDir();
    // The enabling logic after a click (also what a test drives).
    void ControlClicked(TSelOptControl Control);

protected:
    std::wstring WindowClassName() const override { return L"TSelOptForm"; }
    void DoShow() override;

private:
    void ShowState();
    void OkClicked();
    TSelOptLogic logic_;
    bool accepted_ = false;
};

}  // namespace qrv
