#include "viewers/win/KyRichEd.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/MessageDialog.h"
#include "viewers/RtfGroupDepth.h"
#include "viewers/win/RichEditOleCallback.h"

#include <richole.h>

#include <algorithm>
#include <cwctype>
#include <exception>
#include <optional>

namespace qrv {

namespace {

// The library stays loaded for the life of the process.
void LoadRichEditLibrary()
{
    static const HMODULE library = [] {
        const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        const HMODULE module = LoadLibraryW(L"Msftedit.dll");
        SetErrorMode(oldMode);
        return module;
    }();
    Win32Check(library != nullptr, L"Msftedit.dll kann nicht geladen werden");
}

// What an EDITSTREAM callback needs: the stream, the conversion and, while a
// file loads, the control that asks the size question.
struct TStreamCookie {
    TKyCustomRichEdit* edit;
    TStream* stream;
    TConversion* conversion;
    std::function<bool(uint64_t)> goOn;
    std::exception_ptr error;
};

// The stop code the control reports when the user ended a load.
constexpr DWORD LoadStopped = 3;

DWORD CALLBACK ReadCallback(DWORD_PTR cookieValue, LPBYTE buffer, LONG count, LONG* done)
{
    auto& cookie = *reinterpret_cast<TStreamCookie*>(cookieValue);
    *done = 0;
    try {
        if (cookie.goOn && !cookie.goOn(static_cast<uint64_t>(cookie.stream->Position())))
            return LoadStopped;
        *done =
            static_cast<LONG>(cookie.conversion->ConvertReadStream(*cookie.stream, buffer, static_cast<size_t>(count)));
        return 0;
    } catch (...) {
        cookie.error = std::current_exception();
        return 1;
    }
}

DWORD CALLBACK WriteCallback(DWORD_PTR cookieValue, LPBYTE buffer, LONG count, LONG* done)
{
    auto& cookie = *reinterpret_cast<TStreamCookie*>(cookieValue);
    *done = 0;
    try {
        *done = static_cast<LONG>(
            cookie.conversion->ConvertWriteStream(*cookie.stream, buffer, static_cast<size_t>(count)));
        return 0;
    } catch (...) {
        cookie.error = std::current_exception();
        return 1;
    }
}

std::wstring StripLineBreak(std::wstring line)
{
    if (!line.empty() && line.back() == L'\n')
        line.pop_back();
    if (!line.empty() && line.back() == L'\r')
        line.pop_back();
    return line;
}

// The extension without its dot, lower-cased; "" when there is none.
std::wstring LowerExtension(const std::wstring& name)
{
    const size_t pos = name.find_last_of(L".\\/:");
    if (pos == std::wstring::npos || name[pos] != L'.')
        return {};
    return LowerCase(name.substr(pos + 1));
}

// The conversion formats a file's extension selects: name, plain text.
struct TConversionFormat {
    const wchar_t* extension;
    bool plainText;
};
constexpr TConversionFormat ConversionFormats[] = {{L"txt", true}, {L"rtf", false}};

// The entry for a file name; "txt" entries never match (plain text is what
// the control's own default conversion already does).
const TConversionFormat* FindConversionFormat(const std::wstring& fileName)
{
    const std::wstring ext = LowerExtension(fileName);
    for (const TConversionFormat& format : ConversionFormats) {
        if (ext == format.extension && ext != L"txt")
            return &format;
    }
    return nullptr;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageW(window, message, wParam, lParam);
}

LONG TextLength(HWND window)
{
    GETTEXTLENGTHEX info{GTL_PRECISE | GTL_NUMCHARS, 1200};
    return static_cast<LONG>(Send(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&info)));
}

}  // namespace

// --- TRichEditStrings ----------------------------------------------------

TRichEditStrings::TRichEditStrings(TKyCustomRichEdit& edit) : edit_(edit) {}

TRichEditStrings::~TRichEditStrings() = default;

int TRichEditStrings::Count() const
{
    HWND window = edit_.Handle();
    int count = static_cast<int>(Send(window, EM_GETLINECOUNT));
    if (count > 0 && Send(window, EM_LINELENGTH, Send(window, EM_LINEINDEX, count - 1)) == 0)
        --count;
    return count;
}

