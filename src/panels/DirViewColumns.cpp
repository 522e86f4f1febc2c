#include "panels/DirViewColumns.h"

#include "panels/DirViewTexts.h"
#include "panels/FileRec.h"

namespace qrv {

TDirColumnTexts DirColumnCaptions(int PrimaryLanguage, const std::wstring& Mask, bool ShowMaskInHeader,
                                  const TLoadFilter& Filter)
{
    const std::wstring maskSuffix = ShowMaskInHeader && Mask != L"*.*" ? L" (" + Mask + L")" : std::wstring();
    if (PrimaryLanguage == kLangFrench)
        return {L"Nom" + maskSuffix, L"Taille", L"Type", L"Date", L"Attributs"};
    const bool german = PrimaryLanguage == kLangGerman;
    const std::wstring note = german ? L" (gefiltert)" : L" (filtered)";
    auto noted = [&note](const wchar_t* Caption, bool Filtered) { return Caption + (Filtered ? note : L""); };
    if (german)
        return {L"Name" + maskSuffix, noted(L"Größe", Filter.SizeFiltered()), L"Typ",
                noted(L"Geändert am", Filter.DateFiltered()), noted(L"Attr", Filter.AttrFiltered())};
    return {L"Name" + maskSuffix, noted(L"Size", Filter.SizeFiltered()), L"Type",
            noted(L"Changed", Filter.DateFiltered()), noted(L"Attr", Filter.AttrFiltered())};
}

TViewStyleEx EffectiveViewStyle(TViewStyleEx Wanted, bool CommonControls6)
{
    return Wanted == TViewStyleEx::vsxTile && !CommonControls6 ? TViewStyleEx::vsxIcon : Wanted;
}

std::optional<TParentArrow> ParentArrowAt(TViewStyleEx Style, int IconLeft, int IconTop, int LargeWidth,
                                          int LargeHeight)
{
    if (Style == TViewStyleEx::vsxThumb)
        return std::nullopt;
    if (Style == TViewStyleEx::vsxIcon)
        return TParentArrow{true, {IconLeft + LargeWidth / 2 - 8, IconTop + LargeHeight / 2 - 14}};
    return TParentArrow{false, {IconLeft - 2, IconTop - 2}};
}

uint32_t ItemTextColor(uint32_t Attr, uint32_t CompressedColor, uint32_t HiddenColor, uint32_t Normal)
{
    if (Attr & faCompressed)
        return CompressedColor;
    if (Attr & faHidden)
        return HiddenColor;
    return Normal;
}

}  // namespace qrv
