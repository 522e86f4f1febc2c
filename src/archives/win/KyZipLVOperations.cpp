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

// The stored-name rule of folders: "\" between levels.
std::wstring Backslashed(std::wstring name)
{
    std::replace(name.begin(), name.end(), L'/', L'\\');
    return name;
}

std::u16string ToU16(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}

std::wstring ToWide(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
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
    TZipCallbackEvents& events = zipper_->CallbackEvents();
    events.OnMessage = [this](int code, const std::u16string& text) {
        const std::wstring message = ToWide(text);
        messages_.Add(ZipMessageText(code, message));
        if (OnMessage)
            OnMessage(this, code, message);
    };
    events.OnProgress = [this](ProgressType type, const std::u16string&, uint64_t value) { ZipProgress(type, value); };
    events.OnCRC32Error = [this](const std::u16string& file, uint32_t found, uint32_t expected, bool& doExtract) {
        CrcError(ToWide(file), found, expected, doExtract);
    };
    events.OnExtractOverwrite = [this](const std::u16string& file, bool isOlder, bool& doOverwrite, int) {
        ZipOverwrite(ToWide(file), isOlder, doOverwrite);
    };
    events.OnPasswordError = [this](bool, std::u16string& password, const std::u16string& forFile, uint32_t& repeat,
                                    TPasswordButton& action) {
        int button = action;
        ZipPassword(password, forFile, repeat, button);
        action = static_cast<TPasswordButton>(button);
    };

    rar_->OnError = [this](TKyRAR*, const std::wstring& file, int code) {
        const std::wstring text = TKyRAR::ErrorText(code) + L" / ErrorCode = " + std::to_wstring(code);
        if (code == 12) {
            bool doExtract = false;
            CrcError(file, 0, 0, doExtract);
        }
        messages_.Add(file.empty() ? text : file + L": " + text);
        if (OnMessage)
            OnMessage(this, code, text);
    };
    rar_->OnExtracting = [this](TKyRAR*, const RARHeaderData& header, bool& doExtract) {
        const std::wstring name = SystemOemEncoding().GetString(header.FileName);
        std::optional<std::wstring> target = rar_->TargetFile.empty()
                                                 ? SafeExtractPath(rar_->TargetDir(), name, readerUsePaths_)
                                                 : std::optional<std::wstring>(rar_->TargetFile);
        // A refused name is the reader's to report; nothing is touched here.
        if (target && FileExists(*target))
            doExtract = ReaderMayReplace(*target, header.UnpSize, header.FileTime);
    };
    rar_->OnExtract = [this](TKyRAR*, const RARHeaderData& header, bool ok) {
        FileDone(TFileReport::Extracted, ok, SystemOemEncoding().GetString(header.FileName), ++progress_);
    };
    rar_->OnTested = [this](TKyRAR*, const RARHeaderData& header, bool ok) {
        FileDone(TFileReport::Tested, ok, SystemOemEncoding().GetString(header.FileName), rar_->TestedCount());
    };
    rar_->OnReqPassword = [this](TKyRAR*, const RARHeaderData& header, std::wstring& password) {
        bool stop = false;
        password = ReaderPassword(SystemOemEncoding().GetString(header.FileName), stop);
        if (stop)
            rar_->Stop = true;
    };

    cab_->OnCopyFile = [this](TKyCAB*, const std::wstring& target, int32_t size, uint16_t date, uint16_t time, uint16_t,
                              TFileCopyAction& action) {
        if (FileExists(target) && !ReaderMayReplace(target, size, (uint32_t(date) << 16) | time))
            action = fcaSkip;
    };
    cab_->OnCloseCopyFile = [this](TKyCAB*, const std::wstring& name, int position) {
        FileDone(TFileReport::Extracted, true, name, position);
    };

    ace_->OnOverwrite = [this](TKyACE2*, const tACEFileDataStruc& file, bool& doExtract) {
        const std::wstring target = file.DestinationFileName ? Utf8ToWide(file.DestinationFileName) : std::wstring();
        doExtract = !target.empty() && ReaderMayReplace(target, file.Size, file.Time);
    };
    ace_->OnExtracted = [this](TKyACE2*, const tACEFileDataStruc& file, bool ok) {
        FileDone(TFileReport::Extracted, ok, Utf8ToWide(file.SourceFileName), ace_->ExtractedCount());
    };
    ace_->OnTested = [this](TKyACE2*, const tACEFileDataStruc& file, bool ok) {
        FileDone(TFileReport::Tested, ok, Utf8ToWide(file.SourceFileName), ace_->TestedCount());
    };
    ace_->OnPassword = [this](TKyACE2*, const tACEFileDataStruc& file, std::wstring& password) {
        bool stop = false;
        password = ReaderPassword(Utf8ToWide(file.SourceFileName), stop);
        if (stop)
            ace_->Stop = true;
    };
}

