#include "external/UnzipCore.h"

#include "common/RunTargets.h"
#include "common/SafeExtractPath.h"
#include "external/FileIo.h"
#include "external/ZipReporter.h"
#include "framework/FilePath.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qrv::external {

namespace {

namespace fs = std::filesystem;

constexpr size_t kChunk = 1 << 18;

// The attributes a DOS or Windows host stores in the low byte; what a
// Unix host stores is turned into read-only.
uint32_t DosAttributes(const TZipEntryInfo& e)
{
    const unsigned host = e.VersionMadeBy >> 8;
    if (host == 3) {
        const uint32_t mode = e.ExternalAttr >> 16;
        return (mode & 0200) ? 0x20 : 0x21;
    }
    return e.ExternalAttr & 0x27;
}

std::string Narrow(const std::wstring& name)
{
    return WideToUtf8(name);
}

// Where the bytes of one entry go: a file, or nowhere when testing.
class TEntrySink {
public:
    virtual ~TEntrySink() = default;
    virtual bool Write(const unsigned char* data, size_t count) = 0;
};

class TFileSink : public TEntrySink {
public:
    explicit TFileSink(std::FILE* f) : file_(f) {}
    bool Write(const unsigned char* data, size_t count) override { return std::fwrite(data, 1, count, file_) == count; }

private:
    std::FILE* file_;
};

class TNullSink : public TEntrySink {
public:
    bool Write(const unsigned char*, size_t) override { return true; }
};

// The caller's memory: never written beyond its size.
class TMemorySink : public TEntrySink {
public:
    TMemorySink(unsigned char* memory, size_t size) : memory_(memory), size_(size) {}
    bool Write(const unsigned char* data, size_t count) override
    {
        if (count > size_ - used_ || (count > 0 && !memory_))
            return false;
        std::copy(data, data + count, memory_ + used_);
        used_ += count;
        return true;
    }

private:
    unsigned char* memory_;
    size_t size_;
    size_t used_ = 0;
};

enum class TDataResult { ok, badData, tooLarge, writeFailed, openFailed, cancelled };

// What one attempt at an entry's data gave.
struct TUnpacked {
    TDataResult Result = TDataResult::ok;
    uint32_t Crc = 0;
    uint64_t Produced = 0;

    // The data did not decode to what the headers promise: damage, or a
    // wrong password that only happened to fit the one check byte.
    bool Failed(const TZipEntryInfo& e) const
    {
        return Result == TDataResult::badData || Result == TDataResult::tooLarge ||
               (Result == TDataResult::ok && (Produced != e.Size || Crc != e.Crc));
    }
};

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

class TUnzipRun {
public:
    TUnzipRun(const UnzCommand& cmd, TByteSource& src, const TUnzipHooks& hooks)
        : cmd_(cmd), src_(src), hooks_(hooks), report_(cmd.Callback, cmd.Caller, false)
    {}

    int32_t Run();

private:
    bool Selected(const std::wstring& name) const;
    void Process(const TZipEntryInfo& e);
    std::optional<std::string> FindPassword(const TZipEntryInfo& e, const std::string& name, uint64_t dataAt,
                                            int32_t& asked, const std::vector<std::string>& refused);
    bool PasswordFits(const TZipEntryInfo& e, const std::string& password, uint64_t dataAt);
    TDataResult Unpack(const TZipEntryInfo& e, uint64_t dataAt, const std::string* password, TEntrySink& sink,
                       uint32_t& crc, uint64_t& produced);
    TUnpacked UnpackTo(const TZipEntryInfo& e, uint64_t dataAt, const std::string* password, bool test, bool toMemory,
                       const fs::path& target);

