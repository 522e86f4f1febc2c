#pragma once
// How a directory list orders its items: one comparison per sort column,
// all over keys made once per item before the sort (a collator's sort keys,
// so the locale is not asked per comparison), with ".." first, folders
// before files and a final ordinal tie-break so the order is total.
// Portable; the locale's collator is panels/win/DirViewSystemWin.h.

#include "panels/FileRec.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// Makes byte keys whose byte-wise order is the wanted text order. A sort of
// a large folder makes its keys on several threads at once, so both calls
// must be safe to call concurrently.
class TSortCollator {
public:
    virtual ~TSortCollator() = default;
    virtual std::string SortKey(std::wstring_view Text) const = 0;
    // Appends the key of Text to Out: a sort keeps its keys in a few large
    // buffers rather than one string per item.
    virtual void AppendSortKey(std::wstring_view Text, std::string& Out) const { Out += SortKey(Text); }
    // The compact key's byte of each code unit below 256 (0: none), or
    // nullptr when the collator has no compact keys. A text whose units all
    // have one keys as those bytes, one a character: among texts that all
    // have such a key, their byte order is the order of their sort keys, so
    // a sort of plain names handles half the bytes or fewer.
    using TCompactBytes = std::array<uint8_t, 256>;
    virtual const TCompactBytes* CompactBytes() const { return nullptr; }
};

// Case-insensitive ordinal order (each character upper-cased); the order
// without a locale.
class TFoldCollator : public TSortCollator {
public:
    std::string SortKey(std::wstring_view Text) const override;
    void AppendSortKey(std::wstring_view Text, std::string& Out) const override;
    // The units whose upper case lies in U+0001..U+00FF.
    const TCompactBytes* CompactBytes() const override;
};

// Writes the compact key of Text by a collator's CompactBytes() at Out (as
// many bytes as Text has characters); where it ends, or nullptr when Text
// has none. Inline: a sort calls it once per name.
inline char* WriteCompactKey(const TSortCollator::TCompactBytes& Bytes, std::wstring_view Text, char* Out)
{
    for (const wchar_t ch : Text) {
        const uint8_t byte = static_cast<uint32_t>(ch) < Bytes.size() ? Bytes[static_cast<size_t>(ch)] : 0;
        if (byte == 0)
            return nullptr;
        *Out++ = static_cast<char>(byte);
    }
    return Out;
}

// Appends the compact key of Text; false, with nothing appended, when Text
// has none.
inline bool AppendCompactKey(const TSortCollator::TCompactBytes& Bytes, std::wstring_view Text, std::string& Out)
{
    const size_t at = Out.size();
    Out.resize(at + Text.size());
    if (!WriteCompactKey(Bytes, Text, Out.data() + at)) {
        Out.resize(at);
        return false;
    }
    return true;
}

enum class TDirSortKind { dskName, dskSize, dskType, dskExt, dskDate, dskAttr };

// The comparison of a sort column: 1 size, 2 type (the extension with
// SortByExtension), 3 date, 4 attributes, anything else the name.
TDirSortKind SortKindFor(int Column, bool SortByExtension);

struct TDirSortOptions {
    TDirSortKind Kind = TDirSortKind::dskName;
    bool Ascending = true;
    bool DirsOnTop = false;
    bool SortDirTime = false;
};

// Whether the comparison reads type names (fetch them before sorting).
bool SortNeedsTypeNames(TDirSortKind Kind);

// Whether a sort of Count items shares its work among threads (a load that
// gets that large starts them, framework/PartThreads.h).
bool SortUsesThreads(size_t Count);

// One item with its keys; the keys point into the buffers of TDirSortKeys.
// What the comparisons read most is copied from the record, so that a sort
// seldom reaches into the records themselves, scattered in memory.
struct TDirSortEntry {
    const TFileRec* Rec = nullptr;
    uint32_t Index = 0;        // the item's place before the sort
    bool ParentDir = false;    // the record's IsParentDir
    bool Directory = false;    // the record's IsDirectory
    std::string_view NameKey;  // of DisplayName
    std::string_view TypeKey;  // of TypeName; for folders sorted by extension, of "TypeName Ext DisplayName"
};

// The keys of every item of one sort, made once per item; a large folder
// makes them on several threads.
class TDirSortKeys {
public:
    TDirSortKeys(const std::vector<const TFileRec*>& Recs, TDirSortKind Kind, const TSortCollator& Collator);
    TDirSortKeys(const TDirSortKeys&) = delete;
    TDirSortKeys& operator=(const TDirSortKeys&) = delete;
    // In the order of Recs.
    std::vector<TDirSortEntry>& Entries() { return entries_; }

private:
    std::vector<std::string> buffers_;  // one per thread; the entries point into them
    std::vector<TDirSortEntry> entries_;
};

// Negative, zero or positive; zero only for the same record.
int CompareSortEntries(const TDirSortEntry& A, const TDirSortEntry& B, const TDirSortOptions& Options);

// The order of Recs by Options: the indices of Recs, first item first.
std::vector<uint32_t> SortedOrder(const std::vector<const TFileRec*>& Recs, const TDirSortOptions& Options,
                                  const TSortCollator& Collator);

// The same order when the first Ordered of Recs may already stand in it (a
// re-read that adds a few items to a large folder): that is checked, the
// rest are sorted alone and merged in, a pass over the items instead of a
// whole sort; when they do not stand in order, every item is sorted.
std::vector<uint32_t> SortedOrderAfterAdding(const std::vector<const TFileRec*>& Recs, size_t Ordered,
                                             const TDirSortOptions& Options, const TSortCollator& Collator);

// Puts Items into Order (indices of Items, as SortedOrder gives them).
template <class Pointer>
void ApplySortedOrder(std::vector<Pointer>& Items, const std::vector<uint32_t>& Order)
{
    std::vector<Pointer> sorted;
    sorted.reserve(Items.size());
    for (const uint32_t index : Order)
        sorted.push_back(std::move(Items[index]));
    Items.swap(sorted);
}

// Orders Items (pointers to TFileRec of any kind) by Options.
template <class Pointer>
void SortFileRecs(std::vector<Pointer>& Items, const TDirSortOptions& Options, const TSortCollator& Collator)
{
    std::vector<const TFileRec*> recs;
    recs.reserve(Items.size());
    for (const Pointer& item : Items)
        recs.push_back(&*item);
    ApplySortedOrder(Items, SortedOrder(recs, Options, Collator));
}

}  // namespace qrv
