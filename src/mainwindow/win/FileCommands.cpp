#include "mainwindow/win/FileCommands.h"

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "framework/ScopeExit.h"
#include "mainwindow/FileCommandRules.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"

#include <shlobj.h>

namespace qrv {

namespace {

constexpr int kUndoHelpContext = 510;

uint32_t MaxNameLength(const std::wstring& Path)
{
    const std::wstring root = Path.size() >= 3 ? Path.substr(0, 3) : AddBackslash(Path);
    DWORD maxLength = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &maxLength, nullptr, nullptr, 0)) {
        return 255;
    }
    return maxLength;
}

std::wstring Quoted(const std::wstring& Format, const std::wstring& Name)
{
    return ReplaceSubStr(Format, L"%s", Name);
}

}  // namespace

TFileCommands::TFileCommands(TFileCommandsHost& Host) : host_(Host) {}

void TFileCommands::Refuse(const std::wstring& Text)
{
    MessageBeep(MB_ICONHAND);
    host_.ShowMessageBox(Text, TMsgDlgType::mtError, 0, mbOK);
}

bool TFileCommands::ShellNoConfirmRecycle() const
{
    // Where the setting cannot be read it counts as set: the program asks.
    SHELLFLAGSTATE state{};
    SHGetSettings(&state, SSF_NOCONFIRMRECYCLE);
    return state.fNoConfirmRecycle != 0;
}

bool TFileCommands::ListKeyDown(WORD Key, bool Shift, bool Ctrl)
{
    TDirView* list = host_.ActiveFileList();
    if (list == nullptr) {
        return false;
    }
    physicalDelete_ = Shift;
    switch (Key) {
    case VK_INSERT:
        if (list->IsVirtual()) {
            return false;
        }
        Ctrl ? NewFile() : NewDir();
        return true;
    case VK_DELETE:
        DeleteObject();
        physicalDelete_ = false;
        return true;
    default: return false;
    }
}

void TFileCommands::CreateItem(bool Directory)
{
    TDirView* list = host_.ActiveFileList();
    if (list == nullptr || !list->Loaded() || list->IsVirtual() || list->FullPathItems()) {
        MessageBeep(MB_OK);
        return;
    }
    const std::wstring name =
        NewItemName(list->GetPath(), Directory, MaxNameLength(list->GetPath()), [](const std::wstring& path) {
            return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        });
    TFileRec* item = name.empty() ? nullptr : (Directory ? list->CreateDirectory(name) : list->CreateFile(name));
    if (item == nullptr) {
        const std::wstring what = Directory ? L"Fehler beim Anlegen des Verzeichnisses: \"%s\"."
                                            : L"Fehler beim Anlegen der Datei: \"%s\".";
        Refuse(Win32ErrorText(LastFileError) + L"\r\r" + Quoted(what, name));
        return;
    }
    editingByCommand_ = true;
    ScopeExit done([this] { editingByCommand_ = false; });
    list->EditItemName(*item);
}

void TFileCommands::NewDir()
{
    CreateItem(true);
}

void TFileCommands::NewFile()
{
    CreateItem(false);
}

void TFileCommands::DeleteObjectPhysical()
{
    const bool saved = physicalDelete_;
    physicalDelete_ = true;
    ScopeExit restore([&] { physicalDelete_ = saved; });
    DeleteObject();
}

