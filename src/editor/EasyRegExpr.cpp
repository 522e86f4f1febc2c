// Compiling a pattern: parsing it into items, the node list in pattern
// order, and the instruction program the matcher runs.

#include "editor/EasyRegExpr.h"
#include "editor/WideText.h"

#include <algorithm>

namespace qrv {

void TEasyCharSetTable::Add(char16_t c)
{
    if (c < 256) {
        Low.set(c);
        return;
    }
    if (!High.empty() && High.back().second + 1 == c) {
        High.back().second = c;
        return;
    }
    if (!Contains(c))
        High.emplace_back(c, c);
}

void TEasyCharSetTable::AddRange(char16_t first, char16_t last)
{
    for (unsigned c = first; c <= last && c < 256; ++c)
        Low.set(c);
    if (last >= 256)
        High.emplace_back(std::max<char16_t>(first, 256), last);
}

bool TEasyCharSetTable::Contains(char16_t c) const
{
    if (c < 256)
        return Low.test(c);
    for (const auto& [first, last] : High)
        if (c >= first && c <= last)
            return true;
    return false;
}

bool IsAnchorOnlyPattern(std::u16string_view pattern)
{
    return pattern == u"^" || pattern == u"$" || pattern == u"^$";
}

// One item of a sequence: an atom, perhaps negated, perhaps quantified.
struct TEasyRegExpr::TItem {
    enum TAtom { Char, Any, Set, LineStart, LineEnd, Group } Atom = Char;
    char16_t Ch = 0;
    bool Escaped = false;
    bool Negated = false;
    char16_t Quantifier = 0;  // 0, '*', '+' or '|'
    int SetIndex = -1;
    bool SetNegated = false;
    TSequence Children;
};

// Recursive descent over the pattern; positions in errors are 1-based.
class TEasyRegExpr::TCompiler {
public:
    TCompiler(TEasyRegExpr& owner) : re_(owner), p_(owner.Pattern_) {}

    TSequence ParseAll()
    {
        TSequence sequence = ParseSequence(0);
        if (i_ < p_.size())  // a '}' without its '{'
            Fail(i_);
        return sequence;
    }

private:
    [[noreturn]] void Fail(size_t index) const
    {
        throw EEasyRegExprError(ToWide(p_) + L" is invalid mask at (" + std::to_wstring(index + 1) + L")");
    }

    bool AtEnd() const { return i_ >= p_.size(); }

    char16_t Literal(char16_t c) const { return re_.Fold(c); }

    // '#' followed by decimal digits: the code modulo 256, however long.
    char16_t ParseCode()
    {
        const size_t at = i_++;
        unsigned code = 0;
        size_t digits = 0;
        while (!AtEnd() && p_[i_] >= u'0' && p_[i_] <= u'9') {
            code = (code * 10 + (p_[i_] - u'0')) % 256;
            ++i_;
            ++digits;
        }
        if (digits == 0)
            Fail(at);
        return static_cast<char16_t>(code);
    }

    TSequence ParseSequence(int depth)
    {
        TSequence sequence;
        bool negate = false;
        size_t negateAt = 0;
        while (!AtEnd() && p_[i_] != u'}') {
            const char16_t c = p_[i_];
            if (c == u'!') {
                negate = true;
                negateAt = i_++;
                if (AtEnd())
                    Fail(negateAt);
                continue;
            }
            if (c == u'*' || c == u'+' || c == u'|') {
                // The quantified item is the last one, unquantified, and
                // one that can be repeated; a pending '!' has no item.
                if (negate || sequence.empty() || sequence.back().Quantifier != 0 ||
                    sequence.back().Atom == TItem::LineStart || sequence.back().Atom == TItem::LineEnd)
                    Fail(i_);
                sequence.back().Quantifier = c;
                ++i_;
                continue;
            }
            TItem item;
            item.Negated = negate;
            negate = false;
            switch (c) {
            case u'{': {
                if (depth + 1 > MaxDepth)
                    Fail(i_);
                ++i_;
                item.Atom = TItem::Group;
                item.Children = ParseSequence(depth + 1);
                if (AtEnd())
                    Fail(i_);
                ++i_;  // '}'
                break;
            }
            case u'[':
                ParseSet(item);
                break;
            case u'\\':
                if (i_ + 1 >= p_.size())
                    Fail(i_);
                item.Escaped = true;
                item.Ch = Literal(p_[i_ + 1]);
                i_ += 2;
                break;
            case u'#':
                item.Ch = Literal(ParseCode());
                break;
            case u'.':
                item.Atom = TItem::Any;
                ++i_;
                break;
            case u'^':
                item.Atom = TItem::LineStart;
                ++i_;
                break;
            case u'$':
                item.Atom = TItem::LineEnd;
                ++i_;
                break;
            default:
                item.Ch = Literal(c);
                ++i_;
                break;
            }
            if (item.Negated && depth + 1 > MaxDepth)
                Fail(negateAt);
            sequence.push_back(std::move(item));
        }
        if (negate)  // "!}"
            Fail(i_);
        if (AtEnd() && depth > 0)
            Fail(i_);
        return sequence;
    }

