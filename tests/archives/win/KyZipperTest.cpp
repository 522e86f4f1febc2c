// TKyZipper under Wine through the zip and unzip libraries installed beside
// the tests: adding (recursive, encrypted by ">"), deleting, extracting and
// testing, the callback's events, the busy answer, a set made by Debian's
// zip and a set of our own split, on the test drive.

#include "../ZipFixtures.h"
#include "KyZipperFixture.h"
#include "archives/ZipSpan.h"
#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::test;

namespace {

TEST_F(KyZipperTest, AddsEncryptsListsAndExtractsByteEqual)
{
    AddTree();
    for (const ZipDirEntry& entry : zipper.ZipContents())
        EXPECT_EQ(entry.Encrypted, Name(entry) == L"secret.txt") << Name(entry);

    zipper.ExtrBaseDir = (root / "out").wstring();
    zipper.ExtrOptions = ExtrDirNames | ExtrOverWrite | ExtrForceDirs;
    zipper.FSpecArgs = {L"*.*"};
    EXPECT_EQ(zipper.Extract(), 0);
    EXPECT_EQ(zipper.SuccessCnt(), int(tree.size()));
    EXPECT_EQ(ReadTree(root / "out"), tree);
    EXPECT_TRUE(zipper.FSpecArgs.empty());

    // Without folder names every file lands in the base folder.
    zipper.ExtrBaseDir = (root / "flat").wstring();
    zipper.ExtrOptions = ExtrOverWrite | ExtrForceDirs;
    zipper.FSpecArgs = {L"*.*"};
    EXPECT_EQ(zipper.Extract(), 0);
    TTree flat;
    for (const auto& [name, bytes] : tree)
        flat[fs::path(name).filename().wstring()] = bytes;
    EXPECT_EQ(ReadTree(root / "flat"), flat);

    // Testing reads every entry, the encrypted one with the password.
    zipper.ExtrOptions = ExtrTest;
    EXPECT_EQ(zipper.Extract(), 0);
    EXPECT_EQ(zipper.SuccessCnt(), int(tree.size()));
}

TEST_F(KyZipperTest, WhatWasAddedPassesUnzipsTest)
{
    if (UnixPath(archive).empty())
        GTEST_SKIP() << "needs Debian's unzip under Wine";
    AddTree();
    EXPECT_EQ(UnzipTest(archive, "Passwort"), 0);
    // The encrypted entry needs the password.
    EXPECT_GT(UnzipTest(archive, "falsch", "secret.txt"), 0);
}

TEST_F(KyZipperTest, APatternsOwnPasswordAndPlainMark)
{
    if (UnixPath(archive).empty())
        GTEST_SKIP() << "needs Debian's unzip under Wine";
    // Every file encrypted with the component's password, except the one
    // with a password of its own and the one marked plain by "|".
    zipper.SetZipFileName(archive.wstring());
    zipper.RootDir = source.wstring();
    zipper.AddOptions = AddDirNames | AddRecurseDirs | AddEncrypt;
    zipper.Password = L"Passwort";
    zipper.FSpecArgs = {L"text\\*.*", L"|data.bin", L"secret.txt<Eigenes"};
    ASSERT_EQ(zipper.Add(), 0) << (messages.empty() ? L"" : messages.back());
    ASSERT_EQ(zipper.Count(), int(tree.size()));
    for (const ZipDirEntry& entry : zipper.ZipContents())
        EXPECT_EQ(entry.Encrypted, Name(entry) != L"data.bin") << Name(entry);
    EXPECT_EQ(UnzipTest(archive, "Eigenes", "secret.txt"), 0);
    EXPECT_GT(UnzipTest(archive, "Passwort", "secret.txt"), 0);
    EXPECT_EQ(UnzipTest(archive, "Passwort", "'text/*' data.bin"), 0);

    // The component extracts it with that password.
    zipper.Password = L"Eigenes";
    zipper.ExtrBaseDir = (root / "out").wstring();
    zipper.ExtrOptions = ExtrOverWrite | ExtrForceDirs;
    zipper.FSpecArgs = {L"secret.txt"};
    EXPECT_EQ(zipper.Extract(), 0);
    EXPECT_EQ(zipper.SuccessCnt(), 1);
    EXPECT_EQ(Read(root / "out" / "secret.txt"), tree[L"secret.txt"]);
}

TEST_F(KyZipperTest, AddsFromAndExtractsIntoItsStream)
{
    AddTree();
    std::string note;
    for (int i = 0; i < 3000; ++i)
        note += "Notiz aus dem Speicher " + std::to_string(i) + "\n";
    zipper.ZipStream().Clear();
    zipper.ZipStream().WriteBytes(note);
    EXPECT_EQ(zipper.AddStreamToFile(L"speicher\\notiz.txt"), 0) << (messages.empty() ? L"" : messages.back());
    EXPECT_EQ(zipper.SuccessCnt(), 1);
    zipper.ZipStream().Clear();
    zipper.ZipStream().WriteBytes("nur mit Passwort");
    EXPECT_EQ(zipper.AddStreamToFile(L">geheim.txt"), 0);
    ASSERT_EQ(zipper.Count(), int(tree.size()) + 2);
    for (const ZipDirEntry& entry : zipper.ZipContents()) {
        if (Name(entry) == L"speicher\\notiz.txt" || Name(entry) == L"geheim.txt") {
            EXPECT_EQ(entry.Encrypted, Name(entry) == L"geheim.txt") << Name(entry);
        }
    }
    if (!UnixPath(archive).empty()) {
        EXPECT_EQ(UnzipTest(archive, "Passwort"), 0);
    }

    // Back into the stream: a stored file, a packed one, an encrypted one.
    struct TCase {
        std::wstring Name;
        std::string Expected;
    } cases[] = {
        {L"speicher\\notiz.txt", note},
        {L"data.bin", tree[L"data.bin"]},
        {L"geheim.txt", "nur mit Passwort"},
        {L"text\\long.txt", tree[L"text\\long.txt"]},
    };
    for (const TCase& c : cases) {
        TZipStream* stream = zipper.ExtractFileToStream(c.Name);
        ASSERT_NE(stream, nullptr) << c.Name;
        EXPECT_EQ(stream->Position(), 0);
        EXPECT_EQ(stream->ReadAll(), c.Expected);
    }
    EXPECT_EQ(zipper.ExtractFileToStream(L"fehlt.txt"), nullptr);
    // A wrong password: the handler is asked, nothing comes back.
    zipper.Password = L"falsch";
    zipper.CallbackEvents().OnPasswordError = [](bool, std::u16string&, const std::u16string&, uint32_t&,
                                                 TPasswordButton& action) { action = pwbCancel; };
    EXPECT_EQ(zipper.ExtractFileToStream(L"geheim.txt"), nullptr);
    EXPECT_FALSE(fs::exists(root / "geheim.txt"));
}

// An unzip library that records the names it is given.
std::vector<std::vector<std::string>> namesGiven;
int32_t QRV_ZIPAPI RecordingUnzExec(const UnzCommand* cmd)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < cmd->SpecCount; ++i)
        names.push_back(cmd->Specs[i].FileSpec);
    namesGiven.push_back(names);
    return int32_t(names.size());
}
int32_t QRV_ZIPAPI Version173()
{
    return 173;
}

