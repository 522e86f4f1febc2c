// The archive list's operations under Wine: through the real zip and
// unzip libraries and the readers' stand-ins, with the questions answered
// by the test.

#include "win/ProcessOutput.h"
#include "TestDir.h"
#include "archives/ArchiveError.h"
#include "archives/win/ArchiveTempFolder.h"
#include "archives/win/KyZipLV.h"
#include "archives/win/KyZipper.h"
#include "common/BaseUtils.h"
#include "common/win/DragDropFilesEx.h"
#include "common/win/TempFiles.h"
#include "external/AceFixture.h"
#include "external/RarFixture.h"
#include "external/ZipFixture.h"
#include "framework/FilePath.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

using namespace qrv;
using namespace qrv::external;
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

void Write(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

using TTree = std::map<std::wstring, std::string>;

TTree Tree(const fs::path& root)
{
    TTree tree;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(root, ec))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(root).wstring()] = Read(entry.path());
    return tree;
}

void SetWriteTime(const fs::path& file, uint64_t time)
{
    TFileHandle handle(CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const FILETIME ft{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SetFileTime(handle.Get(), nullptr, nullptr, &ft);
}

uint64_t WriteTime(const fs::path& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    return (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

class ZipLVOperationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = new TKyZipLV(&form);
        view->SetParent(&form);
        form.HandleNeeded();
        view->SetDLLDirectory(ProgramFolder());
        view->Zipper().AskUser = nullptr;
        view->OnMessage = [this](TComponent*, int code, const std::wstring& text) {
            events.push_back(L"message " + std::to_wstring(code) + L" " + text);
        };
        view->OnStartExtract = [this](TComponent*, int total) { events.push_back(L"start " + std::to_wstring(total)); };
        view->OnProgress = [this](TComponent*, int done) { events.push_back(L"progress " + std::to_wstring(done)); };
        view->OnEndExtract = [this](TComponent*) { events.push_back(L"end"); };
        view->OnCRC32Error = [this](TComponent*, const std::wstring& file, uint32_t, uint32_t, bool& doExtract) {
            events.push_back(L"crc " + file);
            doExtract = false;
        };
        view->PasswordPrompt = [this](const std::wstring& file) {
            events.push_back(L"password " + file);
            if (passwords.empty())
                return std::wstring();
            std::wstring answer = passwords.front();
            passwords.pop_front();
            return answer;
        };
        view->WriteBackPrompt = [this](const std::wstring& text, int) {
            questions.push_back(text);
            if (answers.empty())
                return IDCANCEL;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        };
        view->ShellOpen = [this](const std::wstring& path) {
            opened.push_back(path);
            return true;
        };
    }

    std::wstring Archive(const std::string& name, const std::string& bytes)
    {
        Write(root / name, bytes);
        return FromFsPath(root / name);
    }

    // The row of the entry with this stored name, selected alone.
    int Select(const std::wstring& storedName)
    {
        view->SetSelected(-1, false);
        for (int row = 0; row < view->Items().Count(); ++row)
            if (view->Items().EntryOf(view->Items()[row]).StoredName == storedName) {
                view->SetSelected(row, true);
                view->SetItemFocused(row);
                return row;
            }
        ADD_FAILURE() << "no entry";
        return -1;
    }

    bool Has(const std::wstring& event) const { return std::find(events.begin(), events.end(), event) != events.end(); }

    TForm form{nullptr};
    TKyZipLV* view = nullptr;
    test::TestDir dir;
    fs::path root = FsPath(dir.Path());
    std::vector<std::wstring> events;
    std::deque<std::wstring> passwords;
    std::deque<int> answers;
    std::vector<std::wstring> questions;
    std::vector<std::wstring> opened;
};

const std::vector<TZipFixtureEntry> kEntries = {
    {"a.txt", "alpha"},
    {"docs/b.txt", std::string(3000, 'b')},
    {"docs/deep/c.bin", "c"},
};

}  // namespace

TEST_F(ZipLVOperationsTest, ExtractsWhatDebiansZipWroteAsUnzipDoes)
{
    // The tree Debian's zip packed into the fixture (see make-zip-fixture.sh).
    std::string lines;
    for (int i = 0; i < 10000; ++i)
        lines += "Zeile " + std::to_string(i) + "\n";
    const TTree expected = {{L"text\\long.txt", lines},
                            {L"deep\\er\\short.txt", "kurz"},
                            {L"empty.txt", ""},
                            {L"secret.txt", "geheim und verschluesselt\n"}};
    fs::copy_file(fs::path(ProgramFolder()) / "zip_r_crypt_stub.zip", root / "t.zip");
    view->OpenArchive(FromFsPath(root / "t.zip"));
    ASSERT_EQ(view->Items().Count(), 4);
    view->SelectAll();
    passwords = {L"Passwort"};
    EXPECT_TRUE(view->ExtractSelected(FromFsPath(root / "out"), true, false));
    EXPECT_EQ(Tree(root / "out"), expected);
    EXPECT_EQ(events.front(), L"start 4") << "the whole archive in one run, as one name pattern";
    EXPECT_EQ(events.back(), L"end");
    EXPECT_EQ(std::count(events.begin(), events.end(), L"password secret.txt"), 1);

    // Without paths, and a cancelled password stops the run.
    events.clear();
    EXPECT_FALSE(view->ExtractSelected(FromFsPath(root / "flat"), false, false));
    EXPECT_TRUE(Has(L"password secret.txt"));
    EXPECT_FALSE(fs::exists(root / "flat" / "secret.txt"));
}

TEST_F(ZipLVOperationsTest, AFilteredListNamesItsEntriesAndADamagedEntryFails)
{
    std::vector<TZipFixtureEntry> entries = kEntries;
    entries.push_back({"bad.txt", "will not match", 6, "", 0x5A8A6000, 0x20, false, true});
    view->OpenArchive(Archive("t.zip", BuildZipFixture(entries)));
    view->SelectAll();
    EXPECT_FALSE(view->ExtractSelected(FromFsPath(root / "all"), true, false))
        << "a damaged entry under the whole archive is no success";
    EXPECT_TRUE(Has(L"crc bad.txt"));
    EXPECT_EQ(Tree(root / "all").count(L"docs\\deep\\c.bin"), 1u);

    view->SetMask(L"*.txt");
    ASSERT_EQ(view->Items().Count(), 3);
    view->SetSelected(-1, false);
    Select(L"a.txt");
    view->SetSelected(view->Items().RowOfEntry(1) >= 0 ? view->Items().RowOfEntry(1) : 0, true);
    EXPECT_TRUE(view->ExtractSelected(FromFsPath(root / "masked"), true, false));
    EXPECT_EQ(Tree(root / "masked"), (TTree{{L"a.txt", "alpha"}, {L"docs\\b.txt", std::string(3000, 'b')}}))
        << "c.bin, hidden by the mask, is not extracted";

    EXPECT_FALSE(view->TestArchive()) << "the test sees the damaged entry";
    view->SetMask(L"*.*");
}

TEST_F(ZipLVOperationsTest, AddDeleteAndTestKeepTheArchiveSoundAndTheCurrentFolder)
{
    const std::wstring archive = Archive("t.zip", BuildZipFixture(kEntries));
    view->OpenArchive(archive);
    Write(root / "new" / "top.txt", "top");
    Write(root / "new" / "sub" / "inner.txt", "inner");
    Write(root / "single.txt", "single");
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    EXPECT_TRUE(view->AddDirectory(FromFsPath(root / "new"), true));
    EXPECT_TRUE(view->AddFiles({FromFsPath(root / "single.txt"), archive}))
        << "the archive itself is left out, not added into itself";
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    std::vector<std::wstring> names;
    for (int row = 0; row < view->Items().Count(); ++row)
        names.push_back(view->Items().EntryOf(view->Items()[row]).StoredName);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a.txt", L"docs\\b.txt", L"docs\\deep\\c.bin", L"new\\sub\\inner.txt",
                                                L"new\\top.txt", L"single.txt"}));

    bool asked = false;
    view->OnDeleteFiles = [&](TComponent*, bool& doDelete) {
        asked = true;
        doDelete = true;
    };
    Select(L"docs\\b.txt");
    view->DeleteSelected();
    EXPECT_TRUE(asked);
    EXPECT_EQ(view->Items().Count(), 5);
    events.clear();
    EXPECT_TRUE(view->TestArchive());
    EXPECT_EQ(events.front(), L"start 5");

    EXPECT_FALSE(view->CreateEmptyZip(archive)) << "an existing file is never replaced";
    EXPECT_TRUE(view->CreateEmptyZip(FromFsPath(root / "empty.zip")));
    EXPECT_EQ(Read(root / "empty.zip"), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

TEST_F(ZipLVOperationsTest, OpenedCopiesLiveInTheViewsOwnFolder)
{
    // Another program's file of the same name in the shared folder.
    const fs::path shared = FsPath(TemporaryFolder()) / "a.txt";
    Write(shared, "not ours");
    view->OpenArchive(Archive("t.zip", BuildZipFixture(kEntries)));
    Select(L"a.txt");
    view->OpenItem();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(Read(FsPath(opened[0])), "alpha");
    EXPECT_NE(fs::path(opened[0]).parent_path(), shared.parent_path());
    const std::wstring own = view->TempFolder().Folder();
    EXPECT_EQ(opened[0].rfind(own, 0), 0u);
    view->OpenItem();  // a second opening gets a fresh folder
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[0], opened[1]);

    // A second view sees the first one's folder held and leaves it alone.
    {
        TArchiveTempFolder other;
        EXPECT_NE(other.Folder(), own);
        EXPECT_TRUE(fs::exists(FsPath(opened[0])));
    }
    view->OpenArchive(L"");
    EXPECT_FALSE(fs::exists(FsPath(opened[0])));
    EXPECT_EQ(Read(shared), "not ours");
    fs::remove(shared);

    // A folder an ended view left with its lock is removed by the next one.
    const fs::path leftover = FsPath(own).parent_path().parent_path() / "stale";
    Write(leftover / TArchiveTempFolder::kLockFileName, "");
    Write(leftover / "1" / "old.txt", "old");
    TArchiveTempFolder next;
    EXPECT_FALSE(next.Folder().empty());
    EXPECT_FALSE(fs::exists(leftover));
}

