#pragma once
// TDirView: a file list of the main window. An owner-data report list on
// the sortable list view: the control holds only a count and asks for what
// it draws, answered from the records of TDirViewCore (panels/DirViewCore.h),
// which reads and re-reads the folder. Selection and focus live in the
// records, so they follow the items through sorts and re-reads; the control
// is told again whenever the records change.

#include "common/DragDropRules.h"
#include "panels/DirViewCells.h"
#include "panels/DirViewColumns.h"
#include "panels/DirViewCore.h"
#include "panels/win/KyImageList.h"
#include "panels/win/KyListView.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qrv {

class TDiscMonitor;
class TDriveView;
class TFileDeleteThread;
class TFileOperator;
class TPaneDropSite;
class TPaneDragDrop;
class TPicture;
class TPopupMenu;
class TSubDirScanTicket;
struct TSubDirScanNext;

// The system's error code of the last failed creation of a file or folder by
// a list or the tree; 0 after a success.
extern uint32_t LastFileError;

// User message a list posts to itself to open the name editor again after a
// failed rename.
constexpr UINT WM_DIRVIEW_REEDIT = WM_USER + 0x141;

// The characters of Strg+A, Strg+C, Strg+D, Strg+V, Strg+X and Strg+Z: their
// keys are file commands, so the panes never search by them.
inline bool IsFileCommandChar(WPARAM Char)
{
    return Char == 1 || Char == 3 || Char == 4 || Char == 22 || Char == 24 || Char == 26;
}

// Posted to a list that was asked to read its folder while it sorted.
constexpr UINT kLoadAfterSortMessage = WM_APP + 0x131;
// Posted to a list by its icon thread when answers wait.
constexpr UINT kIconsReadyMessage = WM_APP + 0x132;

// Before an item is opened; setting AllowExec to false stops it.
using TDirViewExecFileEvent = std::function<void(TComponent* Sender, TFileRec& Item, bool& AllowExec)>;

class TDirView : public TKyListView, public TDirViewCore {
public:
    explicit TDirView(TComponent* owner);
    ~TDirView() override;

    // The records' names win over the control's item calls of the same name.
    using TDirViewCore::AddItem;
    using TDirViewCore::ClearItems;
    using TDirViewCore::DeleteItem;
    using TDirViewCore::ItemCount;
    using TDirViewCore::ItemFocused;
    using TDirViewCore::SelCount;
    using TDirViewCore::SetItemFocused;

    // A changed mask re-reads the folder in place.
    void SetMask(const std::wstring& value) override;

    // A time in the list's date-time format, local; empty when it has none.
    std::wstring FormatFileTime(uint64_t FileTime) const;
    // The same in the system's long date format.
    std::wstring FormatFileDate(uint64_t FileTime) const;

    // ---- Sorting and display options ------------------------------------------

    bool DirsOnTop() const { return dirsOnTop_; }
    // Re-sorts when directories are shown and a folder is loaded.
    void SetDirsOnTop(bool Value);
    bool SortByExtension() const { return sortByExtension_; }
    // Re-sorts when sorted by type, else repaints (the type column changes).
    void SetSortByExtension(bool Value);
    bool SortDirTime() const { return sortDirTime_; }
    // Re-sorts when sorted by date.
    void SetSortDirTime(bool Value);
    bool AbbreviatedSize() const { return cells_.AbbreviatedSize; }
    void SetAbbreviatedSize(bool Value);
    // The folder sizes' column follows; the scans start or stop.
    void SetShowSubDirSize(bool Value);
    const std::wstring& AttrSpace() const { return cells_.AttrSpace; }
    void SetAttrSpace(const std::wstring& Value);
    // Text colours (0x00BBGGRR) of compressed and of hidden items.
    uint32_t CompressedColor() const { return compressedColor_; }
    void SetCompressedColor(uint32_t Value);
    uint32_t HiddenColor() const { return hiddenColor_; }
    void SetHiddenColor(uint32_t Value);
    bool ShowInfoTips() const { return showInfoTips_; }
    // Sets the tool tip's delays.
    void SetShowInfoTips(bool Value);
    bool ShowMaskInHeader() const { return showMaskInHeader_; }
    void SetShowMaskInHeader(bool Value);
    // The language of the column captions (a primary language id); the
    // system's unless set.
    int CaptionLanguage() const { return captionLanguage_; }
    void SetCaptionLanguage(int Value);

