#include "mainwindow/win/WinVerifyFiles.h"

#include "framework/win/Handles.h"
#include "mainwindow/win/WinCompareFile.h"
#include "panels/win/KyDriveInfo.h"

namespace qrv {

TVerifyEntry VerifyEntryOf(const std::wstring& FullPath, uint32_t Attributes, int64_t Size)
{
    TVerifyEntry entry;
    entry.Name = FullPath;
    entry.Directory = (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.ReparsePoint = entry.Directory && (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.Size = entry.Directory ? 0 : Size;
    return entry;
}

std::vector<TVerifyEntry> TWinVerifyFiles::List(const std::wstring& Folder)
{
    std::vector<TVerifyEntry> entries;
    const TQuietDriveErrors quiet;
    WIN32_FIND_DATAW data{};
    TFindHandle find(FindFirstFileExW((Folder + L"\\*.*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                      nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return entries;
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const int64_t size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        TVerifyEntry entry = VerifyEntryOf(data.cFileName, data.dwFileAttributes, size);
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find.Get(), &data));
    return entries;
}

std::unique_ptr<TCompareFile> TWinVerifyFiles::Open(const std::wstring& Name, uint32_t& Error)
{
    const TQuietDriveErrors quiet;
    TFileHandle file(CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        Error = GetLastError();
        return nullptr;
    }
    Error = 0;
    return std::make_unique<TWinCompareFile>(std::move(file));
}

}  // namespace qrv
