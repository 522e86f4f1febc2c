#include "editor/win/EasyEditor.h"
#include "editor/win/EasyHint.h"
#include "editor/win/EasyListBox.h"
#include "editor/win/EasyPopup.h"

#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace qrv;
using namespace std::chrono_literals;

// The pick list takes the keyboard focus in its popup, which closes when
// another window becomes active: the suite takes the focus lock.

namespace {

// One shown form for the suite: under Wine without a window manager, hiding
// an active window takes two seconds.
struct EditorCompletionWin : ::testing::Test {
    static void SetUpTestSuite()
    {
        form = new TForm(nullptr);
        form->SetBounds(100, 100, 640, 480);
        form->Show();
    }
    static void TearDownTestSuite()
    {
        delete form;
        form = nullptr;
    }
    void SetUp() override
    {
        edit = new TEasyEdit(nullptr);
        edit->SetParent(form);
        edit->SetBounds(0, 0, 600, 400);
        edit->SetAutoCompletePause(10);
        SetForegroundWindow(form->Handle());
        edit->SetFocus();
        ASSERT_TRUE(test::PumpUntilIdle([] { return true; }, 2s));
    }
    void TearDown() override
    {
        ClosePopupList(false);
        delete edit;
        EXPECT_TRUE(test::PumpUntilIdle([] { return true; }, 2s));
    }
    // A key as the keyboard gives it to a window, with Ctrl held or not.
    static void Press(HWND window, WORD key, bool ctrl = false)
    {
        BYTE state[256];
        GetKeyboardState(state);
        const BYTE saved = state[VK_CONTROL];
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageW(window, WM_KEYDOWN, key, 1);
        if (key == VK_SPACE)
            SendMessageW(window, WM_CHAR, L' ', 1);
        SendMessageW(window, WM_KEYUP, key, 0xC0000001);
        state[VK_CONTROL] = saved;
        SetKeyboardState(state);
    }
    void Type(HWND window, const std::wstring& text)
    {
        for (wchar_t c : text) {
            SendMessageW(window, WM_CHAR, c, 1);
            SendMessageW(window, WM_KEYUP, 'A', 0xC0000001);
        }
    }
    HWND Editor() const { return edit->Handle(); }
    std::u16string Text() { return edit->Lines().GetTextStr(); }
    bool WaitForList()
    {
        return test::PumpUntil([this] { return edit->ShownList() != nullptr; }, 2s);
    }

    static inline TForm* form = nullptr;
    TEasyEdit* edit = nullptr;
};

}  // namespace

TEST_F(EditorCompletionWin, StrgJInsertsTheOneTemplateOrListsSeveral)
{
    // ctest: takes the focus
    edit->CodeTemplates().Add({L"if", L"if block", {L"if (|) {", L"}"}});
    edit->CodeTemplates().Add({L"for", L"counted loop", {L"for (int i = 0; i < |; ++i)"}});
    edit->CodeTemplates().Add({L"foreach", L"range loop", {L"for (auto& x : |)"}});
    edit->Lines().SetText(u"");
    Type(Editor(), L"  if");
    Press(Editor(), 'J', true);
    EXPECT_EQ(Text(), u"  if () {\r\n  }\r\n");
    EXPECT_EQ(edit->CaretX(), 6);
    EXPECT_EQ(edit->ShownList(), nullptr);

    edit->Lines().SetText(u"");
    Type(Editor(), L"fo");
    Press(Editor(), 'J', true);
    TEasyListBox* list = edit->ShownList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Items().Count(), 2);
    EXPECT_EQ(list->ItemIndex(), 0);
    // Typing in the list goes to the text and chooses the line that fits.
    Type(list->Handle(), L"re");
    EXPECT_EQ(Text(), u"fore\r\n");
    EXPECT_EQ(list->ItemIndex(), 1);
    Press(list->Handle(), VK_RETURN);
    EXPECT_EQ(Text(), u"for (auto& x : )\r\n");
    EXPECT_EQ(edit->CaretX(), 15);
    EXPECT_EQ(edit->ShownList(), nullptr);
    EXPECT_EQ(GetFocus(), Editor());
}

