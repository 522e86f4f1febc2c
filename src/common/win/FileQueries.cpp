#include "common/win/FileQueries.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "framework/win/Handles.h"

#include <map>
#include <optional>
#include <algorithm>
#include <unordered_map>

namespace qrv {

namespace {

// More paths of one folder than this are answered by reading the folder:
// about what so many missing names cost in a folder of 100,000 under Wine.
constexpr size_t kLookupsBeforeReading = 8;

// Folds Name to upper case into Key (whose room is kept from name to name).
void FoldInto(std::wstring& Key, const wchar_t* Name)
{
    Key.assign(Name);
    std::transform(Key.begin(), Key.end(), Key.begin(), UpCaseChar);
}

// Marks in Found which of the wanted names (upper case, each with its
// places) the folder holds, by long or short name; false when the folder
// cannot be read to its end.
bool FindInFolder(const std::wstring& Folder, const std::unordered_map<std::wstring, std::vector<size_t>>& Wanted,
                  std::vector<bool>& Found)
{
    WIN32_FIND_DATAW found{};
    TFindHandle find(FindFirstFileExW((AddBackslash(Folder) + L"*").c_str(), FindExInfoStandard, &found,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return false;
    std::wstring key;
    const auto mark = [&](const wchar_t* name) {
        FoldInto(key, name);
        if (const auto at = Wanted.find(key); at != Wanted.end())
            for (const size_t i : at->second)
                Found[i] = true;
    };
    do {
        mark(found.cFileName);
        if (found.cAlternateFileName[0] != 0)
            mark(found.cAlternateFileName);
    } while (FindNextFileW(find.Get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES;
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
        // The names the folder's listing can answer; the others are asked.
        std::unordered_map<std::wstring, std::vector<size_t>> wanted;
        std::vector<size_t> asked;
        for (const size_t i : indexes) {
            const std::wstring name = ExtractFileName(RemoveBackslash(Paths[i]));
            if (indexes.size() > kLookupsBeforeReading && !folder.empty() && ListedAsItIs(name))
                wanted[UpperCase(name)].push_back(i);
            else
                asked.push_back(i);
        }
        if (!wanted.empty() && !FindInFolder(ExtractFilePath(RemoveBackslash(Paths[indexes.front()])), wanted, exist))
            for (const auto& [name, places] : wanted)
                asked.insert(asked.end(), places.begin(), places.end());
        for (const size_t i : asked)
            exist[i] = PathExists(Paths[i]);
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

std::wstring ShortPathName(const std::wstring& Path)
{
    const DWORD size = GetShortPathNameW(Path.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(Path.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size)
        return {};
    shortPath.resize(length);
    return shortPath;
}

}  // namespace qrv
