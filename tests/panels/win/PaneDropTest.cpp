// Drops of another program's data objects onto the real tree and list: what
// lands where, under which names, and what Strg+Z takes back.

#include "../../common/win/DropDataFake.h"
#include "TestDir.h"
#include "framework/InputErrors.h"
#include "TreeAndListForm.h"
#include "common/DropFilesBlock.h"
#include "common/FileOperator.h"
#include "common/FileDescriptorBlock.h"
#include "common/win/KyClipBoardFormats.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/PaneDragDrop.h"
#include "win/MessagePump.h"
#include "win/WineDrive.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
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

// Dragged files as the shell offers them.
struct FilesData : TDropDataFake {
    explicit FilesData(const std::vector<std::wstring>& names) { AddBlock(CF_HDROP, BuildDropFiles(names)); }
};

// Dropped contents: named (or unnamed) streams with a descriptor.
struct ContentsData : TDropDataFake {
    explicit ContentsData(const std::vector<std::pair<std::wstring, std::string>>& files)
    {
        ContentsFormat = CFFileContents;
        std::vector<TFileDescriptorEntry> entries(files.size());
        for (size_t i = 0; i < files.size(); ++i) {
            entries[i].Name = files[i].first;
            Add(CFFileContents, files[i].second, TYMED_ISTREAM, static_cast<LONG>(i));
        }
        AddBlock(CFFileGroupDescriptorW, BuildFileGroupDescriptor(entries, true, nullptr));
    }
};

// A source stream that gives its first bytes and then fails.
class TFailingStream : public IStream {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IID_IStream || riid == IID_ISequentialStream) {
            *object = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override
    {
        if (given_) {
            *read = 0;
            return STG_E_READFAULT;
        }
        given_ = true;
        const ULONG n = std::min<ULONG>(count, 5);
        std::memcpy(buffer, "Teil!", n);
        *read = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER* position) override
    {
        if (position)
            position->QuadPart = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    ULONG refs_ = 1;
    bool given_ = false;
};

// Contents whose stream FailingIndex breaks off after its first bytes.
struct BreakingContentsData : ContentsData {
    BreakingContentsData(const std::vector<std::pair<std::wstring, std::string>>& files, LONG failing)
        : ContentsData(files), FailingIndex(failing)
    {}
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (format->cfFormat != ContentsFormat || format->lindex != FailingIndex)
            return ContentsData::GetData(format, medium);
        AskedIndexes.push_back(format->lindex);
        *medium = STGMEDIUM{};
        medium->tymed = TYMED_ISTREAM;
        medium->pstm = new TFailingStream;
        return S_OK;
    }
    LONG FailingIndex;
};

class PaneDrop : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* sub : {L"Quelle", L"Quelle\\Ordner", L"Ziel"})
            ASSERT_TRUE(CreateDirectoryW(dir.File(sub).c_str(), nullptr));
        dir.Write(L"Quelle\\Ordner\\inhalt.txt", "Inhalt");
        dir.Write(L"Quelle\\brief.txt", "Brief");
        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        list = made.List;
        form->Show();
        TTreeNode* root = tree->NodeForPath(dir.Path());
        ASSERT_NE(root, nullptr);
        root->Expand();
        list->SetPath(dir.File(L"Ziel"));
        ASSERT_TRUE(list->Loaded());
        list->DragDrop().OnDDError = [this](TPaneDragDrop*, int code, const std::wstring&) { errors.push_back(code); };
        tree->DragDrop().OnDDError = list->DragDrop().OnDDError;
    }
    void TearDown() override { form.reset(); }

    // Enter, hover and drop at a client point of the pane; the effect the
    // drop reported, after the pane carried it out.
    DWORD DropAt(TPaneDragDrop& pane, HWND window, POINT client, IDataObject* data, DWORD keys = MK_LBUTTON,
                 DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK)
    {
        ClientToScreen(window, &client);
        const POINTL at{client.x, client.y};
        IDropTarget* target = pane.Component().DropTarget();
        DWORD effect = offered;
        EXPECT_EQ(target->DragEnter(data, keys, at, &effect), S_OK);
        effect = offered;
        EXPECT_EQ(target->DragOver(keys, at, &effect), S_OK);
        if (effect == DROPEFFECT_NONE) {
            target->DragLeave();
            return DROPEFFECT_NONE;
        }
        effect = offered;
        EXPECT_EQ(target->Drop(data, keys & ~(MK_LBUTTON | MK_RBUTTON), at, &effect), S_OK);
        PumpUntilIdle([] { return true; }, 5s);
        return effect;
    }
    DWORD DropOnList(IDataObject* data, DWORD keys = MK_LBUTTON)
    {
        // The background below the items.
        RECT client{};
        GetClientRect(list->Handle(), &client);
        return DropAt(list->DragDrop(), list->Handle(), POINT{client.right / 2, client.bottom - 10}, data, keys);
    }
    DWORD DropOnNode(TTreeNode* node, IDataObject* data, DWORD keys = MK_LBUTTON)
    {
        SendMessageW(tree->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node->ItemId()));
        RECT rect{};
        *reinterpret_cast<HTREEITEM*>(&rect) = node->ItemId();
        EXPECT_TRUE(SendMessageW(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
        EXPECT_EQ(tree->NodeAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2), node);
        return DropAt(tree->DragDrop(), tree->Handle(),
                      POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, data, keys);
    }

    TestDir dir;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TDirView* list = nullptr;
    std::vector<int> errors;
};

}  // namespace

