#include "imaging/win/GIFImage.h"

#include "framework/IgnoredError.h"
#include "framework/Streams.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Graphics.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace qrv {

namespace {

int unitStarts = 0;
UINT clipboardFormat = 0;

// The largest frame and composed screen the picture takes memory for.
constexpr size_t kMaxFrameBytes = size_t{256} << 20;
constexpr uint64_t kMaxScreenPixels = uint64_t{64} << 20;

constexpr const wchar_t* kHeightTooSmall = L"Image height too small for contained frames";
constexpr const wchar_t* kWidthTooSmall = L"Image width too small for contained frames";
constexpr const wchar_t* kUnsupportedClipboard = L"Format der Zwischenablage wird nicht unterstützt";
constexpr const wchar_t* kClipboardFailed = L"Failed to store GIF on clipboard";

// The image's colours when there are at most 256 (in order of appearance),
// each pixel as its index; false when there are more.
bool ExactColors(const TBgrImage& image, TGIFPalette& palette, std::vector<uint8_t>& indices)
{
    std::unordered_map<uint32_t, uint8_t> known;
    palette.clear();
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* row = image.Row(y);
        uint8_t* target = indices.data() + static_cast<size_t>(y) * image.Width;
        for (int x = 0; x < image.Width; ++x, row += 3) {
            const uint32_t key = (uint32_t{row[2]} << 16) | (uint32_t{row[1]} << 8) | row[0];
            auto found = known.find(key);
            if (found == known.end()) {
                if (palette.size() == 256)
                    return false;
                found = known.emplace(key, static_cast<uint8_t>(palette.size())).first;
                palette.push_back({row[2], row[1], row[0]});
            }
            target[x] = found->second;
        }
    }
    return true;
}

TGIFPalette EntriesOf(HPALETTE palette)
{
    PALETTEENTRY entries[256];
    const UINT count = palette ? GetPaletteEntries(palette, 0, 256, entries) : 0;
    TGIFPalette colors;
    for (UINT i = 0; i < count; ++i)
        colors.push_back({entries[i].peRed, entries[i].peGreen, entries[i].peBlue});
    return colors;
}

