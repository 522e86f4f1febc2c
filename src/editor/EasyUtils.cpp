#include "editor/EasyUtils.h"

#include "editor/WideText.h"
#include "framework/Encoding.h"
#include "framework/Streams.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

TEasyCharSet MakeSet(std::initializer_list<std::pair<int, int>> ranges)
{
    TEasyCharSet set;
    for (const auto& [first, last] : ranges)
        for (int c = first; c <= last; ++c)
            set.set(c);
    return set;
}

char16_t AsciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

bool StartsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view upperPrefix)
{
    if (text.size() < upperPrefix.size())
        return false;
    for (size_t i = 0; i < upperPrefix.size(); ++i)
        if (AsciiUpper(text[i]) != upperPrefix[i])
            return false;
    return true;
}

bool IsBlankOrControl(char16_t c)
{
    return c <= 32 && c != 1;
}

}  // namespace

// Streams may hand out less than asked before their end.
size_t ReadUpTo(TStream& stream, void* buffer, size_t count)
{
    size_t total = 0;
    while (total < count) {
        const size_t got = stream.Read(static_cast<char*>(buffer) + total, count - total);
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

const TEasyCharSet& WordChars()
{
    static const TEasyCharSet set = MakeSet({{'0', '9'}, {'A', 'Z'}, {'_', '_'}, {'a', 'z'}});
    return set;
}

const TEasyCharSet& BlankChars()
{
    static const TEasyCharSet set = MakeSet({{1, 32}});
    return set;
}

const TEasyCharSet& PunctuationChars()
{
    static const TEasyCharSet set = MakeSet({{33, 38}, {40, 47}, {58, 59}, {61, 61}, {63, 64}, {91, 94}, {123, 125}});
    return set;
}

const TEasyCharSet& UrlChars()
{
    static const TEasyCharSet set = MakeSet({{45, 47}, {58, 58}, {61, 61}, {63, 64}, {126, 126}});
    return set;
}

const TEasyCharSet& DefaultDelimiters()
{
    static const TEasyCharSet set = MakeSet({{0, 0}, {2, 32}});
    return set;
}

bool IsUnmarkedUtf16(std::string_view head)
{
    const size_t units = head.size() / 2;
    if (units == 0)
        return false;
    size_t zeroHigh = 0;
    for (size_t i = 0; i < units; ++i) {
        const auto low = static_cast<unsigned char>(head[2 * i]);
        const auto high = static_cast<unsigned char>(head[2 * i + 1]);
        if (low == 0 && high == 0)
            return false;  // U+0000 is no text
        if (high == 0)
            ++zeroHigh;
    }
    return zeroHigh * 2 > units;
}

TUnicodeKind DetectUnicodeStream(TStream& stream)
{
    const int64_t start = stream.Position();
    const int64_t size = stream.Size() - start;
    if (size <= 0 || size % 2 != 0)
        return TUnicodeKind::ukNone;
    unsigned char mark[2] = {};
    if (ReadUpTo(stream, mark, 2) < 2)
        return TUnicodeKind::ukNone;
    if (mark[0] == 0xFF && mark[1] == 0xFE)
        return TUnicodeKind::ukMarkLE;
    if (mark[0] == 0xFE && mark[1] == 0xFF)
        return TUnicodeKind::ukMarkBE;
    stream.SetPosition(start);
    std::string head(static_cast<size_t>(std::min<int64_t>(size, 256)), '\0');
    head.resize(ReadUpTo(stream, head.data(), head.size()));
    stream.SetPosition(start);
    return IsUnmarkedUtf16(head) ? TUnicodeKind::ukUnmarkedLE : TUnicodeKind::ukNone;
}

bool IsUnicodeStream(TStream& stream)
{
    return DetectUnicodeStream(stream) != TUnicodeKind::ukNone;
}

bool IsMailAddress(std::u16string_view text)
{
    if (StartsWithIgnoringAsciiCase(text, u"MAILTO:"))
        return true;
    const size_t at = text.find(u'@');
    if (at == std::u16string_view::npos || at != text.rfind(u'@') || at + 1 >= text.size())
        return false;
    const char16_t next = text[at + 1];
    if (next >= 256 || !WordChars().test(next))
        return false;
    return text.find(u'.', at + 1) != std::u16string_view::npos;
}

bool IsUrlPrefix(std::u16string_view text)
{
    for (std::u16string_view prefix : {u"WWW.", u"HTTP://", u"HTTPS://", u"GOPHER://", u"FTP://", u"FILE://"})
        if (StartsWithIgnoringAsciiCase(text, prefix))
            return true;
    return false;
}

bool IsUrl(std::u16string_view text)
{
    return IsMailAddress(text) || IsUrlPrefix(text);
}

bool MultiByteCodePage()
{
    // Computed once per installed default encoding.
    static const TEncoding* known = nullptr;
    static bool multiByte = false;
    const TEncoding& encoding = TEncoding::Default();
    if (known != &encoding) {
        multiByte = false;
        for (int b = 0x80; b < 0x100 && !multiByte; ++b)
            multiByte = encoding.IsLeadByte(static_cast<unsigned char>(b));
        known = &encoding;
    }
    return multiByte;
}

namespace {

bool LeadByte(std::string_view text, size_t i)
{
    return TEncoding::Default().IsLeadByte(static_cast<unsigned char>(text[i]));
}

// 0 single, 1 lead, 2 trail for the byte at the 0-based index.
int ByteTypeAt(std::string_view text, size_t index)
{
    size_t i = 0;
    while (i < index) {
        if (LeadByte(text, i) && i + 1 < text.size())
            i += 2;
        else
            ++i;
    }
    if (i > index)
        return 2;
    return LeadByte(text, i) && i + 1 < text.size() ? 1 : 0;
}

}  // namespace

int CharToByteColumn(std::string_view ansiLine, int column)
{
    if (!MultiByteCodePage() || column == INT_MAX || column <= 0)
        return column;
    size_t i = 0;
    for (int k = 0; k < column - 1; ++k) {
        if (i < ansiLine.size() && LeadByte(ansiLine, i) && i + 1 < ansiLine.size())
            i += 2;
        else
            ++i;
    }
    return static_cast<int>(i + 1);
}

int ByteToCharColumn(std::string_view ansiLine, int column)
{
    if (!MultiByteCodePage() || column == INT_MAX || column <= 0)
        return column;
    if (static_cast<size_t>(column) <= ansiLine.size()) {
        int characters = 0;
        size_t i = 0;
        while (i < static_cast<size_t>(column - 1)) {
            i += LeadByte(ansiLine, i) && i + 1 < ansiLine.size() ? 2 : 1;
            ++characters;
        }
        // A column on a trail byte belongs to the character of its lead byte.
        return i > static_cast<size_t>(column - 1) ? characters : characters + 1;
    }
    return column + (CharCount(ansiLine) - static_cast<int>(ansiLine.size()));
}

int CharCount(std::string_view ansiText)
{
    if (!MultiByteCodePage())
        return static_cast<int>(ansiText.size());
    int count = 0;
    for (size_t i = 0; i < ansiText.size(); ++count)
        i += LeadByte(ansiText, i) && i + 1 < ansiText.size() ? 2 : 1;
    return count;
}

bool IsLeadByteAt(std::string_view text, int position)
{
    return MultiByteCodePage() && position >= 1 && static_cast<size_t>(position) <= text.size() &&
           ByteTypeAt(text, position - 1) == 1;
}

bool IsTrailByteAt(std::string_view text, int position)
{
    return MultiByteCodePage() && position >= 1 && static_cast<size_t>(position) <= text.size() &&
           ByteTypeAt(text, position - 1) == 2;
}

bool IsSingleByteAt(std::string_view text, int position)
{
    if (!MultiByteCodePage() || position < 1 || static_cast<size_t>(position) > text.size())
        return true;
    return ByteTypeAt(text, position - 1) == 0;
}

bool InCharSet(char16_t c, const TEasyCharSet& set)
{
    if (c < 0x80)
        return set.test(c);
    const std::string bytes = TEncoding::Default().GetBytes(ToWide(std::u16string_view(&c, 1)));
    return set.test(bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]));
}

