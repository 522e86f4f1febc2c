#include "panels/TreeValidation.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

bool Descends(TIterableTree& Tree, TNodeRef Node, TIterateMode Mode)
{
    switch (Mode) {
    case TIterateMode::imAll:
        return true;
    case TIterateMode::imScanned:
        return Tree.FirstChild(Node) != nullptr;
    case TIterateMode::imExpanded:
        return Tree.Expanded(Node);
    }
    return false;
}

bool WalkChildren(TIterableTree& Tree, TNodeRef Parent, TIterateMode Mode, const TIterateCallback& Callback)
{
    TNodeRef child = Tree.FirstChild(Parent);
    while (child) {
        const TNodeRef next = Tree.NextSibling(child);
        if (!Callback(child))
            return false;
        if (child && Descends(Tree, child, Mode) && !WalkChildren(Tree, child, Mode, Callback))
            return false;
        child = next;
    }
    return true;
}

// A name folded for comparing without case, with its index.
struct TFolded {
    std::wstring Key;
    size_t Index;
    bool operator<(const TFolded& other) const { return Key < other.Key; }
};

}  // namespace

bool IterateSubTree(TIterableTree& Tree, TNodeRef& StartNode, TIterateMode Mode, bool WithStartNode,
                    const TIterateCallback& Callback)
{
    if (!StartNode)
        return true;
    if (WithStartNode && !Callback(StartNode))
        return false;
    return !StartNode || WalkChildren(Tree, StartNode, Mode, Callback);
}

TChildrenDiff DiffChildren(const std::vector<TChildName>& Children, const std::vector<std::wstring>& OnDisk)
{
    std::vector<TFolded> sorted;
    sorted.reserve(Children.size());
    for (size_t i = 0; i < Children.size(); ++i)
        sorted.push_back({UpperCase(Children[i].Name), i});
    std::sort(sorted.begin(), sorted.end());

    std::vector<bool> matched(Children.size(), false);
    std::vector<bool> found(OnDisk.size(), false);
    std::vector<std::wstring> keys;
    keys.reserve(OnDisk.size());
    for (const std::wstring& name : OnDisk)
        keys.push_back(UpperCase(name));
    TChildrenDiff diff;
    // Exact spellings first, then the rest ignoring case.
    for (int pass = 0; pass < 2; ++pass)
        for (size_t d = 0; d < OnDisk.size(); ++d) {
            if (found[d])
                continue;
            const auto [first, last] = std::equal_range(sorted.begin(), sorted.end(), TFolded{keys[d], 0});
            for (auto it = first; it != last; ++it) {
                const TChildName& child = Children[it->Index];
                if (matched[it->Index] || (pass == 0 && child.Name != OnDisk[d]))
                    continue;
                matched[it->Index] = found[d] = true;
                if (child.Name != OnDisk[d])
                    diff.Respelled.push_back({child.Node, OnDisk[d]});
                break;
            }
        }
    for (size_t d = 0; d < OnDisk.size(); ++d)
        if (!found[d])
            diff.Added.push_back(OnDisk[d]);
    for (size_t i = 0; i < Children.size(); ++i)
        if (!matched[i])
            diff.Deleted.push_back(Children[i].Node);
    return diff;
}

}  // namespace qrv
