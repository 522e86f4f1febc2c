#include "dialogs/FileListText.h"

#include "GoldenFileListBlanks.h"
#include "GoldenFileListSemicolons.h"
#include "GoldenFileListTabsPathTitle.h"
#include "GoldenFileListTitleKiloBytes.h"
#include "GoldenFileListUtf8.h"
#include "framework/Encoding.h"
#include "panels/DirectorySize.h"

#include <gtest/gtest.h>

#include <map>

namespace qrv {
namespace {

TFileListEntry File(const wchar_t* name, const wchar_t* type, uint64_t size, const wchar_t* date, const wchar_t* attr)
{
    TFileListEntry e;
    e.Name = e.FileName = name;
    e.TypeName = type;
    e.Size = size;
    e.DateText = date;
    e.AttrText = attr;
    return e;
}

TFileListEntry Folder(const wchar_t* name, const wchar_t* date = L"01.02.2024  10:30")
{
    TFileListEntry e;
    e.Name = e.FileName = name;
    e.TypeName = L"Dateiordner";
    e.DateText = date;
    e.IsDirectory = true;
    return e;
}

TFileListEntry Parent()
{
    TFileListEntry e = Folder(L"..");
    e.IsParent = true;
    return e;
}

// The fixture folder as the list shows it: "..", a folder of unknown size,
// an empty file, 5 GiB, a name with the separator, one outside ASCII.
std::vector<TFileListEntry> FixtureEntries()
{
    return {Parent(),
            Folder(L"Ordner"),
            File(L"leer.txt", L"Textdokument", 0, L"03.04.2024  08:05", L"a"),
            File(L"groß.bin", L"BIN-Datei", 5ULL << 30, L"31.12.2023  23:59", L"ar"),
            File(L"a;b.txt", L"Textdokument", 1234, L"15.06.2024  12:00", L"a"),
            File(L"Ärger.txt", L"Textdokument", 10, L"15.06.2024  12:01", L"a")};
}

std::string Golden(const char* bytes, size_t size)
{
    return std::string(bytes, size);
}

std::string FileBytes(const TFileListChoices& choices, const TFileListSizeStyle& style = {}, bool* utf8 = nullptr)
{
    const auto entries = FixtureEntries();
    return FileListBytes(FileListText(L"C:\\Fix", entries, choices, style, nullptr), TEncoding::Windows1252(), utf8);
}

TEST(FileListText, LayoutsMatchTheirGoldenFiles)
{
    bool utf8 = true;
    EXPECT_EQ(FileBytes({}, {}, &utf8), Golden(kGoldenFileListBlanks, sizeof kGoldenFileListBlanks));
    EXPECT_FALSE(utf8) << "every name maps to the ANSI code page";

    TFileListChoices tabs;
    tabs.Layout = TFileListLayout::Tabs;
    tabs.Path = true;
    tabs.Title = true;
    EXPECT_EQ(FileBytes(tabs), Golden(kGoldenFileListTabsPathTitle, sizeof kGoldenFileListTabsPathTitle));

    TFileListChoices csv;
    csv.Layout = TFileListLayout::Semicolons;
    EXPECT_EQ(FileBytes(csv), Golden(kGoldenFileListSemicolons, sizeof kGoldenFileListSemicolons));

    TFileListChoices titleOnly;
    titleOnly.Title = true;
    titleOnly.Header = false;
    titleOnly.Type = titleOnly.Date = titleOnly.Attributes = false;
    TFileListSizeStyle kilo;
    kilo.KiloBytes = true;
    EXPECT_EQ(FileBytes(titleOnly, kilo), Golden(kGoldenFileListTitleKiloBytes, sizeof kGoldenFileListTitleKiloBytes));
}

TEST(FileListText, NameOutsideTheCodePageMakesTheWholeFileUtf8)
{
    TFileListChoices choices;
    choices.Layout = TFileListLayout::Semicolons;
    choices.Type = choices.Date = choices.Attributes = false;
    const std::vector<TFileListEntry> entries = {File(L"Ärger.txt", L"", 10, L"", L""),
                                                 File(L"日本.txt", L"", 3, L"", L"")};
    bool utf8 = false;
    const std::string bytes =
        FileListBytes(FileListText(L"C:\\Fix", entries, choices, {}, nullptr), TEncoding::Windows1252(), &utf8);
    EXPECT_TRUE(utf8);
    EXPECT_EQ(bytes, Golden(kGoldenFileListUtf8, sizeof kGoldenFileListUtf8));
}

TEST(FileListText, LargeTextWithOneUnmappedCharacterAtTheEnd)
{
    // More than one piece of the encoder; the character that does not map
    // comes last, and a surrogate pair stands at a piece's border.
    std::wstring text((1 << 16) - 1, L'x');
    text += L"\U0001F600";
    text += std::wstring(70000, L'y');
    bool utf8 = false;
    std::string bytes = FileListBytes(text, TEncoding::Windows1252(), &utf8);
    EXPECT_TRUE(utf8);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + std::string((1 << 16) - 1, 'x') + "\xF0\x9F\x98\x80" + std::string(70000, 'y'));

