// The zip library's core: archives it writes hold what was added (checked
// by our unzip core and by Debian's unzip), and it updates, freshens,
// moves and deletes without ever losing the old archive on failure.

#include "ExternalTestSupport.h"
#include "TestDir.h"

#include "external/ByteSource.h"
#include "external/ZipCore.h"
#include "external/ZipFormat.h"
#include "external/ZipWriter.h"
#include "framework/FilePath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace qrv::test;
using namespace qrv::external;

namespace {

class ZipCoreTest : public ::testing::Test {
protected:
    TestDir dir;
    fs::path root = qrv::FsPath(dir.Path());
    fs::path src = root / "src";
    fs::path out = root / "out";
    fs::path archive = root / "a.zip";

    TTree SampleTree() const
    {
        return {
            {"readme.txt", TextBytes(200000, 1)},    {"noise.bin", RandomBytes(100000, 2)},        {"empty.dat", ""},
            {"pics/logo.png", RandomBytes(5000, 3)}, {"sub/deeper/Größe.txt", TextBytes(3000, 4)},
        };
    }

    TZipCall AddAll()
    {
        TZipCall zip;
        zip.Archive = archive.string();
        zip.RootDir = src.string();
        zip.Specs = {"*"};
        return zip;
    }

    TTree Unpack(const std::string& password = {})
    {
        fs::remove_all(out);
        TUnzipCall unzip;
        unzip.Archive = archive.string();
        unzip.ExtractDir = out.string();
        unzip.Password = password;
        unzip.HasPassword = !password.empty();
        unzip.Run();
        return fs::exists(out) ? ReadTree(out) : TTree{};
    }

    TZipDirectory Directory()
    {
        TFileSource source(archive);
        return ReadZipDirectory(source);
    }

    void ExpectUnzipAccepts(const std::string& options = {})
    {
        if (!HaveTool("unzip"))
            return;
        EXPECT_EQ(Shell("unzip -tqq " + options + " " + Quote(archive) + " >/dev/null"), 0);
    }

    void Touch(const fs::path& file, int hoursAhead)
    {
        fs::last_write_time(file, fs::file_time_type::clock::now() + std::chrono::hours(hoursAhead));
    }
};

}  // namespace

TEST_F(ZipCoreTest, WritesWhatUnzipsBackByteEqual)
{
    const TTree tree = SampleTree();
    WriteTree(src, tree);
    TZipCall zip = AddAll();
    EXPECT_EQ(zip.Run(), static_cast<int32_t>(tree.size()));
    ASSERT_FALSE(zip.Log.Calls.empty());
    EXPECT_EQ(zip.Log.Calls.front().ActionCode, zacCount) << zip.Log.Calls.front().Msg;
    EXPECT_EQ(zip.Log.Calls.front().FileSize, static_cast<int64_t>(tree.size()));
    EXPECT_EQ(zip.Log.Count(zacItem), tree.size());
    EXPECT_EQ(zip.Log.Calls.back().ActionCode, zacEndOfBatch);

    ExpectSameTree(Unpack(), tree);
    ExpectUnzipAccepts();
    if (HaveTool("unzip")) {
        fs::remove_all(out);
        ASSERT_EQ(Shell("unzip -qq " + Quote(archive) + " -d " + Quote(out)), 0);
        // Names in code page 850 come out as that tool's charset decides:
        // ASCII names are compared, the others by count and contents.
        auto asciiOnly = [](TTree t) {
            std::erase_if(t, [](const auto& item) {
                return std::any_of(item.first.begin(), item.first.end(), [](char c) { return c & 0x80; });
            });
            return t;
        };
        const TTree unpacked = ReadTree(out);
        EXPECT_EQ(unpacked.size(), tree.size());
        ExpectSameTree(asciiOnly(unpacked), asciiOnly(tree));
    }

    // Incompressible data and store suffixes are stored, text deflated.
    for (const auto& e : Directory().Entries) {
        const bool stored = e.Name == "noise.bin" || e.Name == "pics/logo.png" || e.Name == "empty.dat";
        EXPECT_EQ(e.Method, stored ? kMethodStore : kMethodDeflate) << e.Name;
        EXPECT_EQ(e.Name.find('\\'), std::string::npos);
    }
}

