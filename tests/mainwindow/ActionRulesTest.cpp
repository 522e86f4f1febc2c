// The action rules: a few window states and what each enables, the undo
// word with its captions, and the history hints.

#include "mainwindow/ActionRules.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// A list focused on a local folder with one file selected.
TActionInput LocalListWithSelection()
{
    TActionInput in;
    in.Node = true;
    in.Root = false;
    in.Drive = true;
    in.Item = true;
    in.Place = true;
    in.Focus = TActionFocus::List;
    in.NodeIsFileSystemFolder = true;
    in.ListCount = 3;
    in.ListSelected = 1;
    in.FirstSelectedIsFile = true;
    in.ListLoadedFolder = true;
    return in;
}

struct Expect {
    const wchar_t* name;
    bool enabled;
};

void ExpectStates(const TActionStates& states, std::initializer_list<Expect> expected, const char* what)
{
    for (const Expect& e : expected)
        EXPECT_EQ(states.Enabled(e.name), e.enabled) << what << ": " << testing::PrintToString(std::wstring(e.name));
}

}  // namespace

TEST(ActionRules, LocalListWithASelection)
{
    const TActionStates states = ComputeActionStates(LocalListWithSelection());
    ExpectStates(states,
                 {{L"Eigenschaften", true},
                  {L"NewDir", true},
                  {L"NewFile", true},
                  {L"CreateShortCut", true},
                  {L"DeleteObjectPhysical", true},
                  {L"DeleteObject", true},
                  {L"EditObject", true},
                  {L"CopyTo", true},
                  {L"MoveTo", true},
                  {L"OpenFile", true},
                  {L"DuplicateFile", true},
                  {L"FileCompare", true},
                  {L"FileWinCompare", true},
                  {L"SelectAll", true},
                  {L"SelectUnselect", true},
                  {L"SelectSeveral", true},
                  {L"ClipBoardCopy", true},
                  {L"ClipBoardCut", true},
                  {L"ClipBoardPaste", false},
                  {L"SwapWindows", false},
                  {L"FileUndo", false},
                  {L"TextFileSave", false}},
                 "local list");
}

TEST(ActionRules, FullPathListKeepsOnlyPhysicalDelete)
{
    TActionInput in = LocalListWithSelection();
    in.FullPath = true;
    const TActionStates states = ComputeActionStates(in);
    ExpectStates(states,
                 {{L"NewDir", false},
                  {L"NewFile", false},
                  {L"EditObject", false},
                  {L"DeleteObject", false},
                  {L"DeleteObjectPhysical", true},
                  {L"Eigenschaften", false},
                  {L"CopyTo", false},
                  // Search results can still be moved away.
                  {L"MoveTo", true},
                  {L"ClipBoardCopy", false}},
                 "full-path list");
}

TEST(ActionRules, ArchiveListWithASelectionDeletesPhysicallyOnly)
{
    TActionInput in = LocalListWithSelection();
    in.Focus = TActionFocus::ArchiveList;
    in.ArchiveOpen = true;
    in.ArchiveCount = 10;
    in.ArchiveSelected = 2;
    TActionStates states = ComputeActionStates(in);
    ExpectStates(states,
                 {{L"DeleteObjectPhysical", true},
                  {L"DeleteObject", false},
                  {L"CopyTo", true},
                  {L"MoveTo", false},
                  {L"SelectFiles", false},
                  {L"SelectUnselect", true},
                  {L"SelectSeveral", true}},
                 "archive with selection");

    in.ArchiveSelected = 0;
    in.ListSelected = 0;
    in.Item = false;
    states = ComputeActionStates(in);
    ExpectStates(states, {{L"DeleteObjectPhysical", false}, {L"SelectUnselect", false}}, "archive without selection");
}

TEST(ActionRules, TreeFocus)
{
    TActionInput in = LocalListWithSelection();
    in.Focus = TActionFocus::Tree;
    in.NodeHasChildren = true;
    ExpectStates(ComputeActionStates(in),
                 {{L"Eigenschaften", true},
                  {L"EditObject", true},
                  {L"DeleteObjectPhysical", true},
                  {L"DuplicateFile", true},
                  {L"ActExpand", true},
                  {L"ActCollapse", false},
                  {L"FindDlg", true}},
                 "tree on a folder");

    // A drive node: nothing that would delete, rename or duplicate the drive.
    in.Root = true;
    ExpectStates(ComputeActionStates(in),
                 {{L"EditObject", false}, {L"DeleteObjectPhysical", false}, {L"DuplicateFile", false}},
                 "tree on a drive");
}

