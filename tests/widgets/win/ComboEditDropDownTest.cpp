// The combo edit's drop-down and its locked text.

#include "framework/win/Forms.h"
#include "widgets/win/ToolEdit.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// A plain popup window standing in for a descendant's drop-down list.
class FakePopup : public TComboPopup {
public:
    FakePopup()
    {
        window_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_BORDER, 0, 0, 120, 80, nullptr,
                                  nullptr, nullptr, nullptr);
    }
    ~FakePopup() override { DestroyWindow(window_); }
    HWND Window() override { return window_; }
    void SetValue(const std::wstring& value) override
    {
        given = value;
        ++shown;
    }
    std::wstring Value() override { return chosen; }

    std::wstring given;
    std::wstring chosen;
    int shown = 0;

private:
    HWND window_;
};

RECT ScreenRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

}  // namespace

TEST(ComboEditDropDown, OpensUnderTheEditAndEnterAcceptsEscCancels)
{
    // ctest: takes the focus (the edit takes it when the drop-down opens)
    TForm form(nullptr);
    form.SetBounds(100, 100, 400, 300);
    auto* edit = new TCustomComboEdit(&form);
    edit->SetBounds(20, 20, 200, 21);
    edit->SetParent(&form);
    form.Show();
    FakePopup popup;
    edit->SetPopup(&popup);
    edit->SetText(L"alt");
    int changes = 0;
    edit->OnChange = [&](TComponent*) { ++changes; };
    int clicks = 0;
    edit->OnButtonClick = [&](TComponent*) { ++clicks; };

    edit->ButtonClicked();
    ASSERT_TRUE(edit->PopupVisible());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popup.given, L"alt") << "the drop-down gets the text";
    EXPECT_TRUE(IsWindowVisible(popup.Window()));
    const RECT editRect = ScreenRect(edit->Handle());
    const RECT dropRect = ScreenRect(popup.Window());
    EXPECT_EQ(dropRect.top, editRect.bottom) << "below the edit";
    EXPECT_EQ(dropRect.right, editRect.right) << "right-aligned";
    EXPECT_EQ(GetFocus(), edit->Handle());
    edit->PopupDropDown();
    EXPECT_EQ(popup.shown, 1) << "an open drop-down is not opened again";

    popup.chosen = L"neu";
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_FALSE(IsWindowVisible(popup.Window()));
    EXPECT_EQ(edit->Text(), L"neu") << "Enter accepts";
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(SendMessageW(edit->Handle(), EM_GETMODIFY, 0, 0));

    edit->ButtonClicked();
    popup.chosen = L"verworfen";
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), L"neu") << "Esc keeps the text";

    // A click on the edit itself while open closes without accepting; the
    // button closes an open drop-down.
    edit->ButtonClicked();
    SendMessageW(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(edit->PopupVisible());
    edit->ButtonClicked();
    edit->ButtonClicked();
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(edit->Text(), L"neu");

    // Read-only: the button opens nothing.
    edit->SetReadOnly(true);
    const int shown = popup.shown;
    edit->ButtonClicked();
    EXPECT_FALSE(edit->PopupVisible());
    EXPECT_EQ(popup.shown, shown);
}

TEST(ComboEditDropDown, WithoutDirectInputTheTextTakesNoTypingButTheDropDown)
{
    TForm form(nullptr);
    auto* edit = new TCustomComboEdit(&form);
    edit->SetParent(&form);
    form.Show();
    FakePopup popup;
    edit->SetPopup(&popup);
    edit->SetText(L"12");
    edit->SetDirectInput(false);
    SendMessageW(edit->Handle(), EM_SETSEL, 2, 2);
    SendMessageW(edit->Handle(), WM_CHAR, L'3', 1);
    EXPECT_EQ(edit->Text(), L"12") << "no typing";
    SendMessageW(edit->Handle(), EM_SETSEL, 0, -1);
    SendMessageW(edit->Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(edit->Text(), L"12") << "no cutting";

    edit->ButtonClicked();
    EXPECT_TRUE((GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_READONLY)) << "read-only while open";
    popup.chosen = L"34";
    edit->PopupCloseUp(true);
    EXPECT_EQ(edit->Text(), L"34");
    EXPECT_FALSE((GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_READONLY)) << "the edit's own state back";

    edit->SetDirectInput(true);
    SendMessageW(edit->Handle(), EM_SETSEL, 2, 2);
    SendMessageW(edit->Handle(), WM_CHAR, L'5', 1);
    EXPECT_EQ(edit->Text(), L"345");
}
