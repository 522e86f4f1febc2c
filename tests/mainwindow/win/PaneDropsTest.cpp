// The main window's part in drops between the panes, on the real tree and
// list with a fake window: the effect option, the question before files are
// duplicated into their own folder, CD copies made writable, errors, undo.

#include "mainwindow/win/PaneDrops.h"

#include "FakeMainWindowServices.h"

#include "../../common/win/DropDataFake.h"
#include "../../panels/win/TreeAndListForm.h"
#include "TestDir.h"
#include "common/DropFilesBlock.h"
#include "panels/DropRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "win/MessagePump.h"
#include "win/WineDrive.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadOnly(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

struct FakeWindow : TPaneDropsHost, FakeMainWindowServices {
    // Only the first file window is shown.
    TMainPanes panes;
    TOptions options;
    std::vector<std::wstring> messages;
    int answer = mrNo;
    TFileOperator* last = nullptr;
    int released = 0;

    const TOptions& DropOptions() override { return options; }
    bool MainWindowActive() override { return true; }
    void BringMainWindowToFront() override {}
    int ShowMessageBox(const std::wstring& text, TMsgDlgType, int, TMsgDlgButtons) override
    {
        messages.push_back(text);
        return answer;
    }
    void ReleaseHexFile() override { ++released; }
    void RedisplayHexFile() override {}
    void SetLastFileOperator(TFileOperator* op) override { last = op; }
};

// The system's drag loop for a drag that starts in the list: the data object
// is dropped straight onto the list's own background.
struct DropOnOwnBackground : TDragDropSystem {
    TDirView* list = nullptr;
    HRESULT DoDragDrop(IDataObject* data, IDropSource*, DWORD ok, DWORD* effect) override
    {
        RECT client{};
        GetClientRect(list->Handle(), &client);
        POINT at{client.right / 2, client.bottom - 10};
        ClientToScreen(list->Handle(), &at);
        IDropTarget* target = list->DragDrop().Component().DropTarget();
        DWORD e = ok;
        target->DragEnter(data, MK_LBUTTON, POINTL{at.x, at.y}, &e);
        e = ok;
        target->DragOver(MK_LBUTTON, POINTL{at.x, at.y}, &e);
        e = ok;
        target->Drop(data, 0, POINTL{at.x, at.y}, &e);
        *effect = e;
        return DRAGDROP_S_DROP;
    }
};

class PaneDrops : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* sub : {L"Quelle", L"Ziel"})
            ASSERT_TRUE(CreateDirectoryW(dir.File(sub).c_str(), nullptr));
        dir.Write(L"Quelle\\brief.txt", "Brief");
        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        list = made.List;
        form->Show();
        drops = std::make_unique<TPaneDrops>(window.panes, window, window);
        drops->Attach(*tree, {list});
    }
    void TearDown() override
    {
        drops.reset();
        form.reset();
    }
    DWORD DropOnList(IDataObject* data, DWORD keys = MK_LBUTTON)
    {
        RECT client{};
        GetClientRect(list->Handle(), &client);
        POINT at{client.right / 2, client.bottom - 10};
        ClientToScreen(list->Handle(), &at);
        IDropTarget* target = list->DragDrop().Component().DropTarget();
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        target->DragEnter(data, keys, POINTL{at.x, at.y}, &effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        target->DragOver(keys, POINTL{at.x, at.y}, &effect);
        if (effect == DROPEFFECT_NONE) {
            target->DragLeave();
            return effect;
        }
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        target->Drop(data, 0, POINTL{at.x, at.y}, &effect);
        PumpUntilIdle([] { return true; }, 5s);
        return effect;
    }

    TestDir dir;
    FakeWindow window;
    DropOnOwnBackground ownDrop;  // outlives the panes that may call it
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TDirView* list = nullptr;
    std::unique_ptr<TPaneDrops> drops;
};

struct FilesData : TDropDataFake {
    explicit FilesData(const std::vector<std::wstring>& names) { AddBlock(CF_HDROP, BuildDropFiles(names)); }
};

}  // namespace

