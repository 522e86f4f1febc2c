#include "archives/ZipItemSort.h"

#include "archives/ZipListColumns.h"
#include "framework/PartThreads.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace qrv {

namespace {

// Big-endian 16-bit units: byte order is code-unit order.
void AppendUtf16Bytes(std::wstring_view text, std::string& out)
{
    size_t at = out.size();
    out.resize(at + 2 * text.size());
    for (const wchar_t c : text) {
        out[at++] = static_cast<char>((c >> 8) & 0xFF);
        out[at++] = static_cast<char>(c & 0xFF);
    }
}

// The keys of one sort: a number per item, or a byte string per item kept
// in one buffer (a sort of 100,000 entries makes no string per entry). The
// keys are made in the items' own order, which walks their memory once;
// the sort goes by rows, so equal keys keep the order the list shows. A
// large list makes its keys and sorts in parts on several threads.
class TZipSortKeys {
public:
    TZipSortKeys(const TZipItems& Items, int Column, bool SortByExtension, const TSortCollator& Collator)
        : numeric_(Column == zcSize || Column == zcChanged), rows_(Items.Rows()),
          parts_(PartCountFor(Items.Items().size())), perPart_((Items.Items().size() + parts_ - 1) / parts_)
    {
        const TZipItemVector& items = Items.Items();
        if (numeric_) {
            numbers_ = std::make_unique_for_overwrite<uint64_t[]>(items.size());
            RunParts(parts_, [&](size_t part) {
                TArchiveEntry entry;
                for (size_t i = First(part); i < Last(part); ++i) {
                    if (Column == zcSize) {
                        numbers_[i] = items[i].Size;
                    } else {
                        Items.ReadEntry(items[i], entry);
                        numbers_[i] = entry.DateTime;
                    }
                }
            });
            return;
        }
        // Plain texts key one byte a character; when one text has no such
        // key, every item gets a full one (the two kinds do not compare).
        if (!MakeTextKeys(Items, Column, SortByExtension, Collator, true))
            MakeTextKeys(Items, Column, SortByExtension, Collator, false);
    }

    // The rows in ascending key order; equal keys keep their order.
    std::vector<uint32_t> AscendingOrder() const
    {
        const size_t count = rows_.size();
        auto slots = std::make_unique_for_overwrite<TSlot[]>(count);
        RunParts(parts_, [&](size_t part) {
            for (size_t row = First(part); row < Last(part); ++row) {
                TSlot& slot = slots[row];
                slot.Row = static_cast<uint32_t>(row);
                if (numeric_) {
                    slot.Chunk = numbers_[rows_[row]];
                    slot.Remaining = 0;
                } else {
                    SetChunk(slot, 0);
                }
            }
        });
        if (parts_ > 1) {
            SortInBuckets(slots);
        } else {
            std::vector<TSlot> scratch;
            if (numeric_)
                SortSlots(slots.get(), slots.get() + count, scratch);
            else
                SortFrom(slots.get(), slots.get() + count, 0, scratch, true);
        }
        std::vector<uint32_t> order(count);
        RunParts(parts_, [&](size_t part) {
            for (size_t i = First(part); i < Last(part); ++i)
                order[i] = slots[i].Row;
        });
        return order;
    }

    // Whether the rows A and B have equal keys.
    bool Equal(uint32_t A, uint32_t B) const
    {
        return numeric_ ? numbers_[rows_[A]] == numbers_[rows_[B]] : Key(A) == Key(B);
    }

private:
    // The items (or rows) of a part.
    size_t First(size_t Part) const { return std::min(Part * perPart_, rows_.size()); }
    size_t Last(size_t Part) const { return std::min((Part + 1) * perPart_, rows_.size()); }

