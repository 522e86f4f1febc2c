#pragma once
// Starts Quorvan32.exe (found beside the test program) and finds its windows.

#include "framework/win/WinApi.h"
#include "win/WindowSearch.h"

#include <string>
#include <vector>

namespace qrv::test {

class ProgramProcess {
public:
    // environment: "NAME=value" entries replacing the inherited ones of the
    // same name; an entry "NAME=" removes the variable.
    explicit ProgramProcess(const std::wstring& arguments = L"", const std::vector<std::wstring>& environment = {});
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }
    DWORD Id() const { return process_.dwProcessId; }
    HANDLE Process() const { return process_.hProcess; }
    // A visible top-level window of the process with that class, waiting up
    // to timeoutMs; nullptr when none came.
    HWND WaitForWindow(const std::wstring& className, DWORD timeoutMs = 15000) const;
    // A visible top-level window of the process with that caption.
    HWND WaitForCaption(const std::wstring& caption, DWORD timeoutMs = 15000) const;
    // Posts WM_CLOSE to the main window and waits for the exit code.
    DWORD CloseAndWait(HWND mainWindow, DWORD timeoutMs = 15000);

private:
    PROCESS_INFORMATION process_{};
};

std::wstring ProgramPath();

}  // namespace qrv::test
