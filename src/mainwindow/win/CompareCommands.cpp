#include "mainwindow/win/CompareCommands.h"

#include "common/win/BaseUtilsWin.h"
#include "dialogs/win/AboutBox.h"
#include "dialogs/win/Progressform.h"
#include "dialogs/win/SelOptForm.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/Handles.h"
#include "framework/win/WaitCursor.h"
#include "framework/win/WinApi.h"
#include "mainwindow/FileCompare.h"
#include "mainwindow/FileCompareRules.h"
#include "mainwindow/ShellErrors.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"

#include <chrono>

namespace qrv {

namespace {

constexpr TMsgDlgButtons kBoxButtons = mbOK | mbHelp;

uint64_t FileTimeValue(const FILETIME& Time)
{
    return (static_cast<uint64_t>(Time.dwHighDateTime) << 32) | Time.dwLowDateTime;
}

// The lists' change watching is off while records point at their items.
class TWatchPause {
public:
    explicit TWatchPause(std::initializer_list<TDirView*> Lists)
    {
        for (TDirView* list : Lists)
            if (list && list->WatchThreadActive()) {
                list->StopWatchThread();
                paused_.push_back(list);
            }
    }
    ~TWatchPause()
    {
        for (TDirView* list : paused_)
            list->StartWatchThread();
    }
    TWatchPause(const TWatchPause&) = delete;
    TWatchPause& operator=(const TWatchPause&) = delete;

private:
    std::vector<TDirView*> paused_;
};

uint64_t SteadyMs()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

}  // namespace

std::vector<TCompareRecord> ListFolderRecords(const std::wstring& Folder)
{
    std::vector<TCompareRecord> records;
    std::wstring base = Folder;
    if (!base.empty() && base.back() != L'\\')
        base += L'\\';
    WIN32_FIND_DATAW data;
    TFindHandle find(FindFirstFileExW((base + L"*.*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                      FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return records;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        TCompareRecord r;
        r.Name = r.DisplayName = name;
        r.FullPath = base + name;
        r.IsDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        r.Size = r.IsDirectory ? 0 : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        r.LastWrite = FileTimeValue(data.ftLastWriteTime);
        r.Attr = data.dwFileAttributes;
        records.push_back(std::move(r));
    } while (FindNextFileW(find.Get(), &data));
    return records;
}

TCompareCommands::TCompareCommands(const TMainPanes& Panes, TMainWindowServices& Services, TCompareCommandsHost& Host)
    : panes_(Panes), services_(Services), host_(Host)
{}

bool TCompareCommands::HoldCloseBack()
{
    if (!running_)
        return false;
    abortWalk_ = true;
    closeAfterWalk_ = true;
    host_.AbortFileComparison();
    return true;
}

void TCompareCommands::FileCompareExecute()
{
    if (running_)
        return;
    TDirView* active = panes_.ActiveList;
    if (!active || active->SelCount() == 0)
        return;
    TDirView* other = panes_.OtherList();
    const auto selectedOf = [](TDirView& list, int* focusedIndex) {
        std::vector<std::wstring> names;
        for (int i = 0; i < list.ItemCount(); ++i) {
            TFileRec* item = list.GetItemData(i);
            if (!item || !item->Selected)
                continue;
            if (focusedIndex && item == list.ItemFocused())
                *focusedIndex = static_cast<int>(names.size());
            names.push_back(list.ItemFullFileName(item));
        }
        return names;
    };
    TFileChoiceInput input;
    input.SecondWindowShown = other != nullptr;
    input.ActiveSelected = selectedOf(*active, &input.FocusedSelectedIndex);
    if (other)
        input.OtherSelected = selectedOf(*other, nullptr);
    TFileChoice choice = ChooseFilesToCompare(input);
    if (choice.Kind == TFileChoiceKind::None)
        return;
    if (choice.Kind == TFileChoiceKind::AskSecond) {
        std::wstring shown = choice.First;
        for (int i = 0; i < active->ItemCount(); ++i)
            if (TFileRec* item = active->GetItemData(i); item && active->ItemFullFileName(item) == choice.First)
                shown = item->DisplayName;
        if (lastOpenDir_.empty())
            lastOpenDir_ = active->GetPath();
        std::wstring chosen;
        if (!host_.ChooseCompareFile(CompareDialogTitle(shown), lastOpenDir_, chosen))
            return;
        const size_t slash = chosen.find_last_of(L'\\');
        if (slash != std::wstring::npos)
            lastOpenDir_ = chosen.substr(0, slash);
        choice.Second = chosen;
    }
    CompareTwoFiles(choice.First, choice.Second);
}

void TCompareCommands::CompareTwoFiles(const std::wstring& First, const std::wstring& Second)
{
    const std::wstring& program = host_.FileOptions().CompareProgPath;
    if (!program.empty() && FileExists(program)) {
        const std::wstring parameters =
            ExternalCompareParameters(ShortPathName(First), First, ShortPathName(Second), Second);
        TDirView* active = panes_.ActiveList;
        const intptr_t result = host_.StartProgram(program, parameters, active ? active->GetPath() : L"");
        if (result <= 32)
            services_.ShowMessageBox(ExternalCompareFailure(program, ShellExecuteErrorText(result)),
                                     TMsgDlgType::mtError, kFileCompareHelpContext, kBoxButtons);
        return;
    }
    uint8_t result = crBusy;
    DWORD error = 0;
    {
        const TWaitCursor hourglass;
        if (SameFilePath(FullPathName(First), FullPathName(Second))) {
            services_.ShowMessageBox(SelfCompareMessage(), TMsgDlgType::mtError, kFileCompareHelpContext, kBoxButtons);
            return;
        }
        result = host_.CompareFileContents(First, Second);
        error = GetLastError();
    }
    const TCompareMessage message = CompareResultMessage(result, First, Second, SysErrorMessage(error));
    services_.ShowMessageBox(message.Text, message.Error ? TMsgDlgType::mtError : TMsgDlgType::mtInformation,
                             kFileCompareHelpContext, kBoxButtons);
}

std::vector<TCompareRecord> TCompareCommands::RecordsOf(TDirView& List)
{
    std::vector<TCompareRecord> records;
    records.reserve(static_cast<size_t>(List.ItemCount()));
    for (int i = 0; i < List.ItemCount(); ++i) {
        const TFileRec* item = List.GetItemData(i);
        if (!item)
            continue;
        TCompareRecord r;
        r.Name = List.ItemFileName(item);
        const size_t slash = r.Name.find_last_of(L'\\');
        if (slash != std::wstring::npos)
            r.Name.erase(0, slash + 1);
        r.DisplayName = item->DisplayName;
        r.FullPath = List.ItemFullFileName(item);
        r.Size = item->Size;
        r.LastWrite = item->LastWrite;
        r.Attr = item->Attr;
        r.IsDirectory = item->IsDirectory;
        r.IsParentDir = item->IsParentDir;
        r.Item = static_cast<size_t>(i);
        records.push_back(std::move(r));
    }
    return records;
}

void TCompareCommands::FileWinCompareExecute()
{
    // One walk at a time: its records point at the lists' items.
    if (running_)
        return;
    TDirView* active = panes_.ActiveList;
    if (!active)
        return;
    active->SetFocus();
    TDirView* other = panes_.OtherList();
    TDirView* compareList = other && !other->IsVirtual() && other->Loaded() ? other : nullptr;
    const bool stacked = host_.StackedFileWindows();
    const auto wordOf = [&](TDirView* list) {
        return PaneWordFor(other != nullptr, stacked, list == panes_.FileList(0));
    };

    if (!optionsSeeded_) {
        options_ = host_.StoredCompareOptions();
        optionsSeeded_ = true;
    }
    TDirCompareOptions start = options_;
    start.Select = TCompareSelect::Equal;
    start.SubDirs = false;
    start.Duplicates = false;
    TSelOptForm form(nullptr, start);
    form.FocusedListPath = active->GetPath();
    const std::wstring compareDir = compareList                ? compareList->GetPath()
                                    : !lastCompareDir_.empty() ? lastCompareDir_
                                                               : active->GetPath();
    form.SetDirectories(active->GetPath(), compareDir, wordOf(active), compareList ? wordOf(compareList) : L"");
    if (!host_.ExecuteCompareOptions(form))
        return;
    TDirCompareOptions chosen = form.Options();
    lastCompareDir_ = form.CompareDir();
    options_ = chosen;

    running_ = true;
    abortWalk_ = false;
    closeAfterWalk_ = false;
    const ScopeExit ended([this] {
        running_ = false;
        if (closeAfterWalk_) {
            closeAfterWalk_ = false;
            if (TForm* window = services_.Window(); window && window->HandleAllocated())
                PostMessageW(window->Handle(), WM_CLOSE, 0, 0);
        }
    });
    const TWatchPause paused{active, compareList};

    TDirCompareInput input;
    input.Options = chosen;
    input.Active = RecordsOf(*active);
    input.CompareDir = lastCompareDir_;
    // The compare window takes part only while it shows the compare directory.
    const bool listShowsDir =
        compareList && SameFolderPath(FullFolderPath(compareList->GetPath()), FullFolderPath(lastCompareDir_));
    if (listShowsDir)
        input.CompareList = RecordsOf(*compareList);
    else
        compareList = nullptr;
    input.CompareWindowShown = compareList != nullptr;

    TDirCompareResult result;
    {
        TProgressSession progress(services_.Window(), L"Dateien vergleichen", 100,
                                  [this](TForm& form) { services_.PlaceProgressForm(form); });
        TProgressform& bar = progress.Form();
        bar.OnAbort = [this] { host_.AbortFileComparison(); };
        TDirCompareHost walk;
        walk.ListFolder = ListFolderRecords;
        // The contents are compared on workers; this thread keeps the
        // window answering and watches for Esc, "Abbrechen" and a close.
        walk.CompareOnWorker = [this](const std::wstring& a, const std::wstring& b, const std::atomic<bool>& stop) {
            return host_.CompareFileContentsOnWorker(a, b, stop);
        };
        walk.Workers = DirCompareWorkerCount();
        walk.ProcessMessages = [] {
            if (Application)
                Application->ProcessMessages();
        };
        walk.NowMs = SteadyMs;
        walk.ShowProgress = [&bar](int position) { bar.Progress(position); };
        walk.ShowLabel = [&bar](const std::wstring& text) { bar.SetLabelText(text); };
        walk.Aborted = [this, &bar] { return abortWalk_ || bar.Aborted() || host_.EscapePressed(); };
        result = RunDirCompare(std::move(input), walk);
    }
    if (result.Status == TDirCompareStatus::Aborted || closeAfterWalk_)
        return;
    ApplyResult(result, *active, compareList);
    services_.ShowMessageBox(DirCompareSummary(chosen, static_cast<unsigned>(active->SelCount()),
                                               compareList ? static_cast<unsigned>(compareList->SelCount()) : 0,
                                               compareList != nullptr, wordOf(active),
                                               compareList ? wordOf(compareList) : L"", result.Unreadable),
                             TMsgDlgType::mtInformation, kDirCompareHelpContext, kBoxButtons);
}

void TCompareCommands::ApplyResult(const TDirCompareResult& Result, TDirView& Active, TDirView* Compare)
{
    Active.ReplaceSelection(Result.ActiveItems);
    if (Compare)
        Compare->ReplaceSelection(Result.CompareItems);
    for (TDirView* list : {&Active, Compare})
        if (list && list->HandleAllocated() && list->ItemFocused())
            SendMessageW(list->Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(list->IndexOf(list->ItemFocused())),
                         FALSE);
    services_.RefreshStatusBar();
    Active.SetFocus();
}

void TCompareCommands::HelpAboutExecute(const std::wstring& ProductTitle)
{
    wchar_t path[MAX_PATH * 4] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length == 0)
        TraceIgnoredFailure(L"about box: the program's file name", GetLastError());
    TAboutBox box(nullptr, ProductTitle, path);
    box.ShowModal();
}

}  // namespace qrv
