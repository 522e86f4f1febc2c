#include "widgets/ToolWindowHookClients.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace qrv;

namespace {

using Proc = void (*)(int);

std::vector<std::string> g_calls;
TToolWindowHookClientList<Proc>* g_list = nullptr;

void First(int)
{
    g_calls.push_back("first");
}
void Second(int)
{
    g_calls.push_back("second");
}
void Third(int)
{
    g_calls.push_back("third");
}
// Frees the client after it, as a handler freeing a toolbar does, and
// registers a new one.
void FreesSecond(int)
{
    g_calls.push_back("frees");
    g_list->Unregister(Second);
    g_list->Register(Third, hpPreDestroy);
}
void Fails(int)
{
    g_calls.push_back("fails");
    throw std::runtime_error("client failure");
}

void Deliver(const TToolWindowHookClientList<Proc>& list, unsigned event, int* errors)
{
    list.Dispatch(
        event, [](Proc proc) { proc(0); }, [errors] { ++*errors; });
}

}  // namespace

TEST(ToolWindowHookClients, RegistrationIsCountedPerCallback)
{
    TToolWindowHookClientList<Proc> list;
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Register(First, hpSendActivateApp | hpPreDestroy), unsigned(hpSendActivateApp | hpPreDestroy));
    // A second registration keeps the events of the first.
    EXPECT_EQ(list.Register(First, hpGetMessage), unsigned(hpSendActivateApp | hpPreDestroy));
    list.Register(Second, hpGetMessage);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.RefCount(First), 2);
    EXPECT_EQ(list.First(), First);

    EXPECT_EQ(list.Unregister(First), unsigned(hpSendActivateApp | hpPreDestroy));
    EXPECT_TRUE(list.Contains(First)) << "registered twice, unregistered once";
    list.Unregister(First);
    EXPECT_FALSE(list.Contains(First));
    EXPECT_EQ(list.First(), Second);
    EXPECT_EQ(list.Unregister(First), 0u) << "unknown callbacks are ignored";
    list.Unregister(Second);
    EXPECT_TRUE(list.Empty());
}

TEST(ToolWindowHookClients, HookUseCountsFollowTheEventsKinds)
{
    EXPECT_EQ(ToolWindowHookKinds(hpSendActivateApp | hpSendWindowPosChanged), 1u << hkCallWndProc);
    EXPECT_EQ(ToolWindowHookKinds(hpPreDestroy), 1u << hkCbt);
    EXPECT_EQ(ToolWindowHookKinds(hpSetFocus), 1u << hkCbt);
    EXPECT_EQ(ToolWindowHookKinds(hpGetMessage), 1u << hkGetMessage);

    TToolWindowHookUseCounts uses;
    const unsigned toolWindow = ToolWindowHookKinds(hpSendActivateApp | hpSendWindowPosChanged | hpPreDestroy);
    const unsigned button = ToolWindowHookKinds(hpSendActivateApp | hpGetMessage);
    EXPECT_EQ(uses.Use(toolWindow), toolWindow) << "the first use installs both hooks";
    EXPECT_EQ(uses.Use(button), 1u << hkGetMessage) << "the sent-message hook is there already";
    EXPECT_EQ(uses.Count(hkCallWndProc), 2);
    EXPECT_EQ(uses.Release(toolWindow), 1u << hkCbt);
    EXPECT_EQ(uses.Release(button), (1u << hkCallWndProc) | (1u << hkGetMessage));
    EXPECT_EQ(uses.Release(button), 0u) << "releasing more than was used removes nothing twice";
    EXPECT_EQ(uses.Use(button), button) << "a new use installs again";
}

TEST(ToolWindowHookClients, DispatchSurvivesClientsThatChangeTheListOrFail)
{
    TToolWindowHookClientList<Proc> list;
    g_list = &list;
    list.Register(Fails, hpPreDestroy);
    list.Register(FreesSecond, hpPreDestroy);
    list.Register(Second, hpPreDestroy);
    list.Register(First, hpGetMessage);

    g_calls.clear();
    int errors = 0;
    Deliver(list, hpPreDestroy, &errors);
    // The failure is reported and the others still hear the event; the
    // freed client is not called, the one registered meanwhile not yet.
    EXPECT_EQ(g_calls, (std::vector<std::string>{"fails", "frees"}));
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(list.Contains(Third));

    g_calls.clear();
    list.Unregister(Fails);
    list.Unregister(FreesSecond);
    Deliver(list, hpPreDestroy, &errors);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"third"}));
    g_calls.clear();
    Deliver(list, hpGetMessage, &errors);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first"})) << "only clients of the event";
    g_list = nullptr;
}
