// The text and hex commands in the real main window: saving the shown text
// with its backup, the find in the text and hex views, replace-all, the
// forced display keys and buttons, the hex view's menus kept in the
// settings, and Strg+Z and Strg+C in a focused text.

#include "SettingsGuards.h"

#include "common/win/FileClipboard.h"
#include "editor/win/EasyEditor.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "widgets/win/KyToolbarCtls.h"

#include "TestDir.h"
#include "win/DialogAnswerer.h"
#include "win/ForeignFileHolder.h"
#include "win/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& name)
{
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// Holds Ctrl down for the keys posted meanwhile, as the keyboard would.
class CtrlDown {
public:
    CtrlDown() { Set(0x80); }
    ~CtrlDown() { Set(0); }

private:
    static void Set(BYTE state)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = state;
        SetKeyboardState(keys);
    }
};

class MainTextCommands : public testing::Test {
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
        test::PumpFor(200ms);
    }
    void TearDown() override
    {
        if (main) {
            // No save question on closing.
            main->TextView->SetModified(false);
            main->Close();
            main.reset();
        }
        FinalizeGlobals();
    }

    TAction& Action(const wchar_t* name)
    {
        auto* action = dynamic_cast<TAction*>(main->FindComponent(name));
        EXPECT_NE(action, nullptr) << WideToUtf8(name);
        return *action;
    }
    // Runs the command as its menu item would: only while the states enable it.
    void Run(const wchar_t* name)
    {
        main->ActionUpdater()->UpdateTimerTimer();
        main->ActionList1->UpdateActions();
        TAction& action = Action(name);
        ASSERT_TRUE(action.Enabled()) << WideToUtf8(name);
        action.Execute();
    }
    void Open(const std::wstring& folder, const std::wstring& item)
    {
        TDirView& list = *main->ActiveList;
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
    // Shows the file of the test folder in the pane and gives it the focus.
    void Show(const std::wstring& name, TWinControl& pane)
    {
        if (main->ActiveList->Path() != dir.Path())
            Open(dir.Path(), name);
        main->ActiveList->SetFocus();
        FocusItem(name);
        if (!main->FileDisplay()->ViewFile())
            main->ViewFile->Execute();
        ASSERT_TRUE(
            test::PumpUntil([&] { return main->FileDisplay()->ViewedFile() == dir.File(name) && pane.Visible(); }, 5s));
        pane.SetFocus();
    }
    // A plain text in a ".rtf" file: shown writable in the rich-text view.
    void ShowText(const std::wstring& name)
    {
        Show(name, *main->TextView);
        ASSERT_FALSE(main->TextView->ReadOnly());
    }
    void Type(wchar_t c)
    {
        SendMessageW(main->TextView->Handle(), WM_CHAR, c, 1);
        test::PumpFor(20ms);
    }
    void Select(int start, int length)
    {
        CHARRANGE range{start, start + length};
        SendMessageW(main->TextView->Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    void PostKey(HWND target, WPARAM key, bool ctrl)
    {
        std::unique_ptr<CtrlDown> down;
        if (ctrl)
            down = std::make_unique<CtrlDown>();
        PostMessageW(target, WM_KEYDOWN, key, 1);
        test::PumpFor(100ms);
    }
};

}  // namespace

TEST_F(MainTextCommands, SaveKeepsTheOldBytesInTheBackup)
{
    Options.BAKFiles = true;
    dir.Write(L"brief.rtf", "alt\r\n");
    ShowText(L"brief.rtf");
    Select(0, 0);
    Type(L'X');
    ASSERT_TRUE(main->TextView->Modified());
    Run(L"TextFileSave");

    EXPECT_EQ(dir.Read(L"brief.rtf"), "Xalt\r\n");
    EXPECT_EQ(dir.Read(L"brief.bak"), "alt\r\n");
    EXPECT_FALSE(main->TextView->Modified());
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::wstring>{L"brief.bak", L"brief.rtf"}));
}

