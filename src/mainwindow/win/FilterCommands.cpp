#include "mainwindow/win/FilterCommands.h"

#include "archives/win/KyZipLV.h"
#include "framework/SysUtils.h"
#include "dialogs/win/SelFileDialog.h"
#include "framework/IgnoredError.h"
#include "mainwindow/FilterLookups.h"
#include "panels/KyListView.h"
#include "panels/win/DirView.h"
#include "panels/win/DirViewSelect.h"
#include "settings/NamedFilters.h"
#include "settings/Quorvan32Globals.h"

#include <algorithm>
#include <cwctype>

namespace qrv {

namespace {

// The box's colour while the shown list is filtered.
constexpr TColor kFilteredColor = 0x00FFFF;
constexpr int kArchiveFilterHelpContext = 336;

std::vector<std::wstring> Lines(const TStringList& List)
{
    std::vector<std::wstring> lines;
    for (int i = 0; i < List.Count(); ++i)
        lines.push_back(List.Get(i));
    return lines;
}

// The mask Strg+E starts with: the focused file's extension, else all.
std::wstring StartMaskOf(const TDirView& List)
{
    const TFileRec* focused = List.ItemFocused();
    if (!focused || focused->IsDirectory || focused->IsParentDir)
        return L"*.*";
    const std::wstring& name = focused->FileName;
    const size_t dot = name.find_last_of(L'.');
    const size_t slash = name.find_last_of(L'\\');
    if (dot == std::wstring::npos || dot + 1 >= name.size() || (slash != std::wstring::npos && dot < slash))
        return L"*.*";
    return L"*" + LowerCase(name.substr(dot));
}

bool ArchiveUnfiltered(const TKyZipLV& Zip)
{
    for (TSelAttr choice : {Zip.SelArchive, Zip.SelHidden, Zip.SelSysFile, Zip.SelReadOnly})
        if (choice != TSelAttr::SelDontCare)
            return false;
    return Zip.Mask() == L"*.*" && Zip.SelFileSizeFrom == 0 && Zip.SelFileSizeTo == kMaxFilterSize &&
           Zip.SelFileDateFrom == kFirstDosDate && Zip.SelFileDateTo == kLastDosDate;
}

}  // namespace

void TFilterComboBox::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == CBN_SELENDOK && OnChosen)
        OnChosen(this);
    TComboBox::WndProc(Message);
}

TFilterCommands::TFilterCommands(const TMainPanes& Panes, TFilterCommandsHost& Host, TComboBox* Box)
    : panes_(Panes), host_(Host), box_(Box)
{}

int TFilterCommands::WindowOf(TDirView* List)
{
    return List && List == panes_.FileList(1) ? 1 : 0;
}

int& TFilterCommands::FocusedDaysBack()
{
    return daysBack_[static_cast<size_t>(WindowOf(panes_.ActiveList))];
}

TListFilter TFilterCommands::ListFilterOfList(TDirView& List)
{
    TListFilter filter;
    filter.Mask = List.Mask();
    filter.Load = List.Filter;
    filter.DaysBack = daysBack_[static_cast<size_t>(WindowOf(&List))];
    return filter;
}

void TFilterCommands::ApplyFilterToList(TDirView& List, const TListFilter& Filter)
{
    daysBack_[static_cast<size_t>(WindowOf(&List))] = Filter.DaysBack;
    List.SetLoadEnabled(false);
    List.Filter = Filter.Load;
    List.Filter.SelFileTimeFrom = 0;
    List.Filter.SelFileTimeTo = kEndOfDayDosTime;
    List.SetMask(Filter.Mask);
    // A list that shows no folder yet reads it with this filter when it does.
    if (!List.GetPath().empty())
        List.RefreshDirectory();
    else
        List.SetLoadEnabled(true);
    List.SetColumnCaptions();
}

