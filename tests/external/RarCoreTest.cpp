// The RAR library's core over fixtures: listing, testing and extracting
// stored entries; everything it cannot read gives a result code and writes
// nothing; bsdtar lists and unpacks the fixtures alike.

#include "ExternalTestSupport.h"
#include "TestDir.h"

#include "external/RarCore.h"
#include "external/RarFixture.h"
#include "external/ZipFormat.h"
#include "framework/FilePath.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace qrv::test;
using namespace qrv::external;

namespace {

// One archive open in memory, closed at the end.
class TOpenRar {
public:
    TOpenRar(const std::string& bytes, uint32_t mode = RAR_OM_EXTRACT) : bytes_(bytes)
    {
        open_.ArcName = "fixture.rar";
        open_.OpenMode = mode;
        open_.CmtBuf = comment_;
        open_.CmtBufSize = sizeof comment_;
        handle_ = RarOpenMemory(bytes_, &open_);
    }
    ~TOpenRar() { RarCloseArchive(handle_); }
    void* Handle() const { return handle_; }
    const RAROpenRecord& Open() const { return open_; }
    std::string Comment() const { return std::string(comment_, open_.CmtSize ? open_.CmtSize - 1 : 0); }

private:
    std::string bytes_;
    RAROpenRecord open_{};
    char comment_[256]{};
    void* handle_ = nullptr;
};

uint32_t Crc32Of(const std::string& data)
{
    return Crc32(0, data.data(), data.size());
}

std::vector<TRarFixtureEntry> Sample()
{
    return {
        {"readme.txt", TextBytes(5000, 1), 0x5A8A6000},
        {"docs", "", 0x5A8A6000, 0x10, 2, 0x30, false, true},
        {"docs\\Gr\x94\xE1"
         "e.txt",
         "gr\x94\xE1"
         "e",
         0x4B2C3123},  // "Größe.txt" in code page 850
        {"bin\\noise.bin", RandomBytes(3000, 2)},
    };
}

}  // namespace

TEST(RarCore, ListsEveryHeaderWithItsFields)
{
    const auto entries = Sample();
    TOpenRar rar(BuildRarFixture(entries), RAR_OM_LIST);
    ASSERT_NE(rar.Handle(), nullptr);
    RARHeaderData h{};
    for (const auto& e : entries) {
        ASSERT_EQ(RarReadHeader(rar.Handle(), &h), RAR_SUCCESS);
        EXPECT_STREQ(h.FileName, e.Name.c_str());
        EXPECT_STREQ(h.ArcName, "fixture.rar");
        EXPECT_EQ(h.UnpSize, e.Data.size());
        EXPECT_EQ(h.PackSize, e.Data.size());
        EXPECT_EQ(h.FileTime, e.DosTime);
        EXPECT_EQ(h.Method, 0x30u);
        EXPECT_EQ((h.Flags & RAR_FLAG_DIRECTORY) == RAR_FLAG_DIRECTORY, e.Directory);
        EXPECT_EQ(h.FileCRC, Crc32Of(e.Data));
        EXPECT_EQ(RarProcessFile(rar.Handle(), RAR_SKIP, nullptr, nullptr), RAR_SUCCESS);
    }
    EXPECT_EQ(RarReadHeader(rar.Handle(), &h), RAR_END_ARCHIVE);
}

TEST(RarCore, TestsAndExtractsStoredEntriesBelowTheTarget)
{
    TestDir dir;
    const fs::path out = qrv::FsPath(dir.Path()) / "out";
    const auto entries = Sample();
    TOpenRar rar(BuildRarFixture(entries));
    RARHeaderData h{};
    while (RarReadHeader(rar.Handle(), &h) == RAR_SUCCESS)
        EXPECT_EQ(RarProcessFile(rar.Handle(), RAR_EXTRACT, out.string().c_str(), nullptr), RAR_SUCCESS) << h.FileName;
    ExpectSameTree(ReadTree(out), (TTree{{"readme.txt", entries[0].Data},
                                         {"docs/Größe.txt", entries[2].Data},
                                         {"bin/noise.bin", entries[3].Data}}));
    EXPECT_TRUE(fs::is_directory(out / "docs"));

    TOpenRar test(BuildRarFixture(entries));
    while (RarReadHeader(test.Handle(), &h) == RAR_SUCCESS)
        EXPECT_EQ(RarProcessFile(test.Handle(), RAR_TEST, nullptr, nullptr), RAR_SUCCESS);
}

