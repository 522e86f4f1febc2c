#include "mainwindow/win/FileTools.h"

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/DragDropFilesEx.h"
#include "common/win/FileQueries.h"
#include "dialogs/FileListText.h"
#include "dialogs/win/QuorListFiles.h"
#include "dialogs/win/KyShellDialogs.h"
#include "framework/win/Forms.h"
#include "archives/win/KyZipLV.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "mainwindow/ShellErrors.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/ShellDialogs.h"
#include "settings/Quorvan32Globals.h"
#include "settings/StoredSettings.h"

#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>

namespace qrv {

namespace {

constexpr int kCopyMoveHelpContext = 350;
constexpr int kPrintHelpContext = 380;

bool HasFocus(HWND Window)
{
    const HWND focus = GetFocus();
    return Window && focus && (focus == Window || IsChild(Window, focus));
}

class TSystemShellToolRunner : public TShellToolRunner {
public:
    intptr_t Execute(HWND Owner, const std::wstring& Verb, const std::wstring& File, const std::wstring& Parameters,
                     const std::wstring& Directory) override
    {
        return reinterpret_cast<intptr_t>(
            ShellExecuteW(Owner, Verb.c_str(), File.c_str(), Parameters.empty() ? nullptr : Parameters.c_str(),
                          Directory.empty() ? nullptr : Directory.c_str(), SW_SHOWNORMAL));
    }
    void RunDialog(HWND Owner, const std::wstring& WorkingDirectory) override
    {
        TKyRunDialog dialog(nullptr);
        dialog.PlaceBeside(Owner);
        dialog.Directory = WorkingDirectory;
        if (!dialog.Execute())
            MessageBeep(MB_ICONHAND);
    }
    int FormatDrive(HWND /*Owner*/, unsigned Drive) override
    {
        TKyFormatDrive format(nullptr);
        format.Drive = static_cast<wchar_t>(L'A' + Drive);
        return format.Execute();
    }
    DWORD ConnectDialog(HWND Owner) override { return WNetConnectionDialog(Owner, RESOURCETYPE_DISK); }
    DWORD DisconnectDialog(HWND Owner) override { return WNetDisconnectDialog(Owner, RESOURCETYPE_DISK); }
    bool LibraryPresent(const std::wstring& Name) override
    {
        wchar_t found[MAX_PATH];
        return SearchPathW(nullptr, Name.c_str(), nullptr, MAX_PATH, found, nullptr) != 0;
    }
};

}  // namespace

std::unique_ptr<TShellToolRunner> NewSystemShellToolRunner()
{
    return std::make_unique<TSystemShellToolRunner>();
}

TFileTools::TFileTools(const TMainPanes& Panes, TMainWindowServices& Services, TFileToolsHost& Host)
    : Runner(NewSystemShellToolRunner()), panes_(Panes), services_(Services), host_(Host)
{}

HWND TFileTools::OwnerWindow()
{
    TForm* window = services_.Window();
    return window && window->HandleAllocated() ? window->Handle() : nullptr;
}

TFileTools::~TFileTools() = default;

bool TFileTools::TreeFocused()
{
    TDriveView* tree = panes_.TreeView1;
    return tree && tree->HandleAllocated() && HasFocus(tree->Handle());
}

bool TFileTools::ListFocused()
{
    TDirView* list = panes_.ActiveList;
    return list && list->HandleAllocated() && HasFocus(list->Handle());
}

const TFileRec* TFileTools::FirstSelected()
{
    TDirView* list = panes_.ActiveList;
    if (!list)
        return nullptr;
    for (int i = 0; i < list->ItemCount(); ++i)
        if (const TFileRec* item = list->GetItemData(i); item->Selected && !item->IsParentDir)
            return item;
    return nullptr;
}

// ---- Copy or move to a folder --------------------------------------------------------

void TFileTools::CopyMoveTo(TDropEffect Effect, const std::wstring& Target)
{
    TDriveView* tree = panes_.TreeView1;
    TDirView* list = panes_.ActiveList;
    if (!tree)
        return;
    TCopyMoveRequest request;
    request.Effect = Effect;
    if (TreeFocused()) {
        request.Focus = TCopyMoveFocus::Tree;
        if (TTreeNode* node = tree->Selected(); node && node->Parent()) {
            const TNodeData& data = tree->NodeData(node);
            request.TreeShellItem = !data.IsFileSystemOrReal() && !data.Pidl.empty();
            if (!request.TreeShellItem)
                request.TreeFolder = tree->GetDirPath(node);
            request.TreeCaption = node->Text();
        }
    } else if (ListFocused()) {
        request.Focus = TCopyMoveFocus::List;
        request.ShellCopies = list->IsVirtual() && list->VirtualFolder();
        for (int i = 0; i < list->ItemCount(); ++i) {
            const TFileRec* item = list->GetItemData(i);
            if (!item->Selected || item->IsParentDir)
                continue;
            // A shell folder's items are listed by their shown names, which
            // are no paths: its items go by their file-system paths, and
            // those without go through the shell, never by a guessed path.
            const std::wstring path = list->IsVirtual() ? list->ItemParsingPath(item) : list->ItemFullFileName(item);
            request.Selected.push_back({path, item->DisplayName});
        }
    }
    const TCopyMoveStart start = StartCopyMove(request);
    if (start.Beep) {
        MessageBeep(MB_OK);
        return;
    }
    TDirView* other = panes_.OtherList();
    const std::wstring otherFolder = other && other->Loaded() ? other->GetPath() : std::wstring();
    std::wstring target = Target;
    if (target.empty()) {
        target = TargetDialogStart(std::wstring(), lastTarget_, otherFolder, list ? list->GetPath() : std::wstring(),
                                   [](const std::wstring& Folder) { return DirExists(Folder); });
        const bool chosen = ChooseFolder && ChooseFolder(start.Caption, target, recent_.Folders()) && !target.empty();
        // The pane the command came from has the focus again, so that its
        // keys (Strg+Z among them) reach it.
        if (request.Focus == TCopyMoveFocus::Tree)
            tree->SetFocus();
        else if (list)
            list->SetFocus();
        if (!chosen)
            return;
        recent_.Add(target);
    }
    if (!SameText(RemoveBackslash(target), RemoveBackslash(otherFolder)))
        lastTarget_ = target;
    if (start.ThroughShell) {
        // The shell does the work and keeps no undo of ours.
        const bool done = request.Focus == TCopyMoveFocus::Tree ? NodeThroughShell(*tree, start.Effect, target)
                                                                : list && CopyThroughShell(*list, start.Effect, target);
        if (!done) {
            MessageBeep(MB_ICONHAND);
            return;
        }
        if (other && other->Loaded() && SameText(RemoveBackslash(target), RemoveBackslash(otherFolder)))
            other->ReloadDirectory();
        services_.RefreshStatusBar();
        return;
    }

    const auto exists = [](const std::wstring& Path) { return PathExists(Path); };
    const auto isDirectory = [](const std::wstring& Path) { return DirExists(Path); };
    // A move onto itself, a folder into itself or below: the shell would
    // report success and do nothing, and the undo would remove the originals.
    if (!PlanCopyMoveTo(start.Sources, start.Effect, target, exists, isDirectory).Valid) {
        MessageBeep(MB_ICONHAND);
        return;
    }
    tree->DragFileList().Clear();
    for (const std::wstring& source : start.Sources)
        tree->DragFileList().AddItem(nullptr, source);
    const bool done = tree->PerformDragDropFileOperation(target, start.Effect, false, false);
    if (!done)
        TraceIgnoredFailure(L"copy or move to a folder: the shell reported a failure", 0);
    if (other && other->Loaded() && SameText(RemoveBackslash(target), RemoveBackslash(otherFolder)))
        other->ReloadDirectory();
    if (list && list->Loaded() && list->WatchForChanges() && !list->WatchThreadActive())
        list->StartWatchThread();
    services_.RefreshStatusBar();
    if (tree->FileOperator().UndoAvailable())
        host_.SetLastFileOperator(&tree->FileOperator());
}

bool TFileTools::CopyThroughShell(TDirView& List, TDropEffect Effect, const std::wstring& Target)
{
    auto* folder = static_cast<IShellFolder*>(List.VirtualFolder().get());
    if (!folder)
        return false;
    std::vector<TPidlBytes> items;
    for (int i = 0; i < List.ItemCount(); ++i) {
        const TFileRec* item = List.GetItemData(i);
        if (!item->Selected || item->IsParentDir)
            continue;
        TPidlBytes id = List.ItemShellId(item);
        if (id.empty())
            return false;
        items.push_back(std::move(id));
    }
    return DropThroughShell(*folder, items, Effect, Target);
}

bool TFileTools::NodeThroughShell(TDriveView& Tree, TDropEffect Effect, const std::wstring& Target)
{
    TTreeNode* node = Tree.Selected();
    IShellFolder* parent = node && node->Parent() ? Tree.NodeFolder(node->Parent()) : nullptr;
    return parent && DropThroughShell(*parent, {Tree.NodeData(node).Pidl}, Effect, Target);
}

bool TFileTools::DropThroughShell(IShellFolder& Folder, const std::vector<TPidlBytes>& Items, TDropEffect Effect,
                                  const std::wstring& Target)
{
    const TShellDataPtr data = ShellItemsDataObject(Folder, Items, OwnerWindow());
    if (!data)
        return false;
    const TShellDropTargetPtr drop = DropTargetOf ? DropTargetOf(Target) : FolderDropTarget(Target, OwnerWindow());
    return drop && DropShellData(*drop.Get(), *data.Get(), Effect);
}

void TFileTools::ToOtherWindow(TDropEffect Effect)
{
    TDirView* list = panes_.ActiveList;
    TDirView* other = panes_.OtherList();
    const bool allowed = list && other && other->Loaded() &&
                         OtherWindowTargetAllowed(true, FirstSelected() != nullptr, list->GetPath(), other->GetPath());
    if (!allowed) {
        MessageBeep(MB_OK);
        return;
    }
    list->SetFocus();
    const std::wstring path = other->GetPath();
    CopyMoveTo(Effect, path.size() == 2 ? path + L"\\" : path);
}

// ---- Open, open with, duplicate, print ------------------------------------------------

void TFileTools::OpenFileExecute()
{
    TDirView* list = panes_.ActiveList;
    if (list && FirstSelected() && !list->ExecuteSelected())
        TraceIgnoredFailure(L"open: the shell opened nothing", 0);
}

void TFileTools::ReportStartError(const std::wstring& What, intptr_t Result)
{
    services_.ShowMessageBox(What + L"\n" + ShellExecuteErrorText(Result), TMsgDlgType::mtError, 0, mbOK);
}

void TFileTools::FileOpenWithExecute()
{
    // The archive list's "Anzeigen mit" is not offered in this edition.
    if (panes_.ZipLV && panes_.ZipLV->HandleAllocated() && HasFocus(panes_.ZipLV->Handle())) {
        MessageBeep(MB_OK);
        return;
    }
    TDirView* list = panes_.ActiveList;
    const TFileRec* item = FirstSelected();
    if (!list || !item)
        return;
    const intptr_t result = Runner->Execute(GetDesktopWindow(), L"open", L"RUNDLL32.EXE",
                                            L"shell32.dll,OpenAs_RunDLL " + list->ItemFullFileName(item), L"");
    if (result <= 32)
        ReportStartError(L"Fehler beim Ausführen der Datei \"RUNDLL32.EXE\" aufgetreten.", result);
}

void TFileTools::DuplicateFileExecute()
{
    TDriveView* tree = panes_.TreeView1;
    if (TreeFocused()) {
        TTreeNode* node = tree->Selected();
        if (node && node->Parent() && !tree->DuplicateDirectory(node))
            services_.ShowMessageBox(L"Es ist ein Fehler beim Duplizieren der Dateien aufgetreten.",
                                     TMsgDlgType::mtError, 0, mbOK);
        return;
    }
    TDirView* list = panes_.ActiveList;
    if (!list || !FirstSelected())
        return;
    if (!list->DuplicateSelectedFiles()) {
        services_.ShowMessageBox(L"Es ist ein Fehler beim Duplizieren der Dateien aufgetreten.", TMsgDlgType::mtError,
                                 0, mbOK);
        return;
    }
    if (list->FileOperator().UndoAvailable())
        host_.SetLastFileOperator(&list->FileOperator());
}

bool TFileTools::PrintFileEnabled()
{
    TDirView* list = panes_.ActiveList;
    const TFileRec* item = FirstSelected();
    return list && item && !item->IsDirectory &&
           PrintOffered(list->SelCount(), item->FileName,
                        [](const std::wstring& Extension) { return HasShellVerb(Extension, L"print"); });
}

void TFileTools::PrintFileExecute()
{
    TDirView* list = panes_.ActiveList;
    const TFileRec* item = FirstSelected();
    // Without the shell's print verb it would carry out the default verb.
    if (!list || !item || !PrintFileEnabled()) {
        MessageBeep(MB_OK);
        return;
    }
    const intptr_t result = Runner->Execute(OwnerWindow(), L"print", item->FileName, L"", list->GetPath());
    if (result <= 32) {
        MessageBeep(MB_ICONHAND);
        services_.ShowMessageBox(L"Beim Drucken der Datei \"" + item->FileName + L"\" ist ein Fehler aufgetreten.\n" +
                                     ShellExecuteErrorText(result),
                                 TMsgDlgType::mtError, kPrintHelpContext, mbOK);
    }
}

void TFileTools::ListExecFile(TDirView& List, const TFileRec& Item, bool& AllowExec)
{
    if (Item.IsDirectory || Item.IsParentDir)
        return;
    switch (DecideExecFile(List.ItemFullFileName(&Item), host_.FileOptions().ViewArchive, host_.DisplayOn())) {
    case TExecFileAction::Start:
        return;
    case TExecFileAction::ShowArchive:
        AllowExec = false;
        host_.SwitchDisplayOn();
        return;
    case TExecFileAction::Join:
        AllowExec = false;
        host_.JoinSplitFile();
        return;
    }
}

// ---- Shell tools ------------------------------------------------------------------------

void TFileTools::CreateFileListExecute()
{
    TDirView* list = panes_.ActiveList;
    if (!list)
        return;
    TListFileDlg dialog(services_.Window());
    dialog.Source = list;
    TFileListStoredSettings& stored = host_.FileListSettings();
    dialog.Choices = FileListChoicesFrom(stored);
    dialog.FileName = stored.Filename && !stored.Filename->empty() ? *stored.Filename : host_.DefaultFileListName();
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    dialog.FileSystemNode = !node || !node->Object() || !tree->NodeData(node).IsVirtual;
    dialog.ProgramDir = host_.ProgramFolder();
    // Sizes as the first file list shows them.
    dialog.KiloBytes = panes_.LV1 && panes_.LV1->AbbreviatedSize();
    dialog.Output.Ask = [this](const std::wstring& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
        return services_.ShowMessageBox(Text, Kind, 0, Buttons);
    };
    dialog.Output.StartEditor = [this](const std::wstring& Parameters) {
        const intptr_t result = Runner->Execute(OwnerWindow(), L"open", L"notepad.exe", Parameters, std::wstring());
        if (result <= 32)
            ReportStartError(L"notepad.exe", result);
    };
    const bool written = RunFileListDialog ? RunFileListDialog(dialog) : dialog.Execute();
    if (written)
        StoreFileListChoices(dialog.Choices, dialog.FileName, stored);
}

void TFileTools::DiscCopyExecute()
{
    // RUNDLL32 reports nothing when the library is missing.
    const intptr_t result =
        Runner->LibraryPresent(L"DISKCOPY.DLL")
            ? Runner->Execute(OwnerWindow(), L"open", L"RUNDLL32.EXE", L"DISKCOPY.DLL,DiskCopyRunDll", L"")
            : static_cast<intptr_t>(SE_ERR_DLLNOTFOUND);
    if (result <= 32)
        ReportStartError(L"Fehler beim Ausführen von: RUNDLL32.EXE DISKCOPY.DLL", result);
}

void TFileTools::DiskFormatExecute()
{
    TDriveView* tree = panes_.TreeView1;
    std::vector<TDirView*> paused;
    for (TDirView* list : {panes_.ActiveList, panes_.OtherList()})
        if (list && list->Loaded() && !list->GetPath().empty() && towupper(list->GetPath()[0]) == L'A' &&
            list->WatchThreadActive()) {
            list->StopWatchThread();
            paused.push_back(list);
        }
    const bool treeWatched = tree && tree->WatchThreadActiveDrive(L'A');
    if (treeWatched)
        tree->StopWatchThreadDrive(L'A');
    const int result = Runner->FormatDrive(OwnerWindow(), 0);
    // The medium may be new: watching starts on it again.
    if (treeWatched)
        tree->StartAllWatchThreads();
    for (TDirView* list : paused)
        list->StartWatchThread();
    // The shell shows nothing when its dialog cannot start (no such drive,
    // no format support): the user is told rather than left waiting.
    if (result == frCannotFormat || result == frFailed)
        services_.ShowMessageBox(FormatFailureText(L'A', result == frCannotFormat), TMsgDlgType::mtError, 0, mbOK);
}

void TFileTools::ExecuteDialogExecute()
{
    TDirView* list = panes_.ActiveList;
    Runner->RunDialog(OwnerWindow(), list && list->Loaded() ? list->GetPath() : std::wstring());
}

void TFileTools::DiskChanged(wchar_t /*Drive*/)
{
    services_.RefreshStatusBar();
}

void TFileTools::InsertedDiskChanged(TDriveView& Tree, wchar_t Drive)
{
    for (TDirView* list : {panes_.ActiveList, panes_.OtherList()})
        if (list && list != Tree.DirView() && list->Loaded() && !list->GetPath().empty() &&
            towupper(list->GetPath()[0]) == towupper(Drive))
            list->ReloadDirectory();
}

void TFileTools::ReportNetError(DWORD Error)
{
    if (Error == NO_ERROR || Error == ERROR_CANCELLED || Error == static_cast<DWORD>(-1))
        return;
    services_.ShowMessageBox(Win32ErrorText(Error), TMsgDlgType::mtError, 0, mbOK);
}

void TFileTools::NetConnectExecute()
{
    ReportNetError(Runner->ConnectDialog(OwnerWindow()));
}

void TFileTools::NetDisconnectExecute()
{
    ReportNetError(Runner->DisconnectDialog(OwnerWindow()));
}

}  // namespace qrv