bool TFilterCommands::SameFilters(TDirView& A, TDirView& B)
{
    const TLoadFilter& a = A.Filter;
    const TLoadFilter& b = B.Filter;
    return A.Mask() == B.Mask() && daysBack_[0] == daysBack_[1] && a.SelFileDateFrom == b.SelFileDateFrom &&
           a.SelFileDateTo == b.SelFileDateTo && a.SelFileSizeFrom == b.SelFileSizeFrom &&
           a.SelFileSizeTo == b.SelFileSizeTo && a.SelArchive == b.SelArchive && a.SelHidden == b.SelHidden &&
           a.SelSysFile == b.SelSysFile && a.SelReadOnly == b.SelReadOnly && a.SelCompressed == b.SelCompressed &&
           a.SelEncrypted == b.SelEncrypted;
}

void TFilterCommands::RememberManualMask(const std::wstring& Masks)
{
    TStringList& history = host_.MaskHistory();
    if (Masks != L"*.*" && history.IndexOf(Masks) < 0)
        history.Insert(0, Masks);
}

bool TFilterCommands::EditFilterDialog(const std::wstring& Caption, TFileSelectFilter& Filter, int HelpContext,
                                       bool ShowAttributes, int& DaysBack)
{
    TOptions& options = host_.FilterOptions();
    EnsureAllFilesFilter(options.FilterList);
    const TCompressionBits bits = host_.CompressionBitsOf(host_.TreeFolder());
    const TSelFileContext context =
        SelFileContextFor(options.FilterList, bits, options.ShowHiddenDirs, DaysBack, host_.Today());
    TSelFileFields fields = FieldsFromFilter(Filter, context);
    TDirView* active = panes_.ActiveList;
    TDirView* other = panes_.OtherList();
    fields.BothWindowsEnabled = other != nullptr;
    fields.BothWindows = options.SelBothFileWin || (active && other && SameFilters(*active, *other));
    fields.ManualHistory = Lines(host_.MaskHistory());

    TSelFileDialog dialog(nullptr, context);
    dialog.SetCaption(Caption);
    dialog.HelpContext = HelpContext;
    dialog.SetShowAttributes(ShowAttributes);
    dialog.SetFields(fields);
    dialog.EditNamedFilters = [this] { host_.EditNamedFilters(); };
    if (!host_.RunFilterDialog(dialog))
        return false;

    const TSelFileFields result = dialog.Fields();
    if (ShowAttributes)
        options.SelBothFileWin = result.BothWindows && result.BothWindowsEnabled;
    Filter = FilterFromFields(result, Filter, context, DaysBack);
    if (result.ManualChosen)
        RememberManualMask(Filter.Masks);
    return true;
}

void TFilterCommands::SelectSeveralExecute(bool Select)
{
    TDirView* list = panes_.ActiveList;
    if (!list)
        return;
    const TOptions& options = host_.FilterOptions();
    TFileSelectFilter filter = SelectFilterOfList(ListFilterOfList(*list), true);
    filter.Masks = StartMaskOf(*list);
    filter.IncludeDirs = options.SelDirs;
    int days = FocusedDaysBack();
    // The list has the focus again however the dialog closed.
    const bool confirmed =
        EditFilterDialog(Select ? L"Dateien markieren:" : L"Dateien entmarkieren:", filter, 0, true, days);
    host_.FocusList(list);
    if (!confirmed)
        return;
    const auto apply = [&](TDirView& target) {
        // Selecting starts from an empty selection.
        if (Select)
            target.SelectMatching([](const TFileRec&) { return true; }, false);
        SelectFilesInList(target, filter, Select);
    };
    apply(*list);
    if (host_.FilterOptions().SelBothFileWin)
        if (TDirView* other = panes_.OtherList())
            apply(*other);
    host_.SelectionChanged();
}

