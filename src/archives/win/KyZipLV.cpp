#include "archives/win/ArchivePlatforms.h"
#include "archives/win/ArchiveTempFolder.h"
#include "archives/win/KyZipLV.h"

#include "archives/ArchiveError.h"
#include "archives/KyACE2.h"
#include "archives/KyRarArc.h"
#include "archives/ReaderEntries.h"
#include "archives/ZipItemSort.h"
#include "archives/win/KyCab.h"
#include "archives/win/KyZipper.h"
#include "common/BaseUtils.h"
#include "common/MaskSearch.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "common/win/ShellNotify.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/TimingTrace.h"
#include "framework/win/Handles.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/WaitCursor.h"
#include "panels/win/LocaleCollator.h"
#include "panels/win/ShellValues.h"

#include <shellapi.h>

namespace qrv {

namespace {

// The size and last bytes of a file, read without write access.
bool ReadFileTail(const std::wstring& name, size_t maxBytes, uint64_t& size, std::vector<uint8_t>& tail)
{
    TFileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.Get(), &length))
        return false;
    size = static_cast<uint64_t>(length.QuadPart);
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(size, maxBytes));
    LARGE_INTEGER offset{};
    offset.QuadPart = static_cast<LONGLONG>(size - wanted);
    if (!SetFilePointerEx(file.Get(), offset, nullptr, FILE_BEGIN))
        return false;
    tail.resize(wanted);
    DWORD read = 0;
    if (wanted > 0 && !ReadFile(file.Get(), tail.data(), static_cast<DWORD>(wanted), &read, nullptr))
        return false;
    tail.resize(read);
    return true;
}

// A find-first with the attributes of files (not folders) finds the name.
bool ArchiveFileExists(const std::wstring& name)
{
    WIN32_FIND_DATAW data{};
    TFindHandle find(FindFirstFileW(name.c_str(), &data));
    return find && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint64_t FileSizeOf(const std::wstring& name)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!FileAttributeData(name, data))
        return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The zip component's central directory as entries: the listing that was
// current when the view was made, kept alive by the view, so a new listing
// of the component never pulls the names away from under the list.
class TZipperEntryView : public TArchiveEntryView {
public:
    explicit TZipperEntryView(std::shared_ptr<const TZipEntries> entries) : entries_(std::move(entries)) {}
    int Count() const override { return static_cast<int>(entries_->size()); }
    TArchiveEntry Entry(int index) const override
    {
        TArchiveEntry entry;
        Read(index, entry);
        return entry;
    }
    void Read(int index, TArchiveEntry& entry) const override
    {
        std::wstring_view name;
        ReadInPlace(index, entry, name);
        entry.StoredName.assign(name);
    }
    bool ReadInPlace(int index, TArchiveEntry& entry, std::wstring_view& name) const override
    {
        const ZipDirEntry& record = entries_->at(static_cast<size_t>(index));
        // The listing's names are UTF-16 with "\" between levels already.
        static_assert(sizeof(wchar_t) == sizeof(char16_t));
        name = std::wstring_view(reinterpret_cast<const wchar_t*>(record.FileName.data()), record.FileName.size());
        entry.DateTime = record.DateTime;
        entry.Size = record.UncomprSize;
        entry.PackedSize = record.ComprSize;
        entry.CRC = record.CRC32;
        entry.Encrypted = record.Encrypted;
        // A folder entry has an empty file name after its last separator.
        entry.IsDirectory = false;
        return true;
    }
    size_t StoredNameLengths() const override { return entries_->NameLengths(); }
    bool KeepsNamesInPlace() const override { return true; }

private:
    std::shared_ptr<const TZipEntries> entries_;
};

}  // namespace

