#include "common/win/Library.h"

#include <mutex>

namespace qrv {

TModuleHandle LoadLibraryQuietly(const std::wstring& Path)
{
    // Once per process: the current folder leaves the search order, so a bare
    // name cannot pick up a planted library from there.
    static std::once_flag noCurrentFolder;
    std::call_once(noCurrentFolder, [] { SetDllDirectoryW(L""); });
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const bool hasFolder = Path.find_first_of(L"\\/") != std::wstring::npos;
    TModuleHandle module(hasFolder ? LoadLibraryExW(Path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                                   : LoadLibraryExW(Path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
    SetErrorMode(oldMode);
    return module;
}

TModuleHandle LoadSystemLibrary(const wchar_t* Name)
{
    return TModuleHandle(LoadLibraryExW(Name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

std::wstring ModuleFileName(HMODULE Module)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(Module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace qrv
