// Patterns and lines as a user types them into a search or a rules text.
// The input: a flags byte (bit 0 case-sensitive), the pattern up to the
// first '\n' byte, the line after it. Bytes below 0xF0 are code units of
// their own; 0xF0 and above take the next two bytes as one UTF-16 unit, so
// wide characters, U+0000 and '\n' are reachable too.
//
// Compiling may only raise the invalid-pattern error. Searching both ways
// from every column and matching at every position must stay in bounds and
// within the step budget, and a forward search's match must be what
// matching at its column gives.
#include "editor/EasyRegExpr.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <memory>
#include <string>

namespace {

using namespace qrv;

constexpr size_t kMaxLine = 200;

void Check(bool condition)
{
    if (!condition)
        std::abort();
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
    return 0;
}
