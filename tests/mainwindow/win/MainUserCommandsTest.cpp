// The user commands in the real main window: Shift+F2 runs the Shift set's
// command on the active list's selection, and the "&Programme" menu shows
// the assigned commands with their keys.

#include "SettingsGuards.h"
#include "TestDir.h"

#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"
#include "win/MessagePump.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

std::wstring BesideTest(const wchar_t* Name)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path().wstring() + L"\\" + Name;
}

std::wstring Environment(const wchar_t* Name)
{
    wchar_t value[32768] = {};
    const DWORD length = GetEnvironmentVariableW(Name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

// The texts of a top-level menu's items as the menu bar holds them.
std::vector<std::wstring> MenuTexts(HMENU Bar, const std::wstring& Title)
{
    for (int i = 0; i < GetMenuItemCount(Bar); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(Bar, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        if (Title != text)
            continue;
        std::vector<std::wstring> items;
        const HMENU sub = GetSubMenu(Bar, i);
        for (int j = 0; j < GetMenuItemCount(sub); ++j) {
            wchar_t item[256] = {};
            GetMenuStringW(sub, static_cast<UINT>(j), item, 256, MF_BYPOSITION);
            items.push_back(item);
        }
        return items;
    }
    return {L"(no menu)"};
}

class MainUserCommands : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;
    std::wstring savedComSpec = Environment(L"COMSPEC");
    std::wstring recorder = BesideTest(L"RecordingCommandInterpreter.exe");
    std::unique_ptr<TQRVMain> main;

    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryW(dir.File(L"records").c_str(), nullptr));
        ASSERT_TRUE(SetEnvironmentVariableW(L"QRV_RECORD_DIR", dir.File(L"records").c_str()));
        // The window reads the interpreter at its start.
        ASSERT_TRUE(SetEnvironmentVariableW(L"COMSPEC", recorder.c_str()));
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
    }
    void TearDown() override
    {
        main.reset();
        FinalizeGlobals();
        SetEnvironmentVariableW(L"COMSPEC", savedComSpec.empty() ? nullptr : savedComSpec.c_str());
        SetEnvironmentVariableW(L"QRV_RECORD_DIR", nullptr);
    }
};

}  // namespace

TEST_F(MainUserCommands, ProgrammeMenuShowsTheAssignedCommandsWithTheirKeys)
{
    Options.FKeys[0][1] = {L"Test", recorder, L"", -1};
    main->ApplyOptions();
    EXPECT_EQ(MenuTexts(main->MainMenu1->Handle(), L"&Programme"), (std::vector<std::wstring>{L"Test\tUmsch+F2"}));
    Options.FKeys[1][11] = {L"Zwölf", L"", L"dir", -1};
    main->ApplyOptions();
    EXPECT_EQ(MenuTexts(main->MainMenu1->Handle(), L"&Programme"),
              (std::vector<std::wstring>{L"Test\tUmsch+F2", L"", L"Zwölf\tStrg+F12"}));
}

TEST_F(MainUserCommands, CtrlKeysRunTheCtrlSet)
{
    Options.FKeys[1][6] = {L"Sieben", L"", L"dir", -1};
    main->ApplyOptions();
    main->LV1->SetFocus();
    BYTE state[256];
    GetKeyboardState(state);
    BYTE saved[256];
    std::copy(state, state + 256, saved);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    PostMessageW(main->LV1->Handle(), WM_KEYDOWN, VK_F7, 1);
    const bool ran = test::PumpUntil([&] { return !main->UserCommands().BatchFiles().empty(); }, 5s);
    // Strg+F5 has no command: nothing more runs.
    PostMessageW(main->LV1->Handle(), WM_KEYDOWN, VK_F5, 1);
    test::PumpFor(300ms);
    SetKeyboardState(saved);
    EXPECT_TRUE(ran) << "Strg+F7 ran nothing";
    EXPECT_EQ(main->UserCommands().BatchFiles().size(), 1u);
}

TEST_F(MainUserCommands, ShiftF2RunsTheCommandOnTheSelection)
{
    const std::wstring name = L"Bericht über 100% (1).txt";
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Liste").c_str(), nullptr));
    dir.Write(L"Liste\\" + name, "Inhalt");
    Options.DosClose = false;
    Options.FKeys[0][1] = {L"Test", recorder, L"[F] [*]", -1};
    main->ApplyOptions();
    main->LV1->SetPath(dir.File(L"Liste"));
    main->LV1->SetFocus();
    ASSERT_EQ(main->ActiveList, main->LV1);
    main->LV1->SelectRange(-1, -1, false);
    ASSERT_NE(main->LV1->FindFileItem(name), nullptr);
    main->LV1->SetItemSelected(*main->LV1->FindFileItem(name), true);

    BYTE state[256];
    GetKeyboardState(state);
    BYTE saved[256];
    std::copy(state, state + 256, saved);
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    PostMessageW(main->LV1->Handle(), WM_KEYDOWN, VK_F2, 1);
    const bool ran = test::PumpUntil([&] { return !main->UserCommands().BatchFiles().empty(); }, 5s);
    SetKeyboardState(saved);
    ASSERT_TRUE(ran) << "Umsch+F2 ran nothing";
    // The name editor of plain F2 did not open.
    EXPECT_EQ(SendMessageW(main->LV1->Handle(), LVM_GETEDITCONTROL, 0, 0), 0);
    const std::wstring batch = main->UserCommands().BatchFiles().front();
    std::string program(recorder.begin(), recorder.end());
    // The list file is "QRV32(1).TMP" and so on when older ones are left in
    // the temporary folder; its brackets stand outside quotes for the batch
    // reader, like the ones of the file name.
    std::string list;
    for (const wchar_t c : main->SelectionListFile) {
        if (c == L'(' || c == L')')
            list += '^';
        list += static_cast<char>(c);
    }
    std::string bytes;
    {
        std::FILE* file = _wfopen(batch.c_str(), L"rb");
        ASSERT_NE(file, nullptr);
        char buffer[4096];
        bytes.resize(std::fread(buffer, 1, sizeof buffer, file));
        std::copy(buffer, buffer + bytes.size(), bytes.begin());
        std::fclose(file);
    }
    EXPECT_EQ(bytes, "@echo off\r\n%COMSPEC%  /c \"\"" + program +
                         "\" \"Bericht \x81"
                         "ber 100%% ^(1^).txt\" \"" +
                         list + "\"\"\r\npause\r\n");
    std::FILE* listFile = _wfopen(main->SelectionListFile.c_str(), L"rb");
    ASSERT_NE(listFile, nullptr);
    char listBytes[256] = {};
    const size_t read = std::fread(listBytes, 1, sizeof listBytes, listFile);
    std::fclose(listFile);
    EXPECT_EQ(std::string(listBytes, read), "Bericht \xFC"
                                            "ber 100% (1).txt\r\n");
    // Gone with the window.
    main.reset();
    EXPECT_EQ(GetFileAttributesW(batch.c_str()), INVALID_FILE_ATTRIBUTES);
}
