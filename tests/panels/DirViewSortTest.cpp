#include "panels/DirViewSort.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace qrv;

namespace {

constexpr uint64_t kGiB = 1ull << 30;

struct Item {
    Item(std::wstring name, bool dir = false, uint64_t size = 0, uint64_t time = 0, uint32_t attr = 0,
         std::wstring type = {}, std::wstring ext = {})
        : Name(std::move(name)), Dir(dir), Size(size), Time(time), Attr(attr), Type(std::move(type)),
          Ext(std::move(ext))
    {}
    std::wstring Name;
    bool Dir = false;
    uint64_t Size = 0;
    uint64_t Time = 0;
    uint32_t Attr = 0;
    std::wstring Type;
    std::wstring Ext;
};

std::unique_ptr<TFileRec> Make(const Item& i)
{
    auto rec = std::make_unique<TFileRec>();
    rec->FileName = rec->DisplayName = i.Name;
    rec->IsParentDir = i.Name == L"..";
    rec->IsDirectory = i.Dir || rec->IsParentDir;
    rec->Size = i.Size;
    rec->LastWrite = i.Time;
    rec->Attr = i.Attr;
    rec->TypeName = i.Type;
    rec->Ext = i.Ext;
    return rec;
}

// A folder with "..", folders (one unscanned) and files in a scrambled order.
std::vector<Item> Folder()
{
    return {
        {L"mid.txt", false, 2000, 300, 0x20, L"Textdokument", L"TXT"},
        {L"Zeta", true, kUnknownDirSize, 100, 0x10, L"Dateiordner", L""},
        {L"big.bin", false, 5 * kGiB, 100, 0x21, L"BIN-Datei", L"BIN"},
        {L"..", true, 0, 0, 0x10, L"", L""},
        {L"alpha", true, 5 * kGiB, 200, 0x10, L"Dateiordner", L""},
        {L"Beta", true, 1024, 200, 0x12, L"Dateiordner", L""},
        {L"small.txt", false, 1, 300, 0x01, L"Textdokument", L"TXT"},
        {L"a.log", false, 2000, 300, 0x20, L"Textdokument", L"LOG"},
    };
}

std::vector<std::wstring> Sorted(std::vector<Item> items, TDirSortOptions options,
                                 const TSortCollator& collator = TFoldCollator())
{
    std::vector<std::unique_ptr<TFileRec>> recs;
    for (const Item& i : items)
        recs.push_back(Make(i));
    SortFileRecs(recs, options, collator);
    std::vector<std::wstring> names;
    for (const auto& rec : recs)
        names.push_back(rec->FileName);
    return names;
}

using Names = std::vector<std::wstring>;

struct SortCase {
    const char* What;
    TDirSortOptions Options;
    Names Expected;
};

using K = TDirSortKind;

TEST(DirSortTest, EveryComparisonOrdersTheFolder)
{
    const SortCase cases[] = {
        SortCase{"name ascending",
                 {K::dskName, true, false, false},
                 {L"..", L"alpha", L"Beta", L"Zeta", L"a.log", L"big.bin", L"mid.txt", L"small.txt"}},
        // Descending turns folders after files unless DirsOnTop; ".." stays first.
        SortCase{"name descending",
                 {K::dskName, false, false, false},
                 {L"..", L"small.txt", L"mid.txt", L"big.bin", L"a.log", L"Zeta", L"Beta", L"alpha"}},
        SortCase{"name descending, dirs on top",
                 {K::dskName, false, true, false},
                 {L"..", L"Zeta", L"Beta", L"alpha", L"small.txt", L"mid.txt", L"big.bin", L"a.log"}},
        // The unscanned folder ranks as 4,294,967,295 bytes: between 1 KB and 5 GiB.
        SortCase{"size ascending",
                 {K::dskSize, true, false, false},
                 {L"..", L"Beta", L"Zeta", L"alpha", L"small.txt", L"a.log", L"mid.txt", L"big.bin"}},
        SortCase{"size descending, dirs on top",
                 {K::dskSize, false, true, false},
                 {L"..", L"alpha", L"Zeta", L"Beta", L"big.bin", L"mid.txt", L"a.log", L"small.txt"}},
        // Folders by name unless SortDirTime; equal times keep names A to Z both ways.
        SortCase{"date ascending",
                 {K::dskDate, true, false, false},
                 {L"..", L"alpha", L"Beta", L"Zeta", L"big.bin", L"a.log", L"mid.txt", L"small.txt"}},
        SortCase{"date descending",
                 {K::dskDate, false, false, false},
                 {L"..", L"a.log", L"mid.txt", L"small.txt", L"big.bin", L"Zeta", L"Beta", L"alpha"}},
        SortCase{"date descending, folder times",
                 {K::dskDate, false, true, true},
                 {L"..", L"alpha", L"Beta", L"Zeta", L"a.log", L"mid.txt", L"small.txt", L"big.bin"}},
        // Type name, then extension, then name.
        SortCase{"type ascending",
                 {K::dskType, true, false, false},
                 {L"..", L"alpha", L"Beta", L"Zeta", L"big.bin", L"a.log", L"mid.txt", L"small.txt"}},
        SortCase{"extension ascending",
                 {K::dskExt, true, false, false},
                 {L"..", L"alpha", L"Beta", L"Zeta", L"big.bin", L"a.log", L"mid.txt", L"small.txt"}},
        // Attributes as a signed number, then the name.
        SortCase{"attributes ascending",
                 {K::dskAttr, true, false, false},
                 {L"..", L"alpha", L"Zeta", L"Beta", L"small.txt", L"a.log", L"mid.txt", L"big.bin"}},
    };
    for (const SortCase& c : cases)
        EXPECT_EQ(Sorted(Folder(), c.Options), c.Expected) << c.What;
}

TEST(DirSortTest, SortKindFollowsTheColumn)
{
    EXPECT_EQ(SortKindFor(0, false), K::dskName);
    EXPECT_EQ(SortKindFor(1, true), K::dskSize);
    EXPECT_EQ(SortKindFor(2, false), K::dskType);
    EXPECT_EQ(SortKindFor(2, true), K::dskExt);
    EXPECT_EQ(SortKindFor(3, false), K::dskDate);
    EXPECT_EQ(SortKindFor(4, false), K::dskAttr);
    EXPECT_EQ(SortKindFor(7, false), K::dskName);
    EXPECT_TRUE(SortNeedsTypeNames(K::dskExt));
    EXPECT_FALSE(SortNeedsTypeNames(K::dskSize));
}

TEST(DirSortTest, NamesDifferingOnlyInCaseHaveOneOrderWhateverTheInput)
{
    const std::vector<Item> one = {{L"readme"}, {L"README"}, {L"ReadMe"}};
    const std::vector<Item> other = {{L"ReadMe"}, {L"readme"}, {L"README"}};
    const Names expected = {L"README", L"ReadMe", L"readme"};
    EXPECT_EQ(Sorted(one, {}), expected);
    EXPECT_EQ(Sorted(other, {}), expected);
    // Descending reverses the tie-break too, so the order stays total.
    EXPECT_EQ(Sorted(one, {K::dskName, false}), (Names{L"readme", L"ReadMe", L"README"}));
}

TEST(DirSortTest, FoldersSortedByExtensionCompareTypeExtAndName)
{
    std::vector<Item> items = {{L"b", true, 0, 0, 0x10, L"Ordner"},
                               {L"a", true, 0, 0, 0x10, L"ZIP-Ordner"},
                               {L"c", true, 0, 0, 0x10, L"Ordner"}};
    EXPECT_EQ(Sorted(items, {K::dskExt, true, false, false}), (Names{L"b", L"c", L"a"}));
}

// Orders by the reversed text, so the sort is seen to use the collator's keys.
class ReverseCollator : public TSortCollator {
public:
    std::string SortKey(std::wstring_view text) const override
    {
        ++Calls;
        std::string key;
        for (auto it = text.rbegin(); it != text.rend(); ++it)
            key.push_back(static_cast<char>(*it));
        return key;
    }
    mutable int Calls = 0;
};

TEST(DirSortTest, KeysComeFromTheCollatorOncePerItem)
{
    ReverseCollator collator;
    const std::vector<Item> items = {{L"ab"}, {L"ba"}, {L"ca"}, {L"zz"}, {L"cb"}};
    EXPECT_EQ(Sorted(items, {}, collator), (Names{L"ba", L"ca", L"ab", L"cb", L"zz"}));
    EXPECT_EQ(collator.Calls, 5);
}

TEST(DirSortTest, ALargeFolderSortedInPartsComesOutInOneOrder)
{
    // Enough items for several threads and merge rounds; names repeat in
    // other cases, so the ordinal tie-break is needed for one order.
    std::vector<std::unique_ptr<TFileRec>> recs;
    uint32_t seed = 12345;
    for (int i = 0; i < 30000; ++i) {
        seed = seed * 1103515245 + 12345;
        const std::wstring name = ((seed >> 8) % 2 ? L"Datei" : L"DATEI") + std::to_wstring((seed >> 10) % 9000);
        recs.push_back(Make(Item(name, (seed >> 4) % 10 == 0, (seed >> 12) % 5000)));
    }
    recs.push_back(Make(Item(L"..")));
    for (const bool ascending : {true, false}) {
        SCOPED_TRACE(ascending ? "ascending" : "descending");
        SortFileRecs(recs, {TDirSortKind::dskSize, ascending, true, false}, TFoldCollator());
        ASSERT_EQ(recs.size(), 30001u);
        EXPECT_TRUE(recs.front()->IsParentDir);
        const int direction = ascending ? 1 : -1;
        for (size_t i = 2; i < recs.size(); ++i) {
            const TFileRec& a = *recs[i - 1];
            const TFileRec& b = *recs[i];
            if (a.IsDirectory != b.IsDirectory) {
                ASSERT_TRUE(a.IsDirectory) << i << ": folders first";
                continue;
            }
            if (a.Size != b.Size) {
                ASSERT_EQ(a.Size < b.Size ? 1 : -1, direction) << i << ": by size";
                continue;
            }
            if (a.FileName == b.FileName)
                continue;  // the same name twice: either order
            const std::wstring upperA = UpperCase(a.DisplayName);
            const std::wstring upperB = UpperCase(b.DisplayName);
            const int c = upperA != upperB ? (upperA < upperB ? 1 : -1) : (a.FileName < b.FileName ? 1 : -1);
            ASSERT_EQ(c, direction) << i << ": by name, then ordinal";
        }
    }
}

TEST(DirSortTest, ItemsAddedToASortedFolderAreMergedIntoTheOrderOfAWholeSort)
{
    // A large folder in order, then a few items after it (new ones, and
    // ones whose size or time changed): merged in, they stand where a sort
    // of all puts them; a folder that was not in order is sorted whole.
    std::vector<std::unique_ptr<TFileRec>> recs;
    uint32_t seed = 777;
    const auto next = [&seed] { return seed = seed * 1103515245 + 12345; };
    for (int i = 0; i < 20000; ++i)
        recs.push_back(Make(Item(L"Datei" + std::to_wstring(i), next() % 10 == 0, next() % 3000, next() % 500,
                                 next() % 2 ? 0x20 : 0x21)));
    recs.push_back(Make(Item(L"..")));
    for (const K kind : {K::dskName, K::dskSize, K::dskDate, K::dskAttr})
        for (const bool ascending : {true, false})
            for (const bool prefixInOrder : {true, false}) {
                SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(kind) << (ascending ? " up" : " down")
                                                << (prefixInOrder ? "" : ", prefix out of order"));
                const TDirSortOptions options{kind, ascending, kind == K::dskName, false};
                std::vector<TFileRec*> items;
                for (const auto& rec : recs)
                    items.push_back(rec.get());
                SortFileRecs(items, options, TFoldCollator());
                if (!prefixInOrder)
                    std::swap(items[3], items[items.size() - 7]);
                std::vector<std::unique_ptr<TFileRec>> added;
                for (int i = 0; i < 300; ++i)
                    added.push_back(Make(Item(L"neu" + std::to_wstring(next() % 100000) + L"_" + std::to_wstring(i),
                                              next() % 10 == 0, next() % 3000, next() % 500)));
                std::vector<const TFileRec*> all(items.begin(), items.end());
                const size_t ordered = all.size();
                for (const auto& rec : added)
                    all.push_back(rec.get());
                EXPECT_EQ(SortedOrderAfterAdding(all, ordered, options, TFoldCollator()),
                          SortedOrder(all, options, TFoldCollator()));
            }
}

TEST(DirSortTest, FoldCollatorIgnoresCaseAndKeepsCharacterOrder)
{
    const TFoldCollator fold;
    EXPECT_EQ(fold.SortKey(L"abc"), fold.SortKey(L"ABC"));
    EXPECT_LT(fold.SortKey(L"ABC"), fold.SortKey(L"abd"));
    // Above 0x7F bytes must compare unsigned.
    EXPECT_LT(fold.SortKey(L"z"), fold.SortKey(L"\u00e4"));
    EXPECT_LT(fold.SortKey(L"ab"), fold.SortKey(L"abc"));
}

}  // namespace
