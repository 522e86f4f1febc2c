#include "mainwindow/win/ListBackgroundWork.h"

#include "framework/win/ActnList.h"
#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/win/CommandMenus.h"
#include "panels/win/DirView.h"

#include <cwctype>

namespace qrv {

void TListBackgroundWork::Register(TActionCatalogue& Catalogue, TCommandMenus& Menus)
{
    Catalogue.Register(TActionId::ViewDirSize, [this] { ViewDirSizeExecute(); });
    action_ = Menus.Action(TActionId::ViewDirSize);
    if (action_)
        action_->OnUpdate = [this](TComponent*) { action_->SetChecked(shown_); };
}

void TListBackgroundWork::StartPendingListThreads()
{
    for (TDirView* list : {host_.FirstList(), host_.SecondShownList()})
        if (list && list->ScanPending() && !list->AutoStartThreads()) {
            list->SetAutoStartThreads(true);
            list->SetAutoStartThreads(false);
        }
}

void TListBackgroundWork::ViewDirSizeExecute()
{
    shown_ = !shown_;
    if (action_)
        action_->SetChecked(shown_);
    host_.StoredDirSize() = shown_;
    for (TDirView* list : {host_.FirstList(), host_.SecondList()})
        if (list)
            list->SetShowSubDirSize(shown_);
}

void TListBackgroundWork::PauseDirSizeScan(TDirView* Active)
{
    if (!shown_ || !Active)
        return;
    Active->StopSubDirScanner();
    TDirView* other = Active == host_.FirstList() ? host_.SecondList() : host_.FirstList();
    if (other && !other->Path().empty() && !Active->Path().empty() &&
        towupper(other->Path()[0]) == towupper(Active->Path()[0]))
        other->StopSubDirScanner();
}

void TListBackgroundWork::ResumeDirSizeScan(TDirView* Active)
{
    if (!shown_ || !Active)
        return;
    Active->StartSubDirScanner();
    TDirView* other = Active == host_.FirstList() ? host_.SecondShownList() : host_.FirstList();
    if (other)
        other->StartSubDirScanner();
}

void TListBackgroundWork::UpdateDirSizeView(bool Checked)
{
    shown_ = Checked;
    if (action_)
        action_->SetChecked(Checked);
}

}  // namespace qrv
