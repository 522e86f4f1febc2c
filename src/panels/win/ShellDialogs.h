#pragma once
// The Windows shell's context menu of one folder, one file or several files
// of one folder, with the program's own items appended; shell verbs run
// without a menu; whether a file type has a verb.

#include "common/win/PIDL.h"
#include "framework/win/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include <shlobj.h>

namespace qrv {

class TPopupMenu;

// The program's popup whose visible items are appended to every shell
// context menu shown (nullptr: none). The main window sets it before a
// panel shows the shell menu.
extern TPopupMenu* ShellContextMenuExtraItems;

// Shows Menu at At for Owner and returns the command chosen (0: none).
// VerbOf tells the shell verb of one of the shell's commands ("" for others).
using TShellMenuTracker =
    std::function<UINT(HMENU Menu, POINT At, HWND Owner, const std::function<std::wstring(UINT Command)>& VerbOf)>;
// Replaces the menu tracking (TrackPopupMenu with TPM_RETURNCMD |
// TPM_RIGHTBUTTON); an empty tracker restores it. For tests.
void SetShellMenuTracker(TShellMenuTracker Tracker);

// Shows the shell's menu of Items (relative to Parent) and carries out the
// choice. Verb: the chosen shell verb in lower case, empty when nothing or
// one of the program's items was chosen. "rename", and with
// InvokeClipboardVerbs false "copy", "cut" and "paste", and every verb of
// KeepVerbs are returned without running: the caller carries them out.
void ShowShellContextMenu(HWND Owner, POINT At, IShellFolder* Parent, bool InvokeClipboardVerbs, std::wstring& Verb,
                          bool CanRename, const std::vector<PCUITEMID_CHILD>& Items,
                          const std::vector<std::wstring>& KeepVerbs = {});
// The same for one file or folder by its full path; nothing happens when the
// shell knows no such item.
void ShowShellContextMenuForPath(HWND Owner, POINT At, const std::wstring& Path, bool InvokeClipboardVerbs,
                                 std::wstring& Verb, bool CanRename, const std::vector<std::wstring>& KeepVerbs = {});
// The same for names inside Directory; names the shell cannot parse are
// left out, nothing happens when none remains.
void ShowShellContextMenuForFiles(HWND Owner, POINT At, const std::wstring& Directory, bool CanRename,
                                  bool InvokeClipboardVerbs, std::wstring& Verb, const std::vector<std::wstring>& Names,
                                  const std::vector<std::wstring>& KeepVerbs = {});

// Runs Verb (empty: the items' default verb) without a menu; true when the
// shell reports success.
bool InvokeShellVerbOnItems(HWND Owner, const std::wstring& Verb, IShellFolder* Parent,
                            const std::vector<PCUITEMID_CHILD>& Items);
bool InvokeShellVerb(HWND Owner, const std::wstring& Verb, const std::wstring& Path);
// Names inside Directory, which is the current folder meanwhile; the
// hourglass shows for more than 100 names.
bool InvokeShellVerbOnFiles(HWND Owner, const std::wstring& Verb, const std::wstring& Directory,
                            const std::vector<std::wstring>& Names);

// The properties dialog of several names inside Directory.
bool ShowFilesProperties(HWND Owner, const std::wstring& Directory, const std::vector<std::wstring>& Names);

// The process's current folder is Path until the object goes (when Path
// could be entered).
class TCurrentFolder {
public:
    explicit TCurrentFolder(const std::wstring& Path);
    ~TCurrentFolder();
    TCurrentFolder(const TCurrentFolder&) = delete;
    TCurrentFolder& operator=(const TCurrentFolder&) = delete;

private:
    std::wstring saved_;
};

// True when HKEY_CLASSES_ROOT\<extension> names a file type and that type has
// the shell verb (its key "<type>\shell\<verb>" exists).
bool HasShellVerb(const std::wstring& extension, const std::wstring& verb);

}  // namespace qrv
