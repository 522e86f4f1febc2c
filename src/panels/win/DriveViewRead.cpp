// TDriveView: reading a folder's subfolders on a worker. The tree waits a
// moment for the answer (a small folder opens at once, as it always did);
// a folder that takes longer stays with its button and a busy mark while
// the window answers the user, and is filled (and opened, when that was
// asked) when the answer comes. Finding a path's node below a folder still
// being read looks up that one subfolder instead of waiting for the rest.

#include "panels/win/DriveViewRead.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/TimingTrace.h"
#include "panels/TreeValidation.h"
#include "panels/win/DriveViewNode.h"
#include "panels/win/SentMessageWait.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace qrv {

namespace {

constexpr UINT kSubFolderAnswersMessage = WM_APP + 0x124;

// How long the window's thread waits for a folder's subfolders before it
// leaves the folder to the worker and goes on: a small folder is read well
// within it, the user does not notice the wait.
constexpr auto kReadGrace = std::chrono::milliseconds(30);

TSubFolderAnswer ReadSubFolders(const TSubFolderRequest& Request)
{
    return TSubFolderAnswer{Request.NodeId, ListSubFolders(Request.Path, Request.HideHiddenDirs)};
}

}  // namespace

TDriveView::TReadState::TReadState()
    : Window(kSubFolderAnswersMessage), Arrived(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      Queue(
          ReadSubFolders,
          [](const TSubFolderRequest& Request) {
              TSubFolderAnswer answer{Request.NodeId, {}};
              answer.List.Error = ERROR_READ_FAULT;
              return answer;
          },
          [announce = Window.Announcement(), arrived = Arrived.Get()] {
              SetEvent(arrived);
              announce();
          },
          L"searching a folder for its subfolders")
{
    Queue.OnWorkerStart = [] { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); };
}

bool TDriveView::QueueSubDirRead(TTreeNode* Node)
{
    if (!readInBackground_ || !HandleAllocated())
        return false;
    if (!reads_) {
        reads_ = std::make_unique<TReadState>();
        reads_->Window.Set(Handle());
    }
    TReadState& state = *reads_;
    if (state.Nodes.Contains(Node))
        return true;
    const uint64_t id = state.Nodes.NextId();
    if (!state.Queue.Queue(TSubFolderRequest{id, GetDirPath(Node), hideHiddenDirs_}))
        return false;
    state.Nodes.Add(Node, id);
    if (TimingTraceEnabled())
        TraceTiming(L"tree queues " + GetDirPathName(Node));
    return true;
}

void TDriveView::AwaitSubDirRead(TTreeNode* Node)
{
    const auto until = std::chrono::steady_clock::now() + kReadGrace;
    while (SubDirReadPending(Node)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        const HANDLE arrived = reads_->Arrived.Get();
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &arrived, static_cast<DWORD>(left.count()), QS_SENDMESSAGE,
                                                       MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0)
            TakeSubDirReads(Node);
        else if (woke == WAIT_OBJECT_0 + 1)
            AnswerSentMessages();
        else
            break;
    }
    if (SubDirReadPending(Node)) {
        // Drawn with its button and the busy mark until the answer comes.
        Node->SetHasChildren(TNodeButton::Shown);
        InvalidateNode(Node);
    }
}

