// The list view's image lists, header, custom draw and extended styles.

#include "framework/win/ComCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/ImgList.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;

namespace {

HIMAGELIST ListImages(HWND list, int which)
{
    return reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, which, 0));
}

// An image list made outside the framework, as the shell makes its own.
struct ForeignImageList {
    ForeignImageList() : handle(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1))
    {
        ImageList_AddIcon(handle, LoadIconW(nullptr, IDI_APPLICATION));
    }
    ~ForeignImageList() { ImageList_Destroy(handle); }
    // Only a list that was not destroyed takes a new image.
    bool Usable() const
    {
        const int index = ImageList_AddIcon(handle, LoadIconW(nullptr, IDI_APPLICATION));
        if (index < 0)
            return false;
        ImageList_Remove(handle, index);
        return true;
    }
    HIMAGELIST handle;
};

class DrawCountingListView : public TCustomListView {
public:
    using TCustomListView::TCustomListView;
    int prePaints = 0;
    int itemPaints = 0;

protected:
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) override
    {
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
            ++prePaints;
            return CDRF_NOTIFYITEMDRAW;
        }
        if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
            ++itemPaints;
        return CDRF_DODEFAULT;
    }
};

}  // namespace

TEST(ImageList, SharedHandleIsNeverDestroyed)
{
    ForeignImageList foreign;
    {
        TImageList shared(nullptr);
        shared.ShareImages(foreign.handle);
        EXPECT_TRUE(shared.Shared());
        EXPECT_EQ(shared.Handle(), foreign.handle);
        EXPECT_EQ(shared.Count(), 1);
        shared.SetSize(32, 32);  // makes a list of its own again
        EXPECT_FALSE(shared.Shared());
        EXPECT_NE(shared.Handle(), foreign.handle);
        EXPECT_EQ(shared.Width(), 32);
        shared.ShareImages(foreign.handle);
        EXPECT_EQ(shared.Width(), 16) << "the size comes from the shared list";
    }
    EXPECT_TRUE(foreign.Usable());
    EXPECT_EQ(ImageList_GetImageCount(foreign.handle), 1);
}

TEST(ListViewImages, TheListSharesItsImagesAndForgetsThoseThatGo)
{
    ForeignImageList foreign;
    TImageList shared(nullptr);
    shared.ShareImages(foreign.handle);
    {
        TForm form(nullptr);
        auto* list = new TListView(&form);
        list->SetParent(&form);
        list->SetSmallImages(&shared);
        form.HandleNeeded();
        EXPECT_EQ(ListImages(list->Handle(), LVSIL_SMALL), foreign.handle);
        EXPECT_TRUE(GetWindowLongPtrW(list->Handle(), GWL_STYLE) & LVS_SHAREIMAGELISTS);

        auto large = std::make_unique<TImageList>(nullptr, 32, 32);
        list->SetLargeImages(large.get());
        EXPECT_EQ(ListImages(list->Handle(), LVSIL_NORMAL), large->Handle());
        large->SetSize(48, 48);
        EXPECT_EQ(ListImages(list->Handle(), LVSIL_NORMAL), large->Handle()) << "a new handle is sent again";
        large.reset();
        EXPECT_EQ(list->LargeImages(), nullptr);
        EXPECT_EQ(ListImages(list->Handle(), LVSIL_NORMAL), nullptr);

        list->RecreateWnd();
        EXPECT_EQ(ListImages(list->Handle(), LVSIL_SMALL), foreign.handle) << "a new window gets them too";
    }
    EXPECT_TRUE(foreign.Usable()) << "destroying the list leaves the images alone";
}

TEST(ListViewHeader, FormatsAndBitmapsOfTheHeaderItems)
{
    TForm form(nullptr);
    auto* list = new TListView(&form);
    list->SetParent(&form);
    list->SetViewStyle(TViewStyle::vsReport);
    list->AddColumn(L"Name", 100);
    list->AddColumn(L"Größe", 60, TAlignment::taRightJustify);
    EXPECT_EQ(list->HeaderHandle(), nullptr) << "no window yet";
    form.HandleNeeded();

    TListHeader header = list->Header();
    ASSERT_NE(header.Handle(), nullptr);
    EXPECT_EQ(header.Count(), 2);
    EXPECT_EQ(header.Format(1) & HDF_JUSTIFYMASK, HDF_RIGHT);

    HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    header.SetFormat(0, header.Format(0) | HDF_BITMAP, bitmap);
    EXPECT_TRUE(header.Format(0) & HDF_BITMAP);
    EXPECT_EQ(header.Bitmap(0), bitmap);
    header.SetFormat(0, header.Format(0) & ~HDF_BITMAP);
    EXPECT_FALSE(header.Format(0) & HDF_BITMAP);
    DeleteObject(bitmap);

    list->SetShowColumnHeaders(false);
    EXPECT_TRUE(GetWindowLongPtrW(list->Handle(), GWL_STYLE) & LVS_NOCOLUMNHEADER);
    list->RecreateWnd();
    EXPECT_TRUE(GetWindowLongPtrW(list->Handle(), GWL_STYLE) & LVS_NOCOLUMNHEADER);
}

TEST(ListViewHooks, CustomDrawAsksForEachItem)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* list = new DrawCountingListView(&form);
    list->SetParent(&form);
    list->SetAlign(TAlign::alClient);
    list->SetViewStyle(TViewStyle::vsReport);
    list->AddColumn(L"Name", 100);
    list->AddItem(L"eins");
    list->AddItem(L"zwei");
    form.HandleNeeded();
    // Drawn into a memory bitmap: no screen needed.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(list->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EXPECT_GE(list->prePaints, 1);
    EXPECT_GE(list->itemPaints, 2) << "item stages follow CDRF_NOTIFYITEMDRAW";
}

TEST(ListViewHooks, ExtendedStylesSurviveANewWindow)
{
    TForm form(nullptr);
    auto* list = new TListView(&form);
    list->SetParent(&form);
    list->SetExtendedStyles(LVS_EX_INFOTIP | LVS_EX_LABELTIP, true);
    form.HandleNeeded();
    auto styles = [&] { return SendMessageW(list->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); };
    EXPECT_EQ(styles() & (LVS_EX_INFOTIP | LVS_EX_LABELTIP), LVS_EX_INFOTIP | LVS_EX_LABELTIP);
    list->SetGridLines(true);
    EXPECT_TRUE(styles() & LVS_EX_INFOTIP) << "other styles leave them alone";
    list->SetExtendedStyles(LVS_EX_LABELTIP, false);
    list->RecreateWnd();
    EXPECT_EQ(styles() & (LVS_EX_INFOTIP | LVS_EX_LABELTIP | LVS_EX_GRIDLINES), LVS_EX_INFOTIP | LVS_EX_GRIDLINES);
    EXPECT_EQ(list->ExtendedStyles(), static_cast<DWORD>(LVS_EX_INFOTIP));
}
