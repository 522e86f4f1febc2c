#pragma once
// Another process holding a file open without sharing, as an editor or a
// virus scanner of another program would.

#include "framework/win/Handles.h"

#include <string>

namespace qrv::test {

// A process of our own, started suspended, that holds a handle to the file
// (read and write, no sharing unless Share says otherwise, as a log writer
// shares reading and writing); it is ended by its handle when the holder goes.
class ForeignFileHolder {
public:
    explicit ForeignFileHolder(const std::wstring& fileName, DWORD share = 0)
    {
        wchar_t self[MAX_PATH + 1]{};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                            &startup, &started))
            return;
        process_.Reset(started.hProcess);
        thread_.Reset(started.hThread);
        TFileHandle own(
            CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!own)
            return;
        // The handle moves into the other process; ours is closed with it.
        held_ = DuplicateHandle(GetCurrentProcess(), own.Release(), process_.Get(), nullptr, 0, FALSE,
                                DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE) != 0;
    }
    ~ForeignFileHolder()
    {
        if (process_) {
            TerminateProcess(process_.Get(), 0);
            WaitForSingleObject(process_.Get(), 10000);
        }
    }
    ForeignFileHolder(const ForeignFileHolder&) = delete;
    ForeignFileHolder& operator=(const ForeignFileHolder&) = delete;
    bool Holding() const { return held_; }

private:
    TKernelHandle process_;
    TKernelHandle thread_;
    bool held_ = false;
};

}  // namespace qrv::test
