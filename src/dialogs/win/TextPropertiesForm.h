#pragma once
// TTextPropertiesForm ("Eigenschaften"): the text editor's settings. The
// window fills it from a value record and reads the record back only after
// OK, so Cancel changes nothing. The syntax and bracket highlighting boxes
// exist but stay hidden: this editor has neither.

#include "dialogs/TextPropertiesValues.h"
#include "framework/win/Forms.h"

#include <functional>
#include <vector>

namespace qrv {

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;

class TTextPropertiesForm : public TForm {
public:
    TTextPropertiesForm(TComponent* owner, const TTextPropertiesValues& Values);

    TComboBox* cbKeyMapping = nullptr;
    TEdit* edTabStops = nullptr;
    TCheckBox* chkWantTabs = nullptr;
    TCheckBox* chkBAKFiles = nullptr;
    TCheckBox* chkSyntaxHighlight = nullptr;
    TCheckBox* chkHighlightBrackets = nullptr;
    std::vector<TCheckBox*> chkSwitches;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
    TButton* btnHelp = nullptr;

    // Asked on "&OK" with the values shown; false keeps the form open (the
    // window has told the user what is wrong, a tab stop list it refuses).
    std::function<bool(const TTextPropertiesValues& Values)> CanAccept;
    // Shows the form modally; true when closed with OK.
    bool Execute();
    // What the controls hold now.
    TTextPropertiesValues Values();

protected:
    std::wstring WindowClassName() const override { return L"TTextPropertiesForm"; }

private:
    TTextPropertiesValues start_;
};

}  // namespace qrv
