#include "archives/ArchiveRuns.h"

#include "archives/KyACE2.h"
#include "archives/KyRarArc.h"
#include "archives/ZipCommands.h"
#include "archives/ZipItems.h"
#include "common/BaseUtils.h"
#include "common/SafeExtractPath.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

TStringList ListOf(const std::vector<std::wstring>& names)
{
    TStringList list;
    for (const std::wstring& name : names)
        list.Add(name);
    return list;
}

std::wstring ToWide(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::u16string ToU16(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}

// The stored-name rule of folders: "\" between levels.
std::wstring Backslashed(std::wstring name)
{
    std::replace(name.begin(), name.end(), L'/', L'\\');
    return name;
}

}  // namespace

// --- the reports ------------------------------------------------------------

void TArchiveRuns::Report(int code, const std::wstring& text)
{
    Messages.Add(text);
    if (OnMessage)
        OnMessage(code, text);
}

void TArchiveRuns::FileDone(TFileReport kind, bool ok, const std::wstring& name, int done)
{
    Report(ok ? 0 : 1, FileReportText(kind, ok, name));
    if (OnProgress)
        OnProgress(done);
}

void TArchiveRuns::WireZip(TZipCallbackEvents& events, TZipRunner& zip)
{
    events.OnMessage = [this](int code, const std::u16string& text) {
        const std::wstring message = ToWide(text);
        // The list keeps the code with the text; the event has the text alone.
        Messages.Add(ZipMessageText(code, message));
        if (OnMessage)
            OnMessage(code, message);
    };
    events.OnProgress = [this](ProgressType type, const std::u16string&, uint64_t value) { ZipProgress(type, value); };
    events.OnCRC32Error = [this](const std::u16string& file, uint32_t found, uint32_t expected, bool& doExtract) {
        CrcError(ToWide(file), found, expected, doExtract);
    };
    events.OnExtractOverwrite = [this, &zip](const std::u16string& file, bool isOlder, bool& doOverwrite, int) {
        ZipOverwrite(zip, ToWide(file), isOlder, doOverwrite);
    };
    events.OnPasswordError = [this, &zip](bool, std::u16string& password, const std::u16string& forFile,
                                          uint32_t& repeat, TPasswordButton& action) {
        ZipPassword(zip, password, forFile, repeat, action);
    };
}

void TArchiveRuns::ZipProgress(int type, uint64_t value)
{
    switch (type) {
    case NewFile:
        ++progress_;
        if (OnProgress)
            OnProgress(progress_);
        break;
    case EndOfBatch:
        progress_ = 0;
        if (OnEndExtract)
            OnEndExtract();
        break;
    case TotalFiles2Process:
        progress_ = 0;
        if (OnStartExtract)
            OnStartExtract(static_cast<int>(value));
        break;
    default:
        break;
    }
}

void TArchiveRuns::CrcError(const std::wstring& file, uint32_t found, uint32_t expected, bool& doExtract)
{
    ++crcErrors_;
    doExtract = false;
    if (OnCRC32Error)
        OnCRC32Error(file, found, expected, doExtract);
}

void TArchiveRuns::ZipOverwrite(TZipRunner& zip, const std::wstring& file, bool isOlder, bool& doOverwrite)
{
    if (!Confirm()) {
        doOverwrite = true;
        return;
    }
    if (!Overwrite)
        return;
    // The entry by name and stored path, else by name alone.
    const std::wstring wanted = UpperCase(Backslashed(file));
    const std::wstring wantedName = UpperCase(StoredFileName(wanted));
    int64_t size = -1;
    uint32_t time = 33;
    if (zip.Contents) {
        const TZipEntries& entries = zip.Contents();
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
    }
    if (const std::optional<bool> answer =
            Overwrite(zipBaseDir_, StoredFileName(Backslashed(file)), size, time, isOlder, doOverwrite))
        doOverwrite = *answer;
}

