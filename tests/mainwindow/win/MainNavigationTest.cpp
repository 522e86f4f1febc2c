// The navigation in the real main window: back and forward over three
// folders with the buttons' hints naming the entries, a file's path typed
// into the history box selects the file, "cd .." in the command box moves
// the tree, and a line of the command box reaches the interpreter as typed
// through Wine's cmd reading the batch file (COMSPEC a recorder).

#include "SettingsGuards.h"
#include "TestDir.h"

#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Registry.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/FileRec.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"
#include "win/MessagePump.h"
#include "win/PostedKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
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

// Enter as the keyboard gives it to the focused window.
void PressEnter(HWND Window)
{
    PostMessageW(Window, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(Window, WM_KEYUP, VK_RETURN, 0xC0000001);
    test::PumpFor(200ms);
}

class MainNavigation : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;
    std::wstring root;
    std::wstring savedComSpec = Environment(L"COMSPEC");
    std::wstring recorder = BesideTest(L"RecordingCommandInterpreter.exe");
    std::unique_ptr<TQRVMain> main;

    void SetUp() override
    {
        root = dir.Path();
        for (const wchar_t* sub : {L"\\Eins", L"\\Zwei", L"\\Drei", L"\\Drei\\Unten", L"\\records"})
            ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));
        dir.Write(L"Zwei\\gesucht.txt", "x");
        dir.Write(L"Zwei\\anderes.txt", "y");
        ASSERT_TRUE(SetEnvironmentVariableW(L"QRV_RECORD_DIR", (root + L"\\records").c_str()));
        // The window reads the interpreter at its start.
        ASSERT_TRUE(SetEnvironmentVariableW(L"COMSPEC", recorder.c_str()));
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(200ms);
    }
    void TearDown() override
    {
        main.reset();
        FinalizeGlobals();
        SetEnvironmentVariableW(L"COMSPEC", savedComSpec.empty() ? nullptr : savedComSpec.c_str());
        SetEnvironmentVariableW(L"QRV_RECORD_DIR", nullptr);
    }

    void Open(const std::wstring& Sub)
    {
        TTreeNode* node = main->TreeView1->NodeForPath(root + Sub);
        ASSERT_NE(node, nullptr) << testing::PrintToString(Sub);
        main->TreeView1->SelectNode(node);
    }
    std::wstring ListPath() { return main->ActiveList->GetPath(); }
    // A path as the history records it: in the list's file-name display style.
    std::wstring Shown(const std::wstring& Path) { return ApplyNameDisplay(Path, main->LV1->FileNameDisplay()); }
    TKyToolbarButton* Button(const wchar_t* Name) { return dynamic_cast<TKyToolbarButton*>(main->FindComponent(Name)); }
    // The arguments of each recorder run so far, oldest first, once Count are there.
    std::vector<std::vector<std::wstring>> WaitForRuns(size_t Count, std::vector<std::wstring>* CommandLines = nullptr)
    {
        std::vector<std::vector<std::wstring>> runs;
        test::PumpUntil(
            [&] {
                runs.clear();
                if (CommandLines)
                    CommandLines->clear();
                std::vector<std::filesystem::path> files;
                for (const auto& entry : std::filesystem::directory_iterator(root + L"\\records"))
                    if (entry.path().extension() == L".log")
                        files.push_back(entry.path());
                std::sort(files.begin(), files.end());
                for (const auto& file : files) {
                    const std::string text = dir.Read(L"records\\" + file.filename().wstring());
                    std::vector<std::wstring> args;
                    for (size_t start = 0; start < text.size();) {
                        const size_t end = std::min(text.find('\n', start), text.size());
                        if (text.compare(start, 4, "arg=") == 0)
                            args.push_back(Utf8ToWide(text.substr(start + 4, end - start - 4)));
                        if (CommandLines && text.compare(start, 8, "cmdline=") == 0)
                            CommandLines->push_back(Utf8ToWide(text.substr(start + 8, end - start - 8)));
                        start = end + 1;
                    }
                    runs.push_back(args);
                }
                return runs.size() >= Count;
            },
            20s);
        return runs;
    }
};

}  // namespace

