#pragma once
// TKyZipLV: the list view that takes a directory list's place while an
// archive is open. It tells the kind of an archive, lists it through the
// reader of that kind (RAR, cabinet, ACE), filters the entries by mask, size
// and date, shows them in five columns in owner-data mode, sorts them with
// the selection following the entries, and raises its events to the main
// window.

#include "archives/ArchiveOperations.h"
#include "archives/ArchiveRuns.h"
#include "archives/ArchiveType.h"
#include "archives/ZipItemCells.h"
#include "archives/ZipItems.h"
#include "archives/ZipListColumns.h"
#include "framework/StringList.h"
#include "panels/SelAttr.h"
#include "panels/win/DragPicture.h"
#include "panels/win/KyListView.h"

#include <array>
#include <memory>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

namespace qrv {

class TKyZipper;
class TKyRAR;
class TKyCAB;
class TKyACE2;
class TArchiveTempFolder;
class TDragDropFilesEx;
class TPopupMenu;
// The operation under way.
enum : uint8_t { okNone = 0, okExtract = 1, okAdd = 2, okTest = 3 };

// What OnSelDir asks for and gets back.
struct TSelDirParams {
    std::wstring Directory;
    bool Canceled = false;
    bool Checked = false;
};
struct TSelDirConsts {
    std::wstring Caption;
    std::wstring CheckCaption;
    bool CheckVisible = false;
    std::wstring CheckHint;
};

class TKyZipLV : public TKyListView {
public:
    explicit TKyZipLV(TComponent* owner);
    ~TKyZipLV() override;

    // --- columns and sorting
    // Widths of the five columns; 0 takes the built-in default.
    int ColWidth(int column) const { return colWidths_.at(column); }
    void SetColWidth(int column, int width);
    int ColWidthName() const { return ColWidth(zcName); }
    void SetColWidthName(int w) { SetColWidth(zcName, w); }
    int ColWidthSize() const { return ColWidth(zcSize); }
    void SetColWidthSize(int w) { SetColWidth(zcSize, w); }
    int ColWidthType() const { return ColWidth(zcType); }
    void SetColWidthType(int w) { SetColWidth(zcType, w); }
    int ColWidthChanged() const { return ColWidth(zcChanged); }
    void SetColWidthChanged(int w) { SetColWidth(zcChanged, w); }
    int ColWidthPath() const { return ColWidth(zcPath); }
    void SetColWidthPath(int w) { SetColWidth(zcPath, w); }
    // Rebuilds the five columns from the width properties and the order.
    void CreateColumns();
    // Copies the columns' current widths back into the width properties.
    void StoreColumnWidths();
    // Both act only while exactly five columns exist; false otherwise.
    bool GetColumnOrder(std::array<int, ZipColumnCount>& order);
    bool SetColumnOrder(const std::array<int, ZipColumnCount>& order);

    bool ShowMaskInHeader() const { return showMaskInHeader_; }
    void SetShowMaskInHeader(bool show);

    // --- how the entries show (each repaints)
    bool SortByExtension() const { return cellOptions_.SortByExtension; }
    void SetSortByExtension(bool value);
    bool AbbreviatedSize() const { return cellOptions_.AbbreviatedSize; }
    void SetAbbreviatedSize(bool value);
    TFileNameDisplay FileNameDisplay() const { return cellOptions_.FileNameDisplay; }
    void SetFileNameDisplay(TFileNameDisplay value);
    bool ShowExtension() const { return cellOptions_.ShowExtension; }
    void SetShowExtension(bool value);
    bool ConfirmOverwrite = false;
    bool VerifyFloppy = false;
    bool UseDragImages = true;
    bool SingleClickToExec = false;

    // --- the load filter
    // A new mask reads the open archive again.
    void SetMask(const std::wstring& mask) override;
    TSelAttr SelArchive = TSelAttr::SelDontCare;
    TSelAttr SelHidden = TSelAttr::SelDontCare;
    TSelAttr SelSysFile = TSelAttr::SelDontCare;
    TSelAttr SelReadOnly = TSelAttr::SelDontCare;
    uint64_t SelFileSizeFrom = 0;
    uint64_t SelFileSizeTo = 2147483647;  // this value: no upper bound
    uint16_t SelFileDateFrom = 33;        // 1980-01-01
    uint16_t SelFileDateTo = 61343;       // 2099-12-31