    // One member of a set: a character, '#nnn' or an escaped special.
    char16_t ParseMember()
    {
        const char16_t c = p_[i_];
        if (c == u'#')
            return ParseCode();
        if (c == u'\\' && i_ + 1 < p_.size() &&
            std::u16string_view(u"!$*+-.[\\]^{|}").find(p_[i_ + 1]) != std::u16string_view::npos) {
            i_ += 2;
            return p_[i_ - 1];
        }
        ++i_;
        return c;
    }

    void AddFolded(TEasyCharSetTable& set, char16_t first, char16_t last)
    {
        if (re_.CaseSensitive_) {
            set.AddRange(first, last);
            return;
        }
        // Every member as the text will be compared: upper-cased. A very
        // wide range above the Latin page keeps only its ends folded.
        for (unsigned c = first; c <= last && c < 256; ++c)
            set.Add(Literal(static_cast<char16_t>(c)));
        if (last < 256)
            return;
        const unsigned wideFirst = std::max<unsigned>(first, 256);
        if (last - wideFirst <= 4096) {
            for (unsigned c = wideFirst; c <= last; ++c)
                set.Add(Literal(static_cast<char16_t>(c)));
        } else {
            const char16_t a = Literal(static_cast<char16_t>(wideFirst));
            const char16_t b = Literal(last);
            set.AddRange(std::min(a, b), std::max(a, b));
        }
    }

    void ParseSet(TItem& item)
    {
        item.Atom = TItem::Set;
        ++i_;  // '['
        TEasyCharSetTable set;
        if (!AtEnd() && p_[i_] == u'^') {
            item.SetNegated = true;
            ++i_;
        }
        bool empty = true;
        while (true) {
            if (AtEnd())
                Fail(i_);
            if (p_[i_] == u']') {
                if (empty)
                    Fail(i_);
                ++i_;
                break;
            }
            if (p_[i_] == u'-')  // a range without its first character
                Fail(i_);
            const char16_t first = ParseMember();
            char16_t last = first;
            if (!AtEnd() && p_[i_] == u'-') {
                ++i_;
                if (AtEnd() || p_[i_] == u']' || p_[i_] == u'-')
                    Fail(i_);
                last = ParseMember();
            }
            if (first <= last)
                AddFolded(set, first, last);
            empty = false;
        }
        item.SetIndex = static_cast<int>(re_.Sets_.size());
        re_.Sets_.push_back(std::move(set));
    }

    TEasyRegExpr& re_;
    const std::u16string& p_;
    size_t i_ = 0;
};

namespace {

// The node list of a sequence, in pattern order, as the rules' first-
// character index reads it.
struct TNodeWriter {
    std::vector<TEasyRegExprNode>& nodes;

