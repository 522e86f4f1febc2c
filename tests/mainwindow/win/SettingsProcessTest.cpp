// The settings store seen from outside: the real program is started on a
// settings file or the registry, closed, and the stored values are read back.

#include "ProgramProcess.h"
#include "SettingsGuards.h"
#include "TestDir.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "framework/win/Handles.h"
#include "framework/win/Registry.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include <vector>

using namespace qrv;
using qrv::test::ProgramProcess;

namespace {

const std::wstring kSettingsKey = L"\\Software\\Quorvan Free";
// The exit code of a program whose settings could not be saved.
constexpr DWORD kExitSettingsNotSaved = 2;

class SettingsProcess : public testing::Test {
protected:
    // Everything the program and the tests change below its key is put back.
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};

    void SetUp() override
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteBool(L"ShowLogo", false);
        registry.DeleteValue(L"UseRegistry");
    }

    static RECT WindowRect(HWND window)
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }

    // The text of the static control of a message box (any length).
    static std::wstring BoxText(HWND box)
    {
        std::wstring found;
        EnumChildWindows(
            box,
            [](HWND child, LPARAM data) -> BOOL {
                wchar_t className[32];
                GetClassNameW(child, className, 32);
                if (_wcsicmp(className, L"Static") != 0)
                    return TRUE;
                const int length = GetWindowTextLengthW(child);
                std::wstring text(length + 1, L'\0');
                text.resize(GetWindowTextW(child, text.data(), length + 1));
                if (text.size() > reinterpret_cast<std::wstring*>(data)->size())
                    *reinterpret_cast<std::wstring*>(data) = text;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    static void ClickOk(HWND box)
    {
        HWND ok = test::FindChildByText(box, L"OK");
        ASSERT_NE(ok, nullptr);
        SendMessageW(ok, BM_CLICK, 0, 0);
    }
};

}  // namespace

TEST_F(SettingsProcess, PaneSizesTooLargeForTheWindowStillShowTheTreeAndTheLists)
{
    // ctest: takes the focus. The program's window is activated when it opens.
    test::TestDir dir;
    const std::wstring ini = dir.Write(L"panes.ini", "[Window]\r\nWidth=900\r\nHeight=600\r\nSplitter=99999999\r\n"
                                                     "HSplitter=99999999\r\nSplitter2Y=99999999\r\n");
    {
        ProgramProcess program(L"\"/I=" + ini + L"\"");
        HWND main = program.WaitForWindow(L"TQRVMain");
        ASSERT_NE(main, nullptr);
        // Every tree and list control of the window has room on the screen.
        struct Shown {
            int trees = 0, lists = 0, hidden = 0;
        } shown;
        EnumChildWindows(
            main,
            [](HWND child, LPARAM data) -> BOOL {
                wchar_t className[32];
                GetClassNameW(child, className, 32);
                auto& counts = *reinterpret_cast<Shown*>(data);
                const bool tree = _wcsicmp(className, L"SysTreeView32") == 0;
                const bool list = _wcsicmp(className, L"SysListView32") == 0;
                if ((!tree && !list) || !IsWindowVisible(child))
                    return TRUE;
                RECT rect{};
                GetClientRect(child, &rect);
                if (rect.right <= 0 || rect.bottom <= 0)
                    ++counts.hidden;
                else
                    ++(tree ? counts.trees : counts.lists);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&shown));
        EXPECT_EQ(shown.trees, 1);
        EXPECT_GE(shown.lists, 1);
        EXPECT_EQ(shown.hidden, 0);
        ASSERT_EQ(program.CloseAndWait(main), 0u);
    }
    // What was applied is saved: values that fit the window.
    TMemIniFile saved(ini);
    EXPECT_LT(saved.ReadInteger(L"Window", L"Splitter", 0), 900);
    EXPECT_LT(saved.ReadInteger(L"Window", L"HSplitter", 0), 600);
    EXPECT_LT(saved.ReadInteger(L"Window", L"Splitter2Y", 0), 600);
}

TEST_F(SettingsProcess, AnEmptyIniFileReceivesTheWindowAndTheUpdateLevel)
{
    test::TestDir dir;
    const std::wstring ini = dir.Write(L"empty.ini", "");
    RECT shown{};
    {
        ProgramProcess program(L"\"/I=" + ini + L"\"");
        HWND main = program.WaitForWindow(L"TQRVMain");
        ASSERT_NE(main, nullptr);
        shown = WindowRect(main);
        ASSERT_EQ(program.CloseAndWait(main), 0u);
    }
    TMemIniFile saved(ini);
    for (const wchar_t* name : {L"Left", L"Top", L"Width", L"Height", L"Maximized"})
        EXPECT_TRUE(saved.ValueExists(L"Window", name)) << name;
    EXPECT_EQ(saved.ReadInteger(L"Window", L"Width", 0), shown.right - shown.left);
    EXPECT_EQ(saved.ReadInteger(L"Window", L"Height", 0), shown.bottom - shown.top);
    EXPECT_EQ(saved.ReadInteger(L"Window", L"Maximized", -1), 0);
    EXPECT_EQ(saved.ReadInteger(L"Others", L"UpdateLevel", 0), 460);
}

TEST_F(SettingsProcess, TheDisplayOnAtTheCloseIsOnAtTheNextStart)
{
    test::TestDir dir;
    const std::wstring ini = dir.Write(L"display.ini", "[Window]\r\nViewFile=0\r\n");
    const std::wstring file = dir.Write(L"notiz.txt", "Hallo\r\n");
    {
        // A file named at the start is shown: the display is on at the close.
        ProgramProcess program(L"\"/I=" + ini + L"\" \"" + file + L"\"");
        HWND main = program.WaitForWindow(L"TQRVMain");
        ASSERT_NE(main, nullptr);
        ASSERT_EQ(program.CloseAndWait(main), 0u);
    }
    EXPECT_EQ(TMemIniFile(ini).ReadInteger(L"Window", L"ViewFile", -1), 1);
}

// The list filters of the last exit: applied at the start when the option
// says so (the title names the mask, the list shows what the filter lets
// through, sizes beyond 2 GB included) and written again at the exit.
TEST_F(SettingsProcess, TheStoredFilterIsAppliedAtTheStartAndSavedAtTheExit)
{
    test::TestDir dir;
    const std::wstring folder = dir.File(L"Gefiltert");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    for (const auto& [name, size] :
         {std::pair{L"drei.iso", 3ull << 30}, std::pair{L"fuenf.iso", 5ull << 30}, std::pair{L"klein.txt", 10ull}}) {
        TFileHandle file(
            CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.Get()));
    }
    const std::wstring ini =
        dir.Write(L"filter.ini", "[Window]\r\nscRestoreFilter=1\r\n[CurrentFilter]\r\nMaskList=*.iso\r\n"
                                 "SizeToList=4000000000\r\n");
    {
        ProgramProcess program(L"\"/I=" + ini + L"\" \"" + folder + L"\"");
        HWND main = program.WaitForWindow(L"TQRVMain");
        ASSERT_NE(main, nullptr);
        wchar_t title[512] = L"";
        GetWindowTextW(main, title, 512);
        EXPECT_NE(std::wstring(title).find(L"(*.iso)"), std::wstring::npos) << WideToUtf8(title);
        // The first list: "..", and of the files only the 3 GB image.
        std::vector<int> counts;
        EnumChildWindows(
            main,
            [](HWND child, LPARAM data) -> BOOL {
                wchar_t className[64];
                GetClassNameW(child, className, 64);
                if (_wcsicmp(className, L"SysListView32") == 0 && IsWindowVisible(child))
                    reinterpret_cast<std::vector<int>*>(data)->push_back(
                        static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0)));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&counts));
        EXPECT_NE(std::find(counts.begin(), counts.end(), 2), counts.end());
        ASSERT_EQ(program.CloseAndWait(main), 0u);
    }
    TMemIniFile saved(ini);
    EXPECT_EQ(saved.ReadString(L"CurrentFilter", L"MaskList", L""), L"*.iso");
    EXPECT_EQ(saved.ReadString(L"CurrentFilter", L"SizeToList", L""), L"4000000000");
    EXPECT_EQ(saved.ReadString(L"CurrentFilter", L"MaskList2", L""), L"*.*");
}

