#include "archives/win/KyZipper.h"

#include "archives/ZipSpan.h"
#include "archives/win/ArchivePlatforms.h"
#include "archives/win/PasswordDlg.h"
#include "common/win/FileQueries.h"
#include "common/win/TempFiles.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <new>
#include <optional>

namespace qrv {

namespace {

std::u16string ToU16(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}
std::wstring ToWide(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::u16string DecodeCodePage(UINT codePage, std::string_view bytes)
{
    if (bytes.empty())
        return {};
    // Straight into the result (UTF-16 either way): a listing decodes every
    // name, and one string per name is all it needs.
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::u16string text(size_t(std::max(length, 0)), u'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), reinterpret_cast<wchar_t*>(text.data()),
                            length);
    return text;
}

// The code page's 256 characters when each byte is one (a single-byte code
// page); nullptr for a double-byte one. Made once per code page.
std::shared_ptr<const std::array<char16_t, 256>> SingleByteTable(UINT codePage)
{
    CPINFO info{};
    if (!GetCPInfo(codePage, &info) || info.MaxCharSize != 1)
        return nullptr;
    auto table = std::make_shared<std::array<char16_t, 256>>();
    for (int byte = 0; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        wchar_t out = 0;
        if (MultiByteToWideChar(codePage, 0, &in, 1, &out, 1) != 1)
            return nullptr;
        (*table)[static_cast<size_t>(byte)] = static_cast<char16_t>(out);
    }
    return table;
}

bool ForceDirectories(std::wstring path)
{
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    if (path.empty() || DirExists(path))
        return true;
    size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0 && path[slash - 1] != L':' && !ForceDirectories(path.substr(0, slash)))
        return false;
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// A file opened for reading with writers kept out, read at offsets.
class TWinFileSource : public TZipSource {
public:
    explicit TWinFileSource(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr))
    {
        LARGE_INTEGER size{};
        if (file_.Valid() && GetFileSizeEx(file_.Get(), &size))
            size_ = uint64_t(size.QuadPart);
    }
    bool Open() const { return file_.Valid(); }
    void Close()
    {
        view_.Reset();
        file_.Reset();
    }
    uint64_t Size() const override { return size_; }
    // The bytes mapped into memory (the central directory, listed in parts
    // at once); one view at a time, held as long as the source. Others may
    // not write the file meanwhile: it is open without write sharing.
    const char* View(uint64_t offset, size_t count) override
    {
        if (!file_.Valid() || count == 0 || offset > size_ || count > size_ - offset)
            return nullptr;
        static const DWORD granularity = [] {
            SYSTEM_INFO info;
            GetSystemInfo(&info);
            return info.dwAllocationGranularity;
        }();
        const uint64_t base = offset / granularity * granularity;
        view_.Reset();
        const TKernelHandle mapping(CreateFileMappingW(file_.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!mapping) {
            TraceIgnoredFailure(L"map the zip file, reading it instead", GetLastError());
            return nullptr;
        }
        // The view keeps the mapping alive after its handle is closed.
        view_.Reset(
            MapViewOfFile(mapping.Get(), FILE_MAP_READ, DWORD(base >> 32), DWORD(base), size_t(offset - base) + count));
        if (!view_) {
            TraceIgnoredFailure(L"map a view of the zip file, reading it instead", GetLastError());
            return nullptr;
        }
        return static_cast<const char*>(view_.Get()) + (offset - base);
    }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        auto* out = static_cast<char*>(buffer);
        while (count > 0) {
            OVERLAPPED at{};
            at.Offset = DWORD(offset);
            at.OffsetHigh = DWORD(offset >> 32);
            DWORD now = DWORD(std::min<size_t>(count, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file_.Get(), out, now, &got, &at) || got != now)
                return false;
            out += got;
            offset += got;
            count -= got;
        }
        return true;
    }

private:
    TFileHandle file_;
    TMappedView view_;
    uint64_t size_ = 0;
};

// The disk in a removable drive, read from its file until another disk is
// wanted; its bytes are then kept, since the file goes with the disk.
class TInDriveSource : public TZipSource {
public:
    explicit TInDriveSource(TWinFileSource& file) : file_(file) {}
    uint64_t Size() const override { return file_.Size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        if (!kept_)
            return file_.ReadAt(offset, buffer, count);
        if (offset > copy_.size() || count > copy_.size() - offset)
            return false;
        std::memcpy(buffer, copy_.data() + offset, count);
        return true;
    }
    const char* View(uint64_t offset, size_t count) override
    {
        if (!kept_)
            return file_.View(offset, count);
        if (offset > copy_.size() || count > copy_.size() - offset)
            return nullptr;
        return copy_.data() + offset;
    }
    [[nodiscard]] bool Keep()
    {
        if (kept_)
            return true;
        copy_.assign(size_t(file_.Size()), '\0');
        kept_ = copy_.empty() || file_.ReadAt(0, copy_.data(), copy_.size());
        // The disk may now be taken out.
        if (kept_)
            file_.Close();
        return kept_;
    }

private:
    TWinFileSource& file_;
    std::string copy_;
    bool kept_ = false;
};

// A removable disk's label names the part it holds ("PKBACK# 003": 3);
// 0 when it names none.
int LabelDiskNumber(const std::wstring& label)
{
    if (label.rfind(L"PKBACK# ", 0) != 0)
        return 0;
    return std::max(SpanDiskNumber(ToU16(label), u""), 0);
}

uint32_t DosTime(const FILETIME& time)
{
    WORD date = 0, clock = 0;
    if (!FileTimeToDosDateTime(&time, &date, &clock))
        return 0;
    return (uint32_t(date) << 16) | clock;
}

// Parts written as files on a hard disk, each at most the usable size.
class TFileParts : public TSpanOutput {
public:
    TFileParts(std::function<std::wstring(uint32_t)> name, uint64_t capacity,
               std::function<bool(uint32_t, const std::wstring&, int&)> mayOverwrite,
               std::function<bool(uint32_t, const std::wstring&, uint64_t&, int&)> prepare,
               std::optional<FILETIME> archiveTime)
        : name_(std::move(name)), capacity_(capacity), mayOverwrite_(std::move(mayOverwrite)),
          prepare_(std::move(prepare)), archiveTime_(archiveTime)
    {}
    bool OpenPart(uint32_t index, uint64_t& capacity, int& error) override
    {
        std::wstring path = name_(index);
        uint64_t usable = capacity_;
        if (prepare_ && !prepare_(index, path, usable, error))
            return false;
        if (FileExists(path) && !mayOverwrite_(index, path, error))
            return false;
        file_ = TFileHandle(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_.Valid()) {
            error = zmCannotCreateOutput;
            return false;
        }
        Written.push_back(path);
        capacity = usable;
        return true;
    }
    bool Write(const void* data, size_t count) override
    {
        DWORD done = 0;
        return WriteFile(file_.Get(), data, DWORD(count), &done, nullptr) && done == count;
    }
    bool ClosePart(bool) override
    {
        // Each part carries the archive's time: a disk of this set put in
        // again is told from other disks by it.
        if (file_.Valid() && archiveTime_ && !SetFileTime(file_.Get(), nullptr, nullptr, &*archiveTime_))
            TraceIgnoredFailure(L"date a part of a zip set", GetLastError());
        file_.Reset();
        return true;
    }
    std::vector<std::wstring> Written;

private:
    std::function<std::wstring(uint32_t)> name_;
    uint64_t capacity_;
    std::function<bool(uint32_t, const std::wstring&, int&)> mayOverwrite_;
    std::function<bool(uint32_t, const std::wstring&, uint64_t&, int&)> prepare_;
    std::optional<FILETIME> archiveTime_;
    TFileHandle file_;
};

class TFileOutput : public TJoinOutput {
public:
    explicit TFileOutput(HANDLE file) : file_(file) {}
    bool Write(const void* data, size_t count) override
    {
        DWORD done = 0;
        return WriteFile(file_, data, DWORD(count), &done, nullptr) && done == count;
    }

private:
    HANDLE file_;
};

// Deletes a file when the scope ends unless it is kept.
struct TTempFile {
    std::wstring Path;
    ~TTempFile()
    {
        if (!Path.empty() && !DeleteFileW(Path.c_str()))
            TraceIgnoredFailure(L"delete the temporary zip file", GetLastError());
    }
};

}  // namespace

class TKyZipper::TDiskShelf {
public:
    // Total: the number of disks of the set, 0 when not known.
    TDiskShelf(TKyZipper& zipper, uint32_t total) : zipper_(zipper), total_(total) {}

