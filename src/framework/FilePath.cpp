#include "framework/FilePath.h"

#include "framework/SysUtils.h"

#include <chrono>
#include <thread>

namespace qrv {

std::filesystem::path FsPath(const std::wstring& path)
{
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(WideToUtf8(path));
#endif
}

std::wstring FromFsPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return path.wstring();
#else
    return Utf8ToWide(path.string());
#endif
}

void ReplaceFileWith(const std::wstring& source, const std::wstring& target)
{
    // Another writer replacing the same file at this moment holds it for a
    // few milliseconds: a refused replace is tried again for half a second.
    std::error_code error;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::filesystem::rename(FsPath(source), FsPath(target), error);
        if (!error || !std::filesystem::exists(FsPath(source)))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    if (error)
        throw EFCreateError(L"Datei " + target + L" kann nicht ersetzt werden. " + Utf8ToWide(error.message()));
}

}  // namespace qrv
