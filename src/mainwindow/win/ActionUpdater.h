#pragma once
// TActionUpdater: the one pass that enables and checks the main window's
// actions, menu items and buttons. The window's state comes in as a
// TActionInput through TActionUpdaterHost; the rules (mainwindow/ActionRules)
// give a state per catalogue command, and the pass sets it on the component
// of the command's stored name that the window owns, and on the submenus
// that follow a command. A planned command the window has not built yet
// takes its state as soon as it exists.

#include "mainwindow/ActionRules.h"

#include <string>
#include <vector>

namespace qrv {

class TComponent;

class TActionUpdaterHost {
public:
    virtual ~TActionUpdaterHost() = default;
    // False while the program shuts down or before the window's start-up
    // has finished: the pass then does nothing.
    virtual bool ActionUpdateAllowed() = 0;
    virtual TActionInput ActionInput() = 0;
    // Repaints the lists' sort marks when something asked for it since the
    // last pass.
    virtual void RefreshHeadersWhenAsked() {}
};

class TActionUpdater {
public:
    // Root owns the actions, menu items and buttons by name.
    TActionUpdater(TActionUpdaterHost& Host, TComponent& Root);

    // The pass.
    void UpdateTimerTimer();
    // The states of the last pass.
    const TActionStates& States() const { return states_; }

    // Sets the states on Root's components of the commands' names, the undo word in
    // the captions and hints of FileUndo and btnUndo.
    static void ApplyStates(TComponent& Root, const TActionStates& States);
    // Hides and disables Root's components of those names for good.
    static void HideComponents(TComponent& Root, const std::vector<std::wstring>& Names);

private:
    TActionUpdaterHost& host_;
    TComponent& root_;
    TActionStates states_;
};

}  // namespace qrv
