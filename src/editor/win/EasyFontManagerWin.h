#pragma once
// The process-wide font metrics cache of the editor family, measuring with
// GDI on a screen device context kept for the cache's lifetime.

#include "editor/EasyFontManager.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <string_view>

namespace qrv {

TEasyFontManager& EasyFontManager();

// Measures fonts on the screen's device context.
class TEasyGdiFontMeasurer : public TEasyFontMeasurer {
public:
    std::string Describe(uintptr_t font) override;
    TEasyMeasuredFont Measure(uintptr_t font) override;
    int TextWidth(uintptr_t font, std::u16string_view text) override;

private:
    TWindowDC screen_{nullptr};
};

TEasyFontMetrics GetFontMetrics(HFONT font);
int GetTextWidth(HFONT font, std::wstring_view text, int count, TEasyFontMetrics& metrics);

}  // namespace qrv
