// The comparison commands over two real file lists on a form, with the
// window's side faked: the file choice, the external compare program (our
// stand-in), the directory comparison's selections and summary, and a close
// or Esc during the walk, which stop its workers.

#include "mainwindow/win/CompareCommands.h"

#include "FakeMainWindowServices.h"

#include "TestDir.h"
#include "dialogs/win/SelOptForm.h"
#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/FileCompare.h"
#include "mainwindow/win/WinCompareFile.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"
#include "win/MessagePump.h"
#include "win/ProcessOutput.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

using C = TSelOptControl;

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring BesideTest(const std::wstring& name)
{
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path = own;
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

class FakeCompareHost : public TCompareCommandsHost, public FakeMainWindowServices {
public:
    // The window's panes; the second file window is shown while its panel is.
    TMainPanes panes;
    TDirView*& first = panes.LV1;
    TDirView*& second = panes.LV2;
    TDirView*& active = panes.ActiveList;
    TOptions options;
    std::vector<std::wstring> boxes;
    std::vector<TMsgDlgType> kinds;
    std::wstring chosenFile;  // the open dialog's answer; empty: cancelled
    std::wstring dialogTitle;
    std::function<void(TSelOptForm&)> configure;
    int contentCompares = 0;
    // The directory comparison's content comparisons, on its workers; by
    // default the program's own.
    std::function<uint8_t(const std::wstring&, const std::wstring&, const std::atomic<bool>&)> onWorker;
    std::atomic<int> workerCompares = 0;
    std::atomic<bool> escape = false;

    bool StackedFileWindows() override { return false; }
    const TOptions& FileOptions() override { return options; }
    int ShowMessageBox(const std::wstring& text, TMsgDlgType kind, int, TMsgDlgButtons) override
    {
        boxes.push_back(text);
        kinds.push_back(kind);
        return mrOk;
    }
    uint8_t CompareFileContents(const std::wstring& a, const std::wstring& b) override
    {
        ++contentCompares;
        if (GetFileAttributesW(a.c_str()) == INVALID_FILE_ATTRIBUTES)
            return crOpenFailedA;
        if (GetFileAttributesW(b.c_str()) == INVALID_FILE_ATTRIBUTES)
            return crOpenFailedB;
        return ReadBytes(a) == ReadBytes(b) ? crEqual : crDifferent;
    }
    void AbortFileComparison() override {}
    uint8_t CompareFileContentsOnWorker(const std::wstring& a, const std::wstring& b,
                                        const std::atomic<bool>& stop) override
    {
        ++workerCompares;
        return onWorker ? onWorker(a, b, stop) : CompareFilesOnWorker(a, b, stop);
    }
    bool EscapePressed() override { return escape; }
    bool ChooseCompareFile(const std::wstring& title, const std::wstring&, std::wstring& name) override
    {
        dialogTitle = title;
        name = chosenFile;
        return !name.empty();
    }
    bool ExecuteCompareOptions(TSelOptForm& form) override
    {
        if (!configure)
            return false;
        configure(form);
        return true;
    }
    intptr_t StartProgram(const std::wstring& program, const std::wstring& parameters,
                          const std::wstring& directory) override
    {
        return reinterpret_cast<intptr_t>(ShellExecuteW(GetDesktopWindow(), nullptr, program.c_str(),
                                                        parameters.c_str(), directory.c_str(), SW_SHOWNORMAL));
    }
    TDirCompareOptions StoredCompareOptions() override { return {}; }
};

// A time of day in 2024 as a file time.
FILETIME Time(int day)
{
    SYSTEMTIME s{2024, 3, 0, static_cast<WORD>(day), 12, 0, 0, 0};
    FILETIME t;
    SystemTimeToFileTime(&s, &t);
    return t;
}

class CompareCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        a = dir.File(L"Erster Ordner");
        b = dir.File(L"Zweiter");
        ASSERT_TRUE(CreateDirectoryW(a.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(b.c_str(), nullptr));
        // gleich: same; inhalt: other content, same size; groesse: other
        // size; neu: newer in A; alt: older in A; nurA and nurB alone.
        Put(L"Erster Ordner\\gleich.txt", "1234", 5);
        Put(L"Zweiter\\gleich.txt", "1234", 5);
        Put(L"Erster Ordner\\inhalt.txt", "abcd", 5);
        Put(L"Zweiter\\inhalt.txt", "abce", 5);
        Put(L"Erster Ordner\\groesse.txt", "abc", 5);
        Put(L"Zweiter\\groesse.txt", "abcdef", 5);
        Put(L"Erster Ordner\\neu.txt", "n", 9);
        Put(L"Zweiter\\neu.txt", "n", 2);
        Put(L"Erster Ordner\\alt.txt", "o", 1);
        Put(L"Zweiter\\alt.txt", "o", 7);
        Put(L"Erster Ordner\\nurA.txt", "a", 5);
        Put(L"Zweiter\\nurB.txt", "b", 5);

        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 700, 500);
        host.first = MakeList(0);
        host.second = MakeList(250);
        form->Show();
        host.first->SetPath(a);
        host.second->SetPath(b);
        ASSERT_TRUE(host.first->Loaded() && host.second->Loaded());
        host.active = host.first;
        host.panes.FilePanel2 = new TPanel(form.get());
        host.panes.FilePanel2->SetParent(form.get());
        host.window = form.get();
    }
    TDirView* MakeList(int top)
    {
        auto* list = new TDirView(form.get());
        list->SetParent(form.get());
        list->SetBounds(0, top, 700, 250);
        list->SetWatchForChanges(false);
        return list;
    }
    void Put(const std::wstring& name, const std::string& bytes, int day)
    {
        const std::wstring path = dir.Write(name, bytes);
        TFileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        const FILETIME t = Time(day);
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &t));
    }
    static std::vector<std::wstring> Selected(TDirView* list)
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < list->ItemCount(); ++i)
            if (list->GetItemData(i)->Selected)
                names.push_back(list->GetItemData(i)->FileName);
        std::sort(names.begin(), names.end());
        return names;
    }
    // The options form set to Select with the given criteria.
    void Choose(C select, bool name, bool size, bool content, const std::wstring& compareDir)
    {
        host.configure = [=](TSelOptForm& f) {
            const auto set = [&](TCheckBox* box, C control, bool on) {
                if (box->Checked() != on) {
                    box->SetChecked(on);
                    f.ControlClicked(control);
                }
            };
            set(f.chkName, C::Name, name);
            set(f.chkSize, C::Size, size);
            set(f.chkContent, C::Content, content);
            f.ControlClicked(select);
            set(f.chkContent, C::Content, content);
            f.edDir2->SetText(compareDir);
        };
    }
    void Select(TDirView* list, const std::vector<std::wstring>& names)
    {
        list->SelectRange(-1, -1, false);
        for (const std::wstring& n : names)
            list->SetItemSelected(*list->FindFileItem(n), true);
    }

    test::TestDir dir;
    std::wstring a, b;
    std::unique_ptr<TForm> form;
    FakeCompareHost host;
    TCompareCommands commands{host.panes, host, host};
};

