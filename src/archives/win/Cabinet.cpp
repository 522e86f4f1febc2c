#include "archives/win/Cabinet.h"

#include "archives/CabinetRules.h"
#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "framework/Encoding.h"

#include <fcntl.h>

#include <cstdlib>
#include <utility>

namespace qrv {

namespace {

// The reader whose FDI run is under way on this thread: FDI's file
// callbacks carry no context of their own.
thread_local TCabinetReader* currentReader = nullptr;

std::wstring Wide(const std::string& utf8)
{
    return Utf8ToWide(utf8);
}

}  // namespace

ECabinetError::ECabinetError(int code, int type)
    : Exception(L"Cabinet error " + std::to_wstring(code) + L" (type " + std::to_wstring(type) + L")"),
      Code(code), Type(type)
{
}

EApiError::EApiError(DWORD code)
    : Exception(L"Error " + std::to_wstring(code) + L": " + Win32ErrorText(code)), Code(code)
{
}

INT_PTR TStreamCabinetFileHandler::Open(const std::string& fileName, int flags, int, int& error)
{
    const bool create = (flags & _O_CREAT) != 0;
    const int access = flags & 3;
    const DWORD desired = access == _O_RDONLY ? GENERIC_READ
                          : access == _O_WRONLY ? GENERIC_WRITE
                                                : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = (flags & _O_EXCL) ? 0 : FILE_SHARE_READ;
    TFileHandle file(CreateFileW(Wide(fileName).c_str(), create ? GENERIC_READ | GENERIC_WRITE : desired, share,
                                 nullptr, create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = static_cast<int>(GetLastError());
        return -1;
    }
    const INT_PTR handle = next_++;
    files_.emplace(handle, std::move(file));
    error = 0;
    return handle;
}

HANDLE TStreamCabinetFileHandler::Native(INT_PTR handle) const
{
    const auto it = files_.find(handle);
    return it == files_.end() ? INVALID_HANDLE_VALUE : it->second.Get();
}

UINT TStreamCabinetFileHandler::Read(INT_PTR handle, void* buffer, UINT count, int& error)
{
    const HANDLE file = Native(handle);
    DWORD done = 0;
    if (file == INVALID_HANDLE_VALUE) {
        error = -1;
        return static_cast<UINT>(-1);
    }
    if (!ReadFile(file, buffer, count, &done, nullptr)) {
        error = static_cast<int>(GetLastError());
        return static_cast<UINT>(-1);
    }
    error = done < count ? ERROR_HANDLE_EOF : 0;
    return done;
}

UINT TStreamCabinetFileHandler::Write(INT_PTR handle, const void* buffer, UINT count, int& error)
{
    const HANDLE file = Native(handle);
    DWORD done = 0;
    if (file == INVALID_HANDLE_VALUE) {
        error = -1;
        return static_cast<UINT>(-1);
    }
    if (!WriteFile(file, buffer, count, &done, nullptr) || done < count) {
        error = static_cast<int>(GetLastError());
        return static_cast<UINT>(-1);
    }
    error = 0;
    return done;
}

int TStreamCabinetFileHandler::Close(INT_PTR handle, int& error)
{
    const auto it = files_.find(handle);
    if (it == files_.end()) {
        error = -1;
        return -1;
    }
    files_.erase(it);
    error = 0;
    return 0;
}

long TStreamCabinetFileHandler::Seek(INT_PTR handle, long distance, int origin, int& error)
{
    const HANDLE file = Native(handle);
    if (file == INVALID_HANDLE_VALUE) {
        error = -1;
        return -1;
    }
    const DWORD position = SetFilePointer(file, distance, nullptr, static_cast<DWORD>(origin));
    if (position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        error = static_cast<int>(GetLastError());
        return -1;
    }
    error = 0;
    return static_cast<long>(position);
}

bool TStreamCabinetFileHandler::Delete(const std::string& fileName, int& error)
{
    if (!DeleteFileW(Wide(fileName).c_str())) {
        error = static_cast<int>(GetLastError());
        return false;
    }
    error = 0;
    return true;
}

// FDI's callbacks: each forwards to the running reader's file handler and
// keeps every exception on this side.
namespace {

void* DIAMONDAPI FdiAlloc(ULONG size)
{
    return std::malloc(size);
}

void DIAMONDAPI FdiFree(void* memory)
{
    std::free(memory);
}

template <typename T, typename F>
T Guarded(T failed, F&& call)
{
    TCabinetReader* reader = currentReader;
    if (!reader)
        return failed;
    try {
        return call(reader->FileHandler());
    } catch (...) {
        return failed;
    }
}

INT_PTR DIAMONDAPI FdiOpen(char* name, int flags, int mode)
{
    return Guarded<INT_PTR>(-1, [&](TCabinetFileHandler& h) {
        int error = 0;
        return h.Open(name, flags, mode, error);
    });
}

UINT DIAMONDAPI FdiRead(INT_PTR file, void* buffer, UINT count)
{
    return Guarded<UINT>(static_cast<UINT>(-1), [&](TCabinetFileHandler& h) {
        int error = 0;
        return h.Read(file, buffer, count, error);
    });
}

UINT DIAMONDAPI FdiWrite(INT_PTR file, void* buffer, UINT count)
{
    return Guarded<UINT>(static_cast<UINT>(-1), [&](TCabinetFileHandler& h) {
        int error = 0;
        return h.Write(file, buffer, count, error);
    });
}

int DIAMONDAPI FdiClose(INT_PTR file)
{
    return Guarded<int>(-1, [&](TCabinetFileHandler& h) {
        int error = 0;
        return h.Close(file, error);
    });
}

LONG DIAMONDAPI FdiSeek(INT_PTR file, LONG distance, int origin)
{
    return Guarded<LONG>(-1, [&](TCabinetFileHandler& h) {
        int error = 0;
        return static_cast<LONG>(h.Seek(file, distance, origin, error));
    });
}

// Runs an FDI call with this reader current; restores the previous one.
struct TCurrentReader {
    TCabinetReader* previous;
    explicit TCurrentReader(TCabinetReader* reader) : previous(currentReader) { currentReader = reader; }
    ~TCurrentReader() { currentReader = previous; }
};

}  // namespace

TCabinetReader::TCabinetReader(TComponent* owner)
    : TComponent(owner), handler_(new TStreamCabinetFileHandler(this))
{
}

TCabinetReader::~TCabinetReader()
{
    if (context_ && destroy_)
        destroy_(context_);
}

bool TCabinetReader::Loaded()
{
    if (library_)
        return true;
    TModuleHandle library(LoadLibraryExW(L"cabinet.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!library)
        return false;
    auto find = [&](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library.Get()), name));
    };
    create_ = reinterpret_cast<decltype(create_)>(find("FDICreate"));
    isCabinet_ = reinterpret_cast<decltype(isCabinet_)>(find("FDIIsCabinet"));
    copy_ = reinterpret_cast<decltype(copy_)>(find("FDICopy"));
    destroy_ = reinterpret_cast<decltype(destroy_)>(find("FDIDestroy"));
    if (!create_ || !isCabinet_ || !copy_ || !destroy_)
        return false;  // the library is freed with its guard
    library_ = std::move(library);
    return true;
}

void TCabinetReader::EnsureContext()
{
    if (context_)
        return;
    if (!Loaded())
        throw ECabinetError(FDIERROR_ALLOC_FAIL, 0);
    const int cpu = CpuType == cptAuto ? cpuUNKNOWN : CpuType == cpt80286 ? cpu80286 : cpu80386;
    context_ = create_(FdiAlloc, FdiFree, FdiOpen, FdiRead, FdiWrite, FdiClose, FdiSeek, cpu, &error_);
    if (!context_)
        throw ECabinetError(error_.erfOper, error_.erfType);
}

bool TCabinetReader::IsCabinet(const std::wstring& fileName, FDICABINETINFO& info)
{
    EnsureContext();
    const TCurrentReader current(this);
    int error = 0;
    const INT_PTR file = handler_->Open(WideToUtf8(fileName), _O_RDONLY | _O_BINARY, 0, error);
    if (file == -1)
        throw ECabinetError(-1, error);
    const bool result = isCabinet_(context_, file, &info) != FALSE;
    handler_->Close(file, error);
    return result;
}

void TCabinetReader::Copy(const std::wstring& cabinet, const std::wstring& destination)
{
    EnsureContext();
    destinationPath_ = destination.empty() ? destination : AddBackslash(destination);
    std::string name = WideToUtf8(ExtractFileName(cabinet));
    std::string path = WideToUtf8(ExtractFilePath(cabinet));
    failure_ = nullptr;
    openedTargets_.clear();
    BOOL ok;
    {
        const TCurrentReader current(this);
        ok = copy_(context_, name.data(), path.data(), 0, &TCabinetReader::Notify, nullptr, this);
    }
    // Files a failed run left open are closed.
    for (const auto& [handle, target] : openedTargets_) {
        int error = 0;
        handler_->Close(handle, error);
    }
    openedTargets_.clear();
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
    if (!ok)
        throw ECabinetError(error_.erfOper, error_.erfType);
}

void TCabinetReader::RememberTarget(INT_PTR handle, const std::wstring& target)
{
    openedTargets_[handle] = target;
}

INT_PTR DIAMONDAPI TCabinetReader::Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION data)
{
    auto* reader = static_cast<TCabinetReader*>(data ? data->pv : nullptr);
    if (!reader)
        return -1;
    try {
        return reader->OnNotify(type, data);
    } catch (...) {
        reader->failure_ = std::current_exception();
        return -1;
    }
}

