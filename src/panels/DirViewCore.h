#pragma once
// TDirViewCore: what a directory list does without a window. It reads a
// folder into its own vector of TFileRec (filters, events, the ".." item,
// the folder left focused after going up), re-reads it in place keeping
// items, selection and icons, keeps the totals and the selection, fetches
// type names and icons with a per-extension cache, and tells the window
// through a few virtual hooks. The file system and the shell come in as
// interfaces (panels/DirViewSystem.h). Portable; the list control is
// panels/win/DirView.h.

#include "common/ListExt.h"
#include "framework/Component.h"
#include "framework/StringList.h"
#include "panels/DirFilter.h"
#include "panels/DirScanSchedule.h"
#include "panels/DirViewSort.h"
#include "panels/DirViewSystem.h"
#include "panels/DirViewTexts.h"
#include "panels/FileRec.h"
#include "panels/FileRecStore.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qrv {

class TDirViewCore;

// A candidate entry of a load; the handler may change it or veto it.
using TDirViewAddFileEvent = std::function<void(TComponent* Sender, TSearchRec& SearchRec, bool& AddFile)>;
using TDirViewFileSizeChanged = std::function<void(TComponent* Sender, TFileRec& Item)>;
using TOnErrorEvent = std::function<void(TComponent* Sender, const std::wstring& Path, uint32_t LastError)>;
using TSelectItemEvent = std::function<void(TComponent* Sender, TFileRec& Item, bool Selected)>;

// One entry of the type-name and icon cache, keyed by the whole extension.
struct TIconCacheRec {
    std::wstring Ext;
    std::wstring TypeName;
    int32_t ImageIndex = 0;
};

// After going up from LastPath to Path: the name of the folder under Path
// that LastPath lies in ("C:\a", "C:\a\b\c" give "b"); empty when LastPath
// is not below Path.
std::wstring FolderLeftBehind(std::wstring_view Path, std::wstring_view LastPath);
// Case-insensitive name order with ".." first and directories before files.
int CompareByName(const TFileRec& A, const TFileRec& B);

// What the shell is asked about an item for its icon: copies, so that a
// worker can ask while the list goes on.
struct TIconQuery {
    std::wstring Path;  // the item's full name
    uint32_t Attr = 0;
    bool IsDirectory = false;
    int DriveType = 0;  // kDrive...
};

// The shell's answer for an item's icon.
struct TItemShellInfo {
    std::wstring TypeName;  // empty when the shell has none
    int ImageIndex = 0;
    bool Shared = false;  // a folder shared on the network
};

// The type name and small icon of an item: a file by the file itself (on a
// CD by its attributes alone, so that no disc spins up), a folder on a fixed
// drive by its path (and whether it is shared), other folders the folder
// icon; an index the small system list does not hold gives the default file
// or folder icon. Safe on any thread when Shell is.
TItemShellInfo QueryItemShellInfo(TDirShellInfo& Shell, const TIconQuery& Query);

class TDirViewCore {
public:
    // Sender is what the events pass (the list control; nullptr in tests).
    TDirViewCore(TComponent* Sender, TDirFileSystem& FileSystem, TDirShellInfo& Shell, const TDirViewTexts& Texts);
    virtual ~TDirViewCore();
    TDirViewCore(const TDirViewCore&) = delete;
    TDirViewCore& operator=(const TDirViewCore&) = delete;

    // ---- Path and loading ----------------------------------------------------

    // Without a trailing backslash: "X:" for a drive root.
    const std::wstring& Path() const { return path_; }
    // Path, with a "\" after a bare drive.
    std::wstring GetPath() const;
    const std::wstring& LastPath() const { return lastPath_; }
    // Reads the folder when the path (trailing backslashes removed) differs.
    void SetPath(const std::wstring& Path);
    // Takes the path without reading the disk and reports a finished load.
    void SetPathOnly(const std::wstring& Path);
    // True when Path names the folder shown, in any letter case; the path
    // then takes Path's spelling, without reading the folder again.
    bool AdoptPathSpelling(const std::wstring& Path);
    // True when Path exists. Otherwise moves up to the nearest existing
    // parent and reads it, or, when not even the root is left, empties the
    // list; false either way.
    bool CheckPathExists();

    bool LoadEnabled() const { return loadEnabled_; }
    // Turning it on carries out a load asked for meanwhile.
    void SetLoadEnabled(bool Value);
    // Turns loading on and re-reads in place.
    void RefreshDirectory();

