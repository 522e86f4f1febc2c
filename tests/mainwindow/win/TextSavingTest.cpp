// Saving a changed text in place of its file on the test drive: the backup,
// and a file that stays as it was whenever the save fails.

#include "TestDir.h"
#include "win/ForeignFileHolder.h"

#include "framework/SysUtils.h"
#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"
#include "mainwindow/SaveQuestion.h"
#include "mainwindow/win/TextSaving.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

// Writes Bytes the way a viewer saves: a new file under the given name.
TTextWriter WriterOf(const std::string& Bytes)
{
    return [Bytes](const std::wstring& name) {
        TFileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file)
            throw EOSError(L"create " + name, GetLastError());
        DWORD written = 0;
        if (!WriteFile(file.Get(), Bytes.data(), DWORD(Bytes.size()), &written, nullptr) || written != Bytes.size())
            throw EOSError(L"write " + name, GetLastError());
    };
}

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    TFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find.Get(), &data));
    return names;
}

bool Exists(const std::wstring& name)
{
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(SaveTextReplacing, BackupKeepsTheOldContent)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"brief.txt", "alt");
    dir.Write(L"brief.bak", "sehr alt");

    SaveTextReplacing(file, true, WriterOf("neu"));

    EXPECT_EQ(dir.Read(L"brief.txt"), "neu");
    EXPECT_EQ(dir.Read(L"brief.bak"), "alt");
    EXPECT_EQ(FilesIn(dir.Path()).size(), 2u) << "a temporary file was left";
}

TEST(SaveTextReplacing, ABackupFilesOwnBackupGetsBakAdded)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"x.bak", "alte Bytes");

    SaveTextReplacing(file, true, WriterOf("neu"));

    EXPECT_EQ(dir.Read(L"x.bak"), "neu");
    EXPECT_EQ(dir.Read(L"x.bak.bak"), "alte Bytes");
    EXPECT_EQ(FilesIn(dir.Path()).size(), 2u) << "a temporary file was left";
}

TEST(SaveTextReplacing, NoBackupWhenOffOrTheFileWasEmpty)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"a.txt", "alt");
    SaveTextReplacing(file, false, WriterOf("neu"));
    EXPECT_EQ(dir.Read(L"a.txt"), "neu");
    EXPECT_FALSE(Exists(dir.File(L"a.bak")));

    const std::wstring empty = dir.Write(L"b.txt", "");
    SaveTextReplacing(empty, true, WriterOf("inhalt"));
    EXPECT_EQ(dir.Read(L"b.txt"), "inhalt");
    EXPECT_FALSE(Exists(dir.File(L"b.bak")));

    // A new file: nothing to back up.
    SaveTextReplacing(dir.File(L"c.txt"), true, WriterOf("neu"));
    EXPECT_EQ(dir.Read(L"c.txt"), "neu");
    EXPECT_FALSE(Exists(dir.File(L"c.bak")));
    EXPECT_EQ(FilesIn(dir.Path()).size(), 3u);
}

TEST(SaveTextReplacing, KeepsTheFilesAttributes)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"versteckt.txt", "alt");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    SaveTextReplacing(file, false, WriterOf("neu"));
    EXPECT_EQ(dir.Read(L"versteckt.txt"), "neu");
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL));
}

TEST(SaveTextReplacing, AFailingWriterLeavesFileAndBackupAlone)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"brief.txt", "alt");
    dir.Write(L"brief.bak", "sehr alt");
    const TTextWriter failing = [](const std::wstring& name) {
        WriterOf("halb")(name);
        throw EWriteError(L"Datenträger voll");
    };
    EXPECT_THROW(SaveTextReplacing(file, true, failing), EWriteError);
    EXPECT_EQ(dir.Read(L"brief.txt"), "alt");
    EXPECT_EQ(dir.Read(L"brief.bak"), "sehr alt");
    EXPECT_EQ(FilesIn(dir.Path()).size(), 2u) << "a temporary file was left";
}

TEST(SaveText, FileHeldOpenByAnotherProcess)
{
    for (const bool backup : {true, false}) {
        test::TestDir dir;
        const std::wstring file = dir.Write(L"gesperrt.txt", "alt");
        std::vector<std::wstring> errors;
        {
            test::ForeignFileHolder holder(file);
            ASSERT_TRUE(holder.Holding());
            const bool saved = SaveText(file, backup, WriterOf("neu"),
                                        [&](const std::wstring& message) { errors.push_back(message); });
            EXPECT_FALSE(saved) << "backup " << backup;
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], L"Fehler beim Speichern der Datei: \n" + file);
        EXPECT_EQ(dir.Read(L"gesperrt.txt"), "alt") << "backup " << backup;
        EXPECT_EQ(FilesIn(dir.Path()).size(), 1u) << "backup " << backup;
    }
}

TEST(SaveText, ReadOnlyFileIsNotReplaced)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"schreibgeschuetzt.txt", "alt");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    int errors = 0;
    EXPECT_FALSE(SaveText(file, false, WriterOf("neu"), [&](const std::wstring&) { ++errors; }));
    EXPECT_EQ(errors, 1);
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(dir.Read(L"schreibgeschuetzt.txt"), "alt");
}
