#pragma once
// The drive table on the system: the shell's drive probe, the background
// icon fetch and the process-wide table.

#include "common/win/PIDL.h"
#include "framework/win/Threads.h"
#include "panels/KyDriveInfo.h"

#include <functional>
#include <memory>
#include <vector>

namespace qrv {

// Fails critical errors and suppresses the open-file error box on this
// thread while it lives, so that an empty drive never brings up a box.
class TQuietDriveErrors {
public:
    TQuietDriveErrors();
    ~TQuietDriveErrors();
    TQuietDriveErrors(const TQuietDriveErrors&) = delete;
    TQuietDriveErrors& operator=(const TQuietDriveErrors&) = delete;

private:
    DWORD old_ = 0;
    bool set_ = false;
};

// The system image list index of an absolute list; -1 on failure.
int PidlSysIconIndex(LPCITEMIDLIST Pidl);
// True when a listing of folders, other items and hidden items can be
// started on Folder; false for nil or while the application shuts down.
bool CanEnumFolder(IShellFolder* Folder);

// Fetches a drive's icon index at the lowest priority and hands it to the
// user-interface thread. It works on its own copy of the drive's list.
class TImageIndexThread : public TThread {
public:
    TImageIndexThread(TPidlBytes Pidl, std::function<void(int ImageIndex)> Done);

protected:
    void Execute() override;

private:
    TPidlBytes pidl_;
    std::function<void(int ImageIndex)> done_;
};

class TShellDriveProbe : public TDriveProbe {
public:
    // Gets the desktop and My Computer; throws EOleSysError when the shell
    // has no desktop folder.
    TShellDriveProbe();
    ~TShellDriveProbe() override;

    int DriveType(wchar_t Drive) override;
    uint32_t NoDrives() override;
    bool NetworkNeighbourhood(TPidlBytes& Pidl, std::wstring& DisplayName, int& ImageIndex) override;
    bool EnumDrives(const std::function<void(const TPidlBytes& Pidl, const std::wstring& Path)>& Found) override;
    bool DiskSpace(wchar_t Drive, int64_t& Total, int64_t& Free) override;
    bool VolumeInformation(wchar_t Drive, TVolumeInfo& Info) override;
    std::wstring RemoteName(wchar_t Drive) override;
    std::wstring DisplayName(const TPidlBytes& Pidl) override;
    std::wstring FileInfoDisplayName(const TPidlBytes& Pidl) override;
    int SysIconIndex(const TPidlBytes& Pidl) override;
    bool CanEnumerate(const TPidlBytes& Pidl) override;
    bool Terminating() override;
    void StartImageIndexFetch(wchar_t Drive, TPidlBytes Pidl, std::function<void(int ImageIndex)> Done) override;
    void CancelImageIndexFetches() override;

    IShellFolder* DesktopFolder() const { return desktop_.Get(); }
    // My Computer (nil when the shell has none) and its absolute list.
    IShellFolder* DrivesFolder() const { return drives_.Get(); }
    LPCITEMIDLIST DrivesPidl() const { return drivesPidl_.get(); }

    // Icon fetch threads started so far, and those still running.
    int ImageIndexThreadsStarted() const { return started_; }
    int ImageIndexThreadsRunning();

private:
    void ReapFinishedThreads();

    TShellFolderPtr desktop_;
    TShellFolderPtr drives_;
    TPidlPtr drivesPidl_;
    std::vector<std::unique_ptr<TImageIndexThread>> threads_;
    int started_ = 0;
};

// The process-wide table, made at first use on the user-interface thread
// and freed with the application object.
TDriveInfo& DriveInfo();

}  // namespace qrv