TEST_F(EditorCompletionWin, APauseOpensTheOwnersListWhichSpaceAcceptsAndEscCloses)
{
    // ctest: takes the focus
    wchar_t asked = 0;
    edit->OnAutoComplete = [&](TComponent*, std::vector<std::wstring>& strings, wchar_t key, bool&) {
        asked = key;
        strings = {L"Łódź", L"Länge", L"Liste"};
    };
    edit->Lines().SetText(u"");
    Type(Editor(), L"s.");
    ASSERT_TRUE(WaitForList());
    EXPECT_EQ(asked, L'.');
    TEasyListBox* list = edit->ShownList();
    Press(list->Handle(), VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 1);
    // Space takes the line; it is not typed after it.
    Press(list->Handle(), VK_SPACE);
    EXPECT_EQ(Text(), u"s.Länge\r\n");
    EXPECT_EQ(edit->ShownList(), nullptr);

    Type(Editor(), L".");
    ASSERT_TRUE(WaitForList());
    Press(edit->ShownList()->Handle(), VK_ESCAPE);
    EXPECT_EQ(edit->ShownList(), nullptr);
    EXPECT_EQ(Text(), u"s.Länge.\r\n");
    // Left closes the list and moves the caret.
    Type(Editor(), L"x");
    ASSERT_TRUE(WaitForList());
    Press(edit->ShownList()->Handle(), VK_LEFT);
    EXPECT_EQ(edit->ShownList(), nullptr);
    EXPECT_EQ(edit->CaretX(), 8);
}

TEST_F(EditorCompletionWin, WithoutAListTheOwnersHintShowsBelowTheCaret)
{
    // ctest: takes the focus
    edit->OnDisplayHint = [](TComponent*, std::wstring& hint, wchar_t key, bool&) {
        if (key == L'(')
            hint = L"int Length(const Text& t)";
    };
    edit->Lines().SetText(u"");
    Type(Editor(), L"Length(");
    ASSERT_TRUE(test::PumpUntil([&] { return edit->OwnerHint() && edit->OwnerHint()->Visible(); }, 2s))
        << "no hint shown";
    EXPECT_EQ(edit->OwnerHint()->Caption(), L"int Length(const Text& t)");
    RECT rect{};
    GetWindowRect(edit->OwnerHint()->Window().Handle(), &rect);
    POINT caret = edit->TextToClient({edit->CaretX(), edit->CaretY()});
    ClientToScreen(Editor(), &caret);
    EXPECT_GE(rect.top, caret.y + edit->LineHeight() - 1);
    // The next key hides it.
    Press(Editor(), VK_LEFT);
    EXPECT_FALSE(edit->OwnerHint()->Visible());
}

TEST_F(EditorCompletionWin, ADelimiterCorrectsTheWordTheSpellingRejects)
{
    edit->GetEditSource()->SetOptions(edit->GetEditSource()->Options() | srAutoCorrect);
    edit->GetEditSource()->OnWordSpell = [](TCustomEasyEditSource*, const std::u16string& word, bool& correct) {
        correct = word != u"Strase";
    };
    edit->OnWordAutoCorrect = [](TComponent*, const std::wstring& word, std::wstring& correct, bool& has) {
        has = word == L"Strase";
        correct = L"Straße";
    };
    edit->Lines().SetText(u"");
    Type(Editor(), L"Strase,");
    EXPECT_EQ(Text(), u"Straße,\r\n");
    EXPECT_EQ(edit->CaretX(), 7);
    // The correction is a step of its own.
    edit->Undo();
    EXPECT_EQ(Text(), u"Strase,\r\n");
}

TEST_F(EditorCompletionWin, TheBracketsAroundTheCaretAreHighlightedAndFollowIt)
{
    edit->SetOptions(edit->Options() | eoHighlightBrackets);
    edit->Lines().SetText(u"f(a, [b]) + g{c}");
    edit->SetCaretPos(3, 0);
    ASSERT_TRUE(edit->BracketPair());
    EXPECT_EQ(edit->BracketPair()->Open, (TEasyPoint{1, 0}));
    EXPECT_EQ(edit->BracketPair()->Close, (TEasyPoint{8, 0}));
    edit->SetCaretPos(7, 0);
    EXPECT_EQ(edit->BracketPair()->Open, (TEasyPoint{5, 0}));
    edit->SetCaretPos(11, 0);
    EXPECT_FALSE(edit->BracketPair());
    edit->SetCaretPos(3, 0);
    edit->SetOptions(edit->Options() & ~eoHighlightBrackets);
    EXPECT_FALSE(edit->BracketPair());
}
