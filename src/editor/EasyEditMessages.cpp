#include "editor/EasyEditMessages.h"

#include <algorithm>
#include <utility>

namespace qrv {

TEasyCharRange SelectionRange(int64_t start, int64_t end, int64_t textLength, int64_t caretIndex)
{
    textLength = std::max<int64_t>(textLength, 0);
    if (start == -1) {
        const int64_t at = std::clamp<int64_t>(caretIndex, 0, textLength);
        return {at, at};
    }
    if (end < 0)
        end = textLength;
    start = std::clamp<int64_t>(start, 0, textLength);
    end = std::clamp<int64_t>(end, 0, textLength);
    if (start > end)
        std::swap(start, end);
    return {start, end};
}

int64_t PackedSelection(const TEasyCharRange& range)
{
    if (range.Start < 0 || range.End < 0 || range.Start > 0xFFFF || range.End > 0xFFFF)
        return -1;
    return range.Start | (range.End << 16);
}

bool TextRange(int64_t start, int64_t end, int64_t textLength, TEasyCharRange& range)
{
    textLength = std::max<int64_t>(textLength, 0);
    if (end < 0)
        end = textLength;
    if (start < 0 || start > end)
        return false;
    range = {std::min(start, textLength), std::min(end, textLength)};
    return range.End > range.Start;
}

int64_t LineCopyLength(int64_t lineLength, uint16_t bufferSize)
{
    return std::clamp<int64_t>(lineLength, 0, bufferSize);
}

}  // namespace qrv
