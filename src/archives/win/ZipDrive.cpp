#include "archives/win/ZipDrive.h"

#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"

#include <windows.h>
#include <shlobj.h>

namespace qrv {

namespace {

// Deletes what the folder holds. A read-only file goes too (the user agreed
// to erase the disk); a linked folder is removed as a link, never followed
// to what it points at.
bool RemoveTree(const std::wstring& folder, const IZipDrive::TRemoved& removed)
{
    WIN32_FIND_DATAW data;
    TFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (!find.Valid())
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool ok = true;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + name;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) &&
            !SetFileAttributesW(path.c_str(), data.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY))
            TraceIgnoredFailure(L"clear the read-only attribute of a file to erase", GetLastError());
        const bool folderEntry = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (folderEntry) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                ok = RemoveTree(path + L"\\", removed) && ok;
            ok = RemoveDirectoryW(path.c_str()) && ok;
        } else {
            ok = DeleteFileW(path.c_str()) && ok;
        }
        if (removed)
            removed(path, folderEntry);
    } while (FindNextFileW(find.Get(), &data));
    return ok;
}

class TSystemZipDrive : public IZipDrive {
public:
    bool IsRemovable(const std::wstring& root) override { return GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE; }
    bool IsReady(const std::wstring& root) override
    {
        return GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) != FALSE;
    }
    std::wstring VolumeLabel(const std::wstring& root) override
    {
        wchar_t label[MAX_PATH + 1] = {};
        if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
            return {};
        return label;
    }
    bool ChangeVolumeLabel(const std::wstring& root, const std::wstring& label) override
    {
        return SetVolumeLabelW(root.c_str(), label.c_str()) != FALSE;
    }
    uint64_t FreeSpace(const std::wstring& root) override
    {
        ULARGE_INTEGER free{};
        if (!GetDiskFreeSpaceExW(root.c_str(), &free, nullptr, nullptr))
            return 0;
        return free.QuadPart;
    }
    bool IsEmpty(const std::wstring& root) override
    {
        WIN32_FIND_DATAW data;
        TFindHandle find(FindFirstFileW((root + L"*").c_str(), &data));
        if (!find.Valid())
            return true;
        do {
            if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
                return false;
        } while (FindNextFileW(find.Get(), &data));
        return true;
    }
    bool Wipe(const std::wstring& root, const TRemoved& removed) override { return RemoveTree(root, removed); }
    TFormatResult Format(const std::wstring& root) override
    {
        if (root.empty() || !iswalpha(root[0]))
            return frNotPossible;
        const UINT drive = UINT(towupper(root[0]) - L'A');
        // Options 0: a quick format.
        switch (SHFormatDrive(GetActiveWindow(), drive, SHFMT_ID_DEFAULT, 0)) {
        case DWORD(SHFMT_CANCEL):
            return frCancelled;
        case DWORD(SHFMT_NOFORMAT):
            return frNotPossible;
        case DWORD(SHFMT_ERROR):
            return frFailed;
        default:
            return frFormatted;
        }
    }
};

}  // namespace

std::shared_ptr<IZipDrive> SystemZipDrive()
{
    return std::make_shared<TSystemZipDrive>();
}

}  // namespace qrv
