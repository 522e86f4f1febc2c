#pragma once
// Temporary files: a fresh name in the user's temporary folder, and a
// stream over a temporary file the system deletes when the stream closes
// (for data too large to keep in memory).

#include "framework/Streams.h"
#include "framework/win/WinApi.h"

#include <memory>
#include <string>

namespace qrv {

// A new empty file in the temporary folder (the caller deletes it); empty
// when none could be made.
std::wstring NewTemporaryFileName(const wchar_t* Prefix);
// A read-write stream over a new temporary file, gone when the stream is
// freed; throws EFCreateError when the file cannot be made.
std::unique_ptr<TStream> NewTemporaryFileStream(const wchar_t* Prefix = L"qrv");

}  // namespace qrv
