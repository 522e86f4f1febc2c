// Matching a compiled pattern: a backtracking search over the instruction
// program. Whether a match can go on from an instruction at a text position
// depends on nothing else (the line start is column 1 of the text), so each
// (instruction, position) is tried once per call: a second arrival there is
// a path that has already failed. That keeps every search linear in the
// text, even for patterns like {a*}*b that backtrack without end otherwise.

#include "editor/EasyRegExpr.h"
#include "editor/WideText.h"

#include <algorithm>

namespace qrv {

void TEasyRegExpr::Prepare(const char16_t* text, int length, bool atLineStart)
{
    Text_ = text;
    Length_ = std::max(length, 0);
    AtLineStart_ = atLineStart;
    Steps_ = 0;
    Exhausted_ = false;
    Budget_ = StepsPerNodeAndPosition * static_cast<int64_t>(Nodes_.size()) * (Length_ + 1);
    Backtrack.clear();
    if (Backtrack.capacity() < 16)
        Backtrack.reserve(16);

    // Positions run outermost, so the bits the last call set are one prefix.
    const size_t bits = static_cast<size_t>(Length_ + 1) * Program_.size();
    std::fill(Visited_.begin(), Visited_.begin() + std::min(DirtyWords_, Visited_.size()), 0);
    if (Visited_.size() < (bits + 63) / 64)
        Visited_.resize((bits + 63) / 64);
    // Everything counts as dirty until the call ends normally (FinishCall).
    DirtyWords_ = Visited_.size();
    MaxPos_ = 0;
    if (NotCount_ > 0) {
        const size_t results = static_cast<size_t>(NotCount_) * (Length_ + 1);
        std::fill(NotResults_.begin(), NotResults_.begin() + std::min(DirtyResults_, NotResults_.size()), 0);
        if (NotResults_.size() < results)
            NotResults_.resize(results);
    }
    DirtyResults_ = NotResults_.size();
}

void TEasyRegExpr::FinishCall()
{
    const size_t bits = static_cast<size_t>(MaxPos_ + 1) * Program_.size();
    DirtyWords_ = std::min(Visited_.size(), (bits + 63) / 64);
    DirtyResults_ = std::min(NotResults_.size(), static_cast<size_t>(MaxPos_ + 1) * NotCount_);
}

bool TEasyRegExpr::Visit(int pc, int pos)
{
    const size_t bit = static_cast<size_t>(pos) * ProgramSize_ + pc;
    uint64_t& word = Visited_[bit / 64];
    const uint64_t mask = uint64_t(1) << (bit % 64);
    if (word & mask)
        return false;
    word |= mask;
    MaxPos_ = std::max(MaxPos_, pos);
    return true;
}

int TEasyRegExpr::Run(int startPc, int startPos)
{
    const size_t base = Backtrack.size();
    Backtrack.push_back({startPos, startPc});
    while (Backtrack.size() > base) {
        int pos = Backtrack.back().Pos;
        int pc = Backtrack.back().Pc;
        Backtrack.pop_back();
        // Follow one path until it fails; alternatives wait on the stack.
        while (true) {
            if (Steps_ == Budget_) {
                Exhausted_ = true;
                Backtrack.resize(base);
                return -1;
            }
            ++Steps_;
            if (!Visit(pc, pos))
                break;
            const TInstr& in = Program_[pc];
            bool ok = true;
            switch (in.Op) {
            case opChar:
                ok = pos < Length_ && Fold(Text_[pos]) == in.Char;
                ++pos;
                ++pc;
                break;
            case opAny:
                ok = pos < Length_;
                ++pos;
                ++pc;
                break;
            case opSet:
                ok = pos < Length_ && Sets_[in.Arg].Contains(Fold(Text_[pos])) != (in.Arg2 != 0);
                ++pos;
                ++pc;
                break;
            case opLineStart:
                ok = pos == 0 && AtLineStart_;
                ++pc;
                break;
            case opLineEnd:
                ok = pos == Length_;
                ++pc;
                break;
            case opSplit:
                Backtrack.push_back({pos, in.Arg2});
                pc = in.Arg;
                break;
            case opJump:
                pc = in.Arg;
                break;
            case opNot: {
                const bool bodyMatches = NotBodyMatches(pc, pos);
                if (Exhausted_) {
                    Backtrack.resize(base);
                    return -1;
                }
                ok = !bodyMatches && pos < Length_;
                ++pos;
                pc = in.Arg;
                break;
            }
            case opNotEnd:
            case opMatch:
                Backtrack.resize(base);
                return pos;
            }
            if (!ok)
                break;
        }
    }
    return -1;
}

// Whether the body of the negation at pc matches at pos; remembered per
// position, since the answer depends on nothing else.
bool TEasyRegExpr::NotBodyMatches(int pc, int pos)
{
    const TInstr& in = Program_[pc];
    uint8_t& known = NotResults_[static_cast<size_t>(pos) * NotCount_ + in.Arg2];
    if (known != 0)
        return known == 1;
    const int outerMax = MaxPos_;
    MaxPos_ = pos;
    const bool matches = Run(pc + 1, pos) >= 0;
    // The body's marks are of this one question: forget them, so the next
    // question at another position starts clean.
    for (int p = pos; p <= MaxPos_; ++p)
        for (int b = pc + 1; b < in.Arg; ++b) {
            const size_t bit = static_cast<size_t>(p) * ProgramSize_ + b;
            Visited_[bit / 64] &= ~(uint64_t(1) << (bit % 64));
        }
    MaxPos_ = std::max(outerMax, MaxPos_);
    if (!Exhausted_)
        known = matches ? 1 : 2;
    return matches;
}

bool TEasyRegExpr::CanStartAt(int at) const
{
    if (StartAnywhere_ || (at == 0 && StartAtLineStart_ && AtLineStart_))
        return true;
    if (at >= Length_)
        return false;
    const char16_t c = Text_[at];
    return c < 256 ? StartByChar_[c] != 0 : StartHigh_;
}

int TEasyRegExpr::NextStart(int at) const
{
    if (StartAnywhere_ || (at == 0 && StartAtLineStart_ && AtLineStart_))
        return at;
    if (StartLow_.none() && !StartHigh_)  // only ^ paths, past column 1
        return Length_ + 1;
    for (; at < Length_; ++at) {
        const char16_t c = Text_[at];
        if (c < 256 ? StartByChar_[c] != 0 : StartHigh_)
            return at;
    }
    return Length_ + 1;
}

bool TEasyRegExpr::MatchAt(const char16_t* text, int length, bool atLineStart, int& matchLength)
{
    Prepare(text, length, atLineStart);
    const int end = Run(0, 0);
    FinishCall();
    if (end < 0)
        return false;
    matchLength = std::max(end, 1);
    return true;
}

bool TEasyRegExpr::Search(const char16_t* text, int textLength, bool forward, int& matchLength, TEasyPoint& pos)
{
    const int length = std::max(textLength, 0);
    pos.X = std::min(pos.X, forward ? length + 1 : length);
    if (Pattern_ == u"$" && (forward || pos.X == length)) {
        pos.X = length + 1;
        matchLength = 0;
        return true;
    }
    if (length == 0) {  // only the anchors match an empty line
        const bool found = IsAnchorOnly();
        pos.X = found ? 1 : 0;
        matchLength = 0;
        return found;
    }
    const int start = std::max(pos.X, 1) - 1;
    Prepare(text, length, true);
    const auto attempt = [&](int at) {
        const int end = Run(0, at);
        if (Exhausted_) {
            FinishCall();
            throw EEasyRegExprTooComplex(ToWide(Pattern_) + L" is too complex at (" + std::to_wstring(at + 1) + L")");
        }
        if (end < 0)
            return false;
        pos.X = at + 1;
        matchLength = end - at;
        return true;
    };
    bool found = false;
    if (forward) {
        for (int at = NextStart(start); at <= length && !found; at = NextStart(at + 1))
            found = attempt(at);
    } else {
        for (int at = start; at >= 0 && !found; --at)
            found = CanStartAt(at) && attempt(at);
    }
    FinishCall();
    if (!found) {
        pos.X = 0;
        matchLength = 0;
        Backtrack.clear();
    }
    return found;
}

bool TEasyRegExpr::SearchLine(std::u16string_view line, TEasyPoint& pos, bool forward, int& matchLength)
{
    return Search(line.data(), static_cast<int>(line.size()), forward, matchLength, pos);
}

}  // namespace qrv

namespace qrv {

bool TEasyRegExpr::Search(std::u16string_view line, int& column, bool forward, int& matchLength)
{
    TEasyPoint pos{column, 0};
    const bool found = SearchLine(line, pos, forward, matchLength);
    column = pos.X;
    return found;
}

}  // namespace qrv
