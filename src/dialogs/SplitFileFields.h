#pragma once
// What the split and combine dialogs decide without windows: the part sizes
// offered, which choice a remembered size preselects, the custom size in KB
// and the checks of a chosen size. Portable.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qrv {

struct TSplitSizeChoice {
    const wchar_t* Caption;  // the radio button's, with its accelerator
    uint64_t Bytes;
};

// The part sizes offered, in the dialog's order.
std::span<const TSplitSizeChoice> SplitSizeChoices();
// The size chosen when none was chosen before (1,44 MB).
constexpr uint64_t kDefaultSplitSize = 1'456'128;
// The custom size's spin edit, in KB.
constexpr int64_t kCustomSplitKbMin = 100;
constexpr int64_t kCustomSplitKbMax = 2'147'483'647;
constexpr int64_t kCustomSplitKbStep = 100;
constexpr int64_t kCustomSplitKbDefault = 1000;

// What a remembered size preselects: the index of its choice, or nullopt
// for the custom field, which then shows CustomKb.
struct TSplitSizePreset {
    std::optional<size_t> Choice;
    int64_t CustomKb = kCustomSplitKbDefault;
};
TSplitSizePreset PresetForSize(uint64_t Bytes);

// The custom field's text as bytes (KB x 1,024); nullopt when it is no
// whole number of KB from 0 to the field's maximum.
std::optional<uint64_t> CustomSplitBytes(std::wstring_view KbText);

// The message for a chosen size, empty when it may be used: a size that
// could not be read, or one of 2,048 bytes or less.
std::wstring SplitSizeProblem(const std::optional<uint64_t>& Bytes);

}  // namespace qrv
