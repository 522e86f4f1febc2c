#include "framework/FilePath.h"

#include "framework/SysUtils.h"

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
    std::error_code error;
    std::filesystem::rename(FsPath(source), FsPath(target), error);
    if (error)
        throw EFCreateError(L"Datei " + target + L" kann nicht ersetzt werden. " +
                            Utf8ToWide(error.message()));
}

}  // namespace qrv
