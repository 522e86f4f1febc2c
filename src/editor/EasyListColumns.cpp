#include "editor/EasyListColumns.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace qrv {

namespace {

int Saturate(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, 0, INT_MAX));
}

// The text widths of an item's columns.
std::vector<int64_t> ColumnWidths(const std::vector<TEasyColumnPiece>& item)
{
    std::vector<int64_t> widths(1, 0);
    for (const TEasyColumnPiece& piece : item) {
        if (piece.Separator)
            widths.push_back(0);
        else
            widths.back() += std::max(0, piece.Width);
    }
    return widths;
}

}  // namespace

int AlignColumns(std::vector<std::vector<TEasyColumnPiece>>& items)
{
    std::vector<int64_t> columns;
    for (const auto& item : items) {
        const std::vector<int64_t> widths = ColumnWidths(item);
        if (widths.size() > columns.size())
            columns.resize(widths.size(), 0);
        for (size_t k = 0; k < widths.size(); ++k)
            columns[k] = std::max(columns[k], widths[k]);
    }
    // starts[k]: where column k begins.
    std::vector<int64_t> starts(columns.size() + 1, 0);
    for (size_t k = 0; k < columns.size(); ++k)
        starts[k + 1] = starts[k] + columns[k];

    for (auto& item : items) {
        size_t column = 0;
        int64_t x = 0;
        for (TEasyColumnPiece& piece : item) {
            if (!piece.Separator) {
                x += std::max(0, piece.Width);
                continue;
            }
            ++column;
            piece.Width = Saturate(starts[column] - x);
            x = starts[column];
        }
    }
    return Saturate(starts.back());
}

}  // namespace qrv
