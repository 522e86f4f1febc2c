#include "editor/win/EasyFontManagerWin.h"

#include <vector>

namespace qrv {

std::string TEasyGdiFontMeasurer::Describe(uintptr_t font)
{
    LOGFONTW logFont{};
    const int size = GetObjectW(reinterpret_cast<HFONT>(font), sizeof(logFont), &logFont);
    if (size <= 0)
        return {};
    return std::string(reinterpret_cast<const char*>(&logFont), static_cast<size_t>(size));
}

TEasyMeasuredFont TEasyGdiFontMeasurer::Measure(uintptr_t font)
{
    TEasyMeasuredFont measured;
    TSelectObject select(screen_.Get(), reinterpret_cast<HFONT>(font));
    TEXTMETRICW text{};
    if (GetTextMetricsW(screen_.Get(), &text)) {
        measured.Overhang = text.tmOverhang;
        measured.Ascent = text.tmAscent;
        measured.Descent = text.tmDescent;
        measured.AveCharWidth = text.tmAveCharWidth;
        measured.Height = text.tmHeight;
        measured.MaxCharWidth = text.tmMaxCharWidth;
    }
    const UINT size = GetOutlineTextMetricsW(screen_.Get(), 0, nullptr);
    if (size >= sizeof(OUTLINETEXTMETRICW)) {
        std::vector<unsigned char> buffer(size);
        auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
        if (GetOutlineTextMetricsW(screen_.Get(), size, outline)) {
            measured.HasOutline = true;
            measured.SubscriptSize = outline->otmptSubscriptSize.y;
            measured.SubscriptOffset = outline->otmptSubscriptOffset.y;
            measured.SuperscriptOffset = outline->otmptSuperscriptOffset.y;
        }
    }
    return measured;
}

int TEasyGdiFontMeasurer::TextWidth(uintptr_t font, std::u16string_view text)
{
    TSelectObject select(screen_.Get(), reinterpret_cast<HFONT>(font));
    SIZE extent{};
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    if (!GetTextExtentPoint32W(screen_.Get(), units, static_cast<int>(text.size()), &extent))
        return 0;
    return extent.cx;
}

TEasyFontManager& EasyFontManager()
{
    static TEasyFontManager manager(std::make_unique<TEasyGdiFontMeasurer>());
    return manager;
}

TEasyFontMetrics GetFontMetrics(HFONT font)
{
    return EasyFontManager().GetFontMetrics(reinterpret_cast<uintptr_t>(font));
}

int GetTextWidth(HFONT font, std::wstring_view text, int count, TEasyFontMetrics& metrics)
{
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.data()), text.size());
    return EasyFontManager().GetTextWidth(reinterpret_cast<uintptr_t>(font), units, count, metrics);
}

}  // namespace qrv
