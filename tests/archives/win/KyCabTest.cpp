// TKyCAB and TCabinetReader over the system's cabinet.dll: a cabinet from
// gcab against cabextract's unpacking, and small cabinets written here for
// names stored with "/", hostile names, damaged data, throwing handlers and
// sets of cabinets a file runs on through.

#include "archives/win/KyCab.h"
#include "../CabinetFixtures.h"
#include "TestDir.h"
#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace qrv;
using qrv::test::CabinetSet;
using qrv::test::StoredCabinet;
namespace fs = std::filesystem;

namespace {

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return ExtractFilePath(path);
}

std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::map<std::wstring, std::string> Tree(const fs::path& root)
{
    std::map<std::wstring, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(root).wstring()] = Read(entry.path());
    return tree;
}

// The DOS date-time of a file's last write, in local time.
uint32_t LocalDosTime(const fs::path& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    FILETIME local;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    WORD date = 0, time = 0;
    FileTimeToDosDateTime(&local, &date, &time);
    return (static_cast<uint32_t>(date) << 16) | time;
}

class KyCabTest : public ::testing::Test {
protected:
    test::TestDir dir;
    fs::path root{dir.Path()};
    TKyCAB cab{nullptr};
    std::vector<std::wstring> errors;

    void SetUp() override
    {
        cab.OnError = [this](TKyCAB*, const std::wstring& text) { errors.push_back(text); };
    }

    std::wstring Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(root / name, std::ios::binary) << bytes;
        return (root / name).wstring();
    }
};

}  // namespace

TEST_F(KyCabTest, ListsAndExtractsWhatGcabWroteAsCabextractDoes)
{
    const fs::path fixture = fs::path(ProgramFolder()) / "gcab_sub_utf8.cab";
    fs::copy_file(fixture, root / "t.cab");
    cab.SetArchiveName((root / "t.cab").wstring());
    ASSERT_EQ(cab.ArchiveName(), (root / "t.cab").wstring());
    ASSERT_TRUE(cab.List());
    ASSERT_EQ(cab.Count(), 3);
    const auto reference = Tree(fs::path(ProgramFolder()) / "cab_reference");
    EXPECT_EQ(cab.Items(0).Name, L"long.txt");
    EXPECT_EQ(cab.Items(1).Name, L"sub\\Größe.txt");
    EXPECT_EQ(cab.Items(2).Name, L"sub\\x.bin");
    EXPECT_EQ(cab.Items(0).Size, reference.at(L"long.txt").size());
    EXPECT_EQ(cab.Items(0).DateTime, 0x58A63905u);  // 2024-05-06 07:08:10 as stored
    EXPECT_EQ(cab.Items(1).DateTime, 0x56221883u);  // 2023-01-02 03:04:06

    cab.SetTargetDir((root / "paths").wstring());
    EXPECT_TRUE(cab.Extract(true));
    EXPECT_EQ(Tree(root / "paths"), reference);
    for (int i = 0; i < cab.Count(); ++i)
        EXPECT_EQ(LocalDosTime(root / "paths" / cab.Items(i).Name), cab.Items(i).DateTime) << cab.Items(i).Name;

    cab.SetTargetDir((root / "flat").wstring());
    EXPECT_TRUE(cab.Extract(false));
    EXPECT_EQ(Read(root / "flat" / L"Größe.txt"), reference.at(L"sub\\Größe.txt"));
    EXPECT_EQ(LocalDosTime(root / "flat" / L"Größe.txt"), cab.Items(1).DateTime);
    EXPECT_FALSE(fs::exists(root / "flat" / "sub"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(KyCabTest, SlashNamesListWithBackslashesAndMatchRequestsInThatForm)
{
    cab.SetArchiveName(Write("slash.cab", StoredCabinet({{"dir/a.txt", "alpha"}, {"dir/b.txt", "bravo"}})));
    ASSERT_TRUE(cab.List());
    ASSERT_EQ(cab.Count(), 2);
    EXPECT_EQ(cab.Items(0).Name, L"dir\\a.txt");
    TStringList wanted;
    wanted.Add(L"dir\\b.txt");
    cab.SetFilesToExtract(wanted);
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_TRUE(cab.Extract(true));
    EXPECT_EQ(Tree(root / "out"), (std::map<std::wstring, std::string>{{L"dir\\b.txt", "bravo"}}));
}

TEST_F(KyCabTest, AForeignFileKeepsTheOldNameAndADamagedCabinetFails)
{
    const std::wstring good = Write("good.cab", StoredCabinet({{"a.txt", "alpha"}}));
    cab.SetArchiveName(good);
    const std::wstring text = Write("letter.cab", "Sehr geehrte Damen und Herren, dies ist kein Cabinet.");
    cab.SetArchiveName(text);
    EXPECT_EQ(cab.ArchiveName(), good);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"UNCAB: \"" + text + L"\" ist kein gültiges Cabinet-Archiv"});

    std::string damaged = StoredCabinet({{"a.txt", std::string(5000, 'a')}});
    damaged.resize(damaged.size() - 3000);
    cab.SetArchiveName(Write("damaged.cab", damaged));
    errors.clear();
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_FALSE(cab.Extract(true));
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back().rfind(L"UNCAB: Cabinet error ", 0), 0u) << errors.back();
    EXPECT_FALSE(fs::exists(root / "out" / "a.txt"));  // no incomplete file stays
}

