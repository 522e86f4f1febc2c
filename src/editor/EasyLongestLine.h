#pragma once
// The longest line's length, which the horizontal scroll range follows,
// kept through edits: a changed line that grows past it takes its place, and
// the whole text is measured again only when the longest line itself got
// shorter or went, or when lines moved over a large part of the text.
// Portable.

namespace qrv {

class TEasyStrings;

class TEasyLongestLine {
public:
    // The length in stored characters, measured when not known.
    int Length(const TEasyStrings& lines);
    // An edit changed lines First..Last (Last may be past the end when the
    // line count changed: every line from First on may have moved).
    void Changed(const TEasyStrings& lines, int first, int last, bool countChanged);
    void Forget() { length_ = index_ = -1; }
    bool Known() const { return length_ >= 0; }
    int Index() const { return index_; }

    // Lines measured after an edit at most; more moved lines are measured
    // again when next asked.
    static constexpr int kMeasureLimit = 4096;

private:
    int length_ = -1;
    int index_ = -1;
};

}  // namespace qrv
