#include "viewers/win/HexEditor.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

const wchar_t* const kNotYetAvailable = L"Diese Funktion ist noch nicht verfügbar.";

std::wstring FileNameOnly(const std::wstring& path)
{
    const size_t pos = path.find_last_of(L"\\/:");
    return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

}  // namespace

THexEditor::THexEditor(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 300, 200);
    SetColor(clWindow);
    Font().SetName(L"Courier");
    Font().SetSize(12);
}

THexEditor::~THexEditor() = default;

void THexEditor::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"THexEditor";
    params.Style |= WS_TABSTOP | WS_HSCROLL | WS_VSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void THexEditor::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    // The first window starts the untitled document as an empty one.
    if (handle_ && fileName_ == UntitledName)
        CreateEmpty(L"");
}

void THexEditor::WndProc(TMessage& message)
{
    if (message.Msg == WM_GETDLGCODE) {
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (wantTabs_ ? DLGC_WANTTAB : 0);
        return;
    }
    TWinControl::WndProc(message);
}

void THexEditor::Repaint()
{
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

void THexEditor::StateChanged()
{
    if (OnStateChanged)
        OnStateChanged(this);
}

// --- the document

void THexEditor::CloseData()
{
    stream_.reset();
    dataSize_ = 0;
}

void THexEditor::ResetPosition()
{
    caretOffset_ = 0;
    selStart_ = selEnd_ = selAnchor_ = -1;
    modified_ = false;
    Repaint();
    StateChanged();
}

void THexEditor::CreateEmpty(const std::wstring& name)
{
    CloseData();
    fileName_ = name;
    ResetPosition();
}

bool THexEditor::LoadFromFile(const std::wstring& name)
{
    if (name.empty()) {
        CreateEmpty(L"");
        return true;
    }
    // The opening check leaves the system's error for the caller.
    HANDLE probe = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    CloseData();
    // Editing is not built yet, so both views read the document itself.
    std::unique_ptr<TFileStream> stream;
    try {
        stream = std::make_unique<TFileStream>(name, fmOpenRead | fmShareDenyNone);
    } catch (const EFOpenError&) {
        ResetPosition();
        return false;
    }
    dataSize_ = std::min(stream->Size(), MaxDataSize);
    stream_ = std::move(stream);
    fileName_ = name;
    ResetPosition();
    return true;
}

bool THexEditor::SaveToFile(const std::wstring& /*name*/)
{
    if (readOnlyView_)
        throw EInvalidOperation(L"Der Editor befindet sich im Anzeigemodus. Das Speichern ist daher nicht möglich.");
    throw EInvalidOperation(kNotYetAvailable);
}

void THexEditor::SetReadOnlyView(bool readOnlyView)
{
    if (readOnlyView == readOnlyView_)
        return;
    if (!stream_) {
        readOnlyView_ = readOnlyView;
        return;
    }
    const DWORD attributes = GetFileAttributesW(fileName_.c_str());
    if (!readOnlyView && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw EInvalidOperation(L"Die Datei \"" + FileNameOnly(fileName_) + L"\" ist schreibgeschützt.");
    // The document is opened again in the new mode, at the same place.
    const std::wstring name = fileName_;
    const int caret = caretOffset_;
    CreateEmpty(L"");
    readOnlyView_ = readOnlyView;
    if (LoadFromFile(name))
        caretOffset_ = std::min(caret, std::max(0, GetDataSize() - 1));
}

int THexEditor::GetDataSize() const
{
    return static_cast<int>(dataSize_);
}

int THexEditor::GetCaretOffset() const
{
    return std::clamp(caretOffset_, 0, std::max(0, GetDataSize() - 1));
}

int THexEditor::GetSelStart() const
{
    return selAnchor_ < 0 ? GetCaretOffset() : selAnchor_;
}

int THexEditor::GetSelEnd() const
{
    if (selAnchor_ < 0)
        return GetCaretOffset();
    return selAnchor_ == selStart_ ? selEnd_ : selStart_;
}

int THexEditor::GetSelCount() const
{
    return selAnchor_ < 0 ? 0 : selEnd_ - selStart_ + 1;
}

void THexEditor::CheckOffset(int offset, const wchar_t* what) const
{
    if (offset < 0 || offset >= GetDataSize())
        throw ERangeError(what);
}

void THexEditor::SetSelStart(int offset)
{
    CheckOffset(offset, L"Invalid SelStart");
    selStart_ = selEnd_ = selAnchor_ = -1;
    caretOffset_ = offset;
    Repaint();
    StateChanged();
}

void THexEditor::SetSelEnd(int offset)
{
    CheckOffset(offset, L"Invalid SelEnd");
    const int caret = GetCaretOffset();
    selAnchor_ = caret;
    selStart_ = std::min(caret, offset);
    selEnd_ = std::max(caret, offset);
    Repaint();
    StateChanged();
}

std::vector<uint8_t> THexEditor::BufferFromFile(int offset, int& count)
{
    CheckOffset(offset, L"Invalid BufferFromFile argument");
    count = std::max(0, std::min(count, GetDataSize() - offset));
    std::vector<uint8_t> buffer(static_cast<size_t>(count));
    try {
        stream_->SetPosition(offset);
        stream_->ReadBuffer(buffer.data(), buffer.size());
    } catch (const EStreamError&) {
        count = 0;
        return {};
    }
    return buffer;
}

int THexEditor::Find(const uint8_t* pattern, int length, bool translate, bool ignoreCase, int lastOffset,
                     int firstOffset)
{
    lastOffset = std::min(lastOffset, GetDataSize() - 1);
    if (length <= 0 || lastOffset + 1 < firstOffset + length || !stream_)
        return -1;
    // Translating the pattern into the Macintosh, EBCDIC or OEM character set
    // comes with the character tables of the grid.
    if (translate && translation_ != TTranslationType::ttAnsi)
        throw EInvalidOperation(kNotYetAvailable);
    std::string wanted(reinterpret_cast<const char*>(pattern), static_cast<size_t>(length));
    auto lower = [ignoreCase](std::string& bytes) {
        if (ignoreCase && !bytes.empty())
            CharLowerBuffA(bytes.data(), static_cast<DWORD>(bytes.size()));
    };
    lower(wanted);
    // Blocks overlap by the pattern length, so no match falls between two.
    constexpr int kBlock = 65536;
    for (int start = std::max(0, firstOffset); start + length <= lastOffset + 1; start += kBlock) {
        const int count = std::min(kBlock + length - 1, lastOffset + 1 - start);
        std::string block(static_cast<size_t>(count), '\0');
        stream_->SetPosition(start);
        stream_->ReadBuffer(block.data(), block.size());
        lower(block);
        const size_t hit = block.find(wanted);
        if (hit != std::string::npos)
            return start + static_cast<int>(hit);
    }
    return -1;
}

// --- display settings: each change repaints

void THexEditor::SetTranslation(TTranslationType translation)
{
    translation_ = translation;
    Repaint();
}

void THexEditor::SetOffsetDisplay(TOffsetDisplayStyle style)
{
    offsetDisplay_ = style;
    Repaint();
}

void THexEditor::SetBytesPerLine(int bytes)
{
    if (bytes < 1 || bytes > 256)
        throw ERangeError(L"Invalid BytesPerLine argument");
    if (bytes == bytesPerLine_)
        return;
    bytesPerLine_ = bytes;
    Repaint();
}

void THexEditor::SetBytesPerColumn(int bytes)
{
    if (bytes == bytesPerColumn_)
        return;
    bytesPerColumn_ = bytes;
    Repaint();
}

void THexEditor::SetSwapNibbles(bool swap)
{
    swapNibbles_ = swap;
    Repaint();
}

void THexEditor::SetNoSizeChange(bool noSizeChange)
{
    noSizeChange_ = noSizeChange;
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
    showMarkerColumn_ = show;
    Repaint();
}

void THexEditor::SetMaskWhiteSpaces(bool mask)
{
    maskWhiteSpaces_ = mask;
    Repaint();
}

void THexEditor::SetMaskChar(wchar_t c)
{
    maskChar_ = c;
    Repaint();
}

void THexEditor::SetOffsetSeparator(wchar_t c)
{
    offsetSeparator_ = c;
    Repaint();
}

void THexEditor::SetCaretStyle(TCaretStyle style)
{
    caretStyle_ = style;
    Repaint();
}

}  // namespace qrv
