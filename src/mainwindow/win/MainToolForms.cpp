// The main window's side of the directory search, the verification, the
// drive overview and the text properties: their actions (TToolFormsLink
// does the rest).

#include "mainwindow/win/RudirezOziMain.h"

#include "mainwindow/win/DriveBar.h"
#include "mainwindow/win/ToolFormsLink.h"

namespace qrv {

void TQRVMain::ConnectToolForms()
{
    toolForms_ = std::make_unique<TToolFormsLink>(*this);
    TToolFormsLink& forms = *toolForms_;
    catalogue_.Register(TActionId::FindDlg, [&forms] { forms.DirSearch().DirSearchExecute(); });
    catalogue_.Register(TActionId::FileVerify, [&forms] { forms.FileVerify().FileVerifyExecute(); });
    catalogue_.Register(TActionId::DriveOverview, [&forms] { forms.DriveOverviewExecute(); });
    catalogue_.Register(TActionId::TextProperties, [&forms] { forms.TextPropertiesExecute(); });
    if (driveBar_)
        driveBar_->OnRefillDriveOverview = [&forms] { forms.RefillDriveOverview(); };
}

}  // namespace qrv