TEST(ActionRules, BookmarkCommands)
{
    TActionInput in = LocalListWithSelection();
    in.NodeIsFileSystemFolder = true;
    in.BookmarkCount = 2;
    ExpectStates(ComputeActionStates(in), {{L"StdDirAdd", true}, {L"StdDirEdit", true}}, "a folder, two bookmarks");
    in.NodeIsFileSystemFolder = false;  // a shell folder such as the control panel
    in.BookmarkCount = 0;
    ExpectStates(ComputeActionStates(in), {{L"StdDirAdd", false}, {L"StdDirEdit", false}}, "a shell folder, none");
    in.Node = false;
    in.NodeIsFileSystemFolder = true;
    ExpectStates(ComputeActionStates(in), {{L"StdDirAdd", false}}, "no node");
}

TEST(ActionRules, VirtualFolderAndParentItem)
{
    TActionInput in = LocalListWithSelection();
    in.Virtual = true;
    ExpectStates(ComputeActionStates(in),
                 {{L"EditObject", false}, {L"OpenFile", false}, {L"SelectAll", false}, {L"ClipBoardCopy", false}},
                 "virtual folder");

    in = LocalListWithSelection();
    in.FirstSelectedIsParent = true;
    in.CommandToolbarShown = true;
    in.Parent = true;
    ExpectStates(ComputeActionStates(in),
                 {{L"EditObject", false}, {L"DOSDateiName", false}, {L"DOSDateiAlles", false}, {L"DirUp", true}},
                 "\"..\" selected");
}

TEST(ActionRules, ClipboardKindsDecidePaste)
{
    struct Case {
        TActionFocus focus;
        bool text, files, readOnly;
        bool paste, shortcut;
    } cases[] = {
        {TActionFocus::List, false, true, false, true, true},
        {TActionFocus::List, true, false, false, false, false},
        {TActionFocus::Editor, true, false, false, true, false},
        {TActionFocus::Editor, true, false, true, false, false},
        {TActionFocus::CommandBox, true, true, false, true, false},
        {TActionFocus::HexView, true, true, false, false, false},
    };
    for (const Case& c : cases) {
        TActionInput in = LocalListWithSelection();
        in.Focus = c.focus;
        in.ClipboardHasText = c.text;
        in.ClipboardHasFiles = c.files;
        in.EditorVisible = true;
        in.EditorReadOnly = c.readOnly;
        in.CommandBoxEnabled = true;
        const TActionStates states = ComputeActionStates(in);
        EXPECT_EQ(states.Enabled(L"ClipBoardPaste"), c.paste) << static_cast<int>(c.focus);
        EXPECT_EQ(states.Enabled(L"CreateShortCutClipBoard"), c.shortcut) << static_cast<int>(c.focus);
    }
}

TEST(ActionRules, CutNeedsAWritableFocusedText)
{
    TActionInput in = LocalListWithSelection();
    in.Focus = TActionFocus::TextView;
    in.TextViewVisible = true;
    in.TextViewHasSelection = true;
    in.TextViewReadOnly = true;
    TActionStates states = ComputeActionStates(in);
    EXPECT_TRUE(states.Enabled(L"ClipBoardCopy"));
    EXPECT_FALSE(states.Enabled(L"ClipBoardCut"));
    in.TextViewReadOnly = false;
    EXPECT_TRUE(ComputeActionStates(in).Enabled(L"ClipBoardCut"));

    in.Focus = TActionFocus::HexView;
    states = ComputeActionStates(in);
    EXPECT_TRUE(states.Enabled(L"ClipBoardCopy"));
    EXPECT_FALSE(states.Enabled(L"ClipBoardCut"));
}

TEST(ActionRules, ForcedDisplayModeChecksOneAction)
{
    for (int mode = 0; mode < 3; ++mode) {
        TActionInput in;
        in.ForcedDisplayMode = mode;
        const TActionStates states = ComputeActionStates(in);
        EXPECT_EQ(states.Checked(L"DispAuto"), mode == 0);
        EXPECT_EQ(states.Checked(L"DispHex"), mode == 1);
        EXPECT_EQ(states.Checked(L"DispText"), mode == 2);
    }
    // Only the check rules carry a check mark; the others leave it alone.
    const TActionStates states = ComputeActionStates(TActionInput{});
    EXPECT_TRUE(states.States.at(TActionId::DispHex).Checkable);
    EXPECT_FALSE(states.States.at(TActionId::DeleteObject).Checkable);
}