    // Captions by language with the mask and filter notes, then the sort marks.
    void SetColumnCaptions();
    // Captions, widths and alignments of the five columns.
    void ApplyColumnLayout();
    // Reads the widths the user dragged back into ColWidth.
    void StoreColumnWidths();
    int ColWidth(int Column) const { return colWidths_.at(static_cast<size_t>(Column)); }
    void SetColWidth(int Column, int Width);
    std::vector<int> GetColumnOrder() { return ColumnOrder(); }
    void SetColumnOrderAndRepaint(const std::vector<int>& Order);

    TViewStyleEx ViewStyleEx() const { return viewStyleEx_; }
    // Report, icons, small icons, list, tiles (icons where the control has
    // none); thumbnails show as icons until they are built.
    void SetViewStyleEx(TViewStyleEx Value);

    // The info tip of an item: the shell's, else type, size and date; empty
    // for ".." and without ShowInfoTips.
    std::wstring InfoTipText(int Index);
    // Takes the columns, filters, sort order and display options of Other
    // (loading its path) with loading held off meanwhile.
    void AssignFrom(TDirView& Other);

    // The text of one cell as shown (empty while the items are not ready).
    std::wstring ItemCellText(int Index, int Column);
    // What the cells are made with, and the order the items are sorted in,
    // for readers that show folders as this list would.
    TDirCellOptions CellOptions() const;
    TDirSortOptions SortOptions() const;

    // The index of the first item from Start on (wrapping) whose shown name
    // begins with Text (Whole: is Text), ignoring case; -1 when there is
    // none. The control's type-to-find asks it.
    int FindByPrefix(const std::wstring& Text, int Start, bool Whole = false) const;

    // ---- Opening items, keys and mouse (DirViewActions.cpp) ---------------------

