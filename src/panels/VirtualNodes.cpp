#include "panels/VirtualNodes.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

namespace qrv {

namespace {

bool IsDriveRootPath(std::wstring_view Path)
{
    return (Path.size() == 2 || (Path.size() == 3 && Path[2] == L'\\')) && Path[1] == L':';
}

}  // namespace

std::wstring LastParsingComponent(std::wstring_view ParsingName)
{
    while (ParsingName.size() > 1 && ParsingName.back() == L'\\')
        ParsingName.remove_suffix(1);
    const size_t slash = ParsingName.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? ParsingName : ParsingName.substr(slash + 1));
}

TNodeData VirtualNodeData(const TShellItemFacts& Item, const TShortcutResolver& ShortcutTarget)
{
    TNodeData data;
    data.IsVirtual = true;
    data.ShellAttr = Item.Attributes;
    data.DisplayName = Item.DisplayName;
    data.ParsingName = Item.ParsingName;
    if (data.ParsingName.size() >= 2 && data.ParsingName[1] == L':' && data.IsFileSystem()) {
        // A network place is a shortcut in the file system; what it names is
        // where the node leads.
        std::wstring target = ShortcutTarget ? ShortcutTarget(data.ParsingName) : std::wstring();
        if (target.empty())
            data.ShellAttr = (data.ShellAttr & ~kShellAttrFileSystem) | kShellAttrRealFolder;
        else
            data.ParsingName = std::move(target);
    }
    if (data.ParsingName.empty()) {
        data.ParsingName = L"\\\\" + Item.DisplayName;
        data.DirName = Item.DisplayName;
    } else {
        data.DirName = LastParsingComponent(data.ParsingName);
    }
    if (!(data.ShellAttr & (kShellAttrFileSystem | kShellAttrRealFolder)) &&
        SameText(std::wstring_view(data.ParsingName).substr(0, 4), L"FTP:"))
        data.ShellAttr |= kShellAttrRealFolder;
    return data;
}

bool VirtualNodeWanted(const TNodeData& Data)
{
    return !IsDriveRootPath(Data.ParsingName) && (Data.ShellAttr & (kShellAttrFileSystem | kShellAttrRealFolder));
}

std::wstring VirtualShortName(std::wstring_view ParentShortName, std::wstring_view OwnShortName)
{
    return std::wstring(ParentShortName) + L'\\' + std::wstring(OwnShortName);
}

bool IsPathPrefix(std::wstring_view Prefix, std::wstring_view Path)
{
    while (Prefix.size() > 1 && Prefix.back() == L'\\')
        Prefix.remove_suffix(1);
    if (Prefix.empty() || Prefix.size() > Path.size() || !SameText(Prefix, Path.substr(0, Prefix.size())))
        return false;
    // "\\srv\a" is no ancestor of "\\srv\ab".
    return Prefix.size() == Path.size() || Path[Prefix.size()] == L'\\' || Prefix.back() == L'\\';
}

TNodeRef NodeForParsingPrefix(TDriveNodeTree& Tree, TNodeRef Start, std::wstring_view Path)
{
    TNodeRef found = nullptr;
    TNodeRef node = Start;
    while (node) {
        if (!Tree.Data(node).AllScanned)
            Tree.ReadSubDirs(node);
        TNodeRef next = nullptr;
        for (int i = 0, count = Tree.ChildCount(node); i < count && !next; ++i) {
            const TNodeRef child = Tree.Child(node, i);
            if (IsPathPrefix(Tree.Data(child).ParsingName, Path))
                next = child;
        }
        if (next)
            found = next;
        node = next;
    }
    return found;
}

}  // namespace qrv