void TKyZipLV::Report(int code, const std::wstring& text)
{
    messages_.Add(text);
    if (OnMessage)
        OnMessage(this, code, text);
}

void TKyZipLV::FileDone(TFileReport kind, bool ok, const std::wstring& name, int done)
{
    Report(ok ? 0 : 1, FileReportText(kind, ok, name));
    if (OnProgress)
        OnProgress(this, done);
}

void TKyZipLV::ZipProgress(int type, uint64_t value)
{
    switch (type) {
    case NewFile:
        ++progress_;
        if (OnProgress)
            OnProgress(this, progress_);
        break;
    case EndOfBatch:
        progress_ = 0;
        if (OnEndExtract)
            OnEndExtract(this);
        operationKind_ = okNone;
        break;
    case TotalFiles2Process:
        progress_ = 0;
        if (OnStartExtract)
            OnStartExtract(this, static_cast<int>(value));
        break;
    default:
        break;
    }
}

void TKyZipLV::CrcError(const std::wstring& file, uint32_t found, uint32_t expected, bool& doExtract)
{
    ++crcErrors_;
    doExtract = false;
    if (OnCRC32Error) {
        OnCRC32Error(this, file, found, expected, doExtract);
        return;
    }
    MessageBeep(MB_ICONERROR);
    MessageDlg(L"CRC-Fehler bei Datei " + file + L" aufgetreten.", TMsgDlgType::mtError, mbOK, HelpContext);
}

void TKyZipLV::ZipOverwrite(const std::wstring& file, bool isOlder, bool& doOverwrite)
{
    if (!ConfirmOverwrite) {
        doOverwrite = true;
        return;
    }
    if (!OnOverwrite)
        return;
    // The entry by name and stored path, else by name alone.
    const std::wstring wanted = UpperCase(Backslashed(file));
    const std::wstring wantedName = UpperCase(StoredFileName(wanted));
    int64_t size = -1;
    uint32_t time = 33;
    const TZipEntries& entries = zipper_->ZipContents();
    bool byPath = false;
    for (size_t i = 0; i < entries.size() && !byPath; ++i) {
        const ZipDirEntry& entry = entries[i];
        const std::wstring stored = UpperCase(std::wstring(entry.FileName.begin(), entry.FileName.end()));
        if (stored == wanted || (size < 0 && StoredFileName(stored) == wantedName)) {
            byPath = stored == wanted;
            size = static_cast<int64_t>(entry.UncomprSize);
            time = entry.DateTime;
        }
    }
    OnOverwrite(this, zipper_->ExtrBaseDir, StoredFileName(Backslashed(file)), size, time, isOlder, doOverwrite);
}

bool TKyZipLV::ReaderMayReplace(const std::wstring& target, int64_t size, uint32_t dosTime)
{
    std::optional<bool> answer;
    if (ConfirmOverwrite && OnOverwrite) {
        bool doOverwrite = true;
        const bool isOlder = FileDosTime(target) >= dosTime;
        OnOverwrite(this, ExtractFilePath(target), ExtractFileName(target), size, dosTime, isOlder, doOverwrite);
        answer = doOverwrite;
    }
    const bool replace = MayReplaceExisting(ConfirmOverwrite, answer);
    const DWORD attributes = FileAttributes(target);
    if (replace && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        // The target is the reader's own safe path: nothing outside the
        // folder being extracted into is ever deleted here.
        if (!DeleteFileW(target.c_str()) && SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL) &&
            !DeleteFileW(target.c_str()))
            TraceIgnoredFailure(L"deleting a read-only file before it is replaced", GetLastError());
    }
    return replace;
}

