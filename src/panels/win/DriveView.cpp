#include "panels/win/DriveView.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/KyTimerThread.h"
#include "framework/TimingTrace.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "panels/VirtualNodes.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveViewNode.h"
#include "panels/win/DriveViewWatch.h"
#include "panels/win/FolderSearch.h"
#include "panels/win/KyDriveInfo.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include <memory>
#include <string_view>
#include <vector>

namespace qrv {

namespace {

// The small system icon of a path (open: the open folder's); -1 when the
// shell has none. Defaults: by the attributes alone, without the disk.
int SmallIconOf(const std::wstring& Path, bool Open, bool Default)
{
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (Open ? SHGFI_OPENICON : 0);
    if (Default)
        flags |= SHGFI_USEFILEATTRIBUTES;
    if (!SHGetFileInfoW(Path.c_str(), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags))
        return -1;
    return info.iIcon;
}

TTreeNode* AsNode(TNodeRef Node) { return static_cast<TTreeNode*>(Node); }

bool FolderExists(const std::wstring& Path)
{
    const DWORD attr = GetFileAttributesW(Path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

// The rectangle of an item's text; the control takes the item in the
// rectangle's first bytes.
bool ItemTextRect(HWND Tree, HTREEITEM Item, RECT& Rect)
{
    std::memcpy(&Rect, &Item, sizeof Item);
    return SendMessageW(Tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&Rect)) != 0;
}

bool IsDrivePath(const std::wstring& Path)
{
    return Path.size() >= 2 && Path[1] == L':';
}

}  // namespace

TDriveView::TDriveView(TComponent* owner) : TTreeView(owner)
{
    SetHideSelection(false);
    SetShowRoot(true);
    // Labels are renamed through the tree's own commands, not in place.
    SetReadOnly(true);
    // The system's small icons; any folder gives the list's handle.
    SHFILEINFOW info{};
    if (auto handle = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
            L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
            SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))) {
        auto* images = new TImageList(this);
        images->ShareImages(handle);
        SetImages(images);
    }
}

TDriveView::~TDriveView()
{
    // The list's link back to this tree must not dangle.
    if (dirView_ && dirView_->DriveView() == this)
        dirView_->SetDriveView(nullptr);
    // No tick after this: the timer thread ends first.
    changeTimer_.reset();
    // The nodes go while this class can still see them being deleted.
    DestroyWnd();
    Items().Clear();
}

void TDriveView::SetDirView(TDirView* Value)
{
    dirView_ = Value;
    if (Value)
        Value->SetDriveView(this);
}

// ---- Nodes -------------------------------------------------------------------

TNodeData& TDriveView::NodeData(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"NodeData");
    auto* holder = dynamic_cast<TDriveViewNode*>(Node->Object());
    if (!holder)
        RaiseNodeNotAssigned(L"NodeData");
    return holder->Data;
}

std::wstring TDriveView::GetDirPath(TTreeNode* Node) { return NodeDirPath(*this, Node); }
std::wstring TDriveView::GetDirPathName(TTreeNode* Node) { return NodeDirPathName(*this, Node); }
wchar_t TDriveView::GetDrive(TTreeNode* Node) { return NodeDrive(*this, Node); }
TTreeNode* TDriveView::RootNode(TTreeNode* Node) { return AsNode(NodeTopLevel(*this, Node)); }
std::wstring TDriveView::GetDisplayDirPath(TTreeNode* Node) { return NodeDisplayDirPath(*this, Node); }
TTreeNode* TDriveView::NodeForPath(const std::wstring& Path) { return AsNode(qrv::NodeForPath(*this, Path)); }

TTreeNode* TDriveView::NodeForPathOrParent(const std::wstring& Path)
{
    return AsNode(qrv::NodeForPathOrParent(*this, Path));
}

TTreeNode* TDriveView::DriveRootNode(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    if (drive < kFirstDrive || drive > kLastDrive)
        return nullptr;
    return AsNode(drives_[drive].RootNode);
}

TNodeRef TDriveView::Parent(TNodeRef Node) { return AsNode(Node)->Parent(); }
int TDriveView::ChildCount(TNodeRef Node) { return AsNode(Node)->Count(); }
TNodeRef TDriveView::Child(TNodeRef Node, int Index) { return AsNode(Node)->Item(Index); }
TNodeData& TDriveView::Data(TNodeRef Node) { return NodeData(AsNode(Node)); }
TNodeRef TDriveView::DriveRoot(wchar_t Drive) { return DriveRootNode(Drive); }
bool TDriveView::DriveScanned(wchar_t Drive) { return drives_[Drive].Scanned; }
void TDriveView::ReadSubDirs(TNodeRef Node) { ReadSubDirs(AsNode(Node)); }

// ---- Directory and selection ---------------------------------------------------