TEST(ActionRules, FeaturesNotOfferedAreNeverEnabledByThePass)
{
    // Whatever the window's state, the pass names none of them, so what the
    // start-up hid stays hidden and disabled.
    for (const TActionInput& in : {TActionInput{}, LocalListWithSelection()})
        for (const std::wstring& name : FeaturesNotOffered())
            EXPECT_EQ(ComputeActionStates(in).States.count(FindActionId(name).value()), 0u)
                << testing::PrintToString(name);
}

TEST(ActionRules, SaveFollowsTheModifiedViewer)
{
    TActionInput in;
    in.HexViewVisible = true;
    in.HexViewModified = true;
    EXPECT_TRUE(ComputeActionStates(in).Enabled(L"TextFileSave"));
    in.HexViewVisible = false;  // a modified hex view that is hidden
    in.HexViewOnly = true;
    EXPECT_FALSE(ComputeActionStates(in).Enabled(L"TextFileSave"));
    EXPECT_FALSE(ComputeActionStates(in).Enabled(L"btnSaveTextFile"));
    in.EmbeddedDocumentShown = true;
    EXPECT_TRUE(ComputeActionStates(in).Enabled(L"btnSaveTextFile"));
}

TEST(ActionRules, HistoryPosition)
{
    struct Case {
        int index, count;
        bool prev, next;
    } cases[] = {
        {0, 0, false, false}, {0, 1, false, false}, {0, 3, true, false}, {1, 3, true, true}, {2, 3, false, true}};
    for (const Case& c : cases) {
        TActionInput in;
        in.HistoryIndex = c.index;
        in.HistoryCount = c.count;
        const TActionStates states = ComputeActionStates(in);
        EXPECT_EQ(states.Enabled(L"GoPrev"), c.prev) << c.index << "/" << c.count;
        EXPECT_EQ(states.Enabled(L"GoNext"), c.next) << c.index << "/" << c.count;
    }
}

TEST(ActionRules, SplitOrJoinByTheFirstSelectedItem)
{
    struct Case {
        const char* what;
        bool item, file, part;
        bool split, combine;
    } cases[] = {
        {"a file", true, true, false, true, false},
        {"a part file", true, true, true, false, true},
        {"a folder", true, false, false, false, false},
        {"nothing selected", false, false, false, false, false},
    };
    for (const Case& c : cases) {
        TActionInput in = LocalListWithSelection();
        in.Item = c.item;
        in.FirstSelectedIsFile = c.file;
        in.FirstSelectedIsSplitPart = c.part;
        ExpectStates(ComputeActionStates(in), {{L"SplitFile", c.split}, {L"CombineFile", c.combine}}, c.what);
    }
}

TEST(ActionRules, FileListNeedsAListWithRealItems)
{
    struct Case {
        const char* what;
        int items;
        bool noContents;
        bool enabled;
    } cases[] = {
        {"empty", 0, false, false},
        {"one item of a folder", 1, false, true},
        {"one item, no folder", 1, true, false},
        {"two items, no folder", 2, true, true},
    };
    for (const Case& c : cases) {
        TActionInput in = LocalListWithSelection();
        in.ListItems = c.items;
        in.ListNoFolderContents = c.noContents;
        ExpectStates(ComputeActionStates(in), {{L"CreateFileList", c.enabled}}, c.what);
    }
}

TEST(UndoRule, WordByLastOperationAndFocusedText)
{
    struct Case {
        TActionFocus focus;
        TUndoKind kind;
        bool canUndo, editorCanUndo;
        bool fileUndo;
        const wchar_t* word;
    } cases[] = {
        {TActionFocus::List, TUndoKind::Copy, true, false, true, L"kopieren"},
        {TActionFocus::List, TUndoKind::Move, true, false, true, L"verschieben"},
        {TActionFocus::Tree, TUndoKind::Rename, true, false, true, L"umbenennen"},
        // A delete to the recycle bin leaves nothing to undo.
        {TActionFocus::List, TUndoKind::None, false, false, false, L""},
        {TActionFocus::List, TUndoKind::Copy, false, false, false, L""},
        // A focused text's change goes first; with none left, the last file
        // operation.
        {TActionFocus::Editor, TUndoKind::Copy, true, true, true, L"Textänderung"},
        {TActionFocus::Editor, TUndoKind::Copy, true, false, true, L"kopieren"},
        {TActionFocus::Editor, TUndoKind::Copy, false, false, false, L""},
    };
    for (const Case& c : cases) {
        TActionInput in = LocalListWithSelection();
        in.Focus = c.focus;
        in.LastOperation = c.kind;
        in.LastOperationCanUndo = c.canUndo;
        in.EditorVisible = true;
        in.EditorCanUndo = c.editorCanUndo;
        const TActionStates states = ComputeActionStates(in);
        EXPECT_EQ(states.Enabled(L"FileUndo"), c.fileUndo) << testing::PrintToString(std::wstring(c.word));
        EXPECT_EQ(states.UndoWord, c.word);
    }
    EXPECT_EQ(UndoHint(L"kopieren"), L"Rückgängig kopieren (Strg+Z)");
    EXPECT_EQ(UndoMenuCaption(L"kopieren"), L"R&ückgängig kopieren\tStrg+Z");
    EXPECT_EQ(UndoCaption(L"verschieben"), L"R&ückgängig verschieben");
    EXPECT_EQ(UndoHint(L"A&B"), L"Rückgängig AB (Strg+Z)");
}

