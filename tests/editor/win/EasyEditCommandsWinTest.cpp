#include "common/win/FileClipboard.h"
#include "editor/win/EasyEditor.h"
#include "framework/ScopeExit.h"
#include "editor/WideText.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

using namespace qrv;

namespace {

class EditCommandsWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.SetBounds(0, 0, 640, 480);
        edit = new TEasyEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(0, 0, 600, 400);
        form.HandleNeeded();
    }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(edit->Handle(), msg, w, l); }
    // A key as the keyboard gives it, with the modifiers held.
    void Press(WORD key, bool ctrl = false, bool shift = false, bool alt = false)
    {
        BYTE state[256];
        GetKeyboardState(state);
        BYTE saved[256];
        std::copy(state, state + 256, saved);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(state);
        Send(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
        Send(alt ? WM_SYSKEYUP : WM_KEYUP, key, 0xC0000001);
        SetKeyboardState(saved);
    }
    std::u16string Text() { return edit->Lines().GetTextStr(); }

    TForm form{nullptr};
    TEasyEdit* edit = nullptr;
};

// Text put on the clipboard as another program would.
void PutForeignText(const std::u16string& text, size_t units, bool terminated)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    const ScopeExit close([] { CloseClipboard(); });
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, units * sizeof(char16_t));
    ASSERT_NE(memory, nullptr);
    auto* target = static_cast<char16_t*>(GlobalLock(memory));
    std::memcpy(target, text.data(), std::min(units, text.size()) * sizeof(char16_t));
    if (terminated && units > text.size())
        target[text.size()] = 0;
    GlobalUnlock(memory);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
}

}  // namespace

TEST_F(EditCommandsWin, TypedCharactersAndTheInputMethodsResult)
{
    edit->Lines().SetText(u"");
    for (const wchar_t c : std::wstring(L"äöü€"))
        Send(WM_CHAR, c);
    EXPECT_EQ(Text(), u"äöü€\r\n");
    EXPECT_EQ(edit->CaretX(), 4);
    // A pair typed as two characters.
    Send(WM_CHAR, 0xD83D);
    Send(WM_CHAR, 0xDE00);
    EXPECT_EQ(edit->Lines()[0], u"äöü€\U0001F600");
    // Enter takes the key-down; its character is not typed again.
    Press(VK_RETURN);
    Send(WM_CHAR, L'\r');
    EXPECT_EQ(edit->Lines().Count(), 2);
}

TEST_F(EditCommandsWin, DefaultMapMarksCopiesAndMovesBlocks)
{
    edit->Lines().SetText(u"abcdef\r\nxyz");
    edit->SetCaretPos(1, 0);
    Press('K', true);
    Press('B');  // block begin: the marker
    edit->SetCaretPos(4, 0);
    Press('K', true);
    Press('K');  // block end: marker to caret
    EXPECT_EQ(edit->SelMode(), smStream);
    EXPECT_EQ(edit->GetSelText(), L"bcd");
    edit->SetCaretPos(3, 1);
    Press('K', true);
    Press('C');  // copy the block to the caret
    EXPECT_EQ(edit->Lines()[1], u"xyzbcd");
    Press('K', true);
    Press('U');  // unindent: nothing to take
    EXPECT_EQ(edit->Lines()[1], u"xyzbcd");
    // Ctrl+Z undoes the copy as one step.
    Press('Z', true);
    EXPECT_EQ(edit->Lines()[1], u"xyz");
}

TEST_F(EditCommandsWin, BriefMarkingModeSelectsAndEscapeUnselects)
{
    edit->SetKeyMapping(TEasyKeyMapping::kmBrief);
    edit->Lines().SetText(u"eins\r\nzwei\r\ndrei");
    Press('A', false, false, true);
    Press(VK_DOWN);
    EXPECT_EQ(edit->SelMode(), smStream);
    EXPECT_EQ(edit->GetSelText(), L"eins\r\n");
    Press(VK_ESCAPE);
    EXPECT_EQ(edit->SelMode(), smNone);
    EXPECT_EQ(Text(), u"eins\r\nzwei\r\ndrei\r\n");
}

TEST_F(EditCommandsWin, ClipboardCarriesUtf16AndBlocks)
{
    edit->Lines().SetText(u"Łódź €\r\nabc\r\ndef");
    edit->SetSelection({0, 0}, {6, 0});
    Send(WM_COPY);
    EXPECT_EQ(ReadClipboardText(nullptr), std::u16string(u"Łódź €"));

    // A block copied here pastes as a rectangle.
    edit->SetSelection({0, 1}, {0, 2}, smBlock);
    ASSERT_EQ(edit->SelMode(), smBlock);
    Send(WM_COPY);
    edit->ClearSelection();
    edit->SetCaretPos(3, 1);
    Send(WM_PASTE);
    EXPECT_EQ(edit->Lines()[1], u"abca");
    EXPECT_EQ(edit->Lines()[2], u"defd");

    // The same text from another program pastes as a stream.
    PutForeignText(u"a\r\nd", 5, true);
    edit->ClearSelection();
    edit->SetCaretPos(0, 0);
    Send(WM_PASTE);
    EXPECT_EQ(edit->Lines()[0], u"a");
    EXPECT_EQ(edit->Lines()[1], u"dŁódź €");
}

TEST_F(EditCommandsWin, AnUnterminatedTextPastesWithinItsBlock)
{
    edit->Lines().SetText(u"");
    PutForeignText(u"abcdef", 3, false);
    Send(WM_PASTE);
    const std::u16string line = edit->Lines()[0];
    // Nothing beyond the block is read as text (the system may keep the
    // block's last unit for the terminator it adds).
    EXPECT_FALSE(line.empty());
    EXPECT_TRUE(std::u16string(u"abc").starts_with(line)) << ToWide(line).c_str();
}

TEST_F(EditCommandsWin, CutKeepsTheTextWhileTheClipboardIsHeldElsewhere)
{
    edit->Lines().SetText(u"behalten");
    edit->SetSelection({0, 0}, {4, 0});
    HWND other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    const ScopeExit destroy([&] { DestroyWindow(other); });
    ASSERT_TRUE(OpenClipboard(other));
    Send(WM_CUT);
    CloseClipboard();
    EXPECT_EQ(edit->Lines()[0], u"behalten");
    Send(WM_CUT);
    EXPECT_EQ(edit->Lines()[0], u"lten");
    EXPECT_EQ(ReadClipboardText(nullptr), std::u16string(u"beha"));
}

TEST_F(EditCommandsWin, AReadOnlyTextRefusesTyping)
{
    edit->Lines().SetText(u"fest");
    edit->GetEditSource()->SetReadOnly(true);
    Send(WM_CHAR, L'x');
    Press(VK_DELETE);
    Press(VK_RETURN);
    EXPECT_EQ(Text(), u"fest\r\n");
}
