#pragma once
// Runs a console program of the build and collects what it writes to its
// standard output and error, and its exit code: the tests of the tools.

#include "framework/win/Handles.h"

#include <windows.h>

#include <string>

namespace qrv::test {

struct TProcessOutput {
    std::string Text;            // standard output and error together
    DWORD ExitCode = DWORD(-1);  // -1: did not start or did not end in time
    // Why it did not start (GetLastError of the pipe or the process), 0 when
    // it started. Under load Wine now and then fails to start a process
    // whose start it had begun (ERROR_INTERNAL_ERROR): no output then is no
    // answer of the program's.
    DWORD StartError = 0;
};

// Input, when given, is the program's standard input (small: it is written
// into the pipe before the program's output is read).
inline TProcessOutput RunAndCapture(const std::wstring& program, const std::wstring& arguments,
                                    const std::wstring& folder, const std::string& input = {})
{
    TProcessOutput result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        result.StartError = GetLastError();
        return result;
    }
    TKernelHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
    HANDLE inputRead = nullptr, inputWrite = nullptr;
    if (!input.empty() && !CreatePipe(&inputRead, &inputWrite, &inherit, 0)) {
        result.StartError = GetLastError();
        return result;
    }
    TKernelHandle inputReader(inputRead), inputWriter(inputWrite);
    if (inputWriter) {
        SetHandleInformation(inputWriter.Get(), HANDLE_FLAG_INHERIT, 0);
        DWORD written = 0;
        if (!WriteFile(inputWriter.Get(), input.data(), static_cast<DWORD>(input.size()), &written, nullptr) ||
            written != input.size()) {
            result.StartError = GetLastError();
            return result;
        }
        inputWriter.Reset();  // the program reads to its end
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputReader ? inputReader.Get() : GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writer.Get();
    startup.hStdError = writer.Get();
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        folder.c_str(), &startup, &process)) {
        result.StartError = GetLastError();
        return result;
    }
    TKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    writer.Reset();
    inputReader.Reset();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reader.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        result.Text.append(buffer, got);
    DWORD code = 0;
    if (WaitForSingleObject(processHandle.Get(), 30000) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(processHandle.Get(), &code))
        result.ExitCode = code;
    return result;
}

}  // namespace qrv::test
