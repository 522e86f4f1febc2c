#include "framework/win/RichEdit.h"

#include "framework/SysUtils.h"

#include <richedit.h>

#include <algorithm>

namespace qrv {

namespace {

// The library stays loaded for the life of the process.
void LoadRichEditLibrary()
{
    static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
    Win32Check(library != nullptr, L"Msftedit.dll kann nicht geladen werden");
}

struct StreamCookie {
    std::string* data;
    size_t position = 0;
};

DWORD CALLBACK ReadFromString(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    auto* source = reinterpret_cast<StreamCookie*>(cookie);
    const size_t n = std::min(static_cast<size_t>(count), source->data->size() - source->position);
    std::copy_n(source->data->data() + source->position, n, buffer);
    source->position += n;
    *done = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WriteToString(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    reinterpret_cast<StreamCookie*>(cookie)->data->append(reinterpret_cast<const char*>(buffer),
                                                          static_cast<size_t>(count));
    *done = count;
    return 0;
}

std::wstring StripLineBreak(std::wstring line)
{
    while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n'))
        line.pop_back();
    return line;
}

}  // namespace

// --- TRichEditStrings ----------------------------------------------------

int TRichEditStrings::Count() const
{
    HWND window = edit_.Handle();
    int count = static_cast<int>(SendMessageW(window, EM_GETLINECOUNT, 0, 0));
    const LRESULT lastStart = SendMessageW(window, EM_LINEINDEX, count - 1, 0);
    if (count > 0 && SendMessageW(window, EM_LINELENGTH, lastStart, 0) == 0)
        --count;
    return count;
}

std::wstring TRichEditStrings::Get(int index) const
{
    HWND window = edit_.Handle();
    if (index < 0 || index >= Count())
        return {};
    const LRESULT start = SendMessageW(window, EM_LINEINDEX, index, 0);
    const LRESULT length = SendMessageW(window, EM_LINELENGTH, start, 0);
    // EM_GETLINE takes the buffer size in the first character.
    std::wstring buffer(static_cast<size_t>(std::max<LRESULT>(length + 2, 2)), L'\0');
    buffer[0] = static_cast<wchar_t>(std::min<size_t>(buffer.size(), 0xFFFF));
    const LRESULT copied = SendMessageW(window, EM_GETLINE, index, reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<size_t>(copied));
    return StripLineBreak(buffer);
}

void TRichEditStrings::Add(const std::wstring& s)
{
    HWND window = edit_.Handle();
    const int count = Count();
    LONG position = 0;
    std::wstring insert = s;
    if (count > 0) {
        const LRESULT start = SendMessageW(window, EM_LINEINDEX, count - 1, 0);
        position = static_cast<LONG>(start + SendMessageW(window, EM_LINELENGTH, start, 0));
        insert = L"\r" + s;
    }
    CHARRANGE range{position, position};
    SendMessageW(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(insert.c_str()));
}

void TRichEditStrings::Clear()
{
    edit_.Clear();
}

std::wstring TRichEditStrings::Text() const
{
    std::wstring text;
    const int count = Count();
    for (int i = 0; i < count; ++i)
        text += Get(i) + L"\r\n";
    return text;
}

void TRichEditStrings::SetText(const std::wstring& text)
{
    // The control takes CR as its paragraph break; a final break adds no line.
    std::wstring normal;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue;
        normal += text[i] == L'\n' ? L'\r' : text[i];
    }
    if (!normal.empty() && normal.back() == L'\r')
        normal.pop_back();
    edit_.SetText(normal);
}

// --- TRichEdit -----------------------------------------------------------

TRichEdit::TRichEdit(TComponent* owner) : TWinControl(owner), lines_(*this)
{
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
}

void TRichEdit::CreateParams(TCreateParams& params)
{
    LoadRichEditLibrary();
    TWinControl::CreateParams(params);
    params.WinClassName = MSFTEDIT_CLASS;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_SAVESEL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (!wordWrap_)
        params.Style |= WS_HSCROLL | ES_AUTOHSCROLL;
    if (!hideScrollBars_)
        params.Style |= ES_DISABLENOSCROLL;
    if (!hideSelection_)
        params.Style |= ES_NOHIDESEL;
    if (readOnly_)
        params.Style |= ES_READONLY;
}

void TRichEdit::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    SendMessageW(handle_, EM_SETTEXTMODE, (plainText_ ? TM_PLAINTEXT : TM_RICHTEXT) | TM_MULTILEVELUNDO, 0);
    SendMessageW(handle_, EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
    SendMessageW(handle_, EM_SETBKGNDCOLOR, 0, ColorToRGB(Color()));
    SendMessageW(handle_, EM_AUTOURLDETECT, TRUE, 0);
    SendMessageW(handle_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_LINK);
}

void TRichEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    // The kept text goes in after the font, which would reset its formatting.
    if (!kept_.empty()) {
        StreamIn(kept_, keptRich_ ? SF_RTF : (SF_TEXT | SF_UNICODE));
        kept_.clear();
    }
    SendMessageW(handle_, EM_SETMODIFY, modified_, 0);
}