TEST_F(SettingsProcess, TheStoredSizeOpensTheWindowAndForeignLinesSurvive)
{
    test::TestDir dir;
    const std::wstring ini = dir.Write(L"sized.ini", "[Window]\r\nWidth=900\r\nHeight=600\r\n[X]\r\nk=v\r\n");
    {
        ProgramProcess program(L"\"/I=" + ini + L"\"");
        HWND main = program.WaitForWindow(L"TQRVMain");
        ASSERT_NE(main, nullptr);
        const RECT rect = WindowRect(main);
        EXPECT_EQ(rect.right - rect.left, 900);
        EXPECT_EQ(rect.bottom - rect.top, 600);
        ASSERT_EQ(program.CloseAndWait(main), 0u);
    }
    TMemIniFile saved(ini);
    EXPECT_EQ(saved.ReadInteger(L"Window", L"Width", 0), 900);
    EXPECT_EQ(saved.ReadInteger(L"Window", L"Height", 0), 600);
    EXPECT_EQ(saved.ReadString(L"X", L"k", L""), L"v");
}

TEST_F(SettingsProcess, AMissingDefaultIniIsReportedAndWrittenAtExit)
{
    test::ProgramFolderIni noFile(std::nullopt);
    ProgramProcess program;
    ASSERT_TRUE(program.Started());
    HWND box = program.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr) << "the message comes before the window";
    EXPECT_EQ(BoxText(box), L"Die Initialisierungsdatei " + test::ProgramFolderIni::Path() +
                                L" ist nicht vorhanden. Es werden die Standardeinstellungen verwendet.");
    ClickOk(box);

    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr) << "the start-up goes on with the defaults";
    ASSERT_EQ(program.CloseAndWait(main), 0u);
    const auto written = test::ProgramFolderIni::Read();
    ASSERT_TRUE(written.has_value()) << "the program folder holds Quorvan32.ini";
    EXPECT_NE(written->find("UpdateLevel=460"), std::string::npos);
}

