// TDriveView: the folder commands — a new folder, deleting a folder,
// renaming one in place and putting one on the clipboard. Each pauses the drive's monitor while it changes the
// disk and updates the nodes itself instead of waiting for the change report.

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileClipboard.h"
#include "common/win/ShellFileOperator.h"
#include "common/win/ShellNotify.h"
#include "framework/IgnoredError.h"
#include "framework/InputErrors.h"
#include "framework/ScopeExit.h"
#include "framework/win/Forms.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/WaitCursor.h"
#include "panels/DirViewTexts.h"
#include "panels/RenameRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <exception>

namespace qrv {

namespace {

int SystemLanguage()
{
    return PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID()));
}

bool SameNameIgnoringCase(const std::wstring& A, const std::wstring& B)
{
    return CompareStringOrdinal(A.c_str(), static_cast<int>(A.size()), B.c_str(), static_cast<int>(B.size()), TRUE) ==
           CSTR_EQUAL;
}

// The list's watching is off for the life of the object.
class TListWatchPause {
public:
    explicit TListWatchPause(TDirView* List) : list_(List), was_(List && List->WatchForChanges())
    {
        if (list_)
            list_->SetWatchForChanges(false);
    }
    ~TListWatchPause()
    {
        if (list_)
            list_->SetWatchForChanges(was_);
    }
    TListWatchPause(const TListWatchPause&) = delete;
    TListWatchPause& operator=(const TListWatchPause&) = delete;

private:
    TDirView* list_;
    bool was_;
};

bool IsAncestorOrSelf(const TTreeNode* Ancestor, const TTreeNode* Node)
{
    for (; Node; Node = Node->Parent())
        if (Node == Ancestor)
            return true;
    return false;
}

}  // namespace

bool TDriveView::PauseDriveMonitor(wchar_t Drive)
{
    const bool active = WatchThreadActiveDrive(Drive);
    StopWatchThreadDrive(Drive);
    return active;
}

void TDriveView::ResumeDriveMonitor(wchar_t Drive, bool WasActive)
{
    if (WasActive)
        StartDriveMonitor(Drive);
}

TFileOperator& TDriveView::FileOperator()
{
    if (!fileOperator_) {
        fileOperator_ = NewShellFileOperator(this);
        fileOperator_->Flags = foAllowUndo | foNoConfirmMkDir;
    }
    return *fileOperator_;
}

TTreeNode* TDriveView::CreateDirectory(TTreeNode* Node, const std::wstring& Name)
{
    if (!Node)
        RaiseNodeNotAssigned(L"CreateDirectory");
    TNodeData& data = NodeData(Node);
    if (data.IsVirtual) {
        LastFileError = ERROR_INVALID_FUNCTION;
        return nullptr;
    }
    const std::wstring full = GetDirPath(Node) + L"\\" + Name;
    if (!IsPlainFileName(Name) || !IsFullPath(full)) {
        LastFileError = ERROR_INVALID_NAME;
        return nullptr;
    }
    // The children first, so that the new one is not read a second time.
    if (!data.AllScanned)
        ReadSubDirs(Node);
    if (PathExists(full)) {
        LastFileError = ERROR_ALREADY_EXISTS;
        return nullptr;
    }
    const wchar_t drive = GetDrive(Node);
    const bool monitored = PauseDriveMonitor(drive);
    const ScopeExit resumeMonitor([&] { ResumeDriveMonitor(drive, monitored); });
    const bool listShowsNode = dirView_ && SameText(dirView_->GetPath(), GetDirPathName(Node));
    const TListWatchPause listWatch(dirView_);
    if (!::CreateDirectoryW(full.c_str(), nullptr)) {
        LastFileError = GetLastError();
        return nullptr;
    }
    LastFileError = 0;
    NotifyShell(TShellChange::FolderCreated, full, TShellNoticeWait::Flush);

    WIN32_FIND_DATAW found{};
    TFindHandle find(FindFirstFileW(full.c_str(), &found));
    TSearchRec entry;
    entry.Name = find ? std::wstring(found.cFileName) : Name;
    entry.Attr = find ? found.dwFileAttributes : FILE_ATTRIBUTE_DIRECTORY;
    TTreeNode* child =
        InsertDiskNode(Node, DiskNodeData(GetDirPath(Node), entry, find ? found.cAlternateFileName : L""));
    // A new folder is empty: nothing to read or probe.
    NodeData(child).AllScanned = true;
    NodeData(child).Scanned = true;
    child->SetHasChildren(TNodeButton::None);
    SortChildren(Node, false);
    data.ShellAttr |= kShellAttrHasSubFolder;
    Node->SetHasChildren(TNodeButton::Shown);
    Node->Expand();
    if (listShowsNode)
        dirView_->ReloadDirectory();
    return child;
}

