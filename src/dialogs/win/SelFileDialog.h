#pragma once
// TSelFileDialog ("Dateien markieren:", "Dateifilter bearbeiten:" ...): the
// criteria of a file filter — a named filter or typed masks, three-state
// attribute boxes, a date window or a number of days, a size window and
// whether both file windows take the filter. What the controls hold, what OK
// checks and what "Standard" resets are the portable TSelFileFields
// (dialogs/SelFileFields.h); the form copies them into and out of its
// controls.

#include "dialogs/SelFileFields.h"
#include "framework/win/Forms.h"

#include <functional>
#include <string>

namespace qrv {

class TButton;
class TCheckBox;
class TComboBox;
class TDateTimePicker;
class TEdit;
class TGroupBox;
class TKySpinEdit;
class TLabel;
class TRadioButton;

class TSelFileDialog : public TForm {
public:
    // Context must outlive the form (its filter list is read again after
    // "&>>").
    TSelFileDialog(TComponent* owner, const TSelFileContext& Context);

    TRadioButton* rbStdFileFilter = nullptr;
    TComboBox* StdFileFilter = nullptr;
    TButton* btnEditStdFilter = nullptr;
    TRadioButton* rbManFilter = nullptr;
    TComboBox* edManFilter = nullptr;
    TGroupBox* grpAttributes = nullptr;
    TCheckBox* chkReadOnly = nullptr;
    TCheckBox* chkHidden = nullptr;
    TCheckBox* chkSysFile = nullptr;
    TCheckBox* chkArchive = nullptr;
    TCheckBox* chkEncrypted = nullptr;
    TCheckBox* chkCompressed = nullptr;
    TRadioButton* rbSelDateFromTo = nullptr;
    TDateTimePicker* DateFrom = nullptr;
    TDateTimePicker* DateTo = nullptr;
    TRadioButton* rbSelDateSince = nullptr;
    TKySpinEdit* DaysCount = nullptr;
    TEdit* FromSize = nullptr;
    TEdit* ToSize = nullptr;
    TCheckBox* chkBothFileWin = nullptr;
    TButton* btnReset = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
    TButton* btnHelp = nullptr;

    // Fills the controls; the pickers' "Standard" dates are those the
    // unfiltered window has.
    void SetFields(const TSelFileFields& Fields);
    // What the controls hold now.
    TSelFileFields Fields();
    // Hides the attribute boxes and the both-windows box (the archive filter).
    void SetShowAttributes(bool Show);

    // "&>>": edits the named filter list (the options dialog on its filter
    // page); the names are read again afterwards.
    std::function<void()> EditNamedFilters;
    // How OK's refusals are shown; the system's error box when empty.
    std::function<void(const std::wstring& Text)> ReportError;

    // Shows the form; true when OK passed its checks.
    bool Execute();
    bool Accepted() const { return accepted_; }
    // The buttons' work, also what a test drives.
    void OkClicked();
    void ResetClicked();
    void EditStdFilterClicked();

protected:
    std::wstring WindowClassName() const override { return L"TSelFileDialog"; }
    void DoShow() override;

private:
    void FillFilterNames(int Chosen);
    void UpdateFilterHint();
    void ManualTextChanged();
    void SizeFieldLeft(TEdit& Field, bool IsToField);

    const TSelFileContext& context_;
    TSelFileFields shown_;  // the fields as last set, for what the controls do not hold
    bool accepted_ = false;
    bool quiet_ = false;  // no reactions while the form fills its own controls
};

}  // namespace qrv
