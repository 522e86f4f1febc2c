#include "editor/EasySearchSettings.h"
#include "editor/win/EasyEditor.h"
#include "editor/win/EasyFindDialogs.h"
#include "editor/win/EasyHistoryEditor.h"
#include "editor/win/EasyUtilsWin.h"
#include "framework/win/MessageDialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace qrv;

namespace {

// The next modal box or form that comes up gets this answer; its text is kept.
struct BoxAnswer {
    int Result = 0;
    std::wstring Text;
    bool Answered = false;
};
BoxAnswer* pendingAnswer = nullptr;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetActiveWindow()));
    if (!form || !form->Modal() || !pendingAnswer)
        return;
    KillTimer(nullptr, timer);
    for (int i = 0; i < form->ControlCount(); ++i)
        if (form->Controls(i)->Name() == L"Message")
            pendingAnswer->Text = form->Controls(i)->Caption();
    pendingAnswer->Answered = true;
    form->SetModalResult(pendingAnswer->Result);
}

void AnswerNextBox(BoxAnswer& answer)
{
    pendingAnswer = &answer;
    SetTimer(nullptr, 0, 30, AnswerBox);
}

HWND EditOf(TComboBox* combo)
{
    return FindWindowExW(combo->Handle(), nullptr, L"Edit", nullptr);
}

// Enter typed into a combo box's edit once the form's loop runs.
void PostEnter(TComboBox* combo)
{
    PostMessageW(EditOf(combo), WM_KEYDOWN, VK_RETURN, 1);
}

std::wstring StoredHistory(const std::wstring& name)
{
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    const std::wstring key = L"Software\\EasyEdit\\History";
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return L"<none>";
    return value;
}

class EditorFind : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.SetBounds(50, 50, 640, 480);
        edit = new TEasyEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(0, 0, 600, 400);
        edit->SetOptions(edit->Options() | eoSelectFoundText | eoFindTextAtCursor);
        form.Show();
        settings.SetDefaults();
        settings.Origin = TEasySearchOrigin::sgFromCursor;
    }
    void TearDown() override { pendingAnswer = nullptr; }

    TForm form{nullptr};
    TEasyEdit* edit = nullptr;
    TEasySearchSettings& settings = GetSearchSettings();
};

TEST_F(EditorFind, TheFormsHoldTheirControlsInTheirTabOrder)
{
    TFrmReplDlg dialog(nullptr);
    dialog.HandleNeeded();
    dialog.Show();
    EXPECT_EQ(dialog.Name(), L"FrmReplDlg");
    EXPECT_EQ(dialog.Caption(), L"Replace With");
    EXPECT_EQ(dialog.cbTextToFind->Name(), L"cbTextToFind");
    EXPECT_EQ(dialog.cbReplaceWith->Name(), L"cbReplaceWith");
    EXPECT_TRUE(dialog.rbForward->Checked());
    EXPECT_EQ(dialog.rgScope->ItemCount(), 2);
    EXPECT_EQ(dialog.rgOrigin->ItemCount(), 2);
    EXPECT_EQ(dialog.btReplaceAll->ModalResult, kReplaceAllResult);
    EXPECT_TRUE(dialog.btOK->Default());
    // Every control lies inside the form.
    RECT client{};
    GetClientRect(dialog.Handle(), &client);
    for (TWinControl* control : std::initializer_list<TWinControl*>{dialog.btOK, dialog.btReplaceAll, dialog.btCancel,
                                                                    dialog.btHelp, dialog.rgScope, dialog.rgOrigin})
        EXPECT_LE(control->Left() + control->Width(), client.right)
            << std::string(control->Name().begin(), control->Name().end());
    // The replacement follows the search text in the Tab round.
    const HWND next = GetNextDlgTabItem(dialog.Handle(), dialog.cbTextToFind->Handle(), FALSE);
    EXPECT_EQ(next, dialog.cbReplaceWith->Handle());
    // The settings come in and go back.
    settings.TextToFind = L"x";
    settings.Direction = TEasySearchDirection::srBackward;
    settings.Scope = TEasySearchScope::scSelectedText;
    dialog.SettingsToControls();
    EXPECT_TRUE(dialog.rbBackward->Checked());
    EXPECT_EQ(dialog.rgScope->ItemIndex(), 1);
    dialog.rgOrigin->SetItemIndex(1);
    dialog.ControlsToSettings();
    EXPECT_EQ(settings.Origin, TEasySearchOrigin::sgEntireScope);
    EXPECT_EQ(settings.Direction, TEasySearchDirection::srBackward);
}

