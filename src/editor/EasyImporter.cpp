#include "editor/EasyImporter.h"

#include "editor/WideText.h"
#include "framework/Encoding.h"
#include "framework/ScopeExit.h"

namespace qrv {

void TCustomEasyImporter::Output(const std::u16string& text, const TCustomEasyEditorAttributes& attributes,
                                 TCustomEasyEditorObject* editorObject, const TCustomEasyParagraph& paragraph)
{
    if (OnOutput)
        OnOutput(this, text, attributes, editorObject, paragraph);
}

void TCustomEasyImporter::ImportString(std::u16string_view text)
{
    TMemoryStream stream;
    stream.WriteBytes(TEncoding::UTF8NoBOM().GetBytes(ToWide(text)));
    stream.SetPosition(0);
    Import(stream);
}

TEasyAttributeRecord& TCustomEasyImporterEx::Current()
{
    if (stack_.empty()) {
        outside_ = {};
        return outside_;
    }
    return stack_.back();
}

void TCustomEasyImporterEx::ResetAttributes()
{
    stack_.clear();
    Paragraph.Assign(TCustomEasyParagraph());
    ApplyAttributes(Attributes);
}

void TCustomEasyImporterEx::ApplyAttributes(TCustomEasyEditorAttributes& attributes)
{
    TColor color = Font.Color;
    TColor backColor = clNone;
    std::wstring name = Font.Name;
    uint8_t charset = Font.Charset;
    int32_t size = Font.Size;
    TFontStyles style = Font.Style;
    uint8_t vertical = 0;
    std::u16string link;
    for (const TEasyAttributeRecord& record : stack_) {
        if (record.StyleChanged)
            style = static_cast<TFontStyles>((style & ~record.StyleOff) | record.StyleOn);
        if (record.Color != -1)
            color = record.Color;
        if (record.Size != -1)
            size = record.Size;
        if (record.BackColorSet)
            backColor = record.BackColor;
        if (!record.FontName.empty()) {
            name = record.FontName;
            charset = record.Charset;
        }
        if (record.VerticalSet)
            vertical = record.Vertical;
        if (record.LinkSet)
            link = record.LinkTarget;
    }
    const TUpdateLock update(attributes, &TCustomEasyEditorAttributes::BeginUpdate,
                             &TCustomEasyEditorAttributes::EndUpdate);
    attributes.SetColor(color);
    attributes.SetBackColor(backColor);
    attributes.SetName(name);
    attributes.SetCharset(charset);
    attributes.SetSize(size);
    attributes.SetStyle(style);
    attributes.SetVerticalPosition(vertical);
    attributes.SetText(ToWide(link));
}

}  // namespace qrv
