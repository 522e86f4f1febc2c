#include "viewers/HexDocument.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <immintrin.h>
#include <functional>
#include <iterator>
#include <new>

namespace qrv {

// --- change marks

void THexChangeMarks::Mark(int64_t offset)
{
    auto next = ranges_.upper_bound(offset);
    if (next != ranges_.begin()) {
        auto prev = std::prev(next);
        if (prev->second > offset)
            return;  // already marked
        if (prev->second == offset) {
            prev->second = offset + 1;
            if (next != ranges_.end() && next->first == offset + 1) {
                prev->second = next->second;
                ranges_.erase(next);
            }
            return;
        }
    }
    if (next != ranges_.end() && next->first == offset + 1) {
        const int64_t end = next->second;
        ranges_.erase(next);
        ranges_.emplace(offset, end);
        return;
    }
    ranges_.emplace(offset, offset + 1);
}

bool THexChangeMarks::IsMarked(int64_t offset) const
{
    auto next = ranges_.upper_bound(offset);
    if (next == ranges_.begin())
        return false;
    return offset < std::prev(next)->second;
}

void THexChangeMarks::DropFrom(int64_t offset)
{
    auto first = ranges_.lower_bound(offset);
    if (first != ranges_.begin()) {
        auto prev = std::prev(first);
        prev->second = std::min(prev->second, offset);
    }
    ranges_.erase(first, ranges_.end());
}

// --- the document

THexDocument::THexDocument() : cache_(CacheSize) {}

void THexDocument::Open(std::unique_ptr<THexFile> file)
{
    file_ = std::move(file);
    size_ = file_ ? file_->Size() : 0;
    modified_ = false;
    InvalidateCache();
    marks_.Clear();
    journal_.clear();
}

const uint8_t* THexDocument::CachedBytes(int64_t offset, size_t count, size_t& available)
{
    available = 0;
    if (!file_ || offset < 0 || offset >= size_)
        return nullptr;
    const int64_t wantedEnd = std::min<int64_t>(offset + static_cast<int64_t>(std::min(count, CacheSize)), size_);
    if (cacheStart_ < 0 || offset < cacheStart_ || wantedEnd > cacheStart_ + static_cast<int64_t>(cacheCount_)) {
        // Refill around the request, so that rows above and below are in it too.
        const int64_t start = std::max<int64_t>(0, offset - static_cast<int64_t>(CacheSize / 2));
        const auto fill = static_cast<size_t>(std::min<int64_t>(CacheSize, size_ - start));
        try {
            file_->Read(start, cache_.data(), fill);
        } catch (const EStreamError&) {
            InvalidateCache();
            return nullptr;
        }
        cacheStart_ = start;
        cacheCount_ = fill;
    }
    const int64_t inCache = offset - cacheStart_;
    available = std::min(count, cacheCount_ - static_cast<size_t>(inCache));
    return cache_.data() + inCache;
}

bool THexDocument::ReadByte(int64_t offset, uint8_t& value)
{
    size_t available = 0;
    const uint8_t* bytes = CachedBytes(offset, 1, available);
    if (!bytes || !available)
        return false;
    value = *bytes;
    return true;
}

std::vector<uint8_t> THexDocument::BufferFromFile(int64_t offset, int64_t& count)
{
    if (offset < 0 || offset >= size_)
        throw ERangeError(L"Invalid BufferFromFile argument");
    count = std::clamp<int64_t>(count, 0, size_ - offset);
    std::vector<uint8_t> buffer;
    try {
        buffer.resize(static_cast<size_t>(count));
        file_->Read(offset, buffer.data(), buffer.size());
    } catch (const std::bad_alloc&) {
        count = 0;
        return {};
    } catch (const std::length_error&) {
        count = 0;
        return {};
    } catch (const EStreamError&) {
        count = 0;
        return {};
    }
    return buffer;
}

std::wstring THexDocument::JournalDescription() const
{
    if (journal_.empty())
        return L"No Undo";
    switch (journal_.back().Kind) {
    case THexChangeKind::ByteChanged:
        return L"Byte changed";
    case THexChangeKind::BytesRemoved:
        return L"Byte(s) removed";
    case THexChangeKind::InsertBuffer:
        return L"Insert buffer";
    case THexChangeKind::ReplaceSelection:
        return L"Replace selection";
    case THexChangeKind::AppendBuffer:
        return L"Append buffer";
    }
    return L"";
}

bool THexDocument::CanChange(THexChangeKind kind, int64_t count, int64_t replacedLength) const
{
    const bool growsEmpty = kind == THexChangeKind::InsertBuffer || kind == THexChangeKind::AppendBuffer;
    if (size_ <= 0 && !growsEmpty)
        return false;
    if (NoSizeChange) {
        if (kind == THexChangeKind::BytesRemoved || growsEmpty)
            return false;
        if (kind == THexChangeKind::ReplaceSelection && count != replacedLength)
            return false;
    }
    return true;
}

std::vector<uint8_t> THexDocument::ReadLimited(int64_t offset, int64_t count)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(std::min<int64_t>(count, JournalPayloadLimit)));
    if (!bytes.empty())
        file_->Read(offset, bytes.data(), bytes.size());
    return bytes;
}

