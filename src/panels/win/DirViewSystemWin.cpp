#include "panels/win/DirViewSystemWin.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/SysUtils.h"
#include "framework/TimingTrace.h"
#include "framework/win/Handles.h"
#include "panels/win/FolderReader.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/ShellValues.h"

namespace qrv {

namespace {

uint64_t Join(DWORD high, DWORD low)
{
    return static_cast<uint64_t>(high) << 32 | low;
}

FILETIME Split(uint64_t value)
{
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

std::wstring VolumeRoot(const std::wstring& Path)
{
    return AddBackslash(Path.substr(0, PathRootLength(Path)));
}

std::wstring RegistryText(HKEY Root, const std::wstring& Key, const wchar_t* Value)
{
    wchar_t buffer[512];
    DWORD size = sizeof buffer;
    if (RegGetValueW(Root, Key.c_str(), Value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

}  // namespace

// ---- Times -----------------------------------------------------------------------

bool FileTimeToLocalSystemTime(uint64_t FileTime, SYSTEMTIME& Local, const TIME_ZONE_INFORMATION* Zone)
{
    const FILETIME utc = Split(FileTime);
    SYSTEMTIME universal;
    return FileTime != 0 && FileTimeToSystemTime(&utc, &universal) &&
           SystemTimeToTzSpecificLocalTime(Zone, &universal, &Local);
}

uint32_t FileTimeToLocalDosDateTime(uint64_t FileTime, const TIME_ZONE_INFORMATION* Zone)
{
    SYSTEMTIME local;
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalSystemTime(FileTime, local, Zone) || local.wYear < 1980 || local.wYear > 2107)
        return 0;
    // Packed by hand: the system's conversion goes through a FILETIME again.
    date = static_cast<WORD>((local.wYear - 1980) << 9 | local.wMonth << 5 | local.wDay);
    time = static_cast<WORD>(local.wHour << 11 | local.wMinute << 5 | local.wSecond / 2);
    return static_cast<uint32_t>(date) << 16 | time;
}

void FindDataToSearchRec(const WIN32_FIND_DATAW& Data, TSearchRec& Rec, const TIME_ZONE_INFORMATION* Zone)
{
    Rec.Name = Data.cFileName;
    Rec.Attr = Data.dwFileAttributes;
    Rec.Size = Join(Data.nFileSizeHigh, Data.nFileSizeLow);
    Rec.LastWrite = Join(Data.ftLastWriteTime.dwHighDateTime, Data.ftLastWriteTime.dwLowDateTime);
    Rec.Time = FileTimeToLocalDosDateTime(Rec.LastWrite, Zone);
}

// ---- The file system ------------------------------------------------------------------

uint32_t TWinDirSystem::ListFolder(const std::wstring& Folder, const TEntryProc& Each)
{
    // A worker searches while this thread takes what it found; the window
    // answers meanwhile.
    TFolderReader reader(Folder + L"\\*.*");
    // The zone once per folder: asking the system for it per entry is slow.
    TIME_ZONE_INFORMATION zone;
    const TIME_ZONE_INFORMATION* known = GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID ? &zone : nullptr;
    TFoundEntries batch;
    TSearchRec rec;
    bool first = true;
    while (reader.Next(batch)) {
        if (first && TimingTraceEnabled())
            TraceTiming(L"list first entry");
        first = false;
        size_t start = 0;
        for (const TFoundEntries::TEntry& entry : batch.Entries) {
            rec.Name.assign(batch.Names, start, entry.NameEnd - start);
            start = entry.NameEnd;
            rec.Attr = entry.Attr;
            rec.Size = entry.Size;
            rec.LastWrite = entry.LastWrite;
            rec.Time = FileTimeToLocalDosDateTime(entry.LastWrite, known);
            if (!Each(rec))
                return 0;
        }
    }
    return reader.Error();
}

bool TWinDirSystem::GetEntry(const std::wstring& Path, TSearchRec& Entry)
{
    TQuietDriveErrors quiet;
    WIN32_FIND_DATAW data;
    // The basic information: no short names.
    TFindHandle find(FindFirstFileExW(Path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find)
        return false;
    FindDataToSearchRec(data, Entry);
    return true;
}

bool TWinDirSystem::DirExists(const std::wstring& Path, uint32_t& Error)
{
    TQuietDriveErrors quiet;
    const DWORD attr = FileAttributes(Path);
    if (attr == INVALID_FILE_ATTRIBUTES) {
        Error = GetLastError();
        return false;
    }
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        Error = ERROR_DIRECTORY;
        return false;
    }
    return true;
}

bool TWinDirSystem::DriveValid(wchar_t Drive)
{
    return DriveType(Drive) > DRIVE_NO_ROOT_DIR;
}

int TWinDirSystem::DriveType(wchar_t Drive)
{
    if (Drive == L'\\')
        return DRIVE_REMOTE;
    const wchar_t root[] = {static_cast<wchar_t>(towupper(Drive)), L':', L'\\', 0};
    return static_cast<int>(GetDriveTypeW(root));
}

bool TWinDirSystem::HasCompressionBits(const std::wstring& Path)
{
    TQuietDriveErrors quiet;
    wchar_t fileSystem[MAX_PATH + 1] = L"";
    return GetVolumeInformationW(VolumeRoot(Path).c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                 MAX_PATH + 1) &&
           SameText(fileSystem, L"NTFS");
}

// ---- The shell ----------------------------------------------------------------------

bool TWinDirSystem::GetInfo(const std::wstring& Path, uint32_t Attr, unsigned Want, bool FromAttributes,
                            TShellFileInfo& Info)
{
    UINT flags = 0;
    if (Want & wiTypeName)
        flags |= SHGFI_TYPENAME;
    if (Want & wiIcon)
        flags |= SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (FromAttributes)
        flags |= SHGFI_USEFILEATTRIBUTES;
    else if (Want & wiShared)
        flags |= SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED;  // not allowed with the attributes alone
    TQuietDriveErrors quiet;
    SHFILEINFOW info{};
    info.dwAttributes = SFGAO_SHARE;
    if (!SafeGetFileInfo(Path, Attr, flags, info))
        return false;
    Info.TypeName = info.szTypeName;
    Info.IconIndex = (Want & wiIcon) ? info.iIcon : -1;
    Info.Shared = (flags & SHGFI_ATTRIBUTES) && (info.dwAttributes & SFGAO_SHARE);
    return true;
}

int TWinDirSystem::SmallImageCount()
{
    // The system list grows as the shell meets new icons, so it is counted each time.
    static const HIMAGELIST list = [] {
        SHFILEINFOW info{};
        return reinterpret_cast<HIMAGELIST>(SafeGetFileInfo(
            L"C:\\", FILE_ATTRIBUTE_DIRECTORY, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES, info));
    }();
    return list ? ImageList_GetImageCount(list) : 0;
}

const TShellIcons& TWinDirSystem::Icons()
{
    static const TShellIcons icons = [] {
        const TShellValues& values = ShellValues();
        TShellIcons result;
        result.DefaultFileIcon = values.DefaultFileIconIndex;
        result.ExeIcon = values.ExeIconIndex;
        result.FolderIcon = values.FolderIconIndex;
        result.OpenFolderIcon = values.OpenFolderIconIndex;
        result.FolderTypeName = values.FolderTypeName;
        result.ComCtlNew = values.ComCtlNew;
        return result;
    }();
    return icons;
}

const TStringList& TWinDirSystem::NotCachedExts()
{
    static TStringList list;
    static const bool built = (MakeNotCachedExts(list, ProbeDefaultIcon), true);
    (void)built;
    return list;
}

TWinDirSystem& WinDirSystem()
{
    static TWinDirSystem system;
    return system;
}

const TDirViewTexts& DirViewTexts()
{
    static const TDirViewTexts& texts = DirViewTextsFor(PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())));
    return texts;
}

bool ProbeDefaultIcon(const std::wstring& Ext)
{
    std::wstring type = RegistryText(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" + Ext, L"ProgID");
    if (type.empty())
        type = RegistryText(HKEY_CLASSES_ROOT, Ext, nullptr);
    return !type.empty() && RegistryText(HKEY_CLASSES_ROOT, type + L"\\DefaultIcon", nullptr) == L"%1";
}

}  // namespace qrv
