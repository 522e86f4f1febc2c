#include "archives/win/KyACE2Win.h"

#include "archives/win/ZipLibWin.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

namespace qrv {

namespace {

template <typename F>
void Bind(void* library, const char* name, F& target)
{
    target = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)));
}

}  // namespace

TAcePlatform SystemAcePlatform()
{
    TAcePlatform platform;
    auto module = std::make_shared<void*>(nullptr);
    platform.LoadUnAce = [module](TUnAceFunctions& f) {
        void* library = SystemLibraryApi().Load(L"UnAceV2.Dll");
        if (!library)
            return false;
        Bind(library, "ACEInitDll", f.InitDll);
        Bind(library, "ACEReadArchiveData", f.ReadArchiveData);
        Bind(library, "ACEList", f.List);
        Bind(library, "ACETest", f.Test);
        Bind(library, "ACEExtract", f.Extract);
        *module = library;
        return true;
    };
    platform.FreeUnAce = [module] {
        if (*module)
            ::FreeLibrary(static_cast<HMODULE>(*module));
        *module = nullptr;
    };
    platform.FileExists = [](const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    platform.FileCreated = [](const std::wstring& path) {
        SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, path.c_str(), nullptr);
    };
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    platform.TempPath = length > 0 && length <= MAX_PATH ? std::wstring(temp, length) : std::wstring();
    return platform;
}

}  // namespace qrv
