#include "editor/win/EasyEditor.h"
#include "editor/win/EasyRuler.h"
#include "editor/WideText.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"

#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <imm.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// The editor's painting, read back as 32-bit pixels.
class EditorPicture {
public:
    explicit EditorPicture(HWND window)
    {
        RECT client{};
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        TOwnDC dc(CreateCompatibleDC(nullptr));
        TGdiObject bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        EXPECT_TRUE(bitmap.Valid());
        TSelectObject select(dc.Get(), bitmap.Get());
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
        GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        pixels_.assign(pixels, pixels + size_t(width_) * size_t(height_));
        header_ = info.bmiHeader;
    }

    COLORREF At(int x, int y) const
    {
        const uint32_t p = pixels_.at(size_t(y) * size_t(width_) + size_t(x));
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

    // Pixels darker than mid-grey in the rectangle.
    int DarkPixels(int x0, int x1, int y0, int y1) const
    {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const COLORREF c = At(x, y);
                count += GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
            }
        return count;
    }

    // The lowest R+G+B in the rectangle.
    int Darkest(int x0, int x1, int y0, int y1) const
    {
        int darkest = 3 * 255;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const COLORREF c = At(x, y);
                darkest = std::min(darkest, GetRValue(c) + GetGValue(c) + GetBValue(c));
            }
        return darkest;
    }
    int PixelsOf(COLORREF color, int x0, int x1, int y0, int y1) const
    {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += At(x, y) == color;
        return count;
    }
    int PixelsOtherThan(COLORREF color, int x0, int x1, int y0, int y1) const
    {
        return (x1 - x0) * (y1 - y0) - PixelsOf(color, x0, x1, y0, y1);
    }

    // A BMP for a person to look at, when QRV_SCREENSHOT_DIR names a folder.
    void SaveFor(const std::string& name) const
    {
        const char* dir = std::getenv("QRV_SCREENSHOT_DIR");
        if (!dir)
            return;
        BITMAPINFOHEADER header = header_;
        const DWORD size = DWORD(pixels_.size() * 4);
        BITMAPFILEHEADER fileHeader{};
        fileHeader.bfType = 0x4D42;
        fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
        fileHeader.bfSize = fileHeader.bfOffBits + size;
        std::ofstream out(std::string(dir) + "/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        out.write(reinterpret_cast<const char*>(pixels_.data()), size);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_ = 0, height_ = 0;
    BITMAPINFOHEADER header_{};
    std::vector<uint32_t> pixels_;
};

// The window's vertical scroll bar as the screen shows it now, as 32-bit
// pixels (empty when the window has no such bar).
std::vector<uint32_t> VerticalBarOnScreen(HWND window)
{
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    RECT frame{};
    if (!GetScrollBarInfo(window, OBJID_VSCROLL, &bar) || !GetWindowRect(window, &frame))
        return {};
    const int width = bar.rcScrollBar.right - bar.rcScrollBar.left;
    const int height = bar.rcScrollBar.bottom - bar.rcScrollBar.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TOwnDC memory(CreateCompatibleDC(nullptr));
    TGdiObject bitmap(CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.Valid())
        return {};
    TSelectObject select(memory.Get(), bitmap.Get());
    TWindowDC screen(window, GetWindowDC(window));
    BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), bar.rcScrollBar.left - frame.left,
           bar.rcScrollBar.top - frame.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(pixels, pixels + size_t(width) * size_t(height));
}

class EasyEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.SetBounds(0, 0, 640, 480);
        edit = new TEasyEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(0, 0, 600, 400);
        form.HandleNeeded();
    }
    void SetLines(int count, const std::u16string& prefix = u"Zeile ")
    {
        TEasyStrings& lines = edit->Lines();
        lines.BeginUpdate();
        lines.Clear();
        for (int i = 0; i < count; ++i) {
            const std::string number = std::to_string(i);
            lines.Add(prefix + std::u16string(number.begin(), number.end()));
        }
        lines.EndUpdate();
    }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(edit->Handle(), msg, w, l); }

    TForm form{nullptr};
    TEasyEdit* edit = nullptr;
};

}  // namespace

TEST_F(EasyEditorTest, IsItsOwnWindowClass)
{
    wchar_t name[64]{};
    GetClassNameW(edit->Handle(), name, 64);
    EXPECT_STREQ(name, L"TEasyEdit");
    EXPECT_EQ(edit->Font().Name(), L"Courier New");
}

TEST_F(EasyEditorTest, SetSelAllAndGetSelAbove16Bits)
{
    edit->Lines().SetText(u"eins\r\nzwei\r\ndrei");
    Send(EM_SETSEL, 0, -1);
    EXPECT_EQ(edit->SelText(), L"eins\r\nzwei\r\ndrei");
    DWORD start = 99, end = 99;
    EXPECT_EQ(Send(EM_GETSEL, WPARAM(&start), LPARAM(&end)), MAKELONG(0, 16));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 16u);

    // Past 0xFFFF the packed result is refused, the pointers get the full indexes.
    SetLines(20000);  // "Zeile 0" .. "Zeile 19999": about 250,000 characters
    const LRESULT lineStart = Send(EM_LINEINDEX, 15000);
    ASSERT_GT(lineStart, 0xFFFF);
    Send(EM_SETSEL, lineStart + 2, lineStart + 5);
    EXPECT_EQ(Send(EM_GETSEL, WPARAM(&start), LPARAM(&end)), -1);
    EXPECT_EQ(start, DWORD(lineStart + 2));
    EXPECT_EQ(end, DWORD(lineStart + 5));
    EXPECT_EQ(edit->SelText(), L"ile");
    CHARRANGE range{};
    Send(EM_EXGETSEL, 0, LPARAM(&range));
    EXPECT_EQ(range.cpMin, lineStart + 2);
    EXPECT_EQ(range.cpMax, lineStart + 5);

    // Indexes past the text are clamped.
    Send(EM_SETSEL, lineStart, 99999999);
    Send(EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(edit->SelEnd().Y, 19999);
    EXPECT_EQ(edit->SelEnd().X, 11);
}

TEST_F(EasyEditorTest, LineMessagesAgreeWithTheLines)
{
    edit->Lines().SetText(u"a\u20ACb\r\n\r\nzweite Zeile");
    EXPECT_EQ(Send(EM_GETLINECOUNT), 3);
    const LRESULT starts[] = {0, 5, 7};
    for (int line = 0; line < 3; ++line)
        EXPECT_EQ(Send(EM_LINEINDEX, line), starts[line]) << line;
    EXPECT_EQ(Send(EM_LINEINDEX, 3), -1);
    EXPECT_EQ(Send(EM_LINEINDEX, 9999), -1);
    const struct {
        WPARAM index;
        LRESULT line;
    } fromChar[] = {{0, 0}, {3, 0}, {4, 0}, {5, 1}, {6, 1}, {7, 2}, {18, 2}, {500, 2}};
    for (const auto& c : fromChar)
        EXPECT_EQ(Send(EM_LINEFROMCHAR, c.index), c.line) << c.index;
    EXPECT_EQ(Send(EM_EXLINEFROMCHAR, 0, 9), 2);

    wchar_t buffer[32];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    buffer[0] = 31;
    ASSERT_EQ(Send(EM_GETLINE, 0, LPARAM(buffer)), 3);
    EXPECT_EQ(std::wstring(buffer, 3), L"a\u20ACb") << "the euro sign is kept";
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    buffer[0] = 4;
    ASSERT_EQ(Send(EM_GETLINE, 2, LPARAM(buffer)), 4);
    EXPECT_EQ(std::wstring(buffer, 5), L"zwei#") << "never more than the size word";
    EXPECT_EQ(Send(EM_GETLINE, 7, LPARAM(buffer)), 0);
    // An ANSI caller gets the line in its code page from the system.
    char ansi[32];
    std::fill(std::begin(ansi), std::end(ansi), '#');
    *reinterpret_cast<WORD*>(ansi) = 31;
    ASSERT_EQ(SendMessageA(edit->Handle(), EM_GETLINE, 0, LPARAM(ansi)), 3);
    EXPECT_EQ(std::string(ansi, 3), "a\x80"
                                    "b")
        << "the euro sign in code page 1252";

    wchar_t range[32]{};
    TEXTRANGEW request{{2, 9}, range};
    EXPECT_EQ(Send(EM_GETTEXTRANGE, 0, LPARAM(&request)), 7);
    EXPECT_STREQ(range, L"b\r\n\r\nzw");
    TEXTRANGEW backwards{{9, 2}, range};
    EXPECT_EQ(Send(EM_GETTEXTRANGE, 0, LPARAM(&backwards)), 0);

    Send(EM_SETSEL, 1, 2);
    wchar_t selected[8]{};
    EXPECT_EQ(Send(EM_GETSELTEXT, 0, LPARAM(selected)), 1);
    EXPECT_STREQ(selected, L"\u20AC");
}