// "/I=" naming a folder: the box says that the given path is a folder (not
// that the program folder's file is missing), and the start goes on.
TEST_F(SettingsProcess, AnIniArgumentNamingAFolderIsReportedAsAFolder)
{
    test::ProgramFolderIni noFile(std::nullopt);
    test::TestDir dir;
    ProgramProcess program(L"\"/I=" + dir.Path() + L"\"");
    ASSERT_TRUE(program.Started());
    HWND box = program.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr) << "the message comes before the window";
    EXPECT_EQ(BoxText(box), L"Die angegebene Initialisierungsdatei " + dir.Path() +
                                L" ist ein Verzeichnis. Es werden die Standardeinstellungen verwendet.");
    ClickOk(box);
    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr) << "the start-up goes on with the defaults";
    ASSERT_EQ(program.CloseAndWait(main), 0u);
}

TEST_F(SettingsProcess, TheChosenRegistryIsWrittenAndReadAtTheNextStart)
{
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteBool(L"UseRegistry", true);
    }
    test::TestDir dir;
    const std::wstring ini = dir.Write(L"unused.ini", "");
    {
        ProgramProcess program(L"\"/I=" + ini + L"\"");
        HWND main = program.WaitForWindow(L"TQRVMain");
        ASSERT_NE(main, nullptr);
        ASSERT_EQ(program.CloseAndWait(main), 0u);
    }
    TRegistry window(KEY_READ);
    ASSERT_TRUE(window.OpenKeyReadOnly(kSettingsKey + L"\\Window"));
    EXPECT_TRUE(window.ValueExists(L"Width"));
    TRegistry others(KEY_READ);
    ASSERT_TRUE(others.OpenKeyReadOnly(kSettingsKey + L"\\Others"));
    EXPECT_EQ(others.ReadInteger(L"UpdateLevel"), 460);
    EXPECT_EQ(dir.Read(L"unused.ini"), "") << "the INI file is not the store";

    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey + L"\\Window", false));
        registry.WriteInteger(L"Width", 880);
        registry.WriteInteger(L"Height", 610);
    }
    ProgramProcess again(L"\"/I=" + ini + L"\"");
    HWND main = again.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr);
    const RECT rect = WindowRect(main);
    EXPECT_EQ(rect.right - rect.left, 880);
    EXPECT_EQ(rect.bottom - rect.top, 610);
    EXPECT_EQ(again.CloseAndWait(main), 0u);
}

