#include "mainwindow/win/WinCompareFile.h"

namespace qrv {

std::unique_ptr<TCompareFile> TWinCompareFile::Open(const std::wstring& name)
{
    TFileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return nullptr;
    return std::make_unique<TWinCompareFile>(std::move(file));
}

int64_t TWinCompareFile::Size()
{
    LARGE_INTEGER size;
    return GetFileSizeEx(file_.Get(), &size) ? size.QuadPart : -1;
}

int64_t TWinCompareFile::Read(uint8_t* buffer, int64_t count)
{
    DWORD read = 0;
    if (!ReadFile(file_.Get(), buffer, static_cast<DWORD>(count), &read, nullptr))
        return -1;
    return read;
}

uint8_t CompareFilesOnWorker(const std::wstring& FileA, const std::wstring& FileB, const std::atomic<bool>& Stop)
{
    TFileCompareHost host;
    host.Open = TWinCompareFile::Open;
    host.AbortRequested = [&Stop] { return Stop.load(); };
    return CompareFileContents(FileA, FileB, host);
}

}  // namespace qrv
