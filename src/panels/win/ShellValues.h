#pragma once
// Values of the system that the directory list and the folder tree use
// everywhere: the system folders, the icons and type name the shell gives
// unknown files, programs and folders, and the versions of the common
// controls and of the shell. Worked out once, on first use.

#include <cstdint>
#include <string>

namespace qrv {

struct TShellValues {
    // Each with a trailing backslash.
    std::wstring WindowsDir;
    std::wstring SystemDir;
    std::wstring TempDir;
    // System icon indices (-1 when the shell gives none).
    int DefaultFileIconIndex = -1;  // a file of an unknown type
    int ExeIconIndex = -1;          // a ".COM" program
    int FolderIconIndex = -1;
    int OpenFolderIconIndex = -1;
    // The shell's type name of a folder, at most 80 characters.
    std::wstring FolderTypeName;
    // The high 32 bits of the file versions of COMCTL32.DLL and SHELL32.DLL
    // (major in the high, minor in the low 16 bits); 0 when unreadable.
    uint32_t ComCtlVersion = 0;
    uint32_t Shell32Version = 0;
    // COMCTL32.DLL is newer than 4.69. Whether a list is themed depends on
    // the version that made its window, not on this file (see KyListView.h).
    bool ComCtlNew = false;
};

const TShellValues& ShellValues();

}  // namespace qrv
