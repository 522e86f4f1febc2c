#include "mainwindow/ThumbnailSource.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qrv {

namespace {

constexpr std::array<std::wstring_view, 10> kShellThumbnailExts = {L".HTM", L".HTML", L".XML",  L".TIF", L".TIFF",
                                                                   L".GIF", L".AVI",  L".MPEG", L".MPG", L".WMV"};

}  // namespace

bool IsShellThumbnailExt(const std::wstring& ShortExt)
{
    // Whole extensions: ".HT" or ".MP" are no thumbnails of the shell's.
    return std::ranges::find(kShellThumbnailExts, ShortExt) != kShellThumbnailExts.end();
}

bool IsJpegExt(const std::wstring& ShortExt)
{
    return ShortExt == L".JPG" || ShortExt == L".JPEG";
}

std::vector<TThumbSource> ThumbnailSources(const TThumbSourceFacts& Facts)
{
    std::vector<TThumbSource> sources;
    if (Facts.ShellThumbnails && Facts.HasItem && IsShellThumbnailExt(Facts.ShortExt))
        sources.push_back(TThumbSource::Shell);
    if (Facts.PictureExt)
        sources.push_back(Facts.ShortExt == L".BMP" ? TThumbSource::Bitmap : TThumbSource::Picture);
    sources.push_back(TThumbSource::Converter);
    return sources;
}

bool TJpegThumbScale::Decoded(int DecodedWidth, int ThumbWidth)
{
    if (DecodedWidth < ThumbWidth) {
        // At full size already there is nothing finer to decode at.
        if (scale_ == kFinest)
            return false;
        --scale_;
        return true;
    }
    if (DecodedWidth > 2 * ThumbWidth && scale_ < kCoarsest)
        ++scale_;
    return false;
}

}  // namespace qrv
