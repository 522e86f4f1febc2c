#include "panels/KyListView.h"

#include "framework/SysUtils.h"

namespace qrv {

std::wstring NormalizeMask(std::wstring_view S)
{
    const std::wstring trimmed = Trim(S);
    if (trimmed.empty())
        return L"*.*";
    std::wstring result;
    result.reserve(trimmed.size());
    for (wchar_t c : trimmed) {
        if (c == L' ' || c == L',')
            c = L';';
        if (c == L';' && !result.empty() && result.back() == L';')
            continue;
        result += c;
    }
    return LowerCase(result);
}

std::wstring NextMaskPart(std::wstring& S)
{
    const size_t sep = S.find(L';');
    if (sep == std::wstring::npos) {
        std::wstring part = std::move(S);
        S.clear();
        return part;
    }
    std::wstring part = S.substr(0, sep);
    S.erase(0, sep + 1);
    return part;
}

std::wstring FourDigitYearPicture(std::wstring_view ShortDate)
{
    std::wstring result;
    result.reserve(ShortDate.size() + 4);
    bool quoted = false;
    for (size_t i = 0; i < ShortDate.size();) {
        const wchar_t c = ShortDate[i];
        if (c == L'\'') {
            // '' inside a quote is a quote character; toggling twice keeps the state.
            quoted = !quoted;
            result += c;
            ++i;
            continue;
        }
        if (quoted || c != L'y') {
            result += c;
            ++i;
            continue;
        }
        size_t run = 0;
        while (i + run < ShortDate.size() && ShortDate[i + run] == L'y')
            ++run;
        result.append(run < 4 ? 4 : run, L'y');
        i += run;
    }
    return result;
}

TDateTimePictures MakeDateTimePictures(std::wstring_view ShortDate, std::wstring_view LongTime,
                                       std::wstring_view ShortTime, TDateTimeDisplay Display)
{
    TDateTimePictures pictures;
    pictures.DateFormat = FourDigitYearPicture(ShortDate);
    switch (Display) {
    case TDateTimeDisplay::dtdDateTimeSec:
        pictures.TimeFormat = LongTime;
        break;
    case TDateTimeDisplay::dtdDateTime:
        pictures.TimeFormat = ShortTime;
        break;
    case TDateTimeDisplay::dtdDate:
        break;
    }
    pictures.DateTimeFormat = pictures.DateFormat;
    if (!pictures.TimeFormat.empty())
        pictures.DateTimeFormat += L"  " + pictures.TimeFormat;
    return pictures;
}

TSortOrder ClickColumn(TSortOrder Order, int Column)
{
    if (Column == Order.Column)
        Order.Ascending = !Order.Ascending;
    Order.Column = Column;
    return Order;
}

TSortMarkFormat SortMarkFormat(unsigned Format, bool Themed, bool ShowColumnIcon, bool IsSortColumn, bool Ascending)
{
    TSortMarkFormat result;
    const bool marked = IsSortColumn && ShowColumnIcon;
    if (Themed) {
        result.Format = Format & ~(hfSortUp | hfSortDown);
        if (marked)
            result.Format |= Ascending ? hfSortUp : hfSortDown;
        return result;
    }
    // A right-aligned or centred caption keeps the mark on its left, where
    // it does not cover the text.
    result.Format = Format & ~(hfBitmap | hfBitmapOnRight);
    if (marked) {
        result.Format |= hfBitmap;
        if ((Format & hfJustifyMask) == hfLeft)
            result.Format |= hfBitmapOnRight;
        result.Bitmap = Ascending ? TSortMarkBitmap::smAscending : TSortMarkBitmap::smDescending;
    }
    return result;
}

}  // namespace qrv
