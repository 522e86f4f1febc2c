#include "editor/EasyEditorParser.h"
#include "editor/EasyEditorSubObjects.h"
#include "editor/EasyPersistence.h"
#include "editor/EasySettings.h"

#include "FakeEasyRegistry.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace qrv;

namespace {

struct Style {
    TColor FontColor;
    TColor Color;
    TFontStyles FontStyle;
    bool operator==(const Style&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Style& s)
{
    return os << std::hex << s.FontColor << " on " << s.Color << " style " << int(s.FontStyle);
}

Style StyleOf(TEasyEditorParser& parser, std::u16string_view name)
{
    const int index = parser.Styles().IndexOfName(name);
    EXPECT_GE(index, 0);
    if (index < 0)
        return {};
    const TEasyParserStyle& s = parser.Styles().Items(index);
    return {s.FontColor(), s.Color(), s.FontStyle()};
}

std::vector<std::u16string> Names(const TEasyParserStyles& styles)
{
    std::vector<std::u16string> names;
    for (int i = 0; i < styles.Count(); ++i)
        names.push_back(styles.Items(i).Name);
    return names;
}

const std::vector<std::u16string> kStateNames = {u"Active Selection", u"Inactive Selection", u"Search Match",
                                                 u"Disabled Color", u"ReadOnly Color"};

const std::u16string kRules = u"State=Normal\nToken=tcomment\nToken=mytoken\nNormal '//' Normal tcomment\n";

// Counts the notifications the parser sends its sources.
struct Listener {
    explicit Listener(TCustomEasyParser& parser) : parser_(parser) { parser_.AddSource(&Heard, this, &Gone); }
    ~Listener() { parser_.RemoveSource(&Heard, this); }
    int calls = 0;

private:
    static int Heard(void* self, void*, void*)
    {
        ++static_cast<Listener*>(self)->calls;
        return 0;
    }
    static void Gone(void*, void*) {}
    TCustomEasyParser& parser_;
};

}  // namespace

TEST(EasyEditorParser, ANewParserHasTheFiveStateStylesOnly)
{
    TEasyEditorParser parser(nullptr);
    EXPECT_EQ(Names(parser.Styles()), kStateNames);
    EXPECT_EQ(parser.GetTokenCount(), 5);
    TColor font = 0;
    TFontStyles style = 9;
    parser.GetTokenStyle(0, font, style);
    EXPECT_EQ(font, clHighlightText);  // Active Selection
    EXPECT_EQ(style, 0);
    parser.GetTokenStyle(5, font, style);
    EXPECT_EQ(font, -1);
    EXPECT_EQ(parser.GetTokenBackground(-1), -1);
    EXPECT_EQ(parser.GetTokenBackground(0), clHighlight);
    // Without rules no line has a token: text keeps the editor's own colour.
    int state = 0;
    int pos = 1;
    EXPECT_EQ(parser.NextToken(state, u"text", pos), -1);
    // The first style is a state style: the mapping's background.
    EXPECT_EQ(parser.GetBackgroundColor(), clWindow);
    for (size_t i = 0; i < kStateNames.size(); ++i)
        EXPECT_EQ(TEasyParserStyles::StateStyleIndex(kStateNames[i]), static_cast<int>(i));
    EXPECT_EQ(TEasyParserStyles::StateStyleIndex(u"search MATCH"), 2);
    EXPECT_EQ(TEasyParserStyles::StateStyleIndex(u"tnone"), -1);
}

TEST(EasyEditorParser, TokensGetTheirStylesFromTheTableAndMappingsRecolourThem)
{
    TEasyEditorParser parser(nullptr);
    Listener listener(parser);
    parser.Rules().SetText(kRules);
    std::vector<std::u16string> expected = {u"tcomment", u"mytoken"};
    expected.insert(expected.end(), kStateNames.begin(), kStateNames.end());
    EXPECT_EQ(Names(parser.Styles()), expected);
    EXPECT_EQ(StyleOf(parser, u"tcomment"), (Style{clNavy, clWindow, 0}));
    EXPECT_EQ(parser.Styles().Items(0).Description, u"Comment");
    EXPECT_EQ(StyleOf(parser, u"mytoken"), (Style{clWindowText, clWindow, 0}));
    EXPECT_EQ(parser.GetBackgroundColor(), clWindow);  // the first style's
    EXPECT_GE(listener.calls, 1);

    const int before = listener.calls;
    parser.SetColorMapping(TEasyColorMapping::cmOcean);
    EXPECT_EQ(StyleOf(parser, u"tcomment"), (Style{clTeal, clAqua, efItalic}));
    EXPECT_EQ(StyleOf(parser, u"mytoken"), (Style{clWindowText, clWindow, 0}));
    EXPECT_EQ(StyleOf(parser, u"Active Selection"), (Style{clAqua, clBlue, 0}));
    EXPECT_EQ(listener.calls, before + 1);  // one notification for the whole mapping
}

TEST(EasyEditorParser, SetBackgroundColorSkipsTheStateStyles)
{
    TEasyEditorParser parser(nullptr);
    parser.Rules().SetText(kRules);
    parser.SetBackgroundColor(clYellow);
    EXPECT_EQ(StyleOf(parser, u"tcomment").Color, clYellow);
    EXPECT_EQ(StyleOf(parser, u"mytoken").Color, clYellow);
    EXPECT_EQ(StyleOf(parser, u"Active Selection").Color, clHighlight);
    EXPECT_EQ(StyleOf(parser, u"Disabled Color").Color, -1);
    EXPECT_EQ(parser.GetBackgroundColor(), clYellow);

    // Without token styles the explicit background answers, until a new
    // mapping brings its own.
    TEasyEditorParser plain(nullptr);
    plain.SetBackgroundColor(clYellow);
    EXPECT_EQ(plain.GetBackgroundColor(), clYellow);
    plain.SetColorMapping(TEasyColorMapping::cmClassic);
    EXPECT_EQ(plain.GetBackgroundColor(), clNavy);
}

TEST(EasyEditorParser, AUserStyleSurvivesARulesChange)
{
    TEasyEditorParser parser(nullptr);
    parser.Rules().SetText(kRules);
    TEasyParserStyle& mine = parser.Styles().Items(parser.Styles().IndexOfName(u"mytoken"));
    mine.SetFontColor(clRed);
    mine.SetFontStyle(efBold | efUnderline);
    parser.Styles().Items(parser.Styles().IndexOfName(u"Search Match")).SetColor(clPurple);

    // New rules: another token in front, the old ones after it.
    parser.Rules().SetText(u"State=Normal\nToken=tstring\nToken=mytoken\nToken=tcomment\n");
    std::vector<std::u16string> expected = {u"tstring", u"mytoken", u"tcomment"};
    expected.insert(expected.end(), kStateNames.begin(), kStateNames.end());
    EXPECT_EQ(Names(parser.Styles()), expected);
    EXPECT_EQ(StyleOf(parser, u"mytoken"), (Style{clRed, clWindow, efBold | efUnderline}));
    EXPECT_EQ(StyleOf(parser, u"tstring"), (Style{clMaroon, clWindow, 0}));
    EXPECT_EQ(StyleOf(parser, u"Search Match").Color, clPurple);
    // The style objects are new; the old ones are gone without a trace.
    TColor font = 0;
    TFontStyles style = 0;
    parser.GetTokenStyle(1, font, style);
    EXPECT_EQ(font, clRed);

    // A rules text that fails still leaves a style per token compiled.
    EXPECT_ANY_THROW(parser.Rules().SetText(u"State=Normal\nToken=tident\nNormal [a Normal tident\n"));
    EXPECT_EQ(Names(parser.Styles())[0], u"tident");
}

TEST(EasyEditorParser, AddStyleOnlyIfKnownAndDeleteTokenStyles)
{
    TEasyEditorParser parser(nullptr);
    parser.Rules().SetText(kRules);
    TEasyParserStyles old;
    old.Assign(parser.Styles());
    TEasyParserStyles& styles = parser.Styles();
    EXPECT_EQ(styles.AddStyle(u"unknown", TEasyColorMapping::cmDefault, false, true, &old), nullptr);
    TEasyParserStyle* known = styles.AddStyle(u"MYTOKEN", TEasyColorMapping::cmDefault, false, true, &old);
    ASSERT_NE(known, nullptr);
    EXPECT_EQ(styles.Items(styles.Count() - 1).Name, u"mytoken");  // the old style's name, assigned over
    styles.DeleteTokenStyles();
    EXPECT_EQ(Names(styles), kStateNames);
    EXPECT_EQ(Names(old).size(), 7u);  // the copy is untouched
}

TEST(EasyEditorParser, ExchangeColorsPairsTheStateStylesWithTheEditorColours)
{
    TEasyEditorParser parser(nullptr);
    Listener listener(parser);
    TEasyEditorColors colors;
    colors.SetSelColor(clRed);
    colors.SetSelBackColor(clYellow);
    colors.SetInActiveSelColor(clNavy);
    colors.SetInActiveSelBackColor(clSilver);
    colors.SetSearchMatchColor(clTeal);
    colors.SetSearchMatchBackColor(clOlive);
    colors.SetDisabledColor(clGreen);
    colors.SetReadOnlyColor(clMaroon);
    parser.ExchangeColors(colors, true);
    EXPECT_EQ(StyleOf(parser, u"Active Selection"), (Style{clRed, clYellow, 0}));
    EXPECT_EQ(StyleOf(parser, u"Inactive Selection"), (Style{clNavy, clSilver, 0}));
    EXPECT_EQ(StyleOf(parser, u"Search Match"), (Style{clTeal, clOlive, 0}));
    EXPECT_EQ(StyleOf(parser, u"Disabled Color"), (Style{clGreen, -1, 0}));
    EXPECT_EQ(StyleOf(parser, u"ReadOnly Color"), (Style{clMaroon, -1, 0}));
    EXPECT_EQ(listener.calls, 0);

    // Out of the parser: the ocean's colours into a fresh colour set.
    parser.SetColorMapping(TEasyColorMapping::cmOcean);
    TEasyEditorColors out;
    parser.ExchangeColors(out, false);
    EXPECT_EQ(out.SelColor(), clAqua);
    EXPECT_EQ(out.SelBackColor(), clBlue);
    EXPECT_EQ(out.SearchMatchColor(), clAqua);
    EXPECT_EQ(out.SearchMatchBackColor(), clGray);
    EXPECT_EQ(out.DisabledColor(), clBtnFace);
    // Notifications are back afterwards.
    const int before = listener.calls;
    parser.Styles().Items(0).SetFontColor(clPurple);
    EXPECT_EQ(listener.calls, before + 1);
}

TEST(EasyEditorParser, TheFourMappingsAsOneTable)
{
    struct Row {
        const char16_t* name;
        Style styles[4];  // default, classic, ocean, twilight
    };
    const TColor W = clWindow, WT = clWindowText;
    const Row rows[] = {
        {u"tnone", {{clBlack, W, 0}, {clYellow, clNavy, 0}, {clBlack, clAqua, 0}, {clWhite, WT, 0}}},
        {u"tstring", {{clMaroon, W, 0}, {clYellow, clNavy, 0}, {clPurple, clAqua, 0}, {clYellow, WT, 0}}},
        {u"tcomment", {{clNavy, W, 0}, {clSilver, clNavy, 0}, {clTeal, clAqua, efItalic}, {clSilver, WT, efItalic}}},
        {u"tident", {{clBlack, W, 0}, {clYellow, clNavy, 0}, {clBlue, clAqua, 0}, {clWhite, WT, 0}}},
        {u"tinteger", {{clBlack, W, 0}, {clYellow, clNavy, 0}, {clOlive, clAqua, 0}, {clFuchsia, WT, 0}}},
        {u"tfloat", {{clBlack, W, 0}, {clYellow, clNavy, 0}, {clOlive, clAqua, 0}, {clFuchsia, WT, 0}}},
        {u"tresword", {{clBlack, W, efBold}, {clWhite, clNavy, 0}, {clBlack, clAqua, efBold}, {clAqua, WT, efBold}}},
        {u"tresword1", {{clTeal, W, efBold}, {clWhite, clNavy, 0}, {clTeal, clAqua, efBold}, {clAqua, WT, efBold}}},
        {u"tresword2", {{clBlack, W, efBold}, {clWhite, clNavy, 0}, {clBlack, clAqua, efBold}, {clAqua, WT, efBold}}},
        {u"tassembler", {{clGreen, W, 0}, {clLime, clNavy, 0}, {clBlue, clAqua, 0}, {clLime, WT, 0}}},
        {u"turl",
         {{clBlue, W, efUnderline},
          {clLime, clNavy, efUnderline},
          {clBlue, clAqua, efUnderline},
          {clTeal, WT, efUnderline}}},
        {u"twhitespace", {{clBlack, W, 0}, {clBlack, clNavy, 0}, {clBlack, clAqua, 0}, {clWhite, WT, 0}}},
        {u"tdirective", {{clGreen, W, 0}, {clYellow, clNavy, 0}, {WT, clAqua, 0}, {clGreen, WT, 0}}},
        {u"Active Selection",
         {{clHighlightText, clHighlight, 0}, {clHighlight, clBtnFace, 0}, {clAqua, clBlue, 0}, {WT, W, 0}}},
        {u"Inactive Selection", {{WT, clBtnFace, 0}, {WT, clBtnFace, 0}, {WT, clBtnFace, 0}, {WT, clBtnFace, 0}}},
        {u"Search Match", {{clLime, clBlack, 0}, {clBlack, clAqua, 0}, {clAqua, clGray, 0}, {clBlue, clTeal, 0}}},
        {u"Disabled Color", {{clBtnFace, -1, 0}, {clBtnFace, -1, 0}, {clBtnFace, -1, 0}, {clBtnFace, -1, 0}}},
        {u"ReadOnly Color", {{clBtnFace, -1, 0}, {clBtnFace, -1, 0}, {clBtnFace, -1, 0}, {clBtnFace, -1, 0}}},
    };
    const TEasyColorMapping mappings[] = {TEasyColorMapping::cmDefault, TEasyColorMapping::cmClassic,
                                          TEasyColorMapping::cmOcean, TEasyColorMapping::cmTwilight};
    const TColor backgrounds[] = {clWindow, clNavy, clAqua, clWindowText};
    for (int m = 0; m < 4; ++m) {
        const auto table = EasyStyleTable(mappings[m]);
        ASSERT_EQ(table.size(), std::size(rows));
        EXPECT_EQ(EasyMappingBackground(mappings[m]), backgrounds[m]);
        for (size_t i = 0; i < table.size(); ++i) {
            SCOPED_TRACE(std::to_string(m) + " row " + std::to_string(i));
            EXPECT_EQ(std::u16string(table[i].Name), rows[i].name);
            EXPECT_EQ((Style{table[i].FontColor, table[i].Color, table[i].FontStyle}), rows[i].styles[m]);
            if (i >= 13) {
                EXPECT_EQ(std::u16string(table[i].Description), rows[i].name);
            }
        }
    }
    // A parser with a token of every name takes its mapping's rows.
    std::u16string rules = u"State=Normal\n";
    for (const Row& row : rows)
        if (TEasyParserStyles::StateStyleIndex(row.name) < 0)
            rules += u"Token=" + std::u16string(row.name) + u"\n";
    for (int m = 0; m < 4; ++m) {
        TEasyEditorParser parser(nullptr);
        parser.SetColorMapping(mappings[m]);
        parser.Rules().SetText(rules);
        for (const Row& row : rows)
            EXPECT_EQ(StyleOf(parser, row.name), row.styles[m]) << m;
    }
}

TEST(EasyEditorParser, UseGlobalSettingsAppliesTheRegisteredSettings)
{
    struct Applied : TEasySettings {
        int applied = 0;
        void SetDefaults() override {}
        std::wstring SectionName() const override { return L"AppliedSettings"; }
        void ApplyTo(TComponent* component) override
        {
            ++applied;
            static_cast<TEasyEditorParser*>(component)->SetColorMapping(TEasyColorMapping::cmTwilight);
        }
        std::vector<TEasyProperty> Properties() override { return {}; }
    };
    TEasyEditorParser parser(nullptr);
    TEasyEditorParser other(nullptr);
    TComponent* const wanted = &parser;
    const int registration = RegisterEasySettings([wanted](TComponent* c) { return c == wanted; },
                                                  [] { return std::make_unique<Applied>(); });
    other.SetUseGlobalSettings(true);
    EXPECT_EQ(other.ColorMapping(), TEasyColorMapping::cmDefault);
    parser.SetUseGlobalSettings(true);
    EXPECT_EQ(parser.ColorMapping(), TEasyColorMapping::cmTwilight);
    parser.SetUseGlobalSettings(true);  // no change: not applied again
    EXPECT_EQ(static_cast<Applied*>(ComponentSettings(&parser))->applied, 1);
    UnregisterEasySettings(registration);
}

TEST(EasyEditorParser, StylesMappingAndUseGlobalSettingsAreStoredAndReadBack)
{
    TEasyEditorParser saved(nullptr);
    saved.Rules().SetText(kRules);
    saved.SetColorMapping(TEasyColorMapping::cmOcean);
    TEasyParserStyle& mine = saved.Styles().Items(saved.Styles().IndexOfName(u"mytoken"));
    mine.SetFontColor(clRed);
    mine.SetFontStyle(efBold | efStrikeOut);
    mine.Description = u"Mein\tToken\\n\r\nzwei";  // texts with the separator, escapes and line breaks
    saved.Styles().Items(saved.Styles().IndexOfName(u"Search Match")).SetColor(clPurple);

    const auto expectLikeSaved = [&](TEasyEditorParser& loaded, const char* store) {
        SCOPED_TRACE(store);
        EXPECT_EQ(loaded.ColorMapping(), TEasyColorMapping::cmOcean);
        ASSERT_EQ(Names(loaded.Styles()), Names(saved.Styles()));
        for (int i = 0; i < saved.Styles().Count(); ++i) {
            const TEasyParserStyle& a = saved.Styles().Items(i);
            const TEasyParserStyle& b = loaded.Styles().Items(i);
            EXPECT_EQ((Style{b.FontColor(), b.Color(), b.FontStyle()}),
                      (Style{a.FontColor(), a.Color(), a.FontStyle()}))
                << i;
            EXPECT_EQ(b.Description, a.Description) << i;
        }
        EXPECT_EQ(StyleOf(loaded, u"tcomment"), (Style{clTeal, clAqua, efItalic}));
    };

    TMemoryStream stream;
    WriteStreamed(stream, saved);
    stream.SetPosition(0);
    TEasyEditorParser fromBlock(nullptr);
    ReadStreamed(stream, fromBlock);
    expectLikeSaved(fromBlock, "block");

    test::FakeRegistry registry;
    SaveToRegistry(registry, saved, L"Software\\Test\\Parser");
    TEasyEditorParser fromRegistry(nullptr);
    LoadFromRegistry(registry, fromRegistry, L"Software\\Test\\Parser");
    expectLikeSaved(fromRegistry, "registry");
}

TEST(EasyEditorParser, DamagedStoredStylesChangeNoStyle)
{
    const std::wstring good = L"255\t-1\t0\tArt\tBeschreibung";
    for (const std::wstring& bad : {std::wstring(L"255\t-1\t0\tArt"), std::wstring(L"x\t-1\t0\tArt\tB"),
                                    std::wstring(L"255\t-1\t16\tArt\tB"), std::wstring(L"255\t-1\t0\tArt\\\tB"),
                                    std::wstring(L"255\t-1\t0\tA\\qrt\tB"), std::wstring(L"99999999999\t0\t0\tA\tB")}) {
        TEasyEditorParser parser(nullptr);
        const std::vector<std::u16string> before = Names(parser.Styles());
        EXPECT_THROW(parser.SetStyleLines({good, bad}), EReadError) << std::string(bad.begin(), bad.end());
        EXPECT_EQ(Names(parser.Styles()), before);
    }
    TEasyEditorParser parser(nullptr);
    parser.SetStyleLines({good});
    ASSERT_EQ(parser.Styles().Count(), 1);
    EXPECT_EQ(parser.Styles().Items(0).Name, u"Art");
    EXPECT_EQ(parser.Styles().Items(0).Color(), -1);
}