    // The bytes of disk Index: asked for when another disk is in the drive,
    // and asked for again until it can be read.
    TZipSource* Disk(uint32_t index)
    {
        if (auto kept = sources_.find(index); kept != sources_.end())
            return kept->second.get();
        bool ask = index != zipper_.diskInDrive_;
        for (;;) {
            if (ask && !zipper_.AskForDisk(index, total_, total_ != 0 && index + 1 == total_))
                return nullptr;
            ask = true;
            zipper_.diskInDrive_ = index;
            if (ReadInDrive(index))
                return sources_[index].get();
        }
    }

private:
    bool ReadInDrive(uint32_t index)
    {
        // A labelled disk of another number is the wrong one.
        const int number = LabelDiskNumber(zipper_.Drive->VolumeLabel(zipper_.DriveRoot()));
        if (number != 0 && uint32_t(number) != index + 1)
            return false;
        TWinFileSource file(zipper_.zipFileName_);
        if (!file.Open())
            return false;
        std::string& bytes = images_[index];
        bytes.assign(size_t(file.Size()), '\0');
        if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size())) {
            images_.erase(index);
            return false;
        }
        sources_[index] = std::make_unique<TZipMemorySource>(bytes);
        return true;
    }

    TKyZipper& zipper_;
    uint32_t total_;
    std::map<uint32_t, std::string> images_;
    std::map<uint32_t, std::unique_ptr<TZipMemorySource>> sources_;
};

void TKyZipper::TLoaderLink::ReportMessage(const std::wstring& text)
{
    if (zipper_.OnMessage)
        zipper_.OnMessage(&zipper_, 0, text);
}

