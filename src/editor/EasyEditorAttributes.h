#pragma once
// Small value objects the RTF importer fills while it reads formatted text:
// character attributes with a mask of what was assigned, paragraph
// attributes, and the size of an embedded object. Subclasses react through
// Changed. Portable.

#include "editor/EasyParserBase.h"

#include <cstdint>
#include <string>

namespace qrv {

// Mask bits of TCustomEasyEditorAttributes: which attributes were assigned.
enum : uint16_t {
    amColor = 0x0001,
    amBackColor = 0x0002,
    amName = 0x0004,
    amCharset = 0x0008,
    amPitch = 0x0010,
    amSize = 0x0020,
    amBold = 0x0040,
    amItalic = 0x0080,
    amStrikeOut = 0x0100,
    amUnderline = 0x0200,
    amSubscript = 0x0400,
    amSuperscript = 0x0800,
    amStyle = 0x1000,
    amVerticalPosition = 0x2000,
    amValue = 0x4000,
    amText = 0x8000,
};

class TCustomEasyEditorAttributes {
public:
    virtual ~TCustomEasyEditorAttributes() = default;

    uint16_t Mask() const { return mask_; }
    void SetMask(uint16_t mask) { mask_ = mask; }

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor value);
    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& value);
    uint8_t Charset() const { return charset_; }
    void SetCharset(uint8_t value);
    uint8_t Pitch() const { return pitch_; }
    void SetPitch(uint8_t value);
    int32_t Size() const { return size_; }
    void SetSize(int32_t value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);
    // 0 normal, 1 subscript, 2 superscript.
    uint8_t VerticalPosition() const { return verticalPosition_; }
    void SetVerticalPosition(uint8_t value);
    int32_t Value() const { return value_; }
    void SetValue(int32_t value);
    const std::wstring& Text() const { return text_; }
    void SetText(const std::wstring& value);

    // Copies every attribute of the other object, inside one update bracket.
    void Assign(const TCustomEasyEditorAttributes& source);

    // The mask of the attributes whose stored value is current: an assignment
    // of an equal, current value is skipped.
    virtual uint16_t ValidMask() const { return 0; }
    virtual void Changed() {}
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}

private:
    // Stores the value and marks it unless it is equal and current.
    template <typename T>
    void Store(T& field, const T& value, uint16_t bit);

    uint16_t mask_ = 0;
    TColor color_ = 0;
    TColor backColor_ = 0;
    std::wstring name_;
    uint8_t charset_ = 0;
    uint8_t pitch_ = 0;
    int32_t size_ = 0;
    TFontStyles style_ = 0;
    uint8_t verticalPosition_ = 0;
    int32_t value_ = 0;
    std::wstring text_;
};

class TCustomEasyParagraph {
public:
    virtual ~TCustomEasyParagraph() = default;

    int32_t FirstIndent() const { return firstIndent_; }
    void SetFirstIndent(int32_t value) { Store(firstIndent_, value); }
    int32_t LeftIndent() const { return leftIndent_; }
    void SetLeftIndent(int32_t value) { Store(leftIndent_, value); }
    int32_t RightIndent() const { return rightIndent_; }
    void SetRightIndent(int32_t value) { Store(rightIndent_, value); }
    // Switching numbering on also indents the paragraph as a list item.
    bool Numbering() const { return numbering_ != 0; }
    void SetNumbering(bool value);
    uint8_t Alignment() const { return alignment_; }
    void SetAlignment(uint8_t value) { Store(alignment_, value); }
    uint8_t NumberingStyle() const { return numberingStyle_; }
    void SetNumberingStyle(uint8_t value) { Store(numberingStyle_, value); }
    int32_t Value() const { return value_; }
    void SetValue(int32_t value) { Store(value_, value); }

    // Numbering first, then the other fields, inside one update bracket.
    void Assign(const TCustomEasyParagraph& source);

    virtual void Changed() {}
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}

private:
    template <typename T>
    void Store(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }

    int32_t firstIndent_ = 0;
    int32_t leftIndent_ = 0;
    int32_t rightIndent_ = 0;
    uint8_t numbering_ = 0;
    uint8_t alignment_ = 0;
    uint8_t numberingStyle_ = 0;
    int32_t value_ = 1;
};

class TCustomEasyEditorObject {
public:
    virtual ~TCustomEasyEditorObject() = default;

    int32_t Width() const { return width_; }
    void SetWidth(int32_t value);
    int32_t Height() const { return height_; }
    void SetHeight(int32_t value);
    uint8_t Flag() const { return flag_; }
    void SetFlag(uint8_t value);

    // Kind 0 after a width change, 1 after a height or flag change.
    virtual void Changed(int /*kind*/) {}
    virtual int Query() const { return 0; }

private:
    int32_t width_ = 16;
    int32_t height_ = 16;
    uint8_t flag_ = 0;
};

}  // namespace qrv