TEST(ActionRules, TextCommandsFollowTheFocusedAndTheShownViewer)
{
    // A writable rich-text view with a selection, focused.
    TActionInput view;
    view.Focus = TActionFocus::TextView;
    view.TextViewVisible = true;
    view.TextViewReadOnly = false;
    view.TextViewHasSelection = true;
    view.ClipboardHasText = true;
    ExpectStates(ComputeActionStates(view),
                 {{L"TextCopy", true},
                  {L"TextCut", true},
                  {L"TextPaste", true},
                  {L"TextDelete", true},
                  {L"TextSelectAll", true},
                  {L"TextSearch", true},
                  {L"TextSearchNext", true},
                  {L"TextReplace", true},
                  {L"TextSort", true},
                  {L"TextCRLF", true},
                  {L"TextAnsi", false},
                  {L"TextMarkColumn", false}},
                 "writable text view");

    TActionInput readOnly = view;
    readOnly.TextViewReadOnly = true;
    ExpectStates(ComputeActionStates(readOnly),
                 {{L"TextCopy", true},
                  {L"TextCut", false},
                  {L"TextPaste", false},
                  {L"TextDelete", false},
                  {L"TextReplace", false},
                  {L"TextSort", false},
                  {L"TextSearch", true}},
                 "read-only text view");

    // The hex view copies its selection and is searched; nothing is cut.
    TActionInput hex;
    hex.Focus = TActionFocus::HexView;
    hex.HexViewVisible = true;
    hex.HexViewHasSelection = true;
    hex.ClipboardHasText = true;
    ExpectStates(ComputeActionStates(hex),
                 {{L"TextCopy", true},
                  {L"TextCut", false},
                  {L"TextPaste", false},
                  {L"TextSearch", true},
                  {L"TextReplace", false},
                  {L"TextSelectAll", false}},
                 "hex view");
    hex.HexViewHasSelection = false;
    EXPECT_FALSE(ComputeActionStates(hex).Enabled(L"TextCopy"));

    // The command box: copy by its selection, paste always with text.
    TActionInput box;
    box.Focus = TActionFocus::CommandBox;
    box.ClipboardHasText = true;
    ExpectStates(ComputeActionStates(box),
                 {{L"TextCopy", false}, {L"TextPaste", true}, {L"TextSelectAll", true}, {L"TextSearch", false}},
                 "command box");
    box.ComboHasSelection = true;
    EXPECT_TRUE(ComputeActionStates(box).Enabled(L"TextCut"));

    // The editor's switches; column marking only without word wrap.
    TActionInput editor;
    editor.EditorVisible = true;
    ExpectStates(ComputeActionStates(editor),
                 {{L"TextAnsi", true}, {L"TextUnicode", true}, {L"TextShowRulers", true}, {L"TextMarkColumn", true}},
                 "editor");
    editor.EditorWordWrap = true;
    EXPECT_FALSE(ComputeActionStates(editor).Enabled(L"TextMarkColumn"));

    // The mode buttons are down for their forced mode.
    TActionInput forced;
    forced.ForcedDisplayMode = 1;
    EXPECT_TRUE(ComputeActionStates(forced).Checked(L"btnHex"));
    EXPECT_FALSE(ComputeActionStates(forced).Checked(L"btnText"));
}

TEST(HistoryHints, WithAndWithoutAnEntry)
{
    EXPECT_EQ(NextHistoryHint(L"C:\\Daten"), L"Weiter zu \"C:\\Daten\" (Alt+Rechts)");
    EXPECT_EQ(NextHistoryHint(L""), L"Weiter zum nächsten Verzeichnis (Alt+Rechts)");
    EXPECT_EQ(PreviousHistoryHint(L"D:\\"), L"Zurück zu \"D:\\\" (Alt+Links)");
    EXPECT_EQ(PreviousHistoryHint(L""), L"Zurück zum vorigen Verzeichnis (Alt+Links)");
}
