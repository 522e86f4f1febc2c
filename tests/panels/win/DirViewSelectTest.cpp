#include "panels/win/DirViewSelect.h"

#include "TestDir.h"
#include "framework/win/Forms.h"
#include "panels/win/DirView.h"

#include <winioctl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

constexpr uint64_t kGiB = 1ull << 30;

// A sparse file of Size bytes.
void MakeSparseFile(const std::wstring& path, uint64_t size)
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
    CloseHandle(file);
}

// Three- and five-GiB files and a small one, in a list on a form.
class DirViewSelectTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Gross");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\ordner.bin").c_str(), nullptr));
        MakeSparseFile(folder + L"\\drei.bin", 3 * kGiB);
        MakeSparseFile(folder + L"\\fünf.bin", 5 * kGiB);
        MakeSparseFile(folder + L"\\klein.txt", 10);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        view = new TDirView(form.get());
        view->SetParent(form.get());
        view->SetAlign(TAlign::alClient);
        form->HandleNeeded();
        view->SetPath(folder);
    }

    std::vector<std::wstring> ControlSelection() const
    {
        std::vector<std::wstring> names;
        for (int i = -1; (i = static_cast<int>(SendMessageW(view->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(i),
                                                            LVNI_SELECTED))) >= 0;)
            names.push_back(view->GetItemData(i)->FileName);
        return names;
    }
    int ControlCount() const { return static_cast<int>(SendMessageW(view->Handle(), LVM_GETSELECTEDCOUNT, 0, 0)); }

    test::TestDir dir;
    std::wstring folder;
    std::unique_ptr<TForm> form;
    TDirView* view = nullptr;
};

}  // namespace

TEST_F(DirViewSelectTest, SizeBoundsBeyondTwoGiBSelectAndTheControlFollows)
{
    TFileSelectFilter filter;
    filter.SizeFrom = 3000000000;
    EXPECT_EQ(SelectFilesInList(*view, filter, true), 2);
    EXPECT_EQ(ControlSelection(), (std::vector<std::wstring>{L"drei.bin", L"fünf.bin"}));
    EXPECT_EQ(view->SelectedSize(), 8 * kGiB);

    // Deselecting those above four billion bytes leaves one.
    filter.SizeFrom = 4000000000;
    EXPECT_EQ(SelectFilesInList(*view, filter, false), 1);
    EXPECT_EQ(ControlSelection(), (std::vector<std::wstring>{L"drei.bin"}));
    EXPECT_EQ(ControlCount(), view->SelCount());

    // With folders, "*.*" takes the folder too but never "..".
    TFileSelectFilter all;
    all.IncludeDirs = true;
    SelectFilesInList(*view, all, true);
    EXPECT_EQ(ControlCount(), 4);
    EXPECT_FALSE(view->GetItemData(0)->Selected);
    EXPECT_TRUE(view->GetItemData(0)->IsParentDir);
}