TEST_F(KyCabTest, HostileNamesWriteNothingOutsideTheTarget)
{
    cab.SetArchiveName(
        Write("hostile.cab",
              StoredCabinet({{"..\\up.txt", "x"}, {"\\rooted.txt", "r"}, {"C:\\drive.txt", "d"}, {"ok.txt", "fine"}})));
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_FALSE(cab.Extract(true));  // one name refused
    EXPECT_EQ(Tree(root / "out"),
              (std::map<std::wstring, std::string>{{L"rooted.txt", "r"}, {L"drive.txt", "d"}, {L"ok.txt", "fine"}}));
    EXPECT_FALSE(fs::exists(root / "up.txt"));
    EXPECT_EQ(errors.size(), 1u);
}

// A file the system refuses to create (its name is too long) is reported
// with the system's reason, the folders made for it go again, and the run
// goes on with the next file.
TEST_F(KyCabTest, ARefusedFileIsReportedAndTheNextOneExtracted)
{
    const std::string tooLong = "d1\\d2\\d3\\d4\\d5\\d6\\d7\\d8\\" + std::string(300, 'n') + ".txt";
    cab.SetArchiveName(Write("long.cab", StoredCabinet({{"first.txt", "one"}, {tooLong, "x"}, {"ok.txt", "fine"}})));
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_FALSE(cab.Extract(true));
    EXPECT_EQ(Tree(root / "out"), (std::map<std::wstring, std::string>{{L"first.txt", "one"}, {L"ok.txt", "fine"}}));
    EXPECT_FALSE(fs::exists(root / "out" / "d1")) << "no empty folders are left";
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind(L"UNCAB: Die Datei \"" + Utf8ToWide(tooLong) + L"\" kann nicht angelegt werden. ", 0), 0u)
        << std::string(errors[0].begin(), errors[0].end());
    EXPECT_GT(errors[0].size(), 40 + tooLong.size()) << "the system's reason follows";
}

// On Windows two files differing only in case are one: the later is named
// apart instead of replacing the earlier.
TEST_F(KyCabTest, FilesDifferingOnlyInCaseAreNamedApart)
{
    cab.SetArchiveName(Write("case.cab", StoredCabinet({{"Readme.txt", "one"}, {"README.TXT", "two"}})));
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_TRUE(cab.Extract(true));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(Tree(root / "out"),
              (std::map<std::wstring, std::string>{{L"Readme.txt", "one"}, {L"README (1).TXT", "two"}}));
}

