// The list's file actions: new folders and files, delete, clipboard, paste,
// undo and renaming in place. Each pauses watching while it changes the folder
// and updates the records itself instead of waiting for the change report.

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileClipboard.h"
#include "common/win/FileQueries.h"
#include "common/win/ShellFileOperator.h"
#include "common/win/ShellNotify.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/InputErrors.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/MessageDialog.h"
#include "panels/PasteRules.h"
#include "panels/RenameRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"

#include <shlobj.h>

#include <algorithm>
#include <exception>
#include <utility>

namespace qrv {

uint32_t LastFileError = 0;

TFileOperator& TDirView::FileOperator()
{
    if (!fileOperator_) {
        fileOperator_ = NewShellFileOperator(this);
        fileOperator_->ProgressTitle = L"Filesystem Operation";
        fileOperator_->Flags = foAllowUndo | foNoConfirmMkDir;
    }
    return *fileOperator_;
}

TFileRec* TDirView::AddCreatedItem(const std::wstring& FullPath)
{
    TSearchRec entry;
    if (!fs_.GetEntry(FullPath, entry)) {
        return nullptr;
    }
    TFileRec* item = nullptr;
    {
        TUpdateBracket update(*this);
        item = &AddItem(entry);
        SelectRange(-1, -1, false);
        SetItemSelected(*item, true);
        SetItemFocused(item);
    }
    MakeFocusedVisible();
    if (OnDirUpdated) {
        OnDirUpdated(this);
    }
    return item;
}

TFileRec* TDirView::CreateDirectory(const std::wstring& Name)
{
    const std::wstring full = GetPath().empty() ? std::wstring() : AddBackslash(GetPath()) + Name;
    if (!IsPlainFileName(Name) || !IsFullPath(full)) {
        LastFileError = ERROR_INVALID_NAME;
        return nullptr;
    }
    if (PathExists(full)) {
        LastFileError = ERROR_ALREADY_EXISTS;
        return nullptr;
    }
    const bool watching = WatchForChanges();
    SetWatchForChanges(false);
    ScopeExit resume([&] { SetWatchForChanges(watching); });
    if (!::CreateDirectoryW(full.c_str(), nullptr)) {
        LastFileError = GetLastError();
        return nullptr;
    }
    LastFileError = 0;
    NotifyShell(TShellChange::FolderCreated, full, TShellNoticeWait::Flush);
    return AddCreatedItem(full);
}

TFileRec* TDirView::CreateFile(const std::wstring& Name)
{
    const std::wstring full = GetPath().empty() ? std::wstring() : AddBackslash(GetPath()) + Name;
    if (!IsPlainFileName(Name) || !IsFullPath(full)) {
        LastFileError = ERROR_INVALID_NAME;
        return nullptr;
    }
    if (PathExists(full)) {
        LastFileError = ERROR_ALREADY_EXISTS;
        return nullptr;
    }
    const bool watching = WatchForChanges();
    SetWatchForChanges(false);
    ScopeExit resume([&] { SetWatchForChanges(watching); });
    // CREATE_NEW: a file made by someone else since the test above stays.
    TFileHandle file(
        ::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        LastFileError = GetLastError();
        return nullptr;
    }
    file.Reset();
    LastFileError = 0;
    NotifyShell(TShellChange::FileCreated, full, TShellNoticeWait::Flush);
    return AddCreatedItem(full);
}

bool TDirView::DeleteSelectedFiles(bool ToRecycleBin)
{
    if (IsVirtual()) {
        MessageBeep(MB_ICONHAND);
        return false;
    }
    std::vector<std::wstring> names;
    int firstIndex = -1;
    for (int i = 0; i < ItemCount(); ++i) {
        const TFileRec* item = GetItemData(i);
        if (item->Selected && !item->IsParentDir) {
            names.push_back(ItemFullFileName(item));
            if (firstIndex < 0) {
                firstIndex = i;
            }
        }
    }
    if (names.empty()) {
        return false;
    }
    const bool watching = WatchForChanges();
    SetWatchForChanges(false);
    ScopeExit resume([&] { SetWatchForChanges(watching); });

    auto op = NewShellFileOperator(this);
    op->Operation = TFileOperation::foDelete;
    op->ProgressTitle = L"Filesystem Operation";
    op->Flags = foNoConfirmMkDir;
    if (!ConfirmDelete) {
        op->Flags |= foNoConfirmation;
    }
    if (ToRecycleBin) {
        op->Flags |= foAllowUndo;
        if (WantNukeWarning) {
            op->Flags |= foWantNukeWarning;
        }
    }
    for (const std::wstring& name : names) {
        op->SourceFiles.Add(name);
    }
    StopWorkers();
    bool result = false;
    {
        // Many items: the control is frozen while the shell works.
        std::unique_ptr<TUpdateBracket> freeze;
        if (names.size() >= 10) {
            freeze = std::make_unique<TUpdateBracket>(*this);
        }
        result = op->Execute();
        TUpdateBracket update(*this);
        for (int i = ItemCount() - 1; i >= 0; --i) {
            const TFileRec* item = GetItemData(i);
            if (item->Selected && !item->IsParentDir && !PathExists(ItemFullFileName(item))) {
                DeleteItem(i);
            }
        }
        if (SelCount() == 0 && ItemCount() > 0) {
            TFileRec* next = GetItemData(std::min(firstIndex, ItemCount() - 1));
            SetItemSelected(*next, true);
            SetItemFocused(next);
        }
    }
    StartWorkers();
    if (OnDirUpdated) {
        OnDirUpdated(this);
    }
    MakeFocusedVisible();
    return result;
}

bool TDirView::CopyToClipBoard(bool Copy)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < ItemCount(); ++i) {
        const TFileRec* item = GetItemData(i);
        if (item->Selected && !item->IsParentDir) {
            names.push_back(ItemFullFileName(item));
        }
    }
    if (names.empty()) {
        return false;
    }
    EmptyClipboard();
    if (!PutFilesOnClipboard(Handle(), names, !Copy)) {
        return false;
    }
    if (!Copy) {
        for (const std::wstring& name : names) {
            cutNames_.insert(UpperCase(name));
        }
        InvalidateRect(Handle(), nullptr, FALSE);
    }
    return true;
}

