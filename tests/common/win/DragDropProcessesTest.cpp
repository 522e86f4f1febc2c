// Drag and drop and the OLE clipboard between two processes: the system's
// drag loop into a drop target of another process, and files copied by the
// developers' tool in one process and pasted in another.
#include "common/win/DragDropFilesEx.h"
#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include "TestDir.h"
#include "win/ChildProcess.h"
#include "win/MessagePump.h"
#include "win/ProcessOutput.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;

// ctest: runs alone (the clipboard and the mouse belong to the whole display)
TEST(DragDropProcesses, CopiedFilesArePastedInAnotherProcess)
{
    TestDir dir;
    const std::vector<std::wstring> paths = {dir.Write(L"eins.txt", "1"), dir.Write(L"Ωmega.txt", "2")};
    std::wstring arguments;
    for (const std::wstring& path : paths) {
        arguments += L"\"" + path + L"\" ";
    }
    TChildProcess copy(BesideTheTests(L"qrvdnd.exe"), L"copy " + arguments);
    ASSERT_TRUE(copy.Started());
    ASSERT_TRUE(copy.WaitForOutput("ready", std::chrono::seconds(30))) << copy.Text();

    const TProcessOutput pasted = RunAndCapture(BesideTheTests(L"qrvdnd.exe"), L"paste", dir.Path());
    EXPECT_EQ(pasted.ExitCode, 0u) << pasted.Text;
    const std::wstring text = Utf8ToWide(pasted.Text);
    for (const std::wstring& path : paths) {
        EXPECT_NE(text.find(L"file " + path + L" (list " + path + L")"), std::wstring::npos) << pasted.Text;
    }
    EXPECT_NE(text.find(L"effect: copy"), std::wstring::npos) << pasted.Text;

    const TProcessOutput formats = RunAndCapture(BesideTheTests(L"qrvdnd.exe"), L"formats", dir.Path());
    EXPECT_NE(formats.Text.find("Shell IDList Array"), std::string::npos) << formats.Text;

    copy.WriteLine();
    EXPECT_EQ(copy.Wait(10000), 0u) << copy.Text();
}

// ctest: runs alone (the clipboard and the mouse belong to the whole display)
TEST(DragDropProcesses, DragLoopDropsIntoAnotherProcess)
{
    // ctest: runs alone (it moves the cursor across the screen other tests use)
    TestDir dir;
    const std::wstring path = dir.Write(L"Ωmega.txt", "2");
    const POINT target{600, 500};
    TChildProcess probe(BesideTheTests(L"qrv_drop_target_probe.exe"),
                        std::to_wstring(target.x) + L" " + std::to_wstring(target.y));
    ASSERT_TRUE(probe.Started());
    ASSERT_TRUE(probe.WaitForOutput(" ;", std::chrono::seconds(30))) << probe.Text();
    POINT middle{};
    ASSERT_EQ(sscanf(probe.Text().c_str(), "ready at %ld %ld", &middle.x, &middle.y), 2) << probe.Text();

    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    form.Show();
    TPanel panel(nullptr);
    panel.SetParent(&form);
    panel.SetBounds(10, 10, 200, 150);
    TDragDropFilesEx dnd(nullptr);
    dnd.SetDragDropControl(&panel);
    dnd.SetSourceEffects(deCopy | deMove);
    dnd.FileList.AddItem(nullptr, path);
    // No button is pressed under the test: the source steers the loop, moving
    // the cursor onto the other window, then dropping.
    int calls = 0;
    dnd.OnQueryContinueDrag = [&](TDragDrop*, BOOL, DWORD, HRESULT& result) {
        ++calls;
        if (calls == 1) {
            SetCursorPos(middle.x, middle.y);
        }
        result = calls < 15 ? S_OK : DRAGDROP_S_DROP;
    };
    SetCursorPos(5, 5);
    EXPECT_EQ(dnd.Execute(), drCopy);
    EXPECT_GE(calls, 15);
    ASSERT_TRUE(probe.WaitForOutput(WideToUtf8(L"file " + path), std::chrono::seconds(10))) << probe.Text();
    EXPECT_NE(probe.Text().find("dropped 1"), std::string::npos) << probe.Text();
    EXPECT_EQ(probe.Wait(10000), 0u);
}
