#pragma once
// TEasyRegExpr: the editor's own small pattern matcher, used by the syntax
// rules and by regular-expression searches. Portable.
//
// The dialect: `|` after an item makes it optional (there is no
// alternation), `*` and `+` repeat it, `{ }` group, `[...]` is a set with
// ranges and a leading `^`, `.` is any character, `^` and `$` anchor to the
// line, `\x` takes x literally, `#nnn` is the character with the code nnn
// modulo 256, and `!` before an item matches one character where the item
// does not match. Without CaseSensitive both sides are compared upper-cased
// with the line list's search mapping (SearchUpperCase), so regular and
// plain searches agree on "ä" and "Ä".
//
// Matching is a backtracking search over a small instruction program that
// remembers every (instruction, position) it has tried and failed from, so a
// search costs at most a fixed number of steps per instruction and text
// position; a step budget guards the rest (the bodies of negated items).

#include "editor/EasyFindText.h"
#include "framework/SysUtils.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qrv {

// A pattern that does not compile: "%s is invalid mask at (%d)".
QRV_DECLARE_EXCEPTION(EEasyRegExprError, Exception);
// A search that ran out of its step budget: "%s is too complex at (%d)".
QRV_DECLARE_EXCEPTION(EEasyRegExprTooComplex, EEasyRegExprError);

enum TEasyNodeKind : uint8_t {
    nkChar = 0,        // one equal character; character 0 is the end node
    nkAny = 1,         // .
    nkSet = 2,         // [...]
    nkLineStart = 3,   // ^
    nkLineEnd = 4,     // $
    nkGroupOpen = 5,   // { or the implicit group before a quantified item
    nkGroupClose = 6,  // } or the implicit group after it
    nkEscaped = 7,     // first node of \x: a literal follows
    nkPlus = 8,        // +
    nkOptional = 9,    // |
    nkStar = 10,       // *
};

// Member characters of a set: a table for the codes below 256, ranges for
// the codes above, so every UTF-16 code unit is compared in full.
struct TEasyCharSetTable {
    std::bitset<256> Low;
    std::vector<std::pair<char16_t, char16_t>> High;  // inclusive, all >= 256

    void Add(char16_t c);
    void AddRange(char16_t first, char16_t last);
    bool Contains(char16_t c) const;
};

// One node of the compiled pattern, in pattern order.
struct TEasyRegExprNode {
    int Link = -1;  // close node of the quantified item this node belongs to
    bool Negated = false;
    TEasyNodeKind Kind = nkChar;
    char16_t Char = 0;  // kinds 0 and 7; upper-cased unless case-sensitive
    bool SetNegated = false;
    TEasyCharSetTable CharSet;  // kind 2
};

class TEasyRegExpr : public TEasyLineMatcher {
public:
    // Nesting of groups and negations deeper than this is an invalid pattern.
    static constexpr int MaxDepth = 64;
    // Steps allowed per call: this many per node and text position.
    static constexpr int64_t StepsPerNodeAndPosition = 8;

    // Compiles at once; a bad pattern raises EEasyRegExprError.
    TEasyRegExpr(std::u16string_view pattern, bool caseSensitive);
    ~TEasyRegExpr() override = default;
    TEasyRegExpr(const TEasyRegExpr&) = delete;
    TEasyRegExpr& operator=(const TEasyRegExpr&) = delete;

    const std::u16string& Pattern() const { return Pattern_; }
    bool CaseSensitive() const { return CaseSensitive_; }
    const std::vector<TEasyRegExprNode>& Nodes() const { return Nodes_; }

    // Tries the pattern with its first character at text[0]; the text ends
    // after length characters (U+0000 inside it is a character). True with
    // the number of characters matched, at least 1. Running out of steps
    // answers false.
    bool MatchAt(const char16_t* text, int length, bool atLineStart, int& matchLength);

