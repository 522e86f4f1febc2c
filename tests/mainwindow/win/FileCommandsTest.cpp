#include "mainwindow/win/FileCommands.h"

#include "TestDir.h"
#include "common/FileOperator.h"
#include "common/win/FileClipboard.h"
#include "framework/win/Forms.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The window's side, recorded: one list on a form and the settings.
class FakeFileCommandsHost : public TFileCommandsHost {
public:
    TDirView* list = nullptr;
    TOptions options;
    std::vector<std::wstring> boxes;
    int answer = mrOk;
    int displayCleared = 0;

    TDirView* ActiveFileList() override { return list; }
    const TOptions& FileOptions() override { return options; }
    int ShowMessageBox(const std::wstring& text, TMsgDlgType, int, TMsgDlgButtons) override
    {
        boxes.push_back(text);
        return answer;
    }
    bool ClearDisplay() override
    {
        ++displayCleared;
        return true;
    }
    void RefreshStatusBar() override {}
};

class FileCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Liste");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        dir.Write(L"Liste\\brief.txt", "Text");
        dir.Write(L"Liste\\notiz.txt", "Notiz");
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        host.list = new TDirView(form.get());
        host.list->SetParent(form.get());
        host.list->SetBounds(0, 0, 500, 400);
        form->Show();
        host.list->SetPath(folder);
        host.list->SetFocus();
    }
    void TearDown() override { form.reset(); }
    void Select(const std::wstring& name)
    {
        host.list->SelectRange(-1, -1, false);
        host.list->SetItemSelected(*host.list->FindFileItem(name), true);
    }

    test::TestDir dir;
    std::wstring folder;
    std::unique_ptr<TForm> form;
    FakeFileCommandsHost host;
    TFileCommands commands{host};
};

}  // namespace

TEST_F(FileCommandsTest, InsertMakesNumberedFoldersAndOpensTheEditor)
{
    ASSERT_TRUE(commands.ListKeyDown(VK_INSERT, false, false));
    EXPECT_TRUE(Exists(folder + L"\\Neues Verzeichnis"));
    EXPECT_NE(SendMessageW(host.list->Handle(), LVM_GETEDITCONTROL, 0, 0), 0) << "the new name is being edited";
    SendMessageW(host.list->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    ASSERT_TRUE(commands.ListKeyDown(VK_INSERT, false, false));
    SendMessageW(host.list->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    EXPECT_TRUE(Exists(folder + L"\\Neues Verzeichnis (1)"));
    ASSERT_TRUE(commands.ListKeyDown(VK_INSERT, false, true));
    SendMessageW(host.list->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    EXPECT_TRUE(Exists(folder + L"\\Neue Datei"));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(FileCommandsTest, ShiftDeleteDeletesForGoodWithoutTheProgramsQuestion)
{
    host.options.ConfirmPhysicalDel = false;
    Select(L"brief.txt");
    ASSERT_TRUE(commands.ListKeyDown(VK_DELETE, true, false));
    EXPECT_FALSE(Exists(folder + L"\\brief.txt"));
    EXPECT_TRUE(Exists(folder + L"\\notiz.txt"));
    EXPECT_EQ(host.displayCleared, 1);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(host.list->ConfirmDelete) << "the list's own setting comes back";
}

TEST_F(FileCommandsTest, UndoWithoutAnOperationSaysSoAndAfterAPasteRemovesTheCopies)
{
    commands.FileUndo();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], L"Operation kann nicht rückgängig gemacht werden.");

    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    Select(L"notiz.txt");
    commands.ClipBoardCopy(false);
    host.list->SetPath(other);
    commands.ClipBoardPaste();
    ASSERT_EQ(dir.Read(L"Andere\\notiz.txt"), "Notiz");
    ASSERT_EQ(commands.LastFileOperator(), &host.list->FileOperator());
    commands.FileUndo();
    EXPECT_FALSE(Exists(other + L"\\notiz.txt"));
    EXPECT_EQ(dir.Read(L"Liste\\notiz.txt"), "Notiz");
    EXPECT_EQ(host.boxes.size(), 1u) << "no further message";
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}

TEST_F(FileCommandsTest, DeleteWithNothingSelectedIsRefused)
{
    host.list->SelectRange(-1, -1, false);
    commands.DeleteObject();
    EXPECT_EQ(host.boxes, std::vector<std::wstring>{L"Kein löschbares Element fokusiert."});
    commands.EditObject();
    EXPECT_EQ(host.boxes.back(), L"Kein editierbares Element fokusiert.");
}
