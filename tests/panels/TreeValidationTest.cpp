#include "panels/TreeValidation.h"
#include "panels/WatchedDrives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

struct FakeNode {
    std::wstring Name;
    FakeNode* Parent = nullptr;
    bool Expanded = false;
    std::vector<std::unique_ptr<FakeNode>> Children;

    FakeNode* Add(const std::wstring& name, bool expanded = false)
    {
        auto child = std::make_unique<FakeNode>();
        child->Name = name;
        child->Parent = this;
        child->Expanded = expanded;
        Children.push_back(std::move(child));
        return Children.back().get();
    }
};

FakeNode* AsFake(TNodeRef node)
{
    return static_cast<FakeNode*>(node);
}

class FakeTree : public TIterableTree {
public:
    TNodeRef FirstChild(TNodeRef Node) override
    {
        auto* node = AsFake(Node);
        return node->Children.empty() ? nullptr : node->Children.front().get();
    }
    TNodeRef NextSibling(TNodeRef Node) override
    {
        FakeNode* node = AsFake(Node);
        if (!node->Parent)
            return nullptr;
        auto& siblings = node->Parent->Children;
        auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& s) { return s.get() == node; });
        return it + 1 == siblings.end() ? nullptr : (it + 1)->get();
    }
    bool Expanded(TNodeRef Node) override { return AsFake(Node)->Expanded; }

    static void Delete(FakeNode* node)
    {
        auto& siblings = node->Parent->Children;
        std::erase_if(siblings, [&](const auto& s) { return s.get() == node; });
    }
};

// root
//   a (expanded)
//     a1
//     a2 (not expanded)
//       a2x
//   b
//     b1
//   c
class IterateSubTreeTest : public testing::Test {
protected:
    void SetUp() override
    {
        root.Name = L"root";
        FakeNode* a = root.Add(L"a", true);
        a->Add(L"a1");
        a->Add(L"a2")->Add(L"a2x");
        root.Add(L"b")->Add(L"b1");
        root.Add(L"c");
    }
    std::vector<std::wstring> Walk(TIterateMode mode, bool withStart, const std::function<bool(FakeNode*&)>& extra = {})
    {
        std::vector<std::wstring> seen;
        TNodeRef start = &root;
        last = IterateSubTree(tree, start, mode, withStart, [&](TNodeRef& node) {
            auto* fake = AsFake(node);
            seen.push_back(fake->Name);
            if (!extra)
                return true;
            const bool more = extra(fake);
            node = fake;
            return more;
        });
        return seen;
    }

    FakeNode root;
    FakeTree tree;
    bool last = false;
};

TEST_F(IterateSubTreeTest, ModesChooseWhereTheWalkDescends)
{
    using V = std::vector<std::wstring>;
    EXPECT_EQ(Walk(TIterateMode::imAll, true), (V{L"root", L"a", L"a1", L"a2", L"a2x", L"b", L"b1", L"c"}));
    EXPECT_TRUE(last);
    EXPECT_EQ(Walk(TIterateMode::imScanned, false), (V{L"a", L"a1", L"a2", L"a2x", L"b", L"b1", L"c"}));
    // Only a is expanded: a2 and b are visited, their children are not.
    EXPECT_EQ(Walk(TIterateMode::imExpanded, false), (V{L"a", L"a1", L"a2", L"b", L"c"}));
}

TEST_F(IterateSubTreeTest, TheCallbackMayDeleteTheNodeItIsGiven)
{
    const auto seen = Walk(TIterateMode::imAll, false, [](FakeNode*& node) {
        if (node->Name == L"a" || node->Name == L"b1") {
            FakeTree::Delete(node);
            node = nullptr;
        }
        return true;
    });
    // a's subtree went with a; the walk went on with its sibling.
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"b", L"b1", L"c"}));
    EXPECT_TRUE(last);
    ASSERT_EQ(root.Children.size(), 2u);
    EXPECT_TRUE(root.Children[0]->Children.empty());
}

TEST_F(IterateSubTreeTest, FalseEndsTheWalk)
{
    const auto seen = Walk(TIterateMode::imAll, false, [](FakeNode*& node) { return node->Name != L"a2"; });
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"a1", L"a2"}));
    EXPECT_FALSE(last);
}

