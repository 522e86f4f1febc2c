#include "viewers/RtfGroupDepth.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;

TEST(RtfGroupDepth, CountsOpenGroupsNotEscapedBraces)
{
    const struct {
        std::string text;
        size_t deepest;
    } cases[] = {
        {"", 0},
        {"plain words", 0},
        {"{\\rtf1 Hallo\\par}", 1},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\b fett}}", 3},
        // Escaped braces and an escaped backslash before a real brace.
        {"{\\rtf1 \\{\\{\\{ \\}}", 1},
        {"{\\rtf1 \\\\{x}}", 2},
        // Closing more than was opened never goes below nothing.
        {"}}}{", 1},
        {"{\\rtf1" + std::string(31, '{'), 32},
        {"{\\rtf1" + std::string(10000, '{'), 10001},
        {"{\\rtf1" + std::string(5000, '{') + std::string(5001, '}') + "{{", 5001},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RtfGroupDepth(c.text), c.deepest) << c.text.substr(0, 60);
}

// The text comes from the file in pieces: a backslash at a piece's end still
// escapes the next piece's first brace.
TEST(RtfGroupDepth, PiecesCountAsTheWhole)
{
    const std::string text = "{\\rtf1{\\b x\\{}{{\\}{\\\\{y}}}}";
    const size_t whole = RtfGroupDepth(text);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        TRtfGroupDepth depth;
        depth.Feed(std::string_view(text).substr(0, cut));
        depth.Feed(std::string_view(text).substr(cut));
        EXPECT_EQ(depth.Deepest(), whole) << cut;
    }
}
