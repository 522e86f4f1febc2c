#include "mainwindow/win/PaneDrops.h"

#include "common/BaseUtils.h"
#include "common/KyNotify.h"
#include "common/win/FileQueries.h"
#include "dialogs/win/Progressform.h"
#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"
#include "mainwindow/FileVerify.h"
#include "mainwindow/win/WinVerifyFiles.h"
#include "panels/DirViewTexts.h"
#include "panels/DropRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

#include <algorithm>
#include <optional>

namespace qrv {

namespace {

constexpr int kDuplicateHelp = 550;
constexpr int kReadErrorHelp = 350;

uint64_t FileTimeValue(const FILETIME& Time)
{
    return (static_cast<uint64_t>(Time.dwHighDateTime) << 32) | Time.dwLowDateTime;
}

// The disk as the drop decisions ask it.
TDropFileSystem DiskFileSystem()
{
    TDropFileSystem fs;
    fs.Find = [](const std::wstring& Path) -> std::optional<TDropEntry> {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!FileAttributeData(Path, data))
            return std::nullopt;
        TDropEntry entry;
        entry.Directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.ReadOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        entry.Size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.WriteTime = FileTimeValue(data.ftLastWriteTime);
        return entry;
    };
    fs.List = [](const std::wstring& Folder) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        TFindHandle find(FindFirstFileExW((AddBackslash(Folder) + L"*").c_str(), FindExInfoBasic, &found,
                                          FindExSearchNameMatch, nullptr, 0));
        if (!find)
            return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(find.Get(), &found));
        return names;
    };
    return fs;
}

// Reads a diskette file to its end as the verification does, in its small
// blocks, so that the progress form's "Abbrechen" is soon seen.
TDisketteRead ReadsWhole(const std::wstring& Path, uint64_t Size, TProgressform* Progress)
{
    TWinVerifyFiles files;
    TVerifyUi ui;
    ui.Cancelled = [Progress] { return Progress && Progress->Aborted(); };
    std::vector<uint8_t> buffer;
    switch (VerifyFile(files, Path, static_cast<int64_t>(Size), kVerifyBlockRemovable, ui, buffer)) {
    case TVerifyOutcome::Read:
        return TDisketteRead::Read;
    case TVerifyOutcome::Aborted:
        return TDisketteRead::Cancelled;
    case TVerifyOutcome::NotOpened:
    case TVerifyOutcome::ShortRead:
        break;
    }
    return TDisketteRead::Faulty;
}

bool IsCdRomDrive(wchar_t Drive)
{
    const wchar_t root[] = {Drive, L':', L'\\', 0};
    return Drive != 0 && GetDriveTypeW(root) == DRIVE_CDROM;
}

}  // namespace

bool TPaneDrops::IsDisketteDrive(wchar_t Drive)
{
    if (Drive == 0)
        return false;
    wchar_t firstFixed = L'C';
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if (GetDriveTypeW(root) == DRIVE_FIXED) {
            firstFixed = letter;
            break;
        }
    }
    return static_cast<wchar_t>(std::towupper(Drive)) < firstFixed;
}

