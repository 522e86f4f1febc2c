#include "panels/win/KyComboBox.h"

#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"

#include <commctrl.h>

#include <algorithm>

namespace qrv {

namespace {

constexpr UINT_PTR kArrowEditSubclass = 0x4B59;

}  // namespace

// ---- TKyCustomComboBox -------------------------------------------------------

TKyCustomComboBox::TKyCustomComboBox(TComponent* owner) : TComboBox(owner) {}

void TKyCustomComboBox::CreateWindowHandle(const TCreateParams& params)
{
    TComboBox::CreateWindowHandle(params);
    if (!HandleAllocated())
        return;
    // The edit part of a box one can type in takes the keys itself.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (Style() == TComboBoxStyle::csDropDown && GetComboBoxInfo(Handle(), &info) && info.hwndItem &&
        info.hwndItem != Handle()) {
        edit_ = info.hwndItem;
        if (!SetWindowSubclass(edit_, EditProc, kArrowEditSubclass, reinterpret_cast<DWORD_PTR>(this))) {
            TraceIgnoredFailure(L"combo box: watching the keys of its edit", GetLastError());
            edit_ = nullptr;
        }
    }
}

void TKyCustomComboBox::DestroyWnd()
{
    if (edit_) {
        RemoveWindowSubclass(edit_, EditProc, kArrowEditSubclass);
        edit_ = nullptr;
    }
    TComboBox::DestroyWnd();
}

LRESULT CALLBACK TKyCustomComboBox::EditProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                             DWORD_PTR Data)
{
    auto* box = reinterpret_cast<TKyCustomComboBox*>(Data);
    if (Msg == WM_KEYDOWN && box->KeyDown(static_cast<WORD>(WParam)))
        return 0;
    if (Msg == WM_NCDESTROY)
        RemoveWindowSubclass(Window, EditProc, Id);
    return DefSubclassProc(Window, Msg, WParam, LParam);
}

bool TKyCustomComboBox::DroppedDown()
{
    return HandleAllocated() && SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TKyCustomComboBox::SetDroppedDown(bool Value)
{
    SendMessageW(Handle(), CB_SHOWDROPDOWN, Value ? TRUE : FALSE, 0);
}

int TKyCustomComboBox::GetTextWidth(const std::wstring& Text)
{
    const TWindowDC dc(nullptr);
    const TSelectObject font(dc.Get(), Font().Handle());
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), Text.c_str(), static_cast<int>(Text.size()), &size);
    return size.cx;
}

std::wstring TKyCustomComboBox::ItemText(int Index)
{
    return Items().Get(Index);
}

int TKyCustomComboBox::GetMaxItemWidth()
{
    int widest = 0;
    for (int i = 0; i < Items().Count(); ++i)
        widest = std::max(widest, GetTextWidth(ItemText(i)));
    return DroppedListWidth(0, widest, 0, Items().Count(), DropDownCount(), GetSystemMetrics(SM_CYVTHUMB)) - 8;
}

void TKyCustomComboBox::DropDown()
{
    droppedWidth_ = DropDownFixedWidth > 0 ? DropDownFixedWidth : GetMaxItemWidth() + 8;
    SendMessageW(Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(droppedWidth_), 0);
}

void TKyCustomComboBox::CloseUp(bool Accepted)
{
    if (OnCloseUp)
        OnCloseUp(this, Accepted);
}

bool TKyCustomComboBox::ArrowOpensList(WORD Key)
{
    // The arrow keys open a closed list instead of stepping through it.
    if ((Key != VK_UP && Key != VK_DOWN) || GetKeyState(VK_MENU) < 0 || DroppedDown())
        return false;
    SetDroppedDown(true);
    return true;
}

bool TKyCustomComboBox::KeyDown(WORD Key)
{
    const bool taken = ArrowOpensList(Key);
    lastKey_ = Key;
    return taken;
}

void TKyCustomComboBox::WndProc(TMessage& message)
{
    if (message.Msg == WM_KEYDOWN && KeyDown(static_cast<WORD>(message.WParam))) {
        message.Result = 0;
        return;
    }
    if (message.Msg == CN_COMMAND) {
        switch (HIWORD(message.WParam)) {
        case CBN_DROPDOWN:
            DropDown();
            break;
        case CBN_SELENDOK:
            selectionOK_ = true;
            break;
        case CBN_SELENDCANCEL:
            selectionOK_ = false;
            break;
        case CBN_CLOSEUP:
            TComboBox::WndProc(message);
            CloseUp(selectionOK_);
            return;
        default:
            break;
        }
    }
    TComboBox::WndProc(message);
}

