#include "panels/FileSelect.h"

#include "FakeDirSystem.h"
#include "panels/DirViewCore.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace qrv;
using qrv::test::DosTime;
using qrv::test::FakeDirSystem;

namespace {

constexpr uint64_t kGiB = 1ull << 30;
// The fake search stores LastWrite as this base plus the local DOS time;
// earlier times (before 1980) have no DOS time, as on the system.
constexpr uint64_t kFakeTimeBase = 132000000000000000ull;

uint32_t FakeLocalDosTime(uint64_t FileTime)
{
    return FileTime < kFakeTimeBase ? 0 : static_cast<uint32_t>(FileTime - kFakeTimeBase);
}

class SelectView : public TDirViewCore {
public:
    explicit SelectView(FakeDirSystem& sys) : TDirViewCore(nullptr, sys, sys, DirViewTextsFor(kLangGerman)) {}

    std::vector<std::wstring> Selected() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < ItemCount(); ++i)
            if (GetItemData(i)->Selected)
                names.push_back(GetItemData(i)->FileName);
        return names;
    }
    int Shown = 0;

protected:
    std::wstring LoadMask() const override { return L"*.*"; }
    void ItemsChanged() override { ++Shown; }
};

// C:\Daten: files of every kind, a folder named like a file, and "..".
class FileSelectTest : public testing::Test {
protected:
    void SetUp() override
    {
        sys.AddFolder(L"C:\\Daten");
        sys.AddFile(L"C:\\Daten", L"brief.txt", 1200);
        sys.AddFile(L"C:\\Daten", L"Notiz.TXT", 10, faArchive | faReadOnly);
        sys.AddFile(L"C:\\Daten", L"bild.png", 300000, faHidden);
        sys.AddFile(L"C:\\Daten", L"system.dat", 5, faSysFile);
        sys.AddFile(L"C:\\Daten", L"packed.bin", 5, faCompressed | faArchive);
        sys.AddFile(L"C:\\Daten", L"secret.bin", 5, faEncrypted);
        sys.AddFolder(L"C:\\Daten\\x.txt");
        view.SetPath(L"C:\\Daten");
    }
    std::vector<std::wstring> Select(const TFileSelectFilter& filter, bool compression = true)
    {
        SelectFiles(view, filter, true, compression, FakeLocalDosTime);
        return view.Selected();
    }

    FakeDirSystem sys;
    SelectView view{sys};
};

TFileSelectFilter Masks(const std::wstring& masks, bool dirs = false)
{
    TFileSelectFilter filter;
    filter.Masks = masks;
    filter.IncludeDirs = dirs;
    return filter;
}

using Names = std::vector<std::wstring>;

TEST_F(FileSelectTest, MasksSelectFilesButFoldersOnlyWhenAsked)
{
    struct Case {
        std::wstring Masks;
        bool Dirs;
        Names Expected;
    };
    const Case cases[] = {
        {L"*.txt", false, {L"brief.txt", L"Notiz.TXT"}},
        {L"*.txt", true, {L"x.txt", L"brief.txt", L"Notiz.TXT"}},
        {L"*.png;s*", false, {L"bild.png", L"secret.bin", L"system.dat"}},
        {L"nichts.*", false, {}},
    };
    for (const Case& c : cases) {
        view.SelectRange(-1, -1, false);
        const Names selected = Select(Masks(c.Masks, c.Dirs));
        EXPECT_EQ(std::set<std::wstring>(selected.begin(), selected.end()),
                  std::set<std::wstring>(c.Expected.begin(), c.Expected.end()))
            << WideToUtf8(c.Masks);
    }
}

TEST_F(FileSelectTest, TheParentItemIsNeverSelected)
{
    ASSERT_TRUE(view.HasParentItem());
    const Names selected = Select(Masks(L"*.*", true));
    EXPECT_EQ(selected.size(), 7u);
    for (const std::wstring& name : selected)
        EXPECT_NE(name, L"..");
    EXPECT_EQ(view.SelCount(), 7);
}

TEST_F(FileSelectTest, EachAttributeIsRequiredOrForbidden)
{
    struct Case {
        TSelAttr TFileSelectFilter::*Field;
        TSelAttr Choice;
        Names Expected;
    };
    using F = TFileSelectFilter;
    const Case cases[] = {
        {&F::Archive, TSelAttr::SelYes, {L"brief.txt", L"Notiz.TXT", L"packed.bin"}},
        {&F::Archive, TSelAttr::SelNo, {L"bild.png", L"secret.bin", L"system.dat"}},
        {&F::ReadOnly, TSelAttr::SelYes, {L"Notiz.TXT"}},
        {&F::Hidden, TSelAttr::SelYes, {L"bild.png"}},
        {&F::SysFile, TSelAttr::SelYes, {L"system.dat"}},
        {&F::Compressed, TSelAttr::SelYes, {L"packed.bin"}},
        {&F::Encrypted, TSelAttr::SelYes, {L"secret.bin"}},
        {&F::Encrypted, TSelAttr::SelNo, {L"bild.png", L"brief.txt", L"Notiz.TXT", L"packed.bin", L"system.dat"}},
    };
    for (const Case& c : cases) {
        view.SelectRange(-1, -1, false);
        TFileSelectFilter filter;
        filter.*c.Field = c.Choice;
        const Names selected = Select(filter);
        EXPECT_EQ(std::set<std::wstring>(selected.begin(), selected.end()),
                  std::set<std::wstring>(c.Expected.begin(), c.Expected.end()));
    }
    // Without the drive's compression bits those two choices are ignored.
    view.SelectRange(-1, -1, false);
    TFileSelectFilter filter;
    filter.Compressed = TSelAttr::SelYes;
    EXPECT_EQ(Select(filter, false).size(), 6u);
}

