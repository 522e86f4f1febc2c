#include "mainwindow/win/FileCommands.h"

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/ScopeExit.h"
#include "framework/win/Handles.h"
#include "mainwindow/FileCommandRules.h"
#include "mainwindow/ShellErrors.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

#include <shellapi.h>
#include <shlobj.h>

namespace qrv {

namespace {

constexpr int kUndoHelpContext = 510;
constexpr DWORD kNewFolderEditDelayMs = 200;

uint32_t MaxNameLength(const std::wstring& Path)
{
    const std::wstring root = Path.size() >= 3 ? Path.substr(0, 3) : AddBackslash(Path);
    DWORD maxLength = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &maxLength, nullptr, nullptr, 0)) {
        return 255;
    }
    return maxLength;
}

std::wstring Quoted(const std::wstring& Format, const std::wstring& Name)
{
    return ReplaceSubStr(Format, L"%s", Name);
}

bool HasFocus(HWND Window)
{
    const HWND focus = GetFocus();
    return Window && focus && (focus == Window || IsChild(Window, focus));
}

// Whether the shell knows Verb for folders or drives. Where it does not,
// the shell would carry out its default verb instead (Wine opens the folder
// in a hidden window).
bool FolderVerbRegistered(const std::wstring& Verb)
{
    for (const wchar_t* type : {L"Directory", L"Drive", L"Folder"}) {
        TRegKey key;
        const std::wstring name = std::wstring(type) + L"\\shell\\" + Verb;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) {
            return true;
        }
    }
    return false;
}

// Whether the control panel's shortcut wizard is there for RUNDLL32: a
// missing one would fail inside RUNDLL32, unseen.
bool ShortcutWizardPresent()
{
    TModuleHandle module(LoadLibraryExW(L"appwiz.cpl", nullptr, DONT_RESOLVE_DLL_REFERENCES));
    return module && (GetProcAddress(module.Get(), "NewLinkHereW") || GetProcAddress(module.Get(), "NewLinkHere"));
}

}  // namespace

TFileCommands::TFileCommands(const TMainPanes& Panes, TMainWindowServices& Services, TFileCommandsHost& Host)
    : panes_(Panes), services_(Services), host_(Host)
{}

void TFileCommands::Refuse(const std::wstring& Text)
{
    MessageBeep(MB_ICONHAND);
    services_.ShowMessageBox(Text, TMsgDlgType::mtError, 0, mbOK);
}

bool TFileCommands::ShellNoConfirmRecycle() const
{
    SHELLFLAGSTATE state{};
    SHGetSettings(&state, SSF_NOCONFIRMRECYCLE);
    return state.fNoConfirmRecycle != 0;
}

TFilePane TFileCommands::FocusedPane()
{
    TDriveView* tree = panes_.TreeView1;
    if (tree && tree->HandleAllocated() && HasFocus(tree->Handle())) {
        return TFilePane::Tree;
    }
    TDirView* list = panes_.ActiveList;
    if (list && list->HandleAllocated() && HasFocus(list->Handle())) {
        return TFilePane::List;
    }
    return TFilePane::None;
}

std::wstring TFileCommands::ListFolder()
{
    TDirView* list = panes_.ActiveList;
    if (!list || !list->Loaded() || list->IsVirtual()) {
        return std::wstring();
    }
    const std::wstring path = list->GetPath();
    return path.size() == 2 && path[1] == L':' ? path + L"\\" : path;
}

// ---- Keys ---------------------------------------------------------------------------

bool TFileCommands::ListKeyDown(WORD Key, bool Shift, bool Ctrl)
{
    TDirView* list = panes_.ActiveList;
    // The name editor keeps its keys.
    if (list == nullptr || (list->HandleAllocated() && SendMessageW(list->Handle(), LVM_GETEDITCONTROL, 0, 0))) {
        return false;
    }
    return PaneKeyDown(TFilePane::List, Key, Shift, Ctrl);
}

bool TFileCommands::TreeKeyDown(WORD Key, bool Shift, bool Ctrl)
{
    TDriveView* tree = panes_.TreeView1;
    if (tree == nullptr || tree->Selected() == nullptr || tree->IsEditing()) {
        return false;
    }
    return PaneKeyDown(TFilePane::Tree, Key, Shift, Ctrl);
}

