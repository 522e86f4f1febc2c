#include "editor/EasyCodeTemplates.h"
#include "editor/EasyEditorSubObjects.h"
#include "editor/EasyPages.h"
#include "editor/EasyPersistence.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qrv {
namespace {

// Records what the sub-objects tell their editor.
struct RecordingEditor : TEasyEditorLink {
    TEasyEditorOptions options = DefaultEasyEditorOptions;
    bool focused = false;
    int lineNumbersWidth = 0;
    int invalidated = 0, selection = 0, gutter = 0, scrollRange = 0, rulers = 0;
    std::vector<int> pagesChanged, pagesRepainted;

    TEasyEditorOptions EditorOptions() const override { return options; }
    bool Focused() const override { return focused; }
    int LineNumbersWidth() const override { return lineNumbersWidth; }
    void Invalidate() override { ++invalidated; }
    void InvalidateSelection() override { ++selection; }
    void UpdateGutter() override { ++gutter; }
    void UpdateScrollRange() override { ++scrollRange; }
    void PageChanged(int index) override { pagesChanged.push_back(index); }
    void InvalidatePage(int index) override { pagesRepainted.push_back(index); }
    void RulerChanged() override { ++rulers; }
};

TEST(EasyEditorSubObjects, PensAreCutToTwoPixels)
{
    RecordingEditor editor;
    TEasyEditorGutter gutter(&editor);
    int changes = 0;
    gutter.OnChange = [&] { ++changes; };
    gutter.SetPen({clRed, 5, 0});
    EXPECT_EQ(gutter.Pen().Width, 2);
    EXPECT_EQ(gutter.Pen().Color, clRed);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(editor.invalidated, 1);

    TEasyEditorMargin margin(&editor);
    EXPECT_EQ(margin.Position(), 80);
    EXPECT_EQ(margin.Pen().Color, clBtnShadow);
    margin.SetPen({clBlue, 9, 0});
    EXPECT_EQ(margin.Pen().Width, 2);

    TEasyLineDivider divider(&editor);
    EXPECT_EQ(divider.Brush().Color, clBtnShadow);
    divider.SetPen({clBlack, 3, 0});
    EXPECT_EQ(divider.Pen().Width, 2);
}

TEST(EasyEditorSubObjects, GutterWidthAndLineNumbers)
{
    RecordingEditor editor;
    TEasyEditorGutter gutter(&editor);
    TEasyLineNumbers numbers(&editor);
    EXPECT_EQ(gutter.Width(), 32);
    EXPECT_EQ(gutter.Brush().Color, clBtnFace);
    EXPECT_EQ(gutter.BackColor(), clWindow);

    editor.lineNumbersWidth = 45;
    EXPECT_EQ(gutter.PaintedWidth(numbers), 32);  // numbers not on the gutter
    numbers.SetVisible(true);
    numbers.SetOptions(lnPaintOnGutter);
    EXPECT_EQ(gutter.PaintedWidth(numbers), 45);
    editor.lineNumbersWidth = 10;
    EXPECT_EQ(gutter.PaintedWidth(numbers), 32);
    editor.options &= ~eoPaintGutter;
    EXPECT_EQ(gutter.PaintedWidth(numbers), 0);

    gutter.SetWidth(40);
    EXPECT_EQ(editor.scrollRange, 1);
    numbers.SetStartFrom(-5);
    EXPECT_EQ(numbers.StartFrom(), 0);
    numbers.SetStartFrom(3);
    EXPECT_EQ(numbers.StartFrom(), 3);
    const int gutterUpdates = editor.gutter;
    const int repaints = editor.invalidated;
    numbers.SetColor(clRed);  // only repaints
    numbers.SetAlignment(TEasyLineNumbersAlign::lnRight);
    EXPECT_EQ(editor.gutter, gutterUpdates);
    EXPECT_EQ(editor.invalidated, repaints + 2);
}

TEST(EasyEditorSubObjects, ColoursRepaintOnlyWhatShowsThem)
{
    RecordingEditor editor;
    editor.options = 0;
    TEasyEditorColors colors(&editor);
    int changes = 0;
    colors.OnChange = [&] { ++changes; };
    EXPECT_EQ(colors.Get(TEasyEditorColors::ciSearchMatchColor), clLime);
    EXPECT_EQ(colors.Get(TEasyEditorColors::ciFmtMarkColor), clBtnShadow);

    colors.Set(TEasyEditorColors::ciFmtMarkColor, clRed);
    EXPECT_EQ(editor.invalidated, 0);
    editor.options = eoPaintFormattingMarks;
    colors.Set(TEasyEditorColors::ciFmtMarkColor, clBlue);
    EXPECT_EQ(editor.invalidated, 1);
    colors.Set(TEasyEditorColors::ciSelColor, clRed);
    EXPECT_EQ(editor.selection, 1);
    EXPECT_EQ(changes, 3);

    // Without the focus the inactive pair is in effect.
    EXPECT_EQ(colors.EffectiveSelColor(), clWindowText);
    editor.focused = true;
    EXPECT_EQ(colors.EffectiveSelColor(), clRed);
    EXPECT_EQ(colors.SelColor(), clRed) << "the base reads the same colour";
    colors.SetFmtMarkColor(clGray);
    EXPECT_EQ(colors.FmtMarkColor(), clGray);
}

TEST(EasyEditorSubObjects, LineStylesOutOfRangePaintAsNone)
{
    RecordingEditor editor;
    TEasyEditorGutter gutter(&editor);
    gutter.SetImageCount(14);
    TEasyLineStyles styles(&editor);
    styles.Add({L"Fehler", clWindow, clRed, 3, false});
    styles.Add({L"Bild fehlt", clWindow, clRed, 40, false});
    styles.Add({L"ohne", clWindow, clRed, -1, false});
    EXPECT_EQ(styles.ImageFor(0, gutter), 3);
    EXPECT_EQ(styles.ImageFor(1, gutter), -1);
    EXPECT_EQ(styles.ImageFor(2, gutter), -1);
    EXPECT_EQ(styles.ImageFor(3, gutter), -1);  // the style no longer exists
    EXPECT_EQ(styles.ImageFor(-1, gutter), -1);
    EXPECT_EQ(styles.Find(7), nullptr);

    // An image change repaints only while the gutter is painted.
    editor.options &= ~eoPaintGutter;
    const int before = editor.invalidated;
    TEasyLineStyle changed = styles.Items(0);
    changed.ImageIndex = 4;
    styles.SetItem(0, changed);
    EXPECT_EQ(editor.invalidated, before);
    changed.BackColor = clBlue;
    styles.SetItem(0, changed);
    EXPECT_EQ(editor.invalidated, before + 1);
}

TEST(EasyEditorSubObjects, RulerSettings)
{
    RecordingEditor editor;
    TEasyEditorRuler ruler(&editor);
    EXPECT_FALSE(ruler.HorzVisible());
    ruler.SetOptions(roHorzRuler);
    EXPECT_TRUE(ruler.HorzVisible());
    EXPECT_FALSE(ruler.VertVisible());
    EXPECT_EQ(editor.rulers, 1);
    ruler.SetOptions(roHorzRuler);
    EXPECT_EQ(editor.rulers, 1);
}

// --- Pages ------------------------------------------------------------------

TEST(EasyPages, PageSizesAndPixels)
{
    TEasyPage page;
    EXPECT_EQ(page.PageSize(), TEasyPageSize::psLetter);
    EXPECT_EQ(page.PageWidth(), 216);
    page.SetPageSize(TEasyPageSize::psA4);
    EXPECT_EQ(page.PageWidth(), 210);
    EXPECT_EQ(page.PageHeight(), 297);
    EXPECT_EQ(page.PixelWidth(96, 96), 794);
    EXPECT_EQ(page.PixelHeight(96, 96), 1123);
    page.SetOrientation(TEasyPageOrientation::pgLandscape);
    EXPECT_EQ(page.PixelWidth(96, 96), 1123);
    EXPECT_EQ(page.PixelHeight(96, 96), 794);
    page.SetPageWidth(200);
    EXPECT_EQ(page.PageSize(), TEasyPageSize::psOther);
    EXPECT_EQ(page.PageWidth(), 200);
    page.SetPageHeight(-3);
    EXPECT_EQ(page.PageHeight(), 0);
    page.SetTopIndent(-1);
    EXPECT_EQ(page.TopIndent(), 0);
}

// Lines of a fixed height; a page holds the whole lines that fit.
struct FixedLines : TEasyPageMeasure {
    int lines = 0;
    int lineHeight = 20;
    int LineCount() const override { return lines; }
    void LinesThatFit(int firstLine, int firstCol, int height, int& lastLine, int& lastCol, int& used) override
    {
        (void)firstCol;
        const int fit = height / lineHeight;
        lastLine = std::min(firstLine + fit, lines) - 1;
        lastCol = EasyPageLineEnd;
        used = (lastLine - firstLine + 1) * lineHeight;
    }
};

TEST(EasyPages, LayoutFindsThePageOfALine)
{
    RecordingEditor editor;
    TEasyPages pages(&editor);
    pages.DefaultPage().SetPageSize(TEasyPageSize::psA4);  // 1123 - 48 = 1075 px of text: 53 lines
    FixedLines text;
    text.lines = 200;
    EXPECT_EQ(pages.PageAt(0, 0, text), 0);
    EXPECT_EQ(pages.PageAt(52, 5, text), 0);
    EXPECT_EQ(pages.PageAt(53, 0, text), 1);
    EXPECT_EQ(pages.PageAt(199, 0, text), 3);
    EXPECT_EQ(pages.Count(), 4);
    EXPECT_EQ(pages.Items(3).PageHeight(), 297) << "appended pages copy page 0";
    EXPECT_EQ(pages.Items(1).Top, pages.Items(0).Height);
    EXPECT_EQ(pages.PageAt(60, 0, text), 1);  // bisection over laid-out pages
    EXPECT_EQ(pages.PageAtPixel(pages.Items(2).Top + 1), 2);
    EXPECT_EQ(pages.PageAt(200, 0, text), -1);

    text.lines = 60;
    pages.ResetLayout();
    pages.LayoutPage(3, text);
    pages.TrimPages(text);
    EXPECT_EQ(pages.Count(), 2);
}

TEST(EasyPages, APageWithoutTextHeightStillEnds)
{
    TEasyPages pages;
    pages.DefaultPage().SetPageHeight(0);
    FixedLines text;
    text.lines = 30;
    EXPECT_EQ(pages.PageAt(29, 0, text), 29) << "one line per page";
    EXPECT_EQ(pages.Count(), 30);

    TEasyPages indented;
    indented.DefaultPage().SetTopIndent(5000);
    EXPECT_EQ(indented.PageAt(4, 0, text), 4);
}

TEST(EasyPages, ChangesTellTheEditorOnceAfterTheBracket)
{
    RecordingEditor editor;
    TEasyPages pages(&editor);
    TEasyPage& page = pages.DefaultPage();
    page.BeginUpdate();
    page.SetLeftIndent(10);
    page.SetRightIndent(10);
    EXPECT_TRUE(editor.pagesChanged.empty());
    page.EndUpdate();
    EXPECT_EQ(editor.pagesChanged, std::vector<int>{0});
    page.SetPaintPageNumber(true);
    EXPECT_EQ(editor.pagesRepainted, std::vector<int>{0});
    EXPECT_EQ(editor.pagesChanged.size(), 1u);
}

// --- Code templates ---------------------------------------------------------

TEasyCodeTemplates Templates(std::initializer_list<const wchar_t*> names)
{
    TEasyCodeTemplates templates;
    for (const wchar_t* name : names)
        templates.Add({name, std::wstring(L"Schleife ") + name, {L"code"}});
    return templates;
}

TEST(EasyCodeTemplates, FindByPrefix)
{
    struct Case {
        std::vector<const wchar_t*> Names;
        std::wstring Prefix;
        std::vector<int> Found;
        bool Exact;
    };
    const Case cases[] = {
        {{L"for", L"foreach", L"if"}, L"for", {0}, true},      {{L"for", L"foreach", L"if"}, L"fo", {0, 1}, false},
        {{L"for", L"foreach", L"if"}, L"x", {0, 1, 2}, false}, {{L"for", L"foreach", L"if"}, L"", {0, 1, 2}, false},
        {{L"foreach", L"for", L"if"}, L"for", {1}, true},  // exact wins wherever it is
        {{L"foreach", L"For", L"if"}, L"fOR", {1}, true},  // without case
        {{L"foreach", L"for", L"if"}, L"fore", {0}, false},
    };
    for (const Case& c : cases) {
        TEasyCodeTemplates templates;
        for (const wchar_t* name : c.Names)
            templates.Add({name, L"", {}});
        std::vector<int> found{99};
        bool exact = !c.Exact;
        templates.FindTemplates(found, c.Prefix, exact);
        EXPECT_EQ(found, c.Found) << std::string(c.Prefix.begin(), c.Prefix.end());
        EXPECT_EQ(exact, c.Exact);
    }
}

TEST(EasyCodeTemplates, PopupLinesEscapeMarkup)
{
    TEasyCodeTemplates templates;
    templates.Add({L"if{}", L"wenn|sonst \\ dann", {}});
    templates.Add({L"ifx", L"plain", {}});
    std::vector<std::pair<std::wstring, int>> items;
    EXPECT_EQ(templates.FillTemplateList(items, L"IF{}"), 0);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].first, L"wenn\\|sonst \\\\ dann|{\\b if\\{\\}}");
    EXPECT_EQ(items[0].second, 0);
    EXPECT_EQ(templates.FillTemplateList(items, L"if"), -1);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].first, L"plain|{\\b ifx}");
    EXPECT_EQ(items[1].second, 1);
}

