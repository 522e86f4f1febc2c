#include "common/ListExt.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// A record that counts how many of its kind are alive, so that a test sees
// every record the list frees.
struct Rec {
    explicit Rec(int key, std::wstring text = {}) : Key(key), Text(std::move(text)) { ++Alive; }
    ~Rec() { --Alive; }
    int Key;
    std::wstring Text;
    static inline int Alive = 0;
};

// Any sign-carrying result is allowed, not only -1, 0 and 1.
int CompareKeys(const Rec& a, const Rec& b)
{
    return (a.Key - b.Key) * 7;
}

class ListExtTest : public testing::Test {
protected:
    void SetUp() override { Rec::Alive = 0; }
    void TearDown() override { EXPECT_EQ(Rec::Alive, 0) << "a record leaked"; }

    static void AddKeys(TListExt<Rec>& list, const std::vector<int>& keys)
    {
        for (int key : keys)
            list.Add(std::make_unique<Rec>(key));
    }
    static std::vector<int> Keys(const TListExt<Rec>& list)
    {
        std::vector<int> keys;
        for (int i = 0; i < list.Count(); ++i)
            keys.push_back(list.GetItem(i) ? list.GetItem(i)->Key : -1);
        return keys;
    }
    static std::wstring RangeMessage(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const ERangeError& e) {
            return e.Message();
        }
        return L"(nothing raised)";
    }
};

}  // namespace

TEST_F(ListExtTest, StartsEmptySortedWithTheFirstCapacity)
{
    TListExt<Rec> list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 500);
    EXPECT_TRUE(list.Sorted());
    EXPECT_EQ(list.ItemSize(), static_cast<int>(sizeof(Rec)));
    EXPECT_EQ(RangeMessage([] { TListExt<Rec> bad(-4); }), L"TListExt: negative itemsize: -4");
}

