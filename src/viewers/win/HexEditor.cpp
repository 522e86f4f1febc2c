#include "viewers/win/HexEditor.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/MessageDialog.h"

#include <algorithm>
#include <cmath>

namespace qrv {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Rows that the scroll bar shows one to one; more are scaled.
constexpr int64_t kMaxScrollRows = 0x3FFFFFFF;

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
// is renamed to it (no copy); otherwise it is replaced.
bool SwapIn(const std::wstring& newName, const std::wstring& target, const std::wstring& backup)
{
    if (backup.empty())
        return MoveFileExW(newName.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
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

// The hourglass while a file operation runs, the previous cursor after it.
class THourGlass {
public:
    THourGlass() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~THourGlass() { SetCursor(previous_); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    HCURSOR previous_;
};

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
    workingName_ = ClaimTempFile(TempFolder(), L"", L".TMP");
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
        const std::wstring question = L"Die Datei \"" + FileNameOnly(fileName_) +
                                      L"\" wurde geändert. Sollen die Änderungen gespeichert werden?";
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
        TFileHandle probe(CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe)
            return false;
    }
    if (!CloseData()) {
        SetLastError(ERROR_CANCELLED);
        return false;
    }
    THourGlass hourGlass;
    std::unique_ptr<THexFile> file;
    DWORD error = 0;
    try {
        if (readOnlyView_) {
            // The document itself, read only where it is shown: no copy.
            file = std::make_unique<TWinHexFile>(name, false);
        } else {
            workingName_ = ClaimTempFile(TempFolder(), L"", L".TMP");
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
    THourGlass hourGlass;
    const DWORD oldAttributes = GetFileAttributesW(name.c_str());
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
    const DWORD attributes = GetFileAttributesW(fileName_.c_str());
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
    THourGlass hourGlass;
    std::vector<uint8_t> wanted(pattern, pattern + length);
    if (translate && translation_ != TTranslationType::ttAnsi)
        charset_.TranslateBuffer(translation_, wanted.data(), wanted.data(), wanted.size());
    return doc_.Find(wanted.data(), length, ignoreCase ? &charset_.AnsiLowerTable() : nullptr, lastOffset,
                     firstOffset);
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

// --- layout

THexGridColumns THexEditor::Columns() const
{
    THexGridColumns columns;
    columns.BytesPerLine = bytesPerLine_;
    columns.BytesPerColumn = bytesPerColumn_;
    columns.ShowMarkerColumn = showMarkerColumn_;
    columns.OffsetChars = offsetChars_;
    return columns;
}

void THexEditor::UpdateMetrics()
{
    TWindowDC screen(nullptr);
    TSelectObject font(screen.Get(), Font().Handle());
    SIZE w{}, yy{};
    GetTextExtentPoint32W(screen.Get(), L"w", 1, &w);
    GetTextExtentPoint32W(screen.Get(), L"yY", 2, &yy);
    charWidth_ = std::max<int>(1, w.cx);
    rowHeight_ = std::max<int>(3, yy.cy + 2);
    LOGFONTW marker{};
    marker.lfHeight = -MulDiv(static_cast<int>(std::lround(Font().Size() * 0.75)), GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
    lstrcpynW(marker.lfFaceName, L"Arial", LF_FACESIZE);
    markerFont_.Reset(CreateFontIndirectW(&marker));
}

void THexEditor::FontChanged()
{
    TCustomControl::FontChanged();
    UpdateMetrics();
    UpdateLayout();
    if (HandleAllocated() && GetFocus() == handle_)
        MakeCaret();
}

void THexEditor::BoundsChanged()
{
    TCustomControl::BoundsChanged();
    UpdateScrollBars();
}

void THexEditor::UpdateLayout()
{
    offsetChars_ = OffsetColumnChars(offsetDisplay_, (RowCount() - 1) * bytesPerLine_);
    caret_ = HexClampCaret(caret_, doc_.Size());
    if (selection_.Active() && selection_.End >= doc_.Size())
        selection_ = THexSelection{};
    doc_.NoSizeChange = noSizeChange_;
    topRow_ = std::clamp<int64_t>(topRow_, 0, std::max<int64_t>(0, RowCount() - FullyVisibleRows()));
    leftCol_ = std::clamp(leftCol_, 2, ColCount() - 1);
    UpdateScrollBars();
    Invalidate();
}

int THexEditor::VisibleRows() const
{
    RECT client{};
    if (HandleAllocated())
        GetClientRect(handle_, &client);
    return std::max(1, static_cast<int>((client.bottom + rowHeight_ - 1) / rowHeight_));
}

int THexEditor::FullyVisibleRows() const
{
    RECT client{};
    if (HandleAllocated())
        GetClientRect(handle_, &client);
    return std::max(1, static_cast<int>(client.bottom / rowHeight_));
}

RECT THexEditor::CellRect(int col, int64_t row) const
{
    const THexGridColumns columns = Columns();
    const int top = static_cast<int>(std::clamp<int64_t>((row - topRow_) * rowHeight_, -0x10000000, 0x10000000));
    RECT rect{0, top, 0, top + rowHeight_};
    const int fixed0 = columns.ColumnWidth(0, charWidth_);
    if (col == 0) {
        rect.right = fixed0;
        return rect;
    }
    int x = fixed0 + columns.ColumnWidth(1, charWidth_);
    if (col == 1) {
        rect.left = fixed0;
        rect.right = x;
        return rect;
    }
    if (col < leftCol_)
        return RECT{-1, top, -1, top + rowHeight_};  // scrolled out to the left
    for (int c = leftCol_; c < col; ++c)
        x += columns.ColumnWidth(c, charWidth_);
    rect.left = x;
    rect.right = x + columns.ColumnWidth(col, charWidth_);
    return rect;
}

bool THexEditor::HitCell(int x, int y, int& col, int64_t& row) const
{
    if (y < 0)
        return false;
    row = topRow_ + y / rowHeight_;
    const THexGridColumns columns = Columns();
    int right = columns.ColumnWidth(0, charWidth_);
    if (x < right) {
        col = 0;
        return true;
    }
    right += columns.ColumnWidth(1, charWidth_);
    if (x < right) {
        col = 1;
        return true;
    }
    for (int c = leftCol_; c < columns.ColCount(); ++c) {
        right += columns.ColumnWidth(c, charWidth_);
        if (x < right) {
            col = c;
            return true;
        }
    }
    col = columns.ColCount() - 1;
    return true;
}

THexCaret THexEditor::CaretOfCell(int col, int64_t row) const
{
    const THexGridColumns columns = Columns();
    THexCaret caret;
    if (col < 2) {
        caret = THexCaret{row * bytesPerLine_, THexPane::Hex, 0};
    } else if (columns.IsNibbleColumn(col)) {
        caret = THexCaret{row * bytesPerLine_ + columns.ByteInRow(col), THexPane::Hex, (col - 2) % 2};
    } else if (columns.IsCharColumn(col)) {
        caret = THexCaret{row * bytesPerLine_ + columns.ByteInRow(col), THexPane::Char, 0};
    } else {
        // The spacer: the column left of it.
        caret = THexCaret{row * bytesPerLine_ + bytesPerLine_ - 1, THexPane::Hex, 1};
    }
    return HexClampCaret(caret, doc_.Size());
}

int THexEditor::CaretCol() const
{
    if (doc_.Size() <= 0)
        return 2;
    const int inRow = static_cast<int>(caret_.Offset % bytesPerLine_);
    return caret_.Pane == THexPane::Hex ? 2 + 2 * inRow + caret_.Nibble : Columns().FirstCharColumn() + inRow;
}

int THexEditor::PartnerCol() const
{
    const int inRow = static_cast<int>(caret_.Offset % bytesPerLine_);
    return caret_.Pane == THexPane::Hex ? Columns().FirstCharColumn() + inRow : 2 + 2 * inRow;
}

void THexEditor::InvalidateRows(int64_t first, int64_t last)
{
    if (!HandleAllocated())
        return;
    RECT client;
    GetClientRect(handle_, &client);
    const int64_t from = std::max(first, topRow_);
    const int64_t to = std::min(last, topRow_ + VisibleRows());
    if (from > to)
        return;
    RECT rows{0, static_cast<int>((from - topRow_) * rowHeight_), client.right,
              static_cast<int>((to - topRow_ + 1) * rowHeight_)};
    InvalidateRect(handle_, &rows, FALSE);
}

// --- scrolling

void THexEditor::UpdateScrollBars()
{
    if (!HandleAllocated())
        return;
    const int64_t rows = RowCount();
    scrollScale_ = rows > kMaxScrollRows ? rows / kMaxScrollRows + 1 : 1;
    SCROLLINFO v{sizeof v, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    v.nMax = static_cast<int>((rows - 1) / scrollScale_);
    v.nPage = static_cast<UINT>(std::max<int64_t>(1, FullyVisibleRows() / scrollScale_));
    v.nPos = static_cast<int>(topRow_ / scrollScale_);
    SetScrollInfo(handle_, SB_VERT, &v, TRUE);

    RECT client;
    GetClientRect(handle_, &client);
    const THexGridColumns columns = Columns();
    int width = client.right - columns.ColumnWidth(0, charWidth_) - columns.ColumnWidth(1, charWidth_);
    int fit = 0;
    for (int c = leftCol_; c < columns.ColCount() && width >= columns.ColumnWidth(c, charWidth_); ++c, ++fit)
        width -= columns.ColumnWidth(c, charWidth_);
    SCROLLINFO h{sizeof h, SIF_RANGE | SIF_PAGE | SIF_POS, 2, columns.ColCount() - 1, static_cast<UINT>(std::max(1, fit)),
                 leftCol_, 0};
    SetScrollInfo(handle_, SB_HORZ, &h, TRUE);
}

void THexEditor::ScrollToRow(int64_t row)
{
    row = std::clamp<int64_t>(row, 0, std::max<int64_t>(0, RowCount() - FullyVisibleRows()));
    if (row == topRow_)
        return;
    topRow_ = row;
    UpdateScrollBars();
    Invalidate();
    PlaceCaret();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

void THexEditor::ScrollToCol(int col)
{
    col = std::clamp(col, 2, ColCount() - 1);
    if (col == leftCol_)
        return;
    leftCol_ = col;
    UpdateScrollBars();
    Invalidate();
    PlaceCaret();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

void THexEditor::EnsureCaretVisible()
{
    const int64_t row = caret_.Offset / bytesPerLine_;
    if (row < topRow_)
        ScrollToRow(row);
    else if (row >= topRow_ + FullyVisibleRows())
        ScrollToRow(row - FullyVisibleRows() + 1);
    if (!HandleAllocated())
        return;
    const int col = CaretCol();
    if (col < leftCol_) {
        ScrollToCol(col);
        return;
    }
    RECT client;
    GetClientRect(handle_, &client);
    int left = leftCol_;
    while (left < col) {
        const int saved = leftCol_;
        leftCol_ = left;
        const RECT cell = CellRect(col, topRow_);
        leftCol_ = saved;
        if (cell.right <= client.right)
            break;
        ++left;
    }
    ScrollToCol(left);
}

void THexEditor::VerticalScroll(WORD code)
{
    const int page = std::max(1, FullyVisibleRows() - 1);
    switch (code) {
    case SB_LINEUP: ScrollToRow(topRow_ - 1); break;
    case SB_LINEDOWN: ScrollToRow(topRow_ + 1); break;
    case SB_PAGEUP: ScrollToRow(topRow_ - page); break;
    case SB_PAGEDOWN: ScrollToRow(topRow_ + page); break;
    case SB_TOP: ScrollToRow(0); break;
    case SB_BOTTOM: ScrollToRow(RowCount()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit track position, scaled back to rows.
        SCROLLINFO info{sizeof info, SIF_TRACKPOS | SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        GetScrollInfo(handle_, SB_VERT, &info);
        const int lastPos = info.nMax - static_cast<int>(info.nPage) + 1;
        ScrollToRow(info.nTrackPos >= lastPos ? RowCount() : static_cast<int64_t>(info.nTrackPos) * scrollScale_);
        break;
    }
    default: break;
    }
}

void THexEditor::HorizontalScroll(WORD code)
{
    switch (code) {
    case SB_LINELEFT: ScrollToCol(leftCol_ - 1); break;
    case SB_LINERIGHT: ScrollToCol(leftCol_ + 1); break;
    case SB_PAGELEFT: ScrollToCol(leftCol_ - 8); break;
    case SB_PAGERIGHT: ScrollToCol(leftCol_ + 8); break;
    case SB_LEFT: ScrollToCol(2); break;
    case SB_RIGHT: ScrollToCol(ColCount() - 1); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(handle_, SB_HORZ, &info);
        ScrollToCol(info.nTrackPos);
        break;
    }
    default: break;
    }
}

// --- the caret

void THexEditor::MakeCaret()
{
    if (!HandleAllocated())
        return;
    const int width = charWidth_;
    const int height = std::max(1, rowHeight_ - 2);
    TWindowDC screen(handle_);
    TOwnDC memory(CreateCompatibleDC(screen.Get()));
    TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    {
        TSelectObject select(memory.Get(), bitmap.Get());
        RECT all{0, 0, width, height};
        FillRect(memory.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        RECT shape = all;
        if (caretStyle_ == TCaretStyle::csLeftLine)
            shape.right = std::min(width, 2);
        else if (caretStyle_ == TCaretStyle::csBottomLine)
            shape = RECT{0, std::max(0, rowHeight_ - 4), width, std::max(0, rowHeight_ - 2)};
        TGdiObject brush(CreateSolidBrush(TColors::Complement(colors_.CursorFrame())));
        FillRect(memory.Get(), &shape, static_cast<HBRUSH>(brush.Get()));
    }
    CreateCaret(handle_, static_cast<HBITMAP>(bitmap.Get()), 0, 0);
    caretBitmap_ = std::move(bitmap);
    SetCaretPos(-50, -50);
    ShowCaret(handle_);
    caretShown_ = true;
    PlaceCaret();
}

void THexEditor::PlaceCaret()
{
    if (!caretShown_ || !HandleAllocated())
        return;
    RECT client;
    GetClientRect(handle_, &client);
    const int64_t row = caret_.Offset / bytesPerLine_;
    const RECT cell = CellRect(CaretCol(), row);
    const bool visible = row >= topRow_ && row < topRow_ + VisibleRows() && cell.left >= 0 && cell.left < client.right;
    if (visible)
        SetCaretPos(cell.left, cell.top + 1);
    else
        SetCaretPos(-50, -50);
}

void THexEditor::MoveCaret(const THexCaret& to, bool extendSelection)
{
    const THexCaret old = caret_;
    const THexCaret target = HexClampCaret(to, doc_.Size());
    if (extendSelection && selecting_ && (ShiftDown() || mouseDown_)) {
        const THexSelection before = selection_;
        selection_ = HexExtendSelection(selection_, old.Offset, target.Offset, InsertMode());
        if (before.Active())
            InvalidateRows(before.Start / bytesPerLine_, before.End / bytesPerLine_);
        InvalidateRows(selection_.Start / bytesPerLine_, selection_.End / bytesPerLine_);
        StateChanged();
    } else {
        ClearSelection();
    }
    caret_ = target;
    InvalidateRows(old.Offset / bytesPerLine_, old.Offset / bytesPerLine_);
    InvalidateRows(caret_.Offset / bytesPerLine_, caret_.Offset / bytesPerLine_);
    EnsureCaretVisible();
    PlaceCaret();
    if (OnSelectCell) {
        bool canSelect = true;
        OnSelectCell(this, CaretCol(), caret_.Offset / bytesPerLine_, canSelect);
    }
}

bool THexEditor::ShiftDown() const
{
    return GetKeyState(VK_SHIFT) < 0;
}

THexEditPosition THexEditor::EditPosition() const
{
    THexEditPosition position;
    position.CaretOffset = caret_.Offset;
    position.CaretNibble = caret_.Nibble;
    position.CaretInCharPane = caret_.Pane == THexPane::Char;
    position.SelStart = selection_.Start;
    position.SelEnd = selection_.End;
    position.SelAnchor = selection_.Anchor;
    return position;
}

void THexEditor::AfterEdit()
{
    UpdateLayout();
    EnsureCaretVisible();
    PlaceCaret();
    StateChanged();
}

// --- keys, characters and the mouse

void THexEditor::KeyDown(WORD key)
{
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = ShiftDown();
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (!shift && !alt && !ctrl && !InsertMode() && key != VK_SHIFT)
        ClearSelection();
    const THexGeometry geometry{doc_.Size(), bytesPerLine_, topRow_, FullyVisibleRows()};
    auto move = [&](THexKey k, bool withCtrl) {
        const THexMove to = HexMoveCaret(k, withCtrl, caret_, geometry);
        ScrollToRow(to.TopRow);
        MoveCaret(to.Caret, true);
    };
    switch (key) {
    case VK_SHIFT:
        selecting_ = true;
        return;
    case VK_PRIOR: move(THexKey::PageUp, ctrl); return;
    case VK_NEXT: move(THexKey::PageDown, ctrl); return;
    case VK_HOME: move(THexKey::Home, ctrl); return;
    case VK_END: move(THexKey::End, ctrl); return;
    case VK_LEFT: move(THexKey::Left, false); return;
    case VK_RIGHT: move(THexKey::Right, ctrl); return;
    case VK_UP: move(THexKey::Up, false); return;
    case VK_DOWN: move(THexKey::Down, false); return;
    case VK_TAB:
        if (wantTabs_ && !ctrl)
            move(THexKey::Tab, false);
        return;
    case VK_INSERT:
        if (ctrl || shift || alt)
            return;
        insertToggle_ = !insertToggle_;
        doc_.ClearChangeMarks();
        Invalidate();
        if (autoCaretMode_)
            SetCaretStyle(InsertMode() ? TCaretStyle::csLeftLine : TCaretStyle::csFull);
        StateChanged();
        return;
    case VK_BACK:
        if (readOnlyView_ || !InsertMode()) {
            move(THexKey::Left, false);
        } else if (selection_.Active()) {
            DeleteSelection();
        } else if (caret_.Offset > 0 && doc_.Size() > 0) {
            const int64_t before = caret_.Offset - 1;
            if (doc_.DeleteRange(before, before + 1, EditPosition())) {
                caret_ = THexCaret{before, caret_.Pane, 0};
                AfterEdit();
            }
        }
        return;
    case VK_DELETE:
        if (readOnlyView_)
            return;
        if (ctrl || (selection_.Active() && InsertMode())) {
            DeleteSelection();
        } else if (InsertMode() && doc_.Size() > 0) {
            if (doc_.DeleteRange(caret_.Offset, caret_.Offset + 1, EditPosition())) {
                ClearSelection();
                AfterEdit();
            }
        }
        return;
    default:
        break;
    }
    if (ctrl && key == 'T') {
        move(THexKey::Tab, false);
    } else if (ctrl && key >= '0' && key <= '9') {
        const int index = key - '0';
        if (shift) {
            SetMarker(index, caret_.Offset / bytesPerLine_);
        } else if (markers_[index] >= 0) {
            const int64_t lastRow = RowCount() - 1;
            if (markers_[index] > lastRow)
                markers_[index] = std::min<int64_t>(1, lastRow);
            ClearSelection();
            MoveCaret(THexCaret{markers_[index] * bytesPerLine_, THexPane::Hex, 0}, false);
            Invalidate();
        }
    }
}

void THexEditor::DeleteSelection()
{
    if (!selection_.Active())
        return;
    if (doc_.DeleteRange(selection_.Start, selection_.End + 1, EditPosition())) {
        ClearSelection();
        AfterEdit();
    }
}

void THexEditor::KeyPress(wchar_t c)
{
    if (OnKeyPress)
        OnKeyPress(this, c);
    const bool altOem = lastKeyUpWasAlt_;
    if (!c || readOnlyView_ || c == L'\b' || c == L'\t' || c == L'\r' || c == L'\n' || c == 27)
        return;
    const int64_t size = doc_.Size();
    if (size <= 0 && !InsertMode())
        return;
    if (caret_.Pane == THexPane::Char) {
        const std::optional<uint8_t> byte = charset_.Type(static_cast<char16_t>(c), translation_, altOem);
        if (!byte)
            return;
        if (!InsertMode())
            ClearSelection();
        ApplyTyped(HexTypeChar(*byte, caret_, selection_.Active(), InsertMode(), size));
    } else {
        const int digit = HexDigitValue(static_cast<char32_t>(c));
        if (digit < 0)
            return;
        uint8_t current = 0;
        if (size > 0 && !doc_.ReadByte(caret_.Offset, current))
            return;
        ApplyTyped(HexTypeNibble(digit, caret_, current, selection_.Active(), InsertMode(), swapNibbles_, size));
    }
}

void THexEditor::ApplyTyped(const THexTyped& typed)
{
    const THexEditPosition position = EditPosition();
    const int64_t oldSize = doc_.Size();
    bool done = false;
    switch (typed.Action) {
    case THexEditAction::None:
        return;
    case THexEditAction::Change:
        done = doc_.ChangeByte(typed.Offset, typed.Value, !InsertMode(), position);
        InvalidateRows(typed.Offset / bytesPerLine_, typed.Offset / bytesPerLine_);
        break;
    case THexEditAction::Insert:
        done = doc_.InsertBytes(typed.Offset, &typed.Value, 1, position);
        if (done)
            SelectRange(typed.Offset, 1);
        break;
    case THexEditAction::ReplaceSelection: {
        int64_t start = selection_.Start;
        size_t count = 1;
        const bool caretOnStart = caret_.Offset == start;
        done = doc_.ReplaceRange(start, selection_.Count(), &typed.Value, count, position);
        if (done) {
            selection_ = THexSelection{};
            if (caretOnStart)
                caret_.Offset = start;
            if (count)
                SelectRange(start, static_cast<int64_t>(count));
        }
        break;
    }
    case THexEditAction::Append:
        done = doc_.AppendBytes(&typed.Value, 1, position);
        if (done) {
            caret_ = THexCaret{oldSize, caret_.Pane, 0};
            SelectRange(oldSize, 1);
        }
        break;
    }
    if (!done) {
        StateChanged();
        return;
    }
    if (typed.AppendZero) {
        const uint8_t zero = 0;
        const int64_t end = doc_.Size();
        if (doc_.AppendBytes(&zero, 1, EditPosition())) {
            caret_ = THexCaret{end, caret_.Pane, 0};
            SelectRange(end, 1);
        }
    }
    AfterEdit();
    if (typed.MoveRight)
        MoveCaret(HexCaretRight(caret_, doc_.Size()), false);
}

void THexEditor::MouseDown(int x, int y, bool doubleClick)
{
    if (IsWindowVisible(handle_) && GetFocus() != handle_)
        SetFocus();
    int col = 0;
    int64_t row = 0;
    if (!HitCell(x, y, col, row))
        return;
    ClearSelection();
    selecting_ = !doubleClick;
    mouseDown_ = true;
    SetCapture(handle_);
    MoveCaret(CaretOfCell(col, std::min(row, RowCount() - 1)), false);
}

void THexEditor::MouseMove(int x, int y)
{
    if (!mouseDown_)
        return;
    int col = 0;
    int64_t row = 0;
    if (y < 0)
        row = std::max<int64_t>(0, topRow_ - 1), col = CaretCol();
    else if (!HitCell(x, y, col, row))
        return;
    const THexCaret target = CaretOfCell(col, std::min(row, RowCount() - 1));
    if (target != caret_)
        MoveCaret(target, true);
}

// --- window messages

void THexEditor::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (wantTabs_ ? DLGC_WANTTAB : 0);
        return;
    case WM_ERASEBKGND:
        message.Result = 1;  // Paint fills every pixel
        return;
    case WM_KEYDOWN:
        lastKeyUpWasAlt_ = false;
        KeyDown(static_cast<WORD>(message.WParam));
        message.Result = 0;
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        lastKeyUpWasAlt_ = message.WParam == VK_MENU;
        if (message.WParam == VK_SHIFT)
            selecting_ = mouseDown_;
        break;
    case WM_CHAR:
        KeyPress(static_cast<wchar_t>(message.WParam));
        lastKeyUpWasAlt_ = false;
        message.Result = 0;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        MouseDown(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)),
                  message.Msg == WM_LBUTTONDBLCLK);
        message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        MouseMove(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)));
        message.Result = 0;
        return;
    case WM_LBUTTONUP:
        if (mouseDown_) {
            mouseDown_ = false;
            ReleaseCapture();
            selecting_ = ShiftDown();
        }
        message.Result = 0;
        return;
    case WM_CAPTURECHANGED:
        mouseDown_ = false;
        break;
    case WM_VSCROLL:
        VerticalScroll(LOWORD(message.WParam));
        message.Result = 0;
        return;
    case WM_HSCROLL:
        HorizontalScroll(LOWORD(message.WParam));
        message.Result = 0;
        return;
    case WM_MOUSEWHEEL:
        ScrollToRow(topRow_ - 3 * static_cast<short>(HIWORD(message.WParam)) / WHEEL_DELTA);
        message.Result = 0;
        return;
    case WM_SIZE:
        TCustomControl::WndProc(message);
        UpdateScrollBars();
        return;
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
            message.Result = TRUE;
            return;
        }
        break;
    case WM_SETFOCUS:
        TCustomControl::WndProc(message);
        MakeCaret();
        Invalidate();
        return;
    case WM_KILLFOCUS:
        TCustomControl::WndProc(message);
        if (caretShown_) {
            HideCaret(handle_);
            DestroyCaret();
            caretShown_ = false;
        }
        mouseDown_ = false;
        selecting_ = false;
        Invalidate();
        return;
    case WM_STATECHANGED:
        if (OnStateChanged)
            OnStateChanged(this);
        message.Result = 0;
        return;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

// --- painting

std::wstring THexEditor::CellText(int col, int64_t row)
{
    const THexGridColumns columns = Columns();
    if (doc_.Size() <= 0)
        return row == 0 && col == 0 ? EmptyOffsetText(offsetDisplay_, offsetSeparator_) : std::wstring();
    if (row < 0 || row >= RowCount())
        return L"";
    if (col == 0)
        return OffsetText(offsetDisplay_, row * bytesPerLine_, offsetChars_, offsetSeparator_);
    if (col == 1) {
        for (int i = 0; i < 10; ++i)
            if (markers_[i] == row)
                return std::wstring(1, static_cast<wchar_t>(L'0' + i));
        return L"";
    }
    if (!columns.IsNibbleColumn(col) && !columns.IsCharColumn(col))
        return L"";
    const int64_t offset = row * bytesPerLine_ + columns.ByteInRow(col);
    if (offset >= doc_.Size())
        return L"";
    uint8_t byte = 0;
    if (!doc_.ReadByte(offset, byte))
        return L"?";
    if (columns.IsNibbleColumn(col)) {
        const int nibble = THexGridColumns::ShowsHighNibble(col, swapNibbles_) ? byte >> 4 : byte & 0x0F;
        return std::wstring(1, L"0123456789ABCDEF"[nibble]);
    }
    const char16_t shown = charset_.Display(byte, translation_, maskWhiteSpaces_, static_cast<char16_t>(maskChar_));
    return shown ? std::wstring(1, static_cast<wchar_t>(shown)) : std::wstring();
}

void THexEditor::PaintCell(HDC dc, const RECT& rect, int col, int64_t row, const uint8_t* rowBytes, size_t available)
{
    const THexGridColumns columns = Columns();
    COLORREF background = ColorToRGB(colors_.Background());
    COLORREF text = ColorToRGB(Font().Color());
    std::wstring shown;
    HFONT font = nullptr;
    if (doc_.Size() <= 0) {
        if (row == 0 && col == 0)
            shown = EmptyOffsetText(offsetDisplay_, offsetSeparator_);
        text = ColorToRGB(colors_.Offset());
    } else if (col == 0) {
        shown = OffsetText(offsetDisplay_, row * bytesPerLine_, offsetChars_, offsetSeparator_);
        text = ColorToRGB(colors_.Offset());
    } else if (col == 1) {
        shown = CellText(col, row);
        if (!shown.empty()) {
            background = ColorToRGB(colors_.PositionBackground());
            text = ColorToRGB(colors_.PositionText());
            font = static_cast<HFONT>(markerFont_.Get());
        }
    } else if (columns.IsNibbleColumn(col) || columns.IsCharColumn(col)) {
        const int inRow = columns.ByteInRow(col);
        const int64_t offset = row * bytesPerLine_ + inRow;
        if (offset < doc_.Size()) {
            const bool nibblePane = columns.IsNibbleColumn(col);
            if (!rowBytes || static_cast<size_t>(inRow) >= available) {
                shown = L"?";
            } else {
                const uint8_t byte = rowBytes[inRow];
                if (nibblePane) {
                    const int nibble = THexGridColumns::ShowsHighNibble(col, swapNibbles_) ? byte >> 4 : byte & 0x0F;
                    shown.assign(1, L"0123456789ABCDEF"[nibble]);
                } else {
                    const char16_t c =
                        charset_.Display(byte, translation_, maskWhiteSpaces_, static_cast<char16_t>(maskChar_));
                    if (c)
                        shown.assign(1, static_cast<wchar_t>(c));
                }
            }
            const bool changed = !InsertMode() && doc_.IsChanged(offset);
            const TColor groupColor = columns.NibbleGroup(col) % 2 == 0 ? colors_.OddColumn() : colors_.EvenColumn();
            if (changed) {
                background = ColorToRGB(colors_.ChangedBackground());
                text = ColorToRGB(colors_.ChangedText());
            } else {
                TColor textColor = nibblePane ? groupColor : Font().Color();
                if (OnGetTextColor)
                    OnGetTextColor(this, col, row, offset, textColor);
                text = ColorToRGB(textColor);
            }
            if (selection_.Contains(offset)) {
                std::swap(background, text);
                if (!changed && nibblePane)
                    text = TColors::Complement(groupColor);
            }
        }
    }
    std::unique_ptr<TSelectObject> markerFont;
    if (font)
        markerFont = std::make_unique<TSelectObject>(dc, font);
    SetBkColor(dc, background);
    SetTextColor(dc, text);
    ExtTextOutW(dc, rect.left, rect.top + 1, ETO_OPAQUE | ETO_CLIPPED, &rect, shown.c_str(),
                static_cast<UINT>(shown.size()), nullptr);
}

void THexEditor::Paint(HDC dc)
{
    RECT client;
    GetClientRect(handle_, &client);
    TSelectObject font(dc, Font().Handle());
    SetBkMode(dc, OPAQUE);
    const THexGridColumns columns = Columns();
    const int64_t rows = doc_.Size() > 0 ? RowCount() : 1;
    int bottom = 0;
    for (int i = 0; i < VisibleRows(); ++i) {
        const int64_t row = topRow_ + i;
        if (row >= rows)
            break;
        size_t available = 0;
        const uint8_t* bytes = doc_.Size() > 0 ? doc_.CachedBytes(row * bytesPerLine_, bytesPerLine_, available) : nullptr;
        int right = 0;
        for (int col = 0; col < columns.ColCount(); ++col) {
            if (col >= 2 && col < leftCol_)
                continue;
            const RECT cell = CellRect(col, row);
            if (cell.left >= client.right)
                break;
            if (cell.right > cell.left)
                PaintCell(dc, cell, col, row, bytes, available);
            right = cell.right;
        }
        // The rest of the row right of the last column.
        RECT rest{right, static_cast<int>((row - topRow_) * rowHeight_), client.right,
                  static_cast<int>((row - topRow_ + 1) * rowHeight_)};
        TGdiObject brush(CreateSolidBrush(ColorToRGB(colors_.Background())));
        if (rest.right > rest.left)
            FillRect(dc, &rest, static_cast<HBRUSH>(brush.Get()));
        bottom = rest.bottom;
    }
    RECT below{0, bottom, client.right, client.bottom};
    if (below.bottom > below.top) {
        TGdiObject brush(CreateSolidBrush(ColorToRGB(colors_.Background())));
        FillRect(dc, &below, static_cast<HBRUSH>(brush.Get()));
    }
    // The caret's partner cell: the same byte in the other pane.
    const int64_t caretRow = caret_.Offset / bytesPerLine_;
    if (doc_.Size() > 0 && GetFocus() == handle_ && caretRow >= topRow_ && caretRow < topRow_ + VisibleRows()) {
        RECT partner = CellRect(PartnerCol(), caretRow);
        if (partner.left >= 0) {
            partner.right = partner.left + charWidth_;
            if (focusFrame_) {
                DrawFocusRect(dc, &partner);
            } else {
                TGdiObject pen(CreatePen(PS_SOLID, 1, ColorToRGB(colors_.CursorFrame())));
                TSelectObject usePen(dc, pen.Get());
                TSelectObject noBrush(dc, GetStockObject(NULL_BRUSH));
                Rectangle(dc, partner.left, partner.top, partner.right, partner.bottom);
            }
        }
    }
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
