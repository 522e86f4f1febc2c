#include "common/FileOperator.h"
#include "common/win/FileClipboard.h"
#include "panels/win/DirView.h"

#include "TestDir.h"
#include "framework/InputErrors.h"
#include "framework/win/Forms.h"
#include "win/MessagePump.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder "Liste" with a subfolder and two files shown by a list on a form.
class DirViewFileOps : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Liste");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unterordner").c_str(), nullptr));
        dir.Write(L"Liste\\brief.txt", "Text");
        dir.Write(L"Liste\\notiz.txt", "Notiz");
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        view = new TDirView(form.get());
        view->SetParent(form.get());
        view->SetBounds(0, 0, 500, 400);
        form->HandleNeeded();
        view->SetPath(folder);
    }
    void TearDown() override { form.reset(); }

    bool Shows(const std::wstring& name) const { return view->FindFileItem(name) != nullptr; }
    void Select(std::initializer_list<std::wstring> names)
    {
        view->SelectRange(-1, -1, false);
        for (const auto& name : names) {
            ASSERT_NE(view->FindFileItem(name), nullptr);
            view->SetItemSelected(*view->FindFileItem(name), true);
        }
    }
    // Types Text into the name editor of the item and presses Enter.
    void Rename(const std::wstring& name, const std::wstring& text)
    {
        SetFocus(view->Handle());
        const int index = view->IndexOf(view->FindFileItem(name));
        const HWND edit = reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_EDITLABELW, index, 0));
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, text.c_str());
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    }

    test::TestDir dir;
    std::wstring folder;
    std::unique_ptr<TForm> form;
    TDirView* view = nullptr;
};

}  // namespace

TEST_F(DirViewFileOps, NewFolderAndFileAreAddedFocusedAndNeverOverwrite)
{
    int updates = 0;
    view->OnDirUpdated = [&](TComponent*) { ++updates; };
    TFileRec* created = view->CreateDirectory(L"Neues Verzeichnis");
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->IsDirectory);
    EXPECT_EQ(view->ItemFocused(), created);
    EXPECT_EQ(LastFileError, 0u);
    EXPECT_TRUE(Exists(folder + L"\\Neues Verzeichnis"));

    TFileRec* file = view->CreateFile(L"Neue Datei");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->IsDirectory);
    EXPECT_EQ(view->ItemFocused(), file);
    EXPECT_EQ(updates, 2);

    const int count = view->ItemCount();
    EXPECT_EQ(view->CreateFile(L"brief.txt"), nullptr);
    EXPECT_EQ(LastFileError, static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text") << "an existing file keeps its contents";
    EXPECT_EQ(view->CreateDirectory(L"Unterordner"), nullptr);
    EXPECT_EQ(LastFileError, static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
    for (const std::wstring name : {L"a\\..\\..\\x", L"..", L"", L"T:\\x", L"a/b"}) {
        EXPECT_EQ(view->CreateDirectory(name), nullptr);
        EXPECT_EQ(view->CreateFile(name), nullptr);
        EXPECT_EQ(LastFileError, static_cast<uint32_t>(ERROR_INVALID_NAME));
    }
    EXPECT_FALSE(Exists(dir.File(L"x"))) << "a name cannot reach another folder";
    EXPECT_EQ(view->ItemCount(), count);
}

TEST_F(DirViewFileOps, PhysicalDeleteTakesTheItemsOutAndSelectsTheNext)
{
    view->ConfirmDelete = false;
    Select({L"brief.txt", L"Unterordner"});
    EXPECT_TRUE(view->DeleteSelectedFiles(false));
    EXPECT_FALSE(Exists(folder + L"\\brief.txt"));
    EXPECT_FALSE(Exists(folder + L"\\Unterordner"));
    EXPECT_FALSE(Shows(L"brief.txt"));
    EXPECT_FALSE(Shows(L"Unterordner"));
    EXPECT_TRUE(Shows(L"notiz.txt"));
    EXPECT_EQ(view->SelCount(), 1) << "the item now in the place of the first deleted one is selected";
    view->SelectRange(-1, -1, false);
    EXPECT_FALSE(view->DeleteSelectedFiles(false)) << "nothing selected";
}

TEST_F(DirViewFileOps, DotDotIsNotRenamedAndATypedNameRenamesTheFile)
{
    SetFocus(view->Handle());
    ASSERT_TRUE(Shows(L".."));
    const int parent = view->IndexOf(view->FindFileItem(L".."));
    EXPECT_EQ(SendMessageW(view->Handle(), LVM_EDITLABELW, parent, 0), 0) << "\"..\" has no name to change";

    Rename(L"brief.txt", L"Brief an Anna.txt");
    EXPECT_FALSE(Exists(folder + L"\\brief.txt"));
    EXPECT_EQ(dir.Read(L"Liste\\Brief an Anna.txt"), "Text");
    EXPECT_TRUE(Shows(L"Brief an Anna.txt"));
    EXPECT_FALSE(Shows(L"brief.txt"));
    ASSERT_TRUE(view->FileOperator().UndoAvailable());
    EXPECT_TRUE(view->UndoCopyMove());
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text");
    EXPECT_TRUE(Shows(L"brief.txt"));
}

TEST_F(DirViewFileOps, RenamingOntoAnExistingNameReopensTheEditorWithTheTypedText)
{
    std::vector<std::wstring> errors;
    view->AskRenameAgain = [&](const std::wstring& text) {
        errors.push_back(text);
        return true;
    };
    Rename(L"brief.txt", L"notiz.txt");
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Datei oder Verzeichnis ist bereits vorhanden: notiz.txt"});
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text");
    EXPECT_EQ(dir.Read(L"Liste\\notiz.txt"), "Notiz");
    HWND edit = nullptr;
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            return (edit = reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_GETEDITCONTROL, 0, 0))) != nullptr;
        },
        5s));
    wchar_t text[64] = L"";
    GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(text, L"notiz.txt");
    SendMessageW(view->Handle(), LVM_CANCELEDITLABEL, 0, 0);
}