TEST_F(IterateSubTreeTest, ADeletedStartNodeEndsTheWalkAtOnce)
{
    FakeNode* a = root.Children.front().get();
    TNodeRef start = a;
    int calls = 0;
    EXPECT_TRUE(IterateSubTree(tree, start, TIterateMode::imAll, true, [&](TNodeRef& node) {
        ++calls;
        FakeTree::Delete(AsFake(node));
        node = nullptr;
        return true;
    }));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(start, nullptr);
}

TNodeRef Ref(int n)
{
    return reinterpret_cast<TNodeRef>(static_cast<intptr_t>(n));
}

TEST(DiffChildrenTest, AddsRespellsAndDeletes)
{
    struct Case {
        const char* what;
        std::vector<std::wstring> children;  // node i+1 has children[i]
        std::vector<std::wstring> disk;
        std::vector<std::wstring> added;
        std::vector<std::pair<int, std::wstring>> respelled;
        std::vector<int> deleted;
    };
    const std::vector<Case> cases = {
        {"same", {L"a", L"B"}, {L"B", L"a"}, {}, {}, {}},
        {"new folder", {L"a"}, {L"a", L"new"}, {L"new"}, {}, {}},
        {"vanished", {L"a", L"gone"}, {L"a"}, {}, {}, {2}},
        {"case only", {L"Alpha"}, {L"alpha"}, {}, {{1, L"alpha"}}, {}},
        {"empty disk", {L"a", L"b"}, {}, {}, {}, {1, 2}},
        {"no children", {}, {L"x", L"y"}, {L"x", L"y"}, {}, {}},
        // Two folders differing only in case each keep their own node.
        {"case twins", {L"Data", L"data"}, {L"data", L"Data"}, {}, {}, {}},
        {"twin appears", {L"Data"}, {L"data", L"Data"}, {L"data"}, {}, {}},
        {"twin goes", {L"Data", L"data"}, {L"DATA"}, {}, {{1, L"DATA"}}, {2}},
    };
    for (const Case& c : cases) {
        std::vector<TChildName> children;
        for (size_t i = 0; i < c.children.size(); ++i)
            children.push_back({Ref(static_cast<int>(i + 1)), c.children[i]});
        const TChildrenDiff diff = DiffChildren(children, c.disk);
        EXPECT_EQ(diff.Added, c.added) << c.what;
        std::vector<std::pair<int, std::wstring>> respelled;
        for (const TChildName& r : diff.Respelled)
            respelled.emplace_back(static_cast<int>(reinterpret_cast<intptr_t>(r.Node)), r.Name);
        EXPECT_EQ(respelled, c.respelled) << c.what;
        std::vector<int> deleted;
        for (TNodeRef d : diff.Deleted)
            deleted.push_back(static_cast<int>(reinterpret_cast<intptr_t>(d)));
        EXPECT_EQ(deleted, c.deleted) << c.what;
    }
}

TEST(ReentryGuardTest, AnInnerValidationDoesNotRunAndLeavesTheMark)
{
    bool running = false;
    {
        TReentryGuard outer(running);
        EXPECT_TRUE(outer.Entered());
        {
            TReentryGuard inner(running);
            EXPECT_FALSE(inner.Entered());
        }
        EXPECT_TRUE(running);
    }
    EXPECT_FALSE(running);
}

TEST(WatchedDrivesTest, NoCheckDrivesOfTreeAndList)
{
    EXPECT_EQ(TreeNoCheckDrives(L"ab"), L"AB");
    EXPECT_EQ(ListNoCheckDrives(L"ab"), L"\\AB");
    EXPECT_EQ(ListNoCheckDrives(L"a\\z"), L"A\\Z");
    EXPECT_EQ(ListNoCheckDrives(L""), L"\\");
    struct Case {
        const wchar_t* drives;
        wchar_t first;
        bool watchable;
    };
    for (const Case& c :
         {Case{L"AB", L'a', false}, Case{L"AB", L'B', false}, Case{L"AB", L'C', true}, Case{L"", L'\\', false},
          Case{L"Z", L'T', true}, Case{L"Z", L'z', false}, Case{L"", L'\0', false}})
        EXPECT_EQ(DriveWatchable(c.drives, c.first), c.watchable)
            << static_cast<char>(c.first) << " in " << std::string(c.drives, c.drives + wcslen(c.drives));
}

}  // namespace
