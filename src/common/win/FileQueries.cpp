#include "common/win/FileQueries.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "framework/win/Handles.h"

#include <map>
#include <optional>
#include <unordered_set>

namespace qrv {

namespace {

// More paths of one folder than this are answered by reading the folder:
// about what so many missing names cost in a folder of 100,000 under Wine.
constexpr size_t kLookupsBeforeReading = 8;

// The names in Folder, long and short, in upper case; nothing when the
// folder cannot be read to its end.
std::optional<std::unordered_set<std::wstring>> FolderNames(const std::wstring& Folder)
{
    WIN32_FIND_DATAW found{};
    TFindHandle find(FindFirstFileExW((AddBackslash(Folder) + L"*").c_str(), FindExInfoStandard, &found,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return std::nullopt;
    std::unordered_set<std::wstring> names;
    do {
        names.insert(UpperCase(found.cFileName));
        if (found.cAlternateFileName[0] != 0)
            names.insert(UpperCase(found.cAlternateFileName));
    } while (FindNextFileW(find.Get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return std::nullopt;
    return names;
}

// A name a folder's listing shows as it is: not empty, no pattern, no
// trailing dot or blank (which the system drops from a path).
bool ListedAsItIs(std::wstring_view Name)
{
    return !Name.empty() && Name.find_first_of(L"*?") == std::wstring_view::npos && Name.back() != L'.' &&
           Name.back() != L' ';
}

}  // namespace

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

std::vector<bool> PathsExist(const std::vector<std::wstring>& Paths)
{
    std::vector<bool> exist(Paths.size(), false);
    std::map<std::wstring, std::vector<size_t>> byFolder;
    for (size_t i = 0; i < Paths.size(); ++i)
        byFolder[UpperCase(ExtractFilePath(RemoveBackslash(Paths[i])))].push_back(i);
    for (const auto& [folder, indexes] : byFolder) {
        std::optional<std::unordered_set<std::wstring>> names;
        if (indexes.size() > kLookupsBeforeReading && !folder.empty())
            names = FolderNames(ExtractFilePath(RemoveBackslash(Paths[indexes.front()])));
        for (const size_t i : indexes) {
            const std::wstring name = ExtractFileName(RemoveBackslash(Paths[i]));
            exist[i] = names && ListedAsItIs(name) ? names->count(UpperCase(name)) > 0 : PathExists(Paths[i]);
        }
    }
    return exist;
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
