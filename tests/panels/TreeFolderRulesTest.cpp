#include "panels/TreeFolderRules.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>

using namespace qrv;

namespace {

// C:\ with C:\Daten\Alt, and the file C:\Daten\notiz.txt.
const std::set<std::wstring> kFolders = {L"C:\\", L"C:\\Daten", L"C:\\Daten\\Alt"};
const std::set<std::wstring> kFiles = {L"C:\\Daten\\notiz.txt"};

bool IsFolder(const std::wstring& path)
{
    return kFolders.count(path) != 0;
}
bool Exists(const std::wstring& path)
{
    return IsFolder(path) || kFiles.count(path) != 0;
}

}  // namespace

TEST(TreeFolderRules, CreatePathMakesEveryMissingLevelBelowTheDeepestFolder)
{
    const struct {
        const wchar_t* path;
        bool valid;
        const wchar_t* existing;
        std::vector<std::wstring> missing;
    } cases[] = {
        {L"C:\\Daten\\Neu\\Tief", true, L"C:\\Daten", {L"Neu", L"Tief"}},
        {L"C:\\Daten\\Neu\\Tief\\", true, L"C:\\Daten", {L"Neu", L"Tief"}},
        {L"C:\\Daten\\Alt", true, L"C:\\Daten\\Alt", {}},
        {L"C:\\Projekt", true, L"C:\\", {L"Projekt"}},
        {L"C:\\Daten\\notiz.txt\\unter", false, L"", {}},
        {L"C:\\Daten\\a?b", false, L"", {}},
        {L"Daten\\Neu", false, L"", {}},
        {L"Q:\\Neu", false, L"", {}},
        {L"", false, L"", {}},
    };
    for (const auto& c : cases) {
        const TPathCreation plan = PlanCreatePath(c.path, IsFolder, Exists);
        EXPECT_EQ(plan.Valid, c.valid) << WideToUtf8(c.path);
        if (!c.valid)
            continue;
        EXPECT_EQ(plan.Existing, c.existing) << WideToUtf8(c.path);
        EXPECT_EQ(plan.Missing, c.missing) << WideToUtf8(c.path);
    }
}

namespace {

class LevelTree : public TDriveNodeTree {
public:
    struct Node {
        TNodeData Data;
        Node* Parent = nullptr;
        std::vector<Node*> Children;
        bool Expanded = false;
    };
    Node* Add(Node* parent, const std::wstring& name)
    {
        Node& node = nodes_.emplace_back();
        node.Parent = parent;
        node.Data.DirName = name;
        if (parent)
            parent->Children.push_back(&node);
        return &node;
    }
    TNodeRef Parent(TNodeRef n) override { return N(n)->Parent; }
    int ChildCount(TNodeRef n) override { return static_cast<int>(N(n)->Children.size()); }
    TNodeRef Child(TNodeRef n, int i) override { return N(n)->Children.at(static_cast<size_t>(i)); }
    TNodeData& Data(TNodeRef n) override { return N(n)->Data; }
    TNodeRef DriveRoot(wchar_t) override { return nullptr; }
    bool DriveScanned(wchar_t) override { return true; }
    void ScanDrive(wchar_t) override {}
    void ReadSubDirs(TNodeRef) override {}
    TNodeRef NodeForUNCPath(const std::wstring&) override { return nullptr; }
    static Node* N(TNodeRef n) { return static_cast<Node*>(n); }

private:
    std::deque<Node> nodes_;
};

}  // namespace

// Up to the level asked for every node opens, deeper ones close, nodes
// without children are left alone.
TEST(TreeFolderRules, ExpandLevelOpensUpToTheLevelAndClosesDeeper)
{
    LevelTree tree;
    auto* c = tree.Add(nullptr, L"C:");
    auto* a = tree.Add(c, L"a");
    auto* a1 = tree.Add(a, L"a1");
    auto* a11 = tree.Add(a1, L"a11");
    tree.Add(a11, L"a111");
    auto* b = tree.Add(c, L"b");  // no children
    a11->Expanded = true;
    std::map<std::wstring, bool> set;
    const auto walk = [&](TNodeRef from, int level) {
        set.clear();
        WalkExpandLevel(
            tree, from, level, [&](TNodeRef n) { return tree.ChildCount(n) > 0; },
            [&](TNodeRef n, bool expand) {
                LevelTree::N(n)->Expanded = expand;
                set[LevelTree::N(n)->Data.DirName] = expand;
            });
    };
    walk(c, 1);
    EXPECT_EQ(set, (std::map<std::wstring, bool>{{L"C:", true}, {L"a", true}, {L"a1", false}, {L"a11", false}}));
    EXPECT_FALSE(b->Expanded);
    EXPECT_FALSE(a11->Expanded);

    // Levels count from the drive, not from the node the walk starts at.
    walk(a1, 2);
    EXPECT_EQ(set, (std::map<std::wstring, bool>{{L"a1", true}, {L"a11", false}}));
    walk(a1, 3);
    EXPECT_EQ(set, (std::map<std::wstring, bool>{{L"a1", true}, {L"a11", true}}));
    walk(c, -1);
    EXPECT_EQ(set.at(L"C:"), false);
}
