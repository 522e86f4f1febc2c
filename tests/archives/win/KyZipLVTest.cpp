#include "archives/win/KyZipLV.h"
#include "TestDir.h"
#include "archives/ArchiveError.h"
#include "archives/KyRarArc.h"
#include "common/BaseUtils.h"
#include "external/AceFixture.h"
#include "external/RarFixture.h"
#include "framework/FilePath.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "win/ProcessOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace qrv;
using namespace qrv::external;
namespace fs = std::filesystem;

namespace {

std::wstring HeaderText(HWND list, int column)
{
    wchar_t buffer[64] = L"";
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT;
    lvc.pszText = buffer;
    lvc.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
    return buffer;
}

int HeaderCount(HWND list)
{
    return static_cast<int>(SendMessageW(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
}

class KyZipLVTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zip = new TKyZipLV(&form);
        zip->SetParent(&form);
        form.HandleNeeded();
        window = zip->Handle();
    }
    TForm form{nullptr};
    TKyZipLV* zip = nullptr;
    HWND window = nullptr;
};

}  // namespace

TEST_F(KyZipLVTest, FiveColumnsFromTheWidthProperties)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_OWNERDATA);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    EXPECT_FALSE(style & LVS_EDITLABELS);

    ASSERT_EQ(HeaderCount(window), 5);
    const std::pair<const wchar_t*, int> columns[] = {
        {L"Name", 150}, {L"Größe", 80}, {L"Typ", 100}, {L"geändert am", 120}, {L"Pfad", 150}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(HeaderText(window, i), columns[i].first);
        EXPECT_EQ(SendMessageW(window, LVM_GETCOLUMNWIDTH, i, 0), columns[i].second);
        EXPECT_EQ(zip->ColWidth(i), columns[i].second) << "a width of 0 takes the default";
    }

    zip->SetColWidthSize(99);
    EXPECT_EQ(SendMessageW(window, LVM_GETCOLUMNWIDTH, 1, 0), 99);
    SendMessageW(window, LVM_SETCOLUMNWIDTH, 4, MAKELPARAM(222, 0));  // the user drags
    EXPECT_EQ(zip->ColWidthPath(), 150);
    zip->StoreColumnWidths();
    EXPECT_EQ(zip->ColWidthPath(), 222);

    EXPECT_TRUE(zip->SetColumnOrder({4, 3, 2, 1, 0}));
    std::array<int, 5> order{};
    EXPECT_TRUE(zip->GetColumnOrder(order));
    EXPECT_EQ(order, (std::array<int, 5>{4, 3, 2, 1, 0}));

    // A new window is built from the properties again.
    zip->RecreateWnd();
    window = zip->Handle();
    EXPECT_EQ(HeaderCount(window), 5);
    EXPECT_EQ(SendMessageW(window, LVM_GETCOLUMNWIDTH, 4, 0), 222);
    order = {};
    EXPECT_TRUE(zip->GetColumnOrder(order));
    EXPECT_EQ(order, (std::array<int, 5>{4, 3, 2, 1, 0}));

    zip->ClearColumns();
    EXPECT_FALSE(zip->GetColumnOrder(order)) << "acts only on five columns";
    EXPECT_FALSE(zip->SetColumnOrder({0, 1, 2, 3, 4}));
}