TEST_F(KyZipperTest, StarDotStarFirstPassesNoNames)
{
    AddTree();
    TLibraryApi api;
    api.Load = [](const std::wstring&) -> void* { return &namesGiven; };
    api.Lookup = [](void*, const char* name) -> void* {
        const std::string entry = name;
        if (entry == "UnzDllExec")
            return reinterpret_cast<void*>(&RecordingUnzExec);
        if (entry == "GetUnzDllVersion")
            return reinterpret_cast<void*>(&Version173);
        return nullptr;
    };
    api.Free = [](void*) {};
    api.FileExists = [](const std::wstring&) { return true; };
    api.ModulePath = [](void*) { return std::wstring(); };
    TKyZipper recorded(nullptr, api);
    recorded.Unattended = true;
    recorded.Password = L"Passwort";
    recorded.SetZipFileName(archive.wstring());
    namesGiven.clear();
    for (const std::vector<std::wstring>& names :
         {std::vector<std::wstring>{L"*.*", L"data.bin"}, {L"data.bin", L"*.*"}, {}}) {
        recorded.FSpecArgs = names;
        recorded.ExtrOptions = ExtrTest;
        EXPECT_EQ(recorded.Extract(), 0);
    }
    EXPECT_EQ(namesGiven, (std::vector<std::vector<std::string>>{{}, {"data.bin", "*.*"}, {}}));
}

