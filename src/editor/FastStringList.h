#pragma once
// TFastStringList: an always sorted string list with a fast comparison
// chosen at creation (code units, or ASCII letters folded), used for word
// lists and keyword look-up, with a prefix search. Portable.

#include "framework/StringList.h"

#include <string>
#include <string_view>

namespace qrv {

class TFastStringList : public TStringList {
public:
    explicit TFastStringList(bool caseSensitive);

    bool FastCaseSensitive() const { return fastCaseSensitive_; }
    // In prefix mode an entry that starts with the key compares equal.
    bool PrefixSearch = false;

    // Inserts at the sorted place (after equal entries).
    int Add(const std::wstring& s) override;
    // Bisection: true and the first equal entry, else the insertion point.
    bool Find(std::wstring_view text, int& index) const;
    // From the index on, the run of entries that start with the text: index
    // becomes the last of them and length their number (0 when the entry at
    // the index does not start with the text; index is kept then).
    void FindPrefixRange(std::wstring_view text, int& index, int& length) const;
    void Sort();

    // The search comparison: the common length compared first (ASCII letters
    // folded unless case-sensitive), then the lengths.
    int CompareFast(std::wstring_view entry, std::wstring_view key) const;

private:
    bool StartsWith(std::wstring_view entry, std::wstring_view key) const;

    bool fastCaseSensitive_;
};

}  // namespace qrv