TKyZipper::TKyZipper(TComponent* owner, TLibraryApi api) : TComponent(owner)
{
    if (!api.Load)
        api = SystemLibraryApi();
    Drive = SystemZipDrive();
    AskUser = [](const std::wstring& text, const std::wstring& title, unsigned type) {
        return MessageBoxW(nullptr, text.c_str(), title.c_str(), type | MB_TASKMODAL);
    };
    zipDll_ = std::make_unique<TZipDll>(&loaderLink_, api);
    unzDll_ = std::make_unique<TUnzDll>(&loaderLink_, api);
    // Without an OnPasswordError handler the component asks itself.
    dispatch_.Events.PasswordDialog = [this](bool isZip, const std::u16string& file, std::u16string& password) {
        if (Unattended) {
            ShowZipMessage(isZip ? zmNoPasswordForAdd : zmNoPasswordForExtract);
            return pwbCancel;
        }
        std::wstring entered;
        bool mismatch = false;
        TPasswordButton button = AskZipPassword(isZip, ToWide(file), entered, mismatch);
        if (mismatch)
            ShowZipMessage(zmWrongPassword);
        password = ToU16(entered);
        return button;
    };
    // Extracting into the stream: it takes the entry's size, and the
    // library learns where it is through the running record.
    dispatch_.Events.ResizeStream = [this](uint64_t size) {
        if (!runningUnz_ || !streamOperation_)
            return;
        runningUnz_->OutStream = nullptr;
        runningUnz_->OutStreamSize = 0;
        if (size > uint64_t(std::numeric_limits<int32_t>::max()))
            return;  // more than the record can name: the library refuses the entry
        zipStream_.SetSize(int64_t(size));
        runningUnz_->OutStream = zipStream_.Memory();
        runningUnz_->OutStreamSize = int32_t(size);
    };
    dispatch_.Events.OnZipStr = [this](int id, std::u16string& text) {
        if (OnZipStr) {
            std::wstring wide = ToWide(text);
            OnZipStr(this, id, wide);
            text = ToU16(wide);
        }
    };
}

TKyZipper::~TKyZipper()
{
    // Callbacks that still arrive find the component going.
    dispatch_.Closing = true;
}

void TKyZipper::SetDLLDirectory(const std::wstring& folder)
{
    dllDirectory_ = folder;
    if (!dllDirectory_.empty() && dllDirectory_.back() == L'\\')
        dllDirectory_.pop_back();
}

void TKyZipper::SetZipFileName(const std::wstring& name)
{
    zipFileName_ = name;
    List();
}

void TKyZipper::KeepLibrariesLoaded(bool keep)
{
    if (!keep) {
        if (zipDll_->Loaded())
            zipDll_->Unload(true);
        if (unzDll_->Loaded())
            unzDll_->Unload(true);
        return;
    }
    try {
        if (!zipDll_->Loaded())
            zipDll_->Load(TZipDll::MinVersion, true);
        if (!unzDll_->Loaded())
            unzDll_->Load(TUnzDll::MinVersion, true);
    } catch (const EKyZipper& e) {
        ShowZipMessage(e.Id, e.Message());
    }
}

std::u16string TKyZipper::TableText(int id)
{
    return ZipMessageOrFallback(id, dispatch_.Events.OnZipStr);
}

void TKyZipper::Report(int id, std::u16string text)
{
    message_ = ToWide(text);
    errCode_ = id;
    if (!Unattended && AskUser)
        AskUser(message_, L"Zip", MB_OK | MB_ICONWARNING);
    if (OnMessage)
        OnMessage(this, 0, message_);
}

void TKyZipper::ShowZipMessage(int id, const std::wstring& argument)
{
    Report(id, FormatZipMessage(TableText(id), ToU16(argument)));
}

void TKyZipper::ShowZipMessage(int id, int64_t argument)
{
    Report(id, FormatZipMessage(TableText(id), argument));
}

std::wstring TKyZipper::PartName(uint32_t index, bool last, bool compat) const
{
    return ToWide(SpanPartName(ToU16(zipFileName_), index, last, compat));
}