bool TArchiveRuns::MayReplace(const std::wstring& target, int64_t size, uint32_t dosTime)
{
    std::optional<bool> answer;
    if (Confirm() && Overwrite) {
        const bool isOlder = Files.DosTime && Files.DosTime(target) >= dosTime;
        const size_t name = CopyNameStart(target);
        answer = Overwrite(target.substr(0, name), target.substr(name), size, dosTime, isOlder, true);
    }
    const bool replace = MayReplaceExisting(Confirm(), answer);
    // The target is the reader's own safe path: nothing outside the folder
    // being extracted into is ever deleted here.
    if (replace && Files.IsReadOnly && Files.IsReadOnly(target) && Files.DeleteReadOnly)
        Files.DeleteReadOnly(target);
    return replace;
}

void TArchiveRuns::ZipPassword(TZipRunner& zip, std::u16string& password, const std::u16string& forFile,
                               uint32_t& repeat, TPasswordButton& button)
{
    const std::wstring file = ToWide(forFile);
    if (ZipPasswordEvent) {
        std::wstring given = ToWide(password);
        if (ZipPasswordEvent(given, file, repeat)) {
            password = ToU16(given);
            button = repeat == 0 && given.empty() ? pwbCancel : pwbOk;
            return;
        }
    }
    if (zip.Cancelled && zip.Cancelled()) {
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
    const std::wstring answer = AskPassword ? AskPassword(file) : std::wstring();
    if (answer.empty()) {
        repeat = 0;
        if (zip.SetCancel)
            zip.SetCancel(true);
        button = pwbCancel;
        return;
    }
    password_ = answer;
    passwordAskedFor_ = file;
    password = ToU16(answer);
    repeat = 2;
    button = pwbOk;
}

std::wstring TArchiveRuns::ReaderPassword(const std::wstring& fileName, bool& stop)
{
    if (!password_.empty())
        return password_;
    const std::wstring answer = AskPassword ? AskPassword(fileName) : std::wstring();
    if (answer.empty())
        stop = true;
    else
        password_ = answer;
    return answer;
}

void TArchiveRuns::WireRar(TKyRAR& rar)
{
    const auto text = [this](const char* oemName) { return OemToText ? OemToText(oemName) : Utf8ToWide(oemName); };
    rar.OnError = [this](TKyRAR*, const std::wstring& file, int code) {
        const std::wstring message = TKyRAR::ErrorText(code) + L" / ErrorCode = " + std::to_wstring(code);
        if (code == 12) {
            bool doExtract = false;
            CrcError(file, 0, 0, doExtract);
        }
        Messages.Add(file.empty() ? message : file + L": " + message);
        if (OnMessage)
            OnMessage(code, message);
    };
    rar.OnExtracting = [this, text](TKyRAR* sender, const RARHeaderData& header, bool& doExtract) {
        const std::optional<std::wstring> target =
            sender->TargetFile.empty() ? SafeExtractPath(sender->TargetDir(), text(header.FileName), readerUsePaths_)
                                       : std::optional<std::wstring>(sender->TargetFile);
        // A refused name is the reader's to report; nothing is touched here.
        if (target && Files.Exists && Files.Exists(*target))
            doExtract = MayReplace(*target, header.UnpSize, header.FileTime);
    };
    rar.OnExtract = [this, text](TKyRAR*, const RARHeaderData& header, bool ok) {
        FileDone(TFileReport::Extracted, ok, text(header.FileName), ++progress_);
    };
    rar.OnTested = [this, text](TKyRAR* sender, const RARHeaderData& header, bool ok) {
        FileDone(TFileReport::Tested, ok, text(header.FileName), sender->TestedCount());
    };
    rar.OnReqPassword = [this, text](TKyRAR* sender, const RARHeaderData& header, std::wstring& password) {
        bool stop = false;
        password = ReaderPassword(text(header.FileName), stop);
        if (stop)
            sender->Stop = true;
    };
}

void TArchiveRuns::WireAce(TKyACE2& ace)
{
    ace.OnMessage = [this](TKyACE2*, const std::wstring& text) { Report(0, text); };
    ace.OnOverwrite = [this](TKyACE2*, const tACEFileDataStruc& file, bool& doExtract) {
        const std::wstring target = file.DestinationFileName ? Utf8ToWide(file.DestinationFileName) : std::wstring();
        doExtract = !target.empty() && MayReplace(target, file.Size, file.Time);
    };
    ace.OnExtracted = [this](TKyACE2* sender, const tACEFileDataStruc& file, bool ok) {
        FileDone(TFileReport::Extracted, ok, Utf8ToWide(file.SourceFileName), sender->ExtractedCount());
    };
    ace.OnTested = [this](TKyACE2* sender, const tACEFileDataStruc& file, bool ok) {
        FileDone(TFileReport::Tested, ok, Utf8ToWide(file.SourceFileName), sender->TestedCount());
    };
    ace.OnPassword = [this](TKyACE2* sender, const tACEFileDataStruc& file, std::wstring& password) {
        bool stop = false;
        password = ReaderPassword(Utf8ToWide(file.SourceFileName), stop);
        if (stop)
            sender->Stop = true;
    };
}

// --- the runs -----------------------------------------------------------------

void TArchiveRuns::ForgetPassword()
{
    password_.clear();
    passwordAskedFor_.clear();
}

void TArchiveRuns::BeginRun(bool useStoredPaths)
{
    crcErrors_ = 0;
    progress_ = 0;
    readerUsePaths_ = useStoredPaths;
}

bool TArchiveRuns::Announced(int count, const std::function<bool()>& run)
{
    if (OnStartExtract)
        OnStartExtract(count);
    const bool ok = run();
    if (OnEndExtract)
        OnEndExtract();
    return ok;
}

bool TArchiveRuns::ExtractZip(TZipRunner& zip, const std::vector<std::wstring>& names, const std::wstring& folder,
                              bool useStoredPaths, int archiveFiles)
{
    BeginRun(useStoredPaths);
    ForgetPassword();
    zipBaseDir_ = AddPathSeparator(folder);
    const unsigned options = (useStoredPaths ? ExtrDirNames : 0u) | (Confirm() ? 0u : ExtrOverWrite);
    zip.Extract(names, options, zipBaseDir_);
    // The component raises the start and end events from its progress.
    return ZipRunSucceeded(MeantFileCount(names, archiveFiles), zip.SuccessCount(), crcErrors_, zip.ErrCode());
}

bool TArchiveRuns::TestZip(TZipRunner& zip, const std::wstring& baseDir, int archiveFiles)
{
    BeginRun(true);
    ForgetPassword();
    zipBaseDir_ = baseDir;
    zip.Extract({L"*.*"}, ExtrTest, baseDir);
    // Every file of the archive tested good, not only "no error code".
    return ZipRunSucceeded(archiveFiles, zip.SuccessCount(), crcErrors_, zip.ErrCode());
}

bool TArchiveRuns::ExtractRar(TKyRAR& rar, const std::vector<std::wstring>& names, const std::wstring& folder,
                              bool useStoredPaths)
{
    BeginRun(useStoredPaths);
    ForgetPassword();
    rar.FilesToExtract().Assign(ListOf(names));
    rar.SetTargetDir(AddPathSeparator(folder));
    rar.TargetFile.clear();
    // Bad data is reported per file and is no success either.
    return Announced(static_cast<int>(names.size()), [&] { return rar.Extract(useStoredPaths); }) && crcErrors_ == 0;
}

bool TArchiveRuns::TestRar(TKyRAR& rar, int count)
{
    BeginRun(true);
    ForgetPassword();
    rar.FilesToTest().Clear();
    return Announced(count, [&] { return rar.Test(); }) && crcErrors_ == 0;
}

bool TArchiveRuns::ExtractAce(TKyACE2& ace, const std::vector<std::wstring>& names, const std::wstring& folder,
                              bool useStoredPaths)
{
    BeginRun(useStoredPaths);
    ForgetPassword();
    ace.SetFilesToExtract(ListOf(names));
    ace.SetTargetDir(AddPathSeparator(folder));
    return Announced(static_cast<int>(names.size()), [&] { return ace.Extract(useStoredPaths); });
}

bool TArchiveRuns::TestAce(TKyACE2& ace, int count)
{
    BeginRun(true);
    ForgetPassword();
    ace.SetFilesToExtract(TStringList());
    return Announced(count, [&] { return ace.Test(); });
}

}  // namespace qrv
