// TDriveView: keeping the tree in step with the disk. A recursive monitor
// per watched drive, debounced per drive; validation of the read nodes
// against the disk; the shell's share and rename notifications; and the
// background prober that finds out which folders have subfolders.

#include "panels/win/DriveViewWatch.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/WaitCursor.h"
#include "panels/WatchedDrives.h"
#include "panels/win/DirView.h"
#include "panels/win/FolderSearch.h"
#include "panels/win/KyDriveInfo.h"

#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <optional>
#include <vector>

namespace qrv {

namespace {

// The shell notifications the tree asks for and the message they come by.
constexpr LONG kShellEvents = SHCNE_NETSHARE | SHCNE_NETUNSHARE | SHCNE_RENAMEFOLDER;
constexpr UINT kShellNotifyMessage = WM_USER + 0x142;
// The prober has results waiting.

TTreeNode* AsNode(TNodeRef Node)
{
    return static_cast<TTreeNode*>(Node);
}

// Shell attributes the prober asks a shell folder for.
constexpr SFGAOF kProbeShellAttrMask = 0xF00F0000;

// A shell folder's answer, from a copy of its absolute list: its attributes
// through its parent bound from the desktop; one of the file system is
// searched on disk, so hidden folders count as the tree shows them. What
// the shell cannot answer keeps the button.
bool ProbeShellSubDirs(const TProbeRequest& Request)
{
    TPidlPtr pidl = PidlFromBytes(Request.Pidl);
    if (!pidl)
        return true;
    TPidlPtr parent, last;
    SplitPidl(pidl.get(), parent, last);
    TShellFolderPtr folder;
    if (!last || !BindToFolder(parent.get(), folder))
        return true;
    LPCITEMIDLIST item = last.get();
    SFGAOF attributes = kProbeShellAttrMask;
    if (FAILED(folder->GetAttributesOf(1, &item, &attributes)))
        return true;
    if ((attributes & SFGAO_FILESYSTEM) && !Request.Path.empty())
        return FolderHasSubDirs(Request.Path, Request.HideHiddenDirs);
    return (attributes & SFGAO_HASSUBFOLDER) != 0;
}

// The prober's question, asked on its thread from a copy of the node's data.
bool ProbeSubDirs(const TProbeRequest& Request)
{
    if (Request.ShellFolder)
        return ProbeShellSubDirs(Request);
    return FolderHasSubDirs(Request.Path, Request.HideHiddenDirs);
}

// The tree's nodes as the subtree walk sees them.
class TTreeWalk : public TIterableTree {
public:
    TNodeRef FirstChild(TNodeRef Node) override
    {
        TTreeNode* node = AsNode(Node);
        return node->Count() > 0 ? node->Item(0) : nullptr;
    }
    // Each node knows its place: one step of the walk costs the same
    // however many siblings there are.
    TNodeRef NextSibling(TNodeRef Node) override { return AsNode(Node)->NextSibling(); }
    bool Expanded(TNodeRef Node) override { return AsNode(Node)->Expanded(); }
};

}  // namespace

TDriveView::TWatchState::~TWatchState()
{
    if (ShellNotifyId)
        SHChangeNotifyDeregister(ShellNotifyId);
    // The prober ends before the monitors; neither touches a node.
    Prober.reset();
}

TDriveView::TWatchState& TDriveView::Watch()
{
    if (!watch_)
        watch_ = std::make_unique<TWatchState>();
    return *watch_;
}

// ---- Options ---------------------------------------------------------------------

void TDriveView::SetWatchDirectory(bool Value)
{
    watchDirectory_ = Value;
    if (Value)
        StartAllWatchThreads();
    else
        StopAllWatchThreads();
}

void TDriveView::SetHideHiddenDirs(bool Value)
{
    if (hideHiddenDirs_ == Value)
        return;
    hideHiddenDirs_ = Value;
    if (TTreeNode* node = Selected(); node && node->Object())
        ValidateDirectory(RootNode(node));
}

void TDriveView::SetChangeInterval(unsigned Value)
{
    if (Value != 0)
        changeInterval_ = Value;
}

void TDriveView::SetNoCheckDrives(const std::wstring& Value)
{
    noCheckDrives_ = TreeNoCheckDrives(Value);
    // A drive excluded now is no longer watched.
    for (wchar_t drive = kFirstDrive; drive <= kLastLetter; ++drive)
        if (!DriveWatchable(noCheckDrives_, drive))
            StopWatchThreadDrive(drive);
}

void TDriveView::SetUseSHChangeNotify(bool Value)
{
    useSHChangeNotify_ = Value;
    if (!HandleAllocated())
        return;
    if (Value)
        RegisterShellNotify();
    else
        DeregisterShellNotify();
}

// ---- Monitors --------------------------------------------------------------------

void TDriveView::StartDriveMonitor(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    if (drive < kFirstDrive || drive > kLastLetter || !DriveWatchable(noCheckDrives_, drive))
        return;
    TWatchState::TDriveWatch& watch = Watch().Drive(drive);
    if (!watch.Monitor) {
        watch.Monitor = std::make_unique<TDiscMonitor>(nullptr);
        watch.Monitor->SetDirectory(std::wstring(1, drive) + L":\\");
        watch.Monitor->SetSubTree(true);
        watch.Monitor->SetFilters(moDirName);
        watch.Monitor->OnChange = [this, drive](TComponent*) { DriveChanged(drive); };
        watch.Monitor->OnInvalid = [this, drive](TComponent*) { DriveInvalid(drive); };
    }
    if (!watch.Monitor->Active())
        watch.Monitor->SetActive(true);
}

void TDriveView::StartWatchThread()
{
    if (!watchDirectory_)
        return;
    if (TTreeNode* node = Selected(); node && node->Object())
        StartDriveMonitor(GetDrive(node));
}

void TDriveView::StopWatchThread()
{
    if (TTreeNode* node = Selected(); node && node->Object())
        StopWatchThreadDrive(GetDrive(node));
}

void TDriveView::StopWatchThreadDrive(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    if (!watch_ || drive < kFirstDrive || drive > kLastLetter)
        return;
    try {
        watch_->Drive(drive).Monitor.reset();
    } catch (const std::exception&) {
        TraceIgnoredException(L"ending a folder monitor");
        // A monitor that fails to end is gone from the tree all the same.
    }
}

void TDriveView::StartAllWatchThreads()
{
    if (!watchDirectory_)
        return;
    const wchar_t first = DriveInfo().DefaultDrive();
    for (wchar_t drive = std::max(first, kFirstDrive); drive <= kLastLetter; ++drive)
        if (drives_[drive].Scanned)
            StartDriveMonitor(drive);
    if (TTreeNode* node = Selected(); node && node->Object() && GetDrive(node) < first)
        StartDriveMonitor(GetDrive(node));
}

void TDriveView::StopAllWatchThreads()
{
    for (wchar_t drive = kFirstDrive; drive <= kLastLetter; ++drive)
        StopWatchThreadDrive(drive);
}

bool TDriveView::WatchThreadActiveDrive(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    if (!watchDirectory_ || !watch_ || drive < kFirstDrive || drive > kLastLetter)
        return false;
    const auto& monitor = watch_->Drive(drive).Monitor;
    return monitor && monitor->Active();
}

bool TDriveView::WatchThreadActive()
{
    TTreeNode* node = Selected();
    return node && node->Object() && WatchThreadActiveDrive(GetDrive(node));
}

TDiscMonitor* TDriveView::DriveMonitor(wchar_t Drive) const
{
    const wchar_t drive = UpCaseDrive(Drive);
    if (!watch_ || drive < kFirstDrive || drive > kLastLetter)
        return nullptr;
    return watch_->Drive(drive).Monitor.get();
}

bool TDriveView::NodeWatchActive(TTreeNode* Node)
{
    if (!Node || !Node->Object() || !watch_)
        return false;
    const wchar_t drive = GetDrive(Node);
    if (drive < kFirstDrive || drive > kLastLetter)
        return false;
    const auto& monitor = watch_->Drive(drive).Monitor;
    return monitor && monitor->Active();
}

void TDriveView::DriveChanged(wchar_t Drive)
{
    TWatchState::TDriveWatch& watch = Watch().Drive(Drive);
    if (!watch.Debounce) {
        watch.Timer = std::make_unique<TWindowDebounceTimer>([this, Drive] { DriveChangeTick(Drive); });
        watch.Debounce = std::make_unique<TTreeChangeDebounce>(*watch.Timer, DebounceClockNow);
    }
    watch.Debounce->Change(changeInterval_);
}

void TDriveView::DriveChangeTick(wchar_t Drive)
{
    TWatchState& state = Watch();
    TWatchState::TDriveWatch& watch = state.Drive(Drive);
    if (!watch.Debounce || !watch.Debounce->Tick(state.Validating || scanning_, changeInterval_))
        return;
    if (TTreeNode* root = DriveRootNode(Drive))
        ValidateDirectory(root);
    if (OnChangeDetected)
        OnChangeDetected(this, Drive);
}

void TDriveView::DriveInvalid(wchar_t Drive)
{
    if (watch_)
        if (auto& monitor = watch_->Drive(Drive).Monitor)
            monitor->SetActive(false);
    if (OnChangeInvalid)
        OnChangeInvalid(this, Drive);
}

// ---- Validation ------------------------------------------------------------------

void TDriveView::ValidateDirectory(TTreeNode* Node)
{
    ValidateTree(Node, TIterateMode::imScanned, false);
}

void TDriveView::ValidateExpandedDirectory(TTreeNode* Node)
{
    ValidateTree(Node, TIterateMode::imExpanded, false);
}

void TDriveView::ValidateTree(TTreeNode* Node, TIterateMode Mode, bool Full)
{
    if (!Node || !Node->Object() || scanning_)
        return;
    TWatchState& state = Watch();
    TReentryGuard guard(state.Validating);
    if (!guard.Entered() || !ScanDirAllowed(Node))
        return;
    TTreeNode* selected = Selected();
    const std::wstring oldDirectory = selected && selected->Object() ? GetDirPathName(selected) : directory_;
    const std::wstring oldLastPath = lastPath_;
    const TWaitCursor wait(HandleAllocated() && GetFocus() == Handle());
    const wchar_t drive = GetDrive(Node);
    const bool letter = drive >= kFirstDrive && drive <= kLastLetter;
    if (!Node->Parent() && letter && state.Drive(drive).Debounce)
        state.Drive(drive).Debounce->Cancel();  // this validation covers it
    const UINT oldErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The drive's monitor keeps watching: a walk only reads, and a change
    // another program makes meanwhile starts the next validation instead
    // of going unseen (a monitor closed and opened again reports nothing
    // of the time between).
    const ScopeExit restoreErrorMode([oldErrorMode] { SetErrorMode(oldErrorMode); });

    TTreeWalk walk;
    TNodeRef start = Node;
    IterateSubTree(walk, start, Mode, true, [&](TNodeRef& node) { return ValidateNode(node, Node, Full); });

    selected = Selected();
    if (!selected && !oldDirectory.empty()) {
        if (TTreeNode* root = DriveRootNode(oldDirectory[0]))
            SelectNode(root);
    } else if (selected && selected->Object() && GetDirPathName(selected) != oldDirectory && lastPath_ == oldLastPath) {
        DoChange(selected);
    }
}

bool TDriveView::ValidateNode(TNodeRef& Ref, TTreeNode* Start, bool Full)
{
    TTreeNode* node = AsNode(Ref);
    if (!node->Object())
        return true;
    TNodeData& data = NodeData(node);
    if (data.IsVirtual)
        return ValidateVirtualNode(Ref, Start);
    if (node == Start && node->Parent() && !DirExists(GetDirPath(node))) {
        DeleteValidatedNode(node);
        Ref = nullptr;
        return true;
    }
    if (node->Count() > 0) {
        SyncChildren(node);
    } else if ((Full || data.AllScanned || node == Start) && ScanDirAllowed(node)) {
        ReadSubDirs(node);
    } else if (data.Scanned) {
        ReprobeNode(node);
    }
    return true;
}

bool TDriveView::ValidateVirtualNode(TNodeRef& Ref, TTreeNode* Start)
{
    TTreeNode* node = AsNode(Ref);
    if (node == Start) {
        if (node->Parent() && !VirtualNodeExists(node)) {
            DeleteValidatedNode(node);
            Ref = nullptr;
            return false;  // nothing left below it to walk
        }
        ReadVirtualChildren(node, true, true);
    } else if (NodeData(node).AllScanned) {
        ReadVirtualChildren(node, true, true);
    }
    return true;
}

void TDriveView::ReprobeNode(TTreeNode* Node)
{
    TNodeData& data = NodeData(Node);
    if (subDirScanDelayed_) {
        data.Scanned = false;
        // Unqueued, the node is asked again when it is next drawn.
        if (!QueueProbe(Node))
            TraceIgnoredFailure(L"queueing a folder's subfolder probe");
        return;
    }
    const bool had = (data.ShellAttr & kShellAttrHasSubFolder) != 0;
    const bool has = HasSubDirs(GetDirPath(Node));
    if (has == had)
        return;
    data.ShellAttr = has ? data.ShellAttr | kShellAttrHasSubFolder : data.ShellAttr & ~kShellAttrHasSubFolder;
    Node->SetHasChildren(has ? TNodeButton::Shown : TNodeButton::None);
    RefreshNodeText(Node);
}

void TDriveView::SyncChildren(TTreeNode* Node)
{
    const std::wstring path = GetDirPath(Node);
    struct TDiskFolder {
        TSearchRec Entry;
        std::wstring AlternateName;
    };
    std::vector<TDiskFolder> folders;
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    TFindHandle find(
        FindFirstFileExW((path + L"\\*.*").c_str(), FindExInfoStandard, &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        // Only "nothing there" empties the node; an unreadable folder keeps
        // what it shows.
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return;
    } else {
        do {
            if (!IsListedSubFolder(found, hideHiddenDirs_))
                continue;
            TDiskFolder folder;
            folder.Entry.Name = found.cFileName;
            folder.Entry.Attr = found.dwFileAttributes;
            folder.AlternateName = found.cAlternateFileName;
            names.push_back(folder.Entry.Name);
            folders.push_back(std::move(folder));
        } while (FindNextFileW(find.Get(), &found));
        find.Reset();
    }
    std::vector<TChildName> children;
    children.reserve(static_cast<size_t>(Node->Count()));
    for (int i = 0; i < Node->Count(); ++i)
        children.push_back({Node->Item(i), NodeData(Node->Item(i)).DirName});
    const TChildrenDiff diff = DiffChildren(children, names);
    if (diff.Added.empty() && diff.Respelled.empty() && diff.Deleted.empty())
        return;
    auto folderOf = [&](const std::wstring& name) -> const TDiskFolder& {
        for (const TDiskFolder& folder : folders)
            if (folder.Entry.Name == name)
                return folder;
        throw Exception(L"SyncChildren: " + name);
    };
    for (const TChildName& respelled : diff.Respelled) {
        TTreeNode* child = AsNode(respelled.Node);
        const TDiskFolder& folder = folderOf(respelled.Name);
        const TNodeData fresh = DiskNodeData(path, folder.Entry, folder.AlternateName);
        TNodeData& data = NodeData(child);
        data.DirName = fresh.DirName;
        data.DisplayName = fresh.DisplayName;
        data.ShortName = fresh.ShortName;
        RefreshNodeText(child);
    }
    for (TNodeRef gone : diff.Deleted)
        DeleteValidatedNode(AsNode(gone));
    for (const std::wstring& name : diff.Added) {
        const TDiskFolder& folder = folderOf(name);
        TTreeNode* child = InsertDiskNode(Node, DiskNodeData(path, folder.Entry, folder.AlternateName));
        if (!ScanDirAllowed(child)) {
            NodeData(child).AllScanned = true;
            child->SetHasChildren(TNodeButton::None);
        }
    }
    if (!diff.Added.empty())
        SortChildren(Node, false);
    TNodeData& data = NodeData(Node);
    const bool has = Node->Count() > 0;
    data.ShellAttr = has ? data.ShellAttr | kShellAttrHasSubFolder : data.ShellAttr & ~kShellAttrHasSubFolder;
    Node->SetHasChildren(has ? TNodeButton::Shown : TNodeButton::None);
}

void TDriveView::DeleteValidatedNode(TTreeNode* Node)
{
    // A selection inside the vanished folder moves to its parent first, so
    // the list follows to a folder that exists.
    for (TTreeNode* up = Selected(); up; up = up->Parent())
        if (up == Node) {
            if (TTreeNode* parent = Node->Parent())
                SelectNode(parent);
            break;
        }
    if (HandleAllocated() && Node->ItemId() &&
        reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)) == Node->ItemId())
        SendMessageW(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    Items().Delete(Node);
}

void TDriveView::SaveNodesState(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"SaveNodesState");
    TTreeWalk walk;
    TNodeRef start = Node;
    IterateSubTree(walk, start, TIterateMode::imAll, true, [this](TNodeRef& node) {
        if (AsNode(node)->Object())
            NodeData(AsNode(node)).Expanded = AsNode(node)->Expanded();
        return true;
    });
}

