#include "editor/EasyEditorAttributes.h"

#include "framework/ScopeExit.h"

namespace qrv {

template <typename T>
void TCustomEasyEditorAttributes::Store(T& field, const T& value, uint16_t bit)
{
    if (field == value && (ValidMask() & bit) == bit)
        return;
    field = value;
    mask_ |= bit;
    Changed();
}

void TCustomEasyEditorAttributes::SetColor(TColor value)
{
    Store(color_, value, amColor);
}
void TCustomEasyEditorAttributes::SetBackColor(TColor value)
{
    Store(backColor_, value, amBackColor);
}
void TCustomEasyEditorAttributes::SetName(const std::wstring& value)
{
    Store(name_, value, amName);
}
void TCustomEasyEditorAttributes::SetCharset(uint8_t value)
{
    Store(charset_, value, amCharset);
}
void TCustomEasyEditorAttributes::SetPitch(uint8_t value)
{
    Store(pitch_, value, amPitch);
}
void TCustomEasyEditorAttributes::SetSize(int32_t value)
{
    Store(size_, value, amSize);
}
void TCustomEasyEditorAttributes::SetValue(int32_t value)
{
    Store(value_, value, amValue);
}
void TCustomEasyEditorAttributes::SetText(const std::wstring& value)
{
    Store(text_, value, amText);
}

void TCustomEasyEditorAttributes::SetStyle(TFontStyles value)
{
    if (style_ == value && (ValidMask() & amStyle) == amStyle)
        return;
    style_ = value;
    // The style bits are added, never cleared: the mask says what was named.
    mask_ |= amStyle;
    if (value & efBold)
        mask_ |= amBold;
    if (value & efItalic)
        mask_ |= amItalic;
    if (value & efUnderline)
        mask_ |= amUnderline;
    if (value & efStrikeOut)
        mask_ |= amStrikeOut;
    Changed();
}

void TCustomEasyEditorAttributes::SetVerticalPosition(uint8_t value)
{
    if (verticalPosition_ == value && (ValidMask() & amVerticalPosition) == amVerticalPosition)
        return;
    verticalPosition_ = value;
    mask_ = static_cast<uint16_t>((mask_ & ~(amSubscript | amSuperscript)) | amVerticalPosition);
    if (value == 1)
        mask_ |= amSubscript;
    else if (value == 2)
        mask_ |= amSuperscript;
    Changed();
}

void TCustomEasyEditorAttributes::Assign(const TCustomEasyEditorAttributes& source)
{
    if (&source == this)
        return;
    TUpdateLock lock(*this, &TCustomEasyEditorAttributes::BeginUpdate, &TCustomEasyEditorAttributes::EndUpdate);
    SetColor(source.color_);
    SetBackColor(source.backColor_);
    SetName(source.name_);
    SetCharset(source.charset_);
    SetSize(source.size_);
    SetStyle(source.style_);
    SetPitch(source.pitch_);
    SetVerticalPosition(source.verticalPosition_);
    SetValue(source.value_);
    SetText(source.text_);
}

void TCustomEasyParagraph::SetNumbering(bool value)
{
    const uint8_t numbering = value ? 1 : 0;
    if (numbering_ == numbering)
        return;
    numbering_ = numbering;
    if (value) {
        leftIndent_ = -24;
        firstIndent_ = 48;
        value_ = 1;
    }
    Changed();
}

void TCustomEasyParagraph::Assign(const TCustomEasyParagraph& source)
{
    if (&source == this)
        return;
    TUpdateLock lock(*this, &TCustomEasyParagraph::BeginUpdate, &TCustomEasyParagraph::EndUpdate);
    SetNumbering(source.Numbering());
    SetFirstIndent(source.firstIndent_);
    SetLeftIndent(source.leftIndent_);
    SetRightIndent(source.rightIndent_);
    SetAlignment(source.alignment_);
    SetNumberingStyle(source.numberingStyle_);
    SetValue(source.value_);
}

void TCustomEasyEditorObject::SetWidth(int32_t value)
{
    if (width_ == value)
        return;
    width_ = value;
    Changed(0);
}

void TCustomEasyEditorObject::SetHeight(int32_t value)
{
    if (height_ == value)
        return;
    height_ = value;
    Changed(1);
}

void TCustomEasyEditorObject::SetFlag(uint8_t value)
{
    if (flag_ == value)
        return;
    flag_ = value;
    Changed(1);
}

}  // namespace qrv
