#include "editor/EasyNotifierList.h"
#include "editor/EasyRecordList.h"
#include "editor/EasySortedList.h"
#include "editor/FastStringList.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

using namespace qrv;

TEST(EasySortedList, DuplicatesAndOrder)
{
    TEasySortedList list;
    for (intptr_t v : {5, 1, 9, 3})
        list.Add(v);
    EXPECT_EQ(list.List(), (std::vector<intptr_t>{1, 3, 5, 9}));
    EXPECT_EQ(list.Add(5), 2) << "an equal item is not added twice";
    EXPECT_EQ(list.Count(), 4);

    list.Duplicates = dupAcceptItem;
    list.Add(5);
    EXPECT_EQ(list.List(), (std::vector<intptr_t>{1, 3, 5, 5, 9}));
    int index = -1;
    EXPECT_TRUE(list.Find(5, index));
    EXPECT_EQ(index, 2) << "the first of equal items";
    EXPECT_FALSE(list.Find(4, index));
    EXPECT_EQ(index, 2) << "the insertion point";

    list.Duplicates = dupErrorItem;
    try {
        list.Add(9);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), L"Liste gestattet keine doppelten Einträge ($09)");
    }
    EXPECT_EQ(list.Remove(3), 1);
    EXPECT_EQ(list.Remove(3), -1);
    EXPECT_EQ(list.IndexOfKey(9), 3);

    // Values far apart compare by order, not by a difference that overflows.
    TEasySortedList wide;
    wide.Add(INTPTR_MAX);
    wide.Add(INTPTR_MIN);
    wide.Add(0);
    EXPECT_EQ(wide.List(), (std::vector<intptr_t>{INTPTR_MIN, 0, INTPTR_MAX}));
}

TEST(EasySortedList, FindNearestEndsOnEveryList)
{
    for (int count = 0; count < 12; ++count) {
        TEasySortedList list;
        for (int i = 0; i < count; ++i)
            list.Add(10 * i);
        for (int key = -5; key <= 10 * count + 5; ++key) {
            int index = -2;
            const bool found = list.FindNearest(key, index);
            const int expected = key < 0 ? -1 : std::min(key / 10, count - 1);
            EXPECT_EQ(index, expected) << count << " " << key;
            EXPECT_EQ(found, key >= 0 && key % 10 == 0 && key / 10 < count) << count << " " << key;
        }
    }
}

TEST(EasyRecordList, RecordsAndBounds)
{
    struct Rec {
        int a;
        char b[6];
    };
    TEasyRecordList list(sizeof(Rec));
    Rec r{7, "abcde"};
    for (int i = 0; i < 100; ++i) {
        r.a = i;
        EXPECT_EQ(list.Add(&r), i);
    }
    EXPECT_GE(list.Capacity(), 100);
    EXPECT_EQ(static_cast<Rec*>(list.Get(42))->a, 42);
    EXPECT_STREQ(static_cast<Rec*>(list.Get(99))->b, "abcde");
    EXPECT_NE(list.Get(100), nullptr) << "the free slot behind the last record";
    try {
        list.Get(101);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), L"List Index out of bounds Index: 101");
    }
    EXPECT_THROW(list.Get(-1), EListError);
    EXPECT_THROW(list.Delete(100), EListError) << "Delete(Count) is outside";
    EXPECT_THROW(list.Delete(-1), EListError);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 99);
    EXPECT_EQ(static_cast<Rec*>(list.Get(0))->a, 1);
    EXPECT_EQ(list.Add(nullptr), 99);
    EXPECT_EQ(static_cast<Rec*>(list.Get(99))->a, 0) << "zero-filled";
    list.SetCount(120);
    EXPECT_EQ(static_cast<Rec*>(list.Get(119))->a, 0);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_NE(list.Get(0), nullptr);
}

namespace {

struct Listener {
    std::vector<std::string>* log;
    std::string name;
    TEasyNotifierList* list = nullptr;
    Listener* victim = nullptr;  // removed when this one is called

    static int Called(void* listener, void*, void* record)
    {
        auto* self = static_cast<Listener*>(listener);
        self->log->push_back(self->name);
        if (self->victim)
            self->list->Remove(&Listener::Called, self->victim);
        return *static_cast<int*>(record);
    }
    static void Removed(void* listener, void*)
    {
        auto* self = static_cast<Listener*>(listener);
        self->log->push_back("-" + self->name);
        self->list->Remove(&Listener::Called, self);
        if (self->victim)
            self->list->Remove(&Listener::Called, self->victim);
    }
};

}  // namespace

TEST(EasyNotifierList, NotifiesInOrderAndSurvivesRemovals)
{
    std::vector<std::string> log;
    TEasyNotifierList list;
    int record = 3;
    EXPECT_EQ(list.Notify(nullptr, &record), 0) << "the count when empty";

    Listener a{&log, "a", &list}, b{&log, "b", &list}, c{&log, "c", &list};
    list.Add(&Listener::Called, &a, &Listener::Removed);
    list.Add(&Listener::Called, &b, &Listener::Removed);
    list.Add(&Listener::Called, &c, &Listener::Removed);
    list.Add(&Listener::Called, &a, &Listener::Removed);  // moves a to the end
    EXPECT_EQ(list.Count(), 3);

    b.victim = &c;  // b removes c, which has not been called yet
    EXPECT_EQ(list.Notify(nullptr, &record), 3);
    EXPECT_EQ(log, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(list.Count(), 2);

    // Removal notices run from the last entry to the first, each listener
    // removing itself and a another.
    log.clear();
    a.victim = &b;
    list.NotifyRemoval(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"-a"}));
    EXPECT_EQ(list.Count(), 0);
}

TEST(FastStringList, SortedSearchAndPrefixes)
{
    TFastStringList insensitive(false);
    for (const wchar_t* w : {L"begin", L"Break", L"BEGINNING", L"case", L"be"})
        insensitive.Add(w);
    std::vector<std::wstring> order;
    for (int i = 0; i < insensitive.Count(); ++i)
        order.push_back(insensitive[i]);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"be", L"begin", L"BEGINNING", L"Break", L"case"}));
    int index = -1;
    EXPECT_TRUE(insensitive.Find(L"BREAK", index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(insensitive.Find(L"bf", index));
    EXPECT_EQ(index, 3);

    insensitive.PrefixSearch = true;
    EXPECT_TRUE(insensitive.Find(L"beg", index));
    EXPECT_EQ(index, 1);
    int length = 0;
    insensitive.FindPrefixRange(L"beg", index, length);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(length, 2);

    TFastStringList sensitive(true);
    sensitive.Add(L"b");
    sensitive.Add(L"B");
    sensitive.Add(L"a");
    EXPECT_EQ(sensitive[0], L"B");
    EXPECT_FALSE(sensitive.Find(L"A", index));
}
