#pragma once
// What the archive list decides around its operations, apart from the
// readers and windows: which names an extraction asks for, when an
// operation succeeded, the texts of the readers' reports, whether an
// existing file may be replaced, which edited copies are offered for
// writing back, the files a drag carries out, how dropped paths are split,
// and the properties box's text. Portable.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// The name patterns an extraction of the selected entries passes: the
// one "*.*" when a zip archive is meant whole (every entry selected and no
// filter hiding one), else each selected stored name.
std::vector<std::wstring> ExtractSpecs(bool IsZip, bool EverySelected, bool FilterHidesNone,
                                       const std::vector<std::wstring>& SelectedNames);

// The number of files a run of these patterns means: the files of the
// archive for "*.*", else one per name.
int MeantFileCount(const std::vector<std::wstring>& Specs, int ArchiveFileCount);

// A zip run (extract, test, add, freshen, delete) succeeded: every meant
// file was handled, no CRC error was reported and the component ended
// without an error code.
bool ZipRunSucceeded(int Meant, int SuccessCount, int CrcErrors, int ErrCode);

// The zip component's message as the message list keeps it.
std::wstring ZipMessageText(int ErrCode, const std::wstring& Message);

// The line of one file a reader handled.
enum class TFileReport { Extracted, Tested };
std::wstring FileReportText(TFileReport Kind, bool Succeeded, const std::wstring& Name);

// Whether an extracted file may replace an existing one: always when the
// overwrite question is off; else the handler's answer, or yes without
// one. Answer holds the handler's decision (nullopt: no handler).
bool MayReplaceExisting(bool ConfirmOverwrite, std::optional<bool> Answer);

// Where the name of a file's path begins: after its last "\" or "/" (both
// end a folder on the system and on the host the tests run on).
size_t CopyNameStart(const std::wstring& Path);

// The copy of an opened entry that may be written back.
struct TWriteBackRecord {
    std::wstring Path;        // the copy
    std::wstring StoredName;  // the entry (stored without a path)
    uint64_t WriteTime = 0;   // the copy's last write after extracting (FILETIME)
    uint64_t Size = 0;        // and its size then
    bool Encrypted = false;
    std::wstring Password;  // the password it was extracted with
};

// What a copy looks like now.
struct TCopyState {
    bool Exists = false;
    uint64_t WriteTime = 0;
    uint64_t Size = 0;
};

// The answer to the write-back question.
enum class TWriteBackAnswer { Yes, No, Cancel, Other };

// Asks for each changed copy, from the last record to the first: any
// difference in write time or size counts as changed. Yes queues the
// record (it stays until its write-back succeeded), No drops it, Cancel
// stops asking (the rest stay), Other beeps and goes on. Records of copies
// gone or unchanged stay. Returns the queued records' places, last first.
std::vector<size_t> AskWriteBack(std::vector<TWriteBackRecord>& Records,
                                 const std::function<TCopyState(const std::wstring& Path)>& State,
                                 const std::function<TWriteBackAnswer(const std::wstring& FileName)>& Ask,
                                 const std::function<void()>& Beep);

// The question for one copy, with its file name.
std::wstring WriteBackQuestion(const std::wstring& FileName);

// One add of the write-back: the queued copies that go back alike (plain,
// or encrypted with one password), in record order.
struct TWriteBackRun {
    std::vector<size_t> Places;
    std::vector<std::wstring> Paths;
    bool Encrypted = false;
    std::wstring Password;
};
std::vector<TWriteBackRun> PlanWriteBackRuns(const std::vector<TWriteBackRecord>& Records,
                                             const std::vector<size_t>& Queued);

// Writes the queued records back, run by run: an encrypted run without a
// kept password asks for one (none given: that run is left). A record goes
// only when its run succeeded; Written gets the copies written back.
// True when every run succeeded.
bool WriteBackInRuns(std::vector<TWriteBackRecord>& Records, const std::vector<size_t>& Queued,
                     const std::function<std::wstring(const std::wstring& FileName)>& AskPassword,
                     const std::function<bool(const TWriteBackRun& Run)>& Add, std::vector<std::wstring>& Written);

// The paths a drag out of the list carries, below Folder (with a trailing
// separator): each entry's name when it has no stored path or paths are
// not kept, else the first folder of its path, each folder once.
struct TDragEntry {
    std::wstring Name;
    std::wstring Path;  // stored path with "\" between levels and at its end, or ""
};
std::vector<std::wstring> DragOutPaths(const std::wstring& Folder, const std::vector<TDragEntry>& Entries,
                                       bool PreserveDirs);

// Dropped paths split into folders and files, each in the given order.
struct TDroppedPaths {
    std::vector<std::wstring> Directories;
    std::vector<std::wstring> Files;
};
TDroppedPaths SplitDropped(const std::vector<std::wstring>& Paths,
                           const std::function<bool(const std::wstring&)>& IsDirectory);

// The base folder and name patterns of adding folders: the first folder's
// parent (a drive stays its root) and each folder's last name with "\*.*".
struct TAddDirectoriesPlan {
    std::wstring BaseFolder;
    std::vector<std::wstring> Specs;
};
TAddDirectoriesPlan PlanAddDirectories(const std::vector<std::wstring>& Directories);

// The properties box's lines for one entry.
struct TItemProperties {
    std::wstring Name;
    std::wstring Path;
    std::wstring Changed;  // as the list shows it
    std::wstring TypeName;
    uint64_t Size = 0;
    uint64_t PackedSize = 0;
    uint32_t CRC = 0;
};
std::wstring ItemPropertiesText(const TItemProperties& Item, const std::wstring& ThousandSeparator);

// The title of the extraction's folder question.
std::wstring ExtractDialogCaption(int SelectedCount, const std::wstring& EntryName, const std::wstring& ArchiveName);

// Whether an entry opened from a list is a setup program that needs its
// folder's other entries beside it.
bool IsSetupProgram(const std::wstring& Name);

// What goes with an opened entry into its folder, the entry first: a setup
// program takes every entry of its own folder, a help file (".HLP") the
// first contents file of its folder with the same base name (".CNT", any
// case); any other entry goes alone.
struct TListedEntry {
    std::wstring Name;
    std::wstring Path;  // stored path, "" at the top
};
std::vector<size_t> OpenedTogether(const std::vector<TListedEntry>& Entries, size_t Opened);

}  // namespace qrv