void TKyZipper::List()
{
    entries_ = std::make_shared<const TZipEntries>();
    comment_.clear();
    dirOnlyCount_ = 0;
    centralOffset_ = firstLocal_ = 0;
    diskNr_ = totalDisks_ = 0;
    errCode_ = 0;
    const ScopeExit updated([this] {
        if (OnDirUpdate)
            OnDirUpdate(this);
    });
    if (zipFileName_.empty() || !FileExists(zipFileName_))
        return;
    try {
        TWinFileSource file(zipFileName_);
        if (!file.Open()) {
            ShowZipMessage(zmCannotOpenArchive);
            return;
        }
        TInDriveSource source(file);
        // The other parts of a set on a hard disk, by either naming scheme.
        std::vector<std::unique_ptr<TWinFileSource>> parts;
        TZipListOptions options;
        options.CodePage = CodePage;
        options.UseDirOnlyEntries = UseDirOnlyEntries;
        options.FileName = ToU16(zipFileName_);
        // Whether the archive lies on a removable disk is asked only when it
        // matters, for a set's other disks or a file without an end record:
        // under Wine the question takes most of a millisecond.
        std::optional<bool> removableDrive;
        const auto removable = [&] {
            if (!removableDrive)
                removableDrive = IsRemovableDrive();
            return *removableDrive;
        };
        std::wstring label;
        const auto readLabel = [&] { options.VolumeLabel = ToU16(label = Drive->VolumeLabel(DriveRoot())); };
        options.OemDecode = [](std::string_view bytes) {
            return DecodeCodePage(SystemOemEncoding().CodePage(), bytes);
        };
        options.AnsiDecode = [](std::string_view bytes) {
            return DecodeCodePage(SystemAnsiEncoding().CodePage(), bytes);
        };
        static const auto oemTable = SingleByteTable(SystemOemEncoding().CodePage());
        static const auto ansiTable = SingleByteTable(SystemAnsiEncoding().CodePage());
        options.OemTable = oemTable;
        options.AnsiTable = ansiTable;
        // On removable disks the disk in the drive is the set's last one (it
        // holds the end record); the others are asked for.
        constexpr uint32_t kUnknownDisk = std::numeric_limits<uint32_t>::max();
        diskInDrive_ = kUnknownDisk;
        std::optional<TDiskShelf> shelf;
        options.OpenDisk = [&](uint32_t disk) -> TZipSource* {
            if (removable()) {
                if (!shelf) {
                    readLabel();
                    shelf.emplace(*this, uint32_t(LabelDiskNumber(label)));
                }
                return source.Keep() ? shelf->Disk(disk) : nullptr;
            }
            for (bool compat : {true, false}) {
                auto part = std::make_unique<TWinFileSource>(PartName(disk, false, compat));
                if (part->Open()) {
                    parts.push_back(std::move(part));
                    return parts.back().get();
                }
            }
            return nullptr;
        };
        // (A listing without a handler calls none per entry.)
        if (OnNewName)
            options.OnNewName = [this](int seqNo, const ZipDirEntry& entry) { OnNewName(this, seqNo, entry); };
        TZipListResult result = ListZipDirectory(source, options);
        // Without an end record, a removable disk's label tells which part
        // of a set the file is.
        if (result.Error != 0 && result.Entries.empty() && result.EndOffset == 0 && options.VolumeLabel.empty() &&
            removable()) {
            readLabel();
            result = ListZipDirectory(source, options);
        }
        for (int warning : result.Warnings)
            ShowZipMessage(warning);
        entries_ = std::make_shared<const TZipEntries>(std::move(result.Entries));
        comment_ = ToWide(result.Comment);
        dirOnlyCount_ = result.DirOnlyEntries;
        centralOffset_ = result.CentralOffset;
        firstLocal_ = result.FirstLocalOffset;
        diskNr_ = result.ThisDisk;
        totalDisks_ = result.ThisDisk + 1;
        if (diskInDrive_ == kUnknownDisk)
            diskInDrive_ = result.ThisDisk;
        if (result.Error != 0)
            ShowZipMessage(result.Error, int64_t(result.ErrorArg));
    } catch (const std::bad_alloc&) {
        entries_ = std::make_shared<const TZipEntries>();
        ShowZipMessage(zmOutOfMemory);
    } catch (const std::exception& e) {
        entries_ = std::make_shared<const TZipEntries>();
        Report(zmListFailed, TableText(zmListFailed) + u" " + DecodeUtf8(e.what()));
    }
}

std::wstring TKyZipper::TempFolder() const
{
    if (!TempDir.empty())
        return TempDir;
    return TemporaryFolder();
}

std::wstring TKyZipper::JoinToTemp()
{
    const std::wstring name = CreateTemporaryFile(TempFolder(), L"zip");
    if (name.empty()) {
        ShowZipMessage(zmCannotCreateTemp);
        return {};
    }
    TTempFile temp{name};
    TFileHandle out(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Valid()) {
        ShowZipMessage(zmCannotCreateTemp);
        return {};
    }
    std::vector<std::unique_ptr<TWinFileSource>> parts(totalDisks_);
    const uint32_t last = totalDisks_ - 1;
    // On removable disks every part has the archive's name: each disk is
    // asked for and read whole while it is in the drive.
    const bool removable = IsRemovableDrive();
    TDiskShelf shelf(*this, totalDisks_);
    auto open = [&](uint32_t index) -> TZipSource* {
        if (index > last)
            return nullptr;
        if (removable)
            return shelf.Disk(index);
        if (!parts[index]) {
            for (bool compat : {true, false}) {
                auto part =
                    std::make_unique<TWinFileSource>(index == last ? zipFileName_ : PartName(index, false, compat));
                if (part->Open()) {
                    parts[index] = std::move(part);
                    break;
                }
            }
        }
        return parts[index].get();
    };
    TFileOutput output(out.Get());
    TSpanProgress progress;
    progress.Cancelled = [this] { return dispatch_.Cancel; };
    progress.OnZipStr = dispatch_.Events.OnZipStr;
    progress.OnItem = [this](const std::u16string& item, uint64_t size) {
        if (dispatch_.Events.OnProgress)
            dispatch_.Events.OnProgress(NewFile, item, size);
    };
    TSpanResult result = JoinZipSet(open, last, output, progress);
    out.Reset();
    if (result.Error != 0) {
        ShowZipMessage(result.Error);
        return {};
    }
    std::wstring joined = temp.Path;
    temp.Path.clear();  // the caller deletes it after extracting
    return joined;
}

