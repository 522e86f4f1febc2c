#pragma once
// TEasySortedList: a list of pointer-sized items kept in order by a
// comparison that subclasses replace, found by bisection, with a one-entry
// cache of the last hit. Portable.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qrv {

// What Add does with an item equal to one in the list.
enum : uint8_t { dupIgnoreItem = 0, dupAcceptItem = 1, dupErrorItem = 2 };

class TEasySortedList {
public:
    using TItem = intptr_t;

    virtual ~TEasySortedList() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    TItem Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    const std::vector<TItem>& List() const { return items_; }

    bool Sorted = true;
    uint8_t Duplicates = dupIgnoreItem;

    // The index of the item. A sorted list returns the index of an equal item
    // without adding when duplicates are ignored, and raises EListError
    // "Liste gestattet keine doppelten Einträge ($0%x)" when they are errors.
    int Add(TItem item);
    void Insert(int index, TItem item);
    void Delete(int index);
    void Clear();
    // Bisection: true and the match (the first of equal items when duplicates
    // are accepted), or false and the insertion point.
    bool Find(TItem item, int& index) const;
    bool FindKey(TItem key, int& index) const;
    // The greatest item not above the key: true on an exact match; index is
    // -1 when every item is above the key.
    bool FindNearest(TItem key, int& index) const;
    // The index the item had, or -1.
    int Remove(TItem item);
    int IndexOfKey(TItem key) const;
    void Sort();

    // Orders by value; subclasses compare what the items stand for.
    virtual int CompareKey(TItem item, TItem key) const { return item < key ? -1 : item > key ? 1 : 0; }
    virtual int Compare(TItem item1, TItem item2) const { return CompareKey(item1, item2); }

protected:
    std::vector<TItem>& MutableList() { return items_; }
    void ForgetLastFound() { lastFound_ = -1; }

private:
    template <typename Comparison>
    bool Search(Comparison compare, int& index) const;

    std::vector<TItem> items_;
    mutable int lastFound_ = -1;
};

}  // namespace qrv
