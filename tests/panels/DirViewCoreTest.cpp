#include "panels/DirViewCore.h"

#include "FakeDirSystem.h"
#include "panels/FileSelect.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace qrv;
using qrv::test::DosTime;
using qrv::test::FakeDirSystem;

namespace {

constexpr uint64_t kGiB = 1ull << 30;

// A list without a window: it records what it tells the window and every event.
class TestView : public TDirViewCore {
public:
    explicit TestView(FakeDirSystem& sys) : TDirViewCore(nullptr, sys, sys, DirViewTextsFor(kLangGerman))
    {
        OnStartLoading = [this](TComponent*) { Trace.push_back(L"start"); };
        OnAddFile = [this](TComponent*, TSearchRec& rec, bool&) { Trace.push_back(L"add " + rec.Name); };
        OnError = [this](TComponent*, const std::wstring& path, uint32_t error) {
            Trace.push_back(L"error " + path + L" " + std::to_wstring(error));
        };
        OnDirUpdated = [this](TComponent*) { Trace.push_back(L"updated"); };
        OnLoaded = [this](TComponent*) { Trace.push_back(L"loaded"); };
        OnFileSizeChanged = [this](TComponent*, TFileRec& item) { Trace.push_back(L"size " + item.FileName); };
    }

    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < ItemCount(); ++i)
            names.push_back(GetItemData(i)->FileName);
        return names;
    }
    TFileRec& Item(const std::wstring& name)
    {
        TFileRec* item = FindFileItem(name);
        if (!item)
            throw std::runtime_error("no item " + WideToUtf8(name));
        return *item;
    }
    std::vector<std::wstring> Selected() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < ItemCount(); ++i)
            if (GetItemData(i)->Selected)
                names.push_back(GetItemData(i)->FileName);
        return names;
    }

    std::wstring Mask = L"*.*";
    bool Thumbs = false;
    std::vector<std::wstring> Trace;
    int Begins = 0;
    int Ends = 0;
    int Shown = 0;

protected:
    std::wstring LoadMask() const override { return Mask; }
    void ViewBeginUpdate() override { ++Begins; }
    void ViewEndUpdate() override { ++Ends; }
    void ItemsChanged() override { ++Shown; }
    bool IsThumbView() const override { return Thumbs; }
};

// C:\Daten with two files, a folder and a hidden folder; C:\Daten\Alt empty.
class DirViewCoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        sys.AddFolder(L"C:\\Daten");
        sys.AddFile(L"C:\\Daten", L"brief.txt", 1200);
        sys.AddFolder(L"C:\\Daten\\Alt");
        sys.AddFile(L"C:\\Daten", L"Bild.PNG", 300000);
        sys.AddFolder(L"C:\\Daten\\.git", faHidden);
    }

    FakeDirSystem sys;
    TestView view{sys};
};

// ---- Loading --------------------------------------------------------------------------

TEST_F(DirViewCoreTest, AGoodLoadFiresItsEventsInOrder)
{
    view.SetPath(L"C:\\Daten\\");
    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{L"start", L"add brief.txt", L"add Alt", L"add Bild.PNG",
                                                     L"add .git", L"updated", L"loaded"}));
    EXPECT_EQ(view.Path(), L"C:\\Daten");
    EXPECT_TRUE(view.Loaded());
    EXPECT_TRUE(view.ItemsReady());
    EXPECT_FALSE(view.Loading());
    // "..", the folders, then the files, each by name.
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L".git", L"Alt", L"Bild.PNG", L"brief.txt"}));
    EXPECT_EQ(view.EntryCount(), 4);
    EXPECT_EQ(view.DirCount(), 2u);
    EXPECT_EQ(view.TotalSize(), 301200u);
    EXPECT_EQ(view.Begins, view.Ends);
    EXPECT_GT(view.Shown, 0);
}

TEST_F(DirViewCoreTest, RecordsCarryTheEntry)
{
    view.SetPath(L"C:\\Daten");
    const TFileRec& file = view.Item(L"Bild.PNG");
    EXPECT_EQ(file.Ext, L"PNG");
    EXPECT_EQ(file.Size, 300000u);
    EXPECT_EQ(file.Attr, faArchive);
    EXPECT_EQ(file.LastWrite, sys.Find(L"C:\\Daten", L"Bild.PNG")->LastWrite);
    EXPECT_FALSE(file.IsDirectory);
    EXPECT_TRUE(file.InfoEmpty);
    EXPECT_TRUE(file.IconEmpty);
    const TFileRec& folder = view.Item(L"Alt");
    EXPECT_TRUE(folder.IsDirectory);
    EXPECT_EQ(folder.Ext, L"");
    EXPECT_EQ(folder.Size, kUnknownDirSize);
    EXPECT_TRUE(SizeUnknown(folder));
    EXPECT_EQ(view.ItemFullFileName(&folder), L"C:\\Daten\\Alt");

    const TFileRec& parent = *view.GetItemData(0);
    EXPECT_TRUE(parent.IsParentDir);
    EXPECT_FALSE(parent.InfoEmpty);
    EXPECT_EQ(parent.TypeName, L"Übergeordneter Dateiordner");
    EXPECT_EQ(parent.Attr, faDirectory) << "the attributes of the folder itself";
    EXPECT_EQ(parent.ImageIndex, sys.Icons().FolderIcon);
}

TEST_F(DirViewCoreTest, AMissingPathReportsItsErrorAndNoUpdate)
{
    view.SetPath(L"C:\\Daten\\Fehlt");
    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{
                              L"start", L"error C:\\Daten\\Fehlt " + std::to_wstring(kErrorFileNotFound), L"loaded"}));
    EXPECT_FALSE(view.Loaded());
    EXPECT_EQ(view.Names(), std::vector<std::wstring>{L".."});

    view.Trace.clear();
    view.SetPath(L"Q:\\");
    EXPECT_EQ(view.Trace,
              (std::vector<std::wstring>{L"start", L"error Q: " + std::to_wstring(kErrorPathNotFound), L"loaded"}));
    EXPECT_EQ(view.ItemCount(), 0) << "no \"..\" at a root";
}

TEST_F(DirViewCoreTest, AFolderThatCannotBeListedIsNotLoaded)
{
    sys.ListErrors[L"C:\\DATEN"] = 5;
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{L"start", L"error C:\\Daten 5", L"loaded"}));
    EXPECT_FALSE(view.Loaded());
}

TEST_F(DirViewCoreTest, AnEmptyRootIsNoErrorAndHasNoParentItem)
{
    view.SetPath(L"C:\\");
    EXPECT_EQ(view.GetPath(), L"C:\\");
    EXPECT_EQ(view.Path(), L"C:");
    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{L"start", L"add Daten", L"updated", L"loaded"}));
    sys.Remove(L"C:", L"Daten");
    view.Trace.clear();
    view.Reload(false);
    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{L"start", L"updated", L"loaded"}));
    EXPECT_TRUE(view.Loaded());
    EXPECT_EQ(view.ItemCount(), 0);
    EXPECT_FALSE(view.HasParentItem());
}

TEST_F(DirViewCoreTest, TheSamePathDoesNotLoadAgain)
{
    view.SetPath(L"C:\\Daten");
    const int listings = sys.Listings;
    view.SetPath(L"C:\\Daten\\\\");
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(sys.Listings, listings);
}

TEST_F(DirViewCoreTest, AHandlerVetoesOrRenamesEntries)
{
    view.OnAddFile = [](TComponent*, TSearchRec& rec, bool& add) {
        if (rec.Name == L"brief.txt")
            add = false;
        if (rec.Name == L"Alt")
            rec.Name = L"Archiv";
    };
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L".git", L"Archiv", L"Bild.PNG"}));
}

