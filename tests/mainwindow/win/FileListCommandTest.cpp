// "D&ateiliste erstellen" on a folder of the test drive: the dialog, filled
// in and accepted as a user would, writes the golden file and starts the
// editor with the quoted name; a declined overwrite keeps the old file, its
// time and the dialog open; the choices of a written list are kept.

#include "mainwindow/win/FileTools.h"

#include "FakeMainWindowServices.h"
#include "GoldenFileListNamesSizes.h"
#include "TestDir.h"

#include "dialogs/win/QuorListFiles.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "settings/StoredSettings.h"
#include "widgets/win/ToolEdit.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class FileListHost : public TFileToolsHost, public FakeMainWindowServices {
public:
    TMainPanes panes;
    TOptions options;
    TFileListStoredSettings stored;
    const TOptions& FileOptions() override { return options; }
    void SetLastFileOperator(TFileOperator*) override {}
    bool DisplayOn() override { return false; }
    void SwitchDisplayOn() override {}
    void JoinSplitFile() override {}
    TFileListStoredSettings& FileListSettings() override { return stored; }
    std::wstring DefaultFileListName() override { return L"Dateiliste.txt"; }
    std::wstring ProgramFolder() override { return L"C:\\"; }
};

// Records what the commands start.
class RecordingRunner : public TShellToolRunner {
public:
    struct Start {
        std::wstring verb, file, parameters;
    };
    std::vector<Start> starts;
    intptr_t Execute(HWND, const std::wstring& Verb, const std::wstring& File, const std::wstring& Parameters,
                     const std::wstring&) override
    {
        starts.push_back({Verb, File, Parameters});
        return 42;
    }
    void RunDialog(HWND, const std::wstring&) override {}
    int FormatDrive(HWND, unsigned) override { return 0; }
    DWORD ConnectDialog(HWND) override { return NO_ERROR; }
    DWORD DisconnectDialog(HWND) override { return NO_ERROR; }
    bool LibraryPresent(const std::wstring&) override { return true; }
};

FILETIME LastWrite(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    return data.ftLastWriteTime;
}

class FileListCommandTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir.Write(L"a;b.txt", "abc");
        dir.Write(L"Ärger.txt", "0123456789");
        dir.Write(L"leer.txt", "");
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
        auto owned = std::make_unique<RecordingRunner>();
        runner = owned.get();
        tools.Runner = std::move(owned);
        // The user's part: names and sizes as CSV into "liste.csv", then OK.
        tools.RunFileListDialog = [this](TListFileDlg& dialog) {
            dialog.Show();
            shownName = dialog.edFileName->Text();
            for (TCheckBox* box : {dialog.chkType, dialog.chkDate, dialog.chkAttr, dialog.chkPath, dialog.chkDirTitle})
                box->SetChecked(false);
            dialog.chkName->SetChecked(true);
            dialog.chksize->SetChecked(true);
            dialog.chkColumnHeader->SetChecked(true);
            dialog.chkExec->SetChecked(true);
            dialog.cbFileFormat->SetItemIndex(2);
            dialog.edFileName->SetText(L"liste.csv");
            dialog.OkClicked();
            const bool closed = dialog.ModalResult() == mrOk;
            dialog.Hide();
            return closed;
        };
    }
    void TearDown() override { form.reset(); }

    test::TestDir dir;
    std::unique_ptr<TForm> form;
    FileListHost host;
    TFileTools tools{host.panes, host, host};
    RecordingRunner* runner = nullptr;
    std::wstring shownName;
};

}  // namespace

TEST_F(FileListCommandTest, WritesTheGoldenFileAndStartsTheEditorWithTheQuotedName)
{
    // ctest: takes the focus (the dialog is shown)
    tools.CreateFileListExecute();
    EXPECT_EQ(shownName, L"Dateiliste.txt");
    EXPECT_EQ(dir.Read(L"liste.csv"), std::string(kGoldenFileListNamesSizes, sizeof kGoldenFileListNamesSizes));
    ASSERT_EQ(runner->starts.size(), 1u);
    EXPECT_EQ(runner->starts[0].file, L"notepad.exe");
    EXPECT_EQ(runner->starts[0].parameters, L"\"" + dir.File(L"liste.csv") + L"\"");
    EXPECT_TRUE(host.messageBoxes.empty());
    // The choices are kept for the next time.
    EXPECT_EQ(host.stored.Settings, L"X-X---XX--");
    EXPECT_EQ(host.stored.FormatIndex, 2);
    EXPECT_EQ(host.stored.Filename, L"liste.csv");
    // Nothing of the unfinished file is left beside it.
    WIN32_FIND_DATAW found;
    int files = 0;
    HANDLE find = FindFirstFileW((dir.Path() + L"\\*.tmp").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        ++files;
        FindClose(find);
    }
    EXPECT_EQ(files, 0);
}

TEST_F(FileListCommandTest, DeclinedOverwriteKeepsTheFileItsTimeAndTheDialog)
{
    const std::wstring target = dir.Write(L"liste.csv", "alt");
    const FILETIME before = LastWrite(target);
    Sleep(20);
    host.messageAnswer = mrNo;
    tools.CreateFileListExecute();
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0], L"Die Datei \"liste.csv\" ist bereits vorhanden. Möchten Sie diese überschreiben?");
    EXPECT_EQ(host.messageKinds[0], TMsgDlgType::mtConfirmation);
    EXPECT_EQ(dir.Read(L"liste.csv"), "alt");
    const FILETIME after = LastWrite(target);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
    EXPECT_TRUE(runner->starts.empty());
    EXPECT_FALSE(host.stored.Settings) << "the choices of an unwritten list are not kept";

    host.messageAnswer = mrYes;
    tools.CreateFileListExecute();
    EXPECT_EQ(dir.Read(L"liste.csv"), std::string(kGoldenFileListNamesSizes, sizeof kGoldenFileListNamesSizes));
}

TEST_F(FileListCommandTest, AFileThatCannotBeReplacedIsReportedAndKept)
{
    const std::wstring target = dir.Write(L"liste.csv", "alt");
    // Another program holds the file open without sharing it.
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    host.messageAnswer = mrYes;
    tools.CreateFileListExecute();
    CloseHandle(held);
    ASSERT_EQ(host.messageBoxes.size(), 2u);
    EXPECT_EQ(host.messageBoxes[1].rfind(L"Die Datei \"" + target + L"\" kann nicht erstellt werden.\n", 0), 0u)
        << WideToUtf8(host.messageBoxes[1]);
    EXPECT_EQ(host.messageKinds[1], TMsgDlgType::mtError);
    EXPECT_EQ(dir.Read(L"liste.csv"), "alt");
    EXPECT_TRUE(runner->starts.empty());
}