TEST_F(KyCabTest, NeitherListNorExtractStartsWhileARunIsBusy)
{
    cab.SetArchiveName(Write("a.cab", StoredCabinet({{"a.txt", "alpha"}, {"b.txt", "bravo"}})));
    ASSERT_TRUE(cab.List());
    cab.SetTargetDir((root / "out").wstring());
    std::vector<bool> nested;
    cab.OnCopyFile = [&](TKyCAB* sender, const std::wstring&, int32_t, uint16_t, uint16_t, uint16_t, TFileCopyAction&) {
        EXPECT_TRUE(sender->Busy());
        nested.push_back(sender->Extract(true));
        nested.push_back(sender->List());
    };
    EXPECT_TRUE(cab.Extract(true));
    EXPECT_EQ(nested, std::vector<bool>(4, false));
    EXPECT_EQ(cab.Count(), 2);  // the list stays as it was
    EXPECT_EQ(Tree(root / "out"), (std::map<std::wstring, std::string>{{L"a.txt", "alpha"}, {L"b.txt", "bravo"}}));
    EXPECT_FALSE(cab.Busy());
}

TEST_F(KyCabTest, AThrowingHandlerEndsTheRunFalse)
{
    cab.SetArchiveName(Write("a.cab", StoredCabinet({{"a.txt", "alpha"}, {"b.txt", "bravo"}})));
    cab.SetTargetDir((root / "out").wstring());
    cab.OnCopyFile = [](TKyCAB*, const std::wstring&, int32_t, uint16_t, uint16_t, uint16_t, TFileCopyAction&) {
        throw Exception(L"Abbruch im Ereignis");
    };
    EXPECT_FALSE(cab.Extract(true));
    EXPECT_EQ(errors, std::vector<std::wstring>{L"UNCAB: Abbruch im Ereignis"});
    EXPECT_FALSE(cab.Busy());
}

namespace {

// Three cabinets: "first.txt" lies in the first, "sub\span.txt" runs from
// the first through the second into the third, where "last.txt" follows it.
struct TSpanningSet {
    std::string First = "erste Datei";
    std::string Span;
    std::string Last = "letzte Datei";

    TSpanningSet()
    {
        for (int i = 0; i < 50000; ++i)
            Span.push_back(static_cast<char>('a' + (i * 7) % 26));
    }

    // Writes a1.cab, a2.cab and a3.cab into the folder.
    void Write(const fs::path& folder) const
    {
        fs::create_directories(folder);
        const auto cabinets = CabinetSet({{"first.txt", First}, {"sub\\span.txt", Span}, {"last.txt", Last}},
                                         {"a1.cab", "a2.cab", "a3.cab"}, {3000, 40000});
        for (size_t i = 0; i < cabinets.size(); ++i)
            std::ofstream(folder / ("a" + std::to_string(i + 1) + ".cab"), std::ios::binary) << cabinets[i];
    }
};

}  // namespace

TEST_F(KyCabTest, AFileRunningThroughASetOfCabinetsIsExtractedWhole)
{
    const TSpanningSet set;
    set.Write(root);
    cab.SetArchiveName((root / "a1.cab").wstring());
    ASSERT_TRUE(cab.List());
    ASSERT_EQ(cab.Count(), 2);
    EXPECT_EQ(cab.Items(0).Name, L"first.txt");
    EXPECT_EQ(cab.Items(1).Name, L"sub\\span.txt");
    EXPECT_EQ(cab.Items(1).Size, set.Span.size());

    cab.SetTargetDir((root / "out").wstring());
    EXPECT_TRUE(cab.Extract(true));
    EXPECT_EQ(Read(root / "out" / "first.txt"), set.First);
    EXPECT_TRUE(Read(root / "out" / "sub" / "span.txt") == set.Span);
    EXPECT_EQ(errors, std::vector<std::wstring>{});
}