TEST_F(ZipLVOperationsTest, ASetupProgramAndAHelpFileTakeTheirFolderNeighbours)
{
    view->OpenArchive(Archive("t.zip", BuildZipFixture({{"disk1/Setup.exe", "MZ setup"},
                                                        {"disk1/data.cab", "cabinet"},
                                                        {"disk1/sub/deeper.txt", "not beside it"},
                                                        {"disk2/other.txt", "other folder"},
                                                        {"top.txt", "top"},
                                                        {"help/App.hlp", "help"},
                                                        {"help/APP.CNT", "contents"},
                                                        {"help/Other.cnt", "another's"},
                                                        {"App.cnt", "the top folder's"}})));
    ASSERT_EQ(view->Items().Count(), 9);
    const auto folderTree = [](const std::wstring& copy) { return Tree(FsPath(ExtractFilePath(copy))); };

    // The setup program is started from a folder holding every entry of
    // its own folder, flat, and nothing else.
    Select(L"disk1\\Setup.exe");
    view->OpenItem();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(ExtractFileName(opened[0]), L"Setup.exe");
    EXPECT_EQ(folderTree(opened[0]), (TTree{{L"Setup.exe", "MZ setup"}, {L"data.cab", "cabinet"}}));
    EXPECT_EQ(opened[0].rfind(view->TempFolder().Folder(), 0), 0u);
    EXPECT_TRUE(view->WriteBackRecords().empty()) << "a setup folder is never written back";

    // A help file gets its contents file of the same folder beside it, in
    // whatever case it is stored.
    Select(L"help\\App.hlp");
    view->OpenItem();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(ExtractFileName(opened[1]), L"App.hlp");
    EXPECT_EQ(folderTree(opened[1]), (TTree{{L"App.hlp", "help"}, {L"APP.CNT", "contents"}}));
    EXPECT_NE(ExtractFilePath(opened[0]), ExtractFilePath(opened[1])) << "each opening has its own folder";

    // Closing takes every copy away, the neighbours too.
    view->OpenArchive(L"");
    EXPECT_FALSE(fs::exists(FsPath(ExtractFilePath(opened[0])) / "data.cab"));
    EXPECT_FALSE(fs::exists(FsPath(ExtractFilePath(opened[1])) / "APP.CNT"));
}

