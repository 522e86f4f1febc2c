#include "panels/DirViewCore.h"

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "framework/IgnoredError.h"
#include "framework/PartThreads.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/TimingTrace.h"
#include "panels/FileNameIndex.h"

#include <algorithm>
#include <map>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace qrv {

namespace {

constexpr uint32_t kNormalFileAttr = 0x80;  // FILE_ATTRIBUTE_NORMAL

// The icon cache is ordered by the extension; a lookup passes the bare text.
struct TByExt {
    int operator()(const TIconCacheRec& A, const TIconCacheRec& B) const { return A.Ext.compare(B.Ext); }
    int operator()(const std::wstring& Key, const TIconCacheRec& B) const { return Key.compare(B.Ext); }
};

bool IsDotEntry(const std::wstring& Name)
{
    return Name == L"." || Name == L"..";
}

// The size an item adds to the totals: unknown directory sizes add nothing.
uint64_t CountedSize(const TFileRec& Rec)
{
    return SizeUnknown(Rec) ? 0 : Rec.Size;
}

void Subtract(uint64_t& Total, uint64_t Amount)
{
    Total -= std::min(Total, Amount);
}

}  // namespace

std::wstring FolderLeftBehind(std::wstring_view Path, std::wstring_view LastPath)
{
    if (Path.empty())
        return {};
    // The folder left must lie under Path + "\": "C:\ab" is no parent of "C:\abc".
    const std::wstring prefix = AddBackslash(Path);
    if (LastPath.size() <= prefix.size() || !SameText(LastPath.substr(0, prefix.size()), prefix))
        return {};
    const std::wstring_view rest = LastPath.substr(prefix.size());
    return std::wstring(rest.substr(0, rest.find(L'\\')));
}