bool TDirView::IsCut(const TFileRec& Item) const
{
    return !cutNames_.empty() && cutNames_.count(UpperCase(ItemFullFileName(&Item))) != 0;
}

void TDirView::ClearCutMarks()
{
    if (cutNames_.empty()) {
        return;
    }
    cutNames_.clear();
    if (HandleAllocated()) {
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void TDirView::EmptyClipboard()
{
    if (!EmptyFileClipboard(HandleAllocated() ? Handle() : nullptr)) {
        TraceIgnoredFailure(L"emptying the clipboard", GetLastError());
    }
    ClearCutMarks();
    if (driveView_) {
        driveView_->ClearCutMark();
    }
}

bool TDirView::CanPasteFromClipBoard() const
{
    return Loaded() && !IsVirtual() && ClipboardHasFiles();
}

bool TDirView::PasteFromClipBoard(const std::wstring& Target)
{
    if (!CanPasteFromClipBoard()) {
        return false;
    }
    const auto files = ReadClipboardFiles(Handle());
    if (!files) {
        return false;
    }
    const std::wstring target = Target.empty() ? GetPath() : Target;
    const auto exists = [](const std::wstring& path) { return PathExists(path); };
    const auto isDirectory = [](const std::wstring& path) { return DirExists(path); };
    const TPastePlan plan =
        PlanPaste(files->Names, PasteEffect(files->PreferredEffect), target, ConfirmOverwrite, exists, isDirectory);
    if (!plan.Valid) {
        return false;
    }
    const bool watching = WatchForChanges();
    SetWatchForChanges(false);
    ScopeExit resume([&] { SetWatchForChanges(watching); });
    TFileOperator& op = FileOperator();
    op.Operation = plan.Operation;
    op.Flags = plan.Flags;
    for (const std::wstring& name : plan.Sources) {
        op.SourceFiles.Add(name);
    }
    if (plan.Dests.empty()) {
        op.DestFiles.Add(plan.Dest);
    }
    for (const std::wstring& name : plan.Dests) {
        op.DestFiles.Add(name);
    }
    const bool done = op.Execute();
    if (done && plan.EmptyClipboardAfter) {
        EmptyClipboard();
    }
    ReloadDirectory();
    // What came is selected, the first of it focused and shown.
    if (SameText(RemoveBackslash(target), RemoveBackslash(GetPath()))) {
        TUpdateBracket update(*this);
        SelectRange(-1, -1, false);
        TFileRec* first = nullptr;
        for (const std::wstring& source : plan.Dests.empty() ? plan.Sources : plan.Dests) {
            if (TFileRec* item = FindFileItem(ExtractFileName(RemoveBackslash(source)))) {
                SetItemSelected(*item, true);
                first = first ? first : item;
            }
        }
        if (first) {
            SetItemFocused(first);
        }
        // The control is told when the bracket closes.
        MarkChanged();
    }
    MakeFocusedVisible();
    return done;
}

bool TDirView::UndoCopyMove()
{
    const bool watching = WatchForChanges();
    SetWatchForChanges(false);
    ScopeExit resume([&] { SetWatchForChanges(watching); });
    const bool done = FileOperator().Undo();
    ReloadDirectory();
    return done;
}

void TDirView::EditItemName(TFileRec& Item)
{
    const int index = IndexOf(&Item);
    if (index >= 0 && HandleAllocated()) {
        SetFocus();
        editByCode_ = true;
        SendMessageW(Handle(), LVM_EDITLABELW, static_cast<WPARAM>(index), 0);
        editByCode_ = false;
    }
}

bool TDirView::EndLabelEdit(const NMLVDISPINFOW& Info)
{
    const std::optional<TNameEdit> edit = std::exchange(nameEdit_, std::nullopt);
    if (!edit)
        return false;
    // Not cancelled, and still on the item it opened for.
    if (Info.item.pszText != nullptr && Info.item.iItem == edit->Index && NameEditItem(Info.item.iItem, *edit))
        RenameItem(Info.item.iItem, Info.item.pszText, true);
    if (OnEditEnded)
        OnEditEnded(this);
    return false;  // the records, not the control, hold the name
}

TFileRec* TDirView::NameEditItem(int Index, const TNameEdit& Edit)
{
    TFileRec* item = GetItemData(Index);
    if (!item || item->FileName != Edit.FileName || !SameText(GetPath(), Edit.Folder)) {
        TraceIgnoredFailure(L"name edit: its item is no longer at its place", 0);
        return nullptr;
    }
    return item;
}

void TDirView::EndNameEdit()
{
    reEditText_.clear();
    if (!nameEdit_ || !HandleAllocated())
        return;
    const HWND editor = reinterpret_cast<HWND>(SendMessageW(handle_, LVM_GETEDITCONTROL, 0, 0));
    const TNameEdit edit = *nameEdit_;
    std::wstring typed;
    if (editor) {
        typed.resize(static_cast<size_t>(GetWindowTextLengthW(editor)) + 1);
        typed.resize(static_cast<size_t>(GetWindowTextW(editor, typed.data(), static_cast<int>(typed.size()))));
    }
    // The control's editor closes without a rename of its own (the edit is
    // forgotten first: some controls report a cancel with the typed text);
    // the name is applied here, while the item is still the one it was
    // typed for.
    nameEdit_.reset();
    SendMessageW(handle_, LVM_CANCELEDITLABEL, 0, 0);
    if (editor && NameEditItem(edit.Index, edit))
        RenameItem(edit.Index, typed, false);
    if (OnEditEnded)
        OnEditEnded(this);
}

void TDirView::RenameItem(int Index, const std::wstring& Typed, bool OfferRetry)
{
    TFileRec* item = GetItemData(Index);
    if (!item)
        return;
    const TRenameInput input =
        ReadRenameInput(Typed, item->FileName, item->IsDirectory, ShowExtension(), Texts().InvalidName);
    if (input.Kind == TRenameInput::Cancel) {
        return;
    }
    if (input.Kind == TRenameInput::Invalid) {
        // What the user typed, not a fault of the program: the application's
        // handler shows it without counting it. Handed over rather than
        // thrown, so that the edit's end is still reported.
        MessageBeep(MB_ICONHAND);
        Application->HandleException(std::make_exception_ptr(EInvalidFileName(input.Error)));
        return;
    }
    const std::wstring oldPath = ItemFullFileName(item);
    const std::wstring newPath = AddBackslash(GetPath()) + input.NewName;
    if (OnBeginRename) {
        OnBeginRename(this, *item, input.NewName);
    }
    const bool watching = WatchForChanges();
    SetWatchForChanges(false);
    ScopeExit resume([&] { SetWatchForChanges(watching); });
    TFileOperator& op = FileOperator();
    op.Operation = TFileOperation::foRename;
    op.Flags = foAllowUndo | foNoConfirmation;
    op.SourceFiles.Add(oldPath);
    op.DestFiles.Add(newPath);
    if (op.Execute()) {
        TSearchRec entry;
        if (fs_.GetEntry(newPath, entry)) {
            TUpdateBracket update(*this);
            DeleteItem(Index);
            TFileRec& renamed = AddItem(entry);
            SetItemSelected(renamed, true);
            SetItemFocused(&renamed);
            if (OnEndRename) {
                OnEndRename(this, renamed, input.NewName);
            }
        }
        if (OnDirUpdated) {
            OnDirUpdated(this);
        }
        MakeFocusedVisible();
        return;
    }
    if (OnEndRename) {
        OnEndRename(this, *item, item->DisplayName);
    }
    MessageBeep(MB_ICONHAND);
    const std::wstring text = (PathExists(newPath) ? Texts().AlreadyExists : Texts().RenameError) + input.NewName;
    const bool again =
        AskRenameAgain ? AskRenameAgain(text) : MessageDlg(text, TMsgDlgType::mtError, mbOK | mbAbort) == mrOk;
    // The editor reopens only on the same folder's items.
    if (again && OfferRetry) {
        reEditText_ = Typed;
        PostMessageW(Handle(), WM_DIRVIEW_REEDIT, 0, 0);
    }
}

}  // namespace qrv