TEST_F(DirViewCoreTest, DirectoryOptionsHideFolders)
{
    view.SetHideHiddenDirs(true);
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L"Alt", L"Bild.PNG", L"brief.txt"}));
    view.SetShowDirectories(false);
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L"Bild.PNG", L"brief.txt"}));
    EXPECT_EQ(view.DirCount(), 0u);

    // Only hidden folders: just "..".
    sys.AddFolder(L"C:\\Versteckt");
    sys.AddFolder(L"C:\\Versteckt\\a", faHidden);
    view.SetShowDirectories(true);
    view.SetPath(L"C:\\Versteckt");
    EXPECT_EQ(view.Names(), std::vector<std::wstring>{L".."});
}

// The tree asks whether the folder the list shows has subfolders: the items
// read answer, as far as the load kept every folder that would count.
TEST_F(DirViewCoreTest, TheFolderShownTellsWhetherItHasSubfolders)
{
    sys.AddFolder(L"C:\\Flach");
    sys.AddFile(L"C:\\Flach", L"a.txt", 1);
    sys.AddFolder(L"C:\\Versteckt");
    sys.AddFolder(L"C:\\Versteckt\\a", faHidden);
    view.OnAddFile = nullptr;
    const std::optional<bool> unknown;
    struct Case {
        const char* what;
        const wchar_t* shown;
        bool listHidesHidden;
        bool listShowsDirs;
        const wchar_t* asked;
        bool treeHidesHidden;
        std::optional<bool> answer;
    } cases[] = {
        {"a listed folder", L"C:\\Daten", false, true, L"C:\\Daten", false, true},
        {"asked in another case, with a backslash", L"C:\\Daten", false, true, L"c:\\DATEN\\", true, true},
        {"files only", L"C:\\Flach", false, true, L"C:\\Flach", false, false},
        {"a hidden folder counts for the tree that shows them", L"C:\\Versteckt", false, true, L"C:\\Versteckt", false,
         true},
        {"not for the tree that hides them", L"C:\\Versteckt", false, true, L"C:\\Versteckt", true, false},
        {"a list hiding them cannot tell", L"C:\\Versteckt", true, true, L"C:\\Versteckt", false, unknown},
        {"unless the tree hides them too", L"C:\\Versteckt", true, true, L"C:\\Versteckt", true, false},
        {"a list without folders cannot tell", L"C:\\Daten", false, false, L"C:\\Daten", false, unknown},
        {"another folder", L"C:\\Daten", false, true, L"C:\\Daten\\Alt", false, unknown},
        {"a folder that could not be read", L"C:\\Fehlt", false, true, L"C:\\Fehlt", false, unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view.SetHideHiddenDirs(c.listHidesHidden);
        view.SetShowDirectories(c.listShowsDirs);
        view.SetPath(L"C:\\");
        view.SetPath(c.shown);
        EXPECT_EQ(view.KnownSubDirs(c.asked, c.treeHidesHidden), c.answer);
    }

    // A handler may have dropped folders: only one that was listed answers.
    view.SetHideHiddenDirs(false);
    view.SetShowDirectories(true);
    view.OnAddFile = [](TComponent*, TSearchRec&, bool&) {};
    view.SetPath(L"C:\\Flach");
    EXPECT_EQ(view.KnownSubDirs(L"C:\\Flach", false), unknown);
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.KnownSubDirs(L"C:\\Daten", false), true);
}

TEST_F(DirViewCoreTest, TheFolderShownTakesAnotherSpellingWithoutAReload)
{
    view.SetPath(L"C:\\Daten");
    view.Trace.clear();
    EXPECT_TRUE(view.AdoptPathSpelling(L"c:\\DATEN\\"));
    EXPECT_EQ(view.Path(), L"c:\\DATEN");
    EXPECT_TRUE(view.Trace.empty()) << "not read again";
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L".git", L"Alt", L"Bild.PNG", L"brief.txt"}));

    EXPECT_FALSE(view.AdoptPathSpelling(L"C:\\Daten\\Alt"));
    EXPECT_EQ(view.Path(), L"c:\\DATEN");
    TestView empty{sys};
    EXPECT_FALSE(empty.AdoptPathSpelling(L"C:\\Daten")) << "a list without a folder takes none";
    EXPECT_EQ(empty.Path(), L"");
}

TEST_F(DirViewCoreTest, FoldersOnANetworkDriveTakeTheFolderIconWithoutTheShell)
{
    sys.AddFolder(L"N:");
    sys.AddFolder(L"N:\\Projekte");
    view.SetPath(L"N:\\");
    EXPECT_EQ(view.DriveType(), kDriveRemote);
    const TFileRec& folder = view.Item(L"Projekte");
    EXPECT_FALSE(folder.IconEmpty);
    EXPECT_EQ(folder.ImageIndex, sys.Icons().FolderIcon);
    view.GetFileInfo(view.Item(L"Projekte"), true);
    EXPECT_EQ(folder.TypeName, L"Dateiordner");
}

TEST_F(DirViewCoreTest, ShortcutsGetTheArrowAndRecycleBinsAreKnown)
{
    sys.AddFile(L"C:", L"Editor.lnk", 500);
    sys.AddFolder(L"C:\\Recycled", faHidden | faSysFile);
    sys.AddFolder(L"C:\\Recycling", 0);
    sys.AddFile(L"C:\\Daten", L"Recycled", 1);
    view.SetPath(L"C:");
    EXPECT_EQ(view.Item(L"Editor.lnk").OverlayIndex, 1);
    EXPECT_EQ(view.Item(L"Daten").OverlayIndex, -1);
    EXPECT_TRUE(view.Item(L"Recycled").IsRecycleBin);
    EXPECT_FALSE(view.Item(L"Recycling").IsRecycleBin) << "no system attribute";
}

// ---- Filters --------------------------------------------------------------------------

TEST_F(DirViewCoreTest, TheFilterAppliesToFilesOnly)
{
    sys.AddFolder(L"C:\\F");
    sys.AddFile(L"C:\\F", L"a.txt", 10);
    sys.AddFile(L"C:\\F", L"LIESMICH", 10);
    sys.AddFile(L"C:\\F", L"b.doc", 10);
    sys.AddFile(L"C:\\F", L"versteckt.txt", 10, faArchive | faHidden);
    sys.AddFile(L"C:\\F", L"alt.txt", 10, faArchive, 0);  // 1975: no DOS time
    sys.AddFile(L"C:\\F", L"riesig.txt", 5 * kGiB);
    sys.AddFolder(L"C:\\F\\Ordner.bak");
    view.Mask = L"*.txt;*.";
    view.Filter.SelHidden = TSelAttr::SelNo;
    view.Filter.SelFileSizeFrom = 1;
    view.SetPath(L"C:\\F");
    EXPECT_EQ(view.Names(),
              (std::vector<std::wstring>{L"..", L"Ordner.bak", L"a.txt", L"alt.txt", L"LIESMICH", L"riesig.txt"}));
    EXPECT_EQ(view.TotalSize(), 5 * kGiB + 30) << "totals count the whole size";
}