TEST_F(KyZipperTest, AddFromDateTakesOnlyNewerFiles)
{
    // data.bin last changed in 2001, the others now.
    SYSTEMTIME old{};
    old.wYear = 2001;
    old.wMonth = 5;
    old.wDay = 5;
    FILETIME oldTime;
    ASSERT_TRUE(SystemTimeToFileTime(&old, &oldTime));
    {
        HANDLE file =
            CreateFileW((source / "data.bin").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &oldTime));
        CloseHandle(file);
    }
    zipper.SetZipFileName(archive.wstring());
    zipper.RootDir = source.wstring();
    zipper.AddFrom = DosDateToDateTime(uint16_t(((2010 - 1980) << 9) | (1 << 5) | 1));
    zipper.FSpecArgs = {L"data.bin", L"text\\long.txt"};
    // Without AddFromDate the day is not looked at.
    zipper.AddOptions = AddDirNames;
    ASSERT_EQ(zipper.Add(), 0);
    EXPECT_EQ(zipper.Count(), 2);
    fs::remove(archive);
    zipper.AddOptions = AddDirNames | AddFromDate;
    zipper.FSpecArgs = {L"data.bin", L"text\\long.txt"};
    ASSERT_EQ(zipper.Add(), 0);
    ASSERT_EQ(zipper.Count(), 1);
    EXPECT_EQ(Name(zipper.ZipContents()[0]), L"text\\long.txt");
}

TEST_F(KyZipperTest, DeletesNamedEntries)
{
    AddTree();
    zipper.FSpecArgs = {L"data.bin", L"text\\deep\\short.txt"};
    EXPECT_EQ(zipper.Delete(), 0);
    EXPECT_EQ(zipper.Count(), int(tree.size()) - 2);
    for (const ZipDirEntry& entry : zipper.ZipContents())
        EXPECT_TRUE(Name(entry) != L"data.bin" && Name(entry) != L"text\\deep\\short.txt") << Name(entry);
    // Nothing named: the table's message, nothing run.
    EXPECT_EQ(zipper.Delete(), zmNothingToDelete);
    EXPECT_EQ(messages.back(), L"Fehler - keine Dateien zum Löschen angegeben!");
}

TEST_F(KyZipperTest, DamagedEntryFiresTheCrcEventAndCountsLess)
{
    zipper.SetZipFileName(archive.wstring());
    zipper.RootDir = source.wstring();
    zipper.AddCompLevel = 0;  // stored: the text stands in the archive as it is
    zipper.AddOptions = AddDirNames | AddRecurseDirs;
    zipper.FSpecArgs = {L"text\\*.*"};
    ASSERT_EQ(zipper.Add(), 0);
    std::string bytes = Read(archive);
    size_t at = bytes.find("Zeile 1234");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'z';
    Write(archive, bytes);
    zipper.SetZipFileName(archive.wstring());

    std::vector<std::u16string> damaged;
    zipper.CallbackEvents().OnCRC32Error = [&](const std::u16string& name, uint32_t, uint32_t, bool&) {
        damaged.push_back(name);
    };
    zipper.ExtrOptions = ExtrTest;
    zipper.FSpecArgs = {L"*.*"};
    zipper.Extract();
    ASSERT_EQ(damaged.size(), 1u);
    EXPECT_NE(damaged[0].find(u"long.txt"), std::u16string::npos);
    EXPECT_EQ(zipper.SuccessCnt(), zipper.Count() - 1);
}

TEST_F(KyZipperTest, WrongPasswordAsksTheHandler)
{
    AddTree();
    zipper.Password = L"falsch";
    std::vector<std::u16string> asked;
    zipper.CallbackEvents().OnPasswordError = [&](bool isZip, std::u16string&, const std::u16string& file, uint32_t&,
                                                  TPasswordButton& action) {
        EXPECT_FALSE(isZip);
        asked.push_back(file);
        action = pwbCancel;
    };
    zipper.ExtrOptions = ExtrTest;
    zipper.FSpecArgs = {L"secret.txt"};
    zipper.Extract();
    ASSERT_FALSE(asked.empty());
    EXPECT_NE(asked[0].find(u"secret.txt"), std::u16string::npos);
    EXPECT_EQ(zipper.SuccessCnt(), 0);
}

