// The archive list's operations on the entries of the open archive:
// extracting, testing, adding, deleting, opening an entry and writing an
// edited copy back, the properties box and the readers' reports.

#include "archives/win/KyZipLV.h"

#include "archives/ArchiveError.h"
#include "archives/KyACE2.h"
#include "archives/KyRarArc.h"
#include "archives/win/ArchiveTempFolder.h"
#include "archives/win/KyCab.h"
#include "archives/win/KyPasswordForm.h"
#include "archives/win/KyZipper.h"
#include "common/BaseUtils.h"
#include "common/SafeExtractPath.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/Forms.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/WaitCursor.h"
#include "panels/win/LocaleCollator.h"
#include "panels/win/ShellDialogs.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

namespace qrv {

namespace {

const wchar_t* const kBusyText = L"Das Archivsystem ist beschäftigt und kann nicht reagieren.";
const wchar_t* const kNoAddText = L"Dieses Archiv erlaubt nicht das Hinzufügen von Dateien.";
const wchar_t* const kAddBusyText = L"Dateien können nicht hinzugefügt werden, weil das Archivsystem beschäftigt ist.";
const wchar_t* const kCabTestText = L"Testen eines Archivs ist bei Cabinet-Archiven nicht möglich.";

TStringList ListOf(const std::vector<std::wstring>& names)
{
    TStringList list;
    for (const std::wstring& name : names)
        list.Add(name);
    return list;
}

// The last write time and size of a file (Exists false when it is none).
TCopyState CopyStateOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    TCopyState state;
    if (!FileAttributeData(path, data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return state;
    state.Exists = true;
    state.WriteTime = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    state.Size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return state;
}

uint32_t FileDosTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!FileAttributeData(path, data))
        return 0;
    FILETIME local{};
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return (uint32_t(date) << 16) | time;
}

HWND RootWindow(HWND control)
{
    return control ? GetAncestor(control, GA_ROOT) : nullptr;
}

bool SameFolderOrBelow(const std::wstring& path, const std::wstring& folder)
{
    if (folder.empty())
        return false;
    const std::wstring upperPath = UpperCase(AddBackslash(path));
    const std::wstring upperFolder = UpperCase(AddBackslash(folder));
    return upperPath.compare(0, upperFolder.size(), upperFolder) == 0 ||
           upperFolder.compare(0, upperPath.size(), upperPath) == 0;
}

}  // namespace

// --- the readers' reports ---------------------------------------------------

