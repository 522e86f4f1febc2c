// THexEditor's document: opening, closing and saving, the working copy, the
// offsets, the selection, the search and the display settings. The grid is
// in HexEditorGrid.cpp, the input in HexEditorInput.cpp.

#include "viewers/win/HexEditor.h"

#include "common/win/FileQueries.h"
#include "common/win/TempFiles.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/WaitCursor.h"

#include <algorithm>

namespace qrv {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
std::wstring FileNameOnly(const std::wstring& path)
{
    const size_t pos = path.find_last_of(L"\\/:");
    return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t pos = path.find_last_of(L"\\/:");
    return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

// Puts the new file in the target's place. With a backup name the old file
// keeps its bytes under it; otherwise it is replaced.
bool SwapIn(const std::wstring& newName, const std::wstring& target, const std::wstring& backup)
{
    const auto replace = [&] {
        return MoveFileExW(newName.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    };
    if (backup.empty())
        return replace();
    // The backup is a second name of the old file (no copy: ReplaceFileW
    // copies the old bytes to the backup under Wine, as long again as the
    // save), and the new file takes the target's name; where the drive has
    // no such links, ReplaceFileW makes the backup.
    if (!DeleteFileW(backup.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        TraceIgnoredFailure(L"deleting the old backup", GetLastError());
    if (CreateHardLinkW(backup.c_str(), target.c_str(), nullptr)) {
        if (replace())
            return true;
        const DWORD error = GetLastError();
        if (!DeleteFileW(backup.c_str()))
            TraceIgnoredFailure(L"deleting the backup of a file left as it was", GetLastError());
        SetLastError(error);
        return false;
    }
    if (ReplaceFileW(target.c_str(), newName.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr))
        return true;
    const DWORD error = GetLastError();
    // The old file went to the backup name but the new one did not follow:
    // the old one goes back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && !MoveFileExW(backup.c_str(), target.c_str(), 0))
        TraceIgnoredFailure(L"moving the old file back from its backup name", GetLastError());
    SetLastError(error);
    return false;
}

}  // namespace

// --- colours

void TColors::Set(TColor& field, TColor c)
{
    field = c;
    owner_.Invalidate();
}

void TColors::SetBackground(TColor c)
{
    background_ = c;
    owner_.SetColor(c);
    owner_.Invalidate();
}

COLORREF TColors::Complement(TColor c)
{
    const COLORREF rgb = ColorToRGB(c);
    return RGB(255 - GetRValue(rgb), 255 - GetGValue(rgb), 255 - GetBValue(rgb));
}

// --- creation and destruction

THexEditor::THexEditor(TComponent* owner) : TCustomControl(owner)
{
    markers_.fill(-1);
    doc_.CreateWorkingFile = [this] { return MakeWorkingFile(); };
    SetBounds(0, 0, 300, 200);
    SetColor(clWindow);
    Font().SetName(L"Courier");
    Font().SetSize(12);
    UpdateMetrics();
}

THexEditor::~THexEditor()
{
    try {
        if (!CloseData(true))
            TraceIgnoredFailure(L"the hex view's changes were kept in its working copy");
    } catch (...) {
        TraceIgnoredException(L"closing the hex view");
    }
}

void THexEditor::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = L"THexEditor";
    params.Style |= WS_TABSTOP | WS_HSCROLL | WS_VSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    params.ClassStyle = CS_DBLCLKS;
}

void THexEditor::CreateWindowHandle(const TCreateParams& params)
{
    TCustomControl::CreateWindowHandle(params);
    // The first window starts the untitled document as an empty one.
    if (handle_ && fileName_ == UntitledName)
        CreateEmpty(L"");
    UpdateScrollBars();
}

void THexEditor::Invalidate()
{
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

void THexEditor::StateChanged()
{
    // Posted, so that the event comes after the input being handled.
    if (HandleAllocated())
        PostMessageW(handle_, WM_STATECHANGED, 7, 7);
    else if (OnStateChanged)
        OnStateChanged(this);
}

// --- the document

std::unique_ptr<THexFile> THexEditor::MakeWorkingFile()
{
    workingName_ = ClaimTempFile(TemporaryFolder(), L"", L".TMP");
    return std::make_unique<TWinHexFile>(workingName_, true);
}

void THexEditor::DiscardWorkingFile()
{
    if (workingName_.empty())
        return;
    if (!DeleteFileW(workingName_.c_str()))
        TraceIgnoredFailure(L"deleting the hex view's working copy", GetLastError());
    workingName_.clear();
}

bool THexEditor::CloseData(bool destroying)
{
    if (doc_.HasFile() && !readOnlyView_ && doc_.Modified()) {
        const std::wstring question =
            L"Die Datei \"" + FileNameOnly(fileName_) + L"\" wurde geändert. Sollen die Änderungen gespeichert werden?";
        const bool save = OnQuerySave ? OnQuerySave(question)
                                      : MessageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
        if (save) {
            bool saved = false;
            DWORD error = 0;
            try {
                saved = SaveToFile(fileName_);
                error = GetLastError();
            } catch (const Exception&) {
                error = GetLastError();
                TraceIgnoredException(L"saving the hex view before closing");
            }
            if (!saved) {
                // The changes live only in the working copy: keep it, and the
                // document with it unless the editor is going away.
                std::wstring message = L"Die Datei \"" + FileNameOnly(fileName_) +
                                       L"\" konnte nicht gespeichert werden. " + SysErrorMessage(error);
                if (destroying) {
                    message += L" Die Änderungen bleiben in der Arbeitskopie \"" + workingName_ + L"\" erhalten.";
                    doc_.Close();
                    workingName_.clear();
                }
                if (OnSaveError)
                    OnSaveError(message);
                else
                    MessageDlg(message, TMsgDlgType::mtError, mbOK);
                return false;
            }
        }
    }
    doc_.Close();
    DiscardWorkingFile();
    return true;
}

void THexEditor::ResetAfterLoad()
{
    caret_ = THexCaret{};
    selection_ = THexSelection{};
    selecting_ = false;
    topRow_ = 0;
    leftCol_ = 2;
    UpdateLayout();
    PlaceCaret();
    StateChanged();
}

void THexEditor::CreateEmpty(const std::wstring& name)
{
    if (!CloseData())
        return;
    fileName_ = name;
    ResetAfterLoad();
}

bool THexEditor::LoadFromFile(const std::wstring& name)
{
    if (name.empty()) {
        CreateEmpty(L"");
        return true;
    }
    {
        // The opening check leaves the system's error for the caller.
        TFileHandle probe(
            CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe)
            return false;
    }
    if (!CloseData()) {
        SetLastError(ERROR_CANCELLED);
        return false;
    }
    const TWaitCursor hourGlass;
    std::unique_ptr<THexFile> file;
    DWORD error = 0;
    try {
        if (readOnlyView_) {
            // The document itself, read only where it is shown: no copy.
            file = std::make_unique<TWinHexFile>(name, false);
        } else {
            workingName_ = ClaimTempFile(TemporaryFolder(), L"", L".TMP");
            if (!CopyFileW(name.c_str(), workingName_.c_str(), FALSE))
                error = GetLastError();
            else if (!SetFileAttributesW(workingName_.c_str(), FILE_ATTRIBUTE_NORMAL))
                error = GetLastError();
            else
                file = std::make_unique<TWinHexFile>(workingName_, true);
        }
    } catch (const EFileStreamError&) {
        error = GetLastError();
    }
    if (file) {
        doc_.Open(std::move(file));
        fileName_ = name;
    } else {
        // A partial copy (a full disk) goes again.
        DiscardWorkingFile();
        doc_.Close();
        fileName_.clear();
    }
    doc_.NoSizeChange = noSizeChange_;
    ResetAfterLoad();
    if (!doc_.HasFile())
        SetLastError(error ? error : ERROR_OPEN_FAILED);
    return doc_.HasFile();
}

bool THexEditor::SaveToFile(const std::wstring& name)
{
    if (readOnlyView_)
        throw EInvalidOperation(L"Der Editor befindet sich im Anzeigemodus. Das Speichern ist daher nicht möglich.");
    const TWaitCursor hourGlass;
    const DWORD oldAttributes = FileAttributes(name);
    const bool exists = oldAttributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        // A write-protected target, or one another program holds open, fails
        // here before anything is written. The attribute is checked as well,
        // since a process with every right (Wine run by root) could open it.
        if (oldAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        TFileHandle probe(CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe)
            return false;
    }
    const bool makeBackup = exists && HexSaveMakesBackup(createBackup_, doc_.Modified(), name, fileName_);
    // The new content goes to a file beside the target, which is then swapped
    // in: a failure on the way leaves the target as it was.
    std::wstring newName;
    try {
        newName = ClaimTempFile(FolderOf(name), L"~QRV", L".TMP");
    } catch (const EFileStreamError&) {
        return false;
    }
    DWORD error = 0;
    bool copied = true;
    if (auto* working = dynamic_cast<TWinHexFile*>(doc_.File())) {
        working->Suspend();
        copied = CopyFileW(working->Name().c_str(), newName.c_str(), FALSE) != FALSE;
        error = GetLastError();
        working->Resume();
    }
    if (copied && !SwapIn(newName, name, makeBackup ? HexBackupName(name, backupExtension_) : std::wstring())) {
        copied = false;
        error = GetLastError();
    }
    if (!copied) {
        if (!DeleteFileW(newName.c_str()))
            TraceIgnoredFailure(L"deleting the unsaved copy beside the target", GetLastError());
        SetLastError(error);
        return false;
    }
    if (exists && !SetFileAttributesW(name.c_str(), oldAttributes))
        TraceIgnoredFailure(L"restoring the saved file's attributes", GetLastError());
    doc_.ClearChangeMarks();
    doc_.SetModified(false);
    doc_.ResetJournal();
    fileName_ = name;
    StateChanged();
    Invalidate();
    SetLastError(ERROR_SUCCESS);
    return true;
}

void THexEditor::SetReadOnlyView(bool readOnlyView)
{
    if (readOnlyView == readOnlyView_)
        return;
    if (!doc_.HasFile()) {
        readOnlyView_ = readOnlyView;
        return;
    }
    const DWORD attributes = FileAttributes(fileName_);
    if (!readOnlyView && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw EInvalidOperation(L"Die Datei \"" + FileNameOnly(fileName_) + L"\" ist schreibgeschützt.");
    // The document is opened again in the new mode, at the same place.
    const std::wstring name = fileName_;
    const THexCaret caret = caret_;
    const int64_t top = topRow_;
    if (!CloseData())
        return;
    fileName_.clear();
    readOnlyView_ = readOnlyView;
    if (LoadFromFile(name)) {
        caret_ = HexClampCaret(caret, doc_.Size());
        ScrollToRow(top);
        EnsureCaretVisible();
        PlaceCaret();
        Invalidate();
    }
}

// --- offsets and selection

int64_t THexEditor::GetCaretOffset() const
{
    return std::clamp<int64_t>(caret_.Offset, 0, std::max<int64_t>(0, doc_.Size() - 1));
}

int64_t THexEditor::GetSelStart() const
{
    return selection_.Active() ? selection_.Anchor : GetCaretOffset();
}

int64_t THexEditor::GetSelEnd() const
{
    if (!selection_.Active())
        return GetCaretOffset();
    return selection_.Anchor == selection_.Start ? selection_.End : selection_.Start;
}

void THexEditor::CheckOffset(int64_t offset, const wchar_t* what) const
{
    if (offset < 0 || offset >= doc_.Size())
        throw ERangeError(what);
}

void THexEditor::SetSelStart(int64_t offset)
{
    CheckOffset(offset, L"Invalid SelStart");
    ClearSelection();
    MoveCaret(THexCaret{offset, caret_.Pane, 0}, false);
}

void THexEditor::SetSelEnd(int64_t offset)
{
    CheckOffset(offset, L"Invalid SelEnd");
    const int64_t caret = GetCaretOffset();
    selection_ = THexSelection{std::min(caret, offset), std::max(caret, offset), caret};
    Invalidate();
    StateChanged();
}

void THexEditor::ClearSelection()
{
    if (!selection_.Active())
        return;
    InvalidateRows(selection_.Start / bytesPerLine_, selection_.End / bytesPerLine_);
    selection_ = THexSelection{};
    StateChanged();
}

void THexEditor::SelectRange(int64_t from, int64_t count)
{
    selection_ = THexSelection{from, from + count - 1, from};
    InvalidateRows(from / bytesPerLine_, (from + count - 1) / bytesPerLine_);
}

std::vector<uint8_t> THexEditor::BufferFromFile(int64_t offset, int64_t& count)
{
    return doc_.BufferFromFile(offset, count);
}

int64_t THexEditor::Find(const uint8_t* pattern, int64_t length, bool translate, bool ignoreCase, int64_t lastOffset,
                         int64_t firstOffset)
{
    if (length <= 0 || !pattern)
        return -1;
    const TWaitCursor hourGlass;
    std::vector<uint8_t> wanted(pattern, pattern + length);
    if (translate && translation_ != TTranslationType::ttAnsi)
        charset_.TranslateBuffer(translation_, wanted.data(), wanted.data(), wanted.size());
    return doc_.Find(wanted.data(), length, ignoreCase ? &charset_.AnsiLowerTable() : nullptr, lastOffset, firstOffset);
}

std::vector<uint8_t> THexEditor::HexStringToBytes(const std::wstring& text) const
{
    const std::u16string wide(text.begin(), text.end());
    return qrv::HexStringToBytes(wide, swapNibbles_);
}

void THexEditor::SetMarker(int index, int64_t row)
{
    if (index < 0 || index > 9)
        throw ERangeError(L"SetMarker : Invalid marker index");
    if (markers_[index] == row)
        return;
    markers_[index] = row;
    Invalidate();
}

int64_t THexEditor::GetMarker(int index) const
{
    if (index < 0 || index > 9)
        throw ERangeError(L"GetMarker : Invalid marker index");
    return markers_[index] < 0 ? GetCaretOffset() / bytesPerLine_ : markers_[index];
}

// --- display settings

void THexEditor::SetTranslation(TTranslationType translation)
{
    if (translation_ == translation)
        return;
    translation_ = translation;
    Invalidate();
}

void THexEditor::SetOffsetDisplay(TOffsetDisplayStyle style)
{
    offsetDisplay_ = style;
    UpdateLayout();
    PlaceCaret();
}

void THexEditor::SetBytesPerLine(int bytes)
{
    if (bytes < 1 || bytes > 256)
        throw ERangeError(L"Invalid BytesPerLine argument");
    if (bytes == bytesPerLine_)
        return;
    // The caret stays on its byte, in its pane; the selection stays.
    bytesPerLine_ = bytes;
    leftCol_ = 2;
    UpdateLayout();
    EnsureCaretVisible();
    PlaceCaret();
}

void THexEditor::SetBytesPerColumn(int bytes)
{
    if (bytes == bytesPerColumn_)
        return;
    bytesPerColumn_ = std::max(1, bytes);
    UpdateLayout();
    PlaceCaret();
}

void THexEditor::SetSwapNibbles(bool swap)
{
    if (swapNibbles_ == swap)
        return;
    swapNibbles_ = swap;
    Invalidate();
}

void THexEditor::SetNoSizeChange(bool noSizeChange)
{
    noSizeChange_ = noSizeChange;
    doc_.NoSizeChange = noSizeChange;
    if (noSizeChange)
        allowInsertMode_ = false;
    StateChanged();
}

void THexEditor::SetAllowInsertMode(bool allow)
{
    allowInsertMode_ = allow && !noSizeChange_;
    StateChanged();
}

void THexEditor::SetShowMarkerColumn(bool show)
{
    if (showMarkerColumn_ == show)
        return;
    showMarkerColumn_ = show;
    UpdateLayout();
    PlaceCaret();
}

void THexEditor::SetMaskWhiteSpaces(bool mask)
{
    if (maskWhiteSpaces_ == mask)
        return;
    maskWhiteSpaces_ = mask;
    Invalidate();
}

void THexEditor::SetMaskChar(wchar_t c)
{
    if (maskChar_ == c)
        return;
    maskChar_ = c;
    Invalidate();
}

void THexEditor::SetOffsetSeparator(wchar_t c)
{
    if (offsetSeparator_ == c)
        return;
    offsetSeparator_ = c;
    Invalidate();
}

void THexEditor::SetFocusFrame(bool frame)
{
    if (focusFrame_ == frame)
        return;
    focusFrame_ = frame;
    Invalidate();
}

void THexEditor::SetCaretStyle(TCaretStyle style)
{
    caretStyle_ = style;
    if (HandleAllocated() && GetFocus() == handle_)
        MakeCaret();
    Invalidate();
}

void THexEditor::SetAutoCaretMode(bool autoMode)
{
    autoCaretMode_ = autoMode;
    if (autoMode)
        SetCaretStyle(InsertMode() ? TCaretStyle::csLeftLine : TCaretStyle::csFull);
}

}  // namespace qrv
