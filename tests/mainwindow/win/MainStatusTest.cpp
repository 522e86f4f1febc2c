// The main window's status bar, action states, save question and options
// exchange, driven through real lists and viewers.

#include "SettingsGuards.h"

#include "archives/win/KyZipLV.h"
#include "common/BaseUtils.h"
#include "common/win/FileClipboard.h"
#include "common/win/SimpleTimer.h"
#include "editor/win/EasyEditor.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Handles.h"
#include "framework/win/Menus.h"
#include "framework/win/Registry.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/StatusTexts.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "widgets/win/KySplit.h"

#include "TestDir.h"
#include "win/DialogAnswerer.h"
#include "win/ForeignFileHolder.h"
#include "win/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// Answers the options dialog as the test says, without a window.
class ScriptedOptionsDialog : public TOptionsDialogRunner {
public:
    std::function<void(TOptions&)> edit;
    int runs = 0;
    bool Run(TOptions& Options, int& Page) override
    {
        ++runs;
        Page = 3;
        if (edit)
            edit(Options);
        return true;
    }
};

class MainStatus : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;
    std::unique_ptr<TQRVMain> main;

    void SetUp() override
    {
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        Settle();
    }
    void TearDown() override
    {
        if (main) {
            main->Close();
            main.reset();
        }
        FinalizeGlobals();
    }

    // Waits until the window has handled what was posted to it and its
    // timers (status, action states, display) have run.
    void Settle()
    {
        ASSERT_TRUE(test::PumpUntilIdle(
            [&] {
                return !main->StatusTimer()->Active() && !main->ActionTimer()->Active() &&
                       !main->OleDisplayTimer()->Active();
            },
            10s));
    }

    // Opens the folder in the active list as the user does (the tree and
    // the drive box follow) and waits for the named item.
    void Open(const std::wstring& folder, const std::wstring& item)
    {
        TDirView& list = *main->ActiveList;
        if (main->TreeView1->DirView() == &list)
            main->TreeView1->SetDirectory(folder);
        if (!SameText(list.Path(), folder))
            list.SetPath(folder);
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(item); }, 10s));
    }
    void FocusItem(const std::wstring& name)
    {
        TDirView& list = *main->ActiveList;
        const TFileRec* rec = list.FindFileItem(name);
        ASSERT_NE(rec, nullptr) << WideToUtf8(name);
        ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list.Handle(), list.IndexOf(rec), LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
    }
    // Shows the named file in the display pane: a plain text in the editor,
    // rich text in the rich-text view.
    void ShowFile(const std::wstring& name, TWinControl& pane)
    {
        FocusItem(name);
        if (!main->FileDisplay()->ViewFile())
            main->ViewFile->Execute();
        ASSERT_TRUE(
            test::PumpUntil([&] { return main->FileDisplay()->ViewedFile() == dir.File(name) && pane.Visible(); }, 5s));
    }
    void ShowText(const std::wstring& name)
    {
        ShowFile(name, *main->TextView);
        ASSERT_EQ(main->TextView->FileName(), dir.File(name));
    }
    std::wstring Panel(int index) { return main->StatusBar->DisplayedText(index); }
};

}  // namespace

// The start folder is read before the tree lists the drives; once the
// window shows, panel 0 names the start drive's space all the same.
TEST_F(MainStatus, Panel0NamesTheStartDrivesSpace)
{
    const std::wstring path = main->ActiveList->Path();
    ASSERT_GE(path.size(), 2u);
    ASSERT_EQ(path[1], L':');
    const std::wstring drive = std::wstring(1, static_cast<wchar_t>(towupper(path[0]))) + L": ";
    EXPECT_TRUE(Panel(0).starts_with(drive)) << WideToUtf8(Panel(0));
    EXPECT_TRUE(Panel(0).ends_with(L" frei")) << WideToUtf8(Panel(0));
}

// The drive box stands above the tree, follows it and decides panel 0.
TEST_F(MainStatus, TheDriveBoxFollowsTheTreeAndNamesPanel0sDrive)
{
    TKyDriveComboBox* box = main->DriveBar()->DriveBox;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Parent(), main->PanelLeft);
    EXPECT_EQ(box->DriveView(), main->TreeView1);
    EXPECT_LE(box->Top() + box->Height(), main->TreeView1->Top()) << "above the tree";
    for (wchar_t drive = L'A'; drive <= L'Z'; ++drive)
        EXPECT_EQ(box->IndexOfDrive(drive) >= 0, DriveInfo().IsValid(drive)) << static_cast<char>(drive);

    main->TreeView1->SetDirectory(dir.Path());
    EXPECT_EQ(box->Drive(), towupper(dir.Path()[0]));
    main->TreeView1->SetCurrentDrive(L'C');
    EXPECT_EQ(box->Drive(), L'C') << "a drive change in the tree moves the box";
    main->UpdateStatusBar(false);
    EXPECT_TRUE(Panel(0).starts_with(L"C: ")) << WideToUtf8(Panel(0));
    // The box decides, not the list: a box on another drive names that one.
    main->ActiveList->SetPathOnly(dir.Path());
    box->SetDrive(dir.Path()[0]);
    main->UpdateStatusBar(false);
    EXPECT_TRUE(Panel(0).starts_with(std::wstring(1, box->Drive()) + L": ")) << WideToUtf8(Panel(0));

    // A font change: the path boxes and the status bar as high as the box.
    Options.ListFont = {L"Arial", 16, fsBold, 0};
    main->ApplyOptions();
    EXPECT_GT(box->Height(), 21);
    EXPECT_EQ(main->DirHist1->Height(), box->Height());
    EXPECT_EQ(main->DirHist2->Height(), box->Height());
    RECT shown{};
    GetWindowRect(main->DirHist1->Handle(), &shown);
    EXPECT_EQ(shown.bottom - shown.top, box->Height()) << "the window itself";
    EXPECT_EQ(main->StatusBar->Height(), box->Height());
}