    const UnzCommand& cmd_;
    TByteSource& src_;
    const TUnzipHooks& hooks_;
    TZipReporter report_;
    int32_t done_ = 0;
    std::string lastGoodPassword_;
    std::vector<unsigned char> in_ = std::vector<unsigned char>(kChunk);
    std::vector<unsigned char> out_ = std::vector<unsigned char>(kChunk);
    TRunTargets targets_{[](const std::wstring& name) {
        std::error_code ec;
        return fs::exists(fs::symlink_status(FsPath(name), ec));
    }};
};

bool TUnzipRun::Selected(const std::wstring& name) const
{
    if (cmd_.SpecCount <= 0 || !cmd_.Specs)
        return true;
    for (int32_t i = 0; i < cmd_.SpecCount; ++i) {
        const char* spec = cmd_.Specs[i].FileSpec;
        if (spec && MatchesWildcard(name, Utf8ToWide(spec)))
            return true;
    }
    return false;
}

bool TUnzipRun::PasswordFits(const TZipEntryInfo& e, const std::string& password, uint64_t dataAt)
{
    if (e.CompressedSize < kCryptHeaderSize)
        return false;
    unsigned char header[kCryptHeaderSize];
    src_.ReadAt(dataAt, header, sizeof header);
    TZipCrypto crypto(password);
    crypto.Decrypt(header, sizeof header);
    return header[kCryptHeaderSize - 1] == TZipCrypto::CheckByte(e);
}

// The check byte lets one wrong password in 256 through, so a password
// whose data then failed is refused: the command's and the last good one are
// not tried again, and the user is asked (Asked counts the questions of
// this entry). A refused password the user types once more is taken: the
// user insists, and the entry's damage is reported as such.
std::optional<std::string> TUnzipRun::FindPassword(const TZipEntryInfo& e, const std::string& name, uint64_t dataAt,
                                                   int32_t& asked, const std::vector<std::string>& refused)
{
    if (cmd_.Password && !Contains(refused, cmd_.Password) && PasswordFits(e, cmd_.Password, dataAt))
        return std::string(cmd_.Password);
    if (!lastGoodPassword_.empty() && !Contains(refused, lastGoodPassword_) &&
        PasswordFits(e, lastGoodPassword_, dataAt))
        return lastGoodPassword_;
    while (asked < cmd_.PasswordReqCount && !report_.Cancelled()) {
        ++asked;
        const ZipCallbackData reply = report_.Call(zacPassword, 0, 0, name, asked, 0, 0);
        if (report_.Cancelled() || reply.ReplyValue == 0)
            break;
        const std::string password(reply.Msg);
        if (PasswordFits(e, password, dataAt))
            return password;
    }
    return std::nullopt;
}

TDataResult TUnzipRun::Unpack(const TZipEntryInfo& e, uint64_t dataAt, const std::string* password, TEntrySink& sink,
                              uint32_t& crc, uint64_t& produced)
{
    std::optional<TZipCrypto> crypto;
    uint64_t at = dataAt;
    uint64_t remaining = e.CompressedSize;
    if (password) {
        crypto.emplace(*password);
        unsigned char header[kCryptHeaderSize];
        src_.ReadAt(at, header, sizeof header);
        crypto->Decrypt(header, sizeof header);
        at += kCryptHeaderSize;
        remaining -= kCryptHeaderSize;
    }
    crc = 0;
    produced = 0;
    // A sender's size may lie: nothing beyond the declared size is written,
    // and data going on past it ends the entry as too large.
    auto take = [&](const unsigned char* data, size_t count) {
        const size_t room = static_cast<size_t>(std::min<uint64_t>(count, e.Size - produced));
        crc = Crc32(crc, data, room);
        produced += room;
        if (!sink.Write(data, room))
            return TDataResult::writeFailed;
        return room < count ? TDataResult::tooLarge : TDataResult::ok;
    };

    z_stream z{};
    const bool deflated = e.Method == kMethodDeflate;
    if (deflated && inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return TDataResult::badData;
    const ScopeExit endInflate([&] {
        if (deflated)
            inflateEnd(&z);
    });

    bool streamEnd = !deflated;
    while (remaining > 0 || (deflated && !streamEnd)) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(remaining, kChunk));
        if (count == 0)
            return TDataResult::badData;  // deflate stream not finished
        src_.ReadAt(at, in_.data(), count);
        at += count;
        remaining -= count;
        if (crypto)
            crypto->Decrypt(in_.data(), count);
        if (!deflated) {
            if (const TDataResult taken = take(in_.data(), count); taken != TDataResult::ok)
                return taken;
        } else {
            z.next_in = in_.data();
            z.avail_in = static_cast<uInt>(count);
            while (!streamEnd) {
                z.next_out = out_.data();
                z.avail_out = static_cast<uInt>(out_.size());
                const int rc = inflate(&z, Z_NO_FLUSH);
                if (rc == Z_BUF_ERROR && z.avail_in == 0)
                    break;  // wants the next chunk
                if (rc != Z_OK && rc != Z_STREAM_END)
                    return TDataResult::badData;
                const size_t got = out_.size() - z.avail_out;
                if (const TDataResult taken = take(out_.data(), got); taken != TDataResult::ok)
                    return taken;
                if (rc == Z_STREAM_END)
                    streamEnd = true;
                else if (z.avail_in == 0 && z.avail_out > 0)
                    break;
            }
        }
        report_.Call(zacProgress, 0, static_cast<int64_t>(count), "");
        if (report_.Cancelled())
            return TDataResult::cancelled;
    }
    return TDataResult::ok;
}