TEST_F(KyZipperTest, BusyComponentAnswers255)
{
    AddTree();
    std::vector<int> answers;
    zipper.CallbackEvents().OnProgress = [&](ProgressType type, const std::u16string&, uint64_t) {
        if (type == NewFile) {
            zipper.FSpecArgs = {L"data.bin"};
            answers.push_back(zipper.Add());
            answers.push_back(zipper.Delete());
            answers.push_back(zipper.Extract());
        }
    };
    zipper.ExtrOptions = ExtrTest;
    zipper.FSpecArgs = {L"*.*"};
    EXPECT_EQ(zipper.Extract(), 0);
    ASSERT_FALSE(answers.empty());
    for (int answer : answers)
        EXPECT_EQ(answer, -255);
    EXPECT_FALSE(zipper.UnzBusy());
}

TEST_F(KyZipperTest, ExtractsTheSetDebiansZipMade)
{
    for (const char* part : {"span.z01", "span.z02", "span.z03", "span.zip"})
        Write(root / "set" / part, test::ReadZipFixture(part));
    fs::create_directories(root / "temp");
    zipper.TempDir = (root / "temp").wstring();
    zipper.SpanOptions = spCompatName;
    zipper.SetZipFileName((root / "set" / "span.zip").wstring());
    ASSERT_GT(zipper.Count(), 0);
    EXPECT_GT(zipper.DirOnlyCount(), 0u);
    EXPECT_EQ(zipper.TotalDisks(), 4u);
    zipper.ExtrBaseDir = (root / "out").wstring();
    zipper.ExtrOptions = ExtrDirNames | ExtrOverWrite | ExtrForceDirs;
    zipper.FSpecArgs = {L"*.*"};
    // Unattended without a password: the warning that not all may be unpacked.
    EXPECT_EQ(zipper.Extract(), zmUnattendedExtract);
    // Byte-equal to the files zip packed.
    const TTree packed = ReadTree(test::ZipFixturePath("span.tree"));
    ASSERT_GT(packed.size(), 4u);
    ExpectSameTree(ReadTree(root / "out"), packed);
    EXPECT_EQ(zipper.SuccessCnt(), int(packed.size()));
    // The joined archive is gone.
    EXPECT_TRUE(fs::is_empty(root / "temp"));
}

TEST_F(KyZipperTest, SplitsIntoPartsThatExtractByteEqual)
{
    fs::create_directories(root / "temp");
    zipper.TempDir = (root / "temp").wstring();
    zipper.SpanOptions = spCompatName;
    zipper.MaxVolumeSize = 32768;
    zipper.SetZipFileName((root / "set" / "parts.zip").wstring());
    fs::create_directories(root / "set");
    zipper.RootDir = source.wstring();
    zipper.AddOptions = AddDirNames | AddRecurseDirs | AddDiskSpan;
    zipper.FSpecArgs = {L"text\\*.*", L"data.bin"};
    ASSERT_EQ(zipper.Add(), 0) << (messages.empty() ? L"" : messages.back());
    ASSERT_TRUE(fs::exists(root / "set" / "parts.z01"));
    ASSERT_TRUE(fs::exists(root / "set" / "parts.z02"));
    for (const auto& entry : fs::directory_iterator(root / "set"))
        EXPECT_LE(fs::file_size(entry.path()), 32768u) << entry.path();
    EXPECT_TRUE(fs::is_empty(root / "temp"));
    EXPECT_EQ(zipper.Count(), 3);
    EXPECT_GT(zipper.TotalDisks(), 2u);
    // Joined back, the set is an archive that Debian's unzip finds sound.
    std::vector<std::string> partBytes;
    for (uint32_t i = 0; i + 1 < zipper.TotalDisks(); ++i)
        partBytes.push_back(Read(root / "set" / ("parts.z0" + std::to_string(i + 1))));
    partBytes.push_back(Read(root / "set" / "parts.zip"));
    std::vector<TZipMemorySource> parts(partBytes.begin(), partBytes.end());
    struct TStringOutput : TJoinOutput {
        std::string Bytes;
        bool Write(const void* data, size_t count) override
        {
            Bytes.append(static_cast<const char*>(data), count);
            return true;
        }
    } joined;
    const uint32_t last = uint32_t(parts.size() - 1);
    ASSERT_EQ(
        JoinZipSet([&](uint32_t i) -> TZipSource* { return i <= last ? &parts[i] : nullptr; }, last, joined).Error, 0);
    Write(root / "whole.zip", joined.Bytes);
    if (!UnixPath(root).empty()) {
        EXPECT_EQ(UnzipTest(root / "whole.zip", ""), 0);
    }

    zipper.ExtrBaseDir = (root / "out").wstring();
    zipper.ExtrOptions = ExtrDirNames | ExtrOverWrite | ExtrForceDirs;
    zipper.FSpecArgs = {L"*.*"};
    EXPECT_EQ(zipper.Extract(), zmUnattendedExtract);
    EXPECT_EQ(zipper.SuccessCnt(), 3);
    TTree expected = tree;
    expected.erase(L"secret.txt");
    EXPECT_EQ(ReadTree(root / "out"), expected);
}