TEST_F(MainStatus, Panel0FollowsTheCaretAndTheFocus)
{
    dir.Write(L"notiz.txt", "Hallo\r\nWelt\r\n");
    dir.Write(L"brief.rtf", "{\\rtf1 Hallo\\par Welt\\par}");
    Open(dir.Path(), L"notiz.txt");
    ShowFile(L"notiz.txt", *main->EasyEdit);
    TEasyEdit& edit = *main->EasyEdit;
    edit.SetFocus();
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(0) == L"Zeile 1 / Spalte 1"; }, 2s)) << WideToUtf8(Panel(0));
    // The caret's moves by key follow at once, without a focus change.
    for (const WPARAM key : {VK_DOWN, VK_RIGHT, VK_RIGHT})
        SendMessageW(edit.Handle(), WM_KEYDOWN, key, 0);
    EXPECT_EQ(Panel(0), L"Zeile 2 / Spalte 3");

    main->ActiveList->SetFocus();
    const std::wstring drive = std::wstring(1, dir.Path()[0]) + L": ";
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(0).starts_with(drive); }, 2s)) << WideToUtf8(Panel(0));
    EXPECT_NE(Panel(0).find(L" belegt / "), std::wstring::npos) << WideToUtf8(Panel(0));
    EXPECT_TRUE(Panel(0).ends_with(L" frei")) << WideToUtf8(Panel(0));
    // Panel 0 is wide enough for its text.
    EXPECT_GE(main->StatusBar->Panels(0).Width, main->Width() / 7 * 2);

    // The rich-text view's caret likewise.
    ShowText(L"brief.rtf");
    main->TextView->SetFocus();
    main->TextView->SetSelStart(0);
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(0) == L"Zeile 1 / Spalte 1"; }, 2s)) << WideToUtf8(Panel(0));
    main->TextView->SetSelStart(8);
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(0) == L"Zeile 2 / Spalte 3"; }, 2s)) << WideToUtf8(Panel(0));
    main->TextView->SetSelStart(0);
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(0) == L"Zeile 1 / Spalte 1"; }, 2s)) << WideToUtf8(Panel(0));
    // From the text view to the list: the drive again.
    main->ActiveList->SetFocus();
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(0).starts_with(drive); }, 2s)) << WideToUtf8(Panel(0));
    EXPECT_TRUE(Panel(0).ends_with(L" frei")) << WideToUtf8(Panel(0));
}

TEST_F(MainStatus, SelectingAllThreeFilesCountsThemInPanel2)
{
    dir.Write(L"a.txt", "1");
    dir.Write(L"b.txt", "22");
    dir.Write(L"c.txt", "333");
    Open(dir.Path(), L"c.txt");
    TDirView& list = *main->ActiveList;
    list.SetFocus();
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(1).starts_with(L"3 Dateien = "); }, 2s)) << WideToUtf8(Panel(1));
    // Strg+A as the keyboard sends it to the focused list: through the
    // message loop, where the window's keys are taken.
    BYTE state[256];
    GetKeyboardState(state);
    BYTE saved[256];
    std::copy(state, state + 256, saved);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    PostMessageW(list.Handle(), WM_KEYDOWN, 'A', 1);
    test::PumpUntil([&] { return list.SelCount() == 3; }, 2s);
    SetKeyboardState(saved);
    ASSERT_EQ(list.SelCount(), 3);
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(2).starts_with(L"3 Dateien ausgewählt = "); }, 2s))
        << WideToUtf8(Panel(2));
    ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED);
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(2) == L"Keine Datei ausgewählt."; }, 2s)) << WideToUtf8(Panel(2));

    // The other list's selection does not reach the status bar.
    TDirView& other = *main->LV2;
    other.SetPath(dir.Path());
    ASSERT_TRUE(test::PumpUntil([&] { return !other.Loading() && other.FindFileItem(L"a.txt"); }, 10s));
    ListView_SetItemState(other.Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
    Settle();
    EXPECT_EQ(Panel(2), L"Keine Datei ausgewählt.");
}

