#pragma once
// TKyCAB: lists a cabinet and extracts all or chosen files, with or
// without their stored folders, through TCabinetReader; reports through
// OnError. Names stored with "/" are listed with "\" and match requests
// given with "\".

#include "archives/win/Cabinet.h"
#include "framework/StringList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

struct TCabEntry {
    std::wstring Name;      // "\" between levels
    uint32_t DateTime = 0;  // DOS date in the high word, time in the low word
    uint32_t Size = 0;
    uint16_t Attributes = 0;
};

class TKyCAB : public TComponent {
public:
    explicit TKyCAB(TComponent* owner);

    bool IsCabinet(const std::wstring& fileName);
    const std::wstring& ArchiveName() const { return archiveName_; }
    void SetArchiveName(const std::wstring& name);
    const TStringList& FilesToExtract() const { return filesToExtract_; }
    void SetFilesToExtract(const TStrings& names);
    const std::wstring& TargetDir() const { return targetDir_; }
    void SetTargetDir(const std::wstring& dir);
    bool Stop = false;
    bool Busy() const { return busy_; }

    [[nodiscard]] bool List();
    [[nodiscard]] bool Extract(bool usePaths);
    int Count() const { return static_cast<int>(entries_.size()); }
    const TCabEntry& Items(int index) const { return entries_.at(static_cast<size_t>(index)); }
    int CopiedCount() const { return copied_; }

    std::function<void(TKyCAB* Sender, const std::wstring& FileName, int32_t UncompressedSize, uint16_t Date,
                       uint16_t Time, uint16_t Attribs, TFileCopyAction& Action)>
        OnCopyFile;
    std::function<void(TKyCAB* Sender, const std::wstring& FileName, int Position)> OnCloseCopyFile;
    std::function<void(TKyCAB* Sender, const std::wstring& ErrorMsg)> OnError;

private:
    bool CheckArchiveName();
    bool Run(const std::wstring& destination);
    void Error(const std::wstring& text);
    std::wstring StoredName(const std::string& bytes, uint16_t attribs) const;

    TCabinetReader* reader_;
    std::wstring archiveName_;
    std::wstring targetDir_;
    TStringList filesToExtract_;
    std::vector<TCabEntry> entries_;
    bool busy_ = false;
    bool slashNames_ = false;
    bool usePaths_ = true;
    int copied_ = 0;
    int refused_ = 0;
};

}  // namespace qrv
