#include "panels/win/DirView.h"
#include "panels/win/ShellFoldersWin.h"

#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileChanges.h"
#include "framework/SysUtils.h"
#include "framework/TimingTrace.h"
#include "framework/win/Handles.h"
#include "panels/win/DirViewIcons.h"
#include "panels/win/DirViewSystemWin.h"
#include "panels/win/DirViewWatch.h"
#include "panels/win/DriveView.h"
#include "panels/win/LocaleCollator.h"
#include "panels/win/PaneDragDrop.h"
#include "panels/win/SentMessageWait.h"

#include <shlobj.h>
#include <wrl/client.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace qrv {

namespace {

// The shell's "find folder" animation in SHELL32.DLL.
constexpr int kFindFolderAnimation = 150;

// The shell's info tip of a file or folder; empty when it has none.
std::wstring ShellInfoTip(const std::wstring& Path)
{
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(SHParseDisplayName(Path.c_str(), nullptr, &pidl, 0, nullptr)) || !pidl)
        return {};
    const TTaskMemory ownedPidl(pidl);
    std::wstring text;
    Microsoft::WRL::ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (SUCCEEDED(SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(parent.GetAddressOf()), &child))) {
        Microsoft::WRL::ComPtr<IQueryInfo> query;
        if (SUCCEEDED(parent->GetUIObjectOf(nullptr, 1, &child, IID_IQueryInfo, nullptr,
                                            reinterpret_cast<void**>(query.GetAddressOf())))) {
            wchar_t* tip = nullptr;
            if (SUCCEEDED(query->GetInfoTip(0, &tip)) && tip) {
                const TTaskMemory ownedTip(tip);
                text = tip;
            }
        }
    }
    return text;
}

// An upward arrow in a 16-pixel box at X, Y (Large: 16 wide, 24 high), over
// the ".." item's folder icon.
void DrawParentArrow(HDC dc, int X, int Y, bool Large)
{
    const int h = Large ? 24 : 16;
    const POINT points[] = {{X + 8, Y + 1},     {X + 15, Y + 8}, {X + 11, Y + 8}, {X + 11, Y + h - 1},
                            {X + 5, Y + h - 1}, {X + 5, Y + 8},  {X + 1, Y + 8}};
    const TGdiObject brush(CreateSolidBrush(RGB(0, 128, 0)));
    const TSelectObject selectBrush(dc, brush.Get());
    const TSelectObject selectPen(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, points, static_cast<int>(std::size(points)));
}

}  // namespace

TDirView::TDirView(TComponent* owner)
    : TKyListView(owner), TDirViewCore(this, WinDirSystem(), WinDirSystem(), DirViewTexts())
{
    SetOwnerData(true);
    SetViewStyle(TViewStyle::vsReport);
    TKyListView::SetMultiSelect(true);  // the list's own setter wants the columns made
    SetHideSelection(false);
    SetCollator(std::make_shared<TLocaleCollator>());
    SetShellFolders(&WinShellFolders());
    hiddenColor_ = GetSysColor(COLOR_GRAYTEXT);
    captionLanguage_ = PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID()));
    colWidths_.assign(kDirColumnWidths.begin(), kDirColumnWidths.end());
    MakeColumns();
}

void TDirView::MakeColumns()
{
    ClearColumns();
    for (int i = 0; i < kDirColumnCount; ++i)
        AddColumn(L"", colWidths_[static_cast<size_t>(i)],
                  DirColumnRightAligned(i) ? TAlignment::taRightJustify : TAlignment::taLeftJustify);
    shownCaptions_ = {};
    SetColumnCaptions();
}

TDirView::~TDirView()
{
    EndDirScans();
    // No report of a drag's poller and no drop reaches a list being freed.
    dragPoller_.reset();
    dragDrop_.reset();
    // The tree must not go on driving a list that is gone.
    if (driveView_ && driveView_->DirView() == this)
        driveView_->SetDirView(nullptr);
}

void TDirView::SetMask(const std::wstring& value)
{
    const std::wstring old = Mask();
    TKyListView::SetMask(value);
    if (Mask() == old)
        return;
    if (Loaded())
        ReloadDirectory();
    SetColumnCaptions();
}

// ---- Options ----------------------------------------------------------------------