TEST_F(SettingsProcess, AFailedSaveIsReportedWithTheSettingsFile)
{
    test::TestDir dir;
    const std::wstring folder = dir.File(L"gone");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring ini = folder + L"\\settings.ini";
    dir.Write(L"gone\\settings.ini", "[X]\r\nk=v\r\n");
    ProgramProcess program(L"\"/I=" + ini + L"\"");
    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr);
    // The settings file's folder goes away while the program runs.
    ASSERT_TRUE(DeleteFileW(ini.c_str()));
    ASSERT_TRUE(RemoveDirectoryW(folder.c_str()));

    PostMessageW(main, WM_CLOSE, 0, 0);
    HWND box = program.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr) << "the failure is not swallowed";
    const std::wstring text = BoxText(box);
    EXPECT_TRUE(text.starts_with(L"Die Einstellungen konnten nicht gespeichert werden.")) << text;
    EXPECT_NE(text.find(L"\"" + ini + L"\" von Quorvan Free"), std::wstring::npos) << text;
    ClickOk(box);
    EXPECT_EQ(program.CloseAndWait(main), kExitSettingsNotSaved) << "the lost save shows in the exit code";
}

TEST_F(SettingsProcess, AReadOnlySettingsFileIsReportedAndLeftAsItWas)
{
    test::TestDir dir;
    const std::string original = "[Window]\r\nWidth=880\r\nHeight=610\r\n";
    const std::wstring ini = dir.Write(L"locked.ini", original);
    ASSERT_TRUE(SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    ProgramProcess program(L"\"/I=" + ini + L"\"");
    HWND main = program.WaitForWindow(L"TQRVMain");
    ASSERT_NE(main, nullptr);

    PostMessageW(main, WM_CLOSE, 0, 0);
    HWND box = program.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr) << "the refused save is reported";
    const std::wstring text = BoxText(box);
    EXPECT_TRUE(text.starts_with(L"Die Einstellungen konnten nicht gespeichert werden.")) << text;
    EXPECT_NE(text.find(L"schreibgeschützt."), std::wstring::npos) << "the cause is named: " << text;
    ClickOk(box);
    EXPECT_EQ(program.CloseAndWait(main), kExitSettingsNotSaved) << "the refused save shows in the exit code";
    EXPECT_EQ(dir.Read(L"locked.ini"), original);
    EXPECT_NE(GetFileAttributesW(ini.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "still read-only";
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);  // lets the folder go
}

// Two instances on one settings file closed at the same moment (as at log
// off): each either saves or names the real cause, the file is whole
// afterwards and no temporary file is left beside it.
TEST_F(SettingsProcess, TwoInstancesClosedTogetherBothSaveOrNameTheRealCause)
{
    test::TestDir dir;
    const std::wstring ini = dir.Write(L"shared.ini", "[X]\r\nk=v\r\n");
    const std::wstring arguments = L"\"/I=" + ini + L"\"";
    int reported = 0;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        ProgramProcess first(arguments);
        ProgramProcess second(arguments);
        HWND firstMain = first.WaitForWindow(L"TQRVMain");
        HWND secondMain = second.WaitForWindow(L"TQRVMain");
        ASSERT_NE(firstMain, nullptr);
        ASSERT_NE(secondMain, nullptr);
        PostMessageW(firstMain, WM_CLOSE, 0, 0);
        PostMessageW(secondMain, WM_CLOSE, 0, 0);

        for (ProgramProcess* program : {&first, &second}) {
            const DWORD start = GetTickCount();
            while (WaitForSingleObject(program->Process(), 50) != WAIT_OBJECT_0 && GetTickCount() - start < 30000) {
                if (HWND box = program->WaitForWindow(L"#32770", 0)) {
                    const std::wstring text = BoxText(box);
                    ++reported;
                    EXPECT_TRUE(text.starts_with(L"Die Einstellungen konnten nicht gespeichert werden."));
                    EXPECT_EQ(text.find(L"schreibgeschützt"), std::wstring::npos)
                        << "the file is not read-only: " << std::string(text.begin(), text.end());
                    ClickOk(box);
                }
            }
            DWORD exitCode = STILL_ACTIVE;
            GetExitCodeProcess(program->Process(), &exitCode);
            ASSERT_EQ(exitCode, 0u) << "the instance ended";
        }
        TMemIniFile saved(ini);
        EXPECT_EQ(saved.ReadString(L"X", L"k", L""), L"v") << "a foreign line survives both writers";
        EXPECT_EQ(saved.ReadInteger(L"Others", L"UpdateLevel", 0), 460);
        // Nothing but the settings file is left in the folder.
        WIN32_FIND_DATAW found;
        const TFindHandle search(FindFirstFileW((dir.Path() + L"\\*").c_str(), &found));
        ASSERT_TRUE(search);
        std::vector<std::wstring> names;
        do {
            if (found.cFileName != std::wstring(L".") && found.cFileName != std::wstring(L".."))
                names.push_back(found.cFileName);
        } while (FindNextFileW(search.Get(), &found));
        EXPECT_EQ(names, std::vector<std::wstring>{L"shared.ini"});
    }
    // Concurrent writers retry their replace: none of the forty exits fails.
    EXPECT_EQ(reported, 0);
}

