#pragma once
// Where a thumbnail's picture goes in its bitmap, and the icon spacing of
// the thumbnail view. Portable.

#include <optional>

namespace qrv {

struct TThumbRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TThumbRect&) const = default;
};

struct TThumbPlacement {
    TThumbRect Picture;  // where the picture is drawn
    bool Scaled = false;
    // A 1-pixel sunken frame around the picture, at FrameRect.
    bool Framed = false;
    TThumbRect FrameRect;
};

// A picture of PictureWidth x PictureHeight in a thumbnail bitmap of Width x
// Height, whose border takes 2 pixels on each side: one smaller than that
// room by more than a pixel both ways is centred unscaled (framed when it is
// more than 32 pixels wide or high, the frame 1 further out when FrameSize >
// 1); a larger one is scaled to fit, keeping its proportions, into the room
// less FrameSize + 1 each way when it is a loaded picture (not an icon), and
// centred with a frame. Nothing for an empty picture or a bitmap too small.
std::optional<TThumbPlacement> PlaceThumbnail(int Width, int Height, int PictureWidth, int PictureHeight, int FrameSize,
                                              bool PictureLoaded);

struct TThumbSpacing {
    int Horizontal = 0;
    int Vertical = 0;
    bool operator==(const TThumbSpacing&) const = default;
};

// The icon spacing of the thumbnail view: the thumbnail's size plus a gap
// each way. The gap is SpaceWidth when positive, else the control's default
// spacing less 32 when that is above 32 (else none); the height likewise,
// except that a SpaceHeight of 0 stands for the whole default spacing.
TThumbSpacing ThumbnailSpacing(int ThumbWidth, int ThumbHeight, int SpaceWidth, int SpaceHeight, int DefaultHorizontal,
                               int DefaultVertical);

}  // namespace qrv
