#include "archives/ZipItemSort.h"

#include "archives/ZipListColumns.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <numeric>

namespace qrv {

namespace {

// One item's key for the chosen column: a byte string or a number.
struct TZipSortKey {
    std::string Text;
    uint64_t Number = 0;
};

template <class T>
int Compare3(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::string Utf16Bytes(std::wstring_view text)
{
    // Big-endian 16-bit units: byte order is code-unit order.
    std::string out;
    out.reserve(text.size() * 2);
    for (const wchar_t c : text) {
        out += static_cast<char>((c >> 8) & 0xFF);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

TZipSortKey MakeKey(const TZipItems& Items, const TZipItem& Item, int Column, bool SortByExtension,
                    const TSortCollator& Collator)
{
    TZipSortKey key;
    switch (Column) {
    case zcName:
        key.Text = Collator.SortKey(Item.Name);
        break;
    case zcSize:
        key.Number = Item.Size;
        break;
    case zcType:
        key.Text = SortByExtension ? Utf16Bytes(Item.Ext)
                                   : Utf16Bytes(UpperCase(Item.TypeName.empty() ? Item.Ext : Item.TypeName) + Item.Name);
        break;
    case zcChanged:
        key.Number = Items.EntryOf(Item).DateTime;
        break;
    case zcPath:
        key.Text = Collator.SortKey(UpperCase(Item.Path) + L" " + Item.Name);
        break;
    default:
        break;
    }
    return key;
}

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
    std::vector<TZipSortKey> keys;
    keys.reserve(items.size());
    for (const TZipItem& item : items)
        keys.push_back(MakeKey(Items, item, Column, SortByExtension, Collator));
    const bool numeric = Column == zcSize || Column == zcChanged;
    std::vector<uint32_t> order(items.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const int c = numeric ? Compare3(keys[a].Number, keys[b].Number) : Compare3(keys[a].Text, keys[b].Text);
        return Ascending ? c < 0 : c > 0;
    });
    std::vector<TZipItem> sorted;
    sorted.reserve(items.size());
    for (const uint32_t i : order)
        sorted.push_back(std::move(items[i]));
    items.swap(sorted);
    return true;
}

}  // namespace qrv
