#pragma once
// A program of the tests running beside the test program, with its input
// and output in pipes: the other process of the tests that need two.

#include "framework/win/Handles.h"
#include "win/MessagePump.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace qrv::test {

// A program built into the test program's own folder.
inline std::wstring BesideTheTests(const wchar_t* program)
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

}  // namespace qrv::test
