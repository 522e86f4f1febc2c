// Patterns and lines as a user types them into a search or a rules text.
// The input: a flags byte (bit 0 case-sensitive), the pattern up to the
// first '\n' byte, the line after it. Bytes below 0xF0 are code units of
// their own; 0xF0 and above take the next two bytes as one UTF-16 unit, so
// wide characters, U+0000 and '\n' are reachable too.
//
// Compiling may only raise the invalid-pattern error. Searching both ways
// from every column and matching at every position must stay in bounds and
// within the step budget, and a forward search's match must be what
// matching at its column gives. Case-sensitive patterns without '!' are
// also written in PCRE2's syntax, from the compiled node list, and both
// engines must find the same matches on the line.
#include "editor/EasyRegExpr.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <memory>
#include <cstdio>
#include <utility>
#include <vector>
#include <string>

namespace {

using namespace qrv;

constexpr size_t kMaxLine = 200;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The node list in PCRE2's syntax; false when it has no counterpart there.
void Hex(std::u16string& out, unsigned c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "\\x{%x}", c);
    for (const char* p = buffer; *p; ++p)
        out += static_cast<char16_t>(*p);
}

bool ToPcre(const TEasyRegExpr& re, std::u16string& out)
{
    const auto& nodes = re.Nodes();
    for (size_t n = 0; n + 1 < nodes.size(); ++n) {
        const TEasyRegExprNode& node = nodes[n];
        if (node.Negated)
            return false;
        switch (node.Kind) {
        case nkChar:
            Hex(out, node.Char);
            break;
        case nkEscaped:
            break;  // the literal follows as a character node
        case nkAny:
            out += u".";
            break;
        case nkLineStart:
            out += u"^";
            break;
        case nkLineEnd:
            out += u"$";
            break;
        case nkGroupOpen:
            out += u"(?:";
            break;
        case nkGroupClose:
            out += u")";
            break;
        case nkStar:
            out += u"*";
            break;
        case nkPlus:
            out += u"+";
            break;
        case nkOptional:
            out += u"?";
            break;
        case nkSet: {
            std::u16string members;
            for (unsigned c = 0; c < 256; ++c)
                if (node.CharSet.Low.test(c))
                    Hex(members, c);
            for (const auto& [first, last] : node.CharSet.High) {
                Hex(members, first);
                members += u"-";
                Hex(members, last);
            }
            if (members.empty())  // PCRE2 has no empty class
                return false;
            out += node.SetNegated ? u"[^" : u"[";
            out += members + u"]";
            break;
        }
        }
    }
    return true;
}

// All matches from column 1 on, as the editor's find-next walks them.
using Match = std::pair<int, int>;

bool OursAll(TEasyRegExpr& re, const std::u16string& line, std::vector<Match>& matches)
{
    const int length = static_cast<int>(line.size());
    TEasyPoint pos{1, 0};
    int matchLength = 0;
    try {
        while (pos.X <= length + 1 && re.SearchLine(line, pos, true, matchLength)) {
            matches.emplace_back(pos.X, matchLength);
            pos.X += std::max(matchLength, 1);
        }
    } catch (const EEasyRegExprTooComplex&) {
        return false;
    }
    return true;
}

bool PcreAll(const std::u16string& pattern, const std::u16string& line, std::vector<Match>& matches)
{
    int error = 0;
    PCRE2_SIZE at = 0;
    pcre2_code_16* code = pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern.c_str()), pattern.size(),
                                           PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY, &error, &at, nullptr);
    Check(code != nullptr);
    pcre2_match_data_16* data = pcre2_match_data_create_from_pattern_16(code, nullptr);
    const auto* subject = reinterpret_cast<PCRE2_SPTR16>(line.data());
    bool complete = true;
    for (PCRE2_SIZE from = 0; from <= line.size();) {
        const int rc = pcre2_match_16(code, subject, line.size(), from, 0, data, nullptr);
        if (rc < 0) {
            complete = rc == PCRE2_ERROR_NOMATCH;  // a resource limit: no verdict
            break;
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer_16(data);
        matches.emplace_back(static_cast<int>(ovector[0]) + 1, static_cast<int>(ovector[1] - ovector[0]));
        from = ovector[1] > ovector[0] ? ovector[1] : ovector[0] + 1;
    }
    pcre2_match_data_free_16(data);
    pcre2_code_free_16(code);
    return complete;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool caseSensitive = data[0] & 1;
    std::u16string pattern;
    std::u16string line;
    std::u16string* target = &pattern;
    for (size_t i = 1; i < size; ++i) {
        char16_t unit = data[i];
        if (data[i] == '\n' && target == &pattern) {
            target = &line;
            continue;
        }
        if (data[i] >= 0xF0) {
            if (i + 2 >= size)
                break;
            unit = static_cast<char16_t>(data[i + 1] | (data[i + 2] << 8));
            i += 2;
        }
        target->push_back(unit);
    }
    if (line.size() > kMaxLine)
        line.resize(kMaxLine);

    std::unique_ptr<TEasyRegExpr> re;
    try {
        re = std::make_unique<TEasyRegExpr>(pattern, caseSensitive);
    } catch (const EEasyRegExprError&) {
        return 0;
    }
    const int length = static_cast<int>(line.size());

    for (int at = 0; at <= length; ++at) {
        int matchLength = -1;
        if (re->MatchAt(line.data() + at, length - at, at == 0, matchLength))
            Check(matchLength >= 1 && at + matchLength <= length + 1);
        Check(re->Steps() <= re->StepBudget());
    }

    for (const bool forward : {true, false}) {
        for (int column = 0; column <= length + 1; ++column) {
            TEasyPoint pos{column, 0};
            int matchLength = -1;
            bool found = false;
            try {
                found = re->SearchLine(line, pos, forward, matchLength);
            } catch (const EEasyRegExprTooComplex&) {
                Check(re->Steps() <= re->StepBudget());
                continue;
            }
            Check(re->Steps() <= re->StepBudget());
            if (!found) {
                Check(pos.X == 0 && matchLength == 0);
                continue;
            }
            Check(pos.X >= 1 && pos.X <= length + 1 && matchLength >= 0);
            Check(pos.X - 1 + matchLength <= length);
            if (length > 0 && pattern != u"$") {
                const int from = std::max(std::min(column, forward ? length + 1 : length), 1);
                Check(forward ? pos.X >= from : pos.X <= from);
            }
            if (forward && matchLength > 0 && length > 0) {
                // The found match is the one the pattern gives at that column.
                const int at = pos.X - 1;
                int anchored = -1;
                if (re->MatchAt(line.data() + at, length - at, at == 0, anchored))
                    Check(anchored == matchLength);
                else
                    Check(re->Steps() == re->StepBudget());
            }
        }
    }

    std::u16string pcrePattern;
    if (caseSensitive && !line.empty() && ToPcre(*re, pcrePattern)) {
        std::vector<Match> ours, reference;
        if (OursAll(*re, line, ours) && PcreAll(pcrePattern, line, reference))
            Check(ours == reference);
    }
    // A fresh object agrees with the one reused across all the calls above.
    TEasyRegExpr fresh(pattern, caseSensitive);
    std::vector<Match> reused, again;
    if (OursAll(*re, line, reused) && OursAll(fresh, line, again))
        Check(reused == again);
    return 0;
}