// The tree's node decides the expand and collapse states, also when the
// list already shows its folder and so reads nothing; a folder whose
// subfolders the tree has not read yet can be expanded.
TEST_F(MainStatus, TheTreesNodeDecidesExpandAndCollapse)
{
    const std::wstring upper = dir.File(L"Ober");
    const std::wstring empty = dir.File(L"Leer");
    ASSERT_TRUE(CreateDirectoryW(upper.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((upper + L"\\Unter").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(empty.c_str(), nullptr));
    auto* expand = dynamic_cast<TAction*>(main->FindComponent(L"ActExpand"));
    auto* collapse = dynamic_cast<TAction*>(main->FindComponent(L"ActCollapse"));
    ASSERT_TRUE(expand && collapse);
    TDriveView& tree = *main->TreeView1;

    Open(empty, L"..");
    tree.SetDirectory(empty);
    ASSERT_TRUE(test::PumpUntil([&] { return tree.GetDirectory() == empty; }, 5s));
    EXPECT_TRUE(test::PumpUntil([&] { return !expand->Enabled() && !collapse->Enabled(); }, 2s));

    Open(upper, L"Unter");
    // The pass the list's load started is done before the tree moves.
    Settle();
    tree.SetDirectory(upper);
    ASSERT_TRUE(test::PumpUntil([&] { return tree.GetDirectory() == upper; }, 5s));
    EXPECT_TRUE(test::PumpUntil([&] { return expand->Enabled() && !collapse->Enabled(); }, 2s));
    tree.Selected()->Expand();
    ASSERT_TRUE(test::PumpUntil([&] { return tree.Selected()->Count() == 1; }, 5s));
    // Expanding changes no selection: the next pass shows it.
    main->UpdateTimerTimer();
    EXPECT_FALSE(expand->Enabled());
    EXPECT_TRUE(collapse->Enabled());
}

// The window's undo command of the file actions, with a menu item as the
// menus will give it: the pass gives both the word of the last operation.
TEST_F(MainStatus, AfterAPasteTheUndoActionNamesTheCopy)
{
    auto* undo = dynamic_cast<TAction*>(main->FindComponent(L"FileUndo"));
    ASSERT_NE(undo, nullptr);
    TMenuItem* fileMenu = main->MainMenu1->Items()->Items(0);
    auto* item = new TMenuItem(main.get());
    fileMenu->Add(item);
    undo->Link(item);

    const std::wstring source = dir.File(L"Quelle");
    const std::wstring target = dir.File(L"Ziel");
    ASSERT_TRUE(CreateDirectoryW(source.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    dir.Write(L"Quelle\\brief.txt", "Brief");
    Open(source, L"brief.txt");
    main->ActiveList->SetFocus();
    FocusItem(L"brief.txt");
    main->FileCommands().ClipBoardCopy(false);
    Open(target, L"..");
    main->FileCommands().ClipBoardPaste();
    ASSERT_EQ(dir.Read(L"Ziel\\brief.txt"), "Brief");

    // The window's own pass, without being asked.
    EXPECT_TRUE(test::PumpUntil([&] { return undo->Hint() == L"Rückgängig kopieren (Strg+Z)"; }, 2s))
        << WideToUtf8(undo->Hint());
    EXPECT_TRUE(undo->Enabled());
    wchar_t text[100] = {};
    GetMenuStringW(main->MainMenu1->Handle(), item->Command(), text, 100, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), L"R&ückgängig kopieren\tStrg+Z");
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

TEST_F(MainStatus, AnExchangeThatChangesNothingLeavesTheSettingsFileAsItWas)
{
    main->SaveSettings();
    const std::optional<std::string> before = test::ProgramFolderIni::Read();
    ASSERT_TRUE(before && !before->empty());
    auto dialog = std::make_unique<ScriptedOptionsDialog>();
    ScriptedOptionsDialog& runner = *dialog;
    main->OptionsDialog = std::move(dialog);
    main->ActionList1->UpdateActions();
    ASSERT_TRUE(main->OptionsDlg->Enabled());
    // Lists rebuilt as a copy share no memory with the record, yet are the same.
    runner.edit = [](TOptions& o) { o.FilterList = std::vector<TFilterRec>(o.FilterList); };
    main->OptionsDlg->Execute();
    EXPECT_EQ(runner.runs, 1);
    EXPECT_EQ(main->LastOptionsPage, 3);
    EXPECT_EQ(test::ProgramFolderIni::Read(), before);

    // A change is applied and saved.
    runner.edit = [](TOptions& o) { o.ConfirmOverWrite = !o.ConfirmOverWrite; };
    main->OptionsDlg->Execute();
    EXPECT_NE(test::ProgramFolderIni::Read(), before);
}

TEST_F(MainStatus, Panel0NamesTheHexViewsCaretOffset)
{
    dir.Write(L"daten.bin1", std::string(256, '\x01'));
    Open(dir.Path(), L"daten.bin1");
    ShowFile(L"daten.bin1", *main->HexEditor1);
    THexEditor& hex = *main->HexEditor1;
    hex.SetFocus();
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(0) == OffsetStatusText(0); }, 2s)) << WideToUtf8(Panel(0));
    // By key: each move names the caret's byte at once.
    SendMessageW(hex.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(hex.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(hex.GetCaretOffset(), 2 * hex.BytesPerLine());
    EXPECT_EQ(Panel(0), OffsetStatusText(static_cast<uint64_t>(hex.GetCaretOffset())));
    SendMessageW(hex.Handle(), WM_KEYDOWN, VK_END, 0);
    ASSERT_GT(hex.GetCaretOffset(), 2 * hex.BytesPerLine());
    EXPECT_EQ(Panel(0), OffsetStatusText(static_cast<uint64_t>(hex.GetCaretOffset())));
    // By program, as a click places it.
    hex.SetSelStart(0x5D);
    ASSERT_EQ(hex.GetCaretOffset(), 0x5D);
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(0) == OffsetStatusText(0x5D); }, 2s)) << WideToUtf8(Panel(0));
}