// The system's palettes, and its own nearest-entry search.
TReductionPalettes SystemPalettes()
{
    TReductionPalettes palettes;
    palettes.System20 = EntriesOf(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
    const TWindowDC screen(nullptr);
    const TGdiObject halftone(CreateHalftonePalette(screen.Get()));
    palettes.Halftone = EntriesOf(static_cast<HPALETTE>(halftone.Get()));
    return palettes;
}

// A 24-bit bitmap of the graphic drawn on white.
HBITMAP DrawnBitmap(TGraphic& graphic)
{
    const int width = graphic.Width(), height = graphic.Height();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    Win32Check(bitmap && dc, L"Bitmap kann nicht erstellt werden");
    {
        const TSelectObject select(dc.Get(), bitmap.Get());
        const RECT whole{0, 0, width, height};
        FillRect(dc.Get(), &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        graphic.Draw(dc.Get(), whole);
    }
    return static_cast<HBITMAP>(bitmap.Release());
}

void DitherToWebPalette(const uint32_t* composed, uint32_t* shown, int width, int height)
{
    // Floyd-Steinberg onto the web palette, rows serpentine; transparent
    // pixels stay black (the mask leaves them out).
    TNetscapeColorLookup lookup;
    const std::unique_ptr<TDitherEngine> engine = CreateDitherEngine(TDitherKind::dkFloydSteinberg, width, lookup);
    for (int y = 0; y < height; ++y) {
        const uint32_t* source = composed + static_cast<size_t>(y) * width;
        uint32_t* target = shown + static_cast<size_t>(y) * width;
        for (int x = engine->Column(); x >= 0 && x < width; x = engine->Column()) {
            const uint32_t pixel = source[x];
            const uint8_t index = engine->MapPixel(static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                                                   static_cast<uint8_t>(pixel));
            if ((pixel >> 24) == 0) {
                target[x] = 0;
                continue;
            }
            const uint32_t red = index / 36 * 51, green = index / 6 % 6 * 51, blue = index % 6 * 51;
            target[x] = 0xFF000000u | (red << 16) | (green << 8) | blue;
        }
        engine->StartNextRow();
    }
}

}  // namespace

TGIFImage::TGIFImage()
{
    document_.SetAllocator(std::make_shared<THeapPixelAllocator>(kMaxFrameBytes));
}

TGIFImage::~TGIFImage()
{
    StopPainting();
    // A synchronous painter still playing is deleting this picture from a
    // message it served (or an event): it ends, and nothing of the picture
    // is touched again, as the calls on the stack below find.
    std::vector<TGIFPainter*> playing;
    {
        const std::lock_guard<std::mutex> lock(paintersLock_);
        playing.swap(playingHere_);
    }
    for (TGIFPainter* painter : playing)
        painter->LetPictureGo();
}

void TGIFImage::Clear()
{
    Changed();
    document_.Clear();
}

bool TGIFImage::Transparent() const
{
    for (const auto& frame : document_.Frames)
        if (frame->Transparent())
            return true;
    return false;
}

void TGIFImage::SetHeight(int height)
{
    for (const auto& frame : document_.Frames)
        if (height < frame->Top + frame->Height())
            throw GIFException(kHeightTooSmall);
    document_.Header.Height = static_cast<uint16_t>(height);
    Changed();
}

void TGIFImage::SetWidth(int width)
{
    for (const auto& frame : document_.Frames)
        if (width < frame->Left + frame->Width())
            throw GIFException(kWidthTooSmall);
    document_.Header.Width = static_cast<uint16_t>(width);
    Changed();
}

void TGIFImage::LoadFromStream(TStream& stream)
{
    Clear();
    try {
        document_.LoadFromStream(stream);
        if (std::all_of(document_.Frames.begin(), document_.Frames.end(),
                        [](const auto& frame) { return frame->Empty(); }))
            throw GIFException(gif_text::kInvalidData);
        Changed();
    } catch (...) {
        Clear();
        throw;
    }
}

void TGIFImage::SaveToStream(TStream& stream)
{
    document_.SaveToStream(stream);
}

UINT TGIFImage::ClipboardFormat()
{
    if (!clipboardFormat)
        clipboardFormat = RegisterClipboardFormatW(L"GIF Image");
    return clipboardFormat;
}

void TGIFImage::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE)
{
    if (format == CF_BITMAP && data) {
        AssignBitmap(static_cast<HBITMAP>(data));
        return;
    }
    if (format != ClipboardFormat() || !data)
        throw GIFException(kUnsupportedClipboard);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(data));
    if (!bytes)
        throw GIFException(kUnsupportedClipboard);
    TMemoryStream stream;
    stream.Write(bytes, GlobalSize(data));
    GlobalUnlock(data);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

HGLOBAL TGIFImage::FileBlock()
{
    TMemoryStream stream;
    SaveToStream(stream);
    TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, stream.Bytes().size()));
    void* target = memory ? GlobalLock(memory.Get()) : nullptr;
    if (!target)
        throw GIFException(kClipboardFailed);
    std::memcpy(target, stream.Memory(), stream.Bytes().size());
    GlobalUnlock(memory.Get());
    return memory.Release();
}

void TGIFImage::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette)
{
    if (Empty())
        throw GIFException(kClipboardFailed);
    TGlobalMemory file(FileBlock());
    const HBITMAP bitmap = FirstFrameBitmap();
    // The clipboard owns the block once it takes it; when the caller has
    // not opened the clipboard, only the bitmap is handed back.
    if (SetClipboardData(ClipboardFormat(), file.Get()))
        (void)file.Release();
    format = CF_BITMAP;
    data = bitmap;
    palette = nullptr;
}

