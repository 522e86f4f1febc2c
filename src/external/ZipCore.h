#pragma once
// The zip library's work, behind its entry point: adds files to a zip
// archive (stored or deflated, ZipCrypto on request, with update, freshen
// and move) or deletes entries from it, as the command record asks,
// reporting through the record's callback. The archive is always written
// anew beside the old one and put in its place only when complete, so a
// failed run leaves the old archive as it was. Portable; the library shim
// adds what only the system knows.

#include "external/ZipDllApi.h"
#include "external/ZipFormat.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace qrv::external {

struct TZipHooks {
    TNameCodec Names = TNameCodec::Portable();
    // DOS attributes of a file to add (hidden 0x02 and system 0x04 decide
    // whether it is taken); empty: 0x20, read-only from the permissions.
    std::function<uint32_t(const std::filesystem::path&)> GetAttributes;
    // Puts the finished archive in place of the old one; empty: rename.
    std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)> PutInPlace;
};

// The number of files added (or entries deleted); negative when the record
// itself is unusable. Never throws.
int32_t ZipExec(const ZipCommand* Command, const TZipHooks& Hooks) noexcept;

}  // namespace qrv::external
