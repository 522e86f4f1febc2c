#pragma once
// A column of the improved string grid: how its cells and title look and
// are edited. What a column was never given it takes from its grid, read
// each time, so that it follows later changes of the grid. Portable.

#include "framework/Alignment.h"
#include "framework/Colors.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

enum class TImpColumnButtonStyle { cbsNone, cbsEllipsis, cbsPicklist };

// A font as a column describes it; the grid makes the screen font from it.
struct TImpGridFont {
    std::wstring Name;   // empty: the system's message font
    int Height = -12;    // in pixels, negative for the character height
    unsigned Style = 0;  // bold 1, italic 2, underline 4, strike-out 8
    TColor Color = clWindowText;
    bool operator==(const TImpGridFont&) const = default;
};

// The input method a column's editor is switched to when it opens:
// disabled, closed, open, left as it is, or open in a conversion mode
// (half- and full-width alphanumeric, hiragana, half- and full-width
// katakana, Chinese, half- and full-width hangul).
enum class TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel
};

// What a column without a grid, or an unassigned property, falls back on.
struct TImpGridLook {
    TColor Color = clWindow;        // the grid's colour
    TColor FixedColor = clBtnFace;  // its fixed cells' colour
    int DefaultColWidth = 64;
    TImpGridFont Font;  // the grid's font
    TImeMode ImeMode = TImeMode::imDontCare;
    std::wstring ImeName;  // empty: the screen's default input method
};

class TImpColumnTitle {
public:
    const std::wstring& Caption() const { return caption_ ? *caption_ : kEmpty; }
    void SetCaption(const std::wstring& caption) { caption_ = caption; }
    TAlignment Alignment() const { return alignment_.value_or(TAlignment::taLeftJustify); }
    void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
    TColor Color(const TImpGridLook& grid) const { return color_.value_or(grid.FixedColor); }
    void SetColor(TColor color) { color_ = color; }
    // Unassigned: the column's font, so a change of the column's shows.
    const TImpGridFont& Font(const TImpGridFont& columnFont) const { return font_ ? *font_ : columnFont; }
    void SetFont(const TImpGridFont& font) { font_ = font; }
    bool FontAssigned() const { return font_.has_value(); }
    bool CaptionAssigned() const { return caption_.has_value(); }
    void ResetToDefaults() { *this = TImpColumnTitle(); }

private:
    static inline const std::wstring kEmpty;
    std::optional<std::wstring> caption_;
    std::optional<TAlignment> alignment_;
    std::optional<TColor> color_;
    std::optional<TImpGridFont> font_;
};

struct TImpColumn {
    // The column's width in the grid's layout.
    int Width = 64;
    TImpColumnButtonStyle ButtonStyle = TImpColumnButtonStyle::cbsNone;
    int MaxLength = 0;  // the editor's limit, 0 for none
    bool ReadOnly = false;
    // Rows the pick list shows before it scrolls.
    int DropDownRows = 7;
    // The choices of a cbsPicklist column.
    std::vector<std::wstring> PickList;
    TImpColumnTitle Title;

    TAlignment Alignment() const { return alignment_.value_or(TAlignment::taLeftJustify); }
    void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
    TColor Color(const TImpGridLook& grid) const { return color_.value_or(grid.Color); }
    void SetColor(TColor color) { color_ = color; }
    bool ColorAssigned() const { return color_.has_value(); }
    // Unassigned: the grid's font as it is at the reading.
    const TImpGridFont& Font(const TImpGridLook& grid) const { return font_ ? *font_ : grid.Font; }
    void SetFont(const TImpGridFont& font) { font_ = font; }
    bool FontAssigned() const { return font_.has_value(); }
    TImeMode ImeMode(const TImpGridLook& grid) const { return imeMode_.value_or(grid.ImeMode); }
    void SetImeMode(TImeMode mode) { imeMode_ = mode; }
    const std::wstring& ImeName(const TImpGridLook& grid) const { return imeName_ ? *imeName_ : grid.ImeName; }
    void SetImeName(const std::wstring& name) { imeName_ = name; }
    // Forgets every assigned property, the title's too; no pick list, no button.
    void ResetToDefaults();

private:
    std::optional<TAlignment> alignment_;
    std::optional<TColor> color_;
    std::optional<TImpGridFont> font_;
    std::optional<TImeMode> imeMode_;
    std::optional<std::wstring> imeName_;
};

// The pick list's height for `count` items: at most `dropDownRows` rows,
// and the frame; an empty list is the frame alone.
int PickListHeight(int count, int dropDownRows, int itemHeight);

// Whether one more row would overflow a grid `gridHeight` high.
bool RowsWouldOverflow(int rowCount, int defaultRowHeight, int gridLineWidth, int gridHeight);

// The pick list's type-ahead: printable keys build a search text (begun
// anew after a pause), which selects the first item beginning with it.
class TTypeAheadSearch {
public:
    static constexpr uint32_t kPauseMs = 2000;
    static constexpr size_t kMaxLength = 32;
    // A printable key (32..255) at `nowMs`: the index of the first item that
    // begins with the search text (ignoring case), or -1.
    int Key(wchar_t key, uint32_t nowMs, const std::vector<std::wstring>& items);
    // Backspace and Esc begin anew.
    void Clear() { text_.clear(); }
    const std::wstring& Text() const { return text_; }

private:
    std::wstring text_;
    uint32_t lastKey_ = 0;
};

}  // namespace qrv
