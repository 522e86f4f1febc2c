#pragma once
// TEasyNotifierList: the listeners a document or a parser calls back. Each
// entry is a call-back and the listener it belongs to, compared by both.
// Listeners may remove themselves or others while they are called. Portable.

#include <vector>

namespace qrv {

class TEasyNotifierList {
public:
    using TCallback = int (*)(void* listener, void* sender, void* record);
    // Told that the sender goes away.
    using TRemovalCallback = void (*)(void* listener, void* sender);

    int Count() const { return static_cast<int>(items_.size()); }
    // Removes an equal entry first, then appends.
    void Add(TCallback callback, void* listener, TRemovalCallback removal = nullptr);
    // Removes the first entry of this call-back and listener.
    void Remove(TCallback callback, void* listener);
    // Calls every entry in order; the last result, or the count when empty.
    // Entries removed meanwhile are not called, entries added are not either.
    int Notify(void* sender, void* record);
    // From the last entry to the first: every listener with a removal
    // call-back hears that the sender goes.
    void NotifyRemoval(void* sender);

private:
    struct Item {
        TCallback callback;
        void* listener;
        TRemovalCallback removal;
        unsigned long serial;  // tells an entry from a later equal one
    };
    bool Alive(const Item& item) const;

    std::vector<Item> items_;
    unsigned long nextSerial_ = 0;
};

}  // namespace qrv
