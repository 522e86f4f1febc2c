#include "external/AceCore.h"

#include "common/RunTargets.h"
#include "common/SafeExtractPath.h"
#include "external/FileIo.h"
#include "external/ZipFormat.h"
#include "framework/FilePath.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qrv::external {

namespace {

namespace fs = std::filesystem;

constexpr size_t kChunk = 1 << 18;
constexpr size_t kMainFixedSize = 12;   // signature, version, flags, comment length
constexpr size_t kEntryFixedSize = 37;  // header CRC, size and the fields up to the name
constexpr int32_t kCancelled = 255;     // the result of a run the caller cancelled

// The record of the last ACEInitDll: its callbacks and comment buffer.
tACEGlobalDataStruc* globalData = nullptr;

struct TAceEntry {
    std::string Name;
    uint32_t Flags = 0;
    uint8_t Method = 0;
    uint32_t Time = 0;
    uint32_t Attributes = 0;
    uint64_t PackSize = 0;
    uint64_t Size = 0;
    uint32_t Crc = 0;
    uint64_t DataAt = 0;

    bool IsDirectory() const { return (Attributes & 0x10) != 0; }
};

struct TAceArchive {
    uint8_t Version = 0;
    std::string Comment;
    std::vector<TAceEntry> Entries;
};

const unsigned char* U(const std::string& s, size_t at = 0)
{
    return reinterpret_cast<const unsigned char*>(s.data()) + at;
}

// Reads the whole directory; returns an error code, 0 when readable.
int32_t ReadArchive(TByteSource& src, TAceArchive& archive)
{
    try {
        if (src.Size() < kMainFixedSize)
            return ACE_ERROR_NOTACE;
        std::string main = src.ReadString(0, kMainFixedSize);
        if (main.compare(0, 7, "**ACE**") != 0)
            return ACE_ERROR_NOTACE;
        archive.Version = static_cast<uint8_t>(main[7]);
        const size_t commentLength = Get16(U(main, 10));
        main += src.ReadString(kMainFixedSize, commentLength);
        unsigned char crc[4];
        src.ReadAt(kMainFixedSize + commentLength, crc, 4);
        if (Get32(crc) != Crc32(0, main.data(), main.size()))
            return ACE_ERROR_BROKEN;
        if (archive.Version > kAceFormatVersion)
            return ACE_ERROR_VERSION;
        archive.Comment = main.substr(kMainFixedSize);

        uint64_t pos = kMainFixedSize + commentLength + 4;
        for (;;) {
            const std::string fixed = src.ReadString(pos, 6);
            const size_t headSize = Get16(U(fixed, 4));
            if (headSize == 0)
                return 0;
            if (headSize < kEntryFixedSize - 6)
                return ACE_ERROR_BROKEN;
            const std::string head = src.ReadString(pos + 4, 2 + headSize);
            if (Get32(U(fixed)) != Crc32(0, head.data(), head.size()))
                return ACE_ERROR_BROKEN;
            TAceEntry e;
            e.Flags = Get16(U(head, 2));
            e.Method = static_cast<uint8_t>(head[4]);
            e.Time = Get32(U(head, 5));
            e.Attributes = Get16(U(head, 9));
            e.PackSize = Get64(U(head, 11));
            e.Size = Get64(U(head, 19));
            e.Crc = Get32(U(head, 27));
            const size_t nameLength = Get16(U(head, 31));
            if (33 + nameLength != head.size())
                return ACE_ERROR_BROKEN;
            e.Name = head.substr(33, nameLength);
            e.DataAt = pos + 6 + headSize;
            if (e.PackSize > src.Size() - std::min(src.Size(), e.DataAt))
                return ACE_ERROR_BROKEN;
            pos = e.DataAt + e.PackSize;
            archive.Entries.push_back(std::move(e));
        }
    } catch (const ETruncated&) {
        return ACE_ERROR_READ;
    }
}

std::wstring Fold(std::wstring s)
{
    for (auto& c : s) {
        if (c == L'/')
            c = L'\\';
        else if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return s;
}

// The run of one operation: its callbacks, its answers, its failures.
class TAceRun {
public:
    TAceRun(TByteSource& src, std::string archiveName, const tACEFilesStruc& files)
        : src_(src), archiveName_(std::move(archiveName)), files_(files)
    {
        archiveData_.ArchiveName = archiveName_.c_str();
    }

    int32_t List();
    int32_t Process(bool extract, const char* destination, bool excludePath);

private:
    int32_t Call(ACECallbackFunc callback, uint32_t type, uint32_t code, tACEFileDataStruc* file = nullptr,
                 int32_t crcOk = 0);
    int32_t State(uint32_t code, tACEFileDataStruc* file, int32_t crcOk = 0);
    int32_t Error(uint32_t type, uint32_t code, tACEFileDataStruc* file = nullptr);
    int32_t Request(uint32_t code, tACEFileDataStruc* file);
    bool Selected(const TAceEntry& e) const;
    int32_t Open();
    void HandOverComment();
    tACEFileDataStruc FileData(const TAceEntry& e, const char* destination) const;

    TByteSource& src_;
    std::string archiveName_;
    const tACEFilesStruc& files_;
    TAceArchive archive_;
    tACEArchiveDataStruc archiveData_{};
    tACEProgressDataStruc progress_{};
};

int32_t TAceRun::Call(ACECallbackFunc callback, uint32_t type, uint32_t code, tACEFileDataStruc* file, int32_t crcOk)
{
    if (!callback)
        return ACE_ANSWER_OK;
    tACECallbackStruc data{};
    data.StructureType = type;
    data.Code = code;
    data.GlobalData = globalData;
    data.ArchiveData = &archiveData_;
    data.FileData = file;
    data.ProgressData = &progress_;
    data.CRCOk = crcOk;
    return callback(&data);
}

int32_t TAceRun::State(uint32_t code, tACEFileDataStruc* file, int32_t crcOk)
{
    return Call(globalData ? globalData->StateCallbackProc : nullptr, ACE_TYPE_ARCHIVEDFILE, code, file, crcOk);
}

int32_t TAceRun::Error(uint32_t type, uint32_t code, tACEFileDataStruc* file)
{
    return Call(globalData ? globalData->ErrorCallbackProc : nullptr, type, code, file);
}

int32_t TAceRun::Request(uint32_t code, tACEFileDataStruc* file)
{
    return Call(globalData ? globalData->RequestCallbackProc : nullptr, ACE_TYPE_ARCHIVEDFILE, code, file);
}

bool TAceRun::Selected(const TAceEntry& e) const
{
    const std::string list = files_.FileList ? files_.FileList : "";
    if (list.empty())
        return true;
    const std::wstring name = Fold(Utf8ToWide(e.Name));
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find('\r', pos);
        if (end == std::string::npos)
            end = list.size();
        const std::wstring wanted = Fold(Utf8ToWide(list.substr(pos, end - pos)));
        if (!wanted.empty() && (wanted == name || MatchesWildcard(name, wanted)))
            return true;
        pos = end + 1;
    }
    return false;
}

int32_t TAceRun::Open()
{
    const int32_t result = ReadArchive(src_, archive_);
    archiveData_.Version = archive_.Version;
    archiveData_.Files = static_cast<uint32_t>(archive_.Entries.size());
    if (result != 0)
        Error(ACE_TYPE_ARCHIVE, static_cast<uint32_t>(result));
    return result;
}

void TAceRun::HandOverComment()
{
    if (!globalData || !globalData->CommentBuf || globalData->CommentBufSize == 0)
        return;
    const size_t n = std::min<size_t>(archive_.Comment.size(), globalData->CommentBufSize - 1);
    std::memcpy(globalData->CommentBuf, archive_.Comment.data(), n);
    globalData->CommentBuf[n] = '\0';
    globalData->CommentSize = static_cast<uint32_t>(n);
}

tACEFileDataStruc TAceRun::FileData(const TAceEntry& e, const char* destination) const
{
    tACEFileDataStruc file{};
    file.SourceFileName = e.Name.c_str();
    file.DestinationFileName = destination;
    file.Flags = e.Flags;
    file.CRC32 = e.Crc;
    file.Method = e.Method;
    file.Time = e.Time;
    file.Attributes = e.Attributes;
    file.Size = static_cast<int64_t>(e.Size);
    file.CompressedSize = static_cast<int64_t>(e.PackSize);
    return file;
}

int32_t TAceRun::List()
{
    if (const int32_t result = Open(); result != 0)
        return result;
    HandOverComment();
    for (const auto& e : archive_.Entries) {
        tACEFileDataStruc file = FileData(e, nullptr);
        if (State(ACE_STATE_STARTFILE, &file) == ACE_ANSWER_CANCEL)
            return kCancelled;
    }
    return 0;
}

int32_t TAceRun::Process(bool extract, const char* destination, bool excludePath)
{
    if (const int32_t result = Open(); result != 0)
        return result;
    HandOverComment();
    for (const auto& e : archive_.Entries)
        if (Selected(e))
            progress_.TotalSize += static_cast<int64_t>(e.Size);

    int32_t failure = 0;
    std::vector<unsigned char> buffer(kChunk);
    // Entries whose names differ only in case are named apart.
    TRunTargets written([](const std::wstring& name) {
        std::error_code ec;
        return fs::exists(fs::symlink_status(FsPath(name), ec));
    });
    for (const auto& e : archive_.Entries) {
        if (!Selected(e))
            continue;
        std::optional<std::wstring> target;
        if (extract) {
            const std::wstring folder = destination && *destination ? Utf8ToWide(destination) : std::wstring(L".");
            target = SafeExtractPath(folder, Utf8ToWide(e.Name), !excludePath);
            if (target && !e.IsDirectory())
                target = written.Free(*target);
        }
        const std::string targetName = target ? WideToUtf8(*target) : std::string();
        tACEFileDataStruc file = FileData(e, target ? targetName.c_str() : nullptr);
        if (State(ACE_STATE_STARTFILE, &file) == ACE_ANSWER_CANCEL)
            return kCancelled;
        if (extract && !target) {
            failure = ACE_ERROR_CREATE;
            if (Error(ACE_TYPE_ARCHIVEDFILE, ACE_ERROR_CREATE, &file) == ACE_ANSWER_CANCEL)
                return kCancelled;
            continue;
        }
        if (e.IsDirectory()) {
            if (extract && !excludePath) {
                std::error_code ec;
                fs::create_directories(FsPath(*target), ec);
            }
            continue;
        }
        if (e.Flags & ACE_FILE_FLAG_ENCRYPTED) {
            // The password is asked as the format demands; there is no cipher
            // here to use it with.
            if (Request(ACE_REQUEST_PASSWORD, &file) == ACE_ANSWER_CANCEL)
                return kCancelled;
            failure = ACE_ERROR_EXTRACT;
            if (Error(ACE_TYPE_ARCHIVEDFILE, ACE_ERROR_EXTRACT, &file) == ACE_ANSWER_CANCEL)
                return kCancelled;
            continue;
        }
        // Only stored entries: data of another length than the declared
        // size is never written, not even in part.
        if (e.Method != 0 || e.PackSize != e.Size) {
            const int32_t code = e.Method != 0 ? ACE_ERROR_METHOD : ACE_ERROR_EXTRACT;
            failure = code;
            if (Error(ACE_TYPE_ARCHIVEDFILE, code, &file) == ACE_ANSWER_CANCEL)
                return kCancelled;
            continue;
        }

        TFilePtr out;
        fs::path path;
        if (extract) {
            path = FsPath(*target);
            std::error_code ec;
            if (fs::exists(fs::symlink_status(path, ec))) {
                const bool readOnly = (fs::status(path, ec).permissions() & fs::perms::owner_write) == fs::perms::none;
                const int32_t answer =
                    Request(readOnly ? ACE_REQUEST_OVERWRITE_READONLY : ACE_REQUEST_OVERWRITE, &file);
                if (answer == ACE_ANSWER_CANCEL)
                    return kCancelled;
                if (answer != ACE_ANSWER_OK || !fs::is_regular_file(path, ec))
                    continue;
            }
            fs::create_directories(path.parent_path(), ec);
            out = OpenFile(path, "wb");
            if (!out) {
                failure = ACE_ERROR_CREATE;
                if (Error(ACE_TYPE_ARCHIVEDFILE, ACE_ERROR_CREATE, &file) == ACE_ANSWER_CANCEL)
                    return kCancelled;
                continue;
            }
        }
        progress_.FileSize = static_cast<int64_t>(e.Size);
        progress_.FileProcessedSize = 0;
        uint32_t crc = 0;
        uint64_t remaining = e.PackSize, at = e.DataAt;
        bool writeFailed = false;
        while (remaining > 0 || progress_.FileProcessedSize == 0) {
            const size_t count = static_cast<size_t>(std::min<uint64_t>(remaining, buffer.size()));
            if (count > 0)
                src_.ReadAt(at, buffer.data(), count);
            at += count;
            remaining -= count;
            crc = Crc32(crc, buffer.data(), count);
            if (out && count > 0 && std::fwrite(buffer.data(), 1, count, out.get()) != count)
                writeFailed = true;
            progress_.FileProcessedSize += static_cast<int64_t>(count);
            progress_.TotalProcessedSize += static_cast<int64_t>(count);
            const bool cancelled = State(ACE_STATE_PROGRESS, &file) == ACE_ANSWER_CANCEL;
            if (cancelled || writeFailed) {
                if (out) {
                    out.reset();
                    std::error_code ec;
                    fs::remove(path, ec);
                }
                if (cancelled)
                    return kCancelled;
                break;
            }
            if (count == 0)
                break;
        }
        if (out && std::fclose(out.release()) != 0)
            writeFailed = true;
        if (writeFailed) {
            std::error_code ec;
            fs::remove(path, ec);
            failure = ACE_ERROR_WRITE;
            if (Error(ACE_TYPE_ARCHIVEDFILE, ACE_ERROR_WRITE, &file) == ACE_ANSWER_CANCEL)
                return kCancelled;
            continue;
        }
        const bool good = crc == e.Crc;
        if (extract) {
            std::error_code ec;
            if (good) {
                written.Written(*target);
                SetFileDosTime(path, e.Time);
            } else
                fs::remove(path, ec);  // a damaged file is not left behind
        }
        if (!good)
            failure = ACE_ERROR_BROKEN;
        if (State(ACE_STATE_CRCCHECK, &file, good ? 1 : 0) == ACE_ANSWER_CANCEL)
            return kCancelled;
    }
    return failure;
}

template <typename F>
int32_t WithFile(const char* archive, F&& run) noexcept
{
    if (!archive)
        return ACE_ERROR_OPEN;
    try {
        std::unique_ptr<TFileSource> source;
        try {
            source = std::make_unique<TFileSource>(FsPath(Utf8ToWide(archive)));
        } catch (const std::exception&) {
            return ACE_ERROR_OPEN;
        }
        return run(*source);
    } catch (const std::bad_alloc&) {
        return ACE_ERROR_MEMORY;
    } catch (...) {
        return ACE_ERROR_READ;
    }
}

const tACEFilesStruc kNoFiles{};

}  // namespace

