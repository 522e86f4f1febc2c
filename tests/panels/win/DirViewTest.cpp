#include "panels/win/DirView.h"

#include "TestDir.h"
#include "common/win/BaseUtilsWin.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "panels/win/DirViewSystemWin.h"
#include "win/MessagePump.h"

#include <shellapi.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

constexpr uint64_t kGiB = 1ull << 30;

uint64_t FileTimeOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    const SYSTEMTIME time{year, month, 0, day, hour, minute, second, 0};
    FILETIME file{};
    EXPECT_TRUE(SystemTimeToFileTime(&time, &file));
    return static_cast<uint64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime;
}

// A file of Size bytes (a hole where the file system allows one) with the
// given last-write time and attributes.
void MakeFile(const std::wstring& path, uint64_t size, uint64_t lastWrite, DWORD attr)
{
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    const FILETIME time{static_cast<DWORD>(lastWrite), static_cast<DWORD>(lastWrite >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
    EXPECT_TRUE(SetFileAttributesW(path.c_str(), attr));
}

struct Expected {
    const wchar_t* name;
    uint64_t size;
    uint64_t lastWrite;
    DWORD attr;
};

// A folder of known files on the test drive and a list on a form.
class DirViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Liste");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unterordner").c_str(), nullptr));
        for (const Expected& file : files)
            MakeFile(folder + L"\\" + file.name, file.size, file.lastWrite, file.attr);

        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        view = new TDirView(form.get());
        view->SetParent(form.get());
        view->SetAlign(TAlign::alClient);
        form->HandleNeeded();
    }
    void TearDown() override
    {
        form.reset();
        // The read-only file must be writable again to go with the folder.
        for (const Expected& file : files)
            SetFileAttributesW((folder + L"\\" + file.name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    HWND List() const { return view->Handle(); }
    int ControlCount() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring ControlText(int item, int column) const
    {
        wchar_t buffer[260] = L"";
        LVITEMW lv{};
        lv.iSubItem = column;
        lv.pszText = buffer;
        lv.cchTextMax = 260;
        SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        return buffer;
    }
    std::vector<int> ControlSelection() const
    {
        std::vector<int> selected;
        for (int i = -1;
             (i = static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;)
            selected.push_back(i);
        return selected;
    }
    int ControlFocus() const
    {
        return static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    }
    void SetControlState(int item, UINT state, UINT mask)
    {
        LVITEMW lv{};
        lv.state = state;
        lv.stateMask = mask;
        SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    }
    int IndexOf(const std::wstring& name) const { return view->IndexOf(view->FindFileItem(name)); }

    test::TestDir dir;
    std::wstring folder;
    const Expected files[5] = {
        {L"klein.txt", 1234, FileTimeOf(2019, 3, 4, 5, 6, 8), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
        {L"versteckt.dat", 10, FileTimeOf(2021, 12, 31, 23, 0, 0), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
        {L"drei.bin", 3 * kGiB, FileTimeOf(2020, 1, 1, 0, 0, 0), FILE_ATTRIBUTE_ARCHIVE},
        {L"fünf.bin", 5 * kGiB, FileTimeOf(2020, 1, 2, 0, 0, 0), FILE_ATTRIBUTE_ARCHIVE},
        {L"alt.txt", 7, FileTimeOf(1975, 6, 1, 12, 0, 0), FILE_ATTRIBUTE_ARCHIVE},
    };
    std::unique_ptr<TForm> form;
    TDirView* view = nullptr;
};

}  // namespace

TEST_F(DirViewTest, ListsTheFolderWithTheRightRecords)
{
    std::vector<std::wstring> events;
    view->OnStartLoading = [&](TComponent* sender) {
        EXPECT_EQ(sender, view);
        events.push_back(L"start");
    };
    view->OnDirUpdated = [&](TComponent*) { events.push_back(L"updated"); };
    view->OnLoaded = [&](TComponent*) { events.push_back(L"loaded"); };
    view->SetPath(folder + L"\\");
    EXPECT_EQ(events, (std::vector<std::wstring>{L"start", L"updated", L"loaded"}));
    ASSERT_TRUE(view->Loaded());
    EXPECT_EQ(view->Path(), folder);
    EXPECT_EQ(view->ItemCount(), 7);
    EXPECT_EQ(ControlCount(), 7) << "the control knows the count";

    EXPECT_TRUE(view->GetItemData(0)->IsParentDir);
    EXPECT_EQ(view->GetItemData(1)->FileName, L"Unterordner");
    EXPECT_TRUE(view->GetItemData(1)->IsDirectory);
    EXPECT_EQ(view->DirCount(), 1u);
    uint64_t total = 0;
    for (const Expected& file : files) {
        const TFileRec* rec = view->FindFileItem(file.name);
        ASSERT_NE(rec, nullptr) << WideToUtf8(file.name);
        EXPECT_EQ(rec->Size, file.size) << WideToUtf8(file.name);
        EXPECT_EQ(rec->LastWrite, file.lastWrite) << WideToUtf8(file.name);
        EXPECT_EQ(rec->Attr, file.attr) << WideToUtf8(file.name);
        total += file.size;
    }
    EXPECT_EQ(view->TotalSize(), total);

    const int klein = IndexOf(L"klein.txt");
    EXPECT_EQ(ControlText(klein, 0), L"klein.txt");
    EXPECT_EQ(ControlText(klein, 1), FormatSizeText(1234, false));
    EXPECT_FALSE(ControlText(klein, 2).empty()) << "the shell's type name";
    EXPECT_EQ(ControlText(klein, 3), view->FormatFileTime(files[0].lastWrite));
    EXPECT_EQ(ControlText(0, 0), L"..");
}

TEST_F(DirViewTest, FiltersTheRealFiles)
{
    view->Filter.SelHidden = TSelAttr::SelNo;
    view->Filter.SelFileSizeFrom = 1;
    view->Filter.SelFileSizeTo = 2147483646;
    view->Filter.SelFileTimeFrom = 1;  // 1.1.1980, 00:00:02
    view->SetPath(folder);
    std::vector<std::wstring> names;
    for (int i = 0; i < view->ItemCount(); ++i)
        names.push_back(view->GetItemData(i)->FileName);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"..", L"Unterordner", L"klein.txt"}));

    // A to-size of 2,147,483,647 bounds nothing: the large files pass; a
    // file of 1975 counts as 1.1.1980.
    view->Filter.SelFileSizeTo = 2147483647;
    view->Filter.SelFileTimeFrom = 0;
    view->ReloadDirectory();
    for (const wchar_t* name : {L"drei.bin", L"fünf.bin", L"alt.txt"})
        EXPECT_NE(view->FindFileItem(name), nullptr) << WideToUtf8(name);

    view->SetMask(L"*.TXT");
    EXPECT_EQ(view->FindFileItem(L"drei.bin"), nullptr) << "a new mask re-reads in place";
    EXPECT_NE(view->FindFileItem(L"klein.txt"), nullptr);
}

TEST_F(DirViewTest, SizeWindowsBeyondTwoGiBCompareTheRealSizes)
{
    view->Filter.SelFileSizeFrom = 3000000000;
    view->SetPath(folder);
    EXPECT_NE(view->FindFileItem(L"drei.bin"), nullptr);
    EXPECT_NE(view->FindFileItem(L"fünf.bin"), nullptr);
    EXPECT_EQ(view->FindFileItem(L"klein.txt"), nullptr);
    view->Filter.SelFileSizeTo = 4000000000;
    view->ReloadDirectory();
    EXPECT_NE(view->FindFileItem(L"drei.bin"), nullptr);
    EXPECT_EQ(view->FindFileItem(L"fünf.bin"), nullptr);
}

TEST(DirViewRecycleBin, ASystemFolderNamedRecyclerAtARootShowsTheShellsBinNotItsFiles)
{
    // At the test drive's root, under a name of this run's own.
    const std::wstring root = test::TestDir().Path().substr(0, 3);
    const std::wstring bin = root + L"RECYCLER" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(bin.c_str(), nullptr)) << GetLastError();
    MakeFile(bin + L"\\Dc1.txt", 10, FileTimeOf(2020, 1, 1, 12, 0, 0), FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(SetFileAttributesW(bin.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_NE(GetFileAttributesW(bin.c_str()) & FILE_ATTRIBUTE_SYSTEM, 0u);
    {
        TForm form(nullptr);
        auto* view = new TDirView(&form);
        view->SetParent(&form);
        view->SetWatchForChanges(false);
        form.HandleNeeded();
        view->SetPath(bin);
        EXPECT_TRUE(view->FullPathItems());
        // Wine's recycle bin names no path of the disk: nothing but "..".
        ASSERT_EQ(view->ItemCount(), 1);
        EXPECT_TRUE(view->GetItemData(0)->IsParentDir);
        EXPECT_EQ(view->FindFileItem(L"Dc1.txt"), nullptr);
    }
    SetFileAttributesW(bin.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    DeleteFileW((bin + L"\\Dc1.txt").c_str());
    RemoveDirectoryW(bin.c_str());
}

TEST_F(DirViewTest, SelectionFollowsTheControlAndSurvivesAReRead)
{
    view->SetPath(folder);
    SetControlState(-1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(view->SelCount(), view->EntryCount());
    EXPECT_EQ(view->SelectedSize(), view->TotalSize());
    const std::vector<int> all = ControlSelection();
    ASSERT_FALSE(all.empty());
    EXPECT_NE(all.front(), 0) << "\"..\" is never selected";

    SetControlState(-1, 0, LVIS_SELECTED);
    EXPECT_EQ(view->SelCount(), 0);
    EXPECT_EQ(view->SelectedSize(), 0u);

    SetControlState(IndexOf(L"klein.txt"), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetControlState(IndexOf(L"drei.bin"), LVIS_SELECTED, LVIS_SELECTED);
    SetControlState(0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(view->SelCount(), 2);
    EXPECT_EQ(view->SelectedSize(), 3 * kGiB + 1234);

    // A file that sorts first appears: the indices move, the selection stays.
    MakeFile(folder + L"\\aaa.txt", 1, files[0].lastWrite, FILE_ATTRIBUTE_ARCHIVE);
    view->ReloadDirectory();
    EXPECT_EQ(ControlCount(), 8);
    EXPECT_EQ(ControlSelection(), (std::vector<int>{IndexOf(L"drei.bin"), IndexOf(L"klein.txt")}));
    EXPECT_EQ(ControlFocus(), IndexOf(L"klein.txt"));
}

TEST_F(DirViewTest, GoingUpFocusesTheFolderLeftAndTypingFindsItems)
{
    view->SetPath(folder + L"\\Unterordner");
    EXPECT_EQ(view->ItemCount(), 1);
    view->SetPath(folder);
    EXPECT_EQ(ControlFocus(), IndexOf(L"Unterordner"));

    LVFINDINFOW find{};
    find.flags = LVFI_STRING | LVFI_PARTIAL;
    find.psz = L"KL";
    EXPECT_EQ(SendMessageW(List(), LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)),
              IndexOf(L"klein.txt"));
    find.flags = LVFI_STRING;
    EXPECT_EQ(SendMessageW(List(), LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), -1);
}

TEST_F(DirViewTest, IconsAndTypeNamesComeFromTheShellWhenShown)
{
    view->SetPath(folder);
    TFileRec& file = *view->FindFileItem(L"klein.txt");
    EXPECT_TRUE(file.IconEmpty);
    LVITEMW lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = IndexOf(L"klein.txt");
    ASSERT_TRUE(SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv)));
    EXPECT_FALSE(file.IconEmpty);
    EXPECT_FALSE(file.InfoEmpty);
    EXPECT_EQ(lv.iImage, file.ImageIndex);
    EXPECT_GE(file.ImageIndex, 0);
    EXPECT_FALSE(file.TypeName.empty());
}

// With the icon thread the display answers at once with the type name and
// the default icon; the item's own icon is the worker's, drawn when it comes.
TEST_F(DirViewTest, WithTheIconThreadTheIconComesFromTheWorker)
{
    view->SetUseIconUpdateThread(true);
    view->SetPath(folder);
    TFileRec& file = *view->FindFileItem(L"klein.txt");
    const auto shownImage = [&] {
        LVITEMW lv{};
        lv.mask = LVIF_IMAGE;
        lv.iItem = IndexOf(L"klein.txt");
        EXPECT_TRUE(SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv)));
        return lv.iImage;
    };
    const int first = shownImage();
    EXPECT_TRUE(file.IconEmpty) << "the display did not ask the shell itself";
    EXPECT_FALSE(file.InfoEmpty);
    EXPECT_FALSE(file.TypeName.empty());
    EXPECT_EQ(first, WinDirSystem().Icons().DefaultFileIcon);
    EXPECT_EQ(view->IconsPending(), 1u);
    shownImage();
    EXPECT_EQ(view->IconsPending(), 1u) << "asked once";

    ASSERT_TRUE(test::PumpUntil([&] { return !file.IconEmpty; }, std::chrono::seconds(10)));
    SHFILEINFOW info{};
    ASSERT_TRUE(SHGetFileInfoW((folder + L"\\klein.txt").c_str(), 0, &info, sizeof info,
                               SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME));
    EXPECT_EQ(file.ImageIndex, info.iIcon);
    EXPECT_EQ(file.TypeName, info.szTypeName);
    EXPECT_EQ(shownImage(), info.iIcon);
    EXPECT_EQ(view->IconsPending(), 0u);
}

// An answer for the items before a re-read is not taken by the new items.
TEST_F(DirViewTest, AnIconAnsweredForItemsReadAgainIsDropped)
{
    view->SetUseIconUpdateThread(true);
    view->SetPath(folder);
    const auto askImage = [&](const wchar_t* name) {
        LVITEMW lv{};
        lv.mask = LVIF_IMAGE;
        lv.iItem = IndexOf(name);
        SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
    };
    askImage(L"klein.txt");
    ASSERT_EQ(view->IconsPending(), 1u);
    view->LoadFromDisk(folder);
    EXPECT_EQ(view->IconsPending(), 0u);
    TFileRec& reread = *view->FindFileItem(L"klein.txt");
    ASSERT_TRUE(reread.IconEmpty);
    // The worker answers in turn: once the next question is answered, the
    // first one's answer has come too.
    askImage(L"alt.txt");
    TFileRec& other = *view->FindFileItem(L"alt.txt");
    ASSERT_TRUE(test::PumpUntil([&] { return !other.IconEmpty; }, std::chrono::seconds(10)));
    EXPECT_TRUE(reread.IconEmpty) << "not asked for since the re-read";
}

// The list's window made again while an icon was asked for: the answers
// reach the new window.
TEST_F(DirViewTest, IconsStillComeAfterTheWindowIsMadeAgain)
{
    view->SetUseIconUpdateThread(true);
    view->SetPath(folder);
    const auto askImage = [&] {
        LVITEMW lv{};
        lv.mask = LVIF_IMAGE;
        lv.iItem = IndexOf(L"klein.txt");
        SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
    };
    askImage();
    ASSERT_EQ(view->IconsPending(), 1u);
    view->RecreateWnd();
    askImage();
    TFileRec& file = *view->FindFileItem(L"klein.txt");
    EXPECT_TRUE(test::PumpUntil([&] { return !file.IconEmpty; }, std::chrono::seconds(10)));
}

TEST_F(DirViewTest, AMissingFolderReportsTheSystemError)
{
    uint32_t code = 0;
    view->OnError = [&](TComponent*, const std::wstring&, uint32_t error) { code = error; };
    view->SetPath(folder + L"\\gibt es nicht");
    EXPECT_EQ(code, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(view->Loaded());
    EXPECT_EQ(ControlCount(), 1);
}

TEST(DirViewSystemTest, DosTimesOfFileTimes)
{
    EXPECT_EQ(FileTimeToLocalDosDateTime(FileTimeOf(1975, 6, 1, 12, 0, 0)), 0u);
    EXPECT_EQ(FileTimeToLocalDosDateTime(0), 0u);
    const uint32_t packed = FileTimeToLocalDosDateTime(FileTimeOf(2020, 7, 15, 12, 0, 0));
    EXPECT_EQ(packed >> 25, 40u) << "the year 2020";
    EXPECT_EQ((packed >> 21) & 0xF, 7u);
}

// ---- Sorting, cells and columns -----------------------------------------------------

namespace {

std::wstring HeaderText(HWND header, int index, int* format = nullptr)
{
    wchar_t buffer[100] = L"";
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = buffer;
    item.cchTextMax = 100;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (format)
        *format = item.fmt;
    return buffer;
}

}  // namespace

TEST_F(DirViewTest, EveryColumnShowsItsText)
{
    view->SetAttrSpace(L"_");
    view->SetPath(folder);
    const std::wstring sep = LocaleThousandSeparator();
    struct Row {
        const wchar_t* Name;
        std::wstring Size;
        std::wstring Attr;
    };
    const Row rows[] = {
        {L"klein.txt", L"1" + sep + L"234", L"__a__r"},
        {L"versteckt.dat", L"10", L"__a_h_"},
        {L"fünf.bin", L"5" + sep + L"368" + sep + L"709" + sep + L"120", L"__a___"},
        {L"Unterordner", L"", L"______"},
    };
    for (const Row& row : rows) {
        const int index = IndexOf(row.Name);
        ASSERT_GE(index, 0) << WideToUtf8(row.Name);
        const TFileRec& rec = *view->GetItemData(index);
        EXPECT_EQ(ControlText(index, 0), row.Name);
        EXPECT_EQ(ControlText(index, 1), row.Size) << WideToUtf8(row.Name);
        EXPECT_EQ(ControlText(index, 2), rec.TypeName) << WideToUtf8(row.Name);
        EXPECT_FALSE(rec.TypeName.empty()) << WideToUtf8(row.Name);
        EXPECT_EQ(ControlText(index, 3), view->FormatFileTime(rec.LastWrite)) << WideToUtf8(row.Name);
        EXPECT_FALSE(ControlText(index, 3).empty()) << WideToUtf8(row.Name);
        EXPECT_EQ(ControlText(index, 4), row.Attr) << WideToUtf8(row.Name);
    }

    view->SetAbbreviatedSize(true);
    EXPECT_EQ(ControlText(IndexOf(L"klein.txt"), 1), L"1 KB");
    EXPECT_EQ(ControlText(IndexOf(L"fünf.bin"), 1), L"5" + sep + L"242" + sep + L"880 KB");
    view->SetSortByExtension(true);
    EXPECT_EQ(ControlText(IndexOf(L"klein.txt"), 2), L"TXT");
}

TEST_F(DirViewTest, SortsBySizeDescendingWithFoldersOnTop)
{
    view->SetPath(folder);
    view->SetDirsOnTop(true);
    view->SetSortColumn(1);
    view->SetSortAscending(false);
    std::vector<std::wstring> shown;
    for (int i = 0; i < ControlCount(); ++i)
        shown.push_back(ControlText(i, 0));
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"..", L"Unterordner", L"fünf.bin", L"drei.bin", L"klein.txt",
                                                L"versteckt.dat", L"alt.txt"}));
    // By date ascending the 1975 file comes first among the files.
    view->SetSortColumn(3);
    view->SetSortAscending(true);
    EXPECT_EQ(ControlText(2, 0), L"alt.txt");
}

