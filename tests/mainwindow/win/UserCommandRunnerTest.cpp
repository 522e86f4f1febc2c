// The user commands with a fake window: the batch files the recorder stand-in
// of the command interpreter is given, programs started directly, the real
// command interpreter passing names on unchanged, and the function-key
// toolbar following the sets.

#include "TestDir.h"

#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "mainwindow/win/UserCommandRunner.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"
#include "win/MessagePump.h"
#include "win/WindowSearch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>

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

std::wstring Wide(const std::string& Utf8)
{
    std::wstring text(Utf8.size(), L'\0');
    text.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), static_cast<int>(Utf8.size()), text.data(), text.size())));
    return text;
}

std::string Hex(const std::string& Bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char c : Bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// One run of a recorder: its keys ("cmdline", "cwd", "batch") and arguments.
struct Record {
    std::map<std::string, std::wstring> Values;
    std::vector<std::wstring> Args;
};

class FakeHost : public TUserCommandsHost {
public:
    TOptions Settings;
    std::wstring Interpreter;
    std::vector<TCommandItem> Selection;
    std::wstring Tree;
    std::wstring Lists[2];
    std::wstring ListFile;
    std::vector<std::wstring> Errors;
    std::vector<std::wstring> History;

    const TOptions& CommandOptions() override { return Settings; }
    std::wstring ComSpec() override { return Interpreter; }
    std::vector<TCommandItem> ActiveSelection() override { return Selection; }
    std::optional<TCommandItem> ActiveFocusedItem() override { return std::nullopt; }
    std::optional<TCommandItem> OtherListSelection() override { return std::nullopt; }
    std::wstring TreeFolder() override { return Tree; }
    std::wstring ListFolder(int Index) override { return Lists[Index]; }
    bool SecondWindowShown() override { return true; }
    std::wstring ActiveListFolder() override { return Lists[0]; }
    std::wstring CommandListFile() override { return ListFile; }
    void ReportCommandError(const std::wstring& Text) override { Errors.push_back(Text); }
    void AddCommandHistory(const std::wstring& Line) override { History.push_back(Line); }
};

class UserCommandRunner : public testing::Test {
protected:
    test::TestDir dir;
    std::wstring records;
    std::wstring savedComSpec = Environment(L"COMSPEC");
    std::wstring recorder = BesideTest(L"RecordingCommandInterpreter.exe");
    FakeHost host;
    TForm form{nullptr};
    std::unique_ptr<TUserCommands> commands;

    void SetUp() override
    {
        records = dir.File(L"records");
        ASSERT_TRUE(CreateDirectoryW(records.c_str(), nullptr));
        ASSERT_TRUE(SetEnvironmentVariableW(L"QRV_RECORD_DIR", records.c_str()));
        // The shell starts a batch file with the interpreter COMSPEC names.
        ASSERT_TRUE(SetEnvironmentVariableW(L"COMSPEC", recorder.c_str()));
        host.Interpreter = recorder;
        ASSERT_TRUE(CreateDirectoryW(dir.File(L"Baum").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(dir.File(L"Liste").c_str(), nullptr));
        host.Tree = dir.File(L"Baum");
        host.Lists[0] = dir.File(L"Liste");
        host.Lists[1] = dir.File(L"Baum");
        host.ListFile = dir.File(L"QRV32.TMP");
        form.HandleNeeded();
        commands = std::make_unique<TUserCommands>(form, host);
    }
    void TearDown() override
    {
        commands.reset();
        SetEnvironmentVariableW(L"COMSPEC", savedComSpec.empty() ? nullptr : savedComSpec.c_str());
        SetEnvironmentVariableW(L"QRV_RECORD_DIR", nullptr);
    }

    TCommandItem Item(const std::wstring& Name)
    {
        dir.Write(L"Liste\\" + Name, "x");
        return {Name, host.Lists[0] + L"\\" + Name, false};
    }

    // The records written so far, oldest first, once Count are there.
    std::vector<Record> WaitForRecords(size_t Count)
    {
        std::vector<Record> found;
        test::PumpUntil(
            [&] {
                found.clear();
                std::vector<std::filesystem::path> files;
                for (const auto& entry : std::filesystem::directory_iterator(records))
                    if (entry.path().extension() == L".log")
                        files.push_back(entry.path());
                std::sort(files.begin(), files.end());
                for (const auto& file : files) {
                    const std::string text = dir.Read(L"records\\" + file.filename().wstring());
                    Record record;
                    size_t start = 0;
                    while (start < text.size()) {
                        const size_t end = text.find('\n', start);
                        const std::string line = text.substr(start, end - start);
                        const size_t equals = line.find('=');
                        const std::string key = line.substr(0, equals);
                        const std::wstring value = Wide(line.substr(equals + 1));
                        if (key == "arg")
                            record.Args.push_back(value);
                        else
                            record.Values[key] = value;
                        start = end == std::string::npos ? text.size() : end + 1;
                    }
                    found.push_back(record);
                }
                return found.size() >= Count;
            },
            20s);
        return found;
    }
};

}  // namespace

TEST_F(UserCommandRunner, AConsoleProgramRunsThroughABatchFileOfItsOwn)
{
    host.Selection = {Item(L"Bericht über 100% (1).txt"), Item(L"b.txt")};
    host.Settings.FKeys[0][1] = {L"Test", recorder, L"[F] [*]", -1};
    ASSERT_TRUE(commands->RunFunctionKeyCommand(2, 0));
    ASSERT_EQ(commands->BatchFiles().size(), 1u);
    const std::wstring batch = commands->BatchFiles().front();

    const std::vector<Record> runs = WaitForRecords(1);
    ASSERT_EQ(runs.size(), 1u);
    // The interpreter got the batch file, in the tree's folder.
    EXPECT_NE(runs[0].Values.at("cmdline").find(batch), std::wstring::npos) << runs[0].Values.at("cmdline");
    EXPECT_EQ(runs[0].Values.at("cwd"), host.Tree);
    std::string program(recorder.begin(), recorder.end());
    std::string list(host.ListFile.begin(), host.ListFile.end());
    // In DOS bytes ("ü" is 0x81), "%" doubled, the parentheses that stand
    // outside quotes for the batch reader escaped, and the window kept open.
    const std::string expected = "@echo off\r\n%COMSPEC%  /c \"\"" + program +
                                 "\" \"Bericht \x81"
                                 "ber 100%% ^(1^).txt\" \"" +
                                 list + "\"\"\r\npause\r\n";
    EXPECT_EQ(Wide(Hex(expected)), runs[0].Values.at("batch"));
    // The list file holds the selection, one name a line, in ANSI.
    EXPECT_EQ(dir.Read(L"QRV32.TMP"), "Bericht \xFC"
                                      "ber 100% (1).txt\r\nb.txt\r\n");
    EXPECT_TRUE(host.Errors.empty());
}

TEST_F(UserCommandRunner, EveryRunHasItsOwnBatchFileAndNoneStaysBehind)
{
    host.Settings.FKeys[1][0] = {L"Liste", L"", L"dir", -1};
    ASSERT_TRUE(commands->RunFunctionKeyCommand(1, 1));
    ASSERT_TRUE(commands->RunFunctionKeyCommand(1, 1));
    ASSERT_EQ(commands->BatchFiles().size(), 2u);
    const std::vector<std::wstring> batches = commands->BatchFiles();
    EXPECT_NE(batches[0], batches[1]);
    EXPECT_EQ(WaitForRecords(2).size(), 2u);
    for (const std::wstring& batch : batches)
        EXPECT_NE(GetFileAttributesW(batch.c_str()), INVALID_FILE_ATTRIBUTES);
    commands.reset();
    for (const std::wstring& batch : batches)
        EXPECT_EQ(GetFileAttributesW(batch.c_str()), INVALID_FILE_ATTRIBUTES) << batch;
}

TEST_F(UserCommandRunner, BatchFilesLeftBehindAreDeletedAfterADay)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring old = std::wstring(temp) + L"QRVPTMP(9999).CMD";
    const std::wstring fresh = std::wstring(temp) + L"QRVPTMP(9998).CMD";
    const std::wstring foreign = std::wstring(temp) + L"QRVPTMP-fremd.CMD";
    for (const std::wstring& name : {old, fresh, foreign}) {
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        if (name != fresh) {
            FILETIME now{};
            GetSystemTimeAsFileTime(&now);
            ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
            time.QuadPart -= 2ULL * 24 * 3600 * 10'000'000;
            const FILETIME twoDaysAgo{time.LowPart, time.HighPart};
            SetFileTime(file, nullptr, nullptr, &twoDaysAgo);
        }
        CloseHandle(file);
    }
    TUserCommands::DeleteStaleBatchFiles();
    EXPECT_EQ(GetFileAttributesW(old.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(foreign.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(fresh.c_str());
    DeleteFileW(foreign.c_str());
}

TEST_F(UserCommandRunner, AWindowProgramStartsDirectlyInTheTreesFolder)
{
    host.Selection = {Item(L"a b.txt")};
    host.Settings.FKeys[0][4] = {L"Fenster", BesideTest(L"RecordingGuiProgram.exe"), L"[F]", -1};
    ASSERT_TRUE(commands->RunFunctionKeyCommand(5, 0));
    EXPECT_TRUE(commands->BatchFiles().empty());
    const std::vector<Record> runs = WaitForRecords(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Values.at("cwd"), host.Tree);
    EXPECT_EQ(runs[0].Args, (std::vector<std::wstring>{L"a b.txt"}));
}

TEST_F(UserCommandRunner, UnassignedKeysAndStartFailures)
{
    EXPECT_FALSE(commands->RunFunctionKeyCommand(0, 0));
    EXPECT_FALSE(commands->RunFunctionKeyCommand(13, 1));
    EXPECT_FALSE(commands->RunFunctionKeyCommand(3, 0));
    host.Settings.FKeys[0][2] = {L"Fehlt", dir.File(L"fehlt.txt"), L"", -1};
    ASSERT_TRUE(commands->RunFunctionKeyCommand(3, 0));
    ASSERT_EQ(host.Errors.size(), 1u);
    EXPECT_EQ(host.Errors[0].rfind(L"Fehler beim Ausführen von: " + dir.File(L"fehlt.txt") + L"\n", 0), 0u)
        << host.Errors[0];
}

TEST_F(UserCommandRunner, TheConsoleRunnerRunsALineInTheListsFolder)
{
    EXPECT_FALSE(commands->ExecDosCommand(L"", true));
    ASSERT_TRUE(commands->ExecDosCommand(L"dir /w", true));
    const std::vector<Record> runs = WaitForRecords(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Values.at("cwd"), host.Lists[0]);
    EXPECT_EQ(runs[0].Values.at("batch"), Wide(Hex("@echo off\r\n%COMSPEC%  /c \"dir /w\"\r\n")));
    EXPECT_EQ(host.History, (std::vector<std::wstring>{L"dir /w"}));
    // The interpreter itself is not put into the history.
    ASSERT_TRUE(commands->ExecDosCommand(recorder, true));
    EXPECT_EQ(host.History.size(), 1u);
}

TEST_F(UserCommandRunner, TheRealInterpreterPassesNamesOnUnchanged)
{
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    ASSERT_TRUE(SetEnvironmentVariableW(L"COMSPEC", cmd.c_str()));
    host.Interpreter = cmd;
    host.Selection = {Item(L"Foto [1].jpg"), Item(L"a&b.txt"), Item(L"100%.txt"), Item(L"Bericht über.txt")};
    host.Settings.DosClose = true;
    host.Settings.FKeys[0][0] = {L"Echt", L"", recorder + L" [1] [2] [3] [4]", -1};
    ASSERT_TRUE(commands->RunFunctionKeyCommand(1, 0));
    const std::vector<Record> runs = WaitForRecords(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Args, (std::vector<std::wstring>{L"Foto [1].jpg", L"a&b.txt", L"100%.txt", L"Bericht über.txt"}));
    EXPECT_TRUE(host.Errors.empty());
}

// Answers the input box "Parameter eingeben:" of this process from a
// second thread: types Entry and presses Button.
class ParameterAnswer {
public:
    ParameterAnswer(std::wstring Entry, std::wstring Button)
        : entry_(std::move(Entry)), button_(std::move(Button)), thread_([this] { Run(); })
    {}
    ~ParameterAnswer() { Join(); }
    void Join()
    {
        if (thread_.joinable())
            thread_.join();
    }
    std::wstring Texts;  // of the box's controls; read after Join
    bool EditFocused = false;

private:
    void Run()
    {
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < end) {
            const HWND box = FindWindowW(nullptr, L"Parameter eingeben:");
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (box && process == GetCurrentProcessId() && IsWindowVisible(box)) {
                Texts = test::ChildTexts(box);
                const HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
                // The user types into the entry at once.
                std::this_thread::sleep_for(100ms);
                GUITHREADINFO focus{sizeof focus};
                EditFocused =
                    GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &focus) && focus.hwndFocus == edit;
                SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entry_.c_str()));
                PostMessageW(test::FindChildByText(box, button_), BM_CLICK, 0, 0);
                return;
            }
            std::this_thread::sleep_for(20ms);
        }
    }
    std::wstring entry_;
    std::wstring button_;
    std::thread thread_;
};

