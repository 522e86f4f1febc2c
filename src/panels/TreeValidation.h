#pragma once
// The parts of the folder tree's validation that need no window: walking a
// subtree while the walk's callback deletes nodes, comparing a folder's
// child nodes with the subfolders on disk, and the guard that keeps a
// validation from starting inside another. Portable; the tree's own steps
// are in panels/win/DriveViewWatch.cpp.

#include "panels/DriveViewCore.h"

#include <functional>
#include <string>
#include <vector>

namespace qrv {

// The tree as the walk sees it.
class TIterableTree {
public:
    virtual ~TIterableTree() = default;
    virtual TNodeRef FirstChild(TNodeRef Node) = 0;
    virtual TNodeRef NextSibling(TNodeRef Node) = 0;
    virtual bool Expanded(TNodeRef Node) = 0;
};

// Which children the walk descends into: all, those that have child nodes,
// or the expanded ones.
enum class TIterateMode { imAll = 1, imScanned = 2, imExpanded = 3 };

// Called for each node; may delete it (setting Node to nullptr) or replace
// it. False ends the walk.
using TIterateCallback = std::function<bool(TNodeRef& Node)>;

// Walks the subtree of StartNode depth first (with WithStartNode the start
// node first). Each node's next sibling is taken before its callback runs,
// so deleting the node keeps the walk going. True when the walk ran to its
// end.
bool IterateSubTree(TIterableTree& Tree, TNodeRef& StartNode, TIterateMode Mode, bool WithStartNode,
                    const TIterateCallback& Callback);

// A child node by its folder name.
struct TChildName {
    TNodeRef Node = nullptr;
    std::wstring Name;
};

// How a folder's child nodes differ from its subfolders on disk.
struct TChildrenDiff {
    std::vector<std::wstring> Added;    // on disk, no child
    std::vector<TChildName> Respelled;  // the child with the disk's spelling
    std::vector<TNodeRef> Deleted;      // a child not on disk
};

// Names match ignoring case; a child spelled exactly as a folder on disk
// keeps that folder, so two folders that differ only in case (possible on
// some file systems) each keep their own node.
TChildrenDiff DiffChildren(const std::vector<TChildName>& Children, const std::vector<std::wstring>& OnDisk);

// Marks a validation as running while it lives; Entered() is false when
// one ran already, and the guard then leaves the mark alone.
class TReentryGuard {
public:
    explicit TReentryGuard(bool& Running) : running_(Running), entered_(!Running) { running_ = true; }
    ~TReentryGuard()
    {
        if (entered_)
            running_ = false;
    }
    TReentryGuard(const TReentryGuard&) = delete;
    TReentryGuard& operator=(const TReentryGuard&) = delete;
    bool Entered() const { return entered_; }

private:
    bool& running_;
    bool entered_;
};

}  // namespace qrv