void TKyZipLV::WireReaders()
{
    zipper_->PasswordReqCount = 3;
    zipRunner_.Extract = [this](const std::vector<std::wstring>& specs, unsigned options, const std::wstring& baseDir) {
        const bool testing = (options & ExtrTest) != 0;
        zipper_->FSpecArgs = specs;
        zipper_->ExtrOptions = options;
        zipper_->ExtrBaseDir = baseDir;
        if (testing)
            zipper_->Unattended = false;
        zipper_->Extract();
        if (testing)
            zipper_->ExtrOptions = 0;
    };
    zipRunner_.SuccessCount = [this] { return zipper_->SuccessCnt(); };
    zipRunner_.ErrCode = [this] { return zipper_->ErrCode(); };
    zipRunner_.Cancelled = [this] { return zipper_->Cancel(); };
    zipRunner_.SetCancel = [this](bool cancel) { zipper_->SetCancel(cancel); };
    zipRunner_.Contents = [this]() -> const TZipEntries& { return zipper_->ZipContents(); };
    runs_.WireZip(zipper_->CallbackEvents(), zipRunner_);
    runs_.WireRar(*rar_);
    runs_.WireAce(*ace_);

    runs_.OnMessage = [this](int code, const std::wstring& text) {
        if (OnMessage)
            OnMessage(this, code, text);
    };
    runs_.OnProgress = [this](int done) {
        if (OnProgress)
            OnProgress(this, done);
    };
    runs_.OnStartExtract = [this](int total) {
        if (OnStartExtract)
            OnStartExtract(this, total);
    };
    runs_.OnEndExtract = [this] {
        if (OnEndExtract)
            OnEndExtract(this);
        operationKind_ = okNone;
    };
    runs_.OnCRC32Error = [this](const std::wstring& file, uint32_t found, uint32_t expected, bool& doExtract) {
        if (OnCRC32Error) {
            OnCRC32Error(this, file, found, expected, doExtract);
            return;
        }
        MessageBeep(MB_ICONERROR);
        MessageDlg(L"CRC-Fehler bei Datei " + file + L" aufgetreten.", TMsgDlgType::mtError, mbOK, HelpContext);
    };
    runs_.Overwrite = [this](const std::wstring& folder, const std::wstring& file, int64_t size, uint32_t time,
                             bool isOlder, bool proposed) -> std::optional<bool> {
        if (!OnOverwrite)
            return std::nullopt;
        bool doOverwrite = proposed;
        OnOverwrite(this, folder, file, size, time, isOlder, doOverwrite);
        return doOverwrite;
    };
    runs_.ZipPasswordEvent = [this](std::wstring& password, const std::wstring& file, uint32_t& repeat) {
        if (!OnPasswordError)
            return false;
        OnPasswordError(this, password, file, repeat);
        return true;
    };
    runs_.AskPassword = [this](const std::wstring& file) { return AskPassword(file); };
    runs_.ConfirmOverwrite = [this] { return ConfirmOverwrite; };
    runs_.OemToText = [](std::string_view name) { return SystemOemEncoding().GetString(name); };
    runs_.Files.Exists = [](const std::wstring& path) { return FileExists(path); };
    runs_.Files.DosTime = FileDosTime;
    runs_.Files.IsReadOnly = [](const std::wstring& path) {
        const DWORD attributes = FileAttributes(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    };
    runs_.Files.DeleteReadOnly = [](const std::wstring& path) {
        if (DeleteFileW(path.c_str()))
            return true;
        if (SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) && DeleteFileW(path.c_str()))
            return true;
        TraceIgnoredFailure(L"deleting a read-only file before it is replaced", GetLastError());
        return false;
    };

    cab_->OnError = [this](TKyCAB*, const std::wstring& text) { runs_.Report(0, text); };
    cab_->OnCopyFile = [this](TKyCAB*, const std::wstring& target, int32_t size, uint16_t date, uint16_t time, uint16_t,
                              TFileCopyAction& action) {
        if (FileExists(target) && !runs_.MayReplace(target, size, (uint32_t(date) << 16) | time))
            action = fcaSkip;
    };
    cab_->OnCloseCopyFile = [this](TKyCAB*, const std::wstring& name, int position) {
        runs_.FileDone(TFileReport::Extracted, true, name, position);
    };
}

std::wstring TKyZipLV::AskPassword(const std::wstring& fileName)
{
    if (PasswordPrompt)
        return PasswordPrompt(fileName);
    TPasswordDialog dialog(nullptr);
    if (TForm* main = Application ? Application->MainForm() : nullptr)
        CenterFormOverControl(*main, dialog);
    dialog.LblFileName->SetCaption(fileName);
    dialog.OnShow = [&dialog](TComponent*) { dialog.edPassword->SetFocus(); };
    if (dialog.ShowModal() != mrOk)
        return {};
    return dialog.edPassword->Text();
}

// --- the guard of every operation -------------------------------------------

bool TKyZipLV::IsZipBusy() const
{
    return zipper_->ZipBusy();
}

bool TKyZipLV::IsUnzipBusy() const
{
    return zipper_->UnzBusy();
}

bool TKyZipLV::Busy() const
{
    return operating_ || writingBack_ || zipper_->ZipBusy() || zipper_->UnzBusy() || rar_->Busy() || cab_->Busy() ||
           ace_->Busy();
}