std::wstring TRichEditStrings::Get(int index) const
{
    HWND window = edit_.Handle();
    if (index < 0 || index >= Count())
        return {};
    // The range up to the next line's start holds the whole line, however long.
    const LONG start = static_cast<LONG>(Send(window, EM_LINEINDEX, index));
    const LRESULT next = Send(window, EM_LINEINDEX, index + 1);
    const LONG end = next >= 0 ? static_cast<LONG>(next) : TextLength(window);
    if (end <= start)
        return {};
    std::wstring text(static_cast<size_t>(end - start) + 1, L'\0');
    TEXTRANGEW range{{start, end}, text.data()};
    text.resize(static_cast<size_t>(Send(window, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
    return StripLineBreak(std::move(text));
}

void TRichEditStrings::Put(int index, const std::wstring& s)
{
    HWND window = edit_.Handle();
    if (index < 0 || index >= Count())
        throw EStringListError(L"Listenindex überschreitet das Maximum (" + std::to_wstring(index) + L")");
    const LONG start = static_cast<LONG>(Send(window, EM_LINEINDEX, index));
    const LONG length = static_cast<LONG>(Send(window, EM_LINELENGTH, start));
    CHARRANGE range{start, start + length};
    edit_.internalChange_ = true;
    ScopeExit reset([this] { edit_.internalChange_ = false; });
    Send(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    Send(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(s.c_str()));
}

void TRichEditStrings::Insert(int index, const std::wstring& s)
{
    HWND window = edit_.Handle();
    const int count = Count();
    if (index < 0 || index > count)
        return;
    LONG position = 0;
    std::wstring text;
    if (index < count) {
        position = static_cast<LONG>(Send(window, EM_LINEINDEX, index));
        text = s + L"\r";
    } else if (count > 0) {
        const LONG start = static_cast<LONG>(Send(window, EM_LINEINDEX, count - 1));
        position = start + static_cast<LONG>(Send(window, EM_LINELENGTH, start));
        text = L"\r" + s;
    } else {
        text = s;
    }
    CHARRANGE range{position, position};
    edit_.internalChange_ = true;
    ScopeExit reset([this] { edit_.internalChange_ = false; });
    Send(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    Send(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

int TRichEditStrings::Add(const std::wstring& s)
{
    // Adding lines does not report selection changes.
    auto onSelectionChange = std::move(edit_.OnSelectionChange);
    ScopeExit restore([&] { edit_.OnSelectionChange = std::move(onSelectionChange); });
    const int index = Count();
    Insert(index, s);
    return index;
}

void TRichEditStrings::Delete(int index)
{
    HWND window = edit_.Handle();
    if (index < 0 || index >= Count())
        return;
    const LONG start = static_cast<LONG>(Send(window, EM_LINEINDEX, index));
    const LRESULT next = Send(window, EM_LINEINDEX, index + 1);
    CHARRANGE range{start, next >= 0 ? static_cast<LONG>(next) : TextLength(window)};
    edit_.internalChange_ = true;
    ScopeExit reset([this] { edit_.internalChange_ = false; });
    Send(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    Send(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void TRichEditStrings::Clear()
{
    edit_.Clear();
}

void TRichEditStrings::BeginUpdate()
{
    if (updateCount_++ == 0 && edit_.HandleAllocated() && IsWindowVisible(edit_.Handle()))
        Send(edit_.Handle(), WM_SETREDRAW, FALSE);
}

void TRichEditStrings::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0 || !edit_.HandleAllocated())
        return;
    if (IsWindowVisible(edit_.Handle())) {
        Send(edit_.Handle(), WM_SETREDRAW, TRUE);
        InvalidateRect(edit_.Handle(), nullptr, TRUE);
    }
    if (edit_.OnChange)
        edit_.OnChange(&edit_);
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
    normal.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue;
        normal += text[i] == L'\n' ? L'\r' : text[i];
    }
    if (!normal.empty() && normal.back() == L'\r')
        normal.pop_back();
    edit_.SetText(normal);
}

bool TRichEditStrings::TransferAsPlainText() const
{
    if (filePlainText_)
        return *filePlainText_;
    switch (StreamFormat) {
    case TRichStreamFormat::sfPlainText:
        return true;
    case TRichStreamFormat::sfRichText:
        return false;
    default:
        return edit_.PlainText();
    }
}

void TRichEditStrings::LoadFromFile(const std::wstring& fileName)
{
    conversion_.reset();
    const TConversionFormat* format = FindConversionFormat(fileName);
    if (format) {
        conversion_ = std::make_unique<TConversion>();
        filePlainText_ = format->plainText;
    }
    edit_.warnOnLoad_ = true;
    ScopeExit restore([this] {
        filePlainText_.reset();
        edit_.warnOnLoad_ = false;
    });
    try {
        TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
        LoadFromStream(file);
    } catch (...) {
        conversion_.reset();
        throw;
    }
}

void TRichEditStrings::SaveToFile(const std::wstring& fileName)
{
    const TConversionFormat* format = FindConversionFormat(fileName);
    if (format) {
        if (!conversion_)
            conversion_ = std::make_unique<TConversion>();
        filePlainText_ = format->plainText;
    }
    ScopeExit restore([this] { filePlainText_.reset(); });
    try {
        TFileStream file(fileName, fmCreate);
        SaveToStream(file);
        file.Flush();
    } catch (...) {
        conversion_.reset();
        throw;
    }
}

void TRichEditStrings::LoadFromStream(TStream& stream)
{
    std::unique_ptr<TConversion> own;
    TConversion* conversion = conversion_.get();
    if (!conversion) {
        own = edit_.DefaultConverter()();
        conversion = own.get();
    }
    bool plain = TransferAsPlainText();
    unsigned format = plain ? SF_TEXT | SF_UNICODE : SF_RTF;
    if (!plain && (StreamMode & smPlainRtf))
        format |= SFF_PLAINRTF;
    if (StreamMode & smSelection)
        format |= SFF_SELECTION;

    const int64_t start = stream.Position();
    // A rich text nested deeper than the control takes is never given to it
    // as rich text: it comes in as plain text, its source shown.
    edit_.nestedTooDeep_ = false;
    std::optional<bool> tooDeep;
    auto nestedTooDeep = [&] {
        if (!tooDeep) {
            TRtfGroupDepth depth;
            std::string piece(0x10000, '\0');
            while (const size_t read = stream.Read(piece.data(), piece.size()))
                depth.Feed(std::string_view(piece.data(), read));
            stream.SetPosition(start);
            tooDeep = depth.Deepest() > kRichEditMaxGroupDepth;
        }
        return *tooDeep;
    };
    if (!plain && nestedTooDeep()) {
        plain = true;
        format = (format & SFF_SELECTION) | SF_TEXT | SF_UNICODE;
        edit_.nestedTooDeep_ = true;
    }
    if (edit_.warnOnLoad_)
        edit_.loadWarning_.Start();
    ScopeExit endWarning([this] { edit_.loadWarning_.Cancel(); });
    std::exception_ptr failure;
    DWORD error = edit_.StreamIn(stream, *conversion, format, plain, failure);
    if (error != 0 && error != LoadStopped && !(plain && nestedTooDeep())) {
        // Once more from the start, in the other format and without extras;
        // the conversion starts afresh with the transfer.
        stream.SetPosition(start);
        plain = !plain;
        error = edit_.StreamIn(stream, *conversion, plain ? SF_TEXT | SF_UNICODE : SF_RTF, plain, failure);
        if (error != 0 && error != LoadStopped) {
            if (failure)
                std::rethrow_exception(failure);
            throw EOutOfResources(L"Das Laden des Streams ist misslungen");
        }
    }
    if (error == LoadStopped) {
        const std::wstring notice = L"Das Laden der Datei wurde vorzeitig abgebrochen. \nDie Datei wird nur "
                                    L"teilweise angezeigt und kann daher nicht bearbeitet werden.";
        if (edit_.OnLoadStopped)
            edit_.OnLoadStopped(notice);
        else
            MessageDlg(notice, TMsgDlgType::mtInformation, mbOK);
        edit_.SetReadOnly(true);
    }
    edit_.SetSelStart(0);
}

void TRichEditStrings::SaveToStream(TStream& stream)
{
    std::unique_ptr<TConversion> own;
    TConversion* conversion = conversion_.get();
    if (!conversion) {
        own = edit_.DefaultConverter()();
        conversion = own.get();
    }
    const bool plain = TransferAsPlainText();
    unsigned format = plain ? SF_TEXT | SF_UNICODE : (StreamMode & smNoObjects) ? SF_RTFNOOBJS : SF_RTF;
    if (!plain && (StreamMode & smPlainRtf))
        format |= SFF_PLAINRTF;
    if (StreamMode & smSelection)
        format |= SFF_SELECTION;
    if (edit_.StreamOut(stream, *conversion, format, plain) != 0)
        throw EOutOfResources(L"Das Speichern des Streams ist misslungen");
}

// --- TKyTextAttributes ---------------------------------------------------

CHARFORMAT2W TKyTextAttributes::Get()
{
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    Send(edit_.Handle(), EM_GETCHARFORMAT, type_ == TAttributeType::atDefaultText ? SCF_DEFAULT : SCF_SELECTION,
         reinterpret_cast<LPARAM>(&format));
    return format;
}

void TKyTextAttributes::Set(CHARFORMAT2W& format, DWORD mask)
{
    format.cbSize = sizeof format;
    format.dwMask = mask;
    WPARAM which = SCF_DEFAULT;
    if (type_ == TAttributeType::atSelected)
        which = SCF_SELECTION;
    else if (type_ == TAttributeType::atWord)
        which = SCF_SELECTION | SCF_WORD;
    Send(edit_.Handle(), EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
}

int TKyTextAttributes::Charset()
{
    return Get().bCharSet;
}

void TKyTextAttributes::SetCharset(int charset)
{
    CHARFORMAT2W format{};
    format.bCharSet = static_cast<BYTE>(charset);
    Set(format, CFM_CHARSET);
}

TColor TKyTextAttributes::Color()
{
    const CHARFORMAT2W format = Get();
    return (format.dwEffects & CFE_AUTOCOLOR) ? clWindowText : static_cast<TColor>(format.crTextColor);
}

void TKyTextAttributes::SetColor(TColor color)
{
    CHARFORMAT2W format{};
    if (color == clWindowText || color == clDefault)
        format.dwEffects = CFE_AUTOCOLOR;
    else
        format.crTextColor = ColorToRGB(color);
    Set(format, CFM_COLOR);
}

std::wstring TKyTextAttributes::Name()
{
    return Get().szFaceName;
}

void TKyTextAttributes::SetName(const std::wstring& name)
{
    CHARFORMAT2W format{};
    lstrcpynW(format.szFaceName, name.c_str(), LF_FACESIZE);
    Set(format, CFM_FACE);
}

int TKyTextAttributes::Pitch()
{
    return Get().bPitchAndFamily & 0x03;
}

void TKyTextAttributes::SetPitch(int pitch)
{
    CHARFORMAT2W format = Get();
    format.bPitchAndFamily = static_cast<BYTE>((format.bPitchAndFamily & ~0x03) | (pitch & 0x03));
    Set(format, CFM_FACE);
}

unsigned TKyTextAttributes::Style()
{
    const CHARFORMAT2W format = Get();
    unsigned style = 0;
    if (format.dwEffects & CFE_BOLD)
        style |= fsBold;
    if (format.dwEffects & CFE_ITALIC)
        style |= fsItalic;
    if (format.dwEffects & CFE_UNDERLINE)
        style |= fsUnderline;
    if (format.dwEffects & CFE_STRIKEOUT)
        style |= fsStrikeOut;
    return style;
}

void TKyTextAttributes::SetStyle(unsigned style)
{
    CHARFORMAT2W format{};
    format.dwEffects = ((style & fsBold) ? CFE_BOLD : 0) | ((style & fsItalic) ? CFE_ITALIC : 0) |
                       ((style & fsUnderline) ? CFE_UNDERLINE : 0) | ((style & fsStrikeOut) ? CFE_STRIKEOUT : 0);
    Set(format, CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT);
}

int TKyTextAttributes::Size()
{
    return Get().yHeight / 20;
}

void TKyTextAttributes::SetSize(int points)
{
    CHARFORMAT2W format{};
    format.yHeight = points * 20;
    Set(format, CFM_SIZE);
}

void TKyTextAttributes::Assign(const TFont& font)
{
    CHARFORMAT2W format{};
    lstrcpynW(format.szFaceName, font.Name().c_str(), LF_FACESIZE);
    format.yHeight = font.Size() * 20;
    const unsigned style = font.Style();
    format.dwEffects = ((style & fsBold) ? CFE_BOLD : 0) | ((style & fsItalic) ? CFE_ITALIC : 0) |
                       ((style & fsUnderline) ? CFE_UNDERLINE : 0) | ((style & fsStrikeOut) ? CFE_STRIKEOUT : 0);
    DWORD mask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_CHARSET;
    if (font.Color() == clWindowText || font.Color() == clDefault)
        format.dwEffects |= CFE_AUTOCOLOR;
    else
        format.crTextColor = ColorToRGB(font.Color());
    LOGFONTW logFont{};
    format.bCharSet = DEFAULT_CHARSET;
    if (GetObjectW(font.Handle(), sizeof logFont, &logFont) == sizeof logFont) {
        format.bCharSet = logFont.lfCharSet;
        format.bPitchAndFamily = logFont.lfPitchAndFamily;
        format.wWeight = static_cast<WORD>(logFont.lfWeight);
        mask |= CFM_WEIGHT;
    }
    Set(format, mask);
}

void TKyTextAttributes::AssignTo(TFont& font)
{
    font.SetName(Name());
    font.SetSize(Size());
    font.SetStyle(Style());
    font.SetColor(Color());
}

void TKyTextAttributes::Assign(TKyTextAttributes& other)
{
    CHARFORMAT2W format = other.Get();
    Set(format, format.dwMask);
}

// --- TKyParaAttributes ---------------------------------------------------

PARAFORMAT2 TKyParaAttributes::Get()
{
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    Send(edit_.Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

void TKyParaAttributes::Set(PARAFORMAT2& format)
{
    format.cbSize = sizeof format;
    Send(edit_.Handle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

TAlignment TKyParaAttributes::Alignment()
{
    switch (Get().wAlignment) {
    case PFA_RIGHT:
        return TAlignment::taRightJustify;
    case PFA_CENTER:
        return TAlignment::taCenter;
    default:
        return TAlignment::taLeftJustify;
    }
}

void TKyParaAttributes::SetAlignment(TAlignment alignment)
{
    PARAFORMAT2 format{};
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = alignment == TAlignment::taRightJustify ? PFA_RIGHT
                        : alignment == TAlignment::taCenter     ? PFA_CENTER
                                                                : PFA_LEFT;
    Set(format);
}

TNumberingStyle TKyParaAttributes::Numbering()
{
    return Get().wNumbering == PFN_BULLET ? TNumberingStyle::nsBullet : TNumberingStyle::nsNone;
}

void TKyParaAttributes::SetNumbering(TNumberingStyle numbering)
{
    // Bullets need room to the left: at least 10 points, none without them.
    if (numbering == TNumberingStyle::nsBullet) {
        if (LeftIndent() < 10)
            SetLeftIndent(10);
    } else {
        SetLeftIndent(0);
    }
    PARAFORMAT2 format{};
    format.dwMask = PFM_NUMBERING;
    format.wNumbering = numbering == TNumberingStyle::nsBullet ? PFN_BULLET : 0;
    Set(format);
}

int TKyParaAttributes::FirstIndent()
{
    return Get().dxStartIndent / 20;
}

void TKyParaAttributes::SetFirstIndent(int points)
{
    PARAFORMAT2 format{};
    format.dwMask = PFM_STARTINDENT;
    format.dxStartIndent = points * 20;
    Set(format);
}

int TKyParaAttributes::LeftIndent()
{
    return Get().dxOffset / 20;
}

void TKyParaAttributes::SetLeftIndent(int points)
{
    PARAFORMAT2 format{};
    format.dwMask = PFM_OFFSET;
    format.dxOffset = points * 20;
    Set(format);
}

int TKyParaAttributes::RightIndent()
{
    return Get().dxRightIndent / 20;
}

void TKyParaAttributes::SetRightIndent(int points)
{
    PARAFORMAT2 format{};
    format.dwMask = PFM_RIGHTINDENT;
    format.dxRightIndent = points * 20;
    Set(format);
}

int TKyParaAttributes::TabCount()
{
    return Get().cTabCount;
}

int TKyParaAttributes::Tab(int index)
{
    const PARAFORMAT2 format = Get();
    if (index < 0 || index >= format.cTabCount)
        return 0;
    return (format.rgxTabs[index] & 0xFFFFFF) / 20;
}

void TKyParaAttributes::SetTab(int index, int points)
{
    if (index < 0 || index >= MAX_TAB_STOPS)
        throw ERangeError(L"Tabulatorindex außerhalb des gültigen Bereichs");
    PARAFORMAT2 format = Get();
    format.dwMask = PFM_TABSTOPS;
    format.rgxTabs[index] = points * 20;
    format.cTabCount = static_cast<SHORT>(std::max<int>(format.cTabCount, index + 1));
    Set(format);
}

void TKyParaAttributes::Assign(TKyParaAttributes& other)
{
    PARAFORMAT2 format = other.Get();
    format.dwMask = PFM_ALIGNMENT | PFM_NUMBERING | PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_TABSTOPS;
    Set(format);
}

// --- TKyCustomRichEdit ---------------------------------------------------

TKyCustomRichEdit::TKyCustomRichEdit(TComponent* owner)
    : TWinControl(owner), lines_(*this), defAttributes_(*this, TKyTextAttributes::TAttributeType::atDefaultText),
      selAttributes_(*this, TKyTextAttributes::TAttributeType::atSelected),
      wordAttributes_(*this, TKyTextAttributes::TAttributeType::atWord), paragraph_(*this),
      loadWarning_([this] { return TickCount ? TickCount() : GetTickCount64(); }),
      oleCallback_(std::make_unique<TRichEditOleCallback>(*this))
{
    SetBounds(0, 0, 185, 89);
    TWinControl::SetColor(clWindow);
}

TKyCustomRichEdit::~TKyCustomRichEdit()
{
    if (richEditOle_)
        richEditOle_->Release();
    richEditOle_ = nullptr;
    // The window outlives this destructor (the base class destroys it) and
    // releases its OLE callback as it goes: it must let go of the callback
    // now, while the callback still exists, or it calls into freed memory.
    if (HandleAllocated())
        Send(handle_, EM_SETOLECALLBACK, 0, 0);
}

void TKyCustomRichEdit::CreateParams(TCreateParams& params)
{
    LoadRichEditLibrary();
    TWinControl::CreateParams(params);
    params.WinClassName = MSFTEDIT_CLASS;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | ES_MULTILINE | ES_SAVESEL | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth)
        params.Style |= WS_VSCROLL | ES_AUTOVSCROLL;
    if (!wordWrap_) {
        params.Style |= ES_AUTOHSCROLL;
        if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth)
            params.Style |= WS_HSCROLL;
    }
    if (!hideScrollBars_)
        params.Style |= ES_DISABLENOSCROLL;
    if (selectionBar_)
        params.Style |= ES_SELECTIONBAR;
    if (!hideSelection_)
        params.Style |= ES_NOHIDESEL;
    if (readOnly_)
        params.Style |= ES_READONLY;
}

void TKyCustomRichEdit::ApplyTextMode()
{
    const WPARAM undo = undoLimit_ < 2 ? TM_SINGLELEVELUNDO : TM_MULTILEVELUNDO;
    Send(handle_, EM_SETTEXTMODE, (plainText_ ? TM_PLAINTEXT : TM_RICHTEXT) | undo);
}

void TKyCustomRichEdit::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    Send(handle_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED | ENM_LINK);
    Send(handle_, EM_SETBKGNDCOLOR, 0, ColorToRGB(Color()));
    Send(handle_, EM_EXLIMITTEXT, 0, maxLength_ == 0 ? 0xFFFFFF : maxLength_);
    Send(handle_, EM_SETOPTIONS, wordSelection_ ? ECOOP_OR : ECOOP_AND,
         wordSelection_ ? ECO_AUTOWORDSELECTION : ~static_cast<LPARAM>(ECO_AUTOWORDSELECTION));
    Send(handle_, EM_AUTOURLDETECT, autoURLDetect_);
    undoLimit_ = static_cast<int>(Send(handle_, EM_SETUNDOLIMIT, undoLimit_));
    ApplyTextMode();
    Send(handle_, EM_SETLANGOPTIONS, 0,
         ((langOptions_ & rlAutoKeyboard) ? IMF_AUTOKEYBOARD : 0) | ((langOptions_ & rlAutoFont) ? IMF_AUTOFONT : 0) |
             ((langOptions_ & rlImeCancelComplete) ? IMF_IMECANCELCOMPLETE : 0) |
             ((langOptions_ & rlImeAlwaysSendNotify) ? IMF_IMEALWAYSSENDNOTIFY : 0));
    if (allowObjects_) {
        Send(handle_, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(oleCallback_->Interface()));
        if (Send(handle_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&richEditOle_)) && richEditOle_) {
            std::wstring app = Application ? Application->Title() : std::wstring();
            if (app.empty()) {
                wchar_t path[MAX_PATH]{};
                GetModuleFileNameW(nullptr, path, MAX_PATH);
                app = path;
                app.erase(0, app.find_last_of(L"\\/") + 1);
            }
            const std::wstring document = Title.empty() ? app : Title;
            std::string appA(app.begin(), app.end());
            std::string docA(document.begin(), document.end());
            richEditOle_->SetHostNames(appA.c_str(), docA.c_str());
        }
    }
}

void TKyCustomRichEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    // The kept text goes in after the font, which would reset its formatting.
    if (kept_.Size() > 0) {
        kept_.SetPosition(0);
        TConversion unchanged;
        std::exception_ptr failure;
        const DWORD error = StreamIn(kept_, unchanged, keptRich_ ? SF_RTF : (SF_TEXT | SF_UNICODE), false, failure);
        if (error != 0)
            TraceIgnoredFailure(L"Text nach Neuerstellung des Fensters", error);
        kept_.Clear();
    }
    Send(handle_, EM_SETMODIFY, modified_);
}

void TKyCustomRichEdit::DestroyWnd()
{
    if (HandleAllocated() && dropTextOnRecreate_) {
        modified_ = false;
        kept_.Clear();
        if (richEditOle_) {
            richEditOle_->Release();
            richEditOle_ = nullptr;
        }
    } else if (HandleAllocated()) {
        modified_ = Modified();
        keptRich_ = !plainText_;
        kept_.Clear();
        TConversion unchanged;
        try {
            if (StreamOut(kept_, unchanged, keptRich_ ? SF_RTF : (SF_TEXT | SF_UNICODE), false) != 0)
                TraceIgnoredFailure(L"Text vor Neuerstellung des Fensters", 0);
        } catch (...) {
            TraceIgnoredException(L"Text vor Neuerstellung des Fensters");
        }
        if (richEditOle_) {
            richEditOle_->Release();
            richEditOle_ = nullptr;
        }
    }
    TWinControl::DestroyWnd();
}

DWORD TKyCustomRichEdit::StreamIn(TStream& stream, TConversion& conversion, unsigned format, bool convert,
                                  std::exception_ptr& failure)
{
    conversion.BeginTransfer(convert);
    TStreamCookie cookie{this, &stream, &conversion, {}, {}};
    if (warnOnLoad_)
        cookie.goOn = [this](uint64_t position) { return GoOnLoading(position); };
    EDITSTREAM editStream{reinterpret_cast<DWORD_PTR>(&cookie), 0, ReadCallback};
    Send(Handle(), EM_STREAMIN, format, reinterpret_cast<LPARAM>(&editStream));
    failure = cookie.error;
    return editStream.dwError;
}

DWORD TKyCustomRichEdit::StreamOut(TStream& stream, TConversion& conversion, unsigned format, bool convert)
{
    conversion.BeginTransfer(convert);
    TStreamCookie cookie{this, &stream, &conversion, {}, {}};
    EDITSTREAM editStream{reinterpret_cast<DWORD_PTR>(&cookie), 0, WriteCallback};
    Send(Handle(), EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&editStream));
    if (cookie.error)
        std::rethrow_exception(cookie.error);
    if (editStream.dwError == 0)
        conversion.EndWrite(stream);
    return editStream.dwError;
}

bool TKyCustomRichEdit::GoOnLoading(uint64_t position)
{
    TLoadWarningStep step = loadWarning_.Check(position);
    if (step == TLoadWarningStep::lwAsk) {
        const std::u16string text = TLoadWarning::Question(position);
        const std::wstring question(text.begin(), text.end());
        const bool goOn = OnLoadQuestion ? OnLoadQuestion(question)
                                         : MessageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
        step = loadWarning_.Answer(goOn);
    }
    return step != TLoadWarningStep::lwStop;
}

std::wstring TKyCustomRichEdit::Text()
{
    HWND window = Handle();
    GETTEXTLENGTHEX lengthInfo{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    const LRESULT length = Send(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthInfo));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    get.flags = GT_USECRLF;
    get.codepage = 1200;
    const LRESULT copied =
        Send(window, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

void TKyCustomRichEdit::SetText(const std::wstring& text)
{
    // Replacing the whole text is not reported as a change meanwhile.
    HWND window = Handle();
    const LRESULT mask = Send(window, EM_GETEVENTMASK);
    Send(window, EM_SETEVENTMASK, 0, mask & ~ENM_CHANGE);
    ScopeExit restore([&] { Send(window, EM_SETEVENTMASK, 0, mask); });
    SETTEXTEX set{ST_DEFAULT, 1200};
    Send(window, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.c_str()));
}

void TKyCustomRichEdit::Clear()
{
    if (richEditOle_) {
        const LONG objects = richEditOle_->GetObjectCount();
        for (LONG i = 0; i < objects; ++i) {
            REOBJECT object{};
            object.cbStruct = sizeof object;
            if (SUCCEEDED(richEditOle_->GetObject(i, &object, REO_GETOBJ_POLEOBJ)) && object.poleobj) {
                object.poleobj->Close(OLECLOSE_NOSAVE);
                object.poleobj->Release();
            }
        }
    }
    // The control deletes its text run by run, in time growing with the
    // square of the runs: a large text of many short runs (a binary file
    // shown as text) would hold the window for seconds. A new window is
    // empty at once.
    if (HandleAllocated() && TextLength(Handle()) > kClearByNewWindow) {
        dropTextOnRecreate_ = true;
        ScopeExit keepNext([this] { dropTextOnRecreate_ = false; });
        RecreateWnd();
    } else {
        SetText(L"");
    }
    SetModified(false);
}

void TKyCustomRichEdit::SetPlainText(bool plain)
{
    if (plain == plainText_)
        return;
    plainText_ = plain;
    if (!HandleAllocated())
        return;
    // The mode can only change while the control is empty: the text goes out
    // and comes back in the new mode. It goes as plain text either way, so a
    // switch to plain text really drops the formatting.
    TMemoryStream saved;
    TConversion unchanged;
    const unsigned format = SF_TEXT | SF_UNICODE;
    const bool modified = Modified();
    if (StreamOut(saved, unchanged, format, false) != 0)
        throw EOutOfResources(L"Das Speichern des Streams ist misslungen");
    SetText(L"");
    Send(handle_, EM_EMPTYUNDOBUFFER);
    ApplyTextMode();
    saved.SetPosition(0);
    std::exception_ptr failure;
    if (StreamIn(saved, unchanged, format, false, failure) != 0)
        throw EOutOfResources(L"Das Laden des Streams ist misslungen");
    SetModified(modified);
}

void TKyCustomRichEdit::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (HandleAllocated())
        Send(handle_, EM_SETREADONLY, readOnly);
}

void TKyCustomRichEdit::SetWordWrap(bool wrap)
{
    if (wrap == wordWrap_)
        return;
    wordWrap_ = wrap;
    RecreateWnd();
}

void TKyCustomRichEdit::SetHideScrollBars(bool hide)
{
    if (hide == hideScrollBars_)
        return;
    hideScrollBars_ = hide;
    RecreateWnd();
}

void TKyCustomRichEdit::SetHideSelection(bool hide)
{
    if (hide == hideSelection_)
        return;
    hideSelection_ = hide;
    if (HandleAllocated())
        Send(handle_, EM_HIDESELECTION, hide, TRUE);
}

void TKyCustomRichEdit::SetSelectionBar(bool on)
{
    if (on == selectionBar_)
        return;
    selectionBar_ = on;
    RecreateWnd();
}

void TKyCustomRichEdit::SetScrollBars(TScrollStyle bars)
{
    if (bars == scrollBars_)
        return;
    scrollBars_ = bars;
    RecreateWnd();
}

void TKyCustomRichEdit::SetAllowObjects(bool allow)
{
    if (allow == allowObjects_)
        return;
    allowObjects_ = allow;
    RecreateWnd();
}

void TKyCustomRichEdit::SetAutoURLDetect(bool detect)
{
    autoURLDetect_ = detect;
    if (HandleAllocated())
        Send(handle_, EM_AUTOURLDETECT, detect);
}

void TKyCustomRichEdit::SetWordSelection(bool on)
{
    wordSelection_ = on;
    if (HandleAllocated())
        Send(handle_, EM_SETOPTIONS, on ? ECOOP_OR : ECOOP_AND,
             on ? ECO_AUTOWORDSELECTION : ~static_cast<LPARAM>(ECO_AUTOWORDSELECTION));
}

void TKyCustomRichEdit::SetLangOptions(TRichLangOptions options)
{
    langOptions_ = options;
    if (HandleAllocated())
        RecreateWnd();
}

void TKyCustomRichEdit::SetUndoLimit(int limit)
{
    undoLimit_ = limit;
    if (HandleAllocated())
        undoLimit_ = static_cast<int>(Send(handle_, EM_SETUNDOLIMIT, limit));
}

void TKyCustomRichEdit::SetMaxLength(int length)
{
    maxLength_ = length;
    if (HandleAllocated())
        Send(handle_, EM_EXLIMITTEXT, 0, length == 0 ? 0xFFFFFF : length);
}

void TKyCustomRichEdit::SetColor(TColor color)
{
    TWinControl::SetColor(color);
    if (HandleAllocated())
        Send(handle_, EM_SETBKGNDCOLOR, 0, ColorToRGB(color));
}

void TKyCustomRichEdit::FontChanged()
{
    TWinControl::FontChanged();
    // The default text follows the control's font.
    if (HandleAllocated())
        defAttributes_.Assign(Font());
}

bool TKyCustomRichEdit::Modified()
{
    return HandleAllocated() ? Send(handle_, EM_GETMODIFY) != 0 : modified_;
}

void TKyCustomRichEdit::SetModified(bool modified)
{
    modified_ = modified;
    if (HandleAllocated())
        Send(handle_, EM_SETMODIFY, modified);
}

int TKyCustomRichEdit::SelStart()
{
    CHARRANGE range{};
    Send(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin;
}

void TKyCustomRichEdit::SetSelStart(int start)
{
    CHARRANGE range{start, start};
    Send(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int TKyCustomRichEdit::SelLength()
{
    CHARRANGE range{};
    Send(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax - range.cpMin;
}

void TKyCustomRichEdit::SetSelLength(int length)
{
    CHARRANGE range{};
    Send(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    range.cpMax = range.cpMin + length;
    Send(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

std::wstring TKyCustomRichEdit::SelText()
{
    std::wstring text(static_cast<size_t>(SelLength()) + 1, L'\0');
    const LRESULT copied = Send(handle_, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

void TKyCustomRichEdit::SetSelText(const std::wstring& text)
{
    const int start = SelStart();
    Send(Handle(), EM_REPLACESEL, undoLimit_ > 1, reinterpret_cast<LPARAM>(text.c_str()));
    // The inserted text is selected and shown.
    CHARRANGE range{start, start + static_cast<LONG>(text.size())};
    Send(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    Send(handle_, EM_SCROLLCARET);
}

POINT TKyCustomRichEdit::CaretPos()
{
    const int position = SelStart();
    const LRESULT line = Send(handle_, EM_EXLINEFROMCHAR, 0, position);
    const LRESULT lineStart = Send(handle_, EM_LINEINDEX, line);
    return POINT{static_cast<LONG>(position - lineStart), static_cast<LONG>(line)};
}

void TKyCustomRichEdit::Undo()
{
    Send(Handle(), EM_UNDO);
}

bool TKyCustomRichEdit::CanUndo()
{
    return Send(Handle(), EM_CANUNDO) != 0;
}

int TKyCustomRichEdit::FindText(const std::wstring& text, int start, int length, unsigned options)
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
    const LRESULT found = Send(Handle(), EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find));
    if (found >= 0 && (options & stSelect)) {
        Send(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
        Send(handle_, EM_SCROLLCARET);
    }
    return static_cast<int>(found);
}

int TKyCustomRichEdit::FormatPages(HDC dc, const std::wstring& /*caption*/, bool render)
{
    const int saved = SaveDC(dc);
    ScopeExit restore([&] {
        // Release the control's formatting cache and the device's mapping mode.
        Send(handle_, EM_FORMATRANGE, FALSE, 0);
        RestoreDC(dc, saved);
    });
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    int width = GetDeviceCaps(dc, PHYSICALWIDTH);
    int height = GetDeviceCaps(dc, PHYSICALHEIGHT);
    if (width <= 0 || height <= 0) {
        width = GetDeviceCaps(dc, HORZRES);
        height = GetDeviceCaps(dc, VERTRES);
    }
    const auto twipsX = [&](int pixels) { return MulDiv(pixels, 1440, dpiX); };
    const auto twipsY = [&](int pixels) { return MulDiv(pixels, 1440, dpiY); };
    FORMATRANGE range{};
    range.hdc = dc;
    range.hdcTarget = dc;
    range.rcPage = RECT{0, 0, twipsX(width), twipsY(height)};
    range.rc = IsRectEmpty(&PageRect)
                   ? range.rcPage
                   : RECT{twipsX(PageRect.left), twipsY(PageRect.top), twipsX(PageRect.right), twipsY(PageRect.bottom)};
    const LONG length = TextLength(Handle());
    range.chrg = CHARRANGE{0, -1};
    const bool printing = GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER;
    int pages = 0;
    do {
        if (render && printing)
            StartPage(dc);
        const LONG next = static_cast<LONG>(Send(handle_, EM_FORMATRANGE, render, reinterpret_cast<LPARAM>(&range)));
        if (render && printing)
            EndPage(dc);
        ++pages;
        if (next <= range.chrg.cpMin || next < 0)
            break;
        range.chrg.cpMin = next;
    } while (range.chrg.cpMin < length);
    return pages;
}

void TKyCustomRichEdit::Print(const std::wstring& caption)
{
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgW(&dialog) || !dialog.hDC)
        throw EInvalidOperation(L"Kein Standarddrucker vorhanden");
    TOwnDC printer(dialog.hDC);
    ScopeExit freeSettings([&] {
        GlobalFree(dialog.hDevMode);
        GlobalFree(dialog.hDevNames);
    });
    DOCINFOW document{};
    document.cbSize = sizeof document;
    document.lpszDocName = caption.c_str();
    if (StartDocW(dialog.hDC, &document) <= 0)
        throw EInvalidOperation(L"Druckauftrag kann nicht begonnen werden");
    ScopeExit endDocument([&] { EndDoc(dialog.hDC); });
    FormatPages(dialog.hDC, caption, true);
}

void TKyCustomRichEdit::RequestSize(const RECT& rect)
{
    if (OnResizeRequest)
        OnResizeRequest(this, rect);
}

void TKyCustomRichEdit::HandleLink(UINT mouseMessage, long cpMin, long cpMax)
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
        if (same && OnURLClick) {
            std::wstring url(static_cast<size_t>(cpMax - cpMin) + 1, L'\0');
            TEXTRANGEW range{{cpMin, cpMax}, url.data()};
            url.resize(static_cast<size_t>(Send(handle_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
            OnURLClick(this, url, mouseMessage == WM_LBUTTONUP ? TMouseButton::mbLeft : TMouseButton::mbRight);
        }
        if (mouseMessage == WM_RBUTTONUP) {
            POINT screen{};
            GetCursorPos(&screen);
            Send(handle_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle_), MAKELPARAM(screen.x, screen.y));
        }
        break;
    }
    default:
        break;
    }
}

bool TKyCustomRichEdit::ShowVerbMenu(POINT screen)
{
    if (!AutoVerbMenu || !richEditOle_)
        return false;
    REOBJECT object{};
    object.cbStruct = sizeof object;
    if (FAILED(richEditOle_->GetObject(REO_IOB_SELECTION, &object, REO_GETOBJ_POLEOBJ)) || !object.poleobj)
        return false;
    IOleObject* ole = object.poleobj;
    ScopeExit release([&] { ole->Release(); });
    if (object.dwFlags & REO_LINK)
        return false;
    const HMENU menu = CreatePopupMenu();
    ScopeExit destroyMenu([menu] { DestroyMenu(menu); });
    IEnumOLEVERB* verbs = nullptr;
    int added = 0;
    if (SUCCEEDED(ole->EnumVerbs(&verbs)) && verbs) {
        ScopeExit releaseVerbs([&] { verbs->Release(); });
        OLEVERB verb{};
        while (verbs->Next(1, &verb, nullptr) == S_OK) {
            if (verb.lVerb >= 0 && (verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU) && verb.lpszVerbName) {
                // Menu ids start at 1: verb n has id n + 1.
                AppendMenuW(menu, MF_STRING | verb.fuFlags, static_cast<UINT_PTR>(verb.lVerb) + 1, verb.lpszVerbName);
                ++added;
            }
            CoTaskMemFree(verb.lpszVerbName);
        }
    }
    if (added == 0)
        return false;
    SetMenuDefaultItem(menu, 1, FALSE);
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, handle_, nullptr);
    if (chosen > 0) {
        RECT client{};
        GetClientRect(handle_, &client);
        const HRESULT result = ole->DoVerb(chosen - 1, nullptr, object.polesite, 0, handle_, &client);
        if (FAILED(result))
            TraceIgnoredFailure(L"Verb des eingebetteten Objekts", static_cast<DWORD>(result));
    }
    return true;
}

void TKyCustomRichEdit::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == EN_CHANGE && !internalChange_ && OnChange)
            OnChange(this);
        return;
    case CN_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(message.LParam);
        message.Result = 0;
        switch (header.code) {
        case EN_LINK: {
            const auto& link = reinterpret_cast<const ENLINK&>(header);
            HandleLink(link.msg, link.chrg.cpMin, link.chrg.cpMax);
            break;
        }
        case EN_SELCHANGE:
            if (OnSelectionChange)
                OnSelectionChange(this);
            break;
        case EN_REQUESTRESIZE:
            RequestSize(reinterpret_cast<const REQRESIZE&>(header).rc);
            break;
        case EN_PROTECTED: {
            const auto& change = reinterpret_cast<const ENPROTECTED&>(header);
            bool allow = true;
            if (OnProtectChangeEx)
                OnProtectChangeEx(this, change.msg, change.chrg.cpMin, change.chrg.cpMax, allow);
            else if (OnProtectChange)
                OnProtectChange(this, change.chrg.cpMin, change.chrg.cpMax, allow);
            message.Result = allow ? 0 : 1;
            break;
        }
        case EN_SAVECLIPBOARD: {
            const auto& save = reinterpret_cast<const ENSAVECLIPBOARD&>(header);
            bool keep = true;
            if (OnSaveClipboard)
                OnSaveClipboard(this, save.cObjectCount, save.cch, keep);
            message.Result = keep ? 0 : 1;
            break;
        }
        default:
            break;
        }
        return;
    }
    case WM_CONTEXTMENU: {
        POINT screen{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        if (ShowVerbMenu(screen)) {
            message.Result = 0;
            return;
        }
        break;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv
