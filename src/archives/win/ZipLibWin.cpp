#include "archives/win/ZipLibWin.h"

#include "common/BaseUtils.h"

#include <windows.h>

#include <mutex>

namespace qrv {

namespace {

std::wstring ModuleFileName(HMODULE module)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void* LoadWithoutBoxes(const std::wstring& path)
{
    // Once per process: the current folder leaves the search order, so a bare
    // name cannot pick up a planted library from there.
    static std::once_flag noCurrentFolder;
    std::call_once(noCurrentFolder, [] { SetDllDirectoryW(L""); });
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const bool hasFolder = path.find_first_of(L"\\/") != std::wstring::npos;
    // A bare name: the program's folder and the system's, never the current
    // folder or the PATH.
    HMODULE module = hasFolder ? LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                               : LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    SetErrorMode(oldMode);
    return module;
}

}  // namespace

TLibraryApi SystemLibraryApi()
{
    TLibraryApi api;
    api.Load = LoadWithoutBoxes;
    api.Lookup = [](void* library, const char* name) -> void* {
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
    };
    api.Free = [](void* library) { ::FreeLibrary(static_cast<HMODULE>(library)); };
    api.FileExists = [](const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    api.ModulePath = [](void* library) { return ModuleFileName(static_cast<HMODULE>(library)); };
    api.ProgramFolder = ExtractFilePath(ModuleFileName(nullptr));
    return api;
}

}  // namespace qrv
