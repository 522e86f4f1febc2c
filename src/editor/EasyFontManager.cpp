#include "editor/EasyFontManager.h"

#include <algorithm>
#include <cstdlib>

namespace qrv {

namespace {

// a * b / c rounded half away from zero, as the system's MulDiv does.
int32_t MulDivRounded(int32_t a, int32_t b, int32_t c)
{
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = std::llabs(c) / 2;
    const int64_t rounded = (product >= 0) == (c > 0) ? (std::llabs(product) + half) / std::llabs(c)
                                                      : -((std::llabs(product) + half) / std::llabs(c));
    return static_cast<int32_t>(rounded);
}

}  // namespace

TEasyFontMetrics FontMetricsFrom(const TEasyMeasuredFont& measured)
{
    TEasyFontMetrics metrics;
    metrics.Overhang = measured.Overhang;
    metrics.Ascent = measured.Ascent;
    metrics.Descent = measured.Descent;
    metrics.AveCharWidth = measured.AveCharWidth;
    metrics.Height = measured.Height;
    metrics.MaxCharWidth = measured.MaxCharWidth;
    const bool outline = measured.HasOutline;
    metrics.SubscriptSize =
        outline && measured.SubscriptSize != 0 ? measured.SubscriptSize : MulDivRounded(measured.Height, 2, 3);
    metrics.SubscriptOffset = outline && measured.SubscriptOffset != 0 ? measured.SubscriptOffset : measured.Height / 8;
    metrics.SuperscriptOffset =
        outline && measured.SuperscriptOffset != 0 ? measured.SuperscriptOffset : measured.Ascent / 2;
    return metrics;
}

TEasyFontManager::TEasyFontManager(std::unique_ptr<TEasyFontMeasurer> measurer) : measurer_(std::move(measurer)) {}

TEasyFontMetrics TEasyFontManager::GetFontMetrics(uintptr_t font)
{
    const std::string description = measurer_->Describe(font);
    if (last_ < entries_.size() && entries_[last_].handle == font && entries_[last_].description == description)
        return entries_[last_].metrics;
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), font,
                                     [](const Entry& entry, uintptr_t handle) { return entry.handle < handle; });
    if (it != entries_.end() && it->handle == font) {
        // The handle may have been freed and given to another font since.
        if (it->description != description) {
            it->description = description;
            it->metrics = FontMetricsFrom(measurer_->Measure(font));
        }
        last_ = static_cast<size_t>(it - entries_.begin());
        return it->metrics;
    }
    const auto added = entries_.insert(it, {font, description, FontMetricsFrom(measurer_->Measure(font))});
    last_ = static_cast<size_t>(added - entries_.begin());
    return added->metrics;
}

int TEasyFontManager::GetTextWidth(uintptr_t font, std::u16string_view text, int count, TEasyFontMetrics& metrics)
{
    metrics = GetFontMetrics(font);
    count = std::clamp(count, 0, static_cast<int>(text.size()));
    if (count == 0)
        return 0;
    return measurer_->TextWidth(font, text.substr(0, static_cast<size_t>(count)));
}

}  // namespace qrv
