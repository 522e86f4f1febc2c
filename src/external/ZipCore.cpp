#include "external/ZipCore.h"

#include "external/FileIo.h"
#include "external/ZipReporter.h"
#include "external/ZipWriter.h"
#include "framework/FilePath.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qrv::external {

namespace {

namespace fs = std::filesystem;

std::wstring Fold(std::wstring_view s)
{
    std::wstring out(s);
    for (auto& c : out) {
        if (c == L'/')
            c = L'\\';
        else if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return out;
}

bool HasWildcard(std::wstring_view s)
{
    return s.find_first_of(L"*?") != std::wstring_view::npos;
}

std::wstring Wide(const char* utf8)
{
    return utf8 ? Utf8ToWide(utf8) : std::wstring();
}

// "mm dd yy" as a DOS date-time at midnight; 0 when absent or unreadable.
uint32_t ParseFromDate(const char* text)
{
    if (!text)
        return 0;
    unsigned month = 0, day = 0, year = 0;
    if (std::sscanf(text, "%u %u %u", &month, &day, &year) != 3 || month < 1 || month > 12 || day < 1 || day > 31)
        return 0;
    year += year < 80 ? 2000 : (year < 100 ? 1900 : 0);
    if (year < 1980 || year > 2107)
        return 0;
    return ((year - 1980) << 25) | (month << 21) | (day << 16);
}

struct TCandidate {
    fs::path File;
    std::wstring StoredName;  // "\" or "/" as found, folded later
    bool Encrypt = false;
    std::string Password;
    // The caller's memory instead of a file, with the time it is stored with.
    std::optional<std::string_view> Memory;
    uint32_t MemoryTime = 0;

    uint32_t DosTime() const { return Memory ? MemoryTime : FileDosTime(File); }
    uint64_t Size() const
    {
        std::error_code ec;
        return Memory ? Memory->size() : fs::file_size(File, ec);
    }
};

class TZipRun {
public:
    TZipRun(const ZipCommand& cmd, const TZipHooks& hooks)
        : cmd_(cmd), hooks_(hooks), report_(cmd.Callback, cmd.Caller, true)
    {}

    int32_t Run();

private:
    int32_t Add(TByteSource* oldArchive, const TZipDirectory* oldDir);
    int32_t Delete(TByteSource& oldArchive, const TZipDirectory& oldDir);
    void Collect(const ZipFileSpec& spec, std::vector<TCandidate>& found);
    void CollectMemory(std::vector<TCandidate>& found);
    void SetEncryption(const ZipFileSpec& spec, TCandidate& c) const;
    void Consider(const fs::path& file, const fs::path& root, const ZipFileSpec& spec, std::vector<TCandidate>& found);
    bool Excluded(const std::wstring& storedName) const;
    uint32_t Attributes(const fs::path& file) const;
    bool StoreOnly(const fs::path& file) const;
    bool Commit(const std::function<void(TZipWriter&)>& write);
    std::wstring EntryName(const TZipEntryInfo& e) const { return DecodeEntryName(e, hooks_.Names); }

    const ZipCommand& cmd_;
    const TZipHooks& hooks_;
    TZipReporter report_;
    fs::path archive_;
    fs::path temp_;
    std::unique_ptr<TFileSource> source_;  // the old archive, closed before it is replaced
};

uint32_t TZipRun::Attributes(const fs::path& file) const
{
    if (hooks_.GetAttributes)
        return hooks_.GetAttributes(file);
    std::error_code ec;
    const auto perms = fs::status(file, ec).permissions();
    return (!ec && (perms & fs::perms::owner_write) == fs::perms::none) ? 0x21 : 0x20;
}

bool TZipRun::StoreOnly(const fs::path& file) const
{
    if (cmd_.Level == 0 || !cmd_.StoreSuffixes)
        return cmd_.Level == 0;
    const std::wstring ext = Fold(FromFsPath(file.extension()));
    if (ext.empty())
        return false;
    std::wstring list = Fold(Wide(cmd_.StoreSuffixes));
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find_first_of(L":;", pos);
        if (end == std::wstring::npos)
            end = list.size();
        std::wstring suffix = list.substr(pos, end - pos);
        if (!suffix.empty() && suffix[0] != L'.')
            suffix.insert(suffix.begin(), L'.');
        if (suffix == ext)
            return true;
        pos = end + 1;
    }
    return false;
}

bool TZipRun::Excluded(const std::wstring& storedName) const
{
    for (int32_t i = 0; i < cmd_.ExclCount && cmd_.Excludes; ++i) {
        const std::wstring pattern = Wide(cmd_.Excludes[i].FileSpec);
        if (pattern.empty())
            continue;
        const std::wstring fileName = FromFsPath(FsPath(storedName).filename());
        if (MatchesWildcard(storedName, pattern) || MatchesWildcard(fileName, pattern))
            return true;
    }
    return false;
}

void TZipRun::Consider(const fs::path& file, const fs::path& root, const ZipFileSpec& spec,
                       std::vector<TCandidate>& found)
{
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(file, ec)))
        return;  // links and devices are not archived
    if (fs::equivalent(file, archive_, ec))
        return;
    const uint32_t attributes = Attributes(file);
    if ((attributes & 0x06) && !cmd_.fHidden)
        return;
    if (const uint32_t from = ParseFromDate(cmd_.FromDate); from != 0 && FileDosTime(file) < from)
        return;

    std::wstring stored;
    const fs::path relative = file.lexically_relative(root);
    if (cmd_.fDirNames && !relative.empty() && *relative.begin() != L"..")
        stored = FromFsPath(relative);
    else if (cmd_.fDirNames)
        stored = FromFsPath(file.relative_path());  // outside the root: drive and root dropped
    else
        stored = FromFsPath(file.filename());
    if (Excluded(stored))
        return;

    TCandidate c;
    c.File = file;
    c.StoredName = stored;
    SetEncryption(spec, c);
    found.push_back(std::move(c));
}