bool TKyZipLV::MayOperate()
{
    // A reader may still name the archive last closed: only the view's own
    // open archive is worked on.
    if (archiveKind_ == akNone || GetArchiveName().empty()) {
        MessageBeep(0);
        return false;
    }
    if (Busy()) {
        MessageBeep(MB_ICONERROR);
        runs_.Report(0, kBusyText);
        return false;
    }
    return true;
}

std::vector<std::wstring> TKyZipLV::SelectedNames()
{
    std::vector<std::wstring> names;
    if (HandleAllocated())
        ReadSelectionFromControl();
    for (int row = 0; row < items_.Count(); ++row)
        if (items_[row].Selected)
            names.push_back(items_.EntryOf(items_[row]).StoredName);
    return names;
}

// --- extracting and testing -------------------------------------------------

bool TKyZipLV::ExtractFiles(const std::vector<std::wstring>& names, const std::wstring& target, bool useStoredPaths)
{
    if (names.empty() || !MayOperate())
        return false;
    if (archiveKind_ == akZip && VerifyFloppy && !tested_) {
        const std::wstring archive = GetArchiveName();
        const std::wstring root = archive.size() > 1 && archive[1] == L':' ? archive.substr(0, 2) + L"\\" : L"";
        if (!root.empty() && GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE && !TestArchive())
            throw Exception(L"Das Archiv ist beschädigt.");
    }
    operating_ = true;
    operationKind_ = okExtract;
    const std::wstring folder = AddBackslash(target);
    const TWaitCursor hourglass;
    ScopeExit done([&] {
        operating_ = false;
        operationKind_ = okNone;
    });
    const int count = static_cast<int>(names.size());
    bool ok = false;
    switch (archiveKind_) {
    case akZip:
        ok = runs_.ExtractZip(zipRunner_, names, folder, useStoredPaths,
                              items_.Count() + static_cast<int>(items_.HiddenByFilter()));
        break;
    case akRAR:
        ok = runs_.ExtractRar(*rar_, names, folder, useStoredPaths);
        break;
    case akCabinet:
        runs_.BeginRun(useStoredPaths);
        runs_.ForgetPassword();
        cab_->SetFilesToExtract(ListOf(names));
        cab_->SetTargetDir(folder);
        ok = runs_.Announced(count, [&] { return cab_->Extract(useStoredPaths); });
        break;
    case akACE:
        ok = runs_.ExtractAce(*ace_, names, folder, useStoredPaths);
        break;
    default:
        break;
    }
    return ok;
}

bool TKyZipLV::ExtractSelected(const std::wstring& directory, bool useStoredPaths, bool remember)
{
    const std::vector<std::wstring> selected = SelectedNames();
    if (selected.empty())
        return false;
    const bool everySelected = static_cast<int>(selected.size()) == items_.Count();
    const std::vector<std::wstring> specs =
        ExtractSpecs(archiveKind_ == akZip, everySelected, items_.HiddenByFilter() == 0 && Mask() == L"*.*", selected);
    const std::wstring folder = AddBackslash(directory);
    if (!DirExists(folder) && !CreateDirectoryW(RemoveBackslash(folder).c_str(), nullptr))
        TraceIgnoredFailure(L"creating the extraction folder", GetLastError());
    // Where each copy lands by the rule every extractor keeps: a name
    // refused there (a ".." level) is written nowhere and deleted nowhere.
    if (remember)
        for (int row = 0; row < items_.Count(); ++row)
            if (items_[row].Selected)
                if (const auto copy = SafeExtractPath(folder, items_.EntryOf(items_[row]).StoredName, useStoredPaths))
                    RememberExtractedFile(*copy);
    return ExtractFiles(specs, folder, useStoredPaths);
}