TKyZipLV::TKyZipLV(TComponent* owner) : TKyListView(owner)
{
    SetViewStyle(TViewStyle::vsReport);
    SetMultiSelect(true);
    SetReadOnly(true);
    SetOwnerData(true);
    zipper_ = new TKyZipper(this, SystemLibraryApi());
    zipper_->CodePage = cpAuto;
    zipper_->AddOptions = AddHiddenFiles;
    zipper_->AddCompLevel = 9;
    zipper_->Unattended = false;
    zipper_->OnMessage = [this](TComponent*, int code, const std::wstring& text) {
        runs_.Messages.Add(text);
        if (OnMessage)
            OnMessage(this, code, text);
    };
    zipper_->OnDirUpdate = [this](TComponent*) { ZipDirChanged(); };
    rar_ = new TKyRAR(this, SystemRarPlatform());
    cab_ = new TKyCAB(this);
    ace_ = new TKyACE2(this, SystemAcePlatform());
    // Every reader's report goes to the message list and the owner.
    WireReaders();
    WireDragDrop();
    CreateColumns();
}

TKyZipLV::~TKyZipLV()
{
    // A reader still running (a message it let through ended the view) is
    // told to stop; what it calls back finds the components gone quiet.
    AbortOperation(true);
    // Nobody is asked now: a changed copy stays where it is.
    KeepChangedCopies(ChangedCopies());
    DeleteExtractedFiles();
    tempFolder_.reset();
    // The readers report into the view's members: they go while those stand.
    DestroyComponents();
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
    const std::wstring name = GetArchiveName();
    if (!name.empty()) {
        OpenArchive(L"");
        OpenArchive(name);
    }
    UpdateNameCaption();
}

void TKyZipLV::SetDLLDirectory(const std::wstring& directory)
{
    dllDirectory_ = directory.empty() ? std::wstring() : AddBackslash(directory);
    zipper_->SetDLLDirectory(dllDirectory_);
    rar_->SetDLLDirectory(dllDirectory_);
}

void TKyZipLV::SetSortByExtension(bool value)
{
    if (cellOptions_.SortByExtension == value)
        return;
    cellOptions_.SortByExtension = value;
    if (items_.Count() == 0)
        return;
    if (SortColumn() == zcType)
        SortItems();
    else
        Repaint();
}

void TKyZipLV::SetAbbreviatedSize(bool value)
{
    cellOptions_.AbbreviatedSize = value;
    Repaint();
}

void TKyZipLV::SetFileNameDisplay(TFileNameDisplay value)
{
    cellOptions_.FileNameDisplay = value;
    Repaint();
}

void TKyZipLV::SetShowExtension(bool value)
{
    cellOptions_.ShowExtension = value;
    Repaint();
}

void TKyZipLV::Repaint()
{
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

std::wstring TKyZipLV::GetArchiveName() const
{
    switch (archiveKind_) {
    case akZip:
        return zipper_->ZipFileName();
    case akRAR:
        return rar_->ArchiveName();
    case akCabinet:
        return cab_->ArchiveName();
    case akACE:
        return ace_->ArchiveName();
    default:
        return {};
    }
}

uint8_t TKyZipLV::GetArchiveType(const std::wstring& fileName)
{
    TArchiveProbes probes;
    probes.ReadTail = ReadFileTail;
    probes.IsCabinet = [this](const std::wstring& name) { return cab_->IsCabinet(name); };
    probes.IsRar = [this](const std::wstring& name) { return RarHoldsEntries(*rar_, name); };
    probes.IsAce = [this](const std::wstring& name) { return ace_->IsAce(name); };
    return qrv::GetArchiveType(fileName, probes);
}

void TKyZipLV::RememberExtractedFile(const std::wstring& fileName)
{
    extractedFiles_.Add(fileName);
}

void TKyZipLV::DeleteExtractedFiles()
{
    // From the last one extracted; a read-only copy gets a second try
    // without its attributes. Files that cannot be deleted (still open in
    // another program) stay, and their names leave the list all the same.
    for (int i = extractedFiles_.Count() - 1; i >= 0; --i) {
        const std::wstring name = extractedFiles_[i];
        extractedFiles_.Delete(i);
        if (!PathExists(name))
            continue;
        bool deleted = DeleteFileW(name.c_str()) != 0;
        if (!deleted && SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL))
            deleted = DeleteFileW(name.c_str()) != 0;
        if (!deleted) {
            TraceIgnoredFailure(L"delete extracted file", GetLastError());
            continue;
        }
        NotifyShell(TShellChange::FileDeleted, name, TShellNoticeWait::Post);
    }
}