std::wstring TDriveView::GetDirectory()
{
    TTreeNode* node = Selected();
    return node ? GetDirPathName(node) : directory_;
}

void TDriveView::SetDirectory(const std::wstring& Path)
{
    directory_ = Path.size() > 2 && Path.substr(0, 2) == L"\\\\" ? RemoveBackslash(Path) : Path;
    TTimingScope timing(TimingTraceEnabled() ? L"tree finds " + directory_ : std::wstring());
    TTreeNode* node = NodeForPathOrParent(directory_);
    if (!node)
        return;
    if (!HandleAllocated()) {
        SelectNode(node);
        return;
    }
    if (autoScroll_) {
        SelectNode(node);
        SendMessageW(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node->ItemId()));
        return;
    }
    // The view stays where it is; only a node hidden at the left edge
    // brings the text back into sight.
    const auto top = SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
    SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    SelectNode(node);
    if (top)
        SendMessageW(Handle(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, top);
    SendMessageW(Handle(), WM_SETREDRAW, updateLocks_ == 0, 0);
    RECT rect{};
    if (ItemTextRect(Handle(), node->ItemId(), rect) && rect.left < 50)
        SendMessageW(Handle(), WM_HSCROLL, SB_PAGELEFT, 0);
    if (updateLocks_ == 0)
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TDriveView::SetCurrentDrive(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    SetDirectory(drives_.DefaultDir(drive));
    if (autoExpandDir_ && DriveInfo().IsValid(drive))
        if (TTreeNode* root = DriveRootNode(drive))
            root->Expand();
    if (TTreeNode* selected = Selected())
        CenterNode(selected);
}

void TDriveView::CenterNode(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"CenterNode");
    if (!HandleAllocated() || !Node->ItemId())
        return;
    SendMessageW(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(Node->ItemId()));
    RECT client{};
    GetClientRect(Handle(), &client);
    // Each line moves the node by one row; a view that cannot scroll any
    // further ends the walk.
    int lastStep = 0;
    for (int lines = 0; lines < 10000; ++lines) {
        RECT rect{};
        if (!ItemTextRect(Handle(), Node->ItemId(), rect))
            return;
        const int step = CenterScrollStep(rect.top, client.bottom);
        // A row taller than the middle half would swing to and fro.
        if (step == 0 || step == -lastStep)
            return;
        lastStep = step;
        const auto before = SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
        SendMessageW(Handle(), WM_VSCROLL, step < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        if (SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0) == before)
            return;
    }
}

wchar_t TDriveView::GetCurrentDrive()
{
    TTreeNode* node = Selected();
    return node ? GetDrive(node) : L'\0';
}

void TDriveView::SelectNode(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"SelectNode");
    if (Selected() == Node) {
        // A change still waiting for its delay takes effect now.
        pendingChange_ = nullptr;
        DoChange(Node);
        return;
    }
    selecting_ = true;
    try {
        SetSelected(Node);
    } catch (...) {
        selecting_ = false;
        throw;
    }
    selecting_ = false;
    // Without a window the control reports no change: run it here.
    if (!HandleAllocated())
        DoChange(Node);
}

void TDriveView::SetChangeDelay(unsigned Value)
{
    changeDelay_ = Value;
    if (Value == 0) {
        changeTimer_.reset();
        return;
    }
    if (!changeTimer_) {
        changeTimer_ = std::make_unique<TKyTimerThread>(nullptr, false);
        changeTimer_->OnTimer = [this](TKyTimerThread*) { DelayedChangeDue(); };
    }
    changeTimer_->SetInterval(Value);
}

void TDriveView::DelayedChangeDue()
{
    changeTimer_->SetEnabled(false);
    TTreeNode* node = pendingChange_;
    pendingChange_ = nullptr;
    if (node)
        DoChange(node);
}

void TDriveView::Change(TTreeNode* Node)
{
    if (changeDelay_ > 0 && changeTimer_ && !selecting_) {
        pendingChange_ = Node;
        // Enabling again counts a whole interval anew.
        changeTimer_->SetEnabled(false);
        changeTimer_->SetEnabled(true);
        return;
    }
    pendingChange_ = nullptr;
    DoChange(Node);
}

bool TDriveView::DriveReadyForUse(wchar_t Drive)
{
    TDriveInfo& info = DriveInfo();
    TDriveInfoRec rec;
    info.GetData(Drive, rec);
    if (showMessageBox_ || rec.DriveType == kDriveTypeNoRootDir) {
        try {
            return info.IsDriveAccessible(Drive);
        } catch (const std::exception&) {
            return false;
        }
    }
    info.ReadDriveStatus(Drive, dsSize);
    info.GetData(Drive, rec);
    return rec.DriveReady;
}

