#include "common/win/ShellFileOperator.h"
#include "common/KyNotify.h"

#include "TestDir.h"
#include "win/DialogAnswerer.h"
#include "win/WineTrash.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace qrv;
using qrv::test::TestDir;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct ShellFileOperator : ::testing::Test {
    TestDir dir;
    std::unique_ptr<TFileOperator> op = NewShellFileOperator(nullptr);
    std::wstring source = dir.File(L"quelle");
    std::wstring target = dir.File(L"ziel");

    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryW(source.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    }
    void Copy(std::initializer_list<std::wstring> names, TFileOperationFlags extra = 0)
    {
        op->Operation = TFileOperation::foCopy;
        op->Flags = foAllowUndo | foNoConfirmMkDir | extra;
        for (const auto& name : names) {
            op->SourceFiles.Add(source + L"\\" + name);
        }
        op->DestFiles.Add(target);
    }
};

}  // namespace

TEST_F(ShellFileOperator, CopyOfTwoFilesIsUndoneIntoTheRecycleBinWithTheSourcesIntact)
{
    // Names of their own: the trash may hold earlier runs' copies.
    const std::wstring stamp = std::to_wstring(GetTickCount64());
    const std::wstring a = L"a-" + stamp + L".txt", b = L"b-" + stamp + L".txt";
    dir.Write(L"quelle\\" + a, "A");
    dir.Write(L"quelle\\" + b, "B");
    Copy({a, b}, foNoConfirmation | foSilent);
    ASSERT_TRUE(op->Execute());
    ASSERT_EQ(dir.Read(L"ziel\\" + b), "B");
    ASSERT_TRUE(op->UndoAvailable());
    ASSERT_TRUE(op->Undo());
    EXPECT_FALSE(Exists(target + L"\\" + a));
    EXPECT_FALSE(Exists(target + L"\\" + b));
    EXPECT_EQ(dir.Read(L"quelle\\" + a), "A");
    EXPECT_EQ(dir.Read(L"quelle\\" + b), "B");
    if (const std::wstring trash = test::WineTrashFiles(); !trash.empty()) {
        for (const std::wstring& name : {a, b}) {
            EXPECT_TRUE(Exists(trash + L"\\" + name)) << "not in the trash";
            DeleteFileW((trash + L"\\" + name).c_str());
        }
    }
}