void TDriveView::RestoreNodesState(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"RestoreNodesState");
    const bool redraw = HandleAllocated();
    if (redraw)
        SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    TTreeWalk walk;
    TNodeRef start = Node;
    IterateSubTree(walk, start, TIterateMode::imAll, true, [this](TNodeRef& node) {
        TTreeNode* tree = AsNode(node);
        if (tree->Object() && NodeData(tree).Expanded != tree->Expanded()) {
            if (NodeData(tree).Expanded)
                tree->Expand();
            else
                tree->Collapse();
        }
        return true;
    });
    if (redraw)
        SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
}

// ---- Subfolder prober ------------------------------------------------------------

bool TDriveView::QueueProbe(TTreeNode* Node)
{
    TWatchState& state = Watch();
    if (state.Probes.Contains(Node))
        return true;
    TNodeData& data = NodeData(Node);
    TProbeRequest request{0, GetDirPath(Node), data.Pidl, hideHiddenDirs_};
    if (data.IsVirtual) {
        // The worker gets the whole list: it binds from the desktop and
        // never touches the node's folder objects.
        TPidlPtr absolute = AbsolutePidl(Node);
        if (!absolute)
            return false;
        request.Pidl = PidlBytes(absolute.get());
        request.Path = data.ParsingName;
        request.ShellFolder = true;
    }
    if (!state.Prober) {
        if (!HandleAllocated())
            return false;
        state.ProbeWindow.Set(Handle());
        state.Prober = std::make_unique<TSubDirProber>(ProbeSubDirs, state.ProbeWindow.Announcement());
        // Shell folders are bound on the worker.
        PrepareShellWorker(*state.Prober, THREAD_PRIORITY_BELOW_NORMAL);
    }
    const uint64_t id = state.Probes.NextId();
    request.NodeId = id;
    if (!state.Prober->Queue(std::move(request)))
        return false;
    state.Probes.Add(Node, id);
    return true;
}

