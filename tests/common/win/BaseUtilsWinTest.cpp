#include "common/win/BaseUtilsWin.h"
#include "framework/SysUtils.h"
#include "framework/win/Menus.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;
using qrv::test::TestDir;

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

Handle OpenFile(const std::wstring& name, DWORD access, DWORD share)
{
    const HANDLE h = CreateFileW(name.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return Handle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// A folder with a hidden and a visible subfolder, each holding a file.
class BaseUtilsFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryW(dir.File(L"hidden").c_str(), nullptr));
        ASSERT_TRUE(SetFileAttributesW(dir.File(L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(CreateDirectoryW(dir.File(L"visible").c_str(), nullptr));
        hiddenFile = dir.Write(L"hidden\\a.txt", "abc");
        visibleFile = dir.Write(L"visible\\b.txt", "abcd");
    }
    void TearDown() override { SetFileAttributesW(dir.File(L"hidden").c_str(), FILE_ATTRIBUTE_NORMAL); }

    TestDir dir;
    std::wstring hiddenFile;
    std::wstring visibleFile;
};

}  // namespace

TEST_F(BaseUtilsFiles, IsPathHiddenLooksAtEveryFolderAboveTheRoot)
{
    EXPECT_TRUE(IsPathHidden(hiddenFile)) << "below a hidden folder";
    EXPECT_TRUE(IsPathHidden(dir.File(L"hidden\\")));
    EXPECT_TRUE(IsPathHidden(dir.File(L"hidden\\missing\\x.txt")));
    EXPECT_FALSE(IsPathHidden(visibleFile));
    EXPECT_FALSE(IsPathHidden(dir.File(L"visible\\missing.txt"))) << "a failed query is not hidden";
    EXPECT_FALSE(IsPathHidden(L"C:\\"));
    EXPECT_FALSE(IsPathHidden(L"C:"));
}

TEST_F(BaseUtilsFiles, ExistenceAndAttributes)
{
    EXPECT_TRUE(PathExists(visibleFile));
    EXPECT_TRUE(PathExists(dir.File(L"visible")));
    EXPECT_FALSE(PathExists(dir.File(L"nothing")));

    DWORD attr = 0;
    EXPECT_TRUE(DirExistsAttr(dir.File(L"visible"), attr));
    EXPECT_NE(attr & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(DirExistsAttr(visibleFile, attr));
    EXPECT_NE(attr, INVALID_FILE_ATTRIBUTES) << "a file: attributes, but no directory";
    EXPECT_FALSE(DirExistsAttr(dir.File(L"nothing"), attr));
    EXPECT_EQ(attr, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DirExists(dir.Path()));

    EXPECT_TRUE(FileExists(visibleFile));
    EXPECT_FALSE(FileExists(dir.File(L"visible"))) << "a folder is no file";
    EXPECT_FALSE(FileExists(dir.File(L"nothing")));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(DirExists(visibleFile));
}

TEST_F(BaseUtilsFiles, FullPathNamesAndTheTemporaryFolder)
{
    const std::wstring visible = dir.File(L"visible");
    EXPECT_EQ(FullPathName(dir.File(L"hidden\\..\\.\\visible")), visible);
    std::wstring slashes = visible;
    for (wchar_t& c : slashes)
        if (c == L'\\')
            c = L'/';
    EXPECT_EQ(FullPathName(slashes), visible);
    EXPECT_EQ(FullPathName(L""), L"");

    const std::wstring temp = TemporaryFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), L'\\');
    EXPECT_TRUE(DirExists(temp));
}