TEST_F(ZipLVOperationsTest, WriteBackOffersEveryChangeAndKeepsWhatFailed)
{
    view->OpenArchive(Archive("t.zip", BuildZipFixture(kEntries)));
    Select(L"a.txt");
    view->OpenItem();
    ASSERT_EQ(opened.size(), 1u);
    const fs::path copy = FsPath(opened[0]);
    ASSERT_EQ(view->WriteBackRecords().size(), 1u);
    Select(L"docs\\b.txt");
    view->OpenItem();
    EXPECT_EQ(view->WriteBackRecords().size(), 1u) << "an entry with a stored path is never written back";

    view->WriteBackChangedFiles(0);
    EXPECT_TRUE(questions.empty()) << "an unchanged copy is not offered";

    // Changed within the same second, with the old time put back.
    const uint64_t time = WriteTime(copy);
    Write(copy, "alpha, edited");
    SetWriteTime(copy, time);
    // The archive cannot be replaced now: the write-back fails and the
    // record stays for another try.
    {
        TFileHandle lock(CreateFileW((root / "t.zip").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock);
        answers = {IDYES};
        view->WriteBackChangedFiles(0);
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_NE(questions[0].find(L"\"a.txt\""), std::wstring::npos);
        EXPECT_EQ(view->WriteBackRecords().size(), 1u);
    }
    answers = {IDYES};
    view->WriteBackChangedFiles(0);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_TRUE(view->WriteBackRecords().empty());
    // The archive holds the edit (read by a new listing and extraction).
    view->OpenArchive(L"");
    view->OpenArchive(FromFsPath(root / "t.zip"));
    Select(L"a.txt");
    EXPECT_TRUE(view->ExtractSelected(FromFsPath(root / "check"), false, false));
    EXPECT_EQ(Read(root / "check" / "a.txt"), "alpha, edited");
    view->WriteBackChangedFiles(0);
    EXPECT_EQ(questions.size(), 2u) << "a second call asks nothing";
}

TEST_F(ZipLVOperationsTest, AnEncryptedEntryGoesBackEncryptedAndAFutureDateIsNoObstacle)
{
    std::vector<TZipFixtureEntry> entries = {{"s.txt", "secret", 6, "pw"}};
    entries[0].DosTime = 0xEE210000;  // 2099: newer than any edit
    view->OpenArchive(Archive("t.zip", BuildZipFixture(entries)));
    passwords = {L"pw"};
    Select(L"s.txt");
    view->OpenItem();
    ASSERT_EQ(opened.size(), 1u);
    Write(FsPath(opened[0]), "secret, edited");
    answers = {IDYES};
    view->WriteBackChangedFiles(0);
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(view->WriteBackRecords().empty());
    EXPECT_EQ(std::count(events.begin(), events.end(), L"password s.txt"), 1) << "the kept password is used";

    view->OpenArchive(L"");
    view->OpenArchive(FromFsPath(root / "t.zip"));
    ASSERT_EQ(view->Items().Count(), 1);
    EXPECT_TRUE(view->Items().EntryOf(view->Items()[0]).Encrypted);
    events.clear();
    passwords = {L"pw"};
    view->SelectAll();
    EXPECT_TRUE(view->ExtractSelected(FromFsPath(root / "check"), false, false));
    EXPECT_TRUE(Has(L"password s.txt"));
    EXPECT_EQ(Read(root / "check" / "s.txt"), "secret, edited");
}

TEST_F(ZipLVOperationsTest, ClosingOffersTheWriteBackAndKeepsWhatIsNotWritten)
{
    view->OpenArchive(Archive("t.zip", BuildZipFixture(kEntries)));
    Select(L"a.txt");
    view->OpenItem();
    ASSERT_EQ(opened.size(), 1u);
    Write(FsPath(opened[0]), "kept edit");
    answers = {IDNO};
    view->OpenArchive(L"");
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(Read(FsPath(opened[0])), "kept edit") << "the edit is not lost";
    EXPECT_TRUE(std::any_of(events.begin(), events.end(), [&](const std::wstring& e) {
        return e.find(opened[0]) != std::wstring::npos;
    })) << "the kept copy is named";
}

TEST_F(ZipLVOperationsTest, RarAndAceEventsAndHostileNamesStayInTheTarget)
{
    TRarFixtureEntry hostile{"..\\..\\evil.txt", "evil"};
    const std::wstring rar = Archive("t.rar", BuildRarFixture({{"a.txt", "rar a"}, hostile}));
    Write(root / "evil.txt", "outside");
    SetFileAttributesW((root / "evil.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Write(root / "x" / "y" / "a.txt", "old");
    SetFileAttributesW((root / "x" / "y" / "a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    view->OpenArchive(rar);
    view->ConfirmOverwrite = true;
    std::vector<std::wstring> overwrites;
    view->OnOverwrite = [&](TComponent*, const std::wstring&, const std::wstring& file, int64_t size, uint32_t, bool,
                            bool& doOverwrite) {
        overwrites.push_back(file + L" " + std::to_wstring(size));
        doOverwrite = true;
    };
    view->SelectAll();
    // Remembered for deletion too: the hostile name must not name the
    // outside file when the copies go.
    view->ExtractSelected(FromFsPath(root / "x" / "y"), true, true);
    EXPECT_EQ(Read(root / "x" / "y" / "a.txt"), "rar a") << "the read-only file was replaced as agreed";
    EXPECT_EQ(overwrites, std::vector<std::wstring>{L"a.txt 5"});
    EXPECT_EQ(Read(root / "evil.txt"), "outside");
    EXPECT_TRUE(GetFileAttributesW((root / "evil.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0], L"start 2");
    EXPECT_EQ(events[1], L"message 0 Entpackt: a.txt");
    EXPECT_EQ(events[2], L"progress 1");
    EXPECT_EQ(events.back(), L"end");
    view->OpenArchive(L"");
    EXPECT_EQ(Read(root / "evil.txt"), "outside") << "closing deleted only the copies inside the target";
    EXPECT_FALSE(fs::exists(root / "x" / "y" / "a.txt"));
    SetFileAttributesW((root / "evil.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

    // An ACE archive, closed: the reader still names it, the view runs nothing.
    const std::wstring ace = Archive("t.ace", BuildAceFixture({{"b.txt", "ace b"}}));
    view->OpenArchive(ace);
    events.clear();
    EXPECT_TRUE(view->TestFiles({L"*.*"}));
    EXPECT_EQ(events.front(), L"start 1");
    EXPECT_TRUE(Has(L"message 0 Getestet: b.txt"));
    view->OpenArchive(L"");
    events.clear();
    EXPECT_FALSE(view->TestFiles({L"*.*"}));
    EXPECT_FALSE(view->ExtractFiles({L"b.txt"}, FromFsPath(root / "ace"), true));
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(fs::exists(root / "ace"));
}

// The probe, driven as a user drives the list: once the ACE archive is
// closed, its reader still names it, and neither a test nor an extraction
// reports anything or writes a file.
TEST_F(ZipLVOperationsTest, TheProbeRunsNothingOnAClosedAceArchive)
{
    const std::wstring ace = Archive("t.ace", BuildAceFixture({{"b.txt", "ace b"}}));
    const std::string target = WideToUtf8(FromFsPath(root / "after"));
    const std::string commands = "test\nclose\ntest\nextract " + target + "\nflat " + target + " b.txt\nquit\n";
    test::TProcessOutput output =
        test::RunAndCapture(AddBackslash(ProgramFolder()) + L"ArchiveListProbe.exe",
                            L"\"" + ace + L"\" --commands --no-shell", FromFsPath(root), commands);
    ASSERT_EQ(output.StartError, 0u);
    EXPECT_EQ(output.ExitCode, 0u) << output.Text;
    output.Text.erase(std::remove(output.Text.begin(), output.Text.end(), '\r'), output.Text.end());
    const size_t open = output.Text.find("> test\n");
    const size_t closed = output.Text.find("> close\n");
    ASSERT_NE(open, std::string::npos) << output.Text;
    ASSERT_NE(closed, std::string::npos) << output.Text;
    const std::string before = output.Text.substr(open, closed - open);
    EXPECT_NE(before.find("event message: 0 Getestet: b.txt"), std::string::npos) << before;
    EXPECT_NE(before.find("result: ok"), std::string::npos) << before;
    const std::string after = output.Text.substr(closed);
    EXPECT_EQ(after.find("event"), std::string::npos) << after;
    size_t failed = 0;
    for (size_t at = after.find("result: failed"); at != std::string::npos; at = after.find("result: failed", at + 1))
        ++failed;
    EXPECT_EQ(failed, 3u) << "the test and both extractions fail:\n" << after;
    EXPECT_EQ(after.find("result: ok"), std::string::npos) << after;
    EXPECT_FALSE(fs::exists(root / "after"));
}

TEST_F(ZipLVOperationsTest, CabinetsExtractAsCabextractAndRefuseATest)
{
    fs::copy_file(fs::path(ProgramFolder()) / "gcab_sub_utf8.cab", root / "t.cab");
    view->OpenArchive(FromFsPath(root / "t.cab"));
    view->SelectAll();
    EXPECT_TRUE(view->ExtractSelected(FromFsPath(root / "out"), true, false));
    EXPECT_EQ(Tree(root / "out"), Tree(fs::path(ProgramFolder()) / "cab_reference"));
    EXPECT_EQ(events.front(), L"start 3");
    events.clear();
    EXPECT_THROW(view->TestFiles({L"*.*"}), EArchiveError);
    EXPECT_EQ(events,
              std::vector<std::wstring>{L"message 0 Testen eines Archivs ist bei Cabinet-Archiven nicht möglich."});
    EXPECT_THROW(view->AddFilesDialog(), EArchiveError);
}

TEST_F(ZipLVOperationsTest, DroppedFilesAndFoldersGoIntoAnOpenZip)
{
    view->OpenArchive(Archive("t.zip", BuildZipFixture(kEntries)));
    Write(root / "drop" / "f.txt", "f");
    Write(root / "drop" / "folder" / "g.txt", "g");
    TFileList files;
    files.AddItem(nullptr, FromFsPath(root / "drop" / "f.txt"));
    files.AddItem(nullptr, FromFsPath(root / "drop" / "folder"));
    Microsoft::WRL::ComPtr<IDataObject> data;
    data.Attach(new TDataObjectFilesEx(files, false, true));
    IDropTarget* target = view->DragDrop().DropTarget();
    ASSERT_NE(target, nullptr);
    POINTL point{10, 10};
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(data.Get(), MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->Drop(data.Get(), 0, point, &effect), S_OK);
    // The drop is read after the drop call returned.
    for (int i = 0; i < 50 && view->Items().Count() < 5; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
    std::vector<std::wstring> names;
    for (int row = 0; row < view->Items().Count(); ++row)
        names.push_back(view->Items().EntryOf(view->Items()[row]).StoredName);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::wstring>{L"a.txt", L"docs\\b.txt", L"docs\\deep\\c.bin", L"f.txt", L"folder\\g.txt"}));

    // A RAR listing takes no drop.
    view->OpenArchive(Archive("t.rar", BuildRarFixture({{"a.txt", "a"}})));
    effect = DROPEFFECT_COPY;
    target->DragEnter(data.Get(), MK_LBUTTON, point, &effect);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    target->DragLeave();
}

namespace {

// A drag loop that moves over another window, shows the copy effect and
// drops there, reading the dragged names as a target would.
class TScriptedDrag : public TDragDropSystem {
public:
    HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD, DWORD* effect) override
    {
        source->GiveFeedback(DROPEFFECT_COPY);
        const HRESULT result = source->QueryContinueDrag(FALSE, 0);  // the button released
        if (result == DRAGDROP_S_DROP) {
            FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
            STGMEDIUM medium{};
            if (SUCCEEDED(data->GetData(&format, &medium))) {
                const auto drop = static_cast<HDROP>(medium.hGlobal);
                const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
                for (UINT i = 0; i < count; ++i) {
                    wchar_t name[MAX_PATH];
                    DragQueryFileW(drop, i, name, MAX_PATH);
                    Dropped.push_back(name);
                }
                ReleaseStgMedium(&medium);
            }
        }
        *effect = DROPEFFECT_COPY;
        return result;
    }
    std::vector<std::wstring> Dropped;
};

}  // namespace

TEST_F(ZipLVOperationsTest, DraggedEntriesAreExtractedWhenTheyAreDropped)
{
    // ctest: runs alone (it moves the cursor across the screen other tests use)
    view->OpenArchive(Archive("t.zip", BuildZipFixture(kEntries)));
    TScriptedDrag drag;
    view->DragDrop().SetSystem(drag);
    // The view outlives the scripted loop: it revokes through the system's.
    ScopeExit restore([&] { view->DragDrop().SetSystem(DefaultDragDropSystem()); });
    // The view's window is out of the cursor's way: the drop is elsewhere.
    SetWindowPos(form.Handle(), nullptr, 2000, 2000, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    SetCursorPos(10, 10);
    view->SelectAll();
    view->StartDragOut();
    ASSERT_EQ(drag.Dropped.size(), 2u) << "a.txt and the folder docs";
    EXPECT_EQ(ExtractFileName(drag.Dropped[0]), L"a.txt");
    EXPECT_EQ(ExtractFileName(drag.Dropped[1]), L"docs");
    EXPECT_EQ(Read(FsPath(drag.Dropped[0])), "alpha") << "the copy exists when the target reads it";
    EXPECT_EQ(Read(FsPath(drag.Dropped[1]) / "deep" / "c.bin"), "c");
    EXPECT_EQ(drag.Dropped[0].rfind(view->TempFolder().Folder(), 0), 0u);

    // Without the folders, each file by its name; a second drag gets a new folder.
    view->SetPreserveDirs(false);
    const std::vector<std::wstring> first = drag.Dropped;
    drag.Dropped.clear();
    view->StartDragOut();
    ASSERT_EQ(drag.Dropped.size(), 3u);
    EXPECT_NE(ExtractFilePath(drag.Dropped[0]), ExtractFilePath(first[0]));
    EXPECT_EQ(Read(FsPath(drag.Dropped[2])), "c");
    // Closing takes the copies away.
    view->OpenArchive(L"");
    EXPECT_FALSE(fs::exists(FsPath(drag.Dropped[0])));
}

namespace {

// Mouse input as the user gives it, through the system's input queue.
void MouseTo(POINT at)
{
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = static_cast<LONG>(at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    move.mi.dy = static_cast<LONG>(at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof move);
}

void LeftButton(bool down)
{
    INPUT button{};
    button.type = INPUT_MOUSE;
    button.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &button, sizeof button);
}

}  // namespace

// The mouse presses on a selected row, moves onto another window and lets
// go there: the list's own drag detection starts the drag, the system's
// drag loop carries it, and the window dropped on finds the copies there.
TEST_F(ZipLVOperationsTest, TheMouseDragsEntriesOutOntoAnotherWindow)
{
    // ctest: runs alone (it moves the cursor across the screen other tests use)
    view->OpenArchive(Archive("t.zip", BuildZipFixture(kEntries)));
    form.SetBounds(0, 0, 420, 300);
    view->SetBounds(0, 0, 400, 260);
    form.Show();
    // Above every other window of the display.
    SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 420, 300, 0);
    TForm pane(nullptr);
    pane.SetBounds(500, 0, 300, 300);
    pane.HandleNeeded();
    auto* target = new TDragDropFilesEx(&pane);
    target->SetDragDropControl(&pane);
    target->SetTargetEffects(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    std::vector<std::wstring> dropped;
    std::map<std::wstring, std::string> readThere;
    target->OnProcessDropped = [&](TDragDrop*, DWORD, POINT, DWORD) {
        for (int i = 0; i < target->FileList.Count(); ++i) {
            const std::wstring name = target->FileList.GetItem(i).Name;
            dropped.push_back(name);
            readThere[ExtractFileName(name)] =
                fs::is_directory(FsPath(name)) ? Read(FsPath(name) / "deep" / "c.bin") : Read(FsPath(name));
        }
        target->ClearFileList();
    };
    pane.Show();
    SetWindowPos(pane.Handle(), HWND_TOPMOST, 500, 0, 300, 300, 0);
    bool detected = false;
    view->OnDDDragDetect = [&](TComponent*) { detected = true; };
    view->SelectAll();
    RECT row{LVIR_LABEL};
    ASSERT_TRUE(SendMessageW(view->Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
    POINT start{row.left + 10, (row.top + row.bottom) / 2};
    ClientToScreen(view->Handle(), &start);
    ASSERT_EQ(WindowFromPoint(start), view->Handle());
    POINT end{650, 150};
    ASSERT_EQ(GetAncestor(WindowFromPoint(end), GA_ROOT), pane.Handle());

    // The hand moves on its own while this thread runs the drag.
    std::thread hand([&] {
        MouseTo(start);
        Sleep(100);
        LeftButton(true);
        Sleep(100);
        for (int step = 1; step <= 20; ++step) {
            MouseTo({start.x + (end.x - start.x) * step / 20, start.y + (end.y - start.y) * step / 20});
            Sleep(30);
        }
        Sleep(200);
        LeftButton(false);
    });
    const DWORD began = GetTickCount();
    while (dropped.empty() && GetTickCount() - began < 10000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    hand.join();
    EXPECT_TRUE(detected);
    ASSERT_EQ(dropped.size(), 2u) << "a.txt and the folder docs";
    EXPECT_EQ(readThere[L"a.txt"], "alpha") << "the copy exists when the target reads it";
    EXPECT_EQ(readThere[L"docs"], "c");
    EXPECT_EQ(dropped[0].rfind(view->TempFolder().Folder(), 0), 0u);
    view->OpenArchive(L"");
    EXPECT_FALSE(fs::exists(FsPath(dropped[0]))) << "closing takes the copies away";
}
