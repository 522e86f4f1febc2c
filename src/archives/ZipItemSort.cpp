#include "archives/ZipItemSort.h"

#include "archives/ZipListColumns.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <array>
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
// the sort goes by rows, so equal keys keep the order the list shows.
class TZipSortKeys {
public:
    TZipSortKeys(const TZipItems& Items, int Column, bool SortByExtension, const TSortCollator& Collator)
        : numeric_(Column == zcSize || Column == zcChanged), rows_(Items.Rows())
    {
        const std::vector<TZipItem>& items = Items.Items();
        if (numeric_) {
            numbers_.reserve(items.size());
            TArchiveEntry entry;
            for (const TZipItem& item : items) {
                if (Column == zcSize) {
                    numbers_.push_back(item.Size);
                } else {
                    Items.ReadEntry(item, entry);
                    numbers_.push_back(entry.DateTime);
                }
            }
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
        std::vector<TSlot> slots(rows_.size());
        for (uint32_t i = 0; i < slots.size(); ++i)
            slots[i].Row = i;
        if (numeric_) {
            for (TSlot& slot : slots)
                slot.Chunk = numbers_[rows_[slot.Row]];
            SortSlots(slots.begin(), slots.end());
        } else {
            SortFrom(slots.begin(), slots.end(), 0);
        }
        std::vector<uint32_t> order;
        order.reserve(slots.size());
        for (const TSlot& slot : slots)
            order.push_back(slot.Row);
        return order;
    }

    // Whether the rows A and B have equal keys.
    bool Equal(uint32_t A, uint32_t B) const
    {
        return numeric_ ? numbers_[rows_[A]] == numbers_[rows_[B]] : Key(A) == Key(B);
    }

private:
    // The key of every item by a text column; false (and no keys) when
    // Compact is asked for and a text has no compact key. By path and by
    // type name a key is the place of the item's group (its path, its type)
    // among all groups, four bytes, then the key of its name: a group sorts
    // wholly before the next, and each group is ordered once, not once per
    // item.
    bool MakeTextKeys(const TZipItems& Items, int Column, bool SortByExtension, const TSortCollator& Collator,
                      bool Compact)
    {
        const TSortCollator::TCompactBytes* compactBytes = Compact ? Collator.CompactBytes() : nullptr;
        if (Compact && !compactBytes)
            return false;
        const std::vector<TZipItem>& items = Items.Items();
        const bool byExtension = Column == zcType && SortByExtension;
        const std::vector<uint32_t> groups = Column == zcPath || (Column == zcType && !byExtension)
                                                 ? GroupPlaces(items, Column, Collator)
                                                 : std::vector<uint32_t>();
        bytes_.clear();
        starts_.clear();
        starts_.reserve(items.size() + 1);
        const size_t characters = Items.NameLengths() + 4 * groups.size();
        bytes_.reserve(Compact ? characters : 2 * characters + 8 * items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            starts_.push_back(bytes_.size());
            if (byExtension) {
                // By code units: their compact key is the low bytes while
                // every high byte is zero.
                const std::wstring ext = items[i].Ext();
                if (!Compact) {
                    AppendUtf16Bytes(ext, bytes_);
                    continue;
                }
                if (std::any_of(ext.begin(), ext.end(), [](wchar_t c) { return c == 0 || c > 0xFF; }))
                    return false;
                bytes_.append(ext.begin(), ext.end());
                continue;
            }
            if (!groups.empty())
                for (int shift = 24; shift >= 0; shift -= 8)
                    bytes_.push_back(static_cast<char>(groups[i] >> shift));
            if (!Compact)
                Collator.AppendSortKey(items[i].Name(), bytes_);
            else if (!AppendCompactKey(*compactBytes, items[i].Name(), bytes_))
                return false;
        }
        starts_.push_back(bytes_.size());
        return true;
    }

    // Each item's group as its place among the groups in their order (equal
    // ones share a place): by path, the paths by the collator; by type, the
    // upper-cased type names, or the extension where there is none, by code
    // units. The items of one folder, and of one type, mostly stand
    // together, so a group is looked up once per run of them.
    static std::vector<uint32_t> GroupPlaces(const std::vector<TZipItem>& Items, int Column,
                                             const TSortCollator& Collator)
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
    struct TSlot {
        uint64_t Chunk = 0;
        uint8_t Remaining = 0;
        uint32_t Row = 0;
        bool operator<(const TSlot& other) const
        {
            if (Chunk != other.Chunk)
                return Chunk < other.Chunk;
            if (Remaining != other.Remaining)
                return Remaining < other.Remaining;
            return Row < other.Row;
        }
    };
    using TSlotIter = std::vector<TSlot>::iterator;

    // Sorts the slots whose keys agree before Depth: eight key bytes at a
    // time as one number, so most comparisons touch no key; a run that
    // agrees in them too goes on eight bytes further. A shorter key that is
    // the beginning of a longer one comes first, as in a byte comparison.
    void SortFrom(TSlotIter begin, TSlotIter end, size_t depth) const
    {
        if (end - begin < 2)
            return;
        for (TSlotIter slot = begin; slot != end; ++slot) {
            const std::string_view key = Key(slot->Row);
            const size_t left = key.size() > depth ? key.size() - depth : 0;
            uint64_t chunk = 0;
            for (size_t k = 0; k < 8; ++k)
                chunk = chunk << 8 | (k < left ? static_cast<uint8_t>(key[depth + k]) : 0u);
            slot->Chunk = chunk;
            slot->Remaining = static_cast<uint8_t>(std::min<size_t>(left, 9));
        }
        // Names that all begin alike (one folder's "IMG_0...") skip the
        // sort of a level that cannot change anything.
        const bool alike = std::all_of(begin, end, [&](const TSlot& slot) {
            return slot.Chunk == begin->Chunk && slot.Remaining == begin->Remaining;
        });
        // (A range comes in the order of its places, so equal keys need
        // nothing more.)
        if (alike) {
            if (begin->Remaining > 8)
                SortFrom(begin, end, depth + 8);
            return;
        }
        SortSlots(begin, end);
        for (TSlotIter run = begin; run != end;) {
            TSlotIter next = run + 1;
            while (next != end && next->Chunk == run->Chunk && next->Remaining == run->Remaining)
                ++next;
            if (run->Remaining > 8 && next - run > 1)
                SortFrom(run, next, depth + 8);
            run = next;
        }
    }

    // Orders a range that comes in the order of its places by chunk and
    // remaining length, equal ones keeping that order: a byte at a time
    // from the last (each pass keeps the order of the one before); a
    // small range by comparisons.
    void SortSlots(TSlotIter begin, TSlotIter end) const
    {
        const size_t count = static_cast<size_t>(end - begin);
        if (count < 64) {
            std::sort(begin, end);
            return;
        }
        scratch_.resize(std::max(scratch_.size(), count));
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
        TSlot* from = &*begin;
        TSlot* to = scratch_.data();
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
        if (from != &*begin)
            std::copy(from, from + count, begin);
    }

    // The key of the row Row.
    std::string_view Key(uint32_t Row) const
    {
        const uint32_t item = rows_[Row];
        return std::string_view(bytes_).substr(starts_[item], starts_[item + 1] - starts_[item]);
    }

    bool numeric_;
    const std::vector<uint32_t>& rows_;  // the item of each row
    std::vector<uint64_t> numbers_;
    std::string bytes_;
    std::vector<size_t> starts_;
    mutable std::vector<TSlot> scratch_;
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
