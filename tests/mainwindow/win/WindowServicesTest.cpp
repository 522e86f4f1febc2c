// The main window's small services with the window faked: the "als Text"
// commands (texts, beeps, the confirmation or the status bar for two
// seconds, and the clipboard as another program reads it), the error
// reports (the 21st counted error asks, "Nein" keeps running, one box at a
// time, folder errors by the policy), the tray (a posted callback restores
// the window) and the archive list's events (progress title and range, the
// delete question, the chosen folder as the last target).

#include "mainwindow/win/ArchiveListEvents.h"
#include "mainwindow/win/ErrorReports.h"
#include "mainwindow/win/FileTools.h"
#include "mainwindow/win/PathTextCommands.h"
#include "mainwindow/win/TrayCommands.h"

#include "FakeMainWindowServices.h"
#include "TestDir.h"
#include "win/MessagePump.h"
#include "win/ProcessOutput.h"

#include "archives/win/KyZipLV.h"
#include "common/win/FileQueries.h"
#include "dialogs/win/Progressform.h"
#include "framework/InputErrors.h"
#include "framework/win/Forms.h"
#include "framework/win/Buttons.h"
#include "framework/win/Menus.h"
#include "framework/win/ProgressBar.h"
#include "framework/win/StdCtrls.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "settings/StoredSettings.h"
#include "widgets/win/KyShell.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

std::wstring BesideTheTests(const wchar_t* program)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1) + program;
}

// The system's side recorded: what went on the clipboard, the beeps, the box.
class RecordingPathTexts : public TPathTextSystem {
public:
    bool PutText(const std::wstring& Text) override
    {
        put = Text;
        return true;
    }
    std::wstring ClipboardText() override { return put; }
    std::wstring ShortPath(const std::wstring& Path) override { return shortPaths ? ShortPathName(Path) : L""; }
    void Beep(unsigned Sound) override { beeps.push_back(Sound); }
    bool ConfirmationWanted() override { return confirmationWanted; }
    void ShowConfirmation(const std::wstring& Text) override { confirmations.push_back(Text); }

    std::wstring put;
    std::vector<unsigned> beeps;
    bool confirmationWanted = true;
    bool shortPaths = true;
    std::vector<std::wstring> confirmations;
};

class PathTextsTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir.Write(L"Ein langer Dateiname.txt", "x");
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        panes.LV1 = new TDirView(form.get());
        panes.LV1->SetParent(form.get());
        panes.LV1->SetBounds(0, 0, 600, 400);
        panes.ActiveList = panes.LV1;
        form->Show();
        panes.LV1->SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return panes.LV1->Loaded() && !panes.LV1->Loading(); }, 5s));
        auto owned = std::make_unique<RecordingPathTexts>();
        system = owned.get();
        commands.System = std::move(owned);
        commands.ShowStatusText = [this](const std::wstring& Text, unsigned Milliseconds) {
            statusTexts.push_back(Text);
            statusTime = Milliseconds;
        };
    }
    void TearDown() override { form.reset(); }

    void Select(const std::wstring& Name)
    {
        TFileRec* item = panes.LV1->FindFileItem(Name);
        ASSERT_NE(item, nullptr);
        panes.LV1->SetItemSelected(*item, true);
    }

    test::TestDir dir;
    std::unique_ptr<TForm> form;
    TMainPanes panes;
    FakeMainWindowServices services;
    TPathTextCommands commands{panes, services};
    RecordingPathTexts* system = nullptr;
    std::vector<std::wstring> statusTexts;
    unsigned statusTime = 0;
};

TEST_F(PathTextsTest, EachCommandPutsItsTextAndConfirmsIt)
{
    const std::wstring name = L"Ein langer Dateiname.txt";
    const std::wstring path = dir.File(name);
    const std::wstring shortPath = ShortPathName(path);
    ASSERT_FALSE(shortPath.empty());
    Select(name);
    struct Case {
        TPathTextKind kind;
        std::wstring text;
    } cases[] = {
        {TPathTextKind::FilePath, path},
        {TPathTextKind::FilePathShort, shortPath},
        {TPathTextKind::FileName, name},
        {TPathTextKind::FileNameShort, shortPath.substr(shortPath.find_last_of(L'\\') + 1)},
    };
    for (const Case& c : cases) {
        system->confirmations.clear();
        system->beeps.clear();
        commands.Execute(c.kind);
        EXPECT_EQ(system->put, c.text) << static_cast<int>(c.kind);
        EXPECT_EQ(system->beeps, std::vector<unsigned>{MB_ICONEXCLAMATION});
        ASSERT_EQ(system->confirmations.size(), 1u);
        EXPECT_EQ(system->confirmations[0], L"\"" + c.text + L"\" wurde als Text in die Zwischenablage gestellt.");
    }
    EXPECT_TRUE(statusTexts.empty());
}

