#pragma once
// Temporary files: the system's folder for them and a new unique file in a
// folder. Nothing else calls GetTempPathW or GetTempFileNameW (scripts/lint).

#include <string>

namespace qrv {

// The system's folder for temporary files, with a trailing backslash
// (empty when the system names none).
std::wstring TemporaryFolder();
// Creates an empty file of a new name in Folder ("<Prefix><hex>.tmp", the
// prefix at most three characters) and returns its full name; empty when no
// file can be created there.
std::wstring CreateTemporaryFile(const std::wstring& Folder, const wchar_t* Prefix);

}  // namespace qrv
