#include "mainwindow/win/FileCommands.h"

#include "FakeMainWindowServices.h"

#include "TestDir.h"
#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileClipboard.h"
#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "win/DialogAnswerer.h"
#include "win/MessagePump.h"
#include "win/WineDrive.h"
#include "win/WineTrash.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The window's side, recorded: a tree and one list on a form and the settings.
class FakeFileCommandsHost : public TFileCommandsHost, public FakeMainWindowServices {
public:
    // The window's panes: the active list is the first, the other one the
    // second window's list while its panel is shown.
    TMainPanes panes;
    TDirView*& list = panes.LV1;
    TDirView*& other = panes.LV2;
    TDriveView*& tree = panes.TreeView1;
    TOptions options;
    std::wstring comSpec;
    std::vector<std::wstring> boxes;
    int answer = mrOk;
    int displayCleared = 0;

    bool textFocused = false;
    std::vector<std::wstring> textCommands;
    bool TextControlFocused() override { return textFocused; }
    void TextCopy(bool cut) override { textCommands.push_back(cut ? L"cut" : L"copy"); }
    void TextPaste() override { textCommands.push_back(L"paste"); }
    bool TextUndo() override
    {
        textCommands.push_back(L"undo");
        return true;
    }
    void TextFind() override { textCommands.push_back(L"find"); }
    std::wstring ComSpec() override { return comSpec; }
    const TOptions& FileOptions() override { return options; }
    int ShowMessageBox(const std::wstring& text, TMsgDlgType, int, TMsgDlgButtons) override
    {
        boxes.push_back(text);
        return answer;
    }
    bool ClearDisplay() override
    {
        ++displayCleared;
        return true;
    }
    int displayedAgain = 0;
    void DisplayFocusedFile() override { ++displayedAgain; }
};

class FileCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Liste");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        dir.Write(L"Liste\\brief.txt", "Text");
        dir.Write(L"Liste\\notiz.txt", "Notiz");
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 700, 400);
        host.tree = new TDriveView(form.get());
        host.tree->SetParent(form.get());
        host.tree->SetBounds(0, 0, 200, 400);
        host.list = new TDirView(form.get());
        host.list->SetParent(form.get());
        host.list->SetBounds(200, 0, 500, 400);
        host.panes.ActiveList = host.list;
        host.tree->SetDirView(host.list);
        form->Show();
        host.tree->SetDirectory(folder);
        host.list->SetPath(folder);
        host.list->SetFocus();
    }
    void TearDown() override { form.reset(); }
    // The second file window's list, not watching: only the command can
    // bring it in line.
    void ShowSecondList(const std::wstring& path)
    {
        host.panes.FilePanel2 = new TPanel(form.get());
        host.panes.FilePanel2->SetParent(form.get());
        host.panes.FilePanel2->SetBounds(200, 200, 500, 200);
        host.other = new TDirView(form.get());
        host.other->SetParent(host.panes.FilePanel2);
        host.other->SetBounds(0, 0, 500, 200);
        host.other->SetWatchForChanges(false);
        host.other->SetPath(path);
        ASSERT_TRUE(host.other->Loaded());
    }
    TTreeNode* ReadTreeNode(const std::wstring& path)
    {
        TTreeNode* parent = host.tree->NodeForPath(ExtractFilePath(path));
        if (parent) {
            host.tree->ValidateDirectory(parent);
        }
        return host.tree->NodeForPath(path);
    }
    void Select(const std::wstring& name)
    {
        host.list->SelectRange(-1, -1, false);
        host.list->SetItemSelected(*host.list->FindFileItem(name), true);
    }

    test::TestDir dir;
    std::wstring folder;
    std::unique_ptr<TForm> form;
    FakeFileCommandsHost host;
    TFileCommands commands{host.panes, host, host};
};

}  // namespace

