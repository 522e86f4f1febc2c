#pragma once
// What the zip component needs to know of the drive an archive is on:
// removable or not, its label, its free space, whether it holds anything,
// and wiping or formatting it. Behind an interface so the removable branch
// (disk prompts, "PKBACK# 001" labels, wiping or formatting after the
// user's Yes) can be tested with a fake drive.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qrv {

class IZipDrive {
public:
    virtual ~IZipDrive() = default;
    // Root is "X:\".
    virtual bool IsRemovable(const std::wstring& root) = 0;
    // A disk is in the drive.
    virtual bool IsReady(const std::wstring& root) = 0;
    virtual std::wstring VolumeLabel(const std::wstring& root) = 0;
    [[nodiscard]] virtual bool ChangeVolumeLabel(const std::wstring& root, const std::wstring& label) = 0;
    virtual uint64_t FreeSpace(const std::wstring& root) = 0;
    // No file or folder on the disk.
    virtual bool IsEmpty(const std::wstring& root) = 0;
    // Deletes every file and folder on the disk; Removed hears of each
    // (its path, whether it was a folder).
    using TRemoved = std::function<void(const std::wstring& path, bool folder)>;
    [[nodiscard]] virtual bool Wipe(const std::wstring& root, const TRemoved& removed) = 0;
    // Quick-formats the disk through the system's format dialog.
    enum TFormatResult { frFormatted, frCancelled, frFailed, frNotPossible };
    virtual TFormatResult Format(const std::wstring& root) = 0;
};

std::shared_ptr<IZipDrive> SystemZipDrive();

}  // namespace qrv