void TFilterCommands::EditFilterExecute()
{
    if (host_.ArchiveListFocused()) {
        FilterZipLVExecute();
        return;
    }
    TDirView* list = panes_.ActiveList;
    if (!list)
        return;
    const TOptions& options = host_.FilterOptions();
    TFileSelectFilter filter = SelectFilterOfList(ListFilterOfList(*list), options.ShowHiddenDirs);
    int days = FocusedDaysBack();
    if (!EditFilterDialog(L"Dateifilter bearbeiten:", filter, 0, true, days))
        return;
    const TListFilter applied = ListFilterOf(filter, days);
    ApplyFilterToList(*list, applied);
    host_.FilterApplied();
    if (host_.FilterOptions().SelBothFileWin)
        if (TDirView* other = panes_.OtherList())
            ApplyFilterToList(*other, applied);
    RebuildFilterBox();
}

void TFilterCommands::FilterZipLVExecute()
{
    TKyZipLV* zip = panes_.ZipLV;
    if (!zip)
        return;
    TFileSelectFilter filter;
    filter.Masks = zip->Mask();
    filter.Archive = zip->SelArchive;
    filter.Hidden = zip->SelHidden;
    filter.SysFile = zip->SelSysFile;
    filter.ReadOnly = zip->SelReadOnly;
    filter.SizeFrom = zip->SelFileSizeFrom;
    filter.SizeTo = zip->SelFileSizeTo;
    filter.DateFrom = zip->SelFileDateFrom;
    filter.DateTo = zip->SelFileDateTo;
    if (!EditFilterDialog(L"Archivfilter bearbeiten:", filter, kArchiveFilterHelpContext, false, archiveDaysBack_))
        return;
    const std::wstring archive = zip->GetArchiveName();
    zip->SelFileSizeFrom = static_cast<uint64_t>(std::max<int64_t>(filter.SizeFrom, 0));
    zip->SelFileSizeTo = static_cast<uint64_t>(std::max<int64_t>(filter.SizeTo, 0));
    zip->SelFileDateFrom = filter.DateFrom;
    zip->SelFileDateTo = filter.DateTo;
    const std::wstring before = zip->Mask();
    zip->SetMask(filter.Masks);
    // The same mask reads nothing again: the archive is opened anew.
    if (zip->Mask() == before && !archive.empty())
        zip->OpenArchive(archive);
    RebuildFilterBox();
}

void TFilterCommands::EditStdFilterExecute()
{
    host_.EditNamedFilters();
    RebuildFilterBox();
}

void TFilterCommands::RebuildFilterBox()
{
    if (!box_)
        return;
    const TOptions& options = host_.FilterOptions();
    TStrings& items = box_->Items();
    items.Clear();
    for (const std::wstring& item : FilterBoxItems(options.FilterList, Lines(host_.MaskHistory())))
        items.Add(item);
    std::wstring text;
    if (TKyZipLV* zip = panes_.ZipLV; zip && host_.ArchiveListFocused())
        text = zip->Mask();
    else if (TDirView* list = panes_.ActiveList)
        text = list->Mask();
    box_->SetText(text);
    UpdateFilterBoxColor();
}

void TFilterCommands::UpdateFilterBoxColor()
{
    if (!box_)
        return;
    const TOptions& options = host_.FilterOptions();
    bool unfiltered = true;
    if (options.UseColor) {
        if (TKyZipLV* zip = panes_.ZipLV; zip && host_.ArchiveListFocused())
            unfiltered = ArchiveUnfiltered(*zip);
        else if (TDirView* list = panes_.ActiveList)
            unfiltered = IsUnfiltered(ListFilterOfList(*list), options.ShowHiddenDirs);
    }
    const TColor color = unfiltered ? clWindow : kFilteredColor;
    if (box_->Color() != color) {
        box_->SetColor(color);
        if (box_->HandleAllocated())
            InvalidateRect(box_->Handle(), nullptr, TRUE);
    }
}