TEST_F(FileCommandsTest, InsertMakesNumberedFoldersAndOpensTheEditor)
{
    commands.NewDir();
    EXPECT_TRUE(Exists(folder + L"\\Neues Verzeichnis"));
    EXPECT_NE(SendMessageW(host.list->Handle(), LVM_GETEDITCONTROL, 0, 0), 0) << "the new name is being edited";
    SendMessageW(host.list->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    commands.NewDir();
    SendMessageW(host.list->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    EXPECT_TRUE(Exists(folder + L"\\Neues Verzeichnis (1)"));
    commands.NewFile();
    SendMessageW(host.list->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    EXPECT_TRUE(Exists(folder + L"\\Neue Datei"));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FileCommandsTest, ShiftDeleteDeletesForGoodWithoutTheProgramsQuestion)
{
    host.options.ConfirmPhysicalDel = false;
    Select(L"brief.txt");
    commands.DeleteObjectPhysical();
    EXPECT_FALSE(Exists(folder + L"\\brief.txt"));
    EXPECT_TRUE(Exists(folder + L"\\notiz.txt"));
    EXPECT_EQ(host.displayCleared, 1);
    EXPECT_EQ(host.displayedAgain, 1) << "the display follows the focus again";
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(host.list->ConfirmDelete) << "the list's own setting comes back";

    // A folder deleted in the list leaves the tree too.
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unter").c_str(), nullptr));
    host.list->ReloadDirectory();
    TTreeNode* node = host.tree->NodeForPath(folder);
    ASSERT_NE(node, nullptr);
    host.tree->ValidateDirectory(node);
    ASSERT_NE(host.tree->NodeForPath(folder + L"\\Unter"), nullptr);
    Select(L"Unter");
    commands.DeleteObjectPhysical();
    EXPECT_FALSE(Exists(folder + L"\\Unter"));
    EXPECT_EQ(host.tree->NodeForPath(folder + L"\\Unter"), nullptr);
}

TEST_F(FileCommandsTest, UndoWithoutAnOperationSaysSoAndAfterAPasteRemovesTheCopies)
{
    commands.FileUndo();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], L"Operation kann nicht rückgängig gemacht werden.");

    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    Select(L"notiz.txt");
    commands.ClipBoardCopy(false);
    host.list->SetPath(other);
    commands.ClipBoardPaste();
    ASSERT_EQ(dir.Read(L"Andere\\notiz.txt"), "Notiz");
    ASSERT_EQ(commands.LastFileOperator(), &host.list->FileOperator());
    commands.FileUndo();
    EXPECT_FALSE(Exists(other + L"\\notiz.txt"));
    EXPECT_EQ(dir.Read(L"Liste\\notiz.txt"), "Notiz");
    EXPECT_EQ(host.boxes.size(), 1u) << "no further message";
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

TEST_F(FileCommandsTest, DeleteWithNothingSelectedIsRefused)
{
    host.list->SelectRange(-1, -1, false);
    commands.DeleteObject();
    EXPECT_EQ(host.boxes, std::vector<std::wstring>{L"Kein löschbares Element fokusiert."});
    commands.EditObject();
    EXPECT_EQ(host.boxes.back(), L"Kein editierbares Element fokusiert.");
}

TEST_F(FileCommandsTest, TheTreeMakesAndDeletesFoldersThere)
{
    TTreeNode* node = host.tree->NodeForPath(folder);
    ASSERT_NE(node, nullptr);
    host.tree->SelectNode(node);
    host.tree->SetFocus();
    ASSERT_EQ(commands.FocusedPane(), TFilePane::Tree);

    commands.NewDir();
    EXPECT_TRUE(Exists(folder + L"\\Neues Verzeichnis"));
    ASSERT_TRUE(host.tree->IsEditing()) << "the new folder's name is being edited";
    SendMessageW(host.tree->Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);

    TTreeNode* created = host.tree->NodeForPath(folder + L"\\Neues Verzeichnis");
    ASSERT_NE(created, nullptr);
    host.tree->SelectNode(created);
    host.options.ConfirmPhysicalDel = false;
    commands.DeleteObjectPhysical();
    EXPECT_FALSE(Exists(folder + L"\\Neues Verzeichnis"));
    EXPECT_EQ(host.tree->NodeForPath(folder + L"\\Neues Verzeichnis"), nullptr);
    EXPECT_EQ(host.tree->Selected(), node);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(host.tree->ConfirmDelete) << "the tree's own setting comes back";

    // A drive is not deleted.
    host.tree->SelectNode(host.tree->RootNode(node));
    commands.DeleteObjectPhysical();
    EXPECT_EQ(host.boxes, std::vector<std::wstring>{L"Kein löschbares Element fokusiert."});
}

TEST_F(FileCommandsTest, CutAndPasteMovesAndUndoMovesBack)
{
    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    Select(L"brief.txt");
    commands.ClipBoardCopy(true);
    host.list->SetPath(other);
    commands.ClipBoardPaste();
    EXPECT_EQ(dir.Read(L"Andere\\brief.txt"), "Text");
    EXPECT_FALSE(Exists(folder + L"\\brief.txt")) << "a cut moves";
    EXPECT_NE(host.list->FindFileItem(L"brief.txt"), nullptr);

    commands.FileUndo();
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text");
    EXPECT_FALSE(Exists(other + L"\\brief.txt"));
    EXPECT_TRUE(host.boxes.empty());
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

TEST_F(FileCommandsTest, WithATextControlFocusedClipboardAndSearchAreTheTexts)
{
    ASSERT_TRUE(PutFilesOnClipboard(nullptr, {folder + L"\\brief.txt"}, false));
    Select(L"notiz.txt");
    host.textFocused = true;
    commands.ClipBoardCopy(false);
    commands.ClipBoardCopy(true);
    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    host.list->SetPath(other);
    commands.ClipBoardPaste();
    commands.FindDatei();
    EXPECT_EQ(host.textCommands, (std::vector<std::wstring>{L"copy", L"cut", L"paste", L"find"}));
    const auto files = ReadClipboardFiles(nullptr);
    ASSERT_TRUE(files);
    EXPECT_EQ(files->Names, std::vector<std::wstring>{folder + L"\\brief.txt"}) << "the list's selection went there";
    EXPECT_FALSE(Exists(other + L"\\brief.txt")) << "the clipboard's file was pasted";
    EXPECT_TRUE(host.boxes.empty());
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

// Wine's shell leaves a folder whose name the target holds and reports
// success: the user is told, and the rest of the move can be undone.
TEST_F(FileCommandsTest, APasteThatMovesOnlyPartNamesWhatStayedAndUndoReturnsTheRest)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Projekt").c_str(), nullptr));
    dir.Write(L"Liste\\Projekt\\neu.txt", "neu");
    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((other + L"\\Projekt").c_str(), nullptr));
    host.list->ReloadDirectory();
    host.list->SelectRange(-1, -1, false);
    for (const wchar_t* name : {L"Projekt", L"brief.txt"})
        host.list->SetItemSelected(*host.list->FindFileItem(name), true);
    commands.ClipBoardCopy(true);
    host.list->SetPath(other);
    commands.ClipBoardPaste();
    ASSERT_EQ(dir.Read(L"Andere\\brief.txt"), "Text");
    if (Exists(other + L"\\Projekt\\neu.txt"))
        GTEST_SKIP() << "this shell joins the folders";
    EXPECT_EQ(host.boxes,
              std::vector<std::wstring>{L"Diese Elemente wurden nicht verschoben:\n" + folder + L"\\Projekt"});
    EXPECT_TRUE(ClipboardHasFiles()) << "what was cut and not moved is still on the clipboard";

    commands.FileUndo();
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text");
    EXPECT_FALSE(Exists(other + L"\\brief.txt"));
    EXPECT_EQ(dir.Read(L"Liste\\Projekt\\neu.txt"), "neu");
    EXPECT_EQ(host.boxes.size(), 1u) << "the undo went without a message";
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

// A copy or a move onto a drive that fills up: Wine's shell reports success
// and leaves a prefix of the file. The box names the system's reason, no
// partial file stays, the source is whole, and nothing is left to undo.
TEST_F(FileCommandsTest, APasteOntoAFullDriveSaysWhyAndLeavesNoPartialFile)
{
    const char* small = std::getenv("QRV_SMALL_DRIVE");
    if (!small || !*small)
        GTEST_SKIP() << "no small drive (scripts/test mounts one where this machine allows it)";
    std::wstring smallFolder(small, small + std::strlen(small));
    test::WineDrive drive(smallFolder, DRIVE_FIXED);
    if (!drive.Letter())
        GTEST_SKIP() << "no drive letter for the small drive";
    const std::wstring root = std::wstring(1, drive.Letter()) + L":\\";
    std::string big(3000000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31 + i / 977);
    const std::wstring source = dir.Write(L"Liste\\gross.bin", big);
    host.list->ReloadDirectory();

    for (const bool cut : {false, true}) {
        host.boxes.clear();
        host.list->SetPath(folder);
        Select(L"gross.bin");
        commands.ClipBoardCopy(cut);
        host.list->SetPath(root);
        commands.ClipBoardPaste();
        ASSERT_EQ(host.boxes.size(), 1u) << "cut " << cut;
        EXPECT_EQ(host.boxes[0], std::wstring(cut ? L"Diese Elemente wurden nicht vollständig verschoben:"
                                                  : L"Diese Elemente wurden nicht vollständig kopiert:") +
                                     L"\n" + root + L"gross.bin: " + Win32ErrorText(ERROR_DISK_FULL));
        EXPECT_FALSE(Exists(root + L"gross.bin")) << "cut " << cut;
        EXPECT_EQ(dir.Read(L"Liste\\gross.bin"), big) << "cut " << cut;
        EXPECT_FALSE(host.list->FileOperator().UndoAvailable());
    }
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

// A copy pasted into its own folder becomes "<name> - Kopie", then
// "<name> - Kopie (2)", without a question; Wine's shell asked to overwrite
// the file with itself and did nothing. The undo removes the copies only.
TEST_F(FileCommandsTest, ACopyPastedIntoItsOwnFolderIsNamedAsACopy)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Projekt").c_str(), nullptr));
    dir.Write(L"Liste\\Projekt\\neu.txt", "neu");
    host.list->ReloadDirectory();
    for (const wchar_t* copy : {L" - Kopie", L" - Kopie (2)"}) {
        host.list->SelectRange(-1, -1, false);
        for (const wchar_t* name : {L"brief.txt", L"Projekt"})
            host.list->SetItemSelected(*host.list->FindFileItem(name), true);
        commands.ClipBoardCopy(false);
        commands.ClipBoardPaste();
        EXPECT_EQ(dir.Read(L"Liste\\brief" + std::wstring(copy) + L".txt"), "Text");
        EXPECT_EQ(dir.Read(L"Liste\\Projekt" + std::wstring(copy) + L"\\neu.txt"), "neu");
    }
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text");
    EXPECT_TRUE(host.boxes.empty());
    // The copies are what is selected now.
    EXPECT_TRUE(host.list->FindFileItem(L"brief - Kopie (2).txt")->Selected);

    commands.FileUndo();
    EXPECT_FALSE(Exists(folder + L"\\brief - Kopie (2).txt"));
    EXPECT_FALSE(Exists(folder + L"\\Projekt - Kopie (2)"));
    EXPECT_TRUE(Exists(folder + L"\\brief - Kopie.txt"));
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text");
    EXPECT_EQ(dir.Read(L"Liste\\Projekt\\neu.txt"), "neu");
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

TEST_F(FileCommandsTest, F2RenamesInTheTreeAndStrgZUndoesTheRename)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Alt").c_str(), nullptr));
    TTreeNode* node = host.tree->NodeForPath(folder);
    host.tree->SelectNode(node);
    host.tree->ValidateDirectory(node);
    TTreeNode* alt = host.tree->NodeForPath(folder + L"\\Alt");
    ASSERT_NE(alt, nullptr);
    host.tree->SelectNode(alt);
    host.tree->SetFocus();
    host.tree->OnRenameEnd = [this](TComponent*, TTreeNode*) {
        commands.SetLastFileOperator(&host.tree->FileOperator());
    };
    commands.EditObject();
    const HWND edit = reinterpret_cast<HWND>(SendMessageW(host.tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"Neu");
    SendMessageW(host.tree->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    ASSERT_TRUE(Exists(folder + L"\\Neu"));

    commands.FileUndo();
    EXPECT_TRUE(Exists(folder + L"\\Alt"));
    EXPECT_FALSE(Exists(folder + L"\\Neu"));
    EXPECT_NE(host.tree->NodeForPath(folder + L"\\Alt"), nullptr) << "the tree follows the undo";
    EXPECT_TRUE(host.boxes.empty());
}

// COMSPEC names a batch file that writes the folder it starts in.
TEST_F(FileCommandsTest, TheCommandInterpreterStartsInTheListsFolder)
{
    const std::wstring record = dir.File(L"gestartet.txt");
    host.comSpec = dir.Write(L"interpreter.cmd", "@cd > \"" + std::string(record.begin(), record.end()) + "\"\r\n");
    commands.DOS();
    ASSERT_TRUE(test::PumpUntil([&] { return Exists(record) && !dir.Read(L"gestartet.txt").empty(); }, 20s))
        << "the interpreter did not start";
    std::string started = dir.Read(L"gestartet.txt");
    while (!started.empty() && (started.back() == '\n' || started.back() == '\r' || started.back() == ' '))
        started.pop_back();
    EXPECT_TRUE(SameText(std::wstring(started.begin(), started.end()), folder)) << started;
    EXPECT_TRUE(host.boxes.empty());

    host.comSpec = dir.File(L"fehlt.exe");
    commands.DOS();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].rfind(L"Fehler beim Ausführen von: " + host.comSpec + L"\n", 0), 0u) << host.boxes[0];
    EXPECT_GT(host.boxes[0].size(), (L"Fehler beim Ausführen von: " + host.comSpec + L"\n").size())
        << "the reason follows";
}

// Wine's shell has no "find" verb for folders and its control panel no
// shortcut wizard: each command says so instead of starting something else.
TEST_F(FileCommandsTest, SearchAndShortcutWizardReportWhatTheShellLacks)
{
    TRegKey findVerb;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Directory\\shell\\find", 0, KEY_READ, findVerb.Receive()) == ERROR_SUCCESS)
        GTEST_SKIP() << "this shell has a search";
    commands.FindDatei();
    ASSERT_EQ(host.boxes.size(), 1u);
    const std::wstring head = L"Fehler beim Ausführen von: Shell-Kommando \"find\"\n";
    EXPECT_EQ(host.boxes[0].rfind(head, 0), 0u) << testing::PrintToString(host.boxes[0]);
    EXPECT_GT(host.boxes[0].size(), head.size()) << "the reason follows";

    commands.NewLink();
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1],
              L"Die DLL wurde nicht gefunden.\nFehler beim Ausführen der Datei \"RUNDLL32.EXE\" aufgetreten.");
}

TEST_F(FileCommandsTest, AFolderCutInTheTreeIsPastedIntoTheList)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Umzug").c_str(), nullptr));
    dir.Write(L"Liste\\Umzug\\inhalt.txt", "Inhalt");
    const std::wstring other = dir.File(L"Ziel");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    TTreeNode* node = host.tree->NodeForPath(folder);
    host.tree->SelectNode(node);
    host.tree->ValidateDirectory(node);
    TTreeNode* moving = host.tree->NodeForPath(folder + L"\\Umzug");
    ASSERT_NE(moving, nullptr);
    host.tree->SelectNode(moving);
    host.tree->SetFocus();
    commands.ClipBoardCopy(true);
    // A drive is neither cut nor copied.
    host.tree->SelectNode(host.tree->RootNode(node));
    commands.ClipBoardCopy(false);

    host.list->SetPath(other);
    host.list->SetFocus();
    commands.ClipBoardPaste();
    EXPECT_EQ(dir.Read(L"Ziel\\Umzug\\inhalt.txt"), "Inhalt");
    EXPECT_FALSE(Exists(folder + L"\\Umzug"));
    EXPECT_TRUE(host.boxes.empty());
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

TEST_F(FileCommandsTest, ADeleteBringsTheSecondListInLine)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unter").c_str(), nullptr));
    dir.Write(L"Liste\\Unter\\tief.txt", "Tief");
    host.list->ReloadDirectory();
    host.list->SetWatchForChanges(false);
    host.options.ConfirmPhysicalDel = false;

    // Both windows show the same folder: the other one re-reads.
    ShowSecondList(folder);
    ASSERT_NE(host.other->FindFileItem(L"brief.txt"), nullptr);
    Select(L"brief.txt");
    commands.DeleteObjectPhysical();
    ASSERT_FALSE(Exists(folder + L"\\brief.txt"));
    EXPECT_EQ(host.other->FindFileItem(L"brief.txt"), nullptr) << "the second list still shows the deleted file";
    EXPECT_NE(host.other->FindFileItem(L"notiz.txt"), nullptr);
    EXPECT_GE(host.actionUpdates, 1);

    // The other list shows a folder that goes: it moves up to the folder left.
    host.other->SetPath(folder + L"\\Unter");
    Select(L"Unter");
    commands.DeleteObjectPhysical();
    ASSERT_FALSE(Exists(folder + L"\\Unter"));
    EXPECT_TRUE(SameText(host.other->GetPath(), folder)) << host.other->GetPath();
    EXPECT_NE(host.other->FindFileItem(L"notiz.txt"), nullptr);

    // A list somewhere else is left alone.
    const std::wstring elsewhere = dir.File(L"Woanders");
    ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    host.other->SetPath(elsewhere);
    dir.Write(L"Woanders\\neu.txt", "neu");
    Select(L"notiz.txt");
    commands.DeleteObjectPhysical();
    EXPECT_EQ(host.other->FindFileItem(L"neu.txt"), nullptr) << "an unrelated list was re-read";
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FileCommandsTest, AFolderDeletedInTheTreeTakesTheSecondListUp)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unter").c_str(), nullptr));
    TTreeNode* node = ReadTreeNode(folder + L"\\Unter");
    ASSERT_NE(node, nullptr);
    ShowSecondList(folder + L"\\Unter");
    host.tree->SelectNode(node);
    host.tree->SetFocus();
    host.options.ConfirmPhysicalDel = false;
    commands.DeleteObjectPhysical();
    ASSERT_FALSE(Exists(folder + L"\\Unter"));
    EXPECT_TRUE(SameText(host.other->GetPath(), folder)) << host.other->GetPath();
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FileCommandsTest, UndoReachesThePasteOfTheSecondList)
{
    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ShowSecondList(other);
    Select(L"notiz.txt");
    commands.ClipBoardCopy(false);
    // The paste happens in the second list, then the first has the focus again.
    host.panes.ActiveList = host.other;
    host.other->SetFocus();
    commands.ClipBoardPaste();
    ASSERT_EQ(dir.Read(L"Andere\\notiz.txt"), "Notiz");
    host.panes.ActiveList = host.list;
    host.list->SetFocus();
    commands.FileUndo();
    EXPECT_FALSE(Exists(other + L"\\notiz.txt"));
    EXPECT_EQ(host.other->FindFileItem(L"notiz.txt"), nullptr) << "the list that pasted re-reads";
    EXPECT_EQ(dir.Read(L"Liste\\notiz.txt"), "Notiz");
    EXPECT_TRUE(host.boxes.empty());
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

TEST_F(FileCommandsTest, AFolderCutInTheTreeLooksCutUntilTheClipboardChanges)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Eins").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Zwei").c_str(), nullptr));
    TTreeNode* eins = ReadTreeNode(folder + L"\\Eins");
    TTreeNode* zwei = host.tree->NodeForPath(folder + L"\\Zwei");
    ASSERT_NE(eins, nullptr);
    ASSERT_NE(zwei, nullptr);
    const auto drawnCut = [&](TTreeNode* node) {
        return (SendMessageW(host.tree->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->ItemId()),
                             TVIS_CUT) &
                TVIS_CUT) != 0;
    };
    host.tree->SelectNode(eins);
    host.tree->SetFocus();
    commands.ClipBoardCopy(true);
    EXPECT_TRUE(drawnCut(eins));
    EXPECT_TRUE(SameText(host.tree->CutMark(), folder + L"\\Eins"));

    // Cutting a second folder takes the look off the first.
    host.tree->SelectNode(zwei);
    commands.ClipBoardCopy(true);
    EXPECT_FALSE(drawnCut(eins));
    EXPECT_TRUE(drawnCut(zwei));

    // A copy replaces the cut on the clipboard: nothing looks cut.
    host.tree->SelectNode(eins);
    commands.ClipBoardCopy(false);
    EXPECT_FALSE(drawnCut(zwei));
    EXPECT_FALSE(drawnCut(eins)) << "a copied folder is not drawn cut";
    EXPECT_TRUE(host.tree->CutMark().empty());
    ASSERT_TRUE(ClipboardHasFiles());

    // So does a cut in the list (which follows the tree into "Zwei").
    dir.Write(L"Liste\\Zwei\\brief.txt", "Zwei");
    host.tree->SelectNode(zwei);
    commands.ClipBoardCopy(true);
    ASSERT_TRUE(drawnCut(zwei));
    host.list->SetPath(folder + L"\\Zwei");
    host.list->SetFocus();
    ASSERT_NE(host.list->FindFileItem(L"brief.txt"), nullptr);
    Select(L"brief.txt");
    commands.ClipBoardCopy(true);
    EXPECT_FALSE(drawnCut(zwei));

    // Emptying the clipboard by command takes the files and the look away.
    host.tree->SelectNode(zwei);
    host.tree->SetFocus();
    commands.ClipBoardCopy(true);
    commands.ClipBoardDelete();
    EXPECT_FALSE(ClipboardHasFiles());
    EXPECT_FALSE(drawnCut(zwei));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FileCommandsTest, ANewFolderInTheTreeOpensItsNameAfterAPause)
{
    TTreeNode* node = host.tree->NodeForPath(folder);
    ASSERT_NE(node, nullptr);
    host.tree->SelectNode(node);
    host.tree->SetFocus();
    const auto start = std::chrono::steady_clock::now();
    commands.NewDir();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(Exists(folder + L"\\Neues Verzeichnis"));
    EXPECT_GE(elapsed, 200ms);
    EXPECT_TRUE(host.tree->IsEditing());
    SendMessageW(host.tree->Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);
}

