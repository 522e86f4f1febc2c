// The filter commands over two real file lists on a form, with the window's
// side faked: selection by filter with sizes beyond 2 GiB (sparse files),
// deselection, both windows, the lists' filter (F8) with its box and menu,
// the stored [CurrentFilter] state taken and applied again, and the archive
// filter's dialog without attributes.

#include "mainwindow/win/FilterCommands.h"

#include "TestDir.h"
#include "archives/win/KyZipLV.h"
#include "dialogs/win/SelFileDialog.h"
#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/StdCtrls.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

constexpr uint64_t kGiB = 1ull << 30;

class FakeFilterHost : public TFilterCommandsHost {
public:
    // The window's panes; the second file window is shown while its panel is.
    TMainPanes panes;
    TDirView*& first = panes.LV1;
    TDirView*& second = panes.LV2;
    TDirView*& active = panes.ActiveList;
    TKyZipLV*& zip = panes.ZipLV;
    bool zipFocused = false;
    TOptions options;
    TStringList history;
    // What the user does in the dialog; empty: Cancel.
    std::function<void(TSelFileDialog&)> answer;
    std::vector<std::wstring> captions;
    std::vector<std::wstring> errors;  // what OK refused
    bool attributesShown = true;
    int namedFilterEdits = 0;
    int titleUpdates = 0;
    int selectionUpdates = 0;
    TDirView* focused = nullptr;

    TOptions& FilterOptions() override { return options; }
    TStringList& MaskHistory() override { return history; }
    bool ArchiveListFocused() override { return zipFocused; }
    std::wstring TreeFolder() override { return active ? active->GetPath() : std::wstring(); }
    TCompressionBits CompressionBitsOf(const std::wstring&) override { return TCompressionBits::NotNtfs; }
    TPickerDate Today() override { return {2026, 12, 11}; }
    bool RunFilterDialog(TSelFileDialog& dialog) override
    {
        captions.push_back(dialog.Caption());
        attributesShown = dialog.grpAttributes->Visible();
        if (!answer)
            return false;
        dialog.ReportError = [this](const std::wstring& text) { errors.push_back(text); };
        dialog.Show();
        answer(dialog);
        dialog.OkClicked();
        return dialog.Accepted();
    }
    void EditNamedFilters() override { ++namedFilterEdits; }
    void FilterApplied() override { ++titleUpdates; }
    void SelectionChanged() override { ++selectionUpdates; }
    void FocusList(TDirView* list) override { focused = list; }
};

class FilterCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        a = dir.File(L"Erstes");
        b = dir.File(L"Zweites");
        ASSERT_TRUE(CreateDirectoryW(a.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(b.c_str(), nullptr));
        for (const std::wstring& folder : {a, b}) {
            Sparse(folder + L"\\drei.iso", 3 * kGiB);
            Sparse(folder + L"\\fuenf.iso", 5 * kGiB);
            Sparse(folder + L"\\klein.txt", 10);
            ASSERT_TRUE(CreateDirectoryW((folder + L"\\x.txt").c_str(), nullptr));
        }
        host.options.FilterList = {{L"Alle Dateien", L"*.*"}, {L"Abbilder", L"*.iso"}};
        host.options.UseColor = true;
        host.options.SelDirs = false;
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 700, 560);
        host.first = MakeList(30);
        host.second = MakeList(290);
        box = new TComboBox(form.get());
        box->SetParent(form.get());
        box->SetBounds(0, 0, 200, 24);
        form->Show();
        host.first->SetPath(a);
        host.second->SetPath(b);
        ASSERT_TRUE(host.first->Loaded() && host.second->Loaded());
        host.active = host.first;
        host.panes.FilePanel2 = new TPanel(form.get());
        host.panes.FilePanel2->SetParent(form.get());
        commands = std::make_unique<TFilterCommands>(host.panes, host, box);
    }
    TDirView* MakeList(int top)
    {
        auto* list = new TDirView(form.get());
        list->SetParent(form.get());
        list->SetBounds(0, top, 700, 250);
        list->SetWatchForChanges(false);
        return list;
    }
    static void Sparse(const std::wstring& path, uint64_t size)
    {
        TFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD returned = 0;
        // A file system without sparse files still takes the size.
        (void)DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.Get()));
    }
    static std::vector<std::wstring> Selected(TDirView* list)
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < list->ItemCount(); ++i)
            if (list->GetItemData(i)->Selected)
                names.push_back(list->GetItemData(i)->FileName);
        std::sort(names.begin(), names.end());
        return names;
    }
    static int ControlSelectedCount(TDirView* list)
    {
        return static_cast<int>(SendMessageW(list->Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
    }
    static std::vector<std::wstring> Shown(TDirView* list)
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < list->ItemCount(); ++i)
            if (!list->GetItemData(i)->IsParentDir)
                names.push_back(list->GetItemData(i)->FileName);
        std::sort(names.begin(), names.end());
        return names;
    }
    // The dialog answered with a size window, masks and "both windows".
    void Answer(const std::wstring& from, const std::wstring& to, const std::wstring& masks = L"*.*", bool both = false)
    {
        host.answer = [=](TSelFileDialog& d) {
            d.rbManFilter->SetChecked(true);
            d.edManFilter->SetText(masks);
            d.FromSize->SetText(from);
            d.ToSize->SetText(to);
            d.chkBothFileWin->SetChecked(both);
        };
    }

    test::TestDir dir;
    std::wstring a, b;
    std::unique_ptr<TForm> form;
    TComboBox* box = nullptr;
    FakeFilterHost host;
    std::unique_ptr<TFilterCommands> commands;
};

