#include "widgets/ToolbarLayout.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace qrv {

namespace {

struct TMargins {
    int Top, Bottom, Left, Right;
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

TToolbarLayout LayoutToolbar(const std::vector<TToolbarItem>& items, TDockOrientation orientation, int crossSize,
                             int floatingRightX)
{
    const bool floating = orientation == TDockOrientation::doNoOrient;
    const bool vertical = orientation == TDockOrientation::doVertical;
    const TMargins m = floating ? TMargins{2, 1, 4, 4} : TMargins{0, 0, 0, 0};

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
    int across = m.Top;
    int along = m.Left;
    int extent = m.Left;
    bool breakPending = false;
    size_t lastSeparator = items.size();
    int extentBeforeSeparator = extent;

    for (const auto& group : groups) {
        if (floating && along > m.Left) {
            int groupLength = 0;
            for (size_t i : group)
                groupLength += lengthOf(items[i]);
            if (breakPending || (wrapLimit != 0 && wrapLimit < along + groupLength + m.Right)) {
                along = m.Left;
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
            if (floating && !item.Separator && wrapLimit != 0 && along > m.Left &&
                along + length + m.Right > wrapLimit) {
                along = m.Left;
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
        extent = m.Left + 8;

    const int alongSize = extent + m.Right;
    const int acrossSize = across + (floating ? thickness : cross) + m.Bottom;
    layout.ClientWidth = vertical ? acrossSize : alongSize;
    layout.ClientHeight = vertical ? alongSize : acrossSize;
    return layout;
}

std::vector<TToolbarSnapSize> ToolbarSnapSizes(const std::vector<TToolbarItem>& items, int ncWidth, int ncHeight)
{
    constexpr auto floating = TDockOrientation::doNoOrient;
    std::vector<TToolbarSnapSize> sizes;
    const TToolbarLayout unwrapped = LayoutToolbar(items, floating, 0, 0);
    sizes.push_back({unwrapped.ClientWidth, unwrapped.ClientHeight, 0});
    // Narrower limits from just below the unwrapped width: a limit whose
    // layout comes out narrower jumps there at once, one that cannot be met
    // (a control wider than it) ends the search.
    for (int limit = unwrapped.ClientWidth - 1; limit >= 8;) {
        const TToolbarLayout layout = LayoutToolbar(items, floating, 0, limit);
        if (layout.ClientWidth > limit)
            break;
        if (layout.ClientWidth < limit) {
            limit = layout.ClientWidth;
            continue;
        }
        // Of two widths with the same height the narrower one stays.
        if (sizes.size() > 1 && sizes.back().Height == layout.ClientHeight)
            sizes.pop_back();
        sizes.push_back({layout.ClientWidth, layout.ClientHeight, limit});
        --limit;
    }
    for (TToolbarSnapSize& size : sizes) {
        size.Width += ncWidth;
        size.Height += ncHeight;
    }
    return sizes;
}

TToolbarResizeSnap::TToolbarResizeSnap(std::vector<TToolbarSnapSize> sizes, bool byHeight, int currentWidth,
                                       int currentHeight)
    : sizes_(std::move(sizes)), byHeight_(byHeight)
{
    std::stable_sort(sizes_.begin(), sizes_.end(), [this](const TToolbarSnapSize& a, const TToolbarSnapSize& b) {
        return ExtentOf(a) > ExtentOf(b);
    });
    if (sizes_.empty())
        sizes_.push_back({currentWidth, currentHeight, 0});
    // The entry the window has now, else the one nearest to it.
    const int extent = byHeight_ ? currentHeight : currentWidth;
    int best = INT_MAX;
    for (size_t i = 0; i < sizes_.size(); ++i) {
        const int d =
            std::abs(ExtentOf(sizes_[i]) - extent) +
            std::abs((byHeight_ ? sizes_[i].Width : sizes_[i].Height) - (byHeight_ ? currentWidth : currentHeight));
        if (d < best) {
            best = d;
            current_ = i;
        }
    }
    tolerance_ = 12;
    if (current_ > 0)
        tolerance_ = std::min(tolerance_, ExtentOf(sizes_[current_ - 1]) - ExtentOf(sizes_[current_]) - 1);
    if (current_ + 1 < sizes_.size())
        tolerance_ = std::min(tolerance_, ExtentOf(sizes_[current_]) - ExtentOf(sizes_[current_ + 1]) - 1);
    tolerance_ = std::max(tolerance_, 0);
}

const TToolbarSnapSize& TToolbarResizeSnap::Move(int wanted)
{
    const int extent = ExtentOf(sizes_[current_]);
    const int direction = wanted > extent ? 1 : wanted < extent ? -1 : 0;
    if (direction == 0)
        return sizes_[current_];
    if (direction != direction_) {
        direction_ = direction;
        unchangedSinceTurn_ = true;
    }
    if (unchangedSinceTurn_ && std::abs(wanted - extent) <= tolerance_)
        return sizes_[current_];
    size_t chosen = current_;
    if (direction > 0) {
        // The smallest entry beyond the wish, the largest when none is.
        chosen = 0;
        for (size_t i = sizes_.size(); i-- > 0;)
            if (ExtentOf(sizes_[i]) > wanted) {
                chosen = i;
                break;
            }
    } else {
        // The largest entry within the wish, the smallest when none is.
        chosen = sizes_.size() - 1;
        for (size_t i = 0; i < sizes_.size(); ++i)
            if (ExtentOf(sizes_[i]) <= wanted) {
                chosen = i;
                break;
            }
    }
    if (chosen != current_) {
        current_ = chosen;
        unchangedSinceTurn_ = false;
    }
    return sizes_[current_];
}

}  // namespace qrv