void TDriveView::DoChange(TTreeNode* Node)
{
    if (Node && Node->Object()) {
        const std::wstring path = GetDirPathName(Node);
        if (path != lastPath_) {
            const wchar_t oldDrive = lastPath_.empty() ? L'\0' : UpCaseDrive(lastPath_[0]);
            lastPath_ = path;
            const wchar_t drive = GetDrive(Node);
            TDriveInfoRec before;
            DriveInfo().GetData(drive, before);
            bool ready = DriveReadyForUse(drive);
            // The network neighbourhood is ready when its folder can be listed.
            if (ready && drive == kNetworkDrive && showMessageBox_)
                ready = CanEnumFolder(NodeFolder(Node));
            if (ready) {
                if (IsDrivePath(path) && !FolderExists(path)) {
                    // Gone meanwhile: go to the parent, whose children are
                    // read again when it next expands. Nodes are not deleted
                    // here, inside the control's own selection change.
                    if (TTreeNode* parent = Node->Parent()) {
                        lastPath_.clear();
                        NodeData(parent).AllScanned = false;
                        if (HandleAllocated())
                            PostMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET,
                                         reinterpret_cast<LPARAM>(parent->ItemId()));
                    }
                    return;
                }
                drives_.SetDefaultDir(drive, path);
                if (drive != oldDrive) {
                    // A removable drive's medium may be taken out: its
                    // monitor would hold the drive open.
                    if (oldDrive && DriveInfo().IsValid(oldDrive)) {
                        TDriveInfoRec old;
                        DriveInfo().GetData(oldDrive, old);
                        if (old.DriveType == kDriveTypeRemovable)
                            StopWatchThreadDrive(oldDrive);
                    }
                    TDriveInfoRec now;
                    DriveInfo().GetData(drive, now);
                    if (drive != kNetworkDrive && (now.Serial != before.Serial || now.Serial == 0)) {
                        DriveInfo().ReadDriveStatus(drive, dsSize);
                        if (OnInsertedDiskChange)
                            OnInsertedDiskChange(this, drive);
                    }
                    if (OnDiskChange)
                        OnDiskChange(this, drive);
                }
                if (dirView_ && dirView_->GetPath() != path) {
                    // The list reads paths of the file system only; a shell
                    // folder without one shows as an empty list.
                    if (drive != kNetworkDrive || (NodeData(Node).IsFileSystem() && path.rfind(L"\\\\", 0) == 0)) {
                        dirView_->SetPath(path);
                    } else {
                        dirView_->SetPathOnly(path);
                        dirView_->ClearItems();
                    }
                }
                StartWatchThread();
            } else if (TTreeNode* root = DriveRootNode(drive)) {
                MessageBeep(MB_ICONHAND);
                ClearNodeChildren(root);
                if (dirView_) {
                    dirView_->SetPathOnly(path);
                    dirView_->ClearItems();
                }
                drives_.SetDefaultDir(drive, L"");
                if (drive != oldDrive) {
                    if (OnInsertedDiskChange)
                        OnInsertedDiskChange(this, drive);
                    if (OnDiskChange)
                        OnDiskChange(this, drive);
                }
            }
        }
    }
    TTreeView::Change(Node);
}

// ---- Loading -------------------------------------------------------------------

void TDriveView::AddRootNode(wchar_t Drive)
{
    auto holder = std::make_unique<TDriveViewNode>();
    TNodeData& data = holder->Data;
    TDriveInfoRec rec;
    DriveInfo().GetData(Drive, rec);
    if (Drive == kNetworkDrive) {
        data.DirName = data.ShortName = L"\\";
        data.DisplayName = rec.DisplayName;
        // Its children are shell folders, read through the shell.
        data.IsVirtual = true;
    } else {
        data.DirName = data.ShortName = std::wstring(1, Drive) + L":\\";
        data.DisplayName = data.DirName;
    }
    data.Pidl = rec.Pidl;
    if (Drive != kNetworkDrive && Drive >= DriveInfo().DefaultDrive() && rec.DriveType != kDriveTypeRemote &&
        rec.Pidl.size() > 2) {
        // The root's own item in My Computer tells whether it is shared.
        TNodeData item;
        if (TPidlPtr last = CopyLastPidlItem(AsPidl(rec.Pidl)))
            item.Pidl = PidlBytes(last.get());
        data.ShellAttr = ShellAttributesIn(drivesFolder_.Get(), item, kDiskAttrMask | kShellAttrHasSubFolder);
    }
    // Before the next root of a later letter, so the drives stay in order.
    TTreeNode* before = nullptr;
    for (wchar_t later = static_cast<wchar_t>(Drive + 1); later <= kLastDrive && !before; ++later)
        before = DriveRootNode(later);
    TTreeNode* root = Items().Insert(nullptr, before, GetDriveText(Drive), TNodeButton::Shown, std::move(holder));
    ApplyShareOverlay(root);
    drives_[Drive].RootNode = root;
    drives_[Drive].Scanned = false;
    drives_[Drive].FullScanned = false;
}