    // The key of every item by a text column, made in parts; false (and no
    // keys) when Compact is asked for and a text has no compact key. By
    // path and by type name a key is the place of the item's group (its
    // path, its type) among all groups, four bytes, then the key of its
    // name: a group sorts wholly before the next, and each group is ordered
    // once, not once per item. Compact keys are as long as their texts: the
    // buffer for all is allotted at once, and the parts fill it.
    bool MakeTextKeys(const TZipItems& Items, int Column, bool SortByExtension, const TSortCollator& Collator,
                      bool Compact)
    {
        const TSortCollator::TCompactBytes* compactBytes = Compact ? Collator.CompactBytes() : nullptr;
        if (Compact && !compactBytes)
            return false;
        const TZipItemVector& items = Items.Items();
        const bool byExtension = Column == zcType && SortByExtension;
        const std::vector<uint32_t> groups = Column == zcPath || (Column == zcType && !byExtension)
                                                 ? GroupPlaces(items, Column, Collator)
                                                 : std::vector<uint32_t>();
        const size_t groupBytes = groups.empty() ? 0 : 4;
        const auto group = [&](size_t i) { return groups.empty() ? int64_t(-1) : int64_t(groups[i]); };
        ends_ = std::make_unique_for_overwrite<size_t[]>(items.size());
        std::vector<size_t> starts(parts_ + 1, 0);
        std::vector<char> failed(parts_, 0);
        if (Compact) {
            RunParts(parts_, [&](size_t part) {
                size_t length = 0;
                for (size_t i = First(part); i < Last(part); ++i)
                    length += (byExtension ? items[i].Ext().size() : items[i].Name().size()) + groupBytes;
                starts[part + 1] = length;
            });
            std::partial_sum(starts.begin(), starts.end(), starts.begin());
            keys_ = std::make_unique_for_overwrite<char[]>(starts.back());
            RunParts(parts_, [&](size_t part) {
                char* out = keys_.get() + starts[part];
                for (size_t i = First(part); i < Last(part); ++i) {
                    out = WriteItemKey(items[i], group(i), byExtension, *compactBytes, out);
                    if (!out) {
                        failed[part] = 1;
                        return;
                    }
                    ends_[i] = static_cast<size_t>(out - keys_.get());
                }
            });
            return std::find(failed.begin(), failed.end(), 1) == failed.end();
        }
        // Full keys are as long as the collator makes them: each part
        // collects its own, and they are joined.
        std::vector<std::string> buffers(parts_);
        RunParts(parts_, [&](size_t part) {
            std::string& bytes = buffers[part];
            for (size_t i = First(part); i < Last(part); ++i) {
                AppendFullKey(items[i], group(i), byExtension, Collator, bytes);
                ends_[i] = bytes.size();
            }
            starts[part + 1] = bytes.size();
        });
        std::partial_sum(starts.begin(), starts.end(), starts.begin());
        keys_ = std::make_unique_for_overwrite<char[]>(starts.back());
        RunParts(parts_, [&](size_t part) {
            std::copy(buffers[part].begin(), buffers[part].end(), keys_.get() + starts[part]);
            for (size_t i = First(part); i < Last(part); ++i)
                ends_[i] += starts[part];
        });
        return true;
    }

    // Writes the compact key of one item at Out; where it ends, or nullptr
    // when its text has none.
    static char* WriteItemKey(const TZipItem& item, int64_t group, bool byExtension,
                              const TSortCollator::TCompactBytes& compactBytes, char* out)
    {
        if (byExtension) {
            // By code units: their compact key is the low bytes while
            // every high byte is zero.
            for (const wchar_t c : item.Ext()) {
                if (c == 0 || c > 0xFF)
                    return nullptr;
                *out++ = static_cast<char>(c);
            }
            return out;
        }
        if (group >= 0)
            for (int shift = 24; shift >= 0; shift -= 8)
                *out++ = static_cast<char>(group >> shift);
        return WriteCompactKey(compactBytes, item.Name(), out);
    }

    static void AppendFullKey(const TZipItem& item, int64_t group, bool byExtension, const TSortCollator& Collator,
                              std::string& bytes)
    {
        if (byExtension) {
            AppendUtf16Bytes(item.Ext(), bytes);
            return;
        }
        if (group >= 0)
            for (int shift = 24; shift >= 0; shift -= 8)
                bytes.push_back(static_cast<char>(group >> shift));
        Collator.AppendSortKey(item.Name(), bytes);
    }

