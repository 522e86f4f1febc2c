#include "panels/win/KyListView.h"

#include "TestDir.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/ImgList.h"
#include "panels/win/ShellValues.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// A sortable list that only counts its sorts.
class CountingListView : public TKyListView {
public:
    explicit CountingListView(TComponent* owner) : TKyListView(owner)
    {
        SetViewStyle(TViewStyle::vsReport);
        AddColumn(L"Name", 120);
        AddColumn(L"Größe", 80, TAlignment::taRightJustify);
        AddColumn(L"Typ", 100);
    }
    int sorts = 0;

protected:
    void SortItems() override { ++sorts; }
};

// Windows made while it lives come from common controls 6, as in the
// program, whose manifest asks for them; the test programs have none.
class CommonControls6 {
public:
    CommonControls6()
    {
        const std::wstring manifest =
            dir_.Write(L"cc6.manifest", R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Quorvan.Tests" version="1.0.0.0" processorArchitecture="amd64"/>
  <dependency><dependentAssembly>
    <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                      processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
  </dependentAssembly></dependency>
</assembly>)");
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.lpSource = manifest.c_str();
        context_ = CreateActCtxW(&context);
        if (context_ != INVALID_HANDLE_VALUE && ActivateActCtx(context_, &cookie_)) {
            // The classes of version 6 are registered by its own module.
            module_ = LoadLibraryW(L"comctl32.dll");
            INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
            InitCommonControlsEx(&init);
        }
    }
    ~CommonControls6()
    {
        if (cookie_)
            DeactivateActCtx(0, cookie_);
        if (context_ != INVALID_HANDLE_VALUE)
            ReleaseActCtx(context_);
    }
    bool Active() const { return cookie_ != 0; }

private:
    test::TestDir dir_;
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
    HMODULE module_ = nullptr;  // stays loaded: windows of its classes may outlive this
};

class KyListViewTest : public ::testing::Test {
protected:
    // Shown only where a test needs paints: showing costs seconds under Wine.
    void MakeList(bool show = false)
    {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 300);
        list = new CountingListView(form.get());
        list->SetParent(form.get());
        list->SetAlign(TAlign::alClient);
        for (const wchar_t* name : {L"b.txt", L"a.txt", L"c.txt"})
            list->AddItem(name, {L"1", L"Text"});
        if (show)
            form->Show();
        form->HandleNeeded();
        header = list->HeaderHandle();
    }

    // A click on a column's header as the mouse makes it.
    void ClickHeader(int column)
    {
        RECT r{};
        SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(header, WM_LBUTTONUP, 0, at);
        Application->ProcessMessages();
    }

    int Format(int column) const { return TListHeader(header).Format(column); }
    HBITMAP Bitmap(int column) const { return TListHeader(header).Bitmap(column); }

    std::unique_ptr<TForm> form;
    CountingListView* list = nullptr;
    HWND header = nullptr;
};

constexpr int kMarkBits = HDF_SORTUP | HDF_SORTDOWN | HDF_BITMAP | HDF_BITMAP_ON_RIGHT;

}  // namespace

TEST_F(KyListViewTest, ThemedHeaderShowsTheSortArrowOfTheClickedColumn)
{
    CommonControls6 v6;
    ASSERT_TRUE(v6.Active());
    MakeList();
    ASSERT_TRUE(list->Themed());

    ClickHeader(1);
    EXPECT_EQ(list->sorts, 1) << "one click sorts exactly once";
    EXPECT_EQ(list->SortColumn(), 1);
    EXPECT_TRUE(list->SortAscending()) << "another column keeps the direction";
    EXPECT_EQ(Format(1) & kMarkBits, HDF_SORTUP);
    EXPECT_EQ(Format(0) & kMarkBits, 0);
    EXPECT_EQ(Format(2) & kMarkBits, 0);

    ClickHeader(1);
    EXPECT_EQ(list->sorts, 2);
    EXPECT_FALSE(list->SortAscending());
    EXPECT_EQ(Format(1) & kMarkBits, HDF_SORTDOWN);
    EXPECT_EQ(Format(0) & kMarkBits, 0);
    EXPECT_EQ(Format(2) & kMarkBits, 0);

    ClickHeader(2);
    EXPECT_EQ(list->sorts, 3);
    EXPECT_EQ(Format(2) & kMarkBits, HDF_SORTDOWN);
    EXPECT_EQ(Format(1) & kMarkBits, 0) << "the old sort column is cleared";
    EXPECT_EQ(Format(1) & HDF_JUSTIFYMASK, HDF_RIGHT) << "the alignment stays";

    list->SetShowColumnIcon(false);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Format(i) & kMarkBits, 0) << "column " << i;
    form.reset();
}

