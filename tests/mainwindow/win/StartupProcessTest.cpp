// The program's start-up and shutdown, seen from outside: the real exe is
// started, looked at and closed through window messages.

#include "ProgramProcess.h"
#include "SettingsGuards.h"
#include "TestDir.h"
#include "win/MessagePump.h"
#include "win/WineDrive.h"

#include "framework/ScopeExit.h"
#include "framework/win/Handles.h"

#include "framework/win/Registry.h"
#include "panels/win/KyDriveInfo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

using namespace qrv;
using qrv::test::ProgramProcess;

namespace {

const std::wstring kSettingsKey = L"\\Software\\Quorvan Free";

class StartupProcess : public testing::Test {
protected:
    // Runs without "/I=" use the program folder's settings file and write
    // the settings key at exit: both are put back afterwards.
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};

    void SetUp() override
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteBool(L"ShowLogo", false);
        TRegistry().DeleteKey(kSettingsKey + L"\\Dialogs\\comspec not found");
    }
    void TearDown() override
    {
        TRegistry registry;
        if (registry.OpenKey(kSettingsKey, false))
            registry.DeleteValue(L"ShowLogo");
    }

    static bool MutexExists(const wchar_t* name)
    {
        HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
        if (!mutex)
            return false;
        CloseHandle(mutex);
        return true;
    }

    static std::wstring TempFolder()
    {
        wchar_t folder[MAX_PATH + 1];
        return std::wstring(folder, GetTempPathW(MAX_PATH + 1, folder));
    }

    // The first file list: the upper of the two visible list controls.
    static HWND UpperFileList(HWND main)
    {
        struct Lists {
            HWND upper = nullptr;
            LONG top = LONG_MAX;
        } lists;
        EnumChildWindows(
            main,
            [](HWND window, LPARAM data) -> BOOL {
                wchar_t name[32];
                GetClassNameW(window, name, 32);
                RECT r;
                GetWindowRect(window, &r);
                auto* l = reinterpret_cast<Lists*>(data);
                if (std::wstring(name) == WC_LISTVIEWW && IsWindowVisible(window) && r.top < l->top &&
                    r.right - r.left > 0) {
                    l->upper = window;
                    l->top = r.top;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&lists));
        return lists.upper;
    }
};

}  // namespace

TEST_F(StartupProcess, ComesUpWithItsTitleAndMutexesAndClosesWithExitCodeZero)
{
    test::TestDir dir;
    const std::wstring ini = dir.Write(L"empty.ini", "");
    ProgramProcess program(L"\"/I=" + ini + L"\"");
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr);

    // Without a start folder the program opens the first fixed drive's root
    // and names it in its title.
    const wchar_t drive = DriveInfo().DefaultDrive();
    ASSERT_NE(drive, L' ');
    EXPECT_EQ(program.WaitForCaption(std::wstring(1, drive) + L":\\ - Quorvan Free"), main);
    EXPECT_NE(GetMenu(main), nullptr);
    EXPECT_TRUE(MutexExists(L"RudirezOzi_Mutex"));
    EXPECT_TRUE(MutexExists(L"QuorvanFreeMutex"));

    EXPECT_EQ(program.CloseAndWait(main), 0u);
    EXPECT_FALSE(MutexExists(L"QuorvanFreeMutex")) << "gone with the process";
}

TEST_F(StartupProcess, LeavesForeignTemporaryFilesAloneAndRemovesItsOwn)
{
    const std::wstring foreign = TempFolder() + L"QRV32.TMP";
    const std::wstring ours = TempFolder() + L"QRV32(1).TMP";
    DeleteFileW(ours.c_str());
    HANDLE file = CreateFileW(foreign.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    {
        ProgramProcess program;
        HWND main = program.WaitForWindow(L"TQRVMain");
        ASSERT_NE(main, nullptr);
        EXPECT_NE(GetFileAttributesW(ours.c_str()), INVALID_FILE_ATTRIBUTES)
            << "the run reserves the next free name while it runs";
        EXPECT_EQ(program.CloseAndWait(main), 0u);
    }
    EXPECT_NE(GetFileAttributesW(foreign.c_str()), INVALID_FILE_ATTRIBUTES) << "another instance's file survives";
    EXPECT_EQ(GetFileAttributesW(ours.c_str()), INVALID_FILE_ATTRIBUTES) << "the run's own file is gone";
    DeleteFileW(foreign.c_str());
}

TEST_F(StartupProcess, MissingComSpecIsReportedAndStartUpGoesOn)
{
    ProgramProcess program(L"", {L"COMSPEC="});
    ASSERT_TRUE(program.Started());
    HWND warning = program.WaitForCaption(L"Warnung");
    ASSERT_NE(warning, nullptr) << "the warning box";
    EXPECT_NE(test::FindChildByText(warning, L"Umgebungsvariable COMSPEC fehlt."), nullptr);
    HWND ok = test::FindChildByText(warning, L"OK");
    ASSERT_NE(ok, nullptr);
    SendMessageW(ok, BM_CLICK, 0, 0);

    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr) << "the start-up continues after OK";
    EXPECT_EQ(program.CloseAndWait(main), 0u);
}

