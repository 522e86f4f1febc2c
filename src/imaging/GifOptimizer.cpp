#include "imaging/GifOptimizer.h"

#include "imaging/GifAnimation.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace qrv {

namespace {

int DisposalOf(const TGIFFrame& frame)
{
    const TGIFGraphicControlExtension* control = frame.GraphicControl();
    return control ? control->Disposal() : 0;
}

// Disposal methods above 3 are undefined and play as 1.
int PlayedDisposal(const TGIFFrame& frame)
{
    const int disposal = DisposalOf(frame);
    return disposal > 3 ? 1 : disposal;
}

int DelayOf(const TGIFFrame& frame)
{
    const TGIFGraphicControlExtension* control = frame.GraphicControl();
    return control ? control->Delay : 0;
}

// The delay a frame is played with (0 counts as 10, 1 or 2 as 3).
int PlayedDelay(const TGIFFrame& frame)
{
    const int delay = DelayOf(frame);
    return delay == 0 ? 10 : std::max(delay, 3);
}

TGIFGraphicControlExtension& ControlOf(TGIFFrame& frame)
{
    if (TGIFGraphicControlExtension* control = frame.GraphicControl())
        return *control;
    frame.Extensions.push_back(std::make_unique<TGIFGraphicControlExtension>(&frame));
    return *frame.GraphicControl();
}

// A pixel's colour as drawn: an index past the table draws black.
TGIFColor ColorAt(const TGIFColorMap& table, uint8_t index)
{
    return index < table.Count() ? table[index] : TGIFColor{};
}

std::array<bool, 256> UsedIndices(const TGIFFrame& frame)
{
    std::array<bool, 256> used{};
    for (uint32_t y = 0; y < frame.Height(); ++y)
        for (const uint8_t* pixel = frame.Row(y); pixel != frame.Row(y) + frame.Width(); ++pixel)
            used[*pixel] = true;
    return used;
}

bool Inside(const TGIFFrame& inner, const TGIFFrame& outer)
{
    return inner.Left >= outer.Left && inner.Top >= outer.Top &&
           inner.Left + inner.Width() <= outer.Left + outer.Width() &&
           inner.Top + inner.Height() <= outer.Top + outer.Height();
}

bool Opaque(const TGIFFrame& frame)
{
    if (!frame.Transparent())
        return true;
    return !UsedIndices(frame)[static_cast<size_t>(frame.TransparentColorIndex())];
}

}  // namespace

bool CropGIFFrame(TGIFFrame& frame)
{
    if (frame.Empty() || !frame.Transparent())
        return false;
    const uint8_t transparent = static_cast<uint8_t>(frame.TransparentColorIndex());
    const int width = frame.Width(), height = frame.Height();
    auto clearRow = [&](int y) {
        const uint8_t* row = frame.Row(static_cast<uint32_t>(y));
        return std::all_of(row, row + width, [&](uint8_t index) { return index == transparent; });
    };
    auto clearColumn = [&](int x, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            if (frame.Row(static_cast<uint32_t>(y))[x] != transparent)
                return false;
        return true;
    };
    int top = 0, bottom = height;
    while (top < bottom && clearRow(top))
        ++top;
    if (top == bottom) {
        frame.SetSize(0, 0);
        return true;
    }
    while (clearRow(bottom - 1))
        --bottom;
    int left = 0, right = width;
    while (clearColumn(left, top, bottom))
        ++left;
    while (clearColumn(right - 1, top, bottom))
        --right;
    if (left == 0 && top == 0 && right == width && bottom == height)
        return false;
    std::vector<uint8_t> kept;
    for (int y = top; y < bottom; ++y) {
        const uint8_t* row = frame.Row(static_cast<uint32_t>(y));
        kept.insert(kept.end(), row + left, row + right);
    }
    frame.Left = static_cast<uint16_t>(frame.Left + left);
    frame.Top = static_cast<uint16_t>(frame.Top + top);
    frame.SetSize(static_cast<uint16_t>(right - left), static_cast<uint16_t>(bottom - top));
    for (int y = 0; y < bottom - top; ++y)
        std::memcpy(frame.Row(static_cast<uint32_t>(y)), kept.data() + static_cast<size_t>(y) * (right - left),
                    static_cast<size_t>(right - left));
    return true;
}