TEST_F(EasyEditorTest, AKeptTabIsOneCharacterOfTheIndexes)
{
    // Shown as spaces up to its stop, stored as one character.
    TCustomEasyEditSource& source = *edit->GetEditSource();
    source.SetOptions(source.Options() | srUseTab);
    edit->Lines().SetText(u"\tab\r\nx");
    ASSERT_EQ(edit->Lines().GetStored(0), u"\tab");
    const int column = static_cast<int>(edit->Lines().Get(0).find(u'a'));
    ASSERT_GT(column, 1);
    Send(EM_SETSEL, 1, 2);
    EXPECT_EQ(edit->SelStart(), (TEasyPoint{column, 0}));
    EXPECT_EQ(edit->SelText(), L"a");
    EXPECT_EQ(Send(EM_GETSEL), MAKELONG(1, 2));
    EXPECT_EQ(Send(EM_LINEINDEX, 1), 5);
    const POINT a = edit->TextToClient({column, 0});
    EXPECT_EQ(Send(EM_CHARFROMPOS, 0, MAKELPARAM(a.x + 1, a.y + 1)), MAKELONG(1, 0));
}

TEST_F(EasyEditorTest, CharFromPosAnswersAsTheSystemsEdit)
{
    // Both controls on the same fixed-pitch font, the text from the left
    // client edge: every client point must give the same character and line.
    edit->SetOptions(edit->Options() & ~eoPaintGutter);
    HWND system = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0,
                                  600, 400, form.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(system);
    const ScopeExit destroy([system] { DestroyWindow(system); });
    SendMessageW(system, WM_SETFONT, reinterpret_cast<WPARAM>(edit->Font().Handle()), FALSE);
    SendMessageW(system, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    TEXTMETRICW metrics{};
    wchar_t face[LF_FACESIZE]{};
    {
        TWindowDC screen(nullptr);
        TSelectObject font(screen.Get(), edit->Font().Handle());
        GetTextMetricsW(screen.Get(), &metrics);
        GetTextFaceW(screen.Get(), LF_FACESIZE, face);
    }
    // (The flag's name says the opposite: set means a variable pitch.)
    if (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH)
        GTEST_SKIP() << "Courier New is drawn with " << WideToUtf8(face) << ", not a fixed-pitch font";
    ASSERT_EQ(edit->CharWidth(), metrics.tmAveCharWidth);
    ASSERT_EQ(edit->LineHeight(), metrics.tmHeight);
    RECT client{};
    GetClientRect(system, &client);
    const int cw = edit->CharWidth(), lh = edit->LineHeight();
    auto ask = [](HWND window, int x, int y) { return SendMessageW(window, EM_CHARFROMPOS, 0, MAKELPARAM(x, y)); };

    // A short text (points below its end) and one longer than the window,
    // at the top and scrolled by two lines.
    const std::wstring shortText = L"erste Zeile\r\n\r\nx\r\ndie vierte und l\u00E4ngste Zeile\r\nf\u00FCnf\r\n\u20AC";
    std::wstring longText = shortText;
    for (int line = 6; line < 60; ++line)
        longText += L"\r\nZeile " + std::wstring(size_t(line % 7), L'-') + std::to_wstring(line);
    int compared = 0, mismatches = 0;
    for (const auto& [text, scrolled] : {std::pair{shortText, 0}, {longText, 0}, {longText, 2}}) {
        edit->Lines().SetText(ToUtf16(text));
        SetWindowTextW(system, text.c_str());
        Send(EM_LINESCROLL, 0, scrolled);
        SendMessageW(system, EM_LINESCROLL, 0, scrolled);
        ASSERT_EQ(Send(EM_GETFIRSTVISIBLELINE), SendMessageW(system, EM_GETFIRSTVISIBLELINE, 0, 0));
        for (int y = 1; y < 9 * lh; y += lh / 3)
            for (int x = 0; x < 32 * cw; x += std::max(cw / 3, 1)) {
                const LRESULT mine = ask(edit->Handle(), x, y), theirs = ask(system, x, y);
                if (mine != theirs && ++mismatches < 40)
                    ADD_FAILURE() << "at " << x << ", " << y << " scrolled " << scrolled << ": " << LOWORD(mine) << "/"
                                  << HIWORD(mine) << " vs " << LOWORD(theirs) << "/" << HIWORD(theirs);
                ++compared;
            }
        for (const POINT& p : {POINT{-4, 3}, POINT{3, -4}, POINT{client.right + 5, 3}, POINT{3, client.bottom + 5}})
            EXPECT_EQ(ask(edit->Handle(), p.x, p.y), ask(system, p.x, p.y)) << "outside, at " << p.x << ", " << p.y;
    }
    EXPECT_GT(compared, 1000);
}

TEST_F(EasyEditorTest, LineScrollAndFirstVisibleLine)
{
    SetLines(500);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(Send(EM_LINESCROLL, 0, 120), 1);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 120);
    Send(EM_LINESCROLL, 0, -50);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 70);
    Send(EM_LINESCROLL, 0, -5000);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
    Send(EM_LINESCROLL, 0, 5000);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 499);
    Send(EM_LINESCROLL, 3, 0);
    EXPECT_EQ(edit->LeftColumn(), 3);

    // The next text shown after an emptied one starts at the top left.
    edit->GetEditSource()->Clear();
    SetLines(500);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(edit->LeftColumn(), 0);
}

TEST_F(EasyEditorTest, ThumbDragReachesRowsPast16Bits)
{
    SetLines(100000, u"x");
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = 70123;
    SetScrollInfo(edit->Handle(), SB_VERT, &info, FALSE);
    // The message's own position word holds only the low 16 bits.
    Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 70123 & 0xFFFF));
    EXPECT_EQ(edit->TopRow(), 70123);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 70123);

    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(edit->TopRow(), 70124);
    Send(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(edit->TopRow(), 70124 - edit->VisibleRows());
    Send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(edit->TopRow(), 99999);
    Send(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(edit->TopRow(), 0);
}

TEST_F(EasyEditorTest, WheelScrollsByTheSystemSettingAndAddsUpSmallDeltas)
{
    SetLines(300);
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int step = lines == WHEEL_PAGESCROLL ? edit->VisibleRows() : std::max<int>(lines, 1);
    Send(EM_LINESCROLL, 0, 100);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -60));
    EXPECT_EQ(edit->TopRow(), 100) << "half a notch does not scroll";
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -60));
    EXPECT_EQ(edit->TopRow(), 100 + step);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 240));
    EXPECT_EQ(edit->TopRow(), 100 - step);
}

TEST_F(EasyEditorTest, TwoEditorsOnOneSourceRepaintAfterAnEdit)
{
    form.Show();  // only shown windows collect update regions
    auto* second = new TEasyEdit(&form);
    second->SetParent(&form);
    second->SetBounds(0, 410, 600, 60);
    second->SetEditSource(edit->GetEditSource());
    edit->Lines().SetText(u"eins\r\nzwei");
    EXPECT_EQ(second->Lines().Count(), 2);
    UpdateWindow(edit->Handle());
    UpdateWindow(second->Handle());
    RECT dirty{};
    ASSERT_FALSE(GetUpdateRect(second->Handle(), &dirty, FALSE));

    TCustomEasyEditSource& source = *edit->GetEditSource();
    source.SetCaretPos(0, 1);
    source.InsertText(u"neu ");
    EXPECT_EQ(second->Lines()[1], u"neu zwei");
    EXPECT_TRUE(GetUpdateRect(edit->Handle(), &dirty, FALSE));
    EXPECT_TRUE(GetUpdateRect(second->Handle(), &dirty, FALSE)) << "the other view repaints too";

    // And what it paints is the new text: its second row changed.
    const EditorPicture before(second->Handle());
    source.InsertText(u"WWWWWWWW");
    const EditorPicture after(second->Handle());
    const int rowTop = second->LineHeight();
    int changed = 0;
    for (int x = second->TextLeft(); x < before.Width(); ++x)
        changed += before.At(x, rowTop + rowTop / 2) != after.At(x, rowTop + rowTop / 2);
    EXPECT_GT(changed, 0);
}

