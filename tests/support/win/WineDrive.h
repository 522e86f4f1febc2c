#pragma once
// A drive letter configured in Wine for one test, through Wine's mount
// manager; Letter() is 0 where that is not possible (not under Wine).

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

namespace qrv::test {

// Wine's drive configuration for one drive letter while the object lives:
// the prefix's "dosdevices" link to a folder and the drive's type under
// HKLM\Software\Wine\Drives. Both are set and removed through Wine's mount
// manager, as Wine's configuration tool does, so that the system knows the
// drive at once.
class WineDrive {
public:
    // The letter is the last free one from Last down to First (A and B are
    // the diskette drives' letters).
    WineDrive(const std::wstring& folder, DWORD type, wchar_t first = L'D', wchar_t last = L'Y')
    {
        using TUnixName = char*(CDECL*)(const wchar_t*);
        const auto unixName = reinterpret_cast<TUnixName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!unixName)
            return;  // not under Wine
        char* path = unixName(folder.c_str());
        if (!path)
            return;
        mountPoint_ = path;
        HeapFree(GetProcessHeap(), 0, path);
        manager_ = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager_ == INVALID_HANDLE_VALUE)
            return;
        const DWORD used = GetLogicalDrives();
        for (wchar_t letter = last; letter >= first && !letter_; --letter) {
            const wchar_t root[] = {letter, L':', L'\\', 0};
            if (!(used & (1u << (letter - L'A'))) && letter != L'T' && GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR &&
                Define(letter, type))
                letter_ = letter;
        }
    }
    ~WineDrive()
    {
        if (letter_)
            Define(letter_, DRIVE_NO_ROOT_DIR);
        if (manager_ != INVALID_HANDLE_VALUE)
            CloseHandle(manager_);
    }
    WineDrive(const WineDrive&) = delete;
    WineDrive& operator=(const WineDrive&) = delete;

    // The drive's letter; 0 when it could not be set up.
    wchar_t Letter() const { return letter_; }

private:
    // The mount manager's request (Wine 8 layout); the mount point follows it.
    struct UnixDrive {
        ULONG size;
        ULONG type;
        ULONG fs_type;
        DWORD serial;
        ULONGLONG unix_dev;
        WCHAR letter;
        USHORT mount_point_offset;
        USHORT device_offset;
        USHORT label_offset;
    };

    // DRIVE_NO_ROOT_DIR removes the letter's link and type.
    bool Define(wchar_t letter, DWORD type)
    {
        constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
        const bool remove = type == DRIVE_NO_ROOT_DIR;
        std::vector<char> request(sizeof(UnixDrive) + (remove ? 0 : mountPoint_.size() + 1));
        UnixDrive drive{};
        drive.size = static_cast<ULONG>(request.size());
        drive.type = type;
        drive.letter = static_cast<WCHAR>(letter - L'A' + L'a');
        if (!remove) {
            drive.mount_point_offset = sizeof(UnixDrive);
            std::memcpy(request.data() + sizeof(UnixDrive), mountPoint_.c_str(), mountPoint_.size() + 1);
        }
        std::memcpy(request.data(), &drive, sizeof drive);
        DWORD returned = 0;
        return DeviceIoControl(manager_, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()), nullptr,
                               0, &returned, nullptr) != FALSE;
    }

    std::string mountPoint_;
    HANDLE manager_ = INVALID_HANDLE_VALUE;
    wchar_t letter_ = 0;
};

}  // namespace qrv::test