TEST_F(KyCabTest, ALaterCabinetOfASetListsOnlyWhatBeginsInIt)
{
    const TSpanningSet set;
    set.Write(root);
    cab.SetArchiveName((root / "a3.cab").wstring());
    ASSERT_TRUE(cab.List());
    ASSERT_EQ(cab.Count(), 1);
    EXPECT_EQ(cab.Items(0).Name, L"last.txt");
    // Its data lie behind the start of a folder that began two cabinets
    // before: a system that cannot decompress it from here fails the run
    // and leaves nothing behind.
    cab.SetTargetDir((root / "out").wstring());
    if (cab.Extract(true)) {
        EXPECT_EQ(Tree(root / "out"), (std::map<std::wstring, std::string>{{L"last.txt", set.Last}}));
    } else {
        EXPECT_TRUE(!fs::exists(root / "out") || fs::is_empty(root / "out"));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind(L"UNCAB: Cabinet error ", 0), 0u);
    }
}

TEST_F(KyCabTest, AMissingCabinetOfTheSetEndsTheRunFalseAndLeavesNoPartOfTheFile)
{
    const TSpanningSet set;
    std::vector<std::wstring> closed;
    cab.OnCloseCopyFile = [&](TKyCAB*, const std::wstring& name, int) { closed.push_back(name); };
    set.Write(root);
    fs::remove(root / "a2.cab");
    cab.SetArchiveName((root / "a1.cab").wstring());
    cab.SetTargetDir((root / "out").wstring());
    EXPECT_FALSE(cab.Extract(true));
    EXPECT_EQ(errors, std::vector<std::wstring>{L"UNCAB: Cabinet error 1 (type 0)"});
    EXPECT_EQ(Read(root / "out" / "first.txt"), set.First);
    EXPECT_FALSE(fs::exists(root / "out" / "sub" / "span.txt"));
    EXPECT_EQ(closed, std::vector<std::wstring>{L"first.txt"});
    EXPECT_FALSE(cab.Busy());
}

namespace {

class CabinetReaderTest : public ::testing::Test {
protected:
    test::TestDir dir;
    fs::path root{dir.Path()};
    TCabinetReader reader{nullptr};
    TSpanningSet set;
};

}  // namespace

TEST_F(CabinetReaderTest, ReportsTheSetAndLooksForTheNextCabinetWhereItIsTold)
{
    set.Write(root / "one");
    fs::create_directories(root / "two");
    for (const char* name : {"a2.cab", "a3.cab"})
        fs::rename(root / "one" / name, root / "two" / name);

    std::vector<std::wstring> infos, asked;
    reader.OnCabinetInfo = [&](TCabinetReader*, const std::wstring& name, const std::wstring& disk,
                               const std::wstring& path, int setId, int number, bool&) {
        infos.push_back(name + L"|" + disk + L"|" + path + L"|" + std::to_wstring(setId) + L"|" +
                        std::to_wstring(number));
    };
    reader.OnNextCabinet = [&](TCabinetReader*, const std::wstring& name, const std::wstring& disk, std::wstring& path,
                               TFDIERROR error, bool&) {
        asked.push_back(name + L"|" + disk + L"|" + std::to_wstring(error));
        path = (root / "two").wstring();  // without the trailing backslash
    };
    fs::create_directories(root / "out" / "sub");  // the default copy creates no folders
    reader.Copy((root / "one" / "a1.cab").wstring(), (root / "out").wstring());
    EXPECT_EQ(Read(root / "out" / "first.txt"), set.First);
    EXPECT_TRUE(Read(root / "out" / "sub" / "span.txt") == set.Span);
    ASSERT_FALSE(infos.empty());
    EXPECT_EQ(infos.front(), L"a2.cab|Disk 2|" + (root / "one").wstring() + L"\\|4711|0");
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"a2.cab|Disk 2|0", L"a3.cab|Disk 3|0"}));
}