void TFilterCommands::ApplyTypedMask(const std::wstring& Text)
{
    TDirView* list = panes_.ActiveList;
    if (!list)
        return;
    const TOptions& options = host_.FilterOptions();
    list->SetMask(FilterMasksForName(options.FilterList, Text));
    if (options.SelBothFileWin)
        if (TDirView* other = panes_.OtherList())
            other->SetMask(list->Mask());
    if (box_) {
        TStrings& items = box_->Items();
        const int older = items.IndexOf(list->Mask());
        if (older >= 0)
            items.Delete(older);
        items.Insert(0, list->Mask());
        box_->SetItemIndex(0);
        if (box_->HandleAllocated())
            SendMessageW(box_->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    }
    host_.FilterApplied();
    UpdateFilterBoxColor();
}

void TFilterCommands::FilterBoxChosen(const std::wstring& Text)
{
    TDirView* list = panes_.ActiveList;
    if (!list)
        return;
    const std::wstring masks = NormalizeMask(FilterMasksForName(host_.FilterOptions().FilterList, Text));
    if (masks != list->Mask())
        ApplyTypedMask(Text);
}

std::vector<TFilterMenuItem> TFilterCommands::FilterMenu()
{
    TOptions& options = host_.FilterOptions();
    EnsureAllFilesFilter(options.FilterList);
    TDirView* list = panes_.ActiveList;
    return FilterMenuItems(options.FilterList, list ? list->Mask() : std::wstring());
}

void TFilterCommands::FilterMenuClick(int Tag)
{
    const TOptions& options = host_.FilterOptions();
    TDirView* list = panes_.ActiveList;
    if (!list || Tag < 0 || Tag >= static_cast<int>(options.FilterList.size()))
        return;
    const std::wstring masks = options.FilterList[static_cast<size_t>(Tag)].Masks;
    list->SetMask(masks);
    // The menu follows the view's sync switch, as the view styles do.
    if (options.SyncDisplay)
        if (TDirView* other = panes_.OtherList())
            other->SetMask(masks);
    host_.FilterApplied();
    RebuildFilterBox();
}

void TFilterCommands::ApplyStoredFilters(const TListFilterState& First, const TListFilterState& Second)
{
    const TListFilterState* states[] = {&First, &Second};
    for (int window = 0; window < 2; ++window)
        if (TDirView* list = panes_.FileList(window))
            ApplyFilterToList(*list, ApplyListFilterState(*states[window]));
    RebuildFilterBox();
}

void TFilterCommands::CaptureFilters(TListFilterState& First, TListFilterState& Second)
{
    TListFilterState* states[] = {&First, &Second};
    for (int window = 0; window < 2; ++window)
        if (TDirView* list = panes_.FileList(window))
            *states[window] = CaptureListFilter(ListFilterOfList(*list));
}

TCompressionBits QueryCompressionBits(const std::wstring& Folder)
{
    // The volume root: "X:\" for a drive path in any letter case,
    // "\\server\share\" for a network path.
    std::wstring root;
    if (Folder.size() >= 2 && Folder[1] == L':' && std::iswalpha(Folder[0])) {
        root = Folder.substr(0, 2) + L"\\";
    } else if (Folder.starts_with(L"\\\\")) {
        const size_t share = Folder.find(L'\\', 2);
        const size_t end = share == std::wstring::npos ? share : Folder.find(L'\\', share + 1);
        root = (end == std::wstring::npos ? Folder : Folder.substr(0, end)) + L"\\";
    } else {
        return TCompressionBits::QueryFailed;
    }
    wchar_t fileSystem[MAX_PATH + 1] = L"";
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL known =
        GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1);
    const DWORD error = known ? 0 : GetLastError();
    SetErrorMode(oldMode);
    if (!known) {
        TraceIgnoredFailure(L"the file system of " + root, error);
        return TCompressionBits::QueryFailed;
    }
    return _wcsicmp(fileSystem, L"NTFS") == 0 ? TCompressionBits::Ntfs : TCompressionBits::NotNtfs;
}

}  // namespace qrv
