#include "archives/win/ArchiveTempFolder.h"

#include "common/BaseUtils.h"
#include "common/win/FileQueries.h"
#include "common/win/TempFiles.h"
#include "framework/IgnoredError.h"

#include <windows.h>

#include <vector>

namespace qrv {

bool DeleteFolderTree(const std::wstring& folder)
{
    const std::wstring root = AddBackslash(folder);
    WIN32_FIND_DATAW data{};
    bool complete = true;
    {
        TFindHandle find(FindFirstFileW((root + L"*").c_str(), &data));
        if (find) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = root + name;
                const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !link) {
                    complete = DeleteFolderTree(path) && complete;
                    continue;
                }
                if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                    SetFileAttributesW(path.c_str(), data.dwFileAttributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
                // A link to a folder goes as the link, its target untouched.
                const bool deleted = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                         ? RemoveDirectoryW(path.c_str()) != 0
                                         : DeleteFileW(path.c_str()) != 0;
                complete = deleted && complete;
            } while (FindNextFileW(find.Get(), &data));
        }
    }
    return RemoveDirectoryW(RemoveBackslash(folder).c_str()) && complete;
}

TArchiveTempFolder::TArchiveTempFolder(std::wstring base) : base_(std::move(base))
{
    if (base_.empty())
        base_ = TemporaryFolder().empty() ? std::wstring() : TemporaryFolder() + L"$Zovura\\";
    else
        base_ = AddBackslash(base_);
}

TArchiveTempFolder::~TArchiveTempFolder()
{
    if (folder_.empty())
        return;
    const std::wstring lock = folder_ + kLockFileName;
    lock_.Reset();
    if (keep_) {
        // Without its lock the folder is nobody's to remove.
        if (!DeleteFileW(lock.c_str()))
            TraceIgnoredFailure(L"letting go of the archive list's lock", GetLastError());
        return;
    }
    if (!DeleteFolderTree(folder_))
        TraceIgnoredFailure(L"removing the archive list's folder (a copy still open elsewhere)", GetLastError());
    // The shared folder goes with the last view.
    RemoveDirectoryW(RemoveBackslash(base_).c_str());
}

void TArchiveTempFolder::RemoveLeftovers()
{
    WIN32_FIND_DATAW data{};
    std::vector<std::wstring> found;
    {
        TFindHandle find(FindFirstFileW((base_ + L"*").c_str(), &data));
        if (!find)
            return;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L".." && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                found.push_back(base_ + name + L"\\");
        } while (FindNextFileW(find.Get(), &data));
    }
    for (const std::wstring& folder : found) {
        // A running view holds its lock open: the delete fails and the
        // folder stays. No lock at all: not a view's folder, or kept.
        const std::wstring lock = folder + kLockFileName;
        if (!FileExists(lock) || !DeleteFileW(lock.c_str()))
            continue;
        if (!DeleteFolderTree(folder))
            TraceIgnoredFailure(L"removing an earlier archive list's folder", GetLastError());
    }
}

const std::wstring& TArchiveTempFolder::Folder()
{
    if (!folder_.empty() || base_.empty())
        return folder_;
    if (!CreateDirectoryW(RemoveBackslash(base_).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return folder_;
    RemoveLeftovers();
    const std::wstring stem = base_ + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned attempt = GetTickCount() & 0xFFFF, tries = 0; tries < 100; ++attempt, ++tries) {
        const std::wstring folder = stem + std::to_wstring(attempt) + L"\\";
        if (!CreateDirectoryW(RemoveBackslash(folder).c_str(), nullptr))
            continue;
        // Shared for reading only: another view cannot delete it while held.
        lock_.Reset(CreateFileW((folder + kLockFileName).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!lock_) {
            RemoveDirectoryW(RemoveBackslash(folder).c_str());
            return folder_;
        }
        folder_ = folder;
        break;
    }
    return folder_;
}

std::wstring TArchiveTempFolder::NewSubfolder()
{
    if (Folder().empty())
        return {};
    for (unsigned tries = 0; tries < 1000; ++tries) {
        const std::wstring folder = folder_ + std::to_wstring(++next_) + L"\\";
        if (CreateDirectoryW(RemoveBackslash(folder).c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return {};
    }
    return {};
}

}  // namespace qrv