TEST_F(EasyEditorTest, WordWrapKeepsTheTopLine)
{
    edit->Lines().BeginUpdate();
    for (int i = 0; i < 400; ++i)
        edit->Lines().Add(std::u16string(size_t(30 + i % 7 * 40), u'a' + char16_t(i % 26)) + u" ende");
    edit->Lines().EndUpdate();
    Send(EM_LINESCROLL, 0, 250);
    ASSERT_EQ(Send(EM_GETFIRSTVISIBLELINE), 250);
    edit->SetWordWrap(true);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 250);
    EXPECT_GT(edit->TopRow(), 250) << "long lines above take several rows";
    edit->SetWordWrap(false);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 250);
    EXPECT_EQ(edit->TopRow(), 250);
}

TEST_F(EasyEditorTest, ResizingAWrappedTextKeepsTheTopLine)
{
    SetLines(400, std::u16string(150, u'r') + u" ");
    edit->SetWordWrap(true);
    Send(EM_LINESCROLL, 0, 500);
    const LRESULT top = Send(EM_GETFIRSTVISIBLELINE);
    ASSERT_GT(top, 100);
    const int rowsBefore = edit->TopRow();
    edit->SetBounds(0, 0, 300, 400);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), top);
    EXPECT_GT(edit->TopRow(), rowsBefore) << "narrower rows: more of them above";
}

TEST_F(EasyEditorTest, ThumbTrackingAsksTheHostForTheHint)
{
    SetLines(1000);
    edit->SetOptions(edit->Options() | eoShowScrollHint);
    int asked = -1;
    std::wstring offered;
    edit->OnScrollHint = [&](TComponent*, int Line, int, std::wstring& text) {
        asked = Line;
        offered = text;
        text = L"Zeile " + std::to_wstring(Line + 1);
    };
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = 300;
    SetScrollInfo(edit->Handle(), SB_VERT, &info, FALSE);
    Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300));
    EXPECT_EQ(asked, 300);
    EXPECT_EQ(offered, L"\\rtf\\b Line : \\b0 301 ");
    EXPECT_EQ(edit->TopRow(), 0) << "without thumb tracking the view waits for the release";
    Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300));
    Send(WM_VSCROLL, SB_ENDSCROLL);
    EXPECT_EQ(edit->TopRow(), 300);
}

TEST_F(EasyEditorTest, WordWrapBottomReachesTheLastLine)
{
    SetLines(5000, std::u16string(200, u'w') + u" ");
    edit->SetWordWrap(true);
    Send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 4999);
    EXPECT_GE(edit->RowCount(), 10000);
}

TEST_F(EasyEditorTest, HideScrollBarsHidesAShortTextsBar)
{
    edit->Lines().SetText(u"kurz\r\nText");
    edit->SetHideScrollBars(true);
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(edit->Handle(), OBJID_VSCROLL, &bar));
    EXPECT_TRUE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(edit->TopRow(), 0);

    SetLines(300);
    ASSERT_TRUE(GetScrollBarInfo(edit->Handle(), OBJID_VSCROLL, &bar));
    EXPECT_FALSE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) << "a long text shows it again";

    edit->SetHideScrollBars(false);
    edit->Lines().SetText(u"kurz");
    ASSERT_TRUE(GetScrollBarInfo(edit->Handle(), OBJID_VSCROLL, &bar));
    EXPECT_FALSE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) << "without the option the bar stays";
}

TEST_F(EasyEditorTest, PagingShowsTheScrollBarAsTheSystemDrawsIt)
{
    // So long a text that a page moves the thumb by less than a pixel: it
    // lands on other pixels only every few pages.
    form.Show();
    SetLines(20000);
    UpdateWindow(form.Handle());
    auto thumbTop = [&] {
        SCROLLBARINFO bar{};
        bar.cbSize = sizeof bar;
        EXPECT_TRUE(GetScrollBarInfo(edit->Handle(), OBJID_VSCROLL, &bar));
        return bar.xyThumbTop;
    };
    int moved = 0, stayed = 0;
    for (int page = 0; page < 12; ++page) {
        const int before = thumbTop();
        Send(WM_VSCROLL, SB_PAGEDOWN);
        UpdateWindow(edit->Handle());
        (thumbTop() == before ? stayed : moved) += 1;
        EXPECT_EQ(GetScrollPos(edit->Handle(), SB_VERT), edit->TopRow());
        const std::vector<uint32_t> shown = VerticalBarOnScreen(edit->Handle());
        ASSERT_FALSE(shown.empty());
        ASSERT_NE(std::count(shown.begin(), shown.end(), shown.front()), std::ptrdiff_t(shown.size()))
            << "the bar was read from the screen";
        RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_TRUE(shown == VerticalBarOnScreen(edit->Handle())) << "page " << page;
    }
    EXPECT_GT(moved, 0);
    EXPECT_GT(stayed, 0);
}

TEST_F(EasyEditorTest, TheSelectionShowsInTheColoursOfTheFocusAtEachPaint)
{
    form.Show();
    edit->Lines().SetText(u"eins zwei drei");
    edit->Colors().SetSelBackColor(clRed);
    edit->Colors().SetInActiveSelBackColor(clBlue);
    edit->SetSelection({0, 0}, {4, 0});
    const int y = edit->LineHeight() - 1;
    const int x = edit->TextLeft() + edit->CharWidth() / 2;
    auto selectionBack = [&] { return EditorPicture(edit->Handle()).At(x, y); };
    edit->SetFocus();
    EXPECT_EQ(selectionBack(), ColorToRGB(clRed));
    SetFocus(form.Handle());
    EXPECT_EQ(selectionBack(), ColorToRGB(clBlue));
    edit->SetHideSelection(true);
    EXPECT_EQ(selectionBack(), ColorToRGB(edit->Color())) << "hidden without the focus";
    edit->SetFocus();
    EXPECT_EQ(selectionBack(), ColorToRGB(clRed));
}

TEST_F(EasyEditorTest, KeysMoveTheCaretAndScroll)
{
    SetLines(300);
    edit->SetFocus();
    Send(WM_KEYDOWN, VK_DOWN);
    Send(WM_KEYDOWN, VK_DOWN);
    Send(WM_KEYDOWN, VK_END);
    EXPECT_EQ(edit->CaretY(), 2);
    EXPECT_EQ(edit->CaretX(), 7);
    Send(WM_KEYDOWN, VK_NEXT);
    // A page is one visible row less than the window shows.
    EXPECT_EQ(edit->CaretY(), 2 + edit->VisibleRows() - 1);
    EXPECT_EQ(edit->TopRow(), edit->VisibleRows() - 1);
    edit->SetCaretPos(0, 250);
    EXPECT_LE(edit->TopRow(), 250);
    EXPECT_GE(edit->TopRow() + edit->VisibleRows() - 1, 250) << "the caret is kept in view";
    const int before = edit->Lines().Count();
    Send(WM_KEYUP, VK_NEXT);
    Send(WM_CHAR, L'x');
    EXPECT_EQ(edit->Lines().Count(), before);
    EXPECT_EQ(edit->Lines()[250], u"xZeile 250");
}

TEST_F(EasyEditorTest, PaintsTextGutterAndLineNumbers)
{
    edit->LineNumbers().SetVisible(true);
    edit->LineNumbers().SetOptions(lnPaintOnGutter);
    SetLines(200, u"Zeile Nummer ");
    ASSERT_EQ(edit->LineNumberDigits(), 3);
    const EditorPicture picture(edit->Handle());
    picture.SaveFor("EasyEdit200Lines.bmp");
    const int textLeft = edit->TextLeft();
    const int lineHeight = edit->LineHeight();
    const int gutter = edit->Gutter().PaintedWidth(edit->LineNumbers());
    ASSERT_GE(gutter, 3 * edit->CharWidth());
    EXPECT_EQ(textLeft, gutter);
    // The gutter's colour below the numbers' glyphs, the text's background right of the text.
    EXPECT_EQ(picture.At(1, lineHeight * 3 - 1), ColorToRGB(edit->Gutter().Brush().Color));
    EXPECT_EQ(picture.At(picture.Width() - 40, 5), ColorToRGB(edit->Color()));
    // Glyphs in the number column and in the text of the first rows.
    EXPECT_GT(picture.DarkPixels(0, gutter - 2, 0, lineHeight), 0);
    EXPECT_GT(picture.DarkPixels(textLeft, textLeft + 15 * edit->CharWidth(), 0, lineHeight), 0);
    const int lastRowTop = (edit->VisibleRows() - 1) * lineHeight;
    EXPECT_GT(picture.DarkPixels(textLeft, picture.Width(), lastRowTop, lastRowTop + lineHeight), 0);
    // The margin line at column 80 is outside this window; nothing right of the text.
    EXPECT_EQ(picture.DarkPixels(textLeft + 20 * edit->CharWidth(), picture.Width(), 0, picture.Height()), 0);
}

