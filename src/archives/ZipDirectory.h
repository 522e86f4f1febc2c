#pragma once
// The zip component's own central-directory reader. Portable: it reads from
// a random-access source (a file opened by the Windows layer, one part per
// disk of a spanned set, or a buffer in tests and fuzzing) and returns the
// entries and the ids of the messages to report; it never throws on bad
// data. Every count, length and offset is checked against the source before
// it is used.

#include "archives/ZipMessages.h"
#include "framework/UnsetAllocator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qrv {

// Random access to one file (one disk of a set).
class TZipSource {
public:
    virtual ~TZipSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly Count bytes at Offset; false on a short or failed read.
    [[nodiscard]] virtual bool ReadAt(uint64_t Offset, void* Buffer, size_t Count) = 0;
    // The Count bytes at Offset where they stand (a file mapped into memory,
    // a buffer), valid as long as the source; nullptr when the source
    // cannot show them in place or they lie outside it. A directory shown
    // in place is listed in parts at once.
    virtual const char* View(uint64_t Offset, size_t Count)
    {
        (void)Offset;
        (void)Count;
        return nullptr;
    }
};

class TZipMemorySource : public TZipSource {
public:
    explicit TZipMemorySource(std::string_view Bytes) : bytes_(Bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    [[nodiscard]] bool ReadAt(uint64_t Offset, void* Buffer, size_t Count) override;
    const char* View(uint64_t Offset, size_t Count) override;

private:
    std::string_view bytes_;
};

enum CodePageOpts { cpAuto, cpNone, cpOEM };

// One central-directory entry: the central header's fields in zip order,
// sizes and offset widened to 64 bits (ZIP64 values resolved), the name and
// comment decoded, "/" in the name replaced by "\". The name, comment and
// extra field stand in the text blocks of the TZipEntries that holds the
// entry and live as long as it.
struct ZipDirEntry {
    uint8_t MadeByVersion = 0;
    uint8_t HostVersionNo = 0;  // host system: the high byte of "version made by"
    uint16_t Version = 0;       // version needed to extract
    uint16_t Flag = 0;          // general purpose flags
    uint16_t ComprMethod = 0;
    uint32_t DateTime = 0;  // DOS date in the high 16 bits, time in the low
    uint32_t CRC32 = 0;
    uint64_t ComprSize = 0;
    uint64_t UncomprSize = 0;
    uint16_t FileNameLength = 0;
    uint16_t ExtraFieldLength = 0;
    uint16_t FileCommentLen = 0;
    bool Encrypted = false;  // bit 0 of the flags
    uint32_t StartOnDisk = 0;
    uint16_t IntFileAttrib = 0;
    uint32_t ExtFileAttrib = 0;
    uint64_t RelOffLocalHdr = 0;  // as stored (ZIP64 resolved), before any stub shift
    std::u16string_view FileName;
    std::u16string_view FileComment;
    std::string_view ExtraData;

    // Equal fields and equal texts.
    bool operator==(const ZipDirEntry&) const = default;
};

// Text kept in a few large blocks that never move: a listing of 100,000
// entries stores their names in a handful of allocations, not one each.
template <class Char>
class TTextBlocks {
public:
    TTextBlocks() = default;
    // A moved-from set holds no room: its next text gets a new block
    // instead of writing into one that now belongs to the other.
    TTextBlocks(TTextBlocks&& Other) noexcept { *this = std::move(Other); }
    TTextBlocks& operator=(TTextBlocks&& Other) noexcept
    {
        if (this == &Other)
            return *this;
        blocks_ = std::move(Other.blocks_);
        Other.blocks_.clear();
        free_ = std::exchange(Other.free_, nullptr);
        end_ = std::exchange(Other.end_, nullptr);
        return *this;
    }

    // Room for Length characters, valid as long as the blocks are.
    Char* Reserve(size_t Length);
    // The last Length characters of the last room reserved, not needed.
    void GiveBack(size_t Length);
    // Makes room for Length characters to come (untouched), when there is
    // less.
    void Prepare(size_t Length);
    std::basic_string_view<Char> Store(std::basic_string_view<Char> Text);
    void Clear();
    // Takes over Other's blocks with the texts in them; new texts still go
    // into this set's own room.
    void Adopt(TTextBlocks&& Other);

private:
    static constexpr size_t kBlockLength = 128 * 1024;
    std::vector<std::unique_ptr<Char[]>> blocks_;
    Char* free_ = nullptr;
    Char* end_ = nullptr;
};

// The entries of a listing with the texts they refer to. Moving it keeps
// every entry's texts in place; it is not copied.
class TZipEntries {
public:
    TZipEntries() = default;
    TZipEntries(TZipEntries&& Other) noexcept { *this = std::move(Other); }
    TZipEntries& operator=(TZipEntries&& Other) noexcept
    {
        if (this == &Other)
            return *this;
        entries_ = std::exchange(Other.entries_, {});
        texts_ = std::move(Other.texts_);
        bytes_ = std::move(Other.bytes_);
        nameLengths_ = std::exchange(Other.nameLengths_, 0);
        return *this;
    }
    TZipEntries(const TZipEntries&) = delete;
    TZipEntries& operator=(const TZipEntries&) = delete;