TEST(DirFilterTest, AcceptsFilesByMaskAttributesSizeAndDate)
{
    struct Case {
        const char* what;
        TLoadFilter filter;
        const wchar_t* mask;
        TSearchRec entry;
        bool accepted;
    };
    const auto with = [](auto change) {
        TLoadFilter filter;
        change(filter);
        return filter;
    };
    const TLoadFilter plain;
    const auto file = [](const wchar_t* name, uint64_t size = 100, uint32_t attr = faArchive,
                         uint32_t time = DosTime(2020, 1, 1)) { return FakeDirSystem::Entry(name, attr, size, time); };
    const Case cases[] = {
        {"mask matches", plain, L"*.txt;*.", file(L"a.TXT"), true},
        {"no extension matches *.", plain, L"*.txt;*.", file(L"Makefile"), true},
        {"other extension", plain, L"*.txt;*.", file(L"a.doc"), false},
        {"directories never", plain, L"*.*", file(L"d", 0, faDirectory), false},
        {"hidden forbidden", with([](auto& f) { f.SelHidden = TSelAttr::SelNo; }), L"*.*", file(L"h", 1, faHidden),
         false},
        {"hidden required", with([](auto& f) { f.SelHidden = TSelAttr::SelYes; }), L"*.*", file(L"n"), false},
        {"read-only required and present", with([](auto& f) { f.SelReadOnly = TSelAttr::SelYes; }), L"*.*",
         file(L"r", 1, faReadOnly | faArchive), true},
        {"archive forbidden", with([](auto& f) { f.SelArchive = TSelAttr::SelNo; }), L"*.*", file(L"a"), false},
        {"system required", with([](auto& f) { f.SelSysFile = TSelAttr::SelYes; }), L"*.*", file(L"s", 1, faSysFile),
         true},
        {"compressed forbidden on NTFS", with([](auto& f) { f.SelCompressed = TSelAttr::SelNo; }), L"*.*",
         file(L"c", 1, faCompressed), false},
        {"size below the window", with([](auto& f) { f.SelFileSizeFrom = 101; }), L"*.*", file(L"s", 100), false},
        {"size above the window", with([](auto& f) { f.SelFileSizeTo = 99; }), L"*.*", file(L"s", 100), false},
        {"5 GiB passes a window without upper bound", with([](auto& f) { f.SelFileSizeFrom = 1; }), L"*.*",
         file(L"g", 5 * kGiB), true},
        {"5 GiB is above a window to 4,000,000,000", with([](auto& f) { f.SelFileSizeTo = 4000000000; }), L"*.*",
         file(L"g", 5 * kGiB), false},
        {"3 GiB is within 3,000,000,000 to 4,000,000,000",
         with([](auto& f) { f.SelFileSizeFrom = 3000000000, f.SelFileSizeTo = 4000000000; }), L"*.*",
         file(L"g", 3 * kGiB), true},
        {"3 GiB is below a window from 3,500,000,000", with([](auto& f) { f.SelFileSizeFrom = 3500000000; }), L"*.*",
         file(L"g", 3 * kGiB), false},
        {"5 GiB is above a window that ends lower", with([](auto& f) { f.SelFileSizeTo = 2147483646; }), L"*.*",
         file(L"g", 5 * kGiB), false},
        {"4 GiB + 10 is no 10-byte file", with([](auto& f) { f.SelFileSizeTo = 1000; }), L"*.*",
         file(L"g", 4 * kGiB + 10), false},
        {"1975 counts as 1.1.1980 00:00", plain, L"*.*", file(L"alt", 1, faArchive, 0), true},
        {"1975 is before a window from 1.1.1980 00:02", with([](auto& f) { f.SelFileTimeFrom = 1 << 5; }), L"*.*",
         file(L"alt", 1, faArchive, 0), false},
        {"2050 stays 2050", with([](auto& f) { f.SelFileDateFrom = static_cast<uint16_t>(DosTime(2040, 1, 1) >> 16); }),
         L"*.*", file(L"neu", 1, faArchive, DosTime(2050, 6, 1)), true},
        {"after the date window",
         with([](auto& f) { f.SelFileDateTo = static_cast<uint16_t>(DosTime(2019, 12, 31) >> 16); }), L"*.*",
         file(L"x"), false},
        {"the last day until 24:00",
         with([](auto& f) { f.SelFileDateTo = static_cast<uint16_t>(DosTime(2020, 1, 1) >> 16); }), L"*.*",
         file(L"x", 1, faArchive, DosTime(2020, 1, 1, 23, 59)), true},
    };
    for (const Case& c : cases) {
        const TDirFilter filter(c.filter, c.mask, true);
        EXPECT_EQ(filter.AcceptsFile(c.entry), c.accepted) << c.what;
    }
}

TEST(DirFilterTest, CompressionChoicesNeedAFileSystemThatKnowsThem)
{
    TLoadFilter settings;
    settings.SelCompressed = TSelAttr::SelYes;
    settings.SelEncrypted = TSelAttr::SelNo;
    const TDirFilter ntfs(settings, L"*.*", true);
    EXPECT_EQ(ntfs.RequiredAttr, faCompressed);
    EXPECT_EQ(ntfs.ForbiddenAttr, faEncrypted);
    const TDirFilter fat(settings, L"*.*", false);
    EXPECT_EQ(fat.RequiredAttr, 0u);
    EXPECT_EQ(fat.ForbiddenAttr, 0u);
    EXPECT_FALSE(fat.SizeFilterOn);
}

TEST_F(DirViewCoreTest, CompressionFilterAsksTheVolumeOnlyWhenSet)
{
    sys.AddFile(L"C:\\Daten", L"gepackt.txt", 10, faArchive | faCompressed);
    view.Filter.SelCompressed = TSelAttr::SelNo;
    sys.Ntfs = false;
    view.SetPath(L"C:\\Daten");
    EXPECT_NE(view.FindFileItem(L"gepackt.txt"), nullptr) << "FAT: the choice does not apply";
    sys.Ntfs = true;
    view.Reload(false);
    EXPECT_EQ(view.FindFileItem(L"gepackt.txt"), nullptr);
}

// ---- Going up and the path ------------------------------------------------------------

TEST(DirViewPathTest, FolderLeftBehind)
{
    const struct {
        const wchar_t* path;
        const wchar_t* last;
        const wchar_t* left;
    } cases[] = {
        {L"C:\\ab", L"C:\\ab\\cd", L"cd"},
        {L"C:\\ab", L"c:\\AB\\cd\\ef", L"cd"},
        {L"C:", L"C:\\Windows", L"Windows"},
        {L"C:\\ab", L"C:\\abc", L""},
        {L"C:\\ab", L"C:\\abc\\x", L""},
        {L"C:\\ab", L"C:\\ab", L""},
        {L"C:\\ab", L"D:\\ab\\cd", L""},
        {L"\\\\srv\\share", L"\\\\srv\\share\\Daten\\x", L"Daten"},
        {L"", L"C:\\x", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderLeftBehind(c.path, c.last), c.left) << WideToUtf8(c.path) << " " << WideToUtf8(c.last);
}

TEST_F(DirViewCoreTest, GoingUpFocusesTheFolderLeft)
{
    sys.AddFolder(L"C:\\Daten\\Alt\\2019");
    sys.AddFolder(L"C:\\Daten\\Altbestand");
    view.SetPath(L"C:\\Daten\\Alt\\2019");
    view.SetPath(L"C:\\Daten");
    ASSERT_NE(view.ItemFocused(), nullptr);
    EXPECT_EQ(view.ItemFocused()->FileName, L"Alt");

    view.SelDir = true;
    view.SetPath(L"C:\\Daten\\Altbestand");
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.ItemFocused()->FileName, L"Altbestand");
    EXPECT_EQ(view.Selected(), std::vector<std::wstring>{L"Altbestand"});

    view.SetPath(L"C:\\Daten\\Alt");  // going down focuses nothing
    EXPECT_EQ(view.ItemFocused(), nullptr);
}

TEST_F(DirViewCoreTest, CheckPathExistsMovesUpToAnExistingParent)
{
    sys.AddFolder(L"C:\\Daten\\Alt\\2019");
    view.SetPath(L"C:\\Daten\\Alt\\2019");
    EXPECT_TRUE(view.CheckPathExists());
    sys.Remove(L"C:\\Daten", L"Alt");
    sys.RemoveTree(L"C:\\Daten\\Alt");
    EXPECT_FALSE(view.CheckPathExists());
    EXPECT_EQ(view.Path(), L"C:\\Daten");
    EXPECT_TRUE(view.Loaded());
    EXPECT_NE(view.FindFileItem(L"brief.txt"), nullptr);
}

