#include "editor/win/EasyEditor.h"

#include "editor/WideText.h"

#include <algorithm>

namespace qrv {

TCustomEasyEdit::TCustomEasyEdit(TComponent* owner)
    : TWinControl(owner), own_(new TEasyEditSource(this))
{
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
    SetEasyBeep([] { MessageBeep(MB_OK); });
    Attach(own_);
}

TCustomEasyEdit::~TCustomEasyEdit()
{
    Detach(GetEditSource());
}

TCustomEasyEditSource* TCustomEasyEdit::GetEditSource() const
{
    return external_ ? external_ : own_;
}

void TCustomEasyEdit::Attach(TCustomEasyEditSource* source)
{
    // Only the state broadcast matters to this shell; it reads the states
    // from the source.
    source->AddNotifier(this, [this, source](TEasySourceNotification* record) {
        if (!record)
            SourceChanged(source->States());
    });
}

void TCustomEasyEdit::Detach(TCustomEasyEditSource* source)
{
    source->RemoveNotifier(this);
}

void TCustomEasyEdit::SetEditSource(TCustomEasyEditSource* source)
{
    if (source == own_)
        source = nullptr;
    if (source == external_)
        return;
    Detach(GetEditSource());
    external_ = source;
    Attach(GetEditSource());
    ShowLines();
    ApplyReadOnly();
}

void TCustomEasyEdit::SourceChanged(TEasyEditSourceStates states)
{
    if (states & csSourceFreed) {
        // The attached source goes: back to the editor's own.
        external_ = nullptr;
        Attach(own_);
        ShowLines();
        ApplyReadOnly();
        return;
    }
    // The window's own edits come back from the source: nothing to show.
    if (showing_)
        return;
    if (states & (csEdit | csCountChanged))
        ShowLines();
    if (states & csReadOnlyChanged)
        ApplyReadOnly();
    if (states & csPositionChanged)
        ShowCaret();
}

void TCustomEasyEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"EDIT";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (!wordWrap_)
        params.Style |= WS_HSCROLL | ES_AUTOHSCROLL;
}

void TCustomEasyEdit::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    SendMessageW(handle_, EM_SETLIMITTEXT, 0, 0);
    ShowLines();
    ApplyReadOnly();
    ShowCaret();
}

void TCustomEasyEdit::DestroyWnd()
{
    if (HandleAllocated()) {
        // The caret outlives the window in the source.
        const int x = CaretX(), y = CaretY();
        showing_ = true;
        GetEditSource()->SetCaretPos(x, y);
        showing_ = false;
    }
    TWinControl::DestroyWnd();
}

void TCustomEasyEdit::ShowLines()
{
    if (!HandleAllocated())
        return;
    const TEasyStrings& lines = GetEditSource()->Strings();
    std::wstring text;
    for (int i = 0; i < lines.Count(); ++i) {
        if (i > 0)
            text += L"\r\n";
        text += ToWide(lines.Get(i));
    }
    showing_ = true;
    SetWindowTextW(handle_, text.c_str());
    showing_ = false;
}

void TCustomEasyEdit::ShowCaret()
{
    if (!HandleAllocated())
        return;
    const TCustomEasyEditSource& source = *GetEditSource();
    const int lineCount = static_cast<int>(SendMessageW(handle_, EM_GETLINECOUNT, 0, 0));
    const int line = std::min(source.CaretY(), lineCount - 1);
    const LRESULT start = SendMessageW(handle_, EM_LINEINDEX, line, 0);
    const LRESULT length = SendMessageW(handle_, EM_LINELENGTH, start, 0);
    const LRESULT position = start + std::min<LRESULT>(source.CaretX(), length);
    SendMessageW(handle_, EM_SETSEL, position, position);
    SendMessageW(handle_, EM_SCROLLCARET, 0, 0);
}

void TCustomEasyEdit::ApplyReadOnly()
{
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETREADONLY, GetReadOnly(), 0);
}

void TCustomEasyEdit::SetWordWrap(bool wrap)
{
    if (wrap == wordWrap_)
        return;
    wordWrap_ = wrap;
    RecreateWnd();
}

int TCustomEasyEdit::CaretX()
{
    if (!HandleAllocated())
        return GetEditSource()->CaretX();
    DWORD start = 0;
    SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    const LRESULT line = SendMessageW(handle_, EM_LINEFROMCHAR, start, 0);
    return static_cast<int>(start - SendMessageW(handle_, EM_LINEINDEX, line, 0));
}

int TCustomEasyEdit::CaretY()
{
    if (!HandleAllocated())
        return GetEditSource()->CaretY();
    DWORD start = 0;
    SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(SendMessageW(handle_, EM_LINEFROMCHAR, start, 0));
}

void TCustomEasyEdit::SetCaretPos(int x, int y)
{
    GetEditSource()->SetCaretPos(x, y);
    ShowCaret();  // also when the source's caret was there already
}

int TCustomEasyEdit::GetSelLength()
{
    if (!HandleAllocated())
        return 0;
    DWORD start = 0, end = 0;
    SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

std::wstring TCustomEasyEdit::SelText()
{
    if (!HandleAllocated())
        return {};
    DWORD start = 0, end = 0;
    SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return WindowText(handle_).substr(start, end - start);
}

void TCustomEasyEdit::CopyToClipboard()
{
    SendMessageW(Handle(), WM_COPY, 0, 0);
}

void TCustomEasyEdit::CutToClipboard()
{
    SendMessageW(Handle(), WM_CUT, 0, 0);
}

void TCustomEasyEdit::PasteFromClipboard()
{
    SendMessageW(Handle(), WM_PASTE, 0, 0);
}

void TCustomEasyEdit::Undo()
{
    SendMessageW(Handle(), EM_UNDO, 0, 0);
}

bool TCustomEasyEdit::CanUndo()
{
    return HandleAllocated() && !GetReadOnly() && SendMessageW(handle_, EM_CANUNDO, 0, 0) != 0;
}

void TCustomEasyEdit::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == EN_CHANGE && !showing_) {
            // The user's edit becomes the document's text.
            showing_ = true;
            try {
                GetEditSource()->ReplaceAllText(WindowText(handle_));
            } catch (...) {
                showing_ = false;
                throw;
            }
            showing_ = false;
        }
        message.Result = 0;
        return;
    case WM_CHAR:
        if (message.WParam == L'\t' && !wantTabs_) {
            message.Result = 0;
            return;
        }
        break;
    case WM_GETDLGCODE:
        TWinControl::WndProc(message);
        if (!wantTabs_)
            message.Result &= ~DLGC_WANTTAB;
        return;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv
