#include "editor/EasyEditorParser.h"

#include "editor/EasyEditorSubObjects.h"
#include "editor/EasyFindText.h"
#include "editor/EasySettings.h"
#include "editor/WideText.h"
#include "framework/ScopeExit.h"

#include <algorithm>
#include <array>

namespace qrv {

namespace {

constexpr TFontStyles kNoStyle = 0;
constexpr TColor kNoColor = -1;

// Token rows, then state rows, in every table.
constexpr std::array<TEasyStyleRecord, 18> kDefaultTable{{
    {u"tnone", clBlack, clWindow, kNoStyle, u"None"},
    {u"tstring", clMaroon, clWindow, kNoStyle, u"String"},
    {u"tcomment", clNavy, clWindow, kNoStyle, u"Comment"},
    {u"tident", clBlack, clWindow, kNoStyle, u"Ident"},
    {u"tinteger", clBlack, clWindow, kNoStyle, u"Integer"},
    {u"tfloat", clBlack, clWindow, kNoStyle, u"Float"},
    {u"tresword", clBlack, clWindow, efBold, u"Resword"},
    {u"tresword1", clTeal, clWindow, efBold, u"Resword 1"},
    {u"tresword2", clBlack, clWindow, efBold, u"Resword 2"},
    {u"tassembler", clGreen, clWindow, kNoStyle, u"Assembler"},
    {u"turl", clBlue, clWindow, efUnderline, u"URL"},
    {u"twhitespace", clBlack, clWindow, kNoStyle, u"White Space"},
    {u"tdirective", clGreen, clWindow, kNoStyle, u"Directive"},
    {u"Active Selection", clHighlightText, clHighlight, kNoStyle, u"Active Selection"},
    {u"Inactive Selection", clWindowText, clBtnFace, kNoStyle, u"Inactive Selection"},
    {u"Search Match", clLime, clBlack, kNoStyle, u"Search Match"},
    {u"Disabled Color", clBtnFace, kNoColor, kNoStyle, u"Disabled Color"},
    {u"ReadOnly Color", clBtnFace, kNoColor, kNoStyle, u"ReadOnly Color"},
}};

constexpr std::array<TEasyStyleRecord, 18> kClassicTable{{
    {u"tnone", clYellow, clNavy, kNoStyle, u"None"},
    {u"tstring", clYellow, clNavy, kNoStyle, u"String"},
    {u"tcomment", clSilver, clNavy, kNoStyle, u"Comment"},
    {u"tident", clYellow, clNavy, kNoStyle, u"Ident"},
    {u"tinteger", clYellow, clNavy, kNoStyle, u"Integer"},
    {u"tfloat", clYellow, clNavy, kNoStyle, u"Float"},
    {u"tresword", clWhite, clNavy, kNoStyle, u"Resword"},
    {u"tresword1", clWhite, clNavy, kNoStyle, u"Resword 1"},
    {u"tresword2", clWhite, clNavy, kNoStyle, u"Resword 2"},
    {u"tassembler", clLime, clNavy, kNoStyle, u"Assembler"},
    {u"turl", clLime, clNavy, efUnderline, u"URL"},
    {u"twhitespace", clBlack, clNavy, kNoStyle, u"White Space"},
    {u"tdirective", clYellow, clNavy, kNoStyle, u"Directive"},
    {u"Active Selection", clHighlight, clBtnFace, kNoStyle, u"Active Selection"},
    {u"Inactive Selection", clWindowText, clBtnFace, kNoStyle, u"Inactive Selection"},
    {u"Search Match", clBlack, clAqua, kNoStyle, u"Search Match"},
    {u"Disabled Color", clBtnFace, kNoColor, kNoStyle, u"Disabled Color"},
    {u"ReadOnly Color", clBtnFace, kNoColor, kNoStyle, u"ReadOnly Color"},
}};

constexpr std::array<TEasyStyleRecord, 18> kOceanTable{{
    {u"tnone", clBlack, clAqua, kNoStyle, u"None"},
    {u"tstring", clPurple, clAqua, kNoStyle, u"String"},
    {u"tcomment", clTeal, clAqua, efItalic, u"Comment"},
    {u"tident", clBlue, clAqua, kNoStyle, u"Ident"},
    {u"tinteger", clOlive, clAqua, kNoStyle, u"Integer"},
    {u"tfloat", clOlive, clAqua, kNoStyle, u"Float"},
    {u"tresword", clBlack, clAqua, efBold, u"Resword"},
    {u"tresword1", clTeal, clAqua, efBold, u"Resword 1"},
    {u"tresword2", clBlack, clAqua, efBold, u"Resword 2"},
    {u"tassembler", clBlue, clAqua, kNoStyle, u"Assembler"},
    {u"turl", clBlue, clAqua, efUnderline, u"URL"},
    {u"twhitespace", clBlack, clAqua, kNoStyle, u"White Space"},
    {u"tdirective", clWindowText, clAqua, kNoStyle, u"Directive"},
    {u"Active Selection", clAqua, clBlue, kNoStyle, u"Active Selection"},
    {u"Inactive Selection", clWindowText, clBtnFace, kNoStyle, u"Inactive Selection"},
    {u"Search Match", clAqua, clGray, kNoStyle, u"Search Match"},
    {u"Disabled Color", clBtnFace, kNoColor, kNoStyle, u"Disabled Color"},
    {u"ReadOnly Color", clBtnFace, kNoColor, kNoStyle, u"ReadOnly Color"},
}};

constexpr std::array<TEasyStyleRecord, 18> kTwilightTable{{
    {u"tnone", clWhite, clWindowText, kNoStyle, u"None"},
    {u"tstring", clYellow, clWindowText, kNoStyle, u"String"},
    {u"tcomment", clSilver, clWindowText, efItalic, u"Comment"},
    {u"tident", clWhite, clWindowText, kNoStyle, u"Ident"},
    {u"tinteger", clFuchsia, clWindowText, kNoStyle, u"Integer"},
    {u"tfloat", clFuchsia, clWindowText, kNoStyle, u"Float"},
    {u"tresword", clAqua, clWindowText, efBold, u"Resword"},
    {u"tresword1", clAqua, clWindowText, efBold, u"Resword 1"},
    {u"tresword2", clAqua, clWindowText, efBold, u"Resword 2"},
    {u"tassembler", clLime, clWindowText, kNoStyle, u"Assembler"},
    {u"turl", clTeal, clWindowText, efUnderline, u"URL"},
    {u"twhitespace", clWhite, clWindowText, kNoStyle, u"White Space"},
    {u"tdirective", clGreen, clWindowText, kNoStyle, u"Directive"},
    {u"Active Selection", clWindowText, clWindow, kNoStyle, u"Active Selection"},
    {u"Inactive Selection", clWindowText, clBtnFace, kNoStyle, u"Inactive Selection"},
    {u"Search Match", clBlue, clTeal, kNoStyle, u"Search Match"},
    {u"Disabled Color", clBtnFace, kNoColor, kNoStyle, u"Disabled Color"},
    {u"ReadOnly Color", clBtnFace, kNoColor, kNoStyle, u"ReadOnly Color"},
}};

constexpr size_t kTokenRowCount = 13;

bool SameName(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return SearchUpperCase(x) == SearchUpperCase(y);
           });
}