void TKyZipLV::LoadZipLibraries(int load)
{
    // Opening an archive asks nobody: a missing library is a message in
    // the list of messages, and the listing stands without it.
    const bool savedUnattended = zipper_->Unattended;
    zipper_->Unattended = true;
    ScopeExit restore([&] { zipper_->Unattended = savedUnattended; });
    zipper_->KeepLibrariesLoaded(load != 0);
}

void TKyZipLV::ClearArchive()
{
    // Edited copies are offered before they would go; what is not written
    // back stays on the disk.
    const std::vector<std::wstring> changed = ChangedCopies();
    if (archiveKind_ == akZip && !changed.empty() && !GetArchiveName().empty())
        WriteBackChangedFiles(HelpContext);
    KeepChangedCopies(changed);
    DeleteExtractedFiles();
    items_.Clear();
    SetItemCount(0);
    operationKind_ = okNone;
    Repaint();
    tested_ = false;
    runs_.ForgetPassword();
}

void TKyZipLV::CloseComponents()
{
    // Closing is no change of the open archive's contents.
    const bool savedAutoRefresh = autoRefresh_;
    autoRefresh_ = false;
    ScopeExit restore([&] { autoRefresh_ = savedAutoRefresh; });
    if (zipper_->UnzBusy())
        zipper_->SetCancel(true);
    zipper_->SetZipFileName(L"");
    rar_->SetArchiveName(L"");
    cab_->SetArchiveName(L"");
    // The ACE reader reports "no archive open" for an empty name: closing
    // is no news to the user.
    auto onMessage = std::move(ace_->OnMessage);
    ace_->OnMessage = nullptr;
    ScopeExit reconnect([&] { ace_->OnMessage = std::move(onMessage); });
    ace_->SetArchiveName(L"");
}

void TKyZipLV::OpenArchive(const std::wstring& fileName)
{
    if (zipper_->ZipBusy() || rar_->Busy() || cab_->Busy() || ace_->Busy()) {
        // A reader is working on the open archive: it stays open.
        MessageBeep(MB_ICONERROR);
        MessageDlg(L"Das Archivsystem ist beschäftigt und kann nicht reagieren.", TMsgDlgType::mtError, mbOK,
                   HelpContext);
        return;
    }
    if (fileName == GetArchiveName())
        return;
    ClearArchive();
    if (fileName.empty()) {
        CloseComponents();
        archiveKind_ = akNone;
        return;
    }
    runs_.Messages.Clear();
    CloseComponents();
    archiveKind_ = GetArchiveType(fileName);
    if (!ArchiveFileExists(fileName)) {
        switch (archiveKind_) {
        case akZip:
            // A new archive: the first file added creates it.
            ListZip(fileName, true);
            return;
        case akRAR:
            throw EArchiveError(L"RAR-Archive können nicht angelegt oder geändert werden.");
        case akCabinet:
            throw EArchiveError(L"CAB-Archive können nicht angelegt oder geändert werden.");
        case akACE:
            throw EArchiveError(L"ACE-Archive können nicht angelegt oder geändert werden.");
        default:
            throw EArchiveError(fileName + L" ist kein gültiges Archiv.");
        }
    }
    OpenExisting(fileName);
}

void TKyZipLV::OpenExisting(const std::wstring& fileName)
{
    const TWaitCursor hourglass;
    TTimingScope timing(TimingTraceEnabled() ? L"archive open " + fileName : std::wstring());
    // A zip archive that could be listed gets its libraries loaded for the
    // operations to come, last, and also when filling the list failed.
    bool zipListed = false;
    ScopeExit loadLibraries([&] {
        if (!zipListed)
            return;
        try {
            TTimingScope loading(L"archive zip libraries loaded");
            LoadZipLibraries(1);
        } catch (...) {
            TraceIgnoredException(L"load the zip libraries after opening");
        }
    });
    const bool savedAutoRefresh = autoRefresh_;
    autoRefresh_ = false;
    ScopeExit restore([&] { autoRefresh_ = savedAutoRefresh; });
    switch (archiveKind_) {
    case akZip:
        ListExistingZip(fileName);
        zipListed = true;
        FillItems();
        break;
    case akRAR:
        rar_->SetArchiveName(fileName);
        rar_->List();
        FillItems();
        break;
    case akCabinet:
        cab_->SetArchiveName(fileName);
        if (!cab_->List())
            TraceIgnoredFailure(L"cabinet listing (reported through OnError)");
        FillItems();
        break;
    case akACE:
        ace_->SetArchiveName(fileName);
        if (!ace_->List())
            TraceIgnoredFailure(L"ACE listing (reported through OnMessage)");
        FillItems();
        break;
    default:
        archiveKind_ = akNone;
        throw EArchiveError(fileName + L" ist kein gültiges Archiv.");
    }
    DirUpdate();
}

