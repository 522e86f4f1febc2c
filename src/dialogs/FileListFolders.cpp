#include "dialogs/FileListFolders.h"

#include "panels/DirViewCore.h"

namespace qrv {

namespace {

class TFolderCore : public TDirViewCore {
public:
    TFolderCore(TDirFileSystem& FileSystem, TDirShellInfo& Shell, const TDirViewTexts& Texts,
                TFileListFolderSettings Settings)
        : TDirViewCore(nullptr, FileSystem, Shell, Texts), settings_(std::move(Settings))
    {
        Filter = settings_.Filter;
        SetShowDirectories(settings_.ShowDirectories);
        SetHideHiddenDirs(settings_.HideHiddenDirs);
        SetShowExtension(settings_.ShowExtension);
        SetFileNameDisplay(settings_.FileNameDisplay);
        if (settings_.Collator)
            SetCollator(settings_.Collator);
    }

    std::vector<TFileListEntry> Read(const std::wstring& Path)
    {
        LoadFromDisk(Path);
        if (settings_.TypeNames)
            FetchTypeNames();
        std::vector<TFileListEntry> entries;
        entries.reserve(static_cast<size_t>(ItemCount()));
        for (int i = 0; i < ItemCount(); ++i)
            entries.push_back(FileListEntryOf(*GetItemData(i), settings_.Cells, settings_.FormatTime));
        ClearItems();
        return entries;
    }

protected:
    std::wstring LoadMask() const override { return settings_.Mask; }
    void SortItems() override { SortBy(settings_.Sort); }

private:
    const TFileListFolderSettings settings_;
};

}  // namespace

TFileListFolderReader MakeFileListFolderReader(TDirFileSystem& FileSystem, TDirShellInfo& Shell,
                                               const TDirViewTexts& Texts, TFileListFolderSettings Settings)
{
    auto core = std::make_shared<TFolderCore>(FileSystem, Shell, Texts, std::move(Settings));
    return [core](const std::wstring& Path) { return core->Read(Path); };
}

}  // namespace qrv