// The option over the list's own rule: 0 moves even from another drive,
// 2 copies even on the same drive, and the drop is recorded for Strg+Z.
TEST_F(PaneDrops, TheOptionChoosesMoveOrCopyAndTheDropIsRecordedForUndo)
{
    list->SetPath(dir.File(L"Ziel"));
    window.options.DDOption = ddoCopy;
    FilesData brief({dir.File(L"Quelle\\brief.txt")});
    EXPECT_EQ(DropOnList(&brief), DROPEFFECT_COPY);
    EXPECT_TRUE(Exists(dir.File(L"Ziel\\brief.txt")));
    EXPECT_TRUE(Exists(dir.File(L"Quelle\\brief.txt")));
    EXPECT_EQ(window.last, &list->FileOperator());
    EXPECT_GT(window.released, 0) << "the hex view let go before the operation";

    TestDir other;
    other.Write(L"fern.txt", "fern");
    WineDrive drive(other.Path(), DRIVE_FIXED);
    if (!drive.Letter())
        GTEST_SKIP() << "no second drive here";
    const std::wstring fern = std::wstring{drive.Letter(), L':', L'\\'} + L"fern.txt";
    window.options.DDOption = ddoMove;
    FilesData remote({fern});
    EXPECT_EQ(DropOnList(&remote), DROPEFFECT_MOVE);
    EXPECT_TRUE(Exists(dir.File(L"Ziel\\fern.txt")));
    EXPECT_FALSE(Exists(fern));
}

// Dragging files onto the background of their own list asks first; No
// leaves everything as it was, Yes makes copies beside them.
TEST_F(PaneDrops, ADropOntoTheOwnBackgroundAsksBeforeDuplicating)
{
    list->SetPath(dir.File(L"Quelle"));
    ownDrop.list = list;
    list->DragDrop().Component().SetSystem(ownDrop);
    TFileRec* item = list->FindFileItem(L"brief.txt");
    ASSERT_NE(item, nullptr);
    list->SetItemSelected(*item, true);

    window.answer = mrNo;
    list->DragSelectedItems();
    PumpUntilIdle([] { return true; }, 5s);
    EXPECT_EQ(window.messages, (std::vector<std::wstring>{L"1 Datei duplizieren?"}));
    EXPECT_FALSE(Exists(dir.File(L"Quelle\\brief - Kopie.txt")));

    window.answer = mrYes;
    item = list->FindFileItem(L"brief.txt");
    ASSERT_NE(item, nullptr);
    list->SetItemSelected(*item, true);
    list->DragSelectedItems();
    PumpUntilIdle([] { return true; }, 5s);
    EXPECT_EQ(dir.Read(L"Quelle\\brief - Kopie.txt"), "Brief");
    EXPECT_EQ(dir.Read(L"Quelle\\brief.txt"), "Brief");
    EXPECT_NE(list->FindFileItem(L"brief - Kopie.txt"), nullptr);
}

// Copies from a CD lose their read-only flag; an older read-only file of a
// folder of the same name keeps it.
TEST_F(PaneDrops, CdCopiesAreWritableAndOlderFilesKeepReadOnly)
{
    TestDir cd;
    ASSERT_TRUE(CreateDirectoryW(cd.File(L"set").c_str(), nullptr));
    cd.Write(L"set\\neu.txt", "neu");
    ASSERT_TRUE(SetFileAttributesW(cd.File(L"set\\neu.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Ziel\\set").c_str(), nullptr));
    dir.Write(L"Ziel\\set\\alt.txt", "alt");
    ASSERT_TRUE(SetFileAttributesW(dir.File(L"Ziel\\set\\alt.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    WineDrive drive(cd.Path(), DRIVE_CDROM);
    if (!drive.Letter())
        GTEST_SKIP() << "no CD drive here";
    const std::wstring set = std::wstring{drive.Letter(), L':', L'\\'} + L"set";
    list->SetPath(dir.File(L"Ziel"));
    window.options.CDROMAttr = true;
    list->ConfirmOverwrite = false;  // the shell would ask about the folder that exists
    FilesData data({set});
    EXPECT_EQ(DropOnList(&data), DROPEFFECT_COPY);
    ASSERT_TRUE(Exists(dir.File(L"Ziel\\set\\neu.txt")));
    EXPECT_FALSE(ReadOnly(dir.File(L"Ziel\\set\\neu.txt")));
    EXPECT_TRUE(ReadOnly(dir.File(L"Ziel\\set\\alt.txt")));
    SetFileAttributesW(dir.File(L"Ziel\\set\\alt.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(cd.File(L"set\\neu.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PaneDrops, ErrorsAreWordedByTheirNumber)
{
    drops->Error(kDropErrorLink, L"T:\\x");
    drops->Error(kDropErrorNoTarget, L"T:\\weg");
    drops->Error(kDropErrorNoTarget, L"");
    drops->Error(kDropErrorContents, L"T:\\x");
    EXPECT_EQ(window.messages,
              (std::vector<std::wstring>{
                  L"Fehler bei Erstellung der Verküpfung für", L"Ausgewählter Pfad nicht vorhanden:\nT:\\weg",
                  L"Ausgewählter Pfad nicht vorhanden:",
                  L"Ein nicht vorhergesehener Fehler ist bei der Drag&Drop-Operation aufgetreten."}));
}
