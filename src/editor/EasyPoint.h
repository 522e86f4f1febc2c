#pragma once
// A position in the editor's text: X the column, Y the line (both counted as
// the caller's context says: carets from 0, search columns from 1).

namespace qrv {

struct TEasyPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TEasyPoint&) const = default;
};

// a comes before b in the text: on an earlier line, or further left.
constexpr bool Before(TEasyPoint a, TEasyPoint b)
{
    return a.Y < b.Y || (a.Y == b.Y && a.X < b.X);
}

}  // namespace qrv
