// The directory comparison dialog's enabling logic and its checks before OK.

#include "dialogs/SelOptRules.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

using C = TSelOptControl;
using S = TCompareSelect;

TDirCompareOptions Start(bool Name = true, bool Size = true, bool Content = false)
{
    TDirCompareOptions o;
    o.ByName = Name;
    o.BySize = Size;
    o.ByContent = Content;
    return o;
}

TEST(SelOptLogic, OpensWithEqualAndTheOtherChoicesFollowingName)
{
    TSelOptLogic logic(Start());
    const TSelOptState& s = logic.State();
    EXPECT_EQ(s.Options.Select, S::Equal);
    EXPECT_TRUE(s.DifferentEnabled && s.OlderEnabled && s.NewerEnabled && s.MissingEnabled);
    EXPECT_TRUE(s.DuplicatesEnabled);
    EXPECT_TRUE(s.ContentEnabled);
    EXPECT_TRUE(s.OkEnabled);

    TSelOptLogic withoutName(Start(false));
    EXPECT_FALSE(withoutName.State().DifferentEnabled || withoutName.State().MissingEnabled);
}

TEST(SelOptLogic, OlderForcesNameOnAndSizeAndContentOff)
{
    for (C choice : {C::SelectOlder, C::SelectNewer, C::SelectMissing}) {
        TSelOptLogic logic(Start(true, true, true));
        logic.Clicked(choice);
        const TSelOptState& s = logic.State();
        EXPECT_TRUE(s.Options.ByName);
        EXPECT_FALSE(s.NameEnabled);
        EXPECT_FALSE(s.Options.BySize);
        EXPECT_FALSE(s.SizeEnabled);
        EXPECT_FALSE(s.Options.ByContent);
        EXPECT_FALSE(s.ContentEnabled);
        EXPECT_FALSE(s.DuplicatesEnabled);
        // Back to equal: both can be used again, size stays as it was left.
        logic.Clicked(C::SelectEqual);
        EXPECT_TRUE(logic.State().NameEnabled && logic.State().SizeEnabled);
        EXPECT_FALSE(logic.State().ContentEnabled);
        logic.Clicked(C::Size, true);
        EXPECT_TRUE(logic.State().ContentEnabled);
    }
}

TEST(SelOptLogic, DuplicatesTakeSizeAndContentAndGiveNameBack)
{
    TSelOptLogic logic(Start(true, false, false));
    logic.Clicked(C::Duplicates, true);
    EXPECT_FALSE(logic.State().Options.ByName);
    EXPECT_TRUE(logic.State().Options.BySize);
    EXPECT_TRUE(logic.State().Options.ByContent);
    EXPECT_TRUE(logic.State().Options.Duplicates);
    // Without name no other choice than equal.
    EXPECT_FALSE(logic.State().DifferentEnabled);
    logic.Clicked(C::Duplicates, false);
    EXPECT_TRUE(logic.State().Options.ByName);
    EXPECT_FALSE(logic.State().Options.Duplicates);

    // Remembered as name stood when duplicates were checked.
    TSelOptLogic off(Start(false, true, false));
    off.Clicked(C::Duplicates, true);
    off.Clicked(C::Duplicates, false);
    EXPECT_FALSE(off.State().Options.ByName);
}

TEST(SelOptLogic, AnotherClickClearsDuplicates)
{
    TSelOptLogic logic(Start());
    logic.Clicked(C::Duplicates, true);
    logic.Clicked(C::Content, false);
    EXPECT_FALSE(logic.State().Options.Duplicates);
    EXPECT_FALSE(logic.State().Options.ByContent);
}

TEST(SelOptLogic, NameOffFallsBackToEqual)
{
    TSelOptLogic logic(Start());
    logic.Clicked(C::SelectDifferent);
    EXPECT_EQ(logic.State().Options.Select, S::Different);
    logic.Clicked(C::Name, false);
    EXPECT_EQ(logic.State().Options.Select, S::Equal);
    EXPECT_FALSE(logic.State().DifferentEnabled);
}

TEST(SelOptLogic, ContentOnlyWithSizeForEqualOrDifferent)
{
    TSelOptLogic logic(Start(true, true, true));
    logic.Clicked(C::SelectDifferent);
    EXPECT_TRUE(logic.State().ContentEnabled);
    EXPECT_TRUE(logic.State().Options.ByContent);
    logic.Clicked(C::Size, false);
    EXPECT_FALSE(logic.State().ContentEnabled);
    EXPECT_FALSE(logic.State().Options.ByContent);
}

TEST(SelOptLogic, OkNeedsNameOrSize)
{
    TSelOptLogic logic(Start(true, true));
    logic.Clicked(C::Size, false);
    EXPECT_TRUE(logic.State().OkEnabled);
    logic.Clicked(C::Name, false);
    EXPECT_FALSE(logic.State().OkEnabled);
    logic.Clicked(C::Size, true);
    EXPECT_TRUE(logic.State().OkEnabled);
}

TEST(SelOptClose, Checks)
{
    TDirCompareOptions equal = Start();
    TDirCompareOptions duplicates = Start(false, true, true);
    duplicates.Duplicates = true;
    TDirCompareOptions missing = Start();
    missing.Select = S::Missing;
    EXPECT_EQ(SelOptCloseError(equal, false, false), L"Das Vergleichsverzeichnis existiert nicht.");
    const std::wstring other = L"Bitte wählen Sie ein vom primären Verzeichnis abweichendes Vergleichsverzeichnis aus.";
    EXPECT_EQ(SelOptCloseError(equal, true, true), other);
    EXPECT_EQ(SelOptCloseError(missing, true, true), other);
    EXPECT_FALSE(SelOptCloseError(duplicates, true, true));
    EXPECT_FALSE(SelOptCloseError(missing, true, false));
    EXPECT_TRUE(SameFolderPath(L"C:\\Daten\\", L"c:\\DATEN"));
    EXPECT_TRUE(SameFolderPath(L"C:\\", L"c:\\"));
    EXPECT_TRUE(SameFolderPath(L"C:", L"c:\\"));
    EXPECT_FALSE(SameFolderPath(L"C:\\Daten", L"C:\\Daten2"));
}

}  // namespace