TEST_F(DirViewFileOps, ANameWithInvalidCharactersIsAUserErrorAndRenamesNothing)
{
    std::vector<std::wstring> raised;
    const auto previous = Application->OnException;
    Application->OnException = [&](TComponent*, const std::exception& error) {
        const auto* invalid = dynamic_cast<const EInvalidFileName*>(&error);
        raised.push_back(invalid ? invalid->Message() : L"<another exception>");
    };
    int editsEnded = 0;
    view->OnEditEnded = [&](TComponent*) { ++editsEnded; };
    Rename(L"brief.txt", L"Brief|Anna.txt");
    Application->OnException = previous;
    EXPECT_EQ(raised, std::vector<std::wstring>{L"Dateiname enthält ungültige Zeichen:  \\ / : * ? \" < > |"});
    EXPECT_EQ(editsEnded, 1) << "the edit's end is reported all the same";
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text");
    EXPECT_TRUE(Shows(L"brief.txt"));
}

TEST_F(DirViewFileOps, ANameEditLeftOpenNeverReachesAnotherFolder)
{
    // A second folder whose items stand in the same rows as the first's.
    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((other + L"\\Unterordner").c_str(), nullptr));
    dir.Write(L"Andere\\brief.txt", "Anderer Text");
    dir.Write(L"Andere\\notiz.txt", "Andere Notiz");
    const auto typeInEditor = [&](const std::wstring& name, const std::wstring& text) {
        SetFocus(view->Handle());
        const int index = view->IndexOf(view->FindFileItem(name));
        const HWND edit = reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_EDITLABELW, index, 0));
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, text.c_str());
    };
    // What the user does next with an editor still open: Enter, or a click
    // elsewhere that takes its focus.
    const auto finishEditing = [&] {
        if (const HWND edit = reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_GETEDITCONTROL, 0, 0)))
            SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
        test::PumpFor(100ms);
    };

    // Another folder is loaded (the tree, the history, a drive): the typed
    // name goes to the item it was typed for, in its own folder.
    typeInEditor(L"brief.txt", L"Eins.txt");
    view->SetPath(other);
    EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETEDITCONTROL, 0, 0), 0) << "the editor closed before the load";
    finishEditing();
    EXPECT_EQ(dir.Read(L"Andere\\brief.txt"), "Anderer Text");
    EXPECT_FALSE(Exists(other + L"\\Eins.txt"));
    EXPECT_EQ(dir.Read(L"Liste\\Eins.txt"), "Text");
    EXPECT_FALSE(Exists(folder + L"\\brief.txt"));
    EXPECT_TRUE(Shows(L"brief.txt")) << "the list shows the other folder";

    // A re-read of the same folder also ends the edit on its own item.
    typeInEditor(L"notiz.txt", L"Zwei.txt");
    view->ReloadDirectory();
    finishEditing();
    EXPECT_EQ(dir.Read(L"Andere\\Zwei.txt"), "Andere Notiz");
    EXPECT_TRUE(Shows(L"Zwei.txt"));
    EXPECT_FALSE(Shows(L"notiz.txt"));

    // A name that fails at a load is reported, and the editor never reopens
    // on an item of the next folder.
    std::vector<std::wstring> errors;
    view->AskRenameAgain = [&](const std::wstring& text) {
        errors.push_back(text);
        return true;
    };
    typeInEditor(L"brief.txt", L"Zwei.txt");
    view->SetPath(folder);
    finishEditing();
    EXPECT_EQ(dir.Read(L"Andere\\brief.txt"), "Anderer Text");
    EXPECT_EQ(dir.Read(L"Liste\\notiz.txt"), "Notiz");
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Datei oder Verzeichnis ist bereits vorhanden: Zwei.txt"});
    test::PumpFor(200ms);
    EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETEDITCONTROL, 0, 0), 0);
}

