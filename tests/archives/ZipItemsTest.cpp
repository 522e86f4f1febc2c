// The archive list's entries: filtering, directory entries, names and
// paths, cell texts, the five orders, the search by a typed beginning and
// the totals of the selection.

#include "archives/ZipItems.h"
#include "archives/ReaderEntries.h"
#include "archives/ZipItemCells.h"
#include "archives/ZipItemSort.h"
#include "archives/ZipListColumns.h"
#include "common/MaskSearch.h"
#include "framework/StringList.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

using namespace qrv;

namespace {

constexpr uint32_t Dos(int year, int month, int day, int hour = 12, int minute = 0)
{
    return uint32_t(((year - 1980) << 9) | (month << 5) | day) << 16 | uint32_t((hour << 11) | (minute << 5));
}

// A reader's entries; InPlace, it keeps its names itself (with "\"
// between levels), as the zip component does, and the list points to them.
class TFakeView : public TArchiveEntryView {
public:
    TFakeView(std::vector<TArchiveEntry> entries, bool inPlace) : entries_(std::move(entries)), inPlace_(inPlace)
    {
        for (const TArchiveEntry& entry : entries_) {
            names_.push_back(entry.StoredName);
            std::replace(names_.back().begin(), names_.back().end(), L'/', L'\\');
        }
    }
    int Count() const override { return static_cast<int>(entries_.size()); }
    TArchiveEntry Entry(int i) const override { return entries_.at(static_cast<size_t>(i)); }
    bool ReadInPlace(int i, TArchiveEntry& out, std::wstring_view& name) const override
    {
        if (!inPlace_)
            return false;
        const std::wstring kept = std::move(out.StoredName);
        out = entries_.at(static_cast<size_t>(i));
        out.StoredName = kept;
        name = names_[static_cast<size_t>(i)];
        return true;
    }
    bool KeepsNamesInPlace() const override { return inPlace_; }
    const std::vector<std::wstring>& Names() const { return names_; }

private:
    std::vector<TArchiveEntry> entries_;
    std::vector<std::wstring> names_;
    bool inPlace_;
};

TArchiveEntry E(std::wstring name, uint64_t size = 1, uint32_t time = Dos(2020, 5, 1), bool encrypted = false)
{
    TArchiveEntry e;
    e.StoredName = std::move(name);
    e.Size = size;
    e.DateTime = time;
    e.Encrypted = encrypted;
    return e;
}

std::vector<std::wstring> Names(const TZipItems& items)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < items.Count(); ++i)
        names.emplace_back(items[i].Name());
    return names;
}

std::shared_ptr<TFakeView> View(std::vector<TArchiveEntry> entries, bool inPlace = false)
{
    return std::make_shared<TFakeView>(std::move(entries), inPlace);
}

}  // namespace

TEST(ZipItems, ExtensionsAsTheFileExtensionRule)
{
    // The filled item's extension and the helper agree with ExtractFileExt's
    // rule: after the last dot, unless a ":" follows it; upper-cased, cut to 5.
    const struct {
        const wchar_t* Name;
        const wchar_t* Ext;
    } cases[] = {
        {L"a.txt", L"TXT"},
        {L"noext", L""},
        {L"x.", L""},
        {L".bashrc", L"BASHR"},
        {L"a.b:c", L""},
        {L"v1.2.tar.gz", L"GZ"},
        {L"\u00e4.\u00e9t\u00e9", L"\u00c9T\u00c9"},
    };
    std::vector<TArchiveEntry> entries;
    for (const auto& c : cases)
        entries.push_back(E(std::wstring(L"dir.d/") + c.Name));
    TZipItems items;
    items.Fill(View(entries), {});
    ASSERT_EQ(items.Count(), static_cast<int>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(items[static_cast<int>(i)].Ext(), cases[i].Ext) << i;
        EXPECT_EQ(ItemExtension(cases[i].Name), cases[i].Ext) << i;
    }
}

