#include "editor/EasyLongestLine.h"

#include "editor/EasyEditCommands.h"
#include "EditSourceFakes.h"
#include "FakeEditCommandHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace qrv;
using qrv::test::FakeHost;
using qrv::test::SetLines;

namespace {

// The cache as the editor keeps it: told of every edit the source reports.
class Cached {
public:
    explicit Cached(TCustomEasyEditSource& source) : source_(source)
    {
        source_.AddNotifier(this, [this](TEasySourceNotification* record) {
            if (record || !(source_.States() & (csEdit | csCountChanged)))
                return;
            ++edits;
            if (source_.FirstChangedLine() < 0)
                cache.Forget();
            else
                cache.Changed(source_.Strings(), source_.FirstChangedLine(), source_.LastChangedLine(),
                              (source_.States() & csCountChanged) != 0);
            forgotten += cache.Known() ? 0 : 1;
        });
    }
    ~Cached() { source_.RemoveNotifier(this); }
    int Measured() const
    {
        size_t longest = 0;
        for (int i = 0; i < source_.Strings().Count(); ++i)
            longest = std::max(longest, source_.Strings().GetStored(i).size());
        return int(longest);
    }

    TEasyLongestLine cache;
    int edits = 0;
    int forgotten = 0;

private:
    TCustomEasyEditSource& source_;
};

TEST(LongestLine, GrowingLinesAreTakenWithoutMeasuringAgainAndAShrunkLongestIsMeasuredAgain)
{
    FakeHost host;
    SetLines(host.source, u"abc|abcdef|ab");
    Cached cached(host.source);
    EXPECT_EQ(cached.cache.Length(host.source.Strings()), 6);
    EXPECT_EQ(cached.cache.Index(), 1);

    // Typing at the end of a short line: kept, and taken once it is longer.
    host.source.SetCaretPos(2, 2);
    host.source.InsertText(u"xyz");
    EXPECT_TRUE(cached.cache.Known());
    host.source.InsertText(u"12");
    EXPECT_TRUE(cached.cache.Known());
    EXPECT_EQ(cached.cache.Length(host.source.Strings()), 7);
    EXPECT_EQ(cached.cache.Index(), 2);

    // Another line shrinking changes nothing; the longest shrinking forgets.
    host.source.SetCaretPos(0, 0);
    host.source.DeleteChars(1);
    EXPECT_TRUE(cached.cache.Known());
    host.source.SetCaretPos(0, 2);
    host.source.DeleteChars(2);
    EXPECT_FALSE(cached.cache.Known());
    EXPECT_EQ(cached.cache.Length(host.source.Strings()), 6);
}

TEST(LongestLine, LinesMovedBelowTheLongestKeepItAndLinesGoneFromTheEndForgetIt)
{
    FakeHost host;
    SetLines(host.source, u"a long line|b|c");
    Cached cached(host.source);
    cached.cache.Length(host.source.Strings());
    host.source.SetCaretPos(1, 2);
    host.source.BreakLine();
    EXPECT_TRUE(cached.cache.Known());
    EXPECT_EQ(cached.cache.Length(host.source.Strings()), 11);
    // The longest line broken in two: measured again.
    host.source.SetCaretPos(2, 0);
    host.source.BreakLine();
    EXPECT_FALSE(cached.cache.Known());
    EXPECT_EQ(cached.cache.Length(host.source.Strings()), 9);
}

// Random commands over random texts: the kept length is always the true one.
TEST(LongestLine, RandomEditsKeepTheTrueLength)
{
    std::mt19937 random(66);
    for (int round = 0; round < 200; ++round) {
        FakeHost host;
        TEasyEditCommands commands(host);
        std::u16string text;
        for (int i = 0, n = int(random() % 40); i < n; ++i)
            text += u"ab |xyz\t("[random() % 9];
        SetLines(host.source, text);
        Cached cached(host.source);
        for (int step = 0; step < 30; ++step) {
            cached.cache.Length(host.source.Strings());
            const int y = int(random() % uint32_t(std::max(host.source.Strings().Count(), 1)));
            host.source.SetCaretPos(int(random() % 12), y);
            switch (random() % 6) {
            case 0:
                commands.TypeText(u"qq");
                break;
            case 1:
                commands.Execute(TEasyKeyHandler::DeleteCommand, int(random() % 2) + 2);
                break;
            case 2:
                commands.Execute(TEasyKeyHandler::LineCommand, 16);
                break;
            case 3:
                commands.Execute(TEasyKeyHandler::DeleteCommand, 48);
                break;
            case 4:
                host.source.Undo();
                break;
            default:
                commands.InsertBlock({u"12345", u"", u"1234567890123"}, random() % 2 ? smBlock : smStream);
                break;
            }
            ASSERT_EQ(cached.cache.Length(host.source.Strings()), cached.Measured()) << round << " " << step;
        }
        EXPECT_GT(cached.edits, 0);
    }
}

}  // namespace