TEST_F(StartupProcess, AFileOnTheCommandLineIsListedFocusedAndSelected)
{
    test::TestDir settings;
    const std::wstring ini = settings.Write(L"empty.ini", "");
    test::TestDir dir;
    dir.Write(L"a.txt", "a");
    const std::wstring target = dir.Write(L"b.txt", "b");
    dir.Write(L"c.txt", "c");
    ProgramProcess program(L"\"/I=" + ini + L"\" /N \"" + target + L"\"");
    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr);

    HWND upper = UpperFileList(main);
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(SendMessageW(upper, LVM_GETITEMCOUNT, 0, 0), 4) << "\"..\" and the three files";
    EXPECT_EQ(SendMessageW(upper, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    const LRESULT focused = SendMessageW(upper, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    EXPECT_EQ(focused, 2) << "b.txt after \"..\" and a.txt";
    EXPECT_EQ(program.CloseAndWait(main), 0u);
}

TEST_F(StartupProcess, FilesMadeByAnotherProgramAppearInTheWatchedList)
{
    test::TestDir settings;
    // A short re-read interval; the Linux root (Z: under Wine) is never watched.
    const std::wstring ini = settings.Write(L"watch.ini", "[Window]\r\nReload=300\r\n[Others]\r\nNoCheckDrives=Z\r\n");
    test::TestDir dir;
    dir.Write(L"a.txt", "a");
    ProgramProcess program(L"\"/I=" + ini + L"\" \"" + dir.Path() + L"\"");
    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr);
    HWND upper = UpperFileList(main);
    ASSERT_NE(upper, nullptr);
    ASSERT_TRUE(
        test::PumpUntil([&] { return SendMessageW(upper, LVM_GETITEMCOUNT, 0, 0) == 2; }, std::chrono::seconds(15)))
        << "\"..\" and a.txt";

    dir.Write(L"b.txt", "b");
    dir.Write(L"c.txt", "c");
    EXPECT_TRUE(
        test::PumpUntil([&] { return SendMessageW(upper, LVM_GETITEMCOUNT, 0, 0) == 4; }, std::chrono::seconds(20)))
        << "the two new files are listed without any action in the program";
    EXPECT_EQ(program.CloseAndWait(main), 0u);
}

namespace {

// The text of a status bar panel of another process, read through a buffer
// in that process.
std::wstring RemoteStatusText(DWORD processId, HWND statusBar, int panel)
{
    const TKernelHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process)
        return L"";
    constexpr size_t kChars = 1024;
    void* remote = VirtualAllocEx(process.Get(), nullptr, kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return L"";
    const ScopeExit release([&] { VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE); });
    if (LOWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, panel, 0)) >= kChars)
        return L"";
    SendMessageW(statusBar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(remote));
    std::wstring text(kChars, L'\0');
    SIZE_T read = 0;
    if (!ReadProcessMemory(process.Get(), remote, text.data(), kChars * sizeof(wchar_t), &read))
        return L"";
    text.resize(wcsnlen(text.c_str(), kChars));
    return text;
}

}  // namespace