const TEasyStyleRecord* FindRow(TEasyColorMapping mapping, std::u16string_view name)
{
    for (const TEasyStyleRecord& row : EasyStyleTable(mapping))
        if (SameName(row.Name, name))
            return &row;
    return nullptr;
}

void CopyRow(TEasyParserStyle& style, const TEasyStyleRecord& row)
{
    style.SetFontColor(row.FontColor);
    style.SetColor(row.Color);
    style.SetFontStyle(row.FontStyle);
    style.Description = row.Description;
}

}  // namespace

std::span<const TEasyStyleRecord> EasyStyleTable(TEasyColorMapping mapping)
{
    switch (mapping) {
    case TEasyColorMapping::cmClassic:
        return kClassicTable;
    case TEasyColorMapping::cmOcean:
        return kOceanTable;
    case TEasyColorMapping::cmTwilight:
        return kTwilightTable;
    case TEasyColorMapping::cmDefault:
        break;
    }
    return kDefaultTable;
}

TColor EasyMappingBackground(TEasyColorMapping mapping)
{
    return EasyStyleTable(mapping).front().Color;
}

// ---- TEasyParserStyle ----

void TEasyParserStyle::SetFontColor(TColor color)
{
    if (fontColor_ == color)
        return;
    fontColor_ = color;
    Changed();
}

void TEasyParserStyle::SetFontStyle(TFontStyles style)
{
    if (fontStyle_ == style)
        return;
    fontStyle_ = style;
    Changed();
}

void TEasyParserStyle::SetColor(TColor color)
{
    if (color_ == color)
        return;
    color_ = color;
    Changed();
}