TEST_F(DirViewCoreTest, CheckPathExistsStopsAtAVanishedDrive)
{
    sys.AddFolder(L"E:");
    sys.AddFolder(L"E:\\Fotos");
    sys.AddFile(L"E:\\Fotos", L"a.jpg", 10);
    sys.DriveTypes[L'E'] = kDriveRemovable;
    view.SetPath(L"E:\\Fotos");
    ASSERT_TRUE(view.Loaded());
    sys.RemoveTree(L"E:");
    view.Trace.clear();
    EXPECT_FALSE(view.CheckPathExists());
    EXPECT_EQ(view.Path(), L"E:");
    EXPECT_FALSE(view.Loaded());
    EXPECT_EQ(view.ItemCount(), 0);
    ASSERT_EQ(view.Trace.size(), 1u) << "the user is told, not left with an empty list";
    EXPECT_TRUE(view.Trace[0].starts_with(L"error E:\\Fotos ")) << view.Trace[0];
}

// A change tick re-reads the folder; when the folder (or its drive's target)
// is gone by then, the old entries do not stay: the path check moves the list
// to what is left, or empties it and reports the error.
TEST_F(DirViewCoreTest, AReReadOfAVanishedFolderShowsWhatIsLeftOfItsPath)
{
    struct Case {
        const wchar_t* removed;
        const wchar_t* shownPath;
        bool loaded;
        bool reported;
    };
    for (const Case& c : {Case{L"E:\\Fotos", L"E:", true, false}, Case{L"E:", L"E:", false, true}}) {
        SCOPED_TRACE(testing::Message() << std::string(c.removed, c.removed + wcslen(c.removed)));
        sys.AddFolder(L"E:");
        sys.AddFolder(L"E:\\Fotos");
        sys.AddFile(L"E:\\Fotos", L"a.jpg", 10);
        sys.DriveTypes[L'E'] = kDriveFixed;
        view.SetPath(L"E:\\Fotos");
        ASSERT_TRUE(view.Loaded());
        ASSERT_NE(view.FindFileItem(L"a.jpg"), nullptr);
        if (std::wstring(c.removed) == L"E:\\Fotos")
            sys.Remove(L"E:", L"Fotos");
        sys.RemoveTree(c.removed);
        view.Trace.clear();
        view.ReloadDirectory();
        EXPECT_EQ(view.Path(), c.shownPath);
        EXPECT_EQ(view.Loaded(), c.loaded);
        EXPECT_EQ(view.FindFileItem(L"a.jpg"), nullptr) << "the old listing is gone";
        const bool reported = std::any_of(view.Trace.begin(), view.Trace.end(),
                                          [](const std::wstring& line) { return line.starts_with(L"error "); });
        EXPECT_EQ(reported, c.reported);
        sys.RemoveTree(L"E:");
    }
}

// ---- Loading on and off ----------------------------------------------------------------

TEST_F(DirViewCoreTest, ALoadAskedForWhileDisabledRunsWhenEnabledAndLeavesNoAbort)
{
    view.SetPath(L"C:");
    view.SetLoadEnabled(false);
    view.Trace.clear();
    view.SetPath(L"C:\\Daten");
    EXPECT_TRUE(view.Trace.empty());
    EXPECT_TRUE(view.LoadPending());
    EXPECT_FALSE(view.AbortLoad());
    view.SetLoadEnabled(true);
    EXPECT_FALSE(view.LoadPending());
    EXPECT_EQ(view.EntryCount(), 4);
    EXPECT_EQ(view.Names().front(), L"..") << "the new folder was read, not the old one re-read";
    view.SetPath(L"C:\\Daten\\Alt");
    EXPECT_TRUE(view.Loaded());
    EXPECT_EQ(view.Names(), std::vector<std::wstring>{L".."});
}

TEST_F(DirViewCoreTest, ALoadAskedForDuringALoadEndsItAndReadsTheNewPath)
{
    sys.AddFolder(L"C:\\Anders");
    sys.AddFile(L"C:\\Anders", L"x.txt", 1);
    bool once = true;
    view.OnAddFile = [&](TComponent*, TSearchRec& rec, bool&) {
        view.Trace.push_back(L"add " + rec.Name);
        if (once) {
            once = false;
            view.SetPath(L"C:\\Anders");
        }
    };
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{L"start", L"add brief.txt", L"start", L"add x.txt", L"updated",
                                                     L"loaded", L"loaded"}));
    EXPECT_EQ(view.Path(), L"C:\\Anders");
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L"x.txt"}));
    EXPECT_FALSE(view.AbortLoad());
    EXPECT_FALSE(view.LoadPending());
    EXPECT_EQ(view.Begins, view.Ends);
}

TEST_F(DirViewCoreTest, AHandlerThatThrowsLeavesTheListUsable)
{
    view.OnStartLoading = [](TComponent*) { throw Exception(L"Handler gescheitert"); };
    view.SetPath(L"C:\\Daten");
    EXPECT_FALSE(view.Loading());
    EXPECT_TRUE(view.ItemsReady());
    EXPECT_EQ(view.Begins, view.Ends);
    view.OnStartLoading = nullptr;
    view.SetPath(L"C:\\Daten\\Alt");
    EXPECT_TRUE(view.Loaded());
    EXPECT_EQ(view.Names(), std::vector<std::wstring>{L".."});
}

// ---- Re-reading in place ------------------------------------------------------------------

TEST_F(DirViewCoreTest, SelectAllTakesFilesOrEverythingButTheParentAndMovesAnUnselectedFocus)
{
    view.SetPath(L"C:\\Daten");
    view.SetItemFocused(&view.Item(L".."));
    view.SelectAllItems(false);
    EXPECT_EQ(view.Selected(), (std::vector<std::wstring>{L"Bild.PNG", L"brief.txt"}));
    EXPECT_EQ(view.ItemFocused(), &view.Item(L"Bild.PNG"));
    EXPECT_EQ(view.SelectedSize(), 301200u);

    // A selected focus stays where it is.
    view.SetItemFocused(&view.Item(L"brief.txt"));
    view.SelectAllItems(true);
    EXPECT_EQ(view.Selected(), (std::vector<std::wstring>{L".git", L"Alt", L"Bild.PNG", L"brief.txt"}));
    EXPECT_EQ(view.ItemFocused(), &view.Item(L"brief.txt"));
    EXPECT_EQ(view.Begins, view.Ends);
}

TEST_F(DirViewCoreTest, InvertTogglesFilesOrEverythingButTheParentInOneUpdate)
{
    view.SetPath(L"C:\\Daten");
    view.SetItemSelected(view.Item(L"brief.txt"), true);
    view.SetItemSelected(view.Item(L"Alt"), true);
    const int shown = view.Shown;
    view.InvertSelection(false);
    EXPECT_EQ(view.Selected(), (std::vector<std::wstring>{L"Alt", L"Bild.PNG"}));
    EXPECT_EQ(view.SelCount(), 2);
    EXPECT_EQ(view.Shown, shown + 1) << "the control is told once";

    view.InvertSelection(true);
    EXPECT_EQ(view.Selected(), (std::vector<std::wstring>{L".git", L"brief.txt"}));
    EXPECT_EQ(view.SelectedSize(), 1200u);
}

