#pragma once
// The rules of the sortable list view that need no window: the mask text,
// the date and time pictures with a four-digit year, the column click that
// chooses the sort order, and the header format bits of the sort mark.
// Portable; the list view itself is in panels/win/KyListView.h.

#include <string>
#include <string_view>

namespace qrv {

// ---- Mask text ------------------------------------------------------------

// The mask as a list keeps it: blanks trimmed at both ends, empty becomes
// "*.*", every blank and "," becomes ";", runs of ";" collapse to one, lower
// case. "  *.TXT, *.doc  " gives "*.txt;*.doc".
std::wstring NormalizeMask(std::wstring_view S);
// The text up to the first ";" (all of S when there is none); it is removed
// from S together with that ";".
std::wstring NextMaskPart(std::wstring& S);

// ---- Date and time pictures ---------------------------------------------------
// Pictures in the system's syntax (GetDateFormatEx, GetTimeFormatEx): "y"
// is the year, text in single quotes is literal.

enum class TDateTimeDisplay { dtdDateTimeSec, dtdDateTime, dtdDate };

// The short date picture with every year shorter than four digits widened to
// "yyyy": "dd.MM.yy" gives "dd.MM.yyyy", "yy/MM/dd" gives "yyyy/MM/dd".
std::wstring FourDigitYearPicture(std::wstring_view ShortDate);

// The pictures a list formats its date column with.
struct TDateTimePictures {
    std::wstring DateFormat;      // the date with a four-digit year
    std::wstring TimeFormat;      // the time part, empty for dtdDate
    std::wstring DateTimeFormat;  // DateFormat, two blanks, TimeFormat (DateFormat alone for dtdDate)
};
// From the system's short date, long time and short time pictures.
TDateTimePictures MakeDateTimePictures(std::wstring_view ShortDate, std::wstring_view LongTime,
                                       std::wstring_view ShortTime, TDateTimeDisplay Display);

// ---- Sorting by column ----------------------------------------------------------

struct TSortOrder {
    int Column = 0;
    bool Ascending = true;
    bool operator==(const TSortOrder&) const = default;
};
// A click on a column header: the sort column clicked again reverses the
// direction; another column becomes the sort column with the direction kept.
TSortOrder ClickColumn(TSortOrder Order, int Column);

// ---- Header sort marks -------------------------------------------------------------
// Format bits of a header item, equal to the system's HDF_ values.

constexpr unsigned hfLeft = 0x0000;
constexpr unsigned hfRight = 0x0001;
constexpr unsigned hfCenter = 0x0002;
constexpr unsigned hfJustifyMask = 0x0003;
constexpr unsigned hfSortDown = 0x0200;
constexpr unsigned hfSortUp = 0x0400;
constexpr unsigned hfBitmapOnRight = 0x1000;
constexpr unsigned hfBitmap = 0x2000;

enum class TSortMarkBitmap { smNone, smAscending, smDescending };

struct TSortMarkFormat {
    unsigned Format = 0;
    TSortMarkBitmap Bitmap = TSortMarkBitmap::smNone;  // the bitmap to show with hfBitmap
};

// The format of one header item after the sort marks are applied. Themed
// headers draw the sort arrow themselves (hfSortUp, hfSortDown); others get
// a mark bitmap, on the right of a left-aligned caption and on the left of a
// right-aligned or centred one. Only the sort column shows a mark, and only
// with ShowColumnIcon; every other mark bit is cleared.
TSortMarkFormat SortMarkFormat(unsigned Format, bool Themed, bool ShowColumnIcon, bool IsSortColumn, bool Ascending);

}  // namespace qrv
