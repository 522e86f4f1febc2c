#pragma once
// The file the byte comparison reads (mainwindow/FileCompare.h), over the
// system's file handle.

#include "framework/win/Handles.h"
#include "mainwindow/FileCompare.h"

#include <atomic>
#include <memory>
#include <string>

namespace qrv {

// A file opened for reading, shared with writers as the other programs
// that hold it may be.
class TWinCompareFile : public TCompareFile {
public:
    explicit TWinCompareFile(TFileHandle file) : file_(std::move(file)) {}

    // Nullptr when the file cannot be opened (GetLastError tells why).
    static std::unique_ptr<TCompareFile> Open(const std::wstring& name);
    int64_t Size() override;
    int64_t Read(uint8_t* buffer, int64_t count) override;

private:
    TFileHandle file_;
};

// CompareFileContents over the system's files for a worker thread: it
// handles no messages and returns crAborted soon after Stop is set.
uint8_t CompareFilesOnWorker(const std::wstring& FileA, const std::wstring& FileB, const std::atomic<bool>& Stop);

}  // namespace qrv
