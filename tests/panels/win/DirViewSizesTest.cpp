// The folder sizes of a list summed in the background, against a walk of
// the same tree with the system's own calls; a subfolder that cannot be
// opened counts as empty in both.
#include "panels/win/DirView.h"
#include "panels/win/SubDirScanner.h"

#include "TestDir.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <winioctl.h>

#include <chrono>
#include <memory>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

constexpr uint64_t kGiB = 1ull << 30;

void MakeFile(const std::wstring& Path, uint64_t Size)
{
    const HANDLE file = CreateFileW(Path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(Size);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
}

// Every byte below Folder by FindFirstFileW; a folder that cannot be listed
// adds nothing.
uint64_t Walk(const std::wstring& Folder)
{
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((Folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    uint64_t total = 0;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            total += Walk(Folder + L"\\" + name);
        else
            total += uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return total;
}

class DirViewSizesTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Groessen");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        MakeFile(folder + L"\\oben.txt", 1234);
        for (int i = 0; i < 6; ++i) {
            const std::wstring sub = folder + L"\\Ordner" + std::to_wstring(i);
            ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
            ASSERT_TRUE(CreateDirectoryW((sub + L"\\tiefer").c_str(), nullptr));
            for (int f = 0; f <= i; ++f)
                MakeFile(sub + L"\\datei" + std::to_wstring(f), 1000 * (f + 1) + i);
            MakeFile(sub + L"\\tiefer\\unten", 77 * (i + 1));
        }
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\Gross").c_str(), nullptr));
        MakeFile(folder + L"\\Gross\\drei", 3 * kGiB);
        MakeFile(folder + L"\\Gross\\fuenf", 5 * kGiB);
        // Made unreadable from outside, when the run provides it.
        wchar_t locked[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"QRV_LOCKED_FOLDER", locked, MAX_PATH))
            lockedFolder = locked;

        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        view = new TDirView(form.get());
        view->SetParent(form.get());
        view->SetAlign(TAlign::alClient);
        form->HandleNeeded();
        view->SetShowSubDirSize(true);
        view->SetAutoStartThreads(true);
    }
    void TearDown() override
    {
        form.reset();
        ASSERT_TRUE(test::PumpUntil([] { return TSubDirScanner::RunningCount() == 0; }, 10s));
    }
    bool AllSized() const
    {
        for (int i = 0; i < view->ItemCount(); ++i) {
            const TFileRec* item = view->GetItemData(i);
            if (item->IsDirectory && !item->IsParentDir && !item->SubDirSizeDone)
                return false;
        }
        return true;
    }
    void ExpectSizesOfTheWalk(const std::wstring& Folder)
    {
        uint64_t total = 0;
        for (int i = 0; i < view->ItemCount(); ++i) {
            const TFileRec* item = view->GetItemData(i);
            if (item->IsParentDir)
                continue;
            if (item->IsDirectory)
                EXPECT_EQ(item->Size, Walk(Folder + L"\\" + item->FileName)) << WideToUtf8(item->FileName);
            total += item->Size;
        }
        EXPECT_EQ(view->TotalSize(), total);
    }

    test::TestDir dir;
    std::wstring folder;
    std::wstring lockedFolder;
    std::unique_ptr<TForm> form;
    TDirView* view = nullptr;
};

TEST_F(DirViewSizesTest, TheSizesAreThoseOfAWalkAndAtMostThreeAreSummedAtOnce)
{
    view->SetPath(folder);
    int most = 0;
    int mostThreads = 0;
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            most = std::max(most, static_cast<int>(view->DirScanThreads()));
            mostThreads = std::max(mostThreads, TSubDirScanner::RunningCount());
            return AllSized();
        },
        30s));
    EXPECT_LE(most, 3);
    EXPECT_LE(mostThreads, 3);
    EXPECT_GE(view->FindFileItem(L"Gross")->Size, 8 * kGiB);
    ExpectSizesOfTheWalk(folder);
}

TEST_F(DirViewSizesTest, OneScanAtATimeSumsEveryFolderOnOneThread)
{
    // Each answer hands the thread that gave it the next folder.
    view->SetMaxSubDirScanner(1);
    view->SetPath(folder);
    int mostThreads = 0;
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            mostThreads = std::max(mostThreads, TSubDirScanner::RunningCount());
            return AllSized();
        },
        30s));
    EXPECT_EQ(mostThreads, 1);
    ExpectSizesOfTheWalk(folder);
    ASSERT_TRUE(test::PumpUntil([] { return TSubDirScanner::RunningCount() == 0; }, 10s))
        << "the thread goes once nothing waits";
}

TEST_F(DirViewSizesTest, AnUnreadableSubfolderCountsAsEmpty)
{
    if (lockedFolder.empty())
        GTEST_SKIP() << "run by the locked-folder test, which makes a folder unreadable";
    // The locked folder lies in a tree of its own: its parent is listed.
    const std::wstring parent = lockedFolder.substr(0, lockedFolder.rfind(L'\\'));
    const std::wstring top = parent.substr(0, parent.rfind(L'\\'));
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((lockedFolder + L"\\*").c_str(), &data);
    ASSERT_EQ(find, INVALID_HANDLE_VALUE) << "the folder is readable";
    view->SetPath(top);
    ASSERT_TRUE(test::PumpUntil([&] { return AllSized(); }, 30s));
    ExpectSizesOfTheWalk(top);
    const std::wstring parentName = parent.substr(top.size() + 1);
    EXPECT_GT(view->FindFileItem(parentName)->Size, 0u) << "the readable files beside it count";
}

TEST_F(DirViewSizesTest, LeavingAFolderEndsItsScansUnreported)
{
    view->SetMaxSubDirScanner(1);
    view->SetPath(folder);
    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((other + L"\\leer").c_str(), nullptr));
    view->SetPath(other);
    ASSERT_TRUE(test::PumpUntil([&] { return AllSized(); }, 30s));
    EXPECT_EQ(view->FindFileItem(L"leer")->Size, 0u);
    EXPECT_EQ(view->TotalSize(), 0u);
}

TEST_F(DirViewSizesTest, WithoutAutomaticStartNothingIsSummedUntilStarted)
{
    view->SetAutoStartThreads(false);
    view->SetPath(folder);
    EXPECT_TRUE(view->ScanPending());
    test::PumpFor(200ms);
    EXPECT_EQ(view->DirScanThreads(), 0u);
    view->SetAutoStartThreads(true);
    ASSERT_TRUE(test::PumpUntil([&] { return AllSized(); }, 30s));
    ExpectSizesOfTheWalk(folder);
}

}  // namespace
