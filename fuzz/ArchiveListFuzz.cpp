// The archive list over what an archive holds: any bytes at the end of a
// self-extracting file, and any stored names, sizes and times. Detection
// must end and stay in bounds; the items must keep their invariants
// through filtering, every sort and the search.
#include "archives/ArchiveType.h"
#include "archives/ZipItemCells.h"
#include "archives/ZipItemSort.h"
#include "archives/ZipItems.h"
#include "common/MaskSearch.h"
#include "framework/StringList.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// The entries, their names copied by the list or, InPlace, read where the
// view keeps them (with "\" between levels, as such a reader keeps them).
class TBytesView : public TArchiveEntryView {
public:
    TBytesView(std::vector<TArchiveEntry> entries, bool inPlace) : entries_(std::move(entries)), inPlace_(inPlace)
    {
        for (const TArchiveEntry& entry : entries_) {
            names_.push_back(entry.StoredName);
            std::replace(names_.back().begin(), names_.back().end(), L'/', L'\\');
        }
    }
    int Count() const override { return static_cast<int>(entries_.size()); }
    TArchiveEntry Entry(int i) const override { return entries_.at(static_cast<size_t>(i)); }
    bool ReadInPlace(int i, TArchiveEntry& out, std::wstring_view& name) const override
    {
        if (!inPlace_)
            return false;
        const TArchiveEntry& entry = entries_.at(static_cast<size_t>(i));
        out.DateTime = entry.DateTime;
        out.Size = entry.Size;
        out.Encrypted = entry.Encrypted;
        out.IsDirectory = entry.IsDirectory;
        name = names_[static_cast<size_t>(i)];
        return true;
    }

private:
    std::vector<TArchiveEntry> entries_;
    std::vector<std::wstring> names_;
    bool inPlace_;
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The whole input as a self-extracting file.
    const std::vector<uint8_t> file(data, data + size);
    TArchiveProbes probes;
    probes.ReadTail = [&](const std::wstring&, size_t max, uint64_t& length, std::vector<uint8_t>& tail) {
        length = file.size();
        tail.assign(file.end() - static_cast<std::ptrdiff_t>(std::min(max, file.size())), file.end());
        return true;
    };
    const uint8_t kind = GetArchiveType(L"x.exe", probes);
    Check(kind == akNone || kind == akZip);

    // Lines: the first is the mask list, each further one an entry whose
    // first bytes give its size and time.
    std::vector<std::wstring> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(static_cast<wchar_t>(data[i]));
    }
    std::vector<TArchiveEntry> entries;
    for (size_t i = 1; i < lines.size(); ++i) {
        TArchiveEntry entry;
        entry.StoredName = lines[i];
        for (size_t b = 0; b < std::min<size_t>(4, lines[i].size()); ++b) {
            entry.Size = entry.Size << 11 | (lines[i][b] & 0xFF);
            entry.DateTime = entry.DateTime << 8 | (lines[i][b] & 0xFF);
        }
        entry.IsDirectory = !lines[i].empty() && lines[i][0] == L'D';
        entries.push_back(std::move(entry));
    }
    TStringList masks;
    ParseMaskList(lines[0], masks);
    TZipFilter filter;
    filter.Masks = lines[0].empty() ? nullptr : &masks;
    TZipItems items;
    items.Fill(std::make_shared<TBytesView>(entries, size % 3 == 0), filter);
    Check(items.Count() <= static_cast<int>(entries.size()));
    uint64_t total = 0;
    for (int i = 0; i < items.Count(); ++i) {
        const TZipItem& item = items[i];
        const std::wstring& stored = entries[static_cast<size_t>(item.Index)].StoredName;
        Check(!item.Name().empty());
        Check(item.Name().find_first_of(L"\\/") == std::wstring_view::npos);
        Check(item.Path().empty() || item.Path().back() == L'\\');
        Check(item.Ext().size() <= 5);
        Check(item.Name() == StoredFileName(stored));
        Check(item.Path() == StoredPath(stored));
        total += item.Size;
        if (i % 2)
            items.SetSelected(i, true);
    }
    Check(total == items.TotalSize());
    const int selected = items.SelCount();
    const TFoldCollator collator;
    for (int column = 0; column <= 4; ++column) {
        Check(SortZipItems(items, column, column % 2 == 0, column == 2 && size % 2, collator));
        Check(items.SelCount() == selected);
        // Every entry once, and by size the order holds (column 1 sorts down).
        std::vector<int> indices;
        for (int i = 0; i < items.Count(); ++i) {
            indices.push_back(items[i].Index);
            if (column == 1 && i > 0)
                Check(items[i - 1].Size >= items[i].Size);
        }
        std::sort(indices.begin(), indices.end());
        Check(std::adjacent_find(indices.begin(), indices.end()) == indices.end());
        for (int i = 0; i < items.Count(); ++i)
            (void)ZipCellText(items[i], items.EntryOf(items[i]), column, TZipCellOptions{}, nullptr);
    }
    if (items.Count() > 0) {
        const int found = items.FindByPrefix(std::wstring(items[0].Name().substr(0, 2)), items.Count() - 1, true);
        Check(found >= 0 && found < items.Count());
    }
    return 0;
}