void THexDocument::Journalize(THexChangeKind kind, const THexEditPosition& position, int64_t a0, int64_t a1, int64_t a2,
                              const uint8_t* payload, int64_t payloadSize, bool oldMark)
{
    THexJournalRecord record;
    record.Kind = kind;
    record.OldChangeMark = oldMark;
    record.WasModified = modified_;
    record.Position = position;
    record.Args[0] = a0;
    record.Args[1] = a1;
    record.Args[2] = a2;
    record.PayloadSize = payloadSize;
    if (payload)
        record.Payload.assign(payload, payload + std::min<int64_t>(payloadSize, JournalPayloadLimit));
    journal_.push_back(std::move(record));
    while (journal_.size() > JournalLimit)
        journal_.pop_front();
    modified_ = true;
}

void THexDocument::WriteThrough(int64_t offset, const uint8_t* bytes, size_t count)
{
    file_->Write(offset, bytes, count);
    // Keep the cached copy of the written bytes current.
    if (cacheStart_ >= 0) {
        const int64_t from = std::max(offset, cacheStart_);
        const int64_t to =
            std::min(offset + static_cast<int64_t>(count), cacheStart_ + static_cast<int64_t>(cacheCount_));
        if (from < to)
            std::memcpy(cache_.data() + (from - cacheStart_), bytes + (from - offset), static_cast<size_t>(to - from));
    }
}

// Moves the bytes [to, size) down onto from, block by block.
void THexDocument::MoveDown(int64_t from, int64_t to)
{
    std::vector<uint8_t> block(
        static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(MoveBlockSize), std::max<int64_t>(1, size_ - to))));
    for (int64_t pos = to; pos < size_;) {
        const auto n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(block.size()), size_ - pos));
        file_->Read(pos, block.data(), n);
        file_->Write(pos - (to - from), block.data(), n);
        pos += static_cast<int64_t>(n);
    }
}

// Moves the bytes [offset, size) up by the given distance, last block first.
void THexDocument::MoveUp(int64_t offset, int64_t by)
{
    std::vector<uint8_t> block(static_cast<size_t>(
        std::min<int64_t>(static_cast<int64_t>(MoveBlockSize), std::max<int64_t>(1, size_ - offset))));
    for (int64_t end = size_; end > offset;) {
        const auto n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(block.size()), end - offset));
        file_->Read(end - static_cast<int64_t>(n), block.data(), n);
        file_->Write(end - static_cast<int64_t>(n) + by, block.data(), n);
        end -= static_cast<int64_t>(n);
    }
}

bool THexDocument::ChangeByte(int64_t offset, uint8_t value, bool markChange, const THexEditPosition& position)
{
    uint8_t old = 0;
    if (offset < 0 || offset >= size_ || !CanChange(THexChangeKind::ByteChanged, 1, 1) || !ReadByte(offset, old))
        return false;
    if (old == value)
        return true;  // nothing changes, so nothing is journalled or marked
    const bool oldMark = marks_.IsMarked(offset);
    WriteThrough(offset, &value, 1);
    Journalize(THexChangeKind::ByteChanged, position, offset, 1, 0, &old, 1, oldMark);
    if (markChange)
        marks_.Mark(offset);
    return true;
}

