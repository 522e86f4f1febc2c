#include "external/ZipWriter.h"

#include "external/FileIo.h"
#include "framework/ScopeExit.h"

#include <zlib.h>

#include <cstring>
#include <optional>
#include <random>

namespace qrv::external {

namespace {

constexpr size_t kChunk = 1 << 18;
constexpr uint16_t kVersionNeeded = 20;  // deflate and ZipCrypto
constexpr uint16_t kVersionMadeBy = 20;  // DOS host, 2.0

void Require(bool fits)
{
    if (!fits)
        throw EZipFormat("archive too large for the zip format without ZIP64");
}

}  // namespace

void TStringOutput::Write(const void* Data, size_t Count)
{
    bytes_.append(static_cast<const char*>(Data), Count);
}

void TStringOutput::Patch(uint64_t Offset, const std::string& Bytes)
{
    bytes_.replace(static_cast<size_t>(Offset), Bytes.size(), Bytes);
}

void TFileOutput::Write(const void* Data, size_t Count)
{
    if (Count > 0 && std::fwrite(Data, 1, Count, file_) != Count)
        throw std::runtime_error("write error");
    position_ += Count;
}

void TFileOutput::Patch(uint64_t Offset, const std::string& Bytes)
{
    if (std::fflush(file_) != 0 || !SeekFile(file_, Offset) ||
        std::fwrite(Bytes.data(), 1, Bytes.size(), file_) != Bytes.size() || !SeekFile(file_, position_))
        throw std::runtime_error("write error");
}

void TFileOutput::Truncate(uint64_t Offset)
{
    if (std::fflush(file_) != 0 || !SeekFile(file_, Offset))
        throw std::runtime_error("write error");
    position_ = Offset;
}

std::string TZipWriter::LocalHeader(const TZipEntryInfo& e) const
{
    std::string h;
    Put32(h, kLocalHeaderSig);
    Put16(h, e.VersionNeeded);
    Put16(h, e.Flags);
    Put16(h, e.Method);
    Put32(h, e.DosTime);
    Put32(h, e.Crc);
    Put32(h, static_cast<uint32_t>(e.CompressedSize));
    Put32(h, static_cast<uint32_t>(e.Size));
    Put16(h, static_cast<uint32_t>(e.Name.size()));
    Put16(h, 0);
    h += e.Name;
    return h;
}

void TZipWriter::WriteLocalHeader(const TZipEntryInfo& e)
{
    const std::string h = LocalHeader(e);
    out_.Write(h.data(), h.size());
}

bool TZipWriter::Add(const TNewEntry& Entry, TEntryInput& Input, const std::function<bool(size_t)>& Progress)
{
    // 0xFFFF in the end record means "look for ZIP64": one less is the most.
    Require(entries_.size() + 1 < kMaxEntries16 && Entry.Name.size() <= 0xFFFF);
    const uint64_t start = out_.Position();
    Require(start < kMax32);

    TZipEntryInfo e;
    e.VersionMadeBy = kVersionMadeBy;
    e.VersionNeeded = kVersionNeeded;
    e.Flags = static_cast<uint16_t>((Entry.Utf8Name ? kFlagUtf8 : 0) |
                                    (Entry.Password ? (kFlagEncrypted | kFlagDataDescriptor) : 0));
    e.DosTime = Entry.DosTime;
    e.ExternalAttr = Entry.ExternalAttr;
    e.Name = Entry.Name;
    e.LocalOffset = start;

    in_.resize(kChunk);
    outBuffer_.resize(kChunk);
    std::vector<unsigned char>& in = in_;
    std::vector<unsigned char>& out = outBuffer_;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool store = Entry.Level == 0 || attempt == 1;
        e.Method = store ? kMethodStore : kMethodDeflate;
        e.Crc = 0;
        e.Size = 0;
        e.CompressedSize = 0;
        out_.Truncate(start);
        WriteLocalHeader(e);
        const uint64_t dataStart = out_.Position();

        std::optional<TZipCrypto> crypto;
        if (Entry.Password) {
            crypto.emplace(*Entry.Password);
            unsigned char header[kCryptHeaderSize];
            static thread_local std::mt19937 random{std::random_device{}()};
            for (size_t i = 0; i + 1 < kCryptHeaderSize; ++i)
                header[i] = static_cast<unsigned char>(random());
            header[kCryptHeaderSize - 1] = TZipCrypto::CheckByte(e);
            crypto->Encrypt(header, sizeof header);
            out_.Write(header, sizeof header);
        }
        auto emit = [&](unsigned char* data, size_t count) {
            if (crypto)
                crypto->Encrypt(data, count);
            out_.Write(data, count);
        };

        z_stream z{};
        if (!store && deflateInit2(&z, Entry.Level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflate cannot start");
        const ScopeExit endDeflate([&] {
            if (!store)
                deflateEnd(&z);
        });

        if (attempt == 1)
            Input.Rewind();
        bool finished = false;
        while (!finished) {
            const size_t count = Input.Read(in.data(), in.size());
            e.Crc = Crc32(e.Crc, in.data(), count);
            e.Size += count;
            if (store) {
                emit(in.data(), count);
                finished = count == 0;
            } else {
                z.next_in = in.data();
                z.avail_in = static_cast<uInt>(count);
                const int flush = count == 0 ? Z_FINISH : Z_NO_FLUSH;
                int rc;
                do {
                    z.next_out = out.data();
                    z.avail_out = static_cast<uInt>(out.size());
                    rc = deflate(&z, flush);
                    if (rc == Z_STREAM_ERROR)
                        throw std::runtime_error("deflate failed");
                    emit(out.data(), out.size() - z.avail_out);
                } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
                finished = rc == Z_STREAM_END;
            }
            if (count > 0 && Progress && !Progress(count)) {
                out_.Truncate(start);
                return false;
            }
        }
        e.CompressedSize = out_.Position() - dataStart;
        Require(e.Size < kMax32 && e.CompressedSize < kMax32);
        // Deflating that does not pay is undone; the entry is stored.
        if (!store && Input.Rewind && e.CompressedSize >= e.Size + (crypto ? kCryptHeaderSize : 0))
            continue;
        break;
    }

    out_.Patch(start, LocalHeader(e));
    if (e.Flags & kFlagDataDescriptor) {
        std::string d;
        Put32(d, kDataDescriptorSig);
        Put32(d, e.Crc);
        Put32(d, static_cast<uint32_t>(e.CompressedSize));
        Put32(d, static_cast<uint32_t>(e.Size));
        out_.Write(d.data(), d.size());
    }
    entries_.push_back(std::move(e));
    return true;
}

void TZipWriter::CorruptLastCrc()
{
    TZipEntryInfo& e = entries_.back();
    e.Crc ^= 0x00010000u;
    out_.Patch(e.LocalOffset, LocalHeader(e));
}

void TZipWriter::DeclareLastSize(uint64_t Size)
{
    TZipEntryInfo& e = entries_.back();
    Require(Size < kMax32);
    e.Size = Size;
    out_.Patch(e.LocalOffset, LocalHeader(e));
}

void TZipWriter::Copy(TByteSource& Source, const TZipEntryInfo& Entry)
{
    Require(entries_.size() + 1 < kMaxEntries16);
    const uint64_t dataAt = ZipDataOffset(Source, Entry);
    TZipEntryInfo e = Entry;
    e.LocalOffset = out_.Position();
    Require(e.LocalOffset < kMax32 && e.Size < kMax32 && e.CompressedSize < kMax32);
    // ZIP64 fields of the old entry no longer apply; other extra data is kept
    // in the central directory only.
    WriteLocalHeader(e);
    std::vector<unsigned char>& buffer = in_;
    buffer.resize(kChunk);
    uint64_t remaining = e.CompressedSize;
    uint64_t at = dataAt;
    while (remaining > 0) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(remaining, buffer.size()));
        Source.ReadAt(at, buffer.data(), count);
        out_.Write(buffer.data(), count);
        at += count;
        remaining -= count;
    }
    if (e.Flags & kFlagDataDescriptor) {
        std::string d;
        Put32(d, kDataDescriptorSig);
        Put32(d, e.Crc);
        Put32(d, static_cast<uint32_t>(e.CompressedSize));
        Put32(d, static_cast<uint32_t>(e.Size));
        out_.Write(d.data(), d.size());
    }
    e.Extra.clear();
    entries_.push_back(std::move(e));
}

