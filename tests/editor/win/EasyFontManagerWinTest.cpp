#include "editor/win/EasyEditorAttributesWin.h"
#include "editor/win/EasyFontManagerWin.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qrv;

namespace {

// The figures straight from GDI, for comparison.
TEXTMETRICW TextMetricsOf(HFONT font)
{
    TWindowDC screen(nullptr);
    TSelectObject select(screen.Get(), font);
    TEXTMETRICW metrics{};
    EXPECT_TRUE(GetTextMetricsW(screen.Get(), &metrics));
    return metrics;
}

int ExtentOf(HFONT font, const std::wstring& text)
{
    TWindowDC screen(nullptr);
    TSelectObject select(screen.Get(), font);
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size));
    return size.cx;
}

}  // namespace

TEST(EasyFontManagerWin, MetricsFollowAFontSizeChange)
{
    TFont font;
    font.SetName(L"Tahoma");
    font.SetSize(9);
    const TEasyFontMetrics small = GetFontMetrics(font.Handle());
    const TEXTMETRICW smallGdi = TextMetricsOf(font.Handle());
    EXPECT_EQ(small.Height, smallGdi.tmHeight);
    EXPECT_EQ(small.Ascent, smallGdi.tmAscent);
    EXPECT_EQ(small.Descent, smallGdi.tmDescent);
    EXPECT_EQ(small.AveCharWidth, smallGdi.tmAveCharWidth);
    EXPECT_EQ(small.MaxCharWidth, smallGdi.tmMaxCharWidth);

    font.SetSize(28);
    const TEasyFontMetrics large = GetFontMetrics(font.Handle());
    EXPECT_EQ(large.Height, TextMetricsOf(font.Handle()).tmHeight);
    EXPECT_GT(large.Height, small.Height) << "the new size is measured, whatever handle it got";
    EXPECT_GT(large.SubscriptSize, 0);
}

TEST(EasyFontManagerWin, TextWidthIsTheTextExtent)
{
    TFont font;
    font.SetName(L"Tahoma");
    font.SetSize(12);
    const std::wstring text = L"Größe und Wörter";
    TEasyFontMetrics metrics;
    for (int count : {1, 5, static_cast<int>(text.size())}) {
        EXPECT_EQ(GetTextWidth(font.Handle(), text, count, metrics), ExtentOf(font.Handle(), text.substr(0, count)))
            << count;
    }
    EXPECT_EQ(GetTextWidth(font.Handle(), text, 500, metrics), ExtentOf(font.Handle(), text)) << "clamped";
    EXPECT_EQ(GetTextWidth(font.Handle(), text, 0, metrics), 0);
    EXPECT_EQ(metrics.Height, TextMetricsOf(font.Handle()).tmHeight);
}

TEST(EasyFontManagerWin, OutlineFiguresOrTheirFallbacks)
{
    for (int stock : {SYSTEM_FONT, ANSI_VAR_FONT, DEFAULT_GUI_FONT}) {
        const HFONT font = static_cast<HFONT>(GetStockObject(stock));
        const TEasyFontMetrics metrics = GetFontMetrics(font);
        const TEXTMETRICW gdi = TextMetricsOf(font);
        TWindowDC screen(nullptr);
        TSelectObject select(screen.Get(), font);
        const UINT size = GetOutlineTextMetricsW(screen.Get(), 0, nullptr);
        int subSize = 0, subOffset = 0, superOffset = 0;
        if (size >= sizeof(OUTLINETEXTMETRICW)) {
            std::vector<unsigned char> buffer(size);
            auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
            ASSERT_TRUE(GetOutlineTextMetricsW(screen.Get(), size, outline));
            subSize = outline->otmptSubscriptSize.y;
            subOffset = outline->otmptSubscriptOffset.y;
            superOffset = outline->otmptSuperscriptOffset.y;
        }
        EXPECT_EQ(metrics.SubscriptSize, subSize ? subSize : MulDiv(gdi.tmHeight, 2, 3)) << stock;
        EXPECT_EQ(metrics.SubscriptOffset, subOffset ? subOffset : gdi.tmHeight / 8) << stock;
        EXPECT_EQ(metrics.SuperscriptOffset, superOffset ? superOffset : gdi.tmAscent / 2) << stock;
    }
}

TEST(EasyEditorAttributesWin, TakenFromAFont)
{
    struct Counting : TCustomEasyEditorAttributes {
        void BeginUpdate() override { ++begins; }
        void EndUpdate() override { ++ends; }
        int begins = 0, ends = 0;
    } attributes;
    attributes.SetVerticalPosition(2);
    TFont font;
    font.SetName(L"Courier New");
    font.SetSize(14);
    font.SetStyle(fsBold | fsUnderline);
    font.SetColor(clRed);
    AssignFont(attributes, font);
    EXPECT_EQ(attributes.Name(), L"Courier New");
    EXPECT_EQ(attributes.Size(), 14);
    EXPECT_EQ(attributes.Style(), efBold | efUnderline);
    EXPECT_EQ(attributes.Color(), clRed);
    EXPECT_EQ(attributes.VerticalPosition(), 0);
    EXPECT_EQ(attributes.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(attributes.Mask() & (amSuperscript | amSubscript), 0);
    EXPECT_EQ(attributes.begins, 1);
    EXPECT_EQ(attributes.ends, 1);
}