    // Places allotted for a listing made in parts are written by the parts,
    // not set beforehand: 100,000 entries are not cleared first.
    using TEntryVector = std::vector<ZipDirEntry, TUnsetAllocator<ZipDirEntry>>;
    using const_iterator = TEntryVector::const_iterator;
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const ZipDirEntry& operator[](size_t i) const { return entries_[i]; }
    const ZipDirEntry& at(size_t i) const { return entries_.at(i); }
    const ZipDirEntry& back() const { return entries_.back(); }
    // The characters of all names together.
    size_t NameLengths() const { return nameLengths_; }

    void reserve(size_t Count) { entries_.reserve(Count); }
    void clear();
    // Adds Entry, whose texts already stand in Texts() (or are literals).
    const ZipDirEntry& push_back(const ZipDirEntry& Entry);
    // For a listing made in parts at once, on an empty list: Count places,
    // each to be written by one part (std::construct_at) before anything
    // reads it.
    ZipDirEntry* Allot(size_t Count);
    // Takes over the texts a part's entries refer to, and the characters
    // of their names together.
    void Adopt(TTextBlocks<char16_t>&& Texts, TTextBlocks<char>&& Bytes, size_t NameLengths);
    TTextBlocks<char16_t>& Texts() { return texts_; }
    TTextBlocks<char>& Bytes() { return bytes_; }

    // The same entries with the same texts.
    bool operator==(const TZipEntries& Other) const
    {
        return nameLengths_ == Other.nameLengths_ && std::equal(begin(), end(), Other.begin(), Other.end());
    }

private:
    TEntryVector entries_;
    TTextBlocks<char16_t> texts_;
    TTextBlocks<char> bytes_;
    size_t nameLengths_ = 0;
};

struct TZipListOptions {
    CodePageOpts CodePage = cpAuto;
    bool UseDirOnlyEntries = false;
    // Name decoders for bytes in the OEM and the ANSI code page; the Windows
    // layer passes the system's, the defaults are code pages 850 and 1252.
    std::function<std::u16string(std::string_view)> OemDecode;
    std::function<std::u16string(std::string_view)> AnsiDecode;
    // The same code pages as tables of their 256 characters, where each byte
    // is one character (every single-byte code page): a name is then
    // decoded straight into place, without a call per name. Without them the
    // decoders above are asked.
    std::shared_ptr<const std::array<char16_t, 256>> OemTable;
    std::shared_ptr<const std::array<char16_t, 256>> AnsiTable;
    // For a set whose central directory begins or continues on other disks:
    // the source of a disk (nullptr when the user cancels or it is missing).
    std::function<TZipSource*(uint32_t Disk)> OpenDisk;
    // Where the source came from, to tell which part of a set it is when
    // it holds no end record.
    std::u16string VolumeLabel;
    std::u16string FileName;
    // Each kept entry with its sequence number from 1.
    std::function<void(int SeqNo, const ZipDirEntry& Entry)> OnNewName;
    // A directory the source shows in place is decoded in parts of at least
    // this many entries on several threads; the decoders above must then
    // bear being called from them at once.
    size_t MinEntriesPerPart = 4096;
};

struct TZipListResult {
    TZipEntries Entries;
    std::vector<int> Warnings;    // warning ids in the order found
    int Error = 0;                // id of the error that ended the listing
    int ErrorArg = 0;             // its numeric argument (a disk number)
    std::u16string Comment;       // the archive comment
    uint32_t DirOnlyEntries = 0;  // directory entries left out
    uint64_t CentralOffset = 0;   // where the central directory really is
    uint64_t CentralSize = 0;
    int64_t Shift = 0;              // real minus stored offsets (a stub in front)
    uint64_t EndOffset = 0;         // where the end record is
    std::string RawComment;         // the archive comment as stored
    uint64_t FirstLocalOffset = 0;  // smallest local header position (stub size)
    bool SpannedFirstPart = false;  // begins with the spanned-set marker
    bool Zip64 = false;
    uint32_t ThisDisk = 0;      // disk holding the end record
    uint32_t CentralDisk = 0;   // disk where the central directory begins
    uint64_t TotalEntries = 0;  // as the end record states

    bool operator==(const TZipListResult&) const = default;
};

// When no end record is found: the disk number of the part, taken from the
// volume label ("PKBACK# 003"), else an extension ".z" + digits, else the
// last three characters of the base name; -1 when none gives a number.
int SpanDiskNumber(std::u16string_view VolumeLabel, std::u16string_view FileName);

// Lists the archive in Source (the disk holding the end record for a set).
TZipListResult ListZipDirectory(TZipSource& Source, const TZipListOptions& Options);

// The default decoders.
std::u16string DecodeCp1252(std::string_view Bytes);
std::u16string DecodeUtf8(std::string_view Bytes);
// The same into Out, which has room for as many characters as Bytes has
// bytes; the number of characters written.
size_t DecodeUtf8Into(std::string_view Bytes, char16_t* Out);

}  // namespace qrv
