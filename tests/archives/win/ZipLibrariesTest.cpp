// The three libraries as the program uses them: loaded from beside the
// program through TUnzDll, TZipDll and TKyRAR, on the test drive.

#include "../ZipFixtures.h"
#include "TestDir.h"
#include "archives/KyACE2.h"
#include "archives/KyRarArc.h"
#include "archives/UNZDLL.h"
#include "archives/ZIPDLL.h"
#include "archives/win/ArchivePlatforms.h"
#include "common/BaseUtils.h"
#include "external/AceFixture.h"
#include "external/RarFixture.h"
#include "external/ZipFixture.h"
#include "framework/SysUtils.h"
#include "framework/win/Handles.h"
#include "win/ProcessOutput.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

using namespace qrv;
namespace fs = std::filesystem;

namespace {

using TTree = std::map<std::wstring, std::string>;

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

class TOwner : public IZipLibOwner {
public:
    std::wstring DLLDirectory() const override { return L"."; }
    bool Verbose() const override { return false; }
    void ReportMessage(const std::wstring&) override {}
};

struct TLog {
    std::vector<ZipCallbackData> Calls;
    size_t Count(int32_t action) const
    {
        size_t n = 0;
        for (const auto& c : Calls)
            n += c.ActionCode == action;
        return n;
    }
};

int32_t QRV_ZIPAPI Record(ZipCallbackData* data)
{
    static_cast<TLog*>(data->Caller)->Calls.push_back(*data);
    return 0;
}

// An unzip run through the library as the zip component fills the record.
int32_t Unzip(TUnzDll& unz, const fs::path& archive, const fs::path& target, bool test, TLog& log,
              const char* password = nullptr)
{
    const std::string name = WideToUtf8(archive.wstring());
    const std::string dir = WideToUtf8(target.wstring());
    UnzCommand cmd{};
    cmd.Caller = &log;
    cmd.Version = unz.Version();
    cmd.Callback = Record;
    cmd.Password = password;
    cmd.fTest = test ? QRV_ZIP_TRUE : 0;
    cmd.fQuiet = QRV_ZIP_TRUE;
    cmd.fDirectories = QRV_ZIP_TRUE;
    cmd.fOverwrite = QRV_ZIP_TRUE;
    cmd.ZipFileName = name.c_str();
    cmd.PasswordReqCount = 1;
    cmd.ExtractDir = dir.c_str();
    cmd.fSeven = QRV_ZIP_RECORD_END;
    return unz.Exec(cmd);
}

class ZipLibrariesTest : public ::testing::Test {
protected:
    test::TestDir dir;
    fs::path root{dir.Path()};
    TOwner owner;
};

}  // namespace

TEST_F(ZipLibrariesTest, UnzDllUnpacksWhatDebiansZipWroteByteEqual)
{
    const fs::path archive = root / "sfx.zip";
    fs::copy_file(fs::path(ProgramFolder()) / "zip_r_crypt_stub.zip", archive);
    TUnzDll unz(&owner, SystemLibraryApi());
    ASSERT_EQ(unz.Load(TUnzDll::MinVersion, false), 173);
    // Loaded from beside the program, not by the system's search.
    EXPECT_EQ(unz.Path().rfind(ProgramFolder(), 0), 0u) << unz.Path();

    std::string longText;
    for (int i = 0; i < 10000; ++i)
        longText += "Zeile " + std::to_string(i) + "\n";
    const TTree expected = {{L"text\\long.txt", longText},
                            {L"deep\\er\\short.txt", "kurz"},
                            {L"empty.txt", ""},
                            {L"secret.txt", "geheim und verschluesselt\n"}};
    TLog log;
    EXPECT_EQ(Unzip(unz, archive, root / "out", false, log, "Passwort"), 4);
    EXPECT_EQ(ReadTree(root / "out"), expected);
    EXPECT_EQ(log.Count(zacSkipped), 0u);

    // Without the password the encrypted entry is skipped, the rest comes out.
    TLog noPassword;
    EXPECT_EQ(Unzip(unz, archive, root / "nopw", false, noPassword), 3);
    EXPECT_EQ(noPassword.Count(zacPassword), 1u);
    EXPECT_FALSE(fs::exists(root / "nopw" / "secret.txt"));
    unz.Unload(false);
    EXPECT_FALSE(unz.Loaded());
}

