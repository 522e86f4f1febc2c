#include "widgets/ToolbarLayout.h"

#include <algorithm>

namespace qrv {

namespace {

struct Margins {
    int top, bottom, left, right;
};

}  // namespace

int ToolbarRowThickness(const std::vector<TToolbarItem>& items, TDockOrientation orientation)
{
    int thickness = 8;
    for (const TToolbarItem& item : items)
        if (item.Visible && !item.Separator)
            thickness = std::max(thickness, orientation == TDockOrientation::doVertical ? item.Width : item.Height);
    return thickness;
}

TToolbarLayout LayoutToolbar(const std::vector<TToolbarItem>& items, TDockOrientation orientation,
                             int crossSize, int floatingRightX)
{
    const bool floating = orientation == TDockOrientation::doNoOrient;
    const bool vertical = orientation == TDockOrientation::doVertical;
    const Margins m = floating ? Margins{2, 1, 4, 4} : Margins{0, 0, 0, 0};

    // A floating toolbar never wraps narrower than its widest control.
    int wrapLimit = 0;
    if (floating && floatingRightX != 0) {
        wrapLimit = floatingRightX;
        for (const TToolbarItem& item : items)
            if (item.Visible && !item.Separator)
                wrapLimit = std::max(wrapLimit, item.Width + 8);
    }

    const int thickness = ToolbarRowThickness(items, orientation);
    const int cross = crossSize > 0 ? crossSize : thickness;
    auto lengthOf = [&](const TToolbarItem& item) {
        if (item.Separator)
            return vertical ? item.SizeVert : item.SizeHorz;
        return vertical ? item.Height : item.Width;
    };

    // Groups of visible items, each ending with (and including) a separator.
    std::vector<std::vector<size_t>> groups(1);
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].Visible)
            continue;
        groups.back().push_back(i);
        if (items[i].Separator)
            groups.emplace_back();
    }
    if (groups.back().empty())
        groups.pop_back();

    TToolbarLayout layout;
    layout.Places.resize(items.size());
    int across = m.top;
    int along = m.left;
    int extent = m.left;
    bool breakPending = false;
    size_t lastSeparator = items.size();
    int extentBeforeSeparator = extent;

    for (const auto& group : groups) {
        if (floating && along > m.left) {
            int groupLength = 0;
            for (size_t i : group)
                groupLength += lengthOf(items[i]);
            if (breakPending || (wrapLimit != 0 && wrapLimit < along + groupLength + m.right)) {
                along = m.left;
                across += thickness + 6;
                // The separator before the break becomes the break: it takes no room.
                if (lastSeparator < items.size()) {
                    extent = extentBeforeSeparator;
                    layout.Places[lastSeparator].Width = 0;
                }
                breakPending = false;
            }
        }
        for (size_t i : group) {
            const TToolbarItem& item = items[i];
            const int length = lengthOf(item);
            if (floating && !item.Separator && wrapLimit != 0 && along > m.left &&
                along + length + m.right > wrapLimit) {
                along = m.left;
                across += thickness;
                breakPending = true;
            }
            TToolbarItemPlace& place = layout.Places[i];
            place.Placed = true;
            if (item.Separator) {
                extentBeforeSeparator = extent;
                lastSeparator = i;
                if (vertical)
                    place = {true, across, along, cross, item.SizeVert};
                else
                    place = {true, along, across, item.SizeHorz, cross};
            } else if (vertical) {
                place = {true, across + (cross - item.Width) / 2, along, item.Width, item.Height};
            } else {
                place = {true, along, across + (cross - item.Height) / 2, item.Width, item.Height};
            }
            along += length;
            extent = std::max(extent, along);
        }
    }
    if (groups.empty())
        extent = m.left + 8;

    const int alongSize = extent + m.right;
    const int acrossSize = across + (floating ? thickness : cross) + m.bottom;
    layout.ClientWidth = vertical ? acrossSize : alongSize;
    layout.ClientHeight = vertical ? alongSize : acrossSize;
    return layout;
}

}  // namespace qrv
