#include "archives/ArchiveOperations.h"

#include <gtest/gtest.h>

#include <map>

using namespace qrv;

TEST(ArchiveOperations, ExtractSpecsPassTheWholeZipOnlyWhenNothingIsHidden)
{
    const std::vector<std::wstring> names = {L"a.txt", L"sub\\b.txt"};
    struct Case {
        bool IsZip, EverySelected, FilterHidesNone;
        std::vector<std::wstring> Expected;
    } cases[] = {
        {true, true, true, {L"*.*"}},
        {true, true, false, names},  // a filtered entry: the names, never the whole archive
        {true, false, true, names},
        {false, true, true, names},  // other kinds always name their entries
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtractSpecs(c.IsZip, c.EverySelected, c.FilterHidesNone, names), c.Expected);
    EXPECT_TRUE(ExtractSpecs(true, true, true, {}).empty()) << "nothing selected is nothing to extract";

    EXPECT_EQ(MeantFileCount({L"*.*"}, 12), 12) << "the whole archive means every file, not one";
    EXPECT_EQ(MeantFileCount(names, 12), 2);
}

TEST(ArchiveOperations, SuccessNeedsEveryMeantFileAndNoCrcError)
{
    struct Case {
        int Meant, Success, Crc, Err;
        bool Expected;
    } cases[] = {
        {3, 3, 0, 0, true},  {3, 2, 0, 0, false},  // a damaged entry under "*.*" is not extracted
        {3, 3, 1, 0, false},                       // a CRC error counts although the code is 0
        {3, 3, 0, 9, false}, {0, 0, 0, 0, false},  // nothing meant is no success
        {1, 2, 0, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZipRunSucceeded(c.Meant, c.Success, c.Crc, c.Err), c.Expected)
            << c.Meant << " " << c.Success << " " << c.Crc << " " << c.Err;
}

TEST(ArchiveOperations, ReportTexts)
{
    EXPECT_EQ(ZipMessageText(0, L"Fertig"), L"Fertig");
    EXPECT_EQ(ZipMessageText(11, L"Fehler"), L"Fehler / ErrorCode = 11");
    EXPECT_EQ(ZipMessageText(-1, L"F"), L"F / ErrorCode = 4294967295") << "formatted unsigned";
    EXPECT_EQ(FileReportText(TFileReport::Extracted, true, L"a.txt"), L"Entpackt: a.txt");
    EXPECT_EQ(FileReportText(TFileReport::Extracted, false, L"a.txt"), L"Entpacken fehlgeschlagen: a.txt");
    EXPECT_EQ(FileReportText(TFileReport::Tested, true, L"a.txt"), L"Getestet: a.txt");
    EXPECT_EQ(FileReportText(TFileReport::Tested, false, L"a.txt"), L"Testen fehlgeschlagen: a.txt");
    EXPECT_EQ(ExtractDialogCaption(1, L"a.txt", L"x.zip"), L"Datei \"a.txt\" extrahieren nach");
    EXPECT_EQ(ExtractDialogCaption(3, L"a.txt", L"x.zip"), L"3 Dateien aus \"x.zip\" extrahieren nach");
    EXPECT_EQ(WriteBackQuestion(L"a.txt"), L"Die extrahierte Datei \"a.txt\" ist geändert worden. Soll diese "
                                           L"Änderung in das Archiv übernommen werden?");
}

TEST(ArchiveOperations, OverwriteDecisions)
{
    EXPECT_TRUE(MayReplaceExisting(false, false)) << "without the question every file is replaced";
    EXPECT_TRUE(MayReplaceExisting(true, std::nullopt));
    EXPECT_FALSE(MayReplaceExisting(true, false));
    EXPECT_TRUE(MayReplaceExisting(true, true));
}

namespace {

struct WriteBackFixture {
    std::map<std::wstring, TCopyState> disk;
    std::map<std::wstring, TWriteBackAnswer> answers;
    std::vector<std::wstring> asked;
    int beeps = 0;

    std::vector<size_t> Ask(std::vector<TWriteBackRecord>& records)
    {
        return AskWriteBack(
            records,
            [&](const std::wstring& path) {
                auto found = disk.find(path);
                return found == disk.end() ? TCopyState{} : found->second;
            },
            [&](const std::wstring& name) {
                asked.push_back(name);
                return answers.at(name);
            },
            [&] { ++beeps; });
    }
};

TWriteBackRecord Record(const std::wstring& name, uint64_t time, uint64_t size)
{
    TWriteBackRecord record;
    record.Path = L"C:\\tmp\\$Zovura\\v1\\o1\\" + name;
    record.StoredName = name;
    record.WriteTime = time;
    record.Size = size;
    return record;
}

}  // namespace

TEST(ArchiveOperations, WriteBackOffersEveryDifferenceLastFirst)
{
    WriteBackFixture f;
    std::vector<TWriteBackRecord> records = {Record(L"same.txt", 100, 5), Record(L"second.txt", 100, 5),
                                             Record(L"older.txt", 100, 5), Record(L"gone.txt", 100, 5),
                                             Record(L"size.txt", 100, 5)};
    f.disk[records[0].Path] = {true, 100, 5};
    f.disk[records[1].Path] = {true, 101, 5};  // within the same two seconds of a DOS time
    f.disk[records[2].Path] = {true, 50, 5};   // written back to an older time (an entry dated ahead)
    f.disk[records[4].Path] = {true, 100, 6};  // same time, other size
    f.answers = {{L"second.txt", TWriteBackAnswer::Yes},
                 {L"older.txt", TWriteBackAnswer::No},
                 {L"size.txt", TWriteBackAnswer::Other}};

    const std::vector<size_t> queued = f.Ask(records);
    EXPECT_EQ(f.asked, (std::vector<std::wstring>{L"size.txt", L"older.txt", L"second.txt"}));
    EXPECT_EQ(f.beeps, 1);
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(records[queued[0]].StoredName, L"second.txt") << "the place is right after No removed a record";
    ASSERT_EQ(records.size(), 4u) << "only No drops a record; Yes stays until written back";
    EXPECT_EQ(records[2].StoredName, L"gone.txt");
}

TEST(ArchiveOperations, WriteBackCancelStopsAskingAndKeepsTheRest)
{
    WriteBackFixture f;
    std::vector<TWriteBackRecord> records = {Record(L"a.txt", 1, 1), Record(L"b.txt", 1, 1)};
    f.disk[records[0].Path] = {true, 2, 1};
    f.disk[records[1].Path] = {true, 2, 1};
    f.answers = {{L"b.txt", TWriteBackAnswer::Cancel}, {L"a.txt", TWriteBackAnswer::Yes}};
    EXPECT_TRUE(f.Ask(records).empty());
    EXPECT_EQ(f.asked, std::vector<std::wstring>{L"b.txt"});
    EXPECT_EQ(records.size(), 2u);
}

TEST(ArchiveOperations, DragOutPathsAndDropSplit)
{
    const std::vector<TDragEntry> entries = {
        {L"a.txt", L""}, {L"b.txt", L"docs\\"}, {L"c.txt", L"docs\\deep\\"}, {L"d.txt", L"src\\"}};
    EXPECT_EQ(DragOutPaths(L"T:\\d\\", entries, true),
              (std::vector<std::wstring>{L"T:\\d\\a.txt", L"T:\\d\\docs", L"T:\\d\\src"}));
    EXPECT_EQ(DragOutPaths(L"T:\\d\\", {{L"x.txt", L"..\\up\\"}, {L"..", L""}, {L"ok.txt", L""}}, true),
              std::vector<std::wstring>{L"T:\\d\\ok.txt"})
        << "a hostile level hands the target nothing outside the drag's folder";
    EXPECT_EQ(DragOutPaths(L"T:\\d\\", entries, false),
              (std::vector<std::wstring>{L"T:\\d\\a.txt", L"T:\\d\\b.txt", L"T:\\d\\c.txt", L"T:\\d\\d.txt"}));

    const TDroppedPaths split = SplitDropped({L"C:\\f1", L"C:\\d1", L"C:\\f2", L"C:\\d2"}, [](const std::wstring& p) {
        return p.find(L"\\d") != std::wstring::npos;
    });
    EXPECT_EQ(split.Directories, (std::vector<std::wstring>{L"C:\\d1", L"C:\\d2"}));
    EXPECT_EQ(split.Files, (std::vector<std::wstring>{L"C:\\f1", L"C:\\f2"}));
}

TEST(ArchiveOperations, AddDirectoriesPlan)
{
    TAddDirectoriesPlan plan = PlanAddDirectories({L"C:\\work\\src\\", L"C:\\work\\docs"});
    EXPECT_EQ(plan.BaseFolder, L"C:\\work");
    EXPECT_EQ(plan.Specs, (std::vector<std::wstring>{L"src\\*.*", L"docs\\*.*"}));
    plan = PlanAddDirectories({L"D:\\top"});
    EXPECT_EQ(plan.BaseFolder, L"D:\\") << "a drive becomes its root";
    EXPECT_TRUE(PlanAddDirectories({}).Specs.empty());
}

TEST(ArchiveOperations, PropertiesText)
{
    TItemProperties item;
    item.Name = L"big.bin";
    item.Path = L"data\\";
    item.Changed = L"01.02.2021 03:04";
    item.TypeName = L"BIN-Datei";
    item.Size = 5ull << 30;  // 5 GiB
    item.PackedSize = 5ull << 28;
    item.CRC = 0x00ab12;
    EXPECT_EQ(ItemPropertiesText(item, L"."), L"Name:         \tbig.bin\t\t\n\n"
                                              L"Pfad:         \tdata\\\t\t\n\n"
                                              L"Geändert am:\t01.02.2021 03:04\t\t\n\n"
                                              L"Typ:          \tBIN-Datei\t\t\n\n"
                                              L"Unkomprimiert:\t5.368.709.120 Bytes\t\t\n\n"
                                              L"Komprimiert:\t1.342.177.280 Bytes\t\t\n\n"
                                              L"Komprimierung:\t75 %\t\t\n\n"
                                              L"CRC:          \t0000ab12\t\t\n\n");
    item.Size = 0;
    EXPECT_NE(ItemPropertiesText(item, L".").find(L"Komprimierung:\t0 %"), std::wstring::npos)
        << "an empty entry has no ratio";
}

TEST(ArchiveOperations, SetupPrograms)
{
    EXPECT_TRUE(IsSetupProgram(L"Setup.exe"));
    EXPECT_TRUE(IsSetupProgram(L"INSTALL.EXE"));
    EXPECT_FALSE(IsSetupProgram(L"setup.exe.txt"));
    EXPECT_FALSE(IsSetupProgram(L"mysetup.exe"));
}

TEST(ArchiveOperations, WhatGoesWithAnOpenedEntry)
{
    const std::vector<TListedEntry> entries = {
        {L"Setup.exe", L"disk1\\"}, {L"data.cab", L"disk1\\"}, {L"deeper.txt", L"disk1\\sub\\"},
        {L"other.txt", L"disk2\\"}, {L"top.txt", L""},         {L"App.hlp", L"help\\"},
        {L"Other.cnt", L"help\\"},  {L"APP.CNT", L"help\\"},   {L"App.cnt", L""},
        {L"app.cnt", L"help\\"},    {L"INSTALL.EXE", L""},
    };
    EXPECT_EQ(OpenedTogether(entries, 0), (std::vector<size_t>{0, 1})) << "its folder, not the one below";
    EXPECT_EQ(OpenedTogether(entries, 10), (std::vector<size_t>{10, 4, 8})) << "the top folder's entries";
    EXPECT_EQ(OpenedTogether(entries, 5), (std::vector<size_t>{5, 7})) << "the first contents file of its folder";
    EXPECT_EQ(OpenedTogether(entries, 4), std::vector<size_t>{4});
    EXPECT_EQ(OpenedTogether({{L"lone.hlp", L""}}, 0), std::vector<size_t>{0});
    EXPECT_TRUE(OpenedTogether(entries, 99).empty());
}

TEST(ArchiveOperations, WriteBackRunsPerPasswordAndRecordsGoOnlyWhenWritten)
{
    std::vector<TWriteBackRecord> records = {Record(L"a.txt", 1, 1), Record(L"s1.txt", 1, 1), Record(L"b.txt", 1, 1),
                                             Record(L"s2.txt", 1, 1), Record(L"t.txt", 1, 1)};
    records[1].Encrypted = records[3].Encrypted = true;
    records[1].Password = records[3].Password = L"eins";
    records[4].Encrypted = true;  // opened without a password kept
    const std::vector<TWriteBackRun> plan = PlanWriteBackRuns(records, {4, 3, 2, 1, 0});
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[0].Places, (std::vector<size_t>{0, 2}));
    EXPECT_FALSE(plan[0].Encrypted);
    EXPECT_EQ(plan[1].Places, (std::vector<size_t>{1, 3}));
    EXPECT_EQ(plan[1].Password, L"eins");
    EXPECT_EQ(plan[2].Places, std::vector<size_t>{4});
    EXPECT_EQ(plan[0].Paths.front(), records[0].Path);

    // The plain run fails, the one without a password is cancelled: only
    // the encrypted run with its kept password goes, and its records.
    std::vector<std::wstring> asked, written;
    std::vector<std::wstring> added;
    EXPECT_FALSE(WriteBackInRuns(
        records, {0, 1, 2, 3, 4},
        [&](const std::wstring& name) {
            asked.push_back(name);
            return std::wstring();
        },
        [&](const TWriteBackRun& run) {
            added.push_back(run.Encrypted ? L"encrypted " + run.Password : L"plain");
            return run.Encrypted;
        },
        written));
    EXPECT_EQ(asked, std::vector<std::wstring>{L"t.txt"});
    EXPECT_EQ(added, (std::vector<std::wstring>{L"plain", L"encrypted eins"})) << "never in the clear without one";
    EXPECT_EQ(written, (std::vector<std::wstring>{Record(L"s2.txt", 1, 1).Path, Record(L"s1.txt", 1, 1).Path}));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].StoredName, L"a.txt");
    EXPECT_EQ(records[1].StoredName, L"b.txt");
    EXPECT_EQ(records[2].StoredName, L"t.txt");
}
