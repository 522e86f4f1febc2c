#include "common/win/BaseUtilsWin.h"

#include "framework/SysUtils.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/Menus.h"

#include <memory>

namespace qrv {

namespace {

// A search's first hit; false when nothing is found.
bool FindFirst(const std::wstring& path, WIN32_FIND_DATAW& data)
{
    return TFindHandle(FindFirstFileW(path.c_str(), &data)).Valid();
}

}  // namespace

// ---- Numbers and texts ------------------------------------------------------

std::wstring LocaleThousandSeparator()
{
    wchar_t buffer[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, buffer, 8) <= 0)
        return L".";
    return buffer;
}

std::wstring FormatThousands(int32_t N)
{
    return FormatThousands(static_cast<int64_t>(N), LocaleThousandSeparator());
}

std::wstring FormatThousandsU(uint32_t N)
{
    return FormatThousandsU(static_cast<uint64_t>(N), LocaleThousandSeparator());
}

std::wstring FormatSizeText(int64_t Size, bool Abbreviate)
{
    return FormatSizeText(Size, Abbreviate, LocaleThousandSeparator());
}

std::wstring Win32ErrorText(DWORD Code)
{
    if (Code == 0)
        return {};
    constexpr DWORD kFlags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    constexpr size_t kMaxLength = 1024;
    // The user's language first; 0 lets the system fall back to any it has.
    for (const DWORD language : {DWORD(LANG_USER_DEFAULT), DWORD(0)}) {
        wchar_t* buffer = nullptr;
        const DWORD length =
            FormatMessageW(kFlags, nullptr, Code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        const TLocalMemory owner(buffer);
        if (length > 0)
            return std::wstring(buffer, std::min<size_t>(length, kMaxLength));
    }
    return L"Win32-Fehlernummer: " + std::to_wstring(Code);
}

std::string OemToAnsiStr(std::string_view S)
{
    if (SystemOemEncoding().CodePage() == SystemAnsiEncoding().CodePage())
        return std::string(S);
    return SystemAnsiEncoding().GetBytes(SystemOemEncoding().GetString(S));
}

std::string AnsiToOemStr(std::string_view S)
{
    if (SystemOemEncoding().CodePage() == SystemAnsiEncoding().CodePage())
        return std::string(S);
    return SystemOemEncoding().GetBytes(SystemAnsiEncoding().GetString(S));
}

std::wstring OemToWideStr(std::string_view S)
{
    return SystemOemEncoding().GetString(S);
}

std::string WideToOemStr(std::wstring_view S)
{
    return SystemOemEncoding().GetBytes(S);
}

// ---- Files and folders ------------------------------------------------------

std::wstring FullPathName(const std::wstring& Path)
{
    if (Path.empty())
        return {};
    const DWORD size = GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(Path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return {};
    full.resize(length);
    return full;
}

std::wstring FullFolderPath(const std::wstring& Path)
{
    const bool driveOnly = Path.size() == 2 && Path[1] == L':';
    const std::wstring full = FullPathName(driveOnly ? Path + L'\\' : Path);
    return full.empty() ? Path : full;
}

bool CanOpenFile(const std::wstring& FileName)
{
    return TFileHandle(CreateFileW(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
        .Valid();
}

std::wstring FindOnSearchPath(const std::wstring& FileName)
{
    const std::wstring name = ExtractFileName(FileName);
    if (name.empty())
        return {};
    std::wstring found(MAX_PATH, L'\0');
    DWORD length = SearchPathW(nullptr, name.c_str(), nullptr, MAX_PATH, found.data(), nullptr);
    if (length >= MAX_PATH) {  // longer than the buffer: length is the size needed
        found.resize(length);
        length = SearchPathW(nullptr, name.c_str(), nullptr, length, found.data(), nullptr);
    }
    found.resize(length < found.size() ? length : 0);
    return found;
}

uint64_t GetFileSizeByName(const std::wstring& FileName)
{
    WIN32_FIND_DATAW data;
    if (!FindFirst(FileName, data))
        return 0;
    return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

void GetSearchRec(const std::wstring& Path, WIN32_FIND_DATAW& Rec)
{
    Rec = WIN32_FIND_DATAW{};
    if (!FindFirst(Path, Rec)) {
        Rec = WIN32_FIND_DATAW{};
        throw Exception(L"Dateiinformationen zu \"" + Path + L"\" nicht gefunden");
    }
}

// ---- Shell ----------------------------------------------------------------

int GetSysIconIndex(const std::wstring& Path, DWORD Attr, UINT Flags)
{
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(Path.c_str(), Attr, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | Flags))
        return -1;
    return info.iIcon;
}

DWORD_PTR SafeGetFileInfo(const std::wstring& Path, DWORD Attr, UINT Flags, SHFILEINFOW& Info)
{
    const DWORD_PTR result = SHGetFileInfoW(Path.c_str(), Attr, &Info, sizeof Info, Flags);
    if (!result) {
        Info.hIcon = nullptr;
        Info.iIcon = 0;
        Info.dwAttributes = 0;
        Info.szDisplayName[0] = L'\0';
        Info.szTypeName[0] = L'\0';
    }
    return result;
}

std::wstring GetSpecialFolderPath(int CSIDL)
{
    const HWND owner = Application ? Application->ActiveWindowHandle() : nullptr;
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL, &pidl)) || !pidl)
        return {};
    const TTaskMemory owned(pidl);
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(pidl, path))
        return {};
    return path;
}

