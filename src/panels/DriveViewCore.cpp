#include "panels/DriveViewCore.h"

#include "common/BaseUtils.h"

namespace qrv {

void RaiseNodeNotAssigned(std::wstring_view Operation)
{
    throw ENodeNotAssigned(std::wstring(Operation) + L": Node not assigned");
}

namespace {

TNodeRef CheckedNode(TNodeRef Node, std::wstring_view Operation)
{
    if (!Node)
        RaiseNodeNotAssigned(Operation);
    return Node;
}

// The drive slot of a character, or -1 outside A to "\".
int DriveSlot(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    return drive >= kFirstDrive && drive <= kLastDrive ? drive - kFirstDrive : -1;
}

// The child of Node whose directory or short name equals Name in any case;
// a node whose children were not read yet is read first.
TNodeRef ChildByName(TDriveNodeTree& Tree, TNodeRef Node, std::wstring_view Name)
{
    if (!Tree.Data(Node).AllScanned)
        Tree.ReadSubDirs(Node);
    for (int i = 0, count = Tree.ChildCount(Node); i < count; ++i) {
        const TNodeRef child = Tree.Child(Node, i);
        const TNodeData& data = Tree.Data(child);
        if (SameText(data.DirName, Name) || SameText(data.ShortName, Name))
            return child;
    }
    // A large folder is read beside the window's thread: the one folder
    // asked for is looked up alone instead of waiting for all the others.
    if (!Tree.Data(Node).AllScanned)
        return Tree.LookUpChild(Node, std::wstring(Name));
    return nullptr;
}

}  // namespace

std::wstring NodeDirPath(TDriveNodeTree& Tree, TNodeRef Node)
{
    CheckedNode(Node, L"GetDirPath");
    const TNodeRef parent = Tree.Parent(Node);
    const TNodeData& data = Tree.Data(Node);
    const std::wstring& name = data.DirName;
    if (!parent)
        return name == L"\\" ? name : RemoveBackslash(name);
    // A shell folder that names a network path is that path, wherever it
    // hangs (a network place may sit right below the network root).
    if (data.IsVirtual && data.ParsingName.size() > 2 && data.ParsingName.compare(0, 2, L"\\\\") == 0)
        return RemoveBackslash(data.ParsingName);
    // Below the network root "\" this gives "\\server".
    return NodeDirPath(Tree, parent) + L'\\' + name;
}

std::wstring NodeDirPathName(TDriveNodeTree& Tree, TNodeRef Node)
{
    CheckedNode(Node, L"GetDirPathName");
    std::wstring path = NodeDirPath(Tree, Node);
    if (path.size() == 2 && path[1] == L':')
        path += L'\\';
    return path;
}

wchar_t NodeDrive(TDriveNodeTree& Tree, TNodeRef Node)
{
    CheckedNode(Node, L"GetDrive");
    const std::wstring path = NodeDirPath(Tree, Node);
    return path.empty() ? L'\0' : UpCaseChar(path[0]);
}

TNodeRef NodeTopLevel(TDriveNodeTree& Tree, TNodeRef Node)
{
    CheckedNode(Node, L"RootNode");
    while (TNodeRef parent = Tree.Parent(Node))
        Node = parent;
    return Node;
}

std::wstring NodeDisplayDirPath(TDriveNodeTree& Tree, TNodeRef Node)
{
    CheckedNode(Node, L"GetDisplayDirPath");
    const TNodeRef parent = Tree.Parent(Node);
    const TNodeData& data = Tree.Data(Node);
    if (!parent)
        return data.DirName == L"\\" ? data.DisplayName : RemoveBackslash(data.DirName);
    return NodeDisplayDirPath(Tree, parent) + L'\\' + data.DisplayName;
}

TNodeRef NodeForPath(TDriveNodeTree& Tree, std::wstring_view Path)
{
    if (Path.size() < 2 || DriveSlot(Path[0]) < 0)
        return nullptr;
    if (Path.substr(0, 2) == L"\\\\")
        return Tree.NodeForUNCPath(std::wstring(Path));
    // Anything else must start with a drive letter and a colon.
    if (Path[1] != L':')
        return nullptr;
    const wchar_t drive = UpCaseDrive(Path[0]);
    TNodeRef node = Tree.DriveRoot(drive);
    if (!node || Path.size() <= 3)
        return node;
    if (Path[2] != L'\\')
        return nullptr;
    if (!Tree.DriveScanned(drive))
        Tree.ScanDrive(drive);
    std::wstring_view rest = Path.substr(3);
    while (!rest.empty() && node) {
        const size_t end = rest.find(L'\\');
        const std::wstring_view name = rest.substr(0, end);
        rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        if (!name.empty())
            node = ChildByName(Tree, node, name);
    }
    return node;
}

TNodeRef NodeForPathOrParent(TDriveNodeTree& Tree, std::wstring_view Path)
{
    std::wstring path(Path);
    while (true) {
        if (TNodeRef node = NodeForPath(Tree, path))
            return node;
        if (path.size() <= 3)
            return nullptr;
        const std::wstring parent = RemoveBackslash(ExtractFilePath(RemoveBackslash(path)));
        // "C:" is the parent of "C:\x"; a path without a parent ends here.
        if (parent.empty() || parent.size() >= RemoveBackslash(path).size())
            return nullptr;
        path = parent.size() == 2 && parent[1] == L':' ? parent + L'\\' : parent;
    }
}

std::wstring DriveCaption(wchar_t Drive, bool ShowVolLabel, TVolumeDisplayStyle Style, const TDriveNames& Names)
{
    if (Drive == kNetworkDrive)
        return Names.DisplayName;
    if (ShowVolLabel && !Names.PrettyName.empty()) {
        switch (Style) {
        case TVolumeDisplayStyle::doPrettyName:
            return Names.PrettyName;
        case TVolumeDisplayStyle::doDisplayName:
            return Names.DisplayName;
        case TVolumeDisplayStyle::doLongPrettyName:
            return Names.LongPrettyName;
        }
    }
    return std::wstring(1, UpCaseDrive(Drive)) + L':';
}

std::wstring DirSizeText(int64_t Size, std::wstring_view Separator)
{
    // Rounded to the nearest unit: 2,000 bytes read "2K"; below 1 K counts as 1 K.
    const int64_t kilobytes = Size > 0 && Size < 1024 ? 1 : (Size + 512) / 1024;
    if (kilobytes > 99999)
        return FormatThousands((Size + 512 * 1024) / (1024 * 1024), Separator) + L'M';
    return FormatThousands(kilobytes, Separator) + L'K';
}

std::wstring FolderCaption(const TNodeData& Data, TFileNameDisplay Display, bool ShowDirSize,
                           std::wstring_view Separator)
{
    std::wstring caption = ApplyNameDisplay(Data.DisplayName, Display);
    if (ShowDirSize && Data.DirSize >= 0)
        caption += L" = " + DirSizeText(Data.DirSize, Separator);
    return caption;
}

TNodeColors NodeColors(const TNodeData& Data, bool Selected, const TNodeColorOptions& Options)
{
    constexpr TColor clBtnText = SystemColor(18);
    TNodeColors colors;
    if (Selected && !Options.TreeFocused && Options.HideSelection) {
        colors.Text = clBtnText;
        colors.Back = clBtnFace;
    } else if (!Data.Bold) {
        if (Data.Attr & faCompressed)
            colors.Text = Options.CompressedColor;
        else if (Data.Attr & faHidden)
            colors.Text = Options.HiddenColor;
    }
    return colors;
}

TNodeData DiskNodeData(std::wstring_view ParentPath, const TSearchRec& Entry, std::wstring_view AlternateName)
{
    TNodeData data;
    data.DisplayName = Entry.Name;
    data.DirName = Entry.Name;
    data.ShortName = NodeShortName(Entry.Name, AlternateName);
    data.Attr = Entry.Attr;
    data.IsRecycleBin = IsRecycleBinEntry(RemoveBackslash(ParentPath), Entry);
    return data;
}

int CompareNodeNames(std::wstring_view A, std::wstring_view B)
{
    const int byText = CompareText(A, B);
    return byText != 0 ? byText : CompareStr(A, B);
}

int CenterScrollStep(int NodeTop, int ClientHeight)
{
    if (NodeTop < ClientHeight / 4)
        return -1;
    if (NodeTop > ClientHeight * 3 / 4)
        return 1;
    return 0;
}

TDriveStatus& TDriveStatusTable::operator[](wchar_t Drive)
{
    const int slot = DriveSlot(Drive);
    if (slot < 0)
        throw EConvertError(std::wstring(1, Drive) + L" ist kein gültiges Laufwerk.");
    return drives_[static_cast<size_t>(slot)];
}

const TDriveStatus& TDriveStatusTable::operator[](wchar_t Drive) const
{
    return const_cast<TDriveStatusTable&>(*this)[Drive];
}

std::wstring TDriveStatusTable::DefaultDir(wchar_t Drive) const
{
    const TDriveStatus& status = (*this)[Drive];
    if (!status.DefaultDir.empty())
        return status.DefaultDir;
    return std::wstring(1, UpCaseDrive(Drive)) + L":\\";
}

void TDriveStatusTable::SetDefaultDir(wchar_t Drive, std::wstring_view Path)
{
    (*this)[Drive].DefaultDir = AddBackslash(Path);
}

wchar_t TDriveStatusTable::DriveOfRoot(TNodeRef Node) const
{
    if (!Node)
        return L'\0';
    for (size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].RootNode == Node)
            return static_cast<wchar_t>(kFirstDrive + i);
    return L'\0';
}

}  // namespace qrv
