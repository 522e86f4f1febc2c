#include "panels/win/DriveView.h"

#include "TestDir.h"
#include "framework/InputErrors.h"
#include "TreeAndListForm.h"
#include "common/FileOperator.h"
#include "panels/win/DirView.h"
#include "win/MessagePump.h"

#include <commctrl.h>

#include <gtest/gtest.h>

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

// A folder "Projekt" with the subfolders "Alt" and "Bilder" on the test
// drive, shown by a tree and the list it drives.
class DriveViewFileOps : public testing::Test {
protected:
    void SetUp() override
    {
        base = dir.File(L"Projekt");
        for (const std::wstring& sub : {std::wstring(), std::wstring(L"\\Alt"), std::wstring(L"\\Bilder")})
            ASSERT_TRUE(CreateDirectoryW((base + sub).c_str(), nullptr));
        dir.Write(L"Projekt\\Alt\\notiz.txt", "Notiz");
        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        list = made.List;
        form->Show();
        tree->AskRenameAgain = [this](const std::wstring& text) {
            errors.push_back(text);
            return true;
        };
        projekt = tree->NodeForPath(base);
        ASSERT_NE(projekt, nullptr);
        projekt->Expand();
    }
    void TearDown() override { form.reset(); }

    TTreeNode* Child(TTreeNode* parent, const std::wstring& name)
    {
        for (int i = 0; i < parent->Count(); ++i)
            if (tree->GetDirName(parent->Item(i)) == name)
                return parent->Item(i);
        return nullptr;
    }
    // Types Text into the node's name editor and presses Enter.
    void Rename(TTreeNode* node, const std::wstring& text)
    {
        tree->EditNodeName(node);
        const HWND edit = reinterpret_cast<HWND>(SendMessageW(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(edit, nullptr) << "the editor did not open";
        SetWindowTextW(edit, text.c_str());
        SendMessageW(tree->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    }
    std::wstring EditorText()
    {
        const HWND edit = reinterpret_cast<HWND>(SendMessageW(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
        if (!edit)
            return L"<no editor>";
        wchar_t text[MAX_PATH] = L"";
        GetWindowTextW(edit, text, MAX_PATH);
        return text;
    }

    test::TestDir dir;
    std::wstring base;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TDirView* list = nullptr;
    TTreeNode* projekt = nullptr;
    std::vector<std::wstring> errors;
};

}  // namespace

TEST_F(DriveViewFileOps, NewFolderBecomesASortedChildAndATakenNameIsRefused)
{
    tree->SelectNode(projekt);
    TTreeNode* created = tree->CreateDirectory(projekt, L"Anlagen");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(LastFileError, 0u);
    EXPECT_TRUE(Exists(base + L"\\Anlagen"));
    EXPECT_EQ(created->Parent(), projekt);
    EXPECT_EQ(created->Index(), 1) << "between Alt and Bilder";
    EXPECT_NE(list->FindFileItem(L"Anlagen"), nullptr) << "the list showing the folder reads it again";

    EXPECT_EQ(tree->CreateDirectory(projekt, L"Anlagen"), nullptr);
    EXPECT_EQ(LastFileError, static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
    for (const wchar_t* bad : {L"", L"..", L"a\\b", L"x:y"}) {
        EXPECT_EQ(tree->CreateDirectory(projekt, bad), nullptr) << bad;
        EXPECT_EQ(LastFileError, static_cast<uint32_t>(ERROR_INVALID_NAME)) << bad;
    }
    EXPECT_EQ(projekt->Count(), 3);
}

TEST_F(DriveViewFileOps, DeleteRemovesTheFolderAndItsNodeAndTheListFollowsToTheParent)
{
    TTreeNode* alt = Child(projekt, L"Alt");
    ASSERT_NE(alt, nullptr);
    tree->SelectNode(alt);
    ASSERT_TRUE(list->FindFileItem(L"notiz.txt"));
    tree->ConfirmDelete = false;
    EXPECT_TRUE(tree->DeleteDirectory(alt, false));
    EXPECT_FALSE(Exists(base + L"\\Alt"));
    EXPECT_EQ(Child(projekt, L"Alt"), nullptr);
    EXPECT_EQ(tree->Selected(), projekt);
    EXPECT_TRUE(SameText(list->GetPath(), base));

    // A folder another program removed only loses its node.
    TTreeNode* bilder = Child(projekt, L"Bilder");
    ASSERT_TRUE(RemoveDirectoryW((base + L"\\Bilder").c_str()));
    EXPECT_TRUE(tree->DeleteDirectory(bilder, false));
    EXPECT_EQ(projekt->Count(), 0);

    // A drive is never deleted.
    EXPECT_FALSE(tree->DeleteDirectory(tree->RootNode(projekt), false));
}

TEST_F(DriveViewFileOps, RenameInPlaceRenamesTheFolderAndTheListFollows)
{
    // ctest: takes the focus. The name editor is given it.
    TTreeNode* alt = Child(projekt, L"Alt");
    tree->SelectNode(alt);
    EXPECT_FALSE(tree->CanEdit(tree->RootNode(alt))) << "a drive keeps its name";
    ASSERT_TRUE(tree->CanEdit(alt));
    Rename(alt, L"Zuletzt");
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(Exists(base + L"\\Zuletzt\\notiz.txt"));
    EXPECT_FALSE(Exists(base + L"\\Alt"));
    EXPECT_EQ(tree->GetDirName(alt), L"Zuletzt");
    EXPECT_EQ(alt->Text(), L"Zuletzt");
    EXPECT_EQ(alt->Index(), 1) << "sorted after Bilder";
    EXPECT_TRUE(SameText(list->GetPath(), base + L"\\Zuletzt"));

    // The rename can be undone through the tree's operator.
    ASSERT_TRUE(tree->FileOperator().UndoAvailable());
    EXPECT_TRUE(tree->FileOperator().Undo());
    EXPECT_TRUE(Exists(base + L"\\Alt\\notiz.txt"));
    EXPECT_FALSE(Exists(base + L"\\Zuletzt"));
}

TEST_F(DriveViewFileOps, RenamingOntoAnExistingNameReopensTheEditorWithTheTypedText)
{
    TTreeNode* alt = Child(projekt, L"Alt");
    tree->SelectNode(alt);
    Rename(alt, L"Bilder");
    ASSERT_EQ(errors.size(), 1u) << testing::PrintToString(errors);
    EXPECT_EQ(errors[0], L"Datei oder Verzeichnis ist bereits vorhanden: Bilder");
    EXPECT_TRUE(Exists(base + L"\\Alt\\notiz.txt"));
    EXPECT_EQ(tree->GetDirName(alt), L"Alt");
    ASSERT_TRUE(test::PumpUntil([&] { return tree->IsEditing(); }, 2s)) << "the editor did not reopen";
    EXPECT_EQ(EditorText(), L"Bilder");
    SendMessageW(tree->Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);

    // Invalid characters (pasted past the editor's filter) are named by a
    // user error for the application's handler, and not edited again.
    std::vector<std::wstring> raised;
    const auto previous = Application->OnException;
    Application->OnException = [&](TComponent*, const std::exception& error) {
        const auto* invalid = dynamic_cast<const EInvalidDirName*>(&error);
        raised.push_back(invalid ? invalid->Message() : L"<another exception>");
    };
    Rename(alt, L"a?b");
    Application->OnException = previous;
    EXPECT_EQ(errors.size(), 1u) << "no question to edit again";
    EXPECT_EQ(raised, std::vector<std::wstring>{L"Verzeichnisname enthält ungültige Zeichen:  \\ / : * ? \" < > |"});
    EXPECT_TRUE(Exists(base + L"\\Alt"));
    EXPECT_FALSE(tree->IsEditing());
}
