#include "dialogs/SplitFileFields.h"

#include "framework/SysUtils.h"

namespace qrv {

namespace {

const TSplitSizeChoice kChoices[] = {
    {L"360 KB", 359'424},      {L"720 KB", 728'064},      {L"1,2 MB", 1'210'368},    {L"1,&44 MB", 1'456'128},
    {L"2,88 MB", 2'912'256},   {L"&50 MB", 52'428'800},   {L"&100 MB", 104'857'600}, {L"&650 MB", 681'574'400},
    {L"&700 MB", 734'003'200}, {L"&800 MB", 838'860'800},
};

}  // namespace

std::span<const TSplitSizeChoice> SplitSizeChoices()
{
    return kChoices;
}

TSplitSizePreset PresetForSize(uint64_t Bytes)
{
    for (size_t i = 0; i < std::size(kChoices); ++i)
        if (kChoices[i].Bytes == Bytes)
            return {i, kCustomSplitKbDefault};
    return {std::nullopt, static_cast<int64_t>(Bytes / 1024)};
}

std::optional<uint64_t> CustomSplitBytes(std::wstring_view KbText)
{
    const std::wstring text = Trim(KbText);
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos || text.size() > 10)
        return std::nullopt;
    int64_t kb = 0;
    if (!TryStrToInt64(text, kb) || kb < 0 || kb > kCustomSplitKbMax)
        return std::nullopt;
    return static_cast<uint64_t>(kb) * 1024;
}

std::wstring SplitSizeProblem(const std::optional<uint64_t>& Bytes)
{
    if (!Bytes)
        return L"Eingegebene Dateigröße ungültig.";
    if (*Bytes <= 2048)
        return L"Eingegebene Dateigröße muß größer als 2 Kb sein.";
    return {};
}

}  // namespace qrv
