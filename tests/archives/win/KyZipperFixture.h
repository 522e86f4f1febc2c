#pragma once
// What the zip component's Wine tests share: a tree of files to pack on the
// test drive, reading and writing files and trees, and a component that
// records its messages.

#include "TestDir.h"
#include "archives/win/KyZipper.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace qrv::test {

namespace fs = std::filesystem;

using TTree = std::map<std::wstring, std::string>;

inline std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void Write(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

inline TTree ReadTree(const fs::path& root)
{
    TTree tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(root).wstring()] = Read(entry.path());
    return tree;
}

// The same files with the same bytes; a difference is named, not dumped.
inline void ExpectSameTree(const TTree& actual, const TTree& expected)
{
    std::vector<std::wstring> actualNames, expectedNames;
    for (const auto& entry : actual)
        actualNames.push_back(entry.first);
    for (const auto& entry : expected)
        expectedNames.push_back(entry.first);
    ASSERT_EQ(actualNames, expectedNames);
    for (const auto& [name, bytes] : expected)
        EXPECT_TRUE(actual.at(name) == bytes) << "differs: " << fs::path(name).string();
}

inline std::string RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}

// The Linux path of a file on a Wine drive; "" when not under Wine.
inline std::string UnixPath(const fs::path& file)
{
    using TToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<TToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = toUnix ? toUnix(fs::absolute(file).wstring().c_str()) : nullptr;
    if (!name)
        return {};
    std::string path = name;
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

// Runs a Linux shell command (no double quotes in it) from the Wine test
// and returns its exit code, -1 when it could not run. Wine starts Linux
// programs but hands back no process to wait for (the handle it returns is
// never signalled by their end) and does not pass their exit code on: the
// shell writes the code into a file under another name and renames it when
// done, so the file's appearing is the command's end, with the code whole.
inline int RunLinuxShell(const std::string& command, const fs::path& folder)
{
    const fs::path codeFile = folder / "exit-code.txt";
    const std::string codePath = UnixPath(codeFile);
    if (codePath.empty())
        return -1;
    std::error_code ignored;
    fs::remove(codeFile, ignored);
    const std::string line = "/bin/sh -c \"" + command + "; echo $? > '" + codePath + ".part' && mv '" + codePath +
                             ".part' '" + codePath + "'\"";
    std::wstring wide(line.begin(), line.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    // However long a loaded machine takes; the bound only ends a command
    // that never ends, well inside the test's own time limit.
    const ULONGLONG deadline = GetTickCount64() + 120000;
    while (!fs::exists(codeFile) && GetTickCount64() < deadline)
        Sleep(20);
    const std::string code = Read(codeFile);
    return code.empty() ? -1 : std::stoi(code);
}

// "unzip -tqq" of an archive with a password, for the entries named.
inline int UnzipTest(const fs::path& archive, const std::string& password, const std::string& entries = {})
{
    return RunLinuxShell("unzip -tqq -P '" + password + "' '" + UnixPath(archive) + "' " + entries + " >/dev/null 2>&1",
                         archive.parent_path());
}

inline std::wstring Name(const ZipDirEntry& entry)
{
    return std::wstring(entry.FileName.begin(), entry.FileName.end());
}

class KyZipperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zipper.Unattended = true;
        zipper.OnMessage = [this](TComponent*, int, const std::wstring& text) { messages.push_back(text); };
        // The tree to pack: text, incompressible data, a file to encrypt.
        std::string text;
        for (int i = 0; i < 4000; ++i)
            text += "Zeile " + std::to_string(i) + "\n";
        tree = {{L"text\\long.txt", text},
                {L"text\\deep\\short.txt", "kurz"},
                {L"data.bin", RandomBytes(70000, 7)},
                {L"secret.txt", "geheim und verschluesselt\n"}};
        for (const auto& [name, bytes] : tree)
            Write(source / name, bytes);
    }

    // Packs the tree into archive.zip: the folder recursively, secret.txt by ">".
    void AddTree()
    {
        zipper.SetZipFileName(archive.wstring());
        zipper.RootDir = source.wstring();
        zipper.AddCompLevel = 9;
        zipper.AddOptions = AddDirNames | AddRecurseDirs;
        zipper.Password = L"Passwort";
        zipper.FSpecArgs = {L"text\\*.*", L"data.bin", L">secret.txt"};
        ASSERT_EQ(zipper.Add(), 0) << (messages.empty() ? L"" : messages.back());
        ASSERT_EQ(zipper.SuccessCnt(), int(tree.size()));
        ASSERT_EQ(zipper.Count(), int(tree.size()));
    }

    TestDir dir;
    fs::path root{dir.Path()};
    fs::path source = root / "src";
    fs::path archive = root / "archive.zip";
    TTree tree;
    TKyZipper zipper{nullptr};
    std::vector<std::wstring> messages;
};

}  // namespace qrv::test