    // Each item's group as its place among the groups in their order (equal
    // ones share a place): by path, the paths by the collator; by type, the
    // upper-cased type names, or the extension where there is none, by code
    // units. The items of one folder, and of one type, mostly stand
    // together, so a group is looked up once per run of them.
    static std::vector<uint32_t> GroupPlaces(const TZipItemVector& Items, int Column, const TSortCollator& Collator)
    {
        const bool byPath = Column == zcPath;
        std::vector<std::wstring> texts;
        std::unordered_map<std::wstring, uint32_t> found;
        std::vector<uint32_t> groups(Items.size());
        std::wstring text;
        for (size_t i = 0; i < Items.size(); ++i) {
            const TZipItem& item = Items[i];
            // (One type record per extension: the same record, the same group.)
            if (i > 0 && (byPath ? item.Path() == Items[i - 1].Path() : item.Type && item.Type == Items[i - 1].Type)) {
                groups[i] = groups[i - 1];
                continue;
            }
            if (byPath)
                text.assign(item.Path());
            else
                text = item.TypeName().empty() ? item.Ext() : UpperCase(item.TypeName());
            const auto [place, added] = found.try_emplace(text, static_cast<uint32_t>(texts.size()));
            if (added)
                texts.push_back(text);
            groups[i] = place->second;
        }
        std::vector<std::string> keys;
        keys.reserve(texts.size());
        for (const std::wstring& group : texts) {
            keys.emplace_back();
            if (byPath)
                Collator.AppendSortKey(group, keys.back());
            else
                AppendUtf16Bytes(group, keys.back());
        }
        std::vector<uint32_t> order(texts.size());
        std::iota(order.begin(), order.end(), 0u);
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
        std::vector<uint32_t> places(texts.size());
        for (size_t k = 0; k < order.size(); ++k)
            places[order[k]] =
                k > 0 && keys[order[k]] == keys[order[k - 1]] ? places[order[k - 1]] : static_cast<uint32_t>(k);
        for (uint32_t& group : groups)
            group = places[group];
        return groups;
    }

    // One row in the byte-wise sort: eight bytes of its key from the
    // depth reached (zero-padded), how many bytes the key still has there
    // (9: more than these eight), and the row.
    // (No member is set when made: a sort's slots are allotted untouched,
    // and the parts fill them.)
    struct TSlot {
        uint64_t Chunk;
        uint8_t Remaining;
        uint32_t Row;
        bool operator<(const TSlot& other) const
        {
            if (Chunk != other.Chunk)
                return Chunk < other.Chunk;
            if (Remaining != other.Remaining)
                return Remaining < other.Remaining;
            return Row < other.Row;
        }
    };
    using TSlotIter = TSlot*;

    // The slot's eight key bytes from Depth on, and how many are left.
    void SetChunk(TSlot& slot, size_t depth) const
    {
        const std::string_view key = Key(slot.Row);
        const size_t left = key.size() > depth ? key.size() - depth : 0;
        uint64_t chunk = 0;
        for (size_t k = 0; k < 8; ++k)
            chunk = chunk << 8 | (k < left ? static_cast<uint8_t>(key[depth + k]) : 0u);
        slot.Chunk = chunk;
        slot.Remaining = static_cast<uint8_t>(std::min<size_t>(left, 9));
    }

