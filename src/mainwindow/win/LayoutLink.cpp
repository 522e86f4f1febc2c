#include "mainwindow/win/LayoutLink.h"

#include "framework/win/ActnList.h"
#include "framework/win/WaitCursor.h"
#include "framework/ScopeExit.h"
#include "mainwindow/LayoutRules.h"
#include "mainwindow/win/CommandMenus.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

#include <commctrl.h>

#include <utility>

namespace qrv {

TLayoutLink::TLayoutLink(const TLayoutControls& Controls, const TMainPanes& Panes, TMainWindowServices& Services,
                         TActionCatalogue& Catalogue, TCommandMenus& Menus, TOptions& Options, TLayoutWindow Window)
    : panes_(Panes), window_(std::move(Window)), commands_(Controls, Panes, Services, *this, Options)
{
    RegisterActions(Catalogue, Menus);
}

void TLayoutLink::RegisterActions(TActionCatalogue& Catalogue, TCommandMenus& Menus)
{
    auto on = [&](TActionId Id, std::function<void()> Execute, std::function<void(TAction&)> Update) {
        Catalogue.Register(Id, std::move(Execute));
        if (TAction* action = Menus.Action(Id))
            action->OnUpdate = [action, update = std::move(Update)](TComponent*) { update(*action); };
    };
    TLayoutCommands& layout = commands_;
    on(
        TActionId::SecondFileWin, [&layout] { layout.SecondFileWinExecute(); },
        [&layout](TAction& a) { a.SetChecked(layout.SecondWindowShown()); });
    on(
        TActionId::SwapWindows, [&layout] { layout.SwapWindowsExecute(); },
        [&layout](TAction& a) { a.SetEnabled(layout.CanSwap()); });
    on(
        TActionId::EqualizeWindows, [&layout] { layout.EqualizeWindowsExecute(); },
        [&layout](TAction& a) { a.SetEnabled(layout.SecondWindowShown()); });
    on(
        TActionId::ViewExplorer, [&layout] { layout.ApplyPreset(TPresetView::Explorer); }, [](TAction&) {});
    on(
        TActionId::ViewCommander, [&layout] { layout.ApplyPreset(TPresetView::Commander); }, [](TAction&) {});
    on(
        TActionId::ViewStandard, [&layout] { layout.ApplyPreset(TPresetView::Standard); }, [](TAction&) {});
    on(
        TActionId::ShowViewMan, [&layout] { layout.ShowViewManExecute(); }, [](TAction&) {});
    for (int level = 1; level <= kExpandLevels; ++level) {
        const auto id = static_cast<TActionId>(static_cast<int>(TActionId::ExpandLevel1) + level - 1);
        on(
            id, [this, level] { ExpandLevel(level); },
            [this, level](TAction& a) {
                TTreeNode* node = panes_.TreeView1 ? panes_.TreeView1->Selected() : nullptr;
                a.SetEnabled(ExpandLevelEnabled(node != nullptr, node && node->HasChildren() != TNodeButton::None,
                                                node ? node->Level() : 0, level));
            });
    }
}

void TLayoutLink::ExpandLevel(int Level)
{
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    if (!node || !tree->HandleAllocated()) {
        MessageBeep(MB_OK);
        return;
    }
    // The subtree is drawn once at the end, with the node on top.
    const TWaitCursor wait;
    {
        tree->LockUpdate();
        const ScopeExit unlock([tree] { tree->UnlockUpdate(); });
        tree->ExpandLevel(node, Level);
    }
    TreeView_Select(tree->Handle(), node->ItemId(), TVGN_FIRSTVISIBLE);
}

}  // namespace qrv