void TDirView::Repaint()
{
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

void TDirView::SetDirsOnTop(bool Value)
{
    if (Value == dirsOnTop_)
        return;
    dirsOnTop_ = Value;
    if (ShowDirectories() && Loaded())
        SortItems();
}

void TDirView::SetSortByExtension(bool Value)
{
    if (Value == sortByExtension_)
        return;
    sortByExtension_ = cells_.SortByExtension = Value;
    if (SortColumn() == 2)
        SortItems();
    else
        Repaint();
}

void TDirView::SetSortDirTime(bool Value)
{
    if (Value == sortDirTime_)
        return;
    sortDirTime_ = Value;
    if (SortColumn() == 3)
        SortItems();
}

void TDirView::SetAbbreviatedSize(bool Value)
{
    cells_.AbbreviatedSize = Value;
    Repaint();
}

void TDirView::SetShowSubDirSize(bool Value)
{
    cells_.ShowSubDirSize = Value;
    TDirViewCore::SetShowSubDirSize(Value);
    Repaint();
}

void TDirView::SetAttrSpace(const std::wstring& Value)
{
    cells_.AttrSpace = Value;
    Repaint();
}

void TDirView::SetCompressedColor(uint32_t Value)
{
    compressedColor_ = Value;
    Repaint();
}

void TDirView::SetHiddenColor(uint32_t Value)
{
    hiddenColor_ = Value;
    Repaint();
}

void TDirView::SetShowInfoTips(bool Value)
{
    showInfoTips_ = Value;
    ApplyToolTipDelays();
}

void TDirView::ApplyToolTipDelays()
{
    if (!HandleAllocated())
        return;
    const HWND tip = reinterpret_cast<HWND>(SendMessageW(handle_, LVM_GETTOOLTIPS, 0, 0));
    if (!tip)
        return;
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 10000);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, showInfoTips_ ? 1000 : 0);
}

void TDirView::SetShowMaskInHeader(bool Value)
{
    if (Value == showMaskInHeader_)
        return;
    showMaskInHeader_ = Value;
    SetColumnCaptions();
}

void TDirView::SetCaptionLanguage(int Value)
{
    captionLanguage_ = Value;
    SetColumnCaptions();
}

// ---- Columns ----------------------------------------------------------------------

void TDirView::SetColumnCaptions()
{
    const TDirColumnTexts captions = DirColumnCaptions(captionLanguage_, Mask(), showMaskInHeader_, Filter);
    if (captions == shownCaptions_ && HandleAllocated())
        return;
    for (int i = 0; i < kDirColumnCount && i < ColumnCount(); ++i)
        SetColumnCaption(i, captions[static_cast<size_t>(i)]);
    shownCaptions_ = captions;
    // A new caption text drops the header item's mark.
    if (HandleAllocated())
        UpdateSortMarks();
}

void TDirView::ApplyColumnLayout()
{
    shownCaptions_ = {};
    SetColumnCaptions();
    for (int i = 0; i < kDirColumnCount && i < ColumnCount(); ++i)
        SetColumnWidth(i, colWidths_[static_cast<size_t>(i)]);
}

void TDirView::StoreColumnWidths()
{
    for (int i = 0; i < kDirColumnCount && i < ColumnCount(); ++i)
        colWidths_[static_cast<size_t>(i)] = ColumnWidth(i);
}

void TDirView::SetColWidth(int Column, int Width)
{
    colWidths_.at(static_cast<size_t>(Column)) = Width;
    if (Column < ColumnCount())
        SetColumnWidth(Column, Width);
}

void TDirView::SetColumnOrderAndRepaint(const std::vector<int>& Order)
{
    SetColumnOrder(Order);
    Repaint();
}

// ---- View styles -----------------------------------------------------------------