void TKyZipper::FillRunSettings(TZipRunSettings& settings, const std::wstring& archive, int32_t version)
{
    settings.Caller = this;
    settings.Callback = &TKyZipper::Callback;
    settings.Version = version;
    settings.ParentWindow = GetActiveWindow();
    settings.Unattended = Unattended;
    settings.Trace = Trace;
    settings.Verbose = Verbose;
    settings.ZipFileName = archive;
    settings.Password = Password;
    settings.Specs = FSpecArgs;
}

int TKyZipper::Extract()
{
    if (zipBusy_ || unzBusy_)
        return -255;
    successCnt_ = 0;
    errCode_ = 0;
    message_.clear();
    if (zipFileName_.empty()) {
        ShowZipMessage(zmNoArchiveName);
        return errCode_;
    }
    if (!FileExists(zipFileName_)) {
        ShowZipMessage(zmFileNotFound);
        return errCode_;
    }
    if (entries_->empty())
        List();
    if (entries_->empty()) {
        ShowZipMessage(zmCannotOpenArchive);
        return errCode_;
    }
    const unsigned savedRequests = PasswordReqCount;
    if (Unattended && Password.empty() && !dispatch_.Events.OnPasswordError) {
        PasswordReqCount = 0;
        ShowZipMessage(zmUnattendedExtract);
    }
    unzBusy_ = true;
    dispatch_.Cancel = false;
    dispatch_.BeginRun();
    TTempFile joined;
    const ScopeExit done([&] {
        FSpecArgs.clear();
        PasswordReqCount = savedRequests;
        unzBusy_ = false;
        dispatch_.Cancel = false;
    });
    std::wstring archive = zipFileName_;
    if (IsSpannedSet()) {
        if (!SpanGuarded([&] { joined.Path = JoinToTemp(); }) || joined.Path.empty())
            return errCode_;
        archive = joined.Path;
    }
    if ((ExtrOptions & ExtrForceDirs) && !streamOperation_)
        if (!ForceDirectories(ExtrBaseDir))
            TraceIgnoredFailure(L"create the extraction folder", GetLastError());
    if (!ExtrBaseDir.empty() && !DirExists(ExtrBaseDir) && !streamOperation_) {
        ShowZipMessage(zmNoExtractDir, ExtrBaseDir);
        return errCode_;
    }
    try {
        unzDll_->Load(TUnzDll::MinVersion, false);
    } catch (const EKyZipper& e) {
        ShowZipMessage(e.Id, e.Message());
        return errCode_;
    }
    const ScopeExit unload([this] { unzDll_->Unload(false); });

    TUnzSettings settings;
    FillRunSettings(settings, archive, unzDll_->Version());
    settings.ExtrOptions = ExtrOptions;
    settings.ExtrBaseDir = ExtrBaseDir;
    settings.PasswordReqCount = PasswordReqCount;
    settings.ToStream = streamOperation_;
    TUnzCommandRecord command(settings);
    UnzCommand& cmd = command.Record();
    runningUnz_ = &cmd;
    const ScopeExit finished([this] { runningUnz_ = nullptr; });
    dispatch_.ExtrOverWrite = (ExtrOptions & ExtrOverWrite) != 0;
    dispatch_.PasswordReqCount = PasswordReqCount;
    int32_t result = 0;
    try {
        result = unzDll_->Exec(cmd);
    } catch (const EKyZipper& e) {
        ShowZipMessage(e.Id, e.Message());
        return errCode_;
    }
    if (result < 0) {
        ShowZipMessage(zmUnzDllFatal);
        return errCode_;
    }
    successCnt_ = result;
    if (errCode_ == 0)
        errCode_ = dispatch_.ErrCode;
    return errCode_;
}