TEST_F(ZipCoreTest, EncryptsWithZipCryptoThatUnzipOpens)
{
    const TTree tree = {{"secret.txt", TextBytes(50000, 7)}, {"plain/other.txt", TextBytes(10, 8)}};
    WriteTree(src, tree);
    TZipCall zip = AddAll();
    zip.Encrypt = true;
    zip.Password = "Geheim";
    ASSERT_EQ(zip.Run(), 2);
    for (const auto& e : Directory().Entries)
        EXPECT_TRUE(e.Encrypted()) << e.Name;
    ExpectUnzipAccepts("-P Geheim");
    ExpectSameTree(Unpack("Geheim"), tree);

    // Without the password: asked once per entry, then skipped.
    TUnzipCall unzip;
    unzip.Archive = archive.string();
    unzip.ExtractDir = (root / "nopw").string();
    EXPECT_EQ(unzip.Run(), 0);
    EXPECT_EQ(unzip.Log.Count(zacPassword), 2u);
    EXPECT_EQ(unzip.Log.Count(zacSkipped), 2u);
    for (const auto& call : unzip.Log.Calls) {
        if (call.ActionCode == zacSkipped) {
            EXPECT_EQ(call.ErrorCode, zskBadPassword);
        }
    }

    // The password given in the callback's reply opens them.
    TUnzipCall asked;
    asked.Archive = archive.string();
    asked.ExtractDir = (root / "asked").string();
    asked.Log.Answer = [](ZipCallbackData& data) {
        if (data.ActionCode == zacPassword) {
            std::snprintf(data.Msg, sizeof data.Msg, "%s", "Geheim");
            data.ReplyValue = 1;
        }
        return 0;
    };
    EXPECT_EQ(asked.Run(), 2);
    ExpectSameTree(ReadTree(root / "asked"), tree);
}

TEST_F(ZipCoreTest, FreshenUpdateAndDeleteChangeOnlyWhatTheyShould)
{
    WriteTree(src, {{"a.txt", "alpha"}, {"b.txt", "beta"}});
    ASSERT_EQ(AddAll().Run(), 2);

    WriteFile(src / "b.txt", "beta, newer");
    Touch(src / "b.txt", 2);
    WriteFile(src / "c.txt", "gamma");
    TZipCall freshen = AddAll();
    freshen.Freshen = true;
    EXPECT_EQ(freshen.Run(), 1);  // b replaced, c not added
    ExpectSameTree(Unpack(), (TTree{{"a.txt", "alpha"}, {"b.txt", "beta, newer"}}));

    TZipCall update = AddAll();
    update.Update = true;
    EXPECT_EQ(update.Run(), 1);  // c added, b not newer than its entry any more
    ExpectSameTree(Unpack(), (TTree{{"a.txt", "alpha"}, {"b.txt", "beta, newer"}, {"c.txt", "gamma"}}));
    ExpectUnzipAccepts();

    TZipCall remove;
    remove.Archive = archive.string();
    remove.Action = zopDelete;
    remove.Specs = {"a.txt"};
    EXPECT_EQ(remove.Run(), 1);
    ExpectSameTree(Unpack(), (TTree{{"b.txt", "beta, newer"}, {"c.txt", "gamma"}}));
    ExpectUnzipAccepts();

    // An exclusion keeps a file out.
    WriteFile(src / "d.log", "delta");
    TZipCall excluded = AddAll();
    excluded.Excludes = {"*.log"};
    excluded.Run();
    EXPECT_EQ(Unpack().count("d.log"), 0u);
}

TEST_F(ZipCoreTest, MoveDeletesSourcesOnlyOnceTheArchiveIsInPlace)
{
    const TTree tree = {{"one.txt", TextBytes(400000, 1)}, {"two.txt", TextBytes(400000, 2)}};
    WriteTree(src, {{"keep.txt", "old"}});
    ASSERT_EQ(AddAll().Run(), 1);
    const std::string before = ReadFile(archive);
    WriteTree(src, tree);

    // Cancelled half-way: the old archive stays as it was, every source too.
    TZipCall cancelled = AddAll();
    cancelled.Move = true;
    cancelled.Log.Answer = [](ZipCallbackData& data) { return data.ActionCode == zacProgress ? -1 : 0; };
    EXPECT_EQ(cancelled.Run(), 0);
    EXPECT_EQ(ReadFile(archive), before);
    EXPECT_EQ(ReadTree(src).size(), 3u);
    for (const auto& entry : fs::directory_iterator(root))
        EXPECT_EQ(entry.path().extension(), entry.is_directory() ? "" : ".zip") << entry.path();

    TZipCall move = AddAll();
    move.Move = true;
    EXPECT_EQ(move.Run(), 3);
    EXPECT_TRUE(ReadTree(src).empty());
    TTree all = tree;
    all["keep.txt"] = "old";
    ExpectSameTree(Unpack(), all);
}