void TDriveView::RemoveRootNode(wchar_t Drive)
{
    StopWatchThreadDrive(Drive);
    TTreeNode* root = DriveRootNode(Drive);
    if (TTreeNode* selected = Selected(); selected && RootNode(selected) == root) {
        for (wchar_t other = kFirstDrive; other <= kLastDrive; ++other)
            if (TTreeNode* otherRoot = DriveRootNode(other); otherRoot && otherRoot != root) {
                SelectNode(otherRoot);
                break;
            }
    }
    drives_[Drive].Scanned = false;
    drives_[Drive].FullScanned = false;
    Items().Delete(root);
    drives_[Drive].RootNode = nullptr;
}

void TDriveView::RefreshRootNodes(bool Rescan, int Flags)
{
    if (scanning_)
        return;
    TDriveInfo& info = DriveInfo();
    info.RefreshAll();
    const wchar_t first = (Flags & 8) || info.DefaultDrive() == L' ' ? kFirstDrive : info.DefaultDrive();
    for (wchar_t drive = first; drive <= kLastDrive; ++drive) {
        if (drive == kSpareDrive)
            continue;
        try {
            TTreeNode* root = DriveRootNode(drive);
            const bool valid = info.IsValid(drive) && (drive != kNetworkDrive || showNetwork_);
            if (valid && root) {
                TDriveInfoRec old;
                info.GetData(drive, old);
                if (readDrives_)
                    info.ReadDriveStatus(drive, Flags & (dsImageIndex | dsSize | dsDisplayName));
                TDriveInfoRec now;
                info.GetData(drive, now);
                if (drive >= info.DefaultDrive() && drives_[drive].Scanned && Rescan && now.Serial != old.Serial)
                    ScanDrive(drive);
                RefreshNodeText(root);
            } else if (valid) {
                AddRootNode(drive);
            } else if (root) {
                RemoveRootNode(drive);
            }
        } catch (const std::exception&) {
            // One drive's trouble does not stop the others.
        }
    }
    rootsLoaded_ = true;
}

void TDriveView::ScanDrive(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    TTreeNode* root = DriveRootNode(drive);
    if (scanning_ || !root || !DriveInfo().IsValid(drive))
        return;
    if (drive == kNetworkDrive) {
        ExpandVirtualNode(root, true);
        drives_[drive].Scanned = root->Count() > 0;
        drives_[drive].FullScanned = false;
        return;
    }
    if (fullDriveScan_) {
        ScanWholeDrive(drive);
        return;
    }
    DriveInfo().ReadDriveStatus(drive, dsSize);
    TDriveInfoRec rec;
    DriveInfo().GetData(drive, rec);
    if (rec.DriveReady) {
        ReadSubDirs(root);
        drives_[drive].Scanned = true;
        drives_[drive].FullScanned = false;
    } else {
        ClearNodeChildren(root);
    }
}

bool TDriveView::ScanDirAllowed(TTreeNode* Node)
{
    bool scan = !NodeData(Node).IsRecycleBin;
    if (OnScanDir)
        OnScanDir(this, Node, scan);
    return scan;
}

void TDriveView::AddSubDirs(TTreeNode* Node, bool Recurse)
{
    const std::wstring path = GetDirPath(Node);
    WIN32_FIND_DATAW found{};
    TFindHandle find(FindFirstFileExW((path + L"\\*.*").c_str(), FindExInfoStandard, &found, FindExSearchNameMatch,
                                     nullptr, 0));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        lastError_ = GetLastError();
        return;
    }
    const std::wstring separator = LocaleThousandSeparator();
    std::vector<TTreeNode*> added;
    do {
        if (!IsListedSubFolder(found, hideHiddenDirs_))
            continue;
        TSearchRec entry;
        entry.Name = found.cFileName;
        entry.Attr = found.dwFileAttributes;
        auto holder = std::make_unique<TDriveViewNode>();
        holder->Data = DiskNodeData(path, entry, found.cAlternateFileName);
        TNodeData& childData = holder->Data;
        const std::wstring caption = FolderCaption(childData, fileNameDisplay_, showDirSize_, separator);
        TTreeNode* child = Items().Insert(Node, nullptr, caption, TNodeButton::Ask, std::move(holder));
        if (!ScanDirAllowed(child)) {
            childData.AllScanned = true;
            child->SetHasChildren(TNodeButton::None);
        } else if (Recurse) {
            added.push_back(child);
        }
    } while (FindNextFileW(find.get(), &found));
    find.reset();
    for (TTreeNode* child : added) {
        if (!continueScan_)
            break;
        TNodeData& childData = NodeData(child);
        AddSubDirs(child, true);
        childData.AllScanned = true;
        childData.Scanned = true;
        if (child->Count() > 0)
            childData.ShellAttr |= kShellAttrHasSubFolder;
        child->SetHasChildren(child->Count() > 0 ? TNodeButton::Shown : TNodeButton::None);
        // Keeps the window alive during a long walk; input is shut off.
        Application->ProcessMessages();
    }
}