TEST_F(FilterCommandsTest, SizesBeyondTwoGiBSelectByTheirRealSize)
{
    Answer(L"3000000000", L"999999999");
    commands->SelectSeveralExecute(true);
    EXPECT_EQ(host.captions.back(), L"Dateien markieren:");
    EXPECT_EQ(Selected(host.first), (std::vector<std::wstring>{L"drei.iso", L"fuenf.iso"}));
    EXPECT_EQ(ControlSelectedCount(host.first), 2);
    EXPECT_EQ(host.focused, host.first);
    EXPECT_EQ(host.selectionUpdates, 1);

    // Selecting again starts from an empty selection.
    Answer(L"3000000000", L"4000000000");
    commands->SelectSeveralExecute(true);
    EXPECT_EQ(Selected(host.first), (std::vector<std::wstring>{L"drei.iso"}));
    EXPECT_EQ(ControlSelectedCount(host.first), 1);
    EXPECT_TRUE(Selected(host.second).empty());  // "both windows" was off
}

TEST_F(FilterCommandsTest, DeselectingAndBothWindows)
{
    Answer(L"0", L"999999999", L"*.*", true);
    commands->SelectSeveralExecute(true);
    // Folders (even "x.txt") and ".." are never selected without SelDirs.
    const std::vector<std::wstring> files{L"drei.iso", L"fuenf.iso", L"klein.txt"};
    EXPECT_EQ(Selected(host.first), files);
    EXPECT_EQ(Selected(host.second), files);
    EXPECT_EQ(ControlSelectedCount(host.second), 3);
    EXPECT_TRUE(host.options.SelBothFileWin);

    Answer(L"3000000000", L"999999999", L"*.*", true);
    commands->SelectSeveralExecute(false);
    EXPECT_EQ(host.captions.back(), L"Dateien entmarkieren:");
    EXPECT_EQ(Selected(host.first), (std::vector<std::wstring>{L"klein.txt"}));
    EXPECT_EQ(Selected(host.second), (std::vector<std::wstring>{L"klein.txt"}));
    EXPECT_EQ(ControlSelectedCount(host.first), 1);
    EXPECT_EQ(ControlSelectedCount(host.second), 1);

    // With directories, "*.txt" takes the folder "x.txt", never "..".
    host.options.SelDirs = true;
    Answer(L"0", L"999999999", L"*.txt", false);
    commands->SelectSeveralExecute(true);
    EXPECT_EQ(Selected(host.first), (std::vector<std::wstring>{L"klein.txt", L"x.txt"}));
    host.options.SelDirs = false;
    Answer(L"0", L"999999999", L"*.*", false);
    commands->SelectSeveralExecute(true);
    EXPECT_EQ(Selected(host.first), files);

    // Cancel changes nothing.
    host.answer = nullptr;
    commands->SelectSeveralExecute(false);
    EXPECT_EQ(Selected(host.first), files);
}

