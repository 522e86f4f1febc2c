// TKyRAR over the RAR library's core (linked in, as the DLL would be
// loaded): listing with its fields, extracting with and without paths, the
// filters, the target file, Stop, and every failure through OnError.

#include "archives/KyRarArc.h"
#include "TestDir.h"
#include "external/RarCore.h"
#include "external/RarFixture.h"
#include "external/ZipFormat.h"
#include "framework/FilePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace qrv;
using namespace qrv::external;
namespace fs = std::filesystem;

namespace {

TRarPlatform CorePlatform(int* loads = nullptr)
{
    TRarPlatform platform;
    platform.LoadUnrar = [loads](const std::wstring&, TUnrarFunctions& f) {
        if (loads)
            ++*loads;
        f.OpenArchive = RarOpenArchive;
        f.CloseArchive = RarCloseArchive;
        f.ReadHeader = RarReadHeader;
        f.ProcessFile = RarProcessFile;
        f.SetChangeVolProc = RarSetChangeVolProc;
        f.SetProcessDataProc = RarSetProcessDataProc;
        f.SetPassword = RarSetPassword;
        return true;
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

struct TErrors {
    std::vector<std::pair<std::wstring, int>> Seen;
    void Attach(TKyRAR& rar)
    {
        rar.OnError = [this](TKyRAR*, const std::wstring& file, int code) { Seen.emplace_back(file, code); };
    }
};

class KyRarTest : public ::testing::Test {
protected:
    test::TestDir dir;
    fs::path root = FsPath(dir.Path());
    fs::path out = root / "out";

    std::wstring Archive(const std::vector<TRarFixtureEntry>& entries, const TRarFixtureOptions& options = {},
                         const std::string& name = "a.rar")
    {
        const fs::path file = root / name;
        std::ofstream(file, std::ios::binary) << BuildRarFixture(entries, options);
        return FromFsPath(file);
    }

    std::vector<TRarFixtureEntry> Sample() const
    {
        TRarFixtureEntry secret{"secret.txt", "sealed"};
        secret.Encrypted = true;
        return {
            {"docs\\Gr\x94\xE1"
             "e.txt",
             "vierzehn Bytes", 0x5A8A6000, 0x21},
            {"top.txt", std::string(1000, 't'), 0x4B2C3123},
            secret,
        };
    }
};

}  // namespace

TEST_F(KyRarTest, ListsNamesSizesCrcTimesAndTheComment)
{
    TKyRAR rar(nullptr, CorePlatform());
    TRarFixtureOptions options;
    options.Comment = "Archivkommentar";
    rar.SetArchiveName(Archive(Sample(), options));
    std::string comment;
    rar.OnComment = [&](TKyRAR*, const TComment& c) { comment.assign(c.Text, c.Size - 1); };
    int listed = 0;
    rar.OnListFile = [&](TKyRAR*, const RARHeaderData&) { ++listed; };
    rar.List();
    ASSERT_EQ(rar.Count(), 3);
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(comment, "Archivkommentar");
    EXPECT_EQ(rar.Items(0).FileName, L"docs\\Größe.txt");
    EXPECT_EQ(rar.Items(0).UnpSize, 14u);
    EXPECT_EQ(rar.Items(0).PackSize, 14u);
    EXPECT_EQ(rar.Items(0).FileCRC, Crc32(0, "vierzehn Bytes", 14));
    EXPECT_EQ(rar.Items(0).FileTime, 0x5A8A6000u);
    EXPECT_EQ(rar.Items(0).FileAttr, 0x21u);
    EXPECT_EQ(rar.Items(0).Method, 0x30u);
    EXPECT_EQ(rar.Items(1).FileTime, 0x4B2C3123u);
    EXPECT_EQ(rar.Items(0).Encrypted, 0);
    EXPECT_EQ(rar.Items(2).Encrypted, 1);
    EXPECT_FALSE(rar.Busy());

    // Another archive name empties the list.
    rar.SetArchiveName(L"other.rar");
    EXPECT_EQ(rar.Count(), 0);
}

TEST_F(KyRarTest, StopFromOnListFileEndsAfterThatEntry)
{
    TKyRAR rar(nullptr, CorePlatform());
    rar.SetArchiveName(Archive(Sample()));
    rar.OnListFile = [](TKyRAR* sender, const RARHeaderData&) { sender->Stop = true; };
    rar.List();
    EXPECT_EQ(rar.Count(), 1);
    EXPECT_FALSE(rar.Stop);
}

TEST_F(KyRarTest, ExtractsWithOrWithoutPathsAndOnlyWhatIsAsked)
{
    std::vector<TRarFixtureEntry> entries = Sample();
    entries.pop_back();  // the encrypted one cannot be extracted here
    TKyRAR rar(nullptr, CorePlatform());
    rar.SetArchiveName(Archive(entries));
    rar.SetTargetDir(FromFsPath(out / "paths"));
    std::vector<bool> results;
    rar.OnExtract = [&](TKyRAR*, const RARHeaderData&, bool ok) { results.push_back(ok); };
    int64_t bytes = 0;
    rar.OnProcessData = [&](TKyRAR*, const unsigned char*, int size, int) {
        bytes += size;
        return 1;
    };
    EXPECT_TRUE(rar.Extract(true));
    EXPECT_EQ(results, (std::vector<bool>{true, true}));
    EXPECT_EQ(bytes, 1014);
    EXPECT_EQ(Read(out / "paths" / "docs" / FsPath(L"Größe.txt")), "vierzehn Bytes");
    EXPECT_EQ(Read(out / "paths" / "top.txt"), std::string(1000, 't'));

    rar.SetTargetDir(FromFsPath(out / "flat"));
    EXPECT_TRUE(rar.Extract(false));
    EXPECT_TRUE(fs::exists(out / "flat" / FsPath(L"Größe.txt")));
    EXPECT_FALSE(fs::exists(out / "flat" / "docs"));

    rar.SetTargetDir(FromFsPath(out / "some"));
    rar.FilesToExtract().Add(L"top.txt");
    EXPECT_TRUE(rar.Extract(true));
    EXPECT_TRUE(fs::exists(out / "some" / "top.txt"));
    EXPECT_FALSE(fs::exists(out / "some" / "docs"));

    // Refused by OnExtracting while it is the only file asked for: false.
    rar.OnExtracting = [](TKyRAR*, const RARHeaderData&, bool& doExtract) { doExtract = false; };
    rar.SetTargetDir(FromFsPath(out / "refused"));
    EXPECT_FALSE(rar.Extract(true));
    EXPECT_FALSE(fs::exists(out / "refused"));
}

TEST_F(KyRarTest, TargetFileTakesOneEntryAndRefusesASecond)
{
    std::vector<TRarFixtureEntry> entries = Sample();
    entries.pop_back();
    TKyRAR rar(nullptr, CorePlatform());
    TErrors errors;
    errors.Attach(rar);
    rar.SetArchiveName(Archive(entries));
    const fs::path target = root / "opened" / "copy.txt";
    rar.TargetFile = FromFsPath(target);
    rar.FilesToExtract().Add(L"docs\\Größe.txt");
    EXPECT_TRUE(rar.Extract(true));
    EXPECT_EQ(Read(target), "vierzehn Bytes");
    EXPECT_TRUE(errors.Seen.empty());

    // Every entry onto one file: the second is refused, the first stays.
    rar.FilesToExtract().Clear();
    fs::remove(target);
    EXPECT_FALSE(rar.Extract(true));
    EXPECT_EQ(Read(target), "vierzehn Bytes");
    EXPECT_EQ(errors.Seen, (std::vector<std::pair<std::wstring, int>>{{L"top.txt", RAR_ECREATE}}));
}

TEST_F(KyRarTest, HostileNamesAreReportedAndNothingLeavesTheTarget)
{
    TKyRAR rar(nullptr, CorePlatform());
    TErrors errors;
    errors.Attach(rar);
    rar.SetArchiveName(Archive(
        {{"..\\..\\escape.txt", "x"}, {"C:\\Windows\\win.ini", "stripped"}, {"nul.txt", "x"}, {"ok.txt", "fine"}}));
    rar.SetTargetDir(FromFsPath(out));
    EXPECT_FALSE(rar.Extract(true));
    EXPECT_EQ(errors.Seen, (std::vector<std::pair<std::wstring, int>>{{L"..\\..\\escape.txt", RAR_ECREATE},
                                                                      {L"nul.txt", RAR_ECREATE}}));
    EXPECT_EQ(Read(out / "Windows" / "win.ini"), "stripped");
    EXPECT_EQ(Read(out / "ok.txt"), "fine");
    size_t besides = 0;
    for (const auto& entry : fs::directory_iterator(root))
        besides += entry.path() != out && entry.path().extension() != ".rar";
    EXPECT_EQ(besides, 0u);
}

TEST_F(KyRarTest, FailuresArriveThroughOnErrorWithTheirTexts)
{
    TRarFixtureEntry damaged{"bad.txt", "the CRC does not fit"};
    damaged.DamagedCrc = true;
    {
        TKyRAR rar(nullptr, CorePlatform());
        TErrors errors;
        errors.Attach(rar);
        rar.SetArchiveName(Archive({{"good.txt", "ok"}, damaged}));
        std::vector<bool> tested;
        rar.OnTested = [&](TKyRAR*, const RARHeaderData&, bool ok) { tested.push_back(ok); };
        EXPECT_FALSE(rar.Test());
        EXPECT_EQ(tested, (std::vector<bool>{true, false}));
        EXPECT_EQ(rar.TestedCount(), 2);
        EXPECT_EQ(errors.Seen, (std::vector<std::pair<std::wstring, int>>{{L"bad.txt", RAR_BAD_DATA}}));
        EXPECT_EQ(TKyRAR::ErrorText(rar.LastError()), L"UNRAR: CRC-Fehler");
    }
    {
        TKyRAR rar(nullptr, CorePlatform());
        TErrors errors;
        errors.Attach(rar);
        const fs::path text = root / "letter.rar";
        std::ofstream(text) << "Sehr geehrte Damen und Herren";
        rar.SetArchiveName(FromFsPath(text));
        rar.List();
        ASSERT_EQ(errors.Seen.size(), 1u);
        EXPECT_EQ(errors.Seen[0].second, kRarErrorNoArchive);
        EXPECT_EQ(TKyRAR::ErrorText(errors.Seen[0].second), L"UNRAR: Die Datei ist kein gültiges RAR-Archiv");
        EXPECT_FALSE(rar.Test());
    }
    {
        TKyRAR rar(nullptr, CorePlatform());
        TErrors errors;
        errors.Attach(rar);
        EXPECT_FALSE(rar.Extract(true));  // no archive name
        EXPECT_EQ(errors.Seen, (std::vector<std::pair<std::wstring, int>>{{L"", kRarErrorNoArchive}}));
    }
    {
        TRarPlatform none;
        none.LoadUnrar = [](const std::wstring&, TUnrarFunctions&) { return false; };
        TKyRAR rar(nullptr, none);
        TErrors errors;
        errors.Attach(rar);
        rar.SetArchiveName(L"x.rar");
        rar.List();
        EXPECT_FALSE(rar.Extract(true));
        EXPECT_EQ(errors.Seen, (std::vector<std::pair<std::wstring, int>>{{L"", 50}, {L"", 50}}));
        EXPECT_EQ(TKyRAR::ErrorText(50), L"UNRAR: Datei UNRAR.dll nicht gefunden");
        EXPECT_FALSE(rar.LoadedDLL());
    }
    EXPECT_EQ(TKyRAR::ErrorText(99), L"UNRAR: Unbekannter Fehler: 99");
}

// A bad entry is refused with its reason and the run goes on with the next
// one, in a test as in an extraction: data longer than its declared size is
// not written at all, a damaged or encrypted entry leaves nothing behind.
TEST_F(KyRarTest, ABadEntryIsRefusedWithItsReasonAndTheNextOneTaken)
{
    TRarFixtureEntry lying{"lying.bin", std::string(1 << 16, 'z')};
    lying.DeclaredSize = 1024;
    TRarFixtureEntry damaged{"damaged.txt", "the CRC does not fit"};
    damaged.DamagedCrc = true;
    TRarFixtureEntry secret{"secret.txt", "sealed"};
    secret.Encrypted = true;
    TKyRAR rar(nullptr, CorePlatform());
    TErrors errors;
    errors.Attach(rar);
    rar.SetArchiveName(Archive({lying, {"first.txt", "one"}, damaged, secret, {"last.txt", "two"}}));

    std::vector<bool> tested;
    rar.OnTested = [&](TKyRAR*, const RARHeaderData&, bool ok) { tested.push_back(ok); };
    EXPECT_FALSE(rar.Test());
    EXPECT_EQ(tested, (std::vector<bool>{false, true, false, false, true}));
    const std::vector<std::pair<std::wstring, int>> refused = {
        {L"lying.bin", RAR_BAD_DATA}, {L"damaged.txt", RAR_BAD_DATA}, {L"secret.txt", RAR_UNSUPPORTED}};
    EXPECT_EQ(errors.Seen, refused);

    errors.Seen.clear();
    rar.SetTargetDir(FromFsPath(out));
    EXPECT_FALSE(rar.Extract(true));
    EXPECT_EQ(errors.Seen, refused);
    EXPECT_EQ(Read(out / "first.txt"), "one");
    EXPECT_EQ(Read(out / "last.txt"), "two");
    for (const char* name : {"lying.bin", "damaged.txt", "secret.txt"})
        EXPECT_FALSE(fs::exists(out / name)) << name;
}

TEST_F(KyRarTest, EntriesDifferingOnlyInCaseAreNamedApart)
{
    TKyRAR rar(nullptr, CorePlatform());
    TErrors errors;
    errors.Attach(rar);
    rar.SetArchiveName(Archive({{"Readme.txt", "one"}, {"README.TXT", "two"}}));
    rar.SetTargetDir(FromFsPath(out));
    EXPECT_TRUE(rar.Extract(true));
    EXPECT_TRUE(errors.Seen.empty());
    EXPECT_EQ(Read(out / "Readme.txt"), "one");
    EXPECT_EQ(Read(out / "README (1).TXT"), "two");
}

TEST_F(KyRarTest, AnExceptionInAnEventNeverCrossesTheLibrary)
{
    TKyRAR rar(nullptr, CorePlatform());
    TErrors errors;
    errors.Attach(rar);
    rar.SetArchiveName(Archive({{"a.txt", "aaaa"}}));
    rar.SetTargetDir(FromFsPath(out));
    rar.OnProcessData = [](TKyRAR*, const unsigned char*, int, int) -> int { throw std::runtime_error("handler"); };
    EXPECT_FALSE(rar.Extract(true));
    EXPECT_EQ(errors.Seen, (std::vector<std::pair<std::wstring, int>>{{L"a.txt", RAR_CANCELLED}}));
    EXPECT_FALSE(fs::exists(out / "a.txt"));
}

TEST_F(KyRarTest, LoadsTheLibraryOnceForManyRuns)
{
    int loads = 0;
    TKyRAR rar(nullptr, CorePlatform(&loads));
    rar.SetArchiveName(Archive(Sample()));
    rar.List();
    rar.List();
    EXPECT_TRUE(rar.LoadedDLL());
    EXPECT_EQ(loads, 1);
}
