// Shortcuts made by the file commands: to the list's selection or the tree's
// folder, and to the files on the clipboard.

#include "mainwindow/win/FileCommands.h"

#include "common/BaseUtils.h"
#include "common/win/FileClipboard.h"
#include "common/win/FileQueries.h"
#include "framework/ScopeExit.h"
#include "framework/win/WaitCursor.h"
#include "mainwindow/FileCommandRules.h"
#include "panels/DirViewCore.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/ShellLinks.h"

namespace qrv {

namespace {

std::wstring VolumeLabel(wchar_t Drive)
{
    const std::wstring root = std::wstring(1, Drive) + L":\\";
    wchar_t label[MAX_PATH + 1] = L"";
    if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
        return std::wstring();
    }
    return label;
}

}  // namespace

bool TFileCommands::WriteShortcut(const std::wstring& Target, const std::wstring& LinkFile,
                                  const std::wstring& Description)
{
    if (!LinkFile.empty() && CreateShellLink(Target, LinkFile, Description)) {
        return true;
    }
    MessageBeep(MB_OK);
    services_.ShowMessageBox(L"Fehler bei Erstellung der Verküpfung für\n" + Target, TMsgDlgType::mtError, 0, mbOK);
    return false;
}

void TFileCommands::CreateShortCut()
{
    TDriveView* tree = panes_.TreeView1;
    TDirView* list = panes_.ActiveList;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    const bool diskNode = node && node->Object() && !tree->NodeData(node).IsVirtual;
    const TFilePane pane = FocusedPane();
    if (pane == TFilePane::List && list->SelCount() > 0) {
        // Into the tree's folder; the list's own when the tree shows none.
        const std::wstring folder = diskNode ? tree->GetDirPathName(node) : ListFolder();
        if (folder.empty()) {
            MessageBeep(MB_ICONHAND);
            return;
        }
        std::vector<std::wstring> targets;
        for (int i = 0; i < list->ItemCount(); ++i) {
            TFileRec* item = list->GetItemData(i);
            if (item->Selected) {
                targets.push_back(list->ItemFullFileName(item));
            }
        }
        for (const std::wstring& target : targets) {
            const std::wstring name = ExtractFileName(target);
            if (!WriteShortcut(target, ShortcutFileName(folder, name, PathExists), name)) {
                break;
            }
        }
        if (!list->WatchThreadActive()) {
            list->ReloadDirectory();
        }
        services_.RefreshStatusBar();
        return;
    }
    if (pane == TFilePane::Tree && diskNode) {
        const std::wstring folder = tree->GetDirPathName(node);
        const bool root = node->Parent() == nullptr;
        const std::wstring name =
            root ? DriveShortcutBase(VolumeLabel(tree->GetDrive(node)), tree->GetDrive(node)) : tree->GetDirName(node);
        (void)WriteShortcut(folder, ShortcutFileName(folder, name, PathExists), name);
        return;
    }
    Refuse(L"Kein Shortcut-fähiges Element fokusiert.");
}

void TFileCommands::CreateShortCutClipBoard()
{
    TDirView* list = panes_.ActiveList;
    if (list == nullptr || !list->CanPasteFromClipBoard()) {
        MessageBeep(MB_OK);
        return;
    }
    const TWaitCursor wait;  // back after the re-read below
    const bool watching = list->WatchForChanges();
    list->SetWatchForChanges(false);
    const ScopeExit restore([&] {
        list->ReloadDirectory();
        list->SetWatchForChanges(watching);
    });
    const auto files = ReadClipboardFiles(list->Handle());
    if (!files) {
        return;
    }
    const std::wstring folder = list->GetPath();
    for (const std::wstring& file : files->Names) {
        std::wstring name = ExtractFileName(RemoveBackslashes(file));
        // A drive root has no name of its own.
        if (name.empty() && file.size() >= 2 && file[1] == L':') {
            name = DriveShortcutBase(VolumeLabel(file[0]), file[0]);
        }
        if (!WriteShortcut(file, ShortcutFileName(folder, name, PathExists), ExtractFileBaseName(name))) {
            break;
        }
    }
}

}  // namespace qrv