TEST_F(DirViewCoreTest, ReReadKeepsItemsSelectionAndTotals)
{
    sys.AddFile(L"C:\\Daten", L"c.txt", 50);
    view.Mask = L"*.txt;*.png";
    view.SetPath(L"C:\\Daten");
    for (const wchar_t* name : {L"brief.txt", L"c.txt", L"Bild.PNG"})
        view.SetItemSelected(view.Item(name), true);
    view.SetItemFocused(&view.Item(L"c.txt"));
    EXPECT_EQ(view.SelectedSize(), 301250u);
    TFileRec* kept = &view.Item(L"Bild.PNG");
    kept->IconEmpty = false;
    kept->ImageIndex = 77;

    // Outside: a file grows, a folder appears, a selected file goes.
    sys.Find(L"C:\\Daten", L"brief.txt")->Size = 5000;
    sys.Find(L"C:\\Daten", L"brief.txt")->LastWrite += 10;
    sys.AddFolder(L"C:\\Daten\\Neu");
    sys.Remove(L"C:\\Daten", L"c.txt");
    view.Trace.clear();
    view.ReloadDirectory();

    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{L"size brief.txt", L"add Neu", L"updated"}));
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L".git", L"Alt", L"Neu", L"Bild.PNG", L"brief.txt"}));
    EXPECT_EQ(view.Selected(), (std::vector<std::wstring>{L"Bild.PNG", L"brief.txt"}));
    EXPECT_EQ(view.SelCount(), 2);
    EXPECT_EQ(view.SelectedSize(), 305000u);
    EXPECT_EQ(view.TotalSize(), 305000u);
    EXPECT_EQ(view.DirCount(), 3u);
    EXPECT_EQ(&view.Item(L"Bild.PNG"), kept) << "an unchanged item is the same record";
    EXPECT_EQ(kept->ImageIndex, 77);
    EXPECT_EQ(view.Item(L"brief.txt").Size, 5000u);
    EXPECT_NE(view.ItemFocused(), nullptr) << "the focused item went; the first takes the focus";
    EXPECT_EQ(view.Begins, view.Ends);
}

// The folder's entries as a re-read's worker hands them over.
std::vector<TSearchRec> Listed(FakeDirSystem& sys, const std::wstring& folder, uint32_t& error)
{
    std::vector<TSearchRec> entries;
    error = sys.ListFolder(folder, [&](TSearchRec& entry) {
        entries.push_back(entry);
        return true;
    });
    return entries;
}

TEST_F(DirViewCoreTest, ASlicedReReadEndsAsAWholeOneAndKeepsWhatChangedBetweenSlices)
{
    view.SetPath(L"C:\\Daten");
    view.SetItemSelected(view.Item(L"Bild.PNG"), true);
    TFileRec* kept = &view.Item(L"Bild.PNG");
    sys.Find(L"C:\\Daten", L"brief.txt")->Size = 5000;
    sys.AddFolder(L"C:\\Daten\\Neu");
    sys.AddFile(L"C:\\Daten", L"neu.txt", 3);
    sys.Remove(L"C:\\Daten", L"Alt");
    uint32_t error = 0;
    std::vector<TSearchRec> entries = Listed(sys, L"C:\\Daten", error);
    view.Trace.clear();
    ASSERT_TRUE(view.BeginSlicedReload(entries, error));
    int slices = 0;
    while (view.SlicedReloadStep(1)) {
        ++slices;
        // Nothing is added or removed before the last slice; the user's
        // selection between slices stays.
        EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L".git", L"Alt", L"Bild.PNG", L"brief.txt"}));
        if (slices == 2)
            view.SetItemSelected(view.Item(L"brief.txt"), true);
    }
    EXPECT_GE(slices, 4);
    EXPECT_FALSE(view.SlicedReloadPending());
    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{L"size brief.txt", L"add Neu", L"add neu.txt", L"updated"}));
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L".git", L"Neu", L"Bild.PNG", L"brief.txt", L"neu.txt"}));
    EXPECT_EQ(view.Selected(), (std::vector<std::wstring>{L"Bild.PNG", L"brief.txt"}));
    EXPECT_EQ(view.SelectedSize(), 305000u);
    EXPECT_EQ(view.TotalSize(), 305003u);
    EXPECT_EQ(&view.Item(L"Bild.PNG"), kept);
    EXPECT_EQ(view.Begins, view.Ends);
}

TEST_F(DirViewCoreTest, ChangingTheItemsEndsASlicedReReadUnfinished)
{
    view.SetPath(L"C:\\Daten");
    sys.AddFile(L"C:\\Daten", L"neu.txt", 3);
    uint32_t error = 0;
    const std::vector<TSearchRec> entries = Listed(sys, L"C:\\Daten", error);
    // An item added meanwhile (a paste), one deleted, a new folder: each
    // ends it, so no item is added twice and no record freed is looked at.
    for (int change = 0; change < 3; ++change) {
        ASSERT_TRUE(view.BeginSlicedReload(entries, error));
        ASSERT_TRUE(view.SlicedReloadStep(1));
        if (change == 0)
            view.AddItem(entries.back());
        else if (change == 1)
            view.DeleteItem(view.IndexOf(&view.Item(L"neu.txt")));
        else
            view.SetPath(L"C:\\Daten\\Alt");
        EXPECT_FALSE(view.SlicedReloadPending()) << change;
        EXPECT_FALSE(view.SlicedReloadStep(100)) << change;
    }
    EXPECT_EQ(view.Names(), std::vector<std::wstring>{L".."});
    // A failed search or a list not loaded takes no sliced re-read.
    EXPECT_FALSE(view.BeginSlicedReload(entries, 5));
    TestView fresh{sys};
    EXPECT_FALSE(fresh.BeginSlicedReload(entries, 0));
}

TEST_F(DirViewCoreTest, ReReadWithoutChangesFiresNothing)
{
    view.SetPath(L"C:\\Daten");
    view.Trace.clear();
    view.ReloadDirectory();
    EXPECT_TRUE(view.Trace.empty());
}

TEST_F(DirViewCoreTest, ReReadFollowsRenamesByCaseAndKeepsHiddenExtensionsHidden)
{
    view.SetShowExtension(false);
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.Item(L"brief.txt").DisplayName, L"brief");
    sys.Find(L"C:\\Daten", L"brief.txt")->Name = L"Brief.txt";
    sys.Find(L"C:\\Daten", L"Alt")->Name = L"ALT";
    view.ReloadDirectory();
    EXPECT_EQ(view.Item(L"Brief.txt").DisplayName, L"Brief");
    EXPECT_EQ(view.Item(L"Bild.PNG").DisplayName, L"Bild");
    EXPECT_EQ(view.Item(L"ALT").DisplayName, L"ALT");
    EXPECT_EQ(view.Trace.back(), L"updated");
}

TEST_F(DirViewCoreTest, ReReadSwapsAFileForAFolderOfTheSameName)
{
    view.SetPath(L"C:\\Daten");
    sys.Remove(L"C:\\Daten", L"brief.txt");
    sys.AddFolder(L"C:\\Daten\\brief.txt");
    sys.Remove(L"C:\\Daten", L"Alt");
    sys.AddFile(L"C:\\Daten", L"Alt", 7);
    view.ReloadDirectory();
    EXPECT_TRUE(view.Item(L"brief.txt").IsDirectory);
    EXPECT_FALSE(view.Item(L"Alt").IsDirectory);
    EXPECT_EQ(view.TotalSize(), 300007u);
    EXPECT_EQ(view.DirCount(), 2u);
}

TEST_F(DirViewCoreTest, ReReadAppliesAChangedMaskAndHidesHiddenFolders)
{
    view.SetPath(L"C:\\Daten");
    view.Mask = L"*.png";
    view.SetHideHiddenDirs(true);
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L"Alt", L"Bild.PNG"}));
    view.Mask = L"*.txt";
    view.ReloadDirectory();
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L"Alt", L"brief.txt"}));
}

TEST_F(DirViewCoreTest, AFailingReReadFallsBackToALoadWithBalancedBrackets)
{
    view.SetPath(L"C:\\Daten");
    sys.AddFile(L"C:\\Daten", L"neu.txt", 1);
    bool fail = true;
    view.OnAddFile = [&](TComponent*, TSearchRec&, bool&) {
        if (std::exchange(fail, false))
            throw Exception(L"Handler gescheitert");
    };
    view.Trace.clear();
    view.ReloadDirectory();
    EXPECT_EQ(view.Trace, (std::vector<std::wstring>{L"start", L"updated", L"loaded"}));
    EXPECT_NE(view.FindFileItem(L"neu.txt"), nullptr);
    EXPECT_EQ(view.Begins, view.Ends);
    EXPECT_TRUE(view.ItemsReady());
}

