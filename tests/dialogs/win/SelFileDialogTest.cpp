// The select-files dialog on a real window: the fields go into its controls
// and back, OK refuses what the checks refuse and puts the focus where they
// say, an emptied size refills, "Standard" resets, "&>>" reads the named
// filters again, the pickers keep to the days a DOS date holds, and the
// mask box takes no character a mask may not hold.

#include "dialogs/win/SelFileDialog.h"

#include "framework/win/Buttons.h"
#include "framework/win/DateTimePicker.h"
#include "framework/win/StdCtrls.h"
#include "panels/KyListView.h"
#include "widgets/win/KySpin.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

class SelFileDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        filters = {{L"Alle Dateien", L"*.*"}, {L"Bilder", L"*.png;*.jpg"}, {L"Texte", L"*.txt"}};
        context.Filters = &filters;
        context.NormalizeMasks = [](const std::wstring& masks) { return NormalizeMask(masks); };
        context.Compression = TCompressionBits::Ntfs;
        context.Today = {2026, 12, 11};
        dialog = std::make_unique<TSelFileDialog>(nullptr, context);
        dialog->ReportError = [this](const std::wstring& text) { errors.push_back(text); };
    }
    // Shown without its modal loop: OK's checks run on the live controls.
    void Show(const TSelFileFields& fields)
    {
        dialog->SetFields(fields);
        dialog->Show();
    }
    HWND FocusedWindow() const { return GetFocus(); }

    std::vector<TFilterRec> filters;
    TSelFileContext context;
    std::unique_ptr<TSelFileDialog> dialog;
    std::vector<std::wstring> errors;
};

