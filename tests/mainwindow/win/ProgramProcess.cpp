#include "ProgramProcess.h"

#include <map>

namespace qrv::test {

std::wstring ProgramPath()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Quorvan32.exe";
}

namespace {

// The environment block of this process with the given changes.
std::wstring EnvironmentBlock(const std::vector<std::wstring>& changes)
{
    std::map<std::wstring, std::wstring> variables;  // by upper-cased name
    std::map<std::wstring, std::wstring> spelled;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
        std::wstring entry = p;
        const size_t eq = entry.find(L'=', 1);
        if (eq == std::wstring::npos)
            continue;
        std::wstring key = entry.substr(0, eq);
        std::wstring upper = key;
        CharUpperW(upper.data());
        variables[upper] = entry.substr(eq + 1);
        spelled[upper] = key;
    }
    FreeEnvironmentStringsW(block);
    for (const std::wstring& change : changes) {
        const size_t eq = change.find(L'=');
        std::wstring key = change.substr(0, eq);
        std::wstring upper = key;
        CharUpperW(upper.data());
        const std::wstring value = change.substr(eq + 1);
        if (value.empty()) {
            variables.erase(upper);
        } else {
            variables[upper] = value;
            spelled[upper] = key;
        }
    }
    std::wstring result;
    for (const auto& [upper, value] : variables) {
        result += spelled[upper] + L"=" + value;
        result.push_back(L'\0');
    }
    result.push_back(L'\0');
    return result;
}

struct Search {
    DWORD process;
    const std::wstring* className;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s->process || !IsWindowVisible(window))
        return TRUE;
    wchar_t text[256];
    if (s->className) {
        GetClassNameW(window, text, 256);
        if (*s->className != text)
            return TRUE;
    }
    if (s->caption) {
        GetWindowTextW(window, text, 256);
        if (*s->caption != text)
            return TRUE;
    }
    s->found = window;
    return FALSE;
}

HWND WaitFor(DWORD process, const std::wstring* className, const std::wstring* caption, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        Search search{process, className, caption, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::wstring& arguments, const std::vector<std::wstring>& environment)
{
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::wstring block = EnvironmentBlock(environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, block.data(),
                        nullptr, &startup, &process_))
        process_ = PROCESS_INFORMATION{};
}

ProgramProcess::~ProgramProcess()
{
    if (!process_.hProcess)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND ProgramProcess::WaitForWindow(const std::wstring& className, DWORD timeoutMs) const
{
    return WaitFor(process_.dwProcessId, &className, nullptr, timeoutMs);
}

HWND ProgramProcess::WaitForCaption(const std::wstring& caption, DWORD timeoutMs) const
{
    return WaitFor(process_.dwProcessId, nullptr, &caption, timeoutMs);
}

DWORD ProgramProcess::CloseAndWait(HWND mainWindow, DWORD timeoutMs)
{
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD exitCode = 0;
    GetExitCodeProcess(process_.hProcess, &exitCode);
    return exitCode;
}

}  // namespace qrv::test
