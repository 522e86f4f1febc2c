#pragma once
// The rules for the shell folders the tree shows below the network
// neighbourhood: what a node records of a shell item, which items become
// nodes, their short names, and finding a "\\server\..." path among them by
// the items' parsing names. Portable; the shell calls live in
// panels/win/DriveViewShell.cpp.

#include "panels/DriveViewCore.h"
#include "panels/NodeData.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qrv {

// The attributes asked for a shell item below the network neighbourhood, and
// those asked for a disk folder through its parent's shell folder.
constexpr uint32_t kVirtualAttrMask = 0x700F0000;
constexpr uint32_t kDiskAttrMask = 0x000F0000;

// What the shell says of one item of a folder it enumerates.
struct TShellItemFacts {
    std::wstring DisplayName;  // the in-folder name
    std::wstring ParsingName;  // empty when the shell gave none
    uint32_t Attributes = 0;   // as asked with kVirtualAttrMask
};

// The target of a shortcut file; empty when it is none or cannot be read.
using TShortcutResolver = std::function<std::wstring(const std::wstring& LinkFile)>;

// The record of a shell item: a file-system item with a drive path is taken
// as a shortcut and stands for its target, or, when it has none, is marked a
// real folder instead of a file-system one; an item without a parsing name
// gets "\\" + its display name; an "FTP:" location is marked real. Names,
// pidl, folder and short name are left to the caller.
TNodeData VirtualNodeData(const TShellItemFacts& Item, const TShortcutResolver& ShortcutTarget);
// The last component of a parsing name ("share" of "\\server\share\").
std::wstring LastParsingComponent(std::wstring_view ParsingName);
// Whether a new item becomes a node: drives have roots of their own, and
// only file-system or real folders are browsed.
bool VirtualNodeWanted(const TNodeData& Data);
// A shell folder's short name: its parent's, "\" and its own.
std::wstring VirtualShortName(std::wstring_view ParentShortName, std::wstring_view OwnShortName);

// True when Prefix names Path or one of its ancestors, in any case.
bool IsPathPrefix(std::wstring_view Prefix, std::wstring_view Path);
// The deepest node at or below Start whose parsing name is a prefix of the
// UNC path, reading folders not read yet on the way down; nullptr when not
// even a child of Start matches (Start itself is only the place to begin).
TNodeRef NodeForParsingPrefix(TDriveNodeTree& Tree, TNodeRef Start, std::wstring_view Path);

}  // namespace qrv