// ---- Shortcuts, selection, the tree, properties ---------------------------------------------

namespace {

struct TLinkRead {
    bool Loaded = false;
    std::wstring Target;
    std::wstring Description;
};

// Reads a shortcut through the shell's link object itself.
TLinkRead ReadLink(const std::wstring& linkFile)
{
    TLinkRead read;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return read;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(linkFile.c_str(), STGM_READ))) {
            wchar_t text[MAX_PATH] = L"";
            read.Loaded = link->GetPath(text, MAX_PATH, nullptr, 0) == S_OK;
            read.Target = text;
            text[0] = 0;
            link->GetDescription(text, MAX_PATH);
            read.Description = text;
        }
        file->Release();
    }
    link->Release();
    return read;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

TEST_F(FileCommandsTest, ShortcutsToTheSelectionPointAtTheItemsAndNeverReplaceAFile)
{
    host.list->SelectRange(-1, -1, false);
    for (const wchar_t* name : {L"brief.txt", L"notiz.txt"})
        host.list->SetItemSelected(*host.list->FindFileItem(name), true);
    host.list->SetFocus();
    commands.CreateShortCut();
    commands.CreateShortCut();
    EXPECT_TRUE(host.boxes.empty());
    for (const wchar_t* name : {L"brief.txt", L"notiz.txt"}) {
        for (const std::wstring& link : {folder + L"\\" + name + L".lnk", folder + L"\\" + name + L" (2).lnk"}) {
            const TLinkRead read = ReadLink(link);
            ASSERT_TRUE(read.Loaded) << WideToUtf8(link);
            EXPECT_TRUE(SamePath(read.Target, folder + L"\\" + name)) << WideToUtf8(read.Target);
            EXPECT_EQ(read.Description, name);
        }
    }
    EXPECT_NE(host.list->FindFileItem(L"brief.txt.lnk"), nullptr) << "the list shows the new shortcuts";
}

