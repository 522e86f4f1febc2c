#pragma once
// The directory list's file system and shell on Win32 (the interfaces of
// panels/DirViewSystem.h), its built-in texts by the user's language, and
// the time conversions its columns and filters use.

#include "framework/StringList.h"
#include "framework/win/WinApi.h"
#include "panels/DirViewSystem.h"
#include "panels/DirViewTexts.h"

#include <cstdint>
#include <string>

namespace qrv {

class TWinDirSystem : public TDirFileSystem, public TDirShellInfo {
public:
    uint32_t ListFolder(const std::wstring& Folder, const TEntryProc& Each) override;
    bool GetEntry(const std::wstring& Path, TSearchRec& Entry) override;
    bool DirExists(const std::wstring& Path, uint32_t& Error) override;
    bool DriveValid(wchar_t Drive) override;
    int DriveType(wchar_t Drive) override;
    bool HasCompressionBits(const std::wstring& Path) override;

    bool GetInfo(const std::wstring& Path, uint32_t Attr, unsigned Want, bool FromAttributes,
                 TShellFileInfo& Info) override;
    int SmallImageCount() override;
    const TShellIcons& Icons() override;
    const TStringList& NotCachedExts() override;
};

// The one instance the lists share; it keeps no state of a list.
TWinDirSystem& WinDirSystem();

// The texts by the user's primary language, chosen once.
const TDirViewTexts& DirViewTexts();

// The registered default icon of the extension (".BMP") is "%1": each file
// shows its own icon.
bool ProbeDefaultIcon(const std::wstring& Ext);

// A UTC file time as local time at that date (in Zone, or the system's
// current zone); false when it has none.
bool FileTimeToLocalSystemTime(uint64_t FileTime, SYSTEMTIME& Local, const TIME_ZONE_INFORMATION* Zone = nullptr);
// The packed DOS date-time (local) of a UTC file time; 0 outside 1980..2107.
uint32_t FileTimeToLocalDosDateTime(uint64_t FileTime, const TIME_ZONE_INFORMATION* Zone = nullptr);
// One search result as the lists keep it.
void FindDataToSearchRec(const WIN32_FIND_DATAW& Data, TSearchRec& Rec, const TIME_ZONE_INFORMATION* Zone = nullptr);

}  // namespace qrv