    // --- the archive
    bool PreserveDirs() const { return preserveDirs_; }
    void SetPreserveDirs(bool preserve) { preserveDirs_ = preserve; }
    int HelpContext = 0;
    uint8_t OperationKind() const { return operationKind_; }
    uint8_t ArchiveKind() const { return archiveKind_; }
    // The folder the archive libraries are looked for in ("" or with a
    // trailing backslash).
    const std::wstring& DLLDirectory() const { return dllDirectory_; }
    void SetDLLDirectory(const std::wstring& directory);
    // The file name of the open archive, "" when none.
    std::wstring GetArchiveName() const;
    bool IsZipOpen() const { return archiveKind_ == akZip && !GetArchiveName().empty(); }
    // Opens an archive in the view; "" closes the open one. Opening never
    // writes to the file.
    void OpenArchive(const std::wstring& fileName);
    // The kind of archive a file is (0 when none).
    uint8_t GetArchiveType(const std::wstring& fileName);
    // Every message the readers reported since the archive was opened.
    const TStringList& Messages() const { return runs_.Messages; }
    // 1: loads the zip and unzip libraries that are not loaded and keeps
    // them loaded (done after a zip archive opens); 0: lets them go. A
    // library that cannot be loaded becomes a message, not an error.
    void LoadZipLibraries(int load);
    // A file extracted for viewing: deleted when the archive closes.
    void RememberExtractedFile(const std::wstring& fileName);

    // The listed entries, their totals and selection.
    const TZipItems& Items() const { return items_; }
    // The texts a row shows (also while no window asks for them).
    std::wstring CellText(int item, int column);

    // --- the entries
    void SelectAll();
    void InvertSelection();
    void DeleteSelected();
    bool ExtractSelected(const std::wstring& directory, bool useStoredPaths, bool remember);
    void AbortOperation(bool abort);
    void ShowItemProperties();
    // Offers each changed copy of an opened zip entry for writing back
    // (Yes, No, Cancel); a call while one asks or an operation runs
    // returns at once.
    void WriteBackChangedFiles(int helpContext);

    // --- operations on the open archive (true on success). None runs
    // without an archive open in the view or while any reader is busy.
    // Stored names as the entries have them; "*.*" for a whole zip.
    bool ExtractFiles(const std::vector<std::wstring>& names, const std::wstring& target, bool useStoredPaths);
    bool TestFiles(const std::vector<std::wstring>& names);
    bool TestArchive();
    bool AddFiles(const std::vector<std::wstring>& files);
    bool AddDirectories(const std::vector<std::wstring>& directories, bool withDirNames);
    bool AddDirectory(const std::wstring& directory, bool withDirNames);
    bool DeleteFiles(const std::vector<std::wstring>& names);
    // Opens the focused (else the first selected) entry with its program.
    void OpenItem();
    // Extracts the entry of a row into a fresh folder of the view's own.
    bool ExtractItemToTemp(int row);
    // The path the last ExtractItemToTemp wrote ("" after a failure).
    const std::wstring& LastTempCopy() const { return lastTempCopy_; }
    // Writes an empty zip archive; never replaces an existing file.
    bool CreateEmptyZip(const std::wstring& fileName);
    // The password for one entry; "" when the user cancelled.
    std::wstring AskPassword(const std::wstring& fileName);
    // The popup's commands.
    void ExtractDialog();
    void AddFilesDialog();
    void AddDirectoryDialog();
    void ShowPopupMenu(POINT screen);
    bool IsZipBusy() const;
    bool IsUnzipBusy() const;
    // Any reader of the view is working (or asking the user meanwhile).
    bool Busy() const;
    // The copies the view extracted for its own use, deleted on close.
    const TStringList& ExtractedFiles() const { return extractedFiles_; }
    const std::vector<TWriteBackRecord>& WriteBackRecords() const { return writeBack_; }
    TKyZipper& Zipper() { return *zipper_; }
    TArchiveTempFolder& TempFolder();
    TDragDropFilesEx& DragDrop() { return *dragDrop_; }
    // Fills the drag list with the selected entries and runs the drag.
    void StartDragOut();

    // The questions and the shell, replaced by tests and tools: the
    // password question (defaults to TPasswordDialog), the write-back
    // question (returns IDYES, IDNO, IDCANCEL...), opening a file with its
    // program, and the file choice of adding files.
    std::function<std::wstring(const std::wstring& fileName)> PasswordPrompt;
    std::function<int(const std::wstring& text, int helpContext)> WriteBackPrompt;
    std::function<bool(const std::wstring& path)> ShellOpen;
    std::function<std::vector<std::wstring>(const std::wstring& title, const std::wstring& folder)> ChooseFiles;

