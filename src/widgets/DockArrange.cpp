#include "widgets/DockArrange.h"

#include <algorithm>
#include <numeric>

namespace qrv {

namespace {

constexpr int kRowMargin = 4;  // a row is 2 pixels of border wider on each side
constexpr int kMinRowThickness = 8;

}  // namespace

TDockArrangement ArrangeDockBars(std::vector<TDockBar>& bars, const TDockArrangeOptions& options)
{
    TDockArrangement result;
    result.Places.resize(bars.size());
    const bool anyVisible = std::any_of(bars.begin(), bars.end(), [](const TDockBar& b) { return b.Visible; });
    if (!anyVisible) {
        result.Thickness = options.FixAlign ? 1 : 0;
        return result;
    }

    for (TDockBar& bar : bars) {
        if (options.LimitToOneRow || bar.DockRow < 0)
            bar.DockRow = 0;
    }

    // Close the gaps left by rows nobody uses any more: the rows in use are
    // numbered 0, 1, ... in their order, in one pass, so a stored row of any
    // height costs nothing.
    std::vector<int> used;
    used.reserve(bars.size());
    for (const TDockBar& bar : bars)
        used.push_back(bar.DockRow);
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    for (TDockBar& bar : bars)
        bar.DockRow = static_cast<int>(std::lower_bound(used.begin(), used.end(), bar.DockRow) - used.begin());
    int highest = static_cast<int>(used.size()) - 1;

    std::vector<size_t> order(bars.size());
    std::iota(order.begin(), order.end(), size_t{0});
    auto sortOrder = [&] {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (bars[a].DockRow != bars[b].DockRow)
                return bars[a].DockRow < bars[b].DockRow;
            return bars[a].DockPos < bars[b].DockPos;
        });
    };
    sortOrder();

    // A full-size window keeps its row to itself: the others of its row and
    // every row below move down one.
    for (int row = 0; row <= highest; ++row) {
        size_t fullSize = bars.size();
        int inRow = 0;
        for (size_t i : order) {
            if (bars[i].DockRow != row)
                continue;
            ++inRow;
            if (bars[i].FullSize && fullSize == bars.size())
                fullSize = i;
        }
        if (fullSize == bars.size() || inRow < 2)
            continue;
        for (size_t i = 0; i < bars.size(); ++i)
            if (i != fullSize && bars[i].DockRow >= row)
                ++bars[i].DockRow;
        ++highest;
    }
    sortOrder();

    result.RowThickness.assign(static_cast<size_t>(highest + 1), 0);
    for (const TDockBar& bar : bars)
        if (bar.Visible)
            result.RowThickness[bar.DockRow] =
                std::max({result.RowThickness[bar.DockRow], bar.Thickness, kMinRowThickness});

    // Overlapping windows of a row are pushed apart for good.
    for (int row = 0; row <= highest; ++row) {
        int end = 0;
        for (size_t i : order) {
            TDockBar& bar = bars[i];
            if (bar.DockRow != row || !bar.Visible)
                continue;
            if (bar.FullSize)
                bar.DockPos = 0;
            else if (bar.DockPos < end)
                bar.DockPos = end;
            end = bar.DockPos + bar.Length;
        }
    }

    // Fit each row into the dock: push back from the far end, then forward from 0.
    std::vector<int> fitted(bars.size());
    for (size_t i = 0; i < bars.size(); ++i)
        fitted[i] = bars[i].DockPos;
    const int clientLength = std::max(0, options.ClientLength);
    for (int row = 0; row <= highest; ++row) {
        std::vector<size_t> members;
        for (size_t i : order)
            if (bars[i].DockRow == row && bars[i].Visible && !bars[i].FullSize)
                members.push_back(i);
        int cursor = clientLength;
        for (auto it = members.rbegin(); it != members.rend(); ++it) {
            cursor -= bars[*it].Length;
            if (cursor < fitted[*it])
                fitted[*it] = cursor;
            cursor = fitted[*it];
        }
        cursor = 0;
        for (size_t i : members) {
            if (cursor >= fitted[i])
                fitted[i] = cursor;
            cursor = fitted[i] + bars[i].Length;
        }
    }
    if (options.ClipPositions)
        for (size_t i = 0; i < bars.size(); ++i)
            if (bars[i].Visible)
                bars[i].DockPos = fitted[i];

    // Stack the rows.
    int offset = 0;
    for (int row = 0; row <= highest; ++row) {
        const int thickness = result.RowThickness[row];
        if (thickness == 0)
            continue;
        for (size_t i = 0; i < bars.size(); ++i) {
            if (bars[i].DockRow != row || !bars[i].Visible)
                continue;
            TDockPlace& place = result.Places[i];
            place.Pos = fitted[i];
            place.RowOffset = offset;
            place.Length = bars[i].FullSize ? clientLength : bars[i].Length;
            place.Extent = thickness + kRowMargin;
        }
        offset += thickness + kRowMargin;
    }
    result.Thickness = offset;
    return result;
}

int RowAtPosition(const std::vector<int>& rowThickness, int offset, bool& insert)
{
    insert = false;
    const int rows = static_cast<int>(rowThickness.size());
    int start = 0;
    for (int row = 0; row <= rows; ++row) {
        const bool past = row == rows;
        if (!past && rowThickness[row] == 0)
            continue;
        if (offset < start + 5) {
            insert = true;
            return row;
        }
        if (past)
            return row;
        const int end = start + rowThickness[row] + kRowMargin;
        if (offset < end - 5)
            return row;
        start = end;
    }
    return rows;
}

int RowFromOffset(const std::vector<int>& rowThickness, int offset)
{
    int end = 0;
    for (size_t row = 0; row < rowThickness.size(); ++row) {
        if (rowThickness[row] == 0)
            continue;
        end += rowThickness[row] + kRowMargin;
        if (end > offset)
            return static_cast<int>(row);
    }
    return static_cast<int>(rowThickness.size());
}

}  // namespace qrv
