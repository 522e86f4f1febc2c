#include "common/ClipboardSnapshotPlan.h"

namespace qrv {

TClipboardKeep ClipboardKeepOf(uint32_t Format)
{
    using namespace clipformat;
    switch (Format) {
    case kBitmap:
    case kDisplayBitmap:
        return TClipboardKeep::Bitmap;
    case kPalette:
        return TClipboardKeep::Palette;
    case kMetafilePicture:
    case kDisplayMetafilePicture:
        return TClipboardKeep::MetafilePicture;
    case kEnhancedMetafile:
    case kDisplayEnhancedMetafile:
        return TClipboardKeep::EnhancedMetafile;
    case kOwnerDisplay:
        return TClipboardKeep::Lost;
    default:
        break;
    }
    if ((Format >= kPrivateFirst && Format <= kPrivateLast) || (Format >= kGdiObjectFirst && Format <= kGdiObjectLast))
        return TClipboardKeep::Lost;
    return TClipboardKeep::Bytes;
}

}  // namespace qrv
