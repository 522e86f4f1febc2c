#pragma once
// TFileCommands: the main window's file commands on the focused pane — new
// folder and file, delete (to the recycle bin or for good), rename, the
// clipboard, undoing the last copy, move or rename, the command interpreter,
// the shell's search and its shortcut wizard — and the keys that start them
// in the folder tree and the file lists. It reaches the window through
// its panes, the window's services and TFileCommandsHost.

#include "framework/win/MessageDialog.h"
#include "framework/win/WinApi.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <string>

namespace qrv {

class TDirView;
struct TFileRec;
class TDriveView;
class TFileOperator;
struct TOptions;

class TFileCommandsHost {
public:
    virtual ~TFileCommandsHost() = default;
    virtual const TOptions& FileOptions() = 0;
    // Closes the file display before its file may go.
    virtual bool ClearDisplay() = 0;
    // Shows the active list's focused item again once the command that
    // closed the display is over (the delete declined, or another item
    // focused after it).
    virtual void DisplayFocusedFile() = 0;
    // A text control (text view, editor, command box, history box) or the
    // hex view has the focus: clipboard keys and the search are theirs.
    virtual bool TextControlFocused() = 0;
    // The focused text control's own copy or cut, paste and search.
    virtual void TextCopy(bool Cut) = 0;
    virtual void TextPaste() = 0;
    // The focused text control's undo; false when it had nothing to undo.
    virtual bool TextUndo() = 0;
    virtual void TextFind() = 0;
    // The command interpreter's path (COMSPEC).
    virtual std::wstring ComSpec() = 0;
    // Select all or invert in the archive list when it has the focus; false
    // when it has not.
    virtual bool ArchiveListSelect(bool /*Invert*/) { return false; }
};

// The pane a command works on.
enum class TFilePane { None, Tree, List };

class TFileCommands {
public:
    TFileCommands(const TMainPanes& Panes, TMainWindowServices& Services, TFileCommandsHost& Host);

    // A key pressed in a file list or in the folder tree: Insert (new
    // folder), Ctrl+Insert (new file), Delete (Shift+Delete for good), F2
    // (rename), F3 (search), Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+Z (undo), Ctrl+D
    // (command interpreter), Ctrl+A (select all), Ctrl+I (invert). True
    // when the key was handled; the pane then drops it and its character.
    bool ListKeyDown(WORD Key, bool Shift, bool Ctrl);
    bool TreeKeyDown(WORD Key, bool Shift, bool Ctrl);

    void NewDir();
    void NewFile();
    void DeleteObject();
    void DeleteObjectPhysical();
    void EditObject();
    void ClipBoardCopy(bool Cut);
    void ClipBoardPaste();
    void ClipBoardDelete();
    void FileUndo();
    void DOS();
    void NewLink();
    void FindDatei();
    // Shortcuts to the list's selection in the tree's folder, or to the
    // tree's folder inside it.
    void CreateShortCut();
    // Shortcuts to the clipboard's files in the list's folder.
    void CreateShortCutClipBoard();
    // Every file (with SelDirs every item) of the focused list selected, or
    // its selection inverted.
    void SelectAll();
    void SelectInvert();
    // The tree's selected node expanded or collapsed one level, or its
    // whole subtree.
    void ActExpand();
    void ActCollapse();
    void ActExpandAll();
    void ActCollapseAll();
    // The shell's properties of the tree's folder or the list's selection.
    void Eigenschaften();
    // Reads the selected node's drive again in full and selects the same
    // folder (the drive root when it went).
    void RescanDriveExecute();

    // The operator of the pane that carried out the last paste or rename;
    // FileUndo works on it.
    TFileOperator* LastFileOperator() const { return lastOperator_; }
    void SetLastFileOperator(TFileOperator* Operator) { lastOperator_ = Operator; }

    // While a command puts a name into the editor.
    bool EditingStartedByCommand() const { return editingByCommand_; }
    // Opens the name editor on a list's item as a command does.
    void EditItemByCommand(TDirView& List, TFileRec& Item);

    // The pane with the focus: the tree, the active list, or neither.
    TFilePane FocusedPane();

private:
    bool PaneKeyDown(TFilePane Pane, WORD Key, bool Shift, bool Ctrl);
    void CreateItem(bool Directory);
    void DeleteInTree();
    void DeleteInList();
    // After a delete in Changed: the other list re-reads, or moves up to the
    // nearest folder still there.
    void FollowDelete(const std::wstring& Changed);
    void Refuse(const std::wstring& Text);
    void SelectInList(bool Invert);
    void ExpandNode(bool Expand, bool Whole);
    // A shortcut to Target in LinkFile; false after the error box.
    bool WriteShortcut(const std::wstring& Target, const std::wstring& LinkFile, const std::wstring& Description);
    bool ShellNoConfirmRecycle() const;
    // The folder the list shows, a bare drive as "X:\"; empty without one.
    std::wstring ListFolder();

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TFileCommandsHost& host_;
    TFileOperator* lastOperator_ = nullptr;
    bool physicalDelete_ = false;
    bool editingByCommand_ = false;
};

}  // namespace qrv
