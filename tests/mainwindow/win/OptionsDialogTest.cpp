// The options dialog in the main window: F12 opens it on the page shown
// last; Cancel and an untouched OK change nothing; its grids keep Enter and
// Esc; OK brings the new pane colours. The system's dialogs are replaced by
// scripted choosers.

#include "SettingsGuards.h"

#include "dialogs/win/OptionsForm.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/PageControl.h"
#include "framework/win/Registry.h"
#include "framework/win/WindowPicture.h"
#include "mainwindow/OptionsExchange.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/OptionsDialogLink.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/ImpStringGrid.h"
#include "widgets/win/KyClrBn.h"
#include "widgets/win/ToolEdit.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// Runs a script inside the dialog's modal loop once the dialog is shown;
// the script ends the dialog.
class DuringDialog {
public:
    DuringDialog(TOptionsDialogLink& link, std::function<void(TFormOptions&)> script)
    {
        link_ = &link;
        script_ = std::move(script);
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~DuringDialog()
    {
        KillTimer(nullptr, timer_);
        link_ = nullptr;
        script_ = nullptr;
    }
    static bool Ran() { return ran_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        if (!link_ || !link_->Shown() || !IsWindowVisible(link_->Shown()->Handle()) || !script_)
            return;
        KillTimer(nullptr, id);
        auto script = std::move(script_);
        script_ = nullptr;
        ran_ = true;
        script(*link_->Shown());
    }
    static inline TOptionsDialogLink* link_ = nullptr;
    static inline std::function<void(TFormOptions&)> script_;
    static inline bool ran_ = false;
    UINT_PTR timer_ = 0;
};

void Cancel(TFormOptions& form)
{
    form.SetModalResult(mrCancel);
}

// Types into the open editor of a grid, key by key, as the keyboard would.
void Type(TImpStringGrid& grid, const std::wstring& text)
{
    for (wchar_t c : text)
        SendMessageW(grid.InplaceEditor()->Handle(), WM_CHAR, c, 1);
}

void PostKey(HWND window, WORD key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

class OptionsDialog : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;
    std::unique_ptr<TQRVMain> main;
    TOptionsDialogLink* link = nullptr;
    int questions = 0;
    int answer = mrIgnore;

    void SetUp() override
    {
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
        link = dynamic_cast<TOptionsDialogLink*>(main->OptionsDialog.get());
        ASSERT_NE(link, nullptr) << "the main window runs the real dialog";
        link->Overrides = ScriptedCalls();
    }
    void TearDown() override
    {
        if (main) {
            main->Close();
            main.reset();
        }
        FinalizeGlobals();
    }

    TOptionsFormCalls ScriptedCalls()
    {
        TOptionsFormCalls calls;
        calls.ChooseFont = [](HWND, TFont& font, bool fixed) {
            font.SetName(fixed ? L"Lucida Console" : L"Arial");
            font.SetSize(14);
            font.SetStyle(fsBold);
            return true;
        };
        calls.ChooseColor = [](HWND, TColor& color) {
            color = 0x00102030;
            return true;
        };
        calls.BrowseFile = [](HWND, std::wstring& name, const std::wstring&, const std::wstring&) {
            name = L"C:\\windows\\notepad.exe";
            return true;
        };
        calls.Ask = [this](const std::wstring&, const std::wstring&) {
            ++questions;
            return answer;
        };
        calls.Inform = [this](const std::wstring&) { ++questions; };
        return calls;
    }

    // The dialog over a copy of the record, without the main window.
    std::unique_ptr<TFormOptions> Form(TOptions& options)
    {
        TOptionsFormCalls calls = ScriptedCalls();
        calls.FindOnPath = [](const std::wstring& name) {
            return name == L"notepad.exe" ? std::wstring(L"C:\\windows\\system32\\notepad.exe") : std::wstring();
        };
        return std::make_unique<TFormOptions>(nullptr, options, calls);
    }
};

}  // namespace

