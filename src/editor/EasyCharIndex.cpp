#include "editor/EasyCharIndex.h"

#include "editor/EasyStrings.h"

#include <algorithm>

namespace qrv {

namespace {
constexpr int64_t LineBreakLength = 2;
}

TEasyCharIndex::TEasyCharIndex(TLineCount count, TLineLength length)
    : count_(std::move(count)), length_(std::move(length))
{}

TEasyCharIndex::TEasyCharIndex(const TEasyStrings& lines)
    : TEasyCharIndex([&lines] { return lines.Count(); },
                     [&lines](int line) { return static_cast<int>(lines.GetStored(line).size()); })
{}

void TEasyCharIndex::Invalidate(int fromLine)
{
    valid_ = std::clamp(fromLine, 0, valid_);
}

void TEasyCharIndex::Extend(int line)
{
    const int count = count_();
    line = std::min(line, count - 1);
    if (line < valid_)
        return;
    starts_.resize(static_cast<size_t>(count));
    int64_t start = 0;
    if (valid_ > 0)
        start = starts_[size_t(valid_ - 1)] + length_(valid_ - 1) + LineBreakLength;
    for (int i = valid_; i <= line; ++i) {
        starts_[size_t(i)] = start;
        start += length_(i) + LineBreakLength;
    }
    valid_ = line + 1;
}

int64_t TEasyCharIndex::TextLength()
{
    const int count = count_();
    if (count == 0)
        return 0;
    Extend(count - 1);
    return starts_[size_t(count - 1)] + length_(count - 1);
}

int64_t TEasyCharIndex::LineIndex(int line)
{
    if (line < 0 || line >= count_())
        return -1;
    Extend(line);
    return starts_[size_t(line)];
}

int TEasyCharIndex::LineFromChar(int64_t index)
{
    const int count = count_();
    if (count == 0 || index <= 0)
        return 0;
    // Build in growing steps until a line starts past the index.
    Extend(0);
    while (valid_ < count && starts_[size_t(valid_ - 1)] <= index)
        Extend(static_cast<int>(std::min<int64_t>(int64_t(valid_) * 2, count)) - 1);
    const auto begin = starts_.begin();
    const auto end = begin + valid_;
    // The last line starting at or before the index.
    const auto after = std::upper_bound(begin, end, index);
    return std::min(static_cast<int>(after - begin) - 1, count - 1);
}

int64_t TEasyCharIndex::IndexOf(TEasyCharPos pos)
{
    const int count = count_();
    if (count == 0)
        return 0;
    if (pos.Line < 0)
        return 0;
    if (pos.Line >= count)
        return TextLength();
    const int column = std::clamp(pos.Column, 0, length_(pos.Line));
    return LineIndex(pos.Line) + column;
}

TEasyCharPos TEasyCharIndex::PosOf(int64_t index)
{
    if (count_() == 0)
        return {};
    const int line = LineFromChar(index);
    const int64_t column = std::clamp<int64_t>(index - LineIndex(line), 0, length_(line));
    return {static_cast<int>(column), line};
}

}  // namespace qrv