TEST_F(KyZipLVTest, MaskFilterAndLibraryFolder)
{
    EXPECT_EQ(zip->Mask(), L"*.*");
    zip->SetMask(L" *.TXT, *.c ");
    EXPECT_EQ(zip->Mask(), L"*.txt;*.c");
    EXPECT_EQ(HeaderText(window, 0), L"Name (*.txt;*.c)");
    zip->SetShowMaskInHeader(false);
    EXPECT_EQ(HeaderText(window, 0), L"Name");
    zip->SetShowMaskInHeader(true);
    zip->SetMask(L"");
    EXPECT_EQ(HeaderText(window, 0), L"Name");

    EXPECT_EQ(zip->SelFileSizeTo, 2147483647u);
    EXPECT_EQ(zip->SelFileDateFrom, 33);
    EXPECT_EQ(zip->SelFileDateTo, 61343);
    EXPECT_EQ(zip->SelHidden, TSelAttr::SelDontCare);
    EXPECT_TRUE(zip->PreserveDirs());
    EXPECT_EQ(zip->SortColumn(), 0);
    EXPECT_TRUE(zip->SortAscending());

    zip->SetDLLDirectory(L"C:\\Programme\\Quorvan");
    EXPECT_EQ(zip->DLLDirectory(), L"C:\\Programme\\Quorvan\\");
    zip->SetDLLDirectory(L"C:\\Programme\\Quorvan\\");
    EXPECT_EQ(zip->DLLDirectory(), L"C:\\Programme\\Quorvan\\");
    zip->SetDLLDirectory(L"");
    EXPECT_EQ(zip->DLLDirectory(), L"");
}

namespace {

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return ExtractFilePath(path);
}

std::string ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// A row's five texts as the control hands them out.
std::vector<std::wstring> Row(HWND list, int item)
{
    std::vector<std::wstring> texts;
    for (int column = 0; column < 5; ++column) {
        wchar_t buffer[512] = L"";
        LVITEMW lvi{};
        lvi.iSubItem = column;
        lvi.pszText = buffer;
        lvi.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
        texts.push_back(buffer);
    }
    return texts;
}

std::vector<std::wstring> Column(HWND list, int column)
{
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        texts.push_back(Row(list, i)[static_cast<size_t>(column)]);
    return texts;
}

// The shell's type name of a name, as an oracle for the type column.
std::wstring ShellTypeName(const std::wstring& name, const std::wstring& ext)
{
    SHFILEINFOW info{};
    SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME);
    return info.szTypeName[0] ? std::wstring(info.szTypeName) : ext;
}

uint64_t LastWrite(const fs::path& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    return (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

constexpr uint32_t Dos(int year, int month, int day, int hour, int minute)
{
    return uint32_t(((year - 1980) << 9) | (month << 5) | day) << 16 | uint32_t((hour << 11) | (minute << 5));
}

class ZipLVArchiveTest : public KyZipLVTest {
protected:
    void SetUp() override
    {
        KyZipLVTest::SetUp();
        zip->SetDLLDirectory(ProgramFolder());
        zip->OnDirUpdate = [this](TComponent*) { ++dirUpdates; };
    }

    std::wstring Rar(const std::string& name = "a.rar")
    {
        TRarFixtureEntry secret{"sub\\secret.txt", "sealed", Dos(2021, 2, 3, 4, 5)};
        secret.Encrypted = true;
        TRarFixtureEntry folder{"sub", "", Dos(2021, 2, 3, 4, 5), 0x10};
        folder.Directory = true;
        WriteBytes(root / name, BuildRarFixture({
                                    {"readme.txt", std::string(1234, 'r'), Dos(2024, 5, 6, 7, 8)},
                                    folder,
                                    secret,
                                    {"sub\\A.TXT", std::string(5, 'a'), Dos(2019, 12, 31, 23, 58)},
                                    {"zeta.bmp", std::string(3, 'z'), Dos(2020, 1, 1, 0, 0)},
                                }));
        return FromFsPath(root / name);
    }

    test::TestDir dir;
    fs::path root = FsPath(dir.Path());
    int dirUpdates = 0;
};

}  // namespace

TEST_F(ZipLVArchiveTest, RarEntriesInFiveColumns)
{
    const std::wstring name = Rar();
    zip->OpenArchive(name);
    EXPECT_EQ(zip->ArchiveKind(), akRAR);
    EXPECT_EQ(zip->GetArchiveName(), name);
    EXPECT_FALSE(zip->IsZipOpen());
    EXPECT_EQ(dirUpdates, 1);
    // Sorted by name; the folder entry never shows.
    ASSERT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(Column(window, 0), (std::vector<std::wstring>{L"A.TXT", L"readme.txt", L"secret.txt+", L"zeta.bmp"}));
    const std::vector<std::wstring> a = Row(window, 0);
    EXPECT_EQ(a[1], L"5");
    EXPECT_EQ(a[2], ShellTypeName(L"A.TXT", L"TXT"));
    EXPECT_NE(a[3].find(L"2019"), std::wstring::npos);
    EXPECT_NE(a[3].find(L"23:58"), std::wstring::npos);
    EXPECT_NE(a[3].find(L"31"), std::wstring::npos);
    EXPECT_EQ(a[4], L"sub\\");
    const std::vector<std::wstring> readme = Row(window, 1);
    EXPECT_EQ(readme[1], L"1.234");
    EXPECT_EQ(readme[4], L"");
    EXPECT_EQ(zip->Items().TotalSize(), 1234u + 6 + 5 + 3);

    zip->SetAbbreviatedSize(true);
    EXPECT_EQ(Row(window, 1)[1], L"1 KB");
    // Sorted by type, switching to extensions sorts again.
    zip->SetSortColumn(zcType);
    const std::vector<std::wstring> byTypeName = Column(window, 0);
    zip->SetSortByExtension(true);
    EXPECT_EQ(Column(window, 2), (std::vector<std::wstring>{L"BMP", L"TXT", L"TXT", L"TXT"}));
    zip->SetSortByExtension(false);
    EXPECT_EQ(Column(window, 0), byTypeName);
    zip->SetSortColumn(zcName);
    zip->SetSortByExtension(true);
    EXPECT_EQ(Row(window, 3)[2], L"BMP");
    zip->SetShowExtension(false);
    zip->SetFileNameDisplay(TFileNameDisplay::fndCap);
    EXPECT_EQ(Row(window, 2)[0], L"SECRET+");

    // Opening the open name again does nothing; '' closes.
    zip->OpenArchive(name);
    EXPECT_EQ(dirUpdates, 1);
    zip->OpenArchive(L"");
    EXPECT_EQ(zip->ArchiveKind(), akNone);
    EXPECT_EQ(zip->GetArchiveName(), L"");
    EXPECT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(zip->Items().TotalSize(), 0u);
}

TEST_F(ZipLVArchiveTest, MissingAndInvalidArchives)
{
    const std::wstring missing = FromFsPath(root / "gone.rar");
    try {
        zip->OpenArchive(missing);
        ADD_FAILURE() << "no exception";
    } catch (const EArchiveError& e) {
        EXPECT_EQ(e.Message(), L"RAR-Archive können nicht angelegt oder geändert werden.");
    }
    EXPECT_EQ(zip->ArchiveKind(), akRAR);
    EXPECT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 0);

    // A file of no archive kind is refused, not shown as an empty archive.
    WriteBytes(root / "notes.txt", "text");
    try {
        zip->OpenArchive(FromFsPath(root / "notes.txt"));
        ADD_FAILURE() << "no exception";
    } catch (const EArchiveError& e) {
        EXPECT_EQ(e.Message(), FromFsPath(root / "notes.txt") + L" ist kein gültiges Archiv.");
    }
    EXPECT_EQ(zip->ArchiveKind(), akNone);

    // Zip files too short for an archive keep their bytes and time; an
    // empty one opens as an empty archive.
    for (const size_t size : {0u, 10u, 21u, 300u}) {
        const fs::path file = root / ("x" + std::to_string(size) + ".zip");
        WriteBytes(file, std::string(size, 'q'));
        const uint64_t time = LastWrite(file);
        Sleep(20);
        if (size == 0) {
            EXPECT_NO_THROW(zip->OpenArchive(FromFsPath(file)));
            EXPECT_EQ(zip->ArchiveKind(), akZip);
            EXPECT_TRUE(zip->IsZipOpen());
            EXPECT_EQ(zip->Messages().Count(), 0);
        } else {
            try {
                zip->OpenArchive(FromFsPath(file));
                ADD_FAILURE() << "no exception for " << size;
            } catch (const EArchiveError& e) {
                EXPECT_EQ(e.Message(), FromFsPath(file) + L" ist kein gültiges Archiv.");
            }
            EXPECT_EQ(zip->ArchiveKind(), akNone);
        }
        EXPECT_EQ(ReadBytes(file), std::string(size, 'q'));
        EXPECT_EQ(LastWrite(file), time);
        EXPECT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 0);
    }
}

