#include "archives/win/ArchivePlatforms.h"

#include "common/BaseUtils.h"
#include "common/win/FileQueries.h"
#include "common/win/Library.h"
#include "common/win/ShellNotify.h"
#include "common/win/TempFiles.h"
#include "framework/win/AnsiEncoding.h"

#include <memory>

namespace qrv {

namespace {

constexpr const wchar_t* kUnrarName = L"UnRAR.dll";
constexpr const wchar_t* kUnAceName = L"UnAceV2.Dll";

void AnnounceCreated(const std::wstring& path)
{
    NotifyShell(TShellChange::FileCreated, path, TShellNoticeWait::FlushNoWait);
}

}  // namespace

TLibraryApi SystemLibraryApi()
{
    TLibraryApi api;
    api.Load = [](const std::wstring& path) -> void* { return LoadLibraryQuietly(path).Release(); };
    api.Lookup = [](void* library, const char* name) {
        return ProcAddress<void*>(static_cast<HMODULE>(library), name);
    };
    // The loader hands back what Load gave it; the guard frees it.
    api.Free = [](void* library) { TModuleHandle(static_cast<HMODULE>(library)).Reset(); };
    api.FileExists = [](const std::wstring& path) { return FileExists(path); };
    api.ModulePath = [](void* library) { return ModuleFileName(static_cast<HMODULE>(library)); };
    api.ProgramFolder = ExtractFilePath(ModuleFileName(nullptr));
    return api;
}

TRarPlatform SystemRarPlatform()
{
    TRarPlatform platform;
    // The module is shared by the two functions that load and free it.
    auto module = std::make_shared<TModuleHandle>();
    platform.LoadUnrar = [module](const std::wstring& dllDirectory, TUnrarFunctions& f) {
        const std::wstring full = dllDirectory + kUnrarName;
        TModuleHandle library =
            LoadLibraryQuietly(!dllDirectory.empty() && FileExists(full) ? full : std::wstring(kUnrarName));
        if (!library)
            return false;
        const HMODULE h = library.Get();
        Bind(h, "RAROpenArchive", f.OpenArchive);
        Bind(h, "RARCloseArchive", f.CloseArchive);
        Bind(h, "RARReadHeader", f.ReadHeader);
        Bind(h, "RARProcessFile", f.ProcessFile);
        Bind(h, "RARSetChangeVolProc", f.SetChangeVolProc);
        Bind(h, "RARSetProcessDataProc", f.SetProcessDataProc);
        Bind(h, "RARSetPassword", f.SetPassword);
        *module = std::move(library);
        return true;
    };
    platform.FreeUnrar = [module] { module->Reset(); };
    platform.OemToText = [](std::string_view bytes) { return SystemOemEncoding().GetString(bytes); };
    platform.FileCreated = AnnounceCreated;
    return platform;
}

TAcePlatform SystemAcePlatform()
{
    TAcePlatform platform;
    auto module = std::make_shared<TModuleHandle>();
    platform.LoadUnAce = [module](TUnAceFunctions& f) {
        TModuleHandle library = LoadLibraryQuietly(kUnAceName);
        if (!library)
            return false;
        const HMODULE h = library.Get();
        Bind(h, "ACEInitDll", f.InitDll);
        Bind(h, "ACEReadArchiveData", f.ReadArchiveData);
        Bind(h, "ACEList", f.List);
        Bind(h, "ACETest", f.Test);
        Bind(h, "ACEExtract", f.Extract);
        *module = std::move(library);
        return true;
    };
    platform.FreeUnAce = [module] { module->Reset(); };
    platform.FileExists = [](const std::wstring& path) { return FileExists(path); };
    platform.FileCreated = AnnounceCreated;
    platform.TempPath = TemporaryFolder();
    return platform;
}

}  // namespace qrv
