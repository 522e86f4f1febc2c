#include "editor/win/EasyEditor.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;

namespace {

class EasyEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TEasyEdit(&form);
        edit->SetParent(&form);
        edit->Lines().SetText(u"eins\r\nzwei\r\ndrei");
        form.HandleNeeded();
    }
    TForm form{nullptr};
    TEasyEdit* edit = nullptr;
};

}  // namespace

TEST_F(EasyEditorTest, ShowsTheSourceAndTakesBackTheUsersEdits)
{
    HWND window = edit->Handle();
    EXPECT_EQ(WindowText(window), L"eins\r\nzwei\r\ndrei");
    EXPECT_FALSE(edit->GetModified());

    edit->SetCaretPos(4, 1);
    EXPECT_EQ(edit->CaretY(), 1);
    EXPECT_EQ(edit->CaretX(), 4);
    SendMessageW(window, WM_CHAR, L'!', 0);
    EXPECT_EQ(edit->Lines()[1], u"zwei!");
    EXPECT_TRUE(edit->GetModified());
    EXPECT_EQ(edit->CaretX(), 5) << "the window keeps its caret while the source takes the edit";
    EXPECT_TRUE(edit->CanUndo());

    edit->SetModified(false);
    EXPECT_FALSE(edit->GetEditSource()->Modified());

    // Lines set by the host reach the window.
    edit->Lines().Add(u"vier");
    EXPECT_EQ(WindowText(window), L"eins\r\nzwei!\r\ndrei\r\nvier");

    SendMessageW(window, EM_SETSEL, 0, 4);
    EXPECT_EQ(edit->GetSelLength(), 4);
    EXPECT_EQ(edit->SelText(), L"eins");
}

TEST_F(EasyEditorTest, ReadOnlyTabsAndWordWrap)
{
    HWND window = edit->Handle();
    edit->SetReadOnly(true);
    EXPECT_TRUE(edit->GetEditSource()->ReadOnly());
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & ES_READONLY);
    edit->SetReadOnly(false);
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & ES_READONLY);

    edit->SetCaretPos(0, 0);
    edit->SetWantTabs(false);
    SendMessageW(window, WM_CHAR, L'\t', 0);
    EXPECT_EQ(edit->Lines()[0], u"eins");
    edit->SetWantTabs(true);
    SendMessageW(window, WM_CHAR, L'\t', 0);
    EXPECT_EQ(edit->Lines()[0], u"\teins");

    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & ES_AUTOHSCROLL);
    edit->SetCaretPos(2, 2);
    edit->SetWordWrap(true);
    window = edit->Handle();
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_EQ(WindowText(window), L"\teins\r\nzwei\r\ndrei");
    EXPECT_EQ(edit->CaretY(), 2) << "the caret outlives the window";
    EXPECT_EQ(edit->CaretX(), 2);

    edit->SetLineBreak(TEasyLineBreak::lbLF);
    EXPECT_EQ(edit->Lines().LineBreak(), TEasyLineBreak::lbLF);
    edit->SetBlockSelMode(TEasyBlockSelMode::bsBlock);
    EXPECT_EQ(edit->BlockSelMode(), TEasyBlockSelMode::bsBlock);
    EXPECT_EQ(edit->Options(), DefaultEasyEditorOptions);
}

TEST_F(EasyEditorTest, AttachedSourceAndItsEnd)
{
    auto external = std::make_unique<TEasyEditSource>(nullptr);
    external->Strings().SetText(u"fremd");
    external->SetReadOnly(true);
    edit->SetEditSource(external.get());
    EXPECT_EQ(edit->GetEditSource(), external.get());
    EXPECT_EQ(WindowText(edit->Handle()), L"fremd");
    EXPECT_TRUE(edit->GetReadOnly());

    external.reset();
    EXPECT_EQ(edit->EditSource(), nullptr) << "a freed source lets go of the editor";
    EXPECT_EQ(WindowText(edit->Handle()), L"eins\r\nzwei\r\ndrei");
    EXPECT_FALSE(edit->GetReadOnly());
}