TEST_F(MainStatus, AChangedTextIsOfferedForSavingOnAFocusChange)
{
    // Rich text: the view that edits.
    const std::string original = "{\\rtf1 Hallo\\par}";
    const std::wstring notes = dir.Write(L"notiz.rtf", original);
    dir.Write(L"zweite.txt", "Zwei\r\n");
    Open(dir.Path(), L"zweite.txt");
    ShowText(L"notiz.rtf");
    TTextFileView& view = *main->TextView;
    ASSERT_FALSE(view.ReadOnly());
    view.SetFocus();
    view.SetSelStart(0);
    view.SetSelText(L"Neu ");
    ASSERT_TRUE(view.Modified());

    {
        // Cancel: the display and the edit stay.
        test::DialogAnswerer cancel({L"Abbrechen"});
        FocusItem(L"zweite.txt");
        EXPECT_TRUE(test::PumpUntil([&] { return cancel.Answered(); }, 10s));
        Settle();
    }
    EXPECT_EQ(view.FileName(), notes);
    EXPECT_TRUE(view.Modified());
    EXPECT_NE(view.Text().find(L"Neu Hallo"), std::wstring::npos);
    EXPECT_EQ(main->FileDisplay()->ViewedFile(), notes);
    {
        // Turning the display off: Cancel keeps it on.
        test::DialogAnswerer cancel({L"Abbrechen"});
        main->ViewFile->Execute();
        EXPECT_TRUE(cancel.Answered());
    }
    EXPECT_TRUE(main->FileDisplay()->ViewFile());
    EXPECT_TRUE(view.Visible());
    EXPECT_TRUE(view.Modified());
    {
        // A forced mode: Cancel keeps the mode and the text.
        test::DialogAnswerer cancel({L"Abbrechen"});
        main->DispHex->Execute();
        EXPECT_TRUE(cancel.Answered());
    }
    EXPECT_TRUE(main->DispAuto->Checked());
    EXPECT_EQ(main->FileDisplay()->ForcedMode(), fdAutomatic);
    EXPECT_EQ(main->FileDisplay()->ViewedFile(), notes);
    EXPECT_TRUE(view.Modified());

    {
        // The options dialog: Cancel keeps the text, the dialog is not shown.
        auto dialog = std::make_unique<ScriptedOptionsDialog>();
        ScriptedOptionsDialog& runner = *dialog;
        main->OptionsDialog = std::move(dialog);
        main->ActionList1->UpdateActions();
        test::DialogAnswerer cancel({L"Abbrechen"});
        main->OptionsDlg->Execute();
        EXPECT_TRUE(cancel.Answered());
        EXPECT_EQ(runner.runs, 0);
    }
    EXPECT_TRUE(view.Modified());

    for (const bool backup : {true, false}) {
        // Yes while another process holds the file without sharing: the
        // error is shown, the mark kept, the file left as it was. With a
        // backup the copy fails first, without one the replace.
        Options.BAKFiles = backup;
        test::ForeignFileHolder holder(notes);
        ASSERT_TRUE(holder.Holding());
        test::DialogAnswerer yes({L"&Ja"});
        test::DialogAnswerer error({L"OK"});
        FocusItem(L"notiz.rtf");
        Settle();
        FocusItem(L"zweite.txt");
        EXPECT_TRUE(test::PumpUntil([&] { return yes.Answered() && error.Answered(); }, 10s));
        Settle();
        EXPECT_NE(yes.Texts().find(L"Geänderte Datei \"" + notes + L"\" speichern?"), std::wstring::npos)
            << WideToUtf8(yes.Texts());
        EXPECT_NE(error.Texts().find(L"Fehler beim Speichern der Datei: \n" + notes), std::wstring::npos)
            << WideToUtf8(error.Texts());
        EXPECT_TRUE(view.Modified()) << "backup " << backup;
        EXPECT_EQ(view.FileName(), notes);
        EXPECT_EQ(main->FileDisplay()->ViewedFile(), notes);
    }
    EXPECT_EQ(dir.Read(L"notiz.rtf"), original);
    EXPECT_EQ(GetFileAttributesW(dir.File(L"notiz.bak").c_str()), INVALID_FILE_ATTRIBUTES);

    {
        // Closing asks too; Cancel keeps the window open.
        test::DialogAnswerer cancel({L"Abbrechen"});
        main->Close();
        EXPECT_TRUE(test::PumpUntil([&] { return cancel.Answered(); }, 10s));
        Settle();
    }
    EXPECT_TRUE(IsWindowVisible(main->Handle()));
    EXPECT_TRUE(view.Modified());
    {
        // No lets the window go without saving.
        test::DialogAnswerer no({L"&Nein"});
        main->Close();
        EXPECT_TRUE(test::PumpUntil([&] { return no.Answered(); }, 10s));
        main.reset();
    }
    EXPECT_EQ(dir.Read(L"notiz.rtf"), original);
}