TEST_F(KyZipperTest, ListingReportsWarningsAndErrors)
{
    // A stub in front whose length the stored offsets do not count.
    std::string plain = test::ReadZipFixture("plain.zip");
    Write(root / "stub.zip", "MZ stub\n" + plain);
    zipper.SetZipFileName((root / "stub.zip").wstring());
    EXPECT_EQ(zipper.ErrCode(), zmStructureWarning);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), L"Warnung - Fehler in Archiv-Struktur!");
    EXPECT_EQ(zipper.OffsetFirstLocal(), 8u);
    EXPECT_GE(zipper.ZipComment().size(), 1000u);

    Write(root / "junk.zip", "kein Archiv");
    zipper.SetZipFileName((root / "junk.zip").wstring());
    EXPECT_EQ(zipper.Count(), 0);
    EXPECT_EQ(messages.back(), L"Dieses (SFX-) Archiv ist keine gültige ZIP-Datei");
    zipper.FSpecArgs = {L"*.*"};
    EXPECT_EQ(zipper.Extract(), zmCannotOpenArchive);

    zipper.SetZipFileName(L"");
    EXPECT_EQ(zipper.Extract(), zmNoArchiveName);
    EXPECT_EQ(messages.back(), L"Fehler - keine Archivdatei angegeben!");
}

}  // namespace

namespace {

TEST_F(KyZipperTest, ExistingPartsAreOverwrittenOnlyWhenAllowed)
{
    fs::create_directories(root / "temp");
    const fs::path old = root / "set" / "parts.z02";
    Write(old, "alter Teil");
    auto addSpanned = [&] {
        zipper.TempDir = (root / "temp").wstring();
        zipper.SpanOptions = spCompatName;
        zipper.MaxVolumeSize = 32768;
        zipper.SetZipFileName((root / "set" / "parts.zip").wstring());
        zipper.RootDir = source.wstring();
        zipper.AddOptions = AddDirNames | AddRecurseDirs | AddDiskSpan;
        zipper.FSpecArgs = {L"text\\*.*", L"data.bin"};
        return zipper.Add();
    };
    // Unattended and nobody to ask: refused, the old part kept, ours gone.
    EXPECT_EQ(addSpanned(), zmUnattendedSpan);
    EXPECT_EQ(Read(old), "alter Teil");
    EXPECT_FALSE(fs::exists(root / "set" / "parts.z01"));
    EXPECT_TRUE(fs::is_empty(root / "temp"));

    std::vector<std::wstring> asked;
    TZipDiskAction answer = zdaCancel;
    zipper.OnStatusDisk = [&](TComponent*, int, const std::wstring& file, unsigned status, TZipDiskAction& action) {
        EXPECT_EQ(status, unsigned(zdsSameFileName));
        asked.push_back(file);
        action = answer;
    };
    EXPECT_EQ(addSpanned(), zmUserAbort);
    EXPECT_EQ(Read(old), "alter Teil");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], old.wstring());

    answer = zdaOk;
    EXPECT_EQ(addSpanned(), 0);
    EXPECT_NE(Read(old), "alter Teil");
    EXPECT_EQ(zipper.Count(), 3);
}

}  // namespace
