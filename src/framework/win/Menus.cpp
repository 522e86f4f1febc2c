#include "framework/win/Menus.h"

#include "framework/win/Forms.h"

#include <algorithm>
#include <atomic>

namespace qrv {

namespace {
// Menu command ids; 0 and the system's ids above 0xF000 are never used.
UINT NextCommand()
{
    static std::atomic<UINT> next{100};
    UINT id = next++;
    if (id >= 0xF000) {
        next = 100;
        id = next++;
    }
    return id;
}

std::wstring DisplayCaption(const TMenuItem* item)
{
    std::wstring text = item->Caption();
    if (item->ShortCut() != scNone && item->Parent() && item->Parent()->Parent())
        text += L"\t" + ShortCutToText(item->ShortCut());
    return text;
}
}  // namespace

TShortCut ShortCutFromKey(WORD virtualKey)
{
    TShortCut shortCut = virtualKey & 0xFF;
    if (GetKeyState(VK_SHIFT) < 0)
        shortCut |= scShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shortCut |= scCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shortCut |= scAlt;
    return shortCut;
}

// --- TMenuItem -----------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TMenuItem::~TMenuItem()
{
    while (!items_.empty())
        delete items_.back();  // each sub-item unhooks itself from this one
    if (parent_)
        parent_->Remove(this);
}

TMenu* TMenuItem::RootMenu() const
{
    const TMenuItem* item = this;
    while (item->parent_)
        item = item->parent_;
    return item->menu_;
}

void TMenuItem::StructureChanged()
{
    if (TMenu* menu = RootMenu())
        menu->Rebuild();
}

void TMenuItem::StateChanged()
{
    if (TMenu* menu = RootMenu())
        menu->UpdateItemState(this);
}

void TMenuItem::SetCaption(const std::wstring& caption)
{
    if (caption == caption_)
        return;
    const bool lineChanged = (caption == L"-") != IsLine();
    caption_ = caption;
    lineChanged ? StructureChanged() : StateChanged();
}

void TMenuItem::SetShortCut(TShortCut shortCut)
{
    shortCut_ = shortCut;
    StateChanged();
}

void TMenuItem::SetDefault(bool isDefault)
{
    if (isDefault == default_)
        return;
    default_ = isDefault;
    StateChanged();
}

void TMenuItem::SetChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    // Checking one radio item clears the others of its group.
    if (checked && radioItem_ && parent_)
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->radioItem_ && sibling->checked_) {
                sibling->checked_ = false;
                sibling->StateChanged();
            }
    StateChanged();
}

void TMenuItem::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    StateChanged();
}

void TMenuItem::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    StructureChanged();
}

void TMenuItem::SetBarBreak(bool barBreak)
{
    if (barBreak_ == barBreak)
        return;
    barBreak_ = barBreak;
    StructureChanged();
}

void TMenuItem::SetRadioItem(bool radioItem)
{
    radioItem_ = radioItem;
    StateChanged();
}

int TMenuItem::IndexOf(const TMenuItem* item) const
{
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item)
{
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (item->parent_)
        item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    TMenu* menu = RootMenu();
    if (menu && index == Count() - 1 && menu->AppendItem(item))
        return;
    StructureChanged();
}

void TMenuItem::SetBitmap(HBITMAP bitmap)
{
    if (bitmap_ == bitmap)
        return;
    bitmap_ = bitmap;
    StateChanged();
}

void TMenuItem::Remove(TMenuItem* item)
{
    const auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end())
        return;
    items_.erase(it);
    item->parent_ = nullptr;
    StructureChanged();
}

void TMenuItem::Clear()
{
    while (!items_.empty())
        delete items_.back();
}

void TMenuItem::Click()
{
    if (enabled_ && OnClick)
        OnClick(this);
}

// --- TMenu ---------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr))
{
    items_->menu_ = this;
}

TMenu::~TMenu()
{
    items_->menu_ = nullptr;
    items_.reset();
    if (handle_)
        DestroyMenu(handle_);
}

HMENU TMenu::Handle()
{
    if (!handle_) {
        handle_ = CreateMenuHandle();
        Fill(handle_, items_.get());
    }
    return handle_;
}

