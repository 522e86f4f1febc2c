// The main window's part in drops between the panes, on the real tree and
// list with a fake window: the effect option, the question before files are
// duplicated into their own folder, CD copies made writable, diskette files
// read first, errors, undo.

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
#include "win/ForeignFileHolder.h"
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

// Files from a diskette that would replace others are read first, under the
// progress form "Datei prüfen": one that cannot be read is asked about, and
// Ignore leaves it out while Cancel drops nothing; a folder is never read
// as a file.
TEST_F(PaneDrops, DisketteFilesAreReadBeforeTheyReplaceOthers)
{
    TestDir disk;
    disk.Write(L"gut.txt", "neu gut");
    disk.Write(L"kaputt.txt", "neu kaputt");
    ASSERT_TRUE(CreateDirectoryW(disk.File(L"ordner").c_str(), nullptr));
    disk.Write(L"ordner\\drin.txt", "drin");
    dir.Write(L"Ziel\\gut.txt", "alt gut");
    dir.Write(L"Ziel\\kaputt.txt", "alt kaputt");
    WineDrive drive(disk.Path(), DRIVE_REMOVABLE, L'A', L'B');
    if (!drive.Letter())
        GTEST_SKIP() << "no diskette drive here";
    ASSERT_TRUE(TPaneDrops::IsDisketteDrive(drive.Letter()));
    const std::wstring root{drive.Letter(), L':', L'\\'};
    ForeignFileHolder holder(disk.File(L"kaputt.txt"));
    ASSERT_TRUE(holder.Holding());

    list->SetPath(dir.File(L"Ziel"));
    list->ConfirmOverwrite = false;  // the files are replaced without the shell's question
    window.options.VerifyFloppy = true;
    // What the progress form showed while the question was up.
    struct Seen {
        std::wstring message;
        bool progress = false;
        std::wstring label;
    };
    std::vector<Seen> seen;
    struct AskingWindow : FakeWindow {
        std::vector<Seen>* seen = nullptr;
        int ShowMessageBox(const std::wstring& text, TMsgDlgType kind, int help, TMsgDlgButtons buttons) override
        {
            Seen now{text, false, {}};
            if (HWND form = FindWindowW(nullptr, L"Datei prüfen"); form && IsWindowVisible(form)) {
                now.progress = true;
                EnumChildWindows(
                    form,
                    [](HWND child, LPARAM out) {
                        wchar_t text[200]{};
                        GetWindowTextW(child, text, 200);
                        if (std::wstring(text).starts_with(L"Prüfe"))
                            *reinterpret_cast<std::wstring*>(out) = text;
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(&now.label));
            }
            seen->push_back(now);
            return FakeWindow::ShowMessageBox(text, kind, help, buttons);
        }
    };
    AskingWindow asking;
    asking.seen = &seen;
    asking.options = window.options;
    drops = std::make_unique<TPaneDrops>(asking.panes, asking, asking);
    drops->Attach(*tree, {list});

    FilesData both({root + L"gut.txt", root + L"kaputt.txt"});
    asking.answer = mrCancel;
    DropOnList(&both);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, L"Fehler beim Lesen der Datei \"" + root + L"kaputt.txt\"");
    EXPECT_TRUE(seen[0].progress) << "the progress form stood meanwhile";
    EXPECT_EQ(seen[0].label, L"Prüfe \"kaputt.txt\"");
    EXPECT_EQ(dir.Read(L"Ziel\\gut.txt"), "alt gut") << "cancelled: nothing copied";
    EXPECT_EQ(FindWindowW(nullptr, L"Datei prüfen"), nullptr) << "the progress form closed";

    asking.answer = mrIgnore;
    EXPECT_EQ(DropOnList(&both), DROPEFFECT_COPY);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(dir.Read(L"Ziel\\gut.txt"), "neu gut");
    EXPECT_EQ(dir.Read(L"Ziel\\kaputt.txt"), "alt kaputt") << "the unreadable file left out";

    // A folder, with one of its name at the target: copied, nothing asked.
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Ziel\\ordner").c_str(), nullptr));
    FilesData folder({root + L"ordner"});
    EXPECT_EQ(DropOnList(&folder), DROPEFFECT_COPY);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(dir.Read(L"Ziel\\ordner\\drin.txt"), "drin");
    drops.reset();
}
