#include "viewers/RtfGroupDepth.h"

#include <algorithm>

namespace qrv {

void TRtfGroupDepth::Feed(std::string_view Piece)
{
    for (const char c : Piece) {
        if (escaped_) {
            // "\{", "\}" and "\\" are characters; a control word's letters
            // hold no brace either way.
            escaped_ = false;
            continue;
        }
        switch (c) {
        case '\\':
            escaped_ = true;
            break;
        case '{':
            deepest_ = std::max(deepest_, ++depth_);
            break;
        case '}':
            if (depth_ > 0)
                --depth_;
            break;
        default:
            break;
        }
    }
}

size_t RtfGroupDepth(std::string_view Text)
{
    TRtfGroupDepth depth;
    depth.Feed(Text);
    return depth.Deepest();
}

}  // namespace qrv
