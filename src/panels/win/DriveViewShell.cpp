// TDriveView and the shell: the desktop and My Computer folders, each node's
// shell folder and absolute list, shell attributes of disk folders, and the
// shell folders below the network neighbourhood (reading, images, finding a
// UNC path among them).

#include "panels/win/DriveView.h"

#include "common/BaseUtils.h"
#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"
#include "framework/win/Forms.h"
#include "framework/win/WaitCursor.h"
#include "panels/VirtualNodes.h"
#include "panels/win/DriveViewNode.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/ShellLinks.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

// A folder kept in a node's record, which holds it as shared_ptr<void>.
std::shared_ptr<void> HoldFolder(TShellFolderPtr Folder)
{
    IShellFolder* raw = Folder.Detach();
    return std::shared_ptr<void>(raw, [](void* folder) {
        if (folder)
            static_cast<IShellFolder*>(folder)->Release();
    });
}

IShellFolder* HeldFolder(const TNodeData& Data)
{
    return static_cast<IShellFolder*>(Data.ShellFolder.get());
}

// The folder of a relative item in Parent; nil when it cannot be bound.
TShellFolderPtr BindInFolder(IShellFolder* Parent, LPCITEMIDLIST Item)
{
    TShellFolderPtr folder;
    if (!Parent || !Item || FAILED(Parent->BindToObject(Item, nullptr, IID_PPV_ARGS(&folder))))
        return nullptr;
    return folder;
}

// The short name the shell's find data gives an item (its 8.3 name, else
// its long name upper-cased); the display name upper-cased when there is no
// find data (items outside the file system).
std::wstring ShellShortName(IShellFolder* Folder, LPCITEMIDLIST Item, const std::wstring& DisplayName)
{
    WIN32_FIND_DATAW found{};
    if (Folder && SUCCEEDED(SHGetDataFromIDListW(Folder, Item, SHGDFIL_FINDDATA, &found, sizeof found)) &&
        found.cFileName[0])
        return NodeShortName(found.cFileName, found.cAlternateFileName);
    return UpperCase(DisplayName);
}

int PidlIcon(LPCITEMIDLIST Pidl, bool Open)
{
    SHFILEINFOW info{};
    const UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (Open ? SHGFI_OPENICON : 0);
    if (!Pidl || !SHGetFileInfoW(reinterpret_cast<LPCWSTR>(Pidl), 0, &info, sizeof info, flags))
        return -1;
    return info.iIcon;
}

// Relative lists of one item compare by their bytes.
bool SameItem(const TPidlBytes& Own, LPCITEMIDLIST Item)
{
    TPidlPtr first = CopyFirstPidlItem(Item);
    return !Own.empty() && first && PidlsEqual(AsPidl(Own), first.get());
}

}  // namespace

void TDriveView::BindShellFolders()
{
    if (!desktop_)
        desktop_ = qrv::DesktopFolder();
    if (drivesFolder_)
        return;
    LPITEMIDLIST drives = nullptr;
    const HRESULT result = SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives);
    TPidlPtr own(drives);
    if (FAILED(result))
        throw EOleSysError(SysErrorMessage(static_cast<DWORD>(result)), result);
    TShellFolderPtr folder;
    const HRESULT bound = desktop_->BindToObject(own.get(), nullptr, IID_PPV_ARGS(&folder));
    if (FAILED(bound))
        throw EOleSysError(SysErrorMessage(static_cast<DWORD>(bound)), bound);
    drivesFolder_ = folder;
}

TPidlPtr TDriveView::AbsolutePidl(TTreeNode* Node)
{
    TNodeData& data = NodeData(Node);
    if (!Node->Parent())
        return PidlFromBytes(data.Pidl);
    if (!data.IsVirtual)
        return PathToPidl(GetDirPathName(Node));
    TPidlPtr parent = AbsolutePidl(Node->Parent());
    if (!parent || data.Pidl.empty())
        return nullptr;
    return ConcatPidls(parent.get(), AsPidl(data.Pidl));
}

IShellFolder* TDriveView::NodeFolder(TTreeNode* Node)
{
    TNodeData& data = NodeData(Node);
    if (data.ShellFolder)
        return HeldFolder(data);
    TShellFolderPtr folder;
    if (TTreeNode* parent = Node->Parent(); parent && data.IsVirtual && !data.Pidl.empty())
        folder = BindInFolder(NodeFolder(parent), AsPidl(data.Pidl));
    if (!folder) {
        TPidlPtr pidl = AbsolutePidl(Node);
        if (!pidl || !BindToFolder(pidl.get(), folder))
            return nullptr;
    }
    data.ShellFolder = HoldFolder(std::move(folder));
    return HeldFolder(data);
}

uint32_t TDriveView::ShellAttributesIn(IShellFolder* Parent, TNodeData& Data, uint32_t Mask)
{
    if (!Parent)
        return 0;
    if (Data.Pidl.empty()) {
        TPidlPtr item = ParseNameInFolder(Parent, Data.DirName);
        if (!item)
            return 0;
        Data.Pidl = PidlBytes(item.get());
    }
    LPCITEMIDLIST item = AsPidl(Data.Pidl);
    SFGAOF attributes = Mask;
    if (FAILED(Parent->GetAttributesOf(1, &item, &attributes)))
        return 0;
    return attributes & Mask;
}

