// Drag and drop and the OLE clipboard between two processes: the system's
// drag loop into a drop target of another process, and files copied by the
// developers' tool in one process and pasted in another.
#include "common/win/DragDropFilesEx.h"
#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include "TestDir.h"
#include "win/MessagePump.h"
#include "win/ProcessOutput.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;

namespace {

std::wstring BesideTheTests(const wchar_t* program)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1) + program;
}

// A program running beside the test with its input and output in pipes.
class TChildProcess {
public:
    TChildProcess(const std::wstring& program, const std::wstring& arguments)
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE outRead = nullptr, outWrite = nullptr, inRead = nullptr, inWrite = nullptr;
        CreatePipe(&outRead, &outWrite, &inherit, 0);
        CreatePipe(&inRead, &inWrite, &inherit, 0);
        output_.Reset(outRead);
        input_.Reset(inWrite);
        TKernelHandle childOut(outWrite), childIn(inRead);
        SetHandleInformation(output_.Get(), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(input_.Get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childIn.Get();
        startup.hStdOutput = childOut.Get();
        startup.hStdError = childOut.Get();
        PROCESS_INFORMATION info{};
        std::wstring line = L"\"" + program + L"\" " + arguments;
        if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                           &startup, &info)) {
            process_.Reset(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    ~TChildProcess()
    {
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.Get(), 99);
        }
    }
    bool Started() const { return static_cast<bool>(process_); }
    // Reads (answering this thread's messages meanwhile) until the output
    // holds Text or the time is up.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit)
    {
        return PumpUntil(
            [&] {
                DWORD available = 0;
                while (PeekNamedPipe(output_.Get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
                    char buffer[4096];
                    DWORD got = 0;
                    if (!ReadFile(output_.Get(), buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr)) {
                        break;
                    }
                    text_.append(buffer, got);
                }
                return text_.find(text) != std::string::npos;
            },
            limit);
    }
    void WriteLine()
    {
        DWORD put = 0;
        WriteFile(input_.Get(), "\n", 1, &put, nullptr);
    }
    DWORD Wait(DWORD milliseconds)
    {
        DWORD code = DWORD(-1);
        if (WaitForSingleObject(process_.Get(), milliseconds) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process_.Get(), &code);
        }
        return code;
    }
    const std::string& Text() const { return text_; }

private:
    TKernelHandle process_;
    TKernelHandle output_;
    TKernelHandle input_;
    std::string text_;
};

}  // namespace

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