bool TFileCommands::PaneKeyDown(TFilePane Pane, WORD Key, bool Shift, bool Ctrl)
{
    TDirView* list = panes_.ActiveList;
    const bool virtualFolder = Pane == TFilePane::List && list && list->IsVirtual();
    physicalDelete_ = Shift;
    const ScopeExit clearPhysical([this] { physicalDelete_ = false; });
    switch (Key) {
    case VK_INSERT:
        if (Shift || virtualFolder) {
            return false;
        }
        Ctrl ? NewFile() : NewDir();
        return true;
    case VK_DELETE:
        if (Ctrl) {
            return false;
        }
        DeleteObject();
        return true;
    case VK_F2:
        if (Shift || Ctrl) {
            return false;
        }
        EditObject();
        return true;
    case VK_F3:
        if (Shift || Ctrl) {
            return false;
        }
        FindDatei();
        return true;
    default:
        break;
    }
    if (!Ctrl || Shift) {
        return false;
    }
    switch (Key) {
    case 'C':
    case 'X':
        if (virtualFolder) {
            return false;
        }
        ClipBoardCopy(Key == 'X');
        return true;
    case 'V':
        if (virtualFolder) {
            return false;
        }
        ClipBoardPaste();
        return true;
    case 'Z':
        FileUndo();
        return true;
    case 'D':
        DOS();
        return true;
    case 'A':
        SelectAll();
        return true;
    case 'I':
        SelectInvert();
        return true;
    default:
        return false;
    }
}

// ---- New folders and files ------------------------------------------------------------

void TFileCommands::CreateItem(bool Directory)
{
    TDirView* list = panes_.ActiveList;
    TDriveView* tree = panes_.TreeView1;
    const bool inTree = Directory && FocusedPane() == TFilePane::Tree;
    if (inTree) {
        TTreeNode* node = tree->Selected();
        if (node == nullptr || node->Object() == nullptr) {
            Refuse(L"Kein Verzeichnis fokusiert.");
            return;
        }
        if (tree->NodeData(node).IsVirtual) {
            MessageBeep(MB_ICONHAND);
            return;
        }
        const std::wstring folder = tree->GetDirPathName(node);
        const std::wstring name = NewItemName(folder, true, MaxNameLength(folder), PathExists);
        TTreeNode* created = name.empty() ? nullptr : tree->CreateDirectory(node, name);
        if (created == nullptr) {
            Refuse(Win32ErrorText(LastFileError) + L"\r\r" +
                   Quoted(L"Fehler beim Anlegen des Verzeichnisses: \"%s\".", name));
            return;
        }
        // The new node is drawn and left a moment in view before its name
        // opens for editing.
        UpdateWindow(tree->Handle());
        Sleep(kNewFolderEditDelayMs);
        editingByCommand_ = true;
        const ScopeExit done([this] { editingByCommand_ = false; });
        tree->EditNodeName(created);
        return;
    }
    if (list == nullptr || !list->Loaded() || list->IsVirtual() || list->FullPathItems()) {
        MessageBeep(MB_OK);
        return;
    }
    const std::wstring name = NewItemName(list->GetPath(), Directory, MaxNameLength(list->GetPath()), PathExists);
    TFileRec* item = name.empty() ? nullptr : (Directory ? list->CreateDirectory(name) : list->CreateFile(name));
    if (item == nullptr) {
        const std::wstring what =
            Directory ? L"Fehler beim Anlegen des Verzeichnisses: \"%s\"." : L"Fehler beim Anlegen der Datei: \"%s\".";
        Refuse(Win32ErrorText(LastFileError) + L"\r\r" + Quoted(what, name));
        return;
    }
    editingByCommand_ = true;
    const ScopeExit done([this] { editingByCommand_ = false; });
    list->EditItemName(*item);
}

void TFileCommands::EditItemByCommand(TDirView& List, TFileRec& Item)
{
    editingByCommand_ = true;
    const ScopeExit done([this] { editingByCommand_ = false; });
    List.EditItemName(Item);
}

void TFileCommands::NewDir()
{
    CreateItem(true);
}

void TFileCommands::NewFile()
{
    CreateItem(false);
}

// ---- Delete ---------------------------------------------------------------------------

void TFileCommands::DeleteObjectPhysical()
{
    const bool saved = physicalDelete_;
    physicalDelete_ = true;
    const ScopeExit restore([&] { physicalDelete_ = saved; });
    DeleteObject();
}

void TFileCommands::DeleteObject()
{
    switch (FocusedPane()) {
    case TFilePane::Tree:
        DeleteInTree();
        return;
    case TFilePane::List:
        DeleteInList();
        return;
    case TFilePane::None:
        break;
    }
    Refuse(L"Kein löschbares Element fokusiert.");
}

