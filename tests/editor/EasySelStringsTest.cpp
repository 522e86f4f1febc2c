#include "editor/EasySelStrings.h"
#include "editor/TabStopList.h"

#include <gtest/gtest.h>

#include <vector>

namespace qrv {
namespace {

struct FakeSelection : TEasySelectionView {
    std::vector<std::u16string> lines{u"erste Zeile", u"zweite", u"dritte Zeile", u"a\tb"};
    int startX = 0, startY = 0, endX = 0, endY = 0;
    bool block = false;
    const TTabStopList* tabs = nullptr;
    int cleared = 0;
    bool destroying = false;

    std::u16string Line(int index) const override { return lines.at(size_t(index)); }
    int LineCount() const override { return int(lines.size()); }
    int SelStartX() const override { return startX; }
    int SelStartY() const override { return startY; }
    int SelEndX() const override { return endX; }
    int SelEndY() const override { return endY; }
    bool BlockMode() const override { return block; }
    const TTabStopList* TabStops() const override { return tabs; }
    void ClearSelection() override { ++cleared; }
    bool Destroying() const override { return destroying; }
};

std::vector<std::u16string> All(const TEasySelStrings& strings)
{
    std::vector<std::u16string> lines;
    for (int i = 0; i < strings.GetCount(); ++i)
        lines.push_back(strings.Get(i));
    return lines;
}

TEST(EasySelStrings, StreamSelection)
{
    FakeSelection view;
    TEasySelStrings strings(view);
    EXPECT_EQ(strings.GetCount(), 0);

    view.startX = 6, view.startY = 0, view.endX = 3, view.endY = 2;
    EXPECT_EQ(All(strings), (std::vector<std::u16string>{u"Zeile", u"zweite", u"dri"}));

    // One line: padded to the selected width past the line's end.
    view.startX = 2, view.startY = 1, view.endX = 9, view.endY = 1;
    EXPECT_EQ(All(strings), (std::vector<std::u16string>{u"eite   "}));
}

TEST(EasySelStrings, BlockSelectionIsPaddedPerRow)
{
    FakeSelection view;
    view.block = true;
    view.startX = 8, view.startY = 0, view.endX = 4, view.endY = 2;
    TEasySelStrings strings(view);
    EXPECT_EQ(All(strings), (std::vector<std::u16string>{u"e Ze", u"te  ", u"te Z"}));
}

TEST(EasySelStrings, TabsMapDisplayColumnsToCharacters)
{
    FakeSelection view;
    TTabStopList tabs;
    view.tabs = &tabs;
    view.startX = 8, view.startY = 3, view.endX = 9, view.endY = 3;
    TEasySelStrings strings(view);
    EXPECT_EQ(strings.Get(0), u"b");
    view.tabs = nullptr;
    EXPECT_EQ(strings.Get(0), u" ") << "without tab stops column 8 is past the line: a blank of padding";
}

TEST(EasySelStrings, ClearClearsTheSelectionOnlyWhileTheEditorLives)
{
    FakeSelection view;
    TEasySelStrings strings(view);
    strings.Clear();
    EXPECT_EQ(view.cleared, 1);
    view.destroying = true;
    strings.Clear();
    EXPECT_EQ(view.cleared, 1);
    strings.Delete(0);
    EXPECT_EQ(view.lines.size(), 4u);
}

}  // namespace
}  // namespace qrv
