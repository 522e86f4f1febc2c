#pragma once
// TFormDriveOverView ("Laufwerksübersicht"): the ready drives with their
// file systems, serial numbers and sizes, and a bold "Gesamt:" row. Filled
// when shown, by "&Aktualisieren", by a click on "&Entnehmbare Medien
// anzeigen" and by Refill (the window calls it when drives come and go).
// The rows are dialogs/DriveOverviewRows.h's; the facts come from the drive
// table, or from FactsSource where a test gives its own.

#include "dialogs/DriveOverviewRows.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <functional>
#include <memory>
#include <vector>

namespace qrv {

class TButton;
class TCheckBox;

// The overview's list: the system's small icons, and the totals row bold.
class TDriveOverviewList : public TListView {
public:
    using TListView::TListView;
    int TotalRow = -1;

protected:
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) override;

private:
    TGdiObject bold_;
    TSelectionKeeper keeper_;
};

class TFormDriveOverView : public TForm {
public:
    explicit TFormDriveOverView(TComponent* owner);
    ~TFormDriveOverView() override;

    TDriveOverviewList* DriveList = nullptr;
    TCheckBox* chkRemovable = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnRefresh = nullptr;
    TButton* btnHelp = nullptr;

    // The facts of the drives to list (ShowRemovable: the check box); by
    // default the drive table's, refreshed first.
    std::function<std::vector<TDriveFacts>(bool ShowRemovable)> FactsSource;

    void Refill();
    // Enter and Esc close the form as "&OK" does.
    bool DialogKey(WORD Key) override;
    // The rows shown, the totals row last.
    const std::vector<TDriveOverviewRow>& Rows() const { return rows_; }

protected:
    std::wstring WindowClassName() const override { return L"TFormDriveOverView"; }
    void DoShow() override;
    void WndProc(TMessage& message) override;

private:
    void FitColumns();
    void PlaceButtons();
    std::vector<TDriveOverviewRow> rows_;
};

// The drive table's facts of every drive the overview lists, each drive's
// record refreshed first; drives that are not ready are left out.
std::vector<TDriveFacts> SystemDriveFacts(bool ShowRemovable);

// The user's separators for numbers.
TNumberFormat UserNumberFormat();

}  // namespace qrv