// A folder dropped on a node of its own drive moves there; Ctrl copies;
// onto its own subfolder nothing happens.
TEST_F(PaneDrop, AFolderDroppedOnANodeMovesAndCtrlCopies)
{
    TTreeNode* ziel = tree->NodeForPath(dir.File(L"Ziel"));
    ASSERT_NE(ziel, nullptr);
    FilesData folder({dir.File(L"Quelle\\Ordner")});
    TTreeNode* own = tree->NodeForPath(dir.File(L"Quelle"));
    ASSERT_NE(own, nullptr);
    own->Expand();
    EXPECT_EQ(DropOnNode(tree->NodeForPath(dir.File(L"Quelle\\Ordner")), &folder), DROPEFFECT_NONE) << "onto itself";

    EXPECT_EQ(DropOnNode(ziel, &folder), DROPEFFECT_MOVE);
    EXPECT_TRUE(Exists(dir.File(L"Ziel\\Ordner\\inhalt.txt")));
    EXPECT_FALSE(Exists(dir.File(L"Quelle\\Ordner")));
    EXPECT_NE(tree->NodeForPath(dir.File(L"Ziel\\Ordner")), nullptr) << "the node came along";

    FilesData brief({dir.File(L"Quelle\\brief.txt")});
    EXPECT_EQ(DropOnNode(ziel, &brief, MK_LBUTTON | MK_CONTROL), DROPEFFECT_COPY);
    EXPECT_TRUE(Exists(dir.File(L"Ziel\\brief.txt")));
    EXPECT_TRUE(Exists(dir.File(L"Quelle\\brief.txt")));
    EXPECT_TRUE(errors.empty());
}