void TKyZipLV::ListZip(const std::wstring& fileName, bool quiet)
{
    zipper_->Unattended = true;
    auto onMessage = std::move(zipper_->OnMessage);
    if (quiet)
        zipper_->OnMessage = nullptr;
    ScopeExit restore([&] {
        zipper_->Unattended = false;
        zipper_->OnMessage = std::move(onMessage);
    });
    try {
        zipper_->SetZipFileName(fileName);
    } catch (...) {
        // The component's error code tells what went wrong.
        TraceIgnoredException(L"zip listing");
    }
}

void TKyZipLV::ListExistingZip(const std::wstring& fileName)
{
    TTimingScope timing(L"archive zip listed");
    // Opening never writes: an empty file is an empty archive (the first
    // file added writes it), a file too short for the end record is none.
    const uint64_t size = FileSizeOf(fileName);
    if (size == 0) {
        ListZip(fileName, true);
        return;
    }
    if (size >= kZipEndRecordSize) {
        ListZip(fileName, false);
        if (zipper_->ErrCode() == 0 || (zipper_->Count() > 0 && !zipper_->ZipFileName().empty()))
            return;
    }
    CloseComponents();
    archiveKind_ = akNone;
    throw EArchiveError(fileName + L" ist kein gültiges Archiv.");
}

void TKyZipLV::ZipDirChanged()
{
    // While an archive is being opened or closed, the opening reports itself.
    if (autoRefresh_ && archiveKind_ == akZip)
        DirUpdate();
}

void TKyZipLV::DirUpdate()
{
    if (autoRefresh_ && archiveKind_ != akNone)
        FillItems();
    if (OnDirUpdate)
        OnDirUpdate(this);
}

void TKyZipLV::FillItems()
{
    const TWaitCursor hourglass;
    TStringList masks;
    TZipFilter filter;
    if (Mask() != L"*.*") {
        ParseMaskList(Mask(), masks);
        filter.Masks = &masks;
    }
    filter.SizeFrom = SelFileSizeFrom;
    filter.SizeTo = SelFileSizeTo;
    filter.DateFrom = SelFileDateFrom;
    filter.DateTo = SelFileDateTo;
    std::shared_ptr<const TArchiveEntryView> view;
    switch (archiveKind_) {
    case akZip:
        view = std::make_shared<TZipperEntryView>(zipper_->SharedContents());
        break;
    case akRAR:
        view = EntryViewOf(*rar_);
        break;
    case akCabinet:
        view = std::make_shared<TReaderEntryView<TKyCAB, TArchiveEntry (*)(const TCabEntry&)>>(
            *cab_, [](const TCabEntry& record) {
                TArchiveEntry entry;
                entry.StoredName = record.Name;
                entry.DateTime = record.DateTime;
                entry.Size = record.Size;
                entry.PackedSize = record.Size;
                entry.IsDirectory = (record.Attributes & kDirectoryAttribute) != 0;
                return entry;
            });
        break;
    case akACE:
        view = EntryViewOf(*ace_);
        break;
    default:
        break;
    }
    {
        TTimingScope timing(L"archive items filled");
        items_.Fill(view, filter);
        timing.Note(std::to_wstring(items_.Count()) + L" items");
    }
    SetItemCount(items_.Count());
    // A new list starts unselected: rows the control kept selected from the
    // old one would now stand for other entries.
    if (HandleAllocated()) {
        items_.Updating = true;
        ScopeExit done([&] { items_.Updating = false; });
        SetSelected(-1, false);
    }
    SortItems();
    if (items_.Count() > 0 && HandleAllocated()) {
        items_.Updating = true;
        ScopeExit done([&] { items_.Updating = false; });
        SetItemFocused(0);
    }
}