TEST_F(DirViewCoreTest, ReloadRestoresFocusSelectionAndPerFileIcons)
{
    sys.AddFile(L"C:\\Daten", L"setup.exe", 10);
    view.SetPath(L"C:\\Daten");
    view.GetFileInfo(view.Item(L"setup.exe"), true);
    const int exeIcon = view.Item(L"setup.exe").ImageIndex;
    view.SetItemSelected(view.Item(L"Bild.PNG"), true);
    view.SetItemFocused(&view.Item(L"brief.txt"));
    sys.ShellQueries.clear();

    view.Reload(true);
    EXPECT_EQ(view.ItemFocused()->FileName, L"brief.txt");
    EXPECT_EQ(view.Selected(), std::vector<std::wstring>{L"Bild.PNG"});
    EXPECT_EQ(view.SelectedSize(), 300000u);
    EXPECT_FALSE(view.Item(L"setup.exe").IconEmpty);
    EXPECT_EQ(view.Item(L"setup.exe").ImageIndex, exeIcon);
    EXPECT_TRUE(view.Item(L"Bild.PNG").IconEmpty) << "cached types come back from the cache";

    view.Reload(false);
    EXPECT_TRUE(view.Item(L"setup.exe").IconEmpty);
}

// ---- Selection -----------------------------------------------------------------------------

TEST_F(DirViewCoreTest, SelectionNeverTakesTheParentItemAndKeepsTheTotals)
{
    view.SetPath(L"C:\\Daten");
    std::vector<std::wstring> events;
    view.OnSelectItemNew = [&](TComponent*, TFileRec& item, bool on) {
        events.push_back((on ? L"+" : L"-") + item.FileName);
    };
    EXPECT_FALSE(view.SetItemSelected(*view.GetItemData(0), true));
    view.SelectRange(-1, 0, true);
    EXPECT_EQ(view.SelCount(), 4);
    EXPECT_EQ(view.SelectedSize(), 301200u) << "folders of unknown size add nothing";
    EXPECT_EQ(events.size(), 4u);
    view.SelectRange(2, 3, false);
    EXPECT_EQ(view.Selected(), (std::vector<std::wstring>{L".git", L"brief.txt"}));
    EXPECT_EQ(view.SelectedSize(), 1200u);
    EXPECT_FALSE(view.SetItemSelected(view.Item(L".git"), true)) << "no change, no event";
    EXPECT_EQ(events.size(), 6u);

    view.DeleteItem(view.IndexOf(&view.Item(L"brief.txt")));
    EXPECT_EQ(view.SelectedSize(), 0u);
    EXPECT_EQ(view.TotalSize(), 300000u);
    EXPECT_EQ(view.SelCount(), 1);
}

TEST_F(DirViewCoreTest, NewItemsComeSelectedWhileAskedFor)
{
    view.SetPath(L"C:\\Daten");
    sys.AddFile(L"C:\\Daten", L"eingefügt.txt", 3);
    view.SelectNewItems = true;
    view.ReloadDirectory();
    view.SelectNewItems = false;
    EXPECT_EQ(view.Selected(), std::vector<std::wstring>{L"eingefügt.txt"});
    EXPECT_EQ(view.SelectedSize(), 3u);
}

TEST_F(DirViewCoreTest, ClearFileItemsKeepsTheParentItem)
{
    view.SetPath(L"C:\\Daten");
    view.ClearFileItems();
    EXPECT_EQ(view.Names(), std::vector<std::wstring>{L".."});
    EXPECT_TRUE(view.HasParentItem());
    EXPECT_EQ(view.TotalSize(), 0u);
    EXPECT_EQ(view.DirCount(), 0u);
    view.ClearItems();
    EXPECT_FALSE(view.HasParentItem());
}

// ---- Names ------------------------------------------------------------------------------

TEST_F(DirViewCoreTest, DisplayNamesFollowTheOptions)
{
    sys.AddFile(L"C:\\Daten", L"mein_bericht-final.DOC", 1);
    view.SetPath(L"C:\\Daten");
    view.SetFileNameDisplay(TFileNameDisplay::fndNice);
    EXPECT_EQ(view.Item(L"mein_bericht-final.DOC").DisplayName, L"Mein_Bericht-Final.doc");
    view.SetShowExtension(false);
    EXPECT_EQ(view.Item(L"mein_bericht-final.DOC").DisplayName, L"Mein_Bericht-Final");
    EXPECT_EQ(view.GetItemData(0)->DisplayName, L"..");
    EXPECT_EQ(view.DisplayPath(L"c:\\programme\\mein ordner"), L"C:\\Programme\\Mein Ordner");
}

// ---- Type names and icons ------------------------------------------------------------------

TEST_F(DirViewCoreTest, TheIconCacheIsKeyedByTheWholeExtension)
{
    sys.AddFolder(L"C:\\Ext");
    for (const wchar_t* name : {L"a.abcdef1", L"b.abcdef2", L"c.abcdef1", L"d.ABCDEF1"})
        sys.AddFile(L"C:\\Ext", name, 1);
    view.UseIconCache = true;
    view.SetPath(L"C:\\Ext");
    for (int i = 1; i < view.ItemCount(); ++i)
        view.GetFileInfo(*view.GetItemData(i), true);
    EXPECT_EQ(sys.ShellQueries.size(), 2u) << "one query per extension";
    EXPECT_NE(view.Item(L"a.abcdef1").ImageIndex, view.Item(L"b.abcdef2").ImageIndex);
    EXPECT_EQ(view.Item(L"a.abcdef1").ImageIndex, view.Item(L"d.ABCDEF1").ImageIndex);
    EXPECT_EQ(view.Item(L"b.abcdef2").TypeName, L"ABCDEF2-Datei");
    EXPECT_EQ(view.IconCache().Count(), 2);
}

TEST_F(DirViewCoreTest, PerFileIconsAreNeverCached)
{
    sys.AddFolder(L"C:\\Prog");
    for (const wchar_t* name : {L"a.exe", L"b.exe", L"konsole.msc", L"x.txt", L"y.txt"})
        sys.AddFile(L"C:\\Prog", name, 1);
    view.UseIconCache = true;
    view.SetPath(L"C:\\Prog");
    for (int i = 1; i < view.ItemCount(); ++i)
        view.GetFileInfo(*view.GetItemData(i), true);
    EXPECT_EQ(sys.ShellQueries.size(), 4u) << "a.exe, b.exe, konsole.msc (probed) and the first .txt";
    EXPECT_NE(view.Item(L"a.exe").ImageIndex, view.Item(L"b.exe").ImageIndex);
    EXPECT_EQ(view.IconCache().Count(), 1);
}

TEST_F(DirViewCoreTest, PerFileIconsWaitForTheDisplay)
{
    sys.AddFile(L"C:\\Daten", L"tool.exe", 1);
    view.SetPath(L"C:\\Daten");
    view.FetchAllFileInfo();
    const TFileRec& exe = view.Item(L"tool.exe");
    EXPECT_EQ(exe.TypeName, L"EXE-Datei");
    EXPECT_FALSE(exe.InfoEmpty);
    EXPECT_TRUE(exe.IconEmpty) << "the icon is fetched when shown";
    EXPECT_EQ(exe.ImageIndex, sys.Icons().ExeIcon);
    // Icons that do not depend on the file come with the type name.
    EXPECT_FALSE(view.Item(L"brief.txt").IconEmpty);
    EXPECT_FALSE(view.Item(L"Alt").IconEmpty);
    EXPECT_EQ(view.Item(L"Alt").TypeName, L"Dateiordner");
}

