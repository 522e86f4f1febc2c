#pragma once
// The editor's appearance settings, grouped as its persistent sub-objects:
// gutter, right margin, line numbers, line divider, popup window size, the
// rulers' settings, line styles and colours. Each keeps its values and
// clamps, tells its editor what to redo through TEasyEditorLink and stores
// itself through the editor family's property tables. Portable: the editor
// control turns pens and brushes into drawing objects.

#include "editor/EasyEditorLink.h"
#include "editor/EasyParserBase.h"
#include "editor/EasyPersistent.h"
#include "framework/Colors.h"

#include <functional>
#include <string>
#include <vector>

namespace qrv {

// Pen and brush settings as the sub-objects keep them; the styles are the
// system's PS_ and BS_ values (0 solid).
struct TEasyPenValues {
    TColor Color = clBlack;
    int Width = 1;
    int Style = 0;
    bool operator==(const TEasyPenValues&) const = default;
};
struct TEasyBrushValues {
    TColor Color = clWhite;
    int Style = 0;
    bool operator==(const TEasyBrushValues&) const = default;
};

// Sub-object pens are at most this wide.
constexpr int kMaxEasyPenWidth = 2;

class TEasyLineNumbers;

// Persistent pen and brush entries of a property table.
void AddPenProperties(std::vector<TEasyProperty>& table, const std::wstring& prefix,
                      std::function<TEasyPenValues()> get, std::function<void(const TEasyPenValues&)> set);
void AddBrushProperties(std::vector<TEasyProperty>& table, const std::wstring& prefix,
                        std::function<TEasyBrushValues()> get, std::function<void(const TEasyBrushValues&)> set);

// The gutter strip's images beside the bookmarks 0-9.
constexpr int kEasyGutterWrapImage = 10;
constexpr int kEasyGutterExpandedImage = 12;
constexpr int kEasyGutterCollapsedImage = 13;

class TEasyEditorGutter : public TEasyPersistent {
public:
    explicit TEasyEditorGutter(TEasyEditorLink* editor = nullptr);

    const TEasyPenValues& Pen() const { return pen_; }
    void SetPen(TEasyPenValues pen);  // width cut to kMaxEasyPenWidth
    const TEasyBrushValues& Brush() const { return brush_; }
    void SetBrush(const TEasyBrushValues& brush);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    int Indent() const { return indent_; }
    void SetIndent(int indent);

    // The images are the editor's; the gutter knows how many there are, so
    // an index outside them paints as none.
    int ImageCount() const { return imageCount_; }
    void SetImageCount(int count) { imageCount_ = count; }
    bool ValidImageIndex(int index) const { return index >= 0 && index < imageCount_; }
    bool ImagesChanged() const { return imagesChanged_; }
    void MarkImagesChanged();

    // The width painted: none without eoPaintGutter; the line numbers' width
    // when they are painted on the gutter and need more.
    int PaintedWidth(const TEasyLineNumbers& lineNumbers) const;

    std::function<void()> OnChange;
    std::vector<TEasyProperty> Properties() override;

private:
    void Changed();
    TEasyEditorLink* editor_;
    TEasyPenValues pen_;
    TEasyBrushValues brush_{clBtnFace, 0};
    TColor backColor_ = clWindow;
    int width_ = 32;
    int indent_ = 0;
    int imageCount_ = 0;
    bool imagesChanged_ = false;
};

class TEasyEditorMargin : public TEasyPersistent {
public:
    explicit TEasyEditorMargin(TEasyEditorLink* editor = nullptr) : editor_(editor) {}

    int Position() const { return position_; }
    void SetPosition(int column);
    const TEasyPenValues& Pen() const { return pen_; }
    void SetPen(TEasyPenValues pen);

    std::function<void()> OnChange;
    std::vector<TEasyProperty> Properties() override;

private:
    void Changed();
    TEasyEditorLink* editor_;
    int position_ = 80;
    TEasyPenValues pen_{clBtnShadow, 1, 0};
};

enum TEasyLineNumbersOption : unsigned { lnPaintOnGutter = 1, lnPaintBeyondEof = 2 };
using TEasyLineNumbersOptions = unsigned;
enum class TEasyLineNumbersAlign { lnLeft, lnRight };

class TEasyLineNumbers : public TEasyPersistent {
public:
    explicit TEasyLineNumbers(TEasyEditorLink* editor = nullptr) : editor_(editor) {}

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor color);
    TEasyLineNumbersAlign Alignment() const { return alignment_; }
    void SetAlignment(TEasyLineNumbersAlign alignment);
    TEasyLineNumbersOptions Options() const { return options_; }
    void SetOptions(TEasyLineNumbersOptions options);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int Indent() const { return indent_; }
    void SetIndent(int indent);
    int StartFrom() const { return startFrom_; }
    void SetStartFrom(int start);  // negative becomes 0

    std::vector<TEasyProperty> Properties() override;

private:
    void Repaint();
    void Relayout();
    TEasyEditorLink* editor_;
    TColor color_ = 0;
    TColor backColor_ = clWindow;
    TEasyLineNumbersAlign alignment_ = TEasyLineNumbersAlign::lnLeft;
    TEasyLineNumbersOptions options_ = 0;
    bool visible_ = false;
    int indent_ = 2;
    int startFrom_ = 0;
};

enum TEasyLineDividerOption : unsigned { ldSeparateLines = 1, ldSeparateWrapLines = 2, ldHighlightCurrentLine = 4 };
using TEasyLineDividerOptions = unsigned;

class TEasyLineDivider : public TEasyPersistent {
public:
    explicit TEasyLineDivider(TEasyEditorLink* editor = nullptr) : editor_(editor) {}