TEST_F(FileSelectTest, DeselectingKeepsWhatDoesNotMatchAndShowsOnce)
{
    view.SelectAllItems(false);
    const int shown = view.Shown;
    EXPECT_EQ(SelectFiles(view, Masks(L"*.bin"), false, true, FakeLocalDosTime), 2);
    EXPECT_EQ(view.Shown, shown + 1);
    const Names left = view.Selected();
    EXPECT_EQ(std::set<std::wstring>(left.begin(), left.end()),
              (std::set<std::wstring>{L"bild.png", L"brief.txt", L"Notiz.TXT", L"system.dat"}));
}

TEST(FileSelectSizes, LargeFilesCompareBySixtyFourBits)
{
    FakeDirSystem sys;
    sys.AddFolder(L"C:\\Gross");
    sys.AddFile(L"C:\\Gross", L"drei.bin", 3 * kGiB);
    sys.AddFile(L"C:\\Gross", L"fuenf.bin", 5 * kGiB);
    sys.AddFile(L"C:\\Gross", L"klein.bin", 100);
    SelectView view(sys);
    view.SetPath(L"C:\\Gross");
    struct Case {
        int64_t From, To;
        Names Expected;
    };
    const Case cases[] = {
        {3000000000, kNoSizeBound, {L"drei.bin", L"fuenf.bin"}},
        {3000000000, 4000000000, {L"drei.bin"}},
        {0, 4000000000, {L"drei.bin", L"klein.bin"}},
        {0, 5000000000, {L"drei.bin", L"klein.bin"}},
        {0, 5 * static_cast<int64_t>(kGiB), {L"drei.bin", L"fuenf.bin", L"klein.bin"}},
        {0, 99, {}},
    };
    for (const Case& c : cases) {
        view.SelectRange(-1, -1, false);
        TFileSelectFilter filter;
        filter.SizeFrom = c.From;
        filter.SizeTo = c.To;
        SelectFiles(view, filter, true, false, FakeLocalDosTime);
        const Names selected = view.Selected();
        EXPECT_EQ(std::set<std::wstring>(selected.begin(), selected.end()),
                  std::set<std::wstring>(c.Expected.begin(), c.Expected.end()))
            << c.From << ".." << c.To;
    }
}

TEST(FileSelectDates, OldFilesCountAsNineteenEightyAndTheLastDayIsWhole)
{
    FakeDirSystem sys;
    sys.AddFolder(L"C:\\Alt");
    sys.AddFile(L"C:\\Alt", L"alt.txt", 1, faArchive, 0).LastWrite = kFakeTimeBase - 1;  // 1975
    sys.AddFile(L"C:\\Alt", L"ohne.txt", 1, faArchive, 0);
    sys.AddFile(L"C:\\Alt", L"spaet.txt", 1, faArchive, DosTime(2000, 1, 1, 23, 59) | 29);  // 23:59:58
    sys.AddFile(L"C:\\Alt", L"danach.txt", 1, faArchive, DosTime(2000, 1, 2, 0, 0));
    SelectView view(sys);
    view.SetPath(L"C:\\Alt");
    struct Case {
        uint32_t From, To;
        Names Expected;
    };
    const uint16_t day1980 = DosTime(1980, 1, 1) >> 16;
    const uint16_t day2000 = DosTime(2000, 1, 1) >> 16;
    const Case cases[] = {
        {day1980, day1980, {L"alt.txt", L"ohne.txt"}},
        {day2000, day2000, {L"spaet.txt"}},
        {day1980, day2000, {L"alt.txt", L"ohne.txt", L"spaet.txt"}},
    };
    for (const Case& c : cases) {
        view.SelectRange(-1, -1, false);
        TFileSelectFilter filter;
        filter.DateFrom = static_cast<uint16_t>(c.From);
        filter.DateTo = static_cast<uint16_t>(c.To);
        SelectFiles(view, filter, true, false, FakeLocalDosTime);
        const Names selected = view.Selected();
        EXPECT_EQ(std::set<std::wstring>(selected.begin(), selected.end()),
                  std::set<std::wstring>(c.Expected.begin(), c.Expected.end()));
    }
}

TEST(FileSelectRecycleBin, MasksMatchTheNameShownNotTheStorePath)
{
    TFileRec rec;
    rec.FileName = L"C:\\RECYCLER\\S-1-5-21\\$R4F2K.txt";
    rec.DisplayName = L"bericht.txt";
    rec.Size = 10;
    const std::wstring_view shown = SelectionName(rec, true);
    EXPECT_EQ(shown, L"bericht.txt");
    const TFileSelectMatcher bericht(Masks(L"bericht*"), false, FakeLocalDosTime);
    const TFileSelectMatcher store(Masks(L"$r*"), false, FakeLocalDosTime);
    rec.LastWrite = kFakeTimeBase + DosTime(2020, 5, 17);
    EXPECT_TRUE(bericht.Matches(rec, shown));
    EXPECT_FALSE(store.Matches(rec, shown));
    // A plain list matches its file names.
    EXPECT_EQ(SelectionName(rec, false), rec.FileName);
}

}  // namespace