// ---- Disk space -----------------------------------------------------------

bool InternalGetDiskSpace(int Drive, int64_t& Total, int64_t& Free)
{
    std::wstring root;
    if (Drive > 0) {
        if (Drive > 26)
            return false;
        root = {static_cast<wchar_t>(L'A' + Drive - 1), L':', L'\\'};
    }
    ULARGE_INTEGER available, total, totalFree;
    if (!GetDiskFreeSpaceExW(root.empty() ? nullptr : root.c_str(), &available, &total, &totalFree))
        return false;
    Total = static_cast<int64_t>(total.QuadPart);
    Free = static_cast<int64_t>(available.QuadPart);
    return true;
}

int64_t GetDiskFreeBytes(int Drive)
{
    int64_t total, free;
    return InternalGetDiskSpace(Drive, total, free) ? free : -1;
}

bool GetDiskSpace(int Drive, int64_t& Total, int64_t& Free)
{
    Total = -1;
    Free = -1;
    return InternalGetDiskSpace(Drive, Total, Free);
}

// ---- Dates ----------------------------------------------------------------

bool DosDateTimeToFileTime(uint32_t Packed, FILETIME& FileTime)
{
    uint64_t value;
    const bool valid = DosDateTimeToFileTime(Packed, value);
    FileTime.dwLowDateTime = static_cast<DWORD>(value);
    FileTime.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return valid;
}

// ---- Windows and menus ------------------------------------------------------

void FitBoundsToScreen(TBounds& Bounds)
{
    FitBoundsToScreen(Bounds, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void CenterFormOverControl(TControl& Control, TForm& Form)
{
    // Left and Top of a child control are relative to its parent; the form's
    // are screen coordinates, so the control's place on the screen counts.
    RECT rect = Control.BoundsRect();
    auto* window = dynamic_cast<TWinControl*>(&Control);
    if (window && window->HandleAllocated())
        GetWindowRect(window->Handle(), &rect);
    else if (Control.Parent() && Control.Parent()->HandleAllocated())
        MapWindowPoints(Control.Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const TBounds control{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    TBounds form{Form.Left(), Form.Top(), Form.Width(), Form.Height()};
    CenterBoundsOver(control, form, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    Form.SetBounds(form.Left, form.Top, form.Width, form.Height);
}

std::wstring NextMenuAccel(const TMenuItem& Menu)
{
    int counted = 0;
    for (int i = 0; i < Menu.Count(); ++i) {
        const TMenuItem* item = Menu.Items(i);
        if (item->Tag >= 0 && !item->IsLine())
            ++counted;
    }
    return MenuAccelText(counted);
}

std::wstring ShortenPathToWidth(const std::wstring& Path, HDC DC, int MaxWidth)
{
    return ShortenPathToWidth(
        Path,
        [DC](const std::wstring& text) {
            SIZE size{};
            GetTextExtentPoint32W(DC, text.c_str(), static_cast<int>(text.size()), &size);
            return static_cast<int>(size.cx);
        },
        MaxWidth);
}

}  // namespace qrv
