#pragma once
// The small rules of the file windows: the history boxes' colours, the
// tree's "n. Ebene" commands, the drop-down menus of the back and forward
// buttons and which of the window's own items the panes' context menus
// show. Portable.

#include "mainwindow/FolderHistory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

// ---- The history boxes' colours ---------------------------------------------------

struct TPaneColorRule {
    bool UseColor = false;
    bool TwoWindows = true;
    bool FirstActive = true;   // the first list is the active one
    bool ListFocused = false;  // the active list has the focus (one window)
    uint32_t Color = 0;        // the inactive window's colour
    uint32_t ActiveColor = 0;
    uint32_t WindowColor = 0;  // the system's window colour
};
struct TPaneColors {
    uint32_t First = 0;
    uint32_t Second = 0;
};
TPaneColors HistoryBoxColors(const TPaneColorRule& Rule);

// ---- Expanding the tree to a level ------------------------------------------------

constexpr int kExpandLevels = 8;
// The command of Level (1..8) is enabled for the selected node: it has
// children and lies at most Level deep (the roots are level 0).
bool ExpandLevelEnabled(bool HasNode, bool HasChildren, int NodeLevel, int Level);

// ---- The history drop-downs -------------------------------------------------------

constexpr size_t kHistoryMenuItems = 15;
struct THistoryMenuItem {
    std::wstring Caption;  // the path, its "&" doubled
    int Tag = 0;           // the entry's index in the history
};
// Back: the entries older than the position, the nearest first; forward:
// the newer ones from the newest down to the one before the position. At most kHistoryMenuItems each.
std::vector<THistoryMenuItem> HistoryMenu(const TFolderHistory& History, bool Back);

// ---- The window's items of the panes' context menus -------------------------------

struct TListMenuFacts {
    bool HasFocusedItem = false;
    bool VirtualFolder = false;  // the list shows a shell folder
    bool FocusedIsFolder = false;
    bool CombineEnabled = false;
    bool SplitEnabled = false;
    bool ExtractEnabled = false;
    bool ArchiveListShown = false;
    int SelectedCount = 0;
    bool ShowFileEnabled = false;  // "Datei a&nzeigen"
    bool ShowFileChecked = false;
    bool DateTimeEnabled = false;
};
struct TTreeMenuFacts {
    bool HasSelectedNode = false;
    bool HasTargetNode = false;  // the drop target's node, or else the selected one
};
struct TCustomMenuItems {
    bool Shown = false;  // the menu of these items appears at all
    bool RefreshTree = false;
    bool Combine = false;
    bool Split = false;
    bool Extract = false;
    bool ExtractTo = false;
    bool ExtractDivider = false;
    bool ShowFile = false;
    bool ShowFileChecked = false;
    bool DateTime = false;
    bool operator==(const TCustomMenuItems&) const = default;
};
TCustomMenuItems ListMenuItems(const TListMenuFacts& Facts);
TCustomMenuItems TreeMenuItems(const TTreeMenuFacts& Facts);

}  // namespace qrv
