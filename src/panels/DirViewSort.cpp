#include "panels/DirViewSort.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

template <class T>
int Sign(const T& A, const T& B)
{
    return A < B ? -1 : (B < A ? 1 : 0);
}

int CompareKeys(const std::string& A, const std::string& B)
{
    // std::string compares bytes as unsigned, as the keys need.
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

}  // namespace

std::string TFoldCollator::SortKey(std::wstring_view Text) const
{
    std::string key;
    key.reserve(Text.size() * 2);
    for (wchar_t ch : Text) {
        const auto up = static_cast<uint16_t>(UpCaseChar(ch));
        key.push_back(static_cast<char>(up >> 8));
        key.push_back(static_cast<char>(up & 0xFF));
    }
    return key;
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

bool SortNeedsTypeNames(TDirSortKind Kind)
{
    return Kind == TDirSortKind::dskType || Kind == TDirSortKind::dskExt;
}

TDirSortEntry MakeSortEntry(const TFileRec& Rec, TDirSortKind Kind, const TSortCollator& Collator)
{
    TDirSortEntry entry;
    entry.Rec = &Rec;
    entry.NameKey = Collator.SortKey(Rec.DisplayName);
    if (Kind == TDirSortKind::dskType)
        entry.TypeKey = Collator.SortKey(Rec.TypeName);
    else if (Kind == TDirSortKind::dskExt && Rec.IsDirectory)
        entry.TypeKey = Collator.SortKey(Rec.TypeName + L" " + Rec.Ext + L" " + Rec.DisplayName);
    return entry;
}

int CompareSortEntries(const TDirSortEntry& A, const TDirSortEntry& B, const TDirSortOptions& Options)
{
    const TFileRec& a = *A.Rec;
    const TFileRec& b = *B.Rec;
    if (&a == &b)
        return 0;
    // ".." leads in both directions.
    if (a.IsParentDir != b.IsParentDir)
        return a.IsParentDir ? -1 : 1;
    const int direction = Options.Ascending ? 1 : -1;
    if (a.IsDirectory != b.IsDirectory) {
        const int c = a.IsDirectory ? -1 : 1;
        return Options.DirsOnTop ? c : c * direction;
    }
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
        c = a.IsDirectory ? CompareKeys(A.TypeKey, B.TypeKey) : Sign(a.Ext, b.Ext);
        break;
    case TDirSortKind::dskDate:
        if (a.IsDirectory && !Options.SortDirTime)
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

void SortFileRecs(std::vector<std::unique_ptr<TFileRec>>& Items, const TDirSortOptions& Options,
                  const TSortCollator& Collator)
{
    struct TIndexed {
        TDirSortEntry Entry;
        size_t Index;
    };
    std::vector<TIndexed> entries;
    entries.reserve(Items.size());
    for (size_t i = 0; i < Items.size(); ++i)
        entries.push_back({MakeSortEntry(*Items[i], Options.Kind, Collator), i});
    std::sort(entries.begin(), entries.end(), [&Options](const TIndexed& a, const TIndexed& b) {
        return CompareSortEntries(a.Entry, b.Entry, Options) < 0;
    });
    std::vector<std::unique_ptr<TFileRec>> sorted;
    sorted.reserve(Items.size());
    for (const TIndexed& entry : entries)
        sorted.push_back(std::move(Items[entry.Index]));
    Items.swap(sorted);
}

}  // namespace qrv
