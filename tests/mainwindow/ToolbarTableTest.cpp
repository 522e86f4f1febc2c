// The toolbar index table, the button table and the search button's hint.

#include "mainwindow/ToolbarTable.h"

#include <gtest/gtest.h>

#include <set>

using namespace qrv;

TEST(ToolbarTable, IndexesCountTheirLowSevenBits)
{
    const struct {
        int Index;
        const wchar_t* Name;
        const wchar_t* Caption;
    } cases[] = {
        {0, L"ToolbarDatei", L"Datei"},
        {1, L"ToolbarDateianzeige", L"Dateianzeige"},
        {2, L"ToolbarAuswahl", L"Auswahl"},
        {3, L"ToolbarAnsicht", L"Ansicht"},
        {4, L"ToolbarBearbeiten", L"Bearbeiten"},
        {5, L"ToolBarNetwork", L"Netz"},
        {6, L"ToolbarCMDLine", L"Kommandozeile"},
        {7, L"ToolbarDrives", L"Laufwerke"},
        {8, L"ToolBarFKeys", L"Programme"},
        {9, L"ToolbarBookmarks", L"Lesezeichen"},
        {129, L"ToolbarDateianzeige", L"Dateianzeige"},
        // 130 AND 127 is 2.
        {130, L"ToolbarAuswahl", L"Auswahl"},
    };
    for (const auto& c : cases) {
        const TToolbarIndexRow& row = ToolbarByIndex(c.Index);
        EXPECT_STREQ(row.Name, c.Name) << c.Index;
        EXPECT_STREQ(row.Caption, c.Caption) << c.Index;
        EXPECT_EQ(static_cast<int>(row.Slot), c.Index & 0x7F);
    }
    for (const int wrong : {10, 127, 138, -1}) {
        try {
            ToolbarByIndex(wrong);
            ADD_FAILURE() << wrong << " named a toolbar";
        } catch (const EToolbarIndex& error) {
            EXPECT_EQ(error.Message(), L"Interner Fehler (GetToolbar): Ungültige Symbolleiste");
        }
    }
}

TEST(ToolbarTable, EveryButtonStandsForAnOfferedCommandOnce)
{
    std::set<std::wstring> names;
    std::set<TActionId> commands;
    for (const TToolbarButtonRow& row : ToolbarButtonRows()) {
        const TActionRow& action = ActionRow(row.Action);
        EXPECT_TRUE(NeedsHandler(action)) << action.Name;
        EXPECT_TRUE(action.Offered) << action.Name;
        EXPECT_TRUE(names.insert(ToolbarButtonName(row)).second) << ToolbarButtonName(row);
        EXPECT_TRUE(commands.insert(row.Action).second) << action.Name;
        // Only the five toolbars of commands and the file toolbar hold them.
        EXPECT_LE(static_cast<int>(row.Toolbar), static_cast<int>(TToolbarSlot::Network));
    }
    // Each of those toolbars gets buttons.
    for (int slot = 0; slot <= static_cast<int>(TToolbarSlot::Network); ++slot) {
        bool found = false;
        for (const TToolbarButtonRow& row : ToolbarButtonRows())
            found = found || static_cast<int>(row.Toolbar) == slot;
        EXPECT_TRUE(found) << slot;
    }
    // The rules name the search button by its own name.
    EXPECT_NE(names.count(ActionRow(TActionId::FindDateiButton).Name), 0u);
    EXPECT_NE(names.count(L"btnExit"), 0u);
    EXPECT_NE(names.count(L"btnCopyTo"), 0u);
}

TEST(ToolbarTable, Hints)
{
    EXPECT_EQ(ToolbarButtonHint(ActionRow(TActionId::CopyTo)), L"Kopieren nach");
    EXPECT_EQ(ToolbarButtonHint(ActionRow(TActionId::Aktualisieren)), L"Aktualisieren (F5)");
    EXPECT_EQ(ToolbarButtonHint(ActionRow(TActionId::OpenFile)), L"Öffnen (Eingabe)");
    EXPECT_EQ(ToolbarButtonHint(ActionRow(TActionId::SelectSeveral)), L"Einige auswählen (Strg+E)");
    EXPECT_EQ(ToolbarButtonCaption(ActionRow(TActionId::ClipBoardDelete)), L"Zwischenablage löschen");
    EXPECT_EQ(SearchButtonHint(true), L"Text suchen (F3)");
    EXPECT_EQ(SearchButtonHint(false), L"Datei suchen (F3)");
}