void TDriveView::ApplyProbeResults()
{
    if (!watch_ || !watch_->Prober)
        return;
    for (const TProbeResult& result : watch_->Prober->TakeResults()) {
        TTreeNode* node = watch_->Probes.Take(result.NodeId);
        if (!node)
            continue;  // the node went meanwhile
        TNodeData& data = NodeData(node);
        data.ShellAttr =
            result.HasSubDirs ? data.ShellAttr | kShellAttrHasSubFolder : data.ShellAttr & ~kShellAttrHasSubFolder;
        data.Scanned = true;
        if (!result.HasSubDirs && node->Count() == 0) {
            node->SetHasChildren(TNodeButton::None);
            RefreshNodeText(node);
        }
    }
}

size_t TDriveView::ProbesPending() const
{
    return watch_ ? watch_->Probes.Count() : 0;
}

void TDriveView::ForgetWatchedNode(TTreeNode* Node)
{
    if (!watch_)
        return;
    if (const std::optional<uint64_t> id = watch_->Probes.Forget(Node); id && watch_->Prober)
        watch_->Prober->Forget(*id);
}

// ---- Shell notifications ---------------------------------------------------------

void TDriveView::RegisterShellNotify()
{
    TWatchState& state = Watch();
    if (state.ShellNotifyId || !HandleAllocated())
        return;
    SHChangeNotifyEntry entry{nullptr, TRUE};
    state.ShellNotifyId = SHChangeNotifyRegister(Handle(), SHCNRF_InterruptLevel | SHCNRF_ShellLevel, kShellEvents,
                                                 kShellNotifyMessage, 1, &entry);
}