int CompareByName(const TFileRec& A, const TFileRec& B)
{
    if (&A == &B)
        return 0;
    if (A.IsParentDir != B.IsParentDir)
        return A.IsParentDir ? -1 : 1;
    if (A.IsDirectory != B.IsDirectory)
        return A.IsDirectory ? -1 : 1;
    // CompareText's order, with the ASCII letters folded here: a large
    // folder is sorted on every load.
    const std::wstring& a = A.DisplayName;
    const std::wstring& b = B.DisplayName;
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t ca = a[i];
        wchar_t cb = b[i];
        if (ca == cb)
            continue;
        ca = ca < 0x80 ? (ca >= L'a' && ca <= L'z' ? static_cast<wchar_t>(ca - 32) : ca) : UpCaseChar(ca);
        cb = cb < 0x80 ? (cb >= L'a' && cb <= L'z' ? static_cast<wchar_t>(cb - 32) : cb) : UpCaseChar(cb);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// ---- Construction and brackets ---------------------------------------------------

struct TDirViewCore::TReloadPass {
    TReloadPass(TDirFilter Made, size_t Items) : Filter(std::move(Made)), Old(Items) {}
    TDirFilter Filter;
    // The items by their names; the first Indexed items are in. Those an
    // entry of their kind was found for are marked found.
    TFileNameIndex Old;
    size_t Indexed = 0;
    std::vector<const TFileRec*> Unindexed;  // a second item of one name
    // Of the items found, those whose name, size, time or attributes
    // changed (their place in the order may have).
    std::unordered_set<const TFileRec*> Moved;
    std::vector<TSearchRec> Fresh;
    bool Changed = false;
    // A sliced re-read's entries and the next one to compare.
    std::vector<TSearchRec> Entries;
    size_t Next = 0;
};

TDirViewCore::TDirViewCore(TComponent* Sender, TDirFileSystem& FileSystem, TDirShellInfo& Shell,
                           const TDirViewTexts& Texts)
    : sender_(Sender), fs_(FileSystem), shell_(Shell), texts_(Texts), collator_(std::make_shared<TFoldCollator>())
{}

TDirViewCore::~TDirViewCore()
{
    if (passFreer_.joinable())
        passFreer_.join();
}

void TDirViewCore::FreeReloadPass(std::unique_ptr<TReloadPass> Pass)
{
    if (passFreer_.joinable())
        passFreer_.join();
    try {
        passFreer_ = std::thread([pass = std::move(Pass)]() mutable { pass.reset(); });
    } catch (const std::system_error&) {
        // No thread to be had: the pass is freed here, with the lambda.
    }
}

TDirViewCore::TUpdateBracket::TUpdateBracket(TDirViewCore& Core) : core_(Core)
{
    if (core_.updateDepth_++ == 0)
        core_.ViewBeginUpdate();
}

TDirViewCore::TUpdateBracket::~TUpdateBracket()
{
    if (--core_.updateDepth_ > 0)
        return;
    try {
        if (core_.changed_) {
            core_.changed_ = false;
            core_.ItemsChanged();
        }
        core_.ViewEndUpdate();
    } catch (const std::exception&) {
        TraceIgnoredException(L"showing the list's items again");
        // Showing the items again failed; the records are intact.
    }
}

void TDirViewCore::MarkChanged()
{
    changed_ = true;
    if (updateDepth_ == 0) {
        changed_ = false;
        ItemsChanged();
    }
}

void TDirViewCore::FireNotify(const TNotifyEvent& Event) const
{
    if (Event)
        Event(sender_);
}

// ---- Path -------------------------------------------------------------------------

std::wstring TDirViewCore::GetPath() const
{
    if (path_.size() == 2 && path_[1] == L':')
        return path_ + L'\\';
    return path_;
}

void TDirViewCore::SetPath(const std::wstring& Path)
{
    std::wstring path = RemoveBackslashes(Path);
    if (path == path_)
        return;
    EndNameEdit();
    lastPath_ = path_;
    path_ = path;
    LoadFromDisk(path_);
}

void TDirViewCore::SetPathOnly(const std::wstring& Path)
{
    std::wstring path = RemoveBackslashes(Path);
    if (path == path_)
        return;
    EndNameEdit();
    path_ = std::move(path);
    FireNotify(OnStartLoading);
    FireNotify(OnDirUpdated);
    FireNotify(OnLoaded);
}

bool TDirViewCore::AdoptPathSpelling(const std::wstring& Path)
{
    std::wstring path = RemoveBackslashes(Path);
    if (path_.empty() || !SameText(path, path_))
        return false;
    path_ = std::move(path);
    return true;
}

bool TDirViewCore::CheckPathExists()
{
    uint32_t error = 0;
    if (path_.empty() || fs_.DirExists(GetPath(), error))
        return true;
    EndNameEdit();
    const std::wstring vanished = path_;
    while (path_.size() > PathRootLength(path_)) {
        std::wstring parent = RemoveBackslashes(ExtractFilePath(path_));
        if (parent.size() >= path_.size())
            break;
        path_ = std::move(parent);
        if (!path_.empty() && fs_.DirExists(GetPath(), error)) {
            lastPath_ = vanished;
            Reload(false);
            return false;
        }
    }
    // Not even the drive or share is left (a removed drive, a lost
    // connection): the list empties, says why and waits.
    ClearItems();
    loaded_ = false;
    if (OnError)
        OnError(sender_, vanished, error != 0 ? error : kErrorPathNotFound);
    return false;
}

void TDirViewCore::SetLoadEnabled(bool Value)
{
    if (Value == loadEnabled_)
        return;
    loadEnabled_ = Value;
    if (!Value || !loadPending_ || path_.empty())
        return;
    loadPending_ = false;
    if (loaded_ || isVirtual_)
        ReloadDirectory();
    else
        LoadFromDisk(path_);
}

std::optional<bool> TDirViewCore::KnownSubDirs(std::wstring_view Path, bool HideHidden) const
{
    if (!loaded_ || loading_ || !itemsReady_ || isVirtual_ || fullPathItems_ ||
        !SameText(RemoveBackslashes(Path), path_))
        return std::nullopt;
    // The folder count spares a look at every record of a folder of files.
    if (dirCount_ > 0)
        for (const TFileRec* item : items_)
            if (item->IsDirectory && !item->IsParentDir && !(HideHidden && (item->Attr & faHidden)))
                return true;
    // None among the items: an answer only when the load kept every folder.
    if (showDirectories_ && (!hideHiddenDirs_ || HideHidden) && !OnAddFile)
        return false;
    return std::nullopt;
}

void TDirViewCore::RefreshDirectory()
{
    loadEnabled_ = true;
    loadPending_ = false;
    ReloadDirectory();
}

// ---- Loading ----------------------------------------------------------------------

TDirFilter TDirViewCore::MakeFilter() const
{
    // Only a filter on compression or encryption needs the volume's file system.
    const bool wantsCompression =
        Filter.SelCompressed != TSelAttr::SelDontCare || Filter.SelEncrypted != TSelAttr::SelDontCare;
    return TDirFilter(Filter, LoadMask(), wantsCompression && fs_.HasCompressionBits(GetPath()));
}

void TDirViewCore::LoadFromDisk(const std::wstring& Path)
{
    CancelSlicedReload();
    EndNameEdit();
    path_ = RemoveBackslashes(Path);
    if (DeferredForSort())
        return;
    if (!loadEnabled_) {
        // The items shown are no longer those of Path; enabling reads it.
        loadPending_ = true;
        loaded_ = false;
        return;
    }
    if (loading_) {
        loadPending_ = abortLoad_ = true;
        return;
    }
    loading_ = true;
    TTimingScope timing(L"list load " + path_);
    ShowBusy(true);
    bool aborted = false;
    {
        TUpdateBracket update(*this);
        itemsReady_ = false;
        // Whatever fails from here on, the list is left usable and not loading.
        try {
            FireNotify(OnStartLoading);
            StopWorkers();
            StopSubDirScanner();
            ClearItems();
            const TDirFilter filter = MakeFilter();
            driveType_ = path_.empty() ? 0 : fs_.DriveType(path_[0]);
            isVirtual_ = false;
            virtualFolder_.reset();
            virtualIds_.clear();
            fullPathItems_ = false;
            uint32_t error = kErrorPathNotFound;
            loaded_ = !path_.empty() && fs_.DriveValid(path_[0]) && fs_.DirExists(GetPath(), error);
            WatchFolder();
            if (!loaded_) {
                if (!path_.empty() && OnError)
                    OnError(sender_, path_, error);
            } else if (shellFolders_ && IsRecycleBinFolder()) {
                LoadRecycleBin(filter);
            } else {
                int added = 0;
                error = fs_.ListFolder(path_, [&](TSearchRec& entry) {
                    if (abortLoad_)
                        return false;
                    if (!(entry.Attr & faDirectory)) {
                        if (!filter.AcceptsFile(entry))
                            return true;
                    } else if (!showDirectories_ || IsDotEntry(entry.Name) ||
                               (hideHiddenDirs_ && (entry.Attr & faHidden))) {
                        return true;
                    }
                    bool addFile = true;
                    if (OnAddFile)
                        OnAddFile(sender_, entry, addFile);
                    if (addFile) {
                        AddItem(entry);
                        if (++added % 100 == 0) {
                            LoadProgress(added);
                            // The sort's threads are made while the folder is still read.
                            if (SortUsesThreads(static_cast<size_t>(added)))
                                StartPartThreads();
                        }
                    }
                    return !abortLoad_;
                });
                if (TimingTraceEnabled())
                    TraceTiming(L"list read " + std::to_wstring(added) + L" items");
                // An empty drive root has no entries at all; that is no error.
                if (error != 0 && (path_.size() > 2 || error != kErrorFileNotFound)) {
                    loaded_ = false;
                    if (OnError)
                        OnError(sender_, GetPath(), error);
                }
            }
            if (WantsParentItem() && !hasParentItem_)
                AddParentDirItem();
        } catch (const std::exception&) {
            TraceIgnoredException(L"reading a folder's entries");
            // The steps below leave the list usable with what was read.
        }
        loading_ = false;
        iconCache_.Sort(TByExt{});
        if (abortLoad_) {
            abortLoad_ = false;
            aborted = true;
        } else {
            if (loaded_) {
                TTimingScope sortTiming(L"list sort");
                SortItems();
            }
            abortLoad_ = loadPending_ = false;
            if (path_.size() < lastPath_.size()) {
                const std::wstring left = FolderLeftBehind(path_, lastPath_);
                for (TFileRec* item : items_)
                    if (!left.empty() && SameText(item->FileName, left)) {
                        focused_ = item;
                        break;
                    }
            }
            if (SelDir && focused_)
                SetItemSelected(*focused_, true);
        }
        itemsReady_ = true;
        MarkChanged();
    }
    ShowBusy(false);
    if (aborted) {
        Reload(false);
    } else {
        MakeFocusedVisible();
        if (loaded_) {
            scanPending_ = false;
            StartWorkers();
            StartSubDirScanner();
            FireNotify(OnDirUpdated);
        }
    }
    timing.Note(std::to_wstring(items_.size()) + L" items");
    FireNotify(OnLoaded);
}

bool TDirViewCore::IsRecycleBinFolder() const
{
    // "X:\NAME": a folder right at a drive's root.
    if (path_.size() < 4 || path_[1] != L':' || path_[2] != L'\\' || path_.find(L'\\', 3) != std::wstring::npos)
        return false;
    TSearchRec entry;
    return fs_.GetEntry(path_, entry) && IsRecycleBinEntry(std::wstring_view(path_).substr(0, 2), entry);
}

void TDirViewCore::LoadRecycleBin(const TDirFilter& Filter)
{
    fullPathItems_ = true;
    AddParentDirItem();
    int added = 0;
    const bool listed = shellFolders_->ListRecycleBin([&](const TShellFolderEntry& Entry) {
        if (abortLoad_)
            return false;
        TSearchRec found;
        if (Entry.Folder) {
            // A deleted folder is listed without filters.
            found.Name = Entry.ParsingName.empty() ? Entry.DisplayName : Entry.ParsingName;
            found.Attr = faDirectory;
        } else {
            // The store's file tells size, time and attributes; an entry
            // without one is none of this drive's (or the shell names no
            // path the disk knows).
            if (Entry.ParsingName.empty() || !fs_.GetEntry(Entry.ParsingName, found))
                return true;
            // Masks are matched against the name shown, not the store's.
            found.Name = Entry.DisplayName;
            if (!Filter.AcceptsFile(found))
                return true;
            found.Name = Entry.ParsingName;
        }
        bool addFile = true;
        if (OnAddFile)
            OnAddFile(sender_, found, addFile);
        if (!addFile)
            return true;
        TFileRec& rec = AddItem(found);
        rec.DisplayName = Entry.DisplayName;
        if (!Entry.TypeName.empty())
            rec.TypeName = Entry.TypeName;
        if (Entry.IconIndex >= 0)
            rec.ImageIndex = Entry.IconIndex;
        rec.InfoEmpty = rec.TypeName.empty();
        rec.IconEmpty = Entry.IconIndex < 0;
        if (++added % 100 == 0)
            LoadProgress(added);
        return !abortLoad_;
    });
    if (!listed)
        TraceIgnoredFailure(L"listing the shell's recycle bin");
}

bool TDirViewCore::LoadVirtualNode(const std::shared_ptr<void>& Folder, const std::wstring& Path, bool ParentItem)
{
    if (!Folder || !shellFolders_)
        throw Exception(L"Interner Fehler 001 in \"LoadVirtualNode\"");
    CancelSlicedReload();
    EndNameEdit();
    bool listed = false;
    loaded_ = false;
    path_ = Path;
    loading_ = true;
    abortLoad_ = false;
    FireNotify(OnStartLoading);
    StopWorkers();
    StopSubDirScanner();
    ShowBusy(true);
    {
        TUpdateBracket update(*this);
        itemsReady_ = false;
        try {
            ClearItems();
            fullPathItems_ = false;
            isVirtual_ = false;
            virtualPaths_.clear();
            virtualIds_.clear();
            virtualFolder_.reset();
            listed = shellFolders_->ListShellFolder(Folder, [&](const TShellFolderEntry& Entry) {
                if (abortLoad_)
                    return false;
                // Only what the file system holds, and never a drive's
                // own path (drives have roots of their own in the tree).
                const bool drivePath =
                    Entry.ParsingName.size() >= 3 && Entry.ParsingName[1] == L':' && Entry.ParsingName[2] == L'\\';
                const bool ftp = UpperCase(std::wstring_view(Entry.ParsingName).substr(0, 4)) == L"FTP:";
                if (!(Entry.FileSystem || ftp || Entry.FileSystemAncestor) || drivePath)
                    return true;
                std::wstring name = Entry.DisplayName;
                if (name.empty()) {
                    const size_t slash = Entry.ParsingName.find_last_of(L'\\');
                    name = slash == std::wstring::npos ? Entry.ParsingName : Entry.ParsingName.substr(slash + 1);
                }
                if (name.empty())
                    return true;
                TSearchRec found;
                found.Name = name;
                found.Attr = Entry.Folder ? faDirectory : 0;
                bool addFile = true;
                if (OnAddFile)
                    OnAddFile(sender_, found, addFile);
                if (!addFile)
                    return true;
                TFileRec& rec = AddItem(found);
                rec.DisplayName = name;
                if (Entry.FileSystem && IsFullPath(Entry.ParsingName))
                    virtualPaths_[rec.FileName] = Entry.ParsingName;
                if (!Entry.ItemId.empty())
                    virtualIds_[rec.FileName] = Entry.ItemId;
                rec.TypeName.clear();
                rec.ImageIndex = Entry.IconIndex;
                rec.InfoEmpty = rec.IconEmpty = false;
                return !abortLoad_;
            });
            if (listed) {
                isVirtual_ = true;
                virtualFolder_ = Folder;
            }
            if (ParentItem)
                AddParentDirItem();
        } catch (const std::exception&) {
            TraceIgnoredException(L"listing a shell folder");
            // The steps below leave the list usable with what was read.
        }
        loading_ = false;
        SortItems();
        abortLoad_ = loadPending_ = false;
        itemsReady_ = true;
        focused_ = items_.empty() ? nullptr : items_.front();
        MarkChanged();
    }
    ShowBusy(false);
    FireNotify(OnDirUpdated);
    FireNotify(OnLoaded);
    return listed;
}

TFileRec& TDirViewCore::AddItem(const TSearchRec& SearchRec)
{
    // A re-read under way would take the item for a new one.
    CancelSlicedReload();
    ReserveItem();
    TFileRec& rec = store_.Add();
    rec.FileName = SearchRec.Name;
    rec.Attr = SearchRec.Attr;
    rec.IsDirectory = (SearchRec.Attr & faDirectory) != 0;
    rec.IsRecycleBin = IsRecycleBinEntry(path_, SearchRec);
    rec.LastWrite = SearchRec.LastWrite;
    if (rec.IsDirectory) {
        ++dirCount_;
        rec.Size = kUnknownDirSize;
        if (driveType_ == kDriveRemote) {
            // No shell query for network folders.
            rec.ImageIndex = shell_.Icons().FolderIcon;
            rec.IconEmpty = false;
        }
    } else {
        rec.Size = SearchRec.Size;
        rec.Ext = FileExtOf(SearchRec.Name);
    }
    totalSize_ += CountedSize(rec);
    rec.DisplayName = fullPathItems_ ? rec.FileName
                                     : MakeDisplayName(rec.FileName, rec.IsDirectory, showExtension_, fileNameDisplay_);
    if (rec.Ext == L"LNK")
        rec.OverlayIndex = 1;
    TFileRec& added = rec;
    items_.push_back(&rec);
    if (SelectNewItems)
        SetItemSelected(added, true);
    MarkChanged();
    return added;
}

void TDirViewCore::ReserveItem()
{
    // Room first, so nothing throws between taking a record and listing it.
    if (items_.size() == items_.capacity())
        items_.reserve(items_.size() * 2 + 64);
}

void TDirViewCore::AddParentDirItem()
{
    ReserveItem();
    TFileRec& rec = store_.Add();
    rec.FileName = rec.DisplayName = L"..";
    rec.IsDirectory = rec.IsParentDir = true;
    rec.Size = kUnknownDirSize;
    rec.InfoEmpty = rec.IconEmpty = false;
    TSearchRec self;
    if (fs_.GetEntry(path_, self)) {
        rec.Attr = self.Attr;
        rec.LastWrite = self.LastWrite;
    } else {
        rec.Attr = faDirectory;
    }
    const TShellIcons& icons = shell_.Icons();
    // With an arrow painted over it the closed folder reads better.
    rec.ImageIndex = icons.ComCtlNew && ShowParentArrow ? icons.FolderIcon : icons.OpenFolderIcon;
    rec.TypeName = texts_.ParentTypeName;
    items_.push_back(&rec);
    hasParentItem_ = true;
    MarkChanged();
}

// ---- Re-reading -------------------------------------------------------------------

void TDirViewCore::Reload(bool KeepIcons)
{
    if (loading_ || DeferredForSort())
        return;
    if (!loadEnabled_) {
        loadPending_ = true;
        return;
    }
    if (!loaded_) {
        LoadFromDisk(path_);
        return;
    }
    EndNameEdit();
    std::unordered_set<std::wstring> selected;
    std::unordered_map<std::wstring, int32_t> icons;
    const std::wstring focusedName = focused_ ? focused_->FileName : std::wstring();
    for (const auto& item : items_) {
        if (item->Selected)
            selected.insert(UpperCase(item->FileName));
        if (KeepIcons && !IsThumbView() && !item->IconEmpty && IsNotCached(*item))
            icons.emplace(item->FileName, item->ImageIndex);
    }

    LoadFromDisk(path_);

    {
        TUpdateBracket update(*this);
        for (TFileRec* item : items_) {
            if (!focusedName.empty() && item->FileName == focusedName)
                focused_ = item;
            if (selected.contains(UpperCase(item->FileName)))
                SetItemSelected(*item, true);
            if (item->IconEmpty) {
                if (const auto icon = icons.find(item->FileName); icon != icons.end()) {
                    item->ImageIndex = icon->second;
                    item->IconEmpty = false;
                }
            }
        }
        if (!focused_) {
            const auto first =
                std::find_if(items_.begin(), items_.end(), [](const TFileRec* item) { return item->Selected; });
            if (first != items_.end())
                focused_ = *first;
        }
        MarkChanged();
    }
    MakeFocusedVisible();
}

void TDirViewCore::ReloadDirectory()
{
    if (loading_ || isVirtual_ || DeferredForSort())
        return;
    if (fullPathItems_) {
        Reload(true);
        return;
    }
    if (!loaded_) {
        LoadFromDisk(path_);
        return;
    }
    EndNameEdit();
    // A folder gone since the last read (its drive's target removed, the
    // folder deleted): the path check moves to what is left of it.
    if (!CheckPathExists())
        return;
    ShowBusy(true);
    StopWorkers();
    bool done = false;
    try {
        done = ReloadInPlace();
    } catch (const std::exception&) {
        TraceIgnoredException(L"reloading the list");
        done = false;
    }
    ShowBusy(false);
    if (!done)
        LoadFromDisk(path_);
}

std::unique_ptr<TDirViewCore::TReloadPass> TDirViewCore::StartReloadPass()
{
    return std::make_unique<TReloadPass>(MakeFilter(), items_.size());
}

bool TDirViewCore::IndexItems(TReloadPass& Pass, size_t Count)
{
    const size_t end = std::min(items_.size(), Pass.Indexed + Count);
    for (; Pass.Indexed < end; ++Pass.Indexed)
        if (TFileRec* item = items_[Pass.Indexed]; !item->IsParentDir)
            if (!Pass.Old.Add(*item))
                Pass.Unindexed.push_back(item);
    return Pass.Indexed < items_.size();
}

void TDirViewCore::CompareEntry(TReloadPass& Pass, const TSearchRec& Entry)
{
    if (IsDotEntry(Entry.Name))
        return;
    const auto rename = [&](TFileRec& rec, const std::wstring& name) {
        // Against the stored name, so hidden extensions do not count as a rename.
        if (rec.FileName == name)
            return;
        rec.FileName = name;
        rec.DisplayName = MakeDisplayName(name, rec.IsDirectory, showExtension_, fileNameDisplay_);
        Pass.Moved.insert(&rec);
        Pass.Changed = true;
    };
    const size_t place = Pass.Old.Find(Entry.Name);
    TFileRec* rec = place == TFileNameIndex::kNotFound ? nullptr : &Pass.Old.At(place);
    if (!(Entry.Attr & faDirectory)) {
        if (!Pass.Filter.AcceptsFile(Entry))
            return;
        if (!rec || rec->IsDirectory) {
            // The handler may change the entry it is given.
            TSearchRec entry = Entry;
            bool addFile = true;
            if (OnAddFile)
                OnAddFile(sender_, entry, addFile);
            if (addFile)
                Pass.Fresh.push_back(std::move(entry));
            return;
        }
        Pass.Old.MarkFound(place);
        rename(*rec, Entry.Name);
        if (rec->Size != Entry.Size || rec->Attr != Entry.Attr || rec->LastWrite != Entry.LastWrite) {
            const bool sizeChanged = rec->Size != Entry.Size;
            Subtract(totalSize_, rec->Size);
            if (rec->Selected)
                Subtract(selectedSize_, rec->Size);
            rec->Size = Entry.Size;
            rec->Attr = Entry.Attr;
            rec->LastWrite = Entry.LastWrite;
            totalSize_ += rec->Size;
            if (rec->Selected)
                selectedSize_ += rec->Size;
            if (IsThumbView()) {
                // The thumbnail is made again.
                rec->ThumbIndex = 0;
                rec->IconEmpty = true;
            }
            Pass.Moved.insert(rec);
            Pass.Changed = true;
            if (sizeChanged && OnFileSizeChanged)
                OnFileSizeChanged(sender_, *rec);
        }
        return;
    }
    if (!showDirectories_ || (hideHiddenDirs_ && (Entry.Attr & faHidden)))
        return;
    if (rec && rec->IsDirectory) {
        Pass.Old.MarkFound(place);
        rename(*rec, Entry.Name);
        if (rec->Attr != Entry.Attr || rec->LastWrite != Entry.LastWrite) {
            rec->Attr = Entry.Attr;
            rec->LastWrite = Entry.LastWrite;
            Pass.Moved.insert(rec);
            Pass.Changed = true;
        }
    } else {
        // Folders pass every load filter, so a new one is added unless the
        // handler vetoes it.
        TSearchRec entry = Entry;
        bool addFile = true;
        if (OnAddFile)
            OnAddFile(sender_, entry, addFile);
        if (addFile)
            Pass.Fresh.push_back(std::move(entry));
    }
}

void TDirViewCore::FinishReloadPass(TReloadPass& Pass)
{
    {
        TUpdateBracket update(*this);
        const int before = ItemCount();
        // Gone: each item no entry of its kind was found for (or left out
        // of the index, as a second item of one name).
        const std::vector<TFileRec*> unfound = Pass.Old.Unfound();
        std::unordered_set<const TFileRec*> gone(unfound.begin(), unfound.end());
        gone.insert(Pass.Unindexed.begin(), Pass.Unindexed.end());
        RemoveRecords([&](const TFileRec& rec) {
            if (rec.IsParentDir)
                return false;
            return gone.contains(&rec) || (rec.IsDirectory && hideHiddenDirs_ && (rec.Attr & faHidden));
        });
        Pass.Changed = Pass.Changed || ItemCount() != before || !Pass.Fresh.empty();
        // The items whose place may have changed go after the others, which
        // keep the order they stood in, and the new ones after them: the
        // sort then merges them in.
        if (!Pass.Moved.empty())
            std::stable_partition(items_.begin(), items_.end(),
                                  [&](const TFileRec* rec) { return !Pass.Moved.contains(rec); });
        const size_t ordered = items_.size() - std::min(items_.size(), Pass.Moved.size());
        for (const TSearchRec& entry : Pass.Fresh)
            AddItem(entry);
        if (Pass.Changed) {
            if (SortAfterUpdate) {
                orderedHint_ = ordered;
                SortItems();
                orderedHint_ = 0;
            }
            MarkChanged();
        }
        if (!focused_ && !items_.empty()) {
            focused_ = items_.front();
            MarkChanged();
        }
    }
    loaded_ = true;
    scanPending_ = false;
    StartWorkers();
    StartSubDirScanner();
    MakeFocusedVisible();
    if (Pass.Changed)
        FireNotify(OnDirUpdated);
}

bool TDirViewCore::ReloadInPlace()
{
    CancelSlicedReload();
    const std::unique_ptr<TReloadPass> pass = StartReloadPass();
    IndexItems(*pass, items_.size());
    {
        TUpdateBracket update(*this);
        const uint32_t error = fs_.ListFolder(path_, [&](TSearchRec& entry) {
            CompareEntry(*pass, entry);
            return true;
        });
        if (error != 0 && error != kErrorFileNotFound)
            return false;
    }
    FinishReloadPass(*pass);
    return true;
}

bool TDirViewCore::BeginSlicedReload(std::vector<TSearchRec> Entries, uint32_t Error)
{
    CancelSlicedReload();
    if (loading_ || isVirtual_ || fullPathItems_ || !loaded_ || DeferredForSort())
        return false;
    if (Error != 0 && Error != kErrorFileNotFound)
        return false;
    sliced_ = StartReloadPass();
    sliced_->Entries = std::move(Entries);
    return true;
}

bool TDirViewCore::SlicedReloadStep(size_t Count)
{
    if (!sliced_)
        return false;
    TReloadPass& pass = *sliced_;
    // The items are indexed first, in slices too.
    if (IndexItems(pass, Count))
        return true;
    {
        TUpdateBracket update(*this);
        const size_t end = std::min(pass.Entries.size(), pass.Next + Count);
        for (; pass.Next < end; ++pass.Next)
            CompareEntry(pass, pass.Entries[pass.Next]);
    }
    if (pass.Next < pass.Entries.size())
        return true;
    // Out of sliced_ first: what the difference changes does not end it.
    std::unique_ptr<TReloadPass> done = std::move(sliced_);
    FinishReloadPass(*done);
    FreeReloadPass(std::move(done));
    return false;
}

void TDirViewCore::CancelSlicedReload()
{
    sliced_.reset();
}

// ---- Items ----------------------------------------------------------------------

TFileRec* TDirViewCore::GetItemData(int Index) const
{
    return Index >= 0 && Index < ItemCount() ? items_[static_cast<size_t>(Index)] : nullptr;
}

int TDirViewCore::IndexOf(const TFileRec* Item) const
{
    const auto found = std::find(items_.begin(), items_.end(), Item);
    return found == items_.end() || !Item ? -1 : static_cast<int>(found - items_.begin());
}

std::wstring TDirViewCore::ItemFullFileName(const TFileRec* Item) const
{
    if (!Item)
        return {};
    if (fullPathItems_)
        return Item->FileName;
    return path_ + L'\\' + Item->FileName;
}

std::wstring TDirViewCore::ItemParsingPath(const TFileRec* Item) const
{
    if (!Item || !isVirtual_)
        return {};
    const auto found = virtualPaths_.find(Item->FileName);
    return found == virtualPaths_.end() ? std::wstring() : found->second;
}

TPidlBytes TDirViewCore::ItemShellId(const TFileRec* Item) const
{
    if (!Item || !isVirtual_)
        return {};
    const auto found = virtualIds_.find(Item->FileName);
    return found == virtualIds_.end() ? TPidlBytes() : found->second;
}

std::wstring TDirViewCore::ItemFileName(const TFileRec* Item) const
{
    return Item ? Item->FileName : std::wstring();
}

std::wstring TDirViewCore::ItemBaseName(const TFileRec* Item) const
{
    return Item ? ExtractFileBaseName(Item->FileName) : std::wstring();
}

std::wstring TDirViewCore::ItemFileExt(const TFileRec* Item) const
{
    return Item ? ExtractFileExt(Item->FileName) : std::wstring();
}

TFileRec* TDirViewCore::FindFileItem(const std::wstring& Name) const
{
    const auto found =
        std::find_if(items_.begin(), items_.end(), [&](const TFileRec* rec) { return rec->FileName == Name; });
    return found == items_.end() ? nullptr : *found;
}

std::wstring TDirViewCore::DisplayPath(const std::wstring& Name) const
{
    return ApplyNameDisplay(Name, fileNameDisplay_);
}

void TDirViewCore::TakeOutOfTotals(const TFileRec& Item)
{
    Subtract(totalSize_, CountedSize(Item));
    if (Item.Selected) {
        --selCount_;
        Subtract(selectedSize_, CountedSize(Item));
    }
    if (Item.IsParentDir)
        hasParentItem_ = false;
    else if (Item.IsDirectory && dirCount_ > 0)
        --dirCount_;
    if (focused_ == &Item)
        focused_ = nullptr;
}

void TDirViewCore::RemoveRecords(const std::function<bool(const TFileRec&)>& Gone)
{
    // A re-read under way holds the records.
    CancelSlicedReload();
    // One pass that keeps the order, so a large folder is not shifted per item.
    const auto end = std::remove_if(items_.begin(), items_.end(), [&](TFileRec* rec) {
        if (!Gone(*rec))
            return false;
        TakeOutOfTotals(*rec);
        store_.Remove(*rec);
        return true;
    });
    if (end == items_.end())
        return;
    items_.erase(end, items_.end());
    MarkChanged();
}

void TDirViewCore::DeleteItem(int Index)
{
    CancelSlicedReload();
    TFileRec* item = GetItemData(Index);
    if (!item)
        return;
    TakeOutOfTotals(*item);
    items_.erase(items_.begin() + Index);
    store_.Remove(*item);
    MarkChanged();
}

bool TDirViewCore::DeferredForSort()
{
    // The sort's worker reads the records: they are neither freed nor read
    // anew until it is done.
    if (sorting_)
        loadAfterSort_ = true;
    return sorting_;
}

void TDirViewCore::ClearItems()
{
    if (DeferredForSort())
        return;
    CancelSlicedReload();
    TUpdateBracket update(*this);
    items_.clear();
    // Freed in one go, a large folder's on a thread of its own.
    disposer_.Dispose(store_);
    focused_ = nullptr;
    totalSize_ = selectedSize_ = 0;
    selCount_ = 0;
    dirCount_ = 0;
    hasParentItem_ = false;
    MarkChanged();
}

void TDirViewCore::ClearFileItems()
{
    TUpdateBracket update(*this);
    RemoveRecords([](const TFileRec& rec) { return !rec.IsParentDir; });
}

// ---- Selection and focus --------------------------------------------------------------

bool TDirViewCore::SetItemSelected(TFileRec& Item, bool Selected)
{
    if ((Selected && Item.IsParentDir) || Item.Selected == Selected)
        return false;
    Item.Selected = Selected;
    if (Selected) {
        ++selCount_;
        selectedSize_ += CountedSize(Item);
    } else {
        --selCount_;
        Subtract(selectedSize_, CountedSize(Item));
    }
    if (OnSelectItemNew)
        OnSelectItemNew(sender_, Item, Selected);
    return true;
}

void TDirViewCore::SelectRange(int From, int To, bool Selected)
{
    if (From < 0) {
        From = 0;
        To = ItemCount() - 1;
    }
    To = std::min(To, ItemCount() - 1);
    for (int i = From; i <= To; ++i)
        SetItemSelected(*items_[static_cast<size_t>(i)], Selected);
}

void TDirViewCore::SelectAllItems(bool Dirs)
{
    TUpdateBracket update(*this);
    TFileRec* firstSelected = nullptr;
    for (TFileRec* item : items_) {
        if (Dirs || !item->IsDirectory)
            SetItemSelected(*item, true);
        if (!firstSelected && item->Selected)
            firstSelected = item;
    }
    if (firstSelected && (!focused_ || !focused_->Selected))
        focused_ = firstSelected;
    MarkChanged();
}

int TDirViewCore::SelectMatching(const std::function<bool(const TFileRec&)>& Matches, bool Selected)
{
    TUpdateBracket update(*this);
    int matched = 0;
    for (TFileRec* item : items_) {
        if (item->IsParentDir || !Matches(*item))
            continue;
        ++matched;
        SetItemSelected(*item, Selected);
    }
    MarkChanged();
    return matched;
}

void TDirViewCore::InvertSelection(bool Dirs)
{
    TUpdateBracket update(*this);
    for (TFileRec* item : items_)
        if (Dirs || !item->IsDirectory)
            SetItemSelected(*item, !item->Selected);
    MarkChanged();
}

void TDirViewCore::ReplaceSelection(const std::vector<size_t>& Indexes)
{
    TUpdateBracket update(*this);
    for (TFileRec* item : items_)
        SetItemSelected(*item, false);
    for (size_t index : Indexes)
        if (index < items_.size())
            SetItemSelected(*items_[index], true);
    MarkChanged();
}

void TDirViewCore::SetItemFocused(TFileRec* Item)
{
    focused_ = Item;
}

// ---- Sorting ----------------------------------------------------------------------

void TDirViewCore::SortItems()
{
    SortBy({});
}

void TDirViewCore::SortBy(const TDirSortOptions& Options)
{
    // A re-read under way indexes the items in their order.
    CancelSlicedReload();
    if (SortNeedsTypeNames(Options.Kind))
        FetchTypeNames();
    const bool ready = itemsReady_;
    itemsReady_ = false;
    try {
        // The order is found without touching the records (a large folder
        // takes a noticeable time), then applied here.
        std::vector<const TFileRec*> recs(items_.begin(), items_.end());
        std::vector<uint32_t> order;
        {
            sorting_ = true;
            ScopeExit sorted([this] { sorting_ = false; });
            const size_t ordered = std::exchange(orderedHint_, 0);
            RunAnswering([&] { order = SortedOrderAfterAdding(recs, ordered, Options, *collator_); });
        }
        ApplySortedOrder(items_, order);
    } catch (...) {
        itemsReady_ = ready;
        PassOnLoadAfterSort();
        throw;
    }
    itemsReady_ = ready;
    MarkChanged();
    PassOnLoadAfterSort();
}

void TDirViewCore::PassOnLoadAfterSort()
{
    if (!loadAfterSort_)
        return;
    loadAfterSort_ = false;
    LoadAfterSort();
}

void TDirViewCore::SetCollator(std::shared_ptr<const TSortCollator> Collator)
{
    if (Collator)
        collator_ = std::move(Collator);
}

// ---- Type names and icons ----------------------------------------------------------

bool TDirViewCore::IsNotCached(const TFileRec& Item) const
{
    if (Item.Ext.empty())
        return false;
    int index;
    return shell_.NotCachedExts().Find(L"." + Item.Ext, index);
}

TItemShellInfo QueryItemShellInfo(TDirShellInfo& Shell, const TIconQuery& Query)
{
    const TShellIcons& icons = Shell.Icons();
    // Counted after the question: the list grows as the shell meets new icons.
    const auto usable = [&Shell](int index) { return index >= 1 && index < Shell.SmallImageCount(); };
    TItemShellInfo answer;
    TShellFileInfo info;
    if (!Query.IsDirectory) {
        // From the attributes alone on a CD, so that no disc spins up;
        // elsewhere the file itself decides (programs, shortcuts, icons).
        const bool ok =
            Shell.GetInfo(Query.Path, Query.Attr ? Query.Attr : kNormalFileAttr,
                          TDirShellInfo::wiTypeName | TDirShellInfo::wiIcon, Query.DriveType == kDriveCDRom, info);
        answer.TypeName = ok ? info.TypeName : std::wstring();
        answer.ImageIndex = ok && usable(info.IconIndex) ? info.IconIndex : icons.DefaultFileIcon;
        return answer;
    }
    if (Query.DriveType != kDriveFixed) {
        answer.TypeName = icons.FolderTypeName;
        answer.ImageIndex = icons.FolderIcon;
        return answer;
    }
    using W = TDirShellInfo;
    bool ok = Shell.GetInfo(Query.Path, faDirectory, W::wiTypeName | W::wiIcon | W::wiShared, false, info);
    if (!ok || !usable(info.IconIndex)) {
        TShellFileInfo plain;
        if (Shell.GetInfo(Query.Path, faDirectory, W::wiTypeName | W::wiIcon, true, plain)) {
            info.IconIndex = plain.IconIndex;
            if (info.TypeName.empty())
                info.TypeName = plain.TypeName;
            ok = true;
        }
    }
    answer.TypeName = info.TypeName;
    answer.ImageIndex = ok && usable(info.IconIndex) ? info.IconIndex : icons.FolderIcon;
    answer.Shared = info.Shared;
    return answer;
}

TIconQuery TDirViewCore::IconQueryOf(const TFileRec& Item) const
{
    return TIconQuery{ItemFullFileName(&Item), Item.Attr, Item.IsDirectory, driveType_};
}

void TDirViewCore::TakeShellInfo(TFileRec& Item, const TItemShellInfo& Info)
{
    Item.TypeName = Info.TypeName;
    Item.ImageIndex = Info.ImageIndex;
    if (Info.Shared)
        Item.OverlayIndex = 0;
    Item.IconEmpty = false;
    if (!Item.TypeName.empty() && UseIconCache && !Item.IsDirectory && !IsNotCached(Item))
        iconCache_.Add(std::make_unique<TIconCacheRec>(TIconCacheRec{Item.Ext, Item.TypeName, Item.ImageIndex}));
    FinishFileInfo(Item);
}

void TDirViewCore::FinishFileInfo(TFileRec& Item)
{
    if (Item.TypeName.empty())
        Item.TypeName =
            Item.IsDirectory ? shell_.Icons().FolderTypeName : FormatText(texts_.TypeNameFallback, {Item.Ext});
    Item.InfoEmpty = false;
}

void TDirViewCore::LookUpIconCache(TFileRec& Item)
{
    if (Item.DisplayName.empty())
        Item.DisplayName = MakeDisplayName(Item.FileName, Item.IsDirectory, showExtension_, fileNameDisplay_);
    if (!UseIconCache || Item.IsDirectory || IsNotCached(Item))
        return;
    const int found = iconCache_.FindSorted(Item.Ext, TByExt{});
    if (found >= 0) {
        const TIconCacheRec& hit = *iconCache_.GetItem(found);
        Item.TypeName = hit.TypeName;
        Item.ImageIndex = hit.ImageIndex;
        Item.InfoEmpty = Item.IconEmpty = false;
    }
}

void TDirViewCore::TypeNameFromAttributes(TFileRec& Item)
{
    const TShellIcons& icons = shell_.Icons();
    TShellFileInfo info;
    if (shell_.GetInfo(ItemFullFileName(&Item), Item.IsDirectory ? faDirectory : kNormalFileAttr,
                       TDirShellInfo::wiTypeName, true, info))
        Item.TypeName = info.TypeName;
    if (Item.IconEmpty)
        Item.ImageIndex = Item.IsDirectory     ? icons.FolderIcon
                          : Item.Ext == L"EXE" ? icons.ExeIcon
                                               : icons.DefaultFileIcon;
    FinishFileInfo(Item);
}

void TDirViewCore::GetFileInfo(TFileRec& Item, bool WithIcon)
{
    LookUpIconCache(Item);
    if (Item.IconEmpty && (WithIcon || !IsNotCached(Item)))
        TakeShellInfo(Item, QueryItemShellInfo(shell_, IconQueryOf(Item)));
    else if (Item.InfoEmpty)
        TypeNameFromAttributes(Item);
}

void TDirViewCore::GetTypeName(TFileRec& Item)
{
    LookUpIconCache(Item);
    if (Item.InfoEmpty)
        TypeNameFromAttributes(Item);
}

void TDirViewCore::FetchTypeNames()
{
    // A query by attributes names the type by the extension alone, so one
    // answer serves every item of that extension.
    std::map<std::pair<bool, std::wstring>, std::wstring> names;
    for (TFileRec* item : items_) {
        if (!item->InfoEmpty)
            continue;
        auto [found, added] = names.try_emplace({item->IsDirectory, item->Ext});
        if (added) {
            TShellFileInfo info;
            if (shell_.GetInfo(ItemFullFileName(item), item->IsDirectory ? faDirectory : kNormalFileAttr,
                               TDirShellInfo::wiTypeName, true, info))
                found->second = info.TypeName;
            if (found->second.empty())
                found->second = item->IsDirectory ? shell_.Icons().FolderTypeName
                                                  : FormatText(texts_.TypeNameFallback, {item->Ext});
        }
        item->TypeName = found->second;
        item->InfoEmpty = false;
    }
}

void TDirViewCore::FetchAllFileInfo()
{
    for (const auto& item : items_)
        if (item->InfoEmpty)
            GetFileInfo(*item, false);
}

// ---- Options ----------------------------------------------------------------------

// ---- Folder sizes ---------------------------------------------------------------------

void TDirViewCore::SetShowSubDirSize(bool Value)
{
    scanPending_ = false;
    if (Value == showSubDirSize_)
        return;
    showSubDirSize_ = Value;
    if (Value) {
        StartSubDirScanner();
        return;
    }
    StopSubDirScanner();
    TUpdateBracket update(*this);
    for (TFileRec* item : items_) {
        if (!item->IsDirectory || SizeUnknown(*item))
            continue;
        totalSize_ -= item->Size;
        if (item->Selected)
            selectedSize_ -= item->Size;
        item->Size = kUnknownDirSize;
        item->SubDirSizeDone = false;
    }
    MarkChanged();
    FireNotify(OnDirUpdated);
}

void TDirViewCore::SetAutoStartThreads(bool Value)
{
    if (Value == autoStartThreads_)
        return;
    autoStartThreads_ = Value;
    if (Value && loaded_)
        StartSubDirScanner();
}

void TDirViewCore::StartSubDirScanner()
{
    // Only real folders are summed: a shell folder's or the recycle bin's
    // items have no folder below them to walk.
    if (!loaded_ || isVirtual_ || fullPathItems_ || !showDirectories_ || !showSubDirSize_ || IsRecycleBinFolder())
        return;
    if (!autoStartThreads_) {
        scanPending_ = true;
        return;
    }
    scanPending_ = false;
    MarkChanged();
    std::vector<TDirScanJob> jobs;
    for (const TFileRec* item : items_)
        if (item->IsDirectory && !item->IsParentDir && !item->SubDirSizeDone)
            jobs.push_back({item->Serial, ItemFullFileName(item)});
    for (const TDirScanJob& job : dirScans_.Add(std::move(jobs)))
        RunDirScan(job);
}

void TDirViewCore::StopSubDirScanner()
{
    scanPending_ = false;
    if (dirScans_.Idle())
        return;
    dirScans_.Clear();
    EndDirScans();
}

void TDirViewCore::RestartSubDirScanner()
{
    if (!showSubDirSize_)
        return;
    SetShowSubDirSize(false);
    SetShowSubDirSize(true);
}

int TDirViewCore::IndexOfSerial(uint64_t Serial, int Hint) const
{
    if (Hint >= 0 && Hint < ItemCount() && items_[static_cast<size_t>(Hint)]->Serial == Serial)
        return Hint;
    const auto found = std::ranges::find_if(items_, [Serial](const TFileRec* item) { return item->Serial == Serial; });
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TDirViewCore::DirScanEnded(uint64_t Serial, std::optional<uint64_t> Total)
{
    if (Total) {
        const int index = IndexOfSerial(Serial, -1);
        if (index >= 0 && itemsReady_) {
            TFileRec& item = *items_[static_cast<size_t>(index)];
            if (item.IsDirectory && !item.SubDirSizeDone) {
                item.SubDirSizeDone = true;
                item.Size = *Total;
                totalSize_ += *Total;
                if (item.Selected)
                    selectedSize_ += *Total;
                RedrawItem(index);
                if (OnFileSizeChanged)
                    OnFileSizeChanged(sender_, item);
            }
        }
    }
    const size_t running = dirScans_.RunningCount();
    if (const auto next = dirScans_.Ended(Serial))
        RunDirScan(*next);
    else if (dirScans_.RunningCount() < running && dirScans_.Idle() && !loading_) {
        if (SortedBySize())
            SortItems();
        if (IsTileView())
            RelayoutTiles();
    }
}

void TDirViewCore::SetShowDirectories(bool Value)
{
    if (Value == showDirectories_)
        return;
    showDirectories_ = Value;
    if (loaded_)
        Reload(true);
}

void TDirViewCore::SetHideHiddenDirs(bool Value)
{
    if (Value == hideHiddenDirs_)
        return;
    hideHiddenDirs_ = Value;
    if (loaded_)
        ReloadDirectory();
}

void TDirViewCore::SetShowExtension(bool Value)
{
    if (Value == showExtension_)
        return;
    showExtension_ = Value;
    RecomputeDisplayNames();
}

void TDirViewCore::SetFileNameDisplay(TFileNameDisplay Value)
{
    if (Value == fileNameDisplay_)
        return;
    fileNameDisplay_ = Value;
    RecomputeDisplayNames();
}

void TDirViewCore::RecomputeDisplayNames()
{
    if (fullPathItems_ || items_.empty())
        return;
    TUpdateBracket update(*this);
    for (const auto& item : items_)
        if (!item->IsParentDir)
            item->DisplayName = MakeDisplayName(item->FileName, item->IsDirectory, showExtension_, fileNameDisplay_);
    MarkChanged();
}

}  // namespace qrv
