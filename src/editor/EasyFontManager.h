#pragma once
// TEasyFontManager: measures each font once and keeps its figures, keyed by
// the font's handle and its description, so a handle the system reuses for
// another font is measured again. The measuring itself is the measurer's
// (GDI on Windows, a fake in tests). Portable.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

struct TEasyFontMetrics {
    int32_t Overhang = 0;
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t AveCharWidth = 0;
    int32_t Height = 0;
    int32_t MaxCharWidth = 0;
    int32_t SubscriptSize = 0;
    int32_t SubscriptOffset = 0;
    int32_t SuperscriptOffset = 0;
    bool operator==(const TEasyFontMetrics&) const = default;
};

// What the system tells of a font: the text metrics and, for an outline
// font, the vertical sub- and superscript figures.
struct TEasyMeasuredFont {
    int32_t Overhang = 0;
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t AveCharWidth = 0;
    int32_t Height = 0;
    int32_t MaxCharWidth = 0;
    bool HasOutline = false;
    int32_t SubscriptSize = 0;
    int32_t SubscriptOffset = 0;
    int32_t SuperscriptOffset = 0;
};

class TEasyFontMeasurer {
public:
    virtual ~TEasyFontMeasurer() = default;
    // The font's description (its LOGFONT); two equal descriptions are the
    // same font.
    virtual std::string Describe(uintptr_t font) = 0;
    virtual TEasyMeasuredFont Measure(uintptr_t font) = 0;
    // The width in pixels of the text in the font.
    virtual int TextWidth(uintptr_t font, std::u16string_view text) = 0;
};

// The cached figures: a missing outline figure (none, or 0) falls back to
// Height * 2 / 3 (rounded), Height / 8 and Ascent / 2.
TEasyFontMetrics FontMetricsFrom(const TEasyMeasuredFont& measured);

class TEasyFontManager {
public:
    explicit TEasyFontManager(std::unique_ptr<TEasyFontMeasurer> measurer);

    // Measured on first use, and again when the handle now names another font.
    TEasyFontMetrics GetFontMetrics(uintptr_t font);
    // The width of the first count characters (count clamped to the text),
    // 0 for none; metrics receives the font's figures.
    int GetTextWidth(uintptr_t font, std::u16string_view text, int count, TEasyFontMetrics& metrics);
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        uintptr_t handle;
        std::string description;
        TEasyFontMetrics metrics;
    };
    std::unique_ptr<TEasyFontMeasurer> measurer_;
    // Ordered by handle.
    std::vector<Entry> entries_;
    // The entry used last: runs of requests for one font need no search.
    size_t last_ = 0;
};

}  // namespace qrv
