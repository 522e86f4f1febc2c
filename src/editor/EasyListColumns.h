#pragma once
// Column stops of the popup list: each item is a row of measured pieces, and
// a "|" piece ends a column. Aligning gives every separator the width that
// brings the next column to the same x in every item. Portable.

#include <vector>

namespace qrv {

struct TEasyColumnPiece {
    int Width = 0;
    bool Separator = false;
};

// Widens (or narrows) the separators of every item so that column k starts
// at the sum of the widest texts of the columns before it; returns the sum
// of all column widths.
int AlignColumns(std::vector<std::vector<TEasyColumnPiece>>& items);

}  // namespace qrv
