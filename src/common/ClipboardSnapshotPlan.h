#pragma once
// How each format on the clipboard is kept while the program borrows the
// clipboard (the picture converter answers through it), so that everything
// can be put back as it was, in its order. Portable.

#include <cstdint>

namespace qrv {

enum class TClipboardKeep : uint8_t {
    Bytes,             // a memory block: its bytes
    Bitmap,            // a GDI bitmap: a copy
    Palette,           // a GDI palette: a copy
    MetafilePicture,   // a memory block holding a metafile: both copied
    EnhancedMetafile,  // a copy
    // Owner-drawn formats, private handles and other GDI objects only their
    // owner can copy: they are lost.
    Lost,
};

// The system's format numbers the plan tells apart.
namespace clipformat {
constexpr uint32_t kBitmap = 2;
constexpr uint32_t kMetafilePicture = 3;
constexpr uint32_t kPalette = 9;
constexpr uint32_t kEnhancedMetafile = 14;
constexpr uint32_t kOwnerDisplay = 0x80;
constexpr uint32_t kDisplayBitmap = 0x82;
constexpr uint32_t kDisplayMetafilePicture = 0x83;
constexpr uint32_t kDisplayEnhancedMetafile = 0x8E;
constexpr uint32_t kPrivateFirst = 0x200;
constexpr uint32_t kPrivateLast = 0x2FF;
constexpr uint32_t kGdiObjectFirst = 0x300;
constexpr uint32_t kGdiObjectLast = 0x3FF;
}  // namespace clipformat

TClipboardKeep ClipboardKeepOf(uint32_t Format);

// The snapshot taken before a borrowing stands for the clipboard as long as
// nobody wrote to it after the program put it back: the clipboard's
// sequence number is then the one the restore left.
class TClipboardSnapshotAge {
public:
    // The restore left the clipboard at sequence number Sequence.
    void Restored(uint32_t Sequence)
    {
        restored_ = Sequence;
        valid_ = true;
    }
    void Forget() { valid_ = false; }
    bool StillCurrent(uint32_t SequenceNow) const { return valid_ && SequenceNow == restored_; }

private:
    uint32_t restored_ = 0;
    bool valid_ = false;
};

}  // namespace qrv