bool TKyZipLV::TestFiles(const std::vector<std::wstring>& names)
{
    if (names.empty())
        throw EArchiveError(L"Keine Dateien vorhanden.");
    if (archiveKind_ == akCabinet) {
        runs_.Report(0, kCabTestText);
        throw EArchiveError(kCabTestText);
    }
    if (!MayOperate())
        return false;
    operating_ = true;
    operationKind_ = okTest;
    ScopeExit done([&] {
        operating_ = false;
        operationKind_ = okNone;
    });
    bool ok = false;
    switch (archiveKind_) {
    case akZip: {
        const std::wstring baseDir =
            zipper_->ExtrBaseDir.empty() ? ExtractFilePath(GetArchiveName()) : zipper_->ExtrBaseDir;
        ok = runs_.TestZip(zipRunner_, baseDir, items_.Count() + static_cast<int>(items_.HiddenByFilter()));
        break;
    }
    case akRAR:
        ok = runs_.TestRar(*rar_, items_.Count());
        break;
    case akACE:
        ok = runs_.TestAce(*ace_, items_.Count());
        break;
    default:
        break;
    }
    return ok;
}

bool TKyZipLV::TestArchive()
{
    if (items_.Count() == 0)
        return true;
    const TWaitCursor hourglass;
    tested_ = TestFiles({L"*.*"});
    return tested_;
}

// --- adding and deleting (zip only) -----------------------------------------

bool TKyZipLV::RunZipAdd(const std::vector<std::wstring>& specs, unsigned options, int meant,
                         const std::wstring& rootDir)
{
    operating_ = true;
    operationKind_ = okAdd;
    const TWaitCursor hourglass;
    ScopeExit done([&] {
        operating_ = false;
        operationKind_ = okNone;
        zipper_->RootDir.clear();
        zipper_->FSpecArgsExcl.clear();
    });
    runs_.BeginRun(true);
    zipper_->AddOptions = options;
    zipper_->FSpecArgs = specs;
    zipper_->RootDir = rootDir;
    // The view's own copies never go into an archive.
    if (tempFolder_ && !tempFolder_->Folder().empty())
        zipper_->FSpecArgsExcl = {L"*$Zovura\\*"};
    zipper_->Add();
    if (meant < 0)
        return zipper_->ErrCode() == 0;
    return ZipRunSucceeded(meant, zipper_->SuccessCnt(), 0, zipper_->ErrCode());
}

bool TKyZipLV::AddFiles(const std::vector<std::wstring>& files)
{
    if (files.empty() || archiveKind_ != akZip || !MayOperate())
        return false;
    // Neither the archive itself nor a copy of the view's own is added.
    const std::wstring archive = UpperCase(GetArchiveName());
    const std::wstring own = tempFolder_ ? tempFolder_->Folder() : std::wstring();
    std::vector<std::wstring> kept;
    for (const std::wstring& file : files)
        if (UpperCase(file) != archive && (own.empty() || !SameFolderOrBelow(ExtractFilePath(file), own)))
            kept.push_back(file);
    if (kept.empty())
        return false;
    return RunZipAdd(kept, AddHiddenFiles, static_cast<int>(kept.size()), {});
}

bool TKyZipLV::AddDirectories(const std::vector<std::wstring>& directories, bool withDirNames)
{
    if (directories.empty() || archiveKind_ != akZip || !MayOperate()) {
        MessageBeep(0);
        return false;
    }
    const std::wstring own = tempFolder_ ? tempFolder_->Folder() : std::wstring();
    for (const std::wstring& directory : directories)
        if (!own.empty() && SameFolderOrBelow(directory, own) &&
            UpperCase(AddBackslash(directory)).size() >= UpperCase(own).size())
            return false;  // the view's own folder itself
    const TAddDirectoriesPlan plan = PlanAddDirectories(directories);
    // The base folder goes to the component as its root: the process's
    // current folder is never changed.
    const unsigned options = AddRecurseDirs | AddHiddenFiles | (withDirNames ? AddDirNames : 0u);
    return RunZipAdd(plan.Specs, options, -1, plan.BaseFolder);
}

