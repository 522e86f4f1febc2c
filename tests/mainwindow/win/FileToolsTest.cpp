// The file tools with the window's side faked: what opening a file from a
// list does (archives with the switch on and off, split parts), and the
// shell's tools' failures reported through the window's message box.

#include "mainwindow/win/FileTools.h"

#include "FakeMainWindowServices.h"
#include "TestDir.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/win/Forms.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "settings/StoredSettings.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class FakeFileToolsHost : public TFileToolsHost, public FakeMainWindowServices {
public:
    TMainPanes panes;
    TOptions options;
    bool displayOn = false;
    int displaySwitchedOn = 0;
    int joins = 0;
    TFileOperator* lastOperator = nullptr;
    const TOptions& FileOptions() override { return options; }
    void SetLastFileOperator(TFileOperator* Operator) override { lastOperator = Operator; }
    bool DisplayOn() override { return displayOn; }
    void SwitchDisplayOn() override { ++displaySwitchedOn; }
    void JoinSplitFile() override { ++joins; }
    TFileListStoredSettings& FileListSettings() override { return stored; }
    std::wstring DefaultFileListName() override { return L"Dateiliste.txt"; }
    std::wstring ProgramFolder() override { return L"C:\\"; }
    TFileListStoredSettings stored;
};

class FailingRunner : public TShellToolRunner {
public:
    int started = 0;
    intptr_t Execute(HWND, const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&) override
    {
        ++started;
        return SE_ERR_NOASSOC;
    }
    void RunDialog(HWND, const std::wstring&) override {}
    int FormatDrive(HWND, unsigned) override { return 0; }
    DWORD ConnectDialog(HWND) override { return ERROR_NO_NETWORK; }
    DWORD DisconnectDialog(HWND) override { return ERROR_CANCELLED; }
    bool LibraryPresent(const std::wstring& Name) override { return Name != L"DISKCOPY.DLL"; }
};

class FileToolsTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* name : {L"paket.zip", L"film.avi.split", L"brief.txt"})
            dir.Write(name, "x");
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        host.panes.TreeView1 = new TDriveView(form.get());
        host.panes.TreeView1->SetParent(form.get());
        host.panes.TreeView1->SetBounds(0, 0, 150, 400);
        host.panes.LV1 = new TDirView(form.get());
        host.panes.LV1->SetParent(form.get());
        host.panes.LV1->SetBounds(150, 0, 450, 400);
        host.panes.ActiveList = host.panes.LV1;
        form->Show();
        host.panes.LV1->SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return host.panes.LV1->Loaded() && !host.panes.LV1->Loading(); }, 5s));
    }
    void TearDown() override { form.reset(); }

    test::TestDir dir;
    std::unique_ptr<TForm> form;
    FakeFileToolsHost host;
    TFileTools tools{host.panes, host, host};
};

}  // namespace

TEST_F(FileToolsTest, OpeningAFileFromAListShowsArchivesAndJoinsSplitParts)
{
    struct Case {
        const wchar_t* name;
        bool viewArchive, displayOn;
        bool started;
        int switchedOn, joined;
    } cases[] = {
        {L"paket.zip", true, false, false, 1, 0},     {L"paket.zip", true, true, true, 0, 0},
        {L"paket.zip", false, false, true, 0, 0},     {L"film.avi.split", false, false, false, 0, 1},
        {L"film.avi.split", true, true, false, 0, 1}, {L"brief.txt", true, false, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << WideToUtf8(c.name) << c.viewArchive << c.displayOn);
        host.options.ViewArchive = c.viewArchive;
        host.displayOn = c.displayOn;
        host.displaySwitchedOn = host.joins = 0;
        const TFileRec* item = host.panes.LV1->FindFileItem(c.name);
        ASSERT_NE(item, nullptr);
        bool allow = true;
        tools.ListExecFile(*host.panes.LV1, *item, allow);
        EXPECT_EQ(allow, c.started);
        EXPECT_EQ(host.displaySwitchedOn, c.switchedOn);
        EXPECT_EQ(host.joins, c.joined);
    }
}

TEST_F(FileToolsTest, FailuresTheSystemDoesNotShowComeAsTheWindowsMessages)
{
    auto owned = std::make_unique<FailingRunner>();
    FailingRunner& runner = *owned;
    tools.Runner = std::move(owned);
    host.panes.LV1->SetFocus();
    host.panes.LV1->SetItemSelected(*host.panes.LV1->FindFileItem(L"brief.txt"), true);

    tools.DiscCopyExecute();
    EXPECT_EQ(runner.started, 0) << "RUNDLL32 would fail unseen without the library";
    tools.FileOpenWithExecute();
    EXPECT_EQ(runner.started, 1);
    tools.NetConnectExecute();
    tools.NetDisconnectExecute();  // cancelled: nothing to say
    ASSERT_EQ(host.messageBoxes.size(), 3u);
    EXPECT_NE(host.messageBoxes[0].find(L"RUNDLL32.EXE DISKCOPY.DLL"), std::wstring::npos);
    EXPECT_NE(host.messageBoxes[1].find(L"\"RUNDLL32.EXE\""), std::wstring::npos);
    EXPECT_EQ(host.messageBoxes[2], Win32ErrorText(ERROR_NO_NETWORK));
}
