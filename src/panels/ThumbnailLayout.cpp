#include "panels/ThumbnailLayout.h"

#include <algorithm>
#include <cmath>

namespace qrv {

namespace {

// The bitmap's border frame takes this much on each side.
constexpr int kBorder = 2;
// Pictures up to an icon's size are shown without a frame.
constexpr int kIconSize = 32;

TThumbRect Grown(TThumbRect Rect, int By)
{
    return {Rect.Left - By, Rect.Top - By, Rect.Right + By, Rect.Bottom + By};
}

int DefaultGap(int Spacing)
{
    return Spacing > kIconSize ? Spacing - kIconSize : 0;
}

}  // namespace

std::optional<TThumbPlacement> PlaceThumbnail(int Width, int Height, int PictureWidth, int PictureHeight, int FrameSize,
                                              bool PictureLoaded)
{
    const TThumbRect room{kBorder, kBorder, Width - kBorder, Height - kBorder};
    if (PictureWidth <= 0 || PictureHeight <= 0 || room.Width() <= 0 || room.Height() <= 0)
        return std::nullopt;
    TThumbPlacement placement;
    if (PictureWidth < room.Width() - 1 && PictureHeight < room.Height() - 1) {
        const int left = room.Left + (room.Width() - PictureWidth) / 2;
        const int top = room.Top + (room.Height() - PictureHeight) / 2;
        placement.Picture = {left, top, left + PictureWidth, top + PictureHeight};
        placement.Framed = PictureWidth > kIconSize || PictureHeight > kIconSize;
        placement.FrameRect = Grown(placement.Picture, FrameSize > 1 ? 2 : 1);
        return placement;
    }
    const int less = PictureLoaded ? std::max(FrameSize, 0) + 1 : 0;
    const int availableWidth = room.Width() - less;
    const int availableHeight = room.Height() - less;
    if (availableWidth <= 0 || availableHeight <= 0)
        return std::nullopt;
    const double factor = std::min(static_cast<double>(availableHeight) / PictureHeight,
                                   static_cast<double>(availableWidth) / PictureWidth);
    const int width = std::max(1, static_cast<int>(std::lround(PictureWidth * factor)));
    const int height = std::max(1, static_cast<int>(std::lround(PictureHeight * factor)));
    const int left = room.Left + (room.Width() - width) / 2;
    const int top = room.Top + (room.Height() - height) / 2;
    placement.Picture = {left, top, left + width, top + height};
    placement.Scaled = true;
    placement.Framed = true;
    placement.FrameRect = Grown(placement.Picture, 1);
    return placement;
}

TThumbSpacing ThumbnailSpacing(int ThumbWidth, int ThumbHeight, int SpaceWidth, int SpaceHeight, int DefaultHorizontal,
                               int DefaultVertical)
{
    const int height = SpaceHeight == 0 ? DefaultVertical : SpaceHeight;
    return {ThumbWidth + (SpaceWidth > 0 ? SpaceWidth : DefaultGap(DefaultHorizontal)),
            ThumbHeight + (height > 0 ? height : DefaultGap(DefaultVertical))};
}

}  // namespace qrv
