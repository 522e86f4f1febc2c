// TQRVMain: the window's side of drag and drop between the panes.

#include "mainwindow/win/RudirezOziMain.h"

#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/HexEditor.h"

namespace qrv {

void TQRVMain::ConnectPaneDrops()
{
    paneDrops_ = std::make_unique<TPaneDrops>(Panes(), Services(), static_cast<TPaneDropsHost&>(*this));
    std::vector<TDirView*> lists;
    for (TDirView* list : {LV1, LV2})
        if (list)
            lists.push_back(list);
    if (TreeView1)
        paneDrops_->Attach(*TreeView1, lists);
}

const TOptions& TQRVMain::DropOptions()
{
    return Options;
}

bool TQRVMain::MainWindowActive()
{
    return HandleAllocated() && GetActiveWindow() == Handle();
}

void TQRVMain::BringMainWindowToFront()
{
    if (HandleAllocated())
        SetForegroundWindow(Handle());
}

void TQRVMain::ReleaseHexFile()
{
    // The hex view holds its file open: a drop may need to replace it.
    if (fileDisplay_ && HexEditor1 && fileDisplay_->VisiblePane() == static_cast<TWinControl*>(HexEditor1))
        hexReleased_ = fileDisplay_->ClearDisplay() || hexReleased_;
}

void TQRVMain::RedisplayHexFile()
{
    if (!hexReleased_)
        return;
    hexReleased_ = false;
    DisplayFocusedFile();
}

void TQRVMain::SetLastFileOperator(TFileOperator* Operator)
{
    if (fileCommands_)
        fileCommands_->SetLastFileOperator(Operator);
}

}  // namespace qrv
