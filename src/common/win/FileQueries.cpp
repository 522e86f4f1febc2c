#include "common/win/FileQueries.h"

#include "common/BaseUtils.h"

namespace qrv {

DWORD FileAttributes(const std::wstring& Path)
{
    return GetFileAttributesW(Path.c_str());
}

bool FileAttributeData(const std::wstring& Path, WIN32_FILE_ATTRIBUTE_DATA& Data)
{
    if (GetFileAttributesExW(Path.c_str(), GetFileExInfoStandard, &Data))
        return true;
    Data = WIN32_FILE_ATTRIBUTE_DATA{};
    return false;
}

bool PathExists(const std::wstring& Path)
{
    return FileAttributes(Path) != INVALID_FILE_ATTRIBUTES;
}

bool DirExistsAttr(const std::wstring& Path, DWORD& Attr)
{
    Attr = FileAttributes(Path);
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::wstring& Path)
{
    const DWORD attr = FileAttributes(Path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirExists(const std::wstring& Path)
{
    DWORD attr;
    return DirExistsAttr(Path, attr);
}

bool IsPathHidden(const std::wstring& Path)
{
    for (const std::wstring& level : PathLevelsBelowRoot(Path)) {
        const DWORD attr = FileAttributes(level);
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_HIDDEN) != 0)
            return true;
    }
    return false;
}

}  // namespace qrv