TEST_F(CompareCommandsTest, DirectoryComparisonSelectsEachChoiceInBothWindows)
{
    // ctest: takes the focus. The comparison gives it to the active list.
    struct Case {
        C Select;
        bool Name, Size, Content;
        std::vector<std::wstring> First, Second;
        std::wstring Summary;
    };
    const Case cases[] = {
        {C::SelectEqual,
         true,
         true,
         true,
         {L"alt.txt", L"gleich.txt", L"neu.txt"},
         {L"alt.txt", L"gleich.txt", L"neu.txt"},
         L"3 Dateien sind in beiden Dateifenstern identisch."},
        {C::SelectDifferent,
         true,
         true,
         true,
         {L"groesse.txt", L"inhalt.txt"},
         {L"groesse.txt", L"inhalt.txt"},
         L"2 Dateien sind im Linken Dateifenster unterschiedlich.\n\n2 Dateien sind im Rechten Dateifenster "
         L"unterschiedlich."},
        {C::SelectNewer,
         true,
         false,
         false,
         {L"neu.txt"},
         {L"alt.txt"},
         L"1 Dateien sind im Linken Dateifenster jünger.\n\n1 Dateien sind im Rechten Dateifenster jünger."},
        {C::SelectOlder,
         true,
         false,
         false,
         {L"alt.txt"},
         {L"neu.txt"},
         L"1 Dateien sind im Linken Dateifenster älter.\n\n1 Dateien sind im Rechten Dateifenster älter."},
        {C::SelectMissing,
         true,
         false,
         false,
         {L"nurA.txt"},
         {L"nurB.txt"},
         L"1 Dateien des Linken Dateifenster sind im Vergleichsverzeichnis nicht vorhanden.\n\n1 Dateien des "
         L"Vergleichsverzeichnis sind im Linken Dateifenster nicht vorhanden."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Select));
        host.boxes.clear();
        Select(host.first, {L"nurA.txt"});
        Choose(c.Select, c.Name, c.Size, c.Content, b);
        commands.FileWinCompareExecute();
        EXPECT_EQ(Selected(host.first), c.First);
        EXPECT_EQ(Selected(host.second), c.Second);
        ASSERT_EQ(host.boxes.size(), 1u);
        EXPECT_EQ(host.boxes[0], c.Summary);
        EXPECT_TRUE(IsWindowEnabled(form->Handle()));
        EXPECT_FALSE(commands.Running());
    }
    EXPECT_EQ(commands.LastCompareDir(), b);
}