    // The folder tree whose selection follows this list (set by the tree; not owned).
    TDriveView* DriveView() const { return driveView_; }
    void SetDriveView(TDriveView* Value) { driveView_ = Value; }
    // Keeps the column widths and makes the columns again; a loaded folder
    // is read again with its icons.
    void SetMultiSelect(bool Value);
    // The menu of the application key (not owned).
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* Value) { popupMenu_ = Value; }
    // A click on the selected item opens it, instead of a double click.
    bool SingleClickToExec = false;

    // Opens the first selected item, else the focused one: ".." goes up, a
    // folder or a shortcut to one is shown, a file is opened by the shell.
    // With Alt held the properties show instead.
    void ExecuteItem();
    // The shell's default verb on the item, the list's folder current; false
    // when the shell could not open it.
    bool OpenItem(const TFileRec& Item);
    // Opens every selected file in one call to the shell, asking first when
    // there are more than five; false when nothing was opened.
    bool ExecuteSelected();
    // The shell's properties of the selection, or of the folder when nothing
    // is selected.
    void DisplayPropertiesMenu();
    // The shell's context menu of the selection at At (screen), then the
    // program's items; the list carries out the verbs that are its own:
    // "rename" edits the focused item, "copy" and "cut" fill the clipboard,
    // "paste" pastes into the selected folder (else the list's), "delete"
    // deletes. Without a selection (or UseSystemContextMenu) the list's
    // popup menu shows.
    void DisplayContextMenu(POINT At);
    bool UseSystemContextMenu = true;
    // Before the shell's menu of a right click or the keyboard shows.
    TNotifyEvent OnDisplayContextMenu;

    TDirViewExecFileEvent OnExecFile;
    // Every 100 items added while a folder is read, with the count so far.
    std::function<void(TComponent* Sender, int Added)> OnLoadProgress;

    // ---- File actions and renaming (DirViewFileOps.cpp) ---------------------------

    // The shell asks before deleting; a delete to the recycle bin warns when
    // it would delete for good; a copy or move asks before overwriting.
    bool ConfirmDelete = true;
    bool WantNukeWarning = true;
    bool ConfirmOverwrite = true;

    // The list's operator: renames, pastes, and their undo.
    TFileOperator& FileOperator();
    // A new empty folder or file Name in the list's folder, added, focused
    // and shown; nullptr with LastFileError set when it exists already (183)
    // or the system refused. A file is never overwritten.
    TFileRec* CreateDirectory(const std::wstring& Name);
    TFileRec* CreateFile(const std::wstring& Name);
    // Deletes the selected items through the shell; the items that went are
    // taken out of the list. True when everything went and nothing was
    // declined.
    bool DeleteSelectedFiles(bool ToRecycleBin);
    // The selected items to the clipboard, to be copied or (Copy false) moved.
    bool CopyToClipBoard(bool Copy);
    // Empties the clipboard; the items and the linked tree's cut folder lose
    // their cut look.
    void EmptyClipboard();
    // The items put on the clipboard by a cut are drawn cut until then.
    bool IsCut(const TFileRec& Item) const;
    void ClearCutMarks();
    bool CanPasteFromClipBoard() const;
    // The clipboard's files into Target ("" the list's folder): moved after a
    // cut, else copied. True when something was pasted.
    bool PasteFromClipBoard(const std::wstring& Target);
    // Undoes the operator's last copy, move or rename.
    bool UndoCopyMove();
    // Opens the name editor on the item.
    void EditItemName(TFileRec& Item);

    // Whether the name editor may open on the item; ByCode: EditItemName
    // opens it (a command or the shell menu), not a click. Unset: it may.
    std::function<bool(TComponent* Sender, TFileRec& Item, bool ByCode)> OnEditing;
    // Before and after a rename in place (NewName: the new name, or the old
    // caption after a failure).
    std::function<void(TComponent* Sender, TFileRec& Item, const std::wstring& NewName)> OnBeginRename;
    std::function<void(TComponent* Sender, TFileRec& Item, const std::wstring& NewName)> OnEndRename;
    // The name editor closed, whatever came of it (a rename, a failure, a
    // refused name or a cancel): once for every opening OnEditing allowed.
    TNotifyEvent OnEditEnded;
    // Shows a failed rename's error (OK and Abort); true: edit again. The
    // default is the error box.
    std::function<bool(const std::wstring& Text)> AskRenameAgain;

    // ---- Drag and drop (DirViewDrops.cpp) ---------------------------------------

    // The list's file drag and drop: its component, events and drops.
    TPaneDragDrop& DragDrop();
    // Copies or moves the files into Target (Mapped: the names there, or
    // empty), or deletes them into the recycle bin; a copy into their own
    // folder (SameFolder) gets copies' names. The list's operator runs it,
    // so Strg+Z undoes it; the list reads itself again. OverwriteAnswered:
    // the user was asked already, the shell is not to ask again.
    bool PerformDropOperation(const std::wstring& Target, uint32_t Effect, const std::vector<std::wstring>& Names,
                              const std::vector<std::wstring>& Mapped, bool SameFolder, bool ToRecycleBin,
                              bool OverwriteAnswered = false);
    // Drags the selected items (not "..") out of the list; nothing in a
    // shell folder.
    TDragResult DragSelectedItems();
    // Takes the item out when its file is gone.
    void RemoveItemIfGone(TFileRec& Item);
    // The same for the item of a full path, when it lies in this folder.
    void RemoveFileItem(const std::wstring& FullPath);
    // Takes out every item of the paths that lies in this folder, in one go.
    void RemoveFileItems(const std::vector<std::wstring>& FullPaths);
    // After a drag moved them: the items of the paths go as their files do
    // (the ones gone at once, the others as a poller finds them gone).
    void WatchVanishedFiles(const std::vector<std::wstring>& FullPaths);
    // Takes the selected items whose files vanished out (more than 50
    // selected: re-reads in place).
    void ValidateSelectedItems();
    // Copies of the selected items beside them ("a - Kopie.txt"), selected
    // afterwards; the clipboard stays as it was.
    bool DuplicateSelectedFiles();
    // The item under a drag's mouse, drawn as the drop target; nullptr for none.
    void SetDropHighlightItem(const TFileRec* Item);
    const TFileRec* DropHighlightItem() const { return dropHighlight_; }

    // ---- Icons from a worker (DirViewIcons.cpp) -----------------------------------

    // Icons come from a worker thread instead of the display: an item is
    // drawn at once with its type name and the default icon, and its own
    // icon follows when the shell has answered, so a shell that is slow to
    // answer (a large folder, a network drive) never holds the window.
    bool UseIconUpdateThread() const { return useIconThread_; }
    void SetUseIconUpdateThread(bool Value);
    // Icons asked of the worker and not yet taken.
    size_t IconsPending() const;

    // ---- Folder sizes (DirViewScans.cpp) ---------------------------------------

    // Size scans of this list still running.
    size_t DirScanThreads() const { return scanTickets_.size(); }

    // ---- Thumbnails (DirViewThumbs.cpp) -----------------------------------------

    // The picture of a file for its thumbnail (Picture is left empty when
    // there is none): called on the list's thread.
    using TGetPictureEvent = std::function<void(TComponent* Sender, const std::wstring& FileName,
                                                const std::shared_ptr<void>& PIDL, TPicture& Picture)>;
    TGetPictureEvent OnGetPicture;
    int ThumbWidth() const { return thumbWidth_; }
    int ThumbHeight() const { return thumbHeight_; }
    // A new size makes a new thumbnail list; in thumbnail view the
    // thumbnails are made again.
    void SetThumbSize(int Width, int Height);
    void SetThumbWidth(int Value) { SetThumbSize(Value, thumbHeight_); }
    void SetThumbHeight(int Value) { SetThumbSize(thumbWidth_, Value); }
    int ThumbFrameSize() const { return thumbFrameSize_; }
    // Makes the thumbnails again.
    void SetThumbFrameSize(int Value);
    // The gaps between thumbnails; -1 the control's default.
    int ThumbSpaceWidth() const { return thumbSpaceWidth_; }
    void SetThumbSpaceWidth(int Value);
    // 0 reads as the control's default vertical spacing.
    int ThumbSpaceHeight() const;
    void SetThumbSpaceHeight(int Value);
    // The thumbnail list (image 0 the empty frame); nullptr until thumbnail
    // view is first shown.
    TKyImageList* ThumbImageList() const { return thumbs_.get(); }
    // Every item's thumbnail back to the empty frame, the list emptied.
    void ResetThumbnails();

    // ---- Change watching (DirViewWatch.cpp) -------------------------------------

    bool WatchForChanges() const { return watchForChanges_; }
    // Starts or stops watching the folder.
    void SetWatchForChanges(bool Value);
    unsigned ChangeInterval() const { return changeInterval_; }
    // 0 is ignored; a pending re-read is timed anew with the new interval.
    void SetChangeInterval(unsigned Value);
    const std::wstring& NoCheckDrives() const { return noCheckDrives_; }
    // Stored upper-cased, with a "\" in front so network paths stay unwatched.
    void SetNoCheckDrives(const std::wstring& Value);
    // Watches the loaded folder (not its subfolders) unless its drive is
    // excluded.
    void StartWatchThread();
    void StopWatchThread();
    bool WatchThreadActive() const;
    // The folder monitor; nullptr until watching first starts.
    TDiscMonitor* DiscMonitor() const;
    // Handles waiting messages, then re-reads at once when a change waits.
    void FlushPendingReload();
    // A change waits for its re-read.
    bool ChangePending() const;

    // Before a re-read caused by a change; the watched folder became invalid.
    TNotifyEvent OnChangeDetected;
    TNotifyEvent OnChangeInvalid;