TEST_F(MainNavigation, BackAndForwardOverThreeFoldersWithTheirHints)
{
    main->LV1->SetFocus();
    ASSERT_EQ(main->ActiveList, main->LV1);
    for (const wchar_t* sub : {L"\\Eins", L"\\Zwei", L"\\Drei"})
        Open(sub);
    ASSERT_EQ(main->LV1->FileNameDisplay(), TFileNameDisplay::fndNice) << "the option's default";
    EXPECT_EQ(main->DirHist1->Items().Get(0), Shown(root + L"\\Drei"));
    TAction* back = main->CommandMenus().Action(TActionId::GoPrev);
    TAction* forward = main->CommandMenus().Action(TActionId::GoNext);
    ASSERT_NE(back, nullptr);
    main->UpdateTimerTimer();
    EXPECT_TRUE(back->Enabled());
    EXPECT_FALSE(forward->Enabled());
    EXPECT_EQ(Button(L"btnLV1Prev")->Hint(), L"Zurück zu \"" + Shown(root + L"\\Zwei") + L"\" (Alt+Links)");

    back->Execute();
    back->Execute();
    EXPECT_EQ(ListPath(), root + L"\\Eins");
    EXPECT_EQ(main->DirHist1->Text(), Shown(root + L"\\Eins"));
    main->UpdateTimerTimer();
    EXPECT_TRUE(forward->Enabled());
    EXPECT_EQ(Button(L"btnLV1Next")->Hint(), L"Weiter zu \"" + Shown(root + L"\\Zwei") + L"\" (Alt+Rechts)");
    // Older still is the folder the window started with, when it was another.
    const bool older = main->DirHist1->Items().Count() > 3;
    EXPECT_EQ(back->Enabled(), older);
    EXPECT_EQ(Button(L"btnLV1Prev")->Hint(), older
                                                 ? L"Zurück zu \"" + main->DirHist1->Items().Get(3) + L"\" (Alt+Links)"
                                                 : std::wstring(L"Zurück zum vorigen Verzeichnis (Alt+Links)"));

    forward->Execute();
    EXPECT_EQ(ListPath(), root + L"\\Zwei");
    ASSERT_GE(main->DirHist1->Items().Count(), 3);
    EXPECT_EQ(main->DirHist1->Items().Get(2), Shown(root + L"\\Eins")) << "going back and forth added nothing";
    // The window's own button: "Übergeordnetes Verzeichnis".
    Button(L"btnLV1Up")->Click();
    EXPECT_EQ(ListPath(), root);
}

TEST_F(MainNavigation, TheKeysGoBackForwardUpAndToTheRoot)
{
    main->LV1->SetFocus();
    for (const wchar_t* sub : {L"\\Eins", L"\\Zwei", L"\\Drei\\Unten"})
        Open(sub);
    const HWND list = main->LV1->Handle();
    test::PressKey(list, VK_LEFT, {VK_MENU});
    EXPECT_EQ(ListPath(), root + L"\\Zwei") << "Alt+Links";
    test::PressKey(list, VK_LEFT, {VK_MENU});
    EXPECT_EQ(ListPath(), root + L"\\Eins");
    test::PressKey(list, VK_RIGHT, {VK_MENU});
    EXPECT_EQ(ListPath(), root + L"\\Zwei") << "Alt+Rechts";
    test::PressKey(list, VK_RIGHT, {VK_MENU});
    EXPECT_EQ(ListPath(), root + L"\\Drei\\Unten");

    test::PressKey(list, VK_BACK);
    EXPECT_EQ(ListPath(), root + L"\\Drei") << "Rück";
    test::PressKey(list, VK_BACK, {VK_CONTROL});
    EXPECT_TRUE(SameText(AddBackslash(ListPath()), root.substr(0, 2) + L"\\")) << "Strg+Rück: " << ListPath();
    EXPECT_EQ(GetFocus(), list) << "the list keeps the focus";
}

