#pragma once
// Splitting a file into part files and joining the parts again, over an
// injected file system and the user's answers to the questions on the way.
// Portable: the window supplies the files (Win32) and the message boxes.

#include "mainwindow/SplitPartHeader.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qrv {

class TEncoding;

class TSplitFile;

// What one copy step did: the bytes read (-1 on a read error) and the bytes
// of them written (fewer on a write error).
struct TSplitCopy {
    int64_t Read = 0;
    int64_t Written = 0;
};

// One open file of the split or join.
class TSplitFile {
public:
    virtual ~TSplitFile() = default;
    // Reads on from the current position: the bytes read (0 at the end),
    // -1 on an error.
    virtual int64_t Read(uint8_t* Buffer, uint32_t Count) = 0;
    // Writes at Offset: the bytes written; fewer than Count on an error.
    virtual int64_t WriteAt(uint64_t Offset, const uint8_t* Buffer, uint32_t Count) = 0;
    // The file ends at Size.
    [[nodiscard]] virtual bool SetEnd(uint64_t Size) = 0;
    // Reads up to Count bytes on from the position and writes them to Target
    // at Offset. Through Buffer (at least Count bytes); a file system that
    // can copy between its files without it may do so.
    virtual TSplitCopy CopyTo(TSplitFile& Target, uint64_t Offset, uint32_t Count, std::span<uint8_t> Buffer);
};

struct TSplitFileInfo {
    uint64_t Size = 0;
    uint64_t Created = 0;
    uint64_t Written = 0;
    uint32_t Attributes = 0;
};

enum class TSplitDriveKind { Other, Removable };

// Attribute bits the engine names.
constexpr uint32_t kSplitReadOnly = 0x1;
constexpr uint32_t kSplitDirectory = 0x10;

class TSplitFileSystem {
public:
    virtual ~TSplitFileSystem() = default;
    // Shared for reading; nullptr on a failure (LastErrorText tells why).
    virtual std::unique_ptr<TSplitFile> OpenRead(const std::wstring& Path) = 0;
    // For writing: Fresh makes a new empty file (an existing one is
    // emptied), else an existing file is opened as it is and a missing one
    // created; Created tells whether the file is new.
    virtual std::unique_ptr<TSplitFile> OpenWrite(const std::wstring& Path, bool Fresh, bool& Created) = 0;
    // Size, times and attributes; nullopt when the path does not exist.
    virtual std::optional<TSplitFileInfo> Info(const std::wstring& Path) = 0;
    [[nodiscard]] virtual bool SetTimes(const std::wstring& Path, uint64_t Created, uint64_t Written) = 0;
    [[nodiscard]] virtual bool SetAttributes(const std::wstring& Path, uint32_t Attributes) = 0;
    [[nodiscard]] virtual bool Delete(const std::wstring& Path) = 0;
    // The bytes free for the caller on the drive of Root ("A:\"); nullopt
    // when the drive cannot tell (no medium).
    virtual std::optional<uint64_t> FreeSpace(const std::wstring& Root) = 0;
    virtual TSplitDriveKind DriveKind(const std::wstring& Root) = 0;
    // The system's text of the last failure of the calls above.
    virtual std::wstring LastErrorText() = 0;
    // Tells whoever watches that the program made this file.
    virtual void AnnounceCreated(const std::wstring& Path) = 0;
};

// The buttons of a question (several may be combined) and the answer.
enum TSplitButton : uint8_t {
    sbOk = 1,
    sbCancel = 2,
    sbRetry = 4,
    sbIgnore = 8,
    sbYes = 16,
    sbNo = 32,
    sbHelp = 64,
};
enum class TSplitBoxKind { Error, Confirmation };

struct TSplitJoinUi {
    // Shows a message box; returns the button pressed (one of Buttons).
    std::function<TSplitButton(const std::wstring& Text, TSplitBoxKind Kind, uint8_t Buttons)> Ask;
    // The progress form's label and one step of its bar.
    std::function<void(const std::wstring& Text)> Label;
    std::function<void()> Step;
    // The progress form was cancelled or the program is ending; also gives
    // the window its waiting messages.
    std::function<bool()> Stopped;
};

// The message texts, with the file names put in.
std::wstring SplitTooLargeText(const std::wstring& Name);
std::wstring SplitNameNotStorableText(const std::wstring& Name);
std::wstring SplitNoTargetText(const std::wstring& Dir);
std::wstring InvalidPartText(const std::wstring& Path);
std::wstring MissingPartText(const std::wstring& Part, const std::wstring& Original);

// Split: the files' sizes must fit the header.
bool FitsSplit(uint64_t FileSize);

class TSplitJoin {
public:
    // Names: the code page of the header's names (the system's ANSI page).
    TSplitJoin(TSplitFileSystem& Files, const TSplitJoinUi& Ui, const TEncoding& Names);

    // Cuts File into parts of PartSize bytes (header included) in TargetDir
    // (with a trailing backslash). False when the whole split is to stop
    // (Cancel, a full fixed drive, the progress form cancelled).
    bool SplitFileParts(const std::wstring& File, uint64_t PartSize, const std::wstring& TargetDir);

    // What a join does: the originals found (their names, for the dialog)
    // and, for each, its part files in order.
    struct TJoinWork {
        std::wstring Part;
        size_t Original = 0;  // index into Originals
        uint32_t Number = 0;
    };
    struct TJoinPlan {
        std::vector<std::wstring> Originals;
        std::vector<TJoinWork> Work;
    };
    // The selected files (full paths) of the list showing Folder: each valid
    // part names its original; an original without a known part count has
    // its parts probed in Folder; an original with a part missing is
    // reported and left out.
    TJoinPlan PlanJoin(std::vector<std::wstring> Selected, const std::wstring& Folder);

    // Joins the plan's parts into TargetDir; false when it was stopped.
    bool RunJoin(const TJoinPlan& Plan, const std::wstring& TargetDir);

    // The header of a part whose magics are right (the range unchecked);
    // nullopt without a message for a file that cannot be opened, else with
    // "ist keine gültige Teildatei".
    std::optional<TSplitHeader> IsValidSplitPart(const std::wstring& Path);

private:
    // One part of the join; false to stop. Problem: the part was not joined
    // (its original is then given up).
    bool CombineFileParts(const TJoinWork& Work, const std::wstring& Original, const std::wstring& TargetDir,
                          uint32_t ExpectedStart, uint32_t& EndAfter, bool& Problem);
    // A question with Ignore, Cancel and Help: true unless Cancel.
    bool IgnoreOrCancel(const std::wstring& Text);
    std::wstring WithError(const std::wstring& Text);
    std::wstring DecodeName(const std::string& Bytes) const;
    // Waits while the target's drive has no room for Needed bytes; false
    // when the split must stop.
    bool WaitForRoom(const std::wstring& TargetDir, uint64_t Needed);

    TSplitFileSystem& files_;
    TSplitJoinUi ui_;
    const TEncoding& names_;
};

}  // namespace qrv
