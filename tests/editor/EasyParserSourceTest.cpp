// The rule-driven parser under an edit source: re-parsing after an edit.
#include "editor/EasyEditSource.h"

#include "CountingParser.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;

TEST(EasyParser, AnOpenedCommentReparsesDownToWhereTheStateSettles)
{
    int calls = 0;
    const auto parser = MakeCountingParser(u"State=Normal\nState=Comment\nToken=tnone\nToken=tcomment\n"
                                           u"Normal \\{ Comment tcomment\nComment !\\}+ Comment tcomment\n"
                                           u"Comment \\} Normal tcomment",
                                           calls);
    TEasyEditSource source(nullptr);
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"wort und wort\n";
    source.Strings().SetText(text);
    source.SetParser(parser.get());
    source.EnsureParsed(99);
    const int runsInNormal = 3;  // "wort ", "und ", "wort"
    EXPECT_EQ(calls, 100 * runsInNormal);

    // Typing the brace turns every line below into comment, one run each.
    calls = 0;
    source.SetCaretPos(0, 50);
    source.InsertText(u"{");
    source.EnsureParsed(99);
    EXPECT_EQ(calls, 2 + 49);
    EXPECT_EQ(source.Strings().StyleAt(70, 1), 1);
    EXPECT_EQ(source.Strings().StyleAt(40, 1), 0);

    // Closing it on line 60 gives the lines below back to Normal.
    calls = 0;
    source.SetCaretPos(0, 60);
    source.InsertText(u"}");
    source.EnsureParsed(99);
    EXPECT_EQ(calls, (1 + runsInNormal) + 39 * runsInNormal);
    EXPECT_EQ(source.Strings().StyleAt(70, 1), 0);
    EXPECT_EQ(source.Strings().StyleAt(55, 1), 1);

    // An edit inside the comment keeps the states: its line only.
    calls = 0;
    source.SetCaretPos(3, 55);
    source.InsertText(u"x");
    source.EnsureParsed(99);
    EXPECT_EQ(calls, 1);
}

