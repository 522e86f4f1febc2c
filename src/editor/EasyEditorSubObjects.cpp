#include "editor/EasyEditorSubObjects.h"

#include "editor/EasyPersistence.h"
#include "framework/Streams.h"

#include <algorithm>

namespace qrv {

namespace {

TEasyPenValues Clamped(TEasyPenValues pen)
{
    pen.Width = std::clamp(pen.Width, 1, kMaxEasyPenWidth);
    return pen;
}

int Int(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

TEasyProperty ColorProperty(std::wstring name, std::function<TColor()> get, std::function<void(TColor)> set)
{
    return IntegerProperty(
        std::move(name), [get] { return int64_t(get()); }, [set](int64_t value) { set(static_cast<TColor>(value)); });
}

TEasyProperty IntProperty(std::wstring name, std::function<int()> get, std::function<void(int)> set)
{
    return IntegerProperty(
        std::move(name), [get] { return int64_t(get()); }, [set](int64_t value) { set(Int(value)); });
}

}  // namespace

void AddPenProperties(std::vector<TEasyProperty>& table, const std::wstring& prefix,
                      std::function<TEasyPenValues()> get, std::function<void(const TEasyPenValues&)> set)
{
    table.push_back(ColorProperty(
        prefix + L"Color", [get] { return get().Color; },
        [get, set](TColor color) {
            TEasyPenValues pen = get();
            pen.Color = color;
            set(pen);
        }));
    table.push_back(IntProperty(
        prefix + L"Width", [get] { return get().Width; },
        [get, set](int width) {
            TEasyPenValues pen = get();
            pen.Width = width;
            set(pen);
        }));
    table.push_back(IntProperty(
        prefix + L"Style", [get] { return get().Style; },
        [get, set](int style) {
            TEasyPenValues pen = get();
            pen.Style = style;
            set(pen);
        }));
}

void AddBrushProperties(std::vector<TEasyProperty>& table, const std::wstring& prefix,
                        std::function<TEasyBrushValues()> get, std::function<void(const TEasyBrushValues&)> set)
{
    table.push_back(ColorProperty(
        prefix + L"Color", [get] { return get().Color; },
        [get, set](TColor color) {
            TEasyBrushValues brush = get();
            brush.Color = color;
            set(brush);
        }));
    table.push_back(IntProperty(
        prefix + L"Style", [get] { return get().Style; },
        [get, set](int style) {
            TEasyBrushValues brush = get();
            brush.Style = style;
            set(brush);
        }));
}

std::wstring EncodeEasyItem(TEasyPersistent& item)
{
    TMemoryStream stream;
    WriteStreamed(stream, item);
    const auto& bytes = stream.Bytes();
    return HexEncode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void DecodeEasyItem(const std::wstring& text, TEasyPersistent& item)
{
    const std::string bytes = HexDecode(text);
    TMemoryStream stream;
    stream.Write(bytes.data(), bytes.size());
    stream.Seek(0, TSeekOrigin::soBeginning);
    ReadStreamed(stream, item);
}

// --- Gutter -----------------------------------------------------------------

TEasyEditorGutter::TEasyEditorGutter(TEasyEditorLink* editor) : editor_(editor) {}

void TEasyEditorGutter::Changed()
{
    if (editor_)
        editor_->Invalidate();
    if (OnChange)
        OnChange();
}

void TEasyEditorGutter::SetPen(TEasyPenValues pen)
{
    pen = Clamped(pen);
    if (pen == pen_)
        return;
    pen_ = pen;
    Changed();
}

void TEasyEditorGutter::SetBrush(const TEasyBrushValues& brush)
{
    if (brush == brush_)
        return;
    brush_ = brush;
    Changed();
}

void TEasyEditorGutter::SetBackColor(TColor color)
{
    if (color == backColor_)
        return;
    backColor_ = color;
    if (editor_ && (editor_->EditorOptions() & eoPaintGutter))
        editor_->Invalidate();
}

void TEasyEditorGutter::SetWidth(int width)
{
    width = std::max(width, 0);
    if (width == width_)
        return;
    width_ = width;
    if (editor_) {
        editor_->UpdateScrollRange();
        editor_->UpdateGutter();
    }
}

void TEasyEditorGutter::SetIndent(int indent)
{
    if (indent == indent_)
        return;
    indent_ = indent;
    if (editor_)
        editor_->UpdateGutter();
}

void TEasyEditorGutter::MarkImagesChanged()
{
    imagesChanged_ = true;
    Changed();
}

int TEasyEditorGutter::PaintedWidth(const TEasyLineNumbers& lineNumbers) const
{
    const TEasyEditorOptions options = editor_ ? editor_->EditorOptions() : DefaultEasyEditorOptions;
    if (!(options & eoPaintGutter))
        return 0;
    if (lineNumbers.Visible() && (lineNumbers.Options() & lnPaintOnGutter))
        return std::max(width_, editor_ ? editor_->LineNumbersWidth() : 0);
    return width_;
}

std::vector<TEasyProperty> TEasyEditorGutter::Properties()
{
    std::vector<TEasyProperty> table;
    AddPenProperties(
        table, L"Pen.", [this] { return pen_; }, [this](const TEasyPenValues& pen) { SetPen(pen); });
    AddBrushProperties(
        table, L"Brush.", [this] { return brush_; }, [this](const TEasyBrushValues& brush) { SetBrush(brush); });
    table.push_back(ColorProperty(
        L"BackColor", [this] { return backColor_; }, [this](TColor c) { SetBackColor(c); }));
    table.push_back(IntProperty(
        L"Width", [this] { return width_; }, [this](int v) { SetWidth(v); }));
    table.push_back(IntProperty(
        L"Indent", [this] { return indent_; }, [this](int v) { SetIndent(v); }));
    return table;
}

// --- Margin -----------------------------------------------------------------

void TEasyEditorMargin::Changed()
{
    if (editor_)
        editor_->Invalidate();
    if (OnChange)
        OnChange();
}

void TEasyEditorMargin::SetPosition(int column)
{
    if (column == position_)
        return;
    position_ = column;
    Changed();
}

void TEasyEditorMargin::SetPen(TEasyPenValues pen)
{
    pen = Clamped(pen);
    if (pen == pen_)
        return;
    pen_ = pen;
    Changed();
}

std::vector<TEasyProperty> TEasyEditorMargin::Properties()
{
    std::vector<TEasyProperty> table;
    table.push_back(IntProperty(
        L"Position", [this] { return position_; }, [this](int v) { SetPosition(v); }));
    AddPenProperties(
        table, L"Pen.", [this] { return pen_; }, [this](const TEasyPenValues& pen) { SetPen(pen); });
    return table;
}

// --- Line numbers -----------------------------------------------------------

void TEasyLineNumbers::Repaint()
{
    if (editor_)
        editor_->Invalidate();
}

void TEasyLineNumbers::Relayout()
{
    if (editor_)
        editor_->UpdateGutter();
}

void TEasyLineNumbers::SetColor(TColor color)
{
    if (color != color_) {
        color_ = color;
        Repaint();
    }
}

void TEasyLineNumbers::SetBackColor(TColor color)
{
    if (color != backColor_) {
        backColor_ = color;
        Repaint();
    }
}

void TEasyLineNumbers::SetAlignment(TEasyLineNumbersAlign alignment)
{
    if (alignment != alignment_) {
        alignment_ = alignment;
        Repaint();
    }
}

void TEasyLineNumbers::SetOptions(TEasyLineNumbersOptions options)
{
    options &= lnPaintOnGutter | lnPaintBeyondEof;
    if (options != options_) {
        options_ = options;
        Relayout();
    }
}

void TEasyLineNumbers::SetVisible(bool visible)
{
    if (visible != visible_) {
        visible_ = visible;
        Relayout();
    }
}

void TEasyLineNumbers::SetIndent(int indent)
{
    if (indent != indent_) {
        indent_ = indent;
        Relayout();
    }
}

void TEasyLineNumbers::SetStartFrom(int start)
{
    start = std::max(start, 0);
    if (start != startFrom_) {
        startFrom_ = start;
        Relayout();
    }
}

std::vector<TEasyProperty> TEasyLineNumbers::Properties()
{
    return {
        ColorProperty(
            L"Color", [this] { return color_; }, [this](TColor c) { SetColor(c); }),
        ColorProperty(
            L"BackColor", [this] { return backColor_; }, [this](TColor c) { SetBackColor(c); }),
        IntProperty(
            L"Options", [this] { return int(options_); }, [this](int v) { SetOptions(unsigned(v)); }),
        BooleanProperty(
            L"Visible", [this] { return visible_; }, [this](bool v) { SetVisible(v); }),
        IntProperty(
            L"Alignment", [this] { return int(alignment_); },
            [this](int v) { SetAlignment(v == 1 ? TEasyLineNumbersAlign::lnRight : TEasyLineNumbersAlign::lnLeft); }),
        IntProperty(
            L"Indent", [this] { return indent_; }, [this](int v) { SetIndent(v); }),
        IntProperty(
            L"StartFrom", [this] { return startFrom_; }, [this](int v) { SetStartFrom(v); }),
    };
}

// --- Line divider -----------------------------------------------------------

void TEasyLineDivider::Changed()
{
    if (editor_)
        editor_->Invalidate();
}

void TEasyLineDivider::SetOptions(TEasyLineDividerOptions options)
{
    options &= ldSeparateLines | ldSeparateWrapLines | ldHighlightCurrentLine;
    if (options != options_) {
        options_ = options;
        Changed();
    }
}

void TEasyLineDivider::SetPen(TEasyPenValues pen)
{
    pen = Clamped(pen);
    if (pen != pen_) {
        pen_ = pen;
        Changed();
    }
}

void TEasyLineDivider::SetBrush(const TEasyBrushValues& brush)
{
    if (brush != brush_) {
        brush_ = brush;
        Changed();
    }
}

std::vector<TEasyProperty> TEasyLineDivider::Properties()
{
    std::vector<TEasyProperty> table;
    table.push_back(IntProperty(
        L"Options", [this] { return int(options_); }, [this](int v) { SetOptions(unsigned(v)); }));
    AddPenProperties(
        table, L"Pen.", [this] { return pen_; }, [this](const TEasyPenValues& pen) { SetPen(pen); });
    AddBrushProperties(
        table, L"Brush.", [this] { return brush_; }, [this](const TEasyBrushValues& brush) { SetBrush(brush); });
    return table;
}

// --- Popup window -----------------------------------------------------------

TEasyPopupWindow::TEasyPopupWindow(int screenWidth, int screenHeight) : Width(screenWidth / 4), Height(screenHeight / 4)
{}

std::vector<TEasyProperty> TEasyPopupWindow::Properties()
{
    return {
        IntProperty(
            L"Width", [this] { return Width; }, [this](int v) { Width = v; }),
        IntProperty(
            L"Height", [this] { return Height; }, [this](int v) { Height = v; }),
        BooleanProperty(
            L"SizeAble", [this] { return SizeAble; }, [this](bool v) { SizeAble = v; }),
        BooleanProperty(
            L"AdjustSize", [this] { return AdjustSize; }, [this](bool v) { AdjustSize = v; }),
        StringsProperty(
            L"Items", [this] { return Items; }, [this](const TEasyStringsValue& v) { Items = v; }),
    };
}

// --- Ruler settings ---------------------------------------------------------

void TEasyEditorRuler::SetOptions(TEasyEditorRulerOptions options)
{
    options &= roVertRuler | roHorzRuler;
    if (options != options_) {
        options_ = options;
        if (editor_)
            editor_->RulerChanged();
    }
}

void TEasyEditorRuler::SetUnits(TEasyRulerUnits units)
{
    if (units != units_) {
        units_ = units;
        if (editor_)
            editor_->RulerChanged();
    }
}

std::vector<TEasyProperty> TEasyEditorRuler::Properties()
{
    return {
        IntProperty(
            L"Options", [this] { return int(options_); }, [this](int v) { SetOptions(unsigned(v)); }),
        IntProperty(
            L"Units", [this] { return int(units_); },
            [this](int v) { SetUnits(TEasyRulerUnits(std::clamp(v, 0, int(TEasyRulerUnits::erCharacters)))); }),
    };
}

// --- Line styles ------------------------------------------------------------

namespace {

// One line style as a persistent object, for its encoded block.
class TLineStyleItem : public TEasyPersistent {
public:
    explicit TLineStyleItem(TEasyLineStyle& style) : style_(style) {}
    std::vector<TEasyProperty> Properties() override
    {
        return {
            StringProperty(
                L"Name", [this] { return style_.Name; }, [this](const std::wstring& v) { style_.Name = v; }),
            ColorProperty(
                L"Color", [this] { return style_.Color; }, [this](TColor c) { style_.Color = c; }),
            ColorProperty(
                L"BackColor", [this] { return style_.BackColor; }, [this](TColor c) { style_.BackColor = c; }),
            IntProperty(
                L"ImageIndex", [this] { return style_.ImageIndex; }, [this](int v) { style_.ImageIndex = v; }),
            BooleanProperty(
                L"IgnoreColors", [this] { return style_.IgnoreColors; }, [this](bool v) { style_.IgnoreColors = v; }),
        };
    }

private:
    TEasyLineStyle& style_;
};

}  // namespace

const TEasyLineStyle* TEasyLineStyles::Find(int index) const
{
    return index >= 0 && index < Count() ? &styles_[size_t(index)] : nullptr;
}

void TEasyLineStyles::Changed(bool imageOnly)
{
    if (!editor_)
        return;
    if (!imageOnly || (editor_->EditorOptions() & eoPaintGutter))
        editor_->Invalidate();
}

int TEasyLineStyles::Add(TEasyLineStyle style)
{
    styles_.push_back(std::move(style));
    Changed(false);
    return Count() - 1;
}

void TEasyLineStyles::SetItem(int index, const TEasyLineStyle& style)
{
    TEasyLineStyle& item = styles_.at(size_t(index));
    if (item == style)
        return;
    TEasyLineStyle onlyImage = item;
    onlyImage.ImageIndex = style.ImageIndex;
    const bool imageOnly = onlyImage == style;
    item = style;
    Changed(imageOnly);
}

void TEasyLineStyles::Delete(int index)
{
    styles_.erase(styles_.begin() + std::ptrdiff_t(std::clamp(index, 0, Count() - 1)));
    Changed(false);
}

void TEasyLineStyles::Clear()
{
    styles_.clear();
    Changed(false);
}

int TEasyLineStyles::ImageFor(int styleIndex, const TEasyEditorGutter& gutter) const
{
    const TEasyLineStyle* style = Find(styleIndex);
    if (!style || !gutter.ValidImageIndex(style->ImageIndex))
        return -1;
    return style->ImageIndex;
}

std::vector<TEasyProperty> TEasyLineStyles::Properties()
{
    return {StringsProperty(
        L"Items",
        [this] {
            TEasyStringsValue items;
            for (TEasyLineStyle& style : styles_) {
                TLineStyleItem item(style);
                items.push_back(EncodeEasyItem(item));
            }
            return items;
        },
        [this](const TEasyStringsValue& items) {
            std::vector<TEasyLineStyle> read(items.size());
            for (size_t i = 0; i < items.size(); ++i) {
                TLineStyleItem item(read[i]);
                DecodeEasyItem(items[i], item);
            }
            styles_ = std::move(read);
            Changed(false);
        })};
}

// --- Colours ----------------------------------------------------------------

TEasyEditorColors::TEasyEditorColors(TEasyEditorLink* editor) : editor_(editor)
{
    selColor_ = clHighlightText;
    selBackColor_ = clHighlight;
    searchMatchColor_ = clLime;
    searchMatchBackColor_ = clBlack;
    readOnlyColor_ = clBtnFace;
    disabledColor_ = clBtnFace;
    inActiveSelColor_ = clWindowText;
    inActiveSelBackColor_ = clBtnFace;
    liveSpellColor_ = clRed;
    hyperStringColor_ = clBlue;
}

TColor* TEasyEditorColors::Slot(TColorIndex index)
{
    TColor* const slots[ciCount] = {&selColor_,       &selBackColor_,     &searchMatchColor_, &searchMatchBackColor_,
                                    &readOnlyColor_,  &disabledColor_,    &inActiveSelColor_, &inActiveSelBackColor_,
                                    &liveSpellColor_, &hyperStringColor_, &fmtMarkColor_};
    return index >= 0 && index < ciCount ? slots[index] : nullptr;
}

TColor TEasyEditorColors::Get(TColorIndex index) const
{
    const TColor* slot = const_cast<TEasyEditorColors*>(this)->Slot(index);
    return slot ? *slot : clNone;
}

void TEasyEditorColors::Set(TColorIndex index, TColor color)
{
    TColor* slot = Slot(index);
    if (!slot || *slot == color)
        return;
    *slot = color;
    if (editor_) {
        const TEasyEditorOptions options = editor_->EditorOptions();
        switch (index) {
        case ciSelColor:
        case ciSelBackColor:
        case ciInActiveSelColor:
        case ciInActiveSelBackColor:
            editor_->InvalidateSelection();
            break;
        case ciSearchMatchColor:
        case ciSearchMatchBackColor:
            if ((options & eoEnableSearchHighlight) && editor_->HasSearchMatch())
                editor_->Invalidate();
            break;
        case ciReadOnlyColor:
            if (options & eoUseReadOnlyColor)
                editor_->Invalidate();
            break;
        case ciDisabledColor:
            if (options & eoUseDisabledColor)
                editor_->Invalidate();
            break;
        case ciLiveSpellColor:
            if (editor_->LiveSpell())
                editor_->Invalidate();
            break;
        case ciHyperStringColor:
            if (editor_->HighlightUrls())
                editor_->Invalidate();
            break;
        case ciFmtMarkColor:
            if (options & eoPaintFormattingMarks)
                editor_->Invalidate();
            break;
        case ciCount:
            break;
        }
    }
    if (OnChange)
        OnChange();
}

TColor TEasyEditorColors::EffectiveSelColor() const
{
    return editor_ && editor_->Focused() ? selColor_ : inActiveSelColor_;
}

TColor TEasyEditorColors::EffectiveSelBackColor() const
{
    return editor_ && editor_->Focused() ? selBackColor_ : inActiveSelBackColor_;
}

std::vector<TEasyProperty> TEasyEditorColors::Properties()
{
    static const wchar_t* const names[ciCount] = {
        L"SelColor",       L"SelBackColor",     L"SearchMatchColor", L"SearchMatchBackColor",
        L"ReadOnlyColor",  L"DisabledColor",    L"InActiveSelColor", L"InActiveSelBackColor",
        L"LiveSpellColor", L"HyperStringColor", L"FmtMarkColor"};
    std::vector<TEasyProperty> table;
    for (int i = 0; i < ciCount; ++i) {
        const auto index = TColorIndex(i);
        table.push_back(ColorProperty(
            names[i], [this, index] { return Get(index); }, [this, index](TColor c) { Set(index, c); }));
    }
    return table;
}

}  // namespace qrv