TEST_F(ZipLibrariesTest, ZipDllAddsFreshensAndDeletes)
{
    Write(root / "src" / "a.txt", std::string(50000, 'a'));
    Write(root / "src" / "sub" / "b.txt", "bravo");
    const fs::path archive = root / "new.zip";
    const std::string archiveName = WideToUtf8(archive.wstring());
    const std::string rootDir = WideToUtf8((root / "src").wstring());
    TZipDll zip(&owner, SystemLibraryApi());
    TUnzDll unz(&owner, SystemLibraryApi());
    zip.Load(TZipDll::MinVersion, true);
    unz.Load(TUnzDll::MinVersion, true);

    auto run = [&](int action, bool freshen, std::vector<std::string> specs) {
        std::vector<ZipFileSpec> records(specs.size());
        for (size_t i = 0; i < specs.size(); ++i)
            records[i].FileSpec = specs[i].c_str();
        TLog log;
        ZipCommand cmd{};
        cmd.Caller = &log;
        cmd.Version = zip.Version();
        cmd.Callback = Record;
        cmd.Level = 9;
        cmd.fFreshen = freshen ? QRV_ZIP_TRUE : 0;
        cmd.fHidden = QRV_ZIP_TRUE;
        cmd.fDirNames = QRV_ZIP_TRUE;
        cmd.fRecurse = QRV_ZIP_TRUE;
        cmd.ZipFileName = archiveName.c_str();
        cmd.RootDir = rootDir.c_str();
        cmd.SpecCount = static_cast<int32_t>(records.size());
        cmd.Specs = records.data();
        cmd.Action = action;
        cmd.fSeven = QRV_ZIP_RECORD_END;
        return zip.Exec(cmd);
    };
    auto contents = [&] {
        fs::remove_all(root / "check");
        TLog log;
        Unzip(unz, archive, root / "check", false, log);
        return ReadTree(root / "check");
    };

    EXPECT_EQ(run(zopAdd, false, {"*.*"}), 2);
    EXPECT_EQ(contents(), (TTree{{L"a.txt", std::string(50000, 'a')}, {L"sub\\b.txt", "bravo"}}));

    // Freshen takes only the file that became newer.
    Write(root / "src" / "sub" / "b.txt", "bravo, newer");
    {
        TFileHandle file(CreateFileW((root / "src" / "sub" / "b.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER later{{now.dwLowDateTime, now.dwHighDateTime}};
        later.QuadPart += 2ull * 3600 * 10000000;
        const FILETIME future{later.LowPart, later.HighPart};
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &future));
    }
    Write(root / "src" / "c.txt", "not taken by freshen");
    EXPECT_EQ(run(zopAdd, true, {"*.*"}), 1);
    EXPECT_EQ(contents(), (TTree{{L"a.txt", std::string(50000, 'a')}, {L"sub\\b.txt", "bravo, newer"}}));

    EXPECT_EQ(run(zopDelete, false, {"a.txt"}), 1);
    EXPECT_EQ(contents(), (TTree{{L"sub\\b.txt", "bravo, newer"}}));
    TLog test;
    EXPECT_EQ(Unzip(unz, archive, root / "never", true, test), 1);
    EXPECT_FALSE(fs::exists(root / "never"));
    // Only the archive is left of the rewrites, no temporary file.
    size_t zips = 0;
    for (const auto& entry : fs::directory_iterator(root))
        zips += entry.is_regular_file();
    EXPECT_EQ(zips, 1u);
    zip.Unload(true);
    unz.Unload(true);
}

TEST_F(ZipLibrariesTest, HostileArchivesLeaveNothingOutsideTheTarget)
{
    using namespace qrv::external;
    const std::vector<std::string> hostile = {"..\\up.txt",  "a/../../up2.txt", "\\\\server\\share\\unc.txt",
                                              "C:\\abs.txt", "x.txt:stream",    "CON",
                                              "com1.log",    "dots..."};
    std::vector<TZipFixtureEntry> zipEntries;
    std::vector<TRarFixtureEntry> rarEntries;
    for (const auto& name : hostile) {
        TZipFixtureEntry zipEntry;
        zipEntry.Name = name;
        zipEntry.Data = "evil";
        zipEntries.push_back(zipEntry);
        TRarFixtureEntry rarEntry;
        rarEntry.Name = name;
        rarEntry.Data = "evil";
        rarEntries.push_back(rarEntry);
    }
    Write(root / "hostile.zip", BuildZipFixture(zipEntries));
    Write(root / "hostile.rar", BuildRarFixture(rarEntries));

    TUnzDll unz(&owner, SystemLibraryApi());
    TLog log;
    EXPECT_EQ(Unzip(unz, root / "hostile.zip", root / "zipout", false, log), 2);  // UNC and drive stripped
    EXPECT_EQ(log.Count(zacSkipped), hostile.size() - 2);

    TKyRAR rar(nullptr, SystemRarPlatform());
    rar.SetDLLDirectory(ProgramFolder());
    rar.SetArchiveName((root / "hostile.rar").wstring());
    rar.SetTargetDir((root / "rarout").wstring());
    std::vector<int> errors;
    rar.OnError = [&](TKyRAR*, const std::wstring&, int code) { errors.push_back(code); };
    EXPECT_FALSE(rar.Extract(true));
    EXPECT_TRUE(rar.LoadedDLL());
    EXPECT_EQ(errors, std::vector<int>(hostile.size() - 2, RAR_ECREATE));

    for (const auto& out : {root / "zipout", root / "rarout"})
        EXPECT_EQ(ReadTree(out), (TTree{{L"unc.txt", "evil"}, {L"abs.txt", "evil"}})) << out;
    std::vector<std::wstring> besides;
    for (const auto& entry : fs::directory_iterator(root))
        besides.push_back(entry.path().filename().wstring());
    std::sort(besides.begin(), besides.end());
    EXPECT_EQ(besides, (std::vector<std::wstring>{L"hostile.rar", L"hostile.zip", L"rarout", L"zipout"}));
}

TEST_F(ZipLibrariesTest, QrvarcListsThroughTheRarLibraryAndMissesItElsewhere)
{
    using namespace qrv::external;
    Write(root / "a.rar", BuildRarFixture({{"readme.txt", "Hallo"},
                                           {"docs\\Gr\x94\xE1"
                                            "e.txt",
                                            "x"}}));
    const std::wstring tool = AddBackslash(ProgramFolder()) + L"qrvarc.exe";
    const std::string listed =
        test::RunAndCapture(tool, L"list rar \"" + (root / "a.rar").wstring() + L"\"", root.wstring()).Text;
    EXPECT_NE(listed.find("readme.txt"), std::string::npos) << listed;
    EXPECT_NE(listed.find(WideToUtf8(L"docs\\Größe.txt")), std::string::npos) << listed;

    // The tool alone in a folder, a library planted in the current folder:
    // it is not taken from there, the reader reports it missing.
    fs::create_directories(root / "alone");
    fs::create_directories(root / "current");
    fs::copy_file(tool, root / "alone" / "qrvarc.exe");
    fs::copy_file(AddBackslash(ProgramFolder()) + L"UnRAR.dll", root / "current" / "UnRAR.dll");
    const std::string missing =
        test::RunAndCapture((root / "alone" / "qrvarc.exe").wstring(),
                            L"list rar \"" + (root / "a.rar").wstring() + L"\"", (root / "current").wstring())
            .Text;
    EXPECT_NE(missing.find("error 50 : UNRAR: Datei UNRAR.dll nicht gefunden"), std::string::npos) << missing;
}

// The tool drives the zip component (adding, listing, testing, extracting
// and deleting, sets with ".z01" names), the cabinet and the ACE reader.
TEST_F(ZipLibrariesTest, QrvarcDrivesTheZipComponentAndTheReaders)
{
    const std::wstring tool = AddBackslash(ProgramFolder()) + L"qrvarc.exe";
    const TTree files{{L"a.txt", "alpha\n"}, {L"sub\\b.txt", "beta\n"}};
    for (const auto& [name, bytes] : files)
        Write(root / "src" / name, bytes);
    const std::wstring archive = L"\"" + (root / "out.zip").wstring() + L"\"";
    auto run = [&](const std::wstring& arguments) {
        const test::TProcessOutput output = test::RunAndCapture(tool, arguments, (root / "src").wstring());
        EXPECT_EQ(output.StartError, 0u) << "qrvarc did not start: " << arguments;
        return output.Text;
    };

    EXPECT_NE(run(L"add zip " + archive + L" sub\\*.* \">a.txt\" --paths --password pw").find("files: 2"),
              std::string::npos);
    const std::string listed = run(L"list zip " + archive);
    EXPECT_NE(listed.find("a.txt"), std::string::npos) << listed;
    EXPECT_NE(listed.find("sub\\b.txt"), std::string::npos) << listed;
    EXPECT_NE(listed.find("entries: 2"), std::string::npos) << listed;
    EXPECT_NE(run(L"test zip " + archive + L" --password pw").find("files: 2"), std::string::npos);
    EXPECT_NE(run(L"test zip " + archive + L" --password falsch").find("files: 1"), std::string::npos);
    run(L"extract zip " + archive + L" \"" + (root / "out").wstring() + L"\" --paths --password pw");
    EXPECT_EQ(ReadTree(root / "out"), files);
    EXPECT_NE(run(L"delete zip " + archive + L" a.txt").find("files: 1"), std::string::npos);
    EXPECT_NE(run(L"list zip " + archive).find("entries: 1"), std::string::npos);

    // A set Debian's zip spanned over files named .z01...: joined for testing.
    for (const char* part : {"span.z01", "span.z02", "span.z03", "span.zip"})
        Write(root / "set" / part, test::ReadZipFixture(part));
    size_t packed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(test::ZipFixturePath("span.tree")))
        packed += entry.is_regular_file();
    const std::string tested = run(L"test zip \"" + (root / "set" / "span.zip").wstring() + L"\"");
    EXPECT_NE(tested.find("files: " + std::to_string(packed)), std::string::npos) << tested;

    // The cabinet gcab wrote and an ACE archive of our library.
    const std::string cabinet = run(L"list cab \"" + AddBackslash(ProgramFolder()) + L"gcab_sub_utf8.cab\"");
    EXPECT_NE(cabinet.find(WideToUtf8(L"5 56221883 sub\\Größe.txt")), std::string::npos) << cabinet;
    Write(root / "a.ace", external::BuildAceFixture({{"docs\\readme.txt", "lies mich"}}));
    const std::string ace = run(L"list ace \"" + (root / "a.ace").wstring() + L"\"");
    EXPECT_NE(ace.find("docs\\readme.txt"), std::string::npos) << ace;
    run(L"extract ace \"" + (root / "a.ace").wstring() + L"\" \"" + (root / "aceout").wstring() + L"\" --paths");
    EXPECT_EQ(ReadTree(root / "aceout"), (TTree{{L"docs\\readme.txt", "lies mich"}}));
}