void TRichEdit::DestroyWnd()
{
    if (HandleAllocated()) {
        modified_ = Modified();
        keptRich_ = !plainText_;
        kept_ = StreamOut(keptRich_ ? SF_RTF : (SF_TEXT | SF_UNICODE));
    }
    TWinControl::DestroyWnd();
}

std::wstring TRichEdit::Text()
{
    HWND window = Handle();
    GETTEXTLENGTHEX lengthInfo{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    const LRESULT length = SendMessageW(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthInfo), 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    get.flags = GT_USECRLF;
    get.codepage = 1200;
    const LRESULT copied = SendMessageW(window, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

void TRichEdit::SetText(const std::wstring& text)
{
    SETTEXTEX set{ST_DEFAULT, 1200};
    SendMessageW(Handle(), EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.c_str()));
}

void TRichEdit::Clear()
{
    SetText(L"");
    SetModified(false);
}

void TRichEdit::SetPlainText(bool plain)
{
    if (plain == plainText_)
        return;
    plainText_ = plain;
    if (!HandleAllocated())
        return;
    // The mode can only change while the control is empty.
    const std::wstring text = Text();
    const bool modified = Modified();
    SetText(L"");
    SendMessageW(handle_, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(handle_, EM_SETTEXTMODE, (plain ? TM_PLAINTEXT : TM_RICHTEXT) | TM_MULTILEVELUNDO, 0);
    SetText(text);
    SetModified(modified);
}

void TRichEdit::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETREADONLY, readOnly, 0);
}

void TRichEdit::SetWordWrap(bool wrap)
{
    if (wrap == wordWrap_)
        return;
    wordWrap_ = wrap;
    RecreateWnd();
}

void TRichEdit::SetHideScrollBars(bool hide)
{
    if (hide == hideScrollBars_)
        return;
    hideScrollBars_ = hide;
    RecreateWnd();
}

void TRichEdit::SetHideSelection(bool hide)
{
    if (hide == hideSelection_)
        return;
    hideSelection_ = hide;
    if (HandleAllocated())
        SendMessageW(handle_, EM_HIDESELECTION, hide, TRUE);
}

void TRichEdit::SetColor(TColor color)
{
    TWinControl::SetColor(color);
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETBKGNDCOLOR, 0, ColorToRGB(color));
}

bool TRichEdit::Modified()
{
    return HandleAllocated() ? SendMessageW(handle_, EM_GETMODIFY, 0, 0) != 0 : modified_;
}

void TRichEdit::SetModified(bool modified)
{
    modified_ = modified;
    if (HandleAllocated())
        SendMessageW(handle_, EM_SETMODIFY, modified, 0);
}

int TRichEdit::SelStart()
{
    CHARRANGE range{};
    SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin;
}

