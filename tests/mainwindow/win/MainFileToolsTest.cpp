// Renaming in place and the file tools in the real main window: copy or
// move to a chosen folder or to the second window and their undo by
// Strg+Z, duplicates, renames that the viewers follow, who may open a
// label editor, archives opened from a list, and the shell's tools through
// a recording runner.

#include "SettingsGuards.h"
#include "TestDir.h"

#include "archives/win/KyZipLV.h"
#include "dialogs/win/KySelDir.h"
#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "dialogs/win/KyShellDialogs.h"
#include "editor/win/EasyEditor.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Registry.h"
#include "mainwindow/FolderHistory.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/HexEditor.h"
#include "win/DialogAnswerer.h"
#include "win/MessagePump.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file and folder below Folder, relative, folders with a trailing "\".
std::set<std::wstring> Tree(const std::wstring& Folder, const std::wstring& Prefix = L"")
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((Folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            names.insert(Prefix + name + L"\\");
            for (const std::wstring& inner : Tree(Folder + L"\\" + name, Prefix + name + L"\\"))
                names.insert(inner);
        } else {
            names.insert(Prefix + name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::string Narrow(const std::wstring& text)
{
    return WideToUtf8(text);
}

// Holds Ctrl down for the keys posted meanwhile, as the keyboard would.
class CtrlDown {
public:
    CtrlDown() { Set(0x80); }
    ~CtrlDown() { Set(0); }

private:
    static void Set(BYTE state)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = state;
        SetKeyboardState(keys);
    }
};

// What the file tools asked of the shell.
struct ShellCall {
    std::wstring Verb, File, Parameters, Directory;
};

class RecordingRunner : public TShellToolRunner {
public:
    explicit RecordingRunner(std::vector<ShellCall>& Calls) : calls_(Calls) {}
    intptr_t Result = 42;
    DWORD NetResult = NO_ERROR;
    bool Libraries = true;
    intptr_t Execute(HWND, const std::wstring& Verb, const std::wstring& File, const std::wstring& Parameters,
                     const std::wstring& Directory) override
    {
        calls_.push_back({Verb, File, Parameters, Directory});
        return Result;
    }
    void RunDialog(HWND, const std::wstring& WorkingDirectory) override
    {
        calls_.push_back({L"run", L"", L"", WorkingDirectory});
    }
    int FormatDrive(HWND, unsigned Drive) override
    {
        calls_.push_back({L"format", std::to_wstring(Drive), L"", L""});
        return frDone;
    }
    DWORD ConnectDialog(HWND) override
    {
        calls_.push_back({L"connect", L"", L"", L""});
        return NetResult;
    }
    DWORD DisconnectDialog(HWND) override
    {
        calls_.push_back({L"disconnect", L"", L"", L""});
        return NetResult;
    }
    bool LibraryPresent(const std::wstring&) override { return Libraries; }

private:
    std::vector<ShellCall>& calls_;
};

// A shell folder of items the file system does not hold (as a network
// provider lists them): two items known by their identifiers only.
class FakeDataObject : public IDataObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Out) override
    {
        *Out = Id == IID_IUnknown || Id == IID_IDataObject ? this : nullptr;
        return *Out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

// An item's identifier: one item of a letter, then the terminator.
std::vector<uint8_t> ItemId(char Letter)
{
    return {4, 0, static_cast<uint8_t>(Letter), 0, 0, 0};
}

class FakeItemList : public IEnumIDList {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Out) override
    {
        *Out = Id == IID_IUnknown || Id == IID_IEnumIDList ? this : nullptr;
        return *Out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Next(ULONG, PITEMID_CHILD* Item, ULONG* Fetched) override
    {
        if (next_ >= 2)
            return S_FALSE;
        const std::vector<uint8_t> id = ItemId(static_cast<char>('A' + next_++));
        *Item = static_cast<PITEMID_CHILD>(CoTaskMemAlloc(id.size()));
        std::copy(id.begin(), id.end(), reinterpret_cast<uint8_t*>(*Item));
        if (Fetched)
            *Fetched = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumIDList**) override { return E_NOTIMPL; }

private:
    int next_ = 0;
};

class FakeShellFolder : public IShellFolder {
public:
    FakeDataObject data;
    // The identifiers the data object was asked for, each as its bytes.
    std::vector<std::vector<uint8_t>> asked;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Out) override
    {
        *Out = Id == IID_IUnknown || Id == IID_IShellFolder ? this : nullptr;
        return *Out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*, ULONG*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList** List) override
    {
        list_.Reset();
        *List = &list_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF* Attributes) override
    {
        // Known to the shell, held by no folder of the disk.
        *Attributes &= SFGAO_FILESYSANCESTOR;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT Count, PCUITEMID_CHILD_ARRAY Items, REFIID Id, UINT*,
                                            void** Out) override
    {
        *Out = nullptr;
        if (Id != IID_IDataObject)
            return E_NOINTERFACE;
        asked.clear();
        for (UINT i = 0; i < Count; ++i) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(Items[i]);
            asked.emplace_back(bytes, bytes + 6);
        }
        *Out = &data;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD Item, SHGDNF Flags, STRRET* Name) override
    {
        const wchar_t letter = static_cast<wchar_t>(reinterpret_cast<const uint8_t*>(Item)[2]);
        const std::wstring text =
            (Flags & SHGDN_FORPARSING) ? std::wstring(L"::{Netz}\\") + letter : std::wstring(L"Bericht ") + letter;
        Name->uType = STRRET_WSTR;
        Name->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
        std::copy(text.c_str(), text.c_str() + text.size() + 1, Name->pOleStr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override
    {
        return E_NOTIMPL;
    }

private:
    FakeItemList list_;
};

// A target folder's drop target recording the drop it was given.
class RecordingDropTarget : public IDropTarget {
public:
    bool refuse = false;
    IDataObject* entered = nullptr;
    IDataObject* dropped = nullptr;
    DWORD enterKeys = 0;
    DWORD enterEffect = 0;
    DWORD dropEffect = 0;
    int left = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Out) override
    {
        *Out = Id == IID_IUnknown || Id == IID_IDropTarget ? this : nullptr;
        return *Out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* Data, DWORD Keys, POINTL, DWORD* Effect) override
    {
        entered = Data;
        enterKeys = Keys;
        enterEffect = *Effect;
        if (refuse)
            *Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        ++left;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* Data, DWORD, POINTL, DWORD* Effect) override
    {
        dropped = Data;
        dropEffect = *Effect;
        return S_OK;
    }
};

class MainFileTools : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;
    std::unique_ptr<TQRVMain> main;
    // The folder the fake select-directory dialog chooses, and its captions.
    std::wstring chosen;
    std::vector<std::wstring> captions;
    // The window's own chooser, which runs the select-directory dialog.
    TFileTools::TChooseFolder windowsChooser;

    void SetUp() override
    {
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        Options.ConfirmOverWrite = false;
        main.reset(new TQRVMain(nullptr));
        main->Show();
        windowsChooser = main->FileTools().ChooseFolder;
        main->FileTools().ChooseFolder = [this](const std::wstring& Caption, std::wstring& Folder,
                                                const std::vector<std::wstring>&) {
            captions.push_back(Caption);
            Folder = chosen;
            return !chosen.empty();
        };
        test::PumpFor(100ms);
    }
    void TearDown() override
    {
        if (main) {
            main->EasyEdit->SetModified(false);
            main.reset();
        }
        FinalizeGlobals();
    }
    void Open(TDirView& list, const std::wstring& folder)
    {
        list.SetPath(folder);
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.Loaded(); }, 10s));
    }
    // The active list shows Folder with Names selected and has the focus.
    void Select(const std::wstring& folder, const std::vector<std::wstring>& names)
    {
        main->LV1->SetFocus();
        ASSERT_EQ(main->ActiveList, main->LV1);
        Open(*main->LV1, folder);
        main->LV1->SelectRange(-1, -1, false);
        for (const std::wstring& name : names) {
            TFileRec* item = main->LV1->FindFileItem(name);
            ASSERT_NE(item, nullptr) << Narrow(name);
            main->LV1->SetItemSelected(*item, true);
            main->LV1->SetItemFocused(item);
        }
    }
    void StrgZ(HWND target)
    {
        CtrlDown down;
        PostMessageW(target, WM_KEYDOWN, 'Z', 1);
        test::PumpFor(300ms);
    }
    void Run(TActionId Id) { ASSERT_TRUE(main->Catalogue().Execute(Id)); }
    // Handles messages as the window's loop does, its idle moments (which
    // start the lists' waiting work) included, until the condition holds.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
    {
        return test::PumpUntil(
            [&] {
                if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0 && Application->OnIdle)
                    Application->OnIdle();
                return done();
            },
            limit);
    }
    // The source folder with two files and a folder holding one, and an empty target.
    void MakeFolders(const std::wstring& source, const std::wstring& target)
    {
        ASSERT_TRUE(CreateDirectoryW(dir.File(source).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(dir.File(target).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(dir.File(source + L"\\Ordner").c_str(), nullptr));
        dir.Write(source + L"\\a.txt", "A");
        dir.Write(source + L"\\b.txt", "B");
        dir.Write(source + L"\\paket.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
        dir.Write(source + L"\\Ordner\\innen.txt", "I");
    }
};

}  // namespace

TEST_F(MainFileTools, CopyAndMoveToAChosenFolderOrTheSecondWindowAreUndoneByStrgZ)
{
    ASSERT_TRUE(main->FilePanel2->Visible()) << "two windows";
    struct Case {
        const char* what;
        TActionId command;
        std::vector<std::wstring> names;
        bool move;
        bool dialog;
    } cases[] = {
        {"copy a file to a chosen folder", TActionId::CopyTo, {L"a.txt"}, false, true},
        {"move two files and a folder to a chosen folder",
         TActionId::MoveTo,
         {L"a.txt", L"b.txt", L"Ordner"},
         true,
         true},
        {"copy a folder into the second window", TActionId::CopyTo2FW, {L"Ordner"}, false, false},
        {"move a file into the second window", TActionId::MoveTo2FW, {L"b.txt"}, true, false},
        {"copy a file and an archive to a chosen folder", TActionId::CopyTo, {L"a.txt", L"paket.zip"}, false, true},
        {"move a file and an archive to a chosen folder", TActionId::MoveTo, {L"a.txt", L"paket.zip"}, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring source = L"Quelle" + std::to_wstring(++n);
        const std::wstring target = L"Ziel" + std::to_wstring(n);
        MakeFolders(source, target);
        const std::set<std::wstring> before = Tree(dir.File(source));
        Open(*main->LV2, dir.File(target));
        Select(dir.File(source), c.names);
        const std::wstring caption =
            c.names.size() == 1
                ? L"Datei \"" + main->LV1->FindFileItem(c.names[0])->DisplayName + L"\" " +
                      (c.move ? L"verschieben" : L"kopieren") + L" nach"
                : std::to_wstring(c.names.size()) + L" Dateien " + (c.move ? L"verschieben" : L"kopieren") + L" nach";
        chosen = dir.File(target);
        captions.clear();
        Run(c.command);

        if (c.dialog) {
            EXPECT_EQ(captions, std::vector<std::wstring>{caption});
            ASSERT_FALSE(main->FileTools().RecentTargets().Folders().empty());
            EXPECT_EQ(main->FileTools().RecentTargets().Folders().front(), chosen) << "newest first";
        } else {
            EXPECT_TRUE(captions.empty()) << "the second window needs no dialog";
        }
        // Strg+Z with nothing to undo would wait in its error box.
        for (const std::wstring& name : c.names) {
            ASSERT_TRUE(Exists(dir.File(target + L"\\" + name))) << Narrow(name);
            ASSERT_EQ(Exists(dir.File(source + L"\\" + name)), !c.move) << Narrow(name);
        }
        if (c.names == std::vector<std::wstring>{L"Ordner"}) {
            EXPECT_EQ(dir.Read(target + L"\\Ordner\\innen.txt"), "I");
        }
        EXPECT_TRUE(test::PumpUntil([&] { return main->LV2->FindFileItem(c.names[0]) != nullptr; }, 5s))
            << "the second window shows what came";

        StrgZ(main->LV1->Handle());
        EXPECT_TRUE(test::PumpUntil([&] { return Tree(dir.File(target)).empty(); }, 5s)) << "the target as it was";
        EXPECT_EQ(Tree(dir.File(source)), before) << "the source as it was";
    }
}

TEST_F(MainFileTools, ShellItemsWithoutAPathAreHandedToTheTargetFoldersDropTarget)
{
    FakeShellFolder folder;
    const std::shared_ptr<void> held(static_cast<IShellFolder*>(&folder), [](void*) {});
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Ziel").c_str(), nullptr));
    std::wstring targetAsked;
    RecordingDropTarget drop;
    main->FileTools().DropTargetOf = [&](const std::wstring& Folder) {
        targetAsked = Folder;
        return TShellDropTargetPtr(&drop);
    };
    struct Case {
        const char* what;
        TActionId command;
        bool refuse;
        DWORD effect;
        DWORD key;
        std::wstring caption;
    } cases[] = {
        {"copy", TActionId::CopyTo, false, DROPEFFECT_COPY, MK_CONTROL, L"2 Dateien kopieren nach"},
        {"move", TActionId::MoveTo, false, DROPEFFECT_MOVE, MK_SHIFT, L"2 Dateien verschieben nach"},
        {"refused by the target", TActionId::CopyTo, true, DROPEFFECT_COPY, MK_CONTROL, L"2 Dateien kopieren nach"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        main->LV1->SetFocus();
        ASSERT_EQ(main->ActiveList, main->LV1);
        ASSERT_TRUE(main->LV1->LoadVirtualNode(held, L"Netz", false));
        ASSERT_TRUE(main->LV1->IsVirtual());
        for (const wchar_t* name : {L"Bericht A", L"Bericht B"}) {
            TFileRec* item = main->LV1->FindFileItem(name);
            ASSERT_NE(item, nullptr) << Narrow(name);
            EXPECT_TRUE(main->LV1->ItemParsingPath(item).empty()) << "no place in the file system";
            main->LV1->SetItemSelected(*item, true);
        }
        drop = RecordingDropTarget();
        drop.refuse = c.refuse;
        folder.asked.clear();
        captions.clear();
        chosen = dir.File(L"Ziel");
        Run(c.command);
        EXPECT_EQ(captions, std::vector<std::wstring>{c.caption});
        EXPECT_EQ(targetAsked, chosen);
        EXPECT_EQ(folder.asked, (std::vector<std::vector<uint8_t>>{ItemId('A'), ItemId('B')}))
            << "the folder's own data object of both items";
        EXPECT_EQ(drop.entered, &folder.data);
        EXPECT_EQ(drop.enterEffect, c.effect);
        EXPECT_EQ(drop.enterKeys, static_cast<DWORD>(MK_LBUTTON | c.key)) << "as a drag with the effect's key";
        if (c.refuse) {
            EXPECT_EQ(drop.dropped, nullptr);
            EXPECT_EQ(drop.left, 1) << "the refusing target is left";
        } else {
            EXPECT_EQ(drop.dropped, &folder.data);
            EXPECT_EQ(drop.dropEffect, c.effect);
        }
        EXPECT_TRUE(Tree(dir.File(L"Ziel")).empty()) << "nothing by a shown name";
    }
    // The fakes go before the list lets go of them.
    main->FileTools().DropTargetOf = nullptr;
    Open(*main->LV1, dir.Path());
    EXPECT_FALSE(main->LV1->VirtualFolder());
    // Without the test's target the shell's own drop target of the folder is used.
    EXPECT_TRUE(FolderDropTarget(dir.File(L"Ziel"), nullptr)) << "the shell's drop target of a folder on T:";
    EXPECT_FALSE(FolderDropTarget(dir.File(L"fehlt"), nullptr));
}

TEST_F(MainFileTools, CopyIntoTheOwnFolderMakesCopiesAndImpossibleTargetsChangeNothing)
{
    MakeFolders(L"Quelle", L"Ziel");
    const std::set<std::wstring> before = Tree(dir.File(L"Quelle"));
    struct Case {
        const char* what;
        TActionId command;
        std::vector<std::wstring> names;
        std::wstring target;
    } refused[] = {
        {"a move into the own folder", TActionId::MoveTo, {L"a.txt"}, L"Quelle"},
        {"a folder copied into itself", TActionId::CopyTo, {L"Ordner"}, L"Quelle\\Ordner"},
        {"a folder moved into its subfolder", TActionId::MoveTo, {L"Ordner"}, L"Quelle\\Ordner\\Innen"},
        {"nothing selected", TActionId::CopyTo, {}, L"Ziel"},
    };
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Quelle\\Ordner\\Innen").c_str(), nullptr));
    const std::set<std::wstring> withInner = Tree(dir.File(L"Quelle"));
    for (const Case& c : refused) {
        Select(dir.File(L"Quelle"), c.names);
        chosen = dir.File(c.target);
        Run(c.command);
        test::PumpFor(200ms);
        EXPECT_EQ(Tree(dir.File(L"Quelle")), withInner) << c.what;
        EXPECT_TRUE(Tree(dir.File(L"Ziel")).empty()) << c.what;
    }
    ASSERT_TRUE(RemoveDirectoryW(dir.File(L"Quelle\\Ordner\\Innen").c_str()));

    // A copy into the own folder: copies' names, never the originals'.
    Select(dir.File(L"Quelle"), {L"a.txt", L"Ordner"});
    chosen = dir.File(L"Quelle");
    Run(TActionId::CopyTo);
    std::set<std::wstring> copied = before;
    copied.insert({L"a - Kopie.txt", L"Ordner - Kopie\\", L"Ordner - Kopie\\innen.txt"});
    EXPECT_EQ(Tree(dir.File(L"Quelle")), copied);
    EXPECT_EQ(dir.Read(L"Quelle\\a - Kopie.txt"), "A");
    StrgZ(main->LV1->Handle());
    EXPECT_TRUE(test::PumpUntil([&] { return Tree(dir.File(L"Quelle")) == before; }, 5s))
        << "the undo takes the copies only";
}

TEST_F(MainFileTools, DuplicatesAreUndoneCopiesOnly)
{
    MakeFolders(L"Quelle", L"Ziel");
    const std::set<std::wstring> before = Tree(dir.File(L"Quelle"));
    Select(dir.File(L"Quelle"), {L"a.txt", L"b.txt"});
    Run(TActionId::DuplicateFile);
    std::set<std::wstring> duplicated = before;
    duplicated.insert({L"a - Kopie.txt", L"b - Kopie.txt"});
    EXPECT_EQ(Tree(dir.File(L"Quelle")), duplicated);
    StrgZ(main->LV1->Handle());
    EXPECT_TRUE(test::PumpUntil([&] { return Tree(dir.File(L"Quelle")) == before; }, 5s));
    EXPECT_EQ(dir.Read(L"Quelle\\a.txt"), "A");
}

TEST_F(MainFileTools, TheViewersFollowOnlyASuccessfulRename)
{
    dir.Write(L"eins.bin", std::string("\x01\x02 eins", 7));
    dir.Write(L"zwei.bin", std::string("\x01\x02 zwei", 7));
    Select(dir.Path(), {L"eins.bin"});
    main->SetDisplayMode(fdHex);
    if (!main->FileDisplay()->ViewFile())
        main->ViewFile->Execute();
    THexEditor& hex = *main->HexEditor1;
    ASSERT_TRUE(test::PumpUntil([&] { return hex.Visible() && hex.FileName() == dir.File(L"eins.bin"); }, 5s));
    std::wstring refusal;
    main->LV1->AskRenameAgain = [&](const std::wstring& Text) {
        refusal = Text;
        return false;
    };
    auto rename = [&](const std::wstring& from, const std::wstring& to) {
        main->LV1->EditItemName(*main->LV1->FindFileItem(from));
        const HWND edit = reinterpret_cast<HWND>(SendMessageW(main->LV1->Handle(), LVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, to.c_str());
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
        test::PumpFor(300ms);
    };

    struct Case {
        const char* what;
        std::wstring from, to;
        std::wstring shown;  // the file the viewers show afterwards
        bool refused;
    } cases[] = {
        {"onto a taken name: both stay, the view stays", L"eins.bin", L"zwei.bin", L"eins.bin", true},
        {"to a free name: the view follows", L"eins.bin", L"drei.bin", L"drei.bin", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        refusal.clear();
        rename(c.from, c.to);
        EXPECT_EQ(!refusal.empty(), c.refused);
        EXPECT_EQ(dir.Read(L"zwei.bin"), std::string("\x01\x02 zwei", 7)) << "the other file is untouched";
        EXPECT_EQ(main->FileDisplay()->ViewedFile(), dir.File(c.shown));
        EXPECT_TRUE(test::PumpUntil([&] { return hex.Visible() && hex.FileName() == dir.File(c.shown); }, 5s))
            << "the hex view shows it again";
    }
}

TEST_F(MainFileTools, RenamingAFolderInTheTreeMovesTheHeldTextWithIt)
{
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Alt").c_str(), nullptr));
    dir.Write(L"Alt\\notiz.txt", "Hallo\r\n");
    main->TreeView1->SetDirectory(dir.File(L"Alt"));
    Select(dir.File(L"Alt"), {L"notiz.txt"});
    main->SetDisplayMode(fdText);
    if (!main->FileDisplay()->ViewFile())
        main->ViewFile->Execute();
    ASSERT_TRUE(test::PumpUntil([&] { return main->EasyEdit->Visible(); }, 5s));
    // Held: the list's re-read in the new folder does not replace it.
    main->FreezeDisplay->Execute();
    ASSERT_TRUE(main->FileDisplay()->FreezeDisplay());
    TTreeNode* node = main->TreeView1->Selected();
    ASSERT_NE(node, nullptr);
    main->TreeView1->EditNodeName(node);
    const HWND edit = reinterpret_cast<HWND>(SendMessageW(main->TreeView1->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"Neu");
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(test::PumpUntil([&] { return Exists(dir.File(L"Neu\\notiz.txt")); }, 5s));
    test::PumpFor(200ms);
    EXPECT_EQ(main->FileDisplay()->ViewedFile(), dir.File(L"Neu\\notiz.txt"));
    EXPECT_EQ(main->EasyEdit->GetEditSource()->FileName(), dir.File(L"Neu\\notiz.txt"))
        << "a save goes to the file's new place";
}

TEST_F(MainFileTools, RenamingAFolderInTheTreeMovesTheOtherListsHistoryWithIt)
{
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Alt").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Alt\\Innen").c_str(), nullptr));
    // The second list's history box records each folder it loads.
    Open(*main->LV2, dir.File(L"Alt"));
    Open(*main->LV2, dir.File(L"Alt\\Innen"));
    std::vector<std::pair<std::wstring, std::wstring>> renamed;
    std::wstring otherListThen;
    const auto windowsHandler = main->RenameCommands().OnFolderRenamed;
    ASSERT_TRUE(windowsHandler) << "the window's histories follow a rename";
    main->RenameCommands().OnFolderRenamed = [&](const std::wstring& OldPath, const std::wstring& NewPath) {
        renamed.emplace_back(OldPath, NewPath);
        otherListThen = main->LV2->GetPath();
        windowsHandler(OldPath, NewPath);
    };

    main->TreeView1->SetDirectory(dir.File(L"Alt"));
    main->TreeView1->SetFocus();
    TTreeNode* node = main->TreeView1->Selected();
    ASSERT_NE(node, nullptr);
    main->TreeView1->EditNodeName(node);
    const HWND edit = reinterpret_cast<HWND>(SendMessageW(main->TreeView1->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"Neu");
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(test::PumpUntil([&] { return Exists(dir.File(L"Neu\\Innen")); }, 5s));
    ASSERT_TRUE(test::PumpUntil(
        [&] { return !main->LV2->Loading() && SameText(main->LV2->GetPath(), dir.File(L"Neu\\Innen")); }, 5s))
        << "the other list follows the folder";
    test::PumpFor(200ms);

    ASSERT_EQ(renamed.size(), 1u);
    EXPECT_TRUE(SameText(renamed[0].first, dir.File(L"Alt")));
    EXPECT_TRUE(SameText(renamed[0].second, dir.File(L"Neu")));
    EXPECT_TRUE(SameText(otherListThen, dir.File(L"Alt\\Innen"))) << "told before the lists follow";
    const TStrings& entries = main->DirHist2->Items();
    ASSERT_GE(entries.Count(), 2);
    EXPECT_TRUE(SameText(entries.Get(0), dir.File(L"Neu\\Innen")));
    EXPECT_TRUE(SameText(entries.Get(1), dir.File(L"Neu")));
    for (int i = 0; i < entries.Count(); ++i) {
        EXPECT_FALSE(SameText(entries.Get(i).substr(0, dir.File(L"Alt").size()), dir.File(L"Alt"))) << i;
        if (i > 0)
            EXPECT_FALSE(SameText(entries.Get(i), entries.Get(0))) << "no entry twice: " << i;
    }
    EXPECT_TRUE(SameText(main->DirHist2->Text(), dir.File(L"Neu\\Innen"))) << "the box shows the new name";
}

TEST_F(MainFileTools, TheFolderDialogsTreeShowsFoldersAsTheMainTreeDoes)
{
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Versteckt").c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesW(dir.File(L"Versteckt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    dir.Write(L"a.txt", "a");
    Open(*main->LV2, dir.Path());
    Select(dir.Path(), {L"a.txt"});
    main->FileTools().ChooseFolder = windowsChooser;
    for (const bool hide : {true, false}) {
        SCOPED_TRACE(hide ? "hidden folders hidden" : "hidden folders shown");
        TDriveView& tree = *main->TreeView1;
        tree.SetHideHiddenDirs(hide);
        tree.SetVolDisplayStyle(hide ? TVolumeDisplayStyle::doLongPrettyName : TVolumeDisplayStyle::doDisplayName);
        bool shown = false;
        main->FileTools().ShowFolderDialog = [&](TSelDirDialog& Dialog) {
            shown = true;
            TDriveView& picker = *Dialog.DriveView;
            EXPECT_TRUE(SameText(RemoveBackslash(Dialog.Directory()), RemoveBackslash(dir.Path())));
            TTreeNode* folder = picker.NodeForPath(RemoveBackslash(dir.Path()));
            EXPECT_NE(folder, nullptr);
            std::set<std::wstring> children;
            if (folder) {
                picker.ReadSubDirs(folder);
                for (int i = 0; i < folder->Count(); ++i)
                    children.insert(folder->Item(i)->Text());
            }
            EXPECT_EQ(children.count(L"Versteckt"), hide ? 0u : 1u);
            TTreeNode* mainRoot = tree.DriveRootNode(L'T');
            TTreeNode* pickerRoot = picker.DriveRootNode(L'T');
            EXPECT_TRUE(mainRoot && pickerRoot && mainRoot->Text() == pickerRoot->Text())
                << "the drive named as in the main tree";
            EXPECT_FALSE(picker.ShowMessageBox()) << "the main window reports drive errors, not the dialog";
            return false;
        };
        Run(TActionId::CopyTo);
        EXPECT_TRUE(shown);
    }
    EXPECT_EQ(Tree(dir.Path()), (std::set<std::wstring>{L"Versteckt\\", L"a.txt"})) << "cancelled: nothing copied";
}

TEST_F(MainFileTools, OnlyCommandsOpenTheLabelEditorWithoutClickEdits)
{
    dir.Write(L"a.txt", "A");
    Select(dir.Path(), {L"a.txt"});
    const int index = main->LV1->IndexOf(main->LV1->FindFileItem(L"a.txt"));
    auto editor = [&] { return SendMessageW(main->LV1->Handle(), LVM_GETEDITCONTROL, 0, 0) != 0; };
    auto cancel = [&] { SendMessageW(main->LV1->Handle(), LVM_CANCELEDITLABEL, 0, 0); };
    struct Case {
        bool clickEdits;
        bool byCommand;
        bool opens;
    } cases[] = {{false, false, false}, {false, true, true}, {true, false, true}};
    for (const Case& c : cases) {
        Options.ClickEdits = c.clickEdits;
        if (c.byCommand)
            main->FileCommands().EditObject();
        else  // what the control does on a slow second click
            SendMessageW(main->LV1->Handle(), LVM_EDITLABELW, static_cast<WPARAM>(index), 0);
        EXPECT_EQ(editor(), c.opens) << c.clickEdits << c.byCommand;
        cancel();
    }

    // The tree refuses while the editor holds unsaved changes.
    Options.ClickEdits = true;
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Ordner").c_str(), nullptr));
    main->TreeView1->SetDirectory(dir.File(L"Ordner"));
    TTreeNode* node = main->TreeView1->Selected();
    ASSERT_NE(node, nullptr);
    auto treeEditor = [&] { return SendMessageW(main->TreeView1->Handle(), TVM_GETEDITCONTROL, 0, 0) != 0; };
    Select(dir.Path(), {L"a.txt"});
    main->SetDisplayMode(fdText);
    if (!main->FileDisplay()->ViewFile())
        main->ViewFile->Execute();
    ASSERT_TRUE(test::PumpUntil([&] { return main->EasyEdit->Visible(); }, 5s));
    main->EasyEdit->SetModified(true);
    main->TreeView1->EditNodeName(node);
    EXPECT_FALSE(treeEditor()) << "unsaved text";
    main->EasyEdit->SetModified(false);
    main->TreeView1->EditNodeName(node);
    EXPECT_TRUE(treeEditor());
    SendMessageW(main->TreeView1->Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);
}

// With "&Verzeichnisgröße anzeigen" on, no folder is summed while a
// folder's name is edited in the list or the tree (a scan inside it would
// hold it open against the rename); once the editor closes, renamed or
// cancelled, the sums are made. A file's name edit lets them go on.
TEST_F(MainFileTools, FolderSizesWaitWhileAFolderNameIsEdited)
{
    for (const wchar_t* name : {L"eins", L"zwei"}) {
        ASSERT_TRUE(CreateDirectoryW(dir.File(name).c_str(), nullptr));
        dir.Write(std::wstring(name) + L"\\inhalt.txt", "12345");
    }
    dir.Write(L"a.txt", "A");
    main->TreeView1->SetDirectory(dir.File(L"zwei"));
    TTreeNode* node = main->TreeView1->Selected();
    ASSERT_NE(node, nullptr);
    Select(dir.Path(), {});
    TDirView& list = *main->LV1;
    auto sized = [&] {
        for (int i = 0; i < list.ItemCount(); ++i) {
            const TFileRec* item = list.GetItemData(i);
            if (item->IsDirectory && !item->IsParentDir && !item->SubDirSizeDone)
                return false;
        }
        return true;
    };
    struct Case {
        const char* what;
        bool tree;
        const wchar_t* item;     // in the list
        const wchar_t* newName;  // typed and confirmed; nullptr: cancelled
        bool waits;
    } cases[] = {
        {"a folder renamed in the list", false, L"eins", L"drei", true},
        {"a file's name edit cancelled", false, L"a.txt", nullptr, false},
        {"a folder's name edit in the tree cancelled", true, nullptr, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // On: every folder's size is unknown, its scan waits for the idle time.
        Run(TActionId::ViewDirSize);
        ASSERT_FALSE(sized());
        HWND edit = nullptr;
        if (c.tree) {
            main->TreeView1->EditNodeName(node);
            edit = reinterpret_cast<HWND>(SendMessageW(main->TreeView1->Handle(), TVM_GETEDITCONTROL, 0, 0));
        } else {
            TFileRec* item = list.FindFileItem(c.item);
            ASSERT_NE(item, nullptr);
            list.EditItemName(*item);
            edit = reinterpret_cast<HWND>(SendMessageW(list.Handle(), LVM_GETEDITCONTROL, 0, 0));
        }
        ASSERT_NE(edit, nullptr);
        if (c.waits) {
            EXPECT_FALSE(RunUntil(sized, 500ms)) << "no sums while the editor is open";
            EXPECT_FALSE(list.ScanPending());
            EXPECT_EQ(list.DirScansRunning() + list.DirScansWaiting(), 0u);
        } else {
            EXPECT_TRUE(RunUntil(sized, 10s)) << "the sums go on";
        }
        if (c.newName) {
            SetWindowTextW(edit, c.newName);
            PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
            ASSERT_TRUE(test::PumpUntil([&] { return list.FindFileItem(c.newName) != nullptr; }, 5s));
        } else if (c.tree) {
            SendMessageW(main->TreeView1->Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);
        } else {
            SendMessageW(list.Handle(), LVM_CANCELEDITLABEL, 0, 0);
        }
        EXPECT_TRUE(RunUntil(sized, 10s)) << "summed after the editor closed";
        const TFileRec* summed = list.FindFileItem(L"zwei");
        ASSERT_NE(summed, nullptr);
        EXPECT_EQ(summed->Size, 5u);
        Run(TActionId::ViewDirSize);
    }
}

TEST_F(MainFileTools, EnterOnAnArchiveListsItInTheDisplayPaneWhenTheSwitchIsOn)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring folder = ExtractFilePath(exe);
    ASSERT_TRUE(CopyFileW((folder + L"file_tools_zip_r.zip").c_str(), dir.File(L"paket.zip").c_str(), TRUE));
    dir.Write(L"daten.bin", std::string("\x01\x02", 2));
    // unzip's names, without the folder entries (the list shows files only).
    std::set<std::wstring> expected;
    std::ifstream names(Narrow(folder + L"file_tools_zip_r.names"));
    for (std::string line; std::getline(names, line);) {
        if (line.empty() || line.back() == '/')
            continue;
        std::wstring name = Utf8ToWide(line);
        std::replace(name.begin(), name.end(), L'/', L'\\');
        expected.insert(name);
    }
    ASSERT_GE(expected.size(), 2u);
    TKyZipLV& zip = *main->ZipLV;
    auto listed = [&] {
        std::set<std::wstring> shown;
        for (int i = 0; i < zip.Items().Count(); ++i)
            shown.insert(std::wstring(zip.Items()[i].Path()) + std::wstring(zip.Items()[i].Name()));
        return shown;
    };

    for (const bool viewArchive : {false, true}) {
        SCOPED_TRACE(viewArchive);
        Options.ViewArchive = viewArchive;
        main->SetDisplayMode(fdAutomatic);
        if (main->FileDisplay()->ViewFile())
            main->ViewFile->Execute();
        ASSERT_FALSE(main->FileDisplay()->ViewFile());
        Select(dir.Path(), {L"paket.zip"});
        if (viewArchive) {
            PostMessageW(main->LV1->Handle(), WM_KEYDOWN, VK_RETURN, 1);
            ASSERT_TRUE(test::PumpUntil([&] { return zip.Visible() && zip.Items().Count() > 0; }, 10s));
            EXPECT_TRUE(main->FileDisplay()->ViewFile()) << "the display was switched on";
            EXPECT_EQ(zip.GetArchiveName(), dir.File(L"paket.zip"));
            EXPECT_EQ(listed(), expected);
        } else {
            // Enter would start the file in the shell; the display shows it instead.
            main->ViewFile->Execute();
            ASSERT_TRUE(test::PumpUntil([&] { return main->HexEditor1->Visible(); }, 5s));
            EXPECT_FALSE(zip.Visible());
        }
    }
    // Another file focused as the user would: the archive closes.
    const int index = main->LV1->IndexOf(main->LV1->FindFileItem(L"daten.bin"));
    ListView_SetItemState(main->LV1->Handle(), -1, 0, LVIS_SELECTED);
    ListView_SetItemState(main->LV1->Handle(), index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    EXPECT_TRUE(test::PumpUntil([&] { return main->HexEditor1->Visible(); }, 5s));
    EXPECT_TRUE(zip.GetArchiveName().empty());
}

TEST_F(MainFileTools, TheShellsToolsAreStartedAndTheirFailuresShown)
{
    std::vector<ShellCall> calls;
    auto owned = std::make_unique<RecordingRunner>(calls);
    RecordingRunner& runner = *owned;
    main->FileTools().Runner = std::move(owned);
    dir.Write(L"x.abc", "x");
    dir.Write(L"brief.qrvdr", "x");
    Select(dir.Path(), {L"x.abc"});

    Run(TActionId::FileOpenWith);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].File, L"RUNDLL32.EXE");
    EXPECT_EQ(calls[0].Parameters, L"shell32.dll,OpenAs_RunDLL " + dir.File(L"x.abc"));
    Run(TActionId::PrintFile);
    EXPECT_EQ(calls.size(), 1u) << "no print verb for the file's type";
    // A type of our own with a print verb (where the shell reads types).
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, L".qrvdr", nullptr, REG_SZ, L"QrvDruck", sizeof(L"QrvDruck")),
              ERROR_SUCCESS);
    const wchar_t command[] = L"notepad.exe /p \"%1\"";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, L"QrvDruck\\shell\\print\\command", nullptr, REG_SZ, command,
                              sizeof(command)),
              ERROR_SUCCESS);
    const struct RemoveType {
        ~RemoveType()
        {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L".qrvdr");
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L"QrvDruck");
        }
    } removeType;
    Select(dir.Path(), {L"brief.qrvdr"});
    Run(TActionId::PrintFile);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].Verb, L"print");
    EXPECT_EQ(calls[1].File, L"brief.qrvdr");
    EXPECT_EQ(RemoveBackslash(calls[1].Directory), RemoveBackslash(dir.Path()));
    Run(TActionId::ExecuteDialog);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].Verb, L"run");
    EXPECT_EQ(calls[2].Directory, main->LV1->GetPath());

    // Failures the system does not show itself get a box.
    struct Case {
        const char* what;
        TActionId command;
        bool libraries;
        DWORD netResult;
        std::wstring text;  // a part of the box's message
        bool started;       // the runner was asked to start something
    } cases[] = {
        {"no DISKCOPY.DLL", TActionId::DiscCopy, false, NO_ERROR, L"RUNDLL32.EXE DISKCOPY.DLL", false},
        {"no network", TActionId::NetConnect, true, ERROR_NO_NETWORK, Win32ErrorText(ERROR_NO_NETWORK), true},
        {"no network to leave", TActionId::NetDisconnect, true, ERROR_NO_NETWORK, Win32ErrorText(ERROR_NO_NETWORK),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        runner.Libraries = c.libraries;
        runner.NetResult = c.netResult;
        const size_t before = calls.size();
        test::DialogAnswerer answer({L"OK"});
        Run(c.command);
        ASSERT_TRUE(test::PumpUntil([&] { return answer.Answered(); }, 5s));
        EXPECT_NE(answer.Texts().find(c.text.substr(0, 20)), std::wstring::npos) << Narrow(answer.Texts());
        EXPECT_EQ(calls.size() > before, c.started);
    }
    // A cancelled network dialog shows nothing, nor does a finished format.
    runner.NetResult = ERROR_CANCELLED;
    Run(TActionId::NetConnect);
    EXPECT_EQ(calls.back().Verb, L"connect");
    Run(TActionId::DiskFormat);
    EXPECT_EQ(calls.back().Verb, L"format");
    EXPECT_EQ(calls.back().File, L"0") << "drive A:";
}

TEST_F(MainFileTools, TheShellsFormatDialogFailingAtOnceIsReported)
{
    // The system's own runner: Wine's shell has no format dialog for A: and
    // returns at once, which the user would otherwise never learn.
    Select(dir.Path(), {});
    ASSERT_TRUE(test::PumpUntil([&] { return main->LV1->WatchThreadActive(); }, 5s));
    test::DialogAnswerer answer({L"OK"});
    Run(TActionId::DiskFormat);
    ASSERT_TRUE(test::PumpUntil([&] { return answer.Answered(); }, 10s));
    EXPECT_NE(answer.Texts().find(L"Laufwerk A:"), std::wstring::npos) << Narrow(answer.Texts());
    EXPECT_TRUE(main->LV1->WatchThreadActive()) << "the list on T: kept watching";
}
