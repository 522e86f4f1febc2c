#pragma once
// What the folder tree and the file lists decide about a drag over them and
// a drop onto them, without a window: the effect a hovered target gets, the
// timing of expanding and scrolling while the mouse hovers, the names that
// files without a place on disk (streams, names chosen by the source) get,
// the shortcut's free name, and which dropped files a diskette check reads
// and a CD copy clears. Portable; effects and keys are the system's values
// (DROPEFFECT_, MK_).

#include "common/DropFilesBlock.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// Whether two paths lie on one drive: drive letters ignoring case, network
// paths by server and share. An empty path is on no drive.
bool OnSameDrive(const std::wstring& A, const std::wstring& B);
// The drive letter of a path, upper-cased; 0 for none (a network path).
wchar_t DriveLetterOf(const std::wstring& Path);

// ---- The effect over a target --------------------------------------------------------

struct TTreeDropQuery {
    uint32_t Keys = 0;
    uint32_t Proposed = 0;       // the effect the keys give
    uint32_t SourceEffects = 0;  // what the source allows
    bool RecycleBin = false;     // the node is a recycle bin
    bool RecycleBinRefused = false;
    bool NotFileSystem = false;   // a shell folder without a place on disk
    bool FileContents = false;    // the drag carries contents, not files
    bool LinkOnExe = false;       // a link drag of programs
    bool DrivesLinkable = false;  // the target's and the source's drive at or after the default drive
    bool SameDrive = false;
    // The node is a dragged folder or lies below one; the node is the
    // parent of the tree's own dragged folder.
    bool IntoDraggedFolder = false;
    bool OntoOwnParent = false;
};
// The tree's effect for the hovered node: nothing into a dragged folder (or,
// for its own drag, onto the folder's parent) unless linked; recycle bins
// take moves; contents copy; programs link; a copy on the same drive
// becomes a move; Shift or Ctrl keep what the keys say.
uint32_t TreeDropEffect(const TTreeDropQuery& Query);

struct TListDropQuery {
    uint32_t Keys = 0;
    uint32_t Proposed = 0;
    uint32_t SourceEffects = 0;
    bool LinkProposed = false;  // programs dragged with linking on
    bool DrivesLinkable = false;
    bool SameDrive = false;
    bool RecycleBinView = false;
    bool OnRecycleBinItem = false;
    bool IntoDraggedFolder = false;  // the item under the mouse is a dragged folder
};
// The list's effect: link for programs, move on the same drive and into a
// recycle bin, else copy; Shift or Ctrl keep what the keys say.
uint32_t ListDropEffect(const TListDropQuery& Query);

// How the main window's option sets the default effect.
enum TDDOption : uint8_t { ddoMove = 0, ddoMoveOnSameDrive = 1, ddoCopy = 2 };

struct TOptionDropQuery {
    uint8_t Option = ddoMoveOnSameDrive;
    uint32_t Keys = 0;
    uint32_t Effect = 0;  // as the pane computed it
    uint32_t SourceEffects = 0;
    bool HasTarget = true;  // the tree: a node under the mouse; a list: a folder loaded
    bool FileContents = false;
    bool TargetRefuses = false;        // the tree's node refuses drops
    bool VirtualFolder = false;        // the list shows a shell folder
    bool OwnDragOnBackground = false;  // the drag started in this list, no item under the mouse
    bool SameDrive = false;
};
// The option over the pane's effect, for the tree and for a list.
uint32_t TreeOptionEffect(const TOptionDropQuery& Query);
uint32_t ListOptionEffect(const TOptionDropQuery& Query);

// ---- Hover timing --------------------------------------------------------------------

constexpr uint32_t kDragExpandDelay = 1000;
constexpr uint32_t kDragScrollStart = 1000;
constexpr uint32_t kDragScrollSlow = 200;
constexpr uint32_t kDragScrollFast = 67;
constexpr uint32_t kTooEarlyDrop = 100;

// The tree's clock while a drag hovers over it (ticks in milliseconds,
// handed in).
class TTreeDragTimer {
public:
    explicit TTreeDragTimer(uint32_t ExpandDelay = kDragExpandDelay) : expandDelay_(ExpandDelay) {}
    // A drag enters; OwnDrag keeps the start of a drag begun in this tree.
    void Enter(uint32_t Now, bool OwnDrag);
    void StartOwnDrag(uint32_t Now) { start_ = Now; }
    uint32_t Start() const { return start_; }
    // The hovered node is Node: true when it has been hovered longer than
    // the delay (the timer then starts again); another node restarts it.
    bool ExpandDue(const void* Node, uint32_t Now);
    void RestartExpand(uint32_t Now) { expandTick_ = Now; }
    enum class TScroll { None, Up, Down };
    // One vertical step: up when the top item is hovered, down near the
    // bottom edge; slow at first, fast after four steps in a row.
    TScroll VerticalStep(bool AtTopItem, bool NearBottom, uint32_t Now);
    // At most one horizontal step every 200 ms.
    bool HorizontalDue(uint32_t Now);
    // A drop asked for this soon after the start is a slip of the button.
    bool DropTooEarly(uint32_t Now) const { return Now - start_ < kTooEarlyDrop; }

private:
    uint32_t expandDelay_;
    uint32_t start_ = 0;
    uint32_t expandTick_ = 0;
    uint32_t scrollTick_ = 0;
    uint32_t hScrollTick_ = 0;
    int scrollCount_ = 0;
    const void* node_ = nullptr;
};

