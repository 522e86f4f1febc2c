// TKyZipper under Wine through the zip and unzip libraries installed beside
// the tests: adding (recursive, encrypted by ">"), deleting, extracting and
// testing, the callback's events, the busy answer, a set made by Debian's
// zip and a set of our own split, on the test drive.

#include "archives/win/KyZipper.h"
#include "framework/SysUtils.h"
#include "TestDir.h"
#include "../ZipFixtures.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

using namespace qrv;
namespace fs = std::filesystem;

namespace {

using TTree = std::map<std::wstring, std::string>;

std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

TTree ReadTree(const fs::path& root)
{
    TTree tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(root).wstring()] = Read(entry.path());
    return tree;
}

std::string RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}

std::wstring Name(const ZipDirEntry& entry) { return std::wstring(entry.FileName.begin(), entry.FileName.end()); }

class KyZipperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zipper.Unattended = true;
        zipper.OnMessage = [this](TComponent*, int, const std::wstring& text) { messages.push_back(text); };
        // The tree to pack: text, incompressible data, a file to encrypt.
        std::string text;
        for (int i = 0; i < 4000; ++i)
            text += "Zeile " + std::to_string(i) + "\n";
        tree = {{L"text\\long.txt", text}, {L"text\\deep\\short.txt", "kurz"}, {L"data.bin", RandomBytes(70000, 7)},
                {L"secret.txt", "geheim und verschluesselt\n"}};
        for (const auto& [name, bytes] : tree)
            Write(source / name, bytes);
    }

    // Packs the tree into archive.zip: the folder recursively, secret.txt by ">".
    void AddTree()
    {
        zipper.SetZipFileName(archive.wstring());
        zipper.RootDir = source.wstring();
        zipper.AddCompLevel = 9;
        zipper.AddOptions = AddDirNames | AddRecurseDirs;
        zipper.Password = L"Passwort";
        zipper.FSpecArgs = {L"text\\*.*", L"data.bin", L">secret.txt"};
        ASSERT_EQ(zipper.Add(), 0) << (messages.empty() ? L"" : messages.back());
        ASSERT_EQ(zipper.SuccessCnt(), int(tree.size()));
        ASSERT_EQ(zipper.Count(), int(tree.size()));
    }

    test::TestDir dir;
    fs::path root{dir.Path()};
    fs::path source = root / "src";
    fs::path archive = root / "archive.zip";
    TTree tree;
    TKyZipper zipper{nullptr};
    std::vector<std::wstring> messages;
};

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
    int files = 0;
    for (const ZipDirEntry& entry : zipper.ZipContents()) {
        if (entry.FileName.back() == u'\\')
            continue;
        ++files;
        std::string bytes = Read(root / "out" / Name(entry));
        EXPECT_EQ(bytes.size(), entry.UncomprSize) << Name(entry);
        EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())), entry.CRC32)
            << Name(entry);
    }
    EXPECT_EQ(zipper.SuccessCnt(), files);
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