bool THexDocument::DeleteRange(int64_t from, int64_t to, const THexEditPosition& position)
{
    from = std::max<int64_t>(0, from);
    to = std::min(to, size_);
    if (from >= to || !CanChange(THexChangeKind::BytesRemoved, to - from, 0))
        return false;
    const std::vector<uint8_t> removed = ReadLimited(from, to - from);
    InvalidateCache();
    MoveDown(from, to);
    file_->Resize(size_ - (to - from));
    size_ -= to - from;
    marks_.DropFrom(from);
    Journalize(THexChangeKind::BytesRemoved, position, from, to - from, 0, removed.data(), to - from, false);
    return true;
}

bool THexDocument::InsertBytes(int64_t offset, const uint8_t* bytes, size_t count, const THexEditPosition& position)
{
    offset = std::clamp<int64_t>(offset, 0, size_);
    const auto n = static_cast<int64_t>(count);
    if (!count || !CanChange(THexChangeKind::InsertBuffer, n, 0))
        return false;
    if (!file_)
        file_ = CreateWorkingFile ? CreateWorkingFile() : std::make_unique<TMemoryHexFile>();
    InvalidateCache();
    file_->Resize(size_ + n);
    MoveUp(offset, n);
    size_ += n;
    file_->Write(offset, bytes, count);
    marks_.DropFrom(offset);
    Journalize(THexChangeKind::InsertBuffer, position, offset, n, 0, nullptr, 0, false);
    return true;
}

bool THexDocument::AppendBytes(const uint8_t* bytes, size_t count, const THexEditPosition& position)
{
    const auto n = static_cast<int64_t>(count);
    if (!count || !CanChange(THexChangeKind::AppendBuffer, n, 0))
        return false;
    if (!file_)
        file_ = CreateWorkingFile ? CreateWorkingFile() : std::make_unique<TMemoryHexFile>();
    InvalidateCache();
    file_->Write(size_, bytes, count);
    Journalize(THexChangeKind::AppendBuffer, position, size_, n, 0, nullptr, 0, false);
    size_ += n;
    return true;
}

bool THexDocument::ReplaceRange(int64_t& start, int64_t replacedLength, const uint8_t* bytes, size_t& count,
                                const THexEditPosition& position)
{
    start = std::clamp<int64_t>(start, 0, size_);
    replacedLength = std::clamp<int64_t>(replacedLength, 0, size_ - start);
    if (NoSizeChange) {
        // The replacement fits the range: cut a longer one, narrow the range to a shorter one.
        if (static_cast<int64_t>(count) > replacedLength)
            count = static_cast<size_t>(replacedLength);
        replacedLength = static_cast<int64_t>(count);
    }
    const auto n = static_cast<int64_t>(count);
    if ((!n && !replacedLength) || !CanChange(THexChangeKind::ReplaceSelection, n, replacedLength))
        return false;
    const std::vector<uint8_t> replaced = ReadLimited(start, replacedLength);
    InvalidateCache();
    const int64_t delta = n - replacedLength;
    if (delta > 0) {
        file_->Resize(size_ + delta);
        MoveUp(start + replacedLength, delta);
    } else if (delta < 0) {
        MoveDown(start + n, start + replacedLength);
        file_->Resize(size_ + delta);
    }
    size_ += delta;
    if (count)
        file_->Write(start, bytes, count);
    marks_.DropFrom(start);
    Journalize(THexChangeKind::ReplaceSelection, position, start, n, replacedLength, replaced.data(), replacedLength,
               false);
    return true;
}

namespace {

// The search of one block: many positions at a time, each checked for the
// pattern's first and last byte with vector compares, and only the rare
// positions where both agree compared in full. The loads do not depend on
// each other, so the scan runs at the speed of the cache the block sits in.
// AVX2 (thirty-two positions a step, two steps at once) where the processor
// has it, else SSE2 (sixteen a step; every x86-64 processor has it).
class TPatternSearch {
public:
    TPatternSearch(std::vector<uint8_t> pattern, bool allowAvx2)
        : pattern_(std::move(pattern)), avx2_(allowAvx2 && HasAvx2())
    {}