bool TDriveView::DeleteDirectory(TTreeNode* Node, bool ToRecycleBin)
{
    if (!Node)
        RaiseNodeNotAssigned(L"DeleteDirectory");
    const TNodeData& data = NodeData(Node);
    if (!Node->Parent() || data.IsVirtual || data.IsRecycleBin) {
        MessageBeep(MB_ICONHAND);
        return false;
    }
    const std::wstring path = GetDirPath(Node);
    if (PathExists(path)) {
        const TWaitCursor wait;
        const wchar_t drive = GetDrive(Node);
        const bool monitored = PauseDriveMonitor(drive);
        const ScopeExit resumeMonitor([&] { ResumeDriveMonitor(drive, monitored); });
        auto op = NewShellFileOperator(this);
        op->Operation = TFileOperation::foDelete;
        op->Flags = foNoConfirmMkDir;
        if (ToRecycleBin) {
            op->Flags |= foAllowUndo;
            if (WantNukeWarning)
                op->Flags |= foWantNukeWarning;
        }
        if (!ConfirmDelete)
            op->Flags |= foNoConfirmation;
        op->SourceFiles.Add(path);
        const bool done = op->Execute();
        // Only a folder that is gone loses its node, whatever the shell said.
        if (PathExists(path))
            return false;
        DeleteValidatedNode(Node);
        return done;
    }
    // Another program was quicker: only the node goes.
    DeleteValidatedNode(Node);
    return true;
}

bool TDriveView::CanEdit(TTreeNode* Node)
{
    if (!Node || !Node->Parent() || !Node->Object() || scanning_)
        return false;
    const TNodeData& data = NodeData(Node);
    if (data.IsVirtual || data.IsRecycleBin || (data.Attr & FILE_ATTRIBUTE_SYSTEM))
        return false;
    // Captions made of other names or with sizes are not file names.
    return SameNameIgnoringCase(Node->Text(), data.DirName);
}