TEST(ZipItems, NamesPathsAndNoDirectoryEntries)
{
    // Names copied into the list, and names read where the reader keeps them.
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace);
        TArchiveEntry folder = E(L"SUB\\DEEP\\");
        TArchiveEntry marked = E(L"MARKED");
        marked.IsDirectory = true;
        TZipItems items;
        const auto view =
            View({folder, E(L"SUB\\A.TXT", 5), marked, E(L"top.doc", 7), E(L"x/y/Readme.markdown", 9)}, inPlace);
        items.Fill(view, {});
        ASSERT_EQ(items.Count(), 3);
        EXPECT_EQ(items[2].Path().data() == view->Names()[4].data(), inPlace);
        EXPECT_EQ(items[0].Name(), L"A.TXT");
        EXPECT_EQ(items[0].Path(), L"SUB\\");
        EXPECT_EQ(items[0].Index, 1);
        EXPECT_EQ(items[0].Ext(), L"TXT");
        EXPECT_EQ(items[1].Path(), L"");
        EXPECT_EQ(items[1].Index, 3);
        EXPECT_EQ(items[2].Name(), L"Readme.markdown");
        EXPECT_EQ(items[2].Path(), L"x\\y\\");
        EXPECT_EQ(items[2].Ext(), L"MARKD");
        EXPECT_EQ(items.TotalSize(), 21u);
        EXPECT_EQ(items.EntryOf(items[2]).Size, 9u);
    }
}

TEST(ZipItems, ReaderRecordsMarkTheirFolders)
{
    TRarEntry rar;
    rar.FileName = L"dir";
    rar.FileAttr = 0x10;
    rar.UnpSize = 3;
    rar.Encrypted = 1;
    EXPECT_TRUE(ArchiveEntryOf(rar).IsDirectory);
    EXPECT_TRUE(ArchiveEntryOf(rar).Encrypted);
    TAceEntry ace;
    ace.FileName = L"f.txt";
    ace.Attributes = 0x20;
    ace.UnpSize = 4;
    EXPECT_FALSE(ArchiveEntryOf(ace).IsDirectory);
    EXPECT_EQ(ArchiveEntryOf(ace).Size, 4u);
}

TEST(ZipItems, MaskSizeAndDateFilters)
{
    TStringList masks;
    ParseMaskList(L"*.txt;*.", masks);
    TZipFilter filter;
    filter.Masks = &masks;
    TZipItems items;
    items.Fill(View({E(L"a.txt"), E(L"B.TXT"), E(L"noext"), E(L"c.doc"), E(L"d\\e.txt")}), filter);
    EXPECT_EQ(Names(items), (std::vector<std::wstring>{L"a.txt", L"B.TXT", L"noext", L"e.txt"}));
    EXPECT_EQ(items.HiddenByFilter(), 1u) << "c.doc";
    items.Fill(View({E(L"a.txt"), E(L"d\\")}), filter);
    EXPECT_EQ(items.HiddenByFilter(), 0u) << "a folder entry is no hidden file";

    // A 5 GiB entry passes the default window, clamped for the compare, and
    // keeps its full size.
    items.Fill(View({E(L"huge.iso", 5ull << 30), E(L"small", 10)}), TZipFilter{});
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items[0].Size, 5ull << 30);
    EXPECT_EQ(items.TotalSize(), (5ull << 30) + 10);
    TZipFilter sized;
    sized.SizeFrom = 11;
    items.Fill(View({E(L"huge.iso", 5ull << 30), E(L"small", 10), E(L"eleven", 11)}), sized);
    EXPECT_EQ(Names(items), (std::vector<std::wstring>{L"huge.iso", L"eleven"}));
    sized.SizeFrom = 0;
    sized.SizeTo = 10;
    items.Fill(View({E(L"huge.iso", 5ull << 30), E(L"small", 10), E(L"eleven", 11)}), sized);
    EXPECT_EQ(Names(items), (std::vector<std::wstring>{L"small"}));
    // Bounds beyond 2 GiB compare with the full sizes.
    sized.SizeFrom = 3000000000;
    sized.SizeTo = 2147483647;  // no upper bound
    items.Fill(View({E(L"huge.iso", 5ull << 30), E(L"three", 3ull << 30), E(L"two", 2ull << 30)}), sized);
    EXPECT_EQ(Names(items), (std::vector<std::wstring>{L"huge.iso", L"three"}));
    sized.SizeTo = 4000000000;
    items.Fill(View({E(L"huge.iso", 5ull << 30), E(L"three", 3ull << 30), E(L"two", 2ull << 30)}), sized);
    EXPECT_EQ(Names(items), (std::vector<std::wstring>{L"three"}));

    // The date window holds the whole last day, not the day after.
    TZipFilter dated;
    dated.DateFrom = static_cast<uint16_t>(Dos(2021, 3, 2) >> 16);
    dated.DateTo = static_cast<uint16_t>(Dos(2021, 3, 4) >> 16);
    items.Fill(View({E(L"before", 1, Dos(2021, 3, 1, 23, 59)), E(L"first", 1, Dos(2021, 3, 2, 0, 0)),
                     E(L"lastEvening", 1, Dos(2021, 3, 4, 23, 59)), E(L"after", 1, Dos(2021, 3, 5, 0, 0))}),
               dated);
    EXPECT_EQ(Names(items), (std::vector<std::wstring>{L"first", L"lastEvening"}));
}

