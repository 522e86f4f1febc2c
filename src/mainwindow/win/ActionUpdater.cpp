#include "mainwindow/win/ActionUpdater.h"

#include "framework/IgnoredError.h"
#include "framework/ShortCuts.h"
#include "framework/win/ActnList.h"
#include "framework/win/Controls.h"
#include "framework/win/Menus.h"

namespace qrv {

namespace {

void ApplyState(TComponent& Component, const TActionState& State)
{
    if (auto* action = dynamic_cast<TAction*>(&Component)) {
        action->SetEnabled(State.Enabled);
        if (State.Checkable)
            action->SetChecked(State.Checked);
    } else if (auto* item = dynamic_cast<TMenuItem*>(&Component)) {
        item->SetEnabled(State.Enabled);
        if (State.Checkable)
            item->SetChecked(State.Checked);
    } else if (auto* control = dynamic_cast<TControl*>(&Component)) {
        control->SetEnabled(State.Enabled);
    }
}

void ApplyUndoWord(TComponent& Root, const std::wstring& Word)
{
    const std::wstring hint = UndoHint(Word);
    if (auto* action = dynamic_cast<TAction*>(Root.FindComponent(L"FileUndo"))) {
        action->SetHint(hint);
        // A linked menu item adds the shortcut's own text after a tab.
        action->SetCaption(action->ShortCut() == ShortCut('Z', scCtrl) ? UndoCaption(Word) : UndoMenuCaption(Word));
    }
    if (auto* button = dynamic_cast<TControl*>(Root.FindComponent(L"btnUndo")))
        button->SetHint(hint);
}

}  // namespace

TActionUpdater::TActionUpdater(TActionUpdaterHost& Host, TComponent& Root) : host_(Host), root_(Root) {}

void TActionUpdater::UpdateTimerTimer()
{
    if (!host_.ActionUpdateAllowed())
        return;
    try {
        states_ = ComputeActionStates(host_.ActionInput());
    } catch (const std::exception&) {
        TraceIgnoredException(L"action states: reading the window's state");
        return;
    }
    ApplyStates(root_, states_);
    try {
        host_.RefreshHeadersWhenAsked();
    } catch (const std::exception&) {
        TraceIgnoredException(L"action states: the lists' sort marks");
    }
}

void TActionUpdater::ApplyStates(TComponent& Root, const TActionStates& States)
{
    for (const auto& [id, state] : States.States) {
        try {
            if (TComponent* component = Root.FindComponent(ActionRow(id).Name))
                ApplyState(*component, state);
        } catch (const std::exception&) {
            TraceIgnoredException(L"action states: applying a state");
        }
    }
    // A submenu that follows a command, in the main menu and in the popups.
    for (const TMenuRow& menu : MenuRows()) {
        if (!menu.Follows)
            continue;
        const auto state = States.States.find(*menu.Follows);
        if (state == States.States.end())
            continue;
        for (const wchar_t* name : {menu.Name, menu.PopupName})
            if (name)
                if (TComponent* component = Root.FindComponent(name))
                    ApplyState(*component, state->second);
    }
    try {
        ApplyUndoWord(Root, States.UndoWord);
    } catch (const std::exception&) {
        TraceIgnoredException(L"action states: the undo captions");
    }
}

void TActionUpdater::HideComponents(TComponent& Root, const std::vector<std::wstring>& Names)
{
    for (const std::wstring& name : Names) {
        TComponent* component = Root.FindComponent(name);
        if (auto* action = dynamic_cast<TAction*>(component)) {
            action->SetVisible(false);
            action->SetEnabled(false);
        } else if (auto* item = dynamic_cast<TMenuItem*>(component)) {
            item->SetVisible(false);
            item->SetEnabled(false);
        } else if (auto* control = dynamic_cast<TControl*>(component)) {
            control->SetVisible(false);
            control->SetEnabled(false);
        }
    }
}

}  // namespace qrv