    const std::wstring plain(200000, L'ä');
    bytes = FileListBytes(plain, TEncoding::Windows1252(), &utf8);
    EXPECT_FALSE(utf8);
    EXPECT_EQ(bytes, std::string(200000, '\xE4'));
}

TEST(FileListText, CsvHeaderOfTheDefaultColumns)
{
    TFileListChoices csv;
    csv.Layout = TFileListLayout::Semicolons;
    std::wstring out;
    AppendFileListBlock(out, L"C:\\", {}, csv, {});
    EXPECT_EQ(out, L"Dateiname;Typ;Größe;Datum;Uhrzeit;Attr\r\n");
}

TEST(FileListText, ParentOnlyWritesTitleAndHeader)
{
    TFileListChoices choices;
    choices.Title = true;
    choices.Type = choices.Size = choices.Date = choices.Attributes = false;
    const std::vector<TFileListEntry> entries = {Parent()};
    EXPECT_EQ(FileListText(L"C:\\Leer", entries, choices, {}, nullptr), L"Verzeichnis: C:\\Leer\r\nDateiname\r\n-\r\n");
}

TEST(FileListText, QuotesInCsvFieldsAreDoubled)
{
    TFileListChoices csv;
    csv.Layout = TFileListLayout::Semicolons;
    csv.Header = false;
    csv.Size = csv.Date = csv.Attributes = false;
    const std::vector<TFileListEntry> entries = {File(L"x\"y", L"Typ;A", 1, L"", L"")};
    std::wstring out;
    AppendFileListBlock(out, L"C:\\", entries, csv, {});
    EXPECT_EQ(out, L"\"x\"\"y\";\"Typ;A\"\r\n");
}

TEST(FileListText, SelectedOnlyListsTheMarkedEntries)
{
    TFileListChoices choices;
    choices.Header = false;
    choices.Type = choices.Size = choices.Date = choices.Attributes = false;
    choices.SelectedOnly = true;
    auto entries = FixtureEntries();
    entries[2].Marked = entries[5].Marked = true;
    EXPECT_EQ(FileListText(L"C:\\Fix", entries, choices, {}, nullptr), L"leer.txt \r\nÄrger.txt\r\n");
}

TEST(FileListText, SubfoldersDepthFirstAndLinksNeverEntered)
{
    std::map<std::wstring, std::vector<TFileListEntry>> disk;
    TFileListEntry link = Folder(L"Schleife");
    link.IsReparsePoint = true;
    disk[L"C:\\R"] = {Parent(), Folder(L"A"), Folder(L"B"), link, File(L"r.txt", L"", 1, L"", L"")};
    disk[L"C:\\R\\A"] = {Parent(), Folder(L"A1"), File(L"a.txt", L"", 1, L"", L"")};
    disk[L"C:\\R\\A\\A1"] = {Parent()};
    disk[L"C:\\R\\B"] = {Parent(), File(L"b.txt", L"", 1, L"", L"")};
    std::vector<std::wstring> read;
    const auto reader = [&](const std::wstring& path) {
        read.push_back(path);
        return disk.at(path);
    };
    TFileListChoices choices;
    choices.SubDirs = true;
    choices.SelectedOnly = true;  // no effect with subfolders
    choices.Title = true;
    choices.Header = false;
    choices.Type = choices.Size = choices.Date = choices.Attributes = false;
    const std::wstring text = FileListText(L"C:\\R", disk[L"C:\\R"], choices, {}, reader);
    EXPECT_EQ(read, (std::vector<std::wstring>{L"C:\\R\\A", L"C:\\R\\A\\A1", L"C:\\R\\B"}));
    EXPECT_EQ(text, L"Verzeichnis: C:\\R\r\n\r\nA       \r\nB       \r\nSchleife\r\nr.txt   \r\n"
                    L"\r\n\r\nVerzeichnis: C:\\R\\A\r\n\r\nA1   \r\na.txt\r\n"
                    L"\r\n\r\nVerzeichnis: C:\\R\\A\\A1\r\n\r\n"
                    L"\r\n\r\nVerzeichnis: C:\\R\\B\r\n\r\nb.txt\r\n");

    // Without title and header the blocks follow each other directly.
    choices.Title = false;
    EXPECT_EQ(FileListText(L"C:\\R", disk[L"C:\\R"], choices, {}, reader),
              L"A       \r\nB       \r\nSchleife\r\nr.txt   \r\nA1   \r\na.txt\r\nb.txt\r\n");
}

TEST(FileListText, SettingsTextOfSevenToTenCharacters)
{
    TFileListChoices defaults;
    EXPECT_EQ(FileListSettingsText(defaults), L"XXXXX-XX--");

    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    };
    for (const Case& c :
         {Case{L"-------", L"XXXXX-XX--"}, Case{L"--------", L"----------"}, Case{L"--------XX", L"--------XX"},
          Case{L"X-X-X-X-X", L"X-X-X-X---"}, Case{L"-X-X-X-X-XZZ", L"-X-X-X-X-X"}}) {
        TFileListChoices choices;
        ApplyFileListSettingsText(c.text, choices);
        EXPECT_EQ(FileListSettingsText(choices), c.expected) << c.text;
    }
}