    // The first match in data[0, count), or count.
    size_t Find(const uint8_t* data, size_t count) const
    {
        const size_t m = pattern_.size();
        if (count < m)
            return count;
        const size_t positions = count - m + 1;
        size_t i = 0;
        if (avx2_ && FindWide(data, positions, i))
            return i;
        const __m128i first = _mm_set1_epi8(static_cast<char>(pattern_[0]));
        const __m128i last = _mm_set1_epi8(static_cast<char>(pattern_[m - 1]));
        for (; i + 16 <= positions; i += 16) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + m - 1));
            auto candidates = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(head, first), _mm_cmpeq_epi8(tail, last))));
            while (candidates) {
                const size_t at = i + static_cast<size_t>(__builtin_ctz(candidates));
                if (Matches(data + at))
                    return at;
                candidates &= candidates - 1;
            }
        }
        for (; i < positions; ++i)
            if (data[i] == pattern_[0] && data[i + m - 1] == pattern_[m - 1] && Matches(data + i))
                return i;
        return count;
    }

private:
    static bool HasAvx2()
    {
        // The processor's features are read once; this may run before the
        // runtime's own start-up has read them.
        static const bool has = [] {
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2") != 0;
        }();
        return has;
    }

    // The bytes between the first and the last (both already equal).
    bool Matches(const uint8_t* at) const
    {
        const size_t m = pattern_.size();
        return m <= 2 || std::memcmp(at + 1, pattern_.data() + 1, m - 2) == 0;
    }

    // Scans the positions from i on, sixty-four at a time, while that many
    // remain; true with i at the first match, else false with i at the first
    // position not yet scanned.
    __attribute__((target("avx2"))) bool FindWide(const uint8_t* data, size_t positions, size_t& i) const
    {
        const size_t m = pattern_.size();
        const __m256i first = _mm256_set1_epi8(static_cast<char>(pattern_[0]));
        const __m256i last = _mm256_set1_epi8(static_cast<char>(pattern_[m - 1]));
        for (; i + 64 <= positions; i += 64) {
            const auto* heads = reinterpret_cast<const __m256i*>(data + i);
            const auto* tails = reinterpret_cast<const __m256i*>(data + i + m - 1);
            const __m256i low = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256(heads), first),
                                                 _mm256_cmpeq_epi8(_mm256_loadu_si256(tails), last));
            const __m256i high = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256(heads + 1), first),
                                                  _mm256_cmpeq_epi8(_mm256_loadu_si256(tails + 1), last));
            const __m256i both = _mm256_or_si256(low, high);
            if (_mm256_testz_si256(both, both))
                continue;
            uint64_t candidates = static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
                                  uint64_t(static_cast<uint32_t>(_mm256_movemask_epi8(high))) << 32;
            while (candidates) {
                const size_t at = i + static_cast<size_t>(__builtin_ctzll(candidates));
                if (Matches(data + at)) {
                    i = at;
                    return true;
                }
                candidates &= candidates - 1;
            }
        }
        return false;
    }

    std::vector<uint8_t> pattern_;
    bool avx2_;
};

// Lower-cased data is searched in pieces of at most this size.
constexpr int64_t kLoweredPiece = 256 << 10;

// The first match in data[0, count) of the searcher's (lower-cased) pattern,
// with the data lower-cased through the table piece by piece into a buffer
// that stays in the processor's cache; pieces overlap by length - 1 bytes.
size_t FindLowered(const TPatternSearch& searcher, const std::array<uint8_t, 256>& table, const uint8_t* data,
                   size_t count, size_t length, size_t piece, std::vector<uint8_t>& lowered)
{
    for (size_t at = 0; at + length <= count; at += piece) {
        const size_t n = std::min(piece + length - 1, count - at);
        if (lowered.size() < n)
            lowered.resize(n);
        for (size_t i = 0; i < n; ++i)
            lowered[i] = table[data[at + i]];
        const size_t hit = searcher.Find(lowered.data(), n);
        if (hit < n)
            return at + hit;
    }
    return count;
}

}  // namespace