TEST_F(MainTextCommands, AFileHeldElsewhereIsNotSavedAndKeepsItsMark)
{
    Options.BAKFiles = true;
    const std::wstring file = dir.Write(L"gesperrt.rtf", "alt\r\n");
    ShowText(L"gesperrt.rtf");
    Select(0, 0);
    Type(L'Y');
    {
        test::ForeignFileHolder holder(file);
        ASSERT_TRUE(holder.Holding());
        test::DialogAnswerer ok({L"OK"});
        Run(L"TextFileSave");
        EXPECT_TRUE(ok.Answered());
        EXPECT_NE(ok.Texts().find(L"Fehler beim Speichern der Datei: \n" + file), std::wstring::npos)
            << WideToUtf8(ok.Texts());
    }
    EXPECT_EQ(dir.Read(L"gesperrt.rtf"), "alt\r\n");
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"gesperrt.rtf"});
    EXPECT_TRUE(main->TextView->Modified());
}

TEST_F(MainTextCommands, HexFindStepsFromTheCaretAndF3GoesOn)
{
    dir.Write(L"daten.bin", std::string("xxABxxABxAxA\0\1", 14));
    main->DispHex->Execute();
    Show(L"daten.bin", *main->HexEditor1);
    THexEditor& hex = *main->HexEditor1;
    ASSERT_EQ(hex.GetDataSize(), 14);
    hex.SetSelStart(1);

    TTextCommands& commands = main->TextCommands().Commands();
    ASSERT_TRUE(commands.Find({L"X'4142'", {}}));
    EXPECT_EQ(hex.GetSelStart(), 2);
    EXPECT_EQ(hex.GetSelCount(), 2);
    PostKey(hex.Handle(), VK_F3, false);
    EXPECT_EQ(hex.GetSelStart(), 6);

    // One byte steps on from match to match.
    hex.SetSelStart(0);
    std::vector<int64_t> found;
    for (int i = 0; i < 4 && commands.Find({L"X'41'", {}}); ++i)
        found.push_back(hex.GetSelStart());
    EXPECT_EQ(found, (std::vector<int64_t>{2, 6, 9, 11}));

    // Text in the view's character set: EBCDIC "A" is C1, not found here.
    hex.SetSelStart(0);
    EXPECT_TRUE(commands.Find({L"ab", {}}));
    EXPECT_EQ(hex.GetSelStart(), 2);
    {
        test::DialogAnswerer ok({L"OK"});
        EXPECT_FALSE(commands.Find({L"zz", {}}));
        EXPECT_TRUE(ok.Answered());
        EXPECT_NE(ok.Texts().find(L"Gesuchter Text \"zz\" nicht gefunden."), std::wstring::npos);
    }
    {
        test::DialogAnswerer ok({L"OK"});
        EXPECT_FALSE(commands.Find({L"X'414'", {}}));
        EXPECT_NE(ok.Texts().find(L"Länge der eingegebenen Hex-Zeichenkette ist ungerade."), std::wstring::npos);
    }
    Run(L"TransEBCDIC");
    {
        test::DialogAnswerer ok({L"OK"});
        EXPECT_FALSE(commands.Find({L"A", {}}));
        EXPECT_TRUE(ok.Answered());
    }
}

TEST_F(MainTextCommands, TextFindWithCaseAndWholeWordAndReplaceAll)
{
    dir.Write(L"text.rtf", "Wort wort Wortlaut a-a\r\n");
    ShowText(L"text.rtf");
    Select(0, 0);
    TTextCommands& commands = main->TextCommands().Commands();
    TTextFileView& view = *main->TextView;

    ASSERT_TRUE(commands.Find({L"wort", {true, false, true}}));
    EXPECT_EQ(view.SelStart(), 5);
    Select(0, 0);
    ASSERT_TRUE(commands.Find({L"Wort", {true, true, true}}));
    EXPECT_EQ(view.SelStart(), 0);
    {
        test::DialogAnswerer ok({L"OK"});
        PostKey(view.Handle(), VK_F3, false);
        EXPECT_TRUE(test::PumpUntil([&] { return ok.Answered(); }, 5s)) << "Wortlaut is no whole word";
        EXPECT_NE(ok.Texts().find(L"Gesuchter Text \"Wort\" nicht gefunden."), std::wstring::npos);
    }

    EXPECT_TRUE(commands.Replace({L"a", {}}, L"aa", true));
    EXPECT_EQ(view.Lines()[0], L"Wort wort Wortlaaut aa-aa");
    Run(L"TextFileSave");
    EXPECT_EQ(dir.Read(L"text.rtf"), "Wort wort Wortlaaut aa-aa\r\n");
}