void TDriveView::DeregisterShellNotify()
{
    if (watch_ && watch_->ShellNotifyId) {
        SHChangeNotifyDeregister(watch_->ShellNotifyId);
        watch_->ShellNotifyId = 0;
    }
}

TTreeNode* TDriveView::ExistingNodeForPath(const std::wstring& Path)
{
    if (Path.size() < 2 || Path[1] != L':')
        return nullptr;
    TTreeNode* node = DriveRootNode(Path[0]);
    for (const std::wstring& level : PathLevelsBelowRoot(Path)) {
        if (!node)
            return nullptr;
        TTreeNode* next = nullptr;
        for (int i = 0; i < node->Count() && !next; ++i) {
            TNodeData& data = NodeData(node->Item(i));
            if (SameText(data.DirName, level) || SameText(data.ShortName, level))
                next = node->Item(i);
        }
        node = next;
    }
    return node;
}

void TDriveView::ShellNotification(TMessage& message)
{
    const auto event = static_cast<LONG>(message.LParam);
    const auto* pidls = reinterpret_cast<const PCIDLIST_ABSOLUTE*>(message.WParam);
    if (!(event & kShellEvents) || !pidls || !pidls[0])
        return;
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(pidls[0], buffer))
        return;
    const std::wstring path = buffer;
    if (path.size() < 3 || !DriveInfo().IsValid(UpCaseDrive(path[0])))
        return;
    TTreeNode* node = ExistingNodeForPath(path);
    if (!node)
        return;
    TNodeData& data = NodeData(node);
    SHFILEINFOW info{};
    info.dwAttributes = SFGAO_SHARE;
    const bool shared = SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED) &&
                        (info.dwAttributes & SFGAO_SHARE);
    data.ShellAttr = shared ? data.ShellAttr | kShellAttrShare : data.ShellAttr & ~kShellAttrShare;
    if (!node->Parent() && (event & SHCNE_RENAMEFOLDER)) {
        DriveInfo().ReadDriveStatus(UpCaseDrive(path[0]), dsDisplayName);
        RefreshNodeText(node);
    }
    if (HandleAllocated() && node->ItemId()) {
        TVITEMW item{};
        item.mask = TVIF_STATE;
        item.hItem = node->ItemId();
        item.state = shared ? INDEXTOOVERLAYMASK(1) : 0;
        item.stateMask = TVIS_OVERLAYMASK;
        SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    if ((event & (SHCNE_NETSHARE | SHCNE_NETUNSHARE)) && dirView_ && node->Parent() &&
        SameText(dirView_->Path(), RemoveBackslash(ExtractFilePath(path)))) {
        if (TFileRec* item = dirView_->FindFileItem(ExtractFileName(path))) {
            item->OverlayIndex = shared ? 0 : -1;
            if (dirView_->HandleAllocated())
                InvalidateRect(dirView_->Handle(), nullptr, FALSE);
        }
    }
}

bool TDriveView::WatchMessage(TMessage& message)
{
    if (message.Msg == kProbeResultsMessage) {
        ApplyProbeResults();
        message.Result = 0;
        return true;
    }
    if (message.Msg == kShellNotifyMessage) {
        try {
            ShellNotification(message);
        } catch (const std::exception&) {
            TraceIgnoredException(L"placing a folder change in the tree");
            // A notification the tree cannot place changes nothing.
        }
    }
    return false;  // the notification goes on to the control
}

}  // namespace qrv