void TDriveView::ReadSubDirs(TTreeNode* Node)
{
    if (scanning_)
        return;
    TNodeData& data = NodeData(Node);
    lastError_ = 0;
    if (data.IsVirtual) {
        ExpandVirtualNode(Node, true);
        if (!Node->Parent())
            drives_[kNetworkDrive].Scanned = true;
        Node->SetHasChildren(Node->Count() > 0 ? TNodeButton::Shown : TNodeButton::None);
        return;
    }
    TTimingScope timing(TimingTraceEnabled() ? L"tree read " + GetDirPathName(Node) : std::wstring());
    // One repaint for the whole batch; the control without redrawing also
    // skips its scroll bar upkeep for each deleted and added item.
    LockUpdate();
    try {
        Items().DeleteChildren(Node);
        AddSubDirs(Node, false);
        SortChildren(Node, false);
    } catch (...) {
        UnlockUpdate();
        throw;
    }
    UnlockUpdate();
    data.AllScanned = true;
    if (!Node->Parent())
        drives_[GetDrive(Node)].Scanned = true;
    Node->SetHasChildren(Node->Count() > 0 ? TNodeButton::Shown : TNodeButton::None);
    RefreshNodeText(Node);
}

TTreeNode* TDriveView::InsertDiskNode(TTreeNode* Parent, TNodeData Data)
{
    auto holder = std::make_unique<TDriveViewNode>();
    holder->Data = std::move(Data);
    const std::wstring caption = FolderCaption(holder->Data, fileNameDisplay_, showDirSize_, LocaleThousandSeparator());
    return Items().Insert(Parent, nullptr, caption, TNodeButton::Ask, std::move(holder));
}

void TDriveView::ScanWholeDrive(wchar_t Drive)
{
    TTreeNode* root = DriveRootNode(Drive);
    const HCURSOR savedCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const bool hadWindow = HandleAllocated();
    // Messages are handled during the walk; without input nobody can
    // expand, select or delete a node under it.
    if (hadWindow) {
        EnableWindow(Handle(), FALSE);
        SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    }
    if (OnStartScan)
        OnStartScan(this);
    scanning_ = true;
    continueScan_ = true;
    try {
        Items().DeleteChildren(root);
        lastError_ = 0;
        AddSubDirs(root, true);
    } catch (...) {
        scanning_ = false;
        if (hadWindow) {
            SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
            EnableWindow(Handle(), TRUE);
        }
        SetCursor(savedCursor);
        throw;
    }
    scanning_ = false;
    TNodeData& data = NodeData(root);
    data.AllScanned = true;
    drives_[Drive].Scanned = true;
    drives_[Drive].FullScanned = true;
    SortChildren(root, true);
    root->SetHasChildren(root->Count() > 0 ? TNodeButton::Shown : TNodeButton::None);
    if (hadWindow) {
        SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
        EnableWindow(Handle(), TRUE);
    }
    SetCursor(savedCursor);
    root->Expand();
    if (OnEndScan)
        OnEndScan(this);
}

bool TDriveView::HasSubDirs(const std::wstring& Path) const { return FolderHasSubDirs(Path, hideHiddenDirs_); }

std::wstring TDriveView::GetDriveText(wchar_t Drive)
{
    TDriveInfo& info = DriveInfo();
    TDriveNames names;
    if (info.IsValid(Drive)) {
        names.PrettyName = info.GetPrettyName(Drive);
        names.DisplayName = info.GetDisplayName(Drive);
        names.LongPrettyName = info.GetLongPrettyName(Drive);
    }
    return DriveCaption(Drive, showVolLabel_, volDisplayStyle_, names);
}

std::wstring TDriveView::GetDisplayName(TTreeNode* Node)
{
    TNodeData& data = NodeData(Node);
    if (!Node->Parent())
        return GetDriveText(GetDrive(Node));
    return FolderCaption(data, fileNameDisplay_, showDirSize_, LocaleThousandSeparator());
}

void TDriveView::RefreshNodeText(TTreeNode* Node)
{
    const std::wstring text = GetDisplayName(Node);
    if (text != Node->Text())
        Node->SetText(text);
}