    // A large list on several threads: the slots are dealt into buckets by
    // the first bits in which their chunks differ (a stable pass, part by
    // part), and the buckets are sorted at once, each on its own. When every
    // chunk is alike, the keys are looked at eight bytes further first.
    void SortInBuckets(std::unique_ptr<TSlot[]>& slots) const
    {
        constexpr int kBucketBits = 11;
        constexpr size_t kBuckets = size_t(1) << kBucketBits;
        size_t depth = 0;
        uint64_t low = 0, high = 0;
        for (;;) {
            std::vector<std::pair<uint64_t, uint64_t>> extremes(parts_, {~uint64_t(0), 0});
            std::vector<char> allLong(parts_, 1);
            RunParts(parts_, [&](size_t part) {
                // (Kept here and written once: side by side, the parts'
                // results share a cache line.)
                uint64_t lowest = ~uint64_t(0), highest = 0;
                bool longer = true;
                for (size_t i = First(part); i < Last(part); ++i) {
                    if (depth > 0)
                        SetChunk(slots[i], depth);
                    lowest = std::min(lowest, slots[i].Chunk);
                    highest = std::max(highest, slots[i].Chunk);
                    longer = longer && slots[i].Remaining > 8;
                }
                extremes[part] = {lowest, highest};
                allLong[part] = longer;
            });
            low = std::min_element(extremes.begin(), extremes.end())->first;
            high = std::max_element(extremes.begin(), extremes.end(), [](const auto& a, const auto& b) {
                       return a.second < b.second;
                   })->second;
            if (low != high || numeric_)
                break;
            // Every chunk alike: keys that end here order by their length
            // (one run, sorted as usual); else the order lies further on.
            if (std::find(allLong.begin(), allLong.end(), 0) != allLong.end()) {
                std::vector<TSlot> scratch;
                SortFrom(slots.get(), slots.get() + rows_.size(), depth, scratch, true);
                return;
            }
            depth += 8;
        }
        if (low == high)
            return;  // numbers all equal: the rows' order stands
        const int differing = 64 - std::countl_zero(low ^ high);
        const int shift = std::max(differing - kBucketBits, 0);
        const auto bucketOf = [&](const TSlot& slot) {
            return static_cast<size_t>((slot.Chunk >> shift) - (low >> shift));
        };

        // Each part's count per bucket, then the places where each part's
        // slots of a bucket go: bucket by bucket, part by part.
        std::vector<size_t> places(parts_ * kBuckets, 0);
        RunParts(parts_, [&](size_t part) {
            size_t* counts = &places[part * kBuckets];
            for (size_t i = First(part); i < Last(part); ++i)
                ++counts[bucketOf(slots[i])];
        });
        std::vector<size_t> bucketStarts(kBuckets + 1, 0);
        size_t sum = 0;
        for (size_t bucket = 0; bucket < kBuckets; ++bucket) {
            bucketStarts[bucket] = sum;
            for (size_t part = 0; part < parts_; ++part)
                places[part * kBuckets + bucket] = std::exchange(sum, sum + places[part * kBuckets + bucket]);
        }
        bucketStarts[kBuckets] = sum;
        auto dealt = std::make_unique_for_overwrite<TSlot[]>(rows_.size());
        RunParts(parts_, [&](size_t part) {
            size_t* next = &places[part * kBuckets];
            for (size_t i = First(part); i < Last(part); ++i)
                dealt[next[bucketOf(slots[i])]++] = slots[i];
        });

        // Runs of buckets of about equal size, a few per thread.
        std::vector<size_t> runStarts{0};
        const size_t target = rows_.size() / (4 * parts_) + 1;
        for (size_t bucket = 1; bucket < kBuckets; ++bucket)
            if (bucketStarts[bucket] - bucketStarts[runStarts.back()] >= target)
                runStarts.push_back(bucket);
        runStarts.push_back(kBuckets);
        RunParts(runStarts.size() - 1, [&](size_t run) {
            std::vector<TSlot> scratch;
            for (size_t bucket = runStarts[run]; bucket < runStarts[run + 1]; ++bucket) {
                TSlot* const begin = dealt.get() + bucketStarts[bucket];
                TSlot* const end = dealt.get() + bucketStarts[bucket + 1];
                if (numeric_)
                    SortSlots(begin, end, scratch);
                else
                    SortFrom(begin, end, depth, scratch, true);
            }
        });
        slots.swap(dealt);
    }

