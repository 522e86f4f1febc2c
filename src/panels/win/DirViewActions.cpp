// TDirView: opening items (Enter, double or single click), going up, the
// shell's default verb and properties, the application key's menu, the
// label editor's key filter and the selection mode.

#include "panels/win/DirView.h"

#include "common/BaseUtils.h"
#include "common/win/FileQueries.h"
#include "common/win/PIDL.h"
#include "framework/SysUtils.h"
#include "framework/TimingTrace.h"
#include "framework/win/AltKey.h"
#include "framework/win/Menus.h"
#include "framework/win/MessageDialog.h"
#include "panels/win/DriveView.h"
#include "panels/win/ShellDialogs.h"
#include "panels/win/ShellLinks.h"

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace qrv {

namespace {

constexpr UINT_PTR kNameEditFilter = 0x144;

// The label editor refuses the characters no file name may hold.
LRESULT CALLBACK NameEditProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR Id, DWORD_PTR)
{
    if (Message == WM_CHAR && IsInvalidNameChar(static_cast<wchar_t>(WParam))) {
        MessageBeep(MB_OK);
        return 0;
    }
    if (Message == WM_NCDESTROY)
        RemoveWindowSubclass(Window, NameEditProc, Id);
    return DefSubclassProc(Window, Message, WParam, LParam);
}

}  // namespace

// ---- Selection mode ---------------------------------------------------------------

void TDirView::SetMultiSelect(bool Value)
{
    if (Value == MultiSelect())
        return;
    if (HandleAllocated())
        StoreColumnWidths();
    // One item stays selected in the single mode: the focused one when it is.
    if (!Value && SelCount() > 1) {
        TFileRec* keep = ItemFocused() && ItemFocused()->Selected ? ItemFocused() : FirstSelected();
        TUpdateBracket update(*this);
        for (int i = 0; i < ItemCount(); ++i)
            if (GetItemData(i) != keep)
                SetItemSelected(*GetItemData(i), false);
        MarkChanged();
    }
    TKyListView::SetMultiSelect(Value);
    MakeColumns();
    ApplyColumnLayout();
    if (Loaded()) {
        if (HandleAllocated())
            UpdateSortMarks();
        Reload(true);
    }
}

// ---- Opening items ------------------------------------------------------------------

TFileRec* TDirView::FirstSelected() const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (GetItemData(i)->Selected)
            return GetItemData(i);
    return nullptr;
}

void TDirView::ExecuteItem()
{
    if (GetKeyState(VK_MENU) < 0) {
        DisplayPropertiesMenu();
        return;
    }
    TFileRec* item = FirstSelected();
    if (!item)
        item = ItemFocused();
    if (!item)
        return;
    if (item->IsParentDir) {
        if (!Loading() && Path().size() > 2)
            OpenFolder(RemoveBackslashes(ExtractFilePath(Path())));
        return;
    }
    bool allowExec = true;
    if (OnExecFile)
        OnExecFile(this, *item, allowExec);
    if (!allowExec)
        return;
    const std::wstring path = ItemFullFileName(item);
    if (item->IsDirectory) {
        OpenFolder(path);
        return;
    }
    if (item->Ext == L"LNK") {
        const std::wstring target = GetShellLinkTarget(path, false, true);
        const DWORD attr = target.empty() ? INVALID_FILE_ATTRIBUTES : FileAttributes(target);
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
            OpenFolder(target);
            return;
        }
        if (!target.empty()) {
            if (!ShellOpen(target))
                MessageBeep(MB_ICONHAND);
            return;
        }
    }
    if (!OpenItem(*item))
        MessageBeep(MB_ICONHAND);
}

void TDirView::OpenFolder(const std::wstring& Path)
{
    // Through the tree when it shows this list and knows the folder: its
    // selection then follows, and it points the list at the folder.
    TDriveView* tree = driveView_ && driveView_->DirView() == this ? driveView_ : nullptr;
    if (tree && tree->NodeForPath(Path))
        tree->SetDirectory(Path);
    if (!SameText(this->Path(), RemoveBackslashes(Path)))
        SetPath(Path);
}