TEST(RarCore, WhatItCannotReadGivesACodeAndWritesNothing)
{
    TestDir dir;
    const fs::path out = qrv::FsPath(dir.Path()) / "out";
    struct TCase {
        const char* Name;
        std::vector<TRarFixtureEntry> Entries;
        TRarFixtureOptions Options;
        int Expected;
    };
    TRarFixtureEntry compressed{"packed.txt", "pretend this is packed"};
    compressed.Method = 0x33;
    TRarFixtureEntry encrypted{"secret.txt", "pretend this is enciphered"};
    encrypted.Encrypted = true;
    TRarFixtureEntry damaged{"damaged.txt", "the stored CRC does not fit"};
    damaged.DamagedCrc = true;
    TRarFixtureOptions solid;
    solid.Solid = true;
    TRarFixtureOptions volume;
    volume.Volume = true;
    const TCase cases[] = {
        {"compressed", {compressed}, {}, RAR_UNSUPPORTED},
        {"encrypted", {encrypted}, {}, RAR_UNSUPPORTED},
        {"solid", {{"a.txt", "a"}}, solid, RAR_UNSUPPORTED},
        {"volume", {{"a.txt", "a"}}, volume, RAR_UNSUPPORTED},
        {"damaged CRC", {damaged}, {}, RAR_BAD_DATA},
        {"hostile name", {{"..\\..\\escape.txt", "x"}}, {}, RAR_ECREATE},
        {"device name", {{"dir\\con.txt", "x"}}, {}, RAR_ECREATE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TOpenRar rar(BuildRarFixture(c.Entries, c.Options));
        RARHeaderData h{};
        ASSERT_EQ(RarReadHeader(rar.Handle(), &h), RAR_SUCCESS);
        EXPECT_EQ(RarProcessFile(rar.Handle(), RAR_EXTRACT, out.string().c_str(), nullptr), c.Expected);
        EXPECT_FALSE(fs::exists(out) && !fs::is_empty(out));
        EXPECT_FALSE(fs::exists(qrv::FsPath(dir.Path()) / "escape.txt"));
    }
    TOpenRar damagedTest(BuildRarFixture({damaged}));
    RARHeaderData h{};
    ASSERT_EQ(RarReadHeader(damagedTest.Handle(), &h), RAR_SUCCESS);
    EXPECT_EQ(RarProcessFile(damagedTest.Handle(), RAR_TEST, nullptr, nullptr), RAR_BAD_DATA);
}

TEST(RarCore, OpenReportsForeignAndDamagedArchives)
{
    const std::string good = BuildRarFixture(Sample());
    std::string badHeader = good;
    badHeader[7 + 13 + 10] ^= 0x55;  // inside the first file header
    const std::vector<std::pair<std::string, int>> cases = {
        {"", RAR_BAD_ARCHIVE},
        {"PK\x03\x04 not a RAR archive", RAR_BAD_ARCHIVE},
        {Rar5Signature(), RAR_UNSUPPORTED},
        {good.substr(0, 10), RAR_BAD_ARCHIVE},
    };
    for (const auto& [bytes, expected] : cases) {
        TOpenRar rar(bytes);
        EXPECT_EQ(rar.Handle(), nullptr);
        EXPECT_EQ(static_cast<int>(rar.Open().OpenResult), expected);
    }
    TOpenRar damaged(badHeader);
    ASSERT_NE(damaged.Handle(), nullptr);
    RARHeaderData h{};
    EXPECT_EQ(RarReadHeader(damaged.Handle(), &h), RAR_BAD_DATA);

    // A program in front is passed over.
    TRarFixtureOptions sfx;
    sfx.Stub = "MZ" + RandomBytes(3000, 4);
    TOpenRar withStub(BuildRarFixture(Sample(), sfx));
    ASSERT_NE(withStub.Handle(), nullptr);
    EXPECT_EQ(RarReadHeader(withStub.Handle(), &h), RAR_SUCCESS);
}

TEST(RarCore, HandsOverTheArchiveCommentAndSaysWhenTheBufferIsTooSmall)
{
    TRarFixtureOptions options;
    options.Comment = "Kommentar zum Archiv";
    TOpenRar rar(BuildRarFixture(Sample(), options));
    ASSERT_NE(rar.Handle(), nullptr);
    EXPECT_EQ(rar.Open().CmtState, 1u);
    EXPECT_EQ(rar.Comment(), "Kommentar zum Archiv");

    options.Comment = std::string(1000, 'k');
    TOpenRar big(BuildRarFixture(Sample(), options));
    EXPECT_EQ(big.Open().CmtState, static_cast<uint32_t>(RAR_SMALL_BUF));
    EXPECT_EQ(big.Comment(), std::string(255, 'k'));
}

TEST(RarCore, BsdtarListsAndUnpacksTheFixturesAlike)
{
    if (!HaveTool("bsdtar"))
        GTEST_SKIP() << "bsdtar is not installed";
    TestDir dir;
    const fs::path root = qrv::FsPath(dir.Path());
    // ASCII names: bsdtar hands OEM names over as raw bytes.
    std::vector<TRarFixtureEntry> entries = {
        {"readme.txt", TextBytes(5000, 1)}, {"sub\\data.bin", RandomBytes(3000, 2)}, {"empty.txt", ""}};
    const std::string bytes = BuildRarFixture(entries);
    WriteFile(root / "a.rar", bytes);

    ASSERT_EQ(Shell("bsdtar -tf " + Quote(root / "a.rar") + " > " + Quote(root / "list.txt")), 0);
    std::istringstream listed(ReadFile(root / "list.txt"));
    std::vector<std::string> names;
    for (std::string line; std::getline(listed, line);)
        names.push_back(line);
    EXPECT_EQ(names, (std::vector<std::string>{"readme.txt", "sub/data.bin", "empty.txt"}));

    fs::create_directories(root / "theirs");
    ASSERT_EQ(Shell("bsdtar -xf " + Quote(root / "a.rar") + " -C " + Quote(root / "theirs")), 0);
    TOpenRar rar(bytes);
    RARHeaderData h{};
    while (RarReadHeader(rar.Handle(), &h) == RAR_SUCCESS)
        ASSERT_EQ(RarProcessFile(rar.Handle(), RAR_EXTRACT, (root / "ours").string().c_str(), nullptr), RAR_SUCCESS);
    ExpectSameTree(ReadTree(root / "ours"), ReadTree(root / "theirs"));
    EXPECT_EQ(ReadTree(root / "ours").size(), 3u);
}
