#pragma once
// The command box without a window: what a line typed there does (a bare
// drive and "CD " are the program's own, every other line goes to the
// command interpreter through the console runner's batch file, which hands
// it on as typed) and the text the insertion commands put into the box. Portable; the window side is
// mainwindow/win/NavigationCommands.h.

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

enum class TCommandLineKind : uint8_t {
    Empty,        // nothing to run
    Drive,        // Drive ("D:") opens in the tree
    BadDrive,     // Message is shown
    ChangeDir,    // Target is the folder "CD" goes to from the active list's folder
    Interpreter,  // Line runs in the command interpreter
};

struct TCommandLineDecision {
    TCommandLineKind Kind = TCommandLineKind::Empty;
    std::wstring Drive;         // "D:" (upper case)
    std::wstring Target;        // after "CD ", blanks around it dropped
    std::wstring Line;          // the line without its leading blanks
    std::wstring HistoryEntry;  // what goes to the top of the box's list ("D:", "CD x")
    std::wstring Message;
};

// The help context of the command box's messages.
constexpr int kCommandBoxHelp = 100;

// DriveValid: the drive table knows the drive letter (upper case).
TCommandLineDecision ClassifyCommandLine(const std::wstring& Text, const std::function<bool(wchar_t)>& DriveValid);

// "Ausgewählter Pfad nicht vorhanden:" and the folder on the next line.
std::wstring ChangeDirFailedText(const std::wstring& Target);

// Where the insertion commands put their text.
struct TCommandBoxEdit {
    std::wstring Text;
    size_t SelStart = 0;
    size_t SelLength = 0;
    bool Focused = false;
};

// Name inserted at the caret (over a selection), quoted with
// QuoteCommandArgument; an unfocused box without caret position or
// selection takes it at the end. A blank separates it from text before it
// and from text after it. The caret goes to the end, nothing selected.
TCommandBoxEdit InsertIntoCommandBox(const TCommandBoxEdit& Box, const std::wstring& Name);

// The folder as DOSPfad inserts it: a bare drive with its backslash.
std::wstring CommandBoxFolder(const std::wstring& Folder);

}  // namespace qrv
