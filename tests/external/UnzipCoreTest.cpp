// The unzip library's core: archives written by Debian's zip unpack byte
// for byte (deflated, stored, encrypted, with a program in front), and
// hostile or damaged entries are reported instead of written.

#include "ExternalTestSupport.h"
#include "TestDir.h"

#include "external/ByteSource.h"
#include "external/UnzipCore.h"
#include "external/ZipFixture.h"
#include "external/ZipFormat.h"
#include "framework/FilePath.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

using namespace qrv::test;
using namespace qrv::external;

namespace {

class UnzipCoreTest : public ::testing::Test {
protected:
    TestDir dir;
    fs::path root = qrv::FsPath(dir.Path());
    fs::path src = root / "src";
    fs::path out = root / "out";
    fs::path archive = root / "a.zip";

    TUnzipCall Call(const std::string& password = {})
    {
        TUnzipCall unzip;
        unzip.Archive = archive.string();
        unzip.ExtractDir = out.string();
        unzip.Password = password;
        unzip.HasPassword = !password.empty();
        return unzip;
    }

    std::vector<int32_t> SkipTypes(const TCallbackLog& log) const
    {
        std::vector<int32_t> types;
        for (const auto& call : log.Calls)
            if (call.ActionCode == zacSkipped)
                types.push_back(call.ErrorCode);
        return types;
    }
};

TTree OracleTree()
{
    return {
        {"text/a.txt", TextBytes(300000, 11)},
        {"noise.bin", RandomBytes(70000, 12)},
        {"empty.txt", ""},
        {"deep/er/still/small.txt", "small"},
    };
}

}  // namespace