// --- Persistence ------------------------------------------------------------

template <typename T>
void RoundTrip(T& saved, T& loaded, const wchar_t* name)
{
    test::TestDir dir;
    const std::wstring file = dir.File(L"editor.ini");
    SaveToIniFile(saved, file, name);
    LoadFromIniFile(loaded, file, name);
}

TEST(EasyEditorSubObjects, EverySubObjectRoundTripsThroughTheIniFile)
{
    TEasyEditorGutter gutter;
    gutter.SetPen({clRed, 2, 2});
    gutter.SetBrush({clBlue, 1});
    gutter.SetBackColor(clGray);
    gutter.SetWidth(50);
    gutter.SetIndent(4);
    TEasyEditorGutter gutterBack;
    RoundTrip(gutter, gutterBack, L"Gutter");
    EXPECT_EQ(gutterBack.Pen(), gutter.Pen());
    EXPECT_EQ(gutterBack.Brush(), gutter.Brush());
    EXPECT_EQ(gutterBack.BackColor(), clGray);
    EXPECT_EQ(gutterBack.Width(), 50);
    EXPECT_EQ(gutterBack.Indent(), 4);

    TEasyEditorMargin margin;
    margin.SetPosition(72);
    margin.SetPen({clRed, 2, 0});
    TEasyEditorMargin marginBack;
    RoundTrip(margin, marginBack, L"Margin");
    EXPECT_EQ(marginBack.Position(), 72);
    EXPECT_EQ(marginBack.Pen(), margin.Pen());

    TEasyLineNumbers numbers;
    numbers.SetVisible(true);
    numbers.SetOptions(lnPaintOnGutter | lnPaintBeyondEof);
    numbers.SetAlignment(TEasyLineNumbersAlign::lnRight);
    numbers.SetStartFrom(7);
    numbers.SetIndent(5);
    numbers.SetColor(clRed);
    TEasyLineNumbers numbersBack;
    RoundTrip(numbers, numbersBack, L"LineNumbers");
    EXPECT_TRUE(numbersBack.Visible());
    EXPECT_EQ(numbersBack.Options(), numbers.Options());
    EXPECT_EQ(numbersBack.Alignment(), TEasyLineNumbersAlign::lnRight);
    EXPECT_EQ(numbersBack.StartFrom(), 7);
    EXPECT_EQ(numbersBack.Indent(), 5);
    EXPECT_EQ(numbersBack.Color(), clRed);

    TEasyLineDivider divider;
    divider.SetOptions(ldSeparateLines | ldHighlightCurrentLine);
    divider.SetBrush({clRed, 0});
    TEasyLineDivider dividerBack;
    RoundTrip(divider, dividerBack, L"LineDivider");
    EXPECT_EQ(dividerBack.Options(), divider.Options());
    EXPECT_EQ(dividerBack.Brush(), divider.Brush());

    TEasyPopupWindow popup(1280, 1024);
    EXPECT_EQ(popup.Width, 320);
    EXPECT_EQ(popup.Height, 256);
    popup.SizeAble = true;
    popup.Items = {L"eins", L"zwei"};
    TEasyPopupWindow popupBack(800, 600);
    RoundTrip(popup, popupBack, L"PopupWindow");
    EXPECT_EQ(popupBack.Width, 320);
    EXPECT_TRUE(popupBack.SizeAble);
    EXPECT_EQ(popupBack.Items, popup.Items);

    TEasyEditorRuler ruler;
    ruler.SetOptions(roHorzRuler | roVertRuler);
    ruler.SetUnits(TEasyRulerUnits::erInches);
    TEasyEditorRuler rulerBack;
    RoundTrip(ruler, rulerBack, L"Ruler");
    EXPECT_EQ(rulerBack.Options(), ruler.Options());
    EXPECT_EQ(rulerBack.Units(), TEasyRulerUnits::erInches);

    TEasyLineStyles styles;
    styles.Add({L"Haltepunkt", clWhite, clRed, 2, true});
    styles.Add({L"Zeile={x}", clBlack, clBlue, -1, false});
    TEasyLineStyles stylesBack;
    RoundTrip(styles, stylesBack, L"LineStyles");
    ASSERT_EQ(stylesBack.Count(), 2);
    EXPECT_EQ(stylesBack.Items(0), styles.Items(0));
    EXPECT_EQ(stylesBack.Items(1), styles.Items(1));

    TEasyEditorColors colors;
    colors.Set(TEasyEditorColors::ciHyperStringColor, clRed);
    colors.Set(TEasyEditorColors::ciSelBackColor, clGray);
    TEasyEditorColors colorsBack;
    RoundTrip(colors, colorsBack, L"Colors");
    for (int i = 0; i < TEasyEditorColors::ciCount; ++i) {
        const auto index = TEasyEditorColors::TColorIndex(i);
        EXPECT_EQ(colorsBack.Get(index), colors.Get(index)) << i;
    }

    TEasyCodeTemplates templates = Templates({L"for", L"while"});
    TEasyCodeTemplates templatesBack;
    RoundTrip(templates, templatesBack, L"CodeTemplates");
    ASSERT_EQ(templatesBack.Count(), 2);
    EXPECT_EQ(templatesBack.Items(1), templates.Items(1));

    TEasyPages pages;
    pages.DefaultPage().SetPageSize(TEasyPageSize::psA5);
    pages.DefaultPage().SetOrientation(TEasyPageOrientation::pgLandscape);
    pages.AddPage().SetPageWidth(123);
    TEasyPages pagesBack;
    RoundTrip(pages, pagesBack, L"Pages");
    ASSERT_EQ(pagesBack.Count(), 2);
    EXPECT_EQ(pagesBack.Items(0).PageSize(), TEasyPageSize::psA5);
    EXPECT_EQ(pagesBack.Items(0).PageWidth(), 148);
    EXPECT_EQ(pagesBack.Items(0).Orientation(), TEasyPageOrientation::pgLandscape);
    EXPECT_EQ(pagesBack.Items(1).PageSize(), TEasyPageSize::psOther);
    EXPECT_EQ(pagesBack.Items(1).PageWidth(), 123);
    EXPECT_EQ(pagesBack.Items(1).PageHeight(), 210);
}

}  // namespace
}  // namespace qrv