// A changed text of the editor before the options dialog: Yes writes its
// lines back in the format they came in (here LF only, without a final line
// break), the old file becomes the backup, the dialog follows and the text
// stays shown under its own name.
TEST_F(MainStatus, YesSavesTheEditorsTextInItsOwnFormat)
{
    const std::wstring notes = dir.Write(L"liste.txt", "eins\nzwei");
    dir.Write(L"zweite.txt", "Zwei\r\n");
    Options.BAKFiles = true;
    Open(dir.Path(), L"zweite.txt");
    ShowFile(L"liste.txt", *main->EasyEdit);
    TEasyEdit& edit = *main->EasyEdit;
    TCustomEasyEditSource& source = *edit.GetEditSource();
    // Typing comes with the editor's editing commands; until then the
    // document is changed through its own text operations.
    edit.SetReadOnly(false);
    source.SetCaretPos(0, 1);
    source.InsertText(u"und ");
    ASSERT_TRUE(edit.GetModified());

    auto dialog = std::make_unique<ScriptedOptionsDialog>();
    ScriptedOptionsDialog& runner = *dialog;
    main->OptionsDialog = std::move(dialog);
    main->ActionList1->UpdateActions();
    {
        test::DialogAnswerer yes({L"&Ja"});
        main->OptionsDlg->Execute();
        EXPECT_TRUE(yes.Answered());
        EXPECT_NE(yes.Texts().find(L"Geänderte Datei \"" + notes + L"\" speichern?"), std::wstring::npos)
            << WideToUtf8(yes.Texts());
    }
    EXPECT_EQ(runner.runs, 1);
    EXPECT_EQ(dir.Read(L"liste.txt"), "eins\nund zwei");
    EXPECT_EQ(dir.Read(L"liste.bak"), "eins\nzwei");
    EXPECT_FALSE(edit.GetModified());
    EXPECT_TRUE(edit.Visible());
    EXPECT_EQ(main->FileDisplay()->ViewedFile(), notes);
    EXPECT_EQ(source.FileName(), notes);
    // Only the file, its backup and the other file: no temporary file left.
    WIN32_FIND_DATAW data{};
    TFindHandle find(FindFirstFileW(dir.File(L"*").c_str(), &data));
    ASSERT_TRUE(find);
    int files = 0;
    do
        files += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    while (FindNextFileW(find.Get(), &data));
    EXPECT_EQ(files, 3);
}

// Answers every save question of this process with "Ja". While the first
// one is open, the folder is changed from outside a few times, so that the
// list's change notifications arrive before the answer.
class YesToEverySaveQuestion {
public:
    explicit YesToEverySaveQuestion(std::function<void()> ChangeFolder) : change_(std::move(ChangeFolder))
    {
        thread_ = std::thread([this] { Run(); });
    }
    ~YesToEverySaveQuestion()
    {
        // The thread may be asking a window of this thread for its text:
        // it is answered while waiting for the thread to end.
        stop_ = true;
        test::PumpUntil([this] { return finished_.load(); }, 30s);
        thread_.join();
    }
    int Questions() const { return questions_; }
    std::wstring Texts() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }

private:
    HWND FindQuestion() const
    {
        HWND found = nullptr;
        EnumWindows(
            [](HWND window, LPARAM result) -> BOOL {
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
                    !test::FindChildByText(window, L"&Ja"))
                    return TRUE;
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
    void Run()
    {
        while (!stop_) {
            HWND box = FindQuestion();
            if (!box) {
                std::this_thread::sleep_for(20ms);
                continue;
            }
            if (questions_ == 0) {
                // The user takes a while to answer; meanwhile other programs
                // write into the folder.
                for (int i = 0; i < 3; ++i) {
                    change_();
                    std::this_thread::sleep_for(1500ms);
                }
                std::this_thread::sleep_for(3s);
                box = FindQuestion();
                if (!box)
                    continue;
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                texts_ += test::ChildTexts(box);
            }
            ++questions_;
            PostMessageW(test::FindChildByText(box, L"&Ja"), BM_CLICK, 0, 0);
            // The same box is never counted twice.
            for (int i = 0; i < 500 && IsWindow(box) && IsWindowVisible(box); ++i)
                std::this_thread::sleep_for(10ms);
        }
        finished_ = true;
    }

    std::function<void()> change_;
    mutable std::mutex mutex_;
    std::wstring texts_;
    std::atomic<int> questions_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

// A changed rich text, the focus moved on, and the folder changed from
// outside while the question is open: one question only, and "Ja" saves the
// rich text alone. Every other file keeps its bytes (no backups, so nothing
// would be kept of a file written over).
TEST_F(MainStatus, AStaleSaveQuestionNeverSavesOverAnotherFile)
{
    Options.BAKFiles = false;
    const std::string original = "{\\rtf1 Hallo\\par}";
    const std::wstring notes = dir.Write(L"notiz.rtf", original);
    std::string picture = "\x89PNG\r\n\x1a\n";
    for (int i = 0; i < 64; ++i)
        picture += static_cast<char>(i * 7);
    dir.Write(L"bild.png", picture);
    dir.Write(L"zweite.txt", "Zwei\r\n");
    Open(dir.Path(), L"zweite.txt");
    // The list reads the folder again when other programs change it.
    main->ActiveList->SetWatchForChanges(true);
    ShowText(L"notiz.rtf");
    TTextFileView& view = *main->TextView;
    view.SetFocus();
    view.SetSelStart(0);
    view.SetSelText(L"Neu ");
    ASSERT_TRUE(view.Modified());

    int changes = 0;
    {
        YesToEverySaveQuestion yes([&] {
            const std::wstring name = L"aussen" + std::to_wstring(++changes) + L".txt";
            dir.Write(name, "von aussen");
        });
        FocusItem(L"bild.png");
        EXPECT_TRUE(test::PumpUntil([&] { return yes.Questions() > 0; }, 20s));
        // Whatever the held display requests still ask comes now.
        Settle();
        EXPECT_EQ(yes.Questions(), 1) << WideToUtf8(yes.Texts());
        EXPECT_NE(yes.Texts().find(L"Geänderte Datei \"" + notes + L"\" speichern?"), std::wstring::npos)
            << WideToUtf8(yes.Texts());
    }
    EXPECT_EQ(dir.Read(L"bild.png"), picture);
    EXPECT_EQ(dir.Read(L"zweite.txt"), "Zwei\r\n");
    for (int i = 1; i <= changes; ++i)
        EXPECT_EQ(dir.Read(L"aussen" + std::to_wstring(i) + L".txt"), "von aussen");
    EXPECT_NE(dir.Read(L"notiz.rtf").find("Neu"), std::string::npos);
    EXPECT_FALSE(view.Modified());
    // The display follows the focus once the question is answered.
    EXPECT_TRUE(test::PumpUntil([&] { return main->FileDisplay()->ViewedFile() == dir.File(L"bild.png"); }, 5s));
}

TEST_F(MainStatus, TheFirstFileWindowKeepsItsShareWhenTheWindowChangesSize)
{
    TPanel& first = *main->FilePanel1;
    TPanel& panel = *main->MainPanel;
    first.SetHeight(panel.Height() / 4);
    Settle();
    const double share = double(first.Height()) / panel.Height();
    const int panelHeight = panel.Height();
    main->SetBounds(main->Left(), main->Top(), main->Width(), main->Height() + 200);
    ASSERT_TRUE(test::PumpUntil([&] { return panel.Height() == panelHeight + 200; }, 5s));
    Settle();
    EXPECT_NEAR(double(first.Height()) / panel.Height(), share, 0.01);

    // The path boxes drop a selection of their text, except the one being typed in.
    auto selection = [](TComboBox& box) {
        DWORD start = 0, end = 0;
        SendMessageW(box.Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return std::pair<DWORD, DWORD>(start, end);
    };
    // The list's own folder: a box left with another one in it would open that.
    for (TComboBox* box : {main->DirHist1, main->DirHist2}) {
        const std::wstring folder = (box == main->DirHist1 ? main->LV1 : main->LV2)->GetPath();
        box->SetText(folder);
        SendMessageW(box->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        ASSERT_EQ(selection(*box).second, folder.size());
    }
    main->DirHist2->SetFocus();
    const int panelWidth = panel.Width();
    main->SetBounds(main->Left(), main->Top(), main->Width() - 50, main->Height());
    ASSERT_TRUE(test::PumpUntil([&] { return panel.Width() == panelWidth - 50; }, 5s));
    Settle();
    const auto unfocused = selection(*main->DirHist1);
    EXPECT_EQ(unfocused.first, unfocused.second);
    EXPECT_EQ(selection(*main->DirHist2), std::make_pair(DWORD(0), DWORD(main->LV2->GetPath().size())));

    // Minimised there is no share to keep; restored it is the same.
    const int height = first.Height();
    ShowWindow(main->Handle(), SW_MINIMIZE);
    ASSERT_TRUE(test::PumpUntil([&] { return IsIconic(main->Handle()) != FALSE; }, 5s));
    Settle();
    ShowWindow(main->Handle(), SW_RESTORE);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsIconic(main->Handle()) && panel.Height() > 0; }, 5s));
    Settle();
    EXPECT_EQ(first.Height(), height);
}

TEST_F(MainStatus, TheDisplayTakesTheSecondWindowsPlaceWhenTheOptionsSaySo)
{
    dir.Write(L"notiz.txt", "Hallo\r\n");
    Options.FileDisplayPos = 1;
    Options.SecondFileWin = true;
    Open(dir.Path(), L"notiz.txt");
    ShowFile(L"notiz.txt", *main->EasyEdit);
    EXPECT_EQ(main->EasyEdit->Parent(), main->FilePanel2);
    EXPECT_FALSE(main->PanelBottom->Visible());
    EXPECT_FALSE(main->LV2->Visible());
    EXPECT_TRUE(main->EasyEdit->Visible());

    main->ViewFile->Execute();
    EXPECT_TRUE(main->LV2->Visible());
    EXPECT_FALSE(main->PanelBottom->Visible());

    // Below the file windows again once the options say so.
    Options.FileDisplayPos = 0;
    main->ViewFile->Execute();
    EXPECT_EQ(main->EasyEdit->Parent(), main->PanelBottom);
    EXPECT_TRUE(main->PanelBottom->Visible());
    EXPECT_TRUE(main->LV2->Visible());
}

// The progress form of the long file operations opens over the file
// windows, wherever the main window is.
TEST_F(MainStatus, AProgressFormOpensOverTheMainPanel)
{
    for (const int left : {40, 160}) {
        main->SetBounds(left, 30, main->Width(), main->Height());
        Settle();
        auto* progress = new TForm(main.get());
        progress->SetBounds(0, 0, 300, 120);
        main->PlaceProgressForm(*progress);
        progress->Show();
        ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(progress->Handle()) != FALSE; }, 5s));
        RECT panel{}, placed{};
        ASSERT_TRUE(GetWindowRect(main->MainPanel->Handle(), &panel));
        ASSERT_TRUE(GetWindowRect(progress->Handle(), &placed));
        EXPECT_EQ(placed.left, panel.left + 20) << left;
        EXPECT_EQ(placed.top, panel.top + 50) << left;
        EXPECT_EQ(placed.right - placed.left, 300);
        // Below the toolbars, inside the window.
        RECT window{};
        ASSERT_TRUE(GetWindowRect(main->Handle(), &window));
        EXPECT_GT(panel.top, window.top);
        delete progress;
    }
}