TEST_F(UnzipCoreTest, UnpacksWhatDebiansZipWritesByteEqual)
{
    if (!HaveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    const TTree tree = OracleTree();
    WriteTree(src, tree);
    const std::string stub = RandomBytes(4096, 99);  // a self-extractor's program
    WriteFile(root / "stub.bin", stub);

    struct TCase {
        const char* Name;
        std::string Command;  // run in src
        std::string Password;
    };
    const std::string z = Quote(archive);
    const TCase cases[] = {
        {"deflated", "zip -qr " + z + " .", ""},
        {"stored", "zip -qr -0 " + z + " .", ""},
        {"encrypted", "zip -qr -e -P 'pa ss' " + z + " .", "pa ss"},
        {"stub in front", "zip -qr " + z + " . && cat ../stub.bin " + z + " > ../s.zip && mv ../s.zip " + z, ""},
        {"stub adjusted",
         "zip -qr " + z + " . && cat ../stub.bin " + z + " > ../s.zip && mv ../s.zip " + z + " && zip -qA " + z, ""},
        {"zip64 records", "zip -qr -fz " + z + " .", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove(archive);
        fs::remove_all(out);
        ASSERT_EQ(Shell("cd " + Quote(src) + " && " + c.Command), 0);
        TUnzipCall unzip = Call(c.Password);
        EXPECT_EQ(unzip.Run(), static_cast<int32_t>(tree.size()));
        ExpectSameTree(ReadTree(out), tree);
        EXPECT_EQ(unzip.Log.Count(zacSkipped), 0u);
        EXPECT_EQ(unzip.Log.Count(zacCRCError), 0u);

        TUnzipCall test = Call(c.Password);
        test.Test = true;
        test.ExtractDir = (root / "never").string();
        EXPECT_EQ(test.Run(), static_cast<int32_t>(tree.size()));
        EXPECT_FALSE(fs::exists(root / "never"));
    }
}

TEST_F(UnzipCoreTest, HostileNamesAreSkippedAndNothingLeavesTheTarget)
{
    const std::vector<std::string> hostile = {
        "../escape.txt",   "a/../../escape2.txt",
        "..\\escape3.txt", "ok/../../../escape4.txt",
        "file.txt:stream", "CON",
        "aux.txt",         "dir/NUL.log",
        "trailing.",       "blank ",
    };
    std::vector<TZipFixtureEntry> entries;
    for (const auto& name : hostile)
        entries.push_back({name, "evil"});
    entries.push_back({"/etc/stripped.txt", "root stripped"});
    entries.push_back({"C:\\Windows\\drive.txt", "drive stripped"});
    entries.push_back({"good/inside.txt", "fine"});
    WriteFile(archive, BuildZipFixture(entries));

    TUnzipCall unzip = Call();
    EXPECT_EQ(unzip.Run(), 3);
    EXPECT_EQ(SkipTypes(unzip.Log), std::vector<int32_t>(hostile.size(), zskGeneralExtractError));
    ExpectSameTree(ReadTree(out), (TTree{{"etc/stripped.txt", "root stripped"},
                                         {"Windows/drive.txt", "drive stripped"},
                                         {"good/inside.txt", "fine"}}));
    // Beside the target only the archive itself.
    size_t besides = 0;
    for (const auto& entry : fs::directory_iterator(root))
        besides += entry.path() != out && entry.path() != archive;
    EXPECT_EQ(besides, 0u);
}

TEST_F(UnzipCoreTest, ABadCrcIsReportedAndNeverCounted)
{
    const std::string data = TextBytes(20000, 5);
    WriteFile(archive,
              BuildZipFixture({{"bad.txt", data, 6, "", 0x5A8A6000, 0x20, false, true}, {"good.txt", "fine"}}));
    const uint32_t real =
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    TUnzipCall keep = Call();
    EXPECT_EQ(keep.Run(), 1);
    ASSERT_EQ(keep.Log.Count(zacCRCError), 1u);
    for (const auto& call : keep.Log.Calls) {
        if (call.ActionCode != zacCRCError)
            continue;
        EXPECT_STREQ(call.Msg, "bad.txt");
        EXPECT_EQ(static_cast<uint32_t>(call.Arg1), real);
        EXPECT_EQ(static_cast<uint32_t>(call.Arg2), real ^ 0x00010000u);
    }
    EXPECT_TRUE(fs::exists(out / "bad.txt"));  // kept: the caller's default answer

    fs::remove_all(out);
    TUnzipCall drop = Call();
    drop.Log.Answer = [](ZipCallbackData& data) {
        if (data.ActionCode == zacCRCError)
            data.ReplyValue = 0;
        return 0;
    };
    EXPECT_EQ(drop.Run(), 1);
    EXPECT_FALSE(fs::exists(out / "bad.txt"));
    EXPECT_TRUE(fs::exists(out / "good.txt"));

    TUnzipCall test = Call();
    test.Test = true;
    EXPECT_EQ(test.Run(), 1);
}

// A sender's entry that claims 1 KiB and inflates to 64 MiB: the unzip stops
// at the claimed size, keeps nothing of it, names the size and goes on with
// the next entry; testing stops there as well. How much was written is seen
// in the file while the entry is reported, before it goes.
TEST_F(UnzipCoreTest, AnEntryLargerThanItsDeclaredSizeStopsThereAndIsNotKept)
{
    const std::string bomb(64u << 20, '\0');
    const std::string after = "after the bomb";
    for (const int level : {6, 0}) {
        SCOPED_TRACE(level == 0 ? "stored" : "deflated");
        fs::remove_all(out);
        WriteFile(archive, BuildZipFixture({{"bomb.bin", bomb, level, "", 0x5A8A6000, 0x20, false, false, 1024},
                                            {"after.txt", after}}));
        TUnzipCall unzip = Call();
        uintmax_t largest = 0;
        unzip.Log.Answer = [&](ZipCallbackData& data) {
            std::error_code ec;
            const uintmax_t size = fs::file_size(out / "bomb.bin", ec);
            if (!ec)
                largest = std::max(largest, size);
            if (data.ActionCode == zacCRCError)
                data.ReplyValue = 1;  // as the component answers by default
            return 0;
        };
        EXPECT_EQ(unzip.Run(), 1);
        EXPECT_GT(largest, 0u) << "the partial file was seen";
        EXPECT_LE(largest, 1024u + 1u) << "the extraction wrote beyond the declared size";
        ExpectSameTree(ReadTree(out), (TTree{{"after.txt", after}}));
        EXPECT_EQ(SkipTypes(unzip.Log), std::vector<int32_t>{zskZipFileFormatWrong});
        EXPECT_EQ(unzip.Log.Count(zacCRCError), 0u) << "not a CRC question: the size is wrong";
        const std::vector<std::string> messages = unzip.Log.Texts(zacMessage);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("1024 Bytes"), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find("bomb.bin"), std::string::npos) << messages[0];

        TUnzipCall test = Call();
        test.Test = true;
        EXPECT_EQ(test.Run(), 1);
        EXPECT_EQ(SkipTypes(test.Log), std::vector<int32_t>{zskZipFileFormatWrong});
    }
}

// Data shorter than the claimed size, with the right CRC: the size is named,
// the file is not kept.
TEST_F(UnzipCoreTest, AnEntryShorterThanItsDeclaredSizeIsNamedWithBothSizes)
{
    WriteFile(archive, BuildZipFixture({{"short.txt", "only this", 6, "", 0x5A8A6000, 0x20, false, false, 5000}}));
    TUnzipCall unzip = Call();
    EXPECT_EQ(unzip.Run(), 0);
    EXPECT_FALSE(fs::exists(out / "short.txt"));
    EXPECT_EQ(unzip.Log.Count(zacCRCError), 0u);
    const std::vector<std::string> messages = unzip.Log.Texts(zacMessage);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("5000 Bytes"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("9 Bytes"), std::string::npos) << messages[0];
}

// Entries whose names differ only in case would be one file on Windows:
// each later one is named apart, and that is said.
TEST_F(UnzipCoreTest, EntriesDifferingOnlyInCaseAreNamedApart)
{
    WriteFile(archive, BuildZipFixture({{"Readme.txt", "one"}, {"README.TXT", "two"}, {"readme.txt", "three"}}));
    TUnzipCall unzip = Call();
    EXPECT_EQ(unzip.Run(), 3);
    ExpectSameTree(ReadTree(out),
                   (TTree{{"Readme.txt", "one"}, {"README (1).TXT", "two"}, {"readme (2).txt", "three"}}));
    const std::vector<std::string> messages = unzip.Log.Texts(zacMessage);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("README.TXT"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("README (1).TXT"), std::string::npos) << messages[0];
}

TEST_F(UnzipCoreTest, AsksBeforeOverwritingAndHonoursFreshenAndUpdate)
{
    WriteFile(archive, BuildZipFixture({{"a.txt", "from the archive", 6, "", 0x5A8A6000}}));  // 2025
    WriteFile(out / "a.txt", "already here");

    TUnzipCall refuse = Call();
    refuse.Overwrite = false;
    EXPECT_EQ(refuse.Run(), 0);
    EXPECT_EQ(refuse.Log.Count(zacOverwrite), 1u);
    EXPECT_EQ(SkipTypes(refuse.Log), std::vector<int32_t>{zskNoOverwrite});
    EXPECT_EQ(ReadFile(out / "a.txt"), "already here");

    // The existing file is newer than the entry: update and freshen leave it.
    TUnzipCall update = Call();
    update.Update = true;
    EXPECT_EQ(update.Run(), 0);
    TUnzipCall freshen = Call();
    freshen.Freshen = true;
    freshen.ExtractDir = (root / "empty").string();
    EXPECT_EQ(freshen.Run(), 0);  // freshen creates nothing
    EXPECT_FALSE(fs::exists(root / "empty" / "a.txt"));

    TUnzipCall agree = Call();
    agree.Overwrite = false;
    agree.Log.Answer = [](ZipCallbackData& data) {
        if (data.ActionCode == zacOverwrite)
            data.ReplyValue = 1;
        return 0;
    };
    EXPECT_EQ(agree.Run(), 1);
    EXPECT_EQ(ReadFile(out / "a.txt"), "from the archive");
}

TEST_F(UnzipCoreTest, SelectsByNamePatternsAndCutsLongTextsToTheRecord)
{
    const std::string longName =
        std::string(200, 'd') + "/" + std::string(200, 'e') + "/" + std::string(200, 'f') + ".txt";
    WriteFile(archive, BuildZipFixture({{"keep.txt", "1"}, {"skip.bin", "2"}, {longName, "3"}}));
    TUnzipCall some = Call();
    some.Specs = {"*.txt"};
    EXPECT_EQ(some.Run(), 2);
    EXPECT_FALSE(fs::exists(out / "skip.bin"));
    bool sawLong = false;
    for (const auto& call : some.Log.Calls) {
        if (call.ActionCode != zacItem || call.Msg[0] != 'd')
            continue;
        sawLong = true;
        EXPECT_EQ(std::string(call.Msg).size(), sizeof call.Msg - 1);
        EXPECT_EQ(std::string(call.Msg), longName.substr(0, sizeof call.Msg - 1));
    }
    EXPECT_TRUE(sawLong);
}

TEST_F(UnzipCoreTest, DamagedArchivesAreReportedNotFatal)
{
    const std::string good = BuildZipFixture({{"a.txt", TextBytes(5000, 1)}, {"b.txt", "b"}});
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"empty", ""},
        {"text", "not a zip archive at all, just some text"},
        {"truncated in the middle", good.substr(0, good.size() / 2)},
        {"end record only", good.substr(good.size() - 22)},
        {"data cut", good.substr(0, 40) + std::string(good.size() - 40, '\0')},
    };
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        TMemorySource source(bytes);
        TCallbackLog log;
        UnzCommand cmd{};
        cmd.Caller = &log;
        cmd.Callback = RecordCallback;
        cmd.fTest = QRV_ZIP_TRUE;
        cmd.ZipFileName = "memory";
        cmd.fSeven = QRV_ZIP_RECORD_END;
        EXPECT_EQ(UnzipRun(cmd, source, TUnzipHooks{}), 0);
        EXPECT_GE(log.Count(zacMessage) + log.Count(zacSkipped), 1u);
    }
}