TEST_F(FilterCommandsTest, TheListFilterIsShownStoredAndAppliedAgain)
{
    EXPECT_EQ(box->Color(), clWindow);
    Answer(L"0", L"4000000000", L"abbilder");  // a filter's name stands for its masks
    commands->EditFilterExecute();
    EXPECT_EQ(host.captions.back(), L"Dateifilter bearbeiten:");
    EXPECT_EQ(host.first->Mask(), L"*.iso");
    EXPECT_EQ(Shown(host.first), (std::vector<std::wstring>{L"drei.iso", L"x.txt"}));
    EXPECT_EQ(Shown(host.second), (std::vector<std::wstring>{L"drei.iso", L"fuenf.iso", L"klein.txt", L"x.txt"}));
    EXPECT_GE(host.titleUpdates, 1);
    // The box lists the named masks and the typed ones (the name typed in
    // the manual box is kept by its masks), shows the active mask, and is
    // yellow.
    ASSERT_EQ(box->Items().Count(), 3);
    EXPECT_EQ(box->Items().Get(1), L"*.iso");
    EXPECT_EQ(host.history.Get(0), L"*.iso");
    EXPECT_EQ(box->Text(), L"*.iso");
    EXPECT_EQ(box->Color(), 0x00FFFF);
    // The menu checks the active list's filter.
    const std::vector<TFilterMenuItem> menu = commands->FilterMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_FALSE(menu[0].Checked);
    EXPECT_TRUE(menu[1].Checked);

    // At exit the state is taken; a new run applies it to fresh lists.
    TListFilterState first, second;
    commands->CaptureFilters(first, second);
    EXPECT_EQ(first.Mask, L"*.iso");
    EXPECT_EQ(first.SizeTo, 4000000000);
    EXPECT_EQ(second.SizeTo, 2147483647);
    host.first->Filter = TLoadFilter{};
    host.first->SetMask(L"*.*");
    auto restarted = std::make_unique<TFilterCommands>(host.panes, host, box);
    restarted->ApplyStoredFilters(first, second);
    EXPECT_EQ(Shown(host.first), (std::vector<std::wstring>{L"drei.iso", L"x.txt"}));
    EXPECT_EQ(box->Color(), 0x00FFFF);

    // The menu's first entry shows every file again; the box turns white.
    commands->FilterMenuClick(0);
    host.first->Filter = TLoadFilter{};
    host.first->RefreshDirectory();
    commands->UpdateFilterBoxColor();
    EXPECT_EQ(host.first->Mask(), L"*.*");
    EXPECT_EQ(box->Color(), clWindow);
}

TEST_F(FilterCommandsTest, TypedMasksInTheBoxApplyToTheActiveList)
{
    host.options.SelBothFileWin = true;
    commands->ApplyTypedMask(L"*.TXT, *.iso");
    EXPECT_EQ(host.first->Mask(), L"*.txt;*.iso");
    EXPECT_EQ(host.second->Mask(), L"*.txt;*.iso");
    EXPECT_EQ(box->Items().Get(0), L"*.txt;*.iso");
    // The same text again changes nothing; another one does.
    const int updates = host.titleUpdates;
    commands->FilterBoxChosen(L"*.txt;*.iso");
    EXPECT_EQ(host.titleUpdates, updates);
    commands->FilterBoxChosen(L"Alle Dateien");
    EXPECT_EQ(host.first->Mask(), L"*.*");
}

TEST_F(FilterCommandsTest, TheArchiveFilterHasNoAttributes)
{
    auto* zip = new TKyZipLV(form.get());
    zip->SetParent(form.get());
    host.zip = zip;
    host.zipFocused = true;
    Answer(L"3000000000", L"4000000000", L"*.iso");
    commands->EditFilterExecute();  // F8 with the archive list focused
    EXPECT_EQ(host.captions.back(), L"Archivfilter bearbeiten:");
    EXPECT_FALSE(host.attributesShown);
    EXPECT_EQ(zip->Mask(), L"*.iso");
    EXPECT_EQ(zip->SelFileSizeFrom, 3000000000u);
    EXPECT_EQ(zip->SelFileSizeTo, 4000000000u);
    EXPECT_EQ(host.first->Mask(), L"*.*");  // the file list keeps its filter
}

TEST(QueryCompressionBits, TheDriveAnswersInAnyLetterCaseAndAFailedQueryIsSaid)
{
    const std::wstring folder = test::TestDir().Path();
    const TCompressionBits upper = QueryCompressionBits(UpperCase(folder));
    EXPECT_NE(upper, TCompressionBits::QueryFailed);
    EXPECT_EQ(QueryCompressionBits(LowerCase(folder)), upper);
    // No drive behind it, or no path at all: the boxes' choices stay as they are.
    EXPECT_EQ(QueryCompressionBits(L"relativ\\ordner"), TCompressionBits::QueryFailed);
    EXPECT_EQ(QueryCompressionBits(L"\\\\nirgends.invalid\\freigabe\\x"), TCompressionBits::QueryFailed);
}

}  // namespace
