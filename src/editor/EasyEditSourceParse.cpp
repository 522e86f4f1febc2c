// The edit source's words, brackets and the parse step that keeps the
// characters' styles current.

#include "editor/EasyEditSource.h"

#include "editor/EasyEditSourceScopes.h"

#include <algorithm>

namespace qrv {

// ---- words and brackets --------------------------------------------------

bool TCustomEasyEditSource::IsDelimiter(char16_t c) const
{
    return InCharSet(c, delimiters_);
}

void TCustomEasyEditSource::WordBounds(TEasyPoint point, int mode, int& start, int& end) const
{
    const std::u16string line = strings_.Get(point.Y);
    const int length = static_cast<int>(line.size());
    start = end = 0;
    if (length == 0)
        return;
    auto wordChar = [&](int position) { return line[position - 1] != 1 && !IsDelimiter(line[position - 1]); };
    // 1-based positions from here on.
    int p = std::min(point.X + 1, length);
    while (p > 0 && line[p - 1] != 1 && IsDelimiter(line[p - 1]))
        --p;
    while (p > 0 && wordChar(p))
        --p;
    const int first = p + 1;
    int q = first;
    while (q <= length && IsDelimiter(line[q - 1]))
        ++q;
    if (q > length) {
        start = first;
        end = 0;
        return;
    }
    start = q;
    int e = q;
    while (e < length && wordChar(e + 1))
        ++e;
    if (mode == wbWordAndSpace && e < length && line[e] == u' ')
        ++e;
    else if (mode == wbWordAndDelimiters)
        while (e < length && IsDelimiter(line[e]))
            ++e;
    end = e;
}

std::u16string TCustomEasyEditSource::WordAtPoint(TEasyPoint point, bool onlyOnWord) const
{
    const std::u16string line = strings_.Get(point.Y);
    if (onlyOnWord &&
        (point.X < 0 || point.X >= static_cast<int>(line.size()) || IsDelimiter(line[static_cast<size_t>(point.X)])))
        return {};
    int start = 0, end = 0;
    WordBounds(point, wbWord, start, end);
    if (end == 0 || start > end)
        return {};
    return line.substr(static_cast<size_t>(start - 1), static_cast<size_t>(end - start + 1));
}

namespace {

char16_t ClosingOf(char16_t c)
{
    switch (c) {
    case u'(':
        return u')';
    case u'<':
        return u'>';
    case u'[':
        return u']';
    case u'{':
        return u'}';
    default:
        return 0;
    }
}

char16_t OpeningOf(char16_t c)
{
    switch (c) {
    case u')':
        return u'(';
    case u'>':
        return u'<';
    case u']':
        return u'[';
    case u'}':
        return u'{';
    default:
        return 0;
    }
}

}  // namespace

bool TCustomEasyEditSource::MatchBracketForward(TEasyPoint point, TEasyPoint& match) const
{
    std::u16string line = strings_.Get(point.Y);
    if (point.X < 0 || point.X >= static_cast<int>(line.size()))
        return false;
    const char16_t open = line[static_cast<size_t>(point.X)];
    const char16_t close = ClosingOf(open);
    if (!close)
        return false;
    int depth = 0;
    size_t from = static_cast<size_t>(point.X);
    for (int y = point.Y; y < strings_.Count();) {
        const size_t o = line.find(open, from);
        const size_t c = line.find(close, from);
        if (o == std::u16string::npos && c == std::u16string::npos) {
            if (++y < strings_.Count())
                line = strings_.Get(y);
            from = 0;
            continue;
        }
        const size_t at = std::min(o, c);
        depth += at == o ? 1 : -1;
        if (depth == 0) {
            match = {static_cast<int>(at), y};
            return true;
        }
        from = at + 1;
    }
    return false;
}

bool TCustomEasyEditSource::MatchBracketBackward(TEasyPoint point, TEasyPoint& match) const
{
    std::u16string line = strings_.Get(point.Y);
    if (point.X < 0 || point.X >= static_cast<int>(line.size()))
        return false;
    const char16_t close = line[static_cast<size_t>(point.X)];
    const char16_t open = OpeningOf(close);
    if (!open)
        return false;
    int depth = 0;
    // Searches at or before limit; npos limit means the whole line.
    size_t limit = static_cast<size_t>(point.X);
    for (int y = point.Y; y >= 0;) {
        const size_t o = line.empty() ? std::u16string::npos : line.rfind(open, limit);
        const size_t c = line.empty() ? std::u16string::npos : line.rfind(close, limit);
        if (o == std::u16string::npos && c == std::u16string::npos) {
            if (--y >= 0)
                line = strings_.Get(y);
            limit = std::u16string::npos;
            continue;
        }
        // The nearer one is the later one; npos is treated as absent.
        size_t at;
        if (o == std::u16string::npos)
            at = c;
        else if (c == std::u16string::npos)
            at = o;
        else
            at = std::max(o, c);
        depth += at == c ? 1 : -1;
        if (depth == 0) {
            match = {static_cast<int>(at), y};
            return true;
        }
        if (at == 0) {
            if (--y >= 0)
                line = strings_.Get(y);
            limit = std::u16string::npos;
        } else {
            limit = at - 1;
        }
    }
    return false;
}

// ---- parsing -------------------------------------------------------------

void TCustomEasyEditSource::EnsureParsed(int line)
{
    line = std::min(line, strings_.Count() - 1);
    if (line < firstUnparsed_)
        return;
    ParseLines(firstUnparsed_, line, false);
    firstUnparsed_ = line + 1;
}

void TCustomEasyEditSource::EnsureParsed(int first, int last)
{
    if (!LinesParseAlone()) {
        EnsureParsed(last);
        return;
    }
    first = std::max(0, first);
    last = std::min(last, strings_.Count() - 1);
    if (first > last)
        return;
    // Each line's own flag says whether its styles are current; the mark
    // of the first unparsed line only moves when the range reaches it.
    ParseLines(first, last, false);
    if (first <= firstUnparsed_ && last >= firstUnparsed_)
        firstUnparsed_ = last + 1;
}

int TCustomEasyEditSource::EnteringState(int line) const
{
    if (line == 0 || LinesParseAlone())
        return parser_ ? parser_->InitialState : 0;
    return strings_.EndState(line - 1);
}

void TCustomEasyEditSource::ParseLines(int from, int to, bool force)
{
    if (!parser_ && !(options_ & (srLiveSpell | srHighlightUrls)))
        return;
    from = std::max(0, from);
    to = std::min(to, strings_.Count() - 1);
    if (from > to)
        return;
    const bool alone = LinesParseAlone();
    int entering = EnteringState(from);
    for (int line = from; line <= to; ++line) {
        const TEasyStringItem* item = strings_.Items(line);
        if (force || !(item->Flags & lfParsed) || item->StartState != static_cast<uint16_t>(entering))
            ParseLine(line, entering);
        if (!alone)
            entering = item->EndState;
    }
}

void TCustomEasyEditSource::ParseLine(int line, int enteringState)
{
    TEasyStringItem* item = strings_.Items(line);
    const std::u16string_view text = item->Text();
    const int length = static_cast<int>(text.size());
    item->StartState = static_cast<uint16_t>(enteringState);
    item->Styles.assign(text.size(), NoStyle);
    int state = enteringState;
    if (parser_) {
        parser_->ParseLine = line;
        int pos = 1;
        while (pos <= length) {
            const int start = pos;
            const int token = parser_->NextToken(state, text, pos);
            // A parser that does not advance still moves on by one character.
            pos = std::clamp(pos, start + 1, length + 1);
            const uint16_t style = token < 0 ? NoStyle : static_cast<uint16_t>(token);
            std::fill(item->Styles.begin() + (start - 1), item->Styles.begin() + (pos - 1), style);
        }
    }
    item->EndState = static_cast<uint16_t>(state);
    item->Flags |= lfParsed;
    if (options_ & srHighlightUrls)
        HighlightUrls(line);
    if ((options_ & srLiveSpell) && OnWordSpell && CanSpell())
        SpellLine(line);
}

void TCustomEasyEditSource::HighlightUrls(int line)
{
    TEasyStringItem* item = strings_.Items(line);
    const std::u16string_view text = item->Text();
    TEasyCharSet urlSet = WordChars() | UrlChars();
    size_t i = 0;
    while (i < text.size()) {
        if (!InCharSet(text[i], urlSet)) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && InCharSet(text[end], urlSet))
            ++end;
        if (IsUrl(text.substr(i, end - i)))
            std::fill(item->Styles.begin() + static_cast<ptrdiff_t>(i),
                      item->Styles.begin() + static_cast<ptrdiff_t>(end), static_cast<uint16_t>(urlStyle_));
        i = end;
    }
}

