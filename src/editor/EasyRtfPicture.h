#pragma once
// Pictures embedded in RTF snippets: the hexadecimal data decoded and given
// the file header the system's loaders expect, every size checked against
// the bytes that are really there. Portable.

#include "editor/EasyEditorAttributes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qrv {

enum class TEasyRtfPictureKind : uint8_t { Bitmap, Metafile, EnhMetafile };

// A picture ready to load: complete file bytes and the size to show it at.
class TEasyRtfPicture : public TCustomEasyEditorObject {
public:
    TEasyRtfPictureKind Kind = TEasyRtfPictureKind::Bitmap;
    // A bitmap file ("BM" header first), a placeable metafile or an
    // enhanced metafile.
    std::string Data;
    // The picture's own size in pixels.
    int32_t PictureWidth = 0;
    int32_t PictureHeight = 0;
    // Shown at a size other than its own.
    bool Stretched = false;
};

// Hex digit pairs to bytes; other characters (line ends, blanks) are passed
// over, and an odd last digit is dropped.
std::string RtfHexDecode(std::u16string_view text);

struct TEasyDibInfo {
    int32_t Width = 0;
    int32_t Height = 0;    // absolute value
    uint32_t OffBits = 0;  // from the start of the file, header included
};

// Checks a device-independent bitmap (info header, palette, masks, rows)
// against its length; nothing when any part exceeds the data.
std::optional<TEasyDibInfo> CheckDib(std::string_view dib);

// The 14-byte bitmap file header written before the DIB, or nothing when the
// DIB is damaged.
std::optional<std::string> BitmapFileFromDib(std::string_view dib);

// The 22-byte placeable header for a metafile of the given size in pixels
// (96 units per inch).
std::string PlaceableMetafileHeader(int32_t width, int32_t height);

// True when the bytes start with a sound metafile header / enhanced
// metafile header record.
bool CheckMetafile(std::string_view data);
bool CheckEnhMetafile(std::string_view data);

// Hundredths of millimetres to pixels at 96 per inch, saturated.
int32_t HimetricToPixels(int64_t value);

}  // namespace qrv
