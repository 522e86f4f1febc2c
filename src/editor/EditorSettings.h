#pragma once
// Where the editor family keeps its settings: a settings file or a registry
// key below the current user's hive. The host sets these before the first
// settings object reads them. Portable.

#include <string>

namespace qrv {

class TEasyRegistryStore;

// The editor family's own key below HKEY_CURRENT_USER, with a trailing backslash.
inline constexpr const wchar_t* kEasyRegistryBaseKey = L"\\Software\\EasyEdit\\";

// Default: the temporary directory + "EasySettings.txt".
const std::wstring& SettingsFileName();
void SetSettingsFileName(const std::wstring& fileName);
// Default: the family's base key + "Settings".
const std::wstring& SettingsKey();
void SetSettingsKey(const std::wstring& key);
// Default false: the settings file, not the registry.
bool SettingsUseRegistry();
void SetSettingsUseRegistry(bool useRegistry);
// The registry the settings use when SettingsUseRegistry is on (not owned;
// the Windows build sets the system's, tests a fake). Without one the
// registry settings keep their defaults and are not saved.
TEasyRegistryStore* SettingsRegistryStore();
void SetSettingsRegistryStore(TEasyRegistryStore* store);

}  // namespace qrv
