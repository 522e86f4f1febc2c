#include "mainwindow/Bookmarks.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

namespace qrv {

std::vector<TBookmarkMenuItem> PlanBookmarkMenu(const std::vector<std::wstring>& Captions)
{
    std::vector<TBookmarkMenuItem> items;
    items.reserve(Captions.size());
    int named = 0;     // accelerators handed out so far
    int inColumn = 0;  // named bookmarks in the current column
    for (size_t i = 0; i < Captions.size(); ++i) {
        TBookmarkMenuItem item;
        item.Tag = static_cast<int>(i);
        if (Captions[i] == kBookmarkSeparator) {
            item.Separator = true;
        } else {
            item.Caption = MenuAccelText(named++) + Captions[i];
            if (++inColumn > kBookmarksPerColumn) {
                item.BarBreak = true;
                inColumn = 1;
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::wstring LastPathComponent(const std::wstring& Path)
{
    const std::wstring trimmed = RemoveBackslash(Path);
    if (trimmed.size() <= PathRootLength(trimmed))
        return {};
    return ExtractFileName(trimmed);
}

std::wstring DefaultBookmarkCaption(const std::wstring& Path)
{
    std::wstring caption = LastPathComponent(Path);
    return caption.empty() ? Path : caption;
}

std::wstring ProposedBookmarkCaption(const std::wstring& Path, const std::wstring& DriveName)
{
    std::wstring caption = LastPathComponent(Path);
    if (Path.size() == 3 && Path[1] == L':')
        caption = DriveName;
    return caption.empty() ? Path : caption;
}

bool BookmarkPathKnown(const std::vector<std::wstring>& Paths, const std::wstring& Path)
{
    const std::wstring wanted = RemoveBackslash(Trim(Path));
    for (const std::wstring& known : Paths)
        if (!known.empty() && SameText(RemoveBackslash(Trim(known)), wanted))
            return true;
    return false;
}

bool IsRootedPath(const std::wstring& Path)
{
    if (Path.size() >= 2 && Path[1] == L':') {
        const wchar_t drive = static_cast<wchar_t>(Path[0] | 0x20);
        return drive >= L'a' && drive <= L'z' && (Path.size() == 2 || Path[2] == L'\\');
    }
    if (!Path.starts_with(L"\\\\"))
        return false;
    // "\\server\share": both parts named.
    const size_t server = Path.find(L'\\', 2);
    return server != std::wstring::npos && server > 2 && server + 1 < Path.size() && Path[server + 1] != L'\\';
}

TBookmarkLists BookmarksFromRows(const std::vector<TBookmarkRow>& Rows)
{
    TBookmarkLists lists;
    for (const TBookmarkRow& row : Rows) {
        const bool separator = row.Caption == kBookmarkSeparator;
        if (row.Path.empty() && !separator)
            continue;
        lists.Paths.push_back(row.Path);
        lists.Captions.push_back(row.Caption.empty() ? DefaultBookmarkCaption(row.Path) : row.Caption);
    }
    return lists;
}

TBookmarkLists BookmarksAsAdded(const std::vector<std::wstring>& Paths, const std::vector<std::wstring>& Captions)
{
    TBookmarkLists lists;
    lists.Paths = Paths;
    for (size_t i = 0; i < Paths.size(); ++i) {
        const std::wstring caption = i < Captions.size() ? Captions[i] : std::wstring();
        lists.Captions.push_back(caption.empty() ? DefaultBookmarkCaption(Paths[i]) : caption);
    }
    return lists;
}

std::wstring BookmarkNotFoundText(const std::wstring& Path)
{
    return L"Ausgewählter Pfad nicht vorhanden:\n" + Path;
}

std::wstring BookmarkAskCreateText(const std::wstring& Path)
{
    return L"Das Verzeichnis \"" + Path + L"\" ist nicht vorhanden. Soll das Verzeichnis neu angelegt werden?";
}

std::wstring BookmarkCreateFailedText(const std::wstring& Path)
{
    return L"Fehler beim Anlegen des Verzeichnisses: \"" + Path + L"\".";
}

std::wstring BookmarkKnownText(const std::wstring& Path)
{
    return L"Das Verzeichnis \"" + Path + L"\" ist in den Lesezeichen bereits vorhanden.";
}

std::wstring BookmarkPath(const std::vector<std::wstring>& Paths, int Tag)
{
    if (Tag < 0 || static_cast<size_t>(Tag) >= Paths.size())
        return {};
    return TrimLeft(Paths[static_cast<size_t>(Tag)]);
}

namespace {

// After a node was found for the path: a node of another name stands for a
// folder that is not there (the tree found a parent, or a shell folder).
void CheckFoundName(const std::wstring& Path, const TBookmarkNode& Node, TBookmarkTree& Tree)
{
    const std::wstring last = LastPathComponent(Path);
    if (last.empty() || Node.Special || UpperCase(Node.Name) == UpperCase(last))
        return;
    Tree.Beep();
    Tree.ShowError(BookmarkNotFoundText(Path));
}

}  // namespace

void ChooseBookmarkInMenu(const std::wstring& Path, TBookmarkTree& Tree)
{
    if (Path.empty())
        return;
    if (const std::optional<TBookmarkNode> node = Tree.FindNode(Path)) {
        Tree.SelectNode(Path, true, true);
        CheckFoundName(Path, *node, Tree);
        return;
    }
    Tree.Beep();
    // A path of no drive or share would be made below the program's
    // current folder: it is only reported.
    if (!IsRootedPath(Path)) {
        Tree.ShowError(BookmarkNotFoundText(Path));
        return;
    }
    switch (Tree.AskCreate(BookmarkAskCreateText(Path))) {
    case TCreateAnswer::Yes:
        if (Tree.CreatePath(Path)) {
            Tree.SelectNode(Path, false, true);
        } else {
            Tree.Beep();
            Tree.ShowError(BookmarkCreateFailedText(Path));
        }
        break;
    case TCreateAnswer::No:
        if (!Tree.SelectNearestParent(Path))
            Tree.ShowError(BookmarkNotFoundText(Path));
        break;
    case TCreateAnswer::Cancel:
        break;
    }
}

void ChooseBookmarkButton(const std::wstring& Path, bool AutoExpand, TBookmarkTree& Tree)
{
    if (Path.empty())
        return;
    if (const std::optional<TBookmarkNode> node = Tree.FindNode(Path)) {
        Tree.SelectNode(Path, AutoExpand, true);
        CheckFoundName(Path, *node, Tree);
        return;
    }
    Tree.Beep();
    Tree.ShowError(BookmarkNotFoundText(Path));
}

}  // namespace qrv