int64_t THexDocument::Find(const uint8_t* pattern, int64_t length, const std::array<uint8_t, 256>* lowerTable,
                           int64_t lastOffset, int64_t firstOffset)
{
    lastOffset = std::min(lastOffset, size_ - 1);
    firstOffset = std::max<int64_t>(0, firstOffset);
    if (length <= 0 || !file_ || lastOffset + 1 < firstOffset + length)
        return -1;
    std::vector<uint8_t> wanted(pattern, pattern + length);
    if (lowerTable)
        for (uint8_t& b : wanted)
            b = (*lowerTable)[b];
    const TPatternSearch searcher(std::move(wanted), AllowAvx2);
    std::vector<uint8_t> block, lowered;
    const auto search = [&](const uint8_t* data, size_t count) {
        if (!lowerTable)
            return searcher.Find(data, count);
        return FindLowered(searcher, *lowerTable, data, count, static_cast<size_t>(length),
                           static_cast<size_t>(std::clamp<int64_t>(FindBlockSize, 1, kLoweredPiece)), lowered);
    };
    // The data is searched where the file shows it in place, in large
    // windows, so that it passes through memory once; where it cannot, in
    // blocks read into a buffer. Windows and blocks overlap by length - 1
    // bytes, so no match falls between two. The working file holds every
    // edit, so either way sees the document as it stands. Once the file
    // shows no view, the rest is read.
    const int64_t end = lastOffset + 1;
    bool viewable = true;
    for (int64_t start = firstOffset; start + length <= end;) {
        int64_t step = std::max<int64_t>(1, FindViewSize);
        auto count = static_cast<size_t>(std::min(step + length - 1, end - start));
        const uint8_t* data = nullptr;
        const std::unique_ptr<THexFileView> view = viewable ? file_->View(start, count) : nullptr;
        viewable = view != nullptr;
        if (view) {
            data = view->Data();
        } else {
            step = std::max<int64_t>(1, FindBlockSize);
            count = static_cast<size_t>(std::min(step + length - 1, end - start));
            if (block.size() < count)
                block.resize(count);
            file_->Read(start, block.data(), count);
            data = block.data();
        }
        const size_t hit = search(data, count);
        if (hit < count)
            return start + static_cast<int64_t>(hit);
        start += step;
    }
    return -1;
}

std::vector<uint8_t> HexStringToBytes(std::u16string_view text, bool swapNibbles)
{
    std::vector<uint8_t> bytes;
    int pending = -1;
    for (const char16_t c : text) {
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            continue;
        if (pending < 0) {
            pending = digit;
            continue;
        }
        bytes.push_back(static_cast<uint8_t>(swapNibbles ? (digit << 4) | pending : (pending << 4) | digit));
        pending = -1;
    }
    return bytes;
}

}  // namespace qrv

namespace qrv {

namespace {

// File names compare without regard to case, as the file system does.
wchar_t FoldCase(wchar_t c)
{
    if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<wchar_t>(c - 0x20);
    return c;
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

}  // namespace

bool HexSaveMakesBackup(bool createBackup, bool modified, std::wstring_view target, std::wstring_view fileName)
{
    return createBackup && modified && SameName(target, fileName);
}

std::wstring HexBackupName(std::wstring_view fileName, std::wstring_view backupExtension)
{
    const size_t nameStart = fileName.find_last_of(L"\\/:");
    const size_t dot = fileName.rfind(L'.');
    const bool hasExtension =
        dot != std::wstring_view::npos && (nameStart == std::wstring_view::npos || dot > nameStart);
    if (!hasExtension)
        return std::wstring(fileName) + std::wstring(backupExtension);
    if (SameName(fileName.substr(dot), backupExtension))
        return std::wstring(fileName) + std::wstring(backupExtension);
    return std::wstring(fileName.substr(0, dot)) + std::wstring(backupExtension);
}

}  // namespace qrv
