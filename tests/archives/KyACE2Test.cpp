// TKyACE2 over the ACE library's core (linked in): its callbacks turned
// into entries, events and messages, and the component's results.

#include "archives/KyACE2.h"
#include "TestDir.h"
#include "external/AceCore.h"
#include "external/AceFixture.h"
#include "external/ZipFormat.h"
#include "framework/FilePath.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace qrv;
using namespace qrv::external;
namespace fs = std::filesystem;

namespace {

TAcePlatform CorePlatform(std::vector<std::wstring>* created = nullptr)
{
    TAcePlatform platform;
    platform.LoadUnAce = [](TUnAceFunctions& f) {
        f.InitDll = AceInitDll;
        f.ReadArchiveData = AceReadArchiveData;
        f.List = AceList;
        f.Test = AceTest;
        f.Extract = AceExtract;
        return true;
    };
    platform.FileExists = [](const std::wstring& name) { return fs::is_regular_file(FsPath(name)); };
    platform.FileCreated = [created](const std::wstring& name) {
        if (created)
            created->push_back(name);
    };
    return platform;
}

std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class KyAceTest : public ::testing::Test {
protected:
    test::TestDir dir;
    fs::path root = FsPath(dir.Path());
    fs::path out = root / "out";
    std::vector<std::wstring> messages;
    std::vector<std::wstring> created;
    TKyACE2 ace{nullptr, CorePlatform(&created)};

    void SetUp() override
    {
        ace.OnMessage = [this](TKyACE2*, const std::wstring& text) { messages.push_back(text); };
    }

    std::wstring Archive(const std::vector<TAceFixtureEntry>& entries, const TAceFixtureOptions& options = {},
                         const std::string& name = "a.ace")
    {
        std::ofstream(root / name, std::ios::binary) << BuildAceFixture(entries, options);
        return FromFsPath(root / name);
    }

    static std::vector<TAceFixtureEntry> Sample()
    {
        TAceFixtureEntry folder{"docs", ""};
        folder.Attributes = 0x10;
        TAceFixtureEntry secret{"secret.txt", "sealed"};
        secret.Encrypted = true;
        return {{"a.txt", "alpha", 0x5A8A6000}, folder, {"docs\\Größe.txt", "beta beta", 0x4B2C3123, 0x21}, secret};
    }
};

}  // namespace

TEST_F(KyAceTest, ListsFilesWithTheirFieldsAndSkipsFolders)
{
    ace.SetArchiveName(Archive(Sample(), {"Kommentar"}));
    ASSERT_EQ(ace.ArchiveName(), FromFsPath(root / "a.ace"));
    ASSERT_TRUE(ace.List());
    ASSERT_EQ(ace.Count(), 3);
    EXPECT_EQ(ace.Items(0).FileName, L"a.txt");
    EXPECT_EQ(ace.Items(0).UnpSize, 5u);
    EXPECT_EQ(ace.Items(0).PackSize, 5u);
    EXPECT_EQ(ace.Items(0).CRC, Crc32(0, "alpha", 5));
    EXPECT_EQ(ace.Items(0).FileTime, 0x5A8A6000u);
    EXPECT_EQ(ace.Items(1).FileName, L"docs\\Größe.txt");
    EXPECT_EQ(ace.Items(1).FileTime, 0x4B2C3123u);
    EXPECT_EQ(ace.Items(1).Attributes, 0x21);
    EXPECT_EQ(ace.Items(1).Encrypted, 0);
    EXPECT_EQ(ace.Items(2).Encrypted, 1);
    EXPECT_EQ(ace.Comment(), "Kommentar");
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(ace.Busy());

    // A comment longer than the buffer of 8,193 bytes arrives cut, terminated.
    ace.SetArchiveName(Archive({{"a.txt", "a"}}, {std::string(9000, 'k')}, "long.ace"));
    ASSERT_TRUE(ace.List());
    EXPECT_EQ(ace.Comment(), std::string(ACE_COMMENT_SIZE - 1, 'k'));
}

TEST_F(KyAceTest, CallbacksWithoutALiveComponentCancelTheRun)
{
    ace.SetArchiveName(Archive({{"a.txt", "a"}}));
    {
        // The component made last is the live one; its end leaves none.
        TKyACE2 other(nullptr, CorePlatform());
    }
    EXPECT_FALSE(ace.List());
    EXPECT_EQ(ace.Count(), 0);
}