namespace {

// A removable disk that is a folder on the test drive.
struct TFakeDrive : IZipDrive {
    fs::path Folder;
    std::vector<std::wstring> Labels;
    int Wipes = 0;
    bool IsRemovable(const std::wstring&) override { return true; }
    std::wstring VolumeLabel(const std::wstring&) override { return Labels.empty() ? L"" : Labels.back(); }
    bool ChangeVolumeLabel(const std::wstring&, const std::wstring& label) override
    {
        Labels.push_back(label);
        return true;
    }
    uint64_t FreeSpace(const std::wstring&) override { return 40000; }
    bool Wipe(const std::wstring&) override
    {
        ++Wipes;
        for (const auto& entry : fs::directory_iterator(Folder))
            fs::remove_all(entry.path());
        return true;
    }
};

TEST_F(KyZipperTest, RemovableDisksArePromptedLabelledAndWipedOnlyAfterYes)
{
    auto drive = std::make_shared<TFakeDrive>();
    drive->Folder = root / "floppy";
    const fs::path shelf = root / "shelf";
    fs::create_directories(shelf);
    Write(drive->Folder / "alt.txt", "alte Daten");
    zipper.Drive = drive;
    zipper.Unattended = false;
    int eraseAnswer = IDNO;
    std::vector<std::wstring> questions;
    zipper.AskUser = [&](const std::wstring& text, const std::wstring&, unsigned) {
        questions.push_back(text);
        return text.rfind(L"Erase ", 0) == 0 ? eraseAnswer : IDOK;
    };
    std::vector<int> prompts;
    // Taking the full disk out: its file goes to the shelf.
    auto takeOut = [&](int seqNo) {
        prompts.push_back(seqNo);
        if (fs::exists(drive->Folder / "set.zip"))
            fs::rename(drive->Folder / "set.zip", shelf / ("disk" + std::to_string(seqNo - 2)));
    };
    zipper.OnGetNextDisk = [&](TComponent*, int seqNo, int total, const std::wstring&, bool&) {
        EXPECT_GE(total, 2);
        takeOut(seqNo);
    };
    zipper.SpanOptions = spWipeFiles;
    zipper.MinFreeVolumeSize = 1000;
    zipper.SetZipFileName((drive->Folder / "set.zip").wstring());
    zipper.RootDir = source.wstring();
    zipper.AddOptions = AddDirNames | AddRecurseDirs | AddDiskSpan;
    zipper.FSpecArgs = {L"text\\*.*", L"data.bin"};
    EXPECT_EQ(zipper.Add(), 0) << (messages.empty() ? L"" : messages.back());

    // Each disk asked for, labelled in turn, the erase question answered No.
    ASSERT_GE(prompts.size(), 2u);
    for (size_t i = 0; i < prompts.size(); ++i) {
        EXPECT_EQ(prompts[i], int(i + 1));
        wchar_t label[16];
        swprintf(label, 16, L"PKBACK# %03u", unsigned(i + 1));
        ASSERT_GT(drive->Labels.size(), i);
        EXPECT_EQ(drive->Labels[i], label);
    }
    EXPECT_EQ(std::count_if(questions.begin(), questions.end(),
                            [](const std::wstring& q) { return q.rfind(L"Erase ", 0) == 0; }),
              std::ptrdiff_t(prompts.size()));
    EXPECT_EQ(drive->Wipes, 0);
    EXPECT_EQ(Read(drive->Folder / "alt.txt"), "alte Daten");

    // The disks hold a set: the last one's directory lists the three files.
    std::vector<std::string> disks;
    for (size_t i = 0; i + 1 < prompts.size(); ++i)
        disks.push_back(Read(shelf / ("disk" + std::to_string(i))));
    std::string last = Read(drive->Folder / "set.zip");
    std::vector<TZipMemorySource> sources(disks.begin(), disks.end());
    TZipListOptions options;
    options.OpenDisk = [&](uint32_t disk) -> TZipSource* { return disk < sources.size() ? &sources[disk] : nullptr; };
    TZipMemorySource lastSource(last);
    TZipListResult set = ListZipDirectory(lastSource, options);
    EXPECT_EQ(set.Error, 0);
    EXPECT_EQ(set.Entries.size(), 3u);
    EXPECT_EQ(set.ThisDisk + 1, prompts.size());

    // Extracting asks for the disks in turn and unpacks byte-equal.
    fs::create_directories(root / "temp");
    zipper.TempDir = (root / "temp").wstring();
    std::vector<int> wanted;
    // Putting the wanted disk in: its file comes from the shelf.
    zipper.OnGetNextDisk = [&](TComponent*, int seqNo, int total, const std::wstring&, bool&) {
        EXPECT_EQ(total, int(prompts.size()));
        wanted.push_back(seqNo);
        fs::remove(drive->Folder / "set.zip");
        fs::copy_file(shelf / ("disk" + std::to_string(seqNo - 1)), drive->Folder / "set.zip");
    };
    fs::copy_file(drive->Folder / "set.zip", shelf / ("disk" + std::to_string(prompts.size() - 1)));
    zipper.SetZipFileName((drive->Folder / "set.zip").wstring());
    EXPECT_EQ(zipper.Count(), 3);
    zipper.ExtrBaseDir = (root / "out").wstring();
    zipper.ExtrOptions = ExtrDirNames | ExtrOverWrite | ExtrForceDirs;
    zipper.FSpecArgs = {L"*.*"};
    EXPECT_EQ(zipper.Extract(), 0) << (messages.empty() ? L"" : messages.back());
    // Every disk but the last one, which was in the drive already.
    std::vector<int> expectedDisks;
    for (int n = 1; n < int(prompts.size()); ++n)
        expectedDisks.push_back(n);
    EXPECT_EQ(wanted, expectedDisks);
    TTree expected = tree;
    expected.erase(L"secret.txt");
    EXPECT_EQ(ReadTree(root / "out"), expected);
    EXPECT_TRUE(fs::is_empty(root / "temp"));

    // Yes wipes each disk before it is written.
    zipper.SetZipFileName((drive->Folder / "set.zip").wstring());
    zipper.OnGetNextDisk = [&](TComponent*, int seqNo, int, const std::wstring&, bool&) { takeOut(seqNo); };
    for (const auto& entry : fs::directory_iterator(shelf))
        fs::remove(entry.path());
    prompts.clear();
    eraseAnswer = IDYES;
    zipper.FSpecArgs = {L"text\\*.*", L"data.bin"};
    EXPECT_EQ(zipper.Add(), 0);
    EXPECT_EQ(drive->Wipes, int(prompts.size()));
    EXPECT_FALSE(fs::exists(drive->Folder / "alt.txt"));

    // Nobody to ask: refused.
    zipper.Unattended = true;
    zipper.FSpecArgs = {L"data.bin"};
    EXPECT_EQ(zipper.Add(), zmUnattendedSpan);
}

}  // namespace