    void LoadFromDisk(const std::wstring& Path);
    // Re-reads the folder in place, keeping unchanged items, their icons and
    // the selection.
    void ReloadDirectory();
    // Reads the folder again and restores focus, selection and (KeepIcons)
    // the per-file icons.
    void Reload(bool KeepIcons);

    // A re-read in place whose search ran beside the window's thread: the
    // entries found (Error as ListFolder gives it) are compared with the
    // items a slice at a time, and the difference is applied after the
    // last. False when the list cannot take them so (loading, not loaded,
    // a shell folder or a full-path list, a failed search): ReloadDirectory
    // then. Anything else that changes the items ends the re-read unfinished.
    [[nodiscard]] bool BeginSlicedReload(std::vector<TSearchRec> Entries, uint32_t Error);
    // Compares up to Count more entries; after the last it applies the
    // difference. True while entries remain.
    bool SlicedReloadStep(size_t Count);
    bool SlicedReloadPending() const { return sliced_ != nullptr; }
    void CancelSlicedReload();

    bool LoadPending() const { return loadPending_; }
    bool AbortLoad() const { return abortLoad_; }
    bool Loading() const { return loading_; }
    // The folder was read from disk and exists.
    bool Loaded() const { return loaded_; }
    bool IsVirtual() const { return isVirtual_; }
    bool FullPathItems() const { return fullPathItems_; }
    // The shell's recycle bin, listed when the list is asked for a recycle
    // bin folder of a drive ("X:\RECYCLER", "X:\$Recycle.Bin"); none: such
    // a folder is read as any other.
    void SetShellFolders(TDirShellFolders* Folders) { shellFolders_ = Folders; }
    // The folder shown is a drive's recycle bin.
    bool IsRecycleBinFolder() const;
    // Lists a shell folder of the tree (the network's): its file-system
    // entries, by their shown names. Path is the tree's text for the node;
    // ParentItem: the node is below the tree's top level and gets "..".
    // Folder empty: an internal error (Exception). False when the shell
    // could not list the folder (the list is left empty then).
    bool LoadVirtualNode(const std::shared_ptr<void>& Folder, const std::wstring& Path, bool ParentItem);
    bool HasParentItem() const { return hasParentItem_; }
    // The file-system path of an item of a listed shell folder; empty when
    // it has none (the item is known to the shell only) or the list shows
    // no shell folder.
    std::wstring ItemParsingPath(const TFileRec* Item) const;
    // The listed shell folder (as the tree bound it; empty for a plain
    // folder) and an item's identifier in it (empty when unknown): the
    // shell copies items without a path from these.
    const std::shared_ptr<void>& VirtualFolder() const { return virtualFolder_; }
    TPidlBytes ItemShellId(const TFileRec* Item) const;
    // False while a load or a sort runs: the display answers no queries then.
    bool ItemsReady() const { return itemsReady_; }
    bool ScanPending() const { return scanPending_; }
    // Whether the folder Path holds a subfolder (hidden ones counted unless
    // HideHidden), answered from the items this list has read, so that the
    // folder is not searched again; nothing when the list cannot tell:
    // another folder, not read (or still reading), or a load that left out
    // folders which would count.
    std::optional<bool> KnownSubDirs(std::wstring_view Path, bool HideHidden) const;
    int DriveType() const { return driveType_; }
    uint32_t DirCount() const { return dirCount_; }
    uint64_t TotalSize() const { return totalSize_; }
    uint64_t SelectedSize() const { return selectedSize_; }

    // ---- Items -----------------------------------------------------------------

    int ItemCount() const { return static_cast<int>(items_.size()); }
    // Items without "..".
    int EntryCount() const { return ItemCount() - (hasParentItem_ ? 1 : 0); }
    // nullptr beyond the end.
    TFileRec* GetItemData(int Index) const;
    // The item's index, -1 when it is not in the list.
    int IndexOf(const TFileRec* Item) const;
    std::wstring ItemFullFileName(const TFileRec* Item) const;
    std::wstring ItemFileName(const TFileRec* Item) const;
    std::wstring ItemBaseName(const TFileRec* Item) const;
    std::wstring ItemFileExt(const TFileRec* Item) const;
    // The first item whose FileName is Name exactly.
    TFileRec* FindFileItem(const std::wstring& Name) const;
    // Name in the FileNameDisplay style.
    std::wstring DisplayPath(const std::wstring& Name) const;

