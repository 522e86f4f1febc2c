#pragma once
// The name of a new folder or file, shared by the main window's commands and
// the folder dialogs. Portable.

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

// A free name for a new folder or file in Folder: "Neues Verzeichnis" or
// "Neue Datei", then " (1)", " (2)" ...; on a drive whose names are shorter
// (MaxNameLength below 22 for folders, below 15 for files) "NEU", "NEU(1)"
// .... Empty when every candidate up to a sane limit is taken.
std::wstring NewItemName(const std::wstring& Folder, bool Directory, uint32_t MaxNameLength,
                         const std::function<bool(const std::wstring& FullPath)>& Exists);

}  // namespace qrv
