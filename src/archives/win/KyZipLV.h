#pragma once
// TKyZipLV: the list view that takes a directory list's place while an
// archive is open. It keeps the columns, the sort order, the load filter and
// the folder of the archive libraries, and raises its events to the main
// window. Reading archives is not built yet: no archive is ever open, so the
// view lists nothing, and opening one fails with a message.

#include "archives/ZipListColumns.h"
#include "panels/SelAttr.h"
#include "panels/win/KyListView.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

// The kind of the open archive.
enum : uint8_t { akNone = 0, akZip = 1, akRAR = 2, akCabinet = 3, akACE = 4 };
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

    // --- the load filter
    // A new mask reads the open archive again.
    void SetMask(const std::wstring& mask) override;
    TSelAttr SelArchive = TSelAttr::SelDontCare;
    TSelAttr SelHidden = TSelAttr::SelDontCare;
    TSelAttr SelSysFile = TSelAttr::SelDontCare;
    TSelAttr SelReadOnly = TSelAttr::SelDontCare;
    uint32_t SelFileSizeFrom = 0;
    uint32_t SelFileSizeTo = 2147483647;
    uint16_t SelFileDateFrom = 33;     // 1980-01-01
    uint16_t SelFileDateTo = 61343;    // 2099-12-31

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
    std::wstring GetArchiveName() const { return archiveName_; }
    bool IsZipOpen() const { return archiveKind_ == akZip && !archiveName_.empty(); }
    // Opens an archive in the view; "" closes the open one.
    void OpenArchive(const std::wstring& fileName);

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
    std::function<void(TComponent* Sender, const std::wstring& TargetDir, const std::wstring& ForFile,
                       int FileSize, int FileTime, bool IsOlder, bool& DoOverwrite)> OnOverwrite;
    std::function<void(TComponent* Sender, const std::wstring& ForFile, uint32_t FoundCRC,
                       uint32_t ExpectedCRC, bool& DoExtract)> OnCRC32Error;
    std::function<void(TComponent* Sender, std::wstring& NewPassword, const std::wstring& ForFile,
                       uint32_t& RepeatCount)> OnPasswordError;
    std::function<void(TComponent* Sender, bool EscapePressed, uint32_t KeyState, HRESULT& Result)>
        OnDDQueryContinueDrag;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void SortItems() override;

private:
    void UpdateNameCaption();

    std::array<int, ZipColumnCount> colWidths_{};
    std::array<int, ZipColumnCount> columnOrder_{0, 1, 2, 3, 4};
    bool showMaskInHeader_ = true;
    bool preserveDirs_ = true;
    uint8_t operationKind_ = okNone;
    uint8_t archiveKind_ = akNone;
    std::wstring archiveName_;
    std::wstring dllDirectory_;
};

}  // namespace qrv
