#pragma once
// The split and join engine's files on the system: Win32 files, the drive's
// free space and type, and the change notifier for every file it makes.

#include "mainwindow/SplitJoin.h"

#include <windows.h>

namespace qrv {

class TWinSplitFiles : public TSplitFileSystem {
public:
    std::unique_ptr<TSplitFile> OpenRead(const std::wstring& Path) override;
    std::unique_ptr<TSplitFile> OpenWrite(const std::wstring& Path, bool Fresh, bool& Created) override;
    std::optional<TSplitFileInfo> Info(const std::wstring& Path) override;
    bool SetTimes(const std::wstring& Path, uint64_t Created, uint64_t Written) override;
    bool SetAttributes(const std::wstring& Path, uint32_t Attributes) override;
    bool Delete(const std::wstring& Path) override;
    std::optional<uint64_t> FreeSpace(const std::wstring& Root) override;
    TSplitDriveKind DriveKind(const std::wstring& Root) override;
    std::wstring LastErrorText() override;
    void AnnounceCreated(const std::wstring& Path) override;

    // The error code of the last failure (the files' failures included).
    void SetLastError(DWORD Code) { lastError_ = Code; }

private:
    bool Failed();
    DWORD lastError_ = ERROR_SUCCESS;
};

}  // namespace qrv
