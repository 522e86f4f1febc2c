#include "dialogs/SelFileFields.h"

#include <algorithm>
#include <chrono>
#include <tuple>

namespace qrv {

namespace {

TTriState BoxOf(TSelAttr Choice)
{
    switch (Choice) {
    case TSelAttr::SelYes:
        return TTriState::Checked;
    case TSelAttr::SelNo:
        return TTriState::Unchecked;
    default:
        return TTriState::Grayed;
    }
}

TSelAttr ChoiceOf(TTriState Box)
{
    switch (Box) {
    case TTriState::Checked:
        return TSelAttr::SelYes;
    case TTriState::Unchecked:
        return TSelAttr::SelNo;
    default:
        return TSelAttr::SelDontCare;
    }
}

std::chrono::sys_days DaysOf(const TPickerDate& Date)
{
    return std::chrono::year_month_day{std::chrono::year{Date.Year}, std::chrono::month{unsigned(Date.Month)},
                                       std::chrono::day{unsigned(Date.Day)}};
}

TPickerDate PickerOf(std::chrono::sys_days Days)
{
    const std::chrono::year_month_day ymd{Days};
    return {int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))};
}

TPickerDate Clamped(const TPickerDate& Date)
{
    if (Date.Year < kFirstPickerYear)
        return {kFirstPickerYear, 1, 1};
    if (Date.Year > kLastPickerYear)
        return {kLastPickerYear, 12, 31};
    return Date;
}

bool Before(const TPickerDate& A, const TPickerDate& B)
{
    return std::tie(A.Year, A.Month, A.Day) < std::tie(B.Year, B.Month, B.Day);
}

}  // namespace

uint16_t DosDateOf(const TPickerDate& Date)
{
    const TPickerDate d = Clamped(Date);
    return static_cast<uint16_t>((d.Year - 1980) << 9 | d.Month << 5 | d.Day);
}

TPickerDate PickerDateOf(uint16_t DosDate)
{
    const TPickerDate date{1980 + (DosDate >> 9), DosDate >> 5 & 15, DosDate & 31};
    // A packed value that is no day (month 0, 31 February) shows the first day.
    const std::chrono::year_month_day ymd{std::chrono::year{date.Year}, std::chrono::month{unsigned(date.Month)},
                                          std::chrono::day{unsigned(date.Day)}};
    return ymd.ok() ? date : TPickerDate{};
}

bool ParseSizeField(const std::wstring& Text, int64_t& Size)
{
    if (Text.empty() || Text.size() > kSizeFieldDigits)
        return false;
    uint64_t value = 0;
    for (const wchar_t c : Text) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<uint64_t>(c - L'0');
    }
    // 19 digits may pass the largest signed value.
    if (value > static_cast<uint64_t>(INT64_MAX))
        return false;
    Size = static_cast<int64_t>(value);
    return true;
}

std::wstring RefilledSizeField(const std::wstring& Text, bool IsToField)
{
    if (!Text.empty())
        return Text;
    return IsToField ? kSizeToDefault : kSizeFromDefault;
}

TSelFileFields FieldsFromFilter(const TFileSelectFilter& Filter, const TSelFileContext& Context)
{
    TSelFileFields fields;
    const std::wstring masks = Context.NormalizeMasks ? Context.NormalizeMasks(Filter.Masks) : Filter.Masks;
    int chosen = -1;
    if (Context.Filters) {
        for (const TFilterRec& rec : *Context.Filters)
            fields.FilterNames.push_back(rec.Name);
        for (size_t i = 0; i < Context.Filters->size() && chosen < 0; ++i)
            if ((*Context.Filters)[i].Masks == masks)
                chosen = static_cast<int>(i);
    }
    if (chosen >= 0) {
        fields.StdFilterIndex = chosen;
    } else {
        fields.StdFilterIndex = 0;
        fields.ManualChosen = true;
        fields.ManualText = masks;
    }
    fields.Archive = BoxOf(Filter.Archive);
    fields.Hidden = BoxOf(Filter.Hidden);
    fields.SysFile = BoxOf(Filter.SysFile);
    fields.ReadOnly = BoxOf(Filter.ReadOnly);
    fields.CompressionEnabled = Context.Compression == TCompressionBits::Ntfs;
    fields.Compressed = fields.CompressionEnabled ? BoxOf(Filter.Compressed) : TTriState::Unchecked;
    fields.Encrypted = fields.CompressionEnabled ? BoxOf(Filter.Encrypted) : TTriState::Unchecked;
    fields.HiddenEnabled = Context.ShowHiddenDirs;
    fields.FromSize = std::to_wstring(std::max<int64_t>(Filter.SizeFrom, 0));
    // The stored "no upper bound" shows as the field's default again.
    fields.ToSize = Filter.SizeTo == kNoSizeBound ? std::wstring(kSizeToDefault) : std::to_wstring(Filter.SizeTo);
    if (Context.DaysBack < 0) {
        fields.DateFromTo = true;
        fields.DateFrom = PickerDateOf(Filter.DateFrom);
        fields.DateTo = PickerDateOf(Filter.DateTo);
    } else {
        fields.DateFromTo = false;
        fields.DaysCount = std::clamp(Context.DaysBack, kMinDaysBack, kMaxDaysBack);
    }
    return fields;
}