TEST_F(FileCommandsTest, AShortcutOfTheTreesFolderGoesIntoItAndNothingFocusedIsRefused)
{
    TTreeNode* node = host.tree->NodeForPath(folder);
    ASSERT_NE(node, nullptr);
    host.tree->SelectNode(node);
    host.tree->SetFocus();
    commands.CreateShortCut();
    const TLinkRead read = ReadLink(folder + L"\\Liste.lnk");
    ASSERT_TRUE(read.Loaded);
    EXPECT_TRUE(SamePath(read.Target, folder)) << WideToUtf8(read.Target);
    EXPECT_EQ(read.Description, L"Liste");
    EXPECT_TRUE(host.boxes.empty());

    SetFocus(form->Handle());
    commands.CreateShortCut();
    EXPECT_EQ(host.boxes, std::vector<std::wstring>{L"Kein Shortcut-fähiges Element fokusiert."});
}

TEST_F(FileCommandsTest, ShortcutsToTheClipboardsFilesGoIntoTheListsFolder)
{
    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(PutFilesOnClipboard(nullptr, {folder + L"\\notiz.txt", folder}, false));
    host.list->SetPath(other);
    commands.CreateShortCutClipBoard();
    const TLinkRead file = ReadLink(other + L"\\notiz.txt.lnk");
    ASSERT_TRUE(file.Loaded);
    EXPECT_TRUE(SamePath(file.Target, folder + L"\\notiz.txt"));
    EXPECT_EQ(file.Description, L"notiz") << "the name without its extension";
    EXPECT_TRUE(SamePath(ReadLink(other + L"\\Liste.lnk").Target, folder));
    EXPECT_NE(host.list->FindFileItem(L"notiz.txt.lnk"), nullptr);
    EXPECT_TRUE(host.list->WatchForChanges() == false || host.list->WatchThreadActive());
    EXPECT_TRUE(Exists(folder + L"\\notiz.txt")) << "the file itself stays";

    // Nothing on the clipboard: nothing made.
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
    DeleteFileW((other + L"\\notiz.txt.lnk").c_str());
    commands.CreateShortCutClipBoard();
    EXPECT_FALSE(Exists(other + L"\\notiz.txt.lnk"));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FileCommandsTest, StrgAAndStrgISelectFilesOrEverythingWithSelDirs)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unter").c_str(), nullptr));
    host.list->ReloadDirectory();
    host.list->SelectRange(-1, -1, false);
    auto selected = [&] {
        std::vector<std::wstring> names;
        for (int i = 0; i < host.list->ItemCount(); ++i)
            if (host.list->GetItemData(i)->Selected)
                names.push_back(host.list->GetItemData(i)->FileName);
        std::sort(names.begin(), names.end());
        return names;
    };
    host.options.SelDirs = false;
    commands.SelectAll();
    EXPECT_EQ(selected(), (std::vector<std::wstring>{L"brief.txt", L"notiz.txt"}));
    EXPECT_EQ(SendMessageW(host.list->Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 2) << "the control shows it";
    EXPECT_GT(host.actionUpdates, 0) << "the action states follow the selection";

    host.options.SelDirs = true;
    host.list->SetItemSelected(*host.list->FindFileItem(L"brief.txt"), false);
    commands.SelectInvert();
    EXPECT_EQ(selected(), (std::vector<std::wstring>{L"Unter", L"brief.txt"}));

    // From the tree the list takes the focus.
    host.tree->SetFocus();
    commands.SelectAll();
    EXPECT_EQ(selected(), (std::vector<std::wstring>{L"Unter", L"brief.txt", L"notiz.txt"}));
    EXPECT_EQ(commands.FocusedPane(), TFilePane::List);
}

