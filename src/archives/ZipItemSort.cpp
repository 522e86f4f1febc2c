#include "archives/ZipItemSort.h"

#include "archives/ZipListColumns.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <array>
#include <string_view>

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
        starts_.reserve(items.size() + 1);
        if (Column == zcName) {
            // Plain names key as two bytes a character and a short tail.
            size_t expected = 0;
            for (const TZipItem& item : items)
                expected += 2 * item.Name().size() + 8;
            bytes_.reserve(expected);
        }
        // Entries of one folder stand together: their path is upper-cased
        // once; type names repeat per extension likewise.
        std::wstring_view lastPath, lastType;
        std::wstring upperPath, upperType, text;
        bool first = true;
        for (const TZipItem& item : items) {
            starts_.push_back(bytes_.size());
            switch (Column) {
            case zcName:
                Collator.AppendSortKey(item.Name(), bytes_);
                break;
            case zcType:
                if (SortByExtension) {
                    AppendUtf16Bytes(item.Ext(), bytes_);
                } else {
                    const std::wstring_view type = item.TypeName.empty() ? item.Ext() : item.TypeName;
                    if (first || type != lastType) {
                        lastType = type;
                        upperType = UpperCase(type);
                    }
                    AppendUtf16Bytes(upperType, bytes_);
                    AppendUtf16Bytes(item.Name(), bytes_);
                }
                break;
            case zcPath:
                if (first || item.Path() != lastPath) {
                    lastPath = item.Path();
                    upperPath = UpperCase(lastPath);
                }
                text.assign(upperPath).append(L" ").append(item.Name());
                Collator.AppendSortKey(text, bytes_);
                break;
            default:
                break;
            }
            first = false;
        }
        starts_.push_back(bytes_.size());
    }

    // The places of the items in ascending key order; equal keys keep
    // their order.
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
        for (int pass = 0; pass <= 8; ++pass) {
            std::array<size_t, 257> start{};
            for (TSlotIter slot = begin; slot != end; ++slot)
                ++start[digit(*slot, pass) + 1u];
            // A byte that all share orders nothing.
            if (std::find(start.begin(), start.end(), count) != start.end())
                continue;
            for (size_t d = 1; d < start.size(); ++d)
                start[d] += start[d - 1];
            for (TSlotIter slot = begin; slot != end; ++slot)
                scratch_[start[digit(*slot, pass)]++] = *slot;
            std::copy(scratch_.begin(), scratch_.begin() + static_cast<std::ptrdiff_t>(count), begin);
        }
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
    std::vector<TZipItem>& items = Items.Items();
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
    // In place, cycle by cycle: a large list is not copied into fresh memory.
    std::vector<bool> placed(items.size(), false);
    for (size_t start = 0; start < items.size(); ++start) {
        if (placed[start])
            continue;
        TZipItem held = items[start];
        size_t at = start;
        while (order[at] != start) {
            items[at] = items[order[at]];
            placed[at] = true;
            at = order[at];
        }
        items[at] = held;
        placed[at] = true;
    }
    return true;
}

}  // namespace qrv
