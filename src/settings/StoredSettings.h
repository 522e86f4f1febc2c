#pragma once
// The stored sections of the settings: which section and value names hold
// what, what the load reads (each value with the current one as its
// default) and what the save writes, in which order. The schema works on
// TOptions, the bookmark lists and TMainWindowState, a snapshot of the main
// window's own settings: the window takes its part from the snapshot after
// the load and puts the current values back before the save. Values whose
// control does not exist yet stay in the snapshot as they were read and are
// written back unchanged. Portable.

#include "common/BaseUtils.h"
#include "framework/StringList.h"
#include "settings/KyRegistry.h"
#include "settings/Quorvan32Globals.h"
#include "settings/SettingRules.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// Columns, view and sort of a file list or the archive list.
struct TListViewState {
    std::vector<int> ColWidths;  // one per column
    std::vector<int> ColOrder;   // display order; applied only as a permutation of the columns
    int ViewStyle = 3;           // 0 icons, 1 small icons, 2 list, 3 report
    bool SortAscending = true;
    int SortColumn = 0;
};

// The load filter of a file list as the CurrentFilter section keeps it.
struct TListFilterState {
    std::wstring Mask = L"*.*";
    TAttrChoices Attributes{};  // Hidden, ReadOnly, System, Archive, Compressed, Encrypted
    int64_t SizeFrom = 0;
    int64_t SizeTo = 2147483647;
    int DateFrom = 33;   // DOS date, 1 January 1980
    int DateTo = 61343;  // DOS date, 31 December 2099
    int DaysSince = -1;  // -1: the date window counts, else changed within that many days
};

// The text editor's options of the TextSettings section (and "ShowRulers").
struct TEditorStoredOptions {
    bool ShowRulers = false;
    bool GroupUndo = true;
    bool WhiteSpace = false;
    bool HighLightURL = true;
    bool WordWrap = false;
    bool SearchText = false;
    bool PersistentBlocks = false;
    bool OverWriteBlocks = true;  // as the editor starts
    bool InsertMode = true;
    int TabStops = 8;
    // The text properties form's other values: its switches without a row
    // above (the editor's defaults), the key mapping, and the tab stops as
    // written there ("4 8 12"; empty: TabStops alone).
    bool PaintMargin = true;
    bool EnableDragging = true;
    bool SelectBeyondEol = true;
    bool KeepColumn = false;
    bool EnTabBlock = false;
    bool ShowScrollHint = false;
    int KeyMapping = 0;
    std::wstring TabStopList;
};

// The hex view's settings (enumerations as their ordinal values).
struct THexStoredSettings {
    int OffsetDisplay = 0;
    int BytesPerLine = 16;
    int BytesPerCol = 2;
    int Translation = 0;
};

// The directory comparison's options; read, never written.
struct TCompareStoredOptions {
    std::optional<bool> ByName, BySize, ByContent, SelectEqual, SelectDifferent, SelectMissing, SelectNewer,
        SelectOlder, SelectDuplicates, SubDirs, EqualFiles;
};

// The list-files dialog's last choices.
struct TFileListStoredSettings {
    std::optional<std::wstring> Filename;
    std::optional<int> FormatIndex;
    std::optional<std::wstring> Settings;  // ten "X"/"-" flags
};

// The list printout's last choices.
struct TPrintListStoredSettings {
    std::optional<std::wstring> FontName;
    std::optional<int> FontSize;
    std::optional<int> Orientation;
    std::optional<std::wstring> Settings;  // six "X"/"-" flags
    std::optional<int> Width;
    std::optional<int> Height;
    std::optional<bool> TwoPages;
};

// The seven customisable toolbars by the index of the toolbar table; their
// component names are the value names of the Toolbars section.
constexpr int kCustomToolbarCount = 7;
extern const std::array<const wchar_t*, kCustomToolbarCount> kCustomToolbarNames;

struct TMainWindowState {
    int UpdateLevel = 0;
    TBounds Bounds;
    bool BoundsStored = false;  // the store held window bounds
    int Splitter = 0;           // width of the tree panel
    int HSplitter = 0;          // height of the display pane
    int Splitter2X = 0;         // first file window's width, side-by-side layout
    int Splitter2Y = 0;         // first file window's height, stacked layout
    // Read only from settings older than update level 460.
    std::optional<bool> CommandLineToolbar;
    std::optional<bool> AlignPicture;
    std::wstring NoCheckDrives;
    int MaxSDS = 5;
    bool SimpleRefresh = false;
    TEditorStoredOptions Editor;
    TCompareStoredOptions Compare;
    std::optional<int> SelDirWidth, SelDirHeight;
    std::optional<int> DirFindTop, DirFindLeft;  // written while the find dialog exists
    THexStoredSettings Hex;
    TListViewState List1, List2, ZipList;
    // The folders the lists show now (for the start directories of the next run).
    std::wstring ListPath1, ListPath2;
    std::vector<std::wstring> CommandLines;
    std::vector<std::wstring> RecentDirs1, RecentDirs2;
    int RecentDirLimit = 8;  // the history boxes' drop-down count
    std::vector<std::wstring> Masks;
    std::vector<std::wstring> SelDirs;
    TListFilterState Filter1, Filter2;
    TFileListStoredSettings FileList;
    TPrintListStoredSettings PrintList;
    std::array<std::optional<std::wstring>, kCustomToolbarCount> Toolbars;
};

// The facts of the system and the run that the schema needs.
struct TSettingsFacts {
    bool NTPlatform = true;
    bool FirstRun = false;
    bool SecondFileWinShown = false;  // at save: the second file window is on the screen
    int ScreenWidth = 1024;
    int ScreenHeight = 768;
    std::wstring DefaultDriveRoot = L"C:\\";
    // The default bookmarks, added when the store holds none.
    std::wstring WindowsDirectory;
    std::wstring PersonalFolder;
    // The full path of a program found along the search path, or empty.
    std::function<std::wstring(const std::wstring&)> FindOnSearchPath;
    // The registered picture converter, when the store names none; empty when unknown.
    std::function<std::wstring()> RegisteredIrfanView;
};

// Which sections the save rewrites although they are written only on change.
struct TSaveFlags {
    bool FKeysChanged = false;
    bool FilterListChanged = false;
    bool BookmarksChanged = false;
};

struct TLoadResult {
    // On a first run commands without a folder were completed with the
    // folder found along the search path: worth saving.
    bool FKeysCompleted = false;
};

// How many entries of the fixed-size histories are kept.
constexpr int kHistoryLimit = 10;

TLoadResult LoadStoredSettings(TKyRegistry& store, TOptions& options, TMainWindowState& state, TStrings& bookmarks,
                               TStrings& bookmarkCaptions, const TSettingsFacts& facts);
void SaveStoredSettings(TKyRegistry& store, const TOptions& options, const TMainWindowState& state,
                        const TStrings& bookmarks, const TStrings& bookmarkCaptions, const TSettingsFacts& facts,
                        const TSaveFlags& flags);

// The load's last step on the window's width: the tree panel keeps at least
// 50 pixels for the file windows.
int LimitTreePanelWidth(int treeWidth, int windowWidth);

}  // namespace qrv
