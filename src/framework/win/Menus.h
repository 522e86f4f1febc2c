#pragma once
// Menus: TMenuItem trees in a TMainMenu (the form's menu bar) with captions,
// shortcuts, check marks and OnClick.

#include "framework/Component.h"
#include "framework/ShortCuts.h"
#include "framework/win/WinApi.h"

#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TMenu;
class TForm;

// The shortcut of a key pressed now, with the modifier keys held down.
TShortCut ShortCutFromKey(WORD virtualKey);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;  // frees the sub-items and leaves its parent item

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
    // The item shown bold that a double click stands for (a tray icon's).
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    // The item starts a new column of its menu (with a line before it).
    bool BarBreak() const { return barBreak_; }
    void SetBarBreak(bool barBreak);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool radioItem);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(std::wstring hint) { hint_ = std::move(hint); }
    // A caption of "-" makes the item a separator line.
    bool IsLine() const { return caption_ == L"-"; }
    // A picture beside the caption (13 to 16 pixels square). The item does
    // not own it: the caller keeps it alive while the item shows it.
    HBITMAP Bitmap() const { return bitmap_; }
    void SetBitmap(HBITMAP bitmap);

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(index); }
    TMenuItem* Parent() const { return parent_; }
    int IndexOf(const TMenuItem* item) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    // Frees all sub-items.
    void Clear();

    // Runs OnClick (for an item with sub-items: when its menu opens).
    virtual void Click();
    TNotifyEvent OnClick;

    UINT Command() const { return command_; }

private:
    friend class TMenu;
    TMenu* RootMenu() const;
    void StructureChanged();
    void StateChanged();

    std::wstring caption_;
    std::wstring hint_;
    HBITMAP bitmap_ = nullptr;
    TShortCut shortCut_ = scNone;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool radioItem_ = false;
    bool barBreak_ = false;
    bool default_ = false;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on a menu's root item
    UINT command_;
    HMENU subMenu_ = nullptr;  // while the menu is built
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const { return items_.get(); }
    HMENU Handle();

    // Runs the item of a WM_COMMAND menu id; false when it is none of ours.
    bool DispatchCommand(UINT command);
    // Runs OnClick of the item whose sub-menu is about to open.
    bool DispatchPopup(HMENU menu);
    // Runs the enabled, visible item with this shortcut; false when there is none.
    bool IsShortCut(TShortCut shortCut);
    TMenuItem* FindItem(UINT command) const;

protected:
    virtual HMENU CreateMenuHandle() = 0;
    virtual void MenuRebuilt() {}

private:
    friend class TMenuItem;
    void Rebuild();
    // An item added at the end of a menu already made goes into it, so that
    // a menu can be filled while it opens; false when it must be rebuilt.
    bool AppendItem(TMenuItem* item);
    void UpdateItemState(TMenuItem* item);
    void Fill(HMENU menu, TMenuItem* parent);
    void AppendTo(HMENU menu, TMenuItem* item);

    std::unique_ptr<TMenuItem> items_;
    HMENU handle_ = nullptr;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
    // The form whose menu bar shows this menu (set by TForm::SetMenu).
    void SetWindow(TForm* form) { form_ = form; }

protected:
    HMENU CreateMenuHandle() override { return CreateMenu(); }
    void MenuRebuilt() override;

private:
    TForm* form_ = nullptr;
};

// A menu that pops up where it is asked to (a control's context menu).
class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
    // Shows the menu at X, Y (screen) for the Owner window and runs the
    // item chosen; false when none was.
    bool Popup(int X, int Y, HWND Owner);
    // Before the menu shows: it may still be changed.
    TNotifyEvent OnPopup;

protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
};

}  // namespace qrv