TEST_F(DirViewTest, GermanHeaderNotesTheFilterAndMarksTheSortColumn)
{
    view->SetCaptionLanguage(kLangGerman);
    view->Filter.SelHidden = TSelAttr::SelNo;
    view->SetPath(folder);
    view->SetSortColumn(4);
    const HWND header = view->HeaderHandle();
    ASSERT_NE(header, nullptr);
    int format = 0;
    EXPECT_EQ(HeaderText(header, 0), L"Name");
    EXPECT_EQ(HeaderText(header, 1), L"Größe");
    EXPECT_EQ(HeaderText(header, 3), L"Geändert am");
    EXPECT_EQ(HeaderText(header, 4, &format), L"Attr (gefiltert)");
    EXPECT_NE(format & (HDF_SORTUP | HDF_SORTDOWN | HDF_BITMAP), 0) << "the sort mark";
    HeaderText(header, 0, &format);
    EXPECT_EQ(format & (HDF_SORTUP | HDF_SORTDOWN | HDF_BITMAP), 0);

    view->SetShowMaskInHeader(true);
    view->SetMask(L"*.txt");
    EXPECT_EQ(HeaderText(header, 0), L"Name (*.txt)");
    EXPECT_NE(HeaderText(header, 4, &format).find(L"gefiltert"), std::wstring::npos);
    EXPECT_NE(format & (HDF_SORTUP | HDF_SORTDOWN | HDF_BITMAP), 0) << "new captions keep the mark";
}

