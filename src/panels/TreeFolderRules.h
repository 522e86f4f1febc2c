#pragma once
// Decisions of the folder tree's folder commands that need no window:
// which levels of a path are to be created, and which nodes a level-wise
// expansion opens or closes. Portable.

#include "panels/DriveViewCore.h"

#include <functional>
#include <string>
#include <vector>

namespace qrv {

struct TPathCreation {
    bool Valid = false;                 // false: no full path, or a level that is no plain name or is a file
    std::wstring Existing;              // the deepest folder of the path that exists ("C:\" for a drive)
    std::vector<std::wstring> Missing;  // the names below it to create, outermost first
};

// IsDirectory tells whether a full path is an existing folder; Exists
// whether anything has that name.
TPathCreation PlanCreatePath(const std::wstring& Path, const std::function<bool(const std::wstring&)>& IsDirectory,
                             const std::function<bool(const std::wstring&)>& Exists);

// Walks Node's subtree: a node whose level (a drive root is 0) is at most
// Level is expanded (SetExpanded true; its children read then are walked
// too), a deeper one collapsed (false). Only nodes that have or may have
// children are handed over: HasChildren tells.
void WalkExpandLevel(TDriveNodeTree& Tree, TNodeRef Node, int Level,
                     const std::function<bool(TNodeRef Node)>& HasChildren,
                     const std::function<void(TNodeRef Node, bool Expand)>& SetExpanded);

}  // namespace qrv