void TKyZipLV::ZipPassword(std::u16string& password, const std::u16string& forFile, uint32_t& repeat, int& button)
{
    const std::wstring file = ToWide(forFile);
    if (OnPasswordError) {
        std::wstring given = ToWide(password);
        OnPasswordError(this, given, file, repeat);
        password = ToU16(given);
        button = repeat == 0 && given.empty() ? pwbCancel : pwbOk;
        return;
    }
    if (zipper_->Cancel()) {
        repeat = 0;
        button = pwbCancel;
        return;
    }
    // A remembered password asked for again for the same file was wrong:
    // the user is asked anew instead of being handed it once more.
    if (!password_.empty() && passwordAskedFor_ != file) {
        password = ToU16(password_);
        repeat = 0;
        button = pwbOk;
        return;
    }
    const std::wstring answer = AskPassword(file);
    if (answer.empty()) {
        repeat = 0;
        zipper_->SetCancel(true);
        button = pwbCancel;
        return;
    }
    password_ = answer;
    passwordAskedFor_ = file;
    password = ToU16(answer);
    repeat = 2;
    button = pwbOk;
}

std::wstring TKyZipLV::ReaderPassword(const std::wstring& fileName, bool& stop)
{
    if (!password_.empty())
        return password_;
    const std::wstring answer = AskPassword(fileName);
    if (answer.empty())
        stop = true;
    else
        password_ = answer;
    return answer;
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
        Report(0, kBusyText);
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
    password_.clear();
    passwordAskedFor_.clear();
    crcErrors_ = 0;
    progress_ = 0;
    readerUsePaths_ = useStoredPaths;
    const int count = static_cast<int>(names.size());
    bool ok = false;
    switch (archiveKind_) {
    case akZip: {
        zipper_->FSpecArgs = names;
        zipper_->ExtrOptions = (useStoredPaths ? ExtrDirNames : 0u) | (ConfirmOverwrite ? 0u : ExtrOverWrite);
        zipper_->ExtrBaseDir = folder;
        zipper_->Extract();
        const int meant = MeantFileCount(names, items_.Count() + static_cast<int>(items_.HiddenByFilter()));
        ok = ZipRunSucceeded(meant, zipper_->SuccessCnt(), crcErrors_, zipper_->ErrCode());
        break;
    }
    case akRAR:
        rar_->FilesToExtract().Assign(ListOf(names));
        rar_->SetTargetDir(folder);
        rar_->TargetFile.clear();
        ok = RunAnnounced(count, [&] { return rar_->Extract(useStoredPaths); }) && crcErrors_ == 0;
        break;
    case akCabinet:
        cab_->SetFilesToExtract(ListOf(names));
        cab_->SetTargetDir(folder);
        ok = RunAnnounced(count, [&] { return cab_->Extract(useStoredPaths); });
        break;
    case akACE:
        ace_->SetFilesToExtract(ListOf(names));
        ace_->SetTargetDir(folder);
        ok = RunAnnounced(count, [&] { return ace_->Extract(useStoredPaths); });
        break;
    default:
        break;
    }
    return ok;
}