void TGIFImage::Assign(const TGraphic& source)
{
    const auto* gif = dynamic_cast<const TGIFImage*>(&source);
    if (!gif) {
        if (source.Empty()) {
            Clear();
            return;
        }
        TBitmap bitmap;
        try {
            source.AssignTo(bitmap);
        } catch (const EConvertError&) {
            // A graphic that knows no bitmap is drawn on one.
            bitmap.SetHandle(DrawnBitmap(const_cast<TGraphic&>(source)));
        }
        AssignBitmap(bitmap.Handle());
        return;
    }
    if (gif == this)
        return;
    TMemoryStream stream;
    gif->document_.SaveToStream(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
    PaintOptions = gif->PaintOptions;
    AnimationPace = gif->AnimationPace;
    PainterPriority = gif->PainterPriority;
    BackdropColor = gif->BackdropColor;
    ReductionMethod = gif->ReductionMethod;
    ReductionDepth = gif->ReductionDepth;
    DitherKind = gif->DitherKind;
    PaintEvents = gif->PaintEvents;
    OnWarning = gif->OnWarning;
    Changed();
}

void TGIFImage::Assign(const TBitmap& source)
{
    AssignBitmap(source.Handle());
}

void TGIFImage::AssignBitmap(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
        Clear();
        return;
    }
    const int width = info.bmWidth, height = std::abs(info.bmHeight);
    if (width > 65535 || height > 65535 || static_cast<uint64_t>(width) * height > kMaxScreenPixels)
        throw GIFException(gif_text::kOutOfMemory);
    // The pixels as top-down rows of blue, green, red.
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> pixels(stride * height);
    BITMAPINFO request{};
    request.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    {
        const TWindowDC screen(nullptr);
        if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &request, DIB_RGB_COLORS) !=
            height)
            throw GIFException(gif_text::kInvalidData);
    }
    const TBgrImage image{width, height, pixels.data(), stride};
    TGIFPalette palette;
    std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
    if (!ExactColors(image, palette, indices)) {
        if (ReductionMethod == TColorReductionMethod::crmNone)
            throw GIFException(gif_text::kColorTableOverflow);
        TReducedImage reduced = ReduceColors(image, ReductionMethod, DitherKind, ReductionDepth, SystemPalettes());
        if (reduced.Indices.empty())
            throw GIFException(gif_text::kColorTableEmpty);
        palette = std::move(reduced.Palette);
        indices = std::move(reduced.Indices);
    }
    Clear();
    document_.Header.Width = static_cast<uint16_t>(width);
    document_.Header.Height = static_cast<uint16_t>(height);
    TGIFFrame& frame = document_.AddFrame();
    for (const TGIFColor& color : palette)
        frame.ColorMap.Add(color);
    // A table of one colour still needs two entries on the wire.
    if (frame.ColorMap.Count() < 2)
        frame.ColorMap.Add(TGIFColor{});
    frame.SetSize(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(frame.Row(static_cast<uint32_t>(y)), indices.data() + static_cast<size_t>(y) * width,
                    static_cast<size_t>(width));
    Changed();
}

void TGIFImage::AssignTo(TBitmap& target) const
{
    target.SetHandle(Empty() ? nullptr : FirstFrameBitmap());
}

HBITMAP TGIFImage::FirstFrameBitmap() const
{
    // The first frame as composed, on the backdrop (white where transparent).
    const int width = Width(), height = Height();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Win32Check(bitmap != nullptr && bits != nullptr, L"Bitmap kann nicht erstellt werden");
    auto* pixels = static_cast<uint32_t*>(bits);
    TGIFComposer composer(document_, Backdrop(PaintOptions), pixels, static_cast<size_t>(width));
    for (size_t i = 0; i < document_.Frames.size(); ++i)
        if (!document_.Frames[i]->Empty()) {
            composer.Draw(i);
            break;
        }
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        if ((pixels[i] >> 24) == 0)
            pixels[i] = 0xFFFFFFu;
        else
            pixels[i] &= 0xFFFFFFu;
    return bitmap;
}

uint32_t TGIFImage::Backdrop(uint16_t options) const
{
    COLORREF color;
    if (BackdropColor)
        color = ColorToRGB(*BackdropColor);
    else if (options & goTransparent)
        return 0;  // the canvas shows through
    else if (document_.Header.ColorMap.Empty())
        color = GetSysColor(COLOR_WINDOW);
    else {
        const TGIFColor entry = document_.Header.ColorMap.Lookup(document_.Header.BackgroundColorIndex,
                                                                 document_.EventSink(), &document_.Header);
        return 0xFF000000u | (uint32_t{entry.Red} << 16) | (uint32_t{entry.Green} << 8) | entry.Blue;
    }
    return 0xFF000000u | (uint32_t{GetRValue(color)} << 16) | (uint32_t{GetGValue(color)} << 8) | GetBValue(color);
}

