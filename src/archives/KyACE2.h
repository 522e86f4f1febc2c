#pragma once
// TKyACE2: lists, tests and extracts ACE archives through the library
// "UnAceV2.Dll", which reports everything through four callbacks; the
// component turns them into its events. One instance is the live one per
// process: the callbacks reach it through a unit-wide reference. Portable:
// the library's five functions come in as a table (TUnAceFunctions).

#include "external/UnAceApi.h"
#include "framework/Component.h"
#include "framework/StringList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

struct TUnAceFunctions {
    ACEInitDllFunc InitDll = nullptr;
    ACEReadArchiveDataFunc ReadArchiveData = nullptr;
    ACEListFunc List = nullptr;
    ACETestFunc Test = nullptr;
    ACEExtractFunc Extract = nullptr;

    bool Complete() const { return InitDll && ReadArchiveData && List && Test && Extract; }
};

struct TAcePlatform {
    // Loads "UnAceV2.Dll" by the system's search order (never from the
    // current folder) and fills the table; false when it cannot.
    std::function<bool(TUnAceFunctions&)> LoadUnAce;
    std::function<void()> FreeUnAce;
    std::function<bool(const std::wstring&)> FileExists;
    std::function<void(const std::wstring&)> FileCreated;  // announced to the shell
    std::wstring TempPath;
};

struct TAceEntry {
    std::wstring FileName;
    uint32_t FileTime = 0;
    uint32_t UnpSize = 0;
    uint32_t PackSize = 0;
    uint32_t CRC = 0;
    uint16_t Attributes = 0;
    uint8_t Encrypted = 0;
};

enum TAceMode { amIdle = 0, amListing = 1, amTesting = 2, amExtracting = 3 };

class TKyACE2 : public TComponent {
public:
    TKyACE2(TComponent* owner, TAcePlatform platform);
    ~TKyACE2() override;

    // Whole extensions ".ACE" and ".EXE" only, then the library decides.
    bool IsAce(const std::wstring& fileName);
    const std::wstring& ArchiveName() const { return archiveName_; }
    void SetArchiveName(const std::wstring& name);
    const TStringList& FilesToExtract() const { return filesToExtract_; }
    // Stores every name with "\" replaced by "/".
    void SetFilesToExtract(const TStrings& names);
    const std::wstring& TargetDir() const { return targetDir_; }
    void SetTargetDir(const std::wstring& dir);
    bool Busy() const { return mode_ != amIdle; }
    TAceMode Mode() const { return mode_; }
    bool Stop = false;

    [[nodiscard]] bool List();
    [[nodiscard]] bool Test();
    [[nodiscard]] bool Extract(bool usePaths);
    int Count() const { return static_cast<int>(entries_.size()); }
    const TAceEntry& Items(int index) const { return entries_.at(static_cast<size_t>(index)); }
    int ExtractedCount() const { return extractedCount_; }
    int TestedCount() const { return testedCount_; }
    const std::string& Comment() const { return comment_; }

    // "UNACE: " and the text of the code, the name filled in.
    static std::wstring ErrorText(int code, const std::wstring& name);

    std::function<void(TKyACE2* Sender, const std::wstring& ErrorMsg)> OnMessage;
    std::function<void(TKyACE2* Sender, const tACEFileDataStruc& eFile, bool& DoExtract)> OnOverwrite;
    std::function<void(TKyACE2* Sender, const tACEFileDataStruc& eFile, std::wstring& Password)> OnPassword;
    std::function<void(TKyACE2* Sender, int64_t TotalProcessedSize, int64_t TotalSize, int64_t FileProcessedSize,
                       int64_t FileSize)>
        OnProgress;
    std::function<void(TKyACE2* Sender, const tACEFileDataStruc& eFile, bool Result)> OnExtracted;
    std::function<void(TKyACE2* Sender, const tACEFileDataStruc& eFile, bool Result)> OnTested;

private:
    bool Initialise();
    void Message(const std::wstring& text);
    bool Run(TAceMode mode, const std::function<int32_t()>& call);

    static int32_t QRV_ACEAPI InfoCallback(tACECallbackStruc* data);
    static int32_t QRV_ACEAPI ErrorCallback(tACECallbackStruc* data);
    static int32_t QRV_ACEAPI RequestCallback(tACECallbackStruc* data);
    static int32_t QRV_ACEAPI StateCallback(tACECallbackStruc* data);
    int32_t OnErrorCallback(const tACECallbackStruc& data);
    int32_t OnRequestCallback(tACECallbackStruc& data);
    int32_t OnStateCallback(const tACECallbackStruc& data);

    TAcePlatform platform_;
    TUnAceFunctions functions_;
    bool loaded_ = false;
    bool loadFailed_ = false;
    bool initialised_ = false;
    TAceMode mode_ = amIdle;
    std::wstring archiveName_;
    std::wstring targetDir_;
    TStringList filesToExtract_;
    std::vector<TAceEntry> entries_;
    int extractedCount_ = 0;
    int testedCount_ = 0;
    bool crcFailed_ = false;
    std::wstring eventFailure_;  // an event handler's exception, reported after the run
    std::string password_;       // handed to the library; lives until the run ends
    std::string tempPath_;
    std::string comment_;
    tACEGlobalDataStruc global_{};
    std::vector<char> commentBuffer_ = std::vector<char>(ACE_COMMENT_SIZE);
};

}  // namespace qrv