bool TKyZipLV::RunAnnounced(int count, const std::function<bool()>& run)
{
    if (OnStartExtract)
        OnStartExtract(this, count);
    const bool ok = run();
    if (OnEndExtract)
        OnEndExtract(this);
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
        Report(0, kCabTestText);
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
    password_.clear();
    passwordAskedFor_.clear();
    crcErrors_ = 0;
    progress_ = 0;
    bool ok = false;
    switch (archiveKind_) {
    case akZip: {
        zipper_->FSpecArgs = {L"*.*"};
        zipper_->ExtrOptions = ExtrTest;
        if (zipper_->ExtrBaseDir.empty())
            zipper_->ExtrBaseDir = ExtractFilePath(GetArchiveName());
        zipper_->Unattended = false;
        zipper_->Extract();
        zipper_->ExtrOptions = 0;
        // Every file of the archive tested good, not only "no error code".
        const int files = items_.Count() + static_cast<int>(items_.HiddenByFilter());
        ok = ZipRunSucceeded(files, zipper_->SuccessCnt(), crcErrors_, zipper_->ErrCode());
        break;
    }
    case akRAR:
        rar_->FilesToTest().Clear();
        ok = RunAnnounced(items_.Count(), [&] { return rar_->Test(); });
        break;
    case akACE:
        ace_->SetFilesToExtract(TStringList());
        ok = RunAnnounced(items_.Count(), [&] { return ace_->Test(); });
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
    crcErrors_ = 0;
    progress_ = 0;
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
        Report(1, L"Der temporäre Ordner kann nicht angelegt werden.");
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
        record.Password = entry.Encrypted ? password_ : std::wstring();
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
    const std::wstring path(items_[row].Path());
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
            Report(1, L"Die Datei \"" + file + L"\" kann nicht geöffnet werden.");
    };
    if (IsSetupProgram(name)) {
        // A setup program needs its folder's other files beside it.
        if (!MayOperate())
            return;
        const std::wstring folder = TempFolder().NewSubfolder();
        std::vector<std::wstring> siblings;
        std::vector<std::wstring> copies;
        for (int i = 0; i < items_.Count(); ++i)
            if (items_[i].Path() == path) {
                const std::wstring stored = items_.EntryOf(items_[i]).StoredName;
                if (const auto copy = SafeExtractPath(folder, stored, false)) {
                    siblings.push_back(stored);
                    copies.push_back(*copy);
                }
            }
        if (folder.empty() || !ExtractFiles(siblings, folder, false))
            return;
        for (const std::wstring& copy : copies)
            RememberExtractedFile(copy);
        lastTempCopy_ = folder + name;
        open(lastTempCopy_);
        return;
    }
    if (!ExtractItemToTemp(row))
        return;
    const std::wstring copy = lastTempCopy_;
    if (UpperCase(ExtractFileExt(name)) == L".HLP") {
        // The help file's contents file goes beside it.
        const std::wstring contents = UpperCase(ExtractFileBaseName(name) + L".CNT");
        for (int i = 0; i < items_.Count(); ++i)
            if (items_[i].Path() == path && UpperCase(std::wstring(items_[i].Name())) == contents) {
                const std::wstring folder = ExtractFilePath(copy);
                const std::wstring stored = items_.EntryOf(items_[i]).StoredName;
                const auto contentsCopy = SafeExtractPath(folder, stored, false);
                if (contentsCopy && ExtractFiles({stored}, folder, false))
                    RememberExtractedFile(*contentsCopy);
                break;
            }
        lastTempCopy_ = copy;
    }
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
    std::sort(queued.begin(), queued.end());
    bool allOk = true;
    std::vector<size_t> written;
    while (!queued.empty()) {
        const TWriteBackRecord& first = writeBack_[queued.front()];
        std::vector<size_t> group;
        std::vector<std::wstring> specs;
        for (size_t place : queued) {
            const TWriteBackRecord& record = writeBack_[place];
            if (record.Encrypted == first.Encrypted && record.Password == first.Password) {
                group.push_back(place);
                specs.push_back(record.Path);
            }
        }
        for (size_t place : group)
            queued.erase(std::find(queued.begin(), queued.end(), place));
        std::wstring password = first.Password;
        if (first.Encrypted && password.empty()) {
            password = AskPassword(ExtractFileName(first.Path));
            if (password.empty()) {
                allOk = false;
                continue;
            }
        }
        zipper_->Password = first.Encrypted ? password : std::wstring();
        ScopeExit forget([&] { zipper_->Password.clear(); });
        const unsigned options = AddHiddenFiles | (first.Encrypted ? AddEncrypt : 0u);
        if (RunZipAdd(specs, options, static_cast<int>(specs.size()), {}))
            written.insert(written.end(), group.begin(), group.end());
        else
            allOk = false;
    }
    // The records of copies written back go, last place first.
    std::sort(written.rbegin(), written.rend());
    for (size_t place : written) {
        writtenBack_.push_back(writeBack_[place].Path);
        writeBack_.erase(writeBack_.begin() + static_cast<std::ptrdiff_t>(place));
    }
    return allOk;
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
        Report(0, L"Die geänderte Datei \"" + path + L"\" wurde nicht in das Archiv übernommen und bleibt erhalten.");
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
