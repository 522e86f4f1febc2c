#pragma once
// The user's locale order of names as sort keys (LCMapStringEx with
// LCMAP_SORTKEY, case ignored), so a sort asks the locale once per item.
// Names made of plain characters (ASCII whose key is a fixed weight in the
// locale) get the same key from a table, without a call per name, and a
// compact key of one byte a character; names that also hold letters with
// diacritics or CJK ideographs whose weights the table has learnt get their
// key from it as well.

#include "panels/DirViewSort.h"

#include <memory>
#include <string>

namespace qrv {

class TLocaleCollator : public TSortCollator {
public:
    // The user's locale.
    TLocaleCollator();
    // A locale by name ("de-DE").
    explicit TLocaleCollator(std::wstring LocaleName);

    std::string SortKey(std::wstring_view Text) const override;
    void AppendSortKey(std::wstring_view Text, std::string& Out) const override;
    // For the plain characters, when the locale gives them all weights of
    // one length.
    const TCompactBytes* CompactBytes() const override;
    // Whether the key of Text comes from the tables, without a call to the
    // locale.
    bool KeyedByTable(std::wstring_view Text) const;

    // The weights of the plain characters of a locale.
    struct TPlainWeights;

private:
    void AppendLocaleKey(std::wstring_view Text, std::string& Out) const;
    // The key of a text of plain characters and the letters the table
    // learns beyond them; false, with nothing appended, for any other.
    bool AppendExtraKey(std::wstring_view Text, std::string& Out) const;

    std::wstring locale_;  // "" for the user's
    std::shared_ptr<const TPlainWeights> plain_;
};

}  // namespace qrv
