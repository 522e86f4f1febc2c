#include "viewers/HexDocumentLayout.h"

#include <algorithm>

namespace qrv {

namespace {

std::wstring Digits(uint64_t value, unsigned base)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    do {
        text.insert(text.begin(), kDigits[value % base]);
        value /= base;
    } while (value);
    return text;
}

std::wstring PadLeft(std::wstring text, int width, wchar_t fill)
{
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), fill);
    return text;
}

}  // namespace

int OffsetColumnChars(TOffsetDisplayStyle style, int64_t lastRowOffset)
{
    const auto offset = static_cast<uint64_t>(std::max<int64_t>(0, lastRowOffset));
    switch (style) {
    case TOffsetDisplayStyle::odHex:
        return static_cast<int>(Digits(offset, 16).size()) + 3;
    case TOffsetDisplayStyle::odDec:
        return static_cast<int>(Digits(offset, 10).size()) + 1;
    case TOffsetDisplayStyle::odOctal:
        return static_cast<int>((L"0" + Digits(offset, 8)).size()) + 3;
    case TOffsetDisplayStyle::odNone:
        return 0;
    }
    return 0;
}

std::wstring OffsetText(TOffsetDisplayStyle style, int64_t offset, int widthChars, wchar_t separator)
{
    const auto value = static_cast<uint64_t>(std::max<int64_t>(0, offset));
    switch (style) {
    case TOffsetDisplayStyle::odHex:
        return L"x" + PadLeft(Digits(value, 16), widthChars - 3, L'0') + separator;
    case TOffsetDisplayStyle::odDec:
        return PadLeft(Digits(value, 10), widthChars - 1, L' ') + separator;
    case TOffsetDisplayStyle::odOctal:
        return L"o " + PadLeft(L"0" + Digits(value, 8), widthChars - 3, L'0') + separator;
    case TOffsetDisplayStyle::odNone:
        return L" ";
    }
    return L"";
}

std::wstring EmptyOffsetText(TOffsetDisplayStyle style, wchar_t separator)
{
    switch (style) {
    case TOffsetDisplayStyle::odHex:
        return std::wstring(L"x") + separator;
    case TOffsetDisplayStyle::odDec:
        return std::wstring(L" ") + separator;
    case TOffsetDisplayStyle::odOctal:
        return std::wstring(L"o 0") + separator;
    case TOffsetDisplayStyle::odNone:
        return L"   ";
    }
    return L"";
}

int64_t HexRowCount(int64_t dataSize, int bytesPerLine)
{
    if (dataSize <= 0 || bytesPerLine <= 0)
        return 1;
    return (dataSize + bytesPerLine - 1) / bytesPerLine;
}

int THexGridColumns::ColumnWidth(int col, int charWidth) const
{
    if (col == 0)
        return OffsetChars > 0 ? OffsetChars * charWidth + OffsetMargin(charWidth) : 0;
    if (col == 1)
        return ShowMarkerColumn ? charWidth : 0;
    if (IsNibbleColumn(col) && BytesPerColumn > 0 && col % (2 * BytesPerColumn) == 1)
        return 2 * charWidth;
    return charWidth;
}

}  // namespace qrv
