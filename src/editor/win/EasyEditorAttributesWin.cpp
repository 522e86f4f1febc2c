#include "editor/win/EasyEditorAttributesWin.h"

#include "framework/ScopeExit.h"

namespace qrv {

void AssignFont(TCustomEasyEditorAttributes& attributes, const TFont& font)
{
    TUpdateLock lock(attributes, &TCustomEasyEditorAttributes::BeginUpdate, &TCustomEasyEditorAttributes::EndUpdate);
    attributes.SetColor(font.Color());
    attributes.SetName(font.Name());
    // The framework's fonts ask for the default character set and pitch.
    attributes.SetCharset(DEFAULT_CHARSET);
    // Both use the bits bold 1, italic 2, underline 4, strike-out 8.
    attributes.SetStyle(static_cast<TFontStyles>(font.Style() & 0x0F));
    attributes.SetSize(font.Size());
    attributes.SetPitch(DEFAULT_PITCH);
    attributes.SetVerticalPosition(0);
}

}  // namespace qrv