TEST_F(PathTextsTest, WithoutTheBoxTheStatusBarShowsItForTwoSeconds)
{
    system->confirmationWanted = false;
    Select(L"Ein langer Dateiname.txt");
    commands.Execute(TPathTextKind::FileName);
    EXPECT_TRUE(system->confirmations.empty());
    EXPECT_EQ(statusTexts, std::vector<std::wstring>{
                               L"\"Ein langer Dateiname.txt\" wurde als Text in die Zwischenablage gestellt."});
    EXPECT_EQ(statusTime, 2000u);
}

TEST_F(PathTextsTest, NothingToPutBeeps)
{
    // No selected item, no tree, no short form: the error beep, nothing put.
    for (const TPathTextKind kind : {TPathTextKind::FilePath, TPathTextKind::DirPath}) {
        commands.Execute(kind);
        EXPECT_TRUE(system->put.empty());
    }
    Select(L"Ein langer Dateiname.txt");
    system->shortPaths = false;
    commands.Execute(TPathTextKind::FileNameShort);
    EXPECT_TRUE(system->put.empty());
    EXPECT_EQ(system->beeps, (std::vector<unsigned>{MB_OK, MB_OK, MB_OK}));
    EXPECT_TRUE(system->confirmations.empty());
    EXPECT_TRUE(statusTexts.empty());
}

TEST(PathTextsClipboard, AnotherProgramReadsTheTextPut)
{
    // The system's clipboard, read back by a process of its own.
    FakeMainWindowServices services;
    const std::unique_ptr<TPathTextSystem> system = NewSystemPathTextSystem(services);
    const std::wstring text = L"T:\\Ärger\\日本.txt";
    ASSERT_TRUE(system->PutText(text));
    EXPECT_EQ(system->ClipboardText(), text);
    const std::wstring probe = BesideTheTests(L"qrv_clipboard_probe.exe");
    const test::TProcessOutput read = test::RunAndCapture(probe, L"", probe.substr(0, probe.find_last_of(L'\\')));
    EXPECT_EQ(read.ExitCode, 0u) << read.StartError;
    EXPECT_EQ(read.Text, WideToUtf8(text));
}

// ---- Error reports -----------------------------------------------------------

class ErrorReportsTest : public testing::Test {
protected:
    void SetUp() override
    {
        reports.Counter().SetReporting(true);
        reports.ShowException = [this](const std::exception& Error) {
            shown.push_back(Error.what());
            if (raiseWhileShown) {
                raiseWhileShown = false;
                Raise(Exception(L"vom Zeitgeber"));
            }
        };
        reports.Quit = [this] { ++quits; };
        reports.ErrorText = [](uint32_t Code) { return L"Fehler " + std::to_wstring(Code); };
        reports.DriveReady = [this](wchar_t Drive) { return Drive != L'A' && ready; };
        reports.ConfirmAuthority = [this] { return confirmAuthority; };
        previousHandler = Application->OnException;
        Application->OnException = [this](TComponent*, const std::exception& Error) {
            reports.AppExceptionHandler(Error);
        };
    }
    void TearDown() override { Application->OnException = previousHandler; }

    template <class E>
    void Raise(const E& Error)
    {
        Application->HandleException(std::make_exception_ptr(Error));
    }

    FakeMainWindowServices services;
    TErrorReports reports{services};
    std::vector<std::string> shown;
    int quits = 0;
    bool raiseWhileShown = false;
    bool ready = true;
    bool confirmAuthority = false;
    std::function<void(TComponent*, const std::exception&)> previousHandler;
};

TEST_F(ErrorReportsTest, TheTwentyFirstCountedErrorAsksAndNoKeepsRunning)
{
    services.messageAnswer = mrNo;
    for (int i = 1; i <= 20; ++i)
        Raise(Exception(L"Fehler " + std::to_wstring(i)));
    EXPECT_EQ(shown.size(), 20u);
    EXPECT_TRUE(services.messageBoxes.empty());
    // Errors of the user's input are shown, never counted; OLE's are silent.
    Raise(EInvalidFileName(L"Name"));
    Raise(EDragDrop(L"Ziehen"));
    Raise(EInvalidDirName(L"Ordner"));
    Raise(EOleSysError(L"OLE", -1));
    EXPECT_EQ(shown.size(), 23u);
    EXPECT_EQ(reports.Counter().Count(), 20u);
    EXPECT_TRUE(services.messageBoxes.empty());

    Raise(Exception(L"Nummer 21"));
    ASSERT_EQ(services.messageBoxes.size(), 1u);
    EXPECT_EQ(services.messageBoxes[0],
              L"Es sind bisher 21 Fehler aufgetreten. Soll das Programm jetzt beendet werden?");
    EXPECT_EQ(services.messageKinds[0], TMsgDlgType::mtConfirmation);
    EXPECT_EQ(quits, 0);
    Raise(Exception(L"Nummer 22"));
    EXPECT_EQ(services.messageBoxes.size(), 2u) << "asked again for every further error";
    services.messageAnswer = mrYes;
    Raise(Exception(L"Nummer 23"));
    EXPECT_EQ(quits, 1);
}

