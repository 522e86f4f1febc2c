#include "dialogs/win/DSAMsgDlg.h"
#include "framework/SysUtils.h"
#include "framework/win/Registry.h"
#include "win/WindowSearch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

using namespace qrv;

namespace {

// Each test keeps its flags under a key of its own: tests run side by side.
std::wstring TestStore()
{
    const char* name = testing::UnitTest::GetInstance()->current_test_info()->name();
    return L"\\Software\\Quorvan Tests\\Dialogs\\" + std::wstring(name, name + strlen(name));
}

// Plays the user: waits for the dialog of this thread, optionally ticks the
// check box, then presses OK.
std::thread Answer(DWORD uiThread, bool tickCheckBox, std::atomic<bool>& seen)
{
    return std::thread([=, &seen] {
        for (int i = 0; i < 400; ++i) {
            HWND dialog = nullptr;
            EnumThreadWindows(
                uiThread,
                [](HWND w, LPARAM out) -> BOOL {
                    wchar_t caption[64];
                    GetWindowTextW(w, caption, 64);
                    if (std::wstring(caption) == L"Fehler" && IsWindowVisible(w)) {
                        *reinterpret_cast<HWND*>(out) = w;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&dialog));
            if (dialog) {
                seen = true;
                if (tickCheckBox)
                    SendMessageW(test::FindChildByText(dialog, DSACheckCaption), BM_CLICK, 0, 0);
                SendMessageW(test::FindChildByText(dialog, L"OK"), BM_CLICK, 0, 0);
                return;
            }
            Sleep(25);
        }
    });
}

class DSAMessageDlgTest : public testing::Test {
protected:
    void SetUp() override { TRegistry().DeleteKey(kStore); }
    void TearDown() override { TRegistry().DeleteKey(kStore); }
    const std::wstring kStore = TestStore();
};

}  // namespace

TEST_F(DSAMessageDlgTest, ATickedBoxSuppressesTheMessageForGood)
{
    std::atomic<bool> seen{false};
    std::thread user = Answer(GetCurrentThreadId(), true, seen);
    const int result = DSAMessageDlg(L"Umgebungsvariable COMSPEC fehlt.", TMsgDlgType::mtError, mbOK, mrCancel,
                                     L"comspec not found", kStore);
    user.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(result, mrOk);

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(kStore + L"\\comspec not found")) << "the identifier names the key";
    EXPECT_TRUE(reg.ReadBool(L"DontShow"));

    // Now it is not shown at all and gives the default result.
    EXPECT_EQ(DSAMessageDlg(L"Umgebungsvariable COMSPEC fehlt.", TMsgDlgType::mtError, mbOK, mrCancel,
                            L"comspec not found", kStore),
              mrCancel);
    EXPECT_FALSE(DSAIdentsGetState(kStore, L"comspec not found"));
}

TEST_F(DSAMessageDlgTest, AnUntickedBoxKeepsShowingIt)
{
    std::atomic<bool> seen{false};
    std::thread user = Answer(GetCurrentThreadId(), false, seen);
    EXPECT_EQ(DSAMessageDlg(L"Text", TMsgDlgType::mtError, mbOK, mrCancel, L"other message", kStore), mrOk);
    user.join();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(DSAIdentsGetState(kStore, L"other message"));
}

TEST_F(DSAMessageDlgTest, BlankIdentifiersAreRefused)
{
    EXPECT_THROW(DSAIdentsGetState(kStore, L"///"), Exception);
    EXPECT_THROW(DSAIdentsSetState(L"", L"x", true), Exception);
}