// One attempt at the entry's data, into a fresh sink: a file written anew,
// the caller's memory from its start, or nowhere when testing.
TUnpacked TUnzipRun::UnpackTo(const TZipEntryInfo& e, uint64_t dataAt, const std::string* password, bool test,
                              bool toMemory, const fs::path& target)
{
    TUnpacked got;
    if (test) {
        TNullSink sink;
        got.Result = Unpack(e, dataAt, password, sink, got.Crc, got.Produced);
    } else if (toMemory) {
        TMemorySink sink(static_cast<unsigned char*>(cmd_.OutStream),
                         cmd_.OutStreamSize > 0 ? static_cast<size_t>(cmd_.OutStreamSize) : 0);
        try {
            got.Result = Unpack(e, dataAt, password, sink, got.Crc, got.Produced);
        } catch (const ETruncated&) {
            got.Result = TDataResult::badData;
        }
    } else {
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        TFilePtr file = OpenFile(target, "wb");
        if (!file) {
            got.Result = TDataResult::openFailed;
            return got;
        }
        TFileSink sink(file.get());
        try {
            got.Result = Unpack(e, dataAt, password, sink, got.Crc, got.Produced);
        } catch (const ETruncated&) {
            got.Result = TDataResult::badData;
        }
        if (std::fclose(file.release()) != 0 && got.Result == TDataResult::ok)
            got.Result = TDataResult::writeFailed;
    }
    return got;
}

