// The archive list's runs over the readers' cores, linked in as the
// libraries would be loaded: the zip component's runs through the unzip
// core and the callback dispatch, the RAR and ACE readers over theirs. The
// events in their order, the message list, success, the overwrite rule, the
// password questions and hostile names.

#include "archives/ArchiveRuns.h"
#include "archives/KyACE2.h"
#include "archives/KyRarArc.h"
#include "archives/ZipCommands.h"
#include "TestDir.h"
#include "common/BaseUtils.h"
#include "common/SafeExtractPath.h"
#include "external/AceCore.h"
#include "external/AceFixture.h"
#include "external/RarCore.h"
#include "external/RarFixture.h"
#include "external/UnzipCore.h"
#include "external/ZipCore.h"
#include "external/ZipFixture.h"
#include "framework/FilePath.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

using namespace qrv;
using namespace qrv::external;
namespace fs = std::filesystem;

namespace {

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

using TTree = std::map<std::string, std::string>;

TTree Tree(const fs::path& root)
{
    TTree tree;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(root, ec))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(root).generic_string()] = Read(entry.path());
    return tree;
}

// The zip component's extraction as it is on Windows, without the window:
// the command record from the settings, the unzip core, the callback
// dispatch with its events wired by the runs.
class TCoreZip {
public:
    explicit TCoreZip(const fs::path& archive) : archive_(archive)
    {
        const std::string bytes = Read(archive);
        TZipMemorySource source(bytes);
        entries_ = ListZipDirectory(source, {}).Entries;
        Runner.Extract = [this](const std::vector<std::wstring>& specs, unsigned options, const std::wstring& baseDir) {
            TUnzSettings settings;
            settings.Caller = this;
            settings.Callback = &TCoreZip::Callback;
            settings.Unattended = true;
            settings.ZipFileName = FromFsPath(archive_);
            settings.Specs = specs;
            settings.ExtrOptions = options;
            settings.ExtrBaseDir = baseDir;
            settings.PasswordReqCount = 3;
            dispatch_.BeginRun();
            dispatch_.Cancel = false;
            dispatch_.ExtrOverWrite = (options & ExtrOverWrite) != 0;
            dispatch_.PasswordReqCount = 3;
            TUnzCommandRecord command(settings);
            success_ = UnzipExec(&command.Record(), {});
        };
        Runner.SuccessCount = [this] { return success_; };
        Runner.ErrCode = [this] { return dispatch_.ErrCode; };
        Runner.Cancelled = [this] { return dispatch_.Cancel; };
        Runner.SetCancel = [this](bool cancel) { dispatch_.Cancel = cancel; };
        Runner.Contents = [this]() -> const TZipEntries& { return entries_; };
    }

    TZipCallbackEvents& Events() { return dispatch_.Events; }
    int Files() const { return static_cast<int>(entries_.size()); }
    TZipRunner Runner;

private:
    static int32_t QRV_ZIPAPI Callback(ZipCallbackData* data)
    {
        return static_cast<TCoreZip*>(data->Caller)->dispatch_.Dispatch(*data);
    }

    fs::path archive_;
    TZipEntries entries_;
    TZipCallbackDispatch dispatch_;
    int success_ = 0;
};