bool TDirView::ShellOpen(const std::wstring& Path)
{
    const std::wstring folder = GetPath();
    const TCurrentFolder current(folder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // Failures come back here: the list beeps instead of the shell's box.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = HandleAllocated() ? handle_ : nullptr;
    info.lpFile = Path.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

bool TDirView::OpenItem(const TFileRec& Item)
{
    return ShellOpen(ItemFullFileName(&Item));
}

bool TDirView::ExecuteSelected()
{
    std::vector<std::wstring> names;
    for (int i = 0; i < ItemCount(); ++i) {
        const TFileRec& rec = *GetItemData(i);
        if (rec.Selected && !rec.IsDirectory)
            names.push_back(rec.FileName);
    }
    if (SelCount() > static_cast<int>(kOpenManyWithoutQuestion) &&
        MessageDlg(OpenManyQuestion(static_cast<unsigned>(SelCount())), TMsgDlgType::mtConfirmation, mbYes | mbNo) !=
            mrYes)
        return false;
    if (names.empty())
        return false;
    return InvokeShellVerbOnFiles(HandleAllocated() ? handle_ : nullptr, L"", GetPath(), names);
}

void TDirView::DisplayPropertiesMenu()
{
    const HWND owner = HandleAllocated() ? handle_ : nullptr;
    std::vector<std::wstring> names;
    for (int i = 0; i < ItemCount(); ++i)
        if (GetItemData(i)->Selected)
            names.push_back(GetItemData(i)->FileName);
    if (names.size() > 1) {
        if (ShowFilesProperties(owner, GetPath(), names))
            return;
    }
    // The folder itself when nothing is selected; else the (first) item.
    const std::wstring path = names.empty() ? GetPath() : ItemFullFileName(FirstSelected());
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"properties";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info))
        MessageBeep(MB_ICONHAND);
}

// ---- Keys and mouse -------------------------------------------------------------------

bool TDirView::EnterKey(bool Alt)
{
    if (Loading())
        return true;
    TFileRec* focused = ItemFocused();
    if (SelCount() == 0 && focused && focused->IsDirectory && !focused->IsParentDir) {
        SetItemSelected(*focused, true);
        MarkChanged();
    }
    if (Alt)
        DisplayPropertiesMenu();
    else if (GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0)
        ExecuteItem();
    return true;
}

void TDirView::ItemClicked(const NMITEMACTIVATE& click, bool Double)
{
    if (click.iItem < 0 || !ItemsReady() || Loading())
        return;
    const TFileRec* rec = GetItemData(click.iItem);
    if (!rec)
        return;
    if (Double) {
        if (!SingleClickToExec)
            ExecuteItem();
        return;
    }
    // The button came up over the selected (or focused) item, no Shift or Ctrl held.
    if (SingleClickToExec && !(click.uKeyFlags & (LVKF_SHIFT | LVKF_CONTROL)) &&
        (rec->Selected || rec == ItemFocused()))
        ExecuteItem();
}

void TDirView::ShowPopupMenu(bool FromKeyboard, POINT At)
{
    if (!HandleAllocated())
        return;
    if (FromKeyboard) {
        At = POINT{0, 0};
        TFileRec* selected = ItemFocused() && ItemFocused()->Selected ? ItemFocused() : FirstSelected();
        RECT icon{};
        icon.left = LVIR_ICON;
        const int index = IndexOf(selected);
        if (index >= 0 &&
            SendMessageW(handle_, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&icon)))
            At = POINT{icon.left + 20, icon.top + 20};
        ClientToScreen(handle_, &At);
    }
    DisplayContextMenu(At);
}

void TDirView::DisplayContextMenu(POINT At)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < ItemCount(); ++i) {
        const TFileRec& rec = *GetItemData(i);
        if (rec.Selected && !rec.IsParentDir)
            names.push_back(rec.FileName);
    }
    if (!UseSystemContextMenu || names.empty() || IsVirtual() || FullPathItems()) {
        if (popupMenu_)
            popupMenu_->Popup(At.x, At.y, handle_);
        return;
    }
    if (OnDisplayContextMenu)
        OnDisplayContextMenu(this);
    std::wstring verb;
    // The shell's delete would run a second time after the list's own.
    ShowShellContextMenuForFiles(handle_, At, GetPath(), true, false, verb, names, {L"delete"});
    if (verb == L"rename") {
        if (TFileRec* item = ItemFocused() && ItemFocused()->Selected ? ItemFocused() : FirstSelected())
            EditItemName(*item);
    } else if (verb == L"copy" || verb == L"cut") {
        (void)CopyToClipBoard(verb == L"copy");
    } else if (verb == L"paste") {
        const TFileRec* first = FirstSelected();
        (void)PasteFromClipBoard(first && first->IsDirectory && names.size() == 1 ? ItemFullFileName(first)
                                                                                  : std::wstring());
    } else if (verb == L"delete") {
        (void)DeleteSelectedFiles(GetKeyState(VK_SHIFT) >= 0);
    }
}

