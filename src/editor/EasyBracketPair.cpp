#include "editor/EasyBracketPair.h"

#include "editor/EasyStrings.h"

#include <algorithm>
#include <array>
#include <string>

namespace qrv {

namespace {

constexpr std::u16string_view kOpening = u"(<[{";
constexpr std::u16string_view kClosing = u")>]}";

// The partner of the opening bracket at Open found forward from the caret:
// every bracket of its kind between the two is balanced already.
std::optional<TEasyPoint> PartnerAfter(const TEasyStrings& lines, TEasyPoint caret, int lastLine, char16_t open,
                                       char16_t close, int& budget)
{
    int depth = 0;
    for (int y = caret.Y; y <= lastLine && budget > 0; ++y) {
        const std::u16string text = lines.Get(y);
        for (size_t x = y == caret.Y ? size_t(std::max(caret.X, 0)) : 0; x < text.size(); ++x) {
            if (--budget <= 0)
                return std::nullopt;
            if (text[x] == open) {
                ++depth;
            } else if (text[x] == close) {
                if (depth == 0)
                    return TEasyPoint{int(x), y};
                --depth;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<TEasyBracketPair> FindEnclosingBrackets(const TEasyStrings& lines, TEasyPoint caret, int firstLine,
                                                      int lastLine)
{
    const int count = lines.Count();
    if (caret.Y < 0 || caret.Y >= count)
        return std::nullopt;
    firstLine = std::clamp(firstLine, 0, caret.Y);
    lastLine = std::clamp(lastLine, caret.Y, count - 1);
    // Closing brackets met going back that no opening one has taken yet,
    // per kind: an opening bracket of a kind with none open encloses the caret.
    std::array<int, 4> unmatched{};
    // Kinds with no free partner after the caret: a farther opening bracket
    // of the kind has none either.
    std::array<bool, 4> partnerless{};
    int budget = kBracketScanLimit;
    int forwardBudget = kBracketScanLimit;
    for (int y = caret.Y; y >= firstLine && budget > 0; --y) {
        const std::u16string text = lines.Get(y);
        size_t x = y == caret.Y ? std::min(size_t(std::max(caret.X, 0)), text.size()) : text.size();
        while (x > 0 && budget-- > 0) {
            const char16_t c = text[--x];
            if (const size_t kind = kClosing.find(c); kind != std::u16string_view::npos) {
                ++unmatched[kind];
                continue;
            }
            const size_t kind = kOpening.find(c);
            if (kind == std::u16string_view::npos)
                continue;
            if (unmatched[kind] > 0) {
                --unmatched[kind];
                continue;
            }
            if (partnerless[kind])
                continue;
            if (const std::optional<TEasyPoint> close =
                    PartnerAfter(lines, caret, lastLine, c, kClosing[kind], forwardBudget))
                return TEasyBracketPair{{int(x), y}, *close};
            if (forwardBudget <= 0)
                return std::nullopt;
            partnerless[kind] = true;
        }
    }
    return std::nullopt;
}

}  // namespace qrv
