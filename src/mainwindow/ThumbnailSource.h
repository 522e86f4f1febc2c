#pragma once
// Where a list thumbnail's picture comes from, and the adaptive scale at
// which JPEG thumbnails are decoded. Portable.

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

// The sources a thumbnail is tried from, in order; the first that gives a
// picture ends the search.
enum class TThumbSource : uint8_t {
    Shell,      // the shell's thumbnail extraction
    Converter,  // the external picture converter
    Bitmap,     // the program's own bitmap reader
    Picture,    // the picture classes by extension, JPEG at the adaptive scale
};

struct TThumbSourceFacts {
    std::wstring ShortExt;         // ShortExtension of the name (upper case, dot, at most 6)
    bool ShellThumbnails = false;  // the system's shell extracts thumbnails
    bool HasItem = false;          // the list item is known (its identifier list)
    bool PictureExt = false;       // the extension is one of PictureExts
};

// Shell (for the extensions the shell draws well), then for a picture
// extension the program's reader with the converter behind it (a file it
// cannot read may still be one the converter can), else the converter.
std::vector<TThumbSource> ThumbnailSources(const TThumbSourceFacts& Facts);

// The extensions the shell is asked for thumbnails of (whole extensions).
bool IsShellThumbnailExt(const std::wstring& ShortExt);

bool IsJpegExt(const std::wstring& ShortExt);

// The JPEG decoder's scale for thumbnails: 0 full, 1 half, 2 quarter,
// 3 eighth size. It starts at a quarter and follows the pictures met.
class TJpegThumbScale {
public:
    static constexpr uint8_t kStart = 2;
    static constexpr uint8_t kFinest = 0;
    static constexpr uint8_t kCoarsest = 3;

    uint8_t Scale() const { return scale_; }
    // A JPEG decoded at Scale() came out DecodedWidth wide for a thumbnail
    // ThumbWidth wide: true when it is too narrow and must be decoded again
    // at full size (the next starts one step finer); one more than twice as
    // wide makes the next start a step coarser.
    [[nodiscard]] bool Decoded(int DecodedWidth, int ThumbWidth);

private:
    uint8_t scale_ = kStart;
};

}  // namespace qrv
