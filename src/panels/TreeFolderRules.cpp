#include "panels/TreeFolderRules.h"

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "panels/FileRec.h"

namespace qrv {

TPathCreation PlanCreatePath(const std::wstring& Path, const std::function<bool(const std::wstring&)>& IsDirectory,
                             const std::function<bool(const std::wstring&)>& Exists)
{
    TPathCreation plan;
    std::wstring path = RemoveBackslash(Path);
    if (!IsFullPath(path))
        return plan;
    // Up from the full path until a folder exists, the names on the way collected.
    std::vector<std::wstring> missing;
    while (!IsDirectory(path)) {
        if (Exists(path))
            return plan;  // a file where a folder should be
        const size_t cut = path.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut + 1 >= path.size())
            return plan;
        const std::wstring name = path.substr(cut + 1);
        if (!IsPlainFileName(name) || name == L"." || name == L"..")
            return plan;
        missing.insert(missing.begin(), name);
        std::wstring parent = path.substr(0, cut);
        // "C:" stands for the drive's root; a share's root has no parent.
        if (parent.size() == 2 && parent[1] == L':')
            parent += L'\\';
        if (parent.size() < 3 || parent == path)
            return plan;
        path = parent;
    }
    plan.Valid = true;
    plan.Existing = path;
    plan.Missing = std::move(missing);
    return plan;
}

namespace {

void Walk(TDriveNodeTree& Tree, TNodeRef Node, int NodeLevel, int Level,
          const std::function<bool(TNodeRef)>& HasChildren, const std::function<void(TNodeRef, bool)>& SetExpanded)
{
    if (!HasChildren(Node))
        return;
    const bool expand = NodeLevel <= Level;
    SetExpanded(Node, expand);
    // The collapsed ones' children may have been left open before.
    for (int i = 0; i < Tree.ChildCount(Node); ++i)
        Walk(Tree, Tree.Child(Node, i), NodeLevel + 1, Level, HasChildren, SetExpanded);
}

}  // namespace

void WalkExpandLevel(TDriveNodeTree& Tree, TNodeRef Node, int Level, const std::function<bool(TNodeRef)>& HasChildren,
                     const std::function<void(TNodeRef, bool)>& SetExpanded)
{
    if (!Node)
        return;
    int nodeLevel = 0;
    for (TNodeRef up = Tree.Parent(Node); up; up = Tree.Parent(up))
        ++nodeLevel;
    Walk(Tree, Node, nodeLevel, Level, HasChildren, SetExpanded);
}

}  // namespace qrv
