#include "archives/ZipItems.h"

#include "common/BaseUtils.h"
#include "common/MaskSearch.h"
#include "framework/PartThreads.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <stdexcept>
#include <type_traits>

namespace qrv {

namespace {

size_t LastSeparator(std::wstring_view StoredName)
{
    // A plain loop: this runs once per entry of a large archive, where a
    // search for either of two characters costs a library call per character.
    for (size_t i = StoredName.size(); i-- > 0;)
        if (StoredName[i] == L'\\' || StoredName[i] == L'/')
            return i;
    return std::wstring_view::npos;
}

// The upper-cased extension of Name without the dot, at most five
// characters, written into Out; its length. Written in place, as the fill
// does it for every entry. As ExtractFileExt, "\" and ":" end the search.
uint8_t CopyItemExtension(std::wstring_view Name, wchar_t* Out)
{
    for (size_t i = Name.size(); i-- > 0;) {
        if (Name[i] == L'\\' || Name[i] == L':')
            return 0;
        if (Name[i] == L'.') {
            const std::wstring_view ext = Name.substr(i + 1, 5);
            std::transform(ext.begin(), ext.end(), Out, UpCaseChar);
            return static_cast<uint8_t>(ext.size());
        }
    }
    return 0;
}

}  // namespace

bool PassesZipFilter(std::wstring_view Name, uint64_t Size, uint32_t DateTime, const TZipFilter& Filter)
{
    if (Filter.Masks && !MatchesMaskList(Name, Filter.Masks))
        return false;
    // 2147483647, the stored "no upper bound", bounds nothing.
    if (Size < Filter.SizeFrom || (Filter.SizeTo != 2147483647 && Size > Filter.SizeTo))
        return false;
    const uint32_t lower = uint32_t(Filter.DateFrom) << 16;
    const uint32_t upper = (uint32_t(Filter.DateTo) << 16) + 0xC000;
    return DateTime >= lower && DateTime <= upper;
}

std::wstring StoredFileName(const std::wstring& StoredName)
{
    const size_t slash = LastSeparator(StoredName);
    return slash == std::wstring::npos ? StoredName : StoredName.substr(slash + 1);
}

std::wstring StoredPath(const std::wstring& StoredName)
{
    const size_t slash = LastSeparator(StoredName);
    if (slash == std::wstring::npos)
        return {};
    std::wstring path = StoredName.substr(0, slash + 1);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring ItemExtension(std::wstring_view Name)
{
    wchar_t ext[5];
    return std::wstring(ext, CopyItemExtension(Name, ext));
}

namespace {

// The item of an entry read with its stored name, its name's place in
// that and whether it shows: directory entries never do, and the filter
// decides for the others. The name's characters are not set.
bool ShownItem(const TArchiveEntry& Entry, std::wstring_view Stored, const TZipFilter& Filter, size_t& NameStart,
               size_t& Hidden)
{
    if (Entry.IsDirectory)
        return false;
    const size_t slash = LastSeparator(Stored);
    NameStart = slash == std::wstring_view::npos ? 0 : slash + 1;
    const std::wstring_view name = Stored.substr(NameStart);
    if (name.empty())
        return false;
    if (PassesZipFilter(name, Entry.Size, Entry.DateTime, Filter))
        return true;
    ++Hidden;
    return false;
}

}  // namespace

void TZipItems::Fill(std::shared_ptr<const TArchiveEntryView> View, const TZipFilter& Filter)
{
    Clear();
    view_ = std::move(View);
    if (!view_)
        return;
    const int count = view_->Count();
    const size_t parts = view_->KeepsNamesInPlace() ? PartCountFor(static_cast<size_t>(std::max(count, 0))) : 1;
    if (parts > 1) {
        FillInParts(Filter, parts);
        return;
    }
    items_.reserve(static_cast<size_t>(std::max(count, 0)));
    // One record for the whole walk: no string per entry. Names the reader
    // does not keep in place are copied into the text; where they stand is
    // known only when it has stopped growing.
    TArchiveEntry entry;
    std::vector<std::pair<size_t, size_t>> copied;  // item, place in the text
    for (int i = 0; i < count; ++i) {
        std::wstring_view stored;
        const bool inPlace = view_->ReadInPlace(i, entry, stored);
        if (!inPlace) {
            view_->Read(i, entry);
            stored = entry.StoredName;
        }
        size_t nameStart = 0;
        if (!ShownItem(entry, stored, Filter, nameStart, hiddenByFilter_))
            continue;
        const size_t nameLength = stored.size() - nameStart;
        TZipItem item;
        item.Index = i;
        item.Size = entry.Size;
        item.pathLength_ = static_cast<uint32_t>(nameStart);
        item.nameLength_ = static_cast<uint32_t>(nameLength);
        if (inPlace) {
            item.stored_ = stored.data();
        } else {
            if (copied.empty())
                text_.reserve(view_->StoredNameLengths());
            copied.emplace_back(items_.size(), text_.size());
            text_.append(stored);
            std::replace(text_.end() - static_cast<std::ptrdiff_t>(stored.size()),
                         text_.end() - static_cast<std::ptrdiff_t>(nameLength), L'/', L'\\');
        }
        totalSize_ += entry.Size;
        nameLengths_ += nameLength;
        items_.push_back(item);
    }
    for (const auto& [item, at] : copied)
        items_[item].stored_ = text_.data() + at;
    rows_.resize(items_.size());
    std::iota(rows_.begin(), rows_.end(), 0u);
}

void TZipItems::FillInParts(const TZipFilter& Filter, size_t Parts)
{
    static_assert(std::is_trivially_copyable_v<TZipItem>, "a part's items are moved as bytes");
    // Each part writes its items from the place of its first entry on;
    // when some entries do not show, the parts' items are moved together
    // afterwards. Each part counts and sums in its own variables and writes
    // them once (side by side they would share a cache line).
    const size_t count = static_cast<size_t>(view_->Count());
    const auto first = [&](size_t part) { return count * part / Parts; };
    items_.resize(count);
    std::vector<size_t> shown(Parts, 0);
    std::vector<uint64_t> sizes(Parts, 0);
    std::vector<size_t> nameLengths(Parts, 0);
    std::vector<size_t> hidden(Parts, 0);
    RunParts(Parts, [&](size_t part) {
        TArchiveEntry entry;
        std::wstring_view stored;
        size_t nameStart = 0;
        uint64_t size = 0;
        size_t characters = 0;
        size_t filtered = 0;
        TZipItem* const begin = items_.data() + first(part);
        TZipItem* out = begin;
        for (size_t i = first(part); i < first(part + 1); ++i) {
            if (!view_->ReadInPlace(static_cast<int>(i), entry, stored) ||
                !ShownItem(entry, stored, Filter, nameStart, filtered))
                continue;
            TZipItem item;
            item.Index = static_cast<int>(i);
            item.Size = entry.Size;
            item.stored_ = stored.data();
            item.pathLength_ = static_cast<uint32_t>(nameStart);
            item.nameLength_ = static_cast<uint32_t>(stored.size() - nameStart);
            std::construct_at(out++, item);
            size += entry.Size;
            characters += item.nameLength_;
        }
        shown[part] = static_cast<size_t>(out - begin);
        sizes[part] = size;
        nameLengths[part] = characters;
        hidden[part] = filtered;
    });
    size_t kept = shown[0];
    for (size_t part = 1; part < Parts; ++part) {
        if (kept != first(part))
            std::memmove(static_cast<void*>(items_.data() + kept), items_.data() + first(part),
                         shown[part] * sizeof(TZipItem));
        kept += shown[part];
    }
    items_.resize(kept);
    totalSize_ = std::accumulate(sizes.begin(), sizes.end(), uint64_t(0));
    nameLengths_ = std::accumulate(nameLengths.begin(), nameLengths.end(), size_t(0));
    hiddenByFilter_ = std::accumulate(hidden.begin(), hidden.end(), size_t(0));
    rows_.resize(items_.size());
    std::iota(rows_.begin(), rows_.end(), 0u);
}

int TZipItems::RowOfEntry(int EntryIndex) const
{
    // Two walks in memory order instead of one by rows across the items.
    const auto item = std::find_if(items_.begin(), items_.end(),
                                   [&](const TZipItem& candidate) { return candidate.Index == EntryIndex; });
    if (item == items_.end())
        return -1;
    const auto row = std::find(rows_.begin(), rows_.end(), static_cast<uint32_t>(item - items_.begin()));
    return row == rows_.end() ? -1 : static_cast<int>(row - rows_.begin());
}

void TZipItems::Reorder(const std::vector<uint32_t>& Order)
{
    if (Order.size() != rows_.size())
        throw std::invalid_argument("TZipItems::Reorder: not one place per row");
    std::vector<uint32_t> rows;
    rows.reserve(rows_.size());
    std::vector<bool> taken(rows_.size(), false);
    for (const uint32_t row : Order) {
        if (row >= rows_.size() || taken[row])
            throw std::invalid_argument("TZipItems::Reorder: a row missing or twice");
        taken[row] = true;
        rows.push_back(rows_[row]);
    }
    rows_.swap(rows);
}

void TZipItems::Clear()
{
    // Closing a large archive gives its memory back.
    TZipItemVector().swap(items_);
    std::vector<uint32_t>().swap(rows_);
    std::wstring().swap(text_);
    view_.reset();
    selCount_ = 0;
    selSize_ = 0;
    totalSize_ = 0;
    nameLengths_ = 0;
    hiddenByFilter_ = 0;
}

TArchiveEntry TZipItems::EntryOf(const TZipItem& Item) const
{
    TArchiveEntry entry;
    ReadEntry(Item, entry);
    return entry;
}

void TZipItems::ReadEntry(const TZipItem& Item, TArchiveEntry& Out) const
{
    if (!view_ || Item.Index < 0 || Item.Index >= view_->Count())
        Out = TArchiveEntry();
    else
        view_->Read(Item.Index, Out);
}

void TZipItems::SetSelected(int Index, bool Selected)
{
    TZipItem& item = (*this)[Index];
    if (item.Selected == Selected)
        return;
    item.Selected = Selected;
    if (Selected) {
        ++selCount_;
        selSize_ += item.Size;
    } else {
        --selCount_;
        selSize_ -= item.Size;
    }
}

void TZipItems::ClearSelection()
{
    for (TZipItem& item : items_)
        item.Selected = false;
    selCount_ = 0;
    selSize_ = 0;
}

int TZipItems::FindByPrefix(const std::wstring& Text, int Start, bool Wrap) const
{
    const int count = Count();
    if (count == 0)
        return -1;
    const std::wstring prefix = UpperCase(Text);
    // Unit by unit, as UpperCase maps them: no string per row.
    const auto matches = [&](int row) {
        const std::wstring_view name = (*this)[row].Name();
        return name.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), name.begin(),
                                                          [](wchar_t up, wchar_t c) { return up == UpCaseChar(c); });
    };
    Start = std::clamp(Start, 0, count - 1);
    for (int i = Start; i < count; ++i)
        if (matches(i))
            return i;
    if (Wrap)
        for (int i = 0; i < Start; ++i)
            if (matches(i))
                return i;
    return -1;
}

}  // namespace qrv