TEST_F(EditorFind, EnterInTheComboTakesTheTextAndTheHistoryStays)
{
    const std::filesystem::path ini = std::filesystem::path(TempDirectory()) / L"dialogs.ini";
    const bool iniBefore = std::filesystem::exists(ini);
    const std::wstring word = L"Nadel" + std::to_wstring(GetTickCount());
    {
        TFrmFindDlg dialog(nullptr);
        dialog.HandleNeeded();
        dialog.cbTextToFind->SetText(L"łódź");
        dialog.cbTextToFind->AddToHistory();
        dialog.cbTextToFind->SetText(word);
        PostEnter(dialog.cbTextToFind);
        EXPECT_EQ(dialog.ShowModal(), mrOk);
        EXPECT_EQ(settings.TextToFind, word);
        ASSERT_GE(dialog.cbTextToFind->Items().Count(), 2);
        EXPECT_EQ(dialog.cbTextToFind->Items()[0], word);
    }
    // Saved when the form went, under the form's and the box's name.
    const std::wstring stored = StoredHistory(L"FrmFindDlgcbTextToFind");
    EXPECT_EQ(stored.rfind(word + L"\r\nłódź", 0), 0u) << std::string(stored.begin(), stored.end());
    TFrmFindDlg again(nullptr);
    again.HandleNeeded();
    ASSERT_GE(again.cbTextToFind->Items().Count(), 2);
    EXPECT_EQ(again.cbTextToFind->Items()[0], word);
    EXPECT_EQ(again.cbTextToFind->Items()[1], L"łódź");
    // The registry holds it; the temporary folder gets no file of it.
    if (!iniBefore)
        EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(EditorFind, TheFindFormSearchesAndSearchAgainReportsTheEnd)
{
    edit->Lines().SetText(u"alpha beta gamma beta");
    edit->SetCaretPos(0, 0);
    edit->OnAfterCreateDialog = [](TComponent*, int code, TForm* made) {
        auto* dialog = dynamic_cast<TFrmFindDlg*>(made);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(code, 26);
        // The word at the caret came in.
        EXPECT_EQ(dialog->cbTextToFind->Text(), L"alpha");
        dialog->HandleNeeded();
        dialog->cbTextToFind->SetText(L"beta");
        PostEnter(dialog->cbTextToFind);
    };
    edit->ExecuteDialog(26);
    EXPECT_EQ(edit->SelStart(), (TEasyPoint{6, 0}));
    EXPECT_EQ(edit->SelEnd(), (TEasyPoint{10, 0}));
    EXPECT_EQ(edit->CaretX(), 10);
    edit->FindNext(26);
    EXPECT_EQ(edit->SelStart(), (TEasyPoint{17, 0}));
    BoxAnswer box{mrOk};
    AnswerNextBox(box);
    edit->FindNext(26);
    EXPECT_TRUE(box.Answered);
    EXPECT_EQ(box.Text, L"Text 'beta' nicht gefunden");
    EXPECT_EQ(edit->CaretX(), 21);
}

TEST_F(EditorFind, ReplaceAllAfterTheFirstPromptIsOneUndoStep)
{
    edit->Lines().SetText(u"a a a a");
    edit->SetCaretPos(0, 0);
    edit->OnAfterCreateDialog = [](TComponent*, int, TForm* made) {
        auto* dialog = dynamic_cast<TFrmReplDlg*>(made);
        ASSERT_NE(dialog, nullptr);
        dialog->HandleNeeded();
        dialog->cbTextToFind->SetText(L"a");
        dialog->cbReplaceWith->SetText(L"Łx");
        dialog->chbPromptOnReplace->SetChecked(true);
        dialog->rgOrigin->SetItemIndex(1);
        PostEnter(dialog->cbReplaceWith);
    };
    BoxAnswer prompt{mrAll};
    AnswerNextBox(prompt);
    edit->ExecuteDialog(27);
    EXPECT_TRUE(prompt.Answered);
    EXPECT_EQ(prompt.Text, L"Dieses Vorkommen von 'a' ersetzen?");
    EXPECT_EQ(edit->Lines()[0], u"Łx Łx Łx Łx");
    EXPECT_EQ(edit->Searching().ReplaceCount(), 4);
    edit->Undo();
    EXPECT_EQ(edit->Lines()[0], u"a a a a");
    // Cancel on the form changes nothing.
    edit->OnAfterCreateDialog = [](TComponent*, int, TForm* made) {
        made->HandleNeeded();
        PostMessageW(static_cast<TFrmFindDlg*>(made)->btCancel->Handle(), BM_CLICK, 0, 0);
    };
    edit->ExecuteDialog(27);
    EXPECT_EQ(edit->Lines()[0], u"a a a a");
}

// A go-to-line form of the host's: it asks nothing and says line 3.
class GotoForm : public TForm {
public:
    explicit GotoForm(bool& freed) : TForm(nullptr), freed_(freed)
    {
        OnShow = [this](TComponent*) {
            GetSearchSettings().GotoLineNumber = 3;
            SetModalResult(mrOk);
        };
    }
    ~GotoForm() override { freed_ = true; }

private:
    bool& freed_;
};

TEST_F(EditorFind, GoToLineNeedsTheHostsForm)
{
    edit->Lines().SetText(u"0\r\n1\r\n2\r\n3\r\n4");
    edit->SetCaretPos(0, 1);
    // None of the editor's own: nothing shows, the line number is prepared.
    settings.GotoLineNumber = 0;
    edit->ExecuteDialog(28);
    EXPECT_EQ(settings.GotoLineNumber, 2);
    EXPECT_EQ(edit->CaretY(), 1);
    bool freed = false;
    edit->OnBeforeCreateDialog = [&freed](TComponent*, int code, TForm*& made, bool&, bool& handled) {
        if (code == 28) {
            made = new GotoForm(freed);
            handled = true;
        }
    };
    edit->ExecuteDialog(28);
    EXPECT_EQ(edit->CaretY(), 2);
    EXPECT_TRUE(freed);
}

}  // namespace
