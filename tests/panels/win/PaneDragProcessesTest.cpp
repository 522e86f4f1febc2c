// The panes' drags with another program, through the system's drag loop
// between two processes: files of the list carried into a window of another
// process that moves them (the list lets them go), and files of another
// process dropped onto a folder of the tree.

#include "TestDir.h"
#include "TreeAndListForm.h"
#include "framework/SysUtils.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/PaneDragDrop.h"
#include "win/ChildProcess.h"
#include "win/MessagePump.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class PaneDragProcesses : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* sub : {L"Quelle", L"Ziel"})
            ASSERT_TRUE(CreateDirectoryW(dir.File(sub).c_str(), nullptr));
        dir.Write(L"Quelle\\brief.txt", "Brief");
        dir.Write(L"Quelle\\karte.txt", "Karte");
        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        list = made.List;
        form->Show();
        TTreeNode* root = tree->NodeForPath(dir.Path());
        ASSERT_NE(root, nullptr);
        root->Expand();
        const auto error = [this](TPaneDragDrop*, int code, const std::wstring&) { errors.push_back(code); };
        list->DragDrop().OnDDError = error;
        tree->DragDrop().OnDDError = error;
    }
    void TearDown() override { form.reset(); }

    TestDir dir;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TDirView* list = nullptr;
    std::vector<int> errors;
};

}  // namespace

// The list's files carried into another program that moves them: the drag
// ends in a move and the list lets them go.
TEST_F(PaneDragProcesses, FilesMovedByAnotherProgramLeaveTheList)
{
    // ctest: runs alone (it moves the cursor across the screen other tests use)
    TChildProcess probe(BesideTheTests(L"qrv_drop_target_probe.exe"), L"700 500 \"" + dir.File(L"Ziel") + L"\"");
    ASSERT_TRUE(probe.Started());
    ASSERT_TRUE(probe.WaitForOutput(" ;", 30s)) << probe.Text();
    POINT middle{};
    ASSERT_EQ(sscanf(probe.Text().c_str(), "ready at %ld %ld", &middle.x, &middle.y), 2) << probe.Text();

    list->SetPath(dir.File(L"Quelle"));
    for (const wchar_t* name : {L"brief.txt", L"karte.txt"}) {
        TFileRec* item = list->FindFileItem(name);
        ASSERT_NE(item, nullptr);
        list->SetItemSelected(*item, true);
    }
    // No button is pressed under the test: the list's own drag steers the
    // cursor onto the other window and drops after a while there.
    DWORD start = 0;
    list->DragDrop().OnDDQueryContinueDrag = [&](TPaneDragDrop*, bool, uint32_t, HRESULT& result) {
        if (start == 0) {
            start = GetTickCount();
            SetCursorPos(middle.x, middle.y);
        }
        result = GetTickCount() - start < 1000 ? S_OK : DRAGDROP_S_DROP;
    };
    SetCursorPos(300, 200);
    EXPECT_EQ(list->DragSelectedItems(), drMove);
    ASSERT_TRUE(probe.WaitForOutput("moved", 10s)) << probe.Text();
    EXPECT_NE(probe.Text().find("moved 2"), std::string::npos) << probe.Text();
    EXPECT_EQ(probe.Wait(10000), 0u);
    EXPECT_EQ(dir.Read(L"Ziel\\brief.txt"), "Brief");
    EXPECT_FALSE(Exists(dir.File(L"Quelle\\karte.txt")));
    EXPECT_TRUE(PumpUntil(
        [&] { return list->FindFileItem(L"brief.txt") == nullptr && list->FindFileItem(L"karte.txt") == nullptr; }, 5s))
        << "the list let them go";
}

// Files dragged by another program onto the list move into its folder (the
// same drive).
TEST_F(PaneDragProcesses, FilesOfAnotherProgramDroppedOnTheListMoveThere)
{
    // ctest: runs alone (it moves the cursor across the screen other tests use)
    list->SetPath(dir.File(L"Ziel"));
    RECT client{};
    GetClientRect(list->Handle(), &client);
    POINT over{client.right / 2, client.bottom - 20};
    ClientToScreen(list->Handle(), &over);
    int entered = 0;
    list->DragDrop().OnDDDragEnter = [&](TPaneDragDrop*) { ++entered; };

    TChildProcess probe(BesideTheTests(L"qrv_drag_source_probe.exe"), std::to_wstring(over.x) + L" " +
                                                                          std::to_wstring(over.y) + L" \"" +
                                                                          dir.File(L"Quelle\\brief.txt") + L"\"");
    ASSERT_TRUE(probe.Started());
    ASSERT_TRUE(probe.WaitForOutput(" ;", 30s)) << probe.Text();
    probe.WriteLine();
    // This process answers the drop target's calls meanwhile.
    ASSERT_TRUE(probe.WaitForOutput("shown", 30s)) << probe.Text();
    EXPECT_NE(probe.Text().find("shown 2"), std::string::npos) << "a move: " << probe.Text();
    EXPECT_EQ(probe.Wait(10000), 0u);
    EXPECT_TRUE(PumpUntil([&] { return Exists(dir.File(L"Ziel\\brief.txt")); }, 5s));
    EXPECT_EQ(dir.Read(L"Ziel\\brief.txt"), "Brief");
    EXPECT_FALSE(Exists(dir.File(L"Quelle\\brief.txt")));
    EXPECT_NE(list->FindFileItem(L"brief.txt"), nullptr) << "the list shows it";
    EXPECT_TRUE(errors.empty()) << errors.size() << " errors";
}
