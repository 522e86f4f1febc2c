#include "editor/EasySelStrings.h"

#include "editor/TabStopList.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

constexpr int LineEnd = INT_MAX;

}  // namespace

int TEasySelStrings::GetCount() const
{
    const int first = view_.SelStartY(), last = view_.SelEndY();
    if (first < 0 || last < first || (first == last && view_.SelStartX() == view_.SelEndX()))
        return 0;
    return last - first + 1;
}

std::u16string TEasySelStrings::Slice(int line, int fromColumn, int toColumn, bool pad) const
{
    const std::u16string text = line >= 0 && line < view_.LineCount() ? view_.Line(line) : std::u16string();
    auto index = [&](int column) {
        if (column == LineEnd)
            return int(text.size());
        if (const TTabStopList* tabs = view_.TabStops()) {
            int inside = 0, width = 0;
            return tabs->ColumnToIndex(text, column, inside, width);
        }
        return column;
    };
    const size_t from = size_t(std::clamp(index(fromColumn), 0, int(text.size())));
    const size_t to = size_t(std::clamp(index(toColumn), int(from), int(text.size())));
    std::u16string slice = text.substr(from, to - from);
    if (pad && toColumn != LineEnd && toColumn > fromColumn && slice.size() < size_t(toColumn - fromColumn))
        slice.resize(size_t(toColumn - fromColumn), u' ');
    return slice;
}

std::u16string TEasySelStrings::Get(int index) const
{
    if (index < 0 || index >= GetCount())
        return {};
    const int first = view_.SelStartY(), last = view_.SelEndY();
    const int line = first + index;
    if (view_.BlockMode()) {
        const int left = std::min(view_.SelStartX(), view_.SelEndX());
        const int right = std::max(view_.SelStartX(), view_.SelEndX());
        return Slice(line, left, right, true);
    }
    if (first == last)
        return Slice(line, view_.SelStartX(), view_.SelEndX(), true);
    if (line == first)
        return Slice(line, view_.SelStartX(), LineEnd, false);
    if (line == last)
        return Slice(line, 0, view_.SelEndX(), false);
    return Slice(line, 0, LineEnd, false);
}

void TEasySelStrings::Clear()
{
    if (!view_.Destroying())
        view_.ClearSelection();
}

}  // namespace qrv