TEST(ZipItems, ALargeListReadInPartsAsOneByOne)
{
    // 20,000 entries with folders (by name and by the reader's mark), sizes
    // and masks that leave some out: read in parts where the reader keeps
    // its names in place, the list must hold what reading them one by one
    // gives, in the reader's order.
    std::vector<TArchiveEntry> entries;
    for (int i = 0; i < 20000; ++i) {
        const std::wstring folder = L"ordner" + std::to_wstring(i % 13) + (i % 2 ? L"\\" : L"/");
        TArchiveEntry entry =
            E(folder + L"datei" + std::to_wstring(i) + (i % 3 ? L".txt" : L".doc"), static_cast<uint64_t>(i) * 1000);
        if (i % 97 == 0)
            entry.StoredName = folder;
        entry.IsDirectory = i % 101 == 0;
        entries.push_back(entry);
    }
    TStringList masks;
    ParseMaskList(L"*.txt", masks);
    TZipFilter masked;
    masked.Masks = &masks;
    TZipFilter sized;
    sized.SizeTo = 9000000;
    for (const TZipFilter& used : {TZipFilter{}, masked, sized}) {
        TZipItems oneByOne, inParts;
        oneByOne.Fill(View(entries, false), used);
        inParts.Fill(View(entries, true), used);
        ASSERT_GT(inParts.Count(), 1000);
        ASSERT_EQ(inParts.Count(), oneByOne.Count());
        for (int row = 0; row < inParts.Count(); ++row) {
            ASSERT_EQ(inParts[row].Index, oneByOne[row].Index) << row;
            ASSERT_EQ(inParts[row].Name(), oneByOne[row].Name()) << row;
            ASSERT_EQ(inParts[row].Path(), oneByOne[row].Path()) << row;
            ASSERT_EQ(inParts[row].Size, oneByOne[row].Size) << row;
        }
        EXPECT_EQ(inParts.TotalSize(), oneByOne.TotalSize());
        EXPECT_EQ(inParts.NameLengths(), oneByOne.NameLengths());
        EXPECT_EQ(inParts.HiddenByFilter(), oneByOne.HiddenByFilter());
    }
}

TEST(ZipItemCells, AbbreviatedSizes)
{
    const struct {
        uint64_t Size;
        const wchar_t* Shown;
    } cases[] = {{0, L"0 KB"},    {1, L"1 KB"},    {511, L"1 KB"},
                 {512, L"1 KB"},  {1023, L"1 KB"}, {1024, L"1 KB"},
                 {1535, L"1 KB"}, {1536, L"2 KB"}, {5ull << 30, L"5.242.880 KB"}};
    TZipCellOptions options;
    options.AbbreviatedSize = true;
    for (const auto& c : cases) {
        TZipItem item;
        item.Size = c.Size;
        EXPECT_EQ(ZipCellText(item, {}, zcSize, options, nullptr), c.Shown) << c.Size;
    }
    TZipItem big;
    big.Size = 5ull << 30;
    EXPECT_EQ(ZipCellText(big, {}, zcSize, TZipCellOptions{}, nullptr), L"5.368.709.120");
}

