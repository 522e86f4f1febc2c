// Painting a screen of editor text: 60 rows of 120 characters, each word a
// token (keywords bold, numbers coloured), through the line painter, beside
// the bare GDI work it stands on: the same runs of text drawn with one
// ExtTextOutW each, colours set per run, on the same bitmap. The painter
// should stay within 2 x the bare drawing.
//   qrv_bench_painter_win.exe

#include "BenchFolders.h"
#include "editor/EasyEditSource.h"
#include "editor/win/EasyPainterWin.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kRows = 60;
constexpr int kColumns = 120;

// Words of letters are keywords (token 0, bold), digits numbers (token 1).
class WordParser : public TCustomEasyParser {
public:
    using TCustomEasyParser::TCustomEasyParser;
    int NextToken(int&, std::u16string_view line, int& pos) override
    {
        auto kind = [](char16_t c) { return c >= u'a' && c <= u'z' ? 0 : c >= u'0' && c <= u'9' ? 1 : -1; };
        const size_t start = static_cast<size_t>(pos - 1);
        size_t end = start + 1;
        while (end < line.size() && kind(line[end]) == kind(line[start]))
            ++end;
        pos = static_cast<int>(end) + 1;
        return kind(line[start]);
    }
    void GetTokenStyle(int token, TColor& color, TFontStyles& style) override
    {
        color = token == 0 ? clBlue : 0x008000;
        style = token == 0 ? efBold : 0;
    }
    TColor GetTokenBackground(int) override { return -1; }
    TColor GetBackgroundColor() override { return -1; }
    int GetTokenCount() override { return 2; }
};

struct Host : TEasyPainterHost {
    Host()
    {
        base.SetName(L"Courier New");
        base.SetHeight(-13);
    }
    TCustomEasyEditSource& PainterSource() override { return source; }
    TEasyEditorOptions PainterOptions() const override { return DefaultEasyEditorOptions; }
    const TEasyEditorColors& PainterColors() const override { return colors; }
    const TEasyLineStyles& PainterLineStyles() const override { return lineStyles; }
    const TEasyLineDivider& PainterLineDivider() const override { return divider; }
    TColor PainterColor() const override { return clWhite; }
    TColor PainterBackground() const override { return clWhite; }
    TColor PainterFontColor() const override { return clBlack; }
    TFontStyles PainterFontStyle() const override { return 0; }
    uintptr_t PainterFont(TFontStyles style) override
    {
        std::unique_ptr<TFont>& font = fonts[style];
        if (!font) {
            font = std::make_unique<TFont>();
            font->Assign(base);
            font->SetStyle(style);
        }
        return reinterpret_cast<uintptr_t>(font->Handle());
    }
    bool PainterFocused() const override { return true; }
    bool PainterHideSelection() const override { return false; }
    TEasyWrapList* PainterWrapList() override { return nullptr; }
    bool PainterSelection(int line, TEasyColumnSpan& span) override
    {
        span = {10, 50};
        return line % 10 == 3;
    }
    int PainterCaretLine() const override { return 0; }

    TEasyEditSource source{nullptr};
    TEasyEditorColors colors;
    TEasyLineStyles lineStyles;
    TEasyLineDivider divider;
    TFont base;
    std::map<TFontStyles, std::unique_ptr<TFont>> fonts;
};

}  // namespace

int wmain()
{
    Host host;
    WordParser parser(nullptr);
    std::u16string text;
    for (int row = 0; row < kRows; ++row) {
        std::u16string line;
        for (int word = 0; line.size() < kColumns; ++word)
            line += (word % 3 == 2) ? u"12345 " : u"begin end ";
        line.resize(kColumns);
        text += line + u"\n";
    }
    host.source.Strings().SetText(text);
    host.source.SetParser(&parser);
    host.source.ParseLines(0, kRows - 1, true);

    TEasyPainter painter(host);
    const int height = painter.GetLineHeight();
    const int width = kColumns * painter.GetCharWidth();
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -(kRows * height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TGdiObject bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TSelectObject select(dc.Get(), bitmap.Get());
    painter.Canvas = dc.Get();

    std::vector<std::u16string> lines;
    for (int row = 0; row < kRows; ++row)
        lines.push_back(host.source.Strings().Get(row));

    const double painted = BestOf(20, [&] {
        for (int row = 0; row < kRows; ++row)
            painter.PaintLine(row, {0, row * height, width, (row + 1) * height}, lines[row], lines[row]);
    });

    // The same runs, drawn bare.
    const std::vector<int32_t>& advances = painter.GetCharAdvances(kColumns);
    const double bare = BestOf(20, [&] {
        for (int row = 0; row < kRows; ++row) {
            const TEasyStringItem* item = host.source.Strings().Items(row);
            const std::wstring line(lines[row].begin(), lines[row].end());
            for (size_t start = 0; start < line.size();) {
                size_t end = start + 1;
                while (end < line.size() && item->Styles[end] == item->Styles[start])
                    ++end;
                const bool keyword = item->Styles[start] == 0;
                SetTextColor(dc.Get(), keyword ? RGB(0, 0, 255) : RGB(0, 0, 0));
                SetBkColor(dc.Get(), RGB(255, 255, 255));
                const TSelectObject font(dc.Get(), reinterpret_cast<HFONT>(host.PainterFont(keyword ? efBold : 0)));
                RECT clip{static_cast<LONG>(start) * painter.GetCharWidth(), row * height,
                          static_cast<LONG>(end) * painter.GetCharWidth(), (row + 1) * height};
                ExtTextOutW(dc.Get(), clip.left, clip.top, ETO_CLIPPED | ETO_OPAQUE, &clip, line.c_str() + start,
                            static_cast<UINT>(end - start), reinterpret_cast<const INT*>(advances.data()));
                start = end;
            }
        }
    });
    std::printf("Editor painter, %d rows x %d columns: %.2f ms; bare ExtTextOutW of the same runs %.2f ms "
                "(%.2f x, goal <= 2 x)\n",
                kRows, kColumns, painted, bare, painted / bare);
    return 0;
}
