#include "framework/win/ActnList.h"

#include "framework/win/Controls.h"
#include "framework/win/Menus.h"

#include <algorithm>

namespace qrv {

TAction::TAction(TComponent* owner, TActionList* list) : TComponent(owner), list_(list)
{
    if (list_)
        list_->actions_.push_back(this);
}

TAction::~TAction()
{
    if (list_)
        std::erase(list_->actions_, this);
}

void TAction::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
    Changed();
}

void TAction::SetShortCut(TShortCut shortCut)
{
    shortCut_ = shortCut;
    Changed();
}

void TAction::SetChecked(bool checked)
{
    if (checked_ == checked)
        return;
    checked_ = checked;
    Changed();
}

void TAction::SetEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Changed();
}

void TAction::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    Changed();
}

void TAction::SetHint(const std::wstring& hint)
{
    hint_ = hint;
    Changed();
}

bool TAction::Execute()
{
    if (!enabled_ || !OnExecute)
        return false;
    OnExecute(this);
    return true;
}

void TAction::Update()
{
    if (OnUpdate)
        OnUpdate(this);
}

void TAction::Link(TMenuItem* item)
{
    item->OnClick = [this](TComponent*) { Execute(); };
    AddClient([item](const TAction& action) {
        item->SetCaption(action.Caption());
        item->SetShortCut(action.ShortCut());
        item->SetChecked(action.Checked());
        item->SetEnabled(action.Enabled());
        item->SetVisible(action.Visible());
        item->SetHint(action.Hint());
    });
}

void TAction::Link(TControl* control)
{
    control->OnClick = [this](TComponent*) { Execute(); };
    AddClient([control](const TAction& action) {
        control->SetEnabled(action.Enabled());
        control->SetVisible(action.Visible());
        control->SetHint(action.Hint());
    });
}

void TAction::AddClient(std::function<void(const TAction&)> sync)
{
    sync(*this);
    clients_.push_back(std::move(sync));
}

void TAction::Changed()
{
    for (const auto& sync : clients_)
        sync(*this);
}

TActionList::~TActionList()
{
    for (TAction* action : actions_)
        action->list_ = nullptr;
}

bool TActionList::IsShortCut(TShortCut shortCut)
{
    if (shortCut == scNone)
        return false;
    for (TAction* action : actions_)
        if (action->ShortCut() == shortCut && action->Visible() && action->Enabled())
            return action->Execute();
    return false;
}

void TActionList::UpdateActions()
{
    // An update may change the list's actions: walk a copy.
    const std::vector<TAction*> actions = actions_;
    for (TAction* action : actions)
        action->Update();
}

bool TActionList::HandleShortCut(const TComponent& form, TShortCut shortCut)
{
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TActionList*>(form.Components(i)); list && list->IsShortCut(shortCut))
            return true;
    return false;
}

}  // namespace qrv
