#pragma once
// Going to a path typed into a history box: which folder the tree selects,
// which file the list then selects, or what is said when the path cannot be
// shown. Portable; the window side is mainwindow/win/NavigationCommands.h.

#include <cstdint>
#include <string>

namespace qrv {

// The file system and the tree as a typed path meets them.
class TPathFacts {
public:
    virtual ~TPathFacts() = default;
    virtual bool DirectoryExists(const std::wstring& Path) = 0;
    virtual bool FileExists(const std::wstring& Path) = 0;
    // The folder tree has a node for the folder.
    virtual bool TreeHasNode(const std::wstring& Folder) = 0;
    // The folder or one of its parents has the hidden attribute.
    virtual bool PathHidden(const std::wstring& Folder) = 0;
};

enum class TPathAction : uint8_t {
    Refused,  // too short to be a path: nothing happens
    Select,   // select Folder's node (expanded, centred), then FileName in the list
    Report,   // show Message as an error, the box shows the list's path again
};

struct TPathNavigation {
    TPathAction Action = TPathAction::Refused;
    std::wstring Folder;
    std::wstring FileName;  // a file's path was typed: the file to select
    std::wstring Message;
    int HelpContext = 0;
};

// The help context of the box's message.
constexpr int kPathMessageHelp = 150;

// Path as typed (blanks around it are dropped); ShowHiddenDirs as the
// options have it.
TPathNavigation DecidePathNavigation(const std::wstring& Path, bool ShowHiddenDirs, TPathFacts& Facts);

// "Ausgewählter Pfad nicht vorhanden:" and the path on the next line.
std::wstring PathMissingText(const std::wstring& Path);

}  // namespace qrv