TEST_F(DirViewTest, SelectAllLeavesTheParentAndSumsTheFiles)
{
    view->SetPath(folder);
    SetControlState(-1, LVIS_SELECTED, LVIS_SELECTED);
    const std::vector<int> selected = ControlSelection();
    EXPECT_EQ(std::count(selected.begin(), selected.end(), 0), 0);
    uint64_t sum = 0;
    for (const Expected& file : files)
        sum += file.size;
    EXPECT_EQ(view->SelectedSize(), sum);
}

TEST_F(DirViewTest, ViewStylesSwitchTheControlsView)
{
    view->SetPath(folder);
    view->SetViewStyleEx(TViewStyleEx::vsxList);
    EXPECT_EQ(SendMessageW(List(), LVM_GETVIEW, 0, 0), LV_VIEW_LIST);
    view->SetViewStyleEx(TViewStyleEx::vsxTile);
    EXPECT_EQ(SendMessageW(List(), LVM_GETVIEW, 0, 0), view->Themed() ? LV_VIEW_TILE : LV_VIEW_ICON);
    view->SetViewStyleEx(TViewStyleEx::vsxReport);
    EXPECT_EQ(SendMessageW(List(), LVM_GETVIEW, 0, 0), LV_VIEW_DETAILS);
    EXPECT_EQ(ControlCount(), 7);
}

