#pragma once
// How a directory list orders its items: one comparison per sort column,
// all over keys made once per item before the sort (a collator's sort keys,
// so the locale is not asked per comparison), with ".." first, folders
// before files and a final ordinal tie-break so the order is total.
// Portable; the locale's collator is panels/win/DirViewSystemWin.h.

#include "panels/FileRec.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// Makes byte keys whose byte-wise order is the wanted text order.
class TSortCollator {
public:
    virtual ~TSortCollator() = default;
    virtual std::string SortKey(std::wstring_view Text) const = 0;
};

// Case-insensitive ordinal order (each character upper-cased); the order
// without a locale.
class TFoldCollator : public TSortCollator {
public:
    std::string SortKey(std::wstring_view Text) const override;
};

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

// One item with its keys, made once per sort.
struct TDirSortEntry {
    const TFileRec* Rec = nullptr;
    std::string NameKey;  // of DisplayName
    std::string TypeKey;  // of TypeName; for folders sorted by extension, of "TypeName Ext DisplayName"
};

TDirSortEntry MakeSortEntry(const TFileRec& Rec, TDirSortKind Kind, const TSortCollator& Collator);

// Negative, zero or positive; zero only for the same record.
int CompareSortEntries(const TDirSortEntry& A, const TDirSortEntry& B, const TDirSortOptions& Options);

// Orders Items by Options; the keys are made once per item.
void SortFileRecs(std::vector<std::unique_ptr<TFileRec>>& Items, const TDirSortOptions& Options,
                  const TSortCollator& Collator);

}  // namespace qrv
