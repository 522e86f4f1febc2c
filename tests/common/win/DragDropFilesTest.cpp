#include "common/DropFilesBlock.h"
#include "common/FileDescriptorBlock.h"
#include "common/ShellIdListBlock.h"
#include "common/win/DragDropFilesEx.h"
#include "common/win/KyClipBoardFormats.h"
#include "common/win/PIDL.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "DropDataFake.h"
#include "TestDir.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::test;
using Microsoft::WRL::ComPtr;

namespace {

// The system as the tests see it: the menu answers what the test chose and
// records what it showed; the clipboard is a variable.
struct TFakeSystem : TDragDropSystem {
    struct TShownItem {
        int Id;
        std::wstring Text;
        bool Default;
    };
    int Choice = 0;
    std::vector<TShownItem> Shown;
    ComPtr<IDataObject> Clipboard;

    int TrackMenu(HMENU menu, POINT, HWND) override
    {
        Shown.clear();
        const UINT defaultId = GetMenuDefaultItem(menu, FALSE, 0);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = L"";
            GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
            const int id = static_cast<int>(GetMenuItemID(menu, i));
            Shown.push_back({id, text, static_cast<UINT>(id) == defaultId && defaultId != UINT(-1)});
        }
        return Choice;
    }
    HRESULT SetClipboard(IDataObject* data) override
    {
        Clipboard = data;
        return S_OK;
    }
    HRESULT GetClipboard(IDataObject** data) override
    {
        if (!Clipboard) {
            return E_FAIL;
        }
        Clipboard.CopyTo(data);
        return S_OK;
    }
};

std::string Bytes(const std::vector<uint8_t>& block)
{
    return std::string(block.begin(), block.end());
}

std::string BlockOf(IDataObject* data, UINT format)
{
    FORMATETC request{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&request, &medium))) {
        return {};
    }
    const auto* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal));
    std::string block(bytes, GlobalSize(medium.hGlobal));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return block;
}

struct DragDropFiles : ::testing::Test {
    static void SetUpTestSuite()
    {
        form = new TForm(nullptr);
        form->SetBounds(50, 50, 400, 300);
        form->Show();
    }
    static void TearDownTestSuite()
    {
        delete form;
        form = nullptr;
    }
    void SetUp() override
    {
        panel = new TPanel(nullptr);
        panel->SetParent(form);
        panel->SetBounds(10, 10, 300, 200);
        dnd = std::make_unique<TDragDropFilesEx>(nullptr);
        dnd->SetSystem(system);
        dnd->SetDragDropControl(panel);
        dnd->SetSourceEffects(kDropEffectsAll);
        dnd->SetTargetEffects(kDropEffectsAll);
        fake.ContentsFormat = CFFileContents;
    }
    void TearDown() override
    {
        dnd.reset();
        delete panel;
    }
    // Enter and drop with the left button at the panel's middle.
    DWORD Drop(IDataObject* data, DWORD keys = MK_LBUTTON, DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE)
    {
        RECT r;
        GetWindowRect(panel->Handle(), &r);
        const POINTL point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        DWORD effect = offered;
        EXPECT_EQ(dnd->DropTarget()->DragEnter(data, keys, point, &effect), S_OK);
        if (effect == DROPEFFECT_NONE) {
            dnd->DropTarget()->DragLeave();
            return DROPEFFECT_NONE;
        }
        effect = offered;
        EXPECT_EQ(dnd->DropTarget()->Drop(data, keys & ~(MK_LBUTTON | MK_RBUTTON), point, &effect), S_OK);
        return effect;
    }
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < dnd->FileList.Count(); ++i) {
            names.push_back(dnd->FileList.GetItem(i).Name);
        }
        return names;
    }

    static inline TForm* form = nullptr;
    TPanel* panel = nullptr;
    std::unique_ptr<TDragDropFilesEx> dnd;
    TFakeSystem system;
    TDropDataFake fake;
    TestDir dir;
};

}  // namespace