TEST_F(EasyEditorTest, LineNumbersOfManyDigitsKeepClearOfTheGutterEdgeAndTheText)
{
    edit->LineNumbers().SetVisible(true);
    edit->LineNumbers().SetOptions(lnPaintOnGutter);
    SetLines(12000, u"Zeile ");
    ASSERT_EQ(edit->LineNumberDigits(), 5);
    edit->SetTopRow(9990);  // the numbers 9991 to 10000 and more in sight
    const EditorPicture picture(edit->Handle());
    picture.SaveFor("EasyEditFiveDigitNumbers.bmp");
    const int gutter = edit->Gutter().PaintedWidth(edit->LineNumbers());
    const int rows = edit->VisibleRows() * edit->LineHeight();
    ASSERT_GT(picture.DarkPixels(0, gutter - 2, 0, rows), 0) << "the numbers are painted";
    // Half a character's width of the gutter's colour between the last digit
    // and the gutter's edge lines, which stand left of the text.
    const int room = edit->CharWidth() / 2;
    EXPECT_EQ(picture.DarkPixels(gutter - 2 - room, gutter - 2, 0, rows), 0);
    EXPECT_GE(edit->TextLeft(), gutter);
}

TEST_F(EasyEditorTest, GutterGlyphsOfBookmarksLineStylesAndWrappedRows)
{
    SetLines(20);
    TCustomEasyEditSource& source = *edit->GetEditSource();
    const int plus = edit->LineStyles().Add({L"zu", clBlack, clWindow, kEasyGutterCollapsedImage});
    const int missing = edit->LineStyles().Add({L"ohne Bild", clBlack, clWindow, 99});
    source.SetBookmark(3, {0, 2});
    source.SetLineStyle(4, plus);
    source.SetLineStyle(5, plus);
    source.SetBookmark(7, {0, 5});
    source.SetLineStyle(6, missing);
    const int lh = edit->LineHeight();
    const COLORREF gutter = ColorToRGB(edit->Gutter().Brush().Color);
    const COLORREF face = RGB(255, 200, 0);  // a bookmark's face in the strip
    for (const int width : {32, 40}) {
        edit->Gutter().SetWidth(width);
        const EditorPicture picture(edit->Handle());
        if (width == 40)
            picture.SaveFor("EasyEditGutterGlyphs.bmp");
        for (int row = 0; row < 8; ++row) {
            const int top = row * lh, bottom = top + lh;
            // The first glyph of a row at the gutter's left, the next beside it
            // where the gutter is wide enough (the edge lines stay free).
            EXPECT_EQ(picture.PixelsOtherThan(gutter, 0, 16, top, bottom) > 0, row == 2 || row == 4 || row == 5)
                << "row " << row << ", gutter " << width;
            EXPECT_EQ(picture.PixelsOf(face, 0, 16, top, bottom) > 0, row == 2) << "row " << row;
            EXPECT_EQ(picture.PixelsOf(face, 16, width - 2, top, bottom) > 0, row == 5 && width == 40)
                << "row " << row << ", gutter " << width;
            EXPECT_EQ(picture.PixelsOtherThan(gutter, 16, width - 2, top, bottom) > 0, row == 5 && width == 40)
                << "row " << row << ", gutter " << width;
        }
    }

    // With word wrap every continued row carries the wrap mark.
    edit->SetOptions(edit->Options() | eoPaintWrapBookmark);
    edit->Lines().SetText(ToUtf16(std::wstring(100, L'w') + L"\r\nkurz\r\n" + std::wstring(100, L'v')));
    edit->SetWordWrap(true);
    ASSERT_GE(edit->RowCount(), 5);
    const EditorPicture wrapped(edit->Handle());
    const COLORREF wrap = RGB(0, 64, 160);
    std::vector<bool> marked, continued;
    for (int row = 0; row < edit->RowCount(); ++row) {
        marked.push_back(wrapped.PixelsOf(wrap, 0, 30, row * lh, (row + 1) * lh) > 0);
        continued.push_back(edit->RowToLine(row) == edit->RowToLine(row + 1));
    }
    EXPECT_EQ(marked, continued);
    EXPECT_FALSE(marked.back());
}

TEST_F(EasyEditorTest, PaintsTheEndOfTextMark)
{
    edit->Lines().SetText(u"a b");
    edit->SetOptions(edit->Options() | eoPaintFormattingMarks);
    EXPECT_EQ(edit->RowCount(), 2) << "the end-of-text mark has a row of its own";
    const EditorPicture picture(edit->Handle());
    picture.SaveFor("EasyEditEndOfText.bmp");
    const int left = edit->TextLeft();
    const int lineHeight = edit->LineHeight();
    const int cw = edit->CharWidth();
    const COLORREF back = ColorToRGB(edit->Color());
    EXPECT_GT(picture.PixelsOtherThan(back, left, left + cw, lineHeight, 2 * lineHeight), 0)
        << "the mark in the second row";
    EXPECT_EQ(picture.PixelsOtherThan(back, left, picture.Width(), 2 * lineHeight, picture.Height()), 0);
    // The marks are drawn in their own colour, the letters in the text's.
    // (The mark colour is lighter than the text's black: the letter's cell
    // has darker pixels than the space mark's.)
    const int letter = picture.Darkest(left, left + cw, 0, lineHeight);
    const int spaceMark = picture.Darkest(left + cw, left + 2 * cw, 0, lineHeight);
    EXPECT_LT(letter, spaceMark);
    EXPECT_LT(spaceMark, 3 * 255) << "the space mark is drawn";

    edit->Lines().Clear();
    EXPECT_EQ(edit->RowCount(), 1);
    const EditorPicture empty(edit->Handle());
    EXPECT_GT(empty.PixelsOtherThan(back, left, left + cw, 0, lineHeight), 0) << "an empty text still shows it";
}