void TKyZipLV::LookUpFileInfo(TZipItem& item)
{
    // Names of one extension mostly come in runs (a sort by type looks up
    // every entry): the last one found is tried first.
    const std::wstring ext = UpperCase(ExtractFileExt(item.Name()));
    if (lastFileInfo_ && ext == lastFileInfoExt_) {
        item.Type = lastFileInfo_;
        return;
    }
    auto found = fileInfoCache_.find(ext);
    if (found == fileInfoCache_.end()) {
        // The name part alone, with the attributes given: nothing stored in
        // the archive ever reaches the disk or the network.
        const std::wstring name(item.Name());
        TZipTypeInfo info;
        SHFILEINFOW shell{};
        if (SafeGetFileInfo(name, FILE_ATTRIBUTE_NORMAL,
                            SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME, shell)) {
            info.IconIndex = shell.iIcon;
            info.TypeName = shell.szTypeName;
        }
        if (ext == L".EXE" || ext == L".COM") {
            const int programIcon = ShellValues().ExeIconIndex;
            if (programIcon >= 0)
                info.IconIndex = programIcon;
        }
        found = fileInfoCache_.emplace(ext, std::move(info)).first;
    }
    // The cache's nodes stay where they are: the item points to its record.
    item.Type = &found->second;
    lastFileInfo_ = item.Type;
    lastFileInfoExt_ = ext;
}