bool TKyZipLV::AddDirectory(const std::wstring& directory, bool withDirNames)
{
    return AddDirectories({directory}, withDirNames);
}

bool TKyZipLV::DeleteFiles(const std::vector<std::wstring>& names)
{
    if (names.empty() || archiveKind_ != akZip || !MayOperate())
        return false;
    operating_ = true;
    const TWaitCursor hourglass;
    ScopeExit done([&] { operating_ = false; });
    zipper_->FSpecArgs = names;
    zipper_->Delete();
    return ZipRunSucceeded(static_cast<int>(names.size()), zipper_->SuccessCnt(), 0, zipper_->ErrCode());
}

void TKyZipLV::DeleteSelected()
{
    bool doDelete = true;
    if (OnDeleteFiles)
        OnDeleteFiles(this, doDelete);
    if (!doDelete || archiveKind_ != akZip)
        return;
    const std::vector<std::wstring> names = SelectedNames();
    if (!names.empty() && !DeleteFiles(names))
        TraceIgnoredFailure(L"deleting archive entries (reported through OnMessage)");
}

bool TKyZipLV::CreateEmptyZip(const std::wstring& fileName)
{
    if (fileName.empty())
        return false;
    static const char kEmptyArchive[22] = {'P', 'K', 5, 6};
    // CREATE_NEW: an existing file is never replaced.
    TFileHandle file(
        CreateFileW(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), kEmptyArchive, sizeof kEmptyArchive, &written, nullptr) &&
           written == sizeof kEmptyArchive;
}

void TKyZipLV::AbortOperation(bool abort)
{
    switch (archiveKind_) {
    case akZip:
        if (zipper_->UnzBusy() || zipper_->ZipBusy())
            zipper_->SetCancel(abort);
        break;
    case akRAR:
        rar_->Stop = abort;
        break;
    case akCabinet:
        cab_->Stop = abort;
        break;
    case akACE:
        ace_->Stop = abort;
        break;
    default:
        break;
    }
}

// --- opening entries and writing them back -----------------------------------

TArchiveTempFolder& TKyZipLV::TempFolder()
{
    if (!tempFolder_)
        tempFolder_ = std::make_unique<TArchiveTempFolder>();
    return *tempFolder_;
}

bool TKyZipLV::ExtractItemToTemp(int row)
{
    lastTempCopy_.clear();
    if (row < 0 || row >= items_.Count() || !MayOperate())
        return false;
    const std::wstring folder = TempFolder().NewSubfolder();
    if (folder.empty()) {
        runs_.Report(1, L"Der temporäre Ordner kann nicht angelegt werden.");
        return false;
    }
    const TArchiveEntry entry = items_.EntryOf(items_[row]);
    const auto safeCopy = SafeExtractPath(folder, entry.StoredName, false);
    if (!safeCopy)
        return false;
    const bool savedConfirm = ConfirmOverwrite;
    ConfirmOverwrite = false;
    ScopeExit restore([&] { ConfirmOverwrite = savedConfirm; });
    bool ok = false;
    if (archiveKind_ == akACE)
        SetPreserveDirs(false);
    ok = ExtractFiles({entry.StoredName}, folder, false);
    if (archiveKind_ == akZip)
        ok = ok && zipper_->SuccessCnt() == 1;
    const std::wstring copy = *safeCopy;
    if (!ok || !FileExists(copy))
        return false;
    RememberExtractedFile(copy);
    lastTempCopy_ = copy;
    if (archiveKind_ == akZip && items_[row].Path().empty()) {
        TWriteBackRecord record;
        record.Path = copy;
        record.StoredName = entry.StoredName;
        const TCopyState state = CopyStateOf(copy);
        record.WriteTime = state.WriteTime;
        record.Size = state.Size;
        record.Encrypted = entry.Encrypted;
        record.Password = entry.Encrypted ? runs_.Password() : std::wstring();
        writeBack_.push_back(std::move(record));
    }
    return true;
}

