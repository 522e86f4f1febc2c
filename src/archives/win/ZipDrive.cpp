#include "archives/win/ZipDrive.h"

#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"

#include <windows.h>
#include <shlobj.h>

namespace qrv {

namespace {

bool RemoveTree(const std::wstring& folder)
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
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = RemoveTree(path + L"\\") && RemoveDirectoryW(path.c_str()) && ok;
        else
            ok = DeleteFileW(path.c_str()) && ok;
    } while (FindNextFileW(find.Get(), &data));
    return ok;
}

class TSystemZipDrive : public IZipDrive {
public:
    bool IsRemovable(const std::wstring& root) override { return GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE; }
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
    bool Wipe(const std::wstring& root) override { return RemoveTree(root); }
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

std::shared_ptr<IZipDrive> SystemZipDrive() { return std::make_shared<TSystemZipDrive>(); }

}  // namespace qrv
