#pragma once
// TGIFImage: the picture class of GIF files. It keeps the file as the codec
// read it and shows the logical screen as its painters compose it: one frame
// with its transparency over what lies behind, an animation played by a
// painter thread (TGIFPainter) on the frames' delays, disposal methods and
// loop count onto the picture's bitmap, whose change repaints the control
// that shows it. Letting the picture go stops its painters.

#include "framework/Colors.h"
#include "framework/win/Handles.h"
#include "framework/win/Picture.h"
#include "framework/win/Threads.h"
#include "imaging/GifColorReduction.h"
#include "imaging/GifDocument.h"
#include "imaging/GifPaintLoop.h"
#include "imaging/win/GIFPainter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

class TGIFImage : public TGraphic {
public:
    TGIFImage();
    // Stops every painter first.
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
    // The screen into the rectangle; transparent pixels leave the canvas as
    // it is (goTransparent). One frame, or without goAnimate, is drawn at
    // once; an animation starts a painter on the picture's bitmap (with
    // goDirect on the canvas itself) unless one already paints there.
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
    // Shown again from the first frame.
    void SetFrame(int frame) override;

    // Empty, the screen 0 × 0.
    void Clear();
    TGIFDocument& Document() { return document_; }
    const TGIFDocument& Document() const { return document_; }
    // Call after changing the document or the options: painting stops and
    // the next draw starts from the first frame.
    void Changed();

    // A painter of the picture on the canvas rectangle (with no canvas on the
    // picture's bitmap, rect then being the screen), started. An asynchronous
    // one is returned (the picture owns it and frees it once it has ended);
    // a synchronous one plays at once and nullptr comes back, as it does for
    // an empty picture or rectangle. One frame is painted without a thread.
    // reference points to the painter while it paints.
    TGIFPainter* StartPainter(HDC canvas, const RECT& rect, uint16_t options, TGIFPainter** reference = nullptr);
    // Stops the painter of Draw and waits for it (serving its calls).
    void StopDraw();
    // Stops every painter and waits for them.
    void StopPainting();
    // Painters not yet freed (ended ones go at the next draw or stop).
    size_t PainterCount() const;
    TGIFPainter* DrawingPainter() const { return drawingPainter_; }

    uint16_t PaintOptions = kDefaultGIFPaintOptions;
    // Percent of the recorded speed; 0 holds each frame until painting
    // stops, below 0 shows the frames without waits (asynchronously).
    int AnimationPace = 100;
    TThreadPriority PainterPriority = TThreadPriority::tpNormal;
    // Behind the frames; none: the canvas shows through (goTransparent),
    // else the header's background colour (the window colour without a
    // global table).
    std::optional<TColor> BackdropColor;
    // How bitmaps of more than 256 colours become a frame.
    TColorReductionMethod ReductionMethod = TColorReductionMethod::crmWebCube216;
    int ReductionDepth = 8;
    TDitherKind DitherKind = TDitherKind::dkNearest;
    TGIFPalette CustomPalette;
    // Copied into each painter made; they run on the UI thread.
    TGIFPaintEvents PaintEvents;
    // A painter's failure (sender, message); without a handler it is traced.
    std::function<void(TGIFImage* Sender, const std::wstring& Message)> OnWarning;

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
    friend class TGIFPainter;

    // 0xAARRGGBB behind the frames painted with the options (alpha 0: the
    // canvas shows through).
    uint32_t Backdrop(uint16_t options) const;
    // The file as a "GIF Image" clipboard block (the caller owns it).
    HGLOBAL FileBlock();
    // A new 32-bit section of the first frame (white where transparent).
    HBITMAP FirstFrameBitmap() const;
    // Frames with pixels: those that play.
    int PlayedFrames() const;
    // The first frame shown on the picture's bitmap.
    void ShowFirstFrame();
    // A composed screen (0xAARRGGBB) onto the picture's bitmap, dithered
    // when asked for, and its mask.
    void ShowScreen(const uint32_t* composed);
    // The picture's bitmap into the rectangle (stretched, or tiled at its
    // size with goTile), through its mask with goTransparent.
    void DrawScreen(HDC dc, const RECT& rect, uint16_t options);
    void DrawScreenAt(HDC dc, const RECT& rect, bool transparent);
    void FreeScreen();
    // Tells the control showing the picture that its bitmap changed.
    void NotifyChange();
    // Frees the painters that have ended, reporting their failures.
    void ReapEndedPainters();
    void Free(std::unique_ptr<TGIFPainter> painter);
    static std::wstring PainterFailure(const std::exception_ptr& error);

    TGIFDocument document_;
    // The screen as shown: a top-down 32-bit section and its transparency
    // mask (bits set where nothing is drawn), null while none is needed.
    TGdiObject screen_;
    uint32_t* screenBits_ = nullptr;
    TGdiObject mask_;
    bool anyTransparent_ = false;

    mutable std::mutex paintersLock_;
    // The asynchronous painters, and the synchronous ones playing on the
    // stack of a call below (which owns them).
    std::vector<std::unique_ptr<TGIFPainter>> painters_;
    std::vector<TGIFPainter*> playingHere_;
    // Expires with the picture, for the calls below a synchronous play.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    TGIFPainter* drawingPainter_ = nullptr;
    bool drawing_ = false;
};

// The counted start and end of the unit: "GIF" ("GIF Image") registered with
// the picture framework, and the clipboard format.
void StartGIFUnit();
void EndGIFUnit();

}  // namespace qrv
