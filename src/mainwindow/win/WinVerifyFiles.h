#pragma once
// The verification's file system (mainwindow/FileVerify.h) on the system:
// folders listed by FindFirstFileExW, files opened for reading while others
// read, write and even delete them (a log being written is verified, not
// refused), with the system's error boxes off for removable media.

#include "mainwindow/FileVerify.h"

namespace qrv {

class TWinVerifyFiles : public TVerifyFiles {
public:
    std::vector<TVerifyEntry> List(const std::wstring& Folder) override;
    std::unique_ptr<TCompareFile> Open(const std::wstring& Name, uint32_t& Error) override;
};

// A selected item's entry: its full path, folder and link flags and size.
TVerifyEntry VerifyEntryOf(const std::wstring& FullPath, uint32_t Attributes, int64_t Size);

}  // namespace qrv