TEST_F(ZipCoreTest, NeverOverwritesWhatIsNotAZipArchive)
{
    WriteTree(src, {{"a.txt", "alpha"}});
    WriteFile(archive, "This is a letter, not an archive, and it is longer than twenty-two bytes.");
    TZipCall zip = AddAll();
    EXPECT_EQ(zip.Run(), 0);
    EXPECT_EQ(zip.Log.Count(zacMessage), 1u);
    EXPECT_EQ(ReadFile(archive), "This is a letter, not an archive, and it is longer than twenty-two bytes.");
}

TEST_F(ZipCoreTest, RefusesMoreEntriesThanTheClassicRecordsHold)
{
    TStringOutput output;
    TZipWriter writer(output);
    const std::string nothing;
    for (uint32_t i = 0; i < kMaxEntries16 - 1; ++i) {
        TNewEntry entry;
        entry.Name = std::to_string(i);
        entry.Level = 0;
        TEntryInput input;
        input.Read = [](unsigned char*, size_t) { return size_t{0}; };
        ASSERT_TRUE(writer.Add(entry, input));
    }
    TNewEntry last;
    last.Name = "one too many";
    TEntryInput input;
    input.Read = [](unsigned char*, size_t) { return size_t{0}; };
    EXPECT_THROW(writer.Add(last, input), EZipFormat);
    writer.Finish();
    TMemorySource source(output.Bytes());
    EXPECT_EQ(ReadZipDirectory(source).Entries.size(), kMaxEntries16 - 1);
}

TEST_F(ZipCoreTest, UnusableRecordsAreRefusedWithoutTouchingAnything)
{
    EXPECT_LT(ZipExec(nullptr, TZipHooks{}), 0);
    ZipCommand cmd{};
    cmd.ZipFileName = "x.zip";
    EXPECT_LT(ZipExec(&cmd, TZipHooks{}), 0);  // no closing 7
    cmd.fSeven = QRV_ZIP_RECORD_END;
    cmd.SpecCount = 3;  // but no array
    EXPECT_LT(ZipExec(&cmd, TZipHooks{}), 0);
}

namespace {

TEST_F(ZipCoreTest, ZipsFromAndUnzipsIntoMemory)
{
    const std::string text = TextBytes(50000, 5);
    TZipCall zip = AddAll();
    zip.FromMemory = true;
    zip.Memory = text;
    zip.Specs = {"in/memory.txt", "ignored.txt"};
    zip.Password = "Passwort";
    zip.Encrypt = true;
    ASSERT_EQ(zip.Run(), 1);
    const TZipDirectory directory = Directory();
    ASSERT_EQ(directory.Entries.size(), 1u);
    EXPECT_EQ(directory.Entries[0].Name, "in/memory.txt");
    EXPECT_TRUE(directory.Entries[0].Encrypted());
    ExpectUnzipAccepts("-P Passwort");

    // Back into memory: the size asked for first, then the bytes.
    TUnzipCall unzip;
    unzip.Archive = archive.string();
    unzip.Password = "Passwort";
    unzip.HasPassword = true;
    unzip.ToMemory = true;
    unzip.Specs = {"in/memory.txt"};
    EXPECT_EQ(unzip.Run(), 1);
    EXPECT_EQ(unzip.Memory, text);
    ASSERT_EQ(unzip.Log.Count(zacStream), 1u);
    EXPECT_FALSE(fs::exists(root / "in"));

    // Memory smaller than the file: refused, nothing written beyond it.
    unzip.MemoryRoom = 1000;
    unzip.Log = {};
    EXPECT_EQ(unzip.Run(), 0);
    EXPECT_EQ(unzip.Memory.size(), 1000u);
    EXPECT_EQ(unzip.Log.Count(zacSkipped), 1u);
}

}  // namespace