    TEasyLineDividerOptions Options() const { return options_; }
    void SetOptions(TEasyLineDividerOptions options);
    const TEasyPenValues& Pen() const { return pen_; }
    void SetPen(TEasyPenValues pen);
    const TEasyBrushValues& Brush() const { return brush_; }
    void SetBrush(const TEasyBrushValues& brush);

    std::vector<TEasyProperty> Properties() override;

private:
    void Changed();
    TEasyEditorLink* editor_;
    TEasyLineDividerOptions options_ = 0;
    TEasyPenValues pen_;
    TEasyBrushValues brush_{clBtnShadow, 0};
};

class TEasyPopupWindow : public TEasyPersistent {
public:
    // The default size is a quarter of the screen's.
    TEasyPopupWindow(int screenWidth, int screenHeight);

    int Width = 0;
    int Height = 0;
    bool SizeAble = false;
    bool AdjustSize = true;
    std::vector<std::wstring> Items;

    std::vector<TEasyProperty> Properties() override;
};

enum class TEasyRulerUnits : uint8_t { erMilimeters, erInches, erPixels, erCharacters };

// The rulers' settings; the editor control owns the two ruler controls and
// shows them as these say.
class TEasyEditorRuler : public TEasyPersistent {
public:
    explicit TEasyEditorRuler(TEasyEditorLink* editor = nullptr) : editor_(editor) {}

    TEasyEditorRulerOptions Options() const { return options_; }
    void SetOptions(TEasyEditorRulerOptions options);
    TEasyRulerUnits Units() const { return units_; }
    void SetUnits(TEasyRulerUnits units);
    bool HorzVisible() const { return (options_ & roHorzRuler) != 0; }
    bool VertVisible() const { return (options_ & roVertRuler) != 0; }

    std::vector<TEasyProperty> Properties() override;

private:
    TEasyEditorLink* editor_;
    TEasyEditorRulerOptions options_ = 0;
    TEasyRulerUnits units_ = TEasyRulerUnits::erMilimeters;
};

struct TEasyLineStyle {
    std::wstring Name;
    TColor Color = clWindow;
    TColor BackColor = clHighlight;
    int ImageIndex = -1;
    bool IgnoreColors = false;
    bool operator==(const TEasyLineStyle&) const = default;
};

class TEasyLineStyles : public TEasyPersistent {
public:
    explicit TEasyLineStyles(TEasyEditorLink* editor = nullptr) : editor_(editor) {}

    int Count() const { return static_cast<int>(styles_.size()); }
    // The style a line mark refers to, or nullptr when it no longer exists.
    const TEasyLineStyle* Find(int index) const;
    const TEasyLineStyle& Items(int index) const { return styles_.at(static_cast<size_t>(index)); }
    int Add(TEasyLineStyle style = {});
    void SetItem(int index, const TEasyLineStyle& style);
    void Delete(int index);
    void Clear();
    // The gutter image of a line mark's style, -1 for none: a style that no
    // longer exists or an image the gutter does not have paints nothing.
    int ImageFor(int styleIndex, const TEasyEditorGutter& gutter) const;

    std::vector<TEasyProperty> Properties() override;

private:
    void Changed(bool imageOnly);
    TEasyEditorLink* editor_;
    std::vector<TEasyLineStyle> styles_;
};

// The editor's colour set: the ten colours of the base with the repaint
// each needs, and the colour of formatting marks.
class TEasyEditorColors : public TCustomEasyEditorColors, public TEasyPersistent {
public:
    explicit TEasyEditorColors(TEasyEditorLink* editor = nullptr);

    enum TColorIndex {
        ciSelColor,
        ciSelBackColor,
        ciSearchMatchColor,
        ciSearchMatchBackColor,
        ciReadOnlyColor,
        ciDisabledColor,
        ciInActiveSelColor,
        ciInActiveSelBackColor,
        ciLiveSpellColor,
        ciHyperStringColor,
        ciFmtMarkColor,
        ciCount
    };
    TColor Get(TColorIndex index) const;
    void Set(TColorIndex index, TColor color);

    void SetSelColor(TColor value) override { Set(ciSelColor, value); }
    void SetSelBackColor(TColor value) override { Set(ciSelBackColor, value); }
    void SetSearchMatchColor(TColor value) override { Set(ciSearchMatchColor, value); }
    void SetSearchMatchBackColor(TColor value) override { Set(ciSearchMatchBackColor, value); }
    void SetReadOnlyColor(TColor value) override { Set(ciReadOnlyColor, value); }
    void SetDisabledColor(TColor value) override { Set(ciDisabledColor, value); }
    void SetInActiveSelColor(TColor value) override { Set(ciInActiveSelColor, value); }
    void SetInActiveSelBackColor(TColor value) override { Set(ciInActiveSelBackColor, value); }
    void SetLiveSpellColor(TColor value) override { Set(ciLiveSpellColor, value); }
    void SetHyperStringColor(TColor value) override { Set(ciHyperStringColor, value); }
    TColor FmtMarkColor() const { return fmtMarkColor_; }
    void SetFmtMarkColor(TColor value) { Set(ciFmtMarkColor, value); }

    // The selection colours in effect: the inactive pair without the focus.
    TColor EffectiveSelColor() const;
    TColor EffectiveSelBackColor() const;

    std::function<void()> OnChange;
    std::vector<TEasyProperty> Properties() override;

private:
    TColor* Slot(TColorIndex index);
    TEasyEditorLink* editor_;
    TColor fmtMarkColor_ = clBtnShadow;
};

// Collections store their items as a list of encoded item blocks.
std::wstring EncodeEasyItem(TEasyPersistent& item);
void DecodeEasyItem(const std::wstring& text, TEasyPersistent& item);

}  // namespace qrv
