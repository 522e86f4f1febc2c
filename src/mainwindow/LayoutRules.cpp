#include "mainwindow/LayoutRules.h"

#include <algorithm>

namespace qrv {

TPaneColors HistoryBoxColors(const TPaneColorRule& Rule)
{
    if (!Rule.UseColor)
        return {Rule.WindowColor, Rule.WindowColor};
    if (Rule.TwoWindows)
        return Rule.FirstActive ? TPaneColors{Rule.ActiveColor, Rule.Color} : TPaneColors{Rule.Color, Rule.ActiveColor};
    // One window: its box shows whether its list holds the focus.
    return {Rule.ListFocused ? Rule.ActiveColor : Rule.Color, Rule.Color};
}

bool ExpandLevelEnabled(bool HasNode, bool HasChildren, int NodeLevel, int Level)
{
    return HasNode && HasChildren && NodeLevel <= Level;
}

namespace {

std::wstring MenuCaption(const std::wstring& Path)
{
    std::wstring caption;
    caption.reserve(Path.size());
    for (wchar_t c : Path) {
        caption += c;
        if (c == L'&')
            caption += L'&';
    }
    return caption;
}

}  // namespace

std::vector<THistoryMenuItem> HistoryMenu(const TFolderHistory& History, bool Back)
{
    std::vector<THistoryMenuItem> items;
    const int count = static_cast<int>(History.Entries.size());
    const int position = std::clamp(History.Position, -1, count);
    auto add = [&](int index) { items.push_back({MenuCaption(History.Entries[static_cast<size_t>(index)]), index}); };
    if (Back) {
        for (int i = position + 1; i < count && items.size() < kHistoryMenuItems; ++i)
            add(i);
    } else {
        for (int i = 0; i < position && items.size() < kHistoryMenuItems; ++i)
            add(i);
    }
    return items;
}

TCustomMenuItems ListMenuItems(const TListMenuFacts& Facts)
{
    TCustomMenuItems items;
    if (!Facts.HasFocusedItem || Facts.VirtualFolder)
        return items;
    items.Shown = true;
    items.ShowFile = Facts.ShowFileEnabled;
    items.ShowFileChecked = Facts.ShowFileChecked;
    items.DateTime = Facts.DateTimeEnabled;
    if (Facts.FocusedIsFolder)
        return items;
    items.Combine = Facts.CombineEnabled;
    items.Split = Facts.SplitEnabled && !Facts.CombineEnabled;
    items.Extract = Facts.ExtractEnabled && !Facts.ArchiveListShown;
    items.ExtractDivider = items.Extract;
    items.ExtractTo = items.Extract && Facts.SelectedCount == 1;
    return items;
}

TCustomMenuItems TreeMenuItems(const TTreeMenuFacts& Facts)
{
    TCustomMenuItems items;
    if (!Facts.HasSelectedNode || !Facts.HasTargetNode)
        return items;
    items.Shown = true;
    items.RefreshTree = true;
    return items;
}

}  // namespace qrv