TRarPlatform RarCorePlatform()
{
    TRarPlatform platform;
    platform.LoadUnrar = [](const std::wstring&, TUnrarFunctions& f) {
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

TAcePlatform AceCorePlatform()
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
    return platform;
}

class ArchiveRunsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        runs.OnMessage = [this](int code, const std::wstring& text) {
            events.push_back(L"message " + std::to_wstring(code) + L" " + text);
        };
        runs.OnProgress = [this](int done) { events.push_back(L"progress " + std::to_wstring(done)); };
        runs.OnStartExtract = [this](int total) { events.push_back(L"start " + std::to_wstring(total)); };
        runs.OnEndExtract = [this] { events.push_back(L"end"); };
        runs.OnCRC32Error = [this](const std::wstring& file, uint32_t, uint32_t, bool&) {
            events.push_back(L"crc " + file);
        };
        runs.AskPassword = [this](const std::wstring& file) {
            events.push_back(L"password " + file);
            if (passwords.empty())
                return std::wstring();
            const std::wstring answer = passwords.front();
            passwords.pop_front();
            return answer;
        };
        runs.ConfirmOverwrite = [this] { return confirm; };
        runs.Files.Exists = [](const std::wstring& path) { return fs::is_regular_file(FsPath(path)); };
        runs.Files.DosTime = [](const std::wstring&) { return 0x5A000000u; };
        runs.Files.IsReadOnly = [](const std::wstring& path) {
            return (fs::status(FsPath(path)).permissions() & fs::perms::owner_write) == fs::perms::none;
        };
        runs.Files.DeleteReadOnly = [this](const std::wstring& path) {
            deleted.push_back(path);
            fs::permissions(FsPath(path), fs::perms::owner_write, fs::perm_options::add);
            return fs::remove(FsPath(path));
        };
    }

    bool Has(const std::wstring& event) const { return std::find(events.begin(), events.end(), event) != events.end(); }
    long Count(const std::wstring& prefix) const
    {
        return std::count_if(events.begin(), events.end(),
                             [&](const std::wstring& e) { return e.rfind(prefix, 0) == 0; });
    }
    void ReadOnly(const fs::path& file) { fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove); }

    test::TestDir dir;
    fs::path root = FsPath(dir.Path());
    TArchiveRuns runs;
    std::vector<std::wstring> events;
    std::deque<std::wstring> passwords;
    std::vector<std::wstring> deleted;
    bool confirm = false;
};

const std::vector<TZipFixtureEntry> kZipEntries = {
    {"a.txt", "alpha"},
    {"docs/b.txt", std::string(3000, 'b')},
    {"s.txt", "secret", 6, "pw"},
};

}  // namespace

TEST_F(ArchiveRunsTest, AWholeZipRunsAsOnePatternWithItsEventsInOrder)
{
    Write(root / "t.zip", BuildZipFixture(kZipEntries));
    TCoreZip zip(root / "t.zip");
    runs.WireZip(zip.Events(), zip.Runner);
    passwords = {L"pw"};
    EXPECT_TRUE(runs.ExtractZip(zip.Runner, {L"*.*"}, FromFsPath(root / "out"), true, zip.Files()));
    EXPECT_EQ(Tree(root / "out"),
              (TTree{{"a.txt", "alpha"}, {"docs/b.txt", std::string(3000, 'b')}, {"s.txt", "secret"}}));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), L"start 3") << "the whole archive is one run of every file";
    EXPECT_EQ(events.back(), L"end");
    EXPECT_EQ(Count(L"progress "), 3);
    EXPECT_EQ(Count(L"password "), 1) << "one question for the encrypted entry";
    EXPECT_EQ(runs.Password(), L"pw") << "kept for writing the entry back";

    // Without paths, one entry by its stored name.
    events.clear();
    EXPECT_TRUE(runs.ExtractZip(zip.Runner, {L"docs\\b.txt"}, FromFsPath(root / "flat"), false, zip.Files()));
    EXPECT_EQ(Tree(root / "flat"), (TTree{{"b.txt", std::string(3000, 'b')}}));
    EXPECT_TRUE(runs.Password().empty()) << "an extraction forgets the last password";
}

TEST_F(ArchiveRunsTest, ADamagedZipEntryUnderTheWholeArchiveIsNoSuccess)
{
    std::vector<TZipFixtureEntry> entries = kZipEntries;
    entries.pop_back();
    entries.push_back({"bad.txt", "will not match", 6, "", 0x5A8A6000, 0x20, false, true});
    Write(root / "t.zip", BuildZipFixture(entries));
    TCoreZip zip(root / "t.zip");
    runs.WireZip(zip.Events(), zip.Runner);
    EXPECT_FALSE(runs.ExtractZip(zip.Runner, {L"*.*"}, FromFsPath(root / "out"), true, zip.Files()));
    EXPECT_TRUE(Has(L"crc bad.txt"));
    EXPECT_EQ(runs.CrcErrors(), 1);
    EXPECT_EQ(Read(root / "out" / "a.txt"), "alpha") << "the sound entries are extracted all the same";
    EXPECT_FALSE(runs.TestZip(zip.Runner, FromFsPath(root), zip.Files())) << "a test sees the damage too";

    // The sound entries alone, named, are a success.
    EXPECT_TRUE(runs.ExtractZip(zip.Runner, {L"a.txt", L"docs\\b.txt"}, FromFsPath(root / "two"), true, zip.Files()));
}

