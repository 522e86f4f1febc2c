// TDriveView: reading the tree. The drive roots, reading a folder's
// subfolders (at once, or the whole drive), sorting them, their buttons,
// names and icons.

#include "panels/win/DriveView.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/TimingTrace.h"
#include "framework/win/Forms.h"
#include "framework/win/ImgList.h"
#include "framework/win/WaitCursor.h"
#include "panels/VirtualNodes.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveViewImages.h"
#include "panels/win/DriveViewNode.h"
#include "panels/win/DriveViewRead.h"
#include "panels/win/DriveViewWatch.h"
#include "panels/win/FolderSearch.h"
#include "panels/win/KyDriveInfo.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

namespace qrv {

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
            TraceIgnoredException(L"refreshing a drive's root");
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
        // Also while the worker still reads it: the drive is not read twice.
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
    const TSubFolderList list = ListSubFolders(path, hideHiddenDirs_);
    if (list.Error != 0) {
        lastError_ = list.Error;
        return;
    }
    const std::wstring separator = LocaleThousandSeparator();
    std::vector<TTreeNode*> added;
    for (const TFoundFolder& folder : list.Folders) {
        TSearchRec entry;
        entry.Name = folder.Name;
        entry.Attr = folder.Attr;
        auto holder = std::make_unique<TDriveViewNode>();
        holder->Data = DiskNodeData(path, entry, folder.AlternateName);
        TNodeData& childData = holder->Data;
        const std::wstring caption = FolderCaption(childData, fileNameDisplay_, showDirSize_, separator);
        TTreeNode* child = Items().Insert(Node, nullptr, caption, TNodeButton::Ask, std::move(holder));
        if (!ScanDirAllowed(child)) {
            childData.AllScanned = true;
            child->SetHasChildren(TNodeButton::None);
        } else if (Recurse && !(folder.Attr & FILE_ATTRIBUTE_REPARSE_POINT)) {
            // A folder link is listed but not walked: it may lead back up.
            added.push_back(child);
        }
    }
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
    // The worker searches the folder; a window without one (not made yet)
    // searches it here. A folder the worker reads already was waited for.
    if (SubDirReadPending(Node))
        return;
    if (QueueSubDirRead(Node)) {
        AwaitSubDirRead(Node);
        return;
    }
    TTimingScope timing(TimingTraceEnabled() ? L"tree read " + GetDirPathName(Node) : std::wstring());
    ApplySubFolders(Node, ListSubFolders(GetDirPath(Node), hideHiddenDirs_));
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
    const TWaitCursor wait;  // back after input and drawing below
    const bool hadWindow = HandleAllocated();
    // Messages are handled during the walk; without input nobody can
    // expand, select or delete a node under it.
    if (hadWindow) {
        EnableWindow(Handle(), FALSE);
        SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    }
    {
        // Input and drawing come back on every way out.
        const ScopeExit restore([&] {
            if (hadWindow) {
                SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
                EnableWindow(Handle(), TRUE);
            }
        });
        if (OnStartScan)
            OnStartScan(this);
        {
            scanning_ = true;
            continueScan_ = true;
            const ScopeExit endScan([this] { scanning_ = false; });
            Items().DeleteChildren(root);
            lastError_ = 0;
            AddSubDirs(root, true);
        }
        TNodeData& data = NodeData(root);
        data.AllScanned = true;
        drives_[Drive].Scanned = true;
        drives_[Drive].FullScanned = true;
        SortChildren(root, true);
        root->SetHasChildren(root->Count() > 0 ? TNodeButton::Shown : TNodeButton::None);
    }
    root->Expand();
    if (OnEndScan)
        OnEndScan(this);
}

