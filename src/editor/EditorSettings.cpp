#include "editor/EditorSettings.h"

#include "framework/FilePath.h"

#include <filesystem>

namespace qrv {

namespace {

struct TLocation {
    std::wstring FileName;
    std::wstring Key = std::wstring(kEasyRegistryBaseKey) + L"Settings";
    bool UseRegistry = false;
    TEasyRegistryStore* Store = nullptr;

    TLocation()
    {
        std::error_code error;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
        FileName = FromFsPath((error ? std::filesystem::path() : temp) / "EasySettings.txt");
    }
};

TLocation& TheLocation()
{
    static TLocation location;
    return location;
}

}  // namespace

const std::wstring& SettingsFileName()
{
    return TheLocation().FileName;
}
void SetSettingsFileName(const std::wstring& fileName)
{
    TheLocation().FileName = fileName;
}
const std::wstring& SettingsKey()
{
    return TheLocation().Key;
}
void SetSettingsKey(const std::wstring& key)
{
    TheLocation().Key = key;
}
bool SettingsUseRegistry()
{
    return TheLocation().UseRegistry;
}
void SetSettingsUseRegistry(bool useRegistry)
{
    TheLocation().UseRegistry = useRegistry;
}
TEasyRegistryStore* SettingsRegistryStore()
{
    return TheLocation().Store;
}
void SetSettingsRegistryStore(TEasyRegistryStore* store)
{
    TheLocation().Store = store;
}

}  // namespace qrv
