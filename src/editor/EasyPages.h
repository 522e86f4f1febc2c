#pragma once
// TEasyPage and TEasyPages: the sheets of the editor's page views. A page
// keeps its paper size (millimetres), orientation, indents and gutters; the
// page list lays pages out one after another over the text, asking the
// editor how many lines fit on each. Portable.

#include "editor/EasyEditorLink.h"
#include "editor/EasyPersistent.h"

#include <climits>
#include <memory>
#include <vector>

namespace qrv {

enum class TEasyPageSize {
    psLetter,
    psLegal,
    psExecutive,
    psA3,
    psA4,
    psA5,
    psEnvelope10,
    psEnvelopeDL,
    psEnvelopeC5,
    psEnvelopeMonarch,
    psOther
};
enum class TEasyPageOrientation { pgPortrait, pgLandscape };
enum class TEasyAlignment { taLeftJustify, taRightJustify, taCenter };

// Width and height of a paper size in millimetres.
struct TEasyPaperSize {
    int Width;
    int Height;
};
TEasyPaperSize EasyPaperSize(TEasyPageSize size);

// "To the end of the line" as a page's last column.
constexpr int EasyPageLineEnd = INT_MAX;

// How much text fits on a page: the editor's painter answers.
class TEasyPageMeasure {
public:
    virtual ~TEasyPageMeasure() = default;
    virtual int LineCount() const = 0;
    // From the line and column on, the lines that fit into the height: the
    // last line, the column (inclusive) a split line ends at or
    // EasyPageLineEnd, and the pixels they take.
    virtual void LinesThatFit(int firstLine, int firstCol, int height, int& lastLine, int& lastCol,
                              int& usedHeight) = 0;
    // Pixels above the first page in the page-layout view.
    virtual int TopOffset() const { return 0; }
};

class TEasyPages;

class TEasyPage : public TEasyPersistent {
public:
    int PageWidth() const { return width_; }
    void SetPageWidth(int millimetres);  // negative becomes 0; the size becomes psOther
    int PageHeight() const { return height_; }
    void SetPageHeight(int millimetres);  // as SetPageWidth
    TEasyPageSize PageSize() const { return size_; }
    void SetPageSize(TEasyPageSize size);  // loads width and height
    TEasyPageOrientation Orientation() const { return orientation_; }
    void SetOrientation(TEasyPageOrientation orientation);
    int LeftIndent() const { return indents_[0]; }
    int TopIndent() const { return indents_[1]; }
    int RightIndent() const { return indents_[2]; }
    int BottomIndent() const { return indents_[3]; }
    void SetLeftIndent(int pixels) { SetIndent(0, pixels); }
    void SetTopIndent(int pixels) { SetIndent(1, pixels); }
    void SetRightIndent(int pixels) { SetIndent(2, pixels); }
    void SetBottomIndent(int pixels) { SetIndent(3, pixels); }
    int LeftGutterWidth() const { return leftGutterWidth_; }
    void SetLeftGutterWidth(int pixels);
    int TopGutterHeight() const { return topGutterHeight_; }
    void SetTopGutterHeight(int pixels);
    TEasyAlignment NumAlignment() const { return numAlignment_; }
    void SetNumAlignment(TEasyAlignment alignment);
    bool PaintPageNumber() const { return paintPageNumber_; }
    void SetPaintPageNumber(bool paint);

    // The sheet in pixels at the resolution; landscape swaps the two.
    int PixelWidth(int pixelsPerInchX, int pixelsPerInchY) const;
    int PixelHeight(int pixelsPerInchX, int pixelsPerInchY) const;

    // Changes inside the bracket are told to the editor once, at the end.
    void BeginUpdate() { ++updating_; }
    void EndUpdate();

    // The layout settings of another page.
    void AssignSettings(const TEasyPage& other);

    // Layout state: valid while Laid.
    bool Laid = false;
    int Top = 0;
    int Height = 0;
    int FirstLine = 0;
    int FirstCol = 0;
    int LastLine = 0;
    int LastCol = EasyPageLineEnd;
    bool Contains(int line, int column) const;

    std::vector<TEasyProperty> Properties() override;

private:
    friend class TEasyPages;
    void SetIndent(int which, int pixels);
    void LayoutChanged();
    void Repaint();

    TEasyPages* owner_ = nullptr;
    int width_ = 216;
    int height_ = 279;
    TEasyPageSize size_ = TEasyPageSize::psLetter;
    TEasyPageOrientation orientation_ = TEasyPageOrientation::pgPortrait;
    int indents_[4] = {24, 24, 24, 24};
    int leftGutterWidth_ = 64;
    int topGutterHeight_ = 24;
    TEasyAlignment numAlignment_ = TEasyAlignment::taLeftJustify;
    bool paintPageNumber_ = false;
    int updating_ = 0;
    bool changedWhileUpdating_ = false;
};

class TEasyPages : public TEasyPersistent {
public:
    explicit TEasyPages(TEasyEditorLink* editor = nullptr);

    int Count() const { return static_cast<int>(pages_.size()); }
    TEasyPage& Items(int index) { return *pages_.at(static_cast<size_t>(index)); }
    // Page 0, whose settings new pages copy.
    TEasyPage& DefaultPage() { return *pages_.front(); }
    TEasyPage& AddPage();
    int IndexOf(const TEasyPage& page) const;

    // The page-layout view (sheets with gutters) rather than the page-break view.
    bool FullLayout = false;

    int LaidOutCount() const { return laidOut_; }
    // Forgets every page's position (from the page on).
    void ResetLayout(int fromPage = 0);
    void LayoutPage(int index, TEasyPageMeasure& measure);
    // The page holding the text position, laying out and appending pages as
    // needed; -1 when the position lies beyond the text.
    int PageAt(int line, int column, TEasyPageMeasure& measure);
    // The laid-out page at the vertical pixel position, or -1.
    int PageAtPixel(int y) const;
    // Removes pages whose first line lies beyond the text (page 0 stays).
    void TrimPages(TEasyPageMeasure& measure);

    void BeginUpdate() { ++updating_; }
    void EndUpdate();

    std::vector<TEasyProperty> Properties() override;

private:
    friend class TEasyPage;
    void PageChanged(TEasyPage& page);
    void PageRepaint(TEasyPage& page);

    TEasyEditorLink* editor_;
    std::vector<std::unique_ptr<TEasyPage>> pages_;
    int laidOut_ = 0;
    int lastFound_ = -1;
    int updating_ = 0;
};

}  // namespace qrv