TEST(ZipItemCells, NameDisplayExtensionAndEncryption)
{
    const struct {
        TFileNameDisplay Display;
        bool ShowExtension;
        bool Encrypted;
        const wchar_t* Shown;
    } cases[] = {
        {TFileNameDisplay::fndStored, true, false, L"mY fiLe.Txt"},
        {TFileNameDisplay::fndStored, false, false, L"mY fiLe"},
        {TFileNameDisplay::fndCap, true, true, L"MY FILE.TXT+"},
        {TFileNameDisplay::fndNoCap, false, true, L"my file+"},
        {TFileNameDisplay::fndNice, true, false, L"My File.txt"},
        {TFileNameDisplay::fndNice, false, true, L"My File+"},
    };
    for (const auto& c : cases) {
        TZipCellOptions options;
        options.FileNameDisplay = c.Display;
        options.ShowExtension = c.ShowExtension;
        EXPECT_EQ(FormatDisplayName(L"mY fiLe.Txt", c.Encrypted, options), c.Shown);
    }
}

TEST(ZipItemCells, TypeChangedAndPathColumns)
{
    TZipItems items;
    items.Fill(View({E(L"SUB\\A.TXT", 5, Dos(2020, 5, 1, 13, 30))}), {});
    TZipItem& item = items[0];
    const TArchiveEntry entry = items.EntryOf(item);
    TZipCellOptions options;
    const TDosTimeFormatter time = [](uint32_t dos) { return std::to_wstring(dos); };
    EXPECT_EQ(ZipCellText(item, entry, zcType, options, time), L"TXT");  // no type name yet
    const TZipTypeInfo text{0, L"Textdokument"};
    item.Type = &text;
    EXPECT_EQ(ZipCellText(item, entry, zcType, options, time), L"Textdokument");
    options.SortByExtension = true;
    EXPECT_EQ(ZipCellText(item, entry, zcType, options, time), L"TXT");
    EXPECT_EQ(ZipCellText(item, entry, zcChanged, options, time), std::to_wstring(Dos(2020, 5, 1, 13, 30)));
    EXPECT_EQ(ZipCellText(item, entry, zcPath, options, time), L"SUB\\");
    EXPECT_EQ(ZipCellText(item, entry, 7, options, time), L"");
}

TEST(ZipItemSort, EachColumnBothWays)
{
    const std::vector<TArchiveEntry> entries = {
        E(L"b\\zeta.txt", 30, Dos(2020, 1, 3)),
        E(L"Alpha.doc", 10, Dos(2020, 1, 2)),
        E(L"a\\beta.TXT", 20, Dos(2020, 1, 1)),
        E(L"a\\Gamma.bmp", 40, Dos(2020, 1, 4)),
    };
    static const TZipTypeInfo text{0, L"Textdokument"}, letter{0, L"Brief"}, picture{0, L"Bild"};
    const auto typeNames = [](TZipItems& items) {
        for (auto& item : items.Items())
            item.Type = item.Ext() == L"TXT" ? &text : item.Ext() == L"DOC" ? &letter : &picture;
    };
    const struct {
        int Column;
        bool SortByExtension;
        std::vector<std::wstring> Ascending;
    } cases[] = {
        {zcName, false, {L"Alpha.doc", L"beta.TXT", L"Gamma.bmp", L"zeta.txt"}},
        {zcSize, false, {L"Alpha.doc", L"beta.TXT", L"zeta.txt", L"Gamma.bmp"}},
        {zcType, false, {L"Gamma.bmp", L"Alpha.doc", L"beta.TXT", L"zeta.txt"}},
        {zcType, true, {L"Gamma.bmp", L"Alpha.doc", L"zeta.txt", L"beta.TXT"}},  // stable on equal keys
        {zcChanged, false, {L"beta.TXT", L"Alpha.doc", L"zeta.txt", L"Gamma.bmp"}},
        {zcPath, false, {L"Alpha.doc", L"beta.TXT", L"Gamma.bmp", L"zeta.txt"}},
    };
    const TFoldCollator collator;
    for (const auto& c : cases) {
        for (const bool ascending : {true, false}) {
            TZipItems items;
            items.Fill(View(entries), {});
            typeNames(items);
            ASSERT_TRUE(SortZipItems(items, c.Column, ascending, c.SortByExtension, collator));
            std::vector<std::wstring> expected = c.Ascending;
            if (!ascending && !(c.Column == zcType && c.SortByExtension))
                std::reverse(expected.begin(), expected.end());
            if (!ascending && c.Column == zcType && c.SortByExtension)
                expected = {L"zeta.txt", L"beta.TXT", L"Alpha.doc", L"Gamma.bmp"};
            EXPECT_EQ(Names(items), expected) << c.Column << " " << ascending;
        }
    }
    TZipItems items;
    TZipItems none;
    EXPECT_TRUE(SortZipItems(none, zcName, true, false, collator));
    items.Fill(View(entries), {});
    EXPECT_FALSE(SortZipItems(items, 5, true, false, collator));
    EXPECT_EQ(items[0].Name(), L"zeta.txt");
}

