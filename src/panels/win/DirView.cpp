#include "panels/win/DirView.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/SysUtils.h"
#include "panels/win/DirViewSystemWin.h"

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

// The shell's "find folder" animation in SHELL32.DLL.
constexpr int kFindFolderAnimation = 150;

}  // namespace

TDirView::TDirView(TComponent* owner)
    : TKyListView(owner), TDirViewCore(this, WinDirSystem(), WinDirSystem(), DirViewTexts())
{
    SetOwnerData(true);
    SetViewStyle(TViewStyle::vsReport);
    SetMultiSelect(true);
    SetHideSelection(false);
    AddColumn(L"Name", 150);
    AddColumn(L"Größe", 80, TAlignment::taRightJustify);
    AddColumn(L"Typ", 120);
    AddColumn(L"Geändert am", 120);
    AddColumn(L"Attr", 45);
}

TDirView::~TDirView() = default;

void TDirView::SetMask(const std::wstring& value)
{
    const std::wstring old = Mask();
    TKyListView::SetMask(value);
    if (Mask() != old && Loaded())
        ReloadDirectory();
}

// ---- Texts ------------------------------------------------------------------------

std::wstring TDirView::FormatFileTime(uint64_t FileTime) const
{
    SYSTEMTIME local;
    return FileTimeToLocalSystemTime(FileTime, local) ? FormatDateTime(local) : std::wstring();
}

std::wstring TDirView::FormatFileDate(uint64_t FileTime) const
{
    SYSTEMTIME local;
    wchar_t buffer[128] = L"";
    if (!FileTimeToLocalSystemTime(FileTime, local) ||
        !GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &local, nullptr, buffer, 128, nullptr))
        return {};
    return buffer;
}

std::wstring TDirView::CellText(TFileRec& Item, int Column)
{
    switch (Column) {
    case 0:
        return Item.DisplayName;
    case 1:
        return Item.IsDirectory ? std::wstring() : FormatSizeText(static_cast<int64_t>(Item.Size), false);
    case 2:
        if (Item.InfoEmpty)
            GetFileInfo(Item, false);
        return Item.TypeName;
    case 3:
        return FormatFileTime(Item.LastWrite);
    default:
        return {};
    }
}

int TDirView::FindByPrefix(const std::wstring& Text, int Start, bool Whole) const
{
    const int count = ItemCount();
    if (count == 0 || Text.empty())
        return -1;
    Start = std::clamp(Start, 0, count - 1);
    for (int step = 0; step < count; ++step) {
        const int index = (Start + step) % count;
        const std::wstring& name = GetItemData(index)->DisplayName;
        if (Whole ? SameText(name, Text)
                  : name.size() >= Text.size() && SameText(std::wstring_view(name).substr(0, Text.size()), Text))
            return index;
    }
    return -1;
}

// ---- The control's side of the records ----------------------------------------------

void TDirView::SortItems()
{
    TDirViewCore::SortItems();
}

