// A program that stands in for the command interpreter, or for any
// console program a command runs, in the tests of the user commands. Each
// run writes one record into the folder QRV_RECORD_DIR names: its command
// line, its working folder, its arguments as CommandLineToArgvW splits
// them, and the bytes of the batch file it was given after "/c" (when it
// names one). It runs nothing.

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

// The batch file of "/c file" (quotes removed), or empty.
std::wstring BatchFileOf(const std::wstring& commandLine)
{
    std::wstring plain;
    for (const wchar_t c : commandLine)
        if (c != L'"')
            plain += c;
    std::wstring lower = plain;
    CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    const size_t switchAt = lower.find(L"/c ");
    if (switchAt == std::wstring::npos)
        return {};
    std::wstring file = plain.substr(switchAt + 3);
    while (!file.empty() && file.front() == L' ')
        file.erase(0, 1);
    while (!file.empty() && file.back() == L' ')
        file.pop_back();
    if (file.size() < 4)
        return {};
    std::wstring tail = file.substr(file.size() - 4);
    CharLowerBuffW(tail.data(), 4);
    return tail == L".cmd" || tail == L".bat" ? file : std::wstring();
}

std::string FileBytesHex(const std::wstring& name)
{
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "missing";
    std::string hex;
    unsigned char buffer[4096];
    DWORD read = 0;
    static const char digits[] = "0123456789abcdef";
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        for (DWORD i = 0; i < read; ++i) {
            hex += digits[buffer[i] >> 4];
            hex += digits[buffer[i] & 15];
        }
    CloseHandle(file);
    return hex;
}

}  // namespace

int wmain()
{
    const std::wstring folder = Environment(L"QRV_RECORD_DIR");
    if (folder.empty())
        return 3;
    const std::wstring commandLine = GetCommandLineW();
    std::string record = "cmdline=" + Utf8(commandLine) + "\n";
    wchar_t current[MAX_PATH * 4] = {};
    GetCurrentDirectoryW(MAX_PATH * 4, current);
    record += "cwd=" + Utf8(current) + "\n";
    int count = 0;
    if (wchar_t** args = CommandLineToArgvW(commandLine.c_str(), &count)) {
        for (int i = 1; i < count; ++i)
            record += "arg=" + Utf8(args[i]) + "\n";
        LocalFree(args);
    }
    if (const std::wstring batch = BatchFileOf(commandLine); !batch.empty())
        record += "batch=" + FileBytesHex(batch) + "\n";
    // Written under a temporary name and renamed, so that a reader never
    // sees half a record.
    const std::wstring base =
        folder + L"\\rec-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring partial = base + L".part";
    const HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 4;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || !MoveFileW(partial.c_str(), (base + L".log").c_str()))
        return 5;
    return 0;
}
