#include "archives/win/KyRarArcWin.h"

#include "archives/win/ZipLibWin.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

namespace qrv {

namespace {

constexpr const wchar_t* kUnrarName = L"UnRAR.dll";

template <typename F>
void Bind(void* library, const char* name, F& target)
{
    target = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)));
}

}  // namespace

TRarPlatform SystemRarPlatform()
{
    TRarPlatform platform;
    // The module is shared by the two functions that load and free it.
    auto module = std::make_shared<void*>(nullptr);
    platform.LoadUnrar = [module](const std::wstring& dllDirectory, TUnrarFunctions& f) {
        const TLibraryApi api = SystemLibraryApi();
        const std::wstring full = dllDirectory + kUnrarName;
        void* library = api.Load(!dllDirectory.empty() && api.FileExists(full) ? full : std::wstring(kUnrarName));
        if (!library)
            return false;
        Bind(library, "RAROpenArchive", f.OpenArchive);
        Bind(library, "RARCloseArchive", f.CloseArchive);
        Bind(library, "RARReadHeader", f.ReadHeader);
        Bind(library, "RARProcessFile", f.ProcessFile);
        Bind(library, "RARSetChangeVolProc", f.SetChangeVolProc);
        Bind(library, "RARSetProcessDataProc", f.SetProcessDataProc);
        Bind(library, "RARSetPassword", f.SetPassword);
        *module = library;
        return true;
    };
    platform.FreeUnrar = [module] {
        if (*module)
            ::FreeLibrary(static_cast<HMODULE>(*module));
        *module = nullptr;
    };
    platform.OemToText = [](std::string_view bytes) {
        if (bytes.empty())
            return std::wstring();
        const int count = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring text(static_cast<size_t>(count), L'\0');
        MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), count);
        return text;
    };
    platform.FileCreated = [](const std::wstring& path) {
        SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, path.c_str(), nullptr);
    };
    return platform;
}

}  // namespace qrv