TEST_F(MainStatus, DroppedNamesAreQuotedWhereTheCommandProcessorWouldSplitThem)
{
    main->DOSCmdBox->SetText(L"copy");
    // The shell's drop: a DROPFILES block with the names, each ended by a
    // null, the list by another.
    const std::wstring names =
        std::wstring(L"C:\\a b.txt") + L'\0' + L"C:\\x&y.txt" + L'\0' + L"C:\\plain.txt" + L'\0' + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    ASSERT_NE(memory, nullptr);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(drop + 1));
    GlobalUnlock(memory);
    SendMessageW(main->DOSCmdBox->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    EXPECT_EQ(main->DOSCmdBox->Text(), L"copy \"C:\\a b.txt\" \"C:\\x&y.txt\" C:\\plain.txt");
}

TEST_F(MainStatus, TheFontsOfTheSettingsReachTheFormAndTheViewers)
{
    // The font a control draws with, as the control itself reports it.
    auto shownFont = [](TWinControl& control) {
        LOGFONTW font{};
        const auto handle = reinterpret_cast<HFONT>(SendMessageW(control.Handle(), WM_GETFONT, 0, 0));
        EXPECT_TRUE(handle && GetObjectW(handle, sizeof font, &font)) << WideToUtf8(control.Name());
        return font;
    };
    const int barHeight = main->StatusBar->Height();
    Options.ListFont = {L"Arial", 16, fsBold, 0};
    Options.TextFont = {L"Courier New", 12, 0, 0};
    main->ApplyOptions();
    EXPECT_EQ(main->Font().Name(), L"Arial");
    EXPECT_EQ(main->Font().Size(), 16);
    EXPECT_EQ(main->Font().Style(), unsigned(fsBold));
    // The lists, the tree, the path boxes and the status bar show it.
    for (TWinControl* pane :
         std::initializer_list<TWinControl*>{main->LV1, main->LV2, main->TreeView1, main->DirHist1, main->StatusBar}) {
        const LOGFONTW font = shownFont(*pane);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Arial") << WideToUtf8(pane->Name());
        EXPECT_EQ(font.lfWeight, FW_BOLD) << WideToUtf8(pane->Name());
        EXPECT_EQ(font.lfHeight, main->Font().Height()) << WideToUtf8(pane->Name());
    }
    // The status bar grew to the larger font, and its texts are measured in it.
    EXPECT_GT(main->StatusBar->Height(), barHeight);
    main->UpdateStatusBar(false);
    EXPECT_GE(main->StatusBar->Panels(0).Width, main->Width() / 7 * 2);

    EXPECT_EQ(main->TextView->DefAttributes().Name(), L"Courier New");
    EXPECT_EQ(main->TextView->DefAttributes().Size(), 12);
    EXPECT_EQ(main->HexEditor1->Font().Name(), L"Courier New");
    EXPECT_EQ(main->HexEditor1->Font().Size(), 12);
    // The editor asks for a fixed pitch, whatever the face.
    LOGFONTW editor{};
    ASSERT_TRUE(GetObjectW(main->EasyEdit->Font().Handle(), sizeof editor, &editor));
    EXPECT_EQ(std::wstring(editor.lfFaceName), L"Courier New");
    EXPECT_EQ(editor.lfPitchAndFamily & 3, FIXED_PITCH);

    // The same settings again change no pane's font.
    const auto listFont = SendMessageW(main->LV1->Handle(), WM_GETFONT, 0, 0);
    main->ApplyOptions();
    EXPECT_EQ(SendMessageW(main->LV1->Handle(), WM_GETFONT, 0, 0), listFont);
    // A character set of its own is a change too.
    Options.ListFont.Charset = RUSSIAN_CHARSET;
    main->ApplyOptions();
    EXPECT_EQ(shownFont(*main->LV1).lfCharSet, RUSSIAN_CHARSET);
}