TEST_F(BaseUtilsFiles, CanOpenFileSharesWithWriters)
{
    EXPECT_TRUE(CanOpenFile(visibleFile));
    EXPECT_FALSE(CanOpenFile(dir.File(L"nothing.txt")));
    {
        const Handle writer = OpenFile(visibleFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(writer);
        EXPECT_TRUE(CanOpenFile(visibleFile)) << "another program writes the file";
    }
    const Handle exclusive = OpenFile(visibleFile, GENERIC_READ, 0);
    ASSERT_TRUE(exclusive);
    EXPECT_FALSE(CanOpenFile(visibleFile)) << "opened without sharing";
}

TEST_F(BaseUtilsFiles, FileSizeIs64Bits)
{
    EXPECT_EQ(GetFileSizeByName(visibleFile), 4u);
    EXPECT_EQ(GetFileSizeByName(dir.File(L"nothing")), 0u);

    const std::wstring big = dir.Write(L"big.bin", "");
    {
        const Handle file = OpenFile(big, GENERIC_WRITE, 0);
        ASSERT_TRUE(file);
        LARGE_INTEGER size;
        size.QuadPart = (int64_t{5} << 30) + 7;  // sparse on the test drive
        ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    EXPECT_EQ(GetFileSizeByName(big), (uint64_t{5} << 30) + 7);
}

TEST_F(BaseUtilsFiles, GetSearchRec)
{
    WIN32_FIND_DATAW rec;
    GetSearchRec(dir.File(L"visible\\*.txt"), rec);
    EXPECT_STREQ(rec.cFileName, L"b.txt");
    EXPECT_EQ(rec.nFileSizeLow, 4u);

    const std::wstring missing = dir.File(L"nothing.*");
    try {
        GetSearchRec(missing, rec);
        ADD_FAILURE() << "nothing raised";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"Dateiinformationen zu \"" + missing + L"\" nicht gefunden");
    }
    EXPECT_EQ(rec.cFileName[0], L'\0');
}

TEST(BaseUtilsWin, FindOnSearchPathIgnoresTheDirectory)
{
    const std::wstring found = FindOnSearchPath(L"notepad.exe");
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(SameText(ExtractFileName(found), L"notepad.exe")) << found;
    EXPECT_TRUE(PathExists(found));
    EXPECT_EQ(FindOnSearchPath(L"X:\\nowhere\\notepad.exe"), found);
    EXPECT_EQ(FindOnSearchPath(L"qrv-no-such-program.exe"), L"");
}

TEST(BaseUtilsWin, Win32ErrorText)
{
    EXPECT_EQ(Win32ErrorText(0), L"");
    const std::wstring text = Win32ErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(TrimRight(text), SysErrorMessage(ERROR_FILE_NOT_FOUND)) << "the system's own text";
    EXPECT_TRUE(text.ends_with(L"\n")) << "kept as the system gives it";
    EXPECT_EQ(Win32ErrorText(0x2ABCDEF), L"Win32-Fehlernummer: 44813807");
}

TEST(BaseUtilsWin, DiskSpaceOfDriveC)
{
    int64_t total = 0;
    int64_t free = 0;
    ASSERT_TRUE(GetDiskSpace(3, total, free));
    EXPECT_GT(total, 0);
    EXPECT_GE(free, 0);
    EXPECT_LE(free, total);
    EXPECT_GE(GetDiskFreeBytes(3), 0);
    EXPECT_TRUE(InternalGetDiskSpace(0, total, free)) << "the current drive";

    // A drive letter Wine does not map.
    EXPECT_FALSE(GetDiskSpace(17, total, free));
    EXPECT_EQ(total, -1);
    EXPECT_EQ(free, -1);
    EXPECT_EQ(GetDiskFreeBytes(17), -1);
    EXPECT_EQ(GetDiskFreeBytes(27), -1) << "no drive letter";
}

TEST(BaseUtilsWin, OemConversions)
{
    if (GetOEMCP() != 850 && GetOEMCP() != 437)
        GTEST_SKIP() << "needs a western OEM code page, this system has " << GetOEMCP();
    EXPECT_EQ(OemToWideStr("\x8E"
                           "rger"),
              L"Ärger");
    EXPECT_EQ(WideToOemStr(L"Ärger"), "\x8E"
                                      "rger");
    EXPECT_EQ(OemToWideStr(""), L"");
    // A box-drawing character has no place in the ANSI code page but
    // survives the direct way to UTF-16.
    EXPECT_EQ(OemToWideStr("\xC4"), L"\u2500");
    if (GetACP() == 1252) {
        EXPECT_EQ(OemToAnsiStr("\x8E"
                               "rger"),
                  "\xC4"
                  "rger");
        EXPECT_EQ(AnsiToOemStr("\xC4"
                               "rger"),
                  "\x8E"
                  "rger");
        EXPECT_EQ(OemToAnsiStr("a\xC4z").size(), 3u) << "same length";
    }
}

TEST(BaseUtilsWin, ShellInformation)
{
    const std::wstring windows = GetSpecialFolderPath(CSIDL_WINDOWS);
    ASSERT_FALSE(windows.empty());
    EXPECT_TRUE(DirExists(windows)) << windows;
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_DRIVES), L"") << "My Computer has no file-system path";

    EXPECT_GE(GetSysIconIndex(L"x.txt", FILE_ATTRIBUTE_NORMAL, SHGFI_SMALLICON), 0);
    EXPECT_GE(GetSysIconIndex(L"C:\\qrv-not-there", FILE_ATTRIBUTE_DIRECTORY, 0), 0) << "no disk access";

    SHFILEINFOW info{};
    info.iIcon = 99;
    info.szDisplayName[0] = L'x';
    EXPECT_EQ(SafeGetFileInfo(L"T:\\qrv-not-there\\x.txt", 0, SHGFI_DISPLAYNAME, info), 0u);
    EXPECT_EQ(info.iIcon, 0) << "cleared after a failure";
    EXPECT_EQ(info.szDisplayName[0], L'\0');
}