TSelFileCheck CheckSelFileFields(const TSelFileFields& Fields)
{
    int64_t from = 0;
    int64_t to = 0;
    if (!ParseSizeField(Fields.FromSize, from) || !ParseSizeField(Fields.ToSize, to))
        return {TSelFileFocus::FromSize, L"Ungültiges numerisches Format."};
    // The to-field's default is "no upper bound", not a number to compare.
    if (to < from && Fields.ToSize != kSizeToDefault)
        return {TSelFileFocus::FromSize, L"\"Von Dateigröße\" ist größer als \"bis Dateigröße\"."};
    if (Fields.DateFromTo && Before(Fields.DateTo, Fields.DateFrom))
        return {TSelFileFocus::DateFrom, L"\"Von Änderungsdatum\" ist größer als \"bis Änderungsdatum\"."};
    return {};
}

TFileSelectFilter FilterFromFields(const TSelFileFields& Fields, const TFileSelectFilter& Before,
                                   const TSelFileContext& Context, int& DaysBack)
{
    TFileSelectFilter filter = Before;
    std::wstring text = Fields.ManualChosen ? Fields.ManualText : std::wstring();
    if (!Fields.ManualChosen && Context.Filters && Fields.StdFilterIndex >= 0 &&
        Fields.StdFilterIndex < static_cast<int>(Context.Filters->size()))
        text = (*Context.Filters)[static_cast<size_t>(Fields.StdFilterIndex)].Name;
    if (Context.ResolveName)
        text = Context.ResolveName(text);
    filter.Masks = Context.NormalizeMasks ? Context.NormalizeMasks(text) : text;

    if (Fields.DateFromTo) {
        DaysBack = -1;
        filter.DateFrom = DosDateOf(Fields.DateFrom);
        filter.DateTo = DosDateOf(Fields.DateTo);
    } else {
        const int days = std::clamp(Fields.DaysCount, kMinDaysBack, kMaxDaysBack);
        const std::chrono::sys_days today = DaysOf(Clamped(Context.Today));
        filter.DateFrom = DosDateOf(PickerOf(today - std::chrono::days{days - 1}));
        filter.DateTo = DosDateOf(PickerOf(today));
        DaysBack = days;
    }
    filter.TimeFrom = 0;
    filter.TimeTo = 0xC000;

    filter.Archive = ChoiceOf(Fields.Archive);
    filter.Hidden = ChoiceOf(Fields.Hidden);
    filter.SysFile = ChoiceOf(Fields.SysFile);
    filter.ReadOnly = ChoiceOf(Fields.ReadOnly);
    switch (Context.Compression) {
    case TCompressionBits::Ntfs:
        filter.Compressed = ChoiceOf(Fields.Compressed);
        filter.Encrypted = ChoiceOf(Fields.Encrypted);
        break;
    case TCompressionBits::NotNtfs:
        filter.Compressed = TSelAttr::SelDontCare;
        filter.Encrypted = TSelAttr::SelDontCare;
        break;
    case TCompressionBits::QueryFailed:
        break;  // the drive could not say: the choices stay as they were
    }

    int64_t size = 0;
    filter.SizeFrom = ParseSizeField(Fields.FromSize, size) ? size : 0;
    // The field's default, 999999999, is the stored "no upper bound".
    if (!ParseSizeField(Fields.ToSize, size) || size == 999999999)
        size = kNoSizeBound;
    filter.SizeTo = size;
    return filter;
}

void ResetSelection(TSelFileFields& Fields, const TSelFileContext& Context, const TPickerDate& InitialFrom,
                    const TPickerDate& InitialTo)
{
    Fields.ManualChosen = false;
    Fields.StdFilterIndex = 0;
    if (Context.Filters)
        for (size_t i = 0; i < Context.Filters->size(); ++i)
            if ((*Context.Filters)[i].Masks == L"*.*") {
                Fields.StdFilterIndex = static_cast<int>(i);
                break;
            }
    Fields.Archive = Fields.SysFile = Fields.ReadOnly = TTriState::Grayed;
    if (Context.ShowHiddenDirs)
        Fields.Hidden = TTriState::Grayed;
    if (Fields.CompressionEnabled)
        Fields.Compressed = Fields.Encrypted = TTriState::Grayed;
    Fields.FromSize = kSizeFromDefault;
    Fields.ToSize = kSizeToDefault;
    Fields.DateFromTo = true;
    Fields.DateFrom = InitialFrom;
    Fields.DateTo = InitialTo;
}

}  // namespace qrv
