#include "mainwindow/FileCommandRules.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace qrv;

TEST(ShortcutFileName, NeverWritesOverAnExistingFile)
{
    std::set<std::wstring> taken;
    auto next = [&](const std::wstring& folder, const std::wstring& base) {
        const std::wstring name =
            ShortcutFileName(folder, base, [&](const std::wstring& p) { return taken.count(p) != 0; });
        taken.insert(name);
        return name;
    };
    EXPECT_EQ(next(L"T:\\ziel", L"brief.txt"), L"T:\\ziel\\brief.txt.lnk");
    EXPECT_EQ(next(L"T:\\ziel\\", L"brief.txt"), L"T:\\ziel\\brief.txt (2).lnk");
    EXPECT_EQ(next(L"T:\\ziel", L"brief.txt"), L"T:\\ziel\\brief.txt (3).lnk");
    EXPECT_EQ(next(L"T:\\", L"Daten (D)"), L"T:\\Daten (D).lnk");
    EXPECT_EQ(ShortcutFileName(L"T:\\ziel", L"x", [](const std::wstring&) { return true; }), L"");
}

TEST(DriveShortcutBase, LabelAndLetter)
{
    EXPECT_EQ(DriveShortcutBase(L"SYSTEM", L'C'), L"SYSTEM (C)");
    EXPECT_EQ(DriveShortcutBase(L"", L'D'), L"(D)");
}

TEST(DecideDelete, Table)
{
    struct Case {
        const char* what;
        TDeleteContext context;
        TDeleteTarget target;
        bool physical;
        std::wstring question;
        bool shellConfirms;
    };
    auto tree = [](uint32_t drive, bool shift, bool shellNoConfirm, bool confirmLogical = true,
                   bool confirmPhysical = true) {
        TDeleteContext c;
        c.Focus = TDeleteFocus::Tree;
        c.TreeNodeBelowDrive = true;
        c.TreeFolderName = L"Projekt";
        c.DriveType = drive;
        c.PhysicalRequested = shift;
        c.ShellNoConfirmRecycle = shellNoConfirm;
        c.ConfirmLogicalDel = confirmLogical;
        c.ConfirmPhysicalDel = confirmPhysical;
        return c;
    };
    auto list = [](int count, uint32_t drive, bool shift, bool shellNoConfirm, bool fullPath = false,
                   bool confirmPhysical = true, bool confirmLogical = true) {
        TDeleteContext c;
        c.Focus = TDeleteFocus::List;
        c.ListSelCount = count;
        c.DriveType = drive;
        c.PhysicalRequested = shift;
        c.ShellNoConfirmRecycle = shellNoConfirm;
        c.ListFullPathItems = fullPath;
        c.ConfirmPhysicalDel = confirmPhysical;
        c.ConfirmLogicalDel = confirmLogical;
        return c;
    };
    TDeleteContext rootNode = tree(3, false, true);
    rootNode.TreeNodeBelowDrive = false;
    TDeleteContext archive;
    archive.Focus = TDeleteFocus::Archive;
    archive.ArchiveHasSelection = true;

    const Case cases[] = {
        {"tree, shell silent: own question", tree(3, false, true), TDeleteTarget::Tree, false,
         L"Projekt\nVerzeichnis in den Papierkorb verschieben?", false},
        {"tree, shell asks itself", tree(3, false, false), TDeleteTarget::Tree, false, L"", true},
        {"tree, Shift", tree(3, true, true), TDeleteTarget::Tree, true, L"", true},
        {"tree, Shift, no physical confirmation", tree(3, true, true, true, false), TDeleteTarget::Tree, true, L"",
         false},
        {"tree on a removable drive", tree(2, false, true), TDeleteTarget::Tree, true, L"", true},
        {"tree on a network drive, physical confirmation off: the shell still asks", tree(4, false, true, true, false),
         TDeleteTarget::Tree, true, L"", true},
        {"tree, no logical confirmation", tree(3, false, true, false), TDeleteTarget::Tree, false, L"", false},
        {"tree, drive root selected", rootNode, TDeleteTarget::Refused, false, L"", false},
        {"list, one file", list(1, 3, false, true), TDeleteTarget::List, false,
         L"1 Datei in den Papierkorb verschieben?", false},
        {"list, three files", list(3, 3, false, true), TDeleteTarget::List, false,
         L"3 Dateien in den Papierkorb verschieben?", false},
        {"list, shell asks", list(3, 3, false, false), TDeleteTarget::List, false, L"", true},
        {"list, no logical confirmation: nobody asks", list(3, 3, false, false, false, true, false),
         TDeleteTarget::List, false, L"", false},
        {"list on a network drive, no logical confirmation: the shell asks before deleting for good",
         list(1, 4, false, true, false, true, false), TDeleteTarget::List, true, L"", true},
        {"list, Shift", list(2, 3, true, true), TDeleteTarget::List, true, L"", true},
        {"list of full paths, physical confirmation off", list(2, 3, false, true, true, false), TDeleteTarget::List,
         true, L"", true},
        {"list on a CD", list(2, 5, false, true), TDeleteTarget::List, true, L"", true},
        {"list without selection", list(0, 3, false, true), TDeleteTarget::Refused, false, L"", false},
        {"archive", archive, TDeleteTarget::Archive, false, L"", false},
        {"nothing focused", TDeleteContext(), TDeleteTarget::Refused, false, L"", false},
    };
    for (const Case& c : cases) {
        const TDeleteDecision d = DecideDelete(c.context);
        EXPECT_EQ(d.Target, c.target) << c.what;
        EXPECT_EQ(d.Physical, c.physical) << c.what;
        EXPECT_EQ(d.Question, c.question) << c.what;
        EXPECT_EQ(d.ShellConfirms, c.shellConfirms) << c.what;
        EXPECT_EQ(d.Error.empty(), c.target != TDeleteTarget::Refused) << c.what;
    }
    EXPECT_EQ(DecideDelete(TDeleteContext()).Error, L"Kein löschbares Element fokusiert.");
}

