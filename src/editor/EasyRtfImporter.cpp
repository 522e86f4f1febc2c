#include "editor/EasyRtfImporter.h"

#include "editor/WideText.h"
#include "framework/Encoding.h"

#include <algorithm>
#include <array>
#include <limits>

namespace qrv {

namespace {

// The control words understood, in table order.
enum class TWord {
    author,
    b,
    blue,
    cell,
    cf,
    colortbl,
    deff,
    deflang,
    endash,
    f,
    fcharset,
    fi,
    field,
    fnil,
    fonttbl,
    fprq,
    fs,
    green,
    highlight,
    i,
    li,
    line,
    listtext,
    lquote,
    nosupersub,
    object,
    operator_,
    par,
    pard,
    pict,
    plain,
    pnf,
    pnlvlblt,
    pnlvlbody,
    pntext,
    propname,
    qc,
    qj,
    ql,
    qr,
    red,
    ri,
    row,
    rquote,
    rtf,
    staticval,
    strike,
    stylesheet,
    sub,
    super,
    tab,
    title,
    trowd,
    u,
    ul,
    ulnone,
    v,
    unknown
};

constexpr std::array<std::u16string_view, 57> kWords = {
    u"author",     u"b",         u"blue",      u"cell",     u"cf",    u"colortbl",  u"deff",     u"deflang",
    u"endash",     u"f",         u"fcharset",  u"fi",       u"field", u"fnil",      u"fonttbl",  u"fprq",
    u"fs",         u"green",     u"highlight", u"i",        u"li",    u"line",      u"listtext", u"lquote",
    u"nosupersub", u"object",    u"operator",  u"par",      u"pard",  u"pict",      u"plain",    u"pnf",
    u"pnlvlblt",   u"pnlvlbody", u"pntext",    u"propname", u"qc",    u"qj",        u"ql",       u"qr",
    u"red",        u"ri",        u"row",       u"rquote",   u"rtf",   u"staticval", u"strike",   u"stylesheet",
    u"sub",        u"super",     u"tab",       u"title",    u"trowd", u"u",         u"ul",       u"ulnone",
    u"v"};

TWord FindWord(std::u16string_view name)
{
    // The table is in alphabetical order.
    const auto it = std::lower_bound(kWords.begin(), kWords.end(), name);
    if (it == kWords.end() || *it != name)
        return TWord::unknown;
    return static_cast<TWord>(it - kWords.begin());
}

bool IsLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Splits "\name-123" into the name and its parameter; the number saturates
// at the 32-bit range while it is read.
struct TControl {
    std::u16string_view Name;
    bool HasParam = false;
    int32_t Param = -1;
};

TControl SplitControl(std::u16string_view word)
{
    TControl control;
    if (word.size() < 2)
        return control;
    size_t i = 1;
    while (i < word.size() && IsLetter(word[i]))
        ++i;
    control.Name = word.substr(1, i - 1);
    bool negative = false;
    if (i < word.size() && word[i] == u'-') {
        negative = true;
        ++i;
    }
    int64_t value = 0;
    bool digits = false;
    while (i < word.size() && word[i] >= u'0' && word[i] <= u'9') {
        value = std::min<int64_t>(value * 10 + (word[i] - u'0'), int64_t{std::numeric_limits<int32_t>::max()} + 1);
        digits = true;
        ++i;
    }
    if (digits) {
        control.HasParam = true;
        value = negative ? -value : value;
        control.Param = static_cast<int32_t>(
            std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    }
    return control;
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Twips to pixels at 96 per inch, in 64 bits and saturated.
int32_t TwipsToPixels(int32_t twips)
{
    const int64_t pixels = (int64_t{twips} * 100 / 567) * 96 / 254;
    return static_cast<int32_t>(pixels);  // |pixels| < |twips|, so it fits
}

int32_t Scale(int32_t size, int32_t percent)
{
    const int64_t scaled = int64_t{size} * percent / 100;
    return static_cast<int32_t>(std::clamp<int64_t>(scaled, 0, std::numeric_limits<int32_t>::max()));
}

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    return text;
}

// "\\", "\{", "\}" and "\|" become the plain characters.
std::u16string Unescape(std::u16string_view text)
{
    std::u16string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size())
            ++i;
        plain.push_back(text[i]);
    }
    return plain;
}

std::vector<std::u16string> SplitLines(std::u16string_view text)
{
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

bool TEasyRtfImporter::CanImport(TStream& stream)
{
    const int64_t start = stream.Position();
    char head[5] = {};
    const size_t read = stream.Read(head, sizeof head);
    const bool more = read == sizeof head && stream.Size() - start > 4;
    stream.SetPosition(start);
    return more && std::string_view(head, 5) == "{\\rtf";
}

void TEasyRtfImporter::Reset()
{
    ResetAttributes();
    colors_.clear();
    fonts_.clear();
    destination_ = TDestination::Text;
    destinationDepth_ = 0;
    skipping_ = false;
    skipDepth_ = 0;
    paragraphPending_ = false;
    suppressText_ = false;
    lastToken_ = 0;
    pendingFallback_ = 0;
    hexBytes_.clear();
    defaultCharset_ = 1;
    fieldPending_ = false;
    fieldInstruction_.clear();
    picture_ = {};
}

void TEasyRtfImporter::Import(TStream& stream)
{
    Reset();
    const std::u16string text = ToUtf16(TEncoding::UTF8NoBOM().GetString(stream.ReadAll()));
    const std::vector<std::u16string> lines = SplitLines(text);
    for (size_t index = 0; index < lines.size(); ++index) {
        if (OnProgress)
            OnProgress(this, static_cast<int>(std::min<size_t>(index, std::numeric_limits<int>::max())));
        const std::u16string& line = lines[index];
        int state = 0;
        int pos = 1;
        for (;;) {
            const int start = pos;
            const int token = parser_.NextToken(state, line, pos);
            if (token < 0)
                break;
            ProcessToken(token, std::u16string_view(line).substr(start - 1, pos - start));
        }
    }
    FlushHexText();
    // A group left open ends with the text.
    if (destination_ != TDestination::Text)
        EndDestination();
    Flush();
    if (OnProgress)
        OnProgress(this, static_cast<int>(std::min<size_t>(lines.size(), std::numeric_limits<int>::max())));
}

void TEasyRtfImporter::ProcessToken(int token, std::u16string_view text)
{
    const bool hexWord = token == rtControl && text.size() >= 2 && text[1] == u'\'';
    if (!hexWord)
        FlushHexText();
    if (skipping_) {
        if (token == rtGroupOpen) {
            PushRecord();
        } else if (token == rtGroupClose && Depth() > 0) {
            PopRecord();
            if (Depth() < skipDepth_)
                skipping_ = false;
        }
        lastToken_ = token;
        return;
    }
    switch (token) {
    case rtGroupOpen:
        pendingFallback_ = 0;
        OpenGroup();
        break;
    case rtGroupClose:
        pendingFallback_ = 0;
        CloseGroup();
        break;
    case rtText:
        ProcessText(text);
        break;
    case rtControl:
        // Only words of letters end with a delimiting blank; \'hh and
        // the other symbols do not.
        lastWordTakesBlank_ = text.size() >= 2 && IsLetter(text[1]);
        ProcessControl(text, lastToken_);
        break;
    default:
        break;
    }
    lastToken_ = token;
}

void TEasyRtfImporter::OpenGroup()
{
    PushRecord();
}

void TEasyRtfImporter::CloseGroup()
{
    // A "}" without an open group is ignored.
    if (Depth() == 0)
        return;
    if (destination_ == TDestination::FontTable && !Trim(fontName_).empty() && Depth() > destinationDepth_)
        TextInTable(u";");
    PopRecord();
    suppressText_ = false;
    if (destination_ != TDestination::Text && Depth() < destinationDepth_)
        EndDestination();
    if (fieldPending_ && Depth() < fieldDepth_)
        fieldPending_ = false;
}

void TEasyRtfImporter::StartSkip()
{
    skipping_ = true;
    skipDepth_ = Depth();
}

void TEasyRtfImporter::StartDestination(TDestination destination)
{
    destination_ = destination;
    destinationDepth_ = Depth();
    switch (destination) {
    case TDestination::ColorTable:
        colors_.clear();
        red_ = green_ = blue_ = 0;
        break;
    case TDestination::FontTable:
        fonts_.clear();
        defaultCharset_ = 1;
        fontNumber_ = 0;
        fontCharset_ = defaultCharset_;
        fontName_.clear();
        break;
    case TDestination::Picture:
        picture_ = {};
        break;
    case TDestination::FieldInstruction:
        fieldInstruction_.clear();
        break;
    case TDestination::Text:
        break;
    }
}

void TEasyRtfImporter::EndDestination()
{
    const TDestination ended = destination_;
    destination_ = TDestination::Text;
    destinationDepth_ = 0;
    if (ended == TDestination::Picture)
        FinishPicture();
    else if (ended == TDestination::FieldInstruction)
        FinishField();
}

void TEasyRtfImporter::ProcessText(std::u16string_view raw)
{
    if (destination_ == TDestination::ColorTable || destination_ == TDestination::FontTable) {
        TextInTable(raw);
        return;
    }
    if (destination_ == TDestination::Picture) {
        picture_.Hex.append(raw);
        return;
    }
    if (destination_ == TDestination::FieldInstruction) {
        fieldInstruction_ += Unescape(raw);
        return;
    }
    // The blank that ends a control word is not text.
    if (lastToken_ == rtControl && lastWordTakesBlank_ && !raw.empty() && raw.front() == u' ')
        raw.remove_prefix(1);
    std::u16string text = Unescape(raw);
    if (pendingFallback_ > 0) {
        const size_t drop = std::min<size_t>(static_cast<size_t>(pendingFallback_), text.size());
        text.erase(0, drop);
        pendingFallback_ -= static_cast<int32_t>(drop);
    }
    if (!text.empty())
        OutputText(text);
}

void TEasyRtfImporter::OutputText(const std::u16string& text)
{
    if (suppressText_)
        return;
    ApplyAttributes(Attributes);
    Flush();
    Output(text, Attributes, nullptr, Paragraph);
}

void TEasyRtfImporter::OutputObject(TCustomEasyEditorObject& object)
{
    if (suppressText_)
        return;
    ApplyAttributes(Attributes);
    Flush();
    Output(std::u16string(), Attributes, &object, Paragraph);
}

void TEasyRtfImporter::Flush()
{
    if (!paragraphPending_)
        return;
    paragraphPending_ = false;
    Output(u"\r\n", Attributes, nullptr, Paragraph);
}

void TEasyRtfImporter::FlushHexText()
{
    if (hexBytes_.empty())
        return;
    const std::u16string text = ToUtf16(TEncoding::Windows1252().GetString(hexBytes_));
    hexBytes_.clear();
    if (destination_ == TDestination::Text)
        OutputText(text);
    else if (destination_ == TDestination::FontTable)
        fontName_ += text;
    else if (destination_ == TDestination::FieldInstruction)
        fieldInstruction_ += text;
}

int32_t TEasyRtfImporter::UnicodeSkipCount()
{
    for (size_t i = Depth(); i > 0; --i) {
        if (RecordAt(i - 1).UnicodeSkip >= 0)
            return RecordAt(i - 1).UnicodeSkip;
    }
    return 1;
}

void TEasyRtfImporter::ProcessControl(std::u16string_view word, int prevToken)
{
    if (word.size() >= 2 && word[1] == u'\'') {
        // \'hh: one byte of the code page; a missing digit ends the word.
        int value = 0, digits = 0;
        for (size_t i = 2; i < word.size(); ++i, ++digits)
            value = value * 16 + HexDigit(word[i]);
        if (digits == 2 && pendingFallback_ > 0) {
            --pendingFallback_;
            return;
        }
        if (digits == 2)
            hexBytes_.push_back(static_cast<char>(value));
        return;
    }
    // Any other word ends the fallback of a \u.
    pendingFallback_ = 0;
    if (word == u"\\*") {
        if (fieldPending_ && destination_ == TDestination::Text && Depth() == fieldDepth_ + 1 &&
            prevToken == rtGroupOpen)
            StartDestination(TDestination::FieldInstruction);
        else
            StartSkip();
        return;
    }
    const TControl control = SplitControl(word);
    if (control.Name.empty())
        return;
    if (destination_ == TDestination::ColorTable || destination_ == TDestination::FontTable) {
        ControlInTable(control.Name, control.HasParam, control.Param);
        return;
    }
    if (destination_ == TDestination::Picture) {
        ControlInPicture(control.Name, control.HasParam, control.Param);
        return;
    }
    if (destination_ == TDestination::FieldInstruction)
        return;

    const int32_t param = control.Param;
    const bool on = !control.HasParam || param != 0;
    TEasyAttributeRecord& record = Current();
    const auto setStyle = [&record](TFontStyles bit, bool value) {
        record.StyleChanged = true;
        if (value) {
            record.StyleOn |= bit;
            record.StyleOff &= static_cast<TFontStyles>(~bit);
        } else {
            record.StyleOff |= bit;
            record.StyleOn &= static_cast<TFontStyles>(~bit);
        }
    };
    const auto color = [this](int32_t index, TColor& target) {
        if (index >= 0 && static_cast<size_t>(index) < colors_.size()) {
            target = colors_[static_cast<size_t>(index)];
            return true;
        }
        return false;
    };

    switch (FindWord(control.Name)) {
    case TWord::author:
    case TWord::operator_:
    case TWord::propname:
    case TWord::staticval:
    case TWord::stylesheet:
    case TWord::title:
        StartSkip();
        break;
    case TWord::b:
        setStyle(efBold, on);
        break;
    case TWord::i:
        setStyle(efItalic, on);
        break;
    case TWord::strike:
        setStyle(efStrikeOut, on);
        break;
    case TWord::ul:
        setStyle(efUnderline, on);
        break;
    case TWord::ulnone:
        setStyle(efUnderline, false);
        break;
    case TWord::cf: {
        TColor value = 0;
        if (color(control.HasParam ? param : 0, value))
            record.Color = value;
        break;
    }
    case TWord::highlight: {
        TColor value = 0;
        if (param == 0 && !colors_.empty() && colors_[0] == 0) {
            record.BackColor = clNone;
            record.BackColorSet = true;
        } else if (color(param, value)) {
            record.BackColor = value;
            record.BackColorSet = true;
        }
        break;
    }
    case TWord::f:
    case TWord::pnf:
        if (const auto it = fonts_.find(param); it != fonts_.end() && !it->second.Name.empty()) {
            record.FontName = it->second.Name;
            record.Charset = it->second.Charset;
        }
        break;
    case TWord::fs:
        record.Size = std::max(1, (control.HasParam ? param : 72) / 2);
        break;
    case TWord::sub:
    case TWord::super:
    case TWord::nosupersub:
        record.Vertical = FindWord(control.Name) == TWord::sub ? 1 : FindWord(control.Name) == TWord::super ? 2 : 0;
        record.VerticalSet = true;
        break;
    case TWord::cell:
    case TWord::tab:
        OutputText(u"\t");
        break;
    case TWord::endash:
        OutputText(u"-");
        break;
    case TWord::lquote:
    case TWord::rquote:
        OutputText(u"'");
        break;
    case TWord::line:
    case TWord::trowd:
        OutputText(u"\r\n");
        break;
    case TWord::par:
        Flush();
        Paragraph.SetNumbering(false);
        Paragraph.SetNumberingStyle(0);
        paragraphPending_ = true;
        break;
    case TWord::pard:
        Paragraph.SetAlignment(0);
        break;
    case TWord::ql:
        Paragraph.SetAlignment(0);
        break;
    case TWord::qr:
        Paragraph.SetAlignment(1);
        break;
    case TWord::qc:
        Paragraph.SetAlignment(2);
        break;
    case TWord::qj:
        Paragraph.SetAlignment(3);
        break;
    case TWord::fi:
        Paragraph.SetFirstIndent(TwipsToPixels(param));
        break;
    case TWord::li:
        Paragraph.SetLeftIndent(TwipsToPixels(param));
        break;
    case TWord::ri:
        Paragraph.SetRightIndent(TwipsToPixels(param));
        break;
    case TWord::listtext:
    case TWord::pntext:
        Paragraph.SetNumberingStyle(FindWord(control.Name) == TWord::listtext ? 2 : 1);
        Paragraph.SetNumbering(true);
        if (prevToken == rtGroupOpen)
            suppressText_ = true;
        break;
    case TWord::field:
        fieldPending_ = true;
        fieldDepth_ = Depth();
        break;
    case TWord::colortbl:
        StartDestination(TDestination::ColorTable);
        break;
    case TWord::fonttbl:
        StartDestination(TDestination::FontTable);
        break;
    case TWord::pict:
        StartDestination(TDestination::Picture);
        break;
    case TWord::plain: {
        const auto first = fonts_.find(0);
        if (first != fonts_.end() && !first->second.Name.empty()) {
            record.FontName = first->second.Name;
            record.Charset = first->second.Charset;
        } else {
            record.FontName = Font.Name;
            record.Charset = Font.Charset;
        }
        record.Size = 12;
        record.Color = Font.Color;
        record.BackColor = clNone;
        record.BackColorSet = true;
        record.StyleChanged = true;
        record.StyleOn = 0;
        record.StyleOff = efBold | efItalic | efUnderline | efStrikeOut;
        break;
    }
    case TWord::u: {
        // Negative parameters stand for the upper half of the 16-bit range.
        const int32_t code = param < 0 ? param + 65536 : param;
        if (code >= 0 && code <= 0xFFFF)
            OutputText(std::u16string(1, static_cast<char16_t>(code)));
        pendingFallback_ = UnicodeSkipCount();
        break;
    }
    default:
        if (control.Name == u"uc" && control.HasParam)
            record.UnicodeSkip = std::max(0, param);
        break;
    }
}

void TEasyRtfImporter::ControlInTable(std::u16string_view word, bool hasParam, int32_t param)
{
    const int32_t component = std::clamp(hasParam ? param : 0, 0, 255);
    if (destination_ == TDestination::ColorTable) {
        if (word == u"red")
            red_ = component;
        else if (word == u"green")
            green_ = component;
        else if (word == u"blue")
            blue_ = component;
        return;
    }
    if (word == u"f" && hasParam)
        fontNumber_ = param;
    else if (word == u"fcharset" && hasParam)
        fontCharset_ = static_cast<uint8_t>(std::clamp(param, 0, 255));
}

void TEasyRtfImporter::TextInTable(std::u16string_view text)
{
    for (char16_t c : text) {
        if (c != u';') {
            if (destination_ == TDestination::FontTable)
                fontName_.push_back(c);
            continue;
        }
        if (destination_ == TDestination::ColorTable) {
            colors_.push_back(red_ + green_ * 256 + blue_ * 65536);
            red_ = green_ = blue_ = 0;
        } else {
            TFontEntry entry;
            entry.Name = ToWide(Trim(Unescape(fontName_)));
            entry.Charset = fontCharset_;
            fonts_[fontNumber_] = std::move(entry);
            fontName_.clear();
            defaultCharset_ = 0;
            fontCharset_ = defaultCharset_;
        }
    }
}

void TEasyRtfImporter::ControlInPicture(std::u16string_view word, bool hasParam, int32_t param)
{
    if (word == u"dibitmap" || word == u"wbitmap") {
        picture_.Kind = static_cast<int>(TEasyRtfPictureKind::Bitmap);
    } else if (word == u"wmetafile") {
        picture_.Kind = static_cast<int>(TEasyRtfPictureKind::Metafile);
        picture_.MapMode = hasParam ? param : 8;
    } else if (word == u"emfblip") {
        picture_.Kind = static_cast<int>(TEasyRtfPictureKind::EnhMetafile);
    } else if (word == u"pngblip" || word == u"jpegblip" || word == u"macpict" || word == u"pmmetafile") {
        picture_.Kind = -1;
    } else if (word == u"picw") {
        picture_.Width = param;
    } else if (word == u"pich") {
        picture_.Height = param;
    } else if (word == u"picscalex") {
        picture_.ScaleX = hasParam ? param : 100;
    } else if (word == u"picscaley") {
        picture_.ScaleY = hasParam ? param : 100;
    }
}

void TEasyRtfImporter::FinishPicture()
{
    TPictureState state = std::move(picture_);
    picture_ = {};
    if (state.Kind < 0)
        return;
    const std::string bytes = RtfHexDecode(state.Hex);
    TEasyRtfPicture picture;
    picture.Kind = static_cast<TEasyRtfPictureKind>(state.Kind);
    // The size asked for: pixels for bitmaps and text-mode metafiles,
    // hundredths of millimetres otherwise.
    int32_t width = state.Width, height = state.Height;
    switch (picture.Kind) {
    case TEasyRtfPictureKind::Bitmap: {
        const auto info = CheckDib(bytes);
        auto file = BitmapFileFromDib(bytes);
        if (!info || !file)
            return;
        picture.Data = std::move(*file);
        picture.PictureWidth = info->Width;
        picture.PictureHeight = info->Height;
        break;
    }
    case TEasyRtfPictureKind::Metafile: {
        if (!CheckMetafile(bytes) || width <= 0 || height <= 0)
            return;
        if (state.MapMode != 1) {
            width = HimetricToPixels(width);
            height = HimetricToPixels(height);
        }
        picture.PictureWidth = width;
        picture.PictureHeight = height;
        picture.Data = PlaceableMetafileHeader(width, height) + bytes;
        break;
    }
    case TEasyRtfPictureKind::EnhMetafile: {
        if (!CheckEnhMetafile(bytes))
            return;
        // The frame of the header, in hundredths of millimetres.
        const auto frame = [&bytes](size_t offset) {
            int32_t value = 0;
            for (int i = 3; i >= 0; --i)
                value =
                    static_cast<int32_t>((static_cast<uint32_t>(value) << 8) | static_cast<uint8_t>(bytes[offset + i]));
            return int64_t{value};
        };
        picture.PictureWidth = HimetricToPixels(std::max<int64_t>(0, frame(32) - frame(24)));
        picture.PictureHeight = HimetricToPixels(std::max<int64_t>(0, frame(36) - frame(28)));
        if (width > 0)
            width = HimetricToPixels(width);
        if (height > 0)
            height = HimetricToPixels(height);
        picture.Data = bytes;
        break;
    }
    }
    if (width <= 0)
        width = picture.PictureWidth;
    if (height <= 0)
        height = picture.PictureHeight;
    width = Scale(width, state.ScaleX);
    height = Scale(height, state.ScaleY);
    picture.SetWidth(width);
    picture.SetHeight(height);
    picture.Stretched = !(state.ScaleX == 100 && state.ScaleY == 100 && width == picture.PictureWidth &&
                          height == picture.PictureHeight);
    OutputObject(picture);
}

void TEasyRtfImporter::FinishField()
{
    std::u16string_view instruction = Trim(fieldInstruction_);
    constexpr std::u16string_view kHyperlink = u"HYPERLINK";
    if (instruction.substr(0, kHyperlink.size()) != kHyperlink || fieldDepth_ == 0 || fieldDepth_ > Depth())
        return;
    instruction = Trim(instruction.substr(kHyperlink.size()));
    std::u16string_view target;
    if (!instruction.empty() && instruction.front() == u'"') {
        instruction.remove_prefix(1);
        target = instruction.substr(0, instruction.find(u'"'));
    } else {
        target = instruction.substr(0, instruction.find(u' '));
    }
    if (target.empty())
        return;
    TEasyAttributeRecord& fieldRecord = RecordAt(fieldDepth_ - 1);
    fieldRecord.LinkTarget = std::u16string(target);
    fieldRecord.LinkSet = true;
}

}  // namespace qrv
