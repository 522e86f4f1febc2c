#include "external/win/ExternalHooksWin.h"

#include "common/win/FileQueries.h"
#include "framework/win/AnsiEncoding.h"

#include <windows.h>

namespace qrv::external {

namespace {

std::wstring OemToWide(std::string_view bytes)
{
    return SystemOemEncoding().GetString(bytes);
}

// Nothing when a character has no exact OEM byte (no best-fit substitute).
std::optional<std::string> WideToOem(std::wstring_view text)
{
    std::string bytes;
    size_t badIndex = 0;
    if (!SystemOemEncoding().TryGetBytes(text, bytes, badIndex))
        return std::nullopt;
    return bytes;
}

void SetAttributes(const std::filesystem::path& path, uint32_t attributes)
{
    // Only the DOS attributes a file may carry; 0 would mean "normal".
    const DWORD value =
        attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesW(path.c_str(), value ? value : FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

TNameCodec SystemNameCodec()
{
    TNameCodec codec;
    codec.Decode = OemToWide;
    codec.Encode = WideToOem;
    return codec;
}

TUnzipHooks SystemUnzipHooks()
{
    TUnzipHooks hooks;
    hooks.Names = SystemNameCodec();
    hooks.SetAttributes = SetAttributes;
    return hooks;
}

TZipHooks SystemZipHooks()
{
    TZipHooks hooks;
    hooks.Names = SystemNameCodec();
    hooks.GetAttributes = [](const std::filesystem::path& path) -> uint32_t {
        const DWORD attributes = FileAttributes(path);
        return attributes == INVALID_FILE_ATTRIBUTES ? 0x20 : (attributes & 0x27);
    };
    hooks.PutInPlace = [](const std::filesystem::path& from, const std::filesystem::path& to) {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    };
    return hooks;
}

TRarHooks SystemRarHooks()
{
    TRarHooks hooks;
    hooks.DecodeName = OemToWide;
    hooks.SetAttributes = SetAttributes;
    return hooks;
}

}  // namespace qrv::external
