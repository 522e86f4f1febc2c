// The common list view and its header (ComCtrls.h).

#include "framework/win/ComCtrls.h"

#include "framework/SysUtils.h"
#include "framework/win/ComCtrlsCommon.h"
#include "framework/win/ImgList.h"

#include <algorithm>

namespace qrv {

namespace {

int ColumnFormat(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taRightJustify:
        return LVCFMT_RIGHT;
    case TAlignment::taCenter:
        return LVCFMT_CENTER;
    default:
        return LVCFMT_LEFT;
    }
}

DWORD ViewStyleBits(TViewStyle style)
{
    switch (style) {
    case TViewStyle::vsSmallIcon:
        return LVS_SMALLICON;
    case TViewStyle::vsList:
        return LVS_LIST;
    case TViewStyle::vsReport:
        return LVS_REPORT;
    default:
        return LVS_ICON;
    }
}

}  // namespace

// --- TListHeader ---------------------------------------------------------

int TListHeader::Count() const
{
    return handle_ ? static_cast<int>(SendMessageW(handle_, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int TListHeader::Format(int index) const
{
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!handle_ || !SendMessageW(handle_, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.fmt;
}

HBITMAP TListHeader::Bitmap(int index) const
{
    HDITEMW item{};
    item.mask = HDI_BITMAP;
    if (!handle_ || !SendMessageW(handle_, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return item.hbm;
}

void TListHeader::SetFormat(int index, int format, HBITMAP bitmap)
{
    if (!handle_)
        return;
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    item.fmt = format;
    if (format & HDF_BITMAP) {
        item.mask |= HDI_BITMAP;
        item.hbm = bitmap;
    }
    SendMessageW(handle_, HDM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
}

void TListHeader::Invalidate()
{
    if (handle_)
        InvalidateRect(handle_, nullptr, TRUE);
}

// --- TCustomListView -----------------------------------------------------

TCustomListView::TCustomListView(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 250, 150);
    SetColor(clWindow);
}

TCustomListView::~TCustomListView()
{
    // The image lists may outlive the list; they must not call back into it.
    UnlinkImages(smallImages_);
    UnlinkImages(largeImages_);
}

void TCustomListView::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WC_LISTVIEWW;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | LVS_SHAREIMAGELISTS | ViewStyleBits(viewStyle_);
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (!readOnly_)
        params.Style |= LVS_EDITLABELS;
    if (!multiSelect_)
        params.Style |= LVS_SINGLESEL;
    if (!hideSelection_)
        params.Style |= LVS_SHOWSELALWAYS;
    if (ownerData_)
        params.Style |= LVS_OWNERDATA;
    if (!showColumnHeaders_)
        params.Style |= LVS_NOCOLUMNHEADER;
}

void TCustomListView::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    ApplyExtendedStyles();
    SetColor(Color());
    SendImageList(smallImages_, LVSIL_SMALL);
    SendImageList(largeImages_, LVSIL_NORMAL);
    for (int i = 0; i < ColumnCount(); ++i)
        InsertColumnInWindow(i);
    if (columnOrder_.size() == columns_.size() && !columns_.empty())
        SendMessageW(handle_, LVM_SETCOLUMNORDERARRAY, columnOrder_.size(),
                     reinterpret_cast<LPARAM>(columnOrder_.data()));
    if (ownerData_) {
        SendMessageW(handle_, LVM_SETITEMCOUNT, virtualCount_, 0);
    } else {
        for (int i = 0; i < static_cast<int>(items_.size()); ++i)
            InsertItemInWindow(i);
    }
}

void TCustomListView::SetColor(TColor color)
{
    TWinControl::SetColor(color);
    if (!handle_)
        return;
    const COLORREF rgb = ColorToRGB(color);
    SendMessageW(handle_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(rgb));
    SendMessageW(handle_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(rgb));
}

void TCustomListView::DestroyWnd()
{
    if (HandleAllocated()) {
        for (int i = 0; i < ColumnCount(); ++i)
            columns_[i].Width = ColumnWidth(i);
        columnOrder_ = ColumnOrder();
    }
    TWinControl::DestroyWnd();
}

void TCustomListView::ApplyStyleBit(DWORD bit, bool on)
{
    if (HandleAllocated())
        SetStyleBit(handle_, bit, on);
}

void TCustomListView::ApplyExtendedStyles()
{
    if (!HandleAllocated())
        return;
    const DWORD mask = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | extraExMask_;
    DWORD styles = LVS_EX_HEADERDRAGDROP | extraExStyles_;
    if (gridLines_)
        styles |= LVS_EX_GRIDLINES;
    if (rowSelect_)
        styles |= LVS_EX_FULLROWSELECT;
    SendMessageW(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, styles);
}

void TCustomListView::SetExtendedStyles(DWORD bits, bool on)
{
    extraExMask_ |= bits;
    extraExStyles_ = on ? (extraExStyles_ | bits) : (extraExStyles_ & ~bits);
    ApplyExtendedStyles();
}

void TCustomListView::SetShowColumnHeaders(bool on)
{
    showColumnHeaders_ = on;
    ApplyStyleBit(LVS_NOCOLUMNHEADER, !on);
}

HWND TCustomListView::HeaderHandle() const
{
    return handle_ ? reinterpret_cast<HWND>(SendMessageW(handle_, LVM_GETHEADER, 0, 0)) : nullptr;
}

// --- image lists

void TCustomListView::SendImageList(const TImageLink& link, int which)
{
    if (HandleAllocated())
        SendMessageW(handle_, LVM_SETIMAGELIST, which,
                     reinterpret_cast<LPARAM>(link.List ? link.List->Handle() : nullptr));
}

void TCustomListView::UnlinkImages(TImageLink& link)
{
    if (link.List)
        link.List->RemoveChangeListener(link.Listener);
    link = TImageLink{};
}

void TCustomListView::LinkImages(TImageLink& link, TImageList* images, int which)
{
    if (images == link.List)
        return;
    UnlinkImages(link);
    link.List = images;
    if (images)
        link.Listener = images->AddChangeListener([this, &link, which](bool destroying) {
            if (destroying)
                link = TImageLink{};
            // The handle may be new (a changed size) or gone.
            SendImageList(link, which);
        });
    SendImageList(link, which);
}

void TCustomListView::SetSmallImages(TImageList* images)
{
    LinkImages(smallImages_, images, LVSIL_SMALL);
}

void TCustomListView::SetLargeImages(TImageList* images)
{
    LinkImages(largeImages_, images, LVSIL_NORMAL);
}

void TCustomListView::SetViewStyle(TViewStyle style)
{
    viewStyle_ = style;
    if (!HandleAllocated())
        return;
    const LONG_PTR current = GetWindowLongPtrW(handle_, GWL_STYLE);
    SetWindowLongPtrW(handle_, GWL_STYLE, (current & ~LVS_TYPEMASK) | ViewStyleBits(style));
    InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomListView::SetGridLines(bool on)
{
    gridLines_ = on;
    ApplyExtendedStyles();
}

void TCustomListView::SetRowSelect(bool on)
{
    rowSelect_ = on;
    ApplyExtendedStyles();
}

void TCustomListView::SetReadOnly(bool on)
{
    readOnly_ = on;
    ApplyStyleBit(LVS_EDITLABELS, !on);
}

void TCustomListView::SetMultiSelect(bool on)
{
    multiSelect_ = on;
    ApplyStyleBit(LVS_SINGLESEL, !on);
}

void TCustomListView::SetHideSelection(bool on)
{
    hideSelection_ = on;
    ApplyStyleBit(LVS_SHOWSELALWAYS, !on);
}

void TCustomListView::SetOwnerData(bool on)
{
    if (on == ownerData_)
        return;
    ownerData_ = on;
    // The two modes share no rows.
    items_.clear();
    virtualCount_ = 0;
    RecreateWnd();
}

// --- columns

void TCustomListView::InsertColumnInWindow(int index)
{
    TListColumn& column = columns_[index];
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lvc.fmt = ColumnFormat(column.Alignment);
    lvc.cx = column.Width;
    lvc.pszText = column.Caption.data();
    lvc.iSubItem = index;
    SendMessageW(handle_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&lvc));
}

int TCustomListView::AddColumn(const std::wstring& caption, int width, TAlignment alignment)
{
    columns_.push_back(TListColumn{caption, width, alignment});
    columnOrder_.clear();
    const int index = ColumnCount() - 1;
    if (HandleAllocated())
        InsertColumnInWindow(index);
    return index;
}

void TCustomListView::SetColumnCaption(int index, const std::wstring& caption)
{
    TListColumn& column = columns_.at(index);
    column.Caption = caption;
    if (!HandleAllocated())
        return;
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT;
    lvc.pszText = column.Caption.data();
    SendMessageW(handle_, LVM_SETCOLUMNW, index, reinterpret_cast<LPARAM>(&lvc));
}

int TCustomListView::ColumnWidth(int index)
{
    const TListColumn& column = columns_.at(index);
    if (!HandleAllocated())
        return column.Width;
    return static_cast<int>(SendMessageW(handle_, LVM_GETCOLUMNWIDTH, index, 0));
}

void TCustomListView::SetColumnWidth(int index, int width)
{
    columns_.at(index).Width = width;
    if (HandleAllocated())
        SendMessageW(handle_, LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0));
}

void TCustomListView::ReadColumnWidth(int index)
{
    TListColumn& column = columns_.at(index);
    if (HandleAllocated())
        column.Width = static_cast<int>(SendMessageW(handle_, LVM_GETCOLUMNWIDTH, index, 0));
}

void TCustomListView::ClearColumns()
{
    if (HandleAllocated())
        for (int i = ColumnCount() - 1; i >= 0; --i)
            SendMessageW(handle_, LVM_DELETECOLUMN, i, 0);
    columns_.clear();
    columnOrder_.clear();
}

std::vector<int> TCustomListView::ColumnOrder()
{
    std::vector<int> order(columns_.size());
    if (!HandleAllocated() || order.empty()) {
        if (columnOrder_.size() == columns_.size())
            return columnOrder_;
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        return order;
    }
    SendMessageW(handle_, LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
    return order;
}

void TCustomListView::SetColumnOrder(const std::vector<int>& order)
{
    if (order.size() != columns_.size())
        throw EListError(L"Die Spaltenreihenfolge muss jede Spalte einmal nennen");
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        if (sorted[i] != static_cast<int>(i))
            throw EListError(L"Die Spaltenreihenfolge muss jede Spalte einmal nennen");
    columnOrder_ = order;
    if (HandleAllocated()) {
        SendMessageW(handle_, LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
        InvalidateRect(handle_, nullptr, TRUE);
    }
}

// --- items

void TCustomListView::InsertItemInWindow(int index)
{
    TListItem& item = items_[index];
    LVITEMW lvi{};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = index;
    lvi.pszText = item.Caption.data();
    SendMessageW(handle_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lvi));
    for (size_t sub = 0; sub < item.SubItems.size(); ++sub) {
        LVITEMW subItem{};
        subItem.iSubItem = static_cast<int>(sub + 1);
        subItem.pszText = item.SubItems[sub].data();
        SendMessageW(handle_, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&subItem));
    }
}

int TCustomListView::ItemCount()
{
    if (ownerData_)
        return virtualCount_;
    return static_cast<int>(items_.size());
}

void TCustomListView::SetItemCount(int count)
{
    if (!ownerData_)
        throw EInvalidOperation(L"Die Anzahl der Einträge lässt sich nur im Owner-Data-Modus setzen");
    virtualCount_ = std::max(0, count);
    if (HandleAllocated())
        SendMessageW(handle_, LVM_SETITEMCOUNT, virtualCount_, 0);
}

int TCustomListView::AddItem(const std::wstring& caption, const std::vector<std::wstring>& subItems)
{
    if (ownerData_)
        throw EInvalidOperation(L"Im Owner-Data-Modus hält die Liste keine Einträge");
    items_.push_back(TListItem{caption, subItems});
    const int index = static_cast<int>(items_.size()) - 1;
    if (HandleAllocated())
        InsertItemInWindow(index);
    return index;
}

void TCustomListView::DeleteItem(int index)
{
    if (index < 0 || index >= static_cast<int>(items_.size()))
        throw EListError(L"Listenindex überschreitet das Maximum (" + IntToStr(index) + L")");
    items_.erase(items_.begin() + index);
    if (HandleAllocated())
        SendMessageW(handle_, LVM_DELETEITEM, index, 0);
}

void TCustomListView::ClearItems()
{
    items_.clear();
    virtualCount_ = 0;
    if (HandleAllocated())
        SendMessageW(handle_, LVM_DELETEALLITEMS, 0, 0);
}

int TCustomListView::SelCount()
{
    return HandleAllocated() ? static_cast<int>(SendMessageW(handle_, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

bool TCustomListView::Selected(int index)
{
    return HandleAllocated() && (SendMessageW(handle_, LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void TCustomListView::SetSelected(int index, bool selected)
{
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
}

int TCustomListView::ItemFocused()
{
    if (!HandleAllocated())
        return -1;
    return static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void TCustomListView::SetItemFocused(int index)
{
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED;
    state.state = LVIS_FOCUSED;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
}

void TCustomListView::BeginUpdate()
{
    if (updateCount_++ == 0 && HandleAllocated())
        SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
}

void TCustomListView::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0 || !HandleAllocated())
        return;
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomListView::OwnerDataFetch(int /*item*/, int /*subItem*/, std::wstring& /*text*/) {}

LRESULT TCustomListView::CustomDraw(NMLVCUSTOMDRAW& /*draw*/)
{
    return CDRF_DODEFAULT;
}

void TCustomListView::HeaderNotify(NMHDR& /*header*/, TMessage& message)
{
    DefaultHandler(message);
}

void TCustomListView::DoNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case NM_CUSTOMDRAW:
        result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        break;
    case LVN_GETDISPINFOW: {
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        if (ownerData_ && (info.item.mask & LVIF_TEXT) && info.item.pszText && info.item.cchTextMax > 0) {
            std::wstring text;
            OwnerDataFetch(info.item.iItem, info.item.iSubItem, text);
            const size_t n = std::min(text.size(), static_cast<size_t>(info.item.cchTextMax - 1));
            text.copy(info.item.pszText, n);
            info.item.pszText[n] = L'\0';
        }
        break;
    }
    case LVN_COLUMNCLICK:
        if (OnColumnClick)
            OnColumnClick(this, reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        break;
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && OnChange)
            OnChange(this, change.iItem);
        break;
    }
    case LVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        const int index = info.item.iItem;
        if (info.item.pszText && !ownerData_ && index >= 0 && index < static_cast<int>(items_.size())) {
            items_[index].Caption = info.item.pszText;
            result = TRUE;
        }
        break;
    }
    default:
        break;
    }
}

void TCustomListView::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case CN_NOTIFY: {
        LRESULT result = 0;
        DoNotify(*reinterpret_cast<NMHDR*>(message.LParam), result);
        message.Result = result;
        return;
    }
    case WM_NOTIFY: {
        // The header is the list's child and tells the list itself.
        auto& header = *reinterpret_cast<NMHDR*>(message.LParam);
        if (header.hwndFrom && header.hwndFrom == HeaderHandle()) {
            HeaderNotify(header, message);
            return;
        }
        break;
    }
    case WM_KEYDOWN:
        if (KeySwallowed(OnKeyDown, this, message.WParam)) {
            message.Result = 0;
            return;
        }
        KeyReachesControl(message.WParam);
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv
