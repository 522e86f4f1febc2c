#pragma once
// What the select-directory dialog decides without a window: the folders
// its jumps go to, what a path typed or chosen in the path box leads to,
// the name of a new folder, the states of its buttons and the keys of the
// form. The dialog is dialogs/win/KySelDir.h. Portable.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

// The system as the dialog's rules see it.
class TSelDirSystem {
public:
    virtual ~TSelDirSystem() = default;
    // The file-system path of a CSIDL_ special folder; empty when none.
    virtual std::wstring SpecialFolder(int Csidl) = 0;
    // A string value of HKEY_LOCAL_MACHINE (or of HKEY_CURRENT_USER);
    // false when the key or the value cannot be read.
    virtual bool RegistryString(bool LocalMachine, const std::wstring& Key, const std::wstring& Name,
                                std::wstring& Value) = 0;
    virtual bool DirectoryExists(const std::wstring& Path) = 0;
    // The shell library's major version.
    virtual int ShellMajorVersion() = 0;
    // The folder for temporary files.
    virtual std::wstring TempDirectory() = 0;
    // The full form of a path, relative ones taken from the process's
    // current folder; empty when the system cannot form it.
    virtual std::wstring FullPathName(const std::wstring& Path) = 0;
    // Reads the drive's volume data again; true when a medium is ready.
    virtual bool DriveReady(wchar_t Drive) = 0;
};

// The jumps of the "&Springen" menu.
enum class TSelDirJump {
    Desktop,
    Programs,
    Personal,
    MyPictures,
    StartMenu,
    Templates,
    Favorites,
    Fonts,
    SendTo,
    Temp
};

struct TSelDirJumpItem {
    TSelDirJump Jump;
    const wchar_t* Caption;
};
// The jumps in the menu's order with their captions.
const std::vector<TSelDirJumpItem>& SelDirJumps();

// The folders a jump tries, in order: the dialog selects the first that has
// a node. An empty last entry means the system names no folder.
std::vector<std::wstring> JumpCandidates(TSelDirJump Jump, TSelDirSystem& System);

// The dialog's messages.
std::wstring FolderNotFoundText(const std::wstring& Path);
std::wstring AskCreateText(const std::wstring& Name);
std::wstring CreateFailedText(const std::wstring& Name, const std::wstring& ErrorText);
std::wstring DriveNotReadyText(wchar_t Drive);

// What the path box's text leads to.
enum class TPathBoxAction {
    Beep,           // nothing to go to
    Select,         // Path exists: select it
    AskCreate,      // Path is missing: offer to create it (Name: its last part)
    DriveNotReady,  // Drive has no medium
    NotFound,       // the not-found message for Path
};
struct TPathBoxDecision {
    TPathBoxAction Action = TPathBoxAction::Beep;
    std::wstring Path;
    std::wstring Name;
    wchar_t Drive = L'\0';
};
// Enter in the box (Chosen false) or a choice closing its list (Chosen
// true, which re-reads the drive and offers to create a missing folder).
TPathBoxDecision DecidePathBox(const std::wstring& Text, bool Chosen, TSelDirSystem& System);

// A new folder under Parent, named by NewItemName: Create makes it and
// returns 0 or the system's error; a name made meanwhile (183) moves on to
// the next counter. Name is the last name tried, Error 0 on success.
struct TNewFolderResult {
    std::wstring Name;
    uint32_t Error = 0;
};
TNewFolderResult CreateNewFolder(const std::wstring& Parent, uint32_t MaxNameLength,
                                 const std::function<bool(const std::wstring& Path)>& Exists,
                                 const std::function<uint32_t(const std::wstring& Name)>& Create);

// The buttons after a selection change.
struct TSelDirNodeFacts {
    bool Selected = false;    // a node is selected
    bool FileSystem = false;  // it is a file-system folder
    bool Root = false;        // it is a drive (or the network)
};
struct TSelDirButtons {
    bool Select = false;
    bool NewDir = false;
    bool DeleteDir = false;
};
TSelDirButtons SelDirButtonStates(const TSelDirNodeFacts& Node);

// The form's keys: Ctrl+Shift+A..Z switch drives; the key they were is not
// to select afterwards.
enum class TSelDirKeyAction { None, SwitchDrive, Beep };
class TSelDirKeys {
public:
    // A key went down: with Ctrl and Shift (no Alt) a letter switches to its
    // drive when it is valid, else beeps; either way the key is swallowed.
    TSelDirKeyAction KeyDown(uint16_t Key, bool Ctrl, bool Shift, bool Alt,
                             const std::function<bool(wchar_t Drive)>& DriveValid);
    // A character came, or the form was shown.
    void Reset() { swallow_ = false; }
    // A selection may close the dialog now.
    bool SelectAllowed() const { return !swallow_; }

private:
    bool swallow_ = false;
};

}  // namespace qrv
