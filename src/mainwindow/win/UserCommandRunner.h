#pragma once
// TUserCommands: the user's commands on Shift+F1..F12 and Ctrl+F1..F12 —
// their keys, the function-key toolbar "Programme" with its set label, the
// "&Programme" menu — and the console runner that starts a command line
// through a batch file of its own in the command interpreter (also used by
// the command box). It reaches the window through TUserCommandsHost; the
// placeholders, the run way and the batch text are portable
// (mainwindow/CommandPlaceholders.h, mainwindow/UserCommands.h).

#include "mainwindow/CommandPlaceholders.h"
#include "mainwindow/UserCommands.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

class TAction;
class TActionList;
class TComponent;
class TImageList;
class TKyToolbar;
class TKyToolbarButton;
class TMenuItem;
struct TOptions;

class TUserCommandsHost {
public:
    virtual ~TUserCommandsHost() = default;
    // The records, DosClose and UseProgIcons.
    virtual const TOptions& CommandOptions() = 0;
    // The command interpreter's path (COMSPEC).
    virtual std::wstring ComSpec() = 0;
    // The active list's selected items (list order) and focused item; the
    // other list's first selected item while the second window shows.
    virtual std::vector<TCommandItem> ActiveSelection() = 0;
    virtual std::optional<TCommandItem> ActiveFocusedItem() = 0;
    virtual std::optional<TCommandItem> OtherListSelection() = 0;
    // The folder tree's folder, the lists' folders (0 the first, 1 the
    // second), whether the second one shows, the active list's folder.
    virtual std::wstring TreeFolder() = 0;
    virtual std::wstring ListFolder(int Index) = 0;
    virtual bool SecondWindowShown() = 0;
    virtual std::wstring ActiveListFolder() = 0;
    // The file "[*]" writes the selection into.
    virtual std::wstring CommandListFile() = 0;
    // An error box at the window.
    virtual void ReportCommandError(const std::wstring& Text) = 0;
    // A line the console runner ran goes to the top of the command box's
    // history unless it is listed already.
    virtual void AddCommandHistory(const std::wstring& Line) = 0;
};

class TUserCommands : private TPlaceholderSource {
public:
    // The key actions are made in a list owned by Owner (the form), so the
    // form's key handling takes Shift+F1..F12 and Ctrl+F1..F12 wherever the
    // focus is, while the record is assigned; the window's key table takes
    // the others (and shows the set of captions Ctrl asks for).
    TUserCommands(TComponent& Owner, TUserCommandsHost& Host);
    ~TUserCommands() override;
    TUserCommands(const TUserCommands&) = delete;
    TUserCommands& operator=(const TUserCommands&) = delete;

    // The toolbar's set label and its twelve buttons (tag = key), and the
    // "&Programme" menu; any may be nullptr.
    void Attach(TKyToolbar* Toolbar, TKyToolbarButton* Label, const std::vector<TKyToolbarButton*>& Buttons,
                TMenuItem* ProgramsMenu);

    // Key 1..12 of set 0 (Shift) or 1 (Ctrl): false, with a beep outside
    // 1..12; false for an unassigned record; else the record is run.
    bool RunFunctionKeyCommand(int Key, int Set);
    // True when the program was started.
    bool RunUserCommand(TFKeyRecord Record);
    // Runs one command line in the command interpreter, in the active
    // list's folder; the window stays open unless CloseWindow.
    bool ExecDosCommand(const std::wstring& Line, bool CloseWindow);
    // Writes a new batch file for Line; false (reported) when it cannot be
    // written or its code page cannot hold the line.
    [[nodiscard]] bool CreateExecFile(bool CloseWindow, const std::wstring& Line, std::wstring& BatchPath);

    // After the settings changed: the icons, the menu, the widths and the
    // labels (forced).
    void ShowFunctionKeyLabels(int Set, bool Force);
    void UpdateFunctionKeyMenus();
    void UpdateFunctionKeyIcons();
    void SizeFunctionKeyButtons();
    int ShownSet() const { return shownSet_; }

    // The batch files written so far; deleted at the end (and here).
    const std::vector<std::wstring>& BatchFiles() const { return batchFiles_; }
    void DeleteBatchFiles();
    // Batch files left by an earlier run whose console held them at its
    // end; called once at start.
    static void DeleteStaleBatchFiles();

private:
    // What the expansion asks of the window.
    std::vector<TCommandItem> SelectedItems() override { return host_.ActiveSelection(); }
    std::optional<TCommandItem> FocusedItem() override { return host_.ActiveFocusedItem(); }
    std::optional<TCommandItem> OtherListSelection() override { return host_.OtherListSelection(); }
    std::wstring ShortPath(const std::wstring& FullPath) override;
    std::optional<std::wstring> WriteListFile(const std::vector<std::wstring>& Names) override;
    std::optional<std::wstring> AskParameter(const std::wstring& Line) override;
    std::optional<std::wstring> AskFile(unsigned Number, const std::wstring& InitialFolder) override;
    std::optional<std::wstring> AskFolder(unsigned Number) override;
    std::wstring TreeFolder() override { return host_.TreeFolder(); }
    std::wstring ListPath(int Index) override { return host_.ListFolder(Index); }
    bool SecondWindowShown() override { return host_.SecondWindowShown(); }
    std::wstring ActiveListPath() override { return host_.ActiveListFolder(); }

    // The records with the icons found at run time.
    TFunctionKeySets Sets();
    bool Start(const std::wstring& Program, const std::wstring& Params, const std::wstring& Folder, const wchar_t* Verb,
               const std::wstring& Shown);

    TComponent& owner_;
    TUserCommandsHost& host_;
    TActionList* keys_ = nullptr;
    std::array<std::array<TAction*, 12>, 2> actions_{};
    std::array<std::array<int, 12>, 2> imageIndex_{};
    TKyToolbar* toolbar_ = nullptr;
    TKyToolbarButton* label_ = nullptr;
    std::vector<TKyToolbarButton*> buttons_;
    TMenuItem* menu_ = nullptr;
    std::array<std::vector<TMenuItem*>, 2> menuItems_;
    TMenuItem* divider_ = nullptr;
    TImageList* systemImages_ = nullptr;
    int shownSet_ = kShiftSet;
    std::vector<std::wstring> batchFiles_;
};

}  // namespace qrv