TEST_F(KyAceTest, TestsAndExtractsWithOrWithoutPaths)
{
    std::vector<TAceFixtureEntry> entries = Sample();
    entries.pop_back();  // no cipher here for the encrypted one
    ace.SetArchiveName(Archive(entries));
    std::vector<bool> tested;
    ace.OnTested = [&](TKyACE2*, const tACEFileDataStruc&, bool ok) { tested.push_back(ok); };
    EXPECT_TRUE(ace.Test());
    EXPECT_EQ(tested, (std::vector<bool>{true, true}));
    EXPECT_EQ(ace.TestedCount(), 2);

    int64_t lastTotal = 0;
    ace.OnProgress = [&](TKyACE2*, int64_t done, int64_t total, int64_t, int64_t) {
        EXPECT_EQ(done, total);
        lastTotal = total;
    };
    ace.SetTargetDir(FromFsPath(out / "paths"));
    EXPECT_TRUE(ace.Extract(true));
    EXPECT_EQ(lastTotal, 14);
    EXPECT_EQ(ace.ExtractedCount(), 2);
    EXPECT_EQ(Read(out / "paths" / "a.txt"), "alpha");
    EXPECT_EQ(Read(out / "paths" / "docs" / FsPath(L"Größe.txt")), "beta beta");
    EXPECT_EQ(created.size(), 2u);

    ace.SetTargetDir(FromFsPath(out / "flat"));
    EXPECT_TRUE(ace.Extract(false));
    EXPECT_EQ(Read(out / "flat" / FsPath(L"Größe.txt")), "beta beta");
    EXPECT_FALSE(fs::exists(out / "flat" / "docs"));
}

TEST_F(KyAceTest, ADamagedByteFailsTestAndExtract)
{
    std::string bytes = BuildAceFixture({{"a.txt", "alpha"}, {"b.txt", "bravo"}});
    bytes[bytes.find("alpha")] = 'A';
    std::ofstream(root / "a.ace", std::ios::binary) << bytes;
    ace.SetArchiveName(FromFsPath(root / "a.ace"));
    EXPECT_FALSE(ace.Test());
    EXPECT_EQ(messages, std::vector<std::wstring>{L"CRC-Fehler bei Datei: a.txt"});
    messages.clear();
    ace.SetTargetDir(FromFsPath(out));
    EXPECT_FALSE(ace.Extract(true));
    EXPECT_EQ(messages, std::vector<std::wstring>{L"CRC-Fehler bei Datei: a.txt"});
    EXPECT_FALSE(fs::exists(out / "a.txt"));
    EXPECT_EQ(Read(out / "b.txt"), "bravo");
}

TEST_F(KyAceTest, LibraryErrorsArriveWithTheirTexts)
{
    TAceFixtureEntry packed{"p.txt", "packed"};
    packed.Method = 5;
    ace.SetArchiveName(Archive({packed}));
    EXPECT_FALSE(ace.Test());
    EXPECT_EQ(messages, std::vector<std::wstring>{L"UNACE: Unbekannte Kompressionsmethode."});

    // A newer format is refused when the name is set; the old name stays.
    messages.clear();
    const std::wstring before = ace.ArchiveName();
    TAceFixtureOptions newer;
    newer.Version = 30;
    const std::wstring newerName = Archive({{"a.txt", "a"}}, newer, "newer.ace");
    ace.SetArchiveName(newerName);
    EXPECT_EQ(ace.ArchiveName(), before);
    EXPECT_EQ(messages, std::vector<std::wstring>{L"UNACE: \"" + newerName + L"\" ist kein gültiges ACE-Archiv"});
    // An archive replaced by a newer one after it was opened: the library
    // says so during the run.
    messages.clear();
    std::ofstream(FsPath(before), std::ios::binary) << BuildAceFixture({{"a.txt", "a"}}, newer);
    EXPECT_FALSE(ace.List());
    EXPECT_EQ(messages, std::vector<std::wstring>{
                            L"UNACE: Die Version der UNACE-DLL kann diese Archivversion nicht verarbeiten."});
    messages.clear();
    EXPECT_EQ(TKyACE2::ErrorText(556, L"x.ace"), L"UNACE: Das Archiv x.ace ist defekt.");
    EXPECT_EQ(TKyACE2::ErrorText(4711, L""), L"UNACE: Unbekannter Fehler: 4711");

    messages.clear();
    ace.SetArchiveName(L"");
    ace.SetArchiveName(FromFsPath(root / "missing.ace"));
    EXPECT_EQ(messages, (std::vector<std::wstring>{L"UNACE: Es ist keine Archivdatei geöffnet.",
                                                   L"UNACE: Die Datei \"" + FromFsPath(root / "missing.ace") +
                                                       L"\" ist nicht vorhanden oder kann nicht geöffnet werden."}));
}