TEST_F(SettingsProcess, AToolbarStoredFloatingFloatsThereAndIsWrittenBackAtExit)
{
    test::TestDir dir;
    const std::wstring ini = dir.Write(
        L"toolbars.ini", "[ToolbarDatei]\r\nRev=3\r\nVisible=1\r\nDockedTo=+\r\nFloatLeft=300\r\nFloatTop=200\r\n");
    {
        ProgramProcess program(L"\"/I=" + ini + L"\"");
        HWND main = program.WaitForWindow(L"TQRVMain");
        ASSERT_NE(main, nullptr);
        HWND bar = program.WaitForWindow(L"TKyToolbar");
        ASSERT_NE(bar, nullptr) << "a floating toolbar is a window of its own, shown";
        wchar_t caption[32] = L"";
        GetWindowTextW(bar, caption, 32);
        EXPECT_STREQ(caption, L"Datei");
        const RECT rect = WindowRect(bar);
        EXPECT_EQ(rect.left, 300);
        EXPECT_EQ(rect.top, 200);
        const HWND owner = GetWindow(bar, GW_OWNER);
        ASSERT_NE(owner, nullptr);
        EXPECT_EQ(GetWindow(owner, GW_OWNER), main) << "it floats above the main window";
        bool barFirst = false;
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (w == bar || w == main) {
                barFirst = w == bar;
                break;
            }
        }
        EXPECT_TRUE(barFirst) << "above the main window";
        ASSERT_EQ(program.CloseAndWait(main), 0u);
    }
    TMemIniFile saved(ini);
    EXPECT_EQ(saved.ReadInteger(L"ToolbarDatei", L"Rev", 0), 3);
    EXPECT_EQ(saved.ReadInteger(L"ToolbarDatei", L"Visible", 0), 1);
    EXPECT_EQ(saved.ReadString(L"ToolbarDatei", L"DockedTo", L""), L"+");
    EXPECT_EQ(saved.ReadInteger(L"ToolbarDatei", L"FloatLeft", 0), 300);
    EXPECT_EQ(saved.ReadInteger(L"ToolbarDatei", L"FloatTop", 0), 200);
    EXPECT_EQ(saved.ReadString(L"ToolbarDatei", L"LastDock", L""), L"Dock975") << "where a double click docks it";
}