TEST_F(MainNavigation, TheHistoryBoxFollowsTheWindowsWidth)
{
    const int before = main->DirHist1->Width();
    main->SetBounds(main->Left(), main->Top(), main->Width() + 200, main->Height());
    test::PumpFor(300ms);
    EXPECT_GT(main->DirHist1->Width(), before + 100) << "wider with the window";
    main->SetBounds(main->Left(), main->Top(), main->Width() - 200, main->Height());
    test::PumpFor(300ms);
    EXPECT_EQ(main->DirHist1->Width(), before) << "and back";
}

TEST_F(MainNavigation, ATypedFilePathSelectsTheFile)
{
    main->LV1->SetFocus();
    Open(L"\\Eins");
    main->DirHist1->SetFocus();
    main->DirHist1->SetText(root + L"\\Zwei\\gesucht.txt");
    PressEnter(GetFocus());
    EXPECT_EQ(ListPath(), root + L"\\Zwei");
    ASSERT_NE(main->LV1->ItemFocused(), nullptr);
    EXPECT_EQ(main->LV1->ItemFileName(main->LV1->ItemFocused()), L"gesucht.txt");
    EXPECT_EQ(main->LV1->SelCount(), 1);
    EXPECT_EQ(GetFocus(), main->LV1->Handle()) << "the list has the focus afterwards";
}

TEST_F(MainNavigation, CdDotDotInTheCommandBoxMovesTheTree)
{
    main->LV1->SetFocus();
    Open(L"\\Drei\\Unten");
    const std::wstring programFolder = main->ProgramDir;
    main->ToolbarCMDLine->SetVisible(true);
    main->DOSCmdBox->SetFocus();
    main->DOSCmdBox->SetText(L"cd ..");
    PressEnter(GetFocus());
    EXPECT_EQ(ListPath(), root + L"\\Drei");
    EXPECT_EQ(main->TreeView1->GetDirPathName(main->TreeView1->Selected()), root + L"\\Drei");
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_TRUE(SameText(AddBackslash(current), AddBackslash(programFolder))) << current;
    EXPECT_EQ(main->DOSCmdBox->Items().Get(0), L"CD ..");
}

TEST_F(MainNavigation, ALineReachesTheInterpreterAsTypedThroughWinesCmd)
{
    Options.DosClose = true;
    main->LV1->SetFocus();
    Open(L"\\Eins");
    main->ToolbarCMDLine->SetVisible(true);
    const std::vector<std::wstring> lines{L"echo 100%", L"echo %PATH%", L"echo %PATH:~0,3%", L"echo %UNDEF%",
                                          L"for %i in (a b) do echo %i"};
    for (const std::wstring& line : lines) {
        // A started console may have taken the focus.
        main->DOSCmdBox->SetFocus();
        main->DOSCmdBox->SetText(line);
        ASSERT_EQ(main->DOSCmdBox->Text(), line);
        PressEnter(GetFocus());
        ASSERT_EQ(main->DOSCmdBox->Items().Get(0), line);
    }
    // The shell hands each batch file to COMSPEC, here the recorder.
    const std::vector<std::wstring>& batches = main->UserCommands().BatchFiles();
    ASSERT_EQ(batches.size(), lines.size());
    std::vector<std::wstring> commandLines;
    ASSERT_EQ(WaitForRuns(lines.size(), &commandLines).size(), lines.size());
    ASSERT_EQ(commandLines.size(), lines.size());

    // Wine's cmd, given each batch file as the shell gave it, reads it and
    // starts COMSPEC with the line.
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    for (const std::wstring& given : commandLines) {
        const size_t slashC = LowerCase(given).find(L"/c ");
        ASSERT_NE(slashC, std::wstring::npos) << given;
        std::wstring commandLine = L"\"" + cmd + L"\" " + given.substr(slashC);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                   root.c_str(), &startup, &process));
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    const std::vector<std::vector<std::wstring>> runs = WaitForRuns(2 * lines.size());
    ASSERT_EQ(runs.size(), 2 * lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(runs[lines.size() + i], (std::vector<std::wstring>{L"/c", lines[i]})) << i;
}