TEST_F(ListExtTest, GrowsInStepsOf500WithoutMovingRecords)
{
    TListExt<Rec> list;
    std::vector<const Rec*> addresses;
    for (int i = 0; i < 1201; ++i) {
        auto record = std::make_unique<Rec>(i);
        addresses.push_back(record.get());
        EXPECT_EQ(list.Add(std::move(record)), i);
        if (i == 499) {
            EXPECT_EQ(list.Capacity(), 500);
        }
        if (i == 500) {
            EXPECT_EQ(list.Capacity(), 1000) << "the 501st record grows the list";
        }
    }
    EXPECT_EQ(list.Capacity(), 1500);
    EXPECT_EQ(list.Count(), 1201);
    for (int i = 0; i < list.Count(); ++i)
        ASSERT_EQ(list.GetItem(i), addresses[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(Rec::Alive, 1201);

    list.Clear();
    EXPECT_EQ(Rec::Alive, 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 500);
    EXPECT_TRUE(list.Sorted());
}

TEST_F(ListExtTest, IndexesOutsideTheListRaiseWithTheSignedIndex)
{
    TListExt<Rec> list;
    AddKeys(list, {1, 2, 3});
    EXPECT_EQ(list.GetItem(2)->Key, 3);
    EXPECT_EQ(RangeMessage([&] { list.GetItem(3); }), L"TListExt: index out of range: 3");
    EXPECT_EQ(RangeMessage([&] { list.GetItem(-1); }), L"TListExt: index out of range: -1");
    EXPECT_EQ(RangeMessage([&] { list.Exchange(0, 5); }), L"TListExt: index out of range: 5");
    EXPECT_EQ(RangeMessage([&] { list.FreeItem(-2); }), L"TListExt: index out of range: -2");
    EXPECT_EQ(Keys(list), (std::vector<int>{1, 2, 3})) << "a refused exchange changes nothing";
}

TEST_F(ListExtTest, SortedFlagFollowsAddSortExchangeAndDelete)
{
    TListExt<Rec> list;
    AddKeys(list, {5, 3, 9, 1});
    EXPECT_FALSE(list.Sorted());
    list.Sort(CompareKeys);
    EXPECT_TRUE(list.Sorted());
    EXPECT_EQ(Keys(list), (std::vector<int>{1, 3, 5, 9}));

    list.Exchange(2, 2);
    EXPECT_TRUE(list.Sorted()) << "exchanging a record with itself changes no order";
    list.Exchange(0, 3);
    EXPECT_FALSE(list.Sorted());
    EXPECT_EQ(Keys(list), (std::vector<int>{9, 3, 5, 1}));

    list.Sort(CompareKeys);
    list.Delete(1);
    EXPECT_TRUE(list.Sorted()) << "deleting keeps the order";
    EXPECT_EQ(Keys(list), (std::vector<int>{1, 5, 9}));
    EXPECT_EQ(list.FindSorted(Rec(9), CompareKeys), 2);

    list.Add(std::make_unique<Rec>(0));
    EXPECT_FALSE(list.Sorted());
    EXPECT_EQ(list.FindSorted(Rec(0), CompareKeys), 0) << "sorted again before bisecting";
    EXPECT_TRUE(list.Sorted());
}

TEST_F(ListExtTest, FindOnAnUnsortedListLeavesTheOrder)
{
    TListExt<Rec> list;
    AddKeys(list, {4, 2, 8, 2, 6});
    EXPECT_EQ(list.Find(Rec(2), CompareKeys), 1) << "the first equal record";
    EXPECT_EQ(list.Find(Rec(7), CompareKeys), -1);
    EXPECT_FALSE(list.Sorted());
    EXPECT_EQ(Keys(list), (std::vector<int>{4, 2, 8, 2, 6}));

    EXPECT_EQ(list.FindSorted(Rec(8), CompareKeys), 4);
    EXPECT_EQ(Keys(list), (std::vector<int>{2, 2, 4, 6, 8}));
    EXPECT_EQ(list.Find(Rec(2), CompareKeys), 0) << "bisection finds the first of equal records";
    EXPECT_EQ(list.Find(Rec(5), CompareKeys), -1);
    EXPECT_EQ(list.Find(Rec(-1), CompareKeys), -1);
    EXPECT_EQ(list.Find(Rec(9), CompareKeys), -1);
}

TEST_F(ListExtTest, FindSortedOnAnEmptyList)
{
    TListExt<Rec> list;
    EXPECT_EQ(list.FindSorted(Rec(1), CompareKeys), -1);
    EXPECT_EQ(list.Find(Rec(1), CompareKeys), -1);
    list.Delete(0);  // nothing to delete
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListExtTest, KeysOfAnotherTypeAreComparedFirst)
{
    struct ByText {
        int operator()(const Rec& a, const Rec& b) const { return a.Text.compare(b.Text); }
        int operator()(const std::wstring& key, const Rec& b) const { return key.compare(b.Text); }
    };
    TListExt<Rec> cache;
    for (const wchar_t* ext : {L".TXT", L".BMP", L".ZIP", L".EXE"})
        cache.Add(std::make_unique<Rec>(0, ext));
    EXPECT_EQ(cache.FindSorted(std::wstring(L".EXE"), ByText{}), 1);
    EXPECT_EQ(cache.GetItem(1)->Text, L".EXE");
    EXPECT_EQ(cache.FindSorted(std::wstring(L".DOC"), ByText{}), -1);
}

TEST_F(ListExtTest, OnFreeItemSeesEveryRecordAndMayKeepIt)
{
    std::vector<std::unique_ptr<Rec>> kept;
    std::vector<int> seen;
    {
        TListExt<Rec> list(64);
        list.OnFreeItem = [&](TListExt<Rec>& sender, std::unique_ptr<Rec>& item, int itemSize) {
            EXPECT_EQ(&sender, &list);
            EXPECT_EQ(itemSize, 64);
            seen.push_back(item->Key);
            if (item->Key == 2)
                kept.push_back(std::move(item));
        };
        AddKeys(list, {1, 2, 3});
        list.Delete(0);
        EXPECT_EQ(seen, (std::vector<int>{1}));
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3})) << "the list frees the rest when it goes";
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0]->Key, 2);
    EXPECT_EQ(Rec::Alive, 1);
    kept.clear();
}

TEST_F(ListExtTest, ClearFreesEveryRecordAlsoAfterAFreedSlot)
{
    TListExt<Rec> list;
    AddKeys(list, {1, 2, 3, 4});
    list.FreeItem(1);
    EXPECT_EQ(list.Count(), 4) << "freeing keeps the slot";
    EXPECT_EQ(list.GetItem(1), nullptr);
    EXPECT_EQ(Rec::Alive, 3);
    list.FreeItem(1);  // an empty slot: nothing happens

    // An emptied slot is skipped by the searches and sorted last.
    EXPECT_EQ(list.Find(Rec(3), CompareKeys), 2);
    EXPECT_EQ(list.FindSorted(Rec(4), CompareKeys), 2);
    EXPECT_EQ(Keys(list), (std::vector<int>{1, 3, 4, -1}));

    list.Clear();
    EXPECT_EQ(Rec::Alive, 0);
}