void TDriveView::ReadDiskShellAttributes(TTreeNode* Node)
{
    TNodeData& data = NodeData(Node);
    TTreeNode* parent = Node->Parent();
    if (!parent || data.IsVirtual)
        return;
    TDriveInfoRec rec;
    DriveInfo().GetData(GetDrive(Node), rec);
    // Asking the shell of a network drive would wait for the network.
    if (rec.DriveType == kDriveTypeRemote)
        return;
    data.ShellAttr = (data.ShellAttr & ~kDiskAttrMask) | ShellAttributesIn(NodeFolder(parent), data, kDiskAttrMask);
    ApplyShareOverlay(Node);
}

void TDriveView::ApplyShareOverlay(TTreeNode* Node)
{
    if (!(NodeData(Node).ShellAttr & kShellAttrShare) || !Node->ItemId() || !HandleAllocated())
        return;
    // Overlay 1 of the system list is the shared hand.
    TVITEMW item{};
    item.mask = TVIF_STATE;
    item.hItem = Node->ItemId();
    item.stateMask = TVIS_OVERLAYMASK;
    item.state = INDEXTOOVERLAYMASK(1);
    SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TDriveView::ExpandVirtualNode(TTreeNode* Node, bool AddNew)
{
    if (!Node)
        RaiseNodeNotAssigned(L"ExpandVirtualNode");
    ReadVirtualChildren(Node, AddNew, false);
}

void TDriveView::ReadVirtualChildren(TTreeNode* Node, bool AddNew, bool DropVanished)
{
    TNodeData& data = NodeData(Node);
    // Known children by display name, to update them in place.
    std::vector<TTreeNode*> known;
    for (int i = 0; i < Node->Count(); ++i)
        known.push_back(Node->Item(i));
    const auto byName = [this](TTreeNode* a, TTreeNode* b) {
        return CompareNodeNames(NodeData(a).DisplayName, NodeData(b).DisplayName) < 0;
    };
    std::sort(known.begin(), known.end(), byName);
    std::vector<bool> seen(known.size(), false);

    IShellFolder* folder = nullptr;
    Microsoft::WRL::ComPtr<IEnumIDList> items;
    try {
        folder = NodeFolder(Node);
        if (folder && folder->EnumObjects(HandleAllocated() ? Handle() : nullptr, SHCONTF_FOLDERS, &items) != S_OK)
            items.Reset();
    } catch (const std::exception&) {
        TraceIgnoredException(L"listing a shell folder");
        items.Reset();
    }
    data.AllScanned = true;
    if (!items) {
        Items().DeleteChildren(Node);
        return;
    }
    struct TNew {
        TNodeData Data;
        TShellFolderPtr Folder;
    };
    std::vector<TNew> added;
    LPITEMIDLIST next = nullptr;
    while (items->Next(1, &next, nullptr) == S_OK) {
        TPidlPtr item(next);
        try {
            TShellItemFacts facts;
            LPCITEMIDLIST one = item.get();
            SFGAOF attributes = kVirtualAttrMask;
            if (SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)))
                facts.Attributes = attributes & kVirtualAttrMask;
            // An item without a name is listed with an empty one.
            if (!GetDisplayNameOfStr(folder, one, SHGDN_INFOLDER, facts.DisplayName))
                TraceIgnoredFailure(L"reading a shell item's display name");
            if (!GetDisplayNameOfStr(folder, one, SHGDN_FORPARSING, facts.ParsingName))
                TraceIgnoredFailure(L"reading a shell item's parsing name");
            TNodeData child =
                VirtualNodeData(facts, [](const std::wstring& link) { return GetShellLinkTarget(link, false, false); });
            child.Pidl = PidlBytes(one);

            const auto at = std::lower_bound(known.begin(), known.end(), child.DisplayName,
                                             [this](TTreeNode* node, const std::wstring& name) {
                                                 return CompareNodeNames(NodeData(node).DisplayName, name) < 0;
                                             });
            if (at != known.end() && NodeData(*at).DisplayName == child.DisplayName) {
                seen[static_cast<size_t>(at - known.begin())] = true;
                TNodeData& old = NodeData(*at);
                old.DirName = child.DirName;
                old.ParsingName = child.ParsingName;
                // The prober's answer stays until it asks again.
                old.ShellAttr = child.ShellAttr | (old.ShellAttr & kShellAttrHasSubFolder);
                if (old.Pidl != child.Pidl) {
                    old.Pidl = child.Pidl;
                    old.ShellFolder.reset();
                    old.IconEmpty = true;
                }
                RefreshNodeText(*at);
                continue;
            }
            if (!AddNew || !VirtualNodeWanted(child))
                continue;
            child.ShortName = VirtualShortName(data.ShortName, ShellShortName(folder, one, child.DisplayName));
            added.push_back({std::move(child), BindInFolder(folder, one)});
        } catch (const std::exception&) {
            TraceIgnoredException(L"describing a shell item");
            // An item the shell cannot describe is left out.
        }
    }
    if (DropVanished)
        for (size_t i = 0; i < known.size(); ++i)
            if (!seen[i])
                DeleteValidatedNode(known[i]);
    std::sort(added.begin(), added.end(), [](const TNew& a, const TNew& b) {
        return CompareNodeNames(a.Data.DisplayName, b.Data.DisplayName) < 0;
    });
    for (TNew& item : added) {
        auto holder = std::make_unique<TDriveViewNode>();
        holder->Data = std::move(item.Data);
        if (item.Folder)
            holder->Data.ShellFolder = HoldFolder(std::move(item.Folder));
        // With the prober the control asks for the button, and the prober
        // answers off this thread; otherwise the button shows until read.
        TTreeNode* child = Items().Insert(
            Node, nullptr, L"", subDirScanDelayed_ ? TNodeButton::Ask : TNodeButton::Shown, std::move(holder));
        RefreshNodeText(child);
        ApplyShareOverlay(child);
    }
    SortChildren(Node, false);
}