bool TDriveView::HasSubDirs(const std::wstring& Path) const
{
    return FolderHasSubDirs(Path, hideHiddenDirs_);
}

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
    ForgetSubDirRead(Node);
    {
        TUpdateLock<TDriveView> lock(*this, &TDriveView::LockUpdate, &TDriveView::UnlockUpdate);
        Items().DeleteChildren(Node);
    }
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
            if (SubDirReadPending(Node)) {
                // Opens when its folders are in; what is known shows now.
                ExpandWhenRead(Node);
                return Node->Count() > 0;
            }
            ReportError(Node);
        }
        return true;
    }
    if (Node->Count() > 0)
        return true;
    if (!DriveReadyForUse(drive))
        return false;
    ScanDrive(drive);
    if (watchDirectory_ && !DriveMonitor(drive))
        StartDriveMonitor(drive);
    if (SubDirReadPending(Node)) {
        ExpandWhenRead(Node);
        return false;
    }
    ReportError(Node);
    Node->SetHasChildren(Node->Count() > 0 ? TNodeButton::Shown : TNodeButton::None);
    RefreshNodeText(Node);
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
        if (!data.Scanned && subDirScanDelayed_ && !QueueProbe(Node))
            TraceIgnoredFailure(L"queueing a shell folder's subfolder probe");
        return !data.Scanned || Node->Count() > 0 || (data.ShellAttr & kShellAttrHasSubFolder) != 0;
    }
    try {
        if (!data.Scanned) {
            TDriveInfoRec rec;
            DriveInfo().GetData(GetDrive(Node), rec);
            const bool remote = rec.DriveType == kDriveTypeRemote;
            // The folder the list shows has just been read: its items
            // answer, where a search would read a large folder again.
            const std::wstring path = GetDirPath(Node);
            const std::optional<bool> listed =
                dirView_ && !remote ? dirView_->KnownSubDirs(path, hideHiddenDirs_) : std::nullopt;
            if (!listed && subDirScanDelayed_ && QueueProbe(Node))
                return true;  // answered by the prober thread
            if (remote) {
                // Asking a network drive would be slow: assume subfolders.
                data.ShellAttr = 0xF00F0000;
            } else if (listed ? *listed : HasSubDirs(path)) {
                data.ShellAttr |= kShellAttrHasSubFolder;
            }
            data.Scanned = true;
        }
    } catch (const std::exception&) {
        TraceIgnoredException(L"asking whether a tree folder has subfolders");
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
    const TNodeImages images =
        FolderImages(IsRemoteFolder(Node) ? std::wstring() : GetDirPath(Node), ImageListHandle());
    holder.Image = images.Image;
    holder.SelectedImage = images.SelectedImage;
    data.IconEmpty = false;
}

bool TDriveView::IsRemoteFolder(TTreeNode* Node)
{
    TDriveInfoRec rec;
    DriveInfo().GetData(GetDrive(Node), rec);
    return rec.DriveType == kDriveTypeRemote;
}

void TDriveView::NodeImages(TTreeNode* Node, int& Image, int& SelectedImage)
{
    auto* holder = dynamic_cast<TDriveViewNode*>(Node->Object());
    if (!holder) {
        Image = SelectedImage = 0;
        return;
    }
    if (holder->Data.IconEmpty && !NodeImagesAwaited(Node)) {
        try {
            // A folder on a disk is asked of the worker, with its shell
            // attributes; the answer is drawn when it comes.
            const bool diskFolder = Node->Parent() && !holder->Data.IsVirtual && !IsRemoteFolder(Node);
            if (!diskFolder || !QueueNodeImages(Node)) {
                ReadDiskShellAttributes(Node);
                FetchNodeImages(Node);
            }
        } catch (const std::exception&) {
            TraceIgnoredException(L"reading a tree folder's icon");
            holder->Data.IconEmpty = false;
        }
    }
    Image = holder->Image;
    SelectedImage = holder->SelectedImage;
}

void TDriveView::NodeDeleting(TTreeNode* Node)
{
    for (const auto& listener : nodeDeletingListeners_)
        listener(Node);
    ForgetWatchedNode(Node);
    ForgetNodeImages(Node);
    ForgetSubDirRead(Node);
    if (pendingChange_ == Node)
        pendingChange_ = nullptr;
    for (wchar_t drive = kFirstDrive; drive <= kLastDrive; ++drive)
        if (drives_[drive].RootNode == Node)
            drives_[drive].RootNode = nullptr;
}

}  // namespace qrv