TEST_F(ZipLibrariesTest, AceLibraryBesideTheProgramListsTestsAndExtracts)
{
    using namespace qrv::external;
    TAceFixtureEntry damaged{"bad.txt", "damaged"};
    damaged.DamagedCrc = true;
    Write(root / "good.ace", BuildAceFixture({{"a.txt", "alpha"}, {"docs\\Größe.txt", "beta"}}));
    Write(root / "bad.ace", BuildAceFixture({{"a.txt", "alpha"}, damaged}));

    TKyACE2 ace(nullptr, SystemAcePlatform());
    std::vector<std::wstring> messages;
    ace.OnMessage = [&](TKyACE2*, const std::wstring& text) { messages.push_back(text); };
    ace.SetArchiveName((root / "good.ace").wstring());
    ASSERT_TRUE(ace.List());
    ASSERT_EQ(ace.Count(), 2);
    EXPECT_EQ(ace.Items(1).FileName, L"docs\\Größe.txt");
    EXPECT_TRUE(ace.Test());
    ace.SetTargetDir((root / "out").wstring());
    EXPECT_TRUE(ace.Extract(true));
    EXPECT_EQ(ReadTree(root / "out"), (TTree{{L"a.txt", "alpha"}, {L"docs\\Größe.txt", "beta"}}));

    ace.SetArchiveName((root / "bad.ace").wstring());
    EXPECT_FALSE(ace.Test());
    EXPECT_EQ(messages, std::vector<std::wstring>{L"CRC-Fehler bei Datei: bad.txt"});

    // A handler that throws inside the library's run ends it false.
    ace.SetArchiveName((root / "good.ace").wstring());
    ace.SetTargetDir((root / "again").wstring());
    ace.OnExtracted = [](TKyACE2*, const tACEFileDataStruc&, bool) { throw Exception(L"Ereignis gescheitert"); };
    messages.clear();
    EXPECT_FALSE(ace.Extract(true));
    EXPECT_EQ(messages, std::vector<std::wstring>{L"Ereignis gescheitert"});
}