void TUnzipRun::Process(const TZipEntryInfo& e)
{
    const std::wstring wideName = DecodeEntryName(e, hooks_.Names);
    const std::string name = Narrow(wideName);
    if (!Selected(wideName))
        return;
    // Into the caller's memory: the first selected file only, no file written.
    const bool toMemory = cmd_.fUseOutStream != 0;
    if (toMemory && (done_ > 0 || e.IsDirectory()))
        return;
    const bool test = cmd_.fTest != 0 && !toMemory;
    const bool toFile = !test && !toMemory;
    const fs::path base = cmd_.ExtractDir && *cmd_.ExtractDir ? FsPath(Utf8ToWide(cmd_.ExtractDir)) : fs::path(".");

    std::optional<std::wstring> dest;
    if (toFile) {
        dest = SafeExtractPath(FromFsPath(base), wideName, cmd_.fDirectories != 0);
        if (!dest) {
            if (!e.IsDirectory() || cmd_.fDirectories)
                report_.Skipped(name, zskGeneralExtractError);
            return;
        }
    }
    if (e.IsDirectory()) {
        if (!test && cmd_.fDirectories) {
            std::error_code ec;
            fs::create_directories(FsPath(*dest), ec);
        }
        return;
    }
    if (e.Method != kMethodStore && e.Method != kMethodDeflate) {
        report_.Skipped(name, zskCompressionUnknown);
        return;
    }
    if (dest) {
        // An earlier entry of this run wrote a file of this name in some
        // case: this one is named apart rather than replacing it.
        const std::wstring apart = targets_.Free(*dest);
        if (apart != *dest) {
            report_.Message(0,
                            "Unter anderem Namen entpackt (gleichnamiger Eintrag): " + name + " -> " + Narrow(apart));
            dest = apart;
        }
    }

    const fs::path target = dest ? FsPath(*dest) : fs::path();
    // A file being replaced is written beside it first and put in its place
    // only when the entry came out whole: a wrong password, damaged data or
    // a cancel never costs the file the user agreed to overwrite.
    fs::path writeTo = target;
    if (toFile) {
        std::error_code ec;
        const auto status = fs::symlink_status(target, ec);
        const bool exists = !ec && fs::exists(status);
        if (exists) {
            for (unsigned n = 0;; ++n) {
                writeTo =
                    target.parent_path() / FsPath(FromFsPath(target.filename()) + L"." + std::to_wstring(n) + L".part");
                if (!fs::exists(fs::symlink_status(writeTo, ec)))
                    break;
            }
        }
        if (exists && !fs::is_regular_file(status)) {
            report_.Skipped(name, zskGeneralExtractError);
            return;
        }
        const uint32_t existingTime = exists ? FileDosTime(target) : 0;
        const bool older = exists && existingTime < e.DosTime;
        if (cmd_.fFreshen && !cmd_.fUpdate && (!exists || !older)) {
            report_.Skipped(name, zskOnFreshen);
            return;
        }
        if (cmd_.fUpdate && exists && !older) {
            report_.Skipped(name, zskFileExists);
            return;
        }
        if (exists && !cmd_.fOverwrite && !cmd_.fUpdate && !cmd_.fFreshen) {
            const ZipCallbackData reply = report_.Call(zacOverwrite, 0, 0, name, older ? 1 : 0, 0, 0);
            if (report_.Cancelled())
                return;
            if (reply.ReplyValue == 0) {
                report_.Skipped(name, zskNoOverwrite);
                return;
            }
        }
    }

    auto removeOutput = [&] {
        if (toFile) {
            std::error_code ec;
            fs::remove(writeTo, ec);
        }
    };
    // The new file into the old one's place; false (and the new file gone)
    // when it cannot be put there.
    auto putInPlace = [&] {
        if (!toFile || writeTo == target)
            return true;
        std::error_code ec;
        fs::rename(writeTo, target, ec);
        if (ec) {
            // A read-only file is replaced as the user agreed to.
            fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, ec);
            fs::remove(target, ec);
            fs::rename(writeTo, target, ec);
        }
        if (ec) {
            removeOutput();
            report_.Message(1, "Datei kann nicht ersetzt werden: " + name);
            report_.Skipped(name, zskGeneralExtractError);
            return false;
        }
        return true;
    };
    const uint64_t dataAt = ZipDataOffset(src_, e);
    std::vector<std::string> refused;
    int32_t asked = 0;
    bool announced = false;
    TUnpacked unpacked;
    for (;;) {
        std::optional<std::string> password;
        if (e.Encrypted()) {
            password = FindPassword(e, name, dataAt, asked, refused);
            if (report_.Cancelled())
                return;
            if (!password) {
                report_.Skipped(name, zskBadPassword);
                return;
            }
        }
        if (!announced) {
            announced = true;
            report_.Call(zacItem, 0, static_cast<int64_t>(e.Size), name);
            if (toMemory) {
                // The caller sizes its memory to the file and names it in the record.
                report_.Call(zacStream, 0, static_cast<int64_t>(e.Size), name);
                if (report_.Cancelled())
                    return;
            }
        }
        unpacked = UnpackTo(e, dataAt, password ? &*password : nullptr, test, toMemory, writeTo);
        if (password && unpacked.Failed(e) && !Contains(refused, *password)) {
            removeOutput();
            refused.push_back(*password);
            continue;
        }
        if (password)
            lastGoodPassword_ = *password;
        break;
    }
    const TDataResult result = unpacked.Result;
    const uint32_t crc = unpacked.Crc;
    const uint64_t produced = unpacked.Produced;

    switch (result) {
    case TDataResult::cancelled:
        removeOutput();
        return;
    case TDataResult::openFailed:
        report_.Message(1, "Datei kann nicht angelegt werden: " + name);
        report_.Skipped(name, zskGeneralExtractError);
        return;
    case TDataResult::writeFailed:
        removeOutput();
        report_.Message(1, "Schreibfehler: " + name);
        report_.Skipped(name, zskGeneralExtractError);
        return;
    case TDataResult::badData:
        removeOutput();
        report_.Skipped(name, zskZipFileFormatWrong);
        return;
    case TDataResult::tooLarge:
        report_.Message(1, "Entpackte Daten größer als die angegebene Größe von " + std::to_string(e.Size) +
                               " Bytes: " + name);
        removeOutput();
        report_.Skipped(name, zskZipFileFormatWrong);
        return;
    case TDataResult::ok:
        break;
    }
    if (produced != e.Size) {
        removeOutput();
        report_.Message(1, "Entpackte Daten (" + std::to_string(produced) +
                               " Bytes) kleiner als die angegebene Größe von " + std::to_string(e.Size) +
                               " Bytes: " + name);
        report_.Skipped(name, zskZipFileFormatWrong);
        return;
    }
    if (crc != e.Crc) {
        // A damaged entry is never counted; the caller decides whether the
        // damaged file stays for inspection.
        const ZipCallbackData reply = report_.Call(zacCRCError, 0, static_cast<int64_t>(produced), name,
                                                   static_cast<int32_t>(crc), static_cast<int32_t>(e.Crc), -1);
        if (reply.ReplyValue == 0)
            removeOutput();
        else
            (void)putInPlace();  // a failure is reported there
        return;
    }
    if (!putInPlace())
        return;
    if (toFile) {
        targets_.Written(*dest);
        SetFileDosTime(target, e.DosTime);
        if (hooks_.SetAttributes)
            hooks_.SetAttributes(target, DosAttributes(e));
    }
    ++done_;
}

