#pragma once
// TGIFImage: the picture class of GIF files. It keeps the file as the codec
// read it and shows the logical screen as composed so far: one frame with
// its transparency over what lies behind, an animation frame after frame by
// the graphic's frame interface, so that the image control's one timer plays
// it on the frames' delays, disposal methods and loop count (no thread of
// its own: the control stops the play by letting the picture go).

#include "framework/Colors.h"
#include "framework/win/Handles.h"
#include "framework/win/Picture.h"
#include "imaging/GifAnimation.h"
#include "imaging/GifColorReduction.h"
#include "imaging/GifDocument.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qrv {

// What to show, as bits of PaintOptions.
enum TGIFPaintOption : uint16_t {
    goTransparent = 1 << 1,
    goAnimate = 1 << 2,
    goLoop = 1 << 3,
    goLoopForever = 1 << 4,
    // Dither the screen to the 216-colour web palette...
    goDither = 1 << 9,
    // ... only on a display of at most 8 bits per pixel.
    goAutoDither = 1 << 10,
};

class TGIFImage : public TGraphic {
public:
    using TClock = TGIFPlaySchedule::TClock;
    // On the system's tick count, or on the clock given (milliseconds).
    TGIFImage();
    explicit TGIFImage(TClock clock);
    ~TGIFImage() override;

    // Another GIF: a copy of its file and options. Any other graphic, or a
    // bitmap: one frame of its pixels, with their colours when there are
    // at most 256, else reduced by ReductionMethod and DitherKind
    // (crmNone raises "Color table overflow").
    void Assign(const TGraphic& source) override;
    void Assign(const TBitmap& source) override;
    // The first frame as composed, white where transparent, as a 32-bit
    // section.
    void AssignTo(TBitmap& target) const override;
    // The composed screen stretched into the rectangle; transparent pixels
    // leave the canvas as it is (with goTransparent).
    void Draw(HDC dc, const RECT& rect) override;
    bool Empty() const override { return document_.Frames.empty(); }
    int Height() const override { return document_.Height(); }
    int Width() const override { return document_.Width(); }
    bool Transparent() const override;
    // Raise "Image height/width too small for contained frames" below a
    // frame's edge; otherwise the screen takes the size.
    void SetHeight(int height) override;
    void SetWidth(int width) override;
    // On a failure the stream is put back and the picture is empty.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // "GIF Image" loads the file in the memory block, CF_BITMAP assigns the
    // bitmap; anything else raises
    // "Format der Zwischenablage wird nicht unterstützt".
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    // CF_BITMAP (a new bitmap of the first frame); with the clipboard open,
    // the file is put there too as "GIF Image" in a global memory block.
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

    // The animation (one frame unless goAnimate): SetFrame(0) starts the
    // play from now; a frame's delay is what the clock leaves of it (0 when
    // the play holds: one frame, pace 0 or the last pass over); AdvanceFrame
    // composes the frames the clock has reached.
    int FrameCount() const override;
    int Frame() const override;
    void SetFrame(int frame) override;
    int FrameDelay(int frame) const override;
    void AdvanceFrame() override;

    // Empty, the screen 0 × 0.
    void Clear();
    TGIFDocument& Document() { return document_; }
    const TGIFDocument& Document() const { return document_; }
    // Call after changing the document: the play restarts at frame 0.
    void Changed();

    uint16_t PaintOptions = goTransparent | goAnimate | goLoop | goDither | goAutoDither;
    // Percent of the recorded speed; 0 holds the first frame, below 0 shows
    // the frames without waits.
    int AnimationPace = 100;
    // Behind the frames; none: the canvas shows through (goTransparent),
    // else the header's background colour (the window colour without a
    // global table).
    std::optional<TColor> BackdropColor;
    // How bitmaps of more than 256 colours become a frame.
    TColorReductionMethod ReductionMethod = TColorReductionMethod::crmWebCube216;
    int ReductionDepth = 8;
    TDitherKind DitherKind = TDitherKind::dkNearest;
    TGIFPalette CustomPalette;

    // One frame of the bitmap's pixels (as Assign).
    void AssignBitmap(HBITMAP bitmap);

    // The registered clipboard format "GIF Image".
    static UINT ClipboardFormat();
    // The display's bits per pixel, measured when the unit starts (set by
    // tests to try other displays); the screen is dithered when the options
    // ask for it.
    static int DisplayBitsPerPixel();
    static void SetDisplayBitsPerPixel(int bits);
    bool Dithers() const;

private:
    uint32_t Backdrop() const;
    // The file as a "GIF Image" clipboard block (the caller owns it).
    HGLOBAL FileBlock();
    // A new 32-bit section of the first frame (white where transparent).
    HBITMAP FirstFrameBitmap() const;
    void Restart();
    void Compose(int frames);
    // The composed screen into the section, dithered when asked for, and
    // its mask.
    void ShowComposed();
    void Present();

    TClock clock_;
    TGIFDocument document_;
    std::unique_ptr<TGIFPlaySchedule> schedule_;
    std::unique_ptr<TGIFComposer> composer_;
    // The frames played (those with pixels), as indices of the document's.
    std::vector<size_t> played_;
    // The screen as composed, and as shown: a top-down 32-bit section and its transparency
    // mask (bits set where nothing is drawn), null while none is needed.
    std::vector<uint32_t> composed_;
    TGdiObject screen_;
    uint32_t* screenBits_ = nullptr;
    TGdiObject mask_;
    bool anyTransparent_ = false;
};

// The counted start and end of the unit: "GIF" ("GIF Image") registered with
// the picture framework, and the clipboard format.
void StartGIFUnit();
void EndGIFUnit();

}  // namespace qrv
