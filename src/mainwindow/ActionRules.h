#pragma once
// The enabled and checked states of the main window's actions, computed in
// one pass from a snapshot of the window's state. The window fills
// TActionInput, calls ComputeActionStates and applies the result to the
// actions it has. The rules name commands by their catalogue id
// (ActionCatalogue.h), so a rule cannot name a command the catalogue lacks;
// a planned command gets its state as soon as the window builds it.
// Portable.

#include "mainwindow/ActionCatalogue.h"

#include <map>
#include <string>
#include <vector>

namespace qrv {

// The control that holds the input focus, as far as the rules tell apart.
enum class TActionFocus {
    Other,
    Tree,
    List,         // the active file list
    ArchiveList,  // the archive list view of the display pane
    TextView,     // the rich-text file view
    Editor,       // the text editor
    HexView,
    CommandBox,
    HistoryBox,  // the path history box of the active list
};

// The kind of the last file operation that the undo can take back.
enum class TUndoKind { None, Copy, Move, Rename, Other };

struct TActionInput {
    // The eight conditions of the pass (the active file list's view).
    bool Node = false;      // the tree has a selected node
    bool Root = true;       // the node is a drive; true without a node
    bool Drive = false;     // a node and the list's drive type is known
    bool Item = false;      // the active list has a selected item
    bool Place = false;     // a node, and not the network neighbourhood or a file-system folder
    bool FullPath = false;  // full-path items (search results)
    bool Virtual = false;   // a virtual shell folder
    bool Parent = false;    // the list shows a ".." item

    TActionFocus Focus = TActionFocus::Other;

    // Tree.
    bool NodeIsFileSystemFolder = false;
    bool NodeHasChildren = false;
    bool NodeExpanded = false;
    bool TreeVisible = true;
    bool DriveBoxOnNetwork = false;

    // Active list: entries without "..", selection, what the first selected is.
    int ListCount = 0;
    int ListSelected = 0;
    bool FirstSelectedIsParent = false;  // the first selected item is ".."
    bool FirstSelectedIsFile = false;
    bool ListLoadedFolder = false;
    // Split and join: the first selected item's extension is ".split"; the
    // list's items with "..", and whether it shows no folder's real contents.
    bool FirstSelectedIsSplitPart = false;
    int ListItems = 0;
    bool ListNoFolderContents = false;

    // Archive list view.
    bool ArchiveOpen = false;
    int ArchiveCount = 0;
    int ArchiveSelected = 0;

    // Viewers of the display pane.
    bool TextViewVisible = false;
    bool TextViewEnabled = true;
    bool TextViewModified = false;
    bool TextViewReadOnly = true;
    bool TextViewHasSelection = false;
    bool TextViewCanUndo = false;
    bool EditorVisible = false;
    bool EditorModified = false;
    bool EditorReadOnly = false;
    bool EditorHasSelection = false;
    bool EditorCanUndo = false;
    bool HexViewVisible = false;
    bool HexViewModified = false;
    bool HexViewOnly = true;  // the hex view is in view-only mode
    bool HexViewHasSelection = false;
    bool EditorWordWrap = false;
    // The focused path or command box has selected text.
    bool ComboHasSelection = false;
    bool PictureVisible = false;
    bool EmbeddedDocumentShown = false;  // the embedded pane holds a document

    // Command line toolbar and boxes.
    bool CommandToolbarShown = false;
    bool CommandBoxEnabled = false;
    bool CommandBoxHasText = false;
    bool HistoryBoxHasText = false;

    // Clipboard kinds (asked without opening the clipboard).
    bool ClipboardHasText = false;
    bool ClipboardHasFiles = false;

    int ForcedDisplayMode = 0;  // 0 automatic, 1 hex, 2 text
    bool SecondWindowShown = false;

    // The active list's folder history: entry 0 is the newest.
    int HistoryIndex = 0;
    int HistoryCount = 0;

    TUndoKind LastOperation = TUndoKind::None;
    bool LastOperationCanUndo = false;

    int BookmarkCount = 0;
};

struct TActionState {
    bool Enabled = false;
    bool Checked = false;
    // The rules set the check mark too; else the check is left as it is.
    bool Checkable = false;
    bool operator==(const TActionState&) const = default;
};

struct TActionStates {
    std::map<TActionId, TActionState> States;
    // The word after "R&ückgängig " in the undo captions and hint.
    std::wstring UndoWord;

    bool Enabled(TActionId Id) const;
    bool Checked(TActionId Id) const;
    // By stored name; a name no row has throws.
    bool Enabled(std::wstring_view Name) const { return Enabled(IdOf(Name)); }
    bool Checked(std::wstring_view Name) const { return Checked(IdOf(Name)); }

private:
    static TActionId IdOf(std::wstring_view Name);
};

TActionStates ComputeActionStates(const TActionInput& In);

// The stored names of the catalogue's rows this program does not offer:
// hidden and disabled at start, never enabled by the rules above.
const std::vector<std::wstring>& FeaturesNotOffered();

// The undo word: "Textänderung" with a focused text that can undo, else by
// the last file operation's kind ("kopieren", "verschieben", "umbenennen"),
// else empty.
std::wstring UndoWordFor(const TActionInput& In);
// "Rückgängig kopieren (Strg+Z)": the button's hint, without any "&".
std::wstring UndoHint(const std::wstring& Word);
// "R&ückgängig kopieren": the undo actions' caption; a menu item linked to
// an action with the Ctrl+Z shortcut shows it as UndoMenuCaption.
std::wstring UndoCaption(const std::wstring& Word);
// "R&ückgängig kopieren\tStrg+Z": the menu items' caption.
std::wstring UndoMenuCaption(const std::wstring& Word);

// The hints of the history buttons; an empty entry means there is none.
std::wstring NextHistoryHint(const std::wstring& NextEntry);
std::wstring PreviousHistoryHint(const std::wstring& PreviousEntry);

}  // namespace qrv