void SetComboEditHeight(TComboBox& Box, int EditHeight)
{
    SendMessageW(Box.Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), EditHeight);
    // The closed box's own height follows its edit part.
    RECT r{};
    GetWindowRect(Box.Handle(), &r);
    if (r.bottom - r.top > 0 && r.bottom - r.top != Box.Height())
        Box.SetHeight(r.bottom - r.top);
}

// ---- TKyDriveComboBox --------------------------------------------------------

TKyDriveComboBox::TKyDriveComboBox(TComponent* owner) : TKyCustomComboBox(owner), state_(DriveInfo().DefaultDrive())
{
    SetStyle(TComboBoxStyle::csDropDownList);
}

TKyDriveComboBox::~TKyDriveComboBox()
{
    SetDriveView(nullptr);
}

void TKyDriveComboBox::CreateParams(TCreateParams& params)
{
    TKyCustomComboBox::CreateParams(params);
    // Owner-drawn with the strings kept, so the texts stay readable.
    params.Style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}

void TKyDriveComboBox::CreateWindowHandle(const TCreateParams& params)
{
    TKyCustomComboBox::CreateWindowHandle(params);
    if (!HandleAllocated())
        return;
    SHFILEINFOW info{};
    images_ =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                                                    SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    ResetItemHeight();
    FillDriveItems();
}

void TKyDriveComboBox::FontChanged()
{
    TKyCustomComboBox::FontChanged();
    ResetItemHeight();
}

void TKyDriveComboBox::ResetItemHeight()
{
    int fontHeight = 0;
    {
        const TWindowDC dc(nullptr);
        const TSelectObject font(dc.Get(), Font().Handle());
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(dc.Get(), &metrics))
            fontHeight = metrics.tmHeight;
    }
    itemHeight_ = DriveItemHeight(fontHeight);
    if (!HandleAllocated())
        return;
    SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, itemHeight_);
    SetComboEditHeight(*this, EditHeight());
}

std::wstring TKyDriveComboBox::GetItemText(wchar_t Drive)
{
    const TDriveNames names{DriveInfo().GetPrettyName(Drive), DriveInfo().GetDisplayName(Drive),
                            DriveInfo().GetLongPrettyName(Drive)};
    return DriveItemText(displayStyle_, names);
}

std::wstring TKyDriveComboBox::ItemText(int Index)
{
    const std::wstring item = Items().Get(Index);
    return item.empty() ? item : GetItemText(item[0]);
}

int TKyDriveComboBox::IndexOfDrive(wchar_t Drive)
{
    std::vector<std::wstring> items;
    for (int i = 0; i < Items().Count(); ++i)
        items.push_back(Items().Get(i));
    return qrv::IndexOfDrive(items, Drive);
}

void TKyDriveComboBox::FillDriveItems()
{
    if (!HandleAllocated())
        return;
    TDriveComboFacts facts;
    facts.IsValid = [](wchar_t drive) { return DriveInfo().IsValid(drive); };
    facts.DriveType = [](wchar_t drive) {
        TDriveInfoRec rec;
        DriveInfo().GetData(drive, rec);
        return rec.DriveType;
    };
    Items().Clear();
    for (wchar_t drive : ListedDrives(facts, driveTypes_, showNetwork_))
        Items().Add(DriveItem(drive, GetItemText(drive)));
    const int index = IndexOfDrive(Drive());
    SetItemIndex(index >= 0 ? index : (Items().Count() > 0 ? 0 : -1));
}

bool TKyDriveComboBox::Accepts(wchar_t Drive)
{
    if (Drive < kFirstDrive || Drive > kLastDrive)
        return false;
    if (!DriveInfo().ReadDriveStatus(Drive, 0))
        TraceIgnoredFailure(L"drive box: refreshing a drive's record", 0);
    TDriveInfoRec rec;
    DriveInfo().GetData(Drive, rec);
    return rec.Valid && DriveTypeListed(rec.DriveType, driveTypes_) && (Drive != kNetworkDrive || showNetwork_);
}

void TKyDriveComboBox::SelectDriveItem()
{
    const int index = IndexOfDrive(Drive());
    if (index >= 0 && index != ItemIndex())
        SetItemIndex(index);
}

void TKyDriveComboBox::SetDrive(wchar_t Value)
{
    if (state_.SetDrive(Value, [this](wchar_t drive) { return Accepts(drive); }))
        SelectDriveItem();
}