void TDriveView::ClearNodeChildren(TTreeNode* Node)
{
    TNodeData& data = NodeData(Node);
    if (scanning_)
        return;
    LockUpdate();
    Items().DeleteChildren(Node);
    UnlockUpdate();
    Node->SetHasChildren(TNodeButton::Shown);
    if (Node->ItemId() && HandleAllocated()) {
        // Expanded once, the control would open the node again without
        // asking, and nothing would read it.
        TVITEMW item{};
        item.mask = TVIF_STATE;
        item.hItem = Node->ItemId();
        item.stateMask = TVIS_EXPANDEDONCE | TVIS_EXPANDED;
        SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    data.Scanned = false;
    data.AllScanned = false;
    data.Expanded = false;
    data.IconEmpty = true;
    if (!Node->Parent()) {
        drives_[GetDrive(Node)].Scanned = false;
        drives_[GetDrive(Node)].FullScanned = false;
    }
}

void TDriveView::SortChildren(TTreeNode* Node, bool Recurse)
{
    if (!Node)
        RaiseNodeNotAssigned(L"SortChildren");
    Items().SortChildren(Node, [this](const TTreeNode& a, const TTreeNode& b) {
        return CompareNodeNames(NodeData(const_cast<TTreeNode*>(&a)).DisplayName,
                                NodeData(const_cast<TTreeNode*>(&b)).DisplayName) < 0;
    });
    if (Recurse)
        for (int i = 0; i < Node->Count(); ++i)
            if (Node->Item(i)->Count() > 0)
                SortChildren(Node->Item(i), true);
}

void TDriveView::ReportError(TTreeNode* Node)
{
    if (lastError_ != 0 && !(lastError_ == ERROR_FILE_NOT_FOUND && !Node->Parent()) && OnError)
        OnError(this, Node, lastError_);
}

bool TDriveView::CanExpand(TTreeNode* Node)
{
    if (scanning_)
        return false;
    if (!Node->Object() || Node->HasChildren() == TNodeButton::None)
        return true;
    TNodeData& data = NodeData(Node);
    const wchar_t drive = GetDrive(Node);
    const bool isRoot = !Node->Parent();
    if (!isRoot || drives_[drive].Scanned || drive < DriveInfo().DefaultDrive()) {
        if (!data.AllScanned && ScanDirAllowed(Node)) {
            ReadSubDirs(Node);
            ReportError(Node);
        }
        return true;
    }
    if (Node->Count() > 0)
        return true;
    if (!DriveReadyForUse(drive))
        return false;
    ScanDrive(drive);
    ReportError(Node);
    Node->SetHasChildren(Node->Count() > 0 ? TNodeButton::Shown : TNodeButton::None);
    RefreshNodeText(Node);
    if (watchDirectory_ && !DriveMonitor(drive))
        StartDriveMonitor(drive);
    return true;
}

bool TDriveView::NodeHasChildren(TTreeNode* Node)
{
    if (!Node->Object())
        return Node->Count() > 0;
    TNodeData& data = NodeData(Node);
    // Shell folders keep their button until they are read or the prober
    // answers: asking a network folder here would wait for the network.
    if (data.IsVirtual) {
        if (!data.Scanned && subDirScanDelayed_)
            QueueProbe(Node);
        return !data.Scanned || Node->Count() > 0 || (data.ShellAttr & kShellAttrHasSubFolder) != 0;
    }
    try {
        if (!data.Scanned) {
            if (subDirScanDelayed_ && QueueProbe(Node))
                return true;  // answered by the prober thread
            TDriveInfoRec rec;
            DriveInfo().GetData(GetDrive(Node), rec);
            if (rec.DriveType == kDriveTypeRemote) {
                // Asking a network drive would be slow: assume subfolders.
                data.ShellAttr = 0xF00F0000;
            } else if (HasSubDirs(GetDirPath(Node))) {
                data.ShellAttr |= kShellAttrHasSubFolder;
            }
            data.Scanned = true;
        }
    } catch (const std::exception&) {
        return true;
    }
    return !data.Scanned || (data.ShellAttr & kShellAttrHasSubFolder) != 0;
}

void TDriveView::FetchNodeImages(TTreeNode* Node)
{
    auto& holder = static_cast<TDriveViewNode&>(*Node->Object());
    TNodeData& data = holder.Data;
    const wchar_t drive = GetDrive(Node);
    if (data.IsVirtual && Node->Parent()) {
        FetchVirtualImages(Node);
        return;
    }
    if (!Node->Parent()) {
        TDriveInfo& info = DriveInfo();
        TDriveInfoRec rec;
        info.GetData(drive, rec);
        if (rec.ImageIndex < 1)
            info.ReadDriveStatus(drive, dsImageIndex);
        holder.Image = holder.SelectedImage = std::max(0, info.GetImageIndex(drive));
        // A CD-ROM's own icon may still come: ask again next time.
        data.IconEmpty = rec.DriveType == kDriveTypeCDRom;
        return;
    }
    TDriveInfoRec rec;
    DriveInfo().GetData(drive, rec);
    const std::wstring path = GetDirPath(Node);
    const int count = Images() ? Images()->Count() : 0;
    int image = rec.DriveType == kDriveTypeRemote ? -1 : SmallIconOf(path, false, false);
    int open = rec.DriveType == kDriveTypeRemote ? -1 : SmallIconOf(path, true, false);
    if (image < 1 || image >= count)
        image = SmallIconOf(L"folder", false, true);
    if (open < 1 || open >= count)
        open = SmallIconOf(L"folder", true, true);
    holder.Image = std::max(0, image);
    holder.SelectedImage = std::max(0, open);
    data.IconEmpty = false;
}

void TDriveView::NodeImages(TTreeNode* Node, int& Image, int& SelectedImage)
{
    auto* holder = dynamic_cast<TDriveViewNode*>(Node->Object());
    if (!holder) {
        Image = SelectedImage = 0;
        return;
    }
    if (holder->Data.IconEmpty) {
        try {
            ReadDiskShellAttributes(Node);
            FetchNodeImages(Node);
        } catch (const std::exception&) {
            holder->Data.IconEmpty = false;
        }
    }
    Image = holder->Image;
    SelectedImage = holder->SelectedImage;
}

void TDriveView::NodeDeleting(TTreeNode* Node)
{
    ForgetWatchedNode(Node);
    if (pendingChange_ == Node)
        pendingChange_ = nullptr;
    for (wchar_t drive = kFirstDrive; drive <= kLastDrive; ++drive)
        if (drives_[drive].RootNode == Node)
            drives_[drive].RootNode = nullptr;
}

// ---- Options -------------------------------------------------------------------

void TDriveView::RefreshAllCaptions()
{
    std::function<void(TTreeNode*)> refresh = [&](TTreeNode* node) {
        RefreshNodeText(node);
        for (int i = 0; i < node->Count(); ++i)
            refresh(node->Item(i));
    };
    for (int i = 0; i < Items().RootCount(); ++i)
        refresh(Items().Root(i));
}

void TDriveView::SetShowVolLabel(bool Value)
{
    showVolLabel_ = Value;
    RefreshAllCaptions();
}

void TDriveView::SetVolDisplayStyle(TVolumeDisplayStyle Value)
{
    volDisplayStyle_ = Value;
    RefreshAllCaptions();
}

void TDriveView::SetFileNameDisplay(TFileNameDisplay Value)
{
    fileNameDisplay_ = Value;
    RefreshAllCaptions();
}

void TDriveView::SetShowDirSize(bool Value)
{
    showDirSize_ = Value;
    RefreshAllCaptions();
}

void TDriveView::SetCompressedColor(TColor Value)
{
    compressedColor_ = Value;
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TDriveView::SetHiddenColor(TColor Value)
{
    hiddenColor_ = Value;
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

// ---- Window ----------------------------------------------------------------------

void TDriveView::CreateWindowHandle(const TCreateParams& params)
{
    TTreeView::CreateWindowHandle(params);
    if (HandleAllocated()) {
        BindShellFolders();
        // The control forgets item states with its window.
        std::function<void(TTreeNode*)> overlays = [&](TTreeNode* node) {
            ApplyShareOverlay(node);
            for (int i = 0; i < node->Count(); ++i)
                overlays(node->Item(i));
        };
        for (int i = 0; i < Items().RootCount(); ++i)
            overlays(Items().Root(i));
    }
    if (HandleAllocated() && useSHChangeNotify_)
        RegisterShellNotify();
    // The drives are read once, when the tree first gets its window.
    if (HandleAllocated() && !rootsLoaded_) {
        RefreshRootNodes(false, dsDisplayName | 8);
        if (!directory_.empty())
            SetDirectory(directory_);
    }
}

bool TDriveView::CustomDraw(NMTVCUSTOMDRAW& draw, LRESULT& result)
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
        return true;
    }
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return false;
    auto* node = reinterpret_cast<TTreeNode*>(draw.nmcd.lItemlParam);
    result = CDRF_DODEFAULT;
    if (!node || !node->Object())
        return true;
    TNodeColorOptions options;
    options.TreeFocused = GetFocus() == Handle();
    options.HideSelection = HideSelection();
    options.CompressedColor = compressedColor_;
    options.HiddenColor = hiddenColor_;
    const bool selected = (draw.nmcd.uItemState & CDIS_SELECTED) != 0;
    const TNodeColors colors = NodeColors(NodeData(node), selected, options);
    // The selection keeps the control's highlight unless the colours say otherwise.
    if (colors.Text != clDefault && (!selected || colors.Back != clDefault))
        draw.clrText = ColorToRGB(colors.Text);
    if (colors.Back != clDefault)
        draw.clrTextBk = ColorToRGB(colors.Back);
    return true;
}

bool TDriveView::HandleKey(WPARAM key)
{
    TTreeNode* node = Selected();
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        if (node) {
            if (node->Expanded())
                node->Collapse();
            else
                node->Expand();
        }
        return true;
    case VK_APPS:
        ShowKeyboardPopup();
        return true;
    case VK_MULTIPLY:
    case VK_DIVIDE:
        // On the number pad; the control would expand the whole subtree of
        // "*", reading a whole drive. The character that follows is spent.
        HandleChar(key == VK_MULTIPLY ? L'*' : L'/');
        keyCharDone_ = true;
        return true;
    default:
        return false;
    }
}