TEST_F(CabinetReaderTest, AFileFromAnEarlierCabinetIsReportedNotCopied)
{
    set.Write(root);
    std::vector<std::wstring> partial;
    reader.OnPartialFile = [&](TCabinetReader*, const std::wstring& name, const std::wstring& first,
                               const std::wstring& disk,
                               bool&) { partial.push_back(name + L"|" + first + L"|" + disk); };
    fs::create_directories(root / "out");
    reader.OnCopyFile = [](TCabinetReader*, const std::string&, int32_t, uint16_t, uint16_t, uint16_t,
                           TFileCopyAction& action, INT_PTR&) { action = fcaSkip; };
    reader.Copy((root / "a3.cab").wstring(), (root / "out").wstring());
    EXPECT_EQ(partial, std::vector<std::wstring>{L"sub\\span.txt|a2.cab|Disk 2"});
    EXPECT_TRUE(fs::is_empty(root / "out"));

    // An abort asked for in a notification ends the run with FDI's error.
    reader.OnPartialFile = [](TCabinetReader*, const std::wstring&, const std::wstring&, const std::wstring&,
                              bool& abort) { abort = true; };
    try {
        reader.Copy((root / "a3.cab").wstring(), (root / "again").wstring());
        ADD_FAILURE() << "the run was not aborted";
    } catch (const ECabinetError& e) {
        EXPECT_EQ(e.Code, FDIERROR_USER_ABORT);
    }
}

TEST_F(CabinetReaderTest, EveryProcessorTypeReadsACabinet)
{
    const std::string bytes = StoredCabinet({{"a.txt", "alpha"}});
    std::ofstream(root / "a.cab", std::ios::binary) << bytes;
    for (const TCpuType cpu : {cpt80286, cpt80386, cptAuto}) {
        reader.SetCpuType(cpu);
        EXPECT_EQ(reader.CpuType(), cpu);
        FDICABINETINFO info{};
        EXPECT_TRUE(reader.IsCabinet((root / "a.cab").wstring(), info)) << cpu;
        EXPECT_EQ(info.cFiles, 1);
        const fs::path out = root / ("out" + std::to_string(cpu));
        fs::create_directories(out);
        reader.Copy((root / "a.cab").wstring(), out.wstring());
        EXPECT_EQ(Read(out / "a.txt"), "alpha") << cpu;
    }
}

TEST_F(CabinetReaderTest, ItsOwnCopiesRefuseNamesLeadingOutsideTheDestination)
{
    std::ofstream(root / "h.cab", std::ios::binary)
        << StoredCabinet({{"..\\up.txt", "x"}, {"ok.txt", "fine"}, {"C:\\drive.txt", "d"}});
    fs::create_directories(root / "out");
    try {
        reader.Copy((root / "h.cab").wstring(), (root / "out").wstring());
        ADD_FAILURE() << "a refused name was not reported";
    } catch (const ECabinetError& e) {
        EXPECT_EQ(e.Code, FDIERROR_TARGET_FILE);
    }
    EXPECT_EQ(Read(root / "out" / "ok.txt"), "fine");
    EXPECT_EQ(Read(root / "out" / "drive.txt"), "d");
    EXPECT_FALSE(fs::exists(root / "up.txt"));
}

TEST_F(CabinetReaderTest, AMissingNextCabinetIsAskedForOnceMoreThenTheRunEnds)
{
    set.Write(root);
    fs::remove(root / "a2.cab");
    fs::create_directories(root / "out" / "sub");
    // A handler that names nothing new, and one that names the same folder
    // in another spelling: neither makes FDI try the same cabinet forever.
    for (const bool respell : {false, true}) {
        SCOPED_TRACE(respell ? "same folder respelt" : "folder left as it was");
        std::vector<std::wstring> asked;
        reader.OnNextCabinet = [&](TCabinetReader*, const std::wstring& name, const std::wstring&, std::wstring& path,
                                   TFDIERROR error, bool&) {
            asked.push_back(name + L"|" + std::to_wstring(error));
            if (respell)
                path = root.wstring();  // without the trailing backslash
        };
        try {
            reader.Copy((root / "a1.cab").wstring(), (root / "out").wstring());
            ADD_FAILURE() << "the run did not fail";
        } catch (const ECabinetError& e) {
            EXPECT_EQ(e.Code, FDIERROR_CABINET_NOT_FOUND);
        }
        EXPECT_EQ(asked, (std::vector<std::wstring>{L"a2.cab|0", L"a2.cab|1"}));
        EXPECT_FALSE(fs::exists(root / "out" / "sub" / "span.txt"));
    }
}
