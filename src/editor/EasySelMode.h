#pragma once
// Selection modes of the editor control and how a requested one is mapped
// through the modes the editor allows. Portable.

#include "editor/EasyEditorOptions.h"
#include "editor/EasyPoint.h"

#include <algorithm>
#include <climits>

namespace qrv {

// None, stream (in reading order) and block (a rectangle on screen).
enum TEasySelMode : int { smNone = 0, smStream = 1, smBlock = 2 };

// The selection mode a request gets under the allowed modes; a block only
// where the editor can select one (not while wrapping words).
constexpr int AdjustSelMode(TEasyBlockSelMode allowed, int requested, bool canBlockSelect)
{
    if (requested == smNone)
        return smNone;
    switch (allowed) {
    case TEasyBlockSelMode::bsStream:
        return smStream;
    case TEasyBlockSelMode::bsBlock:
        return canBlockSelect ? smBlock : smNone;
    case TEasyBlockSelMode::bsNone:
        return smNone;
    case TEasyBlockSelMode::bsBoth:
        break;
    }
    return requested == smBlock && !canBlockSelect ? smStream : requested;
}

// A selection's corners put in order for its mode: a stream in reading
// order, a block as its top-left and bottom-right corners (lines and
// columns ordered apart). A stream is empty when both corners are one; a
// block includes its end column, so it is empty only when reduced to
// exclude it (eoReduceBlockSel) and both corners share a column.
struct TEasySelCorners {
    TEasyPoint Start;
    TEasyPoint End;
    bool Empty = false;
};
constexpr TEasySelCorners OrderSelCorners(TEasyPoint a, TEasyPoint b, int mode, bool reduceBlock)
{
    if (mode == smBlock) {
        const TEasyPoint start{std::min(a.X, b.X), std::min(a.Y, b.Y)};
        const TEasyPoint end{std::max(a.X, b.X), std::max(a.Y, b.Y)};
        return {start, end, reduceBlock && start.X == end.X};
    }
    if (b.Y < a.Y || (b.Y == a.Y && b.X < a.X))
        std::swap(a, b);
    return {a, b, a == b};
}

// The display columns a block's lines cover, Right exclusive.
struct TEasyBlockColumns {
    int Left = 0;
    int Right = 0;
};
constexpr TEasyBlockColumns BlockColumns(TEasyPoint start, TEasyPoint end, bool reduceBlock)
{
    const int left = std::min(start.X, end.X);
    const int right = std::max(start.X, end.X);
    return {left, reduceBlock || right == INT_MAX ? right : right + 1};
}

}  // namespace qrv