TEST_F(MainStatus, MovingTheDisplaySplitterKeepsTheFocusedItemAndTheNodeInView)
{
    for (int i = 0; i < 80; ++i) {
        dir.Write(L"datei" + std::to_wstring(100 + i) + L".txt", "x");
        ASSERT_TRUE(CreateDirectoryW(dir.File(L"ordner" + std::to_wstring(100 + i)).c_str(), nullptr));
    }
    Open(dir.Path(), L"datei179.txt");
    TDirView& list = *main->ActiveList;
    list.SetFocus();
    FocusItem(L"datei179.txt");
    const int focused = list.IndexOf(list.FindFileItem(L"datei179.txt"));
    ListView_EnsureVisible(list.Handle(), 0, FALSE);
    ASSERT_LT(ListView_GetTopIndex(list.Handle()) + ListView_GetCountPerPage(list.Handle()), focused);
    // The tree's selected node scrolled out of view too.
    HWND tree = main->TreeView1->Handle();
    main->TreeView1->SetDirectory(dir.Path());
    TTreeNode* node = main->TreeView1->Selected();
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(main->TreeView1->GetDirectory(), dir.Path());
    // Its subfolders below it fill the tree.
    node->Expand();
    ASSERT_TRUE(test::PumpUntil([&] { return node->Count() >= 80; }, 5s)) << node->Count();
    list.SetFocus();
    auto nodeShown = [&] {
        RECT rect{};
        *reinterpret_cast<HTREEITEM*>(&rect) = node->ItemId();
        RECT client{};
        GetClientRect(tree, &client);
        return SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)) && rect.top >= 0 &&
               rect.bottom <= client.bottom;
    };
    SendMessageW(tree, WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_FALSE(nodeShown());
    // The sort marks lost, as when a header is drawn anew at another size.
    TListHeader header = list.Header();
    const int sortFormat = header.Format(list.SortColumn());
    header.SetFormat(list.SortColumn(), sortFormat & ~(HDF_SORTUP | HDF_SORTDOWN | HDF_BITMAP), nullptr);

    main->ViewFile->Execute();
    ASSERT_TRUE(test::PumpUntil([&] { return main->Splitter3->Visible(); }, 5s));
    Settle();
    // Every splitter sizes the pane beside it.
    ASSERT_EQ(main->Splitter3->ResizedControl(), main->PanelBottom);
    EXPECT_EQ(main->Splitter1->ResizedControl(), main->PanelLeft);
    EXPECT_EQ(main->Splitter2->ResizedControl(), main->FilePanel1);
    const int before = main->PanelBottom->Height();
    SendMessageW(main->Splitter3->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 1));
    SendMessageW(main->Splitter3->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, -40));
    SendMessageW(main->Splitter3->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, -40));
    ASSERT_EQ(main->PanelBottom->Height(), before + 41);

    const int top = ListView_GetTopIndex(list.Handle());
    EXPECT_TRUE(focused >= top && focused < top + ListView_GetCountPerPage(list.Handle())) << focused << " " << top;
    EXPECT_TRUE(nodeShown());
    // The next pass paints the marks again.
    main->UpdateTimerTimer();
    EXPECT_EQ(header.Format(list.SortColumn()), sortFormat);
}

// The archive list in the display pane, with a zip Debian's zip made: while
// it has the focus panels 1 and 2 count the archive's entries.
TEST_F(MainStatus, TheFocusedArchiveListCountsTheArchivesEntries)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring fixture = ExtractFilePath(exe) + L"zip_r_crypt_stub.zip";
    const std::wstring archive = dir.File(L"paket.zip");
    ASSERT_TRUE(CopyFileW(fixture.c_str(), archive.c_str(), TRUE));
    dir.Write(L"notiz.txt", "Hallo\r\n");
    Options.SBAbbreviated = false;
    Open(dir.Path(), L"notiz.txt");
    TDirView& list = *main->ActiveList;
    list.SetFocus();
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(1).starts_with(L"2 Dateien = "); }, 2s)) << WideToUtf8(Panel(1));

    // The display opens archives in its archive list in a later step; here
    // the list is shown and opened as that step will do.
    ShowFile(L"notiz.txt", *main->EasyEdit);
    TKyZipLV& zip = *main->ZipLV;
    zip.OpenArchive(archive);
    main->EasyEdit->SetVisible(false);
    zip.SetVisible(true);
    zip.SetFocus();
    // The fixture's files: text/long.txt ("Zeile 0" to "Zeile 9999", a line
    // each), deep/er/short.txt ("kurz"), empty.txt and secret.txt (26 bytes).
    uint64_t longSize = 0;
    for (int n = 0; n < 10000; ++n)
        longSize += std::string("Zeile " + std::to_string(n) + "\n").size();
    const std::wstring total = std::to_wstring(longSize + 4 + 0 + 26);
    auto digitsAfterEquals = [](const std::wstring& text) {
        std::wstring digits;
        for (size_t i = text.find(L'='); i != std::wstring::npos && i < text.size(); ++i)
            if (iswdigit(text[i]))
                digits += text[i];
        return digits;
    };
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(1).starts_with(L"4 Dateien = "); }, 2s)) << WideToUtf8(Panel(1));
    EXPECT_EQ(digitsAfterEquals(Panel(1)), total) << WideToUtf8(Panel(1));
    EXPECT_TRUE(Panel(1).ends_with(L" Bytes")) << WideToUtf8(Panel(1));
    EXPECT_EQ(Panel(2), L"Keine Datei ausgewählt.");

    ListView_SetItemState(zip.Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(2).starts_with(L"4 Dateien ausgewählt = "); }, 2s))
        << WideToUtf8(Panel(2));
    EXPECT_EQ(digitsAfterEquals(Panel(2)), total) << WideToUtf8(Panel(2));

    // Back in the file list its own figures return.
    list.SetFocus();
    EXPECT_TRUE(test::PumpUntil([&] { return Panel(1).starts_with(L"2 Dateien = "); }, 2s)) << WideToUtf8(Panel(1));
    EXPECT_TRUE(Panel(2).starts_with(L"1 Datei ausgewählt = ")) << WideToUtf8(Panel(2));
}
