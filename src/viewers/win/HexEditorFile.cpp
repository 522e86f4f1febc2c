#include "viewers/win/HexEditorFile.h"

#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/AnsiEncoding.h"

#include <algorithm>
#include <cwchar>

namespace qrv {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// ReadFile and WriteFile move at most this much per call.
constexpr size_t kMaxChunk = 1u << 30;

OVERLAPPED At(int64_t offset)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset));
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    return at;
}

}  // namespace

namespace {

// Whether the file lies on a fixed local drive.
bool OnFixedDrive(const std::wstring& name)
{
    wchar_t volume[MAX_PATH + 1];
    return GetVolumePathNameW(name.c_str(), volume, MAX_PATH + 1) && GetDriveTypeW(volume) == DRIVE_FIXED;
}

class TWinHexFileView : public THexFileView {
public:
    TWinHexFileView(TKernelHandle mapping, TMappedView view, size_t skip)
        : mapping_(std::move(mapping)), view_(std::move(view)), skip_(skip)
    {}
    const uint8_t* Data() const override { return static_cast<const uint8_t*>(view_.Get()) + skip_; }

private:
    TKernelHandle mapping_;
    TMappedView view_;
    size_t skip_;
};

}  // namespace

TWinHexFile::TWinHexFile(std::wstring name, bool writable) : name_(std::move(name)), writable_(writable)
{
    Resume();
    viewable_ = OnFixedDrive(name_);
}

void TWinHexFile::Resume()
{
    if (handle_)
        return;
    handle_.Reset(CreateFileW(name_.c_str(), GENERIC_READ | (writable_ ? GENERIC_WRITE : 0), kShareAll, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle_) {
        const DWORD error = GetLastError();
        EFOpenError failure(L"Die Datei \"" + name_ + L"\" kann nicht geöffnet werden.");
        SetLastError(error);
        throw failure;
    }
}

namespace {

int64_t FileSizeOf(HANDLE handle)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size))
        throw EReadError(L"Die Dateigröße kann nicht gelesen werden.");
    return size.QuadPart;
}

}  // namespace

int64_t TWinHexFile::Size()
{
    return FileSizeOf(handle_.Get());
}

void TWinHexFile::Read(int64_t offset, void* buffer, size_t count)
{
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (count) {
        const auto chunk = static_cast<DWORD>(std::min(count, kMaxChunk));
        OVERLAPPED at = At(offset);
        DWORD done = 0;
        if (!ReadFile(handle_.Get(), bytes, chunk, &done, &at) || done != chunk)
            throw EReadError(L"Lesefehler in \"" + name_ + L"\".");
        bytes += done;
        offset += done;
        count -= done;
    }
}

void TWinHexFile::Write(int64_t offset, const void* buffer, size_t count)
{
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    while (count) {
        const auto chunk = static_cast<DWORD>(std::min(count, kMaxChunk));
        OVERLAPPED at = At(offset);
        DWORD done = 0;
        if (!WriteFile(handle_.Get(), bytes, chunk, &done, &at) || done != chunk)
            throw EWriteError(L"Schreibfehler in \"" + name_ + L"\".");
        bytes += done;
        offset += done;
        count -= done;
    }
}

std::unique_ptr<THexFileView> TWinHexFile::View(int64_t offset, size_t count)
{
    if (!viewable_ || !handle_ || offset < 0 || !count)
        return nullptr;
    // Views start on the system's allocation granularity.
    static const DWORD granularity = [] {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return info.dwAllocationGranularity;
    }();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_.Get(), &size) || static_cast<uint64_t>(offset) > static_cast<uint64_t>(size.QuadPart) ||
        count > static_cast<uint64_t>(size.QuadPart - offset))
        return nullptr;
    const uint64_t base = static_cast<uint64_t>(offset) / granularity * granularity;
    const auto skip = static_cast<size_t>(static_cast<uint64_t>(offset) - base);
    // The mapping covers the file as it is now; the view closes it with itself.
    TKernelHandle mapping(CreateFileMappingW(handle_.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) {
        TraceIgnoredFailure(L"CreateFileMappingW for the search, reading instead", GetLastError());
        return nullptr;
    }
    TMappedView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, static_cast<DWORD>(base >> 32),
                                   static_cast<DWORD>(base), skip + count));
    if (!view) {
        TraceIgnoredFailure(L"MapViewOfFile for the search, reading instead", GetLastError());
        return nullptr;
    }
    return std::make_unique<TWinHexFileView>(std::move(mapping), std::move(view), skip);
}

void TWinHexFile::Resize(int64_t size)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (!SetFileInformationByHandle(handle_.Get(), FileEndOfFileInfo, &end, sizeof end))
        throw EWriteError(L"Die Größe von \"" + name_ + L"\" kann nicht geändert werden.");
}

TWinHexCodePages::TWinHexCodePages()
{
    const UINT ansi = SystemAnsiEncoding().CodePage();
    const UINT oem = SystemOemEncoding().CodePage();
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t wide = 0;
        if (MultiByteToWideChar(ansi, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) == 1)
            ansi_[b] = static_cast<char16_t>(wide);
        wide = 0;
        if (MultiByteToWideChar(oem, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) == 1)
            oem_[b] = static_cast<char16_t>(wide);
    }
}

char16_t TWinHexCodePages::ToWide(THexCodePage page, uint8_t byte) const
{
    return page == THexCodePage::Ansi ? ansi_[byte] : oem_[byte];
}

std::optional<uint8_t> TWinHexCodePages::FromWide(THexCodePage page, char16_t c) const
{
    const wchar_t wide = static_cast<wchar_t>(c);
    char byte = 0;
    BOOL usedDefault = FALSE;
    const UINT codePage = (page == THexCodePage::Ansi ? SystemAnsiEncoding() : SystemOemEncoding()).CodePage();
    if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &wide, 1, &byte, 1, nullptr, &usedDefault) != 1 ||
        usedDefault)
        return std::nullopt;
    // Some code pages map a character without a default; check the way back.
    const auto result = static_cast<uint8_t>(byte);
    if (ToWide(page, result) != c)
        return std::nullopt;
    return result;
}

char16_t TWinHexCodePages::Lower(char16_t c) const
{
    wchar_t wide = static_cast<wchar_t>(c);
    CharLowerBuffW(&wide, 1);
    return static_cast<char16_t>(wide);
}

std::wstring ClaimTempFile(const std::wstring& folder, const std::wstring& prefix, const std::wstring& extension)
{
    DWORD number = GetTickCount();
    for (int attempt = 0; attempt < 10000; ++attempt, ++number) {
        wchar_t digits[9];
        std::swprintf(digits, 9, L"%08X", static_cast<unsigned>(number));
        const std::wstring name = folder + prefix + digits + extension;
        TFileHandle file(
            CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return name;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) {
            EFCreateError failure(L"Die temporäre Datei \"" + name + L"\" kann nicht angelegt werden.");
            SetLastError(error);
            throw failure;
        }
    }
    throw EFCreateError(L"Im Ordner \"" + folder + L"\" kann keine temporäre Datei angelegt werden.");
}

}  // namespace qrv
