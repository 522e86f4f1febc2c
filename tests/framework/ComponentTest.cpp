#include "framework/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {
class Recorder : public TComponent {
public:
    Recorder(TComponent* owner, std::wstring name, std::vector<std::wstring>& log) : TComponent(owner), log_(log)
    {
        SetName(std::move(name));
    }
    ~Recorder() override { log_.push_back(Name()); }

private:
    std::vector<std::wstring>& log_;
};
}  // namespace

TEST(Component, OwnerFreesItsComponentsLastCreatedFirst)
{
    std::vector<std::wstring> log;
    {
        Recorder root(nullptr, L"root", log);
        auto* a = new Recorder(&root, L"a", log);
        new Recorder(a, L"a1", log);
        new Recorder(&root, L"b", log);
        EXPECT_EQ(root.ComponentCount(), 2);
        EXPECT_EQ(root.FindComponent(L"B"), root.Components(1));
    }
    EXPECT_EQ(log, (std::vector<std::wstring>{L"root", L"b", L"a", L"a1"}))
        << "the owner's destructor body runs first, then its components, newest first";
}

TEST(Component, AComponentFreedEarlyLeavesItsOwner)
{
    std::vector<std::wstring> log;
    Recorder root(nullptr, L"root", log);
    auto* a = new Recorder(&root, L"a", log);
    new Recorder(&root, L"b", log);
    delete a;
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.FindComponent(L"a"), nullptr);
    EXPECT_EQ(root.Components(0)->Name(), L"b");
}

TEST(Component, ChangeOwnerMovesResponsibility)
{
    std::vector<std::wstring> log;
    Recorder second(nullptr, L"second", log);
    {
        Recorder first(nullptr, L"first", log);
        auto* child = new Recorder(&first, L"child", log);
        child->ChangeOwner(&second);
        EXPECT_EQ(first.ComponentCount(), 0);
        EXPECT_EQ(child->Owner(), &second);
    }
    EXPECT_EQ(log, (std::vector<std::wstring>{L"first"})) << "the child lives on with its new owner";
    EXPECT_EQ(second.ComponentCount(), 1);
}

namespace {
class Watcher : public TComponent {
public:
    using TComponent::TComponent;
    std::vector<TComponent*> freed;

protected:
    void FreeNotified(TComponent* component) override { freed.push_back(component); }
};
}  // namespace

TEST(Component, FreeNotificationTellsTheClientOnceAndForgetsAFreedClient)
{
    Watcher watcher(nullptr);
    auto* watched = new TComponent(nullptr);
    watched->FreeNotification(&watcher);
    watched->FreeNotification(&watcher);  // asked twice, told once
    delete watched;
    EXPECT_EQ(watcher.freed, (std::vector<TComponent*>{watched}));

    // The client goes first: the watched component must not call it later
    // (the sanitizers catch a call to the freed one); a removed client is
    // not told either.
    watcher.freed.clear();
    {
        auto* early = new Watcher(nullptr);
        TComponent other(nullptr);
        other.FreeNotification(early);
        delete early;
        other.FreeNotification(&watcher);
        other.RemoveFreeNotification(&watcher);
    }
    EXPECT_TRUE(watcher.freed.empty());
}