void MergeGIFFrame(TGIFFrame& frame, const TGIFFrame& previous)
{
    if (frame.Empty() || previous.Empty() || PlayedDisposal(previous) >= 2)
        return;
    const int left = std::max(frame.Left, previous.Left), top = std::max(frame.Top, previous.Top);
    const int right = std::min(frame.Left + frame.Width(), previous.Left + previous.Width());
    const int bottom = std::min(frame.Top + frame.Height(), previous.Top + previous.Height());
    if (left >= right || top >= bottom)
        return;
    const TGIFColorMap& table = frame.ActiveColorMap();
    const TGIFColorMap& previousTable = previous.ActiveColorMap();
    const int previousTransparent = previous.Transparent() ? previous.TransparentColorIndex() : -1;
    int transparent = frame.Transparent() ? frame.TransparentColorIndex() : -1;
    for (int y = top; y < bottom; ++y) {
        uint8_t* row = frame.Row(static_cast<uint32_t>(y - frame.Top));
        const uint8_t* under = previous.Row(static_cast<uint32_t>(y - previous.Top));
        for (int x = left; x < right; ++x) {
            uint8_t& pixel = row[x - frame.Left];
            const uint8_t below = under[x - previous.Left];
            if (pixel == transparent || below == previousTransparent)
                continue;
            const bool same =
                (&table == &previousTable && pixel == below) || ColorAt(table, pixel) == ColorAt(previousTable, below);
            if (!same)
                continue;
            if (transparent < 0) {
                // An index the frame's pixels do not use, else a new entry.
                const std::array<bool, 256> used = UsedIndices(frame);
                const int count = table.Count();
                for (int index = 0; index < count && transparent < 0; ++index)
                    if (!used[static_cast<size_t>(index)])
                        transparent = index;
                if (transparent < 0) {
                    if (count == 0 || count >= 256)
                        return;
                    transparent = const_cast<TGIFColorMap&>(table).Add(TGIFColor{});
                }
                TGIFGraphicControlExtension& control = ControlOf(frame);
                control.SetTransparentColorIndex(static_cast<uint8_t>(transparent));
                control.SetTransparent(true);
            }
            pixel = static_cast<uint8_t>(transparent);
        }
    }
}

