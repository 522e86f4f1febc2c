#include "editor/EasySortedList.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cstdio>

namespace qrv {

template <typename Comparison>
bool TEasySortedList::Search(Comparison compare, int& index) const
{
    const bool unique = Duplicates != dupAcceptItem;
    if (unique && lastFound_ >= 0 && lastFound_ < Count() && compare(items_[lastFound_]) == 0) {
        index = lastFound_;
        return true;
    }
    bool found = false;
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = compare(items_[mid]);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (unique) {
                    lo = mid;
                    lastFound_ = mid;
                    break;
                }
            }
        }
    }
    index = lo;
    return found;
}

bool TEasySortedList::Find(TItem item, int& index) const
{
    return Search([&](TItem other) { return Compare(other, item); }, index);
}

bool TEasySortedList::FindKey(TItem key, int& index) const
{
    return Search([&](TItem other) { return CompareKey(other, key); }, index);
}

bool TEasySortedList::FindNearest(TItem key, int& index) const
{
    // Bisection for the first item above the key; the one before it is the answer.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareKey(items_[mid], key) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo - 1;
    return index >= 0 && CompareKey(items_[index], key) == 0;
}

int TEasySortedList::Add(TItem item)
{
    if (!Sorted) {
        items_.push_back(item);
        return Count() - 1;
    }
    int index = 0;
    if (Find(item, index)) {
        if (Duplicates == dupIgnoreItem)
            return index;
        if (Duplicates == dupErrorItem) {
            wchar_t text[80];
            std::swprintf(text, 80, L"Liste gestattet keine doppelten Einträge ($0%llx)",
                          static_cast<unsigned long long>(item));
            throw EListError(text);
        }
    }
    Insert(index, item);
    return index;
}

void TEasySortedList::Insert(int index, TItem item)
{
    if (index < 0 || index > Count())
        throw EListError(L"Listenindex überschreitet das Maximum (" + IntToStr(index) + L")");
    items_.insert(items_.begin() + index, item);
    lastFound_ = -1;
}

void TEasySortedList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EListError(L"Listenindex überschreitet das Maximum (" + IntToStr(index) + L")");
    items_.erase(items_.begin() + index);
    lastFound_ = -1;
}

void TEasySortedList::Clear()
{
    items_.clear();
    lastFound_ = -1;
}

int TEasySortedList::Remove(TItem item)
{
    int index = 0;
    if (!Sorted) {
        const auto it = std::find(items_.begin(), items_.end(), item);
        if (it == items_.end())
            return -1;
        index = static_cast<int>(it - items_.begin());
    } else if (!Find(item, index)) {
        return -1;
    }
    Delete(index);
    return index;
}

int TEasySortedList::IndexOfKey(TItem key) const
{
    int index = 0;
    return FindKey(key, index) ? index : -1;
}

void TEasySortedList::Sort()
{
    std::stable_sort(items_.begin(), items_.end(), [this](TItem a, TItem b) { return Compare(a, b) < 0; });
    lastFound_ = -1;
}

}  // namespace qrv
