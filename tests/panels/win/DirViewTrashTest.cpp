#include "panels/win/DirView.h"

#include "TestDir.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

using namespace qrv;

namespace {

// The Windows name of the Linux folder XDG_DATA_HOME names (ctest sets it for
// this suite): Wine's recycle bin is its "Trash" folder.
std::wstring XdgDataHome()
{
    const char* unixPath = std::getenv("XDG_DATA_HOME");
    using TDosName = wchar_t*(CDECL*)(const char*);
    const auto dosName = reinterpret_cast<TDosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!unixPath || !*unixPath || !dosName)
        return std::wstring();
    wchar_t* name = dosName(unixPath);
    if (!name)
        return std::wstring();
    std::wstring result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

}  // namespace

TEST(DirViewTrash, DeleteToTheRecycleBinPutsTheFileIntoTheTrash)
{
    const std::wstring data = XdgDataHome();
    if (data.empty())
        GTEST_SKIP() << "not under Wine with XDG_DATA_HOME set";
    CreateDirectoryW(data.c_str(), nullptr);
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
    const std::wstring trashed = data + L"\\Trash\\files\\" + name;
    EXPECT_NE(GetFileAttributesW(trashed.c_str()), INVALID_FILE_ATTRIBUTES) << "not in the trash";
    DeleteFileW(trashed.c_str());
}