void TZipRun::SetEncryption(const ZipFileSpec& spec, TCandidate& c) const
{
    c.Encrypt = spec.Encrypt == QRV_ZIP_SPEC_PLAIN ? false : spec.Encrypt != 0 || cmd_.fEncrypt != 0;
    if (spec.PasswordGiven && spec.Password)
        c.Password = spec.Password;
    else if (cmd_.Password)
        c.Password = cmd_.Password;
}

// Zipping from memory: the caller's bytes become one entry, named by the
// first file spec (ZipFileSpec) and dated now.
void TZipRun::CollectMemory(std::vector<TCandidate>& found)
{
    if (cmd_.SpecCount <= 0 || Wide(cmd_.Specs[0].FileSpec).empty() || cmd_.InStreamSize < 0 ||
        (cmd_.InStreamSize > 0 && !cmd_.InStream))
        return;
    TCandidate c;
    c.StoredName = Wide(cmd_.Specs[0].FileSpec);
    if (Excluded(c.StoredName))
        return;
    c.Memory = std::string_view(static_cast<const char*>(cmd_.InStream), size_t(cmd_.InStreamSize));
    c.MemoryTime = TimeToDosTime(std::time(nullptr));
    SetEncryption(cmd_.Specs[0], c);
    found.push_back(std::move(c));
}

void TZipRun::Collect(const ZipFileSpec& spec, std::vector<TCandidate>& found)
{
    const std::wstring text = Wide(spec.FileSpec);
    if (text.empty())
        return;
    std::wstring rootText = Wide(spec.RootDir);
    if (rootText.empty())
        rootText = Wide(cmd_.RootDir);
    std::error_code ec;
    const fs::path root =
        fs::absolute(rootText.empty() ? fs::current_path(ec) : FsPath(rootText), ec).lexically_normal();
    fs::path full = FsPath(text);
    if (full.is_relative())
        full = root / full;
    full = full.lexically_normal();

    const std::wstring pattern = FromFsPath(full.filename());
    const bool wild = HasWildcard(pattern);
    const bool isDir = !wild && fs::is_directory(full, ec);
    const fs::path folder = isDir ? full : full.parent_path();
    if (!wild && !isDir) {
        Consider(full, root, spec, found);
        return;
    }
    auto visit = [&](const fs::directory_entry& entry) {
        if (entry.is_regular_file(ec) && (isDir || MatchesWildcard(FromFsPath(entry.path().filename()), pattern)))
            Consider(entry.path(), root, spec, found);
    };
    if (cmd_.fRecurse) {
        for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end; it.increment(ec))
            visit(*it);
    } else {
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            visit(*it);
    }
}

// Writes the new archive into a temporary file and puts it in place; the
// old archive is untouched until then.
bool TZipRun::Commit(const std::function<void(TZipWriter&)>& write)
{
    const fs::path folder = cmd_.TempDir && *cmd_.TempDir ? FsPath(Wide(cmd_.TempDir)) : archive_.parent_path();
    std::error_code ec;
    for (int n = 0;; ++n) {
        temp_ = folder / FsPath(FromFsPath(archive_.filename()) + L"." + std::to_wstring(n) + L".tmp");
        if (!fs::exists(temp_, ec))
            break;
    }
    bool ok = false;
    try {
        TFilePtr file = OpenFile(temp_, "wb");
        if (!file)
            throw std::runtime_error("cannot create the temporary archive");
        TFileOutput output(file.get());
        TZipWriter writer(output);
        write(writer);
        if (!report_.Cancelled()) {
            writer.Finish();
            const uint64_t length = output.End();
            if (std::fclose(file.release()) != 0)
                throw std::runtime_error("write error");
            fs::resize_file(temp_, length);
            source_.reset();
            if (hooks_.PutInPlace)
                ok = hooks_.PutInPlace(temp_, archive_);
            else
                ok = (fs::rename(temp_, archive_, ec), !ec);
            if (!ok)
                report_.Message(3, "Archiv kann nicht ersetzt werden: " + WideToUtf8(FromFsPath(archive_)));
        }
    } catch (const std::exception& ex) {
        report_.Message(3, std::string("Archiv kann nicht geschrieben werden: ") + ex.what());
    }
    if (!ok)
        fs::remove(temp_, ec);
    return ok;
}