POINT TDriveView::ContextMenuPoint()
{
    POINT at{0, 0};
    if (!HandleAllocated())
        return at;
    if (TTreeNode* node = Selected(); node && node->ItemId()) {
        // TVM_GETITEMRECT takes the item in the rectangle and, with TRUE,
        // answers the text's rectangle only.
        RECT text{};
        *reinterpret_cast<HTREEITEM*>(&text) = node->ItemId();
        if (SendMessageW(Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)))
            at = POINT{text.left, text.top + 20};
    }
    ClientToScreen(Handle(), &at);
    return at;
}

void TDriveView::ShowKeyboardPopup()
{
    // The shell's context menu of the folder comes with the folder
    // commands; until then the tree's own menu shows.
    if (!popupMenu_ || !HandleAllocated())
        return;
    const POINT at = ContextMenuPoint();
    popupMenu_->Popup(at.x, at.y, Handle());
}

bool TDriveView::HandleChar(WPARAM key)
{
    TTreeNode* node = Selected();
    switch (key) {
    case L'\r':
    case L' ':
        // Done on the key-down; no search by the character.
        return true;
    case L'*':
        if (node)
            SendMessageW(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node->ItemId()));
        return true;
    case L'/':
        if (node)
            node->Collapse(true);
        return true;
    default:
        return false;
    }
}