// A start folder that exists but cannot be read (here a drive whose target
// is a file, not a folder) is named with the reason in the status bar
// instead of passing for an empty folder.
TEST_F(StartupProcess, AnUnreadableStartFolderIsNamedInTheStatusBar)
{
    test::TestDir settings;
    const std::wstring ini = settings.Write(L"plain.ini", "[Others]\r\nNoCheckDrives=Z\r\n");
    test::TestDir dir;
    const std::wstring target = dir.Write(L"not-a-folder", "x");
    test::WineDrive drive(target, DRIVE_FIXED);
    if (!drive.Letter())
        GTEST_SKIP() << "no drive letter can be set up here";
    const std::wstring root = std::wstring(1, drive.Letter()) + L":\\";
    WIN32_FIND_DATAW found;
    if (const TFindHandle search(FindFirstFileW((root + L"*.*").c_str(), &found)); search)
        GTEST_SKIP() << "this system reads the drive";

    ProgramProcess program(L"\"/I=" + ini + L"\" " + root);
    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr);
    HWND statusBar = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    ASSERT_NE(statusBar, nullptr);
    std::wstring shown;
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            shown = RemoteStatusText(program.Id(), statusBar, 0);
            return shown.starts_with(L"\"" + std::wstring(1, drive.Letter()) + L":") && shown.size() > 6;
        },
        std::chrono::seconds(15)))
        << "the status bar says: " << std::string(shown.begin(), shown.end());
    EXPECT_EQ(program.CloseAndWait(main), 0u);
}

// A toolbar's stored dock row, however large, costs nothing at the start:
// the window comes up about as fast as with an empty settings file.
TEST_F(StartupProcess, AHugeStoredDockRowDoesNotSlowTheStart)
{
    test::TestDir dir;
    const std::wstring empty = dir.Write(L"empty.ini", "");
    const std::wstring huge = dir.Write(L"huge.ini", "[ToolbarDatei]\r\nDockRow=2147483647\r\n"
                                                     "[ToolbarDrives]\r\nDockRow=2000000000\r\n");
    auto startSeconds = [](const std::wstring& ini) {
        const auto begin = std::chrono::steady_clock::now();
        ProgramProcess program(L"\"/I=" + ini + L"\"");
        HWND main = program.WaitForWindow(L"TQRVMain", 120000);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        EXPECT_NE(main, nullptr);
        if (main)
            EXPECT_EQ(program.CloseAndWait(main), 0u);
        return seconds;
    };
    const double reference = startSeconds(empty);
    const double stored = startSeconds(huge);
    EXPECT_LT(stored, reference + 5.0) << "empty settings: " << reference << " s, huge dock rows: " << stored << " s";
}

// A drive whose folder is moved away behind the program's back: the next
// re-read of the list does not keep the old entries; the path check finds
// nothing left of the path and the user is told.
TEST_F(StartupProcess, ADriveWhoseTargetVanishesIsNoticedAtTheNextReRead)
{
    test::TestDir settings;
    const std::wstring ini = settings.Write(L"watch.ini", "[Window]\r\nReload=300\r\n[Others]\r\nNoCheckDrives=Z\r\n");
    test::TestDir dir;
    const std::wstring target = dir.File(L"target");
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((target + L"\\sub").c_str(), nullptr));
    dir.Write(L"target\\sub\\a.txt", "a");
    test::WineDrive drive(target, DRIVE_FIXED);
    if (!drive.Letter())
        GTEST_SKIP() << "no drive letter can be set up here";
    const std::wstring root = std::wstring(1, drive.Letter()) + L":\\";

    ProgramProcess program(L"\"/I=" + ini + L"\" " + root + L"sub");
    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr);
    HWND upper = UpperFileList(main);
    ASSERT_NE(upper, nullptr);
    ASSERT_TRUE(
        test::PumpUntil([&] { return SendMessageW(upper, LVM_GETITEMCOUNT, 0, 0) == 2; }, std::chrono::seconds(15)))
        << "\"..\" and a.txt";
    ASSERT_NE(program.WaitForCaption(root + L"sub - Quorvan Free"), nullptr);

    // The drive's folder moves away; a file appears in the watched folder.
    const std::wstring moved = dir.File(L"moved");
    ASSERT_TRUE(MoveFileW(target.c_str(), moved.c_str()));
    dir.Write(L"moved\\sub\\b.txt", "b");
    // Not even the drive's root is left: the list empties and says why.
    HWND statusBar = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    ASSERT_NE(statusBar, nullptr);
    std::wstring shown;
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            shown = RemoteStatusText(program.Id(), statusBar, 0);
            return shown.starts_with(L"\"" + root + L"sub\": ") && shown.size() > root.size() + 6;
        },
        std::chrono::seconds(15)))
        << "the status bar says: " << std::string(shown.begin(), shown.end());
    EXPECT_EQ(SendMessageW(upper, LVM_GETITEMCOUNT, 0, 0), 0) << "the old entries are gone";
    EXPECT_EQ(program.CloseAndWait(main), 0u);
    MoveFileW(moved.c_str(), target.c_str());  // the fixture removes what it made
}