TEST_F(KyAceTest, OverwriteAnswersAllowRefuseOrStop)
{
    ace.SetArchiveName(Archive({{"a.txt", "from the archive"}, {"b.txt", "second"}}));
    ace.SetTargetDir(FromFsPath(out));
    fs::create_directories(out);
    struct TCase {
        const char* Name;
        bool DoExtract;
        bool SetStop;
        bool Result;
        const char* Expected;
    };
    const TCase cases[] = {
        {"allowed", true, false, true, "from the archive"},
        {"refused", false, false, true, "here before"},
        {"stopped", true, true, false, "here before"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::ofstream(out / "a.txt") << "here before";
        fs::remove(out / "b.txt");
        ace.OnOverwrite = [&](TKyACE2* sender, const tACEFileDataStruc&, bool& doExtract) {
            doExtract = c.DoExtract;
            sender->Stop = c.SetStop;
        };
        EXPECT_EQ(ace.Extract(true), c.Result);
        EXPECT_EQ(Read(out / "a.txt"), c.Expected);
        EXPECT_EQ(fs::exists(out / "b.txt"), !c.SetStop);  // a stop ends the run
    }
}

TEST_F(KyAceTest, AFortyThousandCharacterListExtractsExactlyItsSet)
{
    std::vector<TAceFixtureEntry> entries;
    TStringList wanted;
    for (int i = 0; i < 400; ++i) {
        const std::string name = "folder\\" + std::string(190, 'n') + std::to_string(1000 + i) + ".txt";
        entries.push_back({name, std::to_string(i)});
        if (i % 2 == 0)
            wanted.Add(Utf8ToWide(name));
    }
    ace.SetArchiveName(Archive(entries));
    ace.SetFilesToExtract(wanted);
    size_t listLength = 0;
    for (int i = 0; i < wanted.Count(); ++i)
        listLength += wanted.Get(i).size() + 1;
    ASSERT_GT(listLength, 40000u);
    ace.SetTargetDir(FromFsPath(out));
    EXPECT_TRUE(ace.Extract(true));
    EXPECT_EQ(ace.ExtractedCount(), 200);
    // Exactly the names asked for, each with its own content.
    std::vector<std::wstring> expected, extracted;
    for (int i = 0; i < wanted.Count(); ++i)
        expected.push_back(wanted.Get(i));
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        if (!entry.is_regular_file())
            continue;
        std::wstring name = FromFsPath(entry.path().lexically_relative(out));
        std::replace(name.begin(), name.end(), L'/', L'\\');
        extracted.push_back(name);
        const std::string number = WideToUtf8(name.substr(name.size() - 8, 4));
        EXPECT_EQ(Read(entry.path()), std::to_string(std::stoi(number) - 1000));
    }
    std::sort(expected.begin(), expected.end());
    std::sort(extracted.begin(), extracted.end());
    EXPECT_EQ(extracted, expected);
}

TEST_F(KyAceTest, StopAndThrowingHandlersEndTheRunFalse)
{
    ace.SetArchiveName(Archive({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}}));
    ace.SetTargetDir(FromFsPath(out));
    ace.OnExtracted = [](TKyACE2* sender, const tACEFileDataStruc&, bool) { sender->Stop = true; };
    EXPECT_FALSE(ace.Extract(true));
    EXPECT_EQ(ace.ExtractedCount(), 1);

    ace.OnExtracted = [](TKyACE2*, const tACEFileDataStruc&, bool) { throw std::runtime_error("handler failed"); };
    ace.SetTargetDir(FromFsPath(out / "again"));
    messages.clear();
    EXPECT_FALSE(ace.Extract(true));
    EXPECT_EQ(messages, std::vector<std::wstring>{L"handler failed"});
    EXPECT_FALSE(ace.Busy());
}

TEST_F(KyAceTest, HostileNamesAreRefusedAndStayInside)
{
    ace.SetArchiveName(Archive({{"..\\..\\escape.txt", "x"}}));
    ace.SetTargetDir(FromFsPath(out));
    EXPECT_FALSE(ace.Extract(true));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"kann nicht erstellt werden"), std::wstring::npos);
    EXPECT_FALSE(fs::exists(root / "escape.txt"));
    EXPECT_FALSE(fs::exists(root.parent_path() / "escape.txt"));
}