TEST_F(ZipLVArchiveTest, KindsOfArchives)
{
    const fs::path fixture = FsPath(ProgramFolder()) / "zip_r_crypt_stub.zip";
    const std::string zipBytes = ReadBytes(fixture);
    ASSERT_FALSE(zipBytes.empty());
    WriteBytes(root / "sfx.exe", zipBytes);
    WriteBytes(root / "comment.exe", zipBytes + std::string(5000, 'c'));
    WriteBytes(root / "plain.exe", std::string(10000, 'M'));
    TRarFixtureOptions stub;
    stub.Stub = std::string(9000, 'M');
    WriteBytes(root / "rar.exe", BuildRarFixture({{"a.txt", "aaa"}}, stub));
    WriteBytes(root / "a.ace", BuildAceFixture({{"b.txt", "bbb"}}));
    WriteBytes(root / "zip.cab", zipBytes);
    int errors = 0;
    zip->OnMessage = [&](TComponent*, int, const std::wstring&) { ++errors; };
    EXPECT_EQ(zip->GetArchiveType(FromFsPath(fixture)), akZip);
    EXPECT_EQ(zip->GetArchiveType(FromFsPath(root / "sfx.exe")), akZip);
    EXPECT_EQ(zip->GetArchiveType(FromFsPath(root / "comment.exe")), akZip);
    EXPECT_EQ(zip->GetArchiveType(FromFsPath(root / "plain.exe")), akNone);
    EXPECT_EQ(zip->GetArchiveType(FromFsPath(root / "rar.exe")), akRAR);
    EXPECT_EQ(zip->GetArchiveType(FromFsPath(root / "a.ace")), akACE);
    EXPECT_EQ(zip->GetArchiveType(FromFsPath(root / "zip.cab")), akNone);
    EXPECT_EQ(errors, 0);

    // The RAR reader reports again after the detection: a damaged archive
    // lists nothing and says why.
    WriteBytes(root / "bad.rar", "not a rar archive at all");
    EXPECT_NO_THROW(zip->OpenArchive(FromFsPath(root / "bad.rar")));
    EXPECT_EQ(zip->ArchiveKind(), akRAR);
    EXPECT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_GT(errors, 0);
    EXPECT_GT(zip->Messages().Count(), 0);
}

TEST_F(ZipLVArchiveTest, CabinetAndAceEntries)
{
    const fs::path cabinet = FsPath(ProgramFolder()) / "gcab_sub_utf8.cab";
    zip->OpenArchive(FromFsPath(cabinet));
    EXPECT_EQ(zip->ArchiveKind(), akCabinet);
    ASSERT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Column(window, 0), (std::vector<std::wstring>{L"Größe.txt", L"long.txt", L"x.bin"}));
    EXPECT_EQ(Column(window, 4), (std::vector<std::wstring>{L"sub\\", L"", L"sub\\"}));
    EXPECT_EQ(Column(window, 1)[2], L"3.000");
    EXPECT_NE(Column(window, 3)[1].find(L"2024"), std::wstring::npos);
    EXPECT_NE(Column(window, 3)[1].find(L"07:08"), std::wstring::npos);

    TAceFixtureEntry folder{"docs", "", Dos(2022, 3, 4, 5, 6), 0x10};
    TAceFixtureEntry hidden{"docs\\note.txt", "n", Dos(2022, 3, 4, 5, 6)};
    hidden.Encrypted = true;
    WriteBytes(root / "b.ace", BuildAceFixture({{"readme.txt", "hello"}, folder, hidden}));
    zip->OpenArchive(FromFsPath(root / "b.ace"));
    EXPECT_EQ(zip->ArchiveKind(), akACE);
    EXPECT_EQ(Column(window, 0), (std::vector<std::wstring>{L"note.txt+", L"readme.txt"}));
    EXPECT_EQ(Column(window, 4), (std::vector<std::wstring>{L"docs\\", L""}));
    EXPECT_EQ(Column(window, 1), (std::vector<std::wstring>{L"1", L"5"}));
    EXPECT_EQ(zip->Messages().Count(), 0) << "closing the cabinet is no news";
    EXPECT_NE(Column(window, 3)[0].find(L"05:06"), std::wstring::npos);
}