    // Adds one entry of a search as an item.
    TFileRec& AddItem(const TSearchRec& SearchRec);
    void AddParentDirItem();
    // Removes the item, taking its size and count out of the totals.
    void DeleteItem(int Index);
    // Removes every item Gone names, in one pass that keeps the order.
    void DeleteItems(const std::function<bool(const TFileRec&)>& Gone) { RemoveRecords(Gone); }
    // Every item; ClearFileItems keeps "..".
    void ClearItems();
    void ClearFileItems();

    // ---- Sorting ----------------------------------------------------------------------

    // Sorts the records by Options, fetching type names first when the
    // order reads them; keys come from the collator, made once per item.
    void SortBy(const TDirSortOptions& Options);
    // The text order of names and types (the locale's; TFoldCollator until set).
    void SetCollator(std::shared_ptr<const TSortCollator> Collator);

    // ---- Selection and focus -----------------------------------------------------

    // ".." is never selected; a change moves the item's size in or out of
    // SelectedSize and fires OnSelectItemNew. False when nothing changed.
    bool SetItemSelected(TFileRec& Item, bool Selected);
    // Indices From..To inclusive; a negative From means every item.
    void SelectRange(int From, int To, bool Selected);
    int SelCount() const { return selCount_; }
    // Selects every file, and with Dirs every folder too (never ".."); a
    // focused item left unselected hands the focus to the first selected one.
    void SelectAllItems(bool Dirs);
    // Toggles the selection of every file, and with Dirs of every folder.
    void InvertSelection(bool Dirs);
    // Sets the selection of every item Matches takes to Selected (never
    // ".."), the others keep theirs; shown once at the end. Returns the
    // number of items taken.
    int SelectMatching(const std::function<bool(const TFileRec&)>& Matches, bool Selected);
    TFileRec* ItemFocused() const { return focused_; }
    void SetItemFocused(TFileRec* Item);
    // Clears the selection and selects the items at Indexes (indexes past
    // the end are skipped); the list shows the new selection at once.
    void ReplaceSelection(const std::vector<size_t>& Indexes);

    // ---- Type names and icons ------------------------------------------------------

    void GetFileInfo(TFileRec& Item, bool WithIcon);
    // The type name alone, from the attributes (the shell reads nothing),
    // with the default icon while the item's own is not fetched: for an
    // icon fetched elsewhere (panels/win/DirView.h, UseIconUpdateThread).
    void GetTypeName(TFileRec& Item);
    // The type names of every item still without one.
    void FetchAllFileInfo();
    // The type names of every item still without one, one shell query per
    // extension (and one for folders); icons are left for the display.
    void FetchTypeNames();
    const TListExt<TIconCacheRec>& IconCache() const { return iconCache_; }

    // ---- Options -----------------------------------------------------------------------

    TLoadFilter Filter;  // the load filter properties (Sel*)
    bool ShowAnimation = false;
    bool UseIconCache = false;
    bool SortAfterUpdate = true;
    bool ShowParentArrow = true;
    // Select the focused item after a load.
    bool SelDir = false;
    // Set by the main window around a paste: new items come selected.
    bool SelectNewItems = false;

    bool ShowDirectories() const { return showDirectories_; }
    // Reads the folder again (keeping icons) when it is loaded.
    void SetShowDirectories(bool Value);
    bool HideHiddenDirs() const { return hideHiddenDirs_; }
    // Re-reads in place.
    void SetHideHiddenDirs(bool Value);
    bool ShowExtension() const { return showExtension_; }
    void SetShowExtension(bool Value);
    TFileNameDisplay FileNameDisplay() const { return fileNameDisplay_; }
    void SetFileNameDisplay(TFileNameDisplay Value);

    const TDirViewTexts& Texts() const { return texts_; }

    // ---- Folder sizes -------------------------------------------------------------

    // With directories shown and ShowSubDirSize on, a loaded folder's
    // subfolders are summed by scans beside the window, at most
    // MaxSubDirScanner at once, each answer filling in its item's size and
    // the totals. Without AutoStartThreads a start is only noted
    // (ScanPending) until the window starts it when idle.
    bool ShowSubDirSize() const { return showSubDirSize_; }
    // Off: the scans stop and every folder's size is unknown again.
    void SetShowSubDirSize(bool Value);
    unsigned MaxSubDirScanner() const { return dirScans_.MaxRunning(); }
    void SetMaxSubDirScanner(unsigned Value) { dirScans_.SetMaxRunning(Value); }
    bool AutoStartThreads() const { return autoStartThreads_; }
    // On with a loaded folder: the scans start.
    void SetAutoStartThreads(bool Value);
    void StartSubDirScanner();
    // The waiting scans are dropped and the running ones told to end; none
    // of them reports.
    void StopSubDirScanner();
    // Off and on again, when ShowSubDirSize is on.
    void RestartSubDirScanner();
    size_t DirScansRunning() const { return dirScans_.RunningCount(); }
    size_t DirScansWaiting() const { return dirScans_.WaitingCount(); }
    // On the window's thread, as a scan started by RunDirScan ends: Total
    // when the whole sum succeeded. The item of Serial, while it is still
    // listed, takes it; the next waiting scan starts; after the last the
    // list re-sorts when sorted by size.
    void DirScanEnded(uint64_t Serial, std::optional<uint64_t> Total);

