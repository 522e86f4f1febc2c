#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

std::wstring ComboItemText(HWND combo, int index)
{
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return L"<kein Eintrag>";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The control's items, read from the window.
std::vector<std::wstring> ComboWindowItems(HWND combo)
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        items.push_back(ComboItemText(combo, i));
    return items;
}

}  // namespace

TEST(Edit, StateReachesTheWindowAndSurvivesRecreation)
{
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetText(L"vorher");
    edit->SetReadOnly(true);
    edit->SetMaxLength(12);
    form.HandleNeeded();

    HWND window = edit->Handle();
    wchar_t className[32];
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(className, L"Edit");
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageW(window, EM_GETLIMITTEXT, 0, 0), 12);
    EXPECT_EQ(edit->Text(), L"vorher");

    edit->SetReadOnly(false);
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & ES_READONLY);

    int changes = 0;
    edit->OnChange = [&](TComponent* sender) {
        EXPECT_EQ(sender, edit);
        ++changes;
    };
    SendMessageW(window, EM_SETSEL, 6, 6);
    SendMessageW(window, WM_CHAR, L'ß', 0);
    EXPECT_EQ(edit->Text(), L"vorherß");
    EXPECT_EQ(changes, 1) << "typing raises OnChange through the parent's reflection";

    edit->RecreateWnd();
    EXPECT_NE(edit->Handle(), nullptr);
    EXPECT_EQ(edit->Text(), L"vorherß") << "the typed text survives a new window";
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 12);
}

TEST(ComboBox, ItemsStayInStepWithTheControl)
{
    TForm form(nullptr);
    auto* combo = new TComboBox(&form);
    combo->SetParent(&form);
    combo->Items().Add(L"C:\\");
    combo->Items().Add(L"D:\\Daten");
    combo->SetItemIndex(1);
    combo->Items().Insert(0, L"A:\\");  // before the chosen item: the choice moves with it
    EXPECT_EQ(combo->ItemIndex(), 2);
    form.HandleNeeded();

    HWND window = combo->Handle();
    EXPECT_EQ(ComboWindowItems(window), (std::vector<std::wstring>{L"A:\\", L"C:\\", L"D:\\Daten"}));
    EXPECT_EQ(SendMessageW(window, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(combo->Text(), L"D:\\Daten");

    combo->Items().Delete(0);
    combo->Items().Put(0, L"E:\\");
    combo->Items().Add(L"F:\\");
    EXPECT_EQ(ComboWindowItems(window), (std::vector<std::wstring>{L"E:\\", L"D:\\Daten", L"F:\\"}));
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_THROW(combo->Items().Delete(3), EStringListError);

    // A typed text chooses no item.
    combo->SetText(L"G:\\neu");
    EXPECT_EQ(combo->Text(), L"G:\\neu");
    EXPECT_EQ(combo->ItemIndex(), -1);

    // Laid out at the top of the form, the box keeps room for its open list.
    combo->SetAlign(TAlign::alTop);
    RECT dropped{};
    SendMessageW(window, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GT(dropped.bottom - dropped.top, 100);
    EXPECT_LT(combo->Height(), 40) << "the closed box stays small";

    combo->Items().Clear();
    EXPECT_EQ(SendMessageW(window, CB_GETCOUNT, 0, 0), 0);
}

TEST(ComboBox, DropDownListChoosesByTextAndReportsSelection)
{
    TForm form(nullptr);
    auto* combo = new TComboBox(&form);
    combo->SetParent(&form);
    combo->Items().SetText(L"eins\r\nzwei\r\ndrei\r\n");
    form.HandleNeeded();
    combo->SetItemIndex(0);

    combo->SetStyle(TComboBoxStyle::csDropDownList);
    HWND window = combo->Handle();
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(ComboWindowItems(window).size(), 3u) << "a new window gets the items again";
    EXPECT_EQ(combo->ItemIndex(), 0) << "and the choice";

    combo->SetText(L"drei");
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->SetText(L"vier");
    EXPECT_EQ(combo->ItemIndex(), -1) << "a text no item has chooses none";
    EXPECT_EQ(combo->Text(), L"");

    int selects = 0, changes = 0;
    combo->OnSelect = [&](TComponent*) { ++selects; };
    combo->OnChange = [&](TComponent*) { ++changes; };
    combo->SetItemIndex(0);
    SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(changes, 0) << "OnChange stands in only when OnSelect is not set";
    combo->OnSelect = nullptr;
    SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(changes, 1);
}

TEST(ComboBox, ListFocusAndDialogKeyEventsOfAnEditableBox)
{
    TForm form(nullptr);
    form.SetBounds(40, 40, 300, 200);
    auto* before = new TEdit(&form);
    before->SetParent(&form);
    auto* combo = new TComboBox(&form);
    combo->SetParent(&form);
    combo->SetTop(40);
    combo->Items().SetText(L"eins\r\nzwei\r\n");
    std::vector<std::wstring> events;
    combo->OnDropDown = [&](TComponent*) { events.push_back(L"drop"); };
    combo->OnCloseUp = [&](TComponent*) { events.push_back(L"close"); };
    combo->OnEnter = [&](TComponent*) { events.push_back(L"enter"); };
    combo->OnExit = [&](TComponent*) { events.push_back(L"exit"); };
    form.Show();

    // A new choice shows its text in the edit field.
    combo->SetItemIndex(0);
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), L"zwei");
    EXPECT_EQ(combo->ItemIndex(), 1);

    combo->SetFocus();
    HWND edit = GetFocus();
    EXPECT_TRUE(IsChild(combo->Handle(), edit)) << "the box hands its focus to its edit field";
    EXPECT_EQ(events, (std::vector<std::wstring>{L"enter"})) << "one enter, no exit on the way";

    events.clear();
    SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(events, (std::vector<std::wstring>{L"drop", L"close"}));

    // Enter and Esc: offered by the form while the box has the focus.
    int enters = 0, escapes = 0;
    EXPECT_FALSE(form.DialogKey(VK_RETURN)) << "without events the key is not taken";
    combo->OnEnterKey = [&](TComponent*) { ++enters; };
    combo->OnEscapeKey = [&](TComponent*) { ++escapes; };
    EXPECT_TRUE(form.DialogKey(VK_RETURN));
    EXPECT_TRUE(form.DialogKey(VK_ESCAPE));
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(escapes, 1);

    events.clear();
    before->SetFocus();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"exit"}));
    EXPECT_FALSE(form.DialogKey(VK_RETURN)) << "not while another control has the focus";
    EXPECT_EQ(enters, 1);
}