void TGIFImage::Changed()
{
    StopPainting();
    FreeScreen();
}

void TGIFImage::FreeScreen()
{
    screen_.Reset();
    screenBits_ = nullptr;
    mask_.Reset();
    anyTransparent_ = false;
}

void TGIFImage::NotifyChange()
{
    if (OnChange)
        OnChange();
}

int TGIFImage::PlayedFrames() const
{
    return static_cast<int>(std::count_if(document_.Frames.begin(), document_.Frames.end(),
                                          [](const auto& frame) { return !frame->Empty(); }));
}

void TGIFImage::ShowFirstFrame()
{
    const size_t width = Width();
    std::vector<uint32_t> composed(width * Height());
    TGIFComposer composer(document_, Backdrop(PaintOptions), composed.data(), width);
    for (size_t i = 0; i < document_.Frames.size(); ++i)
        if (!document_.Frames[i]->Empty()) {
            composer.Draw(i);
            break;
        }
    ShowScreen(composed.data());
}

bool TGIFImage::Dithers() const
{
    if (!(PaintOptions & goDither))
        return false;
    return !(PaintOptions & goAutoDither) || DisplayBitsPerPixel() < 9;
}

int& DisplayDepth()
{
    static int bits = 0;
    return bits;
}

int TGIFImage::DisplayBitsPerPixel()
{
    return DisplayDepth();
}

void TGIFImage::SetDisplayBitsPerPixel(int bits)
{
    DisplayDepth() = bits;
}

void TGIFImage::ShowScreen(const uint32_t* composed)
{
    const int width = Width(), height = Height();
    if (!screenBits_) {
        if (static_cast<uint64_t>(width) * height > kMaxScreenPixels)
            throw GIFException(gif_text::kOutOfMemory);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        screen_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!screen_ || !bits) {
            screen_.Reset();
            throw GIFException(gif_text::kOutOfMemory);
        }
        screenBits_ = static_cast<uint32_t*>(bits);
    }
    // GDI may still be drawing the section.
    GdiFlush();
    const size_t count = static_cast<size_t>(width) * height;
    if (!Dithers())
        std::copy_n(composed, count, screenBits_);
    else
        DitherToWebPalette(composed, screenBits_, width, height);
    // A monochrome bitmap, rows of whole words, a bit set where the screen
    // shows nothing (the canvas shows through).
    mask_.Reset();
    anyTransparent_ = false;
    const size_t rowBytes = static_cast<size_t>((width + 15) / 16) * 2;
    std::vector<uint8_t> bits(rowBytes * height);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = composed + static_cast<size_t>(y) * width;
        uint8_t* target = bits.data() + rowBytes * y;
        for (int x = 0; x < width; ++x)
            if ((row[x] >> 24) == 0) {
                target[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
                anyTransparent_ = true;
            }
    }
    if (!anyTransparent_)
        return;
    mask_.Reset(CreateBitmap(width, height, 1, 1, bits.data()));
    if (!mask_)
        TraceIgnoredFailure(L"GIF picture: its transparency mask", GetLastError());
}

void TGIFImage::SetFrame(int frame)
{
    // Any frame starts the play again: a frame only shows after those before.
    (void)frame;
    Changed();
}