void TFileCommands::DeleteInTree()
{
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree->Selected();
    const TOptions& options = host_.FileOptions();
    TDeleteContext context;
    context.Focus = TDeleteFocus::Tree;
    context.TreeNodeBelowDrive = node && node->Parent() && node->Object();
    if (context.TreeNodeBelowDrive) {
        context.TreeFolderName = tree->GetDirName(node);
        // The folder's own drive decides, not the list's.
        const std::wstring root = std::wstring(1, tree->GetDrive(node)) + L":\\";
        context.DriveType = GetDriveTypeW(root.c_str());
    }
    context.PhysicalRequested = physicalDelete_;
    context.ConfirmLogicalDel = options.ConfirmLogicalDel;
    context.ConfirmPhysicalDel = options.ConfirmPhysicalDel;
    context.ShellNoConfirmRecycle = ShellNoConfirmRecycle();
    const TDeleteDecision decision = DecideDelete(context);
    if (decision.Target != TDeleteTarget::Tree) {
        Refuse(decision.Error);
        return;
    }
    if (!decision.Question.empty() &&
        services_.ShowMessageBox(decision.Question, TMsgDlgType::mtConfirmation, 0, mbOK | mbCancel) != mrOk) {
        return;
    }
    // A file shown from inside the folder must be let go first.
    if (!host_.ClearDisplay()) {
        return;
    }
    TDirView* list = panes_.ActiveList;
    const bool listWatching = list && list->WatchForChanges();
    if (list) {
        list->SetWatchForChanges(false);
    }
    const bool savedConfirm = tree->ConfirmDelete;
    tree->ConfirmDelete = decision.ShellConfirms;
    const ScopeExit restore([&] {
        tree->ConfirmDelete = savedConfirm;
        if (list) {
            list->SetWatchForChanges(listWatching);
        }
    });
    const std::wstring deleted = tree->GetDirPath(node);
    const ScopeExit showAgain([&] { host_.DisplayFocusedFile(); });
    (void)tree->DeleteDirectory(node, !decision.Physical);
    if (!decision.Physical) {
        lastOperator_ = nullptr;  // what went to the recycle bin is undone there
    }
    FollowDelete(deleted);
    services_.RefreshStatusBar();
    services_.UpdateActionStates();
}

void TFileCommands::DeleteInList()
{
    TDirView* list = panes_.ActiveList;
    const TOptions& options = host_.FileOptions();
    TDeleteContext context;
    context.Focus = TDeleteFocus::List;
    context.ListSelCount = list->SelCount();
    context.ListFullPathItems = list->FullPathItems();
    context.DriveType = static_cast<uint32_t>(list->DriveType());
    context.PhysicalRequested = physicalDelete_;
    context.ConfirmLogicalDel = options.ConfirmLogicalDel;
    context.ConfirmPhysicalDel = options.ConfirmPhysicalDel;
    context.ShellNoConfirmRecycle = ShellNoConfirmRecycle();
    const TDeleteDecision decision = DecideDelete(context);
    if (decision.Target != TDeleteTarget::List) {
        Refuse(decision.Error);
        return;
    }
    if (!decision.Question.empty() &&
        services_.ShowMessageBox(decision.Question, TMsgDlgType::mtConfirmation, 0, mbOK | mbCancel) != mrOk) {
        return;
    }
    const bool savedConfirm = list->ConfirmDelete;
    list->ConfirmDelete = decision.ShellConfirms;
    const ScopeExit restore([&] { list->ConfirmDelete = savedConfirm; });
    // A changed text the user keeps stops the delete.
    if (!host_.ClearDisplay()) {
        return;
    }
    const ScopeExit showAgain([&] { host_.DisplayFocusedFile(); });
    bool folderAmongThem = false;
    for (int i = 0; i < list->ItemCount() && !folderAmongThem; ++i) {
        const TFileRec* item = list->GetItemData(i);
        folderAmongThem = item->Selected && item->IsDirectory && !item->IsParentDir;
    }
    (void)list->DeleteSelectedFiles(!decision.Physical);
    // The tree drops the nodes of the folders that went.
    TDriveView* tree = panes_.TreeView1;
    if (folderAmongThem && tree) {
        if (TTreeNode* node = tree->NodeForPath(list->GetPath())) {
            tree->ValidateDirectory(node);
        }
    }
    if (!decision.Physical) {
        lastOperator_ = nullptr;  // what went to the recycle bin is undone there
    }
    FollowDelete(list->GetPath());
    services_.RefreshStatusBar();
    services_.UpdateActionStates();
}

