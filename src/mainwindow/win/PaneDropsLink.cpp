#include "mainwindow/win/PaneDropsLink.h"

#include "mainwindow/win/FileCommands.h"
#include "mainwindow/win/FileDisplay.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/HexEditor.h"

namespace qrv {

TPaneDropsLink::TPaneDropsLink(const TMainPanes& Panes, TMainWindowServices& Services, TFileDisplay& Display,
                               TFileCommands& FileCommands)
    : panes_(Panes), services_(Services), display_(Display), fileCommands_(FileCommands), drops_(Panes, Services, *this)
{
    std::vector<TDirView*> lists;
    for (TDirView* list : {panes_.LV1, panes_.LV2})
        if (list)
            lists.push_back(list);
    if (panes_.TreeView1)
        drops_.Attach(*panes_.TreeView1, lists);
}

const TOptions& TPaneDropsLink::DropOptions()
{
    return Options;
}

bool TPaneDropsLink::MainWindowActive()
{
    TForm* window = services_.Window();
    return window && window->HandleAllocated() && GetActiveWindow() == window->Handle();
}

void TPaneDropsLink::BringMainWindowToFront()
{
    if (TForm* window = services_.Window(); window && window->HandleAllocated())
        SetForegroundWindow(window->Handle());
}

void TPaneDropsLink::ReleaseHexFile()
{
    // The hex view holds its file open: a drop may need to replace it.
    if (panes_.HexEditor1 && display_.VisiblePane() == static_cast<TWinControl*>(panes_.HexEditor1))
        hexReleased_ = display_.ClearDisplay() || hexReleased_;
}

void TPaneDropsLink::RedisplayHexFile()
{
    if (!hexReleased_)
        return;
    hexReleased_ = false;
    display_.RedisplayFocused();
}

void TPaneDropsLink::SetLastFileOperator(TFileOperator* Operator)
{
    fileCommands_.SetLastFileOperator(Operator);
}

}  // namespace qrv
