#pragma once
// TNavigationCommands: moving through the folders and the command box. It
// owns each file list's folder history (its history box DirHist1 or
// DirHist2 shows it), the toolbar of each file window (tbLV1, tbLV2) with
// "Rückwärts", "Nächstes  Verzeichnis (Alt-Rechts)", "Root-Verzeichnis",
// "Übergeordnetes Verzeichnis" and the history box, going to a typed path,
// and the command box DOSCmdBox: its lines ("d:", "CD ...", commands for
// the interpreter) and the insertion of names. What it decides without a
// window is mainwindow/FolderHistory.h, mainwindow/PathNavigation.h and
// mainwindow/CommandBox.h; every move goes through the folder tree, which
// loads the active list. It reaches the window through its panes, its
// services and TNavigationHost.

#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/FolderHistory.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <array>
#include <memory>
#include <string>

namespace qrv {

class TComboBox;
class TCommandMenus;
class TComponent;
class TDirView;
class TKyDock;
class TKyToolbar;
class TKyToolbarButton;
class TPopupMenu;
class TTreeNode;

// What the navigation asks of the window besides its panes and services.
class TNavigationHost {
public:
    virtual ~TNavigationHost() = default;
    virtual bool ShowHiddenDirs() = 0;
    // The folder the process's current folder is kept at.
    virtual std::wstring ProgramFolder() = 0;
    // The drive table knows the drive (upper case).
    virtual bool DriveValid(wchar_t Drive) = 0;
    // The console runner: Line in the command interpreter, in the active
    // list's folder; the console closes afterwards with CloseWindow.
    virtual void RunInInterpreter(const std::wstring& Line, bool CloseWindow) = 0;
    // DosClose: consoles close after their command.
    virtual bool CloseConsoleWindow() = 0;
    // The list becomes the active one and gets the focus.
    virtual void FocusList(TDirView* List) = 0;
    // The dock above file window 0 or 1; nullptr when it has none.
    virtual TKyDock* FileWindowDock(int Index) = 0;
};

// What the insertion commands put into the command box.
enum class TCommandBoxName : uint8_t {
    Folder,    // the tree's folder (DOSPfad)
    FileName,  // the active list's first selected item's name (DOSDateiName)
    FullName,  // its full path (DOSDateiAlles)
};

class TNavigationCommands {
public:
    // Owner owns the toolbars and buttons made here; CommandBox may be nullptr.
    TNavigationCommands(TComponent* Owner, const TMainPanes& Panes, TMainWindowServices& Services,
                        TNavigationHost& Host, TActionCatalogue& Catalogue, TComboBox* CommandBox);
    // The boxes' and lists' events set here outlive the commands (the
    // window's controls go after them): they do nothing from then on.
    ~TNavigationCommands();
    TNavigationCommands(const TNavigationCommands&) = delete;
    TNavigationCommands& operator=(const TNavigationCommands&) = delete;

    // The file windows' toolbars in their docks, the history boxes moved
    // into them; the events of the boxes and the lists.
    void Attach();
    TKyToolbar* WindowToolbar(int Index) const { return windows_[static_cast<size_t>(Index)].Toolbar; }
    // The command box's buttons "Ausführen", "Pfad+Dat", "Dateiname " and
    // "Pfad " on its toolbar, each standing for its command.
    void AttachCommandButtons(TKyToolbar* Toolbar, const TCommandMenus& Menus);
    // The four buttons of each file window stand as high as Height.
    void SetButtonHeight(int Height);

    // ---- The folder history (of the active list unless a list is named) ------
    // A list has loaded a folder: its history records it.
    void RecordVisit(TDirView* List);
    // Alt+Links and Alt+Rechts: false (with the default beep) when there is
    // nothing to go to.
    bool GoBack();
    bool GoForward();
    // Rück and Strg+Rück: the parent folder, the drive's root.
    void GoUp();
    void GoRoot();
    // A typed path: its folder opens, a file's path also selects the file
    // in the active list; false when nothing moved (said in a message box).
    bool NavigateToPath(const std::wstring& Path);
    // The active list's position in its history and the number of entries.
    int HistoryIndex() const;
    int HistoryCount() const;
    // The back and forward hints of the active list's history.
    THistoryHints Hints() const;
    const TFolderHistory& History(int Index) const { return windows_[static_cast<size_t>(Index)].History; }
    // A folder was renamed: both windows' histories and boxes take the new name.
    void FolderRenamed(const std::wstring& OldPath, const std::wstring& NewPath);

    // ---- The history box's events ------------------------------------------------
    void HistoryDropDown(int Index);
    void HistoryCloseUp(int Index);
    void HistoryEnter(int Index);
    void HistoryEscape(int Index);
    void HistoryExit(int Index);
    // The drop-down of the back (Back) or forward button: the history's
    // entries that way; choosing one opens it as the box would.
    void FillHistoryMenu(int Index, bool Back, TPopupMenu& Menu);
    void HistoryMenuClick(int Index, int Entry);

    // ---- The command box -----------------------------------------------------------
    // Enter and "Ausführen": the box's line.
    void RunCommandLine();
    // Name inserted at the caret; ShortForm: the 8.3 form.
    void InsertIntoCommandBox(TCommandBoxName Name, bool ShortForm);
    // Strg+Tab: to the command box, and from there back to the active list.
    void ToggleCommandBoxFocus();
    TComboBox* CommandBox() const { return commandBox_; }

private:
    struct TWindow {
        TFolderHistory History;
        TKyToolbar* Toolbar = nullptr;
        TKyToolbarButton* Back = nullptr;
        TKyToolbarButton* Forward = nullptr;
        TKyToolbarButton* Root = nullptr;
        TKyToolbarButton* Up = nullptr;
    };

    TDirView* List(int Index) const;
    TComboBox* Box(int Index) const;
    int ActiveIndex() const;
    std::wstring ListPath(int Index) const;
    // The history as its box shows it now, and back into the box.
    TFolderHistory& Pull(int Index);
    void Push(int Index);
    // Opens an entry's folder through the tree; false when it has no node.
    bool OpenFolder(const std::wstring& Path);
    // Selects, expands and centres the node.
    void SelectNode(TTreeNode* Node);
    bool Step(int Index, bool Back);
    void MakeWindowToolbar(int Index);
    void SizeWindowToolbar(int Index);
    // The buttons' states and hints of both windows.
    void UpdateWindowButtons();
    void AddCommandHistory(const std::wstring& Entry);

    TComponent* owner_;
    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TNavigationHost& host_;
    TComboBox* commandBox_;
    std::array<TWindow, 2> windows_;
    // Set while a box's navigation runs: the focus moves meanwhile (a
    // message box, the list), and the box's exit must not navigate again.
    bool boxNavigating_ = false;
    bool sizing_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qrv