int TKyZipper::RunZip(int action)
{
    if (zipBusy_ || unzBusy_)
        return -255;
    successCnt_ = 0;
    errCode_ = 0;
    message_.clear();
    if (zipFileName_.empty()) {
        ShowZipMessage(zmNoArchiveName);
        return errCode_;
    }
    const bool span = action == zopAdd && (AddOptions & AddDiskSpan);
    if (action == zopAdd) {
        if (FSpecArgs.empty()) {
            if (!(AddOptions & (AddFreshen | AddUpdate))) {
                ShowZipMessage(zmNothingToAdd);
                return errCode_;
            }
            FSpecArgs.push_back(L"*.*");
        }
        if (Unattended && (AddOptions & AddEncrypt) && Password.empty()) {
            ShowZipMessage(zmUnattendedNoPassword);
            return errCode_;
        }
        if (span && (AddOptions & (AddFreshen | AddUpdate))) {
            ShowZipMessage(zmNoFreshenInSpan);
            return errCode_;
        }
        std::wstring upper = zipFileName_;
        CharUpperBuffW(upper.data(), DWORD(upper.size()));
        if (span && upper.size() >= 4 && upper.compare(upper.size() - 4, 4, L".EXE") == 0) {
            ShowZipMessage(zmNoSpannedExe);
            return errCode_;
        }
    } else if (FSpecArgs.empty()) {
        ShowZipMessage(zmNothingToDelete);
        return errCode_;
    }
    zipBusy_ = true;
    dispatch_.Cancel = false;
    dispatch_.BeginRun();
    TTempFile spanSource;
    const ScopeExit done([&] {
        FSpecArgs.clear();
        zipBusy_ = false;
        dispatch_.Cancel = false;
    });
    std::wstring target = zipFileName_;
    if (span) {
        const std::wstring name = CreateTemporaryFile(TempFolder(), L"zip");
        if (name.empty()) {
            ShowZipMessage(zmCannotCreateTemp);
            return errCode_;
        }
        // The library writes a new archive: the empty placeholder goes.
        DeleteFileW(name.c_str());
        spanSource.Path = name;
        target = name;
    }
    try {
        zipDll_->Load(TZipDll::MinVersion, false);
    } catch (const EKyZipper& e) {
        ShowZipMessage(e.Id, e.Message());
        return errCode_;
    }
    const ScopeExit unload([this] { zipDll_->Unload(false); });

    TZipSettings settings;
    FillRunSettings(settings, target, zipDll_->Version());
    settings.Action = action;
    settings.AddCompLevel = AddCompLevel;
    settings.AddOptions = AddOptions;
    settings.AddFrom = AddFrom;
    settings.TempDir = TempDir;
    settings.RootDir = RootDir;
    settings.Excludes = FSpecArgsExcl;
    settings.HowToDelete = HowToDelete;
    settings.CodePage = CodePage;
    settings.AddStoreSuffixes = AddStoreSuffixes;
    settings.ExtAddStoreSuffixes = ToU16(ExtAddStoreSuffixes);
    if (streamOperation_) {
        settings.FromStream = true;
        settings.InStream = zipStream_.Memory();
        settings.InStreamSize = int32_t(zipStream_.Size());
    }
    const TZipCommandRecord command(settings);
    const ZipCommand& cmd = command.Record();
    int32_t result = 0;
    try {
        result = zipDll_->Exec(cmd);
    } catch (const EKyZipper& e) {
        ShowZipMessage(e.Id, e.Message());
        return errCode_;
    }
    if (result < 0) {
        ShowZipMessage(zmZipDllFatal);
        return errCode_;
    }
    successCnt_ = result;
    if (errCode_ == 0)
        errCode_ = dispatch_.ErrCode;
    if (span && errCode_ == 0)
        (void)SpanGuarded([&] { SplitTo(target); });
    // Listing clears the code; the operation's own outcome stays.
    const int outcome = errCode_;
    List();
    if (outcome != 0)
        errCode_ = outcome;
    return errCode_;
}