TEST(FileCommandRules, AListFollowsAFolderThatLostItems)
{
    // The folders still on disk after the delete.
    const std::set<std::wstring> existing = {L"T:", L"T:\\Daten", L"T:\\Daten\\Alt", L"T:\\Datenbank"};
    // Names on disk match in any case.
    const auto exists = [&](const std::wstring& folder) {
        return std::any_of(existing.begin(), existing.end(),
                           [&](const std::wstring& e) { return SameText(e, folder); });
    };
    struct Case {
        const char* what;
        std::wstring list, changed;
        TListFollowUp::TKind kind;
        std::wstring folder;
    };
    const Case cases[] = {
        {"same folder: re-read", L"T:\\Daten", L"T:\\Daten", TListFollowUp::Reread, L""},
        {"same folder, other case and trailing backslash", L"t:\\daten\\", L"T:\\Daten", TListFollowUp::Reread, L""},
        {"list above the changed folder", L"T:\\Daten", L"T:\\Daten\\Alt", TListFollowUp::Reread, L""},
        {"list inside a folder that went: nearest folder there", L"T:\\Daten\\Weg\\Tief", L"T:\\Daten\\Weg",
         TListFollowUp::Load, L"T:\\Daten"},
        {"list on a drive root above the change", L"T:", L"T:\\Daten", TListFollowUp::Reread, L""},
        {"a name that only begins alike is another folder", L"T:\\Datenbank", L"T:\\Daten", TListFollowUp::Nothing,
         L""},
        {"unrelated folder", L"T:\\Daten\\Alt", L"T:\\Andere", TListFollowUp::Nothing, L""},
        {"no list folder", L"", L"T:\\Daten", TListFollowUp::Nothing, L""},
        {"nothing left on the drive", L"U:\\Weg", L"U:\\Weg", TListFollowUp::Nothing, L""},
    };
    for (const Case& c : cases) {
        const TListFollowUp result = FollowChangedFolder(c.list, c.changed, exists);
        EXPECT_EQ(result.Kind, c.kind) << c.what;
        EXPECT_EQ(result.Folder, c.folder) << c.what;
    }
}