TEST_F(FileCommandsTest, ExpandAndCollapseOneLevelOrTheWholeSubtree)
{
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\A").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\A\\B").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\A\\B\\C").c_str(), nullptr));
    TTreeNode* node = ReadTreeNode(folder);
    ASSERT_NE(node, nullptr);
    host.tree->ValidateDirectory(node);
    host.tree->SelectNode(node);

    commands.ActExpand();
    EXPECT_TRUE(node->Expanded());
    TTreeNode* a = host.tree->NodeForPath(folder + L"\\A");
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->Expanded()) << "one level only";
    commands.ActCollapse();
    EXPECT_FALSE(node->Expanded());

    commands.ActExpandAll();
    TTreeNode* b = host.tree->NodeForPath(folder + L"\\A\\B");
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(node->Expanded());
    EXPECT_TRUE(b->Expanded());
    EXPECT_NE(host.tree->NodeForPath(folder + L"\\A\\B\\C"), nullptr);
    commands.ActCollapseAll();
    EXPECT_FALSE(node->Expanded());
    EXPECT_FALSE(host.tree->NodeForPath(folder + L"\\A\\B")->Expanded());
    EXPECT_EQ(host.tree->Selected(), node);
}

TEST_F(FileCommandsTest, RescanReadsTheDriveAgainAndKeepsTheFolder)
{
    TTreeNode* node = ReadTreeNode(folder);
    ASSERT_NE(node, nullptr);
    host.tree->SelectNode(node);
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Spaeter").c_str(), nullptr));
    const bool fullScan = host.tree->FullDriveScan();
    commands.RescanDriveExecute();
    EXPECT_NE(host.tree->NodeForPath(folder + L"\\Spaeter"), nullptr);
    ASSERT_NE(host.tree->Selected(), nullptr);
    EXPECT_TRUE(SamePath(host.tree->GetDirPathName(host.tree->Selected()), folder));
    EXPECT_EQ(host.tree->FullDriveScan(), fullScan);
    EXPECT_TRUE(host.boxes.empty());
}