int TKyZipper::SplitTo(const std::wstring& source)
{
    TWinFileSource input(source);
    if (!input.Open()) {
        ShowZipMessage(zmCannotOpenArchive);
        return errCode_;
    }
    const std::wstring root = DriveRoot();
    const bool removable = IsRemovableDrive();
    // On removable disks every part has the archive's name; on a hard
    // disk the parts are numbered.
    const bool compat = !removable && (SpanOptions & spCompatName) != 0;
    std::optional<FILETIME> archiveTime;
    if (WIN32_FILE_ATTRIBUTE_DATA data; FileAttributeData(source, data))
        archiveTime = data.ftLastWriteTime;
    splitDosTime_ = archiveTime ? DosTime(*archiveTime) : 0;
    uint32_t total = 0;
    auto prepare = [&](uint32_t index, const std::wstring& path, uint64_t& capacity, int& error) {
        if (!removable)
            return true;
        if (index == 0) {
            uint64_t usable = Drive->FreeSpace(root);
            if (MaxVolumeSize > 0)
                usable = std::min(usable, MaxVolumeSize);
            usable = usable > KeepFreeOnAllDisks ? usable - KeepFreeOnAllDisks : 0;
            total = usable ? uint32_t((input.Size() + KeepFreeOnDisk1 + 4 + usable - 1) / usable) : 0;
        }
        return PrepareDisk(index, total ? std::max(total, index + 1) : 0, path, capacity, error);
    };
    // On a removable disk PrepareDisk has asked about an existing part.
    auto mayOverwrite = [this, removable](uint32_t index, const std::wstring& path, int& error) {
        return removable || MayOverwritePart(index, path, error);
    };
    TFileParts parts([&](uint32_t index) { return removable ? zipFileName_ : PartName(index, false, compat); },
                     MaxVolumeSize, mayOverwrite, prepare, archiveTime);
    TSpanProgress progress;
    progress.Cancelled = [this] { return dispatch_.Cancel; };
    progress.OnZipStr = dispatch_.Events.OnZipStr;
    progress.OnItem = [this](const std::u16string& item, uint64_t size) {
        if (dispatch_.Events.OnProgress)
            dispatch_.Events.OnProgress(NewFile, item, size);
    };
    // A part of a failed set is worth nothing, whichever way it failed.
    bool complete = false;
    const ScopeExit dropParts([&] {
        if (complete)
            return;
        (void)parts.ClosePart(false);
        for (const std::wstring& part : parts.Written)
            if (!DeleteFileW(part.c_str()))
                TraceIgnoredFailure(L"delete a part of a failed set", GetLastError());
    });
    TSpanResult result = SplitZip(input, parts, progress);
    if (result.Error != 0) {
        ShowZipMessage(result.Error);
        return errCode_;
    }
    complete = true;
    // The last part takes the archive's own name with the .z01 scheme; an
    // existing file of that name goes only with the user's consent.
    if (compat && !parts.Written.empty()) {
        const std::wstring& last = parts.Written.back();
        bool replace = true;
        if (FileExists(zipFileName_)) {
            TZipDiskAction action = zdaCancel;
            if (OnStatusDisk) {
                OnStatusDisk(this, int(parts.Written.size()), zipFileName_, zdsSameFileName, action);
            } else if (!Unattended) {
                std::u16string question = FormatZipMessage(TableText(zmOverwritePrevious), ToU16(zipFileName_));
                action = AskUser(ToWide(question), L"Confirm", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES
                             ? zdaOk
                             : zdaCancel;
            }
            replace = action == zdaOk;
        }
        if (!replace || !MoveFileExW(last.c_str(), zipFileName_.c_str(), MOVEFILE_REPLACE_EXISTING))
            Report(zmLastPartLeftAs, TableText(zmLastPartLeftAs) + ToU16(last));
    }
    return errCode_;
}

bool TKyZipper::SpanGuarded(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const std::bad_alloc&) {
        ShowZipMessage(zmOutOfMemory);
    } catch (const std::exception& e) {
        Report(zmSpanFailed, TableText(zmSpanFailed) + u" " + DecodeUtf8(e.what()));
    } catch (...) {
        ShowZipMessage(zmSpanFailed);
    }
    return false;
}

std::wstring TKyZipper::DriveRoot() const
{
    if (zipFileName_.size() < 3 || zipFileName_[1] != L':')
        return {};
    return zipFileName_.substr(0, 2) + L"\\";
}

bool TKyZipper::IsRemovableDrive() const
{
    const std::wstring root = DriveRoot();
    return Drive && !root.empty() && Drive->IsRemovable(root);
}