TEST_F(ShellFileOperator, UndoOfAFolderCopiedOntoItsNamesakeKeepsThatFolder)
{
    ASSERT_TRUE(CreateDirectoryW((source + L"\\Projekt").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((target + L"\\Projekt").c_str(), nullptr));
    dir.Write(L"quelle\\Projekt\\neu.txt", "neu");
    dir.Write(L"ziel\\Projekt\\keep.txt", "alt");
    Copy({L"Projekt"}, foNoConfirmation | foSilent);
    ASSERT_TRUE(op->Execute());
    ASSERT_EQ(dir.Read(L"ziel\\Projekt\\neu.txt"), "neu");
    ASSERT_TRUE(op->Undo());
    EXPECT_EQ(dir.Read(L"ziel\\Projekt\\keep.txt"), "alt");
    EXPECT_EQ(op->UndoKept(), std::vector<std::wstring>{target + L"\\Projekt"});
}

// Wine's shell leaves a folder whose name the destination holds where it is
// and reports success; the operator does not.
TEST_F(ShellFileOperator, AMoveThatLeavesAFolderFailsAndItsUndoReturnsWhatMoved)
{
    ASSERT_TRUE(CreateDirectoryW((source + L"\\Projekt").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((target + L"\\Projekt").c_str(), nullptr));
    dir.Write(L"quelle\\Projekt\\neu.txt", "neu");
    dir.Write(L"quelle\\c.txt", "C");
    dir.Write(L"ziel\\Projekt\\keep.txt", "alt");
    Copy({L"Projekt", L"c.txt"}, foNoConfirmation | foSilent);
    op->Operation = TFileOperation::foMove;
    const bool moved = op->Execute();
    ASSERT_EQ(dir.Read(L"ziel\\c.txt"), "C");
    if (dir.Read(L"ziel\\Projekt\\neu.txt") == "neu") {
        // A shell that joins the folders: the joined folder stays on undo.
        EXPECT_TRUE(moved);
        ASSERT_TRUE(op->Undo());
        EXPECT_EQ(op->UndoKept(), std::vector<std::wstring>{target + L"\\Projekt"});
    } else {
        EXPECT_FALSE(moved);
        EXPECT_EQ(op->NotMoved(), std::vector<std::wstring>{source + L"\\Projekt"});
        ASSERT_TRUE(op->Undo());
        EXPECT_TRUE(op->UndoKept().empty());
        EXPECT_EQ(dir.Read(L"quelle\\Projekt\\neu.txt"), "neu");
    }
    EXPECT_EQ(dir.Read(L"quelle\\c.txt"), "C");
    EXPECT_FALSE(Exists(target + L"\\c.txt"));
    EXPECT_EQ(dir.Read(L"ziel\\Projekt\\keep.txt"), "alt");
}

TEST_F(ShellFileOperator, DeclinedOverwriteFailsLeavesNoUndoAndKeepsTheTarget)
{
    dir.Write(L"quelle\\a.txt", "neu");
    dir.Write(L"quelle\\b.txt", "B");
    dir.Write(L"ziel\\a.txt", "alt");
    Copy({L"a.txt", L"b.txt"});
    test::DialogAnswerer no({L"&No", L"&Nein"});
    EXPECT_FALSE(op->Execute());
    EXPECT_TRUE(no.Answered()) << "the shell asked before overwriting";
    EXPECT_TRUE(op->LastAborted());
    EXPECT_FALSE(op->UndoAvailable());
    EXPECT_FALSE(op->Undo());
    EXPECT_EQ(dir.Read(L"ziel\\a.txt"), "alt");
}

TEST_F(ShellFileOperator, RenameAnnouncesItselfAndOntoAnExistingNameFails)
{
    dir.Write(L"quelle\\a.txt", "A");
    dir.Write(L"quelle\\b.txt", "B");
    dir.Write(L"ziel\\c.txt", "C");
    std::vector<std::wstring> events;
    KyNotify().OnNotify = [&](int event, const std::wstring& p1, const std::wstring& p2) {
        events.push_back(std::to_wstring(event) + L" " + p1 + L" " + p2);
    };
    // The first pair fails; the file and the folder after it are renamed.
    op->Operation = TFileOperation::foRename;
    op->SourceFiles.Add(source + L"\\a.txt");
    op->DestFiles.Add(source + L"\\b.txt");
    op->SourceFiles.Add(target + L"\\c.txt");
    op->DestFiles.Add(target + L"\\d.txt");
    op->SourceFiles.Add(source);
    op->DestFiles.Add(dir.File(L"quelle2"));
    EXPECT_FALSE(op->Execute());
    KyNotify().OnNotify = nullptr;
    ASSERT_EQ(op->RenameFailures().size(), 1u);
    EXPECT_EQ(op->RenameFailures()[0].Source, source + L"\\a.txt");
    EXPECT_EQ(op->RenameFailures()[0].Error, static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(events, (std::vector<std::wstring>{L"1 " + target + L"\\c.txt " + target + L"\\d.txt",
                                                 L"131072 " + source + L" " + dir.File(L"quelle2")}));
    EXPECT_EQ(dir.Read(L"quelle2\\a.txt"), "A");
    EXPECT_EQ(dir.Read(L"ziel\\d.txt"), "C");
    ASSERT_TRUE(op->Undo());
    EXPECT_EQ(dir.Read(L"quelle\\b.txt"), "B");
    EXPECT_EQ(dir.Read(L"ziel\\c.txt"), "C");
}

TEST(ShellFileOperatorLock, SecondOperationOfTheSameThreadIsRefusedWhileOneRuns)
{
    TShellFileOperatorSystem first(nullptr);
    TShellFileOperatorSystem second(nullptr);
    ASSERT_TRUE(first.Lock());
    EXPECT_FALSE(second.Lock());
    bool otherThreadGotIt = false;
    std::thread other([&] {
        TShellFileOperatorSystem third(nullptr);
        otherThreadGotIt = third.Lock();
        if (otherThreadGotIt) {
            third.Unlock();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    first.Unlock();
    other.join();
    EXPECT_TRUE(otherThreadGotIt) << "another thread waits and then runs";
    EXPECT_EQ(FileOperatorMutexName().rfind(L"TFileOperator", 0), 0u);
}