void TDriveView::TakeSubDirReads(TTreeNode* Only)
{
    if (!reads_)
        return;
    TReadState& state = *reads_;
    for (TSubFolderAnswer& answer : state.Queue.TakeResults())
        state.Answers.push_back(std::move(answer));
    // While the window's thread waits for one folder inside another call,
    // the other answers wait for the posted message: applying them there
    // could delete a node the waiting call still holds.
    std::vector<TSubFolderAnswer> kept;
    std::vector<TSubFolderAnswer> answers = std::exchange(state.Answers, {});
    for (TSubFolderAnswer& answer : answers) {
        if (Only && state.Nodes.Find(answer.NodeId) != Only) {
            kept.push_back(std::move(answer));
            continue;
        }
        TTreeNode* node = state.Nodes.Take(answer.NodeId);
        if (!node)
            continue;  // the node went meanwhile
        const bool expand = state.ExpandWhenRead.erase(node) > 0;
        try {
            ApplySubFolders(node, answer.List);
            if (!Only)
                ReportError(node);
            if (expand && node->Count() > 0)
                node->Expand();
        } catch (const std::exception&) {
            TraceIgnoredException(L"placing a folder's subfolders in the tree");
        }
        InvalidateNode(node);
    }
    // Answers may have come while the others were applied.
    for (TSubFolderAnswer& answer : kept)
        state.Answers.push_back(std::move(answer));
    if (!state.Answers.empty() && HandleAllocated())
        PostMessageW(Handle(), kSubFolderAnswersMessage, 0, 0);
}

void TDriveView::ApplySubFolders(TTreeNode* Node, const TSubFolderList& List)
{
    TTimingScope timing(TimingTraceEnabled() ? L"tree fills " + GetDirPathName(Node) : std::wstring());
    const std::wstring path = GetDirPath(Node);
    lastError_ = List.Error;
    const std::wstring separator = LocaleThousandSeparator();
    auto insert = [&](const TFoundFolder& folder) {
        TSearchRec entry;
        entry.Name = folder.Name;
        entry.Attr = folder.Attr;
        auto holder = std::make_unique<TDriveViewNode>();
        holder->Data = DiskNodeData(path, entry, folder.AlternateName);
        const std::wstring caption = FolderCaption(holder->Data, fileNameDisplay_, showDirSize_, separator);
        TTreeNode* child = Items().Insert(Node, nullptr, caption, TNodeButton::Ask, std::move(holder));
        if (!ScanDirAllowed(child)) {
            NodeData(child).AllScanned = true;
            child->SetHasChildren(TNodeButton::None);
        }
    };
    {
        // One repaint for the whole batch; the control without redrawing
        // also skips its scroll bar upkeep for each added item.
        TUpdateLock<TDriveView> lock(*this, &TDriveView::LockUpdate, &TDriveView::UnlockUpdate);
        if (Node->Count() == 0) {
            for (const TFoundFolder& folder : List.Folders)
                insert(folder);
        } else {
            // Children found before (a path's folder looked up alone, a
            // folder made meanwhile) keep their nodes, their subtrees and
            // the selection.
            std::vector<std::wstring> names;
            names.reserve(List.Folders.size());
            std::unordered_map<std::wstring, size_t> byName;
            for (size_t i = 0; i < List.Folders.size(); ++i) {
                names.push_back(List.Folders[i].Name);
                byName.emplace(List.Folders[i].Name, i);
            }
            std::vector<TChildName> children;
            children.reserve(static_cast<size_t>(Node->Count()));
            for (int i = 0; i < Node->Count(); ++i)
                children.push_back({Node->Item(i), NodeData(Node->Item(i)).DirName});
            const TChildrenDiff diff = DiffChildren(children, names);
            for (const TChildName& respelled : diff.Respelled) {
                const TFoundFolder& folder = List.Folders[byName.at(respelled.Name)];
                TSearchRec entry;
                entry.Name = folder.Name;
                entry.Attr = folder.Attr;
                const TNodeData fresh = DiskNodeData(path, entry, folder.AlternateName);
                TNodeData& data = NodeData(static_cast<TTreeNode*>(respelled.Node));
                data.DirName = fresh.DirName;
                data.DisplayName = fresh.DisplayName;
                data.ShortName = fresh.ShortName;
                RefreshNodeText(static_cast<TTreeNode*>(respelled.Node));
            }
            for (TNodeRef gone : diff.Deleted)
                DeleteValidatedNode(static_cast<TTreeNode*>(gone));
            for (const std::wstring& name : diff.Added)
                insert(List.Folders[byName.at(name)]);
        }
        SortChildren(Node, false);
    }
    TNodeData& data = NodeData(Node);
    data.AllScanned = true;
    const bool has = Node->Count() > 0;
    data.ShellAttr = has ? data.ShellAttr | kShellAttrHasSubFolder : data.ShellAttr & ~kShellAttrHasSubFolder;
    if (!Node->Parent())
        drives_[GetDrive(Node)].Scanned = true;
    Node->SetHasChildren(has ? TNodeButton::Shown : TNodeButton::None);
    RefreshNodeText(Node);
}

