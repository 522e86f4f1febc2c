#pragma once
// TAction: one command with its caption, shortcut, check and enabled state,
// shared by the menu items and buttons linked to it, which follow every
// change. TActionList holds a form's actions: an enabled action's shortcut
// is handled before the focused control sees the key.

#include "framework/Component.h"
#include "framework/ShortCuts.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TActionList;
class TControl;
class TMenuItem;

class TAction : public TComponent {
public:
    // Owner frees the action; List (may be nullptr) holds it for shortcuts
    // and updates.
    TAction(TComponent* owner, TActionList* list);
    ~TAction() override;

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint);

    // Runs OnExecute when the action is enabled; true when it ran.
    bool Execute();
    // Runs OnUpdate, which sets the states from the program's state.
    void Update();

    // The item takes the action's caption, shortcut, states and hint, and
    // its click executes the action.
    void Link(TMenuItem* item);
    // The control takes the states and hint; its click executes the action.
    void Link(TControl* control);
    // Any other client: called now and after every change.
    void AddClient(std::function<void(const TAction&)> sync);
    // Expires when the action is freed: a client that may outlive it asks first.
    std::weak_ptr<const bool> Lifetime() const { return alive_; }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

private:
    friend class TActionList;
    void Changed();

    TActionList* list_;
    std::wstring caption_;
    TShortCut shortCut_ = scNone;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    std::wstring hint_;
    std::vector<std::function<void(const TAction&)>> clients_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner) : TComponent(owner) {}
    // Its actions stay with their owner, no longer in a list.
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TAction* Action(int index) const { return actions_.at(index); }
    // Executes the enabled, visible action with that shortcut; true when one ran.
    bool IsShortCut(TShortCut shortCut);
    // Runs every action's OnUpdate.
    void UpdateActions();

    // The shortcut of a key message to a window of the form that owns
    // action lists: handled when an action took it.
    static bool HandleShortCut(const TComponent& form, TShortCut shortCut);

private:
    friend class TAction;
    std::vector<TAction*> actions_;
};

}  // namespace qrv