TEST_F(MainTextCommands, BlockSortPutsUmlautsInTheGermanOrder)
{
    dir.Write(L"liste.rtf", "Birne\r\n\xC4pfel\r\nApfel\r\nEnde");
    ShowText(L"liste.rtf");
    TTextFileView& view = *main->TextView;
    // The first three lines with their breaks.
    const int third = static_cast<int>(std::wstring(L"Birne\r\u00C4pfel\rApfel\r").size());
    Select(0, third);
    Run(L"TextSort");
    EXPECT_EQ(view.Lines()[0], L"Apfel");
    EXPECT_EQ(view.Lines()[1], L"\u00C4pfel");
    EXPECT_EQ(view.Lines()[2], L"Birne");
    EXPECT_EQ(view.Lines()[3], L"Ende");
}

TEST_F(MainTextCommands, DisplayKeysAndButtonsForceTheMode)
{
    dir.Write(L"text.rtf", "Text\r\n");
    Show(L"text.rtf", *main->TextView);
    auto* hexButton = dynamic_cast<TKyToolbarButton*>(main->FindComponent(L"btnHex"));
    auto* textButton = dynamic_cast<TKyToolbarButton*>(main->FindComponent(L"btnText"));
    ASSERT_NE(hexButton, nullptr);
    ASSERT_NE(textButton, nullptr);

    main->DispHex->Execute();
    ASSERT_TRUE(test::PumpUntil([&] { return main->HexEditor1->Visible(); }, 5s));
    EXPECT_EQ(main->FileDisplay()->ForcedMode(), 1);
    EXPECT_EQ(GetFocus(), main->HexEditor1->Handle()) << "the hex view takes the focus";
    main->ActionList1->UpdateActions();
    EXPECT_TRUE(hexButton->Down());
    EXPECT_FALSE(textButton->Down());
    // The mode in force again: nothing happens.
    main->DispHex->Execute();
    EXPECT_EQ(main->FileDisplay()->ForcedMode(), 1);

    // A click on the down button returns to automatic; on the other, its mode.
    hexButton->OnClick(hexButton);
    ASSERT_TRUE(test::PumpUntil([&] { return main->TextView->Visible(); }, 5s));
    EXPECT_EQ(main->FileDisplay()->ForcedMode(), 0);
    EXPECT_FALSE(hexButton->Down());
    textButton->OnClick(textButton);
    EXPECT_EQ(main->FileDisplay()->ForcedMode(), 2);
    EXPECT_TRUE(textButton->Down());
    main->DispAuto->Execute();
    EXPECT_EQ(main->FileDisplay()->ForcedMode(), 0);

    // With the display off, hex turns it on.
    main->ViewFile->Execute();
    ASSERT_FALSE(main->FileDisplay()->ViewFile());
    main->DispHex->Execute();
    EXPECT_TRUE(main->FileDisplay()->ViewFile());
    EXPECT_TRUE(test::PumpUntil([&] { return main->HexEditor1->Visible(); }, 5s));
    main->DispAuto->Execute();
}

