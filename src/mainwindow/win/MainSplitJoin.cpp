// The main window's side of the split and join commands: their actions and
// what the commands ask of the window.

#include "mainwindow/win/RudirezOziMain.h"

#include "dialogs/win/SplitFileDialogs.h"
#include "mainwindow/win/WinSplitFiles.h"
#include "panels/win/DirView.h"

namespace qrv {

void TQRVMain::ConnectSplitJoinCommands()
{
    splitFiles_ = std::make_unique<TWinSplitFiles>();
    splitJoin_ =
        std::make_unique<TSplitJoinCommands>(Services(), static_cast<TSplitJoinCommandsHost&>(*this), *splitFiles_);
    TSplitJoinCommands& commands = *splitJoin_;
    catalogue_.Register(TActionId::SplitFile, [&commands] { commands.SplitFileExecute(); });
    catalogue_.Register(TActionId::CombineFile, [&commands] { commands.CombineFileExecute(); });
}

// Also the target of the message a ".split" file on the command line posts:
// the file is the list's selection by then.
void TQRVMain::CombineFileExecute()
{
    if (splitJoin_)
        splitJoin_->CombineFileExecute();
}

void TQRVMain::PauseListWatching()
{
    pausedList_ = ActiveList && ActiveList->WatchThreadActive() ? ActiveList : nullptr;
    if (pausedList_)
        pausedList_->StopWatchThread();
}

void TQRVMain::ResumeListWatching()
{
    TDirView* list = pausedList_;
    pausedList_ = nullptr;
    // The parts made meanwhile were not seen: the folder is read again.
    if (!list || Terminating() || (list != LV1 && list != LV2))
        return;
    list->ReloadDirectory();
    list->StartWatchThread();
}

bool TQRVMain::ExecuteSplitDialog(TSplitFileDialog& Form)
{
    return Form.Execute();
}

bool TQRVMain::ExecuteCombineDialog(TCombineFileDialog& Form)
{
    return Form.Execute();
}

}  // namespace qrv
