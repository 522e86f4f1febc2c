#include "mainwindow/win/TextSaving.h"

#include "common/BaseUtils.h"
#include "common/win/FileQueries.h"
#include "common/win/TempFiles.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/WinApi.h"
#include "mainwindow/SaveQuestion.h"

#include <vector>

namespace qrv {

namespace {

[[noreturn]] void RaiseLastError(const std::wstring& Step, const std::wstring& Name)
{
    const DWORD code = GetLastError();
    throw EOSError(Step + L": " + Name, code);
}

// An empty file with a unique name in the folder of FileName: the rename
// into place then stays on one volume.
std::wstring CreateTemporaryBeside(const std::wstring& FileName)
{
    std::wstring folder = ExtractFilePath(FileName);
    if (folder.empty())
        folder = L".";
    std::wstring name = CreateTemporaryFile(folder, L"qrv");
    if (name.empty())
        RaiseLastError(L"Temporäre Datei", folder);
    return name;
}

// Removes the temporary file unless it was moved into place.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::wstring Name) : name_(std::move(Name)) {}
    ~TTemporaryFile()
    {
        if (!name_.empty() && !DeleteFileW(name_.c_str()))
            TraceIgnoredFailure(L"delete temporary save file", GetLastError());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    const std::wstring& Name() const { return name_; }
    void Release() { name_.clear(); }

private:
    std::wstring name_;
};

}  // namespace

void SaveTextReplacing(const std::wstring& FileName, bool KeepBackup, const TTextWriter& Writer)
{
    TTemporaryFile temporary(CreateTemporaryBeside(FileName));
    Writer(temporary.Name());

    WIN32_FILE_ATTRIBUTE_DATA existing{};
    const bool exists = FileAttributeData(FileName, existing);
    if (exists) {
        // A rename would replace a read-only file where writing to it is
        // refused; it stays as it is.
        if (existing.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            throw EOSError(L"Schreibgeschützt: " + FileName, ERROR_ACCESS_DENIED);
        const uint64_t size = (uint64_t(existing.nFileSizeHigh) << 32) | existing.nFileSizeLow;
        const std::wstring backup = BackupFileName(FileName);
        // A copy, not a rename: until the new text is in place the file
        // keeps its name and content.
        if (KeepBackup && size > 0 && !SameText(backup, FileName) &&
            !CopyFileW(FileName.c_str(), backup.c_str(), FALSE))
            RaiseLastError(L"Sicherungskopie", backup);
        // The new file keeps the old one's attributes (hidden, system, ...).
        if (!SetFileAttributesW(temporary.Name().c_str(), existing.dwFileAttributes))
            TraceIgnoredFailure(L"copy attributes to the saved file", GetLastError());
    }
    if (!MoveFileExW(temporary.Name().c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        RaiseLastError(L"Ersetzen", FileName);
    temporary.Release();
}

bool SaveText(const std::wstring& FileName, bool KeepBackup, const TTextWriter& Writer,
              const std::function<void(const std::wstring& Message)>& ShowError)
{
    try {
        SaveTextReplacing(FileName, KeepBackup, Writer);
        return true;
    } catch (const std::exception&) {
        ShowError(SaveErrorText(FileName));
        return false;
    }
}

}  // namespace qrv