void TFileCommands::DeleteObject()
{
    TDirView* list = host_.ActiveFileList();
    const TOptions& options = host_.FileOptions();
    TDeleteContext context;
    if (list != nullptr && list->Focused()) {
        context.Focus = TDeleteFocus::List;
        context.ListSelCount = list->SelCount();
        context.ListFullPathItems = list->FullPathItems();
        context.DriveType = static_cast<uint32_t>(list->DriveType());
    }
    context.PhysicalRequested = physicalDelete_;
    context.ConfirmLogicalDel = options.ConfirmLogicalDel;
    context.ConfirmPhysicalDel = options.ConfirmPhysicalDel;
    context.ShellNoConfirmRecycle = ShellNoConfirmRecycle();
    const TDeleteDecision decision = DecideDelete(context);
    if (decision.Target != TDeleteTarget::List) {
        // The tree's and the archive's deletes come with those panes.
        Refuse(decision.Error.empty() ? L"Kein löschbares Element fokusiert." : decision.Error);
        return;
    }
    if (!decision.Question.empty() &&
        host_.ShowMessageBox(decision.Question, TMsgDlgType::mtConfirmation, 0, mbOK | mbCancel) != mrOk) {
        return;
    }
    const bool savedConfirm = list->ConfirmDelete;
    list->ConfirmDelete = decision.ShellConfirms;
    ScopeExit restore([&] { list->ConfirmDelete = savedConfirm; });
    // A changed text the user keeps stops the delete.
    if (!host_.ClearDisplay())
        return;
    (void)list->DeleteSelectedFiles(!decision.Physical);
    if (!decision.Physical) {
        lastOperator_ = nullptr;  // what went to the recycle bin is undone there
    }
    host_.RefreshStatusBar();
}

void TFileCommands::EditObject()
{
    TDirView* list = host_.ActiveFileList();
    if (list == nullptr || SendMessageW(list->Handle(), LVM_GETEDITCONTROL, 0, 0) != 0) {
        return;
    }
    for (int i = 0; i < list->ItemCount(); ++i) {
        TFileRec* item = list->GetItemData(i);
        if (item->Selected && !item->IsParentDir) {
            editingByCommand_ = true;
            ScopeExit done([this] { editingByCommand_ = false; });
            list->EditItemName(*item);
            // The list's rename goes through its operator: undo follows it.
            lastOperator_ = &list->FileOperator();
            return;
        }
    }
    Refuse(L"Kein editierbares Element fokusiert.");
}

void TFileCommands::ClipBoardCopy(bool Cut)
{
    TDirView* list = host_.ActiveFileList();
    if (list == nullptr || list->SelCount() == 0 || !list->CopyToClipBoard(!Cut)) {
        MessageBeep(MB_OK);
    }
}

void TFileCommands::ClipBoardPaste()
{
    TDirView* list = host_.ActiveFileList();
    if (list == nullptr || !list->CanPasteFromClipBoard()) {
        MessageBeep(MB_OK);
        return;
    }
    if (list->PasteFromClipBoard(L"")) {
        lastOperator_ = &list->FileOperator();
    }
    host_.RefreshStatusBar();
}

void TFileCommands::FileUndo()
{
    TDirView* list = host_.ActiveFileList();
    const bool ownsIt = list != nullptr && lastOperator_ == &list->FileOperator();
    if (lastOperator_ == nullptr || !lastOperator_->UndoAvailable() || !ownsIt) {
        MessageBeep(MB_ICONHAND);
        host_.ShowMessageBox(L"Operation kann nicht rückgängig gemacht werden.", TMsgDlgType::mtError,
                             kUndoHelpContext, mbOK | mbHelp);
        return;
    }
    if (!list->UndoCopyMove()) {
        MessageBeep(MB_ICONHAND);
        host_.ShowMessageBox(L"Fehler bei Rückgängigmachen der Dateioperation", TMsgDlgType::mtError,
                             kUndoHelpContext, mbOK | mbHelp);
    }
    const std::vector<std::wstring>& kept = lastOperator_->UndoKept();
    if (!kept.empty()) {
        std::wstring text = L"Diese Elemente bestanden schon vorher oder ihr alter Platz ist belegt; sie bleiben:";
        for (const std::wstring& name : kept) {
            text += L"\n" + name;
        }
        host_.ShowMessageBox(text, TMsgDlgType::mtInformation, kUndoHelpContext, mbOK);
    }
    host_.RefreshStatusBar();
}

}  // namespace qrv