int32_t TZipRun::Add(TByteSource* oldArchive, const TZipDirectory* oldDir)
{
    std::vector<TCandidate> found;
    if (cmd_.fUseInStream)
        CollectMemory(found);
    else
        for (int32_t i = 0; i < cmd_.SpecCount; ++i)
            Collect(cmd_.Specs[i], found);

    // Entries of the old archive by folded name.
    std::map<std::wstring, size_t> existing;
    if (oldDir)
        for (size_t i = 0; i < oldDir->Entries.size(); ++i)
            existing.emplace(Fold(EntryName(oldDir->Entries[i])), i);

    std::map<size_t, size_t> replaced;  // old entry -> candidate
    std::vector<size_t> added;
    std::set<std::wstring> taken;
    for (size_t c = 0; c < found.size(); ++c) {
        const std::wstring key = Fold(found[c].StoredName);
        if (!taken.insert(key).second)
            continue;  // the same name twice: the first file wins
        const auto it = existing.find(key);
        const bool newer = it == existing.end() || found[c].DosTime() > oldDir->Entries[it->second].DosTime;
        if (it != existing.end()) {
            if ((cmd_.fUpdate || cmd_.fFreshen) && !newer)
                continue;
            replaced.emplace(it->second, c);
        } else if (!cmd_.fFreshen || cmd_.fUpdate) {
            added.push_back(c);
        }
    }
    const size_t total = replaced.size() + added.size();
    if (total == 0) {
        report_.Call(zacEndOfBatch, 0, 0, "");
        return 0;
    }
    uint64_t bytes = 0;
    std::error_code ec;
    for (const auto& [entry, c] : replaced)
        bytes += found[c].Size();
    for (const size_t c : added)
        bytes += found[c].Size();
    report_.Call(zacCount, 0, static_cast<int64_t>(total), "");
    report_.Call(zacSize, 0, static_cast<int64_t>(bytes), "");

    std::vector<size_t> written;
    auto addOne = [&](TZipWriter& writer, size_t c) {
        const TCandidate& cand = found[c];
        std::wstring stored = cand.StoredName;
        std::replace(stored.begin(), stored.end(), L'\\', L'/');
        TNewEntry entry;
        if (auto oem = hooks_.Names.Encode(stored)) {
            entry.Name = *oem;
        } else {
            entry.Name = WideToUtf8(stored);
            entry.Utf8Name = true;
        }
        const std::string name = WideToUtf8(stored);
        if (cand.Encrypt && cand.Password.empty()) {
            report_.Message(4, "Kein Passwort zum Verschlüsseln: " + name);
            report_.Skipped(name, zskBadPassword);
            return;
        }
        entry.DosTime = cand.DosTime();
        entry.ExternalAttr = cand.Memory ? 0x20 : Attributes(cand.File);
        entry.Level = StoreOnly(cand.Memory ? FsPath(stored) : cand.File) ? 0 : std::clamp(cmd_.Level, 0, 9);
        entry.Password = cand.Encrypt ? &cand.Password : nullptr;
        TEntryInput input;
        TFilePtr file;
        bool readFailed = false;
        size_t memoryAt = 0;
        if (cand.Memory) {
            input.Read = [&](unsigned char* data, size_t count) {
                const size_t got = std::min(count, cand.Memory->size() - memoryAt);
                std::copy_n(cand.Memory->data() + memoryAt, got, data);
                memoryAt += got;
                return got;
            };
            input.Rewind = [&] { memoryAt = 0; };
        } else {
            file = OpenFile(cand.File, "rb");
            if (!file) {
                report_.Message(5, "Datei kann nicht gelesen werden: " + name);
                report_.Skipped(name, zskGeneralExtractError);
                return;
            }
            std::FILE* f = file.get();
            input.Read = [&readFailed, f](unsigned char* data, size_t count) {
                const size_t got = std::fread(data, 1, count, f);
                if (got < count && std::ferror(f))
                    readFailed = true;
                return got;
            };
            input.Rewind = [f] { std::rewind(f); };
        }
        report_.Call(zacItem, 0, static_cast<int64_t>(cand.Size()), name);
        const bool complete = writer.Add(entry, input, [&](size_t count) {
            report_.Call(zacProgress, 0, static_cast<int64_t>(count), "");
            return !report_.Cancelled();
        });
        if (readFailed)
            throw std::runtime_error("read error: " + name);
        if (complete)
            written.push_back(c);
    };

    const bool ok = Commit([&](TZipWriter& writer) {
        if (oldDir) {
            for (size_t i = 0; i < oldDir->Entries.size() && !report_.Cancelled(); ++i) {
                const auto it = replaced.find(i);
                if (it == replaced.end()) {
                    writer.Copy(*oldArchive, oldDir->Entries[i]);
                    continue;
                }
                const size_t before = written.size();
                addOne(writer, it->second);
                if (written.size() == before && !report_.Cancelled())
                    writer.Copy(*oldArchive, oldDir->Entries[i]);  // keep the old one
            }
        }
        for (const size_t c : added) {
            if (report_.Cancelled())
                break;
            addOne(writer, c);
        }
    });
    report_.Call(zacEndOfBatch, 0, 0, "");
    if (!ok)
        return 0;
    // Moving: a source goes only now that the archive holding it is in place.
    if (cmd_.fMove)
        for (const size_t c : written)
            if (!found[c].Memory && !fs::remove(found[c].File, ec))
                report_.Message(6, "Datei kann nicht gelöscht werden: " + WideToUtf8(FromFsPath(found[c].File)));
    return static_cast<int32_t>(written.size());
}

