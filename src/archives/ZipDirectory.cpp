#include "archives/ZipDirectory.h"

#include "common/OemCodePage.h"
#include "framework/PartThreads.h"
#include "framework/TimingTrace.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>

namespace qrv {

namespace {

constexpr uint32_t kSpanMarker = 0x08074B50;
constexpr uint32_t kLocalSig = 0x04034B50;
constexpr uint32_t kCentralSig = 0x02014B50;
constexpr uint32_t kEndSig = 0x06054B50;
constexpr uint32_t kZip64EndSig = 0x06064B50;
constexpr uint32_t kZip64LocatorSig = 0x07064B50;

constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kZip64LocatorSize = 20;
// The end record, plus the longest comment it can carry.
constexpr uint64_t kEndSearchSpan = kEndSize + 0xFFFF;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagUtf8 = 0x0800;
constexpr uint16_t kExtraZip64 = 0x0001;
constexpr uint16_t kExtraUnicodePath = 0x7075;

uint16_t Get16(const unsigned char* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Get32(const unsigned char* p)
{
    return uint32_t(Get16(p)) | (uint32_t(Get16(p + 2)) << 16);
}
uint64_t Get64(const unsigned char* p)
{
    return uint64_t(Get32(p)) | (uint64_t(Get32(p + 4)) << 32);
}

uint32_t Crc32(std::string_view bytes)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// The classic end record's fields.
struct TEndRecord {
    uint64_t Position = 0;
    uint32_t ThisDisk = 0;
    uint32_t CentralDisk = 0;
    uint64_t TotalEntries = 0;
    uint64_t CentralSize = 0;
    uint64_t CentralOffset = 0;
    uint16_t CommentLength = 0;
};

TEndRecord ParseEnd(const unsigned char* p, uint64_t position)
{
    TEndRecord end;
    end.Position = position;
    end.ThisDisk = Get16(p + 4);
    end.CentralDisk = Get16(p + 6);
    end.TotalEntries = Get16(p + 10);
    end.CentralSize = Get32(p + 12);
    end.CentralOffset = Get32(p + 16);
    end.CommentLength = Get16(p + 20);
    return end;
}

bool Saturated(const TEndRecord& end)
{
    return end.TotalEntries == 0xFFFF || end.CentralSize == 0xFFFFFFFFu || end.CentralOffset == 0xFFFFFFFFu;
}

// Whether a signature hit can be the end record of a file of FileSize
// bytes: its comment ends inside the file and, when the directory lies on
// this disk, the directory fits in front of it. Saturated fields are
// checked later against the ZIP64 record.
bool Plausible(const TEndRecord& end, uint64_t fileSize)
{
    if (end.Position + kEndSize + end.CommentLength > fileSize)
        return false;
    if (Saturated(end) || end.CentralDisk != end.ThisDisk)
        return true;
    return end.CentralSize <= end.Position && end.TotalEntries * kCentralSize <= end.CentralSize;
}

bool IsZeroPadding(TZipSource& source, uint64_t from, uint64_t size)
{
    if (size % 512 != 0 || size - from >= 512)
        return false;
    std::string rest(size_t(size - from), '\0');
    if (!rest.empty() && !source.ReadAt(from, rest.data(), rest.size()))
        return false;
    return std::all_of(rest.begin(), rest.end(), [](char c) { return c == 0; });
}

// Reads the central directory through a window of the source: its many
// small reads become a few large ones.
class TWindowSource : public TZipSource {
public:
    explicit TWindowSource(TZipSource& inner) : inner_(inner) {}
    uint64_t Size() const override { return inner_.Size(); }
    bool ReadAt(uint64_t Offset, void* Buffer, size_t Count) override
    {
        if (Count > kWindow)
            return inner_.ReadAt(Offset, Buffer, Count);
        const char* bytes = Peek(Offset, Count);
        if (!bytes)
            return false;
        std::memcpy(Buffer, bytes, Count);
        return true;
    }

    // The Count bytes at Offset where they stand in the window, valid until
    // the next read; nullptr on a short or failed read or a Count larger
    // than the window.
    const char* Peek(uint64_t Offset, size_t Count)
    {
        if (Count > kWindow)
            return nullptr;
        if (Offset < start_ || Offset - start_ > window_.size() || Count > window_.size() - (Offset - start_)) {
            uint64_t size = inner_.Size();
            if (Offset > size)
                return nullptr;
            window_.resize(size_t(std::min<uint64_t>(kWindow, size - Offset)));
            start_ = Offset;
            if (!inner_.ReadAt(Offset, window_.data(), window_.size())) {
                window_.clear();
                return nullptr;
            }
            if (Count > window_.size())
                return nullptr;
        }
        return window_.data() + (Offset - start_);
    }

private:
    static constexpr size_t kWindow = 256 * 1024;
    TZipSource& inner_;
    std::string window_;
    uint64_t start_ = 0;
};

class TLister {
public:
    TLister(TZipSource& source, const TZipListOptions& options, TZipListResult& result)
        : source_(source), options_(options), result_(result), size_(source.Size())
    {}

    void Run()
    {
        CheckSpanMarker();
        std::optional<TEndRecord> end = FindEnd();
        if (!end) {
            if (result_.Error == 0)
                ReportMissingEnd();
            return;
        }
        // A directory to be listed in parts: the threads are woken now, while
        // the rest of the end is read and the headers are walked.
        if (end->TotalEntries >= 2 * std::max<size_t>(options_.MinEntriesPerPart, 1) || Saturated(*end))
            WarmPartThreads(std::chrono::milliseconds(20));
        result_.EndOffset = end->Position;
        ReadComment(*end);
        CheckTrailingData(*end);
        uint64_t directoryEnd = end->Position;
        if (!ReadZip64(*end, directoryEnd))
            return;
        result_.ThisDisk = end->ThisDisk;
        result_.CentralDisk = end->CentralDisk;
        result_.TotalEntries = end->TotalEntries;
        ReadCentralDirectory(*end, directoryEnd);
    }

private:
    void Fail(int id, int arg = 0)
    {
        result_.Error = id;
        result_.ErrorArg = arg;
    }

    void CheckSpanMarker()
    {
        unsigned char head[8];
        if (size_ >= sizeof head && source_.ReadAt(0, head, sizeof head))
            result_.SpannedFirstPart = Get32(head) == kSpanMarker && Get32(head + 4) == kLocalSig;
    }

    std::optional<TEndRecord> FindEnd()
    {
        if (size_ < kEndSize)
            return std::nullopt;
        unsigned char last[kEndSize];
        if (!source_.ReadAt(size_ - kEndSize, last, kEndSize)) {
            Fail(zmEocReadError);
            return std::nullopt;
        }
        std::optional<TEndRecord> found;
        if (Get32(last) == kEndSig) {
            TEndRecord end = ParseEnd(last, size_ - kEndSize);
            if (Plausible(end, size_))
                found = end;
        }
        // Backwards through the tail, which can hold the longest comment.
        uint64_t span = std::min(size_, kEndSearchSpan);
        uint64_t base = size_ - span;
        std::string tail(size_t(span), '\0');
        if (!source_.ReadAt(base, tail.data(), tail.size())) {
            if (found)
                return found;
            Fail(zmInputSeekError);
            return std::nullopt;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(tail.data());
        for (size_t at = tail.size() - kEndSize; at-- > 0;) {
            if (Get32(bytes + at) != kEndSig)
                continue;
            TEndRecord end = ParseEnd(bytes + at, base + at);
            if (!Plausible(end, size_))
                continue;
            // The last plausible record is taken, unless it lies inside the
            // comment of an earlier one whose comment ends the file: a
            // comment may hold anything, end-record signatures included.
            if (!found ||
                (end.Position + kEndSize + end.CommentLength == size_ && end.Position + kEndSize <= found->Position))
                found = end;
        }
        return found;
    }

    void ReportMissingEnd()
    {
        int disk = SpanDiskNumber(options_.VolumeLabel, options_.FileName);
        if (disk > 1)
            Fail(zmNotLastDisk, disk);
        else if (!result_.SpannedFirstPart)
            Fail(zmNotAZip);
        else if (disk == 1 && !options_.VolumeLabel.empty())
            Fail(zmFirstDiskNotLast);
        else
            Fail(zmFirstFileNotLast);
    }

    void ReadComment(const TEndRecord& end)
    {
        std::string comment(end.CommentLength, '\0');
        if (!comment.empty() && !source_.ReadAt(end.Position + kEndSize, comment.data(), comment.size())) {
            result_.Warnings.push_back(zmEocCommentReadError);
            return;
        }
        result_.Comment = DecodeText(comment, false, options_.CodePage == cpOEM);
        result_.RawComment = std::move(comment);
    }

    void CheckTrailingData(const TEndRecord& end)
    {
        uint64_t recordEnd = end.Position + kEndSize + end.CommentLength;
        if (recordEnd < size_ && !IsZeroPadding(source_, recordEnd, size_))
            result_.Warnings.push_back(zmTrailingDataWarning);
    }

    // Takes the ZIP64 end record, found through its locator in front of the
    // classic record, when there is one. False when the archive must stop.
    bool ReadZip64(TEndRecord& end, uint64_t& directoryEnd)
    {
        if (end.Position < kZip64LocatorSize + kZip64EndSize)
            return true;
        unsigned char locator[kZip64LocatorSize];
        uint64_t locatorAt = end.Position - kZip64LocatorSize;
        if (!source_.ReadAt(locatorAt, locator, sizeof locator) || Get32(locator) != kZip64LocatorSig)
            return true;
        // Normally right in front of the locator; the stored offset does not
        // count a stub in front of the archive.
        unsigned char record[kZip64EndSize];
        uint64_t recordAt = locatorAt - kZip64EndSize;
        bool found = source_.ReadAt(recordAt, record, sizeof record) && Get32(record) == kZip64EndSig;
        if (!found) {
            recordAt = Get64(locator + 8);
            found = recordAt + kZip64EndSize <= locatorAt && source_.ReadAt(recordAt, record, sizeof record) &&
                    Get32(record) == kZip64EndSig;
        }
        if (!found) {
            if (Saturated(end)) {
                Fail(zmEocReadError);
                return false;
            }
            return true;
        }
        end.ThisDisk = Get32(record + 16);
        end.CentralDisk = Get32(record + 20);
        end.TotalEntries = Get64(record + 32);
        end.CentralSize = Get64(record + 40);
        end.CentralOffset = Get64(record + 48);
        directoryEnd = recordAt;
        result_.Zip64 = true;
        return true;
    }

    void ReadCentralDirectory(const TEndRecord& end, uint64_t directoryEnd)
    {
        TZipSource* disk = &source_;
        uint64_t at = 0;
        uint64_t limit = 0;  // where this disk's part of the directory ends
        int64_t shift = 0;   // stub bytes in front not counted by the stored offsets
        if (end.CentralDisk == end.ThisDisk) {
            if (end.CentralSize > directoryEnd || end.TotalEntries > end.CentralSize / kCentralSize) {
                Fail(zmSeekError);
                return;
            }
            at = directoryEnd - end.CentralSize;
            limit = directoryEnd;
            shift = int64_t(at) - int64_t(end.CentralOffset);
            if (at != end.CentralOffset)
                result_.Warnings.push_back(zmStructureWarning);
        } else {
            disk = OpenDisk(end.CentralDisk);
            if (!disk)
                return;
            at = end.CentralOffset;
            limit = disk->Size();
            if (at > limit) {
                Fail(zmSeekError);
                return;
            }
        }
        result_.CentralOffset = at;
        result_.CentralSize = end.CentralSize;
        result_.Shift = shift;
        currentDisk_ = end.CentralDisk;
        lastDisk_ = end.ThisDisk;
        if (disk == &source_ && ListInPlace(end.TotalEntries, at, limit, shift))
            return;
        // Each entry takes at least a header's bytes: the reservation is
        // bounded by the bytes this disk holds, never by a stored count or
        // size alone.
        uint64_t room = std::min(end.CentralSize, limit - at) / kCentralSize + 1;
        result_.Entries.reserve(size_t(std::min(end.TotalEntries, room)));

        std::optional<TWindowSource> window;
        if (disk == &source_)
            disk = &window.emplace(source_);
        TWindowSource* const windowed = window ? &*window : nullptr;

        std::optional<uint64_t> firstLocal;
        int seqNo = 0;
        // The raw fields are read into one buffer each for every entry; what
        // is kept goes into the result's blocks.
        std::string name, extra, comment;
        TZipEntries& entries = result_.Entries;
        for (uint64_t i = 0; i < end.TotalEntries; ++i) {
            // The header where it stands in the window, else copied here.
            unsigned char headerCopy[kCentralSize];
            const unsigned char* header = nullptr;
            if (disk == windowed && at + kCentralSize <= limit)
                header = reinterpret_cast<const unsigned char*>(windowed->Peek(at, kCentralSize));
            if (!header && (at + kCentralSize > limit || !disk->ReadAt(at, headerCopy, sizeof headerCopy))) {
                // A set's directory continues on the next disk.
                if (currentDisk_ >= lastDisk_ || !(disk = NextDisk(at, limit)) || at + kCentralSize > limit ||
                    !disk->ReadAt(at, headerCopy, sizeof headerCopy)) {
                    if (result_.Error == 0)
                        Fail(zmCentralReadError);
                    return;
                }
            }
            if (!header)
                header = headerCopy;
            if (Get32(header) != kCentralSig) {
                Fail(zmCentralSignature);
                return;
            }
            ZipDirEntry entry = ParseCentralHeader(header);
            at += kCentralSize;

            // Name, extra field and comment: read where they stand in the
            // window when they lie inside this disk's part of the directory
            // (the header's view is not used after this), else copied field
            // by field, which also tells which of them is cut short.
            std::string_view nameBytes, extraBytes, commentBytes;
            const size_t fieldsLength = size_t(entry.FileNameLength) + entry.ExtraFieldLength + entry.FileCommentLen;
            const char* fields = nullptr;
            if (disk == windowed && at + fieldsLength <= limit)
                fields = windowed->Peek(at, fieldsLength);
            if (fields) {
                nameBytes = {fields, entry.FileNameLength};
                extraBytes = {fields + entry.FileNameLength, entry.ExtraFieldLength};
                commentBytes = {fields + entry.FileNameLength + entry.ExtraFieldLength, entry.FileCommentLen};
                at += fieldsLength;
            } else {
                if (!ReadField(*disk, at, limit, entry.FileNameLength, name, zmCentralNameReadError) ||
                    !ReadField(*disk, at, limit, entry.ExtraFieldLength, extra, zmExtraReadError) ||
                    !ReadField(*disk, at, limit, entry.FileCommentLen, comment, zmCommentReadError))
                    return;
                nameBytes = name;
                extraBytes = extra;
                commentBytes = comment;
            }
            DecodeFields(entry, nameBytes, extraBytes, commentBytes, entries.Texts());
            if (end.CentralDisk == end.ThisDisk)
                NoteLocalOffset(entry, shift, firstLocal);
            else if (entry.StartOnDisk == 0)
                firstLocal = std::min(firstLocal.value_or(entry.RelOffLocalHdr), entry.RelOffLocalHdr);

            if (LeftOut(entry)) {
                ++result_.DirOnlyEntries;
                continue;
            }
            if (!extraBytes.empty())
                entry.ExtraData = entries.Bytes().Store(extraBytes);
            const ZipDirEntry& kept = entries.push_back(entry);
            if (options_.OnNewName)
                options_.OnNewName(++seqNo, kept);
        }
        result_.FirstLocalOffset = firstLocal.value_or(0);
    }

    // The fixed fields of the central header at Header.
    static ZipDirEntry ParseCentralHeader(const unsigned char* header)
    {
        ZipDirEntry entry;
        entry.MadeByVersion = header[4];
        entry.HostVersionNo = header[5];
        entry.Version = Get16(header + 6);
        entry.Flag = Get16(header + 8);
        entry.ComprMethod = Get16(header + 10);
        entry.DateTime = Get32(header + 12);
        entry.CRC32 = Get32(header + 16);
        entry.ComprSize = Get32(header + 20);
        entry.UncomprSize = Get32(header + 24);
        entry.FileNameLength = Get16(header + 28);
        entry.ExtraFieldLength = Get16(header + 30);
        entry.FileCommentLen = Get16(header + 32);
        entry.StartOnDisk = Get16(header + 34);
        entry.IntFileAttrib = Get16(header + 36);
        entry.ExtFileAttrib = Get32(header + 38);
        entry.RelOffLocalHdr = Get32(header + 42);
        entry.Encrypted = (entry.Flag & kFlagEncrypted) != 0;
        return entry;
    }

    // Name and comment decoded into Texts, the ZIP64 values taken from the
    // extra field, which the entry still views where it was read.
    void DecodeFields(ZipDirEntry& entry, std::string_view name, std::string_view extra, std::string_view comment,
                      TTextBlocks<char16_t>& texts) const
    {
        entry.ExtraData = extra;
        ApplyZip64Extra(entry);
        entry.FileName = DecodeName(entry, name, texts);
        if (!comment.empty())
            entry.FileComment = texts.Store(DecodeText(comment, (entry.Flag & kFlagUtf8) != 0, UsesOem(entry)));
    }

    // The smallest local header position so far, with the entry's (on the
    // disk holding the directory, shifted by the stub in front).
    static void NoteLocalOffset(const ZipDirEntry& entry, int64_t shift, std::optional<uint64_t>& firstLocal)
    {
        // Unsigned on purpose: a hostile offset wraps instead of overflowing.
        uint64_t local = entry.RelOffLocalHdr + uint64_t(shift);
        if (shift < 0 && entry.RelOffLocalHdr < uint64_t(-shift))
            local = 0;
        firstLocal = std::min(firstLocal.value_or(local), local);
    }

    // A directory entry not to be listed.
    bool LeftOut(const ZipDirEntry& entry) const
    {
        const bool directoryOnly = entry.FileName.empty() || entry.FileName.back() == u'\\';
        return directoryOnly && !options_.UseDirOnlyEntries;
    }

    // One part of a directory listed in place: its headers, where its kept
    // entries go and how many are expected, and what it found.
    struct TPart {
        uint64_t First = 0;  // its first header's place in the directory
        size_t Headers = 0;
        size_t Slot = 0;  // its first kept entry's place in the list
        size_t Expected = 0;
        bool AsExpected = true;
        uint32_t DirOnlyEntries = 0;
        std::optional<uint64_t> FirstLocal;
        size_t NameLengths = 0;
        size_t TextBytes = 0;  // of its names and comments as stored
        size_t ExtraBytes = 0;
        TTextBlocks<char16_t> Texts;
        TTextBlocks<char> Bytes;
    };

    // Lists a directory the source shows in place, in parts at once. A walk
    // over the headers checks their bounds and splits them into parts; a
    // header whose raw name is empty or ends in a separator is expected to
    // be a directory entry, so that every part knows where its entries go in
    // one list. When a decoded name proves that guess wrong (a name in a
    // double-byte code page, a Unicode path field), nothing is kept and
    // false sends the listing the usual way, as it does when the source
    // shows nothing in place.
    bool ListInPlace(uint64_t total, uint64_t at, uint64_t limit, int64_t shift)
    {
        if (total == 0 || limit - at > std::numeric_limits<size_t>::max())
            return false;
        const size_t size = size_t(limit - at);
        const char* const directory = source_.View(at, size);
        if (!directory)
            return false;
        const auto* bytes = reinterpret_cast<const unsigned char*>(directory);
        TouchPages(bytes, size);
        std::vector<TPart> parts;
        size_t expected = 0;
        const int error = WalkHeaders(bytes, size, total, parts, expected);
        // Everything the parts write is allotted here, untouched: the parts
        // then fill their memory at once, where one allocation beside
        // another would wait for it. Decoded names and comments take no
        // more characters than they have bytes (a Unicode path field may,
        // and gets room of its own).
        TZipEntries entries;
        ZipDirEntry* const places = entries.Allot(expected);
        for (TPart& part : parts) {
            part.Texts.Prepare(part.TextBytes);
            part.Bytes.Prepare(part.ExtraBytes);
        }
        {
            TTimingScope decoding(L"zip directory decoded");
            RunParts(parts.size(), [&](size_t k) { ListPart(parts[k], bytes, shift, places); });
        }
        if (!std::all_of(parts.begin(), parts.end(), [](const TPart& part) { return part.AsExpected; }))
            return false;

        std::optional<uint64_t> firstLocal;
        for (TPart& part : parts) {
            entries.Adopt(std::move(part.Texts), std::move(part.Bytes), part.NameLengths);
            result_.DirOnlyEntries += part.DirOnlyEntries;
            if (part.FirstLocal)
                firstLocal = std::min(firstLocal.value_or(*part.FirstLocal), *part.FirstLocal);
        }
        result_.Entries = std::move(entries);
        if (error != 0)
            Fail(error);
        else
            result_.FirstLocalOffset = firstLocal.value_or(0);
        if (options_.OnNewName)
            for (size_t i = 0; i < result_.Entries.size(); ++i)
                options_.OnNewName(int(i + 1), result_.Entries[i]);
        return true;
    }

    // Reads a byte of every page of a directory mapped into memory, on
    // several threads: the pages are mapped in at once instead of one by one
    // during the walk over the headers.
    static void TouchPages(const unsigned char* bytes, size_t size)
    {
        TTimingScope touching(L"zip directory touched");
        constexpr size_t kPage = 4096;
        const size_t pieces = PartCountFor(size, 64 * kPage);
        RunParts(pieces, [&](size_t piece) {
            unsigned sum = 0;
            for (size_t at = size * piece / pieces; at < size * (piece + 1) / pieces; at += kPage)
                sum += bytes[at];
            [[maybe_unused]] volatile unsigned read = sum;
        });
    }

    // Checks the bounds of the headers of a directory shown in place and
    // splits them into parts, each with the place of its first kept entry
    // and how many it should keep; the id of the error that ends the
    // directory early (0: none).
    int WalkHeaders(const unsigned char* bytes, size_t size, uint64_t total, std::vector<TPart>& parts,
                    size_t& expected) const
    {
        // Each part takes at least the given number of headers, and there are
        // a few parts for every thread so that a busy one holds up little.
        const size_t minimum = std::max<size_t>(options_.MinEntriesPerPart, 1);
        const size_t headersLeft = size_t(std::min<uint64_t>(total, size / kCentralSize));
        const size_t partCount = std::clamp<size_t>(headersLeft / minimum, 1, 4 * PartThreadCount());
        const size_t perPart = std::max<size_t>(headersLeft / partCount + 1, minimum);
        TTimingScope walking(L"zip directory walked");
        int error = 0;
        uint64_t p = 0;
        for (uint64_t i = 0; i < total; ++i) {
            if (i % perPart == 0) {
                parts.emplace_back();
                parts.back().First = p;
                parts.back().Slot = expected;
            }
            if (size - p < kCentralSize) {
                error = zmCentralReadError;
                break;
            }
            const unsigned char* header = bytes + p;
            if (Get32(header) != kCentralSig) {
                error = zmCentralSignature;
                break;
            }
            const uint16_t nameLength = Get16(header + 28);
            p += kCentralSize;
            if (size - p < nameLength) {
                error = zmCentralNameReadError;
                break;
            }
            const bool maybeDirectory =
                nameLength == 0 || bytes[p + nameLength - 1] == '/' || bytes[p + nameLength - 1] == '\\';
            p += nameLength;
            if (size - p < Get16(header + 30)) {
                error = zmExtraReadError;
                break;
            }
            p += Get16(header + 30);
            if (size - p < Get16(header + 32)) {
                error = zmCommentReadError;
                break;
            }
            p += Get16(header + 32);
            ++parts.back().Headers;
            parts.back().TextBytes += nameLength + Get16(header + 32);
            parts.back().ExtraBytes += Get16(header + 30);
            if (!maybeDirectory || options_.UseDirOnlyEntries) {
                ++parts.back().Expected;
                ++expected;
            }
        }
        while (!parts.empty() && parts.back().Headers == 0)
            parts.pop_back();

        if (TimingTraceEnabled())
            walking.Note(std::to_wstring(parts.size()) + L" parts");
        return error;
    }

    // Decodes the headers of one part (their bounds are checked) into its
    // places; stops when the part keeps other entries than expected. (What
    // it counts is kept here and written to the part once: the parts'
    // records stand side by side and would share cache lines.)
    void ListPart(TPart& part, const unsigned char* bytes, int64_t shift, ZipDirEntry* places) const
    {
        uint64_t p = part.First;
        ZipDirEntry* out = places + part.Slot;
        ZipDirEntry* const end = out + part.Expected;
        uint32_t dirOnlyEntries = 0;
        size_t nameLengths = 0;
        std::optional<uint64_t> firstLocal;
        TTextBlocks<char16_t> texts = std::move(part.Texts);
        TTextBlocks<char> extras = std::move(part.Bytes);
        bool asExpected = true;
        for (size_t n = 0; n < part.Headers; ++n) {
            ZipDirEntry entry = ParseCentralHeader(bytes + p);
            p += kCentralSize;
            const auto* fields = reinterpret_cast<const char*>(bytes + p);
            const std::string_view name(fields, entry.FileNameLength);
            const std::string_view extra(fields + entry.FileNameLength, entry.ExtraFieldLength);
            const std::string_view comment(fields + entry.FileNameLength + entry.ExtraFieldLength,
                                           entry.FileCommentLen);
            p += size_t(entry.FileNameLength) + entry.ExtraFieldLength + entry.FileCommentLen;
            DecodeFields(entry, name, extra, comment, texts);
            NoteLocalOffset(entry, shift, firstLocal);
            if (LeftOut(entry)) {
                ++dirOnlyEntries;
                continue;
            }
            if (out == end) {
                asExpected = false;
                break;
            }
            if (!extra.empty())
                entry.ExtraData = extras.Store(extra);
            nameLengths += entry.FileName.size();
            std::construct_at(out++, entry);
        }
        part.AsExpected = asExpected && out == end;
        part.DirOnlyEntries = dirOnlyEntries;
        part.NameLengths = nameLengths;
        part.FirstLocal = firstLocal;
        part.Texts = std::move(texts);
        part.Bytes = std::move(extras);
    }

    bool ReadField(TZipSource& disk, uint64_t& at, uint64_t limit, uint16_t length, std::string& out, int errorId)
    {
        if (at + length > limit) {
            Fail(errorId);
            return false;
        }
        out.resize(length);
        if (length > 0 && !disk.ReadAt(at, out.data(), length)) {
            Fail(errorId);
            return false;
        }
        at += length;
        return true;
    }

    TZipSource* OpenDisk(uint32_t number)
    {
        if (number == LastDiskNumber())
            return &source_;
        if (!options_.OpenDisk) {
            Fail(zmNoSpanSupport);
            return nullptr;
        }
        TZipSource* disk = options_.OpenDisk(number);
        if (!disk)
            Fail(zmUserAbort);
        return disk;
    }

    TZipSource* NextDisk(uint64_t& at, uint64_t& limit)
    {
        TZipSource* disk = OpenDisk(++currentDisk_);
        if (!disk)
            return nullptr;
        at = 0;
        limit = disk->Size();
        return disk;
    }

    uint32_t LastDiskNumber() const { return result_.ThisDisk; }

    // The ZIP64 extra field holds, in this order, each value whose classic
    // field is saturated.
    static void ApplyZip64Extra(ZipDirEntry& entry)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(entry.ExtraData.data());
        size_t size = entry.ExtraData.size();
        for (size_t at = 0; at + 4 <= size;) {
            uint16_t id = Get16(p + at);
            uint16_t length = Get16(p + at + 2);
            if (at + 4 + length > size)
                return;
            if (id == kExtraZip64) {
                size_t field = at + 4, fieldEnd = at + 4 + length;
                auto take64 = [&](uint64_t& value) {
                    if (value != 0xFFFFFFFFu || field + 8 > fieldEnd)
                        return;
                    value = Get64(p + field);
                    field += 8;
                };
                take64(entry.UncomprSize);
                take64(entry.ComprSize);
                take64(entry.RelOffLocalHdr);
                if (entry.StartOnDisk == 0xFFFF && field + 4 <= fieldEnd)
                    entry.StartOnDisk = Get32(p + field);
                return;
            }
            at += 4 + length;
        }
    }

    // The UTF-8 bytes of the Unicode path extra field, when its CRC-32
    // matches the stored name.
    static std::optional<std::string_view> UnicodePath(const ZipDirEntry& entry, std::string_view storedName)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(entry.ExtraData.data());
        size_t size = entry.ExtraData.size();
        for (size_t at = 0; at + 4 <= size;) {
            uint16_t id = Get16(p + at);
            uint16_t length = Get16(p + at + 2);
            if (at + 4 + length > size)
                return std::nullopt;
            if (id == kExtraUnicodePath && length >= 5 && p[at + 4] == 1 && Get32(p + at + 5) == Crc32(storedName))
                return std::string_view(entry.ExtraData).substr(at + 9, length - 5);
            at += 4 + length;
        }
        return std::nullopt;
    }

    bool UsesOem(const ZipDirEntry& entry) const
    {
        return options_.CodePage == cpOEM || entry.HostVersionNo == 6 ||
               (entry.HostVersionNo == 11 && entry.MadeByVersion == 50) ||
               (options_.CodePage == cpAuto && entry.HostVersionNo == 0);
    }

    // Decodes the name into Texts. A name of printable ASCII reads the same
    // in UTF-8 and in every ANSI and OEM code page of Windows: it is widened
    // straight into place, no decoder and no string of its own.
    std::u16string_view DecodeName(const ZipDirEntry& entry, std::string_view stored,
                                   TTextBlocks<char16_t>& texts) const
    {
        std::optional<std::string_view> unicode;
        if (!(entry.Flag & kFlagUtf8))
            unicode = UnicodePath(entry, stored);
        if (!unicode && IsPrintableAscii(stored)) {
            char16_t* begin = texts.Reserve(stored.size());
            std::transform(stored.begin(), stored.end(), begin, [](char c) { return c == '/' ? u'\\' : char16_t(c); });
            return {begin, stored.size()};
        }
        // A single-byte code page's table or UTF-8 (the name flagged as such,
        // or the Unicode path field's) decode straight into place too: a name
        // has no more characters than bytes.
        if (!unicode && !(entry.Flag & kFlagUtf8)) {
            if (const std::array<char16_t, 256>* table =
                    UsesOem(entry) ? options_.OemTable.get() : options_.AnsiTable.get()) {
                char16_t* begin = texts.Reserve(stored.size());
                std::transform(stored.begin(), stored.end(), begin,
                               [table](char c) { return c == '/' ? u'\\' : (*table)[static_cast<unsigned char>(c)]; });
                return {begin, stored.size()};
            }
        }
        if (unicode || (entry.Flag & kFlagUtf8)) {
            const std::string_view utf8 = unicode ? *unicode : stored;
            char16_t* begin = texts.Reserve(utf8.size());
            const size_t length = DecodeUtf8Into(utf8, begin);
            std::replace(begin, begin + length, u'/', u'\\');
            texts.GiveBack(utf8.size() - length);
            return {begin, length};
        }
        std::u16string name = DecodeText(stored, false, UsesOem(entry));
        std::replace(name.begin(), name.end(), u'/', u'\\');
        return texts.Store(name);
    }

    static bool IsPrintableAscii(std::string_view bytes)
    {
        return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    }

    std::u16string DecodeText(std::string_view bytes, bool utf8, bool oem) const
    {
        if (utf8)
            return DecodeUtf8(bytes);
        if (oem)
            return options_.OemDecode ? options_.OemDecode(bytes) : OemToUtf16(bytes, TOemCodePage::cp850);
        return options_.AnsiDecode ? options_.AnsiDecode(bytes) : DecodeCp1252(bytes);
    }

    TZipSource& source_;
    const TZipListOptions& options_;
    TZipListResult& result_;
    uint64_t size_;
    uint32_t currentDisk_ = 0;
    uint32_t lastDisk_ = 0;
};

}  // namespace

template <class Char>
Char* TTextBlocks<Char>::Reserve(size_t Length)
{
    if (static_cast<size_t>(end_ - free_) < Length) {
        // A text longer than a block gets a block of its own size.
        const size_t size = std::max(Length, kBlockLength);
        blocks_.push_back(std::make_unique_for_overwrite<Char[]>(size));
        free_ = blocks_.back().get();
        end_ = free_ + size;
    }
    Char* begin = free_;
    free_ += Length;
    return begin;
}

template <class Char>
void TTextBlocks<Char>::GiveBack(size_t Length)
{
    free_ -= Length;
}

template <class Char>
void TTextBlocks<Char>::Prepare(size_t Length)
{
    if (static_cast<size_t>(end_ - free_) >= Length || Length == 0)
        return;
    blocks_.push_back(std::make_unique_for_overwrite<Char[]>(Length));
    free_ = blocks_.back().get();
    end_ = free_ + Length;
}

template <class Char>
std::basic_string_view<Char> TTextBlocks<Char>::Store(std::basic_string_view<Char> Text)
{
    if (Text.empty())
        return {};
    Char* begin = Reserve(Text.size());
    std::copy(Text.begin(), Text.end(), begin);
    return {begin, Text.size()};
}

template <class Char>
void TTextBlocks<Char>::Clear()
{
    blocks_.clear();
    free_ = end_ = nullptr;
}

template <class Char>
void TTextBlocks<Char>::Adopt(TTextBlocks&& Other)
{
    if (this == &Other)
        return;
    blocks_.insert(blocks_.end(), std::make_move_iterator(Other.blocks_.begin()),
                   std::make_move_iterator(Other.blocks_.end()));
    Other.Clear();
}

template class TTextBlocks<char16_t>;
template class TTextBlocks<char>;

void TZipEntries::clear()
{
    // Closing a large archive gives its memory back.
    TEntryVector().swap(entries_);
    texts_.Clear();
    bytes_.Clear();
    nameLengths_ = 0;
}

const ZipDirEntry& TZipEntries::push_back(const ZipDirEntry& Entry)
{
    nameLengths_ += Entry.FileName.size();
    return entries_.emplace_back(Entry);
}

ZipDirEntry* TZipEntries::Allot(size_t Count)
{
    if (!entries_.empty())
        throw std::logic_error("entries allotted to a list that has some");
    entries_.resize(Count);
    return entries_.data();
}

void TZipEntries::Adopt(TTextBlocks<char16_t>&& Texts, TTextBlocks<char>&& Bytes, size_t NameLengths)
{
    texts_.Adopt(std::move(Texts));
    bytes_.Adopt(std::move(Bytes));
    nameLengths_ += NameLengths;
}

const char* TZipMemorySource::View(uint64_t Offset, size_t Count)
{
    if (Offset > bytes_.size() || Count > bytes_.size() - Offset)
        return nullptr;
    return bytes_.data() + Offset;
}

bool TZipMemorySource::ReadAt(uint64_t Offset, void* Buffer, size_t Count)
{
    if (Offset > bytes_.size() || Count > bytes_.size() - Offset)
        return false;
    if (Count > 0)
        std::memcpy(Buffer, bytes_.data() + Offset, Count);
    return true;
}

int SpanDiskNumber(std::u16string_view VolumeLabel, std::u16string_view FileName)
{
    auto digits = [](std::u16string_view text) -> int {
        if (text.empty() || text.size() > 6)
            return -1;
        int value = 0;
        for (char16_t c : text) {
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    if (VolumeLabel.substr(0, 8) == u"PKBACK# ")
        return digits(VolumeLabel.substr(8, 3));
    size_t slash = FileName.find_last_of(u"\\/:");
    std::u16string_view base = slash == std::u16string_view::npos ? FileName : FileName.substr(slash + 1);
    size_t dot = base.rfind(u'.');
    if (dot != std::u16string_view::npos && dot + 2 <= base.size() &&
        (base.substr(dot, 2) == u".z" || base.substr(dot, 2) == u".Z")) {
        int number = digits(base.substr(dot + 2));
        if (number >= 0)
            return number;
    }
    std::u16string_view stem = dot == std::u16string_view::npos ? base : base.substr(0, dot);
    if (stem.size() < 3)
        return -1;
    return digits(stem.substr(stem.size() - 3));
}

TZipListResult ListZipDirectory(TZipSource& Source, const TZipListOptions& Options)
{
    TZipListResult result;
    TLister(Source, Options, result).Run();
    return result;
}

std::u16string DecodeCp1252(std::string_view Bytes)
{
    // 0x80-0x9F; the rest of the code page is Latin-1.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::u16string out;
    out.reserve(Bytes.size());
    for (unsigned char c : Bytes)
        out += (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : char16_t(c);
    return out;
}

std::u16string DecodeUtf8(std::string_view Bytes)
{
    std::u16string out(Bytes.size(), u'\0');
    out.resize(DecodeUtf8Into(Bytes, out.data()));
    return out;
}

size_t DecodeUtf8Into(std::string_view Bytes, char16_t* Out)
{
    char16_t* const begin = Out;
    const auto* p = reinterpret_cast<const unsigned char*>(Bytes.data());
    size_t n = Bytes.size();
    for (size_t i = 0; i < n;) {
        unsigned char c = p[i];
        uint32_t cp = 0;
        size_t len = 0;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            len = 4;
        }
        bool valid = len > 0 && i + len <= n;
        for (size_t k = 1; valid && k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        static constexpr uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (cp < kMinimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            valid = false;
        if (!valid) {
            *Out++ = u'\uFFFD';
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *Out++ = char16_t(0xD800 + (cp >> 10));
            *Out++ = char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            *Out++ = char16_t(cp);
        }
        i += len;
    }
    return size_t(Out - begin);
}

}  // namespace qrv