TEST_F(MainTextCommands, HexMenusAreSavedAndRestored)
{
    Run(L"HexLine32");
    Run(L"HexColumn4");
    Run(L"TransDOS8");
    Run(L"OffsDec");
    main->ActionList1->UpdateActions();
    EXPECT_TRUE(Action(L"HexLine32").Checked());
    EXPECT_FALSE(Action(L"HexLine16").Checked());
    EXPECT_TRUE(Action(L"TransDOS8").Checked());
    ASSERT_TRUE(main->SaveSettings());
    main->Close();
    main.reset();
    FinalizeGlobals();

    InitializeGlobals();
    main.reset(new TQRVMain(nullptr));
    main->Show();
    test::PumpFor(200ms);
    EXPECT_EQ(main->HexEditor1->BytesPerLine(), 32);
    EXPECT_EQ(main->HexEditor1->GetBytesPerColumn(), 4);
    EXPECT_EQ(main->HexEditor1->Translation(), TTranslationType::ttDos8);
    EXPECT_EQ(main->HexEditor1->OffsetDisplay(), TOffsetDisplayStyle::odDec);
    main->ActionList1->UpdateActions();
    EXPECT_TRUE(Action(L"HexLine32").Checked());
    EXPECT_TRUE(Action(L"HexColumn4").Checked());
    EXPECT_TRUE(Action(L"OffsDec").Checked());
}