void TKyDriveComboBox::SetDisplayStyle(TVolumeDisplayStyle Value)
{
    if (Value == displayStyle_)
        return;
    displayStyle_ = Value;
    FillDriveItems();
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TKyDriveComboBox::SetDriveTypes(TDriveTypes Value)
{
    if (Value == driveTypes_)
        return;
    driveTypes_ = Value;
    FillDriveItems();
}

void TKyDriveComboBox::SetShowNetwork(bool Value)
{
    const bool allowed = !Value || (GetSystemMetrics(SM_NETWORK) & 1) != 0;
    if (!allowed || Value == showNetwork_)
        return;
    showNetwork_ = Value;
    FillDriveItems();
}

void TKyDriveComboBox::SetDriveView(TDriveView* Value)
{
    if (Value == driveView_)
        return;
    if (driveView_ && driveView_->DriveComboBox() == this)
        driveView_->SetDriveComboBox(nullptr);
    driveView_ = Value;
    if (driveView_)
        driveView_->SetDriveComboBox(this);
}

void TKyDriveComboBox::SwitchTree()
{
    if (!driveView_)
        return;
    const wchar_t drive = Drive();
    driveView_->SetCurrentDrive(drive);
    // An unreadable drive may leave the tree elsewhere: show where it ended.
    const wchar_t ended = driveView_->GetCurrentDrive();
    if (ended && ended != drive)
        SetDrive(ended);
    SelectDriveItem();
}

void TKyDriveComboBox::Change()
{
    const int index = ItemIndex();
    const std::wstring item = index >= 0 ? Items().Get(index) : std::wstring();
    // Nothing chosen: nothing to show.
    if (item.empty())
        return;
    // The list reports one choice more than once (as it closes and after):
    // the tree already on the drive is left where it is.
    const bool again = driveView_ && driveView_->GetCurrentDrive() == item[0];
    if (state_.Choose(item[0], DroppedDown()) && !again)
        SwitchTree();
    if (OnChange)
        OnChange(this);
}

void TKyDriveComboBox::CloseUp(bool Accepted)
{
    // The item chosen in the open list stands once the list closes with it
    // (a click reports its selection only after the list closed); closed
    // without a choice, the box shows the drive it opened with.
    if (Accepted) {
        Change();
    } else {
        SetDrive(PreviousDrive());
        SelectDriveItem();
    }
    TKyCustomComboBox::CloseUp(Accepted);
}

bool TKyDriveComboBox::KeyDown(WORD Key)
{
    const bool dropped = DroppedDown();
    if (TKyCustomComboBox::KeyDown(Key))
        return true;
    if (dropped)
        return false;
    if (Key == VK_RETURN && driveView_) {
        SwitchTree();
        return false;
    }
    if (Key == VK_ESCAPE) {
        SetDrive(PreviousDrive());
        SelectDriveItem();
    }
    return false;
}

void TKyDriveComboBox::WndProc(TMessage& message)
{
    if (message.Msg == CN_DRAWITEM) {
        try {
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
        } catch (const std::exception&) {
            TraceIgnoredException(L"drive box: painting an item");
        }
        message.Result = TRUE;
        return;
    }
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == CBN_SELCHANGE) {
        Change();
        return;
    }
    TKyCustomComboBox::WndProc(message);
}

void TKyDriveComboBox::DrawItem(const DRAWITEMSTRUCT& Item)
{
    const HDC dc = Item.hDC;
    const bool selected = (Item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &Item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (static_cast<int>(Item.itemID) < 0 || static_cast<int>(Item.itemID) >= Items().Count())
        return;
    const std::wstring item = Items().Get(static_cast<int>(Item.itemID));
    if (item.empty())
        return;
    const wchar_t drive = item[0];
    const int height = Item.rcItem.bottom - Item.rcItem.top;
    if (images_) {
        int iconWidth = 16, iconHeight = 16;
        ImageList_GetIconSize(images_, &iconWidth, &iconHeight);
        const int top = Item.rcItem.top + std::max(1, (height - iconHeight) / 2);
        const int image = DriveInfo().GetImageIndex(drive);
        if (image >= 0)
            ImageList_Draw(images_, image, dc, Item.rcItem.left + 2, top, ILD_TRANSPARENT);
    }
    RECT text = Item.rcItem;
    text.left += 2 + kDriveIconRoom;
    const std::wstring caption = GetItemText(drive);
    const TSelectObject font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING)
        format |= DT_RTLREADING;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    if ((Item.itemState & ODS_FOCUS) && !(Item.itemState & ODS_NOFOCUSRECT))
        DrawFocusRect(dc, &Item.rcItem);
}

int TKyDriveComboBox::GetMaxItemWidth()
{
    return TKyCustomComboBox::GetMaxItemWidth() + kDriveIconRoom;
}

}  // namespace qrv
