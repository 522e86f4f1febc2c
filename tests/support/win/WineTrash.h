#pragma once
// Wine's recycle bin is the XDG trash below XDG_DATA_HOME, which ctest sets
// to a folder of the build for every Windows test.

#include <windows.h>

#include <cstdlib>
#include <string>

namespace qrv::test {

// The Windows name of the trash's "files" folder, or empty when not under
// Wine with XDG_DATA_HOME set.
inline std::wstring WineTrashFiles()
{
    const char* unixPath = std::getenv("XDG_DATA_HOME");
    using TDosName = wchar_t*(CDECL*)(const char*);
    const auto dosName = reinterpret_cast<TDosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!unixPath || !*unixPath || !dosName)
        return std::wstring();
    wchar_t* name = dosName(unixPath);
    if (!name)
        return std::wstring();
    const std::wstring data(name);
    HeapFree(GetProcessHeap(), 0, name);
    return data + L"\\Trash\\files";
}

}  // namespace qrv::test
