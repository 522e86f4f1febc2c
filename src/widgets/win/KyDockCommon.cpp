#include "widgets/win/KyDockCommon.h"

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

struct HookClient {
    TToolWindowHookProc proc;
    int refCount;
    unsigned events;
};

// The user-interface thread's clients, in registration order.
std::vector<HookClient>& Clients()
{
    static std::vector<HookClient> clients;
    return clients;
}

std::vector<HookClient>::iterator Find(TToolWindowHookProc proc)
{
    auto& clients = Clients();
    return std::find_if(clients.begin(), clients.end(), [proc](const HookClient& c) { return c.proc == proc; });
}

}  // namespace

void RegisterToolWindowHookClient(TToolWindowHookProc proc, unsigned events)
{
    if (!proc)
        return;
    if (auto it = Find(proc); it != Clients().end())
        ++it->refCount;
    else
        Clients().push_back(HookClient{proc, 1, events});
}

void UnregisterToolWindowHookClient(TToolWindowHookProc proc)
{
    auto it = Find(proc);
    if (it == Clients().end())
        return;
    if (--it->refCount <= 0)
        Clients().erase(it);
}

int ToolWindowHookClientCount()
{
    return static_cast<int>(Clients().size());
}

TToolWindowHookProc FirstToolWindowHookClient()
{
    return Clients().empty() ? nullptr : Clients().front().proc;
}

int ToolWindowHookClientRefCount(TToolWindowHookProc proc)
{
    auto it = Find(proc);
    return it == Clients().end() ? 0 : it->refCount;
}

}  // namespace qrv
