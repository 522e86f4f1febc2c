#pragma once
// TKyZipLV: the list view that takes a directory list's place while an
// archive is open. It tells the kind of an archive, lists it through the
// reader of that kind (RAR, cabinet, ACE), filters the entries by mask, size
// and date, shows them in five columns in owner-data mode, sorts them with
// the selection following the entries, and raises its events to the main
// window.

#include "archives/ArchiveType.h"
#include "archives/ZipItemCells.h"
#include "archives/ZipItems.h"
#include "archives/ZipListColumns.h"
#include "framework/StringList.h"
#include "panels/SelAttr.h"
#include "panels/win/KyListView.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

namespace qrv {

class TKyZipper;
class TKyRAR;
class TKyCAB;
class TKyACE2;
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
    const TStringList& Messages() const { return messages_; }
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
    void WriteBackChangedFiles(int helpContext);

    std::function<void(TComponent* Sender, int ErrCode, const std::wstring& Message)> OnMessage;
    TNotifyEvent OnDirUpdate;
    std::function<void(TComponent* Sender, bool& DoDelete)> OnDeleteFiles;
    std::function<void(TComponent* Sender, int TotalFiles)> OnStartExtract;
    std::function<void(TComponent* Sender, int ActualFile)> OnProgress;
    TNotifyEvent OnEndExtract;
    std::function<void(TComponent* Sender, TSelDirParams& Params, const TSelDirConsts& Consts)> OnSelDir;
    std::function<void(TComponent* Sender, const std::wstring& TargetDir, const std::wstring& ForFile, int FileSize,
                       int FileTime, bool IsOlder, bool& DoOverwrite)>
        OnOverwrite;
    std::function<void(TComponent* Sender, const std::wstring& ForFile, uint32_t FoundCRC, uint32_t ExpectedCRC,
                       bool& DoExtract)>
        OnCRC32Error;
    std::function<void(TComponent* Sender, std::wstring& NewPassword, const std::wstring& ForFile,
                       uint32_t& RepeatCount)>
        OnPasswordError;
    std::function<void(TComponent* Sender, bool EscapePressed, uint32_t KeyState, HRESULT& Result)>
        OnDDQueryContinueDrag;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void SortItems() override;
    void OwnerDataFetch(int item, int subItem, std::wstring& text) override;
    void DoNotify(NMHDR& header, LRESULT& result) override;

private:
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
    TStringList messages_;
    TStringList extractedFiles_;
    std::wstring password_;
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
