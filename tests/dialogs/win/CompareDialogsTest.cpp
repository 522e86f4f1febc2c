// The progress form, the directory comparison's options form, the about box
// and the shadowed hint window, on real windows.

#include "TestDir.h"
#include "dialogs/win/AboutBox.h"
#include "dialogs/win/Progressform.h"
#include "dialogs/win/SelOptForm.h"
#include "dialogs/win/ShadowedHint.h"
#include "framework/win/Buttons.h"
#include "framework/win/ProgressBar.h"
#include "framework/win/StdCtrls.h"
#include "win/DialogAnswerer.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class ProgressformTest : public testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<TForm>(nullptr);
        main->SetBounds(0, 0, 400, 300);
        main->Show();
    }
    bool MainEnabled() { return IsWindowEnabled(main->Handle()) != FALSE; }
    std::unique_ptr<TForm> main;
};

TEST_F(ProgressformTest, AbbrechenCallsTheCallBackOncePerPressAndACloseIsAbbrechen)
{
    // ctest: takes the focus. The forms are shown and activated.
    int calls = 0;
    {
        TProgressSession session(main.get(), L"Dateien vergleichen", 100);
        TProgressform& form = session.Form();
        form.OnAbort = [&] { ++calls; };
        EXPECT_EQ(form.Caption(), L"Dateien vergleichen");
        EXPECT_TRUE(form.lblLabel->Caption().empty());
        EXPECT_FALSE(form.Aborted());
        EXPECT_FALSE(MainEnabled());
        SendMessageW(form.btnAbort->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(form.Aborted());
        SendMessageW(form.btnAbort->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(calls, 2);
        // Closing the form stops the work too, and enables nothing yet.
        SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(calls, 3);
        EXPECT_TRUE(form.Aborted());
        EXPECT_FALSE(MainEnabled());
        EXPECT_TRUE(IsWindowVisible(form.Handle()));
        form.Progress(40);
        form.Step();
        EXPECT_EQ(form.ProgressBar->Position(), 41);
    }
    EXPECT_TRUE(MainEnabled());
}

TEST_F(ProgressformTest, AThrowingStepLeavesTheWindowEnabled)
{
    try {
        TProgressSession session(main.get(), L"Fortschritt", 1000);
        EXPECT_TRUE(session.Form().ProgressBar->Smooth());
        EXPECT_FALSE(MainEnabled());
        throw std::runtime_error("a step failed");
    } catch (const std::runtime_error&) {}
    EXPECT_TRUE(MainEnabled());
}

class SelOptFormTest : public testing::Test {
protected:
    void Click(TWinControl* control) { SendMessageW(control->Handle(), BM_CLICK, 0, 0); }
    bool Enabled(TWinControl* control) { return IsWindowEnabled(control->Handle()) != FALSE; }
    bool Checked(TWinControl* control) { return SendMessageW(control->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
};

TEST_F(SelOptFormTest, TheControlsFollowTheRules)
{
    TDirCompareOptions start;
    start.ByContent = true;
    TSelOptForm form(nullptr, start);
    form.Show();
    EXPECT_EQ(form.Caption(), L"Verzeichnisvergleich");
    EXPECT_TRUE(Checked(form.rbSelectEqual));
    EXPECT_TRUE(Checked(form.chkContent));

    Click(form.rbSelectOlder);
    EXPECT_TRUE(Checked(form.rbSelectOlder));
    EXPECT_FALSE(Checked(form.rbSelectEqual));
    EXPECT_TRUE(Checked(form.chkName));
    EXPECT_FALSE(Enabled(form.chkName));
    EXPECT_FALSE(Checked(form.chkSize));
    EXPECT_FALSE(Enabled(form.chkSize));
    EXPECT_FALSE(Checked(form.chkContent));
    EXPECT_FALSE(Enabled(form.chkContent));
    EXPECT_FALSE(Enabled(form.chkDuplicates));

    Click(form.rbSelectEqual);
    Click(form.chkDuplicates);
    EXPECT_FALSE(Checked(form.chkName));
    EXPECT_TRUE(Checked(form.chkSize));
    EXPECT_TRUE(Checked(form.chkContent));
    EXPECT_FALSE(Enabled(form.rbSelectDifferent));
    Click(form.chkDuplicates);
    EXPECT_TRUE(Checked(form.chkName));

    Click(form.chkName);
    Click(form.chkSize);
    EXPECT_FALSE(Enabled(form.btnOk));
    const TDirCompareOptions chosen = form.Options();
    EXPECT_FALSE(chosen.ByName || chosen.BySize || chosen.ByContent);
}

TEST_F(SelOptFormTest, OkRefusesAMissingOrTheSameDirectoryAndStaysOpen)
{
    test::TestDir dir;
    const std::wstring other = dir.File(L"Anderes");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    TSelOptForm form(nullptr, TDirCompareOptions{});
    form.FocusedListPath = dir.Path();
    form.Show();
    const auto pressOk = [&](const std::wstring& compareDir) {
        form.edDir2->SetText(compareDir);
        test::DialogAnswerer answer({L"OK"});
        Click(form.btnOk);
        EXPECT_TRUE(test::PumpUntil([&] { return answer.Answered(); }, 10s));
        return answer.Texts();
    };
    EXPECT_NE(pressOk(dir.File(L"fehlt")).find(L"Das Vergleichsverzeichnis existiert nicht."), std::wstring::npos);
    EXPECT_FALSE(form.Accepted());
    // The same folder written otherwise is still the same.
    std::wstring same = dir.Path();
    for (wchar_t& c : same)
        c = static_cast<wchar_t>(towupper(c));
    EXPECT_NE(pressOk(same + L"\\").find(L"abweichendes Vergleichsverzeichnis"), std::wstring::npos);
    EXPECT_FALSE(form.Accepted());
    EXPECT_EQ(GetFocus(), form.edDir2->Handle());

    form.edDir2->SetText(other);
    Click(form.btnOk);
    EXPECT_TRUE(form.Accepted());
    EXPECT_EQ(form.ModalResult(), mrOk);
    EXPECT_EQ(form.CompareDir(), other);
}

TEST(AboutBox, ShowsTheProgramsBuildNumber)
{
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring program = own;
    program = program.substr(0, program.find_last_of(L'\\') + 1) + L"Quorvan32.exe";
    // The build number as the system reads the resource.
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const unsigned build = LOWORD(fixed->dwFileVersionLS);
    EXPECT_GT(build, 0u) << "the build passes the commit count";
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 3u);

    TAboutBox box(nullptr, L"Quorvan Free", program);
    EXPECT_EQ(box.Caption(), L"Über Quorvan Free");
    EXPECT_EQ(box.Version->Caption(), L"Version 3.2  Build " + std::to_wstring(build));
    EXPECT_EQ(box.ProductName->Caption(), L"Quorvan Free");
}

TEST(ShadowedHint, TheWindowClassHasTheDropShadowStyle)
{
    InstallShadowedHintWindow();
    std::unique_ptr<THintWindow> hint = CreateApplicationHintWindow();
    ASSERT_NE(dynamic_cast<TShadowedHintWindow*>(hint.get()), nullptr);
    EXPECT_EQ(GetClassLongPtrW(hint->Handle(), GCL_STYLE) & 0x20000, 0x20000);
    wchar_t name[64];
    GetClassNameW(hint->Handle(), name, 64);
    EXPECT_EQ(std::wstring(name), L"TShadowedHintWindow");
    SetApplicationHintWindowClass(nullptr);
}

}  // namespace