    // ---- Events ---------------------------------------------------------------------

    TNotifyEvent OnStartLoading;
    TNotifyEvent OnLoaded;
    TNotifyEvent OnDirUpdated;
    TDirViewAddFileEvent OnAddFile;
    TDirViewFileSizeChanged OnFileSizeChanged;
    TOnErrorEvent OnError;
    TSelectItemEvent OnSelectItemNew;

protected:
    // ---- Hooks of the list control; the defaults do nothing ---------------------------

    // The mask the load filter matches names with ("*.*" and the like).
    virtual std::wstring LoadMask() const = 0;
    // Sorts the items by the list's sort order; the default is by name.
    virtual void SortItems();
    // The records, their order, the selection or the focus changed: show
    // them again. Called when the outermost update bracket closes.
    virtual void ItemsChanged() {}
    virtual void ViewBeginUpdate() {}
    virtual void ViewEndUpdate() {}
    // Every 100 items added during a load.
    virtual void LoadProgress(int /*Added*/) {}
    // Runs Work, which reads the records but changes nothing of the list,
    // and returns when it is done; a window may run it on another thread and
    // answer what is sent to it meanwhile. Exceptions of Work come through.
    virtual void RunAnswering(const std::function<void()>& Work) { Work(); }
    // Something answered during RunAnswering asked to read or empty the
    // list, which had to wait for the sort: read Path() again once the
    // present call chain has returned.
    virtual void LoadAfterSort() {}
    // An open name edit is ended before the records or the folder change,
    // so what was typed reaches the item it was typed for, never the item
    // in the same place of the next folder.
    virtual void EndNameEdit() {}
    // An hourglass for the time of a load or re-read.
    virtual void ShowBusy(bool /*Busy*/) {}
    virtual void MakeFocusedVisible() {}
    // The change monitor, the size scanners and the icon thread.
    virtual void StopWorkers() {}
    virtual void StartWorkers() {}
    // A load found out whether its folder exists (Loaded), before reading
    // it: the change watch moves to the folder now, so nothing changed
    // during the read is missed.
    virtual void WatchFolder() {}
    virtual bool IsThumbView() const { return false; }
    // Starts a scan beside the window that reports through DirScanEnded.
    virtual void RunDirScan(const TDirScanJob& /*Job*/) {}
    // Every scan RunDirScan started is told to end, and never reports.
    virtual void EndDirScans() {}
    // After the last scan: a list sorted by size sorts again, tiles are laid
    // out again.
    virtual bool SortedBySize() const { return false; }
    virtual bool IsTileView() const { return false; }
    virtual void RelayoutTiles() {}
    // One item's look changed (its size).
    virtual void RedrawItem(int /*Index*/) {}

    // Orders the records with Compare (negative, 0, positive), ties in
    // their present order; ".." goes where Compare puts it.
    template <class Compare>
    void SortRecords(Compare compare)
    {
        CancelSlicedReload();
        const bool ready = itemsReady_;
        itemsReady_ = false;
        std::stable_sort(items_.begin(), items_.end(),
                         [&compare](const TFileRec* a, const TFileRec* b) { return compare(*a, *b) < 0; });
        itemsReady_ = ready;
        MarkChanged();
    }

    // Opens an update bracket (ViewBeginUpdate) that closes however the
    // block ends.
    class TUpdateBracket {
    public:
        explicit TUpdateBracket(TDirViewCore& Core);
        ~TUpdateBracket();
        TUpdateBracket(const TUpdateBracket&) = delete;
        TUpdateBracket& operator=(const TUpdateBracket&) = delete;

    private:
        TDirViewCore& core_;
    };
    // Something the list shows changed; shown when the brackets close.
    void MarkChanged();
    // The shell question for Item's icon, and its answer taken into Item
    // (icon, type name, share overlay, the icon cache).
    TIconQuery IconQueryOf(const TFileRec& Item) const;
    void TakeShellInfo(TFileRec& Item, const TItemShellInfo& Info);

