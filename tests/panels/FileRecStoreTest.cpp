#include "panels/FileRecStore.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace qrv;

TEST(FileRecStoreTest, RecordsKeepTheirPlaceAndFreedOnesComeBackEmpty)
{
    TFileRecStore store;
    std::vector<TFileRec*> recs;
    for (int i = 0; i < 3000; ++i) {
        TFileRec& rec = store.Add();
        EXPECT_TRUE(rec.FileName.empty() && rec.InfoEmpty && !rec.Selected) << i;
        rec.FileName = L"a file name longer than a short string " + std::to_wstring(i);
        recs.push_back(&rec);
    }
    EXPECT_EQ(store.Count(), 3000u);
    // Later blocks did not move the earlier records.
    EXPECT_EQ(recs[5]->FileName, L"a file name longer than a short string 5");
    EXPECT_EQ(std::set<TFileRec*>(recs.begin(), recs.end()).size(), 3000u);

    recs[7]->Selected = true;
    store.Remove(*recs[7]);
    EXPECT_EQ(store.Count(), 2999u);
    TFileRec& again = store.Add();
    EXPECT_EQ(&again, recs[7]) << "the freed record is used first";
    EXPECT_TRUE(again.FileName.empty());
    EXPECT_FALSE(again.Selected);
}

TEST(FileRecStoreTest, TheDisposerEmptiesTheStoreSmallOrLarge)
{
    TFileRecDisposer disposer;
    for (const int count : {10, 20000, 20000}) {
        TFileRecStore store;
        for (int i = 0; i < count; ++i)
            store.Add().FileName = L"name that needs memory of its own " + std::to_wstring(i);
        disposer.Dispose(store);
        EXPECT_EQ(store.Count(), 0u) << count;
        // The store is usable again at once.
        store.Add().FileName = L"next";
        EXPECT_EQ(store.Count(), 1u);
    }
}
