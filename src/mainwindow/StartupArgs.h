#pragma once
// What the command line and the stored start directories decide at start:
// the settings file, whether a file named on the command line is displayed,
// the start folders of both file lists and the file to focus. Portable; the
// file system is asked through the callbacks of TFileSystemFacts.

#include <functional>
#include <string>
#include <vector>

namespace qrv {

struct TCommandLine {
    std::wstring IniFileName;
    // The folder a leading "/I=" named instead of a file ("" otherwise).
    std::wstring IniFolderGiven;
    bool ShowFileOnStart = true;
    // The arguments after a leading "/I=file" and a leading "/N".
    std::vector<std::wstring> Remaining;
};

// "/I=" + an existing file as the first argument names the settings file;
// otherwise it is programDir + "Quorvan32.ini". A first argument "/I=..."
// is never a start folder, usable or not; one naming a folder is kept in
// IniFolderGiven. "/N" anywhere suppresses the display of a file given on
// the command line.
TCommandLine EvaluateCommandLine(const std::vector<std::wstring>& args, const std::wstring& programDir,
                                 const std::function<bool(const std::wstring&)>& fileExists,
                                 const std::function<bool(const std::wstring&)>& directoryExists);

// The message when the settings file cannot be used: it does not exist, or
// "/I=" named a folder (Folder not empty); DefaultIniExists tells whether
// the program folder's file is used instead of the defaults.
std::wstring IniFileMessage(const std::wstring& IniFileName, const std::wstring& Folder, bool DefaultIniExists);

// Drive types as the system reports them.
enum TDriveTypeCode {
    dtUnknown = 0,
    dtNoRoot = 1,
    dtRemovable = 2,
    dtFixed = 3,
    dtRemote = 4,
    dtCDROM = 5,
    dtRamDisk = 6
};

struct TFileSystemFacts {
    std::function<bool(const std::wstring&)> FileExists;
    std::function<bool(const std::wstring&)> DirectoryExists;
    // The type of the drive of a letter ('\\' stands for the network).
    std::function<int(wchar_t letter)> DriveType;
    // The first fixed drive; a blank when there is none.
    wchar_t DefaultDrive = L'C';
    // The full form of a path named on the command line: "." and ".."
    // resolved, "/" as "\\"; the path unchanged when unset or when it has none.
    std::function<std::wstring(const std::wstring&)> FullPath;
};

struct TStartPaths {
    std::wstring Dir1;
    std::wstring Dir2;
    // A file named on the command line, to be focused (and shown) at start.
    std::wstring StartFileName;
};

// "X:\..." or "\\server...".
bool IsDriveOrNetworkPath(const std::wstring& path);
// A stored start directory, when it is a drive or network path on a drive
// from the first fixed one up to the network and that drive is neither
// removable nor a CD; otherwise the root of the first fixed drive.
std::wstring StartDirFromSetting(const std::wstring& setting, const TFileSystemFacts& facts);
TStartPaths ComputeStartPaths(const TCommandLine& commandLine, const std::wstring& storedStartDir,
                              const std::wstring& storedStartDir2, const TFileSystemFacts& facts);

// The name of the list file for user commands: dir + "QRV32.TMP", or
// "QRV32(n).TMP" for the first n = 1, 2, ... that tryReserve accepts.
// tryReserve creates the file exclusively and says whether that worked;
// returns an empty name when no name could be reserved.
std::wstring ReserveNumberedName(const std::wstring& dir, const std::wstring& base, const std::wstring& ext,
                                 const std::function<bool(const std::wstring&)>& tryReserve, int maxTries = 1000);

}  // namespace qrv
