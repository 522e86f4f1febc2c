#include "common/win/TempFiles.h"

#include "common/BaseUtils.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/Handles.h"

#include <algorithm>

namespace qrv {

namespace {

class TTemporaryFileStream : public TStream {
public:
    explicit TTemporaryFileStream(TFileHandle File) : file_(std::move(File)) {}

    size_t Read(void* Buffer, size_t Count) override
    {
        DWORD done = 0;
        if (!ReadFile(file_.Get(), Buffer, Chunk(Count), &done, nullptr)) {
            return 0;
        }
        return done;
    }
    size_t Write(const void* Buffer, size_t Count) override
    {
        DWORD done = 0;
        if (!WriteFile(file_.Get(), Buffer, Chunk(Count), &done, nullptr)) {
            return 0;
        }
        return done;
    }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override
    {
        LARGE_INTEGER distance;
        distance.QuadPart = Offset;
        LARGE_INTEGER position{};
        const DWORD method = Origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                             : Origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                                : FILE_END;
        if (!SetFilePointerEx(file_.Get(), distance, &position, method)) {
            throw EStreamError(L"Temporäre Datei: Positionieren fehlgeschlagen");
        }
        return position.QuadPart;
    }
    void SetSize(int64_t NewSize) override
    {
        const int64_t position = Position();
        Seek(NewSize, TSeekOrigin::soBeginning);
        if (!SetEndOfFile(file_.Get())) {
            throw EStreamError(L"Temporäre Datei: Größe nicht änderbar");
        }
        Seek(std::min(position, NewSize), TSeekOrigin::soBeginning);
    }

private:
    static DWORD Chunk(size_t Count) { return static_cast<DWORD>(std::min<size_t>(Count, 1u << 30)); }
    TFileHandle file_;
};

}  // namespace

std::wstring TemporaryFolder()
{
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return {};
    return AddBackslash(std::wstring_view(buffer, length));
}

std::wstring CreateTemporaryFile(const std::wstring& Folder, const wchar_t* Prefix)
{
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(Folder.c_str(), Prefix, 0, name) == 0)
        return {};
    return name;
}

std::wstring NewTemporaryFileName(const wchar_t* Prefix)
{
    const std::wstring folder = TemporaryFolder();
    const std::wstring name = folder.empty() ? std::wstring() : CreateTemporaryFile(folder, Prefix);
    if (name.empty())
        TraceIgnoredFailure(L"GetTempFileNameW", GetLastError());
    return name;
}

std::unique_ptr<TStream> NewTemporaryFileStream(const wchar_t* Prefix)
{
    const std::wstring name = NewTemporaryFileName(Prefix);
    TFileHandle file(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (name.empty() || !file) {
        throw EFCreateError(L"Temporäre Datei kann nicht angelegt werden");
    }
    return std::make_unique<TTemporaryFileStream>(std::move(file));
}

}  // namespace qrv
