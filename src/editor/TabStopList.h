#pragma once
// TTabStopList: the tab stops of one edit source and every question about
// tabs: where a tab at a column ends, how a line looks with its tabs
// expanded, and how a display column maps to a character of the line and
// back. Columns are display columns from 0; 2,147,483,647 stands for a
// column beyond every line. Portable.

#include "framework/SysUtils.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// A stop list with a stop <= 0 or stops not ascending: "Invalid Tab Stop".
QRV_DECLARE_EXCEPTION(ETabStopError, Exception);

class TTabStopList {
public:
    static constexpr int BeyondEveryLine = 2147483647;

    // The list as the user wrote it; "8" at first.
    const std::wstring& Text() const { return text_; }
    // Items are separated by commas or blanks. A bad list raises (EConvertError
    // for an item that is no number, ETabStopError for a stop <= 0 or not
    // ascending) and leaves the stops as they were; an empty list means the
    // single stop 8. Setting the same text again does nothing.
    void SetText(const std::wstring& text);
    const std::vector<int>& Stops() const { return stops_; }

    // The first stop after the column: past the last stop, stops repeat at
    // the last interval (the only stop's value when there is one).
    int TabEnd(int column) const;
    // The last stop before the column; 0 when there is none.
    int PreviousStop(int column) const;

    // The line with every tab replaced by spaces up to its stop.
    std::u16string ExpandTabs(std::u16string_view line) const;
    // The character at the display column. On a tab, inside is how many
    // columns into the tab's expansion the column lies (0 at its start) and
    // width the columns the tab covers; both 0 on other characters. Past the
    // end each column counts as one character.
    int ColumnToIndex(std::u16string_view line, int column, int& inside, int& width) const;
    // The display column of the character's last column: the width of the
    // first index + 1 characters minus one; past the end one column a character.
    int IndexToColumn(std::u16string_view line, int index) const;

private:
    int64_t NextStop(int64_t column) const;
    int Interval() const;

    std::wstring text_ = L"8";
    std::vector<int> stops_ = {8};
    // Tab ends by column up to the last stop, filled on demand.
    mutable std::vector<int> cache_;
};

}  // namespace qrv
