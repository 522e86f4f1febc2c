#pragma once
// The entries the archive list shows: one TZipItem per listed file of the
// open archive, read through one entry view over whichever reader holds the
// archive, filtered by mask, size and date, with the totals of all and of
// the selected entries and the search by a typed beginning. Portable.

#include "framework/UnsetAllocator.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TStringList;

// One entry as a reader lists it.
struct TArchiveEntry {
    std::wstring StoredName;  // with its folders
    uint32_t DateTime = 0;    // packed DOS date-time
    uint64_t Size = 0;        // uncompressed
    uint64_t PackedSize = 0;
    uint32_t CRC = 0;
    bool Encrypted = false;
    bool IsDirectory = false;  // by the reader's attributes
};

// The entries of the archive a reader holds, in its own order.
class TArchiveEntryView {
public:
    virtual ~TArchiveEntryView() = default;
    virtual int Count() const = 0;
    virtual TArchiveEntry Entry(int Index) const = 0;
    // The same into a record the caller keeps: a walk over every entry
    // reuses one name buffer instead of making a string per entry.
    virtual void Read(int Index, TArchiveEntry& Out) const { Out = Entry(Index); }
    // The characters of all stored names together when the reader knows
    // them cheaply (0: unknown), so the list's text is made in one piece.
    virtual size_t StoredNameLengths() const { return 0; }
    // For a reader that keeps every stored name, with "\" between levels,
    // in place for as long as the view lives: the entry without copying its
    // name (Out.StoredName is left as it is) and a view of the name. False
    // when the reader keeps none such; the list then copies the names.
    virtual bool ReadInPlace(int Index, TArchiveEntry& Out, std::wstring_view& StoredName) const
    {
        (void)Index;
        (void)Out;
        (void)StoredName;
        return false;
    }
    // True when ReadInPlace answers for every entry and may be called from
    // several threads at once: a large list is then read in parts.
    virtual bool KeepsNamesInPlace() const { return false; }
};

// A view over a reader's own entry list: Convert turns its Index-th record
// into an entry.
template <class Reader, class Converter>
class TReaderEntryView : public TArchiveEntryView {
public:
    TReaderEntryView(const Reader& reader, Converter convert) : reader_(reader), convert_(convert) {}
    int Count() const override { return reader_.Count(); }
    TArchiveEntry Entry(int Index) const override { return convert_(reader_.Items(Index)); }

private:
    const Reader& reader_;
    Converter convert_;
};

// The load filter of the list.
struct TZipFilter {
    const TStringList* Masks = nullptr;  // none: every name
    // Bytes, 64 bits; a SizeTo of 2147483647 is "no upper bound".
    uint64_t SizeFrom = 0;
    uint64_t SizeTo = 2147483647;
    uint16_t DateFrom = 33;  // DOS dates
    uint16_t DateTo = 61343;
};

// Whether an entry with this name, size and time passes the filter. Sizes
// compare in full (an entry beyond 2 GiB by its real size), and the last
// day counts whole.
bool PassesZipFilter(std::wstring_view Name, uint64_t Size, uint32_t DateTime, const TZipFilter& Filter);

// The file name of a stored name (after its last "\" or "/") and the folder
// part before it, with "\" between levels and a trailing "\".
std::wstring StoredFileName(const std::wstring& StoredName);
std::wstring StoredPath(const std::wstring& StoredName);
// The upper-case extension without the dot, cut to 5 characters.
std::wstring ItemExtension(std::wstring_view Name);

class TZipItems;

// The shell's icon and type name of an extension, kept by whoever looks
// them up for as long as the items that point to it.
struct TZipTypeInfo {
    int IconIndex = 0;
    std::wstring TypeName;  // empty: none (the extension stands in for it)
};

// One listed entry. Its name and path stand where the reader keeps them,
// or in its list's text (one buffer for all entries): a list of 100,000
// entries is not 200,000 strings.
struct TZipItem {
    int Index = -1;  // in the reader's entry list
    // Icon and type name once looked up; nullptr: not yet.
    const TZipTypeInfo* Type = nullptr;
    uint64_t Size = 0;
    bool Selected = false;