// The icon the shell has just added to the system list is the item's own,
// not one beyond the list.
TEST_F(DirViewCoreTest, AnIconNewToTheSystemListIsKept)
{
    view.SetPath(L"C:\\Daten");
    sys.IconsJoinTheList = true;
    TFileRec& file = view.Item(L"brief.txt");
    view.GetFileInfo(file, true);
    EXPECT_EQ(file.ImageIndex, 2000);
    TFileRec& folder = view.Item(L"Alt");
    view.GetFileInfo(folder, true);
    EXPECT_EQ(folder.ImageIndex, 2001);
}

TEST_F(DirViewCoreTest, AShellThatFailsLeavesDefaultsAndTheFallbackTypeName)
{
    view.SetPath(L"C:\\Daten");
    sys.ShellFails = true;
    TFileRec& file = view.Item(L"brief.txt");
    view.GetFileInfo(file, true);
    EXPECT_EQ(file.TypeName, L"Datei TXT");
    EXPECT_EQ(file.ImageIndex, sys.Icons().DefaultFileIcon);
    EXPECT_FALSE(file.IconEmpty);
    TFileRec& folder = view.Item(L"Alt");
    view.GetFileInfo(folder, true);
    EXPECT_EQ(folder.ImageIndex, sys.Icons().FolderIcon);
    EXPECT_EQ(folder.TypeName, L"Dateiordner");
}

TEST_F(DirViewCoreTest, SharedFoldersGetTheOverlay)
{
    sys.SharedFolders.insert(L"C:\\DATEN\\ALT");
    view.SetPath(L"C:\\Daten");
    view.GetFileInfo(view.Item(L"Alt"), true);
    view.GetFileInfo(view.Item(L".git"), true);
    EXPECT_EQ(view.Item(L"Alt").OverlayIndex, 0);
    EXPECT_EQ(view.Item(L".git").OverlayIndex, -1);
}

TEST_F(DirViewCoreTest, ThumbnailsAreMadeAgainWhenAFileChanges)
{
    view.Thumbs = true;
    view.SetPath(L"C:\\Daten");
    TFileRec& picture = view.Item(L"Bild.PNG");
    picture.ThumbIndex = 5;
    picture.IconEmpty = false;
    sys.Find(L"C:\\Daten", L"Bild.PNG")->LastWrite += 1;
    view.ReloadDirectory();
    EXPECT_EQ(picture.ThumbIndex, 0);
    EXPECT_TRUE(picture.IconEmpty);
    EXPECT_EQ(std::count(view.Trace.begin(), view.Trace.end(), L"size Bild.PNG"), 0) << "the size is the same";
}

}  // namespace

// ---- Sorting and totals -----------------------------------------------------------------

namespace {

TEST_F(DirViewCoreTest, DeletingKeepsTheTotalsExactAndTheParentIsNoFolder)
{
    view.SetPath(L"C:\\Daten");
    EXPECT_EQ(view.DirCount(), 2u) << "Alt and .git; not ..";
    EXPECT_EQ(view.TotalSize(), 301200u);
    view.SelectRange(-1, 0, true);
    // An unscanned folder takes no marker size out of the totals.
    view.DeleteItem(view.IndexOf(&view.Item(L"Alt")));
    EXPECT_EQ(view.TotalSize(), 301200u);
    EXPECT_EQ(view.SelectedSize(), 301200u);
    EXPECT_EQ(view.DirCount(), 1u);
    view.DeleteItem(view.IndexOf(&view.Item(L"Bild.PNG")));
    EXPECT_EQ(view.TotalSize(), 1200u);
    EXPECT_EQ(view.SelectedSize(), 1200u);
    view.DeleteItem(0);  // ".."
    EXPECT_EQ(view.DirCount(), 1u);
    EXPECT_FALSE(view.HasParentItem());
}

TEST_F(DirViewCoreTest, SortingByTypeAsksTheShellOncePerExtension)
{
    for (const wchar_t* name : {L"c.txt", L"a.txt", L"b.txt", L"z.bmp", L"y.bmp"})
        sys.AddFile(L"C:\\Daten", name, 10);
    view.SetPath(L"C:\\Daten");
    sys.ShellQueries.clear();
    view.SortBy({TDirSortKind::dskType, true, false, false});
    // Folders, .PNG, .TXT and .BMP: four queries for eight items.
    EXPECT_EQ(sys.ShellQueries.size(), 4u);
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L".git", L"Alt", L"y.bmp", L"z.bmp", L"Bild.PNG",
                                                       L"a.txt", L"b.txt", L"brief.txt", L"c.txt"}));
    EXPECT_EQ(view.Item(L"a.txt").TypeName, L"TXT-Datei");
    EXPECT_FALSE(view.Item(L"a.txt").InfoEmpty);
}

TEST_F(DirViewCoreTest, SortingBySizeDescendingWithDirsOnTop)
{
    view.SetPath(L"C:\\Daten");
    view.Item(L"Alt").Size = 5;
    sys.ShellQueries.clear();
    view.SortBy({TDirSortKind::dskSize, false, true, false});
    EXPECT_TRUE(sys.ShellQueries.empty()) << "sizes need no type names";
    EXPECT_EQ(view.Names(), (std::vector<std::wstring>{L"..", L".git", L"Alt", L"Bild.PNG", L"brief.txt"}));
}

// ---- The recycle bin -------------------------------------------------------------------

// The shell's recycle bin: entries with the names they had, the store's
// paths, and what Wine gives (a bare name that is no path of the disk).
class FakeRecycleBin : public TDirShellFolders {
public:
    std::vector<TShellFolderEntry> Entries;
    std::vector<TShellFolderEntry> FolderEntries;  // of any shell folder
    bool Reachable = true;
    bool ListRecycleBin(const TEntryProc& each) override
    {
        for (const TShellFolderEntry& entry : Entries)
            if (!each(entry))
                break;
        return Reachable;
    }
    bool ListShellFolder(const std::shared_ptr<void>&, const TEntryProc& each) override
    {
        for (const TShellFolderEntry& entry : FolderEntries)
            if (!each(entry))
                break;
        return Reachable;
    }
};

class RecycleBinTest : public testing::Test {
protected:
    void SetUp() override
    {
        sys.AddFolder(L"C:\\RECYCLER", faHidden | faSysFile);
        sys.AddFolder(L"C:\\RECYCLER\\S-1-5-21");
        sys.AddFile(L"C:\\RECYCLER\\S-1-5-21", L"Dc1.txt", 100, faArchive, qrv::test::DosTime(2021, 3, 1));
        sys.AddFile(L"C:\\RECYCLER\\S-1-5-21", L"Dc2.doc", 5000, faArchive, qrv::test::DosTime(2019, 3, 1));
        sys.AddFile(L"C:\\RECYCLER\\S-1-5-21", L"Dc3.txt", 10, faArchive | faHidden);
        bin.Entries = {
            {L"bericht.txt", L"C:\\RECYCLER\\S-1-5-21\\Dc1.txt", false, true, false, L"Textdokument", 7},
            {L"notiz.doc", L"C:\\RECYCLER\\S-1-5-21\\Dc2.doc", false, true, false, L"", -1},
            {L"versteckt.txt", L"C:\\RECYCLER\\S-1-5-21\\Dc3.txt", false, true, false, L"", -1},
            {L"Ordner", L"C:\\RECYCLER\\S-1-5-21\\Dc4", true, true, false, L"", -1},
            {L"woanders.txt", L"C:\\RECYCLER\\S-1-5-21\\fehlt.txt", false, true, false, L"", -1},
            {L"nackt.txt", L"nackt.txt", false, true, false, L"", -1},
        };
        view.SetShellFolders(&bin);
    }
    std::vector<std::wstring> Shown() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < view.ItemCount(); ++i)
            names.push_back(view.GetItemData(i)->DisplayName);
        return names;
    }

    FakeDirSystem sys;
    TestView view{sys};
    FakeRecycleBin bin;
};