void TMenu::AppendTo(HMENU menu, TMenuItem* item)
{
    const UINT columnBreak = item->BarBreak() ? MF_MENUBARBREAK : 0;
    if (item->IsLine()) {
        AppendMenuW(menu, MF_SEPARATOR | columnBreak, 0, nullptr);
        return;
    }
    const std::wstring text = DisplayCaption(item);
    UINT flags = MF_STRING | columnBreak;
    if (!item->Enabled())
        flags |= MF_GRAYED;
    if (item->Checked())
        flags |= MF_CHECKED;
    if (item->Count() > 0) {
        item->subMenu_ = CreatePopupMenu();
        Fill(item->subMenu_, item);
        AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(item->subMenu_), text.c_str());
    } else {
        item->subMenu_ = nullptr;
        AppendMenuW(menu, flags, item->Command(), text.c_str());
        if (item->Default())
            SetMenuDefaultItem(menu, item->Command(), FALSE);
    }
    if (item->Bitmap()) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = item->Bitmap();
        SetMenuItemInfoW(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE, &info);
    }
}

void TMenu::Fill(HMENU menu, TMenuItem* parent)
{
    for (TMenuItem* item : parent->items_)
        if (item->Visible())
            AppendTo(menu, item);
}

bool TMenu::AppendItem(TMenuItem* item)
{
    TMenuItem* parent = item->parent_;
    if (!handle_ || Destroying() || !parent || item->Count() > 0)
        return false;
    HMENU menu = parent == items_.get() ? handle_ : parent->subMenu_;
    // A parent whose sub-menu is not made (its first item, or a hidden
    // parent) is rebuilt.
    for (const TMenuItem* above = parent; above && above != items_.get(); above = above->parent_)
        if (!above->Visible())
            return false;
    if (!menu || !IsMenu(menu))
        return false;
    if (item->Visible())
        AppendTo(menu, item);
    MenuRebuilt();
    return true;
}

void TMenu::Rebuild()
{
    if (!handle_ || !items_ || Destroying())
        return;
    while (GetMenuItemCount(handle_) > 0)
        DeleteMenu(handle_, 0, MF_BYPOSITION);  // also destroys the sub-menus
    Fill(handle_, items_.get());
    MenuRebuilt();
}

void TMenu::UpdateItemState(TMenuItem* item)
{
    if (!handle_)
        return;
    if (item->subMenu_ || item->Count() == 0) {
        const std::wstring text = DisplayCaption(item);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_STRING | MIIM_BITMAP;
        info.hbmpItem = item->Bitmap();
        info.fState = (item->Enabled() ? MFS_ENABLED : MFS_DISABLED) | (item->Checked() ? MFS_CHECKED : MFS_UNCHECKED) |
                      (item->Default() ? MFS_DEFAULT : 0);
        info.dwTypeData = const_cast<wchar_t*>(text.c_str());
        // Items with sub-menus are found by position in their parent's menu.
        if (item->subMenu_) {
            Rebuild();
            return;
        }
        SetMenuItemInfoW(handle_, item->Command(), FALSE, &info);
        MenuRebuilt();
    }
}

TMenuItem* TMenu::FindItem(UINT command) const
{
    std::vector<TMenuItem*> pending{items_.get()};
    while (!pending.empty()) {
        TMenuItem* item = pending.back();
        pending.pop_back();
        if (item->Command() == command && item != items_.get())
            return item;
        pending.insert(pending.end(), item->items_.begin(), item->items_.end());
    }
    return nullptr;
}

bool TMenu::DispatchCommand(UINT command)
{
    TMenuItem* item = FindItem(command);
    if (!item)
        return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU menu)
{
    std::vector<TMenuItem*> pending{items_.get()};
    while (!pending.empty()) {
        TMenuItem* item = pending.back();
        pending.pop_back();
        if (item->subMenu_ == menu && item != items_.get()) {
            item->Click();
            return true;
        }
        pending.insert(pending.end(), item->items_.begin(), item->items_.end());
    }
    return false;
}

bool TMenu::IsShortCut(TShortCut shortCut)
{
    if (shortCut == scNone)
        return false;
    std::vector<TMenuItem*> pending{items_.get()};
    while (!pending.empty()) {
        TMenuItem* item = pending.back();
        pending.pop_back();
        if (item != items_.get() && item->ShortCut() == shortCut && item->Enabled() && item->Visible()) {
            item->Click();
            return true;
        }
        pending.insert(pending.end(), item->items_.begin(), item->items_.end());
    }
    return false;
}

void TMainMenu::MenuRebuilt()
{
    if (form_ && form_->HandleAllocated())
        DrawMenuBar(form_->Handle());
}

bool TPopupMenu::Popup(int X, int Y, HWND Owner)
{
    if (OnPopup)
        OnPopup(this);
    // The command comes back here rather than as a WM_COMMAND to Owner.
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(
        Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, X, Y, Owner, nullptr));
    return command != 0 && DispatchCommand(command);
}

}  // namespace qrv