void TCustomEasyEditSource::SpellLine(int line)
{
    TEasyStringItem* item = strings_.Items(line);
    const std::u16string text(item->Text());
    const TEasyCharSet cut = delimiters_ | PunctuationChars();
    const int caretIndex = line == caret_.Y ? CharIndex(line, caret_.X) : -1;
    size_t i = 0;
    while (i < text.size()) {
        if (InCharSet(text[i], cut)) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !InCharSet(text[end], cut))
            ++end;
        const bool underCaret = caretIndex >= static_cast<int>(i) && caretIndex <= static_cast<int>(end);
        const uint16_t style = item->Styles[i];
        const bool checked =
            !parser_ || (stringStyle_ >= 0 && style == stringStyle_) || (commentStyle_ >= 0 && style == commentStyle_);
        if (!underCaret && checked) {
            const std::u16string word = TrimWord(std::u16string_view(text).substr(i, end - i));
            if (!word.empty() && !DoWordSpell(word)) {
                // Rejected: every character's style moves up by 32,767.
                for (size_t k = i; k < end; ++k) {
                    const uint16_t own = item->Styles[k];
                    item->Styles[k] = own == NoStyle ? 0xFFFE : static_cast<uint16_t>(own + 32767);
                }
            }
        }
        i = end;
    }
}

}  // namespace qrv