void TFileCommands::FollowDelete(const std::wstring& Changed)
{
    TDirView* other = panes_.OtherList();
    if (other == nullptr || other == panes_.ActiveList || !other->Loaded() || other->IsVirtual()) {
        return;
    }
    const TListFollowUp followUp = FollowChangedFolder(
        other->GetPath(), Changed, [](const std::wstring& folder) { return PathExists(AddBackslash(folder)); });
    switch (followUp.Kind) {
    case TListFollowUp::Reread:
        other->ReloadDirectory();
        break;
    case TListFollowUp::Load:
        other->SetPath(followUp.Folder);
        break;
    case TListFollowUp::Nothing:
        break;
    }
}

// ---- Rename ---------------------------------------------------------------------------

void TFileCommands::EditObject()
{
    TDriveView* tree = panes_.TreeView1;
    TDirView* list = panes_.ActiveList;
    if ((tree && tree->IsEditing()) ||
        (list && list->HandleAllocated() && SendMessageW(list->Handle(), LVM_GETEDITCONTROL, 0, 0) != 0)) {
        return;
    }
    editingByCommand_ = true;
    const ScopeExit done([this] { editingByCommand_ = false; });
    if (FocusedPane() == TFilePane::Tree) {
        TTreeNode* node = tree->Selected();
        if (node && node->Parent()) {
            tree->EditNodeName(node);
            return;
        }
    } else if (list) {
        for (int i = 0; i < list->ItemCount(); ++i) {
            TFileRec* item = list->GetItemData(i);
            if (item->Selected && !item->IsParentDir) {
                list->EditItemName(*item);
                return;
            }
        }
    }
    Refuse(L"Kein editierbares Element fokusiert.");
}

// ---- Clipboard --------------------------------------------------------------------------

void TFileCommands::ClipBoardCopy(bool Cut)
{
    if (host_.TextControlFocused()) {
        host_.TextCopy(Cut);
        return;
    }
    if (FocusedPane() == TFilePane::Tree) {
        TDriveView* tree = panes_.TreeView1;
        TTreeNode* node = tree->Selected();
        if (node == nullptr || !(Cut ? tree->CutToClipBoard(node) : tree->CopyToClipBoard(node))) {
            MessageBeep(MB_OK);
        }
        return;
    }
    TDirView* list = panes_.ActiveList;
    if (list == nullptr || list->SelCount() == 0 || !list->CopyToClipBoard(!Cut)) {
        MessageBeep(MB_OK);
    }
}

void TFileCommands::ClipBoardPaste()
{
    if (host_.TextControlFocused()) {
        host_.TextPaste();
        return;
    }
    TDirView* list = panes_.ActiveList;
    if (list == nullptr || !list->CanPasteFromClipBoard()) {
        MessageBeep(MB_OK);
        return;
    }
    TFileOperator& op = list->FileOperator();
    const bool pasted = list->PasteFromClipBoard(L"");
    // A copy or move the shell carried out only in part can be undone as well.
    if (pasted || (op.UndoAvailable() && (!op.NotMoved().empty() || !op.FailedTargets().empty()))) {
        lastOperator_ = &op;
    }
    if (!pasted && !op.FailedTargets().empty()) {
        // The shell reported success, but the targets are not whole (a full drive).
        std::wstring text = op.Operation == TFileOperation::foMove
                                ? L"Diese Elemente wurden nicht vollständig verschoben:"
                                : L"Diese Elemente wurden nicht vollständig kopiert:";
        for (const TTargetFailure& failure : op.FailedTargets()) {
            text += L"\n" + failure.Target + L": " + Win32ErrorText(failure.Error);
        }
        Refuse(text);
    }
    if (!pasted && !op.NotMoved().empty()) {
        std::wstring text = L"Diese Elemente wurden nicht verschoben:";
        for (const std::wstring& name : op.NotMoved()) {
            text += L"\n" + name;
        }
        Refuse(text);
    }
    services_.RefreshStatusBar();
}

void TFileCommands::ClipBoardDelete()
{
    // Each pane empties it and drops its own cut marks.
    for (TDirView* list : {panes_.ActiveList, panes_.OtherList()}) {
        if (list) {
            list->EmptyClipboard();
        }
    }
    if (TDriveView* tree = panes_.TreeView1) {
        tree->EmptyClipboard();
    }
}

// ---- Undo -------------------------------------------------------------------------------

