// The action catalogue: one row per command, rules that name only rows, and
// the handler check the window relies on.

#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/ActionRules.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

using namespace qrv;

namespace {

std::string Named(TActionId Id)
{
    return testing::PrintToString(std::wstring(ActionRow(Id).Name));
}

// Window states that between them reach every rule.
std::vector<TActionInput> Inputs()
{
    std::vector<TActionInput> inputs;
    for (const TActionFocus focus : {TActionFocus::Other, TActionFocus::Tree, TActionFocus::List,
                                     TActionFocus::ArchiveList, TActionFocus::TextView, TActionFocus::Editor,
                                     TActionFocus::HexView, TActionFocus::CommandBox, TActionFocus::HistoryBox})
        for (const bool rich : {false, true}) {
            TActionInput in;
            in.Focus = focus;
            in.Node = in.Drive = in.Item = in.Place = rich;
            in.CommandToolbarShown = rich;
            in.ListCount = in.ArchiveCount = rich ? 3 : 0;
            in.ListSelected = in.ArchiveSelected = rich ? 1 : 0;
            in.TextViewVisible = in.EditorVisible = rich;
            in.TextViewCanUndo = in.EditorCanUndo = rich;
            inputs.push_back(in);
        }
    return inputs;
}

// A catalogue with every built command's handler but Left's.
TActionCatalogue AllBut(std::optional<TActionId> Left, int& Runs)
{
    TActionCatalogue catalogue;
    for (const TActionRow& row : ActionRows())
        if (NeedsHandler(row) && row.Id != Left)
            catalogue.Register(row.Id, [&Runs] { ++Runs; });
    return catalogue;
}

}  // namespace

TEST(ActionCatalogue, EveryIdHasOneRowAndEveryNameOneId)
{
    std::set<std::wstring> names;
    for (size_t i = 0; i < kActionCount; ++i) {
        const auto id = static_cast<TActionId>(i);
        ASSERT_NO_THROW(ActionRow(id)) << "id " << i << " has no row";
        const TActionRow& row = ActionRow(id);
        EXPECT_EQ(row.Id, id);
        EXPECT_TRUE(names.insert(row.Name).second) << "two rows named " << Named(id);
        EXPECT_EQ(FindActionId(row.Name), id);
    }
    EXPECT_EQ(ActionRows().size(), kActionCount);
    EXPECT_EQ(FindActionId(L"NewDirr"), std::nullopt);
}

TEST(ActionCatalogue, BuiltCommandsHaveACaptionAndAMenuPlannedOnesNeither)
{
    for (const TActionRow& row : ActionRows()) {
        if (NeedsHandler(row)) {
            EXPECT_FALSE(std::wstring(row.Caption).empty()) << Named(row.Id);
        }
        if (row.Kind == TRowKind::Button) {
            EXPECT_EQ(row.Menu, TMenuId::None) << Named(row.Id) << " is a button's command, in no menu";
        } else if (NeedsHandler(row)) {
            EXPECT_NE(row.Menu, TMenuId::None) << Named(row.Id);
            EXPECT_NO_THROW(MenuRow(row.Menu)) << Named(row.Id);
        } else {
            EXPECT_EQ(row.Menu, TMenuId::None) << Named(row.Id) << " is in a menu without a command";
        }
        // A key the menus show after a tab is never written into the caption.
        EXPECT_EQ(std::wstring(row.Caption).find(L'\t'), std::wstring::npos) << Named(row.Id);
    }
    for (const TMenuRow& menu : MenuRows()) {
        if (menu.Parent != TMenuId::None)
            EXPECT_EQ(MenuRow(menu.Parent).Parent, TMenuId::None) << "a submenu of a submenu";
        // The window keeps one slot per menu id.
        EXPECT_LT(static_cast<size_t>(menu.Id), kMenuCount);
    }
}

TEST(ActionCatalogue, RulesNameOnlyRowsAndNeverAFeatureNotOffered)
{
    std::set<TActionId> named;
    for (const TActionInput& in : Inputs())
        for (const auto& [id, state] : ComputeActionStates(in).States) {
            ASSERT_NO_THROW(ActionRow(id)) << "a rule names no row";
            EXPECT_TRUE(ActionRow(id).Offered) << "a rule enables " << Named(id);
            named.insert(id);
        }
    // The submenus that follow a command follow one the rules decide.
    for (const TMenuRow& menu : MenuRows())
        if (menu.Follows)
            EXPECT_TRUE(named.contains(*menu.Follows)) << testing::PrintToString(std::wstring(menu.Caption));
    // A planned row exists for a rule: one no rule names is a leftover.
    for (const TActionRow& row : ActionRows())
        if (row.Kind == TRowKind::Planned && row.Offered)
            EXPECT_TRUE(named.contains(row.Id)) << Named(row.Id) << " is planned but no rule names it";
}

TEST(ActionCatalogue, ARowWithoutHandlerIsFound)
{
    int runs = 0;
    EXPECT_TRUE(AllBut(std::nullopt, runs).MissingHandlers().empty());
    for (const TActionId left : {TActionId::NewDir, TActionId::DispHex, TActionId::FileExit}) {
        const TActionCatalogue catalogue = AllBut(left, runs);
        EXPECT_EQ(catalogue.MissingHandlers(), std::vector<TActionId>{left}) << Named(left);
        EXPECT_FALSE(catalogue.Execute(left));
    }
    // A planned command needs none.
    EXPECT_FALSE(NeedsHandler(ActionRow(TActionId::PrintDir)));
}

TEST(ActionCatalogue, HandlersRunByIdAndRegisterOnce)
{
    TActionCatalogue catalogue;
    std::wstring ran;
    catalogue.Register(TActionId::DispHex, [&] { ran += L"hex;"; });
    catalogue.Register(TActionId::SelectAll, [&] { ran += L"all;"; });
    EXPECT_TRUE(catalogue.Execute(TActionId::SelectAll));
    EXPECT_TRUE(catalogue.Execute(TActionId::DispHex));
    EXPECT_FALSE(catalogue.Execute(TActionId::DispText));
    EXPECT_EQ(ran, L"all;hex;");
    EXPECT_THROW(catalogue.Register(TActionId::DispHex, [] {}), std::logic_error);
}

TEST(ActionCatalogue, MenuCaptionsShowThePanesKeys)
{
    struct Case {
        TActionId id;
        const wchar_t* caption;
    };
    const Case cases[] = {
        {TActionId::ClipBoardCopy, L"&Kopieren\tStrg+C"},
        {TActionId::EditObject, L"&Umbenennen\tF2"},
        {TActionId::DeleteObjectPhysical, L"Löschen &physisch\tUmsch+Entf"},
        {TActionId::NewFile, L"&Datei\tStrg+Einfg"},
        {TActionId::ActExpandAll, L"Alles e&rweitern\tShift +"},
        {TActionId::Eigenschaften, L"E&igenschaften\tAlt+Eingabe"},
        // A window key is shown by the menu from the shortcut itself.
        {TActionId::DispHex, L"&Hexadezimale Anzeige"},
        {TActionId::NewLink, L"Ver&knüpfung"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuCaption(ActionRow(c.id)), c.caption) << Named(c.id);
    EXPECT_EQ(ActionRow(TActionId::DispHex).Key, ShortCut('H', scCtrl));
}
