#include "editor/EasyPageGeometry.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEasyRowPageMeasure Rows(int lines, int rowHeight)
{
    TEasyRowPageMeasure measure;
    measure.Lines = [lines] { return lines; };
    measure.RowHeight = rowHeight;
    return measure;
}

}  // namespace

TEST(EasyPageGeometry, AnA4SheetAt96PixelsPerInch)
{
    TEasyPages pages;
    TEasyPage& page = pages.DefaultPage();
    page.SetPageSize(TEasyPageSize::psA4);
    pages.FullLayout = true;
    TEasyRowPageMeasure measure = Rows(100, 16);
    pages.LayoutPage(0, measure);
    const TEasyPageMetrics metrics{96, 96, 8, 16, 16};
    const TEasySheet sheet = EasySheetOf(page, metrics);
    // 210 x 297 mm at 96 pixels per inch, right of the 64-pixel gutter and
    // below the 24-pixel one.
    EXPECT_EQ(sheet.Sheet, (TEasyPixelRect{64, 24, 64 + 794, 24 + 1123}));
    EXPECT_EQ(sheet.Text, (TEasyPixelRect{64 + 24, 24 + 24, 64 + 794 - 24, 24 + 1123 - 24}));
    EXPECT_EQ(sheet.NumberTop, 24 + 1123 - 1 - 16);
    // (1123 - 48) / 16 = 67 whole rows on the first page.
    EXPECT_EQ(page.FirstLine, 0);
    EXPECT_EQ(page.LastLine, 66);

    page.SetOrientation(TEasyPageOrientation::pgLandscape);
    pages.LayoutPage(0, measure);
    EXPECT_EQ(EasySheetOf(page, metrics).Sheet.Width(), 1123);
    EXPECT_EQ(page.LastLine, (794 - 48) / 16 - 1);
}

TEST(EasyPageGeometry, PageNumberPlaces)
{
    const TEasyPixelRect sheet{64, 24, 864, 1100};
    struct Case {
        TEasyAlignment alignment;
        int x;
    };
    for (const Case& c : {Case{TEasyAlignment::taLeftJustify, 66}, Case{TEasyAlignment::taRightJustify, 864 - 2 - 30},
                          Case{TEasyAlignment::taCenter, 64 + (800 - 30) / 2}})
        EXPECT_EQ(EasyPageNumberX(c.alignment, sheet, 30), c.x) << int(c.alignment);
}

TEST(EasyPageGeometry, DocumentHeightAndWidthOfTheLaidOutPages)
{
    TEasyPages pages;
    pages.DefaultPage().SetPageSize(TEasyPageSize::psA4);
    TEasyRowPageMeasure measure = Rows(150, 16);
    const TEasyPageMetrics metrics{96, 96, 8, 16, 16};
    EXPECT_EQ(EasyDocumentHeight(pages), 0);

    // The page-break view: pages as high as their rows.
    EXPECT_EQ(pages.PageAt(149, 0, measure), 2);
    EXPECT_EQ(pages.LaidOutCount(), 3);
    EXPECT_EQ(EasyDocumentHeight(pages), 150 * 16);

    // The page-layout view: sheets under their gutters.
    pages.FullLayout = true;
    pages.ResetLayout();
    EXPECT_EQ(pages.PageAt(149, 0, measure), 2);
    EXPECT_EQ(pages.Items(1).Top, 24 + 1123 + 24);
    EXPECT_EQ(EasyDocumentHeight(pages), 3 * (24 + 1123));
    EXPECT_EQ(EasyDocumentWidth(pages, metrics), 794 + 2 * 64);
}

TEST(EasyPageGeometry, TheHeightBeforeAllPagesAreLaidOutAndThePageAtAPixel)
{
    TEasyPages pages;
    pages.FullLayout = true;
    pages.DefaultPage().SetPageSize(TEasyPageSize::psA4);
    TEasyRowPageMeasure measure = Rows(1000, 16);
    EXPECT_EQ(EasyEstimatedDocumentHeight(pages, 1000), 0);
    EXPECT_EQ(EasyPageFromPixel(pages, 0, 3), -1);

    // One sheet of 67 lines laid out: its pixels per line for all lines.
    ASSERT_EQ(pages.PageAt(0, 0, measure), 0);
    ASSERT_EQ(pages.Items(0).LastLine, 66);
    EXPECT_EQ(EasyEstimatedDocumentHeight(pages, 1000), (24 + 1123) * 1000 / 67);
    // All laid out: the exact height.
    pages.PageAt(999, 0, measure);
    const int exact = EasyDocumentHeight(pages);
    EXPECT_EQ(EasyEstimatedDocumentHeight(pages, 1000), exact);
    EXPECT_EQ(exact, pages.LaidOutCount() * (24 + 1123));

    // A view's top edge in a sheet, in its shadow, in the gap below it, past the end.
    const int firstBottom = 24 + 1123;
    EXPECT_EQ(EasyPageFromPixel(pages, 0, 3), 0);
    EXPECT_EQ(EasyPageFromPixel(pages, firstBottom - 1, 3), 0);
    EXPECT_EQ(EasyPageFromPixel(pages, firstBottom + 2, 3), 0) << "its shadow still shows";
    EXPECT_EQ(EasyPageFromPixel(pages, firstBottom + 3, 3), 1);
    EXPECT_EQ(EasyPageFromPixel(pages, exact + 500, 3), pages.LaidOutCount() - 1);
}