void TRichEdit::SetSelStart(int start)
{
    CHARRANGE range{start, start};
    SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int TRichEdit::SelLength()
{
    CHARRANGE range{};
    SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax - range.cpMin;
}

void TRichEdit::SetSelLength(int length)
{
    CHARRANGE range{};
    SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    range.cpMax = range.cpMin + length;
    SendMessageW(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

std::wstring TRichEdit::SelText()
{
    std::wstring text(static_cast<size_t>(SelLength()) + 1, L'\0');
    const LRESULT copied = SendMessageW(handle_, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

void TRichEdit::SetSelText(const std::wstring& text)
{
    SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

POINT TRichEdit::CaretPos()
{
    const int position = SelStart();
    const LRESULT line = SendMessageW(handle_, EM_EXLINEFROMCHAR, 0, position);
    const LRESULT lineStart = SendMessageW(handle_, EM_LINEINDEX, line, 0);
    return POINT{static_cast<LONG>(position - lineStart), static_cast<LONG>(line)};
}

void TRichEdit::Undo()
{
    SendMessageW(Handle(), EM_UNDO, 0, 0);
}

bool TRichEdit::CanUndo()
{
    return SendMessageW(Handle(), EM_CANUNDO, 0, 0) != 0;
}

int TRichEdit::FindText(const std::wstring& text, int start, int length, unsigned options)
{
    FINDTEXTEXW find{};
    const bool up = (options & stUp) != 0;
    find.chrg.cpMin = start;
    find.chrg.cpMax = up ? start - std::abs(length) : start + std::abs(length);
    find.lpstrText = text.c_str();
    WPARAM flags = up ? 0 : FR_DOWN;
    if (options & stWholeWord)
        flags |= FR_WHOLEWORD;
    if (options & stMatchCase)
        flags |= FR_MATCHCASE;
    const LRESULT found = SendMessageW(Handle(), EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find));
    if (found >= 0 && (options & stSelect)) {
        SendMessageW(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
        SendMessageW(handle_, EM_SCROLLCARET, 0, 0);
    }
    return static_cast<int>(found);
}

void TRichEdit::StreamIn(const std::string& data, unsigned format)
{
    std::string copy = data;
    StreamCookie cookie{&copy};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, ReadFromString};
    SendMessageW(Handle(), EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0)
        throw EOutOfResources(L"Das Laden des Streams ist misslungen");
}

std::string TRichEdit::StreamOut(unsigned format)
{
    std::string data;
    StreamCookie cookie{&data};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, WriteToString};
    SendMessageW(Handle(), EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0)
        throw EOutOfResources(L"Das Speichern des Streams ist misslungen");
    return data;
}

void TRichEdit::HandleLink(UINT mouseMessage, long cpMin, long cpMax)
{
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        linkMin_ = cpMin;
        linkMax_ = cpMax;
        linkButton_ = mouseMessage;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        const UINT down = mouseMessage == WM_LBUTTONUP ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
        const bool same = linkButton_ == down && linkMin_ == cpMin && linkMax_ == cpMax;
        linkMin_ = linkMax_ = -1;
        linkButton_ = 0;
        if (!same || !OnURLClick)
            break;
        std::wstring url(static_cast<size_t>(cpMax - cpMin) + 1, L'\0');
        TEXTRANGEW range{{cpMin, cpMax}, url.data()};
        url.resize(static_cast<size_t>(SendMessageW(handle_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
        OnURLClick(this, url, mouseMessage == WM_LBUTTONUP ? TMouseButton::mbLeft : TMouseButton::mbRight);
        break;
    }
    default:
        break;
    }
}

void TRichEdit::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == EN_CHANGE && OnChange)
            OnChange(this);
        return;
    case CN_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(message.LParam);
        message.Result = 0;
        if (header.code == EN_LINK) {
            const auto& link = reinterpret_cast<const ENLINK&>(header);
            HandleLink(link.msg, link.chrg.cpMin, link.chrg.cpMax);
        } else if (header.code == EN_SELCHANGE && OnSelectionChange) {
            OnSelectionChange(this);
        }
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv
