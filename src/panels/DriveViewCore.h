#pragma once
// The folder tree's logic that needs no window: node paths, finding a node
// by path, captions, colours, the per-drive status and the order of
// children. It works over TDriveNodeTree, which the tree control (panels/
// win/DriveView.h) implements and tests fake. Portable.

#include "framework/Colors.h"
#include "framework/SysUtils.h"
#include "panels/FileRec.h"
#include "panels/KyDriveInfo.h"
#include "panels/NodeData.h"

#include <array>
#include <string>
#include <string_view>

namespace qrv {

// "<operation>: Node not assigned" for a node operation given no node.
QRV_DECLARE_EXCEPTION(ENodeNotAssigned, Exception);
[[noreturn]] void RaiseNodeNotAssigned(std::wstring_view Operation);

// Which of the drive table's names a drive root shows.
enum class TVolumeDisplayStyle { doPrettyName, doDisplayName, doLongPrettyName };

// A node of the tree; opaque to the logic, nullptr for none.
using TNodeRef = void*;

// The tree as the logic sees it.
class TDriveNodeTree {
public:
    virtual ~TDriveNodeTree() = default;
    virtual TNodeRef Parent(TNodeRef Node) = 0;
    virtual int ChildCount(TNodeRef Node) = 0;
    virtual TNodeRef Child(TNodeRef Node, int Index) = 0;
    virtual TNodeData& Data(TNodeRef Node) = 0;
    // The top-level node of a drive A to "\"; nullptr when it has none.
    virtual TNodeRef DriveRoot(wchar_t Drive) = 0;
    // Whether the drive's folders were read, and reading them.
    virtual bool DriveScanned(wchar_t Drive) = 0;
    virtual void ScanDrive(wchar_t Drive) = 0;
    // Reads the node's children; afterwards its AllScanned is set.
    virtual void ReadSubDirs(TNodeRef Node) = 0;
    // Finds a "\\server\..." path below the network neighbourhood.
    virtual TNodeRef NodeForUNCPath(const std::wstring& Path) = 0;
    // For a node whose reading has not ended (AllScanned still unset after
    // ReadSubDirs): its child folder Name alone, looked up and added;
    // nullptr when there is none.
    virtual TNodeRef LookUpChild(TNodeRef /*Node*/, const std::wstring& /*Name*/) { return nullptr; }
};

// Full path of a node without trailing "\": "C:" for a drive root, "\" for
// the network neighbourhood, "\\server\share" below it.
std::wstring NodeDirPath(TDriveNodeTree& Tree, TNodeRef Node);
// The same with "\" after a bare drive ("C:\").
std::wstring NodeDirPathName(TDriveNodeTree& Tree, TNodeRef Node);
// The upper-case drive character of the node's path.
wchar_t NodeDrive(TDriveNodeTree& Tree, TNodeRef Node);
TNodeRef NodeTopLevel(TDriveNodeTree& Tree, TNodeRef Node);
// The root's name and the display names below it, joined by "\".
std::wstring NodeDisplayDirPath(TDriveNodeTree& Tree, TNodeRef Node);

// The node of a path, matching each folder by long or short name in any
// case; reads drives and folders not read yet on the way. nullptr for a
// path that names no node or is no path at all.
TNodeRef NodeForPath(TDriveNodeTree& Tree, std::wstring_view Path);
// The node of the path or of its nearest ancestor that has one; nullptr when
// not even the drive has one.
TNodeRef NodeForPathOrParent(TDriveNodeTree& Tree, std::wstring_view Path);

// The three names the drive table builds for a drive.
struct TDriveNames {
    std::wstring PrettyName;
    std::wstring DisplayName;
    std::wstring LongPrettyName;
};
// The caption of a drive root: the name the style picks when volume labels
// are shown and the pretty name is known, else "X:". The network
// neighbourhood always shows its display name.
std::wstring DriveCaption(wchar_t Drive, bool ShowVolLabel, TVolumeDisplayStyle Style, const TDriveNames& Names);
// A folder size as the captions show it: whole kilobytes ("1K" for 1 to
// 1023 bytes), megabytes ("M") above 99,999 K.
std::wstring DirSizeText(int64_t Size, std::wstring_view Separator);
// The caption of a folder node: its display name in the name style, and
// " = " with its size when sizes are shown and known.
std::wstring FolderCaption(const TNodeData& Data, TFileNameDisplay Display, bool ShowDirSize,
                           std::wstring_view Separator);

// Colours a node is drawn in; clDefault leaves the control's own.
struct TNodeColors {
    TColor Text = clDefault;
    TColor Back = clDefault;
};
struct TNodeColorOptions {
    bool TreeFocused = true;
    bool HideSelection = false;
    TColor CompressedColor = clBlue;
    TColor HiddenColor = clGrayText;
};
TNodeColors NodeColors(const TNodeData& Data, bool Selected, const TNodeColorOptions& Options);

// The record of a folder a disk search found in ParentPath ("X:" for a drive
// root): names, attributes and the recycle-bin mark.
TNodeData DiskNodeData(std::wstring_view ParentPath, const TSearchRec& Entry, std::wstring_view AlternateName);

// The order of a node's children: by display name ignoring case, names
// equal but for case by their ordinal order. The same for disk folders and
// shell folders.
int CompareNodeNames(std::wstring_view A, std::wstring_view B);

// Centring a node: -1 to scroll a line up (the node's top lies above the
// first quarter of the client height), 1 to scroll a line down (below the
// third quarter), 0 when it is in place.
int CenterScrollStep(int NodeTop, int ClientHeight);

// What the tree keeps per drive A to "\".
struct TDriveStatus {
    bool Scanned = false;
    bool FullScanned = false;  // only after a full drive scan
    TNodeRef RootNode = nullptr;
    // The last directory selected on the drive, with trailing "\"; empty
    // when unknown.
    std::wstring DefaultDir;
};

class TDriveStatusTable {
public:
    // Lower-case letters name the same drive; a character outside A to "\"
    // raises EConvertError.
    TDriveStatus& operator[](wchar_t Drive);
    const TDriveStatus& operator[](wchar_t Drive) const;
    // The directory to select when the drive is chosen: the last one, else
    // its root "X:\".
    std::wstring DefaultDir(wchar_t Drive) const;
    // Remembers a directory of the drive (with trailing "\"); an empty path
    // forgets it.
    void SetDefaultDir(wchar_t Drive, std::wstring_view Path);
    // The drive whose root is Node; 0 when none.
    wchar_t DriveOfRoot(TNodeRef Node) const;

private:
    std::array<TDriveStatus, kLastDrive - kFirstDrive + 1> drives_;
};

}  // namespace qrv