TEST_F(RecycleBinTest, TheListShowsTheNamesBeforeDeletionAndKeepsTheStorePaths)
{
    view.SetPath(L"C:\\RECYCLER");
    EXPECT_TRUE(view.IsRecycleBinFolder());
    EXPECT_TRUE(view.FullPathItems());
    // ".." first; entries whose store file is missing, or whose name is no
    // path at all, are left out.
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"..", L"Ordner", L"bericht.txt", L"notiz.doc", L"versteckt.txt"}));
    const TFileRec& report = *view.GetItemData(2);
    EXPECT_EQ(report.FileName, L"C:\\RECYCLER\\S-1-5-21\\Dc1.txt");
    EXPECT_EQ(report.Size, 100u);
    EXPECT_EQ(report.TypeName, L"Textdokument");
    EXPECT_EQ(report.ImageIndex, 7);

    // Selection matches the shown names: "bericht*" takes the report.
    TFileSelectFilter filter;
    filter.Masks = L"bericht*";
    EXPECT_EQ(SelectFiles(view, filter, true, false, [](uint64_t) { return 0x21u << 16; }), 1);
    EXPECT_EQ(view.Selected(), (std::vector<std::wstring>{L"C:\\RECYCLER\\S-1-5-21\\Dc1.txt"}));
}

TEST_F(RecycleBinTest, TheListsFilterTestsTheShownNamesSizesDatesAndAttributes)
{
    struct Case {
        const char* what;
        std::wstring mask;
        std::function<void(TLoadFilter&)> set;
        std::vector<std::wstring> shown;
    };
    const Case cases[] = {
        {"masks by the shown name", L"bericht*", [](TLoadFilter&) {}, {L"..", L"Ordner", L"bericht.txt"}},
        {"a store name matches nothing", L"dc*", [](TLoadFilter&) {}, {L"..", L"Ordner"}},
        {"size",
         L"*.*",
         [](TLoadFilter& f) { f.SelFileSizeTo = 1000; },
         {L"..", L"Ordner", L"bericht.txt", L"versteckt.txt"}},
        {"to 1 January 2020 hides the later ones",
         L"*.*",
         [](TLoadFilter& f) { f.SelFileDateTo = static_cast<uint16_t>(qrv::test::DosTime(2020, 1, 1) >> 16); },
         {L"..", L"Ordner", L"notiz.doc"}},
        {"hidden forbidden",
         L"*.*",
         [](TLoadFilter& f) { f.SelHidden = TSelAttr::SelNo; },
         {L"..", L"Ordner", L"bericht.txt", L"notiz.doc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view.Filter = TLoadFilter{};
        c.set(view.Filter);
        view.Mask = c.mask;
        view.SetPath(L"C:\\");
        view.SetPath(L"C:\\RECYCLER");
        EXPECT_EQ(Shown(), c.shown);
    }
}

TEST_F(RecycleBinTest, UnreachedOrWithoutTheShellTheFolderIsReadAsAnyOther)
{
    // The shell answers nothing (as under Wine, whose names are no paths):
    // only ".." is left.
    bin.Entries = {{L"nackt.txt", L"nackt.txt", false, true, false, L"", -1}};
    bin.Reachable = false;
    view.SetPath(L"C:\\RECYCLER");
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L".."}));
    // A folder that is not at a drive's root, or has no system bit, is none.
    view.SetPath(L"C:\\RECYCLER\\S-1-5-21");
    EXPECT_FALSE(view.IsRecycleBinFolder());
    EXPECT_FALSE(view.FullPathItems());
    EXPECT_EQ(view.ItemCount(), 4);  // "..", the three store files
    view.SetShellFolders(nullptr);
    view.SetPath(L"C:\\RECYCLER");
    EXPECT_FALSE(view.FullPathItems());
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"..", L"S-1-5-21"}));
}

// ---- Shell folders of the tree --------------------------------------------------------

TEST_F(RecycleBinTest, AShellFolderListsItsFileSystemEntriesByTheirShownNames)
{
    const auto entry = [](std::wstring shown, std::wstring parsing, bool folder, bool fileSystem,
                          bool ancestor = false) {
        TShellFolderEntry e;
        e.DisplayName = std::move(shown);
        e.ParsingName = std::move(parsing);
        e.Folder = folder;
        e.FileSystem = fileSystem;
        e.FileSystemAncestor = ancestor;
        e.IconIndex = 9;
        // The identifier the folder knows the entry by: one item of its first letter.
        const uint8_t letter = e.DisplayName.empty() ? 0 : static_cast<uint8_t>(e.DisplayName[0]);
        e.ItemId = {3, 0, letter, 0, 0};
        return e;
    };
    bin.FolderEntries = {
        entry(L"Freigabe", L"\\\\srv\\Freigabe", true, true),
        entry(L"Drucker", L"", false, false),                         // no file system: left out
        entry(L"Lokaler Datenträger", L"C:\\", true, true),           // a drive: the tree has its root
        entry(L"", L"\\\\srv\\liesmich.txt", false, true),            // no shown name: the parsing name's last part
        entry(L"Arbeitsgruppe", L"::{208D2C60}", true, false, true),  // holds file-system folders
        entry(L"ftp.example", L"ftp://ftp.example/", true, false),    // FTP counts as file system
    };
    const auto folder = std::make_shared<int>(0);
    ASSERT_TRUE(view.LoadVirtualNode(folder, L"Netzwerk\\srv", true));
    EXPECT_TRUE(view.IsVirtual());
    EXPECT_EQ(view.Trace.back(), L"loaded");
    std::vector<std::wstring> shown = Shown();
    EXPECT_EQ(shown,
              (std::vector<std::wstring>{L"..", L"Arbeitsgruppe", L"Freigabe", L"ftp.example", L"liesmich.txt"}));
    EXPECT_EQ(view.FindFileItem(L"Freigabe")->ImageIndex, 9);
    EXPECT_TRUE(view.FindFileItem(L"Freigabe")->IsDirectory);
    EXPECT_FALSE(view.FindFileItem(L"liesmich.txt")->IsDirectory);
    // Copies and moves take the file-system path, never the shown name.
    EXPECT_EQ(view.ItemParsingPath(view.FindFileItem(L"Freigabe")), L"\\\\srv\\Freigabe");
    EXPECT_EQ(view.ItemParsingPath(view.FindFileItem(L"liesmich.txt")), L"\\\\srv\\liesmich.txt");
    EXPECT_EQ(view.ItemParsingPath(view.FindFileItem(L"Arbeitsgruppe")), L"") << "the shell's only";
    EXPECT_EQ(view.ItemParsingPath(view.FindFileItem(L"ftp.example")), L"") << "no file-system path";
    // Those the shell copies itself, from their folder and identifiers.
    EXPECT_EQ(view.VirtualFolder(), folder);
    EXPECT_EQ(view.ItemShellId(view.FindFileItem(L"Arbeitsgruppe")), (TPidlBytes{3, 0, 'A', 0, 0}));
    EXPECT_EQ(view.ItemShellId(view.FindFileItem(L"ftp.example")), (TPidlBytes{3, 0, 'f', 0, 0}));
    EXPECT_TRUE(view.ItemShellId(view.FindFileItem(L"..")).empty());

    // At the tree's top level there is no "..".
    ASSERT_TRUE(view.LoadVirtualNode(folder, L"Netzwerk", false));
    EXPECT_EQ(Shown().front(), L"Arbeitsgruppe");
    // A folder the shell cannot list leaves the list empty and not virtual.
    bin.Reachable = false;
    bin.FolderEntries.clear();
    EXPECT_FALSE(view.LoadVirtualNode(folder, L"Netzwerk", false));
    EXPECT_FALSE(view.IsVirtual());
    EXPECT_EQ(view.ItemCount(), 0);
    EXPECT_FALSE(view.VirtualFolder()) << "the unlisted folder is let go";
    // Without a folder it is an internal error.
    try {
        view.LoadVirtualNode(nullptr, L"Netzwerk", false);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"Interner Fehler 001 in \"LoadVirtualNode\"");
    }
}

}  // namespace