    // The first match at or after (forward) or starting at or before
    // (backward) the 1-based column pos.X. True: pos.X its column and
    // matchLength its length; false: both 0. A backward search from beyond
    // the text starts at its last column; a forward one finds only what
    // matches at its end, so "find next" after a match at the end of a
    // line does not find it again. Running out of steps raises
    // EEasyRegExprTooComplex.
    bool Search(const char16_t* text, int textLength, bool forward, int& matchLength, TEasyPoint& pos);
    bool SearchLine(std::u16string_view line, TEasyPoint& pos, bool forward, int& matchLength);
    // The editor's line search (FindText) with this pattern.
    bool Search(std::u16string_view line, int& column, bool forward, int& matchLength) override;

    // The first node that consumes a character (kinds 0, 1, 2, 7), or null.
    const TEasyRegExprNode* FirstCharNode() const;
    // The pattern is exactly "^", "$" or "^$".
    bool IsAnchorOnly() const;
    // The (folded) characters a match can begin with, past any anchors;
    // anyChar when it can begin with any character (a negation, a negated
    // set, '.', or a match that may be empty).
    void FirstChars(TEasyCharSetTable& chars, bool& anyChar) const;

    // Steps taken by the last MatchAt or Search, and the budget it had.
    int64_t Steps() const { return Steps_; }
    int64_t StepBudget() const { return Budget_; }

private:
    enum TOp : uint8_t { opChar, opAny, opSet, opLineStart, opLineEnd, opSplit, opJump, opNot, opNotEnd, opMatch };
    struct TInstr {
        TOp Op;
        char16_t Char = 0;
        int Arg = 0;   // set index (opSet), first branch (opSplit), target (opJump), end (opNot)
        int Arg2 = 0;  // second branch (opSplit), negation index (opNot)
    };
    struct TBacktrack {
        int Pos;
        int Pc;
    };
    struct TItem;
    using TSequence = std::vector<TItem>;

    void Compile();
    class TCompiler;
    void Emit(const TSequence& sequence);
    void EmitItem(const TItem& item);
    void EmitAtom(const TItem& item);
    void ComputeStartTable();

    char16_t Fold(char16_t c) const { return c < 256 ? FoldLow_[c] : FoldHigh(c); }
    char16_t FoldHigh(char16_t c) const;
    // The first column from at on where a match can start, or beyond the end.
    int NextStart(int at) const;
    bool CanStartAt(int at) const;
    // Resets the per-call scratch state for a text of the given length.
    void Prepare(const char16_t* text, int length, bool atLineStart);
    // Records which visited marks the next call has to clear.
    void FinishCall();
    // The end of a match of the program (or of a negated item's body) that
    // starts at (pc, pos), or -1.
    int Run(int pc, int pos);
    bool NotBodyMatches(int pc, int pos);
    bool Visit(int pc, int pos);

    std::u16string Pattern_;
    bool CaseSensitive_;
    std::vector<TEasyRegExprNode> Nodes_;

    std::vector<TInstr> Program_;
    std::vector<TEasyCharSetTable> Sets_;
    int NotCount_ = 0;
    // Columns a match can start at, by the (folded) first character.
    bool StartAnywhere_ = true;
    bool StartAtLineStart_ = false;  // some path begins with ^: column 1 is tried
    std::bitset<256> StartLow_;      // by folded character
    bool StartHigh_ = false;
    uint8_t StartByChar_[256] = {};  // by the text's own character below 256
    char16_t FoldLow_[256] = {};
    int ProgramSize_ = 0;

    // Scratch state of one call.
    const char16_t* Text_ = nullptr;
    int Length_ = 0;
    bool AtLineStart_ = false;
    std::vector<uint64_t> Visited_;  // a bit per (position, instruction)
    size_t DirtyWords_ = 0;
    int MaxPos_ = 0;
    // Per position and negation: 0 unknown, 1 its body matches there, 2 not.
    std::vector<uint8_t> NotResults_;
    size_t DirtyResults_ = 0;
    std::vector<TBacktrack> Backtrack;
    int64_t Steps_ = 0;
    int64_t Budget_ = 0;
    bool Exhausted_ = false;
};

// The pattern text is exactly "^", "$" or "^$": what matches an empty line.
bool IsAnchorOnlyPattern(std::u16string_view pattern);

}  // namespace qrv