void TPaneDrops::Attach(TDriveView& Tree, const std::vector<TDirView*>& Lists)
{
    tree_ = &Tree;
    std::vector<std::pair<TPaneDragDrop*, TDirView*>> panes{{&Tree.DragDrop(), nullptr}};
    for (TDirView* list : Lists)
        panes.emplace_back(&list->DragDrop(), list);
    for (const auto& entry : panes) {
        TPaneDragDrop* pane = entry.first;
        TDirView* list = entry.second;
        pane->OnDDDragEnter = [this](TPaneDragDrop* Sender) { dropTarget_ = Sender; };
        pane->OnDDDragLeave = [this](TPaneDragDrop*) { dropTarget_ = nullptr; };
        if (list) {
            pane->OnDDDragOver = [this, list](TPaneDragDrop*, uint32_t Keys, POINT, uint32_t& Effect) {
                ListDragOver(*list, Keys, Effect);
            };
            pane->OnDDProcessDropped = [this, list](TPaneDragDrop*, uint32_t Keys, POINT, uint32_t& Effect) {
                ListProcessDropped(*list, Keys, Effect);
            };
            pane->OnDDExecuted = [this, list](TPaneDragDrop*, uint32_t) {
                services_.UpdateActionStates();
                services_.RefreshStatusBar();
                host_.SetLastFileOperator(&list->FileOperator());
            };
        } else {
            pane->OnDDDragOver = [this](TPaneDragDrop* Sender, uint32_t Keys, POINT, uint32_t& Effect) {
                TreeDragOver(*Sender, Keys, Effect);
            };
            pane->OnDDExecuted = [this](TPaneDragDrop*, uint32_t) {
                services_.RefreshStatusBar();
                host_.SetLastFileOperator(&tree_->FileOperator());
            };
        }
        pane->OnDDFileOperation = [this](TPaneDragDrop* Sender, uint32_t, const std::wstring& Source,
                                         const std::wstring& Target, std::vector<std::wstring>& Names,
                                         bool& DoOperation) {
            FileOperation(*Sender, Source, Target, Names, DoOperation);
        };
        pane->OnDDFileOperationExecuted = [this, list](TPaneDragDrop* Sender, uint32_t Effect,
                                                       const std::wstring& Source, const std::wstring& Target,
                                                       const std::vector<std::wstring>& Names) {
            FileOperationExecuted(*Sender, list, Effect, Source, Target, Names);
        };
        pane->OnDDError = [this](TPaneDragDrop*, int Code, const std::wstring& Path) { Error(Code, Path); };
        pane->OnDDQueryContinueDrag = [this](TPaneDragDrop*, bool, uint32_t, HRESULT& Result) {
            if (Result == DRAGDROP_S_DROP)
                host_.ReleaseHexFile();
        };
        pane->AskOverwrite = [this](const std::wstring& Folder, const std::wstring& Name) {
            const std::wstring text = FormatText(DirViewTextsFor(kLangGerman).OverwriteQuestion, {Folder, Name});
            switch (
                services_.ShowMessageBox(text, TMsgDlgType::mtConfirmation, 0, mbYes | mbNo | mbAbort | mbYesToAll)) {
            case mrYes:
                return TOverwriteAnswer::Yes;
            case mrYesToAll:
                return TOverwriteAnswer::YesToAll;
            case mrNo:
                return TOverwriteAnswer::No;
            default:
                return TOverwriteAnswer::Abort;
            }
        };
    }
}

void TPaneDrops::TreeDragOver(TPaneDragDrop& Pane, uint32_t Keys, uint32_t& Effect)
{
    const TOptions& options = host_.DropOptions();
    if (!host_.MainWindowActive() && options.BringToFront)
        host_.BringMainWindowToFront();
    TOptionDropQuery query;
    query.Option = options.DDOption;
    query.Keys = Keys;
    query.Effect = Effect;
    query.SourceEffects = Pane.Drag().SourceEffects;
    query.HasTarget = Pane.Target().Valid;
    query.FileContents = Pane.Drag().FileContents;
    query.TargetRefuses = Pane.Target().NotFileSystem;
    query.SameDrive = OnSameDrive(Pane.Drag().SourcePath, Pane.Target().Folder);
    Effect = TreeOptionEffect(query);
}

void TPaneDrops::ListDragOver(TDirView& List, uint32_t Keys, uint32_t& Effect)
{
    const TOptions& options = host_.DropOptions();
    if (!host_.MainWindowActive() && options.BringToFront)
        host_.BringMainWindowToFront();
    TPaneDragDrop& pane = List.DragDrop();
    TOptionDropQuery query;
    query.Option = options.DDOption;
    query.Keys = Keys;
    query.Effect = Effect;
    query.SourceEffects = pane.Drag().SourceEffects;
    query.HasTarget = List.Loaded();
    query.FileContents = pane.Drag().FileContents;
    query.VirtualFolder = List.IsVirtual();
    query.OwnDragOnBackground = pane.Drag().OwnDrag && !pane.Target().OnItem;
    query.SameDrive = OnSameDrive(pane.Drag().SourcePath, List.GetPath());
    Effect = ListOptionEffect(query);
}

