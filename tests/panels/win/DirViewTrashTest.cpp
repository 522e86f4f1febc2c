#include "panels/win/DirView.h"

#include "TestDir.h"
#include "framework/win/Forms.h"
#include "win/WineTrash.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qrv;

TEST(DirViewTrash, DeleteToTheRecycleBinPutsTheFileIntoTheTrash)
{
    const std::wstring trash = test::WineTrashFiles();
    if (trash.empty())
        GTEST_SKIP() << "not under Wine with XDG_DATA_HOME set";
    test::TestDir dir;
    const std::wstring name = L"papierkorb-" + std::to_wstring(GetTickCount64()) + L".txt";
    dir.Write(name, "weg");

    TForm form(nullptr);
    auto* view = new TDirView(&form);
    view->SetParent(&form);
    form.HandleNeeded();
    view->SetPath(dir.Path());
    ASSERT_NE(view->FindFileItem(name), nullptr);
    view->SetItemSelected(*view->FindFileItem(name), true);
    view->ConfirmDelete = false;
    EXPECT_TRUE(view->DeleteSelectedFiles(true));
    EXPECT_EQ(GetFileAttributesW(dir.File(name).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(view->FindFileItem(name), nullptr);
    const std::wstring trashed = trash + L"\\" + name;
    EXPECT_NE(GetFileAttributesW(trashed.c_str()), INVALID_FILE_ATTRIBUTES) << "not in the trash";
    DeleteFileW(trashed.c_str());
}
