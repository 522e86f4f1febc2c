#include "viewers/HexDocumentLayout.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>

using namespace qrv;

namespace {

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// The offset texts as printf writes them, an independent oracle.
std::wstring Printed(TOffsetDisplayStyle style, int64_t offset, int width)
{
    char text[64];
    switch (style) {
    case TOffsetDisplayStyle::odHex:
        std::snprintf(text, sizeof text, "x%0*" PRIX64 ":", width - 3, offset);
        break;
    case TOffsetDisplayStyle::odDec:
        std::snprintf(text, sizeof text, "%*" PRId64 ":", width - 1, offset);
        break;
    case TOffsetDisplayStyle::odOctal:
        std::snprintf(text, sizeof text, "o %0*" PRIo64 ":", width - 3, offset);
        break;
    case TOffsetDisplayStyle::odNone:
        return L" ";
    }
    return Widen(text);
}

int PrintedLength(const char* format, int64_t value)
{
    char text[64];
    return std::snprintf(text, sizeof text, format, value);
}

}  // namespace

TEST(HexLayout, OffsetColumnWidths)
{
    const int64_t rows4096 = HexRowCount(4096, 16);
    EXPECT_EQ(rows4096, 256);
    EXPECT_EQ(OffsetColumnChars(TOffsetDisplayStyle::odHex, (rows4096 - 1) * 16), 6)
        << "x, three digits, separator, one spare";
    const int64_t lastRows[] = {0, 15, 4080, 0xFFFFFFF0LL, 0x13FFFFFF0LL, (INT64_C(1) << 62)};
    for (const int64_t last : lastRows) {
        SCOPED_TRACE(last);
        EXPECT_EQ(OffsetColumnChars(TOffsetDisplayStyle::odHex, last), PrintedLength("%" PRIX64, last) + 3);
        EXPECT_EQ(OffsetColumnChars(TOffsetDisplayStyle::odDec, last), PrintedLength("%" PRId64, last) + 1);
        EXPECT_EQ(OffsetColumnChars(TOffsetDisplayStyle::odOctal, last), PrintedLength("0%" PRIo64, last) + 3);
        EXPECT_EQ(OffsetColumnChars(TOffsetDisplayStyle::odNone, last), 0);
    }
}

TEST(HexLayout, OffsetTextsPastFourGigabytes)
{
    const int64_t size = INT64_C(5368709120);  // 5 GiB
    const int64_t lastRow = (HexRowCount(size, 16) - 1) * 16;
    for (const auto style : {TOffsetDisplayStyle::odHex, TOffsetDisplayStyle::odDec, TOffsetDisplayStyle::odOctal,
                             TOffsetDisplayStyle::odNone}) {
        const int width = OffsetColumnChars(style, lastRow);
        for (const int64_t offset : {INT64_C(0), INT64_C(16), INT64_C(0xFFFFFFF0), INT64_C(0x100000000), lastRow}) {
            const std::wstring text = OffsetText(style, offset, width, L':');
            EXPECT_EQ(text, Printed(style, offset, width)) << int(style) << " " << offset;
            if (style != TOffsetDisplayStyle::odNone) {
                // The hexadecimal column keeps one character spare.
                EXPECT_EQ(static_cast<int>(text.size()), width - (style == TOffsetDisplayStyle::odHex ? 1 : 0))
                    << "the texts of one column line up";
            }
        }
    }
    EXPECT_EQ(OffsetText(TOffsetDisplayStyle::odHex, 0x10, 6, L'|').back(), L'|');
}

TEST(HexLayout, EmptyDataTexts)
{
    EXPECT_EQ(EmptyOffsetText(TOffsetDisplayStyle::odHex, L':'), L"x:");
    EXPECT_EQ(EmptyOffsetText(TOffsetDisplayStyle::odDec, L':'), L" :");
    EXPECT_EQ(EmptyOffsetText(TOffsetDisplayStyle::odOctal, L':'), L"o 0:");
    EXPECT_EQ(EmptyOffsetText(TOffsetDisplayStyle::odNone, L':'), L"   ");
}

TEST(HexLayout, RowsAndColumns)
{
    EXPECT_EQ(HexRowCount(0, 16), 1);
    EXPECT_EQ(HexRowCount(16, 16), 1);
    EXPECT_EQ(HexRowCount(17, 16), 2);
    EXPECT_EQ(HexRowCount(INT64_C(5368709120), 16), INT64_C(335544320));
    EXPECT_EQ(HexRowCount(INT64_C(5368709121), 256), INT64_C(20971521));

    THexGridColumns columns;
    columns.BytesPerLine = 4;
    columns.BytesPerColumn = 2;
    columns.OffsetChars = 6;
    const int w = 7;
    EXPECT_EQ(columns.ColCount(), 15);
    EXPECT_EQ(columns.ColumnWidth(0, w), 42 + 3) << "six characters after half a character's margin";
    EXPECT_EQ(columns.ColumnWidth(1, w), w);
    columns.ShowMarkerColumn = false;
    EXPECT_EQ(columns.ColumnWidth(1, w), 0);
    // Nibble columns 2..9; the last nibble of each two-byte group is wider.
    const int expectedNibbleWidths[] = {w, w, w, 2 * w, w, w, w, 2 * w};
    for (int col = 2; col <= 9; ++col)
        EXPECT_EQ(columns.ColumnWidth(col, w), expectedNibbleWidths[col - 2]) << col;
    EXPECT_EQ(columns.SpacerColumn(), 10);
    EXPECT_FALSE(columns.IsNibbleColumn(10));
    EXPECT_FALSE(columns.IsCharColumn(10));
    EXPECT_TRUE(columns.IsCharColumn(11));
    EXPECT_EQ(columns.ByteInRow(14), 3);
    EXPECT_EQ(columns.ByteInRow(9), 3);
    EXPECT_EQ(columns.NibbleGroup(5), 0);
    EXPECT_EQ(columns.NibbleGroup(6), 1);
    EXPECT_TRUE(THexGridColumns::ShowsHighNibble(2, false));
    EXPECT_FALSE(THexGridColumns::ShowsHighNibble(3, false));
    EXPECT_FALSE(THexGridColumns::ShowsHighNibble(2, true));
    EXPECT_TRUE(THexGridColumns::ShowsHighNibble(3, true));
}
