#include "framework/win/FontDialog.h"

#include "framework/IgnoredError.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>

namespace qrv {

bool ChooseFontFor(HWND owner, TFont& font, bool fixedPitchOnly)
{
    LOGFONTW logFont{};
    if (GetObjectW(font.Handle(), sizeof logFont, &logFont) != sizeof logFont)
        TraceIgnoredFailure(L"reading the font the font dialog starts with");
    // The face as the font names it, even where the mapper chose another.
    const size_t length = std::min(font.Name().size(), size_t{LF_FACESIZE - 1});
    wmemcpy(logFont.lfFaceName, font.Name().c_str(), length);
    logFont.lfFaceName[length] = L'\0';

    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.lpLogFont = &logFont;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | (fixedPitchOnly ? CF_FIXEDPITCHONLY : 0);
    if (!ChooseFontW(&choose)) {
        if (const DWORD error = CommDlgExtendedError(); error != 0)
            TraceIgnoredFailure(L"the font dialog failed");
        return false;
    }
    font.SetName(logFont.lfFaceName);
    font.SetSize(choose.iPointSize / 10);
    unsigned style = 0;
    if (logFont.lfWeight >= FW_BOLD)
        style |= fsBold;
    if (logFont.lfItalic)
        style |= fsItalic;
    if (logFont.lfUnderline)
        style |= fsUnderline;
    if (logFont.lfStrikeOut)
        style |= fsStrikeOut;
    font.SetStyle(style);
    font.SetCharset(logFont.lfCharSet);
    return true;
}

}  // namespace qrv