void TDriveView::EditNodeName(TTreeNode* Node)
{
    if (!Node || !Node->ItemId() || !HandleAllocated())
        return;
    ::SetFocus(Handle());
    editByCode_ = true;
    const HWND edit =
        reinterpret_cast<HWND>(SendMessageW(Handle(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(Node->ItemId())));
    editByCode_ = false;
    if (edit && !reEditText_.empty())
        SetWindowTextW(edit, reEditText_.c_str());
    reEditText_.clear();
}

bool TDriveView::IsEditing() const
{
    return HandleAllocated() && SendMessageW(handle_, TVM_GETEDITCONTROL, 0, 0) != 0;
}

bool TDriveView::Edited(TTreeNode* Node, const wchar_t* Text)
{
    if (!editOpen_)
        return false;
    editOpen_ = false;
    ApplyEditedName(Node, Text);
    if (OnEditEnded)
        OnEditEnded(this);
    return false;
}

void TDriveView::ApplyEditedName(TTreeNode* Node, const wchar_t* Text)
{
    if (!Text || !Node->Object())
        return;
    const std::wstring typed = Text;
    if (typed.empty() || typed == Node->Text())
        return;
    const TRenameInput input =
        ReadRenameInput(typed, NodeData(Node).DirName, true, true, InvalidDirNameText(SystemLanguage()));
    if (input.Kind == TRenameInput::Cancel)
        return;
    if (input.Kind == TRenameInput::Invalid) {
        // What the user typed, not a fault of the program: the application's
        // handler shows it without counting it, and the name is not edited
        // again. Handed over rather than thrown, so that the edit's end is
        // still reported.
        MessageBeep(MB_ICONHAND);
        Application->HandleException(std::make_exception_ptr(EInvalidDirName(input.Error)));
        return;
    }
    // The node's caption is set by the rename itself.
    (void)RenameNode(Node, input.NewName, typed);
}

bool TDriveView::RenameNode(TTreeNode* Node, const std::wstring& NewName, const std::wstring& Typed)
{
    const std::wstring oldPath = GetDirPath(Node);
    const std::wstring newPath = GetDirPath(Node->Parent()) + L"\\" + NewName;
    if (OnRenameBegin)
        OnRenameBegin(this, Node);
    bool done = false;
    {
        const wchar_t drive = GetDrive(Node);
        const bool monitored = PauseDriveMonitor(drive);
        const ScopeExit resumeMonitor([&] { ResumeDriveMonitor(drive, monitored); });
        const TListWatchPause listWatch(dirView_);
        TFileOperator& op = FileOperator();
        op.Operation = TFileOperation::foRename;
        op.Flags = foAllowUndo | foNoConfirmation;
        op.SourceFiles.Add(oldPath);
        op.DestFiles.Add(newPath);
        done = op.Execute();
        if (done) {
            TNodeData& data = NodeData(Node);
            WIN32_FIND_DATAW found{};
            TFindHandle find(FindFirstFileW(newPath.c_str(), &found));
            data.DirName = find ? std::wstring(found.cFileName) : NewName;
            data.DisplayName = data.DirName;
            data.ShortName = NodeShortName(data.DirName, find ? found.cAlternateFileName : L"");
            RefreshNodeText(Node);
            SortChildren(Node->Parent(), false);
            // A list showing the renamed folder or one inside it follows.
            if (dirView_ && Selected() && IsAncestorOrSelf(Node, Selected()))
                dirView_->SetPath(GetDirPathName(Selected()));
            else if (dirView_ && dirView_->Loaded())
                dirView_->ReloadDirectory();
        }
    }
    if (OnRenameEnd)
        OnRenameEnd(this, Node);
    if (done)
        return true;
    const TDirViewTexts& texts = DirViewTextsFor(SystemLanguage());
    const std::wstring text = (PathExists(newPath) ? texts.AlreadyExists : texts.RenameError) + NewName;
    MessageBeep(MB_ICONHAND);
    const bool again =
        AskRenameAgain ? AskRenameAgain(text) : MessageDlg(text, TMsgDlgType::mtError, mbOK | mbAbort) == mrOk;
    if (again) {
        reEditPath_ = oldPath;
        reEditText_ = Typed;
        PostMessageW(Handle(), WM_DRIVEVIEW_REEDIT, 0, 0);
    }
    return false;
}

void TDriveView::ReopenEditor()
{
    // The node is looked up again: it may have gone meanwhile.
    TTreeNode* node = reEditPath_.empty() ? nullptr : NodeForPath(reEditPath_);
    reEditPath_.clear();
    if (node)
        EditNodeName(node);
    else
        reEditText_.clear();
}

bool TDriveView::CopyToClipBoard(TTreeNode* Node)
{
    return PutOnClipBoard(Node, false);
}

bool TDriveView::CutToClipBoard(TTreeNode* Node)
{
    return PutOnClipBoard(Node, true);
}

bool TDriveView::PutOnClipBoard(TTreeNode* Node, bool Cut)
{
    // A drive is neither copied nor moved as a whole.
    if (!Node || !Node->Parent() || !Node->Object() || NodeData(Node).IsVirtual || !HandleAllocated())
        return false;
    // Whatever was marked before is off the clipboard now.
    EmptyClipboard();
    const std::wstring path = GetDirPath(Node);
    if (!PutFilesOnClipboard(Handle(), {path}, Cut))
        return false;
    if (Cut) {
        cutMark_ = path;
        Node->SetCut(true);
    }
    return true;
}

void TDriveView::ClearCutMark()
{
    if (cutMark_.empty())
        return;
    // The node is looked up: the one marked may have been re-read or gone.
    if (TTreeNode* node = NodeForPath(cutMark_))
        node->SetCut(false);
    cutMark_.clear();
}

void TDriveView::EmptyClipboard()
{
    if (!EmptyFileClipboard(HandleAllocated() ? Handle() : nullptr))
        TraceIgnoredFailure(L"emptying the clipboard", GetLastError());
    ClearCutMark();
    if (dirView_)
        dirView_->ClearCutMarks();
}

}  // namespace qrv