TEST_F(EasyEditorTest, TheInputMethodsResultIsReadWhole)
{
    form.Show();
    edit->Lines().SetText(u"eins\r\nzwei");
    edit->SetFocus();
    edit->SetCaretPos(2, 1);
    HIMC context = ImmGetContext(edit->Handle());
    ASSERT_TRUE(context) << "no input context";
    const ScopeExit release([&] { ImmReleaseContext(edit->Handle(), context); });
    ImmSetOpenStatus(context, TRUE);
    LOGFONTW editorFont{}, compositionFont{};
    GetObjectW(edit->Font().Handle(), sizeof editorFont, &editorFont);
    ASSERT_TRUE(ImmGetCompositionFontW(context, &compositionFont));
    EXPECT_STREQ(compositionFont.lfFaceName, editorFont.lfFaceName);
    EXPECT_EQ(compositionFont.lfHeight, editorFont.lfHeight);

    // 1,500 characters and a pair: more than 2,048 bytes, none of them ANSI.
    std::wstring text;
    for (int i = 0; i < 1500; ++i)
        text += wchar_t(0x4E00 + i % 700);
    text += L"\U0001F600";
    ASSERT_TRUE(
        ImmSetCompositionStringW(context, SCS_SETSTR, text.data(), DWORD(text.size() * sizeof(wchar_t)), nullptr, 0));
    COMPOSITIONFORM where{};
    ASSERT_TRUE(ImmGetCompositionWindow(context, &where));
    const POINT caret = edit->TextToClient({2, 1});
    EXPECT_EQ(where.ptCurrentPos.x, caret.x) << "the composition window is at the caret";
    EXPECT_EQ(where.ptCurrentPos.y, caret.y);
    ASSERT_TRUE(ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
    EXPECT_TRUE(test::PumpUntil([&] { return !edit->ImeResult().empty(); }, std::chrono::milliseconds(1000)));
    EXPECT_TRUE(edit->ImeResult() == text) << "read " << edit->ImeResult().size() << " of " << text.size();
    test::PumpFor(std::chrono::milliseconds(20));
    const std::u16string typed(text.begin(), text.end());
    EXPECT_EQ(edit->Lines()[1], u"zw" + typed + u"ei") << "the result is typed whole";
}

TEST_F(EasyEditorTest, AttachedSourceAndItsEnd)
{
    edit->Lines().SetText(u"eins\r\nzwei\r\ndrei");
    auto external = std::make_unique<TEasyEditSource>(nullptr);
    external->Strings().SetText(u"fremd");
    external->SetReadOnly(true);
    edit->SetEditSource(external.get());
    EXPECT_EQ(edit->GetEditSource(), external.get());
    EXPECT_EQ(Send(EM_GETLINECOUNT), 1);
    EXPECT_TRUE(edit->GetReadOnly());

    external.reset();
    EXPECT_EQ(edit->EditSource(), nullptr) << "a freed source lets go of the editor";
    EXPECT_EQ(Send(EM_GETLINECOUNT), 3);
    EXPECT_FALSE(edit->GetReadOnly());
}

TEST_F(EasyEditorTest, KmOtherBindsNoKey)
{
    SetLines(50);
    edit->SetFocus();
    edit->SetKeyMapping(TEasyKeyMapping::kmOther);
    EXPECT_EQ(edit->KeyMapping(), TEasyKeyMapping::kmOther);
    EXPECT_EQ(edit->KeyList().Count(), 0);
    Send(WM_KEYDOWN, VK_DOWN);
    Send(WM_KEYDOWN, VK_NEXT);
    Send(WM_KEYDOWN, VK_END);
    EXPECT_EQ(edit->CaretY(), 0);
    EXPECT_EQ(edit->CaretX(), 0);
    EXPECT_EQ(edit->TopRow(), 0);
    edit->SetKeyMapping(TEasyKeyMapping::kmDefault);
    Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(edit->CaretY(), 1);
}

TEST_F(EasyEditorTest, AForeignEditSourceIsRefusedAndTheSourceKept)
{
    // A source beside the editor's own class, not below it.
    class TForeignSource : public TCustomEasyEditSource {
    public:
        using TCustomEasyEditSource::TCustomEasyEditSource;
    };
    edit->Lines().SetText(u"eigen");
    auto attached = std::make_unique<TEasyEditSource>(nullptr);
    attached->Strings().SetText(u"angehängt\r\nzwei");
    edit->SetEditSource(attached.get());
    EXPECT_EQ(attached->ActiveEditor(), edit);
    TForeignSource foreign(nullptr);
    try {
        edit->SetEditSource(&foreign);
        ADD_FAILURE() << "a foreign source must be refused";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), L"The instance of TEasyEditSource expected");
    }
    EXPECT_EQ(edit->EditSource(), attached.get());
    EXPECT_EQ(Send(EM_GETLINECOUNT), 2);

    // Back to the own source: the attached one loses the editor.
    edit->SetEditSource(nullptr);
    EXPECT_EQ(attached->ActiveEditor(), nullptr);
    EXPECT_EQ(edit->Lines()[0], u"eigen");
}