namespace {

// A password other than Right whose decrypted ZipCrypto header ends in the
// first entry's check byte, found by trying "falsch0", "falsch1", ... against
// that header (one in 256 fits, so a few hundred tries find one): the wrong
// password the one check byte lets through.
std::string WrongPasswordPassingTheCheck(const std::string& zip, const std::string& right)
{
    TMemorySource source(zip);
    const TZipEntryInfo entry = ReadZipDirectory(source).Entries.at(0);
    unsigned char stored[kCryptHeaderSize];
    source.ReadAt(ZipDataOffset(source, entry), stored, sizeof stored);
    for (int i = 0; i < 100000; ++i) {
        const std::string candidate = "falsch" + std::to_string(i);
        if (candidate == right)
            continue;
        unsigned char header[kCryptHeaderSize];
        std::copy(std::begin(stored), std::end(stored), header);
        TZipCrypto crypto(candidate);
        crypto.Decrypt(header, sizeof header);
        if (header[kCryptHeaderSize - 1] == TZipCrypto::CheckByte(entry))
            return candidate;
    }
    return {};
}

}  // namespace

// A wrong password that passes the check byte fails in the data (inflate or
// CRC): it is refused like any wrong one, the user is asked again through the
// password callback, nothing of the attempt stays, and the right password
// then opens this entry and the next without another question. A damaged
// entry whose password the user gives once more is reported as damaged.
TEST_F(UnzipCoreTest, AWrongPasswordPassingTheCheckByteIsAskedAgainNotAnError)
{
    const std::string right = "richtig";
    for (const int level : {0, 6}) {
        SCOPED_TRACE("level " + std::to_string(level));
        const std::string first = TextBytes(20000, 21), second = RandomBytes(3000, 22);
        const std::string zip =
            BuildZipFixture({{"geheim.txt", first, level, right}, {"zweite.bin", second, level, right}});
        WriteFile(archive, zip);
        const std::string wrong = WrongPasswordPassingTheCheck(zip, right);
        ASSERT_FALSE(wrong.empty());
        auto answering = [](std::vector<std::string> replies) {
            return [replies, next = size_t(0)](ZipCallbackData& data) mutable {
                if (data.ActionCode == zacPassword && next < replies.size()) {
                    std::snprintf(data.Msg, sizeof data.Msg, "%s", replies[next++].c_str());
                    data.ReplyValue = 1;
                }
                return 0;
            };
        };

        for (const bool toMemory : {false, true}) {
            SCOPED_TRACE(toMemory ? "into memory" : "into files");
            fs::remove_all(out);
            TUnzipCall given = Call(wrong);
            given.ToMemory = toMemory;
            given.Log.Answer = answering({right});
            EXPECT_EQ(given.Run(), toMemory ? 1 : 2);
            EXPECT_EQ(given.Log.Count(zacPassword), 1u);
            EXPECT_EQ(given.Log.Count(zacCRCError), 0u);
            EXPECT_TRUE(SkipTypes(given.Log).empty());
            if (toMemory)
                EXPECT_TRUE(given.Memory == first) << "the memory holds other bytes";
            else
                ExpectSameTree(ReadTree(out), {{"geheim.txt", first}, {"zweite.bin", second}});
        }

        // Typed by the user: asked again, with the attempt's number.
        fs::remove_all(out);
        TUnzipCall typed = Call();
        typed.PasswordReqCount = 3;
        typed.Log.Answer = answering({wrong, right});
        EXPECT_EQ(typed.Run(), 2);
        std::vector<int32_t> attempts;
        for (const auto& call : typed.Log.Calls)
            if (call.ActionCode == zacPassword)
                attempts.push_back(call.Arg1);
        EXPECT_EQ(attempts, (std::vector<int32_t>{1, 2}));
        EXPECT_EQ(typed.Log.Count(zacCRCError), 0u);
        ExpectSameTree(ReadTree(out), {{"geheim.txt", first}, {"zweite.bin", second}});

        // The user gives up: a refused password, and no file of the attempt.
        fs::remove_all(out);
        TUnzipCall givenUp = Call(wrong);
        givenUp.Specs = {"geheim.txt"};
        EXPECT_EQ(givenUp.Run(), 0);
        EXPECT_EQ(givenUp.Log.Count(zacPassword), 1u);
        EXPECT_EQ(givenUp.Log.Count(zacCRCError), 0u);
        EXPECT_EQ(SkipTypes(givenUp.Log), (std::vector<int32_t>{zskBadPassword}));
        EXPECT_FALSE(fs::exists(out / "geheim.txt"));

        TUnzipCall tested = Call(wrong);
        tested.Test = true;
        tested.Log.Answer = answering({right});
        EXPECT_EQ(tested.Run(), 2);
        EXPECT_EQ(tested.Log.Count(zacPassword), 1u);
    }

    // Damage, not a wrong password: the user insists on the password.
    WriteFile(archive, BuildZipFixture({{"kaputt.txt", TextBytes(5000, 23), 6, right, 0x5A8A6000, 0x20, false, true}}));
    fs::remove_all(out);
    TUnzipCall insisted = Call(right);
    insisted.Log.Answer = [&](ZipCallbackData& data) {
        if (data.ActionCode == zacPassword) {
            std::snprintf(data.Msg, sizeof data.Msg, "%s", right.c_str());
            data.ReplyValue = 1;
        }
        return 0;
    };
    EXPECT_EQ(insisted.Run(), 0);
    EXPECT_EQ(insisted.Log.Count(zacPassword), 1u);
    EXPECT_EQ(insisted.Log.Count(zacCRCError), 1u);
}

