#pragma once
// The unzip library's work, behind its entry point: extracts or tests the
// entries of a zip archive as the command record asks (stored and deflated
// entries, CRC-32, ZipCrypto, overwrite, freshen, update, times and
// attributes) and reports through the record's callback. Portable; the
// library shim adds what only the system knows (OEM names, attributes).

#include "external/ByteSource.h"
#include "external/UnzDllApi.h"
#include "external/ZipFormat.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace qrv::external {

struct TUnzipHooks {
    TNameCodec Names = TNameCodec::Portable();
    // Sets the DOS attributes (read-only, hidden, system, archive) of an
    // extracted file; empty: not set.
    std::function<void(const std::filesystem::path&, uint32_t)> SetAttributes;
};

// Runs the command on the archive named in it. The number of files
// extracted (or tested) without fault; negative when the record itself is
// unusable. Never throws.
int32_t UnzipExec(const UnzCommand* Command, const TUnzipHooks& Hooks) noexcept;

// The same over an archive already open (tests, fuzzing).
int32_t UnzipRun(const UnzCommand& Command, TByteSource& Archive, const TUnzipHooks& Hooks) noexcept;

}  // namespace qrv::external
