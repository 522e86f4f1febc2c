#pragma once
// The RAR library's work behind its seven entry points: reads the block
// layout of RAR 1.5 to 4.x archives, lists every entry and tests or
// extracts stored ones with their CRC. Compressed or encrypted entries,
// solid and multi-volume archives and RAR 5 archives are reported with
// RAR_UNSUPPORTED and nothing is written for them. Portable; the library
// shim adds the system's OEM code page and attributes.

#include "external/ByteSource.h"
#include "external/UnrarApi.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace qrv::external {

struct TRarHooks {
    // Stored (OEM) names to text; empty: code page 850.
    std::function<std::wstring(std::string_view)> DecodeName;
    // DOS attributes of an extracted file; empty: not set.
    std::function<void(const std::filesystem::path&, uint32_t)> SetAttributes;
};

void SetRarHooks(TRarHooks Hooks);

// The entry points. None throws.
void* RarOpenArchive(RAROpenRecord* Data) noexcept;
// Over bytes in memory that outlive the handle (tests, fuzzing).
void* RarOpenMemory(std::string_view Bytes, RAROpenRecord* Data) noexcept;
int32_t RarCloseArchive(void* Handle) noexcept;
int32_t RarReadHeader(void* Handle, RARHeaderData* Header) noexcept;
int32_t RarProcessFile(void* Handle, int32_t Operation, const char* DestPath, const char* DestName) noexcept;
void RarSetChangeVolProc(void* Handle, RARChangeVolFunc Proc) noexcept;
void RarSetProcessDataProc(void* Handle, RARProcessDataFunc Proc) noexcept;
void RarSetPassword(void* Handle, const char* Password) noexcept;

}  // namespace qrv::external