void TGIFImage::Draw(HDC dc, const RECT& rect)
{
    if (Empty() || Width() == 0 || Height() == 0)
        return;
    if (drawing_) {
        // Drawn again while painting synchronously: what is there so far.
        if (screenBits_)
            DrawScreen(dc, rect, PaintOptions);
        return;
    }
    drawing_ = true;
    // A synchronous painter, or the calls served while waiting for the first
    // frame, may delete the picture: then nothing of it is touched again.
    const std::weak_ptr<const bool> alive = alive_;
    struct TGuard {
        bool& Flag;
        const std::weak_ptr<const bool>& Alive;
        ~TGuard()
        {
            if (!Alive.expired())
                Flag = false;
        }
    } guard{drawing_, alive};
    ReapEndedPainters();
    if (!(PaintOptions & goAnimate) || PlayedFrames() < 2) {
        if (!screenBits_)
            ShowFirstFrame();
        DrawScreen(dc, rect, PaintOptions);
        return;
    }
    if (PaintOptions & goDirect) {
        const TGIFPainter* painter = drawingPainter_;
        if (painter && !painter->Ended() && painter->Canvas() == dc && EqualRect(&painter->Rect(), &rect))
            return;
        StopDraw();
        StartPainter(dc, rect, PaintOptions, &drawingPainter_);
        return;
    }
    if (!screenBits_) {
        StopDraw();
        TGIFPainter* painter = StartPainter(nullptr, RECT{0, 0, Width(), Height()}, PaintOptions, &drawingPainter_);
        // The first frame before the screen is drawn (the painter's calls
        // served meanwhile; a handler may stop it, which clears the pointer).
        const auto stillDrawing = [&] {
            const std::lock_guard<std::mutex> lock(paintersLock_);
            return drawingPainter_ == painter;
        };
        while (!alive.expired() && painter && stillDrawing() && !painter->Started() && !painter->Ended()) {
            const HANDLE thread = painter->Handle();
            if (MsgWaitForMultipleObjects(1, &thread, FALSE, 10, QS_SENDMESSAGE) == WAIT_OBJECT_0)
                break;
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        if (alive.expired())
            return;
        if (!screenBits_)
            ShowFirstFrame();
    }
    DrawScreen(dc, rect, PaintOptions);
}

void TGIFImage::DrawScreen(HDC dc, const RECT& rect, uint16_t options)
{
    if (!screenBits_)
        return;
    const bool transparent = (options & goTransparent) != 0;
    if (!(options & goTile)) {
        DrawScreenAt(dc, rect, transparent);
        return;
    }
    // Repeated at the picture's size from the rectangle's top left corner.
    const int width = Width(), height = Height();
    if (width <= 0 || height <= 0)
        return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    for (int y = rect.top; y < rect.bottom; y += height)
        for (int x = rect.left; x < rect.right; x += width)
            DrawScreenAt(dc, RECT{x, y, x + width, y + height}, transparent);
    RestoreDC(dc, saved);
}

TGIFPainter* TGIFImage::StartPainter(HDC canvas, const RECT& rect, uint16_t options, TGIFPainter** reference)
{
    if (Empty() || Width() == 0 || Height() == 0 || rect.right <= rect.left || rect.bottom <= rect.top) {
        if (reference)
            *reference = nullptr;
        return nullptr;
    }
    if (PlayedFrames() < 2)
        options &= static_cast<uint16_t>(~(goAsync | goAnimate));
    auto made = std::make_unique<TGIFPainter>(*this, options, rect, canvas, reference);
    TGIFPainter* painter = made.get();
    painter->Events = PaintEvents;
    if (painter->Async()) {
        {
            const std::lock_guard<std::mutex> lock(paintersLock_);
            painters_.push_back(std::move(made));
        }
        painter->SetPriority(PainterPriority);
        painter->StartPainting();
        return painter;
    }
    // Synchronous: it plays here and this call owns it. The picture knows of
    // it, so that stopping the picture ends the play, and deleting it (from
    // what the play serves) lets the painter go.
    {
        const std::lock_guard<std::mutex> lock(paintersLock_);
        playingHere_.push_back(painter);
    }
    const std::weak_ptr<const bool> alive = alive_;
    painter->StartPainting();
    if (alive.expired()) {
        if (const std::exception_ptr error = made->Error())
            TraceIgnoredFailure(L"GIF painter of a deleted picture: " + PainterFailure(error));
        return nullptr;
    }
    {
        const std::lock_guard<std::mutex> lock(paintersLock_);
        std::erase(playingHere_, painter);
    }
    Free(std::move(made));
    return nullptr;
}

void TGIFImage::Free(std::unique_ptr<TGIFPainter> painter)
{
    if (!painter)
        return;
    const std::exception_ptr error = painter->Error();
    // Waits for an asynchronous painter's thread (serving its calls).
    painter.reset();
    if (!error)
        return;
    const std::wstring message = PainterFailure(error);
    if (OnWarning)
        OnWarning(this, message);
    else
        TraceIgnoredFailure(L"GIF painter: " + message);
}

std::wstring TGIFImage::PainterFailure(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.Message();
    } catch (...) {
        // Any other failure has the general message.
    }
    return L"GIF painter failed";
}