// Several files of one drive and no folder among them (here a text and an
// archive) move onto a folder of the tree and into the list's folder alike,
// and the undo brings them back.
TEST_F(PaneDrop, SeveralFilesMoveOntoANodeAndIntoTheList)
{
    const std::string emptyZip = std::string("PK\x05\x06", 4) + std::string(18, '\0');
    dir.Write(L"Quelle\\paket.zip", emptyZip);
    struct Case {
        const char* what;
        bool ontoTree;
    } cases[] = {{"a folder of the tree", true}, {"the list's folder", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FilesData files({dir.File(L"Quelle\\brief.txt"), dir.File(L"Quelle\\paket.zip")});
        TTreeNode* ziel = tree->NodeForPath(dir.File(L"Ziel"));
        ASSERT_NE(ziel, nullptr);
        EXPECT_EQ(c.ontoTree ? DropOnNode(ziel, &files) : DropOnList(&files), DROPEFFECT_MOVE);
        EXPECT_EQ(dir.Read(L"Ziel\\brief.txt"), "Brief");
        EXPECT_EQ(dir.Read(L"Ziel\\paket.zip"), emptyZip);
        EXPECT_FALSE(Exists(dir.File(L"Quelle\\brief.txt")));
        EXPECT_FALSE(Exists(dir.File(L"Quelle\\paket.zip")));

        EXPECT_TRUE(c.ontoTree ? tree->FileOperator().Undo() : list->UndoCopyMove());
        EXPECT_EQ(dir.Read(L"Quelle\\brief.txt"), "Brief");
        EXPECT_EQ(dir.Read(L"Quelle\\paket.zip"), emptyZip);
        EXPECT_FALSE(Exists(dir.File(L"Ziel\\paket.zip")));
    }
    EXPECT_TRUE(errors.empty());
}

// Files from another drive are copied into the list's folder, and Strg+Z
// (the list's operator) takes the copies away again.
TEST_F(PaneDrop, FilesFromAnotherDriveAreCopiedAndUndoRemovesTheCopies)
{
    TestDir other;
    other.Write(L"fremd.txt", "fremd");
    other.Write(L"zwei.txt", "zwei");
    WineDrive drive(other.Path(), DRIVE_FIXED);
    if (!drive.Letter())
        GTEST_SKIP() << "no second drive here";
    const std::wstring root{drive.Letter(), L':', L'\\'};
    FilesData files({root + L"fremd.txt", root + L"zwei.txt"});
    EXPECT_EQ(DropOnList(&files), DROPEFFECT_COPY);
    EXPECT_EQ(dir.Read(L"Ziel\\fremd.txt"), "fremd");
    EXPECT_TRUE(Exists(root + L"fremd.txt")) << "copied, not moved";
    EXPECT_NE(list->FindFileItem(L"zwei.txt"), nullptr) << "the list shows them";

    EXPECT_TRUE(list->UndoCopyMove());
    EXPECT_FALSE(Exists(dir.File(L"Ziel\\fremd.txt")));
    EXPECT_FALSE(Exists(dir.File(L"Ziel\\zwei.txt")));
    EXPECT_TRUE(Exists(root + L"zwei.txt"));
    EXPECT_EQ(list->FindFileItem(L"zwei.txt"), nullptr);
}

// Dropped contents become files: unnamed ones by their index, hostile
// names inside the folder, repeats numbered.
TEST_F(PaneDrop, DroppedContentsBecomeFilesWithSafeNames)
{
    list->DragDrop().SetAcceptFileContents(true);
    ContentsData unnamed({{L"", "erste"}, {L"", "zweite"}});
    EXPECT_EQ(DropOnList(&unnamed), DROPEFFECT_COPY);
    EXPECT_EQ(dir.Read(L"Ziel\\Datei 0.dat"), "erste");
    EXPECT_EQ(dir.Read(L"Ziel\\Datei 1.dat"), "zweite");

    ContentsData hostile({{L"..\\..\\ausbruch.txt", "a"},
                          {L"nul.txt", "n"},
                          {L"a:b.txt", "c"},
                          {L"doppelt.txt", "1"},
                          {L"doppelt.txt", "2"}});
    EXPECT_EQ(DropOnList(&hostile), DROPEFFECT_COPY);
    EXPECT_EQ(dir.Read(L"Ziel\\ausbruch.txt"), "a");
    EXPECT_FALSE(Exists(dir.File(L"ausbruch.txt")));
    EXPECT_EQ(dir.Read(L"Ziel\\_nul.txt"), "n");
    EXPECT_EQ(dir.Read(L"Ziel\\a_b.txt"), "c");
    EXPECT_EQ(dir.Read(L"Ziel\\doppelt.txt"), "1");
    EXPECT_EQ(dir.Read(L"Ziel\\doppelt(1).txt"), "2");
    EXPECT_NE(list->FindFileItem(L"doppelt(1).txt"), nullptr);
    EXPECT_TRUE(errors.empty());
}

// Contents are fetched once, at the drop, and read from the source as
// they are written: a stream breaking off midway leaves no partial file and
// stops the drop with error 2, as does a folder of a stream's name.
TEST_F(PaneDrop, AStreamBreakingOffLeavesNoFileAndReportsError2)
{
    list->DragDrop().SetAcceptFileContents(true);
    BreakingContentsData data({{L"gut.txt", "ganz"}, {L"kaputt.txt", ""}, {L"danach.txt", "nie"}}, 1);
    DropOnList(&data);
    EXPECT_EQ(data.AskedIndexes, (std::vector<LONG>{0, 1, 2})) << "each stream asked for once, at the drop";
    EXPECT_EQ(dir.Read(L"Ziel\\gut.txt"), "ganz");
    EXPECT_FALSE(Exists(dir.File(L"Ziel\\kaputt.txt"))) << "no partial file";
    EXPECT_FALSE(Exists(dir.File(L"Ziel\\danach.txt")));
    EXPECT_EQ(errors, (std::vector<int>{kDropErrorContents}));

    errors.clear();
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Ziel\\ordner.txt").c_str(), nullptr));
    ContentsData folderName({{L"ordner.txt", "Inhalt"}});
    DropOnList(&folderName);
    EXPECT_EQ(errors, (std::vector<int>{kDropErrorContents}));
    EXPECT_NE(GetFileAttributesW(dir.File(L"Ziel\\ordner.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// An existing file is replaced only after Yes: No keeps it, Abort stops.
TEST_F(PaneDrop, NoKeepsAnExistingFileAndYesReplacesIt)
{
    list->DragDrop().SetAcceptFileContents(true);
    dir.Write(L"Ziel\\da.txt", "alt");
    dir.Write(L"Ziel\\auch.txt", "alt");
    std::vector<std::wstring> asked;
    TOverwriteAnswer answer = TOverwriteAnswer::No;
    list->DragDrop().AskOverwrite = [&](const std::wstring&, const std::wstring& name) {
        asked.push_back(name);
        return answer;
    };
    ContentsData data({{L"da.txt", "neu"}, {L"neu.txt", "neu"}, {L"auch.txt", "neu"}});
    DropOnList(&data);
    EXPECT_EQ(dir.Read(L"Ziel\\da.txt"), "alt");
    EXPECT_EQ(dir.Read(L"Ziel\\neu.txt"), "neu");
    EXPECT_EQ(dir.Read(L"Ziel\\auch.txt"), "alt");
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"da.txt", L"auch.txt"}));

    asked.clear();
    answer = TOverwriteAnswer::YesToAll;
    DropOnList(&data);
    EXPECT_EQ(dir.Read(L"Ziel\\da.txt"), "neu");
    EXPECT_EQ(dir.Read(L"Ziel\\auch.txt"), "neu");
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"da.txt"})) << "yes to all asks no more";

    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(dir.File(L"Ziel\\qrv*").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "no temporary file left";
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

// A file moved onto a folder that holds one of its name replaces it only
// after a question (the shell's move asks none): No keeps both where they
// were, on the tree's nodes and on the list alike.
TEST_F(PaneDrop, AMovedFileReplacesOneOfItsNameOnlyAfterYes)
{
    dir.Write(L"Ziel\\brief.txt", "alt");
    std::vector<std::wstring> asked;
    TOverwriteAnswer answer = TOverwriteAnswer::No;
    const auto ask = [&](const std::wstring& folder, const std::wstring& name) {
        asked.push_back(folder + L"|" + name);
        return answer;
    };
    list->DragDrop().AskOverwrite = ask;
    tree->DragDrop().AskOverwrite = ask;
    TTreeNode* ziel = tree->NodeForPath(dir.File(L"Ziel"));
    ASSERT_NE(ziel, nullptr);
    FilesData brief({dir.File(L"Quelle\\brief.txt")});
    DropOnNode(ziel, &brief);
    DropOnList(&brief);
    const std::wstring question = dir.File(L"Ziel") + L"|brief.txt";
    EXPECT_EQ(asked, (std::vector<std::wstring>{question, question}));
    EXPECT_EQ(dir.Read(L"Ziel\\brief.txt"), "alt");
    EXPECT_EQ(dir.Read(L"Quelle\\brief.txt"), "Brief");

    // Abort leaves everything too; Yes replaces it.
    answer = TOverwriteAnswer::Abort;
    DropOnList(&brief);
    EXPECT_EQ(dir.Read(L"Ziel\\brief.txt"), "alt");
    answer = TOverwriteAnswer::Yes;
    EXPECT_EQ(DropOnList(&brief), DROPEFFECT_MOVE);
    EXPECT_EQ(dir.Read(L"Ziel\\brief.txt"), "Brief");
    EXPECT_FALSE(Exists(dir.File(L"Quelle\\brief.txt")));
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_TRUE(errors.empty());
}

// A link drop (Ctrl+Shift) makes shortcuts, and one already there keeps
// its place: the new one takes a free number.
TEST_F(PaneDrop, LinksTakeAFreeNameBesideAnExistingShortcut)
{
    dir.Write(L"Ziel\\brief.txt.lnk", "nicht anfassen");
    FilesData brief({dir.File(L"Quelle\\brief.txt")});
    EXPECT_EQ(DropOnList(&brief, MK_LBUTTON | MK_CONTROL | MK_SHIFT), DROPEFFECT_LINK);
    EXPECT_EQ(dir.Read(L"Ziel\\brief.txt.lnk"), "nicht anfassen");
    EXPECT_TRUE(Exists(dir.File(L"Ziel\\brief.txt (2).lnk")));
    EXPECT_TRUE(errors.empty());
}

// A drop into a folder that has gone reports error 1 and changes nothing.
TEST_F(PaneDrop, AVanishedTargetReportsError1)
{
    FilesData brief({dir.File(L"Quelle\\brief.txt")});
    ASSERT_TRUE(RemoveDirectoryW(dir.File(L"Ziel").c_str()));
    list->DragDrop().Component().RenderDataOn = rdoEnterAndDropSync;
    DWORD effect = DropOnList(&brief);
    (void)effect;
    EXPECT_EQ(errors, (std::vector<int>{kDropErrorNoTarget}));
    EXPECT_TRUE(Exists(dir.File(L"Quelle\\brief.txt")));
}

// Without a handler of the pane's own it is a drag-and-drop error for the
// application's handler.
TEST_F(PaneDrop, WithoutAHandlerAVanishedTargetIsADragDropError)
{
    list->DragDrop().OnDDError = nullptr;
    std::vector<std::wstring> raised;
    const auto previous = Application->OnException;
    Application->OnException = [&](TComponent*, const std::exception& error) {
        const auto* dropError = dynamic_cast<const EDragDrop*>(&error);
        raised.push_back(dropError ? dropError->Message() : L"<another exception>");
    };
    FilesData brief({dir.File(L"Quelle\\brief.txt")});
    ASSERT_TRUE(RemoveDirectoryW(dir.File(L"Ziel").c_str()));
    list->DragDrop().Component().RenderDataOn = rdoEnterAndDropSync;
    (void)DropOnList(&brief);
    Application->OnException = previous;
    EXPECT_EQ(raised, std::vector<std::wstring>{L"DragDrop Error: 1"});
    EXPECT_TRUE(Exists(dir.File(L"Quelle\\brief.txt")));
}

// Duplicating makes copies beside the selection and selects them; items
// whose files went elsewhere leave the list without a re-read.
TEST_F(PaneDrop, DuplicatesAreSelectedAndVanishedItemsLeave)
{
    list->SetPath(dir.File(L"Quelle"));
    TFileRec* brief = list->FindFileItem(L"brief.txt");
    ASSERT_NE(brief, nullptr);
    list->SetItemSelected(*brief, true);
    ASSERT_TRUE(list->DuplicateSelectedFiles());
    EXPECT_EQ(dir.Read(L"Quelle\\brief - Kopie.txt"), "Brief");
    TFileRec* copy = list->FindFileItem(L"brief - Kopie.txt");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->Selected);
    EXPECT_FALSE(list->FindFileItem(L"brief.txt")->Selected);

    // Gone behind the list's back (no watching here).
    list->SetWatchForChanges(false);
    ASSERT_TRUE(DeleteFileW(dir.File(L"Quelle\\brief - Kopie.txt").c_str()));
    const int before = list->ItemCount();
    list->ValidateSelectedItems();
    EXPECT_EQ(list->FindFileItem(L"brief - Kopie.txt"), nullptr);
    EXPECT_EQ(list->ItemCount(), before - 1);
    list->RemoveFileItem(dir.File(L"Quelle\\brief.txt"));
    EXPECT_NE(list->FindFileItem(L"brief.txt"), nullptr) << "still there: stays";

    // Many dragged away at once (their folder read once): the gone ones
    // leave, in any case of their names; the one still there stays.
    std::vector<std::wstring> dragged;
    for (int i = 0; i < 12; ++i)
        dragged.push_back(dir.Write(L"Quelle\\weg" + std::to_wstring(i) + L".txt", "w"));
    list->ReloadDirectory();
    ASSERT_NE(list->FindFileItem(L"weg11.txt"), nullptr);
    const int all = list->ItemCount();
    for (int i = 1; i < 12; ++i)
        ASSERT_TRUE(DeleteFileW(dragged[static_cast<size_t>(i)].c_str()));
    dragged[5] = dir.File(L"Quelle\\WEG5.TXT");
    list->WatchVanishedFiles(dragged);
    EXPECT_EQ(list->ItemCount(), all - 11);
    EXPECT_NE(list->FindFileItem(L"weg0.txt"), nullptr);
    EXPECT_EQ(list->FindFileItem(L"weg5.txt"), nullptr);
    EXPECT_NE(list->FindFileItem(L"brief.txt"), nullptr);
}

