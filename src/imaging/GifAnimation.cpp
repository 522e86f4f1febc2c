#include "imaging/GifAnimation.h"

#include "imaging/GifPaintLoop.h"

#include <algorithm>

namespace qrv {

int64_t GIFFrameWait(int delay, int pace)
{
    if (pace == 0)
        return -1;
    if (pace < 0)
        return 0;
    return GIFPaintWait(GIFPaintDelay(delay, true), pace);
}

TGIFComposer::TGIFComposer(const TGIFDocument& document, uint32_t backdrop, uint32_t* pixels, size_t stride)
    : document_(document), backdrop_(backdrop), pixels_(pixels), stride_(stride), width_(document.Width()),
      height_(document.Height())
{
    Reset();
}

void TGIFComposer::Reset()
{
    for (int y = 0; y < height_; ++y)
        std::fill_n(pixels_ + y * stride_, width_, backdrop_);
    drawn_ = -1;
    saved_.clear();
}

TGIFComposer::TArea TGIFComposer::AreaOf(const TGIFFrame& frame) const
{
    TArea area;
    area.Left = std::min<int>(frame.Left, width_);
    area.Top = std::min<int>(frame.Top, height_);
    area.Right = std::min<int>(frame.Left + frame.Width(), width_);
    area.Bottom = std::min<int>(frame.Top + frame.Height(), height_);
    return area;
}

static int DisposalOf(const TGIFFrame& frame)
{
    const TGIFGraphicControlExtension* control = frame.GraphicControl();
    const int disposal = control ? control->Disposal() : 1;
    return disposal > 3 ? 1 : disposal;
}

void TGIFComposer::DisposePrevious()
{
    if (drawn_ < 0)
        return;
    const TGIFFrame& previous = *document_.Frames[static_cast<size_t>(drawn_)];
    const int disposal = DisposalOf(previous);
    if (disposal == 2) {
        const TArea area = AreaOf(previous);
        for (int y = area.Top; y < area.Bottom; ++y)
            std::fill(pixels_ + y * stride_ + area.Left, pixels_ + y * stride_ + area.Right, backdrop_);
    } else if (disposal == 3 && !saved_.empty()) {
        const TArea& area = savedArea_;
        const int width = area.Right - area.Left;
        for (int y = area.Top; y < area.Bottom; ++y)
            std::copy_n(saved_.data() + static_cast<size_t>(y - area.Top) * width, width,
                        pixels_ + y * stride_ + area.Left);
    }
}

void TGIFComposer::Draw(size_t index)
{
    // An empty frame (extensions after the last image) is not played.
    if (index >= document_.Frames.size() || document_.Frames[index]->Empty())
        return;
    if (drawn_ < 0 || (ClearOnPassStart && static_cast<int>(index) <= drawn_))
        Reset();
    else
        DisposePrevious();
    const TGIFFrame& frame = *document_.Frames[index];
    if (DisposalOf(frame) == 3) {
        savedArea_ = AreaOf(frame);
        const int width = savedArea_.Right - savedArea_.Left;
        saved_.resize(static_cast<size_t>(width) * (savedArea_.Bottom - savedArea_.Top));
        for (int y = savedArea_.Top; y < savedArea_.Bottom; ++y)
            std::copy_n(pixels_ + y * stride_ + savedArea_.Left, width,
                        saved_.data() + static_cast<size_t>(y - savedArea_.Top) * width);
    } else {
        saved_.clear();
    }
    DrawFrame(frame);
    drawn_ = static_cast<int>(index);
}

void TGIFComposer::DrawFrame(const TGIFFrame& frame)
{
    if (frame.Empty())
        return;
    const TGIFColorMap& table = frame.ActiveColorMap();
    const int transparent = frame.Transparent() ? frame.TransparentColorIndex() : -1;
    uint32_t colors[256];
    for (int i = 0; i < 256; ++i) {
        // An index past the table draws black, as the system draws a DIB
        // whose colour table is too short.
        const TGIFColor color = i < table.Count() ? table[i] : TGIFColor{};
        colors[i] = 0xFF000000u | (uint32_t{color.Red} << 16) | (uint32_t{color.Green} << 8) | color.Blue;
    }
    const TArea area = AreaOf(frame);
    for (int y = area.Top; y < area.Bottom; ++y) {
        const uint8_t* source = frame.Row(static_cast<uint32_t>(y - frame.Top));
        uint32_t* target = pixels_ + y * stride_;
        for (int x = area.Left; x < area.Right; ++x) {
            const uint8_t index = source[x - frame.Left];
            if (index != transparent)
                target[x] = colors[index];
        }
    }
}

std::vector<std::vector<uint32_t>> CoalesceGIF(const TGIFDocument& document)
{
    std::vector<std::vector<uint32_t>> frames;
    const size_t width = document.Width();
    std::vector<uint32_t> screen(width * document.Height());
    TGIFComposer composer(document, 0, screen.data(), width);
    for (size_t i = 0; i < document.Frames.size(); ++i)
        if (!document.Frames[i]->Empty()) {
            composer.Draw(i);
            frames.push_back(screen);
        }
    return frames;
}

}  // namespace qrv