TEST_F(ArchiveRunsTest, ACancelledZipPasswordStopsTheRun)
{
    Write(root / "t.zip", BuildZipFixture({{"s.txt", "secret", 6, "pw"}, {"z.txt", "after it"}}));
    TCoreZip zip(root / "t.zip");
    runs.WireZip(zip.Events(), zip.Runner);
    EXPECT_FALSE(runs.ExtractZip(zip.Runner, {L"*.*"}, FromFsPath(root / "out"), true, zip.Files()));
    EXPECT_EQ(Count(L"password s.txt"), 1);
    EXPECT_FALSE(fs::exists(root / "out" / "s.txt"));
    EXPECT_FALSE(fs::exists(root / "out" / "z.txt")) << "the run was cancelled, not only the entry";

    // A wrong password is asked for again, not handed back once more.
    events.clear();
    passwords = {L"falsch", L"pw"};
    EXPECT_TRUE(runs.ExtractZip(zip.Runner, {L"s.txt"}, FromFsPath(root / "again"), true, zip.Files()));
    EXPECT_EQ(Count(L"password s.txt"), 2);
    EXPECT_EQ(Read(root / "again" / "s.txt"), "secret");
}

TEST_F(ArchiveRunsTest, ZipOverwritesAskWithTheEntrysSizeAndTime)
{
    std::vector<TZipFixtureEntry> entries = kZipEntries;
    entries.pop_back();
    entries[0].DosTime = 0x5A8A6001;
    Write(root / "t.zip", BuildZipFixture(entries));
    Write(root / "out" / "a.txt", "old");
    Write(root / "out" / "docs" / "b.txt", "old");
    TCoreZip zip(root / "t.zip");
    runs.WireZip(zip.Events(), zip.Runner);
    std::vector<std::wstring> asked;
    runs.Overwrite = [&](const std::wstring&, const std::wstring& file, int64_t size, uint32_t time, bool,
                         bool) -> std::optional<bool> {
        asked.push_back(file + L" " + std::to_wstring(size) + L" " + std::to_wstring(time));
        return file == L"b.txt";
    };
    confirm = true;
    EXPECT_FALSE(runs.ExtractZip(zip.Runner, {L"*.*"}, FromFsPath(root / "out"), true, zip.Files()))
        << "a refused file is not extracted";
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"a.txt 5 " + std::to_wstring(0x5A8A6001),
                                                L"b.txt 3000 " + std::to_wstring(0x5A8A6000)}));
    EXPECT_EQ(Read(root / "out" / "a.txt"), "old");
    EXPECT_EQ(Read(root / "out" / "docs" / "b.txt"), std::string(3000, 'b'));

    // Without the question every file is replaced, nobody asked.
    confirm = false;
    asked.clear();
    EXPECT_TRUE(runs.ExtractZip(zip.Runner, {L"*.*"}, FromFsPath(root / "out"), true, zip.Files()));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Read(root / "out" / "a.txt"), "alpha");
}

