#include "panels/DirViewCells.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"

#include <chrono>

namespace qrv {

std::wstring DirSizeText(uint64_t Size, bool Abbreviated, std::wstring_view Separator)
{
    if (!Abbreviated)
        return FormatThousandsU(Size, Separator);
    uint64_t kb = (Size >> 10) + ((Size >> 9) & 1);
    if (kb == 0 && Size != 0)
        kb = 1;
    return FormatThousandsU(kb, Separator) + L" KB";
}

TAttrPositions AttrPositionsFor(bool NTFamily, int MajorVersion)
{
    return {NTFamily && MajorVersion >= 5, NTFamily};
}

std::wstring GetAttrString(uint32_t Attr, std::wstring_view AttrSpace, TAttrPositions Positions)
{
    struct TLetter {
        uint32_t Bit;
        wchar_t Letter;
    };
    static constexpr TLetter kLetters[] = {{faEncrypted, L'e'}, {faCompressed, L'c'}, {faArchive, L'a'},
                                           {faSysFile, L's'},   {faHidden, L'h'},     {faReadOnly, L'r'}};
    std::wstring text;
    for (const TLetter& l : kLetters) {
        if (Attr & l.Bit) {
            text += l.Letter;
            continue;
        }
        if (AttrSpace.empty() || (l.Bit == faEncrypted && !Positions.Encrypted) ||
            (l.Bit == faCompressed && !Positions.Compressed))
            continue;
        text += AttrSpace;
    }
    return text;
}

std::wstring DirCellText(const TFileRec& Item, int Column, const TDirCellOptions& Options,
                         const TFileTimeFormatter& FormatTime)
{
    if (Column == 0)
        return Item.DisplayName;
    if (Options.ShellFolder)
        return {};
    switch (Column) {
    case 1:
        if (Item.IsDirectory && (!Options.ShowSubDirSize || SizeUnknown(Item)))
            return {};
        return DirSizeText(Item.Size, Options.AbbreviatedSize, Options.ThousandSeparator);
    case 2:
        if (Options.SortByExtension && !Item.IsDirectory)
            return Options.FileNameDisplay == TFileNameDisplay::fndNoCap ||
                           Options.FileNameDisplay == TFileNameDisplay::fndNice
                       ? LowerCase(Item.Ext)
                       : Item.Ext;
        return Item.TypeName;
    case 3:
        return Item.LastWrite == 0 || !FormatTime ? std::wstring() : FormatTime(Item.LastWrite);
    case 4: {
        std::wstring attrs = GetAttrString(Item.Attr, Options.AttrSpace, Options.AttrPositions);
        return Options.FileNameDisplay == TFileNameDisplay::fndCap ? UpperCase(attrs) : attrs;
    }
    default:
        return {};
    }
}

TFileTimeParts FileTimeParts(uint64_t FileTime, int BiasMinutes)
{
    using namespace std::chrono;
    // 1601-01-01 lies 134,774 days before 1970-01-01.
    constexpr int64_t kEpochShift = 134774LL * 86400;
    const int64_t seconds = static_cast<int64_t>(FileTime / 10000000) - kEpochShift + BiasMinutes * 60LL;
    const sys_seconds at{std::chrono::seconds(seconds)};
    const sys_days day = floor<days>(at);
    const year_month_day ymd{day};
    const hh_mm_ss<std::chrono::seconds> time{at - day};
    return {static_cast<int>(ymd.year()),
            static_cast<int>(unsigned(ymd.month())),
            static_cast<int>(unsigned(ymd.day())),
            static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()),
            static_cast<int>(time.seconds().count())};
}

std::wstring InfoTipFallbackText(const TFileRec& Item, std::wstring_view SizeWithUnit, std::wstring_view Date)
{
    std::wstring text = L"Typ: " + Item.TypeName;
    if (Item.Size != 0 && !SizeUnknown(Item))
        text += L"\r\nGröße: " + std::wstring(SizeWithUnit);
    text += L"\r\nGeändert am: " + std::wstring(Date);
    return text;
}

}  // namespace qrv
