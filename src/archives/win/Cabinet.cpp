#include "archives/win/Cabinet.h"

#include "archives/CabinetRules.h"
#include "common/BaseUtils.h"
#include "common/SafeExtractPath.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/Library.h"
#include "framework/Encoding.h"
#include "framework/IgnoredError.h"

#include <fcntl.h>

#include <cstdlib>
#include <cstring>
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

std::wstring AnsiText(std::string_view bytes)
{
    return TEncoding::Default().GetString(bytes);
}

// A name or path as FDI hands it over, UTF-8 or the ANSI page.
std::wstring FdiText(const char* bytes)
{
    return CabinetFdiText(bytes ? bytes : "", AnsiText);
}

}  // namespace

ECabinetError::ECabinetError(int code, int type)
    : Exception(L"Cabinet error " + std::to_wstring(code) + L" (type " + std::to_wstring(type) + L")"), Code(code),
      Type(type)
{}

EApiError::EApiError(DWORD code)
    : Exception(L"Error " + std::to_wstring(code) + L": " + Win32ErrorText(code)), Code(code)
{}

INT_PTR TStreamCabinetFileHandler::Open(const std::string& fileName, int flags, int, int& error)
{
    const bool create = (flags & _O_CREAT) != 0;
    const int access = flags & 3;
    const DWORD desired = access == _O_RDONLY   ? GENERIC_READ
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
        reader->KeepFailure(std::current_exception());
        return failed;
    }
}

INT_PTR DIAMONDAPI FdiOpen(char* name, int flags, int mode)
{
    return Guarded<INT_PTR>(-1, [&](TCabinetFileHandler& h) {
        int error = 0;
        return h.Open(WideToUtf8(FdiText(name)), flags, mode, error);
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
    TCabinetReader* Previous;
    explicit TCurrentReader(TCabinetReader* reader) : Previous(currentReader) { currentReader = reader; }
    ~TCurrentReader() { currentReader = Previous; }
};

}  // namespace

TCabinetReader::TCabinetReader(TComponent* owner) : TComponent(owner), handler_(new TStreamCabinetFileHandler(this)) {}

TCabinetReader::~TCabinetReader()
{
    DestroyContext();
}

void TCabinetReader::DestroyContext()
{
    if (context_ && destroy_ && !destroy_(context_))
        TraceIgnoredFailure(L"FDIDestroy", static_cast<DWORD>(error_.erfOper));
    context_ = nullptr;
}

void TCabinetReader::SetCpuType(TCpuType cpuType)
{
    if (cpuType == cpuType_)
        return;
    cpuType_ = cpuType;
    DestroyContext();
}

bool TCabinetReader::Loaded()
{
    if (library_)
        return true;
    TModuleHandle library = LoadSystemLibrary(L"cabinet.dll");
    if (!library)
        return false;
    const HMODULE h = library.Get();
    Bind(h, "FDICreate", create_);
    Bind(h, "FDIIsCabinet", isCabinet_);
    Bind(h, "FDICopy", copy_);
    Bind(h, "FDIDestroy", destroy_);
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
    context_ = create_(FdiAlloc, FdiFree, FdiOpen, FdiRead, FdiWrite, FdiClose, FdiSeek, FdiCpuType(cpuType_), &error_);
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
    failure_ = nullptr;  // a failed read makes it no cabinet, nothing more
    return result;
}

void TCabinetReader::Copy(const std::wstring& cabinet, const std::wstring& destination)
{
    EnsureContext();
    destinationPath_ = destination.empty() ? destination : AddBackslash(destination);
    std::string name = WideToUtf8(ExtractFileName(cabinet));
    std::string path = WideToUtf8(ExtractFilePath(cabinet));
    failure_ = nullptr;
    refusedTarget_ = false;
    openedTargets_.clear();
    BOOL ok;
    {
        const TCurrentReader current(this);
        ok = copy_(context_, name.data(), path.data(), 0, &TCabinetReader::Notify, nullptr, this);
    }
    // Files a failed run left open are closed and, being incomplete, removed.
    const bool failed = failure_ || !ok;
    for (const auto& [handle, target] : openedTargets_) {
        int error = 0;
        handler_->Close(handle, error);
        if (failed && !DeleteFileW(target.Name.c_str()))
            TraceIgnoredFailure(L"removing an incomplete file of a cabinet", GetLastError());
    }
    openedTargets_.clear();
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
    if (!ok)
        throw ECabinetError(error_.erfOper, error_.erfType);
    if (refusedTarget_)
        throw ECabinetError(FDIERROR_TARGET_FILE, 0);
}

void TCabinetReader::KeepFailure(std::exception_ptr failure)
{
    // The first failure is the cause; what follows is FDI winding down.
    if (!failure_)
        failure_ = std::move(failure);
}

void TCabinetReader::RememberTarget(INT_PTR handle, const std::wstring& target)
{
    openedTargets_[handle].Name = target;
}

INT_PTR DIAMONDAPI TCabinetReader::Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION data)
{
    auto* reader = static_cast<TCabinetReader*>(data ? data->pv : nullptr);
    if (!reader)
        return -1;
    try {
        return reader->OnNotify(type, data);
    } catch (...) {
        reader->KeepFailure(std::current_exception());
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
            const auto target =
                SafeExtractPath(destinationPath_, CabinetStoredName(name, data->attribs, AnsiText), true);
            if (!target) {
                refusedTarget_ = true;
                return 0;
            }
            int error = 0;
            handle = handler_->Open(WideToUtf8(*target), _O_CREAT | _O_WRONLY | _O_BINARY, 0, error);
            if (handle != -1)
                RememberTarget(handle, *target);
            break;
        }
        case fcaCopy:
            break;
        }
        if (const auto it = openedTargets_.find(handle); it != openedTargets_.end())
            it->second.Size = data->cb;
        return handle;
    }
    case fdintCLOSE_FILE_INFO: {
        bool abort = false;
        CloseCopiedFile(data, abort);
        return abort ? -1 : TRUE;
    }
    case fdintCABINET_INFO: {
        bool abort = false;
        if (OnCabinetInfo)
            OnCabinetInfo(this, FdiText(data->psz1), FdiText(data->psz2), FdiText(data->psz3), data->setID,
                          data->iCabinet, abort);
        return abort ? -1 : 0;
    }
    case fdintPARTIAL_FILE: {
        bool abort = false;
        if (OnPartialFile)
            OnPartialFile(this, FdiText(data->psz1), FdiText(data->psz2), FdiText(data->psz3), abort);
        return abort ? -1 : 0;
    }
    case fdintNEXT_CABINET:
        return NextCabinet(data);
    default:
        return 0;
    }
}