// A bad entry is refused with its reason and the run goes on with the next
// one: a name that may not be written, data of another length than its
// declared size (never written, not even in part), an unknown method.
TEST_F(KyAceTest, ABadEntryIsRefusedWithItsReasonAndTheNextOneTaken)
{
    TAceFixtureEntry lying{"lying.bin", std::string(1 << 16, 'z')};
    lying.DeclaredSize = 1024;
    TAceFixtureEntry packed{"packed.txt", "packed"};
    packed.Method = 5;
    ace.SetArchiveName(Archive({{"..\\escape.txt", "x"}, {"first.txt", "one"}, lying, packed, {"last.txt", "two"}}));
    ace.SetTargetDir(FromFsPath(out));
    EXPECT_FALSE(ace.Extract(true));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_NE(messages[0].find(L"escape.txt kann nicht erstellt werden"), std::wstring::npos) << messages[0];
    EXPECT_EQ(messages[1], L"UNACE: Die Datei lying.bin kann nicht entpackt werden.");
    EXPECT_EQ(messages[2], L"UNACE: Unbekannte Kompressionsmethode.");
    EXPECT_EQ(Read(out / "first.txt"), "one");
    EXPECT_EQ(Read(out / "last.txt"), "two");
    EXPECT_FALSE(fs::exists(out / "lying.bin"));
    EXPECT_FALSE(fs::exists(out / "packed.txt"));
    EXPECT_FALSE(fs::exists(root / "escape.txt"));

    messages.clear();
    std::vector<std::wstring> tested;
    ace.OnTested = [&](TKyACE2*, const tACEFileDataStruc& file, bool) {
        tested.push_back(Utf8ToWide(file.SourceFileName));
    };
    EXPECT_FALSE(ace.Test());
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(tested, (std::vector<std::wstring>{L"..\\escape.txt", L"first.txt", L"last.txt"}));
}

TEST_F(KyAceTest, EntriesDifferingOnlyInCaseAreNamedApart)
{
    ace.SetArchiveName(Archive({{"Readme.txt", "one"}, {"README.TXT", "two"}}));
    ace.SetTargetDir(FromFsPath(out));
    bool asked = false;
    ace.OnOverwrite = [&](TKyACE2*, const tACEFileDataStruc&, bool&) { asked = true; };
    EXPECT_TRUE(ace.Extract(true));
    EXPECT_FALSE(asked) << "no file of the run is offered for overwriting";
    EXPECT_EQ(Read(out / "Readme.txt"), "one");
    EXPECT_EQ(Read(out / "README (1).TXT"), "two");
}

TEST_F(KyAceTest, IsAceComparesWholeExtensionsBeforeAskingTheLibrary)
{
    const std::string bytes = BuildAceFixture({{"a.txt", "a"}});
    for (const char* name : {"x.ace", "x.EXE", "x.EX", "x", "x.zip"})
        std::ofstream(root / name, std::ios::binary) << bytes;
    EXPECT_TRUE(ace.IsAce(FromFsPath(root / "x.ace")));
    EXPECT_TRUE(ace.IsAce(FromFsPath(root / "x.EXE")));
    EXPECT_FALSE(ace.IsAce(FromFsPath(root / "x.EX")));
    EXPECT_FALSE(ace.IsAce(FromFsPath(root / "x")));
    EXPECT_FALSE(ace.IsAce(FromFsPath(root / "x.zip")));
    std::ofstream(root / "text.ace") << "not an archive";
    EXPECT_FALSE(ace.IsAce(FromFsPath(root / "text.ace")));
}

TEST(KyAce, WithoutTheLibraryEveryOperationSaysSo)
{
    TAcePlatform none;
    none.LoadUnAce = [](TUnAceFunctions&) { return false; };
    none.FileExists = [](const std::wstring&) { return true; };
    TKyACE2 ace(nullptr, none);
    std::vector<std::wstring> messages;
    ace.OnMessage = [&](TKyACE2*, const std::wstring& text) { messages.push_back(text); };
    EXPECT_FALSE(ace.List());
    EXPECT_FALSE(ace.Extract(true));
    EXPECT_EQ(messages, (std::vector<std::wstring>(2, L"Die Datei \"UNACEV2.DLL\" konnte nicht geladen werden.")));
}