void OptimizeGIF(TGIFDocument& document, unsigned steps)
{
    auto& frames = document.Frames;
    if (frames.empty())
        return;
    if (steps & ooColorMap) {
        document.OptimizeColorMap();
        for (auto& frame : frames)
            if (!frame->ColorMap.Empty())
                frame->OptimizeColorMap();
    }
    if (steps & ooCleanup) {
        for (size_t i = 0; i < frames.size(); ++i) {
            TGIFFrame& frame = *frames[i];
            if (frame.Transparent() && !frame.Empty() &&
                !UsedIndices(frame)[static_cast<size_t>(frame.TransparentColorIndex())])
                frame.GraphicControl()->SetTransparent(false);
            // Clearing or restoring an area the next frame covers with
            // opaque pixels shows nothing, unless that frame is itself
            // restored later.
            const int disposal = DisposalOf(frame);
            if ((disposal == 2 || disposal == 3) && i + 1 < frames.size()) {
                const TGIFFrame& next = *frames[i + 1];
                if (!next.Empty() && Inside(frame, next) && Opaque(next) && PlayedDisposal(next) != 3)
                    frame.GraphicControl()->SetDisposal(0);
            }
        }
    }
    if (steps & ooMerge) {
        for (size_t i = frames.size(); i-- > 1;) {
            size_t previous = i - 1;
            while (previous > 0 && PlayedDisposal(*frames[previous]) == 3)
                --previous;
            if (PlayedDisposal(*frames[previous]) == 3)
                continue;
            MergeGIFFrame(*frames[i], *frames[previous]);
        }
    }
    if (steps & ooCrop) {
        for (size_t i = frames.size(); i-- > 0;) {
            TGIFFrame& frame = *frames[i];
            // Cropping a frame that is cleared afterwards would clear less.
            if (frame.Empty() || !frame.Transparent() || PlayedDisposal(frame) == 2)
                continue;
            const uint16_t left = frame.Left, top = frame.Top;
            CropGIFFrame(frame);
            if (!frame.Empty())
                continue;
            // A frame that shows nothing and leaves the screen as it is goes,
            // its time staying with the frame before, which must stay as it
            // is under it (disposal 0 or 1). Any other keeps one transparent
            // pixel, so that it still plays.
            if (i == 0 || PlayedDisposal(frame) > 1 || frame.FindExtension<TGIFAppExtNSLoop>() ||
                frames[i - 1]->Empty() || PlayedDisposal(*frames[i - 1]) > 1) {
                frame.Left = left;
                frame.Top = top;
                frame.SetSize(1, 1);
                frame.Row(0)[0] = static_cast<uint8_t>(frame.TransparentColorIndex());
                continue;
            }
            TGIFFrame& before = *frames[i - 1];
            const int delay = PlayedDelay(before) + PlayedDelay(frame);
            ControlOf(before).Delay = static_cast<uint16_t>(std::min(delay, 65535));
            frames.erase(frames.begin() + static_cast<ptrdiff_t>(i));
        }
    }
    if (steps & ooCleanup) {
        size_t played = 0;
        for (const auto& frame : frames)
            played += frame->Empty() ? 0 : 1;
        const bool single = played <= 1;
        // The loop count is the first loop block's, wherever it is.
        const TGIFExtension* loop = nullptr;
        for (const auto& frame : frames)
            if ((loop = frame->FindExtension<TGIFAppExtNSLoop>()) != nullptr)
                break;
        for (size_t i = frames.size(); i-- > 0;) {
            TGIFFrame& frame = *frames[i];
            auto& extensions = frame.Extensions;
            std::erase_if(extensions, [&](const std::unique_ptr<TGIFExtension>& extension) {
                if (dynamic_cast<const TGIFCommentExtension*>(extension.get()) ||
                    dynamic_cast<const TGIFTextExtension*>(extension.get()) ||
                    dynamic_cast<const TGIFUnknownAppExtension*>(extension.get()))
                    return true;
                if (dynamic_cast<const TGIFAppExtNSLoop*>(extension.get()))
                    return single || extension.get() != loop;
                return false;
            });
            // Only the frame's own (first) graphic control counts.
            bool first = true;
            std::erase_if(extensions, [&](const std::unique_ptr<TGIFExtension>& extension) {
                const auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(extension.get());
                if (!control)
                    return false;
                if (!std::exchange(first, false))
                    return true;
                return (control->Delay == 0 || single) && !control->Transparent() && !control->UserInput() &&
                       (control->Disposal() < 2 || single);
            });
            if (frame.Empty() && extensions.empty() && frames.size() > 1)
                frames.erase(frames.begin() + static_cast<ptrdiff_t>(i));
        }
    }
}

std::vector<TGIFShownScreen> GIFTimeline(const TGIFDocument& document)
{
    std::vector<TGIFShownScreen> timeline;
    const auto screens = CoalesceGIF(document);
    std::vector<const TGIFFrame*> played;
    for (const auto& frame : document.Frames)
        if (!frame->Empty())
            played.push_back(frame.get());
    for (size_t i = 0; i < screens.size(); ++i) {
        const int64_t milliseconds = GIFFrameWait(DelayOf(*played[i]), 100);
        if (!timeline.empty() && timeline.back().Pixels == screens[i])
            timeline.back().Milliseconds += milliseconds;
        else
            timeline.push_back({screens[i], milliseconds});
    }
    // One screen stays for good, however long its frames last.
    if (timeline.size() == 1)
        timeline.front().Milliseconds = -1;
    return timeline;
}

}  // namespace qrv