    TComponent* sender_;
    TDirFileSystem& fs_;
    TDirShellInfo& shell_;
    TDirShellFolders* shellFolders_ = nullptr;

private:
    TDirFilter MakeFilter() const;
    // While the order is found: notes a load or re-read for after the sort
    // and says so.
    bool DeferredForSort();
    void PassOnLoadAfterSort();
    // Whether the folder is below a drive root and gets "..".
    bool WantsParentItem() const { return path_.size() > 2; }
    // The shell's recycle bin in place of the folder's entries: ".." first,
    // the entries under their names before deletion, files by the filter.
    void LoadRecycleBin(const TDirFilter& Filter);
    void ReserveItem();
    void FinishLoad();
    bool ReloadInPlace();
    // One re-read's comparison: the items by name, the names found with
    // their directory bit, the entries to add.
    struct TReloadPass;
    std::unique_ptr<TReloadPass> StartReloadPass();
    // Indexes up to Count more items by name; true while items remain.
    bool IndexItems(TReloadPass& Pass, size_t Count);
    void CompareEntry(TReloadPass& Pass, const TSearchRec& Entry);
    void FinishReloadPass(TReloadPass& Pass);
    std::unique_ptr<TReloadPass> sliced_;
    // A finished pass's index and entries (a string per item) are freed on
    // a thread of their own; the one before is waited for.
    void FreeReloadPass(std::unique_ptr<TReloadPass> Pass);
    std::thread passFreer_;
    // The first this many items still stand in the order of the last sort:
    // the next SortBy checks that and merges the others in. Taken by it.
    size_t orderedHint_ = 0;
    void RemoveRecords(const std::function<bool(const TFileRec&)>& Gone);
    void TakeOutOfTotals(const TFileRec& Item);
    void RecomputeDisplayNames();
    bool IsNotCached(const TFileRec& Item) const;
    // The display name when missing; with UseIconCache, type name and icon
    // from the cache.
    void LookUpIconCache(TFileRec& Item);
    // The type name as the shell gives it for the attributes and the name,
    // the default icon while IconEmpty.
    void TypeNameFromAttributes(TFileRec& Item);
    // The type-name fallback when the shell named none; InfoEmpty false.
    void FinishFileInfo(TFileRec& Item);
    void FireNotify(const TNotifyEvent& Event) const;

    const TDirViewTexts& texts_;
    // The records live in the store; items_ holds them in the list's order.
    TFileRecStore store_;
    TFileRecDisposer disposer_;
    std::vector<TFileRec*> items_;
    std::shared_ptr<const TSortCollator> collator_;
    TListExt<TIconCacheRec> iconCache_;
    TFileRec* focused_ = nullptr;

    std::wstring path_;
    std::wstring lastPath_;
    bool loadEnabled_ = true;
    bool loadPending_ = false;
    bool abortLoad_ = false;
    bool loading_ = false;
    bool sorting_ = false;        // the order is being found; the records must stay
    bool loadAfterSort_ = false;  // a load or re-read waited for the sort
    bool loaded_ = false;
    bool isVirtual_ = false;
    // A listed shell folder's items with a place in the file system: their
    // paths by the items' names.
    std::map<std::wstring, std::wstring> virtualPaths_;
    // The listed shell folder and its items' identifiers by their names.
    std::shared_ptr<void> virtualFolder_;
    std::map<std::wstring, TPidlBytes> virtualIds_;
    bool fullPathItems_ = false;
    bool hasParentItem_ = false;
    bool itemsReady_ = true;
    bool scanPending_ = false;
    bool showSubDirSize_ = false;
    bool autoStartThreads_ = false;
    TDirScanSchedule dirScans_;
    // The index of the item of Serial (Hint first), -1 when it is gone.
    int IndexOfSerial(uint64_t Serial, int Hint) const;
    int driveType_ = 0;
    uint32_t dirCount_ = 0;
    uint64_t totalSize_ = 0;
    uint64_t selectedSize_ = 0;
    int selCount_ = 0;

    bool showDirectories_ = true;
    bool hideHiddenDirs_ = false;
    bool showExtension_ = true;
    TFileNameDisplay fileNameDisplay_ = TFileNameDisplay::fndStored;

    int updateDepth_ = 0;
    bool changed_ = false;
};

}  // namespace qrv
