// TQRVMain: the start-up of the main window, in the order the program comes
// up: FormCreate (the window's own state), InitializeMainWindow (command line,
// settings, start folders; it runs even when FormCreate failed part-way), and
// the work of the first show. The timers are made here as well. Start-up
// calls the dispatch and service files; they never call back into it.

#include "mainwindow/win/RudirezOziMain.h"

#include "common/win/BaseUtilsWin.h"
#include "common/win/KySyncObjs.h"
#include "common/win/SimpleTimer.h"
#include "dialogs/win/DSAMsgDlg.h"
#include "framework/FilePath.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/TimingTrace.h"
#include "framework/win/Handles.h"
#include "framework/win/Threads.h"
#include "mainwindow/win/ErrorReports.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/OptionsDialogLink.h"
#include "mainwindow/win/QuorSplash.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/SentMessageWait.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyDockCommon.h"

#include <filesystem>
#include <memory>

namespace qrv {

namespace {

// The loading count in the status bar is painted at most this often (ms).
constexpr uint64_t kLoadingCountInterval = 100;

std::wstring EnvironmentVariable(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

std::wstring ExecutableFolder()
{
    const std::wstring path = ExeName();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The command-line arguments after the program name.
std::vector<std::wstring> CommandLineArguments()
{
    std::vector<std::wstring> args;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    const TLocalMemory owner(argv);
    if (!argv)
        return args;
    for (int i = 1; i < count; ++i)
        args.emplace_back(argv[i]);
    return args;
}

// A thread that does no work: it waits until it is told to end.
class TDummyThread : public TThread {
public:
    TDummyThread() : TThread(true), wake_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) { Start(); }
    ~TDummyThread() override
    {
        Terminate();
        WaitFor();
    }

protected:
    void Execute() override
    {
        while (!Terminated())
            WaitForSingleObject(wake_.Get(), INFINITE);
    }
    void TerminatedSet() override { SetEvent(wake_.Get()); }

private:
    TKernelHandle wake_;
};

}  // namespace

void TQRVMain::FormCreate()
{
    SearchPath = EnvironmentVariable(L"PATH");
    TitleBase = L"Quorvan Free";
    // The lists read their start folders only at the end of the start-up.
    for (TDirView* list : {LV1, LV2})
        if (list)
            list->SetLoadEnabled(false);
    ProgramDir = ExecutableFolder();

    ComSpecPath = EnvironmentVariable(L"COMSPEC");
    if (ComSpecPath.empty())
        ReportMissingComSpec();

    BatchFileName = L"QRVPTMP.CMD";  // the NT family; Windows 9x is not supported
    ActiveList = LV1;
    ActiveHistory = DirHist1;
    ReserveSelectionListFile();
    FileListName = L"Dateiliste.txt";

    converterMutex_ = std::make_unique<TMutex>(L"RudirezOzi_Mutex");
    instanceMutex_ = std::make_unique<TMutex>(L"QuorvanFreeMutex");
    // The lists' deferred background work starts when the window is idle.
    Application->OnIdle = [this] {
        if (listWork_)
            listWork_->StartPendingListThreads();
    };

    EditorProgram = L"Notepad.exe";
    StartedAt = GetTickCount();
    SelMaskHistory.Clear();
    SelDirHistory.Clear();
    FileListSettings1.Clear();
    FileListSettings2.Clear();

    driveBar_->CreateDriveMenuItems();
    CreateFunctionKeyButtons();
    // Every area has put its buttons on the toolbars by now.
    if (toolbars_)
        toolbars_->CollectToolbarButtons();
    LoadExcludeList();

    // The window passes its own activation, position and destruction to the
    // tool windows (MainDispatch): the library's hooks are not needed for
    // them. Buttons made later hook the mouse moves again.
    UnregisterAllToolWindowHookClients();

    OptionsDialog =
        std::make_unique<TOptionsDialogLink>([this] { return SearchPath; }, [this] { return OpenDialogFilter; });
    CreateTimers();
}

void TQRVMain::ReportMissingComSpec()
{
    MessageBeep(MB_ICONHAND);
    DSAMessageDlg(L"Umgebungsvariable COMSPEC fehlt.", TMsgDlgType::mtWarning, mbOK, mrCancel, L"comspec not found");
}

void TQRVMain::ReserveSelectionListFile()
{
    // The name is reserved by creating the file exclusively, so that two
    // instances never share it; only a file reserved here is deleted at exit.
    SelectionListFile = ReserveNumberedName(TemporaryFolder(), L"QRV32", L".TMP", [](const std::wstring& name) {
        const TFileHandle file(
            CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.Valid();
    });
    selectionListReserved_ = !SelectionListFile.empty();
}

void TQRVMain::LoadExcludeList()
{
    ExcludeList.Clear();
    const std::wstring file = ProgramDir + L"EXCLUDE.TXT";
    if (!FileExists(file))
        return;
    TStringList lines;
    lines.LoadFromFile(file);
    ExcludeList.SetSorted(true);
    ExcludeList.SetDuplicates(TDuplicates::dupAccept);
    for (int i = 0; i < lines.Count(); ++i)
        ExcludeList.Add(UpperCase(lines[i]));
}

void TQRVMain::InitializeMainWindow()
{
    try {
        const TCommandLine commandLine = EvaluateCommandLine(CommandLineArguments(), ProgramDir, FileExists, DirExists);
        IniFileName = commandLine.IniFileName;
        IniFolderGiven = commandLine.IniFolderGiven;
        ShowFileOnStart = commandLine.ShowFileOnStart;

        // The drive table tells of icons fetched in the background.
        DriveInfo().OnImageIndexReady = [this](wchar_t drive, int imageIndex) {
            driveBar_->UpdateDriveIcon(drive, imageIndex);
        };
        AnswerSentMessages();  // the drive table has just read the drives

        Options.UseRegistry = false;
        // Settings store: load the settings, apply them, restore the
        // toolbars; a failure leaves the defaults.
        try {
            if (auto* exitButton = dynamic_cast<TControl*>(FindComponent(L"btnExit")))
                Options.TBButtonSize = exitButton->Height();
            {
                TTimingScope timing(L"settings read");
                LoadSettings();
            }
            AnswerSentMessages();
            if (TQuorSplash* logo = StartupLogo())
                logo->ShowProgress(L"Verzeichnisse lesen");
            TTimingScope timing(L"settings applied");
            ApplyOptions();
            LoadToolbarPositions();
            driveBar_->DockDriveToolbars();
        } catch (const std::exception&) {
            TraceIgnoredException(L"loading and applying the settings");
            // start-up goes on with the defaults
        }

        HideFeaturesNotOffered();
        // The display pane stands only while the display is on; the settings
        // turn it on after the first show.
        if (fileDisplay_ && !fileDisplay_->ViewFile())
            PlaceDisplayPane(false);
        AnswerSentMessages();
        EvaluateStartDirectories(commandLine);
        if (TQuorSplash* logo = StartupLogo())
            logo->ShowProgress(L"Dateien lesen");
        {
            TTimingScope timing(L"start folders set");
            OpenStartDirectories();
        }
        AnswerSentMessages();
    } catch (const std::exception&) {
        TraceIgnoredException(L"starting the main window");
        // Start-up goes on with what stands; the window must come up.
    }
    try {
        TTimingScope timing(L"lists read their start folders");
        if (LV1)
            LV1->SetLoadEnabled(true);
        if (LV2 && Options.SecondFileWin)
            LV2->SetLoadEnabled(true);
    } catch (const std::exception&) {
        TraceIgnoredException(L"switching on the lists' loading");
        // an unreadable start folder leaves the list empty
    }
    idleThread_ = std::make_unique<TDummyThread>();
}

void TQRVMain::EvaluateStartDirectories(const TCommandLine& commandLine)
{
    TFileSystemFacts facts;
    facts.FileExists = FileExists;
    facts.DirectoryExists = DirExists;
    facts.DriveType = [](wchar_t letter) {
        TDriveInfoRec drive;
        if (const wchar_t upper = UpCaseDrive(letter); upper >= kFirstDrive && upper <= kLastDrive)
            DriveInfo().GetData(upper, drive);
        return drive.DriveType;
    };
    facts.DefaultDrive = DriveInfo().DefaultDrive();
    facts.FullPath = FullPathName;
    StartPaths = ComputeStartPaths(commandLine, Options.StartDir, Options.StartDir2, facts);
    StartFileName = StartPaths.StartFileName;
    Options.StartDir.clear();
    Options.StartDir2 = StartPaths.Dir2;
}

void TQRVMain::OpenStartDirectories()
{
    // The lists take their start folders; they read them when loading is
    // switched on at the end of the start-up. The tree selects the first
    // list's folder.
    if (LV1)
        LV1->SetPath(StartPaths.Dir1);
    // A list pointed at another folder means the tree's selection moved:
    // the title follows. A folder a list cannot read (no access, a vanished
    // drive) is named with the system's reason in the status bar, so an
    // empty list is not mistaken for an empty folder; that list's next read
    // takes the text away again.
    for (TDirView* list : {LV1, LV2}) {
        if (!list)
            continue;
        auto shownError = std::make_shared<std::wstring>();  // this list's text, if still shown
        list->OnStartLoading = [this, shownError](TComponent* Sender) {
            UpdateWindowTitle();
            if (Sender == ActiveList && statusArea_)
                statusArea_->ShowLoadingCount(0);
            if (statusArea_ && !shownError->empty())
                statusArea_->ReleasePanel0(*shownError);
            shownError->clear();
        };
        // "%u Dateien" while the active list reads, painted at most every 100 ms.
        list->OnLoadProgress = [this, lastShown = std::make_shared<uint64_t>(0)](TComponent* Sender, int Added) {
            const uint64_t now = GetTickCount64();
            if (Sender != ActiveList || !statusArea_ || now - *lastShown < kLoadingCountInterval)
                return;
            *lastShown = now;
            statusArea_->ShowPanelText(1, LoadingStatusText(static_cast<uint32_t>(Added)));
        };
        list->OnError = [this, shownError](TComponent*, const std::wstring& Path, uint32_t LastError) {
            // The status text always, so that no unreadable folder passes
            // unseen; then the box where the policy asks for one.
            if (statusArea_) {
                const std::wstring reason = SysErrorMessage(LastError);
                *shownError = L"\"" + Path + L"\": " + (reason.empty() ? std::to_wstring(LastError) : reason);
                statusArea_->HoldPanel0(*shownError);
            }
            if (errorReports_)
                errorReports_->FolderError(Path, LastError);
        };
    }
    if (TreeView1) {
        TreeView1->OnError = [this](TComponent*, TTreeNode* Node, uint32_t LastError) {
            if (errorReports_ && Node)
                errorReports_->FolderError(TreeView1->GetDirPathName(Node), LastError);
        };
        // The tree follows the first list and points it at the folders chosen in it.
        TreeView1->SetDirView(LV1);
        try {
            TreeView1->SetDirectory(StartPaths.Dir1);
        } catch (const std::exception&) {
            TraceIgnoredException(L"selecting the start folder in the tree");
            // a start folder the tree cannot find leaves the tree on its drives
        }
    }
    // A hidden second window gets its folder when it is shown.
    if (LV2 && Options.SecondFileWin)
        LV2->SetPath(StartPaths.Dir2);
    SetFolderWatching(true);
}

void TQRVMain::SetFolderWatching(bool On)
{
    if (TreeView1)
        TreeView1->SetWatchDirectory(On);
    for (TDirView* list : {LV1, LV2})
        if (list)
            list->SetWatchForChanges(On);
}

void TQRVMain::FocusStartFile()
{
    if (StartFileName.empty() || !ActiveList)
        return;
    const std::wstring name = StartFileName.substr(StartFileName.find_last_of(L'\\') + 1);
    TFileRec* item = ActiveList->FindFileItem(name);
    if (!item) {
        // The list may show the short or differently spelled name.
        WIN32_FIND_DATAW found;
        if (const TFindHandle search(FindFirstFileW(StartFileName.c_str(), &found)); search)
            item = ActiveList->FindFileItem(found.cFileName);
    }
    if (!item) {
        Application->MessageBox(L"Datei nicht gefunden:\r\n" + StartFileName, L"", MB_OK | MB_ICONERROR);
        return;
    }
    startFileFound_ = (item->Attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
    // Through the control, as a click would: the list follows its state.
    const int index = ActiveList->IndexOf(item);
    ActiveList->SetFocus();
    ActiveList->TCustomListView::SetItemFocused(index);
    ActiveList->TCustomListView::SetSelected(index, true);
    const int visible = index + 1 < ActiveList->ItemCount() ? index + 1 : index;
    SendMessageW(ActiveList->Handle(), LVM_ENSUREVISIBLE, visible, FALSE);
}

void TQRVMain::DoShow()
{
    TForm::DoShow();
    if (!firstShowDone_) {
        firstShowDone_ = true;
        FirstShow();
    }
}

void TQRVMain::FirstShow()
{
    TTimingScope timing(L"first show");
    // The start folders were read before the tree listed the drives: panel
    // 0 names the drive's space now that the drive table knows it.
    UpdateStatusBar(true);
    // Each step answers what was sent to the window meanwhile.
    FocusStartFile();
    if (Options.Maximized == 2)
        ShowWindow(Handle(), SW_MAXIMIZE);
    AnswerSentMessages();
    CloseStartupLogo();
    AnswerSentMessages();
    PostMessageW(Handle(), WM_QRV_STARTUP, 0, 0);
    // A file named on the command line is shown (or a ".split" file joined).
    if (startFileFound_ && ShowFileOnStart) {
        const std::wstring extension = LowerCase(FromFsPath(FsPath(StartFileName).extension()));
        PostMessageW(Handle(), extension == L".split" ? WM_QRV_JOINSPLIT : WM_QRV_SHOWFILE, 0, 0);
    } else if (StartFileName.empty() && Options.ViewFile) {
        PostMessageW(Handle(), WM_QRV_SHOWFILE, 0, 0);
    }
    StartFileName.clear();
    Shown = true;
    TWinControl::WindowCreatedHook = nullptr;
    // The drive table knows which drives are valid once the tree's window
    // has listed them: the drive buttons and menu items follow now.
    try {
        driveBar_->RebuildDriveButtons();
    } catch (const std::exception&) {
        TraceIgnoredException(L"building the drive buttons at the first show");
        // the buttons come with the next drive refresh
    }
    AnswerSentMessages();
    UpdateWindowTitle();
    LookUpShellSettings();
    // The toolbars have their rows now: the panes are fitted once more.
    FitPanesToWindow({PanelLeft ? PanelLeft->Width() : 0, PanelBottom ? PanelBottom->Height() : 0,
                      FilePanel1 ? FilePanel1->Height() : 0});
    // Now that the window has its size, splits that would hide a window
    // become half of the area.
    if (layout_)
        layout_->Commands().CheckPaneSizes();
    Realign();
}

void TQRVMain::CreateTimers()
{
    // One-shot: each stops itself before its work.
    actionTimer_ = TSimpleTimer::CreateEx(this, [this](void*, TSimpleTimer* timer) {
        timer->Stop();
        UpdateTimerTimer();
    });
    oleDisplayTimer_ = TSimpleTimer::CreateEx(this, [this](void*, TSimpleTimer* timer) {
        timer->Stop();
        OleDisplayTimerTimer();
    });
    statusTimer_ = TSimpleTimer::CreateEx(this, [this](void*, TSimpleTimer* timer) {
        timer->Stop();
        UpdateSelectionStatus();
    });
    driveTimer_ = TSimpleTimer::CreateEx(this, [this](void*, TSimpleTimer* timer) {
        timer->Stop();
        driveBar_->RefreshDriveList(false);
    });
}

void TQRVMain::LookUpShellSettings()
{
    if (HMODULE shell = GetModuleHandleW(L"shell32.dll"))
        shGetSettings_ = reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSettings"));
}

}  // namespace qrv