int PosFrom(std::u16string_view sub, std::u16string_view text, int from)
{
    if (sub.size() > text.size() || sub.empty())
        return 0;
    const size_t start = from < 1 ? 0 : static_cast<size_t>(from - 1);
    const size_t found = text.find(sub, start);
    return found == std::u16string_view::npos ? 0 : static_cast<int>(found + 1);
}

int LastPosBefore(std::u16string_view sub, std::u16string_view text, int from)
{
    if (sub.size() > text.size() || sub.empty() || from < 1)
        return 0;
    const size_t found = text.rfind(sub, static_cast<size_t>(from - 1));
    return found == std::u16string_view::npos ? 0 : static_cast<int>(found + 1);
}

std::u16string TrimLineBreak(std::u16string_view text)
{
    for (int i = 0; i < 2 && !text.empty() && (text.back() == u'\r' || text.back() == u'\n'); ++i)
        text.remove_suffix(1);
    return std::u16string(text);
}

std::u16string PadRight(std::u16string_view text, size_t length)
{
    std::u16string result(text);
    if (result.size() < length)
        result.append(length - result.size(), u' ');
    return result;
}

int FirstNonBlank(std::u16string_view text)
{
    const size_t found = text.find_first_not_of(u' ');
    return found == std::u16string_view::npos ? static_cast<int>(text.size()) + 1 : static_cast<int>(found) + 1;
}

std::u16string RemoveChars(std::u16string_view text, const TEasyCharSet& set)
{
    std::u16string result;
    result.reserve(text.size());
    for (char16_t c : text)
        if (!InCharSet(c, set))
            result.push_back(c);
    return result;
}

std::u16string_view TrimRightBlanksView(std::u16string_view text)
{
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string TrimRightBlanks(std::u16string_view text)
{
    return std::u16string(TrimRightBlanksView(text));
}

std::u16string TrimWord(std::u16string_view text)
{
    auto trimmed = [](char16_t c) { return c <= 32 || c == u'\'' || (c < 256 && PunctuationChars().test(c)); };
    while (!text.empty() && trimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && trimmed(text.back()))
        text.remove_suffix(1);
    return std::u16string(text);
}

}  // namespace qrv