void TKyZipLV::OpenItem()
{
    if (HandleAllocated())
        ReadSelectionFromControl();
    int row = HandleAllocated() ? ItemFocused() : -1;
    if (row < 0 || row >= items_.Count() || !items_[row].Selected) {
        row = -1;
        for (int i = 0; i < items_.Count() && row < 0; ++i)
            if (items_[i].Selected)
                row = i;
    }
    if (row < 0) {
        MessageBeep(0);
        return;
    }
    if (GetKeyState(VK_MENU) < 0) {
        ShowItemProperties();
        return;
    }
    const std::wstring name(items_[row].Name());
    auto open = [this](const std::wstring& file) {
        if (!FileExists(file))
            return;
        bool opened = ShellOpen ? ShellOpen(file) : InvokeShellVerb(RootWindow(handle_), L"", file);
        if (!opened && !ShellOpen) {
            // A file whose folder offers no default verb: by its association.
            SHELLEXECUTEINFOW run{};
            run.cbSize = sizeof run;
            run.fMask = SEE_MASK_FLAG_NO_UI;
            run.hwnd = RootWindow(handle_);
            run.lpFile = file.c_str();
            run.lpDirectory = nullptr;
            run.nShow = SW_SHOWNORMAL;
            opened = ShellExecuteExW(&run) != FALSE;
        }
        if (!opened)
            runs_.Report(1, L"Die Datei \"" + file + L"\" kann nicht geöffnet werden.");
    };
    std::vector<TListedEntry> listed;
    listed.reserve(static_cast<size_t>(items_.Count()));
    for (int i = 0; i < items_.Count(); ++i)
        listed.push_back({std::wstring(items_[i].Name()), std::wstring(items_[i].Path())});
    const std::vector<size_t> together = OpenedTogether(listed, static_cast<size_t>(row));
    const auto storedName = [this](size_t i) { return items_.EntryOf(items_[static_cast<int>(i)]).StoredName; };
    if (IsSetupProgram(name)) {
        // A setup program needs its folder's other files beside it.
        if (!MayOperate())
            return;
        const std::wstring folder = TempFolder().NewSubfolder();
        std::vector<std::wstring> names;
        std::vector<std::wstring> copies;
        for (size_t i : together)
            if (const auto copy = SafeExtractPath(folder, storedName(i), false)) {
                names.push_back(storedName(i));
                copies.push_back(*copy);
            }
        if (folder.empty() || copies.empty() || !ExtractFiles(names, folder, false))
            return;
        for (const std::wstring& copy : copies)
            RememberExtractedFile(copy);
        lastTempCopy_ = copies.front();
        open(lastTempCopy_);
        return;
    }
    if (!ExtractItemToTemp(row))
        return;
    const std::wstring copy = lastTempCopy_;
    // The entries it needs beside it (a help file's contents file).
    const std::wstring folder = ExtractFilePath(copy);
    for (size_t k = 1; k < together.size(); ++k) {
        const auto companion = SafeExtractPath(folder, storedName(together[k]), false);
        if (companion && ExtractFiles({storedName(together[k])}, folder, false))
            RememberExtractedFile(*companion);
    }
    lastTempCopy_ = copy;
    open(copy);
}

void TKyZipLV::WriteBackChangedFiles(int helpContext)
{
    if (writingBack_ || Busy() || archiveKind_ != akZip || writeBack_.empty())
        return;
    writingBack_ = true;
    std::vector<size_t> queued;
    {
        ScopeExit done([&] { writingBack_ = false; });
        queued = AskWriteBack(
            writeBack_, CopyStateOf,
            [&](const std::wstring& fileName) {
                const std::wstring question = WriteBackQuestion(fileName);
                const int answer = WriteBackPrompt ? WriteBackPrompt(question, helpContext)
                                                   : MessageDlg(question, TMsgDlgType::mtConfirmation,
                                                                mbYes | mbNo | mbCancel | mbHelp, helpContext);
                switch (answer) {
                case IDYES:
                    return TWriteBackAnswer::Yes;
                case IDNO:
                    return TWriteBackAnswer::No;
                case IDCANCEL:
                    return TWriteBackAnswer::Cancel;
                default:
                    return TWriteBackAnswer::Other;
                }
            },
            [] { MessageBeep(0); });
    }
    if (!queued.empty() && !WriteBackQueued(std::move(queued)))
        TraceIgnoredFailure(L"writing edited copies back (kept for another try)");
}

