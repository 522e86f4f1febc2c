#include "mainwindow/win/WinSplitFiles.h"

#include "common/KyNotify.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"

namespace qrv {

namespace {

uint64_t TimeValue(const FILETIME& Time)
{
    return (static_cast<uint64_t>(Time.dwHighDateTime) << 32) | Time.dwLowDateTime;
}

FILETIME FileTimeOf(uint64_t Value)
{
    return {static_cast<DWORD>(Value), static_cast<DWORD>(Value >> 32)};
}

class TWinSplitFile : public TSplitFile {
public:
    TWinSplitFile(TFileHandle File, TWinSplitFiles& Owner) : file_(std::move(File)), owner_(Owner) {}

    int64_t Read(uint8_t* Buffer, uint32_t Count) override
    {
        DWORD got = 0;
        if (!ReadFile(file_.Get(), Buffer, Count, &got, nullptr)) {
            owner_.SetLastError(GetLastError());
            return -1;
        }
        return got;
    }
    int64_t WriteAt(uint64_t Offset, const uint8_t* Buffer, uint32_t Count) override
    {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(Offset);
        if (!SetFilePointerEx(file_.Get(), at, nullptr, FILE_BEGIN)) {
            owner_.SetLastError(GetLastError());
            return 0;
        }
        DWORD done = 0;
        if (!WriteFile(file_.Get(), Buffer, Count, &done, nullptr))
            owner_.SetLastError(GetLastError());
        else if (done < Count)
            owner_.SetLastError(ERROR_DISK_FULL);
        return done;
    }
    bool SetEnd(uint64_t Size) override
    {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(Size);
        if (SetFilePointerEx(file_.Get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(file_.Get()))
            return true;
        owner_.SetLastError(GetLastError());
        return false;
    }

private:
    TFileHandle file_;
    TWinSplitFiles& owner_;
};

}  // namespace

bool TWinSplitFiles::Failed()
{
    lastError_ = GetLastError();
    return false;
}

std::unique_ptr<TSplitFile> TWinSplitFiles::OpenRead(const std::wstring& Path)
{
    TFileHandle file(CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        Failed();
        return nullptr;
    }
    return std::make_unique<TWinSplitFile>(std::move(file), *this);
}

std::unique_ptr<TSplitFile> TWinSplitFiles::OpenWrite(const std::wstring& Path, bool Fresh, bool& Created)
{
    // An existing file is emptied rather than made anew, which a hidden or
    // system file would refuse.
    const bool exists = FileExists(Path);
    const DWORD disposition = !exists ? CREATE_NEW : Fresh ? TRUNCATE_EXISTING : OPEN_EXISTING;
    TFileHandle file(CreateFileW(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        Failed();
        return nullptr;
    }
    Created = !exists;
    return std::make_unique<TWinSplitFile>(std::move(file), *this);
}

std::optional<TSplitFileInfo> TWinSplitFiles::Info(const std::wstring& Path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!FileAttributeData(Path, data)) {
        Failed();
        return std::nullopt;
    }
    return TSplitFileInfo{(static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                          TimeValue(data.ftCreationTime), TimeValue(data.ftLastWriteTime), data.dwFileAttributes};
}

bool TWinSplitFiles::SetTimes(const std::wstring& Path, uint64_t Created, uint64_t Written)
{
    TFileHandle file(CreateFileW(Path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    const FILETIME created = FileTimeOf(Created), written = FileTimeOf(Written);
    return (file && SetFileTime(file.Get(), &created, nullptr, &written)) || Failed();
}

bool TWinSplitFiles::SetAttributes(const std::wstring& Path, uint32_t Attributes)
{
    return SetFileAttributesW(Path.c_str(), Attributes ? Attributes : FILE_ATTRIBUTE_NORMAL) || Failed();
}

bool TWinSplitFiles::Delete(const std::wstring& Path)
{
    return DeleteFileW(Path.c_str()) || Failed();
}

std::optional<uint64_t> TWinSplitFiles::FreeSpace(const std::wstring& Root)
{
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(Root.c_str(), &available, nullptr, nullptr)) {
        Failed();
        return std::nullopt;
    }
    return available.QuadPart;
}

TSplitDriveKind TWinSplitFiles::DriveKind(const std::wstring& Root)
{
    return GetDriveTypeW(Root.c_str()) == DRIVE_REMOVABLE ? TSplitDriveKind::Removable : TSplitDriveKind::Other;
}

std::wstring TWinSplitFiles::LastErrorText()
{
    return Win32ErrorText(lastError_);
}

void TWinSplitFiles::AnnounceCreated(const std::wstring& Path)
{
    try {
        KyNotify().Notify(kneCreate, Path);
    } catch (const std::exception&) {
        TraceIgnoredException(L"announcing a file the split or join made");
    }
}

}  // namespace qrv
