#include "mainwindow/StoredSettings.h"

#include "framework/SysUtils.h"
#include "mainwindow/NamedFilters.h"

#include <algorithm>
#include <numeric>

namespace qrv {

const std::array<const wchar_t*, kCustomToolbarCount> kCustomToolbarNames = {
    L"ToolbarDatei", L"ToolbarDateianzeige", L"ToolbarAuswahl", L"ToolbarAnsicht",
    L"ToolbarBearbeiten", L"ToolBarNetwork", L"ToolbarCMDLine",
};

namespace {

const std::wstring kWindow = L"Window";
const std::wstring kOthers = L"Others";
const std::wstring kList = L"List";
const std::wstring kList2 = L"List2";
const std::wstring kZipLV = L"ZipLV";
const std::wstring kTextSettings = L"TextSettings";
const std::wstring kCurrentFilter = L"CurrentFilter";

struct TBoolValue {
    const wchar_t* Section;
    const wchar_t* Name;
    bool TOptions::*Field;
};

// The switches of TOptions that are read and written under their names.
const TBoolValue kBoolValues[] = {
    {L"Window", L"LongVolNames", &TOptions::LongVolNames},
    {L"Window", L"UseColor", &TOptions::UseColor},
    {L"Window", L"ConfirmLogicalDel", &TOptions::ConfirmLogicalDel},
    {L"Window", L"ConfirmPhysicalDel", &TOptions::ConfirmPhysicalDel},
    {L"Window", L"ConfirmOverWrite", &TOptions::ConfirmOverWrite},
    {L"Window", L"BringToFront", &TOptions::BringToFront},
    {L"Window", L"RestoreInitDir", &TOptions::RestoreInitDir},
    {L"Window", L"CDROMAttr", &TOptions::CDROMAttr},
    {L"Window", L"VerifyFloppy", &TOptions::VerifyFloppy},
    {L"Window", L"HiddenGrey", &TOptions::HiddenGrey},
    {L"Window", L"ShowHiddenDirs", &TOptions::ShowHiddenDirs},
    {L"Window", L"TurboIcon", &TOptions::TurboIcon},
    {L"Window", L"DosClose", &TOptions::DosClose},
    {L"Window", L"SortByExt", &TOptions::SortByExt},
    {L"Window", L"RowSelect", &TOptions::RowSelect},
    {L"Window", L"ShowFilter", &TOptions::ShowFilter},
    {L"Window", L"DragImages", &TOptions::DragImages},
    {L"Window", L"SelDirs", &TOptions::SelDirs},
    {L"Window", L"SyncDisplay", &TOptions::SyncDisplay},
    {L"Window", L"ClickEdits", &TOptions::ClickEdits},
    {L"Window", L"AutoSort", &TOptions::AutoSort},
    {L"Window", L"LinkOnExeDrag", &TOptions::LinkOnExeDrag},
    {L"Window", L"DirSize", &TOptions::DirSize},
    {L"Window", L"Grid", &TOptions::Grid},
    {L"Window", L"SingleClickExec", &TOptions::SingleClickExec},
    {L"Window", L"DirsOnTop", &TOptions::DirsOnTop},
    {L"Window", L"AutoScrollTree", &TOptions::AutoScrollTree},
    {L"Window", L"SelBothFileWin", &TOptions::SelBothFileWin},
    {L"Window", L"scRestoreFilter", &TOptions::scRestoreFilter},
    {L"Window", L"ShowExtension", &TOptions::ShowExtension},
    {L"Window", L"SortDirTime", &TOptions::SortDirTime},
    {L"Window", L"SBAbbreviated", &TOptions::SBAbbreviated},
    {L"Window", L"AutoActivate", &TOptions::AutoActivate},
    {L"Window", L"ConfirmAuthority", &TOptions::ConfirmAuthority},
    {L"Window", L"AutoExpandDir", &TOptions::AutoExpandDir},
    {L"Window", L"UseProgIcons", &TOptions::UseProgIcons},
    {L"Window", L"FollowLinks", &TOptions::FollowLinks},
    {L"Window", L"2TBDrives", &TOptions::TwoTBDrives},
    {L"Window", L"ViewFile", &TOptions::ViewFile},
    {L"List", L"AbbreviatedSize", &TOptions::AbbreviatedSize},
    {L"List", L"AttrUnderline", &TOptions::AttrUnderline},
    {L"List", L"InfoTips", &TOptions::InfoTips},
    {L"Window", L"MessageBox", &TOptions::MessageBox},
    {L"Others", L"BAKFiles", &TOptions::BAKFiles},
    {L"Others", L"WantTabs", &TOptions::WantTabs},
    {L"Window", L"SecondFileWin", &TOptions::SecondFileWin},
    {L"Window", L"ShowDirWin", &TOptions::ShowDirWin},
};

// Read but never written: values of older versions and hand-edited ones.
const TBoolValue kLoadOnlyBoolValues[] = {
    {L"Window", L"SquareThumb", &TOptions::SquareThumb},
    {L"Others", L"ShowDirs", &TOptions::ShowDirs},
};

struct TIntValue {
    const wchar_t* Name;
    int32_t TOptions::*Field;
};

const TIntValue kIntValues[] = {
    {L"Color", &TOptions::Color},
    {L"ActiveColor", &TOptions::ActiveColor},
    {L"PicBKColor", &TOptions::PicBKColor},
    {L"HiddenColor", &TOptions::HiddenColor},
    {L"Reload", &TOptions::Reload},
    {L"DDExpandDelay", &TOptions::DDExpandDelay},
    {L"TBButtonSize", &TOptions::TBButtonSize},
    {L"DividerStyle", &TOptions::DividerStyle},
};

struct TByteValue {
    const wchar_t* Name;
    uint8_t TOptions::*Field;
};

const TByteValue kByteValues[] = {
    {L"DDOption", &TOptions::DDOption},
    {L"DateTime", &TOptions::DateTime},
    {L"FileDisplay", &TOptions::FileDisplay},
    {L"FileDisplayPos", &TOptions::FileDisplayPos},
    {L"FileNameDisplay", &TOptions::FileNameDisplay},
};

struct TEditorFlag {
    const wchar_t* Name;
    bool TEditorStoredOptions::*Field;
};

const TEditorFlag kEditorFlags[] = {
    {L"GroupUndo", &TEditorStoredOptions::GroupUndo},
    {L"WhiteSpace", &TEditorStoredOptions::WhiteSpace},
    {L"HighLightURL", &TEditorStoredOptions::HighLightURL},
    {L"WordWrap", &TEditorStoredOptions::WordWrap},
    {L"SearchText", &TEditorStoredOptions::SearchText},
    {L"PersistentBlocks", &TEditorStoredOptions::PersistentBlocks},
    {L"OverWriteBlocks", &TEditorStoredOptions::OverWriteBlocks},
    {L"InsertMode", &TEditorStoredOptions::InsertMode},
};

struct TCompareFlag {
    const wchar_t* Name;
    std::optional<bool> TCompareStoredOptions::*Field;
};

const TCompareFlag kCompareFlags[] = {
    {L"ByName", &TCompareStoredOptions::ByName},
    {L"BySize", &TCompareStoredOptions::BySize},
    {L"ByContent", &TCompareStoredOptions::ByContent},
    {L"SelectEqual", &TCompareStoredOptions::SelectEqual},
    {L"SelectDifferent", &TCompareStoredOptions::SelectDifferent},
    {L"SelectMissing", &TCompareStoredOptions::SelectMissing},
    {L"SelectNewer", &TCompareStoredOptions::SelectNewer},
    {L"SelectOlder", &TCompareStoredOptions::SelectOlder},
    {L"SelectDuplicates", &TCompareStoredOptions::SelectDuplicates},
    {L"SubDirs", &TCompareStoredOptions::SubDirs},
    {L"EqualFiles", &TCompareStoredOptions::EqualFiles},
};

// Values of the CurrentFilter section for list 1 (suffix "") and 2 ("2").
struct TFilterNames {
    std::wstring MaskList, AttrList, SizeFrom, SizeTo, DateFrom, DateTo, DateSince;
    explicit TFilterNames(const std::wstring& suffix)
        : MaskList(L"MaskList" + suffix), AttrList(L"AttrList" + suffix), SizeFrom(L"SizeFromList" + suffix),
          SizeTo(L"SizeToList" + suffix), DateFrom(L"DateFromList" + suffix), DateTo(L"DateToList" + suffix),
          DateSince(L"DateSinceList" + suffix)
    {
    }
};

uint8_t ReadByte(TKyRegistry& store, const std::wstring& section, const std::wstring& name, uint8_t current)
{
    const int value = store.ReadInteger(section, name, current);
    return value >= 0 && value <= 255 ? static_cast<uint8_t>(value) : current;
}

template <class T>
void ReadOptional(TKyRegistry& store, const std::wstring& section, const std::wstring& name, std::optional<T>& field)
{
    if (!store.ValueExists(section, name))
        return;
    if constexpr (std::is_same_v<T, bool>)
        field = store.ReadBool(section, name, field.value_or(false));
    else if constexpr (std::is_same_v<T, int>)
        field = store.ReadInteger(section, name, field.value_or(0));
    else
        field = store.ReadString(section, name, field.value_or(std::wstring()));
}

template <class T>
void WriteOptional(TKyRegistry& store, const std::wstring& section, const std::wstring& name,
                   const std::optional<T>& field)
{
    if (!field)
        return;
    if constexpr (std::is_same_v<T, bool>)
        store.WriteBool(section, name, *field);
    else if constexpr (std::is_same_v<T, int>)
        store.WriteInteger(section, name, *field);
    else
        store.WriteString(section, name, *field);
}

void ReadFont(TKyRegistry& store, const std::wstring& prefix, TFontSetting& font)
{
    font.Name = store.ReadString(kWindow, prefix + L"Name", font.Name).substr(0, 25);
    font.Size = store.ReadInteger(kWindow, prefix + L"Size", font.Size);
    // Only bold and italic are kept.
    font.Style = static_cast<uint8_t>(store.ReadInteger(kWindow, prefix + L"Style", 0) & (fsBoldBit | fsItalicBit));
}

void WriteFont(TKyRegistry& store, const std::wstring& prefix, const TFontSetting& font)
{
    store.WriteString(kWindow, prefix + L"Name", font.Name);
    store.WriteInteger(kWindow, prefix + L"Size", font.Size);
    store.WriteInteger(kWindow, prefix + L"Style", font.Style & (fsBoldBit | fsItalicBit));
}

// A history: name0, name1, ... up to limit entries, ending at the first empty one.
std::vector<std::wstring> ReadHistory(TKyRegistry& store, const std::wstring& section, const std::wstring& prefix,
                                      int limit)
{
    std::vector<std::wstring> items;
    for (int i = 0; i < limit; ++i) {
        std::wstring item = store.ReadString(section, prefix + IntToStr(i), L"");
        if (item.empty())
            break;
        items.push_back(std::move(item));
    }
    return items;
}

// Writes what the load would read back, and nothing of a longer, older history.
void WriteHistory(TKyRegistry& store, const std::wstring& section, const std::wstring& prefix,
                  const std::vector<std::wstring>& items, int limit)
{
    store.EraseSection(section);
    const int count = std::min(limit, static_cast<int>(items.size()));
    for (int i = 0; i < count; ++i)
        store.WriteString(section, prefix + IntToStr(i), items[i]);
}

void ReadColumnWidths(TKyRegistry& store, const std::wstring& section, std::vector<int>& widths)
{
    for (size_t i = 0; i < widths.size(); ++i)
        widths[i] = store.ReadInteger(section, L"ColWidth" + IntToStr(static_cast<int>(i)), widths[i]);
}

void WriteColumnWidths(TKyRegistry& store, const std::wstring& section, const std::vector<int>& widths)
{
    for (size_t i = 0; i < widths.size(); ++i)
        store.WriteInteger(section, L"ColWidth" + IntToStr(static_cast<int>(i)), widths[i]);
}

void ReadColumnOrder(TKyRegistry& store, const std::wstring& section, std::vector<int>& order)
{
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = store.ReadInteger(section, L"ColOrder" + IntToStr(static_cast<int>(i)), order[i]);
}

void WriteColumnOrder(TKyRegistry& store, const std::wstring& section, const std::vector<int>& order)
{
    for (size_t i = 0; i < order.size(); ++i)
        store.WriteInteger(section, L"ColOrder" + IntToStr(static_cast<int>(i)), order[i]);
}

void ReadViewAndSort(TKyRegistry& store, const std::wstring& section, TListViewState& list)
{
    list.ViewStyle = store.ReadInteger(section, L"ViewStyle", list.ViewStyle);
    list.SortAscending = store.ReadBool(section, L"SortAscending", list.SortAscending);
    list.SortColumn = store.ReadInteger(section, L"SortColumn", list.SortColumn);
}

void WriteViewAndSort(TKyRegistry& store, const std::wstring& section, const TListViewState& list)
{
    store.WriteInteger(section, L"ViewStyle", list.ViewStyle);
    store.WriteBool(section, L"SortAscending", list.SortAscending);
    store.WriteInteger(section, L"SortColumn", list.SortColumn);
}

void ReadFilter(TKyRegistry& store, const std::wstring& suffix, TListFilterState& filter)
{
    const TFilterNames names(suffix);
    filter.Mask = store.ReadString(kCurrentFilter, names.MaskList, filter.Mask);
    ApplyAttrListText(store.ReadString(kCurrentFilter, names.AttrList, L"******"), filter.Attributes);
    filter.SizeFrom = store.ReadInt64(kCurrentFilter, names.SizeFrom, filter.SizeFrom);
    filter.SizeTo = store.ReadInt64(kCurrentFilter, names.SizeTo, filter.SizeTo);
    filter.DateFrom = store.ReadInteger(kCurrentFilter, names.DateFrom, filter.DateFrom);
    filter.DateTo = store.ReadInteger(kCurrentFilter, names.DateTo, filter.DateTo);
    filter.DaysSince = store.ReadInteger(kCurrentFilter, names.DateSince, filter.DaysSince);
}

void WriteFilter(TKyRegistry& store, const std::wstring& suffix, const TListFilterState& filter)
{
    const TFilterNames names(suffix);
    store.WriteString(kCurrentFilter, names.MaskList, filter.Mask);
    store.WriteString(kCurrentFilter, names.AttrList, AttrListText(filter.Attributes));
    store.WriteInt64(kCurrentFilter, names.SizeFrom, filter.SizeFrom);
    store.WriteInt64(kCurrentFilter, names.SizeTo, filter.SizeTo);
    store.WriteInteger(kCurrentFilter, names.DateFrom, filter.DateFrom);
    store.WriteInteger(kCurrentFilter, names.DateTo, filter.DateTo);
    store.WriteInteger(kCurrentFilter, names.DateSince, filter.DaysSince);
}

bool HasFolderPart(const std::wstring& command)
{
    return command.find_first_of(L"\\/:") != std::wstring::npos;
}

bool LoadFKeys(TKyRegistry& store, TOptions& options, const TSettingsFacts& facts)
{
    const std::wstring empty{kFKeySeparator, kFKeySeparator};
    bool completed = false;
    for (int set = 0; set < 2; ++set) {
        for (int key = 1; key <= 12; ++key) {
            TFKeyRecord& record = options.FKeys[set][key - 1];
            const int imageIndex = record.ImageIndex;
            record = FKeyFromText(store.ReadString(FKeySection(set), L"F" + IntToStr(key), empty));
            record.ImageIndex = imageIndex;
            if (facts.FirstRun && facts.FindOnSearchPath && !record.Command.empty() &&
                !HasFolderPart(record.Command)) {
                const std::wstring found = facts.FindOnSearchPath(record.Command);
                if (!found.empty()) {
                    record.Command = found.substr(0, 200);
                    completed = true;
                }
            }
        }
    }
    return completed;
}

void LoadBookmarks(TKyRegistry& store, TStrings& bookmarks, TStrings& captions, const TSettingsFacts& facts)
{
    bookmarks.Clear();
    captions.Clear();
    for (int i = 0; i < 100; ++i) {
        const std::wstring dir = store.ReadString(L"StdDirs", L"StdDirs" + IntToStr(i), L"");
        const std::wstring caption = store.ReadString(L"StdDirs", L"StdDirCap" + IntToStr(i), L"");
        if (dir.empty() && caption.empty())
            break;
        bookmarks.Add(dir);
        captions.Add(caption);
    }
    if (bookmarks.Count() > 0)
        return;
    if (!facts.WindowsDirectory.empty()) {
        bookmarks.Add(facts.WindowsDirectory);
        captions.Add(L"");
    }
    if (!facts.PersonalFolder.empty()) {
        bookmarks.Add(facts.PersonalFolder);
        captions.Add(L"Eigene Dateien");
    }
}

void LoadNamedFilters(TKyRegistry& store, std::vector<TFilterRec>& filters)
{
    filters.clear();
    for (int i = 0; i < 100; ++i) {
        const std::wstring name = store.ReadString(L"StdFilter", L"Filter" + IntToStr(i), L"");
        const std::wstring masks = store.ReadString(L"StdFilter", L"Mask" + IntToStr(i), L"");
        if (name.empty() || masks.empty())
            break;
        AddNamedFilter(filters, name, masks);
    }
    EnsureAllFilesFilter(filters);
}

bool IsPermutation(const std::vector<int>& order)
{
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        if (sorted[i] != static_cast<int>(i))
            return false;
    return true;
}

}  // namespace

int LimitTreePanelWidth(int treeWidth, int windowWidth)
{
    return treeWidth > windowWidth - 50 ? windowWidth - 50 : treeWidth;
}

TLoadResult LoadStoredSettings(TKyRegistry& store, TOptions& options, TMainWindowState& state,
                               TStrings& bookmarks, TStrings& bookmarkCaptions, const TSettingsFacts& facts)
{
    TLoadResult result;

    options.Maximized = ReadByte(store, kWindow, L"Maximized", options.Maximized);
    if (options.Maximized == 1 && !options.TrayApp)
        options.Maximized = 0;
    state.UpdateLevel = store.ReadInteger(kOthers, L"UpdateLevel", state.UpdateLevel);

    // Geometry.
    for (const wchar_t* name : {L"Left", L"Top", L"Width", L"Height"})
        state.BoundsStored = state.BoundsStored || store.ValueExists(kWindow, name);
    state.Bounds.Left = store.ReadInteger(kWindow, L"Left", state.Bounds.Left);
    state.Bounds.Top = store.ReadInteger(kWindow, L"Top", state.Bounds.Top);
    state.Bounds.Width = store.ReadInteger(kWindow, L"Width", state.Bounds.Width);
    state.Bounds.Height = store.ReadInteger(kWindow, L"Height", state.Bounds.Height);
    FitBoundsToScreen(state.Bounds, facts.ScreenWidth, facts.ScreenHeight);
    state.Splitter = store.ReadInteger(kWindow, L"Splitter", state.Splitter);
    state.HSplitter = store.ReadInteger(kWindow, L"HSplitter", state.HSplitter);
    state.Splitter2X = store.ReadInteger(kWindow, L"Splitter2X", state.Splitter2X);
    state.Splitter2Y = store.ReadInteger(kWindow, L"Splitter2Y", state.Splitter2Y);

    // Fonts: the list font as FontName/FontSize/FontStyle/Charset.
    ReadFont(store, L"Font", options.ListFont);
    options.ListFont.Charset = ReadByte(store, kWindow, L"Charset", options.ListFont.Charset);
    ReadFont(store, L"TextFont", options.TextFont);
    options.TextFont.Charset = ReadByte(store, kWindow, L"TextFontCharset", options.TextFont.Charset);

    for (const TBoolValue& value : kBoolValues)
        options.*value.Field = store.ReadBool(value.Section, value.Name, options.*value.Field);
    for (const TBoolValue& value : kLoadOnlyBoolValues)
        options.*value.Field = store.ReadBool(value.Section, value.Name, options.*value.Field);
    for (const TIntValue& value : kIntValues)
        options.*value.Field = store.ReadInteger(kWindow, value.Name, options.*value.Field);
    for (const TByteValue& value : kByteValues)
        options.*value.Field = ReadByte(store, kWindow, value.Name, options.*value.Field);
    if (facts.NTPlatform) {
        options.UseCompressedColor = store.ReadBool(kWindow, L"UseCompressedColor", options.UseCompressedColor);
        options.CompressedColor = store.ReadInteger(kWindow, L"CompressedColor", options.CompressedColor);
    }

    // The text editor.
    state.Editor.ShowRulers = store.ReadBool(kOthers, L"ShowRulers", state.Editor.ShowRulers);
    for (const TEditorFlag& flag : kEditorFlags)
        state.Editor.*flag.Field = store.ReadBool(kTextSettings, flag.Name, state.Editor.*flag.Field);
    state.Editor.TabStops = store.ReadInteger(kTextSettings, L"TabStops", state.Editor.TabStops);

    if (state.UpdateLevel < 460)
        state.CommandLineToolbar = store.ReadBool(kWindow, L"CommandLine", false);
    options.ShowNetwork = false;
    options.TrayApp = false;

    for (const TCompareFlag& flag : kCompareFlags)
        ReadOptional(store, L"CompareDialog", flag.Name, state.Compare.*flag.Field);
    options.ViewArchive = false;
    options.UseActiveX = false;

    ReadOptional(store, L"SelDir", L"Width", state.SelDirWidth);
    ReadOptional(store, L"SelDir", L"Height", state.SelDirHeight);
    if (state.SelDirWidth || state.SelDirHeight) {
        TBounds size{0, 0, state.SelDirWidth.value_or(0), state.SelDirHeight.value_or(0)};
        FitBoundsToScreen(size, facts.ScreenWidth, facts.ScreenHeight);
        if (state.SelDirWidth)
            state.SelDirWidth = size.Width;
        if (state.SelDirHeight)
            state.SelDirHeight = size.Height;
    }

    state.NoCheckDrives = store.ReadString(kOthers, L"NoCheckDrives", state.NoCheckDrives);
    state.MaxSDS = std::max(1, store.ReadInteger(kOthers, L"MaxSDS", state.MaxSDS));
    state.SimpleRefresh = store.ReadBool(kOthers, L"SimpleRefresh", state.SimpleRefresh);
    options.FSMonitorActive = false;
    ReadOptional(store, kWindow, L"AlignPicture", state.AlignPicture);

    if (options.RestoreInitDir) {
        options.StartDir = store.ReadString(kWindow, L"StartDir", options.StartDir);
        options.StartDir2 = store.ReadString(kList2, L"StartDir", options.StartDir2);
    } else {
        options.StartDir.clear();
        options.StartDir2.clear();
    }

    // Columns, view and sort of the lists.
    ReadColumnWidths(store, kList, state.List1.ColWidths);
    if (options.SyncDisplay && state.List2.ColWidths.size() == state.List1.ColWidths.size())
        state.List2.ColWidths = state.List1.ColWidths;
    else
        ReadColumnWidths(store, kList2, state.List2.ColWidths);
    ReadColumnWidths(store, kZipLV, state.ZipList.ColWidths);
    ReadViewAndSort(store, kWindow, state.List1);
    if (options.SyncDisplay) {
        state.List2.ViewStyle = state.List1.ViewStyle;
        state.List2.SortAscending = state.ZipList.SortAscending = state.List1.SortAscending;
        state.List2.SortColumn = state.ZipList.SortColumn = state.List1.SortColumn;
    } else {
        ReadViewAndSort(store, kList2, state.List2);
    }
    ReadColumnOrder(store, kList, state.List1.ColOrder);
    if (options.SyncDisplay) {
        if (state.List2.ColOrder.size() == state.List1.ColOrder.size())
            state.List2.ColOrder = state.List1.ColOrder;
        if (state.ZipList.ColOrder.size() == state.List1.ColOrder.size())
            state.ZipList.ColOrder = state.List1.ColOrder;
    } else {
        ReadColumnOrder(store, kList2, state.List2.ColOrder);
    }
    for (TListViewState* list : {&state.List1, &state.List2, &state.ZipList})
        if (!IsPermutation(list->ColOrder)) {
            list->ColOrder.resize(list->ColOrder.size());
            std::iota(list->ColOrder.begin(), list->ColOrder.end(), 0);
        }

    result.FKeysCompleted = LoadFKeys(store, options, facts);

    state.CommandLines = ReadHistory(store, L"CommandLines", L"CommandLines", kHistoryLimit);
    state.RecentDirs1 = ReadHistory(store, L"RecentDir", L"RecentDir", state.RecentDirLimit);
    if (options.SecondFileWin)
        state.RecentDirs2 = ReadHistory(store, L"RecentDir2", L"RecentDir", state.RecentDirLimit);
    LoadBookmarks(store, bookmarks, bookmarkCaptions, facts);
    LoadNamedFilters(store, options.FilterList);
    state.Masks = ReadHistory(store, L"Mask", L"Mask", kHistoryLimit);
    state.SelDirs = ReadHistory(store, L"SelDirHistory", L"Dir", kHistoryLimit);

    if (options.scRestoreFilter) {
        ReadFilter(store, L"", state.Filter1);
        ReadFilter(store, L"2", state.Filter2);
    }

    state.Hex.OffsetDisplay = store.ReadInteger(L"HexEditor", L"OffsetDisplay", state.Hex.OffsetDisplay);
    state.Hex.BytesPerLine = store.ReadInteger(L"HexEditor", L"BytesPerLine", state.Hex.BytesPerLine);
    state.Hex.BytesPerCol = store.ReadInteger(L"HexEditor", L"BytesPerCol", state.Hex.BytesPerCol);
    state.Hex.Translation = store.ReadInteger(L"HexEditor", L"Translation", state.Hex.Translation);

    options.IrfanViewPath = store.ReadString(kOthers, L"IrfanViewPath", options.IrfanViewPath);
    if (options.IrfanViewPath.empty() && facts.RegisteredIrfanView)
        options.IrfanViewPath = facts.RegisteredIrfanView();
    options.CompareProgPath = store.ReadString(kOthers, L"CompareProgPath", options.CompareProgPath);

    ReadOptional(store, L"FileList", L"Filename", state.FileList.Filename);
    ReadOptional(store, L"FileList", L"FormatIndex", state.FileList.FormatIndex);
    ReadOptional(store, L"FileList", L"Settings", state.FileList.Settings);
    ReadOptional(store, L"PrintList", L"FontName", state.PrintList.FontName);
    ReadOptional(store, L"PrintList", L"FontSize", state.PrintList.FontSize);
    ReadOptional(store, L"PrintList", L"Orientation", state.PrintList.Orientation);
    ReadOptional(store, L"PrintList", L"Settings", state.PrintList.Settings);
    ReadOptional(store, L"PrintList", L"Width", state.PrintList.Width);
    ReadOptional(store, L"PrintList", L"Height", state.PrintList.Height);
    ReadOptional(store, L"PrintList", L"TwoPages", state.PrintList.TwoPages);

    for (int i = 0; i < kCustomToolbarCount; ++i)
        ReadOptional(store, L"Toolbars", kCustomToolbarNames[i], state.Toolbars[i]);

    if (facts.FirstRun && options.ExtLists[TextExts])
        options.ExtLists[TextExts]->Sort();

    state.Splitter = LimitTreePanelWidth(state.Splitter, state.Bounds.Width);
    return result;
}

void SaveStoredSettings(TKyRegistry& store, const TOptions& options, const TMainWindowState& state,
                        const TStrings& bookmarks, const TStrings& bookmarkCaptions, const TSettingsFacts& facts,
                        const TSaveFlags& flags)
{
    // Window geometry.
    store.WriteInteger(kWindow, L"Maximized", options.Maximized);
    store.WriteInteger(kWindow, L"Left", state.Bounds.Left);
    store.WriteInteger(kWindow, L"Top", state.Bounds.Top);
    store.WriteInteger(kWindow, L"Width", state.Bounds.Width);
    store.WriteInteger(kWindow, L"Height", state.Bounds.Height);
    store.WriteInteger(kWindow, L"Splitter", state.Splitter);
    store.WriteInteger(kWindow, L"HSplitter", state.HSplitter);
    store.WriteInteger(kWindow, L"Splitter2X", state.Splitter2X);
    store.WriteInteger(kWindow, L"Splitter2Y", state.Splitter2Y);

    // Switches and fonts.
    for (const TBoolValue& value : kBoolValues)
        store.WriteBool(value.Section, value.Name, options.*value.Field);
    WriteOptional(store, kWindow, L"AlignPicture", state.AlignPicture);
    WriteFont(store, L"Font", options.ListFont);
    store.WriteInteger(kWindow, L"Charset", options.ListFont.Charset);
    WriteFont(store, L"TextFont", options.TextFont);
    store.WriteInteger(kWindow, L"TextFontCharset", options.TextFont.Charset);

    // The text editor.
    store.WriteBool(kOthers, L"ShowRulers", state.Editor.ShowRulers);
    for (const TEditorFlag& flag : kEditorFlags)
        store.WriteBool(kTextSettings, flag.Name, state.Editor.*flag.Field);
    store.WriteInteger(kTextSettings, L"TabStops", state.Editor.TabStops);

    for (const TIntValue& value : kIntValues)
        store.WriteInteger(kWindow, value.Name, options.*value.Field);
    for (const TByteValue& value : kByteValues)
        store.WriteInteger(kWindow, value.Name, options.*value.Field);
    WriteOptional(store, L"SelDir", L"Width", state.SelDirWidth);
    WriteOptional(store, L"SelDir", L"Height", state.SelDirHeight);
    if (facts.NTPlatform) {
        store.WriteBool(kWindow, L"UseCompressedColor", options.UseCompressedColor);
        store.WriteInteger(kWindow, L"CompressedColor", options.CompressedColor);
    }
    WriteOptional(store, L"DirFindWin", L"Top", state.DirFindTop);
    WriteOptional(store, L"DirFindWin", L"Left", state.DirFindLeft);

    store.WriteInteger(L"HexEditor", L"OffsetDisplay", state.Hex.OffsetDisplay);
    store.WriteInteger(L"HexEditor", L"BytesPerLine", state.Hex.BytesPerLine);
    store.WriteInteger(L"HexEditor", L"BytesPerCol", state.Hex.BytesPerCol);
    store.WriteInteger(L"HexEditor", L"Translation", state.Hex.Translation);

    // Columns, view, sort and start folders of the lists.
    WriteColumnWidths(store, kList, state.List1.ColWidths);
    WriteColumnWidths(store, kList2, state.List2.ColWidths);
    WriteColumnWidths(store, kZipLV, state.ZipList.ColWidths);
    WriteViewAndSort(store, kWindow, state.List1);
    if (!options.SyncDisplay)
        WriteViewAndSort(store, kList2, state.List2);
    WriteColumnOrder(store, kList, state.List1.ColOrder);
    if (!options.SyncDisplay)
        WriteColumnOrder(store, kList2, state.List2.ColOrder);
    store.WriteString(kWindow, L"StartDir", StartDirToStore(state.ListPath1, facts.DefaultDriveRoot));
    store.WriteString(kList2, L"StartDir",
                      StartDirToStore(facts.SecondFileWinShown ? state.ListPath2 : options.StartDir2,
                                      facts.DefaultDriveRoot));

    if (flags.FKeysChanged) {
        for (int set = 0; set < 2; ++set)
            for (int key = 1; key <= 12; ++key)
                store.WriteString(FKeySection(set), L"F" + IntToStr(key), FKeyToText(options.FKeys[set][key - 1]));
    }

    WriteHistory(store, L"CommandLines", L"CommandLines", state.CommandLines, kHistoryLimit);
    WriteHistory(store, L"RecentDir", L"RecentDir", state.RecentDirs1, state.RecentDirLimit);
    if (facts.SecondFileWinShown)
        WriteHistory(store, L"RecentDir2", L"RecentDir", state.RecentDirs2, state.RecentDirLimit);

    if (flags.BookmarksChanged) {
        store.EraseSection(L"StdDirs");
        for (int i = 0; i < bookmarks.Count(); ++i) {
            store.WriteString(L"StdDirs", L"StdDirs" + IntToStr(i), bookmarks[i]);
            if (i < bookmarkCaptions.Count())
                store.WriteString(L"StdDirs", L"StdDirCap" + IntToStr(i), bookmarkCaptions[i]);
        }
    }
    if (flags.FilterListChanged) {
        store.EraseSection(L"StdFilter");
        for (size_t i = 0; i < options.FilterList.size(); ++i) {
            const std::wstring index = IntToStr(static_cast<int>(i));
            store.WriteString(L"StdFilter", L"Filter" + index, options.FilterList[i].Name);
            store.WriteString(L"StdFilter", L"Mask" + index, options.FilterList[i].Masks);
        }
    }
    WriteHistory(store, L"Mask", L"Mask", state.Masks, kHistoryLimit);
    WriteHistory(store, L"SelDirHistory", L"Dir", state.SelDirs, kHistoryLimit);

    WriteFilter(store, L"", state.Filter1);
    WriteFilter(store, L"2", state.Filter2);

    store.WriteString(kOthers, L"IrfanViewPath", options.IrfanViewPath);
    store.WriteString(kOthers, L"CompareProgPath", options.CompareProgPath);
    store.WriteInteger(kOthers, L"UpdateLevel", std::max(state.UpdateLevel, 460));

    WriteOptional(store, L"FileList", L"Filename", state.FileList.Filename);
    WriteOptional(store, L"FileList", L"FormatIndex", state.FileList.FormatIndex);
    WriteOptional(store, L"FileList", L"Settings", state.FileList.Settings);
    WriteOptional(store, L"PrintList", L"FontName", state.PrintList.FontName);
    WriteOptional(store, L"PrintList", L"FontSize", state.PrintList.FontSize);
    WriteOptional(store, L"PrintList", L"Orientation", state.PrintList.Orientation);
    WriteOptional(store, L"PrintList", L"Settings", state.PrintList.Settings);
    WriteOptional(store, L"PrintList", L"Width", state.PrintList.Width);
    WriteOptional(store, L"PrintList", L"Height", state.PrintList.Height);
    WriteOptional(store, L"PrintList", L"TwoPages", state.PrintList.TwoPages);

    for (int i = 0; i < kCustomToolbarCount; ++i)
        WriteOptional(store, L"Toolbars", kCustomToolbarNames[i], state.Toolbars[i]);
}

}  // namespace qrv