void TDirView::SetViewStyleEx(TViewStyleEx Value)
{
    if (HandleAllocated() && Value == TViewStyleEx::vsxTile && !Themed())
        Value = TViewStyleEx::vsxIcon;
    if (Value == viewStyleEx_ || Loading())
        return;
    viewStyleEx_ = Value;
    ViewBeginUpdate();
    switch (Value) {
    case TViewStyleEx::vsxSmallIcon:
        SetViewStyle(TViewStyle::vsSmallIcon);
        break;
    case TViewStyleEx::vsxList:
        SetViewStyle(TViewStyle::vsList);
        break;
    case TViewStyleEx::vsxReport:
        SetViewStyle(TViewStyle::vsReport);
        break;
    default:
        SetViewStyle(TViewStyle::vsIcon);
        break;
    }
    ShowThumbnailList(Value == TViewStyleEx::vsxThumb);
    if (HandleAllocated() && Value != TViewStyleEx::vsxTile) {
        // Leaves tile view, which the style bits alone do not.
        const WPARAM view = Value == TViewStyleEx::vsxSmallIcon ? LV_VIEW_SMALLICON
                            : Value == TViewStyleEx::vsxList    ? LV_VIEW_LIST
                            : Value == TViewStyleEx::vsxReport  ? LV_VIEW_DETAILS
                                                                : LV_VIEW_ICON;
        SendMessageW(handle_, LVM_SETVIEW, view, 0);
    } else if (HandleAllocated()) {
        // Tiles show the size as their second line.
        if (SendMessageW(handle_, LVM_SETVIEW, LV_VIEW_TILE, 0) == -1) {
            viewStyleEx_ = TViewStyleEx::vsxIcon;
        } else {
            LVTILEVIEWINFO info{};
            info.cbSize = sizeof info;
            info.dwMask = LVTVIM_COLUMNS;
            info.cLines = 1;
            SendMessageW(handle_, LVM_SETTILEVIEWINFO, 0, reinterpret_cast<LPARAM>(&info));
        }
    }
    ViewEndUpdate();
    Repaint();
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

TDirCellOptions TDirView::CellOptions() const
{
    TDirCellOptions options = cells_;
    options.FileNameDisplay = FileNameDisplay();
    options.ShellFolder = IsVirtual();
    static const std::wstring separator = LocaleThousandSeparator();
    options.ThousandSeparator = separator;
    return options;
}

TDirSortOptions TDirView::SortOptions() const
{
    return {SortKindFor(SortColumn(), sortByExtension_), SortAscending(), dirsOnTop_, sortDirTime_};
}

std::wstring TDirView::CellText(TFileRec& Item, int Column)
{
    if (Column == 2)
        FetchShownTypeName(Item);
    TDirCellOptions& options = cells_;
    options.FileNameDisplay = FileNameDisplay();
    options.ShellFolder = IsVirtual();
    static const std::wstring separator = LocaleThousandSeparator();
    options.ThousandSeparator = separator;
    return DirCellText(Item, Column, options, [this](uint64_t time) { return FormatFileTime(time); });
}

std::wstring TDirView::ItemCellText(int Index, int Column)
{
    TFileRec* rec = ItemsReady() ? GetItemData(Index) : nullptr;
    return rec ? CellText(*rec, Column) : std::wstring();
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
    // Workers read the records; they wait until the order is settled.
    StopWorkers();
    ShowBusy(true);
    try {
        TUpdateBracket update(*this);
        SortBy(SortOptions());
    } catch (...) {
        ShowBusy(false);
        throw;
    }
    ShowBusy(false);
    if (!Loading())
        StartWorkers();
    MakeFocusedVisible();
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

void TDirView::ClearShownSelection(bool Notify)
{
    // Only what the control holds is cleared: clearing every item costs it
    // a pass over all of them, and so does the state of all at once (the
    // control visits each item, 30 ms for 100,000 under Wine): a few are
    // cleared one by one. With Notify the records follow, as they follow
    // the user's clicks; many selected are left to the control then.
    constexpr LRESULT kClearedOneByOne = 256;
    const LRESULT shown = SendMessageW(handle_, LVM_GETSELECTEDCOUNT, 0, 0);
    if (shown <= 0)
        return;
    if (shown > kClearedOneByOne) {
        if (!Notify)
            SetControlState(-1, 0, LVIS_SELECTED);
        return;
    }
    std::vector<int> selected;
    const int count = static_cast<int>(SendMessageW(handle_, LVM_GETITEMCOUNT, 0, 0));
    for (int i = -1;
         static_cast<LRESULT>(selected.size()) < shown &&
         (i = static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0 &&
         i < count;)
        selected.push_back(i);
    for (const int index : selected) {
        if (!Notify) {
            SetControlState(index, 0, LVIS_SELECTED);
            continue;
        }
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        SendMessageW(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
}

void TDirView::ItemsChanged()
{
    ForgetRequestedIcons();
    // Also kept while there is no window: the window is made with it.
    SetItemCount(ItemCount());
    paintTracePending_ = true;
    // Before the control exists the count is only kept for it.
    if (TimingTraceEnabled())
        TraceTiming(L"list count " + std::to_wstring(ItemCount()) + L" " + GetPath() +
                    (HandleAllocated() ? L"" : L" (kept until the control is made)"));
    if (!HandleAllocated())
        return;
    // A load may have changed the filter the captions note.
    SetColumnCaptions();
    ClearShownSelection();
    const int shownFocus =
        static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (shownFocus >= 0)
        SetControlState(shownFocus, 0, LVIS_FOCUSED);
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

void TDirView::LoadProgress(int Added)
{
    if (OnLoadProgress)
        OnLoadProgress(this, Added);
    AnswerSentMessages();
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
    animation_ =
        CreateWindowExW(0, ANIMATE_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY,
                        (client.right - width) / 2, (client.bottom - height) / 2, width, height, handle_, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    if (animation_ && !SendMessageW(animation_, ACM_OPENW, reinterpret_cast<WPARAM>(GetModuleHandleW(L"shell32.dll")),
                                    reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(kFindFolderAnimation))))
        FreeAnimation();
    if (animation_)
        UpdateWindow(animation_);
}

void TDirView::AnswerSentMessages()
{
    // A long read keeps answering what other threads and programs send to
    // the window (the system's "not responding" check among them): only sent
    // messages are handled, posted input waits until the list is complete.
    constexpr uint64_t kAnswerInterval = 20;  // ms
    const uint64_t now = GetTickCount64();
    if (now - lastAnswered_ < kAnswerInterval)
        return;
    lastAnswered_ = now;
    qrv::AnswerSentMessages();
}

void TDirView::RunAnswering(const std::function<void()>& Work)
{
    // Sorting a large folder takes long enough for other threads and
    // programs to notice.
    RunAnsweringSentMessages(Work);
}

void TDirView::LoadAfterSort()
{
    // Posted: the load runs from the message loop, not inside the code that sorted.
    if (!HandleAllocated() || !PostMessageW(handle_, kLoadAfterSortMessage, 0, 0))
        LoadFromDisk(Path());
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
    // Overlays (the share hand, the shortcut arrow) and the cut look are
    // asked for per item.
    SendMessageW(handle_, LVM_SETCALLBACKMASK, LVIS_OVERLAYMASK | LVIS_CUT | LVIS_DROPHILITED, 0);
    shownCaptions_ = {};
    SetColumnCaptions();
    ApplyToolTipDelays();
    ItemsChanged();
    if (icons_)
        icons_->Window.Set(handle_);
}

void TDirView::DestroyWnd()
{
    // The records stay: a window made again shows them.
    if (icons_)
        icons_->Window.Set(nullptr);
    FreeAnimation();
    TKyListView::DestroyWnd();
}

// ---- Notifications ----------------------------------------------------------------------

LRESULT TDirView::CustomDraw(NMLVCUSTOMDRAW& draw)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const TFileRec* rec = ItemsReady() ? GetItemData(static_cast<int>(draw.nmcd.dwItemSpec)) : nullptr;
        if (!rec)
            return CDRF_DODEFAULT;
        LRESULT answer = rec->IsParentDir && ShowParentArrow ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
        const uint32_t normal = draw.clrText;
        const uint32_t color = ItemTextColor(rec->Attr, compressedColor_, hiddenColor_, normal);
        if (color != normal) {
            draw.clrText = color;
            draw.clrTextBk = static_cast<COLORREF>(SendMessageW(handle_, LVM_GETBKCOLOR, 0, 0));
            answer |= CDRF_NEWFONT;
        }
        return answer;
    }
    case CDDS_ITEMPOSTPAINT: {
        RECT icon{};
        icon.left = LVIR_ICON;
        if (!SendMessageW(handle_, LVM_GETITEMRECT, draw.nmcd.dwItemSpec, reinterpret_cast<LPARAM>(&icon)))
            return CDRF_DODEFAULT;
        const auto arrow =
            ParentArrowAt(viewStyleEx_, icon.left, icon.top, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        if (arrow)
            DrawParentArrow(draw.nmcd.hdc, arrow->At.X, arrow->At.Y, arrow->Large);
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

std::wstring TDirView::InfoTipText(int Index)
{
    TFileRec* rec = ItemsReady() ? GetItemData(Index) : nullptr;
    // By the item, not by its index: a drive root has no "..".
    if (!showInfoTips_ || !rec || !WantsInfoTip(*rec))
        return {};
    std::wstring text = IsVirtual() ? std::wstring() : ShellInfoTip(ItemFullFileName(rec));
    if (!text.empty())
        return text;
    if (rec->InfoEmpty)
        GetFileInfo(*rec, false);
    return InfoTipFallbackText(*rec, FormatSizeText(static_cast<int64_t>(rec->Size), true),
                               FormatFileDate(rec->LastWrite));
}

void TDirView::AssignFrom(TDirView& Other)
{
    SetLoadEnabled(false);
    {
        TUpdateBracket update(*this);
        Other.StoreColumnWidths();
        for (int i = 0; i < kDirColumnCount; ++i)
            SetColWidth(i, Other.ColWidth(i));
        SetMask(Other.Mask());
        SetDateTimeDisplay(Other.DateTimeDisplay());
        SetPath(Other.Path());
        SetDirsOnTop(Other.DirsOnTop());
        SetFileNameDisplay(Other.FileNameDisplay());
        // The compression choices stay this list's own.
        Filter.SelFileDateFrom = Other.Filter.SelFileDateFrom;
        Filter.SelFileDateTo = Other.Filter.SelFileDateTo;
        Filter.SelFileSizeFrom = Other.Filter.SelFileSizeFrom;
        Filter.SelFileSizeTo = Other.Filter.SelFileSizeTo;
        Filter.SelHidden = Other.Filter.SelHidden;
        Filter.SelReadOnly = Other.Filter.SelReadOnly;
        Filter.SelSysFile = Other.Filter.SelSysFile;
        Filter.SelArchive = Other.Filter.SelArchive;
        SetShowSubDirSize(Other.ShowSubDirSize());
        SetSortAscending(Other.SortAscending());
        SetSortByExtension(Other.SortByExtension());
        SetSortColumn(Other.SortColumn());
        SetSortDirTime(Other.SortDirTime());
        SetAttrSpace(Other.AttrSpace());
        SetViewStyleEx(Other.ViewStyleEx());
    }
    SetLoadEnabled(true);
}

void TDirView::GetInfoTip(NMLVGETINFOTIPW& tip)
{
    // Only where the control offers no text of its own (a cut-off label).
    if (!showInfoTips_ || !tip.pszText || tip.cchTextMax <= 0 || tip.pszText[0])
        return;
    const std::wstring text = InfoTipText(tip.iItem);
    const size_t n = std::min(text.size(), static_cast<size_t>(tip.cchTextMax - 1));
    text.copy(tip.pszText, n);
    tip.pszText[n] = L'\0';
}

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
        if (viewStyleEx_ == TViewStyleEx::vsxThumb) {
            // The empty frame until the item's thumbnail is made.
            GetTypeName(*rec);
            if (rec->ThumbIndex == 0)
                RequestIcon(item.iItem, *rec);
            item.iImage = rec->ThumbIndex;
        } else {
            // Fetched when first shown, here or by the icon thread.
            FetchShownIcon(item.iItem, *rec);
            item.iImage = rec->ImageIndex;
        }
    }
    if ((item.mask & LVIF_COLUMNS) && item.puColumns && item.cColumns > 0) {
        // The tile's extra line: the size.
        item.cColumns = 1;
        item.puColumns[0] = 1;
    }
    if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_OVERLAYMASK)) {
        item.state &= ~LVIS_OVERLAYMASK;
        if (rec->OverlayIndex >= 0)
            item.state |= INDEXTOOVERLAYMASK(rec->OverlayIndex + 1);
    }
    if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_CUT)) {
        item.state &= ~LVIS_CUT;
        if (IsCut(*rec))
            item.state |= LVIS_CUT;
    }
    if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_DROPHILITED)) {
        item.state &= ~LVIS_DROPHILITED;
        if (rec == dropHighlight_)
            item.state |= LVIS_DROPHILITED;
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
        for (int i = -1; (i = static_cast<int>(
                              SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0 &&
                         i < count;)
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
    case LVN_GETINFOTIPW:
        GetInfoTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
        return;
    case LVN_ODSTATECHANGED:
        RangeChanged(reinterpret_cast<NMLVODSTATECHANGE&>(header));
        return;
    case NM_CLICK:
    case NM_DBLCLK:
        ItemClicked(reinterpret_cast<NMITEMACTIVATE&>(header), header.code == NM_DBLCLK);
        break;
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
        (void)DragSelectedItems();
        return;
    case LVN_BEGINLABELEDITW: {
        result = BeginLabelEdit(reinterpret_cast<NMLVDISPINFOW&>(header).item.iItem) ? FALSE : TRUE;
        return;
    }
    case LVN_ENDLABELEDITW: {
        result = EndLabelEdit(reinterpret_cast<NMLVDISPINFOW&>(header)) ? TRUE : FALSE;
        return;
    }
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