TEST(FileListText, SizeTexts)
{
    TFileListSizeStyle kilo;
    kilo.KiloBytes = true;
    struct Case {
        std::optional<uint64_t> size;
        const wchar_t* bytes;
        const wchar_t* kilo;
    };
    for (const Case& c : {Case{std::nullopt, L"", L""}, Case{0, L"0", L"0 KB"}, Case{1, L"1", L"1 KB"},
                          Case{2047, L"2.047", L"1 KB"}, Case{5ULL << 30, L"5.368.709.120", L"5.242.880 KB"}}) {
        TFileListEntry e;
        e.Size = c.size;
        EXPECT_EQ(FileListSizeText(e, {}), c.bytes);
        EXPECT_EQ(FileListSizeText(e, kilo), c.kilo);
    }
}

TEST(FileListText, EntryOfARecordTakesTheListsTexts)
{
    TFileRec rec;
    rec.FileName = L"Bericht.txt";
    rec.DisplayName = L"bericht.txt";
    rec.TypeName = L"Textdokument";
    rec.Size = 4096;
    rec.Attr = faArchive | faReadOnly;
    rec.LastWrite = 1;
    rec.Selected = true;
    TDirCellOptions cells;
    const auto time = [](uint64_t) { return std::wstring(L"01.01.2020  00:00"); };
    TFileListEntry e = FileListEntryOf(rec, cells, time);
    EXPECT_EQ(e.Name, L"bericht.txt");
    EXPECT_EQ(e.FileName, L"Bericht.txt");
    EXPECT_EQ(e.Size, 4096U);
    EXPECT_EQ(e.DateText, L"01.01.2020  00:00");
    EXPECT_EQ(e.AttrText, L"ar");
    EXPECT_TRUE(e.Marked);

    rec.IsDirectory = true;
    rec.Attr = faDirectory | kReparsePointAttr;
    e = FileListEntryOf(rec, cells, time);
    EXPECT_FALSE(e.Size) << "a folder's size is unknown while sizes are not shown";
    EXPECT_TRUE(e.IsReparsePoint);
    cells.ShowSubDirSize = true;
    rec.SubDirSizeDone = true;
    EXPECT_EQ(FileListEntryOf(rec, cells, time).Size, 4096U);
}

