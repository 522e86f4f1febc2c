#pragma once
// What the bookmarks decide without a window: the items of the bookmark
// menus (accelerators, separators, column breaks), the caption a new
// bookmark gets, the lists an edit leaves, and what choosing a bookmark in
// a menu or on the toolbar does to the folder tree. The window side is
// mainwindow/win/BookmarkCommands.h. Portable.

#include "dialogs/StdDirRows.h"

#include <optional>
#include <string>
#include <vector>

namespace qrv {

// A caption of this text is a separator in the menus.
inline constexpr wchar_t kBookmarkSeparator[] = L"-";
// Named bookmarks per menu column.
constexpr int kBookmarksPerColumn = 24;

struct TBookmarkMenuItem {
    int Tag = 0;  // the bookmark's index in the lists
    bool Separator = false;
    std::wstring Caption;   // with its accelerator prefix; empty for a separator
    bool BarBreak = false;  // the item starts a new menu column
};

// One item per bookmark, in list order.
std::vector<TBookmarkMenuItem> PlanBookmarkMenu(const std::vector<std::wstring>& Captions);
// The dividers before the fixed items are shown only with bookmark items.
inline bool BookmarkDividerVisible(size_t BookmarkItems)
{
    return BookmarkItems > 0;
}

// The path's last folder name ("" for a drive root).
std::wstring LastPathComponent(const std::wstring& Path);
// The caption a bookmark gets when it is added without one: the last
// component, or the path itself where that is empty.
std::wstring DefaultBookmarkCaption(const std::wstring& Path);
// The caption the add dialog proposes: the last component; for a drive
// root ("C:\") the drive's name; when still empty the path itself.
std::wstring ProposedBookmarkCaption(const std::wstring& Path, const std::wstring& DriveName);
// Whether Path is in the list already (compared ignoring case and a
// trailing backslash).
bool BookmarkPathKnown(const std::vector<std::wstring>& Paths, const std::wstring& Path);

// "C:\..." or "\\server\share...": a path that cannot be read relative to
// some current folder.
bool IsRootedPath(const std::wstring& Path);

// The bookmark lists as an edit leaves them: rows with an empty path are
// dropped unless they are separators; an empty caption becomes the default.
struct TBookmarkLists {
    std::vector<std::wstring> Paths;
    std::vector<std::wstring> Captions;
};
TBookmarkLists BookmarksFromRows(const std::vector<TBookmarkRow>& Rows);
// The lists as adding them one by one leaves them (the stored lists at
// start): every empty caption becomes the default.
TBookmarkLists BookmarksAsAdded(const std::vector<std::wstring>& Paths, const std::vector<std::wstring>& Captions);

// The folder tree as a bookmark choice sees it.
struct TBookmarkNode {
    std::wstring Name;     // the node's folder name
    bool Special = false;  // a shell folder, not named by the path
};
enum class TCreateAnswer { Yes, No, Cancel };

class TBookmarkTree {
public:
    virtual ~TBookmarkTree() = default;
    // The node the tree has for the path; nullopt when none.
    virtual std::optional<TBookmarkNode> FindNode(const std::wstring& Path) = 0;
    // Selects the path's node: expanded one level and centred as asked.
    virtual void SelectNode(const std::wstring& Path, bool Expand, bool Center) = 0;
    // Makes every missing folder of the path; false on failure.
    virtual bool CreatePath(const std::wstring& Path) = 0;
    // Selects the nearest parent that has a node (expanded, centred);
    // false when there is none.
    virtual bool SelectNearestParent(const std::wstring& Path) = 0;
    virtual TCreateAnswer AskCreate(const std::wstring& Question) = 0;
    virtual void Beep() = 0;
    virtual void ShowError(const std::wstring& Text) = 0;
};

std::wstring BookmarkNotFoundText(const std::wstring& Path);
std::wstring BookmarkAskCreateText(const std::wstring& Path);
std::wstring BookmarkCreateFailedText(const std::wstring& Path);
std::wstring BookmarkKnownText(const std::wstring& Path);

// The path of a bookmark: empty for a tag out of range, leading blanks removed.
std::wstring BookmarkPath(const std::vector<std::wstring>& Paths, int Tag);
// A bookmark chosen in a menu: selects it, or offers to create it.
void ChooseBookmarkInMenu(const std::wstring& Path, TBookmarkTree& Tree);
// A bookmark button: selects it (expanded when AutoExpand), never creates.
void ChooseBookmarkButton(const std::wstring& Path, bool AutoExpand, TBookmarkTree& Tree);

}  // namespace qrv
