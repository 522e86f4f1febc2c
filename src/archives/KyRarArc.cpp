#include "archives/KyRarArc.h"

#include "common/OemCodePage.h"
#include "common/RunTargets.h"
#include "common/SafeExtractPath.h"
#include "framework/FilePath.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

#include <filesystem>
#include <optional>

namespace qrv {

namespace {

// The reader running on this thread: the library's callbacks carry no
// context of their own.
thread_local TKyRAR* activeReader = nullptr;

constexpr uint32_t kCommentBufferSize = 65535;

}  // namespace

bool TUnrarFunctions::Complete() const
{
    return OpenArchive && CloseArchive && ReadHeader && ProcessFile && SetChangeVolProc && SetProcessDataProc &&
           SetPassword;
}

TKyRAR::TKyRAR(TComponent* owner, TRarPlatform platform)
    : TComponent(owner), platform_(std::move(platform)), comment_(std::make_unique<TComment>())
{
    filesToExtract_.SetSorted(true);
    filesToTest_.SetSorted(true);
}

TKyRAR::~TKyRAR()
{
    if (loaded_ && platform_.FreeUnrar)
        platform_.FreeUnrar();
}

void TKyRAR::SetArchiveName(const std::wstring& name)
{
    if (name != archiveName_)
        entries_.clear();
    archiveName_ = name;
}

void TKyRAR::SetTargetDir(const std::wstring& dir)
{
    targetDir_ = dir.empty() ? dir : AddPathSeparator(dir);
}

void TKyRAR::SetDLLDirectory(const std::wstring& dir)
{
    dllDirectory_ = dir.empty() ? dir : AddPathSeparator(dir);
}

std::wstring TKyRAR::ErrorText(int code)
{
    const wchar_t* text = nullptr;
    switch (code) {
    case 10:
        text = L"Ende des Archivs";
        break;
    case 11:
        text = L"Nicht genügend Hauptspeicher vorhanden";
        break;
    case 12:
        text = L"CRC-Fehler";
        break;
    case 13:
        text = L"Die Datei ist kein gültiges RAR-Archiv";
        break;
    case 14:
        text = L"Unbekanntes Datenformat im Archivkommentar";
        break;
    case 15:
        text = L"Datei kann nicht geöffnet werden";
        break;
    case 16:
        text = L"Datei kann nicht angelegt werden";
        break;
    case 17:
        text = L"Datei kann nicht geschlossen werden";
        break;
    case 18:
        text = L"Lesefehler";
        break;
    case 19:
        text = L"Schreibfehler";
        break;
    case 20:
        text = L"Puffer zu kein für Archivkommentar";
        break;
    case 50:
        text = L"Datei UNRAR.dll nicht gefunden";
        break;
    default:
        break;
    }
    return L"UNRAR: " + (text ? std::wstring(text) : L"Unbekannter Fehler: " + std::to_wstring(code));
}

bool TKyRAR::EnsureLoaded()
{
    if (loaded_)
        return true;
    TUnrarFunctions functions;
    if (!platform_.LoadUnrar || !platform_.LoadUnrar(dllDirectory_, functions))
        return false;
    if (!functions.Complete()) {
        if (platform_.FreeUnrar)
            platform_.FreeUnrar();
        return false;
    }
    functions_ = functions;
    loaded_ = true;
    return true;
}

void TKyRAR::Fail(const std::wstring& fileName, int code)
{
    lastError_ = code;
    if (OnError)
        OnError(this, fileName, code);
}

std::wstring TKyRAR::Text(const char* oemName) const
{
    const std::string_view bytes(oemName);
    if (platform_.OemToText)
        return platform_.OemToText(bytes);
    const std::u16string text = OemToUtf16(bytes, TOemCodePage::cp850);
    return std::wstring(text.begin(), text.end());
}

int32_t QRV_RARAPI TKyRAR::VolumeThunk(char* arcName, int32_t mode)
{
    // Nothing may be thrown back through the library.
    try {
        TKyRAR* self = activeReader;
        return self && self->OnVolumeChange ? self->OnVolumeChange(self, arcName, mode) : -1;
    } catch (...) {
        return -1;
    }
}

int32_t QRV_RARAPI TKyRAR::DataThunk(unsigned char* addr, int32_t size)
{
    try {
        TKyRAR* self = activeReader;
        if (!self)
            return -1;
        self->byteTotal_ += size;
        return self->OnProcessData ? self->OnProcessData(self, addr, size, static_cast<int>(self->byteTotal_)) : 1;
    } catch (...) {
        return -1;
    }
}

void TKyRAR::List()
{
    (void)RunLoop(TRun::list, true);
}

bool TKyRAR::Extract(bool usePaths)
{
    return RunLoop(TRun::extract, usePaths);
}

bool TKyRAR::Test()
{
    return RunLoop(TRun::test, true);
}

bool TKyRAR::RunLoop(TRun run, bool usePaths)
{
    busy_ = true;
    const ScopeExit notBusy([this] { busy_ = false; });
    if (!EnsureLoaded()) {
        Fail(L"", kRarErrorNoLibrary);
        return false;
    }
    if (run != TRun::list && archiveName_.empty()) {
        Fail(archiveName_, kRarErrorNoArchive);
        return false;
    }
    if (run == TRun::list)
        entries_.clear();
    if (run == TRun::test)
        testedCount_ = 0;

    const std::string arcName = WideToUtf8(archiveName_);
    RAROpenRecord open{};
    open.ArcName = arcName.c_str();
    open.OpenMode = run == TRun::list ? RAR_OM_LIST : RAR_OM_EXTRACT;
    open.CmtBuf = comment_->Text;
    open.CmtBufSize = kCommentBufferSize;
    void* handle = functions_.OpenArchive(&open);
    if (open.OpenResult != RAR_SUCCESS || !handle) {
        if (handle)
            functions_.CloseArchive(handle);
        Fail(archiveName_, open.OpenResult != RAR_SUCCESS ? static_cast<int>(open.OpenResult) : RAR_EOPEN);
        return false;
    }
    TKyRAR* const previousReader = activeReader;
    activeReader = this;
    const ScopeExit close([&] {
        functions_.CloseArchive(handle);
        activeReader = previousReader;
    });
    if (open.CmtState == 1 && OnComment) {
        comment_->Size = open.CmtSize;
        OnComment(this, *comment_);
    }
    if (OnVolumeChange)
        functions_.SetChangeVolProc(handle, &TKyRAR::VolumeThunk);
    if (run == TRun::extract && OnProcessData)
        functions_.SetProcessDataProc(handle, &TKyRAR::DataThunk);

    bool result = true;
    int toTargetFile = 0;
    // Entries whose names differ only in case are named apart.
    TRunTargets written([](const std::wstring& name) {
        std::error_code ec;
        return std::filesystem::exists(std::filesystem::symlink_status(FsPath(name), ec));
    });
    RARHeaderData header{};
    // Skips the current entry; false (and the run ends) when that fails.
    auto skip = [&](const std::wstring& name) {
        const int rc = functions_.ProcessFile(handle, RAR_SKIP, nullptr, nullptr);
        if (rc != RAR_SUCCESS) {
            result = false;
            Fail(name, rc);
        }
        return rc == RAR_SUCCESS;
    };
    auto askPassword = [&] {
        if (!(header.Flags & RAR_FLAG_ENCRYPTED) || !OnReqPassword)
            return;
        std::wstring password;
        OnReqPassword(this, header, password);
        if (!password.empty())
            functions_.SetPassword(handle, WideToUtf8(password).c_str());
    };

    for (;;) {
        const int read = functions_.ReadHeader(handle, &header);
        if (read == RAR_END_ARCHIVE)
            break;
        if (read != RAR_SUCCESS) {
            result = false;
            Fail(archiveName_, read);
            break;
        }
        header.ArcName[RAR_NAME_SIZE - 1] = '\0';
        header.FileName[RAR_NAME_SIZE - 1] = '\0';

        if (run == TRun::list) {
            if (OnListFile)
                OnListFile(this, header);
            TRarEntry entry;
            entry.Method = header.Method;
            entry.FileTime = header.FileTime;
            entry.FileCRC = header.FileCRC;
            entry.PackSize = header.PackSize;
            entry.UnpSize = header.UnpSize;
            entry.FileAttr = header.FileAttr;
            entry.FileName = Text(header.FileName);
            if (header.CmtBuf && header.CmtState == 1 && header.CmtSize > 0 && header.CmtSize <= header.CmtBufSize)
                entry.Comment = Text(std::string(header.CmtBuf, header.CmtSize - 1).c_str());
            entry.Encrypted = (header.Flags & RAR_FLAG_ENCRYPTED) ? 1 : 0;
            entries_.push_back(std::move(entry));
            if (Stop) {
                Stop = false;
                break;
            }
            if (!skip(archiveName_))
                break;
            continue;
        }

        const std::wstring name = Text(header.FileName);
        if (Stop) {
            Stop = false;
            break;
        }
        const TStringList& filter = run == TRun::extract ? filesToExtract_ : filesToTest_;
        if (filter.Count() > 0 && filter.IndexOf(name) < 0) {
            if (!skip(name))
                break;
            continue;
        }

        if (run == TRun::test) {
            if (OnTesting)
                OnTesting(this, header);
            ++testedCount_;
            askPassword();
            const int rc = functions_.ProcessFile(handle, RAR_TEST, nullptr, nullptr);
            if (OnTested)
                OnTested(this, header, rc == RAR_SUCCESS);
            if (rc != RAR_SUCCESS) {
                // A bad entry is reported, and the next one tested.
                result = false;
                Fail(name, rc);
                if (rc == RAR_CANCELLED)
                    break;
            }
            continue;
        }

        bool doExtract = true;
        if (OnExtracting)
            OnExtracting(this, header, doExtract);
        if (!doExtract) {
            if (filter.Count() == 1)
                result = false;
            if (!skip(name))
                break;
            continue;
        }
        byteTotal_ = 0;
        askPassword();
        const bool isDirectory = (header.Flags & RAR_FLAG_DIRECTORY) == RAR_FLAG_DIRECTORY;
        std::optional<std::wstring> dest;
        if (isDirectory && (!usePaths || !TargetFile.empty())) {
            // A folder has no place of its own here: nothing to write.
            if (!skip(name))
                break;
            continue;
        }
        if (!TargetFile.empty()) {
            // One target file takes one entry; a second would overwrite it.
            if (++toTargetFile == 1)
                dest = TargetFile;
        } else {
            dest = SafeExtractPath(targetDir_, name, usePaths);
            if (dest && !isDirectory)
                dest = written.Free(*dest);
        }
        if (!dest) {
            result = false;
            Fail(name, RAR_ECREATE);
            if (!skip(name))
                break;
            continue;
        }
        const int rc = functions_.ProcessFile(handle, RAR_EXTRACT, nullptr, WideToUtf8(*dest).c_str());
        if (rc == RAR_SUCCESS && !isDirectory && TargetFile.empty())
            written.Written(*dest);
        if (rc == RAR_SUCCESS && platform_.FileCreated)
            platform_.FileCreated(*dest);
        if (OnExtract)
            OnExtract(this, header, rc == RAR_SUCCESS);
        if (rc != RAR_SUCCESS) {
            // A refused entry is reported, and the next one extracted.
            result = false;
            Fail(name, rc);
            if (rc == RAR_CANCELLED)
                break;
        }
    }
    return result;
}

}  // namespace qrv
