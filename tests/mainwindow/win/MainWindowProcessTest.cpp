// Starts the real program and drives it through window messages.

#include "framework/win/WinApi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring ProgramPath()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Quorvan32.exe";
}

struct ThreadWindowSearch {
    DWORD processId;
    HWND found;
};

// The top-level window of that process with the main window's class.
HWND FindMainWindow(DWORD processId)
{
    ThreadWindowSearch search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<ThreadWindowSearch*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t className[64];
            if (owner == s->processId && GetClassNameW(window, className, 64) &&
                std::wstring(className) == L"TQRVMain" && IsWindowVisible(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

TEST(MainWindowProcess, ShowsItsTitleAndClosesWithExitCodeZero)
{
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << "cannot start " << GetLastError();

    HWND window = nullptr;
    for (int i = 0; i < 300 && !window; ++i) {
        window = FindMainWindow(process.dwProcessId);
        if (!window)
            Sleep(50);
    }
    ASSERT_NE(window, nullptr) << "no visible TQRVMain window within 15 s";

    wchar_t title[128];
    GetWindowTextW(window, title, 128);
    EXPECT_STREQ(title, L"Quorvan Free");
    EXPECT_NE(GetMenu(window), nullptr) << "the main window has a menu bar";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
    DWORD exitCode = 1234;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    if (exitCode == STILL_ACTIVE)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
