#include "settings/StoredSettings.h"

#include "framework/SysUtils.h"
#include "settings/NamedFilters.h"

#include <algorithm>
#include <numeric>
#include <type_traits>
#include <variant>

namespace qrv {

const std::array<const wchar_t*, kCustomToolbarCount> kCustomToolbarNames = {
    L"ToolbarDatei",      L"ToolbarDateianzeige", L"ToolbarAuswahl", L"ToolbarAnsicht",
    L"ToolbarBearbeiten", L"ToolBarNetwork",      L"ToolbarCMDLine",
};

namespace {

const std::wstring kWindow = L"Window";
const std::wstring kOthers = L"Others";
const std::wstring kList = L"List";
const std::wstring kList2 = L"List2";
const std::wstring kZipLV = L"ZipLV";
const std::wstring kCurrentFilter = L"CurrentFilter";

// ---- The rows -------------------------------------------------------------
// Every stored value is a row: its section, its name and the member that
// holds it. The load reads each row into its member (the member's current
// value is the default), the save writes each row from it, in the table's
// order, which is the order of the values in a file written afresh. What is
// more than a value (histories, column lists, function keys, texts with
// rules of their own) is a rule row with a load and a save step; the few
// rules that relate values to each other run after the rows are read.

// Everything a row may reach.
struct TSettingsTarget {
    TOptions& Options;
    TMainWindowState& State;
    TStrings& Bookmarks;
    TStrings& BookmarkCaptions;
    const TSettingsFacts& Facts;
    TSaveFlags Flags;
    TLoadResult Result;
};

// Where a value lives. An optional member is read only when the store holds
// the value and written only when it holds one; a byte takes only 0..255.
using TValueRef = std::variant<bool*, int32_t*, uint8_t*, int64_t*, std::wstring*, std::optional<bool>*,
                               std::optional<int>*, std::optional<std::wstring>*>;
using TValueOf = TValueRef (*)(TSettingsTarget&);
using TCondition = bool (*)(const TSettingsTarget&);
using TLoadRule = void (*)(TKyRegistry&, TSettingsTarget&);
using TSaveRule = void (*)(TKyRegistry&, TSettingsTarget&);

enum TRowFlags : unsigned {
    rfNone = 0,
    rfLoadOnly = 1,  // read, never written (older versions' and hand-edited values)
    rfSaveOnly = 2,  // written, never read
};

struct TSettingRow {
    const wchar_t* Section;
    const wchar_t* Name;
    TValueOf Value = nullptr;  // nullptr: a rule row
    unsigned Flags = rfNone;
    TCondition LoadWhen = nullptr;  // nullptr: always
    TCondition SaveWhen = nullptr;
    TLoadRule Load = nullptr;
    TSaveRule Save = nullptr;
};

template <auto Member>
TValueRef Option(TSettingsTarget& t)
{
    return &(t.Options.*Member);
}

template <auto Outer, auto Inner>
TValueRef OptionPart(TSettingsTarget& t)
{
    return &((t.Options.*Outer).*Inner);
}

template <auto Member>
TValueRef State(TSettingsTarget& t)
{
    return &(t.State.*Member);
}

template <auto Outer, auto Inner>
TValueRef StatePart(TSettingsTarget& t)
{
    return &((t.State.*Outer).*Inner);
}

template <int Index>
TValueRef Toolbar(TSettingsTarget& t)
{
    return &t.State.Toolbars[Index];
}

constexpr TSettingRow Value(const wchar_t* section, const wchar_t* name, TValueOf value, unsigned flags = rfNone,
                            TCondition loadWhen = nullptr, TCondition saveWhen = nullptr)
{
    return TSettingRow{section, name, value, flags, loadWhen, saveWhen, nullptr, nullptr};
}

constexpr TSettingRow Rule(const wchar_t* section, const wchar_t* name, TLoadRule load, TSaveRule save)
{
    return TSettingRow{section, name, nullptr, rfNone, nullptr, nullptr, load, save};
}

void ReadValue(TKyRegistry& store, const std::wstring& section, const std::wstring& name, const TValueRef& ref)
{
    std::visit(
        [&](auto* field) {
            using T = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>) {
                *field = store.ReadBool(section, name, *field);
            } else if constexpr (std::is_same_v<T, int32_t>) {
                *field = store.ReadInteger(section, name, *field);
            } else if constexpr (std::is_same_v<T, uint8_t>) {
                const int value = store.ReadInteger(section, name, *field);
                if (value >= 0 && value <= 255)
                    *field = static_cast<uint8_t>(value);
            } else if constexpr (std::is_same_v<T, int64_t>) {
                *field = store.ReadInt64(section, name, *field);
            } else if constexpr (std::is_same_v<T, std::wstring>) {
                *field = store.ReadString(section, name, *field);
            } else {
                if (!store.ValueExists(section, name))
                    return;
                using V = typename T::value_type;
                if constexpr (std::is_same_v<V, bool>)
                    *field = store.ReadBool(section, name, field->value_or(false));
                else if constexpr (std::is_same_v<V, int>)
                    *field = store.ReadInteger(section, name, field->value_or(0));
                else
                    *field = store.ReadString(section, name, field->value_or(std::wstring()));
            }
        },
        ref);
}

void WriteValue(TKyRegistry& store, const std::wstring& section, const std::wstring& name, const TValueRef& ref)
{
    std::visit(
        [&](auto* field) {
            using T = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>) {
                store.WriteBool(section, name, *field);
            } else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, uint8_t>) {
                store.WriteInteger(section, name, *field);
            } else if constexpr (std::is_same_v<T, int64_t>) {
                store.WriteInt64(section, name, *field);
            } else if constexpr (std::is_same_v<T, std::wstring>) {
                store.WriteString(section, name, *field);
            } else {
                if (!*field)
                    return;
                using V = typename T::value_type;
                if constexpr (std::is_same_v<V, bool>)
                    store.WriteBool(section, name, **field);
                else if constexpr (std::is_same_v<V, int>)
                    store.WriteInteger(section, name, **field);
                else
                    store.WriteString(section, name, **field);
            }
        },
        ref);
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
// A history that reads back as it stands is left alone: erasing it would move
// its section to the end of an INI file on every save.
void WriteHistory(TKyRegistry& store, const std::wstring& section, const std::wstring& prefix,
                  const std::vector<std::wstring>& items, int limit)
{
    const int count = std::min(limit, static_cast<int>(items.size()));
    const std::vector<std::wstring> kept(items.begin(), items.begin() + count);
    if (ReadHistory(store, section, prefix, count + 1) == kept)
        return;
    store.EraseSection(section);
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
            if (facts.FirstRun && facts.FindOnSearchPath && !record.Command.empty() && !HasFolderPart(record.Command)) {
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
    // Read until both values are empty: the save writes every bookmark, so
    // a limit here would lose those beyond it at the next start.
    for (int i = 0;; ++i) {
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

// ---- Rule rows ------------------------------------------------------------

bool IsPermutation(const std::vector<int>& order)
{
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        if (sorted[i] != static_cast<int>(i))
            return false;
    return true;
}

// Only bold and italic of a font's style are kept.
constexpr int kKeptFontStyles = fsBoldBit | fsItalicBit;

template <auto Font>
void LoadFontStyle(TKyRegistry& store, TSettingsTarget& t)
{
    const std::wstring name = &(t.Options.*Font) == &t.Options.ListFont ? L"FontStyle" : L"TextFontStyle";
    (t.Options.*Font).Style = static_cast<uint8_t>(store.ReadInteger(L"Window", name, 0) & kKeptFontStyles);
}

template <auto Font>
void SaveFontStyle(TKyRegistry& store, TSettingsTarget& t)
{
    const std::wstring name = &(t.Options.*Font) == &t.Options.ListFont ? L"FontStyle" : L"TextFontStyle";
    store.WriteInteger(L"Window", name, (t.Options.*Font).Style & kKeptFontStyles);
}

bool SecondListHasItsOwnLayout(const TSettingsTarget& t)
{
    return !t.Options.SyncDisplay;
}

void LoadColumnWidths(TKyRegistry& store, TSettingsTarget& t)
{
    TMainWindowState& s = t.State;
    ReadColumnWidths(store, kList, s.List1.ColWidths);
    if (t.Options.SyncDisplay && s.List2.ColWidths.size() == s.List1.ColWidths.size())
        s.List2.ColWidths = s.List1.ColWidths;
    else
        ReadColumnWidths(store, kList2, s.List2.ColWidths);
    ReadColumnWidths(store, kZipLV, s.ZipList.ColWidths);
}

void SaveColumnWidths(TKyRegistry& store, TSettingsTarget& t)
{
    WriteColumnWidths(store, kList, t.State.List1.ColWidths);
    WriteColumnWidths(store, kList2, t.State.List2.ColWidths);
    WriteColumnWidths(store, kZipLV, t.State.ZipList.ColWidths);
}

void LoadColumnOrders(TKyRegistry& store, TSettingsTarget& t)
{
    TMainWindowState& s = t.State;
    ReadColumnOrder(store, kList, s.List1.ColOrder);
    if (t.Options.SyncDisplay) {
        if (s.List2.ColOrder.size() == s.List1.ColOrder.size())
            s.List2.ColOrder = s.List1.ColOrder;
        if (s.ZipList.ColOrder.size() == s.List1.ColOrder.size())
            s.ZipList.ColOrder = s.List1.ColOrder;
    } else {
        ReadColumnOrder(store, kList2, s.List2.ColOrder);
    }
    for (TListViewState* list : {&s.List1, &s.List2, &s.ZipList})
        if (!IsPermutation(list->ColOrder)) {
            list->ColOrder.resize(list->ColOrder.size());
            std::iota(list->ColOrder.begin(), list->ColOrder.end(), 0);
        }
}

void SaveColumnOrders(TKyRegistry& store, TSettingsTarget& t)
{
    WriteColumnOrder(store, kList, t.State.List1.ColOrder);
    if (!t.Options.SyncDisplay)
        WriteColumnOrder(store, kList2, t.State.List2.ColOrder);
}

// The start folders are read into the options and saved from what the
// lists show at the end.
void LoadStartDir(TKyRegistry& store, TSettingsTarget& t)
{
    t.Options.StartDir = t.Options.RestoreInitDir ? store.ReadString(kWindow, L"StartDir", t.Options.StartDir) : L"";
}

void SaveStartDir(TKyRegistry& store, TSettingsTarget& t)
{
    store.WriteString(kWindow, L"StartDir", StartDirToStore(t.State.ListPath1, t.Facts.DefaultDriveRoot));
}

void LoadStartDir2(TKyRegistry& store, TSettingsTarget& t)
{
    t.Options.StartDir2 = t.Options.RestoreInitDir ? store.ReadString(kList2, L"StartDir", t.Options.StartDir2) : L"";
}

void SaveStartDir2(TKyRegistry& store, TSettingsTarget& t)
{
    const std::wstring& shown = t.Facts.SecondFileWinShown ? t.State.ListPath2 : t.Options.StartDir2;
    store.WriteString(kList2, L"StartDir", StartDirToStore(shown, t.Facts.DefaultDriveRoot));
}

void LoadFunctionKeys(TKyRegistry& store, TSettingsTarget& t)
{
    t.Result.FKeysCompleted = LoadFKeys(store, t.Options, t.Facts);
}

void SaveFunctionKeys(TKyRegistry& store, TSettingsTarget& t)
{
    if (!t.Flags.FKeysChanged)
        return;
    for (int set = 0; set < 2; ++set)
        for (int key = 1; key <= 12; ++key)
            store.WriteString(FKeySection(set), L"F" + IntToStr(key), FKeyToText(t.Options.FKeys[set][key - 1]));
}

void LoadCommandLines(TKyRegistry& store, TSettingsTarget& t)
{
    t.State.CommandLines = ReadHistory(store, L"CommandLines", L"CommandLines", kHistoryLimit);
}

void SaveCommandLines(TKyRegistry& store, TSettingsTarget& t)
{
    WriteHistory(store, L"CommandLines", L"CommandLines", t.State.CommandLines, kHistoryLimit);
}

void LoadRecentDirs(TKyRegistry& store, TSettingsTarget& t)
{
    t.State.RecentDirs1 = ReadHistory(store, L"RecentDir", L"RecentDir", t.State.RecentDirLimit);
}

void SaveRecentDirs(TKyRegistry& store, TSettingsTarget& t)
{
    WriteHistory(store, L"RecentDir", L"RecentDir", t.State.RecentDirs1, t.State.RecentDirLimit);
}

// The second list's history needs its window.
void LoadRecentDirs2(TKyRegistry& store, TSettingsTarget& t)
{
    if (t.Options.SecondFileWin)
        t.State.RecentDirs2 = ReadHistory(store, L"RecentDir2", L"RecentDir", t.State.RecentDirLimit);
}

void SaveRecentDirs2(TKyRegistry& store, TSettingsTarget& t)
{
    if (t.Facts.SecondFileWinShown)
        WriteHistory(store, L"RecentDir2", L"RecentDir", t.State.RecentDirs2, t.State.RecentDirLimit);
}

void LoadBookmarkList(TKyRegistry& store, TSettingsTarget& t)
{
    LoadBookmarks(store, t.Bookmarks, t.BookmarkCaptions, t.Facts);
}

void SaveBookmarkList(TKyRegistry& store, TSettingsTarget& t)
{
    if (!t.Flags.BookmarksChanged)
        return;
    store.EraseSection(L"StdDirs");
    for (int i = 0; i < t.Bookmarks.Count(); ++i) {
        store.WriteString(L"StdDirs", L"StdDirs" + IntToStr(i), t.Bookmarks[i]);
        if (i < t.BookmarkCaptions.Count())
            store.WriteString(L"StdDirs", L"StdDirCap" + IntToStr(i), t.BookmarkCaptions[i]);
    }
}

void LoadFilterList(TKyRegistry& store, TSettingsTarget& t)
{
    LoadNamedFilters(store, t.Options.FilterList);
}

void SaveFilterList(TKyRegistry& store, TSettingsTarget& t)
{
    if (!t.Flags.FilterListChanged)
        return;
    store.EraseSection(L"StdFilter");
    for (size_t i = 0; i < t.Options.FilterList.size(); ++i) {
        const std::wstring index = IntToStr(static_cast<int>(i));
        store.WriteString(L"StdFilter", L"Filter" + index, t.Options.FilterList[i].Name);
        store.WriteString(L"StdFilter", L"Mask" + index, t.Options.FilterList[i].Masks);
    }
}

void LoadMasks(TKyRegistry& store, TSettingsTarget& t)
{
    t.State.Masks = ReadHistory(store, L"Mask", L"Mask", kHistoryLimit);
}

void SaveMasks(TKyRegistry& store, TSettingsTarget& t)
{
    WriteHistory(store, L"Mask", L"Mask", t.State.Masks, kHistoryLimit);
}

void LoadSelDirs(TKyRegistry& store, TSettingsTarget& t)
{
    t.State.SelDirs = ReadHistory(store, L"SelDirHistory", L"Dir", kHistoryLimit);
}

void SaveSelDirs(TKyRegistry& store, TSettingsTarget& t)
{
    WriteHistory(store, L"SelDirHistory", L"Dir", t.State.SelDirs, kHistoryLimit);
}

bool RestoringFilters(const TSettingsTarget& t)
{
    return t.Options.scRestoreFilter;
}

// A stored attribute text is taken only when it has all six choices.
template <auto Filter>
void LoadAttrList(TKyRegistry& store, TSettingsTarget& t)
{
    if (!t.Options.scRestoreFilter)
        return;
    const std::wstring name = &(t.State.*Filter) == &t.State.Filter1 ? L"AttrList" : L"AttrList2";
    ApplyAttrListText(store.ReadString(kCurrentFilter, name, L"******"), (t.State.*Filter).Attributes);
}

template <auto Filter>
void SaveAttrList(TKyRegistry& store, TSettingsTarget& t)
{
    const std::wstring name = &(t.State.*Filter) == &t.State.Filter1 ? L"AttrList" : L"AttrList2";
    store.WriteString(kCurrentFilter, name, AttrListText((t.State.*Filter).Attributes));
}

// The level is saved as at least the one of this version.
void LoadUpdateLevel(TKyRegistry& store, TSettingsTarget& t)
{
    t.State.UpdateLevel = store.ReadInteger(kOthers, L"UpdateLevel", t.State.UpdateLevel);
}

void SaveUpdateLevel(TKyRegistry& store, TSettingsTarget& t)
{
    store.WriteInteger(kOthers, L"UpdateLevel", std::max(t.State.UpdateLevel, 460));
}

// The command-line toolbar switch of settings older than level 460.
void LoadOldCommandLineSwitch(TKyRegistry& store, TSettingsTarget& t)
{
    if (t.State.UpdateLevel < 460)
        t.State.CommandLineToolbar = store.ReadBool(kWindow, L"CommandLine", false);
}

bool OnNT(const TSettingsTarget& t)
{
    return t.Facts.NTPlatform;
}

using O = TOptions;
using S = TMainWindowState;

// In the order of a file written afresh.
const TSettingRow kRows[] = {
    // Window geometry.
    Value(L"Window", L"Maximized", Option<&O::Maximized>),
    Value(L"Window", L"Left", StatePart<&S::Bounds, &TBounds::Left>),
    Value(L"Window", L"Top", StatePart<&S::Bounds, &TBounds::Top>),
    Value(L"Window", L"Width", StatePart<&S::Bounds, &TBounds::Width>),
    Value(L"Window", L"Height", StatePart<&S::Bounds, &TBounds::Height>),
    Value(L"Window", L"Splitter", State<&S::Splitter>),
    Value(L"Window", L"HSplitter", State<&S::HSplitter>),
    Value(L"Window", L"Splitter2X", State<&S::Splitter2X>),
    Value(L"Window", L"Splitter2Y", State<&S::Splitter2Y>),
    // Switches.
    Value(L"Window", L"LongVolNames", Option<&O::LongVolNames>),
    Value(L"Window", L"UseColor", Option<&O::UseColor>),
    Value(L"Window", L"ConfirmLogicalDel", Option<&O::ConfirmLogicalDel>),
    Value(L"Window", L"ConfirmPhysicalDel", Option<&O::ConfirmPhysicalDel>),
    Value(L"Window", L"ConfirmOverWrite", Option<&O::ConfirmOverWrite>),
    Value(L"Window", L"BringToFront", Option<&O::BringToFront>),
    Value(L"Window", L"RestoreInitDir", Option<&O::RestoreInitDir>),
    Value(L"Window", L"CDROMAttr", Option<&O::CDROMAttr>),
    Value(L"Window", L"VerifyFloppy", Option<&O::VerifyFloppy>),
    Value(L"Window", L"HiddenGrey", Option<&O::HiddenGrey>),
    Value(L"Window", L"ShowHiddenDirs", Option<&O::ShowHiddenDirs>),
    Value(L"Window", L"TurboIcon", Option<&O::TurboIcon>),
    Value(L"Window", L"DosClose", Option<&O::DosClose>),
    Value(L"Window", L"SortByExt", Option<&O::SortByExt>),
    Value(L"Window", L"RowSelect", Option<&O::RowSelect>),
    Value(L"Window", L"ShowFilter", Option<&O::ShowFilter>),
    Value(L"Window", L"DragImages", Option<&O::DragImages>),
    Value(L"Window", L"SelDirs", Option<&O::SelDirs>),
    Value(L"Window", L"SyncDisplay", Option<&O::SyncDisplay>),
    Value(L"Window", L"ClickEdits", Option<&O::ClickEdits>),
    Value(L"Window", L"AutoSort", Option<&O::AutoSort>),
    Value(L"Window", L"LinkOnExeDrag", Option<&O::LinkOnExeDrag>),
    Value(L"Window", L"DirSize", Option<&O::DirSize>),
    Value(L"Window", L"Grid", Option<&O::Grid>),
    Value(L"Window", L"SingleClickExec", Option<&O::SingleClickExec>),
    Value(L"Window", L"DirsOnTop", Option<&O::DirsOnTop>),
    Value(L"Window", L"AutoScrollTree", Option<&O::AutoScrollTree>),
    Value(L"Window", L"SelBothFileWin", Option<&O::SelBothFileWin>),
    Value(L"Window", L"scRestoreFilter", Option<&O::scRestoreFilter>),
    Value(L"Window", L"ShowExtension", Option<&O::ShowExtension>),
    Value(L"Window", L"SortDirTime", Option<&O::SortDirTime>),
    Value(L"Window", L"SBAbbreviated", Option<&O::SBAbbreviated>),
    Value(L"Window", L"AutoActivate", Option<&O::AutoActivate>),
    Value(L"Window", L"ConfirmAuthority", Option<&O::ConfirmAuthority>),
    Value(L"Window", L"AutoExpandDir", Option<&O::AutoExpandDir>),
    Value(L"Window", L"UseProgIcons", Option<&O::UseProgIcons>),
    Value(L"Window", L"FollowLinks", Option<&O::FollowLinks>),
    Value(L"Window", L"2TBDrives", Option<&O::TwoTBDrives>),
    Value(L"Window", L"ViewFile", Option<&O::ViewFile>),
    // The archive list in the display pane (no dialog switch: set in the file).
    Value(L"Window", L"ViewArchive", Option<&O::ViewArchive>),
    Value(L"List", L"AbbreviatedSize", Option<&O::AbbreviatedSize>),
    Value(L"List", L"AttrUnderline", Option<&O::AttrUnderline>),
    Value(L"List", L"InfoTips", Option<&O::InfoTips>),
    Value(L"Window", L"MessageBox", Option<&O::MessageBox>),
    Value(L"Others", L"BAKFiles", Option<&O::BAKFiles>),
    Value(L"Others", L"WantTabs", Option<&O::WantTabs>),
    Value(L"Window", L"SecondFileWin", Option<&O::SecondFileWin>),
    Value(L"Window", L"ShowDirWin", Option<&O::ShowDirWin>),
    Value(L"Window", L"SquareThumb", Option<&O::SquareThumb>, rfLoadOnly),
    Value(L"Others", L"ShowDirs", Option<&O::ShowDirs>, rfLoadOnly),
    Value(L"Window", L"AlignPicture", State<&S::AlignPicture>),
    // Fonts: the list font as FontName/FontSize/FontStyle/Charset.
    Value(L"Window", L"FontName", OptionPart<&O::ListFont, &TFontSetting::Name>),
    Value(L"Window", L"FontSize", OptionPart<&O::ListFont, &TFontSetting::Size>),
    Rule(L"Window", L"FontStyle", LoadFontStyle<&O::ListFont>, SaveFontStyle<&O::ListFont>),
    Value(L"Window", L"Charset", OptionPart<&O::ListFont, &TFontSetting::Charset>),
    Value(L"Window", L"TextFontName", OptionPart<&O::TextFont, &TFontSetting::Name>),
    Value(L"Window", L"TextFontSize", OptionPart<&O::TextFont, &TFontSetting::Size>),
    Rule(L"Window", L"TextFontStyle", LoadFontStyle<&O::TextFont>, SaveFontStyle<&O::TextFont>),
    Value(L"Window", L"TextFontCharset", OptionPart<&O::TextFont, &TFontSetting::Charset>),
    // The text editor.
    Value(L"Others", L"ShowRulers", StatePart<&S::Editor, &TEditorStoredOptions::ShowRulers>),
    Value(L"TextSettings", L"GroupUndo", StatePart<&S::Editor, &TEditorStoredOptions::GroupUndo>),
    Value(L"TextSettings", L"WhiteSpace", StatePart<&S::Editor, &TEditorStoredOptions::WhiteSpace>),
    Value(L"TextSettings", L"HighLightURL", StatePart<&S::Editor, &TEditorStoredOptions::HighLightURL>),
    Value(L"TextSettings", L"WordWrap", StatePart<&S::Editor, &TEditorStoredOptions::WordWrap>),
    Value(L"TextSettings", L"SearchText", StatePart<&S::Editor, &TEditorStoredOptions::SearchText>),
    Value(L"TextSettings", L"PersistentBlocks", StatePart<&S::Editor, &TEditorStoredOptions::PersistentBlocks>),
    Value(L"TextSettings", L"OverWriteBlocks", StatePart<&S::Editor, &TEditorStoredOptions::OverWriteBlocks>),
    Value(L"TextSettings", L"InsertMode", StatePart<&S::Editor, &TEditorStoredOptions::InsertMode>),
    Value(L"TextSettings", L"TabStops", StatePart<&S::Editor, &TEditorStoredOptions::TabStops>),
    Value(L"TextSettings", L"PaintMargin", StatePart<&S::Editor, &TEditorStoredOptions::PaintMargin>),
    Value(L"TextSettings", L"EnableDragging", StatePart<&S::Editor, &TEditorStoredOptions::EnableDragging>),
    Value(L"TextSettings", L"SelectBeyondEol", StatePart<&S::Editor, &TEditorStoredOptions::SelectBeyondEol>),
    Value(L"TextSettings", L"KeepColumn", StatePart<&S::Editor, &TEditorStoredOptions::KeepColumn>),
    Value(L"TextSettings", L"EnTabBlock", StatePart<&S::Editor, &TEditorStoredOptions::EnTabBlock>),
    Value(L"TextSettings", L"ShowScrollHint", StatePart<&S::Editor, &TEditorStoredOptions::ShowScrollHint>),
    Value(L"TextSettings", L"KeyMapping", StatePart<&S::Editor, &TEditorStoredOptions::KeyMapping>),
    Value(L"TextSettings", L"TabStopList", StatePart<&S::Editor, &TEditorStoredOptions::TabStopList>),
    // Colours and numbers.
    Value(L"Window", L"Color", Option<&O::Color>),
    Value(L"Window", L"ActiveColor", Option<&O::ActiveColor>),
    Value(L"Window", L"PicBKColor", Option<&O::PicBKColor>),
    Value(L"Window", L"HiddenColor", Option<&O::HiddenColor>),
    Value(L"Window", L"Reload", Option<&O::Reload>),
    Value(L"Window", L"DDExpandDelay", Option<&O::DDExpandDelay>),
    Value(L"Window", L"TBButtonSize", Option<&O::TBButtonSize>),
    Value(L"Window", L"DividerStyle", Option<&O::DividerStyle>),
    Value(L"Window", L"DDOption", Option<&O::DDOption>),
    Value(L"Window", L"DateTime", Option<&O::DateTime>),
    Value(L"Window", L"FileDisplay", Option<&O::FileDisplay>),
    Value(L"Window", L"FileDisplayPos", Option<&O::FileDisplayPos>),
    Value(L"Window", L"FileNameDisplay", Option<&O::FileNameDisplay>),
    Value(L"SelDir", L"Width", State<&S::SelDirWidth>),
    Value(L"SelDir", L"Height", State<&S::SelDirHeight>),
    Value(L"Window", L"UseCompressedColor", Option<&O::UseCompressedColor>, rfNone, OnNT, OnNT),
    Value(L"Window", L"CompressedColor", Option<&O::CompressedColor>, rfNone, OnNT, OnNT),
    // Written while the find dialog exists.
    Value(L"DirFindWin", L"Top", State<&S::DirFindTop>, rfSaveOnly),
    Value(L"DirFindWin", L"Left", State<&S::DirFindLeft>, rfSaveOnly),
    // The directory comparison's choices: read, never written.
    Value(L"CompareDialog", L"ByName", StatePart<&S::Compare, &TCompareStoredOptions::ByName>, rfLoadOnly),
    Value(L"CompareDialog", L"BySize", StatePart<&S::Compare, &TCompareStoredOptions::BySize>, rfLoadOnly),
    Value(L"CompareDialog", L"ByContent", StatePart<&S::Compare, &TCompareStoredOptions::ByContent>, rfLoadOnly),
    Value(L"CompareDialog", L"SelectEqual", StatePart<&S::Compare, &TCompareStoredOptions::SelectEqual>, rfLoadOnly),
    Value(L"CompareDialog", L"SelectDifferent", StatePart<&S::Compare, &TCompareStoredOptions::SelectDifferent>,
          rfLoadOnly),
    Value(L"CompareDialog", L"SelectMissing", StatePart<&S::Compare, &TCompareStoredOptions::SelectMissing>,
          rfLoadOnly),
    Value(L"CompareDialog", L"SelectNewer", StatePart<&S::Compare, &TCompareStoredOptions::SelectNewer>, rfLoadOnly),
    Value(L"CompareDialog", L"SelectOlder", StatePart<&S::Compare, &TCompareStoredOptions::SelectOlder>, rfLoadOnly),
    Value(L"CompareDialog", L"SelectDuplicates", StatePart<&S::Compare, &TCompareStoredOptions::SelectDuplicates>,
          rfLoadOnly),
    Value(L"CompareDialog", L"SubDirs", StatePart<&S::Compare, &TCompareStoredOptions::SubDirs>, rfLoadOnly),
    Value(L"CompareDialog", L"EqualFiles", StatePart<&S::Compare, &TCompareStoredOptions::EqualFiles>, rfLoadOnly),
    // Folder watching: read, never written.
    Value(L"Others", L"NoCheckDrives", State<&S::NoCheckDrives>, rfLoadOnly),
    Value(L"Others", L"MaxSDS", State<&S::MaxSDS>, rfLoadOnly),
    Value(L"Others", L"SimpleRefresh", State<&S::SimpleRefresh>, rfLoadOnly),
    // The hex view.
    Value(L"HexEditor", L"OffsetDisplay", StatePart<&S::Hex, &THexStoredSettings::OffsetDisplay>),
    Value(L"HexEditor", L"BytesPerLine", StatePart<&S::Hex, &THexStoredSettings::BytesPerLine>),
    Value(L"HexEditor", L"BytesPerCol", StatePart<&S::Hex, &THexStoredSettings::BytesPerCol>),
    Value(L"HexEditor", L"Translation", StatePart<&S::Hex, &THexStoredSettings::Translation>),
    // Columns, view, sort and start folders of the lists.
    Rule(L"List", L"ColWidth", LoadColumnWidths, SaveColumnWidths),
    Value(L"Window", L"ViewStyle", StatePart<&S::List1, &TListViewState::ViewStyle>),
    Value(L"Window", L"SortAscending", StatePart<&S::List1, &TListViewState::SortAscending>),
    Value(L"Window", L"SortColumn", StatePart<&S::List1, &TListViewState::SortColumn>),
    Value(L"List2", L"ViewStyle", StatePart<&S::List2, &TListViewState::ViewStyle>, rfNone, SecondListHasItsOwnLayout,
          SecondListHasItsOwnLayout),
    Value(L"List2", L"SortAscending", StatePart<&S::List2, &TListViewState::SortAscending>, rfNone,
          SecondListHasItsOwnLayout, SecondListHasItsOwnLayout),
    Value(L"List2", L"SortColumn", StatePart<&S::List2, &TListViewState::SortColumn>, rfNone, SecondListHasItsOwnLayout,
          SecondListHasItsOwnLayout),
    Rule(L"List", L"ColOrder", LoadColumnOrders, SaveColumnOrders),
    Rule(L"Window", L"StartDir", LoadStartDir, SaveStartDir),
    Rule(L"List2", L"StartDir", LoadStartDir2, SaveStartDir2),
    // Function keys, histories, bookmarks and named filters.
    Rule(L"FKeyShift", L"F", LoadFunctionKeys, SaveFunctionKeys),
    Rule(L"CommandLines", L"CommandLines", LoadCommandLines, SaveCommandLines),
    Rule(L"RecentDir", L"RecentDir", LoadRecentDirs, SaveRecentDirs),
    Rule(L"RecentDir2", L"RecentDir", LoadRecentDirs2, SaveRecentDirs2),
    Rule(L"StdDirs", L"StdDirs", LoadBookmarkList, SaveBookmarkList),
    Rule(L"StdFilter", L"Filter", LoadFilterList, SaveFilterList),
    Rule(L"Mask", L"Mask", LoadMasks, SaveMasks),
    Rule(L"SelDirHistory", L"Dir", LoadSelDirs, SaveSelDirs),
    // The lists' load filters: always written, read when they are restored.
    Value(L"CurrentFilter", L"MaskList", StatePart<&S::Filter1, &TListFilterState::Mask>, rfNone, RestoringFilters),
    Rule(L"CurrentFilter", L"AttrList", LoadAttrList<&S::Filter1>, SaveAttrList<&S::Filter1>),
    Value(L"CurrentFilter", L"SizeFromList", StatePart<&S::Filter1, &TListFilterState::SizeFrom>, rfNone,
          RestoringFilters),
    Value(L"CurrentFilter", L"SizeToList", StatePart<&S::Filter1, &TListFilterState::SizeTo>, rfNone, RestoringFilters),
    Value(L"CurrentFilter", L"DateFromList", StatePart<&S::Filter1, &TListFilterState::DateFrom>, rfNone,
          RestoringFilters),
    Value(L"CurrentFilter", L"DateToList", StatePart<&S::Filter1, &TListFilterState::DateTo>, rfNone, RestoringFilters),
    Value(L"CurrentFilter", L"DateSinceList", StatePart<&S::Filter1, &TListFilterState::DaysSince>, rfNone,
          RestoringFilters),
    Value(L"CurrentFilter", L"MaskList2", StatePart<&S::Filter2, &TListFilterState::Mask>, rfNone, RestoringFilters),
    Rule(L"CurrentFilter", L"AttrList2", LoadAttrList<&S::Filter2>, SaveAttrList<&S::Filter2>),
    Value(L"CurrentFilter", L"SizeFromList2", StatePart<&S::Filter2, &TListFilterState::SizeFrom>, rfNone,
          RestoringFilters),
    Value(L"CurrentFilter", L"SizeToList2", StatePart<&S::Filter2, &TListFilterState::SizeTo>, rfNone,
          RestoringFilters),
    Value(L"CurrentFilter", L"DateFromList2", StatePart<&S::Filter2, &TListFilterState::DateFrom>, rfNone,
          RestoringFilters),
    Value(L"CurrentFilter", L"DateToList2", StatePart<&S::Filter2, &TListFilterState::DateTo>, rfNone,
          RestoringFilters),
    Value(L"CurrentFilter", L"DateSinceList2", StatePart<&S::Filter2, &TListFilterState::DaysSince>, rfNone,
          RestoringFilters),
    // Programs, and the version the settings were written by.
    Value(L"Others", L"IrfanViewPath", Option<&O::IrfanViewPath>),
    Value(L"Others", L"CompareProgPath", Option<&O::CompareProgPath>),
    Rule(L"Others", L"UpdateLevel", LoadUpdateLevel, SaveUpdateLevel),
    Rule(L"Window", L"CommandLine", LoadOldCommandLineSwitch, nullptr),
    // The list and print dialogs' last choices.
    Value(L"FileList", L"Filename", StatePart<&S::FileList, &TFileListStoredSettings::Filename>),
    Value(L"FileList", L"FormatIndex", StatePart<&S::FileList, &TFileListStoredSettings::FormatIndex>),
    Value(L"FileList", L"Settings", StatePart<&S::FileList, &TFileListStoredSettings::Settings>),
    Value(L"PrintList", L"FontName", StatePart<&S::PrintList, &TPrintListStoredSettings::FontName>),
    Value(L"PrintList", L"FontSize", StatePart<&S::PrintList, &TPrintListStoredSettings::FontSize>),
    Value(L"PrintList", L"Orientation", StatePart<&S::PrintList, &TPrintListStoredSettings::Orientation>),
    Value(L"PrintList", L"Settings", StatePart<&S::PrintList, &TPrintListStoredSettings::Settings>),
    Value(L"PrintList", L"Width", StatePart<&S::PrintList, &TPrintListStoredSettings::Width>),
    Value(L"PrintList", L"Height", StatePart<&S::PrintList, &TPrintListStoredSettings::Height>),
    Value(L"PrintList", L"TwoPages", StatePart<&S::PrintList, &TPrintListStoredSettings::TwoPages>),
    // The customisable toolbars' button visibility, by component name.
    Value(L"Toolbars", L"ToolbarDatei", Toolbar<0>),
    Value(L"Toolbars", L"ToolbarDateianzeige", Toolbar<1>),
    Value(L"Toolbars", L"ToolbarAuswahl", Toolbar<2>),
    Value(L"Toolbars", L"ToolbarAnsicht", Toolbar<3>),
    Value(L"Toolbars", L"ToolbarBearbeiten", Toolbar<4>),
    Value(L"Toolbars", L"ToolBarNetwork", Toolbar<5>),
    Value(L"Toolbars", L"ToolbarCMDLine", Toolbar<6>),
};

// What relates values to each other, once every row is read.
void ApplyLoadRules(TKyRegistry& store, TSettingsTarget& t)
{
    TOptions& options = t.Options;
    TMainWindowState& state = t.State;
    const TSettingsFacts& facts = t.Facts;
    // Minimised to the tray only where the tray is used.
    if (options.Maximized == 1 && !options.TrayApp)
        options.Maximized = 0;

    for (const wchar_t* name : {L"Left", L"Top", L"Width", L"Height"})
        state.BoundsStored = state.BoundsStored || store.ValueExists(kWindow, name);
    FitBoundsToScreen(state.Bounds, facts.ScreenWidth, facts.ScreenHeight);

    for (TFontSetting* font : {&options.ListFont, &options.TextFont})
        font->Name = font->Name.substr(0, kMaxFontNameLength);

    // Values that always start the same, whatever was stored.
    options.ShowNetwork = false;
    options.TrayApp = false;
    options.UseActiveX = false;
    options.FSMonitorActive = false;

    if (state.SelDirWidth || state.SelDirHeight) {
        TBounds size{0, 0, state.SelDirWidth.value_or(0), state.SelDirHeight.value_or(0)};
        FitBoundsToScreen(size, facts.ScreenWidth, facts.ScreenHeight);
        if (state.SelDirWidth)
            state.SelDirWidth = size.Width;
        if (state.SelDirHeight)
            state.SelDirHeight = size.Height;
    }
    state.MaxSDS = std::max(1, state.MaxSDS);

    // With one layout for all lists the second list and the archive list
    // take the first one's view and sort.
    if (options.SyncDisplay) {
        state.List2.ViewStyle = state.List1.ViewStyle;
        state.List2.SortAscending = state.ZipList.SortAscending = state.List1.SortAscending;
        state.List2.SortColumn = state.ZipList.SortColumn = state.List1.SortColumn;
    }

    if (options.IrfanViewPath.empty() && facts.RegisteredIrfanView)
        options.IrfanViewPath = facts.RegisteredIrfanView();
    if (facts.FirstRun && options.ExtLists[TextExts])
        options.ExtLists[TextExts]->Sort();

    state.Splitter = LimitTreePanelWidth(state.Splitter, state.Bounds.Width);
}

}  // namespace

int LimitTreePanelWidth(int treeWidth, int windowWidth)
{
    return treeWidth > windowWidth - 50 ? windowWidth - 50 : treeWidth;
}

TLoadResult LoadStoredSettings(TKyRegistry& store, TOptions& options, TMainWindowState& state, TStrings& bookmarks,
                               TStrings& bookmarkCaptions, const TSettingsFacts& facts)
{
    TSettingsTarget target{options, state, bookmarks, bookmarkCaptions, facts, {}, {}};
    for (const TSettingRow& row : kRows) {
        if (row.Flags & rfSaveOnly)
            continue;
        if (row.LoadWhen && !row.LoadWhen(target))
            continue;
        if (row.Value)
            ReadValue(store, row.Section, row.Name, row.Value(target));
        else if (row.Load)
            row.Load(store, target);
    }
    ApplyLoadRules(store, target);
    return target.Result;
}

void SaveStoredSettings(TKyRegistry& store, const TOptions& options, const TMainWindowState& state,
                        const TStrings& bookmarks, const TStrings& bookmarkCaptions, const TSettingsFacts& facts,
                        const TSaveFlags& flags)
{
    // The rows reach the members for both directions; the save only reads them.
    TSettingsTarget target{const_cast<TOptions&>(options),
                           const_cast<TMainWindowState&>(state),
                           const_cast<TStrings&>(bookmarks),
                           const_cast<TStrings&>(bookmarkCaptions),
                           facts,
                           flags,
                           {}};
    for (const TSettingRow& row : kRows) {
        if (row.Flags & rfLoadOnly)
            continue;
        if (row.SaveWhen && !row.SaveWhen(target))
            continue;
        if (row.Value)
            WriteValue(store, row.Section, row.Name, row.Value(target));
        else if (row.Save)
            row.Save(store, target);
    }
}

}  // namespace qrv
