#pragma once
// The bookkeeping behind the tool-window hooks: the registered clients (a
// callback, how often it is registered, the events it hears) and how many
// clients need each of the three hooks. Portable: the Win32 side installs and
// removes the hooks this list says are needed or no longer needed, and calls
// Dispatch from its hook procedures.

#include <algorithm>
#include <array>
#include <vector>

namespace qrv {

// Event bits a client asks for.
enum TToolWindowHookEvents : unsigned {
    hpSendActivateApp = 1,       // application activation (code 0)
    hpSendWindowPosChanged = 2,  // a window's position changed (code 1)
    hpPreDestroy = 4,            // a window is destroyed (code 2)
    hpGetMessage = 8,            // a mouse move was retrieved (code 3)
    hpSetFocus = 16,             // a window is about to get the focus (code 4)
};

// The hooks behind the events: the sent-message hook carries activation and
// position changes, the computer-based-training hook destruction and focus
// changes, the retrieved-message hook mouse moves.
enum TToolWindowHookKind { hkCallWndProc = 0, hkCbt = 1, hkGetMessage = 2 };
constexpr int kToolWindowHookKinds = 3;

// The hook kinds (bit 1 << kind) the events need.
constexpr unsigned ToolWindowHookKinds(unsigned events)
{
    unsigned kinds = 0;
    if (events & (hpSendActivateApp | hpSendWindowPosChanged))
        kinds |= 1u << hkCallWndProc;
    if (events & (hpPreDestroy | hpSetFocus))
        kinds |= 1u << hkCbt;
    if (events & hpGetMessage)
        kinds |= 1u << hkGetMessage;
    return kinds;
}

// How many registrations need each hook kind. Use returns the kinds that
// became needed (to install), Release those no longer needed (to remove).
class TToolWindowHookUseCounts {
public:
    unsigned Use(unsigned kinds)
    {
        unsigned fresh = 0;
        for (int kind = 0; kind < kToolWindowHookKinds; ++kind)
            if ((kinds & (1u << kind)) && counts_[kind]++ == 0)
                fresh |= 1u << kind;
        return fresh;
    }
    unsigned Release(unsigned kinds)
    {
        unsigned gone = 0;
        for (int kind = 0; kind < kToolWindowHookKinds; ++kind)
            if ((kinds & (1u << kind)) && counts_[kind] > 0 && --counts_[kind] == 0)
                gone |= 1u << kind;
        return gone;
    }
    int Count(int kind) const { return counts_.at(kind); }
    void Clear() { counts_.fill(0); }

private:
    std::array<int, kToolWindowHookKinds> counts_{};
};

// The registered clients, in registration order. Proc is the callback type.
template <class Proc>
class TToolWindowHookClientList {
public:
    struct TClient {
        Proc Callback;
        int RefCount;
        unsigned Events;
    };

    // Counts an existing entry up or adds one. Returns the entry's events.
    unsigned Register(Proc proc, unsigned events)
    {
        if (TClient* client = Find(proc)) {
            ++client->RefCount;
            return client->Events;
        }
        clients_.push_back(TClient{proc, 1, events});
        return events;
    }

    // Counts the entry down, removing it at zero. Returns the events of the
    // registration released, 0 when the callback is not registered.
    unsigned Unregister(Proc proc)
    {
        const auto it =
            std::find_if(clients_.begin(), clients_.end(), [proc](const TClient& c) { return c.Callback == proc; });
        if (it == clients_.end())
            return 0;
        const unsigned events = it->Events;
        if (--it->RefCount <= 0)
            clients_.erase(it);
        return events;
    }

    // Calls call(proc) for every client that hears the event, in order. The
    // clients are taken before the first call: a client registered by a call
    // is not called this time, and one unregistered by an earlier call is not
    // called any more. A client that fails does not stop the others; onError
    // is called inside the catch block.
    template <class Call, class OnError>
    void Dispatch(unsigned event, Call call, OnError onError) const
    {
        std::vector<Proc> targets;
        for (const TClient& client : clients_)
            if (client.Events & event)
                targets.push_back(client.Callback);
        for (Proc proc : targets) {
            if (!Contains(proc))
                continue;
            try {
                call(proc);
            } catch (...) {
                onError();
            }
        }
    }

    bool Empty() const { return clients_.empty(); }
    int Count() const { return static_cast<int>(clients_.size()); }
    Proc First() const { return clients_.empty() ? Proc{} : clients_.front().Callback; }
    int RefCount(Proc proc) const
    {
        const TClient* client = const_cast<TToolWindowHookClientList*>(this)->Find(proc);
        return client ? client->RefCount : 0;
    }
    bool Contains(Proc proc) const { return RefCount(proc) > 0; }
    void Clear() { clients_.clear(); }

private:
    TClient* Find(Proc proc)
    {
        for (TClient& client : clients_)
            if (client.Callback == proc)
                return &client;
        return nullptr;
    }

    std::vector<TClient> clients_;
};

}  // namespace qrv