void TEasyParserStyle::Assign(const TEasyParserStyle& source)
{
    if (owner_)
        owner_->BeginUpdate();
    const ScopeExit end([this] {
        if (owner_)
            owner_->EndUpdate();
    });
    SetFontColor(source.fontColor_);
    SetFontStyle(source.fontStyle_);
    SetColor(source.color_);
    Name = source.Name;
    Description = source.Description;
}

void TEasyParserStyle::Changed()
{
    if (owner_)
        owner_->StyleChanged();
}

// ---- TEasyParserStyles ----

TEasyParserStyles::TEasyParserStyles(TEasyEditorParser* owner) : owner_(owner)
{
    if (owner_)
        LoadTable(EasyStyleTable(TEasyColorMapping::cmDefault).subspan(kTokenRowCount));
    changedWhileUpdating_ = false;
}

int TEasyParserStyles::IndexOfName(std::u16string_view name) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (SameName(items_[i]->Name, name))
            return static_cast<int>(i);
    return -1;
}

int TEasyParserStyles::StateStyleIndex(std::u16string_view name)
{
    const auto rows = EasyStyleTable(TEasyColorMapping::cmDefault).subspan(kTokenRowCount);
    for (size_t i = 0; i < rows.size(); ++i)
        if (SameName(rows[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

TEasyParserStyle* TEasyParserStyles::AddStyle(std::u16string_view name, TEasyColorMapping mapping, bool atFront,
                                              bool onlyIfKnown, const TEasyParserStyles* oldStyles)
{
    const int old = oldStyles ? oldStyles->IndexOfName(name) : -1;
    if (onlyIfKnown && old < 0)
        return nullptr;
    BeginUpdate();
    const ScopeExit end([this] { EndUpdate(); });
    auto style = std::make_unique<TEasyParserStyle>(this);
    TEasyParserStyle* added = style.get();
    added->Name = name;
    items_.insert(atFront ? items_.begin() : items_.end(), std::move(style));
    if (const TEasyStyleRecord* row = FindRow(mapping, name))
        CopyRow(*added, *row);
    if (old >= 0)
        added->Assign(oldStyles->Items(old));
    changedWhileUpdating_ = true;
    return added;
}

void TEasyParserStyles::DeleteTokenStyles()
{
    const auto removed = std::erase_if(items_, [](const auto& style) { return StateStyleIndex(style->Name) < 0; });
    if (removed > 0)
        StyleChanged();
}

void TEasyParserStyles::LoadTable(std::span<const TEasyStyleRecord> rows)
{
    BeginUpdate();
    const ScopeExit end([this] { EndUpdate(); });
    items_.clear();
    for (const TEasyStyleRecord& row : rows) {
        auto style = std::make_unique<TEasyParserStyle>(this);
        style->Name = row.Name;
        CopyRow(*style, row);
        items_.push_back(std::move(style));
    }
    changedWhileUpdating_ = true;
}

void TEasyParserStyles::Assign(const TEasyParserStyles& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    const ScopeExit end([this] { EndUpdate(); });
    items_.clear();
    for (const auto& from : source.items_) {
        auto style = std::make_unique<TEasyParserStyle>(this);
        style->Assign(*from);
        items_.push_back(std::move(style));
    }
    changedWhileUpdating_ = true;
}

void TEasyParserStyles::Clear()
{
    items_.clear();
    StyleChanged();
}

void TEasyParserStyles::EndUpdate()
{
    if (updating_ > 0 && --updating_ == 0 && changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        if (owner_)
            owner_->StylesChanged();
    }
}

void TEasyParserStyles::StyleChanged()
{
    if (updating_ > 0) {
        changedWhileUpdating_ = true;
        return;
    }
    if (owner_)
        owner_->StylesChanged();
}

// ---- TEasyEditorParser ----

TEasyEditorParser::TEasyEditorParser(TComponent* owner)
    : TEasySourceParser(owner), backgroundColor_(EasyMappingBackground(TEasyColorMapping::cmDefault))
{
    ++quiet_;  // nobody listens yet
    styles_ = std::make_unique<TEasyParserStyles>(this);
    --quiet_;
}

TEasyEditorParser::~TEasyEditorParser() = default;

void TEasyEditorParser::StylesChanged()
{
    if (quiet_ == 0)
        Changed();
}

void TEasyEditorParser::SetColorMapping(TEasyColorMapping mapping)
{
    if (mapping_ == mapping)
        return;
    mapping_ = mapping;
    backgroundColor_ = EasyMappingBackground(mapping);
    backgroundSet_ = false;
    ApplyColorMapping();
}

void TEasyEditorParser::SetUseGlobalSettings(bool use)
{
    if (useGlobalSettings_ == use)
        return;
    useGlobalSettings_ = use;
    if (use)
        if (TEasySettings* settings = ComponentSettings(this))
            settings->ApplyTo(this);
}

void TEasyEditorParser::ApplyColorMapping()
{
    styles_->BeginUpdate();
    const ScopeExit end([this] { styles_->EndUpdate(); });
    for (int i = 0; i < styles_->Count(); ++i) {
        TEasyParserStyle& style = styles_->Items(i);
        if (const TEasyStyleRecord* row = FindRow(mapping_, style.Name))
            CopyRow(style, *row);
    }
}

void TEasyEditorParser::GetTokenStyle(int token, TColor& fontColor, TFontStyles& fontStyle)
{
    if (token < 0 || token >= styles_->Count()) {
        fontColor = -1;
        fontStyle = 0;
        return;
    }
    const TEasyParserStyle& style = styles_->Items(token);
    fontColor = style.FontColor();
    fontStyle = style.FontStyle();
}

TColor TEasyEditorParser::GetTokenBackground(int token)
{
    if (token < 0 || token >= styles_->Count())
        return -1;
    return styles_->Items(token).Color();
}

TColor TEasyEditorParser::GetBackgroundColor()
{
    if (styles_->Count() > 0 && TEasyParserStyles::StateStyleIndex(styles_->Items(0).Name) < 0)
        return styles_->Items(0).Color();
    return backgroundSet_ ? backgroundColor_ : EasyMappingBackground(mapping_);
}

int TEasyEditorParser::GetTokenCount()
{
    return styles_->Count();
}

void TEasyEditorParser::SetBackgroundColor(TColor color)
{
    backgroundColor_ = color;
    backgroundSet_ = true;
    styles_->BeginUpdate();
    const ScopeExit end([this] { styles_->EndUpdate(); });
    for (int i = 0; i < styles_->Count(); ++i) {
        TEasyParserStyle& style = styles_->Items(i);
        if (TEasyParserStyles::StateStyleIndex(style.Name) < 0)
            style.SetColor(color);
    }
}

void TEasyEditorParser::ExchangeColors(TCustomEasyEditorColors& colors, bool toParser)
{
    struct TPair {
        const char16_t* Name;
        TColor (TCustomEasyEditorColors::*Font)() const;
        void (TCustomEasyEditorColors::*SetFont)(TColor);
        TColor (TCustomEasyEditorColors::*Back)() const;  // null: the font colour only
        void (TCustomEasyEditorColors::*SetBack)(TColor);
    };
    using C = TCustomEasyEditorColors;
    static constexpr TPair pairs[] = {
        {u"Active Selection", &C::SelColor, &C::SetSelColor, &C::SelBackColor, &C::SetSelBackColor},
        {u"Inactive Selection", &C::InActiveSelColor, &C::SetInActiveSelColor, &C::InActiveSelBackColor,
         &C::SetInActiveSelBackColor},
        {u"Search Match", &C::SearchMatchColor, &C::SetSearchMatchColor, &C::SearchMatchBackColor,
         &C::SetSearchMatchBackColor},
        {u"Disabled Color", &C::DisabledColor, &C::SetDisabledColor, nullptr, nullptr},
        {u"ReadOnly Color", &C::ReadOnlyColor, &C::SetReadOnlyColor, nullptr, nullptr},
    };
    // The styles' notifications stay quiet while the colours cross, and come
    // back whatever happens.
    ++quiet_;
    styles_->BeginUpdate();
    const ScopeExit restore([this] {
        styles_->EndUpdate();
        --quiet_;
    });
    for (const TPair& pair : pairs) {
        const int index = styles_->IndexOfName(pair.Name);
        if (index < 0)
            continue;
        TEasyParserStyle& style = styles_->Items(index);
        if (toParser) {
            style.SetFontColor((colors.*pair.Font)());
            if (pair.Back)
                style.SetColor((colors.*pair.Back)());
        } else {
            (colors.*pair.SetFont)(style.FontColor());
            if (pair.SetBack)
                (colors.*pair.SetBack)(style.Color());
        }
    }
}

void TEasyEditorParser::RulesChanged()
{
    try {
        CompileRules();
    } catch (...) {
        RebuildStyles();
        Changed();
        throw;
    }
    RebuildStyles();
    Changed();
}

void TEasyEditorParser::RebuildStyles()
{
    // The old styles' values aside (copies, not the styles about to go), so
    // that a token keeps what the user gave it.
    TEasyParserStyles old;
    old.Assign(*styles_);
    ++quiet_;
    styles_->BeginUpdate();
    const ScopeExit end([this] {
        styles_->EndUpdate();
        --quiet_;
    });
    styles_->DeleteTokenStyles();
    const std::vector<std::u16string>& tokens = TokenNames();
    for (auto it = tokens.rbegin(); it != tokens.rend(); ++it)
        styles_->AddStyle(*it, mapping_, true, false, &old);
}

// ---- stored styles ----------------------------------------------------------

namespace {

std::wstring EscapeField(std::u16string_view text)
{
    std::wstring out;
    for (const char16_t c : text) {
        switch (c) {
        case u'\\':
            out += L"\\\\";
            break;
        case u'\t':
            out += L"\\t";
            break;
        case u'\r':
            out += L"\\r";
            break;
        case u'\n':
            out += L"\\n";
            break;
        default:
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

std::u16string UnescapeField(std::wstring_view text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            throw EReadError(L"Ungültiger Eigenschaftswert");
        switch (text[i]) {
        case L'\\':
            out += L'\\';
            break;
        case L't':
            out += L'\t';
            break;
        case L'r':
            out += L'\r';
            break;
        case L'n':
            out += L'\n';
            break;
        default:
            throw EReadError(L"Ungültiger Eigenschaftswert");
        }
    }
    return ToUtf16(out);
}

// A whole decimal number that fits the type, else EReadError.
int64_t NumberField(std::wstring_view text, int64_t low, int64_t high)
{
    int64_t value = 0;
    bool negative = false;
    size_t i = 0;
    if (!text.empty() && text[0] == L'-') {
        negative = true;
        i = 1;
    }
    if (i == text.size() || text.size() > 12)
        throw EReadError(L"Ungültiger Eigenschaftswert");
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            throw EReadError(L"Ungültiger Eigenschaftswert");
        value = value * 10 + (text[i] - L'0');
    }
    value = negative ? -value : value;
    if (value < low || value > high)
        throw EReadError(L"Ungültiger Eigenschaftswert");
    return value;
}

}  // namespace

TEasyStringsValue TEasyEditorParser::StyleLines() const
{
    TEasyStringsValue lines;
    for (int i = 0; i < styles_->Count(); ++i) {
        const TEasyParserStyle& style = styles_->Items(i);
        lines.push_back(std::to_wstring(style.FontColor()) + L'\t' + std::to_wstring(style.Color()) + L'\t' +
                        std::to_wstring(int(style.FontStyle())) + L'\t' + EscapeField(style.Name) + L'\t' +
                        EscapeField(style.Description));
    }
    return lines;
}

void TEasyEditorParser::SetStyleLines(const TEasyStringsValue& lines)
{
    TEasyParserStyles read;
    for (const std::wstring& line : lines) {
        std::vector<std::wstring_view> fields;
        std::wstring_view rest = line;
        for (size_t tab; (tab = rest.find(L'\t')) != std::wstring_view::npos; rest.remove_prefix(tab + 1))
            fields.push_back(rest.substr(0, tab));
        fields.push_back(rest);
        if (fields.size() != 5)
            throw EReadError(L"Ungültiger Eigenschaftswert");
        TEasyParserStyle& style = *read.AddStyle(u"", mapping_, false, false, nullptr);
        style.SetFontColor(static_cast<TColor>(NumberField(fields[0], INT32_MIN, INT32_MAX)));
        style.SetColor(static_cast<TColor>(NumberField(fields[1], INT32_MIN, INT32_MAX)));
        style.SetFontStyle(static_cast<TFontStyles>(NumberField(fields[2], 0, 15)));
        style.Name = UnescapeField(fields[3]);
        style.Description = UnescapeField(fields[4]);
    }
    styles_->Assign(read);
}

std::vector<TEasyProperty> TEasyEditorParser::Properties()
{
    return {
        IntegerProperty(
            L"ColorMapping", [this] { return int64_t(mapping_); },
            [this](int64_t value) {
                if (value < int64_t(TEasyColorMapping::cmDefault) || value > int64_t(TEasyColorMapping::cmTwilight))
                    throw EReadError(L"Ungültiger Eigenschaftswert");
                SetColorMapping(static_cast<TEasyColorMapping>(value));
            }),
        BooleanProperty(
            L"UseGlobalSettings", [this] { return useGlobalSettings_; },
            [this](bool use) { SetUseGlobalSettings(use); }),
        StringsProperty(
            L"Styles", [this] { return StyleLines(); },
            [this](const TEasyStringsValue& lines) { SetStyleLines(lines); }),
    };
}

}  // namespace qrv