bool TKyZipper::AskForDisk(uint32_t index, uint32_t total, bool last)
{
    if (Unattended)
        return false;
    const std::wstring drive = DriveRoot().substr(0, 2);
    bool abort = false;
    if (OnGetNextDisk) {
        OnGetNextDisk(this, int(index + 1), int(total), drive, abort);
    } else {
        std::u16string prompt = last    ? TableText(zmInsertLastDisk)
                                : total ? FormatZipMessage(TableText(zmInsertDiskOf), index + 1, total)
                                        : FormatZipMessage(TableText(zmInsertDisk), index + 1);
        prompt += FormatZipMessage(TableText(zmInDrive), ToU16(drive));
        const std::wstring title = Application ? Application->Title() : std::wstring();
        abort = AskUser(ToWide(prompt), title, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK;
    }
    return !abort && !dispatch_.Cancel;
}

bool TKyZipper::PrepareDisk(uint32_t index, uint32_t total, const std::wstring& path, uint64_t& capacity, int& error)
{
    const std::wstring root = DriveRoot();
    if (Unattended) {
        error = zmUnattendedSpan;
        return false;
    }
    // Asked for until a disk in the drive takes the part or the user cancels.
    for (;;) {
        if (!AskForDisk(index, total, false)) {
            error = zmUserAbort;
            return false;
        }
        diskInDrive_ = index;
        if (!Drive->IsReady(root))
            continue;  // no disk in the drive yet
        unsigned status = Drive->IsEmpty(root) ? zdsEmpty : zdsHasFiles;
        int previousDisk = int(index + 1);
        if (FileExists(path))
            status |= IsPreviousDisk(index, path, previousDisk) ? zdsPreviousDisk : zdsSameFileName;
        const TZipDiskAction action = DecideDisk(previousDisk, path, status);
        if (action == zdaCancel) {
            error = zmUserAbort;
            return false;
        }
        if (action == zdaReject)
            continue;
        // Erased only after the user's Yes; No leaves the disk as it is.
        if ((action == zdaErase || (SpanOptions & spWipeFiles)) && !EraseDisk(root)) {
            error = zmUserAbort;
            return false;
        }
        uint64_t usable = Drive->FreeSpace(root);
        if (FileExists(path)) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (FileAttributeData(path, data))
                usable += (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;  // the file is replaced
        }
        const uint64_t keep = KeepFreeOnAllDisks + (index == 0 ? KeepFreeOnDisk1 : 0);
        usable = usable > keep ? usable - keep : 0;
        if (MaxVolumeSize > 0)
            usable = std::min(usable, MaxVolumeSize);
        if (usable < MinFreeVolumeSize) {
            // Too little room: the user makes some or puts another disk in.
            TZipDiskAction retry = zdaOk;
            if (OnStatusDisk)
                OnStatusDisk(this, int(index + 1), path, zdsNotEnoughSpace, retry);
            else if (AskUser(ToWide(TableText(zmNotEnoughSpace)), L"Zip", MB_RETRYCANCEL | MB_ICONERROR) != IDRETRY)
                retry = zdaCancel;
            if (retry == zdaCancel) {
                error = zmUserAbort;
                return false;
            }
            continue;
        }
        if (!(SpanOptions & spNoVolumeName)) {
            wchar_t label[16];
            swprintf(label, 16, L"PKBACK# %03u", index + 1);
            if (!Drive->ChangeVolumeLabel(root, label)) {
                error = zmVolumeLabelFailed;
                return false;
            }
        }
        capacity = usable;
        return true;
    }
}

TZipDiskAction TKyZipper::DecideDisk(int previousDisk, const std::wstring& path, unsigned status)
{
    TZipDiskAction action = zdaOk;
    if (OnStatusDisk) {
        OnStatusDisk(this, previousDisk, path, status, action);
    } else if (status & (zdsPreviousDisk | zdsSameFileName)) {
        const std::u16string question = (status & zdsPreviousDisk)
                                            ? FormatZipMessage(TableText(zmDiskInUse), previousDisk)
                                            : FormatZipMessage(TableText(zmFileExists), ToU16(path));
        const int answer = AskUser(ToWide(question), L"Confirm", MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
        // No: another disk is put in.
        action = answer == IDYES ? zdaOk : answer == IDNO ? zdaReject : zdaCancel;
    }
    return action;
}

bool TKyZipper::IsPreviousDisk(uint32_t index, const std::wstring& path, int& previousDisk)
{
    const int number = LabelDiskNumber(Drive->VolumeLabel(DriveRoot()));
    if (number == 0 || uint32_t(number) >= index + 1)
        return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!FileAttributeData(path, data) || DosTime(data.ftLastWriteTime) != splitDosTime_)
        return false;
    previousDisk = number;
    return true;
}

bool TKyZipper::EraseDisk(const std::wstring& root)
{
    if (AskUser(L"Erase " + root.substr(0, 2), L"Confirm", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return true;
    if (SpanOptions & spTryFormat) {
        switch (Drive->Format(root)) {
        case IZipDrive::frFormatted:
            return true;
        case IZipDrive::frNotPossible:
            break;  // the files are deleted instead
        default:
            return false;
        }
    }
    return Drive->Wipe(root, [this](const std::wstring& path, bool folder) {
        if (Trace && OnMessage)
            OnMessage(this, 0, (folder ? L"EraseFloppy - Removing " : L"EraseFloppy - Deleting ") + path);
    });
}

bool TKyZipper::MayOverwritePart(uint32_t index, const std::wstring& path, int& error)
{
    if (Unattended && !OnStatusDisk) {
        error = zmUnattendedSpan;
        return false;
    }
    TZipDiskAction action = zdaCancel;
    if (OnStatusDisk) {
        OnStatusDisk(this, int(index + 1), path, zdsSameFileName, action);
    } else {
        std::u16string question = FormatZipMessage(TableText(zmFileExists), ToU16(path));
        action = AskUser(ToWide(question), L"Confirm", MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES
                     ? zdaOk
                     : zdaCancel;
    }
    if (action != zdaOk) {
        error = zmUserAbort;
        return false;
    }
    return true;
}

int TKyZipper::Add()
{
    return RunZip(zopAdd);
}

TZipStream* TKyZipper::ExtractFileToStream(const std::wstring& FileName)
{
    if (zipBusy_ || unzBusy_)
        return nullptr;
    zipStream_.Clear();
    FSpecArgs = {FileName};
    streamOperation_ = true;
    const ScopeExit done([this] { streamOperation_ = false; });
    Extract();
    if (successCnt_ != 1)
        return nullptr;
    zipStream_.Seek(0, TSeekOrigin::soBeginning);
    return &zipStream_;
}

int TKyZipper::AddStreamToFile(const std::wstring& FileName)
{
    if (zipBusy_ || unzBusy_)
        return -255;
    errCode_ = 0;
    if (FileName.empty()) {
        ShowZipMessage(zmNothingToAdd);
        return errCode_;
    }
    // The record names at most 2 GB of memory.
    if (zipStream_.Size() > std::numeric_limits<int32_t>::max()) {
        ShowZipMessage(zmZipDllFatal);
        return errCode_;
    }
    FSpecArgs = {FileName};
    streamOperation_ = true;
    const ScopeExit done([this] { streamOperation_ = false; });
    return Add();
}

int TKyZipper::Delete()
{
    return RunZip(zopDelete);
}

int32_t QRV_ZIPAPI TKyZipper::Callback(ZipCallbackData* data)
{
    if (!data || !data->Caller)
        return 0;
    return static_cast<TKyZipper*>(data->Caller)->dispatch_.Dispatch(*data);
}

}  // namespace qrv