TEST_F(ErrorReportsTest, AnErrorWhileTheBoxIsOpenIsCountedNotShown)
{
    raiseWhileShown = true;
    Raise(Exception(L"erster"));
    EXPECT_EQ(shown, std::vector<std::string>{"erster"});
    EXPECT_EQ(reports.Counter().Count(), 2u);
    Raise(Exception(L"danach"));
    EXPECT_EQ(shown.size(), 2u) << "the next box shows again";
}

TEST_F(ErrorReportsTest, NothingIsReportedOutsideTheWindowsLifeOrWhileItEnds)
{
    reports.Counter().SetReporting(false);
    Raise(Exception(L"vorher"));
    reports.Counter().SetReporting(true);
    services.terminating = true;
    Raise(Exception(L"beim Beenden"));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(reports.Counter().Count(), 0u);
}

TEST_F(ErrorReportsTest, FolderErrorsByThePolicy)
{
    struct Case {
        const wchar_t* path;
        uint32_t code;
        bool authority, ready;
        bool shown;
    } cases[] = {
        {L"C:\\Geheim", 5, false, true, false}, {L"C:\\Geheim", 5, true, true, true},
        {L"C:\\Weg", 3, false, true, true},     {L"C:\\Weg", 3, false, false, false},
        {L"A:\\Weg", 21, false, true, false},   {L"", 3, false, true, false},
        {L"C:\\Gut", 0, true, true, false},
    };
    for (const Case& c : cases) {
        services.messageBoxes.clear();
        confirmAuthority = c.authority;
        ready = c.ready;
        EXPECT_EQ(reports.FolderError(c.path, c.code), c.shown) << WideToUtf8(c.path) << " " << c.code;
        EXPECT_EQ(services.messageBoxes.size(), c.shown ? 1u : 0u);
    }
    confirmAuthority = true;
    ready = true;
    services.messageBoxes.clear();
    ASSERT_TRUE(reports.FolderError(L"C:\\Geheim", 5));
    EXPECT_EQ(services.messageBoxes[0], L"Auf \"C:\\Geheim\" kann nicht zugegriffen werden:\n\nFehler 5");
    EXPECT_EQ(services.messageKinds[0], TMsgDlgType::mtError);
}

// ---- The tray ------------------------------------------------------------------

TEST(TrayCommands, APostedClickRestoresTheWindow)
{
    // ctest: takes the focus (restoring brings the window to the front)
    TForm window(nullptr);
    window.SetBounds(40, 40, 300, 200);
    window.Show();
    TKyTrayIcon icon(&window);
    TTrayCommands tray(window, icon);
    ASSERT_EQ(tray.Menu()->Items()->Count(), 2);
    EXPECT_EQ(tray.RestoreItem()->Caption(), L"Wiederherstellen");
    EXPECT_EQ(tray.ExitItem()->Caption(), L"Beenden");

    tray.Minimize();
    EXPECT_TRUE(icon.Active());
    EXPECT_FALSE(IsWindowVisible(window.Handle()));
    // The shell's callback: a left button pressed and let go over the icon.
    PostMessageW(icon.WindowHandle(), TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
    PostMessageW(icon.WindowHandle(), TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(window.Handle()) != FALSE; }, 5s));
    EXPECT_FALSE(IsIconic(window.Handle()));
    EXPECT_FALSE(icon.Active());

    // "Wiederherstellen" from the menu does the same.
    tray.Minimize();
    tray.RestoreItem()->Click();
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_FALSE(icon.Active());
}

// ---- The archive list's events --------------------------------------------------

// The file tools only hold the last target here.
class TargetOnlyHost : public TFileToolsHost {
public:
    const TOptions& FileOptions() override { return options; }
    void SetLastFileOperator(TFileOperator*) override {}
    bool DisplayOn() override { return false; }
    void SwitchDisplayOn() override {}
    void JoinSplitFile() override {}
    TFileListStoredSettings& FileListSettings() override { return state.FileList; }
    std::wstring DefaultFileListName() override { return L"Dateiliste.txt"; }
    std::wstring ProgramFolder() override { return L"C:\\"; }
    TOptions options;
    TMainWindowState state;
};

class ArchiveEventsTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.SetBounds(0, 0, 500, 300);
        panes.ZipLV = new TKyZipLV(&window);
        panes.ZipLV->SetParent(&window);
        panes.ZipLV->SetBounds(0, 0, 500, 300);
        window.Show();
        services.window = &window;
        events.ShowStatusText = [this](const std::wstring& Text) { statusTexts.push_back(Text); };
        events.SetLastTarget = [this](const std::wstring& Folder) { tools.SetLastTarget(Folder); };
        events.Connect();
    }
    void TearDown() override
    {
        if (events.ProgressForm())
            events.EndExtract();
    }

    TForm window{nullptr};
    TMainPanes panes;
    FakeMainWindowServices services;
    TOptions options;
    TArchiveListEvents events{panes, services, options};
    // The file tools hold the window's last target.
    TargetOnlyHost toolsHost;
    TFileTools tools{panes, services, toolsHost};
    std::vector<std::wstring> statusTexts;
};

TEST_F(ArchiveEventsTest, ProgressWindowByTheOperationWithItsRange)
{
    // ctest: takes the focus (the progress window is activated)
    events.StartExtract(1);
    EXPECT_EQ(events.ProgressForm(), nullptr) << "one file shows no progress window";
    panes.ZipLV->OnStartExtract(panes.ZipLV, 7);
    TProgressform* progress = events.ProgressForm();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->Caption(), L"Archivoperation");
    EXPECT_EQ(progress->ProgressBar->Max(), 7);
    panes.ZipLV->OnProgress(panes.ZipLV, 3);
    EXPECT_EQ(progress->ProgressBar->Position(), 3);
    // A message goes to the window's label while it is open, else to the status bar.
    panes.ZipLV->OnMessage(panes.ZipLV, 0, L"entpacke a.txt");
    EXPECT_EQ(progress->lblLabel->Caption(), L"entpacke a.txt");
    EXPECT_TRUE(statusTexts.empty());
    panes.ZipLV->OnEndExtract(panes.ZipLV);
    EXPECT_EQ(events.ProgressForm(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window.Handle()));
    panes.ZipLV->OnMessage(panes.ZipLV, 0, L"fertig");
    EXPECT_EQ(statusTexts, std::vector<std::wstring>{L"fertig"});
}

TEST_F(ArchiveEventsTest, DeleteQuestionWhileAConfirmationIsOn)
{
    options.ConfirmLogicalDel = options.ConfirmPhysicalDel = false;
    bool doDelete = true;
    panes.ZipLV->OnDeleteFiles(panes.ZipLV, doDelete);
    EXPECT_TRUE(doDelete) << "with both confirmations off the event leaves it";
    EXPECT_TRUE(services.messageBoxes.empty());

    options.ConfirmPhysicalDel = true;
    services.messageAnswer = mrCancel;
    panes.ZipLV->OnDeleteFiles(panes.ZipLV, doDelete);
    EXPECT_FALSE(doDelete);
    ASSERT_EQ(services.messageBoxes.size(), 1u);
    EXPECT_EQ(services.messageBoxes[0], L"0 Dateien aus dem Archiv löschen?");
    services.messageAnswer = mrOk;
    panes.ZipLV->OnDeleteFiles(panes.ZipLV, doDelete);
    EXPECT_TRUE(doDelete);
}

TEST_F(ArchiveEventsTest, TheChosenFolderBecomesTheLastTarget)
{
    TSelDirConsts consts;
    consts.Caption = L"Dateien entpacken nach";
    consts.CheckVisible = true;
    std::vector<std::wstring> asked;
    events.ChooseFolder = [&](TSelDirParams& Params, const TSelDirConsts& Consts) {
        asked.push_back(Consts.Caption + L"|" + Params.Directory);
        if (Params.Directory == L"abbrechen")
            return false;
        Params.Directory = L"T:\\Ziel";
        Params.Checked = !Params.Checked;
        return true;
    };
    TSelDirParams params;
    params.Directory = L"T:\\Start";
    panes.ZipLV->OnSelDir(panes.ZipLV, params, consts);
    EXPECT_FALSE(params.Canceled);
    EXPECT_EQ(params.Directory, L"T:\\Ziel");
    EXPECT_TRUE(params.Checked);
    EXPECT_EQ(tools.LastTarget(), L"T:\\Ziel");

    TSelDirParams cancelled;
    cancelled.Directory = L"abbrechen";
    panes.ZipLV->OnSelDir(panes.ZipLV, cancelled, consts);
    EXPECT_TRUE(cancelled.Canceled);
    EXPECT_EQ(cancelled.Directory, L"abbrechen");
    EXPECT_EQ(tools.LastTarget(), L"T:\\Ziel");
    EXPECT_EQ(asked,
              (std::vector<std::wstring>{L"Dateien entpacken nach|T:\\Start", L"Dateien entpacken nach|abbrechen"}));
}

}  // namespace