TEST_F(CompareCommandsTest, WithOneWindowTheFolderIsReadAndDuplicatesFoundInItself)
{
    host.panes.FilePanel2->SetVisible(false);
    Put(L"Erster Ordner\\kopie.txt", "1234", 3);
    host.first->ReloadDirectory();
    Choose(C::SelectMissing, true, false, false, b);
    commands.FileWinCompareExecute();
    EXPECT_EQ(Selected(host.first), (std::vector<std::wstring>{L"kopie.txt", L"nurA.txt"}));
    EXPECT_TRUE(Selected(host.second).empty());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], L"2 Dateien des Angezeigten Dateifenster sind im Vergleichsverzeichnis nicht vorhanden.");

    host.configure = [&](TSelOptForm& f) {
        f.chkDuplicates->SetChecked(true);
        f.ControlClicked(C::Duplicates);
        f.edDir2->SetText(a);
    };
    commands.FileWinCompareExecute();
    EXPECT_EQ(Selected(host.first), (std::vector<std::wstring>{L"gleich.txt", L"kopie.txt"}));
    EXPECT_EQ(host.boxes.back(), L"2 doppelte Dateien gefunden.");
}

// The threads of this process.
int ThreadCount()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    CloseHandle(snapshot);
    return count;
}

// A content comparison that reads "blocks" until it is told to stop (20 s
// at most), after Started ran on the worker: the comparisons a stop must end.
struct BlockingCompare {
    std::function<void()> Started;
    std::atomic<int> Running = 0;
    std::atomic<int> Stopped = 0;
    uint8_t operator()(const std::atomic<bool>& stop)
    {
        ++Running;
        if (Started)
            Started();
        const auto giveUp = std::chrono::steady_clock::now() + 20s;
        while (!stop && std::chrono::steady_clock::now() < giveUp)
            Sleep(1);
        --Running;
        if (!stop)
            return crEqual;
        ++Stopped;
        return crAborted;
    }
};

