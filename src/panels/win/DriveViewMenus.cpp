// TDriveView: the shell's context menu and properties of a folder, pasting
// the clipboard's files into one, duplicating a folder, creating a whole
// path, level-wise expansion, the network root and the folder sizes.

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/DragDropFilesEx.h"
#include "common/win/FileQueries.h"
#include "common/win/FileClipboard.h"
#include "common/win/ShellFileOperator.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/WaitCursor.h"
#include "panels/PasteRules.h"
#include "panels/TreeFolderRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/ShellDialogs.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>

namespace qrv {

namespace {

// The planners take plain functions of a path.
bool PathIsDirectory(const std::wstring& Path)
{
    return DirExists(Path);
}

bool PathIsThere(const std::wstring& Path)
{
    return PathExists(Path);
}

}  // namespace

// ---- Context menu and properties ------------------------------------------------------

void TDriveView::DisplayContextMenu(TTreeNode* Node, POINT ScreenPoint)
{
    if (!Node)
        RaiseNodeNotAssigned(L"DisplayContextMenu");
    if (!HandleAllocated())
        return;
    // A node other than the selection shows whose menu this is.
    const bool highlight = Node != Selected();
    if (highlight)
        SendMessageW(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(Node->ItemId()));
    const ScopeExit unhighlight([&] {
        if (highlight && HandleAllocated())
            SendMessageW(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    });
    if (OnDisplayContextMenu)
        OnDisplayContextMenu(this);
    const bool canRename = CanEdit(Node);
    // The node's path is kept: the shell's command may delete the node.
    const std::wstring path = GetDirPath(Node);
    std::wstring verb;
    if (NodeData(Node).IsVirtual && Node->Parent()) {
        IShellFolder* parent = NodeFolder(Node->Parent());
        if (!parent || NodeData(Node).Pidl.empty())
            return;
        ShowShellContextMenu(Handle(), ScreenPoint, parent, false, verb, canRename, {AsPidl(NodeData(Node).Pidl)});
    } else {
        ShowShellContextMenuForPath(Handle(), ScreenPoint, GetDirPathName(Node), false, verb, canRename);
    }
    TTreeNode* node = NodeForPath(path);
    if (!node)
        return;
    if (verb == L"rename")
        EditNodeName(node);
    else if (verb == L"cut")
        (void)CutToClipBoard(node);
    else if (verb == L"copy")
        (void)CopyToClipBoard(node);
    else if (verb == L"paste")
        (void)PasteFromClipBoard(GetDirPath(node), false);
}

void TDriveView::DisplayContextMenuAtCursor(TTreeNode* Node)
{
    POINT at{};
    if (!GetCursorPos(&at))
        at = ContextMenuPoint();
    DisplayContextMenu(Node, at);
}

void TDriveView::ShowContextMenuAndValidate(TTreeNode* Node, const POINT* At)
{
    const std::wstring path = GetDirPath(Node);
    const wchar_t drive = GetDrive(Node);
    if (At)
        DisplayContextMenu(Node, *At);
    else
        DisplayContextMenuAtCursor(Node);
    // A shell command (delete, a new folder ...) changed what the monitor
    // would have reported.
    if (!(watchDirectory_ && WatchThreadActiveDrive(drive)))
        if (TTreeNode* node = NodeForPathOrParent(path))
            ValidateDirectory(node);
}

void TDriveView::DisplayPropertiesMenu(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"DisplayPropertiesMenu");
    const HWND owner = HandleAllocated() ? Handle() : nullptr;
    bool done = false;
    if (NodeData(Node).IsVirtual && Node->Parent()) {
        if (IShellFolder* parent = NodeFolder(Node->Parent()); parent && !NodeData(Node).Pidl.empty())
            done = InvokeShellVerbOnItems(owner, L"properties", parent, {AsPidl(NodeData(Node).Pidl)});
    } else {
        done = InvokeShellVerb(owner, L"properties", GetDirPathName(Node));
    }
    if (!done)
        ShowProperties(Node);
}

// ---- Pasting and duplicating ----------------------------------------------------------

TFileList& TDriveView::DragFileList()
{
    if (!dropFileList_)
        dropFileList_ = std::make_unique<TFileList>();
    return *dropFileList_;
}

bool TDriveView::CanPasteFromClipBoard()
{
    return Selected() && ClipboardHasFiles();
}

bool TDriveView::PasteFromClipBoard(const std::wstring& TargetPath, bool RenameOnCollision)
{
    DragFileList().Clear();
    const auto files = ReadClipboardFiles(HandleAllocated() ? Handle() : nullptr);
    if (!files || files->Names.empty())
        return false;
    for (const std::wstring& name : files->Names)
        DragFileList().AddItem(nullptr, name);
    std::wstring target = TargetPath;
    if (target.empty()) {
        if (!Selected())
            return false;
        target = GetDirPath(Selected());
    }
    const TDropEffect effect = PasteEffect(files->PreferredEffect);
    const bool done = PerformDragDropFileOperation(target, effect, RenameOnCollision, false);
    if (done && effect == deMove)
        EmptyClipboard();
    return done;
}

bool TDriveView::PerformDragDropFileOperation(const std::wstring& TargetPath, TDropEffect Effect,
                                              bool RenameOnCollision, bool ToRecycleBin, bool OverwriteAnswered)
{
    const ScopeExit clear([this] { DragFileList().Clear(); });
    std::vector<std::wstring> names;
    std::vector<std::wstring> mapped;
    for (int i = 0; i < DragFileList().Count(); ++i) {
        const TFDDListItem& item = DragFileList().GetItem(i);
        if (!item.Name.empty()) {
            names.push_back(item.Name);
            mapped.push_back(item.MappedName);
        }
    }
    if (names.empty() || (Effect != deCopy && Effect != deMove && !ToRecycleBin))
        return false;
    const TWaitCursor wait;
    const std::wstring target = RemoveBackslash(TargetPath.size() == 2 ? TargetPath + L'\\' : TargetPath);
    TDropConfirmations confirm;
    confirm.Overwrite = ConfirmOverwrite && !OverwriteAnswered;
    confirm.Delete = ConfirmDelete;
    confirm.NukeWarning = WantNukeWarning;
    const TPastePlan plan =
        PlanDrop(names, mapped, Effect, target, confirm, ToRecycleBin, RenameOnCollision, PathIsThere, PathIsDirectory);
    if (!plan.Valid)
        return false;
    // The tree's own operator, so that Strg+Z finds and undoes the drop.
    TFileOperator* op = &FileOperator();
    op->SourceFiles.Clear();
    op->DestFiles.Clear();
    op->Operation = plan.Operation;
    op->Flags = plan.Flags;
    for (const std::wstring& name : plan.Sources)
        op->SourceFiles.Add(name);
    if (plan.Operation != TFileOperation::foDelete && plan.Dests.empty())
        op->DestFiles.Add(plan.Dest);
    for (const std::wstring& name : plan.Dests)
        op->DestFiles.Add(name);
    const std::wstring sourceFolder = RemoveBackslash(ExtractFilePath(RemoveBackslash(names.front())));
    bool done = false;
    {
        StopAllWatchThreads();
        const ScopeExit restart([this] { StartAllWatchThreads(); });
        const bool listWatching = dirView_ && dirView_->WatchForChanges();
        if (dirView_)
            dirView_->SetWatchForChanges(false);
        const ScopeExit restoreList([&] {
            if (dirView_)
                dirView_->SetWatchForChanges(listWatching);
        });
        done = op->Execute();
        LockUpdate();
        const ScopeExit unlock([this] { UnlockUpdate(); });
        if (Effect == deMove || ToRecycleBin)
            if (TTreeNode* source = NodeForPathOrParent(sourceFolder))
                ValidateDirectory(source);
        if (!ToRecycleBin)
            if (TTreeNode* node = NodeForPathOrParent(target))
                ValidateDirectory(node);
        if (dirView_ && dirView_->Loaded())
            dirView_->ReloadDirectory();
    }
    if (Effect == deMove)
        ClearCutMark();
    return done;
}

TTreeNode* TDriveView::DuplicateDirectory(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"DuplicateDirectory");
    if (!Node->Parent() || NodeData(Node).IsVirtual)
        return nullptr;
    // Copied directly under a planned name: the user's clipboard stays.
    const std::wstring source = GetDirPath(Node);
    const std::wstring parentPath = GetDirPathName(Node->Parent());
    const TPastePlan plan = PlanPaste({source}, deCopy, parentPath, true, PathIsThere, PathIsDirectory);
    if (!plan.Valid || plan.Dests.size() != 1)
        return nullptr;
    auto op = NewShellFileOperator(this);
    op->Operation = TFileOperation::foCopy;
    op->Flags = plan.Flags | foNoConfirmation;
    op->SourceFiles.Add(source);
    op->DestFiles.Add(plan.Dests.front());
    bool done = false;
    {
        const wchar_t drive = GetDrive(Node);
        const bool monitored = PauseDriveMonitor(drive);
        const ScopeExit resume([&] { ResumeDriveMonitor(drive, monitored); });
        done = op->Execute() && PathIsDirectory(plan.Dests.front());
        if (TTreeNode* parent = NodeForPath(RemoveBackslash(parentPath)))
            ValidateDirectory(parent);
        if (dirView_ && dirView_->Loaded())
            dirView_->ReloadDirectory();
    }
    TTreeNode* copy = done ? NodeForPath(plan.Dests.front()) : nullptr;
    if (copy) {
        CenterNode(copy);
        EditNodeName(copy);
    }
    return copy;
}