bool TKyZipLV::WriteBackQueued(std::vector<size_t> queued)
{
    if (!MayOperate())
        return false;
    // One add per password: an encrypted entry goes back encrypted with the
    // password it was opened with. The entry is replaced whatever the
    // copy's time says (an edit in the same two seconds, an entry dated in
    // the future); a record goes only when its copy is in the archive.
    return WriteBackInRuns(
        writeBack_, queued, [this](const std::wstring& fileName) { return AskPassword(fileName); },
        [this](const TWriteBackRun& run) {
            zipper_->Password = run.Encrypted ? run.Password : std::wstring();
            ScopeExit forget([&] { zipper_->Password.clear(); });
            const unsigned options = AddHiddenFiles | (run.Encrypted ? AddEncrypt : 0u);
            return RunZipAdd(run.Paths, options, static_cast<int>(run.Paths.size()), {});
        },
        writtenBack_);
}

std::vector<std::wstring> TKyZipLV::ChangedCopies() const
{
    std::vector<std::wstring> changed;
    for (const TWriteBackRecord& record : writeBack_) {
        const TCopyState now = CopyStateOf(record.Path);
        if (now.Exists && (now.WriteTime != record.WriteTime || now.Size != record.Size))
            changed.push_back(record.Path);
    }
    return changed;
}

void TKyZipLV::KeepChangedCopies(const std::vector<std::wstring>& changed)
{
    for (const std::wstring& path : changed) {
        if (std::find(writtenBack_.begin(), writtenBack_.end(), path) != writtenBack_.end() || !FileExists(path))
            continue;
        const int listed = extractedFiles_.IndexOf(path);
        if (listed >= 0)
            extractedFiles_.Delete(listed);
        TempFolder().KeepOnClose();
        runs_.Report(0, L"Die geänderte Datei \"" + path +
                            L"\" wurde nicht in das Archiv übernommen und bleibt erhalten.");
    }
    writeBack_.clear();
    writtenBack_.clear();
}

// --- the properties box -----------------------------------------------------

void TKyZipLV::ShowItemProperties()
{
    if (HandleAllocated())
        ReadSelectionFromControl();
    int row = -1;
    for (int i = 0; i < items_.Count() && row < 0; ++i)
        if (items_[i].Selected)
            row = i;
    if (row < 0) {
        MessageBeep(0);
        return;
    }
    TZipItem& item = items_[row];
    if (!item.Type)
        LookUpFileInfo(item);
    const TArchiveEntry entry = items_.EntryOf(item);
    TItemProperties properties;
    properties.Name = std::wstring(item.Name());
    properties.Path = std::wstring(item.Path());
    properties.Changed = FormatDosTime(entry.DateTime);
    properties.TypeName = std::wstring(item.TypeName());
    properties.Size = entry.Size;
    properties.PackedSize = entry.PackedSize;
    properties.CRC = entry.CRC;
    MessageDlg(ItemPropertiesText(properties, LocaleThousandSeparator()), TMsgDlgType::mtInformation, mbOK,
               HelpContext);
}

// --- the popup's dialogs ----------------------------------------------------

