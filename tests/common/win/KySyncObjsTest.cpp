#include "common/win/KySyncObjs.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

using namespace qrv;

namespace {

// Takes the mutex on a thread of its own and keeps it until Let go, or ends
// without releasing it.
class OtherOwner {
public:
    OtherOwner(TMutex& mutex, bool releaseAtEnd)
    {
        std::promise<bool> taken;
        auto tookIt = taken.get_future();
        worker_ = std::thread([&, releaseAtEnd] {
            taken.set_value(mutex.Get(5000));
            letGo_.get_future().wait();
            if (releaseAtEnd && !mutex.Release())
                ADD_FAILURE() << "the owning thread could not release the mutex";
        });
        took_ = tookIt.get();
    }
    ~OtherOwner() { LetGo(); }
    bool Took() const { return took_; }
    void LetGo()
    {
        if (!worker_.joinable())
            return;
        letGo_.set_value();
        worker_.join();
    }

private:
    std::promise<void> letGo_;
    std::thread worker_;
    bool took_ = false;
};

std::wstring UniqueName(const wchar_t* base)
{
    return std::wstring(L"QuorvanTest_") + base + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(GetTickCount64());
}

// Runs the probe program beside this test on the name; its exit code.
DWORD RunProbe(const std::wstring& name)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"qrv_mutex_probe.exe";
    std::wstring commandLine = L"\"" + path + L"\" \"" + name + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1000 + GetLastError();
    DWORD exitCode = 999;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, 999);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

}  // namespace

TEST(Mutex, HeldByAnotherThreadGetZeroFailsAtOnce)
{
    TMutex mutex(L"");
    ASSERT_NE(mutex.Handle(), nullptr);
    {
        OtherOwner owner(mutex, true);
        ASSERT_TRUE(owner.Took());
        EXPECT_FALSE(mutex.Get(0));
        EXPECT_FALSE(mutex.Get(30));
        EXPECT_FALSE(mutex.Release()) << "releasing a mutex one does not own fails";
    }
    EXPECT_TRUE(mutex.Get(0)) << "free again once the other thread released it";
    EXPECT_TRUE(mutex.Release());
}

TEST(Mutex, AbandonedByItsOwnerCountsAsAcquired)
{
    TMutex mutex(L"");
    {
        OtherOwner owner(mutex, false);
        ASSERT_TRUE(owner.Took());
    }  // the owner thread ended without releasing
    EXPECT_TRUE(mutex.Get(0));
    EXPECT_TRUE(mutex.Release());

    {
        OtherOwner owner(mutex, false);
        ASSERT_TRUE(owner.Took());
    }
    EXPECT_EQ(mutex.Wait(), static_cast<DWORD>(WAIT_ABANDONED)) << "Wait hands on the wait's own result";
    EXPECT_TRUE(mutex.Release());
}

TEST(Mutex, TheSameNameOpensTheSameMutex)
{
    const std::wstring name = UniqueName(L"same");
    TMutex first(name);
    TMutex second(name);
    OtherOwner owner(first, true);
    ASSERT_TRUE(owner.Took());
    EXPECT_FALSE(second.Get(0));
    owner.LetGo();
    EXPECT_TRUE(second.Get(0));
    EXPECT_TRUE(second.Release());
}

TEST(Mutex, ANamedMutexIsSeenByASecondProcess)
{
    const std::wstring name = UniqueName(L"process");
    TMutex mutex(name);
    ASSERT_TRUE(mutex.Get(0));
    EXPECT_EQ(RunProbe(name), 1u) << "held here, so busy there";
    ASSERT_TRUE(mutex.Release());
    EXPECT_EQ(RunProbe(name), 0u) << "released here, so free there";
    EXPECT_EQ(RunProbe(UniqueName(L"other")), 0u) << "another name is another mutex";
}

TEST(Mutex, ANameTheSystemRefusesRaisesWithTheSystemsText)
{
    // A name already taken by an event cannot become a mutex.
    const std::wstring name = UniqueName(L"event");
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    ASSERT_NE(event, nullptr);
    try {
        TMutex mutex(name);
        ADD_FAILURE() << "no exception";
    } catch (const EOSError& error) {
        EXPECT_NE(error.ErrorCode, 0u);
        const std::wstring systemText = SysErrorMessage(error.ErrorCode);
        EXPECT_FALSE(systemText.empty());
        EXPECT_NE(error.Message().find(systemText), std::wstring::npos);
        EXPECT_NE(error.Message().find(name), std::wstring::npos);
    }
    CloseHandle(event);
}