TEST_F(UserCommandRunner, TheParameterQuestionFillsTheLineOrEndsTheCommand)
{
    // ctest: takes the focus
    host.Selection = {Item(L"a.txt")};
    host.Settings.DosClose = true;
    host.Settings.FKeys[0][0] = {L"Frage", L"", recorder + L" [?] [F]", -1};
    {
        ParameterAnswer answer(L"-v", L"OK");
        ASSERT_TRUE(commands->RunFunctionKeyCommand(1, 0));
        answer.Join();
        EXPECT_NE(answer.Texts.find(L"Parameter " + recorder + L" [?] \"a.txt\" ersetzen durch:"), std::wstring::npos)
            << answer.Texts;
        EXPECT_TRUE(answer.EditFocused);
    }
    ASSERT_EQ(commands->BatchFiles().size(), 1u);
    const std::vector<Record> runs = WaitForRecords(1);
    ASSERT_EQ(runs.size(), 1u);
    const std::string line = " -v \"a.txt\"\"\r\n";
    EXPECT_NE(runs[0].Values.at("batch").find(Wide(Hex(line))), std::wstring::npos) << runs[0].Values.at("batch");
    // Cancelled: nothing runs.
    {
        ParameterAnswer answer(L"-v", L"Abbrechen");
        ASSERT_TRUE(commands->RunFunctionKeyCommand(1, 0));
    }
    EXPECT_EQ(commands->BatchFiles().size(), 1u);
    EXPECT_TRUE(host.Errors.empty());
}

