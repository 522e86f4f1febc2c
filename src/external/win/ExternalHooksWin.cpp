#include "external/win/ExternalHooksWin.h"

#include <windows.h>

namespace qrv::external {

namespace {

std::wstring OemToWide(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const int count = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), count);
    return text;
}

std::optional<std::string> WideToOem(std::wstring_view text)
{
    if (text.empty())
        return std::string();
    BOOL usedDefault = FALSE;
    const int count = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, &usedDefault);
    if (count <= 0 || usedDefault)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), bytes.data(), count,
                        nullptr, &usedDefault);
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
        const DWORD attributes = GetFileAttributesW(path.c_str());
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
