#pragma once
// How deeply a rich text nests its groups, measured before the text goes to
// the system's rich-edit control: under Wine that control ends the process
// on a text nested 33 groups deep (the document's own group counted), so
// such a text is shown as plain text.
// Portable; the text may be fed in pieces of any size.

#include <cstddef>
#include <string_view>

namespace qrv {

// The deepest nesting the rich-text view is given.
inline constexpr size_t kRichEditMaxGroupDepth = 32;

class TRtfGroupDepth {
public:
    // The next piece of the text.
    void Feed(std::string_view Piece);
    // The deepest nesting so far: "{" opens a group, "}" closes one, and
    // "\{", "\}" are characters. Binary data ("\binN") is not skipped: its
    // braces count too, which can only make a text seem deeper.
    size_t Deepest() const { return deepest_; }

private:
    size_t depth_ = 0;
    size_t deepest_ = 0;
    bool escaped_ = false;
};

// The deepest nesting of a whole text.
size_t RtfGroupDepth(std::string_view Text);

}  // namespace qrv