TEST(BaseUtilsWin, DosDateTimeToFileTimeAgreesWithTheSystem)
{
    const uint32_t packed[] = {
        (0x58CFu << 16) | 0x6DBD,  // 2024-06-15 13:45:58
        0x00210000,                // 1980-01-01 00:00
        0xFF9FBF7D,                // 2107-12-31 23:59:58
        (0x3A5Cu << 16) | 0x0001,  // 2009-02-28 00:00:02
    };
    for (uint32_t value : packed) {
        FILETIME system{}, ours{};
        ASSERT_TRUE(::DosDateTimeToFileTime(HIWORD(value), LOWORD(value), &system)) << std::hex << value;
        EXPECT_TRUE(qrv::DosDateTimeToFileTime(value, ours));
        EXPECT_EQ(ours.dwLowDateTime, system.dwLowDateTime) << std::hex << value;
        EXPECT_EQ(ours.dwHighDateTime, system.dwHighDateTime) << std::hex << value;
    }
    FILETIME invalid{1, 1};
    EXPECT_FALSE(qrv::DosDateTimeToFileTime(0, invalid)) << "0 is no date";
    EXPECT_EQ(invalid.dwLowDateTime, 0u);
    EXPECT_EQ(invalid.dwHighDateTime, 0u);
}

TEST(BaseUtilsWin, NextMenuAccelCountsOrdinaryItems)
{
    TMenuItem menu(nullptr);
    auto add = [&](const wchar_t* caption, intptr_t tag) {
        auto* item = new TMenuItem(nullptr);
        item->SetCaption(caption);
        item->Tag = tag;
        menu.Add(item);
    };
    EXPECT_EQ(NextMenuAccel(menu), L"&1  ");
    add(L"Verwalten...", -1);
    add(L"-", 0);
    EXPECT_EQ(NextMenuAccel(menu), L"&1  ") << "negative tags and lines do not count";
    for (int i = 0; i < 9; ++i)
        add(L"C:\\", i);
    EXPECT_EQ(NextMenuAccel(menu), L"&A  ");
    for (int i = 0; i < 24; ++i)
        add(L"D:\\", i);
    EXPECT_EQ(NextMenuAccel(menu), L"    ");
}

TEST(BaseUtilsWin, ShortenPathMeasuresWithTheDeviceContext)
{
    const HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    const std::wstring path = L"C:\\Programme\\Gemeinsame Dateien\\System\\datei.txt";
    SIZE full{}, part{};
    GetTextExtentPoint32W(dc, path.c_str(), static_cast<int>(path.size()), &full);
    const std::wstring expected = L"C:\\...\\System\\datei.txt";
    GetTextExtentPoint32W(dc, expected.c_str(), static_cast<int>(expected.size()), &part);
    EXPECT_EQ(ShortenPathToWidth(path, dc, full.cx), path);
    EXPECT_EQ(ShortenPathToWidth(path, dc, part.cx), expected);
    EXPECT_EQ(ShortenPathToWidth(path, dc, 0), L"datei.txt");
    ReleaseDC(nullptr, dc);
}