TEST_F(KyListViewTest, UnthemedHeaderShowsAMarkBitmapBesideTheCaption)
{
    MakeList();
    ASSERT_FALSE(list->Themed()) << "a test program without manifest gets common controls 5";

    list->SetSortColumn(0);  // unchanged: no sort, but the marks are applied
    EXPECT_EQ(list->sorts, 0);
    EXPECT_EQ(Format(0) & kMarkBits, HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
    const HBITMAP ascending = Bitmap(0);
    ASSERT_NE(ascending, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(ascending, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(info.bmHeight, 8);

    ClickHeader(1);
    EXPECT_EQ(list->sorts, 1);
    EXPECT_EQ(Format(1) & kMarkBits, HDF_BITMAP) << "a right-aligned column keeps the mark on the left";
    EXPECT_EQ(Format(0) & kMarkBits, 0);
    ClickHeader(1);
    EXPECT_EQ(Format(1) & kMarkBits, HDF_BITMAP);
    EXPECT_NE(Bitmap(1), ascending) << "descending has its own mark";
    EXPECT_FALSE(list->SortAscending());
}

TEST_F(KyListViewTest, MarkBitmapsOutliveAnotherList)
{
    MakeList();
    auto* second = new CountingListView(form.get());
    second->SetParent(form.get());
    second->SetAlign(TAlign::alBottom);
    list->UpdateSortMarks();
    second->UpdateSortMarks();
    const HBITMAP mark = TListHeader(second->HeaderHandle()).Bitmap(0);
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(Bitmap(0), mark) << "one pair serves every list";

    delete list;
    list = nullptr;
    BITMAP info{};
    EXPECT_EQ(GetObjectW(mark, sizeof info, &info), static_cast<int>(sizeof info))
        << "the bitmap the other header shows is still there";
    EXPECT_EQ(TListHeader(second->HeaderHandle()).Bitmap(0), mark);
}

TEST_F(KyListViewTest, SortPropertiesSortOnlyWhenChanged)
{
    MakeList();
    list->SetSortColumn(2);
    list->SetSortAscending(false);
    EXPECT_EQ(list->sorts, 2);
    list->SetSortColumn(2);
    list->SetSortAscending(false);
    EXPECT_EQ(list->sorts, 2);

    list->ClearItems();
    list->SetSortColumn(1);
    EXPECT_EQ(list->sorts, 2) << "nothing to sort without items";
    EXPECT_EQ(Format(1) & kMarkBits, HDF_BITMAP) << "the mark follows all the same";
}

TEST_F(KyListViewTest, SystemImageListSurvivesTheList)
{
    SHFILEINFOW info{};
    const auto system =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                                                    SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    ASSERT_NE(system, nullptr);
    const int count = ImageList_GetImageCount(system);
    ASSERT_GT(count, 0);

    MakeList();
    HWND window = list->Handle();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(window, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), system);
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & LVS_SHAREIMAGELISTS);
    ASSERT_NE(list->SysSmallImages(), nullptr);
    EXPECT_TRUE(list->SysSmallImages()->Shared());
    form.reset();
    list = nullptr;

    EXPECT_EQ(ImageList_GetImageCount(system), count) << "the shell's list is still whole";
    MakeList();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(list->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)), system);
    int width = 0, height = 0;
    EXPECT_TRUE(ImageList_GetIconSize(system, &width, &height));
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSMICON));
    const int added = ImageList_AddIcon(system, LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_EQ(added, count) << "the second list's images still take new icons";
    ImageList_Remove(system, added);
}

TEST_F(KyListViewTest, OwnImagesAreKept)
{
    form = std::make_unique<TForm>(nullptr);
    list = new CountingListView(form.get());
    list->SetParent(form.get());
    TImageList own(nullptr);
    list->SetSmallImages(&own);
    form->HandleNeeded();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(list->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
              own.Handle());
    EXPECT_EQ(list->LargeImages(), list->SysLargeImages());
    ASSERT_NE(list->Images16(), nullptr);
    EXPECT_EQ(list->Images16()->Width(), 16);
    EXPECT_EQ(ImageList_GetBkColor(list->Images32()->Handle()), CLR_NONE);
    EXPECT_EQ(list->OwnerForm(), form.get());
    EXPECT_EQ(GlobalDragImages() != nullptr, true);
    list->SetSmallImages(nullptr);
}

TEST_F(KyListViewTest, MarqueeIsRefusedOncePerRequest)
{
    MakeList();
    auto marqueeBegins = [&] {
        NMLISTVIEW notify{};
        notify.hdr.hwndFrom = list->Handle();
        notify.hdr.idFrom = GetDlgCtrlID(list->Handle());
        notify.hdr.code = LVN_MARQUEEBEGIN;
        // As the list tells its parent; a non-zero answer refuses.
        return SendMessageW(form->Handle(), WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify)) == 0;
    };
    EXPECT_TRUE(marqueeBegins());
    list->SuppressMarquee = true;
    EXPECT_FALSE(marqueeBegins());
    EXPECT_FALSE(list->SuppressMarquee);
    EXPECT_TRUE(marqueeBegins()) << "the second drag selects normally";
}