TEST_F(OptionsDialog, F12OpensThePageUsedLastWithoutTheThumbnailTab)
{
    main->ActionList1->UpdateActions();
    ASSERT_TRUE(main->OptionsDlg->Enabled());
    EXPECT_EQ(main->OptionsDlg->ShortCut(), ShortCut(VK_F12, scNone));
    main->LastOptionsPage = opFontsColors;
    int shownPage = -1;
    std::vector<std::wstring> tabs;
    {
        DuringDialog script(*link, [&](TFormOptions& form) {
            shownPage = form.ActivePage();
            HWND tabControl = form.Pages()->Handle();
            const int count = static_cast<int>(SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                wchar_t text[64] = {};
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = text;
                item.cchTextMax = 64;
                SendMessageW(tabControl, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
                tabs.push_back(text);
            }
            // Ctrl+Tab goes to the next page.
            form.SetActivePage(opFontsColors);
            form.Control<TCheckBox>(L"chkUseColor")->SetFocus();
            keybd_event(VK_CONTROL, 0, 0, 0);
            keybd_event(VK_TAB, 0, 0, 0);
            keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
            keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
            test::PumpUntil([&] { return form.ActivePage() == opDragDrop; }, 2s);
            Cancel(form);
        });
        main->OptionsDlg->Execute();
    }
    EXPECT_EQ(shownPage, opFontsColors);
    const std::vector<std::wstring> expected = {L"Allgemein",    L"Anzeige",    L"Dateifenster",
                                                L"Dateianzeige", L"Programme",  L"Schriftarten && Farben",
                                                L"Drag && Drop", L"Dateifilter"};
    EXPECT_EQ(tabs, expected) << "no thumbnail tab";
    EXPECT_EQ(main->LastOptionsPage, opDragDrop);
}

TEST_F(OptionsDialog, CancelAfterEditsLeavesRecordAndFlags)
{
    Options.FilterList.push_back({L"Texte", L"*.txt"});
    const TOptions before = Options;
    const bool fkeysFlag = main->FKeysChanged;
    const bool filterFlag = main->FilterListChanged;
    {
        DuringDialog script(*link, [&](TFormOptions& form) {
            form.Control<TButton>(L"btnStdFont")->Click();
            form.Control<TButton>(L"btnTextFont")->Click();
            EXPECT_EQ(form.Control<TLabel>(L"lblTextFont")->Caption(), L"Schriftart: Lucida Console");
            TImpStringGrid& keys = *form.FKeysGrid();
            keys.SetCurrent(fkCaption, 1);
            keys.ShowEditor();
            Type(keys, L"Editor");
            keys.CommitEdit();
            keys.SetCurrent(fkParams, 3);
            keys.ShowEditor();
            Type(keys, L"[!]");
            keys.CommitEdit();
            form.SetActivePage(opFilters);
            form.Control<TButton>(L"btnFilterNew")->Click();
            form.Control<TButton>(L"btnFilterDelete")->Click();
            EXPECT_EQ(keys.Cells().Cell(fkCaption, 1), L"Editor");
            Cancel(form);
        });
        main->OptionsDlg->Execute();
    }
    EXPECT_TRUE(DuringDialog::Ran());
    EXPECT_TRUE(SameOptions(Options, before));
    EXPECT_EQ(main->FKeysChanged, fkeysFlag);
    EXPECT_EQ(main->FilterListChanged, filterFlag);
}

TEST_F(OptionsDialog, OkWithNothingTouchedChangesNothing)
{
    main->FKeysChanged = false;
    main->FilterListChanged = false;
    ASSERT_TRUE(main->SaveSettings());
    const std::optional<std::string> file = test::ProgramFolderIni::Read();
    ASSERT_TRUE(file && !file->empty());
    const TOptions before = Options;
    {
        DuringDialog script(*link, [](TFormOptions& form) { form.btnOKClick(); });
        main->OptionsDlg->Execute();
    }
    EXPECT_TRUE(SameOptions(Options, before));
    EXPECT_FALSE(main->FKeysChanged);
    EXPECT_FALSE(main->FilterListChanged);
    ASSERT_TRUE(main->SaveSettings());
    EXPECT_EQ(test::ProgramFolderIni::Read(), file) << "byte for byte";
}

TEST_F(OptionsDialog, DeletedFilterRowAndEnterEscInCells)
{
    Options.FilterList = {{L"Alle Dateien", L"*.*"}, {L"Texte", L"*.txt"}};
    main->FKeysChanged = false;
    main->FilterListChanged = false;
    bool openAfterKeys = false;
    std::wstring captionAfterEsc;
    int colAfterEnter = -1;
    {
        DuringDialog script(*link, [&](TFormOptions& form) {
            form.SetActivePage(opPrograms);
            TImpStringGrid& keys = *form.FKeysGrid();
            keys.SetCurrent(fkCaption, 2);
            keys.ShowEditor();
            PostKey(keys.InplaceEditor()->Handle(), VK_RETURN);
            test::PumpFor(200ms);
            colAfterEnter = keys.Col();
            // Typed, then undone with Esc.
            keys.ShowEditor();
            Type(keys, L"weg");
            PostKey(keys.InplaceEditor()->Handle(), VK_ESCAPE);
            test::PumpFor(200ms);
            captionAfterEsc = keys.Cells().Cell(fkCommand, 2);
            // Enter on a closed cell opens its editor in the filter grid.
            form.SetActivePage(opFilters);
            TImpStringGrid& filters = *form.FilterGrid();
            filters.SetFocus();
            filters.SetCurrent(0, 2);
            PostKey(filters.Handle(), VK_RETURN);
            test::PumpFor(200ms);
            PostKey(filters.InplaceEditor()->Handle(), VK_ESCAPE);
            test::PumpFor(200ms);
            openAfterKeys = IsWindowVisible(form.Handle()) && form.ModalResult() == mrNone;
            form.Control<TButton>(L"btnFilterDelete")->Click();
            form.btnOKClick();
        });
        main->OptionsDlg->Execute();
    }
    EXPECT_TRUE(openAfterKeys) << "Enter and Esc stay in the grid";
    EXPECT_EQ(colAfterEnter, fkCommand) << "Enter goes to the next column";
    EXPECT_EQ(captionAfterEsc, L"");
    EXPECT_FALSE(main->FKeysChanged) << "an edit undone with Esc changes nothing";
    EXPECT_TRUE(main->FilterListChanged) << "a deleted row is saved";
    ASSERT_EQ(Options.FilterList.size(), 1u);
    EXPECT_EQ(Options.FilterList[0].Masks, L"*.*");
}

TEST_F(OptionsDialog, OkPaintsTheActiveAndTheOtherList)
{
    ASSERT_TRUE(main->LV2 && main->ActiveList == main->LV1);
    {
        DuringDialog script(*link, [](TFormOptions& form) {
            form.Control<TCheckBox>(L"chkUseColor")->SetChecked(true);
            form.Control<TKyColorButton>(L"ColorSelActive")->SetColor(0x00336699);
            form.Control<TKyColorButton>(L"ColorSelBk")->SetColor(0x00CCDDEE);
            form.btnOKClick();
        });
        main->OptionsDlg->Execute();
    }
    EXPECT_EQ(ListView_GetBkColor(main->LV1->Handle()), 0x00336699u);
    EXPECT_EQ(ListView_GetBkColor(main->LV2->Handle()), 0x00CCDDEEu);
    // The colours follow the focus to the other list.
    main->LV2->SetFocus();
    ASSERT_TRUE(test::PumpUntil([&] { return main->ActiveList == main->LV2; }, 5s));
    EXPECT_EQ(ListView_GetBkColor(main->LV2->Handle()), 0x00336699u);
    EXPECT_EQ(ListView_GetBkColor(main->LV1->Handle()), 0x00CCDDEEu);
}

TEST_F(OptionsDialog, StoredValuesTheDialogMustKeep)
{
    TOptions options = Options;
    options.UseRegistry = true;
    options.CompareProgPath = L"C:\\Tools [x86]\\diff.exe";
    options.Reload = 300;
    const TOptions before = options;
    auto form = Form(options);
    EXPECT_EQ(form->Control<TFilenameEdit>(L"edCompareProg")->Text(), before.CompareProgPath);
    auto* registry = form->Control<TCheckBox>(L"chkUseRegistry");
    ASSERT_NE(registry, nullptr);
    EXPECT_FALSE(registry->Visible());
    EXPECT_FALSE(registry->Checked());
    answer = mrIgnore;
    form->btnOKClick();
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(questions, 1) << "the missing compare program is asked about";
    EXPECT_TRUE(options.UseRegistry) << "the hidden box is never read";
    EXPECT_EQ(options.CompareProgPath, before.CompareProgPath);
    EXPECT_EQ(options.Reload, 1000) << "a value off the track bar shows and saves 1000";
    options.Reload = before.Reload;
    EXPECT_TRUE(SameOptions(options, before));
}

TEST_F(OptionsDialog, YesSendsTheUserBackToTheCompareField)
{
    TOptions options = Options;
    options.CompareProgPath = L"C:\\nirgends\\vergleich.exe";
    const TOptions before = options;
    auto form = Form(options);
    form->SetActivePage(opFilters);
    answer = mrYes;
    form->btnOKClick();
    EXPECT_EQ(form->ModalResult(), mrNone);
    EXPECT_EQ(form->ActivePage(), opGeneral);
    EXPECT_TRUE(SameOptions(options, before)) << "nothing written";
}

TEST_F(OptionsDialog, SingleClickBesideRowSelectIsReportedNotPrevented)
{
    TOptions options = Options;
    options.ClickEdits = false;
    options.SingleClickExec = false;
    options.RowSelect = true;
    auto form = Form(options);
    auto* singleClick = form->Control<TRadioButton>(L"rbMouseSingleClick");
    ASSERT_NE(singleClick, nullptr);
    SendMessageW(singleClick->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(questions, 1) << "the conflict is reported";
    form->btnOKClick();
    EXPECT_TRUE(options.SingleClickExec);
    EXPECT_TRUE(options.RowSelect) << "both may be saved together";
}

TEST_F(OptionsDialog, CellLimitsFontsAndCompletedCommands)
{
    TOptions options = Options;
    auto form = Form(options);
    TImpStringGrid& keys = *form->FKeysGrid();
    keys.SetCurrent(fkCaption, 1);
    keys.ShowEditor();
    Type(keys, std::wstring(30, L'x'));
    keys.CommitEdit();
    EXPECT_EQ(keys.Cells().Cell(fkCaption, 1), std::wstring(25, L'x')) << "the editor stops at 25";
    keys.SetCurrent(fkCommand, 1);
    keys.ShowEditor();
    Type(keys, L"notepad.exe");
    keys.CommitEdit();
    EXPECT_EQ(keys.Cells().Cell(fkCommand, 1), L"C:\\windows\\system32\\notepad.exe");

    // A font of a 30-character face name.
    const std::wstring name30 = L"Quorvan Sample Sans Condensed1";
    TOptionsFormCalls calls = ScriptedCalls();
    calls.ChooseFont = [&](HWND, TFont& font, bool) {
        font.SetName(name30);
        return true;
    };
    TOptions second = Options;
    TFormOptions fonts(nullptr, second, calls);
    fonts.Control<TButton>(L"btnStdFont")->Click();
    fonts.btnOKClick();
    EXPECT_EQ(second.ListFont.Name, name30);

    form->btnOKClick();
    EXPECT_EQ(options.FKeys[0][0].Caption, std::wstring(25, L'x'));
}

TEST_F(OptionsDialog, EveryPagePictured)
{
    TOptions options = Options;
    auto form = Form(options);
    const std::filesystem::path folder = std::filesystem::current_path() / "screenshots";
    std::filesystem::create_directories(folder);
    form->Show();
    for (int page = 0; page < opThumbnails; ++page) {
        form->SetActivePage(page);
        const std::wstring file = (folder / ("options-page-" + std::to_string(page) + ".bmp")).wstring();
        EXPECT_TRUE(ShowAndSaveWindowPicture(form->Handle(), file)) << page;
    }
    form->Hide();
}
