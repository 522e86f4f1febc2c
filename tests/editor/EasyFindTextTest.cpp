#include "editor/EasyFindText.h"
#include "editor/EasyStrings.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;

namespace {

struct Hit {
    bool found;
    int x, y, length;
    bool operator==(const Hit&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Hit& h)
{
    return os << (h.found ? "hit " : "miss ") << h.x << "," << h.y << " len " << h.length;
}

Hit Search(const TEasyStrings& lines, std::u16string_view text, int options, int x, int y)
{
    TEasyPoint point{x, y};
    int length = 0;
    const bool found = FindText(text, lines, options, nullptr, length, point);
    return found ? Hit{true, point.X, point.Y, length} : Hit{false, 0, 0, 0};
}

// Finds the first "<" at or after the column; proves the matcher's hand-off.
class AngleMatcher : public TEasyLineMatcher {
public:
    bool Search(std::u16string_view line, int& column, bool forward, int& matchLength) override
    {
        ++calls;
        const size_t at = forward ? line.find(u'<', static_cast<size_t>(column - 1)) : line.rfind(u'<', column - 1);
        if (at == std::u16string_view::npos)
            return false;
        column = static_cast<int>(at) + 1;
        matchLength = 1;
        return true;
    }
    int calls = 0;
};

}  // namespace

TEST(EasyFindText, ForwardBackwardCaseAndWords)
{
    TEasyStrings lines;
    lines.SetText(u"Äpfel und äpfel\n\nBirne birnen  \nÄ\nŁódź A");
    const int fwd = ftForward;
    struct Case {
        const char16_t* text;
        int options, x, y;
        Hit expected;
    };
    const Case cases[] = {
        {u"äpfel", fwd, 1, 0, {true, 1, 0, 5}},
        {u"äpfel", fwd, 2, 0, {true, 11, 0, 5}},
        {u"äpfel", fwd | ftCaseSensitive, 1, 0, {true, 11, 0, 5}},
        {u"ä", fwd, 12, 0, {true, 1, 3, 1}},
        {u"birne", fwd, 1, 0, {true, 1, 2, 5}},
        {u"birne", fwd | ftWholeWords, 1, 0, {true, 1, 2, 5}},
        {u"birne", fwd | ftWholeWords, 2, 2, {false, 0, 0, 0}},
        {u"A", fwd, 1, 4, {true, 6, 4, 1}},  // "A" does not find "Ł"
        {u"ł", fwd, 1, 0, {true, 1, 4, 1}},
        {u"  ", fwd, 1, 2, {false, 0, 0, 0}},  // trailing blanks are not searched
        {u"äpfel", 0, 15, 0, {true, 11, 0, 5}},
        {u"äpfel", 0, 10, 0, {true, 1, 0, 5}},
        {u"birne", 0, 0, 3, {true, 7, 2, 5}},  // column 0: from the line above
        {u"birne", ftWholeWords, 20, 2, {true, 1, 2, 5}},
        {u"Ä", ftCaseSensitive, 3, 4, {true, 1, 3, 1}},
        {u"fehlt", fwd, 1, 0, {false, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Search(lines, c.text, c.options, c.x, c.y), c.expected)
            << testing::PrintToString(std::u16string(c.text)) << " options " << c.options << " from " << c.x << ","
            << c.y;
}

TEST(EasyFindText, MatcherIsAskedLineByLine)
{
    TEasyStrings lines;
    lines.SetText(u"ab\n\nx<y");
    AngleMatcher matcher;
    TEasyPoint point{1, 0};
    int length = 0;
    ASSERT_TRUE(FindText(u"", lines, ftForward, &matcher, length, point));
    EXPECT_EQ(point.X, 2);
    EXPECT_EQ(point.Y, 2);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(matcher.calls, 3) << "the empty line is searched with a matcher too";
}

TEST(EasyFindText, SharedUpperCase)
{
    EXPECT_EQ(SearchUpperCase(u'ä'), u'Ä');
    EXPECT_EQ(SearchUpperCase(u'ÿ'), u'\u0178');
    EXPECT_EQ(SearchUpperCase(u'\u0142'), u'\u0141');
    EXPECT_EQ(SearchUpperCase(u'ß'), u'ß');
    EXPECT_EQ(SearchUpperCase(u'1'), u'1');
}