void TKyZipLV::ExtractDialog()
{
    const std::vector<std::wstring> names = SelectedNames();
    if (names.empty() || IsZipBusy() || !OnSelDir) {
        MessageBeep(0);
        return;
    }
    TSelDirParams params;
    params.Directory = lastExtractDir_.empty() ? RemoveBackslash(ExtractFilePath(GetArchiveName())) : lastExtractDir_;
    params.Checked = lastExtractChecked_;
    TSelDirConsts consts;
    std::wstring firstName;
    for (int row = 0; row < items_.Count(); ++row)
        if (items_[row].Selected) {
            if (firstName.empty())
                firstName = std::wstring(items_[row].Name());
            consts.CheckVisible = consts.CheckVisible || !items_[row].Path().empty();
        }
    consts.Caption = ExtractDialogCaption(static_cast<int>(names.size()), firstName, ExtractFileName(GetArchiveName()));
    consts.CheckCaption = L"mit &Verzeichnisstruktur";
    consts.CheckHint = L"Die markierten Dateien werden beim Extrahieren in die ursprünglichen Unterverzeichnisse "
                       L"gestellt";
    OnSelDir(this, params, consts);
    if (params.Canceled)
        return;
    lastExtractDir_ = params.Directory;
    lastExtractChecked_ = params.Checked;
    if (!ExtractSelected(params.Directory, params.Checked, false))
        TraceIgnoredFailure(L"extracting into the chosen folder (reported through OnMessage)");
}

void TKyZipLV::AddFilesDialog()
{
    if (archiveKind_ != akZip)
        throw EArchiveError(kNoAddText);
    if (GetArchiveName().empty() || Busy())
        throw EArchiveError(kAddBusyText);
    if (addFilesFolder_.empty())
        addFilesFolder_ = ExtractFilePath(GetArchiveName());
    const std::wstring title = L"Dateien zu Archiv \"" + ExtractFileName(GetArchiveName()) + L"\" hinzufügen";
    std::vector<std::wstring> files;
    if (ChooseFiles) {
        files = ChooseFiles(title, addFilesFolder_);
    } else {
        std::wstring buffer(65536, L'\0');
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = RootWindow(handle_);
        ofn.lpstrFilter = L"Alle Dateien (*.*)\0*.*\0";
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrInitialDir = addFilesFolder_.c_str();
        ofn.lpstrTitle = title.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (!GetOpenFileNameW(&ofn))
            return;
        // One name, or the folder and then each name, each ended by a zero.
        const wchar_t* at = buffer.c_str();
        const std::wstring first = at;
        at += first.size() + 1;
        if (!*at) {
            files.push_back(first);
        } else {
            for (; *at; at += wcslen(at) + 1)
                files.push_back(AddBackslash(first) + at);
        }
    }
    if (files.empty())
        return;
    addFilesFolder_ = ExtractFilePath(files.front());
    if (!AddFiles(files))
        MessageDlg(L"Fehler beim Hinzufügen der Datei(en) aufgetreten.", TMsgDlgType::mtError, mbOK, HelpContext);
}

void TKyZipLV::AddDirectoryDialog()
{
    if (archiveKind_ != akZip)
        throw EArchiveError(kNoAddText);
    if (!OnSelDir || GetArchiveName().empty() || Busy())
        throw EArchiveError(kAddBusyText);
    TSelDirParams params;
    params.Directory = lastAddDir_.empty() ? RemoveBackslash(ExtractFilePath(GetArchiveName())) : lastAddDir_;
    params.Checked = true;
    TSelDirConsts consts;
    consts.Caption = L"Verzeichnis hinzufügen...";
    consts.CheckCaption = L"mit &Verzeichnisstruktur";
    consts.CheckVisible = false;
    consts.CheckHint = L"Die Dateien werden mit Verzeichnisstruktur in das Archiv aufgenommen";
    OnSelDir(this, params, consts);
    if (params.Canceled)
        return;
    lastAddDir_ = params.Directory;
    if (!AddDirectory(params.Directory, params.Checked))
        TraceIgnoredFailure(L"adding a folder (reported through OnMessage)");
}

}  // namespace qrv
