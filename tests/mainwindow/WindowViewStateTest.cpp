// Swapping and equalising the file windows' view states; the selection
// goes by file name, so two items showing one caption stay apart.

#include "mainwindow/WindowViewState.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TWindowViewState First()
{
    TWindowViewState s;
    s.Path = L"C:\\eins";
    s.Mask = L"*.txt";
    s.Filter.SelHidden = TSelAttr::SelYes;
    s.Filter.SelReadOnly = TSelAttr::SelNo;
    s.Filter.SelCompressed = TSelAttr::SelYes;
    s.Filter.SelEncrypted = TSelAttr::SelNo;
    s.Filter.SelFileSizeFrom = 10;
    s.Filter.SelFileDateTo = 12345;
    s.SortColumn = 2;
    s.SortAscending = false;
    s.ViewStyle = 3;
    s.ParentItem = true;
    s.SelectedNames = {L"a.txt"};
    s.FocusedName = L"a.txt";
    s.FocusedIndex = 4;
    return s;
}

TWindowViewState Second()
{
    TWindowViewState s;
    s.Path = L"D:\\zwei";
    s.Mask = L"*.*";
    s.Filter.SelSysFile = TSelAttr::SelYes;
    s.Filter.SelEncrypted = TSelAttr::SelYes;
    s.Filter.SelFileSizeTo = 999;
    s.SortColumn = 0;
    s.ViewStyle = 1;
    s.ParentItem = false;
    s.SelectedNames = {L"b", L"c"};
    s.FocusedIndex = 1;
    return s;
}

}  // namespace

TEST(WindowViewState, SwapExchangesAllButCompressedAndEncrypted)
{
    TWindowViewState a = First();
    TWindowViewState b = Second();
    SwapViewStates(a, b);
    EXPECT_EQ(a.Path, L"D:\\zwei");
    EXPECT_EQ(b.Path, L"C:\\eins");
    EXPECT_EQ(a.Mask, L"*.*");
    EXPECT_EQ(b.Mask, L"*.txt");
    EXPECT_EQ(a.Filter.SelSysFile, TSelAttr::SelYes);
    EXPECT_EQ(a.Filter.SelFileSizeTo, 999);
    EXPECT_EQ(b.Filter.SelHidden, TSelAttr::SelYes);
    EXPECT_EQ(b.Filter.SelFileDateTo, 12345);
    EXPECT_EQ(b.SortColumn, 2);
    EXPECT_FALSE(b.SortAscending);
    EXPECT_EQ(a.ViewStyle, 1);
    EXPECT_EQ(b.ViewStyle, 3);
    // The ".." marks are exchanged, and so are selection and focus.
    EXPECT_FALSE(a.ParentItem);
    EXPECT_TRUE(b.ParentItem);
    EXPECT_EQ(b.SelectedNames, std::vector<std::wstring>{L"a.txt"});
    EXPECT_EQ(b.FocusedIndex, 4);
    EXPECT_EQ(a.FocusedIndex, 1);
    // Compressed and encrypted stay with their window.
    EXPECT_EQ(a.Filter.SelCompressed, TSelAttr::SelYes);
    EXPECT_EQ(a.Filter.SelEncrypted, TSelAttr::SelNo);
    EXPECT_EQ(b.Filter.SelCompressed, TSelAttr::SelDontCare);
    EXPECT_EQ(b.Filter.SelEncrypted, TSelAttr::SelYes);
}

TEST(WindowViewState, EqualizeCopiesAllButViewStyleCompressedAndEncrypted)
{
    const TWindowViewState from = First();
    TWindowViewState to = Second();
    EqualizeViewState(from, to);
    EXPECT_EQ(to.Path, from.Path);
    EXPECT_EQ(to.Mask, from.Mask);
    EXPECT_EQ(to.Filter.SelHidden, TSelAttr::SelYes);
    EXPECT_EQ(to.Filter.SelReadOnly, TSelAttr::SelNo);
    EXPECT_EQ(to.Filter.SelSysFile, TSelAttr::SelDontCare);
    EXPECT_EQ(to.Filter.SelFileSizeFrom, 10);
    EXPECT_EQ(to.Filter.SelFileSizeTo, from.Filter.SelFileSizeTo);
    EXPECT_EQ(to.Filter.SelFileDateTo, 12345);
    EXPECT_EQ(to.SortColumn, 2);
    EXPECT_FALSE(to.SortAscending);
    EXPECT_TRUE(to.ParentItem);
    EXPECT_EQ(to.SelectedNames, from.SelectedNames);
    EXPECT_EQ(to.FocusedIndex, 4);
    EXPECT_EQ(to.ViewStyle, 1);
    EXPECT_EQ(to.Filter.SelCompressed, TSelAttr::SelDontCare);
    EXPECT_EQ(to.Filter.SelEncrypted, TSelAttr::SelYes);
}

TEST(WindowViewState, SelectionAndFocusGoByName)
{
    // "a.txt" and "a.doc" show the same caption with extensions hidden;
    // only the selected file is selected again.
    const std::vector<std::wstring> names = {L"..", L"a.doc", L"a.txt", L"B.TXT", L"c"};
    EXPECT_EQ(ItemsToSelect(names, {L"a.txt"}), (std::vector<size_t>{2}));
    EXPECT_EQ(ItemsToSelect(names, {L"b.txt", L"c", L"gone"}), (std::vector<size_t>{3, 4}));
    EXPECT_TRUE(ItemsToSelect(names, {}).empty());
    EXPECT_EQ(ItemToFocus(names, L"A.TXT", 0), 2);
    EXPECT_EQ(ItemToFocus(names, L"gone", 3), 3);
    EXPECT_EQ(ItemToFocus(names, L"", 9), -1);
    EXPECT_EQ(ItemToFocus(names, L"", -1), -1);
}