// The system's own drag loop, steered by the source: a file of the list is
// carried onto a folder of the tree and moved there.
TEST_F(PaneDrop, ARealDragFromTheListOntoATreeFolderMovesTheFile)
{
    // ctest: runs alone (it moves the cursor across the screen other tests use)
    list->SetPath(dir.File(L"Quelle"));
    TFileRec* brief = list->FindFileItem(L"brief.txt");
    ASSERT_NE(brief, nullptr);
    list->SetItemSelected(*brief, true);
    TTreeNode* ziel = tree->NodeForPath(dir.File(L"Ziel"));
    ASSERT_NE(ziel, nullptr);
    SendMessageW(tree->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(ziel->ItemId()));
    RECT rect{};
    *reinterpret_cast<HTREEITEM*>(&rect) = ziel->ItemId();
    ASSERT_TRUE(SendMessageW(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
    POINT over{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(tree->Handle(), &over);
    // No button is pressed under the test: the source moves the cursor onto
    // the folder, waits past the slip guard and drops.
    const DWORD start = GetTickCount();
    int calls = 0;
    list->DragDrop().OnDDQueryContinueDrag = [&](TPaneDragDrop*, bool, uint32_t, HRESULT& result) {
        if (++calls == 1)
            SetCursorPos(over.x, over.y);
        result = GetTickCount() - start < 400 ? S_OK : DRAGDROP_S_DROP;
    };
    SetCursorPos(5, 5);
    EXPECT_EQ(list->DragSelectedItems(), drMove);
    PumpUntil([&] { return Exists(dir.File(L"Ziel\\brief.txt")); }, 5s);
    EXPECT_EQ(dir.Read(L"Ziel\\brief.txt"), "Brief");
    EXPECT_FALSE(Exists(dir.File(L"Quelle\\brief.txt")));
    EXPECT_TRUE(PumpUntil([&] { return list->FindFileItem(L"brief.txt") == nullptr; }, 3s)) << "the list let it go";
}

namespace {

// The drag picture on the screen now: the image the system holds, where the
// cursor holds it, and where its top-left corner lies on the screen.
struct ShownPicture {
    HIMAGELIST Image = nullptr;
    POINT HotSpot{};
    POINT At{};
    int Width = 0;
    int Height = 0;
};

ShownPicture PictureNow(HWND pane)
{
    ShownPicture shown;
    POINT position{};
    shown.Image = ImageList_GetDragImage(&position, &shown.HotSpot);
    if (!shown.Image)
        return shown;
    ImageList_GetIconSize(shown.Image, &shown.Width, &shown.Height);
    RECT frame{};
    GetWindowRect(GetAncestor(pane, GA_ROOT), &frame);
    shown.At = {frame.left + position.x - shown.HotSpot.x, frame.top + position.y - shown.HotSpot.y};
    return shown;
}

int Brightness(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour);
}

bool Dark(COLORREF colour)
{
    return Brightness(colour) < 200;
}

// The pixels of a screen area, or of the image drawn on magenta.
std::vector<COLORREF> Pixels(int width, int height, const std::function<void(HDC)>& draw)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

// Several items dragged out of the list show the files' picture with their
// counts, one line each, over the window and instead of the cursor; the
// picture leaves with the drag.
TEST_F(PaneDrop, SeveralDraggedItemsShowThePictureWithTheirCounts)
{
    // ctest: runs alone (it moves the cursor across the screen other tests use)
    dir.Write(L"Quelle\\zwei.txt", "2");
    list->SetPath(dir.File(L"Quelle"));
    for (const wchar_t* name : {L"brief.txt", L"zwei.txt", L"Ordner"}) {
        TFileRec* item = list->FindFileItem(name);
        ASSERT_NE(item, nullptr) << name;
        list->SetItemSelected(*item, true);
    }
    // Over the list's empty background, where the dark pixels can only be
    // the picture's.
    RECT client{};
    GetClientRect(list->Handle(), &client);
    POINT over{client.right / 2, client.bottom - 20};
    ClientToScreen(list->Handle(), &over);
    SetCursorPos(over.x, over.y);
    PumpUntilIdle([] { return true; }, 2s);

    ShownPicture shown;
    std::vector<COLORREF> image;
    std::vector<COLORREF> screen;
    bool cursorHidden = false;
    int calls = 0;
    list->DragDrop().OnDDQueryContinueDrag = [&](TPaneDragDrop*, bool, uint32_t, HRESULT& result) {
        // Seen on the third round, after the picture followed the cursor.
        if (++calls == 3) {
            shown = PictureNow(list->Handle());
            if (shown.Image) {
                image = Pixels(shown.Width, shown.Height, [&](HDC dc) {
                    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
                    RECT all{0, 0, shown.Width, shown.Height};
                    FillRect(dc, &all, magenta);
                    DeleteObject(magenta);
                    ImageList_Draw(shown.Image, 0, dc, 0, 0, ILD_NORMAL);
                });
                screen = Pixels(shown.Width, shown.Height, [&](HDC dc) {
                    HDC desktop = GetDC(nullptr);
                    BitBlt(dc, 0, 0, shown.Width, shown.Height, desktop, shown.At.x, shown.At.y, SRCCOPY);
                    ReleaseDC(nullptr, desktop);
                });
            }
            CURSORINFO cursor{};
            cursor.cbSize = sizeof cursor;
            cursorHidden = GetCursorInfo(&cursor) && !(cursor.flags & CURSOR_SHOWING);
        }
        result = calls < 4 ? S_OK : DRAGDROP_S_CANCEL;
    };
    EXPECT_EQ(list->DragSelectedItems(), drCancel);
    ASSERT_NE(shown.Image, nullptr) << "a picture went with the drag";
    EXPECT_EQ(shown.HotSpot.x, 25);
    EXPECT_EQ(shown.HotSpot.y, 20);
    EXPECT_GT(shown.Width, 36 + 40) << "the counts beside the picture";
    EXPECT_GE(shown.Height, 32);
    EXPECT_TRUE(cursorHidden);

    // The text right of the picture: two lines, shown where the picture is
    // (the system may draw it a little lighter than it is).
    std::vector<int> darkRows;
    int ink = 0;
    int inkOnScreen = 0;
    for (int y = 0; y < shown.Height; ++y) {
        bool rowDark = false;
        for (int x = 36; x < shown.Width; ++x) {
            const COLORREF pixel = image[static_cast<size_t>(y * shown.Width + x)];
            if (!Dark(pixel))
                continue;
            rowDark = true;
            if (Brightness(pixel) < 100) {
                ++ink;
                inkOnScreen += Brightness(screen[static_cast<size_t>(y * shown.Width + x)]) < 450 ? 1 : 0;
            }
        }
        if (rowDark)
            darkRows.push_back(y);
    }
    int lines = darkRows.empty() ? 0 : 1;
    for (size_t i = 1; i < darkRows.size(); ++i)
        lines += darkRows[i] > darkRows[i - 1] + 1 ? 1 : 0;
    EXPECT_EQ(lines, 2) << "\"2 Dateien\" and \"1 Verzeichnisse\"";
    EXPECT_GT(ink, 40);
    EXPECT_GE(inkOnScreen * 10, ink * 9) << inkOnScreen << " of " << ink << " on the screen";

    EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr) << "gone with the drag";
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    EXPECT_TRUE(GetCursorInfo(&cursor) && (cursor.flags & CURSOR_SHOWING));
}

// One item dragged shows the control's own picture of it, held where the
// cursor took it; a tree folder the same.
TEST_F(PaneDrop, OneDraggedItemOrFolderShowsItsOwnPicture)
{
    // ctest: runs alone (it moves the cursor across the screen other tests use)
    list->SetPath(dir.File(L"Quelle"));
    TFileRec* brief = list->FindFileItem(L"brief.txt");
    ASSERT_NE(brief, nullptr);
    list->SetItemSelected(*brief, true);
    const int row = list->IndexOf(brief);
    RECT item{LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(
        SendMessageW(list->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    POINT grab{item.left + 5, (item.top + item.bottom) / 2};
    ClientToScreen(list->Handle(), &grab);
    SetCursorPos(grab.x, grab.y);

    const auto dragged = [](TPaneDragDrop& pane, HWND window, const std::function<TDragResult()>& drag) {
        ShownPicture shown;
        int calls = 0;
        pane.OnDDQueryContinueDrag = [&](TPaneDragDrop*, bool, uint32_t, HRESULT& result) {
            if (++calls == 2)
                shown = PictureNow(window);
            result = calls < 3 ? S_OK : DRAGDROP_S_CANCEL;
        };
        EXPECT_EQ(drag(), drCancel);
        pane.OnDDQueryContinueDrag = nullptr;
        return shown;
    };
    const ShownPicture ofRow = dragged(list->DragDrop(), list->Handle(), [this] { return list->DragSelectedItems(); });
    ASSERT_NE(ofRow.Image, nullptr);
    EXPECT_GT(ofRow.Width, 40) << "the icon and the name";
    EXPECT_LT(ofRow.Height, 32) << "one row, not the files' picture";
    EXPECT_GE(ofRow.HotSpot.x, 0);
    EXPECT_LT(ofRow.HotSpot.x, ofRow.Width);
    EXPECT_GE(ofRow.HotSpot.y, 0);
    EXPECT_LT(ofRow.HotSpot.y, ofRow.Height);

    TTreeNode* ziel = tree->NodeForPath(dir.File(L"Ziel"));
    ASSERT_NE(ziel, nullptr);
    SendMessageW(tree->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(ziel->ItemId()));
    RECT text{};
    *reinterpret_cast<HTREEITEM*>(&text) = ziel->ItemId();
    ASSERT_TRUE(SendMessageW(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
    POINT node{text.left + 3, (text.top + text.bottom) / 2};
    ClientToScreen(tree->Handle(), &node);
    SetCursorPos(node.x, node.y);
    const ShownPicture ofNode =
        dragged(tree->DragDrop(), tree->Handle(), [this, ziel] { return tree->DragNode(ziel); });
    ASSERT_NE(ofNode.Image, nullptr);
    EXPECT_GT(ofNode.Width, text.right - text.left) << "the icon and the name";
    EXPECT_GE(ofNode.HotSpot.x, 0);
    EXPECT_LT(ofNode.HotSpot.x, ofNode.Width);
    EXPECT_GE(ofNode.HotSpot.y, 0);
    EXPECT_LT(ofNode.HotSpot.y, ofNode.Height);
    EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
}
