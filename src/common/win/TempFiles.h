#pragma once
// Temporary files: the system's folder for them, a new unique file in a
// folder or in that one, and a stream over a temporary file the system
// deletes when the stream closes (for data too large to keep in memory).
// Nothing else calls GetTempPathW or GetTempFileNameW (scripts/lint).

#include "framework/Streams.h"

#include <memory>
#include <string>

namespace qrv {

// The system's folder for temporary files, with a trailing backslash
// (empty when the system names none).
std::wstring TemporaryFolder();
// Creates an empty file of a new name in Folder ("<Prefix><hex>.tmp", the
// prefix at most three characters) and returns its full name; empty when no
// file can be created there.
std::wstring CreateTemporaryFile(const std::wstring& Folder, const wchar_t* Prefix);
// A new empty file in the temporary folder (the caller deletes it); empty
// when none could be made.
std::wstring NewTemporaryFileName(const wchar_t* Prefix);
// A read-write stream over a new temporary file, gone when the stream is
// freed; throws EFCreateError when the file cannot be made.
std::unique_ptr<TStream> NewTemporaryFileStream(const wchar_t* Prefix = L"qrv");

}  // namespace qrv
