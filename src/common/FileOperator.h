#pragma once
// TFileOperator: every copy, move, delete and rename of the program goes
// through one. The caller fills SourceFiles and DestFiles with full paths,
// chooses Operation and Flags and calls Execute; the operator runs the shell's
// file operation (renames pair by pair itself), holds the process-wide
// file-operation lock meanwhile and remembers the last copy, move or rename so
// that Undo can reverse it.
//
// Portable: the system is reached through TFileOperatorSystem, which the
// Windows build implements with the shell and the tests fake.

#include "framework/StringList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

enum class TFileOperation { foCopy, foDelete, foMove, foRename };

// The shell's operation codes (FO_MOVE ... FO_RENAME).
uint32_t ShellOperationCode(TFileOperation Operation);
// The operation of a shell code; an unknown code reads as foCopy.
TFileOperation OperationFromShellCode(uint32_t Code);

// Each flag is the shell operation's flag bit it switches.
using TFileOperationFlags = uint16_t;
enum TFileOperationFlag : TFileOperationFlags {
    foMultiDestFiles = 0x1,
    foConfirmMouse = 0x2,
    foSilent = 0x4,
    foRenameOnCollision = 0x8,
    foNoConfirmation = 0x10,
    foWantMappingHandle = 0x20,  // switched by WantMappingHandle
    foAllowUndo = 0x40,
    foFilesOnly = 0x80,
    foSimpleProgress = 0x100,
    foNoConfirmMkDir = 0x200,
    foNoConnectedElements = 0x2000,
    foWantNukeWarning = 0x4000,
};

// The names joined as the shell reads them: each ended by a NUL, the whole
// ended by one more NUL. A name holding a NUL cannot be passed: throws
// EInvalidOperation.
std::wstring DoubleNulList(const std::vector<std::wstring>& Names);

// A full path: "X:\..." or "\\server\share...", without NULs. Anything else
// would be resolved against the current folder.
bool IsFullPath(const std::wstring& Path);

// A file of a copied or moved item: its name below the item ("" for the item
// itself, else starting with a backslash) and its size.
struct TTreeFile {
    std::wstring Name;
    uint64_t Size = 0;
    bool operator==(const TTreeFile&) const = default;
};

struct TShellOperationResult {
    int Code = 0;             // 0 success, else the shell's error
    bool AnyAborted = false;  // the user cancelled or declined a part
};

// What the operator needs of the system.
class TFileOperatorSystem {
public:
    virtual ~TFileOperatorSystem() = default;
    // Runs the shell's file operation on double-NUL name lists.
    virtual TShellOperationResult ShellOperation(uint32_t OperationCode, const std::wstring& From,
                                                 const std::wstring& To, TFileOperationFlags Flags) = 0;
    // Renames one file or folder: 0, or the system's error code.
    virtual uint32_t RenameFile(const std::wstring& From, const std::wstring& To) = 0;
    virtual bool FileOrDirExists(const std::wstring& Path) = 0;
    virtual bool DirectoryExists(const std::wstring& Path) = 0;
    // The files of a file, or of a folder with everything below it; none
    // when nothing is at Path.
    virtual std::vector<TTreeFile> TreeFiles(const std::wstring& Path) = 0;
    // Deletes one file: 0, or the system's error code.
    virtual uint32_t RemoveFile(const std::wstring& Path) = 0;
    // The system's error for a target that came out Missing bytes short
    // (the drive is full, or else the device failed to write).
    virtual uint32_t ShortTargetError(const std::wstring& Target, uint64_t Missing) = 0;
    // Takes the process-wide file-operation lock, waiting for another thread
    // that holds it; false when this thread holds it already (an operation
    // started from within a running one's message loop).
    [[nodiscard]] virtual bool Lock() = 0;
    virtual void Unlock() = 0;
    // Announces a rename to the program (the global notifier).
    virtual void NotifyRenamed(bool IsFolder, const std::wstring& OldPath, const std::wstring& NewPath) = 0;
    // Repaints the owner's form during a long rename run.
    virtual void RepaintOwner() = 0;
};

// Why the last Execute did nothing.
enum class TFileOperatorRefusal { None, NoSources, Busy, NotFullPath };

// A copied or moved item whose target did not come out whole.
struct TTargetFailure {
    std::wstring Source;
    std::wstring Target;
    uint32_t Error = 0;
};

struct TRenameFailure {
    std::wstring Source;
    std::wstring Dest;
    uint32_t Error = 0;
};

// The run that Undo reverses.
struct TFileOperationRecord {
    TFileOperation Operation = TFileOperation::foCopy;
    TFileOperationFlags Flags = 0;
    bool MultiDest = false;
    std::vector<std::wstring> Sources;
    std::vector<std::wstring> Dests;
    // Copy and move: the full path of each source's top-level target, and
    // whether nothing was at that place before the run.
    std::vector<std::wstring> Targets;
    std::vector<bool> TargetWasNew;
};

// The run that reverses a record; Valid false when it cannot be undone.
struct TUndoPlan {
    bool Valid = false;
    TFileOperation Operation = TFileOperation::foCopy;
    TFileOperationFlags Flags = 0;
    std::vector<std::wstring> Sources;
    std::vector<std::wstring> Dests;
    // Items left where they are: a copy's target that was there before the
    // copy, a folder a move merged into, or a moved or renamed item whose old
    // place is taken meanwhile.
    std::vector<std::wstring> Kept;
};