TEST_F(ZipLVArchiveTest, MaskReopensAndFilters)
{
    const std::wstring name = Rar();
    zip->OpenArchive(name);
    zip->SetMask(L"*.txt");
    EXPECT_EQ(zip->GetArchiveName(), name);
    EXPECT_EQ(dirUpdates, 2);
    EXPECT_EQ(Column(window, 0), (std::vector<std::wstring>{L"A.TXT", L"readme.txt", L"secret.txt+"}));
    EXPECT_EQ(HeaderText(window, 0), L"Name (*.txt)");
    zip->SelFileDateFrom = static_cast<uint16_t>(Dos(2021, 1, 1, 0, 0) >> 16);
    zip->SetMask(L"*.txt;*.bmp");
    EXPECT_EQ(Column(window, 0), (std::vector<std::wstring>{L"readme.txt", L"secret.txt+"}));
}

TEST_F(ZipLVArchiveTest, SortingKeepsTheSelectionOnItsEntries)
{
    zip->OpenArchive(Rar());
    ASSERT_EQ(Column(window, 0)[1], L"readme.txt");
    zip->SetSelected(1, true);
    zip->SetSelected(3, true);
    EXPECT_EQ(zip->Items().SelCount(), 2);
    EXPECT_EQ(zip->Items().SelSize(), 1234u + 3);

    zip->SetSortColumn(zcSize);  // 3, 5, 6, 1234
    EXPECT_EQ(Column(window, 0), (std::vector<std::wstring>{L"zeta.bmp", L"A.TXT", L"secret.txt+", L"readme.txt"}));
    EXPECT_TRUE(zip->Selected(0));
    EXPECT_TRUE(zip->Selected(3));
    EXPECT_FALSE(zip->Selected(1));
    EXPECT_EQ(zip->SelCount(), 2);
    zip->SetSortAscending(false);
    EXPECT_TRUE(zip->Selected(0));
    EXPECT_TRUE(zip->Selected(3));
    EXPECT_EQ(Column(window, 0)[0], L"readme.txt");

    zip->SetSortColumn(zcPath);
    zip->SetSortAscending(true);
    EXPECT_EQ(Column(window, 0), (std::vector<std::wstring>{L"readme.txt", L"zeta.bmp", L"A.TXT", L"secret.txt+"}));
    EXPECT_TRUE(zip->Selected(0));
    EXPECT_TRUE(zip->Selected(1));

    zip->InvertSelection();
    EXPECT_EQ(zip->SelCount(), 2);
    EXPECT_EQ(zip->Items().SelSize(), 5u + 6);
    zip->SelectAll();
    EXPECT_EQ(zip->SelCount(), 4);
    EXPECT_EQ(zip->Items().SelCount(), 4);
}