TEST_F(DragDropFiles, FilesGoOutAsItemListsWideNamesAndNameMap)
{
    const std::vector<std::wstring> paths = {dir.Write(L"a.txt", "a"), dir.Write(L"b.txt", "b"),
                                             dir.Write(L"Ωmega.txt", "o")};
    for (const std::wstring& path : paths) {
        dnd->FileList.AddItem(nullptr, path);
    }
    dnd->FileList.GetItem(1).MappedName = L"Kopie von b.txt";
    ASSERT_TRUE(dnd->CopyToClipboard());
    IDataObject* data = system.Clipboard.Get();
    ASSERT_NE(data, nullptr);

    const std::string drop = BlockOf(data, CF_HDROP);
    size_t units = 0;
    for (const auto& path : paths) {
        units += path.size() + 1;
    }
    EXPECT_EQ(drop.size(), 20 + units * 2 + 2) << "a wide block";
    EXPECT_EQ(ParseDropFiles(reinterpret_cast<const uint8_t*>(drop.data()), drop.size(), nullptr), paths);

    const std::string ids = BlockOf(data, CFShellIDList);
    const auto lists = ParseShellIdList(reinterpret_cast<const uint8_t*>(ids.data()), ids.size());
    ASSERT_TRUE(lists);
    ASSERT_EQ(lists->size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(PidlToPath(PidlFromBytes((*lists)[i]).get()), paths[i]);
    }
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(ids.data() + 4), 20u) << "one parent after the offsets";

    const std::string map = BlockOf(data, CFFileNameMapW);
    EXPECT_EQ(ParseFileNameMap(reinterpret_cast<const uint8_t*>(map.data()), map.size(), true, nullptr),
              (std::vector<std::wstring>{L"a.txt", L"Kopie von b.txt", L"Ωmega.txt"}));
    EXPECT_TRUE(BlockOf(data, CFFileNameMap).empty()) << "never both maps";

    // What the object offers and its nearest misses.
    ComPtr<IEnumFORMATETC> formats;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC got[8];
    ULONG fetched = 0;
    formats->Next(8, got, &fetched);
    EXPECT_EQ(fetched, 3u);
    FORMATETC request{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    EXPECT_EQ(data->QueryGetData(&request), DV_E_TYMED);
    request.cfFormat = CF_TEXT;
    EXPECT_EQ(data->QueryGetData(&request), DV_E_FORMATETC);
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &formats), OLE_S_USEREG);
}

TEST_F(DragDropFiles, NothingToOfferGivesNoDataObject)
{
    EXPECT_FALSE(dnd->CopyToClipboard()) << "an empty list";
    dnd->NeedValid = nvFilename | nvPIDL;
    dnd->FileList.AddItem(nullptr, dir.File(std::wstring(600, L'x')));
    EXPECT_FALSE(dnd->CopyToClipboard()) << "a name too long to parse, with lists needed";
    dnd->FileList.Clear();
    dnd->FileList.AddItem(nullptr, dir.File(L"missing\\nowhere.txt"));
    EXPECT_FALSE(dnd->CopyToClipboard());
}

TEST_F(DragDropFiles, FileNamesNeededRefuseAnObjectWithoutDropFiles)
{
    const TPidlPtr pidl = PathToPidl(dir.Write(L"x.txt", "x"));
    fake.AddBlock(CFShellIDList, BuildShellIdList({PidlBytes(pidl.get())}));
    dnd->NeedValid = nvFilename;
    EXPECT_EQ(Drop(&fake), DROPEFFECT_NONE);
    EXPECT_EQ(dnd->FileList.Count(), 0);

    dnd->NeedValid = 0;
    EXPECT_EQ(Drop(&fake), DROPEFFECT_COPY);
    ASSERT_EQ(dnd->FileList.Count(), 1) << "an item list alone";
    EXPECT_EQ(dnd->FileList.GetItem(0).Name, L"");
    EXPECT_EQ(PidlToPath(dnd->FileList.GetItem(0).Pidl.get()), dir.File(L"x.txt"));
}