protected:
    void WatchFolder() override;
    // The text of one cell; empty while the items are not ready.
    virtual std::wstring CellText(TFileRec& Item, int Column);

    void SortItems() override;
    std::wstring LoadMask() const override { return Mask(); }
    void ItemsChanged() override;
    // A key that moves the focus and selects the item it lands on: the old
    // selection is cleared first.
    void KeyReachesControl(WPARAM Key) override;
    void ViewBeginUpdate() override { BeginUpdate(); }
    void ViewEndUpdate() override { EndUpdate(); }
    void LoadProgress(int Added) override;
    void RunAnswering(const std::function<void()>& Work) override;
    void LoadAfterSort() override;
    void ShowBusy(bool Busy) override;
    void MakeFocusedVisible() override;
    // Commits an open name edit to its item, with no editor reopened on failure.
    void EndNameEdit() override;

    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    // A new folder's load: the thumbnails of the last one go.
    void StopWorkers() override;
    void RunDirScan(const TDirScanJob& Job) override;
    void EndDirScans() override;
    bool SortedBySize() const override;
    bool IsTileView() const override { return viewStyleEx_ == TViewStyleEx::vsxTile; }
    void RelayoutTiles() override;
    void RedrawItem(int Index) override;
    void DoNotify(NMHDR& header, LRESULT& result) override;
    void WndProc(TMessage& message) override;

