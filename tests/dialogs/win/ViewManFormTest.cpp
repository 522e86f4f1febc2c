// The view manager on a real window: the layout of the window's fields is
// shown with its preview, a missing picture gives the text instead, the
// display choice is offered for every layout but "Explorer", and OK writes
// the chosen fields.

#include "dialogs/win/ViewManForm.h"

#include "TestDir.h"
#include "framework/win/Buttons.h"
#include "framework/win/Image.h"
#include "framework/win/StdCtrls.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

std::wstring BesideTest(const wchar_t* Name)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path().wstring() + L"\\" + Name;
}

}  // namespace

TEST(ViewManForm, PreviewsTheLayoutAndWritesTheChoice)
{
    // The pictures the build puts beside the program, but for "2FWV.BMP".
    test::TestDir dir;
    const std::wstring folder = dir.Path() + L"\\";
    for (const wchar_t* name : {L"EXPLORER.BMP", L"COMMANDE.BMP", L"COMMAND2.BMP", L"2FWH.BMP"})
        ASSERT_TRUE(CopyFileW(BesideTest(name).c_str(), (folder + name).c_str(), FALSE)) << GetLastError();

    TViewManForm form(nullptr, folder);
    form.SetLayout({true, false, 0, 1});
    form.Show();
    test::PumpFor(100ms);
    EXPECT_EQ(form.cbView->ItemIndex(), 0);
    EXPECT_EQ(form.cbView->Items().Count(), 5);
    EXPECT_TRUE(form.imgPreview->Visible());
    EXPECT_EQ(form.imgPreview->PictureSize().cx, 200) << "the schematic picture";
    EXPECT_FALSE(form.lblNoPreview->Visible());
    EXPECT_FALSE(form.rbFileDisplayPos2FW->Enabled()) << "Explorer shows contents below";
    EXPECT_TRUE(form.rbFileDisplayPos2FW->Checked());
    // OK on "Explorer" keeps the layout code and the display position.
    EXPECT_EQ(form.ChosenLayout(), (TViewLayout{true, false, 0, 1}));

    form.cbView->SetItemIndex(4);
    form.ViewChanged();
    EXPECT_FALSE(form.imgPreview->Visible());
    EXPECT_TRUE(form.lblNoPreview->Visible());
    EXPECT_EQ(form.lblNoPreview->Caption(), L"Keine Ansicht verfügbar :-(");
    EXPECT_TRUE(form.rbFileDisplayBottom->Enabled());
    form.rbFileDisplayBottom->SetChecked(true);
    EXPECT_EQ(form.ChosenLayout(), (TViewLayout{true, true, 0, 0}));

    form.cbView->SetItemIndex(2);
    form.ViewChanged();
    EXPECT_TRUE(form.imgPreview->Visible());
    EXPECT_EQ(form.ChosenLayout(), (TViewLayout{false, true, 1, 0}));
    form.Hide();
}