TEST_F(ArchiveRunsTest, RarEventsInOrderAndHostileNamesStayInTheTarget)
{
    Write(root / "t.rar", BuildRarFixture({{"a.txt", "rar a"}, {"..\\..\\evil.txt", "evil"}, {"d\\c.txt", "rar c"}}));
    Write(root / "evil.txt", "outside");
    Write(root / "x" / "y" / "a.txt", "old");
    ReadOnly(root / "x" / "y" / "a.txt");
    TKyRAR rar(nullptr, RarCorePlatform());
    runs.WireRar(rar);
    rar.SetArchiveName(FromFsPath(root / "t.rar"));
    rar.List();
    confirm = true;
    std::vector<std::wstring> asked;
    runs.Overwrite = [&](const std::wstring& folder, const std::wstring& file, int64_t size, uint32_t, bool,
                         bool) -> std::optional<bool> {
        asked.push_back(folder + L"|" + file + L" " + std::to_wstring(size));
        return true;
    };
    const std::wstring target = FromFsPath(root / "x" / "y");
    EXPECT_FALSE(runs.ExtractRar(rar, {L"a.txt", L"..\\..\\evil.txt", L"d\\c.txt"}, target, true))
        << "the refused name fails the run";
    EXPECT_EQ(Read(root / "x" / "y" / "a.txt"), "rar a") << "the read-only file was replaced as agreed";
    EXPECT_EQ(deleted, std::vector<std::wstring>{FromFsPath(root / "x" / "y" / "a.txt")});
    EXPECT_EQ(asked, std::vector<std::wstring>{AddPathSeparator(target) + L"|a.txt 5"});
    EXPECT_EQ(Read(root / "x" / "y" / "d" / "c.txt"), "rar c");
    EXPECT_EQ(Read(root / "evil.txt"), "outside");
    EXPECT_FALSE(fs::exists(root / "x" / "evil.txt"));

    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[0], L"start 3");
    EXPECT_EQ(events[1], L"message 0 Entpackt: a.txt");
    EXPECT_EQ(events[2], L"progress 1");
    EXPECT_EQ(events[3].rfind(L"message ", 0), 0u) << "the refused name is reported";
    EXPECT_EQ(events[4], L"message 0 Entpackt: d\\c.txt");
    EXPECT_EQ(events[5], L"progress 2");
    EXPECT_EQ(events[6], L"end");
    EXPECT_NE(runs.Messages.IndexOf(L"Entpackt: a.txt"), -1) << "every report joins the message list";

    // A test reports each file.
    events.clear();
    EXPECT_TRUE(runs.TestRar(rar, 3));
    EXPECT_EQ(events.front(), L"start 3");
    EXPECT_TRUE(Has(L"message 0 Getestet: a.txt"));
    EXPECT_EQ(events.back(), L"end");

    // A refused overwrite keeps the file and deletes nothing.
    deleted.clear();
    runs.Overwrite = [](const std::wstring&, const std::wstring&, int64_t, uint32_t, bool,
                        bool) -> std::optional<bool> { return false; };
    Write(root / "z" / "a.txt", "keep");
    ReadOnly(root / "z" / "a.txt");
    runs.ExtractRar(rar, {L"a.txt"}, FromFsPath(root / "z"), true);
    EXPECT_EQ(Read(root / "z" / "a.txt"), "keep");
    EXPECT_TRUE(deleted.empty());
}

TEST_F(ArchiveRunsTest, AcePasswordsAreAskedOnceAndAnEmptyAnswerStops)
{
    TAceFixtureEntry first{"s1.txt", "one"};
    first.Encrypted = true;
    TAceFixtureEntry second{"s2.txt", "two"};
    second.Encrypted = true;
    Write(root / "t.ace", BuildAceFixture({first, second, {"plain.txt", "plain"}}));
    TKyACE2 ace(nullptr, AceCorePlatform());
    runs.WireAce(ace);
    ace.SetArchiveName(FromFsPath(root / "t.ace"));
    ASSERT_TRUE(ace.List());

    // Cancelled: the reader stops before the next entry.
    EXPECT_FALSE(runs.ExtractAce(ace, {L"s1.txt", L"s2.txt", L"plain.txt"}, FromFsPath(root / "out"), true));
    EXPECT_EQ(Count(L"password "), 1);
    EXPECT_EQ(events.front(), L"start 3");
    EXPECT_EQ(events.back(), L"end");
    EXPECT_FALSE(fs::exists(root / "out" / "plain.txt"));

    // Answered: one question for both entries; the plain one comes out.
    events.clear();
    ace.Stop = false;
    passwords = {L"pw"};
    EXPECT_FALSE(runs.ExtractAce(ace, {L"s1.txt", L"s2.txt", L"plain.txt"}, FromFsPath(root / "out"), true))
        << "no cipher here: the encrypted entries fail";
    EXPECT_EQ(Count(L"password "), 1) << "the typed password is kept for the run";
    EXPECT_TRUE(Has(L"message 0 Entpackt: plain.txt"));
    EXPECT_EQ(Read(root / "out" / "plain.txt"), "plain");
}