TEST(EasyPageGeometry, OversizedIndentsLeaveOneCharacterAndOneRowPerPage)
{
    TEasyPages pages;
    pages.FullLayout = true;
    TEasyPage& page = pages.DefaultPage();
    page.SetPageSize(TEasyPageSize::psA5);
    page.SetLeftIndent(5000);
    page.SetRightIndent(5000);
    page.SetTopIndent(3000);
    page.SetBottomIndent(3000);
    TEasyRowPageMeasure measure = Rows(5, 16);
    const TEasyPageMetrics metrics{96, 96, 8, 16, 4000};
    EXPECT_EQ(pages.PageAt(4, 0, measure), 4);  // a line per page, and the layout ends
    for (int i = 0; i < 5; ++i) {
        const TEasyPage& laid = pages.Items(i);
        EXPECT_EQ(laid.FirstLine, i);
        EXPECT_EQ(laid.LastLine, i);
        const TEasySheet sheet = EasySheetOf(laid, metrics);
        EXPECT_EQ(sheet.Text.Width(), 8);
        EXPECT_EQ(sheet.Text.Height(), 16);
        EXPECT_LE(sheet.Text.Right, sheet.Sheet.Right);
        EXPECT_LE(sheet.Text.Bottom, sheet.Sheet.Bottom);
        // A page-number font taller than the page starts at the sheet's top.
        EXPECT_EQ(sheet.NumberTop, sheet.Sheet.Top);
    }
}

TEST(EasyPageGeometry, ALineTallerThanAPageIsCut)
{
    TEasyRowPageMeasure measure = Rows(3, 10);
    measure.RowsOfLine = [](int line) { return line == 1 ? 25 : 1; };
    int lastLine = 0, lastCol = 0, used = 0;
    measure.LinesThatFit(0, 0, 100, lastLine, lastCol, used);
    EXPECT_EQ(lastLine, 0);  // line 1 does not fit behind line 0
    EXPECT_EQ(used, 10);
    measure.LinesThatFit(1, 0, 100, lastLine, lastCol, used);
    EXPECT_EQ(lastLine, 1);
    EXPECT_EQ(lastCol, 9);
    EXPECT_EQ(used, 100);
    measure.LinesThatFit(1, 20, 100, lastLine, lastCol, used);
    EXPECT_EQ(lastLine, 2);
    EXPECT_EQ(lastCol, EasyPageLineEnd);
    EXPECT_EQ(used, 60);
}

TEST(EasyPageGeometry, RulerMarksAndDraggedIndents)
{
    TEasyPages pages;
    TEasyPage& page = pages.DefaultPage();
    page.SetPageSize(TEasyPageSize::psA4);  // 794 x 1123 pixels
    const TEasyPageMetrics metrics{96, 96, 8, 16, 16};
    // Only the page-layout view shows the page's indents.
    EXPECT_FALSE(EasyRulerMarks(page, false, TEasyPageType::ptNormal, metrics).Shown);
    EXPECT_FALSE(EasyRulerMarks(page, true, TEasyPageType::ptPageBreaks, metrics).Shown);
    EXPECT_EQ(EasyRulerMarks(page, false, TEasyPageType::ptPageLayout, metrics),
              (TEasyRulerMarks{true, 64 + 24, 64 + 794 - 24}));
    EXPECT_EQ(EasyRulerMarks(page, true, TEasyPageType::ptPageLayout, metrics),
              (TEasyRulerMarks{true, 24 + 24, 24 + 1123 - 24}));

    struct Case {
        bool vertical;
        int mark;
        int position;
        TEasyPageType type;
        int left, top, right, bottom;
    };
    const Case cases[] = {
        // The left mark less the gutter offset in the page-layout view, not elsewhere.
        {false, 0, 64 + 100, TEasyPageType::ptPageLayout, 100, 24, 24, 24},
        {false, 0, 100, TEasyPageType::ptPageBreaks, 100, 24, 24, 24},
        {false, 1, 64 + 794 - 50, TEasyPageType::ptPageLayout, 24, 24, 50, 24},
        {true, 0, 24 + 70, TEasyPageType::ptPageLayout, 24, 70, 24, 24},
        {true, 1, 1123 - 90, TEasyPageType::ptNormal, 24, 24, 24, 90},
        // Dragged beyond the sheet's edge: no negative indent.
        {false, 0, 10, TEasyPageType::ptPageLayout, 0, 24, 24, 24},
        {true, 1, 5000, TEasyPageType::ptPageLayout, 24, 24, 24, 0},
    };
    for (const Case& c : cases) {
        TEasyPage fresh;
        fresh.SetPageSize(TEasyPageSize::psA4);
        EasyRulerIndentChanged(fresh, c.vertical, c.mark, c.position, c.type, metrics);
        EXPECT_EQ(fresh.LeftIndent(), c.left) << c.position;
        EXPECT_EQ(fresh.TopIndent(), c.top) << c.position;
        EXPECT_EQ(fresh.RightIndent(), c.right) << c.position;
        EXPECT_EQ(fresh.BottomIndent(), c.bottom) << c.position;
        // What the ruler then shows is where the mark was dropped.
        if (c.type == TEasyPageType::ptPageLayout && c.left > 0 && c.bottom > 0) {
            const TEasyRulerMarks marks = EasyRulerMarks(fresh, c.vertical, c.type, metrics);
            EXPECT_EQ(c.mark == 0 ? marks.First : marks.Second, c.position);
        }
    }
}