void TZipWriter::Finish(const std::string& Comment)
{
    const uint64_t cdStart = out_.Position();
    Require(cdStart < kMax32);
    std::string cd;
    for (const auto& e : entries_) {
        Put32(cd, kCentralHeaderSig);
        Put16(cd, e.VersionMadeBy);
        Put16(cd, e.VersionNeeded);
        Put16(cd, e.Flags);
        Put16(cd, e.Method);
        Put32(cd, e.DosTime);
        Put32(cd, e.Crc);
        Put32(cd, static_cast<uint32_t>(e.CompressedSize));
        Put32(cd, static_cast<uint32_t>(e.Size));
        Put16(cd, static_cast<uint32_t>(e.Name.size()));
        Put16(cd, static_cast<uint32_t>(e.Extra.size()));
        Put16(cd, static_cast<uint32_t>(e.Comment.size()));
        Put16(cd, 0);
        Put16(cd, e.InternalAttr);
        Put32(cd, e.ExternalAttr);
        Put32(cd, static_cast<uint32_t>(e.LocalOffset));
        cd += e.Name;
        cd += e.Extra;
        cd += e.Comment;
    }
    Require(cdStart + cd.size() < kMax32);
    std::string end;
    Put32(end, kEndRecordSig);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, static_cast<uint32_t>(entries_.size()));
    Put16(end, static_cast<uint32_t>(entries_.size()));
    Put32(end, static_cast<uint32_t>(cd.size()));
    Put32(end, static_cast<uint32_t>(cdStart));
    const std::string comment = Comment.substr(0, 0xFFFF);
    Put16(end, static_cast<uint32_t>(comment.size()));
    end += comment;
    out_.Write(cd.data(), cd.size());
    out_.Write(end.data(), end.size());
}

}  // namespace qrv::external