TEST_F(CompareCommandsTest, ACloseDuringTheWalkStopsItWithoutSummaryAndClosesAfter)
{
    constexpr UINT kWorkerStarted = WM_APP + 48;
    int closes = 0;
    int started = 0;
    form->AddMessageListener([&](TMessage& m) {
        if (m.Msg == WM_CLOSE) {
            ++closes;
            m.Result = 0;
            return true;
        }
        // A worker's comparison runs: the window still answers meanwhile.
        if (m.Msg == kWorkerStarted) {
            if (started++ == 0) {
                EXPECT_TRUE(commands.Running());
                // F7 again while it runs is refused.
                commands.FileWinCompareExecute();
                EXPECT_TRUE(commands.HoldCloseBack());
            }
            return true;
        }
        return false;
    });
    BlockingCompare blocking;
    const HWND window = form->Handle();
    blocking.Started = [window] { PostMessageW(window, kWorkerStarted, 0, 0); };
    host.onWorker = [&](const std::wstring&, const std::wstring&, const std::atomic<bool>& stop) {
        return blocking(stop);
    };
    Choose(C::SelectEqual, true, true, true, b);
    commands.FileWinCompareExecute();
    EXPECT_GE(started, 1);
    EXPECT_GE(blocking.Stopped, 1);
    EXPECT_EQ(blocking.Stopped, host.workerCompares.load()) << "every comparison that began was stopped";
    EXPECT_EQ(blocking.Running, 0);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(commands.Running());
    EXPECT_FALSE(commands.HoldCloseBack());
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    test::PumpUntil([&] { return closes > 0; }, 5s);
    EXPECT_EQ(closes, 1);
}

TEST_F(CompareCommandsTest, EscStopsTheWorkersPromptlyAndLeavesNoThread)
{
    // A comparison to its end first, so that whatever the system starts for
    // the first threads is there before counting.
    Choose(C::SelectDifferent, true, true, true, b);
    commands.FileWinCompareExecute();
    ASSERT_EQ(host.boxes.size(), 1u);
    const int threadsBefore = ThreadCount();
    ASSERT_GT(threadsBefore, 0);

    BlockingCompare blocking;
    std::atomic<std::chrono::steady_clock::rep> pressedAt = 0;
    std::atomic<int> threadsDuring = 0;
    blocking.Started = [&] {
        if (threadsDuring == 0)
            threadsDuring = ThreadCount();
        pressedAt = std::chrono::steady_clock::now().time_since_epoch().count();
        host.escape = true;
    };
    host.onWorker = [&](const std::wstring&, const std::wstring&, const std::atomic<bool>& stop) {
        return blocking(stop);
    };
    commands.FileWinCompareExecute();
    const auto took =
        std::chrono::steady_clock::now().time_since_epoch() - std::chrono::steady_clock::duration(pressedAt.load());
    host.escape = false;
    EXPECT_GE(blocking.Stopped, 1);
    EXPECT_EQ(blocking.Running, 0);
    EXPECT_EQ(host.boxes.size(), 1u) << "no summary after Esc";
    EXPECT_LT(took, 5s) << "far below the 20 s a comparison waits without the stop";
    EXPECT_GT(threadsDuring, threadsBefore) << "the workers are counted while they run";
    EXPECT_EQ(ThreadCount(), threadsBefore);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_FALSE(commands.Running());
}

