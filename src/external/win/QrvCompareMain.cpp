// qrvcompare.exe: a stand-in for an external compare program. Started with
// two file names, it compares them byte by byte and shows the result; with
// QRV_COMPARE_LOG naming a file it shows nothing and appends its raw command
// line, the arguments as it parsed them and its working directory to that
// file, as one UTF-8 line. Exit code 0 equal, 1 different, 2 trouble.

#include "framework/win/Handles.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Environment(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::wstring CurrentDirectory()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(size, L'\0');
    dir.resize(GetCurrentDirectoryW(size, dir.data()));
    return dir;
}

// The arguments after the program's own name.
std::vector<std::wstring> Arguments(const wchar_t* commandLine)
{
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine, &count);
    if (!argv)
        return args;
    for (int i = 1; i < count; ++i)
        args.emplace_back(argv[i]);
    LocalFree(argv);
    return args;
}

int WriteLog(const std::wstring& logFile, const std::wstring& raw, const std::vector<std::wstring>& args)
{
    std::wstring line = L"raw=" + raw + L"\targs=";
    for (size_t i = 0; i < args.size(); ++i)
        line += (i ? L"|" : L"") + args[i];
    line += L"\tcwd=" + CurrentDirectory() + L"\n";
    const qrv::TFileHandle file(CreateFileW(logFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 2;
    const std::string bytes = Utf8(line);
    DWORD written = 0;
    const bool ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return ok ? 0 : 2;
}

// 0 equal, 1 different, 2 a file cannot be read.
int CompareFiles(const std::wstring& a, const std::wstring& b)
{
    FILE* fa = _wfopen(a.c_str(), L"rb");
    FILE* fb = fa ? _wfopen(b.c_str(), L"rb") : nullptr;
    int result = 2;
    if (fa && fb) {
        std::vector<char> ba(1 << 16), bb(1 << 16);
        result = 0;
        for (;;) {
            const size_t na = fread(ba.data(), 1, ba.size(), fa);
            const size_t nb = fread(bb.data(), 1, bb.size(), fb);
            if (ferror(fa) || ferror(fb)) {
                result = 2;
                break;
            }
            if (na != nb || std::char_traits<char>::compare(ba.data(), bb.data(), na) != 0) {
                result = 1;
                break;
            }
            if (na == 0)
                break;
        }
    }
    if (fa)
        fclose(fa);
    if (fb)
        fclose(fb);
    return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    const std::wstring raw = GetCommandLineW();
    const std::vector<std::wstring> args = Arguments(raw.c_str());
    const std::wstring logFile = Environment(L"QRV_COMPARE_LOG");
    if (!logFile.empty())
        return WriteLog(logFile, raw, args);
    if (args.size() != 2) {
        MessageBoxW(nullptr, L"Aufruf: qrvcompare Datei1 Datei2", L"qrvcompare", MB_OK | MB_ICONERROR);
        return 2;
    }
    const int result = CompareFiles(args[0], args[1]);
    const wchar_t* text = result == 0   ? L"Die Dateien sind gleich."
                          : result == 1 ? L"Die Dateien sind verschieden."
                                        : L"Eine der Dateien kann nicht gelesen werden.";
    MessageBoxW(nullptr, (std::wstring(text) + L"\n\n" + args[0] + L"\n" + args[1]).c_str(), L"qrvcompare",
                MB_OK | (result == 2 ? MB_ICONERROR : MB_ICONINFORMATION));
    return result;
}