int32_t TUnzipRun::Run()
{
    TZipDirectory dir;
    try {
        dir = ReadZipDirectory(src_);
    } catch (const std::exception& ex) {
        report_.Message(2, std::string("Archiv beschädigt oder kein Zip-Archiv: ") + ex.what());
        report_.Call(zacEndOfBatch, 0, 0, "");
        return 0;
    }
    uint64_t files = 0, bytes = 0;
    for (const auto& e : dir.Entries) {
        if (!e.IsDirectory() && Selected(DecodeEntryName(e, hooks_.Names))) {
            ++files;
            bytes += e.Size;
        }
    }
    report_.Call(zacCount, 0, static_cast<int64_t>(files), "");
    report_.Call(zacSize, 0, static_cast<int64_t>(bytes), "");
    for (const auto& e : dir.Entries) {
        if (report_.Cancelled())
            break;
        try {
            Process(e);
        } catch (const std::exception& ex) {
            report_.Message(2, std::string("Eintrag beschädigt: ") + ex.what());
            report_.Skipped(WideToUtf8(DecodeEntryName(e, hooks_.Names)), zskZipFileFormatWrong);
        }
    }
    report_.Call(zacEndOfBatch, 0, 0, "");
    return done_;
}

bool UsableRecord(const UnzCommand* cmd)
{
    return cmd && cmd->fSeven == QRV_ZIP_RECORD_END && cmd->ZipFileName && (cmd->SpecCount <= 0 || cmd->Specs);
}

}  // namespace

int32_t UnzipRun(const UnzCommand& Command, TByteSource& Archive, const TUnzipHooks& Hooks) noexcept
{
    if (!UsableRecord(&Command))
        return -1;
    try {
        TUnzipRun run(Command, Archive, Hooks);
        return run.Run();
    } catch (...) {
        return -2;
    }
}

int32_t UnzipExec(const UnzCommand* Command, const TUnzipHooks& Hooks) noexcept
{
    if (!UsableRecord(Command))
        return -1;
    try {
        std::unique_ptr<TFileSource> source;
        try {
            source = std::make_unique<TFileSource>(FsPath(Utf8ToWide(Command->ZipFileName)));
        } catch (const std::exception&) {
            TZipReporter report(Command->Callback, Command->Caller, false);
            report.Message(1, std::string("Archiv kann nicht geöffnet werden: ") + Command->ZipFileName);
            report.Call(zacEndOfBatch, 0, 0, "");
            return 0;
        }
        return UnzipRun(*Command, *source, Hooks);
    } catch (const std::exception& ex) {
        // A fault of the library itself: reported, never thrown to the caller.
        try {
            TZipReporter(Command->Callback, Command->Caller, false)
                .Message(9, std::string("Interner Fehler: ") + ex.what());
        } catch (...) {}
        return -2;
    } catch (...) {
        return -2;
    }
}

}  // namespace qrv::external