namespace {

// Debian's tools answer from outside: their exit code, -1 without them.
int Tool(const std::string& command)
{
#ifdef _WIN32
    (void)command;
    return -1;  // the tools are Linux programs
#else
    if (std::system("command -v unzip >/dev/null 2>&1 && command -v zipinfo >/dev/null 2>&1") != 0)
        return -1;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

std::string Quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

TCopyState StateOf(const std::wstring& path)
{
    std::error_code ec;
    const fs::path file = FsPath(path);
    TCopyState state;
    if (!fs::is_regular_file(file, ec))
        return state;
    state.Exists = true;
    state.WriteTime = static_cast<uint64_t>(fs::last_write_time(file, ec).time_since_epoch().count());
    state.Size = fs::file_size(file, ec);
    return state;
}

// The zip component's add as it is on Windows, without the window: the
// command record from the settings and the zip core; PutInPlace decides
// whether the new archive takes the old one's place.
struct TCoreZipAdd {
    fs::path Archive;
    bool CanReplace = true;
    std::vector<std::string> Messages;

    bool Add(const TWriteBackRun& run)
    {
        TZipCallbackDispatch dispatch;
        dispatch.Events.OnMessage = [this](int, const std::u16string& text) {
            Messages.push_back(WideToUtf8(std::wstring(text.begin(), text.end())));
        };
        TZipSettings settings;
        settings.Caller = &dispatch;
        settings.Callback = &TCoreZipAdd::Callback;
        settings.Unattended = true;
        settings.ZipFileName = FromFsPath(Archive);
        settings.Specs = run.Paths;
        settings.AddOptions = AddHiddenFiles | (run.Encrypted ? AddEncrypt : 0u);
        settings.Password = run.Encrypted ? run.Password : std::wstring();
        dispatch.BeginRun();
        TZipCommandRecord command(settings);
        TZipHooks hooks;
        hooks.PutInPlace = [this](const fs::path& from, const fs::path& to) {
            std::error_code ec;
            return CanReplace && (fs::rename(from, to, ec), !ec);
        };
        const int32_t added = ZipExec(&command.Record(), hooks);
        return ZipRunSucceeded(static_cast<int>(run.Paths.size()), added, 0, dispatch.ErrCode);
    }

    static int32_t QRV_ZIPAPI Callback(ZipCallbackData* data)
    {
        return static_cast<TZipCallbackDispatch*>(data->Caller)->Dispatch(*data);
    }
};

}  // namespace

// Entries opened and edited, then written back through the zip core: an
// edit within the same second, one of an entry dated in the future, a run
// that cannot replace the archive keeping its records, and the encrypted
// entry going back encrypted with the password it was opened with.
TEST_F(ArchiveRunsTest, EditedCopiesGoBackIntoAnArchiveUnzipPasses)
{
    TZipFixtureEntry future{"s.txt", "secret", 6, "pw"};
    future.DosTime = 0xEE210000;  // 2099: newer than any edit
    Write(root / "t.zip", BuildZipFixture({{"a.txt", "alpha"}, {"docs/b.txt", "beta"}, future}));
    std::vector<TWriteBackRecord> records;
    const auto open = [&](const std::wstring& stored, const std::string& folder) {
        TCoreZip zip(root / "t.zip");
        runs.WireZip(zip.Events(), zip.Runner);
        ASSERT_TRUE(runs.ExtractZip(zip.Runner, {stored}, FromFsPath(root / folder), false, zip.Files()));
        TWriteBackRecord record;
        record.Path = FromFsPath(root / folder / ExtractFileName(stored));
        record.StoredName = stored;
        const TCopyState state = StateOf(record.Path);
        record.WriteTime = state.WriteTime;
        record.Size = state.Size;
        record.Encrypted = !runs.Password().empty();
        record.Password = runs.Password();
        records.push_back(record);
    };
    open(L"a.txt", "o1");
    passwords = {L"pw"};
    open(L"s.txt", "o2");
    ASSERT_EQ(records.size(), 2u);
    ASSERT_TRUE(records[1].Encrypted);

    // a.txt changed with its time put back: the same second; s.txt is
    // older than its entry says.
    const fs::path copyA = FsPath(records[0].Path);
    const auto time = fs::last_write_time(copyA);
    Write(copyA, "alpha, edited");
    fs::last_write_time(copyA, time);
    Write(FsPath(records[1].Path), "secret, edited");

    std::vector<std::wstring> asked;
    const auto ask = [&] {
        return AskWriteBack(
            records, StateOf,
            [&](const std::wstring& name) {
                asked.push_back(name);
                return TWriteBackAnswer::Yes;
            },
            [] {});
    };
    std::vector<size_t> queued = ask();
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"s.txt", L"a.txt"}));
    ASSERT_EQ(queued.size(), 2u);
    const std::vector<TWriteBackRun> plan = PlanWriteBackRuns(records, queued);
    ASSERT_EQ(plan.size(), 2u) << "plain and encrypted go apart";
    EXPECT_FALSE(plan[0].Encrypted);
    EXPECT_TRUE(plan[1].Encrypted);
    EXPECT_EQ(plan[1].Password, L"pw");

    // The archive cannot be replaced: nothing is lost, every record stays.
    TCoreZipAdd zip{root / "t.zip"};
    zip.CanReplace = false;
    std::vector<std::wstring> written;
    EXPECT_FALSE(WriteBackInRuns(
        records, queued, nullptr, [&](const TWriteBackRun& run) { return zip.Add(run); }, written));
    EXPECT_EQ(records.size(), 2u);
    EXPECT_TRUE(written.empty());
    EXPECT_FALSE(zip.Messages.empty());

    // Asked again (the records stayed), now it goes in.
    asked.clear();
    queued = ask();
    EXPECT_EQ(asked.size(), 2u);
    zip.CanReplace = true;
    EXPECT_TRUE(WriteBackInRuns(
        records, queued, nullptr, [&](const TWriteBackRun& run) { return zip.Add(run); }, written));
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(written.size(), 2u);
    asked.clear();
    EXPECT_TRUE(ask().empty());
    EXPECT_TRUE(asked.empty()) << "a second call asks nothing";

    // Read back through the unzip core: the edits, s.txt still asking for
    // its password.
    events.clear();
    passwords = {L"pw"};
    TCoreZip check(root / "t.zip");
    runs.WireZip(check.Events(), check.Runner);
    EXPECT_TRUE(runs.ExtractZip(check.Runner, {L"*.*"}, FromFsPath(root / "check"), true, check.Files()));
    EXPECT_EQ(Tree(root / "check"),
              (TTree{{"a.txt", "alpha, edited"}, {"docs/b.txt", "beta"}, {"s.txt", "secret, edited"}}));
    EXPECT_EQ(Count(L"password s.txt"), 1) << "still encrypted";

    // And by Debian's unzip.
    const int tested = Tool("unzip -tq -P pw " + Quoted(root / "t.zip") + " >/dev/null");
    if (tested < 0)
        GTEST_SKIP() << "no unzip here";
    EXPECT_EQ(tested, 0) << "unzip -t finds the written-back archive sound";
    // zipinfo writes the text/binary letter of an encrypted entry upper-case.
    EXPECT_EQ(Tool("zipinfo " + Quoted(root / "t.zip") + " s.txt | grep -qE '^\\S+\\s+\\S+\\s+\\S+\\s+\\S+\\s+[TB]'"),
              0);
    EXPECT_EQ(Tool("unzip -p -P falsch " + Quoted(root / "t.zip") + " s.txt >/dev/null 2>&1"), 82)
        << "a wrong password opens nothing";
}