    // Sorts the slots whose keys agree before Depth (their chunks from
    // there set when ChunksSet): eight key bytes at a time as one number,
    // so most comparisons touch no key; a run that agrees in them too goes
    // on eight bytes further. A shorter key that is the beginning of a
    // longer one comes first, as in a byte comparison.
    void SortFrom(TSlotIter begin, TSlotIter end, size_t depth, std::vector<TSlot>& scratch, bool chunksSet) const
    {
        if (end - begin < 2)
            return;
        if (!chunksSet)
            for (TSlotIter slot = begin; slot != end; ++slot)
                SetChunk(*slot, depth);
        // Names that all begin alike (one folder's "IMG_0...") skip the
        // sort of a level that cannot change anything.
        const bool alike = std::all_of(begin, end, [&](const TSlot& slot) {
            return slot.Chunk == begin->Chunk && slot.Remaining == begin->Remaining;
        });
        // (A range comes in the order of its places, so equal keys need
        // nothing more.)
        if (alike) {
            if (begin->Remaining > 8)
                SortFrom(begin, end, depth + 8, scratch, false);
            return;
        }
        SortSlots(begin, end, scratch);
        for (TSlotIter run = begin; run != end;) {
            TSlotIter next = run + 1;
            while (next != end && next->Chunk == run->Chunk && next->Remaining == run->Remaining)
                ++next;
            if (run->Remaining > 8 && next - run > 1)
                SortFrom(run, next, depth + 8, scratch, false);
            run = next;
        }
    }

    // Orders a range that comes in the order of its places by chunk and
    // remaining length, equal ones keeping that order: a byte at a time
    // from the last (each pass keeps the order of the one before); a
    // small range by comparisons. Scratch is the caller's, one per thread.
    static void SortSlots(TSlotIter begin, TSlotIter end, std::vector<TSlot>& scratch)
    {
        const size_t count = static_cast<size_t>(end - begin);
        if (count < 64) {
            std::sort(begin, end);
            return;
        }
        scratch.resize(std::max(scratch.size(), count));
        const auto digit = [](const TSlot& slot, int pass) {
            return pass == 0 ? slot.Remaining : static_cast<uint8_t>(slot.Chunk >> (8 * (pass - 1)));
        };
        // The counts of every byte in one walk; then each pass moves the
        // slots from one buffer into the other, and back at the end when
        // they finished in the scratch buffer.
        std::array<std::array<size_t, 256>, 9> counts{};
        for (TSlotIter slot = begin; slot != end; ++slot)
            for (int pass = 0; pass <= 8; ++pass)
                ++counts[pass][digit(*slot, pass)];
        TSlot* from = begin;
        TSlot* to = scratch.data();
        for (int pass = 0; pass <= 8; ++pass) {
            std::array<size_t, 256>& start = counts[pass];
            // A byte that all share orders nothing.
            if (std::find(start.begin(), start.end(), count) != start.end())
                continue;
            size_t sum = 0;
            for (size_t& place : start)
                place = std::exchange(sum, sum + place);
            for (const TSlot* slot = from; slot != from + count; ++slot)
                to[start[digit(*slot, pass)]++] = *slot;
            std::swap(from, to);
        }
        if (from != begin)
            std::copy(from, from + count, begin);
    }

    // The key of the row Row: after the key of the item before it.
    std::string_view Key(uint32_t Row) const
    {
        const size_t item = rows_[Row];
        const size_t start = item == 0 ? 0 : ends_[item - 1];
        return {keys_.get() + start, ends_[item] - start};
    }

    bool numeric_;
    const std::vector<uint32_t>& rows_;  // the item of each row
    size_t parts_;
    size_t perPart_;
    std::unique_ptr<uint64_t[]> numbers_;
    std::unique_ptr<char[]> keys_;    // every item's key, one after the other
    std::unique_ptr<size_t[]> ends_;  // where each item's key ends
};

}  // namespace

bool ZipSortNeedsTypeNames(int Column, bool SortByExtension)
{
    return Column == zcType && !SortByExtension;
}

bool SortZipItems(TZipItems& Items, int Column, bool Ascending, bool SortByExtension, const TSortCollator& Collator)
{
    if (Column < zcName || Column > zcPath)
        return false;
    const TZipSortKeys keys(Items, Column, SortByExtension, Collator);
    std::vector<uint32_t> order = keys.AscendingOrder();
    if (!Ascending) {
        // Descending turns the order round; equal keys keep theirs.
        std::reverse(order.begin(), order.end());
        for (auto run = order.begin(); run != order.end();) {
            auto next = run + 1;
            while (next != order.end() && keys.Equal(*run, *next))
                ++next;
            std::reverse(run, next);
            run = next;
        }
    }
    Items.Reorder(order);
    return true;
}

}  // namespace qrv
