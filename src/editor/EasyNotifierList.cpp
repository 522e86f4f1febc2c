#include "editor/EasyNotifierList.h"

#include <algorithm>

namespace qrv {

void TEasyNotifierList::Add(TCallback callback, void* listener, TRemovalCallback removal)
{
    Remove(callback, listener);
    items_.push_back({callback, listener, removal, nextSerial_++});
}

void TEasyNotifierList::Remove(TCallback callback, void* listener)
{
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const Item& item) {
        return item.callback == callback && item.listener == listener;
    });
    if (it != items_.end())
        items_.erase(it);
}

bool TEasyNotifierList::Alive(const Item& item) const
{
    return std::any_of(items_.begin(), items_.end(), [&](const Item& other) { return other.serial == item.serial; });
}

int TEasyNotifierList::Notify(void* sender, void* record)
{
    if (items_.empty())
        return 0;
    // Walk a copy: a call-back may change the list.
    const std::vector<Item> items = items_;
    int result = 0;
    for (const Item& item : items)
        if (Alive(item))
            result = item.callback(item.listener, sender, record);
    return result;
}

void TEasyNotifierList::NotifyRemoval(void* sender)
{
    const std::vector<Item> items = items_;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (it->removal && Alive(*it))
            it->removal(it->listener, sender);
}

}  // namespace qrv