private:
    void MakeColumns();
    // Shows Path, through the linked tree when it has a node for it.
    void OpenFolder(const std::wstring& Path);
    bool ShellOpen(const std::wstring& Path);
    TFileRec* FirstSelected() const;
    // Enter: false when the key is not handled here.
    bool EnterKey(bool Alt);
    void ShowPopupMenu(bool FromKeyboard, POINT At);
    void ItemClicked(const NMITEMACTIVATE& click, bool Double);
    // Whether the item's name may be edited; the editor gets its key filter.
    bool BeginLabelEdit(int Index);
    // The editor closed: renames the item (true) or keeps its name.
    bool EndLabelEdit(const NMLVDISPINFOW& Info);
    // The item the name editor was opened on, while it is open.
    struct TNameEdit {
        int Index = -1;
        std::wstring Folder;
        std::wstring FileName;
    };
    std::optional<TNameEdit> nameEdit_;
    // The item at Index when it is still the one the editor was opened on.
    TFileRec* NameEditItem(int Index, const TNameEdit& Edit);
    // Renames the item at Index to the typed text; after a failure the
    // editor opens again with it when OfferRetry and the user wants it.
    void RenameItem(int Index, const std::wstring& Typed, bool OfferRetry);
    // Adds the entry at Name in the list's folder and focuses it.
    TFileRec* AddCreatedItem(const std::wstring& FullPath);
    std::unique_ptr<TFileOperator> fileOperator_;
    // Drag and drop: the pane's side and the component (destroyed first).
    std::unique_ptr<TPaneDropSite> dropSite_;
    std::unique_ptr<TPaneDragDrop> dragDrop_;
    std::unique_ptr<TFileDeleteThread> dragPoller_;
    // Takes out the items of the paths in this folder whose Exist is false.
    void RemoveGoneItems(const std::vector<std::wstring>& FullPaths, const std::vector<bool>& Exist);
    const TFileRec* dropHighlight_ = nullptr;
    bool editByCode_ = false;  // EditItemName opens the editor
    std::wstring reEditText_;  // the text the editor opens with after a failed rename
    void GetDispInfo(NMLVDISPINFOW& info);
    void StateChanged(const NMLISTVIEW& change);
    void RangeChanged(const NMLVODSTATECHANGE& change);
    // Sets the control's state of one item (-1: all) without reporting it back.
    void SetControlState(int index, UINT state, UINT mask);
    // Clears the control's selection: before the records' is shown again,
    // or (Notify) as the user's key would.
    void ClearShownSelection(bool Notify = false);
    void FreeAnimation();
    // During a load: handles the messages sent to this thread, at most every 20 ms.
    void AnswerSentMessages();
    void GetInfoTip(NMLVGETINFOTIPW& tip);
    void ApplyToolTipDelays();
    void Repaint();

    bool dirsOnTop_ = false;
    bool sortByExtension_ = false;
    bool sortDirTime_ = false;
    bool showInfoTips_ = false;
    bool showMaskInHeader_ = false;
    uint32_t compressedColor_ = 0xFF0000;
    uint32_t hiddenColor_ = 0;
    int captionLanguage_ = 0;
    TDirCellOptions cells_;
    std::vector<int> colWidths_;
    TDirColumnTexts shownCaptions_;
    TViewStyleEx viewStyleEx_ = TViewStyleEx::vsxReport;

    bool pushing_ = false;            // the control is being told the records' states
    bool paintTracePending_ = false;  // the timing trace notes the first paint after new items
    int busy_ = 0;
    HCURSOR savedCursor_ = nullptr;
    uint64_t busySince_ = 0;
    uint64_t lastAnswered_ = 0;  // when a load last answered sent messages
    HWND animation_ = nullptr;
    TDriveView* driveView_ = nullptr;
    TPopupMenu* popupMenu_ = nullptr;
    // Full names (upper-cased) of the files last cut to the clipboard.
    std::set<std::wstring> cutNames_;

    // The icon thread.
    struct TIconState;
    // What the display asks of an item: with the icon thread, the type name
    // from the attributes and the icon from the worker.
    bool IconsFromWorker() const;
    void FetchShownIcon(int Index, TFileRec& Item);
    void FetchShownTypeName(TFileRec& Item);
    void RequestIcon(int Index, const TFileRec& Item);
    // Takes the worker's answers into the items they still belong to.
    void TakeFetchedIcons();
    // The items changed: answers under way belong to the items before.
    void ForgetRequestedIcons();
    bool useIconThread_ = false;
    std::unique_ptr<TIconState> icons_;

    // Thumbnails.
    void ShowThumbnailList(bool Thumbnails);
    void ApplyThumbSpacing();
    void MakeThumbnail(TFileRec& Item);
    std::unique_ptr<TKyImageList> thumbs_;
    int thumbWidth_ = 100;
    int thumbHeight_ = 100;
    int thumbFrameSize_ = 7;
    int thumbSpaceWidth_ = -1;
    int thumbSpaceHeight_ = -1;

    // The tickets of the running size scans, by the items' serials.
    std::map<uint64_t, std::shared_ptr<TSubDirScanTicket>> scanTickets_;
    // While a scanner delivers: where the next scan goes to that scanner.
    std::optional<TSubDirScanNext>* scanHandOver_ = nullptr;

    // Change watching.
    struct TWatchState;
    TWatchState& Watch();
    void FolderChanged();
    void ChangeTimerTick();
    // The re-read after a change, beside the window's thread
    // (DirViewWatch.cpp): false when it cannot start there.
    bool RelistBeside();
    void TakeRelisted();
    void ReloadSlice();
    bool RelistMessage(TMessage& message);
    void FolderInvalid();
    bool watchForChanges_ = false;
    unsigned changeInterval_ = 1000;
    std::wstring noCheckDrives_ = L"\\";
    std::unique_ptr<TWatchState> watch_;
};

}  // namespace qrv
