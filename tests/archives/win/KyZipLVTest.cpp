#include "archives/win/KyZipLV.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

std::wstring HeaderText(HWND list, int column)
{
    wchar_t buffer[64] = L"";
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT;
    lvc.pszText = buffer;
    lvc.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
    return buffer;
}

int HeaderCount(HWND list)
{
    return static_cast<int>(SendMessageW(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
}

class KyZipLVTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zip = new TKyZipLV(&form);
        zip->SetParent(&form);
        form.HandleNeeded();
        window = zip->Handle();
    }
    TForm form{nullptr};
    TKyZipLV* zip = nullptr;
    HWND window = nullptr;
};

}  // namespace

TEST_F(KyZipLVTest, FiveColumnsFromTheWidthProperties)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_OWNERDATA);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    EXPECT_FALSE(style & LVS_EDITLABELS);

    ASSERT_EQ(HeaderCount(window), 5);
    const std::pair<const wchar_t*, int> columns[] = {
        {L"Name", 150}, {L"Größe", 80}, {L"Typ", 100}, {L"geändert am", 120}, {L"Pfad", 150}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(HeaderText(window, i), columns[i].first);
        EXPECT_EQ(SendMessageW(window, LVM_GETCOLUMNWIDTH, i, 0), columns[i].second);
        EXPECT_EQ(zip->ColWidth(i), columns[i].second) << "a width of 0 takes the default";
    }

    zip->SetColWidthSize(99);
    EXPECT_EQ(SendMessageW(window, LVM_GETCOLUMNWIDTH, 1, 0), 99);
    SendMessageW(window, LVM_SETCOLUMNWIDTH, 4, MAKELPARAM(222, 0));  // the user drags
    EXPECT_EQ(zip->ColWidthPath(), 150);
    zip->StoreColumnWidths();
    EXPECT_EQ(zip->ColWidthPath(), 222);

    EXPECT_TRUE(zip->SetColumnOrder({4, 3, 2, 1, 0}));
    std::array<int, 5> order{};
    EXPECT_TRUE(zip->GetColumnOrder(order));
    EXPECT_EQ(order, (std::array<int, 5>{4, 3, 2, 1, 0}));

    // A new window is built from the properties again.
    zip->RecreateWnd();
    window = zip->Handle();
    EXPECT_EQ(HeaderCount(window), 5);
    EXPECT_EQ(SendMessageW(window, LVM_GETCOLUMNWIDTH, 4, 0), 222);
    order = {};
    EXPECT_TRUE(zip->GetColumnOrder(order));
    EXPECT_EQ(order, (std::array<int, 5>{4, 3, 2, 1, 0}));

    zip->ClearColumns();
    EXPECT_FALSE(zip->GetColumnOrder(order)) << "acts only on five columns";
    EXPECT_FALSE(zip->SetColumnOrder({0, 1, 2, 3, 4}));
}

TEST_F(KyZipLVTest, MaskFilterAndLibraryFolder)
{
    EXPECT_EQ(zip->Mask(), L"*.*");
    zip->SetMask(L" *.TXT, *.c ");
    EXPECT_EQ(zip->Mask(), L"*.txt;*.c");
    EXPECT_EQ(HeaderText(window, 0), L"Name (*.txt;*.c)");
    zip->SetShowMaskInHeader(false);
    EXPECT_EQ(HeaderText(window, 0), L"Name");
    zip->SetShowMaskInHeader(true);
    zip->SetMask(L"");
    EXPECT_EQ(HeaderText(window, 0), L"Name");

    EXPECT_EQ(zip->SelFileSizeTo, 2147483647u);
    EXPECT_EQ(zip->SelFileDateFrom, 33);
    EXPECT_EQ(zip->SelFileDateTo, 61343);
    EXPECT_EQ(zip->SelHidden, TSelAttr::SelDontCare);
    EXPECT_TRUE(zip->PreserveDirs());
    EXPECT_EQ(zip->SortColumn(), 0);
    EXPECT_TRUE(zip->SortAscending());

    zip->SetDLLDirectory(L"C:\\Programme\\Quorvan");
    EXPECT_EQ(zip->DLLDirectory(), L"C:\\Programme\\Quorvan\\");
    zip->SetDLLDirectory(L"C:\\Programme\\Quorvan\\");
    EXPECT_EQ(zip->DLLDirectory(), L"C:\\Programme\\Quorvan\\");
    zip->SetDLLDirectory(L"");
    EXPECT_EQ(zip->DLLDirectory(), L"");
}

TEST_F(KyZipLVTest, NoArchiveOpensYet)
{
    EXPECT_EQ(zip->GetArchiveName(), L"");
    EXPECT_FALSE(zip->IsZipOpen());
    EXPECT_NO_THROW(zip->OpenArchive(L""));
    EXPECT_THROW(zip->OpenArchive(L"C:\\archiv.zip"), EInvalidOperation);
    EXPECT_EQ(zip->GetArchiveName(), L"");
    EXPECT_FALSE(zip->IsZipOpen());
    EXPECT_EQ(zip->ArchiveKind(), akNone);
    EXPECT_EQ(zip->OperationKind(), okNone);

    zip->SelectAll();
    zip->InvertSelection();
    EXPECT_EQ(zip->SelCount(), 0);
    EXPECT_EQ(zip->ItemCount(), 0);
    int asked = 0;
    zip->OnDeleteFiles = [&](TComponent*, bool& doDelete) {
        ++asked;
        EXPECT_TRUE(doDelete);
    };
    EXPECT_NO_THROW(zip->DeleteSelected());
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(zip->ExtractSelected(L"C:\\ziel", true, false));
}
