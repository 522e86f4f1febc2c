#include "editor/EasyRtfParser.h"

namespace qrv {

namespace {

bool IsWordChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
}

bool IsHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool IsEscapable(char16_t c)
{
    return c == u'\\' || c == u'{' || c == u'|' || c == u'}';
}

}  // namespace

int TEasyRtfParser::NextToken(int& state, std::u16string_view line, int& pos)
{
    const size_t length = line.size();
    size_t i = pos > 0 ? static_cast<size_t>(pos - 1) : 0;
    if (i >= length)
        return -1;
    TokenState = state;
    const char16_t c = line[i];
    int token = rtText;
    if (c == u'{') {
        ++i;
        token = rtGroupOpen;
    } else if (c == u'}') {
        ++i;
        token = rtGroupClose;
    } else if (c == u'|') {
        ++i;
    } else if (c == u'\\' && (i + 1 >= length || !IsEscapable(line[i + 1]))) {
        token = rtControl;
        ++i;
        if (i < length && IsWordChar(line[i])) {
            while (i < length && IsWordChar(line[i]))
                ++i;
        } else if (i < length && line[i] == u'\'') {
            ++i;
            for (int digit = 0; digit < 2 && i < length && IsHexDigit(line[i]); ++digit)
                ++i;
        } else if (i < length) {
            ++i;
        }
    } else {
        while (i < length) {
            const char16_t d = line[i];
            if (d == u'{' || d == u'}' || d == u'|')
                break;
            if (d == u'\\') {
                if (i + 1 < length && IsEscapable(line[i + 1])) {
                    i += 2;
                    continue;
                }
                break;
            }
            ++i;
        }
    }
    pos = static_cast<int>(i) + 1;
    return token;
}

}  // namespace qrv