// Where each source lands: with several destinations the matching one, with
// one destination that is an existing folder (or several sources) the folder
// plus the source's name, else the destination itself.
std::vector<std::wstring> TopLevelTargets(const std::vector<std::wstring>& Sources,
                                          const std::vector<std::wstring>& Dests, bool MultiDest,
                                          TFileOperatorSystem& System);

// Plans the undo of Record as things stand now (System answers existence).
// A copy deletes only the targets it made (to the recycle bin where there is
// one); a move or rename returns each item to its own old place unless that
// place is taken, and a folder moved into one of the same name that was
// there before stays (it holds that folder's own items too).
TUndoPlan PlanUndo(const TFileOperationRecord& Record, TFileOperatorSystem& System);

class TFileOperator {
public:
    explicit TFileOperator(std::shared_ptr<TFileOperatorSystem> System);

    // Runs the operation on SourceFiles and DestFiles. False at once, touching
    // nothing, when SourceFiles is empty; refused (false, lists cleared, the
    // remembered run kept) when another operation of this thread is running or
    // a name is not a full path. True only when everything succeeded and
    // nothing was aborted (a move: every item left its old place); only such
    // a run (or the renames and moves of a run that went through in part) is
    // remembered for Undo, and only with foAllowUndo and without
    // foRenameOnCollision. SourceFiles and DestFiles are cleared.
    [[nodiscard]] bool Execute();
    // Reverses the remembered run; false when there is none or it failed.
    // UndoKept names what was left in place.
    [[nodiscard]] bool Undo();
    void ClearUndo();

    TFileOperation Operation = TFileOperation::foCopy;
    TFileOperationFlags Flags = foAllowUndo | foNoConfirmMkDir;
    std::wstring ProgressTitle = L"Dateioperation";
    bool UseNewUI = false;
    bool WantMappingHandle() const { return (Flags & foWantMappingHandle) != 0; }
    void SetWantMappingHandle(bool Value);

    TStringList SourceFiles;
    TStringList DestFiles;

    bool UndoAvailable() const { return undoAvailable_; }
    const TFileOperationRecord& LastRun() const { return last_; }
    const std::vector<std::wstring>& LastSource() const { return last_.Sources; }
    const std::vector<std::wstring>& LastDest() const { return last_.Dests; }

    // Diagnostics of the last Execute and Undo.
    TFileOperatorRefusal LastRefusal() const { return refusal_; }
    bool LastAborted() const { return aborted_; }
    int LastShellCode() const { return shellCode_; }
    const std::vector<TRenameFailure>& RenameFailures() const { return renameFailures_; }
    // A move the shell reported done that left these items where they were
    // (Wine's shell skips a folder whose name the destination holds): the
    // run is failure, and only what did move is remembered.
    const std::vector<std::wstring>& NotMoved() const { return notMoved_; }
    // A copy or move the shell reported done whose targets are missing or
    // shorter than their sources (Wine's shell on a full drive): the run is
    // failure, the partial files it made are deleted, the sources kept, and
    // only what came out whole is remembered.
    const std::vector<TTargetFailure>& FailedTargets() const { return failedTargets_; }
    const std::vector<std::wstring>& UndoKept() const { return undoKept_; }

private:
    bool RunRenames(const std::vector<std::wstring>& sources, const std::vector<std::wstring>& dests,
                    TFileOperationRecord& done);
    uint32_t RenameCaseOnly(const std::wstring& From, const std::wstring& To);
    // After a move the shell reported done: drops from Done what is still at
    // its old place; false when anything was.
    bool KeepMovedOnly(TFileOperationRecord& done);
    // After a copy or move: compares each target's files with its source's
    // (as they were before the run), deletes the partial files the run
    // made and drops the items that did not come out whole from Done; false
    // when any did not.
    bool KeepWholeTargetsOnly(TFileOperationRecord& done, const std::vector<std::vector<TTreeFile>>& sourceFiles,
                              const std::vector<std::vector<TTreeFile>>& targetFilesBefore);
    // Wine's shell cancels (1223) a move of several files, no folder among
    // them, into one folder, which Windows carries out; named one by one
    // (foMultiDestFiles, each file's own target), both move them alike.
    bool NamesEachMovedFile(TFileOperation operation, const TFileOperationRecord& done);
    bool RunShell(TFileOperation operation, TFileOperationFlags flags, const std::vector<std::wstring>& sources,
                  const std::vector<std::wstring>& dests);

    std::shared_ptr<TFileOperatorSystem> system_;
    TFileOperationRecord last_;
    bool undoAvailable_ = false;
    TFileOperatorRefusal refusal_ = TFileOperatorRefusal::None;
    bool aborted_ = false;
    int shellCode_ = 0;
    std::vector<TRenameFailure> renameFailures_;
    std::vector<std::wstring> notMoved_;
    std::vector<TTargetFailure> failedTargets_;
    std::vector<std::wstring> undoKept_;
};

}  // namespace qrv