constexpr uint32_t kListScrollSlow = 200;
constexpr uint32_t kListScrollFast = 66;
// The list's scrolling in report view: a step at most every 200 ms, every
// 66 ms after three in a row.
class TListScrollTimer {
public:
    bool StepDue(bool InScrollZone, uint32_t Now);
    // A drag enters: the first step is due 200 ms later.
    void Reset(uint32_t Now)
    {
        last_ = Now;
        count_ = 0;
    }

private:
    uint32_t last_ = 0;
    int count_ = 0;
};

// ---- Names -----------------------------------------------------------------------------

// A name from another program made safe as a file name in the target
// folder: what follows the last "\" or "/", ":", invalid and control
// characters as "_", no trailing dots or blanks, device names prefixed with
// "_", and "Datei <Index>.dat" for a name that is left empty, "." or "..".
std::wstring SafeForeignName(const std::wstring& Name, unsigned Index);

// The names of one drop: each made safe; first occurrences (ignoring case)
// keep their names, repeats get "(n)" before the extension with the
// smallest n that no other name of the drop has.
std::vector<std::wstring> PlanDropNames(const std::vector<std::wstring>& Names);

using TNameTaken = std::function<bool(const std::wstring& FullPath)>;
// The shortcut Folder\Name.lnk, or Folder\Name (2).lnk ... when taken;
// empty when every candidate up to a sane limit is.
std::wstring FreeLinkPath(const std::wstring& Folder, const std::wstring& Name, const TNameTaken& Taken);
// The shortcut's name for a dragged path: the file's name, a drive root by
// the drive's name and letter ("System(C)").
std::wstring LinkNameFor(const std::wstring& Path, const std::wstring& DriveName);

// "1 Datei duplizieren?", "3 Dateien duplizieren?"
std::wstring DuplicateQuestion(unsigned Count);

// The lines written beside the picture of several dragged items: "%u
// Dateien" and "%u Verzeichnisse", each only when there are any.
std::vector<std::wstring> DragCountLines(unsigned Files, unsigned Folders);

// ---- Diskette and CD copies ------------------------------------------------------------

struct TDropEntry {
    bool Directory = false;
    bool ReadOnly = false;
    uint64_t Size = 0;
    uint64_t WriteTime = 0;
};
// What the decisions ask of the file system.
struct TDropFileSystem {
    std::function<std::optional<TDropEntry>(const std::wstring& Path)> Find;
    // The names in a folder (no "." or "..").
    std::function<std::vector<std::wstring>(const std::wstring& Folder)> List;
};

// The check of a diskette copy before it runs: a file that would replace
// one at the target is read first, so that a broken copy cannot take a good
// file's place.
enum class TDisketteRead { Read, Faulty, Cancelled };
struct TDisketteCheckCalls {
    // The progress for Total files, opened before the first file is read.
    std::function<void(size_t Total)> OpenProgress;
    // The file being read (its full path), then one step per file.
    std::function<void(const std::wstring& Path)> Reading;
    std::function<void()> Step;
    // Reads the source file to its end.
    std::function<TDisketteRead(const std::wstring& Path, uint64_t Size)> Read;
    // The file could not be read: true leaves it out of the drop and goes
    // on, false cancels the drop.
    std::function<bool(const std::wstring& Path)> SkipUnreadable;
};
// Walks the dragged files from the last to the first, files only (a folder
// would read as a broken file); a single folder is not checked. Names keeps
// the files still dropped; false: the drop is cancelled (also when none is
// left).
bool CheckDisketteDrop(std::vector<std::wstring>& Names, const std::wstring& TargetFolder, const TDropFileSystem& Fs,
                       const TDisketteCheckCalls& Calls);

// The copies a drop from a CD made read-only, to be made writable: the
// source is walked and a target entry is cleared only when it is read-only
// and (for a file) has its source's size and time, so that older files of a
// same-named folder keep their attribute.
std::vector<std::wstring> ReadOnlyCopiesToClear(const std::vector<std::wstring>& Sources,
                                                const std::wstring& TargetFolder, const TDropFileSystem& Fs);

}  // namespace qrv
