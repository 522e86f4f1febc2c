#include "editor/EditorSettings.h"

#include "framework/FilePath.h"

#include <filesystem>

namespace qrv {

namespace {

struct Location {
    std::wstring fileName;
    std::wstring key = std::wstring(EasyRegistryBaseKey) + L"Settings";
    bool useRegistry = false;

    Location()
    {
        std::error_code error;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
        fileName = FromFsPath((error ? std::filesystem::path() : temp) / "EasySettings.txt");
    }
};

Location& TheLocation()
{
    static Location location;
    return location;
}

}  // namespace

const std::wstring& SettingsFileName() { return TheLocation().fileName; }
void SetSettingsFileName(const std::wstring& fileName) { TheLocation().fileName = fileName; }
const std::wstring& SettingsKey() { return TheLocation().key; }
void SetSettingsKey(const std::wstring& key) { TheLocation().key = key; }
bool SettingsUseRegistry() { return TheLocation().useRegistry; }
void SetSettingsUseRegistry(bool useRegistry) { TheLocation().useRegistry = useRegistry; }

}  // namespace qrv
