#include "editor/FastStringList.h"

#include <algorithm>

namespace qrv {

namespace {

wchar_t FoldAscii(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

}  // namespace

TFastStringList::TFastStringList(bool caseSensitive) : fastCaseSensitive_(caseSensitive)
{
    SetCaseSensitive(caseSensitive);
}

int TFastStringList::CompareFast(std::wstring_view entry, std::wstring_view key) const
{
    const size_t common = std::min(entry.size(), key.size());
    for (size_t i = 0; i < common; ++i) {
        wchar_t a = entry[i], b = key[i];
        if (!fastCaseSensitive_) {
            a = FoldAscii(a);
            b = FoldAscii(b);
        }
        if (a != b)
            return a < b ? -1 : 1;
    }
    return entry.size() < key.size() ? -1 : entry.size() > key.size() ? 1 : 0;
}

bool TFastStringList::StartsWith(std::wstring_view entry, std::wstring_view key) const
{
    return entry.size() >= key.size() && CompareFast(entry.substr(0, key.size()), key) == 0;
}

bool TFastStringList::Find(std::wstring_view text, int& index) const
{
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        int c = CompareFast(Get(mid), text);
        if (c > 0 && PrefixSearch && StartsWith(Get(mid), text))
            c = 0;
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0)
                found = true;
        }
    }
    index = lo;
    return found;
}

void TFastStringList::FindPrefixRange(std::wstring_view text, int& index, int& length) const
{
    length = 0;
    int i = index;
    while (i >= 0 && i < Count() && StartsWith(Get(i), text)) {
        ++length;
        ++i;
    }
    if (length > 0)
        index = i - 1;
}

int TFastStringList::Add(const std::wstring& s)
{
    int index = 0;
    const bool prefix = PrefixSearch;
    PrefixSearch = false;
    Find(s, index);
    PrefixSearch = prefix;
    while (index < Count() && CompareFast(Get(index), s) == 0)
        ++index;
    Insert(index, s);
    return index;
}

void TFastStringList::Sort()
{
    CustomSort([this](const TStringList& list, int a, int b) { return CompareFast(list[a], list[b]); });
}

}  // namespace qrv
