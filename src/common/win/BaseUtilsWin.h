#pragma once
// The helpers of common/BaseUtils.h that need the system: locale separators,
// error texts, code pages, file searches, disk space, shell file
// information, special folders and the screen. The file queries and the
// temporary files have headers of their own (included here).

#include "common/BaseUtils.h"
#include "common/win/FileQueries.h"
#include "common/win/TempFiles.h"
#include "framework/win/WinApi.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

class TControl;
class TForm;
class TMenuItem;

// ---- Numbers and texts ------------------------------------------------------

// The user's thousands separator.
std::wstring LocaleThousandSeparator();
// As the portable forms, with the user's thousands separator.
std::wstring FormatThousands(int32_t N);
std::wstring FormatThousandsU(uint32_t N);
std::wstring FormatSizeText(int64_t Size, bool Abbreviate);

// The system's text for an error code as it gives it (line break included),
// at most 1,024 characters; empty for 0; "Win32-Fehlernummer: <code>" when
// the system has none.
std::wstring Win32ErrorText(DWORD Code);

// Byte buffers between the OEM and the ANSI code page, same length.
std::string OemToAnsiStr(std::string_view S);
std::string AnsiToOemStr(std::string_view S);
// OEM bytes and UTF-16, for names (no detour through the ANSI code page).
std::wstring OemToWideStr(std::string_view S);
std::string WideToOemStr(std::wstring_view S);

// ---- Files and folders ------------------------------------------------------

// The full form of a path (relative to the current folder, "." and ".."
// resolved, "/" as "\\"); empty when the system cannot form it.
std::wstring FullPathName(const std::wstring& Path);
// The full form of a folder's path ("C:" is the drive's root, not the drive's
// current folder); the path itself when the system cannot form it.
std::wstring FullFolderPath(const std::wstring& Path);
// The file can be opened for reading while others read and write it.
bool CanOpenFile(const std::wstring& FileName);
// The full name the system's search order finds for the file's name
// (directory ignored); empty when not found.
std::wstring FindOnSearchPath(const std::wstring& FileName);
// Size of the first entry a search for FileName finds; 0 when none.
uint64_t GetFileSizeByName(const std::wstring& FileName);
// The first entry a search for Path finds; throws Exception
// "Dateiinformationen zu "<Path>" nicht gefunden" when there is none.
void GetSearchRec(const std::wstring& Path, WIN32_FIND_DATAW& Rec);

// ---- Shell ----------------------------------------------------------------

// The system image list index for a path of the given attributes, decided by
// the attributes alone (no disk access), plus the SHGFI_ Flags; -1 on failure.
int GetSysIconIndex(const std::wstring& Path, DWORD Attr, UINT Flags);
// SHGetFileInfoW; on failure Info's icon, index, attributes and names are
// cleared. Returns what the call returned.
DWORD_PTR SafeGetFileInfo(const std::wstring& Path, DWORD Attr, UINT Flags, SHFILEINFOW& Info);
// The file-system path of a CSIDL_ special folder; empty when it has none.
std::wstring GetSpecialFolderPath(int CSIDL);

// ---- Disk space (Drive: 0 current drive, 1 A:, 2 B:, ...) --------------------------

// Free is the space available to the calling user.
[[nodiscard]] bool InternalGetDiskSpace(int Drive, int64_t& Total, int64_t& Free);
// Free bytes, -1 when the query fails.
int64_t GetDiskFreeBytes(int Drive);
// Total and Free are -1 when the query fails.
[[nodiscard]] bool GetDiskSpace(int Drive, int64_t& Total, int64_t& Free);

// ---- Dates ----------------------------------------------------------------

// False (and a zero FileTime) for an invalid date or time half.
[[nodiscard]] bool DosDateTimeToFileTime(uint32_t Packed, FILETIME& FileTime);

// ---- Windows and menus ------------------------------------------------------

void FitBoundsToScreen(TBounds& Bounds);
// Centres Form over Control's window (its screen rectangle), on the screen.
void CenterFormOverControl(TControl& Control, TForm& Form);
// The accelerator prefix for the next generated item of Menu: its items
// with a Tag of 0 or more that are not separator lines are counted.
std::wstring NextMenuAccel(const TMenuItem& Menu);
// ShortenPathToWidth measured with the font selected into DC.
std::wstring ShortenPathToWidth(const std::wstring& Path, HDC DC, int MaxWidth);

}  // namespace qrv