TEST_F(MainTextCommands, CtrlZUndoesTheTextThenTheCopyAndCtrlCCopiesUnicodeText)
{
    // The select-directory dialog of "Ko&pieren nach..." chooses the target.
    std::wstring chosen;
    main->FileTools().ChooseFolder = [&](const std::wstring&, std::wstring& Folder, const std::vector<std::wstring>&) {
        Folder = chosen;
        return true;
    };
    struct Case {
        const char* what;
        bool copyTo;  // else the list's paste
        bool editor;  // the text in the editor, else in the rich-text view
    } cases[] = {
        {"a copy pasted into the list, the rich-text view", false, false},
        {"Ko&pieren nach... (the tree's operator), the rich-text view", true, false},
        {"a copy pasted into the list, the editor", false, true},
        {"Ko&pieren nach... (the tree's operator), the editor", true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring source = L"Quelle" + std::to_wstring(++n);
        const std::wstring target = L"Ziel" + std::to_wstring(n);
        const std::wstring text = c.editor ? L"notiz.txt" : L"notiz.rtf";
        ASSERT_TRUE(CreateDirectoryW(dir.File(source).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(dir.File(target).c_str(), nullptr));
        dir.Write(source + L"\\kopie.txt", "Brief");
        dir.Write(target + L"\\" + text, "Gr\xFC\xDF"
                                         "e\r\n");
        const std::wstring copy = dir.File(target + L"\\kopie.txt");
        Open(dir.File(source), L"kopie.txt");
        main->ActiveList->SetFocus();
        FocusItem(L"kopie.txt");
        if (c.copyTo) {
            chosen = dir.File(target);
            ASSERT_TRUE(main->Catalogue().Execute(TActionId::CopyTo));
            Open(dir.File(target), text);
        } else {
            main->FileCommands().ClipBoardCopy(false);
            Open(dir.File(target), text);
            main->FileCommands().ClipBoardPaste();
        }
        ASSERT_EQ(dir.Read(target + L"\\kopie.txt"), "Brief");

        TWinControl& pane = c.editor ? static_cast<TWinControl&>(*main->EasyEdit) : *main->TextView;
        auto firstLine = [&] {
            if (!c.editor)
                return main->TextView->Lines()[0];
            const std::u16string line = main->EasyEdit->Lines().Get(0);
            return std::wstring(line.begin(), line.end());
        };
        main->ActiveList->SetFocus();
        FocusItem(text);
        if (!main->FileDisplay()->ViewFile())
            main->ViewFile->Execute();
        ASSERT_TRUE(test::PumpUntil(
            [&] { return pane.Visible() && main->FileDisplay()->ViewedFile() == dir.File(target + L"\\" + text); },
            5s));
        pane.SetFocus();
        if (c.editor)
            main->EasyEdit->SetCaretPos(0, 0);
        else
            Select(0, 0);
        SendMessageW(pane.Handle(), WM_CHAR, L'X', 1);
        test::PumpFor(20ms);
        ASSERT_EQ(firstLine(), L"XGrüße");

        // An undo that finds nothing shows its error box: answered, and named.
        test::DialogAnswerer box({L"OK"});
        PostKey(pane.Handle(), 'Z', true);
        EXPECT_EQ(firstLine(), L"Grüße") << "the text first";
        EXPECT_TRUE(Exists(copy)) << "the copy stays for now";
        PostKey(pane.Handle(), 'Z', true);
        EXPECT_TRUE(test::PumpUntil([&] { return !Exists(copy); }, 5s)) << "then the copy";
        EXPECT_EQ(firstLine(), L"Grüße");
        EXPECT_FALSE(box.Answered()) << WideToUtf8(box.Texts());

        if (!c.editor) {
            Select(0, 4);
            PostKey(pane.Handle(), 'C', true);
            const std::optional<std::u16string> copied = ReadClipboardText(nullptr);
            ASSERT_TRUE(copied);
            EXPECT_EQ(*copied, u"Grüß");
            EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
        }
        main->TextView->SetModified(false);
        main->EasyEdit->SetModified(false);
    }
}

// The editor's own form, filled and confirmed from a second thread while the
// command waits in it, as a user would.
class FindFormFiller {
public:
    FindFormFiller(std::wstring caption, std::wstring text) : caption_(std::move(caption)), text_(std::move(text))
    {
        thread_ = std::thread([this] { Run(); });
    }
    ~FindFormFiller() { thread_.join(); }
    std::wstring Texts() const { return done_ ? texts_ : std::wstring(); }

private:
    void Run()
    {
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (!done_ && std::chrono::steady_clock::now() < end) {
            HWND form = FindWindowW(nullptr, caption_.c_str());
            if (form && IsWindowVisible(form)) {
                HWND combo = FindWindowExW(form, nullptr, L"ComboBox", nullptr);
                HWND edit = combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
                HWND ok = test::FindChildByText(form, L"OK");
                if (edit && ok) {
                    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
                    texts_ = test::ChildTexts(form);
                    done_ = true;
                    PostMessageW(ok, BM_CLICK, 0, 0);
                    return;
                }
            }
            std::this_thread::sleep_for(50ms);
        }
    }
    std::wstring caption_, text_, texts_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST_F(MainTextCommands, FindInTheEditorUsesItsGermanFormAndF3)
{
    dir.Write(L"notiz.txt", "eins zwei\r\ndrei zwei\r\n");
    Show(L"notiz.txt", *main->EasyEdit);
    TEasyEdit& edit = *main->EasyEdit;
    edit.SetCaretPos(0, 0);
    {
        FindFormFiller filler(L"Text suchen", L"zwei");
        Run(L"TextSearch");
        for (const wchar_t* label : {L"Suchen nach", L"Groß-/Kleinschreibung", L"Reguläre Ausdrucke", L"Vorwärts",
                                     L"Gesamter Text", L"Textanfang", L"Abbrechen", L"Hilfe"})
            EXPECT_NE(filler.Texts().find(label), std::wstring::npos) << WideToUtf8(label);
    }
    EXPECT_EQ(edit.SelStart(), (TEasyPoint{5, 0}));
    EXPECT_EQ(edit.SelEnd(), (TEasyPoint{9, 0}));
    Run(L"TextSearchNext");
    EXPECT_EQ(edit.SelStart(), (TEasyPoint{5, 1}));
    {
        test::DialogAnswerer ok({L"OK"});
        Run(L"TextSearchNext");
        EXPECT_TRUE(ok.Answered());
        EXPECT_NE(ok.Texts().find(L"Text 'zwei' nicht gefunden"), std::wstring::npos) << WideToUtf8(ok.Texts());
    }
    // Replace all through the German replace form.
    edit.SetReadOnly(false);
    edit.SetCaretPos(0, 0);
    {
        FindFormFiller filler(L"Text ersetzen", L"zwei");
        GetSearchSettings().ReplaceWith = L"2";
        GetSearchSettings().PromptOnReplace = false;
        Run(L"TextReplace");
        EXPECT_NE(filler.Texts().find(L"Alles ersetzen"), std::wstring::npos);
    }
    EXPECT_EQ(edit.Lines()[0], u"eins 2");
    EXPECT_EQ(edit.Lines()[1], u"drei zwei");
    // No save question on closing.
    edit.SetModified(false);
}