    // The name without path, and the stored path with "\" between levels
    // and a trailing "\" ("" at the top).
    std::wstring_view Name() const { return {stored_ + pathLength_, nameLength_}; }
    std::wstring_view Path() const { return {stored_, pathLength_}; }
    // The upper-case extension without the dot, at most 5 characters.
    std::wstring Ext() const { return ItemExtension(Name()); }
    // The type name, or "" before the look-up or when the shell has none.
    std::wstring_view TypeName() const { return Type ? std::wstring_view(Type->TypeName) : std::wstring_view(); }

private:
    friend class TZipItems;
    const wchar_t* stored_ = L"";  // the path, then the name
    uint32_t pathLength_ = 0;
    uint32_t nameLength_ = 0;
};

// The items of a list: allotted unset, so that a large list's parts fill
// their memory at once.
using TZipItemVector = std::vector<TZipItem, TUnsetAllocator<TZipItem>>;

class TZipItems {
public:
    TZipItems() = default;
    TZipItems(const TZipItems&) = delete;
    TZipItems& operator=(const TZipItems&) = delete;

    // Reads the entries of View that pass Filter; directory entries (empty
    // names, or marked as directories) never show. The view stays in use
    // for the values read on demand.
    void Fill(std::shared_ptr<const TArchiveEntryView> View, const TZipFilter& Filter);
    void Clear();

    // The items by row, as the list shows them.
    int Count() const { return static_cast<int>(rows_.size()); }
    TZipItem& operator[](int Row) { return items_[rows_.at(static_cast<size_t>(Row))]; }
    const TZipItem& operator[](int Row) const { return items_[rows_.at(static_cast<size_t>(Row))]; }
    // Every item in the order of the reader's list (not of the rows), for
    // work on each one.
    TZipItemVector& Items() { return items_; }
    const TZipItemVector& Items() const { return items_; }
    // The item of each row, by its place in Items().
    const std::vector<uint32_t>& Rows() const { return rows_; }
    // The row of the item of the reader's Index-th entry; -1 when none.
    int RowOfEntry(int EntryIndex) const;
    // Orders the rows: the new first row is the one now at Order[0], and
    // so on; Order must hold every row once. A sort moves these numbers
    // only, not the items.
    void Reorder(const std::vector<uint32_t>& Order);

    // The reader's record of an item (an empty one without a view).
    TArchiveEntry EntryOf(const TZipItem& Item) const;
    void ReadEntry(const TZipItem& Item, TArchiveEntry& Out) const;

    // Keeps the count and size of the selected entries.
    void SetSelected(int Index, bool Selected);
    void ClearSelection();
    int SelCount() const { return selCount_; }
    uint64_t SelSize() const { return selSize_; }
    uint64_t TotalSize() const { return totalSize_; }
    // The characters of all names (without paths) together.
    size_t NameLengths() const { return nameLengths_; }
    // The files of the view the filter left out (folders not counted): an
    // operation on every item then is no operation on the whole archive.
    size_t HiddenByFilter() const { return hiddenByFilter_; }

    // While set, the control's selection changes are not copied in.
    bool Updating = false;

    // The first item from Start on whose name begins with Text (ignoring
    // case); with Wrap the search goes on from the top up to Start. -1
    // when none.
    int FindByPrefix(const std::wstring& Text, int Start, bool Wrap) const;

private:
    std::shared_ptr<const TArchiveEntryView> view_;
    // Reads a view that keeps its names in place in parts at once.
    void FillInParts(const TZipFilter& Filter, size_t Parts);

    TZipItemVector items_;
    std::vector<uint32_t> rows_;  // the item of each row
    std::wstring text_;           // every item's path and name, one after the other
    int selCount_ = 0;
    uint64_t selSize_ = 0;
    uint64_t totalSize_ = 0;
    size_t nameLengths_ = 0;
    size_t hiddenByFilter_ = 0;
};

}  // namespace qrv
