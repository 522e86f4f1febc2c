#pragma once
// The decisions of renaming in place and of the file tools that need no
// window: whether a label may be edited, the viewers' file names after a
// rename, the rename button's hint, the plan of a copy or move to a chosen
// folder, the recent target folders, and what happens to a file a list is
// asked to open. The Win32 sides are win/RenameCommands and win/FileTools.
// Portable.

#include "panels/PasteRules.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// ---- Renaming ---------------------------------------------------------------------

// A file list's label may be edited when a command, the shell menu or a right
// click opened it (Permission), or when a slow second click edits labels
// (ClickEdits).
bool ListLabelEditAllowed(bool Permission, bool ClickEdits);
// The same for a tree node, never while the display's editor holds unsaved
// changes: the folder may hold the edited file.
bool TreeLabelEditAllowed(bool Permission, bool ClickEdits, bool EditorModified);

// A viewer's file after OldPath was renamed to NewPath: the new name when the
// viewer showed OldPath itself or a file below it (a renamed folder), else
// nothing. Letter case is ignored.
std::optional<std::wstring> RenamedViewerFile(const std::wstring& ViewerFile, const std::wstring& OldPath,
                                              const std::wstring& NewPath);

// The rename button's hint.
std::wstring RenameButtonHint(bool TreeFocused, int SelectedFiles);

// ---- Copy or move to a folder -------------------------------------------------------

enum class TCopyMoveFocus { None, Tree, List };

// One item a copy or move takes: its full path (empty for a shell item
// without one) and the caption the list shows.
struct TCopyMoveItem {
    std::wstring Path;
    std::wstring Caption;
};

struct TCopyMoveRequest {
    TDropEffect Effect = deCopy;
    TCopyMoveFocus Focus = TCopyMoveFocus::None;
    // The tree's selected folder and its caption; empty without a selection.
    std::wstring TreeFolder;
    std::wstring TreeCaption;
    // The selected items of the active list.
    std::vector<TCopyMoveItem> Selected;
    // The list shows a shell folder that can hand its items to the shell
    // itself: items without a path are copied that way, not refused.
    bool ShellCopies = false;
    // The tree's selected node is a shell folder without a path, which its
    // parent can hand to the shell (TreeFolder is empty then).
    bool TreeShellItem = false;
};

struct TCopyMoveStart {
    bool Beep = false;  // nothing to copy or move
    // The request's: a copy out of a shell folder stays a copy.
    TDropEffect Effect = deCopy;
    std::vector<std::wstring> Sources;
    // An item has no path (Sources is empty): the items go to the target
    // through the shell, all of them, as one drop.
    bool ThroughShell = false;
    // The select-directory dialog's caption.
    std::wstring Caption;
};

// What a copy or move starts with: the sources and the dialog's caption
// ("3 Dateien verschieben nach"); a beep when nothing is selected or an item
// has no path in the file system and the shell cannot copy it.
TCopyMoveStart StartCopyMove(const TCopyMoveRequest& Request);

// The copy or move of Sources into Target: the tree's operation plan (a copy
// into the sources' own folder gets copies' names); not Valid, so a beep,
// for a move onto itself or a folder into itself or its subfolders.
TPastePlan PlanCopyMoveTo(const std::vector<std::wstring>& Sources, TDropEffect Effect, const std::wstring& Target,
                          const TPathTest& Exists, const TPathTest& IsDirectory);

// Whether "Kopiere nach Verz. 2" and "Verschieben in Verz. 2" may run.
bool OtherWindowTargetAllowed(bool TwoWindows, bool HasSelection, const std::wstring& ActiveFolder,
                              const std::wstring& OtherFolder);

// The folders chosen in the select-directory dialog, newest first, each
// once (letter case and a trailing backslash ignored).
class TRecentTargets {
public:
    void Add(const std::wstring& Folder);
    const std::vector<std::wstring>& Folders() const { return folders_; }

private:
    std::vector<std::wstring> folders_;
};

// The dialog's start folder: the given one when it exists, else the last
// target, else the other window's folder, else the active list's.
std::wstring TargetDialogStart(const std::wstring& Given, const std::wstring& LastTarget,
                               const std::wstring& OtherFolder, const std::wstring& ActiveFolder,
                               const std::function<bool(const std::wstring&)>& Exists);

// ---- Opening a file from a list ------------------------------------------------------

enum class TExecFileAction {
    Start,        // the shell opens it
    ShowArchive,  // not started: the display pane is switched on and lists it
    Join,         // not started: the join command runs on it
};
TExecFileAction DecideExecFile(const std::wstring& FileName, bool ViewArchive, bool DisplayOn);

// The archives the display pane lists with ViewArchive on.
bool IsListedArchive(const std::wstring& FileName);

// "D&rucken" is offered for exactly one selected file whose extension (at
// most seven characters) has the shell's print verb.
bool PrintOffered(int SelectedCount, const std::wstring& FileName,
                  const std::function<bool(const std::wstring& Extension)>& HasPrintVerb);

// The box after the shell's format dialog could not run for Drive:
// CannotFormat when the drive cannot be formatted, else the format failed.
std::wstring FormatFailureText(wchar_t Drive, bool CannotFormat);

}  // namespace qrv
