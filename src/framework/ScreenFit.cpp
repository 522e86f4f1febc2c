#include "framework/ScreenFit.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

long long Overlap(const TScreenRect& a, const TScreenRect& b)
{
    const long long width = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
    const long long height = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
    return width > 0 && height > 0 ? width * height : 0;
}

long long Distance(const TScreenRect& a, const TScreenRect& b)
{
    const long long dx = std::max({0, b.Left - a.Right, a.Left - b.Right});
    const long long dy = std::max({0, b.Top - a.Bottom, a.Top - b.Bottom});
    return dx * dx + dy * dy;
}

}  // namespace

const TScreenRect& AreaHolding(const TScreenRect& rect, const std::vector<TScreenRect>& areas)
{
    size_t best = 0;
    long long most = 0;
    for (size_t i = 0; i < areas.size(); ++i)
        if (const long long o = Overlap(rect, areas[i]); o > most) {
            most = o;
            best = i;
        }
    if (most > 0)
        return areas[best];
    long long nearest = LLONG_MAX;
    for (size_t i = 0; i < areas.size(); ++i)
        if (const long long d = Distance(rect, areas[i]); d < nearest) {
            nearest = d;
            best = i;
        }
    return areas[best];
}

TScreenRect ShiftIntoArea(const TScreenRect& rect, const TScreenRect& area)
{
    TScreenRect r = rect;
    const auto shift = [&r](int dx, int dy) {
        r.Left += dx;
        r.Right += dx;
        r.Top += dy;
        r.Bottom += dy;
    };
    if (r.Right > area.Right)
        shift(area.Right - r.Right, 0);
    if (r.Left < area.Left)
        shift(area.Left - r.Left, 0);
    if (r.Bottom > area.Bottom)
        shift(0, area.Bottom - r.Bottom);
    if (r.Top < area.Top)
        shift(0, area.Top - r.Top);
    return r;
}

TScreenRect KeepOnAreas(const TScreenRect& rect, const std::vector<TScreenRect>& areas)
{
    if (areas.empty())
        return rect;
    return ShiftIntoArea(rect, AreaHolding(rect, areas));
}

}  // namespace qrv