TEST_F(DirViewFileOps, CopiedItemsPastedElsewhereAreUndone)
{
    const std::wstring other = dir.File(L"Andere");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    Select({L"brief.txt", L"notiz.txt"});
    ASSERT_TRUE(view->CopyToClipBoard(true));
    view->SetPath(other);
    ASSERT_TRUE(view->CanPasteFromClipBoard());
    ASSERT_TRUE(view->PasteFromClipBoard(L""));
    EXPECT_TRUE(Shows(L"brief.txt"));
    EXPECT_EQ(dir.Read(L"Andere\\notiz.txt"), "Notiz");
    EXPECT_EQ(view->SelCount(), 2) << "the pasted items are the selection";
    EXPECT_TRUE(view->FindFileItem(L"brief.txt")->Selected);
    EXPECT_TRUE(view->FindFileItem(L"notiz.txt")->Selected);
    ASSERT_NE(view->ItemFocused(), nullptr);
    EXPECT_TRUE(view->ItemFocused()->Selected);
    // The control shows it so: the pasted items highlighted, the focus on one.
    test::PumpFor(100ms);
    EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 2);
    const int shownFocus =
        static_cast<int>(SendMessageW(view->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    EXPECT_EQ(shownFocus, view->IndexOf(view->ItemFocused()));
    ASSERT_TRUE(view->UndoCopyMove());
    EXPECT_FALSE(Exists(other + L"\\brief.txt"));
    EXPECT_FALSE(Exists(other + L"\\notiz.txt"));
    EXPECT_FALSE(Shows(L"brief.txt"));
    EXPECT_EQ(dir.Read(L"Liste\\brief.txt"), "Text");
    ASSERT_TRUE(EmptyFileClipboard(nullptr));
}
