#include "editor/win/EasyListBox.h"

#include "editor/EasyListColumns.h"
#include "editor/win/EasyFontManagerWin.h"
#include "editor/win/EasyPainterWin.h"

#include <numeric>

namespace qrv {

namespace {

bool IsSeparator(const TEasyRtfPiece& piece)
{
    return !piece.Image && piece.Text == u"|";
}

// Plain text with column separators, as a snippet whose "|" the reader
// splits off as pieces of their own.
std::u16string PlainAsRtf(const std::wstring& text)
{
    std::u16string rtf = u"{\\rtf1 ";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'{' || c == L'}')
            rtf += u'\\';
        rtf += static_cast<char16_t>(c);
    }
    rtf += u'}';
    return rtf;
}

}  // namespace

TEasyListBox::TEasyListBox(TComponent* owner) : TCustomListBox(owner)
{
    SetBorderVisible(false);
    painter_.SetDefaultFont(Font());
}

void TEasyListBox::AddItem(const std::wstring& rtf)
{
    const bool isRtf = rtf.rfind(L"{\\rtf", 0) == 0;
    const std::u16string snippet =
        isRtf || rtf.find(L'|') == std::wstring::npos ? std::u16string(rtf.begin(), rtf.end()) : PlainAsRtf(rtf);
    TEasyRtfLine& line = painter_.AddLine(snippet);
    Items().AddObject(rtf, &line);
}

void TEasyListBox::ClearItems()
{
    Items().Clear();
    painter_.Clear();
}

TEasyRtfLine* TEasyListBox::Line(int index) const
{
    return static_cast<TEasyRtfLine*>(Items().GetObject(index));
}

int TEasyListBox::ItemHeight()
{
    const TEasyFontMetrics metrics = GetFontMetrics(Font().Handle());
    return std::max(1, metrics.Ascent + metrics.Descent);
}

void TEasyListBox::FontChanged()
{
    TCustomListBox::FontChanged();
    painter_.SetDefaultFont(Font());
    ItemHeightChanged();
}

int TEasyListBox::AlignColumns()
{
    std::vector<std::vector<TEasyColumnPiece>> widths;
    for (int i = 0; i < Items().Count(); ++i) {
        std::vector<TEasyColumnPiece>& item = widths.emplace_back();
        for (const TEasyRtfPiece& piece : Line(i)->Pieces)
            item.push_back({piece.Width, IsSeparator(piece)});
    }
    const int total = qrv::AlignColumns(widths);
    for (int i = 0; i < Items().Count(); ++i) {
        TEasyRtfLine& line = *Line(i);
        for (size_t k = 0; k < line.Pieces.size(); ++k)
            line.Pieces[k].Width = widths[static_cast<size_t>(i)][k].Width;
        line.Width = std::accumulate(line.Pieces.begin(), line.Pieces.end(), 0,
                                     [](int sum, const TEasyRtfPiece& piece) { return sum + piece.Width; });
    }
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
    return total;
}

void TEasyListBox::DrawItem(HDC dc, int index, const RECT& rect, UINT state)
{
    const bool selected = (state & ODS_SELECTED) != 0;
    FillSolid(dc, rect, selected ? clHighlight : Color());
    // A chosen item is drawn in the list's highlight colours, others in their own.
    if (selected)
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    if (TEasyRtfLine* line = Line(index))
        painter_.DrawLine(dc, rect, selected, false, *line);
}

}  // namespace qrv
