#include "panels/DirViewSort.h"

#include "framework/PartThreads.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

template <class T>
int Sign(const T& A, const T& B)
{
    return A < B ? -1 : (B < A ? 1 : 0);
}

int CompareKeys(std::string_view A, std::string_view B)
{
    // char_traits<char> compares bytes as unsigned, as the keys need.
    const int c = A.compare(B);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The name order: the collator's, then ordinal on the shown and the stored
// name, so names that differ only in case keep one order.
int CompareNames(const TDirSortEntry& A, const TDirSortEntry& B)
{
    if (int c = CompareKeys(A.NameKey, B.NameKey))
        return c;
    if (int c = Sign(A.Rec->DisplayName, B.Rec->DisplayName))
        return c;
    return Sign(A.Rec->FileName, B.Rec->FileName);
}

// std::sort on parts of Items at once, then the sorted parts merged pairwise.
template <class Item, class Less>
void ParallelSort(std::vector<Item>& Items, const Less& less)
{
    const size_t parts = PartCountFor(Items.size());
    std::vector<size_t> bounds;
    for (size_t part = 0; part <= parts; ++part)
        bounds.push_back(Items.size() * part / parts);
    RunParts(parts,
             [&](size_t part) { std::sort(Items.begin() + bounds[part], Items.begin() + bounds[part + 1], less); });
    std::vector<Item> merged(Items.size());
    while (bounds.size() > 2) {
        // Runs 0+1, 2+3, ... into merged; an odd last run is copied.
        const size_t runs = bounds.size() - 1;
        RunParts((runs + 1) / 2, [&](size_t pair) {
            const size_t from = bounds[2 * pair];
            const size_t middle = bounds[std::min(2 * pair + 1, runs)];
            const size_t to = bounds[std::min(2 * pair + 2, runs)];
            std::merge(Items.begin() + from, Items.begin() + middle, Items.begin() + middle, Items.begin() + to,
                       merged.begin() + from, less);
        });
        Items.swap(merged);
        std::vector<size_t> next;
        for (size_t i = 0; i < bounds.size(); i += 2)
            next.push_back(bounds[i]);
        if (next.back() != bounds.back())
            next.push_back(bounds.back());
        bounds.swap(next);
    }
}

}  // namespace

std::string TFoldCollator::SortKey(std::wstring_view Text) const
{
    std::string key;
    AppendSortKey(Text, key);
    return key;
}

void TFoldCollator::AppendSortKey(std::wstring_view Text, std::string& Out) const
{
    for (wchar_t ch : Text) {
        const auto up = static_cast<uint16_t>(UpCaseChar(ch));
        Out.push_back(static_cast<char>(up >> 8));
        Out.push_back(static_cast<char>(up & 0xFF));
    }
}

const TSortCollator::TCompactBytes* TFoldCollator::CompactBytes() const
{
    // The high byte of every such key unit is zero: the low bytes alone
    // keep the order.
    static const TCompactBytes bytes = [] {
        TCompactBytes table{};
        for (wchar_t ch = 1; ch < 256; ++ch) {
            const auto up = static_cast<uint16_t>(UpCaseChar(ch));
            table[ch] = up <= 0xFF ? static_cast<uint8_t>(up) : 0;
        }
        return table;
    }();
    return &bytes;
}

TDirSortKind SortKindFor(int Column, bool SortByExtension)
{
    switch (Column) {
    case 1:
        return TDirSortKind::dskSize;
    case 2:
        return SortByExtension ? TDirSortKind::dskExt : TDirSortKind::dskType;
    case 3:
        return TDirSortKind::dskDate;
    case 4:
        return TDirSortKind::dskAttr;
    default:
        return TDirSortKind::dskName;
    }
}

bool SortUsesThreads(size_t Count)
{
    return PartCountFor(Count) > 1;
}

bool SortNeedsTypeNames(TDirSortKind Kind)
{
    return Kind == TDirSortKind::dskType || Kind == TDirSortKind::dskExt;
}

TDirSortKeys::TDirSortKeys(const std::vector<const TFileRec*>& Recs, TDirSortKind Kind, const TSortCollator& Collator)
    : entries_(Recs.size())
{
    // The locale's calls (one per item) are the cost of making keys: a large
    // folder spreads them over the processors.
    const size_t count = Recs.size();
    const size_t threads = PartCountFor(count);
    buffers_.resize(threads);
    // Each part notes where its keys end; views are made once no buffer
    // grows any more.
    struct TEnds {
        size_t Name;
        size_t Type;
    };
    std::vector<TEnds> ends(count);
    const auto keyPart = [&](size_t part) {
        const size_t from = count * part / threads;
        const size_t to = count * (part + 1) / threads;
        std::string& buffer = buffers_[part];
        buffer.reserve((to - from) * 32);
        std::wstring text;
        for (size_t i = from; i < to; ++i) {
            const TFileRec& rec = *Recs[i];
            Collator.AppendSortKey(rec.DisplayName, buffer);
            const size_t nameEnd = buffer.size();
            if (Kind == TDirSortKind::dskType) {
                Collator.AppendSortKey(rec.TypeName, buffer);
            } else if (Kind == TDirSortKind::dskExt && rec.IsDirectory) {
                text.assign(rec.TypeName).append(L" ").append(rec.Ext).append(L" ").append(rec.DisplayName);
                Collator.AppendSortKey(text, buffer);
            }
            ends[i] = {nameEnd, buffer.size()};
        }
    };
    RunParts(threads, keyPart);
    for (size_t part = 0; part < threads; ++part) {
        const char* base = buffers_[part].data();
        size_t start = 0;
        for (size_t i = count * part / threads; i < count * (part + 1) / threads; ++i) {
            TDirSortEntry& entry = entries_[i];
            entry.Rec = Recs[i];
            entry.Index = static_cast<uint32_t>(i);
            entry.ParentDir = Recs[i]->IsParentDir;
            entry.Directory = Recs[i]->IsDirectory;
            entry.NameKey = std::string_view(base + start, ends[i].Name - start);
            entry.TypeKey = std::string_view(base + ends[i].Name, ends[i].Type - ends[i].Name);
            start = ends[i].Type;
        }
    }
}

