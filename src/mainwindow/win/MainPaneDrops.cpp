// TQRVMain: the window's side of drag and drop between the panes.

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/HexEditor.h"

namespace qrv {

void TQRVMain::ConnectPaneDrops()
{
    paneDrops_ = std::make_unique<TPaneDrops>(static_cast<TPaneDropsHost&>(*this));
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

int TQRVMain::ShowDropMessage(const std::wstring& Text, TMsgDlgType Kind, int HelpContext, TMsgDlgButtons Buttons)
{
    return ShowMessageBox(Text, Kind, HelpContext, Buttons);
}

void TQRVMain::ReleaseHexFile()
{
    // The hex view and the archive list hold their file open: a drop or a
    // rename may need to replace it.
    const TWinControl* pane = fileDisplay_ ? fileDisplay_->VisiblePane() : nullptr;
    if (pane && (pane == static_cast<TWinControl*>(HexEditor1) || pane == static_cast<TWinControl*>(ZipLV)))
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

TDirView* TQRVMain::SecondShownList(TDirView* List)
{
    if (!FilePanel2 || !FilePanel2->Visible())
        return nullptr;
    return List == LV2 ? LV1 : LV2;
}

}  // namespace qrv