TEST_F(EasyEditorTest, ABorderStyleChangeKeepsTextCaretSelectionAndView)
{
    SetLines(300);
    edit->SetFocus();
    edit->SetCaretPos(3, 120);
    edit->SetSelection({1, 118}, {4, 119});
    edit->SetTopRow(110);
    const HWND before = edit->Handle();
    EXPECT_TRUE(GetWindowLongW(before, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    edit->SetBorderStyle(TEasyBorderStyle::bsNone);
    EXPECT_FALSE(GetWindowLongW(edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(edit->Lines().Count(), 300);
    EXPECT_EQ(edit->CaretX(), 3);
    EXPECT_EQ(edit->CaretY(), 120);
    EXPECT_EQ(edit->SelStart(), (TEasyPoint{1, 118}));
    EXPECT_EQ(edit->SelEnd(), (TEasyPoint{4, 119}));
    EXPECT_EQ(edit->TopRow(), 110);
    EXPECT_EQ(GetScrollPos(edit->Handle(), SB_VERT), 110);
    EXPECT_EQ(GetFocus(), edit->Handle());

    edit->SetFlatScrollBars(true);  // plain bars where the system has no flat ones
    EXPECT_EQ(edit->TopRow(), 110);
    EXPECT_EQ(edit->CaretY(), 120);
    EXPECT_EQ(Send(EM_GETLINECOUNT), 300);
}

TEST_F(EasyEditorTest, HideCaretDestroysTheCaretAndBringsItBack)
{
    SetLines(10);
    edit->SetFocus();
    edit->SetCaretPos(2, 1);
    POINT shown{};
    ASSERT_TRUE(GetCaretPos(&shown));
    EXPECT_EQ(shown.x, edit->TextToClient({2, 1}).x);
    edit->SetHideCaret(true);
    POINT gone{-1, -1};
    GetCaretPos(&gone);
    EXPECT_EQ(gone.x, 0) << "no caret of this window";
    edit->SetHideCaret(false);
    POINT back{};
    ASSERT_TRUE(GetCaretPos(&back));
    EXPECT_EQ(back.x, shown.x);
    EXPECT_EQ(back.y, shown.y);
}

TEST_F(EasyEditorTest, CursorKeysScrollTheViewWhileTheCaretIsHidden)
{
    SetLines(300);
    edit->SetFocus();
    edit->SetCaretPos(2, 1);
    edit->SetHideCaret(true);
    Send(WM_KEYDOWN, VK_DOWN);
    Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(edit->TopRow(), 2);
    EXPECT_EQ(GetScrollPos(edit->Handle(), SB_VERT), 2);
    Send(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(edit->LeftColumn(), 1);
    Send(WM_KEYDOWN, VK_UP);
    Send(WM_KEYDOWN, VK_LEFT);
    Send(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(edit->TopRow(), 1);
    EXPECT_EQ(edit->LeftColumn(), 0) << "not before the first column";
    EXPECT_EQ(edit->CaretX(), 2) << "the caret stays where it was";
    EXPECT_EQ(edit->CaretY(), 1);
    edit->SetHideCaret(false);
    Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(edit->CaretY(), 2) << "with the caret shown the keys move it again";
}

TEST_F(EasyEditorTest, ABlockSelectionIsPaintedAndReadAsARectangle)
{
    edit->Lines().SetText(u"abcdefgh\r\nxy\r\n0123456789");
    // Corners given bottom-left and top-right: the block between them.
    edit->SetSelection({4, 0}, {1, 2}, smBlock);
    ASSERT_EQ(edit->SelMode(), smBlock);
    EXPECT_EQ(edit->SelStart(), (TEasyPoint{1, 0}));
    EXPECT_EQ(edit->SelEnd(), (TEasyPoint{4, 2}));
    // Columns 1 to 4 of each line, the end column included; the short line
    // padded to the block's width.
    EXPECT_EQ(edit->SelText(), L"bcde\r\ny   \r\n1234");
    EXPECT_EQ(edit->GetSelLength(), 16);
    wchar_t buffer[64]{};
    EXPECT_EQ(Send(EM_GETSELTEXT, 0, LPARAM(buffer)), 16);
    EXPECT_STREQ(buffer, L"bcde\r\ny   \r\n1234");

    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const EditorPicture picture(edit->Handle());
    picture.SaveFor("block-selection.bmp");
    const int charWidth = edit->CharWidth(), lineHeight = edit->LineHeight();
    const COLORREF selected =
        ColorToRGB(edit->Focused() ? edit->Colors().SelBackColor() : edit->Colors().InActiveSelBackColor());
    auto cellSelected = [&](const EditorPicture& shot, int column, int line) {
        const int x = edit->TextLeft() + column * charWidth;
        return shot.PixelsOf(selected, x, x + charWidth, line * lineHeight, (line + 1) * lineHeight) >
               charWidth * lineHeight / 2;
    };
    EXPECT_TRUE(cellSelected(picture, 1, 0));
    EXPECT_TRUE(cellSelected(picture, 4, 0)) << "the end column belongs to the block";
    EXPECT_FALSE(cellSelected(picture, 5, 0));
    EXPECT_FALSE(cellSelected(picture, 0, 1)) << "left of the block on a middle line";
    EXPECT_TRUE(cellSelected(picture, 3, 1)) << "the rectangle past the short line's end";
    EXPECT_FALSE(cellSelected(picture, 5, 1));
    EXPECT_FALSE(cellSelected(picture, 0, 2));
    EXPECT_TRUE(cellSelected(picture, 4, 2));

    // The same corners as a stream: whole middle line, head of the last.
    edit->SetSelection({1, 0}, {4, 2}, smStream);
    EXPECT_EQ(edit->SelText(), L"bcdefgh\r\nxy\r\n0123");
    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const EditorPicture stream(edit->Handle());
    EXPECT_TRUE(cellSelected(stream, 6, 0));
    EXPECT_TRUE(cellSelected(stream, 0, 1));
    EXPECT_TRUE(cellSelected(stream, 0, 2));
    EXPECT_FALSE(cellSelected(stream, 4, 2)) << "a stream ends before its end column";

    // Reduced, the block leaves its end column out; one column wide it is none.
    edit->SetOptions(edit->Options() | eoReduceBlockSel);
    edit->SetSelection({1, 0}, {4, 2}, smBlock);
    EXPECT_EQ(edit->SelText(), L"bcd\r\ny  \r\n123");
    edit->SetSelection({3, 0}, {3, 2}, smBlock);
    EXPECT_EQ(edit->SelMode(), smNone);
    edit->SetOptions(edit->Options() & ~eoReduceBlockSel);
    edit->SetSelection({3, 0}, {3, 2}, smBlock);
    EXPECT_EQ(edit->SelText(), L"d\r\n \r\n3");
}

TEST_F(EasyEditorTest, ABlockThroughTabsTakesTheCharactersUnderItsColumns)
{
    TCustomEasyEditSource& source = *edit->GetEditSource();
    source.SetOptions(source.Options() | srUseTab);
    edit->Lines().SetText(u"\tab\r\nabcdefghijk");
    // The tab fills the columns up to the first tab stop.
    const int tab = source.TabStopList().TabEnd(0);
    ASSERT_GT(tab, 2);
    edit->SetSelection({tab, 0}, {tab + 1, 1}, smBlock);
    const std::wstring second = L"abcdefghijk";
    EXPECT_EQ(edit->SelText(), L"ab\r\n" + second.substr(size_t(tab), 2));
}

TEST_F(EasyEditorTest, ABlockSelModeChangeSelectsAgainInTheModeNowAllowed)
{
    SetLines(20);
    edit->SetSelection({1, 2}, {4, 5}, smBlock);
    EXPECT_EQ(edit->SelMode(), smBlock);
    edit->SetBlockSelMode(TEasyBlockSelMode::bsStream);
    EXPECT_EQ(edit->SelMode(), smStream);
    EXPECT_EQ(edit->SelStart(), (TEasyPoint{1, 2}));
    EXPECT_EQ(edit->SelEnd(), (TEasyPoint{4, 5}));
    edit->SetBlockSelMode(TEasyBlockSelMode::bsBlock);
    EXPECT_EQ(edit->SelMode(), smBlock);
    EXPECT_EQ(edit->SelEnd(), (TEasyPoint{4, 5}));
    edit->SetWordWrap(true);
    edit->SetSelection({1, 2}, {4, 5}, smStream);
    EXPECT_EQ(edit->SelMode(), smNone) << "no block while wrapping words, and only blocks allowed";
    edit->SetWordWrap(false);
    edit->SetBlockSelMode(TEasyBlockSelMode::bsBoth);
    edit->SetSelection({1, 2}, {4, 5}, smBlock);
    EXPECT_EQ(edit->SelMode(), smBlock);
    edit->SetBlockSelMode(TEasyBlockSelMode::bsNone);
    EXPECT_EQ(edit->SelMode(), smNone);
    EXPECT_EQ(edit->GetSelLength(), 0);
}

TEST_F(EasyEditorTest, PageBreaksDrawADottedLineUnderEachPage)
{
    SetLines(300, u"x");
    edit->SetPageType(TEasyPageType::ptPageBreaks);
    EXPECT_TRUE(edit->GetEditSource()->PageMode());
    // A letter page at the screen's resolution: whole rows within its indents.
    TEasyPage& page = edit->Pages().DefaultPage();
    const int ppi = GetDeviceCaps(TWindowDC(nullptr).Get(), LOGPIXELSY);
    const int rowsPerPage = (page.PixelHeight(ppi, ppi) - page.TopIndent() - page.BottomIndent()) / edit->LineHeight();
    edit->SetTopRow(rowsPerPage - 5);
    UpdateWindow(edit->Handle());
    const EditorPicture picture(edit->Handle());
    picture.SaveFor("page-breaks.bmp");
    const int y = 5 * edit->LineHeight() - 1;
    const int left = edit->TextLeft() + 10 * edit->CharWidth();
    // Dots across the text area, where no text stands.
    EXPECT_GT(picture.DarkPixels(left, picture.Width(), y, y + 1), (picture.Width() - left) / 4);
    EXPECT_EQ(picture.DarkPixels(left, picture.Width(), y - 4, y - 1), 0);
    EXPECT_EQ(picture.DarkPixels(left, picture.Width(), y + 2, y + 5), 0);

    edit->SetPageType(TEasyPageType::ptNormal);
    EXPECT_FALSE(edit->GetEditSource()->PageMode());
    UpdateWindow(edit->Handle());
    EXPECT_EQ(EditorPicture(edit->Handle()).DarkPixels(left, picture.Width(), y, y + 1), 0);
}

TEST_F(EasyEditorTest, PageLayoutScrollsSidewaysOverTheWidestSheet)
{
    SetLines(300);
    edit->SetPageType(TEasyPageType::ptPageLayout);
    const TEasyPage& page = edit->Pages().DefaultPage();
    const int sheetsWidth = page.PixelWidth(96, 96) + 2 * page.LeftGutterWidth();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    ASSERT_TRUE(GetScrollInfo(edit->Handle(), SB_HORZ, &info));
    const int rangeWidth = (info.nMax + 1) * edit->CharWidth();
    EXPECT_GE(rangeWidth, sheetsWidth);
    EXPECT_LT(rangeWidth, sheetsWidth + edit->CharWidth()) << "the range follows the sheet, not the longest line";
    Send(WM_HSCROLL, SB_RIGHT);
    EXPECT_GT(edit->LeftColumn(), 0);
    EXPECT_GE((edit->LeftColumn() + edit->VisibleColumns()) * edit->CharWidth(), sheetsWidth)
        << "the sheet's right edge can be brought into view";
    edit->SetPageType(TEasyPageType::ptNormal);
    ASSERT_TRUE(GetScrollInfo(edit->Handle(), SB_HORZ, &info));
    EXPECT_EQ(info.nMax + 1, edit->MaxScrollPos());
}

TEST_F(EasyEditorTest, PageLayoutDrawsSheetsOnTheBorderColour)
{
    SetLines(300);
    edit->SetBorderColor(clGray);
    edit->Pages().DefaultPage().SetPaintPageNumber(true);
    edit->SetPageType(TEasyPageType::ptPageLayout);
    UpdateWindow(edit->Handle());
    const EditorPicture picture(edit->Handle());
    picture.SaveFor("page-layout.bmp");
    const TEasyPage& page = edit->Pages().DefaultPage();
    const int sheetLeft = page.LeftGutterWidth();
    const int sheetTop = page.TopGutterHeight();
    const COLORREF gray = RGB(0x80, 0x80, 0x80);
    // The ground left of and above the sheet; the frame; the white sheet.
    EXPECT_EQ(picture.PixelsOtherThan(gray, 0, sheetLeft - 1, 0, picture.Height()), 0);
    EXPECT_EQ(picture.PixelsOtherThan(gray, 0, picture.Width(), 0, sheetTop - 1), 0);
    EXPECT_EQ(picture.At(sheetLeft - 1, sheetTop + 40), RGB(0, 0, 0));
    EXPECT_EQ(picture.At(sheetLeft + 40, sheetTop - 1), RGB(0, 0, 0));
    EXPECT_EQ(picture.At(sheetLeft + edit->TextLeft() + 2, sheetTop + 2), ColorToRGB(clWindow));
    // The first line stands inside the sheet's indents, where the caret is.
    const POINT caret = edit->TextToClient({0, 0});
    EXPECT_EQ(caret.x, sheetLeft + page.LeftIndent() + edit->TextLeft());
    EXPECT_EQ(caret.y, sheetTop + page.TopIndent());
    EXPECT_GT(picture.DarkPixels(caret.x, caret.x + 6 * edit->CharWidth(), caret.y, caret.y + edit->LineHeight()), 0);
    EXPECT_EQ(edit->ClientToText({caret.x + 1, caret.y + 1}), (TEasyPoint{0, 0}));

    // Line numbers stand in the gutter at the sheet's left, on their rows.
    edit->LineNumbers().SetVisible(true);
    UpdateWindow(edit->Handle());
    const EditorPicture numbered(edit->Handle());
    const POINT first = edit->TextToClient({0, 0});
    const int gutterRight = sheetLeft + edit->TextLeft();
    EXPECT_GT(numbered.DarkPixels(sheetLeft, gutterRight, first.y, first.y + edit->LineHeight()), 0);
    EXPECT_GT(
        numbered.DarkPixels(sheetLeft, gutterRight, first.y + 5 * edit->LineHeight(), first.y + 6 * edit->LineHeight()),
        0);
    EXPECT_EQ(numbered.DarkPixels(sheetLeft, gutterRight, sheetTop + 1, first.y), 0) << "none above the first row";
}

TEST_F(EasyEditorTest, CollapseButtonsOffTheGutterHaveAColumnOfTheirOwn)
{
    SetLines(20);
    const int plainLeft = edit->TextLeft();
    TEasyStrings& lines = edit->Lines();
    lines.SetAllowHiddenLines(true);
    lines.Expand(0, true);
    lines.Collapse(2, true);
    lines.SetLineVisible(3, false);
    edit->SetOptions(edit->Options() & ~eoCollapseButtonOnGutter);
    const int columnLeft = plainLeft - ((edit->Options() & eoPaintGutter) ? edit->Gutter().Indent() : 0);
    EXPECT_EQ(edit->TextLeft(), plainLeft + 18);
    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const EditorPicture picture(edit->Handle());
    picture.SaveFor("collapse-column.bmp");
    const int lineHeight = edit->LineHeight();
    const COLORREF back = ColorToRGB(clWindow);
    // A button beside the open block's head and the closed one's (row 2);
    // none beside a plain line.
    EXPECT_GT(picture.PixelsOtherThan(back, columnLeft, columnLeft + 18, 0, lineHeight), 20);
    EXPECT_GT(picture.PixelsOtherThan(back, columnLeft, columnLeft + 18, 2 * lineHeight, 3 * lineHeight), 20);
    EXPECT_EQ(picture.PixelsOtherThan(back, columnLeft, columnLeft + 18, lineHeight, 2 * lineHeight), 0);

    // On the gutter: no column of their own.
    edit->SetOptions(edit->Options() | eoCollapseButtonOnGutter);
    EXPECT_EQ(edit->TextLeft(), plainLeft);
}

TEST_F(EasyEditorTest, ATiledBackgroundShowsBehindTheText)
{
    SetLines(5);
    TBitmap& tile = edit->Background().Bitmap();
    tile.SetSize(8, 8, static_cast<TColor>(RGB(0, 0xC0, 0)));
    edit->Background().SetOption(TEasyBackgroundOption::bgTile);
    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const EditorPicture picture(edit->Handle());
    picture.SaveFor("tiled-background.bmp");
    const int left = edit->TextLeft();
    const COLORREF green = RGB(0, 0xC0, 0);
    // Beside the short lines and below the text: the picture.
    EXPECT_EQ(picture.PixelsOtherThan(green, left + 20 * edit->CharWidth(), picture.Width(), 0, picture.Height()), 0);
    EXPECT_EQ(picture.PixelsOtherThan(green, left, picture.Width(), 6 * edit->LineHeight(), picture.Height()), 0);
    // The text itself is drawn on it.
    EXPECT_GT(picture.DarkPixels(left, left + 8 * edit->CharWidth(), 0, edit->LineHeight()), 0);
}

TEST_F(EasyEditorTest, ARulerIndentMovesTheTextOnTheCaretsPage)
{
    SetLines(300);
    EXPECT_FALSE(edit->RulerMarks(false).Shown);
    edit->SetPageType(TEasyPageType::ptPageLayout);
    const TEasyPage& page = edit->Pages().DefaultPage();
    const TEasyRulerMarks before = edit->RulerMarks(false);
    ASSERT_TRUE(before.Shown);
    EXPECT_EQ(before.First, page.LeftGutterWidth() + page.LeftIndent());
    edit->RulerIndentChanged(false, 0, page.LeftGutterWidth() + 100);
    EXPECT_EQ(page.LeftIndent(), 100);
    EXPECT_EQ(edit->TextToClient({0, 0}).x, page.LeftGutterWidth() + 100 + edit->TextLeft());
    // A deeper top indent leaves fewer lines on the page.
    const int lastBefore = page.LastLine;
    edit->RulerIndentChanged(true, 0, page.TopGutterHeight() + 200);
    EXPECT_EQ(page.TopIndent(), 200);
    UpdateWindow(edit->Handle());
    EXPECT_EQ(edit->TextToClient({0, 0}).y, page.TopGutterHeight() + 200);
    EXPECT_LT(edit->Pages().DefaultPage().LastLine, lastBefore);
}

TEST_F(EasyEditorTest, PageLayoutScrollsByPixelsOverSheetsAndGaps)
{
    SetLines(300);
    edit->SetPageType(TEasyPageType::ptPageLayout);
    const TEasyPage& first = edit->Pages().DefaultPage();
    const int lineHeight = edit->LineHeight();
    const int sheetHeight = first.PixelHeight(96, 96);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(edit->Handle(), SB_VERT, &info));
    // The bar counts pixels: the sheets with the gaps above them.
    EXPECT_GE(info.nMax + 1, 2 * (first.TopGutterHeight() + sheetHeight));
    EXPECT_EQ(int(info.nPage), edit->ClientHeight());

    // A line down moves the text up by a row's pixels, not to the next row's sheet place.
    const int before = edit->TextToClient({0, 0}).y;
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(edit->TextToClient({0, 0}).y, before - lineHeight);
    ASSERT_TRUE(GetScrollInfo(edit->Handle(), SB_VERT, &info));
    EXPECT_EQ(info.nPos, lineHeight);

    // The thumb in the gap between the first two sheets.
    const int gapPixel = first.Top + first.Height + 10;
    info.fMask = SIF_POS;
    info.nPos = gapPixel;
    SetScrollInfo(edit->Handle(), SB_VERT, &info, FALSE);
    Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, gapPixel & 0xFFFF));
    ASSERT_GT(edit->Pages().Count(), 1) << "the sheets in view are laid out";
    const TEasyPage& second = edit->Pages().Items(1);
    EXPECT_EQ(edit->TextToClient({0, second.FirstLine}).y, second.Top + second.TopIndent() - gapPixel);
    EXPECT_EQ(edit->TopRow(), second.FirstLine) << "the first row in view";
    UpdateWindow(edit->Handle());
    const EditorPicture gap(edit->Handle());
    EXPECT_EQ(gap.At(2, 2), ColorToRGB(edit->BorderColor())) << "the ground between the sheets";

    // The bottom shows the last sheet's foot with the gap below it.
    Send(WM_VSCROLL, SB_BOTTOM);
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(edit->Handle(), SB_VERT, &info));
    EXPECT_EQ(info.nPos, info.nMax - int(info.nPage) + 1);
    const TEasyPage& last = edit->Pages().Items(edit->Pages().Count() - 1);
    EXPECT_GE(last.LastLine, 299);
    EXPECT_EQ(last.Top + last.Height + first.TopGutterHeight() - info.nPos, edit->ClientHeight());
    UpdateWindow(edit->Handle());
    const EditorPicture bottom(edit->Handle());
    const int middle = first.LeftGutterWidth() + 200;
    EXPECT_EQ(bottom.At(middle, edit->ClientHeight() - 2), ColorToRGB(edit->BorderColor()));
    EXPECT_EQ(bottom.At(middle, edit->ClientHeight() - first.TopGutterHeight() - 10), ColorToRGB(clWindow));
    // The caret brought into view by pixels.
    edit->SetCaretPos(0, 100);
    const int caretY = edit->TextToClient({0, 100}).y;
    EXPECT_GE(caretY, 0);
    EXPECT_LE(caretY + lineHeight, edit->ClientHeight());
    // Page down by the window's height.
    Send(WM_VSCROLL, SB_TOP);
    Send(WM_VSCROLL, SB_PAGEDOWN);
    ASSERT_TRUE(GetScrollInfo(edit->Handle(), SB_VERT, &info));
    EXPECT_EQ(info.nPos, edit->ClientHeight());
    // Back to rows outside the page layout.
    edit->SetPageType(TEasyPageType::ptNormal);
    ASSERT_TRUE(GetScrollInfo(edit->Handle(), SB_VERT, &info));
    EXPECT_EQ(info.nMax, 299);
    EXPECT_EQ(info.nPos, edit->TopRow());
}

TEST_F(EasyEditorTest, RulersTakeTheirStripsAndTheViewTheRest)
{
    SetLines(50);
    const int textLeft = edit->TextLeft();
    edit->SetRulerOptions(roHorzRuler | roVertRuler);
    ASSERT_NE(edit->HorzRuler(), nullptr);
    ASSERT_NE(edit->VertRuler(), nullptr);
    TEasyRuler& horz = *edit->HorzRuler();
    TEasyRuler& vert = *edit->VertRuler();
    // Along the top the whole width; at the left below it.
    EXPECT_EQ(GetParent(horz.Handle()), edit->Handle());
    EXPECT_EQ(horz.Top(), 0);
    EXPECT_EQ(horz.Width(), edit->ClientWidth());
    EXPECT_EQ(vert.Left(), 0);
    EXPECT_EQ(vert.Top(), horz.Height());
    const POINT origin = edit->ViewOrigin();
    EXPECT_EQ(origin.x, vert.Width());
    EXPECT_EQ(origin.y, horz.Height());
    EXPECT_EQ(edit->ViewHeight(), edit->ClientHeight() - horz.Height());

    // The text moves with the view; points map back through it.
    const POINT first = edit->TextToClient({0, 0});
    EXPECT_EQ(first.x, origin.x + textLeft);
    EXPECT_EQ(first.y, origin.y);
    EXPECT_EQ(edit->ClientToText({first.x + 1, first.y + 1}), (TEasyPoint{0, 0}));
    EXPECT_EQ(edit->ClientToText({origin.x + textLeft + 3 * edit->CharWidth(), origin.y + 2 * edit->LineHeight() + 1}),
              (TEasyPoint{3, 2}));
    EXPECT_EQ(Send(EM_CHARFROMPOS, 0, MAKELPARAM(first.x + 1, origin.y + edit->LineHeight() + 1)),
              MAKELONG(edit->PosToCharIndex({0, 1}), 1));
    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const EditorPicture picture(edit->Handle());
    EXPECT_GT(picture.DarkPixels(first.x, first.x + 6 * edit->CharWidth(), first.y, first.y + edit->LineHeight()), 0);
    // A click places the caret at the clicked character of the view.
    Send(WM_LBUTTONDOWN, MK_LBUTTON,
         MAKELPARAM(first.x + 2 * edit->CharWidth() + 1, first.y + 3 * edit->LineHeight() + 1));
    Send(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(edit->CaretX(), 2);
    EXPECT_EQ(edit->CaretY(), 3);

    // Outside the page layout: the scale from the text's edge, no indents to drag.
    EXPECT_EQ(horz.Start(), origin.x + textLeft);
    EXPECT_TRUE(horz.Options() & roFixedIndents);

    // A window made anew keeps its rulers and the view beside them.
    edit->SetBorderStyle(TEasyBorderStyle::bsNone);
    EXPECT_EQ(GetParent(horz.Handle()), edit->Handle());
    EXPECT_TRUE(IsWindowVisible(horz.Handle()) || !IsWindowVisible(edit->Handle()));
    EXPECT_EQ(edit->TextToClient({0, 0}).y, horz.Height());
    EXPECT_EQ(edit->CaretY(), 3);

    // Switched off, the view has the client area again.
    edit->SetRulerOptions(0);
    EXPECT_EQ(edit->HorzRuler(), nullptr);
    EXPECT_EQ(edit->VertRuler(), nullptr);
    EXPECT_EQ(edit->TextToClient({0, 0}).x, textLeft);
    EXPECT_EQ(edit->TextToClient({0, 0}).y, 0);
}

TEST_F(EasyEditorTest, TheRulersShowTheCaretPageAndTheirDraggedIndentsSetIt)
{
    SetLines(300);
    edit->Ruler().SetUnits(TEasyRulerUnits::erPixels);
    edit->SetRulerOptions(roHorzRuler | roVertRuler);
    edit->SetPageType(TEasyPageType::ptPageLayout);
    TEasyRuler& horz = *edit->HorzRuler();
    TEasyRuler& vert = *edit->VertRuler();
    const POINT origin = edit->ViewOrigin();
    TEasyPage& page = edit->Pages().DefaultPage();
    const int sheetWidth = page.PixelWidth(96, 96);
    const int sheetHeight = page.PixelHeight(96, 96);
    // The sheet where the view shows it, its indents from its edges.
    EXPECT_EQ(horz.Start(), origin.x + page.LeftGutterWidth());
    EXPECT_EQ(horz.End(), horz.Start() + sheetWidth);
    EXPECT_EQ(horz.FirstIndent(), page.LeftIndent());
    EXPECT_EQ(horz.SecondIndent(), page.RightIndent());
    EXPECT_FALSE(horz.Options() & roFixedIndents);
    EXPECT_EQ(vert.Start(), page.TopGutterHeight());
    EXPECT_EQ(vert.End(), vert.Start() + sheetHeight);
    EXPECT_EQ(vert.FirstIndent(), page.TopIndent());
    // The vertical ruler follows the view by pixels.
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(vert.Start(), page.TopGutterHeight() - edit->LineHeight());

    // Dragging the left indentation mark 96 pixels into the sheet.
    auto drag = [](TEasyRuler& ruler, int from, int to, int across) {
        SendMessageW(ruler.Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                     ruler.Orientation() == TEasyRulerOrientation::Horizontal ? MAKELPARAM(from, across)
                                                                              : MAKELPARAM(across, from));
        const LPARAM end =
            ruler.Orientation() == TEasyRulerOrientation::Horizontal ? MAKELPARAM(to, across) : MAKELPARAM(across, to);
        SendMessageW(ruler.Handle(), WM_MOUSEMOVE, MK_LBUTTON, end);
        SendMessageW(ruler.Handle(), WM_LBUTTONUP, 0, end);
    };
    drag(horz, horz.Start() + page.LeftIndent(), horz.Start() + 96, 1);
    EXPECT_EQ(page.LeftIndent(), 96);
    EXPECT_EQ(edit->TextToClient({0, 5}).x, origin.x + page.LeftGutterWidth() + 96 + edit->TextLeft());
    // The bottom indentation of the vertical ruler: fewer lines on the page.
    const int lastBefore = edit->Pages().DefaultPage().LastLine;
    drag(vert, vert.End() - page.BottomIndent(), vert.End() - 200, 5);
    EXPECT_EQ(page.BottomIndent(), 200);
    edit->TextToClient({0, 299});  // lays the pages out again
    EXPECT_LT(edit->Pages().DefaultPage().LastLine, lastBefore);
    EXPECT_EQ(vert.SecondIndent(), 200);
}

TEST_F(EasyEditorTest, PageLayoutPlacesWrappedRowsOnTheirSheet)
{
    TEasyStrings& lines = edit->Lines();
    lines.BeginUpdate();
    lines.Clear();
    lines.Add(std::u16string(400, u'w'));  // several rows wrapped
    for (int i = 0; i < 100; ++i)
        lines.Add(u"kurz");
    lines.EndUpdate();
    edit->SetWordWrap(true);
    edit->SetPageType(TEasyPageType::ptPageLayout);
    UpdateWindow(edit->Handle());
    const TEasyPage& page = edit->Pages().DefaultPage();
    const POINT first = edit->TextToClient({0, 0});
    const POINT second = edit->TextToClient({0, 1});
    EXPECT_EQ(first.y, page.TopGutterHeight() + page.TopIndent());
    // The second line stands below every row of the first.
    int rowsOfFirst = 0;
    for (int row = 0; row < edit->RowCount() && edit->RowToLine(row) == 0; ++row)
        ++rowsOfFirst;
    EXPECT_GT(rowsOfFirst, 1);
    EXPECT_EQ(second.y - first.y, rowsOfFirst * edit->LineHeight());
    // Fewer lines fit on the page than without the wrapped rows.
    const int rowsPerPage = (page.PixelHeight(96, 96) - page.TopIndent() - page.BottomIndent()) / edit->LineHeight();
    EXPECT_EQ(page.LastLine, rowsPerPage - rowsOfFirst);
}