    int Add(TEasyNodeKind kind, bool negated, char16_t ch = 0)
    {
        TEasyRegExprNode node;
        node.Kind = kind;
        node.Negated = negated;
        node.Char = ch;
        nodes.push_back(std::move(node));
        return static_cast<int>(nodes.size()) - 1;
    }
};

}  // namespace

TEasyRegExpr::TEasyRegExpr(std::u16string_view pattern, bool caseSensitive)
    : Pattern_(pattern), CaseSensitive_(caseSensitive)
{
    Compile();
}

char16_t TEasyRegExpr::FoldHigh(char16_t c) const
{
    return CaseSensitive_ ? c : SearchUpperCase(c);
}

void TEasyRegExpr::Compile()
{
    for (unsigned c = 0; c < 256; ++c)
        FoldLow_[c] = CaseSensitive_ ? static_cast<char16_t>(c) : SearchUpperCase(static_cast<char16_t>(c));
    TCompiler compiler(*this);
    const TSequence sequence = compiler.ParseAll();

    // Nodes: quantified single items get an implicit group around them;
    // every node of a quantified item links to the item's close node.
    struct Walker {
        TEasyRegExpr& re;
        void Sequence(const TSequence& items)
        {
            for (const TItem& item : items)
                Item(item);
        }
        void Item(const TItem& item)
        {
            TNodeWriter writer{re.Nodes_};
            const int first = static_cast<int>(re.Nodes_.size());
            const bool grouped = item.Atom == TItem::Group || item.Quantifier != 0;
            if (grouped)
                writer.Add(nkGroupOpen, item.Negated);
            switch (item.Atom) {
            case TItem::Char:
                if (item.Escaped)
                    writer.Add(nkEscaped, item.Negated, item.Ch);
                writer.Add(nkChar, item.Negated, item.Ch);
                break;
            case TItem::Any:
                writer.Add(nkAny, item.Negated);
                break;
            case TItem::Set: {
                const int at = writer.Add(nkSet, item.Negated);
                re.Nodes_[at].SetNegated = item.SetNegated;
                re.Nodes_[at].CharSet = re.Sets_[item.SetIndex];
                break;
            }
            case TItem::LineStart:
                writer.Add(nkLineStart, item.Negated);
                break;
            case TItem::LineEnd:
                writer.Add(nkLineEnd, item.Negated);
                break;
            case TItem::Group:
                Sequence(item.Children);
                break;
            }
            if (grouped) {
                const int close = writer.Add(nkGroupClose, item.Negated);
                if (item.Quantifier != 0) {
                    for (int n = first; n <= close; ++n)
                        if (re.Nodes_[n].Link == -1)
                            re.Nodes_[n].Link = close;
                    writer.Add(item.Quantifier == u'*' ? nkStar : item.Quantifier == u'+' ? nkPlus : nkOptional, false);
                }
            }
        }
    } walker{*this};
    walker.Sequence(sequence);
    TNodeWriter{Nodes_}.Add(nkChar, false, 0);  // end node

    Emit(sequence);
    Program_.push_back({opMatch});
    ProgramSize_ = static_cast<int>(Program_.size());
    ComputeStartTable();
}

void TEasyRegExpr::Emit(const TSequence& sequence)
{
    for (const TItem& item : sequence)
        EmitItem(item);
}

void TEasyRegExpr::EmitItem(const TItem& item)
{
    const auto here = [this] { return static_cast<int>(Program_.size()); };
    switch (item.Quantifier) {
    case u'*': {
        // L: split body, out; body; jump L
        const int loop = here();
        Program_.push_back({opSplit, 0, loop + 1, 0});
        EmitAtom(item);
        Program_.push_back({opJump, 0, loop, 0});
        Program_[loop].Arg2 = here();
        break;
    }
    case u'+': {
        // L: body; split L, out
        const int loop = here();
        EmitAtom(item);
        Program_.push_back({opSplit, 0, loop, here() + 1});
        break;
    }
    case u'|': {
        const int split = here();
        Program_.push_back({opSplit, 0, split + 1, 0});
        EmitAtom(item);
        Program_[split].Arg2 = here();
        break;
    }
    default:
        EmitAtom(item);
        break;
    }
}

void TEasyRegExpr::EmitAtom(const TItem& item)
{
    int notAt = -1;
    if (item.Negated) {
        // not: the body must fail here, then one character is consumed
        notAt = static_cast<int>(Program_.size());
        Program_.push_back({opNot, 0, 0, NotCount_++});
    }
    switch (item.Atom) {
    case TItem::Char:
        Program_.push_back({opChar, item.Ch});
        break;
    case TItem::Any:
        Program_.push_back({opAny});
        break;
    case TItem::Set:
        Program_.push_back({opSet, 0, item.SetIndex, item.SetNegated ? 1 : 0});
        break;
    case TItem::LineStart:
        Program_.push_back({opLineStart});
        break;
    case TItem::LineEnd:
        Program_.push_back({opLineEnd});
        break;
    case TItem::Group:
        Emit(item.Children);
        break;
    }
    if (notAt >= 0) {
        Program_.push_back({opNotEnd});
        Program_[notAt].Arg = static_cast<int>(Program_.size());
    }
}

// Which first characters can begin a match: every path from the start up to
// its first consuming instruction.
void TEasyRegExpr::ComputeStartTable()
{
    StartAnywhere_ = false;
    StartAtLineStart_ = false;
    StartLow_.reset();
    StartHigh_ = false;
    std::vector<bool> seen(Program_.size());
    std::vector<int> work{0};
    while (!work.empty()) {
        const int pc = work.back();
        work.pop_back();
        if (seen[pc])
            continue;
        seen[pc] = true;
        const TInstr& in = Program_[pc];
        switch (in.Op) {
        case opChar:
            if (in.Char < 256)
                StartLow_.set(in.Char);
            else
                StartHigh_ = true;
            break;
        case opSet:
            if (in.Arg2 != 0) {
                StartAnywhere_ = true;
            } else {
                StartLow_ |= Sets_[in.Arg].Low;
                StartHigh_ = StartHigh_ || !Sets_[in.Arg].High.empty();
            }
            break;
        case opLineStart:
            StartAtLineStart_ = true;  // such paths begin at column 1 only
            break;
        case opSplit:
            work.push_back(in.Arg2);
            work.push_back(in.Arg);
            break;
        case opJump:
            work.push_back(in.Arg);
            break;
        default:  // any character, a negation, the line end, an empty match
            StartAnywhere_ = true;
            break;
        }
    }
    for (unsigned c = 0; c < 256; ++c) {
        const char16_t folded = FoldLow_[c];
        StartByChar_[c] = folded < 256 ? StartLow_.test(folded) : StartHigh_;
    }
}

void TEasyRegExpr::FirstChars(TEasyCharSetTable& chars, bool& anyChar) const
{
    anyChar = false;
    std::vector<bool> seen(Program_.size());
    std::vector<int> work{0};
    while (!work.empty()) {
        const int pc = work.back();
        work.pop_back();
        if (seen[pc])
            continue;
        seen[pc] = true;
        const TInstr& in = Program_[pc];
        switch (in.Op) {
        case opChar:
            chars.Add(in.Char);
            break;
        case opSet:
            if (in.Arg2 != 0) {
                anyChar = true;
            } else {
                chars.Low |= Sets_[in.Arg].Low;
                for (const auto& range : Sets_[in.Arg].High)
                    chars.High.push_back(range);
            }
            break;
        case opLineStart:
        case opLineEnd:
            work.push_back(pc + 1);
            break;
        case opSplit:
            work.push_back(in.Arg2);
            work.push_back(in.Arg);
            break;
        case opJump:
            work.push_back(in.Arg);
            break;
        default:
            anyChar = true;
            break;
        }
    }
}

const TEasyRegExprNode* TEasyRegExpr::FirstCharNode() const
{
    for (const TEasyRegExprNode& node : Nodes_) {
        if (node.Kind == nkChar && node.Char == 0 && &node == &Nodes_.back())
            return nullptr;
        if (node.Kind == nkChar || node.Kind == nkAny || node.Kind == nkSet || node.Kind == nkEscaped)
            return &node;
    }
    return nullptr;
}

bool TEasyRegExpr::IsAnchorOnly() const
{
    return IsAnchorOnlyPattern(Pattern_);
}

}  // namespace qrv