bool TDirView::BeginLabelEdit(int Index)
{
    // ".." and the items of shell folders have no name of their own to change.
    TFileRec* item = ItemsReady() ? GetItemData(Index) : nullptr;
    if (!item || item->IsParentDir || IsVirtual() || FullPathItems())
        return false;
    if (OnEditing && !OnEditing(this, *item, editByCode_))
        return false;
    nameEdit_ = TNameEdit{Index, GetPath(), item->FileName};
    if (const HWND edit = reinterpret_cast<HWND>(SendMessageW(handle_, LVM_GETEDITCONTROL, 0, 0))) {
        SetWindowSubclass(edit, NameEditProc, kNameEditFilter, 0);
        // After a failed rename the editor opens with what was typed.
        if (!reEditText_.empty()) {
            SetWindowTextW(edit, reEditText_.c_str());
            reEditText_.clear();
        }
    }
    return true;
}

void TDirView::KeyReachesControl(WPARAM Key)
{
    // A plain arrow, page, Home or End key that moves the focus selects the
    // item it lands on alone. The control clears the old selection of an
    // owner-data list by visiting every item (30 ms and more for 100,000
    // under Wine, however few are selected); cleared here item by item
    // first, with their notifications, it finds nothing left to clear.
    if (ViewStyle() != TViewStyle::vsReport || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 ||
        GetKeyState(VK_MENU) < 0)
        return;
    const int count = ItemCount();
    const int focused = static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused < 0 || focused >= count)
        return;
    bool moves = false;
    switch (Key) {
    case VK_UP:
    case VK_PRIOR:
    case VK_HOME:
        moves = focused > 0;
        break;
    case VK_DOWN:
    case VK_NEXT:
    case VK_END:
        moves = focused < count - 1;
        break;
    default:
        break;
    }
    if (moves)
        ClearShownSelection(true);
}

void TDirView::WndProc(TMessage& message)
{
    if (RelistMessage(message))
        return;
    switch (message.Msg) {
    case WM_DIRVIEW_REEDIT:
        // Nothing to reopen once another folder came in the meantime.
        if (TFileRec* focused = reEditText_.empty() ? nullptr : ItemFocused())
            EditItemName(*focused);
        else
            reEditText_.clear();
        message.Result = 0;
        return;
    case WM_KEYDOWN:
        if (message.WParam == VK_RETURN && EnterKey(false)) {
            message.Result = 0;
            return;
        }
        if (message.WParam == VK_APPS) {
            ShowPopupMenu(true, {});
            message.Result = 0;
            return;
        }
        break;
    case WM_SYSKEYDOWN:
        // Alt+Enter; Shift+F10 is the application key's twin.
        if (message.WParam == VK_RETURN && EnterKey(true)) {
            AltKeyCombinationTaken(handle_, message.WParam);
            message.Result = 0;
            return;
        }
        if (message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
            ShowPopupMenu(true, {});
            message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
    case WM_SYSCHAR:
        // The Enter handled above would beep as a character, and so would
        // the characters of Strg+A, Strg+C, Strg+D, Strg+V, Strg+X and Strg+Z,
        // whose keys are file commands.
        if (message.WParam == L'\r' || IsFileCommandChar(message.WParam)) {
            message.Result = 0;
            return;
        }
        break;
    case WM_CONTEXTMENU:
        // A right click; the keys come as WM_KEYDOWN above.
        if (message.LParam != -1) {
            ShowPopupMenu(
                false, POINT{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))});
            message.Result = 0;
            return;
        }
        ShowPopupMenu(true, {});
        message.Result = 0;
        return;
    case kLoadAfterSortMessage:
        LoadFromDisk(Path());
        message.Result = 0;
        return;
    case kIconsReadyMessage:
        TakeFetchedIcons();
        message.Result = 0;
        return;
    case WM_PAINT:
        if (paintTracePending_ && TimingTraceEnabled()) {
            TKyListView::WndProc(message);
            paintTracePending_ = false;
            TraceTiming(L"list painted " + GetPath() + L" (" + std::to_wstring(ItemCount()) + L" items)");
            return;
        }
        break;
    default:
        break;
    }
    TKyListView::WndProc(message);
}

}  // namespace qrv
