#pragma once
// The verification: every selected file, and every file below every
// selected folder, read to its end in blocks, under a progress of its own
// steps; files that cannot be opened or read are counted as faulty and the
// user is asked what to do. The file system and the questions come from
// the caller, so the run needs no system. Portable.

#include "mainwindow/FileCompare.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

// The block read at once: small on removable media so that the progress
// moves and a cancel is soon seen there.
constexpr int64_t kVerifyBlockRemovable = 65535;
constexpr int64_t kVerifyBlock = 0x1FFFFF;
// What one read asks for: a block is read in pieces of this size.
constexpr int64_t kVerifyPiece = 0x40000;
int64_t VerifyBlockSize(int DriveType);

// The progress steps of a file: one per block read and one for the file.
int64_t VerifyFileSteps(int64_t Size, int64_t Block);

struct TVerifyEntry {
    std::wstring Name;  // a folder's entry: the name; a selected item: the full path
    bool Directory = false;
    // A folder that is a link, junction or mount point: never followed,
    // since it may lead back to a folder above it.
    bool ReparsePoint = false;
    int64_t Size = 0;
};

class TVerifyFiles {
public:
    virtual ~TVerifyFiles() = default;
    // The folder's entries in directory order, without "." and "..";
    // empty when it cannot be listed.
    virtual std::vector<TVerifyEntry> List(const std::wstring& Folder) = 0;
    // Opens the file for reading; nullptr with the system's error code.
    virtual std::unique_ptr<TCompareFile> Open(const std::wstring& Name, uint32_t& Error) = 0;
};

enum class TOpenFailedAnswer { Abort, Retry, Ignore };
enum class TVerifyOutcome { Read, Aborted, NotOpened, ShortRead };

struct TVerifyUi {
    // The progress label and its steps (each call one step).
    std::function<void(const std::wstring& Text)> SetLabel;
    std::function<void()> Step;
    // The user cancelled the progress; the program is ending.
    std::function<bool()> Cancelled;
    std::function<bool()> Terminating;
    // The file cannot be opened (Error: the system's code).
    std::function<TOpenFailedAnswer(const std::wstring& Name, uint32_t Error)> OpenFailed;
    // Fewer bytes could be read than the file holds: true goes on (OK),
    // false stops the run (Cancel).
    std::function<bool(const std::wstring& Name)> ReadFailed;
};

// Reads one file of the given size in blocks, a step after each block
// (Buffer: the caller's, grown as needed).
TVerifyOutcome VerifyFile(TVerifyFiles& Files, const std::wstring& Name, int64_t Size, int64_t Block,
                          const TVerifyUi& Ui, std::vector<uint8_t>& Buffer);

// The steps of the whole run, reduced by one when above one (the bar ends
// on its last step).
int64_t CountVerifySteps(TVerifyFiles& Files, const std::vector<TVerifyEntry>& Items, int64_t Block);

struct TVerifyCounts {
    unsigned Readable = 0;
    unsigned Faulty = 0;
    bool Stopped = false;  // aborted, cancelled or ended by the program
};

// Verifies the items in order: a folder's files first, in directory order,
// then its folders.
TVerifyCounts RunVerification(TVerifyFiles& Files, const std::vector<TVerifyEntry>& Items, int64_t Block,
                              const TVerifyUi& Ui);

struct TVerifySummary {
    bool Show = false;    // false: the one faulty file's own box said it all
    bool Faulty = false;  // some file was faulty (a warning, else information)
    std::wstring Text;
};
TVerifySummary VerifySummary(const TVerifyCounts& Counts);

// "Prüfe "name"".
std::wstring VerifyLabel(const std::wstring& FileName);

}  // namespace qrv