TEST(FileListText, DialogStates)
{
    struct Case {
        int marked;
        bool subDirs;
        bool all, selected, selectedEnabled;
    };
    for (const Case& c :
         {Case{0, false, true, false, false}, Case{1, false, true, false, true}, Case{2, false, false, true, true},
          Case{3, false, false, true, true}, Case{2, true, true, false, false}}) {
        TFileListChoices choices;
        choices.SubDirs = c.subDirs;
        TFileListSource source;
        source.Marked = c.marked;
        const TFileListControlStates s = FileListShowStates(source, choices);
        EXPECT_EQ(s.AllFiles, c.all) << c.marked;
        EXPECT_EQ(s.SelectedFiles, c.selected) << c.marked;
        EXPECT_NE(s.AllFiles, s.SelectedFiles) << "exactly one range button is checked";
        EXPECT_EQ(s.SelectedFilesEnabled, c.selectedEnabled) << c.marked;
        EXPECT_EQ(choices.SelectedOnly, c.selected);
    }

    // Subfolders where the list allows none are off and disabled; outside the
    // file system only the name column remains.
    TFileListChoices choices;
    choices.SubDirs = true;
    choices.Path = true;
    TFileListSource source;
    source.SubDirsAllowed = false;
    source.FileSystemNode = false;
    source.Marked = 5;
    const TFileListControlStates s = FileListShowStates(source, choices);
    EXPECT_FALSE(choices.SubDirs);
    EXPECT_FALSE(s.SubDirsEnabled);
    EXPECT_FALSE(s.ColumnsEnabled);
    EXPECT_TRUE(s.SelectedFiles);
    EXPECT_EQ(FileListSettingsText(choices), L"X-----XX--");

    // Checking subfolders afterwards lists every file.
    TFileListControlStates states = FileListShowStates({3, true, true}, choices);
    FileListSubDirsChanged({3, true, true}, true, states);
    EXPECT_TRUE(states.AllFiles);
    EXPECT_FALSE(states.SelectedFilesEnabled);
}

TEST(FileListText, OkNeedsAColumnAndAName)
{
    TFileListChoices none;
    none.Name = none.Type = none.Size = none.Date = none.Attributes = false;
    EXPECT_FALSE(FileListOkEnabled(none, L"Dateiliste.txt"));
    none.Path = true;
    EXPECT_TRUE(FileListOkEnabled(none, L"Dateiliste.txt"));
    EXPECT_FALSE(FileListOkEnabled(TFileListChoices{}, L""));
    EXPECT_TRUE(FileListOkEnabled(TFileListChoices{}, L"x"));
    EXPECT_EQ(FileListDefaultExt(TFileListLayout::Semicolons), L"csv");
    EXPECT_EQ(FileListDefaultExt(TFileListLayout::Tabs), L"txt");
}

}  // namespace
}  // namespace qrv

namespace qrv {
namespace {

TEST(FileListText, StoredChoicesRoundTrip)
{
    TFileListStoredSettings stored;
    EXPECT_EQ(FileListSettingsText(FileListChoicesFrom(stored)), L"XXXXX-XX--") << "nothing stored: the defaults";
    stored.FormatIndex = 7;
    EXPECT_EQ(FileListChoicesFrom(stored).Layout, TFileListLayout::Blanks) << "an index out of range is ignored";

    TFileListChoices choices;
    choices.Layout = TFileListLayout::Semicolons;
    choices.SubDirs = true;
    choices.Attributes = false;
    StoreFileListChoices(choices, L"D:\\liste.csv", stored);
    EXPECT_EQ(stored.Settings, L"XXXX--XX-X");
    EXPECT_EQ(stored.FormatIndex, 2);
    EXPECT_EQ(stored.Filename, L"D:\\liste.csv");
    const TFileListChoices back = FileListChoicesFrom(stored);
    EXPECT_EQ(FileListSettingsText(back), L"XXXX--XX-X");
    EXPECT_EQ(back.Layout, TFileListLayout::Semicolons);
}

}  // namespace
}  // namespace qrv