TEST_F(KyListViewTest, HeaderTrackingRaisesTheEventsAndKeepsTheMarks)
{
    MakeList(true);
    int tracks = 0, drags = 0;
    list->OnHeaderEndTrack = [&](TComponent*) { ++tracks; };
    list->OnHeaderEndDrag = [&](TComponent*) { ++drags; };
    list->SetSortColumn(1);

    // Dragging the divider after column 0 to the right.
    RECT r{};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    const int y = (r.top + r.bottom) / 2;
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right - 1, y));
    SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(r.right + 40, y));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(r.right + 40, y));
    EXPECT_EQ(tracks, 1);
    EXPECT_NEAR(list->ColumnWidth(0), 160, 2);
    EXPECT_FALSE(list->MarksPainted()) << "applied again with the next paint";
    EXPECT_EQ(Format(1) & kMarkBits, HDF_BITMAP);
    EXPECT_TRUE(test::PumpUntil([&] { return list->MarksPainted(); }, 2s));

    // A double click on the divider sizes the column to its texts.
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    SendMessageW(header, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.right - 1, y));
    Application->ProcessMessages();
    EXPECT_EQ(tracks, 2);
    EXPECT_NE(list->Column(0).Width, 120) << "the column takes the width the list gave it";
    EXPECT_EQ(list->Column(0).Width, list->ColumnWidth(0));

    NMHEADERW endDrag{};
    endDrag.hdr.hwndFrom = header;
    endDrag.hdr.code = HDN_ENDDRAG;
    endDrag.iItem = 0;
    SendMessageW(list->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&endDrag));
    EXPECT_EQ(drags, 1);
}

TEST_F(KyListViewTest, InfoTipsStayWithANewWindow)
{
    MakeList();
    list->EnableInfoTips();
    auto styles = [&] { return SendMessageW(list->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); };
    EXPECT_EQ(styles() & 0x4400, 0x4400);
    list->RecreateWnd();
    EXPECT_EQ(styles() & 0x4400, 0x4400);
    EXPECT_TRUE(styles() & LVS_EX_HEADERDRAGDROP);
}

TEST_F(KyListViewTest, DatesShowAFourDigitYear)
{
    MakeList();
    SYSTEMTIME time{};
    time.wYear = 2024;
    time.wMonth = 3;
    time.wDay = 5;
    time.wHour = 14;
    time.wMinute = 7;
    time.wSecond = 9;

    list->SetDateTimeDisplay(TDateTimeDisplay::dtdDate);
    const std::wstring date = list->FormatDateTime(time);
    EXPECT_NE(date.find(L"2024"), std::wstring::npos) << WideToUtf8(date);
    EXPECT_EQ(list->DateTimeFormat(), list->DateFormat());

    list->SetDateTimeDisplay(TDateTimeDisplay::dtdDateTime);
    const std::wstring withTime = list->FormatDateTime(time);
    EXPECT_EQ(withTime.substr(0, date.size() + 2), date + L"  ") << WideToUtf8(withTime);
    EXPECT_NE(withTime.find(L"07"), std::wstring::npos) << WideToUtf8(withTime);
    EXPECT_EQ(withTime.find(L"09", date.size()), std::wstring::npos) << "no seconds: " << WideToUtf8(withTime);

    list->SetDateTimeDisplay(TDateTimeDisplay::dtdDateTimeSec);
    const std::wstring withSeconds = list->FormatDateTime(time);
    EXPECT_EQ(withSeconds.substr(0, date.size() + 2), date + L"  ");
    EXPECT_NE(withSeconds.find(L"09", date.size()), std::wstring::npos) << WideToUtf8(withSeconds);
}

TEST(ShellValues, FoldersIconsAndVersions)
{
    const TShellValues& values = ShellValues();
    for (const std::wstring* folder : {&values.WindowsDir, &values.SystemDir, &values.TempDir}) {
        ASSERT_FALSE(folder->empty());
        EXPECT_EQ(folder->back(), L'\\');
        EXPECT_NE(GetFileAttributesW(folder->c_str()), INVALID_FILE_ATTRIBUTES) << WideToUtf8(*folder);
    }
    EXPECT_GE(values.DefaultFileIconIndex, 0);
    EXPECT_GE(values.ExeIconIndex, 0);
    EXPECT_GE(values.FolderIconIndex, 0);
    EXPECT_GE(values.OpenFolderIconIndex, 0);
    EXPECT_FALSE(values.FolderTypeName.empty());
    EXPECT_LE(values.FolderTypeName.size(), 80u);
    EXPECT_GT(values.ComCtlVersion >> 16, 4u);
    EXPECT_TRUE(values.ComCtlNew);
    EXPECT_GT(values.Shell32Version, 0u);
}