// ---- Paths and levels -------------------------------------------------------------------

bool TDriveView::CreatePath(const std::wstring& Path)
{
    const TPathCreation plan = PlanCreatePath(Path, PathIsDirectory, PathIsThere);
    if (!plan.Valid)
        return false;
    TTreeNode* node = NodeForPath(plan.Existing);
    if (!node || !SameText(RemoveBackslash(GetDirPathName(node)), RemoveBackslash(plan.Existing)))
        return false;
    for (const std::wstring& name : plan.Missing) {
        node = CreateDirectory(node, name);
        if (!node)
            return false;
    }
    return true;
}

void TDriveView::ExpandLevel(TTreeNode* Node, int Level)
{
    if (!Node)
        RaiseNodeNotAssigned(L"ExpandLevel");
    LockUpdate();
    const ScopeExit unlock([this] { UnlockUpdate(); });
    WalkExpandLevel(
        *this, Node, Level,
        [](TNodeRef ref) {
            const TTreeNode* node = static_cast<TTreeNode*>(ref);
            return node->Count() > 0 || node->HasChildren() != TNodeButton::None;
        },
        [](TNodeRef ref, bool expand) {
            TTreeNode* node = static_cast<TTreeNode*>(ref);
            if (expand && !node->Expanded())
                node->Expand();
            else if (!expand && node->Expanded())
                node->Collapse();
        });
}