TEST_F(SelFileDialogTest, TheFieldsGoIntoTheControlsAndComeBack)
{
    TSelFileFields fields;
    fields.FilterNames = {L"Alle Dateien", L"Bilder", L"Texte"};
    fields.StdFilterIndex = 2;
    fields.ReadOnly = TTriState::Checked;
    fields.Hidden = TTriState::Unchecked;
    fields.SysFile = TTriState::Grayed;
    fields.Archive = TTriState::Checked;
    fields.Compressed = TTriState::Unchecked;
    fields.Encrypted = TTriState::Checked;
    fields.CompressionEnabled = true;
    fields.DateFromTo = false;
    fields.DaysCount = 14;
    fields.FromSize = L"3000000000";
    fields.ToSize = L"5000000000";
    fields.BothWindows = true;
    fields.BothWindowsEnabled = true;
    fields.ManualHistory = {L"*.log", L"*.bak"};
    Show(fields);

    EXPECT_EQ(dialog->StdFileFilter->Text(), L"Texte");
    EXPECT_EQ(dialog->chkReadOnly->State(), TCheckBoxState::cbChecked);
    EXPECT_EQ(dialog->chkHidden->State(), TCheckBoxState::cbUnchecked);
    EXPECT_EQ(dialog->chkSysFile->State(), TCheckBoxState::cbGrayed);
    EXPECT_EQ(SendMessageW(dialog->chkSysFile->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_TRUE(dialog->rbSelDateSince->Checked());
    EXPECT_EQ(dialog->StdFileFilter->Hint(), L"*.txt");  // the chosen filter's masks
    const TSelFileFields back = dialog->Fields();
    EXPECT_EQ(back.StdFilterIndex, 2);
    EXPECT_FALSE(back.ManualChosen);
    EXPECT_EQ(back.ReadOnly, TTriState::Checked);
    EXPECT_EQ(back.Hidden, TTriState::Unchecked);
    EXPECT_EQ(back.SysFile, TTriState::Grayed);
    EXPECT_EQ(back.Archive, TTriState::Checked);
    EXPECT_EQ(back.Encrypted, TTriState::Checked);
    EXPECT_EQ(back.Compressed, TTriState::Unchecked);
    EXPECT_FALSE(back.DateFromTo);
    EXPECT_EQ(back.DaysCount, 14);
    EXPECT_EQ(back.FromSize, L"3000000000");
    EXPECT_EQ(back.ToSize, L"5000000000");
    EXPECT_TRUE(back.BothWindows);
    EXPECT_EQ(back.ManualHistory, (std::vector<std::wstring>{L"*.log", L"*.bak"}));

    // A click on a three-state box steps through the three states, and
    // checking compressed unchecks encrypted.
    SendMessageW(dialog->chkCompressed->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog->chkCompressed->State(), TCheckBoxState::cbChecked);
    EXPECT_EQ(dialog->chkEncrypted->State(), TCheckBoxState::cbUnchecked);
    SendMessageW(dialog->chkCompressed->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog->chkCompressed->State(), TCheckBoxState::cbGrayed);
}

TEST_F(SelFileDialogTest, OkRefusesWhatTheChecksRefuseWithTheFocusWhereTheySay)
{
    // ctest: takes the focus. OK puts it on the field at fault.
    struct Case {
        const char* what;
        std::wstring from, to;
        bool fromTo;
        TPickerDate dateFrom, dateTo;
        std::wstring message;  // empty: accepted
        bool focusOnFromSize;
    };
    const std::wstring sizes = L"\"Von Dateigröße\" ist größer als \"bis Dateigröße\".";
    const std::wstring numeric = L"Ungültiges numerisches Format.";
    const std::wstring dates = L"\"Von Änderungsdatum\" ist größer als \"bis Änderungsdatum\".";
    const Case cases[] = {
        {"from 500 to 100", L"500", L"100", true, {1980, 1, 1}, {2099, 12, 31}, sizes, true},
        {"20 digits", L"0", L"12345678901234567890", true, {1980, 1, 1}, {2099, 12, 31}, numeric, true},
        {"19 digits pass", L"0", L"1234567890123456789", true, {1980, 1, 1}, {2099, 12, 31}, L"", false},
        {"an emptied to refills", L"10", L"", true, {1980, 1, 1}, {2099, 12, 31}, L"", false},
        {"inverted dates", L"0", L"999999999", true, {2020, 5, 1}, {2020, 4, 1}, dates, false},
        {"inverted dates not checked for days back", L"0", L"999999999", false, {2020, 5, 1}, {2020, 4, 1}, L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        errors.clear();
        TSelFileFields fields;
        fields.FromSize = c.from;
        fields.DateFromTo = c.fromTo;
        fields.DateFrom = c.dateFrom;
        fields.DateTo = c.dateTo;
        Show(fields);
        dialog->ToSize->SetText(c.to);  // past the field's own limit, as a paste would be
        dialog->btnOk->SetFocus();
        dialog->OkClicked();
        if (c.message.empty()) {
            EXPECT_TRUE(errors.empty());
            EXPECT_TRUE(dialog->Accepted());
        } else {
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0], c.message);
            EXPECT_FALSE(dialog->Accepted());
            EXPECT_EQ(FocusedWindow(), (c.focusOnFromSize ? static_cast<TWinControl*>(dialog->FromSize)
                                                          : static_cast<TWinControl*>(dialog->DateFrom))
                                           ->Handle());
        }
    }
    EXPECT_EQ(dialog->ToSize->Text(), L"999999999");  // refilled by the case before the dates
}

TEST_F(SelFileDialogTest, AnEmptiedSizeFieldRefillsWhenLeft)
{
    // ctest: takes the focus. Leaving a field is a focus change.
    Show(TSelFileFields{});
    dialog->ToSize->SetFocus();
    dialog->ToSize->SetText(L"");
    dialog->FromSize->SetFocus();
    EXPECT_EQ(dialog->ToSize->Text(), L"999999999");
    dialog->FromSize->SetText(L"");
    dialog->ToSize->SetFocus();
    EXPECT_EQ(dialog->FromSize->Text(), L"0");
    // The size fields take digits only, 19 at most.
    EXPECT_NE(GetWindowLongW(dialog->FromSize->Handle(), GWL_STYLE) & ES_NUMBER, 0);
    EXPECT_EQ(SendMessageW(dialog->ToSize->Handle(), EM_GETLIMITTEXT, 0, 0), 19);
}

TEST_F(SelFileDialogTest, StandardResetsAndTheFilterButtonReadsTheNamesAgain)
{
    TSelFileFields fields;
    fields.ManualChosen = true;
    fields.ManualText = L"*.log";
    fields.ReadOnly = TTriState::Checked;
    fields.Compressed = TTriState::Checked;
    fields.CompressionEnabled = true;
    fields.FromSize = L"5";
    fields.ToSize = L"10";
    fields.DateFromTo = false;
    Show(fields);
    dialog->ResetClicked();
    const TSelFileFields reset = dialog->Fields();
    EXPECT_FALSE(reset.ManualChosen);
    EXPECT_EQ(reset.StdFilterIndex, 0);
    EXPECT_EQ(reset.ReadOnly, TTriState::Grayed);
    EXPECT_EQ(reset.Compressed, TTriState::Grayed);
    EXPECT_EQ(reset.FromSize, L"0");
    EXPECT_EQ(reset.ToSize, L"999999999");
    EXPECT_TRUE(reset.DateFromTo);
    EXPECT_EQ(reset.DateFrom, (TPickerDate{1980, 1, 1}));
    EXPECT_EQ(reset.DateTo, (TPickerDate{2099, 12, 31}));

    // "&>>": the list changes behind it; the chosen name stays chosen.
    dialog->StdFileFilter->SetItemIndex(2);  // Texte
    int edits = 0;
    dialog->EditNamedFilters = [&] {
        ++edits;
        filters = {{L"Alle Dateien", L"*.*"}, {L"Neu", L"*.neu"}, {L"Bilder", L"*.png"}, {L"Texte", L"*.txt"}};
    };
    dialog->EditStdFilterClicked();
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(dialog->StdFileFilter->Items().Count(), 4);
    EXPECT_EQ(dialog->StdFileFilter->Text(), L"Texte");
    // A name that went away leaves the first entry chosen.
    dialog->EditNamedFilters = [&] { filters = {{L"Alle Dateien", L"*.*"}}; };
    dialog->EditStdFilterClicked();
    EXPECT_EQ(dialog->StdFileFilter->ItemIndex(), 0);
}

TEST_F(SelFileDialogTest, ThePickersKeepToTheDaysADosDateHolds)
{
    Show(TSelFileFields{});
    dialog->DateFrom->SetDate({1975, 6, 1});
    EXPECT_EQ(dialog->DateFrom->Date(), (TCalendarDay{1980, 1, 1}));
    dialog->DateTo->SetDate({2150, 1, 1});
    EXPECT_EQ(dialog->DateTo->Date(), (TCalendarDay{2107, 12, 31}));
    // The control itself refuses a day outside its range.
    SYSTEMTIME range[2]{};
    const DWORD limits =
        static_cast<DWORD>(SendMessageW(dialog->DateFrom->Handle(), DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
    EXPECT_EQ(limits, static_cast<DWORD>(GDTR_MIN | GDTR_MAX));
    EXPECT_EQ(range[0].wYear, 1980);
    EXPECT_EQ(range[1].wYear, 2107);
}

TEST_F(SelFileDialogTest, TheMaskBoxRefusesCharactersNoMaskHolds)
{
    Show(TSelFileFields{});
    EXPECT_TRUE(dialog->rbStdFileFilter->Checked());
    const HWND edit = GetWindow(dialog->edManFilter->Handle(), GW_CHILD);
    ASSERT_NE(edit, nullptr);
    for (const wchar_t c : std::wstring(L"*.t:x|t"))
        SendMessageW(edit, WM_CHAR, c, 0);
    EXPECT_EQ(dialog->edManFilter->Text(), L"*.txt");
    // Typing in the manual box chooses it.
    EXPECT_TRUE(dialog->rbManFilter->Checked());
    const TSelFileFields fields = dialog->Fields();
    EXPECT_TRUE(fields.ManualChosen);
    EXPECT_EQ(fields.ManualText, L"*.txt");
}

TEST_F(SelFileDialogTest, WithoutAttributesTheBoxesAndBothWindowsAreHidden)
{
    Show(TSelFileFields{});
    dialog->SetShowAttributes(false);
    EXPECT_FALSE(IsWindowVisible(dialog->grpAttributes->Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog->chkBothFileWin->Handle()));
    EXPECT_TRUE(IsWindowVisible(dialog->FromSize->Handle()));
}

}  // namespace
