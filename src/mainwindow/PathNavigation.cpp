#include "mainwindow/PathNavigation.h"

#include "common/BaseUtils.h"
#include "dialogs/SelDirRules.h"
#include "framework/SysUtils.h"
#include "mainwindow/GotoFolders.h"

namespace qrv {

namespace {

// The folder as the tree names it: no trailing backslash but a drive's own.
std::wstring TreeFolderName(std::wstring Folder)
{
    Folder = RemoveBackslashBelowRoot(Folder);
    if (Folder.size() == 2 && Folder[1] == L':')
        Folder += L'\\';
    return Folder;
}

}  // namespace

std::wstring PathMissingText(const std::wstring& Path)
{
    return L"Ausgewählter Pfad nicht vorhanden:\n" + Path;
}

TPathNavigation DecidePathNavigation(const std::wstring& Path, bool ShowHiddenDirs, TPathFacts& Facts)
{
    const std::wstring path = Trim(Path);
    TPathNavigation result;
    if (path.size() <= 2)
        return result;
    std::wstring folder = path;
    if (!Facts.DirectoryExists(path)) {
        const std::wstring parent = ExtractFilePath(path);
        const std::wstring name = ExtractFileName(path);
        if (!name.empty() && Facts.FileExists(path) && !parent.empty() && Facts.DirectoryExists(parent)) {
            folder = parent;
            result.FileName = name;
        } else {
            result.Action = TPathAction::Report;
            result.Message = PathMissingText(path);
            result.HelpContext = kPathMessageHelp;
            return result;
        }
    }
    folder = TreeFolderName(folder);
    if (Facts.TreeHasNode(folder)) {
        result.Action = TPathAction::Select;
        result.Folder = folder;
        return result;
    }
    // The folder is there, but the tree does not show it.
    result.Action = TPathAction::Report;
    result.FileName.clear();
    result.Message =
        !ShowHiddenDirs && Facts.PathHidden(folder) ? HiddenFolderText(folder) : FolderNotFoundText(folder);
    result.HelpContext = kPathMessageHelp;
    return result;
}

}  // namespace qrv
