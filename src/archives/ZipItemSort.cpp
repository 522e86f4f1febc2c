#include "archives/ZipItemSort.h"

#include "archives/ZipListColumns.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <array>
#include <string_view>
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
// in one buffer (a sort of 100,000 entries makes no string per entry).
class TZipSortKeys {
public:
    TZipSortKeys(const TZipItems& Items, int Column, bool SortByExtension, const TSortCollator& Collator)
        : numeric_(Column == zcSize || Column == zcChanged)
    {
        // By rows: equal keys keep the order the list shows.
        const int rows = Items.Count();
        if (numeric_) {
            numbers_.reserve(static_cast<size_t>(rows));
            TArchiveEntry entry;
            for (int row = 0; row < rows; ++row) {
                const TZipItem& item = Items[row];
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
        std::vector<TSlot> slots(numeric_ ? numbers_.size() : starts_.size() - 1);
        for (uint32_t i = 0; i < slots.size(); ++i)
            slots[i].Item = i;
        if (numeric_) {
            for (TSlot& slot : slots)
                slot.Chunk = numbers_[slot.Item];
            SortSlots(slots.begin(), slots.end());
        } else {
            SortFrom(slots.begin(), slots.end(), 0);
        }
        std::vector<uint32_t> order;
        order.reserve(slots.size());
        for (const TSlot& slot : slots)
            order.push_back(slot.Item);
        return order;
    }

    bool Equal(uint32_t a, uint32_t b) const { return numeric_ ? numbers_[a] == numbers_[b] : Key(a) == Key(b); }

private:
    // The key of every item by a text column; false (and no keys) when
    // Compact is asked for and a text has no compact key.
    bool MakeTextKeys(const TZipItems& Items, int Column, bool SortByExtension, const TSortCollator& Collator,
                      bool Compact)
    {
        const TSortCollator::TCompactBytes* compactBytes = Compact ? Collator.CompactBytes() : nullptr;
        if (Compact && !compactBytes)
            return false;
        const int rows = Items.Count();
        bytes_.clear();
        starts_.clear();
        starts_.reserve(static_cast<size_t>(rows) + 1);
        if (Column == zcName) {
            const size_t characters = Items.NameLengths();
            bytes_.reserve(Compact ? characters : 2 * characters + 8 * static_cast<size_t>(rows));
        }
        const auto collated = [&](std::wstring_view text) {
            if (Compact)
                return AppendCompactKey(*compactBytes, text, bytes_);
            Collator.AppendSortKey(text, bytes_);
            return true;
        };
        // The type column is ordered by code units: their compact key is the
        // low bytes while every high byte is zero.
        const auto ordinal = [&](std::wstring_view text) {
            if (!Compact) {
                AppendUtf16Bytes(text, bytes_);
                return true;
            }
            for (const wchar_t c : text) {
                if (c == 0 || c > 0xFF)
                    return false;
                bytes_.push_back(static_cast<char>(c));
            }
            return true;
        };
        // Entries of one folder stand together: their path is upper-cased
        // once; type names repeat per extension likewise.
        std::wstring_view lastPath;
        const TZipTypeInfo* lastType = nullptr;
        std::wstring upperPath, upperType, text;
        bool first = true;
        for (int row = 0; row < rows; ++row) {
            const TZipItem& item = Items[row];
            starts_.push_back(bytes_.size());
            bool keyed = true;
            switch (Column) {
            case zcName:
                keyed = collated(item.Name());
                break;
            case zcType:
                if (SortByExtension) {
                    keyed = ordinal(item.Ext());
                } else {
                    // Without a type name the (upper-case) extension stands in.
                    if (item.TypeName().empty()) {
                        lastType = nullptr;
                        upperType = item.Ext();
                    } else if (first || item.Type != lastType) {
                        lastType = item.Type;
                        upperType = UpperCase(item.TypeName());
                    }
                    // A zero unit ends the type, so a type that begins
                    // another sorts wholly before it; then the names.
                    keyed = ordinal(upperType);
                    bytes_.append(Compact ? 1 : 2, '\0');
                    keyed = keyed && collated(item.Name());
                }
                break;
            case zcPath:
                if (first || item.Path() != lastPath) {
                    lastPath = item.Path();
                    upperPath = UpperCase(lastPath);
                }
                text.assign(upperPath).append(L" ").append(item.Name());
                keyed = collated(text);
                break;
            default:
                break;
            }
            if (!keyed)
                return false;
            first = false;
        }
        starts_.push_back(bytes_.size());
        return true;
    }

    // One item in the byte-wise sort: eight bytes of its key from the
    // depth reached (zero-padded), how many bytes the key still has there
    // (9: more than these eight), and its place.
    struct TSlot {
        uint64_t Chunk = 0;
        uint8_t Remaining = 0;
        uint32_t Item = 0;
        bool operator<(const TSlot& other) const
        {
            if (Chunk != other.Chunk)
                return Chunk < other.Chunk;
            if (Remaining != other.Remaining)
                return Remaining < other.Remaining;
            return Item < other.Item;
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
            const std::string_view key = Key(slot->Item);
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

    std::string_view Key(uint32_t i) const
    {
        return std::string_view(bytes_).substr(starts_[i], starts_[i + 1] - starts_[i]);
    }

    bool numeric_;
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