TEST_F(ZipLVArchiveTest, TypingFindsTheNextName)
{
    zip->OpenArchive(Rar());
    SetFocus(window);
    zip->SetItemFocused(0);
    // A repeat count of 1 in the key data, as the keyboard sends it.
    SendMessageW(window, WM_CHAR, L'r', 1);
    SendMessageW(window, WM_CHAR, L'e', 1);
    EXPECT_EQ(zip->ItemFocused(), 1);
    EXPECT_EQ(Row(window, zip->ItemFocused())[0], L"readme.txt");

    LVFINDINFOW find{};
    find.flags = LVFI_PARTIAL | LVFI_STRING;
    find.psz = L"SE";
    EXPECT_EQ(SendMessageW(window, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 2);
    find.psz = L"a";
    EXPECT_EQ(SendMessageW(window, LVM_FINDITEMW, 1, reinterpret_cast<LPARAM>(&find)), -1);
    find.flags |= LVFI_WRAP;
    EXPECT_EQ(SendMessageW(window, LVM_FINDITEMW, 1, reinterpret_cast<LPARAM>(&find)), 0);
}

TEST_F(ZipLVArchiveTest, ZipEntriesAlsoBehindAProgram)
{
    // Debian's zip wrote the fixture with a program in front that its
    // offsets do not count: without it, it is a plain zip archive. The
    // entries' times in the central directory are set to one known time.
    std::string stubbed = ReadBytes(FsPath(ProgramFolder()) / "zip_r_crypt_stub.zip");
    const uint16_t dosTime = static_cast<uint16_t>(Dos(2023, 4, 5, 6, 7));
    const uint16_t dosDate = static_cast<uint16_t>(Dos(2023, 4, 5, 6, 7) >> 16);
    int headers = 0;
    for (size_t at = 0; (at = stubbed.find("PK\x01\x02", at)) != std::string::npos; at += 4, ++headers) {
        ASSERT_LE(at + 16, stubbed.size());
        const char stamp[4] = {char(dosTime & 0xFF), char(dosTime >> 8), char(dosDate & 0xFF), char(dosDate >> 8)};
        stubbed.replace(at + 12, 4, stamp, 4);
    }
    ASSERT_EQ(headers, 7);  // four files and three folders
    const size_t stub = stubbed.find("PK\x03\x04");
    ASSERT_GT(stub, 0u);
    WriteBytes(root / "plain.zip", stubbed.substr(stub));
    WriteBytes(root / "stub.zip", stubbed);
    WriteBytes(root / "sfx.exe", stubbed);
    int opened = 0;
    for (const char* name : {"plain.zip", "stub.zip", "sfx.exe"}) {
        SCOPED_TRACE(name);
        const fs::path file = root / name;
        const std::string bytes = ReadBytes(file);
        const uint64_t time = LastWrite(file);
        zip->OpenArchive(FromFsPath(file));
        EXPECT_EQ(zip->ArchiveKind(), akZip);
        EXPECT_TRUE(zip->IsZipOpen());
        EXPECT_EQ(dirUpdates, ++opened);
        // The folder entries ("text/", "deep/", "deep/er/") never show.
        EXPECT_EQ(Column(window, 0),
                  (std::vector<std::wstring>{L"empty.txt", L"long.txt", L"secret.txt+", L"short.txt"}));
        EXPECT_EQ(Column(window, 4), (std::vector<std::wstring>{L"", L"text\\", L"", L"deep\\er\\"}));
        EXPECT_EQ(Column(window, 1), (std::vector<std::wstring>{L"0", L"108.890", L"26", L"4"}));
        EXPECT_EQ(Column(window, 2)[3], ShellTypeName(L"short.txt", L"TXT"));
        for (const std::wstring& changed : Column(window, 3)) {
            EXPECT_NE(changed.find(L"5.4.2023"), std::wstring::npos) << changed;
            EXPECT_NE(changed.find(L"06:07"), std::wstring::npos) << changed;
        }
        EXPECT_EQ(ReadBytes(file), bytes);
        EXPECT_EQ(LastWrite(file), time);
    }
    // A mask reads the zip again.
    zip->SetMask(L"s*");
    EXPECT_EQ(Column(window, 0), (std::vector<std::wstring>{L"secret.txt+", L"short.txt"}));
}

TEST_F(ZipLVArchiveTest, AnOpenZipKeepsItsLibrariesLoaded)
{
    // The lists of earlier tests took their libraries along when they went.
    const auto loaded = [](const wchar_t* library) { return GetModuleHandleW(library) != nullptr; };
    ASSERT_FALSE(loaded(L"ZIPDLL.DLL"));
    zip->OpenArchive(Rar());
    EXPECT_FALSE(loaded(L"ZIPDLL.DLL")) << "only a zip archive needs them";
    EXPECT_FALSE(loaded(L"UNZDLL.DLL"));

    bool loadedAtDirUpdate = true;
    zip->OnDirUpdate = [&](TComponent*) { loadedAtDirUpdate = loaded(L"ZIPDLL.DLL"); };
    zip->OpenArchive(FromFsPath(FsPath(ProgramFolder()) / "zip_r_crypt_stub.zip"));
    EXPECT_FALSE(loadedAtDirUpdate) << "the list shows before the libraries load";
    EXPECT_TRUE(loaded(L"ZIPDLL.DLL"));
    EXPECT_TRUE(loaded(L"UNZDLL.DLL"));
    EXPECT_EQ(zip->Messages().Count(), 0);

    zip->LoadZipLibraries(0);
    EXPECT_FALSE(loaded(L"ZIPDLL.DLL"));
    EXPECT_FALSE(loaded(L"UNZDLL.DLL"));
}

TEST_F(ZipLVArchiveTest, ExtractedFilesGoWhenTheArchiveCloses)
{
    const fs::path viewed = root / "viewed.txt";
    const fs::path locked = root / "readonly.txt";
    WriteBytes(viewed, "v");
    WriteBytes(locked, "r");
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    zip->OpenArchive(Rar());
    zip->RememberExtractedFile(FromFsPath(viewed));
    zip->RememberExtractedFile(FromFsPath(locked));
    zip->RememberExtractedFile(FromFsPath(root / "gone already.txt"));
    zip->OpenArchive(Rar("b.rar"));
    EXPECT_FALSE(fs::exists(viewed));
    EXPECT_FALSE(fs::exists(locked)) << "a read-only copy goes too";

    // Closing with '' deletes too; a file still open elsewhere stays, and
    // leaves the list all the same.
    WriteBytes(viewed, "v");
    zip->RememberExtractedFile(FromFsPath(viewed));
    {
        TFileHandle open(
            CreateFileW(viewed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(open);
        zip->OpenArchive(L"");
        EXPECT_TRUE(fs::exists(viewed));
    }
    zip->OpenArchive(Rar());
    zip->OpenArchive(L"");
    EXPECT_TRUE(fs::exists(viewed)) << "forgotten after the failed delete";
}

TEST_F(ZipLVArchiveTest, ProbePrintsTheRowsAndMessagesAndSavesAPicture)
{
    const std::wstring probe = AddBackslash(ProgramFolder()) + L"ArchiveListProbe.exe";
    const std::wstring archive = Rar();
    // (Its standard output is in text mode: line ends come as CR LF.)
    const auto run = [&](const std::wstring& arguments) {
        test::TProcessOutput output = test::RunAndCapture(probe, arguments, FromFsPath(root));
        output.Text.erase(std::remove(output.Text.begin(), output.Text.end(), '\r'), output.Text.end());
        return output;
    };
    const auto lines = [](const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    };

    // Each row's five texts as the control gives them, sorted by name: the
    // rows this list shows of the same archive.
    const test::TProcessOutput byName = run(L"\"" + archive + L"\"");
    EXPECT_EQ(byName.ExitCode, 0u) << byName.Text;
    const std::vector<std::string> rows = lines(byName.Text);
    ASSERT_EQ(rows.size(), 5u) << byName.Text;
    zip->OpenArchive(archive);
    ASSERT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 4);
    for (int row = 0; row < 4; ++row) {
        std::wstring expected;
        for (const std::wstring& text : Row(window, row))
            expected += (expected.empty() ? L"" : L"\t") + text;
        EXPECT_EQ(rows[static_cast<size_t>(row)], WideToUtf8(expected));
    }
    EXPECT_EQ(rows[0].substr(0, 8), "A.TXT\t5\t");
    EXPECT_EQ(rows[0].substr(rows[0].size() - 5), "\tsub\\");
    EXPECT_NE(rows[0].find("23:58"), std::string::npos);
    EXPECT_EQ(rows[1].substr(0, 17), "readme.txt\t1.234\t");
    EXPECT_EQ(rows[2].substr(0, 12), "secret.txt+\t");
    EXPECT_EQ(rows[3].substr(0, 10), "zeta.bmp\t3");
    EXPECT_EQ(rows[4], "entries: 4, bytes: 1248");

    // By size, downwards; by a mask.
    const std::vector<std::string> bySize = lines(run(L"\"" + archive + L"\" --sort 1 --desc").Text);
    ASSERT_EQ(bySize.size(), 5u);
    EXPECT_EQ(bySize[0].substr(0, 11), "readme.txt\t");
    EXPECT_EQ(bySize[3].substr(0, 9), "zeta.bmp\t");
    const std::vector<std::string> masked = lines(run(L"\"" + archive + L"\" --mask *.bmp").Text);
    ASSERT_EQ(masked.size(), 2u);
    EXPECT_EQ(masked[0].substr(0, 9), "zeta.bmp\t");

    // The readers' messages, and the error of an archive that cannot be.
    WriteBytes(root / "bad.rar", "not a rar archive at all");
    const test::TProcessOutput bad = run(L"bad.rar");
    EXPECT_EQ(bad.ExitCode, 0u);
    EXPECT_NE(bad.Text.find("entries: 0, bytes: 0\nmessage: "), std::string::npos) << bad.Text;
    const test::TProcessOutput missing = run(L"gone.rar");
    EXPECT_EQ(missing.ExitCode, 1u);
    EXPECT_NE(missing.Text.find(WideToUtf8(L"error: RAR-Archive können nicht angelegt oder geändert werden.")),
              std::string::npos)
        << missing.Text;

    // The picture: a 24-bit BMP of the window, with the rows drawn on it.
    const fs::path shot = root / "shot.bmp";
    const test::TProcessOutput shown = run(L"\"" + archive + L"\" --shot shot.bmp");
    EXPECT_EQ(shown.ExitCode, 0u) << shown.Text;
    const std::string picture = ReadBytes(shot);
    ASSERT_GT(picture.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    std::memcpy(&file, picture.data(), sizeof file);
    std::memcpy(&info, picture.data() + sizeof file, sizeof info);
    EXPECT_EQ(file.bfType, 0x4D42);
    EXPECT_EQ(file.bfSize, picture.size());
    EXPECT_EQ(info.biBitCount, 24);
    EXPECT_GE(info.biWidth, 700);
    EXPECT_GE(info.biHeight, 300);
    const size_t stride = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~size_t(3);
    ASSERT_EQ(picture.size(), file.bfOffBits + stride * static_cast<size_t>(info.biHeight));
    // Rows are drawn: many light background pixels and many dark ones of
    // the text (a blank or black picture has only one kind).
    size_t dark = 0, light = 0;
    for (size_t at = file.bfOffBits; at + 3 <= picture.size(); at += 3) {
        const int sum = uint8_t(picture[at]) + uint8_t(picture[at + 1]) + uint8_t(picture[at + 2]);
        if (sum < 200)
            ++dark;
        else if (sum > 600)
            ++light;
    }
    EXPECT_GT(dark, 500u);
    EXPECT_GT(light, 10000u);
}