TEST_F(UnzipCoreTest, AFailedAttemptKeepsTheFileTheUserAgreedToOverwrite)
{
    const std::string right = "richtig";
    const std::string zip = BuildZipFixture({{"geheim.txt", TextBytes(20000, 31), 6, right}});
    WriteFile(archive, zip);
    const std::string wrong = WrongPasswordPassingTheCheck(zip, right);
    ASSERT_FALSE(wrong.empty());
    auto agreeing = [](std::vector<std::string> replies) {
        return [replies, next = size_t(0)](ZipCallbackData& data) mutable {
            if (data.ActionCode == zacOverwrite)
                data.ReplyValue = 1;
            if (data.ActionCode == zacPassword && next < replies.size()) {
                std::snprintf(data.Msg, sizeof data.Msg, "%s", replies[next++].c_str());
                data.ReplyValue = 1;
            }
            return 0;
        };
    };
    struct Case {
        const char* What;
        std::vector<std::string> Replies;
        bool Replaced;
    } cases[] = {
        {"a wrong password and then none", {wrong}, false},
        {"a wrong password, then the right one", {wrong, right}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        fs::remove_all(out);
        WriteFile(out / "geheim.txt", "the user's own file");
        TUnzipCall run = Call();
        run.Overwrite = false;
        run.PasswordReqCount = 2;
        run.Log.Answer = agreeing(c.Replies);
        EXPECT_EQ(run.Run(), c.Replaced ? 1 : 0);
        EXPECT_EQ(ReadFile(out / "geheim.txt") == "the user's own file", !c.Replaced);
        // Nothing of the attempt is left beside it.
        EXPECT_EQ(ReadTree(out).size(), 1u);
    }

    // Damaged data under a file agreed to be overwritten: the file stays.
    std::string damaged = BuildZipFixture({{"plain.txt", TextBytes(5000, 32), 6}});
    damaged[60] ^= 0x55;
    WriteFile(archive, damaged);
    fs::remove_all(out);
    WriteFile(out / "plain.txt", "keep me");
    TUnzipCall run = Call();
    run.Overwrite = false;
    run.Log.Answer = agreeing({});
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(ReadFile(out / "plain.txt"), "keep me");
    EXPECT_EQ(ReadTree(out).size(), 1u);
}