void TGIFImage::ReapEndedPainters()
{
    std::vector<std::unique_ptr<TGIFPainter>> ended;
    {
        const std::lock_guard<std::mutex> lock(paintersLock_);
        for (auto it = painters_.begin(); it != painters_.end();)
            if ((*it)->Async() && (*it)->Ended()) {
                ended.push_back(std::move(*it));
                it = painters_.erase(it);
            } else {
                ++it;
            }
    }
    for (auto& painter : ended)
        Free(std::move(painter));
}

void TGIFImage::StopDraw()
{
    std::unique_ptr<TGIFPainter> stopped;
    {
        const std::lock_guard<std::mutex> lock(paintersLock_);
        if (!drawingPainter_)
            return;
        drawingPainter_->Stop();
        auto found =
            std::find_if(painters_.begin(), painters_.end(), [&](const auto& p) { return p.get() == drawingPainter_; });
        // A synchronous painter is freed by the draw that runs it.
        if (found != painters_.end()) {
            stopped = std::move(*found);
            painters_.erase(found);
        }
    }
    Free(std::move(stopped));
    FreeScreen();
}

void TGIFImage::StopPainting()
{
    std::vector<std::unique_ptr<TGIFPainter>> stopped;
    {
        const std::lock_guard<std::mutex> lock(paintersLock_);
        for (TGIFPainter* painter : playingHere_)
            painter->Stop();
        for (auto& painter : painters_)
            painter->Stop();
        stopped.swap(painters_);
    }
    for (auto& painter : stopped)
        Free(std::move(painter));
}

size_t TGIFImage::PainterCount() const
{
    const std::lock_guard<std::mutex> lock(paintersLock_);
    return painters_.size() + playingHere_.size();
}

void TGIFImage::DrawScreenAt(HDC dc, const RECT& rect, bool transparent)
{
    const int width = Width(), height = Height();
    const int targetWidth = rect.right - rect.left, targetHeight = rect.bottom - rect.top;
    const TOwnDC source(CreateCompatibleDC(dc));
    if (!source) {
        TraceIgnoredFailure(L"GIF picture: a drawing context", GetLastError());
        return;
    }
    const TSelectObject select(source.Get(), screen_.Get());
    const bool stretched = targetWidth != width || targetHeight != height;
    if (stretched)
        SetStretchBltMode(dc, COLORONCOLOR);
    BOOL ok;
    if (!transparent || !anyTransparent_ || !mask_) {
        ok = StretchBlt(dc, rect.left, rect.top, targetWidth, targetHeight, source.Get(), 0, 0, width, height, SRCCOPY);
    } else if (!stretched) {
        // Mask bit set: keep the canvas; clear: the screen's pixel.
        ok = MaskBlt(dc, rect.left, rect.top, width, height, source.Get(), 0, 0, static_cast<HBITMAP>(mask_.Get()), 0,
                     0, MAKEROP4(0x00AA0029, SRCCOPY));
    } else {
        // Stretched: the mask ANDed on (white keeps the canvas, black clears
        // it), then the screen ORed in (black where transparent).
        const TOwnDC maskDC(CreateCompatibleDC(dc));
        const TSelectObject selectMask(maskDC.Get(), mask_.Get());
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        ok =
            StretchBlt(dc, rect.left, rect.top, targetWidth, targetHeight, maskDC.Get(), 0, 0, width, height, SRCAND) &&
            StretchBlt(dc, rect.left, rect.top, targetWidth, targetHeight, source.Get(), 0, 0, width, height, SRCPAINT);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
    }
    if (!ok)
        TraceIgnoredFailure(L"GIF picture: drawing its screen", GetLastError());
}

void StartGIFUnit()
{
    if (unitStarts++ > 0)
        return;
    TGIFImage::ClipboardFormat();
    const TWindowDC screen(nullptr);
    TGIFImage::SetDisplayBitsPerPixel(GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES));
    TPicture::RegisterFileFormat<TGIFImage>(L"GIF", L"GIF Image");
}

void EndGIFUnit()
{
    if (unitStarts == 0 || --unitStarts > 0)
        return;
    TPicture::UnregisterGraphicClass<TGIFImage>();
}

}  // namespace qrv
