#include "archives/ZipSpan.h"

#include "archives/ZipMessages.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace qrv {

namespace {

constexpr uint32_t kSpanMarker = 0x08074B50;
constexpr uint32_t kLocalSig = 0x04034B50;
constexpr uint32_t kCentralSig = 0x02014B50;
constexpr uint32_t kEndSig = 0x06054B50;
constexpr size_t kLocalSize = 30;
constexpr size_t kCentralSize = 46;
constexpr uint16_t kFlagDescriptor = 0x0008;
constexpr size_t kCopyChunk = 64 * 1024;

uint16_t Get16(const unsigned char* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Get32(const unsigned char* p)
{
    return uint32_t(Get16(p)) | (uint32_t(Get16(p + 2)) << 16);
}
void Set16(unsigned char* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Set32(unsigned char* p, uint32_t v)
{
    Set16(p, v & 0xFFFF);
    Set16(p + 2, v >> 16);
}

std::u16string Digits(uint32_t value, size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return std::u16string(text.begin(), text.end());
}

std::u16string CopyingText(const TSpanProgress& progress, std::u16string_view name)
{
    return ZipMessageOrFallback(zmCopying, progress.OnZipStr).append(name);
}

// The entries whose values the classic fields cannot hold need ZIP64
// records in a set, which these copies do not write.
bool NeedsZip64(const ZipDirEntry& entry)
{
    return entry.ComprSize >= 0xFFFFFFFFu || entry.UncomprSize >= 0xFFFFFFFFu || entry.RelOffLocalHdr >= 0xFFFFFFFFu;
}

// The size of the data descriptor behind an entry's data (0 without one).
[[nodiscard]] bool DescriptorSize(const ZipDirEntry& entry, const unsigned char first4[4], size_t& size)
{
    if (!(entry.Flag & kFlagDescriptor)) {
        size = 0;
        return true;
    }
    size = Get32(first4) == kSpanMarker ? 16 : 12;
    return true;
}

// Writes the set, opening the next part whenever the current one is full.
class TPartWriter {
public:
    TPartWriter(TSpanOutput& out) : out_(out) {}

    [[nodiscard]] bool Begin() { return Open(); }

    // Makes room for a block that must stay in one part: a full part is
    // closed and the next one begun.
    [[nodiscard]] bool Reserve(size_t count)
    {
        if (capacity_ == 0 || used_ + count <= capacity_)
            return true;
        if (used_ > 0 && !Next())
            return false;
        if (capacity_ != 0 && used_ + count > capacity_) {
            Error = zmNotEnoughSpace;
            return false;
        }
        return true;
    }

    [[nodiscard]] bool PutWhole(const void* data, size_t count) { return Reserve(count) && Write(data, count); }

    // Data that may continue in the next part.
    [[nodiscard]] bool PutSplit(const unsigned char* data, size_t count)
    {
        while (count > 0) {
            if (capacity_ != 0 && used_ >= capacity_ && !Next())
                return false;
            size_t room = capacity_ == 0 ? count : size_t(std::min<uint64_t>(count, capacity_ - used_));
            if (!Write(data, room))
                return false;
            data += room;
            count -= room;
        }
        return true;
    }

    [[nodiscard]] bool Finish()
    {
        if (!out_.ClosePart(true)) {
            Error = zmWriteError;
            return false;
        }
        return true;
    }

    uint32_t Part() const { return part_; }
    uint64_t Used() const { return used_; }
    int Error = 0;

private:
    [[nodiscard]] bool Open()
    {
        capacity_ = 0;
        used_ = 0;
        int error = 0;
        if (!out_.OpenPart(part_, capacity_, error)) {
            Error = error != 0 ? error : zmUserAbort;
            return false;
        }
        return true;
    }

    [[nodiscard]] bool Next()
    {
        if (!out_.ClosePart(false)) {
            Error = zmWriteError;
            return false;
        }
        ++part_;
        return Open();
    }

    [[nodiscard]] bool Write(const void* data, size_t count)
    {
        if (count > 0 && !out_.Write(data, count)) {
            Error = zmWriteError;
            return false;
        }
        used_ += count;
        return true;
    }

    TSpanOutput& out_;
    uint32_t part_ = 0;
    uint64_t capacity_ = 0;
    uint64_t used_ = 0;
};

// Reads a set's parts one after the other: a read that runs past the end
// of a part continues at the start of the next.
class TSetReader {
public:
    TSetReader(const std::function<TZipSource*(uint32_t)>& open, uint32_t last) : open_(open), last_(last) {}

    [[nodiscard]] bool Seek(uint32_t part, uint64_t offset)
    {
        if (part > last_ || !(source_ = open_(part)) || offset > source_->Size())
            return false;
        part_ = part;
        offset_ = offset;
        return true;
    }

    [[nodiscard]] bool Read(void* buffer, size_t count)
    {
        auto* out = static_cast<unsigned char*>(buffer);
        while (count > 0) {
            if (!source_)
                return false;
            uint64_t left = source_->Size() - offset_;
            if (left == 0) {
                if (part_ >= last_ || !Seek(part_ + 1, 0))
                    return false;
                continue;
            }
            size_t now = size_t(std::min<uint64_t>(left, count));
            if (!source_->ReadAt(offset_, out, now))
                return false;
            offset_ += now;
            out += now;
            count -= now;
        }
        return true;
    }

private:
    const std::function<TZipSource*(uint32_t)>& open_;
    uint32_t last_;
    TZipSource* source_ = nullptr;
    uint32_t part_ = 0;
    uint64_t offset_ = 0;
};

// Position of one entry in the output, by its index in the directory.
struct TPlaced {
    uint32_t Disk = 0;
    uint64_t Offset = 0;
};

}  // namespace

std::u16string SpanPartName(std::u16string_view ZipFileName, uint32_t DiskIndex, bool IsLast, bool CompatName)
{
    size_t slash = ZipFileName.find_last_of(u"\\/:");
    size_t dot = ZipFileName.rfind(u'.');
    if (dot != std::u16string_view::npos && slash != std::u16string_view::npos && dot < slash)
        dot = std::u16string_view::npos;
    std::u16string_view base = ZipFileName.substr(0, dot);
    std::u16string_view extension = dot == std::u16string_view::npos ? u"" : ZipFileName.substr(dot);
    if (CompatName) {
        if (IsLast)
            return std::u16string(ZipFileName);
        return std::u16string(base) + u".z" + Digits(DiskIndex + 1, 2);
    }
    return std::u16string(base) + Digits(DiskIndex + 1, 3) + std::u16string(extension);
}

TSpanResult SplitZip(TZipSource& Source, TSpanOutput& Out, const TSpanProgress& Progress)
{
    TSpanResult result;
    TZipListOptions options;
    options.UseDirOnlyEntries = true;
    TZipListResult directory = ListZipDirectory(Source, options);
    if (directory.Error != 0) {
        result.Error = directory.Error;
        return result;
    }
    if (directory.ThisDisk != 0 || directory.CentralDisk != 0 || directory.Zip64 ||
        std::any_of(directory.Entries.begin(), directory.Entries.end(), NeedsZip64)) {
        result.Error = zmNoSpanSupport;
        return result;
    }
    uint64_t totalBytes = 0;
    for (const ZipDirEntry& entry : directory.Entries)
        totalBytes += entry.ComprSize;
    if (Progress.OnTotals)
        Progress.OnTotals(directory.Entries.size(), totalBytes);

    TPartWriter writer(Out);
    auto fail = [&](int id) {
        result.Error = id != 0 ? id : writer.Error;
        result.Parts = writer.Part() + 1;
        return result;
    };
    unsigned char marker[4];
    Set32(marker, kSpanMarker);
    if (!writer.Begin() || !writer.PutWhole(marker, sizeof marker))
        return fail(writer.Error);

    std::vector<TPlaced> placed;
    placed.reserve(directory.Entries.size());
    std::vector<unsigned char> chunk(kCopyChunk);
    for (const ZipDirEntry& entry : directory.Entries) {
        if (Progress.Cancelled && Progress.Cancelled())
            return fail(zmUserAbort);
        if (Progress.OnItem)
            Progress.OnItem(CopyingText(Progress, entry.FileName), entry.ComprSize);
        uint64_t at = entry.RelOffLocalHdr + uint64_t(directory.Shift);
        unsigned char local[kLocalSize];
        if (!Source.ReadAt(at, local, sizeof local))
            return fail(zmLocalReadError);
        if (Get32(local) != kLocalSig)
            return fail(zmLocalSignature);
        size_t headerSize = kLocalSize + Get16(local + 26) + Get16(local + 28);
        std::string header(headerSize, '\0');
        if (!Source.ReadAt(at, header.data(), headerSize))
            return fail(zmLocalNameReadError);
        // The header goes whole: a full part moves it to the next one.
        if (!writer.Reserve(headerSize))
            return fail(writer.Error);
        placed.push_back({writer.Part(), writer.Used()});
        if (!writer.PutWhole(header.data(), headerSize))
            return fail(writer.Error);
        at += headerSize;
        for (uint64_t left = entry.ComprSize; left > 0;) {
            size_t now = size_t(std::min<uint64_t>(left, chunk.size()));
            if (!Source.ReadAt(at, chunk.data(), now))
                return fail(zmDataReadError);
            if (!writer.PutSplit(chunk.data(), now))
                return fail(writer.Error);
            at += now;
            left -= now;
        }
        unsigned char first4[4] = {};
        size_t descriptor = 0;
        if (entry.Flag & kFlagDescriptor) {
            if (!Source.ReadAt(at, first4, sizeof first4) || !DescriptorSize(entry, first4, descriptor))
                return fail(zmDescriptorReadError);
            std::string bytes(descriptor, '\0');
            if (!Source.ReadAt(at, bytes.data(), descriptor))
                return fail(zmDescriptorReadError);
            if (!writer.PutWhole(bytes.data(), descriptor))
                return fail(writer.Error);
        }
    }

    if (Progress.OnItem)
        Progress.OnItem(CopyingText(Progress, ZipMessageOrFallback(zmCentralDirectory, Progress.OnZipStr)), 0);
    uint32_t centralDisk = 0;
    uint64_t centralOffset = 0;
    uint64_t centralSize = 0;
    uint64_t onLastDisk = 0;
    uint64_t at = directory.CentralOffset;
    for (size_t i = 0; i < directory.Entries.size(); ++i) {
        unsigned char fixed[kCentralSize];
        if (!Source.ReadAt(at, fixed, sizeof fixed))
            return fail(zmCentralReadError);
        if (Get32(fixed) != kCentralSig)
            return fail(zmCentralSignature);
        size_t recordSize = kCentralSize + Get16(fixed + 28) + Get16(fixed + 30) + Get16(fixed + 32);
        std::string record(recordSize, '\0');
        if (!Source.ReadAt(at, record.data(), recordSize))
            return fail(zmCentralReadError);
        auto* bytes = reinterpret_cast<unsigned char*>(record.data());
        Set16(bytes + 34, placed[i].Disk);
        Set32(bytes + 42, uint32_t(placed[i].Offset));
        uint32_t partBefore = writer.Part();
        if (!writer.Reserve(recordSize))
            return fail(writer.Error);
        if (writer.Part() != partBefore)
            onLastDisk = 0;
        if (i == 0) {
            centralDisk = writer.Part();
            centralOffset = writer.Used();
        }
        if (!writer.PutWhole(record.data(), recordSize))
            return fail(writer.Error);
        ++onLastDisk;
        centralSize += recordSize;
        at += recordSize;
    }
    if (directory.Entries.empty()) {
        centralDisk = writer.Part();
        centralOffset = writer.Used();
    }

    std::string end(22, '\0');
    auto* e = reinterpret_cast<unsigned char*>(end.data());
    Set32(e, kEndSig);
    end += directory.RawComment;
    e = reinterpret_cast<unsigned char*>(end.data());
    Set16(e + 20, uint32_t(directory.RawComment.size()));
    // The end record names the part it lands in: make room first.
    uint32_t partBefore = writer.Part();
    if (!writer.Reserve(end.size()))
        return fail(writer.Error);
    if (writer.Part() != partBefore)
        onLastDisk = 0;
    Set16(e + 4, writer.Part());
    Set16(e + 6, centralDisk);
    Set16(e + 8, uint32_t(onLastDisk));
    Set16(e + 10, uint32_t(directory.Entries.size()));
    Set32(e + 12, uint32_t(centralSize));
    Set32(e + 16, uint32_t(centralOffset));
    if (!writer.PutWhole(end.data(), end.size()) || !writer.Finish())
        return fail(writer.Error);
    result.Parts = writer.Part() + 1;
    result.Entries = directory.Entries.size();
    return result;
}

TSpanResult JoinZipSet(const std::function<TZipSource*(uint32_t Index)>& OpenPart, uint32_t LastIndex, TJoinOutput& Out,
                       const TSpanProgress& Progress)
{
    TSpanResult result;
    result.Parts = LastIndex + 1;
    // The last part first: on removable disks it is the one in the drive.
    TZipSource* lastPart = OpenPart(LastIndex);
    if (!lastPart) {
        result.Error = zmUserAbort;
        return result;
    }
    TZipListOptions options;
    options.UseDirOnlyEntries = true;
    options.OpenDisk = [&](uint32_t disk) { return OpenPart(disk); };
    TZipListResult directory = ListZipDirectory(*lastPart, options);
    if (directory.Error != 0) {
        result.Error = directory.Error;
        return result;
    }
    TZipSource* first = OpenPart(0);
    unsigned char head[4];
    if (!first || !first->ReadAt(0, head, sizeof head) || (LastIndex > 0 && Get32(head) != kSpanMarker)) {
        result.Error = zmSpanMarkerReadError;
        return result;
    }
    if (directory.ThisDisk != LastIndex || directory.Zip64 ||
        std::any_of(directory.Entries.begin(), directory.Entries.end(), NeedsZip64)) {
        result.Error = zmNoSpanSupport;
        return result;
    }
    uint64_t totalBytes = 0;
    for (const ZipDirEntry& entry : directory.Entries)
        totalBytes += entry.ComprSize;
    if (Progress.OnTotals)
        Progress.OnTotals(directory.Entries.size(), totalBytes);

    uint64_t written = 0;
    auto write = [&](const void* data, size_t count) {
        if (count > 0 && !Out.Write(data, count))
            return false;
        written += count;
        return true;
    };
    TSetReader reader(OpenPart, LastIndex);
    std::vector<uint64_t> offsets;
    offsets.reserve(directory.Entries.size());
    std::vector<unsigned char> chunk(kCopyChunk);
    for (const ZipDirEntry& entry : directory.Entries) {
        if (Progress.Cancelled && Progress.Cancelled()) {
            result.Error = zmUserAbort;
            return result;
        }
        if (Progress.OnItem)
            Progress.OnItem(CopyingText(Progress, entry.FileName), entry.ComprSize);
        // On a single-part "set" a stub may stand in front.
        uint64_t offset = entry.RelOffLocalHdr + (LastIndex == 0 ? uint64_t(directory.Shift) : 0);
        unsigned char local[kLocalSize];
        if (!reader.Seek(entry.StartOnDisk, offset) || !reader.Read(local, sizeof local)) {
            result.Error = zmLocalReadError;
            return result;
        }
        if (Get32(local) != kLocalSig) {
            result.Error = zmLocalSignature;
            return result;
        }
        std::string rest(size_t(Get16(local + 26)) + Get16(local + 28), '\0');
        if (!reader.Read(rest.data(), rest.size())) {
            result.Error = zmLocalNameReadError;
            return result;
        }
        offsets.push_back(written);
        if (!write(local, sizeof local) || !write(rest.data(), rest.size())) {
            result.Error = zmWriteError;
            return result;
        }
        for (uint64_t left = entry.ComprSize; left > 0;) {
            size_t now = size_t(std::min<uint64_t>(left, chunk.size()));
            if (!reader.Read(chunk.data(), now)) {
                result.Error = zmDataReadError;
                return result;
            }
            if (!write(chunk.data(), now)) {
                result.Error = zmWriteError;
                return result;
            }
            left -= now;
        }
        if (entry.Flag & kFlagDescriptor) {
            unsigned char descriptor[16];
            size_t size = 0;
            if (!reader.Read(descriptor, 4) || !DescriptorSize(entry, descriptor, size) ||
                !reader.Read(descriptor + 4, size - 4)) {
                result.Error = zmDescriptorReadError;
                return result;
            }
            if (!write(descriptor, size)) {
                result.Error = zmWriteError;
                return result;
            }
        }
    }

    if (Progress.OnItem)
        Progress.OnItem(CopyingText(Progress, ZipMessageOrFallback(zmCentralDirectory, Progress.OnZipStr)), 0);
    uint64_t centralOffset = written;
    if (!reader.Seek(directory.CentralDisk, directory.CentralOffset)) {
        result.Error = zmCentralReadError;
        return result;
    }
    for (size_t i = 0; i < directory.Entries.size(); ++i) {
        unsigned char fixed[kCentralSize];
        if (!reader.Read(fixed, sizeof fixed)) {
            result.Error = zmCentralReadError;
            return result;
        }
        if (Get32(fixed) != kCentralSig) {
            result.Error = zmCentralSignature;
            return result;
        }
        std::string rest(size_t(Get16(fixed + 28)) + Get16(fixed + 30) + Get16(fixed + 32), '\0');
        if (!reader.Read(rest.data(), rest.size())) {
            result.Error = zmCentralReadError;
            return result;
        }
        Set16(fixed + 34, 0);
        Set32(fixed + 42, uint32_t(offsets[i]));
        if (!write(fixed, sizeof fixed) || !write(rest.data(), rest.size())) {
            result.Error = zmWriteError;
            return result;
        }
    }
    uint64_t centralSize = written - centralOffset;
    unsigned char end[22] = {};
    Set32(end, kEndSig);
    Set16(end + 8, uint32_t(directory.Entries.size()));
    Set16(end + 10, uint32_t(directory.Entries.size()));
    Set32(end + 12, uint32_t(centralSize));
    Set32(end + 16, uint32_t(centralOffset));
    Set16(end + 20, uint32_t(directory.RawComment.size()));
    if (!write(end, sizeof end) || !write(directory.RawComment.data(), directory.RawComment.size())) {
        result.Error = zmWriteError;
        return result;
    }
    result.Entries = directory.Entries.size();
    return result;
}

}  // namespace qrv