// ---- The network neighbourhood ------------------------------------------------------------

void TDriveView::SetShowNetwork(bool Value)
{
    if (Value == showNetwork_)
        return;
    // Only where the system has a network and the drive table its slot.
    if (Value && !(GetSystemMetrics(SM_NETWORK) & 1)) {
        showNetwork_ = false;
        return;
    }
    showNetwork_ = Value;
    if (!HandleAllocated() || !rootsLoaded_)
        return;
    TTreeNode* root = DriveRootNode(kNetworkDrive);
    if (Value && !root) {
        if (DriveInfo().IsValid(kNetworkDrive))
            AddRootNode(kNetworkDrive);
        showNetwork_ = DriveRootNode(kNetworkDrive) != nullptr;
    } else if (!Value && root) {
        if (Selected() && RootNode(Selected()) == root)
            SetCurrentDrive(DriveInfo().DefaultDrive() == L' ' ? kFirstDrive : DriveInfo().DefaultDrive());
        RemoveRootNode(kNetworkDrive);
    }
    if (driveComboBox_)
        driveComboBox_->SetShowNetwork(showNetwork_);
    if (OnShowNetworkChanged)
        OnShowNetworkChanged(this);
}

// ---- Folder sizes --------------------------------------------------------------------

int64_t TDriveView::GetDirSize(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"GetDirSize");
    if (NodeData(Node).DirSize < 0)
        SetDirSize(Node);
    return NodeData(Node).DirSize;
}

void TDriveView::SetDirSize(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"SetDirSize");
    TNodeData& data = NodeData(Node);
    if (data.IsVirtual && !data.IsFileSystem())
        return;
    data.DirSize = FolderFilesSize(GetDirPath(Node));
}

int64_t TDriveView::FolderFilesSize(const std::wstring& Path)
{
    int64_t size = 0;
    WIN32_FIND_DATAW found{};
    TFindHandle find(FindFirstFileExW((Path + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                      FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            size += static_cast<int64_t>((static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
    } while (FindNextFileW(find.Get(), &found));
    return size;
}

void TDriveView::ScanDriveDirSizes(wchar_t Drive)
{
    TTreeNode* root = DriveRootNode(UpCaseDrive(Drive));
    // A full scan or an earlier size scan still runs: messages pumped below
    // may ask again.
    if (!root || scanning_)
        return;
    std::vector<TTreeNode*> nodes;
    const std::function<void(TTreeNode*)> collect = [&](TTreeNode* node) {
        nodes.push_back(node);
        for (int i = 0; i < node->Count(); ++i)
            collect(node->Item(i));
    };
    collect(root);
    const TWaitCursor wait;
    scanning_ = true;
    continueScan_ = true;
    const ScopeExit endScan([this] { scanning_ = false; });
    // The walk keeps the window alive (nothing deletes nodes meanwhile):
    // messages are handled between nodes, at most every 20 ms, so that a
    // fast disk is not held up by the message loop.
    constexpr DWORD kPumpInterval = 20;
    DWORD lastPump = GetTickCount();
    for (TTreeNode* node : nodes) {
        if (!continueScan_)
            break;
        SetDirSize(node);
        if (showDirSize_)
            RefreshNodeText(node);
        if (GetTickCount() - lastPump >= kPumpInterval) {
            Application->ProcessMessages();
            lastPump = GetTickCount();
        }
    }
}

void TDriveView::SetShowDirSize(bool Value)
{
    showDirSize_ = Value;
    const TWaitCursor wait;
    LockUpdate();
    const ScopeExit unlock([this] { UnlockUpdate(); });
    if (Value) {
        // The folders read so far get their sizes; those read later when
        // their captions are made.
        for (int i = 0; i < Items().RootCount(); ++i) {
            const std::function<void(TTreeNode*)> measure = [&](TTreeNode* node) {
                if (NodeData(node).DirSize < 0)
                    SetDirSize(node);
                for (int k = 0; k < node->Count(); ++k)
                    measure(node->Item(k));
            };
            measure(Items().Root(i));
        }
    }
    RefreshAllCaptions();
}

}  // namespace qrv
