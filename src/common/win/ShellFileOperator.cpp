#include "common/win/ShellFileOperator.h"

#include "common/KyNotify.h"
#include "common/win/FileQueries.h"
#include "common/win/KySyncObjs.h"
#include "framework/IgnoredError.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <shellapi.h>

#include <atomic>
#include <random>

namespace qrv {

namespace {

// The mutex serialises the operators of all threads; the owning thread is
// kept beside it because a mutex lets its owner in again, and a second
// operation started from the shell's message loop must not run inside the
// first.
struct TOperationLock {
    TMutex Mutex{FileOperatorMutexName()};
    std::atomic<DWORD> OwnerThread{0};
};

TOperationLock& OperationLock()
{
    static TOperationLock lock;
    return lock;
}

TForm* FormOf(TControl* control)
{
    for (TControl* c = control; c != nullptr; c = c->Parent()) {
        if (auto* form = dynamic_cast<TForm*>(c)) {
            return form;
        }
    }
    return nullptr;
}

}  // namespace

const std::wstring& FileOperatorMutexName()
{
    static const std::wstring name = [] {
        std::mt19937 random(static_cast<unsigned>(GetTickCount64()));
        std::uniform_int_distribution<int> number(0, 2147483646);
        return L"TFileOperator" + std::to_wstring(number(random));
    }();
    return name;
}

TShellFileOperatorSystem::TShellFileOperatorSystem(TControl* Owner) : owner_(Owner) {}

HWND TShellFileOperatorSystem::OwnerWindow() const
{
    if (auto* windowed = dynamic_cast<TWinControl*>(owner_); windowed != nullptr && windowed->HandleAllocated()) {
        if (TForm* form = FormOf(windowed); form != nullptr && form->HandleAllocated()) {
            return form->Handle();
        }
    }
    if (Application == nullptr || Application->Terminated()) {
        return nullptr;
    }
    TForm* main = Application->MainForm();
    return main != nullptr && main->HandleAllocated() ? main->Handle() : nullptr;
}

TShellOperationResult TShellFileOperatorSystem::ShellOperation(uint32_t OperationCode, const std::wstring& From,
                                                               const std::wstring& To, TFileOperationFlags Flags)
{
    SHFILEOPSTRUCTW op{};
    op.hwnd = OwnerWindow();
    op.wFunc = OperationCode;
    op.pFrom = From.c_str();
    op.pTo = OperationCode == FO_DELETE ? nullptr : To.c_str();
    op.fFlags = Flags;
    TShellOperationResult result;
    result.Code = SHFileOperationW(&op);
    result.AnyAborted = op.fAnyOperationsAborted != FALSE;
    // Nobody reads the name mappings of a run yet: they go at once.
    if (op.hNameMappings != nullptr) {
        SHFreeNameMappings(op.hNameMappings);
    }
    return result;
}

uint32_t TShellFileOperatorSystem::RenameFile(const std::wstring& From, const std::wstring& To)
{
    return MoveFileW(From.c_str(), To.c_str()) ? 0 : GetLastError();
}

bool TShellFileOperatorSystem::FileOrDirExists(const std::wstring& Path)
{
    return PathExists(Path);
}

bool TShellFileOperatorSystem::DirectoryExists(const std::wstring& Path)
{
    return DirExists(Path);
}

namespace {

// Adds the files below Folder (names relative to Base) to Files.
void AddFolderFiles(const std::wstring& Folder, size_t Base, std::vector<TTreeFile>& Files)
{
    WIN32_FIND_DATAW found{};
    TFindHandle find(FindFirstFileExW((Folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                      nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = Folder + L"\\" + name;
        // A folder's link (junction) is not followed: its files are not the folder's own.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
                AddFolderFiles(path, Base, Files);
            }
        } else {
            Files.push_back({path.substr(Base), (uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
        }
    } while (FindNextFileW(find.Get(), &found));
}

}  // namespace

std::vector<TTreeFile> TShellFileOperatorSystem::TreeFiles(const std::wstring& Path)
{
    std::vector<TTreeFile> files;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!FileAttributeData(Path, data)) {
        return files;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        AddFolderFiles(Path, Path.size(), files);
    } else {
        files.push_back({L"", (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
    }
    return files;
}

uint32_t TShellFileOperatorSystem::RemoveFile(const std::wstring& Path)
{
    return DeleteFileW(Path.c_str()) ? 0 : GetLastError();
}

uint32_t TShellFileOperatorSystem::ShortTargetError(const std::wstring& Target, uint64_t Missing)
{
    const size_t slash = Target.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? Target : Target.substr(0, slash + 1);
    ULARGE_INTEGER available{};
    if (GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr) && available.QuadPart < Missing) {
        return ERROR_DISK_FULL;
    }
    return ERROR_WRITE_FAULT;
}

bool TShellFileOperatorSystem::Lock()
{
    TOperationLock& lock = OperationLock();
    const DWORD self = GetCurrentThreadId();
    if (lock.OwnerThread.load() == self) {
        return false;
    }
    const DWORD wait = lock.Mutex.Wait();
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        TraceIgnoredFailure(L"file-operation mutex", GetLastError());
        return false;
    }
    lock.OwnerThread.store(self);
    return true;
}

void TShellFileOperatorSystem::Unlock()
{
    TOperationLock& lock = OperationLock();
    lock.OwnerThread.store(0);
    if (!lock.Mutex.Release()) {
        TraceIgnoredFailure(L"file-operation mutex release", GetLastError());
    }
}

void TShellFileOperatorSystem::NotifyRenamed(bool IsFolder, const std::wstring& OldPath, const std::wstring& NewPath)
{
    KyNotify().Notify(IsFolder ? kneRenameFolder : kneRenameItem, OldPath, NewPath);
}

void TShellFileOperatorSystem::RepaintOwner()
{
    if (HWND window = OwnerWindow()) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

std::unique_ptr<TFileOperator> NewShellFileOperator(TControl* Owner)
{
    return std::make_unique<TFileOperator>(std::make_shared<TShellFileOperatorSystem>(Owner));
}

}  // namespace qrv
