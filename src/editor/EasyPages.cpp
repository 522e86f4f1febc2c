#include "editor/EasyPages.h"

#include "editor/EasyEditorSubObjects.h"
#include "editor/EasyMulDiv.h"
#include "framework/ScopeExit.h"

#include <algorithm>
#include <tuple>

namespace qrv {

namespace {

constexpr TEasyPaperSize kPaperSizes[] = {
    {216, 279}, {216, 357}, {184, 267}, {297, 420}, {210, 297}, {148, 210},
    {105, 241}, {110, 220}, {162, 229}, {98, 191},  {210, 297},
};

int Int(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

TEasyPaperSize EasyPaperSize(TEasyPageSize size)
{
    const int index = std::clamp(int(size), 0, int(TEasyPageSize::psOther));
    return kPaperSizes[index];
}

// --- Page -------------------------------------------------------------------

void TEasyPage::LayoutChanged()
{
    if (updating_ > 0) {
        changedWhileUpdating_ = true;
        return;
    }
    Laid = false;
    if (owner_)
        owner_->PageChanged(*this);
}

void TEasyPage::Repaint()
{
    if (owner_)
        owner_->PageRepaint(*this);
}

void TEasyPage::EndUpdate()
{
    if (updating_ > 0 && --updating_ == 0 && changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        LayoutChanged();
    }
}

void TEasyPage::SetPageWidth(int millimetres)
{
    millimetres = std::max(millimetres, 0);
    if (millimetres == width_ && size_ == TEasyPageSize::psOther)
        return;
    width_ = millimetres;
    size_ = TEasyPageSize::psOther;
    LayoutChanged();
}

void TEasyPage::SetPageHeight(int millimetres)
{
    millimetres = std::max(millimetres, 0);
    if (millimetres == height_ && size_ == TEasyPageSize::psOther)
        return;
    height_ = millimetres;
    size_ = TEasyPageSize::psOther;
    LayoutChanged();
}

void TEasyPage::SetPageSize(TEasyPageSize size)
{
    if (size == size_)
        return;
    size_ = size;
    if (size != TEasyPageSize::psOther) {
        const TEasyPaperSize paper = EasyPaperSize(size);
        width_ = paper.Width;
        height_ = paper.Height;
    }
    LayoutChanged();
}

void TEasyPage::SetOrientation(TEasyPageOrientation orientation)
{
    if (orientation != orientation_) {
        orientation_ = orientation;
        LayoutChanged();
    }
}

void TEasyPage::SetIndent(int which, int pixels)
{
    pixels = std::max(pixels, 0);
    if (pixels != indents_[which]) {
        indents_[which] = pixels;
        LayoutChanged();
    }
}

void TEasyPage::SetLeftGutterWidth(int pixels)
{
    if (pixels != leftGutterWidth_) {
        leftGutterWidth_ = pixels;
        LayoutChanged();
    }
}

void TEasyPage::SetTopGutterHeight(int pixels)
{
    if (pixels != topGutterHeight_) {
        topGutterHeight_ = pixels;
        LayoutChanged();
    }
}

void TEasyPage::SetNumAlignment(TEasyAlignment alignment)
{
    if (alignment != numAlignment_) {
        numAlignment_ = alignment;
        if (paintPageNumber_)
            Repaint();
    }
}

void TEasyPage::SetPaintPageNumber(bool paint)
{
    if (paint != paintPageNumber_) {
        paintPageNumber_ = paint;
        Repaint();
    }
}

int TEasyPage::PixelWidth(int pixelsPerInchX, int pixelsPerInchY) const
{
    return orientation_ == TEasyPageOrientation::pgLandscape ? EasyMulDiv(height_, pixelsPerInchY * 10, 254)
                                                             : EasyMulDiv(width_, pixelsPerInchX * 10, 254);
}

int TEasyPage::PixelHeight(int pixelsPerInchX, int pixelsPerInchY) const
{
    return orientation_ == TEasyPageOrientation::pgLandscape ? EasyMulDiv(width_, pixelsPerInchX * 10, 254)
                                                             : EasyMulDiv(height_, pixelsPerInchY * 10, 254);
}

void TEasyPage::AssignSettings(const TEasyPage& other)
{
    const TUpdateLock update(*this, &TEasyPage::BeginUpdate, &TEasyPage::EndUpdate);
    width_ = other.width_;
    height_ = other.height_;
    size_ = other.size_;
    orientation_ = other.orientation_;
    std::copy(std::begin(other.indents_), std::end(other.indents_), std::begin(indents_));
    leftGutterWidth_ = other.leftGutterWidth_;
    topGutterHeight_ = other.topGutterHeight_;
    numAlignment_ = other.numAlignment_;
    paintPageNumber_ = other.paintPageNumber_;
    changedWhileUpdating_ = true;
}

bool TEasyPage::Contains(int line, int column) const
{
    return Laid && std::tie(FirstLine, FirstCol) <= std::tie(line, column) &&
           std::tie(line, column) <= std::tie(LastLine, LastCol);
}

std::vector<TEasyProperty> TEasyPage::Properties()
{
    auto other = [this] { return size_ == TEasyPageSize::psOther; };
    auto integer = [](std::wstring name, auto get, auto set) {
        return IntegerProperty(
            std::move(name), [get] { return int64_t(get()); }, [set](int64_t value) { set(Int(value)); });
    };
    std::vector<TEasyProperty> table{
        integer(
            L"PageSize", [this] { return int(size_); },
            [this](int v) { SetPageSize(TEasyPageSize(std::clamp(v, 0, int(TEasyPageSize::psOther)))); }),
        integer(
            L"PageWidth", [this] { return width_; }, [this](int v) { SetPageWidth(v); }),
        integer(
            L"PageHeight", [this] { return height_; }, [this](int v) { SetPageHeight(v); }),
        integer(
            L"Orientation", [this] { return int(orientation_); },
            [this](int v) {
                SetOrientation(v == 1 ? TEasyPageOrientation::pgLandscape : TEasyPageOrientation::pgPortrait);
            }),
        integer(
            L"LeftIndent", [this] { return indents_[0]; }, [this](int v) { SetIndent(0, v); }),
        integer(
            L"TopIndent", [this] { return indents_[1]; }, [this](int v) { SetIndent(1, v); }),
        integer(
            L"RightIndent", [this] { return indents_[2]; }, [this](int v) { SetIndent(2, v); }),
        integer(
            L"BottomIndent", [this] { return indents_[3]; }, [this](int v) { SetIndent(3, v); }),
        integer(
            L"LeftGutterWidth", [this] { return leftGutterWidth_; }, [this](int v) { SetLeftGutterWidth(v); }),
        integer(
            L"TopGutterHeight", [this] { return topGutterHeight_; }, [this](int v) { SetTopGutterHeight(v); }),
        integer(
            L"NumAlignment", [this] { return int(numAlignment_); },
            [this](int v) { SetNumAlignment(TEasyAlignment(std::clamp(v, 0, 2))); }),
        BooleanProperty(
            L"PaintPageNumber", [this] { return paintPageNumber_; }, [this](bool v) { SetPaintPageNumber(v); }),
    };
    table[1].Stored = other;
    table[2].Stored = other;
    return table;
}

// --- Page list --------------------------------------------------------------

TEasyPages::TEasyPages(TEasyEditorLink* editor) : editor_(editor)
{
    pages_.push_back(std::make_unique<TEasyPage>());
    pages_.back()->owner_ = this;
}

TEasyPage& TEasyPages::AddPage()
{
    auto page = std::make_unique<TEasyPage>();
    page->AssignSettings(*pages_.front());
    page->owner_ = this;
    pages_.push_back(std::move(page));
    return *pages_.back();
}

int TEasyPages::IndexOf(const TEasyPage& page) const
{
    for (int i = 0; i < Count(); ++i) {
        if (pages_[size_t(i)].get() == &page)
            return i;
    }
    return -1;
}

void TEasyPages::PageChanged(TEasyPage& page)
{
    const int index = IndexOf(page);
    if (index < 0)
        return;
    ResetLayout(index);
    if (editor_ && updating_ == 0)
        editor_->PageChanged(index);
}

void TEasyPages::PageRepaint(TEasyPage& page)
{
    const int index = IndexOf(page);
    if (index >= 0 && editor_ && updating_ == 0)
        editor_->InvalidatePage(index);
}

void TEasyPages::EndUpdate()
{
    if (updating_ > 0 && --updating_ == 0 && editor_)
        editor_->PageChanged(0);
}

void TEasyPages::ResetLayout(int fromPage)
{
    fromPage = std::clamp(fromPage, 0, Count());
    for (int i = fromPage; i < Count(); ++i)
        pages_[size_t(i)]->Laid = false;
    laidOut_ = std::min(laidOut_, fromPage);
    lastFound_ = -1;
}

void TEasyPages::LayoutPage(int index, TEasyPageMeasure& measure)
{
    while (Count() <= index)
        AddPage();
    // Pages are laid out in order: each starts where the one before ended.
    for (int i = laidOut_; i <= index; ++i) {
        TEasyPage& page = *pages_[size_t(i)];
        const int ppiX = editor_ ? editor_->PixelsPerInchX() : 96;
        const int ppiY = editor_ ? editor_->PixelsPerInchY() : 96;
        if (i == 0) {
            page.FirstLine = 0;
            page.FirstCol = 0;
            page.Top = 0;
        } else {
            const TEasyPage& before = *pages_[size_t(i - 1)];
            if (before.LastCol != EasyPageLineEnd) {
                page.FirstLine = before.LastLine;
                page.FirstCol = before.LastCol + 1;
            } else {
                page.FirstLine = before.LastLine + 1;
                page.FirstCol = 0;
            }
            page.Top = before.Top + before.Height;
        }
        if (FullLayout)
            page.Top += page.TopGutterHeight() + (i == 0 ? measure.TopOffset() : 0);
        const int sheet = page.PixelHeight(ppiX, ppiY);
        const int textHeight = std::max(sheet - page.TopIndent() - page.BottomIndent(), 0);
        int lastLine = page.FirstLine;
        int lastCol = EasyPageLineEnd;
        int used = textHeight;
        measure.LinesThatFit(page.FirstLine, page.FirstCol, textHeight, lastLine, lastCol, used);
        // A page that holds nothing (no text height, or a first row taller
        // than the page) still takes its first line, so the layout always
        // moves on.
        if (std::tie(lastLine, lastCol) < std::tie(page.FirstLine, page.FirstCol)) {
            lastLine = page.FirstLine;
            lastCol = EasyPageLineEnd;
        }
        page.LastLine = lastLine;
        page.LastCol = lastCol;
        page.Height = FullLayout ? sheet : std::max(used, 0);
        page.Laid = true;
        laidOut_ = i + 1;
    }
}

int TEasyPages::PageAt(int line, int column, TEasyPageMeasure& measure)
{
    if (line < 0 || line >= measure.LineCount())
        return -1;
    for (int candidate : {lastFound_, lastFound_ - 1, lastFound_ + 1}) {
        if (candidate >= 0 && candidate < laidOut_ && pages_[size_t(candidate)]->Contains(line, column))
            return lastFound_ = candidate;
    }
    if (laidOut_ > 0) {
        // Bisection over the pages laid out so far.
        const TEasyPage& last = *pages_[size_t(laidOut_ - 1)];
        if (std::tie(line, column) <= std::tie(last.LastLine, last.LastCol)) {
            int low = 0, high = laidOut_ - 1;
            while (low < high) {
                const int middle = (low + high) / 2;
                const TEasyPage& page = *pages_[size_t(middle)];
                if (std::tie(page.LastLine, page.LastCol) < std::tie(line, column))
                    low = middle + 1;
                else
                    high = middle;
            }
            return lastFound_ = low;
        }
    }
    // Lay out (and append) pages until one holds the position; every page
    // takes at least one line, so this ends with the text.
    for (int i = laidOut_;; ++i) {
        LayoutPage(i, measure);
        const TEasyPage& page = *pages_[size_t(i)];
        if (page.Contains(line, column))
            return lastFound_ = i;
        if (page.LastLine >= measure.LineCount() - 1 && page.LastCol == EasyPageLineEnd)
            return -1;
    }
}

int TEasyPages::PageAtPixel(int y) const
{
    int low = 0, high = laidOut_ - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const TEasyPage& page = *pages_[size_t(middle)];
        if (y < page.Top)
            high = middle - 1;
        else if (y >= page.Top + page.Height)
            low = middle + 1;
        else
            return middle;
    }
    return -1;
}

void TEasyPages::TrimPages(TEasyPageMeasure& measure)
{
    const int lastLine = measure.LineCount() - 1;
    while (Count() > 1 && pages_.back()->Laid && pages_.back()->FirstLine > lastLine) {
        if (editor_)
            editor_->InvalidatePage(Count() - 1);
        pages_.pop_back();
    }
    laidOut_ = std::min(laidOut_, Count());
    lastFound_ = -1;
}

std::vector<TEasyProperty> TEasyPages::Properties()
{
    return {StringsProperty(
        L"Items",
        [this] {
            TEasyStringsValue items;
            for (auto& page : pages_)
                items.push_back(EncodeEasyItem(*page));
            return items;
        },
        [this](const TEasyStringsValue& items) {
            std::vector<std::unique_ptr<TEasyPage>> read;
            for (const std::wstring& text : items) {
                auto page = std::make_unique<TEasyPage>();
                DecodeEasyItem(text, *page);
                read.push_back(std::move(page));
            }
            if (read.empty())
                read.push_back(std::make_unique<TEasyPage>());
            pages_ = std::move(read);
            for (auto& page : pages_)
                page->owner_ = this;
            ResetLayout();
            if (editor_)
                editor_->PageChanged(0);
        })};
}

}  // namespace qrv
