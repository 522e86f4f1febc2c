// The zip component's own password dialog, built on Xvfb and read back.

#include "archives/win/PasswordDlg.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(PasswordDlg, ExtractingOffersCancelAllAndHidesTheEntry)
{
    TPasswordDlg dialog(nullptr, L"Geben Sie bitte das Passwort ein:", true);
    EXPECT_EQ(dialog.Caption(), L"Passwort");
    ASSERT_EQ(dialog.Buttons.size(), 3u);
    EXPECT_EQ(dialog.Buttons[0]->Caption(), L"&OK");
    EXPECT_EQ(dialog.Buttons[1]->Caption(), L"&Abbrechen");
    EXPECT_EQ(dialog.Buttons[2]->Caption(), L"Alles abbrechen");
    for (size_t i = 0; i < dialog.Buttons.size(); ++i) {
        EXPECT_EQ(dialog.Buttons[i]->Width(), 114);
        EXPECT_EQ(dialog.Buttons[i]->Height(), 28);
        EXPECT_EQ(dialog.Buttons[i]->Left() - dialog.Buttons[0]->Left(), int(i) * 124);
    }
    EXPECT_EQ(dialog.Edit->MaxLength(), 80);
    HWND edit = dialog.Edit->Handle();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD);
    // Typing stops at 80 characters.
    for (int i = 0; i < 100; ++i)
        SendMessageW(edit, WM_CHAR, L'a', 0);
    EXPECT_EQ(dialog.Edit->Text().size(), 80u);

    EXPECT_EQ(TPasswordDlg::ButtonOf(dialog.Buttons[0]->ModalResult), pwbOk);
    EXPECT_EQ(TPasswordDlg::ButtonOf(dialog.Buttons[1]->ModalResult), pwbCancel);
    EXPECT_EQ(TPasswordDlg::ButtonOf(dialog.Buttons[2]->ModalResult), pwbCancelAll);
}

TEST(PasswordDlg, AddingHasNoCancelAll)
{
    TPasswordDlg dialog(nullptr, L"Bestätigen Sie das Passwort:", false);
    ASSERT_EQ(dialog.Buttons.size(), 2u);
    EXPECT_EQ(dialog.Prompt->Caption(), L"Bestätigen Sie das Passwort:");
}

}  // namespace