TEST(ZipItemSort, PathDecidesBeforeName)
{
    // "b\a.txt" has the smallest name but the larger path.
    TZipItems items;
    items.Fill(View({E(L"b\\a.txt"), E(L"A\\z.txt"), E(L"a\\y.txt"), E(L"top.txt")}), {});
    ASSERT_TRUE(SortZipItems(items, zcPath, true, false, TFoldCollator{}));
    EXPECT_EQ(Names(items), (std::vector<std::wstring>{L"top.txt", L"y.txt", L"z.txt", L"a.txt"}));
    EXPECT_EQ(items[3].Path(), L"b\\");
}

TEST(ZipItems, FindByBeginningWithAndWithoutWrap)
{
    TZipItems items;
    items.Fill(View({E(L"alpha"), E(L"Readme.txt"), E(L"beta"), E(L"report.doc"), E(L"gamma")}), {});
    EXPECT_EQ(items.FindByPrefix(L"re", 0, false), 1);
    EXPECT_EQ(items.FindByPrefix(L"RE", 2, false), 3);
    EXPECT_EQ(items.FindByPrefix(L"rea", 2, false), -1);
    EXPECT_EQ(items.FindByPrefix(L"rea", 2, true), 1);
    EXPECT_EQ(items.FindByPrefix(L"gamma", 4, true), 4);
    EXPECT_EQ(items.FindByPrefix(L"gammas", 0, true), -1);
    EXPECT_EQ(items.FindByPrefix(L"x", 0, true), -1);
    TZipItems empty;
    EXPECT_EQ(empty.FindByPrefix(L"a", 0, true), -1);
}

TEST(ZipItems, SelectionTotalsFollowTheEntries)
{
    TZipItems items;
    items.Fill(View({E(L"a", 5ull << 30), E(L"b", 7), E(L"c", 11)}), {});
    items.SetSelected(0, true);
    items.SetSelected(2, true);
    items.SetSelected(2, true);  // again: no double count
    EXPECT_EQ(items.SelCount(), 2);
    EXPECT_EQ(items.SelSize(), (5ull << 30) + 11);
    items.SetSelected(0, false);
    EXPECT_EQ(items.SelCount(), 1);
    EXPECT_EQ(items.SelSize(), 11u);
    // Sorting moves the flag with its entry, and an entry's row follows.
    ASSERT_TRUE(SortZipItems(items, zcSize, false, false, TFoldCollator{}));
    EXPECT_EQ(items[1].Name(), L"c");
    EXPECT_TRUE(items[1].Selected);
    EXPECT_EQ(items.RowOfEntry(2), 1);
    EXPECT_EQ(items.RowOfEntry(1), 2);
    EXPECT_EQ(items.RowOfEntry(3), -1);
    items.Clear();
    EXPECT_EQ(items.SelCount(), 0);
    EXPECT_EQ(items.TotalSize(), 0u);
}