std::wstring TKyZipLV::FormatDosTime(uint32_t dosDateTime) const
{
    uint64_t fileTime = 0;
    if (!DosDateTimeToFileTime(dosDateTime, fileTime))
        return {};
    FILETIME ft{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME st{};
    if (!FileTimeToSystemTime(&ft, &st))
        return {};
    return FormatDateTime(st);
}

std::wstring TKyZipLV::CellText(int item, int column)
{
    if (item < 0 || item >= items_.Count())
        return {};
    TZipItem& zipItem = items_[item];
    if (column == zcType && !cellOptions_.SortByExtension && !zipItem.Type)
        LookUpFileInfo(zipItem);
    static const std::wstring separator = LocaleThousandSeparator();
    cellOptions_.ThousandSeparator = separator;
    return ZipCellText(zipItem, items_.EntryOf(zipItem), column, cellOptions_,
                       [this](uint32_t dos) { return FormatDosTime(dos); });
}

void TKyZipLV::OwnerDataFetch(int item, int subItem, std::wstring& text)
{
    TKyListView::OwnerDataFetch(item, subItem, text);
    if (subItem > 0 && ViewStyle() != TViewStyle::vsReport)
        return;
    text = CellText(item, subItem);
}

void TKyZipLV::SortItems()
{
    if (items_.Count() == 0 || SortColumn() < zcName || SortColumn() > zcPath)
        return;
    const TWaitCursor hourglass;
    if (ZipSortNeedsTypeNames(SortColumn(), cellOptions_.SortByExtension))
        for (TZipItem& item : items_.Items())
            if (!item.Type)
                LookUpFileInfo(item);
    // The selection is marked in the items and the focus is remembered by
    // its entry, so both follow the entries through the sort.
    const bool handle = HandleAllocated();
    int focusedEntry = -1;
    if (handle) {
        ReadSelectionFromControl();
        const int focused = ItemFocused();
        if (focused >= 0 && focused < items_.Count())
            focusedEntry = items_[focused].Index;
    }
    bool sorted = false;
    {
        TTimingScope timing(L"archive items sorted");
        sorted = SortZipItems(items_, SortColumn(), SortAscending(), cellOptions_.SortByExtension, TLocaleCollator());
    }
    if (!sorted || !handle)
        return;
    PushSelectionToControl(focusedEntry);
    Repaint();
}

void TKyZipLV::ReadSelectionFromControl()
{
    // Nothing selected, as after every fill: no walk over the rows.
    if (SendMessageW(handle_, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
        if (items_.SelCount() > 0)
            items_.ClearSelection();
        return;
    }
    const int count = std::min(ItemCount(), items_.Count());
    std::vector<bool> selected(static_cast<size_t>(items_.Count()), false);
    for (int i = -1;
         (i = static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0 &&
         i < count;)
        selected[static_cast<size_t>(i)] = true;
    for (int i = 0; i < items_.Count(); ++i)
        items_.SetSelected(i, selected[static_cast<size_t>(i)]);
}

void TKyZipLV::PushSelectionToControl(int focusedEntry)
{
    items_.Updating = true;
    ScopeExit done([&] { items_.Updating = false; });
    SetSelected(-1, false);
    // Nothing selected, as after a fill: no walk over the rows.
    if (items_.SelCount() > 0)
        for (int row = 0; row < items_.Count(); ++row)
            if (items_[row].Selected)
                SetSelected(row, true);
    const int focused = focusedEntry >= 0 ? items_.RowOfEntry(focusedEntry) : -1;
    if (focused >= 0) {
        SetItemFocused(focused);
        SendMessageW(handle_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
    }
}

void TKyZipLV::SelectAll()
{
    BeginUpdate();
    items_.Updating = true;
    ScopeExit done([&] {
        items_.Updating = false;
        EndUpdate();
    });
    for (int i = 0; i < items_.Count(); ++i)
        items_.SetSelected(i, true);
    SetSelected(-1, true);
}

void TKyZipLV::InvertSelection()
{
    BeginUpdate();
    items_.Updating = true;
    ScopeExit done([&] {
        items_.Updating = false;
        EndUpdate();
    });
    const int count = std::min(ItemCount(), items_.Count());
    for (int i = 0; i < count; ++i) {
        const bool selected = !items_[i].Selected;
        items_.SetSelected(i, selected);
        SetSelected(i, selected);
    }
}

void TKyZipLV::StateChanged(const NMLISTVIEW& change)
{
    if (items_.Updating || !(change.uChanged & LVIF_STATE))
        return;
    if (change.iItem >= 0 && change.iItem < items_.Count() && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
        items_.SetSelected(change.iItem, (change.uNewState & LVIS_SELECTED) != 0);
    // A change of many rows at once, or one missed: the control is the truth.
    if (change.iItem < 0 || SelCount() != items_.SelCount())
        ReadSelectionFromControl();
}

void TKyZipLV::RangeChanged(const NMLVODSTATECHANGE& change)
{
    if (items_.Updating || !((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
        return;
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    const int to = std::min(change.iTo, items_.Count() - 1);
    for (int i = std::max(change.iFrom, 0); i <= to; ++i)
        items_.SetSelected(i, selected);
}

void TKyZipLV::DoNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        LVITEMW& item = info.item;
        if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0 && item.iItem >= 0 && item.iItem < items_.Count()) {
            TZipItem& zipItem = items_[item.iItem];
            if (!zipItem.Type)
                LookUpFileInfo(zipItem);
            item.iImage = zipItem.Type->IconIndex;
        }
        break;
    }
    case LVN_ITEMCHANGED:
        StateChanged(reinterpret_cast<NMLISTVIEW&>(header));
        break;
    case LVN_ODSTATECHANGED:
        RangeChanged(reinterpret_cast<NMLVODSTATECHANGE&>(header));
        return;
    case NM_DBLCLK:
        if (OnDblClick)
            OnDblClick(this);
        if (!SingleClickToExec)
            OpenItem();
        return;
    case NM_RETURN:
        if (GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0) {
            if (OnDblClick)
                OnDblClick(this);
            if (!SingleClickToExec)
                OpenItem();
        }
        return;
    case NM_CLICK: {
        // One click on a selected entry opens it when set so.
        const auto& click = reinterpret_cast<NMITEMACTIVATE&>(header);
        if (SingleClickToExec && click.iItem >= 0 && click.iItem < items_.Count() && Selected(click.iItem) &&
            GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0)
            OpenItem();
        break;
    }
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
        StartDragOut();
        return;
    case LVN_ODFINDITEMW: {
        const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
        result = -1;
        if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find.lvfi.psz)
            result = items_.FindByPrefix(find.lvfi.psz, find.iStart, (find.lvfi.flags & LVFI_WRAP) != 0);
        return;
    }
    default:
        break;
    }
    TKyListView::DoNotify(header, result);
}

}  // namespace qrv