INT_PTR TCabinetReader::OnNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION data)
{
    switch (type) {
    case fdintCOPY_FILE: {
        const std::string name = data->psz1 ? data->psz1 : "";
        TFileCopyAction action = OnCopyFile ? fcaCopy : fcaDefaultCopy;
        INT_PTR handle = 0;
        if (OnCopyFile)
            OnCopyFile(this, name, data->cb, data->date, data->time, data->attribs, action, handle);
        switch (action) {
        case fcaAbort:
            return -1;
        case fcaSkip:
            return 0;
        case fcaDefaultCopy: {
            const std::wstring target =
                destinationPath_ + CabinetStoredName(name, data->attribs, [](std::string_view bytes) {
                    return TEncoding::Default().GetString(bytes);
                });
            int error = 0;
            handle = handler_->Open(WideToUtf8(target), _O_CREAT | _O_WRONLY | _O_BINARY, 0, error);
            if (handle != -1)
                RememberTarget(handle, target);
            return handle;
        }
        case fcaCopy:
            return handle;
        }
        return -1;
    }
    case fdintCLOSE_FILE_INFO: {
        bool abort = false;
        if (OnCloseCopiedFile)
            OnCloseCopiedFile(this, data->psz1 ? data->psz1 : "", data->hf, data->date, data->time, data->attribs,
                              data->iFolder, data->cb != 0, abort);
        const auto it = openedTargets_.find(data->hf);
        const std::wstring target = it == openedTargets_.end() ? std::wstring() : it->second;
        if (it != openedTargets_.end())
            openedTargets_.erase(it);
        if (FileSupport) {
            FILETIME local, utc;
            const HANDLE native = handler_->Native(data->hf);
            if (!DosDateTimeToFileTime(data->date, data->time, &local) || !LocalFileTimeToFileTime(&local, &utc) ||
                !SetFileTime(native, nullptr, nullptr, &utc)) {
                const DWORD code = GetLastError();
                int error = 0;
                handler_->Close(data->hf, error);
                throw EApiError(code);
            }
        }
        int error = 0;
        handler_->Close(data->hf, error);
        if (FileSupport && !target.empty()) {
            const DWORD attributes = CabinetFileAttributes(data->attribs);
            SetFileAttributesW(target.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
        }
        return abort ? -1 : TRUE;
    }
    case fdintNEXT_CABINET:
        return -1;  // sets of several cabinets are not followed
    default:
        return 0;
    }
}

}  // namespace qrv