void TDirView::SetControlState(int index, UINT state, UINT mask)
{
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    const bool was = pushing_;
    pushing_ = true;
    SendMessageW(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    pushing_ = was;
}

void TDirView::ItemsChanged()
{
    // Also kept while there is no window: the window is made with it.
    SetItemCount(ItemCount());
    if (!HandleAllocated())
        return;
    SetControlState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    const int count = ItemCount();
    if (SelCount() > 0 && SelCount() == EntryCount()) {
        SetControlState(-1, LVIS_SELECTED, LVIS_SELECTED);
        for (int i = 0; i < count; ++i)
            if (GetItemData(i)->IsParentDir)
                SetControlState(i, 0, LVIS_SELECTED);
    } else if (SelCount() > 0) {
        for (int i = 0; i < count; ++i)
            if (GetItemData(i)->Selected)
                SetControlState(i, LVIS_SELECTED, LVIS_SELECTED);
    }
    const int focused = IndexOf(ItemFocused());
    if (focused >= 0) {
        SetControlState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
        SendMessageW(handle_, LVM_SETSELECTIONMARK, 0, focused);
    }
    InvalidateRect(handle_, nullptr, FALSE);
}

void TDirView::MakeFocusedVisible()
{
    const int focused = IndexOf(ItemFocused());
    if (HandleAllocated() && focused >= 0)
        SendMessageW(handle_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
}

void TDirView::ShowBusy(bool Busy)
{
    if (Busy) {
        if (busy_++ == 0) {
            busySince_ = GetTickCount64();
            savedCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        }
        return;
    }
    if (busy_ > 0 && --busy_ == 0) {
        FreeAnimation();
        SetCursor(savedCursor_);
    }
}

void TDirView::LoadProgress(int /*Added*/)
{
    // A long load shows the shell's search animation; the control itself
    // learns the items when the load is done.
    if (!ShowAnimation || animation_ || !HandleAllocated() || GetTickCount64() - busySince_ <= 1000)
        return;
    INITCOMMONCONTROLSEX init{sizeof init, ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&init);
    RECT client;
    GetClientRect(handle_, &client);
    constexpr int width = 272;
    constexpr int height = 60;
    animation_ = CreateWindowExW(0, ANIMATE_CLASSW, nullptr,
                                 WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY,
                                 (client.right - width) / 2, (client.bottom - height) / 2, width, height, handle_,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (animation_ &&
        !SendMessageW(animation_, ACM_OPENW, reinterpret_cast<WPARAM>(GetModuleHandleW(L"shell32.dll")),
                      reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(kFindFolderAnimation))))
        FreeAnimation();
    if (animation_)
        UpdateWindow(animation_);
}

void TDirView::FreeAnimation()
{
    if (animation_)
        DestroyWindow(animation_);
    animation_ = nullptr;
}

void TDirView::CreateWindowHandle(const TCreateParams& params)
{
    TKyListView::CreateWindowHandle(params);
    if (!handle_)
        return;
    // Overlays (the share hand, the shortcut arrow) are asked for per item.
    SendMessageW(handle_, LVM_SETCALLBACKMASK, LVIS_OVERLAYMASK, 0);
    ItemsChanged();
}

void TDirView::DestroyWnd()
{
    // The records stay: a window made again shows them.
    FreeAnimation();
    TKyListView::DestroyWnd();
}

// ---- Notifications ----------------------------------------------------------------------

void TDirView::GetDispInfo(NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    TFileRec* rec = ItemsReady() ? GetItemData(item.iItem) : nullptr;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::wstring text = rec ? CellText(*rec, item.iSubItem) : std::wstring();
        const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
        text.copy(item.pszText, n);
        item.pszText[n] = L'\0';
    }
    if (!rec)
        return;
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
        // Fetched when first shown; the per-extension cache makes most of these cheap.
        if (rec->InfoEmpty || rec->IconEmpty)
            GetFileInfo(*rec, true);
        item.iImage = rec->ImageIndex;
    }
    if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_OVERLAYMASK)) {
        item.state &= ~LVIS_OVERLAYMASK;
        if (rec->OverlayIndex >= 0)
            item.state |= INDEXTOOVERLAYMASK(rec->OverlayIndex + 1);
    }
}

void TDirView::StateChanged(const NMLISTVIEW& change)
{
    if (pushing_ || Loading() || !(change.uChanged & LVIF_STATE))
        return;
    if (change.iItem < 0) {
        // Every item at once (select all, deselect all): the control's
        // selection is the truth; ".." never stays in it.
        const int count = ItemCount();
        std::vector<bool> selected(static_cast<size_t>(count), false);
        for (int i = -1; (i = static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(i),
                                                              LVNI_SELECTED))) >= 0 && i < count;)
            selected[static_cast<size_t>(i)] = true;
        for (int i = 0; i < count; ++i) {
            TFileRec& rec = *GetItemData(i);
            SetItemSelected(rec, selected[static_cast<size_t>(i)]);
            if (rec.IsParentDir && selected[static_cast<size_t>(i)])
                SetControlState(i, 0, LVIS_SELECTED);
        }
        return;
    }
    TFileRec* rec = GetItemData(change.iItem);
    if (!rec)
        return;
    const UINT changed = change.uNewState ^ change.uOldState;
    if (changed & LVIS_SELECTED) {
        const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
        if (!SetItemSelected(*rec, selected) && selected && rec->IsParentDir)
            SetControlState(change.iItem, 0, LVIS_SELECTED);
    }
    if (changed & LVIS_FOCUSED) {
        if (change.uNewState & LVIS_FOCUSED)
            SetItemFocused(rec);
        else if (ItemFocused() == rec)
            SetItemFocused(nullptr);
    }
}

void TDirView::RangeChanged(const NMLVODSTATECHANGE& change)
{
    if (pushing_ || Loading() || !((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
        return;
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    const int to = std::min(change.iTo, ItemCount() - 1);
    for (int i = std::max(change.iFrom, 0); i <= to; ++i) {
        TFileRec& rec = *GetItemData(i);
        SetItemSelected(rec, selected);
        if (rec.IsParentDir && selected)
            SetControlState(i, 0, LVIS_SELECTED);
    }
}

void TDirView::DoNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case LVN_GETDISPINFOW:
        GetDispInfo(reinterpret_cast<NMLVDISPINFOW&>(header));
        return;
    case LVN_ITEMCHANGED:
        StateChanged(reinterpret_cast<NMLISTVIEW&>(header));
        break;
    case LVN_ODSTATECHANGED:
        RangeChanged(reinterpret_cast<NMLVODSTATECHANGE&>(header));
        return;
    case LVN_ODFINDITEMW: {
        const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
        result = -1;
        if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find.lvfi.psz)
            result = FindByPrefix(find.lvfi.psz, find.iStart, !(find.lvfi.flags & LVFI_PARTIAL));
        return;
    }
    default:
        break;
    }
    TKyListView::DoNotify(header, result);
}

}  // namespace qrv
