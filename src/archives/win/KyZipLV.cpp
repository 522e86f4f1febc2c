#include "archives/win/KyZipLV.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

namespace qrv {

namespace {
const wchar_t* const kNotYetAvailable = L"Diese Funktion ist noch nicht verfügbar.";
}

TKyZipLV::TKyZipLV(TComponent* owner) : TKyListView(owner)
{
    SetViewStyle(TViewStyle::vsReport);
    SetMultiSelect(true);
    SetReadOnly(true);
    SetOwnerData(true);
    CreateColumns();
}

void TKyZipLV::CreateWindowHandle(const TCreateParams& params)
{
    TKyListView::CreateWindowHandle(params);
    if (handle_)
        CreateColumns();
}

void TKyZipLV::CreateColumns()
{
    ClearColumns();
    for (int i = 0; i < ZipColumnCount; ++i) {
        if (colWidths_[i] == 0)
            colWidths_[i] = ZipColumns[i].DefaultWidth;
        AddColumn(ZipColumns[i].Caption, colWidths_[i],
                  ZipColumns[i].RightAligned ? TAlignment::taRightJustify : TAlignment::taLeftJustify);
    }
    UpdateNameCaption();
    TCustomListView::SetColumnOrder(std::vector<int>(columnOrder_.begin(), columnOrder_.end()));
    // New columns come without the sort mark.
    UpdateSortMarks();
}

void TKyZipLV::StoreColumnWidths()
{
    if (ColumnCount() < ZipColumnCount)
        return;
    for (int i = 0; i < ZipColumnCount; ++i)
        colWidths_[i] = ColumnWidth(i);
}

void TKyZipLV::SetColWidth(int column, int width)
{
    if (ColumnCount() <= 4 || colWidths_.at(column) == width)
        return;
    colWidths_[column] = width;
    SetColumnWidth(column, width);
}

bool TKyZipLV::GetColumnOrder(std::array<int, ZipColumnCount>& order)
{
    if (ColumnCount() != ZipColumnCount)
        return false;
    const std::vector<int> shown = ColumnOrder();
    std::copy(shown.begin(), shown.end(), order.begin());
    return true;
}

bool TKyZipLV::SetColumnOrder(const std::array<int, ZipColumnCount>& order)
{
    if (ColumnCount() != ZipColumnCount)
        return false;
    TCustomListView::SetColumnOrder(std::vector<int>(order.begin(), order.end()));
    columnOrder_ = order;
    return true;
}

void TKyZipLV::SetShowMaskInHeader(bool show)
{
    showMaskInHeader_ = show;
    UpdateNameCaption();
}

void TKyZipLV::UpdateNameCaption()
{
    if (ColumnCount() > zcName)
        SetColumnCaption(zcName, ZipNameCaption(Mask(), showMaskInHeader_));
}

void TKyZipLV::SetMask(const std::wstring& mask)
{
    const std::wstring old = Mask();
    TKyListView::SetMask(mask);
    if (Mask() == old)
        return;
    // The filter applies when the archive is read again.
    if (!archiveName_.empty()) {
        const std::wstring name = archiveName_;
        OpenArchive(L"");
        OpenArchive(name);
    }
    UpdateNameCaption();
}

void TKyZipLV::SetDLLDirectory(const std::wstring& directory)
{
    dllDirectory_ = directory.empty() ? std::wstring() : AddBackslash(directory);
}

void TKyZipLV::OpenArchive(const std::wstring& fileName)
{
    if (fileName == archiveName_)
        return;
    // What was open goes first; then "" leaves the view closed.
    ClearItems();
    archiveName_.clear();
    archiveKind_ = akNone;
    operationKind_ = okNone;
    if (fileName.empty())
        return;
    throw EInvalidOperation(L"Das Archiv \"" + fileName + L"\" kann nicht geöffnet werden. " + kNotYetAvailable);
}

void TKyZipLV::SelectAll()
{
    BeginUpdate();
    SetSelected(-1, true);
    EndUpdate();
}

void TKyZipLV::InvertSelection()
{
    BeginUpdate();
    const int count = ItemCount();
    for (int i = 0; i < count; ++i)
        SetSelected(i, !Selected(i));
    EndUpdate();
}

void TKyZipLV::DeleteSelected()
{
    bool doDelete = true;
    if (OnDeleteFiles)
        OnDeleteFiles(this, doDelete);
    if (doDelete && SelCount() > 0)
        throw EInvalidOperation(kNotYetAvailable);
}

bool TKyZipLV::ExtractSelected(const std::wstring& /*directory*/, bool /*useStoredPaths*/, bool /*remember*/)
{
    if (SelCount() == 0)
        return false;
    throw EInvalidOperation(kNotYetAvailable);
}

void TKyZipLV::AbortOperation(bool /*abort*/)
{
    // No archive operation can be running while no archive is open.
}

void TKyZipLV::ShowItemProperties()
{
    if (SelCount() == 0) {
        MessageBeep(0);
        return;
    }
    throw EInvalidOperation(kNotYetAvailable);
}

void TKyZipLV::WriteBackChangedFiles(int /*helpContext*/)
{
    // Nothing was extracted for viewing, so nothing can have changed.
}

void TKyZipLV::SortItems()
{
    // The entries are read with the archive; with none open there is
    // nothing to put in order.
}

}  // namespace qrv