TEST_F(DragDropFiles, DroppedNamesListsAndMapsAreRead)
{
    const std::vector<std::wstring> paths = {dir.Write(L"eins.txt", "1"), dir.Write(L"Ωmega.txt", "2")};
    fake.AddBlock(CF_HDROP, BuildDropFiles(paths));
    fake.AddBlock(CFShellIDList,
                  BuildShellIdList({PidlBytes(PathToPidl(paths[0]).get()), PidlBytes(PathToPidl(paths[1]).get())}));
    fake.AddBlock(CFFileNameMapW, BuildFileNameMapW({L"neu.txt", L"Ωmega 2.txt", L"zu viel.txt"}));
    EXPECT_EQ(Drop(&fake, MK_LBUTTON | MK_SHIFT), DROPEFFECT_MOVE);
    EXPECT_EQ(Names(), paths);
    EXPECT_TRUE(dnd->MappedNamesAvailable);
    EXPECT_EQ(dnd->FileList.GetItem(0).MappedName, L"neu.txt");
    EXPECT_EQ(dnd->FileList.GetItem(1).MappedName, L"Ωmega 2.txt") << "the extra name is dropped";
    EXPECT_EQ(PidlToPath(dnd->FileList.GetItem(1).Pidl.get()), paths[1]);
}

