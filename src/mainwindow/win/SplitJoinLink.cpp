#include "mainwindow/win/SplitJoinLink.h"

#include "dialogs/win/SplitFileDialogs.h"
#include "mainwindow/win/PaneItems.h"
#include "panels/win/DirView.h"

namespace qrv {

TSplitJoinLink::TSplitJoinLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue)
    : panes_(Panes), services_(Services), commands_(Services, *this, files_)
{
    Catalogue.Register(TActionId::SplitFile, [this] { commands_.SplitFileExecute(); });
    Catalogue.Register(TActionId::CombineFile, [this] { commands_.CombineFileExecute(); });
}

std::vector<TCommandItem> TSplitJoinLink::ActiveSelection()
{
    return SelectedItems(panes_.ActiveList);
}

std::wstring TSplitJoinLink::ActiveListFolder()
{
    return panes_.ActiveList ? panes_.ActiveList->GetPath() : std::wstring();
}

void TSplitJoinLink::PauseListWatching()
{
    TDirView* active = panes_.ActiveList;
    pausedList_ = active && active->WatchThreadActive() ? active : nullptr;
    if (pausedList_)
        pausedList_->StopWatchThread();
}

void TSplitJoinLink::ResumeListWatching()
{
    TDirView* list = pausedList_;
    pausedList_ = nullptr;
    // The parts made meanwhile were not seen: the folder is read again.
    if (!list || services_.Terminating() || (list != panes_.LV1 && list != panes_.LV2))
        return;
    list->ReloadDirectory();
    list->StartWatchThread();
}

bool TSplitJoinLink::ExecuteSplitDialog(TSplitFileDialog& Form)
{
    return Form.Execute();
}

bool TSplitJoinLink::ExecuteCombineDialog(TCombineFileDialog& Form)
{
    return Form.Execute();
}

}  // namespace qrv