int32_t AceInitDll(tACEGlobalDataStruc* Global) noexcept
{
    globalData = Global;
    return Global ? 0 : ACE_ERROR_MEMORY;
}

int32_t AceReadArchiveData(const char* Archive, tACEReadArchiveDataStruc* Data) noexcept
{
    if (!Data)
        return ACE_ERROR_MEMORY;
    static thread_local tACEArchiveDataStruc archiveData;
    static thread_local std::string name;
    return WithFile(Archive, [&](TByteSource& source) {
        TAceArchive archive;
        const int32_t result = ReadArchive(source, archive);
        if (result != 0)
            return result;
        name = Archive;
        archiveData = tACEArchiveDataStruc{};
        archiveData.ArchiveName = name.c_str();
        archiveData.Version = archive.Version;
        archiveData.Files = static_cast<uint32_t>(archive.Entries.size());
        Data->ArchiveData = &archiveData;
        return 0;
    });
}

int32_t AceListSource(TByteSource& Source, const char* ArchiveName, const tACEFilesStruc& Files) noexcept
{
    try {
        TAceRun run(Source, ArchiveName ? ArchiveName : "", Files);
        return run.List();
    } catch (...) {
        return ACE_ERROR_READ;
    }
}

int32_t AceTestSource(TByteSource& Source, const char* ArchiveName, const tACEFilesStruc& Files) noexcept
{
    try {
        TAceRun run(Source, ArchiveName ? ArchiveName : "", Files);
        return run.Process(false, nullptr, false);
    } catch (const ETruncated&) {
        return ACE_ERROR_READ;
    } catch (...) {
        return ACE_ERROR_READ;
    }
}

int32_t AceList(const char* Archive, tACEListStruc* List) noexcept
{
    return WithFile(Archive,
                    [&](TByteSource& source) { return AceListSource(source, Archive, List ? List->Files : kNoFiles); });
}

int32_t AceTest(const char* Archive, tACETestStruc* Test) noexcept
{
    return WithFile(Archive,
                    [&](TByteSource& source) { return AceTestSource(source, Archive, Test ? Test->Files : kNoFiles); });
}

int32_t AceExtract(const char* Archive, tACEExtractStruc* Extract) noexcept
{
    if (!Extract)
        return ACE_ERROR_NOFILES;
    return WithFile(Archive, [&](TByteSource& source) -> int32_t {
        try {
            TAceRun run(source, Archive, Extract->Files);
            return run.Process(true, Extract->DestinationDir, Extract->ExcludePath != 0);
        } catch (const std::bad_alloc&) {
            return ACE_ERROR_MEMORY;
        } catch (...) {
            return ACE_ERROR_READ;
        }
    });
}

}  // namespace qrv::external