TEST_F(DragDropFiles, AnsiDropWithAnsiMapFewerNames)
{
    const std::string block = std::string("\x14\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20) + "C:\\a.txt" +
                              std::string(1, '\0') + "C:\\b.txt" + std::string(2, '\0');
    fake.Add(CF_HDROP, block);
    fake.Add(CFFileNameMap, std::string("x.txt\0\0", 7));
    Drop(&fake);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b.txt"}));
    EXPECT_EQ(dnd->FileList.GetItem(0).MappedName, L"x.txt");
    EXPECT_EQ(dnd->FileList.GetItem(1).MappedName, L"");
}

TEST_F(DragDropFiles, ContentsWithoutDescriptorIsOneUnnamedStream)
{
    dnd->AcceptFileContents = true;
    fake.Add(CFFileContents, "Inhalt ohne Namen", TYMED_ISTREAM);
    EXPECT_EQ(Drop(&fake), DROPEFFECT_COPY);
    EXPECT_TRUE(dnd->FileContentsAvailable);
    ASSERT_EQ(dnd->FileContentsStreams().Count(), 1);
    EXPECT_EQ(dnd->FileContentsStreams().Names(0), L"");
    EXPECT_EQ(dnd->FileContentsStreams().Streams(0).ReadAll(), "Inhalt ohne Namen");
    EXPECT_EQ(fake.AskedIndexes, (std::vector<LONG>{-1}));
}

TEST_F(DragDropFiles, ContentsStopAtTheFirstRefusalAndStoragesArrive)
{
    dnd->AcceptFileContents = true;
    std::vector<TFileDescriptorEntry> entries(3);
    entries[0].Name = L"Anhang Ωmega.txt";
    entries[1].Name = L"fehlt.txt";
    entries[2].Name = L"dritte.txt";
    fake.AddBlock(CFFileGroupDescriptorW, BuildFileGroupDescriptor(entries, true, nullptr));
    fake.Add(CFFileContents, "erster", TYMED_ISTREAM, 0);
    fake.Add(CFFileContents, "dritter", TYMED_ISTREAM, 2);
    Drop(&fake);
    ASSERT_EQ(dnd->FileContentsStreams().Count(), 1);
    EXPECT_EQ(dnd->FileContentsStreams().Names(0), L"Anhang Ωmega.txt");
    EXPECT_EQ(dnd->FileContentsStreams().Streams(0).ReadAll(), "erster");

    TDropDataFake storages;
    storages.ContentsFormat = CFFileContents;
    entries.resize(1);
    storages.AddBlock(CFFileGroupDescriptor, BuildFileGroupDescriptor(entries, false, nullptr));
    storages.Add(CFFileContents, "im Speicher", TYMED_ISTORAGE, 0);
    Drop(&storages);
    ASSERT_EQ(dnd->FileContentsStreams().Count(), 1);
    const std::string file = dnd->FileContentsStreams().Streams(0).ReadAll();
    ASSERT_GT(file.size(), 512u);
    // The stream holds the compound file: open it and read the inner stream.
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, file.size());
    memcpy(GlobalLock(memory), file.data(), file.size());
    GlobalUnlock(memory);
    ComPtr<ILockBytes> bytes;
    ASSERT_EQ(CreateILockBytesOnHGlobal(memory, TRUE, &bytes), S_OK);
    ComPtr<IStorage> storage;
    ASSERT_EQ(StgOpenStorageOnILockBytes(bytes.Get(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage),
              S_OK);
    ComPtr<IStream> inner;
    ASSERT_EQ(storage->OpenStream(L"Inhalt", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &inner), S_OK);
    char text[32] = {};
    ULONG read = 0;
    inner->Read(text, sizeof text, &read);
    EXPECT_EQ(std::string(text, read), "im Speicher");
}

TEST_F(DragDropFiles, EachRenderModeReadsWhenItSays)
{
    const std::vector<std::wstring> paths = {L"C:\\eins.txt"};
    fake.AddBlock(CF_HDROP, BuildDropFiles(paths));
    struct Case {
        TRenderDataOn mode;
        bool afterEnter, afterDrop, afterMessage;
    };
    const Case cases[] = {
        {rdoEnter, true, true, true},
        {rdoEnterAndDropSync, true, true, true},
        {rdoEnterAndDropAsync, true, true, true},
        {rdoDropSync, false, true, true},
        {rdoDropAsync, false, false, true},
        {rdoNever, false, false, false},
    };
    for (const Case& c : cases) {
        dnd->ClearFileList();
        dnd->RenderDataOn = c.mode;
        int processed = 0;
        dnd->OnProcessDropped = [&](TDragDrop*, DWORD, POINT, DWORD) { ++processed; };
        RECT r;
        GetWindowRect(panel->Handle(), &r);
        const POINTL point{r.left + 5, r.top + 5};
        DWORD effect = DROPEFFECT_COPY;
        dnd->DropTarget()->DragEnter(&fake, MK_LBUTTON, point, &effect);
        EXPECT_EQ(dnd->FileList.Count() == 1, c.afterEnter) << c.mode;
        dnd->ClearFileList();
        effect = DROPEFFECT_COPY;
        dnd->DropTarget()->Drop(&fake, 0, point, &effect);
        EXPECT_EQ(effect, DROPEFFECT_COPY);
        EXPECT_EQ(dnd->FileList.Count() == 1, c.afterDrop && c.mode != rdoEnter && c.mode != rdoEnterAndDropAsync)
            << c.mode;
        EXPECT_TRUE(PumpUntil([&] { return processed == 1; }, std::chrono::seconds(5))) << c.mode;
        const bool readSomewhere = c.mode == rdoEnterAndDropSync || c.mode == rdoDropSync || c.mode == rdoDropAsync ||
                                   c.mode == rdoEnterAndDropAsync;
        EXPECT_EQ(dnd->FileList.Count() == 1, readSomewhere) << c.mode;
    }
}

TEST_F(DragDropFiles, RightDropOffersTheMenuAndTakesItsChoice)
{
    fake.AddBlock(CF_HDROP, BuildDropFiles({L"C:\\eins.txt"}));
    struct Case {
        DWORD keys;
        int choice;
        DWORD expected;
        int defaultId;
    };
    const Case cases[] = {
        {MK_RBUTTON, kDropMenuMove, DROPEFFECT_MOVE, kDropMenuCopy},
        {MK_RBUTTON, kDropMenuCopy, DROPEFFECT_COPY, kDropMenuCopy},
        {MK_RBUTTON | MK_SHIFT, kDropMenuCancel, DROPEFFECT_NONE, kDropMenuMove},
    };
    for (const Case& c : cases) {
        system.Choice = c.choice;
        EXPECT_EQ(Drop(&fake, c.keys), c.expected);
        ASSERT_EQ(system.Shown.size(), 4u);
        EXPECT_EQ(system.Shown[0].Text, L"Hierher &verschieben");
        EXPECT_EQ(system.Shown[1].Text, L"Hierher &kopieren");
        EXPECT_EQ(system.Shown[2].Id, kDropMenuSeparator);
        EXPECT_EQ(system.Shown[3].Text, L"&Abbrechen");
        for (const auto& item : system.Shown) {
            EXPECT_EQ(item.Default, item.Id == c.defaultId) << item.Id;
        }
    }
    // An item of the owner's runs its command and drops nothing.
    bool ran = false;
    dnd->OnMenuPopup = [](TDragDrop*, HMENU menu, IDataObject*, int first, DWORD, POINT) {
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(first), L"Eigenes");
    };
    dnd->OnMenuExecCmd = [&](TDragDrop*, HMENU, IDataObject*, int command, bool& succeeded) {
        ran = command == kDropMenuFirstCustom;
        succeeded = true;
    };
    system.Choice = kDropMenuFirstCustom;
    EXPECT_EQ(Drop(&fake, MK_RBUTTON), DROPEFFECT_NONE);
    EXPECT_TRUE(ran);
    EXPECT_EQ(system.Shown.back().Text, L"Eigenes");
}