    std::function<void(TComponent* Sender, int ErrCode, const std::wstring& Message)> OnMessage;
    TNotifyEvent OnDirUpdate;
    std::function<void(TComponent* Sender, bool& DoDelete)> OnDeleteFiles;
    std::function<void(TComponent* Sender, int TotalFiles)> OnStartExtract;
    std::function<void(TComponent* Sender, int ActualFile)> OnProgress;
    TNotifyEvent OnEndExtract;
    std::function<void(TComponent* Sender, TSelDirParams& Params, const TSelDirConsts& Consts)> OnSelDir;
    std::function<void(TComponent* Sender, const std::wstring& TargetDir, const std::wstring& ForFile, int64_t FileSize,
                       uint32_t FileTime, bool IsOlder, bool& DoOverwrite)>
        OnOverwrite;
    std::function<void(TComponent* Sender, const std::wstring& ForFile, uint32_t FoundCRC, uint32_t ExpectedCRC,
                       bool& DoExtract)>
        OnCRC32Error;
    std::function<void(TComponent* Sender, std::wstring& NewPassword, const std::wstring& ForFile,
                       uint32_t& RepeatCount)>
        OnPasswordError;
    std::function<void(TComponent* Sender, bool EscapePressed, uint32_t KeyState, HRESULT& Result)>
        OnDDQueryContinueDrag;
    std::function<void(TComponent* Sender, DWORD Keys, POINT Point, DWORD Effect)> OnDDProcessDropped;
    TNotifyEvent OnDDDragDetect;
    TNotifyEvent OnDblClick;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void SortItems() override;
    void OwnerDataFetch(int item, int subItem, std::wstring& text) override;
    void DoNotify(NMHDR& header, LRESULT& result) override;
    void WndProc(TMessage& message) override;

private:
    // Operations: refused (a message, false) without an own open archive
    // or while a reader is busy.
    bool MayOperate();
    void WireReaders();
    void WireDragDrop();
    // The selected entries' stored names in list order.
    std::vector<std::wstring> SelectedNames();
    const TArchiveEntry SelectedEntry(int row);
    bool RunZipAdd(const std::vector<std::wstring>& specs, unsigned options, int meant, const std::wstring& rootDir);
    bool WriteBackQueued(std::vector<size_t> queued);
    // Keeps copies whose changes were not written back (named through
    // OnMessage); the rest goes.
    void KeepChangedCopies(const std::vector<std::wstring>& changed);
    // The copies that differ from what was extracted.
    std::vector<std::wstring> ChangedCopies() const;
    void DropQueryContinue(bool escape, DWORD keys, HRESULT& result);
    // Shows the picture that follows the cursor over the owner form; false
    // when none could be made.
    bool BeginDragPicture();
    void DropProcessed(DWORD keys, POINT point, DWORD effect);
    bool AcceptDrop();

    void UpdateNameCaption();
    void ClearArchive();
    void CloseComponents();
    void OpenExisting(const std::wstring& fileName);
    // Lists an existing zip file; raises when it is no zip archive.
    void ListExistingZip(const std::wstring& fileName);
    void ListZip(const std::wstring& fileName, bool quiet);
    void FillItems();
    void DirUpdate();
    void DeleteExtractedFiles();
    void LookUpFileInfo(TZipItem& item);
    void ReadSelectionFromControl();
    void PushSelectionToControl(int focusedEntry);
    void StateChanged(const NMLISTVIEW& change);
    void RangeChanged(const NMLVODSTATECHANGE& change);
    void Repaint();
    std::wstring FormatDosTime(uint32_t dosDateTime) const;

    void ZipDirChanged();

    TKyZipper* zipper_ = nullptr;
    TKyRAR* rar_ = nullptr;
    TKyCAB* cab_ = nullptr;
    TKyACE2* ace_ = nullptr;
    // Icon and type name by whole upper-case extension; the items point to
    // its records, so the cache is made before them and outlives them.
    std::unordered_map<std::wstring, TZipTypeInfo> fileInfoCache_;
    const TZipTypeInfo* lastFileInfo_ = nullptr;  // the last one looked up
    std::wstring lastFileInfoExt_;
    TZipItems items_;
    TZipCellOptions cellOptions_;
    // The readers' runs and reports, and the zip component as they drive it.
    TArchiveRuns runs_;
    TZipRunner zipRunner_;
    TStringList extractedFiles_;
    std::vector<TWriteBackRecord> writeBack_;
    std::vector<std::wstring> writtenBack_;  // copies written back since the archive opened
    std::unique_ptr<TArchiveTempFolder> tempFolder_;
    TDragDropFilesEx* dragDrop_ = nullptr;
    TPopupMenu* popup_ = nullptr;
    std::wstring lastTempCopy_;
    std::wstring lastExtractDir_;
    bool lastExtractChecked_ = true;
    std::wstring lastAddDir_;
    std::wstring addFilesFolder_;
    bool writingBack_ = false;
    bool operating_ = false;
    bool dragging_ = false;
    bool dragOverSelf_ = false;
    DWORD lastFeedback_ = 0;
    std::wstring dragFolder_;
    TDragPicture dragPicture_;
    bool tested_ = false;
    bool autoRefresh_ = true;

    std::array<int, ZipColumnCount> colWidths_{};
    std::array<int, ZipColumnCount> columnOrder_{0, 1, 2, 3, 4};
    bool showMaskInHeader_ = true;
    bool preserveDirs_ = true;
    uint8_t operationKind_ = okNone;
    uint8_t archiveKind_ = akNone;
    std::wstring dllDirectory_;
};

}  // namespace qrv
