#pragma once
// TEasyCharIndex: character indexes of the edit messages over a line list.
// An index counts every line as its length plus a CR LF pair, whatever the
// line break of the file, so the text reads as the system's multi-line edit
// would hold it (the last line has no break). The start of each line is a
// prefix sum of the lengths before it, rebuilt lazily from the first line
// that changed, so a look-up does not walk the lines. Portable.

#include <cstdint>
#include <functional>
#include <vector>

namespace qrv {

class TEasyStrings;

struct TEasyCharPos {
    int Column = 0;  // characters into the line
    int Line = 0;
    bool operator==(const TEasyCharPos&) const = default;
};

class TEasyCharIndex {
public:
    // The number of lines and the length of a line in UTF-16 code units.
    using TLineCount = std::function<int()>;
    using TLineLength = std::function<int(int line)>;

    TEasyCharIndex(TLineCount count, TLineLength length);
    explicit TEasyCharIndex(const TEasyStrings& lines);

    // Lines from this one on changed (length or number of lines).
    void Invalidate(int fromLine);

    int LineCount() const { return count_(); }
    // The length of the whole text: the last line has no break; 0 when empty.
    int64_t TextLength();
    // The index of the line's start; -1 for a line outside the text.
    int64_t LineIndex(int line);
    // The line holding the index; an index past the text belongs to the last
    // line, a negative one to the first.
    int LineFromChar(int64_t index);
    // The index of a position; the column is limited to the line's length
    // and a line outside the text to the text's end.
    int64_t IndexOf(TEasyCharPos pos);
    // The position of an index, clamped into the text; an index inside a
    // line break is the end of its line.
    TEasyCharPos PosOf(int64_t index);

private:
    // Builds the prefix sums up to line (inclusive).
    void Extend(int line);

    TLineCount count_;
    TLineLength length_;
    // starts_[i] is the index of line i; valid for i < valid_.
    std::vector<int64_t> starts_;
    int valid_ = 0;
};

}  // namespace qrv