TNodeRef TDriveView::LookUpChild(TNodeRef Ref, const std::wstring& Name)
{
    auto* node = static_cast<TTreeNode*>(Ref);
    if (NodeData(node).IsVirtual || Name.find_first_of(L"*?") != std::wstring::npos)
        return nullptr;
    const std::wstring path = GetDirPath(node);
    WIN32_FIND_DATAW found{};
    // A name that may be a short one is searched for its long name; any
    // other is asked for its attributes alone (under Wine a search reads
    // the whole folder first), and the worker's answer brings its spelling
    // on the disk.
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (Name.find(L'~') == std::wstring::npos && FileAttributeData(path + L"\\" + Name, attributes)) {
        found.dwFileAttributes = attributes.dwFileAttributes;
        Name.copy(found.cFileName, std::min<size_t>(Name.size(), MAX_PATH - 1));
        if (!IsListedSubFolder(found, hideHiddenDirs_))
            return nullptr;
    } else {
        TFindHandle find(FindFirstFileW((path + L"\\" + Name).c_str(), &found));
        if (!find || !IsListedSubFolder(found, hideHiddenDirs_))
            return nullptr;
    }
    // Asked by its short name, the folder may have a node by its long one.
    for (int i = 0; i < node->Count(); ++i)
        if (SameText(NodeData(node->Item(i)).DirName, found.cFileName))
            return node->Item(i);
    TSearchRec entry;
    entry.Name = found.cFileName;
    entry.Attr = found.dwFileAttributes;
    TTreeNode* child = InsertDiskNode(node, DiskNodeData(path, entry, found.cAlternateFileName));
    if (!ScanDirAllowed(child)) {
        NodeData(child).AllScanned = true;
        child->SetHasChildren(TNodeButton::None);
    }
    SortChildren(node, false);
    node->SetHasChildren(TNodeButton::Shown);
    return child;
}

bool TDriveView::SubDirReadPending(TTreeNode* Node) const
{
    return reads_ && reads_->Nodes.Contains(Node);
}

size_t TDriveView::ReadsPending() const
{
    return reads_ ? reads_->Nodes.Count() : 0;
}

void TDriveView::ForgetSubDirRead(TTreeNode* Node)
{
    if (!reads_)
        return;
    reads_->ExpandWhenRead.erase(Node);
    if (const std::optional<uint64_t> id = reads_->Nodes.Forget(Node))
        reads_->Queue.Forget(*id);
}

void TDriveView::ExpandWhenRead(TTreeNode* Node)
{
    if (reads_)
        reads_->ExpandWhenRead.insert(Node);
}

bool TDriveView::SubDirReadMessage(TMessage& message)
{
    if (message.Msg != kSubFolderAnswersMessage)
        return false;
    TakeSubDirReads(nullptr);
    message.Result = 0;
    return true;
}

void TDriveView::InvalidateNode(TTreeNode* Node)
{
    // TVM_GETITEMRECT takes the item in the rectangle; FALSE: the whole line.
    RECT rect{};
    const HTREEITEM item = Node->ItemId();
    std::memcpy(&rect, &item, sizeof item);
    if (HandleAllocated() && item && SendMessageW(Handle(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)))
        InvalidateRect(Handle(), &rect, FALSE);
}

}  // namespace qrv