TEST(ZipItemSort, ManyNamesOrderAsAPlainStableSort)
{
    // Names with long shared beginnings, names that begin others, names
    // equal but for case (equal keys) and sizes with repeats, sorted after a
    // sort by name: the sort must give the order of a plain stable sort over
    // the same keys, both ways, with the compact keys of plain names and,
    // when one name has none, with full keys for all. A list of 10,000 is
    // sorted in parts on several threads, also when every name begins with
    // the same 28 characters.
    struct TCase {
        int Count;
        bool OneWideName;
        bool AllShareABeginning;
    } cases[] = {
        {3000, false, false}, {3000, true, false}, {10000, false, false}, {10000, true, false}, {10000, false, true}};
    for (const TCase& c : cases) {
        std::mt19937 random(35);
        std::vector<TArchiveEntry> entries;
        const std::wstring letters = L"abAB0_.";
        if (c.OneWideName)
            entries.push_back(E(L"dir\\\u0100bc"));
        for (int i = 0; i < c.Count; ++i) {
            std::wstring name = (i % 3 == 0 || c.AllShareABeginning) ? L"common-prefix-of-many-names-" : L"";
            const int length = static_cast<int>(random() % (i % 2 ? 4 : 20));
            for (int k = 0; k < length; ++k)
                name += letters[random() % letters.size()];
            // Folders that begin others, equal but for case, in runs and
            // scattered.
            static const wchar_t* const folders[] = {L"", L"dir\\", L"DIR\\", L"dir\\sub\\", L"di\\", L"a-b\\"};
            const wchar_t* folder = folders[(i / 7) % std::size(folders)];
            if (i % 5 == 0)
                folder = folders[random() % std::size(folders)];
            if (!name.empty())
                entries.push_back(E(folder + name, random() % 7, Dos(2020, 1 + random() % 12, 1 + random() % 28)));
        }
        const TFoldCollator collator;
        static const TZipTypeInfo types[] = {{0, L"Text"}, {0, L"Textdokument"}, {0, L""}};
        for (const int column : {zcName, zcSize, zcType, zcChanged, zcPath}) {
            for (const bool ascending : {true, false}) {
                SCOPED_TRACE(testing::Message() << c.Count << " names" << (c.OneWideName ? ", one wide" : "")
                                                << (c.AllShareABeginning ? ", all alike" : "") << ", column " << column
                                                << (ascending ? " up" : " down"));
                TZipItems items;
                items.Fill(View(entries), {});
                // Some types looked up (one without a name), some not.
                for (TZipItem& item : items.Items())
                    item.Type = item.Index % 4 == 3 ? nullptr : &types[item.Index % 4];
                // From the order by name: equal keys keep the rows' order.
                ASSERT_TRUE(SortZipItems(items, zcName, true, false, collator));
                // By type: the upper-cased type name (or the extension) by
                // code units, then the name; by path: the path, then the
                // name; by date: the entry's time. Made once per item.
                using TKey = std::tuple<std::string, std::wstring, std::string, uint64_t>;
                std::vector<std::pair<TKey, int>> expected;
                for (int row = 0; row < items.Count(); ++row) {
                    const TZipItem& item = items[row];
                    TKey key;
                    if (column == zcPath)
                        std::get<0>(key) = collator.SortKey(item.Path());
                    if (column == zcType)
                        std::get<1>(key) = item.TypeName().empty() ? item.Ext() : UpperCase(item.TypeName());
                    if (column == zcSize)
                        std::get<3>(key) = item.Size;
                    else if (column == zcChanged)
                        std::get<3>(key) = items.EntryOf(item).DateTime;
                    else
                        std::get<2>(key) = collator.SortKey(item.Name());
                    expected.emplace_back(std::move(key), item.Index);
                }
                std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
                    return ascending ? a.first < b.first : b.first < a.first;
                });
                std::vector<int> expectedIndices;
                for (const auto& [key, index] : expected)
                    expectedIndices.push_back(index);
                ASSERT_TRUE(SortZipItems(items, column, ascending, false, collator));
                std::vector<int> indices;
                for (int row = 0; row < items.Count(); ++row)
                    indices.push_back(items[row].Index);
                EXPECT_EQ(indices, expectedIndices);
            }
        }
    }
}

TEST(ZipItemSort, ATypeThatBeginsAnotherSortsWhollyBeforeIt)
{
    const TFoldCollator collator;
    const TZipTypeInfo text{0, L"Text"}, document{0, L"Textdokument"};
    for (const std::wstring& odd : {std::wstring(L"m.b"), std::wstring(L"m\u0100.b")}) {  // compact and full keys
        TZipItems items;
        items.Fill(View({E(L"a.b"), E(L"z.a"), E(odd), E(L"b.a")}), {});
        for (TZipItem& item : items.Items())
            item.Type = item.Ext() == L"A" ? &text : &document;
        ASSERT_TRUE(SortZipItems(items, zcType, true, false, collator));
        EXPECT_EQ(Names(items), (std::vector<std::wstring>{L"b.a", L"z.a", L"a.b", odd}));
    }
}