int32_t TZipRun::Delete(TByteSource& oldArchive, const TZipDirectory& oldDir)
{
    std::vector<bool> drop(oldDir.Entries.size(), false);
    int32_t count = 0;
    for (size_t i = 0; i < oldDir.Entries.size(); ++i) {
        const std::wstring name = EntryName(oldDir.Entries[i]);
        for (int32_t s = 0; s < cmd_.SpecCount && !drop[i]; ++s) {
            const std::wstring pattern = Wide(cmd_.Specs[s].FileSpec);
            if (!pattern.empty() && MatchesWildcard(name, pattern))
                drop[i] = true;
        }
        if (drop[i])
            ++count;
    }
    if (count == 0) {
        report_.Call(zacEndOfBatch, 0, 0, "");
        return 0;
    }
    report_.Call(zacCount, 0, count, "");
    const bool ok = Commit([&](TZipWriter& writer) {
        for (size_t i = 0; i < oldDir.Entries.size(); ++i) {
            if (drop[i])
                report_.Call(zacItem, 0, static_cast<int64_t>(oldDir.Entries[i].Size),
                             WideToUtf8(EntryName(oldDir.Entries[i])));
            else
                writer.Copy(oldArchive, oldDir.Entries[i]);
        }
    });
    report_.Call(zacEndOfBatch, 0, 0, "");
    return ok ? count : 0;
}

int32_t TZipRun::Run()
{
    archive_ = fs::absolute(FsPath(Wide(cmd_.ZipFileName))).lexically_normal();
    std::optional<TZipDirectory> dir;
    std::error_code ec;
    if (fs::exists(archive_, ec)) {
        try {
            source_ = std::make_unique<TFileSource>(archive_);
            if (source_->Size() > 0)  // an empty file becomes a new archive
                dir = ReadZipDirectory(*source_);
        } catch (const std::exception& ex) {
            // Never overwrite what is not a readable zip archive.
            report_.Message(2, std::string("Archiv beschädigt oder kein Zip-Archiv: ") + ex.what());
            report_.Call(zacEndOfBatch, 0, 0, "");
            return 0;
        }
    }
    if (cmd_.Action == zopDelete) {
        if (!dir) {
            report_.Call(zacEndOfBatch, 0, 0, "");
            return 0;
        }
        return Delete(*source_, *dir);
    }
    return Add(source_.get(), dir ? &*dir : nullptr);
}

}  // namespace

int32_t ZipExec(const ZipCommand* Command, const TZipHooks& Hooks) noexcept
{
    if (!Command || Command->fSeven != QRV_ZIP_RECORD_END || !Command->ZipFileName ||
        (Command->SpecCount > 0 && !Command->Specs) || (Command->ExclCount > 0 && !Command->Excludes) ||
        (Command->Action != zopAdd && Command->Action != zopDelete))
        return -1;
    try {
        TZipRun run(*Command, Hooks);
        return run.Run();
    } catch (const std::exception& ex) {
        // A fault of the library itself: reported, never thrown to the caller.
        try {
            TZipReporter(Command->Callback, Command->Caller, true)
                .Message(9, std::string("Interner Fehler: ") + ex.what());
        } catch (...) {}
        return -2;
    } catch (...) {
        return -2;
    }
}

}  // namespace qrv::external
