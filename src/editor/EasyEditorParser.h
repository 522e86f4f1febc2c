#pragma once
// TEasyEditorParser: the rule-driven parser a form places beside its editor
// and attaches to the editor's source, with a style per declared token
// (font colour, font style, background) followed by the five styles of the
// editor's states. Built-in colour mappings give the well-known token names
// their colours; a rules change keeps what the user set for a token.
// Without rules it knows no state and no token: every line is one run
// without a token, painted in the editor's own font colour. Portable.

#include "editor/EasyParser.h"
#include "editor/EasyPersistent.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace qrv {

enum class TEasyColorMapping { cmDefault, cmClassic, cmOcean, cmTwilight };

// One row of a built-in style table.
struct TEasyStyleRecord {
    const char16_t* Name;
    TColor FontColor;
    TColor Color;
    TFontStyles FontStyle;
    const char16_t* Description;
};

// The mapping's table: the token rows, then the five state rows.
std::span<const TEasyStyleRecord> EasyStyleTable(TEasyColorMapping mapping);
// The mapping's default background: the colour of its "tnone" row.
TColor EasyMappingBackground(TEasyColorMapping mapping);

class TEasyEditorParser;
class TEasyParserStyles;

class TEasyParserStyle {
public:
    explicit TEasyParserStyle(TEasyParserStyles* owner = nullptr) : owner_(owner) {}

    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    TFontStyles FontStyle() const { return fontStyle_; }
    void SetFontStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    std::u16string Name;
    std::u16string Description;
    // The name, or the description without one.
    std::u16string DisplayName() const { return Name.empty() ? Description : Name; }

    // All five properties, told once.
    void Assign(const TEasyParserStyle& source);

private:
    friend class TEasyParserStyles;
    void Changed();
    TEasyParserStyles* owner_;
    TColor fontColor_ = clWindowText;
    TFontStyles fontStyle_ = 0;
    TColor color_ = clWindow;
};

class TEasyParserStyles {
public:
    // With an owner the list starts with the five state styles.
    explicit TEasyParserStyles(TEasyEditorParser* owner = nullptr);
    TEasyParserStyles(const TEasyParserStyles&) = delete;
    TEasyParserStyles& operator=(const TEasyParserStyles&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    TEasyParserStyle& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
    const TEasyParserStyle& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    // Case-insensitive; -1 when absent.
    int IndexOfName(std::u16string_view name) const;
    // 0-4 for "Active Selection", "Inactive Selection", "Search Match",
    // "Disabled Color" and "ReadOnly Color" (case-insensitive), else -1.
    static int StateStyleIndex(std::u16string_view name);
    // Adds a style of the name, at the front or the end, coloured by the
    // mapping's row of that name and then by the old style of that name;
    // with onlyIfKnown nothing is added for a name the old styles lack.
    TEasyParserStyle* AddStyle(std::u16string_view name, TEasyColorMapping mapping, bool atFront, bool onlyIfKnown,
                               const TEasyParserStyles* oldStyles);
    // Frees every style that is not a state style.
    void DeleteTokenStyles();
    // Clears and adds one style per row.
    void LoadTable(std::span<const TEasyStyleRecord> rows);
    // Copies the other list's styles, values and all.
    void Assign(const TEasyParserStyles& source);
    void Clear();

    void BeginUpdate() { ++updating_; }
    void EndUpdate();
    bool Updating() const { return updating_ > 0; }

private:
    friend class TEasyParserStyle;
    void StyleChanged();
    TEasyEditorParser* owner_;
    std::vector<std::unique_ptr<TEasyParserStyle>> items_;
    int updating_ = 0;
    bool changedWhileUpdating_ = false;
};

// Stored: ColorMapping, UseGlobalSettings and the styles, one line per style
// (font colour, background, font style, name and description, tab-separated;
// a backslash escapes tab, line breaks and itself in the texts).
class TEasyEditorParser : public TEasySourceParser, public TEasyPersistent {
public:
    explicit TEasyEditorParser(TComponent* owner);
    ~TEasyEditorParser() override;

    TEasyParserStyles& Styles() { return *styles_; }
    const TEasyParserStyles& Styles() const { return *styles_; }
    void SetStyles(const TEasyParserStyles& styles) { styles_->Assign(styles); }
    TEasyColorMapping ColorMapping() const { return mapping_; }
    // A new mapping brings its background and its colours for the known names.
    void SetColorMapping(TEasyColorMapping mapping);
    bool UseGlobalSettings() const { return useGlobalSettings_; }
    // Switched on, the global settings registered for this parser apply.
    void SetUseGlobalSettings(bool use);

    void GetTokenStyle(int token, TColor& fontColor, TFontStyles& fontStyle) override;
    TColor GetTokenBackground(int token) override;
    TColor GetBackgroundColor() override;
    int GetTokenCount() override;
    // Recolours the background of every token style (not the state styles).
    void SetBackgroundColor(TColor color) override;
    void ExchangeColors(TCustomEasyEditorColors& colors, bool toParser) override;
    // Compiles the rules, then makes a style per token, then tells the sources.
    void RulesChanged() override;
    // Copies the mapping's rows into the styles of their names.
    void ApplyColorMapping();

    // From the styles list: a style changed.
    void StylesChanged();

    std::vector<TEasyProperty> Properties() override;
    // The styles as stored, and back: every line is checked before any style
    // changes; a damaged one raises EReadError.
    TEasyStringsValue StyleLines() const;
    void SetStyleLines(const TEasyStringsValue& lines);

private:
    void RebuildStyles();

    std::unique_ptr<TEasyParserStyles> styles_;
    TEasyColorMapping mapping_ = TEasyColorMapping::cmDefault;
    bool useGlobalSettings_ = false;
    TColor backgroundColor_;
    bool backgroundSet_ = false;
    // Style changes made by the parser itself are told once, at its end.
    int quiet_ = 0;
};

}  // namespace qrv