void TPaneDrops::ListProcessDropped(TDirView& List, uint32_t /*Keys*/, uint32_t& Effect)
{
    const TPaneDragDrop& pane = List.DragDrop();
    // Files dropped onto the background of the list they came from would
    // be copies of themselves.
    if (!pane.Drag().OwnDrag || pane.Target().OnItem || List.IsVirtual() || pane.Drag().RightButton ||
        (Effect != deCopy && Effect != deMove))
        return;
    const auto count = static_cast<unsigned>(pane.Drag().Names.size());
    if (services_.ShowMessageBox(DuplicateQuestion(count), TMsgDlgType::mtConfirmation, kDuplicateHelp,
                                 mbYes | mbNo | mbCancel | mbHelp) != mrYes)
        Effect = deNone;
}

void TPaneDrops::FileOperation(TPaneDragDrop& /*Pane*/, const std::wstring& SourceFolder,
                               const std::wstring& TargetFolder, std::vector<std::wstring>& Names, bool& DoOperation)
{
    dragOperation_ = true;
    host_.ReleaseHexFile();
    if (!host_.DropOptions().VerifyFloppy || !IsDisketteDrive(DriveLetterOf(SourceFolder)))
        return;
    // A diskette file that cannot be read must not replace a good one.
    std::optional<TProgressSession> progress;
    int position = 0;
    TDisketteCheckCalls calls;
    calls.OpenProgress = [&](size_t Total) {
        progress.emplace(services_.Window(), L"Datei prüfen", static_cast<int>(Total),
                         [this](TForm& form) { services_.PlaceProgressForm(form); });
        progress->Form().Progress(position);
    };
    calls.Reading = [&](const std::wstring& Path) {
        if (progress)
            progress->Form().SetLabelText(VerifyLabel(ExtractFileName(Path)));
    };
    calls.Step = [&] {
        ++position;
        if (progress)
            progress->Form().Progress(position);
    };
    calls.Read = [&](const std::wstring& Path, uint64_t Size) {
        return ReadsWhole(Path, Size, progress ? &progress->Form() : nullptr);
    };
    calls.SkipUnreadable = [this](const std::wstring& Path) {
        return services_.ShowMessageBox(L"Fehler beim Lesen der Datei \"" + Path + L"\"", TMsgDlgType::mtError,
                                        kReadErrorHelp, mbCancel | mbIgnore | mbHelp) == mrIgnore;
    };
    const bool complete = CheckDisketteDrop(Names, TargetFolder, DiskFileSystem(), calls);
    progress.reset();
    if (!complete) {
        DoOperation = false;
        return;
    }
    services_.RefreshStatusBar();
}

void TPaneDrops::FileOperationExecuted(TPaneDragDrop& /*Pane*/, TDirView* List, uint32_t Effect,
                                       const std::wstring& SourceFolder, const std::wstring& TargetFolder,
                                       const std::vector<std::wstring>& Names)
{
    if (host_.DropOptions().CDROMAttr && Effect != deLink && IsCdRomDrive(DriveLetterOf(SourceFolder))) {
        const bool watching = List && List->WatchForChanges();
        if (List)
            List->SetWatchForChanges(false);
        for (const std::wstring& path : ReadOnlyCopiesToClear(Names, TargetFolder, DiskFileSystem())) {
            const DWORD attributes = FileAttributes(path);
            if (attributes == INVALID_FILE_ATTRIBUTES ||
                !SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
                TraceIgnoredFailure(L"making a CD copy writable", GetLastError());
                continue;
            }
            KyNotify().Notify(kneUpdateItem, path);
        }
        if (List) {
            List->ReloadDirectory();
            List->SetWatchForChanges(watching);
        }
    }
    dragOperation_ = false;
    if (Effect == deMove)
        if (TDirView* other = panes_.OtherShownList(List ? List : (tree_ ? tree_->DirView() : nullptr)))
            other->ReloadDirectory();
    services_.RefreshStatusBar();
    host_.RedisplayHexFile();
}

void TPaneDrops::Error(int Code, const std::wstring& Path)
{
    std::wstring text;
    if (Code == kDropErrorLink)
        text = L"Fehler bei Erstellung der Verküpfung für";
    else if (Code == kDropErrorNoTarget)
        text = Path.empty() ? L"Ausgewählter Pfad nicht vorhanden:" : L"Ausgewählter Pfad nicht vorhanden:\n" + Path;
    else
        text = L"Ein nicht vorhergesehener Fehler ist bei der Drag&Drop-Operation aufgetreten.";
    services_.ShowMessageBox(text, TMsgDlgType::mtError, 0, mbOK);
}

}  // namespace qrv
