#pragma once
// The command records the zip component hands the zip and unzip libraries,
// made from its properties: which names go as file name patterns ("*.*"
// first means every entry, so none are passed; ">", "|" and "<" are read
// by the name-pattern syntax), the flags from its option sets, and the
// texts as UTF-8, owned by the record for the call. Portable.

#include "archives/ZipDirectory.h"
#include "archives/ZipStoreSuffixes.h"
#include "common/BaseUtils.h"
#include "external/UnzDllApi.h"
#include "external/ZipDllApi.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace qrv {

// The option sets keep the names the component's users know them by.
enum AddOpts : unsigned {  // NOLINT(readability-identifier-naming)
    AddDirNames = 1u << 0,
    AddRecurseDirs = 1u << 1,
    AddMove = 1u << 2,
    AddFreshen = 1u << 3,
    AddUpdate = 1u << 4,
    AddZipTime = 1u << 5,
    AddForceDOS = 1u << 6,
    AddHiddenFiles = 1u << 7,
    AddArchiveOnly = 1u << 8,
    AddResetArchive = 1u << 9,
    AddEncrypt = 1u << 10,
    AddSeparateDirs = 1u << 11,
    AddVolume = 1u << 12,
    AddFromDate = 1u << 13,
    AddSafe = 1u << 14,
    AddForceDest = 1u << 15,
    AddDiskSpan = 1u << 16,
    AddDiskSpanErase = 1u << 17,
};
enum ExtrOpts : unsigned {  // NOLINT(readability-identifier-naming)
    ExtrDirNames = 1u << 0,
    ExtrOverWrite = 1u << 1,
    ExtrFreshen = 1u << 2,
    ExtrUpdate = 1u << 3,
    ExtrTest = 1u << 4,
    ExtrForceDirs = 1u << 5,
};
enum DeleteOpts { htdFinal, htdAllowUndo };  // NOLINT(readability-identifier-naming)

// What both libraries are told of a run.
struct TZipRunSettings {
    void* Caller = nullptr;  // handed back in every callback
    ZipCallbackFunc Callback = nullptr;
    int32_t Version = 0;  // the loaded library's
    // The window the library's own dialogs belong to; none is passed when
    // the run is unattended.
    void* ParentWindow = nullptr;
    bool Unattended = false;
    bool Trace = false;  // tracing makes the library verbose too
    bool Verbose = false;
    std::wstring ZipFileName;
    std::wstring Password;  // "" passes none
    std::vector<std::wstring> Specs;
};

struct TUnzSettings : TZipRunSettings {
    unsigned ExtrOptions = 0;
    std::wstring ExtrBaseDir;  // "" passes none: the current folder
    unsigned PasswordReqCount = 1;
    bool ToStream = false;  // the entry goes into the caller's memory
};

struct TZipSettings : TZipRunSettings {
    int Action = zopAdd;
    int AddCompLevel = 9;  // kept within 0 to 9
    unsigned AddOptions = 0;
    TDateTime AddFrom = 0;  // with AddFromDate: only files changed on or after that day
    std::wstring TempDir;
    std::wstring RootDir;
    std::vector<std::wstring> Excludes;
    DeleteOpts HowToDelete = htdAllowUndo;
    CodePageOpts CodePage = cpAuto;
    unsigned AddStoreSuffixes = 0;  // a set of AddStoreExts
    std::u16string ExtAddStoreSuffixes;
    // Adding from memory: these bytes become the entry named by the first
    // file pattern.
    const void* InStream = nullptr;
    int32_t InStreamSize = 0;
    bool FromStream = false;
};

// Texts kept for the records: their places never move while more come.
class TRecordTexts {
public:
    // The text as kept UTF-8; null for "" (the libraries read null as none).
    const char* Keep(const std::wstring& Text);
    const char* KeepBytes(std::string Bytes);

private:
    std::deque<std::string> texts_;
};

// The unzip library's record; made in place, its pointers lead into it.
class TUnzCommandRecord {
public:
    explicit TUnzCommandRecord(const TUnzSettings& Settings);
    TUnzCommandRecord(const TUnzCommandRecord&) = delete;
    TUnzCommandRecord& operator=(const TUnzCommandRecord&) = delete;
    // Writable: a callback points it at the memory an entry goes into.
    UnzCommand& Record() { return record_; }

private:
    TRecordTexts texts_;
    std::vector<UnzFileSpec> specs_;
    UnzCommand record_{};
};

class TZipCommandRecord {
public:
    explicit TZipCommandRecord(const TZipSettings& Settings);
    TZipCommandRecord(const TZipCommandRecord&) = delete;
    TZipCommandRecord& operator=(const TZipCommandRecord&) = delete;
    const ZipCommand& Record() const { return record_; }

private:
    TRecordTexts texts_;
    std::vector<ZipFileSpec> specs_;
    std::vector<ZipFileSpec> excludes_;
    ZipCommand record_{};
};

// The day of AddFrom as the zip library reads it, "mm dd yy"; "" when the
// date is before 1980 or outside what a DOS date holds.
std::string ZipFromDateText(TDateTime Day);

}  // namespace qrv