// ---- A tree folder on another kind of drive -------------------------------------------------

namespace {

// The active list shows a folder of the fixed test drive while the tree's
// folder lies on a removable drive.
class FileCommandsOnARemovableDrive : public FileCommandsTest {};

}  // namespace

TEST_F(FileCommandsOnARemovableDrive, TheTreesFolderIsDeletedForGoodAfterTheShellsQuestion)
{
    const std::wstring trash = test::WineTrashFiles();
    if (trash.empty())
        GTEST_SKIP() << "not under Wine with XDG_DATA_HOME set";
    const std::wstring stick = dir.File(L"Stick");
    const std::wstring name = L"weg-" + std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(stick.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((stick + L"\\" + name).c_str(), nullptr));
    test::WineDrive removable(stick, DRIVE_REMOVABLE);
    if (!removable.Letter())
        GTEST_SKIP() << "no Wine mount manager to configure a drive";
    host.tree->RefreshRootNodes(false, dsDisplayName | 8);
    const std::wstring path = std::wstring(1, removable.Letter()) + L":\\" + name;
    TTreeNode* node = ReadTreeNode(path);
    ASSERT_NE(node, nullptr);
    host.tree->SelectNode(node);
    // The active list is one the tree does not lead, on the fixed drive.
    ShowSecondList(folder);
    host.panes.ActiveList = host.other;
    ASSERT_EQ(host.other->DriveType(), static_cast<int>(DRIVE_FIXED));
    host.tree->SetFocus();

    test::DialogAnswerer yes({L"&Yes", L"&Ja"});
    commands.DeleteObject();
    EXPECT_TRUE(yes.Answered()) << "the shell asked before deleting for good";
    EXPECT_TRUE(host.boxes.empty()) << "no recycle-bin question of the program's own";
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(Exists(trash + L"\\" + name)) << "a removable drive's folder went into the recycle bin";
    EXPECT_EQ(host.tree->NodeForPath(path), nullptr);
    host.tree->SelectNode(host.tree->NodeForPath(folder));
}