void TCabinetReader::CloseCopiedFile(PFDINOTIFICATION data, bool& abort)
{
    const auto it = openedTargets_.find(data->hf);
    const TOpenedTarget target = it == openedTargets_.end() ? TOpenedTarget() : it->second;
    if (it != openedTargets_.end())
        openedTargets_.erase(it);
    // FDI closes the file it was writing when its run fails, too: a file
    // shorter than announced is incomplete and does not stay.
    LARGE_INTEGER written{};
    if (!target.Name.empty() && target.Size >= 0 && GetFileSizeEx(handler_->Native(data->hf), &written) &&
        written.QuadPart < target.Size) {
        int error = 0;
        handler_->Close(data->hf, error);
        if (!DeleteFileW(target.Name.c_str()))
            TraceIgnoredFailure(L"removing an incomplete file of a cabinet", GetLastError());
        throw ECabinetError(FDIERROR_CORRUPT_CABINET, 0);
    }
    if (OnCloseCopiedFile)
        OnCloseCopiedFile(this, data->psz1 ? data->psz1 : "", data->hf, data->date, data->time, data->attribs,
                          data->iFolder, data->cb != 0, abort);
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
    if (FileSupport && !target.Name.empty()) {
        const DWORD attributes = CabinetFileAttributes(data->attribs);
        if (!SetFileAttributesW(target.Name.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL))
            TraceIgnoredFailure(L"setting the attributes of a file from a cabinet", GetLastError());
    }
}

INT_PTR TCabinetReader::NextCabinet(PFDINOTIFICATION data)
{
    std::wstring path = FdiText(data->psz3);
    const std::wstring before = path;
    bool abort = false;
    if (OnNextCabinet)
        OnNextCabinet(this, FdiText(data->psz1), FdiText(data->psz2), path, data->fdie, abort);
    const auto bytes = CabinetPathBuffer(path, CB_MAX_CAB_PATH);
    const bool changed = path != before && bytes != CabinetPathBuffer(before, CB_MAX_CAB_PATH);
    if (!CabinetNextGoesOn(data->fdie, changed, abort)) {
        if (abort)
            return -1;
        // FDI would ask for the same cabinet again: the run ends with its error.
        throw ECabinetError(data->fdie, 0);
    }
    if (changed) {
        if (!bytes || !data->psz3)
            throw ECabinetError(FDIERROR_CABINET_NOT_FOUND, 0);
        std::memcpy(data->psz3, bytes->c_str(), bytes->size() + 1);
    }
    return 0;
}

}  // namespace qrv