TEST_F(CompareCommandsTest, FileChoiceAndTheInternalComparison)
{
    // One selected in each window: compared without a dialog.
    Select(host.first, {L"inhalt.txt"});
    Select(host.second, {L"inhalt.txt"});
    commands.FileCompareExecute();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0],
              L"Die Dateien haben unterschiedlichen Inhalt:\r\n\r\n" + a + L"\\inhalt.txt\r\n" + b + L"\\inhalt.txt");
    EXPECT_TRUE(host.dialogTitle.empty());

    // One selected, the second window without selection: the dialog asks.
    Select(host.second, {});
    host.chosenFile = b + L"\\gleich.txt";
    Select(host.first, {L"gleich.txt"});
    commands.FileCompareExecute();
    EXPECT_EQ(host.dialogTitle, L"Datei für Vergleich mit \"gleich.txt\" auswählen");
    EXPECT_EQ(host.boxes.back().rfind(L"Beide Dateien sind gleich:", 0), 0u);
    EXPECT_EQ(host.kinds.back(), TMsgDlgType::mtInformation);

    // The same file in another case is refused before anything is read.
    const int compares = host.contentCompares;
    host.chosenFile = UpperCase(a + L"\\gleich.txt");
    commands.FileCompareExecute();
    EXPECT_EQ(host.boxes.back(), L"Eine Datei mit sich selbst zu vergleichen ist nicht sinnvoll!");
    EXPECT_EQ(host.kinds.back(), TMsgDlgType::mtError);
    EXPECT_EQ(host.contentCompares, compares);

    // A program that is not there: the comparison is the program's own.
    host.options.CompareProgPath = dir.File(L"fehlt.exe");
    commands.CompareTwoFiles(a + L"\\alt.txt", b + L"\\alt.txt");
    EXPECT_EQ(host.boxes.back().rfind(L"Beide Dateien sind gleich:", 0), 0u);
}

TEST_F(CompareCommandsTest, TheExternalProgramGetsTheShortNamesInTheListsFolder)
{
    const std::wstring log = dir.File(L"vergleich.log");
    ASSERT_TRUE(SetEnvironmentVariableW(L"QRV_COMPARE_LOG", log.c_str()));
    host.options.CompareProgPath = BesideTest(L"qrvcompare.exe");
    const std::wstring first = a + L"\\inhalt.txt";
    const std::wstring second = b + L"\\gleich.txt";
    commands.CompareTwoFiles(first, second);
    SetEnvironmentVariableW(L"QRV_COMPARE_LOG", nullptr);
    EXPECT_TRUE(host.boxes.empty());
    ASSERT_TRUE(test::PumpUntil([&] { return !ReadBytes(log).empty(); }, 10s));

    // What Wine's own tool gives as the short names.
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const auto shortName = [&](const std::wstring& path) {
        std::string out =
            test::RunAndCapture(std::wstring(system) + L"\\winepath.exe", L"-s \"" + path + L"\"", dir.Path()).Text;
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
            out.pop_back();
        return out;
    };
    const std::string shortFirst = shortName(first);
    const std::string shortSecond = shortName(second);
    ASSERT_FALSE(shortFirst.empty());
    EXPECT_EQ(shortFirst.find(' '), std::string::npos) << shortFirst;
    const std::string line = ReadBytes(log);
    const std::string folder = WideToUtf8(a);
    EXPECT_NE(line.find("args=" + shortFirst + "|" + shortSecond + "\t"), std::string::npos) << line;
    EXPECT_NE(line.find(" " + shortFirst + " " + shortSecond + "\targs="), std::string::npos) << line;
    EXPECT_NE(line.find("\tcwd=" + folder + "\n"), std::string::npos) << line;
}

TEST_F(CompareCommandsTest, AProgramWithoutAssociationIsReportedWithTheShellsText)
{
    host.options.CompareProgPath = dir.Write(L"x.qqq", "kein Programm");
    commands.CompareTwoFiles(a + L"\\alt.txt", b + L"\\alt.txt");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].rfind(L"Fehler beim Ausführen von: " + host.options.CompareProgPath + L"\n", 0), 0u)
        << WideToUtf8(host.boxes[0]);
    EXPECT_GT(host.boxes[0].size(), (L"Fehler beim Ausführen von: " + host.options.CompareProgPath + L"\n").size());
    EXPECT_EQ(host.kinds[0], TMsgDlgType::mtError);
}

}  // namespace
