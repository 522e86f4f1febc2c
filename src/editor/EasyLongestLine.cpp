#include "editor/EasyLongestLine.h"

#include "editor/EasyStrings.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

int StoredLength(const TEasyStrings& lines, int line)
{
    return static_cast<int>(std::min<size_t>(lines.GetStored(line).size(), INT_MAX - 1));
}

}  // namespace

int TEasyLongestLine::Length(const TEasyStrings& lines)
{
    if (length_ < 0) {
        length_ = 0;
        index_ = -1;
        for (int i = 0, count = lines.Count(); i < count; ++i)
            if (const int length = StoredLength(lines, i); length > length_ || index_ < 0) {
                length_ = length;
                index_ = i;
            }
    }
    return length_;
}

void TEasyLongestLine::Changed(const TEasyStrings& lines, int first, int last, bool countChanged)
{
    if (length_ < 0)
        return;  // measured when asked
    const int count = lines.Count();
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    if (first > last) {
        // Lines went from the end: the longest may have been one of them.
        if (index_ >= count)
            Forget();
        return;
    }
    if (int64_t(last) - first >= kMeasureLimit) {
        Forget();
        return;
    }
    int longest = -1, at = -1;
    for (int i = first; i <= last; ++i)
        if (const int length = StoredLength(lines, i); length > longest) {
            longest = length;
            at = i;
        }
    if (longest >= length_) {
        length_ = longest;
        index_ = at;
        return;
    }
    // The longest line was among the changed or moved ones and is shorter now.
    const bool touched = countChanged ? index_ >= first : index_ >= first && index_ <= last;
    if (touched)
        Forget();
}

}  // namespace qrv