TEST_F(DragDropFiles, DropOntoAProgramFallsBackToTheOrdinaryDrop)
{
    const std::wstring program = dir.Write(L"ziel.exe", "MZ");
    const std::wstring dropped = dir.Write(L"sub\\datei.txt", "d");
    fake.AddBlock(CF_HDROP, BuildDropFiles({dropped}));
    dnd->ShellExtensions.DropHandler = true;
    int asked = 0;
    dnd->OnSpecifyDropTarget = [&](TDragDropFilesEx*, bool menu, POINT, TPidlPtr&, std::wstring& name) {
        ++asked;
        EXPECT_FALSE(menu);
        name = program;
    };
    bool handled = false;
    dnd->OnDropHandlerSucceeded = [&](TDragDrop*) { handled = true; };
    EXPECT_EQ(Drop(&fake), DROPEFFECT_COPY);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(handled);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{dropped}));
    EXPECT_EQ(GetFileAttributesW(dir.File(L"datei.txt").c_str()), INVALID_FILE_ATTRIBUTES)
        << "nothing was copied into the program's folder";
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_FALSE(dnd->IsDropHandlerTarget(nullptr, program, effect));

    // The shell does answer for the program, with its folder's own target:
    // taking that would have copied the file into the folder.
    TPidlPtr parent, last;
    SplitPidl(PathToPidl(program).get(), parent, last);
    TShellFolderPtr folder;
    ASSERT_TRUE(BindToFolder(parent.get(), folder));
    ComPtr<IDropTarget> answered;
    LPCITEMIDLIST item = last.get();
    ASSERT_EQ(folder->GetUIObjectOf(nullptr, 1, &item, IID_IDropTarget, nullptr,
                                    reinterpret_cast<void**>(answered.GetAddressOf())),
              S_OK);
    ComPtr<IUnknown> answeredIdentity, folderIdentity;
    answered.As(&answeredIdentity);
    folder.As(&folderIdentity);
    EXPECT_EQ(answeredIdentity.Get(), folderIdentity.Get());
}

