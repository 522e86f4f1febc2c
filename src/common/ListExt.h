#pragma once
// TListExt: a list of owned records that sorts itself on demand with the
// caller's comparison and then finds by bisection. Records are handed over by
// Add and freed by the list; their addresses never change while they are in
// it. Portable.

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <vector>

namespace qrv {

namespace listext {
// The list's range errors (ERangeError with the "TListExt: ..." texts).
[[noreturn]] void RaiseNegativeItemSize(int itemSize);
[[noreturn]] void RaiseBufferOverflow(int count);
[[noreturn]] void RaiseIndexOutOfRange(int index);
}  // namespace listext

// Comparisons return a negative number, 0 or a positive number; only the sign
// counts. Find and FindSorted pass the key as the first argument, so the key
// may be a record with only the compared fields filled, or another type the
// comparison knows.
template <class T>
class TListExt {
public:
    static constexpr int kCapacityStep = 500;

    // Called before a record is freed so that its owner can finish it; the
    // handler may take the record out of Item (release or reset it).
    using TFreeItemEvent = std::function<void(TListExt& Sender, std::unique_ptr<T>& Item, int ItemSize)>;

    // ItemSize is handed to OnFreeItem; the list allocates no records itself.
    explicit TListExt(int itemSize = static_cast<int>(sizeof(T))) : itemSize_(itemSize)
    {
        if (itemSize < 0)
            listext::RaiseNegativeItemSize(itemSize);
        Reset();
    }
    ~TListExt() { FreeItems(); }
    TListExt(const TListExt&) = delete;
    TListExt& operator=(const TListExt&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    int Capacity() const { return capacity_; }
    int ItemSize() const { return itemSize_; }
    bool Sorted() const { return sorted_; }
    TFreeItemEvent OnFreeItem;

    // Takes the record over and returns its index. The list is unsorted then.
    int Add(std::unique_ptr<T> item)
    {
        if (Count() == capacity_) {
            if (capacity_ > INT_MAX - kCapacityStep)
                listext::RaiseBufferOverflow(Count());
            capacity_ += kCapacityStep;
            items_.reserve(static_cast<size_t>(capacity_));
        }
        items_.push_back(std::move(item));
        sorted_ = false;
        return Count() - 1;
    }

    // The record at Index (nullptr for a slot freed by FreeItem).
    T* GetItem(int index) const { return items_[CheckedIndex(index)].get(); }

    void Exchange(int i, int j)
    {
        std::swap(items_[CheckedIndex(i)], items_[CheckedIndex(j)]);
        if (i != j)
            sorted_ = false;
    }

    // Frees the record at Index and leaves its slot empty; Count stays.
    void FreeItem(int index)
    {
        std::unique_ptr<T>& slot = items_[CheckedIndex(index)];
        if (slot && OnFreeItem)
            OnFreeItem(*this, slot, itemSize_);
        slot.reset();
    }

    // Frees the record at Index and closes the gap; nothing for an index
    // outside the list. The order of the others is kept, and so is Sorted.
    void Delete(int index)
    {
        if (index < 0 || index >= Count())
            return;
        FreeItem(index);
        items_.erase(items_.begin() + index);
    }

    // Frees every record; the list is empty, sorted and back at its first capacity.
    void Clear()
    {
        FreeItems();
        Reset();
    }

    template <class Compare>
    void Sort(Compare compare)
    {
        // Slots emptied by FreeItem go to the end.
        if (Count() > 1 && !sorted_)
            std::sort(items_.begin(), items_.end(), [&](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b) {
                return a && (!b || compare(*a, *b) < 0);
            });
        sorted_ = true;
    }

    // Sorts first when needed, then bisects: the index of the first record
    // that compares equal to Key, or -1.
    template <class Key, class Compare>
    int FindSorted(const Key& key, Compare compare)
    {
        if (items_.empty())
            return -1;
        Sort(compare);
        const auto end = std::partition_point(items_.begin(), items_.end(),
                                              [](const std::unique_ptr<T>& item) { return item != nullptr; });
        const auto found = std::partition_point(
            items_.begin(), end, [&](const std::unique_ptr<T>& item) { return compare(key, *item) > 0; });
        if (found == end || compare(key, **found) != 0)
            return -1;
        return static_cast<int>(found - items_.begin());
    }

    // Bisection when the list is sorted; otherwise the first equal record by
    // a linear search, which leaves the order alone.
    template <class Key, class Compare>
    int Find(const Key& key, Compare compare)
    {
        if (sorted_)
            return FindSorted(key, compare);
        for (int i = 0; i < Count(); ++i)
            if (items_[static_cast<size_t>(i)] && compare(key, *items_[static_cast<size_t>(i)]) == 0)
                return i;
        return -1;
    }

private:
    size_t CheckedIndex(int index) const
    {
        if (index < 0 || index >= Count())
            listext::RaiseIndexOutOfRange(index);
        return static_cast<size_t>(index);
    }

    void FreeItems()
    {
        for (int i = 0; i < Count(); ++i)
            FreeItem(i);
    }

    void Reset()
    {
        items_.clear();
        items_.shrink_to_fit();
        capacity_ = kCapacityStep;
        items_.reserve(static_cast<size_t>(capacity_));
        sorted_ = true;
    }

    std::vector<std::unique_ptr<T>> items_;
    int itemSize_;
    int capacity_ = kCapacityStep;
    bool sorted_ = true;
};

}  // namespace qrv
