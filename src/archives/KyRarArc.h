#pragma once
// TKyRAR: lists, tests and extracts RAR archives through the RAR library
// "UnRAR.dll", loaded on first use; reports through its events and never
// changes an archive. Portable: the library's seven functions come in as a
// table (TUnrarFunctions), so the loops run against the library core in
// the host build as against the DLL on Windows.

#include "external/UnrarApi.h"
#include "framework/Component.h"
#include "framework/StringList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

struct TUnrarFunctions {
    RAROpenArchiveFunc OpenArchive = nullptr;
    RARCloseArchiveFunc CloseArchive = nullptr;
    RARReadHeaderFunc ReadHeader = nullptr;
    RARProcessFileFunc ProcessFile = nullptr;
    RARSetChangeVolProcFunc SetChangeVolProc = nullptr;
    RARSetProcessDataProcFunc SetProcessDataProc = nullptr;
    RARSetPasswordFunc SetPassword = nullptr;

    bool Complete() const;
};

// What the reader needs of the system.
struct TRarPlatform {
    // Loads the library from the path (the folder's "UnRAR.dll" when that
    // file exists, else the bare name) and fills the table; false when it
    // cannot be loaded or lacks one of the seven functions.
    std::function<bool(const std::wstring& dllDirectory, TUnrarFunctions& functions)> LoadUnrar;
    std::function<void()> FreeUnrar;
    // Stored names (OEM code page) to text.
    std::function<std::wstring(std::string_view)> OemToText;
    // A file was created (announced to the shell).
    std::function<void(const std::wstring&)> FileCreated;
};

// The archive comment as the library hands it over.
struct TComment {
    uint32_t Size;
    char Text[65536];
};

// One listed entry.
struct TRarEntry {
    uint32_t Method = 0;
    uint32_t FileTime = 0;
    uint32_t FileCRC = 0;
    uint32_t PackSize = 0;
    uint32_t UnpSize = 0;
    uint32_t FileAttr = 0;
    std::wstring FileName;
    std::wstring Comment;
    uint8_t Encrypted = 0;
};

// The reader's own codes beside the library's.
constexpr int kRarErrorNoArchive = 13;
constexpr int kRarErrorNoLibrary = 50;

class TKyRAR : public TComponent {
public:
    TKyRAR(TComponent* owner, TRarPlatform platform);
    ~TKyRAR() override;

    const std::wstring& ArchiveName() const { return archiveName_; }
    void SetArchiveName(const std::wstring& name);
    TStringList& FilesToExtract() { return filesToExtract_; }
    TStringList& FilesToTest() { return filesToTest_; }
    const std::wstring& TargetDir() const { return targetDir_; }
    void SetTargetDir(const std::wstring& dir);
    std::wstring TargetFile;
    bool Stop = false;
    bool LoadedDLL() const { return loaded_; }
    bool Busy() const { return busy_; }
    const std::wstring& DLLDirectory() const { return dllDirectory_; }
    void SetDLLDirectory(const std::wstring& dir);

    int LastError() const { return lastError_; }
    int TestedCount() const { return testedCount_; }
    int64_t ByteTotal() const { return byteTotal_; }

    void List();
    int Count() const { return static_cast<int>(entries_.size()); }
    const TRarEntry& Items(int index) const { return entries_.at(static_cast<size_t>(index)); }
    [[nodiscard]] bool Extract(bool usePaths);
    [[nodiscard]] bool Test();

    // "UNRAR: " and the text of the code.
    static std::wstring ErrorText(int code);

    std::function<int(TKyRAR* Sender, const unsigned char* Addr, int BlockSize, int Position)> OnProcessData;
    std::function<int(TKyRAR* Sender, const char* ArcName, int Mode)> OnVolumeChange;
    std::function<void(TKyRAR* Sender, const std::wstring& FileName, int Error)> OnError;
    std::function<void(TKyRAR* Sender, const TComment& Comment)> OnComment;
    std::function<void(TKyRAR* Sender, const RARHeaderData& ListedFile)> OnListFile;
    std::function<void(TKyRAR* Sender, const RARHeaderData& eFile, bool& DoExtract)> OnExtracting;
    std::function<void(TKyRAR* Sender, const RARHeaderData& eFile, bool Result)> OnExtract;
    std::function<void(TKyRAR* Sender, const RARHeaderData& eFile)> OnTesting;
    std::function<void(TKyRAR* Sender, const RARHeaderData& eFile, bool Result)> OnTested;
    std::function<void(TKyRAR* Sender, const RARHeaderData& eFile, std::wstring& Password)> OnReqPassword;

private:
    enum class TRun { list, extract, test };
    bool EnsureLoaded();
    void Fail(const std::wstring& fileName, int code);
    void* OpenArchive(int mode, bool forExtract);
    bool RunLoop(TRun run, bool usePaths);
    std::wstring Text(const char* oemName) const;

    static int32_t QRV_RARAPI VolumeThunk(char* arcName, int32_t mode);
    static int32_t QRV_RARAPI DataThunk(unsigned char* addr, int32_t size);

    TRarPlatform platform_;
    TUnrarFunctions functions_;
    bool loaded_ = false;
    bool busy_ = false;
    std::wstring archiveName_;
    std::wstring targetDir_;
    std::wstring dllDirectory_;
    TStringList filesToExtract_;
    TStringList filesToTest_;
    std::vector<TRarEntry> entries_;
    int lastError_ = 0;
    int testedCount_ = 0;
    int64_t byteTotal_ = 0;
    std::unique_ptr<TComment> comment_;
};

}  // namespace qrv