namespace {

// The label editor refuses the characters no file name may hold.
LRESULT CALLBACK LabelEditProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (msg == WM_CHAR && wParam < 0x80 && std::wstring_view(L"\\/:*?\"<>|").find(static_cast<wchar_t>(wParam)) !=
                                              std::wstring_view::npos) {
        MessageBeep(MB_OK);
        return 0;
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(window, LabelEditProc, id);
    return DefSubclassProc(window, msg, wParam, lParam);
}

}  // namespace

void TDriveView::WndProc(TMessage& message)
{
    if (WatchMessage(message))
        return;
    if (message.Msg == CN_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(message.LParam);
        if (header.code == NM_CUSTOMDRAW) {
            LRESULT result = 0;
            if (CustomDraw(reinterpret_cast<NMTVCUSTOMDRAW&>(header), result)) {
                message.Result = result;
                return;
            }
        } else if (header.code == TVN_BEGINLABELEDITW) {
            TTreeView::WndProc(message);
            if (!message.Result)
                if (HWND edit = reinterpret_cast<HWND>(SendMessageW(Handle(), TVM_GETEDITCONTROL, 0, 0)))
                    SetWindowSubclass(edit, LabelEditProc, 1, 0);
            return;
        }
    } else if (message.Msg == WM_SYSKEYDOWN && message.WParam == VK_RETURN) {
        // Alt+Enter.
        if (TTreeNode* node = Selected())
            ShowProperties(node);
        message.Result = 0;
        return;
    } else if (message.Msg == WM_SYSKEYDOWN && message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
        // Shift+F10, the context-menu key's twin.
        ShowKeyboardPopup();
        message.Result = 0;
        return;
    } else if ((message.Msg == WM_KEYUP && message.WParam == VK_APPS) ||
               (message.Msg == WM_SYSKEYUP && message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)) {
        // Shown on the key-down already; the default handling would ask
        // for the menu a second time.
        message.Result = 0;
        return;
    } else if (message.Msg == WM_CONTEXTMENU && message.LParam == -1) {
        // A context menu asked for by the keyboard some other way.
        ShowKeyboardPopup();
        message.Result = 0;
        return;
    } else if (message.Msg == WM_SYSCHAR && message.WParam == L'\r') {
        message.Result = 0;
        return;
    } else if (message.Msg == WM_KEYDOWN && !(GetKeyState(VK_MENU) & 0x8000)) {
        keyCharDone_ = false;
        if (HandleKey(message.WParam)) {
            message.Result = 0;
            return;
        }
    } else if (message.Msg == WM_CHAR) {
        const bool done = keyCharDone_;
        keyCharDone_ = false;
        if ((done && (message.WParam == L'*' || message.WParam == L'/')) || HandleChar(message.WParam)) {
            message.Result = 0;
            return;
        }
    }
    TTreeView::WndProc(message);
}

}  // namespace qrv