void TFileCommands::FileUndo()
{
    // In a focused text the key undoes the text's last change first; with
    // none left it undoes the last file operation.
    if (host_.TextControlFocused() && host_.TextUndo())
        return;
    // The operator may be the other list's: the one that did the paste.
    TDirView* list = panes_.ActiveList;
    TDirView* other = panes_.OtherList();
    if (other != nullptr && lastOperator_ == &other->FileOperator()) {
        list = other;
    }
    TDriveView* tree = panes_.TreeView1;
    const bool listOwns = list != nullptr && lastOperator_ == &list->FileOperator();
    const bool treeOwns = tree != nullptr && lastOperator_ == &tree->FileOperator();
    if (lastOperator_ == nullptr || !lastOperator_->UndoAvailable() || !(listOwns || treeOwns)) {
        MessageBeep(MB_ICONHAND);
        services_.ShowMessageBox(L"Operation kann nicht rückgängig gemacht werden.", TMsgDlgType::mtError,
                                 kUndoHelpContext, mbOK | mbHelp);
        return;
    }
    bool done = false;
    if (listOwns) {
        done = list->UndoCopyMove();
    } else {
        // The folders the rename touched are brought in line with the disk.
        std::vector<std::wstring> folders;
        for (const std::wstring& path : lastOperator_->LastSource()) {
            folders.push_back(ExtractFilePath(path));
        }
        done = lastOperator_->Undo();
        for (const std::wstring& folder : folders) {
            if (TTreeNode* node = tree->NodeForPathOrParent(folder)) {
                tree->ValidateDirectory(node);
            }
        }
        if (list && list->Loaded()) {
            list->ReloadDirectory();
        }
    }
    if (!done) {
        MessageBeep(MB_ICONHAND);
        services_.ShowMessageBox(L"Fehler bei Rückgängigmachen der Dateioperation", TMsgDlgType::mtError,
                                 kUndoHelpContext, mbOK | mbHelp);
    }
    const std::vector<std::wstring>& kept = lastOperator_->UndoKept();
    if (!kept.empty()) {
        std::wstring text = L"Diese Elemente bestanden schon vorher oder ihr alter Platz ist belegt; sie bleiben:";
        for (const std::wstring& name : kept) {
            text += L"\n" + name;
        }
        services_.ShowMessageBox(text, TMsgDlgType::mtInformation, kUndoHelpContext, mbOK);
    }
    services_.RefreshStatusBar();
}

// ---- Programs and the shell --------------------------------------------------------------

void TFileCommands::DOS()
{
    const std::wstring program = host_.ComSpec();
    const std::wstring folder = ListFolder();
    const intptr_t result = reinterpret_cast<intptr_t>(ShellExecuteW(
        nullptr, L"open", program.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
    if (result <= 32) {
        Refuse(L"Fehler beim Ausführen von: " + program + L"\n" + ShellExecuteErrorText(result));
    }
}

void TFileCommands::NewLink()
{
    const std::wstring folder = ListFolder();
    if (folder.empty()) {
        MessageBeep(MB_ICONHAND);
        return;
    }
    const std::wstring parameters = L"AppWiz.Cpl,NewLinkHere " + AddBackslash(folder);
    const intptr_t result =
        ShortcutWizardPresent()
            ? reinterpret_cast<intptr_t>(ShellExecuteW(GetDesktopWindow(), L"open", L"RUNDLL32.EXE", parameters.c_str(),
                                                       folder.c_str(), SW_SHOWNORMAL))
            : SE_ERR_DLLNOTFOUND;
    if (result <= 32) {
        Refuse(ShellExecuteErrorText(result) + L"\n" +
               Quoted(L"Fehler beim Ausführen der Datei \"%s\" aufgetreten.", L"RUNDLL32.EXE"));
    }
}

void TFileCommands::FindDatei()
{
    if (host_.TextControlFocused()) {
        host_.TextFind();
        return;
    }
    std::wstring folder = ListFolder();
    if (folder.empty()) {
        MessageBeep(MB_ICONHAND);
        return;
    }
    // Below the drive level a folder whose name has no extension gets a
    // "." so the shell does not take it for a file of that name.
    if (folder.size() > 3 && ExtractFileExt(folder).empty()) {
        folder += L".";
    }
    const std::wstring failed = L"Fehler beim Ausführen von: Shell-Kommando \"find\"\n";
    if (!FolderVerbRegistered(L"find")) {
        Refuse(failed + Win32ErrorText(ERROR_NO_ASSOCIATION));
        return;
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"find";
    info.lpFile = folder.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info)) {
        Refuse(failed + Win32ErrorText(GetLastError()));
    }
}

}  // namespace qrv