bool TDriveView::VirtualNodeExists(TTreeNode* Node)
{
    TNodeData& data = NodeData(Node);
    if (data.IsFileSystem() && !data.ParsingName.empty())
        return PathExists(data.ParsingName);
    TTreeNode* parent = Node->Parent();
    if (!parent)
        return true;
    IShellFolder* folder = NodeFolder(parent);
    Microsoft::WRL::ComPtr<IEnumIDList> items;
    // A parent the shell cannot list tells nothing; its own step clears it.
    if (!folder || data.Pidl.empty() ||
        folder->EnumObjects(HandleAllocated() ? Handle() : nullptr, SHCONTF_FOLDERS, &items) != S_OK || !items)
        return true;
    LPITEMIDLIST next = nullptr;
    while (items->Next(1, &next, nullptr) == S_OK) {
        TPidlPtr item(next);
        if (SameItem(data.Pidl, item.get()))
            return true;
    }
    return false;
}

void TDriveView::FetchVirtualImages(TTreeNode* Node)
{
    auto& holder = static_cast<TDriveViewNode&>(*Node->Object());
    TPidlPtr pidl = AbsolutePidl(Node);
    const int image = PidlIcon(pidl.get(), false);
    const int open = PidlIcon(pidl.get(), true);
    holder.Image = image >= 0 ? image : std::max(0, PidlIcon(nullptr, false));
    holder.SelectedImage = open >= 0 ? open : holder.Image;
    holder.Data.IconEmpty = false;
}

TNodeRef TDriveView::NodeForUNCPath(const std::wstring& Path)
{
    TTreeNode* network = DriveRootNode(kNetworkDrive);
    if (!network || scanning_)
        return nullptr;
    const TWaitCursor wait;
    TTreeNode* found = nullptr;
    try {
        // Near the selection first: the usual step is to a neighbour.
        if (TTreeNode* selected = Selected(); selected && selected != network && NodeData(selected).IsVirtual &&
                                              IsPathPrefix(NodeData(selected).ParsingName, Path)) {
            found = static_cast<TTreeNode*>(NodeForParsingPrefix(*this, selected, Path));
            if (!found)
                found = selected;
        }
        if (!found)
            found = static_cast<TTreeNode*>(NodeForParsingPrefix(*this, network, Path));
        if (!found)
            found = NodeForPidlPath(network, Path);
    } catch (const std::exception&) {
        TraceIgnoredException(L"reading the network root");
        // The shell's failures leave the network root.
    }
    return found ? found : network;
}

TTreeNode* TDriveView::NodeForPidlPath(TTreeNode* NetworkRoot, const std::wstring& Path)
{
    TPidlPtr pidl = ParseNameInFolder(NodeFolder(NetworkRoot), Path);
    if (!pidl)
        return nullptr;
    TTreeNode* node = NetworkRoot;
    TTreeNode* found = nullptr;
    for (LPCITEMIDLIST item = pidl.get(); item && PidlItemCount(item) != 0; item = NextPidlItemOrNil(item)) {
        if (!NodeData(node).AllScanned)
            ExpandVirtualNode(node, true);
        TTreeNode* next = nullptr;
        for (int i = 0; i < node->Count() && !next; ++i)
            if (SameItem(NodeData(node->Item(i)).Pidl, item))
                next = node->Item(i);
        if (!next)
            break;
        found = node = next;
    }
    return found;
}

void TDriveView::ShowProperties(TTreeNode* Node)
{
    if (!Node)
        RaiseNodeNotAssigned(L"ShowProperties");
    TPidlPtr pidl;
    std::wstring path;
    if (NodeData(Node).IsVirtual || GetDrive(Node) == kNetworkDrive)
        pidl = AbsolutePidl(Node);
    else
        path = GetDirPathName(Node);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = HandleAllocated() ? Handle() : nullptr;
    info.lpVerb = L"properties";
    info.lpFile = path.empty() ? nullptr : path.c_str();
    info.lpIDList = pidl.get();
    info.nShow = SW_SHOW;
    if (pidl || !path.empty())
        ShellExecuteExW(&info);
}

}  // namespace qrv