TEST_F(UserCommandRunner, TheToolbarShowsTheSetCtrlHolds)
{
    form.SetBounds(0, 0, 600, 200);
    auto* dock = new TKyDock(&form);
    dock->SetAlign(TAlign::alTop);
    dock->SetParent(&form);
    auto* toolbar = new TKyToolbar(&form);
    toolbar->SetDockedTo(dock);
    auto* label = new TKyToolbarButton(&form);
    label->SetParent(toolbar);
    std::vector<TKyToolbarButton*> buttons;
    for (int key = 1; key <= 12; ++key) {
        auto* button = new TKyToolbarButton(&form);
        button->Tag = key;
        button->SetParent(toolbar);
        buttons.push_back(button);
    }
    auto* menu = new TMainMenu(&form);
    auto* programs = new TMenuItem(&form);
    menu->Items()->Add(programs);
    commands->Attach(toolbar, label, buttons, programs);
    host.Settings.FKeys[0][1] = {L"&Test", recorder, L"", -1};
    host.Settings.FKeys[1][1] = {L"Zwei", recorder, L"", -1};
    host.Settings.UseProgIcons = false;
    commands->UpdateFunctionKeyIcons();
    commands->UpdateFunctionKeyMenus();
    commands->SizeFunctionKeyButtons();
    commands->ShowFunctionKeyLabels(0, true);
    form.Show();
    EXPECT_EQ(label->Caption(), L"Umsch");
    EXPECT_EQ(buttons[1]->Caption(), L"F2 Test");
    EXPECT_EQ(buttons[1]->Hint(), recorder + L"   (Umsch+F2)");
    EXPECT_FALSE(buttons[0]->Visible());
    EXPECT_GE(buttons[1]->Width(), 40);

    // The Ctrl set (Ctrl held, as the window's keys ask), then the Shift
    // set again; a hidden toolbar is not relabelled.
    commands->ShowFunctionKeyLabels(1, false);
    EXPECT_EQ(commands->ShownSet(), 1);
    EXPECT_EQ(label->Caption(), L"Strg      ");
    EXPECT_EQ(buttons[1]->Caption(), L"F2 Zwei");
    commands->ShowFunctionKeyLabels(0, false);
    EXPECT_EQ(label->Caption(), L"Umsch");
    EXPECT_EQ(buttons[1]->Caption(), L"F2 Test");
    toolbar->SetVisible(false);
    commands->ShowFunctionKeyLabels(1, false);
    EXPECT_EQ(commands->ShownSet(), 0);
    toolbar->SetVisible(true);
    // A click on the label switches the set.
    label->Click();
    EXPECT_EQ(commands->ShownSet(), 1);
    // With the programs' icons: the system's icon and the caption alone.
    host.Settings.UseProgIcons = true;
    commands->UpdateFunctionKeyIcons();
    commands->ShowFunctionKeyLabels(0, true);
    EXPECT_EQ(buttons[1]->Caption(), L"Test");
    EXPECT_GE(buttons[1]->ImageIndex(), 0);
    EXPECT_EQ(buttons[1]->DisplayMode(), TButtonDisplayMode::dmBoth);

    // The menu: the assigned items with their keys, and the line between the sets.
    ASSERT_EQ(programs->Count(), 25);
    EXPECT_TRUE(programs->Visible());
    int visible = 0;
    for (int i = 0; i < programs->Count(); ++i)
        visible += programs->Items(i)->Visible() ? 1 : 0;
    EXPECT_EQ(visible, 3);
    EXPECT_TRUE(programs->Items(12)->Visible());
}