TEST_F(DirViewTest, InfoTipsSkipTheParentItemOnly)
{
    view->SetPath(folder);
    const int klein = IndexOf(L"klein.txt");
    EXPECT_EQ(view->InfoTipText(klein), L"") << "off by default";
    view->SetShowInfoTips(true);
    EXPECT_EQ(view->InfoTipText(0), L"");
    const std::wstring tip = view->InfoTipText(klein);
    EXPECT_FALSE(tip.empty());
    // The first item of a list without ".." gets its tip too.
    view->DeleteItem(0);
    ASSERT_FALSE(view->GetItemData(0)->IsParentDir);
    EXPECT_FALSE(view->InfoTipText(0).empty());
    // The tool tip pops up after a second and stays ten.
    const HWND tips = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(SendMessageW(tips, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 1000);
    EXPECT_EQ(SendMessageW(tips, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 10000);
}

TEST_F(DirViewTest, AssignFromTakesPathOrderAndOptions)
{
    view->SetPath(folder);
    view->SetSortColumn(1);
    view->SetSortAscending(false);
    view->SetAttrSpace(L"-");
    view->SetColWidth(2, 77);
    view->Filter.SelHidden = TSelAttr::SelNo;
    TDirView* other = new TDirView(form.get());
    other->SetParent(form.get());
    other->AssignFrom(*view);
    EXPECT_TRUE(other->Loaded());
    EXPECT_EQ(other->Path(), folder);
    EXPECT_EQ(other->SortColumn(), 1);
    EXPECT_FALSE(other->SortAscending());
    EXPECT_EQ(other->AttrSpace(), L"-");
    EXPECT_EQ(other->ColWidth(2), 77);
    EXPECT_EQ(other->FindFileItem(L"versteckt.dat"), nullptr) << "the filter came along";
    // Sorted by size descending: the largest file first, the folder last.
    EXPECT_EQ(other->GetItemData(1)->FileName, L"fünf.bin");
    EXPECT_EQ(other->GetItemData(other->ItemCount() - 1)->FileName, L"Unterordner");
}

namespace {

// Opens the drawing hook to the test.
class DrawnDirView : public TDirView {
public:
    using TDirView::TDirView;
    LRESULT ItemPrePaint(int index, COLORREF& text)
    {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
        draw.clrText = text;
        const LRESULT answer = CustomDraw(draw);
        text = draw.clrText;
        return answer;
    }
};

}  // namespace

TEST_F(DirViewTest, HiddenAndCompressedItemsTakeTheirColours)
{
    auto* drawn = new DrawnDirView(form.get());
    drawn->SetParent(form.get());
    drawn->SetPath(folder);
    drawn->SetHiddenColor(RGB(1, 2, 3));
    constexpr COLORREF normal = RGB(9, 9, 9);

    const int hidden = drawn->IndexOf(drawn->FindFileItem(L"versteckt.dat"));
    COLORREF text = normal;
    drawn->ItemPrePaint(hidden, text);
    EXPECT_EQ(text, RGB(1, 2, 3));

    // Compressed wins over hidden.
    drawn->GetItemData(hidden)->Attr |= FILE_ATTRIBUTE_COMPRESSED;
    text = normal;
    drawn->ItemPrePaint(hidden, text);
    EXPECT_EQ(text, drawn->CompressedColor());
    EXPECT_EQ(drawn->CompressedColor(), 0xFF0000u);

    text = normal;
    drawn->ItemPrePaint(drawn->IndexOf(drawn->FindFileItem(L"klein.txt")), text);
    EXPECT_EQ(text, normal);
    // ".." asks to draw its arrow after the item.
    text = normal;
    EXPECT_NE(drawn->ItemPrePaint(0, text) & CDRF_NOTIFYPOSTPAINT, 0);
}
