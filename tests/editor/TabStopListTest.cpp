#include "editor/TabStopList.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qrv;

namespace {

std::vector<int> Ends(const TTabStopList& tabs, int upTo)
{
    std::vector<int> ends;
    for (int c = 0; c <= upTo; ++c)
        ends.push_back(tabs.TabEnd(c));
    return ends;
}

std::vector<int> EndsOf(const std::wstring& text, int upTo)
{
    TTabStopList tabs;
    tabs.SetText(text);
    return Ends(tabs, upTo);
}

}  // namespace

TEST(TabStopList, TabEndsOfStopTexts)
{
    const std::vector<int> eights = {8, 8, 8, 8, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16, 16, 16, 24};
    EXPECT_EQ(EndsOf(L"8", 16), eights);
    EXPECT_EQ(EndsOf(L"8,16", 16), eights);
    EXPECT_EQ(EndsOf(L"8 16", 16), eights) << "blanks separate too";
    EXPECT_EQ(EndsOf(L"3,7", 11), (std::vector<int>{3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15}));
    EXPECT_EQ(EndsOf(L"4,6,10", 14), (std::vector<int>{4, 4, 4, 4, 6, 6, 10, 10, 10, 10, 14, 14, 14, 14, 18}));
    EXPECT_EQ(EndsOf(L"", 8), EndsOf(L"8", 8));

    TTabStopList tabs;
    EXPECT_EQ(tabs.Text(), L"8");
    EXPECT_EQ(tabs.TabEnd(2147483646), 2147483647) << "saturates instead of overflowing";
    EXPECT_EQ(tabs.TabEnd(2147483647), 2147483647);
    EXPECT_EQ(tabs.TabEnd(2147483639), 2147483640);
    tabs.SetText(L"");
    EXPECT_EQ(tabs.Text(), L"");
    EXPECT_EQ(tabs.Stops(), std::vector<int>{8});
}

TEST(TabStopList, ABadTextKeepsTheOldStops)
{
    for (const wchar_t* bad : {L"0", L"8,4", L"4,4", L"-2", L"x", L"4,x"}) {
        TTabStopList tabs;
        tabs.SetText(L"3,7");
        EXPECT_ANY_THROW(tabs.SetText(bad)) << bad;
        EXPECT_EQ(tabs.Text(), L"3,7") << bad;
        EXPECT_EQ(tabs.Stops(), (std::vector<int>{3, 7})) << bad;
        EXPECT_EQ(Ends(tabs, 8), (std::vector<int>{3, 3, 3, 7, 7, 7, 7, 11, 11})) << bad;
    }
    TTabStopList tabs;
    try {
        tabs.SetText(L"8,4");
        ADD_FAILURE();
    } catch (const ETabStopError& e) {
        EXPECT_EQ(e.Message(), L"Invalid Tab Stop");
    }
    EXPECT_THROW(tabs.SetText(L"x"), EConvertError);
}

TEST(TabStopList, PreviousStops)
{
    TTabStopList tabs;
    EXPECT_EQ(tabs.PreviousStop(0), 0);
    EXPECT_EQ(tabs.PreviousStop(8), 0);
    EXPECT_EQ(tabs.PreviousStop(9), 8);
    EXPECT_EQ(tabs.PreviousStop(16), 8);
    EXPECT_EQ(tabs.PreviousStop(17), 16);
    tabs.SetText(L"4,6,10");
    EXPECT_EQ(tabs.PreviousStop(6), 4);
    EXPECT_EQ(tabs.PreviousStop(7), 6);
    EXPECT_EQ(tabs.PreviousStop(15), 14);
}

TEST(TabStopList, ColumnsAndIndices)
{
    TTabStopList tabs;
    int inside = -1, width = -1;
    EXPECT_EQ(tabs.ColumnToIndex(u"\tX", 8, inside, width), 1);
    EXPECT_EQ(inside, 0);
    EXPECT_EQ(tabs.ColumnToIndex(u"\tX", 3, inside, width), 0);
    EXPECT_EQ(inside, 3);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(tabs.ColumnToIndex(u"\tX", 0, inside, width), 0);
    EXPECT_EQ(inside, 0);
    EXPECT_EQ(tabs.ColumnToIndex(u"ab\tc", 5, inside, width), 2);
    EXPECT_EQ(inside, 3);
    EXPECT_EQ(width, 6);
    EXPECT_EQ(tabs.ColumnToIndex(u"\tX", 12, inside, width), 5) << "beyond the end one column a character";

    EXPECT_EQ(tabs.ExpandTabs(u"ab\tc\t"), u"ab      c       ");
    EXPECT_EQ(tabs.IndexToColumn(u"ab\tc", 1), 1);
    EXPECT_EQ(tabs.IndexToColumn(u"ab\tc", 2), 7) << "the tab's last column";
    EXPECT_EQ(tabs.IndexToColumn(u"ab\tc", 3), 8);
    EXPECT_EQ(tabs.IndexToColumn(u"ab\tc", 4), 9);
    EXPECT_EQ(tabs.IndexToColumn(u"ab\tc", 6), 11);
}
