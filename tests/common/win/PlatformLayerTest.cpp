// The platform layer's own questions: temporary files, library loading with
// typed binding, and file attributes of what exists and what does not.
#include "common/win/FileQueries.h"
#include "common/win/Library.h"
#include "common/win/TempFiles.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;
using qrv::test::TestDir;

TEST(PlatformLayer, ATemporaryFileIsCreatedEmptyInItsFolderOrNotAtAll)
{
    const TestDir dir;
    const std::wstring first = CreateTemporaryFile(dir.Path(), L"qrv");
    const std::wstring second = CreateTemporaryFile(dir.Path(), L"qrv");
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second) << "each name is new";
    EXPECT_EQ(first.rfind(dir.File(L"qrv"), 0), 0u) << "in the folder, with the prefix";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(FileAttributeData(first, data));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(FileExists(first));

    EXPECT_EQ(CreateTemporaryFile(dir.File(L"fehlt"), L"qrv"), L"") << "a missing folder gives no file";
    EXPECT_FALSE(FileAttributeData(dir.File(L"fehlt"), data));
    EXPECT_EQ(data.dwFileAttributes, 0u) << "cleared on failure";
    EXPECT_EQ(FileAttributes(dir.File(L"fehlt")), INVALID_FILE_ATTRIBUTES);

    const std::wstring temp = TemporaryFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), L'\\');
    EXPECT_TRUE(DirExists(temp));
}

// Many paths of one folder are answered from one reading of it: the same
// answers as one question each, names of another case, short names, a
// folder among the files, a trailing dot and a missing folder included.
TEST(PlatformLayer, PathsOfOneFolderExistAsEachOneAnswers)
{
    const TestDir dir;
    std::vector<std::wstring> paths;
    for (int i = 0; i < 20; ++i) {
        dir.Write(L"datei" + std::to_wstring(i) + L".txt", "x");
        paths.push_back(dir.File(L"datei" + std::to_wstring(i) + L".txt"));
        paths.push_back(dir.File(L"fehlt" + std::to_wstring(i) + L".txt"));
    }
    dir.Write(L"Ein langer Dateiname.text", "x");
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Ordner").c_str(), nullptr));
    wchar_t shortName[MAX_PATH] = L"";
    GetShortPathNameW(dir.File(L"Ein langer Dateiname.text").c_str(), shortName, MAX_PATH);
    for (const std::wstring& path :
         {dir.File(L"DATEI3.TXT"), dir.File(L"Ordner"), dir.File(L"ordner\\"), dir.File(L"datei4.txt."),
          dir.File(L"Ein langer Dateiname.text"), std::wstring(shortName), dir.File(L"fehlt\\datei1.txt"),
          dir.File(L"datei*.txt"), dir.Path()})
        paths.push_back(path);
    const std::vector<bool> exist = PathsExist(paths);
    ASSERT_EQ(exist.size(), paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(exist[i], PathExists(paths[i])) << paths[i];
    EXPECT_TRUE(exist[0]);
    EXPECT_FALSE(exist[1]);
}

TEST(PlatformLayer, ALibraryIsBoundByTypeAndFreedWithItsGuard)
{
    using TGetTickCount = DWORD(WINAPI*)();
    TGetTickCount tickCount = nullptr;
    {
        const TModuleHandle library = LoadLibraryQuietly(L"kernel32.dll");
        ASSERT_TRUE(library);
        ASSERT_TRUE(Bind(library.Get(), "GetTickCount", tickCount));
        EXPECT_GT(tickCount(), 0u);
        EXPECT_FALSE(Bind(library.Get(), "KeinSolcherEinsprung", tickCount));
        EXPECT_EQ(tickCount, nullptr) << "a missing entry point binds to nothing";
        const std::wstring name = ModuleFileName(library.Get());
        EXPECT_NE(name.find(L"kernel32"), std::wstring::npos) << name.size();
    }
    EXPECT_FALSE(LoadLibraryQuietly(L"KeineSolcheBibliothek.dll")) << "no box, no module";
    EXPECT_FALSE(LoadSystemLibrary(L"KeineSolcheBibliothek.dll"));
    EXPECT_TRUE(LoadSystemLibrary(L"cabinet.dll"));
    const std::wstring program = ModuleFileName(nullptr);
    ASSERT_GT(program.size(), 4u);
    EXPECT_EQ(program.substr(program.size() - 4), L".exe");
}
