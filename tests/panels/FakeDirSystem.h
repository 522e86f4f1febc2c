#pragma once
// A file system and shell in memory for the directory list's tests: folders
// with their entries in disk order, drives with types, and a shell that
// names types after the extension and counts its queries.

#include "framework/StringList.h"
#include "framework/SysUtils.h"
#include "panels/DirViewSystem.h"
#include "panels/DirViewTexts.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qrv::test {

// A packed DOS date-time (local), as a search reports it.
constexpr uint32_t DosTime(int year, int month, int day, int hour = 12, int minute = 0)
{
    return static_cast<uint32_t>((year - 1980) << 25 | month << 21 | day << 16 | hour << 11 | minute << 5);
}

class FakeDirSystem : public TDirFileSystem, public TDirShellInfo {
public:
    FakeDirSystem()
    {
        icons_.DefaultFileIcon = 1;
        icons_.ExeIcon = 2;
        icons_.FolderIcon = 3;
        icons_.OpenFolderIcon = 4;
        icons_.FolderTypeName = L"Dateiordner";
        MakeNotCachedExts(notCached_, [](const std::wstring& ext) { return ext == L".MSC"; });
        DriveTypes[L'C'] = kDriveFixed;
        DriveTypes[L'N'] = kDriveRemote;
        DriveTypes[L'\\'] = kDriveRemote;
        folders_[L"C:"];
    }

    // ---- building the disk

    // A folder and, unless it is a root, its entry in the parent folder.
    void AddFolder(const std::wstring& path, uint32_t attr = faDirectory)
    {
        folders_[UpperCase(path)];
        const size_t slash = path.rfind(L'\\');
        if (slash != std::wstring::npos && slash > 1)
            Entries(path.substr(0, slash)).push_back(Entry(path.substr(slash + 1), attr | faDirectory, 0));
    }
    TSearchRec& AddFile(const std::wstring& folder, const std::wstring& name, uint64_t size, uint32_t attr = faArchive,
                        uint32_t time = DosTime(2020, 5, 17))
    {
        auto& entries = Entries(folder);
        entries.push_back(Entry(name, attr, size, time));
        return entries.back();
    }
    TSearchRec* Find(const std::wstring& folder, const std::wstring& name)
    {
        for (TSearchRec& entry : Entries(folder))
            if (SameText(entry.Name, name))
                return &entry;
        return nullptr;
    }
    void Remove(const std::wstring& folder, const std::wstring& name)
    {
        auto& entries = Entries(folder);
        std::erase_if(entries, [&](const TSearchRec& entry) { return SameText(entry.Name, name); });
        folders_.erase(UpperCase(folder + L"\\" + name));
    }
    // The folder and everything below it vanish, as when a drive is removed.
    void RemoveTree(const std::wstring& path)
    {
        const std::wstring key = UpperCase(path);
        std::erase_if(folders_,
                      [&](const auto& folder) { return folder.first == key || folder.first.starts_with(key + L"\\"); });
    }
    std::vector<TSearchRec>& Entries(const std::wstring& folder) { return folders_.at(UpperCase(folder)); }

    static TSearchRec Entry(const std::wstring& name, uint32_t attr, uint64_t size,
                            uint32_t time = DosTime(2020, 5, 17))
    {
        TSearchRec entry;
        entry.Name = name;
        entry.Attr = attr;
        entry.Size = size;
        entry.Time = time;
        entry.LastWrite = 132000000000000000ull + time;
        return entry;
    }

    // ---- TDirFileSystem

    uint32_t ListFolder(const std::wstring& folder, const TEntryProc& each) override
    {
        ++Listings;
        if (const auto error = ListErrors.find(UpperCase(folder)); error != ListErrors.end())
            return error->second;
        const auto found = folders_.find(UpperCase(folder));
        if (found == folders_.end())
            return kErrorPathNotFound;
        // Copies, as a real search hands out its own records.
        std::vector<TSearchRec> entries;
        if (folder.size() > 2) {
            entries.push_back(Entry(L".", faDirectory, 0));
            entries.push_back(Entry(L"..", faDirectory, 0));
        }
        entries.insert(entries.end(), found->second.begin(), found->second.end());
        if (entries.empty())
            return kErrorFileNotFound;
        for (TSearchRec& entry : entries)
            if (!each(entry))
                break;
        return 0;
    }
    bool GetEntry(const std::wstring& path, TSearchRec& entry) override
    {
        const size_t slash = path.rfind(L'\\');
        if (slash == std::wstring::npos || !folders_.contains(UpperCase(path.substr(0, slash))))
            return false;
        if (const TSearchRec* found = Find(path.substr(0, slash), path.substr(slash + 1))) {
            entry = *found;
            return true;
        }
        return false;
    }
    bool DirExists(const std::wstring& path, uint32_t& error) override
    {
        std::wstring key = UpperCase(path);
        while (key.ends_with(L'\\'))
            key.pop_back();
        if (folders_.contains(key))
            return true;
        const size_t slash = key.rfind(L'\\');
        error = slash != std::wstring::npos && folders_.contains(key.substr(0, slash)) ? kErrorFileNotFound
                                                                                       : kErrorPathNotFound;
        return false;
    }
    bool DriveValid(wchar_t drive) override { return DriveTypes.contains(drive); }
    int DriveType(wchar_t drive) override
    {
        const auto found = DriveTypes.find(drive);
        return found == DriveTypes.end() ? 0 : found->second;
    }
    bool HasCompressionBits(const std::wstring& /*path*/) override { return Ntfs; }

    // ---- TDirShellInfo

    bool GetInfo(const std::wstring& path, uint32_t attr, unsigned want, bool fromAttributes,
                 TShellFileInfo& info) override
    {
        ShellQueries.push_back(path);
        if (ShellFails)
            return false;
        const size_t dot = path.rfind(L'.');
        const std::wstring ext = dot == std::wstring::npos ? L"" : UpperCase(path.substr(dot + 1));
        info.TypeName = (attr & faDirectory) ? L"Dateiordner" : ext + L"-Datei";
        // Every extension its own icon; a file of an icon type its own.
        info.IconIndex =
            (want & wiIcon)
                ? 10 + static_cast<int>(std::hash<std::wstring>{}(ext == L"EXE" && !fromAttributes ? path : ext) % 1000)
                : -1;
        // As the system list does, an icon met for the first time joins
        // the list at its end.
        if ((want & wiIcon) && IconsJoinTheList)
            info.IconIndex = ImageCount++;
        info.Shared = (want & wiShared) && SharedFolders.contains(UpperCase(path));
        return true;
    }
    int SmallImageCount() override { return ImageCount; }
    const TShellIcons& Icons() override { return icons_; }
    const TStringList& NotCachedExts() override { return notCached_; }

    std::map<wchar_t, int> DriveTypes;
    std::map<std::wstring, uint32_t> ListErrors;  // by upper-case folder
    std::set<std::wstring> SharedFolders;         // by upper-case path
    bool Ntfs = true;
    bool ShellFails = false;
    int ImageCount = 2000;
    bool IconsJoinTheList = false;
    int Listings = 0;
    std::vector<std::wstring> ShellQueries;

private:
    std::map<std::wstring, std::vector<TSearchRec>> folders_;  // by upper-case path
    TShellIcons icons_;
    TStringList notCached_;
};

}  // namespace qrv::test