TEST_F(DragDropFiles, OwnDragNeedsAcceptOwnDnD)
{
    // Another component of this process runs the drag: its own target gives
    // no effect unless it accepts its own drops.
    fake.AddBlock(CF_HDROP, BuildDropFiles({L"C:\\eins.txt"}));
    struct TLoopback : TDragDropSystem {
        TDragDropFilesEx* target = nullptr;
        DWORD seen = 0;
        HRESULT DoDragDrop(IDataObject* data, IDropSource*, DWORD ok, DWORD* effect) override
        {
            DWORD e = ok;
            target->DropTarget()->DragEnter(data, MK_LBUTTON, POINTL{0, 0}, &e);
            seen = e;
            target->DropTarget()->DragLeave();
            *effect = DROPEFFECT_NONE;
            return DRAGDROP_S_CANCEL;
        }
    } loop;
    loop.target = dnd.get();
    dnd->SetSystem(loop);
    dnd->FileList.AddItem(nullptr, dir.Write(L"own.txt", "o"));
    EXPECT_EQ(dnd->Execute(), drCancel);
    EXPECT_EQ(loop.seen, static_cast<DWORD>(DROPEFFECT_NONE));
    dnd->AcceptOwnDnD = true;
    EXPECT_EQ(dnd->Execute(), drCancel);
    EXPECT_EQ(loop.seen, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(dnd->DragDetectStatus(), ddsNone);
    dnd->SetSystem(system);
}

TEST_F(DragDropFiles, PasteTakesTheClipboardsListAndPreferredEffect)
{
    const std::vector<std::wstring> paths = {L"C:\\eins.txt", L"C:\\Ωmega.txt"};
    fake.AddBlock(CF_HDROP, BuildDropFiles(paths));
    fake.AddBlock(CFPreferredDropEffect, BuildPreferredDropEffect(DROPEFFECT_MOVE));
    system.Clipboard = &fake;
    uint32_t effect = 0;
    ASSERT_TRUE(dnd->PasteFromClipboard(effect));
    EXPECT_EQ(effect, static_cast<uint32_t>(deMove));
    EXPECT_EQ(Names(), paths);
    system.Clipboard.Reset();
    EXPECT_FALSE(dnd->PasteFromClipboard(effect));
    EXPECT_EQ(effect, static_cast<uint32_t>(deCopy));
}

TEST_F(DragDropFiles, ListsAloneAreCompletedWithTheirNames)
{
    const std::wstring path = dir.Write(L"Ωmega.txt", "o");
    const TPidlPtr pidl = PathToPidl(path);
    dnd->FileList.AddItem(pidl.get(), L"");
    dnd->NeedValid = nvFilename | nvPIDL;
    ASSERT_TRUE(dnd->CopyToClipboard());
    EXPECT_EQ(dnd->FileList.GetItem(0).Name, path);
    const std::string drop = BlockOf(system.Clipboard.Get(), CF_HDROP);
    EXPECT_EQ(ParseDropFiles(reinterpret_cast<const uint8_t*>(drop.data()), drop.size(), nullptr),
              (std::vector<std::wstring>{path}));
}

TEST(DragDropRegistration, TheControlsNewWindowIsRegisteredAgainAndItsEndRevokes)
{
    TForm form(nullptr);
    form.SetBounds(60, 60, 300, 200);
    auto* panel = new TPanel(nullptr);
    panel->SetParent(&form);
    panel->SetBounds(5, 5, 100, 100);
    TDragDropFilesEx dnd(nullptr);
    dnd.SetDragDropControl(panel);
    dnd.SetTargetEffects(deCopy);
    ASSERT_TRUE(dnd.Registered());
    EXPECT_EQ(RegisterDragDrop(panel->Handle(), dnd.DropTarget()), DRAGDROP_E_ALREADYREGISTERED);

    panel->RecreateWnd();
    form.Show();
    EXPECT_TRUE(PumpUntil([&] { return dnd.Registered(); }, std::chrono::seconds(2)));
    EXPECT_EQ(RegisterDragDrop(panel->Handle(), dnd.DropTarget()), DRAGDROP_E_ALREADYREGISTERED) << "the new window";

    const HWND window = panel->Handle();
    delete panel;  // the component hears of it and lets the control go
    EXPECT_FALSE(dnd.Registered());
    EXPECT_EQ(dnd.DragDropControl(), nullptr);
    EXPECT_FALSE(IsWindow(window));
}
