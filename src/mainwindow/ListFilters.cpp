#include "mainwindow/ListFilters.h"

#include "mainwindow/FilterLookups.h"
#include "panels/KyListView.h"

#include <algorithm>

namespace qrv {

namespace {

// The stored attribute order: Hidden, ReadOnly, System, Archive, Compressed, Encrypted.
enum : size_t { atHidden, atReadOnly, atSystem, atArchive, atCompressed, atEncrypted };

// The load filter keeps 64-bit sizes; a negative one is none.
int64_t LoadSize(int64_t Size)
{
    return std::max<int64_t>(Size, 0);
}

uint16_t StoredDate(int Date, uint16_t Fallback)
{
    return Date >= 0 && Date <= 0xFFFF ? static_cast<uint16_t>(Date) : Fallback;
}

}  // namespace

TFileSelectFilter SelectFilterOfList(const TListFilter& List, bool ShowHiddenDirs)
{
    TFileSelectFilter filter;
    filter.Masks = List.Mask;
    filter.Archive = List.Load.SelArchive;
    filter.Hidden = ShowHiddenDirs ? List.Load.SelHidden : TSelAttr::SelNo;
    filter.SysFile = List.Load.SelSysFile;
    filter.ReadOnly = List.Load.SelReadOnly;
    filter.Compressed = List.Load.SelCompressed;
    filter.Encrypted = List.Load.SelEncrypted;
    filter.SizeFrom = List.Load.SelFileSizeFrom;
    filter.SizeTo = List.Load.SelFileSizeTo;
    filter.DateFrom = List.Load.SelFileDateFrom;
    filter.DateTo = List.Load.SelFileDateTo;
    filter.TimeFrom = 0;
    filter.TimeTo = kEndOfDayDosTime;
    return filter;
}

TListFilter ListFilterOf(const TFileSelectFilter& Filter, int DaysBack)
{
    TListFilter list;
    list.Mask = Filter.Masks;
    list.Load.SelArchive = Filter.Archive;
    list.Load.SelHidden = Filter.Hidden;
    list.Load.SelSysFile = Filter.SysFile;
    list.Load.SelReadOnly = Filter.ReadOnly;
    list.Load.SelCompressed = Filter.Compressed;
    list.Load.SelEncrypted = Filter.Encrypted;
    list.Load.SelFileSizeFrom = LoadSize(Filter.SizeFrom);
    list.Load.SelFileSizeTo = LoadSize(Filter.SizeTo);
    list.Load.SelFileDateFrom = Filter.DateFrom;
    list.Load.SelFileDateTo = Filter.DateTo;
    list.Load.SelFileTimeFrom = 0;
    list.Load.SelFileTimeTo = kEndOfDayDosTime;
    list.DaysBack = DaysBack;
    return list;
}

TListFilterState CaptureListFilter(const TListFilter& List)
{
    TListFilterState state;
    state.Mask = List.Mask;
    state.Attributes[atHidden] = List.Load.SelHidden;
    state.Attributes[atReadOnly] = List.Load.SelReadOnly;
    state.Attributes[atSystem] = List.Load.SelSysFile;
    state.Attributes[atArchive] = List.Load.SelArchive;
    state.Attributes[atCompressed] = List.Load.SelCompressed;
    state.Attributes[atEncrypted] = List.Load.SelEncrypted;
    state.SizeFrom = List.Load.SelFileSizeFrom;
    state.SizeTo = List.Load.SelFileSizeTo;
    state.DateFrom = List.Load.SelFileDateFrom;
    state.DateTo = List.Load.SelFileDateTo;
    state.DaysSince = List.DaysBack;
    return state;
}

TListFilter ApplyListFilterState(const TListFilterState& State)
{
    TListFilter list;
    list.Mask = State.Mask.empty() ? L"*.*" : State.Mask;
    list.Load.SelHidden = State.Attributes[atHidden];
    list.Load.SelReadOnly = State.Attributes[atReadOnly];
    list.Load.SelSysFile = State.Attributes[atSystem];
    list.Load.SelArchive = State.Attributes[atArchive];
    list.Load.SelCompressed = State.Attributes[atCompressed];
    list.Load.SelEncrypted = State.Attributes[atEncrypted];
    list.Load.SelFileSizeFrom = LoadSize(State.SizeFrom);
    list.Load.SelFileSizeTo = LoadSize(State.SizeTo);
    list.Load.SelFileDateFrom = StoredDate(State.DateFrom, kFirstDosDate);
    list.Load.SelFileDateTo = StoredDate(State.DateTo, kLastDosDate);
    // A stored day count outside what the dialog offers is brought within it.
    list.DaysBack = State.DaysSince < 0 ? -1 : std::clamp(State.DaysSince, kMinDaysBack, kMaxDaysBack);
    return list;
}

bool IsUnfiltered(const TListFilter& List, bool ShowHiddenDirs)
{
    const TLoadFilter& f = List.Load;
    for (TSelAttr choice : {f.SelArchive, f.SelSysFile, f.SelReadOnly, f.SelCompressed, f.SelEncrypted})
        if (choice != TSelAttr::SelDontCare)
            return false;
    if (ShowHiddenDirs && f.SelHidden != TSelAttr::SelDontCare)
        return false;
    return List.Mask == L"*.*" && f.SelFileSizeFrom == 0 && f.SelFileSizeTo == kMaxFilterSize &&
           f.SelFileDateFrom == kFirstDosDate && f.SelFileDateTo == kLastDosDate;
}

std::vector<std::wstring> FilterBoxItems(const std::vector<TFilterRec>& Filters,
                                         const std::vector<std::wstring>& History)
{
    std::vector<std::wstring> items;
    for (const TFilterRec& filter : Filters)
        items.push_back(filter.Masks);
    items.insert(items.end(), History.begin(), History.end());
    return items;
}

std::vector<TFilterMenuItem> FilterMenuItems(const std::vector<TFilterRec>& Filters, const std::wstring& ActiveMask)
{
    std::vector<TFilterMenuItem> items;
    for (size_t i = 0; i < Filters.size(); ++i)
        items.push_back({Filters[i].Name, static_cast<int>(i), Filters[i].Masks == ActiveMask});
    return items;
}

TSelFileContext SelFileContextFor(const std::vector<TFilterRec>& Filters, TCompressionBits Compression,
                                  bool ShowHiddenDirs, int DaysBack, const TPickerDate& Today)
{
    TSelFileContext context;
    context.Filters = &Filters;
    context.Compression = Compression;
    context.ShowHiddenDirs = ShowHiddenDirs;
    context.DaysBack = DaysBack;
    context.Today = Today;
    context.ResolveName = [&Filters](const std::wstring& Text) { return FilterMasksForName(Filters, Text); };
    context.NormalizeMasks = [](const std::wstring& Masks) { return NormalizeMask(Masks); };
    return context;
}

}  // namespace qrv
