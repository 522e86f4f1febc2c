#include "panels/FileNameIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

using namespace qrv;

namespace {

TEST(FileNameIndexTest, FindsNamesIgnoringCaseAndTellsWhatWasNotFound)
{
    std::deque<TFileRec> recs(5);
    const wchar_t* names[] = {L"Übersicht.txt", L"readme", L"README.md", L"ä", L"Ä"};
    for (size_t i = 0; i < recs.size(); ++i)
        recs[i].FileName = names[i];
    TFileNameIndex index(recs.size());
    for (size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(index.Add(recs[i])) << i;
    EXPECT_FALSE(index.Add(recs[4])) << "\"Ä\" is \"ä\" in another case: the first one holds the name";

    const size_t readme = index.Find(L"ReadMe");
    ASSERT_NE(readme, TFileNameIndex::kNotFound);
    EXPECT_EQ(&index.At(readme), &recs[1]);
    ASSERT_NE(index.Find(L"üBERSICHT.TXT"), TFileNameIndex::kNotFound);
    EXPECT_EQ(&index.At(index.Find(L"üBERSICHT.TXT")), &recs[0]);
    EXPECT_EQ(index.Find(L"readme.m"), TFileNameIndex::kNotFound);
    EXPECT_EQ(index.Find(L""), TFileNameIndex::kNotFound);

    index.MarkFound(readme);
    index.MarkFound(index.Find(L"Ä"));
    std::vector<TFileRec*> unfound = index.Unfound();
    std::sort(unfound.begin(), unfound.end(), [](TFileRec* a, TFileRec* b) { return a->FileName < b->FileName; });
    EXPECT_EQ(unfound, (std::vector<TFileRec*>{&recs[2], &recs[0]}));

    // A name changed in case only is still found where it was.
    recs[2].FileName = L"Readme.MD";
    EXPECT_EQ(&index.At(index.Find(L"readme.md")), &recs[2]);
}

TEST(FileNameIndexTest, ManyNamesAreEachFoundOnce)
{
    std::deque<TFileRec> recs(20000);
    TFileNameIndex index(recs.size());
    for (size_t i = 0; i < recs.size(); ++i) {
        recs[i].FileName = L"f" + std::to_wstring(i) + L".txt";
        ASSERT_TRUE(index.Add(recs[i]));
    }
    for (size_t i = 0; i < recs.size(); i += 7) {
        const size_t place = index.Find(L"F" + std::to_wstring(i) + L".TXT");
        ASSERT_NE(place, TFileNameIndex::kNotFound) << i;
        ASSERT_EQ(&index.At(place), &recs[i]);
        index.MarkFound(place);
    }
    EXPECT_EQ(index.Unfound().size(), recs.size() - (recs.size() + 6) / 7);
    EXPECT_EQ(index.Find(L"f20000.txt"), TFileNameIndex::kNotFound);
}

}  // namespace
