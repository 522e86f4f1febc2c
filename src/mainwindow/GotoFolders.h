#pragma once
// The "&Springen" menu's special folders without a window: which folder
// each entry goes to (by the shell's version, the registry and the folders
// the system names), what is said when the tree cannot show it, and which
// entries the system offers. The window side is
// mainwindow/win/BookmarkCommands.h. Portable.

#include <cstdint>
#include <string>

namespace qrv {

// The shell's special-folder ids used here.
namespace csidl {
constexpr int kControlPanel = 3;
constexpr int kPrinters = 4;
constexpr int kPrograms = 2;
constexpr int kPersonal = 5;
constexpr int kFavorites = 6;
constexpr int kSendTo = 9;
constexpr int kRecycleBin = 10;
constexpr int kStartMenu = 11;
constexpr int kDesktopDirectory = 16;
constexpr int kFonts = 20;
constexpr int kTemplates = 21;
constexpr int kCookies = 33;
constexpr int kMyPictures = 39;
}  // namespace csidl

enum class TGotoTarget : uint8_t {
    Desktop,
    Programs,
    Personal,
    Pictures,
    StartMenu,
    Templates,
    Favorites,
    Fonts,
    SendTo,
    Cookies,
    Temp,
    RecycleBin,
    ControlPanel,
    Printers,
};

// The system as the jumps see it.
class TSpecialFolderSystem {
public:
    virtual ~TSpecialFolderSystem() = default;
    // The file-system path of a special folder; empty when it has none.
    virtual std::wstring SpecialFolderPath(int Csidl) = 0;
    // A string value (an expandable one expanded); false when the key or
    // value cannot be read. LocalMachine false: the current user's.
    virtual bool RegistryString(bool LocalMachine, const std::wstring& Key, const std::wstring& Name,
                                std::wstring& Value) = 0;
    virtual bool DirectoryExists(const std::wstring& Path) = 0;
    // The path or one of its parents has the hidden attribute.
    virtual bool PathHidden(const std::wstring& Path) = 0;
    // The shell library's file version: major << 16 | minor.
    virtual uint32_t ShellVersion() = 0;
    virtual std::wstring TempDirectory() = 0;
    // The folder tree has a node for the path.
    virtual bool TreeHasNode(const std::wstring& Path) = 0;
};

enum class TGotoAction : uint8_t {
    Select,       // select Path in the tree (expanded, centred)
    Report,       // beep and show Message as an error
    OpenInShell,  // open the folder Csidl in the shell
};
struct TGotoDecision {
    TGotoAction Action = TGotoAction::Report;
    std::wstring Path;
    std::wstring Message;
    int Csidl = 0;
};

// The text for a folder the tree does not show because it or one of its
// parents is hidden and the options hide such folders.
std::wstring HiddenFolderText(const std::wstring& Path);

// What choosing the entry does; ShowHiddenDirs as the options have it.
TGotoDecision DecideGoto(TGotoTarget Target, bool ShowHiddenDirs, TSpecialFolderSystem& System);

// The pictures folder: the current user's "My Pictures" value below shell
// 5.0, else the special folder 39 (empty when neither names one).
std::wstring MyPicturesPath(TSpecialFolderSystem& System);
// Whether the special folder has a path (for 39 below shell 5.0: whether
// "My Pictures" names an existing folder).
bool SpecialFolderAvailable(int Csidl, TSpecialFolderSystem& System);
// Whether the entry is enabled when the menu first opens.
bool GotoAvailable(TGotoTarget Target, TSpecialFolderSystem& System);

}  // namespace qrv