int CompareSortEntries(const TDirSortEntry& A, const TDirSortEntry& B, const TDirSortOptions& Options)
{
    if (A.Rec == B.Rec)
        return 0;
    // ".." leads in both directions.
    if (A.ParentDir != B.ParentDir)
        return A.ParentDir ? -1 : 1;
    const int direction = Options.Ascending ? 1 : -1;
    if (A.Directory != B.Directory) {
        const int c = A.Directory ? -1 : 1;
        return Options.DirsOnTop ? c : c * direction;
    }
    const TFileRec& a = *A.Rec;
    const TFileRec& b = *B.Rec;
    int c = 0;
    switch (Options.Kind) {
    case TDirSortKind::dskName:
        break;
    case TDirSortKind::dskSize:
        // An unscanned folder holds kUnknownDirSize and ranks by it.
        c = Sign(a.Size, b.Size);
        break;
    case TDirSortKind::dskType:
        c = CompareKeys(A.TypeKey, B.TypeKey);
        if (c == 0)
            c = Sign(a.Ext, b.Ext);
        break;
    case TDirSortKind::dskExt:
        c = A.Directory ? CompareKeys(A.TypeKey, B.TypeKey) : Sign(a.Ext, b.Ext);
        break;
    case TDirSortKind::dskDate:
        if (A.Directory && !Options.SortDirTime)
            break;
        // Equal times keep their names ascending in both directions.
        if (a.LastWrite != b.LastWrite)
            return Sign(a.LastWrite, b.LastWrite) * direction;
        return CompareNames(A, B);
    case TDirSortKind::dskAttr:
        c = Sign(static_cast<int32_t>(a.Attr), static_cast<int32_t>(b.Attr));
        break;
    }
    if (c == 0)
        c = CompareNames(A, B);
    return c * direction;
}

namespace {

std::vector<uint32_t> IndicesOf(const std::vector<TDirSortEntry>& Entries)
{
    std::vector<uint32_t> order;
    order.reserve(Entries.size());
    for (const TDirSortEntry& entry : Entries)
        order.push_back(entry.Index);
    return order;
}

// Whether Entries[0, Count) stand in order; the pairs are checked in parts.
bool InOrder(const std::vector<TDirSortEntry>& Entries, size_t Count, const TDirSortOptions& Options)
{
    if (Count < 2)
        return true;
    const size_t pairs = Count - 1;
    const size_t parts = PartCountFor(pairs);
    std::vector<char> ordered(parts, 1);
    RunParts(parts, [&](size_t part) {
        for (size_t i = pairs * part / parts; i < pairs * (part + 1) / parts; ++i)
            if (CompareSortEntries(Entries[i], Entries[i + 1], Options) > 0) {
                ordered[part] = 0;
                return;
            }
    });
    return std::find(ordered.begin(), ordered.end(), 0) == ordered.end();
}

}  // namespace

std::vector<uint32_t> SortedOrder(const std::vector<const TFileRec*>& Recs, const TDirSortOptions& Options,
                                  const TSortCollator& Collator)
{
    return SortedOrderAfterAdding(Recs, 0, Options, Collator);
}

std::vector<uint32_t> SortedOrderAfterAdding(const std::vector<const TFileRec*>& Recs, size_t Ordered,
                                             const TDirSortOptions& Options, const TSortCollator& Collator)
{
    TDirSortKeys keys(Recs, Options.Kind, Collator);
    std::vector<TDirSortEntry>& entries = keys.Entries();
    const auto less = [&Options](const TDirSortEntry& a, const TDirSortEntry& b) {
        return CompareSortEntries(a, b, Options) < 0;
    };
    Ordered = std::min(Ordered, entries.size());
    if (Ordered > 0 && InOrder(entries, Ordered, Options)) {
        // No two entries compare equal, so the merge gives the one order a
        // whole sort would.
        std::sort(entries.begin() + static_cast<std::ptrdiff_t>(Ordered), entries.end(), less);
        std::vector<TDirSortEntry> merged(entries.size());
        std::merge(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(Ordered),
                   entries.begin() + static_cast<std::ptrdiff_t>(Ordered), entries.end(), merged.begin(), less);
        return IndicesOf(merged);
    }
    ParallelSort(entries, less);
    return IndicesOf(entries);
}

}  // namespace qrv
